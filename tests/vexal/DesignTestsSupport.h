// Imports of whole Vexal files through the loaded plug-in into a board of
// the stand-in host, for the tests of the design and its primitives: the
// stand-in host module first, then libLoadVexal.so, and ImportFileIntoPcb
// called as the editor calls it. The test program exports the stand-in host
// client and the platform hooks.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/client/PlatformHooks.h"
#include "host/tarvex/TarvexHost.h"
#include "hostapi/PcbApiAbi.h"
#include "hostapi/ShortString.h"
#include "platform/Platform.h"
#include "tests/support/LoadedVexal.h"

namespace designtest {

namespace fs = std::filesystem;

inline fs::path TestFolder() {
  static const fs::path folder = loadedtest::ProgramFolder("vexal-design");
  return folder;
}

using loadedtest::LoadedVexal;

// The host module first, then the plug-in, as the editor loads them.
inline const LoadedVexal& Modules() {
  static const LoadedVexal loaded = loadedtest::LoadVexal(TestFolder() / "appdata");
  if (!loaded.Host || !loaded.Import) throw std::runtime_error("modules not loaded");
  return loaded;
}

inline tarvex::ITarvexHost& Host() { return *Modules().Host; }

// A host PCB API function of the stand-in module, for arranging a board.
template <class Fn>
Fn HostFunction(const char* name) {
  auto fn = reinterpret_cast<Fn>(platform::FindExport(Modules().HostModule, name));
  if (!fn) throw std::runtime_error(std::string("no host function ") + name);
  return fn;
}

// A net named `name` added to `board` through the host module itself.
inline tarvex::THandle AddNet(tarvex::THandle board, const std::string& name) {
  using Create_t = uint32_t(PCBAPI_CALL*)(uint8_t);
  using Add_t = int32_t(PCBAPI_CALL*)(uint32_t, uint32_t);
  const tarvex::THandle net = HostFunction<Create_t>("PcbApi_CreateObject")(tarvex::kNet);
  Host().GetObjectMutable(net)->Name = name;
  HostFunction<Add_t>("PcbApi_AddObjectToContainer")(board, net);
  return net;
}

inline std::string WriteFile(const std::string& name, const std::string& content) {
  const fs::path path = TestFolder() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return path.string();
}

// A fresh host with one current board.
inline tarvex::THandle NewBoard(const std::string& name = "board.pcb") {
  Host().Reset();
  standin::ResetHooks();
  standin::SetMessageBoxEcho(false);
  const tarvex::THandle board = Host().NewDocument("PCB", (TestFolder() / name).string());
  Host().MakeCurrent(board);
  return board;
}

// Imports `content` (written to `name`) into the current board.
inline bool Import(const std::string& content, const std::string& name = "design.pcb") {
  const std::string path = WriteFile(name, content);
  const hostapi::ShortString file(path);
  const hostapi::ShortString empty("");
  return Modules().Import(file.Bytes.data(), empty.Bytes.data()) != 0;
}

// A file of the given units ("mil" or "mm") with a library and a design.
inline std::string VexalFile(const std::string& library, const std::string& design,
                             const std::string& units = "mil") {
  return "VEXAL_ASCII \"t.pcb\"\r\n(asciiHeader (asciiVersion 3 0) (fileUnits " + units + "))\r\n" +
         "(library \"lib\"\r\n" + library + "\r\n)\r\n" + "(pcbDesign \"d\"\r\n" + design + "\r\n)\r\n";
}

// The objects of one kind on the board (or in a component), in order.
inline std::vector<const tarvex::Object*> ObjectsOf(tarvex::THandle container, uint8_t kind) {
  std::vector<const tarvex::Object*> objects;
  for (tarvex::THandle h : Host().ContainerObjects(container))
    if (const tarvex::Object* o = Host().GetObject(h); o && o->Kind == kind) objects.push_back(o);
  return objects;
}

// The lines of the report of the file `name`.
inline std::vector<std::string> ReportLines(const std::string& name = "design.pcb") {
  std::ifstream in((TestFolder() / name).replace_extension("rpt"), std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(content, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

inline int CountLines(const std::vector<std::string>& lines, const std::string& text) {
  int n = 0;
  for (const auto& l : lines) n += l == text;
  return n;
}

inline int32_t Mil(double mils) { return static_cast<int32_t>(std::nearbyint(mils * 10000.0)); }
inline int32_t Mm(double mm) { return static_cast<int32_t>(std::nearbyint(mm * 10000.0 / 0.0254)); }

}  // namespace designtest

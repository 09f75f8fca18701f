// Fuzz target of the whole read of a Vexal file: arbitrary bytes as a file,
// through recognition, the tokenizer and the object tree, the way the editor
// calls the plug-in (stand-in host module first, then libLoadVexal.so,
// ImportFileIntoPcb by name). The import must end (no hang), stay within its
// buffers, answer exactly what recognition answers (a recognised file is read
// whole), leave no host iterator behind, end the progress display it starts
// and show at most the one "Unexpected End Of File" message.
//
// Bit 0 of the first byte: the rest of the input follows a header line
// ("VEXAL_ASCII" + a source name), so that most inputs are recognised and
// reach the tree; otherwise the bytes are the file as they are. Bit 1: the
// host has a current board, so the translation runs too.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/client/PlatformHooks.h"
#include "host/tarvex/TarvexHost.h"
#include "hostapi/ShortString.h"
#include "platform/Platform.h"

namespace {

using Recognised_t = uint8_t(PCBAPI_CALL*)(const uint8_t*);
using Import_t = uint8_t(PCBAPI_CALL*)(const uint8_t*, const uint8_t*);

tarvex::ITarvexHost* gHost = nullptr;
Recognised_t gRecognised = nullptr;
Import_t gImport = nullptr;

std::string InputPath() {
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder && *folder ? folder : "/tmp") + "/vexal-read-fuzz-" + std::to_string(getpid()) +
         ".pcb";
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "vexal read fuzz: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The options dialog keeps its defaults file in the application-data
  // folder: one of the run's own, not the user's.
  const std::string appData = InputPath() + ".appdata";
  platform::MakeFolder(appData);
  setenv("PCBIMPORT_APPDATA", appData.c_str(), 1);
  std::string error;
  const std::string folder = platform::ExecutableFolder();
  // The host module first: the plug-in binds to it by name when it loads.
  platform::ModuleHandle tarvex = platform::LoadModule(folder + "/libTarvex.so", &error);
  if (!tarvex) Fail(error.c_str());
  platform::ModuleHandle plugin = platform::LoadModule(folder + "/libLoadVexal.so", &error);
  if (!plugin) Fail(error.c_str());
  gHost = tarvex::TarvexHostOf(tarvex);
  gRecognised = reinterpret_cast<Recognised_t>(platform::FindExport(plugin, "RecognisedPCBFile"));
  gImport = reinterpret_cast<Import_t>(platform::FindExport(plugin, "ImportFileIntoPcb"));
  if (!gHost || !gRecognised || !gImport) Fail("a module lacks an export");
  standin::SetMessageBoxEcho(false);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = InputPath();
  const uint8_t mode = size > 0 ? data[0] : 0;
  std::string content;
  if (mode & 1) {
    content = "VEXAL_ASCII \"fuzz\"\r\n";
    content.append(reinterpret_cast<const char*>(data + 1), size - 1);
  } else {
    content.assign(reinterpret_cast<const char*>(data), size);
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) Fail("cannot write the input file");
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);

  gHost->Reset();
  standin::ResetHooks();
  standin::SetMessageBoxEcho(false);
  if (mode & 2) gHost->MakeCurrent(gHost->NewDocument("PCB", path));

  const hostapi::ShortString name(path);
  const hostapi::ShortString empty("");
  const bool recognised = gRecognised(name.Bytes.data()) != 0;
  const bool imported = gImport(name.Bytes.data(), empty.Bytes.data()) != 0;
  if (imported != recognised) Fail("the import's answer differs from recognition");
  if (gHost->LiveIterators() != 0) Fail("a host iterator was left behind");
  if (recognised) {
    if (gHost->Progress().size() != 1) Fail("not exactly one progress display");
    if (!gHost->Progress()[0].Finished) Fail("the progress display did not end");
    // A file that starts with the header word is read to its end.
    if ((mode & 1) && gHost->Progress()[0].Updates < gHost->Progress()[0].Total)
      Fail("the file was not read to its end");
    if (gHost->Events().empty() || gHost->Events()[0].Code != 13) Fail("the translation did not start");
  } else if (!gHost->Progress().empty()) {
    Fail("an unrecognised file was read");
  }
  if (standin::MessageBoxes().size() > 1) Fail("more than one message box");
  return 0;
}

// Fuzz target of the Sarnovik importer: arbitrary bytes as a file, through
// recognition and both passes of the import into the stand-in host, the way
// the editor calls the plug-in. The import must end (no hang), stay within
// its buffers, leave no host iterator behind and always end the host's
// progress display.
//
// When the first byte is odd the rest of the input follows a header line
// ("PCB FILE 5" when bit 1 is also set, else "PCB FILE 4"), so that most
// inputs reach the loading pass; otherwise the bytes are the file as they
// are.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

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
  return std::string(folder && *folder ? folder : "/tmp") + "/sarnovik-import-fuzz-" +
         std::to_string(getpid()) + ".pcb";
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "sarnovik fuzz: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string error;
  const std::string folder = platform::ExecutableFolder();
  // The host module first: the plug-in binds to it by name when it loads.
  platform::ModuleHandle tarvex = platform::LoadModule(folder + "/libTarvex.so", &error);
  if (!tarvex) Fail(error.c_str());
  platform::ModuleHandle plugin = platform::LoadModule(folder + "/libLoadSarnovik.so", &error);
  if (!plugin) Fail(error.c_str());
  gHost = tarvex::TarvexHostOf(tarvex);
  gRecognised = reinterpret_cast<Recognised_t>(platform::FindExport(plugin, "RecognisedPCBFile"));
  gImport = reinterpret_cast<Import_t>(platform::FindExport(plugin, "ImportFileIntoPcb"));
  if (!gHost || !gRecognised || !gImport) Fail("a module lacks an export");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = InputPath();
  std::string content;
  if (size > 0 && (data[0] & 1)) {
    content = (data[0] & 2) ? "PCB FILE 5\r\n" : "PCB FILE 4\n";
    content.append(reinterpret_cast<const char*>(data + 1), size - 1);
  } else {
    content.assign(reinterpret_cast<const char*>(data), size);
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) Fail("cannot write the input file");
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);

  gHost->Reset();
  gHost->NewDocument("PCB", path);
  const hostapi::ShortString name(path);
  const uint8_t recognised = gRecognised(name.Data());
  const uint8_t imported = gImport(name.Data(), name.Data());
  if (recognised > 1 || imported > 1) Fail("an export answered a value other than 0 or 1");
  if (imported && !recognised) Fail("an unrecognised file was imported");
  if (gHost->LiveIterators() != 0) Fail("an iterator was left behind");
  for (const auto& run : gHost->Progress())
    if (!run.Finished) Fail("the progress display was left running");
  if (!recognised && !gHost->Progress().empty()) Fail("an unrecognised file started progress");
  std::remove(path.c_str());
  return 0;
}

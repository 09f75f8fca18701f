// The stand-in host module and then libLoadVexal.so loaded into the test
// program, as the editor loads them, with the plug-in's functions looked up
// by name. The program exports the stand-in host client and the platform
// hooks (it links standin_client and standin_hooks).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/tarvex/TarvexHost.h"
#include "hostapi/PcbApiAbi.h"
#include "hostclient/ServerAbi.h"
#include "platform/Platform.h"

namespace loadedtest {

namespace fs = std::filesystem;

using Import_t = uint8_t(PCBAPI_CALL*)(const uint8_t*, const uint8_t*);

// A new folder of the test program's own: NAME-PID in the tests' temporary folder.
inline fs::path ProgramFolder(const std::string& name) {
  const fs::path p = fs::path(::testing::TempDir()) / (name + "-" + std::to_string(getpid()));
  fs::create_directories(p);
  return p;
}

struct LoadedVexal {
  platform::ModuleHandle HostModule = nullptr;
  platform::ModuleHandle Plugin = nullptr;
  tarvex::ITarvexHost* Host = nullptr;
  clientabi::ServerFactory_t Factory = nullptr;
  Import_t Import = nullptr;
};

// Loads the host module, then the plug-in (each a failure of the test when
// it cannot be loaded); the options dialog keeps its defaults file in
// `appData`, the test's own.
inline LoadedVexal LoadVexal(const fs::path& appData) {
  fs::create_directories(appData);
  setenv("PCBIMPORT_APPDATA", appData.c_str(), 1);
  LoadedVexal l;
  std::string error;
  const std::string bin = PCBIMPORT_BIN_DIR;
  l.HostModule = platform::LoadModule(bin + "/libTarvex.so", &error);
  EXPECT_NE(l.HostModule, nullptr) << error;
  l.Plugin = platform::LoadModule(bin + "/libLoadVexal.so", &error);
  EXPECT_NE(l.Plugin, nullptr) << error;
  l.Host = tarvex::TarvexHostOf(l.HostModule);
  l.Factory = reinterpret_cast<clientabi::ServerFactory_t>(platform::FindExport(l.Plugin, "ServerFactory"));
  l.Import = reinterpret_cast<Import_t>(platform::FindExport(l.Plugin, "ImportFileIntoPcb"));
  return l;
}

}  // namespace loadedtest

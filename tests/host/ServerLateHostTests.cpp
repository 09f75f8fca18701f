// The host loads its PCB module only after LoadVexal: the plug-in bound no
// host function at its load, and a load command binds them again once the
// "PCB" server is there. Its own program, as the order of loading is the
// point.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "host/client/PlatformHooks.h"
#include "host/client/StandInClient.h"
#include "host/tarvex/TarvexHost.h"
#include "hostapi/PcbTypes.h"
#include "hostclient/ServerAbi.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

TEST(ServerLateHost, ACommandBindsTheHostModuleLoadedAfterThePlugin) {
  const fs::path folder = fs::path(::testing::TempDir()) / ("vexal-late-host-" + std::to_string(getpid()));
  fs::create_directories(folder / "appdata");
  setenv("PCBIMPORT_APPDATA", (folder / "appdata").c_str(), 1);
  const std::string file = (folder / "late.pcb").string();
  std::ofstream(file, std::ios::binary)
      << "VEXAL_ASCII\r\n(asciiHeader (fileUnits Mil))\r\n"
         "(pcbDesign \"late\" (layerDef \"Top\" (layerNum 1) (layerType Signal))\r\n"
         "  (layerContents (layerNumRef 1) (line (pt 0 0) (pt 100 0) (width 10))))\r\n";
  standin::SetMessageBoxEcho(false);

  std::string error;
  const std::string bin = PCBIMPORT_BIN_DIR;
  ASSERT_EQ(platform::FindLoadedModule("Tarvex.dll"), nullptr);
  platform::ModuleHandle plugin = platform::LoadModule(bin + "/libLoadVexal.so", &error);
  ASSERT_NE(plugin, nullptr) << error;
  const auto factory =
      reinterpret_cast<clientabi::ServerFactory_t>(platform::FindExport(plugin, "ServerFactory"));
  ASSERT_NE(factory, nullptr);
  void* made = nullptr;
  factory(&made, standin::HostClient());
  ASSERT_NE(made, nullptr);
  auto* module = static_cast<clientabi::IServerModule*>(made);
  const std::string parameters = "FileName=" + file;

  // No PCB server yet: the command does nothing, not even its dialog.
  EXPECT_EQ(module->GetCommandLauncher()->LaunchCommand("LoadKIVOPCBFile", parameters.c_str(), 0, nullptr), 1);
  EXPECT_TRUE(standin::ProcessLog().empty());

  platform::ModuleHandle hostModule = platform::LoadModule(bin + "/libTarvex.so", &error);
  ASSERT_NE(hostModule, nullptr) << error;
  tarvex::ITarvexHost* host = tarvex::TarvexHostOf(hostModule);
  ASSERT_NE(host, nullptr);
  host->QueueCommonDialogAnswer("Result=True|Path=" + file);
  EXPECT_EQ(module->GetCommandLauncher()->LaunchCommand("LoadKIVOPCBFile", parameters.c_str(), 0, nullptr), 1);
  ASSERT_EQ(host->Documents().size(), 1u);
  const tarvex::Document* document = host->GetDocument(host->Documents()[0]);
  int tracks = 0;
  for (const tarvex::THandle handle : document->Objects)
    if (const tarvex::Object* object = host->GetObject(handle); object && object->Kind == okTrack) ++tracks;
  EXPECT_EQ(tracks, 1);
  module->Release();
}

}  // namespace

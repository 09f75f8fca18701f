#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>

#include "platform/Platform.h"
#include "platform/PlatformHostAbi.h"

// This test program is the "host": it drives the Escape key, message boxes
// and the message queue through the hooks it exports.
namespace {
bool gEscape = false;
int32_t gAnswer = 0;
std::string gLastText, gLastCaption;
uint32_t gLastKind = 0;
std::deque<PlatformMessage> gQueue;
std::vector<uint32_t> gDelivered;
bool gHooksOn = true;

int32_t PCBAPI_CALL Escape() { return gEscape ? 1 : 0; }
int32_t PCBAPI_CALL Box(const char* text, const char* caption, uint32_t kind) {
  gLastText = text;
  gLastCaption = caption;
  gLastKind = kind;
  return gAnswer;
}
int32_t PCBAPI_CALL Peek(PlatformMessage* m) {
  if (gQueue.empty()) return 0;
  *m = gQueue.front();
  gQueue.pop_front();
  return 1;
}
void PCBAPI_CALL Dispatch(const PlatformMessage* m) { gDelivered.push_back(m->Message); }

const PlatformHostHooks kHooks = {sizeof(PlatformHostHooks), Escape, Box, Peek, Dispatch};
}  // namespace

PCB_EXPORT const PlatformHostHooks* PCBAPI_CALL PlatformHost_Hooks() {
  return gHooksOn ? &kHooks : nullptr;
}

TEST(Modules, FindsOnlyWhatTheProcessLoadedAndTakesNoReference) {
  EXPECT_EQ(platform::PlatformModuleName("Tarvex.dll"), "libTarvex.so");
  EXPECT_EQ(platform::PlatformModuleName("LoadVexal"), "libLoadVexal.so");

  EXPECT_EQ(platform::FindLoadedModule("PlatformProbe.dll"), nullptr);
  std::string error;
  platform::ModuleHandle loaded = platform::LoadModule(PROBE_MODULE_PATH, &error);
  ASSERT_NE(loaded, nullptr) << error;
  platform::ModuleHandle found = platform::FindLoadedModule("PlatformProbe.dll");
  ASSERT_EQ(found, loaded);
  using Answer = int(PCBAPI_CALL*)();
  auto answer = reinterpret_cast<Answer>(platform::FindExport(found, "ProbeAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(platform::FindExport(found, "NoSuchExport"), nullptr);
  EXPECT_EQ(platform::FindExport(nullptr, "ProbeAnswer"), nullptr);

  // The lookup kept no reference: one unload by the loader removes it.
  platform::UnloadModule(loaded);
  EXPECT_EQ(platform::FindLoadedModule("PlatformProbe.dll"), nullptr);
}

TEST(Modules, LoadFailureSaysWhy) {
  std::string error;
  EXPECT_EQ(platform::LoadModule("/nonexistent/libNothing.so", &error), nullptr);
  EXPECT_NE(error.find("libNothing"), std::string::npos) << error;
}

TEST(Modules, ExecutableExportsAreFound) {
  EXPECT_NE(platform::FindExport(platform::ExecutableModule(), "PlatformHost_Hooks"), nullptr);
}

// Programs find the modules that lie beside them through their own folder.
TEST(Modules, ExecutableFolderHoldsTheProgram) {
  const std::string folder = platform::ExecutableFolder();
  EXPECT_TRUE(std::filesystem::is_regular_file(platform::JoinPath(folder, "platform_tests")))
      << folder;
  EXPECT_TRUE(std::filesystem::is_directory(platform::JoinPath(folder, "probe"))) << folder;
}

TEST(Hooks, EscapeMessageBoxesAndQueueComeFromTheHost) {
  gHooksOn = true;
  gEscape = false;
  EXPECT_FALSE(platform::EscapeKeyDown());
  gEscape = true;
  EXPECT_TRUE(platform::EscapeKeyDown());
  gEscape = false;
  EXPECT_FALSE(platform::EscapeKeyDown());
  // The Escape hook is taken from the table once per process: the key keeps
  // following the host's hook even when the table is no longer given out.
  gHooksOn = false;
  gEscape = true;
  EXPECT_TRUE(platform::EscapeKeyDown());
  gEscape = false;
  EXPECT_FALSE(platform::EscapeKeyDown());
  gHooksOn = true;

  gAnswer = platform::idYes;
  EXPECT_EQ(platform::ShowMessageBox("Abort?", "Confirm", platform::mbYesNo | platform::mbIconQuestion),
            platform::idYes);
  EXPECT_EQ(gLastText, "Abort?");
  EXPECT_EQ(gLastCaption, "Confirm");
  EXPECT_EQ(gLastKind, platform::mbYesNo | platform::mbIconQuestion);

  gQueue = {{1, 15, 0, 0}, {1, 512, 0, 0}};
  gDelivered.clear();
  EXPECT_EQ(platform::DeliverPendingMessages(), 2);
  EXPECT_EQ(gDelivered, (std::vector<uint32_t>{15, 512}));
  EXPECT_EQ(platform::DeliverPendingMessages(), 0);
}

// The Escape hook is resolved at the first poll (above), so this program
// cannot show the key without a host; the other hooks are looked up per call.
TEST(Hooks, WithoutAHostQueueIsEmptyAndBoxesAnswerSafely) {
  gHooksOn = false;
  gEscape = true;
  gQueue = {{1, 15, 0, 0}};
  EXPECT_EQ(platform::DeliverPendingMessages(), 0);
  EXPECT_EQ(platform::ShowMessageBox("t", "c", platform::mbYesNo), platform::idNo);
  EXPECT_EQ(platform::ShowMessageBox("t", "c", platform::mbYesNoCancel), platform::idCancel);
  EXPECT_EQ(platform::ShowMessageBox("t", "c", platform::mbOKCancel), platform::idCancel);
  EXPECT_EQ(platform::ShowMessageBox("t", "c", platform::mbOK | platform::mbIconError), platform::idOK);
  gHooksOn = true;
  gEscape = false;
  gQueue.clear();
}

TEST(Folders, AppDataHonoursTheOverride) {
  setenv("PCBIMPORT_APPDATA", "/tmp/pcbimport-appdata-test", 1);
  EXPECT_EQ(platform::AppDataFolder(), "/tmp/pcbimport-appdata-test");
  unsetenv("PCBIMPORT_APPDATA");
  EXPECT_NE(platform::AppDataFolder(), "/tmp/pcbimport-appdata-test");
  EXPECT_EQ(platform::JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(platform::JoinPath("/a/", "b"), "/a/b");
}

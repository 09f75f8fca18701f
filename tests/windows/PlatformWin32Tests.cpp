// The Win32 platform layer in a program that is its own host: it exports
// PlatformHost_Hooks, as pcbhost.exe does.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <deque>
#include <string>

#include "platform/Platform.h"
#include "platform/PlatformHostAbi.h"

namespace {

bool gEscape = false;
std::string gBoxText;
std::deque<PlatformMessage> gQueue;
std::vector<uint32_t> gDelivered;

int32_t PCBAPI_CALL Escape() { return gEscape ? 1 : 0; }
int32_t PCBAPI_CALL Box(const char* text, const char*, uint32_t) {
  gBoxText = text;
  return platform::idYes;
}
int32_t PCBAPI_CALL Peek(PlatformMessage* m) {
  if (gQueue.empty()) return 0;
  *m = gQueue.front();
  gQueue.pop_front();
  return 1;
}
void PCBAPI_CALL Dispatch(const PlatformMessage* m) { gDelivered.push_back(m->Message); }

const PlatformHostHooks kHooks = {sizeof(PlatformHostHooks), Escape, Box, Peek, Dispatch};

std::string ProbePath() {
  return platform::JoinPath(platform::JoinPath(platform::ExecutableFolder(), "probe"),
                            "PlatformProbe.dll");
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SetAppDataOverride(const char* value) { _putenv_s("PCBIMPORT_APPDATA", value); }

}  // namespace

PCB_EXPORT const PlatformHostHooks* PCBAPI_CALL PlatformHost_Hooks() { return &kHooks; }

TEST(Win32Modules, NamesStayWindowsNames) {
  EXPECT_EQ(platform::PlatformModuleName("Tarvex.dll"), "Tarvex.dll");
  EXPECT_EQ(platform::PlatformModuleName("LoadVexal"), "LoadVexal.dll");
  EXPECT_EQ(platform::PlatformModuleName("pcbhost.exe"), "pcbhost.exe");
}

TEST(Win32Modules, FindsOnlyWhatTheProcessLoadedAndTakesNoReference) {
  EXPECT_EQ(platform::FindLoadedModule("PlatformProbe.dll"), nullptr);
  std::string error;
  // Forward slashes, as the host may give them.
  std::string path = ProbePath();
  for (char& c : path)
    if (c == '\\') c = '/';
  platform::ModuleHandle loaded = platform::LoadModule(path, &error);
  ASSERT_NE(loaded, nullptr) << error;
  ASSERT_EQ(platform::FindLoadedModule("PlatformProbe.dll"), loaded);
  EXPECT_EQ(platform::FindLoadedModule("PlatformProbe"), loaded);
  using Answer = int(PCBAPI_CALL*)();
  auto answer = reinterpret_cast<Answer>(platform::FindExport(loaded, "ProbeAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(platform::ModuleOfAddress(reinterpret_cast<const void*>(answer)), loaded);
  EXPECT_EQ(platform::FindExport(loaded, "NoSuchExport"), nullptr);
  // A decorated name is not what the module exports.
  EXPECT_EQ(platform::FindExport(loaded, "ProbeAnswer@0"), nullptr);

  // Neither lookup kept a reference: one unload by the loader removes it.
  platform::UnloadModule(loaded);
  EXPECT_EQ(platform::FindLoadedModule("PlatformProbe.dll"), nullptr);
}

TEST(Win32Modules, LoadFailureSaysWhy) {
  std::string error;
  EXPECT_EQ(platform::LoadModule("C:\\nonexistent\\Nothing.dll", &error), nullptr);
  EXPECT_NE(error.find("Nothing.dll"), std::string::npos) << error;
  EXPECT_GT(error.size(), std::string("C:\\nonexistent\\Nothing.dll: ").size()) << error;
}

TEST(Win32Modules, TheExecutableAndItsFolder) {
  platform::ModuleHandle exe = platform::ExecutableModule();
  ASSERT_NE(exe, nullptr);
  EXPECT_NE(platform::FindExport(exe, "PlatformHost_Hooks"), nullptr);
  EXPECT_EQ(platform::ModuleOfAddress(reinterpret_cast<const void*>(&PlatformHost_Hooks)), exe);
  EXPECT_EQ(platform::ModuleOfAddress(nullptr), nullptr);
  const std::string folder = platform::ExecutableFolder();
  const DWORD attributes =
      GetFileAttributesA(platform::JoinPath(folder, "platform_win32_tests.exe").c_str());
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder;
}

TEST(Win32Hooks, TheHostAnswersForThePerson) {
  gEscape = true;
  EXPECT_TRUE(platform::EscapeKeyDown());
  gEscape = false;
  EXPECT_FALSE(platform::EscapeKeyDown());
  EXPECT_EQ(platform::ShowMessageBox("Confirm Abort", "Confirm", platform::mbYesNo), platform::idYes);
  EXPECT_EQ(gBoxText, "Confirm Abort");
  gQueue = {{1, 15, 0, 0}, {2, 512, 3, 4}};
  EXPECT_EQ(platform::DeliverPendingMessages(), 2);
  EXPECT_EQ(gDelivered, (std::vector<uint32_t>{15, 512}));
  // This host has no queue-waiting hook: nothing waits.
  EXPECT_FALSE(platform::MessageWaiting());
}

TEST(Win32Folders, AppDataIsTheOverrideElseTheShellsFolder) {
  SetAppDataOverride("C:\\override");
  EXPECT_EQ(platform::AppDataFolder(), "C:\\override");
  SetAppDataOverride("");
  const std::string shell = platform::AppDataFolder();
  EXPECT_NE(shell, ".");
  EXPECT_TRUE(IsFolder(shell)) << shell;
  char expected[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, expected, 26, FALSE));
  EXPECT_EQ(shell, expected);
}

TEST(Win32Folders, JoinAndMake) {
  EXPECT_EQ(platform::JoinPath("C:\\a", "b"), "C:\\a\\b");
  EXPECT_EQ(platform::JoinPath("C:\\a\\", "b"), "C:\\a\\b");
  EXPECT_EQ(platform::JoinPath("C:/a/", "b"), "C:/a/b");
  EXPECT_EQ(platform::JoinPath("", "b"), "b");

  const std::string folder = platform::JoinPath(::testing::TempDir(), "made-by-platform-test");
  RemoveDirectoryA(folder.c_str());
  EXPECT_TRUE(platform::MakeFolder(folder));
  EXPECT_TRUE(IsFolder(folder));
  EXPECT_TRUE(platform::MakeFolder(folder));  // already there
  const std::string file = platform::JoinPath(folder, "a-file");
  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_FALSE(platform::MakeFolder(file));  // a file is no folder
  DeleteFileA(file.c_str());
  RemoveDirectoryA(folder.c_str());
}

// A program that exports no PlatformHost_Hooks, as the editor: the platform
// layer reads the thread's keyboard state and works its message queue.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "platform/Platform.h"

namespace {

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> gSeen;

LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP) {
    gSeen.push_back({message, wParam, lParam});
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Takes what earlier tests may have left on the queue.
void DrainQueue() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace

TEST(NativeWin32, NobodyHoldsEscape) { EXPECT_FALSE(platform::EscapeKeyDown()); }

TEST(NativeWin32, PostedMessagesWaitAndAreDeliveredToTheirWindow) {
  DrainQueue();
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = RecordingWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "PlatformRecordingWindow";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);

  EXPECT_FALSE(platform::MessageWaiting());
  platform::PostQueueMessage(reinterpret_cast<uintptr_t>(window), WM_APP + 1, 7, -9);
  platform::PostQueueMessage(0, WM_APP + 2, 0, 0);  // for the thread: no window gets it
  EXPECT_TRUE(platform::MessageWaiting());
  EXPECT_TRUE(platform::MessageWaiting());  // looking leaves it there
  EXPECT_EQ(platform::DeliverPendingMessages(), 2);
  EXPECT_FALSE(platform::MessageWaiting());
  ASSERT_EQ(gSeen.size(), 1u);
  EXPECT_EQ(gSeen[0].message, static_cast<UINT>(WM_APP + 1));
  EXPECT_EQ(gSeen[0].wParam, 7u);
  EXPECT_EQ(gSeen[0].lParam, -9);
  DestroyWindow(window);
}

// The host's own loop must still see a quit request.
TEST(NativeWin32, AQuitMessageStaysForTheHost) {
  DrainQueue();
  platform::PostQueueMessage(0, WM_APP + 3, 0, 0);
  PostQuitMessage(5);
  EXPECT_EQ(platform::DeliverPendingMessages(), 1);
  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 5u);
}

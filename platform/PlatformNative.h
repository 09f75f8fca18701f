// The system's own answers for what a host program would otherwise give
// through its hooks (HostHooks.cpp): one implementation per system.
#pragma once

#include <cstdint>
#include <string>

namespace platform::native {

// Whether the Escape key is down in the thread's keyboard state.
bool EscapeKeyDown();

// Takes every message off the thread's queue and delivers each to its
// window; answers how many were delivered.
int DeliverPendingMessages();

// Whether a message waits on the thread's queue (left there).
bool MessageWaiting();

// Puts a message on the thread's queue, for a window or (0) the thread.
void PostQueueMessage(uintptr_t window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// A message box owned by the desktop; answers the button chosen.
int32_t ShowMessageBox(const std::string& text, const std::string& caption, uint32_t kind);

}  // namespace platform::native

// What a plug-in needs from a person, on systems without a window system:
// the Escape key, answers to message boxes and the thread's message queue.
// The host program (or a test program) exports `PlatformHost_Hooks` by name;
// the platform layer of each module finds it in the executable. Without it,
// the Escape key is never down, message boxes answer their safe button and
// the queue is empty.
#pragma once

#include <cstdint>

#include "hostapi/PcbApiAbi.h"  // PCBAPI_CALL

extern "C" {

struct PlatformMessage {
  uintptr_t Window;
  uint32_t Message;
  uintptr_t WParam;
  intptr_t LParam;
};

struct PlatformHostHooks {
  uint32_t Size;  // sizeof(PlatformHostHooks), for later growth
  // Non-zero while the Escape key is held down.
  int32_t(PCBAPI_CALL* EscapeKeyDown)(void);
  // Shows a message box; kind holds the button set and icon (message-box
  // constants below); answers the button that was chosen.
  int32_t(PCBAPI_CALL* MessageBox)(const char* text, const char* caption, uint32_t kind);
  // Takes the next queued message off the thread's queue; 0 when empty.
  int32_t(PCBAPI_CALL* PeekMessage)(PlatformMessage* message);
  // Delivers a message to its window.
  void(PCBAPI_CALL* DispatchMessage)(const PlatformMessage* message);
};

using PlatformHost_Hooks_t = const PlatformHostHooks*(PCBAPI_CALL*)(void);
}

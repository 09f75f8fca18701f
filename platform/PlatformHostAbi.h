// What a plug-in needs from a person, on systems without a window system:
// the Escape key, answers to message boxes, the thread's message queue and
// the user's actions in modal dialogs.
// The host program (or a test program) exports `PlatformHost_Hooks` by name;
// the platform layer of each module finds it in the executable. Without it,
// the Escape key is never down, message boxes answer their safe button and
// the queue is empty.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hostapi/PcbApiAbi.h"  // PCBAPI_CALL

extern "C" {

struct PlatformMessage {
  uintptr_t Window;
  uint32_t Message;
  uintptr_t WParam;
  intptr_t LParam;
};

// The table grows at its end only. `Size` is the size of the table the host
// filled in: a hook that lies beyond it is absent. Hooks added later carry a
// default of nullptr, so a host that fills in fewer of them leaves the rest
// absent.
struct PlatformHostHooks {
  uint32_t Size;  // sizeof(PlatformHostHooks) of the host's build
  // Non-zero while the Escape key is held down.
  int32_t(PCBAPI_CALL* EscapeKeyDown)(void);
  // Shows a message box; kind holds the button set and icon (message-box
  // constants below); answers the button that was chosen.
  int32_t(PCBAPI_CALL* MessageBox)(const char* text, const char* caption, uint32_t kind);
  // Takes the next queued message off the thread's queue; 0 when empty.
  int32_t(PCBAPI_CALL* PeekMessage)(PlatformMessage* message);
  // Delivers a message to its window.
  void(PCBAPI_CALL* DispatchMessage)(const PlatformMessage* message);

  // ---- Later additions (each absent when Size does not reach it) -----------

  // The script of user actions for a modal dialog, given the form's name
  // (docs/dialog-scripts.md): a zero-terminated text that the host owns and
  // keeps unchanged until its next call of this hook; nullptr when the host
  // has no script for the form, which then gets its default ending.
  const char*(PCBAPI_CALL* DialogScript)(const char* formName) = nullptr;
  // Non-zero when a message waits on the thread's queue; it stays there.
  int32_t(PCBAPI_CALL* QueueWaiting)(void) = nullptr;
  // Puts a message at the end of the thread's queue.
  void(PCBAPI_CALL* PostQueueMessage)(const PlatformMessage* message) = nullptr;
  // A person works a modal dialog by hand (docs/dialog-scripts.md, "Working
  // a dialog by hand"). Given the form's name, the form as text and what
  // became of the last action (nullptr on the first call of a showing, ""
  // when it was played, else why it could not be), answers the next action:
  // one line of a dialog script, a
  // zero-terminated text the host keeps unchanged until its next call. The
  // first call of a showing answers nullptr when nobody works the form by
  // hand (the form then plays the host's script); a later nullptr means the
  // person went away, and the form closes as by its close box.
  const char*(PCBAPI_CALL* DialogAction)(const char* formName, const char* formText,
                                         const char* lastError) = nullptr;
};

using PlatformHost_Hooks_t = const PlatformHostHooks*(PCBAPI_CALL*)(void);
}

// The size of the first table: hosts built before any later addition.
inline constexpr uint32_t kPlatformHostHooksFirstSize = offsetof(PlatformHostHooks, DialogScript);

// Whether a table of the host's size holds the hook at this offset.
inline constexpr bool PlatformHostHookPresent(uint32_t size, size_t offset) {
  return size >= offset + sizeof(void*);
}

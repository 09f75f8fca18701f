// What needs a person (the Escape key, message-box answers, queued messages,
// dialog scripts) comes from the hooks that the executable exports as
// `PlatformHost_Hooks`. A program without them gets the system's own
// behaviour (PlatformNative.h): on Windows the keyboard state, the thread's
// message queue and real message boxes; elsewhere nobody at the keyboard.
#include <cstddef>

#include "platform/Platform.h"
#include "platform/PlatformHostAbi.h"
#include "platform/PlatformNative.h"

namespace platform {

namespace {

// The executable's export is looked up once per process: the Escape key is
// polled for every character a reader takes, far too often for a lookup.
PlatformHost_Hooks_t HooksExport() {
  static const PlatformHost_Hooks_t get = reinterpret_cast<PlatformHost_Hooks_t>(
      FindExport(ExecutableModule(), "PlatformHost_Hooks"));
  return get;
}

// Whether the executable exports the hooks at all (a host that answers no
// table still is a host: it is headless).
bool HostHasHooks() { return HooksExport() != nullptr; }

const PlatformHostHooks* Hooks() {
  const PlatformHost_Hooks_t get = HooksExport();
  if (!get) return nullptr;
  const PlatformHostHooks* hooks = get();
  // A table of the first size is complete; later hooks are checked one by
  // one against its size (PlatformHostHookPresent).
  if (!hooks || hooks->Size < kPlatformHostHooksFirstSize) return nullptr;
  return hooks;
}

}  // namespace

bool EscapeKeyDown() {
  // Fast path: readers poll the key at every character, so the host's hook is
  // resolved once per process (at the first poll) and then called directly.
  using EscapeHook = decltype(PlatformHostHooks::EscapeKeyDown);
  struct Source {
    bool host = false;
    EscapeHook hook = nullptr;
  };
  static const Source source = [] {
    const PlatformHostHooks* hooks = Hooks();
    return Source{HostHasHooks(), hooks ? hooks->EscapeKeyDown : nullptr};
  }();
  if (!source.host) return native::EscapeKeyDown();
  return source.hook && source.hook() != 0;
}

int DeliverPendingMessages() {
  if (!HostHasHooks()) return native::DeliverPendingMessages();
  const PlatformHostHooks* hooks = Hooks();
  if (!hooks || !hooks->PeekMessage) return 0;
  int delivered = 0;
  PlatformMessage message{};
  while (hooks->PeekMessage(&message)) {
    if (hooks->DispatchMessage) hooks->DispatchMessage(&message);
    ++delivered;
  }
  return delivered;
}

bool MessageWaiting() {
  if (!HostHasHooks()) return native::MessageWaiting();
  const PlatformHostHooks* hooks = Hooks();
  if (!hooks || !PlatformHostHookPresent(hooks->Size, offsetof(PlatformHostHooks, QueueWaiting)) ||
      !hooks->QueueWaiting)
    return false;
  return hooks->QueueWaiting() != 0;
}

void PostQueueMessage(uintptr_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!HostHasHooks()) return native::PostQueueMessage(window, message, wParam, lParam);
  const PlatformHostHooks* hooks = Hooks();
  if (!hooks ||
      !PlatformHostHookPresent(hooks->Size, offsetof(PlatformHostHooks, PostQueueMessage)) ||
      !hooks->PostQueueMessage)
    return;
  const PlatformMessage posted{window, message, wParam, lParam};
  hooks->PostQueueMessage(&posted);
}

int32_t SafeAnswer(uint32_t kind) {
  switch (kind & 0x0F) {
    case mbOKCancel:
    case mbYesNoCancel: return idCancel;
    case mbYesNo: return idNo;
    default: return idOK;
  }
}

int32_t ShowMessageBox(const std::string& text, const std::string& caption, uint32_t kind) {
  if (!HostHasHooks()) return native::ShowMessageBox(text, caption, kind);
  const PlatformHostHooks* hooks = Hooks();
  if (!hooks || !hooks->MessageBox) return SafeAnswer(kind);
  return hooks->MessageBox(text.c_str(), caption.c_str(), kind);
}

std::optional<std::string> HostDialogScript(const std::string& formName) {
  const PlatformHostHooks* hooks = Hooks();
  if (!hooks || !PlatformHostHookPresent(hooks->Size, offsetof(PlatformHostHooks, DialogScript)) ||
      !hooks->DialogScript)
    return std::nullopt;
  const char* script = hooks->DialogScript(formName.c_str());
  if (!script) return std::nullopt;
  return std::string(script);
}

}  // namespace platform

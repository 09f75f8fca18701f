#include "host/client/PlatformHooks.h"

#include <cstdio>
#include <deque>
#include <string>

#include "platform/Platform.h"

namespace standin {

namespace {

struct HookState {
  bool escapeDown = false;
  bool (*escapeSource)() = nullptr;
  MessageBoxPrompt prompt;
  DialogActionSource actionSource;
  std::string action;  // the last action answered, kept for the caller
  std::deque<int32_t> answers;
  std::optional<int32_t> standingAnswer;
  bool echo = true;
  std::vector<MessageBoxRecord> boxes;
  std::deque<PlatformMessage> queue;
  std::vector<PlatformMessage> delivered;
  std::optional<std::string> dialogScript;
  std::vector<std::string> dialogRequests;
};

HookState& State() {
  static HookState state;
  return state;
}

// One line on standard error: carriage returns and line feeds of the text
// become blanks.
std::string OneLine(const char* text) {
  std::string line = text ? text : "";
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  return line;
}

int32_t PCBAPI_CALL HookEscapeKeyDown(void) {
  const HookState& s = State();
  return s.escapeDown || (s.escapeSource && s.escapeSource()) ? 1 : 0;
}

int32_t PCBAPI_CALL HookMessageBox(const char* text, const char* caption, uint32_t kind) {
  try {
    HookState& s = State();
    int32_t answer = platform::SafeAnswer(kind);
    if (!s.answers.empty()) {
      answer = s.answers.front();
      s.answers.pop_front();
    } else if (s.standingAnswer) {
      answer = *s.standingAnswer;
    } else if (s.prompt) {
      if (const std::optional<int32_t> given = s.prompt(text ? text : "", caption ? caption : "", kind))
        answer = *given;
    }
    s.boxes.push_back(MessageBoxRecord{text ? text : "", caption ? caption : "", kind, answer});
    if (s.echo)
      std::fprintf(stderr, "message box [%s]: %s -> %d\n", OneLine(caption).c_str(),
                   OneLine(text).c_str(), answer);
    return answer;
  } catch (...) {
    return platform::SafeAnswer(kind);
  }
}

int32_t PCBAPI_CALL HookPeekMessage(PlatformMessage* message) {
  HookState& s = State();
  if (!message || s.queue.empty()) return 0;
  *message = s.queue.front();
  s.queue.pop_front();
  return 1;
}

void PCBAPI_CALL HookDispatchMessage(const PlatformMessage* message) {
  try {
    if (message) State().delivered.push_back(*message);
  } catch (...) {
  }
}

const char* PCBAPI_CALL HookDialogScript(const char* formName) {
  try {
    HookState& s = State();
    s.dialogRequests.push_back(formName ? formName : "");
    return s.dialogScript ? s.dialogScript->c_str() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

int32_t PCBAPI_CALL HookQueueWaiting() { return State().queue.empty() ? 0 : 1; }

void PCBAPI_CALL HookPostQueueMessage(const PlatformMessage* message) {
  try {
    if (message) State().queue.push_back(*message);
  } catch (...) {
  }
}

const char* PCBAPI_CALL HookDialogAction(const char* formName, const char* formText,
                                        const char* lastError) {
  try {
    HookState& s = State();
    if (!s.actionSource) return nullptr;
    const std::string error = lastError ? lastError : "";
    const std::optional<std::string> action =
        s.actionSource(formName ? formName : "", formText ? formText : "", lastError ? &error : nullptr);
    if (!action) return nullptr;
    s.action = *action;
    return s.action.c_str();
  } catch (...) {
    return nullptr;
  }
}

const PlatformHostHooks kHooks = {sizeof(PlatformHostHooks), HookEscapeKeyDown, HookMessageBox,
                                  HookPeekMessage, HookDispatchMessage, HookDialogScript,
                                  HookQueueWaiting, HookPostQueueMessage, HookDialogAction};

}  // namespace

void SetEscapeDown(bool down) { State().escapeDown = down; }
void SetEscapeSource(bool (*source)()) { State().escapeSource = source; }
void SetMessageBoxPrompt(MessageBoxPrompt prompt) { State().prompt = std::move(prompt); }
void SetDialogActionSource(DialogActionSource source) { State().actionSource = std::move(source); }
void QueueMessageBoxAnswer(int32_t answer) { State().answers.push_back(answer); }
void SetStandingMessageBoxAnswer(std::optional<int32_t> answer) { State().standingAnswer = answer; }
void SetMessageBoxEcho(bool echo) { State().echo = echo; }
const std::vector<MessageBoxRecord>& MessageBoxes() { return State().boxes; }
void QueueMessage(const PlatformMessage& message) { State().queue.push_back(message); }
size_t QueuedMessages() { return State().queue.size(); }
const std::vector<PlatformMessage>& DeliveredMessages() { return State().delivered; }
void SetDialogScript(std::optional<std::string> script) { State().dialogScript = std::move(script); }
const std::vector<std::string>& DialogScriptRequests() { return State().dialogRequests; }
void ResetHooks() { State() = HookState{}; }

}  // namespace standin

PCB_EXPORT const PlatformHostHooks* PCBAPI_CALL PlatformHost_Hooks(void) {
  return &standin::kHooks;
}

static_assert(std::is_same_v<decltype(&PlatformHost_Hooks), PlatformHost_Hooks_t>);

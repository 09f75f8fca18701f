// The host side of what a person does on systems without a window system:
// the Escape key, the answers to message boxes and the thread's message
// queue. Link the object library `standin_hooks` into an executable (with
// ENABLE_EXPORTS) and it exports `PlatformHost_Hooks`, which the platform
// layer of every module finds there.
//
// By default the Escape key is never down, a message box is printed on
// standard error and answered with its safe button, the queue is empty, and
// modal dialogs get no script (each closes through its default button).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformHostAbi.h"

namespace standin {

void SetEscapeDown(bool down);
// Where Escape key presses come from besides SetEscapeDown (a terminal, say):
// asked at every poll of the key; nullptr: nowhere.
void SetEscapeSource(bool (*source)());

// Answers of message boxes: queued answers first, one per box, then the
// standing answer; without one, the safe answer of the box's buttons.
void QueueMessageBoxAnswer(int32_t answer);
void SetStandingMessageBoxAnswer(std::optional<int32_t> answer);
// Whether message boxes are printed on standard error (default true).
void SetMessageBoxEcho(bool echo);
// A person who answers message boxes (on a terminal, say): asked after the
// queued and the standing answers, before the safe answer; answers nothing
// when there is nobody to ask.
using MessageBoxPrompt =
    std::function<std::optional<int32_t>(const std::string& text, const std::string& caption, uint32_t kind)>;
void SetMessageBoxPrompt(MessageBoxPrompt prompt);

struct MessageBoxRecord {
  std::string Text;
  std::string Caption;
  uint32_t Kind = 0;
  int32_t Answer = 0;
};
const std::vector<MessageBoxRecord>& MessageBoxes();

// Puts a message on the thread's queue; the platform layer takes it off and
// delivers it.
void QueueMessage(const PlatformMessage& message);
size_t QueuedMessages();
const std::vector<PlatformMessage>& DeliveredMessages();

// The script of user actions (docs/dialog-scripts.md) answered for every
// modal form; nothing: no script.
void SetDialogScript(std::optional<std::string> script);
// The names of the forms whose script was asked for, in order.
const std::vector<std::string>& DialogScriptRequests();

// A person who works modal forms by hand (docs/dialog-scripts.md, "Working a
// dialog by hand"): given the form's name, the form as text and the outcome
// of the last action (nullptr on the first call of a showing, "" when it was
// played, else why not), answers the next action line; nothing on the first
// call of a showing leaves the form to the script, nothing later closes it.
using DialogActionSource = std::function<std::optional<std::string>(
    const std::string& formName, const std::string& formText, const std::string* lastError)>;
void SetDialogActionSource(DialogActionSource source);

// Back to the defaults, with empty logs and queue.
void ResetHooks();

}  // namespace standin

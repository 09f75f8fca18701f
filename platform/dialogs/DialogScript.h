// The headless modal driver: it plays a script of user actions on a shown
// form (click a control or a grid cell, choose a list item, tick a box,
// choose a page, press a key) and ends it with the form's default ending when
// the script leaves it open. The language is described in
// docs/dialog-scripts.md.
//
// The host's driver (the one ShowModal uses unless another is installed)
// asks the host for the script of each form by the form's name
// (platform::HostDialogScript); without one the form gets its default
// ending: its default button is pressed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/dialogs/Dialogs.h"

namespace dialogs {

struct ScriptAction {
  int Line = 0;                   // line number in the script text, from 1
  std::string Verb;               // lower case
  std::vector<std::string> Args;  // the words after the verb (quotes removed)
  std::string Text;               // for "choose" and "page": the item or page text
  bool TextByIndex = false;       // "#N": Text holds N
};

struct DialogScript {
  std::vector<ScriptAction> Common;  // lines before the first "form" line
  struct Section {
    std::string Form;
    std::vector<ScriptAction> Actions;
  };
  std::vector<Section> Sections;

  // The actions for a form: the common ones, then those of every section
  // naming the form (names compared without regard to case).
  std::vector<ScriptAction> ActionsFor(std::string_view formName) const;
};

// Reads a script. False, with "line N: ..." in `error`, for the first line
// that is not a valid action; `script` then holds nothing usable.
bool ParseDialogScript(std::string_view text, DialogScript& script, std::string& error);

// Plays actions on a form that is shown modally, stopping as soon as the form
// has a ModalResult. False, with "line N: ..." in `error`, for an action that
// a user could not do (a control that is not there, hidden or disabled, an
// item or cell that does not exist); the remaining actions are not played.
bool PlayActions(Form& form, const std::vector<ScriptAction>& actions, std::string& error);

// The ending of a form that a script left open: its default button is
// pressed; a form without one closes with mrOk.
void DefaultEnding(Form& form);

// Plays a script text on a form: the form's actions, then the default ending
// when the form is still open. A script that cannot be read or played closes
// the form with mrCancel, and the error ("Dialog script, form NAME, line N:
// ...") is shown in a message box (caption "Dialog Script") and answered.
// nullptr for the text gives the default ending alone.
std::string RunDialogScript(Form& form, const std::string* text);

// A driver with a fixed script text for every form it shows.
class ScriptDriver : public ModalDriver {
 public:
  explicit ScriptDriver(std::string script) : Script_(std::move(script)) {}
  void Run(Form& form) override;
  // The errors of the forms shown so far, one per failed script.
  const std::vector<std::string>& Errors() const { return Errors_; }

 private:
  std::string Script_;
  std::vector<std::string> Errors_;
};

// The driver that asks the host for each form's script.
class HostScriptDriver : public ModalDriver {
 public:
  void Run(Form& form) override;
};

// The names of keys as scripts write them ("Enter", "Alt+Down", "F4", "M");
// false for an unknown name.
bool ParseKeyName(std::string_view text, uint16_t& key, TShiftState& shift);

}  // namespace dialogs

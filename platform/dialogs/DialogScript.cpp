#include "platform/dialogs/DialogScript.h"

#include <charconv>

#include "platform/Platform.h"
#include "platform/dialogs/FormText.h"

namespace dialogs {

ModalDriver& HostDriverInstance();

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerText(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

bool SameText(std::string_view a, std::string_view b) { return LowerText(a) == LowerText(b); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A non-negative decimal number that fits an int, the whole text.
bool ParseCount(std::string_view text, int& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && value >= 0;
}

struct Word {
  std::string Text;
  size_t End = 0;  // offset just past the word in the line
};

// Splits a line into words; a word in double quotes may hold blanks.
bool SplitWords(std::string_view line, std::vector<Word>& words, std::string& error) {
  size_t i = 0;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) return true;
    Word w;
    if (line[i] == '"') {
      const size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) {
        error = "a quoted text is not closed";
        return false;
      }
      w.Text = std::string(line.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      const size_t start = i;
      while (i < line.size() && !IsBlank(line[i])) ++i;
      w.Text = std::string(line.substr(start, i - start));
    }
    w.End = i;
    words.push_back(std::move(w));
  }
}

// The text argument of "choose" and "page": the rest of the line, its
// surrounding quotes removed; "#N" chooses by position.
bool RestText(std::string_view rest, ScriptAction& action, std::string& error) {
  rest = Trim(rest);
  if (rest.empty()) {
    error = "\"" + action.Verb + "\" needs a control and a text";
    return false;
  }
  if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
    action.Text = std::string(rest.substr(1, rest.size() - 2));
    return true;
  }
  if (rest.front() == '#') {
    int n = 0;
    if (!ParseCount(rest.substr(1), n)) {
      error = "\"" + std::string(rest) + "\" is no position (#0, #1, ...)";
      return false;
    }
    action.TextByIndex = true;
  }
  action.Text = std::string(rest.front() == '#' ? rest.substr(1) : rest);
  return true;
}

bool ParseLine(std::string_view line, ScriptAction& action, std::string& error) {
  std::vector<Word> words;
  if (!SplitWords(line, words, error)) return false;
  action.Verb = LowerText(words[0].Text);
  const std::string& verb = action.Verb;
  for (size_t i = 1; i < words.size(); ++i) action.Args.push_back(words[i].Text);
  const size_t n = action.Args.size();
  auto arity = [&](bool ok, const char* usage) {
    if (!ok) error = std::string("usage: ") + usage;
    return ok;
  };
  if (verb == "form") return arity(n == 1, "form NAME");
  if (verb == "ok" || verb == "cancel" || verb == "close") return arity(n == 0, "ok | cancel | close");
  if (verb == "tick" || verb == "untick" || verb == "focus")
    return arity(n == 1, "tick NAME | untick NAME | focus NAME");
  if (verb == "click") {
    if (!arity(n == 1 || n == 3, "click NAME | click GRID COLUMN ROW")) return false;
    int v = 0;
    if (n == 3 && (!ParseCount(action.Args[1], v) || !ParseCount(action.Args[2], v))) {
      error = "column and row are numbers from 0";
      return false;
    }
    return true;
  }
  if (verb == "scroll") {
    if (!arity(n == 2, "scroll GRID ROW")) return false;
    int v = 0;
    if (!ParseCount(action.Args[1], v)) {
      error = "the row is a number from 0";
      return false;
    }
    return true;
  }
  if (verb == "key") {
    if (!arity(n == 1 || n == 2, "key KEY [NAME]")) return false;
    uint16_t key = 0;
    TShiftState shift = 0;
    if (!ParseKeyName(action.Args[0], key, shift)) {
      error = "unknown key \"" + action.Args[0] + "\"";
      return false;
    }
    return true;
  }
  if (verb == "choose" || verb == "page") {
    if (n < 2) {
      error = std::string("usage: ") + (verb == "choose" ? "choose LIST ITEM" : "page PAGES PAGE");
      return false;
    }
    return RestText(line.substr(words[1].End), action, error);
  }
  error = "unknown action \"" + words[0].Text + "\"";
  return false;
}

std::string At(const ScriptAction& action, const std::string& message) {
  return "line " + std::to_string(action.Line) + ": " + message;
}

// The control a user can reach: present, showing and enabled.
Control* Reachable(Form& form, const ScriptAction& action, const std::string& name,
                   std::string& error) {
  Control* c = form.Find(name);
  if (!c) error = At(action, "no control named \"" + name + "\"");
  else if (!c->Showing()) error = At(action, "\"" + name + "\" is not showing");
  else if (!c->EnabledInChain()) error = At(action, "\"" + name + "\" is disabled");
  else return c;
  return nullptr;
}

template <class T>
T* ReachableAs(Form& form, const ScriptAction& action, const char* what, std::string& error) {
  Control* c = Reachable(form, action, action.Args[0], error);
  if (!c) return nullptr;
  if (auto* t = dynamic_cast<T*>(c)) return t;
  error = At(action, "\"" + action.Args[0] + "\" is not " + what);
  return nullptr;
}

// A mouse click on a control (not a grid cell).
bool ClickControl(Control& c, const ScriptAction& action, std::string& error) {
  if (auto* button = dynamic_cast<Button*>(&c)) {
    button->SetFocus();
    button->Click();
  } else if (auto* box = dynamic_cast<CheckBox*>(&c)) {
    box->SetFocus();
    box->Click();
  } else if (auto* combo = dynamic_cast<ComboBox*>(&c)) {
    combo->SetFocus();
    combo->DroppedDown = !combo->DroppedDown;
  } else if (dynamic_cast<StringGrid*>(&c)) {
    error = At(action, "a click on a grid needs a column and a row");
    return false;
  } else {
    c.SetFocus();
    c.OwnerForm().Fire(c.OnClick, c);
  }
  return true;
}

bool PlayOne(Form& form, const ScriptAction& a, std::string& error) {
  const std::string& verb = a.Verb;
  if (verb == "ok") {
    DefaultEnding(form);
    return true;
  }
  if (verb == "cancel") {
    if (Button* b = form.CancelButton()) b->Click();
    else form.Close();
    return true;
  }
  if (verb == "close") {
    form.Close();
    return true;
  }
  if (verb == "click") {
    if (a.Args.size() == 3) {
      auto* grid = ReachableAs<StringGrid>(form, a, "a grid", error);
      if (!grid) return false;
      int col = 0, row = 0;
      ParseCount(a.Args[1], col);
      ParseCount(a.Args[2], row);
      if (!grid->ClickCell(col, row)) {
        error = At(a, "\"" + a.Args[0] + "\" has no cell at column " + a.Args[1] + ", row " +
                          a.Args[2] + " that can be clicked");
        return false;
      }
      return true;
    }
    Control* c = Reachable(form, a, a.Args[0], error);
    return c && ClickControl(*c, a, error);
  }
  if (verb == "choose") {
    auto* combo = ReachableAs<ComboBox>(form, a, "a list", error);
    if (!combo) return false;
    int index = -1;
    if (a.TextByIndex) ParseCount(a.Text, index);
    else index = combo->IndexOf(a.Text);
    if (index < 0 || static_cast<size_t>(index) >= combo->Items.size()) {
      error = At(a, "\"" + a.Args[0] + "\" has no item \"" + (a.TextByIndex ? "#" : "") + a.Text + "\"");
      return false;
    }
    combo->SetFocus();
    combo->Choose(index);
    return true;
  }
  if (verb == "tick" || verb == "untick") {
    auto* box = ReachableAs<CheckBox>(form, a, "a check box", error);
    if (!box) return false;
    if (box->Checked() != (verb == "tick")) {
      box->SetFocus();
      box->Click();
    }
    return true;
  }
  if (verb == "page") {
    auto* pages = ReachableAs<PageControl>(form, a, "a page control", error);
    if (!pages) return false;
    int index = -1;
    if (a.TextByIndex) ParseCount(a.Text, index);
    else index = pages->FindPage(a.Text);
    if (!pages->ChoosePage(index)) {
      error = At(a, "\"" + a.Args[0] + "\" has no page \"" + (a.TextByIndex ? "#" : "") + a.Text + "\"");
      return false;
    }
    return true;
  }
  if (verb == "focus" || (verb == "key" && a.Args.size() == 2)) {
    const std::string& name = verb == "focus" ? a.Args[0] : a.Args[1];
    Control* c = Reachable(form, a, name, error);
    if (!c) return false;
    if (!c->SetFocus()) {
      error = At(a, "\"" + name + "\" cannot take the focus");
      return false;
    }
    if (verb == "focus") return true;
  }
  if (verb == "key") {
    uint16_t key = 0;
    TShiftState shift = 0;
    ParseKeyName(a.Args[0], key, shift);
    form.PressKey(key, shift);
    return true;
  }
  if (verb == "scroll") {
    auto* grid = ReachableAs<StringGrid>(form, a, "a grid", error);
    if (!grid) return false;
    int row = 0;
    ParseCount(a.Args[1], row);
    if (row >= grid->RowCount()) {
      error = At(a, "\"" + a.Args[0] + "\" has no row " + a.Args[1]);
      return false;
    }
    grid->SetTopRow(row);
    return true;
  }
  error = At(a, "unknown action \"" + verb + "\"");
  return false;
}

}  // namespace

bool ParseKeyName(std::string_view text, uint16_t& key, TShiftState& shift) {
  shift = 0;
  std::string_view rest = text;
  while (true) {
    const size_t plus = rest.find('+');
    if (plus == std::string_view::npos || plus + 1 >= rest.size()) break;
    const std::string mod = LowerText(rest.substr(0, plus));
    if (mod == "shift") shift |= ssShift;
    else if (mod == "alt") shift |= ssAlt;
    else if (mod == "ctrl" || mod == "control") shift |= ssCtrl;
    else return false;
    rest.remove_prefix(plus + 1);
  }
  const std::string name = LowerText(rest);
  static const struct {
    const char* Name;
    uint16_t Key;
  } kNamed[] = {{"enter", vkReturn},   {"return", vkReturn}, {"escape", vkEscape},
                {"esc", vkEscape},     {"tab", vkTab},       {"space", vkSpace},
                {"backspace", vkBack}, {"delete", vkDelete}, {"up", vkUp},
                {"down", vkDown},      {"left", vkLeft},     {"right", vkRight},
                {"home", vkHome},      {"end", vkEnd},       {"pageup", vkPrior},
                {"pagedown", vkNext}};
  for (const auto& k : kNamed)
    if (name == k.Name) {
      key = k.Key;
      return true;
    }
  if (name.size() >= 2 && name.size() <= 3 && name[0] == 'f') {
    int n = 0;
    if (ParseCount(std::string_view(name).substr(1), n) && n >= 1 && n <= 12) {
      key = static_cast<uint16_t>(vkF1 + n - 1);
      return true;
    }
  }
  if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9'))) {
    key = static_cast<uint16_t>(name[0] >= 'a' ? name[0] - 'a' + 'A' : name[0]);
    return true;
  }
  return false;
}

std::vector<ScriptAction> DialogScript::ActionsFor(std::string_view formName) const {
  std::vector<ScriptAction> actions = Common;
  for (const auto& section : Sections)
    if (SameText(section.Form, formName))
      actions.insert(actions.end(), section.Actions.begin(), section.Actions.end());
  return actions;
}

bool ParseDialogScript(std::string_view text, DialogScript& script, std::string& error) {
  script = DialogScript{};
  int lineNumber = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trim(text.substr(pos, end - pos));
    ++lineNumber;
    pos = end + 1;
    if (line.empty() || line.front() == '#') continue;
    ScriptAction action;
    action.Line = lineNumber;
    std::string message;
    if (!ParseLine(line, action, message)) {
      error = "line " + std::to_string(lineNumber) + ": " + message;
      script = DialogScript{};
      return false;
    }
    if (action.Verb == "form") script.Sections.push_back({action.Args[0], {}});
    else if (script.Sections.empty()) script.Common.push_back(std::move(action));
    else script.Sections.back().Actions.push_back(std::move(action));
  }
  return true;
}

bool PlayActions(Form& form, const std::vector<ScriptAction>& actions, std::string& error) {
  for (const ScriptAction& action : actions) {
    if (form.ModalResult != mrNone) break;
    if (!PlayOne(form, action, error)) return false;
  }
  return true;
}

void DefaultEnding(Form& form) {
  if (Button* b = form.DefaultButton()) b->Click();
  else form.ModalResult = mrOk;
}

std::string RunDialogScript(Form& form, const std::string* text) {
  std::string error;
  bool ok = true;
  if (text) {
    DialogScript script;
    ok = ParseDialogScript(*text, script, error) &&
         PlayActions(form, script.ActionsFor(form.Name()), error);
  }
  if (ok) {
    if (form.ModalResult == mrNone) DefaultEnding(form);
    return {};
  }
  form.ModalResult = mrCancel;
  const std::string message = "Dialog script, form " + form.Name() + ", " + error;
  platform::ShowMessageBox(message, "Dialog Script", platform::mbOK | platform::mbIconError);
  return message;
}

void ScriptDriver::Run(Form& form) {
  std::string error = RunDialogScript(form, &Script_);
  if (!error.empty()) Errors_.push_back(std::move(error));
}

void HostScriptDriver::Run(Form& form) {
  // A person at the host works the form by hand, or the host's script plays.
  if (RunHostActions(form)) return;
  const std::optional<std::string> script = platform::HostDialogScript(form.Name());
  RunDialogScript(form, script ? &*script : nullptr);
}

ModalDriver& HostDriverInstance() {
  static HostScriptDriver driver;
  return driver;
}

}  // namespace dialogs

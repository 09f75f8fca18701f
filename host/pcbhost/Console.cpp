#include "host/pcbhost/Console.h"

#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <set>
#include <sstream>

#include "host/client/PlatformHooks.h"
#include "host/pcbhost/Terminal.h"
#include "platform/Platform.h"

namespace pcbhost {

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  const size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

// A positive whole number, the whole text.
bool Number(const std::string& text, size_t& value) {
  if (text.empty() || text.size() > 6) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<size_t>(c - '0');
  }
  return value > 0;
}

// A UTF-8 text as it may go to the terminal: control characters (C0, DEL
// and C1, which could drive the terminal) become blanks; line breaks stay
// when `lines`.
std::string Printable(const std::string& utf8, bool lines = false) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c == '\n' && lines) {
      out += '\n';
    } else if (c < 0x20 || c == 0x7F) {
      out += ' ';
    } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      out += ' ';
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// ---- The form as text ------------------------------------------------------------------

struct Item {
  std::string Kind, Name, Text;
  std::set<std::string> Flags;
  std::vector<std::string> Entries;            // list items, page tabs, text lines
  std::vector<std::vector<std::string>> Rows;  // grid rows
  bool Has(const char* flag) const { return Flags.count(flag) != 0; }
};

struct FormView {
  std::string Name, Caption;
  std::vector<Item> Items;
  const Item* Find(const std::string& name) const {
    for (const Item& i : Items)
      if (Lower(i.Name) == Lower(name)) return &i;
    return nullptr;
  }
};

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

// The form as text, its texts in UTF-8 (texts that are not UTF-8 already,
// such as the file's layer names, are read in the code page).
FormView ParseView(const std::string& text, CodePage page) {
  FormView v;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> f = SplitTabs(line);
    for (std::string& field : f) field = Printable(NameToUtf8(field, page));
    const std::string& kind = f[0];
    auto at = [&](size_t i) { return i < f.size() ? f[i] : std::string(); };
    if (kind == "form") {
      v.Name = at(1);
      v.Caption = at(2);
    } else if (kind == "item" || kind == "tab") {
      if (!v.Items.empty()) v.Items.back().Entries.push_back(at(2));
    } else if (kind == "line") {
      if (!v.Items.empty()) v.Items.back().Entries.push_back(at(1));
    } else if (kind == "row") {
      if (!v.Items.empty()) v.Items.back().Rows.emplace_back(f.begin() + std::min<size_t>(2, f.size()), f.end());
    } else {
      Item item;
      item.Kind = kind;
      item.Name = at(1);
      if (kind == "label") {
        item.Text = at(2);
      } else {
        std::istringstream flags(at(2));
        for (std::string flag; std::getline(flags, flag, ',');)
          if (flag != "-") item.Flags.insert(flag);
        item.Text = at(3);
      }
      v.Items.push_back(std::move(item));
    }
  }
  return v;
}

// The layer drop-down over the options dialog's grid, which shows while a
// row is being mapped: worked through "map", never by number, so that the
// numbers of the other controls stay as they are.
bool IsLayerDropDown(const Item& i) { return Lower(i.Name) == Lower(kLayerList); }

// The controls a person works by number: buttons, check boxes and lists
// that show, in tab order. Disabled ones keep their numbers (so that the
// numbers do not move when a control is switched off) and are shown so.
std::vector<const Item*> Workable(const FormView& v) {
  std::vector<const Item*> items;
  for (const Item& i : v.Items)
    if ((i.Kind == "button" || i.Kind == "check" || i.Kind == "list") && !IsLayerDropDown(i))
      items.push_back(&i);
  return items;
}

std::string Render(const FormView& v) {
  const std::vector<const Item*> workable = Workable(v);
  auto numberOf = [&](const Item& i) {
    for (size_t k = 0; k < workable.size(); ++k)
      if (workable[k] == &i) return "[" + std::to_string(k + 1) + "] ";
    return std::string("    ");
  };
  std::string out = "\n== " + (v.Caption.empty() ? v.Name : v.Caption) + " ==\n";
  std::string buttons;
  auto flushButtons = [&] {
    if (!buttons.empty()) out += "  " + buttons + "\n";
    buttons.clear();
  };
  for (size_t k = 0; k < v.Items.size(); ++k) {
    const Item& i = v.Items[k];
    if (i.Kind == "button") {
      buttons += (buttons.empty() ? "" : "  ") + numberOf(i) + i.Text + (i.Has("disabled") ? " (off)" : "");
      continue;
    }
    flushButtons();
    if (i.Kind == "label") {
      if (Trim(i.Text).empty()) continue;
      // "Status: " and the label after it make one line.
      const std::string t = Trim(i.Text);
      if (t.back() == ':' && k + 1 < v.Items.size() && v.Items[k + 1].Kind == "label") {
        out += "  " + t + " " + Trim(v.Items[k + 1].Text) + "\n";
        ++k;
      } else {
        out += "  " + t + "\n";
      }
    } else if (i.Kind == "check") {
      out += "  " + numberOf(i) + (i.Has("ticked") ? "[x] " : "[ ] ") + i.Text +
             (i.Has("disabled") ? " (off)" : "") + "\n";
    } else if (i.Kind == "list") {
      if (IsLayerDropDown(i)) continue;
      out += "  " + numberOf(i) + (i.Text.empty() ? "(none)" : i.Text) +
             (i.Has("disabled") ? " (off)" : "  (" + std::to_string(i.Entries.size()) + " to choose from)") + "\n";
    } else if (i.Kind == "grid") {
      std::vector<size_t> widths;
      for (const auto& row : i.Rows)
        for (size_t c = 0; c < row.size(); ++c) {
          if (widths.size() <= c) widths.push_back(0);
          widths[c] = std::max(widths[c], row[c].size());
        }
      for (size_t r = 0; r < i.Rows.size(); ++r) {
        std::string line = "  " + std::string(r + 1 < 10 ? "   " : r + 1 < 100 ? "  " : " ") +
                           std::to_string(r + 1) + "  ";
        for (size_t c = 0; c < i.Rows[r].size(); ++c)
          line += i.Rows[r][c] + std::string(widths[c] - i.Rows[r][c].size() + 2, ' ');
        out += Trim(line).empty() ? "" : line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
      }
    } else if (i.Kind == "text") {
      for (const std::string& l : i.Entries) out += "  " + l + "\n";
    } else if (i.Kind == "pages") {
      if (i.Entries.size() > 1) out += "  Page: " + i.Text + "\n";
    } else if (i.Kind == "panel") {
      if (!Trim(i.Text).empty()) out += "  " + Trim(i.Text) + "\n";
    }
  }
  flushButtons();
  return out;
}

constexpr char kHelp[] =
    "  N          press button N, tick or untick box N, or open list N to choose from it\n"
    "  N ITEM     choose ITEM (its text, or its number from the list) in list N\n"
    "  map ROW [LAYER]  map layer row ROW of the grid (asks for the layer when not given)\n"
    "  ok | cancel      end the dialog\n"
    "  Enter      show the dialog again;  Escape  the Escape key\n"
    "  anything else is played as a line of a dialog script (docs/dialog-scripts.md)\n";

// The item of a list a person means: its number (from 1) or its text,
// compared exactly first and then without regard to case.
std::optional<size_t> ItemOf(const std::vector<std::string>& items, const std::string& wanted) {
  size_t n = 0;
  if (Number(wanted, n) && n <= items.size()) return n - 1;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == wanted) return i;
  for (size_t i = 0; i < items.size(); ++i)
    if (Lower(items[i]) == Lower(wanted)) return i;
  return std::nullopt;
}

std::string ListItems(const std::vector<std::string>& items) {
  std::string out;
  const size_t columns = 3;
  const size_t rows = (items.size() + columns - 1) / columns;
  for (size_t r = 0; r < rows; ++r) {
    std::string line = " ";
    for (size_t c = 0; c < columns; ++c) {
      const size_t i = c * rows + r;
      if (i >= items.size()) break;
      std::string cell = (i + 1 < 10 ? "  " : i + 1 < 100 ? " " : "") + std::to_string(i + 1) + ". " + items[i];
      if (cell.size() < 26) cell += std::string(26 - cell.size(), ' ');
      line += " " + cell;
    }
    out += line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
  }
  return out;
}

}  // namespace

// ---- State ---------------------------------------------------------------------------------

// One step still to play: gives the action line for the form as it stands,
// or nothing (and the problem) when it cannot.
using Step = std::function<std::optional<std::string>(const FormView& view, std::string& problem)>;

struct Console::State {
  PersonOptions options;
  tarvex::ITarvexHost* host = nullptr;
  bool terminal = false;  // standard input and standard error are terminals
  std::unique_ptr<ProgressBar> bar;
  std::deque<Step> steps;
  std::vector<std::string> mapProblems;
  bool optionsShown = false;  // the options dialog was shown
  std::string lastShown;  // the last form text shown to the person

  // Something is about to be written on the terminal: the bar makes room.
  void Interrupt() {
    if (bar) bar->Suspend();
  }
  void Resume() {
    if (bar) bar->Resume();
  }

  std::optional<std::string> AskLine(const std::string& prompt) {
    terminal::Write(prompt);
    return terminal::ReadLine();
  }

  // ---- Message boxes ----

  std::optional<int32_t> MessageBox(const std::string& text, const std::string& caption, uint32_t kind) {
    // The box is asked or printed below the bar; the next step draws it again.
    Interrupt();
    if (options.AnswerYes) return AnswerFor(kind, *options.AnswerYes);
    if (!terminal) return std::nullopt;
    struct Choice {
      char Key;
      const char* Word;
      int32_t Answer;
    };
    std::vector<Choice> choices;
    switch (kind & 0x0F) {
      case platform::mbOKCancel: choices = {{'o', "[o]k", platform::idOK}, {'c', "[c]ancel", platform::idCancel}}; break;
      case platform::mbYesNo: choices = {{'y', "[y]es", platform::idYes}, {'n', "[n]o", platform::idNo}}; break;
      case platform::mbYesNoCancel:
        choices = {{'y', "[y]es", platform::idYes}, {'n', "[n]o", platform::idNo}, {'c', "[c]ancel", platform::idCancel}};
        break;
      default: choices = {{'o', "[o]k", platform::idOK}}; break;
    }
    std::string buttons;
    for (const Choice& c : choices) buttons += (buttons.empty() ? "" : " / ") + std::string(c.Word);
    const char* icon = "";
    switch (kind & 0xF0) {
      case platform::mbIconError: icon = "Error: "; break;
      case platform::mbIconWarning: icon = "Warning: "; break;
      case platform::mbIconQuestion: icon = "Question: "; break;
      case platform::mbIconInformation: icon = "Note: "; break;
      default: break;
    }
    terminal::Write("\n[" + Printable(NameToUtf8(caption, options.Page)) + "] " + icon +
                    Printable(NameToUtf8(text, options.Page), true) + "\n");
    int32_t answer = platform::SafeAnswer(kind);
    while (true) {
      const std::optional<std::string> line = AskLine(buttons + " ? ");
      if (!line || *line == terminal::kEscapeLine) break;
      const std::string word = Lower(Trim(*line));
      if (word.empty() && choices.size() == 1) {
        answer = choices[0].Answer;
        break;
      }
      const Choice* chosen = nullptr;
      for (const Choice& c : choices)
        if (!word.empty() && (word == std::string(1, c.Key) ||
                              Lower(std::string(c.Word).erase(0, 1).erase(1, 1)) == word))
          chosen = &c;
      if (chosen) {
        answer = chosen->Answer;
        break;
      }
    }
    Resume();
    return answer;
  }

  // ---- The common file dialog ----

  std::optional<std::string> CommonDialog(const std::string& request) {
    if (!terminal || !options.Interactive) return std::nullopt;
    Interrupt();
    std::string prompt = "File";
    std::string mode = "open";
    std::string proposed;
    std::istringstream in(request);
    for (std::string pair; std::getline(in, pair, '|');) {
      const size_t eq = pair.find('=');
      if (eq == std::string::npos) continue;
      const std::string name = Lower(Trim(pair.substr(0, eq)));
      const std::string value = Trim(pair.substr(eq + 1));
      if (name == "prompt" && !value.empty()) prompt = value;
      if (name == "mode") mode = value == "1" ? "save" : "open";
      if (name == "path") proposed = value;
    }
    const std::string question =
        "\n" + Printable(NameToUtf8(prompt, options.Page)) + " (" + mode + ")" +
        (proposed.empty() ? "" : " [" + Printable(NameToUtf8(proposed, options.Page)) + "]") +
        ", empty to cancel: ";
    std::optional<std::string> line = AskLine(question);
    // "|" separates the answer's parameters: no file name can hold it here.
    while (line && line->find('|') != std::string::npos) {
      terminal::Write("  ! a file name cannot hold \"|\" here\n");
      line = AskLine(question);
    }
    Resume();
    if (!line || *line == terminal::kEscapeLine || Trim(*line).empty()) return std::string("Result=False");
    return "Result=True|Path=" + Trim(*line);
  }

  // ---- Dialogs ----

  // The steps of --map on the options dialog: for each map, a click on the
  // row's layer cell, then the layer chosen in the drop-down that shows.
  void QueueMaps(const FormView& view) {
    const Item* grid = view.Find(kLayerGrid);
    for (const LayerMap& m : options.Maps) {
      size_t row = 0;
      bool found = false;
      if (grid)
        for (size_t r = 0; r < grid->Rows.size() && !found; ++r)
          if (!grid->Rows[r].empty() && Lower(grid->Rows[r][0]) == Lower(m.Row)) row = r, found = true;
      if (!found) {
        mapProblems.push_back("--map " + m.Row + "=" + m.Layer + ": the options dialog has no layer row " + m.Row);
        continue;
      }
      QueueMapRow(row, m.Layer, "--map " + m.Row + "=" + m.Layer + ": ");
    }
  }

  void QueueMapRow(size_t row, const std::string& layer, const std::string& what) {
    steps.push_back([row](const FormView& v, std::string& problem) -> std::optional<std::string> {
      const Item* grid = v.Find(kLayerGrid);
      if (!grid || row >= grid->Rows.size() || grid->Rows[row].empty()) {
        problem = "the grid has no row " + std::to_string(row + 1);
        return std::nullopt;
      }
      return "click " + std::string(kLayerGrid) + " " + std::to_string(grid->Rows[row].size() - 1) + " " +
             std::to_string(row);
    });
    steps.push_back([this, layer, what](const FormView& v, std::string& problem) -> std::optional<std::string> {
      const Item* list = v.Find(kLayerList);
      if (!list) {
        problem = what + "the layer drop-down does not show";
        return std::nullopt;
      }
      std::string wanted = layer;
      if (wanted.empty()) {
        // Asked on the terminal.
        terminal::Write("Layers:\n" + ListItems(list->Entries));
        const std::optional<std::string> line = AskLine("Layer (number or name, empty to leave it): ");
        if (!line || *line == terminal::kEscapeLine || Trim(*line).empty())
          return "focus " + std::string(kLayerGrid);
        wanted = Trim(*line);
      }
      const std::optional<size_t> item = ItemOf(list->Entries, wanted);
      if (!item) {
        problem = what + "the layer drop-down has no layer \"" + wanted + "\"";
        return std::nullopt;
      }
      return "choose " + std::string(kLayerList) + " #" + std::to_string(*item);
    });
  }

  std::optional<std::string> DialogAction(const std::string& form, const std::string& text,
                                          const std::string* lastError) {
    FormView view = ParseView(text, options.Page);
    if (!lastError) {
      // A new showing.
      steps.clear();
      lastShown.clear();
      if (form == kOptionsForm) optionsShown = true;
      if (form == kOptionsForm && !options.Maps.empty()) {
        QueueMaps(view);
        if (!mapProblems.empty()) {
          steps.clear();
          return std::string("cancel");
        }
      }
      if (!options.Interactive) {
        if (steps.empty()) return std::nullopt;  // the host's script plays
        steps.push_back([](const FormView&, std::string&) { return std::optional<std::string>("ok"); });
      }
    }
    if (lastError && !lastError->empty()) {
      if (!options.Interactive) {
        mapProblems.push_back(*lastError);
        steps.clear();
        return std::string("cancel");
      }
      steps.clear();
      terminal::Write("  ! " + *lastError + "\n");
    }
    while (!steps.empty()) {
      Step step = std::move(steps.front());
      steps.pop_front();
      std::string problem;
      if (std::optional<std::string> action = step(view, problem)) return action;
      steps.clear();
      if (!options.Interactive) {
        mapProblems.push_back(problem);
        return std::string("cancel");
      }
      terminal::Write("  ! " + problem + "\n");
    }
    // The end of the input closes the form as its close box does, also on
    // the first question of a showing (where nothing would hand the form to
    // its default ending).
    if (std::optional<std::string> action = Ask(view, text)) return action;
    return std::string("close");
  }

  // The person's next action on a form.
  std::optional<std::string> Ask(const FormView& view, const std::string& text) {
    Interrupt();
    if (text != lastShown) {
      terminal::Write(Render(view));
      lastShown = text;
    }
    while (true) {
      const std::optional<std::string> read = AskLine(view.Name + "> ");
      if (!read) return std::nullopt;
      if (*read == terminal::kEscapeLine) return std::string("key Escape");
      const std::string line = Trim(*read);
      if (line.empty()) {
        terminal::Write(Render(view));
        continue;
      }
      if (line == "?" || Lower(line) == "help") {
        terminal::Write(kHelp);
        continue;
      }
      const size_t blank = line.find(' ');
      const std::string first = Lower(line.substr(0, blank));
      const std::string rest = blank == std::string::npos ? "" : Trim(line.substr(blank + 1));
      size_t n = 0;
      if (Number(first, n)) {
        const std::vector<const Item*> workable = Workable(view);
        if (n > workable.size()) {
          terminal::Write("  ! there is no " + std::to_string(n) + "\n");
          continue;
        }
        const Item& item = *workable[n - 1];
        if (item.Has("disabled")) {
          terminal::Write("  ! " + std::to_string(n) + " is off\n");
          continue;
        }
        if (item.Kind != "list") {
          if (!rest.empty()) {
            terminal::Write("  ! " + std::to_string(n) + " is no list\n");
            continue;
          }
          return "click " + item.Name;
        }
        std::string wanted = rest;
        if (wanted.empty()) {
          terminal::Write(ListItems(item.Entries));
          const std::optional<std::string> choice = AskLine("Choose (number or text, empty to leave it): ");
          if (!choice || *choice == terminal::kEscapeLine || Trim(*choice).empty()) continue;
          wanted = Trim(*choice);
        }
        const std::optional<size_t> index = ItemOf(item.Entries, wanted);
        if (!index) {
          terminal::Write("  ! list " + std::to_string(n) + " has no \"" + wanted + "\"\n");
          continue;
        }
        return "choose " + item.Name + " #" + std::to_string(*index);
      }
      if (first == "map") {
        const size_t blank2 = rest.find(' ');
        size_t row = 0;
        const std::string rowText = rest.substr(0, blank2);
        const Item* grid = view.Find(kLayerGrid);
        if (!grid || !Number(rowText, row) || row > grid->Rows.size()) {
          terminal::Write(grid ? "  ! map ROW [LAYER]: ROW is a row number of the grid\n"
                               : "  ! this dialog has no layer grid\n");
          continue;
        }
        QueueMapRow(row - 1, blank2 == std::string::npos ? "" : Trim(rest.substr(blank2 + 1)), "");
        std::string problem;
        Step step = std::move(steps.front());
        steps.pop_front();
        if (std::optional<std::string> action = step(view, problem)) return action;
        steps.clear();
        terminal::Write("  ! " + problem + "\n");
        continue;
      }
      return line;  // a line of a dialog script
    }
  }
};

// ---- Console ---------------------------------------------------------------------------------

namespace {

Console::State* gActive = nullptr;

// Polled by the plug-in at every character it reads: the terminal is read
// at most every 20 ms.
bool TerminalEscape() {
  static int64_t last = -1000;
  const int64_t now = NowMs();
  if (now - last < 20) return false;
  last = now;
  terminal::PollInput();
  if (!terminal::TakeEscape()) return false;
  // The question the plug-in asks next goes below the bar.
  if (gActive) gActive->Interrupt();
  return true;
}

}  // namespace

bool ParseLayerMap(const std::string& text, LayerMap& map) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos) return false;
  map.Row = Trim(text.substr(0, eq));
  map.Layer = Trim(text.substr(eq + 1));
  return !map.Row.empty() && !map.Layer.empty();
}

int TakePersonOption(const std::vector<std::string>& args, size_t& i, PersonOptions& o,
                     std::string& error) {
  const std::string& a = args[i];
  if (a == "--quiet") {
    o.Quiet = true;
    return 1;
  }
  if (a == "--interactive") {
    o.Interactive = true;
    return 1;
  }
  if (a != "--answer" && a != "--map" && a != "--codepage" && a != "--layers") return 0;
  if (i + 1 >= args.size()) {
    error = a + " needs a value";
    return -1;
  }
  const std::string& value = args[++i];
  if (a == "--answer") {
    const std::string v = Lower(value);
    if (v != "yes" && v != "no") {
      error = "--answer takes yes or no, not \"" + value + "\"";
      return -1;
    }
    o.AnswerYes = v == "yes";
  } else if (a == "--map") {
    LayerMap map;
    if (!ParseLayerMap(value, map)) {
      error = "--map takes \"NAME=Host Layer\", not \"" + value + "\"";
      return -1;
    }
    o.Maps.push_back(map);
  } else if (a == "--codepage") {
    if (!CodePageOfNumber(value, o.Page)) {
      error = "--codepage takes 1252, 1251 or 1250, not \"" + value + "\"";
      return -1;
    }
  } else {
    LayerSet layers;
    std::istringstream in(value);
    for (std::string name; std::getline(in, name, ',');) {
      int layer = 0;
      if (!LayerOfName(Trim(name), layer)) {
        error = "--layers: no layer \"" + Trim(name) + "\"";
        return -1;
      }
      layers.set(static_cast<size_t>(layer));
    }
    if (layers.none()) {
      error = "--layers needs at least one layer";
      return -1;
    }
    o.Layers = o.Layers ? (*o.Layers | layers) : layers;
  }
  return 1;
}

int32_t AnswerFor(uint32_t kind, bool yes) {
  switch (kind & 0x0F) {
    case platform::mbOKCancel: return yes ? platform::idOK : platform::idCancel;
    case platform::mbYesNo:
    case platform::mbYesNoCancel: return yes ? platform::idYes : platform::idNo;
    default: return platform::idOK;
  }
}

Console::Console() : state_(std::make_unique<State>()) {}
Console::~Console() { Stop(); }

const std::vector<std::string>& Console::MapProblems() const { return state_->mapProblems; }

bool Console::Start(const PersonOptions& options, tarvex::ITarvexHost& host, std::string& error) {
  State& s = *state_;
  s.options = options;
  s.host = &host;
  // Keys are read one by one, or not at all.
  s.terminal = terminal::InputIsTerminal() && terminal::ErrorIsTerminal() && terminal::StartRawInput();
  if (options.Interactive && !s.terminal) {
    error = "--interactive needs a terminal on standard input and standard error";
    return false;
  }
  gActive = &s;
  if (!options.Quiet && terminal::ErrorIsTerminal()) {
    s.bar = std::make_unique<ProgressBar>([](std::string_view t) { terminal::Write(t); }, NowMs,
                                          terminal::Columns(), options.Page);
    host.SetProgressObserver(s.bar.get());
  }
  if (s.terminal) standin::SetEscapeSource(TerminalEscape);
  // Asked on the terminal, a message box is shown there; answered from the
  // options, it is printed.
  standin::SetMessageBoxEcho(!s.terminal || options.AnswerYes.has_value());
  standin::SetMessageBoxPrompt([&s](const std::string& text, const std::string& caption, uint32_t kind) {
    return s.MessageBox(text, caption, kind);
  });
  if (options.Interactive || !options.Maps.empty())
    standin::SetDialogActionSource(
        [&s](const std::string& form, const std::string& text, const std::string* lastError) {
          return s.DialogAction(form, text, lastError);
        });
  if (options.Interactive)
    host.SetCommonDialogPrompt([&s](const std::string& request) { return s.CommonDialog(request); });
  return true;
}

void Console::Stop() {
  State& s = *state_;
  if (!s.host) return;
  if (!s.options.Maps.empty() && !s.optionsShown)
    s.mapProblems.push_back("--map: the import showed no options dialog, nothing was mapped");
  s.host->SetProgressObserver(nullptr);
  s.host->SetCommonDialogPrompt(nullptr);
  if (s.bar) s.bar->Suspend();
  s.bar.reset();
  standin::SetEscapeSource(nullptr);
  standin::SetMessageBoxPrompt(nullptr);
  standin::SetDialogActionSource(nullptr);
  terminal::StopRawInput();
  gActive = nullptr;
  s.host = nullptr;
}

}  // namespace pcbhost

#include "platform/dialogs/FormText.h"

#include <cstddef>

#include "platform/Platform.h"
#include "platform/PlatformHostAbi.h"
#include "platform/dialogs/DialogScript.h"

namespace dialogs {

namespace {

std::string Field(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return out;
}

std::string Flags(const Control& c) {
  std::string flags;
  auto add = [&](bool on, const char* name) {
    if (!on) return;
    if (!flags.empty()) flags += ',';
    flags += name;
  };
  add(c.Focused(), "focused");
  if (auto* b = dynamic_cast<const Button*>(&c)) {
    add(b->Default, "default");
    add(b->Cancel, "cancel");
  }
  add(!c.EnabledInChain(), "disabled");
  if (auto* box = dynamic_cast<const CheckBox*>(&c)) add(box->Checked(), "ticked");
  if (auto* list = dynamic_cast<const ComboBox*>(&c)) add(list->DroppedDown, "open");
  return flags.empty() ? "-" : flags;
}

void Line(std::string& out, std::initializer_list<std::string> fields) {
  bool first = true;
  for (const std::string& f : fields) {
    if (!first) out += '\t';
    out += f;
    first = false;
  }
  out += '\n';
}

// The hook of the host that works forms by hand, or nullptr.
using DialogActionHook = decltype(PlatformHostHooks::DialogAction);
DialogActionHook HostActionHook() {
  const auto get = reinterpret_cast<PlatformHost_Hooks_t>(
      platform::FindExport(platform::ExecutableModule(), "PlatformHost_Hooks"));
  if (!get) return nullptr;
  const PlatformHostHooks* hooks = get();
  if (!hooks || hooks->Size < kPlatformHostHooksFirstSize ||
      !PlatformHostHookPresent(hooks->Size, offsetof(PlatformHostHooks, DialogAction)))
    return nullptr;
  return hooks->DialogAction;
}

}  // namespace

std::string FormAsText(const Form& form) {
  std::string out;
  Line(out, {"form", Field(form.Name()), Field(StripAccelerator(form.Caption))});
  for (const auto& owned : form.Controls()) {
    const Control& c = *owned;
    if (!c.Showing()) continue;
    const std::string name = Field(c.Name());
    switch (c.Kind()) {
      case ControlKind::Label:
        Line(out, {"label", name, Field(StripAccelerator(c.DisplayText()))});
        break;
      case ControlKind::Button:
        Line(out, {"button", name, Flags(c), Field(StripAccelerator(c.DisplayText()))});
        break;
      case ControlKind::CheckBox:
        Line(out, {"check", name, Flags(c), Field(StripAccelerator(c.DisplayText()))});
        break;
      case ControlKind::ComboBox: {
        const auto& list = static_cast<const ComboBox&>(c);
        Line(out, {"list", name, Flags(c), Field(list.Text())});
        for (size_t i = 0; i < list.Items.size(); ++i)
          Line(out, {"item", std::to_string(i), Field(list.Items[i])});
        break;
      }
      case ControlKind::StringGrid: {
        const auto& grid = static_cast<const StringGrid&>(c);
        Line(out, {"grid", name, Flags(c), std::to_string(grid.ColCount()),
                   std::to_string(grid.RowCount()), std::to_string(grid.Col()),
                   std::to_string(grid.Row())});
        for (int row = 0; row < grid.RowCount(); ++row) {
          std::string line = "row\t" + std::to_string(row);
          for (int col = 0; col < grid.ColCount(); ++col) line += "\t" + Field(grid.Cells(col, row));
          out += line + "\n";
        }
        break;
      }
      case ControlKind::PageControl: {
        const auto& pages = static_cast<const PageControl&>(c);
        const TabSheet* active = pages.ActivePage();
        Line(out, {"pages", name, Flags(c),
                   Field(active ? StripAccelerator(active->Caption) : std::string())});
        for (size_t i = 0; i < pages.PageList().size(); ++i)
          Line(out, {"tab", std::to_string(i), Field(StripAccelerator(pages.PageList()[i]->Caption))});
        break;
      }
      case ControlKind::RichEdit: {
        Line(out, {"text", name, Flags(c)});
        for (const std::string& l : static_cast<const RichEdit&>(c).Lines) Line(out, {"line", Field(l)});
        break;
      }
      case ControlKind::Panel:
        Line(out, {"panel", name, Flags(c), Field(StripAccelerator(c.DisplayText()))});
        break;
      default:
        break;  // forms, pages, bevels: nothing a person reads or works
    }
  }
  return out;
}

bool PlayActionLine(Form& form, const std::string& line, std::string& error) {
  DialogScript script;
  std::string problem;
  if (!ParseDialogScript(line, script, problem)) {
    // "line 1: ..." says nothing to a person typing one line.
    error = problem.rfind("line 1: ", 0) == 0 ? problem.substr(8) : problem;
    return false;
  }
  if (!script.Sections.empty()) {
    error = "\"form\" is not an action";
    return false;
  }
  if (!PlayActions(form, script.Common, problem)) {
    error = problem.rfind("line 1: ", 0) == 0 ? problem.substr(8) : problem;
    return false;
  }
  return true;
}

bool RunHostActions(Form& form) {
  const DialogActionHook hook = HostActionHook();
  if (!hook) return false;
  std::string error;
  bool first = true;
  while (form.ModalResult == mrNone) {
    const char* action =
        hook(form.Name().c_str(), FormAsText(form).c_str(), first ? nullptr : error.c_str());
    if (!action) {
      if (first) return false;
      form.Close();
      break;
    }
    first = false;
    error.clear();
    PlayActionLine(form, action, error);
  }
  return true;
}

}  // namespace dialogs

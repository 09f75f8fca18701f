#include "platform/dialogs/Dialogs.h"

#include <algorithm>

namespace dialogs {

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

// The character a key gives to KeyPress handlers; 0 for none.
char CharOfKey(uint16_t key, TShiftState shift) {
  if (shift & (ssAlt | ssCtrl)) return 0;
  switch (key) {
    case vkReturn: return '\r';
    case vkEscape: return '\x1b';
    case vkTab: return '\t';
    case vkSpace: return ' ';
    case vkBack: return '\b';
    default: break;
  }
  if (key >= '0' && key <= '9') return static_cast<char>(key);
  if (key >= 'A' && key <= 'Z')
    return (shift & ssShift) ? static_cast<char>(key) : static_cast<char>(key - 'A' + 'a');
  return 0;
}

}  // namespace

// ---- Accelerators ------------------------------------------------------------

char AcceleratorOf(std::string_view caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;  // "&&" is a plain "&"
      continue;
    }
    return UpperAscii(caption[i + 1]);
  }
  return 0;
}

std::string StripAccelerator(std::string_view caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

// ---- Control -----------------------------------------------------------------

Control::Control(const ControlInit& init, ControlKind kind)
    : Kind_(kind), Name_(init.Name), Owner_(init.Owner), Parent_(init.Parent) {}

bool Control::Showing() const {
  if (!Visible) return false;
  if (Kind_ == ControlKind::TabSheet) {
    const auto* page = static_cast<const TabSheet*>(this);
    if (!page->Pages || page->Pages->ActivePage() != page) return false;
  }
  return Parent_ ? Parent_->Showing() : true;
}

bool Control::EnabledInChain() const {
  if (!Enabled) return false;
  return Parent_ ? Parent_->EnabledInChain() : (this == Owner_ || Owner_->Enabled);
}

bool Control::CanFocus() const { return Focusable() && Showing() && EnabledInChain(); }

bool Control::Focused() const { return Owner_->Active_ == this; }

bool Control::SetFocus() {
  if (!CanFocus()) return false;
  Owner_->Active_ = this;
  return true;
}

// ---- Button, CheckBox ----------------------------------------------------------

Button::Button(const ControlInit& init) : Control(init, ControlKind::Button) { TabStop = true; }

void Button::Click() {
  if (ModalResult != mrNone) OwnerForm().ModalResult = ModalResult;
  OwnerForm().Fire(OnClick, *this);
}

CheckBox::CheckBox(const ControlInit& init) : Control(init, ControlKind::CheckBox) { TabStop = true; }

void CheckBox::SetChecked(bool checked) {
  if (checked == Checked_) return;
  Checked_ = checked;
  OwnerForm().Fire(OnClick, *this);
}

void CheckBox::Click() { SetChecked(!Checked_); }

// ---- ComboBox --------------------------------------------------------------------

ComboBox::ComboBox(const ControlInit& init) : Control(init, ControlKind::ComboBox) { TabStop = true; }

void ComboBox::SetItemIndex(int index) {
  ItemIndex_ = (index >= 0 && static_cast<size_t>(index) < Items.size()) ? index : -1;
}

std::string ComboBox::Text() const {
  if (ItemIndex_ < 0 || static_cast<size_t>(ItemIndex_) >= Items.size()) return {};
  return Items[static_cast<size_t>(ItemIndex_)];
}

int ComboBox::IndexOf(std::string_view text) const {
  for (size_t i = 0; i < Items.size(); ++i)
    if (Items[i] == text) return static_cast<int>(i);
  return -1;
}

void ComboBox::Clear() {
  Items.clear();
  ItemIndex_ = -1;
}

void ComboBox::Choose(int index) {
  if (index < 0 || static_cast<size_t>(index) >= Items.size()) return;
  ItemIndex_ = index;
  DroppedDown = false;
  OwnerForm().Fire(OnClick, *this);
  OwnerForm().Fire(OnChange, *this);
}

// ---- StringGrid ---------------------------------------------------------------------

StringGrid::StringGrid(const ControlInit& init) : Control(init, ControlKind::StringGrid) {
  TabStop = true;
  Cells_.assign(static_cast<size_t>(RowCount_), std::vector<std::string>(static_cast<size_t>(ColCount_)));
  ColWidths_.assign(static_cast<size_t>(ColCount_), DefaultColWidth);
}

void StringGrid::SetFixedCols(int count) {
  FixedCols_ = std::clamp(count, 0, ColCount_ - 1);
  Col_ = std::max(Col_, FixedCols_);
}

void StringGrid::SetFixedRows(int count) {
  FixedRows_ = std::clamp(count, 0, RowCount_ - 1);
  Row_ = std::max(Row_, FixedRows_);
  TopRow_ = FixedRows_;
}

void StringGrid::SetColCount(int count) {
  ColCount_ = std::max(count, 1);
  for (auto& row : Cells_) row.resize(static_cast<size_t>(ColCount_));
  ColWidths_.resize(static_cast<size_t>(ColCount_), DefaultColWidth);
  FixedCols_ = std::min(FixedCols_, ColCount_ - 1);
  Col_ = std::clamp(Col_, FixedCols_, ColCount_ - 1);
}

void StringGrid::SetRowCount(int count) {
  RowCount_ = std::max(count, 1);
  Cells_.resize(static_cast<size_t>(RowCount_), std::vector<std::string>(static_cast<size_t>(ColCount_)));
  FixedRows_ = std::min(FixedRows_, RowCount_ - 1);
  Row_ = std::clamp(Row_, FixedRows_, RowCount_ - 1);
  TopRow_ = std::clamp(TopRow_, FixedRows_, std::max(FixedRows_, RowCount_ - VisibleRowCount()));
}

const std::string& StringGrid::Cells(int col, int row) const {
  static const std::string kEmpty;
  if (col < 0 || row < 0 || col >= ColCount_ || row >= RowCount_) return kEmpty;
  return Cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

bool StringGrid::SetCell(int col, int row, std::string text) {
  if (col < 0 || row < 0 || col >= ColCount_ || row >= RowCount_) return false;
  Cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = std::move(text);
  return true;
}

void StringGrid::ClearCells() {
  for (auto& row : Cells_)
    for (auto& cell : row) cell.clear();
}

int StringGrid::ColWidth(int col) const {
  if (col < 0 || col >= ColCount_) return 0;
  return ColWidths_[static_cast<size_t>(col)];
}

void StringGrid::SetColWidth(int col, int width) {
  if (col < 0 || col >= ColCount_) return;
  ColWidths_[static_cast<size_t>(col)] = std::max(width, 0);
}

bool StringGrid::SetCurrent(int col, int row) {
  if (col < FixedCols_ || row < FixedRows_ || col >= ColCount_ || row >= RowCount_) return false;
  Col_ = col;
  Row_ = row;
  return true;
}

int StringGrid::VisibleRowCount() const {
  // Every row takes its height and one grid line.
  const int rowHeight = std::max(DefaultRowHeight, 1) + 1;
  const int room = Height - FixedRows_ * rowHeight;
  return std::max(room / rowHeight, 1);
}

void StringGrid::SetTopRow(int row) {
  const int last = std::max(FixedRows_, RowCount_ - VisibleRowCount());
  const int top = std::clamp(row, FixedRows_, last);
  if (top == TopRow_) return;
  TopRow_ = top;
  OwnerForm().Fire(OnTopLeftChanged, *this);
}

void StringGrid::ScrollIntoView(int row) {
  if (row < TopRow_) SetTopRow(row);
  else if (row >= TopRow_ + VisibleRowCount()) SetTopRow(row - VisibleRowCount() + 1);
}

bool StringGrid::MoveTo(int col, int row) {
  if (col < FixedCols_ || row < FixedRows_ || col >= ColCount_ || row >= RowCount_) return false;
  bool canSelect = true;
  OwnerForm().FireSelectCell(OnSelectCell, *this, col, row, canSelect);
  if (!canSelect) return false;
  Col_ = col;
  Row_ = row;
  ScrollIntoView(row);
  return true;
}

bool StringGrid::ClickCell(int col, int row) {
  if (col < FixedCols_ || row < FixedRows_ || col >= ColCount_ || row >= RowCount_) return false;
  SetFocus();
  ScrollIntoView(row);
  bool canSelect = true;
  OwnerForm().FireSelectCell(OnSelectCell, *this, col, row, canSelect);
  if (!canSelect) return true;
  Col_ = col;
  Row_ = row;
  OwnerForm().Fire(OnClick, *this);
  return true;
}

// ---- PageControl ------------------------------------------------------------------

PageControl::PageControl(const ControlInit& init) : Control(init, ControlKind::PageControl) {
  TabStop = true;
}

TabSheet& PageControl::AddPage(const std::string& name, const std::string& caption) {
  TabSheet& page = OwnerForm().Add<TabSheet>(name, this);
  page.Caption = caption;
  page.Pages = this;
  Pages_.push_back(&page);
  if (Active_ < 0) Active_ = 0;
  return page;
}

TabSheet* PageControl::ActivePage() const {
  if (Active_ < 0 || static_cast<size_t>(Active_) >= Pages_.size()) return nullptr;
  return Pages_[static_cast<size_t>(Active_)];
}

bool PageControl::SetActivePageIndex(int index) {
  if (index < 0 || static_cast<size_t>(index) >= Pages_.size()) return false;
  Active_ = index;
  return true;
}

bool PageControl::ChoosePage(int index) {
  if (index < 0 || static_cast<size_t>(index) >= Pages_.size()) return false;
  if (index == Active_) return true;
  Active_ = index;
  // The focus does not stay on a control that the old page took away.
  if (Control* active = OwnerForm().ActiveControl(); active && !active->CanFocus()) SetFocus();
  OwnerForm().Fire(OnChange, *this);
  return true;
}

int PageControl::FindPage(std::string_view text) const {
  for (size_t i = 0; i < Pages_.size(); ++i)
    if (SameTextIgnoringCase(StripAccelerator(Pages_[i]->Caption), text) ||
        SameTextIgnoringCase(Pages_[i]->Name(), text))
      return static_cast<int>(i);
  return -1;
}

// ---- RichEdit -------------------------------------------------------------------------

RichEdit::RichEdit(const ControlInit& init) : Control(init, ControlKind::RichEdit) { TabStop = true; }

std::string RichEdit::Text() const {
  std::string text;
  for (size_t i = 0; i < Lines.size(); ++i) {
    if (i) text += "\r\n";
    text += Lines[i];
  }
  return text;
}

// ---- Form -------------------------------------------------------------------------------

Form::Form(std::string name, uintptr_t ownerWindow)
    : Control(ControlInit{this, std::move(name), nullptr}, ControlKind::Form),
      OwnerWindow_(ownerWindow) {}

Form::~Form() = default;

void Form::Adopt(std::unique_ptr<Control> control) { Controls_.push_back(std::move(control)); }

Control* Form::Find(std::string_view name) const {
  for (const auto& c : Controls_)
    if (SameTextIgnoringCase(c->Name(), name)) return c.get();
  return nullptr;
}

Button* Form::DefaultButton() const {
  for (const auto& c : Controls_)
    if (auto* b = dynamic_cast<Button*>(c.get()); b && b->Default && b->Showing() && b->EnabledInChain())
      return b;
  return nullptr;
}

Button* Form::CancelButton() const {
  for (const auto& c : Controls_)
    if (auto* b = dynamic_cast<Button*>(c.get()); b && b->Cancel && b->Showing() && b->EnabledInChain())
      return b;
  return nullptr;
}

void Form::Bind(const std::string& handler, TNotifyEvent fn) { Handlers_[handler] = std::move(fn); }
void Form::Bind(const std::string& handler, TKeyEvent fn) { Handlers_[handler] = std::move(fn); }
void Form::Bind(const std::string& handler, TKeyPressEvent fn) { Handlers_[handler] = std::move(fn); }
void Form::Bind(const std::string& handler, TSelectCellEvent fn) { Handlers_[handler] = std::move(fn); }

std::vector<std::string> Form::UnboundHandlers() const {
  std::vector<std::string> missing;
  auto check = [&](const Control& c, const char* event, const std::string& handler, size_t type) {
    if (handler.empty()) return;
    const auto it = Handlers_.find(handler);
    if (it == Handlers_.end() || it->second.index() != type)
      missing.push_back(c.Name() + "." + event + " -> " + handler);
  };
  auto common = [&](const Control& c) {
    check(c, "OnClick", c.OnClick, 0);
    check(c, "OnKeyDown", c.OnKeyDown, 1);
    check(c, "OnKeyPress", c.OnKeyPress, 2);
  };
  common(*this);
  check(*this, "OnShow", OnShow, 0);
  check(*this, "OnActivate", OnActivate, 0);
  for (const auto& c : Controls_) {
    common(*c);
    if (const auto* combo = dynamic_cast<const ComboBox*>(c.get()))
      check(*c, "OnChange", combo->OnChange, 0);
    if (const auto* grid = dynamic_cast<const StringGrid*>(c.get())) {
      check(*c, "OnSelectCell", grid->OnSelectCell, 3);
      check(*c, "OnTopLeftChanged", grid->OnTopLeftChanged, 0);
    }
    if (const auto* pages = dynamic_cast<const PageControl*>(c.get()))
      check(*c, "OnChange", pages->OnChange, 0);
  }
  return missing;
}

namespace {
// A copy of the handler, so that a handler that rebinds names while it runs
// does not pull itself away.
template <class Fn>
Fn HandlerOf(const std::map<std::string, std::variant<TNotifyEvent, TKeyEvent, TKeyPressEvent,
                                                       TSelectCellEvent>>& handlers,
             const std::string& name) {
  if (name.empty()) return {};
  const auto it = handlers.find(name);
  if (it == handlers.end()) return {};
  const Fn* fn = std::get_if<Fn>(&it->second);
  return fn ? *fn : Fn{};
}
}  // namespace

void Form::Fire(const std::string& handler, Control& sender) {
  if (auto fn = HandlerOf<TNotifyEvent>(Handlers_, handler)) fn(sender);
}

void Form::FireKey(const std::string& handler, Control& sender, uint16_t& key, TShiftState shift) {
  if (auto fn = HandlerOf<TKeyEvent>(Handlers_, handler)) fn(sender, key, shift);
}

void Form::FireKeyPress(const std::string& handler, Control& sender, char& key) {
  if (auto fn = HandlerOf<TKeyPressEvent>(Handlers_, handler)) fn(sender, key);
}

void Form::FireSelectCell(const std::string& handler, Control& sender, int col, int row,
                          bool& canSelect) {
  if (auto fn = HandlerOf<TSelectCellEvent>(Handlers_, handler)) fn(sender, col, row, canSelect);
}

TModalResult Form::ShowModal() {
  if (Modal_) return mrCancel;
  struct ModalScope {
    bool& flag;
    explicit ModalScope(bool& f) : flag(f) { flag = true; }
    ~ModalScope() { flag = false; }
  } scope(Modal_);
  ModalResult = mrNone;
  Fire(OnShow, *this);
  if (!Active_ || !Active_->CanFocus()) {
    Active_ = nullptr;
    for (const auto& c : Controls_)
      if (c->TabStop && c->CanFocus()) {
        Active_ = c.get();
        break;
      }
  }
  Fire(OnActivate, *this);
  if (ModalResult == mrNone) CurrentModalDriver().Run(*this);
  if (ModalResult == mrNone) ModalResult = mrCancel;
  return ModalResult;
}

bool Form::FocusNext(bool backwards) {
  const size_t n = Controls_.size();
  if (n == 0) return false;
  size_t start = n;  // none focused: begin before the first (or after the last)
  for (size_t i = 0; i < n; ++i)
    if (Controls_[i].get() == Active_) start = i;
  for (size_t step = 1; step <= n; ++step) {
    size_t i;
    if (start == n) i = backwards ? n - step : step - 1;
    else i = backwards ? (start + n - step) % n : (start + step) % n;
    Control* c = Controls_[i].get();
    if (c->TabStop && c->CanFocus()) {
      Active_ = c;
      return true;
    }
  }
  return false;
}

bool Form::DialogKey(Control* target, uint16_t key, TShiftState shift) {
  if (shift & (ssAlt | ssCtrl)) return false;
  auto* combo = dynamic_cast<ComboBox*>(target);
  if (combo && combo->DroppedDown) return false;  // an open list takes Enter and Escape
  if (key == vkReturn) {
    if (auto* focused = dynamic_cast<Button*>(target)) {
      focused->Click();
      return true;
    }
    if (Button* b = DefaultButton()) {
      b->Click();
      return true;
    }
    return false;
  }
  if (key == vkEscape) {
    if (Button* b = CancelButton()) {
      b->Click();
      return true;
    }
  }
  return false;
}

bool Form::Accelerator(char letter) {
  for (const auto& owned : Controls_) {
    Control* c = owned.get();
    if (!c->Showing() || !c->EnabledInChain()) continue;
    switch (c->Kind()) {
      case ControlKind::Label:
      case ControlKind::Button:
      case ControlKind::CheckBox:
        break;
      default:
        continue;
    }
    if (AcceleratorOf(c->DisplayText()) != letter) continue;
    if (auto* label = dynamic_cast<Label*>(c)) {
      if (label->FocusControl) label->FocusControl->SetFocus();
    } else if (auto* button = dynamic_cast<Button*>(c)) {
      button->SetFocus();
      button->Click();
    } else if (auto* box = dynamic_cast<CheckBox*>(c)) {
      box->SetFocus();
      box->Click();
    }
    return true;
  }
  // Page tabs: the page shows.
  for (const auto& owned : Controls_)
    if (auto* page = dynamic_cast<TabSheet*>(owned.get());
        page && page->Pages && page->Pages->Showing() && page->Pages->EnabledInChain() &&
        page->Visible && AcceleratorOf(page->Caption) == letter) {
      const auto& list = page->Pages->PageList();
      const auto at = std::find(list.begin(), list.end(), page);
      page->Pages->ChoosePage(static_cast<int>(at - list.begin()));
      return true;
    }
  return false;
}

void Form::OwnKeyHandling(Control* target, uint16_t key, TShiftState shift) {
  if ((shift & ssAlt) && ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) {
    Accelerator(static_cast<char>(key));
    return;
  }
  if (auto* combo = dynamic_cast<ComboBox*>(target)) {
    if (key == vkF4 || (key == vkDown && (shift & ssAlt)) || (key == vkUp && (shift & ssAlt))) {
      combo->DroppedDown = !combo->DroppedDown;
      return;
    }
    if (combo->DroppedDown && (key == vkReturn || key == vkEscape)) {
      combo->DroppedDown = false;
      return;
    }
    if (key == vkDown || key == vkUp) {
      const int next = combo->ItemIndex() + (key == vkDown ? 1 : -1);
      if (next >= 0 && static_cast<size_t>(next) < combo->Items.size()) {
        const bool open = combo->DroppedDown;
        combo->Choose(next);
        combo->DroppedDown = open;
      }
      return;
    }
  }
  if (auto* grid = dynamic_cast<StringGrid*>(target)) {
    switch (key) {
      case vkUp: grid->MoveTo(grid->Col(), grid->Row() - 1); return;
      case vkDown: grid->MoveTo(grid->Col(), grid->Row() + 1); return;
      case vkLeft: grid->MoveTo(grid->Col() - 1, grid->Row()); return;
      case vkRight: grid->MoveTo(grid->Col() + 1, grid->Row()); return;
      case vkTab:
        if ((grid->Options & goTabs) && !(shift & (ssAlt | ssCtrl))) {
          // The next (previous) cell, row by row; past the last cell the focus
          // leaves the grid.
          int col = grid->Col() + ((shift & ssShift) ? -1 : 1);
          int row = grid->Row();
          if (col >= grid->ColCount()) {
            col = grid->FixedCols();
            ++row;
          } else if (col < grid->FixedCols()) {
            col = grid->ColCount() - 1;
            --row;
          }
          if (row >= grid->FixedRows() && row < grid->RowCount()) grid->MoveTo(col, row);
          else FocusNext((shift & ssShift) != 0);
          return;
        }
        break;
      default: break;
    }
  }
  if (key == vkSpace && !(shift & (ssAlt | ssCtrl))) {
    if (auto* button = dynamic_cast<Button*>(target)) button->Click();
    else if (auto* box = dynamic_cast<CheckBox*>(target)) box->Click();
    return;
  }
  if (key == vkTab && !(shift & (ssAlt | ssCtrl))) FocusNext((shift & ssShift) != 0);
}

void Form::PressKey(uint16_t key, TShiftState shift) {
  Control* target = Active_ ? Active_ : this;
  if (DialogKey(target, key, shift)) return;

  uint16_t k = key;
  if (KeyPreview || target == this) FireKey(OnKeyDown, *this, k, shift);
  if (k == 0) return;
  if (target != this) FireKey(target->OnKeyDown, *target, k, shift);
  if (k == 0) return;

  if (char c = CharOfKey(k, shift)) {
    if (KeyPreview || target == this) FireKeyPress(OnKeyPress, *this, c);
    if (c == 0) return;
    if (target != this) FireKeyPress(target->OnKeyPress, *target, c);
    if (c == 0) return;
  }
  // A handler may have moved the focus; the key's own handling happens where
  // it was pressed.
  OwnKeyHandling(target, k, shift);
}

// ---- The modal driver -------------------------------------------------------------------

ModalDriver& HostDriverInstance();  // DialogScript.cpp

namespace {
ModalDriver* gDriver = nullptr;
}

ModalDriver* SetModalDriver(ModalDriver* driver) {
  ModalDriver* previous = gDriver;
  gDriver = driver;
  return previous;
}

ModalDriver& CurrentModalDriver() { return gDriver ? *gDriver : HostDriverInstance(); }

}  // namespace dialogs

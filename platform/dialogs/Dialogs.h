// The dialog kit: forms with named controls that hold their state, event
// handlers bound by name, and modal showing through a modal driver.
//
// A form is built in code: the form object creates its controls with Add<>,
// sets their texts, places and states, and binds its handlers by name
// ("ButtonOKClick"); a control's event (OnClick, OnKeyDown, ...) names the
// handler it calls. ShowModal hands the form to the modal driver, which plays
// the user's actions on it (DialogScript.h) until something sets the form's
// ModalResult. Nothing in a form depends on the driver.
//
// The behaviour follows the platform's dialogs where a user can see it:
// a button's ModalResult closes the form, Enter presses the focused or the
// default button, Escape the cancel button, Tab moves the focus, Alt with an
// underlined letter (the one after "&" in a caption) works the control, and a
// key goes first to the form (with KeyPreview) and then to the focused control.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace dialogs {

// ---- Results, keys ---------------------------------------------------------

using TModalResult = int32_t;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;

// Virtual key codes (the platform's values); letters and digits are their
// upper-case character codes.
enum : uint16_t {
  vkBack = 0x08,
  vkTab = 0x09,
  vkReturn = 0x0D,
  vkEscape = 0x1B,
  vkSpace = 0x20,
  vkPrior = 0x21,
  vkNext = 0x22,
  vkEnd = 0x23,
  vkHome = 0x24,
  vkLeft = 0x25,
  vkUp = 0x26,
  vkRight = 0x27,
  vkDown = 0x28,
  vkDelete = 0x2E,
  vkF1 = 0x70,
  vkF4 = 0x73,
  vkF12 = 0x7B,
};

// Modifier keys held with a key.
using TShiftState = uint8_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;

class Control;
class Form;

// Handler types. A key handler may set the key to 0: the key is then used up
// and nothing else happens with it.
using TNotifyEvent = std::function<void(Control& sender)>;
using TKeyEvent = std::function<void(Control& sender, uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(Control& sender, char& key)>;
using TSelectCellEvent = std::function<void(Control& sender, int col, int row, bool& canSelect)>;

// ---- Controls ----------------------------------------------------------------

enum class ControlKind {
  Form,
  Label,
  Button,
  CheckBox,
  ComboBox,
  StringGrid,
  PageControl,
  TabSheet,
  RichEdit,
  Bevel,
  Panel,
};

// What every control's constructor receives from Form::Add.
struct ControlInit {
  Form* Owner = nullptr;
  std::string Name;
  Control* Parent = nullptr;  // nullptr: the form itself
};

class Control {
 public:
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind Kind() const { return Kind_; }
  const std::string& Name() const { return Name_; }
  Form& OwnerForm() const { return *Owner_; }
  // The control it stands on (a page, a panel); nullptr for the form and the
  // controls that stand on the form directly.
  Control* Parent() const { return Parent_; }

  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool Visible = true;
  bool Enabled = true;
  // Whether Tab stops at the control (only controls that can take the focus).
  bool TabStop = false;

  // Handler names ("" = none).
  std::string OnClick;
  std::string OnKeyDown;
  std::string OnKeyPress;

  // Visible itself and every control it stands on visible; a control on a
  // page shows only while its page is the active one.
  bool Showing() const;
  // Enabled itself and every control it stands on enabled.
  bool EnabledInChain() const;
  // Whether the control is of a kind that takes the focus and is showing and
  // enabled.
  bool CanFocus() const;
  bool Focused() const;
  // Gives the control the focus; false (and no change) when it cannot take
  // it.
  bool SetFocus();

  // The text a user reads on the control (caption, text, ...); empty for a
  // control without one.
  virtual std::string DisplayText() const { return {}; }

 protected:
  Control(const ControlInit& init, ControlKind kind);
  // Whether the control's kind takes the focus at all.
  virtual bool Focusable() const { return false; }

 private:
  friend class Form;
  ControlKind Kind_;
  std::string Name_;
  Form* Owner_;
  Control* Parent_;
};

class Label : public Control {
 public:
  explicit Label(const ControlInit& init) : Control(init, ControlKind::Label) {}
  std::string Caption;
  // The control that takes the focus for the label's underlined letter.
  Control* FocusControl = nullptr;
  bool Transparent = false;
  std::string DisplayText() const override { return Caption; }
};

class Button : public Control {
 public:
  explicit Button(const ControlInit& init);
  std::string Caption;
  // Enter presses the default button unless another button has the focus;
  // Escape presses the cancel button.
  bool Default = false;
  bool Cancel = false;
  // Given to the form when the button is pressed (mrNone: none).
  TModalResult ModalResult = mrNone;

  // Presses the button: its ModalResult goes to the form, then OnClick runs
  // (a handler may set the form's ModalResult back to mrNone).
  void Click();
  std::string DisplayText() const override { return Caption; }

 protected:
  bool Focusable() const override { return true; }
};

class CheckBox : public Control {
 public:
  explicit CheckBox(const ControlInit& init);
  std::string Caption;

  bool Checked() const { return Checked_; }
  // Sets the state; a change runs OnClick, as a click does.
  void SetChecked(bool checked);
  // A click: the state toggles and OnClick runs.
  void Click();
  std::string DisplayText() const override { return Caption; }

 protected:
  bool Focusable() const override { return true; }

 private:
  bool Checked_ = false;
};

enum class ComboStyle { DropDown, DropDownList };

class ComboBox : public Control {
 public:
  explicit ComboBox(const ControlInit& init);

  std::vector<std::string> Items;
  ComboStyle Style = ComboStyle::DropDown;
  int DropDownCount = 8;
  // Whether the list is open.
  bool DroppedDown = false;
  std::string OnChange;

  int ItemIndex() const { return ItemIndex_; }
  // Selects an item by code: -1 or an index outside the items selects
  // nothing. Runs no handler.
  void SetItemIndex(int index);
  // The text shown: the selected item's, or nothing.
  std::string Text() const;
  // The first item equal to the text (exactly), or -1.
  int IndexOf(std::string_view text) const;
  // Empties the items and the selection.
  void Clear();

  // The user chooses an item from the list: it is selected, the list closes,
  // then OnClick and OnChange run.
  void Choose(int index);
  std::string DisplayText() const override { return Text(); }

 protected:
  bool Focusable() const override { return true; }

 private:
  int ItemIndex_ = -1;
};

// String grid options.
using TGridOptions = uint32_t;
inline constexpr TGridOptions goFixedVertLine = 1u << 0;
inline constexpr TGridOptions goFixedHorzLine = 1u << 1;
inline constexpr TGridOptions goVertLine = 1u << 2;
inline constexpr TGridOptions goHorzLine = 1u << 3;
inline constexpr TGridOptions goRangeSelect = 1u << 4;
inline constexpr TGridOptions goRowSelect = 1u << 5;
inline constexpr TGridOptions goEditing = 1u << 6;
inline constexpr TGridOptions goTabs = 1u << 7;

enum class ScrollBars { None, Horizontal, Vertical, Both };

class StringGrid : public Control {
 public:
  explicit StringGrid(const ControlInit& init);

  int DefaultRowHeight = 24;
  int DefaultColWidth = 64;
  TGridOptions Options = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  ScrollBars ScrollBar = ScrollBars::Both;
  std::string OnSelectCell;
  std::string OnTopLeftChanged;

  // Fixed columns and rows (headings) take no current cell and do not
  // scroll; at most one less than the count.
  int FixedCols() const { return FixedCols_; }
  int FixedRows() const { return FixedRows_; }
  void SetFixedCols(int count);
  void SetFixedRows(int count);

  int ColCount() const { return ColCount_; }
  int RowCount() const { return RowCount_; }
  // Sizes of at least 1; cells beyond the new size are dropped, new cells are
  // empty; the current cell and the top row are kept inside.
  void SetColCount(int count);
  void SetRowCount(int count);

  // A cell's text; "" outside the grid.
  const std::string& Cells(int col, int row) const;
  // Sets a cell's text; false (nothing set) outside the grid.
  bool SetCell(int col, int row, std::string text);
  // Empties every cell.
  void ClearCells();

  int ColWidth(int col) const;
  void SetColWidth(int col, int width);

  // The current cell.
  int Col() const { return Col_; }
  int Row() const { return Row_; }
  // Moves the current cell by code (no handler runs); false outside the grid
  // or on a fixed cell.
  bool SetCurrent(int col, int row);
  // The first row shown below the fixed rows, and how many rows fit.
  int TopRow() const { return TopRow_; }
  int VisibleRowCount() const;
  // Scrolls so that `row` is the top row (kept inside the grid); OnTopLeftChanged
  // runs when the top row changes.
  void SetTopRow(int row);

  // The user clicks a cell: the grid takes the focus; a cell out of view is
  // scrolled into it first; OnSelectCell may refuse the cell; the current cell
  // moves and OnClick runs. False when the cell lies outside the grid or is
  // fixed.
  bool ClickCell(int col, int row);
  // The user moves the current cell with a key (arrows, Tab): OnSelectCell
  // may refuse; the top row follows. No OnClick.
  bool MoveTo(int col, int row);

 protected:
  bool Focusable() const override { return true; }

 private:
  void ScrollIntoView(int row);
  int FixedCols_ = 1;
  int FixedRows_ = 1;
  int ColCount_ = 5;
  int RowCount_ = 5;
  int Col_ = 1;
  int Row_ = 1;
  int TopRow_ = 1;
  std::vector<std::vector<std::string>> Cells_;  // [row][col]
  std::vector<int> ColWidths_;
};

class PageControl;

class TabSheet : public Control {
 public:
  explicit TabSheet(const ControlInit& init) : Control(init, ControlKind::TabSheet) {}
  std::string Caption;
  PageControl* Pages = nullptr;
  std::string DisplayText() const override { return Caption; }
};

class PageControl : public Control {
 public:
  explicit PageControl(const ControlInit& init);
  std::string OnChange;

  // Adds a page (a TabSheet named `name` standing on this control).
  TabSheet& AddPage(const std::string& name, const std::string& caption);
  const std::vector<TabSheet*>& PageList() const { return Pages_; }
  int ActivePageIndex() const { return Active_; }
  TabSheet* ActivePage() const;
  // Shows a page by code (no handler runs); false for an index outside.
  bool SetActivePageIndex(int index);
  // The user chooses a page tab: the page shows, then OnChange runs.
  bool ChoosePage(int index);
  // The page whose caption (without "&") or name equals the text, ignoring
  // case; -1 when none.
  int FindPage(std::string_view text) const;

 protected:
  bool Focusable() const override { return true; }

 private:
  std::vector<TabSheet*> Pages_;
  int Active_ = -1;
};

// Rich text shown in a box: read-only lines.
class RichEdit : public Control {
 public:
  explicit RichEdit(const ControlInit& init);
  std::vector<std::string> Lines;
  bool ReadOnly = false;
  bool Border = true;
  // The lines joined with carriage return and line feed.
  std::string Text() const;
  std::string DisplayText() const override { return Text(); }

 protected:
  bool Focusable() const override { return true; }
};

enum class BevelShape { Box, Frame, TopLine, BottomLine, LeftLine, RightLine, Spacer };

class Bevel : public Control {
 public:
  explicit Bevel(const ControlInit& init) : Control(init, ControlKind::Bevel) {}
  BevelShape Shape = BevelShape::Box;
};

enum class PanelBevel { None, Lowered, Raised };

class Panel : public Control {
 public:
  explicit Panel(const ControlInit& init) : Control(init, ControlKind::Panel) {}
  std::string Caption;
  PanelBevel BevelOuter = PanelBevel::Raised;
  std::string DisplayText() const override { return Caption; }
};

// ---- Forms -------------------------------------------------------------------

enum class FormPosition { Designed, ScreenCenter, OwnerCenter };
enum class FormBorder { Sizeable, Dialog, Single, None };

// Title-bar buttons.
using TBorderIcons = uint8_t;
inline constexpr TBorderIcons biSystemMenu = 1;
inline constexpr TBorderIcons biMinimize = 2;
inline constexpr TBorderIcons biMaximize = 4;
inline constexpr TBorderIcons biHelp = 8;

// The modal driver: given a shown form, plays the user's actions on it until
// the form's ModalResult is set, or returns earlier (the form then closes as
// by its close box, with mrCancel).
class ModalDriver {
 public:
  virtual ~ModalDriver() = default;
  virtual void Run(Form& form) = 0;
};

// Installs the driver that ShowModal uses (nullptr: the host's script driver,
// HostScriptDriver of DialogScript.h) and answers the one installed before.
// The driver is not owned.
ModalDriver* SetModalDriver(ModalDriver* driver);
ModalDriver& CurrentModalDriver();

class Form : public Control {
 public:
  // A form named `name` (the name the host's script addresses, e.g.
  // "TranslationStatus"), owned by a host window (0: none).
  Form(std::string name, uintptr_t ownerWindow);
  ~Form() override;

  uintptr_t OwnerWindow() const { return OwnerWindow_; }

  std::string Caption;
  int ClientWidth = 0;
  int ClientHeight = 0;
  FormPosition Position = FormPosition::Designed;
  FormBorder BorderStyle = FormBorder::Sizeable;
  TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;
  std::string FontName = "MS Sans Serif";
  int FontSize = 8;
  // Keys go to the form's key handlers before the focused control's.
  bool KeyPreview = false;
  std::string OnShow;
  std::string OnActivate;

  // Closes the form when set to anything but mrNone while it is shown
  // modally.
  TModalResult ModalResult = mrNone;

  // ---- Controls ----

  // Creates a control of type T (constructed from a ControlInit) standing on
  // `parent` (nullptr: the form). Names are unique in a form; a second
  // control of a name already taken is still made but Find answers the first.
  template <class T>
  T& Add(std::string name, Control* parent = nullptr) {
    auto control = std::make_unique<T>(ControlInit{this, std::move(name), parent});
    T& result = *control;
    Adopt(std::move(control));
    return result;
  }
  // The control of this name (compared without regard to case), or nullptr.
  Control* Find(std::string_view name) const;
  template <class T>
  T* FindAs(std::string_view name) const {
    return dynamic_cast<T*>(Find(name));
  }
  // Every control in creation order, which is also the tab order.
  const std::vector<std::unique_ptr<Control>>& Controls() const { return Controls_; }

  Control* ActiveControl() const { return Active_; }
  // The first button marked Default / Cancel that shows and is enabled.
  Button* DefaultButton() const;
  Button* CancelButton() const;

  // ---- Handlers ----

  void Bind(const std::string& handler, TNotifyEvent fn);
  void Bind(const std::string& handler, TKeyEvent fn);
  void Bind(const std::string& handler, TKeyPressEvent fn);
  void Bind(const std::string& handler, TSelectCellEvent fn);
  // Event names of the form and its controls that name no handler of the
  // right type ("Control.Event -> Handler"); empty for a complete form.
  std::vector<std::string> UnboundHandlers() const;

  // Runs a handler by name; nothing happens for "" or a name without a
  // handler of this type.
  void Fire(const std::string& handler, Control& sender);
  void FireKey(const std::string& handler, Control& sender, uint16_t& key, TShiftState shift);
  void FireKeyPress(const std::string& handler, Control& sender, char& key);
  void FireSelectCell(const std::string& handler, Control& sender, int col, int row,
                      bool& canSelect);

  // ---- Showing ----

  // Shows the form modally: ModalResult is reset, OnShow and OnActivate run,
  // the focus goes to the first control that can take it (unless a handler
  // placed it), and the modal driver plays the user's part. Answers the
  // ModalResult, mrCancel when the driver left it unset. A form that is
  // already being shown answers mrCancel at once.
  TModalResult ShowModal();
  bool IsShownModally() const { return Modal_; }
  // Closes the form as its close box does: ModalResult becomes mrCancel.
  void Close() { ModalResult = mrCancel; }

  // ---- What a user does ----

  // A key pressed on the focused control (or the form when none has the
  // focus). The order: dialog keys (Tab, Enter, Escape), then the form's key
  // handlers with KeyPreview, then the control's, then the control's own
  // handling (Space presses buttons and toggles boxes, arrows move in grids
  // and lists, F4 and Alt+Down open a list, Alt+letter works the control
  // with that underlined letter).
  void PressKey(uint16_t key, TShiftState shift = 0);
  // Moves the focus to the next (or previous) control in tab order that
  // has TabStop and can take the focus.
  bool FocusNext(bool backwards);

 protected:
  bool Focusable() const override { return false; }

 private:
  friend class Control;
  void Adopt(std::unique_ptr<Control> control);
  bool DialogKey(Control* target, uint16_t key, TShiftState shift);
  void OwnKeyHandling(Control* target, uint16_t key, TShiftState shift);
  bool Accelerator(char letter);

  using Handler = std::variant<TNotifyEvent, TKeyEvent, TKeyPressEvent, TSelectCellEvent>;
  uintptr_t OwnerWindow_;
  std::vector<std::unique_ptr<Control>> Controls_;
  std::map<std::string, Handler> Handlers_;
  Control* Active_ = nullptr;
  bool Modal_ = false;
};

// The character of a caption's underlined letter (the one after a single
// "&"), upper-cased; 0 when none.
char AcceleratorOf(std::string_view caption);
// A caption without its "&" marks ("&&" stands for "&").
std::string StripAccelerator(std::string_view caption);

}  // namespace dialogs

// The dialog kit: a small form driven by scripts (grid cell, list item, check
// box, page, keys, buttons), the default ending, Cancel, key dispatch, and
// scripts that a user could not play. The test program links the stand-in
// host's hooks, so message boxes and the host's scripts go through them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/client/PlatformHooks.h"
#include "platform/dialogs/DialogScript.h"
#include "platform/dialogs/Dialogs.h"

using namespace dialogs;

namespace {

// A form with one of each control; every handler writes to the log.
class SampleForm : public Form {
 public:
  SampleForm()
      : Form("SampleForm", 7),
        Pages(Add<PageControl>("Pages")),
        Main(Pages.AddPage("TabMain", "&Main")),
        More(Pages.AddPage("TabMore", "M&ore")),
        GridLabel(Add<Label>("GridLabel", &Main)),
        Grid(Add<StringGrid>("Grid", &Main)),
        Layers(Add<ComboBox>("Layers", &Main)),
        Verbose(Add<CheckBox>("Verbose", &Main)),
        Extra(Add<Button>("Extra", &More)),
        Later(Add<Button>("Later")),
        OK(Add<Button>("OK")),
        Cancel(Add<Button>("Cancel")) {
    OnActivate = "FormActivate";
    Pages.OnChange = "PagesChange";
    GridLabel.Caption = "&Grid";
    GridLabel.FocusControl = &Grid;
    Grid.SetFixedCols(0);
    Grid.SetFixedRows(0);
    Grid.SetColCount(3);
    Grid.SetRowCount(20);
    Grid.DefaultRowHeight = 18;
    Grid.Height = 100;  // five rows of 19 pixels show
    Grid.OnClick = "GridClick";
    Grid.OnSelectCell = "GridSelectCell";
    Grid.OnTopLeftChanged = "GridScroll";
    Grid.OnKeyDown = "GridKeyDown";
    for (int r = 0; r < 20; ++r) Grid.SetCell(0, r, "row " + std::to_string(r));
    Layers.Items = {"Not Imported", "Top Layer", "Bottom Layer"};
    Layers.Style = ComboStyle::DropDownList;
    Layers.OnChange = "LayersChange";
    Verbose.Caption = "&Verbose";
    Verbose.OnClick = "VerboseClick";
    Extra.Caption = "E&xtra";
    Extra.OnClick = "ExtraClick";
    Later.Caption = "Later";
    Later.Enabled = false;
    OK.Caption = "OK";
    OK.Default = true;
    OK.ModalResult = mrOk;
    OK.OnClick = "OKClick";
    Cancel.Caption = "Cancel";
    Cancel.Cancel = true;
    Cancel.ModalResult = mrCancel;
    Cancel.OnClick = "CancelClick";

    auto note = [this](const char* what) { return TNotifyEvent([this, what](Control&) { Log.push_back(what); }); };
    Bind("FormActivate", TNotifyEvent([this](Control&) {
           Log.push_back("activate");
           Grid.SetFocus();
         }));
    Bind("PagesChange", note("pages"));
    Bind("GridClick", TNotifyEvent([this](Control&) {
           Log.push_back("grid " + std::to_string(Grid.Col()) + "," + std::to_string(Grid.Row()));
         }));
    Bind("GridSelectCell", TSelectCellEvent([this](Control&, int col, int, bool& can) {
           if (col == 1) can = false;  // the middle column is not selectable
         }));
    Bind("GridScroll", TNotifyEvent([this](Control&) { Log.push_back("top " + std::to_string(Grid.TopRow())); }));
    Bind("GridKeyDown", TKeyEvent([this](Control&, uint16_t& key, TShiftState) {
           if (key == vkF4) {
             Log.push_back("grid F4");
             key = 0;
           }
         }));
    Bind("LayersChange", TNotifyEvent([this](Control&) { Log.push_back("layers " + Layers.Text()); }));
    Bind("VerboseClick", TNotifyEvent([this](Control&) {
           Log.push_back(std::string("verbose ") + (Verbose.Checked() ? "on" : "off"));
         }));
    Bind("ExtraClick", note("extra"));
    Bind("OKClick", note("ok"));
    Bind("CancelClick", note("cancel"));
  }

  PageControl& Pages;
  TabSheet& Main;
  TabSheet& More;
  Label& GridLabel;
  StringGrid& Grid;
  ComboBox& Layers;
  CheckBox& Verbose;
  Button& Extra;
  Button& Later;
  Button& OK;
  Button& Cancel;
  std::vector<std::string> Log;
};

// Installs a driver for one test and takes it away again.
class ScriptedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::ResetHooks();
    standin::SetMessageBoxEcho(false);
  }
  void TearDown() override { SetModalDriver(nullptr); }

  TModalResult Play(Form& form, const std::string& script) {
    driver_ = std::make_unique<ScriptDriver>(script);
    SetModalDriver(driver_.get());
    return form.ShowModal();
  }
  const std::vector<std::string>& Errors() const { return driver_->Errors(); }

  std::unique_ptr<ScriptDriver> driver_;
};

using Log = std::vector<std::string>;

TEST_F(ScriptedTest, ScriptDrivesGridListCheckBoxAndButton) {
  SampleForm form;
  const TModalResult result = Play(form,
                                   "# a user at work\n"
                                   "click Grid 2 3\n"
                                   "choose Layers Bottom Layer\n"
                                   "tick Verbose\n"
                                   "tick Verbose\n"  // already ticked: no click
                                   "page Pages More\n"
                                   "click Extra\n"
                                   "page Pages #0\n"
                                   "click OK\n"
                                   "click Cancel\n");  // the form has closed: not played
  EXPECT_EQ(result, mrOk);
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(form.Grid.Col(), 2);
  EXPECT_EQ(form.Grid.Row(), 3);
  EXPECT_EQ(form.Layers.ItemIndex(), 2);
  EXPECT_EQ(form.Layers.Text(), "Bottom Layer");
  EXPECT_TRUE(form.Verbose.Checked());
  EXPECT_EQ(form.Pages.ActivePageIndex(), 0);
  EXPECT_EQ(form.Log, (Log{"activate", "grid 2,3", "layers Bottom Layer", "verbose on", "pages", "extra",
                           "pages", "ok"}));
  EXPECT_TRUE(standin::MessageBoxes().empty());
}

TEST_F(ScriptedTest, ScriptsEndWithTheDefaultButtonOrCancel) {
  struct Case {
    const char* Script;
    TModalResult Result;
    Log Events;
  };
  const Case cases[] = {
      {"", mrOk, {"activate", "ok"}},                       // nothing to do: default button
      {"# only a comment\n\n", mrOk, {"activate", "ok"}},
      {"ok", mrOk, {"activate", "ok"}},
      {"cancel", mrCancel, {"activate", "cancel"}},          // the cancel button is pressed
      {"close", mrCancel, {"activate"}},                     // the close box: no button
      {"key Escape", mrCancel, {"activate", "cancel"}},
      {"key Enter", mrOk, {"activate", "ok"}},               // the grid has the focus
      {"key Enter Cancel", mrCancel, {"activate", "cancel"}},  // a focused button takes Enter
      {"key Enter Verbose", mrOk, {"activate", "ok"}},
      {"untick Verbose\nclick Grid 0 0", mrOk, {"activate", "grid 0,0", "ok"}},
  };
  for (const Case& c : cases) {
    SampleForm form;
    EXPECT_EQ(Play(form, c.Script), c.Result) << c.Script;
    EXPECT_EQ(form.Log, c.Events) << c.Script;
    EXPECT_TRUE(Errors().empty()) << c.Script;
  }
}

TEST_F(ScriptedTest, AFormWithoutButtonsEndsByItsResult) {
  Form bare("Bare", 0);
  bare.Add<CheckBox>("Box");
  EXPECT_EQ(Play(bare, ""), mrOk);
  EXPECT_EQ(Play(bare, "cancel"), mrCancel);
  // A driver that leaves the form open: closed as by its close box.
  struct Idle : ModalDriver {
    void Run(Form&) override {}
  } idle;
  SetModalDriver(&idle);
  EXPECT_EQ(bare.ShowModal(), mrCancel);
}

TEST_F(ScriptedTest, ActionsAUserCannotDoCancelTheFormWithAMessage) {
  struct Case {
    const char* Script;
    const char* Error;  // part of the message
  };
  const Case cases[] = {
      {"click Nothing", "line 1: no control named \"Nothing\""},
      {"tick Verbose\nclick Extra", "line 2: \"Extra\" is not showing"},  // on the other page
      {"click Later", "\"Later\" is disabled"},
      {"choose Layers Mid Layer 1", "has no item \"Mid Layer 1\""},
      {"choose Layers #3", "has no item \"#3\""},
      {"click Grid 3 0", "has no cell at column 3, row 0"},
      {"click Grid 0 20", "has no cell at column 0, row 20"},
      {"click Grid", "needs a column and a row"},
      {"tick Layers", "\"Layers\" is not a check box"},
      {"page Pages Nowhere", "has no page \"Nowhere\""},
      {"scroll Grid 25", "has no row 25"},
      {"dance Grid", "line 1: unknown action \"dance\""},
      {"click \"Grid 1", "a quoted text is not closed"},
      {"key Hyper+Q", "unknown key \"Hyper+Q\""},
      {"click Grid one 2", "column and row are numbers from 0"},
      {"click Grid -1 2", "column and row are numbers from 0"},
      {"choose Layers", "usage: choose LIST ITEM"},
      {"ok now", "usage: ok | cancel | close"},
  };
  for (const Case& c : cases) {
    standin::ResetHooks();
    standin::SetMessageBoxEcho(false);
    SampleForm form;
    EXPECT_EQ(Play(form, c.Script), mrCancel) << c.Script;
    ASSERT_EQ(Errors().size(), 1u) << c.Script;
    EXPECT_NE(Errors()[0].find(c.Error), std::string::npos) << c.Script << " -> " << Errors()[0];
    EXPECT_EQ(Errors()[0].rfind("Dialog script, form SampleForm, line ", 0), 0u) << Errors()[0];
    ASSERT_EQ(standin::MessageBoxes().size(), 1u) << c.Script;
    EXPECT_EQ(standin::MessageBoxes()[0].Caption, "Dialog Script");
    EXPECT_EQ(standin::MessageBoxes()[0].Text, Errors()[0]);
    // No button ran: the error closed the form.
    for (const std::string& e : form.Log) EXPECT_TRUE(e != "ok" && e != "cancel") << c.Script;
  }
}

TEST_F(ScriptedTest, SectionsAddressFormsByName) {
  const std::string script =
      "tick Verbose\n"            // every form
      "form OtherForm\n"
      "cancel\n"
      "form sampleform\n"         // names compared without regard to case
      "choose Layers \"Top Layer\"\n";
  SampleForm form;
  EXPECT_EQ(Play(form, script), mrOk);
  EXPECT_TRUE(form.Verbose.Checked());
  EXPECT_EQ(form.Layers.Text(), "Top Layer");

  DialogScript parsed;
  std::string error;
  ASSERT_TRUE(ParseDialogScript(script, parsed, error)) << error;
  const auto other = parsed.ActionsFor("OtherForm");
  ASSERT_EQ(other.size(), 2u);
  EXPECT_EQ(other[0].Verb, "tick");
  EXPECT_EQ(other[1].Verb, "cancel");
  EXPECT_EQ(other[1].Line, 3);
}

TEST_F(ScriptedTest, KeysReachTheFocusedControlAndItsOwnHandling) {
  SampleForm form;
  Play(form,
       "key F4\n"            // used up by the grid's handler
       "key Tab\n"           // the list
       "key Down\n"          // the next item of the closed list
       "key Alt+Down\n"      // opens the list
       "key Escape\n"        // an open list takes Escape: it closes, the form stays
       "key Tab\n"           // the check box
       "key Space\n"         // toggles it
       "key Alt+G\n"         // the label's letter: the grid
       "close\n");
  EXPECT_EQ(form.Log, (Log{"activate", "grid F4", "layers Not Imported", "verbose on"}));
  EXPECT_EQ(form.ActiveControl(), &form.Grid);
  EXPECT_EQ(form.Layers.ItemIndex(), 0);
  EXPECT_FALSE(form.Layers.DroppedDown);
  EXPECT_EQ(form.ModalResult, mrCancel);
}

TEST_F(ScriptedTest, TabSkipsControlsThatCannotTakeTheFocus) {
  SampleForm form;
  form.Verbose.Enabled = false;
  std::vector<std::string> order;
  Play(form, "");
  // Without a modal showing, walk the tab order from the grid.
  form.Grid.SetFocus();
  for (int i = 0; i < 5; ++i) {
    form.FocusNext(false);
    order.push_back(form.ActiveControl()->Name());
  }
  // Extra is on the hidden page, Later and Verbose are disabled.
  EXPECT_EQ(order, (std::vector<std::string>{"Layers", "OK", "Cancel", "Pages", "Grid"}));
  form.FocusNext(true);
  EXPECT_EQ(form.ActiveControl()->Name(), "Pages");
}

TEST_F(ScriptedTest, GridScrollsToClickedRowsAndRefusesCells) {
  SampleForm form;
  ASSERT_EQ(form.Grid.VisibleRowCount(), 5);
  Play(form,
       "click Grid 0 12\n"   // out of view: scrolls so that row 12 is the last shown
       "click Grid 1 2\n"    // refused by OnSelectCell: no move, no OnClick
       "scroll Grid 0\n"
       "scroll Grid 19\n"    // kept to the last full page
       "close\n");
  EXPECT_EQ(form.Log, (Log{"activate", "top 8", "grid 0,12", "top 2", "top 0", "top 15"}));
  EXPECT_EQ(form.Grid.Col(), 0);
  EXPECT_EQ(form.Grid.Row(), 12);
}

TEST_F(ScriptedTest, KeyPreviewGivesTheFormTheKeyFirst) {
  SampleForm form;
  form.KeyPreview = true;
  form.OnKeyDown = "FormKeyDown";
  form.Bind("FormKeyDown", TKeyEvent([&form](Control& sender, uint16_t& key, TShiftState) {
              form.Log.push_back("form key " + sender.Name());
              if (key == vkSpace) key = 0;  // used up: the box is not toggled
            }));
  Play(form, "key Space Verbose\nkey F4 Grid\nclose");
  EXPECT_EQ(form.Log, (Log{"activate", "form key SampleForm", "form key SampleForm", "grid F4"}));
  EXPECT_FALSE(form.Verbose.Checked());
}

TEST(DialogKit, HandlersAreBoundByNameAndMissingOnesAreListed) {
  SampleForm form;
  EXPECT_TRUE(form.UnboundHandlers().empty());
  form.OK.OnKeyDown = "OKKeyDown";                      // no such handler
  form.Layers.OnChange = "GridKeyDown";                 // a handler of another type
  EXPECT_EQ(form.UnboundHandlers(),
            (std::vector<std::string>{"Layers.OnChange -> GridKeyDown", "OK.OnKeyDown -> OKKeyDown"}));
  // Firing a name without a handler of that type does nothing.
  form.Fire("GridKeyDown", form);
  form.Fire("", form);
  EXPECT_TRUE(form.Log.empty());
}

TEST(DialogKit, ControlStateHoldsAndStaysInRange) {
  SampleForm form;
  EXPECT_EQ(form.Find("grid"), &form.Grid);
  EXPECT_EQ(form.FindAs<Button>("Grid"), nullptr);
  EXPECT_EQ(form.OwnerWindow(), 7u);

  StringGrid& g = form.Grid;
  EXPECT_FALSE(g.SetCell(3, 0, "x"));
  EXPECT_EQ(g.Cells(-1, 0), "");
  g.SetRowCount(2);
  EXPECT_EQ(g.Cells(0, 1), "row 1");
  EXPECT_EQ(g.Cells(0, 2), "");
  g.SetRowCount(0);  // at least one row
  EXPECT_EQ(g.RowCount(), 1);
  EXPECT_EQ(g.Row(), 0);

  ComboBox& c = form.Layers;
  c.SetItemIndex(5);
  EXPECT_EQ(c.ItemIndex(), -1);
  EXPECT_EQ(c.Text(), "");
  c.SetItemIndex(1);
  EXPECT_EQ(c.Text(), "Top Layer");
  EXPECT_TRUE(form.Log.empty());  // by code: no handler runs

  // A check box set by code runs OnClick only when its state changes.
  form.Verbose.SetChecked(false);
  form.Verbose.SetChecked(true);
  EXPECT_EQ(form.Log, (Log{"verbose on"}));

  EXPECT_EQ(AcceleratorOf("Save &As Defaults"), 'A');
  EXPECT_EQ(AcceleratorOf("R&&D &x"), 'X');
  EXPECT_EQ(AcceleratorOf("Close"), 0);
  EXPECT_EQ(StripAccelerator("R&&D &Options"), "R&D Options");
}

TEST(DialogKit, KeyNames) {
  struct Case {
    const char* Name;
    uint16_t Key;
    TShiftState Shift;
  };
  const Case cases[] = {{"Enter", vkReturn, 0},      {"esc", vkEscape, 0},
                        {"Alt+Down", vkDown, ssAlt}, {"shift+ctrl+tab", vkTab, ssShift | ssCtrl},
                        {"F4", vkF4, 0},             {"F12", vkF12, 0},
                        {"alt+m", 'M', ssAlt},       {"7", '7', 0}};
  for (const Case& c : cases) {
    uint16_t key = 0;
    TShiftState shift = 0;
    ASSERT_TRUE(ParseKeyName(c.Name, key, shift)) << c.Name;
    EXPECT_EQ(key, c.Key) << c.Name;
    EXPECT_EQ(shift, c.Shift) << c.Name;
  }
  for (const char* bad : {"", "F0", "F13", "Alt+", "+", "Meta+A", "AB"}) {
    uint16_t key = 0;
    TShiftState shift = 0;
    EXPECT_FALSE(ParseKeyName(bad, key, shift)) << bad;
  }
}

// Without an installed driver, ShowModal asks the host for the form's script.
TEST(DialogKitHost, TheHostAnswersTheScriptByFormName) {
  standin::ResetHooks();
  standin::SetMessageBoxEcho(false);
  {
    SampleForm form;  // no script: the default button
    EXPECT_EQ(form.ShowModal(), mrOk);
  }
  standin::SetDialogScript("form SampleForm\ntick Verbose\ncancel\n");
  SampleForm form;
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_TRUE(form.Verbose.Checked());
  EXPECT_EQ(standin::DialogScriptRequests(), (std::vector<std::string>{"SampleForm", "SampleForm"}));

  standin::SetDialogScript("click Missing\n");
  SampleForm broken;
  EXPECT_EQ(broken.ShowModal(), mrCancel);
  ASSERT_EQ(standin::MessageBoxes().size(), 1u);
  EXPECT_EQ(standin::MessageBoxes()[0].Text,
            "Dialog script, form SampleForm, line 1: no control named \"Missing\"");
}

TEST(DialogKitHost, AFormShownTwiceAtOnceIsCancelled) {
  standin::ResetHooks();
  SampleForm form;
  TModalResult inner = mrNone;
  form.Bind("ExtraClick", TNotifyEvent([&](Control&) { inner = form.ShowModal(); }));
  standin::SetDialogScript("page Pages More\nclick Extra\n");
  EXPECT_EQ(form.ShowModal(), mrOk);  // the script ends; the default button closes
  EXPECT_EQ(inner, mrCancel);
  EXPECT_FALSE(form.IsShownModally());
}

}  // namespace

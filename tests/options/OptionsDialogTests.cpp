// The options dialog of a Vexal import: the defaults file, the grid and its
// mapping status, row editing through the layer drop-down, Reset To Defaults,
// Save As Defaults, configuration files through the host's common file
// dialog, the report settings, the keyboard, and the dialog as the root of
// the object tree uses it.
//
// The program carries the stand-in host's client functions and hooks (it
// exports them like the host program) and loads the stand-in host module,
// whose common file dialog answers what a test queues. Every test points the
// application-data folder (PCBIMPORT_APPDATA) at a folder of its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "host/client/PlatformHooks.h"
#include "host/client/StandInClient.h"
#include "host/tarvex/TarvexHost.h"
#include "hostapi/PcbTypes.h"
#include "hostapi/PcbUtil.h"
#include "hostclient/HostClient.h"
#include "platform/Platform.h"
#include "platform/dialogs/DialogScript.h"
#include "vexal/options/PcbComp.h"
#include "vexal/options/UserOptions.h"
#include "vexal/report/ReportManager.h"

namespace fs = std::filesystem;
using dialogs::mrCancel;
using dialogs::mrNone;
using dialogs::mrOk;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// A layer table with the given entries named (number, name) and the given
// host layers already set (number, layer).
TLayerTable Table(std::initializer_list<std::pair<int, const char*>> named,
                  std::initializer_list<std::pair<int, int>> layers = {}) {
  TLayerTable table;
  for (const auto& [number, name] : named) table[static_cast<size_t>(number)].Name = name;
  for (const auto& [number, layer] : layers) table[static_cast<size_t>(number)].HostLayer = static_cast<uint8_t>(layer);
  return table;
}

using Rows = std::vector<std::pair<std::string, std::string>>;

// Columns 1 and 3 of every grid row; column 2 must read "=>" on every row
// that has a name.
Rows GridRows(const TTranslateDialog& d) {
  Rows rows;
  const dialogs::StringGrid& grid = d.StringGridAssociations;
  for (int row = 0; row < grid.RowCount(); ++row) {
    if (!grid.Cells(0, row).empty()) {
      EXPECT_EQ(grid.Cells(1, row), "=>") << "row " << row;
    }
    rows.emplace_back(grid.Cells(0, row), grid.Cells(2, row));
  }
  return rows;
}

// Plays user actions on a form that is not shown (its handlers run as when
// it is).
void Play(dialogs::Form& form, const std::string& script) {
  dialogs::DialogScript parsed;
  std::string error;
  ASSERT_TRUE(dialogs::ParseDialogScript(script, parsed, error)) << error;
  EXPECT_TRUE(dialogs::PlayActions(form, parsed.ActionsFor(form.Name()), error)) << error;
}

std::string FocusName(const dialogs::Form& form) {
  return form.ActiveControl() ? form.ActiveControl()->Name() : "(none)";
}

// Shows forms through a script, noting what the user found when the form
// came up.
class Driver : public dialogs::ModalDriver {
 public:
  void Run(dialogs::Form& form) override {
    ++Shown;
    Owner = form.OwnerWindow();
    FocusAtStart = FocusName(form);
    if (auto* d = dynamic_cast<TTranslateDialog*>(&form)) DetailAtStart = d->ComboBoxDetailLevel.Text();
    const std::string error = dialogs::RunDialogScript(form, &Script);
    if (!error.empty()) Errors.push_back(error);
  }
  std::string Script;
  int Shown = 0;
  uintptr_t Owner = 0;
  std::string FocusAtStart;
  std::string DetailAtStart;
  std::vector<std::string> Errors;
};

class Options : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    platform::ModuleHandle module =
        platform::LoadModule(std::string(PCBIMPORT_BIN_DIR) + "/libTarvex.so", &error);
    ASSERT_NE(module, nullptr) << error;
    host_ = tarvex::TarvexHostOf(module);
    ASSERT_NE(host_, nullptr);
    hostclient::OnModuleLoad();
  }

  void SetUp() override {
    ASSERT_NE(host_, nullptr);
    host_->Reset();
    standin::ResetHooks();
    standin::SetMessageBoxEcho(false);
    standin::ResetClient();
    hostclient::SetClientInterface(standin::HostClient());
    dialogs::SetModalDriver(&driver_);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("options-tests-" + std::to_string(getpid()) + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "appdata");
    setenv("PCBIMPORT_APPDATA", (dir_ / "appdata").c_str(), 1);
  }

  void TearDown() override {
    unsetenv("PCBIMPORT_APPDATA");
    dialogs::SetModalDriver(nullptr);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  fs::path DefaultsPath() const { return dir_ / "appdata" / "Keldor" / "LoadVexal.ini"; }
  // A defaults file with exactly these lines in section "Layer".
  void WriteDefaults(const std::string& layerLines) {
    fs::create_directories(DefaultsPath().parent_path());
    WriteFile(DefaultsPath(), "[Layer]\r\n" + layerLines);
  }

  static tarvex::ITarvexHost* host_;
  Driver driver_;
  fs::path dir_;
};

tarvex::ITarvexHost* Options::host_ = nullptr;

// ---- The defaults file ----------------------------------------------------------------

TEST_F(Options, FirstUseWritesTheBuiltInTableAndLaterUsesReadTheFile) {
  EXPECT_FALSE(fs::exists(DefaultsPath().parent_path()));
  EXPECT_EQ(DefaultsFileName(), DefaultsPath().string());
  EXPECT_TRUE(fs::is_directory(DefaultsPath().parent_path()));  // the folder is made

  const TLayerDefaults defaults = LoadLayerDefaults();
  ASSERT_EQ(defaults.size(), 60u);
  const std::string file = DefaultsPath().string();
  const std::vector<std::string> keys = platform::IniReadKeys(file, "Layer");
  ASSERT_EQ(keys.size(), 60u);
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i], defaults[i].Name);
    EXPECT_EQ(platform::IniReadString(file, "Layer", keys[i], ""), hostapi::LayerDisplayName(defaults[i].Layer))
        << keys[i];
  }
  EXPECT_EQ(platform::IniReadString(file, "Layer", "Bot Silk", ""), "Bottom Overlay");

  // Positions and layers of the table, shared layers included.
  const struct {
    size_t Index;
    const char* Name;
    int Layer;
  } expected[] = {{0, "Top", 1},        {1, "Mid 1", 2},       {16, "Mid 16", 17},   {17, "Bottom", 32},
                  {18, "Board", 56},    {19, "Top Mask", 37},  {20, "Bot Mask", 38}, {21, "Top Silk", 33},
                  {22, "Bot Silk", 34}, {23, "Top Paste", 35}, {24, "Bot Paste", 36}, {25, "Top Assy", 57},
                  {27, "Title", 59},    {28, "MECH4", 60},     {29, "INT1", 18},     {42, "INT14", 31},
                  {43, "Ground", 39},   {44, "Power", 40},     {45, "Plane1", 41},   {48, "Plane4", 44},
                  {49, "Label", 60},    {50, "ManualDim", 61}, {51, "AutoDim", 62},  {52, "Fab1", 64},
                  {55, "Fab4", 64},     {56, "Drill1", 65},    {59, "Drill4", 68}};
  for (const auto& e : expected) {
    EXPECT_EQ(defaults[e.Index].Name, e.Name);
    EXPECT_EQ(defaults[e.Index].Layer, e.Layer) << e.Name;
  }
  for (const TLayerDefault& d : defaults) EXPECT_NE(d.Layer, 63) << d.Name;

  // Now the file is read, not rebuilt: changes to it are the defaults.
  ASSERT_TRUE(platform::IniWriteString(file, "Layer", "Top", "Bottom Layer"));
  ASSERT_TRUE(platform::IniWriteString(file, "Layer", "Odd", "Nonsense"));
  const TLayerDefaults again = LoadLayerDefaults();
  ASSERT_EQ(again.size(), 61u);
  EXPECT_EQ(again[0].Name, "Top");
  EXPECT_EQ(again[0].Layer, BottomLayer);
  EXPECT_EQ(again[60].Name, "Odd");
  EXPECT_EQ(again[60].Layer, 0);
}

TEST_F(Options, DefaultsThatCannotBeWrittenAreStillTheBuiltInTable) {
  // An application-data folder that does not exist: neither the folder nor
  // the file can be made.
  setenv("PCBIMPORT_APPDATA", (dir_ / "missing" / "deeper").c_str(), 1);
  const TLayerDefaults defaults = LoadLayerDefaults();
  EXPECT_EQ(defaults.size(), 60u);
  EXPECT_FALSE(fs::exists(dir_ / "missing"));

  TTranslateDialog d(0);
  const TLayerTable layers = Table({{1, "Top"}});
  d.FillLayerGrid(&layers);
  EXPECT_EQ(GridRows(d), (Rows{{"Top", "Top Layer"}}));
}

TEST_F(Options, DetailLevelTexts) {
  const std::pair<const char*, int> cases[] = {{"None", 0}, {"Brief", 1},   {"Normal", 2}, {"Full", 3},
                                               {"Detailed", 4}, {"full", 2}, {"", 2},       {"Nonsense", 2}};
  for (const auto& [text, level] : cases) EXPECT_EQ(DetailLevelOf(text), level) << text;
}

// ---- The form -------------------------------------------------------------------------------

TEST_F(Options, TheFormHasTheControlsTextsAndStatesOfTheOptionsDialog) {
  TTranslateDialog d(standin::kMainWindow);
  EXPECT_EQ(d.Name(), "TranslateDialog");
  EXPECT_EQ(d.OwnerWindow(), standin::kMainWindow);
  EXPECT_EQ(d.Caption, "Vexal Importer");
  EXPECT_EQ(d.ClientWidth, 592);
  EXPECT_EQ(d.ClientHeight, 446);
  EXPECT_EQ(d.Position, dialogs::FormPosition::ScreenCenter);
  EXPECT_EQ(d.BorderIcons, dialogs::biSystemMenu | dialogs::biMaximize);
  EXPECT_EQ(d.FontName, "MS Sans Serif");
  EXPECT_EQ(d.FontSize, 8);
  EXPECT_TRUE(d.UnboundHandlers().empty());

  ASSERT_EQ(d.PageControl1.PageList().size(), 1u);
  EXPECT_EQ(d.PageControl1.PageList()[0]->Caption, "Options");
  EXPECT_EQ(d.Label2.Caption, "VEXAL file name :");
  EXPECT_EQ(d.Label1FileName.Caption, "*.pcb");
  EXPECT_EQ(d.Label1FileName.Width, 441);
  EXPECT_EQ(d.RichEdit1.Lines,
            (std::vector<std::string>{
                "Use the Layer Mapping options to associate Vexal layers to Vortan layers.  Layers Set to Not "
                "Imported will not be ",
                "imported into Vortan . Other options are provided to control the level of reporting details."}));
  EXPECT_TRUE(d.RichEdit1.ReadOnly);
  EXPECT_FALSE(d.RichEdit1.Enabled);
  EXPECT_FALSE(d.RichEdit1.Border);
  EXPECT_EQ(d.Label1.Caption, "Layer &Mapping");
  EXPECT_EQ(d.Label1.FocusControl, &d.StringGridAssociations);

  const dialogs::StringGrid& grid = d.StringGridAssociations;
  EXPECT_EQ(grid.Width, 270);
  EXPECT_EQ(grid.Height, 215);
  EXPECT_EQ(grid.ColCount(), 3);
  EXPECT_EQ(grid.FixedCols(), 0);
  EXPECT_EQ(grid.FixedRows(), 0);
  EXPECT_EQ(grid.DefaultRowHeight, 18);
  EXPECT_EQ(grid.Options, dialogs::goVertLine | dialogs::goHorzLine | dialogs::goTabs);
  EXPECT_EQ(grid.ScrollBar, dialogs::ScrollBars::Vertical);
  EXPECT_EQ(grid.ColWidth(0), 103);
  EXPECT_EQ(grid.ColWidth(1), 20);
  EXPECT_EQ(grid.ColWidth(2), 125);

  EXPECT_FALSE(d.ComboBoxVortanLayers.Visible);
  EXPECT_EQ(d.ComboBoxVortanLayers.Style, dialogs::ComboStyle::DropDownList);
  EXPECT_EQ(d.ComboBoxVortanLayers.State(), eIgnoreLayer);

  EXPECT_EQ(d.Label3.Caption, "Report Settings");
  EXPECT_EQ(d.CheckBoxViewErrors.Caption, "View &Errors");
  EXPECT_TRUE(d.CheckBoxViewErrors.Checked());
  EXPECT_EQ(d.CheckBoxViewWarnings.Caption, "View &Warnings");
  EXPECT_TRUE(d.CheckBoxViewWarnings.Checked());
  EXPECT_EQ(d.CheckBoxViewEvents.Caption, "View E&vents");
  EXPECT_FALSE(d.CheckBoxViewEvents.Checked());
  EXPECT_EQ(d.Label5.Caption, "&Detail Level");
  EXPECT_EQ(d.Label5.FocusControl, &d.ComboBoxDetailLevel);
  EXPECT_EQ(d.ComboBoxDetailLevel.Items, (std::vector<std::string>{"Brief", "Normal", "Full", "Detailed"}));
  EXPECT_EQ(d.ComboBoxDetailLevel.Style, dialogs::ComboStyle::DropDownList);
  EXPECT_TRUE(d.ComboBoxDetailLevel.Enabled);
  EXPECT_EQ(d.Label4.Caption, "Status: ");
  EXPECT_EQ(d.LabelStatus.Caption, "Current Status of Layer Mapping");
  EXPECT_EQ(d.Panel1.BevelOuter, dialogs::PanelBevel::Lowered);

  EXPECT_EQ(d.ButtonResetDefaults.Caption, "&Reset To Defaults");
  EXPECT_EQ(d.ButtonSaveDefaults.Caption, "Save &As Defaults");
  EXPECT_EQ(d.ButtonLoadConfig.Caption, "&Load Configuration");
  EXPECT_EQ(d.ButtonSaveConfig.Caption, "&Save Configuration");
  for (const dialogs::Button* b : {&d.ButtonOK, &d.ButtonCancel, &d.ButtonHelp}) {
    EXPECT_EQ(b->Parent(), nullptr) << b->Name();  // below the page
    EXPECT_EQ(b->Width, 75);
    EXPECT_EQ(b->Height, 25);
  }
  EXPECT_EQ(d.ButtonOK.Caption, "OK");
  EXPECT_EQ(d.ButtonCancel.Caption, "Cancel");
  EXPECT_EQ(d.ButtonHelp.Caption, "Help");
  EXPECT_EQ(d.CancelButton(), &d.ButtonCancel);
  EXPECT_EQ(d.DefaultButton(), nullptr);
  EXPECT_TRUE(d.FileLayers.empty());

  for (const char* path : {"/boards/demo.pcb", "C:\\Boards\\demo.pcb", "demo.pcb"}) {
    d.ShowFileName(path);
    EXPECT_EQ(d.Label1FileName.Caption, "demo.pcb") << path;
  }
}

TEST_F(Options, TheLayerComboBoxSelectsByTheLayersOfItsSet) {
  TTranslateDialog d(0);
  TEditLayer& combo = d.ComboBoxVortanLayers;
  // At creation: only layer 0.
  EXPECT_EQ(combo.Items, (std::vector<std::string>{"Any Layer"}));
  EXPECT_EQ(combo.ItemIndex(), 0);
  EXPECT_EQ(combo.DropDownCount, 16);

  TLayerSet set;
  for (int id : {0, 1, 32, 74}) set.set(static_cast<size_t>(id));
  combo.SetLayerSet(set);
  EXPECT_EQ(combo.Items, (std::vector<std::string>{"Any Layer", "Top Layer", "Bottom Layer", "Multi Layer"}));
  const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {5, 1}, {32, 2}, {40, 2}, {74, 3}, {82, 3}};
  for (const auto& [layer, item] : cases) {
    combo.SetState(static_cast<TLayer>(layer));
    EXPECT_EQ(combo.ItemIndex(), item) << layer;
  }
  combo.SetState(BottomLayer);
  EXPECT_EQ(combo.State(), BottomLayer);

  set.reset(0);
  combo.SetLayerSet(set);
  combo.SetState(eIgnoreLayer);  // no layer of the set is at most 0
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.State(), eIgnoreLayer);
}

// ---- The grid -------------------------------------------------------------------------------

TEST_F(Options, GridRowsFollowTheDefaultsAndTheStatusCountsUnmappedRows) {
  const struct {
    const char* What;
    TLayerTable Layers;
    Rows Expected;
    const char* Status;
  } cases[] = {
      {"lower-case name and a layer without default",
       Table({{1, "top"}, {2, "Signal 3"}}),
       {{"top", "Top Layer"}, {"Signal 3", "Not Imported"}},
       "1 layers not mapped."},
      {"all mapped; entry 0 is not shown; gaps and the last entry",
       Table({{0, "Ground"}, {1, "BOTTOM"}, {5, "Bot Silk"}, {100, "Drill4"}}),
       {{"BOTTOM", "Bottom Layer"}, {"Bot Silk", "Bottom Overlay"}, {"Drill4", "Mechanical Layer 12"}},
       "All layers mapped."},
      {"two unmapped", Table({{3, "A"}, {4, "B"}, {7, "Top"}}),
       {{"A", "Not Imported"}, {"B", "Not Imported"}, {"Top", "Top Layer"}}, "2 layers not mapped."},
      {"no named layers: one empty row", Table({{0, "Top"}}), {{"", ""}}, "All layers mapped."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    TTranslateDialog d(0);
    d.FillLayerGrid(&c.Layers);
    EXPECT_EQ(GridRows(d), c.Expected);
    EXPECT_EQ(d.LabelStatus.Caption, c.Status);
    EXPECT_EQ(d.FileLayers.size(), 101u);
    EXPECT_EQ(d.LayerDefaults.size(), 60u);
    const auto& items = d.ComboBoxVortanLayers.Items;
    ASSERT_EQ(items.size(), 75u);
    EXPECT_EQ(items[0], "Not Imported");
    EXPECT_EQ(items[1], "Top Layer");
    EXPECT_EQ(items[74], "Multi Layer");
  }
}

TEST_F(Options, AFileWithoutNamedLayersMapsNothingAndOffersNoDropDown) {
  TTranslateDialog d(0);
  TLayerTable table = Table({}, {{0, 9}, {3, 5}});
  d.FillLayerGrid(&table);
  EXPECT_EQ(d.MappingRowCount(), 0);
  Play(d, "click StringGridAssociations 2 0");
  EXPECT_FALSE(d.ComboBoxVortanLayers.Visible);
  d.ApplyLayerMapping(table);
  EXPECT_EQ(table[0].HostLayer, 9);
  EXPECT_EQ(table[3].HostLayer, 5);
}

TEST_F(Options, TwoRowsOfOneNameWriteTheFirstEntryOfThatNameAndTheLaterRowWins) {
  const TLayerTable layers = Table({{3, "Top"}, {7, "TOP"}, {9, "Signal 3"}}, {{7, 5}, {50, 12}});
  {
    TTranslateDialog d(0);
    d.FillLayerGrid(&layers);
    EXPECT_EQ(GridRows(d), (Rows{{"Top", "Top Layer"}, {"TOP", "Top Layer"}, {"Signal 3", "Not Imported"}}));
    Play(d,
         "click StringGridAssociations 2 1\n"
         "choose ComboBoxVortanLayers Mid Layer 1\n");
    TLayerTable table = layers;
    d.ApplyLayerMapping(table);
    EXPECT_EQ(table[3].HostLayer, MidLayer1);  // the later row
    EXPECT_EQ(table[7].HostLayer, 5);          // kept
    EXPECT_EQ(table[9].HostLayer, 0);
    EXPECT_EQ(table[50].HostLayer, 12);        // not shown: kept
  }
  {
    TTranslateDialog d(0);
    d.FillLayerGrid(&layers);
    Play(d,
         "click StringGridAssociations 2 0\n"
         "choose ComboBoxVortanLayers Mid Layer 1\n"
         "click StringGridAssociations 2 2\n"
         "choose ComboBoxVortanLayers Bottom Layer\n");
    TLayerTable table = layers;
    d.ApplyLayerMapping(table);
    EXPECT_EQ(table[3].HostLayer, TopLayer);  // the second row's layer wins over the edit
    EXPECT_EQ(table[9].HostLayer, BottomLayer);
  }
}

TEST_F(Options, RowsAreEditedThroughTheDropDownOverTheThirdColumn) {
  TLayerTable layers;
  for (int n = 1; n <= 15; ++n) layers[static_cast<size_t>(n)].Name = "Mid " + std::to_string(n);
  layers[16].Name = "Signal 3";
  TTranslateDialog d(0);
  d.FillLayerGrid(&layers);
  ASSERT_EQ(d.MappingRowCount(), 16);
  EXPECT_EQ(d.LabelStatus.Caption, "1 layers not mapped.");
  const dialogs::StringGrid& grid = d.StringGridAssociations;
  const TEditLayer& combo = d.ComboBoxVortanLayers;

  Play(d, "click StringGridAssociations 2 3");
  EXPECT_TRUE(combo.Visible);
  EXPECT_EQ(combo.Left, grid.Left + 103 + 20 + 2);
  EXPECT_EQ(combo.Top, grid.Top + 3 * 19);
  EXPECT_EQ(combo.Text(), "Mid Layer 4");
  EXPECT_EQ(d.EditRow(), 3);

  Play(d, "choose ComboBoxVortanLayers Not Imported");
  EXPECT_EQ(grid.Cells(2, 3), "Not Imported");
  EXPECT_EQ(d.RowLayer[3], 0);
  EXPECT_EQ(d.LabelStatus.Caption, "2 layers not mapped.");

  Play(d, "choose ComboBoxVortanLayers Keep Out Layer");
  EXPECT_EQ(grid.Cells(2, 3), "Keep Out Layer");
  EXPECT_EQ(d.RowLayer[3], KeepOutLayer);
  EXPECT_EQ(d.LabelStatus.Caption, "1 layers not mapped.");

  // A click in another column hides it.
  Play(d, "click StringGridAssociations 0 3");
  EXPECT_FALSE(combo.Visible);

  // The unmapped row opens with "Not Imported" selected.
  Play(d, "click StringGridAssociations 2 15");
  EXPECT_TRUE(combo.Visible);
  EXPECT_EQ(combo.Text(), "Not Imported");
  // Row 15 was scrolled into view: it stands at the bottom of the 11 rows shown.
  EXPECT_EQ(grid.TopRow(), 5);
  EXPECT_EQ(combo.Top, grid.Top + (15 - 5) * 19);

  // Scrolling hides it.
  Play(d, "scroll StringGridAssociations 0");
  EXPECT_FALSE(combo.Visible);

  // The drop-down stands over the row it was opened for: moving the grid's
  // current cell with the keys does not move the choice to another row.
  Play(d, "click StringGridAssociations 2 1\nkey Down StringGridAssociations\nchoose ComboBoxVortanLayers Top Layer");
  EXPECT_EQ(grid.Row(), 2);
  EXPECT_EQ(grid.Cells(2, 1), "Top Layer");
  EXPECT_EQ(grid.Cells(2, 2), "Mid Layer 3");

  TLayerTable table = layers;
  d.ApplyLayerMapping(table);
  EXPECT_EQ(table[1].HostLayer, MidLayer1);
  EXPECT_EQ(table[2].HostLayer, TopLayer);
  EXPECT_EQ(table[4].HostLayer, KeepOutLayer);
  EXPECT_EQ(table[16].HostLayer, 0);
}

TEST_F(Options, ALayerTheListDoesNotOfferIsKeptAndSelectsNothing) {
  WriteDefaults("Holes=Pad Hole Layer\r\n");
  const TLayerTable layers = Table({{1, "Holes"}});
  TTranslateDialog d(0);
  d.FillLayerGrid(&layers);
  EXPECT_EQ(GridRows(d), (Rows{{"Holes", "Pad Hole Layer"}}));
  Play(d, "click StringGridAssociations 2 0");
  EXPECT_TRUE(d.ComboBoxVortanLayers.Visible);
  EXPECT_EQ(d.ComboBoxVortanLayers.ItemIndex(), -1);
  TLayerTable table = layers;
  d.ApplyLayerMapping(table);
  EXPECT_EQ(table[1].HostLayer, PadHoleLayer);
}

TEST_F(Options, ADefaultsFileWithoutALayerSectionMapsNothing) {
  fs::create_directories(DefaultsPath().parent_path());
  WriteFile(DefaultsPath(), "[Other]\r\nTop=Top Layer\r\n");
  const TLayerTable layers = Table({{1, "Top"}, {2, "Bottom"}});
  TTranslateDialog d(0);
  d.FillLayerGrid(&layers);
  EXPECT_EQ(GridRows(d), (Rows{{"Top", "Not Imported"}, {"Bottom", "Not Imported"}}));
  EXPECT_EQ(d.LabelStatus.Caption, "2 layers not mapped.");
  EXPECT_EQ(ReadFile(DefaultsPath()), "[Other]\r\nTop=Top Layer\r\n");  // not rewritten
}

// ---- Reset To Defaults, Save As Defaults ------------------------------------------------------

TEST_F(Options, ResetToDefaultsReadsTheDefaultsAgainForTheSameLayers) {
  const TLayerTable layers = Table({{1, "Top"}, {2, "Bottom"}, {3, "Signal 3"}});
  TTranslateDialog d(0);
  d.FillLayerGrid(&layers);
  Play(d,
       "click StringGridAssociations 2 0\n"
       "choose ComboBoxVortanLayers Mid Layer 9\n"
       "click StringGridAssociations 2 2\n"
       "choose ComboBoxVortanLayers Top Overlay\n");
  EXPECT_EQ(GridRows(d), (Rows{{"Top", "Mid Layer 9"}, {"Bottom", "Bottom Layer"}, {"Signal 3", "Top Overlay"}}));
  EXPECT_EQ(d.LabelStatus.Caption, "All layers mapped.");

  Play(d, "click ButtonResetDefaults");
  EXPECT_EQ(GridRows(d), (Rows{{"Top", "Top Layer"}, {"Bottom", "Bottom Layer"}, {"Signal 3", "Not Imported"}}));
  EXPECT_EQ(d.RowLayer, (std::vector<uint8_t>{TopLayer, BottomLayer, 0}));
  EXPECT_EQ(d.LabelStatus.Caption, "1 layers not mapped.");
  EXPECT_EQ(d.ComboBoxVortanLayers.Items.size(), 75u);
  EXPECT_FALSE(d.ComboBoxVortanLayers.Visible);

  // The defaults are read afresh at every reset.
  ASSERT_TRUE(platform::IniWriteString(DefaultsPath().string(), "Layer", "Signal 3", "Mid Layer 3"));
  Play(d, "click ButtonResetDefaults");
  EXPECT_EQ(GridRows(d), (Rows{{"Top", "Top Layer"}, {"Bottom", "Bottom Layer"}, {"Signal 3", "Mid Layer 3"}}));
  EXPECT_EQ(d.LabelStatus.Caption, "All layers mapped.");

  // A table given again replaces the file's layers; it does not add to them.
  const TLayerTable other = Table({{2, "Power"}});
  d.FillLayerGrid(&other);
  EXPECT_EQ(d.FileLayers.size(), 101u);
  EXPECT_EQ(GridRows(d), (Rows{{"Power", "Internal Plane 2"}}));
}

TEST_F(Options, SaveAsDefaultsWritesTheMappedRowsAndKeepsEverythingElse) {
  const TLayerTable layers = Table({{1, "Top"}, {2, "Signal 3"}, {3, "Custom"}, {4, "Bot Silk"}});
  TTranslateDialog d(0);
  d.FillLayerGrid(&layers);  // writes the built-in defaults
  Play(d,
       "click StringGridAssociations 2 0\n"
       "choose ComboBoxVortanLayers Not Imported\n"
       "click StringGridAssociations 2 2\n"
       "choose ComboBoxVortanLayers Mechanical Layer 7\n"
       "click StringGridAssociations 2 3\n"
       "choose ComboBoxVortanLayers Top Paste\n"
       "click ButtonSaveDefaults\n");
  const std::string file = DefaultsPath().string();
  EXPECT_EQ(platform::IniReadString(file, "Layer", "Top", ""), "Top Layer");  // row at 0: default stays
  EXPECT_EQ(platform::IniReadString(file, "Layer", "Custom", ""), "Mechanical Layer 7");
  EXPECT_EQ(platform::IniReadString(file, "Layer", "Bot Silk", ""), "Top Paste");
  EXPECT_EQ(platform::IniReadString(file, "Layer", "Signal 3", "(none)"), "(none)");
  EXPECT_EQ(platform::IniReadKeys(file, "Layer").size(), 61u);
  EXPECT_EQ(platform::IniReadString(file, "Layer", "Fab2", ""), "Mechanical Layer 8");

  // Every row unmapped: the file stays as it was, byte for byte.
  const std::string before = ReadFile(DefaultsPath());
  TTranslateDialog unmapped(0);
  const TLayerTable others = Table({{1, "Signal 1"}, {2, "Signal 2"}});
  unmapped.FillLayerGrid(&others);
  Play(unmapped, "click ButtonSaveDefaults");
  EXPECT_EQ(ReadFile(DefaultsPath()), before);
}

TEST_F(Options, LayerNamesThatAnIniFileCannotHoldAreNotWritten) {
  const TLayerTable layers = Table({{1, "A=B"}, {2, "X\r\n[Layer]\r\nTop"}, {3, "[Top]"}, {4, "Fine"}});
  TTranslateDialog d(0);
  d.FillLayerGrid(&layers);
  ASSERT_EQ(d.MappingRowCount(), 4);
  for (int row = 0; row < 4; ++row)
    Play(d, "click StringGridAssociations 2 " + std::to_string(row) + "\nchoose ComboBoxVortanLayers Mid Layer 5");
  const std::string before = ReadFile(DefaultsPath());
  Play(d, "click ButtonSaveDefaults");
  const std::string after = ReadFile(DefaultsPath());
  EXPECT_EQ(after, before + "Fine=Mid Layer 5\r\n");

  host_->QueueCommonDialogAnswer("Result=True|Path=" + (dir_ / "odd.cfg").string());
  Play(d, "click ButtonSaveConfig");
  EXPECT_EQ(platform::IniReadKeys((dir_ / "odd.cfg").string(), "Layer"), (std::vector<std::string>{"Fine"}));
  EXPECT_EQ(platform::IniReadSections((dir_ / "odd.cfg").string()), (std::vector<std::string>{"Layer", "Report"}));

  // The rows themselves are mapped as any other.
  TLayerTable table = layers;
  d.ApplyLayerMapping(table);
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(table[static_cast<size_t>(n)].HostLayer, MidLayer5) << n;
}

// ---- Configuration files ---------------------------------------------------------------------

TEST_F(Options, AConfigurationIsSavedAndLoadedThroughTheHostsFileDialog) {
  const TLayerTable layers = Table({{1, "Top"}, {2, "Signal 3"}, {3, "Bottom"}});
  const std::string cfg = (dir_ / "chosen.cfg").string();
  TTranslateDialog d(0);
  d.ShowFileName("/boards/demo.pcb");
  d.FillLayerGrid(&layers);
  d.ComboBoxDetailLevel.SetItemIndex(1);  // "Normal", as the shown dialog has it
  Play(d,
       "click StringGridAssociations 2 2\n"
       "choose ComboBoxVortanLayers Mid Layer 2\n"
       "tick CheckBoxViewEvents\n"
       "untick CheckBoxViewWarnings\n");

  host_->QueueCommonDialogAnswer("Result=True|Path=" + cfg);
  Play(d, "click ButtonSaveConfig");
  ASSERT_FALSE(host_->Commands().empty());
  const tarvex::CommandRecord& save = host_->Commands().back();
  EXPECT_EQ(save.Route, "SendCommand");
  EXPECT_EQ(save.Process, "Client:RunCommonDialog");
  EXPECT_EQ(save.Request,
            "Dialog=FileOpenSave|Mode=1|Prompt=Wenz Configuaration File|DocumentType=All|"
            "FileType1=Wenz CFG File (*.cfg)|FileType2=All Files (*.*)|Path=demo.cfg");
  EXPECT_EQ(ReadFile(cfg),
            "[Layer]\r\n"
            "Top=Top Layer\r\n"
            "Signal 3=Not Imported\r\n"
            "Bottom=Mid Layer 2\r\n"
            "\r\n"
            "[Report]\r\n"
            "ReportViewErrors=True\r\n"
            "ReportViewWarnings=False\r\n"
            "ReportViewEvents=True\r\n"
            "ReportDetailLevel=Normal\r\n");

  // Change everything, then load.
  Play(d,
       "click StringGridAssociations 2 0\n"
       "choose ComboBoxVortanLayers Mid Layer 7\n"
       "click StringGridAssociations 2 1\n"
       "choose ComboBoxVortanLayers Top Overlay\n"
       "untick CheckBoxViewErrors\n"
       "untick CheckBoxViewEvents\n"
       "tick CheckBoxViewWarnings\n"
       "choose ComboBoxDetailLevel Full\n");
  host_->QueueCommonDialogAnswer("Result=True|Path=" + cfg);
  Play(d, "click ButtonLoadConfig");
  EXPECT_EQ(host_->Commands().back().Request,
            "Dialog=FileOpenSave|Mode=0|Prompt=Wenz Configuaration File|DocumentType=All|"
            "FileType1=Wenz CFG File (*.cfg)|FileType2=All Files (*.*)|Path=demo.cfg");
  EXPECT_EQ(GridRows(d), (Rows{{"Top", "Top Layer"}, {"Signal 3", "Not Imported"}, {"Bottom", "Mid Layer 2"}}));
  EXPECT_EQ(d.RowLayer, (std::vector<uint8_t>{TopLayer, 0, MidLayer2}));
  EXPECT_TRUE(d.CheckBoxViewErrors.Checked());
  EXPECT_FALSE(d.CheckBoxViewWarnings.Checked());
  EXPECT_TRUE(d.CheckBoxViewEvents.Checked());
  EXPECT_EQ(d.ComboBoxDetailLevel.Text(), "Normal");
  EXPECT_TRUE(d.ComboBoxDetailLevel.Enabled);
  EXPECT_EQ(d.LabelStatus.Caption, "1 layers not mapped.");  // follows the loaded rows
}

TEST_F(Options, ADismissedFileDialogChangesNothing) {
  const TLayerTable layers = Table({{1, "Top"}});
  const std::string cfg = (dir_ / "x.cfg").string();
  WriteFile(cfg, "[Layer]\r\nTop=Bottom Layer\r\n");
  TTranslateDialog d(0);
  d.FillLayerGrid(&layers);
  // The standing answer of the host: the user dismissed the dialog.
  for (const char* answer : {"", "Result=False|Path=", "Result=true|Path=", "Result= TRUE|Path="}) {
    SCOPED_TRACE(answer);
    if (*answer) host_->QueueCommonDialogAnswer(std::string(answer) + cfg);
    Play(d, "click ButtonLoadConfig\nclick ButtonSaveConfig");
    EXPECT_EQ(GridRows(d), (Rows{{"Top", "Top Layer"}}));
  }
  EXPECT_EQ(ReadFile(cfg), "[Layer]\r\nTop=Bottom Layer\r\n");
  // "Result=True" with no path is no file either.
  host_->QueueCommonDialogAnswer("Result=True");
  Play(d, "click ButtonSaveConfig");
  EXPECT_EQ(ReadFile(cfg), "[Layer]\r\nTop=Bottom Layer\r\n");
}

TEST_F(Options, LoadingAConfigurationWrittenByHand) {
  const std::string cfg = (dir_ / "hand.cfg").string();
  WriteFile(cfg,
            "[Layer]\r\n"
            "TOP=Bottom Layer\r\n"        // names in any case
            "Nowhere=Top Layer\r\n"       // no row: ignored
            "Signal 3=Not a layer\r\n"    // no layer name: not imported
            "Inner=\r\n"                  // no value: not imported
            "Twice=Mid Layer 4\r\n"       // every row of the name
            "[Report]\r\n"
            "ReportViewErrors=true\r\n"   // only "True" ticks
            "reportviewwarnings=False\r\n"  // names compared exactly: ignored
            "ReportViewEvents=True\r\n"
            "ReportDetailLevel=None\r\n");  // selects "Brief"
  const TLayerTable layers =
      Table({{1, "Top"}, {2, "Signal 3"}, {3, "Inner"}, {4, "Twice"}, {5, "twice"}, {6, "Bottom"}});
  TTranslateDialog d(0);
  d.FillLayerGrid(&layers);
  d.ComboBoxDetailLevel.SetItemIndex(3);
  host_->QueueCommonDialogAnswer("Result=True|Path=" + cfg);
  Play(d, "click ButtonLoadConfig");
  EXPECT_EQ(GridRows(d), (Rows{{"Top", "Bottom Layer"},
                               {"Signal 3", "Not Imported"},
                               {"Inner", "Not Imported"},
                               {"Twice", "Mid Layer 4"},
                               {"twice", "Mid Layer 4"},
                               {"Bottom", "Bottom Layer"}}));
  EXPECT_FALSE(d.CheckBoxViewErrors.Checked());
  EXPECT_TRUE(d.CheckBoxViewWarnings.Checked());
  EXPECT_TRUE(d.CheckBoxViewEvents.Checked());
  EXPECT_EQ(d.ComboBoxDetailLevel.Text(), "Brief");

  TLayerTable table = layers;
  d.ApplyLayerMapping(table);
  EXPECT_EQ(table[4].HostLayer, MidLayer4);

  // A detail level that is not offered changes nothing; a missing value
  // reads as "Normal".
  for (const auto& [line, expected] : {std::pair<std::string, std::string>{"ReportDetailLevel=Bogus", "Detailed"},
                                       {"ReportDetailLevel=", "Detailed"},
                                       {"ReportDetailLevel=Full", "Full"}}) {
    WriteFile(cfg, "[Report]\r\n" + line + "\r\n");
    d.ComboBoxDetailLevel.SetItemIndex(3);
    host_->QueueCommonDialogAnswer("Result=True|Path=" + cfg);
    Play(d, "click ButtonLoadConfig");
    EXPECT_EQ(d.ComboBoxDetailLevel.Text(), expected) << line;
  }
}

TEST_F(Options, AChosenPathLongerThanAParameterValueIsUsedWhole) {
  const fs::path folder = dir_ / std::string(200, 'f');
  fs::create_directories(folder);
  const fs::path cfg = folder / (std::string(80, 'c') + ".cfg");
  ASSERT_GT(cfg.string().size(), 255u);
  TTranslateDialog d(0);
  const TLayerTable layers = Table({{1, "Top"}});
  d.FillLayerGrid(&layers);
  host_->QueueCommonDialogAnswer("Result=True|Path=" + cfg.string());
  Play(d, "click ButtonSaveConfig");
  EXPECT_EQ(platform::IniReadString(cfg.string(), "Layer", "Top", ""), "Top Layer");
}

// ---- Report settings --------------------------------------------------------------------------

TEST_F(Options, ReportSettingsSetTheLevelsOfTheTickedCategories) {
  const struct {
    const char* Script;
    bool ComboEnabled;
    uint8_t Levels[6];  // load errors, load warnings, load events, import errors, import warnings, import events
  } cases[] = {
      {"", true, {2, 2, 0, 2, 2, 0}},
      {"choose ComboBoxDetailLevel Detailed\nuntick CheckBoxViewWarnings\ntick CheckBoxViewEvents",
       true, {4, 2, 4, 4, 2, 4}},
      {"tick CheckBoxViewEvents\nchoose ComboBoxDetailLevel Brief", true, {1, 1, 1, 1, 1, 1}},
      {"choose ComboBoxDetailLevel Full\nuntick CheckBoxViewErrors\nuntick CheckBoxViewWarnings",
       false, {2, 2, 0, 2, 2, 0}},
      {"untick CheckBoxViewErrors\nuntick CheckBoxViewWarnings\ntick CheckBoxViewEvents\n"
       "choose ComboBoxDetailLevel Full\nuntick CheckBoxViewEvents\ntick CheckBoxViewErrors",
       true, {3, 2, 0, 3, 2, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Script);
    TTranslateDialog d(0);
    const TLayerTable layers = Table({{1, "Top"}});
    d.FillLayerGrid(&layers);
    driver_.Script = std::string(c.Script) + "\nclick ButtonOK";
    ASSERT_EQ(d.ShowModal(), mrOk);
    EXPECT_EQ(d.ComboBoxDetailLevel.Enabled, c.ComboEnabled);
    TReportManager report;
    d.ApplyReportSettings(&report);
    const uint8_t levels[6] = {report.LoadErrorLevel(),  report.LoadWarningLevel(),  report.LoadEventLevel(),
                               report.ImportErrorLevel(), report.ImportWarningLevel(), report.ImportEventLevel()};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(levels[i], c.Levels[i]) << "level " << i;
    d.ApplyReportSettings(nullptr);  // nothing happens without a report
  }
  EXPECT_TRUE(driver_.Errors.empty());

  // With all three unticked the detail list cannot be reached.
  TTranslateDialog d(0);
  driver_.Script = "untick CheckBoxViewErrors\nuntick CheckBoxViewWarnings\nchoose ComboBoxDetailLevel Full";
  EXPECT_EQ(d.ShowModal(), mrCancel);
  ASSERT_EQ(driver_.Errors.size(), 1u);
  EXPECT_NE(driver_.Errors[0].find("\"ComboBoxDetailLevel\" is disabled"), std::string::npos) << driver_.Errors[0];
}

// ---- Keyboard and activation -------------------------------------------------------------------

TEST_F(Options, ActivationSelectsNormalAndFocusesOK) {
  TTranslateDialog d(standin::kMainWindow);
  d.ComboBoxDetailLevel.SetItemIndex(3);
  driver_.Script = "";
  EXPECT_EQ(d.ShowModal(), mrOk);  // no default button: the default ending closes with OK
  EXPECT_EQ(driver_.FocusAtStart, "ButtonOK");
  EXPECT_EQ(driver_.DetailAtStart, "Normal");
  EXPECT_EQ(driver_.Owner, standin::kMainWindow);
}

TEST_F(Options, KeysCloseTheDialogWhereTheyShould) {
  const struct {
    const char* Script;
    dialogs::TModalResult Result;
  } cases[] = {
      {"key Enter StringGridAssociations", mrOk},
      {"key Escape StringGridAssociations", mrCancel},
      {"key Enter CheckBoxViewErrors", mrOk},
      {"key Enter CheckBoxViewEvents", mrOk},
      {"key Escape CheckBoxViewWarnings", mrCancel},
      {"key Enter ButtonCancel", mrCancel},
      {"key Space ButtonOK", mrOk},
      {"key Escape ButtonHelp", mrCancel},
      {"click ButtonHelp\nclose", mrCancel},  // Help does nothing of its own
  };
  for (const auto& c : cases) {
    TTranslateDialog d(0);
    const TLayerTable layers = Table({{1, "Top"}});
    d.FillLayerGrid(&layers);
    driver_.Script = c.Script;
    EXPECT_EQ(d.ShowModal(), c.Result) << c.Script;
  }
  EXPECT_TRUE(driver_.Errors.empty());
}

TEST_F(Options, KeysMoveBetweenTheGridAndTheDropDown) {
  const TLayerTable layers = Table({{1, "Top"}, {2, "Bottom"}});
  TTranslateDialog d(0);
  d.FillLayerGrid(&layers);
  const TEditLayer& combo = d.ComboBoxVortanLayers;

  // Without the drop-down, Space and F4 leave the focus in the grid.
  Play(d, "click StringGridAssociations 0 0\nkey Space\nkey F4");
  EXPECT_EQ(FocusName(d), "StringGridAssociations");
  EXPECT_FALSE(combo.Visible);

  Play(d, "click StringGridAssociations 2 0\nkey Space");
  EXPECT_EQ(FocusName(d), "ComboBoxVortanLayers");
  EXPECT_FALSE(combo.DroppedDown);
  // Enter on the drop-down goes back to the grid (OK is not pressed).
  Play(d, "key Enter");
  EXPECT_EQ(FocusName(d), "StringGridAssociations");
  EXPECT_EQ(d.ModalResult, mrNone);

  for (const char* open : {"F4", "Alt+Down"}) {
    Play(d, std::string("key ") + open);
    EXPECT_EQ(FocusName(d), "ComboBoxVortanLayers") << open;
    EXPECT_TRUE(combo.DroppedDown) << open;
    EXPECT_EQ(d.StringGridAssociations.Row(), 0) << open;  // Alt+Down did not move the grid
    // Escape on the open list closes it and goes back to the grid.
    Play(d, "key Escape");
    EXPECT_FALSE(combo.DroppedDown);
    EXPECT_EQ(FocusName(d), "StringGridAssociations");
    EXPECT_EQ(d.ModalResult, mrNone);
  }

  // Arrows on the closed list choose the next item for the row.
  Play(d, "key Space\nkey Down");
  EXPECT_EQ(d.StringGridAssociations.Cells(2, 0), "Mid Layer 1");
  Play(d, "key Tab");
  EXPECT_EQ(FocusName(d), "StringGridAssociations");

  // Alt+M and a click on the label focus the grid.
  Play(d, "focus ButtonOK\nkey Alt+M");
  EXPECT_EQ(FocusName(d), "StringGridAssociations");
  Play(d, "focus ButtonOK\nclick Label1");
  EXPECT_EQ(FocusName(d), "StringGridAssociations");

  // Cancel with the drop-down shown: hidden, the grid focused, result Cancel.
  Play(d, "click StringGridAssociations 2 1\nkey Space\nclick ButtonCancel");
  EXPECT_FALSE(combo.Visible);
  EXPECT_EQ(FocusName(d), "StringGridAssociations");
  EXPECT_EQ(d.ModalResult, mrCancel);
}

// ---- The dialog of an import ---------------------------------------------------------------------

TEST_F(Options, OKMapsTheTableAndSetsTheReportWhileCancelChangesNothing) {
  // Shown through the host's scripts, as in a real import.
  dialogs::SetModalDriver(nullptr);
  const TLayerTable layers = Table({{0, "Top"}, {1, "top"}, {2, "Signal 3"}, {3, "Bot Silk"}}, {{0, 9}, {40, 7}});

  standin::SetDialogScript(std::string(
      "form TranslateDialog\n"
      "click StringGridAssociations 2 1\n"
      "choose ComboBoxVortanLayers Mid Layer 3\n"
      "choose ComboBoxDetailLevel Full\n"
      "click ButtonOK\n"));
  TLayerTable table = layers;
  TReportManager report;
  EXPECT_TRUE(ShowOptionsDialog("/boards/demo.pcb", table, &report));
  EXPECT_EQ(standin::DialogScriptRequests(), (std::vector<std::string>{"TranslateDialog"}));
  EXPECT_EQ(table[0].HostLayer, 9);  // never shown
  EXPECT_EQ(table[1].HostLayer, TopLayer);
  EXPECT_EQ(table[2].HostLayer, MidLayer3);
  EXPECT_EQ(table[3].HostLayer, BottomOverlay);
  EXPECT_EQ(table[40].HostLayer, 7);
  EXPECT_EQ(report.LoadErrorLevel(), rlFull);
  EXPECT_EQ(report.ImportWarningLevel(), rlFull);
  EXPECT_EQ(report.LoadEventLevel(), rlNone);
  EXPECT_TRUE(standin::MessageBoxes().empty());

  for (const char* script : {"cancel", "key Escape StringGridAssociations",
                             "click StringGridAssociations 2 1\nchoose ComboBoxVortanLayers Mid Layer 3\nclose",
                             "click NoSuchControl\nok"}) {
    SCOPED_TRACE(script);
    standin::SetDialogScript(std::string(script));
    TLayerTable unchanged = layers;
    TReportManager untouched;
    EXPECT_FALSE(ShowOptionsDialog("demo.pcb", unchanged, &untouched));
    for (size_t n = 0; n < unchanged.size(); ++n) EXPECT_EQ(unchanged[n].HostLayer, layers[n].HostLayer) << n;
    EXPECT_EQ(untouched.LoadErrorLevel(), rlNormal);
  }
  // The script that could not be played was shown to the user.
  ASSERT_EQ(standin::MessageBoxes().size(), 1u);
  EXPECT_EQ(standin::MessageBoxes()[0].Caption, "Dialog Script");

  // Without a client interface the dialog has no owner window.
  hostclient::SetClientInterface(nullptr);
  Driver ownerless;
  dialogs::SetModalDriver(&ownerless);
  table = layers;
  EXPECT_TRUE(ShowOptionsDialog("demo.pcb", table, nullptr));
  EXPECT_EQ(ownerless.Owner, 0u);
  EXPECT_EQ(table[1].HostLayer, TopLayer);
  dialogs::SetModalDriver(&driver_);
}

}  // namespace

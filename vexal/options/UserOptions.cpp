#include "vexal/options/UserOptions.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbUtil.h"
#include "hostclient/HostClient.h"
#include "hostclient/Parameters.h"
#include "platform/Platform.h"
#include "vexal/report/ReportManager.h"

using namespace dialogs;

namespace {

constexpr char kDefaultsFolder[] = "Keldor";
constexpr char kDefaultsFile[] = "LoadVexal.ini";
constexpr char kLayerSection[] = "Layer";
constexpr char kReportSection[] = "Report";
constexpr char kViewErrorsKey[] = "ReportViewErrors";
constexpr char kViewWarningsKey[] = "ReportViewWarnings";
constexpr char kViewEventsKey[] = "ReportViewEvents";
constexpr char kDetailLevelKey[] = "ReportDetailLevel";

// The layers the drop-down offers: ids 0 to 74.
constexpr int kLastOfferedLayer = MultiLayer;

// Grid geometry.
constexpr int kNameColWidth = 103;
constexpr int kArrowColWidth = 20;
constexpr int kLayerColWidth = 125;
constexpr int kGridRowHeight = 18;

// The detail levels the list offers, in order.
const std::array<const char*, 4> kDetailItems = {"Brief", "Normal", "Full", "Detailed"};
constexpr int kNormalItem = 1;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return std::string(s);
}

// Whether an ini file can hold the text as a key and give it back as it was:
// not empty, no "=", no line break or zero byte, no blanks around it, not
// read as a section line or a comment. A layer name that cannot be held is
// never written, so that it cannot stand for another key or add lines.
bool UsableAsIniKey(std::string_view name) {
  if (name.empty() || IsBlank(name.front()) || IsBlank(name.back())) return false;
  if (name.front() == '[' || name.front() == ';') return false;
  return name.find_first_of(std::string_view("=\r\n\0", 4)) == std::string_view::npos;
}

// The text of a host layer in the grid and in configuration files: its
// display name, "Not Imported" for layer 0.
std::string LayerText(uint8_t layer) {
  return layer == 0 ? std::string(kNotImported) : hostapi::LayerDisplayName(layer);
}

// The built-in default associations.
TLayerDefaults BuiltInDefaults() {
  TLayerDefaults table;
  auto add = [&](std::string name, int layer) {
    table.push_back({std::move(name), static_cast<uint8_t>(layer)});
  };
  add("Top", TopLayer);
  for (int i = 1; i <= 16; ++i) add("Mid " + std::to_string(i), MidLayer1 + i - 1);
  add("Bottom", BottomLayer);
  add("Board", KeepOutLayer);
  add("Top Mask", TopSolder);
  add("Bot Mask", BottomSolder);
  add("Top Silk", TopOverlay);
  add("Bot Silk", BottomOverlay);
  add("Top Paste", TopPaste);
  add("Bot Paste", BottomPaste);
  add("Top Assy", Mechanical1);
  add("Bot Assy", Mechanical2);
  add("Title", Mechanical3);
  add("MECH4", Mechanical4);
  for (int i = 1; i <= 14; ++i) add("INT" + std::to_string(i), MidLayer17 + i - 1);
  add("Ground", InternalPlane1);
  add("Power", InternalPlane2);
  for (int i = 1; i <= 4; ++i) add("Plane" + std::to_string(i), InternalPlane3 + i - 1);
  add("Label", Mechanical4);
  add("ManualDim", Mechanical5);
  add("AutoDim", Mechanical6);
  for (int i = 1; i <= 4; ++i) add("Fab" + std::to_string(i), Mechanical8);
  for (int i = 1; i <= 4; ++i) add("Drill" + std::to_string(i), Mechanical9 + i - 1);
  return table;
}

}  // namespace

// ---- The defaults file ------------------------------------------------------------------

std::string DefaultsFileName() {
  const std::string folder = platform::JoinPath(platform::AppDataFolder(), kDefaultsFolder);
  platform::MakeFolder(folder);
  return platform::JoinPath(folder, kDefaultsFile);
}

TLayerDefaults WriteDefaultLayerFile() {
  TLayerDefaults table = BuiltInDefaults();
  const std::string file = DefaultsFileName();
  for (const TLayerDefault& entry : table)
    if (!platform::IniWriteString(file, kLayerSection, entry.Name, hostapi::LayerDisplayName(entry.Layer)))
      break;  // the file cannot be written: the table is still the answer
  return table;
}

TLayerDefaults LoadLayerDefaults() {
  const std::string file = DefaultsFileName();
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return WriteDefaultLayerFile();
  TLayerDefaults defaults;
  for (const std::string& key : platform::IniReadKeys(file, kLayerSection)) {
    const std::string value = platform::IniReadString(file, kLayerSection, key, kNotImported);
    defaults.push_back({key, hostapi::LayerFromName(value)});
  }
  return defaults;
}

uint8_t DetailLevelOf(std::string_view text) {
  if (text == "None") return rlNone;
  if (text == "Brief") return rlBrief;
  if (text == "Full") return rlFull;
  if (text == "Detailed") return rlDetailed;
  return rlNormal;
}

// ---- The form ------------------------------------------------------------------------------

TTranslateDialog::TTranslateDialog(uintptr_t ownerWindow)
    : Form("TranslateDialog", ownerWindow),
      PageControl1(Add<PageControl>("PageControl1")),
      TabSheetOptions(PageControl1.AddPage("TabSheetOptions", "Options")),
      Label2(Add<Label>("Label2", &TabSheetOptions)),
      Label1FileName(Add<Label>("Label1FileName", &TabSheetOptions)),
      RichEdit1(Add<RichEdit>("RichEdit1", &TabSheetOptions)),
      Label1(Add<Label>("Label1", &TabSheetOptions)),
      StringGridAssociations(Add<StringGrid>("StringGridAssociations", &TabSheetOptions)),
      ComboBoxVortanLayers(Add<TEditLayer>("ComboBoxVortanLayers", &TabSheetOptions)),
      Label3(Add<Label>("Label3", &TabSheetOptions)),
      CheckBoxViewErrors(Add<CheckBox>("CheckBoxViewErrors", &TabSheetOptions)),
      CheckBoxViewWarnings(Add<CheckBox>("CheckBoxViewWarnings", &TabSheetOptions)),
      CheckBoxViewEvents(Add<CheckBox>("CheckBoxViewEvents", &TabSheetOptions)),
      Label5(Add<Label>("Label5", &TabSheetOptions)),
      ComboBoxDetailLevel(Add<ComboBox>("ComboBoxDetailLevel", &TabSheetOptions)),
      Panel1(Add<Panel>("Panel1", &TabSheetOptions)),
      Label4(Add<Label>("Label4", &Panel1)),
      LabelStatus(Add<Label>("LabelStatus", &Panel1)),
      ButtonResetDefaults(Add<Button>("ButtonResetDefaults", &TabSheetOptions)),
      ButtonSaveDefaults(Add<Button>("ButtonSaveDefaults", &TabSheetOptions)),
      ButtonLoadConfig(Add<Button>("ButtonLoadConfig", &TabSheetOptions)),
      ButtonSaveConfig(Add<Button>("ButtonSaveConfig", &TabSheetOptions)),
      ButtonOK(Add<Button>("ButtonOK")),
      ButtonCancel(Add<Button>("ButtonCancel")),
      ButtonHelp(Add<Button>("ButtonHelp")) {
  Caption = "Vexal Importer";
  ClientWidth = 592;
  ClientHeight = 446;
  Position = FormPosition::ScreenCenter;
  BorderIcons = biSystemMenu | biMaximize;
  FontName = "MS Sans Serif";
  FontSize = 8;
  OnActivate = "FormActivate";

  auto place = [](Control& c, int left, int top, int width, int height) {
    c.Left = left;
    c.Top = top;
    c.Width = width;
    c.Height = height;
  };

  place(PageControl1, 8, 8, 576, 394);

  place(Label2, 8, 10, 90, 13);
  Label2.Caption = "VEXAL file name :";
  place(Label1FileName, 100, 10, 441, 13);
  Label1FileName.Caption = "*.pcb";

  place(RichEdit1, 8, 30, 552, 34);
  RichEdit1.Lines = {
      "Use the Layer Mapping options to associate Vexal layers to Vortan layers.  Layers Set to "
      "Not Imported will not be ",
      "imported into Vortan . Other options are provided to control the level of reporting details."};
  RichEdit1.ReadOnly = true;
  RichEdit1.Enabled = false;
  RichEdit1.Border = false;
  RichEdit1.TabStop = false;

  place(Label1, 8, 72, 80, 13);
  Label1.Caption = "Layer &Mapping";
  Label1.FocusControl = &StringGridAssociations;
  Label1.OnClick = "Label1Click";

  place(StringGridAssociations, 8, 90, 270, 215);
  StringGridAssociations.SetColCount(3);
  StringGridAssociations.SetFixedCols(0);
  StringGridAssociations.SetFixedRows(0);
  StringGridAssociations.DefaultRowHeight = kGridRowHeight;
  StringGridAssociations.Options = goVertLine | goHorzLine | goTabs;
  StringGridAssociations.ScrollBar = ScrollBars::Vertical;
  StringGridAssociations.SetColWidth(0, kNameColWidth);
  StringGridAssociations.SetColWidth(1, kArrowColWidth);
  StringGridAssociations.SetColWidth(2, kLayerColWidth);
  StringGridAssociations.SetRowCount(1);
  StringGridAssociations.SetCurrent(0, 0);
  StringGridAssociations.OnClick = "StringGridAssociationsClick";
  StringGridAssociations.OnKeyDown = "StringGridAssociationsKeyDown";
  StringGridAssociations.OnKeyPress = "StringGridAssociationsKeyPress";
  StringGridAssociations.OnTopLeftChanged = "StringGridAssociationsTopLeftChanged";

  place(ComboBoxVortanLayers, StringGridAssociations.Left + kNameColWidth + kArrowColWidth + 2,
        StringGridAssociations.Top, kLayerColWidth, 21);
  ComboBoxVortanLayers.Visible = false;
  ComboBoxVortanLayers.SetState(eIgnoreLayer);
  ComboBoxVortanLayers.OnChange = "ComboBoxVortanLayersChange";
  ComboBoxVortanLayers.OnKeyDown = "ComboBoxVortanLayersKeyDown";
  ComboBoxVortanLayers.OnKeyPress = "ComboBoxVortanLayersKeyPress";

  place(Label3, 300, 72, 120, 13);
  Label3.Caption = "Report Settings";
  place(CheckBoxViewErrors, 308, 92, 150, 17);
  CheckBoxViewErrors.Caption = "View &Errors";
  CheckBoxViewErrors.SetChecked(true);
  place(CheckBoxViewWarnings, 308, 114, 150, 17);
  CheckBoxViewWarnings.Caption = "View &Warnings";
  CheckBoxViewWarnings.SetChecked(true);
  place(CheckBoxViewEvents, 308, 136, 150, 17);
  CheckBoxViewEvents.Caption = "View E&vents";
  CheckBoxViewEvents.SetChecked(false);
  for (CheckBox* box : {&CheckBoxViewErrors, &CheckBoxViewWarnings, &CheckBoxViewEvents}) {
    box->OnClick = "CheckBoxViewErrorsClick";
    box->OnKeyDown = "CheckBoxViewErrorsKeyDown";
  }

  place(Label5, 308, 164, 80, 13);
  Label5.Caption = "&Detail Level";
  Label5.FocusControl = &ComboBoxDetailLevel;
  place(ComboBoxDetailLevel, 308, 180, 145, 21);
  ComboBoxDetailLevel.Style = ComboStyle::DropDownList;
  for (const char* item : kDetailItems) ComboBoxDetailLevel.Items.push_back(item);

  place(Panel1, 8, 314, 270, 24);
  Panel1.BevelOuter = PanelBevel::Lowered;
  place(Label4, 6, 5, 36, 13);
  Label4.Caption = "Status: ";
  place(LabelStatus, 44, 5, 220, 13);
  LabelStatus.Caption = "Current Status of Layer Mapping";

  place(ButtonResetDefaults, 300, 220, 120, 25);
  ButtonResetDefaults.Caption = "&Reset To Defaults";
  ButtonResetDefaults.OnClick = "ButtonResetDefaultsClick";
  place(ButtonSaveDefaults, 300, 250, 120, 25);
  ButtonSaveDefaults.Caption = "Save &As Defaults";
  ButtonSaveDefaults.OnClick = "ButtonSaveDefaultsClick";
  place(ButtonLoadConfig, 430, 220, 120, 25);
  ButtonLoadConfig.Caption = "&Load Configuration";
  ButtonLoadConfig.OnClick = "ButtonLoadConfigClick";
  place(ButtonSaveConfig, 430, 250, 120, 25);
  ButtonSaveConfig.Caption = "&Save Configuration";
  ButtonSaveConfig.OnClick = "ButtonSaveConfigClick";

  // Below the page. OK is not the default button: Enter closes the dialog
  // with OK in the grid and on the check boxes (their key handlers), while
  // on the layer drop-down it takes the user back to the grid.
  place(ButtonOK, 349, 412, 75, 25);
  ButtonOK.Caption = "OK";
  ButtonOK.ModalResult = mrOk;
  ButtonOK.OnClick = "ButtonOKClick";
  place(ButtonCancel, 429, 412, 75, 25);
  ButtonCancel.Caption = "Cancel";
  ButtonCancel.Cancel = true;
  ButtonCancel.ModalResult = mrCancel;
  ButtonCancel.OnClick = "ButtonCancelClick";
  place(ButtonHelp, 509, 412, 75, 25);
  ButtonHelp.Caption = "Help";

  BindHandlers();
  CheckBoxViewErrorsClick(CheckBoxViewErrors);
}

void TTranslateDialog::BindHandlers() {
  auto notify = [this](const char* name, void (TTranslateDialog::*fn)(Control&)) {
    Bind(name, TNotifyEvent([this, fn](Control& s) { (this->*fn)(s); }));
  };
  auto keyDown = [this](const char* name, void (TTranslateDialog::*fn)(Control&, uint16_t&, TShiftState)) {
    Bind(name, TKeyEvent([this, fn](Control& s, uint16_t& k, TShiftState sh) { (this->*fn)(s, k, sh); }));
  };
  auto keyPress = [this](const char* name, void (TTranslateDialog::*fn)(Control&, char&)) {
    Bind(name, TKeyPressEvent([this, fn](Control& s, char& k) { (this->*fn)(s, k); }));
  };
  notify("FormActivate", &TTranslateDialog::FormActivate);
  notify("ButtonOKClick", &TTranslateDialog::ButtonOKClick);
  notify("ButtonCancelClick", &TTranslateDialog::ButtonCancelClick);
  notify("ButtonResetDefaultsClick", &TTranslateDialog::ButtonResetDefaultsClick);
  notify("ButtonSaveDefaultsClick", &TTranslateDialog::ButtonSaveDefaultsClick);
  notify("ButtonLoadConfigClick", &TTranslateDialog::ButtonLoadConfigClick);
  notify("ButtonSaveConfigClick", &TTranslateDialog::ButtonSaveConfigClick);
  notify("StringGridAssociationsClick", &TTranslateDialog::StringGridAssociationsClick);
  notify("StringGridAssociationsTopLeftChanged", &TTranslateDialog::StringGridAssociationsTopLeftChanged);
  keyDown("StringGridAssociationsKeyDown", &TTranslateDialog::StringGridAssociationsKeyDown);
  keyPress("StringGridAssociationsKeyPress", &TTranslateDialog::StringGridAssociationsKeyPress);
  notify("ComboBoxVortanLayersChange", &TTranslateDialog::ComboBoxVortanLayersChange);
  keyDown("ComboBoxVortanLayersKeyDown", &TTranslateDialog::ComboBoxVortanLayersKeyDown);
  keyPress("ComboBoxVortanLayersKeyPress", &TTranslateDialog::ComboBoxVortanLayersKeyPress);
  notify("CheckBoxViewErrorsClick", &TTranslateDialog::CheckBoxViewErrorsClick);
  keyDown("CheckBoxViewErrorsKeyDown", &TTranslateDialog::CheckBoxViewErrorsKeyDown);
  notify("Label1Click", &TTranslateDialog::Label1Click);
}

// ---- Operations ------------------------------------------------------------------------------

void TTranslateDialog::ShowFileName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  Label1FileName.Caption = slash == std::string::npos ? path : path.substr(slash + 1);
}

void TTranslateDialog::FillLayerGrid(const TLayerTable* table) {
  LayerDefaults = LoadLayerDefaults();
  if (table) FileLayers.assign(table->begin(), table->end());

  HideLayerDropDown();
  StringGridAssociations.ClearCells();
  StringGridAssociations.SetColWidth(0, kNameColWidth);
  StringGridAssociations.SetColWidth(1, kArrowColWidth);
  StringGridAssociations.SetColWidth(2, kLayerColWidth);

  RowLayer.clear();
  std::vector<std::string> names;
  for (size_t number = 1; number < FileLayers.size(); ++number) {
    const std::string& name = FileLayers[number].Name;
    if (name.empty()) continue;
    uint8_t layer = 0;
    for (const TLayerDefault& d : LayerDefaults)
      if (SameText(d.Name, name)) {
        layer = d.Layer;
        break;
      }
    names.push_back(name);
    RowLayer.push_back(layer);
  }
  StringGridAssociations.SetRowCount(std::max<int>(static_cast<int>(names.size()), 1));
  StringGridAssociations.SetTopRow(0);
  for (size_t row = 0; row < names.size(); ++row) {
    StringGridAssociations.SetCell(0, static_cast<int>(row), names[row]);
    StringGridAssociations.SetCell(1, static_cast<int>(row), "=>");
    StringGridAssociations.SetCell(2, static_cast<int>(row), LayerText(RowLayer[row]));
  }

  TLayerSet offered;
  for (int id = 0; id <= kLastOfferedLayer; ++id) offered.set(static_cast<size_t>(id));
  ComboBoxVortanLayers.SetLayerSet(offered);
  ComboBoxVortanLayers.Items[0] = kNotImported;

  RefreshStatus();
}

void TTranslateDialog::ApplyLayerMapping(TLayerTable& table) const {
  for (int row = 0; row < MappingRowCount(); ++row) {
    const std::string& name = StringGridAssociations.Cells(0, row);
    // Entry 0 is never shown; a row stands for an entry from number 1 on.
    for (size_t number = 1; number < table.size(); ++number)
      if (SameText(table[number].Name, name)) {
        table[number].HostLayer = RowLayer[static_cast<size_t>(row)];
        break;
      }
  }
}

void TTranslateDialog::ApplyReportSettings(TReportManager* report) const {
  if (!report) return;
  const uint8_t level = DetailLevelOf(ComboBoxDetailLevel.Text());
  if (CheckBoxViewErrors.Checked()) {
    report->SetLoadErrorLevel(level);
    report->SetImportErrorLevel(level);
  }
  if (CheckBoxViewWarnings.Checked()) {
    report->SetLoadWarningLevel(level);
    report->SetImportWarningLevel(level);
  }
  if (CheckBoxViewEvents.Checked()) {
    report->SetLoadEventLevel(level);
    report->SetImportEventLevel(level);
  }
}

std::string TTranslateDialog::MappingStatus() const {
  int unmapped = 0;
  for (int row = 0; row < StringGridAssociations.RowCount(); ++row)
    if (StringGridAssociations.Cells(2, row) == kNotImported) ++unmapped;
  return unmapped == 0 ? std::string(kAllLayersMapped) : std::to_string(unmapped) + kLayersNotMapped;
}

void TTranslateDialog::RefreshStatus() { LabelStatus.Caption = MappingStatus(); }

void TTranslateDialog::SetRowLayer(int row, uint8_t layer) {
  if (row < 0 || row >= MappingRowCount()) return;
  RowLayer[static_cast<size_t>(row)] = layer;
  StringGridAssociations.SetCell(2, row, LayerText(layer));
}

// ---- The layer drop-down -------------------------------------------------------------------

void TTranslateDialog::ShowLayerDropDown(int row) {
  const StringGrid& grid = StringGridAssociations;
  // The one empty row of a file without named layers maps nothing.
  if (row < 0 || row >= MappingRowCount()) {
    HideLayerDropDown();
    return;
  }
  ComboBoxVortanLayers.Left = grid.Left + grid.ColWidth(0) + grid.ColWidth(1) + 2;
  ComboBoxVortanLayers.Top = grid.Top + (row - grid.TopRow()) * (grid.DefaultRowHeight + 1);
  const uint8_t layer = RowLayer[static_cast<size_t>(row)];
  // Item n stands for layer n; a layer the list does not offer (read from a
  // file) selects nothing.
  ComboBoxVortanLayers.SetItemIndex(layer < ComboBoxVortanLayers.Items.size() ? layer : -1);
  ComboBoxVortanLayers.DroppedDown = false;
  ComboBoxVortanLayers.Visible = true;
  EditRow_ = row;
}

void TTranslateDialog::HideLayerDropDown() {
  const bool hadFocus = ComboBoxVortanLayers.Focused();
  ComboBoxVortanLayers.Visible = false;
  ComboBoxVortanLayers.DroppedDown = false;
  EditRow_ = -1;
  if (hadFocus) StringGridAssociations.SetFocus();
}

// ---- Handlers --------------------------------------------------------------------------------

void TTranslateDialog::FormActivate(Control& /*sender*/) {
  ComboBoxDetailLevel.SetItemIndex(kNormalItem);
  ButtonOK.SetFocus();
}

void TTranslateDialog::ButtonOKClick(Control& /*sender*/) { ModalResult = mrOk; }

void TTranslateDialog::ButtonCancelClick(Control& /*sender*/) {
  if (ComboBoxVortanLayers.Visible) {
    HideLayerDropDown();
    StringGridAssociations.SetFocus();
  }
  ModalResult = mrCancel;
}

void TTranslateDialog::ButtonResetDefaultsClick(Control& /*sender*/) { FillLayerGrid(nullptr); }

void TTranslateDialog::ButtonSaveDefaultsClick(Control& /*sender*/) {
  std::string file;
  for (int row = 0; row < MappingRowCount(); ++row) {
    const uint8_t layer = RowLayer[static_cast<size_t>(row)];
    const std::string& name = StringGridAssociations.Cells(0, row);
    if (layer == 0 || !UsableAsIniKey(name)) continue;
    if (file.empty()) file = DefaultsFileName();
    if (!platform::IniWriteString(file, kLayerSection, name, hostapi::LayerDisplayName(layer))) return;
  }
}

std::string TTranslateDialog::AskConfigurationFile(bool save) const {
  const std::string proposed = hostclient::ClientAPI_ForceFileNameExtension(Label1FileName.Caption, "cfg");
  const std::string request = std::string(save ? kConfigDialogSave : kConfigDialogLoad) + proposed;
  std::array<char, kCommonDialogBufferSize> buffer{};
  std::copy_n(request.begin(), std::min(request.size(), buffer.size() - 1), buffer.begin());
  hostapi::PcbApi_SendCommand("Client:RunCommonDialog", buffer.data(), static_cast<uint16_t>(buffer.size()), 0);
  buffer.back() = '\0';
  const std::string_view answer = hostclient::ZeroTerminated(std::string_view(buffer.data(), buffer.size()));

  std::string result;
  if (!hostclient::GetParameter(answer, "Result", result) || result != "True") return {};
  // The whole path: a path cut to a parameter's 255 characters would name
  // another file.
  hostclient::TParameterList parameters;
  parameters.Parse(answer);
  const hostclient::TParameter* path = parameters.Find("Path");
  return path ? Trimmed(path->Value) : std::string();
}

void TTranslateDialog::SaveConfiguration(const std::string& path) const {
  auto write = [&](const char* section, const std::string& key, const std::string& value) {
    return platform::IniWriteString(path, section, key, value);
  };
  for (int row = 0; row < MappingRowCount(); ++row) {
    const std::string& name = StringGridAssociations.Cells(0, row);
    if (!UsableAsIniKey(name)) continue;
    if (!write(kLayerSection, name, LayerText(RowLayer[static_cast<size_t>(row)]))) return;
  }
  auto flag = [](const CheckBox& box) { return std::string(box.Checked() ? "True" : "False"); };
  if (!write(kReportSection, kViewErrorsKey, flag(CheckBoxViewErrors))) return;
  if (!write(kReportSection, kViewWarningsKey, flag(CheckBoxViewWarnings))) return;
  if (!write(kReportSection, kViewEventsKey, flag(CheckBoxViewEvents))) return;
  write(kReportSection, kDetailLevelKey, ComboBoxDetailLevel.Text());
}

void TTranslateDialog::LoadConfiguration(const std::string& path) {
  for (const std::string& key : platform::IniReadKeys(path, kLayerSection)) {
    const uint8_t layer = hostapi::LayerFromName(platform::IniReadString(path, kLayerSection, key, kNotImported));
    // Every row of that name: two rows of one name map one table entry, so
    // both must carry the loaded layer.
    for (int row = 0; row < MappingRowCount(); ++row)
      if (SameText(StringGridAssociations.Cells(0, row), key)) SetRowLayer(row, layer);
  }
  for (const std::string& key : platform::IniReadKeys(path, kReportSection)) {
    CheckBox* box = key == kViewErrorsKey     ? &CheckBoxViewErrors
                    : key == kViewWarningsKey ? &CheckBoxViewWarnings
                    : key == kViewEventsKey   ? &CheckBoxViewEvents
                                              : nullptr;
    if (box) {
      box->SetChecked(platform::IniReadString(path, kReportSection, key, "False") == "True");
    } else if (key == kDetailLevelKey) {
      std::string value = platform::IniReadString(path, kReportSection, key, "Normal");
      if (value == "None") value = "Brief";
      if (const int item = ComboBoxDetailLevel.IndexOf(value); item >= 0) ComboBoxDetailLevel.SetItemIndex(item);
    }
  }
  // The rows may have changed: the status follows them.
  RefreshStatus();
  if (EditRow_ >= 0) ShowLayerDropDown(EditRow_);
}

void TTranslateDialog::ButtonSaveConfigClick(Control& /*sender*/) {
  const std::string path = AskConfigurationFile(true);
  if (!path.empty()) SaveConfiguration(path);
}

void TTranslateDialog::ButtonLoadConfigClick(Control& /*sender*/) {
  const std::string path = AskConfigurationFile(false);
  if (!path.empty()) LoadConfiguration(path);
}

void TTranslateDialog::StringGridAssociationsClick(Control& /*sender*/) {
  if (StringGridAssociations.Col() == 2) ShowLayerDropDown(StringGridAssociations.Row());
  else HideLayerDropDown();
}

void TTranslateDialog::StringGridAssociationsTopLeftChanged(Control& /*sender*/) { HideLayerDropDown(); }

void TTranslateDialog::StringGridAssociationsKeyDown(Control& /*sender*/, uint16_t& key, TShiftState shift) {
  const bool plain = (shift & (ssAlt | ssCtrl | ssShift)) == 0;
  if (key == vkF4 || (key == vkDown && shift == ssAlt)) {
    if (ComboBoxVortanLayers.Visible) {
      ComboBoxVortanLayers.SetFocus();
      ComboBoxVortanLayers.DroppedDown = true;
      key = 0;
    }
  } else if (key == vkReturn && plain) {
    ModalResult = mrOk;
    key = 0;
  } else if (key == vkEscape && plain) {
    ModalResult = mrCancel;
    key = 0;
  }
}

void TTranslateDialog::StringGridAssociationsKeyPress(Control& /*sender*/, char& key) {
  if (key == ' ' && ComboBoxVortanLayers.Visible) {
    ComboBoxVortanLayers.SetFocus();
    key = 0;
  }
}

void TTranslateDialog::ComboBoxVortanLayersChange(Control& /*sender*/) {
  if (EditRow_ < 0) return;
  SetRowLayer(EditRow_, ComboBoxVortanLayers.State());
  RefreshStatus();
}

void TTranslateDialog::ComboBoxVortanLayersKeyDown(Control& /*sender*/, uint16_t& key, TShiftState shift) {
  if ((key == vkReturn || key == vkEscape) && (shift & (ssAlt | ssCtrl)) == 0) {
    ComboBoxVortanLayers.DroppedDown = false;
    StringGridAssociations.SetFocus();
    key = 0;
  }
}

void TTranslateDialog::ComboBoxVortanLayersKeyPress(Control& /*sender*/, char& key) {
  if (key == '\r' || key == '\x1b' || key == '\t') {
    ComboBoxVortanLayers.DroppedDown = false;
    StringGridAssociations.SetFocus();
    key = 0;
  }
}

void TTranslateDialog::CheckBoxViewErrorsClick(Control& /*sender*/) {
  ComboBoxDetailLevel.Enabled =
      CheckBoxViewErrors.Checked() || CheckBoxViewWarnings.Checked() || CheckBoxViewEvents.Checked();
}

void TTranslateDialog::CheckBoxViewErrorsKeyDown(Control& /*sender*/, uint16_t& key, TShiftState shift) {
  if ((shift & (ssAlt | ssCtrl | ssShift)) != 0) return;
  if (key == vkReturn) {
    ModalResult = mrOk;
    key = 0;
  } else if (key == vkEscape) {
    ModalResult = mrCancel;
    key = 0;
  }
}

void TTranslateDialog::Label1Click(Control& /*sender*/) { StringGridAssociations.SetFocus(); }

// ---- The root's use ---------------------------------------------------------------------------

bool ShowOptionsDialog(const std::string& fileName, TLayerTable& layerTable, TReportManager* report) {
  TTranslateDialog dialog(hostclient::HostMainWindow());
  dialog.ShowFileName(fileName);
  dialog.FillLayerGrid(&layerTable);
  if (dialog.ShowModal() != mrOk) return false;
  dialog.ApplyLayerMapping(layerTable);
  dialog.ApplyReportSettings(report);
  return true;
}

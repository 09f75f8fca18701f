// The options dialog of a Vexal import (TTranslateDialog) and its defaults
// file.
//
// Before anything of a file reaches the board, the user confirms the import
// here. The grid shows every named layer of the file and the host layer it
// goes to; a row is changed through the layer drop-down over its third
// column. The rows can be reset to the defaults, kept as the defaults for
// later imports ("LoadVexal.ini" in the folder "Keldor" of the user's
// application-data folder), and saved to or loaded from a configuration file
// ("*.cfg", chosen in the host's common file dialog). The report settings
// choose which sections of the translation report show their entries, and
// how much of them.
//
// The root of the object tree uses the dialog through ShowOptionsDialog: OK
// writes the rows into the file's layer table and the report settings into
// the import's report; Cancel changes nothing and the import translates
// nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialogs/Dialogs.h"
#include "vexal/options/PcbComp.h"
#include "vexal/reader/VexalObject.h"  // TLayerTable

class TReportManager;

// ---- The defaults file -------------------------------------------------------------

// One default association: a Vexal layer name and the host layer it goes to
// (0: not imported).
struct TLayerDefault {
  std::string Name;
  uint8_t Layer = 0;
};
using TLayerDefaults = std::vector<TLayerDefault>;

// The path of the defaults file: "LoadVexal.ini" in the folder "Keldor" of
// the application-data folder, which is created when it does not exist.
std::string DefaultsFileName();

// The defaults. Without a defaults file, the built-in table, which is also
// written to a new defaults file; otherwise every key of its section "Layer"
// in file order, with the layer of its value (LayerFromName; 0 for a value
// that is no layer name and for a key without a value).
TLayerDefaults LoadLayerDefaults();

// The built-in table of 60 default associations; each is also written to the
// defaults file (key = layer name, value = the host layer's display name, in
// section "Layer"). A file that cannot be written changes nothing of the
// answer.
TLayerDefaults WriteDefaultLayerFile();

// The detail level of a detail-level text, compared exactly: "None" 0,
// "Brief" 1, "Full" 3, "Detailed" 4, any other text ("Normal") 2.
uint8_t DetailLevelOf(std::string_view text);

// The texts of the dialog that other code and the tests compare with.
inline constexpr char kNotImported[] = "Not Imported";
inline constexpr char kAllLayersMapped[] = "All layers mapped.";
inline constexpr char kLayersNotMapped[] = " layers not mapped.";
// The request of the host's common file dialog for a configuration file,
// followed by the proposed name; "Mode=1" saves, "Mode=0" loads.
inline constexpr char kConfigDialogSave[] =
    "Dialog=FileOpenSave|Mode=1|Prompt=Wenz Configuaration File|DocumentType=All|"
    "FileType1=Wenz CFG File (*.cfg)|FileType2=All Files (*.*)|Path=";
inline constexpr char kConfigDialogLoad[] =
    "Dialog=FileOpenSave|Mode=0|Prompt=Wenz Configuaration File|DocumentType=All|"
    "FileType1=Wenz CFG File (*.cfg)|FileType2=All Files (*.*)|Path=";
// Size of the parameter buffer handed to the host's common file dialog.
inline constexpr size_t kCommonDialogBufferSize = 4096;

// ---- The dialog ----------------------------------------------------------------------

class TTranslateDialog : public dialogs::Form {
 public:
  // The form "TranslateDialog", owned by a host window (0: none), with all
  // its controls and an empty FileLayers.
  explicit TTranslateDialog(uintptr_t ownerWindow);

  // Label1FileName shows the file's name without its folder.
  void ShowFileName(const std::string& path);

  // Loads the defaults afresh; with a table, FileLayers becomes a copy of
  // it (with none, FileLayers stays); then one grid row for every named
  // entry of FileLayers from number 1 on, in number order, each mapped by the
  // first default of its name (letters in any case) or not imported; the
  // drop-down's items (ids 0 to 74); the mapping status. A table without
  // named layers leaves one empty row, which maps nothing.
  void FillLayerGrid(const TLayerTable* table);

  // Writes each row's layer into the first entry of the table whose name is
  // the row's (letters in any case). Entries without a row keep their layer.
  void ApplyLayerMapping(TLayerTable& table) const;

  // Sets the levels of the report's sections whose box is ticked to the
  // chosen detail level; the others keep theirs. Nothing without a report.
  void ApplyReportSettings(TReportManager* report) const;

  // "All layers mapped." or the number of rows showing "Not Imported"
  // followed by " layers not mapped.".
  std::string MappingStatus() const;

  // Number of mapping rows (0 for the one empty row of a file without named
  // layers).
  int MappingRowCount() const { return static_cast<int>(RowLayer.size()); }

  // ---- State ----

  TLayerDefaults LayerDefaults;
  std::vector<TLayerTableEntry> FileLayers;
  // The host layer of every mapping row, in grid order.
  std::vector<uint8_t> RowLayer;

  // ---- Controls ----

  dialogs::PageControl& PageControl1;
  dialogs::TabSheet& TabSheetOptions;
  dialogs::Label& Label2;  // "VEXAL file name :"
  dialogs::Label& Label1FileName;
  dialogs::RichEdit& RichEdit1;
  dialogs::Label& Label1;
  dialogs::StringGrid& StringGridAssociations;
  TEditLayer& ComboBoxVortanLayers;
  dialogs::Label& Label3;
  dialogs::CheckBox& CheckBoxViewErrors;
  dialogs::CheckBox& CheckBoxViewWarnings;
  dialogs::CheckBox& CheckBoxViewEvents;
  dialogs::Label& Label5;
  dialogs::ComboBox& ComboBoxDetailLevel;
  dialogs::Panel& Panel1;
  dialogs::Label& Label4;
  dialogs::Label& LabelStatus;
  dialogs::Button& ButtonResetDefaults;
  dialogs::Button& ButtonSaveDefaults;
  dialogs::Button& ButtonLoadConfig;
  dialogs::Button& ButtonSaveConfig;
  dialogs::Button& ButtonOK;
  dialogs::Button& ButtonCancel;
  dialogs::Button& ButtonHelp;

  // The grid row the drop-down was opened for, -1 while it is hidden.
  int EditRow() const { return EditRow_; }

  // ---- Handlers ----

  void FormActivate(dialogs::Control& sender);
  void ButtonOKClick(dialogs::Control& sender);
  void ButtonCancelClick(dialogs::Control& sender);
  void ButtonResetDefaultsClick(dialogs::Control& sender);
  void ButtonSaveDefaultsClick(dialogs::Control& sender);
  void ButtonLoadConfigClick(dialogs::Control& sender);
  void ButtonSaveConfigClick(dialogs::Control& sender);
  void StringGridAssociationsClick(dialogs::Control& sender);
  void StringGridAssociationsTopLeftChanged(dialogs::Control& sender);
  void StringGridAssociationsKeyDown(dialogs::Control& sender, uint16_t& key,
                                     dialogs::TShiftState shift);
  void StringGridAssociationsKeyPress(dialogs::Control& sender, char& key);
  void ComboBoxVortanLayersChange(dialogs::Control& sender);
  void ComboBoxVortanLayersKeyDown(dialogs::Control& sender, uint16_t& key,
                                   dialogs::TShiftState shift);
  void ComboBoxVortanLayersKeyPress(dialogs::Control& sender, char& key);
  void CheckBoxViewErrorsClick(dialogs::Control& sender);
  void CheckBoxViewErrorsKeyDown(dialogs::Control& sender, uint16_t& key,
                                 dialogs::TShiftState shift);
  void Label1Click(dialogs::Control& sender);

 private:
  void BindHandlers();
  // Shows the drop-down over the third column of a mapping row, with the
  // row's layer selected; hides it for a row that maps nothing.
  void ShowLayerDropDown(int row);
  void HideLayerDropDown();
  void RefreshStatus();
  // Sets a row's layer and its third column.
  void SetRowLayer(int row, uint8_t layer);
  // Asks the host's common file dialog for a configuration file; the chosen
  // path, or "" when the user dismissed it.
  std::string AskConfigurationFile(bool save) const;
  void SaveConfiguration(const std::string& path) const;
  void LoadConfiguration(const std::string& path);

  int EditRow_ = -1;
};

// The options dialog of one board import: shows the file's name and layers,
// and on OK writes the chosen host layers into `layerTable` and the report
// settings into `report` (when there is one). Answers true for OK. The form
// is owned by the host's main window (none without a client interface).
bool ShowOptionsDialog(const std::string& fileName, TLayerTable& layerTable, TReportManager* report);

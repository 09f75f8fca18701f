// How a person takes part in an import run by pcbhost: the progress bar,
// the Escape key, the answers to message boxes and the common file dialog,
// and the plug-in's dialogs worked by hand or mapped from the command line.
//
// On a terminal (standard input and standard error both terminals) the
// Escape key reaches the plug-in and message boxes are asked; without one,
// message boxes answer from --answer (or their safe answer) and are printed.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/pcbhost/CodePage.h"
#include "host/pcbhost/ProgressBar.h"
#include "host/pcbhost/SvgExport.h"
#include "host/tarvex/TarvexHost.h"

namespace pcbhost {

// One --map: the options dialog's layer row NAME goes to the host layer.
struct LayerMap {
  std::string Row;
  std::string Layer;
};
// "NAME=Host Layer"; false when there is no "=" or a side is empty.
bool ParseLayerMap(const std::string& text, LayerMap& map);

struct PersonOptions {
  bool Quiet = false;                // no progress bar
  std::optional<bool> AnswerYes;     // --answer yes|no
  bool Interactive = false;          // dialogs worked on the terminal
  std::vector<LayerMap> Maps;        // --map, in order
  CodePage Page = CodePage::Cp1252;  // of the plug-in's texts
  std::optional<LayerSet> Layers;    // --layers: drawn in the picture
};

// Takes args[i] when it is one of the options above (--quiet, --answer
// yes|no, --interactive, --map "NAME=Host Layer", --codepage N, --layers
// "NAME,NAME"), with its value (i then stands on the value): 1 when taken,
// 0 when not one of them, -1 with the reason for a bad value.
int TakePersonOption(const std::vector<std::string>& args, size_t& i, PersonOptions& o,
                     std::string& error);

// The form of the options dialog and its layer grid and layer drop-down.
inline constexpr char kOptionsForm[] = "TranslateDialog";
inline constexpr char kLayerGrid[] = "StringGridAssociations";
inline constexpr char kLayerList[] = "ComboBoxVortanLayers";

class Console {
 public:
  Console();
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Installs what the options ask for in the host module and the hooks.
  // False, with the reason, when they cannot be had (--interactive without
  // a terminal).
  bool Start(const PersonOptions& options, tarvex::ITarvexHost& host, std::string& error);
  // Takes it all down again and gives the terminal back as it was.
  void Stop();

  // What went wrong with --map (a row or layer that is not there); the
  // options dialog was then cancelled.
  const std::vector<std::string>& MapProblems() const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// The answer of a message box with these buttons to "yes" or "no" given on
// the command line: Yes or OK for yes; No, else Cancel, else OK for no.
int32_t AnswerFor(uint32_t kind, bool yes);

}  // namespace pcbhost

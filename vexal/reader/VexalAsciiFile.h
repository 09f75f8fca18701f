// The root of the Vexal object tree (TVexalAsciiFile), the file's header
// section (TVexalAsciiHeader), and the classes the root makes its sections
// with.
//
// A Vexal ASCII file starts with the header word ("VEXAL_ASCII" or
// "JorvoPRO_ASCII") and a source name, followed by its sections: the ASCII
// header (units, version, author), the library, the netlist and the PCB
// design. The root reads the sections, owns them, and runs the translation:
// the options dialog first, then the netlist, then the design, then the
// host's closing event messages.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vexal/reader/VexalObject.h"
#include "vexal/reader/VexalSections.h"

// ---- The options dialog ------------------------------------------------------------

// The options dialog as the root uses it at the start of a translation: it
// shows the file's name (without its folder) and the layers of `layerTable`,
// lets the user confirm or decline, and on OK writes the chosen host layers
// into `layerTable` and, when there is a report, the chosen report levels
// into it. Answers true for OK.
using TOptionsDialog = bool (*)(const std::string& fileName, TLayerTable& layerTable,
                                TReportManager* report);

// The dialog of a root made without the import driver (which passes the
// module's options dialog): the user "presses OK without changing anything".
// The layer table stays as it is and the report keeps its levels (which are
// the dialog's initial report settings: errors and warnings at "Normal", no
// events).
bool OptionsDialogStandIn_AcceptDefaults(const std::string& fileName, TLayerTable& layerTable,
                                         TReportManager* report);

// ---- Polygons collected during a translation ----------------------------------------

// The polygon and copper-pour classes add each host polygon they make while
// the root translates; after the design the root tells the host about each,
// in this order. Outside a translation nothing is collected.
void CollectPolygon(THandle polygon);
// The polygons collected so far by the running translation (empty outside one).
const std::vector<THandle>& CollectedPolygons();

// ---- The header section ----------------------------------------------------------------

class TVexalAsciiHeader : public TVexalObject {
 public:
  explicit TVexalAsciiHeader(const TVexalObject* file) : TVexalObject(file) {}
  // "asciiVersion" (two integers), "timeStamp" (six integers), "fileAuthor",
  // "copyright", "program" (name and version), "headerString", "guidString",
  // "fileUnits" ("mm" 1, "in" 2, any other word 0, letters in any case).
  void Parse() override;

  int32_t MajorVersion = 0;
  int32_t MinorVersion = 0;
  std::array<int32_t, 6> TimeStamp{};
  std::string FileAuthor;
  std::string Copyright;
  std::string ProgramName;
  std::string ProgramVersion;
  std::string HeaderString;
  uint8_t Units = kUnitsMils;
  std::string GuidString;
};

// ---- The root ----------------------------------------------------------------------------

class TVexalAsciiFile : public TVexalObject {
 public:
  // No creator: Parser set, FileName stored, no sections, Board 0. The driver
  // then sets Report and Board.
  TVexalAsciiFile(TVexalParser* parser, std::string fileName);
  ~TVexalAsciiFile() override;

  // The whole file. The first token must be the header word; otherwise one
  // load error without text is recorded and nothing is read. Then the source
  // name, then until the end of the file (or an abort) the sections:
  // "asciiHeader" (its units hold for every later section), "library",
  // "netlist", "pcbDesign" (clears InSchematic; "Unexpected End Of File" when
  // the file ends inside it), "schematicDesign" (sets InSchematic; its
  // contents are passed over). Every other token is passed over. A section
  // met again replaces the earlier one. A section whose class the module does
  // not have is skipped whole with the unhandled-group warning.
  void Parse() override;
  // Sends the host event 13; with a board: the options dialog, and on OK the
  // netlist and the design into the board, then the closing events (14, 12,
  // 7, the collected polygons with 2 and 3, then 8, 10, 11). On Cancel
  // nothing more reaches the host.
  void Translate() override;
  // The header word and source name, then only "asciiHeader" and "library";
  // the first "netlist", "pcbDesign" or "schematicDesign" ends the parse.
  void ParseLibraryFile();
  // Sends the host event 13; with a board, translates the library into it as
  // a library document. No dialog.
  void TranslateLibraryFile();

  // The library's layer table; an empty one when the file has no library.
  TLayerTable& LayerTable();

  std::string FileName;
  std::string SourceName;
  std::unique_ptr<TVexalAsciiHeader> Header;
  std::unique_ptr<TVexalObject> Design;
  // The library and netlist sections (Library and Netlist point into them).
  std::unique_ptr<TVexalObject> LibrarySection;
  std::unique_ptr<TVexalObject> NetlistSection;

  // The classes of the sections (VexalSections.cpp); tests give their own.
  const TVexalSectionClasses* Sections;
  // The options dialog of Translate.
  TOptionsDialog OptionsDialog = OptionsDialogStandIn_AcceptDefaults;

 private:
  void ParseSections(bool libraryOnly);
  void ParseHeader();
  void ParseLibrary();
  void ParseNetlist();
  void ParseDesign();
  // Makes a section through its maker and lets it parse; without a maker the
  // section's group is skipped. Answers the section, or nullptr.
  std::unique_ptr<TVexalObject> ParseSection(TVexalSectionClasses::TMake make);
  // Makes a library that read nothing, for a design that comes without one.
  void SupplyEmptyLibrary();
  void AdoptLibrary(std::unique_ptr<TVexalObject> library);
  void AdoptNetlist(std::unique_ptr<TVexalObject> netlist);

  // Library and netlist sections that a later one replaced. Objects made
  // while they were current still refer to them, so they live as long as
  // the root.
  std::vector<std::unique_ptr<TVexalObject>> ReplacedSections;
  TLayerTable EmptyLayerTable;
};

// The base of every object of the Vexal object tree.
//
// A Vexal ASCII file is read into a tree of objects, one class per kind of
// group in the format. Each class parses its own group from the token stream
// (Parse) and later builds host objects from what it read (Translate).
// TVexalObject carries the state that every object of one import shares
// (tokenizer, report, file units, library, netlist, target board), the value
// readers that turn tokens into numbers, coordinates, booleans and strings,
// the generic parse loop, and the rule for groups a class does not handle:
// they are skipped whole with a warning in the report.
//
// Writing a class of the tree:
//   - derive from TVexalObject and construct with the creating object
//     (TVexalObject(creator)): the shared state is copied from it;
//   - in Parse, after any value that follows the group's keyword directly,
//     run ParseLoop with a handler that answers true for the keywords the
//     class reads (reading their values with the value readers, or making a
//     child object and letting it parse with ParseChild) and false for every
//     other token, which the loop then skips as unhandled;
//   - in Translate, make the host object, set HostObject and end with
//     TVexalObject::Translate, which adds it to Container and Net.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "hostapi/PcbTypes.h"
#include "vexal/reader/VexalParser.h"

class TReportManager;  // vexal/report/ReportManager.h
class TVexalLibrary;   // the "library" section: carries the LayerTable
class TVexalNetlist;   // the "netlist" section

// Codes of the file's units (FileUnits, TVexalAsciiHeader::Units).
inline constexpr uint8_t kUnitsMils = 0;
inline constexpr uint8_t kUnitsMillimetres = 1;
inline constexpr uint8_t kUnitsInches = 2;

// One entry of the file's layer table: the file layer's name and the host
// layer it goes to (0: not imported).
struct TLayerTableEntry {
  std::string Name;
  uint8_t HostLayer = 0;
};
// The layer table, indexed by the file's layer number 0 to 100.
inline constexpr int kLayerTableEntries = 101;
using TLayerTable = std::array<TLayerTableEntry, kLayerTableEntries>;

// How many objects may stand above one another while a file is parsed. The
// format nests a few levels; a group deeper than this is skipped whole (with
// the unhandled-group warning) instead of being parsed by yet another object,
// so that no input can exhaust the stack.
inline constexpr int32_t kMaxObjectNesting = 100;

struct TVexalPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

class TVexalObject {
 public:
  // Without a creator: every field 0 or none.
  TVexalObject() = default;
  // From a creating object (or none): copies Parser, Report, FileUnits,
  // Container, Net, InSchematic, Library, Netlist and Board; Layer, Depth and
  // HostObject start at 0.
  explicit TVexalObject(const TVexalObject* creator);
  virtual ~TVexalObject();
  TVexalObject(const TVexalObject&) = delete;
  TVexalObject& operator=(const TVexalObject&) = delete;

  // Reads this object's group from the token stream. The base version only
  // applies SkipUnhandled, which does nothing at depth 0: it reads nothing.
  virtual void Parse();
  // Adds HostObject to Container and, when Net is set, to Net (each only
  // when it is set, and only when there is a host object).
  virtual void Translate();
  // Empty.
  virtual void TranslateSchematic();
  // TranslateSchematic while InSchematic is set, else Translate.
  virtual void TranslateByKind();
  virtual void SetLibrary(TVexalLibrary* library);
  virtual void SetNetlist(TVexalNetlist* netlist);

  // ---- Value readers -----------------------------------------------------------
  // Each reads from Parser; without a parser each answers 0, false or the
  // empty text and reads nothing.

  // The next token as a length in host units, with a unit word after it if
  // one follows ("mm", "in", "mil"; any other word starting with I or M is
  // read and ignored). A unit written in the number text itself ("10mm",
  // "5mil") decides over both the word and the file's units; otherwise the
  // word, otherwise FileUnits. Inches are read as mils and multiplied by
  // 1000. A text that is not a number (or starts with a letter) gives 0;
  // values beyond the 32-bit range give its nearest end.
  int32_t ReadCoord();
  // Two coordinates.
  TVexalPoint ReadPoint();
  // The tokenizer's ReadInteger: -32000 for a text that is not an integer.
  int32_t ReadInteger();
  // The tokenizer's ReadReal: -32000.0 for a text that is not a number.
  double ReadReal();
  // True only if the next token's text is "True", in any case of its letters.
  bool ReadBoolean();
  // The next token's text: a quoted string without its quotes, a word as
  // written; after a bracket, the text of the last word or string before it.
  std::string ReadString();

  // ---- Parsing -----------------------------------------------------------------

  // Called by the parse loop for a token the class does not handle. At depth
  // 0 or 1 (a stray value at the object's own level) it does nothing. Deeper,
  // the token is the keyword of a group the class does not read: the report
  // gets the warning "Skipping Token <text> On Line <n>", the group is read up
  // to and including its close bracket (or the end of the file, or an abort),
  // and Depth goes down by one for that bracket.
  void SkipUnhandled();

  // ---- Board lookups -----------------------------------------------------------

  // The first net of Board, in the host's order, whose name equals `name`
  // exactly; 0 when none (or without a board). Answered from the board's
  // net index (hostapi/BoardLookup.h), as a walk of the board would answer.
  THandle FindNetHandle(std::string_view name) const;
  // The first pad named exactly `pinName` of the first component of Board
  // whose designator text is exactly `designator` and that has such a pad;
  // 0 when none. Answered from the board's pad index, likewise.
  THandle FindPadHandle(std::string_view designator, std::string_view pinName) const;

  uint8_t LayerOf() const { return Layer; }

  // ---- Shared state of the import ---------------------------------------------

  TVexalParser* Parser = nullptr;    // not owned
  TReportManager* Report = nullptr;  // not owned; none: nothing is recorded
  uint8_t FileUnits = kUnitsMils;
  uint8_t Layer = 0;                 // host layer id of the made object
  THandle Container = 0;             // where Translate adds the made object
  THandle Net = 0;                   // net the made object joins, or 0
  THandle HostObject = 0;            // the host object Translate made, or 0
  bool InSchematic = false;
  int32_t Depth = 0;                 // bracket depth of the running parse loop
  TVexalLibrary* Library = nullptr;  // not owned (the root owns the sections)
  TVexalNetlist* Netlist = nullptr;  // not owned
  THandle Board = 0;                 // the target board, or 0
  // How many objects stand above this one: 0 without a creator, the
  // creator's plus 1 otherwise (see kMaxObjectNesting).
  int32_t Nesting = 0;

 protected:
  // The generic parse loop. The creator has consumed the group's open bracket
  // and keyword (and the class may have read a value that follows the keyword
  // directly). Depth starts at 1; until it falls to 0 (the group's close
  // bracket) or the file ends or the user aborts, the next token is taken: an
  // open bracket adds 1 to Depth, a close bracket subtracts 1, any other token
  // goes to `onToken`, which answers whether it handled it; what it did not
  // handle goes to SkipUnhandled.
  //
  // A handler reads the values of a value keyword with the value readers and
  // leaves the group's close bracket for the loop to count; for a group of its
  // own it makes a child object from this one and calls ParseChild.
  //
  // An object nested deeper than kMaxObjectNesting does not run the loop: its
  // group is skipped whole with the unhandled-group warning.
  template <class OnToken>
  void ParseLoop(OnToken&& onToken) {
    Depth = 1;
    if (!Parser) return;
    if (Nesting > kMaxObjectNesting) {
      SkipGroup();
      return;
    }
    while (Depth > 0 && !Parser->EndOfFile() && !Parser->Aborted()) {
      const int32_t token = Parser->NextToken();
      if (token == tkOpenBracket)
        ++Depth;
      else if (token == tkCloseBracket)
        --Depth;
      else if (!onToken(token))
        SkipUnhandled();
    }
  }

  // Lets a child (made from this object right after its keyword) parse its
  // group, then counts the close bracket that the child consumed.
  void ParseChild(TVexalObject& child);

  // The group whose keyword was just read is not read: records the
  // unhandled-group warning with the current token text and reads up to and
  // including the group's close bracket. Depth becomes 0 when the bracket was
  // found, else 1 (the file ended or the user aborted inside the group).
  void SkipGroup();

  // Records "Skipping Token <text> On Line <n>" for the current token.
  void WarnSkipping();
  // Reads tokens until the bracket count that starts at 1 reaches 0, or the
  // end of the file, or an abort; answers whether it reached 0.
  bool SkipToCloseBracket();
  // The file ended or the user aborted (or there is no parser).
  bool ReadingStopped() const;
};

// The text of a coordinate in host units (ReadCoord's conversion): `units` is
// the unit in force for the value (file units or the unit word) as a units
// code. A unit inside the text ("MM", "MIL", any case) decides instead.
int32_t CoordTextToUnits(std::string_view text, uint8_t units);

// Whether two texts are equal when the letters a to z are compared without
// regard to case.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

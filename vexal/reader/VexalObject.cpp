#include "vexal/reader/VexalObject.h"

#include <algorithm>
#include <limits>

#include "hostapi/BoardLookup.h"
#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbUtil.h"
#include "vexal/report/ReportManager.h"

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsAsciiLetter(char c) { return UpperAscii(c) >= 'A' && UpperAscii(c) <= 'Z'; }

}  // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

int32_t CoordTextToUnits(std::string_view text, uint8_t units) {
  // A unit in the text itself decides the conversion of this value alone.
  // Most coordinates are bare numbers: without a letter there is no unit to
  // look for, and no upper-cased copy is built.
  bool unitInText = false;
  if (std::any_of(text.begin(), text.end(), IsAsciiLetter)) {
    std::string upper;
    upper.reserve(text.size());
    for (const char c : text)
      if (c != ' ') upper += UpperAscii(c);
    unitInText = upper.find("MM") != std::string::npos || upper.find("MIL") != std::string::npos;
  }
  bool imperial = units != kUnitsMillimetres;
  const int32_t value = hostapi::ParseLength(text, imperial);
  if (units != kUnitsInches || unitInText) return value;
  // Inches: read as mils, then times 1000, so that four decimals survive.
  const int64_t inches = int64_t{value} * 1000;
  return static_cast<int32_t>(std::clamp<int64_t>(inches, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// ---- Life ----------------------------------------------------------------------------

TVexalObject::TVexalObject(const TVexalObject* creator) {
  if (!creator) return;
  Parser = creator->Parser;
  Report = creator->Report;
  FileUnits = creator->FileUnits;
  Container = creator->Container;
  Net = creator->Net;
  InSchematic = creator->InSchematic;
  Library = creator->Library;
  Netlist = creator->Netlist;
  Board = creator->Board;
  Nesting = creator->Nesting + 1;
}

TVexalObject::~TVexalObject() = default;

// ---- Virtual operations -------------------------------------------------------------

void TVexalObject::Parse() { SkipUnhandled(); }

void TVexalObject::Translate() {
  if (HostObject == 0) return;
  if (Container != 0) hostapi::PcbApi_AddObjectToContainer(Container, HostObject);
  if (Net != 0) hostapi::PcbApi_AddObjectToContainer(Net, HostObject);
}

void TVexalObject::TranslateSchematic() {}

void TVexalObject::TranslateByKind() {
  if (InSchematic)
    TranslateSchematic();
  else
    Translate();
}

void TVexalObject::SetLibrary(TVexalLibrary* library) { Library = library; }

void TVexalObject::SetNetlist(TVexalNetlist* netlist) { Netlist = netlist; }

// ---- Value readers ------------------------------------------------------------------

int32_t TVexalObject::ReadCoord() {
  if (!Parser) return 0;
  Parser->NextToken();
  const std::string number = Parser->TokenText();
  uint8_t units = FileUnits <= kUnitsInches ? FileUnits : kUnitsMils;
  const uint8_t next = Parser->PeekChar();
  if (next == 'I' || next == 'M' || next == 'i' || next == 'm') {
    Parser->NextToken();
    const std::string_view word = Parser->TokenView();
    if (SameTextIgnoringCase(word, "mm"))
      units = kUnitsMillimetres;
    else if (SameTextIgnoringCase(word, "in"))
      units = kUnitsInches;
    else if (SameTextIgnoringCase(word, "mil"))
      units = kUnitsMils;
  }
  return CoordTextToUnits(number, units);
}

TVexalPoint TVexalObject::ReadPoint() {
  TVexalPoint point;
  point.X = ReadCoord();
  point.Y = ReadCoord();
  return point;
}

int32_t TVexalObject::ReadInteger() { return Parser ? Parser->ReadInteger() : 0; }

double TVexalObject::ReadReal() { return Parser ? Parser->ReadReal() : 0.0; }

bool TVexalObject::ReadBoolean() {
  if (!Parser) return false;
  Parser->NextToken();
  return SameTextIgnoringCase(Parser->TokenView(), "True");
}

std::string TVexalObject::ReadString() {
  if (!Parser) return {};
  Parser->NextToken();
  return Parser->TokenText();
}

// ---- Parsing --------------------------------------------------------------------------

bool TVexalObject::ReadingStopped() const {
  return !Parser || Parser->EndOfFile() || Parser->Aborted();
}

void TVexalObject::WarnSkipping() {
  if (!Report || !Parser) return;
  Report->AddLoadWarning(lwText, "Skipping Token " + Parser->TokenText() + " On Line " +
                                     std::to_string(Parser->LineNumber()));
}

bool TVexalObject::SkipToCloseBracket() {
  // A counter, not recursion: groups may nest to any depth.
  int64_t count = 1;
  while (count > 0 && !ReadingStopped()) {
    const int32_t token = Parser->NextToken();
    if (token == tkOpenBracket)
      ++count;
    else if (token == tkCloseBracket)
      --count;
  }
  return count == 0;
}

void TVexalObject::SkipUnhandled() {
  if (Depth < 2 || !Parser) return;
  WarnSkipping();
  SkipToCloseBracket();
  --Depth;
}

void TVexalObject::SkipGroup() {
  WarnSkipping();
  Depth = SkipToCloseBracket() ? 0 : 1;
}

void TVexalObject::ParseChild(TVexalObject& child) {
  child.Parse();
  --Depth;
}

// ---- Board lookups ----------------------------------------------------------------------

THandle TVexalObject::FindNetHandle(std::string_view name) const {
  return hostapi::FirstNetNamed(Board, name);
}

THandle TVexalObject::FindPadHandle(std::string_view designator, std::string_view pinName) const {
  return hostapi::FirstComponentPad(Board, designator, pinName);
}

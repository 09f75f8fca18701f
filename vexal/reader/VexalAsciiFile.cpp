#include "vexal/reader/VexalAsciiFile.h"

#include <utility>

#include "hostapi/BoardLookup.h"
#include "hostapi/HostPcbApi.h"
#include "platform/Platform.h"
#include "vexal/report/ReportManager.h"

namespace {

// Event codes the root sends to the host's event router (their meaning is
// the host's).
constexpr uint16_t kEventTranslationStarts = 13;
constexpr uint16_t kEventClosing1 = 14;
constexpr uint16_t kEventBoardChanged = 12;
constexpr uint16_t kEventClosing2 = 7;
constexpr uint16_t kEventPolygonOfBoard = 2;
constexpr uint16_t kEventPolygon = 3;
constexpr uint16_t kEventClosing3 = 8;
constexpr uint16_t kEventClosing4 = 10;
constexpr uint16_t kEventBoardDone = 11;

void SendEvent(THandle sender, uint16_t code, THandle data) {
  hostapi::PcbApi_EventRouter_SendMessage(sender, 0, code, data);
}

// The polygons of the running translation; none outside one.
std::vector<THandle>* gCollectedPolygons = nullptr;

// The list of collected polygons exists while one translation runs.
class TPolygonCollection {
 public:
  TPolygonCollection() : Previous(gCollectedPolygons) { gCollectedPolygons = &Polygons; }
  ~TPolygonCollection() { gCollectedPolygons = Previous; }
  TPolygonCollection(const TPolygonCollection&) = delete;
  TPolygonCollection& operator=(const TPolygonCollection&) = delete;

  std::vector<THandle> Polygons;

 private:
  std::vector<THandle>* Previous;
};

}  // namespace

bool OptionsDialogStandIn_AcceptDefaults(const std::string&, TLayerTable&, TReportManager*) {
  return true;
}

void CollectPolygon(THandle polygon) {
  if (gCollectedPolygons) gCollectedPolygons->push_back(polygon);
}

const std::vector<THandle>& CollectedPolygons() {
  static const std::vector<THandle> none;
  return gCollectedPolygons ? *gCollectedPolygons : none;
}

// ---- Header ------------------------------------------------------------------------------

void TVexalAsciiHeader::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwAsciiVersion:
        MajorVersion = ReadInteger();
        MinorVersion = ReadInteger();
        return true;
      case kwTimeStamp:
        for (int32_t& value : TimeStamp) value = ReadInteger();
        return true;
      case kwFileAuthor:
        FileAuthor = ReadString();
        return true;
      case kwCopyright:
        Copyright = ReadString();
        return true;
      case kwProgram:
        ProgramName = ReadString();
        ProgramVersion = ReadString();
        return true;
      case kwHeaderString:
        HeaderString = ReadString();
        return true;
      case kwGuidString:
        GuidString = ReadString();
        return true;
      case kwFileUnits: {
        const std::string units = ReadString();
        Units = SameTextIgnoringCase(units, "mm")   ? kUnitsMillimetres
                : SameTextIgnoringCase(units, "in") ? kUnitsInches
                                                    : kUnitsMils;
        return true;
      }
      default:
        return false;
    }
  });
}

// ---- Root --------------------------------------------------------------------------------

TVexalAsciiFile::TVexalAsciiFile(TVexalParser* parser, std::string fileName)
    : FileName(std::move(fileName)), Sections(&VexalSectionClasses()) {
  Parser = parser;
}

// The design and the netlist refer to the library, so the library goes last.
TVexalAsciiFile::~TVexalAsciiFile() {
  Design.reset();
  NetlistSection.reset();
  Header.reset();
  LibrarySection.reset();
  while (!ReplacedSections.empty()) ReplacedSections.pop_back();
}

TLayerTable& TVexalAsciiFile::LayerTable() {
  if (LibrarySection && Sections->LayerTableOf)
    if (TLayerTable* table = Sections->LayerTableOf(*LibrarySection)) return *table;
  return EmptyLayerTable;
}

void TVexalAsciiFile::Parse() { ParseSections(false); }

void TVexalAsciiFile::ParseLibraryFile() { ParseSections(true); }

void TVexalAsciiFile::ParseSections(bool libraryOnly) {
  if (!Parser) return;
  if (Parser->NextToken() != kwVEXAL_ASCII) {
    if (Report) Report->AddLoadError(leNoHeaderWord);
    return;
  }
  Parser->NextToken();
  SourceName = Parser->TokenText();
  while (!ReadingStopped()) {
    switch (Parser->NextToken()) {
      case kwAsciiHeader:
        ParseHeader();
        break;
      case kwLibrary:
        ParseLibrary();
        break;
      case kwNetlist:
        if (libraryOnly) return;
        ParseNetlist();
        break;
      case kwPcbDesign:
        if (libraryOnly) return;
        ParseDesign();
        break;
      case kwSchematicDesign:
        if (libraryOnly) return;
        InSchematic = true;
        break;
      default:
        break;  // brackets and everything else between the sections
    }
  }
}

std::unique_ptr<TVexalObject> TVexalAsciiFile::ParseSection(TVexalSectionClasses::TMake make) {
  std::unique_ptr<TVexalObject> section = make ? make(this) : nullptr;
  if (!section) {
    SkipGroup();
    return nullptr;
  }
  section->Parse();
  return section;
}

void TVexalAsciiFile::ParseHeader() {
  Header.reset();
  Header = std::make_unique<TVexalAsciiHeader>(this);
  Header->Parse();
  FileUnits = Header->Units;
}

void TVexalAsciiFile::AdoptLibrary(std::unique_ptr<TVexalObject> library) {
  if (LibrarySection) ReplacedSections.push_back(std::move(LibrarySection));
  LibrarySection = std::move(library);
  Library = LibrarySection ? LibrarySection->Library : nullptr;
}

void TVexalAsciiFile::AdoptNetlist(std::unique_ptr<TVexalObject> netlist) {
  if (NetlistSection) ReplacedSections.push_back(std::move(NetlistSection));
  NetlistSection = std::move(netlist);
  Netlist = NetlistSection && Sections->AsNetlist ? Sections->AsNetlist(*NetlistSection) : nullptr;
}

void TVexalAsciiFile::ParseLibrary() {
  // The section replaces the earlier one; it is made without it.
  Library = nullptr;
  AdoptLibrary(ParseSection(Sections->MakeLibrary));
}

void TVexalAsciiFile::ParseNetlist() {
  Netlist = nullptr;
  if (!Library) SupplyEmptyLibrary();
  AdoptNetlist(ParseSection(Sections->MakeNetlist));
}

void TVexalAsciiFile::SupplyEmptyLibrary() {
  if (Sections->MakeLibrary) AdoptLibrary(Sections->MakeLibrary(this));
}

void TVexalAsciiFile::ParseDesign() {
  InSchematic = false;
  Design.reset();
  // The design's layer definitions name their layers in the library's table.
  if (!Library) SupplyEmptyLibrary();
  bool closed;
  if (std::unique_ptr<TVexalObject> design = ParseSection(Sections->MakeDesign)) {
    closed = design->Depth <= 0;
    Design = std::move(design);
  } else {
    closed = Depth <= 0;
  }
  // The file ended before the design's close bracket.
  if (!closed && Parser->EndOfFile())
    platform::ShowMessageBox("Unexpected End Of File", "Veltrix Error", platform::mbOK | platform::mbIconError);
}

void TVexalAsciiFile::Translate() {
  SendEvent(0, kEventTranslationStarts, 0);
  if (Board == 0) return;
  const bool confirmed = OptionsDialog ? OptionsDialog(FileName, LayerTable(), Report) : true;
  if (!confirmed) return;

  // The board may have changed since an earlier import, and what this one
  // learns of it is not kept for the next.
  struct TFreshLookups {
    TFreshLookups() { hostapi::ForgetBoardLookups(); }
    ~TFreshLookups() { hostapi::ForgetBoardLookups(); }
  } lookups;
  TPolygonCollection collection;
  // Nets and net classes first: the design's objects look them up.
  if (NetlistSection) {
    NetlistSection->Container = Board;
    NetlistSection->Translate();
  }
  if (Design) {
    Design->Container = Board;
    Design->Translate();
  }
  SendEvent(0, kEventClosing1, 0);
  SendEvent(0, kEventBoardChanged, Board);
  SendEvent(0, kEventClosing2, 0);
  const std::vector<THandle> polygons = collection.Polygons;
  for (const THandle polygon : polygons) {
    SendEvent(Board, kEventPolygonOfBoard, polygon);
    SendEvent(0, kEventPolygon, polygon);
  }
  SendEvent(0, kEventClosing3, 0);
  SendEvent(0, kEventClosing4, 0);
  SendEvent(0, kEventBoardDone, Board);
}

void TVexalAsciiFile::TranslateLibraryFile() {
  SendEvent(0, kEventTranslationStarts, 0);
  if (Board == 0) return;
  TPolygonCollection collection;
  if (LibrarySection && Sections->TranslateLibrary) {
    LibrarySection->Container = Board;
    Sections->TranslateLibrary(*LibrarySection);
  }
}

// The Vexal object tree: value readers, the generic parse loop and the skip of
// unhandled groups, the header and its units, the root's sections (with
// section classes of the test's own), its translation with the host's event
// messages, and the board lookups, against the stand-in host module.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/client/PlatformHooks.h"
#include "host/tarvex/TarvexHost.h"
#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbObjects.h"
#include "platform/Platform.h"
#include "vexal/reader/VexalAsciiFile.h"
#include "vexal/reader/VexalObject.h"
#include "vexal/reader/VexalParser.h"
#include "vexal/report/ReportManager.h"

namespace {

namespace fs = std::filesystem;

fs::path TestFolder() {
  static const fs::path folder = [] {
    fs::path p = fs::path(::testing::TempDir()) / ("vexal-tree-" + std::to_string(getpid()));
    fs::create_directories(p);
    return p;
  }();
  return folder;
}

std::string WriteFile(const std::string& content, const std::string& name = "input.pcb") {
  const fs::path path = TestFolder() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return path.string();
}

// The stand-in host module, loaded once and bound; emptied for every test.
tarvex::ITarvexHost& Host() {
  static tarvex::ITarvexHost* host = [] {
    std::string error;
    platform::ModuleHandle module =
        platform::LoadModule(std::string(PCBIMPORT_BIN_DIR) + "/libTarvex.so", &error);
    EXPECT_NE(module, nullptr) << error;
    hostapi::BindHostPcbApi();
    return tarvex::TarvexHostOf(module);
  }();
  if (!host) throw std::runtime_error("no stand-in host module");
  return *host;
}

// A file opened for reading with its keyword table, and a report.
struct Reading {
  explicit Reading(const std::string& content, const std::string& name = "input.pcb")
      : Path(WriteFile(content, name)), Parser(Path) {
    Parser.BuildKeywordTable();
  }
  std::string Path;
  TVexalParser Parser;
  TReportManager Report;
};

std::vector<std::string> WarningTexts(const TReportManager& report) {
  std::vector<std::string> texts;
  for (const TReportEntry& entry : report.LoadWarningList()) texts.push_back(entry.Text);
  return texts;
}

class ObjectTree : public ::testing::Test {
 protected:
  void SetUp() override {
    Host().Reset();
    standin::ResetHooks();
    standin::SetMessageBoxEcho(false);
  }
};

// ---- ReadCoord -------------------------------------------------------------------------

struct CoordCase {
  const char* Name;
  std::string Text;  // what follows in the file
  uint8_t FileUnits;
  int32_t Expected;
  std::string NextToken;  // the text of the token after the coordinate
};

void PrintTo(const CoordCase& c, std::ostream* out) { *out << c.Name; }

class ReadCoordTable : public ObjectTree, public ::testing::WithParamInterface<CoordCase> {};

TEST_P(ReadCoordTable, ConvertsToHostUnits) {
  const CoordCase& c = GetParam();
  Reading reading(c.Text + " next");
  TVexalObject object;
  object.Parser = &reading.Parser;
  object.FileUnits = c.FileUnits;
  EXPECT_EQ(object.ReadCoord(), c.Expected);
  const int32_t next = reading.Parser.NextToken();
  EXPECT_EQ(next == tkCloseBracket ? ")" : reading.Parser.TokenText(), c.NextToken);
}

const int32_t kTenMm = 3937008;  // 10 x 10000 / 0.0254 = 3937007.87...

INSTANTIATE_TEST_SUITE_P(
    Units, ReadCoordTable,
    ::testing::Values(
        CoordCase{"FileMils", "10", kUnitsMils, 100000, "next"},
        CoordCase{"FileMillimetres", "10", kUnitsMillimetres, kTenMm, "next"},
        CoordCase{"FileInches", "10", kUnitsInches, 100000000, "next"},
        CoordCase{"HalfMil", "2.5", kUnitsMils, 25000, "next"},
        CoordCase{"NegativeInches", "-1.25", kUnitsInches, -12500000, "next"},
        CoordCase{"InchKeepsFourDecimals", "0.1234", kUnitsInches, 1234000, "next"},
        CoordCase{"WordMm", "10 mm", kUnitsMils, kTenMm, "next"},
        CoordCase{"WordMmUpperCase", "10 MM", kUnitsInches, kTenMm, "next"},
        CoordCase{"WordInInMilsFile", "0.5 in", kUnitsMils, 5000000, "next"},
        CoordCase{"WordMilInMmFile", "10 mil", kUnitsMillimetres, 100000, "next"},
        CoordCase{"UnitInText", "10mm", kUnitsInches, kTenMm, "next"},
        CoordCase{"MilInText", "10MIL", kUnitsMillimetres, 100000, "next"},
        CoordCase{"TextUnitBeatsWord", "5mil in", kUnitsMils, 50000, "next"},
        CoordCase{"OtherWordReadAndIgnored", "10 metres", kUnitsMils, 100000, "next"},
        CoordCase{"NoUnitBeforeOtherWord", "10 x", kUnitsMillimetres, kTenMm, "x"},
        CoordCase{"NoUnitBeforeBracket", "10 )", kUnitsMils, 100000, ")"},
        CoordCase{"StartsWithLetter", "abc", kUnitsMils, 0, "next"},
        CoordCase{"NotANumber", "1.2.3", kUnitsMils, 0, "next"},
        CoordCase{"InchesBeyondRange", "300 in", kUnitsMils, std::numeric_limits<int32_t>::max(), "next"},
        CoordCase{"MilsBeyondRange", "-1e9", kUnitsMils, std::numeric_limits<int32_t>::min(), "next"}),
    [](const auto& param) { return std::string(param.param.Name); });

TEST_F(ObjectTree, ValueReadersReadTheirTokens) {
  Reading reading("1 2 TRUE true yes \"a \\\"q\\\" b\" word 12x 1.5e1 -3 4 5");
  TVexalObject object;
  object.Parser = &reading.Parser;
  const TVexalPoint point = object.ReadPoint();
  EXPECT_EQ(point.X, 10000);
  EXPECT_EQ(point.Y, 20000);
  EXPECT_TRUE(object.ReadBoolean());
  EXPECT_TRUE(object.ReadBoolean());
  EXPECT_FALSE(object.ReadBoolean());
  EXPECT_EQ(object.ReadString(), "a \"q\" b");
  EXPECT_EQ(object.ReadString(), "word");
  EXPECT_EQ(object.ReadInteger(), -32000);
  EXPECT_EQ(object.ReadReal(), 15.0);
  EXPECT_EQ(object.ReadInteger(), -3);

  // Without a parser nothing is read.
  TVexalObject alone;
  EXPECT_EQ(alone.ReadCoord(), 0);
  EXPECT_EQ(alone.ReadInteger(), 0);
  EXPECT_EQ(alone.ReadReal(), 0.0);
  EXPECT_FALSE(alone.ReadBoolean());
  EXPECT_EQ(alone.ReadString(), "");
  alone.Parse();
  EXPECT_EQ(object.ReadInteger(), 4);
}

TEST_F(ObjectTree, ACreatedObjectTakesTheSharedStateOfItsCreator) {
  Reading reading("");
  TVexalObject creator;
  creator.Parser = &reading.Parser;
  creator.Report = &reading.Report;
  creator.FileUnits = kUnitsInches;
  creator.Layer = 7;
  creator.Container = 11;
  creator.Net = 12;
  creator.HostObject = 13;
  creator.InSchematic = true;
  creator.Depth = 3;
  creator.Board = 14;
  creator.Library = reinterpret_cast<TVexalLibrary*>(&creator);
  creator.Netlist = reinterpret_cast<TVexalNetlist*>(&reading);
  TVexalObject child(&creator);
  EXPECT_EQ(child.Parser, &reading.Parser);
  EXPECT_EQ(child.Report, &reading.Report);
  EXPECT_EQ(child.FileUnits, kUnitsInches);
  EXPECT_EQ(child.Container, 11u);
  EXPECT_EQ(child.Net, 12u);
  EXPECT_TRUE(child.InSchematic);
  EXPECT_EQ(child.Board, 14u);
  EXPECT_EQ(child.Library, creator.Library);
  EXPECT_EQ(child.Netlist, creator.Netlist);
  EXPECT_EQ(child.Layer, 0);
  EXPECT_EQ(child.Depth, 0);
  EXPECT_EQ(child.HostObject, 0u);
  EXPECT_EQ(child.Nesting, 1);
}

// ---- The header, the parse loop and unhandled groups ----------------------------------------

TEST_F(ObjectTree, TheHeaderReadsEveryFieldAndGivesItsUnitsToLaterSections) {
  Reading reading(
      "VEXAL_ASCII \"demo.pcb\"\r\n"
      "(asciiHeader\r\n"
      "  (asciiVersion 3 0)\r\n"
      "  (timeStamp 2001 6 12 10 30 5)\r\n"
      "  (program \"Kivo PCB\" \"15.1\")\r\n"
      "  (copyright \"(c) someone\")\r\n"
      "  (fileAuthor \"me\")\r\n"
      "  (headerString \"\")\r\n"
      "  (fileUnits MM)\r\n"
      "  (guidString \"{1234}\")\r\n"
      ")\r\n");
  TVexalAsciiFile file(&reading.Parser, reading.Path);
  file.Report = &reading.Report;
  file.Parse();
  EXPECT_EQ(file.SourceName, "demo.pcb");
  ASSERT_NE(file.Header, nullptr);
  const TVexalAsciiHeader& header = *file.Header;
  EXPECT_EQ(header.MajorVersion, 3);
  EXPECT_EQ(header.MinorVersion, 0);
  EXPECT_EQ(header.TimeStamp, (std::array<int32_t, 6>{2001, 6, 12, 10, 30, 5}));
  EXPECT_EQ(header.ProgramName, "Kivo PCB");
  EXPECT_EQ(header.ProgramVersion, "15.1");
  EXPECT_EQ(header.Copyright, "(c) someone");
  EXPECT_EQ(header.FileAuthor, "me");
  EXPECT_EQ(header.HeaderString, "");
  EXPECT_EQ(header.GuidString, "{1234}");
  EXPECT_EQ(header.Units, kUnitsMillimetres);
  EXPECT_EQ(file.FileUnits, kUnitsMillimetres);
  EXPECT_EQ(reading.Report.LoadWarningCount(), 0);
  EXPECT_EQ(reading.Report.LoadErrorCount(), 0);
}

TEST_F(ObjectTree, FileUnitsWords) {
  const struct {
    const char* Word;
    uint8_t Units;
  } cases[] = {{"mm", kUnitsMillimetres}, {"In", kUnitsInches}, {"mil", kUnitsMils},
               {"\"in\"", kUnitsInches}, {"inch", kUnitsMils}};
  for (const auto& c : cases) {
    Reading reading(std::string("VEXAL_ASCII x (asciiHeader (fileUnits ") + c.Word + "))");
    TVexalAsciiFile file(&reading.Parser, reading.Path);
    file.Parse();
    EXPECT_EQ(file.FileUnits, c.Units) << c.Word;
  }
}

TEST_F(ObjectTree, AnUnhandledGroupIsSkippedWholeWithOneWarningNamingKeywordAndLine) {
  Reading reading(
      "VEXAL_ASCII x\r\n"
      "(asciiHeader\r\n"
      "  stray 12 \"values\"\r\n"
      "  (mysteryGroup (a (b (c 1) \"s)\") (pcbDesign 2)) 5)\r\n"
      "  (PCBDESIGN (fileUnits in))\r\n"
      "  (fileUnits mm)\r\n"
      ")\r\n");
  TVexalAsciiFile file(&reading.Parser, reading.Path);
  file.Report = &reading.Report;
  file.Parse();
  ASSERT_NE(file.Header, nullptr);
  // Reading went on after both groups: the last fileUnits counts, the one
  // inside the skipped group does not.
  EXPECT_EQ(file.Header->Units, kUnitsMillimetres);
  EXPECT_EQ(reading.Report.LoadWarningCount(), 2);
  EXPECT_EQ(WarningTexts(reading.Report),
            (std::vector<std::string>{"Skipping Token mysteryGroup On Line 3",
                                      "Skipping Token PCBDESIGN On Line 4"}));
  for (const TReportEntry& entry : reading.Report.LoadWarningList()) EXPECT_EQ(entry.Level, rlNormal);
}

TEST_F(ObjectTree, AValueKeywordWithExtraValuesSkipsTheRestOfItsGroup) {
  Reading reading("VEXAL_ASCII x (asciiHeader (fileUnits mm extra more) (fileAuthor \"me\"))");
  TVexalAsciiFile file(&reading.Parser, reading.Path);
  file.Report = &reading.Report;
  file.Parse();
  ASSERT_NE(file.Header, nullptr);
  EXPECT_EQ(file.Header->Units, kUnitsMillimetres);
  EXPECT_EQ(file.Header->FileAuthor, "me");
  EXPECT_EQ(WarningTexts(reading.Report), (std::vector<std::string>{"Skipping Token extra On Line 0"}));
}

TEST_F(ObjectTree, WithoutAReportSkippingRecordsNothingAndStillSkips) {
  Reading reading("VEXAL_ASCII x (asciiHeader (other 1 (x)) (fileUnits in))");
  TVexalAsciiFile file(&reading.Parser, reading.Path);
  file.Parse();
  ASSERT_NE(file.Header, nullptr);
  EXPECT_EQ(file.Header->Units, kUnitsInches);
}

// ---- Bad input through the root (no section classes) -------------------------------------

const TVexalSectionClasses kNoSections{};

struct BadInputCase {
  const char* Name;
  std::string Content;
  int32_t LoadErrors;
  std::vector<std::string> Warnings;
  bool UnexpectedEnd;
};

void PrintTo(const BadInputCase& c, std::ostream* out) { *out << c.Name; }

class RootBadInput : public ObjectTree, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(RootBadInput, HasADefinedOutcome) {
  const BadInputCase& c = GetParam();
  Reading reading(c.Content);
  TVexalAsciiFile file(&reading.Parser, reading.Path);
  file.Sections = &kNoSections;
  file.Report = &reading.Report;
  file.Parse();
  // A file without the header word is not read further; any other is read to its end.
  EXPECT_EQ(reading.Parser.EndOfFile(), c.LoadErrors == 0 || c.Content.size() <= 1);
  EXPECT_EQ(reading.Report.LoadErrorCount(), c.LoadErrors);
  EXPECT_TRUE(reading.Report.LoadErrorList().empty());  // kind 1 adds no line
  EXPECT_EQ(WarningTexts(reading.Report), c.Warnings);
  std::vector<std::string> boxes;
  for (const auto& box : standin::MessageBoxes()) boxes.push_back(box.Caption + ": " + box.Text);
  EXPECT_EQ(boxes, c.UnexpectedEnd ? std::vector<std::string>{"Veltrix Error: Unexpected End Of File"}
                                   : std::vector<std::string>{});
}

std::string Deep(int levels) { return std::string(levels, '(') + "x" + std::string(levels, ')'); }

INSTANTIATE_TEST_SUITE_P(
    Files, RootBadInput,
    ::testing::Values(
        BadInputCase{"Empty", "", 1, {}, false},
        BadInputCase{"NoHeaderWord", "(asciiHeader (fileUnits mm))\r\n", 1, {}, false},
        BadInputCase{"OnlyBrackets", "((((()))(()))))))(((", 1, {}, false},
        BadInputCase{"HeaderWordThenOnlyBrackets", "VEXAL_ASCII ((((()))(()))))))(((", 0, {}, false},
        BadInputCase{"SectionsWithoutClassesAreSkipped",
                     "jorvopro_ascii x\r\n(library (a (b)))\r\n(netlist (n))\r\n(pcbDesign (d))\r\n",
                     0,
                     {"Skipping Token library On Line 1", "Skipping Token netlist On Line 2",
                      "Skipping Token pcbDesign On Line 3"},
                     false},
        BadInputCase{"DesignEndingAtTheLastByteIsComplete", "VEXAL_ASCII x (pcbDesign (d))", 0,
                     {"Skipping Token pcbDesign On Line 0"}, false},
        BadInputCase{"TruncatedDesign", "VEXAL_ASCII x\r\n(pcbDesign (layerDef \"Top\"", 0,
                     {"Skipping Token pcbDesign On Line 1"}, true},
        BadInputCase{"TruncatedInsideAString", "VEXAL_ASCII x (pcbDesign (text \"abc", 0,
                     {"Skipping Token pcbDesign On Line 0"}, true},
        BadInputCase{"TruncatedLibraryShowsNoMessage", "VEXAL_ASCII x (library (padStyleDef", 0,
                     {"Skipping Token library On Line 0"}, false},
        BadInputCase{"NestedThousandsOfLevels", "VEXAL_ASCII x (pcbDesign " + Deep(20000) + ")", 0,
                     {"Skipping Token pcbDesign On Line 0"}, false},
        BadInputCase{"TruncatedThousandsOfLevelsDeep", "VEXAL_ASCII x (pcbDesign " + std::string(20000, '('), 0,
                     {"Skipping Token pcbDesign On Line 0"}, true}),
    [](const auto& param) { return std::string(param.param.Name); });

TEST_F(ObjectTree, AFileThatCannotBeOpenedReadsAsAFileWithoutTheHeaderWord) {
  TVexalParser parser((TestFolder() / "no-such-file.pcb").string());
  parser.BuildKeywordTable();
  TReportManager report;
  TVexalAsciiFile file(&parser, "no-such-file.pcb");
  file.Report = &report;
  file.Parse();
  EXPECT_EQ(report.LoadErrorCount(), 1);
  EXPECT_EQ(file.Header, nullptr);
}

// ---- Sections of the test's own ------------------------------------------------------------

// What the test sections did, in order.
std::vector<std::string> gLog;

// A section that reads "width" values with ReadCoord, nests itself for
// "pcbDesign" and skips everything else; Translate logs and, for a design,
// collects the polygons it was given.
class TTestSection : public TVexalObject {
 public:
  TTestSection(const TVexalObject* creator, std::string name) : TVexalObject(creator), Name(std::move(name)) {
    UnitsAtCreation = FileUnits;
    LibraryAtCreation = Library;
    NetlistAtCreation = Netlist;
  }
  void Parse() override {
    gLog.push_back("parse " + Name);
    ParseLoop([this](int32_t token) {
      if (token == kwWidth) {
        Widths.push_back(ReadCoord());
        return true;
      }
      if (token == kwPcbDesign) {
        Child = std::make_unique<TTestSection>(this, Name + "+");
        ParseChild(*Child);
        return true;
      }
      return false;
    });
  }
  void Translate() override {
    gLog.push_back("translate " + Name + " into " + std::to_string(Container));
    for (THandle polygon : Polygons) CollectPolygon(polygon);
  }

  std::string Name;
  uint8_t UnitsAtCreation;
  TVexalLibrary* LibraryAtCreation;
  TVexalNetlist* NetlistAtCreation;
  std::vector<int32_t> Widths;
  std::vector<THandle> Polygons;
  std::unique_ptr<TTestSection> Child;
};

class TTestLibrary : public TTestSection {
 public:
  explicit TTestLibrary(const TVexalObject* creator) : TTestSection(creator, "library") {
    Library = AsLibrary(this);
    Table[1].Name = "Top";
  }
  static TVexalLibrary* AsLibrary(TTestLibrary* library) {
    return reinterpret_cast<TVexalLibrary*>(static_cast<TVexalObject*>(library));
  }
  static TTestLibrary& Of(TVexalLibrary* library) {
    return static_cast<TTestLibrary&>(*reinterpret_cast<TVexalObject*>(library));
  }
  TLayerTable Table;
};

// A design that reads the first layer name of its library when translated
// (a freed library would show under AddressSanitizer).
class TTestDesign : public TTestSection {
 public:
  explicit TTestDesign(const TVexalObject* creator) : TTestSection(creator, "design") {}
  void Translate() override {
    TTestSection::Translate();
    if (Library) gLog.push_back("design's library names " + TTestLibrary::Of(Library).Table[1].Name);
  }
};

TVexalSectionClasses TestSections() {
  TVexalSectionClasses classes;
  classes.MakeLibrary = [](const TVexalObject* creator) -> std::unique_ptr<TVexalObject> {
    return std::make_unique<TTestLibrary>(creator);
  };
  classes.MakeNetlist = [](const TVexalObject* creator) -> std::unique_ptr<TVexalObject> {
    return std::make_unique<TTestSection>(creator, "netlist");
  };
  classes.MakeDesign = [](const TVexalObject* creator) -> std::unique_ptr<TVexalObject> {
    return std::make_unique<TTestDesign>(creator);
  };
  classes.AsNetlist = [](TVexalObject& netlist) { return reinterpret_cast<TVexalNetlist*>(&netlist); };
  classes.LayerTableOf = [](TVexalObject& library) { return &static_cast<TTestLibrary&>(library).Table; };
  classes.TranslateLibrary = [](TVexalObject& library) {
    gLog.push_back("translate library document into " + std::to_string(library.Container));
  };
  return classes;
}

const TVexalSectionClasses kTestSections = TestSections();

TTestSection& SectionOf(const std::unique_ptr<TVexalObject>& section) {
  return static_cast<TTestSection&>(*section);
}

// What the options dialog was shown, and its answer.
struct DialogRecord {
  int Calls = 0;
  std::string FileName;
  TLayerTable* Table = nullptr;
  TReportManager* Report = nullptr;
  bool Answer = true;
} gDialog;

bool TestDialog(const std::string& fileName, TLayerTable& table, TReportManager* report) {
  ++gDialog.Calls;
  gDialog.FileName = fileName;
  gDialog.Table = &table;
  gDialog.Report = report;
  gLog.push_back("dialog");
  if (gDialog.Answer) table[1].HostLayer = TopLayer;
  return gDialog.Answer;
}

class RootSections : public ObjectTree {
 protected:
  void SetUp() override {
    ObjectTree::SetUp();
    gLog.clear();
    gDialog = DialogRecord{};
  }
  // A root over `content` with the test's sections and dialog.
  std::unique_ptr<TVexalAsciiFile> Root(Reading& reading) {
    auto root = std::make_unique<TVexalAsciiFile>(&reading.Parser, reading.Path);
    root->Sections = &kTestSections;
    root->Report = &reading.Report;
    root->OptionsDialog = TestDialog;
    return root;
  }
  std::vector<tarvex::EventMessage> Events() const { return Host().Events(); }
};

TEST_F(RootSections, SectionsTakeTheUnitsOfAnEarlierHeaderAndShareLibraryAndNetlist) {
  Reading reading(
      "VEXAL_ASCII x\r\n"
      "(netlist (width 1))\r\n"
      "(asciiHeader (fileUnits in))\r\n"
      "(library (width 1) (unknown (pcbDesign (width 7))))\r\n"
      "(pcbDesign (width 1 mm) (width 2))\r\n");
  auto root = Root(reading);
  root->Parse();
  ASSERT_TRUE(root->LibrarySection && root->NetlistSection && root->Design);
  TTestSection& netlist = SectionOf(root->NetlistSection);
  TTestSection& library = SectionOf(root->LibrarySection);
  TTestSection& design = SectionOf(root->Design);
  EXPECT_EQ(netlist.UnitsAtCreation, kUnitsMils);
  EXPECT_EQ(netlist.Widths, (std::vector<int32_t>{10000}));
  EXPECT_EQ(library.Widths, (std::vector<int32_t>{10000000}));
  EXPECT_EQ(design.Widths, (std::vector<int32_t>{393701, 20000000}));
  // A netlist before any library got an empty library of its own, which the
  // later library section replaced.
  EXPECT_NE(netlist.LibraryAtCreation, nullptr);
  EXPECT_NE(netlist.LibraryAtCreation, root->Library);
  EXPECT_EQ(root->Library, TTestLibrary::AsLibrary(&static_cast<TTestLibrary&>(library)));
  EXPECT_EQ(design.LibraryAtCreation, root->Library);
  EXPECT_EQ(design.NetlistAtCreation, root->Netlist);
  EXPECT_EQ(root->Netlist, reinterpret_cast<TVexalNetlist*>(root->NetlistSection.get()));
  EXPECT_EQ(WarningTexts(reading.Report), (std::vector<std::string>{"Skipping Token unknown On Line 3"}));
  EXPECT_EQ(gLog, (std::vector<std::string>{"parse netlist", "parse library", "parse design"}));
}

TEST_F(RootSections, TranslateShowsTheDialogThenTheNetlistThenTheDesignThenTheClosingEvents) {
  const THandle board = Host().NewDocument("PCB", "/boards/demo.pcb");
  Reading reading("VEXAL_ASCII x (pcbDesign (width 1)) (library) (netlist)", "demo.pcb");
  auto root = Root(reading);
  root->Board = board;
  root->Parse();
  SectionOf(root->Design).Polygons = {901, 902};
  root->Translate();
  const std::string into = " into " + std::to_string(board);
  EXPECT_EQ(gLog, (std::vector<std::string>{"parse design", "parse library", "parse netlist", "dialog",
                                            "translate netlist" + into, "translate design" + into,
                                            "design's library names Top"}));
  EXPECT_EQ(gDialog.FileName, reading.Path);
  EXPECT_EQ(gDialog.Report, &reading.Report);
  EXPECT_EQ(gDialog.Table, &root->LayerTable());
  EXPECT_EQ(root->LayerTable()[1].HostLayer, TopLayer);
  using E = tarvex::EventMessage;
  EXPECT_EQ(Events(), (std::vector<E>{{0, 0, 13, 0}, {0, 0, 14, 0}, {0, 0, 12, board}, {0, 0, 7, 0},
                                      {board, 0, 2, 901}, {0, 0, 3, 901}, {board, 0, 2, 902}, {0, 0, 3, 902},
                                      {0, 0, 8, 0}, {0, 0, 10, 0}, {0, 0, 11, board}}));
  // The list exists only while the translation runs.
  CollectPolygon(903);
  EXPECT_TRUE(CollectedPolygons().empty());
}

TEST_F(RootSections, OnCancelNothingIsTranslated) {
  const THandle board = Host().NewDocument("PCB", "/boards/demo.pcb");
  Reading reading("VEXAL_ASCII x (library) (netlist) (pcbDesign)");
  auto root = Root(reading);
  root->Board = board;
  root->Parse();
  gDialog.Answer = false;
  root->Translate();
  EXPECT_EQ(gDialog.Calls, 1);
  EXPECT_EQ(gLog, (std::vector<std::string>{"parse library", "parse netlist", "parse design", "dialog"}));
  EXPECT_EQ(Events(), (std::vector<tarvex::EventMessage>{{0, 0, 13, 0}}));
  EXPECT_TRUE(Host().ContainerObjects(board).empty());
}

TEST_F(RootSections, WithoutABoardOnlyTheFirstEventIsSentAndNoDialogShown) {
  Reading reading("VEXAL_ASCII x (netlist) (pcbDesign)");
  auto root = Root(reading);
  root->Parse();
  root->Translate();
  EXPECT_EQ(gDialog.Calls, 0);
  EXPECT_EQ(Events(), (std::vector<tarvex::EventMessage>{{0, 0, 13, 0}}));
}

TEST_F(RootSections, AFileWithoutSectionsShowsTheDialogWithAnEmptyLayerTable) {
  const THandle board = Host().NewDocument("PCB", "/boards/demo.pcb");
  Reading reading("VEXAL_ASCII x (asciiHeader)");
  auto root = Root(reading);
  root->Board = board;
  root->Parse();
  root->Translate();
  ASSERT_EQ(gDialog.Calls, 1);
  for (const TLayerTableEntry& entry : root->LayerTable()) EXPECT_TRUE(entry.Name.empty());
  EXPECT_EQ(Events().size(), 7u);
}

TEST_F(RootSections, ALaterSectionReplacesTheEarlierWhichStaysAliveForWhatReferToIt) {
  const THandle board = Host().NewDocument("PCB", "/boards/demo.pcb");
  Reading reading("VEXAL_ASCII x (library) (pcbDesign) (library) (netlist (width 1)) (netlist (width 2))");
  auto root = Root(reading);
  root->Board = board;
  root->Parse();
  TTestSection& design = SectionOf(root->Design);
  EXPECT_NE(design.LibraryAtCreation, root->Library);
  EXPECT_EQ(SectionOf(root->NetlistSection).Widths, (std::vector<int32_t>{20000}));
  TTestLibrary::Of(root->Library).Table[1].Name = "Replacement";
  root->Translate();
  // The design still reads the library it was made with.
  EXPECT_EQ(gLog.back(), "design's library names Top");
}

TEST_F(RootSections, ALibraryFileReadsHeaderAndLibraryOnlyAndTranslatesWithoutDialog) {
  const THandle board = Host().NewDocument("PCBLib", "/libs/demo.lia");
  Reading reading(
      "VEXAL_ASCII x (asciiHeader (fileUnits mm)) (library (width 1)) (netlist) (library (width 2))");
  auto root = Root(reading);
  root->Board = board;
  root->ParseLibraryFile();
  ASSERT_TRUE(root->LibrarySection);
  EXPECT_EQ(SectionOf(root->LibrarySection).Widths, (std::vector<int32_t>{393701}));
  EXPECT_EQ(root->NetlistSection, nullptr);
  EXPECT_FALSE(reading.Parser.EndOfFile());
  root->TranslateLibraryFile();
  EXPECT_EQ(gDialog.Calls, 0);
  EXPECT_EQ(gLog, (std::vector<std::string>{"parse library",
                                            "translate library document into " + std::to_string(board)}));
  EXPECT_EQ(Events(), (std::vector<tarvex::EventMessage>{{0, 0, 13, 0}}));
}

TEST_F(RootSections, ALibraryFileStopsAtTheDesignOrTheSchematic) {
  for (const char* stop : {"(pcbDesign (width 1))", "(schematicDesign)"}) {
    gLog.clear();
    Reading reading(std::string("VEXAL_ASCII x ") + stop + " (library)");
    auto root = Root(reading);
    root->ParseLibraryFile();
    EXPECT_TRUE(gLog.empty()) << stop;
    EXPECT_EQ(root->LibrarySection, nullptr) << stop;
  }
}

TEST_F(RootSections, SchematicDesignMarksLaterSectionsUntilAPcbDesign) {
  Reading reading("VEXAL_ASCII x (schematicDesign (netlist)) (pcbDesign)");
  auto root = Root(reading);
  root->Parse();
  EXPECT_TRUE(root->NetlistSection->InSchematic);
  EXPECT_FALSE(root->Design->InSchematic);
  EXPECT_FALSE(root->InSchematic);
}

TEST_F(RootSections, ObjectsNestedTooDeeplyAreSkippedInsteadOfParsed) {
  const int levels = 5000;
  std::string deep;
  for (int i = 0; i < levels; ++i) deep += "(pcbDesign ";
  deep += "(width 1)" + std::string(levels, ')');
  Reading reading("VEXAL_ASCII x (pcbDesign " + deep + ") (asciiHeader (fileUnits mm))");
  auto root = Root(reading);
  root->Parse();
  // One warning, where the nesting limit is reached; the file is read on.
  EXPECT_EQ(reading.Report.LoadWarningCount(), 1);
  EXPECT_EQ(root->FileUnits, kUnitsMillimetres);
  int depth = 0;
  for (const TTestSection* s = &SectionOf(root->Design); s; s = s->Child.get()) {
    ++depth;
    EXPECT_EQ(s->Depth, 0);
  }
  // Objects 1 to kMaxObjectNesting parse; the next one skips its group.
  EXPECT_EQ(depth, kMaxObjectNesting + 1);
  EXPECT_TRUE(standin::MessageBoxes().empty());
}

TEST_F(RootSections, TheEndOfTheFileInsideAParsedDesignShowsTheMessageOnce) {
  Reading reading("VEXAL_ASCII x (pcbDesign (pcbDesign (width 1");
  auto root = Root(reading);
  root->Parse();
  ASSERT_EQ(standin::MessageBoxes().size(), 1u);
  EXPECT_EQ(standin::MessageBoxes()[0].Text, "Unexpected End Of File");
  EXPECT_EQ(standin::MessageBoxes()[0].Caption, "Veltrix Error");
  EXPECT_EQ(SectionOf(root->Design).Child->Widths, (std::vector<int32_t>{10000}));
}

// ---- Translate of the base and the board lookups -------------------------------------------

THandle MakeNet(THandle board, const std::string& name) {
  const THandle net = hostapi::PcbApi_CreateObject(okNet);
  TPcbNet wrapper(net);
  wrapper.Exchange(qdRead);
  wrapper.Name = name;
  wrapper.Exchange(qdWrite);
  hostapi::PcbApi_AddObjectToContainer(board, net);
  return net;
}

THandle MakeComponent(THandle board, const std::string& designator, const std::vector<std::string>& pads) {
  const THandle component = hostapi::PcbApi_CreateObject(okComponent);
  hostapi::PcbApi_AddObjectToContainer(board, component);
  TPcbComponent wrapper(component);
  wrapper.Exchange(qdRead);
  TPcbText text(wrapper.DesignatorText);
  text.Exchange(qdRead);
  text.Text = designator;
  text.Exchange(qdWrite);
  for (const std::string& name : pads) {
    const THandle pad = hostapi::PcbApi_CreateObject(okPad);
    TPcbPad padWrapper(pad);
    padWrapper.Exchange(qdRead);
    padWrapper.Name = name;
    padWrapper.Exchange(qdWrite);
    hostapi::PcbApi_AddObjectToContainer(component, pad);
  }
  return component;
}

TEST_F(ObjectTree, FindNetHandleMatchesTheWholeNameExactly) {
  const THandle board = Host().NewDocument("PCB", "/boards/nets.pcb");
  const THandle gnd = MakeNet(board, "GND");
  const THandle vcc = MakeNet(board, "VCC");
  MakeNet(board, "VCC");
  TVexalObject object;
  object.Board = board;
  EXPECT_EQ(object.FindNetHandle("GND"), gnd);
  EXPECT_EQ(object.FindNetHandle("VCC"), vcc);
  EXPECT_EQ(object.FindNetHandle("gnd"), 0u);
  EXPECT_EQ(object.FindNetHandle("GN"), 0u);
  EXPECT_EQ(object.FindNetHandle(""), 0u);
  object.Board = 0;
  EXPECT_EQ(object.FindNetHandle("GND"), 0u);
  EXPECT_EQ(Host().LiveIterators(), 0);
}

TEST_F(ObjectTree, FindPadHandlePassesOverAComponentWithoutThePin) {
  const THandle board = Host().NewDocument("PCB", "/boards/pads.pcb");
  MakeComponent(board, "U1", {"1", "2"});
  const THandle second = MakeComponent(board, "U1", {"3"});
  MakeComponent(board, "u2", {"1"});
  TVexalObject object;
  object.Board = board;
  const THandle pad3 = object.FindPadHandle("U1", "3");
  ASSERT_NE(pad3, 0u);
  EXPECT_EQ(Host().GetObject(pad3)->Owner, second);
  const THandle pad1 = object.FindPadHandle("U1", "1");
  ASSERT_NE(pad1, 0u);
  EXPECT_NE(Host().GetObject(pad1)->Owner, second);
  EXPECT_EQ(object.FindPadHandle("U2", "1"), 0u);
  EXPECT_EQ(object.FindPadHandle("U1", "4"), 0u);
  EXPECT_EQ(object.FindPadHandle("U", "1"), 0u);
  EXPECT_EQ(Host().LiveIterators(), 0);
}

TEST_F(ObjectTree, TranslateAddsTheMadeObjectToItsContainerAndNet) {
  const THandle board = Host().NewDocument("PCB", "/boards/t.pcb");
  const THandle net = MakeNet(board, "N1");
  const THandle track = hostapi::PcbApi_CreateObject(okTrack);
  TVexalObject object;
  object.Container = board;
  object.Net = net;
  object.HostObject = track;
  object.Translate();
  EXPECT_EQ(Host().GetObject(track)->Owner, board);
  EXPECT_EQ(Host().GetObject(track)->Net, net);

  const THandle loose = hostapi::PcbApi_CreateObject(okTrack);
  TVexalObject noContainer;
  noContainer.HostObject = loose;
  noContainer.Translate();
  EXPECT_EQ(Host().GetObject(loose)->Owner, 0u);
}

}  // namespace

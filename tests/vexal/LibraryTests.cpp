// The library section of a Vexal file: styles with their shapes and lookups,
// shape codes, text styles, layer contents, plain and extended pattern
// definitions, component definitions with their pad-pin maps, the renaming of
// pads by a pad-pin map, and the translation of a library file into a library
// document, against the stand-in host module and client.
//
// The drawing classes are the design's; here a small drawing class of the
// test's own stands in for them: "pad" makes a host pad named by its "padNum"
// at its "pt", "pattern" draws the pattern definition named by its
// "patternName", and every other drawing keyword is only recorded.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/client/PlatformHooks.h"
#include "host/client/StandInClient.h"
#include "host/tarvex/TarvexHost.h"
#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbObjects.h"
#include "hostapi/PcbUtil.h"
#include "hostclient/HostClient.h"
#include "platform/Platform.h"
#include "vexal/reader/KeywordTable.h"
#include "vexal/reader/VexalAsciiFile.h"
#include "vexal/reader/VexalLibrary.h"
#include "vexal/reader/VexalParser.h"
#include "vexal/reader/VexalSections.h"
#include "vexal/report/ReportManager.h"

namespace {

namespace fs = std::filesystem;

fs::path TestFolder() {
  static const fs::path folder = [] {
    fs::path p = fs::path(::testing::TempDir()) / ("vexal-library-" + std::to_string(getpid()));
    fs::create_directories(p);
    return p;
  }();
  return folder;
}

std::string WriteFile(const std::string& content, const std::string& name) {
  const fs::path path = TestFolder() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return path.string();
}

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

// What the test's drawing objects did: "<keyword id>@<layer>" per translation.
std::vector<std::string> gDrawn;

class TTestDrawing : public TVexalObject {
 public:
  TTestDrawing(const TVexalObject* creator, int32_t keyword) : TVexalObject(creator), Keyword(keyword) {}
  void Parse() override {
    ParseLoop([this](int32_t token) {
      if (token == kwPadNum) {
        Name = ReadString();
        return true;
      }
      if (token == kwPatternName) {
        Name = ReadString();
        return true;
      }
      if (token == kwPt) {
        At = ReadPoint();
        return true;
      }
      return false;
    });
  }
  void Translate() override {
    gDrawn.push_back(std::to_string(Keyword) + "@" + std::to_string(Layer));
    if (Keyword == kwPattern) {
      TVexalPatternDef* pattern = Library ? Library->FindPatternDef(Name) : nullptr;
      if (!pattern) return;
      pattern->Container = Container;
      pattern->Translate();
      return;
    }
    if (Keyword != kwPad) return;
    const THandle pad = hostapi::PcbApi_CreateObject(okPad);
    TPcbPad wrapper(pad);
    wrapper.Exchange(qdRead);
    wrapper.Name = Name;
    wrapper.X = At.X;
    wrapper.Y = At.Y;
    wrapper.Layer = Layer;
    wrapper.Exchange(qdWrite);
    HostObject = pad;
    TVexalObject::Translate();
  }

  int32_t Keyword;
  std::string Name;
  TVexalPoint At;
};

std::unique_ptr<TVexalObject> MakeTestDrawing(const TVexalObject* creator, int32_t keyword) {
  return std::make_unique<TTestDrawing>(creator, keyword);
}

// A file read with the module's section classes.
struct Reading {
  explicit Reading(const std::string& content, bool libraryFile = false, const std::string& name = "lib.lia")
      : Path(WriteFile(content, name)), Parser(Path), Root(&Parser, Path) {
    Parser.BuildKeywordTable();
    Root.Report = &Report;
    if (libraryFile)
      Root.ParseLibraryFile();
    else
      Root.Parse();
  }
  TVexalLibrary& Library() {
    if (!Root.Library) throw std::runtime_error("no library read");
    return *Root.Library;
  }
  std::string Path;
  TVexalParser Parser;
  TReportManager Report;
  TVexalAsciiFile Root;
};

std::string InLibrary(const std::string& body) {
  return "VEXAL_ASCII \"t\"\n(asciiHeader (fileUnits Mil))\n(library \"L\"\n" + body + "\n)\n";
}

std::vector<std::string> Texts(const std::vector<TReportEntry>& entries) {
  std::vector<std::string> texts;
  for (const TReportEntry& entry : entries) texts.push_back(entry.Text);
  return texts;
}

// The skip warnings of a report (the report adds its own line after each).
std::vector<std::string> SkipWarnings(const TReportManager& report) {
  std::vector<std::string> skips;
  for (const std::string& text : Texts(report.LoadWarningList()))
    if (text.rfind("Skipping Token ", 0) == 0) skips.push_back(text);
  return skips;
}

class Library : public ::testing::Test {
 protected:
  void SetUp() override {
    Host().Reset();
    standin::ResetHooks();
    standin::SetMessageBoxEcho(false);
    gDrawn.clear();
    // The module's section classes install the module's drawing classes
    // when first asked for; the test's own replace them for each test.
    VexalSectionClasses();
    ModuleDrawing = MakeDrawingObject;
    MakeDrawingObject = MakeTestDrawing;
  }
  void TearDown() override { MakeDrawingObject = ModuleDrawing; }
  TMakeDrawingObject ModuleDrawing = nullptr;
};

constexpr int32_t Mils(double mils) { return static_cast<int32_t>(mils * 10000); }

// ---- Styles and lookups ------------------------------------------------------------------

TEST_F(Library, PadAndViaStylesReadEveryFieldAndLookupsTakeTheFirstOfAnyCase) {
  Reading file(InLibrary(R"(
    (padStyleDef "P60"
      (holeDiam 30) (isHolePlated False) (holeOffset 5 -5) (useGlobalSwell False) (localSwell 2.5)
      (startRange 1) (endRange 2)
      (padShape (layerNumRef 1) (layerType Signal) (padShapeType Rect) (shapeWidth 60) (shapeHeight 40)
        (rotation 45.5) (insideDiam 10) (outsideDiam 20) (sides 6) (spokeWidth 12) (noCopperPourConnect True))
      (padShape (layerNumRef 2) (layerType Bogus) (padShapeType Bogus)
        (shapeOutline (pt 0 0) (pt 100 0) (pt 100 50) (pt 0 50)))
    )
    (padStyleDef "p60" (holeDiam 99))
    (viaStyleDef "V1"
      (viaShape (layerNumRef 1) (viaShapeType MtHole))
      (viaShape (layerNumRef 2) (viaShapeType polygon))
      (viaShape (layerNumRef 3) (viaShapeType Target)))
  )"));
  TVexalLibrary& library = file.Library();
  ASSERT_EQ(library.PadStyles.Definitions.size(), 2u);
  TVexalPadStyleDef* pad = library.FindPadStyle("P60");
  ASSERT_NE(pad, nullptr);
  EXPECT_EQ(library.FindPadStyle("p60"), pad);
  EXPECT_EQ(library.FindPadStyle("P6"), nullptr);
  EXPECT_EQ(pad->HoleDiameter, Mils(30));
  EXPECT_FALSE(pad->HolePlated);
  EXPECT_EQ(pad->HoleOffsetX, Mils(5));
  EXPECT_EQ(pad->HoleOffsetY, Mils(-5));
  EXPECT_FALSE(pad->UseGlobalSwell);
  EXPECT_EQ(pad->LocalSwell, 25000);
  EXPECT_EQ(pad->StartRange, 1);
  EXPECT_EQ(pad->EndRange, 2);
  ASSERT_EQ(pad->Shapes.size(), 2u);
  const TVexalPadShapeByLayer& first = *pad->Shapes[0];
  EXPECT_EQ(first.LayerNumber, 1);
  EXPECT_EQ(first.LayerType, kLayerTypeSignal);
  EXPECT_EQ(first.ShapeType, kShapeRect);
  EXPECT_EQ(first.ShapeWidth, Mils(60));
  EXPECT_EQ(first.ShapeHeight, Mils(40));
  EXPECT_DOUBLE_EQ(first.Rotation, 45.5);
  EXPECT_EQ(first.InsideDiameter, Mils(10));
  EXPECT_EQ(first.OutsideDiameter, Mils(20));
  EXPECT_EQ(first.Sides, 6);
  EXPECT_EQ(first.SpokeWidth, Mils(12));
  EXPECT_TRUE(first.NoCopperPourConnect);
  const TVexalPadShapeByLayer& second = *pad->Shapes[1];
  EXPECT_EQ(second.LayerType, 0);  // an unknown word leaves the field
  EXPECT_EQ(second.ShapeType, kShapeNone);
  ASSERT_EQ(second.Outline.size(), 4u);
  EXPECT_EQ(second.OutlineWidth(), Mils(100));
  EXPECT_EQ(second.OutlineHeight(), Mils(50));

  TVexalViaStyleDef* via = library.FindViaStyle("v1");
  ASSERT_NE(via, nullptr);
  EXPECT_TRUE(via->HolePlated);  // defaults
  EXPECT_TRUE(via->UseGlobalSwell);
  ASSERT_EQ(via->Shapes.size(), 3u);
  EXPECT_EQ(via->Shapes[0]->ShapeType, kShapeNone);  // a via knows codes 1 to 11 only
  EXPECT_EQ(via->Shapes[1]->ShapeType, kShapePolygon);
  EXPECT_EQ(via->Shapes[2]->ShapeType, kShapeNone);
  EXPECT_EQ(library.FindPadStyle("V1"), nullptr);
  EXPECT_TRUE(SkipWarnings(file.Report).empty());
}

TEST_F(Library, OutlineExtentNeedsFourPointsAndStartsFromFiftyThousandMils) {
  TVexalPadShapeByLayer shape(nullptr);
  shape.Outline = {{0, 0}, {Mils(100), 0}, {Mils(100), Mils(50)}};
  EXPECT_EQ(shape.OutlineWidth(), 0);
  EXPECT_EQ(shape.OutlineHeight(), 0);
  // All points beyond +50000 mils: the smallest stays at its start value.
  shape.Outline = {{Mils(60000), Mils(60000)}, {Mils(61000), Mils(60000)}, {Mils(61000), Mils(60500)},
                   {Mils(60000), Mils(60500)}};
  EXPECT_EQ(shape.OutlineWidth(), Mils(11000));
  EXPECT_EQ(shape.OutlineHeight(), Mils(10500));
  // Points at both ends of the 32-bit range: the extent is cut, not wrapped.
  shape.Outline = {{INT32_MIN, 0}, {INT32_MAX, 0}, {0, 0}, {0, 0}};
  EXPECT_EQ(shape.OutlineWidth(), INT32_MAX);
}

TEST_F(Library, ShapeCodes) {
  struct Code {
    uint8_t Value;
    const char* Name;
    uint8_t Host;
  };
  const Code codes[] = {{0, "No Shape", 0},
                        {1, "Ellipse", psRound},
                        {2, "Oval", psRound},
                        {3, "Rectangle", psRectangle},
                        {4, "Rounded Rectangle", psRound},
                        {5, "Thermal 2 Spoke", psRound},
                        {6, "Thermal 2 Spoke/90", psRound},
                        {7, "Thermal 4 Spoke", psRound},
                        {8, "Thermal 4 Spoke/45", psRound},
                        {9, "Direct Connect", psRound},
                        {10, "No Connect", psRound},
                        {11, "Polygon", psOctagonal},
                        {12, "Target", psRound},
                        {13, "Mounting Hole", psRound},
                        {14, "", 0},
                        {255, "", 0}};
  for (const Code& code : codes) {
    EXPECT_EQ(PadShapeName(code.Value), code.Name) << int(code.Value);
    EXPECT_EQ(HostPadShape(code.Value), code.Host) << int(code.Value);
  }
  EXPECT_EQ(ShapeCodeOfWord("thrm4_45", kShapeMtHole), kShapeThrm4_45);
  EXPECT_EQ(ShapeCodeOfWord("MTHOLE", kShapeMtHole), kShapeMtHole);
  EXPECT_EQ(ShapeCodeOfWord("MtHole", kShapePolygon), kShapeNone);
  EXPECT_EQ(ShapeCodeOfWord("", kShapeMtHole), kShapeNone);
}

TEST_F(Library, TextStylesWithAndWithoutFont) {
  Reading file(InLibrary(R"(
    (textStyleDef "T1"
      (font (fontType Stroke) (fontFamily Sanserif) (fontFace "Quality") (fontHeight 80) (strokeWidth 8))
      (font (fontType TrueType) (fontFamily Modern) (fontFace "Arial") (fontHeight 100) (strokeWidth 10)
        (fontWeight 700) (fontItalic True) (fontCharSet 1) (fontOutPrecision 2) (fontClipPrecision 3)
        (fontQuality 4) (fontPitchAndFamily 5))
      (textStyleAllowTType False) (textStyleDisplayTType False))
    (textStyleDef "T2")
  )"));
  TVexalTextStyleDef* t1 = file.Library().FindTextStyle("t1");
  ASSERT_NE(t1, nullptr);
  ASSERT_NE(t1->Font, nullptr);
  const TVexalFont& font = *t1->Font;  // the second font replaced the first
  EXPECT_EQ(font.FontType, 1);
  EXPECT_EQ(font.FontFamily, 2);
  EXPECT_EQ(font.FontFace, "Arial");
  EXPECT_EQ(font.FontHeight, Mils(100));
  EXPECT_EQ(font.StrokeWidth, Mils(10));
  EXPECT_EQ(font.FontWeight, 700);
  EXPECT_TRUE(font.Italic);
  EXPECT_EQ(font.CharSet, 1);
  EXPECT_EQ(font.OutPrecision, 2);
  EXPECT_EQ(font.ClipPrecision, 3);
  EXPECT_EQ(font.Quality, 4);
  EXPECT_EQ(font.PitchAndFamily, 5);
  EXPECT_FALSE(t1->AllowTrueType);
  EXPECT_FALSE(t1->DisplayTrueType);
  TVexalTextStyleDef* t2 = file.Library().FindTextStyle("T2");
  ASSERT_NE(t2, nullptr);
  EXPECT_EQ(t2->Font, nullptr);
  EXPECT_TRUE(t2->AllowTrueType);
  EXPECT_TRUE(t2->DisplayTrueType);
}

// ---- Patterns -----------------------------------------------------------------------------

TEST_F(Library, PatternDefinitionsReadLayerContentsAndMultiLayerObjects) {
  Reading file(InLibrary(R"(
    (patternDef "DIP8"
      (originalName "DIP8 orig")
      (multiLayer (pad (padNum 1) (pt 0 0)) (via (pt 1 1)) (planeObj (pt 2 2)) (bogus 1))
      (layerContents (layerNumRef 6) (line (pt 0 0)) (metafile (x 1)) (arc (pt 1 1)))
      (layerContents (layerNumRef 7)))
  )"));
  TVexalPatternDef* pattern = file.Library().FindPatternDef("dip8");
  ASSERT_NE(pattern, nullptr);
  EXPECT_EQ(pattern->OriginalName, "DIP8 orig");
  ASSERT_EQ(pattern->MultiLayerObjects.size(), 2u);
  EXPECT_EQ(static_cast<TTestDrawing&>(*pattern->MultiLayerObjects[0]).Keyword, kwPad);
  EXPECT_EQ(static_cast<TTestDrawing&>(*pattern->MultiLayerObjects[1]).Keyword, kwVia);
  ASSERT_EQ(pattern->LayerContents.size(), 2u);
  EXPECT_EQ(pattern->LayerContents[0]->LayerNumber, 6);
  ASSERT_EQ(pattern->LayerContents[0]->Objects.size(), 2u);
  EXPECT_EQ(static_cast<TTestDrawing&>(*pattern->LayerContents[0]->Objects[1]).Keyword, kwArc);
  // "planeObj" among the multi-layer objects, an unknown group and a metafile are skipped.
  const std::vector<std::string> skips = SkipWarnings(file.Report);
  ASSERT_EQ(skips.size(), 3u);
  EXPECT_EQ(skips[0].rfind("Skipping Token planeObj", 0), 0u);
  EXPECT_EQ(skips[1].rfind("Skipping Token bogus", 0), 0u);
  EXPECT_EQ(skips[2].rfind("Skipping Token metafile", 0), 0u);
  // The library still reads what follows.
}

TEST_F(Library, WithoutDrawingClassesDrawingGroupsAreSkipped) {
  MakeDrawingObject = nullptr;
  Reading file(InLibrary(R"(
    (patternDef "P" (layerContents (layerNumRef 1) (line (pt 0 0) (pt 1 1))))
    (padStyleDef "After")
  )"));
  TVexalPatternDef* pattern = file.Library().FindPatternDef("P");
  ASSERT_NE(pattern, nullptr);
  ASSERT_EQ(pattern->LayerContents.size(), 1u);
  EXPECT_TRUE(pattern->LayerContents[0]->Objects.empty());
  EXPECT_EQ(SkipWarnings(file.Report).size(), 1u);
  EXPECT_NE(file.Library().FindPadStyle("After"), nullptr);
}

TEST_F(Library, AnExtendedPatternMakesOneDefinitionPerGraphicsName) {
  Reading file(InLibrary(R"(
    (patternDefExtended "SOIC"
      (originalName "SOIC orig")
      (patternGraphicsNameRef "Primary")
      (patternGraphicsDef (patternGraphicsNameDef "Primary")
        (multiLayer (pad (padNum 1) (pt 0 0)))
        (layerContents (layerNumRef 6) (line (pt 0 0))))
      (patternGraphicsDef (patternGraphicsNameDef "Alt")
        (originalName "ignored here")
        (multiLayer (pad (padNum 1) (pt 0 0)) (pad (padNum 2) (pt 0 0)))))
    (patternDefExtended "LATE"
      (patternGraphicsDef (patternGraphicsNameDef "G"))
      (originalName "late orig"))
    (padStyleDef "After")
  )"));
  TVexalLibrary& library = file.Library();
  ASSERT_EQ(library.PatternDefs.Definitions.size(), 3u);
  TVexalPatternDef* primary = library.FindPatternDef("soic:primary");
  TVexalPatternDef* alt = library.FindPatternDef("SOIC:Alt");
  ASSERT_NE(primary, nullptr);
  ASSERT_NE(alt, nullptr);
  EXPECT_EQ(primary->Name, "SOIC:Primary");
  EXPECT_EQ(primary->OriginalName, "SOIC orig");
  EXPECT_EQ(primary->MultiLayerObjects.size(), 1u);
  EXPECT_EQ(primary->LayerContents.size(), 1u);
  EXPECT_EQ(alt->OriginalName, "SOIC orig");
  EXPECT_EQ(alt->MultiLayerObjects.size(), 2u);
  EXPECT_EQ(library.FindPatternDef("SOIC"), nullptr);
  TVexalPatternDef* late = library.FindPatternDef("LATE:G");
  ASSERT_NE(late, nullptr);
  EXPECT_EQ(late->OriginalName, "");  // the original name came after it
  EXPECT_NE(library.FindPadStyle("After"), nullptr);
  // The graphics name reference and the "originalName" inside a graphics
  // definition are skipped.
  const std::vector<std::string> skips = SkipWarnings(file.Report);
  ASSERT_EQ(skips.size(), 2u);
  EXPECT_EQ(skips[0].rfind("Skipping Token patternGraphicsNameRef", 0), 0u);
  EXPECT_EQ(skips[1].rfind("Skipping Token originalName", 0), 0u);
}

// ---- Component definitions ---------------------------------------------------------------

TEST_F(Library, ComponentDefinitionsWithHeaderPinsPatternsAndAliases) {
  Reading file(InLibrary(R"(
    (compAlias "R" "RES_1")
    (patternAlias "R400" "RES400")
    (symbolAlias "S" "RES")
    (symbolDef "RESSYM" (originalName "RES") (pin (pinNum 1) (pt 0 0)) (line (pt 0 0) (pt 1 1)))
    (compDef "RES_1"
      (originalName "RES")
      (compHeader (sourceLibrary "lib") (compType Power) (numPins 2) (numParts 3) (composition Heterogeneous)
        (alts (ieeeAlt True) (deMorganAlt True)) (refDesPrefix "R") (numType Numeric))
      (compPin "1" (pinName "A") (partNum 1) (symPinNum 2) (gateEq 3) (pinEq 4) (pinType ThreeState))
      (compPin "2" (pinType Bogus))
      (attachedSymbol (partNum 1) (altType Normal) (symbolName "RESSYM"))
      (attachedPattern (patternNum 1) (patternName "RES400") (numPads 3)
        (padPinMap (compPinRef "orphan") (padNum 1) (compPinRef "A") (compPinRef "again") (padNum 2)
          (compPinRef "B") (padNum 3)))
      (attr "Value" "1k"))
    (compDef "res_1")
  )"));
  TVexalLibrary& library = file.Library();
  ASSERT_EQ(library.ComponentDefs.Aliases.size(), 1u);
  EXPECT_EQ(library.ComponentDefs.Aliases[0].Alias, "R");
  EXPECT_EQ(library.ComponentDefs.Aliases[0].Target, "RES_1");
  ASSERT_EQ(library.PatternDefs.Aliases.size(), 1u);
  EXPECT_EQ(library.PatternDefs.Aliases[0].Target, "RES400");
  ASSERT_EQ(library.Symbols.Aliases.size(), 1u);
  EXPECT_TRUE(library.Symbols.Definitions.empty());  // "symbolDef" is not read
  ASSERT_EQ(library.ComponentDefs.Definitions.size(), 2u);
  TVexalCompDef* comp = library.FindCompDef("RES_1");
  ASSERT_NE(comp, nullptr);
  EXPECT_EQ(comp->OriginalName, "RES");
  ASSERT_NE(comp->Header, nullptr);
  EXPECT_EQ(comp->Header->SourceLibrary, "lib");
  EXPECT_EQ(comp->Header->CompType, 1);
  EXPECT_EQ(comp->Header->NumPins, 2);
  EXPECT_EQ(comp->Header->NumParts, 3);
  EXPECT_EQ(comp->Header->Composition, 1);
  EXPECT_TRUE(comp->Header->IeeeAlt);
  EXPECT_TRUE(comp->Header->DeMorganAlt);
  EXPECT_EQ(comp->Header->RefDesPrefix, "R");
  EXPECT_EQ(comp->Header->NumType, 1);
  ASSERT_EQ(comp->Pins.size(), 2u);
  EXPECT_EQ(comp->Pins[0]->PinDes, "1");
  EXPECT_EQ(comp->Pins[0]->PinName, "A");
  EXPECT_EQ(comp->Pins[0]->PartNum, 1);
  EXPECT_EQ(comp->Pins[0]->SymPinNum, 2);
  EXPECT_EQ(comp->Pins[0]->GateEq, 3);
  EXPECT_EQ(comp->Pins[0]->PinEq, 4);
  EXPECT_EQ(comp->Pins[0]->PinType, 9);
  EXPECT_EQ(comp->Pins[1]->PinType, 0);
  ASSERT_EQ(comp->AttachedPatterns.size(), 1u);
  const TVexalAttachedPattern& attached = *comp->AttachedPatterns[0];
  EXPECT_EQ(attached.PatternNum, 1);
  EXPECT_EQ(attached.PatternName, "RES400");
  EXPECT_EQ(attached.NumPads, 3);
  // A pin reference without a pad number before it, a second one for the
  // same pad, and a pad number without a pin reference make no entry.
  ASSERT_EQ(attached.PadPinMap.size(), 2u);
  EXPECT_EQ(attached.PadPinMap[0].PadNum, 1);
  EXPECT_EQ(attached.PadPinMap[0].CompPinRef, "A");
  EXPECT_EQ(attached.PadPinMap[1].PadNum, 2);
  EXPECT_EQ(attached.PadPinMap[1].CompPinRef, "B");
  EXPECT_EQ(comp->Attributes.size(), 1u);
  // One warning for the symbol definition, one for each group inside the
  // attached symbol.
  const std::vector<std::string> skips = SkipWarnings(file.Report);
  ASSERT_EQ(skips.size(), 4u);
  EXPECT_EQ(skips[0].rfind("Skipping Token RESSYM", 0), 0u);
  EXPECT_EQ(skips[1].rfind("Skipping Token partNum", 0), 0u);
  EXPECT_EQ(skips[2].rfind("Skipping Token altType", 0), 0u);
  EXPECT_EQ(skips[3].rfind("Skipping Token symbolName", 0), 0u);
}

// ---- Layer contents and pattern translation ----------------------------------------------

TEST_F(Library, LayerContentsTranslateOnTheMappedHostLayerAndOutOfRangeNumbersOnNone) {
  Reading file(InLibrary(R"(
    (patternDef "P"
      (multiLayer (pad (padNum 1)))
      (layerContents (layerNumRef 6) (line))
      (layerContents (layerNumRef 101) (line))
      (layerContents (layerNumRef -1) (line))
      (layerContents (layerNumRef 100) (arc)))
  )"));
  TVexalLibrary& library = file.Library();
  library.LayerTable[6].HostLayer = TopOverlay;
  library.LayerTable[100].HostLayer = Mechanical4;
  EXPECT_EQ(library.HostLayerOfNumber(6), TopOverlay);
  EXPECT_EQ(library.HostLayerOfNumber(101), 0);
  EXPECT_EQ(library.HostLayerOfNumber(INT32_MIN), 0);
  const THandle board = Host().NewDocument("PCB", "/boards/p.pcb");
  TVexalPatternDef* pattern = library.FindPatternDef("P");
  ASSERT_NE(pattern, nullptr);
  pattern->Container = board;
  pattern->Translate();
  const std::string line = std::to_string(kwLine);
  EXPECT_EQ(gDrawn, (std::vector<std::string>{std::to_string(kwPad) + "@" + std::to_string(MultiLayer),
                                              line + "@" + std::to_string(TopOverlay), line + "@0",
                                              line + "@0",
                                              std::to_string(kwArc) + "@" + std::to_string(Mechanical4)}));
  const std::vector<std::string> warnings = Texts(file.Report.LoadWarningList());
  int outOfRange = 0;
  for (const std::string& text : warnings)
    if (text.rfind("Layer Number ", 0) == 0) ++outOfRange;
  EXPECT_EQ(outOfRange, 2);
}

TEST_F(Library, APatternThatPlacesItselfIsDrawnOnceWithAWarning) {
  Reading file(InLibrary(R"(
    (patternDef "A" (multiLayer (pad (padNum 1)) (pattern (patternName "B"))))
    (patternDef "B" (multiLayer (pad (padNum 2)) (pattern (patternName "a"))))
    (patternDef "SELF" (layerContents (layerNumRef 1) (pattern (patternName "SELF"))))
  )"));
  const THandle board = Host().NewDocument("PCB", "/boards/loop.pcb");
  TVexalPatternDef* a = file.Library().FindPatternDef("A");
  ASSERT_NE(a, nullptr);
  a->Container = board;
  a->Translate();
  EXPECT_EQ(Host().ContainerObjects(board).size(), 2u);  // pads 1 and 2, once each
  TVexalPatternDef* self = file.Library().FindPatternDef("SELF");
  ASSERT_NE(self, nullptr);
  self->Container = board;
  self->Translate();
  // Translated again, the patterns draw again: the guard holds only while a
  // pattern is being drawn.
  a->Translate();
  EXPECT_EQ(Host().ContainerObjects(board).size(), 4u);
  const std::vector<std::string> warnings = Texts(file.Report.ImportWarningList());
  std::vector<std::string> loops;
  for (const std::string& text : warnings)
    if (text.find("places itself") != std::string::npos) loops.push_back(text);
  ASSERT_EQ(loops.size(), 3u);
  EXPECT_EQ(loops[0], "Pattern A places itself; the inner placement is not drawn");
  EXPECT_EQ(loops[1], "Pattern SELF places itself; the inner placement is not drawn");
}

// With the module's placed patterns: a pattern whose placements lead back to
// itself ends with the warning instead of drawing without end.
TEST_F(Library, AModulePlacementOfAPatternInsideItselfEnds) {
  MakeDrawingObject = ModuleDrawing;
  Reading file(InLibrary(R"(
    (padStyleDef "S" (holeDiam 30) (padShape (layerNumRef 1) (padShapeType Ellipse) (shapeWidth 60) (shapeHeight 60)))
    (patternDef "LOOP"
      (multiLayer (pad (padNum 1) (padStyleRef "S") (pt 0 0)))
      (layerContents (layerNumRef 1) (pattern (patternRef "Loop") (refDesRef "U9") (pt 100 100))))
  )"));
  const THandle board = Host().NewDocument("PCB", "/boards/module-loop.pcb");
  TVexalPatternDef* loop = file.Library().FindPatternDef("LOOP");
  ASSERT_NE(loop, nullptr);
  loop->Container = board;
  loop->Translate();
  int loops = 0;
  for (const std::string& text : Texts(file.Report.ImportWarningList()))
    if (text == "Pattern LOOP places itself; the inner placement is not drawn") ++loops;
  EXPECT_EQ(loops, 1);
  int pads = 0;
  for (const THandle handle : Host().AllObjects())
    if (Host().GetObject(handle) && Host().GetObject(handle)->Kind == okPad) ++pads;
  EXPECT_EQ(pads, 1);
}

// ---- Pad-pin maps -------------------------------------------------------------------------------

THandle AddPad(THandle container, const std::string& name) {
  const THandle pad = hostapi::PcbApi_CreateObject(okPad);
  TPcbPad wrapper(pad);
  wrapper.Exchange(qdRead);
  wrapper.Name = name;
  wrapper.Exchange(qdWrite);
  hostapi::PcbApi_AddObjectToContainer(container, pad);
  return pad;
}

std::string PadName(THandle pad) {
  TPcbPad wrapper(pad);
  wrapper.Exchange(qdRead);
  return wrapper.Name;
}

TEST_F(Library, APadPinMapRenamesMappedPadsAndPrefixesTheOthers) {
  const THandle board = Host().NewDocument("PCB", "/boards/map.pcb");
  const THandle component = hostapi::PcbApi_CreateObject(okComponent);
  hostapi::PcbApi_AddObjectToContainer(board, component);
  const THandle pad3 = AddPad(component, "3");
  const THandle pad4 = AddPad(component, "4");
  const THandle longPad = AddPad(component, "ABCDEFGHIJKLMNOPQ");  // 17 characters
  const THandle padA = AddPad(component, "A");
  TVexalAttachedPattern attached(nullptr);
  attached.PadPinMap = {{3, "VCC_PIN_NAME_LONGER_THAN_20"},
                        {7, "NOPAD"},
                        {4, ""},
                        {3, "AGAIN"}};
  attached.PadPinMap[2].PadNum = 99;  // no pad 99: pad 4 keeps its prefixed name
  attached.ApplyPadPinMap(component);
  EXPECT_EQ(PadName(pad3), "VCC_PIN_NAME_LONGER_");
  EXPECT_EQ(PadName(pad4), "SYSPAD4");
  EXPECT_EQ(PadName(longPad), "SYSPADABCDEFGHIJKLMN");
  EXPECT_EQ(PadName(padA), "SYSPADA");
  EXPECT_EQ(Host().LiveIterators(), 0);
}

// ---- Library documents ------------------------------------------------------------------------

class LibraryDocument : public Library {
 protected:
  void SetUp() override {
    Library::SetUp();
    standin::ResetClient();
    hostclient::SetClientInterface(standin::HostClient());
  }
};

std::string ExampleLibrary() {
  std::ifstream in(std::string(PCBIMPORT_SOURCE_DIR) + "/examples/vexal/small-library.lia", std::ios::binary);
  if (!in.good()) throw std::runtime_error("no example library");
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST_F(LibraryDocument, EachComponentDefinitionWithAFootprintBecomesAMovedLibraryComponent) {
  Reading file(ExampleLibrary() + "(netlist \"N\" (net \"GND\"))\n", true, "small-library.lia");
  const THandle board = Host().NewDocument("PCBLib", file.Path);
  ASSERT_TRUE(Host().MakeCurrent(board));
  file.Root.Board = board;
  file.Root.TranslateLibraryFile();

  const tarvex::Document* document = Host().GetDocument(board);
  ASSERT_NE(document, nullptr);
  ASSERT_EQ(document->Library.size(), 3u);  // the test point has no footprint
  EXPECT_EQ(document->Library[0].Name, "RES");
  EXPECT_EQ(document->Library[1].Name, "DIODE");
  EXPECT_EQ(document->Library[2].Name, "LED");  // drawn from "LED_1"
  struct Expected {
    std::vector<std::string> Pads;
    std::vector<int32_t> PadX;
  };
  const Expected expected[] = {{{"1", "2"}, {0, 400}}, {{"A", "K"}, {0, 300}}, {{"A", "SYSPAD2"}, {0, 100}}};
  for (size_t i = 0; i < 3; ++i) {
    std::vector<std::string> pads;
    std::vector<int32_t> padX;
    for (const THandle handle : document->Library[i].Objects) {
      const tarvex::Object* object = Host().GetObject(handle);
      ASSERT_NE(object, nullptr);
      if (object->Kind != okPad) continue;
      pads.push_back(PadName(handle));
      padX.push_back(object->X);
      EXPECT_EQ(object->Y, hostapi::MilsToUnits(50000)) << i;
      EXPECT_EQ(object->Layer, MultiLayer) << i;
    }
    EXPECT_EQ(pads, expected[i].Pads) << i;
    std::vector<int32_t> wantX;
    for (const int32_t x : expected[i].PadX) wantX.push_back(hostapi::MilsToUnits(50000 + x));
    EXPECT_EQ(padX, wantX) << i;
  }
  // The fixed layer table of a library import: file layer 6 is the top overlay.
  TVexalLibrary& library = file.Library();
  EXPECT_EQ(library.LayerTable[6].Name, "Top Over");
  EXPECT_EQ(library.LayerTable[6].HostLayer, TopOverlay);
  EXPECT_EQ(library.LayerTable[19].Name, "Mid 8");
  EXPECT_EQ(library.LayerTable[19].HostLayer, MidLayer8);
  EXPECT_EQ(library.LayerTable[20].HostLayer, Mechanical4);
  EXPECT_EQ(library.LayerTable[21].HostLayer, 0);
  EXPECT_NE(std::find(gDrawn.begin(), gDrawn.end(), std::to_string(kwLine) + "@" + std::to_string(TopOverlay)),
            gDrawn.end());
  // The netlist after the library is not read.
  EXPECT_EQ(file.Root.NetlistSection, nullptr);

  const std::vector<std::string> warnings = Texts(file.Report.ImportWarningList());
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], "Component TESTPOINT does not have PCB footprint definition and will be skipped");
  std::vector<uint16_t> codes;
  for (const tarvex::EventMessage& event : Host().Events()) codes.push_back(event.Code);
  EXPECT_EQ(codes, (std::vector<uint16_t>{13, 14, 12, 7, 13, 14, 8, 10, 11}));
  // Each component through "PCB:CreateComponent" in the document's view.
  int creates = 0;
  for (const standin::ProcessRecord& process : standin::ProcessLog())
    if (process.Name == "PCB:CreateComponent") {
      ++creates;
      EXPECT_EQ(process.DocumentPath, file.Path);
    }
  EXPECT_EQ(creates, 3);
  EXPECT_EQ(Host().LiveIterators(), 0);
}

// The same library with the module's own drawing classes: pads with their
// pad style's sizes, and the outline line on the top overlay.
TEST_F(LibraryDocument, TheModulesDrawingClassesDrawTheFootprints) {
  MakeDrawingObject = ModuleDrawing;
  ASSERT_NE(MakeDrawingObject, nullptr);
  Reading file(ExampleLibrary(), true, "small-library-module.lia");
  const THandle board = Host().NewDocument("PCBLib", file.Path);
  ASSERT_TRUE(Host().MakeCurrent(board));
  file.Root.Board = board;
  file.Root.TranslateLibraryFile();
  const tarvex::Document* document = Host().GetDocument(board);
  ASSERT_NE(document, nullptr);
  ASSERT_EQ(document->Library.size(), 3u);
  std::vector<std::string> resPads;
  int tracks = 0;
  for (const THandle handle : document->Library[0].Objects) {
    const tarvex::Object* object = Host().GetObject(handle);
    ASSERT_NE(object, nullptr);
    if (object->Kind == okPad) {
      resPads.push_back(PadName(handle));
      EXPECT_EQ(object->HoleSize, Mils(30));
    } else if (object->Kind == okTrack) {
      ++tracks;
      EXPECT_EQ(object->Layer, TopOverlay);
      EXPECT_EQ(object->X, hostapi::MilsToUnits(50050));
      EXPECT_EQ(object->X2, hostapi::MilsToUnits(50350));
      EXPECT_EQ(object->Y, hostapi::MilsToUnits(50030));
    }
  }
  EXPECT_EQ(resPads, (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(tracks, 1);
  EXPECT_EQ(Host().LiveIterators(), 0);
}

// A library file cut anywhere reads what it holds up to the cut and
// translates it without a fault, with the test's and the module's drawing
// classes alike.
TEST_F(LibraryDocument, ALibraryFileCutAnywhereReadsAndTranslatesWhatItHolds) {
  const std::string text = ExampleLibrary();
  const TMakeDrawingObject makers[] = {MakeDrawingObject, ModuleDrawing};
  for (size_t pass = 0; pass < 2; ++pass) {
    MakeDrawingObject = makers[pass];
    size_t lastComponents = 0;
    for (size_t cut = 0; cut <= text.size(); cut += 23) {
      Reading file(text.substr(0, cut), true, "cut-" + std::to_string(pass) + "-" + std::to_string(cut) + ".lia");
      const THandle board = Host().NewDocument("PCBLib", file.Path);
      ASSERT_TRUE(Host().MakeCurrent(board));
      file.Root.Board = board;
      file.Root.TranslateLibraryFile();
      const size_t components = Host().GetDocument(board)->Library.size();
      EXPECT_GE(components, lastComponents) << cut;  // a longer part never yields less
      lastComponents = components;
      EXPECT_EQ(Host().LiveIterators(), 0);
    }
    EXPECT_EQ(lastComponents, 3u);
  }
}

}  // namespace

// The design's object tree in-process, against the stand-in host module:
// what is read and kept without reaching the board (header, title sheet,
// layer fields, attributes, line styles), and the placement of components
// through a component definition once a netlist names it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "host/client/PlatformHooks.h"
#include "host/tarvex/TarvexHost.h"
#include "hostapi/HostPcbApi.h"
#include "platform/Platform.h"
#include "vexal/design/VexalDesign.h"
#include "vexal/design/VexalNetlist.h"
#include "vexal/design/VexalPrimitives.h"
#include "vexal/reader/VexalAsciiFile.h"
#include "vexal/reader/VexalLibrary.h"
#include "vexal/reader/VexalParser.h"
#include "vexal/report/ReportManager.h"

namespace {

namespace fs = std::filesystem;

tarvex::ITarvexHost& Host() {
  static tarvex::ITarvexHost* host = [] {
    std::string error;
    platform::ModuleHandle module = platform::LoadModule(std::string(PCBIMPORT_BIN_DIR) + "/libTarvex.so", &error);
    EXPECT_NE(module, nullptr) << error;
    hostapi::BindHostPcbApi();
    return tarvex::TarvexHostOf(module);
  }();
  if (!host) throw std::runtime_error("no stand-in host module");
  return *host;
}

// A whole file read into a root object.
struct Tree {
  explicit Tree(const std::string& content, tarvex::THandle board = 0) {
    const fs::path folder = fs::path(::testing::TempDir()) / ("vexal-dtree-" + std::to_string(getpid()));
    fs::create_directories(folder);
    Path = (folder / "tree.pcb").string();
    std::ofstream(Path, std::ios::binary | std::ios::trunc) << content;
    Parser = std::make_unique<TVexalParser>(Path);
    Parser->BuildKeywordTable();
    Root = std::make_unique<TVexalAsciiFile>(Parser.get(), Path);
    Root->Report = &Report;
    Root->Board = board;
    Root->Parse();
  }
  TVexalPCBDesign& Design() {
    auto* design = dynamic_cast<TVexalPCBDesign*>(Root->Design.get());
    if (!design) throw std::runtime_error("no design");
    return *design;
  }
  std::string Path;
  TReportManager Report;
  std::unique_ptr<TVexalParser> Parser;
  std::unique_ptr<TVexalAsciiFile> Root;
};

std::string File(const std::string& library, const std::string& design, const std::string& units = "mil",
                 const std::string& netlist = "") {
  return "VEXAL_ASCII \"t\"\r\n(asciiHeader (fileUnits " + units + "))\r\n(library \"l\"\r\n" + library +
         ")\r\n" + (netlist.empty() ? "" : "(netlist \"n\"\r\n" + netlist + ")\r\n") +
         "(pcbDesign \"Board 1\"\r\n" + design + ")\r\n";
}

class DesignTree : public ::testing::Test {
 protected:
  void SetUp() override {
    Host().Reset();
    standin::ResetHooks();
    standin::SetMessageBoxEcho(false);
  }
};

TEST_F(DesignTree, TheHeaderMetTwiceKeepsTheSecondAndItsChildrenAreRead) {
  Tree tree(File("", "(pcbDesignHeader (solderSwell 1))\r\n"
                     "(pcbDesignHeader (workspaceSize 100 200) (solderSwell 2) (pasteSwell 3) (planeSwell 4)\r\n"
                     "  (gridDfns (grid \"10mil\") (grid \"5mil\") (relOrigin (pt 7 8)))\r\n"
                     "  (designInfo (designTitle \"T\") (designRevision \"B\")\r\n"
                     "    (fieldSet \"FS\" (fieldDef \"Name\" \"Value\") (noteDef 3 \"n\" triangle)\r\n"
                     "      (revisionNoteDef 4 \"r\" hexagon))))\r\n"));
  const TVexalPCBDesign& d = tree.Design();
  EXPECT_EQ(d.Name, "Board 1");
  ASSERT_NE(d.Header, nullptr);
  EXPECT_EQ(d.Header->SolderSwell, 20000);
  EXPECT_EQ(d.Header->WorkspaceSize.Y, 2000000);
  EXPECT_EQ(d.Header->PlaneSwell, 40000);
  ASSERT_NE(d.Header->GridDfns, nullptr);
  EXPECT_EQ(d.Header->GridDfns->Grids, (std::vector<std::string>{"10mil", "5mil"}));
  EXPECT_EQ(d.Header->GridDfns->RelOrigin.X, 70000);
  ASSERT_NE(d.Header->DesignInfo, nullptr);
  EXPECT_EQ(d.Header->DesignInfo->Title, "T");
  EXPECT_EQ(d.Header->DesignInfo->Revision, "B");
  ASSERT_EQ(d.Header->DesignInfo->FieldSets.size(), 1u);
  const TVexalFieldSet& fs = *d.Header->DesignInfo->FieldSets[0];
  EXPECT_EQ(fs.Name, "FS");
  ASSERT_EQ(fs.Fields.size(), 1u);
  EXPECT_EQ(fs.Fields[0]->FieldValue, "Value");
  ASSERT_EQ(fs.Notes.size(), 1u);
  EXPECT_EQ(fs.Notes[0]->Shape, 2);
  ASSERT_EQ(fs.RevisionNotes.size(), 1u);
  EXPECT_EQ(fs.RevisionNotes[0]->Number, 4);
  EXPECT_EQ(fs.RevisionNotes[0]->Shape, 3);  // an unknown shape word changes nothing
  EXPECT_TRUE(tree.Report.LoadWarningList().empty());
}

TEST_F(DesignTree, LayerDefinitionsReadTheirWordsAndNameTheLayerTableWithinItsRange) {
  Tree tree(File("", "(layerDef \"Top\" (layerNum 1) (layerType signal) (layerBias VertBias) (netNameRef \"A\")\r\n"
                     "  (planeNetNameRef \"B\") (fieldSetRef \"F\") (layerType Other))\r\n"
                     "(layerDef \"Far\" (layerNum 101))\r\n"
                     "(layerDef \"Negative\" (layerNum -1))\r\n"
                     "(layerDef \"Last\" (layerNum 100) (titleSheet (titleSheetNameDef \"A4\") (titleSheetScale 2.5)\r\n"
                     "  (border (isVisible false) (height 10)) (zones (textStyleRef \"Z\") (horizontalZones 4\r\n"
                     "  (numDirection descending) (numType Numeric)) (verticalZones 3 (numType Roman)))\r\n"
                     "  (pcbDrawObj (line (pt 0 0) (pt 1 1)) (text (pt 0 0) \"x\"))))\r\n"));
  const auto& layers = tree.Design().LayerDefs;
  ASSERT_EQ(layers.size(), 4u);
  EXPECT_EQ(layers[0]->LayerType, 1);
  EXPECT_EQ(layers[0]->Bias, 2);
  EXPECT_EQ(layers[0]->NetName, "B");
  EXPECT_EQ(layers[0]->FieldSetRef, "F");
  const TLayerTable& table = tree.Root->LayerTable();
  EXPECT_EQ(table[1].Name, "Top");
  EXPECT_EQ(table[100].Name, "Last");
  for (const auto& entry : table) EXPECT_NE(entry.Name, "Far");
  for (const auto& entry : table) EXPECT_NE(entry.Name, "Negative");
  EXPECT_EQ(HostLayerOf(table, -1), 0);
  EXPECT_EQ(HostLayerOf(table, 101), 0);
  ASSERT_NE(layers[3]->TitleSheet, nullptr);
  const TVexalTitleSheet& sheet = *layers[3]->TitleSheet;
  EXPECT_EQ(sheet.Name, "A4");
  EXPECT_EQ(sheet.Scale, 2.5);
  ASSERT_NE(sheet.Border, nullptr);
  EXPECT_FALSE(sheet.Border->Visible);
  ASSERT_NE(sheet.Zones, nullptr);
  EXPECT_EQ(sheet.Zones->TextStyleName, "Z");
  EXPECT_EQ(sheet.Zones->Horizontal.Count, 4);
  EXPECT_EQ(sheet.Zones->Horizontal.Direction, 1);
  EXPECT_EQ(sheet.Zones->Horizontal.Numbering, 1);
  EXPECT_EQ(sheet.Zones->Vertical.Count, 3);
  EXPECT_EQ(sheet.Zones->Vertical.Numbering, 0);
  EXPECT_EQ(sheet.DrawObjects.size(), 2u);
}

TEST_F(DesignTree, AttributesAndLineStylesKeepWhatTheyRead) {
  Tree tree(File("", "(globalAttrs (attr \"A\" \"1\" (pt 1 2) (rotation 45) (isFlipped True) (isVisible False)\r\n"
                     "  (justify Center) (textStyleRef \"S\") (constraintUnits mil) (constraintFormula \"f\"))\r\n"
                     "  (attr \"B\" \"2\" (justify Sideways)))\r\n"
                     "(multiLayer (line (pt 0 0) (pt 1 1) (endStyle TwoLeadsEndStyle) (endStyle LeftLeadEndStyle)\r\n"
                     "  (style DottedLine)) (line (endStyle Unknown)))\r\n",
                 "mm"));
  const auto& attrs = tree.Design().GlobalAttributes;
  ASSERT_EQ(attrs.size(), 2u);
  EXPECT_EQ(attrs[0]->Value, "1");
  EXPECT_EQ(attrs[0]->Position.Y, 2 * 10000 * 10000 / 254 + 1);  // 2 mm, rounded
  EXPECT_EQ(attrs[0]->Rotation, 45.0);
  EXPECT_TRUE(attrs[0]->Flipped);
  EXPECT_FALSE(attrs[0]->Visible);
  EXPECT_EQ(attrs[0]->Justification, 4);
  EXPECT_EQ(attrs[0]->ValueAsLength(), 10000);  // "1" in its constraint units, mil
  EXPECT_EQ(attrs[1]->Justification, 6);
  EXPECT_EQ(attrs[1]->ValueAsLength(), 2 * 10000 * 10000 / 254 + 1);  // mm without units
  const auto& objects = tree.Design().MultiLayerObjects;
  ASSERT_EQ(objects.size(), 2u);
  const auto* line = dynamic_cast<const TVexalLine*>(objects[0].get());
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->StartEndStyle, 4);
  EXPECT_EQ(line->EndEndStyle, 1);
  EXPECT_EQ(line->LineStyle, 1);
  const auto* bare = dynamic_cast<const TVexalLine*>(objects[1].get());
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(bare->StartEndStyle, 3);
  EXPECT_EQ(bare->EndEndStyle, 3);
}

TEST_F(DesignTree, AComponentDefinitionPlacesTheTextsAndRenamesThePads) {
  const tarvex::THandle board = Host().NewDocument("PCB", "/tmp/design-tree.pcb");
  Tree tree(File("(patternDef \"P\" (originalName \"P\") (multiLayer (pad (padNum \"1\") (pt 0 0))\r\n"
                 "  (pad (padNum \"2\") (pt 10 0)) (pad (padNum \"3\") (pt 20 0))))\r\n"
                 "(compDef \"C1\" (originalName \"C1\") (attachedPattern (patternNum 1) (patternName \"P\")\r\n"
                 "  (padPinMap (padNum 1) (compPinRef \"A\") (padNum 2) (compPinRef \"K\")))\r\n"
                 "  (attr \"RefDes\" \"\" (pt 1 2) (rotation 30) (isVisible False))\r\n"
                 "  (attr \"refdes\" \"\" (pt 3 4) (justify UpperLeft))\r\n"
                 "  (attr \"Value\" \"\" (pt 5 6) (rotation 90) (isFlipped True)))\r\n"
                 "(compDef \"C2\" (originalName \"C2\"))\r\n",
                 "(layerDef \"Top\" (layerNum 1))\r\n"
                 "(layerContents (layerNumRef 1) (pattern (patternRef \"P\") (refDesRef \"R7\"))\r\n"
                 "  (pattern (patternRef \"P\") (refDesRef \"R8\")))\r\n",
                 "mil",
                 // "R7" is a "C1" (its reference in other letters), "R8" a "C2".
                 "(compInst \"R7\" (compRef \"c1\") (compValue \"10k of R7\"))\r\n"
                 "(compInst \"R8\" (compRef \"C2\") (compValue \"10k of R8\"))\r\n"),
            board);
  tree.Root->LayerTable()[1].HostLayer = 1;
  tree.Root->Translate();

  std::vector<const tarvex::Object*> components;
  for (tarvex::THandle h : Host().ContainerObjects(board))
    if (Host().GetObject(h)->Kind == tarvex::kComponent) components.push_back(Host().GetObject(h));
  ASSERT_EQ(components.size(), 2u);
  const tarvex::Object& component = *components[0];
  std::vector<std::string> names;
  for (tarvex::THandle h : component.Primitives) names.push_back(Host().GetObject(h)->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"A", "K", "SYSPAD3"}));
  // The later "RefDes" attribute (any case) gives the designator's place,
  // justified upper left: lowered by the text's height.
  const tarvex::Object& designator = *Host().GetObject(component.DesignatorText);
  EXPECT_EQ(designator.Text, "R7");
  EXPECT_EQ(designator.X, 30000);
  tarvex::Rect r;
  ASSERT_TRUE(Host().BoundingRectangle(designator.Handle, r));
  EXPECT_EQ(designator.Y, 40000 - (r.Y2 - r.Y1));
  EXPECT_EQ(designator.Layer, tarvex::kTopOverlay);
  EXPECT_EQ(component.DesignatorVisible, 1);
  const tarvex::Object& comment = *Host().GetObject(component.CommentText);
  EXPECT_EQ(comment.Text, "10k of R7");
  EXPECT_EQ(comment.X, 50000);
  EXPECT_EQ(comment.Rotation, 90.0);
  EXPECT_EQ(comment.Mirrored, 1);
  // A definition without an attached pattern renames nothing.
  names.clear();
  for (tarvex::THandle h : components[1]->Primitives) names.push_back(Host().GetObject(h)->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(Host().GetObject(components[1]->CommentText)->Text, "10k of R8");
}

}  // namespace

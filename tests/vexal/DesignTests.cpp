// The design section through the loaded plug-in: clearance rules of the
// board and of layers, plane nets, the layer table's range, and what of the
// design never reaches the board.
#include "tests/vexal/DesignTestsSupport.h"

namespace {

using namespace designtest;
using tarvex::Subscope;

// A rule scope as the host holds it.
std::vector<Subscope> BoardScope() { return {Subscope{}}; }
std::vector<Subscope> LayerKindScope(uint8_t layer, uint8_t kind) {
  Subscope onLayer;
  onLayer.Kind = 2;  // skLayer
  onLayer.LayerId = layer;
  Subscope ofKind;
  ofKind.Kind = 3;  // skObjectKind
  ofKind.KindId = kind;
  return {onLayer, ofKind};
}

// Adds a clearance rule with the given scopes and gap to the board.
tarvex::THandle AddRule(tarvex::THandle board, std::vector<Subscope> scope1, std::vector<Subscope> scope2,
                        int32_t gap) {
  using Create_t = uint32_t(PCBAPI_CALL*)(uint8_t);
  using Add_t = int32_t(PCBAPI_CALL*)(uint32_t, uint32_t);
  const tarvex::THandle rule = HostFunction<Create_t>("PcbApi_CreateRuleObject")(0);
  tarvex::Object* o = Host().GetObjectMutable(rule);
  o->Scopes[0] = std::move(scope1);
  o->Scopes[1] = std::move(scope2);
  o->ClearanceGap = gap;
  HostFunction<Add_t>("PcbApi_AddObjectToContainer")(board, rule);
  return rule;
}

std::string LayerDef(const std::string& name, int number, const std::string& rest = "") {
  return "(layerDef \"" + name + "\" (layerNum " + std::to_string(number) + ") (layerType Signal) " + rest + ")\r\n";
}

std::string ClearanceAttr(const std::string& name, const std::string& value, const std::string& units = "") {
  return "(attr \"" + name + "\" \"" + value + "\"" + (units.empty() ? "" : " (constraintUnits " + units + ")") + ")";
}

class Design : public ::testing::Test {};

TEST_F(Design, TheSmallestClearanceGoesToANewBoardRuleAndLargerOnesBecomeLayerRules) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile("", LayerDef("Top", 1, ClearanceAttr("PadToPadClearance", "8", "mil")) +
                                       LayerDef("Bottom", 2, ClearanceAttr("padtopadclearance", "10", "MIL") +
                                                                 ClearanceAttr("ViaToLineClearance", "12", "mil") +
                                                                 ClearanceAttr("OtherClearance", "1")))));
  const auto rules = ObjectsOf(board, tarvex::kRule);
  ASSERT_EQ(rules.size(), 3u);
  // The board had no default rule: it gets one, scoped to the board.
  EXPECT_EQ(rules[0]->Scopes[0], BoardScope());
  EXPECT_EQ(rules[0]->Scopes[1], BoardScope());
  EXPECT_EQ(rules[0]->ClearanceGap, Mil(8));
  EXPECT_EQ(rules[1]->ClearanceGap, Mil(10));
  EXPECT_EQ(rules[1]->Scopes[0], LayerKindScope(tarvex::kBottomLayer, 4));
  EXPECT_EQ(rules[1]->Scopes[1], LayerKindScope(tarvex::kBottomLayer, 4));
  EXPECT_EQ(rules[2]->Scopes[0], LayerKindScope(tarvex::kBottomLayer, 16));
  EXPECT_EQ(rules[2]->Scopes[1], LayerKindScope(tarvex::kBottomLayer, 2));
  EXPECT_EQ(Host().LiveIterators(), 0);
}

TEST_F(Design, WithoutConstraintUnitsALayerValueIsReadInMillimetres) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile("", LayerDef("Top", 1, ClearanceAttr("PadToPadClearance", "8")))));
  const auto rules = ObjectsOf(board, tarvex::kRule);
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(rules[0]->ClearanceGap, Mil(8));
  EXPECT_EQ(rules[1]->ClearanceGap, Mm(8));
}

TEST_F(Design, TheMinimumIsReadInFileUnitsAndTheLayerRuleInConstraintUnits) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile("", LayerDef("Top", 1, ClearanceAttr("LineToLineClearance", "0.2", "mil")), "mm")));
  const auto rules = ObjectsOf(board, tarvex::kRule);
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(rules[0]->ClearanceGap, Mm(0.2));
  EXPECT_EQ(rules[1]->ClearanceGap, Mil(0.2));
  EXPECT_EQ(rules[1]->Scopes[0], LayerKindScope(tarvex::kTopLayer, 2));
  EXPECT_EQ(rules[1]->Scopes[1], LayerKindScope(tarvex::kTopLayer, 2));
}

TEST_F(Design, InchesAndUnitsInTheValueText) {
  struct Case {
    std::string Units, Value, FileUnits;
    int32_t Minimum;
    int32_t LayerGap;  // -1: no layer rule
  };
  const std::vector<Case> cases{
      {"inch", "0.01", "mil", Mil(0.01), Mil(10)},  // the minimum reads file units
      {"inch", "0.006", "in", Mil(6), -1},
      {"", "6mil", "mm", Mil(6), -1},
      {"mil", "0.1mm", "mil", Mm(0.1), -1},
      {"mm", "abc", "mil", 0, -1},  // a text beginning with a letter is 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Value + " " + c.Units + " " + c.FileUnits);
    const auto board = NewBoard();
    ASSERT_TRUE(Import(VexalFile("", LayerDef("Top", 1, ClearanceAttr("ViaToViaClearance", c.Value, c.Units)),
                                 c.FileUnits)));
    const auto rules = ObjectsOf(board, tarvex::kRule);
    ASSERT_EQ(rules.size(), c.LayerGap < 0 ? 1u : 2u);
    EXPECT_EQ(rules[0]->ClearanceGap, c.Minimum);
    if (c.LayerGap >= 0) {
      EXPECT_EQ(rules[1]->ClearanceGap, c.LayerGap);
    }
  }
}

TEST_F(Design, TheFirstQualifyingBoardRuleTakesTheMinimumAndNoRuleIsAdded) {
  const auto board = NewBoard();
  const auto layerRule = AddRule(board, LayerKindScope(1, 4), BoardScope(), 1);
  const auto twoScopes = AddRule(board, BoardScope(), {Subscope{}, Subscope{}}, 2);
  const auto boardOnly = AddRule(board, BoardScope(), {}, 3);
  const auto later = AddRule(board, BoardScope(), BoardScope(), 4);
  ASSERT_TRUE(Import(VexalFile("", LayerDef("Top", 1))));
  EXPECT_EQ(ObjectsOf(board, tarvex::kRule).size(), 4u);
  EXPECT_EQ(Host().GetObject(layerRule)->ClearanceGap, 1);
  EXPECT_EQ(Host().GetObject(twoScopes)->ClearanceGap, 2);
  // Without any clearance attribute the minimum stays 100000 mil.
  EXPECT_EQ(Host().GetObject(boardOnly)->ClearanceGap, Mil(100000));
  EXPECT_EQ(Host().GetObject(later)->ClearanceGap, 4);
  EXPECT_EQ(Host().LiveIterators(), 0);
}

TEST_F(Design, PlaneLayersGetTheirLastNetNameAndOthersKeepTheHostsNet) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile(
      "", "(layerDef \"Ground\" (layerNum 3) (layerType PLANE) (netNameRef \"A\") (planeNetNameRef \"GND\"))\r\n"
          "(layerDef \"Power\" (layerNum 4) (layerType Plane))\r\n"
          "(layerDef \"Plane1\" (layerNum 5) (layerType Signal) (netNameRef \"X\"))\r\n")));
  const tarvex::Document* doc = Host().GetDocument(board);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->Layers[tarvex::kInternalPlane1].NetName, "GND");
  EXPECT_EQ(doc->Layers[tarvex::kInternalPlane1 + 1].NetName, "");
  EXPECT_EQ(doc->Layers[tarvex::kInternalPlane1 + 2].NetName, "(No Net)");
}

TEST_F(Design, LayerNumber100IsTheLastOneThatCanBeMapped) {
  const auto board = NewBoard();
  const std::string rule = ClearanceAttr("PadToPadClearance", "5", "mil") + ClearanceAttr("ViaToViaClearance", "9", "mil");
  ASSERT_TRUE(Import(VexalFile("", LayerDef("Top", 100) + LayerDef("Bottom", 101, rule) + LayerDef("Top Silk", -1, rule) +
                                       "(layerContents (layerNumRef 100) (line (pt 0 0) (pt 10 0)))\r\n"
                                       "(layerContents (layerNumRef 101) (line (pt 0 0) (pt 20 0)))\r\n"
                                       "(layerContents (layerNumRef -1) (line (pt 0 0) (pt 30 0)))\r\n")));
  const auto tracks = ObjectsOf(board, tarvex::kTrack);
  ASSERT_EQ(tracks.size(), 1u);
  EXPECT_EQ(tracks[0]->Layer, tarvex::kTopLayer);
  EXPECT_EQ(tracks[0]->X2, Mil(10));
  // Layers beyond the table still lower the board's minimum but get no rules.
  const auto rules = ObjectsOf(board, tarvex::kRule);
  ASSERT_EQ(rules.size(), 1u);
  EXPECT_EQ(rules[0]->ClearanceGap, Mil(5));
}

TEST_F(Design, TheHeaderTitleSheetAndGlobalAttributesNeverReachTheBoard) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile(
      "",
      "(pcbDesignHeader (workspaceSize 100 100) (gridDfns (grid \"1\") (relOrigin (pt 1 1)))\r\n"
      "  (designInfo (designTitle \"t\") (fieldSet \"f\" (fieldDef \"a\" \"b\") (noteDef 1 \"n\" circle))))\r\n"
      "(layerDef \"Top\" (layerNum 1) (titleSheet (titleSheetNameDef \"s\") (border (width 5))\r\n"
      "  (zones (horizontalZones 4 (numDirection Descending)))\r\n"
      "  (pcbDrawObj (line (pt 0 0) (pt 5 5)) (text (pt 0 0) \"x\")) (schDrawObj (wire (pt 0 0)))))\r\n"
      "(globalAttrs (attr \"RefDes\" \"U1\") (line (pt 0 0) (pt 1 1)))\r\n")));
  EXPECT_TRUE(ObjectsOf(board, tarvex::kTrack).empty());
  EXPECT_TRUE(ObjectsOf(board, tarvex::kText).empty());
  const auto lines = ReportLines();
  // The line among the global attributes and the group of the schematic
  // drawing are each skipped with a warning.
  int skips = 0;
  for (const auto& l : lines) skips += l.rfind("Skipping Token", 0) == 0;
  EXPECT_EQ(skips, 2);
}

TEST_F(Design, MultiLayerObjectsStandOnTheMultiLayerAndMetafilesAreSkipped) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile("", LayerDef("Top", 1) +
                                       "(layerContents (layerNumRef 1) (line (pt 0 0) (pt 9 9)))\r\n"
                                       "(multiLayer (metafile (x 1)) (line (pt 0 0) (pt 1 1)) (via (pt 5 5)))\r\n")));
  // Rules first, then the multi-layer objects, then each layer's, whatever the file's order.
  std::vector<uint8_t> kinds;
  for (tarvex::THandle h : Host().ContainerObjects(board)) kinds.push_back(Host().GetObject(h)->Kind);
  EXPECT_EQ(kinds, (std::vector<uint8_t>{tarvex::kRule, tarvex::kTrack, tarvex::kVia, tarvex::kTrack}));
  const auto tracks = ObjectsOf(board, tarvex::kTrack);
  ASSERT_EQ(tracks.size(), 2u);
  EXPECT_EQ(tracks[0]->Layer, tarvex::kMultiLayer);
  EXPECT_EQ(tracks[1]->Layer, tarvex::kTopLayer);
  int skips = 0;
  for (const auto& l : ReportLines()) skips += l.rfind("Skipping Token", 0) == 0;
  EXPECT_EQ(skips, 1);  // the metafile
}

TEST_F(Design, TheExampleBoardImportsWhole) {
  std::ifstream in(std::string(PCBIMPORT_SOURCE_DIR) + "/examples/vexal/small-board.pcb", std::ios::binary);
  ASSERT_TRUE(in.good());
  std::stringstream content;
  content << in.rdbuf();
  const auto board = NewBoard();
  ASSERT_TRUE(Import(content.str(), "small-board.pcb"));
  const auto components = ObjectsOf(board, tarvex::kComponent);
  ASSERT_EQ(components.size(), 2u);
  for (const auto* c : components) {
    EXPECT_EQ(c->Pattern, "RES400");
    EXPECT_EQ(ObjectsOf(c->Handle, tarvex::kPad).size(), 2u);
    EXPECT_EQ(ObjectsOf(c->Handle, tarvex::kTrack).size(), 2u);
  }
  EXPECT_EQ(Host().GetObject(components[0]->DesignatorText)->Text, "R1");
  EXPECT_EQ(components[1]->Layer, tarvex::kBottomLayer);
  EXPECT_EQ(ObjectsOf(board, tarvex::kVia).size(), 1u);
  EXPECT_EQ(ObjectsOf(board, tarvex::kPad).size(), 1u);
  EXPECT_EQ(ObjectsOf(board, tarvex::kTrack).size(), 1u);
  EXPECT_EQ(ObjectsOf(board, tarvex::kArc).size(), 1u);
  const auto texts = ObjectsOf(board, tarvex::kText);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1]->Text, "REV A");
  std::vector<const tarvex::Object*> rules, rooms;
  for (const auto* r : ObjectsOf(board, tarvex::kRule)) {
    if (r->RuleKind == 0) rules.push_back(r);   // rkClearance
    if (r->RuleKind == 22) rooms.push_back(r);  // rkRoom
  }
  // The netlist's hole-to-hole rule, the board's and the top layer's.
  ASSERT_EQ(rules.size(), 3u);
  EXPECT_EQ(rules[0]->ClearanceGap, Mil(20));
  EXPECT_EQ(rules[1]->ClearanceGap, Mil(10));
  EXPECT_EQ(rules[2]->ClearanceGap, Mil(12));
  EXPECT_EQ(Host().GetDocument(board)->Layers[tarvex::kInternalPlane1].NetName, "GND");
  // The netlist: its nets carry every pad of the components (R1 is a
  // "CAP_POL" whose pads are "+" and "-"), the via and the track.
  const auto nets = ObjectsOf(board, tarvex::kNet);
  ASSERT_EQ(nets.size(), 3u);
  std::vector<std::string> padNets;
  for (const auto* c : components)
    for (const auto* pad : ObjectsOf(c->Handle, tarvex::kPad))
      padNets.push_back(pad->Name + ":" + (pad->Net ? Host().GetObject(pad->Net)->Name : ""));
  EXPECT_EQ(padNets, (std::vector<std::string>{"+:VCC", "-:GND", "1:SIG", "2:GND"}));
  EXPECT_EQ(Host().GetObject(components[0]->CommentText)->Text, "10u");
  EXPECT_EQ(Host().GetObject(components[1]->CommentText)->Text, "4k7");
  EXPECT_EQ(ObjectsOf(board, tarvex::kVia)[0]->Net, nets[0]->Handle);
  EXPECT_EQ(ObjectsOf(board, tarvex::kTrack)[0]->Net, nets[0]->Handle);
  std::vector<uint8_t> netRuleKinds;
  for (const auto* r : ObjectsOf(board, tarvex::kRule))
    if (!r->Scopes[0].empty() && r->Scopes[0][0].Kind == 8) netRuleKinds.push_back(r->RuleKind);  // skNet
  EXPECT_EQ(netRuleKinds, (std::vector<uint8_t>{2, 11, 2, 3}));  // width, routing via; width, length
  // Five pours (one of each type), a copper tie (of the net whose "TieNet"
  // is its value) and a plane; a room with its class and one for all
  // components.
  std::vector<uint8_t> hatchStyles;
  std::vector<std::string> polygonNets;
  for (const auto* p : ObjectsOf(board, tarvex::kPolygon)) {
    hatchStyles.push_back(p->HatchStyle);
    polygonNets.push_back(p->Net ? Host().GetObject(p->Net)->Name : "");
  }
  EXPECT_EQ(hatchStyles, (std::vector<uint8_t>{0, 1, 0, 3, 2, 0, 0}));
  EXPECT_EQ(polygonNets, (std::vector<std::string>{"GND", "GND", "GND", "", "", "GND", "GND"}));
  ASSERT_EQ(rooms.size(), 2u);
  EXPECT_EQ(rooms[0]->Name, "RESISTORS");
  EXPECT_EQ(rooms[1]->ConfinementLayer, tarvex::kBottomLayer);
  const auto classes = ObjectsOf(board, tarvex::kClass);
  ASSERT_FALSE(classes.empty());
  EXPECT_EQ(classes.back()->Name, "RCCRESISTORS");
  EXPECT_EQ(classes.back()->Members, (std::vector<std::string>{"R1", "R2"}));
  EXPECT_FALSE(ReportLines("small-board.pcb").empty());
  for (const auto& l : ReportLines("small-board.pcb")) EXPECT_EQ(l.rfind("Skipping Token", 0), std::string::npos) << l;
}

TEST_F(Design, TheExampleBoardCutAnywhereImportsWhatItHolds) {
  std::ifstream in(std::string(PCBIMPORT_SOURCE_DIR) + "/examples/vexal/small-board.pcb", std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  const std::string whole = content.str();
  ASSERT_GT(whole.size(), 1000u);
  size_t previousObjects = 0;
  for (size_t cut = whole.find("(pcbDesign"); cut <= whole.size(); cut += 23) {
    SCOPED_TRACE(cut);
    const auto board = NewBoard();
    ASSERT_TRUE(Import(whole.substr(0, cut), "cut-board.pcb"));
    EXPECT_EQ(Host().LiveIterators(), 0);
    // A longer piece of the same file never makes fewer objects (rules
    // aside: a clearance value cut short changes which rules are needed).
    const size_t objects = Host().ContainerObjects(board).size() - ObjectsOf(board, tarvex::kRule).size();
    EXPECT_GE(objects, previousObjects);
    previousObjects = objects;
  }
  // Three nets and two net classes of the netlist; two components, a via, a
  // pad, a track, an arc, two texts, seven polygons and a room's class.
  EXPECT_EQ(previousObjects, 21u);
}

}  // namespace

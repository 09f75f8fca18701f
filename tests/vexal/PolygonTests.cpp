// Copper pours, planes, filled polygons, copper ties and rooms through the
// loaded plug-in: the host polygons with their vertex records, the nets they
// join, the messages the host is sent about them, and the room rules with
// their component classes and confinements.
#include "tests/vexal/DesignTestsSupport.h"

namespace {

using namespace designtest;
using tarvex::Subscope;

// File layers 1 "Top", 2 "Plane1" (mapped by the dialog's defaults to
// internal plane 3), 3 "Bottom" and 4 "Unmapped" (not imported).
const std::string kLayers =
    "(layerDef \"Top\" (layerNum 1) (layerType Signal))\r\n"
    "(layerDef \"Plane1\" (layerNum 2) (layerType NonSignal))\r\n"
    "(layerDef \"Bottom\" (layerNum 3) (layerType Signal))\r\n"
    "(layerDef \"Unmapped\" (layerNum 4) (layerType Signal))\r\n";
constexpr uint8_t kInternalPlane3 = tarvex::kInternalPlane1 + 2;

std::string OnLayer(int number, const std::string& objects) {
  return "(layerContents (layerNumRef " + std::to_string(number) + ")\r\n" + objects + ")\r\n";
}

// A file with a netlist section between the library and the design.
std::string WithNetlist(const std::string& netlist, const std::string& design, const std::string& units = "mil") {
  return "VEXAL_ASCII \"t.pcb\"\r\n(asciiHeader (asciiVersion 3 0) (fileUnits " + units + "))\r\n" +
         "(library \"lib\")\r\n(netlist \"n\"\r\n" + netlist + "\r\n)\r\n(pcbDesign \"d\"\r\n" + design + "\r\n)\r\n";
}

std::string Points(const std::vector<std::pair<int, int>>& points) {
  std::string text;
  for (const auto& [x, y] : points) text += "(pt " + std::to_string(x) + " " + std::to_string(y) + ") ";
  return text;
}

const std::vector<std::pair<int, int>> kSquare{{0, 0}, {100, 0}, {100, 50}, {0, 50}};

// The first n vertex records of a polygon as points.
std::vector<std::pair<int32_t, int32_t>> VertexPoints(const tarvex::Object& polygon, size_t n) {
  std::vector<std::pair<int32_t, int32_t>> points;
  for (size_t i = 0; i < n && i < polygon.Vertices.size(); ++i) {
    // Copies: the records are packed, their fields may not be bound to references.
    const int32_t x = polygon.Vertices[i].X, y = polygon.Vertices[i].Y;
    points.emplace_back(x, y);
  }
  return points;
}

// Vertex record i of a polygon as a point.
std::pair<int32_t, int32_t> VertexAt(const tarvex::Object& polygon, size_t i) {
  return VertexPoints(polygon, i + 1).back();
}

std::vector<std::pair<int32_t, int32_t>> InMil(const std::vector<std::pair<int, int>>& points) {
  std::vector<std::pair<int32_t, int32_t>> result;
  for (const auto& [x, y] : points) result.emplace_back(Mil(x), Mil(y));
  return result;
}

int SkipWarnings(const std::vector<std::string>& lines) {
  int skips = 0;
  for (const auto& l : lines) skips += l.rfind("Skipping Token", 0) == 0;
  return skips;
}

// The event messages about polygons: (code, sender, data) of codes 2 and 3.
std::vector<tarvex::EventMessage> PolygonEvents() {
  std::vector<tarvex::EventMessage> events;
  for (const auto& e : Host().Events())
    if (e.Code == 2 || e.Code == 3) events.push_back(e);
  return events;
}

TEST(Pours, PourTypesGiveHatchStyleAndGridIslandRemovalAndPlaneFlag) {
  struct Case {
    std::string Type, Islands;
    int Layer;
    uint8_t HatchStyle;
    int32_t GridSize;
    uint8_t RemoveIslands, HostLayer, OnInternalPlane;
    // The host gives a new polygon hatch style 7, island removal and the
    // internal-plane flag.
    bool HostSetsFlags = false;
  };
  const std::vector<Case> cases{
      {"Hatch45Pour", "None", 1, 1, Mil(20), 0, tarvex::kTopLayer, 0},
      {"SolidPour", "Interior", 1, 0, Mil(8), 1, tarvex::kTopLayer, 0},
      {"Hatch90Pour", "Unconnected", 3, 0, Mil(20), 1, tarvex::kBottomLayer, 0},
      {"VertPour", "Area \"12\"", 2, 2, Mil(20), 1, kInternalPlane3, 1},
      {"horizpour", "none", 2, 3, Mil(20), 0, kInternalPlane3, 1},
      // No type read: a solid pour; an unknown word changes nothing.
      {"", "Sideways", 1, 0, Mil(8), 0, tarvex::kTopLayer, 0},
      // Off the internal planes the host's flag stays; the rest is set.
      {"Hatch90Pour", "None", 3, 0, Mil(20), 0, tarvex::kBottomLayer, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Type + " " + c.Islands + (c.HostSetsFlags ? " host flags" : ""));
    const auto board = NewBoard();
    if (c.HostSetsFlags) {
      tarvex::Defaults& d = Host().GetDefaults();
      d.PolygonHatchStyle = 7;
      d.PolygonRemoveIslands = d.PolygonOnInternalPlane = 1;
    }
    const std::string type = c.Type.empty() ? "" : "(pourType " + c.Type + ") ";
    ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(c.Layer, "(copperPour95 " + type +
                                                                    "(width 8) (pourSpacing 20) (islandRemoval " +
                                                                    c.Islands + ") (fillPoly " + Points(kSquare) +
                                                                    "))"))));
    const auto polygons = ObjectsOf(board, tarvex::kPolygon);
    ASSERT_EQ(polygons.size(), 1u);
    const tarvex::Object& p = *polygons[0];
    EXPECT_EQ(p.Layer, c.HostLayer);
    EXPECT_EQ(p.TrackWidth, Mil(8));
    EXPECT_EQ(p.GridSize, c.GridSize);
    EXPECT_EQ(p.HatchStyle, c.HatchStyle);
    EXPECT_EQ(p.RemoveIslands, c.RemoveIslands);
    EXPECT_EQ(p.OnInternalPlane, c.OnInternalPlane);
    EXPECT_EQ(p.PolyOption, 1);
    EXPECT_EQ(p.Net, 0u);
  }
}

TEST(Pours, TheOutlineWritesOneRecordPerPointAndClosesWithTheFirst) {
  const auto board = NewBoard();
  const auto net = AddNet(board, "GND");
  // Vertices, thermals, islands and the pour outline are read and dropped
  // without disturbing what follows them; a later outline replaces an
  // earlier one.
  ASSERT_TRUE(Import(VexalFile(
      "", kLayers + OnLayer(1, "(copperPour (fillPoly (pt 9 9) (pt 8 8) (pt 7 7))\r\n"
                               "  (vertex (pt 1 1) (arc (pt 2 2)) (width 4) ((( deep ))))\r\n"
                               "  (thermal (pt 0 0) (pt 1 1) (pt 2 2) (pt 3 3))\r\n"
                               "  (copperPourIsland (islandOutline (pt 0 0) (pt 1 0)) (copperPourIslandCutout "
                               "(pt 0 0)) (thermal (pt 5 5) (pt 6 6)))\r\n"
                               "  (pourOutline (pt 0 0) (pt 5 5))\r\n"
                               "  (pcbPoly " + Points(kSquare) + " (rotation 45))\r\n"
                               "  (netNameRef \"GND\") (pourBackoff 5) (pourSmoothness 2) (useDesignRules False)\r\n"
                               "  (thermalType Therm45) (thermalWidth 3) (thermalSpokes 4) (width 12))"))));
  const auto polygons = ObjectsOf(board, tarvex::kPolygon);
  ASSERT_EQ(polygons.size(), 1u);
  const tarvex::Object& p = *polygons[0];
  EXPECT_EQ(p.VertexCount, 4);
  auto expected = InMil(kSquare);
  expected.push_back(expected.front());
  EXPECT_EQ(VertexPoints(p, 5), expected);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(int{p.Vertices[i].Kind}, 0) << i;
  // The records after the closing one stay as the host had them.
  EXPECT_EQ(VertexPoints(p, 6).back(), std::make_pair(0, 0));
  EXPECT_EQ(p.TrackWidth, Mil(12));
  EXPECT_EQ(p.GridSize, Mil(12));
  EXPECT_EQ(p.Net, net);
  EXPECT_EQ(Host().ContainerObjects(net), std::vector<tarvex::THandle>{p.Handle});
  EXPECT_EQ(SkipWarnings(ReportLines()), 0);
}

TEST(Pours, ANetTheBoardLacksOrNamesInAnotherCaseLeavesThePourWithoutANet) {
  const auto board = NewBoard();
  AddNet(board, "GND");
  ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(1, "(copperPour (netNameRef \"gnd\") (fillPoly " +
                                                             Points(kSquare) + "))\r\n(copperPour (netNameRef "
                                                             "\"VCC\") (fillPoly " + Points(kSquare) + "))"))));
  const auto polygons = ObjectsOf(board, tarvex::kPolygon);
  ASSERT_EQ(polygons.size(), 2u);
  EXPECT_EQ(polygons[0]->Net, 0u);
  EXPECT_EQ(polygons[1]->Net, 0u);
}

TEST(Polygons, PoursAndFilledPolygonsAreCollectedAndAnnouncedPlanesOnlyAnnounced) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(1, "(copperPour (fillPoly " + Points(kSquare) +
                                                             "))\r\n(plane (planeOutline " + Points(kSquare) +
                                                             "))\r\n(pcbPoly " + Points(kSquare) + ")"))));
  const auto polygons = ObjectsOf(board, tarvex::kPolygon);
  ASSERT_EQ(polygons.size(), 3u);
  const auto pour = polygons[0]->Handle, plane = polygons[1]->Handle, poly = polygons[2]->Handle;
  // Message 3 as each is made; after the design 2 (from the board) and 3 for
  // each collected one, in the order collected.
  const std::vector<tarvex::EventMessage> expected{
      {0, 0, 3, pour}, {0, 0, 3, plane}, {0, 0, 3, poly},
      {board, 0, 2, pour}, {0, 0, 3, pour}, {board, 0, 2, poly}, {0, 0, 3, poly}};
  EXPECT_EQ(PolygonEvents(), expected);
}

TEST(Planes, APlaneIsOnAnInternalPlaneWhateverItsLayerAndKeepsTheHostsHatching) {
  const auto board = NewBoard();
  const auto net = AddNet(board, "PWR");
  Host().GetDefaults().PolygonHatchStyle = 2;
  Host().GetDefaults().PolygonRemoveIslands = 1;
  ASSERT_TRUE(Import(VexalFile(
      "", kLayers + OnLayer(1, "(plane (netNameRef \"PWR\") (width 7) (pcbPoly " + Points(kSquare) + "))") +
              OnLayer(2, "(planeObj (planeOutline " + Points({{1, 2}, {3, 4}, {5, 6}}) + "))") +
              OnLayer(3, "(plane (width 5))") + OnLayer(4, "(plane (planeOutline (pt 0 0) (pt 1 1)))"))));
  const auto polygons = ObjectsOf(board, tarvex::kPolygon);
  ASSERT_EQ(polygons.size(), 3u);  // nothing on the unmapped layer
  const tarvex::Object& top = *polygons[0];
  EXPECT_EQ(top.Layer, tarvex::kTopLayer);
  EXPECT_EQ(top.OnInternalPlane, 1);
  EXPECT_EQ(top.PolyOption, 1);
  EXPECT_EQ(top.TrackWidth, Mil(7));
  // The host's grid, hatching and island removal.
  EXPECT_EQ(top.GridSize, Mil(20));
  EXPECT_EQ(top.HatchStyle, 2);
  EXPECT_EQ(top.RemoveIslands, 1);
  EXPECT_EQ(top.Net, net);
  EXPECT_EQ(top.VertexCount, 4);
  const tarvex::Object& inner = *polygons[1];
  EXPECT_EQ(inner.Layer, kInternalPlane3);
  EXPECT_EQ(inner.VertexCount, 3);
  EXPECT_EQ(VertexPoints(inner, 4), InMil({{1, 2}, {3, 4}, {5, 6}, {1, 2}}));
  // Without points the host's vertices stay.
  const tarvex::Object& empty = *polygons[2];
  EXPECT_EQ(empty.Layer, tarvex::kBottomLayer);
  EXPECT_EQ(empty.VertexCount, 0);
  EXPECT_EQ(VertexPoints(empty, 1), InMil({{0, 0}}));
  EXPECT_EQ(empty.TrackWidth, Mil(5));
}

TEST(Polygons, AFilledPolygonHasTenMilHatchingNoIslandRemovalAndNoNetOfItsOwn) {
  const auto board = NewBoard();
  AddNet(board, "GND");
  Host().GetDefaults().PolygonHatchStyle = 3;
  Host().GetDefaults().PolygonRemoveIslands = 1;
  ASSERT_TRUE(Import(VexalFile(
      "", kLayers + OnLayer(2, "(pcbPoly (pt 0 0) (pcbPoly (pt 10 0) (pt 10 10)) (pt 0 10) (netNameRef \"GND\")\r\n"
                               "  (isFlipped True) (fillets (chordHeight 1) (filletDesc (pt 1 1) (radius 2))))") +
              OnLayer(1, "(polyCutOut " + Points(kSquare) + ") (polyKeepOut " + Points(kSquare) +
                             " (isCopperTie True))\r\n(refPoint (pt 1 1)) (designView (pt 0 0) (scaleFactor 2) "
                             "(title \"v\") (layerList (layerNumRef 1) (layerNumRef 2)) (designViewRegion "
                             "(pt 0 0) (pt 9 9)))"))));
  const auto polygons = ObjectsOf(board, tarvex::kPolygon);
  ASSERT_EQ(polygons.size(), 1u);  // cut-outs, keep-outs, reference points and views make nothing
  const tarvex::Object& p = *polygons[0];
  EXPECT_EQ(p.Layer, kInternalPlane3);
  EXPECT_EQ(p.OnInternalPlane, 1);
  EXPECT_EQ(p.GridSize, Mil(10));
  EXPECT_EQ(p.TrackWidth, Mil(10));
  EXPECT_EQ(p.RemoveIslands, 0);
  EXPECT_EQ(p.HatchStyle, 3);  // the host's
  EXPECT_EQ(p.PolyOption, 1);
  EXPECT_EQ(p.Net, 0u);
  // The points of the inner "pcbPoly" are the polygon's, in file order.
  EXPECT_EQ(p.VertexCount, 4);
  EXPECT_EQ(VertexPoints(p, 5), InMil({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}));
  EXPECT_EQ(Host().ContainerObjects(board).size(), 3u);  // with the board's clearance rule and the net
  EXPECT_EQ(SkipWarnings(ReportLines()), 0);
}

TEST(Polygons, NothingIsMadeOnALayerThatIsNotImportedOrFromAnOutlineWithoutPoints) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile(
      "", kLayers + OnLayer(4, "(copperPour (fillPoly " + Points(kSquare) + ")) (pcbPoly " + Points(kSquare) + ")") +
              OnLayer(1, "(pcbPoly (netNameRef \"X\")) (pcbPoly (isCopperTie True) (tieNetValue \"T\"))"))));
  EXPECT_TRUE(ObjectsOf(board, tarvex::kPolygon).empty());
  EXPECT_TRUE(PolygonEvents().empty());
  // A pour with an empty outline is a pour without an outline: made, with
  // the host's vertices.
  NewBoard();
  ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(1, "(copperPour (fillPoly)) (copperPour (width 3))"))));
  const auto pours = ObjectsOf(Host().CurrentBoard(), tarvex::kPolygon);
  ASSERT_EQ(pours.size(), 2u);
  for (const auto* p : pours) EXPECT_EQ(p->VertexCount, 0);
}

TEST(Polygons, AnOutlineOfMoreThan500PointsKeepsTheFirst500AndTheReportSaysWhatWasLeftOut) {
  struct Case {
    std::string Group;  // the object, with %s where its points go
    size_t Count;
    std::string Units;
    std::string Warning;  // empty: none
  };
  const std::vector<Case> cases{
      {"(pcbPoly %s)", 500, "mil", ""},
      {"(pcbPoly %s)", 501, "mil",
       "Polygon starting at:(3mil;0mil) has 501 points, the host holds 500: the last 1 points were not imported"},
      {"(copperPour (fillPoly %s))", 620, "mm",
       "Polygon starting at:(3mm;0mm) has 620 points, the host holds 500: the last 120 points were not imported"},
      {"(plane (planeOutline %s))", 700, "in",
       "Polygon starting at:(3000mil;0mil) has 700 points, the host holds 500: the last 200 points were not "
       "imported"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Group + " " + std::to_string(c.Count));
    std::string points;
    for (size_t i = 0; i < c.Count; ++i) points += "(pt " + std::to_string(3 + i % 200) + " " + std::to_string(i % 7) + ") ";
    std::string group = c.Group;
    group.replace(group.find("%s"), 2, points);
    const auto board = NewBoard();
    ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(1, group), c.Units)));
    const auto polygons = ObjectsOf(board, tarvex::kPolygon);
    ASSERT_EQ(polygons.size(), 1u);
    const tarvex::Object& p = *polygons[0];
    ASSERT_EQ(p.Vertices.size(), 501u);
    EXPECT_EQ(p.VertexCount, 500);
    const auto unit = [&](int v) { return c.Units == "mm" ? Mm(v) : c.Units == "in" ? Mil(v) * 1000 : Mil(v); };
    EXPECT_EQ(VertexAt(p, 499), std::make_pair(unit(3 + 499 % 200), unit(499 % 7)));
    // The closing record repeats the first point.
    EXPECT_EQ(VertexAt(p, 500), std::make_pair(unit(3), 0));
    const auto lines = ReportLines();
    int cuts = 0;
    for (const auto& l : lines) cuts += l.rfind("Polygon starting at:", 0) == 0;
    if (c.Warning.empty()) {
      EXPECT_EQ(cuts, 0);
    } else {
      EXPECT_EQ(cuts, 1);
      EXPECT_EQ(CountLines(lines, c.Warning), 1);
    }
  }
}

TEST(Polygons, PolygonsOfAPatternDefinitionBelongToItsComponentAndItsRoomToTheBoard) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile("(patternDef \"P\" (originalName \"P\")\r\n"
                               "  (multiLayer (pad (padNum \"1\") (pt 0 0)))\r\n"
                               "  (layerContents (layerNumRef 1) (pcbPoly " + Points(kSquare) + ")\r\n"
                               "    (copperPour (fillPoly " + Points(kSquare) + ")) (room \"Inner\" (poly (pt 0 0)))))",
                               kLayers + "(multiLayer (pattern (patternRef \"P\") (refDesRef \"U1\") (pt 0 0)))\r\n")));
  const auto components = ObjectsOf(board, tarvex::kComponent);
  ASSERT_EQ(components.size(), 1u);
  const auto polygons = ObjectsOf(components[0]->Handle, tarvex::kPolygon);
  ASSERT_EQ(polygons.size(), 2u);
  EXPECT_TRUE(ObjectsOf(board, tarvex::kPolygon).empty());
  for (const auto* p : polygons) EXPECT_EQ(p->Owner, components[0]->Handle);
  // Both are collected and announced like the board's own.
  int collected = 0;
  for (const auto& e : PolygonEvents()) collected += e.Code == 2;
  EXPECT_EQ(collected, 2);
  const auto rules = ObjectsOf(board, tarvex::kRule);
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(rules[1]->Name, "Inner");
}

// ---- Copper ties ------------------------------------------------------------------------------

const std::string kTieNets =
    "(net \"A\" (attr \"TieNet\" \"t1\"))\r\n(net \"B\" (attr \"tienet\" \"T1\") (attr \"TieNet\" \"T1\"))\r\n"
    "(net \"C\" (attr \"Other\" \"T1\") (attr \"TIENET\" \"T2\"))\r\n";

TEST(CopperTies, ATieJoinsItsOneNetAndATieBetweenSeveralNetsIsSkippedWithAWarning) {
  struct Case {
    std::string Netlist;  // "-": the file has no netlist
    std::string Poly;
    std::string Units;
    std::string Net;      // of the polygon made; "-": none made
    std::string Warning;  // empty: none
  };
  const std::string tie1 = "(isCopperTie True) (tieNetValue \"T1\")";
  const std::vector<Case> cases{
      {kTieNets, tie1, "mil", "-",
       "VORTAN does not support copper ties between nets.\rSkipped import of polygon starting at:(3mil;-4.5mil),"
       "tying nets:\rA\rB\r"},
      {kTieNets, tie1, "mm", "-",
       "VORTAN does not support copper ties between nets.\rSkipped import of polygon starting at:(3mm;-4.5mm),"
       "tying nets:\rA\rB\r"},
      {kTieNets, tie1, "in", "-",
       "VORTAN does not support copper ties between nets.\rSkipped import of polygon starting at:(3000mil;-4500mil),"
       "tying nets:\rA\rB\r"},
      {kTieNets, "(isCopperTie true) (tieNetValue \"t2\")", "mil", "C", ""},
      {kTieNets, "(isCopperTie True) (tieNetValue \"T9\")", "mil", "", ""},
      {kTieNets, "(isCopperTie False) (tieNetValue \"T2\")", "mil", "", ""},
      {kTieNets, "(netNameRef \"A\")", "mil", "", ""},
      {"-", tie1, "mil", "", ""},  // without a netlist a tie has no nets
      // A net's second "TieNet" value counts too; two nets of one name are
      // both named, in netlist order.
      {kTieNets + "(net \"D\" (attr \"TieNet\" \"T3\") (attr \"TieNet\" \"T4\"))\r\n"
                  "(net \"A\" (attr \"TieNet\" \"t4\"))\r\n",
       "(isCopperTie True) (tieNetValue \"T4\")", "mil", "-",
       "VORTAN does not support copper ties between nets.\rSkipped import of polygon starting at:(3mil;-4.5mil),"
       "tying nets:\rD\rA\r"},
      {kTieNets + "(net \"D\" (attr \"TieNet\" \"T3\") (attr \"TieNet\" \"T4\"))\r\n",
       "(isCopperTie True) (tieNetValue \"t4\")", "mil", "D", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Poly + " " + c.Units + (c.Netlist == "-" ? " no netlist" : ""));
    const auto board = NewBoard();
    const std::string design = kLayers + OnLayer(1, "(pcbPoly (pt 3 -4.5) (pt 10 0) (pt 10 10) " + c.Poly + ")");
    ASSERT_TRUE(Import(c.Netlist == "-" ? VexalFile("", design, c.Units) : WithNetlist(c.Netlist, design, c.Units)));
    const auto polygons = ObjectsOf(board, tarvex::kPolygon);
    if (c.Net == "-") {
      EXPECT_TRUE(polygons.empty());
      EXPECT_TRUE(PolygonEvents().empty());
    } else {
      ASSERT_EQ(polygons.size(), 1u);
      const tarvex::Object* net = polygons[0]->Net ? Host().GetObject(polygons[0]->Net) : nullptr;
      EXPECT_EQ(net ? net->Name : "", c.Net);
      if (net) {
        EXPECT_EQ(Host().ContainerObjects(net->Handle), std::vector<tarvex::THandle>{polygons[0]->Handle});
      }
      EXPECT_EQ(polygons[0]->Owner, board);
    }
    const auto lines = ReportLines();
    if (c.Warning.empty()) {
      for (const auto& l : lines) EXPECT_EQ(l.find("copper ties"), std::string::npos) << l;
    } else {
      EXPECT_EQ(CountLines(lines, c.Warning), 1);
    }
  }
}

TEST(CopperTies, TheWarningIsCutTo255Characters) {
  std::string nets;
  for (char n : std::string("XYZ")) nets += "(net \"" + std::string(90, n) + "\" (attr \"TieNet\" \"T\"))\r\n";
  const auto board = NewBoard();
  ASSERT_TRUE(Import(WithNetlist(nets, kLayers + OnLayer(1, "(pcbPoly (pt 1 2) (isCopperTie True) (tieNetValue T))"))));
  EXPECT_TRUE(ObjectsOf(board, tarvex::kPolygon).empty());
  const std::string start =
      "VORTAN does not support copper ties between nets.\rSkipped import of polygon starting at:(1mil;2mil),"
      "tying nets:\r" + std::string(90, 'X') + "\r";
  int found = 0;
  for (const auto& l : ReportLines()) {
    if (l.rfind(start, 0) != 0) continue;
    ++found;
    EXPECT_EQ(l, (start + std::string(90, 'Y') + "\r" + std::string(90, 'Z')).substr(0, 255));
  }
  EXPECT_EQ(found, 1);
}

// ---- Rooms ------------------------------------------------------------------------------------

Subscope ClassScope(const std::string& name) {
  Subscope s;
  s.Kind = 5;  // skComponentClass
  s.Name = name;
  return s;
}

TEST(Rooms, ARoomBecomesARoomRuleForItsClassConfinedToItsOutlineOnItsSide) {
  struct Case {
    std::string Room;
    std::string ClassName;  // the rule's class
    std::vector<std::string> Members;  // of the class made; none made when empty and not RCC
    uint8_t Layer;
  };
  const std::vector<Case> cases{
      {"(room \"R1\" (roomInclusionList (refDesRef \"U1\") (refDesRef \"U2\")) (roomPlacementSide roomTop)",
       "RCCR1", {"U1", "U2"}, tarvex::kTopLayer},
      {"(room \"R2\" (roomPlacementSide roomBottom)", "All Components", {}, tarvex::kBottomLayer},
      {"(room \"R3\" (roomPlacementSide roomToporbottom)", "All Components", {}, tarvex::kTopLayer},
      {"(room \"R4\" (roomPlacementSide ROOMBOTTOM) (roomPlacementSide sideways)", "All Components", {},
       tarvex::kBottomLayer},
      {"(room \"R5\" (roomInclusionList)", "RCCR5", {}, tarvex::kTopLayer},
      {"(room \"R6\" (roomInclusionList (refDesRef \"U1\") (refDesRef \"U1\"))", "RCCR6", {"U1", "U1"},
       tarvex::kTopLayer},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Room);
    const auto board = NewBoard();
    // The other fields of a room are read and dropped without a warning.
    ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(1, c.Room +
                                                              " (roomFillPattern Hatched) (isFixed True)\r\n"
                                                              "  (roomAttrMgr (attr \"a\" \"b\"))\r\n"
                                                              "  (poly (pt 30 -5) (pt -10 40) (pt 20 10)))"))));
    const auto rules = ObjectsOf(board, tarvex::kRule);
    ASSERT_EQ(rules.size(), 2u);  // the board's clearance rule, then the room's
    const tarvex::Object& rule = *rules[1];
    EXPECT_EQ(rule.RuleKind, 22);  // rkRoom
    EXPECT_EQ(rule.Name, c.Room.substr(7, 2));
    EXPECT_EQ(rule.Scopes[0], std::vector<Subscope>{ClassScope(c.ClassName)});
    EXPECT_EQ(rule.ConfinementKind, 0);
    EXPECT_EQ(rule.ConfinementRect, (std::array<int32_t, 4>{Mil(-10), Mil(-5), Mil(30), Mil(40)}));
    EXPECT_EQ(rule.ConfinementLayer, c.Layer);
    const auto classes = ObjectsOf(board, tarvex::kClass);
    if (c.ClassName == "All Components") {
      EXPECT_TRUE(classes.empty());
    } else {
      ASSERT_EQ(classes.size(), 1u);
      EXPECT_EQ(classes[0]->Name, c.ClassName);
      EXPECT_EQ(classes[0]->MemberKind, 1);  // ckComponent
      EXPECT_EQ(classes[0]->Members, c.Members);
    }
    EXPECT_EQ(SkipWarnings(ReportLines()), 0);
  }
}

TEST(Rooms, RoomsAreMadeOnAnyLayerAndWithoutAnOutlineGetTheInsideOutRectangle) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(4, "(room \"Loose\" (roomPlacementSide roomBottom))") +
                                       "(multiLayer (room \"Empty\" (poly (isCopperTie False))))\r\n")));
  const auto rules = ObjectsOf(board, tarvex::kRule);
  ASSERT_EQ(rules.size(), 3u);
  // The multi-layer objects are translated before each layer's.
  EXPECT_EQ(rules[1]->Name, "Empty");
  EXPECT_EQ(rules[2]->Name, "Loose");
  const std::array<int32_t, 4> insideOut{Mil(50000), Mil(50000), Mil(-50000), Mil(-50000)};
  EXPECT_EQ(rules[1]->ConfinementRect, insideOut);
  EXPECT_EQ(rules[1]->ConfinementLayer, tarvex::kTopLayer);
  EXPECT_EQ(rules[2]->ConfinementRect, insideOut);
  EXPECT_EQ(rules[2]->ConfinementLayer, tarvex::kBottomLayer);
}

TEST(Rooms, ALongRoomNameIsCutToTheHostsNameLengthInItsClassName) {
  const auto board = NewBoard();
  const std::string name(260, 'n');
  ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(1, "(room \"" + name + "\" (roomInclusionList (refDesRef "
                                                                            "\"U1\")) (poly (pt 0 0)))"))));
  const auto classes = ObjectsOf(board, tarvex::kClass);
  ASSERT_EQ(classes.size(), 1u);
  EXPECT_EQ(classes[0]->Name, "RCC" + name.substr(0, 252));
  const auto rules = ObjectsOf(board, tarvex::kRule);
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(rules[1]->Scopes[0], std::vector<Subscope>{ClassScope("RCC" + name.substr(0, 252))});
  // The string reader keeps at most 255 characters of a token.
  EXPECT_EQ(rules[1]->Name, name.substr(0, 255));
}

}  // namespace

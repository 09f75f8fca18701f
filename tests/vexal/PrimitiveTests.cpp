// The drawing primitives through the loaded plug-in: arcs, lines, texts with
// their lines, styles and justification, vias and pads with their styles.
#include "tests/vexal/DesignTestsSupport.h"

namespace {

using namespace designtest;

// File layers 1 "Top", 2 "Top Silk", 3 "Bottom" (mapped by the dialog's
// defaults) and 4 "Unmapped" (not imported).
const std::string kLayers =
    "(layerDef \"Top\" (layerNum 1) (layerType Signal))\r\n"
    "(layerDef \"Top Silk\" (layerNum 2) (layerType NonSignal))\r\n"
    "(layerDef \"Bottom\" (layerNum 3) (layerType Signal))\r\n"
    "(layerDef \"Unmapped\" (layerNum 4) (layerType Signal))\r\n";

std::string OnLayer(int number, const std::string& objects) {
  return "(layerContents (layerNumRef " + std::to_string(number) + ")\r\n" + objects + ")\r\n";
}

const std::string kTextStyle =
    "(textStyleDef \"S\" (font (fontType Stroke) (fontFamily Sanserif) (fontHeight 100) (strokeWidth 7)))\r\n"
    "(textStyleDef \"NoFont\")\r\n";

TEST(Primitives, ArcsEndAtStartPlusSweepWithoutReduction) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(1,
                                                     "(arc (pt 10 20) (radius 5) (startAngle 350) (sweepAngle 20) "
                                                     "(width 3) (isFlipped True))\r\n"
                                                     "(arc (pt 0 0) (radius 1) (startAngle 10) (sweepAngle -30))"))));
  const auto arcs = ObjectsOf(board, tarvex::kArc);
  ASSERT_EQ(arcs.size(), 2u);
  EXPECT_EQ(arcs[0]->Layer, tarvex::kTopLayer);
  EXPECT_EQ(arcs[0]->X, Mil(10));
  EXPECT_EQ(arcs[0]->Y, Mil(20));
  EXPECT_EQ(arcs[0]->Radius, Mil(5));
  EXPECT_EQ(arcs[0]->StartAngle, 350.0);
  EXPECT_EQ(arcs[0]->EndAngle, 370.0);
  EXPECT_EQ(arcs[0]->Width, Mil(3));
  EXPECT_EQ(arcs[1]->EndAngle, -20.0);
}

TEST(Primitives, LinesRunFromTheFirstToTheLastPointAndJoinTheirNetByExactName) {
  const auto board = NewBoard();
  const auto net = AddNet(board, "N1");
  ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(3,
                                                     "(line (pt 1 2) (pt 3 4) (pt 5 6) (netNameRef \"N1\"))\r\n"
                                                     "(line (pt 0 0) (pt 1 1) (width 25) (netNameRef \"n1\") "
                                                     "(endStyle RoundedEndStyle) (style DashedLine))"))));
  const auto tracks = ObjectsOf(board, tarvex::kTrack);
  ASSERT_EQ(tracks.size(), 2u);
  EXPECT_EQ(tracks[0]->Layer, tarvex::kBottomLayer);
  EXPECT_EQ(std::vector<int32_t>({tracks[0]->X, tracks[0]->Y, tracks[0]->X2, tracks[0]->Y2}),
            std::vector<int32_t>({Mil(1), Mil(2), Mil(5), Mil(6)}));
  EXPECT_EQ(tracks[0]->Width, Mil(10));
  EXPECT_EQ(tracks[0]->Net, net);
  EXPECT_EQ(tracks[1]->Width, Mil(25));
  EXPECT_EQ(tracks[1]->Net, 0u);
  EXPECT_EQ(Host().ContainerObjects(net), std::vector<tarvex::THandle>{tracks[0]->Handle});
}

TEST(Primitives, OnALayerThatIsNotImportedOnlyPadsAndViasAreMade) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(4,
                                                     "(arc (pt 0 0) (radius 1)) (line (pt 0 0) (pt 1 1))\r\n"
                                                     "(text (pt 0 0) \"T\") (pad (padNum \"1\") (pt 0 0))\r\n"
                                                     "(via (pt 0 0)) (gluePoint (pt 0 0)) (fromTo (pt 0 0))"))));
  EXPECT_TRUE(ObjectsOf(board, tarvex::kArc).empty());
  EXPECT_TRUE(ObjectsOf(board, tarvex::kTrack).empty());
  EXPECT_TRUE(ObjectsOf(board, tarvex::kText).empty());
  EXPECT_EQ(ObjectsOf(board, tarvex::kPad).size(), 1u);
  EXPECT_EQ(ObjectsOf(board, tarvex::kVia).size(), 1u);
  // With the board's default clearance rule.
  EXPECT_EQ(Host().ContainerObjects(board).size(), 3u);
}

TEST(Primitives, TextLinesEndAtCarriageReturnsAndAStyleSpacesThemByTheFontHeight) {
  struct Case {
    std::string Style, Text;
    std::vector<std::string> Lines;
    int32_t Step;  // how much lower each line stands
  };
  const std::vector<Case> cases{
      {"S", "AB\\r\\nCD", {"AB", "CD"}, Mil(100)},
      {"s", "AB\\r", {"AB"}, Mil(100)},
      {"S", "A\\r\\rB", {"A", "", "B"}, Mil(100)},
      {"S", "A\\n\\nB", {"A\n\nB"}, Mil(100)},
      {"Missing", "AB\\rCD", {"AB", "CD"}, 0},
      {"NoFont", "AB\\rCD", {"AB", "CD"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Style + " " + c.Text);
    const auto board = NewBoard();
    ASSERT_TRUE(Import(VexalFile(kTextStyle, kLayers + OnLayer(2, "(text (pt 10 500) \"" + c.Text +
                                                                      "\" (textStyleRef \"" + c.Style + "\"))"))));
    const auto texts = ObjectsOf(board, tarvex::kText);
    ASSERT_EQ(texts.size(), c.Lines.size());
    for (size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(texts[i]->Text, c.Lines[i]);
      EXPECT_EQ(texts[i]->Layer, tarvex::kTopOverlay);
      EXPECT_EQ(texts[i]->X, Mil(10));
      EXPECT_EQ(texts[i]->Y, Mil(500) - static_cast<int32_t>(i) * c.Step);
      if (c.Step != 0) {
        EXPECT_EQ(texts[i]->Height, Mil(80));
        EXPECT_EQ(texts[i]->StrokeWidth, Mil(7));
        EXPECT_EQ(texts[i]->Font, 2);
      } else {
        // The host's values for a new text stay.
        EXPECT_EQ(texts[i]->Height, Host().GetDefaults().TextHeight);
        EXPECT_EQ(texts[i]->Font, Host().GetDefaults().TextFont);
      }
    }
  }
}

TEST(Primitives, TextsAreJustifiedByTheHostsRectangleAndFlippedTextsMirrored) {
  struct Case {
    std::string Justify;
    int Column, Row;  // 0 left/upper ... 2 right/lower
  };
  const std::vector<Case> cases{{"LowerLeft", 0, 2}, {"Center", 1, 1}, {"UpperRight", 2, 0},
                                {"upperleft", 0, 0}, {"Right", 2, 1},  {"LowerCenter", 1, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Justify);
    const auto board = NewBoard();
    ASSERT_TRUE(Import(VexalFile(kTextStyle, kLayers + OnLayer(2, "(text (pt 13 27) \"ABC\" (textStyleRef \"S\") "
                                                                  "(justify " + c.Justify + "))"))));
    const auto texts = ObjectsOf(board, tarvex::kText);
    ASSERT_EQ(texts.size(), 1u);
    // The rectangle of the text where it stood before it was moved.
    tarvex::Rect r;
    ASSERT_TRUE(Host().BoundingRectangle(texts[0]->Handle, r));
    const int32_t dx = texts[0]->X - Mil(13), dy = texts[0]->Y - Mil(27);
    r = {r.X1 - dx, r.Y1 - dy, r.X2 - dx, r.Y2 - dy};
    const int32_t shiftX = c.Column == 0 ? 0 : c.Column == 1 ? r.X2 / 2 - r.X1 / 2 : r.X2 - r.X1;
    const int32_t shiftY = c.Row == 2 ? 0 : c.Row == 1 ? r.Y2 / 2 - r.Y1 / 2 : r.Y2 - r.Y1;
    EXPECT_EQ(texts[0]->X, Mil(13) - shiftX);
    EXPECT_EQ(texts[0]->Y, Mil(27) - shiftY);
    if (c.Column != 0) {
      EXPECT_GT(shiftX, Mil(80));  // half of three characters 80 mil high, at least
    }
    EXPECT_EQ(texts[0]->Mirrored, 0);
  }
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(2, "(text (pt 0 0) \"F\" (rotation 90) (isFlipped True))"))));
  const auto texts = ObjectsOf(board, tarvex::kText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->Mirrored, 1);
  EXPECT_EQ(texts[0]->Rotation, 270.0);
}

TEST(Primitives, ViasTakeLayerRangeHoleAndTheSmallestMeanShapeSizeFromTheirStyle) {
  const auto board = NewBoard();
  Host().GetDefaults().ViaSize = 0;
  ASSERT_TRUE(Import(VexalFile(
      "(viaStyleDef \"V\" (holeDiam 20) (startRange 3) (endRange 1)\r\n"
      "  (viaShape (layerNumRef 1) (viaShapeType Ellipse) (shapeWidth 60) (shapeHeight 60))\r\n"
      "  (viaShape (layerNumRef 3) (viaShapeType Ellipse) (shapeWidth 40) (shapeHeight 50))\r\n"
      "  (viaShape (layerNumRef 2) (viaShapeType Ellipse) (shapeWidth 0) (shapeHeight 0)))\r\n",
      kLayers + "(multiLayer (via (viaStyleRef \"v\") (pt 7 8)) (via (viaStyleRef \"Other\") (pt 1 1)))")));
  const auto vias = ObjectsOf(board, tarvex::kVia);
  ASSERT_EQ(vias.size(), 2u);
  EXPECT_EQ(vias[0]->X, Mil(7));
  EXPECT_EQ(vias[0]->StartLayer, tarvex::kTopLayer);
  EXPECT_EQ(vias[0]->EndLayer, tarvex::kBottomLayer);
  EXPECT_EQ(vias[0]->HoleSize, Mil(20));
  EXPECT_EQ(vias[0]->Size, Mil(45));
  // No style: the host's via.
  const tarvex::Defaults& d = Host().GetDefaults();
  EXPECT_EQ(vias[1]->Size, 0);
  EXPECT_EQ(vias[1]->HoleSize, d.ViaHoleSize);
  EXPECT_EQ(vias[1]->StartLayer, d.ViaStartLayer);
  EXPECT_EQ(vias[1]->EndLayer, d.ViaEndLayer);
}

const std::string kPadStyles =
    "(padStyleDef \"TopOnly\" (holeDiam 0) (padShape (layerNumRef 1) (padShapeType Rect) (shapeWidth 60) "
    "(shapeHeight 40)))\r\n"
    "(padStyleDef \"Oct\" (padShape (layerNumRef 1) (padShapeType Polygon) (shapeOutline (pt 0 0) (pt 10 -5) "
    "(pt 20 0) (pt 30 10) (pt 20 20) (pt 10 25) (pt 0 20) (pt -10 10))) (padShape (layerNumRef 3) "
    "(padShapeType Ellipse) (shapeWidth 50) (shapeHeight 50)))\r\n"
    "(padStyleDef \"Six\" (padShape (layerNumRef 1) (layerType Signal) (padShapeType Polygon) (shapeOutline "
    "(pt 0 0) (pt 10 0) (pt 20 5) (pt 10 10) (pt 0 10) (pt -5 5))) (padShape (layerNumRef 3) "
    "(padShapeType Oval) (shapeWidth 50) (shapeHeight 50)))\r\n"
    "(padStyleDef \"Thermal\" (holeDiam 30) (padShape (layerNumRef 1) (padShapeType Thrm4_45) (shapeWidth 70) "
    "(shapeHeight 70)) (padShape (layerNumRef 3) (padShapeType Rect) (shapeWidth 70) (shapeHeight 70)))\r\n";

TEST(Primitives, PadsTakeTheirStackFromTheStyleAndOneSidedPadsStandOnTheirSide) {
  const auto board = NewBoard();
  tarvex::Defaults& d = Host().GetDefaults();
  d.PadXSize = d.PadYSize = 0;
  ASSERT_TRUE(Import(VexalFile(
      kPadStyles,
      kLayers + "(multiLayer (pad (padNum \"ABCDEFGHIJKLMNOPQRSTUVWXY\") (padStyleRef \"topOnly\") (pt 5 6) "
                "(rotation 45))\r\n"
                "(pad (padNum \"2\") (padStyleRef \"TopOnly\") (isFlipped True))\r\n"
                "(pad (padNum \"3\") (padStyleRef \"Oct\")) (pad (padNum \"4\") (padStyleRef \"Six\"))\r\n"
                "(pad (padNum \"5\") (padStyleRef \"Thermal\")) (pad (padNum \"6\") (padStyleRef \"None\")))")));
  const auto pads = ObjectsOf(board, tarvex::kPad);
  ASSERT_EQ(pads.size(), 6u);
  const auto triples = [](const tarvex::Object* p) {
    return std::vector<int32_t>{p->TopXSize, p->TopYSize, p->TopShape,    p->MidXSize,    p->MidYSize,
                                p->MidShape, p->BottomXSize, p->BottomYSize, p->BottomShape};
  };
  const int32_t r = tarvex::kRectangle;
  EXPECT_EQ(pads[0]->Name, "ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ(pads[0]->Layer, tarvex::kTopLayer);
  EXPECT_EQ(triples(pads[0]), (std::vector<int32_t>{Mil(60), Mil(40), r, Mil(60), Mil(40), r, Mil(60), Mil(40), r}));
  EXPECT_EQ(pads[0]->X, Mil(5));
  EXPECT_EQ(pads[0]->Rotation, 45.0);
  EXPECT_EQ(pads[1]->Layer, tarvex::kBottomLayer);
  // Eight outline points: octagonal, the size of their bounding box.
  EXPECT_EQ(pads[2]->Layer, tarvex::kMultiLayer);
  EXPECT_EQ(pads[2]->TopShape, tarvex::kOctagonal);
  EXPECT_EQ(pads[2]->TopXSize, Mil(40));
  EXPECT_EQ(pads[2]->TopYSize, Mil(30));
  EXPECT_EQ(pads[2]->BottomXSize, Mil(50));
  // Six points: round, warned once for each slot (top and middle).
  EXPECT_EQ(pads[3]->TopShape, tarvex::kRound);
  EXPECT_EQ(pads[3]->MidShape, tarvex::kRound);
  EXPECT_EQ(pads[3]->MidXSize, Mil(25));
  EXPECT_EQ(pads[4]->TopShape, tarvex::kRound);
  EXPECT_EQ(pads[4]->BottomShape, tarvex::kRectangle);
  EXPECT_EQ(pads[4]->HoleSize, Mil(30));
  // A pad style the library lacks: the host's pad.
  EXPECT_EQ(pads[5]->Layer, tarvex::kMultiLayer);
  EXPECT_EQ(pads[5]->HoleSize, d.PadHoleSize);
  EXPECT_EQ(pads[5]->TopXSize, 0);
  const auto lines = ReportLines();
  EXPECT_EQ(CountLines(lines, "Polygon Pad Converted To Rounded Pad"), 2);
  EXPECT_EQ(CountLines(lines, "Thermal 4 Spoke/45 Pad Converted To Rounded Pad"), 1);
}

TEST(Primitives, AnnotationObjectsAreReadAndMakeNothing) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile("", kLayers + OnLayer(1,
      "(lineKeepOut (pt 0 0) (pt 1 1)) (detail (extent 1 1) (title \"t\") (pt 0 0))\r\n"
      "(fromTo (netNameRef \"N\") (pt 0 0) (pt 1 1)) (gluePoint (pt 0 0) (isVisible False))\r\n"
      "(pickPoint (pt 1 1)) (infoPoint (pt 0 0) (clearance 5) (infoPointViolationType "
      "InfoPointErrorViolation) (severity 2))\r\n"
      "(table (pt 0 0) (tableType drillTable) (tableInfo DrillTableInfo) (title \"x\"))"))));
  // The board's default clearance rule only.
  EXPECT_EQ(Host().ContainerObjects(board).size(), 1u);
  EXPECT_EQ(ObjectsOf(board, tarvex::kRule).size(), 1u);
  int skips = 0;
  for (const auto& l : ReportLines()) skips += l.rfind("Skipping Token", 0) == 0;
  EXPECT_EQ(skips, 0);
}

const std::string kPatterns =
    "(textStyleDef \"S\" (font (fontFamily Serif) (fontHeight 50) (strokeWidth 5)))\r\n"
    "(patternDef \"P1\" (originalName \"Footprint1\")\r\n"
    "  (multiLayer (pad (padNum \"1\") (pt 0 0)) (pad (padNum \"2\") (pt 100 0)))\r\n"
    "  (layerContents (layerNumRef 2) (line (pt 0 0) (pt 100 0))\r\n"
    "    (attr \"RefDes\" \"\" (pt 5 6) (rotation 90) (isFlipped True) (textStyleRef \"S\"))\r\n"
    "    (attr \"value\" \"\" (pt 7 7) (textStyleRef \"S\"))))\r\n"
    "(patternDefExtended \"P2\" (originalName \"Footprint2\")\r\n"
    "  (patternGraphicsDef (patternGraphicsNameDef \"Main\") (multiLayer (pad (padNum \"1\") (pt 0 0))))\r\n"
    "  (patternGraphicsDef (patternGraphicsNameDef \"Alt\") (multiLayer (pad (padNum \"A1\") (pt 0 0)) "
    "(pad (padNum \"A2\") (pt 10 0)))\r\n"
    "    (layerContents (layerNumRef 2) (attr \"RefDes\" \"\" (textStyleRef \"Nope\")))))\r\n";

struct Placed {
  const tarvex::Object* Component = nullptr;
  const tarvex::Object* Designator = nullptr;
  const tarvex::Object* Comment = nullptr;
};

std::vector<Placed> Components(tarvex::THandle board) {
  std::vector<Placed> placed;
  for (const tarvex::Object* c : ObjectsOf(board, tarvex::kComponent))
    placed.push_back({c, Host().GetObject(c->DesignatorText), Host().GetObject(c->CommentText)});
  return placed;
}

TEST(Patterns, APlacedPatternBecomesAComponentDrawnFromItsDefinition) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile(kPatterns, kLayers + OnLayer(1,
      "(pattern (patternRef \"p1\") (refDesRef \"U1\") (pt 1000 2000) (isFixed True))\r\n"
      "(pattern (patternRef \"P1\") (refDesRef \"U2\") (pt 0 0) (rotation 90) (isFlipped True))\r\n"
      "(pattern (patternRef \"Missing\") (refDesRef \"U3\")) (attr \"RefDes\" \"U9\" (pt 1 1))"))));
  const auto placed = Components(board);
  ASSERT_EQ(placed.size(), 2u);
  const tarvex::Object& u1 = *placed[0].Component;
  EXPECT_EQ(u1.Pattern, "Footprint1");
  EXPECT_EQ(u1.X, Mil(1000));
  EXPECT_EQ(u1.Y, Mil(2000));
  EXPECT_EQ(u1.Layer, tarvex::kTopLayer);
  EXPECT_EQ(u1.ExtraByte, 0);
  // The definition's primitives are the component's, moved with it.
  const auto pads = ObjectsOf(u1.Handle, tarvex::kPad);
  ASSERT_EQ(pads.size(), 2u);
  EXPECT_EQ(pads[0]->X, Mil(1000));
  EXPECT_EQ(pads[1]->X, Mil(1100));
  EXPECT_EQ(ObjectsOf(u1.Handle, tarvex::kTrack).size(), 1u);
  EXPECT_TRUE(ObjectsOf(board, tarvex::kPad).empty());
  // The designator: its text, on the top overlay, styled by the definition's attribute.
  ASSERT_NE(placed[0].Designator, nullptr);
  EXPECT_EQ(placed[0].Designator->Text, "U1");
  EXPECT_EQ(placed[0].Designator->Layer, tarvex::kTopOverlay);
  EXPECT_EQ(placed[0].Designator->Height, Mil(40));
  EXPECT_EQ(placed[0].Designator->Font, 3);
  ASSERT_NE(placed[0].Comment, nullptr);
  EXPECT_EQ(placed[0].Comment->Text, "");
  EXPECT_EQ(placed[0].Comment->Layer, tarvex::kTopOverlay);
  // "value" in another case is no comment attribute: the comment stays
  // where the host put it, moved with the component.
  EXPECT_EQ(placed[0].Comment->X, u1.X);
  EXPECT_EQ(placed[0].Comment->Height, Host().GetDefaults().TextHeight);
  // An attribute on the board itself makes nothing.
  EXPECT_TRUE(ObjectsOf(board, tarvex::kText).empty());

  const tarvex::Object& u2 = *placed[1].Component;
  EXPECT_EQ(u2.Layer, tarvex::kBottomLayer);
  EXPECT_EQ(u2.Rotation, 270.0);
  EXPECT_EQ(u2.ExtraByte, 1);
  // The missing pattern made nothing and reported nothing.
  for (const auto& l : ReportLines()) EXPECT_EQ(l.find("U3"), std::string::npos) << l;
}

TEST(Patterns, AGraphicsNameSelectsItsDefinitionAndOtherGraphicsAttributesAreSkipped) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(VexalFile(kPatterns, kLayers + OnLayer(1,
      "(pattern (patternRef \"P2\") (patternGraphicsNameRef \"Alt\") (refDesRef \"U1\") (pt 100 100)\r\n"
      "  (patternGraphicsRef (patternGraphicsNameRef \"Alt\") (attr \"RefDes\" \"\" (pt 10 20)))\r\n"
      "  (patternGraphicsRef (attr \"Value\" \"\" (pt 30 40) (isVisible False))\r\n"
      "    (patternGraphicsNameRef \"Main\") (attr \"RefDes\" \"\" (pt 99 99))))\r\n"))));
  const auto placed = Components(board);
  ASSERT_EQ(placed.size(), 1u);
  EXPECT_EQ(placed[0].Component->Pattern, "Footprint2");
  const auto pads = ObjectsOf(placed[0].Component->Handle, tarvex::kPad);
  ASSERT_EQ(pads.size(), 2u);
  EXPECT_EQ(pads[0]->Name, "A1");
  // The pattern's own attributes place the texts relative to the component;
  // the attribute of the other graphics is not taken.
  EXPECT_EQ(placed[0].Designator->X, Mil(110));
  EXPECT_EQ(placed[0].Designator->Y, Mil(120));
  EXPECT_EQ(placed[0].Comment->X, Mil(130));
  EXPECT_EQ(placed[0].Comment->Y, Mil(140));
  EXPECT_EQ(placed[0].Component->CommentVisible, 0);
  // The definition's attribute with a missing text style: no font, no height.
  EXPECT_EQ(placed[0].Designator->Height, 0);
  EXPECT_EQ(placed[0].Designator->Font, 0);
  EXPECT_EQ(placed[0].Designator->Text, "U1");
  int skips = 0;
  for (const auto& l : ReportLines()) skips += l.rfind("Skipping Token", 0) == 0;
  EXPECT_EQ(skips, 2);
}

}  // namespace

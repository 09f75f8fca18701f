// Whole imports through the loaded plug-in into the stand-in host: what the
// board document holds afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostapi/PcbTypes.h"
#include "platform/Platform.h"
#include "tests/sarnovik/SarnovikHarness.h"

namespace sarnoviktest {
namespace {

using Nodes = std::vector<std::string>;

TEST_F(SarnovikImport, DescribesItsFiles) {
  EXPECT_STREQ(LoadedPlugin().GetPcbImporterDescription(), "Sarnovik Files (*.PCB)");
}

TEST_F(SarnovikImport, RecognisesTheHeaderWordInTheFirstLine) {
  struct Case {
    std::string content;
    uint8_t recognised;
  };
  const Case cases[] = {
      {"PCB FILE 4\n", 1},
      {"PCB FILE 5\r\n", 1},
      {"pcb file 5\n", 1},
      {"Sarnovik Pcb File 4 rev 2", 1},
      {"PCB FILE 4" + std::string(300, '.') + "\n", 1},
      {"PCB FILE 6\n", 0},
      {"PCB  FILE 4\n", 0},
      {"", 0},
      {"\nPCB FILE 4\n", 0},
      {std::string(250, '.') + "PCB FILE 4\n", 0},  // beyond the first 255 characters
  };
  int i = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content.substr(0, 40));
    EXPECT_EQ(Recognise(WriteFile("r" + std::to_string(i++) + ".pcb", c.content)), c.recognised);
  }
  EXPECT_EQ(Recognise(::testing::TempDir() + "no-such-file.pcb"), 0);
}

TEST_F(SarnovikImport, AnUnrecognisedFileTouchesNeitherBoardNorProgress) {
  EXPECT_EQ(ImportText("PCB FILE 6\nFT\n0 0 10 10 10 1\n"), 0);
  EXPECT_TRUE(OnBoard().empty());
  EXPECT_TRUE(Host().Progress().empty());
  // A file that does not exist: nothing at all.
  EXPECT_EQ(Import(::testing::TempDir() + "missing.pcb"), 0);
  EXPECT_TRUE(Host().Progress().empty());
}

TEST_F(SarnovikImport, AFileOfOnlyAHeaderImportsNothing) {
  EXPECT_EQ(Import(DataFile("header-only.pcb")), 1);
  EXPECT_TRUE(OnBoard().empty());
}

TEST_F(SarnovikImport, EveryTopLevelRecordReachesTheBoardInHostUnits) {
  // CR LF line ends.
  ASSERT_EQ(Import(DataFile("records.pcb")), 1);
  const auto all = OnBoard();
  ASSERT_EQ(all.size(), 6u);

  const Object& track = *all[0];
  EXPECT_EQ(track.Kind, okTrack);
  EXPECT_EQ(track.Layer, BottomLayer);
  EXPECT_EQ(track.X, U(100));
  EXPECT_EQ(track.Y, U(200));
  EXPECT_EQ(track.X2, U(300));
  EXPECT_EQ(track.Y2, U(400));
  EXPECT_EQ(track.Width, U(10));

  const Object& arc = *all[1];
  EXPECT_EQ(arc.Kind, okArc);
  EXPECT_EQ(arc.Layer, TopLayer);
  EXPECT_EQ(arc.X, U(500));
  EXPECT_EQ(arc.Y, U(600));
  EXPECT_EQ(arc.Radius, U(50));
  EXPECT_EQ(arc.StartAngle, 270.0);  // code 9
  EXPECT_EQ(arc.EndAngle, 90.0);
  EXPECT_EQ(arc.Width, U(8));

  const Object& via = *all[2];
  EXPECT_EQ(via.Kind, okVia);
  EXPECT_EQ(via.X, U(700));
  EXPECT_EQ(via.Y, U(800));
  EXPECT_EQ(via.Size, U(50));
  EXPECT_EQ(via.HoleSize, U(28));
  EXPECT_EQ(via.StartLayer, TopLayer);
  EXPECT_EQ(via.EndLayer, BottomLayer);

  const Object& fill = *all[3];
  EXPECT_EQ(fill.Kind, okFill);
  EXPECT_EQ(fill.Layer, InternalPlane1);
  EXPECT_EQ(fill.X, U(10));
  EXPECT_EQ(fill.Y, U(20));
  EXPECT_EQ(fill.X2, U(30));
  EXPECT_EQ(fill.Y2, U(40));

  const Object& pad = *all[4];
  EXPECT_EQ(pad.Kind, okPad);
  EXPECT_EQ(pad.Layer, MultiLayer);
  EXPECT_EQ(pad.Name, "PAD1");
  EXPECT_EQ(pad.X, U(900));
  EXPECT_EQ(pad.Y, U(1000));
  EXPECT_EQ(pad.HoleSize, U(30));
  EXPECT_EQ(pad.ExtraWord, 1);  // plane connection code 2, not named by a net

  const Object& text = *all[5];
  EXPECT_EQ(text.Kind, okText);
  EXPECT_EQ(text.Text, "HELLO");
  EXPECT_EQ(text.Layer, TopOverlay);
  EXPECT_EQ(text.X, U(1100));
  EXPECT_EQ(text.Y, U(1200));
  EXPECT_EQ(text.Height, U(50));
  EXPECT_EQ(text.Rotation, 90.0);
  EXPECT_EQ(text.Mirrored, 0);
  EXPECT_EQ(text.Font, 1);  // the file's font 3 is not used
  EXPECT_EQ(text.StrokeWidth, 73333);

  for (const Object* o : all) EXPECT_EQ(o->Flags, 0) << int(o->Kind);
}

TEST_F(SarnovikImport, RecordsContinueOverLineEndsAndOnlyExactKeywordsStartOne) {
  ASSERT_EQ(Import(DataFile("records-layout.pcb")), 1);
  const auto all = OnBoard();
  // "FP " and "FT<tab>" are not keywords; "PG" is only counted.
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0]->Kind, okTrack);
  EXPECT_EQ(all[0]->X2, U(3));
  EXPECT_EQ(all[0]->Width, U(5));
  EXPECT_EQ(all[0]->Layer, BottomLayer);
  EXPECT_EQ(all[1]->Kind, okText);
  EXPECT_EQ(all[1]->Height, U(30));
  EXPECT_EQ(all[1]->Layer, TopOverlay);
  EXPECT_EQ(all[1]->Text, "TEXT AFTER A SPLIT LINE");
  EXPECT_EQ(all[2]->Kind, okFill);
  EXPECT_EQ(all[2]->Layer, MidLayer14);
}

TEST_F(SarnovikImport, FileLayersGoToHostLayers) {
  struct Case {
    int fileLayer;
    uint8_t host;
  };
  const Case cases[] = {
      {1, TopLayer},      {2, MidLayer1},       {3, MidLayer2},       {4, MidLayer3},
      {5, MidLayer14},    {6, BottomLayer},     {7, TopOverlay},      {8, BottomOverlay},
      {9, InternalPlane1}, {10, InternalPlane2}, {11, Mechanical1},   {12, KeepOutLayer},
      {13, MultiLayer},
      // Outside the table: the legacy layer id, or no layer.
      {16, BottomLayer},  {34, MultiLayer},     {43, NoLayer},        {0, NoLayer},
      {-5, NoLayer},
  };
  std::string file = "PCB FILE 4\n";
  for (const auto& c : cases) file += "FT\n0 0 10 10 10 " + std::to_string(c.fileLayer) + "\n";
  ASSERT_EQ(ImportText(file), 1);
  const auto tracks = OnBoard(okTrack);
  ASSERT_EQ(tracks.size(), std::size(cases));
  for (size_t i = 0; i < tracks.size(); ++i)
    EXPECT_EQ(tracks[i]->Layer, cases[i].host) << "file layer " << cases[i].fileLayer;
}

TEST_F(SarnovikImport, PadShapesAndSizes) {
  struct Case {
    int code;
    uint8_t shape;
    int32_t x, y;  // mils
  };
  const Case cases[] = {
      {1, psRound, 60, 60},   {2, psRectangle, 60, 80}, {3, psOctagonal, 60, 60},
      {4, psRound, 60, 80},   {5, psRound, 60, 80},     {6, psRound, 60, 80},
      {0, 0, 60, 80},         {7, 7, 60, 80},           {258, psRectangle, 60, 80},
  };
  std::string file = "PCB FILE 4\n";
  for (const auto& c : cases)
    file += "FP\n0 0 60 80 " + std::to_string(c.code) + " 30 1 13\nP\n";
  ASSERT_EQ(ImportText(file), 1);
  const auto pads = OnBoard(okPad);
  ASSERT_EQ(pads.size(), std::size(cases));
  for (size_t i = 0; i < pads.size(); ++i) {
    SCOPED_TRACE(cases[i].code);
    const Object& p = *pads[i];
    EXPECT_EQ(p.TopShape, cases[i].shape);
    EXPECT_EQ(p.MidShape, cases[i].shape);
    EXPECT_EQ(p.BottomShape, cases[i].shape);
    EXPECT_EQ(p.TopXSize, U(cases[i].x));
    EXPECT_EQ(p.TopYSize, U(cases[i].y));
    EXPECT_EQ(p.MidXSize, U(cases[i].x));
    EXPECT_EQ(p.MidYSize, U(cases[i].y));
    EXPECT_EQ(p.BottomXSize, U(cases[i].x));
    EXPECT_EQ(p.BottomYSize, U(cases[i].y));
  }
}

TEST_F(SarnovikImport, PlaneConnectionCodesOfPads) {
  struct Case {
    int code;
    uint16_t extraWord;
  };
  const Case cases[] = {{0, 0}, {1, 0}, {2, 1}, {3, 2}, {4, 4}, {5, 5}, {6, 3}, {7, 6}, {9, 6}};
  std::string file = "PCB FILE 4\n";
  for (const auto& c : cases) file += "FP\n0 0 60 60 1 30 " + std::to_string(c.code) + " 13\nP\n";
  ASSERT_EQ(ImportText(file), 1);
  const auto pads = OnBoard(okPad);
  ASSERT_EQ(pads.size(), std::size(cases));
  for (size_t i = 0; i < pads.size(); ++i)
    EXPECT_EQ(pads[i]->ExtraWord, cases[i].extraWord) << "code " << cases[i].code;
}

TEST_F(SarnovikImport, StringsGetStrokeWidthRotationAndMirror) {
  struct Case {
    int height;
    std::string orientation;
    int32_t stroke;
    double rotation;
    bool mirrored;
  };
  const Case cases[] = {
      {20, "0", U(6), 0, false},        {50, "1", 73333, 90, false},
      {70, "16", U(8), 0, true},        {100, "17", U(10), 270, true},
      {100, "33", U(10), 90, true},     {100, "48", U(10), 180, false},
      {100, "2.5", U(10), 180, false},  {100, "3.5", U(10), 0, false},
      {100, "1.6E1", U(10), 0, true},   {100, "+2", U(10), 180, false},
  };
  std::string file = "PCB FILE 4\n";
  for (const auto& c : cases)
    file += "FS\n0 0 " + std::to_string(c.height) + " " + c.orientation + " 1 7\nT\n";
  ASSERT_EQ(ImportText(file), 1);
  const auto texts = OnBoard(okText);
  ASSERT_EQ(texts.size(), std::size(cases));
  for (size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(cases[i].orientation);
    EXPECT_EQ(texts[i]->StrokeWidth, cases[i].stroke);
    EXPECT_EQ(texts[i]->Rotation, cases[i].rotation);
    EXPECT_EQ(texts[i]->Mirrored != 0, cases[i].mirrored);
  }
}

TEST_F(SarnovikImport, ArcCodesGiveQuadrants) {
  struct Case {
    int code;
    double start, end;
  };
  const Case cases[] = {{0, 0, 0},   {5, 0, 90},    {9, 270, 90},   {10, 90, 180},
                        {15, 0, 360}, {31, 0, 360}, {-7, 270, 90}};
  std::string file = "PCB FILE 4\n";
  for (const auto& c : cases) file += "FA\n0 0 50 " + std::to_string(c.code) + " 8 1\n";
  ASSERT_EQ(ImportText(file), 1);
  const auto arcs = OnBoard(okArc);
  ASSERT_EQ(arcs.size(), std::size(cases));
  for (size_t i = 0; i < arcs.size(); ++i) {
    SCOPED_TRACE(cases[i].code);
    EXPECT_EQ(arcs[i]->StartAngle, cases[i].start);
    EXPECT_EQ(arcs[i]->EndAngle, cases[i].end);
  }
}

TEST_F(SarnovikImport, Format5SetsHoles) {
  struct Case {
    std::string header;
    int32_t viaHole, multiPadHole, topPadHole;  // mils
    uint8_t multiPadLayer;
  };
  const Case cases[] = {
      {"PCB FILE 5", 32, 32, 0, MultiLayer},
      {"PCB FILE 5 and more", 32, 32, 0, MultiLayer},
      {"pcb file 5", 40, 35, 35, MultiLayer},  // recognised, read as format 4
      {" PCB FILE 5", 40, 35, 35, MultiLayer},
      {"PCB FILE 4", 40, 35, 35, MultiLayer},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    Host().Reset();
    ASSERT_EQ(ImportText(c.header + "\nFV\n0 0 60 40\nFP\n0 0 60 60 1 35 1 34\n1\n"
                                    "FP\n0 0 60 60 1 35 1 1\n2\n"),
              1);
    const auto vias = OnBoard(okVia);
    const auto pads = OnBoard(okPad);
    ASSERT_EQ(vias.size(), 1u);
    ASSERT_EQ(pads.size(), 2u);
    EXPECT_EQ(vias[0]->HoleSize, U(c.viaHole));
    EXPECT_EQ(pads[0]->HoleSize, U(c.multiPadHole));
    EXPECT_EQ(pads[0]->Layer, c.multiPadLayer);
    EXPECT_EQ(pads[1]->HoleSize, U(c.topPadHole));
    EXPECT_EQ(pads[1]->Layer, TopLayer);
  }
}

TEST_F(SarnovikImport, ComponentsWithTheirTextsPrimitivesAndSide) {
  ASSERT_EQ(Import(DataFile("components.pcb")), 1);
  ASSERT_EQ(OnBoard(okComponent).size(), 5u);
  // Primitives belong to their component, not to the board.
  EXPECT_EQ(OnBoard().size(), 5u);

  const Object* u1 = Component("U1");
  ASSERT_NE(u1, nullptr);
  EXPECT_EQ(u1->Pattern, "DIP8");
  EXPECT_EQ(u1->X, U(1000));
  EXPECT_EQ(u1->Y, U(2000));
  EXPECT_EQ(u1->Layer, TopLayer);
  EXPECT_EQ(u1->DesignatorVisible, 1);
  EXPECT_EQ(u1->CommentVisible, 0);
  EXPECT_EQ(u1->ExtraByte, 0);  // four numbers on the position line
  const Object& designator = Get(u1->DesignatorText);
  EXPECT_EQ(designator.X, U(300));
  EXPECT_EQ(designator.Y, U(400));
  EXPECT_EQ(designator.Height, U(50));
  EXPECT_EQ(designator.Rotation, 90.0);
  EXPECT_EQ(designator.Layer, TopOverlay);
  const Object& comment = Get(u1->CommentText);
  EXPECT_EQ(comment.Text, "NE555");
  EXPECT_EQ(comment.X, U(100));
  EXPECT_EQ(comment.Height, U(60));
  EXPECT_EQ(comment.Rotation, 0.0);
  // Every kind of sub-record; the "FT" inside the component is skipped.
  EXPECT_EQ(PrimitivesOf(*u1, okPad).size(), 2u);
  EXPECT_EQ(PrimitivesOf(*u1, okTrack).size(), 1u);
  EXPECT_EQ(PrimitivesOf(*u1, okArc).size(), 1u);
  EXPECT_EQ(PrimitivesOf(*u1, okVia).size(), 1u);
  EXPECT_EQ(PrimitivesOf(*u1, okFill).size(), 1u);
  ASSERT_EQ(PrimitivesOf(*u1, okText).size(), 1u);
  EXPECT_EQ(PrimitivesOf(*u1, okText)[0]->Text, "PIN1");
  EXPECT_EQ(u1->Primitives.size(), 7u);
  EXPECT_EQ(PrimitivesOf(*u1, okPad)[1]->Name, "2");

  struct Side {
    const char* designator;
    uint8_t layer;
    uint8_t extraByte;
  };
  const Side sides[] = {
      {"R1", BottomLayer, 1},  // pads on multi layer, lines on the bottom overlay; fifth number 1
      {"R2", TopLayer, 0},     // a top-overlay line before the bottom one; fifth number 2
      {"C1", TopLayer, 1},     // nothing inside; fifth number 0
      {"Q1", BottomLayer, 0},  // copper only on the bottom layer
  };
  for (const auto& s : sides) {
    SCOPED_TRACE(s.designator);
    const Object* c = Component(s.designator);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Layer, s.layer);
    EXPECT_EQ(c->ExtraByte, s.extraByte);
  }
  EXPECT_EQ(Get(Component("R1")->DesignatorText).Mirrored, 1);
  EXPECT_EQ(Component("C1")->DesignatorVisible, 0);
}

TEST_F(SarnovikImport, NetsConnectTheirPadsAndNamePlanes) {
  ASSERT_EQ(Import(DataFile("nets.pcb")), 1);
  ASSERT_EQ(OnBoard(okNet).size(), 3u);
  const Object* gnd = NetNamed("GND");
  const Object* vcc = NetNamed("VCC");
  const Object* out = NetNamed("OUT");
  ASSERT_TRUE(gnd && vcc && out);
  // Nodes not on the board are passed over; R1 lies on the bottom side.
  EXPECT_EQ(NodesOf(*gnd), (Nodes{"U1-1", "R1-2"}));
  EXPECT_EQ(NodesOf(*vcc), (Nodes{"U1-8"}));
  EXPECT_EQ(NodesOf(*out), (Nodes{"R1-1"}));
  EXPECT_EQ(Component("R1")->Layer, BottomLayer);
  // Plane connection codes 2 and 4 name the first and the second plane.
  EXPECT_EQ(PlaneNetName(1), "GND");
  EXPECT_EQ(PlaneNetName(2), "VCC");
  EXPECT_EQ(PlaneNetName(3), "(No Net)");
  // A pad named by a net has its plane connection cleared; others keep it.
  const Object* u1 = Component("U1");
  ASSERT_NE(u1, nullptr);
  const auto pads = PrimitivesOf(*u1, okPad);
  ASSERT_EQ(pads.size(), 4u);
  EXPECT_EQ(pads[0]->ExtraWord, 0);
  EXPECT_EQ(pads[1]->ExtraWord, 0);
  EXPECT_EQ(pads[3]->Name, "4");
  EXPECT_EQ(pads[3]->ExtraWord, 3);
  // The "FT" inside VCC's block is not a track.
  EXPECT_TRUE(OnBoard(okTrack).empty());
}

TEST_F(SarnovikImport, TheLastNetNamingAPlaneWins) {
  ASSERT_EQ(ImportText("PCB FILE 4\nFP\n0 0 60 60 1 30 2 13\n1\nFP\n0 0 60 60 1 30 3 13\n2\n"
                       "COMP\nJ1\nP\nC\n0 0 40 0 1 7\n0 0 40 0 1 7\n0 0 1 1\n"
                       "CP\n0 0 60 60 1 30 2 13\n1\nCP\n0 0 60 60 1 30 3 13\n2\nENDCOMP\n"
                       "NETDEF\nA\n(\nJ1-1\n)\nNETDEF\nB\n(\nJ1-2\n)\n"),
            1);
  EXPECT_EQ(PlaneNetName(1), "B");
}

TEST_F(SarnovikImport, ANetDefinitionCutOffAfterItsNameMakesNoNet) {
  EXPECT_EQ(ImportText("PCB FILE 4\nFT\n0 0 10 10 10 1\nNETDEF\nGND\n"), 0);
  EXPECT_TRUE(OnBoard(okNet).empty());
  EXPECT_EQ(OnBoard(okTrack).size(), 1u);
}

TEST_F(SarnovikImport, ProgressRunsTwiceWithTheCountedTotal) {
  const std::string path = DataFile("nets.pcb");
  ASSERT_EQ(Import(path), 1);
  const auto& runs = Host().Progress();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].Title, "Scanning " + path + " (Sarnovik)");
  EXPECT_EQ(runs[0].Total, 0);
  EXPECT_EQ(runs[0].Updates, 0);
  EXPECT_TRUE(runs[0].Finished);
  EXPECT_EQ(runs[1].Title, "Loading " + path + " (Sarnovik)");
  // 2 components, 6 pads, 1 track, 3 nets, 6 node lines, 2 block lines.
  EXPECT_EQ(runs[1].Total, 20);
  // Loading: 12 records, 6 nodes, and the block's 2 lines and its "}".
  EXPECT_EQ(runs[1].Updates, 21);
  EXPECT_TRUE(runs[1].Finished);
  EXPECT_EQ(Host().StrayProgressCalls(), 0);
  EXPECT_EQ(Host().LiveIterators(), 0);
}

TEST_F(SarnovikImport, EscapeAnsweredNoGoesOn) {
  ThePerson().EscapeAtCheck = 2;
  ThePerson().Answers = {platform::idNo};
  EXPECT_EQ(Import(DataFile("components.pcb")), 1);
  ASSERT_EQ(ThePerson().Boxes.size(), 1u);
  EXPECT_EQ(ThePerson().Boxes[0].Text, "Confirm Abort Process");
  EXPECT_EQ(ThePerson().Boxes[0].Caption, "Confirm");
  EXPECT_EQ(ThePerson().Boxes[0].Kind & 0x0F, platform::mbYesNo);
  EXPECT_EQ(OnBoard(okComponent).size(), 5u);
}

TEST_F(SarnovikImport, EscapeAnsweredYesStopsAfterTheCurrentRecord) {
  ThePerson().EscapeAtCheck = 2;  // during the second track
  ThePerson().Answers = {platform::idYes};
  EXPECT_EQ(ImportText("PCB FILE 4\nFT\n0 0 1 1 10 1\nFT\n0 0 2 2 10 1\nFT\n0 0 3 3 10 1\n"), 0);
  const auto tracks = OnBoard(okTrack);
  ASSERT_EQ(tracks.size(), 2u);  // what was added stays
  EXPECT_EQ(tracks[1]->X2, U(2));
  EXPECT_EQ(ThePerson().EscapeChecks, 2);  // no further question after Yes
  EXPECT_EQ(Host().Progress().back().Finished, true);
}

TEST_F(SarnovikImport, EscapeInsideAComponentKeepsWhatItRead) {
  ThePerson().EscapeAtCheck = 3;  // the component, its first pad, then here
  ThePerson().Answers = {platform::idYes};
  EXPECT_EQ(Import(DataFile("components.pcb")), 0);
  ASSERT_EQ(OnBoard(okComponent).size(), 1u);
  EXPECT_EQ(OnBoard(okComponent)[0]->Primitives.size(), 2u);
}

TEST_F(SarnovikImport, OtherMessagesAreDeliveredDuringLoading) {
  ThePerson().Queue = {{7, 15, 1, 2}, {8, 0x200, 3, 4}};
  ASSERT_EQ(Import(DataFile("records.pcb")), 1);
  ASSERT_EQ(ThePerson().Delivered.size(), 2u);
  EXPECT_EQ(ThePerson().Delivered[0].Window, 7u);
  EXPECT_EQ(ThePerson().Delivered[1].Message, 0x200u);
}

TEST_F(SarnovikImport, TheExampleBoardsImport) {
  ASSERT_EQ(Import(std::string(PCBIMPORT_SOURCE_DIR) + "/examples/sarnovik/board4.pcb"), 1);
  EXPECT_EQ(OnBoard(okComponent).size(), 5u);
  EXPECT_EQ(OnBoard(okNet).size(), 5u);
  EXPECT_EQ(OnBoard(okArc).size(), 17u);
  EXPECT_EQ(PlaneNetName(1), "GND");
  EXPECT_EQ(PlaneNetName(2), "VCC");
  EXPECT_EQ(Component("R1")->Layer, BottomLayer);
  EXPECT_EQ(Component("U1")->Layer, TopLayer);

  Host().Reset();
  ASSERT_EQ(Import(std::string(PCBIMPORT_SOURCE_DIR) + "/examples/sarnovik/board5.pcb"), 1);
  for (const Object* via : OnBoard(okVia)) EXPECT_EQ(via->HoleSize, U(32));
  EXPECT_EQ(PlaneNetName(1), "VIN");
  EXPECT_EQ(PlaneNetName(2), "VOUT");
}

}  // namespace
}  // namespace sarnoviktest

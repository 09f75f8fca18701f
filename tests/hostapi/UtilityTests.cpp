// Units and their texts, length parsing, layer names, corner geometry and pad
// end points, short strings. No host module is loaded in this program.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>

#include "hostapi/PcbObjects.h"
#include "hostapi/PcbUtil.h"
#include "hostapi/ShortString.h"

namespace {

using namespace hostapi;

TEST(Rounding, HalvesGoToTheEvenNeighbourAndTheRangeIsKept) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(1e12), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundHalfEven(-1e12), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()),
            std::numeric_limits<int32_t>::max());
}

TEST(Units, ConversionsBetweenMilsMillimetresAndHostUnits) {
  EXPECT_EQ(MilsToUnits(25.4), 254000);
  EXPECT_EQ(MilsToUnits(-1), -10000);
  EXPECT_EQ(MmToUnits(1), 393701);       // 393700.787...
  EXPECT_EQ(MmToUnits(0.5), 196850);     // 196850.393...
  EXPECT_EQ(MmToUnits(2.54), 1000000);
  EXPECT_DOUBLE_EQ(UnitsToMils(254000), 25.4);
  EXPECT_DOUBLE_EQ(UnitsToMils(12345678), 1234.568);
  EXPECT_DOUBLE_EQ(UnitsToMils(-12345678), -1234.568);
  EXPECT_DOUBLE_EQ(UnitsToMm(10000), 0.0254);
  EXPECT_DOUBLE_EQ(UnitsToMm(393701), 1.0);
  EXPECT_DOUBLE_EQ(DegToRad(180), std::numbers::pi);
}

TEST(Units, UnitsToText) {
  struct Case {
    int32_t Units;
    bool Imperial;
    const char* Text;
  };
  const Case cases[] = {
      {254000, true, "25.4mil"},
      {100000, true, "10mil"},
      {10000, true, "1mil"},
      {0, true, "0mil"},
      {0, false, "0mm"},
      {10000, false, "0.0254mm"},
      {393701, false, "1mm"},
      {-254000, true, "-25.4mil"},
      {-10000, false, "-0.0254mm"},
      {12345678, true, "1234.568mil"},
      {25, true, "0.002mil"},  // 0.0025: the half goes to the even neighbour
      {35, true, "0.004mil"},
      {-1, true, "0mil"},  // no "-0"
      {std::numeric_limits<int32_t>::min(), true, "-214748.365mil"},
      {std::numeric_limits<int32_t>::max(), false, "5454.60846mm"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UnitsToText(c.Units, c.Imperial), c.Text) << c.Units << " " << c.Imperial;
}

TEST(Units, ParseLength) {
  struct Case {
    const char* Text;
    bool FlagIn;
    int32_t Units;
    bool FlagOut;
  };
  const int32_t kMax = std::numeric_limits<int32_t>::max();
  const Case cases[] = {
      {"10 mil", false, 100000, true},
      {"0.5mm", true, 196850, false},
      {"12", true, 120000, true},
      {"12", false, 4724409, false},
      {"mil", true, 0, true},
      {"mm", false, 0, false},
      {"", true, 0, true},
      {"", false, 0, false},
      {"   ", false, 0, false},
      {"1 0 MiL", false, 100000, true},
      {"-2.5MIL", false, -25000, true},
      {"+3mm", true, 1181102, false},
      {"5 MM", true, 1968504, false},
      {".5mil", false, 5000, true},
      {"1e3mil", false, 10000000, true},
      {"1E-1mil", false, 1000, true},
      {"12mmx", true, 4724409, false},  // what follows the unit word is not read
      {"99999999mil", false, kMax, true},
      {"1e400mil", false, kMax, true},
      {"1e-400mil", false, 0, true},
      // Not a number: 0, and the flag stays as it was.
      {"12x", true, 0, true},
      {"12x", false, 0, false},
      {"-", true, 0, true},
      {".", false, 0, false},
      {"1e", true, 0, true},
      {"0x10", false, 0, false},
      {"-inf", false, 0, false},
      {"--1mil", false, 0, false},
      {"x12", true, 0, true},
      {"Top", false, 0, false},
  };
  for (const Case& c : cases) {
    bool flag = c.FlagIn;
    EXPECT_EQ(ParseLength(c.Text, flag), c.Units) << "'" << c.Text << "'";
    EXPECT_EQ(flag, c.FlagOut) << "'" << c.Text << "'";
  }
}

TEST(Layers, DisplayNamesAndIdentifierNames) {
  const std::pair<int, const char*> display[] = {
      {0, "Any Layer"},          {1, "Top Layer"},          {2, "Mid Layer 1"},
      {31, "Mid Layer 30"},      {32, "Bottom Layer"},      {33, "Top Overlay"},
      {34, "Bottom Overlay"},    {35, "Top Paste"},         {36, "Bottom Paste"},
      {37, "Top Solder Mask"},   {38, "Bottom Solder Mask"}, {39, "Internal Plane 1"},
      {54, "Internal Plane 16"}, {55, "Drill Guide"},       {56, "Keep Out Layer"},
      {57, "Mechanical Layer 1"}, {72, "Mechanical Layer 16"}, {73, "Drill Drawing"},
      {74, "Multi Layer"},       {75, "Connect Layer"},     {76, "BackGround"},
      {77, "DRC Errors"},        {78, "Highlight Layer"},   {79, "Grid Color 1"},
      {80, "Grid Color 10"},     {81, "Pad Hole Layer"},    {82, "Via Hole Layer"},
      {83, ""},                  {-1, ""},                  {255, ""}};
  for (const auto& [id, name] : display) EXPECT_EQ(LayerDisplayName(id), name) << id;

  const std::pair<int, const char*> identifiers[] = {
      {0, "NoLayer"},          {1, "TopLayer"},        {31, "MidLayer30"},
      {32, "BottomLayer"},     {37, "TopSolder"},      {39, "InternalPlane1"},
      {54, "InternalPlane16"}, {56, "KeepOutLayer"},   {72, "Mechanical16"},
      {76, "BackGroundLayer"}, {77, "DRCErrorLayer"},  {82, "ViaHoleLayer"},
      {83, ""}};
  for (const auto& [id, name] : identifiers) EXPECT_EQ(LayerIdentifierName(id), name) << id;
  for (int id = 0; id <= 82; ++id) {
    EXPECT_FALSE(LayerIdentifierName(id).empty()) << id;
    EXPECT_LE(LayerIdentifierName(id).size(), 20u) << id;
  }
}

TEST(Layers, LayerFromName) {
  for (int id = 0; id <= 82; ++id) EXPECT_EQ(LayerFromName(LayerDisplayName(id)), id) << id;
  const std::pair<const char*, int> cases[] = {
      {"top layer", 1},        {"TOP LAYER", 1},        {"Top", 0},
      {"mid layer 30", 31},    {"Mid Layer 31", 0},     {"background", 76},
      {"INTERNAL PLANE 16", 54}, {"Top Layer ", 0},     {" Top Layer", 0},
      {"TopLayer", 0},         {"", 0},                 {"grid color 10", 80}};
  for (const auto& [text, id] : cases) EXPECT_EQ(LayerFromName(text), id) << "'" << text << "'";
}

TEST(Layers, LegacyLayerNumbers) {
  const std::pair<int, int> cases[] = {{-1, 0},  {0, 0},   {1, 1},   {15, 15}, {16, 32},
                                       {26, 42}, {27, 55}, {32, 60}, {33, 73}, {42, 82},
                                       {43, 0},  {1000, 0}};
  for (const auto& [n, id] : cases) EXPECT_EQ(LegacyLayerToHost(n), id) << n;
}

// ---- Corner geometry ----------------------------------------------------------------

struct Corners {
  int32_t BLX, BLY, BRX, BRY, TLX, TLY, TRX, TRY;
  bool operator==(const Corners&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Corners& c) {
  return out << "(" << c.BLX << "," << c.BLY << ") (" << c.BRX << "," << c.BRY << ") (" << c.TLX
             << "," << c.TLY << ") (" << c.TRX << "," << c.TRY << ")";
}

Corners CornersOf(TPCBObject& o, int32_t e) {
  return {o.BottomLeftX(e), o.BottomLeftY(e), o.BottomRightX(e), o.BottomRightY(e),
          o.TopLeftX(e),    o.TopLeftY(e),    o.TopRightX(e),    o.TopRightY(e)};
}

// The rectangle's corners computed another way: offsets from the centre
// turned about it.
Corners Turned(double cx, double cy, double w, double h, double degrees) {
  const double r = degrees * std::numbers::pi / 180;
  auto at = [&](double dx, double dy, int32_t& x, int32_t& y) {
    x = RoundHalfEven(cx + dx * std::cos(r) - dy * std::sin(r));
    y = RoundHalfEven(cy + dx * std::sin(r) + dy * std::cos(r));
  };
  Corners c{};
  at(-w / 2, -h / 2, c.BLX, c.BLY);
  at(w / 2, -h / 2, c.BRX, c.BRY);
  at(-w / 2, h / 2, c.TLX, c.TLY);
  at(w / 2, h / 2, c.TRX, c.TRY);
  return c;
}

TEST(CornerGeometry, FillCorners) {
  TPcbFill fill(0);
  fill.X = 0, fill.Y = 0, fill.X2 = 100, fill.Y2 = 50;
  EXPECT_EQ(CornersOf(fill, 0), (Corners{0, 0, 100, 0, 0, 50, 100, 50}));
  EXPECT_EQ(CornersOf(fill, 10), (Corners{-10, -10, 110, -10, -10, 60, 110, 60}));
  fill.X = 100, fill.Y = 50, fill.X2 = 0, fill.Y2 = 0;  // corners given the other way round
  EXPECT_EQ(CornersOf(fill, 0), (Corners{0, 0, 100, 0, 0, 50, 100, 50}));

  fill.X = 1000, fill.Y = 2000, fill.X2 = 3000, fill.Y2 = 2600;
  for (double degrees : {90.0, 30.0, 45.0, 180.0, -45.0, 270.0}) {
    fill.Rotation = degrees;
    EXPECT_EQ(CornersOf(fill, 0), Turned(2000, 2300, 2000, 600, degrees)) << degrees;
    EXPECT_EQ(CornersOf(fill, 50), Turned(2000, 2300, 2100, 700, degrees)) << degrees;
  }
  fill.Rotation = 90;
  EXPECT_EQ(CornersOf(fill, 0), (Corners{2300, 1300, 2300, 3300, 1700, 1300, 1700, 3300}));
}

TEST(CornerGeometry, CentreHalvesTruncateAndAFlatRectangleIgnoresItsRotation) {
  TPcbFill fill(0);
  fill.X = 3, fill.Y = 0, fill.X2 = 5, fill.Y2 = 4;  // centre 3 div 2 + 5 div 2 = 3
  EXPECT_EQ(CornersOf(fill, 0), (Corners{2, 0, 4, 0, 2, 4, 4, 4}));

  fill.X = 0, fill.Y = 10, fill.X2 = 101, fill.Y2 = 10;  // height 0
  fill.Rotation = 45;
  // Centre 50, half width 50.5: -0.5 and 100.5 go to the even neighbours.
  EXPECT_EQ(CornersOf(fill, 0), (Corners{0, 10, 100, 10, 0, 10, 100, 10}));

  TPcbTrack track(0);
  track.X = -100, track.Y = 7, track.X2 = 100, track.Y2 = 7;
  // Centre Y: 7 div 2 + 7 div 2 = 6, one unit below the track.
  EXPECT_EQ(CornersOf(track, 0), (Corners{-100, 6, 100, 6, -100, 6, 100, 6}));
  EXPECT_EQ(CornersOf(track, 5), (Corners{-105, 1, 105, 1, -105, 11, 105, 11}));

  // Extreme coordinates do not overflow.
  fill.Rotation = 0;
  fill.X = std::numeric_limits<int32_t>::min(), fill.X2 = std::numeric_limits<int32_t>::max();
  fill.Y = 0, fill.Y2 = 2;
  EXPECT_LE(fill.BottomLeftX(0), -2147483647);
  EXPECT_GE(fill.TopRightX(0), 2147483646);
}

TEST(CornerGeometry, LayerGatedOperationsAnswerOnlyOnTheirLayer) {
  TPcbTrack track(0);
  track.Layer = TopLayer;
  track.X = 1, track.Y = 2, track.X2 = 30, track.Y2 = 40, track.Width = 9;
  EXPECT_EQ(track.GetWidthOnLayer(TopLayer), 9);
  EXPECT_EQ(track.GetWidthOnLayer(BottomLayer), 0);
  EXPECT_EQ(track.EndX2(TopLayer), 30);
  EXPECT_EQ(track.EndY1(TopLayer), 2);
  EXPECT_EQ(track.EndY2(MidLayer1), 0);
  EXPECT_EQ(track.TopRightXOnLayer(TopLayer, 0), track.TopRightX(0));
  EXPECT_EQ(track.TopRightXOnLayer(MidLayer1, 0), 0);
  EXPECT_EQ(track.GetSizeOnLayer(TopLayer), 0);

  TPcbVia via(0);
  via.Layer = MultiLayer, via.X = 5, via.Size = 600;
  EXPECT_EQ(via.GetXSize(), 600);
  EXPECT_EQ(via.GetX2(), 5);
  via.SetX2(99);
  EXPECT_EQ(via.GetX2(), 5);
  EXPECT_EQ(via.GetXSizeOnLayer(MultiLayer), 600);
}

TEST(CornerGeometry, PadCornersAndEndPointsUseItsPerLayerSize) {
  // No host: the per-layer sizes are the stored ones.
  TPcbPad pad(0);
  pad.X = 1000, pad.Y = 2000;
  pad.XSizeOnLayer[TopLayer] = 400, pad.YSizeOnLayer[TopLayer] = 200;
  auto corners = [&](uint8_t layer, int32_t e) {
    return Corners{pad.BottomLeftXOnLayer(layer, e),  pad.BottomLeftYOnLayer(layer, e),
                   pad.BottomRightXOnLayer(layer, e), pad.BottomRightYOnLayer(layer, e),
                   pad.TopLeftXOnLayer(layer, e),     pad.TopLeftYOnLayer(layer, e),
                   pad.TopRightXOnLayer(layer, e),    pad.TopRightYOnLayer(layer, e)};
  };
  EXPECT_EQ(corners(TopLayer, 0), (Corners{800, 1900, 1200, 1900, 800, 2100, 1200, 2100}));
  EXPECT_EQ(corners(TopLayer, 10), (Corners{790, 1890, 1210, 1890, 790, 2110, 1210, 2110}));
  pad.Rotation = 90;
  EXPECT_EQ(corners(TopLayer, 0), Turned(1000, 2000, 400, 200, 90));
  pad.Rotation = 30;
  EXPECT_EQ(corners(TopLayer, 0), Turned(1000, 2000, 400, 200, 30));
  // Not gated by the pad's layer; a layer without a size: every corner is the centre.
  EXPECT_EQ(corners(BottomLayer, 0), (Corners{1000, 2000, 1000, 2000, 1000, 2000, 1000, 2000}));
  EXPECT_EQ(pad.GetWidthOnLayer(TopLayer), 200);
  EXPECT_EQ(pad.GetXSizeOnLayer(83), 0);
  EXPECT_EQ(pad.GetX2(), 1000);
}

TEST(CornerGeometry, PadEndPoints) {
  struct Case {
    int32_t XSize, YSize;
    double Rotation;
    int32_t X1, Y1, X2, Y2;
  };
  const Case cases[] = {
      {400, 200, 0, 900, 2000, 1100, 2000},    // long in X: ends 100 from the centre
      {400, 200, 90, 1000, 1900, 1000, 2100},
      {400, 200, 180, 1100, 2000, 900, 2000},
      {200, 400, 0, 1000, 2100, 1000, 1900},   // long in Y
      {200, 400, 90, 900, 2000, 1100, 2000},
      {300, 300, 45, 1000, 2000, 1000, 2000},  // square: the centre
      {301, 300, 0, 1000, 2000, 1000, 2000},   // 301 div 2 = 150
      {400, 200, 45, 929, 1929, 1071, 2071},
  };
  for (const Case& c : cases) {
    TPcbPad pad(0);
    pad.X = 1000, pad.Y = 2000, pad.Rotation = c.Rotation;
    pad.XSizeOnLayer[MidLayer1] = c.XSize, pad.YSizeOnLayer[MidLayer1] = c.YSize;
    EXPECT_EQ(pad.EndX1(MidLayer1), c.X1) << c.XSize << "x" << c.YSize << " " << c.Rotation;
    EXPECT_EQ(pad.EndY1(MidLayer1), c.Y1) << c.XSize << "x" << c.YSize << " " << c.Rotation;
    EXPECT_EQ(pad.EndX2(MidLayer1), c.X2) << c.XSize << "x" << c.YSize << " " << c.Rotation;
    EXPECT_EQ(pad.EndY2(MidLayer1), c.Y2) << c.XSize << "x" << c.YSize << " " << c.Rotation;
  }
}

// ---- Getters and setters of the wrappers -----------------------------------------------

TEST(Wrappers, ConstructorsSetTheKindAndGettersAnswerTheirFields) {
  EXPECT_EQ(TPCBObject(0).ObjectKind, 0);
  EXPECT_EQ(TPcbManualFromTo(0).ObjectKind, 0);
  EXPECT_EQ(TPcbRuleExt(0).ObjectKind, okRule);
  EXPECT_EQ(TPCBObjectClass(0).ObjectKind, okClass);
  EXPECT_EQ(TPcbRuleExt(9).Scope2.ScopeIndex, 1);
  EXPECT_EQ(TPcbRuleExt(9).Scope1.RuleHandle, 9u);

  TPcbText text(0);
  text.SetSize(60), text.SetLineWidth(8), text.SetFont(2), text.SetMirrored(true);
  text.SetRotation(90);
  EXPECT_EQ(text.Height, 60);
  EXPECT_EQ(text.GetWidth(), 8);
  EXPECT_EQ(text.GetLineWidth(), 8);
  EXPECT_EQ(text.GetFont(), 2);
  EXPECT_TRUE(text.GetMirrored());
  EXPECT_EQ(text.Mirrored, 1);
  EXPECT_DOUBLE_EQ(text.GetRotation(), 90);
  text.SetWidth(99);  // only a track has SetWidth
  EXPECT_EQ(text.StrokeWidth, 8);

  TPcbArc arc(0);
  arc.SetLineWidth(7), arc.SetRadius(100), arc.SetStartAngle(10), arc.SetEndAngle(20);
  EXPECT_EQ(arc.GetLineWidth(), 7);
  EXPECT_EQ(arc.GetWidth(), 0);
  EXPECT_DOUBLE_EQ(arc.GetEndAngle(), 20);

  TPcbFromTo fromTo(0);
  fromTo.SetX2(5), fromTo.SetFromLayer(1), fromTo.SetToLayer(32);
  EXPECT_EQ(fromTo.GetX2(), 5);
  EXPECT_EQ(fromTo.GetToLayer(), 32);

  TPcbTrack track(0);
  track.SetFlag2000(true);
  track.SetFlag8000(true);
  track.SetFlag2000(false);
  EXPECT_EQ(track.Flags, 0x8000);
  track.SetBitField3Bits0006(true);
  EXPECT_EQ(track.BitField3, 0x0006);
  track.SetBitField3Bit0002(false);
  EXPECT_TRUE(track.GetBitField3Bits0006());
  EXPECT_FALSE(track.GetBitField3Bit0002());
  track.BitField2 = 0x41;
  EXPECT_TRUE(track.GetBitField2Bit01());
  EXPECT_TRUE(track.GetBitField2Bit40());
  EXPECT_FALSE(track.GetBitField2Bit10());
}

// ---- Short strings ---------------------------------------------------------------------

TEST(ShortStrings, CutToTheCapacityBothWays) {
  EXPECT_EQ(CutString("abcdef", 3), "abc");
  EXPECT_EQ(CutString(std::string(300, 'x')).size(), 255u);
  EXPECT_EQ(CutString(std::string(300, 'x'), 1000).size(), 255u);
  uint8_t buffer[22];
  std::memset(buffer, 0xEE, sizeof buffer);
  ToShortString(std::string(30, 'p'), buffer, 20);
  EXPECT_EQ(buffer[0], 20);
  EXPECT_EQ(buffer[20], 'p');
  EXPECT_EQ(buffer[21], 0xEE);  // nothing past the field
  uint8_t wide[256] = {250};
  EXPECT_EQ(FromShortString(wide, 20).size(), 20u);  // a length byte above the capacity
  ShortString s(std::string(400, 'q'));
  EXPECT_EQ(s.Bytes[0], 255);
  EXPECT_EQ(s.Text(254).size(), 254u);
}

}  // namespace

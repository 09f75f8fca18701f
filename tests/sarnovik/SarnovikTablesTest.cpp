// The format's tables and conversions: layers, plane connections, arc
// quadrants, stroke widths and text orientations.
#include <gtest/gtest.h>

#include <cstdint>

#include "hostapi/PcbTypes.h"
#include "hostapi/PcbUtil.h"
#include "sarnovik/SarnovikTables.h"

namespace {

using namespace sarnovik;

TEST(SarnovikTables, FileLayersToHostLayers) {
  struct Case {
    int fileLayer;
    uint8_t host;
  };
  const Case cases[] = {
      {1, TopLayer},        {2, MidLayer1},       {3, MidLayer2},      {4, MidLayer3},
      {5, MidLayer14},      {6, BottomLayer},     {7, TopOverlay},     {8, BottomOverlay},
      {9, InternalPlane1},  {10, InternalPlane2}, {11, Mechanical1},   {12, KeepOutLayer},
      {13, MultiLayer},
      // Outside the table the layer that LegacyLayerToHost gives is kept ...
      {14, MidLayer13},     {15, MidLayer14},     {16, BottomLayer},   {34, MultiLayer},
      {27, DrillGuide},     {42, ViaHoleLayer},
      // ... and a number without a host layer leaves the object on no layer.
      {0, NoLayer},         {43, NoLayer},        {-1, NoLayer},       {256 + 6, NoLayer},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fileLayer);
    EXPECT_EQ(MapSarnovikLayer(hostapi::LegacyLayerToHost(c.fileLayer)), c.host);
  }
}

TEST(SarnovikTables, PlaneConnectionCodes) {
  struct Case {
    int32_t code;
    uint16_t value;
    int plane;
  };
  const Case cases[] = {
      {0, 0, 0},  // 0 is taken as 1
      {1, 0, 0}, {2, 1, 1}, {3, 2, 1}, {4, 4, 2}, {5, 5, 2}, {6, 3, 1}, {7, 6, 2},
      {9, 6, 2},    // above 7 is taken as 7
      {256, 0, 0},  // only the low 8 bits count
      {258, 1, 1},
      {-1, 6, 2},   // 255
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(PlaneConnectValue(c.code), c.value);
    EXPECT_EQ(PlaneOfConnectValue(PlaneConnectValue(c.code)), c.plane);
  }
  // Values the host may hold: 1 to 12 name planes 1 to 4, others none.
  EXPECT_EQ(PlaneOfConnectValue(7), 3);
  EXPECT_EQ(PlaneOfConnectValue(12), 4);
  EXPECT_EQ(PlaneOfConnectValue(13), 0);
  EXPECT_EQ(PlaneOfConnectValue(0x0104), 2);
}

TEST(SarnovikTables, ArcCodes) {
  struct Case {
    int32_t code;
    double start, end;
  };
  const Case cases[] = {
      {0, 0, 0},      {1, 0, 90},    {3, 0, 180},  {5, 0, 90},   {6, 90, 270},
      {9, 270, 90},   {10, 90, 180}, {12, 180, 360}, {15, 0, 360},
      {16 + 9, 270, 90},  // modulo 16
      {-7, 270, 90},      // -7 mod 16 = 9
      {-1, 0, 360},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    const int i = ArcCodeIndex(c.code);
    ASSERT_GE(i, 0);
    ASSERT_LT(i, 16);
    EXPECT_EQ(ArcStartAngles[i], c.start);
    EXPECT_EQ(ArcEndAngles[i], c.end);
  }
}

TEST(SarnovikTables, StrokeWidthForHeight) {
  struct Case {
    double heightMils;
    int32_t width;
  };
  const Case cases[] = {
      {20, 60000},  {30, 60000},  // at most 3 mil: 6 mil
      {31, 60667},                // 6 mil + 2/3 of 0.1 mil, rounded
      {50, 73333},                // 6 mil + 2/3 of 2 mil, rounded
      {59, 79333},  {60, 80000},  {70, 80000},  {79, 80000},
      {80, 80000},  {100, 100000}, {0, 60000},  {-50, 60000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.heightMils);
    EXPECT_EQ(StrokeWidthForHeight(hostapi::MilsToUnits(c.heightMils)), c.width);
  }
}

TEST(SarnovikTables, TextOrientation) {
  struct Case {
    int32_t code;
    double rotation;
    bool mirrored;
  };
  const Case cases[] = {
      {0, 0, false},   {1, 90, false},  {2, 180, false}, {3, 270, false},
      {16, 0, true},   {17, 270, true}, {18, 180, true}, {32, 180, true},
      {33, 90, true},  {48, 180, false}, {49, 270, false},
      {4 + 8 + 64, 0, false},  // bits other than 0, 1, 4 and 5 are ignored
      {-1, 90, false},         // every bit set: 270, mirrored, then turned and unmirrored
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    const TTextRotation r = TextOrientation(c.code);
    EXPECT_EQ(r.Rotation, c.rotation);
    EXPECT_EQ(r.Mirrored, c.mirrored);
  }
}

TEST(SarnovikTables, OrientationRoundsHalvesToEven) {
  EXPECT_EQ(OrientationCode(2.5), 2);
  EXPECT_EQ(OrientationCode(3.5), 4);
  EXPECT_EQ(OrientationCode(-0.5), 0);
  EXPECT_EQ(OrientationCode(1.2e1), 12);
  EXPECT_EQ(TextOrientation(OrientationCode(2.5)).Rotation, 180);
}

TEST(SarnovikTables, FileUnitsToHostUnits) {
  EXPECT_EQ(FileToUnits(25), 250000);
  EXPECT_EQ(FileToUnits(214748), 2147480000);
  EXPECT_EQ(FileToUnits(-214748), -2147480000);
  EXPECT_EQ(FileToUnits(300000), INT32_MAX);
  EXPECT_EQ(FileToUnits(-300000), INT32_MIN);
}

}  // namespace

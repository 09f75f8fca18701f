#include "sarnovik/SarnovikTables.h"

#include <cstdint>
#include <limits>

#include "hostapi/PcbTypes.h"
#include "hostapi/PcbUtil.h"

namespace sarnovik {

const uint8_t SarnovikLayerTable[14] = {
    NoLayer,        // not used
    TopLayer,       // 1
    MidLayer1,      // 2
    MidLayer2,      // 3
    MidLayer3,      // 4
    MidLayer14,     // 5
    BottomLayer,    // 6
    TopOverlay,     // 7
    BottomOverlay,  // 8
    InternalPlane1, // 9
    InternalPlane2, // 10
    Mechanical1,    // 11
    KeepOutLayer,   // 12
    MultiLayer,     // 13
};

const uint16_t PlaneConnectTable[8] = {0, 0, 1, 2, 4, 5, 3, 6};

// Bits of the code: quadrant 0-90 (bit 0), 90-180 (bit 1), 180-270 (bit 2),
// 270-360 (bit 3). Codes 5 and 10 have quadrants that do not touch and keep
// only the lower one.
const double ArcStartAngles[16] = {0,   0,  90, 0,   180, 0,   90, 0,
                                   270, 270, 90, 270, 180, 180, 90, 0};
const double ArcEndAngles[16] = {0,   90, 180, 180, 270, 90,  270, 270,
                                 360, 90, 180, 180, 360, 90,  360, 360};

int32_t FileToUnits(int32_t fileValue) {
  const int64_t units = int64_t{fileValue} * kUnitsPerFileUnit;
  if (units > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (units < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(units);
}

uint8_t MapSarnovikLayer(uint8_t legacyLayer) {
  if (legacyLayer >= 1 && legacyLayer <= 13) return SarnovikLayerTable[legacyLayer];
  return legacyLayer;  // a host layer already, or NoLayer
}

uint16_t PlaneConnectValue(int32_t fileCode) {
  uint8_t code = static_cast<uint8_t>(static_cast<uint32_t>(fileCode) & 0xFFu);
  if (code == 0) code = 1;
  if (code > 7) code = 7;
  return PlaneConnectTable[code];
}

int PlaneOfConnectValue(uint16_t value) {
  const int v = value & 0xFF;
  if (v < 1 || v > 12) return 0;
  return (v - 1) / 3 + 1;
}

int ArcCodeIndex(int32_t segmentCode) {
  return static_cast<int>(static_cast<uint32_t>(segmentCode) & 15u);
}

int32_t StrokeWidthForHeight(int32_t height) {
  const int32_t c = hostapi::RoundHalfEven(height * 0.1);
  const int32_t three = hostapi::MilsToUnits(3);
  const int32_t six = hostapi::MilsToUnits(6);
  const int32_t eight = hostapi::MilsToUnits(8);
  if (c <= three) return six;
  if (c < six) return six + hostapi::RoundHalfEven((c - three) * 2.0 / 3.0);
  if (c < eight) return eight;
  return c;
}

TTextRotation TextOrientation(int32_t code) {
  const uint32_t bits = static_cast<uint32_t>(code);
  int angle = static_cast<int>(bits & 3u) * 90;
  bool mirrored = (bits & 16u) != 0;
  if (bits & 32u) {
    angle += 180;
    if (angle >= 360) angle -= 360;
    mirrored = !mirrored;
  }
  if (mirrored) angle = 360 - angle;
  if (angle >= 360) angle -= 360;
  if (angle < 0) angle += 360;
  return {static_cast<double>(angle), mirrored};
}

int32_t OrientationCode(double orientation) { return hostapi::RoundHalfEven(orientation); }

}  // namespace sarnovik

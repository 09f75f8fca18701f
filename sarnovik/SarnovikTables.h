// The fixed tables of the Sarnovik format and the conversions that use only
// them: layers, plane connections, arc quadrants, text orientation and the
// stroke width of texts.
#pragma once

#include <cstdint>

namespace sarnovik {

// One file unit is one mil; a host unit is 1/10000 mil.
inline constexpr int32_t kUnitsPerFileUnit = 10000;

// Host layer of each file layer 1 to 13 (entry 0 is not used).
extern const uint8_t SarnovikLayerTable[14];
// Plane connection value (the pad's ExtraWord) of each code 1 to 7 (entry 0
// is not used).
extern const uint16_t PlaneConnectTable[8];
// Start and end angles (degrees) of an arc by its segment code modulo 16.
extern const double ArcStartAngles[16];
extern const double ArcEndAngles[16];

// A file length in host units. The reader only passes lengths whose host value
// fits; anything beyond is held at the 32-bit limits.
int32_t FileToUnits(int32_t fileValue);

// The host layer of a record, given the value LegacyLayerToHost made of the
// file's layer number: 1 to 13 go through SarnovikLayerTable; any other
// non-zero value is already a host layer and is kept; 0 (a file layer that
// has no host layer) stays NoLayer.
uint8_t MapSarnovikLayer(uint8_t legacyLayer);

// The pad's plane connection value for a file code: the low 8 bits, 0 taken as
// 1 and anything above 7 as 7.
uint16_t PlaneConnectValue(int32_t fileCode);

// The internal plane (1 to 4) that a plane connection value names, or 0 when
// it names none (the value's low 8 bits must be 1 to 12).
int PlaneOfConnectValue(uint16_t value);

// An arc's segment code modulo 16 (also for negative codes).
int ArcCodeIndex(int32_t segmentCode);

// Stroke width for a text height, both in host units.
int32_t StrokeWidthForHeight(int32_t height);

struct TTextRotation {
  double Rotation;  // degrees in [0, 360)
  bool Mirrored;
};
// Rotation and mirror flag of an orientation code.
TTextRotation TextOrientation(int32_t code);

// The orientation code of the number a string record holds: rounded to the
// nearest integer, halves to even. The reader passes only values whose
// rounding fits 32 bits.
int32_t OrientationCode(double orientation);

}  // namespace sarnovik

// Layer ids, object kinds and other host enumerations as the stand-in host
// module sees them, with the names it shows for them.
#pragma once

#include <cstdint>
#include <string>

namespace tarvex {

enum : uint8_t {
  kNoLayer = 0,
  kTopLayer = 1,
  kMidLayer1 = 2,
  kMidLayer30 = 31,
  kBottomLayer = 32,
  kTopOverlay = 33,
  kBottomOverlay = 34,
  kTopPaste = 35,
  kBottomPaste = 36,
  kTopSolder = 37,
  kBottomSolder = 38,
  kInternalPlane1 = 39,
  kInternalPlane16 = 54,
  kDrillGuide = 55,
  kKeepOutLayer = 56,
  kMechanical1 = 57,
  kMechanical16 = 72,
  kDrillDrawing = 73,
  kMultiLayer = 74,
  kLastLayer = 82,
};
inline constexpr int kLayerCount = 83;  // ids 0..82

enum : uint8_t {
  kArc = 1,
  kPad = 2,
  kVia = 3,
  kTrack = 4,
  kText = 5,
  kFill = 6,
  kFromTo = 7,
  kNet = 8,
  kComponent = 9,
  kPolygon = 10,
  kDimension = 11,
  kCoordinate = 12,
  kClass = 13,
  kRule = 14,
  kManualFromTo = 15,
  kBoardOutline = 21,
};

enum : uint8_t { kRound = 1, kRectangle = 2, kOctagonal = 3 };
enum : uint8_t { kStackSimple = 0, kStackTopMidBottom = 1, kStackPerLayer = 2 };

inline bool IsObjectKind(int kind) { return (kind >= 1 && kind <= 15) || kind == kBoardOutline; }
inline bool IsCopperLayer(int layer) { return layer >= kTopLayer && layer <= kBottomLayer; }
inline bool IsPlaneLayer(int layer) { return layer >= kInternalPlane1 && layer <= kInternalPlane16; }

// The identifier of a layer ("TopLayer", "MidLayer3", ...); empty above 82.
std::string LayerIdentifier(int layer);
// The name the host shows for a layer ("Top Layer", "Mid Layer 3", ...);
// empty above 82.
std::string LayerDisplayName(int layer);
// The name of an object kind ("track", "pad", ...); "kind N" for others.
std::string KindName(int kind);

}  // namespace tarvex

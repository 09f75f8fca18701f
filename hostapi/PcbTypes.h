// Host PCB enumerations and basic types: layer ids, object kinds, rule kinds,
// class member kinds, subscope kinds, pad shapes, pad stack modes and the
// exchange directions of the record functions.
#pragma once

#include <cstdint>

#include "hostapi/PcbApiAbi.h"

using THandle = pcbabi::THandle;  // opaque host object handle, 0 = none
using TStatus = pcbabi::TStatus;  // 0 = success, non-zero = failure or end of list
using TCoord = pcbabi::TCoord;    // host length units (1/10000 mil)

// Exchange directions: the first argument of every record function.
inline constexpr uint8_t qdWrite = pcbabi::qdWrite;                    // caller -> host
inline constexpr uint8_t qdRead = pcbabi::qdRead;                      // host -> caller
inline constexpr uint8_t qdWritePlacement = pcbabi::qdWritePlacement;  // write, placement

// Host layer ids.
enum TLayer : uint8_t {
  NoLayer = 0,
  TopLayer = 1,
  MidLayer1, MidLayer2, MidLayer3, MidLayer4, MidLayer5, MidLayer6, MidLayer7, MidLayer8,
  MidLayer9, MidLayer10, MidLayer11, MidLayer12, MidLayer13, MidLayer14, MidLayer15,
  MidLayer16, MidLayer17, MidLayer18, MidLayer19, MidLayer20, MidLayer21, MidLayer22,
  MidLayer23, MidLayer24, MidLayer25, MidLayer26, MidLayer27, MidLayer28, MidLayer29,
  MidLayer30,
  BottomLayer = 32,
  TopOverlay = 33,
  BottomOverlay = 34,
  TopPaste = 35,
  BottomPaste = 36,
  TopSolder = 37,
  BottomSolder = 38,
  InternalPlane1 = 39, InternalPlane2, InternalPlane3, InternalPlane4, InternalPlane5,
  InternalPlane6, InternalPlane7, InternalPlane8, InternalPlane9, InternalPlane10,
  InternalPlane11, InternalPlane12, InternalPlane13, InternalPlane14, InternalPlane15,
  InternalPlane16,
  DrillGuide = 55,
  KeepOutLayer = 56,
  Mechanical1 = 57, Mechanical2, Mechanical3, Mechanical4, Mechanical5, Mechanical6,
  Mechanical7, Mechanical8, Mechanical9, Mechanical10, Mechanical11, Mechanical12,
  Mechanical13, Mechanical14, Mechanical15, Mechanical16,
  DrillDrawing = 73,
  MultiLayer = 74,
  ConnectLayer = 75,
  BackGroundLayer = 76,
  DRCErrorLayer = 77,
  HighlightLayer = 78,
  GridColor1 = 79,
  GridColor10 = 80,
  PadHoleLayer = 81,
  ViaHoleLayer = 82,
};
inline constexpr int kMaxLayerId = 82;
inline constexpr int kLayerCount = 83;  // ids 0 to 82

static_assert(MidLayer30 == 31 && InternalPlane16 == 54 && Mechanical16 == 72);

// Object kinds (0 in an iterator selects all kinds).
enum TObjectKind : uint8_t {
  okNone = 0,
  okArc = 1,
  okPad = 2,
  okVia = 3,
  okTrack = 4,
  okText = 5,
  okFill = 6,
  okFromTo = 7,
  okNet = 8,
  okComponent = 9,
  okPolygon = 10,
  okDimension = 11,
  okCoordinate = 12,
  okClass = 13,
  okRule = 14,
  okManualFromTo = 15,
  okBoardOutline = 21,
};

// Rule kinds used by the importers (argument of PcbApi_CreateRuleObject).
enum TRuleKind : uint8_t {
  rkClearance = 0,
  rkWidth = 2,
  rkLength = 3,
  rkRoutingVia = 11,
  rkRoom = 22,
};

// Class member kinds (argument of PcbApi_CreateClassObjectEx).
enum TClassMemberKind : uint8_t {
  ckNet = 0,
  ckComponent = 1,
};

// Subscope kinds of a rule scope.
enum TSubscopeKind : uint8_t {
  skBoard = 0,
  skLayer = 2,
  skObjectKind = 3,
  skComponentClass = 5,
  skNet = 8,
};

// Pad shapes.
enum TPadShape : uint8_t {
  psRound = 1,
  psRectangle = 2,
  psOctagonal = 3,
};

// Pad stack modes; only the per-layer mode exchanges per-layer values.
enum TPadStackMode : uint8_t {
  psmSimple = 0,
  psmTopMiddleBottom = 1,
  psmPerLayer = 2,
};

// Copper layers that a per-layer pad stack exchanges: ids 1 to 32.
inline constexpr int kFirstCopperLayer = TopLayer;
inline constexpr int kLastCopperLayer = BottomLayer;

#include <string>

#include "host/tarvex/TarvexLayers.h"

namespace tarvex {

namespace {

struct LayerNames {
  const char* Identifier;
  const char* Display;
};

// Ids 33..82 (the numbered ranges are built below).
const LayerNames kNamedLayers[] = {
    {"TopOverlay", "Top Overlay"},
    {"BottomOverlay", "Bottom Overlay"},
    {"TopPaste", "Top Paste"},
    {"BottomPaste", "Bottom Paste"},
    {"TopSolder", "Top Solder Mask"},
    {"BottomSolder", "Bottom Solder Mask"},
};
const LayerNames kUpperLayers[] = {  // 73..82
    {"DrillDrawing", "Drill Drawing"},
    {"MultiLayer", "Multi Layer"},
    {"ConnectLayer", "Connect Layer"},
    {"BackGroundLayer", "BackGround"},
    {"DRCErrorLayer", "DRC Errors"},
    {"HighlightLayer", "Highlight Layer"},
    {"GridColor1", "Grid Color 1"},
    {"GridColor10", "Grid Color 10"},
    {"PadHoleLayer", "Pad Hole Layer"},
    {"ViaHoleLayer", "Via Hole Layer"},
};

}  // namespace

std::string LayerIdentifier(int layer) {
  if (layer == 0) return "NoLayer";
  if (layer == 1) return "TopLayer";
  if (layer >= 2 && layer <= 31) return "MidLayer" + std::to_string(layer - 1);
  if (layer == 32) return "BottomLayer";
  if (layer >= 33 && layer <= 38) return kNamedLayers[layer - 33].Identifier;
  if (layer >= 39 && layer <= 54) return "InternalPlane" + std::to_string(layer - 38);
  if (layer == 55) return "DrillGuide";
  if (layer == 56) return "KeepOutLayer";
  if (layer >= 57 && layer <= 72) return "Mechanical" + std::to_string(layer - 56);
  if (layer >= 73 && layer <= 82) return kUpperLayers[layer - 73].Identifier;
  return "";
}

std::string LayerDisplayName(int layer) {
  if (layer == 0) return "Any Layer";
  if (layer == 1) return "Top Layer";
  if (layer >= 2 && layer <= 31) return "Mid Layer " + std::to_string(layer - 1);
  if (layer == 32) return "Bottom Layer";
  if (layer >= 33 && layer <= 38) return kNamedLayers[layer - 33].Display;
  if (layer >= 39 && layer <= 54) return "Internal Plane " + std::to_string(layer - 38);
  if (layer == 55) return "Drill Guide";
  if (layer == 56) return "Keep Out Layer";
  if (layer >= 57 && layer <= 72) return "Mechanical Layer " + std::to_string(layer - 56);
  if (layer >= 73 && layer <= 82) return kUpperLayers[layer - 73].Display;
  return "";
}

std::string KindName(int kind) {
  switch (kind) {
    case kArc: return "arc";
    case kPad: return "pad";
    case kVia: return "via";
    case kTrack: return "track";
    case kText: return "text";
    case kFill: return "fill";
    case kFromTo: return "fromTo";
    case kNet: return "net";
    case kComponent: return "component";
    case kPolygon: return "polygon";
    case kDimension: return "dimension";
    case kCoordinate: return "coordinate";
    case kClass: return "class";
    case kRule: return "rule";
    case kManualFromTo: return "manualFromTo";
    case kBoardOutline: return "boardOutline";
    default: return "kind " + std::to_string(kind);
  }
}

}  // namespace tarvex

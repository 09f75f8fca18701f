// Copper areas of a Vexal design: copper pours ("copperPour",
// "copperPour95"), planes ("plane", "planeObj") and filled polygons
// ("pcbPoly") become host polygons; polygon cut-outs and keep-outs,
// reference points, design views and the islands, thermals and vertices of a
// pour are read and dropped.
//
// A host polygon holds at most 500 vertices. An outline with more points
// keeps its first 500 (the closing record repeats the first point) and the
// report gets an import warning that says how many points were left out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vexal/design/VexalDesign.h"

class TPcbPolygon;

using TVexalPointList = std::vector<TVexalPoint>;

// A group whose "pt" groups are appended to a list; every other group in it
// is skipped as unhandled ("pourOutline", "planeOutline", "islandOutline",
// "copperPourIslandCutout").
class TVexalPointGroup : public TVexalObject {
 public:
  TVexalPointGroup(const TVexalObject* creator, TVexalPointList& points)
      : TVexalObject(creator), Points(points) {}
  void Parse() override;
  void Translate() override {}

 private:
  TVexalPointList& Points;
};

// Writes the outline of `points` into the polygon's vertex records: one
// record of kind 0 per point, then the first point again, VertexCount = the
// number of points. At most TPcbPolygon::kMaxVertices points are written;
// with more, the report of `object` (if any) gets the warning of
// OutlineCutWarning. Answers the number of points written. An empty list
// changes nothing.
int FillPolygonOutline(const TVexalObject& object, TPcbPolygon& polygon, const TVexalPointList& points);

// "Polygon starting at:(<x>;<y>) has <n> points, the host holds 500: the last
// <n - 500> points were not imported", the coordinates as in the copper-tie
// warning.
std::string OutlineCutWarning(const TVexalObject& object, const TVexalPointList& points);

// A coordinate in the report's unit: mil for files in mil or inch, mm for
// files in mm.
std::string ReportCoordinate(const TVexalObject& object, int32_t units);

// Whether a host layer is one of the internal planes 1 to 16.
bool IsInternalPlaneLayer(uint8_t layer);

// ---- Copper pours ---------------------------------------------------------------------

// The outline of a pour: its points and a rotation (read, not used).
class TVexalFillPoly : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  void Translate() override {}
  TVexalPointList Points;
  double Rotation = 0.0;
};

// A "vertex" group: consumed whole, nothing kept.
class TVexalVertex : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  void Translate() override {}
};

class TVexalThermal : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Translate() override {}
  TVexalPoint Start;
  TVexalPoint End;
};

using TVexalThermalList = std::vector<std::unique_ptr<TVexalThermal>>;

class TVexalCopperPourIsland : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  void Translate() override {}
  TVexalPointList Outline;        // "islandOutline"
  TVexalPointList CutoutPoints;   // "copperPourIslandCutout"
  TVexalThermalList Thermals;     // "thermal"
};

inline constexpr uint8_t kPourSolid = 0;
inline constexpr uint8_t kPourHoriz = 1;
inline constexpr uint8_t kPourVert = 2;
inline constexpr uint8_t kPourHatch45 = 3;
inline constexpr uint8_t kPourHatch90 = 4;

inline constexpr uint8_t kIslandRemovalNone = 0;
inline constexpr uint8_t kIslandRemovalArea = 1;
inline constexpr uint8_t kIslandRemovalInterior = 2;
inline constexpr uint8_t kIslandRemovalUnconnected = 3;

class TVexalCopperPour : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  // A host polygon on Layer (nothing on layer 0), joined to the net of its
  // net name, collected for the closing messages of the import.
  void Translate() override;

  uint8_t PourType = kPourSolid;
  std::string NetName;
  int32_t Width = 0;
  int32_t Spacing = 0;
  int32_t Backoff = 0;
  double Smoothness = 1.0;
  bool UseDesignRules = true;
  uint8_t ThermalType = 0;  // "NoTherm" 0, "Therm45" 1, "Therm90" 2
  int32_t ThermalWidth = 0;
  int32_t ThermalSpokes = 0;
  uint8_t IslandRemoval = kIslandRemovalNone;
  std::string IslandArea;  // the text after "Area"
  std::unique_ptr<TVexalFillPoly> Outline;
  TVexalPointList PourOutline;
  std::vector<std::unique_ptr<TVexalVertex>> Vertices;
  TVexalThermalList Thermals;
  std::vector<std::unique_ptr<TVexalCopperPourIsland>> Islands;
};

// ---- Planes ---------------------------------------------------------------------------

class TVexalPlane : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  // "netNameRef", "width", and the "pt" groups inside "pcbPoly" or
  // "planeOutline".
  void Parse() override;
  // A host polygon on an internal plane (OnInternalPlane 1 whatever the
  // layer; nothing on layer 0). Not collected.
  void Translate() override;

  std::string NetName;
  int32_t Width = 0;
  TVexalPointList Points;
};

// ---- Filled polygons ------------------------------------------------------------------

struct TVexalFillet {
  TVexalPoint Point;
  int32_t Radius = 0;
};

class TVexalFillets : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  // "chordHeight"; each "filletDesc" starts a fillet, its "pt" sets the point
  // and its "radius" the radius, which appends the fillet.
  void Parse() override;
  void Translate() override {}
  int32_t ChordHeight = 0;
  std::vector<TVexalFillet> Fillets;
};

class TVexalPcbPoly : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  // A "pcbPoly" inside the group only opens its bracket: its points are this
  // polygon's.
  void Parse() override;
  // A host polygon on Layer (nothing on layer 0 or without points). A copper
  // tie joins the one net whose "TieNet" attribute carries its tie value; a
  // tie between several nets is not made, and the report says so.
  void Translate() override;

  TVexalPointList Points;
  std::string NetName;  // read, not used
  bool Flipped = false;
  bool CopperTie = false;
  std::string TieNetValue;
  std::unique_ptr<TVexalFillets> Fillets;
};

// The names of the netlist's nets, in netlist order, with an attribute
// "TieNet" whose value is `tieValue` (both compared without regard to case).
// None without a netlist.
std::vector<std::string> TieNetNames(const TVexalObject& object, const std::string& tieValue);

// The warning of a copper tie between several nets, cut to 255 characters.
std::string CopperTieWarning(const TVexalObject& object, const TVexalPoint& first,
                             const std::vector<std::string>& nets);

class TVexalPolyCutOut : public TVexalPcbPoly {
 public:
  using TVexalPcbPoly::TVexalPcbPoly;
  void Translate() override {}
};

class TVexalPolyKeepOut : public TVexalPcbPoly {
 public:
  using TVexalPcbPoly::TVexalPcbPoly;
  void Translate() override {}
};

// ---- Reference points and design views --------------------------------------------------

class TVexalRefPoint : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  void Translate() override {}
  TVexalPoint Position;
};

class TVexalDesignViewRegion : public TVexalObject {
 public:
  using TVexalObject::TVexalObject;
  // Its two "pt" groups, one after the other.
  void Parse() override;
  void Translate() override {}
  TVexalPoint First;
  TVexalPoint Second;

 private:
  int PointsRead = 0;
};

class TVexalDesignView : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  void Translate() override {}
  TVexalPoint Position;
  double ScaleFactor = 0.0;
  bool Mirrored = false;
  std::string Title;
  std::string Subtitle;
  std::string TextStyleName;
  std::vector<int32_t> Layers;  // "layerNumRef" inside "layerList"
  std::unique_ptr<TVexalDesignViewRegion> Region;
};

// The object of a polygon, pour, plane, room, reference point or design view
// keyword, made from `creator` and not yet parsed; nullptr for any other
// keyword.
std::unique_ptr<TVexalObject> MakePolygonObject(const TVexalObject* creator, int32_t keyword);

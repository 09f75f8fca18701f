#include "vexal/design/VexalPolygons.h"

#include <algorithm>
#include <array>
#include <functional>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbObjects.h"
#include "hostapi/PcbUtil.h"
#include "vexal/design/VexalNetlist.h"
#include "vexal/design/VexalRooms.h"
#include "vexal/reader/VexalAsciiFile.h"
#include "vexal/report/ReportManager.h"

namespace {

// The host event that tells the host about a new polygon.
constexpr uint16_t kEventPolygon = 3;

void AnnouncePolygon(THandle polygon) { hostapi::PcbApi_EventRouter_SendMessage(0, 0, kEventPolygon, polygon); }

enum class TPlaneFlag { OnInternalPlanes, Always };
enum class TCollect { No, Yes };

// The life of the host polygon of a pour, plane or filled polygon: created
// and read; placed on the object's layer with PolyOption 1 and OnInternalPlane
// 1 on internal planes 1 to 16 (or whatever the layer); `fill` sets the rest;
// written; collected for the closing messages when asked; announced; added
// to the object's container and, when the object has one, its net. Nothing
// when the host makes no polygon.
void MakeHostPolygon(TVexalDrawObject& object, TPlaneFlag planeFlag, TCollect collect,
                     const std::function<void(TPcbPolygon&)>& fill) {
  object.HostObject = hostapi::PcbApi_CreateObject(okPolygon);
  if (object.HostObject == 0) return;
  {
    TPcbPolygon polygon(object.HostObject);
    polygon.Exchange(qdRead);
    polygon.Layer = object.Layer;
    if (planeFlag == TPlaneFlag::Always || IsInternalPlaneLayer(object.Layer)) polygon.OnInternalPlane = 1;
    polygon.PolyOption = 1;
    fill(polygon);
    polygon.Exchange(qdWrite);
  }
  if (collect == TCollect::Yes) CollectPolygon(object.HostObject);
  AnnouncePolygon(object.HostObject);
  object.TVexalObject::Translate();
}

// The track width and hatch grid of a filled polygon: 10 mil.
constexpr int32_t kFilledPolygonGrid = 100000;

// A "thermal" group: its "pt" groups, two per thermal.
class TVexalThermalGroup : public TVexalObject {
 public:
  TVexalThermalGroup(const TVexalObject* creator, TVexalThermalList& thermals)
      : TVexalObject(creator), Thermals(thermals) {}
  void Parse() override {
    bool haveStart = false;
    ParseLoop([this, &haveStart](int32_t token) {
      if (token != kwPt) return false;
      const TVexalPoint point = ReadPoint();
      if (!haveStart) {
        Thermals.push_back(std::make_unique<TVexalThermal>(this));
        Thermals.back()->Start = point;
      } else {
        Thermals.back()->End = point;
      }
      haveStart = !haveStart;
      return true;
    });
  }
  void Translate() override {}

 private:
  TVexalThermalList& Thermals;
};

}  // namespace

// ---- Shared helpers ----------------------------------------------------------------------

void TVexalPointGroup::Parse() {
  ParseLoop([this](int32_t token) {
    if (token != kwPt) return false;
    Points.push_back(ReadPoint());
    return true;
  });
}

bool IsInternalPlaneLayer(uint8_t layer) { return layer >= InternalPlane1 && layer <= InternalPlane16; }

std::string ReportCoordinate(const TVexalObject& object, int32_t units) {
  return hostapi::UnitsToText(units, object.FileUnits != kUnitsMillimetres);
}

std::string OutlineCutWarning(const TVexalObject& object, const TVexalPointList& points) {
  const size_t held = static_cast<size_t>(TPcbPolygon::kMaxVertices);
  if (points.size() <= held) return {};
  return "Polygon starting at:(" + ReportCoordinate(object, points.front().X) + ";" +
         ReportCoordinate(object, points.front().Y) + ") has " + std::to_string(points.size()) +
         " points, the host holds " + std::to_string(held) + ": the last " + std::to_string(points.size() - held) +
         " points were not imported";
}

int FillPolygonOutline(const TVexalObject& object, TPcbPolygon& polygon, const TVexalPointList& points) {
  if (points.empty()) return 0;
  const size_t count = std::min(points.size(), static_cast<size_t>(TPcbPolygon::kMaxVertices));
  for (size_t i = 0; i < count; ++i) {
    polygon.Vertices[i].Kind = 0;
    polygon.Vertices[i].X = points[i].X;
    polygon.Vertices[i].Y = points[i].Y;
  }
  // The record after the last point closes the outline.
  polygon.Vertices[count].Kind = 0;
  polygon.Vertices[count].X = points.front().X;
  polygon.Vertices[count].Y = points.front().Y;
  polygon.VertexCount = static_cast<int32_t>(count);
  if (count < points.size() && object.Report) object.Report->AddImportWarning(iwText, OutlineCutWarning(object, points));
  return static_cast<int>(count);
}

// ---- Copper pours -----------------------------------------------------------------------

void TVexalFillPoly::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPt: Points.push_back(ReadPoint()); return true;
      case kwRotation: Rotation = ReadReal(); return true;
      default: return false;
    }
  });
}

void TVexalVertex::Parse() {
  // Whatever the group holds is consumed without a word.
  ParseLoop([](int32_t) { return true; });
}

void TVexalCopperPourIsland::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwIslandOutline: {
        TVexalPointGroup group(this, Outline);
        ParseChild(group);
        return true;
      }
      case kwCopperPourIslandCutout: {
        TVexalPointGroup group(this, CutoutPoints);
        ParseChild(group);
        return true;
      }
      case kwThermal: {
        TVexalThermalGroup group(this, Thermals);
        ParseChild(group);
        return true;
      }
      default: return false;
    }
  });
}

void TVexalCopperPour::Parse() {
  static constexpr std::array<const char*, 5> kPourTypes{"SolidPour", "HorizPour", "VertPour", "Hatch45Pour",
                                                         "Hatch90Pour"};
  static constexpr std::array<const char*, 3> kThermalTypes{"NoTherm", "Therm45", "Therm90"};
  static constexpr std::array<const char*, 4> kIslandRemovals{"None", "Area", "Interior", "Unconnected"};
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPourType: ReadWordCode(*this, PourType, kPourTypes); return true;
      case kwNetNameRef: NetName = ReadString(); return true;
      case kwWidth: Width = ReadCoord(); return true;
      case kwPourSpacing: Spacing = ReadCoord(); return true;
      case kwPourBackoff: Backoff = ReadCoord(); return true;
      case kwPourSmoothness: Smoothness = ReadReal(); return true;
      case kwUseDesignRules: UseDesignRules = ReadBoolean(); return true;
      case kwThermalType: ReadWordCode(*this, ThermalType, kThermalTypes); return true;
      case kwThermalWidth: ThermalWidth = ReadCoord(); return true;
      case kwThermalSpokes: ThermalSpokes = ReadInteger(); return true;
      case kwIslandRemoval: {
        const int code = WordCode(ReadString(), kIslandRemovals);
        if (code >= 0) IslandRemoval = static_cast<uint8_t>(code);
        if (code == kIslandRemovalArea) IslandArea = ReadString();
        return true;
      }
      case kwFillPoly:
      case kwPcbPoly:
        Outline.reset();
        Outline = std::make_unique<TVexalFillPoly>(this);
        ParseChild(*Outline);
        return true;
      case kwPourOutline: {
        TVexalPointGroup group(this, PourOutline);
        ParseChild(group);
        return true;
      }
      case kwVertex:
        Vertices.push_back(std::make_unique<TVexalVertex>(this));
        ParseChild(*Vertices.back());
        return true;
      case kwThermal: {
        TVexalThermalGroup group(this, Thermals);
        ParseChild(group);
        return true;
      }
      case kwCopperPourIsland:
        Islands.push_back(std::make_unique<TVexalCopperPourIsland>(this));
        ParseChild(*Islands.back());
        return true;
      default: return false;
    }
  });
}

void TVexalCopperPour::Translate() {
  if (Layer == 0) return;
  MakeHostPolygon(*this, TPlaneFlag::OnInternalPlanes, TCollect::Yes, [this](TPcbPolygon& polygon) {
    polygon.RemoveIslands = IslandRemoval == kIslandRemovalNone ? 0 : 1;
    // An outline without points counts as no outline: the host's vertices stay.
    if (Outline) FillPolygonOutline(*this, polygon, Outline->Points);
    polygon.TrackWidth = Width;
    polygon.GridSize = PourType == kPourSolid ? Width : Spacing;
    switch (PourType) {
      case kPourHatch45: polygon.HatchStyle = 1; break;
      case kPourVert: polygon.HatchStyle = 2; break;
      case kPourHoriz: polygon.HatchStyle = 3; break;
      default: polygon.HatchStyle = 0; break;  // solid, 90-degree hatch
    }
    if (!NetName.empty()) Net = FindNetHandle(NetName);
    polygon.Net = Net;
  });
}

// ---- Planes --------------------------------------------------------------------------------

void TVexalPlane::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwNetNameRef: NetName = ReadString(); return true;
      case kwWidth: Width = ReadCoord(); return true;
      case kwPcbPoly:
      case kwPlaneOutline: {
        TVexalPointGroup group(this, Points);
        ParseChild(group);
        return true;
      }
      default: return false;
    }
  });
}

void TVexalPlane::Translate() {
  if (Layer == 0) return;
  MakeHostPolygon(*this, TPlaneFlag::Always, TCollect::No, [this](TPcbPolygon& polygon) {
    FillPolygonOutline(*this, polygon, Points);
    polygon.TrackWidth = Width;
    if (!NetName.empty()) Net = FindNetHandle(NetName);
    polygon.Net = Net;
  });
}

// ---- Filled polygons ------------------------------------------------------------------------

void TVexalFillets::Parse() {
  TVexalFillet fillet;
  ParseLoop([this, &fillet](int32_t token) {
    switch (token) {
      case kwChordHeight: ChordHeight = ReadCoord(); return true;
      case kwFilletDesc: fillet = TVexalFillet{}; return true;  // opens its bracket
      case kwPt: fillet.Point = ReadPoint(); return true;
      case kwRadius:
        fillet.Radius = ReadCoord();
        Fillets.push_back(fillet);
        return true;
      default: return false;
    }
  });
}

void TVexalPcbPoly::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPt: Points.push_back(ReadPoint()); return true;
      case kwPcbPoly: return true;  // opens its bracket; its points are ours
      case kwNetNameRef: NetName = ReadString(); return true;
      case kwIsFlipped: Flipped = ReadBoolean(); return true;
      case kwIsCopperTie: CopperTie = ReadBoolean(); return true;
      case kwTieNetValue: TieNetValue = ReadString(); return true;
      case kwFillets:
        Fillets.reset();
        Fillets = std::make_unique<TVexalFillets>(this);
        ParseChild(*Fillets);
        return true;
      default: return false;
    }
  });
}

std::string CopperTieWarning(const TVexalObject& object, const TVexalPoint& first,
                             const std::vector<std::string>& nets) {
  std::string text = "VORTAN does not support copper ties between nets.\rSkipped import of polygon starting at:(" +
                     ReportCoordinate(object, first.X) + ";" + ReportCoordinate(object, first.Y) +
                     "),tying nets:\r";
  for (const std::string& net : nets) text += net + "\r";
  if (text.size() > 255) text.resize(255);
  return text;
}

void TVexalPcbPoly::Translate() {
  if (Layer == 0) return;
  // Without points there is no copper, and so nothing to make or to tie.
  if (Points.empty()) return;
  THandle tieNet = 0;
  if (CopperTie) {
    const std::vector<std::string> nets = TieNetNames(*this, TieNetValue);
    if (nets.size() > 1) {
      if (Report) Report->AddImportWarning(iwText, CopperTieWarning(*this, Points.front(), nets));
      return;
    }
    if (nets.size() == 1) tieNet = FindNetHandle(nets.front());
  }
  // The object's own Net stays 0: the polygon goes to Container only.
  MakeHostPolygon(*this, TPlaneFlag::OnInternalPlanes, TCollect::Yes, [this, tieNet](TPcbPolygon& polygon) {
    if (tieNet != 0) polygon.Net = tieNet;
    polygon.RemoveIslands = 0;
    FillPolygonOutline(*this, polygon, Points);
    polygon.GridSize = kFilledPolygonGrid;
    polygon.TrackWidth = kFilledPolygonGrid;
  });
}

// ---- Reference points and design views --------------------------------------------------------

void TVexalRefPoint::Parse() {
  ParseLoop([this](int32_t token) {
    if (token != kwPt) return false;
    Position = ReadPoint();
    return true;
  });
}

void TVexalDesignViewRegion::Parse() {
  ParseLoop([this](int32_t token) {
    if (token != kwPt) return false;
    const TVexalPoint point = ReadPoint();
    if (PointsRead++ == 0)
      First = point;
    else
      Second = point;
    return true;
  });
}

void TVexalDesignView::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPt: Position = ReadPoint(); return true;
      case kwScaleFactor: ScaleFactor = ReadReal(); return true;
      case kwIsMirrored: Mirrored = ReadBoolean(); return true;
      case kwTitle: Title = ReadString(); return true;
      case kwSubtitle: Subtitle = ReadString(); return true;
      case kwTextStyleRef: TextStyleName = ReadString(); return true;
      case kwLayerList: return true;  // opens the bracket of its layer numbers
      case kwLayerNumRef: Layers.push_back(ReadInteger()); return true;
      case kwDesignViewRegion:
        Region.reset();
        Region = std::make_unique<TVexalDesignViewRegion>(this);
        ParseChild(*Region);
        return true;
      default: return false;
    }
  });
}

// ---- The keyword table ------------------------------------------------------------------------

std::unique_ptr<TVexalObject> MakePolygonObject(const TVexalObject* creator, int32_t keyword) {
  switch (keyword) {
    case kwCopperPour:
    case kwCopperPour95: return std::make_unique<TVexalCopperPour>(creator);
    case kwPlane:
    case kwPlaneObj: return std::make_unique<TVexalPlane>(creator);
    case kwPcbPoly: return std::make_unique<TVexalPcbPoly>(creator);
    case kwPolyCutOut: return std::make_unique<TVexalPolyCutOut>(creator);
    case kwPolyKeepOut: return std::make_unique<TVexalPolyKeepOut>(creator);
    case kwRefPoint: return std::make_unique<TVexalRefPoint>(creator);
    case kwDesignView: return std::make_unique<TVexalDesignView>(creator);
    case kwRoom: return std::make_unique<TVexalRoom>(creator);
    default: return nullptr;
  }
}

// ---- Copper-tie nets ---------------------------------------------------------------------------

std::vector<std::string> TieNetNames(const TVexalObject& object, const std::string& tieValue) {
  // Without a netlist there are no nets to tie: the polygon is made without
  // a net.
  if (!object.Netlist) return {};
  return object.Netlist->TieNetNamesOf(tieValue);
}

#include "vexal/design/VexalRooms.h"

#include <algorithm>
#include <array>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbObjects.h"
#include "vexal/design/VexalPolygons.h"

namespace {

// The rectangle an outline without points gives: turned inside out.
constexpr int32_t kFarAway = 50000 * 10000;  // 50000 mil

}  // namespace

void TVexalRoomInclusionList::Parse() {
  ParseLoop([this](int32_t token) {
    if (token != kwRefDesRef) return false;
    Designators.push_back(ReadString());
    return true;
  });
}

TVexalRoom::TVexalRoom(const TVexalObject* creator) : TVexalDrawObject(creator) {}
TVexalRoom::~TVexalRoom() = default;

void TVexalRoom::Parse() {
  static constexpr std::array<const char*, 3> kFillPatterns{"Clear", "Solid", "Hatched"};
  static constexpr std::array<const char*, 3> kSides{"roomTop", "roomBottom", "roomToporbottom"};
  Name = ReadString();
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwRoomFillPattern: ReadWordCode(*this, FillPattern, kFillPatterns); return true;
      case kwRoomPlacementSide: ReadWordCode(*this, PlacementSide, kSides); return true;
      case kwIsFixed: Fixed = ReadBoolean(); return true;
      case kwRoomInclusionList:
        InclusionList.reset();
        InclusionList = std::make_unique<TVexalRoomInclusionList>(this);
        ParseChild(*InclusionList);
        return true;
      case kwRoomAttrMgr: return true;  // opens the bracket of its attributes
      case kwAttr:
        Attributes.push_back(std::make_unique<TVexalAttr>(this));
        ParseChild(*Attributes.back());
        return true;
      case kwPoly:
        Outline.reset();
        Outline = std::make_unique<TVexalPcbPoly>(this);
        ParseChild(*Outline);
        return true;
      default: return false;
    }
  });
}

std::string TVexalRoom::ClassName() const {
  if (!InclusionList) return "All Components";
  std::string name = "RCC" + Name;
  if (name.size() > 255) name.resize(255);
  return name;
}

void TVexalRoom::MakeComponentClass(const std::string& className) {
  const THandle handle = hostapi::PcbApi_CreateClassObjectEx(ckComponent);
  if (handle == 0) return;
  TPCBObjectClass objectClass(handle);
  objectClass.Exchange(qdRead);
  objectClass.Name = className;
  objectClass.Members.clear();
  objectClass.MemberKind = ckComponent;
  for (const std::string& designator : InclusionList->Designators) objectClass.Members.push_back(designator);
  objectClass.Exchange(qdWrite);
  if (Board != 0) hostapi::PcbApi_AddObjectToContainer(Board, handle);
}

void TVexalRoom::Translate() {
  const THandle handle = hostapi::PcbApi_CreateRuleObject(rkRoom);
  if (handle == 0) return;
  if (Board != 0) hostapi::PcbApi_AddObjectToContainer(Board, handle);
  TPcbRuleExt rule(handle);
  rule.Exchange(qdRead);
  rule.Scope1.Clear();
  const std::string className = ClassName();
  if (InclusionList) MakeComponentClass(className);
  TPcbSubscope components;
  components.Kind = skComponentClass;
  components.Name = className;
  rule.Scope1.Add(components);
  rule.Name = Name;
  rule.Exchange(qdWrite);

  int32_t x1 = kFarAway, y1 = kFarAway, x2 = -kFarAway, y2 = -kFarAway;
  if (Outline) {
    for (const TVexalPoint& p : Outline->Points) {
      x1 = std::min(x1, p.X);
      y1 = std::min(y1, p.Y);
      x2 = std::max(x2, p.X);
      y2 = std::max(y2, p.Y);
    }
  }
  uint8_t kind = 0;
  uint8_t layer = PlacementSide == kRoomBottom ? BottomLayer : TopLayer;
  hostapi::PcbApi_QueryRuleConfinementConstraint(qdWrite, handle, &kind, &x1, &y1, &x2, &y2, &layer);
}

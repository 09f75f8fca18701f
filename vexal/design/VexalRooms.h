// Rooms of a Vexal design: each "room" becomes a host room rule confined to
// the extent of its outline, on the top or the bottom side, for the
// components of its inclusion list (a component class made for the room) or
// for all components.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vexal/design/VexalDesign.h"

class TVexalPcbPoly;

// The designators of a room's "roomInclusionList", one per "refDesRef".
class TVexalRoomInclusionList : public TVexalObject {
 public:
  using TVexalObject::TVexalObject;
  void Parse() override;
  void Translate() override {}
  std::vector<std::string> Designators;
};

inline constexpr uint8_t kRoomTop = 0;
inline constexpr uint8_t kRoomBottom = 1;
inline constexpr uint8_t kRoomTopOrBottom = 2;

class TVexalRoom : public TVexalDrawObject {
 public:
  explicit TVexalRoom(const TVexalObject* creator);
  ~TVexalRoom() override;
  // The name (the first token), then "roomFillPattern", "roomPlacementSide",
  // "isFixed", "roomInclusionList", the "attr" groups inside "roomAttrMgr",
  // and the outline ("poly").
  void Parse() override;
  // Made whatever Layer is: a room rule added to the board at once, scoped to
  // the class "RCC<name>" of the inclusion list's designators, or to "All
  // Components" without an inclusion list; confined to the rectangle of the
  // outline's points on the bottom layer for "roomBottom", else the top
  // layer. A room without an outline, or whose outline has no points, gets
  // the inside-out rectangle (smallest X and Y 50000 mil, largest -50000 mil).
  void Translate() override;

  // The name of the component class the room's rule is scoped to.
  std::string ClassName() const;

  std::string Name;
  uint8_t FillPattern = 0;  // "Clear" 0, "Solid" 1, "Hatched" 2
  uint8_t PlacementSide = kRoomTopOrBottom;
  bool Fixed = false;
  std::unique_ptr<TVexalRoomInclusionList> InclusionList;
  TVexalAttrList Attributes;
  std::unique_ptr<TVexalPcbPoly> Outline;

 private:
  void MakeComponentClass(const std::string& className);
};

// The "pcbDesign" section of a Vexal ASCII file: the board itself.
//
// TVexalPCBDesign reads the design header (kept, never translated), the
// layer definitions, the objects of all copper layers ("multiLayer"), the
// objects of each single layer ("layerContents") and the global attributes.
// Its Translate gives the board its clearance rules and plane nets, then
// makes the drawing objects, then lets the netlist connect the pads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vexal/reader/VexalObject.h"

// ---- Bases ------------------------------------------------------------------------

class TVexalDesignObject : public TVexalObject {
 public:
  using TVexalObject::TVexalObject;
};

// The base of every drawing object (lines, arcs, texts, pads, ...).
class TVexalDrawObject : public TVexalDesignObject {
 public:
  using TVexalDesignObject::TVexalDesignObject;
};

using TVexalObjectList = std::vector<std::unique_ptr<TVexalObject>>;

// The drawing object for a keyword of a "multiLayer", "pcbDrawObj",
// "layerContents" or pattern definition group, made from `creator` and not
// yet parsed; nullptr for a keyword that names no drawing object of the
// module (the group is then skipped).
std::unique_ptr<TVexalObject> MakeDrawObject(const TVexalObject* creator, int32_t keyword);

// The host layer id of a file layer number in the layer table of the
// object's library: 0 for a number outside 0 to 100 or without a library.
uint8_t HostLayerOf(const TVexalObject& object, int32_t number);
uint8_t HostLayerOf(const TLayerTable& table, int32_t number);

// A text style's font as the texts and attributes use it: host font (3
// serif, 2 sans serif, 1 any other family), height (80 % of the font
// height), stroke width, and the full font height.
struct TTextFont {
  int32_t Font = 0;
  int32_t Height = 0;
  int32_t StrokeWidth = 0;
  int32_t FontHeight = 0;
};
// The font of the text style `name` of the object's library (first match,
// without regard to case). False when there is no such style, or the style
// has no font: both are treated alike.
bool FindTextFont(const TVexalObject& object, std::string_view name, TTextFont& font);

// The code of `word` in `words` (its index; letters compared without regard
// to case), or -1.
template <size_t N>
int WordCode(std::string_view word, const std::array<const char*, N>& words) {
  for (size_t i = 0; i < N; ++i)
    if (SameTextIgnoringCase(word, words[i])) return static_cast<int>(i);
  return -1;
}

// Sets `field` to the code of the next word of `object` among `words`; an
// unknown word leaves it unchanged.
template <size_t N>
void ReadWordCode(TVexalObject& object, uint8_t& field, const std::array<const char*, N>& words) {
  const int code = WordCode(object.ReadString(), words);
  if (code >= 0) field = static_cast<uint8_t>(code);
}

// A 64-bit length held to the signed 32-bit range.
inline int32_t ClampToInt32(int64_t value) {
  return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : static_cast<int32_t>(value);
}

// The justification code (0 "UpperLeft" to 8 "LowerRight") of a word, or -1.
int JustificationOf(std::string_view word);

// ---- Attributes ---------------------------------------------------------------------

class TVexalAttr : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  // Name and value (the two tokens after "attr"), then "pt", "rotation",
  // "isFlipped", "isVisible", "justify", "textStyleRef", "constraintFormula",
  // "constraintComment", "constraintUnits".
  void Parse() override;
  // With a component as Container: "RefDes" (exactly) places the designator
  // text, "Value" the comment text, from the attribute.
  void Translate() override;

  // The value text in host units, read in the constraint units ("mil",
  // "inch", anything else mm) unless the text names its unit.
  int32_t ValueAsLength() const;

  std::string Name;
  std::string Value;
  TVexalPoint Position;
  double Rotation = 0.0;
  bool Flipped = false;
  bool Visible = true;
  uint8_t Justification = 6;
  std::string TextStyleName;
  std::string ConstraintFormula;
  std::string ConstraintComment;
  std::string ConstraintUnits;
};

using TVexalAttrList = std::vector<std::unique_ptr<TVexalAttr>>;

// ---- Design header ------------------------------------------------------------------

class TVexalGridDfns : public TVexalObject {
 public:
  using TVexalObject::TVexalObject;
  void Parse() override;
  void Translate() override {}
  std::vector<std::string> Grids;
  TVexalPoint RelOrigin;
};

class TVexalFieldDef : public TVexalObject {
 public:
  using TVexalObject::TVexalObject;
  void Parse() override;
  void Translate() override {}
  std::string FieldName;
  std::string FieldValue;
};

class TVexalNoteDef : public TVexalObject {
 public:
  using TVexalObject::TVexalObject;
  void Parse() override;
  void Translate() override {}
  int32_t Number = 0;
  std::string Text;
  uint8_t Shape = 3;  // "box" 0, "circle" 1, "triangle" 2, "none" 3
};

class TVexalFieldSet : public TVexalObject {
 public:
  using TVexalObject::TVexalObject;
  void Parse() override;
  void Translate() override {}
  std::string Name;
  std::vector<std::unique_ptr<TVexalFieldDef>> Fields;
  std::vector<std::unique_ptr<TVexalNoteDef>> Notes;
  std::vector<std::unique_ptr<TVexalNoteDef>> RevisionNotes;
};

class TVexalDesignInfo : public TVexalObject {
 public:
  using TVexalObject::TVexalObject;
  void Parse() override;
  void Translate() override {}
  std::string Title, Author, Date, Time, Revision;
  std::vector<std::unique_ptr<TVexalFieldSet>> FieldSets;
};

class TVexalPcbDesignHeader : public TVexalDesignObject {
 public:
  using TVexalDesignObject::TVexalDesignObject;
  void Parse() override;
  void Translate() override {}
  TVexalPoint WorkspaceSize;
  int32_t SolderSwell = 0;
  int32_t PasteSwell = 0;
  int32_t PlaneSwell = 0;
  std::unique_ptr<TVexalGridDfns> GridDfns;
  std::unique_ptr<TVexalDesignInfo> DesignInfo;
};

// ---- Title sheet ----------------------------------------------------------------------

class TVexalBorder : public TVexalObject {
 public:
  using TVexalObject::TVexalObject;
  void Parse() override;
  void Translate() override {}
  bool Visible = true;
  int32_t Height = 0;
  int32_t Width = 0;
  TVexalPoint Offset;
};

struct TVexalZoneRecord {
  int32_t Count = 0;
  uint8_t Direction = 0;  // "Ascending" 0, "Descending" 1
  uint8_t Numbering = 0;  // "Alphabetic" 0, "Numeric" 1
};

class TVexalZones : public TVexalObject {
 public:
  using TVexalObject::TVexalObject;
  void Parse() override;
  void Translate() override {}
  bool Visible = true;
  std::string TextStyleName;
  TVexalZoneRecord Horizontal;
  TVexalZoneRecord Vertical;

 private:
  void ParseZoneRecord(TVexalZoneRecord& record);
};

class TVexalTitleSheet : public TVexalObject {
 public:
  using TVexalObject::TVexalObject;
  void Parse() override;
  void Translate() override {}
  std::string Name;
  double Scale = 1.0;
  bool Visible = true;
  TVexalPoint Offset;
  std::unique_ptr<TVexalBorder> Border;
  std::unique_ptr<TVexalZones> Zones;
  TVexalObjectList DrawObjects;
};

// ---- Layer definitions ------------------------------------------------------------------

class TVexalLayerDef : public TVexalDesignObject {
 public:
  using TVexalDesignObject::TVexalDesignObject;
  // The name, then the keywords of the fields; "layerNum" names the layer
  // in the layer table at once.
  void Parse() override;
  // A plane layer gets its net name; each clearance attribute whose value
  // differs from DesignClearance becomes a clearance rule of the layer.
  void Translate() override;

  std::string Name;
  int32_t Number = 0;
  uint8_t LayerType = 0;  // 1 "Signal", 2 "Plane", 3 "NonSignal"
  uint8_t Bias = 0;       // 0 "AutoBias", 1 "HorizBias", 2 "VertBias"
  std::string NetName;
  TVexalAttrList Attributes;
  std::unique_ptr<TVexalTitleSheet> TitleSheet;
  std::string FieldSetRef;
  int32_t DesignClearance = 0;

 private:
  void AddLayerClearanceRule(uint8_t firstKind, uint8_t secondKind, const TVexalAttr& attribute);
};

// ---- The design ---------------------------------------------------------------------------

class TVexalPCBDesign : public TVexalDesignObject {
 public:
  using TVexalDesignObject::TVexalDesignObject;
  void Parse() override;
  void Translate() override;

  // Writes MinimumClearance into the board's default clearance rule (the
  // first rule of the board whose scopes are the board), or gives the board
  // such a rule when it has none.
  void ApplyBoardClearance();

  std::string Name;
  std::unique_ptr<TVexalPcbDesignHeader> Header;
  TVexalAttrList GlobalAttributes;
  std::vector<std::unique_ptr<TVexalLayerDef>> LayerDefs;
  TVexalObjectList MultiLayerObjects;
  TVexalObjectList LayerContents;
  int32_t MinimumClearance = 100000 * 10000;  // 100000 mil

 private:
  void UpdateMinimumClearance(const TVexalLayerDef& layer);
};

// The clearance attribute names of a layer definition, with the two object
// kinds of the rule each gives; -1 for another name.
int ClearanceAttributeIndex(std::string_view name);

// Makes the design section from the root (the section class table's maker).
std::unique_ptr<TVexalObject> MakeVexalDesign(const TVexalObject* creator);

// Reads the drawing objects of a group ("multiLayer", "pcbDrawObj", ...)
// into a list: each keyword of a drawing object makes one, every other group
// is skipped with the unhandled-group warning.
class TVexalDrawObjectGroup : public TVexalObject {
 public:
  TVexalDrawObjectGroup(const TVexalObject* creator, TVexalObjectList& list)
      : TVexalObject(creator), List(list) {}
  void Parse() override;
  void Translate() override {}

 private:
  TVexalObjectList& List;
};

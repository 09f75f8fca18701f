#include "vexal/design/VexalDesign.h"

#include <array>
#include <functional>
#include <utility>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbBoard.h"
#include "hostapi/PcbObjects.h"
#include "hostapi/PcbUtil.h"
#include "vexal/design/VexalNetlist.h"
#include "vexal/reader/VexalLibrary.h"

namespace {

// A group read by a handler given at its creation: for the small groups of
// the header and the title sheet that fill a field of their owner.
class TVexalHandledGroup : public TVexalObject {
 public:
  using THandler = std::function<bool(TVexalHandledGroup&, int32_t)>;
  TVexalHandledGroup(const TVexalObject* creator, THandler handler)
      : TVexalObject(creator), Handler(std::move(handler)) {}
  void Parse() override {
    ParseLoop([this](int32_t token) { return Handler(*this, token); });
  }
  void Translate() override {}
  using TVexalObject::ParseChild;

 private:
  THandler Handler;
};

constexpr std::array<const char*, 9> kJustifications{"UpperLeft", "UpperCenter", "UpperRight",
                                                     "Left",      "Center",      "Right",
                                                     "LowerLeft", "LowerCenter", "LowerRight"};

struct TClearanceAttribute {
  const char* Name;
  uint8_t FirstKind;
  uint8_t SecondKind;
};
// The object kinds of the rule scopes: 4 pads, 2 tracks, 16 vias.
constexpr std::array<TClearanceAttribute, 6> kClearanceAttributes{{
    {"PadToPadClearance", 4, 4},
    {"PadToLineClearance", 4, 2},
    {"LineToLineClearance", 2, 2},
    {"ViaToPadClearance", 16, 4},
    {"ViaToLineClearance", 16, 2},
    {"ViaToViaClearance", 16, 16},
}};

}  // namespace

// ---- Shared helpers ---------------------------------------------------------------------

int JustificationOf(std::string_view word) { return WordCode(word, kJustifications); }

int ClearanceAttributeIndex(std::string_view name) {
  for (size_t i = 0; i < kClearanceAttributes.size(); ++i)
    if (SameTextIgnoringCase(name, kClearanceAttributes[i].Name)) return static_cast<int>(i);
  return -1;
}

uint8_t HostLayerOf(const TLayerTable& table, int32_t number) {
  if (number < 0 || number >= kLayerTableEntries) return 0;
  return table[static_cast<size_t>(number)].HostLayer;
}

uint8_t HostLayerOf(const TVexalObject& object, int32_t number) {
  return object.Library ? HostLayerOf(object.Library->LayerTable, number) : 0;
}

bool FindTextFont(const TVexalObject& object, std::string_view name, TTextFont& font) {
  if (!object.Library) return false;
  const TVexalTextStyleDef* style = object.Library->FindTextStyle(name);
  // A style without a font is treated as no style.
  if (!style || !style->Font) return false;
  const TVexalFont& f = *style->Font;
  font.Font = f.FontFamily == 0 ? 3 : f.FontFamily == 1 ? 2 : 1;
  font.Height = hostapi::RoundHalfEven(static_cast<double>(f.FontHeight) * 0.8);
  font.StrokeWidth = f.StrokeWidth;
  font.FontHeight = f.FontHeight;
  return true;
}

// ---- Attributes ---------------------------------------------------------------------------

void TVexalAttr::Parse() {
  Name = ReadString();
  Value = ReadString();
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPt: Position = ReadPoint(); return true;
      case kwRotation: Rotation = ReadReal(); return true;
      case kwIsFlipped: Flipped = ReadBoolean(); return true;
      case kwIsVisible: Visible = ReadBoolean(); return true;
      case kwJustify: ReadWordCode(*this, Justification, kJustifications); return true;
      case kwTextStyleRef: TextStyleName = ReadString(); return true;
      case kwConstraintFormula: ConstraintFormula = ReadString(); return true;
      case kwConstraintComment: ConstraintComment = ReadString(); return true;
      case kwConstraintUnits: ConstraintUnits = ReadString(); return true;
      default: return false;
    }
  });
}

int32_t TVexalAttr::ValueAsLength() const {
  uint8_t units = kUnitsMillimetres;
  if (SameTextIgnoringCase(ConstraintUnits, "mil"))
    units = kUnitsMils;
  else if (SameTextIgnoringCase(ConstraintUnits, "inch"))
    units = kUnitsInches;
  return CoordTextToUnits(Value, units);
}

void TVexalAttr::Translate() {
  if (Container == 0 || hostapi::PcbApi_GetObjectIdFromObjectHandle(Container) != okComponent) return;
  const bool designator = Name == "RefDes";
  if (!designator && Name != "Value") return;
  TPcbComponent component(Container);
  component.Exchange(qdRead);
  // The text is not read: what is not set here is written as zero or empty.
  TPcbText text(designator ? component.DesignatorText : component.CommentText);
  TTextFont font;
  if (FindTextFont(*this, TextStyleName, font)) {
    text.Font = font.Font;
    text.Height = font.Height;
    text.StrokeWidth = font.StrokeWidth;
  }
  text.X = Position.X;
  text.Y = Position.Y;
  text.Rotation = Rotation;
  text.Layer = Layer;
  text.Mirrored = Flipped ? 1 : 0;
  text.Exchange(qdWrite);
  if (designator)
    component.DesignatorVisible = Visible ? 1 : 0;
  else
    component.CommentVisible = Visible ? 1 : 0;
  component.Exchange(qdWrite);
}

// ---- Design header ----------------------------------------------------------------------

void TVexalGridDfns::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwGrid: Grids.push_back(ReadString()); return true;
      case kwRelOrigin: return true;  // opens the bracket of its "pt"
      case kwPt: RelOrigin = ReadPoint(); return true;
      default: return false;
    }
  });
}

void TVexalFieldDef::Parse() {
  FieldName = ReadString();
  FieldValue = ReadString();
  ParseLoop([](int32_t) { return false; });
}

void TVexalNoteDef::Parse() {
  static constexpr std::array<const char*, 4> kShapes{"box", "circle", "triangle", "none"};
  Number = ReadInteger();
  Text = ReadString();
  ReadWordCode(*this, Shape, kShapes);
  ParseLoop([](int32_t) { return false; });
}

void TVexalFieldSet::Parse() {
  Name = ReadString();
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwFieldDef:
        Fields.push_back(std::make_unique<TVexalFieldDef>(this));
        ParseChild(*Fields.back());
        return true;
      case kwNoteDef:
        Notes.push_back(std::make_unique<TVexalNoteDef>(this));
        ParseChild(*Notes.back());
        return true;
      case kwRevisionNoteDef:
        RevisionNotes.push_back(std::make_unique<TVexalNoteDef>(this));
        ParseChild(*RevisionNotes.back());
        return true;
      default: return false;
    }
  });
}

void TVexalDesignInfo::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwDesignTitle: Title = ReadString(); return true;
      case kwDesignAuthor: Author = ReadString(); return true;
      case kwDesignDate: Date = ReadString(); return true;
      case kwDesignTime: Time = ReadString(); return true;
      case kwDesignRevision: Revision = ReadString(); return true;
      case kwFieldSet:
        FieldSets.push_back(std::make_unique<TVexalFieldSet>(this));
        ParseChild(*FieldSets.back());
        return true;
      default: return false;
    }
  });
}

void TVexalPcbDesignHeader::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwWorkspaceSize: WorkspaceSize = ReadPoint(); return true;
      case kwSolderSwell: SolderSwell = ReadCoord(); return true;
      case kwPasteSwell: PasteSwell = ReadCoord(); return true;
      case kwPlaneSwell: PlaneSwell = ReadCoord(); return true;
      case kwGridDfns:
        GridDfns.reset();
        GridDfns = std::make_unique<TVexalGridDfns>(this);
        ParseChild(*GridDfns);
        return true;
      case kwDesignInfo:
        DesignInfo.reset();
        DesignInfo = std::make_unique<TVexalDesignInfo>(this);
        ParseChild(*DesignInfo);
        return true;
      default: return false;
    }
  });
}

// ---- Title sheet ---------------------------------------------------------------------------

void TVexalBorder::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwIsVisible: Visible = ReadBoolean(); return true;
      case kwHeight: Height = ReadCoord(); return true;
      case kwWidth: Width = ReadCoord(); return true;
      case kwOffset: Offset = ReadPoint(); return true;
      default: return false;
    }
  });
}

void TVexalZones::ParseZoneRecord(TVexalZoneRecord& record) {
  static constexpr std::array<const char*, 2> kDirections{"Ascending", "Descending"};
  static constexpr std::array<const char*, 2> kNumbering{"Alphabetic", "Numeric"};
  TVexalHandledGroup group(this, [&record](TVexalHandledGroup& g, int32_t token) {
    switch (token) {
      case kwNumDirection: ReadWordCode(g, record.Direction, kDirections); return true;
      case kwNumType: ReadWordCode(g, record.Numbering, kNumbering); return true;
      default: return false;
    }
  });
  record.Count = group.ReadInteger();
  ParseChild(group);
}

void TVexalZones::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwIsVisible: Visible = ReadBoolean(); return true;
      case kwTextStyleRef: TextStyleName = ReadString(); return true;
      case kwHorizontalZones: ParseZoneRecord(Horizontal); return true;
      case kwVerticalZones: ParseZoneRecord(Vertical); return true;
      default: return false;
    }
  });
}

void TVexalTitleSheet::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwTitleSheetNameDef: Name = ReadString(); return true;
      case kwTitleSheetScale: Scale = ReadReal(); return true;
      case kwIsVisible: Visible = ReadBoolean(); return true;
      case kwOffset: Offset = ReadPoint(); return true;
      case kwBorder:
        Border.reset();
        Border = std::make_unique<TVexalBorder>(this);
        ParseChild(*Border);
        return true;
      case kwZones:
        Zones.reset();
        Zones = std::make_unique<TVexalZones>(this);
        ParseChild(*Zones);
        return true;
      case kwPcbDrawObj: {
        TVexalDrawObjectGroup group(this, DrawObjects);
        ParseChild(group);
        return true;
      }
      case kwSchDrawObj: return true;  // its groups are skipped one by one
      default: return false;
    }
  });
}

// ---- Drawing object groups -------------------------------------------------------------------

void TVexalDrawObjectGroup::Parse() {
  ParseLoop([this](int32_t token) {
    // "planeObj" stands only in layer contents.
    if (token == kwMetafile || token == kwPlaneObj) return false;
    std::unique_ptr<TVexalObject> object = MakeDrawObject(this, token);
    if (!object) return false;
    ParseChild(*object);
    List.push_back(std::move(object));
    return true;
  });
}

// ---- Layer definitions ---------------------------------------------------------------------

void TVexalLayerDef::Parse() {
  static constexpr std::array<const char*, 4> kTypes{"", "Signal", "Plane", "NonSignal"};
  static constexpr std::array<const char*, 3> kBiases{"AutoBias", "HorizBias", "VertBias"};
  Name = ReadString();
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwLayerNum:
        Number = ReadInteger();
        // A number beyond the table names nothing (the table has 0 to 100).
        if (Library && Number >= 0 && Number < kLayerTableEntries)
          Library->LayerTable[static_cast<size_t>(Number)].Name = Name;
        return true;
      case kwLayerType: {
        const std::string word = ReadString();
        if (!word.empty()) {
          const int code = WordCode(word, kTypes);
          if (code > 0) LayerType = static_cast<uint8_t>(code);
        }
        return true;
      }
      case kwLayerBias: ReadWordCode(*this, Bias, kBiases); return true;
      case kwNetNameRef:
      case kwPlaneNetNameRef: NetName = ReadString(); return true;
      case kwAttr:
        Attributes.push_back(std::make_unique<TVexalAttr>(this));
        ParseChild(*Attributes.back());
        return true;
      case kwTitleSheet:
        TitleSheet.reset();
        TitleSheet = std::make_unique<TVexalTitleSheet>(this);
        ParseChild(*TitleSheet);
        return true;
      case kwFieldSetRef: FieldSetRef = ReadString(); return true;
      default: return false;
    }
  });
}

void TVexalLayerDef::Translate() {
  // A number beyond the layer table names no layer the user could map: no
  // plane net and no layer rules for it.
  if (Number < 0 || Number >= kLayerTableEntries) return;
  if (LayerType == 2 && Board != 0) {
    TInternalPlane plane(Board, HostLayerOf(*this, Number));
    plane.Exchange(qdRead);
    plane.NetName = NetName;
    plane.Exchange(qdWrite);
  }
  for (const auto& attribute : Attributes) {
    const int index = ClearanceAttributeIndex(attribute->Name);
    if (index < 0) continue;
    const TClearanceAttribute& kinds = kClearanceAttributes[static_cast<size_t>(index)];
    AddLayerClearanceRule(kinds.FirstKind, kinds.SecondKind, *attribute);
  }
}

void TVexalLayerDef::AddLayerClearanceRule(uint8_t firstKind, uint8_t secondKind,
                                           const TVexalAttr& attribute) {
  int32_t gap = attribute.ValueAsLength();
  // The board's default rule already holds that value.
  if (gap == DesignClearance) return;
  const THandle handle = hostapi::PcbApi_CreateRuleObject(rkClearance);
  if (handle == 0) return;
  const uint8_t layer = HostLayerOf(*this, Number);
  TPcbRuleExt rule(handle);
  rule.Exchange(qdRead);
  rule.Scope1.Clear();
  rule.Scope2.Clear();
  TPcbSubscope onLayer;
  onLayer.Kind = skLayer;
  onLayer.LayerId = layer;
  TPcbSubscope ofKind;
  ofKind.Kind = skObjectKind;
  ofKind.KindId = firstKind;
  rule.Scope1.Add(onLayer);
  rule.Scope1.Add(ofKind);
  ofKind.KindId = secondKind;
  rule.Scope2.Add(onLayer);
  rule.Scope2.Add(ofKind);
  rule.Exchange(qdWrite);
  hostapi::PcbApi_QueryRuleClearanceConstraint(qdWrite, handle, &gap);
  if (Board != 0) hostapi::PcbApi_AddObjectToContainer(Board, handle);
}

// ---- The design ----------------------------------------------------------------------------------

std::unique_ptr<TVexalObject> MakeVexalDesign(const TVexalObject* creator) {
  return std::make_unique<TVexalPCBDesign>(creator);
}

void TVexalPCBDesign::Parse() {
  Name = ReadString();
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPcbDesignHeader:
        Header.reset();
        Header = std::make_unique<TVexalPcbDesignHeader>(this);
        ParseChild(*Header);
        return true;
      case kwLayerDef:
        LayerDefs.push_back(std::make_unique<TVexalLayerDef>(this));
        ParseChild(*LayerDefs.back());
        UpdateMinimumClearance(*LayerDefs.back());
        return true;
      case kwMultiLayer: {
        TVexalDrawObjectGroup group(this, MultiLayerObjects);
        ParseChild(group);
        return true;
      }
      case kwLayerContents:
        LayerContents.push_back(std::make_unique<TVexalLayerContents>(this));
        ParseChild(*LayerContents.back());
        return true;
      case kwGlobalAttrs: {
        TVexalHandledGroup group(this, [this](TVexalHandledGroup& g, int32_t keyword) {
          if (keyword != kwAttr) return false;
          GlobalAttributes.push_back(std::make_unique<TVexalAttr>(&g));
          g.ParseChild(*GlobalAttributes.back());
          return true;
        });
        ParseChild(group);
        return true;
      }
      default: return false;
    }
  });
}

void TVexalPCBDesign::UpdateMinimumClearance(const TVexalLayerDef& layer) {
  for (const auto& attribute : layer.Attributes) {
    if (ClearanceAttributeIndex(attribute->Name) < 0) continue;
    // The file's unit, not the attribute's constraint units.
    const int32_t value = CoordTextToUnits(attribute->Value, FileUnits);
    if (value < MinimumClearance) MinimumClearance = value;
  }
}

void TVexalPCBDesign::ApplyBoardClearance() {
  if (Board == 0) return;
  THandle found = 0;
  const THandle iterator = hostapi::PcbApi_CreateIterator(Board, okRule, 0, 0);
  if (iterator != 0) {
    for (THandle handle = hostapi::PcbApi_GetFirstObject(iterator); handle != 0;
         handle = hostapi::PcbApi_GetNextObject(iterator)) {
      TPcbRuleExt rule(handle);
      rule.Exchange(qdRead);
      if (rule.RuleKind != rkClearance) continue;
      if (hostapi::PcbApi_GetState_SubScopesCount(handle, 0) != 1) continue;
      if (rule.Scope1.Count() < 1 || rule.Scope1.Subscopes[0].Kind != skBoard) continue;
      const int32_t second = hostapi::PcbApi_GetState_SubScopesCount(handle, 1);
      if (second > 1) continue;
      if (second == 1 && (rule.Scope2.Count() < 1 || rule.Scope2.Subscopes[0].Kind != skBoard)) continue;
      found = handle;
      break;
    }
    hostapi::PcbApi_DestroyIterator(iterator);
  }
  int32_t gap = MinimumClearance;
  if (found != 0) {
    hostapi::PcbApi_QueryRuleClearanceConstraint(qdWrite, found, &gap);
    return;
  }
  // No default rule: the board gets one, scoped to the whole board on both
  // sides, as a rule the walk above would find.
  const THandle handle = hostapi::PcbApi_CreateRuleObject(rkClearance);
  if (handle == 0) return;
  TPcbRuleExt rule(handle);
  rule.Exchange(qdRead);
  rule.Scope1.Clear();
  rule.Scope2.Clear();
  TPcbSubscope board;
  board.Kind = skBoard;
  rule.Scope1.Add(board);
  rule.Scope2.Add(board);
  rule.Exchange(qdWrite);
  hostapi::PcbApi_QueryRuleClearanceConstraint(qdWrite, handle, &gap);
  hostapi::PcbApi_AddObjectToContainer(Board, handle);
}

void TVexalPCBDesign::Translate() {
  ApplyBoardClearance();
  for (const auto& layer : LayerDefs) {
    layer->DesignClearance = MinimumClearance;
    layer->Container = Container;
    layer->Translate();
  }
  for (const auto& object : MultiLayerObjects) {
    object->Layer = MultiLayer;
    object->Container = Container;
    object->Translate();
  }
  for (const auto& contents : LayerContents) {
    contents->Container = Container;
    contents->Translate();
  }
  // Last, once every component and pad exists; without a netlist there are
  // no nodes to connect.
  if (Netlist) Netlist->AssignPadsToNets();
}

#include "vexal/reader/VexalLibrary.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbBoard.h"
#include "hostapi/PcbObjects.h"
#include "hostapi/PcbTypes.h"
#include "hostapi/PcbUtil.h"
#include "hostapi/ShortString.h"
#include "hostclient/HostClient.h"
#include "hostclient/Parameters.h"
#include "vexal/reader/KeywordTable.h"
#include "vexal/report/ReportManager.h"

TMakeDrawingObject MakeDrawingObject = nullptr;

namespace {

// Destroys a host iterator when the walk is over, however it ends.
class TWalk {
 public:
  TWalk(THandle container, uint8_t kind)
      : Iterator(container ? hostapi::PcbApi_CreateIterator(container, kind, 0, 0) : 0) {}
  ~TWalk() {
    if (Iterator) hostapi::PcbApi_DestroyIterator(Iterator);
  }
  TWalk(const TWalk&) = delete;
  TWalk& operator=(const TWalk&) = delete;
  THandle First() { return Iterator ? hostapi::PcbApi_GetFirstObject(Iterator) : 0; }
  THandle Next() { return Iterator ? hostapi::PcbApi_GetNextObject(Iterator) : 0; }

 private:
  THandle Iterator;
};

void SendEvent(THandle sender, uint16_t code, THandle data) {
  hostapi::PcbApi_EventRouter_SendMessage(sender, 0, code, data);
}

struct TShapeCode {
  const char* Word;
  const char* DisplayName;
  uint8_t HostShape;
};

constexpr std::array<TShapeCode, kShapeCodeCount> kShapeCodes{{
    {"", "No Shape", 0},
    {"Ellipse", "Ellipse", psRound},
    {"Oval", "Oval", psRound},
    {"Rect", "Rectangle", psRectangle},
    {"RndRect", "Rounded Rectangle", psRound},
    {"Thrm2", "Thermal 2 Spoke", psRound},
    {"Thrm2_90", "Thermal 2 Spoke/90", psRound},
    {"Thrm4", "Thermal 4 Spoke", psRound},
    {"Thrm4_45", "Thermal 4 Spoke/45", psRound},
    {"Direct", "Direct Connect", psRound},
    {"NoConnect", "No Connect", psRound},
    {"Polygon", "Polygon", psOctagonal},
    {"Target", "Target", psRound},
    {"MtHole", "Mounting Hole", psRound},
}};

// The index of `word` among `words` (any case of letters), or -1.
template <size_t N>
int WordIndex(std::string_view word, const std::array<const char*, N>& words) {
  for (size_t i = 0; i < N; ++i)
    if (SameTextIgnoringCase(word, words[i])) return static_cast<int>(i);
  return -1;
}

// Reads a word and, when it is one of `words`, stores its index in `field`;
// any other word leaves the field as it was.
template <size_t N>
void ReadEnumerated(TVexalObject& object, uint8_t& field, const std::array<const char*, N>& words) {
  const int index = WordIndex(object.ReadString(), words);
  if (index >= 0) field = static_cast<uint8_t>(index);
}

constexpr int32_t kDrawingKeywords[] = {
    kwArc,         kwAttr,       kwCopperPour, kwCopperPour95, kwDesignView, kwDetail,
    kwFromTo,      kwGluePoint,  kwInfoPoint,  kwLine,         kwLineKeepOut, kwPad,
    kwPattern,     kwPcbPoly,    kwPickPoint,  kwPlane,        kwPlaneObj,   kwPolyCutOut,
    kwPolyKeepOut, kwRefPoint,   kwRoom,       kwTable,        kwText,       kwVia,
};

}  // namespace

bool IsDrawingKeyword(int32_t keyword) {
  return std::find(std::begin(kDrawingKeywords), std::end(kDrawingKeywords), keyword) !=
         std::end(kDrawingKeywords);
}

// ---- TVexalStyleDef ------------------------------------------------------------------------

void TVexalStyleDef::AddAlias(std::string alias, std::string target) {
  Aliases.push_back({std::move(alias), std::move(target)});
}

void TVexalStyleDef::AddDefinition(std::string name, std::unique_ptr<TVexalObject> object) {
  Definitions.push_back({std::move(name), std::move(object)});
}

TVexalObject* TVexalStyleDef::Find(std::string_view name) const {
  for (const TDefinition& definition : Definitions)
    if (SameTextIgnoringCase(definition.Name, name)) return definition.Object.get();
  return nullptr;
}

// ---- Shape codes ----------------------------------------------------------------------------

uint8_t HostPadShape(uint8_t code) { return code < kShapeCodeCount ? kShapeCodes[code].HostShape : 0; }

std::string PadShapeName(uint8_t code) {
  return code < kShapeCodeCount ? kShapeCodes[code].DisplayName : "";
}

uint8_t ShapeCodeOfWord(std::string_view word, uint8_t lastCode) {
  for (uint8_t code = 1; code <= lastCode && code < kShapeCodeCount; ++code)
    if (SameTextIgnoringCase(word, kShapeCodes[code].Word)) return code;
  return 0;
}

// ---- Shapes by layer ------------------------------------------------------------------------

void TVexalShapeByLayer::ParseDefinition() {
  ParseLoop([this](int32_t keyword) { return HandleShapeKeyword(keyword); });
}

bool TVexalShapeByLayer::HandleShapeKeyword(int32_t keyword) {
  static constexpr std::array<const char*, 4> kLayerTypes{"", "Signal", "Plane", "NonSignal"};
  switch (keyword) {
    case kwLayerNumRef: LayerNumber = ReadInteger(); return true;
    case kwLayerType: {
      const int index = WordIndex(ReadString(), kLayerTypes);
      if (index > 0) LayerType = static_cast<uint8_t>(index);
      return true;
    }
    case kwSpokeWidth: SpokeWidth = ReadCoord(); return true;
    case kwNoCopperPourConnect: NoCopperPourConnect = ReadBoolean(); return true;
    case kwShapeWidth: ShapeWidth = ReadCoord(); return true;
    case kwShapeHeight: ShapeHeight = ReadCoord(); return true;
    case kwRotation: Rotation = ReadReal(); return true;
    case kwInsideDiam: InsideDiameter = ReadCoord(); return true;
    case kwOutsideDiam: OutsideDiameter = ReadCoord(); return true;
    case kwSides: Sides = ReadInteger(); return true;
    default: return false;
  }
}

bool TVexalPadShapeByLayer::HandleShapeKeyword(int32_t keyword) {
  if (keyword == kwPadShapeType) {
    const uint8_t code = ShapeCodeOfWord(ReadString(), kShapeMtHole);
    if (code != 0) ShapeType = code;
    return true;
  }
  if (keyword == kwShapeOutline) return true;  // its "pt" groups come to this loop
  if (keyword == kwPt) {
    Outline.push_back(ReadPoint());
    return true;
  }
  return TVexalShapeByLayer::HandleShapeKeyword(keyword);
}

bool TVexalViaShapeByLayer::HandleShapeKeyword(int32_t keyword) {
  if (keyword == kwViaShapeType) {
    const uint8_t code = ShapeCodeOfWord(ReadString(), kShapePolygon);
    if (code != 0) ShapeType = code;
    return true;
  }
  return TVexalShapeByLayer::HandleShapeKeyword(keyword);
}

namespace {

int32_t OutlineExtent(const std::vector<TVexalPoint>& outline, int32_t TVexalPoint::* axis) {
  if (outline.size() < 4) return 0;
  int64_t largest = hostapi::MilsToUnits(-50000);
  int64_t smallest = hostapi::MilsToUnits(50000);
  for (const TVexalPoint& point : outline) {
    largest = std::max<int64_t>(largest, point.*axis);
    smallest = std::min<int64_t>(smallest, point.*axis);
  }
  // Far-apart points give a difference beyond 32 bits: keep its nearest end.
  const int64_t extent = largest - smallest;
  return static_cast<int32_t>(std::clamp<int64_t>(extent, INT32_MIN, INT32_MAX));
}

}  // namespace

int32_t TVexalPadShapeByLayer::OutlineWidth() const { return OutlineExtent(Outline, &TVexalPoint::X); }
int32_t TVexalPadShapeByLayer::OutlineHeight() const { return OutlineExtent(Outline, &TVexalPoint::Y); }

// ---- Pad and via styles ---------------------------------------------------------------------

void TVexalHoleStyleDef::ParseDefinition() {
  Name = ReadString();
  ParseLoop([this](int32_t keyword) {
    switch (keyword) {
      case kwHoleDiam: HoleDiameter = ReadCoord(); return true;
      case kwIsHolePlated: HolePlated = ReadBoolean(); return true;
      case kwHoleOffset: {
        const TVexalPoint offset = ReadPoint();
        HoleOffsetX = offset.X;
        HoleOffsetY = offset.Y;
        return true;
      }
      case kwUseGlobalSwell: UseGlobalSwell = ReadBoolean(); return true;
      case kwLocalSwell: LocalSwell = ReadCoord(); return true;
      case kwStartRange: StartRange = ReadInteger(); return true;
      case kwEndRange: EndRange = ReadInteger(); return true;
      default:
        if (keyword != ShapeKeyword()) return false;
        AddShape();
        return true;
    }
  });
}

int32_t TVexalPadStyleDef::ShapeKeyword() const { return kwPadShape; }
void TVexalPadStyleDef::AddShape() {
  auto shape = std::make_unique<TVexalPadShapeByLayer>(this);
  shape->ParseDefinition();
  --Depth;
  Shapes.push_back(std::move(shape));
}

int32_t TVexalViaStyleDef::ShapeKeyword() const { return kwViaShape; }
void TVexalViaStyleDef::AddShape() {
  auto shape = std::make_unique<TVexalViaShapeByLayer>(this);
  shape->ParseDefinition();
  --Depth;
  Shapes.push_back(std::move(shape));
}

// ---- Text styles ----------------------------------------------------------------------------

void TVexalFont::Parse() {
  ParseLoop([this](int32_t keyword) {
    switch (keyword) {
      case kwFontType: FontType = SameTextIgnoringCase(ReadString(), "Stroke") ? 0 : 1; return true;
      case kwFontFamily: {
        const std::string word = ReadString();
        FontFamily = SameTextIgnoringCase(word, "Serif") ? 0 : SameTextIgnoringCase(word, "Sanserif") ? 1 : 2;
        return true;
      }
      case kwFontFace: FontFace = ReadString(); return true;
      case kwFontHeight: FontHeight = ReadCoord(); return true;
      case kwStrokeWidth: StrokeWidth = ReadCoord(); return true;
      case kwFontWeight: FontWeight = ReadInteger(); return true;
      case kwFontItalic: Italic = ReadBoolean(); return true;
      case kwFontCharSet: CharSet = ReadInteger(); return true;
      case kwFontOutPrecision: OutPrecision = ReadInteger(); return true;
      case kwFontClipPrecision: ClipPrecision = ReadInteger(); return true;
      case kwFontQuality: Quality = ReadInteger(); return true;
      case kwFontPitchAndFamily: PitchAndFamily = ReadInteger(); return true;
      default: return false;
    }
  });
}

void TVexalTextStyleDef::Parse() {
  Name = ReadString();
  ParseLoop([this](int32_t keyword) {
    switch (keyword) {
      case kwFont: {
        auto font = std::make_unique<TVexalFont>(this);
        ParseChild(*font);
        Font = std::move(font);
        return true;
      }
      case kwTextStyleAllowTType: AllowTrueType = ReadBoolean(); return true;
      case kwTextStyleDisplayTType: DisplayTrueType = ReadBoolean(); return true;
      default: return false;
    }
  });
}

// ---- Layer contents --------------------------------------------------------------------------

namespace {

// The drawing object of `keyword` made below `owner`, not yet parsed; nullptr
// when the keyword has no class (the caller skips its group).
std::unique_ptr<TVexalObject> NewDrawingObject(const TVexalObject& owner, int32_t keyword) {
  if (!MakeDrawingObject || !IsDrawingKeyword(keyword)) return nullptr;
  return MakeDrawingObject(&owner, keyword);
}

}  // namespace

void TVexalLayerContents::Parse() {
  ParseLoop([this](int32_t keyword) {
    if (keyword == kwLayerNumRef) {
      LayerNumber = ReadInteger();
      if ((LayerNumber < 0 || LayerNumber >= kLayerTableEntries) && Report)
        Report->AddLoadWarning(lwText, "Layer Number " + std::to_string(LayerNumber) +
                                           " Out Of Range On Line " +
                                           std::to_string(Parser->LineNumber()) +
                                           ", Its Objects Are Not Imported");
      return true;
    }
    std::unique_ptr<TVexalObject> object = NewDrawingObject(*this, keyword);
    if (!object) return false;
    ParseChild(*object);
    Objects.push_back(std::move(object));
    return true;
  });
}

void TVexalLayerContents::Translate() {
  const uint8_t hostLayer = Library ? Library->HostLayerOfNumber(LayerNumber) : 0;
  for (const std::unique_ptr<TVexalObject>& object : Objects) {
    object->Layer = hostLayer;
    object->Container = Container;
    object->Translate();
  }
}

// ---- Pattern definitions ----------------------------------------------------------------------

void TVexalPatternDef::Parse() {
  Name = ReadString();
  ParseBody(true);
}

void TVexalPatternDef::ParseGraphics(const std::string& patternName, const std::string& originalName) {
  OriginalName = originalName;
  // The group starts with "(patternGraphicsNameDef <name>)". Values that
  // stand before it (such as the tokenizer's line ends) are passed over; a
  // group that ends before it, or starts with another group, has no graphics
  // name.
  std::string graphicsName;
  bool ended = false;
  while (!ReadingStopped()) {
    const int32_t token = Parser->NextToken();
    if (token == tkCloseBracket) {
      ended = true;
      break;
    }
    if (token != tkOpenBracket) continue;
    if (Parser->NextToken() == kwPatternGraphicsNameDef) {
      graphicsName = ReadString();
      while (!ReadingStopped() && Parser->NextToken() != tkCloseBracket) {
      }
    } else {
      Depth = 2;
      SkipUnhandled();
    }
    break;
  }
  Name = hostapi::CutString(patternName + ":" + graphicsName);
  if (ended || ReadingStopped()) {
    Depth = 0;
    return;
  }
  ParseBody(false);
}

void TVexalPatternDef::ParseBody(bool readsOriginalName) {
  ParseLoop([this, readsOriginalName](int32_t keyword) {
    switch (keyword) {
      case kwLayerContents: {
        auto contents = std::make_unique<TVexalLayerContents>(this);
        ParseChild(*contents);
        LayerContents.push_back(std::move(contents));
        return true;
      }
      case kwMultiLayer: {
        const int32_t ownLevel = Depth;
        while (Depth > 1 && !ReadingStopped()) {
          const int32_t token = Parser->NextToken();
          if (token == tkOpenBracket)
            ++Depth;
          else if (token == tkCloseBracket)
            --Depth;
          else if (std::unique_ptr<TVexalObject> object =
                       token == kwPlaneObj ? nullptr : NewDrawingObject(*this, token)) {
            ParseChild(*object);
            MultiLayerObjects.push_back(std::move(object));
          } else if (Depth > ownLevel) {
            SkipUnhandled();
          }
        }
        return true;
      }
      case kwOriginalName:
        if (!readsOriginalName) return false;
        OriginalName = ReadString();
        return true;
      default: return false;
    }
  });
}

void TVexalPatternDef::Translate() {
  if (Translating) {
    // The pattern places itself, directly or through other patterns: drawing
    // it again would never end.
    if (Report)
      Report->AddImportWarning(iwText, "Pattern " + Name +
                                           " places itself; the inner placement is not drawn");
    return;
  }
  Translating = true;
  for (const std::unique_ptr<TVexalObject>& object : MultiLayerObjects) {
    object->Layer = MultiLayer;
    object->Container = Container;
    object->Translate();
  }
  for (const std::unique_ptr<TVexalLayerContents>& contents : LayerContents) {
    contents->Container = Container;
    contents->Translate();
  }
  Translating = false;
}

// ---- Component definitions ----------------------------------------------------------------------

void TVexalComponentHeader::Parse() {
  static constexpr std::array<const char*, 3> kCompTypes{"Normal", "Power", "SheetConnector"};
  static constexpr std::array<const char*, 2> kCompositions{"Homogeneous", "Heterogeneous"};
  static constexpr std::array<const char*, 2> kNumTypes{"Alphabetic", "Numeric"};
  ParseLoop([this](int32_t keyword) {
    switch (keyword) {
      case kwSourceLibrary: SourceLibrary = ReadString(); return true;
      case kwCompType: ReadEnumerated(*this, CompType, kCompTypes); return true;
      case kwNumPins: NumPins = ReadInteger(); return true;
      case kwNumParts: NumParts = ReadInteger(); return true;
      case kwComposition: ReadEnumerated(*this, Composition, kCompositions); return true;
      case kwAlts: return true;  // its "ieeeAlt" and "deMorganAlt" come to this loop
      case kwIeeeAlt: IeeeAlt = ReadBoolean(); return true;
      case kwDeMorganAlt: DeMorganAlt = ReadBoolean(); return true;
      case kwRefDesPrefix: RefDesPrefix = ReadString(); return true;
      case kwNumType: ReadEnumerated(*this, NumType, kNumTypes); return true;
      default: return false;
    }
  });
}

void TVexalCompPin::Parse() {
  static constexpr std::array<const char*, 11> kPinTypes{
      "Unknown", "Passive", "Input",    "Output",   "Bidirectional", "OpenH",
      "OpenL",   "PassiveH", "PassiveL", "ThreeState", "Power"};
  PinDes = ReadString();
  ParseLoop([this](int32_t keyword) {
    switch (keyword) {
      case kwPinName: PinName = ReadString(); return true;
      case kwPartNum: PartNum = ReadInteger(); return true;
      case kwSymPinNum: SymPinNum = ReadInteger(); return true;
      case kwGateEq: GateEq = ReadInteger(); return true;
      case kwPinEq: PinEq = ReadInteger(); return true;
      case kwPinType: ReadEnumerated(*this, PinType, kPinTypes); return true;
      default: return false;
    }
  });
}

void TVexalAttachedPattern::Parse() {
  ParseLoop([this](int32_t keyword) {
    switch (keyword) {
      case kwPatternNum: PatternNum = ReadInteger(); return true;
      case kwPatternName: PatternName = ReadString(); return true;
      case kwNumPads: NumPads = ReadInteger(); return true;
      case kwPadPinMap: ParsePadPinMap(); return true;
      default: return false;
    }
  });
}

void TVexalAttachedPattern::ParsePadPinMap() {
  // Each "padNum" begins an entry, which the first "compPinRef" after it
  // completes. A "compPinRef" without a begun entry, or a further one for an
  // entry already completed, is read and dropped.
  bool begun = false;
  TVexalPadPinMapEntry entry;
  const int32_t ownLevel = Depth;
  while (Depth > 1 && !ReadingStopped()) {
    const int32_t token = Parser->NextToken();
    if (token == tkOpenBracket) {
      ++Depth;
    } else if (token == tkCloseBracket) {
      --Depth;
    } else if (token == kwPadNum) {
      entry = TVexalPadPinMapEntry{ReadInteger(), {}};
      begun = true;
    } else if (token == kwCompPinRef) {
      std::string pin = ReadString();
      if (begun) {
        entry.CompPinRef = std::move(pin);
        PadPinMap.push_back(entry);
        begun = false;
      }
    } else if (Depth > ownLevel) {
      SkipUnhandled();
    }
  }
}

void TVexalAttachedPattern::ApplyPadPinMap(THandle container) const {
  constexpr size_t kPadNameCapacity = 20;
  TWalk all(container, okPad);
  for (THandle pad = all.First(); pad != 0; pad = all.Next()) {
    TPcbPad wrapper(pad);
    if (wrapper.Exchange(qdRead) != 0) continue;
    wrapper.Name = hostapi::CutString(hostapi::CutString("SYSPAD" + wrapper.Name, 26), kPadNameCapacity);
    wrapper.Exchange(qdWrite);
  }
  for (const TVexalPadPinMapEntry& entry : PadPinMap) {
    const std::string wanted = "SYSPAD" + std::to_string(entry.PadNum);
    TWalk pads(container, okPad);
    for (THandle pad = pads.First(); pad != 0; pad = pads.Next()) {
      TPcbPad wrapper(pad);
      if (wrapper.Exchange(qdRead) != 0 || wrapper.Name != wanted) continue;
      wrapper.Name = hostapi::CutString(entry.CompPinRef, kPadNameCapacity);
      wrapper.Exchange(qdWrite);
      break;
    }
  }
}

void TVexalCompDef::Parse() {
  Name = ReadString();
  ParseLoop([this](int32_t keyword) {
    switch (keyword) {
      case kwOriginalName: OriginalName = ReadString(); return true;
      case kwCompHeader: {
        auto header = std::make_unique<TVexalComponentHeader>(this);
        ParseChild(*header);
        Header = std::move(header);
        return true;
      }
      case kwCompPin: {
        auto pin = std::make_unique<TVexalCompPin>(this);
        ParseChild(*pin);
        Pins.push_back(std::move(pin));
        return true;
      }
      case kwAttachedPattern: {
        auto attached = std::make_unique<TVexalAttachedPattern>(this);
        ParseChild(*attached);
        AttachedPatterns.push_back(std::move(attached));
        return true;
      }
      case kwAttr: {
        std::unique_ptr<TVexalObject> attribute = NewDrawingObject(*this, keyword);
        if (!attribute) return false;
        ParseChild(*attribute);
        Attributes.push_back(std::move(attribute));
        return true;
      }
      case kwAttachedSymbol: return true;  // its groups are skipped one by one by this loop
      default: return false;
    }
  });
}

void TVexalCompDef::Translate() {
  if (AttachedPatterns.empty() || !Library) return;
  const TVexalAttachedPattern& attached = *AttachedPatterns.front();
  TVexalPatternDef* pattern = Library->FindPatternDef(attached.PatternName);
  if (!pattern) pattern = Library->FindPatternDef(attached.PatternName + "_1");
  if (!pattern) return;
  pattern->Container = Container;
  pattern->Translate();
  attached.ApplyPadPinMap(Container);
}

// ---- The library -------------------------------------------------------------------------------

TVexalLibrary::TVexalLibrary(const TVexalObject* creator) : TVexalObject(creator) { Library = this; }

void TVexalLibrary::Parse() {
  Name = ReadString();
  ParseLoop([this](int32_t keyword) {
    switch (keyword) {
      case kwPadStyleDef:
      case kwViaStyleDef: {
        std::unique_ptr<TVexalHoleStyleDef> style;
        if (keyword == kwPadStyleDef)
          style = std::make_unique<TVexalPadStyleDef>(this);
        else
          style = std::make_unique<TVexalViaStyleDef>(this);
        style->ParseDefinition();
        --Depth;
        std::string name = style->Name;
        (keyword == kwPadStyleDef ? PadStyles : ViaStyles).AddDefinition(std::move(name), std::move(style));
        return true;
      }
      case kwTextStyleDef: {
        auto style = std::make_unique<TVexalTextStyleDef>(this);
        ParseChild(*style);
        std::string name = style->Name;
        TextStyles.AddDefinition(std::move(name), std::move(style));
        return true;
      }
      case kwPatternDef: {
        auto pattern = std::make_unique<TVexalPatternDef>(this);
        ParseChild(*pattern);
        std::string name = pattern->Name;
        PatternDefs.AddDefinition(std::move(name), std::move(pattern));
        return true;
      }
      case kwPatternDefExtended: ParseExtendedPattern(); return true;
      case kwCompDef: {
        auto component = std::make_unique<TVexalCompDef>(this);
        ParseChild(*component);
        std::string name = component->Name;
        ComponentDefs.AddDefinition(std::move(name), std::move(component));
        return true;
      }
      case kwCompAlias:
      case kwPatternAlias:
      case kwSymbolAlias: {
        std::string alias = ReadString();
        std::string target = ReadString();
        TVexalStyleDef& list = keyword == kwCompAlias      ? ComponentDefs
                               : keyword == kwPatternAlias ? PatternDefs
                                                           : Symbols;
        list.AddAlias(std::move(alias), std::move(target));
        return true;
      }
      case kwSymbolDef:
        // Not read: the name after it stands at depth 2, so the loop skips
        // the whole symbol definition with one warning that names it.
        return true;
      default: return false;
    }
  });
}

void TVexalLibrary::ParseExtendedPattern() {
  const std::string patternName = ReadString();
  std::string originalName;
  const int32_t ownLevel = Depth;
  while (Depth > 1 && !ReadingStopped()) {
    const int32_t token = Parser->NextToken();
    if (token == tkOpenBracket) {
      ++Depth;
    } else if (token == tkCloseBracket) {
      --Depth;
    } else if (token == kwOriginalName) {
      originalName = ReadString();
    } else if (token == kwPatternGraphicsDef) {
      auto pattern = std::make_unique<TVexalPatternDef>(this);
      pattern->ParseGraphics(patternName, originalName);
      --Depth;
      std::string name = pattern->Name;
      PatternDefs.AddDefinition(std::move(name), std::move(pattern));
    } else if (Depth > ownLevel) {
      SkipUnhandled();
    }
  }
}

void TVexalLibrary::Translate() {}

TVexalPadStyleDef* TVexalLibrary::FindPadStyle(std::string_view name) const {
  return static_cast<TVexalPadStyleDef*>(PadStyles.Find(name));
}
TVexalViaStyleDef* TVexalLibrary::FindViaStyle(std::string_view name) const {
  return static_cast<TVexalViaStyleDef*>(ViaStyles.Find(name));
}
TVexalTextStyleDef* TVexalLibrary::FindTextStyle(std::string_view name) const {
  return static_cast<TVexalTextStyleDef*>(TextStyles.Find(name));
}
TVexalPatternDef* TVexalLibrary::FindPatternDef(std::string_view name) const {
  return static_cast<TVexalPatternDef*>(PatternDefs.Find(name));
}
TVexalCompDef* TVexalLibrary::FindCompDef(std::string_view name) const {
  return static_cast<TVexalCompDef*>(ComponentDefs.Find(name));
}

uint8_t TVexalLibrary::HostLayerOfNumber(int32_t layerNumber) const {
  if (layerNumber < 0 || layerNumber >= kLayerTableEntries) return 0;
  return LayerTable[static_cast<size_t>(layerNumber)].HostLayer;
}

void TVexalLibrary::ReplaceLayerTableForLibrary() {
  LayerTable = TLayerTable{};
  const auto set = [this](int number, std::string name, uint8_t hostLayer) {
    LayerTable[static_cast<size_t>(number)] = TLayerTableEntry{std::move(name), hostLayer};
  };
  set(0, "NoLayer", NoLayer);
  set(1, "Top", TopLayer);
  set(2, "Bottom", BottomLayer);
  set(3, "Board", KeepOutLayer);
  set(4, "Top Sold", TopSolder);
  set(5, "Bot Sold", BottomSolder);
  set(6, "Top Over", TopOverlay);
  set(7, "Bot Over", BottomOverlay);
  set(8, "Top Past", TopPaste);
  set(9, "Bot Past", BottomPaste);
  set(10, "Mech 1", Mechanical1);
  set(11, "Mech 2", Mechanical2);
  for (int mid = 1; mid <= 8; ++mid)
    set(11 + mid, "Mid " + std::to_string(mid), static_cast<uint8_t>(MidLayer1 + mid - 1));
  set(20, "Title", Mechanical4);
}

namespace {

// Has the host make a new library component named `footprint` in the
// document that holds `board`, and make it current.
void CreateLibraryComponent(THandle board, const std::string& footprint) {
  char parameters[hostclient::kDefaultParameterBufferSize] = {};
  hostclient::SetParameter(parameters, "FootPrint", footprint, sizeof parameters);
  clientabi::IHostView* view = nullptr;
  if (clientabi::IHostClient* client = hostclient::ClientInterface) {
    TPcbBoard wrapper(board);
    wrapper.Exchange(qdRead);
    // The interfaces the client answers are borrowed: they stay the client's.
    if (clientabi::IHostDocument* document = client->FindDocumentByPath(wrapper.FileName.c_str()))
      view = document->GetView(0);
  }
  hostclient::RunHostProcess("PCB:CreateComponent", parameters, static_cast<int32_t>(sizeof parameters),
                             view);
}

// Moves every object of the board's current component by `offset` in x and y.
void MoveAll(THandle board, int32_t offset) {
  const auto add = [offset](int32_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{value} + offset, INT32_MIN, INT32_MAX));
  };
  TWalk all(board, 0);
  for (THandle object = all.First(); object != 0; object = all.Next()) {
    const int32_t x = hostapi::ObjectXOf(object);
    const int32_t x2 = hostapi::ObjectX2Of(object);
    const int32_t y = hostapi::ObjectYOf(object);
    const int32_t y2 = hostapi::ObjectY2Of(object);
    hostapi::SetObjectX(object, add(x));
    hostapi::SetObjectX2(object, add(x2));
    hostapi::SetObjectY(object, add(y));
    hostapi::SetObjectY2(object, add(y2));
  }
}

}  // namespace

void TVexalLibrary::TranslateLibrary() {
  // The root sets Container to the library document's board just before;
  // Board was taken when the library was made and may be older.
  const THandle board = Container;
  SendEvent(0, 14, 0);
  SendEvent(0, 12, board);
  SendEvent(0, 7, 0);
  SendEvent(0, 13, 0);
  ReplaceLayerTableForLibrary();
  for (const TVexalStyleDef::TDefinition& definition : ComponentDefs.Definitions) {
    auto& component = static_cast<TVexalCompDef&>(*definition.Object);
    if (component.AttachedPatterns.empty()) {
      if (Report)
        Report->AddImportWarning(iwText, "Component " + component.OriginalName +
                                             " does not have PCB footprint definition and will be skipped");
      continue;
    }
    CreateLibraryComponent(board, component.OriginalName);
    component.Container = board;
    component.Translate();
    MoveAll(board, hostapi::MilsToUnits(50000));
  }
  SendEvent(0, 14, 0);
  SendEvent(0, 8, 0);
  SendEvent(0, 10, 0);
  SendEvent(0, 11, board);
}

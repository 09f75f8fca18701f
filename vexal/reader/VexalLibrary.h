// The "library" section of a Vexal ASCII file and the classes below it.
//
// The library holds what the design refers to by name: pad and via styles
// (pad stacks, shape by shape and layer by layer), text styles with their
// fonts, pattern definitions (footprint graphics) and component definitions
// (pins, header data, and the footprints attached to them with their
// pad-to-pin maps). It also owns the LayerTable through which the whole import
// resolves file layers to host layers.
//
// In a board import the library is not translated: the design's objects look
// their definitions up here (FindPadStyle, FindViaStyle, FindTextStyle,
// FindPatternDef, FindCompDef). In a library import TranslateLibrary makes one
// host library component per component definition.
//
// TVexalLayerContents (the drawing objects of one layer) is used by pattern
// definitions here and by the design. The drawing classes themselves belong to
// the design; they join through MakeDrawingObject (below).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vexal/reader/VexalObject.h"

// ---- Drawing objects ------------------------------------------------------------------

// Makes the drawing object of a drawing keyword ("arc", "line", "pad", "via",
// "text", "pattern", "attr", "copperPour", "plane", ...) created from
// `creator`, not yet parsed; nullptr for a keyword that has no class. The
// design's drawing classes set this; while it is empty (or answers nullptr)
// the group is skipped whole with the unhandled-group warning.
using TMakeDrawingObject = std::unique_ptr<TVexalObject> (*)(const TVexalObject* creator,
                                                             int32_t keyword);
extern TMakeDrawingObject MakeDrawingObject;

// Whether `keyword` is one of the drawing keywords of a layer's contents.
bool IsDrawingKeyword(int32_t keyword);

// ---- Definition lists ------------------------------------------------------------------

// The aliases and definitions of one category, both in file order and keeping
// duplicates. A lookup compares names without regard to the case of letters
// and takes the first match.
class TVexalStyleDef {
 public:
  struct TAlias {
    std::string Alias;
    std::string Target;
  };
  struct TDefinition {
    std::string Name;
    std::unique_ptr<TVexalObject> Object;
  };

  void AddAlias(std::string alias, std::string target);
  void AddDefinition(std::string name, std::unique_ptr<TVexalObject> object);
  // The first definition named `name` (any case of letters), or nullptr.
  TVexalObject* Find(std::string_view name) const;

  std::vector<TAlias> Aliases;
  std::vector<TDefinition> Definitions;
};

// ---- Pad and via shapes -----------------------------------------------------------------

// Shape codes of pad and via shapes (ShapeType).
inline constexpr uint8_t kShapeNone = 0;
inline constexpr uint8_t kShapeEllipse = 1;
inline constexpr uint8_t kShapeOval = 2;
inline constexpr uint8_t kShapeRect = 3;
inline constexpr uint8_t kShapeRndRect = 4;
inline constexpr uint8_t kShapeThrm2 = 5;
inline constexpr uint8_t kShapeThrm2_90 = 6;
inline constexpr uint8_t kShapeThrm4 = 7;
inline constexpr uint8_t kShapeThrm4_45 = 8;
inline constexpr uint8_t kShapeDirect = 9;
inline constexpr uint8_t kShapeNoConnect = 10;
inline constexpr uint8_t kShapePolygon = 11;
inline constexpr uint8_t kShapeTarget = 12;
inline constexpr uint8_t kShapeMtHole = 13;
inline constexpr uint8_t kShapeCodeCount = 14;

// The host pad shape of a shape code (psRound, psRectangle, psOctagonal; 0
// for "no shape" and for codes beyond 13).
uint8_t HostPadShape(uint8_t code);
// The display name of a shape code ("No Shape", "Ellipse", ..., "Mounting
// Hole"); the empty text for codes beyond 13.
std::string PadShapeName(uint8_t code);
// The code of a shape word (any case of letters) among the codes 1 to
// `lastCode`; 0 when the word is none of them.
uint8_t ShapeCodeOfWord(std::string_view word, uint8_t lastCode);

// Layer types of a shape (LayerType).
inline constexpr uint8_t kLayerTypeSignal = 1;
inline constexpr uint8_t kLayerTypePlane = 2;
inline constexpr uint8_t kLayerTypeNonSignal = 3;

// What pad and via shapes share: one shape of a pad stack on one file layer.
class TVexalShapeByLayer : public TVexalObject {
 public:
  explicit TVexalShapeByLayer(const TVexalObject* creator) : TVexalObject(creator) {}
  // Reads the "padShape" / "viaShape" group.
  virtual void ParseDefinition();

  int32_t LayerNumber = 0;
  uint8_t LayerType = 0;
  int32_t SpokeWidth = 0;
  bool NoCopperPourConnect = false;
  int32_t ShapeWidth = 0;
  int32_t ShapeHeight = 0;
  double Rotation = 0.0;
  int32_t InsideDiameter = 0;
  int32_t OutsideDiameter = 0;
  int32_t Sides = 0;
  uint8_t ShapeType = kShapeNone;

 protected:
  // A keyword of the shape's own; answers whether it was handled.
  virtual bool HandleShapeKeyword(int32_t keyword);
};

class TVexalPadShapeByLayer : public TVexalShapeByLayer {
 public:
  explicit TVexalPadShapeByLayer(const TVexalObject* creator) : TVexalShapeByLayer(creator) {}

  // The extent of Outline in x and in y: the largest minus the smallest
  // coordinate (starting from -50000 and +50000 mils); 0 for an outline of
  // fewer than 4 points.
  int32_t OutlineWidth() const;
  int32_t OutlineHeight() const;

  std::vector<TVexalPoint> Outline;

 protected:
  // "padShapeType" (codes 1 to 13) and "shapeOutline" with its "pt" groups.
  bool HandleShapeKeyword(int32_t keyword) override;
};

class TVexalViaShapeByLayer : public TVexalShapeByLayer {
 public:
  explicit TVexalViaShapeByLayer(const TVexalObject* creator) : TVexalShapeByLayer(creator) {}

 protected:
  // "viaShapeType" (codes 1 to 11).
  bool HandleShapeKeyword(int32_t keyword) override;
};

// ---- Pad and via styles -------------------------------------------------------------------

// What pad and via styles share: hole, swell, layer range and shapes.
class TVexalHoleStyleDef : public TVexalObject {
 public:
  explicit TVexalHoleStyleDef(const TVexalObject* creator) : TVexalObject(creator) {}
  // Reads the name and the group of "padStyleDef" / "viaStyleDef".
  virtual void ParseDefinition();

  std::string Name;
  int32_t HoleDiameter = 0;
  bool HolePlated = true;
  int32_t HoleOffsetX = 0;
  int32_t HoleOffsetY = 0;
  bool UseGlobalSwell = true;
  int32_t LocalSwell = 0;
  int32_t StartRange = 0;
  int32_t EndRange = 0;

 protected:
  // The keyword of a shape group and the shape it makes.
  virtual int32_t ShapeKeyword() const = 0;
  virtual void AddShape() = 0;
};

class TVexalPadStyleDef : public TVexalHoleStyleDef {
 public:
  explicit TVexalPadStyleDef(const TVexalObject* creator) : TVexalHoleStyleDef(creator) {}
  std::vector<std::unique_ptr<TVexalPadShapeByLayer>> Shapes;

 protected:
  int32_t ShapeKeyword() const override;
  void AddShape() override;
};

class TVexalViaStyleDef : public TVexalHoleStyleDef {
 public:
  explicit TVexalViaStyleDef(const TVexalObject* creator) : TVexalHoleStyleDef(creator) {}
  std::vector<std::unique_ptr<TVexalViaShapeByLayer>> Shapes;

 protected:
  int32_t ShapeKeyword() const override;
  void AddShape() override;
};

// ---- Text styles ----------------------------------------------------------------------------

class TVexalFont : public TVexalObject {
 public:
  explicit TVexalFont(const TVexalObject* creator) : TVexalObject(creator) {}
  void Parse() override;

  uint8_t FontType = 0;    // 0 "Stroke", 1 any other word
  uint8_t FontFamily = 0;  // 0 "Serif", 1 "Sanserif", 2 any other word
  std::string FontFace;
  int32_t FontHeight = 0;
  int32_t StrokeWidth = 0;
  int32_t FontWeight = 0;
  bool Italic = false;
  int32_t CharSet = 0;
  int32_t OutPrecision = 0;
  int32_t ClipPrecision = 0;
  int32_t Quality = 0;
  int32_t PitchAndFamily = 0;
};

class TVexalTextStyleDef : public TVexalObject {
 public:
  explicit TVexalTextStyleDef(const TVexalObject* creator) : TVexalObject(creator) {}
  void Parse() override;

  std::string Name;
  std::unique_ptr<TVexalFont> Font;  // none without a "font" group
  bool AllowTrueType = true;
  bool DisplayTrueType = true;
};

// ---- Layer contents and pattern definitions ----------------------------------------------

class TVexalLayerContents : public TVexalObject {
 public:
  explicit TVexalLayerContents(const TVexalObject* creator) : TVexalObject(creator) {}
  // "layerNumRef" and the drawing objects; "metafile" groups are skipped.
  void Parse() override;
  // Each object in file order: Layer := the host layer of LayerNumber,
  // Container := this Container, Translate.
  void Translate() override;

  int32_t LayerNumber = 0;
  std::vector<std::unique_ptr<TVexalObject>> Objects;
};

class TVexalPatternDef : public TVexalObject {
 public:
  explicit TVexalPatternDef(const TVexalObject* creator) : TVexalObject(creator) {}
  // The name, then "layerContents", "multiLayer" and "originalName".
  void Parse() override;
  // One graphics definition of an extended pattern: reads its
  // "patternGraphicsNameDef" group, names itself `patternName` + ":" +
  // graphics name, takes `originalName`, then reads its layer contents and
  // multi-layer objects.
  void ParseGraphics(const std::string& patternName, const std::string& originalName);
  // The multi-layer objects (on MultiLayer), then each layer's contents, into
  // Container. A pattern definition that is met again while it is being
  // translated (it places itself, directly or through others) is not drawn
  // again: the inner placement draws nothing and the report gets a warning.
  void Translate() override;

  std::string Name;
  std::string OriginalName;
  std::vector<std::unique_ptr<TVexalObject>> MultiLayerObjects;
  std::vector<std::unique_ptr<TVexalLayerContents>> LayerContents;

 private:
  void ParseBody(bool readsOriginalName);
  bool Translating = false;
};

// ---- Component definitions ------------------------------------------------------------------

class TVexalComponentHeader : public TVexalObject {
 public:
  explicit TVexalComponentHeader(const TVexalObject* creator) : TVexalObject(creator) {}
  void Parse() override;

  std::string SourceLibrary;
  uint8_t CompType = 0;      // "Normal" 0, "Power" 1, "SheetConnector" 2
  int32_t NumPins = 0;
  int32_t NumParts = 0;
  uint8_t Composition = 0;   // "Homogeneous" 0, "Heterogeneous" 1
  bool IeeeAlt = false;
  bool DeMorganAlt = false;
  std::string RefDesPrefix;
  uint8_t NumType = 0;       // "Alphabetic" 0, "Numeric" 1
};

class TVexalCompPin : public TVexalObject {
 public:
  explicit TVexalCompPin(const TVexalObject* creator) : TVexalObject(creator) {}
  void Parse() override;

  std::string PinDes;
  std::string PinName;
  int32_t PartNum = 0;
  int32_t SymPinNum = 0;
  int32_t GateEq = 0;
  int32_t PinEq = 0;
  uint8_t PinType = 0;  // "Unknown" 0 ... "Power" 10
};

struct TVexalPadPinMapEntry {
  int32_t PadNum = 0;
  std::string CompPinRef;
};

class TVexalAttachedPattern : public TVexalObject {
 public:
  explicit TVexalAttachedPattern(const TVexalObject* creator) : TVexalObject(creator) {}
  void Parse() override;

  // Renames the pads of the host component `container` after its pattern was
  // drawn: every pad becomes "SYSPAD" + its old name (first 20 characters),
  // then for each map entry the pad named "SYSPAD" + PadNum becomes
  // CompPinRef (first 20 characters).
  void ApplyPadPinMap(THandle container) const;

  int32_t PatternNum = 0;
  std::string PatternName;
  int32_t NumPads = 0;
  std::vector<TVexalPadPinMapEntry> PadPinMap;

 private:
  void ParsePadPinMap();
};

class TVexalCompDef : public TVexalObject {
 public:
  explicit TVexalCompDef(const TVexalObject* creator) : TVexalObject(creator) {}
  void Parse() override;
  // Library import only: the pattern of the first attached pattern (looked up
  // by its name, else its name + "_1") drawn into Container, then its pad-pin
  // map applied. Nothing without an attached pattern or pattern definition.
  void Translate() override;

  std::string Name;
  std::string OriginalName;
  std::unique_ptr<TVexalComponentHeader> Header;
  std::vector<std::unique_ptr<TVexalCompPin>> Pins;
  std::vector<std::unique_ptr<TVexalAttachedPattern>> AttachedPatterns;
  std::vector<std::unique_ptr<TVexalObject>> Attributes;
};

// ---- The library ----------------------------------------------------------------------------

class TVexalLibrary : public TVexalObject {
 public:
  // The library sets its own Library field to itself; the LayerTable starts
  // with 101 empty entries.
  explicit TVexalLibrary(const TVexalObject* creator);
  void Parse() override;
  // Board import: nothing.
  void Translate() override;
  // Library import into the document whose board is Container (and Board).
  void TranslateLibrary();

  TVexalPadStyleDef* FindPadStyle(std::string_view name) const;
  TVexalViaStyleDef* FindViaStyle(std::string_view name) const;
  TVexalTextStyleDef* FindTextStyle(std::string_view name) const;
  TVexalPatternDef* FindPatternDef(std::string_view name) const;
  TVexalCompDef* FindCompDef(std::string_view name) const;

  // The host layer of a file layer number: LayerTable's host layer, or 0
  // (not imported) for a number outside 0 to 100.
  uint8_t HostLayerOfNumber(int32_t layerNumber) const;

  std::string Name;
  TVexalStyleDef ComponentDefs;
  TVexalStyleDef PadStyles;
  TVexalStyleDef PatternDefs;
  TVexalStyleDef Symbols;
  TVexalStyleDef TextStyles;
  TVexalStyleDef ViaStyles;
  TLayerTable LayerTable;

 private:
  void ParseExtendedPattern();
  void ReplaceLayerTableForLibrary();
};

// Wrappers of host objects: each mirrors one host record field by field, in
// the order the host's record functions exchange them.
//
// Life of a wrapper: create it on a handle (a new object from
// PcbApi_CreateObject, or an existing one), Exchange(qdRead), set fields,
// Exchange(qdWrite) (a component's placement: qdWritePlacement), free it.
// Adding the object to a board, component or net is a separate
// PcbApi_AddObjectToContainer. A wrapper never owns its host object.
//
// String fields are std::string; they are cut to the host field's capacity
// (pad name 20, text 254, pattern 250, other names 255 characters) when they
// are exchanged, so a longer text never overflows a host field.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hostapi/PcbTypes.h"

// ---- TPCBObject: the root of every primitive and group wrapper ----------------

class TPCBObject {
 public:
  explicit TPCBObject(THandle handle);
  TPCBObject(const TPCBObject&) = default;
  TPCBObject& operator=(const TPCBObject&) = default;

  // The virtual operations, in the order of the host's operation table.
  virtual int32_t Exchange(uint8_t direction);                               // 0
  virtual int32_t QueryBounds(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2);  // 1
  virtual bool QueryImportFromUser();                                        // 2
  virtual int32_t Invalidate();                                              // 3

  // Flag bits (4 to 31). Setters set the bit for true and clear it for false.
  virtual bool GetFlag0010() const;           // 4
  virtual bool GetBitField2Bit10() const;     // 5
  virtual bool GetBitField2Bit01() const;     // 6
  virtual bool GetBitField2Bit02() const;     // 7
  virtual bool GetBitField2Bit08() const;     // 8
  virtual bool GetBitField2Bit20() const;     // 9
  virtual bool GetBitField2Bit40() const;     // 10
  virtual void SetFlag0010(bool on);          // 11
  virtual bool GetFlag0008() const;           // 12
  virtual void SetFlag0008(bool on);          // 13: also writes the wrapper at once
  virtual bool GetFlag0100Clear() const;      // 14: true when Flags 0x0100 is clear
  virtual void SetFlag0100Clear(bool on);     // 15: true clears the bit; writes at once
  virtual bool GetBitField3Bits0006() const;  // 16: either of 0x0002, 0x0004
  virtual void SetBitField3Bits0006(bool on); // 17: both bits
  virtual bool GetBitField3Bit0002() const;   // 18
  virtual void SetBitField3Bit0002(bool on);  // 19
  virtual bool GetBitField3Bit0004() const;   // 20
  virtual void SetBitField3Bit0004(bool on);  // 21
  virtual bool GetFlag0800() const;           // 22
  virtual void SetFlag0800(bool on);          // 23
  virtual bool GetFlag2000() const;           // 24
  virtual void SetFlag2000(bool on);          // 25
  virtual bool GetFlag1000() const;           // 26
  virtual void SetFlag1000(bool on);          // 27
  virtual bool GetFlag4000() const;           // 28
  virtual void SetFlag4000(bool on);          // 29
  virtual bool GetFlag8000() const;           // 30
  virtual void SetFlag8000(bool on);          // 31

  virtual THandle GetHandle() const;       // 32
  virtual uint8_t GetObjectKind() const;   // 33
  virtual int32_t GetX() const;            // 34
  virtual int32_t GetY() const;            // 35
  virtual int32_t GetX2() const;           // 36: X unless the kind has a second point
  virtual int32_t GetY2() const;           // 37
  virtual uint16_t GetFlags() const;       // 38
  virtual uint16_t GetExtraWord() const;   // 39
  virtual uint8_t GetLayer() const;        // 40
  virtual uint8_t GetExtraByte() const;    // 41
  virtual THandle GetNet() const;          // 42
  virtual uint32_t GetExtraLong() const;   // 43
  virtual int32_t GetAux1() const;         // 44
  virtual int32_t GetAux2() const;         // 45
  virtual int32_t GetAux3() const;         // 46
  virtual int32_t GetTopXSize() const;     // 47
  virtual int32_t GetTopYSize() const;     // 48
  virtual int32_t GetMidXSize() const;     // 49
  virtual int32_t GetMidYSize() const;     // 50
  virtual int32_t GetBottomXSize() const;  // 51
  virtual int32_t GetBottomYSize() const;  // 52
  virtual int32_t GetHoleSize() const;     // 53
  virtual uint8_t GetTopShape() const;     // 54
  virtual uint8_t GetMidShape() const;     // 55
  virtual uint8_t GetBottomShape() const;  // 56
  virtual std::string GetName();           // 57
  virtual double GetRotation() const;      // 58
  virtual int32_t GetWidth() const;        // 59
  virtual bool GetOption60() const;        // 60
  virtual int32_t GetSize() const;         // 61
  virtual int32_t GetXSize() const;        // 62
  virtual int32_t GetYSize() const;        // 63
  virtual uint8_t GetStartLayer() const;   // 64
  virtual uint8_t GetEndLayer() const;     // 65
  virtual int32_t GetRadius() const;       // 66
  virtual double GetStartAngle() const;    // 67
  virtual double GetEndAngle() const;      // 68
  virtual int32_t GetLineWidth() const;    // 69
  virtual int32_t GetBoundsX1();           // 70
  virtual int32_t GetBoundsY1();           // 71
  virtual int32_t GetBoundsX2();           // 72
  virtual int32_t GetBoundsY2();           // 73
  virtual int32_t GetFont() const;         // 74
  virtual bool GetMirrored() const;        // 75
  virtual std::string GetText();           // 76
  virtual uint8_t GetFromLayer() const;    // 77
  virtual uint8_t GetToLayer() const;      // 78

  // Corners of the object's rectangle grown by `expansion` on every side,
  // rotated by GetRotation (79 to 86).
  virtual int32_t BottomLeftX(int32_t expansion);   // 79
  virtual int32_t BottomLeftY(int32_t expansion);   // 80
  virtual int32_t BottomRightX(int32_t expansion);  // 81
  virtual int32_t BottomRightY(int32_t expansion);  // 82
  virtual int32_t TopLeftX(int32_t expansion);      // 83
  virtual int32_t TopLeftY(int32_t expansion);      // 84
  virtual int32_t TopRightX(int32_t expansion);     // 85
  virtual int32_t TopRightY(int32_t expansion);     // 86

  // Layer-gated operations: 0 unless `layer` is the object's Layer (87 to 103).
  virtual int32_t GetSizeOnLayer(uint8_t layer);   // 87
  virtual int32_t GetXSizeOnLayer(uint8_t layer);  // 88
  virtual int32_t GetYSizeOnLayer(uint8_t layer);  // 89
  virtual uint8_t GetShapeOnLayer(uint8_t layer);  // 90
  virtual int32_t GetWidthOnLayer(uint8_t layer);  // 91
  virtual int32_t BottomLeftXOnLayer(uint8_t layer, int32_t expansion);   // 92
  virtual int32_t BottomLeftYOnLayer(uint8_t layer, int32_t expansion);   // 93
  virtual int32_t BottomRightXOnLayer(uint8_t layer, int32_t expansion);  // 94
  virtual int32_t BottomRightYOnLayer(uint8_t layer, int32_t expansion);  // 95
  virtual int32_t TopLeftXOnLayer(uint8_t layer, int32_t expansion);      // 96
  virtual int32_t TopLeftYOnLayer(uint8_t layer, int32_t expansion);      // 97
  virtual int32_t TopRightXOnLayer(uint8_t layer, int32_t expansion);     // 98
  virtual int32_t TopRightYOnLayer(uint8_t layer, int32_t expansion);     // 99
  virtual int32_t EndX1(uint8_t layer);  // 100
  virtual int32_t EndY1(uint8_t layer);  // 101
  virtual int32_t EndX2(uint8_t layer);  // 102
  virtual int32_t EndY2(uint8_t layer);  // 103

  virtual void SetHandle(THandle value);        // 104
  virtual void SetObjectKind(uint8_t value);    // 105
  virtual void SetX(int32_t value);             // 106
  virtual void SetY(int32_t value);             // 107
  virtual void SetX2(int32_t value);            // 108: nothing unless the kind has a second point
  virtual void SetY2(int32_t value);            // 109
  virtual void SetFlags(uint16_t value);        // 110
  virtual void SetExtraWord(uint16_t value);    // 111
  virtual void SetLayer(uint8_t value);         // 112
  virtual void SetExtraByte(uint8_t value);     // 113
  virtual void SetNet(THandle value);           // 114
  virtual void SetExtraLong(uint32_t value);    // 115
  virtual void SetAux1(int32_t value);          // 116
  virtual void SetAux2(int32_t value);          // 117
  virtual void SetAux3(int32_t value);          // 118
  virtual void SetTopXSize(int32_t value);      // 119
  virtual void SetTopYSize(int32_t value);      // 120
  virtual void SetMidXSize(int32_t value);      // 121
  virtual void SetMidYSize(int32_t value);      // 122
  virtual void SetBottomXSize(int32_t value);   // 123
  virtual void SetBottomYSize(int32_t value);   // 124
  virtual void SetHoleSize(int32_t value);      // 125
  virtual void SetTopShape(uint8_t value);      // 126
  virtual void SetMidShape(uint8_t value);      // 127
  virtual void SetBottomShape(uint8_t value);   // 128
  virtual void SetName(std::string_view value); // 129
  virtual void SetRotation(double value);       // 130
  virtual void SetWidth(int32_t value);         // 131
  virtual void SetOption132(bool value);        // 132
  virtual void SetSize(int32_t value);          // 133
  virtual void SetXSize(int32_t value);         // 134
  virtual void SetYSize(int32_t value);         // 135
  virtual void SetStartLayer(uint8_t value);    // 136
  virtual void SetEndLayer(uint8_t value);      // 137
  virtual void SetRadius(int32_t value);        // 138
  virtual void SetStartAngle(double value);     // 139
  virtual void SetEndAngle(double value);       // 140
  virtual void SetLineWidth(int32_t value);     // 141
  virtual void SetFont(int32_t value);          // 142
  virtual void SetMirrored(bool value);         // 143
  virtual void SetText(std::string_view value); // 144
  virtual void SetFromLayer(uint8_t value);     // 145
  virtual void SetToLayer(uint8_t value);       // 146

  virtual ~TPCBObject();

  // Common fields, in record order.
  THandle Handle = 0;
  uint8_t ObjectKind = 0;
  int32_t X = 0;
  int32_t Y = 0;
  uint16_t Flags = 0;
  uint8_t BitField2 = 0;
  uint16_t BitField3 = 0;
  uint16_t ExtraWord = 0;
  uint8_t Layer = 0;
  uint8_t ExtraByte = 0;
  THandle Net = 0;
  uint32_t ExtraLong = 0;

 protected:
  // Exchanges BitField2, then BitField3 (every Exchange starts with this).
  void ExchangeBitFields(uint8_t direction);
  bool OnLayer(uint8_t layer) const { return layer == Layer; }
  void SetFlagBits(uint16_t mask, bool on);
  void SetBitField3Bits(uint16_t mask, bool on);
};

// ---- Primitives ---------------------------------------------------------------

class TPcbArc : public TPCBObject {
 public:
  explicit TPcbArc(THandle handle);
  int32_t Exchange(uint8_t direction) override;
  int32_t GetAux1() const override;
  int32_t GetRadius() const override;
  double GetStartAngle() const override;
  double GetEndAngle() const override;
  int32_t GetLineWidth() const override;
  void SetAux1(int32_t value) override;
  void SetRadius(int32_t value) override;
  void SetStartAngle(double value) override;
  void SetEndAngle(double value) override;
  void SetLineWidth(int32_t value) override;

  int32_t Radius = 0;
  double StartAngle = 0.0;
  double EndAngle = 0.0;
  int32_t Width = 0;
  int32_t Aux1 = 0;
};

class TPcbPad : public TPCBObject {
 public:
  explicit TPcbPad(THandle handle);
  // Pad record, then the stack mode; in the per-layer mode the shapes and
  // sizes of copper layers 1 to 32.
  int32_t Exchange(uint8_t direction) override;
  int32_t GetTopXSize() const override;
  int32_t GetTopYSize() const override;
  int32_t GetMidXSize() const override;
  int32_t GetMidYSize() const override;
  int32_t GetBottomXSize() const override;
  int32_t GetBottomYSize() const override;
  int32_t GetHoleSize() const override;
  uint8_t GetTopShape() const override;
  uint8_t GetMidShape() const override;
  uint8_t GetBottomShape() const override;
  std::string GetName() override;
  double GetRotation() const override;
  // Per-layer size and shape, asked of the host into the stored arrays (0
  // when the host fails); not gated by Layer.
  int32_t GetXSizeOnLayer(uint8_t layer) override;
  int32_t GetYSizeOnLayer(uint8_t layer) override;
  uint8_t GetShapeOnLayer(uint8_t layer) override;
  int32_t GetWidthOnLayer(uint8_t layer) override;  // the smaller of the two sizes
  int32_t BottomLeftXOnLayer(uint8_t layer, int32_t expansion) override;
  int32_t BottomLeftYOnLayer(uint8_t layer, int32_t expansion) override;
  int32_t BottomRightXOnLayer(uint8_t layer, int32_t expansion) override;
  int32_t BottomRightYOnLayer(uint8_t layer, int32_t expansion) override;
  int32_t TopLeftXOnLayer(uint8_t layer, int32_t expansion) override;
  int32_t TopLeftYOnLayer(uint8_t layer, int32_t expansion) override;
  int32_t TopRightXOnLayer(uint8_t layer, int32_t expansion) override;
  int32_t TopRightYOnLayer(uint8_t layer, int32_t expansion) override;
  // End points of the pad's long axis on a layer (both the centre for a
  // square or round pad).
  int32_t EndX1(uint8_t layer) override;
  int32_t EndY1(uint8_t layer) override;
  int32_t EndX2(uint8_t layer) override;
  int32_t EndY2(uint8_t layer) override;
  void SetTopXSize(int32_t value) override;
  void SetTopYSize(int32_t value) override;
  void SetMidXSize(int32_t value) override;
  void SetMidYSize(int32_t value) override;
  void SetBottomXSize(int32_t value) override;
  void SetBottomYSize(int32_t value) override;
  void SetHoleSize(int32_t value) override;
  void SetTopShape(uint8_t value) override;
  void SetMidShape(uint8_t value) override;
  void SetBottomShape(uint8_t value) override;
  void SetName(std::string_view value) override;  // cut to 20 characters
  void SetRotation(double value) override;

  int32_t TopXSize = 0;
  int32_t TopYSize = 0;
  int32_t MidXSize = 0;
  int32_t MidYSize = 0;
  int32_t BottomXSize = 0;
  int32_t BottomYSize = 0;
  int32_t HoleSize = 0;
  uint8_t TopShape = 0;
  uint8_t MidShape = 0;
  uint8_t BottomShape = 0;
  std::string Name;  // at most 20 characters
  uint8_t PadAux1 = 0;
  uint8_t PadAux2 = 0;
  double Rotation = 0.0;

  // Pad stack, beside the record. Indexed by layer id 0 to 82; entries 1 to
  // 32 are exchanged in the per-layer mode.
  uint8_t StackMode = 0;
  std::array<int32_t, kLayerCount> XSizeOnLayer{};
  std::array<int32_t, kLayerCount> YSizeOnLayer{};
  std::array<uint8_t, kLayerCount> ShapeOnLayer{};

 private:
  struct Corner {
    int32_t X, Y;
  };
  Corner LayerCorner(uint8_t layer, int32_t expansion, int corner);
  Corner EndPoint(uint8_t layer, bool second);
};

class TPcbVia : public TPCBObject {
 public:
  explicit TPcbVia(THandle handle);
  int32_t Exchange(uint8_t direction) override;
  int32_t GetHoleSize() const override;
  int32_t GetSize() const override;
  uint8_t GetStartLayer() const override;
  uint8_t GetEndLayer() const override;
  // Per-layer size (X) and shape, asked of the host; 0 when it fails.
  int32_t GetSizeOnLayer(uint8_t layer) override;
  uint8_t GetShapeOnLayer(uint8_t layer) override;
  void SetHoleSize(int32_t value) override;
  void SetSize(int32_t value) override;
  void SetStartLayer(uint8_t value) override;
  void SetEndLayer(uint8_t value) override;

  int32_t Size = 0;
  int32_t HoleSize = 0;
  uint8_t StartLayer = 0;
  uint8_t EndLayer = 0;
};

class TPcbTrack : public TPCBObject {
 public:
  explicit TPcbTrack(THandle handle);
  int32_t Exchange(uint8_t direction) override;
  int32_t GetX2() const override;
  int32_t GetY2() const override;
  int32_t GetAux1() const override;
  int32_t GetAux2() const override;
  int32_t GetAux3() const override;
  int32_t GetWidth() const override;
  void SetX2(int32_t value) override;
  void SetY2(int32_t value) override;
  void SetAux1(int32_t value) override;
  void SetAux2(int32_t value) override;
  void SetAux3(int32_t value) override;
  void SetWidth(int32_t value) override;

  int32_t X2 = 0;
  int32_t Y2 = 0;
  int32_t Width = 0;
  int32_t Aux1 = 0;
  int32_t Aux2 = 0;
  int32_t Aux3 = 0;
};

class TPcbText : public TPCBObject {
 public:
  explicit TPcbText(THandle handle);
  int32_t Exchange(uint8_t direction) override;
  int32_t GetAux2() const override;
  int32_t GetAux3() const override;
  double GetRotation() const override;
  int32_t GetWidth() const override;      // StrokeWidth
  int32_t GetSize() const override;       // Height
  int32_t GetLineWidth() const override;  // StrokeWidth
  int32_t GetFont() const override;
  bool GetMirrored() const override;
  std::string GetText() override;
  void SetAux2(int32_t value) override;
  void SetAux3(int32_t value) override;
  void SetRotation(double value) override;
  void SetSize(int32_t value) override;       // Height
  void SetLineWidth(int32_t value) override;  // StrokeWidth
  void SetFont(int32_t value) override;
  void SetMirrored(bool value) override;
  void SetText(std::string_view value) override;  // cut to 254 characters

  int32_t Height = 0;
  int32_t Font = 0;  // 1 default stroke font, 2 sans-serif, 3 serif
  double Rotation = 0.0;
  uint8_t Mirrored = 0;
  std::string Text;  // at most 254 characters
  int32_t StrokeWidth = 0;
  int32_t Aux2 = 0;
  int32_t Aux3 = 0;
};

class TPcbFill : public TPCBObject {
 public:
  explicit TPcbFill(THandle handle);
  int32_t Exchange(uint8_t direction) override;
  int32_t GetX2() const override;
  int32_t GetY2() const override;
  int32_t GetAux1() const override;
  double GetRotation() const override;
  void SetX2(int32_t value) override;
  void SetY2(int32_t value) override;
  void SetAux1(int32_t value) override;
  void SetRotation(double value) override;

  int32_t X2 = 0;
  int32_t Y2 = 0;
  int32_t Aux1 = 0;
  double Rotation = 0.0;
};

class TPcbFromTo : public TPCBObject {
 public:
  explicit TPcbFromTo(THandle handle);
  int32_t Exchange(uint8_t direction) override;
  int32_t GetX2() const override;
  int32_t GetY2() const override;
  uint8_t GetFromLayer() const override;
  uint8_t GetToLayer() const override;
  void SetX2(int32_t value) override;
  void SetY2(int32_t value) override;
  void SetFromLayer(uint8_t value) override;
  void SetToLayer(uint8_t value) override;

  uint8_t FromLayer = 0;
  int32_t X2 = 0;
  int32_t Y2 = 0;
  uint8_t ToLayer = 0;
};

class TPcbManualFromTo : public TPCBObject {
 public:
  explicit TPcbManualFromTo(THandle handle);
  int32_t Exchange(uint8_t direction) override;

  std::string ManualText1;  // host values, carried unchanged (255 characters each)
  std::string ManualText2;
  std::string ManualText3;
  int32_t ManualValue = 0;
};

// ---- Group objects ------------------------------------------------------------

class TPcbGroupObject : public TPCBObject {
 public:
  explicit TPcbGroupObject(THandle handle);
};

class TPcbNet : public TPcbGroupObject {
 public:
  explicit TPcbNet(THandle handle);
  int32_t Exchange(uint8_t direction) override;
  std::string GetName() override;

  std::string Name;  // at most 255 characters
  uint8_t NetAux1 = 0;
  uint8_t NetAux2 = 0;
};

class TPcbComponent : public TPcbGroupObject {
 public:
  explicit TPcbComponent(THandle handle);
  // Channel offset, component kind, component record, extended record and
  // source links; answers the status of the component record.
  int32_t Exchange(uint8_t direction) override;
  std::string GetName() override;  // the text of the designator text object
  double GetRotation() const override;

#if defined(HOSTAPI_LEGACY_EXTRAS) && HOSTAPI_LEGACY_EXTRAS
  // Makes the object one of the component's primitives; 1 without asking the
  // host when the object handle is 0.
  int32_t AddPrimitive(THandle object);
#endif

  int32_t ChannelOffset = 0;
  uint8_t ComponentKind = 0;
  THandle DesignatorText = 0;
  THandle CommentText = 0;
  std::string Pattern;  // footprint name, at most 250 characters
  uint8_t DesignatorVisible = 0;
  uint8_t CommentVisible = 0;
  int32_t CompAux1 = 0;
  double Rotation = 0.0;
  uint8_t CompAux2 = 0;
  int32_t CompExtra1 = 0;
  uint8_t CompExtra2 = 0;
  uint8_t CompExtra3 = 0;
  uint8_t CompExtra4 = 0;
  std::array<std::string, 7> SourceLinks;  // SourceLink1 to SourceLink7, 255 characters each
};

class TPcbPolygon : public TPcbGroupObject {
 public:
  explicit TPcbPolygon(THandle handle);
  int32_t Exchange(uint8_t direction) override;

  // Most vertices a polygon can hold: the record holds 501, and the vertex
  // after the last repeats the first.
  static constexpr int kMaxVertices = pcbabi::kVertexRecords - 1;

  uint8_t RemoveIslands = 0;
  uint8_t PolyAux1 = 0;
  uint8_t PolyOption = 0;
  int32_t GridSize = 0;
  int32_t TrackWidth = 0;
  uint8_t PolyAux2 = 0;
  uint8_t HatchStyle = 0;  // 0 solid or 90-degree, 1 45-degree, 2 vertical, 3 horizontal
  int32_t PolyAux3 = 0;
  uint8_t OnInternalPlane = 0;
  int32_t VertexCount = 0;
  std::array<pcbabi::TVertexRecord, pcbabi::kVertexRecords> Vertices{};

 protected:
  TPcbPolygon(THandle handle, uint8_t kind);
};

class TPcbBoardOutline : public TPcbPolygon {
 public:
  explicit TPcbBoardOutline(THandle handle);
};

class TPcbDimension : public TPcbGroupObject {
 public:
  explicit TPcbDimension(THandle handle);
  // Dimension record, extended record, then the references; answers the
  // bitwise AND of the two record statuses.
  int32_t Exchange(uint8_t direction) override;

  static constexpr int kDimensionKindField = 0;  // field of DimensionRecord, set to 8
  static constexpr int kMaxReferences = 4096;    // more from the host are not read

  std::array<int32_t, pcbabi::kDimensionRecordFields> DimensionRecord{};
  std::array<int32_t, pcbabi::kExtDimensionRecordFields> ExtDimensionRecord{};
  std::vector<std::array<int32_t, 4>> References;
};

class TPcbCoordinate : public TPcbGroupObject {
 public:
  explicit TPcbCoordinate(THandle handle);
  int32_t Exchange(uint8_t direction) override;

  std::array<int32_t, 6> CoordAux{};  // host values, carried unchanged
};

// ---- Classes and rules ----------------------------------------------------------

class TPCBObjectClass : public TPCBObject {
 public:
  explicit TPCBObjectClass(THandle handle);
  // Reading appends the host's members to Members; writing replaces the
  // host's members with Members. Answers the last member call's status.
  int32_t Exchange(uint8_t direction) override;

  static constexpr int kMaxMembers = 1 << 20;  // a host that never ends the list is cut here

  uint8_t MemberKind = 0;  // ckNet or ckComponent
  uint8_t ClassAux = 0;
  std::string Name;                  // at most 255 characters
  std::vector<std::string> Members;  // member names, at most 255 characters each
};

class TPcbRule : public TPCBObject {
 public:
  explicit TPcbRule(THandle handle);
  int32_t Exchange(uint8_t direction) override;

  std::array<int32_t, pcbabi::kRuleRecordFields> RuleRecord{};  // carried unchanged
};

// One subscope of a rule scope, in the order of PcbApi_SetState_AddSubscope.
struct TPcbSubscope {
  uint8_t Kind = skBoard;
  std::string Name;  // net or class name (kinds skNet, skComponentClass), 255 characters
  uint8_t LayerId = 0;  // for skLayer
  uint8_t KindId = 0;   // object kinds, for skObjectKind
  int32_t Value1 = 0;
  int32_t Value2 = 0;
  int32_t Value3 = 0;
  int32_t Value4 = 0;
};

// One of the two scopes of a rule: a list of subscopes.
class TPcbScope {
 public:
  TPcbScope(THandle ruleHandle, uint8_t scopeIndex);

  // Writing (0 or 2) replaces the host's subscopes with the list; reading (1)
  // replaces the list with the host's. Answers 1 when a read finds no
  // subscopes, else 0.
  int32_t Exchange(uint8_t direction);

  void Add(const TPcbSubscope& subscope) { Subscopes.push_back(subscope); }
  void Clear() { Subscopes.clear(); }
  size_t Count() const { return Subscopes.size(); }

  static constexpr int kMaxSubscopes = 65536;  // more from the host are not read

  THandle RuleHandle = 0;
  uint8_t ScopeIndex = 0;
  std::vector<TPcbSubscope> Subscopes;
};

class TPcbRuleExt : public TPCBObject {
 public:
  explicit TPcbRuleExt(THandle handle);
  // Rule record, rule name, then both scopes; answers the status of the
  // name's exchange (1 at once when the rule record fails with 1).
  int32_t Exchange(uint8_t direction) override;

  uint8_t RuleKind = 0;
  uint8_t RuleAux1 = 0;
  uint8_t RuleAux2 = 0;
  std::string Name;  // at most 255 characters
  TPcbScope Scope1;  // scope index 0
  TPcbScope Scope2;  // scope index 1
};

// Wrappers of host objects: record exchanges and virtual operations.
#include "hostapi/PcbObjects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <utility>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbUtil.h"
#include "hostapi/ShortString.h"
#include "hostapi/ExchangeSupport.h"

using namespace hostapi;
using hostapi::exchange::CallWithFields;
using hostapi::exchange::IsWrite;
using hostapi::exchange::StringField;

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

struct Point {
  int32_t X, Y;
};

enum Corner { BottomLeft = 0, BottomRight = 1, TopLeft = 2, TopRight = 3 };

// Corner of a rectangle of width w and height h around (cx, cy) rotated by
// `rotation` degrees. With `flatCase` a rectangle of height 0 ignores the
// rotation: its corners lie at cx -/+ w/2 on cy.
Point RectangleCorner(double w, double h, double cx, double cy, double rotation, int corner,
                      bool flatCase) {
  if (flatCase && h == 0) {
    const bool left = corner == BottomLeft || corner == TopLeft;
    return {RoundHalfEven(left ? cx - w / 2 : cx + w / 2), RoundHalfEven(cy)};
  }
  const double radius = std::sqrt((w / 2) * (w / 2) + (h / 2) * (h / 2));
  // atan(w / h); atan2 gives the same where h is not 0 and stays defined at 0.
  const double a = h == 0 ? std::atan2(w, h) : std::atan(w / h);
  const double r = rotation * kDegToRad;
  const double quarter = std::numbers::pi / 2;
  double x = cx, y = cy;
  switch (corner) {
    case BottomLeft:
      x = cx - radius * std::sin(a - r);
      y = cy - radius * std::cos(a - r);
      break;
    case BottomRight:
      x = cx + radius * std::cos(quarter - r - a);
      y = cy - radius * std::sin(quarter - r - a);
      break;
    case TopLeft:
      x = cx - radius * std::cos(quarter - r - a);
      y = cy + radius * std::sin(quarter - r - a);
      break;
    default:
      x = cx + radius * std::sin(a - r);
      y = cy + radius * std::cos(a - r);
      break;
  }
  return {RoundHalfEven(x), RoundHalfEven(y)};
}

Point ObjectCorner(const TPCBObject& o, int32_t expansion, int corner) {
  const int64_t x1 = o.GetX(), x2 = o.GetX2(), y1 = o.GetY(), y2 = o.GetY2();
  const double w = static_cast<double>(std::llabs(x2 - x1) + 2 * int64_t{expansion});
  const double h = static_cast<double>(std::llabs(y2 - y1) + 2 * int64_t{expansion});
  const double cx = static_cast<double>(x1 / 2 + x2 / 2);
  const double cy = static_cast<double>(y1 / 2 + y2 / 2);
  return RectangleCorner(w, h, cx, cy, o.GetRotation(), corner, true);
}

bool ValidLayer(uint8_t layer) { return layer <= kMaxLayerId; }

}  // namespace

// ---- TPCBObject -------------------------------------------------------------------

TPCBObject::TPCBObject(THandle handle) : Handle(handle) {}
TPCBObject::~TPCBObject() = default;

void TPCBObject::ExchangeBitFields(uint8_t direction) {
  PcbApi_GetObjectBitField2(direction, Handle, &BitField2);
  PcbApi_GetObjectBitField3(direction, Handle, &BitField3);
}

void TPCBObject::SetFlagBits(uint16_t mask, bool on) {
  Flags = static_cast<uint16_t>(on ? (Flags | mask) : (Flags & ~mask));
}

void TPCBObject::SetBitField3Bits(uint16_t mask, bool on) {
  BitField3 = static_cast<uint16_t>(on ? (BitField3 | mask) : (BitField3 & ~mask));
}

int32_t TPCBObject::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  return PcbApi_QueryPrimitive(direction, Handle, &Flags, &ExtraWord, &Layer, &Net, &ExtraLong,
                               &ExtraByte);
}

int32_t TPCBObject::QueryBounds(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
  return PcbApi_QueryObjectBoundingRectangle(Handle, &x1, &y1, &x2, &y2);
}

bool TPCBObject::QueryImportFromUser() { return PcbApi_QueryObjectImport_FromUser(Handle) == 0; }
int32_t TPCBObject::Invalidate() { return PcbApi_QueryObjectGraphicallyInvalidate(Handle); }

bool TPCBObject::GetFlag0010() const { return (Flags & 0x0010) != 0; }
bool TPCBObject::GetBitField2Bit10() const { return (BitField2 & 0x10) != 0; }
bool TPCBObject::GetBitField2Bit01() const { return (BitField2 & 0x01) != 0; }
bool TPCBObject::GetBitField2Bit02() const { return (BitField2 & 0x02) != 0; }
bool TPCBObject::GetBitField2Bit08() const { return (BitField2 & 0x08) != 0; }
bool TPCBObject::GetBitField2Bit20() const { return (BitField2 & 0x20) != 0; }
bool TPCBObject::GetBitField2Bit40() const { return (BitField2 & 0x40) != 0; }
void TPCBObject::SetFlag0010(bool on) { SetFlagBits(0x0010, on); }
bool TPCBObject::GetFlag0008() const { return (Flags & 0x0008) != 0; }
void TPCBObject::SetFlag0008(bool on) {
  SetFlagBits(0x0008, on);
  Exchange(qdWrite);
}
bool TPCBObject::GetFlag0100Clear() const { return (Flags & 0x0100) == 0; }
void TPCBObject::SetFlag0100Clear(bool on) {
  SetFlagBits(0x0100, !on);
  Exchange(qdWrite);
}
bool TPCBObject::GetBitField3Bits0006() const { return (BitField3 & 0x0006) != 0; }
void TPCBObject::SetBitField3Bits0006(bool on) { SetBitField3Bits(0x0006, on); }
bool TPCBObject::GetBitField3Bit0002() const { return (BitField3 & 0x0002) != 0; }
void TPCBObject::SetBitField3Bit0002(bool on) { SetBitField3Bits(0x0002, on); }
bool TPCBObject::GetBitField3Bit0004() const { return (BitField3 & 0x0004) != 0; }
void TPCBObject::SetBitField3Bit0004(bool on) { SetBitField3Bits(0x0004, on); }
bool TPCBObject::GetFlag0800() const { return (Flags & 0x0800) != 0; }
void TPCBObject::SetFlag0800(bool on) { SetFlagBits(0x0800, on); }
bool TPCBObject::GetFlag2000() const { return (Flags & 0x2000) != 0; }
void TPCBObject::SetFlag2000(bool on) { SetFlagBits(0x2000, on); }
bool TPCBObject::GetFlag1000() const { return (Flags & 0x1000) != 0; }
void TPCBObject::SetFlag1000(bool on) { SetFlagBits(0x1000, on); }
bool TPCBObject::GetFlag4000() const { return (Flags & 0x4000) != 0; }
void TPCBObject::SetFlag4000(bool on) { SetFlagBits(0x4000, on); }
bool TPCBObject::GetFlag8000() const { return (Flags & 0x8000) != 0; }
void TPCBObject::SetFlag8000(bool on) { SetFlagBits(0x8000, on); }

THandle TPCBObject::GetHandle() const { return Handle; }
uint8_t TPCBObject::GetObjectKind() const { return ObjectKind; }
int32_t TPCBObject::GetX() const { return X; }
int32_t TPCBObject::GetY() const { return Y; }
int32_t TPCBObject::GetX2() const { return X; }
int32_t TPCBObject::GetY2() const { return Y; }
uint16_t TPCBObject::GetFlags() const { return Flags; }
uint16_t TPCBObject::GetExtraWord() const { return ExtraWord; }
uint8_t TPCBObject::GetLayer() const { return Layer; }
uint8_t TPCBObject::GetExtraByte() const { return ExtraByte; }
THandle TPCBObject::GetNet() const { return Net; }
uint32_t TPCBObject::GetExtraLong() const { return ExtraLong; }
int32_t TPCBObject::GetAux1() const { return 0; }
int32_t TPCBObject::GetAux2() const { return 0; }
int32_t TPCBObject::GetAux3() const { return 0; }
int32_t TPCBObject::GetTopXSize() const { return 0; }
int32_t TPCBObject::GetTopYSize() const { return 0; }
int32_t TPCBObject::GetMidXSize() const { return 0; }
int32_t TPCBObject::GetMidYSize() const { return 0; }
int32_t TPCBObject::GetBottomXSize() const { return 0; }
int32_t TPCBObject::GetBottomYSize() const { return 0; }
int32_t TPCBObject::GetHoleSize() const { return 0; }
uint8_t TPCBObject::GetTopShape() const { return 0; }
uint8_t TPCBObject::GetMidShape() const { return 0; }
uint8_t TPCBObject::GetBottomShape() const { return 0; }
std::string TPCBObject::GetName() { return {}; }
double TPCBObject::GetRotation() const { return 0.0; }
int32_t TPCBObject::GetWidth() const { return 0; }
bool TPCBObject::GetOption60() const { return false; }
int32_t TPCBObject::GetSize() const { return 0; }
int32_t TPCBObject::GetXSize() const { return GetSize(); }
int32_t TPCBObject::GetYSize() const { return GetSize(); }
uint8_t TPCBObject::GetStartLayer() const { return 0; }
uint8_t TPCBObject::GetEndLayer() const { return 0; }
int32_t TPCBObject::GetRadius() const { return 0; }
double TPCBObject::GetStartAngle() const { return 0.0; }
double TPCBObject::GetEndAngle() const { return 0.0; }
int32_t TPCBObject::GetLineWidth() const { return 0; }

int32_t TPCBObject::GetBoundsX1() {
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  QueryBounds(x1, y1, x2, y2);
  return x1;
}
int32_t TPCBObject::GetBoundsY1() {
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  QueryBounds(x1, y1, x2, y2);
  return y1;
}
int32_t TPCBObject::GetBoundsX2() {
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  QueryBounds(x1, y1, x2, y2);
  return x2;
}
int32_t TPCBObject::GetBoundsY2() {
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  QueryBounds(x1, y1, x2, y2);
  return y2;
}

int32_t TPCBObject::GetFont() const { return 0; }
bool TPCBObject::GetMirrored() const { return false; }
std::string TPCBObject::GetText() { return {}; }
uint8_t TPCBObject::GetFromLayer() const { return 0; }
uint8_t TPCBObject::GetToLayer() const { return 0; }

int32_t TPCBObject::BottomLeftX(int32_t e) { return ObjectCorner(*this, e, BottomLeft).X; }
int32_t TPCBObject::BottomLeftY(int32_t e) { return ObjectCorner(*this, e, BottomLeft).Y; }
int32_t TPCBObject::BottomRightX(int32_t e) { return ObjectCorner(*this, e, BottomRight).X; }
int32_t TPCBObject::BottomRightY(int32_t e) { return ObjectCorner(*this, e, BottomRight).Y; }
int32_t TPCBObject::TopLeftX(int32_t e) { return ObjectCorner(*this, e, TopLeft).X; }
int32_t TPCBObject::TopLeftY(int32_t e) { return ObjectCorner(*this, e, TopLeft).Y; }
int32_t TPCBObject::TopRightX(int32_t e) { return ObjectCorner(*this, e, TopRight).X; }
int32_t TPCBObject::TopRightY(int32_t e) { return ObjectCorner(*this, e, TopRight).Y; }

int32_t TPCBObject::GetSizeOnLayer(uint8_t layer) { return OnLayer(layer) ? GetSize() : 0; }
int32_t TPCBObject::GetXSizeOnLayer(uint8_t layer) { return OnLayer(layer) ? GetXSize() : 0; }
int32_t TPCBObject::GetYSizeOnLayer(uint8_t layer) { return OnLayer(layer) ? GetYSize() : 0; }
uint8_t TPCBObject::GetShapeOnLayer(uint8_t layer) {
  return OnLayer(layer) && GetOption60() ? 1 : 0;
}
int32_t TPCBObject::GetWidthOnLayer(uint8_t layer) { return OnLayer(layer) ? GetWidth() : 0; }
int32_t TPCBObject::BottomLeftXOnLayer(uint8_t layer, int32_t e) {
  return OnLayer(layer) ? BottomLeftX(e) : 0;
}
int32_t TPCBObject::BottomLeftYOnLayer(uint8_t layer, int32_t e) {
  return OnLayer(layer) ? BottomLeftY(e) : 0;
}
int32_t TPCBObject::BottomRightXOnLayer(uint8_t layer, int32_t e) {
  return OnLayer(layer) ? BottomRightX(e) : 0;
}
int32_t TPCBObject::BottomRightYOnLayer(uint8_t layer, int32_t e) {
  return OnLayer(layer) ? BottomRightY(e) : 0;
}
int32_t TPCBObject::TopLeftXOnLayer(uint8_t layer, int32_t e) {
  return OnLayer(layer) ? TopLeftX(e) : 0;
}
int32_t TPCBObject::TopLeftYOnLayer(uint8_t layer, int32_t e) {
  return OnLayer(layer) ? TopLeftY(e) : 0;
}
int32_t TPCBObject::TopRightXOnLayer(uint8_t layer, int32_t e) {
  return OnLayer(layer) ? TopRightX(e) : 0;
}
int32_t TPCBObject::TopRightYOnLayer(uint8_t layer, int32_t e) {
  return OnLayer(layer) ? TopRightY(e) : 0;
}
int32_t TPCBObject::EndX1(uint8_t layer) { return OnLayer(layer) ? GetX() : 0; }
int32_t TPCBObject::EndY1(uint8_t layer) { return OnLayer(layer) ? GetY() : 0; }
int32_t TPCBObject::EndX2(uint8_t layer) { return OnLayer(layer) ? GetX2() : 0; }
int32_t TPCBObject::EndY2(uint8_t layer) { return OnLayer(layer) ? GetY2() : 0; }

void TPCBObject::SetHandle(THandle value) { Handle = value; }
void TPCBObject::SetObjectKind(uint8_t value) { ObjectKind = value; }
void TPCBObject::SetX(int32_t value) { X = value; }
void TPCBObject::SetY(int32_t value) { Y = value; }
void TPCBObject::SetX2(int32_t) {}
void TPCBObject::SetY2(int32_t) {}
void TPCBObject::SetFlags(uint16_t value) { Flags = value; }
void TPCBObject::SetExtraWord(uint16_t value) { ExtraWord = value; }
void TPCBObject::SetLayer(uint8_t value) { Layer = value; }
void TPCBObject::SetExtraByte(uint8_t value) { ExtraByte = value; }
void TPCBObject::SetNet(THandle value) { Net = value; }
void TPCBObject::SetExtraLong(uint32_t value) { ExtraLong = value; }
void TPCBObject::SetAux1(int32_t) {}
void TPCBObject::SetAux2(int32_t) {}
void TPCBObject::SetAux3(int32_t) {}
void TPCBObject::SetTopXSize(int32_t) {}
void TPCBObject::SetTopYSize(int32_t) {}
void TPCBObject::SetMidXSize(int32_t) {}
void TPCBObject::SetMidYSize(int32_t) {}
void TPCBObject::SetBottomXSize(int32_t) {}
void TPCBObject::SetBottomYSize(int32_t) {}
void TPCBObject::SetHoleSize(int32_t) {}
void TPCBObject::SetTopShape(uint8_t) {}
void TPCBObject::SetMidShape(uint8_t) {}
void TPCBObject::SetBottomShape(uint8_t) {}
void TPCBObject::SetName(std::string_view) {}
void TPCBObject::SetRotation(double) {}
void TPCBObject::SetWidth(int32_t) {}
void TPCBObject::SetOption132(bool) {}
void TPCBObject::SetSize(int32_t) {}
void TPCBObject::SetXSize(int32_t) {}
void TPCBObject::SetYSize(int32_t) {}
void TPCBObject::SetStartLayer(uint8_t) {}
void TPCBObject::SetEndLayer(uint8_t) {}
void TPCBObject::SetRadius(int32_t) {}
void TPCBObject::SetStartAngle(double) {}
void TPCBObject::SetEndAngle(double) {}
void TPCBObject::SetLineWidth(int32_t) {}
void TPCBObject::SetFont(int32_t) {}
void TPCBObject::SetMirrored(bool) {}
void TPCBObject::SetText(std::string_view) {}
void TPCBObject::SetFromLayer(uint8_t) {}
void TPCBObject::SetToLayer(uint8_t) {}

// ---- TPcbArc ------------------------------------------------------------------------

TPcbArc::TPcbArc(THandle handle) : TPCBObject(handle) { ObjectKind = okArc; }

int32_t TPcbArc::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  return PcbApi_QueryArc(direction, Handle, &Flags, &ExtraWord, &Layer, &Net, &ExtraByte, &ExtraLong,
                         &X, &Y, &Radius, &StartAngle, &EndAngle, &Width, &Aux1);
}

int32_t TPcbArc::GetAux1() const { return Aux1; }
int32_t TPcbArc::GetRadius() const { return Radius; }
double TPcbArc::GetStartAngle() const { return StartAngle; }
double TPcbArc::GetEndAngle() const { return EndAngle; }
int32_t TPcbArc::GetLineWidth() const { return Width; }
void TPcbArc::SetAux1(int32_t value) { Aux1 = value; }
void TPcbArc::SetRadius(int32_t value) { Radius = value; }
void TPcbArc::SetStartAngle(double value) { StartAngle = value; }
void TPcbArc::SetEndAngle(double value) { EndAngle = value; }
void TPcbArc::SetLineWidth(int32_t value) { Width = value; }

// ---- TPcbPad ------------------------------------------------------------------------

TPcbPad::TPcbPad(THandle handle) : TPCBObject(handle) { ObjectKind = okPad; }

int32_t TPcbPad::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  StringField name(Name, pcbabi::kPadNameChars);
  const int32_t status = PcbApi_QueryPad(
      direction, Handle, &Flags, &ExtraWord, &Layer, &Net, &ExtraByte, &ExtraLong, &X, &Y, &TopXSize,
      &TopYSize, &MidXSize, &MidYSize, &BottomXSize, &BottomYSize, &HoleSize, &TopShape, &MidShape,
      &BottomShape, name.Data(), &PadAux1, &PadAux2, &Rotation);
  name.Finish(direction, Api::PcbApi_QueryPad);
  if (status != 0) return status;
  PcbApi_QueryPadStackMode(direction, Handle, &StackMode);
  if (StackMode != psmPerLayer) return 0;
  for (uint8_t layer = kFirstCopperLayer; layer <= kLastCopperLayer; ++layer) {
    if (direction == qdRead) {
      PcbApi_QueryPadOrViaShapeOnLayer(Handle, layer, &ShapeOnLayer[layer]);
      PcbApi_QueryPadOrViaSizeOnLayer(Handle, layer, &XSizeOnLayer[layer], &YSizeOnLayer[layer]);
    } else {
      PcbApi_SetPadShapeOnLayer(Handle, layer, ShapeOnLayer[layer]);
      PcbApi_SetPadSizeOnLayer(Handle, layer, XSizeOnLayer[layer], YSizeOnLayer[layer]);
    }
  }
  return 0;
}

int32_t TPcbPad::GetTopXSize() const { return TopXSize; }
int32_t TPcbPad::GetTopYSize() const { return TopYSize; }
int32_t TPcbPad::GetMidXSize() const { return MidXSize; }
int32_t TPcbPad::GetMidYSize() const { return MidYSize; }
int32_t TPcbPad::GetBottomXSize() const { return BottomXSize; }
int32_t TPcbPad::GetBottomYSize() const { return BottomYSize; }
int32_t TPcbPad::GetHoleSize() const { return HoleSize; }
uint8_t TPcbPad::GetTopShape() const { return TopShape; }
uint8_t TPcbPad::GetMidShape() const { return MidShape; }
uint8_t TPcbPad::GetBottomShape() const { return BottomShape; }
std::string TPcbPad::GetName() { return Name; }
double TPcbPad::GetRotation() const { return Rotation; }

int32_t TPcbPad::GetXSizeOnLayer(uint8_t layer) {
  if (!ValidLayer(layer)) return 0;
  if (PcbApi_QueryPadOrViaSizeOnLayer(Handle, layer, &XSizeOnLayer[layer], &YSizeOnLayer[layer]) != 0)
    return 0;
  return XSizeOnLayer[layer];
}

int32_t TPcbPad::GetYSizeOnLayer(uint8_t layer) {
  if (!ValidLayer(layer)) return 0;
  if (PcbApi_QueryPadOrViaSizeOnLayer(Handle, layer, &XSizeOnLayer[layer], &YSizeOnLayer[layer]) != 0)
    return 0;
  return YSizeOnLayer[layer];
}

uint8_t TPcbPad::GetShapeOnLayer(uint8_t layer) {
  if (!ValidLayer(layer)) return 0;
  if (PcbApi_QueryPadOrViaShapeOnLayer(Handle, layer, &ShapeOnLayer[layer]) != 0) return 0;
  return ShapeOnLayer[layer];
}

int32_t TPcbPad::GetWidthOnLayer(uint8_t layer) {
  return std::min(GetXSizeOnLayer(layer), GetYSizeOnLayer(layer));
}

TPcbPad::Corner TPcbPad::LayerCorner(uint8_t layer, int32_t expansion, int corner) {
  const double w = static_cast<double>(int64_t{GetXSizeOnLayer(layer)} + 2 * int64_t{expansion});
  const double h = static_cast<double>(int64_t{GetYSizeOnLayer(layer)} + 2 * int64_t{expansion});
  const Point p = RectangleCorner(w, h, X, Y, Rotation, corner, false);
  return {p.X, p.Y};
}

int32_t TPcbPad::BottomLeftXOnLayer(uint8_t layer, int32_t e) { return LayerCorner(layer, e, BottomLeft).X; }
int32_t TPcbPad::BottomLeftYOnLayer(uint8_t layer, int32_t e) { return LayerCorner(layer, e, BottomLeft).Y; }
int32_t TPcbPad::BottomRightXOnLayer(uint8_t layer, int32_t e) { return LayerCorner(layer, e, BottomRight).X; }
int32_t TPcbPad::BottomRightYOnLayer(uint8_t layer, int32_t e) { return LayerCorner(layer, e, BottomRight).Y; }
int32_t TPcbPad::TopLeftXOnLayer(uint8_t layer, int32_t e) { return LayerCorner(layer, e, TopLeft).X; }
int32_t TPcbPad::TopLeftYOnLayer(uint8_t layer, int32_t e) { return LayerCorner(layer, e, TopLeft).Y; }
int32_t TPcbPad::TopRightXOnLayer(uint8_t layer, int32_t e) { return LayerCorner(layer, e, TopRight).X; }
int32_t TPcbPad::TopRightYOnLayer(uint8_t layer, int32_t e) { return LayerCorner(layer, e, TopRight).Y; }

TPcbPad::Corner TPcbPad::EndPoint(uint8_t layer, bool second) {
  const int32_t a = GetXSizeOnLayer(layer) / 2;
  const int32_t b = GetYSizeOnLayer(layer) / 2;
  if (a == b) return {X, Y};
  const double sign = second ? 1.0 : -1.0;
  if (b < a) {
    const double r = Rotation * kDegToRad;
    const double d = static_cast<double>(int64_t{a} - b);
    return {RoundHalfEven(X + sign * std::cos(r) * d), RoundHalfEven(Y + sign * std::sin(r) * d)};
  }
  const double r = (90.0 - Rotation) * kDegToRad;
  const double d = static_cast<double>(int64_t{b} - a);
  return {RoundHalfEven(X + sign * std::cos(r) * d), RoundHalfEven(Y - sign * std::sin(r) * d)};
}

int32_t TPcbPad::EndX1(uint8_t layer) { return EndPoint(layer, false).X; }
int32_t TPcbPad::EndY1(uint8_t layer) { return EndPoint(layer, false).Y; }
int32_t TPcbPad::EndX2(uint8_t layer) { return EndPoint(layer, true).X; }
int32_t TPcbPad::EndY2(uint8_t layer) { return EndPoint(layer, true).Y; }

void TPcbPad::SetTopXSize(int32_t value) { TopXSize = value; }
void TPcbPad::SetTopYSize(int32_t value) { TopYSize = value; }
void TPcbPad::SetMidXSize(int32_t value) { MidXSize = value; }
void TPcbPad::SetMidYSize(int32_t value) { MidYSize = value; }
void TPcbPad::SetBottomXSize(int32_t value) { BottomXSize = value; }
void TPcbPad::SetBottomYSize(int32_t value) { BottomYSize = value; }
void TPcbPad::SetHoleSize(int32_t value) { HoleSize = value; }
void TPcbPad::SetTopShape(uint8_t value) { TopShape = value; }
void TPcbPad::SetMidShape(uint8_t value) { MidShape = value; }
void TPcbPad::SetBottomShape(uint8_t value) { BottomShape = value; }
void TPcbPad::SetName(std::string_view value) { Name = CutString(value, pcbabi::kPadNameChars); }
void TPcbPad::SetRotation(double value) { Rotation = value; }

// ---- TPcbVia ------------------------------------------------------------------------

TPcbVia::TPcbVia(THandle handle) : TPCBObject(handle) { ObjectKind = okVia; }

int32_t TPcbVia::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  return PcbApi_QueryVia(direction, Handle, &Flags, &ExtraWord, &Layer, &Net, &ExtraByte, &ExtraLong,
                         &X, &Y, &Size, &HoleSize, &StartLayer, &EndLayer);
}

int32_t TPcbVia::GetHoleSize() const { return HoleSize; }
int32_t TPcbVia::GetSize() const { return Size; }
uint8_t TPcbVia::GetStartLayer() const { return StartLayer; }
uint8_t TPcbVia::GetEndLayer() const { return EndLayer; }

int32_t TPcbVia::GetSizeOnLayer(uint8_t layer) {
  int32_t xSize = 0, ySize = 0;
  if (PcbApi_QueryPadOrViaSizeOnLayer(Handle, layer, &xSize, &ySize) != 0) return 0;
  return xSize;
}

uint8_t TPcbVia::GetShapeOnLayer(uint8_t layer) {
  uint8_t shape = 0;
  if (PcbApi_QueryPadOrViaShapeOnLayer(Handle, layer, &shape) != 0) return 0;
  return shape;
}

void TPcbVia::SetHoleSize(int32_t value) { HoleSize = value; }
void TPcbVia::SetSize(int32_t value) { Size = value; }
void TPcbVia::SetStartLayer(uint8_t value) { StartLayer = value; }
void TPcbVia::SetEndLayer(uint8_t value) { EndLayer = value; }

// ---- TPcbTrack ----------------------------------------------------------------------

TPcbTrack::TPcbTrack(THandle handle) : TPCBObject(handle) { ObjectKind = okTrack; }

int32_t TPcbTrack::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  return PcbApi_QueryTrack(direction, Handle, &Flags, &ExtraWord, &Layer, &Net, &ExtraByte,
                           &ExtraLong, &X, &Y, &X2, &Y2, &Width, &Aux1, &Aux2, &Aux3);
}

int32_t TPcbTrack::GetX2() const { return X2; }
int32_t TPcbTrack::GetY2() const { return Y2; }
int32_t TPcbTrack::GetAux1() const { return Aux1; }
int32_t TPcbTrack::GetAux2() const { return Aux2; }
int32_t TPcbTrack::GetAux3() const { return Aux3; }
int32_t TPcbTrack::GetWidth() const { return Width; }
void TPcbTrack::SetX2(int32_t value) { X2 = value; }
void TPcbTrack::SetY2(int32_t value) { Y2 = value; }
void TPcbTrack::SetAux1(int32_t value) { Aux1 = value; }
void TPcbTrack::SetAux2(int32_t value) { Aux2 = value; }
void TPcbTrack::SetAux3(int32_t value) { Aux3 = value; }
void TPcbTrack::SetWidth(int32_t value) { Width = value; }

// ---- TPcbText -----------------------------------------------------------------------

TPcbText::TPcbText(THandle handle) : TPCBObject(handle) { ObjectKind = okText; }

int32_t TPcbText::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  StringField text(Text, pcbabi::kTextChars);
  const int32_t status = PcbApi_QueryText(direction, Handle, &Flags, &ExtraWord, &Layer, &Net,
                                          &ExtraByte, &ExtraLong, &X, &Y, &Height, &Font, &Rotation,
                                          &Mirrored, text.Data(), &StrokeWidth, &Aux2, &Aux3);
  text.Finish(direction, Api::PcbApi_QueryText);
  return status;
}

int32_t TPcbText::GetAux2() const { return Aux2; }
int32_t TPcbText::GetAux3() const { return Aux3; }
double TPcbText::GetRotation() const { return Rotation; }
int32_t TPcbText::GetWidth() const { return StrokeWidth; }
int32_t TPcbText::GetSize() const { return Height; }
int32_t TPcbText::GetLineWidth() const { return StrokeWidth; }
int32_t TPcbText::GetFont() const { return Font; }
bool TPcbText::GetMirrored() const { return Mirrored != 0; }
std::string TPcbText::GetText() { return Text; }
void TPcbText::SetAux2(int32_t value) { Aux2 = value; }
void TPcbText::SetAux3(int32_t value) { Aux3 = value; }
void TPcbText::SetRotation(double value) { Rotation = value; }
void TPcbText::SetSize(int32_t value) { Height = value; }
void TPcbText::SetLineWidth(int32_t value) { StrokeWidth = value; }
void TPcbText::SetFont(int32_t value) { Font = value; }
void TPcbText::SetMirrored(bool value) { Mirrored = value ? 1 : 0; }
void TPcbText::SetText(std::string_view value) { Text = CutString(value, pcbabi::kTextChars); }

// ---- TPcbFill -----------------------------------------------------------------------

TPcbFill::TPcbFill(THandle handle) : TPCBObject(handle) { ObjectKind = okFill; }

int32_t TPcbFill::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  return PcbApi_QueryFill(direction, Handle, &Flags, &ExtraWord, &Layer, &Net, &ExtraByte, &ExtraLong,
                          &X, &Y, &X2, &Y2, &Aux1, &Rotation);
}

int32_t TPcbFill::GetX2() const { return X2; }
int32_t TPcbFill::GetY2() const { return Y2; }
int32_t TPcbFill::GetAux1() const { return Aux1; }
double TPcbFill::GetRotation() const { return Rotation; }
void TPcbFill::SetX2(int32_t value) { X2 = value; }
void TPcbFill::SetY2(int32_t value) { Y2 = value; }
void TPcbFill::SetAux1(int32_t value) { Aux1 = value; }
void TPcbFill::SetRotation(double value) { Rotation = value; }

// ---- TPcbFromTo, TPcbManualFromTo -----------------------------------------------------

TPcbFromTo::TPcbFromTo(THandle handle) : TPCBObject(handle) {
  ObjectKind = okFromTo;
  ExtraWord = 0;
}

int32_t TPcbFromTo::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  return PcbApi_QueryFromTo(direction, Handle, &ExtraWord, &X, &Y, &FromLayer, &X2, &Y2, &ToLayer,
                            &Net);
}

int32_t TPcbFromTo::GetX2() const { return X2; }
int32_t TPcbFromTo::GetY2() const { return Y2; }
uint8_t TPcbFromTo::GetFromLayer() const { return FromLayer; }
uint8_t TPcbFromTo::GetToLayer() const { return ToLayer; }
void TPcbFromTo::SetX2(int32_t value) { X2 = value; }
void TPcbFromTo::SetY2(int32_t value) { Y2 = value; }
void TPcbFromTo::SetFromLayer(uint8_t value) { FromLayer = value; }
void TPcbFromTo::SetToLayer(uint8_t value) { ToLayer = value; }

TPcbManualFromTo::TPcbManualFromTo(THandle handle) : TPCBObject(handle) { ExtraWord = 0; }

int32_t TPcbManualFromTo::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  StringField text1(ManualText1, pcbabi::kNameChars);
  StringField text2(ManualText2, pcbabi::kNameChars);
  StringField text3(ManualText3, pcbabi::kNameChars);
  const int32_t status = PcbApi_QueryManualFromTo(direction, Handle, &ExtraWord, text1.Data(),
                                                  text2.Data(), text3.Data(), &ManualValue);
  text1.Finish(direction, Api::PcbApi_QueryManualFromTo);
  text2.Finish(direction, Api::PcbApi_QueryManualFromTo);
  text3.Finish(direction, Api::PcbApi_QueryManualFromTo);
  return status;
}

// ---- Group objects ----------------------------------------------------------------

TPcbGroupObject::TPcbGroupObject(THandle handle) : TPCBObject(handle) {}

TPcbNet::TPcbNet(THandle handle) : TPcbGroupObject(handle) { ObjectKind = okNet; }

int32_t TPcbNet::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  StringField name(Name, pcbabi::kNameChars);
  const int32_t status =
      PcbApi_QueryNet(direction, Handle, &ExtraWord, name.Data(), &NetAux1, &NetAux2);
  name.Finish(direction, Api::PcbApi_QueryNet);
  return status;
}

std::string TPcbNet::GetName() { return Name; }

TPcbComponent::TPcbComponent(THandle handle) : TPcbGroupObject(handle) { ObjectKind = okComponent; }

int32_t TPcbComponent::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  PcbApi_QueryComponentChannelOffset(direction, Handle, &ChannelOffset);
  PcbApi_QueryComponentKind(direction, Handle, &ComponentKind);
  StringField pattern(Pattern, pcbabi::kPatternChars);
  const int32_t status = PcbApi_QueryComponent(
      direction, Handle, &Flags, &ExtraWord, &Layer, &ExtraByte, &DesignatorText, &CommentText,
      pattern.Data(), &DesignatorVisible, &CommentVisible, &X, &Y, &CompAux1, &Rotation, &CompAux2);
  pattern.Finish(direction, Api::PcbApi_QueryComponent);
  PcbApi_QueryComponentEx(direction, Handle, &CompExtra1, &CompExtra2, &CompExtra3, &CompExtra4);
  StringField l1(SourceLinks[0], pcbabi::kNameChars), l2(SourceLinks[1], pcbabi::kNameChars),
      l3(SourceLinks[2], pcbabi::kNameChars), l4(SourceLinks[3], pcbabi::kNameChars),
      l5(SourceLinks[4], pcbabi::kNameChars), l6(SourceLinks[5], pcbabi::kNameChars),
      l7(SourceLinks[6], pcbabi::kNameChars);
  PcbApi_QueryComponentSourceLinks(direction, Handle, l1.Data(), l2.Data(), l3.Data(), l4.Data(),
                                   l5.Data(), l6.Data(), l7.Data());
  for (StringField* link : {&l1, &l2, &l3, &l4, &l5, &l6, &l7})
    link->Finish(direction, Api::PcbApi_QueryComponentSourceLinks);
  return status;
}

std::string TPcbComponent::GetName() { return ObjectTextOf(DesignatorText); }
double TPcbComponent::GetRotation() const { return Rotation; }

TPcbPolygon::TPcbPolygon(THandle handle) : TPcbPolygon(handle, okPolygon) {}
TPcbPolygon::TPcbPolygon(THandle handle, uint8_t kind) : TPcbGroupObject(handle) {
  ObjectKind = kind;
}

int32_t TPcbPolygon::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  return PcbApi_QueryPolygon(direction, Handle, &Flags, &ExtraWord, &Layer, &Net, &ExtraByte,
                             &RemoveIslands, &PolyAux1, &PolyOption, &GridSize, &TrackWidth,
                             &PolyAux2, &HatchStyle, &PolyAux3, &OnInternalPlane, &VertexCount,
                             Vertices.data());
}

TPcbBoardOutline::TPcbBoardOutline(THandle handle) : TPcbPolygon(handle, okBoardOutline) {}

TPcbDimension::TPcbDimension(THandle handle) : TPcbGroupObject(handle) {
  ObjectKind = okDimension;
  DimensionRecord[kDimensionKindField] = 8;
}

int32_t TPcbDimension::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  const int32_t first = CallWithFields(PcbApi_QueryDimension, DimensionRecord, direction, Handle);
  const int32_t second =
      CallWithFields(PcbApi_QueryExtDimension, ExtDimensionRecord, direction, Handle);
  int32_t count = 0;
  PcbApi_References_Count(Handle, &count);
  if (!IsWrite(direction))
    References.assign(static_cast<size_t>(std::clamp(count, 0, kMaxReferences)), {});
  for (size_t i = 0; i < References.size(); ++i)
    CallWithFields(PcbApi_References_At, References[i], direction, Handle,
                   static_cast<int32_t>(i));
  return first & second;
}

TPcbCoordinate::TPcbCoordinate(THandle handle) : TPcbGroupObject(handle) {
  ObjectKind = okCoordinate;
}

int32_t TPcbCoordinate::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  return CallWithFields(PcbApi_QueryCoordinate, CoordAux, direction, Handle, &Flags, &ExtraWord,
                        &ExtraByte, &X, &Y, &Layer);
}

// ---- Classes and rules ------------------------------------------------------------

TPCBObjectClass::TPCBObjectClass(THandle handle) : TPCBObject(handle) { ObjectKind = okClass; }

int32_t TPCBObjectClass::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  StringField name(Name, pcbabi::kNameChars);
  PcbApi_QueryClass(direction, Handle, &ExtraWord, &MemberKind, &ClassAux, name.Data());
  name.Finish(direction, Api::PcbApi_QueryClass);
  int32_t status = 0;
  if (!IsWrite(direction)) {
    for (int32_t i = 0; i < kMaxMembers; ++i) {
      ShortString member;
      status = PcbApi_GetMemberFromClassAt(Handle, i, member.Data());
      if (status != 0) break;  // 1 past the last member; any failure ends the list too
      Members.push_back(member.Text());
    }
  } else {
    status = PcbApi_RemoveAllMembersFromClass(Handle);
    for (const std::string& member : Members) status = PcbApi_AddMemberToClass(Handle, member);
  }
  return status;
}

TPcbRule::TPcbRule(THandle handle) : TPCBObject(handle) { ObjectKind = okRule; }

int32_t TPcbRule::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  return CallWithFields(PcbApi_QueryRule, RuleRecord, direction, Handle);
}

TPcbScope::TPcbScope(THandle ruleHandle, uint8_t scopeIndex)
    : RuleHandle(ruleHandle), ScopeIndex(scopeIndex) {}

int32_t TPcbScope::Exchange(uint8_t direction) {
  if (IsWrite(direction)) {
    PcbApi_SetState_DeleteAllSubScopes(RuleHandle, ScopeIndex);
    for (const TPcbSubscope& s : Subscopes)
      PcbApi_SetState_AddSubscope(RuleHandle, ScopeIndex, s.Kind, s.Name, s.LayerId, s.KindId,
                                  s.Value1, s.Value2, s.Value3, s.Value4);
  } else if (direction == qdRead) {
    Subscopes.clear();
    const int32_t count = PcbApi_GetState_SubScopesCount(RuleHandle, ScopeIndex);
    if (count <= 0) return 1;
    for (int32_t i = 0; i < std::min(count, kMaxSubscopes); ++i) {
      TPcbSubscope s;
      ShortString name;
      PcbApi_GetState_SubscopeAt(RuleHandle, ScopeIndex, i, &s.Kind, name.Data(), &s.LayerId,
                                 &s.KindId, &s.Value1, &s.Value2, &s.Value3, &s.Value4);
      s.Name = name.Text();
      Subscopes.push_back(std::move(s));
    }
  }
  return 0;
}

TPcbRuleExt::TPcbRuleExt(THandle handle)
    : TPCBObject(handle), Scope1(handle, 0), Scope2(handle, 1) {
  ObjectKind = okRule;
}

int32_t TPcbRuleExt::Exchange(uint8_t direction) {
  ExchangeBitFields(direction);
  if (PcbApi_QueryRuleExt(direction, Handle, &RuleKind, &RuleAux1, &RuleAux2) == 1) return 1;
  StringField name(Name, pcbabi::kNameChars);
  const int32_t status = PcbApi_QueryRuleExtEx(direction, Handle, name.Data());
  name.Finish(direction, Api::PcbApi_QueryRuleExtEx);
  if (status != 1) {
    Scope1.RuleHandle = Handle;
    Scope2.RuleHandle = Handle;
    Scope1.Exchange(direction);
    Scope2.Exchange(direction);
  }
  return status;
}

// Units, layer names, the wrapper factory and object access by handle.
#include "hostapi/PcbUtil.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "hostapi/HostPcbApi.h"

namespace hostapi {

TPcbTrack* ScratchTrack = nullptr;
TPcbComponent* ScratchComponent = nullptr;

namespace {

// The number of times `value` can be divided by 10 while it is greater than 9.
int DecimalPlaces(int value) {
  int places = 0;
  while (value > 9) {
    value /= 10;
    ++places;
  }
  return places;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Upper(c);
  return out;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a whole text as a decimal number: optional sign, digits with an
// optional fraction (at least one digit), optional exponent. False for
// anything else, so "inf", "nan", hex forms and trailing characters are refused.
bool ReadDecimal(std::string_view text, double& value) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != text.size()) return false;
  std::string_view number = text;
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                            std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    // Too large or too small for a double: the nearest representable end.
    bool negative = !number.empty() && number.front() == '-';
    const size_t e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && number.find('-', e) != std::string_view::npos;
    value = tiny ? 0.0 : (negative ? -std::numeric_limits<double>::max()
                                   : std::numeric_limits<double>::max());
    return true;
  }
  return error == std::errc() && end == number.data() + number.size();
}

struct LayerNames {
  std::array<std::string, kLayerCount> Display;
  std::array<std::string, kLayerCount> Identifier;
  std::array<std::string, kLayerCount> DisplayUpper;
  LayerNames() {
    auto set = [this](int id, std::string display, std::string identifier) {
      Display[id] = std::move(display);
      Identifier[id] = std::move(identifier);
    };
    set(NoLayer, "Any Layer", "NoLayer");
    set(TopLayer, "Top Layer", "TopLayer");
    for (int n = 1; n <= 30; ++n)
      set(MidLayer1 + n - 1, "Mid Layer " + std::to_string(n), "MidLayer" + std::to_string(n));
    set(BottomLayer, "Bottom Layer", "BottomLayer");
    set(TopOverlay, "Top Overlay", "TopOverlay");
    set(BottomOverlay, "Bottom Overlay", "BottomOverlay");
    set(TopPaste, "Top Paste", "TopPaste");
    set(BottomPaste, "Bottom Paste", "BottomPaste");
    set(TopSolder, "Top Solder Mask", "TopSolder");
    set(BottomSolder, "Bottom Solder Mask", "BottomSolder");
    for (int n = 1; n <= 16; ++n)
      set(InternalPlane1 + n - 1, "Internal Plane " + std::to_string(n),
          "InternalPlane" + std::to_string(n));
    set(DrillGuide, "Drill Guide", "DrillGuide");
    set(KeepOutLayer, "Keep Out Layer", "KeepOutLayer");
    for (int n = 1; n <= 16; ++n)
      set(Mechanical1 + n - 1, "Mechanical Layer " + std::to_string(n),
          "Mechanical" + std::to_string(n));
    set(DrillDrawing, "Drill Drawing", "DrillDrawing");
    set(MultiLayer, "Multi Layer", "MultiLayer");
    set(ConnectLayer, "Connect Layer", "ConnectLayer");
    set(BackGroundLayer, "BackGround", "BackGroundLayer");
    set(DRCErrorLayer, "DRC Errors", "DRCErrorLayer");
    set(HighlightLayer, "Highlight Layer", "HighlightLayer");
    set(GridColor1, "Grid Color 1", "GridColor1");
    set(GridColor10, "Grid Color 10", "GridColor10");
    set(PadHoleLayer, "Pad Hole Layer", "PadHoleLayer");
    set(ViaHoleLayer, "Via Hole Layer", "ViaHoleLayer");
    for (int id = 0; id < kLayerCount; ++id) DisplayUpper[id] = UpperCase(Display[id]);
  }
};

const LayerNames& Names() {
  static const LayerNames names;
  return names;
}

bool HasSecondPoint(uint8_t kind) { return kind == okTrack || kind == okFill || kind == okFromTo; }

}  // namespace

int MilDecimals = DecimalPlaces(1000);
int MmDecimals = DecimalPlaces(100000);

void ComputeDecimalPlaces() {
  MilDecimals = DecimalPlaces(1000);
  MmDecimals = DecimalPlaces(100000);
}

// ---- Units ---------------------------------------------------------------------------

int32_t RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  const double rounded = std::nearbyint(value);
  if (rounded <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  if (rounded >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(rounded);
}

int32_t MilsToUnits(double mils) { return RoundHalfEven(mils * kUnitsPerMil); }
int32_t MmToUnits(double mm) { return RoundHalfEven(mm * kUnitsPerMil / kMmPerMil); }

namespace {
double RoundFraction(double x, int decimals) {
  const double factor = std::pow(10.0, decimals);
  const double whole = std::trunc(x);
  return whole + std::nearbyint((x - whole) * factor) / factor;
}
}  // namespace

double UnitsToMils(int32_t units) { return RoundFraction(units / kUnitsPerMil, 3); }
double UnitsToMm(int32_t units) { return RoundFraction(units * kMmPerMil / kUnitsPerMil, 5); }

std::string UnitsToText(int32_t units, bool imperial) {
  double value = imperial ? UnitsToMils(units) : UnitsToMm(units);
  if (value == 0) value = 0.0;  // no "-0"
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                    imperial ? MilDecimals : MmDecimals);
  std::string text(buffer, result.ptr);
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  return text + (imperial ? "mil" : "mm");
}

int32_t ParseLength(std::string_view text, bool& imperial) {
  // Fast path for a bare number (no letters, no spaces), the usual case of a
  // reader's coordinates: nothing to compact, upper-case or look for a unit in.
  if (!text.empty() && text.size() <= 255 &&
      std::none_of(text.begin(), text.end(), [](char c) { return c == ' ' || IsLetter(c); })) {
    double value = 0;
    if (!ReadDecimal(text, value)) return 0;
    return imperial ? MilsToUnits(value) : MmToUnits(value);
  }
  std::string compact;
  for (char c : text.substr(0, std::min<size_t>(text.size(), 255)))
    if (c != ' ') compact += c;
  if (compact.empty() || IsLetter(compact.front())) return 0;
  const std::string upper = UpperCase(compact);
  double value = 0;
  if (const size_t mm = upper.find("MM"); mm != std::string::npos) {
    if (!ReadDecimal(std::string_view(upper).substr(0, mm), value)) return 0;
    imperial = false;
    return MmToUnits(value);
  }
  if (const size_t mil = upper.find("MIL"); mil != std::string::npos) {
    if (!ReadDecimal(std::string_view(upper).substr(0, mil), value)) return 0;
    imperial = true;
    return MilsToUnits(value);
  }
  if (!ReadDecimal(upper, value)) return 0;
  return imperial ? MilsToUnits(value) : MmToUnits(value);
}

double DegToRad(double degrees) { return degrees * 0.017453292519943295769; }

// ---- Layers ----------------------------------------------------------------------------

std::string LayerDisplayName(int layerId) {
  if (layerId < 0 || layerId > kMaxLayerId) return {};
  return Names().Display[layerId];
}

std::string LayerIdentifierName(int layerId) {
  if (layerId < 0 || layerId > kMaxLayerId) return {};
  return Names().Identifier[layerId];
}

uint8_t LayerFromName(std::string_view name) {
  const std::string upper = UpperCase(name);
  for (int id = 0; id < kLayerCount; ++id)
    if (Names().DisplayUpper[id] == upper) return static_cast<uint8_t>(id);
  return 0;
}

// ---- Objects by handle ----------------------------------------------------------------

std::unique_ptr<TPCBObject> WrapperForHandle(THandle handle) {
  if (handle == 0) return nullptr;
  std::unique_ptr<TPCBObject> wrapper;
  switch (PcbApi_GetObjectIdFromObjectHandle(handle) & 0x7F) {
    case okArc: wrapper = std::make_unique<TPcbArc>(handle); break;
    case okPad: wrapper = std::make_unique<TPcbPad>(handle); break;
    case okVia: wrapper = std::make_unique<TPcbVia>(handle); break;
    case okTrack: wrapper = std::make_unique<TPcbTrack>(handle); break;
    case okText: wrapper = std::make_unique<TPcbText>(handle); break;
    case okFill: wrapper = std::make_unique<TPcbFill>(handle); break;
    case okFromTo: wrapper = std::make_unique<TPcbFromTo>(handle); break;
    case okNet: wrapper = std::make_unique<TPcbNet>(handle); break;
    case okComponent: wrapper = std::make_unique<TPcbComponent>(handle); break;
    case okPolygon: wrapper = std::make_unique<TPcbPolygon>(handle); break;
    case okDimension: wrapper = std::make_unique<TPcbDimension>(handle); break;
    case okCoordinate: wrapper = std::make_unique<TPcbCoordinate>(handle); break;
    case okClass: wrapper = std::make_unique<TPCBObjectClass>(handle); break;
    case okRule: wrapper = std::make_unique<TPcbRule>(handle); break;
    case okManualFromTo: wrapper = std::make_unique<TPcbManualFromTo>(handle); break;
    case okBoardOutline: wrapper = std::make_unique<TPcbBoardOutline>(handle); break;
    default: return nullptr;
  }
  wrapper->Exchange(qdRead);
  return wrapper;
}

uint8_t ObjectKindOf(THandle handle) {
  return handle == 0 ? 0 : PcbApi_GetObjectIdFromObjectHandle(handle);
}

namespace {
template <class Get>
int32_t ValueOf(THandle handle, Get get) {
  if (handle == 0) return 0;
  const auto wrapper = WrapperForHandle(handle);
  return wrapper ? get(*wrapper) : 0;
}

template <class Set>
void SetValue(THandle handle, bool secondPoint, Set set) {
  if (handle == 0) return;
  const auto wrapper = WrapperForHandle(handle);
  if (!wrapper) return;
  if (secondPoint && !HasSecondPoint(wrapper->ObjectKind)) return;
  set(*wrapper);
  wrapper->Exchange(qdWrite);
}
}  // namespace

int32_t ObjectXOf(THandle handle) {
  return ValueOf(handle, [](TPCBObject& o) { return o.GetX(); });
}
int32_t ObjectYOf(THandle handle) {
  return ValueOf(handle, [](TPCBObject& o) { return o.GetY(); });
}
int32_t ObjectX2Of(THandle handle) {
  return ValueOf(handle, [](TPCBObject& o) { return o.GetX2(); });
}
int32_t ObjectY2Of(THandle handle) {
  return ValueOf(handle, [](TPCBObject& o) { return o.GetY2(); });
}

void SetObjectX(THandle handle, int32_t value) {
  SetValue(handle, false, [value](TPCBObject& o) { o.SetX(value); });
}
void SetObjectY(THandle handle, int32_t value) {
  SetValue(handle, false, [value](TPCBObject& o) { o.SetY(value); });
}
void SetObjectX2(THandle handle, int32_t value) {
  SetValue(handle, true, [value](TPCBObject& o) { o.SetX2(value); });
}
void SetObjectY2(THandle handle, int32_t value) {
  SetValue(handle, true, [value](TPCBObject& o) { o.SetY2(value); });
}

std::string ObjectTextOf(THandle handle) {
  if (handle == 0) return {};
  const auto wrapper = WrapperForHandle(handle);
  return wrapper ? wrapper->GetText() : std::string();
}

}  // namespace hostapi

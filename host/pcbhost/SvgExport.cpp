#include "host/pcbhost/SvgExport.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace pcbhost {

using tarvex::Document;
using tarvex::ITarvexHost;
using tarvex::Object;
using tarvex::THandle;

namespace {

constexpr double kUnitsPerMil = 10000.0;

// ---- Texts ------------------------------------------------------------------------

// Appends the UTF-8 text escaped for XML; control characters, which XML
// does not allow, become U+FFFD.
void AppendXml(std::string& out, std::string_view utf8) {
  for (const char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '&': out += "&amp;"; continue;
      case '<': out += "&lt;"; continue;
      case '>': out += "&gt;"; continue;
      case '"': out += "&quot;"; continue;
      default: break;
    }
    if (c < 0x20 || c == 0x7F) AppendUtf8(out, kReplacementCharacter);
    else out += ch;
  }
}

// A file name: UTF-8 as it stands when it is UTF-8 (names of the file
// system), else read in the code page like the document's texts.
std::string XmlName(const std::string& bytes, CodePage page) {
  std::string out;
  AppendXml(out, NameToUtf8(bytes, page));
  return out;
}

// ---- Numbers ----------------------------------------------------------------------

// A number with at most four decimals, no trailing zeros, never "-0", never
// in the locale's form.
void AppendNumber(std::string& out, double value) {
  if (!std::isfinite(value)) value = 0.0;
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
  char* end = r.ptr;
  if (std::find(buffer, end, '.') != end) {
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
  }
  std::string_view text(buffer, static_cast<size_t>(end - buffer));
  if (text == "-0") text = "0";
  out += text;
}

std::string Number(double value) {
  std::string s;
  AppendNumber(s, value);
  return s;
}

double Mils(double units) { return units / kUnitsPerMil; }

// Angles in [0, 360); a rotation by a multiple of 90 degrees is exact.
double NormalizeAngle(double degrees) {
  if (!std::isfinite(degrees)) return 0.0;
  double r = std::fmod(degrees, 360.0);
  if (r < 0) r += 360.0;
  if (r >= 360.0) r = 0.0;
  return r;
}

void SinCos(double degrees, double& s, double& c) {
  const double r = NormalizeAngle(degrees);
  if (r == 0.0) s = 0, c = 1;
  else if (r == 90.0) s = 1, c = 0;
  else if (r == 180.0) s = 0, c = -1;
  else if (r == 270.0) s = -1, c = 0;
  else {
    const double rad = r * 0.017453292519943295769;
    s = std::sin(rad);
    c = std::cos(rad);
  }
}

// ---- Layers -----------------------------------------------------------------------

constexpr int kHoles = -1;  // the holes, drawn as one more layer

// Colour and opacity of a layer, in the colours PCB editors use by default.
struct LayerStyle {
  const char* Colour;
  const char* Opacity;  // nullptr: opaque
};

LayerStyle StyleOf(int layer) {
  static const char* const kMid[] = {"#FF8C00", "#00C8C8", "#C000C0", "#00B000", "#B07040",
                                     "#8080FF", "#FF6080", "#60C060", "#C0A000", "#40A0FF"};
  static const char* const kPlane[] = {"#00A050", "#A05000", "#008080", "#806000",
                                       "#5000A0", "#A00050", "#50A000", "#0050A0"};
  static const char* const kMechanical[] = {"#B266FF", "#66B2FF", "#66FFB2", "#FFB266",
                                            "#FF66B2", "#B2FF66", "#9999FF", "#FF9999"};
  if (layer == kHoles) return {"#3A3A3A", nullptr};
  if (layer == tarvex::kTopLayer) return {"#FF0000", nullptr};
  if (layer == tarvex::kBottomLayer) return {"#3A5BFF", nullptr};
  if (layer >= tarvex::kMidLayer1 && layer <= tarvex::kMidLayer30)
    return {kMid[(layer - tarvex::kMidLayer1) % 10], nullptr};
  // Planes cover whole boards: the copper below them shows through.
  if (tarvex::IsPlaneLayer(layer)) return {kPlane[(layer - tarvex::kInternalPlane1) % 8], "0.35"};
  if (layer >= tarvex::kMechanical1 && layer <= tarvex::kMechanical16)
    return {kMechanical[(layer - tarvex::kMechanical1) % 8], nullptr};
  switch (layer) {
    case tarvex::kTopOverlay: return {"#FFFF00", nullptr};
    case tarvex::kBottomOverlay: return {"#F0F0D8", nullptr};
    case tarvex::kTopPaste: return {"#A0A0A0", "0.6"};
    case tarvex::kBottomPaste: return {"#A06060", "0.6"};
    case tarvex::kTopSolder: return {"#C050C0", "0.45"};
    case tarvex::kBottomSolder: return {"#FF80FF", "0.45"};
    case tarvex::kDrillGuide: return {"#C03030", nullptr};
    case tarvex::kKeepOutLayer: return {"#FF00FF", nullptr};
    case tarvex::kDrillDrawing: return {"#FF5050", nullptr};
    case tarvex::kMultiLayer: return {"#C0C0C0", nullptr};
    default: return {"#909090", nullptr};
  }
}

// The order of drawing, bottom first: the bottom side's layers, the copper
// from the bottom up, the multi-layer pads and vias with their holes, the
// top side's layers, then the drawing layers.
const std::vector<int>& DrawOrder() {
  static const std::vector<int> order = [] {
    std::vector<int> o = {tarvex::kBottomOverlay, tarvex::kBottomSolder, tarvex::kBottomPaste,
                          tarvex::kBottomLayer};
    for (int l = tarvex::kInternalPlane16; l >= tarvex::kInternalPlane1; --l) o.push_back(l);
    for (int l = tarvex::kMidLayer30; l >= tarvex::kMidLayer1; --l) o.push_back(l);
    o.insert(o.end(), {tarvex::kTopLayer, tarvex::kMultiLayer, kHoles, tarvex::kTopPaste,
                       tarvex::kTopSolder, tarvex::kTopOverlay, tarvex::kKeepOutLayer});
    for (int l = tarvex::kMechanical1; l <= tarvex::kMechanical16; ++l) o.push_back(l);
    o.insert(o.end(), {tarvex::kDrillGuide, tarvex::kDrillDrawing});
    for (int l = tarvex::kMultiLayer + 1; l <= tarvex::kLastLayer; ++l) o.push_back(l);
    o.push_back(tarvex::kNoLayer);
    return o;
  }();
  return order;
}

// The name of a layer in the picture; objects of no layer (or of a layer
// the host does not have) are drawn on "No Layer".
std::string LayerName(int layer) {
  if (layer == kHoles) return "Holes";
  if (layer == tarvex::kNoLayer) return "No Layer";
  return tarvex::LayerDisplayName(layer);
}

// ---- Pads -------------------------------------------------------------------------

struct PadShape {
  int32_t X = 0, Y = 0;
  uint8_t Shape = 0;
  bool operator==(const PadShape&) const = default;
};

// The size and shape a pad shows on a copper layer, as the host gives them.
PadShape PadShapeOn(const Object& o, int layer) {
  const auto l = static_cast<size_t>(layer);
  switch (o.StackMode) {
    case tarvex::kStackPerLayer:
      return {o.XSizeOnLayer[l], o.YSizeOnLayer[l], o.ShapeOnLayer[l]};
    case tarvex::kStackTopMidBottom:
      if (layer == tarvex::kTopLayer) break;
      if (layer == tarvex::kBottomLayer) return {o.BottomXSize, o.BottomYSize, o.BottomShape};
      return {o.MidXSize, o.MidYSize, o.MidShape};
    default:
      break;
  }
  return {o.TopXSize, o.TopYSize, o.TopShape};
}

// ---- What a panel holds ----------------------------------------------------------------

// A box in host units.
struct Extent {
  double X1 = std::numeric_limits<double>::max(), Y1 = std::numeric_limits<double>::max();
  double X2 = -std::numeric_limits<double>::max(), Y2 = -std::numeric_limits<double>::max();
  bool Empty() const { return X1 > X2 || Y1 > Y2; }
  void Add(double x1, double y1, double x2, double y2) {
    X1 = std::min(X1, x1), Y1 = std::min(Y1, y1);
    X2 = std::max(X2, x2), Y2 = std::max(Y2, y2);
  }
};

// One picture of objects: the whole board, or one library component.
struct Panel {
  std::string Caption;  // the library component's name; empty for a board
  std::array<std::vector<const Object*>, tarvex::kLayerCount> Layers;
  std::vector<const Object*> Holes;
  std::vector<const Object*> Outlines;
  Extent Objects;  // what the objects cover
  // The area shown, in mils (SVG user units): the objects' extent with a
  // margin, Y turned downwards.
  double ViewX = 0, ViewY = 0, ViewW = 0, ViewH = 0;
  // The place of the panel on the page, in pixels.
  double PageX = 0, PageY = 0, PageW = 0, PageH = 0;
};

struct Counts {
  std::map<uint8_t, int64_t> Kinds;
  std::array<int64_t, tarvex::kLayerCount> Layers{};
  int64_t Holes = 0;
};

class Collector {
 public:
  Collector(const ITarvexHost& host, const Document& document, Counts& counts,
            const std::optional<LayerSet>& drawn)
      : host_(host), counts_(counts), drawn_(drawn) {
    // The copper layers of the board's stack besides the top layer: a
    // multi-layer pad shows there what its stack gives for each.
    std::array<bool, tarvex::kLayerCount> seen{};
    int layer = document.Layers[tarvex::kTopLayer].NextLayer;
    for (int steps = 0; layer > 0 && layer <= tarvex::kLastLayer && !seen[static_cast<size_t>(layer)] &&
                        steps < tarvex::kLastLayer;
         ++steps) {
      seen[static_cast<size_t>(layer)] = true;
      if (tarvex::IsCopperLayer(layer) && layer != tarvex::kTopLayer) stack_.push_back(layer);
      layer = document.Layers[static_cast<size_t>(layer)].NextLayer;
    }
    if (!seen[tarvex::kBottomLayer]) stack_.push_back(tarvex::kBottomLayer);
  }

  // Counts an object and, when `draw`, puts it on the layers it is drawn
  // on. A component is a container: its primitives are drawn, and its
  // designator and comment when they are shown.
  void Add(Panel& panel, THandle handle, bool draw = true, int depth = 0) {
    const Object* o = host_.GetObject(handle);
    if (!o) return;
    ++counts_.Kinds[o->Kind];
    if (!draw) return;
    switch (o->Kind) {
      case tarvex::kTrack:
      case tarvex::kArc:
      case tarvex::kFill:
      case tarvex::kPolygon:
        Put(panel, o->Layer, *o);
        break;
      case tarvex::kText:
        if (!o->Text.empty() && o->Height > 0) Put(panel, o->Layer, *o);
        break;
      case tarvex::kVia:
        Put(panel, o->Layer, *o);
        if (o->HoleSize > 0) PutHole(panel, *o);
        break;
      case tarvex::kPad:
        Put(panel, o->Layer, *o);
        if (o->Layer == tarvex::kMultiLayer) {
          const PadShape top = PadShapeOn(*o, tarvex::kTopLayer);
          for (int l : stack_) {
            const PadShape s = PadShapeOn(*o, l);
            if (s != top && s.X > 0 && s.Y > 0) Put(panel, l, *o);
          }
          if (o->HoleSize > 0) PutHole(panel, *o);
        }
        break;
      case tarvex::kBoardOutline:
        panel.Outlines.push_back(o);
        Cover(panel, *o);
        break;
      case tarvex::kComponent:
        if (depth > 0) break;
        for (THandle h : o->Primitives) Add(panel, h, true, depth + 1);
        if (o->DesignatorText) Add(panel, o->DesignatorText, o->DesignatorVisible != 0, depth + 1);
        if (o->CommentText && o->CommentText != o->DesignatorText)
          Add(panel, o->CommentText, o->CommentVisible != 0, depth + 1);
        break;
      default:
        break;  // nets, classes, rules, ...: nothing to draw
    }
  }

 private:
  void Put(Panel& panel, int layer, const Object& o) {
    // A layer id the host does not have is drawn with the objects of no layer.
    const size_t l = layer >= 0 && layer < tarvex::kLayerCount ? static_cast<size_t>(layer) : 0;
    if (drawn_ && !drawn_->test(l)) return;
    panel.Layers[l].push_back(&o);
    ++counts_.Layers[l];
    Cover(panel, o);
  }

  // The host's bounding rectangle (texts by the host's stroke-font model);
  // polygons and outlines also by half their track width.
  void Cover(Panel& panel, const Object& o) {
    tarvex::Rect r;
    if (!host_.BoundingRectangle(o.Handle, r)) return;
    double grow = 0;
    if (o.Kind == tarvex::kPolygon || o.Kind == tarvex::kBoardOutline)
      grow = std::max(0, o.TrackWidth) / 2.0;
    panel.Objects.Add(r.X1 - grow, r.Y1 - grow, r.X2 + grow, r.Y2 + grow);
  }

  // Holes go through the board with the multi-layer objects that have them.
  void PutHole(Panel& panel, const Object& o) {
    if (drawn_ && !drawn_->test(tarvex::kMultiLayer)) return;
    panel.Holes.push_back(&o);
    ++counts_.Holes;
  }

  const ITarvexHost& host_;
  Counts& counts_;
  const std::optional<LayerSet>& drawn_;
  std::vector<int> stack_;
};

// ---- Writing ----------------------------------------------------------------------

// Text collected in pieces and handed to the stream in large blocks.
class Writer {
 public:
  Writer(std::ostream& out, CodePage page) : Page(page), out_(out) { buffer_.reserve(kBlock + 4096); }
  ~Writer() { Flush(); }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  Writer& operator<<(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kBlock) Flush();
    return *this;
  }
  Writer& operator<<(double value) {
    AppendNumber(buffer_, value);
    return *this;
  }
  // ` name="value"`
  Writer& Attr(std::string_view name, double value) {
    buffer_ += ' ';
    buffer_.append(name);
    buffer_ += "=\"";
    AppendNumber(buffer_, value);
    buffer_ += '"';
    return *this;
  }
  Writer& Attr(std::string_view name, std::string_view value) {
    buffer_ += ' ';
    buffer_.append(name);
    buffer_ += "=\"";
    buffer_.append(value);
    buffer_ += '"';
    return *this;
  }
  // A point of the host in SVG user units: mils, Y downwards.
  Writer& Point(double x, double y) {
    AppendNumber(buffer_, Mils(x));
    buffer_ += ' ';
    AppendNumber(buffer_, -Mils(y));
    return *this;
  }
  // The code page of the document's texts.
  const CodePage Page;

  void Flush() {
    if (buffer_.empty()) return;
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

 private:
  static constexpr size_t kBlock = 1 << 16;
  std::ostream& out_;
  std::string buffer_;
};

// A counter-clockwise rotation of the host about a point, as an SVG
// transform (SVG turns clockwise with Y downwards); nothing for 0.
void Rotation(Writer& w, double degrees, double cx, double cy) {
  const double r = NormalizeAngle(degrees);
  if (r == 0.0) return;
  w << " transform=\"rotate(" << -r << " " << Mils(cx) << " " << -Mils(cy) << ")\"";
}

void DrawTrack(Writer& w, const Object& o) {
  w << "<line class=\"track\"";
  w.Attr("x1", Mils(o.X)).Attr("y1", -Mils(o.Y)).Attr("x2", Mils(o.X2)).Attr("y2", -Mils(o.Y2));
  w.Attr("stroke-width", Mils(std::max(0, o.Width))) << "/>\n";
}

// An arc runs counter-clockwise from its start angle to its end angle; a
// sweep of 360 degrees or more is a circle, as the host's extent has it.
void DrawArc(Writer& w, const Object& o) {
  const double width = Mils(std::max(0, o.Width));
  const double r = std::max(0, o.Radius);
  const double span = o.EndAngle - o.StartAngle;
  const bool full = !std::isfinite(span) || std::fabs(span) >= 360.0;
  const double sweep = full ? 360.0 : NormalizeAngle(span);
  if (r > 0 && full) {
    w << "<circle class=\"arc\"";
    w.Attr("cx", Mils(o.X)).Attr("cy", -Mils(o.Y)).Attr("r", Mils(r));
    w.Attr("stroke-width", width) << "/>\n";
    return;
  }
  const double start = NormalizeAngle(o.StartAngle);
  double s, c;
  SinCos(start, s, c);
  const double x1 = o.X + r * c, y1 = o.Y + r * s;
  if (r == 0 || sweep == 0.0) {
    // Nothing to sweep: the round end of the arc's width at its start.
    w << "<circle class=\"arc dot\"";
    w.Attr("cx", Mils(x1)).Attr("cy", -Mils(y1)).Attr("r", width / 2) << "/>\n";
    return;
  }
  SinCos(start + sweep, s, c);
  const double x2 = o.X + r * c, y2 = o.Y + r * s;
  // Counter-clockwise with Y up is sweep flag 0 with Y down.
  w << "<path class=\"arc\" d=\"M";
  w.Point(x1, y1) << " A" << Mils(r) << " " << Mils(r) << " 0 " << (sweep > 180.0 ? "1" : "0")
                  << " 0 ";
  w.Point(x2, y2) << "\"";
  w.Attr("stroke-width", width) << "/>\n";
}

void DrawPadShape(Writer& w, const Object& o, const PadShape& p) {
  if (p.X <= 0 || p.Y <= 0) return;
  const double cx = o.X, cy = o.Y;
  const double hx = p.X / 2.0, hy = p.Y / 2.0;
  if (p.Shape == tarvex::kOctagonal) {
    // A regular octagon for a square pad, its corners cut the same along
    // both sides otherwise.
    const double cut = std::min(p.X, p.Y) / (2.0 + std::sqrt(2.0));
    const double pts[8][2] = {{-hx + cut, hy},  {hx - cut, hy},  {hx, hy - cut},
                              {hx, -hy + cut},  {hx - cut, -hy}, {-hx + cut, -hy},
                              {-hx, -hy + cut}, {-hx, hy - cut}};
    w << "<polygon class=\"pad\" points=\"";
    for (int i = 0; i < 8; ++i) {
      if (i) w << " ";
      w << Mils(cx + pts[i][0]) << "," << -Mils(cy + pts[i][1]);
    }
    w << "\"";
  } else if (p.Shape != tarvex::kRectangle && p.X == p.Y) {
    w << "<circle class=\"pad\"";
    w.Attr("cx", Mils(cx)).Attr("cy", -Mils(cy)).Attr("r", Mils(hx)) << "/>\n";
    return;  // turning a circle changes nothing
  } else {
    // A rectangle; a round pad that is not square is a rectangle with
    // round ends.
    w << "<rect class=\"pad\"";
    w.Attr("x", Mils(cx - hx)).Attr("y", -Mils(cy + hy));
    w.Attr("width", Mils(p.X)).Attr("height", Mils(p.Y));
    if (p.Shape != tarvex::kRectangle) {
      const double round = Mils(std::min(hx, hy));
      w.Attr("rx", round).Attr("ry", round);
    }
  }
  Rotation(w, o.Rotation, cx, cy);
  w << "/>\n";
}

void DrawPad(Writer& w, const Object& o, int layer) {
  // A pad shows on a copper layer what its stack gives for that layer; on
  // any other layer (the multi-layer ones) what it shows on the top layer.
  DrawPadShape(w, o, PadShapeOn(o, tarvex::IsCopperLayer(layer) ? layer : tarvex::kTopLayer));
}

void DrawVia(Writer& w, const Object& o) {
  if (o.Size <= 0) return;
  w << "<circle class=\"via\"";
  w.Attr("cx", Mils(o.X)).Attr("cy", -Mils(o.Y)).Attr("r", Mils(o.Size / 2.0)) << "/>\n";
}

void DrawHole(Writer& w, const Object& o) {
  w << "<circle class=\"hole\"";
  w.Attr("cx", Mils(o.X)).Attr("cy", -Mils(o.Y)).Attr("r", Mils(o.HoleSize / 2.0)) << "/>\n";
}

void DrawFill(Writer& w, const Object& o) {
  const double x1 = std::min(o.X, o.X2), x2 = std::max(o.X, o.X2);
  const double y1 = std::min(o.Y, o.Y2), y2 = std::max(o.Y, o.Y2);
  w << "<rect class=\"fill\"";
  w.Attr("x", Mils(x1)).Attr("y", -Mils(y2)).Attr("width", Mils(x2 - x1)).Attr("height", Mils(y2 - y1));
  Rotation(w, o.Rotation, (x1 + x2) / 2.0, (y1 + y2) / 2.0);
  w << "/>\n";
}

void PolygonPath(Writer& w, const Object& o) {
  const int n = std::clamp(o.VertexCount, 0, static_cast<int>(o.Vertices.size()));
  w << " d=\"";
  for (int i = 0; i < n; ++i) {
    const pcbabi::TVertexRecord& v = o.Vertices[static_cast<size_t>(i)];
    const int32_t x = v.X, y = v.Y;  // packed fields, copied out
    w << (i == 0 ? "M" : " L");
    w.Point(x, y);
  }
  w << " Z\"";
}

// Hatching of a polygon: HatchStyle 0 is 90-degree hatching, 1 45-degree, 2
// vertical, 3 horizontal; a grid no wider than the hatch track is solid,
// and so is a style the host does not know.
enum class Hatch { Solid, Hatch90, Hatch45, Vertical, Horizontal, None };

Hatch HatchOf(const Object& o) {
  if (o.TrackWidth <= 0) return Hatch::None;
  if (o.GridSize <= o.TrackWidth) return Hatch::Solid;
  switch (o.HatchStyle) {
    case 0: return Hatch::Hatch90;
    case 1: return Hatch::Hatch45;
    case 2: return Hatch::Vertical;
    case 3: return Hatch::Horizontal;
    default: return Hatch::Solid;
  }
}

// The pattern of a hatching, written the first time it is used.
std::string HatchPattern(Writer& w, const Object& o, Hatch hatch, const char* colour,
                         std::set<std::string>& written) {
  static const char* const kNames[] = {"solid", "90", "45", "vertical", "horizontal", "none"};
  std::string id = std::string("hatch-") + kNames[static_cast<int>(hatch)] + "-" +
                   std::to_string(o.GridSize) + "-" + std::to_string(o.TrackWidth) + "-" +
                   std::string(colour + 1);
  if (!written.insert(id).second) return id;
  const double g = Mils(o.GridSize);
  w << "<defs><pattern id=\"" << id << "\" patternUnits=\"userSpaceOnUse\"";
  w.Attr("width", g).Attr("height", g);
  if (hatch == Hatch::Hatch45) w << " patternTransform=\"rotate(45)\"";
  w << "><path d=\"";
  if (hatch != Hatch::Vertical) w << "M0 " << g / 2 << " H" << g;
  if (hatch != Hatch::Horizontal) w << (hatch == Hatch::Vertical ? "M" : " M") << g / 2 << " 0 V" << g;
  w << "\" fill=\"none\"";
  w.Attr("stroke", colour).Attr("stroke-width", Mils(o.TrackWidth)) << "/></pattern></defs>\n";
  return id;
}

void DrawPolygon(Writer& w, const Object& o, const char* colour, std::set<std::string>& patterns) {
  if (o.VertexCount < 2) return;
  const Hatch hatch = HatchOf(o);
  std::string fill;
  if (hatch != Hatch::Solid && hatch != Hatch::None)
    fill = "url(#" + HatchPattern(w, o, hatch, colour, patterns) + ")";
  w << "<path class=\"polygon\"";
  PolygonPath(w, o);
  if (hatch == Hatch::None) {
    w << " fill=\"none\" stroke-width=\"1\" vector-effect=\"non-scaling-stroke\"/>\n";
    return;
  }
  if (!fill.empty()) w.Attr("fill", fill);
  w.Attr("stroke-width", Mils(o.TrackWidth)) << "/>\n";
}

// The SVG font size of a text of the host's height: a sans-serif capital
// letter is about 0.72 of the font size.
constexpr double kFontSizePerHeight = 1.4;

// A text stands on its insertion point and runs to the right (to the left
// when mirrored), n x 2/3 of its height long as in the host's stroke-font
// model, turned by its rotation about the insertion point.
void DrawText(Writer& w, const Object& o) {
  const double h = Mils(o.Height);
  w << "<text class=\"text\" transform=\"translate(";
  w.Point(o.X, o.Y) << ")";
  const double r = NormalizeAngle(o.Rotation);
  if (r != 0.0) w << " rotate(" << -r << ")";
  if (o.Mirrored) w << " scale(-1 1)";
  w << "\"";
  w.Attr("font-size", h * kFontSizePerHeight);
  w.Attr("textLength", static_cast<double>(o.Text.size()) * h * 2.0 / 3.0);
  w << " lengthAdjust=\"spacingAndGlyphs\">" << XmlText(o.Text, w.Page) << "</text>\n";
}

void DrawObject(Writer& w, const Object& o, int layer, const char* colour,
                std::set<std::string>& patterns) {
  switch (o.Kind) {
    case tarvex::kTrack: DrawTrack(w, o); break;
    case tarvex::kArc: DrawArc(w, o); break;
    case tarvex::kPad: DrawPad(w, o, layer); break;
    case tarvex::kVia: DrawVia(w, o); break;
    case tarvex::kFill: DrawFill(w, o); break;
    case tarvex::kPolygon: DrawPolygon(w, o, colour, patterns); break;
    case tarvex::kText: DrawText(w, o); break;
    default: break;
  }
}

// ---- Layout -----------------------------------------------------------------------

constexpr double kPageMargin = 16;
constexpr double kTitleHeight = 60;
constexpr double kBoardSide = 1000;   // the larger side of a board panel
constexpr double kMinSide = 160;      // the smaller side at least
constexpr double kCellSide = 320;     // a library component's panel
constexpr double kCaptionHeight = 22;
constexpr double kLegendWidth = 260;
constexpr double kLegendLine = 20;

// The area a panel shows: its objects with a margin of 5% of the larger
// side (10 mil at least); an empty panel shows 1000 x 1000 mil about the
// origin.
void FitView(Panel& p) {
  Extent e = p.Objects;
  if (e.Empty()) e.Add(-5000000, -5000000, 5000000, 5000000);
  const double side = std::max(e.X2 - e.X1, e.Y2 - e.Y1);
  const double margin = std::max(side * 0.05, 100000.0);
  p.ViewX = Mils(e.X1 - margin);
  p.ViewY = -Mils(e.Y2 + margin);
  p.ViewW = Mils(e.X2 - e.X1 + 2 * margin);
  p.ViewH = Mils(e.Y2 - e.Y1 + 2 * margin);
}

// ---- The page ---------------------------------------------------------------------

struct KindLabel {
  uint8_t Kind;
  const char* One;
  const char* Many;
};
constexpr KindLabel kKindLabels[] = {
    {tarvex::kComponent, "component", "components"},
    {tarvex::kTrack, "track", "tracks"},
    {tarvex::kArc, "arc", "arcs"},
    {tarvex::kPad, "pad", "pads"},
    {tarvex::kVia, "via", "vias"},
    {tarvex::kFill, "fill", "fills"},
    {tarvex::kText, "text", "texts"},
    {tarvex::kPolygon, "polygon", "polygons"},
    {tarvex::kBoardOutline, "board outline", "board outlines"},
    {tarvex::kNet, "net", "nets"},
    {tarvex::kClass, "class", "classes"},
    {tarvex::kRule, "rule", "rules"},
    {tarvex::kDimension, "dimension", "dimensions"},
    {tarvex::kCoordinate, "coordinate", "coordinates"},
    {tarvex::kFromTo, "from-to", "from-tos"},
    {tarvex::kManualFromTo, "manual from-to", "manual from-tos"},
};

std::string Summary(const Document& d, const Counts& counts, const std::vector<Panel>& panels) {
  std::string s;
  if (d.IsLibrary()) {
    const size_t n = d.Library.size();
    s = "PCB library, " + std::to_string(n) + (n == 1 ? " library component" : " library components");
  } else {
    s = "PCB board";
  }
  bool any = false;
  for (const KindLabel& k : kKindLabels) {
    const auto it = counts.Kinds.find(k.Kind);
    if (it == counts.Kinds.end()) continue;
    s += " \xC2\xB7 " + std::to_string(it->second) + " " + (it->second == 1 ? k.One : k.Many);
    any = true;
  }
  if (!any) s += " \xC2\xB7 no objects";
  if (!d.IsLibrary() && !panels.empty() && !panels[0].Objects.Empty()) {
    const Extent& e = panels[0].Objects;
    s += " \xC2\xB7 " + Number(Mils(e.X2 - e.X1)) + " \xC3\x97 " + Number(Mils(e.Y2 - e.Y1)) + " mil";
  }
  return s;
}

void WritePanel(Writer& w, const Panel& p, std::set<std::string>& patterns) {
  if (!p.Caption.empty()) {
    w << "<text class=\"caption\"";
    w.Attr("x", p.PageX).Attr("y", p.PageY - 6) << ">" << XmlText(p.Caption, w.Page) << "</text>\n";
  }
  w << "<svg class=\"board\"";
  w.Attr("x", p.PageX).Attr("y", p.PageY).Attr("width", p.PageW).Attr("height", p.PageH);
  w << " viewBox=\"" << p.ViewX << " " << p.ViewY << " " << p.ViewW << " " << p.ViewH << "\"";
  w << " preserveAspectRatio=\"xMidYMid meet\">\n";
  // The board: its outlines when it has them, else the extent of its objects.
  if (!p.Outlines.empty()) {
    for (const Object* o : p.Outlines) {
      if (o->VertexCount < 2) continue;
      w << "<path class=\"board-outline\"";
      PolygonPath(w, *o);
      w << "/>\n";
    }
  } else if (!p.Objects.Empty()) {
    const Extent& e = p.Objects;
    w << "<rect class=\"board-extent\"";
    w.Attr("x", Mils(e.X1)).Attr("y", -Mils(e.Y2)).Attr("width", Mils(e.X2 - e.X1));
    w.Attr("height", Mils(e.Y2 - e.Y1)) << "/>\n";
  }
  for (int layer : DrawOrder()) {
    const std::vector<const Object*>& objects =
        layer == kHoles ? p.Holes : p.Layers[static_cast<size_t>(layer)];
    if (objects.empty()) continue;
    const LayerStyle style = StyleOf(layer);
    if (layer == kHoles) {
      w << "<g class=\"holes\"";
      w.Attr("fill", style.Colour) << ">\n";
      for (const Object* o : objects) DrawHole(w, *o);
    } else {
      w << "<g class=\"layer\"";
      w.Attr("data-layer", layer).Attr("data-name", XmlText(LayerName(layer)));
      w.Attr("fill", style.Colour).Attr("stroke", style.Colour);
      if (style.Opacity) w.Attr("opacity", style.Opacity);
      w << ">\n";
      for (const Object* o : objects) DrawObject(w, *o, layer, style.Colour, patterns);
    }
    w << "</g>\n";
  }
  w << "</svg>\n";
}

void WriteLegend(Writer& w, const Counts& counts, double x, double y) {
  w << "<g class=\"legend\">\n<text class=\"legend-title\"";
  w.Attr("x", x).Attr("y", y + 14) << ">Layers</text>\n";
  double line = y + kLegendLine + 8;
  const std::vector<int>& order = DrawOrder();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    const int layer = *it;
    const int64_t n = layer == kHoles ? counts.Holes : counts.Layers[static_cast<size_t>(layer)];
    if (n == 0) continue;
    w << "<rect class=\"swatch\"";
    if (layer != kHoles) w.Attr("data-layer", layer);
    w.Attr("x", x).Attr("y", line).Attr("width", 14).Attr("height", 14);
    w.Attr("fill", StyleOf(layer).Colour) << "/>\n<text class=\"legend-label\"";
    w.Attr("x", x + 22).Attr("y", line + 12) << ">" << XmlText(LayerName(layer)) << " ("
                                             << std::to_string(n) << ")</text>\n";
    line += kLegendLine;
  }
  w << "</g>\n";
}

const char kStyle[] =
    "<style>\n"
    "text{font-family:sans-serif}\n"
    ".title{font-size:18px;font-weight:bold;fill:#E8E8E8}\n"
    ".summary,.caption,.legend-label{font-size:12px;fill:#B8B8B8}\n"
    ".legend-title{font-size:13px;font-weight:bold;fill:#E8E8E8}\n"
    ".board-outline,.board-extent{fill:#000000;stroke:#707070;stroke-width:1px;"
    "vector-effect:non-scaling-stroke}\n"
    ".layer{stroke-linecap:round;stroke-linejoin:round}\n"
    ".track,.arc{fill:none}\n"
    ".pad,.via,.fill,.text,.hole,.dot{stroke:none}\n"
    ".text{font-family:monospace;white-space:pre}\n"
    "</style>\n";

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string XmlText(const std::string& bytes, CodePage page) {
  std::string out;
  out.reserve(bytes.size());
  AppendXml(out, CodePageToUtf8(bytes, page));
  return out;
}

bool WriteDocumentSvg(const ITarvexHost& host, THandle board, std::ostream& out) {
  return WriteDocumentSvg(host, board, out, SvgOptions{});
}

bool LayerOfName(std::string_view name, int& layer) {
  auto lower = [](std::string_view t) {
    std::string l(t);
    for (char& c : l)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return l;
  };
  const std::string wanted = lower(name);
  for (int id = 0; id <= tarvex::kLastLayer; ++id)
    if (lower(LayerName(id)) == wanted) {
      layer = id;
      return true;
    }
  int id = 0;
  const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), id);
  if (ec != std::errc() || end != name.data() + name.size() || id < 0 || id > tarvex::kLastLayer)
    return false;
  layer = id;
  return true;
}

bool WriteDocumentSvg(const ITarvexHost& host, THandle board, std::ostream& out,
                      const SvgOptions& options) {
  const Document* d = host.GetDocument(board);
  if (!d) return false;

  // First the objects are sorted onto their panels and layers (handles
  // only), so the page's size and the viewBox are known before anything is
  // written.
  Counts counts;
  Collector collector(host, *d, counts, options.Layers);
  std::vector<Panel> panels;
  if (d->IsLibrary()) {
    panels.resize(std::max<size_t>(d->Library.size(), 1));
    for (size_t i = 0; i < d->Library.size(); ++i) {
      panels[i].Caption = d->Library[i].Name.empty() ? "(unnamed)" : d->Library[i].Name;
      for (THandle h : d->Library[i].Objects) collector.Add(panels[i], h);
    }
  } else {
    panels.resize(1);
    for (THandle h : d->Objects) collector.Add(panels[0], h);
  }

  // Layout: a board is one panel whose larger side is kBoardSide pixels; a
  // library's components stand in a grid of square cells.
  double panelsW = 0, panelsH = 0;
  const double top = kPageMargin + kTitleHeight;
  if (!d->IsLibrary()) {
    Panel& p = panels[0];
    FitView(p);
    const double aspect = p.ViewW / p.ViewH;
    p.PageW = aspect >= 1 ? kBoardSide : std::max(kBoardSide * aspect, kMinSide);
    p.PageH = aspect >= 1 ? std::max(kBoardSide / aspect, kMinSide) : kBoardSide;
    p.PageX = kPageMargin;
    p.PageY = top;
    panelsW = p.PageW;
    panelsH = p.PageH;
  } else {
    const size_t columns = std::min<size_t>(panels.size(), 4);
    for (size_t i = 0; i < panels.size(); ++i) {
      Panel& p = panels[i];
      FitView(p);
      p.PageX = kPageMargin + static_cast<double>(i % columns) * (kCellSide + kPageMargin);
      p.PageY = top + kCaptionHeight +
                static_cast<double>(i / columns) * (kCellSide + kCaptionHeight + kPageMargin);
      p.PageW = p.PageH = kCellSide;
    }
    const size_t rows = (panels.size() + columns - 1) / columns;
    panelsW = static_cast<double>(columns) * (kCellSide + kPageMargin) - kPageMargin;
    panelsH = static_cast<double>(rows) * (kCellSide + kCaptionHeight + kPageMargin) - kPageMargin;
  }
  int legendLines = 0;
  for (int64_t n : counts.Layers) legendLines += n > 0;
  legendLines += counts.Holes > 0;
  const double legendX = kPageMargin + panelsW + 2 * kPageMargin;
  const double width = legendX + kLegendWidth + kPageMargin;
  const double height =
      top + std::max(panelsH, (legendLines + 2) * kLegendLine) + kPageMargin;

  Writer w(out, options.Page);
  const std::string name = XmlName(FileNameOf(d->Path), options.Page);
  w << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  w << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"";
  w.Attr("width", width).Attr("height", height);
  w << " viewBox=\"0 0 " << width << " " << height << "\">\n";
  w << "<title>" << name << "</title>\n" << kStyle;
  w << "<rect class=\"page\" x=\"0\" y=\"0\"";
  w.Attr("width", width).Attr("height", height) << " fill=\"#1E1E1E\"/>\n";
  w << "<text class=\"title\"";
  w.Attr("x", kPageMargin).Attr("y", kPageMargin + 18) << ">" << name << "</text>\n";
  w << "<text class=\"summary\"";
  w.Attr("x", kPageMargin).Attr("y", kPageMargin + 40) << ">"
                                                     << XmlName(Summary(*d, counts, panels), options.Page)
                                                     << "</text>\n";
  std::set<std::string> patterns;
  for (const Panel& p : panels) WritePanel(w, p, patterns);
  WriteLegend(w, counts, legendX, top);
  w << "</svg>\n";
  w.Flush();
  return true;
}

}  // namespace pcbhost

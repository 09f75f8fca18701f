#include "host/pcbhost/JsonExport.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace pcbhost {

using tarvex::Document;
using tarvex::ITarvexHost;
using tarvex::Object;
using tarvex::THandle;

std::string UnitsAsMils(int32_t units) {
  const int64_t v = units;
  const uint64_t a = static_cast<uint64_t>(v < 0 ? -v : v);
  std::string text = (v < 0 ? "-" : "") + std::to_string(a / 10000);
  uint64_t frac = a % 10000;
  if (frac != 0) {
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04u", static_cast<unsigned>(frac));
    std::string f = digits;
    while (!f.empty() && f.back() == '0') f.pop_back();
    text += "." + f;
  }
  return text;
}

namespace {

// A small JSON writer: objects and arrays with two-space indentation.
class Json {
 public:
  explicit Json(CodePage page) : page_(page) {}
  std::string Text() const { return out_ + "\n"; }

  void BeginObject(const char* key = nullptr) { Open(key, '{'); }
  void EndObject() { Close('}'); }
  void BeginArray(const char* key = nullptr) { Open(key, '['); }
  void EndArray() { Close(']'); }

  void Int(const char* key, int64_t value) { Value(key, std::to_string(value)); }
  void Bool(const char* key, bool value) { Value(key, value ? "true" : "false"); }
  void Null(const char* key) { Value(key, "null"); }
  void Real(const char* key, double value) {
    if (!std::isfinite(value)) return Null(key);
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    Value(key, std::string(buffer, r.ptr));
  }
  void String(const char* key, const std::string& value) { Value(key, Quote(value)); }
  // A name of the file system: kept when it is UTF-8, else read in the code
  // page like the document's texts.
  void FileName(const char* key, const std::string& value) {
    Value(key, QuoteUtf8(NameToUtf8(value, page_)));
  }
  // A length: host units under the key, mils under key + "Mil".
  void Length(const char* key, int32_t units) {
    Int(key, units);
    Value((std::string(key) + "Mil").c_str(), UnitsAsMils(units));
  }
  void Layer(const char* key, int layer) {
    BeginObject(key);
    Int("id", layer);
    String("name", tarvex::LayerDisplayName(layer));
    EndObject();
  }
  template <class T, size_t N>
  void IntArray(const char* key, const std::array<T, N>& values, size_t from = 0) {
    BeginArray(key);
    for (size_t i = from; i < N; ++i) Int(nullptr, values[i]);
    EndArray();
  }

 private:
  // An 8-bit text of the document as a JSON string in UTF-8, converted
  // from the code page; control characters are escaped.
  std::string Quote(const std::string& s) const { return QuoteUtf8(CodePageToUtf8(s, page_)); }
  static std::string QuoteUtf8(const std::string& utf8) {
    std::string q = "\"";
    for (const char ch : utf8) {
      const auto c = static_cast<unsigned char>(ch);
      if (c == '"') q += "\\\"";
      else if (c == '\\') q += "\\\\";
      else if (c < 0x20 || c == 0x7F) {
        char esc[8];
        std::snprintf(esc, sizeof esc, "\\u%04x", c);
        q += esc;
      } else {
        q += ch;
      }
    }
    return q + "\"";
  }
  void Prefix(const char* key) {
    if (!first_.empty()) {
      if (!first_.back()) out_ += ",";
      first_.back() = false;
      out_ += "\n" + std::string(first_.size() * 2, ' ');
    }
    if (key) out_ += Quote(key) + ": ";
  }
  void Value(const char* key, const std::string& text) {
    Prefix(key);
    out_ += text;
  }
  void Open(const char* key, char bracket) {
    Prefix(key);
    out_ += bracket;
    first_.push_back(true);
  }
  void Close(char bracket) {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) out_ += "\n" + std::string(first_.size() * 2, ' ');
    out_ += bracket;
  }

  std::string out_;
  std::vector<bool> first_;
  CodePage page_;
};

void WriteObject(Json& j, const ITarvexHost& host, THandle handle);

void WriteHandle(Json& j, const char* key, THandle handle) {
  if (handle) j.Int(key, handle);
  else j.Null(key);
}

void WriteNet(Json& j, const ITarvexHost& host, THandle net) {
  if (!net) return j.Null("net");
  j.BeginObject("net");
  j.Int("handle", net);
  const Object* n = host.GetObject(net);
  if (n && n->Kind == tarvex::kNet) j.String("name", n->Name);
  else j.Null("name");
  j.EndObject();
}

void WriteBounds(Json& j, const ITarvexHost& host, THandle handle) {
  tarvex::Rect r;
  if (!host.BoundingRectangle(handle, r)) return;
  j.BeginObject("bounds");
  j.Length("x1", r.X1);
  j.Length("y1", r.Y1);
  j.Length("x2", r.X2);
  j.Length("y2", r.Y2);
  j.EndObject();
}

void WriteCommon(Json& j, const Object& o) {
  j.Int("flags", o.Flags);
  j.Int("bitField2", o.BitField2);
  j.Int("bitField3", o.BitField3);
  j.Int("extraWord", o.ExtraWord);
  j.Int("extraByte", o.ExtraByte);
  j.Int("extraLong", o.ExtraLong);
}

void WritePadLayers(Json& j, const Object& o) {
  const auto triple = [&](const char* key, int32_t x, int32_t y, uint8_t shape) {
    j.BeginObject(key);
    j.Length("xSize", x);
    j.Length("ySize", y);
    j.Int("shape", shape);
    j.EndObject();
  };
  triple("top", o.TopXSize, o.TopYSize, o.TopShape);
  triple("mid", o.MidXSize, o.MidYSize, o.MidShape);
  triple("bottom", o.BottomXSize, o.BottomYSize, o.BottomShape);
  j.Int("stackMode", o.StackMode);
  if (o.StackMode == tarvex::kStackPerLayer) {
    j.BeginArray("perLayer");
    for (size_t l = tarvex::kTopLayer; l <= tarvex::kBottomLayer; ++l) {
      j.BeginObject();
      j.Int("layer", static_cast<int64_t>(l));
      j.Length("xSize", o.XSizeOnLayer[l]);
      j.Length("ySize", o.YSizeOnLayer[l]);
      j.Int("shape", o.ShapeOnLayer[l]);
      j.EndObject();
    }
    j.EndArray();
  }
}

void WriteRule(Json& j, const Object& o) {
  j.String("name", o.Name);
  j.Int("ruleKind", o.RuleKind);
  j.Int("ruleAux1", o.RuleAux1);
  j.Int("ruleAux2", o.RuleAux2);
  j.BeginArray("scopes");
  for (const auto& scope : o.Scopes) {
    j.BeginArray();
    for (const tarvex::Subscope& s : scope) {
      j.BeginObject();
      j.Int("kind", s.Kind);
      j.String("name", s.Name);
      j.Layer("layer", s.LayerId);
      j.Int("objectKinds", s.KindId);
      j.IntArray("values", s.Values);
      j.EndObject();
    }
    j.EndArray();
  }
  j.EndArray();
  j.Length("clearanceGap", o.ClearanceGap);
  j.Length("maxWidth", o.Widths[0]);
  j.Length("minWidth", o.Widths[1]);
  j.Length("preferredWidth", o.Widths[2]);
  j.Length("maxLength", o.MaxLength);
  j.Length("minLength", o.MinLength);
  j.BeginArray("viaStyle");
  for (int32_t v : o.ViaStyle) {
    j.BeginObject();
    j.Length("value", v);
    j.EndObject();
  }
  j.EndArray();
  j.BeginObject("confinement");
  j.Int("kind", o.ConfinementKind);
  j.Length("minX", o.ConfinementRect[0]);
  j.Length("minY", o.ConfinementRect[1]);
  j.Length("maxX", o.ConfinementRect[2]);
  j.Length("maxY", o.ConfinementRect[3]);
  j.Layer("layer", o.ConfinementLayer);
  j.EndObject();
  j.IntArray("record", o.RuleRecord);
}

void WriteObject(Json& j, const ITarvexHost& host, THandle handle) {
  const Object* p = host.GetObject(handle);
  j.BeginObject();
  j.Int("handle", handle);
  if (!p) {
    j.String("kind", "missing");
    j.EndObject();
    return;
  }
  const Object& o = *p;
  j.String("kind", tarvex::KindName(o.Kind));
  j.Int("kindId", o.Kind);
  WriteHandle(j, "owner", o.Owner);
  switch (o.Kind) {
    case tarvex::kTrack:
      j.Layer("layer", o.Layer);
      WriteNet(j, host, o.Net);
      j.Length("x", o.X);
      j.Length("y", o.Y);
      j.Length("x2", o.X2);
      j.Length("y2", o.Y2);
      j.Length("width", o.Width);
      j.Int("aux1", o.Aux1);
      j.Int("aux2", o.Aux2);
      j.Int("aux3", o.Aux3);
      break;
    case tarvex::kArc:
      j.Layer("layer", o.Layer);
      WriteNet(j, host, o.Net);
      j.Length("x", o.X);
      j.Length("y", o.Y);
      j.Length("radius", o.Radius);
      j.Real("startAngle", o.StartAngle);
      j.Real("endAngle", o.EndAngle);
      j.Length("width", o.Width);
      j.Int("aux1", o.Aux1);
      break;
    case tarvex::kFill:
      j.Layer("layer", o.Layer);
      WriteNet(j, host, o.Net);
      j.Length("x", o.X);
      j.Length("y", o.Y);
      j.Length("x2", o.X2);
      j.Length("y2", o.Y2);
      j.Real("rotation", o.Rotation);
      j.Int("aux1", o.Aux1);
      break;
    case tarvex::kVia:
      j.Layer("layer", o.Layer);
      WriteNet(j, host, o.Net);
      j.Length("x", o.X);
      j.Length("y", o.Y);
      j.Length("size", o.Size);
      j.Length("holeSize", o.HoleSize);
      j.Layer("startLayer", o.StartLayer);
      j.Layer("endLayer", o.EndLayer);
      break;
    case tarvex::kText:
      j.Layer("layer", o.Layer);
      WriteNet(j, host, o.Net);
      j.String("text", o.Text);
      j.Length("x", o.X);
      j.Length("y", o.Y);
      j.Length("height", o.Height);
      j.Length("strokeWidth", o.StrokeWidth);
      j.Int("font", o.Font);
      j.Real("rotation", o.Rotation);
      j.Bool("mirrored", o.Mirrored != 0);
      j.Int("aux2", o.Aux2);
      j.Int("aux3", o.Aux3);
      WriteBounds(j, host, handle);
      break;
    case tarvex::kPad:
      j.Layer("layer", o.Layer);
      WriteNet(j, host, o.Net);
      j.String("name", o.Name);
      j.Length("x", o.X);
      j.Length("y", o.Y);
      j.Real("rotation", o.Rotation);
      j.Length("holeSize", o.HoleSize);
      WritePadLayers(j, o);
      j.Int("padAux1", o.PadAux1);
      j.Int("padAux2", o.PadAux2);
      break;
    case tarvex::kPolygon:
    case tarvex::kBoardOutline: {
      j.Layer("layer", o.Layer);
      WriteNet(j, host, o.Net);
      j.Int("hatchStyle", o.HatchStyle);
      j.Length("gridSize", o.GridSize);
      j.Length("trackWidth", o.TrackWidth);
      j.Int("removeIslands", o.RemoveIslands);
      j.Int("polyOption", o.PolyOption);
      j.Int("onInternalPlane", o.OnInternalPlane);
      j.Int("polyAux1", o.PolyAux1);
      j.Int("polyAux2", o.PolyAux2);
      j.Int("polyAux3", o.PolyAux3);
      j.Int("vertexCount", o.VertexCount);
      j.BeginArray("vertices");
      const int n = std::min<int>(o.VertexCount, static_cast<int>(o.Vertices.size()));
      for (int i = 0; i < n; ++i) {
        const pcbabi::TVertexRecord& v = o.Vertices[static_cast<size_t>(i)];
        j.BeginObject();
        j.Int("kind", v.Kind);
        j.Length("x", v.X);
        j.Length("y", v.Y);
        j.EndObject();
      }
      j.EndArray();
      break;
    }
    case tarvex::kComponent: {
      j.Layer("layer", o.Layer);
      j.String("pattern", o.Pattern);
      j.Length("x", o.X);
      j.Length("y", o.Y);
      j.Real("rotation", o.Rotation);
      j.Bool("designatorVisible", o.DesignatorVisible != 0);
      j.Bool("commentVisible", o.CommentVisible != 0);
      j.Int("channelOffset", o.ChannelOffset);
      j.Int("componentKind", o.ComponentKind);
      j.Int("compAux1", o.CompAux1);
      j.Int("compAux2", o.CompAux2);
      j.Int("compExtra1", o.CompExtra1);
      j.Int("compExtra2", o.CompExtra2);
      j.Int("compExtra3", o.CompExtra3);
      j.Int("compExtra4", o.CompExtra4);
      j.BeginArray("sourceLinks");
      for (const std::string& s : o.SourceLinks) j.String(nullptr, s);
      j.EndArray();
      j.BeginArray("designator");
      if (o.DesignatorText) WriteObject(j, host, o.DesignatorText);
      j.EndArray();
      j.BeginArray("comment");
      if (o.CommentText) WriteObject(j, host, o.CommentText);
      j.EndArray();
      WriteBounds(j, host, handle);
      j.BeginArray("primitives");
      for (THandle h : o.Primitives) WriteObject(j, host, h);
      j.EndArray();
      break;
    }
    case tarvex::kNet: {
      j.String("name", o.Name);
      j.Int("netAux1", o.NetAux1);
      j.Int("netAux2", o.NetAux2);
      j.BeginArray("members");
      for (THandle h : host.ContainerObjects(handle)) j.Int(nullptr, h);
      j.EndArray();
      break;
    }
    case tarvex::kClass:
      j.String("name", o.Name);
      j.Int("memberKind", o.MemberKind);
      j.Int("classAux", o.ClassAux);
      j.BeginArray("members");
      for (const std::string& m : o.Members) j.String(nullptr, m);
      j.EndArray();
      break;
    case tarvex::kRule:
      WriteRule(j, o);
      break;
    case tarvex::kFromTo:
      WriteNet(j, host, o.Net);
      j.Length("x", o.X);
      j.Length("y", o.Y);
      j.Layer("fromLayer", o.FromLayer);
      j.Length("x2", o.X2);
      j.Length("y2", o.Y2);
      j.Layer("toLayer", o.ToLayer);
      break;
    case tarvex::kManualFromTo:
      j.BeginArray("texts");
      for (const std::string& s : o.ManualTexts) j.String(nullptr, s);
      j.EndArray();
      j.Int("value", o.ManualValue);
      break;
    case tarvex::kCoordinate:
      j.Layer("layer", o.Layer);
      j.Length("x", o.X);
      j.Length("y", o.Y);
      j.IntArray("values", o.CoordinateValues);
      break;
    case tarvex::kDimension:
      j.IntArray("record", o.DimensionRecord);
      j.IntArray("extRecord", o.ExtDimensionRecord);
      j.BeginArray("references");
      for (const auto& r : o.References) j.IntArray(nullptr, r);
      j.EndArray();
      break;
    default:
      break;
  }
  WriteCommon(j, o);
  j.EndObject();
}

void WriteBoard(Json& j, const Document& d) {
  j.BeginObject("board");
  j.FileName("fileName", d.Path);
  j.Int("boardAux", d.BoardAux);
  j.IntArray("record", d.BoardRecord);
  // The copper stack from its top, following the neighbours.
  j.BeginArray("stack");
  int start = 0;
  for (int id = 1; id <= tarvex::kLastLayer && !start; ++id)
    if (d.Layers[static_cast<size_t>(id)].PrevLayer == 0 &&
        d.Layers[static_cast<size_t>(id)].NextLayer != 0)
      start = id;
  for (int id = start, steps = 0; id >= 1 && id <= tarvex::kLastLayer && steps < tarvex::kLastLayer;
       id = d.Layers[static_cast<size_t>(id)].NextLayer, ++steps)
    j.Layer(nullptr, id);
  j.EndArray();
  j.BeginArray("layers");
  for (size_t id = 1; id <= tarvex::kLastLayer; ++id) {
    const tarvex::LayerState& l = d.Layers[id];
    j.BeginObject();
    j.Int("id", static_cast<int64_t>(id));
    j.String("identifier", tarvex::LayerIdentifier(static_cast<int>(id)));
    j.String("name", l.Name);
    j.Length("copperThickness", l.CopperThickness);
    j.Int("prevLayer", l.PrevLayer);
    j.Int("nextLayer", l.NextLayer);
    j.Int("layerAux1", l.LayerAux1);
    j.Int("layerAux2", l.LayerAux2);
    j.Int("layerAux3", l.LayerAux3);
    j.Int("info", l.Info);
    j.BeginObject("dielectric");
    j.String("material", l.DielectricMaterial);
    j.Int("type", l.DielectricType);
    j.Real("constant", l.DielectricConstant);
    j.Length("height", l.DielectricHeight);
    j.EndObject();
    j.EndObject();
  }
  j.EndArray();
  j.BeginArray("internalPlaneNets");
  for (size_t id = tarvex::kInternalPlane1; id <= tarvex::kInternalPlane16; ++id) {
    j.BeginObject();
    j.Int("layer", static_cast<int64_t>(id));
    j.String("name", d.Layers[id].Name);
    j.String("net", d.Layers[id].NetName);
    j.EndObject();
  }
  j.EndArray();
  j.BeginArray("layerPairs");
  for (const tarvex::LayerPair& p : d.LayerPairs) {
    j.BeginObject();
    j.Layer("layer1", p.Layer1);
    j.Layer("layer2", p.Layer2);
    j.Int("pairAux1", p.PairAux1);
    j.Int("pairAux2", p.PairAux2);
    j.EndObject();
  }
  j.EndArray();
  j.BeginObject("options");
  j.IntArray("grids", d.Grids);
  j.IntArray("output", d.OutputOptions);
  j.IntArray("plotLayers", d.PlotLayers, 1);
  j.IntArray("flipLayers", d.FlipLayers, 1);
  j.IntArray("gerber", d.GerberOptions);
  j.IntArray("printer", d.PrinterOptions);
  j.BeginArray("plotterPens");
  for (size_t pen = 1; pen < d.PlotterPens.size(); ++pen) j.IntArray(nullptr, d.PlotterPens[pen]);
  j.EndArray();
  j.IntArray("compositeLayers", d.CompositeLayers, 1);
  j.IntArray("placer", d.PlacerOptions);
  j.IntArray("changeOrder", d.ChangeOrderOptions);
  j.EndObject();
  j.BeginObject("externalDielectrics");
  const auto dielectric = [&](const char* key, const tarvex::Dielectric& e) {
    j.BeginObject(key);
    j.String("material", e.Material);
    j.Int("type", e.Type);
    j.Real("constant", e.Constant);
    j.Length("height", e.Height);
    j.EndObject();
  };
  dielectric("top", d.TopDielectric);
  dielectric("bottom", d.BottomDielectric);
  j.EndObject();
  j.EndObject();
}

void CountInto(const ITarvexHost& host, THandle handle, std::map<std::string, int>& counts) {
  const Object* o = host.GetObject(handle);
  if (!o) return;
  ++counts[tarvex::KindName(o->Kind)];
  if (o->Kind != tarvex::kComponent) return;
  for (THandle h : o->Primitives) CountInto(host, h, counts);
  if (o->DesignatorText) CountInto(host, o->DesignatorText, counts);
  if (o->CommentText && o->CommentText != o->DesignatorText)
    CountInto(host, o->CommentText, counts);
}

}  // namespace

std::map<std::string, int> CountObjects(const ITarvexHost& host, THandle board) {
  std::map<std::string, int> counts;
  const Document* d = host.GetDocument(board);
  if (!d) return counts;
  if (d->IsLibrary()) {
    for (const tarvex::LibraryComponent& c : d->Library)
      for (THandle h : c.Objects) CountInto(host, h, counts);
  } else {
    for (THandle h : d->Objects) CountInto(host, h, counts);
  }
  return counts;
}

std::string DocumentJson(const ITarvexHost& host, THandle board, CodePage page) {
  Json j(page);
  j.BeginObject();
  const Document* d = host.GetDocument(board);
  if (!d) {
    j.Null("document");
    j.EndObject();
    return j.Text();
  }
  j.BeginObject("document");
  j.String("kind", d->Kind);
  j.FileName("path", d->Path);
  j.Int("board", d->Board);
  j.Bool("current", host.CurrentBoard() == board);
  j.EndObject();
  WriteBoard(j, *d);
  if (d->IsLibrary()) {
    j.BeginArray("library");
    for (size_t i = 0; i < d->Library.size(); ++i) {
      j.BeginObject();
      j.String("name", d->Library[i].Name);
      j.Bool("current", static_cast<int>(i) == d->CurrentComponent);
      j.BeginArray("objects");
      for (THandle h : d->Library[i].Objects) WriteObject(j, host, h);
      j.EndArray();
      j.EndObject();
    }
    j.EndArray();
  } else {
    j.BeginArray("objects");
    for (THandle h : d->Objects) WriteObject(j, host, h);
    j.EndArray();
  }
  j.BeginObject("counts");
  for (const auto& [kind, count] : CountObjects(host, board)) j.Int(kind.c_str(), count);
  j.EndObject();
  j.BeginObject("log");
  j.BeginArray("progress");
  for (const tarvex::ProgressRun& p : host.Progress()) {
    j.BeginObject();
    j.String("title", p.Title);
    j.Int("total", p.Total);
    j.Int("updates", p.Updates);
    j.Bool("finished", p.Finished);
    j.EndObject();
  }
  j.EndArray();
  j.BeginArray("events");
  for (const tarvex::EventMessage& e : host.Events()) {
    j.BeginObject();
    j.Int("sender", e.Sender);
    j.Int("receiver", e.Receiver);
    j.Int("code", e.Code);
    j.Int("data", e.Data);
    j.EndObject();
  }
  j.EndArray();
  j.BeginArray("commands");
  for (const tarvex::CommandRecord& c : host.Commands()) {
    j.BeginObject();
    j.String("route", c.Route);
    j.String("process", c.Process);
    j.String("request", c.Request);
    j.String("answer", c.Answer);
    j.Int("status", c.Status);
    j.EndObject();
  }
  j.EndArray();
  j.EndObject();
  j.EndObject();
  return j.Text();
}

}  // namespace pcbhost

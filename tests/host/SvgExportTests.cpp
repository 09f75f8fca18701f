// The picture of a document (pcbhost --svg): drawn from tiny documents built
// in the stand-in host module, and end to end through pcbhost with the test
// plug-in. The SVG is read back with a small XML reader that refuses what is
// not well-formed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/pcbhost/SvgExport.h"
#include "tests/host/HostTestSupport.h"
#include "tests/support/PcbhostRunner.h"

namespace {

namespace fs = std::filesystem;
using tarvex::Object;
using tarvex::THandle;

// ---- A small XML reader ---------------------------------------------------------------

struct Element {
  std::string Name;
  std::map<std::string, std::string> Attrs;
  std::string Text;     // character data directly inside, entities decoded
  int Parent = -1;      // index of the enclosing element
  std::string Layer;    // data-layer of the enclosing layer group ("holes" for holes)

  std::string Attr(const std::string& name) const {
    const auto it = Attrs.find(name);
    return it == Attrs.end() ? std::string() : it->second;
  }
  double Num(const std::string& name) const { return std::stod(Attr(name)); }
  bool Is(const std::string& name, const std::string& cls) const {
    return Name == name && Attr("class") == cls;
  }
};

struct Xml {
  std::vector<Element> Elements;
  std::string Error;

  std::vector<const Element*> All(const std::string& name, const std::string& cls) const {
    std::vector<const Element*> found;
    for (const Element& e : Elements)
      if (e.Is(name, cls)) found.push_back(&e);
    return found;
  }
  size_t Count(const std::string& name, const std::string& cls) const {
    return All(name, cls).size();
  }
};

bool ValidUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

// Decodes the entities the exporter writes; anything else is an error.
bool Decode(const std::string& raw, std::string& out) {
  out.clear();
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '<') return false;
    if (raw[i] != '&') {
      out += raw[i];
      continue;
    }
    const size_t semi = raw.find(';', i);
    if (semi == std::string::npos) return false;
    const std::string name = raw.substr(i + 1, semi - i - 1);
    if (name == "amp") out += '&';
    else if (name == "lt") out += '<';
    else if (name == "gt") out += '>';
    else if (name == "quot") out += '"';
    else if (name == "apos") out += '\'';
    else return false;
    i = semi;
  }
  return true;
}

Xml Parse(const std::string& s) {
  Xml x;
  const auto fail = [&](const std::string& why, size_t at) {
    x.Error = why + " at byte " + std::to_string(at);
    return x;
  };
  if (!ValidUtf8(s)) return fail("not UTF-8", 0);
  std::vector<int> open;
  size_t i = 0;
  int roots = 0;
  if (s.rfind("<?xml ", 0) == 0) i = s.find("?>") + 2;
  while (i < s.size()) {
    const size_t lt = s.find('<', i);
    const std::string between = s.substr(i, (lt == std::string::npos ? s.size() : lt) - i);
    std::string text;
    if (!Decode(between, text)) return fail("bad character data", i);
    if (open.empty() && between.find_first_not_of(" \n") != std::string::npos)
      return fail("text outside the root", i);
    if (!open.empty()) x.Elements[static_cast<size_t>(open.back())].Text += text;
    if (lt == std::string::npos) break;
    const size_t gt = s.find('>', lt);
    if (gt == std::string::npos) return fail("unclosed tag", lt);
    std::string tag = s.substr(lt + 1, gt - lt - 1);
    i = gt + 1;
    if (!tag.empty() && tag[0] == '/') {
      if (open.empty() || x.Elements[static_cast<size_t>(open.back())].Name != tag.substr(1))
        return fail("mismatched </" + tag.substr(1) + ">", lt);
      open.pop_back();
      continue;
    }
    const bool empty = !tag.empty() && tag.back() == '/';
    if (empty) tag.pop_back();
    Element e;
    size_t k = tag.find_first_of(" \n");
    e.Name = tag.substr(0, k);
    if (e.Name.empty()) return fail("element without a name", lt);
    while (k != std::string::npos && k < tag.size()) {
      k = tag.find_first_not_of(" \n", k);
      if (k == std::string::npos) break;
      const size_t eq = tag.find('=', k);
      if (eq == std::string::npos || eq + 1 >= tag.size() || tag[eq + 1] != '"')
        return fail("attribute without a quoted value", lt);
      const size_t close = tag.find('"', eq + 2);
      if (close == std::string::npos) return fail("unterminated attribute", lt);
      std::string value;
      if (!Decode(tag.substr(eq + 2, close - eq - 2), value)) return fail("bad attribute", lt);
      if (!e.Attrs.emplace(tag.substr(k, eq - k), value).second)
        return fail("attribute given twice", lt);
      k = close + 1;
      if (k < tag.size() && tag[k] != ' ' && tag[k] != '\n') return fail("attributes run together", lt);
    }
    e.Parent = open.empty() ? -1 : open.back();
    if (e.Parent >= 0) {
      const Element& parent = x.Elements[static_cast<size_t>(e.Parent)];
      e.Layer = parent.Is("g", "layer")   ? parent.Attr("data-layer")
                : parent.Is("g", "holes") ? "holes"
                                          : parent.Layer;
    } else if (++roots > 1) {
      return fail("more than one root", lt);
    }
    x.Elements.push_back(e);
    if (!empty) open.push_back(static_cast<int>(x.Elements.size() - 1));
  }
  if (!open.empty()) return fail("unclosed <" + x.Elements[static_cast<size_t>(open.back())].Name + ">", s.size());
  if (roots != 1 || x.Elements[0].Name != "svg") return fail("no svg root", 0);
  return x;
}

struct Box {
  double X = 0, Y = 0, W = 0, H = 0;
  bool Holds(double x, double y) const { return x >= X && x <= X + W && y >= Y && y <= Y + H; }
};

Box ViewBox(const Element& svg) {
  std::istringstream in(svg.Attr("viewBox"));
  Box b;
  in >> b.X >> b.Y >> b.W >> b.H;
  return b;
}

// ---- Documents built in the host module --------------------------------------------------

class SvgPicture : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    board = host.NewDocument("PCB", "/boards/tiny.PcbDoc");
    ASSERT_NE(board, 0u);
  }

  // An object of `kind` with its fields set, added to `container`.
  THandle Add(uint8_t kind, THandle container, const std::function<void(Object&)>& set) {
    const THandle h = api.PcbApi_CreateObject(kind);
    Object* o = host.GetObjectMutable(h);
    if (!o) {
      ADD_FAILURE() << "no object of kind " << int(kind);
      return 0;
    }
    set(*o);
    EXPECT_EQ(api.PcbApi_AddObjectToContainer(container, h), 0) << "kind " << int(kind);
    return h;
  }

  THandle Polygon(uint8_t layer, const std::vector<std::pair<int32_t, int32_t>>& mils,
                  int32_t grid, int32_t width, uint8_t style) {
    return Add(tarvex::kPolygon, board, [&](Object& o) {
      o.Layer = layer;
      o.GridSize = grid;
      o.TrackWidth = width;
      o.HatchStyle = style;
      o.VertexCount = static_cast<int32_t>(mils.size());
      for (size_t i = 0; i < mils.size(); ++i) {
        o.Vertices[i].X = mils[i].first * 10000;
        o.Vertices[i].Y = mils[i].second * 10000;
      }
    });
  }

  std::string Svg(THandle document) {
    std::ostringstream out;
    EXPECT_TRUE(pcbhost::WriteDocumentSvg(host, document, out));
    return out.str();
  }

  Xml Picture() {
    const std::string text = Svg(board);
    Xml x = Parse(text);
    EXPECT_EQ(x.Error, "") << text;
    return x;
  }

  THandle board = 0;
};

constexpr int32_t kMil = 10000;

TEST_F(SvgPicture, EveryKindIsDrawnInItsShape) {
  Add(tarvex::kTrack, board, [](Object& o) {
    o.X = 0, o.Y = 0, o.X2 = 100 * kMil, o.Y2 = 50 * kMil, o.Width = 12 * kMil;
  });
  // Quarter and three-quarter arcs, counter-clockwise; a full circle.
  Add(tarvex::kArc, board, [](Object& o) {
    o.X = 1000 * kMil, o.Radius = 100 * kMil, o.StartAngle = 0, o.EndAngle = 90, o.Width = 10 * kMil;
  });
  Add(tarvex::kArc, board, [](Object& o) {
    o.X = 1000 * kMil, o.Radius = 100 * kMil, o.StartAngle = 0, o.EndAngle = 270;
  });
  Add(tarvex::kArc, board, [](Object& o) { o.Y = 500 * kMil, o.Radius = 40 * kMil; });
  // Pads on the top layer: round, rectangle (turned), octagon, oblong.
  const auto pad = [&](int32_t x, int32_t xs, int32_t ys, uint8_t shape, double rotation) {
    Add(tarvex::kPad, board, [&](Object& o) {
      o.Layer = tarvex::kTopLayer;
      o.X = x, o.Y = 200 * kMil;
      o.TopXSize = xs, o.TopYSize = ys, o.TopShape = shape;
      o.Rotation = rotation;
    });
  };
  pad(0, 60 * kMil, 60 * kMil, tarvex::kRound, 45);
  pad(200 * kMil, 60 * kMil, 40 * kMil, tarvex::kRectangle, 30);
  pad(400 * kMil, 80 * kMil, 80 * kMil, tarvex::kOctagonal, 0);
  pad(600 * kMil, 100 * kMil, 40 * kMil, tarvex::kRound, 0);
  Add(tarvex::kVia, board, [](Object& o) { o.X = 300 * kMil, o.Y = 300 * kMil; });
  Add(tarvex::kFill, board, [](Object& o) {
    o.X = 10 * kMil, o.Y = 20 * kMil, o.X2 = 110 * kMil, o.Y2 = 70 * kMil, o.Rotation = 90;
  });
  Polygon(tarvex::kTopLayer, {{0, -100}, {100, -100}, {100, -200}}, 8 * kMil, 8 * kMil, 0);
  Polygon(tarvex::kTopLayer, {{200, -100}, {300, -100}, {300, -200}}, 20 * kMil, 8 * kMil, 1);
  Add(tarvex::kText, board, [](Object& o) {
    o.Text = "R12", o.X = 0, o.Y = -300 * kMil, o.Rotation = 90;
  });
  Add(tarvex::kText, board, [](Object& o) {
    o.Layer = tarvex::kBottomOverlay, o.Text = "AB", o.X = 500 * kMil, o.Y = -300 * kMil;
    o.Height = 30 * kMil, o.Mirrored = 1;
  });

  const Xml x = Picture();
  ASSERT_EQ(x.Error, "");
  // One element per object, of the kind's shape.
  const std::pair<std::pair<const char*, const char*>, size_t> counts[] = {
      {{"line", "track"}, 1}, {{"path", "arc"}, 2},   {{"circle", "arc"}, 1},
      {{"circle", "pad"}, 1}, {{"rect", "pad"}, 2},   {{"polygon", "pad"}, 1},
      {{"circle", "via"}, 1}, {{"circle", "hole"}, 1}, {{"rect", "fill"}, 1},
      {{"path", "polygon"}, 2}, {{"text", "text"}, 2},
  };
  for (const auto& [shape, n] : counts)
    EXPECT_EQ(x.Count(shape.first, shape.second), n) << shape.first << " " << shape.second;

  // Mils with Y downwards.
  const Element& track = *x.All("line", "track")[0];
  EXPECT_EQ(track.Attr("x2"), "100");
  EXPECT_EQ(track.Attr("y2"), "-50");
  EXPECT_EQ(track.Attr("stroke-width"), "12");
  // Counter-clockwise with Y up: sweep flag 0; past 180 degrees the large arc.
  const auto arcs = x.All("path", "arc");
  EXPECT_EQ(arcs[0]->Attr("d"), "M1100 0 A100 100 0 0 0 1000 -100");
  EXPECT_EQ(arcs[0]->Attr("stroke-width"), "10");
  EXPECT_EQ(arcs[1]->Attr("d"), "M1100 0 A100 100 0 1 0 1000 100");
  EXPECT_EQ(x.All("circle", "arc")[0]->Attr("r"), "40");

  const auto rects = x.All("rect", "pad");
  EXPECT_EQ(rects[0]->Attr("width"), "60");
  EXPECT_EQ(rects[0]->Attr("height"), "40");
  EXPECT_EQ(rects[0]->Attr("transform"), "rotate(-30 200 -200)");
  EXPECT_EQ(rects[0]->Attr("rx"), "");
  EXPECT_EQ(rects[1]->Attr("rx"), "20");  // an oblong round pad
  EXPECT_EQ(x.All("circle", "pad")[0]->Attr("r"), "30");
  std::istringstream octagon(x.All("polygon", "pad")[0]->Attr("points"));
  int corners = 0;
  for (std::string p; octagon >> p;) ++corners;
  EXPECT_EQ(corners, 8);

  // The via's ring and its hole (the host's defaults: 50 and 28 mil).
  EXPECT_EQ(x.All("circle", "via")[0]->Attr("r"), "25");
  EXPECT_EQ(x.All("circle", "via")[0]->Layer, std::to_string(tarvex::kMultiLayer));
  EXPECT_EQ(x.All("circle", "hole")[0]->Attr("r"), "14");
  EXPECT_EQ(x.All("circle", "hole")[0]->Layer, "holes");

  const Element& fill = *x.All("rect", "fill")[0];
  EXPECT_EQ(fill.Attr("x") + " " + fill.Attr("y") + " " + fill.Attr("width") + " " + fill.Attr("height"),
            "10 -70 100 50");
  EXPECT_EQ(fill.Attr("transform"), "rotate(-90 60 -45)");

  // A solid pour and a 45-degree hatch whose pattern is defined.
  const auto polygons = x.All("path", "polygon");
  EXPECT_EQ(polygons[0]->Attr("d"), "M0 100 L100 100 L100 200 Z");
  EXPECT_EQ(polygons[0]->Attr("fill"), "");
  const std::string hatch = polygons[1]->Attr("fill");
  ASSERT_EQ(hatch.rfind("url(#", 0), 0u) << hatch;
  const std::string id = hatch.substr(5, hatch.size() - 6);
  bool defined = false;
  for (const Element& e : x.Elements)
    if (e.Name == "pattern" && e.Attr("id") == id) {
      defined = true;
      EXPECT_EQ(e.Attr("width"), "20");
      EXPECT_EQ(e.Attr("patternTransform"), "rotate(45)");
    }
  EXPECT_TRUE(defined) << id;

  // Texts: at their height, 2/3 of it per character, turned and mirrored;
  // the bottom overlay's text comes first.
  const auto texts = x.All("text", "text");
  EXPECT_EQ(texts[0]->Text, "AB");
  EXPECT_EQ(texts[0]->Attr("transform"), "translate(500 300) scale(-1 1)");
  EXPECT_EQ(texts[0]->Attr("textLength"), "40");
  EXPECT_EQ(texts[0]->Layer, std::to_string(tarvex::kBottomOverlay));
  EXPECT_EQ(texts[1]->Text, "R12");
  EXPECT_EQ(texts[1]->Attr("transform"), "translate(0 300) rotate(-90)");
  EXPECT_EQ(texts[1]->Attr("textLength"), "120");
  EXPECT_EQ(texts[1]->Attr("font-size"), "84");  // 60 mil high

  // The viewBox holds every object's host rectangle (texts by the host's
  // stroke-font model), Y turned.
  const Box view = ViewBox(*x.All("svg", "board")[0]);
  for (THandle h : host.ContainerObjects(board)) {
    tarvex::Rect r;
    ASSERT_TRUE(host.BoundingRectangle(h, r));
    EXPECT_TRUE(view.Holds(r.X1 / 1e4, -r.Y2 / 1e4) && view.Holds(r.X2 / 1e4, -r.Y1 / 1e4))
        << "object " << h << " outside the viewBox";
  }
}

TEST_F(SvgPicture, LayersInTheirColoursBottomFirst) {
  const auto track = [&](uint8_t layer, int32_t y) {
    Add(tarvex::kTrack, board, [&](Object& o) { o.Layer = layer, o.Y = o.Y2 = y, o.X2 = 100 * kMil; });
  };
  track(tarvex::kTopOverlay, 0);
  track(tarvex::kTopLayer, 10 * kMil);
  track(tarvex::kMidLayer1 + 2, 20 * kMil);
  track(tarvex::kBottomLayer, 30 * kMil);
  track(tarvex::kTopLayer, 40 * kMil);
  track(tarvex::kMechanical1, 50 * kMil);
  const Xml x = Picture();
  ASSERT_EQ(x.Error, "");

  std::vector<std::string> order;
  std::map<std::string, std::string> colour;
  for (const Element& e : x.Elements)
    if (e.Is("g", "layer")) {
      order.push_back(e.Attr("data-layer"));
      colour[e.Attr("data-name")] = e.Attr("stroke");
    }
  EXPECT_EQ(order, (std::vector<std::string>{"32", "4", "1", "33", "57"}));
  EXPECT_EQ(colour["Top Layer"], "#FF0000");
  EXPECT_EQ(colour["Bottom Layer"], "#3A5BFF");
  EXPECT_EQ(colour["Top Overlay"], "#FFFF00");
  EXPECT_EQ(colour.size(), 5u);
  for (const auto& [name, c] : colour) {
    for (const auto& [other, d] : colour) {
      if (name != other) {
        EXPECT_NE(c, d) << name << " and " << other;
      }
    }
  }
  // Objects stay in board order within their layer.
  const auto tracks = x.All("line", "track");
  std::vector<std::string> topYs;
  for (const Element* t : tracks)
    if (t->Layer == "1") topYs.push_back(t->Attr("y1"));
  EXPECT_EQ(topYs, (std::vector<std::string>{"-10", "-40"}));

  // The legend: the layers drawn, top first, with their counts.
  std::vector<std::string> legend;
  for (const Element& e : x.Elements)
    if (e.Is("text", "legend-label")) legend.push_back(e.Text);
  EXPECT_EQ(legend, (std::vector<std::string>{"Mechanical Layer 1 (1)", "Top Overlay (1)",
                                              "Top Layer (2)", "Mid Layer 3 (1)",
                                              "Bottom Layer (1)"}));
}

TEST_F(SvgPicture, MultiLayerPadsShowTheirStackPerLayer) {
  // A four-layer stack: top, mid 1, mid 2, bottom.
  tarvex::Document* d = host.GetDocumentMutable(board);
  d->Layers[tarvex::kTopLayer].NextLayer = tarvex::kMidLayer1;
  d->Layers[tarvex::kMidLayer1].NextLayer = tarvex::kMidLayer1 + 1;
  d->Layers[tarvex::kMidLayer1 + 1].NextLayer = tarvex::kBottomLayer;
  // Stack mode 0: one shape, drawn once on the multi-layer.
  Add(tarvex::kPad, board, [](Object&) {});
  // Top, middle, bottom: the bottom differs, the middle is the top's.
  Add(tarvex::kPad, board, [](Object& o) {
    o.X = 200 * kMil;
    o.StackMode = tarvex::kStackTopMidBottom;
    o.BottomXSize = o.BottomYSize = 90 * kMil;
    o.BottomShape = tarvex::kRectangle;
  });
  // Per layer: mid layer 2 larger; a layer with no size shows nothing.
  Add(tarvex::kPad, board, [](Object& o) {
    o.X = 400 * kMil;
    o.StackMode = tarvex::kStackPerLayer;
    for (int l = tarvex::kTopLayer; l <= tarvex::kBottomLayer; ++l) {
      o.XSizeOnLayer[static_cast<size_t>(l)] = o.YSizeOnLayer[static_cast<size_t>(l)] = 50 * kMil;
      o.ShapeOnLayer[static_cast<size_t>(l)] = tarvex::kRound;
    }
    o.XSizeOnLayer[tarvex::kMidLayer1 + 1] = 70 * kMil;
    o.YSizeOnLayer[tarvex::kMidLayer1 + 1] = 30 * kMil;
    o.ShapeOnLayer[tarvex::kMidLayer1 + 1] = tarvex::kOctagonal;
    o.XSizeOnLayer[tarvex::kBottomLayer] = 0;
  });
  const Xml x = Picture();
  ASSERT_EQ(x.Error, "");
  std::vector<std::string> seen;
  for (const Element& e : x.Elements)
    if (e.Attr("class") == "pad") {
      const std::string size = e.Name == "circle" ? e.Attr("r") : e.Attr("width");
      seen.push_back(e.Layer + " " + e.Name + " " + size);
    }
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "32 rect 90",       // the second pad's bottom
                      "3 polygon ",       // the third pad's mid layer 2
                      "74 circle 30",     // the top shapes, seen from above
                      "74 circle 30", "74 circle 25"}));
  EXPECT_EQ(x.Count("circle", "hole"), 3u);
}

TEST_F(SvgPicture, ComponentsDrawTheirPrimitivesAndShownTexts) {
  THandle comp = 0;
  comp = Add(tarvex::kComponent, board, [](Object& o) { o.CommentVisible = 0; });
  Object* c = host.GetObjectMutable(comp);
  ASSERT_NE(c, nullptr);
  const THandle designator = c->DesignatorText, comment = c->CommentText;
  host.GetObjectMutable(designator)->Text = "U7";
  host.GetObjectMutable(comment)->Text = "hidden value";
  Add(tarvex::kPad, comp, [](Object& o) { o.X = 100 * kMil; });
  Add(tarvex::kTrack, comp, [](Object& o) { o.Layer = tarvex::kTopOverlay, o.X2 = 200 * kMil; });
  Add(tarvex::kText, comp, [](Object& o) { o.Text = "pin 1"; });
  Xml x = Picture();
  ASSERT_EQ(x.Error, "");
  EXPECT_EQ(x.Count("circle", "pad"), 1u);
  EXPECT_EQ(x.Count("line", "track"), 1u);
  std::vector<std::string> texts;
  for (const Element* t : x.All("text", "text")) texts.push_back(t->Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"pin 1", "U7"}));

  // Shown comment, hidden designator.
  c = host.GetObjectMutable(comp);
  c->DesignatorVisible = 0;
  c->CommentVisible = 1;
  x = Picture();
  texts.clear();
  for (const Element* t : x.All("text", "text")) texts.push_back(t->Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"pin 1", "hidden value"}));
  // The title counts what the document holds, hidden texts included.
  ASSERT_EQ(x.Count("text", "summary"), 1u);
  const std::string summary = x.All("text", "summary")[0]->Text;
  EXPECT_NE(summary.find("1 component"), std::string::npos) << summary;
  EXPECT_NE(summary.find("3 texts"), std::string::npos) << summary;
  EXPECT_EQ(x.All("text", "title")[0]->Text, "tiny.PcbDoc");
}

TEST_F(SvgPicture, TextsBecomeUtf8FromTheirCodePage) {
  const std::string bad = "\xEF\xBF\xBD";  // U+FFFD
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"},
      {"A<&>\"'", "A&lt;&amp;&gt;&quot;'"},
      {"\xE9\xFC\xB5", "\xC3\xA9\xC3\xBC\xC2\xB5"},      // é ü µ
      {"\x80\x9F\x8A", "\xE2\x82\xAC\xC5\xB8\xC5\xA0"},  // € Ÿ Š
      {"\x81\x8D\x8F\x90\x9D", bad + bad + bad + bad + bad},  // undefined in the code page
      {std::string("a\0b\x01\x7F", 5), "a" + bad + "b" + bad + bad},
  };
  for (const auto& [in, expected] : cases) EXPECT_EQ(pcbhost::XmlText(in), expected) << in;

  // In a document: the text and the file name of the title. A file name
  // that is UTF-8 stays as it is.
  Add(tarvex::kText, board, [](Object& o) { o.Text = "<\xE9\x80\x01>"; });
  const THandle named = host.NewDocument("PCB", "/boards/pl\xC3\xA4tt & \xC2\xB5.PcbDoc");
  const THandle latin = host.NewDocument("PCB", "/boards/pl\xE4tt.PcbDoc");
  Xml x = Picture();
  ASSERT_EQ(x.Error, "");
  EXPECT_EQ(x.All("text", "text")[0]->Text, "<\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBD>");
  for (const auto& [document, title] :
       {std::pair{named, std::string("pl\xC3\xA4tt & \xC2\xB5.PcbDoc")},
        std::pair{latin, std::string("pl\xC3\xA4tt.PcbDoc")}}) {
    x = Parse(Svg(document));
    ASSERT_EQ(x.Error, "");
    EXPECT_EQ(x.All("text", "title")[0]->Text, title);
  }
}

// The one conversion of the writers: every byte of every code page gives
// valid UTF-8, one character per byte; bytes a code page leaves undefined
// give U+FFFD.
TEST(CodePage, EveryByteOfEveryCodePageGivesOneCharacterOfValidUtf8) {
  using pcbhost::CodePage;
  const std::string bad = "\xEF\xBF\xBD";
  const struct {
    CodePage Page;
    std::string In, Out;
  } cases[] = {
      {CodePage::Cp1252, "\x80\xE9\xFF", "\xE2\x82\xAC\xC3\xA9\xC3\xBF"},   // € é ÿ
      {CodePage::Cp1251, "\xC0\xE0\xFF", "\xD0\x90\xD0\xB0\xD1\x8F"},       // А а я
      {CodePage::Cp1251, "\x88\xA8\xB9", "\xE2\x82\xAC\xD0\x81\xE2\x84\x96"},  // € Ё №
      {CodePage::Cp1250, "\x8A\xA3\xF8", "\xC5\xA0\xC5\x81\xC5\x99"},       // Š Ł ř
      {CodePage::Cp1252, "\x81\x9D", bad + bad},
      {CodePage::Cp1251, "\x98", bad},
      {CodePage::Cp1250, "\x81\x83\x88\x90\x98", bad + bad + bad + bad + bad},
  };
  for (const auto& c : cases) EXPECT_EQ(pcbhost::CodePageToUtf8(c.In, c.Page), c.Out) << c.In;

  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (CodePage page : {CodePage::Cp1252, CodePage::Cp1251, CodePage::Cp1250}) {
    const std::string out = pcbhost::CodePageToUtf8(all, page);
    EXPECT_TRUE(ValidUtf8(out));
    EXPECT_TRUE(pcbhost::IsUtf8(out));
    size_t characters = 0;
    for (size_t i = 0; i < out.size(); i += pcbhost::Utf8SequenceLength(out, i)) ++characters;
    EXPECT_EQ(characters, 256u);
  }

  CodePage page = CodePage::Cp1252;
  EXPECT_TRUE(pcbhost::CodePageOfNumber("1251", page));
  EXPECT_EQ(page, CodePage::Cp1251);
  for (const char* number : {"", "1253", "65001", "12510", "-1252"})
    EXPECT_FALSE(pcbhost::CodePageOfNumber(number, page)) << number;
}

TEST(CodePage, NamesThatAreNotUtf8AreReadInTheCodePage) {
  using pcbhost::CodePage;
  const struct {
    std::string In, Out;
  } cases[] = {
      {"pl\xC3\xA4tt", "pl\xC3\xA4tt"},           // UTF-8 stays
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},   // also beyond U+FFFF
      {"a\xC3", "a\xC3\x83"},                     // cut short
      {"\xC0\xAF", "\xC3\x80\xC2\xAF"},           // overlong
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // a surrogate
      {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},       // cut short
      {"\xBF\xC3\xA4", "\xC2\xBF\xC3\x83\xC2\xA4"},  // stray continuation byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(pcbhost::NameToUtf8(c.In, CodePage::Cp1252), c.Out) << c.In;
  }
  EXPECT_EQ(pcbhost::XmlText("<\xC0>", CodePage::Cp1251), "&lt;\xD0\x90&gt;");
}

TEST_F(SvgPicture, LayersChosenAreTheOnlyOnesDrawn) {
  Add(tarvex::kTrack, board, [](Object& o) { o.Layer = tarvex::kTopLayer, o.X2 = 100 * kMil; });
  Add(tarvex::kTrack, board, [](Object& o) {
    o.Layer = tarvex::kBottomLayer, o.X = 5000 * kMil, o.X2 = 5100 * kMil;
  });
  Add(tarvex::kVia, board, [](Object& o) { o.X = 50 * kMil; });
  const auto draw = [&](std::initializer_list<int> layers) {
    pcbhost::SvgOptions options;
    options.Layers.emplace();
    for (int l : layers) options.Layers->set(static_cast<size_t>(l));
    std::ostringstream out;
    EXPECT_TRUE(pcbhost::WriteDocumentSvg(host, board, out, options));
    const Xml x = Parse(out.str());
    EXPECT_EQ(x.Error, "") << out.str();
    return x;
  };
  const auto groups = [](const Xml& x) {
    std::vector<std::string> layers;
    for (const Element& e : x.Elements)
      if (e.Is("g", "layer")) layers.push_back(e.Attr("data-layer"));
    return layers;
  };
  Xml x = draw({tarvex::kTopLayer});
  EXPECT_EQ(groups(x), std::vector<std::string>{"1"});
  EXPECT_EQ(x.Count("circle", "via") + x.Count("circle", "hole"), 0u);
  EXPECT_EQ(x.Count("rect", "swatch"), 1u);
  // The view shows what is drawn: the bottom track far away is not in it.
  EXPECT_LT(ViewBox(*x.All("svg", "board")[0]).W, 1000);
  // The title still counts the document.
  EXPECT_NE(x.All("text", "summary")[0]->Text.find("2 tracks"), std::string::npos);

  x = draw({tarvex::kBottomLayer, tarvex::kMultiLayer});
  EXPECT_EQ(groups(x), (std::vector<std::string>{"32", "74"}));
  EXPECT_EQ(x.Count("circle", "via"), 1u);
  EXPECT_EQ(x.Count("circle", "hole"), 1u);

  const std::pair<const char*, int> names[] = {
      {"Top Layer", tarvex::kTopLayer}, {"top layer", tarvex::kTopLayer},
      {"MULTI LAYER", tarvex::kMultiLayer}, {"No Layer", 0}, {"32", tarvex::kBottomLayer}};
  for (const auto& [name, id] : names) {
    int layer = -1;
    EXPECT_TRUE(pcbhost::LayerOfName(name, layer)) << name;
    EXPECT_EQ(layer, id) << name;
  }
  for (const char* name : {"", "Top", "83", "-1", "1x"}) {
    int layer = -1;
    EXPECT_FALSE(pcbhost::LayerOfName(name, layer)) << name;
  }
}

TEST_F(SvgPicture, EmptyAndOddDocumentsStillGiveAPicture) {
  Xml x = Picture();
  ASSERT_EQ(x.Error, "");
  ASSERT_EQ(x.Count("svg", "board"), 1u);
  const Box view = ViewBox(*x.All("svg", "board")[0]);
  EXPECT_GT(view.W, 0);
  EXPECT_GT(view.H, 0);
  EXPECT_EQ(x.Count("g", "layer"), 0u);
  EXPECT_EQ(x.Count("rect", "swatch"), 0u);
  EXPECT_NE(x.All("text", "summary")[0]->Text.find("no objects"), std::string::npos);

  // Values no editor would write: no number of the picture is "nan" or
  // "inf", nothing is read past a polygon's records, the picture stays
  // well-formed.
  Add(tarvex::kArc, board, [](Object& o) {
    o.Radius = 10 * kMil, o.StartAngle = std::nan(""), o.EndAngle = 1e308;
  });
  Add(tarvex::kArc, board, [](Object& o) { o.Radius = -5, o.StartAngle = 10, o.EndAngle = 10; });
  Add(tarvex::kText, board, [](Object& o) { o.Text = "x", o.Rotation = -std::numeric_limits<double>::infinity(); });
  Add(tarvex::kTrack, board, [](Object& o) {
    o.X = std::numeric_limits<int32_t>::min(), o.Y = std::numeric_limits<int32_t>::min();
    o.X2 = std::numeric_limits<int32_t>::max(), o.Width = -3;
  });
  Add(tarvex::kPad, board, [](Object& o) { o.TopXSize = 0, o.TopShape = 9; });
  Add(tarvex::kPolygon, board, [](Object& o) { o.VertexCount = 100000, o.HatchStyle = 77; });
  Add(tarvex::kFill, board, [](Object& o) { o.Layer = 200, o.X2 = kMil, o.Y2 = kMil; });
  const std::string text = Svg(board);
  x = Parse(text);
  ASSERT_EQ(x.Error, "") << text;
  EXPECT_EQ(text.find("nan"), std::string::npos);
  EXPECT_EQ(text.find("inf"), std::string::npos);
  // The fill of a layer the host does not have is drawn with the objects
  // of no layer.
  ASSERT_EQ(x.Count("rect", "fill"), 1u);
  const Element& fill = *x.All("rect", "fill")[0];
  EXPECT_EQ(fill.Layer, "0");
  EXPECT_EQ(x.Elements[static_cast<size_t>(fill.Parent)].Attr("data-name"), "No Layer");
}

TEST_F(SvgPicture, LibraryDrawsEachComponentOnItsOwn) {
  const THandle lib = host.NewDocument("PCBLib", "/boards/parts.PcbLib");
  ASSERT_TRUE(host.AddLibraryComponent(lib, "R0805"));
  Add(tarvex::kTrack, lib, [](Object& o) { o.X2 = 100 * kMil; });
  ASSERT_TRUE(host.AddLibraryComponent(lib, "BIG"));
  Add(tarvex::kTrack, lib, [](Object& o) { o.X = 5000 * kMil, o.X2 = 9000 * kMil; });
  Add(tarvex::kPad, lib, [](Object& o) { o.X = 5000 * kMil; });
  const Xml x = Parse(Svg(lib));
  ASSERT_EQ(x.Error, "");
  const auto panels = x.All("svg", "board");
  ASSERT_EQ(panels.size(), 2u);
  std::vector<std::string> captions;
  for (const Element* e : x.All("text", "caption")) captions.push_back(e->Text);
  EXPECT_EQ(captions, (std::vector<std::string>{"R0805", "BIG"}));
  // Each panel fits its own component.
  const Box small = ViewBox(*panels[0]), big = ViewBox(*panels[1]);
  EXPECT_TRUE(small.Holds(0, 0) && small.Holds(100, 0));
  EXPECT_LT(small.W, 200);
  EXPECT_TRUE(big.Holds(5000, 0) && big.Holds(9000, 0));
  EXPECT_FALSE(big.Holds(0, 0));
  size_t inFirst = 0;
  for (const Element& e : x.Elements) {
    if (&e == panels[1]) break;
    inFirst += e.Is("line", "track");
  }
  EXPECT_EQ(inFirst, 1u);
  EXPECT_NE(x.All("text", "summary")[0]->Text.find("2 library components"), std::string::npos);
}

TEST_F(SvgPicture, NotADocumentWritesNothing) {
  std::ostringstream out;
  EXPECT_FALSE(pcbhost::WriteDocumentSvg(host, 0, out));
  const THandle track = api.PcbApi_CreateObject(tarvex::kTrack);
  EXPECT_FALSE(pcbhost::WriteDocumentSvg(host, track, out));
  EXPECT_EQ(out.str(), "");
}

// ---- pcbhost end to end -------------------------------------------------------------------

using pcbhosttest::Quote;
using pcbhosttest::Slurp;

class PcbhostSvg : public pcbhosttest::PcbhostTest {
 protected:
  PcbhostSvg() : PcbhostTest("pcbhost_svg_") {}
  using Result = pcbhosttest::Result;
};

TEST_F(PcbhostSvg, ImportDrawsTheBoardTheSameEveryTime) {
  const std::string board = Write("demo.tbd",
                                  "TESTBOARD demo\n"
                                  "NET GND\n"
                                  "TRACK 1 0 0 100 0 10 GND\n"
                                  "TRACK 32 0 0 0 25.4 8\n"
                                  "COMP U1 SO8 500 300 90 T\n"
                                  "COMP U2 SO8 800 300 0 B\n"
                                  "POLY 1 0 0 100 0 100 100\n");
  const std::string a = (folder / "a.svg").string(), b = (folder / "b.svg").string();
  const Result r1 = Run("import " + Quote(board) + " --plugin HostTestPlugin --svg " + Quote(a));
  const Result r2 = Run("import " + Quote(board) + " --plugin HostTestPlugin --json " +
                        Quote((folder / "b.json").string()) + " --svg " + Quote(b));
  ASSERT_EQ(r1.code, 0) << r1.err;
  ASSERT_EQ(r2.code, 0) << r2.err;
  const std::string svg = Slurp(a);
  EXPECT_EQ(svg, Slurp(b));
  EXPECT_FALSE(Slurp(folder / "b.json").empty());

  const Xml x = Parse(svg);
  ASSERT_EQ(x.Error, "") << svg;
  // Two board tracks and one overlay track per component; a pad and a
  // designator per component (comments are hidden); one polygon.
  EXPECT_EQ(x.Count("line", "track"), 4u);
  EXPECT_EQ(x.Count("circle", "pad"), 2u);
  EXPECT_EQ(x.Count("circle", "hole"), 2u);
  EXPECT_EQ(x.Count("text", "text"), 2u);
  EXPECT_EQ(x.Count("path", "polygon"), 1u);
  // The top track red, the bottom track blue, Y turned downwards.
  std::map<std::string, std::string> colours;
  for (const Element& e : x.Elements)
    if (e.Is("g", "layer")) colours[e.Attr("data-layer")] = e.Attr("stroke");
  std::map<std::string, std::string> colourOfTrackTo;  // by its end point
  for (const Element* t : x.All("line", "track"))
    colourOfTrackTo[t->Attr("x2") + " " + t->Attr("y2")] = colours[t->Layer];
  EXPECT_EQ(colourOfTrackTo["100 0"], "#FF0000");
  EXPECT_EQ(colourOfTrackTo["0 -25.4"], "#3A5BFF");
  EXPECT_EQ(x.All("circle", "pad")[0]->Attr("cy"), "-400");  // U1's pad at (500, 400) mil
  EXPECT_EQ(x.All("text", "title")[0]->Text, "demo.tbd");
}

TEST_F(PcbhostSvg, EmptyBoardStandardOutputAndBadPaths) {
  const std::string empty = Write("empty.tbd", "TESTBOARD\n");
  // An empty board: a picture all the same. On standard output the
  // summary goes to standard error, so the output is the picture alone.
  Result r = Run("import " + Quote(empty) + " --plugin HostTestPlugin --svg -");
  ASSERT_EQ(r.code, 0) << r.err;
  const Xml x = Parse(r.out);
  EXPECT_EQ(x.Error, "") << r.out;
  EXPECT_EQ(x.Count("svg", "board"), 1u);
  EXPECT_NE(r.err.find("objects: none"), std::string::npos) << r.err;

  const std::string bad[] = {
      "--svg " + Quote((folder / "no-such-folder" / "a.svg").string()),
      "--svg " + Quote(folder.string()),
      "--json - --svg -",
      "--svg",
  };
  for (const std::string& args : bad) {
    r = Run("import " + Quote(empty) + " --plugin HostTestPlugin " + args);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
    EXPECT_EQ(r.err.rfind("pcbhost: ", 0), 0u) << r.err;
  }
}

}  // namespace

// A recording stand-in for the host PCB module, for tests of the binding's
// argument order. It is built as libTarvex.so in a folder of its own, exports
// the called host functions under their names (all but
// PcbApi_QueryComponentEx, which it leaves out on purpose, so that tests see
// one function missing) and writes every call with the values that crossed
// the boundary into a log.
//
// Records are kept per (function, handle, index) as lists of values in
// argument order. A read of a record never written hands out a pattern that
// tells every field apart (field i of handle h: h * 100 + i + 1, or the text
// "s<i>h<h>"), and keeps it, so a later read gives the same values.
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "hostapi/PcbApiAbi.h"

namespace {

struct Val {
  bool IsText = false;
  bool IsReal = false;
  long long Int = 0;
  double Real = 0;
  std::string Text;
};

struct Str {
  uint8_t* P;
  size_t Capacity;
};

// A layer field: an 8-bit value that also tells the iterators the layer of
// the object.
struct Lay {
  uint8_t* P;
};

using Key = std::tuple<std::string, uint32_t, long long>;

struct Model {
  std::map<Key, std::vector<Val>> Records;
  std::map<uint32_t, uint8_t> Kinds;
  std::map<uint32_t, uint8_t> Layers;
  std::map<uint32_t, std::vector<uint32_t>> Children;
  std::map<uint32_t, std::vector<uint32_t>> Iterators;
  std::map<uint32_t, size_t> IteratorPos;
  std::map<uint32_t, std::vector<std::string>> Members;
  struct Subscope {
    uint8_t Kind, Layer, Kinds;
    std::string Name;
    int32_t V[4];
  };
  std::map<std::pair<uint32_t, uint8_t>, std::vector<Subscope>> Scopes;
  std::map<std::pair<uint32_t, uint8_t>, std::tuple<uint8_t, int32_t, int32_t>> PadLayers;
  std::map<std::string, int32_t> Statuses;
  std::map<uint32_t, int32_t> ReferenceCounts;
  std::map<uint32_t, std::vector<uint8_t>> Vertices;
  int32_t PairCountStatus = 0;
  uint32_t CurrentBoard = 0;
  uint32_t NextHandle = 1;
  std::vector<std::string> Log;
  std::string LogText;
  std::string RecordText;
};

Model& M() {
  static Model model;
  return model;
}

void Log(const std::string& line) { M().Log.push_back(line); }

int32_t StatusOf(const char* fn) {
  const auto it = M().Statuses.find(fn);
  return it == M().Statuses.end() ? 0 : it->second;
}

std::string Show(const Val& v) {
  if (v.IsText) return "'" + v.Text + "'";
  if (v.IsReal) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", v.Real);
    return buffer;
  }
  return std::to_string(v.Int);
}

std::string ShowAll(const std::vector<Val>& values) {
  std::string out;
  for (size_t i = 0; i < values.size(); ++i) out += (i ? " " : "") + Show(values[i]);
  return out;
}

// ---- Field access --------------------------------------------------------------

template <class T>
Val Get(T* p, uint32_t) {
  Val v;
  if constexpr (std::is_floating_point_v<T>) {
    v.IsReal = true;
    v.Real = *p;
  } else {
    v.Int = static_cast<long long>(*p);
  }
  return v;
}
Val Get(Str s, uint32_t) {
  Val v;
  v.IsText = true;
  v.Text.assign(reinterpret_cast<const char*>(s.P + 1), s.P[0]);
  return v;
}
Val Get(Lay l, uint32_t h) {
  M().Layers[h] = *l.P;
  return Get(l.P, h);
}

template <class T>
void Put(T* p, const Val& v, uint32_t) {
  if constexpr (std::is_floating_point_v<T>)
    *p = v.Real;
  else
    *p = static_cast<T>(v.Int);
}
void Put(Str s, const Val& v, uint32_t) {
  const size_t n = std::min(v.Text.size(), s.Capacity);
  s.P[0] = static_cast<uint8_t>(n);
  std::memcpy(s.P + 1, v.Text.data(), n);
}
void Put(Lay l, const Val& v, uint32_t h) {
  Put(l.P, v, h);
  M().Layers[h] = *l.P;
}

template <class T>
Val Pattern(T*, uint32_t h, size_t i) {
  Val v;
  if constexpr (std::is_floating_point_v<T>) {
    v.IsReal = true;
    v.Real = h + (i + 1) / 4.0;
  } else {
    v.Int = static_cast<long long>(static_cast<T>(h * 100 + i + 1));
  }
  return v;
}
Val Pattern(Str s, uint32_t h, size_t i) {
  Val v;
  v.IsText = true;
  v.Text = "s" + std::to_string(i + 1) + "h" + std::to_string(h);
  v.Text.resize(std::min(v.Text.size(), s.Capacity));
  return v;
}
Val Pattern(Lay, uint32_t h, size_t i) {
  Val v;
  v.Int = static_cast<uint8_t>(h * 100 + i + 1);
  return v;
}

// A record exchange: direction 1 hands the stored (or pattern) values out,
// anything else stores the caller's values.
template <class... F>
int32_t RecAt(const char* fn, uint8_t direction, uint32_t h, long long index, F... fields) {
  const Key key{fn, h, index};
  std::vector<Val>& stored = M().Records[key];
  if (direction == 1) {
    if (stored.empty()) {
      size_t i = 0;
      (stored.push_back(Pattern(fields, h, i++)), ...);
    }
    size_t i = 0;
    (Put(fields, stored[i++], h), ...);
  } else {
    stored.clear();
    (stored.push_back(Get(fields, h)), ...);
  }
  std::string line = std::string(fn) + " d=" + std::to_string(direction) + " h=" + std::to_string(h);
  if (index >= 0) line += " i=" + std::to_string(index);
  Log(line + " : " + ShowAll(stored));
  return StatusOf(fn);
}

template <class... F>
int32_t Rec(const char* fn, uint8_t direction, uint32_t h, F... fields) {
  return RecAt(fn, direction, h, -1LL, fields...);
}

std::string ShortText(const uint8_t* s) {
  return s ? std::string(reinterpret_cast<const char*>(s + 1), s[0]) : std::string("(null)");
}

}  // namespace

// ---- The host functions ------------------------------------------------------------
// clang-format off
#define FAKE extern "C" __attribute__((visibility("default")))
#define PS(p) Str{p, 255}

FAKE uint32_t PCBAPI_CALL PcbApi_GetCurrentBoardHandle(void) { Log("GetCurrentBoardHandle"); return M().CurrentBoard; }
FAKE uint32_t PCBAPI_CALL PcbApi_CreateObject(uint8_t kind) {
  const uint32_t h = M().NextHandle++;
  M().Kinds[h] = kind;
  Log("CreateObject " + std::to_string(kind) + " -> " + std::to_string(h));
  return h;
}
FAKE uint32_t PCBAPI_CALL PcbApi_CreateRuleObject(uint8_t kind) {
  const uint32_t h = M().NextHandle++;
  M().Kinds[h] = 14;
  Log("CreateRuleObject " + std::to_string(kind) + " -> " + std::to_string(h));
  return h;
}
FAKE uint32_t PCBAPI_CALL PcbApi_CreateClassObjectEx(uint8_t kind) {
  const uint32_t h = M().NextHandle++;
  M().Kinds[h] = 13;
  Log("CreateClassObjectEx " + std::to_string(kind) + " -> " + std::to_string(h));
  return h;
}
FAKE uint8_t PCBAPI_CALL PcbApi_GetObjectIdFromObjectHandle(uint32_t h) {
  const auto it = M().Kinds.find(h);
  return it == M().Kinds.end() ? 0 : it->second;
}
FAKE int32_t PCBAPI_CALL PcbApi_AddObjectToContainer(uint32_t c, uint32_t o) {
  Log("AddObjectToContainer " + std::to_string(c) + " " + std::to_string(o));
  if (c == 0 || o == 0) return 1;
  M().Children[c].push_back(o);
  return 0;
}
FAKE int32_t PCBAPI_CALL PcbApi_DeleteObjectFromContainer(uint32_t c, uint32_t o) {
  Log("DeleteObjectFromContainer " + std::to_string(c) + " " + std::to_string(o));
  auto& list = M().Children[c];
  for (auto it = list.begin(); it != list.end(); ++it)
    if (*it == o) { list.erase(it); return 0; }
  return 1;
}
FAKE uint32_t PCBAPI_CALL PcbApi_CreateIterator(uint32_t c, uint8_t kind, uint8_t mode, uint8_t layer) {
  const uint32_t it = M().NextHandle++;
  std::vector<uint32_t> list;
  for (uint32_t o : M().Children[c])
    if ((kind == 0 || M().Kinds[o] == kind) && (layer == 0 || M().Layers[o] == layer)) list.push_back(o);
  M().Iterators[it] = list;
  M().IteratorPos[it] = 0;
  Log("CreateIterator " + std::to_string(c) + " " + std::to_string(kind) + " " + std::to_string(mode) +
      " " + std::to_string(layer) + " -> " + std::to_string(it));
  return it;
}
FAKE uint32_t PCBAPI_CALL PcbApi_GetFirstObject(uint32_t it) {
  M().IteratorPos[it] = 0;
  auto& list = M().Iterators[it];
  return list.empty() ? 0 : list[M().IteratorPos[it]++];
}
FAKE uint32_t PCBAPI_CALL PcbApi_GetNextObject(uint32_t it) {
  auto& list = M().Iterators[it];
  size_t& pos = M().IteratorPos[it];
  return pos < list.size() ? list[pos++] : 0;
}
FAKE void PCBAPI_CALL PcbApi_DestroyIterator(uint32_t it) {
  M().Iterators.erase(it);
  Log("DestroyIterator " + std::to_string(it));
}
FAKE int32_t PCBAPI_CALL PcbApi_GetObjectBitField2(uint8_t d, uint32_t h, uint8_t* p) { return Rec("BitField2", d, h, p); }
FAKE int32_t PCBAPI_CALL PcbApi_GetObjectBitField3(uint8_t d, uint32_t h, uint16_t* p) { return Rec("BitField3", d, h, p); }
FAKE int32_t PCBAPI_CALL PcbApi_QueryObjectBoundingRectangle(uint32_t h, int32_t* a, int32_t* b, int32_t* c, int32_t* e) {
  return Rec("Bounds", 1, h, a, b, c, e);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryObjectImport_FromUser(uint32_t h) { return static_cast<int32_t>(h % 2); }
FAKE int32_t PCBAPI_CALL PcbApi_QueryObjectGraphicallyInvalidate(uint32_t h) { Log("Invalidate " + std::to_string(h)); return 0; }

FAKE int32_t PCBAPI_CALL PcbApi_QueryPrimitive(uint8_t d, uint32_t h, uint16_t* f, uint16_t* w, uint8_t* l, uint32_t* n, uint32_t* el, uint8_t* eb) {
  return Rec("Primitive", d, h, f, w, Lay{l}, n, el, eb);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryTrack(uint8_t d, uint32_t h, uint16_t* f, uint16_t* w, uint8_t* l, uint32_t* n, uint8_t* eb, uint32_t* el,
    int32_t* x, int32_t* y, int32_t* x2, int32_t* y2, int32_t* wd, int32_t* a1, int32_t* a2, int32_t* a3) {
  return Rec("Track", d, h, f, w, Lay{l}, n, eb, el, x, y, x2, y2, wd, a1, a2, a3);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryArc(uint8_t d, uint32_t h, uint16_t* f, uint16_t* w, uint8_t* l, uint32_t* n, uint8_t* eb, uint32_t* el,
    int32_t* x, int32_t* y, int32_t* r, double* sa, double* ea, int32_t* wd, int32_t* a1) {
  return Rec("Arc", d, h, f, w, Lay{l}, n, eb, el, x, y, r, sa, ea, wd, a1);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryFill(uint8_t d, uint32_t h, uint16_t* f, uint16_t* w, uint8_t* l, uint32_t* n, uint8_t* eb, uint32_t* el,
    int32_t* x, int32_t* y, int32_t* x2, int32_t* y2, int32_t* a1, double* rot) {
  return Rec("Fill", d, h, f, w, Lay{l}, n, eb, el, x, y, x2, y2, a1, rot);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryVia(uint8_t d, uint32_t h, uint16_t* f, uint16_t* w, uint8_t* l, uint32_t* n, uint8_t* eb, uint32_t* el,
    int32_t* x, int32_t* y, int32_t* s, int32_t* hs, uint8_t* sl, uint8_t* elay) {
  return Rec("Via", d, h, f, w, Lay{l}, n, eb, el, x, y, s, hs, sl, elay);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryText(uint8_t d, uint32_t h, uint16_t* f, uint16_t* w, uint8_t* l, uint32_t* n, uint8_t* eb, uint32_t* el,
    int32_t* x, int32_t* y, int32_t* ht, int32_t* font, double* rot, uint8_t* mir, uint8_t* text, int32_t* sw, int32_t* a2, int32_t* a3) {
  return Rec("Text", d, h, f, w, Lay{l}, n, eb, el, x, y, ht, font, rot, mir, Str{text, 254}, sw, a2, a3);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryPad(uint8_t d, uint32_t h, uint16_t* f, uint16_t* w, uint8_t* l, uint32_t* n, uint8_t* eb, uint32_t* el,
    int32_t* x, int32_t* y, int32_t* tx, int32_t* ty, int32_t* mx, int32_t* my, int32_t* bx, int32_t* by, int32_t* hs,
    uint8_t* ts, uint8_t* ms, uint8_t* bs, uint8_t* name, uint8_t* pa1, uint8_t* pa2, double* rot) {
  return Rec("Pad", d, h, f, w, Lay{l}, n, eb, el, x, y, tx, ty, mx, my, bx, by, hs, ts, ms, bs, Str{name, 20}, pa1, pa2, rot);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryPolygon(uint8_t d, uint32_t h, uint16_t* f, uint16_t* w, uint8_t* l, uint32_t* n, uint8_t* eb,
    uint8_t* ri, uint8_t* pa1, uint8_t* po, int32_t* gs, int32_t* tw, uint8_t* pa2, uint8_t* hst, int32_t* pa3, uint8_t* oip,
    int32_t* vc, pcbabi::TVertexRecord* v) {
  // The vertex array travels as a whole; the log shows the first vertex and
  // the one at index 500.
  std::vector<uint8_t>& stored = M().Vertices[h];
  constexpr size_t kBytes = sizeof(pcbabi::TVertexRecord) * pcbabi::kVertexRecords;
  if (d == 1) {
    if (!stored.empty()) std::memcpy(v, stored.data(), kBytes);
  } else {
    stored.assign(reinterpret_cast<const uint8_t*>(v), reinterpret_cast<const uint8_t*>(v) + kBytes);
  }
  const int32_t status = Rec("Polygon", d, h, f, w, Lay{l}, n, eb, ri, pa1, po, gs, tw, pa2, hst, pa3, oip, vc);
  pcbabi::TVertexRecord first, last;
  std::memcpy(&first, &v[0], sizeof first);
  std::memcpy(&last, &v[500], sizeof last);
  M().Log.back() += " | " + std::to_string(first.Kind) + " " + std::to_string(first.X) + " " + std::to_string(first.Y) +
                    " ... " + std::to_string(last.X) + " " + std::to_string(last.Y);
  return status;
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryComponentChannelOffset(uint8_t d, uint32_t h, int32_t* p) { return Rec("ChannelOffset", d, h, p); }
FAKE int32_t PCBAPI_CALL PcbApi_QueryComponentKind(uint8_t d, uint32_t h, uint8_t* p) { return Rec("ComponentKind", d, h, p); }
FAKE int32_t PCBAPI_CALL PcbApi_QueryComponent(uint8_t d, uint32_t h, uint16_t* f, uint16_t* w, uint8_t* l, uint8_t* eb, uint32_t* dt,
    uint32_t* ct, uint8_t* pat, uint8_t* dv, uint8_t* cv, int32_t* x, int32_t* y, int32_t* ca1, double* rot, uint8_t* ca2) {
  return Rec("Component", d, h, f, w, Lay{l}, eb, dt, ct, Str{pat, 250}, dv, cv, x, y, ca1, rot, ca2);
}
// PcbApi_QueryComponentEx is left out on purpose.
FAKE int32_t PCBAPI_CALL PcbApi_QueryComponentSourceLinks(uint8_t d, uint32_t h, uint8_t* s1, uint8_t* s2, uint8_t* s3, uint8_t* s4,
    uint8_t* s5, uint8_t* s6, uint8_t* s7) {
  return Rec("SourceLinks", d, h, PS(s1), PS(s2), PS(s3), PS(s4), PS(s5), PS(s6), PS(s7));
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryNet(uint8_t d, uint32_t h, uint16_t* w, uint8_t* name, uint8_t* a1, uint8_t* a2) {
  return Rec("Net", d, h, w, PS(name), a1, a2);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryClass(uint8_t d, uint32_t h, uint16_t* w, uint8_t* mk, uint8_t* ca, uint8_t* name) {
  return Rec("Class", d, h, w, mk, ca, PS(name));
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryFromTo(uint8_t d, uint32_t h, uint16_t* w, int32_t* x, int32_t* y, uint8_t* fl, int32_t* x2,
    int32_t* y2, uint8_t* tl, uint32_t* n) {
  return Rec("FromTo", d, h, w, x, y, fl, x2, y2, tl, n);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryManualFromTo(uint8_t d, uint32_t h, uint16_t* w, uint8_t* s1, uint8_t* s2, uint8_t* s3, int32_t* v) {
  return Rec("ManualFromTo", d, h, w, PS(s1), PS(s2), PS(s3), v);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryCoordinate(uint8_t d, uint32_t h, uint16_t* f, uint16_t* w, uint8_t* eb, int32_t* x, int32_t* y,
    uint8_t* l, int32_t* a, int32_t* b, int32_t* c, int32_t* e, int32_t* g, int32_t* k) {
  return Rec("Coordinate", d, h, f, w, eb, x, y, Lay{l}, a, b, c, e, g, k);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryDimension(uint8_t d, uint32_t h, int32_t* a0, int32_t* a1, int32_t* a2, int32_t* a3, int32_t* a4,
    int32_t* a5, int32_t* a6, int32_t* a7, int32_t* a8, int32_t* a9, int32_t* a10, int32_t* a11) {
  return Rec("Dimension", d, h, a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryExtDimension(uint8_t d, uint32_t h, int32_t* a0, int32_t* a1, int32_t* a2, int32_t* a3, int32_t* a4,
    int32_t* a5, int32_t* a6, int32_t* a7) {
  return Rec("ExtDimension", d, h, a0, a1, a2, a3, a4, a5, a6, a7);
}
FAKE int32_t PCBAPI_CALL PcbApi_References_Count(uint32_t h, int32_t* count) {
  *count = M().ReferenceCounts[h];
  return 0;
}
FAKE int32_t PCBAPI_CALL PcbApi_References_At(uint8_t d, uint32_t h, int32_t i, int32_t* a, int32_t* b, int32_t* c, int32_t* e) {
  return RecAt("Reference", d, h, i, a, b, c, e);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryRule(uint8_t d, uint32_t h, int32_t* a0, int32_t* a1, int32_t* a2, int32_t* a3, int32_t* a4,
    int32_t* a5, int32_t* a6, int32_t* a7, int32_t* a8, int32_t* a9, int32_t* a10, int32_t* a11, int32_t* a12, int32_t* a13,
    int32_t* a14, int32_t* a15, int32_t* a16, int32_t* a17, int32_t* a18, int32_t* a19, int32_t* a20, int32_t* a21, int32_t* a22) {
  return Rec("Rule", d, h, a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17, a18, a19, a20, a21, a22);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryRuleExt(uint8_t d, uint32_t h, uint8_t* k, uint8_t* a1, uint8_t* a2) { return Rec("RuleExt", d, h, k, a1, a2); }
FAKE int32_t PCBAPI_CALL PcbApi_QueryRuleExtEx(uint8_t d, uint32_t h, uint8_t* name) { return Rec("RuleExtEx", d, h, PS(name)); }

FAKE int32_t PCBAPI_CALL PcbApi_QueryPadStackMode(uint8_t d, uint32_t h, uint8_t* m) { return Rec("StackMode", d, h, m); }
FAKE int32_t PCBAPI_CALL PcbApi_QueryPadOrViaShapeOnLayer(uint32_t h, uint8_t layer, uint8_t* shape) {
  auto& entry = M().PadLayers[{h, layer}];
  *shape = std::get<0>(entry);
  Log("QueryShapeOnLayer " + std::to_string(h) + " " + std::to_string(layer) + " : " + std::to_string(*shape));
  return StatusOf("QueryShapeOnLayer");
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryPadOrViaSizeOnLayer(uint32_t h, uint8_t layer, int32_t* x, int32_t* y) {
  auto& entry = M().PadLayers[{h, layer}];
  *x = std::get<1>(entry);
  *y = std::get<2>(entry);
  Log("QuerySizeOnLayer " + std::to_string(h) + " " + std::to_string(layer) + " : " + std::to_string(*x) + " " + std::to_string(*y));
  return StatusOf("QuerySizeOnLayer");
}
FAKE int32_t PCBAPI_CALL PcbApi_SetPadShapeOnLayer(uint32_t h, uint8_t layer, uint8_t shape) {
  std::get<0>(M().PadLayers[{h, layer}]) = shape;
  Log("SetShapeOnLayer " + std::to_string(h) + " " + std::to_string(layer) + " : " + std::to_string(shape));
  return 0;
}
FAKE int32_t PCBAPI_CALL PcbApi_SetPadSizeOnLayer(uint32_t h, uint8_t layer, int32_t x, int32_t y) {
  auto& entry = M().PadLayers[{h, layer}];
  std::get<1>(entry) = x;
  std::get<2>(entry) = y;
  Log("SetSizeOnLayer " + std::to_string(h) + " " + std::to_string(layer) + " : " + std::to_string(x) + " " + std::to_string(y));
  return 0;
}

FAKE int32_t PCBAPI_CALL PcbApi_GetMemberFromClassAt(uint32_t h, int32_t i, uint8_t* buffer) {
  const auto& members = M().Members[h];
  Log("GetMemberFromClassAt " + std::to_string(h) + " " + std::to_string(i));
  if (i < 0 || static_cast<size_t>(i) >= members.size()) return 1;
  const std::string& name = members[static_cast<size_t>(i)];
  buffer[0] = static_cast<uint8_t>(std::min<size_t>(name.size(), 255));
  std::memcpy(buffer + 1, name.data(), buffer[0]);
  return 0;
}
FAKE int32_t PCBAPI_CALL PcbApi_AddMemberToClass(uint32_t h, const uint8_t* name) {
  M().Members[h].push_back(ShortText(name));
  Log("AddMemberToClass " + std::to_string(h) + " '" + ShortText(name) + "'");
  return StatusOf("AddMemberToClass");
}
FAKE int32_t PCBAPI_CALL PcbApi_RemoveAllMembersFromClass(uint32_t h) {
  M().Members[h].clear();
  Log("RemoveAllMembersFromClass " + std::to_string(h));
  return StatusOf("RemoveAllMembersFromClass");
}

FAKE void PCBAPI_CALL PcbApi_SetState_DeleteAllSubScopes(uint32_t h, uint8_t scope) {
  M().Scopes[{h, scope}].clear();
  Log("DeleteAllSubScopes " + std::to_string(h) + " " + std::to_string(scope));
}
FAKE void PCBAPI_CALL PcbApi_SetState_AddSubscope(uint32_t h, uint8_t scope, uint8_t kind, const uint8_t* name, uint8_t layer,
    uint8_t kinds, int32_t v1, int32_t v2, int32_t v3, int32_t v4) {
  M().Scopes[{h, scope}].push_back({kind, layer, kinds, ShortText(name), {v1, v2, v3, v4}});
  Log("AddSubscope " + std::to_string(h) + " " + std::to_string(scope) + " " + std::to_string(kind) + " '" + ShortText(name) +
      "' " + std::to_string(layer) + " " + std::to_string(kinds) + " " + std::to_string(v1) + " " + std::to_string(v2) + " " +
      std::to_string(v3) + " " + std::to_string(v4));
}
FAKE int32_t PCBAPI_CALL PcbApi_GetState_SubScopesCount(uint32_t h, uint8_t scope) {
  return static_cast<int32_t>(M().Scopes[{h, scope}].size());
}
FAKE void PCBAPI_CALL PcbApi_GetState_SubscopeAt(uint32_t h, uint8_t scope, int32_t i, uint8_t* kind, uint8_t* name, uint8_t* layer,
    uint8_t* kinds, int32_t* v1, int32_t* v2, int32_t* v3, int32_t* v4) {
  const auto& list = M().Scopes[{h, scope}];
  if (i < 0 || static_cast<size_t>(i) >= list.size()) return;
  const auto& s = list[static_cast<size_t>(i)];
  *kind = s.Kind;
  name[0] = static_cast<uint8_t>(std::min<size_t>(s.Name.size(), 255));
  std::memcpy(name + 1, s.Name.data(), name[0]);
  *layer = s.Layer;
  *kinds = s.Kinds;
  *v1 = s.V[0]; *v2 = s.V[1]; *v3 = s.V[2]; *v4 = s.V[3];
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryRuleClearanceConstraint(uint8_t d, uint32_t h, int32_t* g) { return Rec("Clearance", d, h, g); }
FAKE int32_t PCBAPI_CALL PcbApi_QueryRuleMaxMinWidthConstraintExt(uint8_t d, uint32_t h, int32_t* a, int32_t* b, int32_t* c) { return Rec("Width", d, h, a, b, c); }
FAKE int32_t PCBAPI_CALL PcbApi_QueryRuleMaxMinLengthConstraint(uint8_t d, uint32_t h, int32_t* a, int32_t* b) { return Rec("Length", d, h, a, b); }
FAKE int32_t PCBAPI_CALL PcbApi_QueryRuleRoutingViaStyleRuleExt(uint8_t d, uint32_t h, int32_t* a, int32_t* b, int32_t* c, int32_t* e,
    int32_t* f, int32_t* g) {
  return Rec("ViaStyle", d, h, a, b, c, e, f, g);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryRuleConfinementConstraint(uint8_t d, uint32_t h, uint8_t* k, int32_t* a, int32_t* b, int32_t* c,
    int32_t* e, uint8_t* l) {
  return Rec("Confinement", d, h, k, a, b, c, e, l);
}

FAKE int32_t PCBAPI_CALL PcbApi_QueryBoard(uint8_t d, uint32_t h, int32_t* aux, uint8_t* file, int32_t* a0, int32_t* a1, int32_t* a2,
    int32_t* a3, int32_t* a4, int32_t* a5, int32_t* a6, int32_t* a7) {
  return Rec("Board", d, h, aux, PS(file), a0, a1, a2, a3, a4, a5, a6, a7);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardGridsEx(uint8_t d, uint32_t h, int32_t* a, int32_t* b, int32_t* c, int32_t* e, int32_t* f, int32_t* g) {
  return Rec("Grids", d, h, a, b, c, e, f, g);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardLayerInfo(uint8_t d, uint32_t h, uint8_t layer, int32_t* info, int32_t* a, int32_t* b) {
  return RecAt("LayerInfo", d, h, layer, info, a, b);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardLayerPairsCount(uint32_t h, int32_t* count) {
  long long n = 0;
  for (const auto& [key, values] : M().Records)
    if (std::get<0>(key) == "LayerPair" && std::get<1>(key) == h) n = std::max(n, std::get<2>(key) + 1);
  *count = static_cast<int32_t>(n);
  return M().PairCountStatus;
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardLayerPairAt(uint8_t d, uint32_t h, int32_t i, uint8_t* l1, uint8_t* l2, uint8_t* a2, uint8_t* a1) {
  return RecAt("LayerPair", d, h, i, l1, l2, a2, a1);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardOutputOptions(uint8_t d, uint32_t h, int32_t* a, int32_t* b, int32_t* c, int32_t* e, int32_t* f, int32_t* g) {
  return Rec("Output", d, h, a, b, c, e, f, g);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardOutputOptionsPlotLayers(uint8_t d, uint32_t h, int32_t i, uint8_t* p) { return RecAt("PlotLayer", d, h, i, p); }
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardOutputOptionsFlipLayers(uint8_t d, uint32_t h, int32_t i, uint8_t* p) { return RecAt("FlipLayer", d, h, i, p); }
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardGerberOptions(uint8_t d, uint32_t h, int32_t* a, int32_t* b, int32_t* c, int32_t* e, int32_t* f,
    int32_t* g, int32_t* k, int32_t* m) {
  return Rec("Gerber", d, h, a, b, c, e, f, g, k, m);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardPrinterOptions(uint8_t d, uint32_t h, int32_t* a, int32_t* b, int32_t* c, int32_t* e, int32_t* f, int32_t* g) {
  return Rec("Printer", d, h, a, b, c, e, f, g);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardPrinterOptionsPlotterPen(uint8_t d, uint32_t h, int32_t i, int32_t* a, int32_t* b) {
  return RecAt("Pen", d, h, i, a, b);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardPrinterOptionsCompositeLayer(uint8_t d, uint32_t h, uint8_t i, uint8_t* p) { return RecAt("Composite", d, h, i, p); }
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardAdvancedPlacerOptions(uint8_t d, uint32_t h, int32_t* a, int32_t* b, int32_t* c, int32_t* e, int32_t* f, int32_t* g) {
  return Rec("Placer", d, h, a, b, c, e, f, g);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardEngineeringChangeOrderOptions(uint8_t d, uint32_t h, int32_t* a, int32_t* b, int32_t* c, int32_t* e) {
  return Rec("ChangeOrder", d, h, a, b, c, e);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryBoardExternalDielectrics(uint8_t d, uint32_t h, uint8_t* tm, uint8_t* tt, double* tc, int32_t* th,
    uint8_t* bm, uint8_t* bt, double* bc, int32_t* bh) {
  return Rec("ExternalDielectrics", d, h, PS(tm), tt, tc, th, PS(bm), bt, bc, bh);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryLayer(uint8_t d, uint8_t layer, uint32_t board, uint8_t* name, int32_t* ct, uint8_t* a1, uint8_t* a2,
    uint8_t* prev, uint8_t* next, uint8_t* a3) {
  return RecAt("Layer", d, board, layer, PS(name), ct, a1, a2, prev, next, a3);
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryInternalPlane(uint8_t d, uint8_t layer, uint32_t board, uint8_t* name, int32_t* ct, uint8_t* a1,
    uint8_t* a2, uint8_t* prev, uint8_t* next, uint8_t* net) {
  return RecAt("InternalPlane", d, board, layer, PS(name), ct, a1, a2, prev, next, PS(net));
}
FAKE int32_t PCBAPI_CALL PcbApi_QueryLayerDielectric(uint8_t d, uint8_t layer, uint32_t board, uint8_t* m, uint8_t* t, double* c, int32_t* ht) {
  return RecAt("Dielectric", d, board, layer, PS(m), t, c, ht);
}

FAKE void PCBAPI_CALL PcbApi_Percent_Init(const uint8_t* title, int32_t total) {
  Log("Percent_Init '" + ShortText(title) + "' " + std::to_string(total));
}
FAKE void PCBAPI_CALL PcbApi_Percent_Update(void) { Log("Percent_Update"); }
FAKE void PCBAPI_CALL PcbApi_Percent_Finish(void) { Log("Percent_Finish"); }
FAKE int32_t PCBAPI_CALL PcbApi_SendCommand(const char* process, char* parameters, uint16_t size, int32_t context) {
  Log(std::string("SendCommand ") + process + " '" + parameters + "' " + std::to_string(size) + " " + std::to_string(context));
  return 0;
}
FAKE void PCBAPI_CALL PcbApi_EventRouter_SendMessage(uint32_t sender, uint32_t receiver, uint16_t code, uint32_t data) {
  Log("SendMessage " + std::to_string(sender) + " " + std::to_string(receiver) + " " + std::to_string(code) + " " + std::to_string(data));
}
FAKE uint32_t PCBAPI_CALL PcbApi_GetBoardHandleFromFullFileName(const uint8_t* name) {
  Log("GetBoardHandleFromFullFileName '" + ShortText(name) + "'");
  for (const auto& [key, values] : M().Records)
    if (std::get<0>(key) == "Board" && values.size() > 1 && values[1].Text == ShortText(name)) return std::get<1>(key);
  return 0;
}

// ---- Test controls ----------------------------------------------------------------

FAKE void FakeHost_Reset() {
  const uint32_t next = M().NextHandle;
  M() = Model();
  M().NextHandle = next;  // handles are never given out twice
}
FAKE const char* FakeHost_Log() {
  M().LogText.clear();
  for (const auto& line : M().Log) M().LogText += line + "\n";
  return M().LogText.c_str();
}
FAKE void FakeHost_ClearLog() { M().Log.clear(); }
// The stored values of a record, as logged; empty when never exchanged.
FAKE const char* FakeHost_Record(const char* fn, uint32_t h, long long index) {
  const auto it = M().Records.find(Key{fn, h, index});
  M().RecordText = it == M().Records.end() ? std::string() : ShowAll(it->second);
  return M().RecordText.c_str();
}
FAKE void FakeHost_SetStatus(const char* fn, int32_t status) { M().Statuses[fn] = status; }
FAKE void FakeHost_SetPairCountStatus(int32_t status) { M().PairCountStatus = status; }
FAKE void FakeHost_SetReferenceCount(uint32_t h, int32_t n) { M().ReferenceCounts[h] = n; }
FAKE void FakeHost_SetCurrentBoard(uint32_t h) { M().CurrentBoard = h; }
FAKE void FakeHost_SetPadLayer(uint32_t h, uint8_t layer, uint8_t shape, int32_t x, int32_t y) {
  M().PadLayers[{h, layer}] = {shape, x, y};
}
FAKE void FakeHost_AddMember(uint32_t h, const char* name) { M().Members[h].push_back(name); }
FAKE void FakeHost_SetKind(uint32_t h, uint8_t kind) { M().Kinds[h] = kind; }
// clang-format on

// Every exported host function has exactly the type the plug-ins call it with.
#define FAKE_CHECK_TYPE(name, ret, params) \
  static_assert(std::is_same_v<decltype(&name), pcbabi::name##_t>, #name);
extern "C" int32_t PCBAPI_CALL PcbApi_QueryComponentEx(uint8_t, uint32_t, int32_t*, uint8_t*, uint8_t*,
                                                       uint8_t*);  // declared only
PCBAPI_CALLED_FUNCTIONS(FAKE_CHECK_TYPE)

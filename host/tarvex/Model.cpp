#include "host/tarvex/Model.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace tarvex {

namespace {

bool SameKindName(const std::string& a, const char* b) {
  const size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    const auto lower = [](char c) {
      return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Kinds a component takes as its primitives.
bool IsComponentPrimitive(uint8_t kind) {
  switch (kind) {
    case kArc: case kPad: case kVia: case kTrack: case kText: case kFill: case kPolygon:
    case kDimension: case kCoordinate: return true;
    default: return false;
  }
}

// Kinds whose record carries a net.
bool CanJoinNet(uint8_t kind) {
  switch (kind) {
    case kArc: case kPad: case kVia: case kTrack: case kText: case kFill: case kFromTo:
    case kPolygon: case kBoardOutline: return true;
    default: return false;
  }
}

// A rotation by a multiple of 90 degrees is exact.
void SinCos(double degrees, double& s, double& c) {
  const double r = NormalizeAngle(degrees);
  if (r == 0.0) { s = 0; c = 1; return; }
  if (r == 90.0) { s = 1; c = 0; return; }
  if (r == 180.0) { s = 0; c = -1; return; }
  if (r == 270.0) { s = -1; c = 0; return; }
  const double rad = r * 0.017453292519943295769;
  s = std::sin(rad);
  c = std::cos(rad);
}

void Extend(double& x1, double& y1, double& x2, double& y2, double x, double y) {
  x1 = std::min(x1, x); y1 = std::min(y1, y);
  x2 = std::max(x2, x); y2 = std::max(y2, y);
}

// Bounding box of a rectangle [-hw, hw] x [-hh, hh] (offset by ox, oy in its
// own frame) rotated by `degrees` about (cx, cy), added to the box.
void ExtendRotatedRect(double& x1, double& y1, double& x2, double& y2, double cx, double cy,
                       double lx1, double ly1, double lx2, double ly2, double degrees) {
  double s, c;
  SinCos(degrees, s, c);
  const double xs[2] = {lx1, lx2}, ys[2] = {ly1, ly2};
  for (double lx : xs)
    for (double ly : ys) Extend(x1, y1, x2, y2, cx + lx * c - ly * s, cy + lx * s + ly * c);
}

}  // namespace

int32_t RoundCoord(double value) {
  if (std::isnan(value)) return 0;
  const double r = std::nearbyint(value);
  if (r <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  if (r >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(r);
}

double NormalizeAngle(double degrees) {
  if (!std::isfinite(degrees)) return 0.0;
  double r = std::fmod(degrees, 360.0);
  if (r < 0) r += 360.0;
  if (r >= 360.0 || r == 0.0) r = 0.0;  // also turns -0 into 0
  return r;
}

uint8_t FlipLayer(uint8_t layer) {
  switch (layer) {
    case kTopLayer: return kBottomLayer;
    case kBottomLayer: return kTopLayer;
    case kTopOverlay: return kBottomOverlay;
    case kBottomOverlay: return kTopOverlay;
    case kTopPaste: return kBottomPaste;
    case kBottomPaste: return kTopPaste;
    case kTopSolder: return kBottomSolder;
    case kBottomSolder: return kTopSolder;
    default: return layer;
  }
}

Model& TheModel() {
  static Model model;
  return model;
}

Model::Model() { Reset(); }

void Model::Reset() {
  objects_.Restart(nextHandle_);
  documents_.clear();
  iterators_.clear();
  current_ = 0;
  defaults_ = Defaults{};
  progress_.clear();
  progressOpen_ = false;
  strayProgress_ = 0;
  progressStep_ = &strayProgress_;
  notifyAt_ = kNever;
  observer_ = nullptr;
  dialogPrompt_ = nullptr;
  events_.clear();
  commands_.clear();
  dialogAnswers_.clear();
  standingDialogAnswer_ = "Result=False";
}

// ---- Documents ----------------------------------------------------------------

void Model::InitDocument(Document& d) {
  for (int id = 1; id < kLayerCount; ++id) {
    LayerState& l = d.Layers[static_cast<size_t>(id)];
    l = LayerState{};
    l.Name = LayerDisplayName(id);
    l.Info = 1;
  }
  // A new board is a two-layer board: the stack runs from the top layer
  // straight to the bottom layer.
  d.Layers[kTopLayer].NextLayer = kBottomLayer;
  d.Layers[kBottomLayer].PrevLayer = kTopLayer;
  d.LayerPairs = {LayerPair{kTopLayer, kBottomLayer, 0, 0}};
  // Option records: plausible values of a new board, carried as the plug-ins
  // give them back.
  d.Grids = {100000, 100000, 200000, 200000, 10000, 10000};
  d.OutputOptions = {0, 1, 0, 1, 0, 0};
  for (int i = 1; i <= pcbabi::kPlotLayerCount; ++i) {
    d.PlotLayers[static_cast<size_t>(i)] = (i == kTopLayer || i == kBottomLayer ||
                                            i == kTopOverlay) ? 1 : 0;
    d.FlipLayers[static_cast<size_t>(i)] = 0;
  }
  d.GerberOptions = {2, 4, 1, 0, 0, 0, 0, 0};
  d.PrinterOptions = {0, 1, 100, 0, 0, 0};
  for (int pen = 1; pen <= pcbabi::kPlotterPenCount; ++pen)
    d.PlotterPens[static_cast<size_t>(pen)] = {pen, 100000};
  for (int id = 1; id < kLayerCount; ++id) d.CompositeLayers[static_cast<size_t>(id)] = 0;
  d.CompositeLayers[kTopLayer] = 1;
  d.CompositeLayers[kBottomLayer] = 1;
  d.PlacerOptions = {0, 0, 0, 0, 0, 0};
  d.ChangeOrderOptions = {0, 0, 0, 0};
  d.TopDielectric = Dielectric{};
  d.BottomDielectric = Dielectric{};
}

THandle Model::NewDocument(const std::string& kind, const std::string& path) {
  std::string canonical;
  if (SameKindName(kind, "PCB")) canonical = "PCB";
  else if (SameKindName(kind, "PCBLib")) canonical = "PCBLib";
  else return 0;
  auto d = std::make_unique<Document>();
  d->Board = NewHandle();
  d->Kind = canonical;
  d->Path = path;
  InitDocument(*d);
  const THandle board = d->Board;
  documents_.push_back(std::move(d));
  return board;
}

bool Model::MakeCurrent(THandle board) {
  if (board != 0 && !DocumentOf(board)) return false;
  current_ = board;
  return true;
}

std::vector<THandle> Model::Documents() const {
  std::vector<THandle> boards;
  for (const auto& d : documents_) boards.push_back(d->Board);
  return boards;
}

THandle Model::FindDocument(const std::string& path) const {
  for (const auto& d : documents_)
    if (d->Path == path) return d->Board;
  return 0;
}

Document* Model::DocumentOf(THandle board) {
  if (board == 0) return nullptr;
  for (auto& d : documents_)
    if (d->Board == board) return d.get();
  return nullptr;
}

const Document* Model::DocumentOf(THandle board) const {
  return const_cast<Model*>(this)->DocumentOf(board);
}

const Document* Model::GetDocument(THandle board) const { return DocumentOf(board); }
Document* Model::GetDocumentMutable(THandle board) { return DocumentOf(board); }

bool Model::AddLibraryComponent(THandle board, const std::string& name) {
  Document* d = DocumentOf(board);
  if (!d || !d->IsLibrary()) return false;
  LibraryComponent component;
  component.Name = name.substr(0, pcbabi::kNameChars);
  d->Library.push_back(std::move(component));
  d->CurrentComponent = static_cast<int>(d->Library.size()) - 1;
  return true;
}

bool Model::SetCurrentLibraryComponent(THandle board, int index) {
  Document* d = DocumentOf(board);
  if (!d || !d->IsLibrary() || index < 0 || index >= static_cast<int>(d->Library.size()))
    return false;
  d->CurrentComponent = index;
  return true;
}

Model::BoardObjects Model::BoardList(Document& d, int index) {
  if (!d.IsLibrary()) return {&d.Objects, &d.ObjectsByKind};
  if (index == -2) index = d.CurrentComponent;
  if (index < 0 || index >= static_cast<int>(d.Library.size())) return {};
  LibraryComponent& c = d.Library[static_cast<size_t>(index)];
  return {&c.Objects, &c.ObjectsByKind};
}

Model::BoardObjects Model::BoardList(const Document& d) const {
  return const_cast<Model*>(this)->BoardList(const_cast<Document&>(d));
}

// ---- Objects ------------------------------------------------------------------

const Object* Model::GetObject(THandle handle) const {
  return objects_.Find(handle);
}

Object* Model::GetObjectMutable(THandle handle) {
  return objects_.Find(handle);
}

std::vector<THandle> Model::AllObjects() const {
  std::vector<THandle> all;
  all.reserve(objects_.size());
  objects_.ForEach([&](THandle handle, const Object&) { all.push_back(handle); });
  return all;
}

Object* Model::ObjectOfKind(THandle handle, std::initializer_list<uint8_t> kinds) {
  Object* o = GetObjectMutable(handle);
  if (!o) return nullptr;
  if (kinds.size() == 0) return o;
  for (uint8_t k : kinds)
    if (o->Kind == k) return o;
  return nullptr;
}

void Model::InitObject(Object& o) {
  const Defaults& d = defaults_;
  switch (o.Kind) {
    case kTrack:
      o.Layer = d.TrackLayer;
      o.Width = d.TrackWidth;
      break;
    case kArc:
      o.Layer = d.ArcLayer;
      o.Width = d.ArcWidth;
      o.StartAngle = 0.0;
      o.EndAngle = 360.0;
      break;
    case kFill:
      o.Layer = d.FillLayer;
      break;
    case kVia:
      o.Layer = d.ViaLayer;
      o.Size = d.ViaSize;
      o.HoleSize = d.ViaHoleSize;
      o.StartLayer = d.ViaStartLayer;
      o.EndLayer = d.ViaEndLayer;
      break;
    case kPad:
      o.Layer = d.PadLayer;
      o.TopXSize = o.MidXSize = o.BottomXSize = d.PadXSize;
      o.TopYSize = o.MidYSize = o.BottomYSize = d.PadYSize;
      o.TopShape = o.MidShape = o.BottomShape = d.PadShape;
      o.HoleSize = d.PadHoleSize;
      o.StackMode = kStackSimple;
      for (int l = kTopLayer; l <= kBottomLayer; ++l) {
        o.XSizeOnLayer[static_cast<size_t>(l)] = d.PadXSize;
        o.YSizeOnLayer[static_cast<size_t>(l)] = d.PadYSize;
        o.ShapeOnLayer[static_cast<size_t>(l)] = d.PadShape;
      }
      break;
    case kText:
      o.Layer = d.TextLayer;
      o.Height = d.TextHeight;
      o.StrokeWidth = d.TextStrokeWidth;
      o.Font = d.TextFont;
      break;
    case kComponent:
      o.Layer = d.ComponentLayer;
      o.DesignatorVisible = d.DesignatorVisible;
      o.CommentVisible = d.CommentVisible;
      break;
    case kPolygon:
    case kBoardOutline:
      o.Layer = d.PolygonLayer;
      o.GridSize = d.PolygonGridSize;
      o.TrackWidth = d.PolygonTrackWidth;
      o.HatchStyle = d.PolygonHatchStyle;
      o.RemoveIslands = d.PolygonRemoveIslands;
      o.OnInternalPlane = d.PolygonOnInternalPlane;
      o.Vertices.assign(pcbabi::kVertexRecords, pcbabi::TVertexRecord{});
      break;
    case kRule:
      o.ClearanceGap = d.ClearanceGap;
      o.Widths = {d.RuleWidth, d.RuleWidth, d.RuleWidth};
      o.MaxLength = d.MaxLength;
      o.MinLength = d.MinLength;
      o.ViaStyle = {d.RuleViaHoleSize, d.RuleViaHoleSize, d.RuleViaHoleSize,
                    d.RuleViaSize, d.RuleViaSize, d.RuleViaSize};
      o.ConfinementLayer = kTopLayer;
      break;
    default:
      break;
  }
}

THandle Model::CreateObject(uint8_t kind) {
  if (!IsObjectKind(kind)) return 0;
  auto o = std::make_unique<Object>();
  o->Handle = NewHandle();
  o->Kind = kind;
  InitObject(*o);
  const THandle handle = o->Handle;
  Object* component = o.get();
  objects_.Add(handle, std::move(o));
  if (kind == kComponent) {
    // A new component comes with its designator and comment texts.
    const THandle designator = CreateObject(kText);
    const THandle comment = CreateObject(kText);
    component->DesignatorText = designator;
    component->CommentText = comment;
    objects_.Find(designator)->Owner = handle;
    objects_.Find(comment)->Owner = handle;
  }
  return handle;
}

THandle Model::CreateRule(uint8_t ruleKind) {
  const THandle h = CreateObject(kRule);
  objects_.Find(h)->RuleKind = ruleKind;
  return h;
}

THandle Model::CreateClass(uint8_t memberKind) {
  const THandle h = CreateObject(kClass);
  objects_.Find(h)->MemberKind = memberKind;
  return h;
}

void Model::AdoptComponentText(Object& component, THandle text) {
  Object* t = GetObjectMutable(text);
  if (t && t->Kind == kText && t->Owner == 0) t->Owner = component.Handle;
}

// ---- Containers ---------------------------------------------------------------

int32_t Model::AddToContainer(THandle container, THandle object) {
  Object* o = GetObjectMutable(object);
  if (!o) return kFail;
  if (Document* d = DocumentOf(container)) {
    const BoardObjects list = BoardList(*d);
    if (!list.All) return kFail;  // a library document without a component
    if (o->Owner == container) return kOk;
    if (o->Owner != 0) return kFail;  // held by another container
    list.All->push_back(object);
    (*list.ByKind)[o->Kind].push_back(object);
    o->Owner = container;
    o->LibraryComponent = d->IsLibrary() ? d->CurrentComponent : -1;
    return kOk;
  }
  Object* c = GetObjectMutable(container);
  if (!c) return kFail;
  if (c->Kind == kComponent) {
    if (!IsComponentPrimitive(o->Kind)) return kFail;
    if (o->Owner == container &&
        std::find(c->Primitives.begin(), c->Primitives.end(), object) != c->Primitives.end())
      return kOk;
    if (o->Owner != 0) return kFail;
    c->Primitives.push_back(object);
    o->Owner = container;
    return kOk;
  }
  if (c->Kind == kNet) {
    if (!CanJoinNet(o->Kind)) return kFail;
    o->Net = container;
    return kOk;
  }
  return kFail;
}

int32_t Model::DeleteFromContainer(THandle container, THandle object) {
  Object* o = GetObjectMutable(object);
  if (!o) return kFail;
  if (Document* d = DocumentOf(container)) {
    if (o->Owner != container) return kFail;
    const BoardObjects list = BoardList(*d, d->IsLibrary() ? o->LibraryComponent : -2);
    if (!list.All) return kFail;
    const auto it = std::find(list.All->begin(), list.All->end(), object);
    if (it == list.All->end()) return kFail;
    list.All->erase(it);
    std::vector<THandle>& ofKind = (*list.ByKind)[o->Kind];
    ofKind.erase(std::remove(ofKind.begin(), ofKind.end(), object), ofKind.end());
    o->Owner = 0;
    o->LibraryComponent = -1;
    return kOk;
  }
  Object* c = GetObjectMutable(container);
  if (!c) return kFail;
  if (c->Kind == kComponent) {
    const auto it = std::find(c->Primitives.begin(), c->Primitives.end(), object);
    if (it == c->Primitives.end()) return kFail;
    c->Primitives.erase(it);
    o->Owner = 0;
    return kOk;
  }
  if (c->Kind == kNet) {
    if (o->Net != container) return kFail;
    o->Net = 0;
    return kOk;
  }
  return kFail;
}

std::vector<THandle> Model::ContainerObjects(THandle container) const {
  return Matching(container, 0, 0);
}

std::vector<THandle> Model::Matching(THandle container, uint8_t kind, uint8_t layer) const {
  std::vector<THandle> all;
  if (const Document* d = DocumentOf(container)) {
    const BoardObjects list = BoardList(*d);
    if (list.All && kind == 0) {
      all = *list.All;
    } else if (list.All) {
      const auto found = list.ByKind->find(kind);
      if (found != list.ByKind->end()) all = found->second;
    }
  } else if (const Object* c = GetObject(container)) {
    if (c->Kind == kComponent) {
      all = c->Primitives;
    } else if (c->Kind == kNet) {
      objects_.ForEach([&](THandle handle, const Object& object) {
        if (object.Net == container && object.Kind != kNet) all.push_back(handle);
      });
    }
  }
  std::vector<THandle> result;
  for (THandle h : all) {
    const Object* o = GetObject(h);
    if (!o) continue;
    if (kind != 0 && o->Kind != kind) continue;
    if (layer != 0 && o->Layer != layer) continue;
    result.push_back(h);
  }
  return result;
}

THandle Model::CreateIterator(THandle container, uint8_t kind, uint8_t layer) {
  const bool isContainer =
      DocumentOf(container) != nullptr ||
      (GetObject(container) &&
       (GetObject(container)->Kind == kComponent || GetObject(container)->Kind == kNet));
  if (!isContainer) return 0;
  const THandle h = NewHandle();
  Iterator it;
  it.Container = container;
  it.Kind = kind;
  it.Layer = layer;
  // The walk is taken when it starts (PcbApi_GetFirstObject).
  iterators_.emplace(h, std::move(it));
  return h;
}

THandle Model::FirstObject(THandle iterator) {
  const auto found = iterators_.find(iterator);
  if (found == iterators_.end()) return 0;
  Iterator& it = found->second;
  // Every walk starts from what the container holds now.
  it.Items = Matching(it.Container, it.Kind, it.Layer);
  it.Next = 0;
  return NextObject(iterator);
}

THandle Model::NextObject(THandle iterator) {
  const auto found = iterators_.find(iterator);
  if (found == iterators_.end()) return 0;
  Iterator& it = found->second;
  while (it.Next < it.Items.size()) {
    const THandle h = it.Items[it.Next++];
    if (GetObject(h)) return h;
  }
  return 0;
}

void Model::DestroyIterator(THandle iterator) { iterators_.erase(iterator); }

// ---- Pads and vias per layer ------------------------------------------------------

void Model::SetStackMode(Object& pad, uint8_t mode) {
  if (mode == kStackPerLayer && pad.StackMode != kStackPerLayer) {
    // Entering the per-layer stack: each copper layer starts from what the
    // simple stack gave it.
    for (uint8_t l = kTopLayer; l <= kBottomLayer; ++l) {
      int32_t x = 0, y = 0;
      uint8_t shape = 0;
      SizeOnLayer(pad, l, x, y);
      ShapeOnLayer(pad, l, shape);
      pad.XSizeOnLayer[l] = x;
      pad.YSizeOnLayer[l] = y;
      pad.ShapeOnLayer[l] = shape;
    }
  }
  pad.StackMode = mode;
}

bool Model::SizeOnLayer(const Object& o, uint8_t layer, int32_t& x, int32_t& y) const {
  if (!IsCopperLayer(layer)) return false;
  if (o.Kind == kVia) {
    x = y = o.Size;
    return true;
  }
  if (o.Kind != kPad) return false;
  if (o.StackMode == kStackPerLayer) {
    x = o.XSizeOnLayer[layer];
    y = o.YSizeOnLayer[layer];
  } else if (o.StackMode == kStackTopMidBottom && layer == kBottomLayer) {
    x = o.BottomXSize;
    y = o.BottomYSize;
  } else if (o.StackMode == kStackTopMidBottom && layer != kTopLayer) {
    x = o.MidXSize;
    y = o.MidYSize;
  } else {
    x = o.TopXSize;
    y = o.TopYSize;
  }
  return true;
}

bool Model::ShapeOnLayer(const Object& o, uint8_t layer, uint8_t& shape) const {
  if (!IsCopperLayer(layer)) return false;
  if (o.Kind == kVia) {
    shape = kRound;
    return true;
  }
  if (o.Kind != kPad) return false;
  if (o.StackMode == kStackPerLayer) shape = o.ShapeOnLayer[layer];
  else if (o.StackMode == kStackTopMidBottom && layer == kBottomLayer) shape = o.BottomShape;
  else if (o.StackMode == kStackTopMidBottom && layer != kTopLayer) shape = o.MidShape;
  else shape = o.TopShape;
  return true;
}

// ---- Placement ------------------------------------------------------------------

namespace {

// Maps the primitives of a component from its old placement to its new one:
// p' = R(phi) * S * (p - O1) + O2, where S mirrors X when the component
// changes side.
struct PlacementMap {
  double ox1, oy1, ox2, oy2;
  bool mirror;
  double phi;
  double s, c;

  void Point(int32_t& x, int32_t& y) const {
    double dx = static_cast<double>(x) - ox1;
    const double dy = static_cast<double>(y) - oy1;
    if (mirror) dx = -dx;
    x = RoundCoord(ox2 + dx * c - dy * s);
    y = RoundCoord(oy2 + dx * s + dy * c);
  }
  void PointD(double& x, double& y) const {
    double dx = x - ox1;
    const double dy = y - oy1;
    if (mirror) dx = -dx;
    x = ox2 + dx * c - dy * s;
    y = oy2 + dx * s + dy * c;
  }
  // The rotation of a pad, fill or text (their shapes are symmetric about
  // their own axes; a text shows the mirror through its Mirrored flag).
  double Rotation(double r) const {
    if (!mirror && phi == 0.0) return r;
    return NormalizeAngle((mirror ? -r : r) + phi);
  }
};

}  // namespace

void Model::ApplyPlacement(Object& comp, int32_t oldX, int32_t oldY, double oldRotation,
                           uint8_t oldLayer) {
  const bool oldBottom = oldLayer == kBottomLayer;
  const bool newBottom = comp.Layer == kBottomLayer;
  PlacementMap m{};
  m.ox1 = oldX;
  m.oy1 = oldY;
  m.ox2 = comp.X;
  m.oy2 = comp.Y;
  m.mirror = oldBottom != newBottom;
  m.phi = m.mirror ? oldRotation + comp.Rotation : comp.Rotation - oldRotation;
  if (NormalizeAngle(m.phi) == 0.0) m.phi = 0.0;
  SinCos(m.phi, m.s, m.c);
  if (!m.mirror && m.phi == 0.0 && oldX == comp.X && oldY == comp.Y) return;

  std::vector<THandle> moved = comp.Primitives;
  if (comp.DesignatorText) moved.push_back(comp.DesignatorText);
  if (comp.CommentText && comp.CommentText != comp.DesignatorText)
    moved.push_back(comp.CommentText);

  for (THandle h : moved) {
    Object* o = GetObjectMutable(h);
    if (!o || o->Handle == comp.Handle) continue;
    if (m.mirror) o->Layer = FlipLayer(o->Layer);
    switch (o->Kind) {
      case kTrack:
        m.Point(o->X, o->Y);
        m.Point(o->X2, o->Y2);
        break;
      case kArc: {
        m.Point(o->X, o->Y);
        if (m.mirror || m.phi != 0.0) {
          const double sweep = o->EndAngle - o->StartAngle;
          const double start = m.mirror ? 180.0 - o->EndAngle : o->StartAngle;
          o->StartAngle = NormalizeAngle(start + m.phi);
          o->EndAngle = o->StartAngle + sweep;
        }
        break;
      }
      case kFill: {
        double cx = (static_cast<double>(o->X) + o->X2) / 2.0;
        double cy = (static_cast<double>(o->Y) + o->Y2) / 2.0;
        const double hx = static_cast<double>(o->X) - cx, hy = static_cast<double>(o->Y) - cy;
        m.PointD(cx, cy);
        o->X = RoundCoord(cx + hx);
        o->Y = RoundCoord(cy + hy);
        o->X2 = RoundCoord(cx - hx);
        o->Y2 = RoundCoord(cy - hy);
        o->Rotation = m.Rotation(o->Rotation);
        break;
      }
      case kVia:
        m.Point(o->X, o->Y);
        if (m.mirror) {
          o->StartLayer = FlipLayer(o->StartLayer);
          o->EndLayer = FlipLayer(o->EndLayer);
          if (o->StartLayer > o->EndLayer) std::swap(o->StartLayer, o->EndLayer);
        }
        break;
      case kPad:
        m.Point(o->X, o->Y);
        o->Rotation = m.Rotation(o->Rotation);
        if (m.mirror) {
          std::swap(o->TopXSize, o->BottomXSize);
          std::swap(o->TopYSize, o->BottomYSize);
          std::swap(o->TopShape, o->BottomShape);
          std::swap(o->XSizeOnLayer[kTopLayer], o->XSizeOnLayer[kBottomLayer]);
          std::swap(o->YSizeOnLayer[kTopLayer], o->YSizeOnLayer[kBottomLayer]);
          std::swap(o->ShapeOnLayer[kTopLayer], o->ShapeOnLayer[kBottomLayer]);
        }
        break;
      case kText:
        m.Point(o->X, o->Y);
        o->Rotation = m.Rotation(o->Rotation);
        if (m.mirror) o->Mirrored = o->Mirrored ? 0 : 1;
        break;
      case kPolygon:
      case kBoardOutline: {
        const int n = std::clamp(o->VertexCount + 1, 0, static_cast<int>(o->Vertices.size()));
        for (int i = 0; i < n; ++i) {
          pcbabi::TVertexRecord& v = o->Vertices[static_cast<size_t>(i)];
          int32_t x = v.X, y = v.Y;
          m.Point(x, y);
          v.X = x;
          v.Y = y;
        }
        break;
      }
      case kCoordinate:
        m.Point(o->X, o->Y);
        break;
      default:
        break;
    }
  }
}

// ---- Bounding rectangles --------------------------------------------------------

bool Model::Bounds(const Object& o, double& x1, double& y1, double& x2, double& y2,
                   int depth) const {
  constexpr double kBig = std::numeric_limits<double>::max();
  x1 = y1 = kBig;
  x2 = y2 = -kBig;
  switch (o.Kind) {
    case kTrack: {
      const double hw = o.Width / 2.0;
      Extend(x1, y1, x2, y2, o.X - hw, o.Y - hw);
      Extend(x1, y1, x2, y2, o.X + hw, o.Y + hw);
      Extend(x1, y1, x2, y2, o.X2 - hw, o.Y2 - hw);
      Extend(x1, y1, x2, y2, o.X2 + hw, o.Y2 + hw);
      return true;
    }
    case kArc: {
      const double hw = o.Width / 2.0;
      const double r = o.Radius;
      double sweep = o.EndAngle - o.StartAngle;
      const bool full = !std::isfinite(sweep) || std::fabs(sweep) >= 360.0;
      const double start = NormalizeAngle(o.StartAngle);
      sweep = full ? 360.0 : NormalizeAngle(sweep);
      auto at = [&](double deg) {
        double s, c;
        SinCos(deg, s, c);
        Extend(x1, y1, x2, y2, o.X + r * c - hw, o.Y + r * s - hw);
        Extend(x1, y1, x2, y2, o.X + r * c + hw, o.Y + r * s + hw);
      };
      at(start);
      at(start + sweep);
      for (int q = 0; q < 4; ++q) {
        const double a = q * 90.0;
        double d = NormalizeAngle(a - start);
        if (full || d <= sweep) at(a);
      }
      return true;
    }
    case kFill: {
      const double cx = (static_cast<double>(o.X) + o.X2) / 2.0;
      const double cy = (static_cast<double>(o.Y) + o.Y2) / 2.0;
      const double hx = std::fabs(static_cast<double>(o.X2) - o.X) / 2.0;
      const double hy = std::fabs(static_cast<double>(o.Y2) - o.Y) / 2.0;
      ExtendRotatedRect(x1, y1, x2, y2, cx, cy, -hx, -hy, hx, hy, o.Rotation);
      return true;
    }
    case kVia: {
      const double h = o.Size / 2.0;
      Extend(x1, y1, x2, y2, o.X - h, o.Y - h);
      Extend(x1, y1, x2, y2, o.X + h, o.Y + h);
      return true;
    }
    case kPad: {
      int32_t sx = std::max({o.TopXSize, o.MidXSize, o.BottomXSize});
      int32_t sy = std::max({o.TopYSize, o.MidYSize, o.BottomYSize});
      if (o.StackMode == kStackPerLayer) {
        sx = sy = 0;
        for (int l = kTopLayer; l <= kBottomLayer; ++l) {
          sx = std::max(sx, o.XSizeOnLayer[static_cast<size_t>(l)]);
          sy = std::max(sy, o.YSizeOnLayer[static_cast<size_t>(l)]);
        }
      }
      ExtendRotatedRect(x1, y1, x2, y2, o.X, o.Y, -sx / 2.0, -sy / 2.0, sx / 2.0, sy / 2.0,
                        o.Rotation);
      return true;
    }
    case kText: {
      // Stroke font: every character takes two thirds of the height in
      // width; the strokes stand out by half the stroke width all round.
      const double n = static_cast<double>(o.Text.size());
      const double w = n * o.Height * 2.0 / 3.0;
      const double hs = o.StrokeWidth / 2.0;
      double lx1 = -hs, lx2 = w + hs;
      if (o.Mirrored) {
        lx1 = -w - hs;
        lx2 = hs;
      }
      ExtendRotatedRect(x1, y1, x2, y2, o.X, o.Y, lx1, -hs, lx2, o.Height + hs, o.Rotation);
      return true;
    }
    case kComponent: {
      bool any = false;
      if (depth < 2) {
        for (THandle h : o.Primitives) {
          const Object* p = GetObject(h);
          double a, b, c, d;
          if (p && Bounds(*p, a, b, c, d, depth + 1)) {
            Extend(x1, y1, x2, y2, a, b);
            Extend(x1, y1, x2, y2, c, d);
            any = true;
          }
        }
      }
      if (!any) Extend(x1, y1, x2, y2, o.X, o.Y);
      return true;
    }
    case kPolygon:
    case kBoardOutline: {
      const int n = std::clamp(o.VertexCount, 0, static_cast<int>(o.Vertices.size()));
      if (n == 0) return false;
      for (int i = 0; i < n; ++i)
        Extend(x1, y1, x2, y2, o.Vertices[static_cast<size_t>(i)].X,
               o.Vertices[static_cast<size_t>(i)].Y);
      return true;
    }
    case kCoordinate:
      Extend(x1, y1, x2, y2, o.X, o.Y);
      return true;
    case kFromTo:
      Extend(x1, y1, x2, y2, o.X, o.Y);
      Extend(x1, y1, x2, y2, o.X2, o.Y2);
      return true;
    default:
      return false;
  }
}

bool Model::BoundingRectangle(THandle handle, Rect& rect) const {
  const Object* o = GetObject(handle);
  if (!o) return false;
  double x1, y1, x2, y2;
  if (!Bounds(*o, x1, y1, x2, y2, 0)) return false;
  rect = Rect{RoundCoord(x1), RoundCoord(y1), RoundCoord(x2), RoundCoord(y2)};
  return true;
}

// ---- Progress, events, commands -----------------------------------------------------

void Model::PercentInit(const std::string& title, int32_t total) {
  progress_.push_back(ProgressRun{title, total, 0, false});
  progressOpen_ = true;
  progressStep_ = &progress_.back().Updates;
  notifyAt_ = observer_ ? 1 : kNever;
  if (observer_) observer_->ProgressStarted(title, total);
}

void Model::PercentFinish() {
  if (progressOpen_) progress_.back().Finished = true;
  else ++strayProgress_;
  const bool wasOpen = progressOpen_;
  progressOpen_ = false;
  progressStep_ = &strayProgress_;
  notifyAt_ = kNever;
  if (observer_ && wasOpen) observer_->ProgressFinished();
}

void Model::SetProgressObserver(IProgressObserver* observer) {
  observer_ = observer;
  notifyAt_ = observer_ && progressOpen_ ? progress_.back().Updates + 1 : kNever;
}

void Model::NotifyProgress() {
  if (!observer_ || !progressOpen_) {
    notifyAt_ = kNever;
    return;
  }
  const ProgressRun& run = progress_.back();
  const int64_t stride = run.Total > 0 ? std::max<int64_t>(1, run.Total / 1000) : 256;
  notifyAt_ = run.Updates + stride;
  observer_->ProgressStepped(run.Updates);
}

void Model::QueueCommonDialogAnswer(const std::string& answer) { dialogAnswers_.push_back(answer); }

void Model::SetStandingCommonDialogAnswer(const std::string& answer) {
  standingDialogAnswer_ = answer;
}

bool Model::RunCommonDialog(const char* route, char* buffer, int32_t size) {
  if (!buffer || size < 1) return false;
  CommandRecord record;
  record.Route = route ? route : "";
  record.Process = "Client:RunCommonDialog";
  const void* end = std::memchr(buffer, 0, static_cast<size_t>(size));
  record.Request.assign(buffer, end ? static_cast<const char*>(end) - buffer
                                    : static_cast<ptrdiff_t>(size));
  std::string answer = standingDialogAnswer_;
  if (!dialogAnswers_.empty()) {
    answer = dialogAnswers_.front();
    dialogAnswers_.erase(dialogAnswers_.begin());
  } else if (dialogPrompt_) {
    if (std::optional<std::string> given = dialogPrompt_(record.Request)) answer = std::move(*given);
  }
  if (answer.size() > static_cast<size_t>(size - 1)) answer.resize(static_cast<size_t>(size - 1));
  std::memcpy(buffer, answer.data(), answer.size());
  buffer[answer.size()] = '\0';
  record.Answer = answer;
  record.Status = kOk;
  commands_.push_back(std::move(record));
  return true;
}

}  // namespace tarvex

// The PcbApi_ functions of the stand-in host module, exported by their plain
// names with exactly the types of the shared boundary header (checked at the
// end of this file). Every function catches everything: a failure answers the
// failure status (1), a handle of 0 or nothing.
//
// Record functions take the direction first: qdRead (1) copies the host's
// values into the caller's variables, qdWrite (0) and qdWritePlacement (2)
// copy the caller's values into the host object. Any other direction, a
// handle that is not of the record's kind, or a null address answers 1 and
// changes nothing.
#include <cstring>
#include <string>
#include <type_traits>

#include "host/tarvex/Model.h"
#include "hostapi/PcbApiAbi.h"

using tarvex::Document;
using tarvex::kFail;
using tarvex::kOk;
using tarvex::Model;
using tarvex::Object;
using tarvex::TheModel;

namespace {

Model& M() { return TheModel(); }

// Fast path for the progress step, which readers make once per character:
// the model is taken once when the module loads, not through TheModel().
Model& gProgressModel = TheModel();

template <class... P>
bool NonNull(P*... p) {
  return ((p != nullptr) && ...);
}

bool ValidDirection(uint8_t direction) { return direction <= pcbabi::qdWritePlacement; }

template <class F>
int32_t Guard(F&& body) {
  try {
    return body();
  } catch (...) {
    return kFail;
  }
}

std::string ReadShort(const uint8_t* s, int capacity) {
  if (!s) return {};
  const int n = std::min<int>(s[0], capacity);
  return std::string(reinterpret_cast<const char*>(s + 1), static_cast<size_t>(n));
}

void WriteShort(uint8_t* s, const std::string& text, int capacity) {
  const size_t n = std::min(text.size(), static_cast<size_t>(capacity));
  s[0] = static_cast<uint8_t>(n);
  std::memcpy(s + 1, text.data(), n);
}

// Copies one field in the direction of the call.
struct Transfer {
  bool read;
  explicit Transfer(uint8_t direction) : read(direction == pcbabi::qdRead) {}
  template <class P, class F>
  void operator()(P* p, F& field) const {
    if (read) *p = static_cast<P>(field);
    else field = static_cast<F>(*p);
  }
  void Text(uint8_t* p, std::string& field, int capacity) const {
    if (read) WriteShort(p, field, capacity);
    else field = ReadShort(p, capacity);
  }
};

// The object of a record call, or nullptr when the call must answer 1.
template <class... P>
Object* Record(uint8_t direction, uint32_t handle, std::initializer_list<uint8_t> kinds,
               P*... fields) {
  if (!ValidDirection(direction) || !NonNull(fields...)) return nullptr;
  return M().ObjectOfKind(handle, kinds);
}

template <class... P>
Document* BoardRecord(uint8_t direction, uint32_t board, P*... fields) {
  if (!ValidDirection(direction) || !NonNull(fields...)) return nullptr;
  return M().GetDocumentMutable(board);
}

bool ValidLayer(int layer) { return layer >= 1 && layer <= tarvex::kLastLayer; }

}  // namespace

// ---- Objects and containers -------------------------------------------------------

PCB_EXPORT uint32_t PCBAPI_CALL PcbApi_GetCurrentBoardHandle(void) {
  try {
    return M().CurrentBoard();
  } catch (...) {
    return 0;
  }
}

PCB_EXPORT uint32_t PCBAPI_CALL PcbApi_CreateObject(uint8_t kind) {
  try {
    return M().CreateObject(kind);
  } catch (...) {
    return 0;
  }
}

PCB_EXPORT uint32_t PCBAPI_CALL PcbApi_CreateRuleObject(uint8_t ruleKind) {
  try {
    return M().CreateRule(ruleKind);
  } catch (...) {
    return 0;
  }
}

PCB_EXPORT uint32_t PCBAPI_CALL PcbApi_CreateClassObjectEx(uint8_t memberKind) {
  try {
    return M().CreateClass(memberKind);
  } catch (...) {
    return 0;
  }
}

PCB_EXPORT uint8_t PCBAPI_CALL PcbApi_GetObjectIdFromObjectHandle(uint32_t handle) {
  try {
    const Object* o = M().GetObject(handle);
    return o ? o->Kind : 0;
  } catch (...) {
    return 0;
  }
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_AddObjectToContainer(uint32_t container, uint32_t object) {
  return Guard([&] { return M().AddToContainer(container, object); });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_DeleteObjectFromContainer(uint32_t container,
                                                                uint32_t object) {
  return Guard([&] { return M().DeleteFromContainer(container, object); });
}

PCB_EXPORT uint32_t PCBAPI_CALL PcbApi_CreateIterator(uint32_t container, uint8_t kind,
                                                      uint8_t /*mode*/, uint8_t layer) {
  try {
    return M().CreateIterator(container, kind, layer);
  } catch (...) {
    return 0;
  }
}

PCB_EXPORT uint32_t PCBAPI_CALL PcbApi_GetFirstObject(uint32_t iterator) {
  try {
    return M().FirstObject(iterator);
  } catch (...) {
    return 0;
  }
}

PCB_EXPORT uint32_t PCBAPI_CALL PcbApi_GetNextObject(uint32_t iterator) {
  try {
    return M().NextObject(iterator);
  } catch (...) {
    return 0;
  }
}

PCB_EXPORT void PCBAPI_CALL PcbApi_DestroyIterator(uint32_t iterator) {
  try {
    M().DestroyIterator(iterator);
  } catch (...) {
  }
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_GetObjectBitField2(uint8_t direction, uint32_t handle,
                                                         uint8_t* value) {
  return Guard([&] {
    Object* o = Record(direction, handle, {}, value);
    if (!o) return kFail;
    Transfer{direction}(value, o->BitField2);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_GetObjectBitField3(uint8_t direction, uint32_t handle,
                                                         uint16_t* value) {
  return Guard([&] {
    Object* o = Record(direction, handle, {}, value);
    if (!o) return kFail;
    Transfer{direction}(value, o->BitField3);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryObjectBoundingRectangle(uint32_t handle, int32_t* x1,
                                                                   int32_t* y1, int32_t* x2,
                                                                   int32_t* y2) {
  return Guard([&] {
    tarvex::Rect r;
    if (!NonNull(x1, y1, x2, y2) || !M().BoundingRectangle(handle, r)) return kFail;
    *x1 = r.X1;
    *y1 = r.Y1;
    *x2 = r.X2;
    *y2 = r.Y2;
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryObjectImport_FromUser(uint32_t handle) {
  return Guard([&] { return M().GetObject(handle) ? kOk : kFail; });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryObjectGraphicallyInvalidate(uint32_t handle) {
  return Guard([&] {
    return (M().GetObject(handle) || M().GetDocument(handle)) ? kOk : kFail;
  });
}

// ---- Primitive and group records ----------------------------------------------------

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryPrimitive(uint8_t direction, uint32_t handle,
                                                     uint16_t* flags, uint16_t* extraWord,
                                                     uint8_t* layer, uint32_t* net,
                                                     uint32_t* extraLong, uint8_t* extraByte) {
  return Guard([&] {
    Object* o = Record(direction, handle, {}, flags, extraWord, layer, net, extraLong, extraByte);
    if (!o) return kFail;
    const Transfer t(direction);
    t(flags, o->Flags);
    t(extraWord, o->ExtraWord);
    t(layer, o->Layer);
    t(net, o->Net);
    t(extraLong, o->ExtraLong);
    t(extraByte, o->ExtraByte);
    return kOk;
  });
}

namespace {
// The six common fields in the order of the primitive records.
void CommonFields(const Transfer& t, Object& o, uint16_t* flags, uint16_t* extraWord,
                  uint8_t* layer, uint32_t* net, uint8_t* extraByte, uint32_t* extraLong) {
  t(flags, o.Flags);
  t(extraWord, o.ExtraWord);
  t(layer, o.Layer);
  t(net, o.Net);
  t(extraByte, o.ExtraByte);
  t(extraLong, o.ExtraLong);
}
}  // namespace

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryTrack(uint8_t direction, uint32_t handle,
                                                 uint16_t* flags, uint16_t* extraWord,
                                                 uint8_t* layer, uint32_t* net,
                                                 uint8_t* extraByte, uint32_t* extraLong,
                                                 int32_t* x, int32_t* y, int32_t* x2, int32_t* y2,
                                                 int32_t* width, int32_t* aux1, int32_t* aux2,
                                                 int32_t* aux3) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kTrack}, flags, extraWord, layer, net,
                       extraByte, extraLong, x, y, x2, y2, width, aux1, aux2, aux3);
    if (!o) return kFail;
    const Transfer t(direction);
    CommonFields(t, *o, flags, extraWord, layer, net, extraByte, extraLong);
    t(x, o->X);
    t(y, o->Y);
    t(x2, o->X2);
    t(y2, o->Y2);
    t(width, o->Width);
    t(aux1, o->Aux1);
    t(aux2, o->Aux2);
    t(aux3, o->Aux3);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryArc(uint8_t direction, uint32_t handle,
                                               uint16_t* flags, uint16_t* extraWord,
                                               uint8_t* layer, uint32_t* net, uint8_t* extraByte,
                                               uint32_t* extraLong, int32_t* x, int32_t* y,
                                               int32_t* radius, double* startAngle,
                                               double* endAngle, int32_t* width, int32_t* aux1) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kArc}, flags, extraWord, layer, net, extraByte,
                       extraLong, x, y, radius, startAngle, endAngle, width, aux1);
    if (!o) return kFail;
    const Transfer t(direction);
    CommonFields(t, *o, flags, extraWord, layer, net, extraByte, extraLong);
    t(x, o->X);
    t(y, o->Y);
    t(radius, o->Radius);
    t(startAngle, o->StartAngle);
    t(endAngle, o->EndAngle);
    t(width, o->Width);
    t(aux1, o->Aux1);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryFill(uint8_t direction, uint32_t handle,
                                                uint16_t* flags, uint16_t* extraWord,
                                                uint8_t* layer, uint32_t* net, uint8_t* extraByte,
                                                uint32_t* extraLong, int32_t* x, int32_t* y,
                                                int32_t* x2, int32_t* y2, int32_t* aux1,
                                                double* rotation) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kFill}, flags, extraWord, layer, net,
                       extraByte, extraLong, x, y, x2, y2, aux1, rotation);
    if (!o) return kFail;
    const Transfer t(direction);
    CommonFields(t, *o, flags, extraWord, layer, net, extraByte, extraLong);
    t(x, o->X);
    t(y, o->Y);
    t(x2, o->X2);
    t(y2, o->Y2);
    t(aux1, o->Aux1);
    t(rotation, o->Rotation);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryVia(uint8_t direction, uint32_t handle,
                                               uint16_t* flags, uint16_t* extraWord,
                                               uint8_t* layer, uint32_t* net, uint8_t* extraByte,
                                               uint32_t* extraLong, int32_t* x, int32_t* y,
                                               int32_t* size, int32_t* holeSize,
                                               uint8_t* startLayer, uint8_t* endLayer) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kVia}, flags, extraWord, layer, net, extraByte,
                       extraLong, x, y, size, holeSize, startLayer, endLayer);
    if (!o) return kFail;
    const Transfer t(direction);
    CommonFields(t, *o, flags, extraWord, layer, net, extraByte, extraLong);
    t(x, o->X);
    t(y, o->Y);
    t(size, o->Size);
    t(holeSize, o->HoleSize);
    t(startLayer, o->StartLayer);
    t(endLayer, o->EndLayer);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryText(uint8_t direction, uint32_t handle,
                                                uint16_t* flags, uint16_t* extraWord,
                                                uint8_t* layer, uint32_t* net, uint8_t* extraByte,
                                                uint32_t* extraLong, int32_t* x, int32_t* y,
                                                int32_t* height, int32_t* font, double* rotation,
                                                uint8_t* mirrored, uint8_t* text,
                                                int32_t* strokeWidth, int32_t* aux2,
                                                int32_t* aux3) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kText}, flags, extraWord, layer, net,
                       extraByte, extraLong, x, y, height, font, rotation, mirrored, text,
                       strokeWidth, aux2, aux3);
    if (!o) return kFail;
    const Transfer t(direction);
    CommonFields(t, *o, flags, extraWord, layer, net, extraByte, extraLong);
    t(x, o->X);
    t(y, o->Y);
    t(height, o->Height);
    t(font, o->Font);
    t(rotation, o->Rotation);
    t(mirrored, o->Mirrored);
    t.Text(text, o->Text, pcbabi::kTextChars);
    t(strokeWidth, o->StrokeWidth);
    t(aux2, o->Aux2);
    t(aux3, o->Aux3);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryPad(
    uint8_t direction, uint32_t handle, uint16_t* flags, uint16_t* extraWord, uint8_t* layer,
    uint32_t* net, uint8_t* extraByte, uint32_t* extraLong, int32_t* x, int32_t* y,
    int32_t* topXSize, int32_t* topYSize, int32_t* midXSize, int32_t* midYSize,
    int32_t* bottomXSize, int32_t* bottomYSize, int32_t* holeSize, uint8_t* topShape,
    uint8_t* midShape, uint8_t* bottomShape, uint8_t* name, uint8_t* padAux1, uint8_t* padAux2,
    double* rotation) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kPad}, flags, extraWord, layer, net, extraByte,
                       extraLong, x, y, topXSize, topYSize, midXSize, midYSize, bottomXSize,
                       bottomYSize, holeSize, topShape, midShape, bottomShape, name, padAux1,
                       padAux2, rotation);
    if (!o) return kFail;
    const Transfer t(direction);
    CommonFields(t, *o, flags, extraWord, layer, net, extraByte, extraLong);
    t(x, o->X);
    t(y, o->Y);
    t(topXSize, o->TopXSize);
    t(topYSize, o->TopYSize);
    t(midXSize, o->MidXSize);
    t(midYSize, o->MidYSize);
    t(bottomXSize, o->BottomXSize);
    t(bottomYSize, o->BottomYSize);
    t(holeSize, o->HoleSize);
    t(topShape, o->TopShape);
    t(midShape, o->MidShape);
    t(bottomShape, o->BottomShape);
    t.Text(name, o->Name, pcbabi::kPadNameChars);
    t(padAux1, o->PadAux1);
    t(padAux2, o->PadAux2);
    t(rotation, o->Rotation);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryPolygon(
    uint8_t direction, uint32_t handle, uint16_t* flags, uint16_t* extraWord, uint8_t* layer,
    uint32_t* net, uint8_t* extraByte, uint8_t* removeIslands, uint8_t* polyAux1,
    uint8_t* polyOption, int32_t* gridSize, int32_t* trackWidth, uint8_t* polyAux2,
    uint8_t* hatchStyle, int32_t* polyAux3, uint8_t* onInternalPlane, int32_t* vertexCount,
    pcbabi::TVertexRecord* vertices) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kPolygon, tarvex::kBoardOutline}, flags,
                       extraWord, layer, net, extraByte, removeIslands, polyAux1, polyOption,
                       gridSize, trackWidth, polyAux2, hatchStyle, polyAux3, onInternalPlane,
                       vertexCount, vertices);
    if (!o) return kFail;
    const Transfer t(direction);
    // At most 500 vertices and the closing record fit the 501 records.
    if (!t.read && (*vertexCount < 0 || *vertexCount > pcbabi::kVertexRecords - 1)) return kFail;
    if (o->Vertices.size() != static_cast<size_t>(pcbabi::kVertexRecords))
      o->Vertices.assign(pcbabi::kVertexRecords, pcbabi::TVertexRecord{});
    t(flags, o->Flags);
    t(extraWord, o->ExtraWord);
    t(layer, o->Layer);
    t(net, o->Net);
    t(extraByte, o->ExtraByte);
    t(removeIslands, o->RemoveIslands);
    t(polyAux1, o->PolyAux1);
    t(polyOption, o->PolyOption);
    t(gridSize, o->GridSize);
    t(trackWidth, o->TrackWidth);
    t(polyAux2, o->PolyAux2);
    t(hatchStyle, o->HatchStyle);
    t(polyAux3, o->PolyAux3);
    t(onInternalPlane, o->OnInternalPlane);
    t(vertexCount, o->VertexCount);
    const size_t bytes = sizeof(pcbabi::TVertexRecord) * pcbabi::kVertexRecords;
    if (t.read) std::memcpy(static_cast<void*>(vertices), o->Vertices.data(), bytes);
    else std::memcpy(o->Vertices.data(), static_cast<const void*>(vertices), bytes);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryComponentChannelOffset(uint8_t direction,
                                                                  uint32_t handle,
                                                                  int32_t* offset) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kComponent}, offset);
    if (!o) return kFail;
    Transfer{direction}(offset, o->ChannelOffset);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryComponentKind(uint8_t direction, uint32_t handle,
                                                         uint8_t* kind) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kComponent}, kind);
    if (!o) return kFail;
    Transfer{direction}(kind, o->ComponentKind);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryComponent(
    uint8_t direction, uint32_t handle, uint16_t* flags, uint16_t* extraWord, uint8_t* layer,
    uint8_t* extraByte, uint32_t* designatorText, uint32_t* commentText, uint8_t* pattern,
    uint8_t* designatorVisible, uint8_t* commentVisible, int32_t* x, int32_t* y,
    int32_t* compAux1, double* rotation, uint8_t* compAux2) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kComponent}, flags, extraWord, layer,
                       extraByte, designatorText, commentText, pattern, designatorVisible,
                       commentVisible, x, y, compAux1, rotation, compAux2);
    if (!o) return kFail;
    const Transfer t(direction);
    const int32_t oldX = o->X, oldY = o->Y;
    const double oldRotation = o->Rotation;
    const uint8_t oldLayer = o->Layer;
    t(flags, o->Flags);
    t(extraWord, o->ExtraWord);
    t(layer, o->Layer);
    t(extraByte, o->ExtraByte);
    t(designatorText, o->DesignatorText);
    t(commentText, o->CommentText);
    t.Text(pattern, o->Pattern, pcbabi::kPatternChars);
    t(designatorVisible, o->DesignatorVisible);
    t(commentVisible, o->CommentVisible);
    t(x, o->X);
    t(y, o->Y);
    t(compAux1, o->CompAux1);
    t(rotation, o->Rotation);
    t(compAux2, o->CompAux2);
    if (!t.read) {
      M().AdoptComponentText(*o, o->DesignatorText);
      M().AdoptComponentText(*o, o->CommentText);
    }
    if (direction == pcbabi::qdWritePlacement)
      M().ApplyPlacement(*o, oldX, oldY, oldRotation, oldLayer);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryComponentEx(uint8_t direction, uint32_t handle,
                                                       int32_t* extra1, uint8_t* extra2,
                                                       uint8_t* extra3, uint8_t* extra4) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kComponent}, extra1, extra2, extra3, extra4);
    if (!o) return kFail;
    const Transfer t(direction);
    t(extra1, o->CompExtra1);
    t(extra2, o->CompExtra2);
    t(extra3, o->CompExtra3);
    t(extra4, o->CompExtra4);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryComponentSourceLinks(uint8_t direction,
                                                                uint32_t handle, uint8_t* link1,
                                                                uint8_t* link2, uint8_t* link3,
                                                                uint8_t* link4, uint8_t* link5,
                                                                uint8_t* link6, uint8_t* link7) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kComponent}, link1, link2, link3, link4, link5,
                       link6, link7);
    if (!o) return kFail;
    const Transfer t(direction);
    uint8_t* links[7] = {link1, link2, link3, link4, link5, link6, link7};
    for (size_t i = 0; i < 7; ++i) t.Text(links[i], o->SourceLinks[i], pcbabi::kNameChars);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryNet(uint8_t direction, uint32_t handle,
                                               uint16_t* extraWord, uint8_t* name,
                                               uint8_t* netAux1, uint8_t* netAux2) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kNet}, extraWord, name, netAux1, netAux2);
    if (!o) return kFail;
    const Transfer t(direction);
    t(extraWord, o->ExtraWord);
    t.Text(name, o->Name, pcbabi::kNameChars);
    t(netAux1, o->NetAux1);
    t(netAux2, o->NetAux2);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryClass(uint8_t direction, uint32_t handle,
                                                 uint16_t* extraWord, uint8_t* memberKind,
                                                 uint8_t* classAux, uint8_t* name) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kClass}, extraWord, memberKind, classAux, name);
    if (!o) return kFail;
    const Transfer t(direction);
    t(extraWord, o->ExtraWord);
    t(memberKind, o->MemberKind);
    t(classAux, o->ClassAux);
    t.Text(name, o->Name, pcbabi::kNameChars);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryFromTo(uint8_t direction, uint32_t handle,
                                                  uint16_t* extraWord, int32_t* x, int32_t* y,
                                                  uint8_t* fromLayer, int32_t* x2, int32_t* y2,
                                                  uint8_t* toLayer, uint32_t* net) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kFromTo}, extraWord, x, y, fromLayer, x2, y2,
                       toLayer, net);
    if (!o) return kFail;
    const Transfer t(direction);
    t(extraWord, o->ExtraWord);
    t(x, o->X);
    t(y, o->Y);
    t(fromLayer, o->FromLayer);
    t(x2, o->X2);
    t(y2, o->Y2);
    t(toLayer, o->ToLayer);
    t(net, o->Net);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryManualFromTo(uint8_t direction, uint32_t handle,
                                                        uint16_t* extraWord, uint8_t* text1,
                                                        uint8_t* text2, uint8_t* text3,
                                                        int32_t* value) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kManualFromTo}, extraWord, text1, text2, text3,
                       value);
    if (!o) return kFail;
    const Transfer t(direction);
    t(extraWord, o->ExtraWord);
    t.Text(text1, o->ManualTexts[0], pcbabi::kNameChars);
    t.Text(text2, o->ManualTexts[1], pcbabi::kNameChars);
    t.Text(text3, o->ManualTexts[2], pcbabi::kNameChars);
    t(value, o->ManualValue);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryCoordinate(uint8_t direction, uint32_t handle,
                                                      uint16_t* flags, uint16_t* extraWord,
                                                      uint8_t* extraByte, int32_t* x, int32_t* y,
                                                      uint8_t* layer, int32_t* v1, int32_t* v2,
                                                      int32_t* v3, int32_t* v4, int32_t* v5,
                                                      int32_t* v6) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kCoordinate}, flags, extraWord, extraByte, x, y,
                       layer, v1, v2, v3, v4, v5, v6);
    if (!o) return kFail;
    const Transfer t(direction);
    t(flags, o->Flags);
    t(extraWord, o->ExtraWord);
    t(extraByte, o->ExtraByte);
    t(x, o->X);
    t(y, o->Y);
    t(layer, o->Layer);
    int32_t* values[6] = {v1, v2, v3, v4, v5, v6};
    for (size_t i = 0; i < 6; ++i) t(values[i], o->CoordinateValues[i]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryDimension(uint8_t direction, uint32_t handle,
                                                     int32_t* v1, int32_t* v2, int32_t* v3,
                                                     int32_t* v4, int32_t* v5, int32_t* v6,
                                                     int32_t* v7, int32_t* v8, int32_t* v9,
                                                     int32_t* v10, int32_t* v11, int32_t* v12) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kDimension}, v1, v2, v3, v4, v5, v6, v7, v8,
                       v9, v10, v11, v12);
    if (!o) return kFail;
    const Transfer t(direction);
    int32_t* values[12] = {v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12};
    for (size_t i = 0; i < 12; ++i) t(values[i], o->DimensionRecord[i]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryExtDimension(uint8_t direction, uint32_t handle,
                                                        int32_t* v1, int32_t* v2, int32_t* v3,
                                                        int32_t* v4, int32_t* v5, int32_t* v6,
                                                        int32_t* v7, int32_t* v8) {
  return Guard([&] {
    Object* o =
        Record(direction, handle, {tarvex::kDimension}, v1, v2, v3, v4, v5, v6, v7, v8);
    if (!o) return kFail;
    const Transfer t(direction);
    int32_t* values[8] = {v1, v2, v3, v4, v5, v6, v7, v8};
    for (size_t i = 0; i < 8; ++i) t(values[i], o->ExtDimensionRecord[i]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_References_Count(uint32_t handle, int32_t* count) {
  return Guard([&] {
    Object* o = Record(pcbabi::qdRead, handle, {tarvex::kDimension}, count);
    if (!o) return kFail;
    *count = static_cast<int32_t>(o->References.size());
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_References_At(uint8_t direction, uint32_t handle,
                                                    int32_t index, int32_t* v1, int32_t* v2,
                                                    int32_t* v3, int32_t* v4) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kDimension}, v1, v2, v3, v4);
    if (!o || index < 0) return kFail;
    const Transfer t(direction);
    const size_t i = static_cast<size_t>(index);
    // Writing at the end of the list appends a reference.
    if (i > o->References.size() || (t.read && i == o->References.size())) return kFail;
    if (i == o->References.size()) o->References.push_back({});
    int32_t* values[4] = {v1, v2, v3, v4};
    for (size_t k = 0; k < 4; ++k) t(values[k], o->References[i][k]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryRule(
    uint8_t direction, uint32_t handle, int32_t* v1, int32_t* v2, int32_t* v3, int32_t* v4,
    int32_t* v5, int32_t* v6, int32_t* v7, int32_t* v8, int32_t* v9, int32_t* v10, int32_t* v11,
    int32_t* v12, int32_t* v13, int32_t* v14, int32_t* v15, int32_t* v16, int32_t* v17,
    int32_t* v18, int32_t* v19, int32_t* v20, int32_t* v21, int32_t* v22, int32_t* v23) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kRule}, v1, v2, v3, v4, v5, v6, v7, v8, v9, v10,
                       v11, v12, v13, v14, v15, v16, v17, v18, v19, v20, v21, v22, v23);
    if (!o) return kFail;
    const Transfer t(direction);
    int32_t* values[23] = {v1,  v2,  v3,  v4,  v5,  v6,  v7,  v8,  v9,  v10, v11, v12,
                           v13, v14, v15, v16, v17, v18, v19, v20, v21, v22, v23};
    for (size_t i = 0; i < 23; ++i) t(values[i], o->RuleRecord[i]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryRuleExt(uint8_t direction, uint32_t handle,
                                                   uint8_t* ruleKind, uint8_t* ruleAux1,
                                                   uint8_t* ruleAux2) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kRule}, ruleKind, ruleAux1, ruleAux2);
    if (!o) return kFail;
    const Transfer t(direction);
    t(ruleKind, o->RuleKind);
    t(ruleAux1, o->RuleAux1);
    t(ruleAux2, o->RuleAux2);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryRuleExtEx(uint8_t direction, uint32_t handle,
                                                     uint8_t* name) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kRule}, name);
    if (!o) return kFail;
    Transfer{direction}.Text(name, o->Name, pcbabi::kNameChars);
    return kOk;
  });
}

// ---- Pads and vias per layer ----------------------------------------------------------

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryPadStackMode(uint8_t direction, uint32_t handle,
                                                        uint8_t* mode) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kPad}, mode);
    if (!o) return kFail;
    if (direction == pcbabi::qdRead) {
      *mode = o->StackMode;
      return kOk;
    }
    if (*mode > tarvex::kStackPerLayer) return kFail;
    M().SetStackMode(*o, *mode);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryPadOrViaShapeOnLayer(uint32_t handle, uint8_t layer,
                                                                uint8_t* shape) {
  return Guard([&] {
    const Object* o = M().ObjectOfKind(handle, {tarvex::kPad, tarvex::kVia});
    uint8_t value = 0;
    if (!o || !shape || !M().ShapeOnLayer(*o, layer, value)) return kFail;
    *shape = value;
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryPadOrViaSizeOnLayer(uint32_t handle, uint8_t layer,
                                                               int32_t* xSize, int32_t* ySize) {
  return Guard([&] {
    const Object* o = M().ObjectOfKind(handle, {tarvex::kPad, tarvex::kVia});
    int32_t x = 0, y = 0;
    if (!o || !NonNull(xSize, ySize) || !M().SizeOnLayer(*o, layer, x, y)) return kFail;
    *xSize = x;
    *ySize = y;
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_SetPadShapeOnLayer(uint32_t handle, uint8_t layer,
                                                         uint8_t shape) {
  return Guard([&] {
    Object* o = M().ObjectOfKind(handle, {tarvex::kPad});
    if (!o || !tarvex::IsCopperLayer(layer)) return kFail;
    o->ShapeOnLayer[layer] = shape;
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_SetPadSizeOnLayer(uint32_t handle, uint8_t layer,
                                                        int32_t xSize, int32_t ySize) {
  return Guard([&] {
    Object* o = M().ObjectOfKind(handle, {tarvex::kPad});
    if (!o || !tarvex::IsCopperLayer(layer)) return kFail;
    o->XSizeOnLayer[layer] = xSize;
    o->YSizeOnLayer[layer] = ySize;
    return kOk;
  });
}

// ---- Classes ----------------------------------------------------------------------------

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_GetMemberFromClassAt(uint32_t handle, int32_t index,
                                                           uint8_t* name) {
  return Guard([&] {
    const Object* o = M().ObjectOfKind(handle, {tarvex::kClass});
    if (!o || !name || index < 0 || static_cast<size_t>(index) >= o->Members.size())
      return kFail;
    WriteShort(name, o->Members[static_cast<size_t>(index)], pcbabi::kNameChars);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_AddMemberToClass(uint32_t handle, const uint8_t* name) {
  return Guard([&] {
    Object* o = M().ObjectOfKind(handle, {tarvex::kClass});
    if (!o || !name) return kFail;
    o->Members.push_back(ReadShort(name, pcbabi::kNameChars));
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_RemoveAllMembersFromClass(uint32_t handle) {
  return Guard([&] {
    Object* o = M().ObjectOfKind(handle, {tarvex::kClass});
    if (!o) return kFail;
    o->Members.clear();
    return kOk;
  });
}

// ---- Rules and their scopes ---------------------------------------------------------------

namespace {
std::vector<tarvex::Subscope>* ScopeOf(uint32_t rule, uint8_t scope) {
  Object* o = M().ObjectOfKind(rule, {tarvex::kRule});
  if (!o || scope > 1) return nullptr;
  return &o->Scopes[scope];
}
}  // namespace

PCB_EXPORT void PCBAPI_CALL PcbApi_SetState_DeleteAllSubScopes(uint32_t rule, uint8_t scope) {
  try {
    if (auto* list = ScopeOf(rule, scope)) list->clear();
  } catch (...) {
  }
}

PCB_EXPORT void PCBAPI_CALL PcbApi_SetState_AddSubscope(uint32_t rule, uint8_t scope,
                                                        uint8_t kind, const uint8_t* name,
                                                        uint8_t layer, uint8_t objectKinds,
                                                        int32_t v1, int32_t v2, int32_t v3,
                                                        int32_t v4) {
  try {
    auto* list = ScopeOf(rule, scope);
    if (!list || !name) return;
    list->push_back(tarvex::Subscope{kind, ReadShort(name, pcbabi::kNameChars), layer,
                                     objectKinds, {v1, v2, v3, v4}});
  } catch (...) {
  }
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_GetState_SubScopesCount(uint32_t rule, uint8_t scope) {
  try {
    auto* list = ScopeOf(rule, scope);
    return list ? static_cast<int32_t>(list->size()) : 0;
  } catch (...) {
    return 0;
  }
}

PCB_EXPORT void PCBAPI_CALL PcbApi_GetState_SubscopeAt(uint32_t rule, uint8_t scope,
                                                       int32_t index, uint8_t* kind,
                                                       uint8_t* name, uint8_t* layer,
                                                       uint8_t* objectKinds, int32_t* v1,
                                                       int32_t* v2, int32_t* v3, int32_t* v4) {
  try {
    auto* list = ScopeOf(rule, scope);
    if (!list || index < 0 || static_cast<size_t>(index) >= list->size() ||
        !NonNull(kind, name, layer, objectKinds, v1, v2, v3, v4))
      return;
    const tarvex::Subscope& s = (*list)[static_cast<size_t>(index)];
    *kind = s.Kind;
    WriteShort(name, s.Name, pcbabi::kNameChars);
    *layer = s.LayerId;
    *objectKinds = s.KindId;
    *v1 = s.Values[0];
    *v2 = s.Values[1];
    *v3 = s.Values[2];
    *v4 = s.Values[3];
  } catch (...) {
  }
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryRuleClearanceConstraint(uint8_t direction,
                                                                   uint32_t handle,
                                                                   int32_t* gap) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kRule}, gap);
    if (!o) return kFail;
    Transfer{direction}(gap, o->ClearanceGap);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryRuleMaxMinWidthConstraintExt(uint8_t direction,
                                                                        uint32_t handle,
                                                                        int32_t* w1, int32_t* w2,
                                                                        int32_t* w3) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kRule}, w1, w2, w3);
    if (!o) return kFail;
    const Transfer t(direction);
    t(w1, o->Widths[0]);
    t(w2, o->Widths[1]);
    t(w3, o->Widths[2]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryRuleMaxMinLengthConstraint(uint8_t direction,
                                                                      uint32_t handle,
                                                                      int32_t* maxLength,
                                                                      int32_t* minLength) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kRule}, maxLength, minLength);
    if (!o) return kFail;
    const Transfer t(direction);
    t(maxLength, o->MaxLength);
    t(minLength, o->MinLength);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryRuleRoutingViaStyleRuleExt(
    uint8_t direction, uint32_t handle, int32_t* v1, int32_t* v2, int32_t* v3, int32_t* v4,
    int32_t* v5, int32_t* v6) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kRule}, v1, v2, v3, v4, v5, v6);
    if (!o) return kFail;
    const Transfer t(direction);
    int32_t* values[6] = {v1, v2, v3, v4, v5, v6};
    for (size_t i = 0; i < 6; ++i) t(values[i], o->ViaStyle[i]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryRuleConfinementConstraint(
    uint8_t direction, uint32_t handle, uint8_t* kind, int32_t* minX, int32_t* minY,
    int32_t* maxX, int32_t* maxY, uint8_t* layer) {
  return Guard([&] {
    Object* o = Record(direction, handle, {tarvex::kRule}, kind, minX, minY, maxX, maxY, layer);
    if (!o) return kFail;
    const Transfer t(direction);
    t(kind, o->ConfinementKind);
    t(minX, o->ConfinementRect[0]);
    t(minY, o->ConfinementRect[1]);
    t(maxX, o->ConfinementRect[2]);
    t(maxY, o->ConfinementRect[3]);
    t(layer, o->ConfinementLayer);
    return kOk;
  });
}

// ---- Board, layers and options -------------------------------------------------------------

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoard(uint8_t direction, uint32_t board,
                                                 int32_t* boardAux, uint8_t* fileName,
                                                 int32_t* v1, int32_t* v2, int32_t* v3,
                                                 int32_t* v4, int32_t* v5, int32_t* v6,
                                                 int32_t* v7, int32_t* v8) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, boardAux, fileName, v1, v2, v3, v4, v5, v6, v7, v8);
    if (!d) return kFail;
    const Transfer t(direction);
    t(boardAux, d->BoardAux);
    // The file name is the document's path: the host reports it and keeps it.
    if (t.read) WriteShort(fileName, d->Path, pcbabi::kNameChars);
    int32_t* values[8] = {v1, v2, v3, v4, v5, v6, v7, v8};
    for (size_t i = 0; i < 8; ++i) t(values[i], d->BoardRecord[i]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardGridsEx(uint8_t direction, uint32_t board,
                                                        int32_t* v1, int32_t* v2, int32_t* v3,
                                                        int32_t* v4, int32_t* v5, int32_t* v6) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, v1, v2, v3, v4, v5, v6);
    if (!d) return kFail;
    const Transfer t(direction);
    int32_t* values[6] = {v1, v2, v3, v4, v5, v6};
    for (size_t i = 0; i < 6; ++i) t(values[i], d->Grids[i]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardLayerInfo(uint8_t direction, uint32_t board,
                                                          uint8_t layer, int32_t* info,
                                                          int32_t* extra1, int32_t* extra2) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, info, extra1, extra2);
    if (!d || !ValidLayer(layer)) return kFail;
    const Transfer t(direction);
    t(info, d->Layers[layer].Info);
    // The two further values carry nothing; they read as 0.
    if (t.read) {
      *extra1 = 0;
      *extra2 = 0;
    }
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardLayerPairsCount(uint32_t board, int32_t* count) {
  return Guard([&] {
    Document* d = BoardRecord(pcbabi::qdRead, board, count);
    if (!d) return kFail;
    *count = static_cast<int32_t>(d->LayerPairs.size());
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardLayerPairAt(uint8_t direction, uint32_t board,
                                                            int32_t index, uint8_t* layer1,
                                                            uint8_t* layer2, uint8_t* pairAux2,
                                                            uint8_t* pairAux1) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, layer1, layer2, pairAux2, pairAux1);
    if (!d || index < 0 || static_cast<size_t>(index) >= d->LayerPairs.size()) return kFail;
    tarvex::LayerPair& p = d->LayerPairs[static_cast<size_t>(index)];
    const Transfer t(direction);
    t(layer1, p.Layer1);
    t(layer2, p.Layer2);
    t(pairAux2, p.PairAux2);
    t(pairAux1, p.PairAux1);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardOutputOptions(uint8_t direction, uint32_t board,
                                                              int32_t* v1, int32_t* v2,
                                                              int32_t* v3, int32_t* v4,
                                                              int32_t* v5, int32_t* v6) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, v1, v2, v3, v4, v5, v6);
    if (!d) return kFail;
    const Transfer t(direction);
    int32_t* values[6] = {v1, v2, v3, v4, v5, v6};
    for (size_t i = 0; i < 6; ++i) t(values[i], d->OutputOptions[i]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardOutputOptionsPlotLayers(uint8_t direction,
                                                                        uint32_t board,
                                                                        int32_t plotLayer,
                                                                        uint8_t* value) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, value);
    if (!d || plotLayer < 1 || plotLayer > pcbabi::kPlotLayerCount) return kFail;
    Transfer{direction}(value, d->PlotLayers[static_cast<size_t>(plotLayer)]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardOutputOptionsFlipLayers(uint8_t direction,
                                                                        uint32_t board,
                                                                        int32_t plotLayer,
                                                                        uint8_t* value) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, value);
    if (!d || plotLayer < 1 || plotLayer > pcbabi::kPlotLayerCount) return kFail;
    Transfer{direction}(value, d->FlipLayers[static_cast<size_t>(plotLayer)]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardGerberOptions(uint8_t direction, uint32_t board,
                                                              int32_t* v1, int32_t* v2,
                                                              int32_t* v3, int32_t* v4,
                                                              int32_t* v5, int32_t* v6,
                                                              int32_t* v7, int32_t* v8) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, v1, v2, v3, v4, v5, v6, v7, v8);
    if (!d) return kFail;
    const Transfer t(direction);
    int32_t* values[8] = {v1, v2, v3, v4, v5, v6, v7, v8};
    for (size_t i = 0; i < 8; ++i) t(values[i], d->GerberOptions[i]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardPrinterOptions(uint8_t direction, uint32_t board,
                                                               int32_t* v1, int32_t* v2,
                                                               int32_t* v3, int32_t* v4,
                                                               int32_t* v5, int32_t* v6) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, v1, v2, v3, v4, v5, v6);
    if (!d) return kFail;
    const Transfer t(direction);
    int32_t* values[6] = {v1, v2, v3, v4, v5, v6};
    for (size_t i = 0; i < 6; ++i) t(values[i], d->PrinterOptions[i]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardPrinterOptionsPlotterPen(uint8_t direction,
                                                                         uint32_t board,
                                                                         int32_t pen,
                                                                         int32_t* v1,
                                                                         int32_t* v2) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, v1, v2);
    if (!d || pen < 1 || pen > pcbabi::kPlotterPenCount) return kFail;
    const Transfer t(direction);
    t(v1, d->PlotterPens[static_cast<size_t>(pen)][0]);
    t(v2, d->PlotterPens[static_cast<size_t>(pen)][1]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardPrinterOptionsCompositeLayer(uint8_t direction,
                                                                             uint32_t board,
                                                                             uint8_t layer,
                                                                             uint8_t* value) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, value);
    if (!d || !ValidLayer(layer)) return kFail;
    Transfer{direction}(value, d->CompositeLayers[layer]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardAdvancedPlacerOptions(uint8_t direction,
                                                                      uint32_t board,
                                                                      int32_t* v1, int32_t* v2,
                                                                      int32_t* v3, int32_t* v4,
                                                                      int32_t* v5, int32_t* v6) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, v1, v2, v3, v4, v5, v6);
    if (!d) return kFail;
    const Transfer t(direction);
    int32_t* values[6] = {v1, v2, v3, v4, v5, v6};
    for (size_t i = 0; i < 6; ++i) t(values[i], d->PlacerOptions[i]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardEngineeringChangeOrderOptions(
    uint8_t direction, uint32_t board, int32_t* v1, int32_t* v2, int32_t* v3, int32_t* v4) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, v1, v2, v3, v4);
    if (!d) return kFail;
    const Transfer t(direction);
    int32_t* values[4] = {v1, v2, v3, v4};
    for (size_t i = 0; i < 4; ++i) t(values[i], d->ChangeOrderOptions[i]);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryBoardExternalDielectrics(
    uint8_t direction, uint32_t board, uint8_t* topMaterial, uint8_t* topType,
    double* topConstant, int32_t* topHeight, uint8_t* bottomMaterial, uint8_t* bottomType,
    double* bottomConstant, int32_t* bottomHeight) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, topMaterial, topType, topConstant, topHeight,
                              bottomMaterial, bottomType, bottomConstant, bottomHeight);
    if (!d) return kFail;
    const Transfer t(direction);
    t.Text(topMaterial, d->TopDielectric.Material, pcbabi::kNameChars);
    t(topType, d->TopDielectric.Type);
    t(topConstant, d->TopDielectric.Constant);
    t(topHeight, d->TopDielectric.Height);
    t.Text(bottomMaterial, d->BottomDielectric.Material, pcbabi::kNameChars);
    t(bottomType, d->BottomDielectric.Type);
    t(bottomConstant, d->BottomDielectric.Constant);
    t(bottomHeight, d->BottomDielectric.Height);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryLayer(uint8_t direction, uint8_t layer,
                                                 uint32_t board, uint8_t* name,
                                                 int32_t* copperThickness, uint8_t* layerAux1,
                                                 uint8_t* layerAux2, uint8_t* prevLayer,
                                                 uint8_t* nextLayer, uint8_t* layerAux3) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, name, copperThickness, layerAux1, layerAux2,
                              prevLayer, nextLayer, layerAux3);
    if (!d || !ValidLayer(layer)) return kFail;
    tarvex::LayerState& l = d->Layers[layer];
    const Transfer t(direction);
    t.Text(name, l.Name, pcbabi::kNameChars);
    t(copperThickness, l.CopperThickness);
    t(layerAux1, l.LayerAux1);
    t(layerAux2, l.LayerAux2);
    t(prevLayer, l.PrevLayer);
    t(nextLayer, l.NextLayer);
    t(layerAux3, l.LayerAux3);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryInternalPlane(uint8_t direction, uint8_t layer,
                                                         uint32_t board, uint8_t* name,
                                                         int32_t* copperThickness,
                                                         uint8_t* layerAux1, uint8_t* layerAux2,
                                                         uint8_t* prevLayer, uint8_t* nextLayer,
                                                         uint8_t* netName) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, name, copperThickness, layerAux1, layerAux2,
                              prevLayer, nextLayer, netName);
    if (!d || !tarvex::IsPlaneLayer(layer)) return kFail;
    tarvex::LayerState& l = d->Layers[layer];
    const Transfer t(direction);
    t.Text(name, l.Name, pcbabi::kNameChars);
    t(copperThickness, l.CopperThickness);
    t(layerAux1, l.LayerAux1);
    t(layerAux2, l.LayerAux2);
    t(prevLayer, l.PrevLayer);
    t(nextLayer, l.NextLayer);
    t.Text(netName, l.NetName, pcbabi::kNameChars);
    return kOk;
  });
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_QueryLayerDielectric(uint8_t direction, uint8_t layer,
                                                           uint32_t board, uint8_t* material,
                                                           uint8_t* type, double* constant,
                                                           int32_t* height) {
  return Guard([&] {
    Document* d = BoardRecord(direction, board, material, type, constant, height);
    if (!d || !ValidLayer(layer)) return kFail;
    tarvex::LayerState& l = d->Layers[layer];
    const Transfer t(direction);
    t.Text(material, l.DielectricMaterial, pcbabi::kNameChars);
    t(type, l.DielectricType);
    t(constant, l.DielectricConstant);
    t(height, l.DielectricHeight);
    return kOk;
  });
}

// ---- Progress, commands and events ------------------------------------------------------------

PCB_EXPORT void PCBAPI_CALL PcbApi_Percent_Init(const uint8_t* title, int32_t total) {
  try {
    M().PercentInit(ReadShort(title, pcbabi::kNameChars), total);
  } catch (...) {
  }
}

PCB_EXPORT void PCBAPI_CALL PcbApi_Percent_Update(void) { gProgressModel.PercentUpdate(); }

PCB_EXPORT void PCBAPI_CALL PcbApi_Percent_Finish(void) {
  try {
    M().PercentFinish();
  } catch (...) {
  }
}

PCB_EXPORT int32_t PCBAPI_CALL PcbApi_SendCommand(const char* process, char* parameters,
                                                  uint16_t size, int32_t /*context*/) {
  return Guard([&] {
    if (!process) return kFail;
    const std::string name(process, strnlen(process, 256));
    std::string lower = name;
    for (char& c : lower)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (lower == "client:runcommondialog") {
      return M().RunCommonDialog("SendCommand", parameters, size) ? kOk : kFail;
    }
    tarvex::CommandRecord record;
    record.Route = "SendCommand";
    record.Process = name;
    if (parameters && size > 0) {
      const void* end = std::memchr(parameters, 0, size);
      record.Request.assign(parameters, end ? static_cast<const char*>(end) - parameters
                                            : static_cast<ptrdiff_t>(size));
    }
    record.Status = kFail;  // the host knows no other process
    M().RecordCommand(std::move(record));
    return kFail;
  });
}

PCB_EXPORT void PCBAPI_CALL PcbApi_EventRouter_SendMessage(uint32_t sender, uint32_t receiver,
                                                           uint16_t code, uint32_t data) {
  try {
    M().SendMessage(tarvex::EventMessage{sender, receiver, code, data});
  } catch (...) {
  }
}

PCB_EXPORT uint32_t PCBAPI_CALL PcbApi_GetBoardHandleFromFullFileName(const uint8_t* name) {
  try {
    if (!name) return 0;
    return M().FindDocument(ReadShort(name, pcbabi::kNameChars));
  } catch (...) {
    return 0;
  }
}

// ---- The host-side interface ------------------------------------------------------------------

PCB_EXPORT tarvex::ITarvexHost* Tarvex_Host(void) { return &TheModel(); }

// Every function the plug-ins call exists here with exactly the declared type.
#define TARVEX_CHECK_EXPORT_TYPE(name, result, params)                  \
  static_assert(std::is_same_v<decltype(&::name), pcbabi::name##_t>, \
                #name " must have the type of the boundary header");
PCBAPI_CALLED_FUNCTIONS(TARVEX_CHECK_EXPORT_TYPE)
#undef TARVEX_CHECK_EXPORT_TYPE
static_assert(std::is_same_v<decltype(&::Tarvex_Host), Tarvex_Host_t>);

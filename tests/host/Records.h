// Test helpers: the records of a few object kinds, exchanged through the
// exported functions exactly as a plug-in does.
#pragma once

#include "tests/host/HostTestSupport.h"

namespace hosttest {

struct TrackRec {
  uint16_t flags = 0, extraWord = 0;
  uint8_t layer = 0;
  uint32_t net = 0;
  uint8_t extraByte = 0;
  uint32_t extraLong = 0;
  int32_t x = 0, y = 0, x2 = 0, y2 = 0, width = 0, aux1 = 0, aux2 = 0, aux3 = 0;
};
inline int32_t Xchg(uint8_t dir, uint32_t h, TrackRec& r) {
  return Api().PcbApi_QueryTrack(dir, h, &r.flags, &r.extraWord, &r.layer, &r.net, &r.extraByte,
                                 &r.extraLong, &r.x, &r.y, &r.x2, &r.y2, &r.width, &r.aux1,
                                 &r.aux2, &r.aux3);
}

struct ArcRec {
  uint16_t flags = 0, extraWord = 0;
  uint8_t layer = 0;
  uint32_t net = 0;
  uint8_t extraByte = 0;
  uint32_t extraLong = 0;
  int32_t x = 0, y = 0, radius = 0;
  double start = 0, end = 0;
  int32_t width = 0, aux1 = 0;
};
inline int32_t Xchg(uint8_t dir, uint32_t h, ArcRec& r) {
  return Api().PcbApi_QueryArc(dir, h, &r.flags, &r.extraWord, &r.layer, &r.net, &r.extraByte,
                               &r.extraLong, &r.x, &r.y, &r.radius, &r.start, &r.end, &r.width,
                               &r.aux1);
}

struct PadRec {
  uint16_t flags = 0, extraWord = 0;
  uint8_t layer = 0;
  uint32_t net = 0;
  uint8_t extraByte = 0;
  uint32_t extraLong = 0;
  int32_t x = 0, y = 0, txs = 0, tys = 0, mxs = 0, mys = 0, bxs = 0, bys = 0, hole = 0;
  uint8_t ts = 0, ms = 0, bs = 0;
  std::vector<uint8_t> name = Short("");
  uint8_t aux1 = 0, aux2 = 0;
  double rotation = 0;
};
inline int32_t Xchg(uint8_t dir, uint32_t h, PadRec& r) {
  return Api().PcbApi_QueryPad(dir, h, &r.flags, &r.extraWord, &r.layer, &r.net, &r.extraByte,
                               &r.extraLong, &r.x, &r.y, &r.txs, &r.tys, &r.mxs, &r.mys, &r.bxs,
                               &r.bys, &r.hole, &r.ts, &r.ms, &r.bs, r.name.data(), &r.aux1,
                               &r.aux2, &r.rotation);
}

struct TextRec {
  uint16_t flags = 0, extraWord = 0;
  uint8_t layer = 0;
  uint32_t net = 0;
  uint8_t extraByte = 0;
  uint32_t extraLong = 0;
  int32_t x = 0, y = 0, height = 0, font = 0;
  double rotation = 0;
  uint8_t mirrored = 0;
  std::vector<uint8_t> text = Short("");
  int32_t strokeWidth = 0, aux2 = 0, aux3 = 0;
};
inline int32_t Xchg(uint8_t dir, uint32_t h, TextRec& r) {
  return Api().PcbApi_QueryText(dir, h, &r.flags, &r.extraWord, &r.layer, &r.net, &r.extraByte,
                                &r.extraLong, &r.x, &r.y, &r.height, &r.font, &r.rotation,
                                &r.mirrored, r.text.data(), &r.strokeWidth, &r.aux2, &r.aux3);
}

struct ComponentRec {
  uint16_t flags = 0, extraWord = 0;
  uint8_t layer = 0, extraByte = 0;
  uint32_t designator = 0, comment = 0;
  std::vector<uint8_t> pattern = Short("");
  uint8_t designatorVisible = 0, commentVisible = 0;
  int32_t x = 0, y = 0, aux1 = 0;
  double rotation = 0;
  uint8_t aux2 = 0;
};
inline int32_t Xchg(uint8_t dir, uint32_t h, ComponentRec& r) {
  return Api().PcbApi_QueryComponent(dir, h, &r.flags, &r.extraWord, &r.layer, &r.extraByte,
                                     &r.designator, &r.comment, r.pattern.data(),
                                     &r.designatorVisible, &r.commentVisible, &r.x, &r.y,
                                     &r.aux1, &r.rotation, &r.aux2);
}

// Reads, lets `change` set fields, writes (qdWrite unless told otherwise).
template <class Rec, class F>
Rec Edit(uint32_t h, F change, uint8_t direction = pcbabi::qdWrite) {
  Rec r;
  EXPECT_EQ(Xchg(pcbabi::qdRead, h, r), 0);
  change(r);
  EXPECT_EQ(Xchg(direction, h, r), 0);
  return r;
}

template <class Rec>
Rec Read(uint32_t h) {
  Rec r;
  EXPECT_EQ(Xchg(pcbabi::qdRead, h, r), 0);
  return r;
}

// Every object an iterator gives.
inline std::vector<uint32_t> Walk(uint32_t container, uint8_t kind = 0, uint8_t layer = 0) {
  std::vector<uint32_t> found;
  const uint32_t it = Api().PcbApi_CreateIterator(container, kind, 0, layer);
  for (uint32_t h = Api().PcbApi_GetFirstObject(it); h; h = Api().PcbApi_GetNextObject(it))
    found.push_back(h);
  Api().PcbApi_DestroyIterator(it);
  return found;
}

}  // namespace hosttest

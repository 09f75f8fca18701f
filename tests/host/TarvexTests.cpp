// The stand-in host module through its exported functions, looked up by
// name as the plug-ins do; the host interface shows what they did.
#include <cmath>
#include <cstring>
#include <functional>

#include "tests/host/Records.h"

namespace hosttest {
namespace {

using tarvex::kBottomLayer;
using tarvex::kBottomOverlay;
using tarvex::kMultiLayer;
using tarvex::kTopLayer;
using tarvex::kTopOverlay;
constexpr uint8_t R = pcbabi::qdRead, W = pcbabi::qdWrite, P = pcbabi::qdWritePlacement;

TEST(TarvexExports, EveryCalledFunctionIsExportedByName) {
  std::string missing;
  for (const std::string& name : Api().missing) missing += name + " ";
  EXPECT_EQ(missing, "");
  EXPECT_NE(tarvex::TarvexHostOf(TarvexModule()), nullptr);
}

class Tarvex : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    board = host.NewDocument("PCB", "/boards/a.pcb");
    ASSERT_NE(board, 0u);
  }
  uint32_t Make(uint8_t kind, uint32_t container = 0) {
    const uint32_t h = api.PcbApi_CreateObject(kind);
    EXPECT_NE(h, 0u);
    if (container) {
      EXPECT_EQ(api.PcbApi_AddObjectToContainer(container, h), 0);
    }
    return h;
  }
  uint32_t TrackOn(uint8_t layer, uint32_t container) {
    const uint32_t h = Make(tarvex::kTrack);
    Edit<TrackRec>(h, [&](TrackRec& r) { r.layer = layer; });
    EXPECT_EQ(api.PcbApi_AddObjectToContainer(container, h), 0);
    return h;
  }
  uint32_t board = 0;
};

// ---- Handles ----------------------------------------------------------------------

TEST_F(Tarvex, HandlesAreNeverZeroNorGivenTwice) {
  std::vector<uint32_t> seen{board};
  for (uint8_t kind : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 21}) {
    const uint32_t h = api.PcbApi_CreateObject(kind);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(api.PcbApi_GetObjectIdFromObjectHandle(h), kind);
    seen.push_back(h);
  }
  host.Reset();
  const uint32_t after = api.PcbApi_CreateObject(tarvex::kTrack);
  for (uint32_t h : seen) EXPECT_NE(after, h);
  EXPECT_EQ(api.PcbApi_GetObjectIdFromObjectHandle(seen[1]), 0) << "gone after a reset";
  for (uint8_t kind : {0, 16, 20, 22, 255}) EXPECT_EQ(api.PcbApi_CreateObject(kind), 0u) << +kind;
  EXPECT_EQ(api.PcbApi_GetObjectIdFromObjectHandle(0), 0);
}

TEST_F(Tarvex, NewObjectsTakeTheDefaultsTable) {
  host.GetDefaults().TrackWidth = 123456;
  host.GetDefaults().PadShape = tarvex::kOctagonal;
  const auto track = Read<TrackRec>(Make(tarvex::kTrack));
  EXPECT_EQ(track.width, 123456);
  EXPECT_EQ(track.layer, kTopLayer);
  const auto pad = Read<PadRec>(Make(tarvex::kPad));
  EXPECT_EQ(pad.ts, tarvex::kOctagonal);
  EXPECT_EQ(pad.layer, kMultiLayer);
  host.Reset();
  EXPECT_EQ(host.GetDefaults().TrackWidth, tarvex::Defaults{}.TrackWidth);
}

// ---- Containers and iterators ------------------------------------------------------

TEST_F(Tarvex, IteratorsFilterByKindAndLayer) {
  const uint32_t top = TrackOn(kTopLayer, board);
  const uint32_t bottom = TrackOn(kBottomLayer, board);
  const uint32_t arc = Make(tarvex::kArc, board);  // TopLayer by default
  const uint32_t pad = Make(tarvex::kPad, board);  // MultiLayer by default
  const uint32_t net = Make(tarvex::kNet, board);
  EXPECT_EQ(Walk(board), (std::vector<uint32_t>{top, bottom, arc, pad, net}));
  EXPECT_EQ(Walk(board, tarvex::kTrack), (std::vector<uint32_t>{top, bottom}));
  EXPECT_EQ(Walk(board, 0, kTopLayer), (std::vector<uint32_t>{top, arc}));
  EXPECT_EQ(Walk(board, tarvex::kTrack, kBottomLayer), (std::vector<uint32_t>{bottom}));
  EXPECT_EQ(Walk(board, tarvex::kPad, kMultiLayer), (std::vector<uint32_t>{pad}));
  EXPECT_EQ(Walk(board, tarvex::kVia), (std::vector<uint32_t>{}));
}

TEST_F(Tarvex, IteratorLifecycle) {
  TrackOn(kTopLayer, board);
  const uint32_t it = api.PcbApi_CreateIterator(board, 0, 0, 0);
  ASSERT_NE(it, 0u);
  EXPECT_EQ(host.LiveIterators(), 1);
  const uint32_t first = api.PcbApi_GetFirstObject(it);
  EXPECT_NE(first, 0u);
  EXPECT_EQ(api.PcbApi_GetNextObject(it), 0u);
  EXPECT_EQ(api.PcbApi_GetNextObject(it), 0u) << "stays at the end";
  EXPECT_EQ(api.PcbApi_GetFirstObject(it), first) << "a walk can start again";
  api.PcbApi_DestroyIterator(it);
  EXPECT_EQ(host.LiveIterators(), 0);
  EXPECT_EQ(api.PcbApi_GetFirstObject(it), 0u);
  api.PcbApi_DestroyIterator(it);  // twice does nothing
  // Containers only: a track, an unknown handle and 0 give no iterator.
  EXPECT_EQ(api.PcbApi_CreateIterator(first, 0, 0, 0), 0u);
  EXPECT_EQ(api.PcbApi_CreateIterator(987654, 0, 0, 0), 0u);
  EXPECT_EQ(api.PcbApi_CreateIterator(0, 0, 0, 0), 0u);
  EXPECT_EQ(api.PcbApi_GetFirstObject(0), 0u);
}

TEST_F(Tarvex, NetMembershipFollowsTheNetField) {
  const uint32_t net = Make(tarvex::kNet, board);
  const uint32_t pad = Make(tarvex::kPad, board);
  const uint32_t track = TrackOn(kTopLayer, board);
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(net, pad), 0);
  EXPECT_EQ(Read<PadRec>(pad).net, net);
  Edit<TrackRec>(track, [&](TrackRec& r) { r.net = net; });
  EXPECT_EQ(Walk(net), (std::vector<uint32_t>{pad, track}));
  EXPECT_EQ(Walk(net, tarvex::kPad), (std::vector<uint32_t>{pad}));
  EXPECT_EQ(api.PcbApi_DeleteObjectFromContainer(net, pad), 0);
  EXPECT_EQ(Read<PadRec>(pad).net, 0u);
  EXPECT_EQ(api.PcbApi_DeleteObjectFromContainer(net, pad), 1) << "no longer a member";
  EXPECT_EQ(Walk(net), (std::vector<uint32_t>{track}));
  // Only primitives join a net.
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(net, Make(tarvex::kComponent)), 1);
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(net, Make(tarvex::kRule)), 1);
}

TEST_F(Tarvex, ComponentHoldsItsPrimitivesApartFromTheBoard) {
  const uint32_t comp = Make(tarvex::kComponent);
  const uint32_t pad = Make(tarvex::kPad, comp);
  const uint32_t track = TrackOn(kTopOverlay, comp);
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(board, comp), 0);
  EXPECT_EQ(Walk(board), (std::vector<uint32_t>{comp}));
  EXPECT_EQ(Walk(comp), (std::vector<uint32_t>{pad, track}));
  EXPECT_EQ(Walk(comp, tarvex::kPad), (std::vector<uint32_t>{pad}));
  // A new component has its designator and comment texts, not among its
  // primitives.
  const auto c = Read<ComponentRec>(comp);
  EXPECT_EQ(api.PcbApi_GetObjectIdFromObjectHandle(c.designator), tarvex::kText);
  EXPECT_EQ(api.PcbApi_GetObjectIdFromObjectHandle(c.comment), tarvex::kText);
  // One container at a time; groups do not go into components.
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(board, pad), 1);
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(comp, Make(tarvex::kNet)), 1);
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(comp, Make(tarvex::kComponent)), 1);
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(comp, pad), 0) << "adding again changes nothing";
  EXPECT_EQ(Walk(comp).size(), 2u);
}

TEST_F(Tarvex, AnObjectTakenOffTheBoardCanGoElsewhere) {
  // The importers add a text to the board to measure it, take it off, and
  // add it to its component.
  const uint32_t text = Make(tarvex::kText, board);
  const uint32_t comp = Make(tarvex::kComponent, board);
  EXPECT_EQ(api.PcbApi_DeleteObjectFromContainer(board, text), 0);
  EXPECT_EQ(api.PcbApi_DeleteObjectFromContainer(board, text), 1);
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(comp, text), 0);
  EXPECT_EQ(Walk(board), (std::vector<uint32_t>{comp}));
  EXPECT_EQ(Walk(board, tarvex::kText).size(), 0u);
  EXPECT_EQ(api.PcbApi_DeleteObjectFromContainer(comp, text), 0);
  EXPECT_EQ(Walk(comp).size(), 0u);
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(0, text), 1);
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(board, 0), 1);
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(text, comp), 1) << "a text is no container";
}

// ---- Records -------------------------------------------------------------------------

TEST_F(Tarvex, RecordOfAnotherKindAnswersOneAndChangesNothing) {
  const uint32_t track = Make(tarvex::kTrack, board);
  Edit<TrackRec>(track, [](TrackRec& r) { r.x = 11; r.y = 22; r.width = 33; r.layer = 5; });
  const auto before = Read<TrackRec>(track);
  uint8_t b[256] = {};
  int32_t i[24] = {};
  uint16_t w[2] = {};
  uint32_t u[2] = {};
  double d[2] = {};
  auto pad = Short("");
  const std::vector<std::pair<const char*, std::function<int32_t(uint8_t)>>> calls = {
      {"arc", [&](uint8_t dir) { ArcRec r; return Xchg(dir, track, r); }},
      {"pad", [&](uint8_t dir) { PadRec r; return Xchg(dir, track, r); }},
      {"text", [&](uint8_t dir) { TextRec r; return Xchg(dir, track, r); }},
      {"component", [&](uint8_t dir) { ComponentRec r; return Xchg(dir, track, r); }},
      {"fill", [&](uint8_t dir) { return api.PcbApi_QueryFill(dir, track, w, w, b, u, b, u, i, i, i, i, i, d); }},
      {"via", [&](uint8_t dir) { return api.PcbApi_QueryVia(dir, track, w, w, b, u, b, u, i, i, i, i, b, b); }},
      {"net", [&](uint8_t dir) { return api.PcbApi_QueryNet(dir, track, w, b, b, b); }},
      {"class", [&](uint8_t dir) { return api.PcbApi_QueryClass(dir, track, w, b, b, b); }},
      {"rule ext", [&](uint8_t dir) { return api.PcbApi_QueryRuleExt(dir, track, b, b, b); }},
      {"rule name", [&](uint8_t dir) { return api.PcbApi_QueryRuleExtEx(dir, track, b); }},
      {"clearance", [&](uint8_t dir) { return api.PcbApi_QueryRuleClearanceConstraint(dir, track, i); }},
      {"stack mode", [&](uint8_t dir) { return api.PcbApi_QueryPadStackMode(dir, track, b); }},
      {"component kind", [&](uint8_t dir) { return api.PcbApi_QueryComponentKind(dir, track, b); }},
      {"dimension", [&](uint8_t dir) { return api.PcbApi_QueryDimension(dir, track, i, i, i, i, i, i, i, i, i, i, i, i); }},
      {"board", [&](uint8_t dir) { return api.PcbApi_QueryBoard(dir, track, i, b, i, i, i, i, i, i, i, i); }},
      {"layer", [&](uint8_t dir) { return api.PcbApi_QueryLayer(dir, 1, track, b, i, b, b, b, b, b); }},
  };
  for (const auto& [name, call] : calls) {
    EXPECT_EQ(call(R), 1) << name << " read";
    EXPECT_EQ(call(W), 1) << name << " write";
  }
  EXPECT_EQ(api.PcbApi_SetPadShapeOnLayer(track, 1, 2), 1);
  EXPECT_EQ(api.PcbApi_SetPadSizeOnLayer(track, 1, 5, 5), 1);
  EXPECT_EQ(api.PcbApi_AddMemberToClass(track, pad.data()), 1);
  EXPECT_EQ(api.PcbApi_GetState_SubScopesCount(track, 0), 0);
  const auto after = Read<TrackRec>(track);
  const auto fields = [](const TrackRec& t) {
    return std::make_tuple(t.flags, t.extraWord, t.layer, t.net, t.extraByte, t.extraLong, t.x,
                           t.y, t.x2, t.y2, t.width, t.aux1, t.aux2, t.aux3);
  };
  EXPECT_EQ(fields(before), fields(after));
}

TEST_F(Tarvex, PrimitiveRecordAndBitFieldsTakeEveryKind) {
  for (uint8_t kind : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 21}) {
    const uint32_t h = Make(kind);
    uint16_t flags = 0x0810, extraWord = 7, bits3 = 0x0006;
    uint8_t layer = 57, extraByte = 3, bits2 = 0x21;
    uint32_t net = 0, extraLong = 99;
    ASSERT_EQ(api.PcbApi_QueryPrimitive(W, h, &flags, &extraWord, &layer, &net, &extraLong,
                                        &extraByte), 0) << +kind;
    ASSERT_EQ(api.PcbApi_GetObjectBitField2(W, h, &bits2), 0);
    ASSERT_EQ(api.PcbApi_GetObjectBitField3(W, h, &bits3), 0);
    flags = extraWord = bits3 = 0;
    layer = extraByte = bits2 = 0;
    extraLong = 0;
    ASSERT_EQ(api.PcbApi_QueryPrimitive(R, h, &flags, &extraWord, &layer, &net, &extraLong,
                                        &extraByte), 0);
    api.PcbApi_GetObjectBitField2(R, h, &bits2);
    api.PcbApi_GetObjectBitField3(R, h, &bits3);
    EXPECT_EQ(flags, 0x0810);
    EXPECT_EQ(extraWord, 7);
    EXPECT_EQ(layer, 57);
    EXPECT_EQ(extraLong, 99u);
    EXPECT_EQ(extraByte, 3);
    EXPECT_EQ(bits2, 0x21);
    EXPECT_EQ(bits3, 0x0006);
  }
  uint8_t b = 0;
  EXPECT_EQ(api.PcbApi_GetObjectBitField2(R, board, &b), 1) << "a board is no object";
}

TEST_F(Tarvex, BadInputAnswersFailure) {
  const uint32_t track = Make(tarvex::kTrack, board);
  TrackRec r;
  EXPECT_EQ(Xchg(R, 0, r), 1);
  EXPECT_EQ(Xchg(R, 424242, r), 1);
  EXPECT_EQ(Xchg(3, track, r), 1) << "an unknown direction";
  uint16_t w = 0;
  uint8_t b = 0;
  uint32_t u = 0;
  int32_t i = 0;
  // One null address among the fields: nothing is read or written.
  i = 555;
  EXPECT_EQ(api.PcbApi_QueryTrack(W, track, &w, &w, &b, &u, &b, &u, &i, &i, &i, &i, &i, &i,
                                  nullptr, &i), 1);
  EXPECT_NE(Read<TrackRec>(track).x, 555);
  EXPECT_EQ(api.PcbApi_QueryPrimitive(R, track, &w, &w, &b, &u, &u, nullptr), 1);
  EXPECT_EQ(api.PcbApi_GetObjectBitField3(R, track, nullptr), 1);
  EXPECT_EQ(api.PcbApi_QueryObjectBoundingRectangle(track, &i, &i, nullptr, &i), 1);
  EXPECT_EQ(api.PcbApi_QueryObjectBoundingRectangle(999999, &i, &i, &i, &i), 1);
  EXPECT_EQ(api.PcbApi_QueryBoard(R, board, &i, nullptr, &i, &i, &i, &i, &i, &i, &i, &i), 1);
  EXPECT_EQ(api.PcbApi_QueryPadOrViaSizeOnLayer(track, 1, &i, &i), 1);
  EXPECT_EQ(api.PcbApi_GetBoardHandleFromFullFileName(nullptr), 0u);
  EXPECT_EQ(api.PcbApi_AddMemberToClass(Make(tarvex::kClass), nullptr), 1);
  EXPECT_EQ(api.PcbApi_SendCommand(nullptr, nullptr, 0, 0), 1);
  api.PcbApi_Percent_Init(nullptr, 5);  // an empty title
  EXPECT_EQ(host.Progress().back().Title, "");
  // Layer ids outside the board's layers.
  uint8_t name[256] = {};
  for (uint8_t layer : {0, 83, 255})
    EXPECT_EQ(api.PcbApi_QueryLayer(R, layer, board, name, &i, &b, &b, &b, &b, &b), 1) << +layer;
  EXPECT_EQ(api.PcbApi_QueryInternalPlane(R, kTopLayer, board, name, &i, &b, &b, &b, &b, name), 1);
  EXPECT_EQ(api.PcbApi_QueryBoardOutputOptionsPlotLayers(R, board, 110, &b), 1);
  EXPECT_EQ(api.PcbApi_QueryBoardPrinterOptionsPlotterPen(R, board, 0, &i, &i), 1);
  EXPECT_EQ(api.PcbApi_QueryBoardLayerPairAt(R, board, 1, &b, &b, &b, &b), 1);
}

TEST_F(Tarvex, PolygonTakesAtMost500Vertices) {
  const uint32_t poly = Make(tarvex::kPolygon, board);
  std::vector<pcbabi::TVertexRecord> v(pcbabi::kVertexRecords);
  uint16_t w = 0;
  uint8_t b = 0;
  uint32_t net = 0;
  int32_t i = 0;
  for (int k = 0; k < 501; ++k) v[static_cast<size_t>(k)] = {0, k * 10, k * 20, {}};
  auto write = [&](int32_t count) {
    return api.PcbApi_QueryPolygon(W, poly, &w, &w, &b, &net, &b, &b, &b, &b, &i, &i, &b, &b, &i,
                                   &b, &count, v.data());
  };
  EXPECT_EQ(write(3), 0);
  EXPECT_EQ(write(501), 1);
  EXPECT_EQ(write(-1), 1);
  EXPECT_EQ(host.GetObject(poly)->VertexCount, 3) << "a refused write changes nothing";
  EXPECT_EQ(write(500), 0);
  // Every one of the 501 records comes back as written.
  std::vector<pcbabi::TVertexRecord> back(pcbabi::kVertexRecords);
  int32_t count = 0;
  ASSERT_EQ(api.PcbApi_QueryPolygon(R, poly, &w, &w, &b, &net, &b, &b, &b, &b, &i, &i, &b, &b,
                                    &i, &b, &count, back.data()), 0);
  EXPECT_EQ(count, 500);
  EXPECT_EQ(std::memcmp(back.data(), v.data(), back.size() * sizeof back[0]), 0);
}

TEST_F(Tarvex, StringFieldsAreCutToTheirCapacity) {
  const uint32_t pad = Make(tarvex::kPad);
  Edit<PadRec>(pad, [](PadRec& r) { r.name = Short(std::string(40, 'p')); });
  EXPECT_EQ(FromShort(Read<PadRec>(pad).name.data()), std::string(20, 'p'));
  const uint32_t text = Make(tarvex::kText);
  Edit<TextRec>(text, [](TextRec& r) { r.text = Short(std::string(255, 't')); });
  EXPECT_EQ(FromShort(Read<TextRec>(text).text.data()).size(), 254u);
  const uint32_t comp = Make(tarvex::kComponent);
  Edit<ComponentRec>(comp, [](ComponentRec& r) { r.pattern = Short(std::string(255, 'c')); });
  EXPECT_EQ(FromShort(Read<ComponentRec>(comp).pattern.data()).size(), 250u);
}

TEST_F(Tarvex, PadStackModes) {
  const uint32_t pad = Make(tarvex::kPad);
  Edit<PadRec>(pad, [](PadRec& r) {
    r.txs = 100; r.tys = 110; r.mxs = 200; r.mys = 210; r.bxs = 300; r.bys = 310;
    r.ts = 1; r.ms = 2; r.bs = 3;
  });
  int32_t x = 0, y = 0;
  uint8_t shape = 0, mode = 1;
  // Mode 0: every copper layer shows the top.
  ASSERT_EQ(api.PcbApi_QueryPadOrViaSizeOnLayer(pad, 20, &x, &y), 0);
  EXPECT_EQ(x, 100);
  ASSERT_EQ(api.PcbApi_QueryPadStackMode(W, pad, &mode), 0);
  api.PcbApi_QueryPadOrViaSizeOnLayer(pad, 20, &x, &y);
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(200, 210));
  api.PcbApi_QueryPadOrViaSizeOnLayer(pad, kBottomLayer, &x, &y);
  EXPECT_EQ(x, 300);
  api.PcbApi_QueryPadOrViaShapeOnLayer(pad, kTopLayer, &shape);
  EXPECT_EQ(shape, 1);
  // Mode 2: each layer its own, starting from what mode 1 gave.
  mode = 2;
  ASSERT_EQ(api.PcbApi_QueryPadStackMode(W, pad, &mode), 0);
  api.PcbApi_QueryPadOrViaSizeOnLayer(pad, 20, &x, &y);
  EXPECT_EQ(x, 200);
  EXPECT_EQ(api.PcbApi_SetPadSizeOnLayer(pad, 20, 444, 555), 0);
  EXPECT_EQ(api.PcbApi_SetPadShapeOnLayer(pad, 20, 3), 0);
  api.PcbApi_QueryPadOrViaSizeOnLayer(pad, 20, &x, &y);
  api.PcbApi_QueryPadOrViaShapeOnLayer(pad, 20, &shape);
  EXPECT_EQ(std::make_tuple(x, y, shape), std::make_tuple(444, 555, uint8_t{3}));
  api.PcbApi_QueryPadOrViaSizeOnLayer(pad, 21, &x, &y);
  EXPECT_EQ(x, 200) << "the other layers keep theirs";
  // Outside the copper layers and modes.
  mode = 3;
  EXPECT_EQ(api.PcbApi_QueryPadStackMode(W, pad, &mode), 1);
  EXPECT_EQ(api.PcbApi_SetPadSizeOnLayer(pad, 33, 1, 1), 1);
  EXPECT_EQ(api.PcbApi_QueryPadOrViaSizeOnLayer(pad, kMultiLayer, &x, &y), 1);
  // A via: its size and a round shape on every copper layer.
  const uint32_t via = Make(tarvex::kVia);
  api.PcbApi_QueryPadOrViaSizeOnLayer(via, 5, &x, &y);
  api.PcbApi_QueryPadOrViaShapeOnLayer(via, 5, &shape);
  EXPECT_EQ(std::make_tuple(x, y, shape),
            std::make_tuple(host.GetDefaults().ViaSize, host.GetDefaults().ViaSize,
                            uint8_t{tarvex::kRound}));
  EXPECT_EQ(api.PcbApi_SetPadSizeOnLayer(via, 5, 1, 1), 1);
}

// ---- Component placement --------------------------------------------------------------

struct PlacementCase {
  const char* name;
  int32_t x, y;
  double rotation;
  uint8_t side;
  // Expected: track end points, pad centre, rotation and layer, arc angles,
  // text position, rotation and mirror, designator position.
  int32_t tx1, ty1, tx2, ty2;
  int32_t px, py;
  double pRotation;
  uint8_t pLayer;
  double aStart, aEnd;
  int32_t textX, textY;
  double textRotation;
  uint8_t textMirrored;
  int32_t dx, dy;
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

class TarvexPlacement : public Tarvex, public ::testing::WithParamInterface<PlacementCase> {
 protected:
  void SetUp() override {
    Tarvex::SetUp();
    comp = Make(tarvex::kComponent);
    // Built at the component's origin, as the importers do.
    track = Make(tarvex::kTrack, comp);
    Edit<TrackRec>(track, [](TrackRec& r) { r.x = 0; r.y = 0; r.x2 = 1000; r.y2 = 0; });
    pad = Make(tarvex::kPad, comp);
    Edit<PadRec>(pad, [](PadRec& r) {
      r.x = 1000; r.y = 0; r.layer = kTopLayer; r.txs = 60; r.tys = 40; r.bxs = 50; r.bys = 50;
    });
    arc = Make(tarvex::kArc, comp);
    Edit<ArcRec>(arc, [](ArcRec& r) { r.radius = 500; r.start = 0; r.end = 90; r.layer = kTopOverlay; });
    text = Make(tarvex::kText, comp);
    Edit<TextRec>(text, [](TextRec& r) { r.x = 0; r.y = 1000; });
    designator = Read<ComponentRec>(comp).designator;
    Edit<TextRec>(designator, [](TextRec& r) { r.x = 100; r.y = 200; });
  }
  uint32_t comp = 0, track = 0, pad = 0, arc = 0, text = 0, designator = 0;
};

TEST_P(TarvexPlacement, MovesRotatesAndFlipsThePrimitivesAndTexts) {
  const PlacementCase& c = GetParam();
  // Side and rotation first, then the position, as the importers write them.
  Edit<ComponentRec>(comp, [&](ComponentRec& r) { r.rotation = c.rotation; r.layer = c.side; }, P);
  Edit<ComponentRec>(comp, [&](ComponentRec& r) { r.x = c.x; r.y = c.y; }, P);
  const auto t = Read<TrackRec>(track);
  EXPECT_EQ(std::make_tuple(t.x, t.y, t.x2, t.y2), std::make_tuple(c.tx1, c.ty1, c.tx2, c.ty2));
  const auto p = Read<PadRec>(pad);
  EXPECT_EQ(std::make_tuple(p.x, p.y, p.layer), std::make_tuple(c.px, c.py, c.pLayer));
  EXPECT_DOUBLE_EQ(p.rotation, c.pRotation);
  const auto a = Read<ArcRec>(arc);
  EXPECT_DOUBLE_EQ(a.start, c.aStart);
  EXPECT_DOUBLE_EQ(a.end, c.aEnd);
  const auto x = Read<TextRec>(text);
  EXPECT_EQ(std::make_tuple(x.x, x.y, x.mirrored), std::make_tuple(c.textX, c.textY, c.textMirrored));
  EXPECT_DOUBLE_EQ(x.rotation, c.textRotation);
  const auto d = Read<TextRec>(designator);
  EXPECT_EQ(std::make_pair(d.x, d.y), std::make_pair(c.dx, c.dy));
  const bool flipped = c.side == kBottomLayer;
  EXPECT_EQ(a.layer, flipped ? kBottomOverlay : kTopOverlay);
  EXPECT_EQ(p.txs, flipped ? 50 : 60) << "top and bottom sizes swap on a flip";
  EXPECT_EQ(p.bxs, flipped ? 60 : 50);
}

INSTANTIATE_TEST_SUITE_P(
    Tarvex, TarvexPlacement,
    ::testing::Values(
        PlacementCase{"move", 5000, 3000, 0, kTopLayer, 5000, 3000, 6000, 3000, 6000, 3000, 0,
                      kTopLayer, 0, 90, 5000, 4000, 0, 0, 5100, 3200},
        PlacementCase{"rotate", 0, 0, 90, kTopLayer, 0, 0, 0, 1000, 0, 1000, 90, kTopLayer, 90,
                      180, -1000, 0, 90, 0, -200, 100},
        PlacementCase{"rotateAndMove", 5000, 3000, 90, kTopLayer, 5000, 3000, 5000, 4000, 5000,
                      4000, 90, kTopLayer, 90, 180, 4000, 3000, 90, 0, 4800, 3100},
        PlacementCase{"flip", 0, 0, 0, kBottomLayer, 0, 0, -1000, 0, -1000, 0, 0, kBottomLayer,
                      90, 180, 0, 1000, 0, 1, -100, 200},
        // The importers write 360 - rotation for the bottom side.
        PlacementCase{"flipRotated", 0, 0, 270, kBottomLayer, 0, 0, 0, 1000, 0, 1000, 270,
                      kBottomLayer, 0, 90, 1000, 0, 270, 1, 200, 100}),
    [](const ::testing::TestParamInfo<PlacementCase>& param) { return param.param.name; });

TEST_F(TarvexPlacement, PlainWriteMovesNothing) {
  Edit<ComponentRec>(comp, [](ComponentRec& r) {
    r.x = 7000; r.y = 7000; r.rotation = 90; r.layer = kBottomLayer;
  });
  const auto t = Read<TrackRec>(track);
  EXPECT_EQ(std::make_tuple(t.x, t.y, t.x2, t.y2, t.layer),
            std::make_tuple(0, 0, 1000, 0, uint8_t{kTopLayer}));
  EXPECT_EQ(Read<TextRec>(designator).x, 100);
  // A later placement write starts from the component's written placement.
  Edit<ComponentRec>(comp, [](ComponentRec& r) { r.x = 8000; }, P);
  EXPECT_EQ(Read<TrackRec>(track).x, 1000);
}

TEST_F(TarvexPlacement, FlippingBackRestoresTheComponent) {
  Edit<ComponentRec>(comp, [](ComponentRec& r) { r.x = 300; r.rotation = 30; }, P);
  Edit<ComponentRec>(comp, [](ComponentRec& r) { r.layer = kBottomLayer; r.rotation = 330; }, P);
  Edit<ComponentRec>(comp, [](ComponentRec& r) { r.layer = kTopLayer; r.rotation = 0; r.x = 0; }, P);
  const auto t = Read<TrackRec>(track);
  EXPECT_EQ(std::make_tuple(t.x, t.y, t.x2, t.y2, t.layer),
            std::make_tuple(0, 0, 1000, 0, uint8_t{kTopLayer}));
  const auto x = Read<TextRec>(text);
  EXPECT_EQ(std::make_tuple(x.x, x.y, x.mirrored), std::make_tuple(0, 1000, uint8_t{0}));
  EXPECT_NEAR(x.rotation, 0.0, 1e-9);
}

// ---- Bounding rectangles ----------------------------------------------------------------

TEST_F(Tarvex, TextBoundsFollowTheStrokeFontModel) {
  const uint32_t text = Make(tarvex::kText);
  auto bounds = [&] {
    tarvex::Rect r;
    EXPECT_EQ(api.PcbApi_QueryObjectBoundingRectangle(text, &r.X1, &r.Y1, &r.X2, &r.Y2), 0);
    return r;
  };
  // Three characters of height 600000: 3 x 2/3 x 600000 wide, with half the
  // stroke width (100000) all round.
  Edit<TextRec>(text, [](TextRec& r) {
    r.text = Short("ABC"); r.height = 600000; r.strokeWidth = 100000; r.x = 0; r.y = 0;
  });
  EXPECT_EQ(bounds(), (tarvex::Rect{-50000, -50000, 1250000, 650000}));
  Edit<TextRec>(text, [](TextRec& r) { r.rotation = 90; r.x = 1000; });
  EXPECT_EQ(bounds(), (tarvex::Rect{1000 - 650000, -50000, 1000 + 50000, 1250000}));
  Edit<TextRec>(text, [](TextRec& r) { r.rotation = 0; r.mirrored = 1; r.x = 0; });
  EXPECT_EQ(bounds(), (tarvex::Rect{-1250000, -50000, 50000, 650000}));
  Edit<TextRec>(text, [](TextRec& r) { r.mirrored = 0; r.text = Short(""); });
  EXPECT_EQ(bounds(), (tarvex::Rect{-50000, -50000, 50000, 650000}));
  // Other kinds: a track with its width; a rule has no rectangle.
  const uint32_t track = Make(tarvex::kTrack);
  Edit<TrackRec>(track, [](TrackRec& r) { r.x = 0; r.y = 0; r.x2 = 1000000; r.y2 = 0; r.width = 100000; });
  tarvex::Rect r;
  api.PcbApi_QueryObjectBoundingRectangle(track, &r.X1, &r.Y1, &r.X2, &r.Y2);
  EXPECT_EQ(r, (tarvex::Rect{-50000, -50000, 1050000, 50000}));
  EXPECT_EQ(api.PcbApi_QueryObjectBoundingRectangle(Make(tarvex::kRule), &r.X1, &r.Y1, &r.X2, &r.Y2), 1);
}

// ---- Classes and rules --------------------------------------------------------------------

TEST_F(Tarvex, ClassMembers) {
  const uint32_t cls = api.PcbApi_CreateClassObjectEx(1);
  EXPECT_EQ(host.GetObject(cls)->MemberKind, 1);
  uint8_t name[256];
  EXPECT_EQ(api.PcbApi_GetMemberFromClassAt(cls, 0, name), 1) << "a new class has no members";
  EXPECT_EQ(api.PcbApi_AddMemberToClass(cls, Short("U1").data()), 0);
  EXPECT_EQ(api.PcbApi_AddMemberToClass(cls, Short("U2").data()), 0);
  ASSERT_EQ(api.PcbApi_GetMemberFromClassAt(cls, 1, name), 0);
  EXPECT_EQ(FromShort(name), "U2");
  EXPECT_EQ(api.PcbApi_GetMemberFromClassAt(cls, 2, name), 1);
  EXPECT_EQ(api.PcbApi_GetMemberFromClassAt(cls, -1, name), 1);
  EXPECT_EQ(api.PcbApi_RemoveAllMembersFromClass(cls), 0);
  EXPECT_TRUE(host.GetObject(cls)->Members.empty());
}

TEST_F(Tarvex, RuleScopesAndValues) {
  const uint32_t rule = api.PcbApi_CreateRuleObject(11);
  uint8_t kind = 0, aux = 0;
  api.PcbApi_QueryRuleExt(R, rule, &kind, &aux, &aux);
  EXPECT_EQ(kind, 11);
  api.PcbApi_SetState_AddSubscope(rule, 0, 8, Short("GND").data(), 0, 0, 1, 2, 3, 4);
  api.PcbApi_SetState_AddSubscope(rule, 0, 2, Short("").data(), kBottomLayer, 0, 0, 0, 0, 0);
  api.PcbApi_SetState_AddSubscope(rule, 2, 0, Short("").data(), 0, 0, 0, 0, 0, 0);  // no scope 2
  EXPECT_EQ(api.PcbApi_GetState_SubScopesCount(rule, 0), 2);
  EXPECT_EQ(api.PcbApi_GetState_SubScopesCount(rule, 1), 0);
  EXPECT_EQ(api.PcbApi_GetState_SubScopesCount(rule, 2), 0);
  uint8_t k = 0, layer = 0, kinds = 0, name[256] = {};
  int32_t v[4] = {};
  api.PcbApi_GetState_SubscopeAt(rule, 0, 0, &k, name, &layer, &kinds, &v[0], &v[1], &v[2], &v[3]);
  EXPECT_EQ(std::make_tuple(k, FromShort(name), v[3]), std::make_tuple(uint8_t{8}, std::string("GND"), 4));
  k = 77;
  api.PcbApi_GetState_SubscopeAt(rule, 0, 5, &k, name, &layer, &kinds, &v[0], &v[1], &v[2], &v[3]);
  EXPECT_EQ(k, 77) << "an index past the end writes nothing";
  api.PcbApi_SetState_DeleteAllSubScopes(rule, 0);
  EXPECT_EQ(api.PcbApi_GetState_SubScopesCount(rule, 0), 0);
  // Constraint values are kept per rule.
  int32_t s[6] = {1, 2, 3, 4, 5, 6}, back[6] = {};
  ASSERT_EQ(api.PcbApi_QueryRuleRoutingViaStyleRuleExt(W, rule, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5]), 0);
  api.PcbApi_QueryRuleRoutingViaStyleRuleExt(R, rule, &back[0], &back[1], &back[2], &back[3], &back[4], &back[5]);
  EXPECT_EQ(std::memcmp(s, back, sizeof s), 0);
  uint8_t ck = 0, cl = kBottomLayer;
  int32_t rect[4] = {-10, -20, 30, 40};
  ASSERT_EQ(api.PcbApi_QueryRuleConfinementConstraint(W, rule, &ck, &rect[0], &rect[1], &rect[2], &rect[3], &cl), 0);
  EXPECT_EQ(host.GetObject(rule)->ConfinementLayer, kBottomLayer);
  EXPECT_EQ(host.GetObject(rule)->ConfinementRect[3], 40);
}

// ---- Boards and documents -----------------------------------------------------------------

TEST_F(Tarvex, BoardLayersStackAndPlanes) {
  uint8_t name[256] = {}, aux1, aux2, prev, next, aux3;
  int32_t copper = 0;
  ASSERT_EQ(api.PcbApi_QueryLayer(R, kTopLayer, board, name, &copper, &aux1, &aux2, &prev, &next, &aux3), 0);
  EXPECT_EQ(std::make_tuple(FromShort(name), copper, prev, next),
            std::make_tuple(std::string("Top Layer"), 14000, uint8_t{0}, uint8_t{kBottomLayer}));
  api.PcbApi_QueryLayer(R, kBottomLayer, board, name, &copper, &aux1, &aux2, &prev, &next, &aux3);
  EXPECT_EQ(std::make_pair(prev, next), std::make_pair(uint8_t{kTopLayer}, uint8_t{0}));
  api.PcbApi_QueryLayer(R, 5, board, name, &copper, &aux1, &aux2, &prev, &next, &aux3);
  EXPECT_EQ(std::make_pair(prev, next), std::make_pair(uint8_t{0}, uint8_t{0})) << "not in the stack";
  // Internal plane net names.
  uint8_t net[256] = {};
  ASSERT_EQ(api.PcbApi_QueryInternalPlane(R, 40, board, name, &copper, &aux1, &aux2, &prev, &next, net), 0);
  EXPECT_EQ(FromShort(net), "(No Net)");
  auto gnd = Short("GND");
  ASSERT_EQ(api.PcbApi_QueryInternalPlane(W, 40, board, name, &copper, &aux1, &aux2, &prev, &next, gnd.data()), 0);
  EXPECT_EQ(host.GetDocument(board)->Layers[40].NetName, "GND");
  EXPECT_EQ(host.GetDocument(board)->Layers[39].NetName, "(No Net)");
  // The default layer pair.
  int32_t count = 0;
  uint8_t l1, l2, pa, pb;
  ASSERT_EQ(api.PcbApi_QueryBoardLayerPairsCount(board, &count), 0);
  ASSERT_EQ(count, 1);
  api.PcbApi_QueryBoardLayerPairAt(R, board, 0, &l1, &l2, &pa, &pb);
  EXPECT_EQ(std::make_pair(l1, l2), std::make_pair(uint8_t{kTopLayer}, uint8_t{kBottomLayer}));
}

TEST_F(Tarvex, BoardRecordReportsThePathAndKeepsIt) {
  int32_t aux = 0, v[8] = {};
  uint8_t file[256] = {};
  ASSERT_EQ(api.PcbApi_QueryBoard(R, board, &aux, file, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]), 0);
  EXPECT_EQ(FromShort(file), "/boards/a.pcb");
  auto other = Short("/elsewhere.pcb");
  v[7] = 77;
  ASSERT_EQ(api.PcbApi_QueryBoard(W, board, &aux, other.data(), &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]), 0);
  EXPECT_EQ(host.GetDocument(board)->Path, "/boards/a.pcb");
  EXPECT_EQ(host.GetDocument(board)->BoardRecord[7], 77);
  const uint32_t second = host.NewDocument("pcb", "/boards/b.pcb");
  EXPECT_EQ(api.PcbApi_GetBoardHandleFromFullFileName(Short("/boards/b.pcb").data()), second);
  EXPECT_EQ(api.PcbApi_GetBoardHandleFromFullFileName(Short("/boards/a.pcb").data()), board);
  EXPECT_EQ(api.PcbApi_GetBoardHandleFromFullFileName(Short("/boards/A.pcb").data()), 0u);
  EXPECT_EQ(host.NewDocument("Schematic", "/x.sch"), 0u);
}

TEST_F(Tarvex, CurrentDocument) {
  EXPECT_EQ(api.PcbApi_GetCurrentBoardHandle(), 0u);
  const uint32_t second = host.NewDocument("PCB", "/boards/b.pcb");
  EXPECT_TRUE(host.MakeCurrent(second));
  EXPECT_EQ(api.PcbApi_GetCurrentBoardHandle(), second);
  EXPECT_FALSE(host.MakeCurrent(api.PcbApi_CreateObject(tarvex::kTrack)));
  EXPECT_EQ(api.PcbApi_GetCurrentBoardHandle(), second);
  EXPECT_TRUE(host.MakeCurrent(0));
  EXPECT_EQ(api.PcbApi_GetCurrentBoardHandle(), 0u);
}

TEST_F(Tarvex, LibraryBoardStandsForTheCurrentComponent) {
  const uint32_t lib = host.NewDocument("PCBLib", "/libs/a.lia");
  const uint32_t t1 = Make(tarvex::kTrack);
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(lib, t1), 1) << "no component yet";
  ASSERT_TRUE(host.AddLibraryComponent(lib, "SO8"));
  EXPECT_EQ(api.PcbApi_AddObjectToContainer(lib, t1), 0);
  ASSERT_TRUE(host.AddLibraryComponent(lib, "DIP14"));
  EXPECT_EQ(Walk(lib).size(), 0u) << "the new component is current";
  const uint32_t t2 = TrackOn(kTopLayer, lib);
  EXPECT_EQ(Walk(lib), (std::vector<uint32_t>{t2}));
  ASSERT_TRUE(host.SetCurrentLibraryComponent(lib, 0));
  EXPECT_EQ(Walk(lib), (std::vector<uint32_t>{t1}));
  EXPECT_EQ(api.PcbApi_DeleteObjectFromContainer(lib, t2), 0) << "taken from the component holding it";
  EXPECT_TRUE(host.GetDocument(lib)->Library[1].Objects.empty());
  EXPECT_FALSE(host.AddLibraryComponent(board, "X")) << "a board document has no library";
}

// ---- Logs and commands ------------------------------------------------------------------------

TEST_F(Tarvex, ProgressAndEventsAreLoggedInOrder) {
  api.PcbApi_Percent_Update();  // before any display
  api.PcbApi_Percent_Init(Short("Scanning").data(), 0);
  api.PcbApi_Percent_Finish();
  api.PcbApi_Percent_Init(Short("Loading").data(), 3);
  for (int k = 0; k < 3; ++k) api.PcbApi_Percent_Update();
  api.PcbApi_Percent_Finish();
  ASSERT_EQ(host.Progress().size(), 2u);
  EXPECT_EQ(host.Progress()[0].Title, "Scanning");
  EXPECT_EQ(host.Progress()[1].Updates, 3);
  EXPECT_TRUE(host.Progress()[1].Finished);
  EXPECT_EQ(host.StrayProgressCalls(), 1);
  api.PcbApi_EventRouter_SendMessage(0, 0, 14, 0);
  api.PcbApi_EventRouter_SendMessage(board, 0, 12, board);
  EXPECT_EQ(host.Events(), (std::vector<tarvex::EventMessage>{{0, 0, 14, 0}, {board, 0, 12, board}}));
}

// What the host program hears of the progress display: the start, steps at
// notification points only, the finish; nothing of stray calls.
TEST_F(Tarvex, ProgressObserverHearsAtNotificationPoints) {
  struct Observer final : tarvex::IProgressObserver {
    std::vector<std::string> heard;
    void ProgressStarted(const std::string& title, int32_t total) override {
      heard.push_back("start " + title + " " + std::to_string(total));
    }
    void ProgressStepped(int64_t steps) override { heard.push_back(std::to_string(steps)); }
    void ProgressFinished() override { heard.push_back("finish"); }
  } observer;
  host.SetProgressObserver(&observer);
  const auto run = [&](const char* title, int32_t total, int steps) {
    observer.heard.clear();
    api.PcbApi_Percent_Init(Short(title).data(), total);
    for (int k = 0; k < steps; ++k) api.PcbApi_Percent_Update();
    api.PcbApi_Percent_Finish();
    return observer.heard;
  };
  using Heard = std::vector<std::string>;
  EXPECT_EQ(run("Small", 3, 4), (Heard{"start Small 3", "1", "2", "3", "4", "finish"}));
  Heard big = run("Big", 10000, 10000);  // every 10th step
  ASSERT_EQ(big.size(), 1002u);
  EXPECT_EQ(big[1], "1");
  EXPECT_EQ(big[2], "11");
  EXPECT_EQ(big[1000], "9991");
  EXPECT_EQ(run("Open", 0, 600), (Heard{"start Open 0", "1", "257", "513", "finish"}));
  observer.heard.clear();
  api.PcbApi_Percent_Update();
  api.PcbApi_Percent_Finish();
  EXPECT_TRUE(observer.heard.empty());
  host.SetProgressObserver(nullptr);
  EXPECT_TRUE(run("Unheard", 3, 3).empty());
  EXPECT_EQ(host.Progress().back().Updates, 3);
}

TEST_F(Tarvex, CommonDialogAnswersWhatTheHostWasGiven) {
  host.QueueCommonDialogAnswer("Result=True|Path=/cfg/a.cfg");
  char buffer[4096] = "Dialog=FileOpenSave|Mode=1|Path=x.cfg";
  EXPECT_EQ(api.PcbApi_SendCommand("Client:RunCommonDialog", buffer, sizeof buffer, 0), 0);
  EXPECT_STREQ(buffer, "Result=True|Path=/cfg/a.cfg");
  EXPECT_EQ(host.Commands().back().Request, "Dialog=FileOpenSave|Mode=1|Path=x.cfg");
  // Queued answers are used once; then the standing answer (cancel).
  EXPECT_EQ(api.PcbApi_SendCommand("Client:RunCommonDialog", buffer, sizeof buffer, 0), 0);
  EXPECT_STREQ(buffer, "Result=False");
  // The answer never runs past the buffer.
  host.SetStandingCommonDialogAnswer("Result=True|Path=/a/very/long/path.cfg");
  char small[12];
  std::memset(small, 'x', sizeof small);
  small[0] = '\0';
  EXPECT_EQ(api.PcbApi_SendCommand("Client:RunCommonDialog", small, 8, 0), 0);
  EXPECT_STREQ(small, "Result=");
  EXPECT_EQ(small[8], 'x');
  EXPECT_EQ(api.PcbApi_SendCommand("PCB:Zoom", buffer, sizeof buffer, 0), 1);
  EXPECT_EQ(host.Commands().back().Process, "PCB:Zoom");
}

// A person asked for the file: after the queued answers, before the standing
// one; answering nothing leaves the standing answer.
TEST_F(Tarvex, CommonDialogPromptComesAfterQueuedAnswers) {
  std::vector<std::string> asked;
  std::optional<std::string> reply = "Result=True|Path=/typed.cfg";
  host.SetCommonDialogPrompt([&](const std::string& request) {
    asked.push_back(request);
    return reply;
  });
  host.QueueCommonDialogAnswer("Result=True|Path=/queued.cfg");
  const auto dialog = [&] {
    char buffer[256] = "Dialog=FileOpenSave|Mode=0";
    EXPECT_EQ(api.PcbApi_SendCommand("Client:RunCommonDialog", buffer, sizeof buffer, 0), 0);
    return std::string(buffer);
  };
  EXPECT_EQ(dialog(), "Result=True|Path=/queued.cfg");
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(dialog(), "Result=True|Path=/typed.cfg");
  EXPECT_EQ(asked, std::vector<std::string>{"Dialog=FileOpenSave|Mode=0"});
  reply.reset();
  EXPECT_EQ(dialog(), "Result=False");
  host.Reset();  // takes the prompt away
  EXPECT_EQ(dialog(), "Result=False");
  EXPECT_EQ(asked.size(), 2u);
}

}  // namespace
}  // namespace hosttest

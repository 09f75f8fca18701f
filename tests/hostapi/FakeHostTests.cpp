// The binding against a recording host module: which names are bound, the
// order in which every record crosses the boundary, and the call sequences of
// the wrappers (pad stacks, class members, rule scopes, the whole board).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbBoard.h"
#include "hostapi/PcbObjects.h"
#include "hostapi/PcbUtil.h"
#include "platform/Platform.h"

namespace {

// The test controls of the recording host.
class Fake {
 public:
  explicit Fake(platform::ModuleHandle module) : module_(module) {}
  template <class F>
  F Get(const char* name) const {
    auto f = reinterpret_cast<F>(platform::FindExport(module_, name));
    if (!f) ADD_FAILURE() << "the recording host has no " << name;
    return f;
  }
  void Reset() const { Get<void (*)()>("FakeHost_Reset")(); }
  void ClearLog() const { Get<void (*)()>("FakeHost_ClearLog")(); }
  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    std::istringstream in(Get<const char* (*)()>("FakeHost_Log")());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // Lines of the log that begin with a prefix.
  std::vector<std::string> Lines(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& line : Log())
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
  }
  std::string Record(const char* fn, THandle h, long long index = -1) const {
    return Get<const char* (*)(const char*, uint32_t, long long)>("FakeHost_Record")(fn, h, index);
  }
  void SetStatus(const char* fn, int32_t status) const {
    Get<void (*)(const char*, int32_t)>("FakeHost_SetStatus")(fn, status);
  }
  void SetPairCountStatus(int32_t status) const {
    Get<void (*)(int32_t)>("FakeHost_SetPairCountStatus")(status);
  }
  void SetReferenceCount(THandle h, int32_t n) const {
    Get<void (*)(uint32_t, int32_t)>("FakeHost_SetReferenceCount")(h, n);
  }
  void SetPadLayer(THandle h, uint8_t layer, uint8_t shape, int32_t x, int32_t y) const {
    Get<void (*)(uint32_t, uint8_t, uint8_t, int32_t, int32_t)>("FakeHost_SetPadLayer")(h, layer, shape,
                                                                                      x, y);
  }
  void AddMember(THandle h, const char* name) const {
    Get<void (*)(uint32_t, const char*)>("FakeHost_AddMember")(h, name);
  }
  void SetKind(THandle h, uint8_t kind) const {
    Get<void (*)(uint32_t, uint8_t)>("FakeHost_SetKind")(h, kind);
  }

 private:
  platform::ModuleHandle module_;
};

class FakeHostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    module_ = platform::LoadModule(HOST_MODULE_PATH, &error);
    ASSERT_NE(module_, nullptr) << error;
    hostapi::OnModuleLoad();
  }
  void SetUp() override {
    ASSERT_NE(module_, nullptr);
    fake_ = std::make_unique<Fake>(module_);
    fake_->Reset();
  }
  THandle New(uint8_t kind) { return hostapi::PcbApi_CreateObject(kind); }
  const Fake& fake() const { return *fake_; }

  static platform::ModuleHandle module_;
  std::unique_ptr<Fake> fake_;
};
platform::ModuleHandle FakeHostTest::module_ = nullptr;

std::string Repeat(char c, size_t n) { return std::string(n, c); }

// ---- Binding ---------------------------------------------------------------------------

TEST_F(FakeHostTest, BindingFindsTheLoadedModuleByNameAndLooksUpEveryName) {
  EXPECT_NE(hostapi::HostPcbModule, nullptr);
  ASSERT_EQ(hostapi::kHostPcbApiNameCount, 238u);
  using hostapi::Api;
  EXPECT_STREQ(hostapi::ApiName(Api::PcbApi_QueryFocusedPrimitive), "PcbApi_QueryFocusedPrimitive");
  EXPECT_STREQ(hostapi::ApiName(static_cast<Api>(237)), "PcbApi_DestroyLibReader");
  EXPECT_STREQ(hostapi::ApiName(Api::PCBAPI_GetUnaryRuleForPrimitive),
               "PCBAPI_GetUnaryRuleForPrimitive");
  // Exported by the recording host: bound.
  EXPECT_NE(hostapi::BoundEntry(Api::PcbApi_QueryTrack), nullptr);
  EXPECT_NE(hostapi::BoundEntry(Api::PcbApi_GetBoardHandleFromFullFileName), nullptr);
  // Looked up but not exported: empty, and nothing failed on the way.
  EXPECT_EQ(hostapi::BoundEntry(Api::PcbApi_QueryFocusedPrimitive), nullptr);
  EXPECT_EQ(hostapi::BoundEntry(Api::PcbApi_QueryComponentEx), nullptr);
  int bound = 0;
  for (size_t i = 0; i < hostapi::kHostPcbApiNameCount; ++i)
    if (hostapi::BoundEntry(static_cast<Api>(i))) ++bound;
  // Every called function but the one the recording host leaves out.
  EXPECT_EQ(bound, 81);
}

TEST_F(FakeHostTest, OneMissingFunctionAnswersItsAbsentValueAndTheOthersWork) {
  int32_t extra1 = 5;
  uint8_t e2 = 6, e3 = 7, e4 = 8;
  EXPECT_EQ(hostapi::PcbApi_QueryComponentEx(qdRead, 1, &extra1, &e2, &e3, &e4), 0);
  EXPECT_EQ(extra1, 5);

  const THandle h = New(okComponent);
  TPcbComponent component(h);
  component.CompExtra1 = 41;
  component.Pattern = "DIP14";
  component.X = 100;
  fake().SetStatus("Component", 3);
  EXPECT_EQ(component.Exchange(qdWrite), 3);  // the status of the component record
  EXPECT_EQ(fake().Record("Component", h).find("'DIP14'") != std::string::npos, true);
  TPcbComponent back(h);
  back.CompExtra1 = 77;
  back.Exchange(qdRead);
  EXPECT_EQ(back.X, 100);
  EXPECT_EQ(back.Pattern, "DIP14");
  EXPECT_EQ(back.CompExtra1, 77);  // the missing record leaves its fields alone
}

// ---- Record order -----------------------------------------------------------------------

// Each case fills a wrapper so that, in the host's record order, the fields
// count 1, 2, 3, ...; a field passed out of order shows in the record text.
struct RecordCase {
  const char* Name;
  std::function<std::unique_ptr<TPCBObject>(THandle)> Make;
  std::vector<std::pair<const char*, std::string>> Records;
};

std::vector<RecordCase> RecordCases() {
  std::vector<RecordCase> cases;
  cases.push_back({"primitive",
                   [](THandle h) {
                     auto o = std::make_unique<TPCBObject>(h);
                     o->Flags = 1, o->ExtraWord = 2, o->Layer = 3, o->Net = 4, o->ExtraLong = 5,
                     o->ExtraByte = 6;
                     return o;
                   },
                   {{"Primitive", "1 2 3 4 5 6"}}});
  cases.push_back({"track",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbTrack>(h);
                     o->Flags = 1, o->ExtraWord = 2, o->Layer = 3, o->Net = 4, o->ExtraByte = 5,
                     o->ExtraLong = 6, o->X = 7, o->Y = 8, o->X2 = 9, o->Y2 = 10, o->Width = 11,
                     o->Aux1 = 12, o->Aux2 = 13, o->Aux3 = 14;
                     return o;
                   },
                   {{"Track", "1 2 3 4 5 6 7 8 9 10 11 12 13 14"}}});
  cases.push_back({"arc",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbArc>(h);
                     o->Flags = 1, o->ExtraWord = 2, o->Layer = 3, o->Net = 4, o->ExtraByte = 5,
                     o->ExtraLong = 6, o->X = 7, o->Y = 8, o->Radius = 9, o->StartAngle = 10,
                     o->EndAngle = 11, o->Width = 12, o->Aux1 = 13;
                     return o;
                   },
                   {{"Arc", "1 2 3 4 5 6 7 8 9 10 11 12 13"}}});
  cases.push_back({"fill",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbFill>(h);
                     o->Flags = 1, o->ExtraWord = 2, o->Layer = 3, o->Net = 4, o->ExtraByte = 5,
                     o->ExtraLong = 6, o->X = 7, o->Y = 8, o->X2 = 9, o->Y2 = 10, o->Aux1 = 11,
                     o->Rotation = 12;
                     return o;
                   },
                   {{"Fill", "1 2 3 4 5 6 7 8 9 10 11 12"}}});
  cases.push_back({"via",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbVia>(h);
                     o->Flags = 1, o->ExtraWord = 2, o->Layer = 3, o->Net = 4, o->ExtraByte = 5,
                     o->ExtraLong = 6, o->X = 7, o->Y = 8, o->Size = 9, o->HoleSize = 10,
                     o->StartLayer = 11, o->EndLayer = 12;
                     return o;
                   },
                   {{"Via", "1 2 3 4 5 6 7 8 9 10 11 12"}}});
  cases.push_back({"text",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbText>(h);
                     o->Flags = 1, o->ExtraWord = 2, o->Layer = 3, o->Net = 4, o->ExtraByte = 5,
                     o->ExtraLong = 6, o->X = 7, o->Y = 8, o->Height = 9, o->Font = 10,
                     o->Rotation = 11, o->Mirrored = 12, o->Text = "T13", o->StrokeWidth = 14,
                     o->Aux2 = 15, o->Aux3 = 16;
                     return o;
                   },
                   {{"Text", "1 2 3 4 5 6 7 8 9 10 11 12 'T13' 14 15 16"}}});
  cases.push_back({"pad",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbPad>(h);
                     o->Flags = 1, o->ExtraWord = 2, o->Layer = 3, o->Net = 4, o->ExtraByte = 5,
                     o->ExtraLong = 6, o->X = 7, o->Y = 8, o->TopXSize = 9, o->TopYSize = 10,
                     o->MidXSize = 11, o->MidYSize = 12, o->BottomXSize = 13, o->BottomYSize = 14,
                     o->HoleSize = 15, o->TopShape = 16, o->MidShape = 17, o->BottomShape = 18,
                     o->Name = "P19", o->PadAux1 = 20, o->PadAux2 = 21, o->Rotation = 22;
                     o->StackMode = 1;
                     return o;
                   },
                   {{"Pad", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 'P19' 20 21 22"},
                    {"StackMode", "1"}}});
  cases.push_back({"polygon",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbPolygon>(h);
                     o->Flags = 1, o->ExtraWord = 2, o->Layer = 3, o->Net = 4, o->ExtraByte = 5,
                     o->RemoveIslands = 6, o->PolyAux1 = 7, o->PolyOption = 8, o->GridSize = 9,
                     o->TrackWidth = 10, o->PolyAux2 = 11, o->HatchStyle = 12, o->PolyAux3 = 13,
                     o->OnInternalPlane = 14, o->VertexCount = 15;
                     return o;
                   },
                   {{"Polygon", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15"}}});
  cases.push_back({"component",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbComponent>(h);
                     o->ChannelOffset = 1, o->ComponentKind = 2, o->Flags = 3, o->ExtraWord = 4,
                     o->Layer = 5, o->ExtraByte = 6, o->DesignatorText = 7, o->CommentText = 8,
                     o->Pattern = "P9", o->DesignatorVisible = 10, o->CommentVisible = 11, o->X = 12,
                     o->Y = 13, o->CompAux1 = 14, o->Rotation = 15, o->CompAux2 = 16;
                     o->SourceLinks = {"a", "b", "c", "d", "e", "f", "g"};
                     return o;
                   },
                   {{"ChannelOffset", "1"},
                    {"ComponentKind", "2"},
                    {"Component", "3 4 5 6 7 8 'P9' 10 11 12 13 14 15 16"},
                    {"SourceLinks", "'a' 'b' 'c' 'd' 'e' 'f' 'g'"}}});
  cases.push_back({"net",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbNet>(h);
                     o->ExtraWord = 1, o->Name = "N2", o->NetAux1 = 3, o->NetAux2 = 4;
                     return o;
                   },
                   {{"Net", "1 'N2' 3 4"}}});
  cases.push_back({"class",
                   [](THandle h) {
                     auto o = std::make_unique<TPCBObjectClass>(h);
                     o->ExtraWord = 1, o->MemberKind = 2, o->ClassAux = 3, o->Name = "C4";
                     return o;
                   },
                   {{"Class", "1 2 3 'C4'"}}});
  cases.push_back({"from-to",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbFromTo>(h);
                     o->ExtraWord = 1, o->X = 2, o->Y = 3, o->FromLayer = 4, o->X2 = 5, o->Y2 = 6,
                     o->ToLayer = 7, o->Net = 8;
                     return o;
                   },
                   {{"FromTo", "1 2 3 4 5 6 7 8"}}});
  cases.push_back({"manual from-to",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbManualFromTo>(h);
                     o->ExtraWord = 1, o->ManualText1 = "a2", o->ManualText2 = "a3",
                     o->ManualText3 = "a4", o->ManualValue = 5;
                     return o;
                   },
                   {{"ManualFromTo", "1 'a2' 'a3' 'a4' 5"}}});
  cases.push_back({"coordinate",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbCoordinate>(h);
                     o->Flags = 1, o->ExtraWord = 2, o->ExtraByte = 3, o->X = 4, o->Y = 5,
                     o->Layer = 6;
                     o->CoordAux = {7, 8, 9, 10, 11, 12};
                     return o;
                   },
                   {{"Coordinate", "1 2 3 4 5 6 7 8 9 10 11 12"}}});
  cases.push_back({"rule",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbRule>(h);
                     for (int i = 0; i < 23; ++i) o->RuleRecord[i] = i + 1;
                     return o;
                   },
                   {{"Rule", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23"}}});
  cases.push_back({"rule ext",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbRuleExt>(h);
                     o->RuleKind = 1, o->RuleAux1 = 2, o->RuleAux2 = 3, o->Name = "R4";
                     return o;
                   },
                   {{"RuleExt", "1 2 3"}, {"RuleExtEx", "'R4'"}}});
  cases.push_back({"dimension",
                   [](THandle h) {
                     auto o = std::make_unique<TPcbDimension>(h);
                     for (int i = 1; i < 12; ++i) o->DimensionRecord[i] = i + 1;
                     for (int i = 0; i < 8; ++i) o->ExtDimensionRecord[i] = 13 + i;
                     return o;
                   },
                   {{"Dimension", "8 2 3 4 5 6 7 8 9 10 11 12"},
                    {"ExtDimension", "13 14 15 16 17 18 19 20"}}});
  return cases;
}

TEST_F(FakeHostTest, EveryRecordIsWrittenInTheHostsFieldOrder) {
  for (const RecordCase& c : RecordCases()) {
    SCOPED_TRACE(c.Name);
    const THandle h = New(0);
    auto wrapper = c.Make(h);
    wrapper->BitField2 = 0x5A;
    wrapper->BitField3 = 0x1234;
    EXPECT_EQ(wrapper->Exchange(qdWrite), 0);
    for (const auto& [fn, expected] : c.Records) EXPECT_EQ(fake().Record(fn, h), expected) << fn;
    EXPECT_EQ(fake().Record("BitField2", h), "90");
    EXPECT_EQ(fake().Record("BitField3", h), "4660");
  }
}

TEST_F(FakeHostTest, EveryRecordReadAndWrittenElsewhereGivesTheSameValues) {
  // A read takes the host's values into the same fields that a write sends.
  for (const RecordCase& c : RecordCases()) {
    SCOPED_TRACE(c.Name);
    const THandle from = New(0), to = New(0);
    auto wrapper = c.Make(0);
    wrapper->Handle = from;
    wrapper->Exchange(qdRead);
    wrapper->Handle = to;
    wrapper->Exchange(qdWrite);
    for (const auto& [fn, expected] : c.Records) {
      if (std::string(fn) == "StackMode") continue;  // the pattern is no valid mode
      const std::string original = fake().Record(fn, from);
      EXPECT_FALSE(original.empty()) << fn;
      EXPECT_EQ(fake().Record(fn, to), original) << fn;
    }
  }
}

TEST_F(FakeHostTest, ReadingATrackFillsEachFieldFromItsPlace) {
  const THandle h = New(okTrack);
  TPcbTrack track(h);
  track.Exchange(qdRead);
  const int32_t base = static_cast<int32_t>(h) * 100;
  EXPECT_EQ(track.Flags, static_cast<uint16_t>(base + 1));
  EXPECT_EQ(track.ExtraWord, static_cast<uint16_t>(base + 2));
  EXPECT_EQ(track.Layer, static_cast<uint8_t>(base + 3));
  EXPECT_EQ(track.Net, static_cast<THandle>(base + 4));
  EXPECT_EQ(track.ExtraByte, static_cast<uint8_t>(base + 5));
  EXPECT_EQ(track.ExtraLong, static_cast<uint32_t>(base + 6));
  EXPECT_EQ(track.X, base + 7);
  EXPECT_EQ(track.Y, base + 8);
  EXPECT_EQ(track.X2, base + 9);
  EXPECT_EQ(track.Y2, base + 10);
  EXPECT_EQ(track.Width, base + 11);
  EXPECT_EQ(track.Aux3, base + 14);
}

TEST_F(FakeHostTest, BitFieldsCrossBeforeTheRecord) {
  const THandle h = New(okArc);
  TPcbArc arc(h);
  fake().ClearLog();
  arc.Exchange(qdRead);
  const auto log = fake().Log();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].rfind("BitField2 d=1", 0), 0u);
  EXPECT_EQ(log[1].rfind("BitField3 d=1", 0), 0u);
  EXPECT_EQ(log[2].rfind("Arc d=1", 0), 0u);
}

TEST_F(FakeHostTest, PolygonVerticesTravelWithTheRecord) {
  const THandle h = New(okPolygon);
  TPcbPolygon polygon(h);
  polygon.VertexCount = 2;
  polygon.Vertices[0].X = 11;
  polygon.Vertices[0].Y = -12;
  polygon.Vertices[500].X = 13;
  polygon.Vertices[500].Y = 14;
  polygon.Exchange(qdWrite);
  TPcbPolygon back(h);
  back.Exchange(qdRead);
  EXPECT_EQ(back.VertexCount, 2);
  // Copies: the vertex records are packed, so their fields are not bound by reference.
  const int32_t x0 = back.Vertices[0].X, y0 = back.Vertices[0].Y;
  const int32_t x500 = back.Vertices[500].X, y500 = back.Vertices[500].Y;
  EXPECT_EQ(x0, 11);
  EXPECT_EQ(y0, -12);
  EXPECT_EQ(x500, 13);
  EXPECT_EQ(y500, 14);
  TPcbBoardOutline outline(h);
  EXPECT_EQ(outline.ObjectKind, okBoardOutline);
}

// ---- Strings longer than their host field --------------------------------------------

TEST_F(FakeHostTest, LongStringsAreCutToTheirHostField) {
  const THandle pad = New(okPad), text = New(okText), component = New(okComponent),
                net = New(okNet);
  TPcbPad p(pad);
  p.Name = Repeat('n', 25);
  p.Exchange(qdWrite);
  EXPECT_NE(fake().Record("Pad", pad).find("'" + Repeat('n', 20) + "'"), std::string::npos);
  EXPECT_EQ(fake().Record("Pad", pad).find(Repeat('n', 21)), std::string::npos);

  TPcbText t(text);
  t.Text = Repeat('t', 300);
  t.Exchange(qdWrite);
  EXPECT_NE(fake().Record("Text", text).find("'" + Repeat('t', 254) + "'"), std::string::npos);

  TPcbComponent c(component);
  c.Pattern = Repeat('p', 300);
  c.SourceLinks[6] = Repeat('s', 300);
  c.Exchange(qdWrite);
  EXPECT_NE(fake().Record("Component", component).find("'" + Repeat('p', 250) + "'"),
            std::string::npos);
  EXPECT_NE(fake().Record("SourceLinks", component).find("'" + Repeat('s', 255) + "'"),
            std::string::npos);

  TPcbNet n(net);
  n.Name = Repeat('x', 300);
  n.Exchange(qdWrite);
  EXPECT_EQ(fake().Record("Net", net), "0 '" + Repeat('x', 255) + "' 0 0");

  // The setters cut as the fields do.
  p.SetName(Repeat('q', 30));
  EXPECT_EQ(p.Name, Repeat('q', 20));
  t.SetText(Repeat('r', 256));
  EXPECT_EQ(t.Text.size(), 254u);

  // Names handed to the host by the binding routines: copied, cut to 255.
  fake().ClearLog();
  hostapi::PcbApi_Percent_Init(Repeat('T', 300), 7);
  hostapi::PcbApi_AddMemberToClass(net, Repeat('m', 256));
  EXPECT_EQ(fake().Lines("Percent_Init")[0], "Percent_Init '" + Repeat('T', 255) + "' 7");
  EXPECT_EQ(fake().Lines("AddMemberToClass")[0],
            "AddMemberToClass " + std::to_string(net) + " '" + Repeat('m', 255) + "'");
}

TEST_F(FakeHostTest, ProgressUpdateTakesACountAndPassesNothingOn) {
  fake().ClearLog();
  hostapi::PcbApi_Percent_Update(25);
  hostapi::PcbApi_Percent_Update();
  hostapi::PcbApi_Percent_Finish();
  EXPECT_EQ(fake().Log(),
            (std::vector<std::string>{"Percent_Update", "Percent_Update", "Percent_Finish"}));
}

// ---- Pads --------------------------------------------------------------------------------

TEST_F(FakeHostTest, PadStackModesZeroAndOneExchangeNoLayers) {
  for (uint8_t mode : {psmSimple, psmTopMiddleBottom}) {
    const THandle h = New(okPad);
    TPcbPad pad(h);
    pad.StackMode = mode;
    pad.XSizeOnLayer[5] = 99;
    fake().ClearLog();
    EXPECT_EQ(pad.Exchange(qdWrite), 0);
    EXPECT_TRUE(fake().Lines("Set").empty());
    EXPECT_EQ(fake().Record("StackMode", h), std::to_string(mode));
    fake().ClearLog();
    TPcbPad back(h);
    EXPECT_EQ(back.Exchange(qdRead), 0);
    EXPECT_TRUE(fake().Lines("Query").empty());
    EXPECT_EQ(back.StackMode, mode);
  }
}

TEST_F(FakeHostTest, PerLayerPadStackExchangesCopperLayersOneTo32InOrder) {
  const THandle h = New(okPad);
  TPcbPad pad(h);
  pad.StackMode = psmPerLayer;
  for (int layer = 0; layer < kLayerCount; ++layer) {
    pad.ShapeOnLayer[layer] = static_cast<uint8_t>(layer % 3 + 1);
    pad.XSizeOnLayer[layer] = 1000 + layer;
    pad.YSizeOnLayer[layer] = 2000 + layer;
  }
  fake().ClearLog();
  EXPECT_EQ(pad.Exchange(qdWrite), 0);
  const auto shapes = fake().Lines("SetShapeOnLayer");
  const auto sizes = fake().Lines("SetSizeOnLayer");
  ASSERT_EQ(shapes.size(), 32u);
  ASSERT_EQ(sizes.size(), 32u);
  for (int layer = 1; layer <= 32; ++layer) {
    const std::string prefix = std::to_string(h) + " " + std::to_string(layer) + " : ";
    EXPECT_EQ(shapes[layer - 1], "SetShapeOnLayer " + prefix + std::to_string(layer % 3 + 1));
    EXPECT_EQ(sizes[layer - 1], "SetSizeOnLayer " + prefix + std::to_string(1000 + layer) + " " +
                                    std::to_string(2000 + layer));
  }

  fake().ClearLog();
  TPcbPad back(h);
  EXPECT_EQ(back.Exchange(qdRead), 0);
  EXPECT_EQ(back.StackMode, psmPerLayer);
  EXPECT_EQ(fake().Lines("QueryShapeOnLayer").size(), 32u);
  EXPECT_EQ(fake().Lines("QuerySizeOnLayer").size(), 32u);
  EXPECT_EQ(fake().Lines("QuerySizeOnLayer")[0].rfind("QuerySizeOnLayer " + std::to_string(h) + " 1 ", 0), 0u);
  for (int layer = 1; layer <= 32; ++layer) {
    EXPECT_EQ(back.XSizeOnLayer[layer], 1000 + layer);
    EXPECT_EQ(back.YSizeOnLayer[layer], 2000 + layer);
    EXPECT_EQ(back.ShapeOnLayer[layer], layer % 3 + 1);
  }
  EXPECT_EQ(back.XSizeOnLayer[33], 0);  // only copper layers 1 to 32 are exchanged
}

TEST_F(FakeHostTest, AFailedPadRecordEndsTheExchangeAtOnce) {
  const THandle h = New(okPad);
  fake().SetStatus("Pad", 1);
  TPcbPad pad(h);
  pad.StackMode = psmPerLayer;
  fake().ClearLog();
  EXPECT_EQ(pad.Exchange(qdWrite), 1);
  EXPECT_TRUE(fake().Lines("StackMode").empty());
  EXPECT_TRUE(fake().Lines("Set").empty());
}

TEST_F(FakeHostTest, PadSizesShapesAndEndPointsPerLayerComeFromTheHost) {
  const THandle h = New(okPad);
  fake().SetPadLayer(h, 1, psRectangle, 6000, 2000);
  TPcbPad pad(h);
  pad.X = 1000;
  pad.Y = 500;
  EXPECT_EQ(pad.GetXSizeOnLayer(1), 6000);
  EXPECT_EQ(pad.GetYSizeOnLayer(1), 2000);
  EXPECT_EQ(pad.GetShapeOnLayer(1), psRectangle);
  EXPECT_EQ(pad.GetWidthOnLayer(1), 2000);
  EXPECT_EQ(pad.EndX1(1), -1000);  // a - b = 2000 along the long axis
  EXPECT_EQ(pad.EndX2(1), 3000);
  EXPECT_EQ(pad.EndY1(1), 500);
  fake().SetStatus("QuerySizeOnLayer", 1);
  EXPECT_EQ(pad.GetXSizeOnLayer(1), 0);
  EXPECT_EQ(pad.GetXSizeOnLayer(200), 0);  // no such layer: no answer from the host asked
}

TEST_F(FakeHostTest, ViaSizeAndShapeOnALayerAreAskedOfTheHost) {
  const THandle h = New(okVia);
  fake().SetPadLayer(h, 32, psOctagonal, 4400, 4300);
  TPcbVia via(h);
  EXPECT_EQ(via.GetSizeOnLayer(32), 4400);
  EXPECT_EQ(via.GetShapeOnLayer(32), psOctagonal);
  fake().SetStatus("QueryShapeOnLayer", 1);
  EXPECT_EQ(via.GetShapeOnLayer(32), 0);
}

// ---- Classes --------------------------------------------------------------------------

TEST_F(FakeHostTest, ReadingAClassAppendsItsMembers) {
  const THandle h = hostapi::PcbApi_CreateClassObjectEx(ckNet);
  fake().AddMember(h, "GND");
  fake().AddMember(h, "VCC");
  TPCBObjectClass cls(h);
  cls.Members = {"kept"};
  EXPECT_EQ(cls.Exchange(qdRead), 1);  // the call past the last member
  EXPECT_EQ(cls.Members, (std::vector<std::string>{"kept", "GND", "VCC"}));

  const THandle empty = hostapi::PcbApi_CreateClassObjectEx(ckNet);
  TPCBObjectClass none(empty);
  none.Members = {"x"};
  EXPECT_EQ(none.Exchange(qdRead), 1);
  EXPECT_EQ(none.Members, std::vector<std::string>{"x"});
}

TEST_F(FakeHostTest, WritingAClassReplacesTheHostsMembersInOrder) {
  const THandle h = hostapi::PcbApi_CreateClassObjectEx(ckComponent);
  fake().AddMember(h, "old");
  TPCBObjectClass cls(h);
  cls.Members = {"U1", "U2", Repeat('z', 300)};
  fake().ClearLog();
  EXPECT_EQ(cls.Exchange(qdWritePlacement), 0);
  const std::string id = std::to_string(h);
  EXPECT_EQ(fake().Lines("RemoveAll"), std::vector<std::string>{"RemoveAllMembersFromClass " + id});
  EXPECT_EQ(fake().Lines("AddMember"),
            (std::vector<std::string>{"AddMemberToClass " + id + " 'U1'", "AddMemberToClass " + id + " 'U2'",
                                      "AddMemberToClass " + id + " '" + Repeat('z', 255) + "'"}));
  TPCBObjectClass back(h);
  back.Exchange(qdRead);
  EXPECT_EQ(back.Members.size(), 3u);
  EXPECT_EQ(back.Members[1], "U2");

  // Empty members: all host members go and the answer is the removal's.
  fake().SetStatus("RemoveAllMembersFromClass", 4);
  TPCBObjectClass cleared(h);
  EXPECT_EQ(cleared.Exchange(qdWrite), 4);
  TPCBObjectClass after(h);
  after.Exchange(qdRead);
  EXPECT_TRUE(after.Members.empty());
}

// ---- Rules and scopes ----------------------------------------------------------------

TEST_F(FakeHostTest, RuleScopesAreWrittenAndReadBackInOrder) {
  const THandle h = hostapi::PcbApi_CreateRuleObject(rkClearance);
  TPcbRuleExt rule(h);
  rule.RuleKind = rkClearance;
  rule.Name = "Clearance_1";
  rule.Scope1.Add({skNet, "GND", 0, 0, 1, 2, 3, 4});
  rule.Scope1.Add({skLayer, "", TopLayer, 0, 0, 0, 0, 0});
  rule.Scope1.Add({skComponentClass, Repeat('c', 300), 0, 0, 0, 0, 0, 0});
  fake().ClearLog();
  EXPECT_EQ(rule.Exchange(qdWrite), 0);
  const std::string id = std::to_string(h);
  EXPECT_EQ(fake().Lines("DeleteAllSubScopes"),
            (std::vector<std::string>{"DeleteAllSubScopes " + id + " 0", "DeleteAllSubScopes " + id + " 1"}));
  EXPECT_EQ(fake().Lines("AddSubscope"),
            (std::vector<std::string>{"AddSubscope " + id + " 0 8 'GND' 0 0 1 2 3 4",
                                      "AddSubscope " + id + " 0 2 '' 1 0 0 0 0 0",
                                      "AddSubscope " + id + " 0 5 '" + Repeat('c', 255) + "' 0 0 0 0 0 0"}));

  TPcbRuleExt back(h);
  back.Scope2.Add({skBoard, "stale", 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(back.Exchange(qdRead), 0);
  ASSERT_EQ(back.Scope1.Count(), 3u);
  EXPECT_EQ(back.Scope1.Subscopes[0].Name, "GND");
  EXPECT_EQ(back.Scope1.Subscopes[0].Value4, 4);
  EXPECT_EQ(back.Scope1.Subscopes[1].LayerId, TopLayer);
  EXPECT_EQ(back.Scope1.Subscopes[2].Kind, skComponentClass);
  EXPECT_EQ(back.Scope2.Count(), 0u);  // read: the list is the host's, which is empty
  EXPECT_EQ(back.Scope2.Exchange(qdRead), 1);
  EXPECT_EQ(back.Name, "Clearance_1");
}

TEST_F(FakeHostTest, RuleStatusesDecideWhetherScopesAreExchanged) {
  const THandle h = hostapi::PcbApi_CreateRuleObject(rkWidth);
  TPcbRuleExt rule(h);
  rule.Scope1.Add({skBoard, "", 0, 0, 0, 0, 0, 0});
  fake().SetStatus("RuleExt", 1);
  fake().ClearLog();
  EXPECT_EQ(rule.Exchange(qdWrite), 1);
  EXPECT_TRUE(fake().Lines("RuleExtEx").empty());
  EXPECT_TRUE(fake().Lines("DeleteAllSubScopes").empty());

  fake().SetStatus("RuleExt", 0);
  fake().SetStatus("RuleExtEx", 1);
  fake().ClearLog();
  EXPECT_EQ(rule.Exchange(qdWrite), 1);
  EXPECT_TRUE(fake().Lines("DeleteAllSubScopes").empty());

  fake().SetStatus("RuleExtEx", 2);  // any other status still exchanges the scopes
  fake().ClearLog();
  EXPECT_EQ(rule.Exchange(qdWrite), 2);
  EXPECT_EQ(fake().Lines("AddSubscope").size(), 1u);
}

TEST_F(FakeHostTest, DimensionReferencesAreReadByIndexAndTheStatusIsTheAndOfBothRecords) {
  const THandle h = New(okDimension);
  fake().SetReferenceCount(h, 2);
  TPcbDimension dimension(h);
  EXPECT_EQ(dimension.DimensionRecord[TPcbDimension::kDimensionKindField], 8);
  EXPECT_EQ(dimension.Exchange(qdRead), 0);
  ASSERT_EQ(dimension.References.size(), 2u);
  EXPECT_EQ(dimension.References[1][0], static_cast<int32_t>(h) * 100 + 1);
  EXPECT_FALSE(fake().Record("Reference", h, 1).empty());
  fake().SetStatus("Dimension", 3);
  fake().SetStatus("ExtDimension", 6);
  EXPECT_EQ(dimension.Exchange(qdWrite), 2);
  fake().SetReferenceCount(h, -5);
  dimension.Exchange(qdRead);
  EXPECT_TRUE(dimension.References.empty());
}

// ---- Flags, bounds ---------------------------------------------------------------------

TEST_F(FakeHostTest, TwoFlagSettersWriteTheWrapperAtOnce) {
  const THandle h = New(okTrack);
  TPcbTrack track(h);
  track.Flags = 0x0100;
  fake().ClearLog();
  track.SetFlag0008(true);
  EXPECT_EQ(fake().Record("Track", h).rfind("264 ", 0), 0u);  // Flags 0x0108 went to the host
  EXPECT_EQ(fake().Lines("Track d=0").size(), 1u);
  track.SetFlag0100Clear(true);  // true clears the bit
  EXPECT_EQ(track.Flags, 0x0008);
  EXPECT_TRUE(track.GetFlag0100Clear());
  EXPECT_EQ(fake().Lines("Track d=0").size(), 2u);
  EXPECT_EQ(fake().Record("Track", h).rfind("8 ", 0), 0u);
  track.SetFlag0010(true);  // the others only change the field
  EXPECT_EQ(fake().Lines("Track d=0").size(), 2u);
  EXPECT_TRUE(track.GetFlag0010());
}

TEST_F(FakeHostTest, BoundsAndImportFromUserComeFromTheHost) {
  const THandle even = New(okFill), odd = New(okFill);
  TPcbFill a(even % 2 == 0 ? even : odd), b(even % 2 == 0 ? odd : even);
  EXPECT_TRUE(a.QueryImportFromUser());  // the host answered 0
  EXPECT_FALSE(b.QueryImportFromUser());
  const int32_t base = static_cast<int32_t>(a.Handle) * 100;
  EXPECT_EQ(a.GetBoundsX1(), base + 1);
  EXPECT_EQ(a.GetBoundsY1(), base + 2);
  EXPECT_EQ(a.GetBoundsX2(), base + 3);
  EXPECT_EQ(a.GetBoundsY2(), base + 4);
}

// ---- The wrapper factory and object access by handle -------------------------------------

TEST_F(FakeHostTest, WrapperForHandleChoosesByKindAndReadsTheObject) {
  const std::vector<std::pair<uint8_t, uint8_t>> kinds = {
      {okArc, okArc},       {okPad, okPad},           {okVia, okVia},
      {okTrack, okTrack},   {okText, okText},         {okFill, okFill},
      {okFromTo, okFromTo}, {okNet, okNet},           {okComponent, okComponent},
      {okPolygon, okPolygon}, {okDimension, okDimension}, {okCoordinate, okCoordinate},
      {okClass, okClass},   {okRule, okRule},         {okManualFromTo, 0},
      {okBoardOutline, okBoardOutline}, {okTrack | 0x80, okTrack}};
  for (const auto& [hostKind, wrapperKind] : kinds) {
    SCOPED_TRACE(int(hostKind));
    const THandle h = New(hostKind);
    auto wrapper = hostapi::WrapperForHandle(h);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->ObjectKind, wrapperKind);
    EXPECT_EQ(wrapper->Handle, h);
  }
  auto track = hostapi::WrapperForHandle(New(okTrack));
  EXPECT_NE(dynamic_cast<TPcbTrack*>(track.get()), nullptr);
  EXPECT_EQ(track->GetX2(), static_cast<int32_t>(track->Handle) * 100 + 9);  // already read
  EXPECT_EQ(hostapi::WrapperForHandle(New(16)), nullptr);
  EXPECT_EQ(hostapi::WrapperForHandle(New(0)), nullptr);
  EXPECT_EQ(hostapi::WrapperForHandle(0), nullptr);
}

TEST_F(FakeHostTest, ObjectValuesByHandle) {
  const THandle track = New(okTrack), pad = New(okPad), text = New(okText);
  TPcbText t(text);
  t.Text = "R12";
  t.Exchange(qdWrite);

  EXPECT_EQ(hostapi::ObjectKindOf(track), okTrack);
  EXPECT_EQ(hostapi::ObjectKindOf(0), 0);
  hostapi::SetObjectX(track, 10);
  hostapi::SetObjectY2(track, -20);
  EXPECT_EQ(hostapi::ObjectXOf(track), 10);
  EXPECT_EQ(hostapi::ObjectY2Of(track), -20);

  hostapi::SetObjectX(pad, 33);
  EXPECT_EQ(hostapi::ObjectX2Of(pad), 33);  // no second point: X
  fake().ClearLog();
  hostapi::SetObjectX2(pad, 44);  // nothing on a kind without a second point
  EXPECT_TRUE(fake().Lines("Pad d=0").empty());
  EXPECT_EQ(hostapi::ObjectXOf(pad), 33);

  fake().ClearLog();
  hostapi::SetObjectX(0, 5);
  EXPECT_EQ(hostapi::ObjectXOf(0), 0);
  EXPECT_TRUE(fake().Log().empty());

  EXPECT_EQ(hostapi::ObjectTextOf(text), "R12");
  EXPECT_EQ(hostapi::ObjectTextOf(track), "");
  EXPECT_EQ(hostapi::ObjectTextOf(0), "");

  const THandle component = New(okComponent);
  TPcbComponent c(component);
  c.DesignatorText = text;
  EXPECT_EQ(c.GetName(), "R12");
  c.DesignatorText = 0;
  EXPECT_EQ(c.GetName(), "");
}

// ---- Board -------------------------------------------------------------------------------

// The function and index of each record line of a board exchange, in order.
std::vector<std::string> BoardCallOrder(const std::vector<std::string>& log) {
  std::vector<std::string> out;
  for (const auto& line : log) {
    const size_t colon = line.find(" : ");
    std::string head = line.substr(0, colon);
    const size_t d = head.find(" d=");
    const size_t i = head.find(" i=");
    out.push_back(head.substr(0, d) + (i == std::string::npos ? "" : head.substr(i)));
  }
  return out;
}

std::vector<std::string> ExpectedBoardCallOrder(int pairs) {
  std::vector<std::string> out{"Board"};
  for (int id = 1; id <= 82; ++id) out.push_back("LayerInfo i=" + std::to_string(id));
  for (int id = 1; id <= 82; ++id) {
    out.push_back((id >= 39 && id <= 54 ? "InternalPlane i=" : "Layer i=") + std::to_string(id));
    out.push_back("Dielectric i=" + std::to_string(id));
  }
  out.push_back("Grids");
  out.push_back("Output");
  for (int n = 1; n <= 109; ++n) {
    out.push_back("PlotLayer i=" + std::to_string(n));
    out.push_back("FlipLayer i=" + std::to_string(n));
  }
  out.push_back("Gerber");
  out.push_back("Printer");
  for (int pen = 1; pen <= 8; ++pen) out.push_back("Pen i=" + std::to_string(pen));
  for (int id = 1; id <= 82; ++id) out.push_back("Composite i=" + std::to_string(id));
  out.push_back("Placer");
  out.push_back("ChangeOrder");
  for (int i = 0; i < pairs; ++i) out.push_back("LayerPair i=" + std::to_string(i));
  out.push_back("ExternalDielectrics");
  return out;
}

TEST_F(FakeHostTest, ABoardReadAndWrittenUnchangedGivesTheHostItsOwnValuesBack) {
  const THandle board = New(0);
  {
    TPcbBoard seed(board);
    seed.LayerPairs.resize(2);
    seed.LayerPairs[0].Layer1 = TopLayer;
    seed.LayerPairs[0].Layer2 = BottomLayer;
    seed.LayerPairs[1].Layer1 = MidLayer1;
    seed.LayerPairs[1].Layer2 = MidLayer2;
    seed.LayerPairs[1].PairAux1 = 7;
    seed.LayerPairs[1].PairAux2 = 8;
    seed.Exchange(qdWrite);
  }
  EXPECT_EQ(fake().Record("LayerPair", board, 1), "2 3 8 7");

  TPcbBoard b(board);
  fake().ClearLog();
  EXPECT_EQ(b.Exchange(qdRead), 0);
  auto read = fake().Log();
  EXPECT_EQ(BoardCallOrder(read), ExpectedBoardCallOrder(2));
  fake().ClearLog();
  EXPECT_EQ(b.Exchange(qdWrite), 0);
  auto written = fake().Log();
  ASSERT_EQ(read.size(), written.size());
  for (size_t i = 0; i < read.size(); ++i) {
    std::string expected = read[i], actual = written[i];
    expected.replace(expected.find(" d=1 "), 5, " d=0 ");
    if (expected.rfind("LayerInfo", 0) == 0) {
      // The two values after a layer's information value are not kept: both
      // point at one scratch place. Only the information value comes back.
      expected.erase(expected.rfind(' ', expected.rfind(' ') - 1));
      actual.erase(actual.rfind(' ', actual.rfind(' ') - 1));
    }
    EXPECT_EQ(actual, expected);
  }
}

TEST_F(FakeHostTest, LayerObjectsStartWithTheirIdentifierNamesAndHostDefaults) {
  const THandle board = New(0);
  TLayerObject top(board, TopLayer);
  top.LayerAux1 = 1, top.LayerAux2 = 2, top.PrevLayer = 3, top.NextLayer = 4, top.LayerAux3 = 5;
  top.Exchange(qdWrite);
  EXPECT_EQ(fake().Record("Layer", board, TopLayer), "'TopLayer' 14000 1 2 3 4 5");
  EXPECT_EQ(fake().Record("Dielectric", board, TopLayer), "'FR-4' 1 4.8 126000");

  TInternalPlane plane(board, InternalPlane3);
  plane.Exchange(qdWrite);
  EXPECT_EQ(fake().Record("InternalPlane", board, InternalPlane3),
            "'InternalPlane3' 14000 0 0 0 0 '(No Net)'");

  TPcbBoard b(board);
  b.Exchange(qdWrite);
  EXPECT_EQ(fake().Record("ExternalDielectrics", board), "'FR-4' 1 4.8 126000 'FR-4' 1 4.8 126000");
  EXPECT_EQ(b.LayerObject(0), nullptr);
  EXPECT_EQ(b.LayerObject(83), nullptr);
  EXPECT_NE(dynamic_cast<TInternalPlane*>(b.LayerObject(54)), nullptr);
  EXPECT_EQ(dynamic_cast<TInternalPlane*>(b.LayerObject(55)), nullptr);
  EXPECT_EQ(b.LayerObject(MultiLayer)->Name, "MultiLayer");
}

TEST_F(FakeHostTest, LayerPairsAreNamedInStackOrder) {
  const THandle board = New(0);
  {
    // Stack: TopLayer -> InternalPlane1 -> MidLayer1 -> BottomLayer.
    TPcbBoard seed(board);
    seed.LayerObject(TopLayer)->NextLayer = InternalPlane1;
    seed.LayerObject(InternalPlane1)->PrevLayer = TopLayer;
    seed.LayerObject(InternalPlane1)->NextLayer = MidLayer1;
    seed.LayerObject(MidLayer1)->PrevLayer = InternalPlane1;
    seed.LayerObject(MidLayer1)->NextLayer = BottomLayer;
    seed.LayerObject(BottomLayer)->PrevLayer = MidLayer1;
    const std::vector<std::pair<uint8_t, uint8_t>> pairs = {{BottomLayer, TopLayer},
                                                            {MidLayer1, InternalPlane1},
                                                            {TopLayer, MidLayer1},
                                                            {TopOverlay, TopLayer},
                                                            {MidLayer2, TopLayer}};
    for (const auto& [l1, l2] : pairs) {
      TPcblayerPair pair;
      pair.Layer1 = l1;
      pair.Layer2 = l2;
      seed.LayerPairs.push_back(pair);
    }
    seed.Exchange(qdWrite);
  }
  TPcbBoard b(board);
  b.Exchange(qdRead);
  std::vector<std::string> names;
  for (const auto& pair : b.LayerPairs) names.push_back(pair.PairName);
  EXPECT_EQ(names, (std::vector<std::string>{"TopLayer - BottomLayer", "InternalPlane1 - MidLayer1",
                                             "TopLayer - MidLayer1", "TopOverlay - TopLayer",
                                             "MidLayer2 - TopLayer"}));
}

TEST_F(FakeHostTest, ALoopingLayerStackStillEndsAndAFailedPairCountReadsAsNoPairs) {
  const THandle board = New(0);
  {
    TPcbBoard seed(board);
    seed.LayerObject(TopLayer)->NextLayer = MidLayer1;
    seed.LayerObject(MidLayer1)->PrevLayer = TopLayer;
    seed.LayerObject(MidLayer1)->NextLayer = TopLayer;  // back to the start
    seed.LayerPairs.resize(1);
    seed.LayerPairs[0].Layer1 = BottomLayer;  // not reached: position 0
    seed.LayerPairs[0].Layer2 = MidLayer1;
    seed.Exchange(qdWrite);
  }
  TPcbBoard b(board);
  b.Exchange(qdRead);
  ASSERT_EQ(b.LayerPairs.size(), 1u);
  EXPECT_EQ(b.LayerPairs[0].PairName, "BottomLayer - MidLayer1");

  fake().SetPairCountStatus(1);
  b.Exchange(qdRead);
  EXPECT_TRUE(b.LayerPairs.empty());
}

TEST_F(FakeHostTest, PlaneNetNamesReachTheHostWithTheNextBoardWrite) {
  const THandle board = New(0);
  TPcbBoard b(board);
  b.Exchange(qdRead);
  const std::string plane1Before = fake().Record("InternalPlane", board, InternalPlane1);
  b.SetPlaneNetName2("GND");
  EXPECT_EQ(fake().Record("InternalPlane", board, InternalPlane2).find("'GND'"), std::string::npos);
  b.Exchange(qdWrite);
  const std::string plane2 = fake().Record("InternalPlane", board, InternalPlane2);
  EXPECT_EQ(plane2.substr(plane2.rfind(' ') + 1), "'GND'");
  EXPECT_EQ(fake().Record("InternalPlane", board, InternalPlane1), plane1Before);
  b.SetPlaneNetName1("A");
  b.SetPlaneNetName3("C");
  b.SetPlaneNetName4("D");
  EXPECT_EQ(b.InternalPlane(1)->NetName, "A");
  EXPECT_EQ(b.InternalPlane(3)->NetName, "C");
  EXPECT_EQ(b.InternalPlane(4)->NetName, "D");
  EXPECT_EQ(b.InternalPlane(2)->NetName, "GND");
}

// ---- Operations of the Sarnovik importer's build ---------------------------------------------

class DesignatorPinTest : public FakeHostTest {
 protected:
  void SetUp() override {
    FakeHostTest::SetUp();
    hostapi::InvalidatePadLookup();  // the fake host's handles start again in every test
  }
  // A component on the board with a designator text and pads (name, layer).
  THandle AddComponent(THandle board, const std::string& designator, uint8_t side,
                       const std::vector<std::pair<std::string, uint8_t>>& pads) {
    const THandle component = New(okComponent);
    const THandle text = New(okText);
    TPcbText t(text);
    t.Text = designator;
    t.Exchange(qdWrite);
    TPcbComponent c(component);
    c.Layer = side;
    c.DesignatorText = text;
    c.Exchange(qdWrite);
    hostapi::PcbApi_AddObjectToContainer(board, component);
    for (const auto& [name, layer] : pads) {
      const THandle pad = New(okPad);
      TPcbPad p(pad);
      p.Name = name;
      p.Layer = layer;
      p.Exchange(qdWrite);
      EXPECT_EQ(c.AddPrimitive(pad), 0);
      PadsByName[designator + "/" + name + "/" + std::to_string(side) + "/" + std::to_string(layer)] = pad;
    }
    return component;
  }
  std::map<std::string, THandle> PadsByName;
};

TEST_F(DesignatorPinTest, FindsThePadOfADesignatorOnTheTopSideFirst) {
  const THandle board = New(0);
  AddComponent(board, "U1", TopLayer, {{"1", MultiLayer}, {"3", MultiLayer}, {"3", TopLayer}});
  AddComponent(board, "U2", BottomLayer, {{"1", BottomLayer}});
  AddComponent(board, "U3", TopLayer, {{"5", TopLayer}});
  AddComponent(board, "U3", BottomLayer, {{"5", BottomLayer}, {"7", BottomLayer}});
  AddComponent(board, "u4", TopLayer, {{"1", TopLayer}});
  AddComponent(board, "U5", TopLayer, {{"", TopLayer}});

  fake().ClearLog();
  // The layers are searched from 1 up: the pad on TopLayer comes before MultiLayer's.
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U1-3"), PadsByName["U1/3/1/1"]);
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U1-1"), PadsByName["U1/1/1/74"]);
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U2-1"), PadsByName["U2/1/32/32"]);
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U3-5"), PadsByName["U3/5/1/1"]);
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U3-7"), PadsByName["U3/7/32/32"]);
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U4-1"), 0u);  // designators compare exactly
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U1-9"), 0u);
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U1"), 0u);  // no hyphen: empty pin name
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U5"), PadsByName["U5//1/1"]);
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U3-5-x"), 0u);  // pin "5-x"
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(0, "U1-3"), 0u);
  EXPECT_EQ(fake().Lines("CreateIterator").size(), fake().Lines("DestroyIterator").size());
}

TEST_F(DesignatorPinTest, RepeatedLookupsWalkTheBoardOnceAndFollowAdditions) {
  const THandle board = New(0);
  const THandle u1 = AddComponent(board, "U1", TopLayer, {{"1", TopLayer}});
  fake().ClearLog();
  for (int i = 0; i < 50; ++i) EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U1-1"), PadsByName["U1/1/1/1"]);
  // One walk of each side, and the component's pads walked once (all kinds,
  // then the one layer that holds pads): not one walk per lookup.
  EXPECT_EQ(fake().Lines("CreateIterator").size(), 4u);
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U2-1"), 0u);
  // Other objects joining the board keep the index.
  TPcbBoard wrapper(board);
  ASSERT_EQ(wrapper.AddPrimitive(New(okNet)), 0);
  fake().ClearLog();
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U1-1"), PadsByName["U1/1/1/1"]);
  EXPECT_TRUE(fake().Lines("CreateIterator").empty());

  // A component added through the wrappers is found at once.
  const THandle u2 = AddComponent(board, "U2", TopLayer, {{"1", TopLayer}});
  wrapper.AddPrimitive(u2);  // the component joins the board through the wrapper
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U2-1"), PadsByName["U2/1/1/1"]);
  // So is a pad added to a component that was already looked at.
  const THandle pad = New(okPad);
  TPcbPad p(pad);
  p.Name = "2";
  p.Layer = TopLayer;
  p.Exchange(qdWrite);
  TPcbComponent c(u1);
  ASSERT_EQ(c.AddPrimitive(pad), 0);
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board, "U1-2"), pad);
}

TEST_F(DesignatorPinTest, TheScratchComponentIsReadOnlyForANewHandle) {
  const THandle board = New(0);
  const THandle u1 = AddComponent(board, "U1", TopLayer, {});
  EXPECT_EQ(hostapi::FindComponentByDesignator(board, "U1", TopLayer), u1);
  fake().ClearLog();
  EXPECT_EQ(hostapi::FindComponentByDesignator(board, "U1", TopLayer), u1);
  EXPECT_TRUE(fake().Lines("Component d=1").empty());
  EXPECT_EQ(hostapi::FindComponentByDesignator(board, "U1", BottomLayer), 0u);
  EXPECT_EQ(hostapi::FindPadOfComponent(0, ""), 0u);
}

TEST_F(FakeHostTest, AddingANullPrimitiveAnswersOneWithoutAskingTheHost) {
  const THandle board = New(0), component = New(okComponent), track = New(okTrack);
  TPcbBoard b(board);
  TPcbComponent c(component);
  fake().ClearLog();
  EXPECT_EQ(b.AddPrimitive(0), 1);
  EXPECT_EQ(c.AddPrimitive(0), 1);
  EXPECT_TRUE(fake().Log().empty());
  EXPECT_EQ(b.AddPrimitive(track), 0);
  EXPECT_EQ(fake().Lines("AddObjectToContainer"),
            std::vector<std::string>{"AddObjectToContainer " + std::to_string(board) + " " +
                                     std::to_string(track)});
}

TEST_F(FakeHostTest, BoardOfAFullFileName) {
  const THandle board = New(0);
  TPcbBoard b(board);
  b.FileName = "/tmp/boards/a.pcb";
  b.Exchange(qdWrite);
  EXPECT_EQ(hostapi::PcbApi_GetBoardHandleFromFullFileName("/tmp/boards/a.pcb"), board);
  EXPECT_EQ(hostapi::PcbApi_GetBoardHandleFromFullFileName("/tmp/boards/b.pcb"), 0u);
}

}  // namespace

// The wrappers against the stand-in host module, found by name as the editor's
// module would be: every wrapper read, changed, written and read back; pad
// stacks, class members, rule scopes, the whole board, layer-pair names and
// the Sarnovik importer's pad lookup.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "host/tarvex/TarvexHost.h"
#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbBoard.h"
#include "hostapi/PcbObjects.h"
#include "hostapi/PcbUtil.h"
#include "platform/Platform.h"

namespace {

class TarvexTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    module_ = platform::LoadModule(HOST_MODULE_PATH, &error);
    ASSERT_NE(module_, nullptr) << error;
    hostapi::OnModuleLoad();
  }
  void SetUp() override {
    ASSERT_NE(module_, nullptr);
    host_ = tarvex::TarvexHostOf(module_);
    ASSERT_NE(host_, nullptr);
    host_->Reset();
    board_ = host_->NewDocument("PCB", "/tmp/roundtrip/board.pcb");
    ASSERT_NE(board_, 0u);
    ASSERT_TRUE(host_->MakeCurrent(board_));
  }
  // A new object of a kind, on the board.
  THandle NewOnBoard(uint8_t kind) {
    const THandle h = hostapi::PcbApi_CreateObject(kind);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(hostapi::PcbApi_AddObjectToContainer(board_, h), 0);
    return h;
  }

  static platform::ModuleHandle module_;
  tarvex::ITarvexHost* host_ = nullptr;
  THandle board_ = 0;
};
platform::ModuleHandle TarvexTest::module_ = nullptr;

// Every field of a wrapper, as text.
std::string Describe(TPCBObject& o) {
  std::ostringstream s;
  s << "kind " << int(o.ObjectKind) << " flags " << o.Flags << " bf2 " << int(o.BitField2) << " bf3 "
    << o.BitField3 << " ew " << o.ExtraWord << " layer " << int(o.Layer) << " eb " << int(o.ExtraByte)
    << " net " << o.Net << " el " << o.ExtraLong << " xy " << o.X << "," << o.Y;
  if (auto* t = dynamic_cast<TPcbTrack*>(&o))
    s << " track " << t->X2 << "," << t->Y2 << " " << t->Width << " " << t->Aux1 << " " << t->Aux2
      << " " << t->Aux3;
  if (auto* a = dynamic_cast<TPcbArc*>(&o))
    s << " arc " << a->Radius << " " << a->StartAngle << " " << a->EndAngle << " " << a->Width << " "
      << a->Aux1;
  if (auto* f = dynamic_cast<TPcbFill*>(&o))
    s << " fill " << f->X2 << "," << f->Y2 << " " << f->Aux1 << " " << f->Rotation;
  if (auto* v = dynamic_cast<TPcbVia*>(&o))
    s << " via " << v->Size << " " << v->HoleSize << " " << int(v->StartLayer) << " "
      << int(v->EndLayer);
  if (auto* t = dynamic_cast<TPcbText*>(&o))
    s << " text " << t->Height << " " << t->Font << " " << t->Rotation << " " << int(t->Mirrored)
      << " '" << t->Text << "' " << t->StrokeWidth << " " << t->Aux2 << " " << t->Aux3;
  if (auto* p = dynamic_cast<TPcbPad*>(&o)) {
    s << " pad " << p->TopXSize << " " << p->TopYSize << " " << p->MidXSize << " " << p->MidYSize
      << " " << p->BottomXSize << " " << p->BottomYSize << " " << p->HoleSize << " "
      << int(p->TopShape) << int(p->MidShape) << int(p->BottomShape) << " '" << p->Name << "' "
      << int(p->PadAux1) << " " << int(p->PadAux2) << " " << p->Rotation << " mode "
      << int(p->StackMode);
    if (p->StackMode == psmPerLayer)
      for (int l = 1; l <= 32; ++l)
        s << " " << int(p->ShapeOnLayer[l]) << ":" << p->XSizeOnLayer[l] << "x" << p->YSizeOnLayer[l];
  }
  if (auto* p = dynamic_cast<TPcbPolygon*>(&o)) {
    s << " polygon " << int(p->RemoveIslands) << int(p->PolyAux1) << int(p->PolyOption) << " "
      << p->GridSize << " " << p->TrackWidth << " " << int(p->PolyAux2) << int(p->HatchStyle) << " "
      << p->PolyAux3 << " " << int(p->OnInternalPlane) << " " << p->VertexCount;
    for (int i = 0; i <= p->VertexCount && i < pcbabi::kVertexRecords; ++i)
      s << " (" << int(p->Vertices[i].Kind) << " " << p->Vertices[i].X << " " << p->Vertices[i].Y
        << ")";
  }
  if (auto* c = dynamic_cast<TPcbComponent*>(&o)) {
    s << " component " << c->ChannelOffset << " " << int(c->ComponentKind) << " "
      << c->DesignatorText << " " << c->CommentText << " '" << c->Pattern << "' "
      << int(c->DesignatorVisible) << int(c->CommentVisible) << " " << c->CompAux1 << " "
      << c->Rotation << " " << int(c->CompAux2) << " " << c->CompExtra1 << " " << int(c->CompExtra2)
      << int(c->CompExtra3) << int(c->CompExtra4);
    for (const auto& link : c->SourceLinks) s << " '" << link << "'";
  }
  if (auto* n = dynamic_cast<TPcbNet*>(&o))
    s << " net '" << n->Name << "' " << int(n->NetAux1) << int(n->NetAux2);
  if (auto* c = dynamic_cast<TPCBObjectClass*>(&o)) {
    s << " class " << int(c->MemberKind) << int(c->ClassAux) << " '" << c->Name << "'";
    for (const auto& m : c->Members) s << " [" << m << "]";
  }
  if (auto* f = dynamic_cast<TPcbFromTo*>(&o))
    s << " fromto " << int(f->FromLayer) << " " << f->X2 << "," << f->Y2 << " " << int(f->ToLayer);
  if (auto* m = dynamic_cast<TPcbManualFromTo*>(&o))
    s << " manual '" << m->ManualText1 << "' '" << m->ManualText2 << "' '" << m->ManualText3 << "' "
      << m->ManualValue;
  if (auto* c = dynamic_cast<TPcbCoordinate*>(&o))
    for (int32_t v : c->CoordAux) s << " " << v;
  if (auto* d = dynamic_cast<TPcbDimension*>(&o)) {
    for (int32_t v : d->DimensionRecord) s << " " << v;
    for (int32_t v : d->ExtDimensionRecord) s << " " << v;
    s << " refs " << d->References.size();
  }
  if (auto* r = dynamic_cast<TPcbRule*>(&o))
    for (int32_t v : r->RuleRecord) s << " " << v;
  if (auto* r = dynamic_cast<TPcbRuleExt*>(&o)) {
    s << " rule " << int(r->RuleKind) << int(r->RuleAux1) << int(r->RuleAux2) << " '" << r->Name << "'";
    for (const TPcbScope* scope : {&r->Scope1, &r->Scope2})
      for (const auto& sub : scope->Subscopes)
        s << " {" << int(sub.Kind) << " '" << sub.Name << "' " << int(sub.LayerId) << " "
          << int(sub.KindId) << " " << sub.Value1 << " " << sub.Value2 << " " << sub.Value3 << " "
          << sub.Value4 << "}";
  }
  return s.str();
}

void ChangeCommon(TPCBObject& o, uint8_t layer) {
  o.Flags = 0x0818, o.BitField2 = 0x21, o.BitField3 = 0x0004, o.ExtraWord = 77, o.Layer = layer;
  o.ExtraByte = 5, o.ExtraLong = 123456, o.X = 1230000, o.Y = -450000;
}

struct RoundTripCase {
  const char* Name;
  uint8_t Kind;
  std::function<std::unique_ptr<TPCBObject>(THandle)> Make;
  std::function<void(TPCBObject&)> Change;
};

std::vector<RoundTripCase> RoundTripCases() {
  return {
      {"track", okTrack, [](THandle h) { return std::make_unique<TPcbTrack>(h); },
       [](TPCBObject& o) {
         auto& t = static_cast<TPcbTrack&>(o);
         ChangeCommon(t, BottomLayer);
         t.X2 = 2000000, t.Y2 = 3000000, t.Width = 123000, t.Aux1 = 1, t.Aux2 = 2, t.Aux3 = 3;
       }},
      {"arc", okArc, [](THandle h) { return std::make_unique<TPcbArc>(h); },
       [](TPCBObject& o) {
         auto& a = static_cast<TPcbArc&>(o);
         ChangeCommon(a, MidLayer3);
         a.Radius = 250000, a.StartAngle = 12.5, a.EndAngle = 270.25, a.Width = 80000, a.Aux1 = 9;
       }},
      {"fill", okFill, [](THandle h) { return std::make_unique<TPcbFill>(h); },
       [](TPCBObject& o) {
         auto& f = static_cast<TPcbFill&>(o);
         ChangeCommon(f, TopLayer);
         f.X2 = 1500000, f.Y2 = 100000, f.Aux1 = 4, f.Rotation = 33.5;
       }},
      {"via", okVia, [](THandle h) { return std::make_unique<TPcbVia>(h); },
       [](TPCBObject& o) {
         auto& v = static_cast<TPcbVia&>(o);
         ChangeCommon(v, MultiLayer);
         v.Size = 610000, v.HoleSize = 330000, v.StartLayer = MidLayer1, v.EndLayer = MidLayer4;
       }},
      {"text", okText, [](THandle h) { return std::make_unique<TPcbText>(h); },
       [](TPCBObject& o) {
         auto& t = static_cast<TPcbText&>(o);
         ChangeCommon(t, BottomOverlay);
         t.Height = 700000, t.Font = 3, t.Rotation = 90, t.Mirrored = 1, t.Text = "R12 value";
         t.StrokeWidth = 90000, t.Aux2 = 6, t.Aux3 = 7;
       }},
      {"pad", okPad, [](THandle h) { return std::make_unique<TPcbPad>(h); },
       [](TPCBObject& o) {
         auto& p = static_cast<TPcbPad&>(o);
         ChangeCommon(p, TopLayer);
         p.TopXSize = 1, p.TopYSize = 2, p.MidXSize = 3, p.MidYSize = 4, p.BottomXSize = 5;
         p.BottomYSize = 6, p.HoleSize = 7, p.TopShape = psRectangle, p.MidShape = psOctagonal;
         p.BottomShape = psRound, p.Name = "A12", p.PadAux1 = 8, p.PadAux2 = 9, p.Rotation = 45;
       }},
      {"polygon", okPolygon, [](THandle h) { return std::make_unique<TPcbPolygon>(h); },
       [](TPCBObject& o) {
         auto& p = static_cast<TPcbPolygon&>(o);
         // The polygon record has no point and no extra long of its own.
         p.Flags = 0x0818, p.BitField2 = 0x21, p.BitField3 = 0x0004, p.ExtraWord = 77;
         p.Layer = BottomLayer, p.ExtraByte = 5;
         p.RemoveIslands = 1, p.PolyAux1 = 2, p.PolyOption = 1, p.GridSize = 150000;
         p.TrackWidth = 150000, p.PolyAux2 = 3, p.HatchStyle = 2, p.PolyAux3 = 4;
         p.OnInternalPlane = 0, p.VertexCount = 3;
         const int32_t xs[] = {0, 1000000, 1000000, 0}, ys[] = {0, 0, 800000, 0};
         for (int i = 0; i < 4; ++i) {
           p.Vertices[i].Kind = 0;
           p.Vertices[i].X = xs[i];
           p.Vertices[i].Y = ys[i];
         }
       }},
      {"component", okComponent, [](THandle h) { return std::make_unique<TPcbComponent>(h); },
       [](TPCBObject& o) {
         auto& c = static_cast<TPcbComponent&>(o);
         c.Flags = 0x0010, c.ExtraWord = 3, c.ExtraByte = 1;
         c.ChannelOffset = 2, c.ComponentKind = 1, c.Pattern = "DIP14", c.DesignatorVisible = 0;
         c.CommentVisible = 1, c.CompAux1 = 5, c.CompAux2 = 6, c.CompExtra1 = 7, c.CompExtra2 = 8;
         c.CompExtra3 = 9, c.CompExtra4 = 10;
         c.SourceLinks = {"lib", "part", "", "d", "e", "f", std::string(255, 'g')};
       }},
      {"net", okNet, [](THandle h) { return std::make_unique<TPcbNet>(h); },
       [](TPCBObject& o) {
         auto& n = static_cast<TPcbNet&>(o);
         n.ExtraWord = 4, n.Name = "GND", n.NetAux1 = 1, n.NetAux2 = 2;
       }},
      {"class", okClass, [](THandle h) { return std::make_unique<TPCBObjectClass>(h); },
       [](TPCBObject& o) {
         auto& c = static_cast<TPCBObjectClass&>(o);
         c.ExtraWord = 2, c.MemberKind = ckNet, c.ClassAux = 1, c.Name = "Power";
         c.Members = {"GND", "VCC", "+5V"};
       }},
      {"from-to", okFromTo, [](THandle h) { return std::make_unique<TPcbFromTo>(h); },
       [](TPCBObject& o) {
         auto& f = static_cast<TPcbFromTo&>(o);
         f.ExtraWord = 1, f.X = 10, f.Y = 20, f.FromLayer = TopLayer, f.X2 = 30, f.Y2 = 40;
         f.ToLayer = BottomLayer;
       }},
      {"manual from-to", okManualFromTo,
       [](THandle h) { return std::make_unique<TPcbManualFromTo>(h); },
       [](TPCBObject& o) {
         auto& m = static_cast<TPcbManualFromTo&>(o);
         m.ExtraWord = 5, m.ManualText1 = "a", m.ManualText2 = "b", m.ManualText3 = "c";
         m.ManualValue = 6;
       }},
      {"coordinate", okCoordinate, [](THandle h) { return std::make_unique<TPcbCoordinate>(h); },
       [](TPCBObject& o) {
         auto& c = static_cast<TPcbCoordinate&>(o);
         c.Flags = 2, c.ExtraWord = 3, c.ExtraByte = 4, c.X = 5, c.Y = 6, c.Layer = Mechanical1;
         c.CoordAux = {1, 2, 3, 4, 5, 6};
       }},
      {"dimension", okDimension, [](THandle h) { return std::make_unique<TPcbDimension>(h); },
       [](TPCBObject& o) {
         auto& d = static_cast<TPcbDimension&>(o);
         for (int i = 1; i < pcbabi::kDimensionRecordFields; ++i) d.DimensionRecord[i] = 10 * i;
         for (int i = 0; i < pcbabi::kExtDimensionRecordFields; ++i) d.ExtDimensionRecord[i] = -i;
       }},
      {"rule", okRule, [](THandle h) { return std::make_unique<TPcbRule>(h); },
       [](TPCBObject& o) {
         auto& r = static_cast<TPcbRule&>(o);
         for (int i = 0; i < pcbabi::kRuleRecordFields; ++i) r.RuleRecord[i] = 100 + i;
       }},
      {"rule ext", okRule, [](THandle h) { return std::make_unique<TPcbRuleExt>(h); },
       [](TPCBObject& o) {
         auto& r = static_cast<TPcbRuleExt&>(o);
         r.RuleKind = rkWidth, r.RuleAux1 = 1, r.RuleAux2 = 2, r.Name = "Width_GND";
         r.Scope1.Clear();
         r.Scope2.Clear();
         r.Scope1.Add({skNet, "GND", 0, 0, 0, 0, 0, 0});
         r.Scope2.Add({skLayer, "", BottomLayer, 0, 1, 2, 3, 4});
         r.Scope2.Add({skObjectKind, "", 0, 7, 0, 0, 0, 0});
       }},
  };
}

TEST_F(TarvexTest, EveryWrapperIsReadChangedWrittenAndReadBack) {
  for (const RoundTripCase& c : RoundTripCases()) {
    SCOPED_TRACE(c.Name);
    const THandle h = c.Kind == okRule ? hostapi::PcbApi_CreateRuleObject(rkClearance)
                      : c.Kind == okClass ? hostapi::PcbApi_CreateClassObjectEx(ckNet)
                                          : hostapi::PcbApi_CreateObject(c.Kind);
    ASSERT_NE(h, 0u);
    auto wrapper = c.Make(h);
    const int32_t readStatus = wrapper->Exchange(qdRead);
    EXPECT_EQ(readStatus, dynamic_cast<TPCBObjectClass*>(wrapper.get()) ? 1 : 0);
    const std::string before = Describe(*wrapper);
    c.Change(*wrapper);
    const std::string changed = Describe(*wrapper);
    EXPECT_NE(changed, before);
    wrapper->Exchange(qdWrite);
    auto back = c.Make(h);
    back->Exchange(qdRead);
    EXPECT_EQ(Describe(*back), changed);
  }
}

TEST_F(TarvexTest, PadStacksOfEachMode) {
  for (uint8_t mode : {psmSimple, psmTopMiddleBottom, psmPerLayer}) {
    SCOPED_TRACE(int(mode));
    const THandle h = NewOnBoard(okPad);
    TPcbPad pad(h);
    pad.Exchange(qdRead);
    pad.StackMode = mode;
    for (int l = 1; l <= 32; ++l) {
      pad.XSizeOnLayer[l] = 100000 + l;
      pad.YSizeOnLayer[l] = 200000 + l;
      pad.ShapeOnLayer[l] = static_cast<uint8_t>(1 + l % 3);
    }
    EXPECT_EQ(pad.Exchange(qdWrite), 0);
    const tarvex::Object* o = host_->GetObject(h);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->StackMode, mode);
    TPcbPad back(h);
    EXPECT_EQ(back.Exchange(qdRead), 0);
    EXPECT_EQ(back.StackMode, mode);
    if (mode == psmPerLayer) {
      for (int l = 1; l <= 32; ++l) {
        EXPECT_EQ(o->XSizeOnLayer[l], 100000 + l);
        EXPECT_EQ(back.XSizeOnLayer[l], 100000 + l);
        EXPECT_EQ(back.YSizeOnLayer[l], 200000 + l);
        EXPECT_EQ(back.ShapeOnLayer[l], 1 + l % 3);
      }
    } else {
      // Nothing per layer crossed: the host keeps its own, the fresh read none.
      EXPECT_NE(o->XSizeOnLayer[1], 100001);
      EXPECT_EQ(back.XSizeOnLayer[1], 0);
    }
  }
}

TEST_F(TarvexTest, ClassMembersAreReadAndWritten) {
  const THandle h = hostapi::PcbApi_CreateClassObjectEx(ckComponent);
  TPCBObjectClass cls(h);
  EXPECT_EQ(cls.Exchange(qdRead), 1);
  EXPECT_TRUE(cls.Members.empty());
  cls.Name = "Connectors";
  cls.Members = {"J1", "J2"};
  EXPECT_EQ(cls.Exchange(qdWrite), 0);
  EXPECT_EQ(host_->GetObject(h)->Members, (std::vector<std::string>{"J1", "J2"}));
  cls.Members = {"J3"};
  cls.Exchange(qdWrite);
  TPCBObjectClass back(h);
  back.Members = {"J0"};
  back.Exchange(qdRead);
  EXPECT_EQ(back.Members, (std::vector<std::string>{"J0", "J3"}));
  EXPECT_EQ(back.MemberKind, ckComponent);
  cls.Members.clear();
  cls.Exchange(qdWrite);
  EXPECT_TRUE(host_->GetObject(h)->Members.empty());
}

TEST_F(TarvexTest, RuleScopesAreReadAndWritten) {
  const THandle h = hostapi::PcbApi_CreateRuleObject(rkClearance);
  TPcbRuleExt rule(h);
  rule.Exchange(qdRead);
  EXPECT_EQ(rule.Scope1.Count(), 0u);
  EXPECT_EQ(rule.Scope1.Exchange(qdRead), 1);
  rule.Scope1.Add({skNet, "GND", 0, 0, 0, 0, 0, 0});
  rule.Scope2.Add({skComponentClass, "Connectors", 0, 0, 0, 0, 0, 0});
  rule.Scope2.Add({skBoard, "", 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(rule.Exchange(qdWrite), 0);
  const tarvex::Object* o = host_->GetObject(h);
  ASSERT_EQ(o->Scopes[0].size(), 1u);
  ASSERT_EQ(o->Scopes[1].size(), 2u);
  EXPECT_EQ(o->Scopes[1][0].Name, "Connectors");
  rule.Scope2.Clear();
  rule.Exchange(qdWrite);
  EXPECT_TRUE(o->Scopes[1].empty());
  TPcbRuleExt back(h);
  EXPECT_EQ(back.Exchange(qdRead), 0);
  EXPECT_EQ(back.Scope1.Count(), 1u);
  EXPECT_EQ(back.Scope2.Count(), 0u);

  int32_t gap = 123456;
  EXPECT_EQ(hostapi::PcbApi_QueryRuleClearanceConstraint(qdWrite, h, &gap), 0);
  EXPECT_EQ(o->ClearanceGap, 123456);
}

// The board as the host holds it, as text.
std::string DescribeDocument(const tarvex::Document& d) {
  std::ostringstream s;
  s << d.Path << " " << d.BoardAux;
  for (int32_t v : d.BoardRecord) s << " " << v;
  for (int id = 1; id <= 82; ++id) {
    const auto& l = d.Layers[id];
    s << "\n" << id << " " << l.Name << " " << l.CopperThickness << " " << int(l.LayerAux1)
      << int(l.LayerAux2) << " " << int(l.PrevLayer) << " " << int(l.NextLayer) << " "
      << int(l.LayerAux3) << " " << l.NetName << " " << l.DielectricMaterial << " "
      << int(l.DielectricType) << " " << l.DielectricConstant << " " << l.DielectricHeight << " "
      << l.Info;
  }
  for (const auto& p : d.LayerPairs)
    s << "\npair " << int(p.Layer1) << " " << int(p.Layer2) << " " << int(p.PairAux1) << " "
      << int(p.PairAux2);
  s << "\noptions";
  for (int32_t v : d.Grids) s << " " << v;
  for (int32_t v : d.OutputOptions) s << " " << v;
  for (uint8_t v : d.PlotLayers) s << " " << int(v);
  for (uint8_t v : d.FlipLayers) s << " " << int(v);
  for (int32_t v : d.GerberOptions) s << " " << v;
  for (int32_t v : d.PrinterOptions) s << " " << v;
  for (const auto& pen : d.PlotterPens) s << " " << pen[0] << "/" << pen[1];
  for (uint8_t v : d.CompositeLayers) s << " " << int(v);
  for (int32_t v : d.PlacerOptions) s << " " << v;
  for (int32_t v : d.ChangeOrderOptions) s << " " << v;
  for (const auto* e : {&d.TopDielectric, &d.BottomDielectric})
    s << "\n" << e->Material << " " << int(e->Type) << " " << e->Constant << " " << e->Height;
  return s.str();
}

TEST_F(TarvexTest, ABoardReadAndWrittenWithoutChangeKeepsTheHostsValues) {
  // Give the host values that differ from every default first.
  tarvex::Document* d = host_->GetDocumentMutable(board_);
  ASSERT_NE(d, nullptr);
  d->BoardAux = 9;
  for (int i = 0; i < pcbabi::kBoardRecordExtraFields; ++i) d->BoardRecord[i] = 20 + i;
  for (int id = 1; id <= 82; ++id) {
    d->Layers[id].CopperThickness = 14000 + id;
    d->Layers[id].LayerAux3 = static_cast<uint8_t>(id);
    d->Layers[id].Info = 1000 + id;
    d->Layers[id].DielectricHeight = 5000 + id;
  }
  d->Layers[InternalPlane2].NetName = "VCC";
  d->LayerPairs = {{TopLayer, BottomLayer, 1, 2}, {MidLayer1, MidLayer2, 3, 4}};
  for (int i = 0; i < pcbabi::kGridFields; ++i) d->Grids[i] = 300 + i;
  for (int n = 1; n <= pcbabi::kPlotLayerCount; ++n) d->PlotLayers[n] = static_cast<uint8_t>(n % 2);
  for (int pen = 1; pen <= pcbabi::kPlotterPenCount; ++pen) d->PlotterPens[pen] = {pen, -pen};
  d->CompositeLayers[5] = 1;
  d->ChangeOrderOptions[3] = 42;
  d->BottomDielectric.Material = "Polyimide";
  const std::string before = DescribeDocument(*d);

  TPcbBoard b(board_);
  EXPECT_EQ(b.Exchange(qdRead), 0);
  EXPECT_EQ(b.FileName, "/tmp/roundtrip/board.pcb");
  EXPECT_EQ(b.InternalPlane(2)->NetName, "VCC");
  EXPECT_EQ(b.LayerPairs.size(), 2u);
  EXPECT_EQ(b.Exchange(qdWrite), 0);
  EXPECT_EQ(DescribeDocument(*host_->GetDocument(board_)), before);

  // A change reaches the host; nothing else moves.
  b.SetPlaneNetName2("GND");
  b.Exchange(qdWrite);
  EXPECT_EQ(host_->GetDocument(board_)->Layers[InternalPlane2].NetName, "GND");
  EXPECT_EQ(host_->GetDocument(board_)->Layers[InternalPlane1].NetName, "(No Net)");
}

TEST_F(TarvexTest, LayerPairsAreNamedAfterTheHostsLayerStack) {
  tarvex::Document* d = host_->GetDocumentMutable(board_);
  d->LayerPairs = {{BottomLayer, TopLayer, 0, 0}, {TopLayer, BottomLayer, 0, 0}};
  TPcbBoard b(board_);
  b.Exchange(qdRead);
  ASSERT_EQ(b.LayerPairs.size(), 2u);
  // The stack runs from the top layer to the bottom layer; the names are the
  // host's names of its layers.
  const std::string expected = d->Layers[TopLayer].Name + " - " + d->Layers[BottomLayer].Name;
  EXPECT_EQ(b.LayerPairs[0].PairName, expected);
  EXPECT_EQ(b.LayerPairs[1].PairName, expected);
  // Renamed layers give renamed pairs.
  d->Layers[TopLayer].Name = "Component side";
  d->Layers[BottomLayer].Name = "Solder side";
  b.Exchange(qdRead);
  EXPECT_EQ(b.LayerPairs[0].PairName, "Component side - Solder side");
  EXPECT_EQ(b.LayerPairs[0].Layer1, BottomLayer);
}

TEST_F(TarvexTest, ComponentNameIsItsDesignatorText) {
  const THandle h = NewOnBoard(okComponent);
  TPcbComponent component(h);
  component.Exchange(qdRead);
  ASSERT_NE(component.DesignatorText, 0u);
  TPcbText designator(component.DesignatorText);
  designator.Exchange(qdRead);
  designator.SetText("U7");
  designator.Exchange(qdWrite);
  EXPECT_EQ(component.GetName(), "U7");
  EXPECT_EQ(hostapi::ObjectTextOf(component.DesignatorText), "U7");
  EXPECT_EQ(hostapi::ObjectKindOf(h), okComponent);
}

TEST_F(TarvexTest, ObjectsByHandle) {
  const THandle track = NewOnBoard(okTrack);
  hostapi::SetObjectX(track, 10);
  hostapi::SetObjectY(track, 20);
  hostapi::SetObjectX2(track, 30);
  hostapi::SetObjectY2(track, 40);
  EXPECT_EQ(host_->GetObject(track)->X2, 30);
  EXPECT_EQ(hostapi::ObjectXOf(track), 10);
  EXPECT_EQ(hostapi::ObjectYOf(track), 20);
  EXPECT_EQ(hostapi::ObjectX2Of(track), 30);
  EXPECT_EQ(hostapi::ObjectY2Of(track), 40);
  auto wrapper = hostapi::WrapperForHandle(track);
  ASSERT_NE(wrapper, nullptr);
  EXPECT_EQ(wrapper->GetWidth(), host_->GetDefaults().TrackWidth);
}

TEST_F(TarvexTest, FindPadByDesignatorPinOnTheHost) {
  auto addComponent = [&](const std::string& designator, uint8_t side,
                          const std::vector<std::string>& pins) {
    const THandle h = NewOnBoard(okComponent);
    TPcbComponent c(h);
    c.Exchange(qdRead);
    c.Layer = side;
    c.Exchange(qdWrite);
    TPcbText t(c.DesignatorText);
    t.Exchange(qdRead);
    t.Text = designator;
    t.Exchange(qdWrite);
    std::vector<THandle> pads;
    for (const auto& pin : pins) {
      const THandle p = hostapi::PcbApi_CreateObject(okPad);
      TPcbPad pad(p);
      pad.Exchange(qdRead);
      pad.Name = pin;
      pad.Exchange(qdWrite);
      EXPECT_EQ(c.AddPrimitive(p), 0);
      pads.push_back(p);
    }
    return pads;
  };
  const auto top = addComponent("U1", TopLayer, {"1", "2"});
  const auto bottom = addComponent("U2", BottomLayer, {"1"});
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board_, "U1-2"), top[1]);
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board_, "U2-1"), bottom[0]);
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board_, "U1-3"), 0u);
  EXPECT_EQ(hostapi::FindPadByDesignatorPin(board_, "u1-1"), 0u);
  EXPECT_EQ(host_->LiveIterators(), 0);
  EXPECT_EQ(hostapi::PcbApi_GetBoardHandleFromFullFileName("/tmp/roundtrip/board.pcb"), board_);
  EXPECT_EQ(hostapi::PcbApi_GetCurrentBoardHandle(), board_);
}

}  // namespace

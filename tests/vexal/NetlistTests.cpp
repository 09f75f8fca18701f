// The netlist section through the loaded plug-in: nets and their rules, the
// hole-to-hole rule, net classes, class-to-class pairs, pads put on their
// nets, component references and values of placed patterns; and the board
// lookups behind it, whose index must answer exactly as a walk of the board.
#include <functional>

#include "hostapi/BoardLookup.h"
#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbObjects.h"
#include "tests/vexal/DesignTestsSupport.h"

namespace {

using namespace designtest;
using tarvex::Subscope;

// A whole file: header, library, netlist, design.
std::string File(const std::string& library, const std::string& netlist, const std::string& design,
                 const std::string& units = "mil") {
  return "VEXAL_ASCII \"t.pcb\"\r\n(asciiHeader (asciiVersion 3 0) (fileUnits " + units + "))\r\n" +
         "(library \"lib\"\r\n" + library + "\r\n)\r\n" + "(netlist \"n\"\r\n" + netlist + "\r\n)\r\n" +
         "(pcbDesign \"d\"\r\n" + design + "\r\n)\r\n";
}

std::vector<Subscope> NetScope(const std::string& net) {
  Subscope s;
  s.Kind = 8;  // skNet
  s.Name = net;
  return {s};
}

const std::string kTopLayer = "(layerDef \"Top\" (layerNum 1) (layerType Signal))\r\n";

std::string Placed(const std::string& pattern, const std::string& designator) {
  return "(pattern (patternRef \"" + pattern + "\") (refDesRef \"" + designator + "\"))";
}

std::string OnTop(const std::string& objects) { return kTopLayer + "(layerContents (layerNumRef 1) " + objects + ")"; }

// ---- Nets and their rules ------------------------------------------------------------------

struct RuleCase {
  const char* Name;
  std::string Units;
  std::string Attributes;  // of the net "N"
  // The rules expected on the board, in order (kind, then its values).
  struct Expected {
    uint8_t Kind;
    std::array<int32_t, 3> Widths{};
    int32_t MaxLength = 0, MinLength = 0;
    std::array<int32_t, 6> ViaStyle{};
  };
  std::vector<Expected> Rules;
};

constexpr uint8_t kWidthRule = 2, kLengthRule = 3, kViaRule = 11;

RuleCase::Expected Width(int32_t w) { return {kWidthRule, {w, w, w}}; }
RuleCase::Expected Length(int32_t maximum, int32_t minimum) {
  RuleCase::Expected e{kLengthRule};
  e.MaxLength = maximum;
  e.MinLength = minimum;
  return e;
}
RuleCase::Expected Via(int32_t hole, int32_t diameter) {
  RuleCase::Expected e{kViaRule};
  e.ViaStyle = {hole, hole, hole, diameter, diameter, diameter};
  return e;
}

std::string Attr(const std::string& name, const std::string& value) {
  return "(attr \"" + name + "\" \"" + value + "\")";
}

const std::string kViaStyles =
    "(viaStyleDef \"Square\" (holeDiam 20) (viaShape (layerNumRef 1) (viaShapeType Ellipse) (shapeWidth 40) "
    "(shapeHeight 40)) (viaShape (layerNumRef 2) (viaShapeType Ellipse) (shapeWidth 30) (shapeHeight 50)))\r\n"
    "(viaStyleDef \"Odd\" (holeDiam 12) (viaShape (layerNumRef 1) (shapeWidth 0) (shapeHeight 0)) "
    "(viaShape (layerNumRef 2) (shapeWidth 31) (shapeHeight 30)))\r\n"
    "(viaStyleDef \"Bare\" (holeDiam 10))\r\n"
    "(viaStyleDef \"Huge\" (holeDiam 10) (viaShape (layerNumRef 1) (shapeWidth 150000) (shapeHeight 150000)))\r\n";

TEST(Netlist, NetAttributesBecomeRulesScopedToTheNetInTheFileUnits) {
  const int32_t noMax = Mil(100000);
  const std::vector<RuleCase> cases = {
      {"width in mil", "mil", Attr("Width", "10mil"), {Width(Mil(10))}},
      {"width as a bare number", "mil", Attr("width", "12"), {Width(Mil(12))}},
      {"two widths, two rules", "mil", Attr("Width", "8") + Attr("WIDTH", "9"), {Width(Mil(8)), Width(Mil(9))}},
      {"only a minimum", "mil", Attr("MinNetLength", "5"), {Length(noMax, Mil(5))}},
      {"only the default maximum", "mil", Attr("MaxNetLength", "100000"), {}},
      {"maximum and minimum", "mil", Attr("MaxNetLength", "900") + Attr("MinNetLength", "100"),
       {Length(Mil(900), Mil(100))}},
      {"the later value counts", "mil", Attr("MaxNetLength", "900") + Attr("MaxNetLength", "800"),
       {Length(Mil(800), 0)}},
      {"inch file: a bare number is inches", "in", Attr("Width", "0.01"), {Width(Mil(10))}},
      {"inch file: an explicit mm", "in", Attr("Width", "0.25mm"), {Width(Mm(0.25))}},
      {"inch file: an explicit mil", "in", Attr("Width", "7 mil"), {Width(Mil(7))}},
      {"inch file: rounded as mils before times 1000", "in", Attr("MaxNetLength", "0.00012345"),
       {Length(1000, 0)}},
      {"mm file", "mm", Attr("Width", "0.2"), {Width(Mm(0.2))}},
      {"a text beginning with a letter is 0", "mil", Attr("MinNetLength", "x5"), {}},
      {"via style: smallest mean of the shapes", "mil", Attr("ViaStyle", "square"), {Via(Mil(20), Mil(40))}},
      {"via style: a zero shape is passed over, the mean truncated", "mil", Attr("ViaStyle", "Odd"),
       {Via(Mil(12), Mil(30.5))}},
      {"via style without shapes", "mil", Attr("ViaStyle", "Bare"), {Via(Mil(10), 0)}},
      // Width and height add up beyond the 32-bit range before the mean.
      {"via style with shapes near the range's end", "mil", Attr("ViaStyle", "Huge"), {Via(Mil(10), Mil(150000))}},
      {"via style naming no style", "mil", Attr("ViaStyle", "Missing"), {}},
      {"other names are ignored", "mil", Attr("Colour", "red") + Attr("TieNet", "X"), {}},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const auto board = NewBoard();
    ASSERT_TRUE(Import(File(kViaStyles, "(net \"N\" " + c.Attributes + ")", "", c.Units)));
    const auto rules = ObjectsOf(board, tarvex::kRule);
    // The first rule of the board is the design's default clearance rule.
    ASSERT_EQ(rules.size(), c.Rules.size() + 1);
    for (size_t i = 0; i < c.Rules.size(); ++i) {
      const tarvex::Object& rule = *rules[i];
      const RuleCase::Expected& e = c.Rules[i];
      EXPECT_EQ(rule.RuleKind, e.Kind);
      EXPECT_EQ(rule.Scopes[0], NetScope("N"));
      EXPECT_TRUE(rule.Scopes[1].empty());
      if (e.Kind == kWidthRule) {
        EXPECT_EQ(rule.Widths, e.Widths);
      }
      if (e.Kind == kLengthRule) {
        EXPECT_EQ(rule.MaxLength, e.MaxLength);
        EXPECT_EQ(rule.MinLength, e.MinLength);
      }
      if (e.Kind == kViaRule) {
        EXPECT_EQ(rule.ViaStyle, e.ViaStyle);
      }
    }
    // A style that does not exist leaves no rule anywhere in the host.
    int routingViaRules = 0;
    for (const tarvex::THandle h : Host().AllObjects())
      routingViaRules += Host().GetObject(h)->Kind == tarvex::kRule && Host().GetObject(h)->RuleKind == kViaRule;
    int expectedViaRules = 0;
    for (const auto& e : c.Rules) expectedViaRules += e.Kind == kViaRule;
    EXPECT_EQ(routingViaRules, expectedViaRules);
    EXPECT_EQ(Host().LiveIterators(), 0);
  }
}

TEST(Netlist, HoleToHoleRulesFirstThenEachNetAfterItsRulesThenTheClasses) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(File("",
                          "(globalAttrs " + Attr("HoleToHoleClearance", "0.5") +
                              "(attr \"holetoholeclearance\" \"13\" (constraintUnits mil)) (skipped 1))\r\n"
                              "(net \"A\" " + Attr("Width", "10") + ")\r\n(net \"B\")\r\n"
                              "(netClass \"Power\" (netNameRef \"A\"))\r\n",
                          "")));
  std::vector<const tarvex::Object*> order;
  for (const tarvex::THandle h : Host().ContainerObjects(board)) order.push_back(Host().GetObject(h));
  // Two hole-to-hole rules, the width rule of A, A, B, the class, then the
  // design's default clearance rule.
  ASSERT_EQ(order.size(), 7u);
  Subscope padsAndVias;
  padsAndVias.Kind = 3;  // skObjectKind
  padsAndVias.KindId = 20;
  for (int i : {0, 1}) {
    EXPECT_EQ(order[i]->Kind, tarvex::kRule);
    EXPECT_EQ(order[i]->RuleKind, 0);
    EXPECT_EQ(order[i]->Scopes[0], std::vector<Subscope>{padsAndVias});
    EXPECT_EQ(order[i]->Scopes[1], std::vector<Subscope>{padsAndVias});
  }
  // Without constraint units the value is in millimetres, whatever the file's units.
  EXPECT_EQ(order[0]->ClearanceGap, Mm(0.5));
  EXPECT_EQ(order[1]->ClearanceGap, Mil(13));
  EXPECT_EQ(order[2]->RuleKind, kWidthRule);
  EXPECT_EQ(order[3]->Kind, tarvex::kNet);
  EXPECT_EQ(order[3]->Name, "A");
  EXPECT_EQ(order[4]->Name, "B");
  EXPECT_EQ(order[5]->Kind, tarvex::kClass);
  EXPECT_EQ(order[6]->Kind, tarvex::kRule);
}

TEST(Netlist, ANetClassPassesItsMembersByNameAsListedDuplicatesIncluded) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(File("",
                          "(net \"A\") (net \"B\")\r\n"
                          "(netClass \"Sig\" (netNameRef \"A\") (netNameRef \"B\") (netNameRef \"A\") "
                          "(netNameRef \"NoSuchNet\") " + Attr("x", "y") + ")\r\n(netClass \"Empty\")\r\n",
                          "")));
  const auto classes = ObjectsOf(board, tarvex::kClass);
  ASSERT_EQ(classes.size(), 2u);
  EXPECT_EQ(classes[0]->Name, "Sig");
  EXPECT_EQ(classes[0]->MemberKind, 0);  // ckNet
  EXPECT_EQ(classes[0]->Members, (std::vector<std::string>{"A", "B", "A", "NoSuchNet"}));
  EXPECT_EQ(classes[1]->Name, "Empty");
  EXPECT_TRUE(classes[1]->Members.empty());
}

TEST(Netlist, AThirdClassOfAPairIsOneCountedWarningAndTheNetlistReadsOn) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(File("",
                          "(classToClass (netClassNameRef \"A\") (netClassNameRef B) (netClassNameRef \"C\") "
                          "(netClassNameRef \"D\"))\r\n"
                          "(classToClass (netClassNameRef \"A\") (netClassNameRef \"B\"))\r\n"
                          "(net \"After\")\r\n",
                          "")));
  // The pair itself reaches nothing; the net after it is read.
  const auto nets = ObjectsOf(board, tarvex::kNet);
  ASSERT_EQ(nets.size(), 1u);
  EXPECT_EQ(nets[0]->Name, "After");
  const auto lines = ReportLines();
  // The third and fourth names: each one counted warning without a line.
  EXPECT_EQ(CountLines(lines, "Load Warnings : 2"), 1);
  for (const auto& l : lines) EXPECT_EQ(l.rfind("Skipping Token", 0), std::string::npos) << l;
}

// ---- Pads on their nets ------------------------------------------------------------------------

const std::string kPatterns =
    "(patternDef \"Two\" (originalName \"Two\") (multiLayer (pad (padNum \"1\") (pt 0 0)) "
    "(pad (padNum \"2\") (pt 100 0))))\r\n"
    "(patternDef \"OnlyTwo\" (originalName \"OnlyTwo\") (multiLayer (pad (padNum \"2\") (pt 0 0))))\r\n"
    "(patternDef \"Twin\" (originalName \"Twin\") (multiLayer (pad (padNum \"1\") (pt 0 0)) "
    "(pad (padNum \"1\") (pt 50 0))))\r\n";

// The names of the nets of the pads of the board's components, component by
// component, pad by pad ("" for a pad on no net).
std::vector<std::vector<std::string>> PadNets(tarvex::THandle board) {
  std::vector<std::vector<std::string>> result;
  for (const tarvex::Object* component : ObjectsOf(board, tarvex::kComponent)) {
    result.emplace_back();
    for (const tarvex::Object* pad : ObjectsOf(component->Handle, tarvex::kPad))
      result.back().push_back(pad->Net ? Host().GetObject(pad->Net)->Name : "");
  }
  return result;
}

TEST(Netlist, EachNodeConnectsTheFirstPadOfTheFirstComponentOfItsDesignatorThatHasThePin) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(File(kPatterns,
                          "(net \"VCC\" (node \"U1\" \"1\") (node \"U2\" \"1\") (node \"U9\" \"1\") "
                          "(node \"U1\" \"7\"))\r\n"
                          "(net \"GND\" (node \"u1\" \"2\") (node \"U3\" \"1\"))\r\n"
                          "(net \"SIG\" (node \"U1\" \"2\" (extra 1)))\r\n",
                          OnTop(Placed("OnlyTwo", "U1") + Placed("Two", "U1") + Placed("Twin", "U2") +
                                Placed("Two", "U3")))));
  // U1 (first) lacks pin 1: the second U1's pin 1 is connected. "u1" is not
  // "U1". Pin 2 of the first U1 goes to SIG. Of two pads named 1, the first.
  EXPECT_EQ(PadNets(board), (std::vector<std::vector<std::string>>{
                                {"SIG"}, {"VCC", ""}, {"VCC", ""}, {"GND", ""}}));
  EXPECT_EQ(Host().LiveIterators(), 0);
  // The node's extra group is skipped with the usual warning.
  int skips = 0;
  for (const auto& l : ReportLines()) skips += l.rfind("Skipping Token", 0) == 0;
  EXPECT_EQ(skips, 1);
}

TEST(Netlist, OfTwoNetsOfOneNameTheFirstTakesThePads) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(File(kPatterns, "(net \"N\" (node \"U1\" \"1\")) (net \"N\" (node \"U1\" \"2\"))",
                          OnTop(Placed("Two", "U1")))));
  const auto nets = ObjectsOf(board, tarvex::kNet);
  ASSERT_EQ(nets.size(), 2u);
  const auto pads = ObjectsOf(ObjectsOf(board, tarvex::kComponent)[0]->Handle, tarvex::kPad);
  EXPECT_EQ(pads[0]->Net, nets[0]->Handle);
  EXPECT_EQ(pads[1]->Net, nets[0]->Handle);
}

TEST(Netlist, APlacedPatternTakesReferenceAndValueOfTheFirstInstanceOfItsDesignatorInAnyCase) {
  const auto board = NewBoard();
  ASSERT_TRUE(Import(File(kPatterns +
                              "(compDef \"RES\" (originalName \"RES\") (attr \"Value\" \"\" (pt 1 1)))\r\n",
                          "(compInst \"r1\" (compRef \"RES\") (compValue \"10k\") (originalName \"x\") "
                          "(patternName \"Two\") " + Attr("a", "b") + ")\r\n"
                          "(compInst \"R1\" (compRef \"CAP\") (compValue \"1n\"))\r\n",
                          OnTop(Placed("Two", "R1") + Placed("Two", "R2")))));
  const auto components = ObjectsOf(board, tarvex::kComponent);
  ASSERT_EQ(components.size(), 2u);
  EXPECT_EQ(Host().GetObject(components[0]->CommentText)->Text, "10k");
  EXPECT_EQ(Host().GetObject(components[1]->CommentText)->Text, "");
}

// ---- The lookups against walks of the board ----------------------------------------------------

using Create_t = uint32_t(PCBAPI_CALL*)(uint8_t);
using Add_t = int32_t(PCBAPI_CALL*)(uint32_t, uint32_t);

// Reads the record of `object` through this program's binding, sets one text
// field of it and writes it back.
template <class TWrapper>
void Rewrite(tarvex::THandle object, std::string TWrapper::*field, const std::string& text) {
  TWrapper wrapper(object);
  wrapper.Exchange(qdRead);
  wrapper.*field = text;
  wrapper.Exchange(qdWrite);
}

// A board arranged through the host module itself; the lookups are asked
// through this program's own binding to that module.
class Lookups : public ::testing::Test {
 protected:
  void SetUp() override {
    Board = NewBoard();
    hostapi::BindHostPcbApi();
    hostapi::ForgetBoardLookups();
  }
  void TearDown() override { hostapi::ForgetBoardLookups(); }

  tarvex::THandle Net(const std::string& name) { return AddNet(Board, name); }
  tarvex::THandle Component(const std::string& designator, const std::vector<std::string>& pins) {
    const tarvex::THandle component = HostFunction<Create_t>("PcbApi_CreateObject")(tarvex::kComponent);
    Host().GetObjectMutable(Host().GetObject(component)->DesignatorText)->Text = designator;
    for (const std::string& pin : pins) Pad(component, pin);
    HostFunction<Add_t>("PcbApi_AddObjectToContainer")(Board, component);
    return component;
  }
  tarvex::THandle Pad(tarvex::THandle container, const std::string& pin) {
    const tarvex::THandle pad = HostFunction<Create_t>("PcbApi_CreateObject")(tarvex::kPad);
    Host().GetObjectMutable(pad)->Name = pin;
    HostFunction<Add_t>("PcbApi_AddObjectToContainer")(container, pad);
    return pad;
  }

  // Every question of the lists answered by the index as by a walk.
  void ExpectSameAnswers() {
    for (const char* name : {"A", "a", "B", "C", "", "Z"})
      EXPECT_EQ(hostapi::FirstNetNamed(Board, name), hostapi::WalkFirstNetNamed(Board, name)) << name;
    for (const char* designator : {"U1", "u1", "U2", "U3", "", "X"})
      for (const char* pin : {"1", "2", "3", ""})
        EXPECT_EQ(hostapi::FirstComponentPad(Board, designator, pin),
                  hostapi::WalkFirstComponentPad(Board, designator, pin))
            << designator << "-" << pin;
  }

  tarvex::THandle Board = 0;
};

TEST_F(Lookups, TheIndexAnswersAsAWalkWithDuplicateNamesAndDesignators) {
  const tarvex::THandle a1 = Net("A");
  Net("a");
  Net("A");
  Net("B");
  Net("");
  // The first U1 lacks pin 1; the second has two pads 1; "u1" differs.
  const tarvex::THandle first = Component("U1", {"2"});
  const tarvex::THandle second = Component("U1", {"3", "1", "1"});
  Component("u1", {"1"});
  Component("U2", {});
  Component("", {"1"});
  Pad(Board, "1");  // a free pad belongs to no designator
  ExpectSameAnswers();
  EXPECT_EQ(hostapi::FirstNetNamed(Board, "A"), a1);
  EXPECT_EQ(hostapi::FirstComponentPad(Board, "U1", "1"), Host().GetObject(second)->Primitives[1]);
  EXPECT_EQ(hostapi::FirstComponentPad(Board, "U1", "2"), Host().GetObject(first)->Primitives[0]);
  EXPECT_EQ(hostapi::FirstComponentPad(Board, "U2", "1"), 0u);
  EXPECT_EQ(hostapi::FirstNetNamed(0, "A"), 0u);
  EXPECT_EQ(Host().LiveIterators(), 0);
}

TEST_F(Lookups, ChangesThroughTheBindingAreSeenAtTheNextQuestion) {
  Net("A");
  const tarvex::THandle u1 = Component("U1", {"2"});
  Component("U2", {"1"});
  ExpectSameAnswers();  // builds both indexes

  const std::vector<std::pair<const char*, std::function<void()>>> changes = {
      {"a net joins", [&] {
         const auto net = hostapi::PcbApi_CreateObject(okNet);
         Rewrite<TPcbNet>(net, &TPcbNet::Name, "C");
         hostapi::PcbApi_AddObjectToContainer(Board, net);
       }},
      {"a net is renamed",
       [&] { Rewrite<TPcbNet>(hostapi::WalkFirstNetNamed(Board, "A"), &TPcbNet::Name, "B"); }},
      {"a component joins", [&] {
         const auto component = hostapi::PcbApi_CreateObject(okComponent);
         Host().GetObjectMutable(Host().GetObject(component)->DesignatorText)->Text = "U3";
         Pad(component, "1");
         hostapi::PcbApi_AddObjectToContainer(Board, component);
       }},
      {"a pad joins a component asked about", [&] {
         const auto pad = hostapi::PcbApi_CreateObject(okPad);
         Rewrite<TPcbPad>(pad, &TPcbPad::Name, "1");
         hostapi::PcbApi_AddObjectToContainer(u1, pad);
       }},
      {"a pad is renamed", [&] { Rewrite<TPcbPad>(Host().GetObject(u1)->Primitives[0], &TPcbPad::Name, "3"); }},
      {"a designator is rewritten",
       [&] { Rewrite<TPcbText>(Host().GetObject(u1)->DesignatorText, &TPcbText::Text, "U2"); }},
      {"a component leaves the board", [&] { hostapi::PcbApi_DeleteObjectFromContainer(Board, u1); }},
      {"a pad joins a net, which changes no answer", [&] {
         hostapi::PcbApi_AddObjectToContainer(hostapi::WalkFirstNetNamed(Board, "C"),
                                              hostapi::WalkFirstComponentPad(Board, "U2", "1"));
       }},
  };
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    change();
    ExpectSameAnswers();
  }
  EXPECT_EQ(hostapi::FirstNetNamed(Board, "C"), hostapi::WalkFirstNetNamed(Board, "C"));
  EXPECT_NE(hostapi::FirstNetNamed(Board, "C"), 0u);
  EXPECT_NE(hostapi::FirstComponentPad(Board, "U3", "1"), 0u);
}

}  // namespace

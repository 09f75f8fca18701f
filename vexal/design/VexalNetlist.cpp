#include "vexal/design/VexalNetlist.h"

#include <array>
#include <cstdint>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbObjects.h"
#include "hostapi/PcbUtil.h"
#include "vexal/reader/KeywordTable.h"
#include "vexal/reader/VexalLibrary.h"
#include "vexal/report/ReportManager.h"

namespace {

// The object kinds of the hole-to-hole rule's scopes: pads (4) and vias (16).
constexpr uint8_t kPadsAndVias = 4 | 16;

// The maximum length a net has unless the file sets one: 100000 mil.
const int32_t kNoMaximumLength = hostapi::MilsToUnits(100000);

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

// Reads the "attr" groups of a "globalAttrs" group into a list; every other
// group inside it is skipped.
class TVexalAttrGroup : public TVexalObject {
 public:
  TVexalAttrGroup(const TVexalObject* creator, TVexalAttrList& list) : TVexalObject(creator), List(list) {}
  void Parse() override {
    ParseLoop([this](int32_t token) {
      if (token != kwAttr) return false;
      List.push_back(std::make_unique<TVexalAttr>(this));
      ParseChild(*List.back());
      return true;
    });
  }
  void Translate() override {}

 private:
  TVexalAttrList& List;
};

// Makes a rule of `kind` whose scopes hold the subscopes given, writes it and
// answers its handle; 0 when the host makes none. The rule is not yet on the
// board.
THandle MakeRule(uint8_t kind, const std::vector<TPcbSubscope>& first, const std::vector<TPcbSubscope>& second) {
  const THandle handle = hostapi::PcbApi_CreateRuleObject(kind);
  if (handle == 0) return 0;
  TPcbRuleExt rule(handle);
  rule.Exchange(qdRead);
  rule.Scope1.Clear();
  rule.Scope2.Clear();
  for (const TPcbSubscope& subscope : first) rule.Scope1.Add(subscope);
  for (const TPcbSubscope& subscope : second) rule.Scope2.Add(subscope);
  rule.Exchange(qdWrite);
  return handle;
}

// The via diameter of a style: the smallest non-zero mean of width and height
// over its shapes (truncated toward zero), 0 when there is none.
int32_t ViaDiameterOf(const TVexalViaStyleDef& style) {
  int64_t smallest = 0;
  for (const auto& shape : style.Shapes) {
    const int64_t mean = (int64_t{shape->ShapeWidth} + shape->ShapeHeight) / 2;
    if (mean != 0 && (smallest == 0 || mean < smallest)) smallest = mean;
  }
  return ClampToInt32(smallest);
}

}  // namespace

// ---- Component instances -------------------------------------------------------------------

void TVexalCompInst::Parse() {
  Name = ReadString();
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwCompRef: CompRef = ReadString(); return true;
      case kwOriginalName: OriginalName = ReadString(); return true;
      case kwCompValue: CompValue = ReadString(); return true;
      case kwPatternName: PatternName = ReadString(); return true;
      case kwAttr:
        Attributes.push_back(std::make_unique<TVexalAttr>(this));
        ParseChild(*Attributes.back());
        return true;
      default: return false;
    }
  });
}

// ---- Nodes ------------------------------------------------------------------------------------

void TVexalNode::Parse() {
  Designator = ReadString();
  Pin = ReadString();
  ParseLoop([](int32_t) { return false; });
}

// ---- Nets --------------------------------------------------------------------------------------

void TVexalNet::Parse() {
  Name = ReadString();
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwNode:
        Nodes.push_back(std::make_unique<TVexalNode>(this));
        ParseChild(*Nodes.back());
        return true;
      case kwIsPlane: IsPlane = ReadBoolean(); return true;
      case kwIsVisible: Visible = ReadBoolean(); return true;
      case kwNetPlaneColor: PlaneColor = ReadString(); return true;
      case kwAttr:
        Attributes.push_back(std::make_unique<TVexalAttr>(this));
        ParseChild(*Attributes.back());
        return true;
      default: return false;
    }
  });
}

THandle TVexalNet::MakeNetRule(uint8_t kind) {
  TPcbSubscope net;
  net.Kind = skNet;
  net.Name = Name;
  return MakeRule(kind, {net}, {});
}

void TVexalNet::AddWidthRule(const TVexalAttr& attribute) {
  const THandle rule = MakeNetRule(rkWidth);
  if (rule == 0) return;
  int32_t maximum = CoordTextToUnits(attribute.Value, FileUnits);
  int32_t minimum = maximum;
  int32_t preferred = maximum;
  hostapi::PcbApi_QueryRuleMaxMinWidthConstraintExt(qdWrite, rule, &maximum, &minimum, &preferred);
  if (Board != 0) hostapi::PcbApi_AddObjectToContainer(Board, rule);
}

void TVexalNet::AddViaStyleRule(const TVexalAttr& attribute) {
  const TVexalViaStyleDef* style = Library ? Library->FindViaStyle(attribute.Value) : nullptr;
  // A rule without its values would never reach the board: without the
  // style none is made, so that no stray rule is left in the host.
  if (!style) return;
  const THandle rule = MakeNetRule(rkRoutingVia);
  if (rule == 0) return;
  const int32_t diameter = ViaDiameterOf(*style);
  std::array<int32_t, 6> values{style->HoleDiameter, style->HoleDiameter, style->HoleDiameter,
                                diameter,           diameter,           diameter};
  hostapi::PcbApi_QueryRuleRoutingViaStyleRuleExt(qdWrite, rule, &values[0], &values[1], &values[2], &values[3],
                                                  &values[4], &values[5]);
  if (Board != 0) hostapi::PcbApi_AddObjectToContainer(Board, rule);
}

void TVexalNet::AddLengthRule(int32_t maximum, int32_t minimum) {
  const THandle rule = MakeNetRule(rkLength);
  if (rule == 0) return;
  hostapi::PcbApi_QueryRuleMaxMinLengthConstraint(qdWrite, rule, &maximum, &minimum);
  if (Board != 0) hostapi::PcbApi_AddObjectToContainer(Board, rule);
}

void TVexalNet::Translate() {
  HostObject = hostapi::PcbApi_CreateObject(okNet);
  if (HostObject != 0) {
    TPcbNet net(HostObject);
    net.Exchange(qdRead);
    net.Name = Name;
    net.Exchange(qdWrite);
  }

  int32_t minimum = 0;
  int32_t maximum = kNoMaximumLength;
  for (const auto& attribute : Attributes) {
    if (SameTextIgnoringCase(attribute->Name, "Width"))
      AddWidthRule(*attribute);
    else if (SameTextIgnoringCase(attribute->Name, "MaxNetLength"))
      maximum = CoordTextToUnits(attribute->Value, FileUnits);
    else if (SameTextIgnoringCase(attribute->Name, "MinNetLength"))
      minimum = CoordTextToUnits(attribute->Value, FileUnits);
    else if (SameTextIgnoringCase(attribute->Name, "ViaStyle"))
      AddViaStyleRule(*attribute);
  }
  if (minimum != 0 || maximum != kNoMaximumLength) AddLengthRule(maximum, minimum);

  TVexalObject::Translate();
}

// ---- Net classes ------------------------------------------------------------------------------

void TVexalNetClass::Parse() {
  Name = ReadString();
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwNetNameRef: Members.push_back(ReadString()); return true;
      case kwAttr:
        Attributes.push_back(std::make_unique<TVexalAttr>(this));
        ParseChild(*Attributes.back());
        return true;
      default: return false;
    }
  });
}

void TVexalNetClass::Translate() {
  HostObject = hostapi::PcbApi_CreateClassObjectEx(ckNet);
  if (HostObject == 0) return;
  TPCBObjectClass netClass(HostObject);
  netClass.Exchange(qdRead);
  netClass.Name = Name;
  netClass.Members = Members;
  netClass.MemberKind = ckNet;
  netClass.Exchange(qdWrite);
  TVexalObject::Translate();
}

// ---- Class-to-class pairs ----------------------------------------------------------------------

void TVexalClassToClass::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwNetClassNameRef:
        if (NamesRead == 2) {
          // A pair has two classes: a further name is an unrecognised group,
          // reported without a text.
          if (Report) Report->AddLoadWarning(lwUnhandledToken, "");
          SkipToCloseBracket();
          --Depth;
          return true;
        }
        (NamesRead == 0 ? FirstClass : SecondClass) = Parser->ReadNetClassName();
        ++NamesRead;
        return true;
      case kwAttr:
        Attributes.push_back(std::make_unique<TVexalAttr>(this));
        ParseChild(*Attributes.back());
        return true;
      default: return false;
    }
  });
}

// ---- The netlist -------------------------------------------------------------------------------

std::unique_ptr<TVexalObject> MakeVexalNetlist(const TVexalObject* creator) {
  return std::make_unique<TVexalNetlist>(creator);
}

void TVexalNetlist::Parse() {
  FirstInstance.clear();
  Indexed = false;
  TieNets.clear();
  TieNetsIndexed = false;
  Name = ReadString();
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwGlobalAttrs: {
        TVexalAttrGroup group(this, GlobalAttributes);
        ParseChild(group);
        return true;
      }
      case kwCompInst: {
        auto instance = std::make_unique<TVexalCompInst>(this);
        ParseChild(*instance);
        std::string name = instance->Name;
        CompInsts.emplace_back(std::move(name), std::move(instance));
        return true;
      }
      case kwNet:
        Nets.push_back(std::make_unique<TVexalNet>(this));
        ParseChild(*Nets.back());
        return true;
      case kwNetClass:
        NetClasses.push_back(std::make_unique<TVexalNetClass>(this));
        ParseChild(*NetClasses.back());
        return true;
      case kwClassToClass:
        ClassToClasses.push_back(std::make_unique<TVexalClassToClass>(this));
        ParseChild(*ClassToClasses.back());
        return true;
      default: return false;
    }
  });
}

void TVexalNetlist::AddHoleToHoleRule(const TVexalAttr& attribute) {
  TPcbSubscope padsAndVias;
  padsAndVias.Kind = skObjectKind;
  padsAndVias.KindId = kPadsAndVias;
  const THandle rule = MakeRule(rkClearance, {padsAndVias}, {padsAndVias});
  if (rule == 0) return;
  int32_t gap = attribute.ValueAsLength();
  hostapi::PcbApi_QueryRuleClearanceConstraint(qdWrite, rule, &gap);
  if (Board != 0) hostapi::PcbApi_AddObjectToContainer(Board, rule);
}

void TVexalNetlist::Translate() {
  TieNets.clear();
  TieNetsIndexed = false;
  for (const auto& attribute : GlobalAttributes)
    if (SameTextIgnoringCase(attribute->Name, "HoleToHoleClearance")) AddHoleToHoleRule(*attribute);
  for (const auto& net : Nets) {
    net->Container = Container;
    net->Translate();
  }
  for (const auto& netClass : NetClasses) {
    netClass->Container = Container;
    netClass->Translate();
  }
}

void TVexalNetlist::AssignPadsToNets() {
  for (const auto& net : Nets) {
    const THandle netHandle = FindNetHandle(net->Name);
    if (netHandle == 0) continue;
    for (const auto& node : net->Nodes) {
      const THandle pad = FindPadHandle(node->Designator, node->Pin);
      if (pad != 0) hostapi::PcbApi_AddObjectToContainer(netHandle, pad);
    }
  }
}

const TVexalCompInst* TVexalNetlist::FindCompInst(std::string_view designator) const {
  if (!Indexed) {
    for (const auto& [name, instance] : CompInsts) FirstInstance.emplace(UpperAscii(name), instance.get());
    Indexed = true;
  }
  const auto found = FirstInstance.find(UpperAscii(designator));
  return found == FirstInstance.end() ? nullptr : found->second;
}

std::string TVexalNetlist::CompRefOf(std::string_view designator) const {
  const TVexalCompInst* instance = FindCompInst(designator);
  return instance ? instance->CompRef : std::string();
}

std::string TVexalNetlist::CompValueOf(std::string_view designator) const {
  const TVexalCompInst* instance = FindCompInst(designator);
  return instance ? instance->CompValue : std::string();
}

std::vector<std::string> TVexalNetlist::TieNetNamesOf(std::string_view value) const {
  if (!TieNetsIndexed) {
    for (const auto& net : Nets) {
      for (const auto& attribute : net->Attributes) {
        if (!SameTextIgnoringCase(attribute->Name, "TieNet")) continue;
        TTieNets& tied = TieNets[UpperAscii(attribute->Value)];
        if (tied.Last == net.get()) continue;
        tied.Names.push_back(net->Name);
        tied.Last = net.get();
      }
    }
    TieNetsIndexed = true;
  }
  const auto found = TieNets.find(UpperAscii(value));
  return found == TieNets.end() ? std::vector<std::string>() : found->second.Names;
}

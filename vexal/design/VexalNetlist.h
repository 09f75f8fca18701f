// The "netlist" section of a Vexal ASCII file: component instances, nets
// with their nodes, net classes and class-to-class pairs.
//
// TVexalNetlist reads the section into a small tree and translates it before
// the design: a clearance rule from the "HoleToHoleClearance" global
// attribute, one host net per net (with its width, length and routing-via
// rules), one host net class per net class. Once the design has made the
// board's components, AssignPadsToNets puts each node's pad on its net. The
// placed patterns of the design ask it for the component reference and value
// of their designators (CompRefOf, CompValueOf).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "vexal/design/VexalDesign.h"

class TVexalCompInst : public TVexalDesignObject {
 public:
  using TVexalDesignObject::TVexalDesignObject;
  // The instance name, then "compRef", "originalName", "compValue",
  // "patternName" and "attr".
  void Parse() override;
  // Lookup data only: nothing reaches the host.
  void Translate() override {}

  std::string Name;
  std::string CompRef;
  std::string OriginalName;
  std::string CompValue;
  std::string PatternName;
  TVexalAttrList Attributes;
};

class TVexalNode : public TVexalDesignObject {
 public:
  using TVexalDesignObject::TVexalDesignObject;
  // The component designator and the pin designator; groups after them are
  // skipped.
  void Parse() override;
  // Used by AssignPadsToNets only.
  void Translate() override {}

  std::string Designator;
  std::string Pin;
};

class TVexalNet : public TVexalDesignObject {
 public:
  using TVexalDesignObject::TVexalDesignObject;
  // The net name, then "node", "isPlane", "isVisible", "netPlaneColor" and
  // "attr".
  void Parse() override;
  // Makes the host net and its rules ("Width", "MaxNetLength",
  // "MinNetLength", "ViaStyle"), then adds the net to Container.
  void Translate() override;

  std::string Name;
  bool IsPlane = false;
  bool Visible = true;
  std::string PlaneColor;
  std::vector<std::unique_ptr<TVexalNode>> Nodes;
  TVexalAttrList Attributes;

 private:
  // A rule of `kind` with this net as its first scope, not yet on the board
  // (0 when the host makes none).
  THandle MakeNetRule(uint8_t kind);
  void AddWidthRule(const TVexalAttr& attribute);
  void AddViaStyleRule(const TVexalAttr& attribute);
  void AddLengthRule(int32_t maximum, int32_t minimum);
};

class TVexalNetClass : public TVexalDesignObject {
 public:
  using TVexalDesignObject::TVexalDesignObject;
  // The class name, then "netNameRef" (one member each) and "attr".
  void Parse() override;
  // Makes a host net class whose members are exactly the member names, in
  // file order (duplicates kept), and adds it to Container.
  void Translate() override;

  std::string Name;
  std::vector<std::string> Members;
  TVexalAttrList Attributes;
};

class TVexalClassToClass : public TVexalDesignObject {
 public:
  using TVexalDesignObject::TVexalDesignObject;
  // "netClassNameRef" twice; a third records a counted warning and ends the
  // group. "attr" as everywhere.
  void Parse() override;
  // Read and dropped.
  void Translate() override {}

  std::string FirstClass;
  std::string SecondClass;
  TVexalAttrList Attributes;

 private:
  int NamesRead = 0;
};

class TVexalNetlist : public TVexalObject {
 public:
  using TVexalObject::TVexalObject;
  // The name, then "globalAttrs", "compInst", "net", "netClass",
  // "classToClass".
  void Parse() override;
  // The hole-to-hole clearance rules, the nets, the net classes, in this
  // order, into Container (the board).
  void Translate() override;
  // Adds the pad of each node (FindPadHandle) to its net (FindNetHandle),
  // net by net and node by node in file order; what is not found is passed
  // over.
  void AssignPadsToNets();
  // The component reference, or value, of the first component instance
  // whose name equals `designator` (letters a to z in any case); the empty
  // text when there is none.
  std::string CompRefOf(std::string_view designator) const;
  std::string CompValueOf(std::string_view designator) const;
  // The names of the nets, in file order, that carry an attribute "TieNet"
  // whose value is `value` (names and values compared with letters a to z in
  // any case); a net is named once however many of its attributes match.
  // Answered from a table made on the first question of a translation.
  std::vector<std::string> TieNetNamesOf(std::string_view value) const;

  std::string Name;
  TVexalAttrList GlobalAttributes;
  // (instance name, instance), in file order, duplicates kept.
  std::vector<std::pair<std::string, std::unique_ptr<TVexalCompInst>>> CompInsts;
  std::vector<std::unique_ptr<TVexalNet>> Nets;
  std::vector<std::unique_ptr<TVexalNetClass>> NetClasses;
  std::vector<std::unique_ptr<TVexalClassToClass>> ClassToClasses;

 private:
  const TVexalCompInst* FindCompInst(std::string_view designator) const;
  void AddHoleToHoleRule(const TVexalAttr& attribute);

  // The first instance of each name (upper-cased a to z), made on the first
  // question once the section has been read; parsing again forgets it.
  mutable std::unordered_map<std::string, const TVexalCompInst*> FirstInstance;
  mutable bool Indexed = false;

  // The nets of each "TieNet" value (upper-cased a to z), in file order; made
  // on the first question, forgotten by Parse and at the start of Translate.
  struct TTieNets {
    std::vector<std::string> Names;
    const TVexalNet* Last = nullptr;  // the net named last, listed once
  };
  mutable std::unordered_map<std::string, TTieNets> TieNets;
  mutable bool TieNetsIndexed = false;
};

// Makes the netlist section from the root (the section class table's maker).
std::unique_ptr<TVexalObject> MakeVexalNetlist(const TVexalObject* creator);

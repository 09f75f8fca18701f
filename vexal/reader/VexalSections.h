// The classes of the sections below the root of the Vexal object tree.
//
// The root (TVexalAsciiFile) makes its library, netlist and design sections
// through this table, so that a section class joins the import by filling
// its entries in VexalSections.cpp, without changes to the root. A section
// whose maker is empty is skipped whole, with the unhandled-group warning in
// the report.
#pragma once

#include <memory>

#include "vexal/reader/VexalObject.h"

struct TVexalSectionClasses {
  // Makes a section object created from `creator` (it takes the creator's
  // state at that moment), not yet parsed.
  using TMake = std::unique_ptr<TVexalObject> (*)(const TVexalObject* creator);

  // The "library" section (TVexalLibrary). A library sets its own Library
  // field to itself, so that every object created below it shares it.
  TMake MakeLibrary = nullptr;
  // The "netlist" section (TVexalNetlist).
  TMake MakeNetlist = nullptr;
  // The "pcbDesign" section (TVexalPCBDesign).
  TMake MakeDesign = nullptr;

  // A section made by MakeNetlist, as the netlist that later sections share.
  TVexalNetlist* (*AsNetlist)(TVexalObject& netlist) = nullptr;
  // The layer table of a library made by MakeLibrary.
  TLayerTable* (*LayerTableOf)(TVexalObject& library) = nullptr;
  // Translates a library made by MakeLibrary into a library document (its
  // Container has been set to the document's board).
  void (*TranslateLibrary)(TVexalObject& library) = nullptr;
};

// The section classes of the module.
const TVexalSectionClasses& VexalSectionClasses();

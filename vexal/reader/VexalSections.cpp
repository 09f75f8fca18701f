#include "vexal/reader/VexalSections.h"

#include "vexal/design/VexalDesign.h"
#include "vexal/design/VexalNetlist.h"
#include "vexal/reader/VexalLibrary.h"

// Each section class fills its entries here as it joins the import: the
// library (TVexalLibrary: MakeLibrary, LayerTableOf, TranslateLibrary), the
// netlist (TVexalNetlist: MakeNetlist, AsNetlist) and the design
// (TVexalPCBDesign: MakeDesign). Until then the root skips the section.
const TVexalSectionClasses& VexalSectionClasses() {
  static const TVexalSectionClasses classes = [] {
    TVexalSectionClasses c{};
    c.MakeLibrary = [](const TVexalObject* creator) -> std::unique_ptr<TVexalObject> {
      return std::make_unique<TVexalLibrary>(creator);
    };
    c.LayerTableOf = [](TVexalObject& library) -> TLayerTable* {
      return &static_cast<TVexalLibrary&>(library).LayerTable;
    };
    c.TranslateLibrary = [](TVexalObject& library) { static_cast<TVexalLibrary&>(library).TranslateLibrary(); };
    c.MakeNetlist = MakeVexalNetlist;
    c.AsNetlist = [](TVexalObject& netlist) { return static_cast<TVexalNetlist*>(&netlist); };
    c.MakeDesign = MakeVexalDesign;
    // The drawing objects of the library's pattern definitions are the design's.
    MakeDrawingObject = MakeDrawObject;
    return c;
  }();
  return classes;
}

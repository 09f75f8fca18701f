#include "vexal/reader/VexalSections.h"

// Each section class fills its entries here as it joins the import: the
// library (TVexalLibrary: MakeLibrary, LayerTableOf, TranslateLibrary), the
// netlist (TVexalNetlist: MakeNetlist, AsNetlist) and the design
// (TVexalPCBDesign: MakeDesign). Until then the root skips the section.
const TVexalSectionClasses& VexalSectionClasses() {
  static const TVexalSectionClasses classes{};
  return classes;
}

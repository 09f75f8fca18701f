// The short table pcbhost prints after an import: the drawn objects per
// layer and kind, what else the import made (nets, components, rules,
// classes, ...) and the time it took.
#pragma once

#include <string>

#include "host/tarvex/TarvexHost.h"

namespace pcbhost {

// The table of the document of `board`, ending with a line break; empty
// for a document without objects. Objects are counted as CountObjects counts
// them (component primitives and texts included).
std::string SummaryTable(const tarvex::ITarvexHost& host, tarvex::THandle board);

// "objects: 2 component, 4 track\n": the objects of the document of
// `board` per kind, as CountObjects counts them ("objects: none\n").
std::string ObjectsLine(const tarvex::ITarvexHost& host, tarvex::THandle board);

// "time: 1.234 s"
std::string TimeLine(double seconds);

}  // namespace pcbhost

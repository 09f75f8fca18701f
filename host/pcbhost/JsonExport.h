// What pcbhost writes about a document: the whole document as JSON, and a
// short summary with the counts of objects per kind.
#pragma once

#include <map>
#include <string>

#include "host/pcbhost/CodePage.h"
#include "host/tarvex/TarvexHost.h"

namespace pcbhost {

// The document of a board as JSON text: the board record, layers, layer
// pairs, option records, internal-plane nets, every object (components with
// their primitives and texts, nets with their members, classes with their
// members, rules with their scopes and values), the library components of a
// library document, and the host's logs (progress, events, commands). The
// order is fixed, so the same document gives the same bytes. Texts are
// UTF-8, converted from the code page.
std::string DocumentJson(const tarvex::ITarvexHost& host, tarvex::THandle board,
                         CodePage page = CodePage::Cp1252);

// Objects of the document per kind name, component primitives and texts
// included.
std::map<std::string, int> CountObjects(const tarvex::ITarvexHost& host, tarvex::THandle board);

// A length in host units as mils, exactly: "25.4", "-0.0001", "10".
std::string UnitsAsMils(int32_t units);

}  // namespace pcbhost

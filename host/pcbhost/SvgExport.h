// The picture pcbhost draws of a document: an SVG image of the board as a
// PCB designer looks at it (dark background, the board's outline or extent,
// every layer in its usual colour, bottom layers first and top layers last,
// a legend of the layers drawn and a title with the file name and counts).
#pragma once

#include <ostream>
#include <string>

#include "host/tarvex/TarvexHost.h"

namespace pcbhost {

// Writes the picture of the document of `board` to `out` as it goes, so a
// board of any size is never held as text. Coordinates inside each board
// panel are mils with the Y axis turned downwards (SVG y = -Y). A board
// document gives one panel; a library document one panel per library
// component. The same document gives the same bytes. Answers false (and
// writes nothing) when `board` is not a document; write errors are left in
// the stream's state.
bool WriteDocumentSvg(const tarvex::ITarvexHost& host, tarvex::THandle board, std::ostream& out);

// An 8-bit text of the document (code page 1252) as UTF-8 escaped for XML
// character data and attribute values. Bytes the code page leaves undefined
// and control characters become U+FFFD, so the output is always valid.
std::string XmlText(const std::string& bytes);

}  // namespace pcbhost

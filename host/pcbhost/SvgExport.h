// The picture pcbhost draws of a document: an SVG image of the board as a
// PCB designer looks at it (dark background, the board's outline or extent,
// every layer in its usual colour, bottom layers first and top layers last,
// a legend of the layers drawn and a title with the file name and counts).
#pragma once

#include <bitset>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "host/pcbhost/CodePage.h"
#include "host/tarvex/TarvexHost.h"
#include "host/tarvex/TarvexLayers.h"

namespace pcbhost {

// Writes the picture of the document of `board` to `out` as it goes, so a
// board of any size is never held as text. Coordinates inside each board
// panel are mils with the Y axis turned downwards (SVG y = -Y). A board
// document gives one panel; a library document one panel per library
// component. The same document gives the same bytes. Answers false (and
// writes nothing) when `board` is not a document; write errors are left in
// the stream's state.
bool WriteDocumentSvg(const tarvex::ITarvexHost& host, tarvex::THandle board, std::ostream& out);

// Layer ids 0 (no layer) to 82.
using LayerSet = std::bitset<tarvex::kLayerCount>;

struct SvgOptions {
  // The code page of the document's texts.
  CodePage Page = CodePage::Cp1252;
  // The layers drawn (nothing: every layer). Holes are drawn with the
  // multi-layer. The view and the legend show what is drawn; the title
  // still counts every object of the document.
  std::optional<LayerSet> Layers;
};
bool WriteDocumentSvg(const tarvex::ITarvexHost& host, tarvex::THandle board, std::ostream& out,
                      const SvgOptions& options);

// The layer of a name as the picture's legend writes it ("Top Layer",
// "Mid Layer 3", "No Layer"; letters in any case) or of its id ("1").
bool LayerOfName(std::string_view name, int& layer);

// An 8-bit text of the document (in the code page) as UTF-8 escaped for XML
// character data and attribute values. Bytes the code page leaves undefined
// and control characters become U+FFFD, so the output is always valid.
std::string XmlText(const std::string& bytes, CodePage page = CodePage::Cp1252);

}  // namespace pcbhost

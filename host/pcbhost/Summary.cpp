#include "host/pcbhost/Summary.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <vector>

#include "host/pcbhost/JsonExport.h"
#include "host/tarvex/TarvexLayers.h"

namespace pcbhost {

using tarvex::Object;
using tarvex::THandle;

namespace {

// The kinds that lie on a layer, as the table's columns.
constexpr std::array<uint8_t, 8> kLayered = {tarvex::kTrack, tarvex::kArc,     tarvex::kPad,
                                             tarvex::kVia,   tarvex::kFill,    tarvex::kText,
                                             tarvex::kPolygon, tarvex::kBoardOutline};

bool IsLayered(uint8_t kind) { return std::find(kLayered.begin(), kLayered.end(), kind) != kLayered.end(); }

struct Tally {
  std::map<int, std::map<uint8_t, int64_t>> byLayer;  // layer -> kind -> count
  std::map<uint8_t, int64_t> others;                  // kinds without a layer
};

void Count(const tarvex::ITarvexHost& host, THandle handle, Tally& t) {
  const Object* o = host.GetObject(handle);
  if (!o) return;
  if (IsLayered(o->Kind)) ++t.byLayer[o->Layer][o->Kind];
  else ++t.others[o->Kind];
  if (o->Kind != tarvex::kComponent) return;
  for (THandle h : o->Primitives) Count(host, h, t);
  if (o->DesignatorText) Count(host, o->DesignatorText, t);
  if (o->CommentText && o->CommentText != o->DesignatorText) Count(host, o->CommentText, t);
}

std::string Plural(const std::string& kind, int64_t n) {
  if (n == 1) return kind;
  if (kind == "class") return "classes";
  return kind + "s";
}

std::string Pad(std::string text, size_t width, bool right) {
  if (text.size() >= width) return text;
  const std::string fill(width - text.size(), ' ');
  return right ? fill + text : text + fill;
}

}  // namespace

std::string SummaryTable(const tarvex::ITarvexHost& host, THandle board) {
  const tarvex::Document* d = host.GetDocument(board);
  if (!d) return {};
  Tally t;
  if (d->IsLibrary()) {
    for (const tarvex::LibraryComponent& c : d->Library)
      for (THandle h : c.Objects) Count(host, h, t);
  } else {
    for (THandle h : d->Objects) Count(host, h, t);
  }
  std::string out;
  if (!t.byLayer.empty()) {
    std::vector<uint8_t> columns;
    for (uint8_t kind : kLayered)
      for (const auto& [layer, kinds] : t.byLayer)
        if (kinds.count(kind)) {
          columns.push_back(kind);
          break;
        }
    auto layerName = [](int layer) {
      const std::string name = tarvex::LayerDisplayName(layer);
      return layer == 0 || name.empty() ? std::string("No Layer") : name;
    };
    size_t nameWidth = 5;
    for (const auto& [layer, kinds] : t.byLayer) nameWidth = std::max(nameWidth, layerName(layer).size());
    std::vector<size_t> widths;
    for (uint8_t kind : columns) widths.push_back(std::max<size_t>(Plural(tarvex::KindName(kind), 2).size(), 6));
    std::string line = Pad("layer", nameWidth, false);
    for (size_t c = 0; c < columns.size(); ++c) line += "  " + Pad(Plural(tarvex::KindName(columns[c]), 2), widths[c], true);
    out += line + "\n";
    std::map<uint8_t, int64_t> totals;
    for (const auto& [layer, kinds] : t.byLayer) {
      line = Pad(layerName(layer), nameWidth, false);
      for (size_t c = 0; c < columns.size(); ++c) {
        const auto it = kinds.find(columns[c]);
        const int64_t n = it == kinds.end() ? 0 : it->second;
        totals[columns[c]] += n;
        line += "  " + Pad(n ? std::to_string(n) : "-", widths[c], true);
      }
      out += line + "\n";
    }
    if (t.byLayer.size() > 1) {
      line = Pad("all", nameWidth, false);
      for (size_t c = 0; c < columns.size(); ++c) line += "  " + Pad(std::to_string(totals[columns[c]]), widths[c], true);
      out += line + "\n";
    }
  }
  std::string made;
  for (const auto& [kind, n] : t.others)
    made += (made.empty() ? "" : ", ") + std::to_string(n) + " " + Plural(tarvex::KindName(kind), n);
  if (!made.empty()) out += "made: " + made + "\n";
  return out;
}

std::string ObjectsLine(const tarvex::ITarvexHost& host, THandle board) {
  std::string summary;
  for (const auto& [kind, count] : CountObjects(host, board))
    summary += (summary.empty() ? "" : ", ") + std::to_string(count) + " " + kind;
  return "objects: " + (summary.empty() ? std::string("none") : summary) + "\n";
}

std::string TimeLine(double seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "time: %.3f s", seconds < 0 ? 0.0 : seconds);
  return text;
}

}  // namespace pcbhost

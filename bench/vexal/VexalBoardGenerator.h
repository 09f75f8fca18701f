// A synthetic whole Vexal board of a given number of placed components, for
// the import benchmark: a library of a few patterns and component
// definitions, a netlist (one instance per component, nets of four nodes
// over every pin, rules on some nets, net classes, class-to-class pairs) and
// a design with the placed patterns, tracks along every net and vias.
//
// Everything grows in proportion to the components: per component about 4
// pads, 1 net with 4 nodes, 4 tracks and half a via. Coordinates stay within
// the host's range up to about 200 000 components.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace vexalbench {

struct BoardSize {
  int Components = 1000;
};

// What a generated board holds, for the benchmark's report.
struct BoardCounts {
  int64_t Lines = 0;
  int64_t Pads = 0;
  int64_t Nets = 0;
  int64_t Nodes = 0;
  int64_t Tracks = 0;
  int64_t Vias = 0;
};

namespace detail {

// Pads of the patterns PAT0 to PAT7 (4 on average).
inline constexpr std::array<int, 8> kPatternPads{2, 2, 3, 4, 4, 6, 8, 3};
inline constexpr int kPitch = 400;    // mil between placed components
inline constexpr int kPerRow = 300;   // components per row
inline constexpr int kPadStep = 50;   // mil between the pads of a pattern

inline std::string Q(const std::string& text) { return "\"" + text + "\""; }

class Lines {
 public:
  explicit Lines(std::ostream& out) : Out(out) {}
  void operator()(int indent, const std::string& text) {
    Buffer.append(static_cast<size_t>(indent) * 2, ' ');
    Buffer += text;
    Buffer += "\r\n";
    ++Count;
    if (Buffer.size() > (1u << 20)) Flush();
  }
  void Flush() {
    Out.write(Buffer.data(), static_cast<std::streamsize>(Buffer.size()));
    Buffer.clear();
  }
  int64_t Count = 0;

 private:
  std::ostream& Out;
  std::string Buffer;
};

struct Pin {
  int Component;
  int Number;  // 1-based
};

// Where a pin of a placed component stands, in mil.
inline std::array<int, 2> PinPosition(const Pin& pin) {
  const int x = (pin.Component % kPerRow) * kPitch + (pin.Number - 1) * kPadStep;
  const int y = (pin.Component / kPerRow) * kPitch;
  return {x, y};
}

}  // namespace detail

inline BoardCounts WriteVexalBoard(std::ostream& out, const BoardSize& size) {
  using namespace detail;
  Lines w(out);
  BoardCounts counts;
  const int components = size.Components < 1 ? 1 : size.Components;

  w(0, "VEXAL_ASCII \"generated.pcb\"");
  w(0, "(asciiHeader (asciiVersion 3 0) (fileUnits Mil))");

  w(0, "(library \"Library_1\"");
  w(1, "(padStyleDef \"P\" (holeDiam 20) (startRange 1) (endRange 2)");
  w(2, "(padShape (layerNumRef 1) (padShapeType Ellipse) (shapeWidth 40) (shapeHeight 40))");
  w(2, "(padShape (layerNumRef 2) (padShapeType Ellipse) (shapeWidth 40) (shapeHeight 40)))");
  w(1, "(viaStyleDef \"V\" (holeDiam 12)");
  w(2, "(viaShape (layerNumRef 1) (viaShapeType Ellipse) (shapeWidth 24) (shapeHeight 24)))");
  w(1, "(textStyleDef \"(Default)\" (font (fontType Stroke) (fontHeight 60) (strokeWidth 8)))");
  for (size_t p = 0; p < kPatternPads.size(); ++p) {
    const std::string name = "PAT" + std::to_string(p);
    w(1, "(patternDef " + Q(name) + " (originalName " + Q(name) + ")");
    w(2, "(multiLayer");
    for (int pad = 1; pad <= kPatternPads[p]; ++pad)
      w(3, "(pad (padNum " + std::to_string(pad) + ") (padStyleRef \"P\") (pt " +
               std::to_string((pad - 1) * kPadStep) + " 0))");
    w(2, ")");
    w(2, "(layerContents (layerNumRef 3) (line (pt -20 -30) (pt " +
             std::to_string((kPatternPads[p] - 1) * kPadStep + 20) + " -30) (width 8)))");
    w(1, ")");
    w(1, "(compDef " + Q(name) + " (originalName " + Q(name) + ")");
    w(2, "(compHeader (numPins " + std::to_string(kPatternPads[p]) + ") (numParts 1) (refDesPrefix \"U\"))");
    w(2, "(attr \"Value\" \"\" (pt 0 -60) (textStyleRef \"(Default)\")))");
  }
  w(0, ")");

  // Every pin of every component, in placement order; net n joins the pins
  // n, n + N/4, n + 2N/4 and n + 3N/4, so that nets cross the board.
  std::vector<Pin> pins;
  for (int c = 0; c < components; ++c) {
    const int pads = kPatternPads[static_cast<size_t>(c) % kPatternPads.size()];
    for (int p = 1; p <= pads; ++p) pins.push_back({c, p});
  }
  counts.Pads = static_cast<int64_t>(pins.size());
  const size_t nets = pins.size() / 4;
  auto netName = [](size_t n) { return "N" + std::to_string(n); };

  w(0, "(netlist \"Netlist_1\"");
  w(1, "(globalAttrs (attr \"HoleToHoleClearance\" \"10\" (constraintUnits mil)))");
  for (int c = 0; c < components; ++c) {
    const std::string pattern = "PAT" + std::to_string(static_cast<size_t>(c) % kPatternPads.size());
    w(1, "(compInst " + Q("U" + std::to_string(c)) + " (compRef " + Q(pattern) + ") (originalName " + Q(pattern) +
             ") (compValue \"10k\") (patternName " + Q(pattern) + "))");
  }
  for (size_t n = 0; n < nets; ++n) {
    w(1, "(net " + Q(netName(n)));
    for (size_t k = 0; k < 4; ++k) {
      const Pin& pin = pins[n + k * nets];
      w(2, "(node " + Q("U" + std::to_string(pin.Component)) + " " + Q(std::to_string(pin.Number)) + ")");
      ++counts.Nodes;
    }
    if (n % 20 == 0) w(2, "(attr \"Width\" \"12mil\")");
    if (n % 100 == 0) w(2, "(attr \"ViaStyle\" \"V\")");
    if (n % 200 == 0) w(2, "(attr \"MaxNetLength\" \"5000\") (attr \"MinNetLength\" \"100\")");
    w(1, ")");
  }
  counts.Nets = static_cast<int64_t>(nets);
  for (size_t n = 0; n < nets; n += 500) {
    std::string members;
    for (size_t k = n; k < n + 10 && k < nets; ++k) members += " (netNameRef " + Q(netName(k)) + ")";
    w(1, "(netClass " + Q("C" + std::to_string(n / 500)) + members + ")");
  }
  w(1, "(classToClass (netClassNameRef \"C0\") (netClassNameRef \"C1\"))");
  w(0, ")");

  w(0, "(pcbDesign \"PCBDesign_1\"");
  w(1, "(layerDef \"Top\" (layerNum 1) (layerType Signal))");
  w(1, "(layerDef \"Bottom\" (layerNum 2) (layerType Signal))");
  w(1, "(layerDef \"Top Silk\" (layerNum 3) (layerType NonSignal))");
  w(1, "(layerContents (layerNumRef 1)");
  for (int c = 0; c < components; ++c)
    w(2, "(pattern (patternRef " + Q("PAT" + std::to_string(static_cast<size_t>(c) % kPatternPads.size())) +
             ") (refDesRef " + Q("U" + std::to_string(c)) + ") (pt " + std::to_string((c % kPerRow) * kPitch) + " " +
             std::to_string((c / kPerRow) * kPitch) + "))");
  // Along each net: three tracks between its four pins, the first on top,
  // the others on the bottom layer, and a via on every other net.
  for (size_t n = 0; n < nets; ++n) {
    const auto a = PinPosition(pins[n]);
    const auto b = PinPosition(pins[n + nets]);
    w(2, "(line (pt " + std::to_string(a[0]) + " " + std::to_string(a[1]) + ") (pt " + std::to_string(b[0]) + " " +
             std::to_string(b[1]) + ") (width 10) (netNameRef " + Q(netName(n)) + "))");
    ++counts.Tracks;
  }
  w(1, ")");
  w(1, "(layerContents (layerNumRef 2)");
  for (size_t n = 0; n < nets; ++n) {
    for (size_t k = 1; k < 3; ++k) {
      const auto a = PinPosition(pins[n + k * nets]);
      const auto b = PinPosition(pins[n + (k + 1) * nets]);
      w(2, "(line (pt " + std::to_string(a[0]) + " " + std::to_string(a[1]) + ") (pt " + std::to_string(b[0]) + " " +
               std::to_string(b[1]) + ") (width 10) (netNameRef " + Q(netName(n)) + "))");
      ++counts.Tracks;
    }
  }
  // A short stub from every component's first pin.
  for (int c = 0; c < components; ++c) {
    const auto a = PinPosition({c, 1});
    w(2, "(line (pt " + std::to_string(a[0]) + " " + std::to_string(a[1]) + ") (pt " + std::to_string(a[0]) + " " +
             std::to_string(a[1] + 100) + ") (width 10))");
    ++counts.Tracks;
  }
  w(1, ")");
  w(1, "(multiLayer");
  for (size_t n = 0; n < nets; n += 2) {
    const auto a = PinPosition(pins[n + nets]);
    w(2, "(via (viaStyleRef \"V\") (pt " + std::to_string(a[0] + 25) + " " + std::to_string(a[1] + 100) +
             ") (netNameRef " + Q(netName(n)) + "))");
    ++counts.Vias;
  }
  w(1, ")");
  w(0, ")");
  w.Flush();
  counts.Lines = w.Count;
  return counts;
}

}  // namespace vexalbench

// Writes a large Vexal ASCII board file for the reader's benchmark: a header,
// a library with pad, via and text styles, patterns and component
// definitions, a netlist, and a design whose layers hold a realistic mix of
// lines, arcs, texts, pads, vias, polygons and copper pours.
//
//   vexal_generate_board OUT.pcb [MEGABYTES=50] [SEED=1]
//
// With --components it writes instead a whole board of that many placed
// components whose netlist matches its pads (VexalBoardGenerator.h), as the
// import benchmark imports it:
//
//   vexal_generate_board --components N OUT.pcb
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "bench/vexal/VexalBoardGenerator.h"

namespace {

class Writer {
 public:
  explicit Writer(std::FILE* file) : File(file) {}
  void Line(int indent, const std::string& text) {
    Text.append(static_cast<size_t>(indent) * 2, ' ');
    Text += text;
    Text += "\r\n";
    if (Text.size() > (1u << 20)) Flush();
  }
  void Flush() {
    Written += Text.size();
    std::fwrite(Text.data(), 1, Text.size(), File);
    Text.clear();
  }
  size_t Size() const { return Written + Text.size(); }

 private:
  std::FILE* File;
  std::string Text;
  size_t Written = 0;
};

std::string Num(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3f", value);
  return buffer;
}

std::string Q(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--components") {
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    vexalbench::BoardSize size;
    size.Components = std::atoi(argv[2]);
    const vexalbench::BoardCounts counts = vexalbench::WriteVexalBoard(out, size);
    out.close();
    if (!out) {
      std::perror(argv[3]);
      return 1;
    }
    std::printf("%s: %lld lines, %lld pads, %lld nets, %lld nodes, %lld tracks, %lld vias\n", argv[3],
                static_cast<long long>(counts.Lines), static_cast<long long>(counts.Pads),
                static_cast<long long>(counts.Nets), static_cast<long long>(counts.Nodes),
                static_cast<long long>(counts.Tracks), static_cast<long long>(counts.Vias));
    return 0;
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUT.pcb [MEGABYTES=50] [SEED=1]\n       %s --components N OUT.pcb\n", argv[0],
                 argv[0]);
    return 2;
  }
  const double megabytes = argc > 2 ? std::atof(argv[2]) : 50.0;
  const size_t target = static_cast<size_t>(megabytes * 1024 * 1024);
  std::mt19937 random(argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 1u);
  std::FILE* file = std::fopen(argv[1], "wb");
  if (!file) {
    std::perror(argv[1]);
    return 1;
  }
  Writer w(file);
  auto coord = [&](int limit) { return Num(std::uniform_int_distribution<int>(0, limit)(random) / 4.0); };
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  const int nets = 2000;
  auto net = [&] { return Q("NET" + std::to_string(pick(nets))); };

  w.Line(0, "VEXAL_ASCII \"generated.pcb\"");
  w.Line(0, "");
  w.Line(0, "(asciiHeader");
  w.Line(1, "(asciiVersion 3 0)");
  w.Line(1, "(timeStamp 2001 5 17 10 20 30)");
  w.Line(1, "(program \"Kivo PCB\" \"16.0\")");
  w.Line(1, "(copyright \"generated for the reader benchmark\")");
  w.Line(1, "(fileAuthor \"bench\")");
  w.Line(1, "(headerString \"\")");
  w.Line(1, "(fileUnits Mil)");
  w.Line(1, "(guidString \"\")");
  w.Line(0, ")");
  w.Line(0, "");
  w.Line(0, "(library \"Library_1\"");
  for (int s = 0; s < 20; ++s) {
    w.Line(1, "(padStyleDef " + Q("P" + std::to_string(s)));
    w.Line(2, "(holeDiam " + std::to_string(20 + s) + ")");
    w.Line(2, "(startRange 1)");
    w.Line(2, "(endRange 2)");
    for (int layer : {1, 2, 3}) {
      w.Line(2, "(padShape (layerNumRef " + std::to_string(layer) +
                    ") (padShapeType Ellipse) (shapeWidth 60.0) (shapeHeight 60.0) )");
    }
    w.Line(1, ")");
    w.Line(1, "(viaStyleDef " + Q("V" + std::to_string(s)));
    w.Line(2, "(holeDiam 12mil)");
    w.Line(2, "(viaShape (layerNumRef 1) (viaShapeType Ellipse) (shapeWidth 24mil) (shapeHeight 24mil) )");
    w.Line(1, ")");
  }
  w.Line(1, "(textStyleDef \"(Default)\" (font (fontType Stroke) (fontFace \"Quality\") (fontHeight 80.0) "
            "(strokeWidth 10.0) ) )");
  for (int p = 0; p < 50; ++p) {
    const std::string name = "PAT" + std::to_string(p);
    w.Line(1, "(patternDefExtended " + Q(name + "_1"));
    w.Line(2, "(originalName " + Q(name) + ")");
    w.Line(2, "(patternGraphicsNameRef \"Primary\")");
    w.Line(2, "(patternGraphicsDef (patternGraphicsNameDef \"Primary\")");
    w.Line(3, "(multiLayer");
    for (int pad = 1; pad <= 16; ++pad) {
      w.Line(4, "(pad (padNum " + std::to_string(pad) + ") (padStyleRef \"P1\") (pt " + Num(pad * 100.0) +
                    " 0.0) (defaultPinDes " + Q(std::to_string(pad)) + ") )");
    }
    w.Line(3, ")");
    w.Line(3, "(layerContents (layerNumRef 6)");
    w.Line(4, "(line (pt -50.0 -50.0) (pt 1650.0 -50.0) (width 10.0) )");
    w.Line(4, "(attr \"RefDes\" \"\" (pt 0.0 100.0) (isVisible True) (textStyleRef \"(Default)\") )");
    w.Line(3, ")");
    w.Line(2, ")");
    w.Line(1, ")");
    w.Line(1, "(compDef " + Q(name + "_1"));
    w.Line(2, "(originalName " + Q(name) + ")");
    w.Line(2, "(compHeader (sourceLibrary \"\") (numPins 16) (numParts 1) (alts (ieeeAlt False) "
              "(deMorganAlt False)) (refDesPrefix \"U\") )");
    for (int pin = 1; pin <= 16; ++pin)
      w.Line(2, "(compPin " + Q(std::to_string(pin)) + " (partNum 1) (symPinNum 1) (gateEq 0) (pinEq 0) )");
    w.Line(1, ")");
  }
  w.Line(0, ")");
  w.Line(0, "");
  w.Line(0, "(netlist \"Netlist_1\"");
  const int components = 3000;
  for (int c = 0; c < components; ++c) {
    w.Line(1, "(compInst " + Q("U" + std::to_string(c)) + " (compRef " + Q("PAT" + std::to_string(c % 50) + "_1") +
                  ") (originalName " + Q("PAT" + std::to_string(c % 50)) + ") (compValue \"10k\") )");
  }
  for (int n = 0; n < nets; ++n) {
    w.Line(1, "(net " + Q("NET" + std::to_string(n)));
    for (int k = 0; k < 6; ++k)
      w.Line(2, "(node " + Q("U" + std::to_string(pick(components))) + " " + Q(std::to_string(1 + pick(16))) + ")");
    w.Line(1, ")");
  }
  w.Line(0, ")");
  w.Line(0, "");
  w.Line(0, "(pcbDesign \"PCBDesign_1\"");
  w.Line(1, "(pcbDesignHeader (workspaceSize 20000.0 20000.0) (gridDfns (grid \"10.0\") ) (solderSwell 4.0) "
            "(pasteSwell 0.0) (planeSwell 20.0) )");
  const char* layerNames[] = {"Top", "Bottom", "Board", "Top Mask", "Bot Mask", "Top Silk", "Bot Silk",
                              "Top Paste", "Bot Paste", "Top Assy", "Bot Assy"};
  for (int l = 0; l < 11; ++l) {
    w.Line(1, "(layerDef " + Q(layerNames[l]) + " (layerNum " + std::to_string(l + 1) +
                  ") (layerType Signal) (fieldSetRef \"(Default)\") )");
  }
  // Objects are written in chunks so the file grows until the target size.
  int chunk = 0;
  while (w.Size() < target) {
    w.Line(1, "(multiLayer");
    for (int i = 0; i < 200; ++i) {
      if (pick(3) == 0)
        w.Line(2, "(via (viaStyleRef \"V1\") (pt " + coord(80000) + " " + coord(80000) + ") (netNameRef " + net() + ") )");
      else
        w.Line(2, "(pad (padNum " + std::to_string(1 + pick(16)) + ") (padStyleRef \"P2\") (pt " + coord(80000) + " " +
                      coord(80000) + ") (rotation 90.0) (netNameRef " + net() + ") )");
    }
    w.Line(1, ")");
    w.Line(1, "(layerContents (layerNumRef " + std::to_string(1 + chunk % 11) + ")");
    for (int i = 0; i < 1000; ++i) {
      const int kind = pick(100);
      if (kind < 70) {
        w.Line(2, "(line (pt " + coord(80000) + " " + coord(80000) + ") (pt " + coord(80000) + " " + coord(80000) +
                      ") (width 12.0) (netNameRef " + net() + ") )");
      } else if (kind < 80) {
        w.Line(2, "(arc (pt " + coord(80000) + " " + coord(80000) + ") (radius " + coord(2000) +
                      ") (startAngle 0.0) (sweepAngle 90.0) (width 10.0) )");
      } else if (kind < 90) {
        w.Line(2, "(text (pt " + coord(80000) + " " + coord(80000) + ") " + Q("Label \\\"" + std::to_string(i) + "\\\"") +
                      " (textStyleRef \"(Default)\") (rotation 90.0) (isFlipped False) (justify LowerLeft) "
                      "(extent 300.0 80.0) )");
      } else if (kind < 98) {
        std::string poly = "(pcbPoly";
        for (int v = 0; v < 8; ++v) poly += " (pt " + coord(80000) + " " + coord(80000) + ")";
        w.Line(2, poly + " (netNameRef " + net() + ") )");
      } else {
        w.Line(2, "(copperPour95 (pourType SolidPour) (netNameRef " + net() +
                      ") (width 10.0) (pourSpacing 10.0) (pourBackoff 20.0) (useDesignRules True) "
                      "(pourSmoothness 1) (thermalType Thermal90) (thermalWidth 15.0) (thermalSpokes 4) "
                      "(islandRemoval None)");
        std::string outline = "(pcbPoly";
        for (int v = 0; v < 24; ++v) outline += " (pt " + coord(80000) + " " + coord(80000) + ")";
        w.Line(3, outline + " )");
        w.Line(2, ")");
      }
    }
    w.Line(1, ")");
    ++chunk;
  }
  w.Line(0, ")");
  w.Flush();
  std::fclose(file);
  std::printf("%s: %.1f MB\n", argv[1], static_cast<double>(w.Size()) / (1024.0 * 1024.0));
  return 0;
}

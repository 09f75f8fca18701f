// Writes large Sarnovik boards (format 4) of a chosen size: a grid of
// components, each with pads, outline, arc and a string, free tracks, vias,
// fills and strings between them, and nets that join pads of neighbouring
// components. The content grows linearly with the number of components.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace sarnovikbench {

struct BoardSize {
  int Components = 1000;
  int PadsPerComponent = 8;
};

// Lines the file will have, roughly (for reporting).
inline int64_t WriteSarnovikBoard(std::ostream& out, const BoardSize& size) {
  int64_t lines = 0;
  auto line = [&](const std::string& text) {
    out << text << "\r\n";
    ++lines;
  };
  auto num = [](int64_t v) { return std::to_string(v); };
  const int columns = 100;
  const int pitch = 800;  // mil between component origins
  line("PCB FILE 4  generated board, " + num(size.Components) + " components");
  for (int c = 0; c < size.Components; ++c) {
    const int x = 500 + (c % columns) * pitch;
    const int y = 500 + (c / columns) * pitch;
    const bool bottom = c % 5 == 4;
    const int copper = bottom ? 6 : 1;
    const int overlay = bottom ? 8 : 7;
    line("COMP");
    line("U" + num(c + 1));
    line("SOIC" + num(size.PadsPerComponent));
    line("PART" + num(c % 37));
    line(num(x) + " " + num(y - 250) + " 40 0 1 " + num(overlay));
    line(num(x) + " " + num(y + 250) + " 40 " + (bottom ? "16" : "0") + " 1 " + num(overlay));
    line(num(x) + " " + num(y) + " 1 0");
    for (int p = 0; p < size.PadsPerComponent; ++p) {
      const int half = size.PadsPerComponent / 2;
      const int px = x - 150 + (p / half) * 300;
      const int py = y - 175 + (p % half) * 50;
      line("CP");
      line(num(px) + " " + num(py) + " 60 24 2 0 " + num(p == 0 ? 2 : 1) + " " + num(copper));
      line(num(p + 1));
    }
    const int corners[5][2] = {{-100, -200}, {100, -200}, {100, 200}, {-100, 200}, {-100, -200}};
    for (int k = 0; k < 4; ++k) {
      line("CT");
      line(num(x + corners[k][0]) + " " + num(y + corners[k][1]) + " " +
           num(x + corners[k + 1][0]) + " " + num(y + corners[k + 1][1]) + " 8 " + num(overlay));
    }
    line("CA");
    line(num(x) + " " + num(y + 200) + " 25 3 8 " + num(overlay));
    line("CS");
    line(num(x - 90) + " " + num(y - 190) + " 30 0 1 " + num(overlay));
    line("*");
    line("ENDCOMP");
  }
  for (int c = 0; c < size.Components; ++c) {
    const int x = 500 + (c % columns) * pitch;
    const int y = 500 + (c / columns) * pitch;
    for (int k = 0; k < 4; ++k) {
      line("FT");
      line(num(x + 200) + " " + num(y - 150 + k * 100) + " " + num(x + 600) + " " +
           num(y - 150 + k * 100) + " 12 " + num(k % 2 ? 6 : 1));
    }
    line("FV");
    line(num(x + 400) + " " + num(y + 300) + " 50 28");
    if (c % 2 == 0) {
      line("FF");
      line(num(x + 250) + " " + num(y + 350) + " " + num(x + 550) + " " + num(y + 390) + " 1");
    }
    if (c % 10 == 0) {
      line("FS");
      line(num(x) + " " + num(y + 380) + " 50 0 1 7");
      line("BLOCK " + num(c / 10));
      line("FA");
      line(num(x + 400) + " " + num(y) + " 60 15 8 11");
    }
  }
  // Nets: pin p of component c with pin p of component c+1, for every pin;
  // four components per net, so every pad is on a net.
  int net = 0;
  for (int c = 0; c + 3 < size.Components; c += 4) {
    for (int p = 1; p <= size.PadsPerComponent; ++p) {
      line("NETDEF");
      line("N" + num(++net));
      line("(");
      for (int k = 0; k < 4; ++k) line("U" + num(c + k + 1) + "-" + num(p));
      line(")");
      if (net % 50 == 0) {
        line("{");
        line("WIDTH 12");
        line("}");
      }
    }
  }
  return lines;
}

}  // namespace sarnovikbench

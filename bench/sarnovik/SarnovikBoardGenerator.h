// Writes large Sarnovik boards (format 4) of a chosen size: a grid of
// components, each with pads, outline, arc and a string, free tracks, vias,
// fills and strings between them, and nets that join pads of neighbouring
// components. The content grows linearly with the number of components.
#pragma once

#include <cstdint>
#include <ostream>

namespace sarnovikbench {

struct BoardSize {
  int Components = 1000;
  int PadsPerComponent = 8;
};

// Writes the board and answers the number of lines written.
inline int64_t WriteSarnovikBoard(std::ostream& out, const BoardSize& size) {
  int64_t lines = 0;
  // One line of the file from its pieces.
  auto line = [&](const auto&... pieces) {
    (out << ... << pieces) << "\r\n";
    ++lines;
  };
  const int columns = 100;
  const int pitch = 800;  // mil between component origins
  const int half = size.PadsPerComponent / 2 > 0 ? size.PadsPerComponent / 2 : 1;
  line("PCB FILE 4  generated board, ", size.Components, " components");
  for (int c = 0; c < size.Components; ++c) {
    const int x = 500 + (c % columns) * pitch;
    const int y = 500 + (c / columns) * pitch;
    const bool bottom = c % 5 == 4;
    const int copper = bottom ? 6 : 1;
    const int overlay = bottom ? 8 : 7;
    line("COMP");
    line("U", c + 1);
    line("SOIC", size.PadsPerComponent);
    line("PART", c % 37);
    line(x, ' ', y - 250, " 40 0 1 ", overlay);
    line(x, ' ', y + 250, " 40 ", bottom ? 16 : 0, " 1 ", overlay);
    line(x, ' ', y, " 1 0");
    for (int p = 0; p < size.PadsPerComponent; ++p) {
      const int px = x - 150 + (p / half) * 300;
      const int py = y - 175 + (p % half) * 50;
      line("CP");
      line(px, ' ', py, " 60 24 2 0 ", p == 0 ? 2 : 1, ' ', copper);
      line(p + 1);
    }
    const int corners[5][2] = {{-100, -200}, {100, -200}, {100, 200}, {-100, 200}, {-100, -200}};
    for (int k = 0; k < 4; ++k) {
      line("CT");
      line(x + corners[k][0], ' ', y + corners[k][1], ' ', x + corners[k + 1][0], ' ',
           y + corners[k + 1][1], " 8 ", overlay);
    }
    line("CA");
    line(x, ' ', y + 200, " 25 3 8 ", overlay);
    line("CS");
    line(x - 90, ' ', y - 190, " 30 0 1 ", overlay);
    line('*');
    line("ENDCOMP");
  }
  for (int c = 0; c < size.Components; ++c) {
    const int x = 500 + (c % columns) * pitch;
    const int y = 500 + (c / columns) * pitch;
    for (int k = 0; k < 4; ++k) {
      line("FT");
      line(x + 200, ' ', y - 150 + k * 100, ' ', x + 600, ' ', y - 150 + k * 100, " 12 ",
           k % 2 ? 6 : 1);
    }
    line("FV");
    line(x + 400, ' ', y + 300, " 50 28");
    if (c % 2 == 0) {
      line("FF");
      line(x + 250, ' ', y + 350, ' ', x + 550, ' ', y + 390, " 1");
    }
    if (c % 10 == 0) {
      line("FS");
      line(x, ' ', y + 380, " 50 0 1 7");
      line("BLOCK ", c / 10);
      line("FA");
      line(x + 400, ' ', y, " 60 15 8 11");
    }
  }
  // Nets: pin p of four neighbouring components, for every pin, so that
  // every pad is on a net; every 50th net has a block.
  int net = 0;
  for (int c = 0; c + 3 < size.Components; c += 4) {
    for (int p = 1; p <= size.PadsPerComponent; ++p) {
      line("NETDEF");
      line('N', ++net);
      line('(');
      for (int k = 0; k < 4; ++k) line('U', c + k + 1, '-', p);
      line(')');
      if (net % 50 == 0) {
        line('{');
        line("WIDTH 12");
        line('}');
      }
    }
  }
  return lines;
}

}  // namespace sarnovikbench

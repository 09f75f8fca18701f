// sarnovik_generate COMPONENTS OUT.pcb: writes a large Sarnovik board.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "bench/sarnovik/SarnovikBoardGenerator.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: sarnovik_generate COMPONENTS OUT.pcb\n";
    return 2;
  }
  sarnovikbench::BoardSize size;
  size.Components = std::atoi(argv[1]);
  if (size.Components < 1) {
    std::cerr << "COMPONENTS must be at least 1\n";
    return 2;
  }
  std::ofstream out(argv[2], std::ios::binary);
  if (!out) {
    std::cerr << "cannot write " << argv[2] << "\n";
    return 1;
  }
  const auto lines = sarnovikbench::WriteSarnovikBoard(out, size);
  out.close();
  if (!out) {
    std::cerr << "cannot write " << argv[2] << "\n";
    return 1;
  }
  std::cout << argv[2] << ": " << size.Components << " components, " << lines << " lines\n";
  return 0;
}

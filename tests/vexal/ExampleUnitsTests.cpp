// The example board in mils and its copy in millimetres (made with
// scripts/vexal-mil-to-mm) import to the same board: the host's documents
// are the same text apart from the file name and the host's logs, and
// every number agrees within the rounding of a millimetre value to host
// units.
#include <cmath>
#include <regex>

#include "DesignTestsSupport.h"

namespace {

using namespace designtest;

std::string ReadExample(const std::string& name) {
  std::ifstream in(std::string(PCBIMPORT_SOURCE_DIR) + "/examples/vexal/" + name, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// The board part of the document that pcbhost writes after importing the
// example (a copy, so that the report stays out of the source tree): from
// the board record to the host's logs, without the file name. Each import
// runs in a host of its own, so handles agree.
std::string BoardJson(const std::string& example) {
  const std::string path = WriteFile(example, ReadExample(example));
  const std::string json = path + ".json";
  const std::string command = std::string(PCBIMPORT_BIN_DIR) + "/pcbhost import '" + path + "' --json '" + json +
                              "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(json, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  const std::string text = content.str();
  const size_t begin = text.find("\"board\": {");
  const size_t end = text.find("\"log\": {");
  EXPECT_NE(begin, std::string::npos);
  EXPECT_NE(end, std::string::npos);
  if (begin == std::string::npos || end == std::string::npos || end < begin) return {};
  return std::regex_replace(text.substr(begin, end - begin), std::regex("\"fileName\": \"[^\"]*\""),
                            "\"fileName\": \"\"");
}

struct Piece {
  bool Number = false;
  std::string Text;
};

// The text cut into numbers and what lies between them.
std::vector<Piece> Pieces(const std::string& text) {
  static const std::regex number("-?[0-9]+(\\.[0-9]+)?(e-?[0-9]+)?");
  std::vector<Piece> pieces;
  size_t at = 0;
  for (std::sregex_iterator it(text.begin(), text.end(), number), end; it != end; ++it) {
    const size_t position = static_cast<size_t>(it->position());
    pieces.push_back({false, text.substr(at, position - at)});
    pieces.push_back({true, it->str()});
    at = position + static_cast<size_t>(it->length());
  }
  pieces.push_back({false, text.substr(at)});
  return pieces;
}

// Host units are a ten-thousandth of a mil; a millimetre value lands within
// a unit or two of its mil value; values shown in mils or degrees within a
// thousandth.
bool SameWithinRounding(const std::string& a, const std::string& b) {
  const double x = std::stod(a), y = std::stod(b);
  const bool whole = a.find_first_of(".e") == std::string::npos && b.find_first_of(".e") == std::string::npos;
  return std::fabs(x - y) <= (whole ? 2.0 : 0.001);
}

TEST(ExampleBoard, TheMillimetreCopyImportsToTheSameBoard) {
  const std::string mils = BoardJson("small-board.pcb");
  const std::string millimetres = BoardJson("small-board-mm.pcb");
  ASSERT_GT(mils.size(), 10000u);
  EXPECT_NE(ReadExample("small-board.pcb"), ReadExample("small-board-mm.pcb"));
  const auto a = Pieces(mils), b = Pieces(millimetres);
  ASSERT_EQ(a.size(), b.size());
  int exact = 0, rounded = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!a[i].Number) {
      ASSERT_EQ(a[i].Text, b[i].Text) << "after " << (i ? a[i - 1].Text : "");
      continue;
    }
    EXPECT_TRUE(SameWithinRounding(a[i].Text, b[i].Text)) << a[i].Text << " / " << b[i].Text << " before "
                                                            << a[i + 1].Text;
    ++(a[i].Text == b[i].Text ? exact : rounded);
  }
  // The copy really is another file that gives the same numbers, not the
  // same bytes: most values are exactly equal after conversion.
  EXPECT_GT(exact, 100);
}

}  // namespace

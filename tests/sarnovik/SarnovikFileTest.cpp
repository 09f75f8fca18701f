// The Sarnovik file reader on its own: lines, numbers over line ends, limits,
// and the faults it gives for what the format leaves undefined.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "sarnovik/SarnovikFile.h"

namespace {

using sarnovik::ReadFault;
using sarnovik::TSarnovikFile;

class SarnovikFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "sarnovik_file_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
  }
  void TearDown() override { std::remove(path_.c_str()); }

  TSarnovikFile& Open(const std::string& content) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
    EXPECT_TRUE(file_.Open(path_));
    return file_;
  }

  std::string path_;
  TSarnovikFile file_;
};

TEST_F(SarnovikFileTest, NumbersContinueOverLineEndsAndTheRestOfTheLineIsSkipped) {
  auto& f = Open("1 2\n\n  3\n\t-4 +5 6 tail words\nNEXT\n");
  for (int expected : {1, 2, 3, -4, 5, 6}) EXPECT_EQ(f.ReadInteger(), expected);
  f.SkipRestOfLine();
  EXPECT_EQ(f.ReadLine(), "NEXT");
  EXPECT_TRUE(f.AtEnd());
  EXPECT_FALSE(f.Failed());
}

TEST_F(SarnovikFileTest, LineEndsAreLineFeedCarriageReturnOrBoth) {
  auto& f = Open("A\r\nB\rC\nD");
  for (const char* expected : {"A", "B", "C", "D"}) EXPECT_EQ(f.ReadLine(), expected);
  EXPECT_TRUE(f.AtEnd());
  EXPECT_EQ(f.ReadLine(), "");  // a plain line read at the end is empty, no fault
  EXPECT_FALSE(f.Failed());
}

TEST_F(SarnovikFileTest, LongLinesKeepTheirFirstCharactersAndSkipTheRest) {
  auto& f = Open(std::string(300, 'x') + "\n" + std::string(30, 'p') + "\nNEXT\n");
  EXPECT_EQ(f.ReadLine(), std::string(255, 'x'));
  EXPECT_EQ(f.ReadLine(20), std::string(20, 'p'));
  EXPECT_EQ(f.ReadLine(), "NEXT");
}

TEST_F(SarnovikFileTest, CtrlZEndsTheText) {
  auto& f = Open("A\n\x1a" "B\nC\n");
  EXPECT_EQ(f.ReadLine(), "A");
  EXPECT_TRUE(f.AtEnd());
}

TEST_F(SarnovikFileTest, RewindStartsOverAndClearsTheFault) {
  auto& f = Open("FIRST\nx\n");
  EXPECT_EQ(f.ReadLine(), "FIRST");
  f.ReadInteger();
  EXPECT_EQ(f.Fault(), ReadFault::BadNumber);
  f.Rewind();
  EXPECT_FALSE(f.Failed());
  EXPECT_EQ(f.ReadLine(), "FIRST");
}

struct IntegerCase {
  const char* text;
  bool valid;
  int32_t value;
};

TEST_F(SarnovikFileTest, IntegerTokens) {
  const IntegerCase cases[] = {
      {"0", true, 0},
      {"007", true, 7},
      {"+7", true, 7},
      {"-2147483648", true, INT32_MIN},
      {"2147483647", true, INT32_MAX},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"99999999999999999999999999", false, 0},
      {"12x", false, 0},
      {"abc", false, 0},
      {"1.5", false, 0},
      {"1,5", false, 0},
      {"+", false, 0},
      {"-", false, 0},
      {"--1", false, 0},
      {"$1F", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto& f = Open(std::string(c.text) + " 5\n");
    const int32_t value = f.ReadInteger();
    EXPECT_EQ(f.Failed(), !c.valid);
    if (c.valid) {
      EXPECT_EQ(value, c.value);
      EXPECT_EQ(f.ReadInteger(), 5);
    } else {
      EXPECT_EQ(f.Fault(), ReadFault::BadNumber);
      // A fault sticks: nothing more is read until it is cleared.
      EXPECT_EQ(f.ReadInteger(), 0);
      EXPECT_EQ(f.ReadLine(), "");
      f.ClearFault();
      EXPECT_EQ(f.ReadInteger(), 5);
    }
  }
}

TEST_F(SarnovikFileTest, AVeryLongTokenIsABadNumber) {
  auto& f = Open(std::string(100000, '1') + "\n");
  f.ReadInteger();
  EXPECT_EQ(f.Fault(), ReadFault::BadNumber);
}

TEST_F(SarnovikFileTest, CoordinatesMustFitTheHostUnits) {
  auto& f = Open("214748 -214748 214749\n");
  EXPECT_EQ(f.ReadCoord(), 214748);
  EXPECT_EQ(f.ReadCoord(), -214748);
  EXPECT_FALSE(f.Failed());
  EXPECT_EQ(f.ReadCoord(), 0);
  EXPECT_EQ(f.Fault(), ReadFault::BadNumber);
  Open("-214749\n").ReadCoord();
  EXPECT_EQ(file_.Fault(), ReadFault::BadNumber);
}

struct RealCase {
  const char* text;
  bool valid;
  double value;
};

TEST_F(SarnovikFileTest, RealTokens) {
  const RealCase cases[] = {
      {"2.5", true, 2.5},  {"1e2", true, 100.0}, {"-3.25E-1", true, -0.325},
      {"+4", true, 4.0},   {".5", true, 0.5},    {"90", true, 90.0},
      {"inf", false, 0},   {"nan", false, 0},    {"1e400", false, 0},
      {"0x10", false, 0},  {"1,5", false, 0},    {"+-1", false, 0},
      {"1e", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto& f = Open(std::string(c.text) + "\n");
    const double value = f.ReadReal();
    EXPECT_EQ(f.Failed(), !c.valid);
    if (c.valid) {
      EXPECT_DOUBLE_EQ(value, c.value);
    }
  }
  auto& f = Open("3e9 2147483647\n");
  f.ReadBoundedReal(2147483647.0);
  EXPECT_EQ(f.Fault(), ReadFault::BadNumber);
}

TEST_F(SarnovikFileTest, TheEndOfTheFileInsideARecordCutsItShort) {
  auto& f = Open("1 2");
  EXPECT_EQ(f.ReadInteger(), 1);
  EXPECT_EQ(f.ReadInteger(), 2);
  EXPECT_FALSE(f.Failed());
  EXPECT_EQ(f.ReadInteger(), 0);
  EXPECT_EQ(f.Fault(), ReadFault::CutShort);

  auto& g = Open("NAME");  // a last line without a line end is still there
  EXPECT_EQ(g.ReadRecordLine(20), "NAME");
  EXPECT_FALSE(g.Failed());
  EXPECT_EQ(g.ReadRecordLine(20), "");
  EXPECT_EQ(g.Fault(), ReadFault::CutShort);
}

TEST_F(SarnovikFileTest, LineHasMoreLooksOnlyAtTheCurrentLine) {
  auto& f = Open("1 2 3 4   \n9\n1 2 3 4 5\n");
  for (int i = 0; i < 4; ++i) f.ReadInteger();
  EXPECT_FALSE(f.LineHasMore());  // trailing blanks do not count, nor the next line
  f.SkipRestOfLine();
  EXPECT_EQ(f.ReadInteger(), 9);
  f.SkipRestOfLine();
  for (int i = 0; i < 4; ++i) f.ReadInteger();
  EXPECT_TRUE(f.LineHasMore());
  EXPECT_EQ(f.ReadInteger(), 5);
}

TEST_F(SarnovikFileTest, ALineReadAndPutBackIsReadAgainWhole) {
  auto& f = Open("A\nNETDEF\n7 8\nC");
  EXPECT_EQ(f.ReadLine(), "A");
  const std::string line = f.ReadLine();
  f.UnreadLine(line);
  EXPECT_EQ(f.ReadLine(), "NETDEF");
  f.UnreadLine("5 6");
  EXPECT_EQ(f.ReadInteger(), 5);
  EXPECT_EQ(f.ReadInteger(), 6);
  EXPECT_EQ(f.ReadInteger(), 7);
  f.SkipRestOfLine();
  EXPECT_EQ(f.ReadLine(), "C");
  f.UnreadLine("C");
  EXPECT_FALSE(f.AtEnd());
  EXPECT_EQ(f.ReadLine(), "C");
  EXPECT_TRUE(f.AtEnd());
}

}  // namespace

// Process-parameter texts: parsing, reading with the module's cache, and
// writing into a caller's buffer without ever writing past it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hostclient/Parameters.h"

namespace {

using hostclient::GetParameter;
using hostclient::SetParameter;
using hostclient::TParameterList;

std::vector<std::pair<std::string, std::string>> Parsed(const std::string& text) {
  TParameterList list;
  list.Parse(text);
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& p : list.Items) out.emplace_back(p.Name, p.Value);
  return out;
}

TEST(ParameterText, Parsing) {
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Parsed("Result=True|Path=c:\\a.pcb"), (Pairs{{"Result", "True"}, {"Path", "c:\\a.pcb"}}));
  EXPECT_EQ(Parsed("A=b=c"), (Pairs{{"A", "b=c"}}));
  EXPECT_EQ(Parsed("NoEquals|B=1"), (Pairs{{"B", "1"}}));
  EXPECT_EQ(Parsed("=v|C=2"), (Pairs{{"C", "2"}}));
  EXPECT_EQ(Parsed("   =v"), Pairs{});
  EXPECT_EQ(Parsed(" Name = value |X="), (Pairs{{"Name", " value "}, {"X", ""}}));
  EXPECT_EQ(Parsed(""), Pairs{});
  EXPECT_EQ(Parsed("|||"), Pairs{});
  EXPECT_EQ(Parsed("A=1|a=2"), (Pairs{{"A", "1"}, {"a", "2"}}));
  EXPECT_EQ(Parsed(std::string(300, 'n') + "=v"), (Pairs{{std::string(255, 'n'), "v"}}));
  TParameterList list;
  list.Parse("A=1|a=2");
  EXPECT_EQ(list.Find(" A ")->Value, "1");
  EXPECT_EQ(list.Text(), "A=1|a=2");
}

TEST(ParameterText, GetParameter) {
  struct Case {
    std::string Text, Name;
    bool Found;
    std::string Value;
  };
  const Case cases[] = {
      {"Result=True|Path=c:\\a.pcb", "result", true, "True"},
      {"Result=True|Path=c:\\a.pcb", "PATH", true, "c:\\a.pcb"},
      {"Result=True|Path=c:\\a.pcb", "  Path ", true, "c:\\a.pcb"},
      {"Result=True|Path=c:\\a.pcb", "Missing", false, ""},
      {"A=b=c", "a", true, "b=c"},
      {"X| Y = z ", "y", true, "z"},
      {"X|Y", "X", false, ""},
      {"=v", "", false, ""},
      {"", "A", false, ""},
      {"K=" + std::string(300, 'v'), "K", true, std::string(255, 'v')},
      {"K=\tv\t", "k", true, "v"},
  };
  for (const Case& c : cases) {
    std::string value = "stale";
    EXPECT_EQ(GetParameter(c.Text, c.Name, value), c.Found) << c.Text << " / " << c.Name;
    EXPECT_EQ(value, c.Value) << c.Text << " / " << c.Name;
  }
}

TEST(ParameterText, TheCacheFollowsTheText) {
  std::string value;
  char buffer[64] = "A=1|B=2";
  EXPECT_TRUE(GetParameter(buffer, "B", value));
  EXPECT_EQ(value, "2");
  std::strcpy(buffer, "A=3");  // same buffer, new text
  EXPECT_FALSE(GetParameter(buffer, "B", value));
  EXPECT_TRUE(GetParameter(buffer, "A", value));
  EXPECT_EQ(value, "3");
  EXPECT_TRUE(GetParameter("A=1|B=2", "A", value));
  EXPECT_EQ(value, "1");
}

TEST(ParameterText, TextsTooLongForTheCacheAreStillAnswered) {
  std::string value;
  for (size_t length : {63999u, 64000u, 70000u}) {
    std::string text = "First=1|Filler=" + std::string(length, 'f');
    text.resize(length - 8);
    text += "|Last=42";
    ASSERT_EQ(text.size(), length);
    EXPECT_TRUE(GetParameter(text, "Last", value)) << length;
    EXPECT_EQ(value, "42");
    EXPECT_TRUE(GetParameter(text, "First", value)) << length;
    EXPECT_EQ(value, "1");
    EXPECT_TRUE(GetParameter(text, "Filler", value)) << length;
    EXPECT_EQ(value.size(), 255u);
  }
  EXPECT_TRUE(GetParameter("Short=yes", "short", value));
  EXPECT_EQ(value, "yes");
}

TEST(ParameterText, SetParameterReplacesOrAppends) {
  char buffer[257] = "Result=True";
  EXPECT_TRUE(SetParameter(buffer, "Path", "c:\\a.pcb"));
  EXPECT_STREQ(buffer, "Result=True|Path=c:\\a.pcb");
  EXPECT_TRUE(SetParameter(buffer, " PATH ", "  d:\\b.pcb  "));
  EXPECT_STREQ(buffer, "Result=True|Path=d:\\b.pcb");  // the name keeps its spelling
  EXPECT_TRUE(SetParameter(buffer, "Extra", "a=b"));
  EXPECT_STREQ(buffer, "Result=True|Path=d:\\b.pcb|Extra=a=b");

  char junk[257] = "junk| =x|A=1";
  EXPECT_TRUE(SetParameter(junk, "B", "2"));
  EXPECT_STREQ(junk, "A=1|B=2");  // what the parser drops is not written back

  char empty[257] = "";
  EXPECT_TRUE(SetParameter(empty, "FootPrint", "DIP14"));
  EXPECT_STREQ(empty, "FootPrint=DIP14");
}

TEST(ParameterText, SetParameterNeverWritesPastTheBuffer) {
  // A 16-byte buffer inside a larger block: the bytes after it must stay.
  char block[32];
  std::memset(block, 0x5A, sizeof block);
  std::strcpy(block, "A=1");
  EXPECT_FALSE(SetParameter(block, "Name", "0123456789", 16));  // "A=1|Name=0123456789" + zero: 20
  EXPECT_STREQ(block, "A=1");
  for (size_t i = 4; i < sizeof block; ++i) EXPECT_EQ(block[i], 0x5A) << i;

  EXPECT_TRUE(SetParameter(block, "N", "0123456", 16));  // "A=1|N=0123456" + zero: 14 bytes
  EXPECT_STREQ(block, "A=1|N=0123456");
  EXPECT_TRUE(SetParameter(block, "N", "012345678", 16));  // exactly 16 with the zero
  EXPECT_STREQ(block, "A=1|N=012345678");
  for (size_t i = 16; i < sizeof block; ++i) EXPECT_EQ(block[i], 0x5A) << i;

  // The default size is the 257 bytes of the only caller.
  char one[300];
  std::memset(one, 0x5A, sizeof one);
  one[0] = '\0';
  EXPECT_TRUE(SetParameter(one, "P", std::string(254, 'v')));  // 256 bytes with the zero
  EXPECT_FALSE(SetParameter(one, "P", std::string(255, 'v')));  // 258 bytes
  EXPECT_EQ(std::strlen(one), 256u);
  for (size_t i = 257; i < sizeof one; ++i) EXPECT_EQ(one[i], 0x5A) << i;
}

TEST(ParameterText, SetParameterRefusesWhatWouldCorruptTheText) {
  char buffer[257] = "A=1";
  EXPECT_FALSE(SetParameter(buffer, "", "x"));
  EXPECT_FALSE(SetParameter(buffer, "   ", "x"));
  EXPECT_FALSE(SetParameter(buffer, "B=C", "x"));
  EXPECT_FALSE(SetParameter(buffer, "B|C", "x"));
  EXPECT_FALSE(SetParameter(buffer, std::string(256, 'n'), "x"));
  EXPECT_FALSE(SetParameter(buffer, "B", "x|Injected=1"));
  EXPECT_FALSE(SetParameter(buffer, "B", std::string("x\0y", 3)));
  EXPECT_FALSE(SetParameter(nullptr, "B", "x"));
  EXPECT_FALSE(SetParameter(buffer, "B", "x", 0));
  EXPECT_STREQ(buffer, "A=1");

  // A buffer without a zero inside its size is read only up to its size.
  char unterminated[8];
  std::memset(unterminated, 'A', sizeof unterminated);
  EXPECT_TRUE(SetParameter(unterminated, "X", "1", sizeof unterminated));
  EXPECT_STREQ(unterminated, "X=1");
}

}  // namespace

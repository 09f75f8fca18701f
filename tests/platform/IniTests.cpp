#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/Platform.h"

namespace {

std::string TempFile(const char* name) {
  return std::string(::testing::TempDir()) + name;
}

void Write(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST(Ini, ReadsSectionsKeysInFileOrderAndDefaults) {
  const std::string f = TempFile("read.ini");
  Write(f, "; comment\r\n[Layers]\r\nTop=Top Layer\r\n  Bottom = Bottom Layer \r\n\r\n"
           "[Other]\r\nTop=elsewhere\r\nnot a key line\r\n");
  EXPECT_EQ(platform::IniReadString(f, "layers", "TOP", "x"), "Top Layer");
  EXPECT_EQ(platform::IniReadString(f, "Layers", "Bottom", "x"), "Bottom Layer");
  EXPECT_EQ(platform::IniReadString(f, "Other", "Top", "x"), "elsewhere");
  EXPECT_EQ(platform::IniReadString(f, "Layers", "Missing", "dflt"), "dflt");
  EXPECT_EQ(platform::IniReadString(f, "NoSection", "Top", "dflt"), "dflt");
  EXPECT_EQ(platform::IniReadString(TempFile("absent.ini"), "A", "B", "dflt"), "dflt");
  EXPECT_EQ(platform::IniReadKeys(f, "Layers"), (std::vector<std::string>{"Top", "Bottom"}));
  EXPECT_EQ(platform::IniReadSections(f), (std::vector<std::string>{"Layers", "Other"}));
}

TEST(Ini, WriteChangesOneKeyAndKeepsEverythingElse) {
  const std::string f = TempFile("write.ini");
  const std::string before = "; keep me\r\n[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nx=3\r\n";
  Write(f, before);

  ASSERT_TRUE(platform::IniWriteString(f, "a", "Y", "20"));
  EXPECT_EQ(Read(f), "; keep me\r\n[A]\r\nx=1\r\nY=20\r\n\r\n[B]\r\nx=3\r\n");

  // A new key goes to the end of its section, before the blank line.
  ASSERT_TRUE(platform::IniWriteString(f, "A", "z", "9"));
  EXPECT_EQ(Read(f), "; keep me\r\n[A]\r\nx=1\r\nY=20\r\nz=9\r\n\r\n[B]\r\nx=3\r\n");

  // A new section is appended.
  ASSERT_TRUE(platform::IniWriteString(f, "C", "k", "v"));
  EXPECT_EQ(Read(f), "; keep me\r\n[A]\r\nx=1\r\nY=20\r\nz=9\r\n\r\n[B]\r\nx=3\r\n\r\n[C]\r\nk=v\r\n");
  EXPECT_EQ(platform::IniReadKeys(f, "A"), (std::vector<std::string>{"x", "Y", "z"}));
}

TEST(Ini, WriteKeepsLineFeedFilesAndCreatesNewFiles) {
  const std::string lf = TempFile("lf.ini");
  Write(lf, "[A]\nx=1\n");
  ASSERT_TRUE(platform::IniWriteString(lf, "A", "x", "2"));
  EXPECT_EQ(Read(lf), "[A]\nx=2\n");

  const std::string fresh = TempFile("fresh.ini");
  std::remove(fresh.c_str());
  ASSERT_TRUE(platform::IniWriteString(fresh, "S", "k", "v"));
  EXPECT_EQ(Read(fresh), "[S]\r\nk=v\r\n");
  EXPECT_EQ(platform::IniReadString(fresh, "S", "k", ""), "v");

  EXPECT_FALSE(platform::IniWriteString("/nonexistent-dir/x.ini", "S", "k", "v"));
}

// pcbhost end to end: the program run as a user runs it, with a small test
// plug-in (libHostTestPlugin.so) and a library without plug-in functions
// (libHostNoExports.so) beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "host/pcbhost/JsonExport.h"
#include "tests/support/PcbhostRunner.h"

namespace {

namespace fs = std::filesystem;
using pcbhosttest::Quote;
using pcbhosttest::Result;
using pcbhosttest::Slurp;

class Pcbhost : public pcbhosttest::PcbhostTest {
 protected:
  Pcbhost() : PcbhostTest("pcbhost_test_") {}

  void SetUp() override {
    PcbhostTest::SetUp();
    board = Write("demo.tbd",
                  "TESTBOARD demo\n"
                  "NET GND\n"
                  "NET VCC\n"
                  "TRACK 1 0 0 100 0 10 GND\n"
                  "TRACK 32 0 0 0 25.4 8\n"
                  "COMP U1 SO8 500 300 90 T\n"
                  "COMP U2 SO8 800 300 0 B\n"
                  "POLY 1 0 0 100 0 100 100\n"
                  "RULE Clearance 12 GND\n"
                  "CLASS Power GND VCC\n");
    other = Write("other.txt", "not a board\n");
  }

  // pcbhost with the plug-ins it knows given in PCBHOST_PLUGINS.
  Result Run(const std::string& args, const std::string& plugins = "") const {
    if (plugins.empty()) return PcbhostTest::Run(args);
    return PcbhostTest::Run(args, {{"PCBHOST_PLUGINS", plugins}});
  }

  static bool OneLine(const std::string& text) {
    return !text.empty() && text.back() == '\n' &&
           std::count(text.begin(), text.end(), '\n') == 1;
  }

  std::string board, other;
};

TEST_F(Pcbhost, DescribeSaysWhatThePluginExports) {
  const Result r = Run("describe HostTestPlugin");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("RecognisedPCBFile: exported"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("ImportFileIntoPcb: exported"), std::string::npos);
  EXPECT_NE(r.out.find("ServerFactory: exported"), std::string::npos);
  EXPECT_NE(r.out.find("description: Test Board Files (*.tbd)"), std::string::npos);
}

TEST_F(Pcbhost, UnusablePluginsGiveOneLineAndAnError) {
  const std::string broken = Write("libBroken.so", "this is no shared library\n");
  struct Case {
    std::string args;
    const char* says;
  };
  const Case cases[] = {
      {"describe HostNoExports", "exports none"},
      {"describe " + Quote(broken), "cannot load plug-in"},
      {"describe NoSuchPlugin", "cannot load plug-in"},
      {"import " + Quote(board) + " --plugin " + Quote(broken), "cannot load plug-in"},
      {"import " + Quote(board) + " --plugin HostNoExports", "does not export"},
      {"recognise " + Quote(board) + " --plugin HostNoExports", "does not export"},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.args);
    EXPECT_EQ(r.code, 2) << c.args;
    EXPECT_TRUE(OneLine(r.err)) << c.args << ": " << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
  }
}

TEST_F(Pcbhost, MissingFileAndBadUsage) {
  Result r = Run("import " + Quote((folder / "none.tbd").string()) + " --plugin HostTestPlugin");
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(OneLine(r.err)) << r.err;
  EXPECT_NE(r.err.find("no such file"), std::string::npos);
  r = Run("recognise " + Quote((folder / "none.tbd").string()));
  EXPECT_EQ(r.code, 2);
  r = Run("import");
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(OneLine(r.err)) << r.err;
  r = Run("convert x");
  EXPECT_EQ(r.code, 2);
}

TEST_F(Pcbhost, RecogniseAsksThePlugins) {
  Result r = Run("recognise " + Quote(board) + " --plugin HostTestPlugin");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("recognised by HostTestPlugin"), std::string::npos) << r.out;
  r = Run("recognise " + Quote(other) + " --plugin HostTestPlugin");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(OneLine(r.err)) << r.err;
  // Without --plugin: every plug-in the host knows, in turn; one that cannot
  // serve (no exports) is passed over.
  r = Run("recognise " + Quote(board), "HostNoExports:HostTestPlugin");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("recognised by HostTestPlugin"), std::string::npos);
}

// PCBHOST_PLUGINS is split on ':' here (';' is the separator on Windows,
// where a path holds a drive letter): items may be paths, empty items are
// skipped, and ';' is part of a name.
TEST_F(Pcbhost, TheKnownPluginsListIsSplitOnColons) {
  const std::string plugin = std::string(PCBIMPORT_BIN_DIR) + "/libHostTestPlugin.so";
  const std::string broken = Write("libBroken.so", "this is no shared library\n");
  struct Case {
    std::string list;
    int code;
    std::string says;
  };
  const Case cases[] = {
      {"::" + broken + "::" + plugin + ":", 0, "recognised by " + plugin},
      {"HostNoExports:" + plugin, 0, "recognised by " + plugin},
      {"HostNoExports;HostTestPlugin", 1, "no plug-in recognises"},
      {":::", 1, "no plug-in recognises"},
  };
  for (const Case& c : cases) {
    const Result r = Run("recognise " + Quote(board), c.list);
    EXPECT_EQ(r.code, c.code) << c.list << ": " << r.err;
    EXPECT_NE((r.out + r.err).find(c.says), std::string::npos) << c.list << ": " << r.out << r.err;
  }
}

TEST_F(Pcbhost, NoPluginRecognisesTheFile) {
  const Result r = Run("import " + Quote(other), "HostNoExports:HostTestPlugin");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(OneLine(r.err)) << r.err;
  EXPECT_NE(r.err.find("no plug-in recognises"), std::string::npos) << r.err;
}

TEST_F(Pcbhost, ImportWritesTheSameJsonTwice) {
  const std::string json1 = (folder / "a.json").string(), json2 = (folder / "b.json").string();
  // Chosen without --plugin, then named: the same document either way.
  const Result r1 = Run("import " + Quote(board) + " --json " + Quote(json1), "HostTestPlugin");
  const Result r2 = Run("import " + Quote(board) + " --plugin HostTestPlugin --json " + Quote(json2));
  ASSERT_EQ(r1.code, 0) << r1.err;
  ASSERT_EQ(r2.code, 0) << r2.err;
  const std::string a = Slurp(json1), b = Slurp(json2);
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a, b);
  // The summary: counts per kind (component pads and texts included) and
  // the progress seen.
  EXPECT_NE(r1.out.find("imported by HostTestPlugin"), std::string::npos) << r1.out;
  EXPECT_NE(r1.out.find("2 component"), std::string::npos) << r1.out;
  EXPECT_NE(r1.out.find("2 pad"), std::string::npos) << r1.out;
  EXPECT_NE(r1.out.find("4 track"), std::string::npos) << r1.out;
  EXPECT_NE(r1.out.find("progress: Loading test board (total 10, 10 steps, finished)"),
            std::string::npos) << r1.out;
  // What the document holds.
  const std::string expected[] = {
      "\"kind\": \"PCB\"",
      "\"path\": \"" + fs::path(board).lexically_normal().string() + "\"",
      "\"current\": true",
      "\"y2Mil\": 25.4",
      "\"pattern\": \"SO8\"",
      "\"text\": \"U1\"",
      "\"name\": \"GND\"",
      "\"members\": [\n",
      "\"Power\"",
      "\"clearanceGap\": 120000",
      "\"vertexCount\": 3",
      "\"net\": \"(No Net)\"",
      "\"title\": \"Loading test board\"",
      "\"code\": 13",
      // The plug-in's server module got the client: it reports the main window (1).
      "\"code\": 99,\n        \"data\": 1\n",
  };
  for (const std::string& e : expected) EXPECT_NE(a.find(e), std::string::npos) << e;
}

TEST_F(Pcbhost, ImportPlacesComponentsThroughTheHost) {
  const std::string json = (folder / "a.json").string();
  ASSERT_EQ(Run("import " + Quote(board) + " --plugin HostTestPlugin --json " + Quote(json)).code, 0);
  const std::string a = Slurp(json);
  // U1 at (500, 300) mil rotated by 90: its pad, 100 mil right of the
  // origin, lands 100 mil above it. U2 on the bottom side: mirrored.
  const size_t u1 = a.find("\"text\": \"U1\"");
  const size_t u2 = a.find("\"text\": \"U2\"");
  ASSERT_NE(u1, std::string::npos);
  ASSERT_NE(u2, std::string::npos);
  const std::string u1Part = a.substr(u1, u2 - u1);
  EXPECT_NE(u1Part.find("\"xMil\": 500,\n"), std::string::npos);
  EXPECT_NE(u1Part.find("\"yMil\": 400,\n"), std::string::npos) << u1Part;
  const std::string u2Part = a.substr(u2, 3000);
  EXPECT_NE(u2Part.find("\"xMil\": 700,\n"), std::string::npos) << u2Part;
  EXPECT_NE(u2Part.find("\"name\": \"Bottom Overlay\""), std::string::npos);
}

}  // namespace

namespace {

TEST(PcbhostJson, LengthsInMilsAreExactDecimals) {
  const std::pair<int32_t, const char*> cases[] = {
      {0, "0"},           {10000, "1"},          {254000, "25.4"},
      {-1, "-0.0001"},    {-250000, "-25"},      {5, "0.0005"},
      {2147483647, "214748.3647"}, {-2147483647 - 1, "-214748.3648"},
  };
  for (const auto& [units, mils] : cases) EXPECT_EQ(pcbhost::UnitsAsMils(units), mils) << units;
}

}  // namespace

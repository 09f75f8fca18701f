// pcbhost run: the program launches a command of LoadVexal's server module
// by name, as a user runs it, and writes the document the command made.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/PcbhostRunner.h"

namespace {

namespace fs = std::filesystem;
using pcbhosttest::Quote;
using pcbhosttest::Result;
using pcbhosttest::Slurp;

// Whether `parts` stand in `text` in this order.
bool InOrder(const std::string& text, const std::vector<std::string>& parts) {
  size_t at = 0;
  for (const std::string& part : parts) {
    at = text.find(part, at);
    if (at == std::string::npos) return false;
    at += part.size();
  }
  return true;
}

class PcbhostRun : public pcbhosttest::PcbhostTest {
 protected:
  PcbhostRun() : PcbhostTest("pcbhost_run_") {}

  void SetUp() override {
    PcbhostTest::SetUp();
    library = folder / "small-library.lia";
    fs::copy_file(fs::path(PCBIMPORT_SOURCE_DIR) / "examples/vexal/small-library.lia", library);
    board = folder / "small-board.pcb";
    fs::copy_file(fs::path(PCBIMPORT_SOURCE_DIR) / "examples/vexal/small-board.pcb", board);
  }

  fs::path library, board;
};

TEST_F(PcbhostRun, TheLibraryCommandWritesALibraryDocumentWithItsComponents) {
  // A relative file name: the command gets the whole path.
  const Result r = Run("run LoadKIVOPCB LoadKIVOPCBLibrary FileName=small-library.lia --json lib.json");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(InOrder(r.out, {"LoadKIVOPCB:LoadKIVOPCBLibrary answered 1\n",
                              "new document: PCBLib " + library.string() + "\n",
                              "component: RES (", "component: DIODE (", "component: LED (",
                              "report: " + (folder / "small-library.rpt").string() + "\n",
                              "import warnings 1\n"}))
      << r.out;
  const std::string json = Slurp(folder / "lib.json");
  EXPECT_TRUE(InOrder(json, {"\"kind\": \"PCBLib\"", "\"library\": [",
                             "\"name\": \"RES\"", "\"kind\": \"pad\"", "\"name\": \"1\"", "\"name\": \"2\"",
                             "\"name\": \"DIODE\"", "\"name\": \"A\"", "\"name\": \"K\"",
                             "\"name\": \"LED\"", "\"name\": \"A\"", "\"name\": \"SYSPAD2\""}))
      << json.substr(0, 2000);
  EXPECT_EQ(json.find("TESTPOINT"), std::string::npos);
}

TEST_F(PcbhostRun, TheBoardCommandTakesTheDialogsAnswerOverTheFileName) {
  const fs::path chosen = folder / "chosen.pcb";
  fs::copy_file(board, chosen);
  const Result r = Run("run loadkivopcb LoadKIVOPCBFile FileName=small-board.pcb --common-dialog " +
                       Quote("Result=True|Path=" + chosen.string()) + " --json board.json");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(InOrder(r.out, {"new document: PCB " + chosen.string() + "\n", "objects: ", " track"})) << r.out;
  EXPECT_TRUE(InOrder(Slurp(folder / "board.json"), {"\"kind\": \"PCB\"", chosen.string()}));
}

// The report lands where the host puts it: the extension is that of the
// file name, which begins after the last '/' or '\'.
TEST_F(PcbhostRun, TheReportIsFoundWhereTheHostPutsIt) {
  const fs::path odd = folder / "odd.v1\\board";
  fs::copy_file(board, odd);
  const Result r = Run("run LoadKIVOPCB LoadKIVOPCBFile " + Quote("FileName=" + odd.string()));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(fs::exists(odd.string() + ".rpt"));
  EXPECT_TRUE(InOrder(r.out, {"new document: PCB " + odd.string() + "\n",
                              "report: " + odd.string() + ".rpt\n", "report counts: load errors 0"}))
      << r.out;
}

TEST_F(PcbhostRun, ExitStatusesSayWhatHappened) {
  struct Case {
    std::string Args;
    int Code;
    std::string Err;  // a part of standard error
  };
  const Case cases[] = {
      // The user did not confirm: no document, nothing written.
      {"run LoadKIVOPCB LoadKIVOPCBFile --json none.json", 1, ""},
      {"run LoadKIVOPCB LoadKIVOPCBFile FileName=small-board.pcb --common-dialog " +
           Quote("Result=true|Path=" + board.string()) + " --json none.json",
       1, ""},
      {"run LoadKIVOPCB LoadKIVOPCBFile FileName=missing.pcb --json none.json", 1, ""},
      {"run LoadKIVOPCB LoadSomething", 1, "has no command LoadSomething"},
      {"run NoSuchServer LoadKIVOPCBFile", 2, "no plug-in serves NoSuchServer"},
      {"run LoadKIVOPCB LoadKIVOPCBFile --plugin LoadSarnovik", 2, "does not export ServerFactory"},
      {"run LoadKIVOPCB", 2, "no server and command given"},
      {"run LoadKIVOPCB LoadKIVOPCBFile small-board.pcb", 2, "NAME=VALUE"},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.Args);
    EXPECT_EQ(r.code, c.Code) << c.Args << "\n" << r.out << r.err;
    EXPECT_NE(r.err.find(c.Err), std::string::npos) << c.Args << "\n" << r.err;
    EXPECT_FALSE(fs::exists(folder / "none.json")) << c.Args;
  }
}

}  // namespace

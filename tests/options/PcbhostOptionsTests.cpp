// pcbhost importing Vexal files, as a person runs it: the options dialog
// accepted by default, cancelled with --cancel, played from a script with
// --dialog-script, the host's file dialog answered with --common-dialog, and
// the report's path and counters printed after the import.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/PcbhostRunner.h"

namespace {

namespace fs = std::filesystem;
using pcbhosttest::Contains;
using pcbhosttest::Quote;
using pcbhosttest::Result;
using pcbhosttest::Slurp;

// The event codes of the JSON log, in order ("13,14,...").
std::string EventCodes(const std::string& json) {
  std::string codes;
  const size_t events = json.find("\"events\"");
  if (events == std::string::npos) return "(no events)";
  const size_t end = json.find(']', events);
  for (size_t at = json.find("\"code\":", events); at != std::string::npos && at < end;
       at = json.find("\"code\":", at + 1)) {
    size_t i = at + 7;
    while (i < json.size() && json[i] == ' ') ++i;
    std::string digits;
    while (i < json.size() && json[i] >= '0' && json[i] <= '9') digits += json[i++];
    codes += (codes.empty() ? "" : ",") + digits;
  }
  return codes;
}

const char kBoard[] =
    "VEXAL_ASCII \"demo.pcb\"\r\n"
    "(asciiHeader (asciiVersion 3 0) (fileUnits Mil))\r\n";

class PcbhostOptions : public pcbhosttest::PcbhostTest {
 protected:
  PcbhostOptions() : PcbhostTest("options-pcbhost-") {}

  void SetUp() override {
    PcbhostTest::SetUp();
    board_ = Write("demo.pcb", kBoard);
  }

  std::string board_;
};

TEST_F(PcbhostOptions, TheDialogIsAcceptedByDefaultAndTheReportIsPrinted) {
  const Result r = Run("import " + Quote(board_) + " --json " + Quote((folder / "out.json").string()));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "imported by LoadVexal")) << r.out;
  EXPECT_TRUE(Contains(r.out, "report: " + (folder / "demo.rpt").string() + "\n")) << r.out;
  EXPECT_TRUE(Contains(r.out, "report counts: load errors 0, import errors 0, load warnings 0, import warnings 0\n"))
      << r.out;
  EXPECT_TRUE(fs::exists(folder / "demo.rpt"));
  // Translated: the closing events follow the opening one.
  EXPECT_EQ(EventCodes(Slurp(folder / "out.json")), "13,14,12,7,8,10,11");
  // The first import on the machine wrote the defaults.
  EXPECT_TRUE(fs::is_regular_file(folder / "appdata" / "Keldor" / "LoadVexal.ini"));
}

TEST_F(PcbhostOptions, CancelTranslatesNothingAndStillWritesTheReport) {
  const Result r = Run("import " + Quote(board_) + " --cancel --json " + Quote((folder / "out.json").string()));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(EventCodes(Slurp(folder / "out.json")), "13");
  EXPECT_TRUE(Contains(r.out, "report: " + (folder / "demo.rpt").string() + "\n")) << r.out;
}

TEST_F(PcbhostOptions, AScriptSavesAConfigurationThroughTheHostsFileDialog) {
  const std::string cfg = (folder / "saved.cfg").string();
  const std::string script = Write("options.txt",
                                   "# untick one box, save, then accept\n"
                                   "form TranslateDialog\n"
                                   "untick CheckBoxViewWarnings\n"
                                   "choose ComboBoxDetailLevel Detailed\n"
                                   "click ButtonSaveConfig\n"
                                   "click ButtonLoadConfig\n"
                                   "click ButtonOK\n");
  const Result r = Run("import " + Quote(board_) + " --dialog-script " + Quote(script) + " --common-dialog " +
                       Quote("Result=True|Path=" + cfg) + " --json " + Quote((folder / "out.json").string()));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Slurp(cfg),
            "[Report]\r\n"
            "ReportViewErrors=True\r\n"
            "ReportViewWarnings=False\r\n"
            "ReportViewEvents=False\r\n"
            "ReportDetailLevel=Detailed\r\n");
  const std::string json = Slurp(folder / "out.json");
  // Two showings of the file dialog: the queued answer, then the user's
  // dismissal.
  EXPECT_TRUE(Contains(json, "Mode=1|Prompt=Wenz Configuaration File")) << json;
  EXPECT_TRUE(Contains(json, "Mode=0|Prompt=Wenz Configuaration File")) << json;
  EXPECT_TRUE(Contains(json, "Result=False")) << json;
  EXPECT_EQ(EventCodes(json), "13,14,12,7,8,10,11");
}

TEST_F(PcbhostOptions, ScriptsThatCannotBeUsed) {
  // A script that cannot be read, or holds a line that is no action: usage
  // error before anything is imported.
  Result r = Run("import " + Quote(board_) + " --dialog-script " + Quote((folder / "missing.txt").string()));
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(Contains(r.err, "cannot read the dialog script")) << r.err;
  r = Run("import " + Quote(board_) + " --dialog-script " + Quote(folder.string()));
  EXPECT_EQ(r.code, 2);
  r = Run("import " + Quote(board_) + " --dialog-script " + Quote(Write("bad.txt", "ok\nfrobnicate now\n")));
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(Contains(r.err, "line 2: unknown action \"frobnicate\"")) << r.err;
  EXPECT_FALSE(fs::exists(folder / "demo.rpt"));
  r = Run("import " + Quote(board_) + " --cancel --dialog-script " + Quote(Write("ok.txt", "ok\n")));
  EXPECT_EQ(r.code, 2);
  r = Run("import " + Quote(board_) + " --common-dialog");
  EXPECT_EQ(r.code, 2);

  // A script whose action the user could not do: the dialog is cancelled
  // and the message box says why.
  r = Run("import " + Quote(board_) + " --dialog-script " + Quote(Write("wrong.txt", "click ButtonNowhere\n")) +
          " --json " + Quote((folder / "out.json").string()));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Contains(r.err, "Dialog script, form TranslateDialog, line 1: no control named \"ButtonNowhere\""))
      << r.err;
  EXPECT_EQ(EventCodes(Slurp(folder / "out.json")), "13");
}

TEST_F(PcbhostOptions, NoReportLinesWhenTheImportWroteNoReport) {
  // A report left from before is not this import's when the plug-in writes
  // none (a Sarnovik file).
  const std::string sarnovik = Write("old.pcb", "PCB FILE 4\r\n");
  Write("old.rpt", "an older report\r\n");
  const Result r = Run("import " + Quote(sarnovik));
  EXPECT_FALSE(Contains(r.out, "report:")) << r.out;
  EXPECT_EQ(Slurp(folder / "old.rpt"), "an older report\r\n");
}

}  // namespace

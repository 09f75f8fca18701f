// The translation report: the lines it records for every kind, the report
// text and file, level filtering, the completion dialog and opening the
// report in the host, and report files that cannot be written.
//
// The program carries the stand-in host's client functions and hooks (it
// exports them like the host program), and shows dialogs through a driver
// that records what the user saw before it plays the test's script.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "host/client/PlatformHooks.h"
#include "host/client/StandInClient.h"
#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbObjects.h"
#include "hostapi/PcbTypes.h"
#include "hostclient/HostClient.h"
#include "platform/Platform.h"
#include "platform/dialogs/DialogScript.h"
#include "vexal/report/ReportManager.h"
#include "vexal/report/TranslationComplete.h"

namespace fs = std::filesystem;

namespace {

// 5 March 2024, 14:07:09.
std::tm FixedClock() {
  std::tm t{};
  t.tm_year = 124;
  t.tm_mon = 2;
  t.tm_mday = 5;
  t.tm_hour = 14;
  t.tm_min = 7;
  t.tm_sec = 9;
  t.tm_wday = 2;
  return t;
}

// What the user saw of a completion dialog.
struct Seen {
  std::string Form;
  std::string Status;
  bool Ticked = false;
  bool BoxEnabled = false;
  uintptr_t Owner = 0;
  dialogs::TModalResult Result = dialogs::mrNone;
};

class RecordingDriver : public dialogs::ModalDriver {
 public:
  void Run(dialogs::Form& form) override {
    Seen seen;
    seen.Form = form.Name();
    seen.Owner = form.OwnerWindow();
    if (auto* status = dynamic_cast<TTranslationStatus*>(&form)) {
      seen.Status = status->LabelStatus.Caption;
      seen.Ticked = status->CheckBoxViewReport.Checked();
      seen.BoxEnabled = status->CheckBoxViewReport.Enabled;
    }
    dialogs::RunDialogScript(form, &Script);
    seen.Result = form.ModalResult;
    Shown.push_back(seen);
  }
  std::string Script;
  std::vector<Seen> Shown;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// The entries written under a heading: the lines after it up to the next
// blank line.
std::vector<std::string> Section(const std::vector<std::string>& lines, const std::string& heading) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < lines.size() && lines[i].rfind(heading, 0) != 0) ++i;
  for (++i; i < lines.size() && !lines[i].empty(); ++i) out.push_back(lines[i]);
  return out;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  for (const auto& l : lines)
    if (l == line) return true;
  return false;
}

const char kHint[] = "         This could be caused by missing/extra brackets \"{}\"";

class ReportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { hostclient::OnModuleLoad(); }

  void SetUp() override {
    standin::ResetHooks();
    standin::SetMessageBoxEcho(false);
    standin::ResetClient();
    hostclient::SetClientInterface(standin::HostClient());
    SetReportClock(FixedClock);
    dialogs::SetModalDriver(&driver_);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("report-tests-" + std::to_string(getpid()) + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }

  void TearDown() override {
    dialogs::SetModalDriver(nullptr);
    SetReportClock(nullptr);
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }

  // A report for the file `name` in the test's folder.
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  RecordingDriver driver_;
  fs::path dir_;
};

TEST_F(ReportTest, UnrecognisedFileGivesTheSingleErrorAndItsReportOpens) {
  TReportManager report;
  report.SetPcbFileName(PathOf("notes.txt"));
  report.AddLoadError(leUnsupportedFile);
  report.FinishReport();

  const std::string rpt = PathOf("notes.rpt");
  EXPECT_EQ(report.ReportFileState(), TReportFileState::Written);
  EXPECT_EQ(ReadFile(rpt),
            "Vortan Design System: KIVO 2000/2001 ASCII To Vortanex Translator Report\r\n"
            "PCB File : notes.txt\r\n"
            "Date     : 03/05/24\r\n"
            "Time     : 14:07:09\r\n"
            "\r\n"
            "\r\n"
            "Load Errors : 1\r\n"
            "Unsupported file version. Please try to import KIVO files in ASCII format!\r\n"
            "\r\n"
            "Import Errors : 0\r\n"
            "\r\n"
            "Load Warnings : 0\r\n"
            "\r\n"
            "Import Warnings : 0\r\n"
            "\r\n"
            "\r\n");

  ASSERT_EQ(driver_.Shown.size(), 1u);
  const Seen& seen = driver_.Shown[0];
  EXPECT_EQ(seen.Form, "TranslationStatus");
  EXPECT_EQ(seen.Status, "Errors occured during translation");
  EXPECT_TRUE(seen.Ticked);
  EXPECT_TRUE(seen.BoxEnabled);
  EXPECT_EQ(seen.Owner, standin::kMainWindow);
  // Closed with Close and View Report ticked: the report opens in the host.
  EXPECT_EQ(seen.Result, dialogs::mrOk);
  EXPECT_TRUE(standin::TextDocumentOpen(rpt));
  EXPECT_EQ(standin::CurrentDocumentPath(), rpt);
}

TEST_F(ReportTest, CleanRunWritesTheReportAndShowsNoDialog) {
  TReportManager report;
  report.SetPcbFileName(PathOf("clean.pcb"));
  WriteFile(PathOf("clean.rpt"), "an older report that is longer than the new one\r\n" + std::string(2000, 'x'));
  report.FinishReport();

  std::vector<std::string> lines;
  report.BuildReportLines(lines);
  ASSERT_EQ(lines.size(), 15u);
  for (const char* heading : {"Load Errors : 0", "Import Errors : 0", "Load Warnings : 0", "Import Warnings : 0"})
    EXPECT_TRUE(HasLine(lines, heading)) << heading;
  EXPECT_EQ(lines[12], "Import Warnings : 0");
  EXPECT_EQ(lines[13], "");
  EXPECT_EQ(lines[14], "");

  std::string expected;
  for (const auto& l : lines) expected += l + "\r\n";
  EXPECT_EQ(ReadFile(PathOf("clean.rpt")), expected);  // replaced whole
  EXPECT_TRUE(driver_.Shown.empty());
  EXPECT_TRUE(standin::DocumentLog().empty());
}

TEST_F(ReportTest, WarningsShowTheDialogAndOnlyCloseWithTheBoxTickedOpensTheReport) {
  struct Case {
    const char* Script;
    dialogs::TModalResult Result;
    bool Opened;
  };
  const Case cases[] = {
      {"", dialogs::mrOk, true},                             // the user accepts
      {"key Enter", dialogs::mrOk, true},
      {"click ButtonOK", dialogs::mrOk, true},
      {"key Escape", dialogs::mrCancel, false},              // ticked, yet not opened
      {"key Escape CheckBoxViewReport", dialogs::mrCancel, false},
      {"untick CheckBoxViewReport\nclick ButtonOK", dialogs::mrOk, false},
      {"untick CheckBoxViewReport\ntick CheckBoxViewReport", dialogs::mrOk, true},
  };
  for (const Case& c : cases) {
    standin::ResetClient();
    driver_.Shown.clear();
    driver_.Script = c.Script;
    TReportManager report;
    report.SetPcbFileName(PathOf("warned.pcb"));
    report.AddLoadWarning(lwText, "Skipping Token foo On Line 3");
    report.FinishReport();

    ASSERT_EQ(driver_.Shown.size(), 1u) << c.Script;
    EXPECT_EQ(driver_.Shown[0].Status, "Translation Complete, Warnings Found");
    EXPECT_EQ(driver_.Shown[0].Result, c.Result) << c.Script;
    EXPECT_EQ(standin::TextDocumentOpen(PathOf("warned.rpt")), c.Opened) << c.Script;
    EXPECT_EQ(standin::DocumentLog().size(), c.Opened ? 1u : 0u) << c.Script;
  }
}

TEST_F(ReportTest, LevelsFilterEntriesAndCountersCountConditions) {
  struct Case {
    uint8_t Level;
    std::vector<std::string> Lines;
  };
  const Case cases[] = {
      {rlNone, {}},
      {rlBrief, {}},
      {rlNormal, {"Skipping Token abc On Line 12"}},
      {rlFull, {"WARNING: Unhandled Token found foo", "Skipping Token abc On Line 12"}},
      {rlDetailed, {"WARNING: Unhandled Token found foo", kHint, "Skipping Token abc On Line 12"}},
  };
  for (const Case& c : cases) {
    TReportManager report;
    report.SetPcbFileName(PathOf("levels.pcb"));
    report.AddLoadWarning(lwUnhandledToken, "foo");
    report.AddLoadWarning(lwText, "Skipping Token abc On Line 12");
    report.AddLoadWarning(lwUnhandledToken, "");  // counted, no line
    // Levels set after recording still apply: filtering is done on output.
    report.SetLoadWarningLevel(c.Level);
    std::vector<std::string> lines;
    report.BuildReportLines(lines);
    EXPECT_TRUE(HasLine(lines, "Load Warnings : 3")) << int(c.Level);
    EXPECT_EQ(Section(lines, "Load Warnings : "), c.Lines) << int(c.Level);
  }

  // A section's level hides only its own entries.
  TReportManager report;
  report.AddLoadError(leGeneralIOError);
  report.AddImportWarning(iwText, "Polygon Pad Converted To Rounded Pad");
  report.SetLoadErrorLevel(rlNone);
  std::vector<std::string> lines;
  report.BuildReportLines(lines);
  EXPECT_TRUE(HasLine(lines, "Load Errors : 1"));
  EXPECT_TRUE(Section(lines, "Load Errors : ").empty());
  EXPECT_EQ(Section(lines, "Import Warnings : "),
            (std::vector<std::string>{"Polygon Pad Converted To Rounded Pad"}));
}

TEST_F(ReportTest, EveryKindOfEveryAddOperation) {
  using Entries = std::vector<std::pair<int, std::string>>;
  enum ListId { LoadErrors, LoadWarnings, ImportWarnings };
  struct Case {
    const char* Name;
    std::function<void(TReportManager&)> Add;
    ListId List;
    Entries Expected;
  };
  const std::string tie =
      "VORTAN does not support copper ties between nets.\rSkipped import of polygon starting "
      "at:(100;200),tying nets:\rGND\rVCC\r";
  const Case cases[] = {
      {"error 0", [](TReportManager& r) { r.AddLoadError(0); }, LoadErrors,
       {{1, "ERROR: A General IO Error has occured with the file"}}},
      {"error 1", [](TReportManager& r) { r.AddLoadError(1, 1234); }, LoadErrors, {}},
      {"error 2", [](TReportManager& r) { r.AddLoadError(2); }, LoadErrors,
       {{1, "Unsupported file version. Please try to import KIVO files in ASCII format!"}}},
      {"error 9", [](TReportManager& r) { r.AddLoadError(9); }, LoadErrors, {}},
      {"warning 0", [](TReportManager& r) { r.AddLoadWarning(0, "foo"); }, LoadWarnings,
       {{3, "WARNING: Unhandled Token found foo"}, {4, kHint}}},
      {"warning 0 empty", [](TReportManager& r) { r.AddLoadWarning(0, ""); }, LoadWarnings, {}},
      {"warning 0 null", [](TReportManager& r) { r.AddLoadWarning(0, static_cast<const char*>(nullptr)); },
       LoadWarnings, {}},
      {"warning 1", [](TReportManager& r) { r.AddLoadWarning(1, ""); }, LoadWarnings,
       {{1, "WARNING: Polygon Voids are not imported"}}},
      {"warning 2", [](TReportManager& r) { r.AddLoadWarning(2, "text"); }, LoadWarnings, {}},
      {"warning 3", [](TReportManager& r) { r.AddLoadWarning(3, ""); }, LoadWarnings,
       {{1, "WARNING: Number of Layer Strings does not Physical ID Map"},
        {2, "         Possible cause is an Invalid KIVO file"}}},
      {"warning 4", [](TReportManager& r) { r.AddLoadWarning(4, "Skipping Token x On Line 2"); },
       LoadWarnings, {{2, "Skipping Token x On Line 2"}}},
      {"warning 4 ends at zero", [](TReportManager& r) { r.AddLoadWarning(4, std::string("ab\0cd", 5)); },
       LoadWarnings, {{2, "ab"}}},
      {"import 0", [](TReportManager& r) { r.AddImportWarning(0, "U1"); }, ImportWarnings,
       {{1, "WARNING: Mismatch on number of nets and number of pin on component U1"}}},
      {"import 1", [](TReportManager& r) { r.AddImportWarning(1, "U2"); }, ImportWarnings,
       {{1, "WARNING: No Component Primitives Translated for component U2. Component Removed"}}},
      {"import 2", [](TReportManager& r) { r.AddImportWarning(2, "x"); }, ImportWarnings, {}},
      {"import 3", [&tie](TReportManager& r) { r.AddImportWarning(3, tie); }, ImportWarnings, {{2, tie}}},
      {"import 3 by handle", [](TReportManager& r) { r.AddImportWarning(3, THandle{5}); }, ImportWarnings, {}},
  };
  for (const Case& c : cases) {
    TReportManager report;
    c.Add(report);
    const std::vector<TReportEntry>& list = c.List == LoadErrors     ? report.LoadErrorList()
                                            : c.List == LoadWarnings ? report.LoadWarningList()
                                                                     : report.ImportWarningList();
    Entries got;
    for (const auto& e : list) got.emplace_back(e.Level, e.Text);
    EXPECT_EQ(got, c.Expected) << c.Name;
    EXPECT_EQ(report.LoadErrorCount(), c.List == LoadErrors ? 1 : 0) << c.Name;
    EXPECT_EQ(report.LoadWarningCount(), c.List == LoadWarnings ? 1 : 0) << c.Name;
    EXPECT_EQ(report.ImportWarningCount(), c.List == ImportWarnings ? 1 : 0) << c.Name;
    EXPECT_EQ(report.ImportErrorCount(), 0) << c.Name;
    EXPECT_TRUE(report.LoadEventList().empty() && report.ImportEventList().empty() &&
                report.ImportErrorList().empty())
        << c.Name;
  }
}

TEST_F(ReportTest, ALoadErrorWithoutALineStillShowsTheErrorDialog) {
  TReportManager report;
  report.SetPcbFileName(PathOf("noheader.pcb"));
  report.AddLoadError(leNoHeaderWord);
  report.FinishReport();
  std::vector<std::string> lines;
  report.BuildReportLines(lines);
  EXPECT_EQ(lines[6], "Load Errors : 1");
  EXPECT_EQ(lines[7], "");
  ASSERT_EQ(driver_.Shown.size(), 1u);
  EXPECT_EQ(driver_.Shown[0].Status, "Errors occured during translation");
}

TEST_F(ReportTest, EventLevelsShowTheirHeadingsWithoutEntries) {
  TReportManager report;
  report.SetPcbFileName(PathOf("events.pcb"));
  report.SetLoadEventLevel(rlBrief);
  report.SetImportEventLevel(rlDetailed);
  std::vector<std::string> lines;
  report.BuildReportLines(lines);
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 12, lines.end()),
            (std::vector<std::string>{"Import Warnings : 0", "", "Load Event List :", "", "Import Event List :"}));
}

TEST_F(ReportTest, AllLevelsZeroWriteNoFileAndShowNoDialog) {
  TReportManager report;
  report.SetPcbFileName(PathOf("quiet.pcb"));
  report.AddLoadError(leUnsupportedFile);
  report.AddImportWarning(iwText, "something");
  report.SetLoadErrorLevel(0);
  report.SetLoadWarningLevel(0);
  report.SetLoadEventLevel(0);
  report.SetImportErrorLevel(0);
  report.SetImportWarningLevel(0);
  report.SetImportEventLevel(0);
  report.FinishReport();
  EXPECT_EQ(report.ReportFileState(), TReportFileState::Disabled);
  EXPECT_FALSE(fs::exists(PathOf("quiet.rpt")));
  EXPECT_TRUE(driver_.Shown.empty());
}

TEST_F(ReportTest, TheReportLiesBesideTheImportedFile) {
  struct Case {
    std::string Imported;
    std::string Report;
    std::string FileLine;
  };
  const Case cases[] = {
      {"C:\\Boards\\demo.pcb", "C:\\Boards\\demo.rpt", "PCB File : demo.pcb"},
      {"/boards/v2.0/Board.PCB", "/boards/v2.0/Board.rpt", "PCB File : Board.PCB"},
      {"/boards/noext", "/boards/noext.rpt", "PCB File : noext"},
      {"", "", "PCB File : "},          // no file name: no report path
      {"/boards/", "", "PCB File : "},
  };
  for (const Case& c : cases) {
    TReportManager report;
    report.SetPcbFileName(c.Imported);
    EXPECT_EQ(report.ReportFilePath(), c.Report) << c.Imported;
    std::vector<std::string> lines;
    report.BuildReportLines(lines);
    EXPECT_EQ(lines[1], c.FileLine) << c.Imported;
  }

  // The stored path keeps 255 characters; the report path made from a path
  // of 255 characters is longer and is used whole, not cut.
  const std::string folder = dir_.string() + "/";
  const std::string name = std::string(255 - folder.size() - 2, 'n') + ".b";
  TReportManager report;
  report.SetPcbFileName(folder + name + "-beyond-255");
  ASSERT_EQ(report.PcbFileName(), folder + name);
  const std::string rpt = folder + name.substr(0, name.size() - 2) + ".rpt";
  EXPECT_EQ(report.ReportFilePath(), rpt);
  report.FinishReport();
  EXPECT_EQ(report.ReportFileState(), TReportFileState::Written);
  EXPECT_TRUE(fs::is_regular_file(rpt));
}

TEST_F(ReportTest, AReportThatCannotBeWrittenLeavesTheImportAlone) {
  const bool root = geteuid() == 0;
  fs::create_directories(dir_ / "readonly");
  WriteFile(dir_ / "readonly" / "b.pcb", "x");
  fs::create_directories(dir_ / "taken.rpt");  // a folder where the report goes
  WriteFile(dir_ / "self.rpt", "the imported file");
  fs::create_symlink("/dev/full", dir_ / "full.rpt");  // every write fails

  struct Case {
    std::string Imported;
    std::string Problem;
  };
  std::vector<Case> cases = {
      {PathOf("missing/b.pcb"), "the report file cannot be created"},
      {PathOf("taken.pcb"), "the report file cannot be created"},
      {PathOf("self.rpt"), "the report path is the imported file itself"},
      {PathOf("full.pcb"), "the report file could not be written"},
      // A folder nobody may create files in: made read-only, or, for a test
      // run by root (who writes anywhere), the process file system.
      {root ? "/proc/b.pcb" : PathOf("readonly/b.pcb"), "the report file cannot be created"},
      {"", "no report path can be formed from the file name"},
  };
  if (!root) fs::permissions(dir_ / "readonly", fs::perms::owner_read | fs::perms::owner_exec);

  for (const Case& c : cases) {
    standin::ResetClient();
    driver_.Shown.clear();
    TReportManager report;
    report.SetPcbFileName(c.Imported);
    report.AddImportWarning(iwText, "Polygon Pad Converted To Rounded Pad");
    report.FinishReport();
    EXPECT_EQ(report.ReportFileState(), TReportFileState::NotWritten) << c.Imported;
    EXPECT_EQ(report.ReportFileProblem(), c.Problem) << c.Imported;
    // The dialog still tells of the warnings, but offers no report to open.
    ASSERT_EQ(driver_.Shown.size(), 1u) << c.Imported;
    EXPECT_EQ(driver_.Shown[0].Result, dialogs::mrOk);
    EXPECT_FALSE(driver_.Shown[0].Ticked) << c.Imported;
    EXPECT_FALSE(driver_.Shown[0].BoxEnabled) << c.Imported;
    EXPECT_TRUE(standin::DocumentLog().empty()) << c.Imported;
  }
  EXPECT_EQ(ReadFile(dir_ / "self.rpt"), "the imported file");
  EXPECT_TRUE(fs::is_directory(dir_ / "taken.rpt"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir_ / "full.rpt")));  // the partial file is removed
  EXPECT_TRUE(fs::exists("/dev/full"));
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(ReportTest, OpenFileInHostBringsAnOpenDocumentToTheTop) {
  const std::string path = PathOf("open.rpt");
  WriteFile(path, "report\r\n");
  clientabi::IHostClient* client = standin::HostClient();
  ASSERT_NE(client->OpenDocument("Text", path.c_str()), nullptr);
  const std::string other = PathOf("other.txt");
  WriteFile(other, "x");
  client->MakeDocumentCurrent(client->OpenDocument("Text", other.c_str()));
  ASSERT_EQ(standin::CurrentDocumentPath(), other);

  OpenFileInHost(path);
  EXPECT_EQ(standin::CurrentDocumentPath(), path);
  EXPECT_TRUE(standin::TextCursorAtTop(path));
  ASSERT_EQ(standin::ProcessLog().size(), 1u);
  EXPECT_EQ(standin::ProcessLog()[0].Name, "TextEdit:MoveCursorToTopOfDocument");
  EXPECT_EQ(standin::ProcessLog()[0].DocumentPath, path);
  EXPECT_EQ(standin::DocumentLog().size(), 2u);  // the two opened above, nothing new
}

TEST_F(ReportTest, OpenFileInHostOpensOrDoesNothing) {
  const std::string path = PathOf("fresh.rpt");
  OpenFileInHost(path);  // no such file
  EXPECT_TRUE(standin::DocumentLog().empty());

  WriteFile(path, "report\r\n");
  hostclient::SetClientInterface(nullptr);  // a module whose server factory never ran
  OpenFileInHost(path);
  EXPECT_TRUE(standin::DocumentLog().empty());

  hostclient::SetClientInterface(standin::HostClient());
  OpenFileInHost(path);
  ASSERT_EQ(standin::DocumentLog().size(), 1u);
  EXPECT_EQ(standin::DocumentLog()[0].How, "open");
  EXPECT_EQ(standin::DocumentLog()[0].Kind, "Text");
  EXPECT_EQ(standin::CurrentDocumentPath(), path);
  EXPECT_FALSE(standin::TextCursorAtTop(path));
  EXPECT_TRUE(standin::ProcessLog().empty());
}

TEST_F(ReportTest, TheCompletionDialog) {
  TTranslationStatus form(hostclient::HostMainWindow());
  EXPECT_TRUE(form.UnboundHandlers().empty());
  EXPECT_EQ(form.Name(), "TranslationStatus");
  EXPECT_EQ(form.Caption, "Wenz Translator");
  EXPECT_EQ(form.OwnerWindow(), standin::kMainWindow);
  EXPECT_EQ(form.ClientWidth, 239);
  EXPECT_EQ(form.ClientHeight, 100);
  EXPECT_EQ(form.BorderIcons, 0);
  EXPECT_EQ(form.CheckBoxViewReport.Caption, "&View Report");
  EXPECT_EQ(form.ButtonOK.Caption, "Close");
  EXPECT_TRUE(form.ButtonOK.Default);
  EXPECT_EQ(form.ButtonOK.Left, 155);
  EXPECT_EQ(form.ButtonOK.Top, 70);
  EXPECT_EQ(form.Bevel1.Top, 59);

  // Escape on the form itself (nothing focused yet).
  form.PressKey(dialogs::vkEscape);
  EXPECT_EQ(form.ModalResult, dialogs::mrCancel);

  // Shown: the Close button has the focus; Alt+V works the check box.
  driver_.Script = "key Alt+V\nkey Escape ButtonOK";
  form.CheckBoxViewReport.SetChecked(true);
  EXPECT_EQ(form.ShowModal(), dialogs::mrCancel);
  EXPECT_FALSE(form.CheckBoxViewReport.Checked());
  EXPECT_EQ(form.ActiveControl(), &form.ButtonOK);

  driver_.Script = "key Space";  // the focused Close button
  EXPECT_EQ(form.ShowModal(), dialogs::mrOk);

  hostclient::SetClientInterface(nullptr);
  TTranslationStatus ownerless(hostclient::HostMainWindow());
  EXPECT_EQ(ownerless.OwnerWindow(), 0u);
}

// Component warnings name the component by its designator, read from the
// host module.
TEST_F(ReportTest, ComponentWarningsReadTheDesignatorFromTheHost) {
  std::string error;
  ASSERT_NE(platform::LoadModule(std::string(PCBIMPORT_BIN_DIR) + "/libTarvex.so", &error), nullptr) << error;
  hostclient::OnModuleLoad();

  const THandle component = hostapi::PcbApi_CreateObject(okComponent);
  ASSERT_NE(component, 0u);
  TPcbComponent c(component);
  c.Exchange(qdRead);
  ASSERT_NE(c.DesignatorText, 0u);
  TPcbText designator(c.DesignatorText);
  designator.Exchange(qdRead);
  designator.Text = "U7";
  designator.Exchange(qdWrite);

  TReportManager report;
  report.AddImportWarning(iwNetPinMismatch, component);
  report.AddImportWarning(iwNoPrimitives, component);
  ASSERT_EQ(report.ImportWarningList().size(), 2u);
  EXPECT_EQ(report.ImportWarningList()[0].Text,
            "WARNING: Mismatch on number of nets and number of pin on component U7");
  EXPECT_EQ(report.ImportWarningList()[1].Text,
            "WARNING: No Component Primitives Translated for component U7. Component Removed");
  EXPECT_EQ(report.ImportWarningCount(), 2);
}

}  // namespace

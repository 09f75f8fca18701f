// pcbhost with a person in front of it: the progress bar, the Escape key,
// message boxes and dialogs worked by hand, on a pseudo-terminal (the
// program runs as on a terminal) and without one; the summary table and
// the texts' code page. The progress bar's redraw rule and the form as
// text are also tested on their own.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/pcbhost/ProgressBar.h"
#include "platform/dialogs/FormText.h"
#include "tests/support/PcbhostRunner.h"

namespace {

namespace fs = std::filesystem;

using pcbhosttest::Contains;
using pcbhosttest::Quote;
using pcbhosttest::Slurp;

// ---- The progress bar on its own ----------------------------------------------------------

struct BarFixture {
  std::vector<std::string> writes;
  int64_t now = 1000;
  pcbhost::ProgressBar bar{[this](std::string_view t) { writes.emplace_back(t); },
                           [this] { return now; }, 80};
};

TEST(ProgressBar, RedrawsOnlyWhenThePercentageOrTitleChangesAndNotTooOften) {
  BarFixture f;
  f.bar.ProgressStarted("Loading board", 200);
  ASSERT_EQ(f.writes.size(), 1u);
  EXPECT_TRUE(Contains(f.writes[0], "Loading board [")) << f.writes[0];
  EXPECT_TRUE(Contains(f.writes[0], "   0%")) << f.writes[0];
  EXPECT_EQ(f.writes[0].front(), '\r');

  // Each row: the time, the steps so far, whether the bar is drawn again.
  const struct {
    int64_t At;
    int64_t Steps;
    bool Redraw;
    const char* Shows;
  } steps[] = {
      {1000, 1, false, nullptr},      // still 0%
      {1010, 10, false, nullptr},     // 5%, but only 10 ms after the last drawing
      {1060, 11, true, "   5%"},      // 50 ms later: drawn
      {1200, 11, false, nullptr},     // same percentage, however late
      {1300, 200, true, " 100%"},
      {1400, 250, false, nullptr},    // more steps than the total: still 100%
  };
  for (const auto& s : steps) {
    const size_t before = f.writes.size();
    f.now = s.At;
    f.bar.ProgressStepped(s.Steps);
    EXPECT_EQ(f.writes.size() > before, s.Redraw) << "at " << s.At;
    if (s.Redraw && s.Shows) {
      EXPECT_TRUE(Contains(f.writes.back(), s.Shows)) << f.writes.back();
    }
  }
  // Finishing draws the last state at once and ends the line; a new title
  // is drawn at once too.
  f.now = 1401;
  f.bar.ProgressStarted("Second pass", 0);
  EXPECT_EQ(f.writes[f.writes.size() - 2], "\n");
  EXPECT_TRUE(Contains(f.writes.back(), "Second pass ...")) << f.writes.back();
  f.now = 2000;
  f.bar.ProgressStepped(256);
  EXPECT_TRUE(Contains(f.writes.back(), "Second pass  256")) << f.writes.back();
  f.bar.ProgressFinished();
  EXPECT_EQ(f.writes.back(), "\n");
  const size_t done = f.writes.size();
  f.bar.ProgressStepped(300);  // no display running
  f.bar.ProgressFinished();
  EXPECT_EQ(f.writes.size(), done);
}

TEST(ProgressBar, TitlesFitTheTerminalAndAreReadInTheCodePage) {
  std::string line;
  pcbhost::ProgressBar bar([&](std::string_view t) { line = t; }, [] { return int64_t{0}; }, 40,
                           pcbhost::CodePage::Cp1251);
  bar.ProgressStarted("\xC7\xE0\xE3\xF0\xF3\xE7\xEA\xE0", 10);  // "Загрузка"
  EXPECT_TRUE(Contains(bar.Line(), "\xD0\x97\xD0\xB0\xD0\xB3")) << bar.Line();
  bar.ProgressStarted(std::string(200, 'x') + "\t\x01", 10);
  const std::string shown = bar.Line();
  EXPECT_EQ(shown.size(), 39u) << shown;
  EXPECT_TRUE(Contains(shown, "...")) << shown;
  EXPECT_TRUE(Contains(shown, "0%")) << shown;
}

// ---- The form as text -------------------------------------------------------------------------

TEST(FormAsText, ShowsWhatShowsWithItsStateAndPlaysActionLines) {
  dialogs::Form form("Demo", 0);
  form.Caption = "&Demo Dialog";
  auto& label = form.Add<dialogs::Label>("LabelName");
  label.Caption = "File:\tboard";
  auto& box = form.Add<dialogs::CheckBox>("CheckBoxView");
  box.Caption = "&View";
  box.SetChecked(true);
  auto& list = form.Add<dialogs::ComboBox>("ComboBoxLevel");
  list.Items = {"None", "Full"};
  list.SetItemIndex(1);
  auto& hidden = form.Add<dialogs::Button>("ButtonHidden");
  hidden.Visible = false;
  auto& grid = form.Add<dialogs::StringGrid>("Grid");
  grid.SetColCount(2);
  grid.SetRowCount(2);
  grid.SetFixedRows(0);
  grid.SetFixedCols(0);
  grid.SetCell(0, 0, "TOP");
  grid.SetCell(1, 0, "Top Layer");
  auto& ok = form.Add<dialogs::Button>("ButtonOK");
  ok.Caption = "OK";
  ok.Default = true;
  ok.Enabled = false;

  EXPECT_EQ(dialogs::FormAsText(form),
            "form\tDemo\tDemo Dialog\n"
            "label\tLabelName\tFile: board\n"
            "check\tCheckBoxView\tticked\tView\n"
            "list\tComboBoxLevel\t-\tFull\n"
            "item\t0\tNone\n"
            "item\t1\tFull\n"
            "grid\tGrid\t-\t2\t2\t1\t1\n"
            "row\t0\tTOP\tTop Layer\n"
            "row\t1\t\t\n"
            "button\tButtonOK\tdefault,disabled\tOK\n");

  std::string error;
  EXPECT_TRUE(dialogs::PlayActionLine(form, "untick CheckBoxView", error)) << error;
  EXPECT_FALSE(box.Checked());
  EXPECT_TRUE(dialogs::PlayActionLine(form, "choose ComboBoxLevel #0", error)) << error;
  EXPECT_EQ(list.Text(), "None");
  const std::pair<const char*, const char*> refused[] = {
      {"click ButtonOK", "\"ButtonOK\" is disabled"},
      {"form Other", "\"form\" is not an action"},
      {"jump", "unknown action \"jump\""},
      {"choose ComboBoxLevel Half", "\"ComboBoxLevel\" has no item \"Half\""},
  };
  for (const auto& [line, why] : refused) {
    EXPECT_FALSE(dialogs::PlayActionLine(form, line, error)) << line;
    EXPECT_EQ(error, why) << line;
  }
  EXPECT_EQ(form.ModalResult, dialogs::mrNone);
}

// ---- pcbhost on a pseudo-terminal and without one ------------------------------------------

struct TerminalRun {
  int code = -1;    // the exit status; -1 when a signal ended the program
  int signal = 0;   // the signal that ended it
  std::string out;  // standard output and standard error, as the terminal shows them
  bool linesAndEcho = false;  // the terminal's modes afterwards: line editing and echo
};

// What the person types: when the output (since the last answer) holds
// `after`, `keys` are typed.
struct Answer {
  std::string after;
  std::string keys;
};

class PcbhostTerminal : public pcbhosttest::PcbhostTest {
 protected:
  PcbhostTerminal() : PcbhostTest("pcbhost_terminal_") {}

  void SetUp() override {
    PcbhostTest::SetUp();
    board = Write("demo.tbd",
                  "TESTBOARD demo\n"
                  "NET GND\n"
                  "TRACK 1 0 0 100 0 10 GND\n"
                  "TRACK 32 0 0 0 25.4 8\n"
                  "COMP U1 SO8 500 300 90 T\n"
                  "RULE Clearance 12 GND\n"
                  "CLASS Power GND\n");
  }

  // A copy of an example file in the test's folder (reports go beside it).
  std::string Example(const std::string& relative) {
    const fs::path from = fs::path(PCBIMPORT_SOURCE_DIR) / "examples" / relative;
    const fs::path to = folder / from.filename();
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    return to.string();
  }

  // pcbhost on a pseudo-terminal: `typedAhead` is typed before the program
  // reads anything, the answers as their prompts show.
  TerminalRun OnTerminal(const std::vector<std::string>& args, const std::string& typedAhead,
                 std::vector<Answer> answers = {}) {
    struct winsize size {};
    size.ws_col = 120;
    size.ws_row = 40;
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, &size);
    if (pid < 0) {
      ADD_FAILURE() << "forkpty: " << errno;
      return {};
    }
    if (pid == 0) {
      ::setenv("PCBIMPORT_APPDATA", (folder / "appdata").c_str(), 1);
      std::vector<std::string> all = {std::string(PCBIMPORT_BIN_DIR) + "/pcbhost"};
      all.insert(all.end(), args.begin(), args.end());
      std::vector<char*> argv;
      for (std::string& a : all) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    TerminalRun r;
    if (!typedAhead.empty()) {
      EXPECT_EQ(::write(master, typedAhead.data(), typedAhead.size()),
                static_cast<ssize_t>(typedAhead.size()));
    }
    size_t answered = 0;  // where the output since the last answer starts
    // A guard against a program that waits for ever: 200 quiet polls of
    // 100 ms end the run (the test then fails on what it got).
    for (int quiet = 0; quiet < 200;) {
      struct pollfd p {};
      p.fd = master;
      p.events = POLLIN;
      const int ready = ::poll(&p, 1, 100);
      if (ready < 0 && errno == EINTR) continue;
      if (ready == 0) {
        ++quiet;
        continue;
      }
      char buffer[4096];
      const ssize_t n = ::read(master, buffer, sizeof buffer);
      if (n <= 0) break;  // the program ended (EIO)
      quiet = 0;
      r.out.append(buffer, static_cast<size_t>(n));
      if (!answers.empty() && r.out.find(answers.front().after, answered) != std::string::npos) {
        const std::string& keys = answers.front().keys;
        EXPECT_EQ(::write(master, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
        answered = r.out.size();
        answers.erase(answers.begin());
      }
    }
    int status = 0;
    // The program closed the terminal; it ends now (500 looks, 10 ms apart).
    pid_t ended = 0;
    for (int look = 0; look < 500 && (ended = ::waitpid(pid, &status, WNOHANG)) == 0; ++look)
      ::usleep(10000);
    if (ended == 0) {
      ::kill(pid, SIGKILL);
      ADD_FAILURE() << "pcbhost did not end; it showed:\n" << r.out;
      ::waitpid(pid, &status, 0);
    }
    struct termios modes {};
    r.linesAndEcho = ::tcgetattr(master, &modes) == 0 && (modes.c_lflag & ICANON) != 0 &&
                     (modes.c_lflag & ECHO) != 0;
    ::close(master);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    EXPECT_TRUE(answers.empty()) << "not asked for: " << answers.front().after << "\n" << r.out;
    return r;
  }

  // pcbhost with its output in files: no terminal anywhere.
  using Piped = pcbhosttest::Result;
  Piped WithoutTerminal(const std::string& args) const { return Run(args); }

  std::string board;
};

TEST_F(PcbhostTerminal, ProgressBarOnATerminalOnlyAndNotWhenQuiet) {
  TerminalRun r = OnTerminal({"import", board, "--plugin", "HostTestPlugin"}, "");
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(Contains(r.out, "\rLoading test board [")) << r.out;
  EXPECT_TRUE(Contains(r.out, " 100%\x1b[K\r\n")) << r.out;

  r = OnTerminal({"import", board, "--plugin", "HostTestPlugin", "--quiet"}, "");
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_FALSE(Contains(r.out, "Loading test board [")) << r.out;
  EXPECT_TRUE(Contains(r.out, "imported by HostTestPlugin")) << r.out;

  const Piped p = WithoutTerminal("import " + Quote(board) + " --plugin HostTestPlugin");
  EXPECT_EQ(p.code, 0) << p.err;
  EXPECT_EQ(p.err, "");
  EXPECT_FALSE(Contains(p.out, "\r")) << p.out;
}

TEST_F(PcbhostTerminal, BothPassesOfASarnovikImportShowTheirBar) {
  const TerminalRun r = OnTerminal({"import", Example("sarnovik/board4.pcb")}, "");
  EXPECT_EQ(r.code, 0) << r.out;
  const size_t scanning = r.out.find("\rScanning ");
  const size_t loading = r.out.find("\rLoading ");
  ASSERT_NE(scanning, std::string::npos) << r.out;
  ASSERT_NE(loading, std::string::npos) << r.out;
  EXPECT_LT(scanning, loading);
  EXPECT_TRUE(Contains(r.out.substr(loading), "100%")) << r.out;
}

// A library through the importer's server command: the same bar, and the
// completion dialog (the library gives warnings) worked by hand.
TEST_F(PcbhostTerminal, AServerCommandShowsItsProgressAndDialogsToo) {
  const std::string library = Example("vexal/small-library.lia");
  const TerminalRun r = OnTerminal(
      {"run", "LoadKIVOPCB", "LoadKIVOPCBLibrary", "FileName=" + library, "--interactive"}, "",
      {{"TranslationStatus> ", "2\r"}});
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(Contains(r.out, "\rLoading KIVO file ")) << r.out;
  EXPECT_TRUE(Contains(r.out, "[2] Close")) << r.out;
  EXPECT_TRUE(Contains(r.out, "new document: PCBLib " + library)) << r.out;
}

// Escape typed during the import reaches the plug-in, whose question is
// asked on the terminal; the answer decides.
TEST_F(PcbhostTerminal, EscapeReachesThePluginAndItsQuestionIsAskedOnTheTerminal) {
  // Vexal stops reading and translates nothing; Sarnovik keeps what it
  // stored and answers that the import failed.
  const struct {
    const char* File;
    const char* Question;
    const char* Typed;
    int Code;
    const char* Result;
  } cases[] = {
      {"vexal/small-board.pcb", "[Confirm] Question: Confirm Abort\r\n[y]es / [n]o ? ", "\x1by\r", 0,
       "imported by LoadVexal\r\nprogress: Loading KIVO file"},
      {"vexal/small-board.pcb", "[Confirm] Question: Confirm Abort\r\n[y]es / [n]o ? ", "\x1bn\r", 0,
       "imported by LoadVexal"},
      {"sarnovik/board4.pcb", "[Confirm] Confirm Abort Process\r\n[y]es / [n]o ? ", "\x1byes\r", 1,
       "not imported by LoadSarnovik"},
  };
  for (const auto& c : cases) {
    const TerminalRun r = OnTerminal({"import", Example(c.File)}, c.Typed);
    EXPECT_EQ(r.code, c.Code) << r.out;
    EXPECT_TRUE(Contains(r.out, c.Question)) << c.File << "\n" << r.out;
    EXPECT_TRUE(Contains(r.out, c.Result)) << c.File << "\n" << r.out;
    const bool aborted = c.Typed[1] == 'y';
    EXPECT_EQ(Contains(r.out, "objects: none"), aborted && c.Code == 0) << c.File << " " << c.Typed << "\n" << r.out;
    EXPECT_FALSE(Contains(r.out, "message box [")) << r.out;
  }
}

TEST_F(PcbhostTerminal, MessageBoxesWithoutATerminalAnswerFromTheOptionsAndArePrinted) {
  // Each row: the box's buttons, --answer, the answer the plug-in gets.
  const struct {
    int Kind;
    const char* Option;
    int Answer;
  } cases[] = {
      {4, "", 7},  {4, "--answer yes", 6}, {4, "--answer no", 7},   // Yes/No: No is safe
      {1, "", 2},  {1, "--answer yes", 1}, {1, "--answer NO", 2},   // OK/Cancel
      {3, "", 2},  {3, "--answer yes", 6}, {3, "--answer no", 7},   // Yes/No/Cancel
      {0, "", 1},  {0, "--answer no", 1},                           // a lone OK
  };
  for (const auto& c : cases) {
    const std::string file = Write("ask.tbd", "TESTBOARD\nASK " + std::to_string(c.Kind) +
                                                  " Test Keep the tracks?\n");
    const std::string json = (folder / "ask.json").string();
    const Piped p = WithoutTerminal("import " + Quote(file) + " --plugin HostTestPlugin " +
                                    c.Option + " --json " + Quote(json));
    const std::string what = std::to_string(c.Kind) + " " + c.Option;
    EXPECT_EQ(p.code, 0) << what << ": " << p.err;
    EXPECT_EQ(p.err, "message box [Test]: Keep the tracks? -> " + std::to_string(c.Answer) + "\n")
        << what;
    EXPECT_TRUE(Contains(Slurp(json), "\"name\": \"ANSWER" + std::to_string(c.Answer) + "\""))
        << what;
  }
  const Piped bad = WithoutTerminal("import " + Quote(board) + " --plugin HostTestPlugin --answer maybe");
  EXPECT_EQ(bad.code, 2);
  EXPECT_TRUE(Contains(bad.err, "--answer takes yes or no")) << bad.err;
}

TEST_F(PcbhostTerminal, MessageBoxesOnATerminalAreAskedWithTheirButtons) {
  // The second box's caption and text hold control sequences from the file:
  // they never reach the terminal as such.
  const std::string file = Write("ask.tbd", "TESTBOARD\nASK 3 Test Keep the tracks?\n"
                                            "ASK 0 Te\x1b" "st Bad\x1b[2J\xC2\x9B" "2Jtext\n");
  const std::string json = (folder / "ask.json").string();
  // A word that is no button is asked again.
  const TerminalRun r = OnTerminal({"import", file, "--plugin", "HostTestPlugin", "--json", json}, "",
                           {{"? ", "maybe\r"}, {"? ", "n\r"}, {"[o]k ? ", "\r"}});
  EXPECT_TRUE(Contains(r.out, "[Te st] Bad [2J 2Jtext\r\n[o]k ? ")) << r.out;
  EXPECT_TRUE(Contains(Slurp(json), "\"name\": \"ANSWER1\""));
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(Contains(r.out, "[Test] Keep the tracks?\r\n[y]es / [n]o / [c]ancel ? maybe\r\n"
                              "[y]es / [n]o / [c]ancel ? n\r\n"))
      << r.out;
  EXPECT_TRUE(Contains(Slurp(json), "\"name\": \"ANSWER7\""));
}

// The options dialog worked by hand (a row mapped, then OK) gives the same
// board as the same mapping given with --map.
TEST_F(PcbhostTerminal, DialogByHandGivesTheSameBoardAsMap) {
  const std::string file = Example("vexal/small-board.pcb");
  const std::string byHand = (folder / "hand.json").string(), mapped = (folder / "map.json").string();
  const TerminalRun r = OnTerminal({"import", file, "--interactive", "--json", byHand}, "",
                           {{"TranslateDialog> ", "map 1 mid layer 2\r"}, {"TranslateDialog> ", "ok\r"}});
  EXPECT_EQ(r.code, 0) << r.out;
  // The dialog as the person reads it: file name, rows, status, settings.
  for (const char* shown : {"== Vexal Importer ==", "VEXAL file name : small-board.pcb",
                            "1  Top       =>  Top Layer", "1  Top       =>  Mid Layer 2",
                            "Status: All layers mapped.", "[1] [x] View Errors", "[9] OK  [10] Cancel"})
    EXPECT_TRUE(Contains(r.out, shown)) << shown << "\n" << r.out;

  const Piped p = WithoutTerminal("import " + Quote(file) + " --map 'TOP=Mid Layer 2' --json " + Quote(mapped));
  EXPECT_EQ(p.code, 0) << p.err;
  const std::string json = Slurp(mapped);
  EXPECT_TRUE(Contains(json, "\"name\": \"Mid Layer 2\"")) << json.substr(0, 200);
  EXPECT_EQ(Slurp(byHand), json);
}

// A file whose import ends with a warning: the options dialog and then the
// completion dialog are worked on the terminal.
TEST_F(PcbhostTerminal, BothDialogsOfAVexalImportAreWorkedOnTheTerminal) {
  const std::string file = Write("warned.pcb",
                                 "VEXAL_ASCII \"warned.pcb\"\n"
                                 "(asciiHeader (asciiVersion 3 0) (fileUnits Mil))\n"
                                 "(pcbDesign \"warned\"\n"
                                 "  (layerDef \"Top\" (layerNum 1) (layerType Signal))\n"
                                 "  (layerContents (layerNumRef 1)\n"
                                 "    (line (pt 0 0) (pt 100 0) (width 10))\n"
                                 "    (bogusThing 1 2)))\n");
  const TerminalRun r = OnTerminal({"import", file, "--interactive"}, "",
                                   {{"TranslateDialog> ", "ok\r"},
                                    {"TranslationStatus> ", "1\r"},
                                    {"TranslationStatus> ", "2\r"}});
  EXPECT_EQ(r.code, 0) << r.out;
  const size_t status = r.out.find("== Wenz Translator ==");
  ASSERT_NE(status, std::string::npos) << r.out;
  const std::string after = r.out.substr(status);
  for (const char* shown : {"Translation Complete, Warnings Found", "[1] [x] View Report", "[2] Close",
                            "[1] [ ] View Report"})
    EXPECT_TRUE(Contains(after, shown)) << shown << "\n" << after;
  EXPECT_TRUE(Contains(r.out, "load warnings 1")) << r.out;
}

// Save and load a configuration, save the defaults: the host's file dialog
// is asked on the terminal.
TEST_F(PcbhostTerminal, ConfigurationsAndDefaultsAreSavedAndLoadedByHand) {
  const std::string file = Example("vexal/small-board.pcb");
  const std::string cfg = (folder / "mine.cfg").string();
  const char* fileQuestion = "Wenz Configuaration File (save) [small-board.cfg], empty to cancel: ";
  TerminalRun r = OnTerminal({"import", file, "--interactive"}, "",
                             {{"TranslateDialog> ", "map 1 Mid Layer 3\r"},
                              {"TranslateDialog> ", "8\r"},
                              {fileQuestion, cfg + "\r"},
                              {"TranslateDialog> ", "6\r"},
                              {"TranslateDialog> ", "cancel\r"}});
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(Contains(Slurp(cfg), "Top=Mid Layer 3")) << Slurp(cfg);
  EXPECT_TRUE(Contains(Slurp(folder / "appdata" / "Keldor" / "LoadVexal.ini"), "Top=Mid Layer 3"));

  // The defaults now map Top to Mid Layer 3; loading the configuration
  // after a change brings its mapping back; an empty answer cancels.
  r = OnTerminal({"import", file, "--interactive"}, "",
                 {{"TranslateDialog> ", "map 1 Top Layer\r"},
                  {"TranslateDialog> ", "7\r"},
                  {"(open) [small-board.cfg], empty to cancel: ", "\r"},
                  {"TranslateDialog> ", "7\r"},
                  {"(open) [small-board.cfg], empty to cancel: ", cfg + "\r"},
                  {"TranslateDialog> ", "ok\r"}});
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(Contains(r.out, "1  Top       =>  Mid Layer 3")) << r.out;
  EXPECT_TRUE(Contains(r.out, "1  Top       =>  Top Layer")) << r.out;
  EXPECT_TRUE(Contains(r.out, "Mid Layer 3  ")) << r.out;  // in the summary's table
}

// Keys are read one by one during the import only: the terminal gets its
// line editing and echo back when the program ends, and when Ctrl+C ends it
// in the middle of a question.
TEST_F(PcbhostTerminal, TheTerminalIsGivenBackAsItWas) {
  const std::string file = Example("vexal/small-board.pcb");
  TerminalRun r = OnTerminal({"import", file, "--interactive"}, "", {{"TranslateDialog> ", "ok\r"}});
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(r.linesAndEcho);

  // Ctrl+D: the input ends, the dialog closes as by its close box (Cancel).
  r = OnTerminal({"import", file, "--interactive"}, "", {{"TranslateDialog> ", "\x04"}});
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(Contains(r.out, "objects: none")) << r.out;
  EXPECT_TRUE(r.linesAndEcho);

  r = OnTerminal({"import", file, "--interactive"}, "", {{"TranslateDialog> ", "\x03"}});
  EXPECT_EQ(r.signal, SIGINT) << r.out;
  EXPECT_TRUE(r.linesAndEcho);
  EXPECT_FALSE(Contains(r.out, "imported by")) << r.out;
}

TEST_F(PcbhostTerminal, MapsAndDialogsByHandThatCannotBeHad) {
  const std::string file = Example("vexal/small-board.pcb");
  const struct {
    std::string Args;
    const char* Says;
  } cases[] = {
      {"--map 'Nowhere=Top Layer'", "the options dialog has no layer row Nowhere"},
      {"--map 'Top=Layer 99'", "the layer drop-down has no layer \"Layer 99\""},
      {"--map Top", "--map takes \"NAME=Host Layer\""},
      {"--map 'Top=Top Layer' --cancel", "--map and --cancel cannot both be given"},
      {"--interactive", "--interactive needs a terminal"},
      {"--codepage 437", "--codepage takes 1252, 1251 or 1250"},
      {"--layers 'Top Layer,Nope'", "--layers: no layer \"Nope\""},
  };
  for (const auto& c : cases) {
    const Piped p = WithoutTerminal("import " + Quote(file) + " " + c.Args);
    EXPECT_EQ(p.code, 2) << c.Args << "\n" << p.out;
    EXPECT_TRUE(Contains(p.err, c.Says)) << c.Args << ": " << p.err;
    // A --map that cannot be played cancels the dialog: nothing is imported.
    if (p.out.find("imported by") != std::string::npos) {
      EXPECT_TRUE(Contains(p.out, "objects: none")) << p.out;
    }
  }
  // An import without the options dialog maps nothing: said, and not a success.
  const Piped p = WithoutTerminal("import " + Quote(board) + " --plugin HostTestPlugin --map 'Top=Top Layer'");
  EXPECT_EQ(p.code, 2);
  EXPECT_TRUE(Contains(p.err, "--map: the import showed no options dialog")) << p.err;
}

TEST_F(PcbhostTerminal, SummaryCountsPerLayerAndKindWhatWasMadeAndTheTime) {
  const Piped p = WithoutTerminal("import " + Quote(board) + " --plugin HostTestPlugin");
  ASSERT_EQ(p.code, 0) << p.err;
  // The component's pad on the multi-layer, its track and designator on the
  // top overlay.
  const std::string table =
      "layer         tracks    pads   texts\n"
      "Top Layer          1       -       -\n"
      "Bottom Layer       1       -       -\n"
      "Top Overlay        1       -       2\n"
      "Multi Layer        -       1       -\n"
      "all                3       1       2\n"
      "made: 1 net, 1 component, 1 class, 1 rule\n";
  EXPECT_TRUE(Contains(p.out, table)) << p.out;
  EXPECT_TRUE(Contains(p.out, "\ntime: ")) << p.out;
}

TEST_F(PcbhostTerminal, TextsAreWrittenInUtf8FromTheChosenCodePage) {
  const std::string file = Write("texts.tbd", "TESTBOARD\nCOMP \xC0\xE1\x98 SO8 0 0 0 T\n");
  const struct {
    const char* Option;
    std::string Designator;
  } cases[] = {
      {"", "\xC3\x80\xC3\xA1\xCB\x9C"},                     // 1252: À á ˜
      {"--codepage 1251", "\xD0\x90\xD0\xB1\xEF\xBF\xBD"},  // А б, 0x98 undefined
      {"--codepage 1250", "\xC5\x94\xC3\xA1\xEF\xBF\xBD"},  // Ŕ á, 0x98 undefined
  };
  for (const auto& c : cases) {
    const std::string json = (folder / "t.json").string(), svg = (folder / "t.svg").string();
    const Piped p = WithoutTerminal("import " + Quote(file) + " --plugin HostTestPlugin " + c.Option +
                                    " --json " + Quote(json) + " --svg " + Quote(svg));
    ASSERT_EQ(p.code, 0) << p.err;
    EXPECT_TRUE(Contains(Slurp(json), "\"text\": \"" + c.Designator + "\"")) << c.Option;
    EXPECT_TRUE(Contains(Slurp(svg), ">" + c.Designator + "</text>")) << c.Option;
  }
}

}  // namespace

// The import driver through the loaded plug-in: the stand-in host module is
// loaded first, then libLoadVexal.so, and ImportFileIntoPcb is looked up by
// name and called as the editor calls it. The program exports the stand-in
// host client (ClientAPI_*) and the platform hooks.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/client/PlatformHooks.h"
#include "host/tarvex/TarvexHost.h"
#include "hostapi/PcbApiAbi.h"
#include "hostapi/ShortString.h"
#include "platform/Platform.h"
#include "tests/support/LoadedVexal.h"

namespace {

namespace fs = std::filesystem;

fs::path TestFolder() {
  static const fs::path folder = loadedtest::ProgramFolder("vexal-import");
  return folder;
}

using loadedtest::LoadedVexal;

// The host module first, then the plug-in, as the editor loads them.
const LoadedVexal& Modules() {
  static const LoadedVexal loaded = loadedtest::LoadVexal(TestFolder() / "appdata");
  if (!loaded.Host || !loaded.Import) throw std::runtime_error("modules not loaded");
  return loaded;
}

tarvex::ITarvexHost& Host() { return *Modules().Host; }

std::string WriteFile(const std::string& name, const std::string& content) {
  const fs::path path = TestFolder() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return path.string();
}

bool Import(const std::string& path) {
  const hostapi::ShortString name(path);
  const hostapi::ShortString empty("");
  return Modules().Import(name.Bytes.data(), empty.Bytes.data()) != 0;
}

// The lines of the report beside `path`; CR LF after every line.
std::vector<std::string> ReportLines(const std::string& path) {
  const fs::path report = fs::path(path).replace_extension("rpt");
  std::ifstream in(report, std::ios::binary);
  EXPECT_TRUE(in.good()) << report;
  std::stringstream content;
  content << in.rdbuf();
  const std::string text = content.str();
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "text after the last line end";
  return lines;
}

// The line after the line that equals `heading`, or "(none)".
std::string LineAfter(const std::vector<std::string>& lines, const std::string& heading) {
  for (size_t i = 0; i + 1 < lines.size(); ++i)
    if (lines[i] == heading) return lines[i + 1];
  return "(none)";
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

const std::string kSmallBoard =
    "VEXAL_ASCII \"small.pcb\"\r\n"
    "\r\n"
    "(asciiHeader\r\n"
    "  (asciiVersion 3 0)\r\n"
    "  (fileUnits Mil)\r\n"
    ")\r\n"
    "\r\n"
    "(pcbDesign \"small\"\r\n"
    "  (layerDef \"Top\" (layerNum 1) (layerType Signal))\r\n"
    "  (layerContents (layerNumRef 1) (line (pt 0 0) (pt 100 0) (width 10)))\r\n"
    ")\r\n";

class ImportDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    Host().Reset();
    standin::ResetHooks();
    standin::SetMessageBoxEcho(false);
  }
};

TEST_F(ImportDriver, AnUnrecognisedFileAnswersFalseAndItsReportHoldsTheSingleError) {
  const std::string path = WriteFile("other.pcb", "PCB FILE 4\r\nVEXAL_ASCII\r\n");
  EXPECT_FALSE(Import(path));
  const auto lines = ReportLines(path);
  EXPECT_EQ(LineAfter(lines, "Load Errors : 1"),
            "Unsupported file version. Please try to import KIVO files in ASCII format!");
  EXPECT_EQ(LineAfter(lines, "Load Warnings : 0"), "");
  EXPECT_EQ(LineAfter(lines, "Import Warnings : 0"), "");
  EXPECT_TRUE(Host().Progress().empty());  // the file was not read
  EXPECT_TRUE(Host().Events().empty());
}

TEST_F(ImportDriver, WithoutACurrentBoardTheWholeFileIsReadAndNothingTranslated) {
  const std::string path = WriteFile("small.pcb", kSmallBoard);
  EXPECT_TRUE(Import(path));
  ASSERT_EQ(Host().Progress().size(), 1u);
  const tarvex::ProgressRun& run = Host().Progress()[0];
  EXPECT_EQ(run.Title, "Loading KIVO file " + path);
  EXPECT_EQ(run.Total, static_cast<int32_t>(kSmallBoard.size()));
  EXPECT_GE(run.Updates, run.Total);
  EXPECT_TRUE(run.Finished);
  EXPECT_EQ(Host().Events(), (std::vector<tarvex::EventMessage>{{0, 0, 13, 0}}));
  EXPECT_TRUE(Host().Documents().empty());
  EXPECT_TRUE(standin::MessageBoxes().empty());
  const auto lines = ReportLines(path);
  EXPECT_TRUE(HasLine(lines, "Load Errors : 0"));
  EXPECT_EQ(lines.at(1), "PCB File : small.pcb");
}

TEST_F(ImportDriver, WithACurrentBoardTheClosingEventsReachTheHostInOrder) {
  const tarvex::THandle board = Host().NewDocument("PCB", (TestFolder() / "board.pcb").string());
  Host().MakeCurrent(board);
  const std::string path = WriteFile("board.pcb", kSmallBoard);
  EXPECT_TRUE(Import(path));
  using E = tarvex::EventMessage;
  EXPECT_EQ(Host().Events(), (std::vector<E>{{0, 0, 13, 0}, {0, 0, 14, 0}, {0, 0, 12, board}, {0, 0, 7, 0},
                                             {0, 0, 8, 0}, {0, 0, 10, 0}, {0, 0, 11, board}}));
  EXPECT_EQ(Host().LiveIterators(), 0);
}

TEST_F(ImportDriver, ATruncatedDesignShowsTheMessageAndTheImportStillSucceeds) {
  const tarvex::THandle board = Host().NewDocument("PCB", (TestFolder() / "cut.pcb").string());
  Host().MakeCurrent(board);
  const std::string path = WriteFile("cut.pcb", kSmallBoard.substr(0, kSmallBoard.find("(width")));
  EXPECT_TRUE(Import(path));
  ASSERT_EQ(standin::MessageBoxes().size(), 1u);
  EXPECT_EQ(standin::MessageBoxes()[0].Text, "Unexpected End Of File");
  EXPECT_EQ(standin::MessageBoxes()[0].Caption, "Veltrix Error");
  EXPECT_EQ(Host().Events().back(), (tarvex::EventMessage{0, 0, 11, board}));
}

TEST_F(ImportDriver, AFileWithoutTheHeaderWordFirstIsReadAsEmptyWithOneErrorWithoutText) {
  // Recognised (the word stands in the first line) but not the first token.
  const std::string path = WriteFile("late.pcb", "x VEXAL_ASCII\r\n(asciiHeader (fileUnits mm))\r\n");
  EXPECT_TRUE(Import(path));
  const auto lines = ReportLines(path);
  EXPECT_EQ(LineAfter(lines, "Load Errors : 1"), "");
  // Reading stopped at the first token; the progress display still ends.
  ASSERT_EQ(Host().Progress().size(), 1u);
  EXPECT_LT(Host().Progress()[0].Updates, Host().Progress()[0].Total);
  EXPECT_TRUE(Host().Progress()[0].Finished);
}

TEST_F(ImportDriver, AFileThatCannotBeReadAfterRecognitionAnswersFalseWithTheIOError) {
  // A pipe that this test holds open for reading and writing (so that no
  // open of it waits), holding the header line: recognition reads its first
  // line, the tokenizer then finds no regular file to read.
  const std::string path = (TestFolder() / "pipe.pcb").string();
  fs::remove(path);
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  const int pipe = open(path.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(pipe, 0);
  const char header[] = "VEXAL_ASCII\r\n";
  ASSERT_EQ(write(pipe, header, sizeof header - 1), static_cast<ssize_t>(sizeof header - 1));
  const bool result = Import(path);
  close(pipe);
  EXPECT_FALSE(result);
  const auto lines = ReportLines(path);
  EXPECT_EQ(LineAfter(lines, "Load Errors : 1"), "ERROR: A General IO Error has occured with the file");
  EXPECT_TRUE(Host().Progress().empty());
  fs::remove(path);
}

TEST_F(ImportDriver, NoFileNameAtAllIsNotRecognised) {
  EXPECT_EQ(Modules().Import(nullptr, nullptr), 0);
  EXPECT_FALSE(Import(""));
}

}  // namespace

#include "vexal/entry/ImportDriver.h"

#include "hostapi/HostPcbApi.h"
#include "hostapi/ShortString.h"
#include "vexal/entry/Recognise.h"
#include "vexal/options/UserOptions.h"
#include "vexal/reader/VexalAsciiFile.h"
#include "vexal/reader/VexalParser.h"
#include "vexal/report/ReportManager.h"

namespace vexal {

THandle TargetBoardHandle = 0;

namespace {

enum class TImportKind { Board, Library };

// The options dialog of a board import.
constexpr TOptionsDialog kOptionsDialog = ShowOptionsDialog;

// Reads and translates a recognised file. Answers false when the file could
// not be opened for reading after all (the report then holds the general IO
// error).
bool ReadAndTranslate(const std::string& fileName, TImportKind kind, TReportManager& report) {
  TVexalParser parser(fileName);
  if (!parser.FileOpened()) {
    report.AddLoadError(leGeneralIOError);
    return false;
  }
  parser.BuildKeywordTable();
  TVexalAsciiFile root(&parser, fileName);
  root.Report = &report;
  root.Board = TargetBoardHandle != 0 ? TargetBoardHandle : hostapi::PcbApi_GetCurrentBoardHandle();
  root.OptionsDialog = kOptionsDialog;
  if (kind == TImportKind::Library)
    root.ParseLibraryFile();
  else
    root.Parse();
  // The tokenizer ends the host's progress display when it reaches the end
  // of the file; a read that stopped before (no header word, a library file,
  // an abort) ends it here, so that it does not stay on during the dialog
  // and after the import.
  if (!parser.EndOfFile()) hostapi::PcbApi_Percent_Finish();
  if (kind == TImportKind::Library)
    root.TranslateLibraryFile();
  else
    root.Translate();
  return true;
}

bool Import(const std::string& fileNameArgument, TImportKind kind) {
  const std::string fileName = hostapi::CutString(fileNameArgument);
  const bool recognised = IsVexalAsciiFile(fileName);
  TReportManager report;
  report.SetPcbFileName(fileName);
  bool result = false;
  if (recognised) {
    try {
      result = ReadAndTranslate(fileName, kind, report);
    } catch (...) {
      // Out of memory while reading or translating: the import did not
      // happen; the report is still written.
      result = false;
    }
  } else {
    report.AddLoadError(leUnsupportedFile);
  }
  report.FinishReport();
  return result;
}

}  // namespace

bool ImportFileIntoPcb(const std::string& fileName, const std::string& /*second*/) {
  return Import(fileName, TImportKind::Board);
}

bool ImportFileIntoPcbLibrary(const std::string& fileName, const std::string& /*second*/) {
  return Import(fileName, TImportKind::Library);
}

}  // namespace vexal

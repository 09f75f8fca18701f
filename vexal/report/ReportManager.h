// The translation report of one LoadVexal import.
//
// TReportManager collects what the reading and the translation of a file
// record (errors and warnings, each line with a detail level), counts the
// recorded conditions, and at the end writes the report file beside the
// imported file ("<name>.rpt", 8-bit text, CR LF after every line) and, when
// anything was recorded, shows the completion dialog TTranslationStatus, from
// which the user may open the report in the host's text editor.
//
// Each section (load errors, load warnings, load events, import errors,
// import warnings, import events) has a level; an entry is written when its
// level is at most its section's. Filtering happens only when the text is
// composed, so levels changed after recording still apply. The collector
// never stops an import and reports nothing about itself.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "hostapi/PcbTypes.h"  // THandle

// Detail levels of entries and sections.
inline constexpr uint8_t rlNone = 0;
inline constexpr uint8_t rlBrief = 1;
inline constexpr uint8_t rlNormal = 2;
inline constexpr uint8_t rlFull = 3;
inline constexpr uint8_t rlDetailed = 4;

// Kinds of AddLoadError.
inline constexpr uint8_t leGeneralIOError = 0;    // one line
inline constexpr uint8_t leNoHeaderWord = 1;      // counted, no line
inline constexpr uint8_t leUnsupportedFile = 2;   // one line
// Kinds of AddLoadWarning.
inline constexpr uint8_t lwUnhandledToken = 0;    // two lines, or none for an empty text
inline constexpr uint8_t lwPolygonVoids = 1;      // one line
inline constexpr uint8_t lwLayerStringCount = 3;  // two lines
inline constexpr uint8_t lwText = 4;              // the caller's text
// Kinds of AddImportWarning.
inline constexpr uint8_t iwNetPinMismatch = 0;    // names a component
inline constexpr uint8_t iwNoPrimitives = 1;      // names a component
inline constexpr uint8_t iwText = 3;              // the caller's text

struct TReportEntry {
  uint8_t Level = 0;
  std::string Text;
};

// The clock of the report's date and time lines: the local time now. Tests
// install a fixed one.
using TReportClock = std::tm (*)();
// Installs a clock (nullptr: the system's local time) and answers the one
// installed before.
TReportClock SetReportClock(TReportClock clock);

// What FinishReport did with the report file.
enum class TReportFileState {
  NotFinished,  // FinishReport has not run
  Disabled,     // every section level is 0: no file, no dialog
  Written,      // the file holds the report
  NotWritten,   // the file could not be formed or written (see ReportFileProblem)
};

class TReportManager {
 public:
  TReportManager();

  // The imported file's path (at most 255 characters are kept); the report
  // is named after it.
  void SetPcbFileName(std::string_view path);
  const std::string& PcbFileName() const { return PcbFileName_; }

  // Each call counts one condition, also for a kind that adds no line.
  void AddLoadError(uint8_t kind, int32_t unused = 0);
  // `text` may be empty or nullptr (read as empty); it ends at its first
  // zero byte and is copied.
  void AddLoadWarning(uint8_t kind, const char* text);
  void AddLoadWarning(uint8_t kind, const std::string& text);
  // A text kind (3) with a text; a component kind (0, 1) names the component
  // by this text.
  void AddImportWarning(uint8_t kind, const char* text);
  void AddImportWarning(uint8_t kind, const std::string& text);
  // A component kind (0, 1) with the host's handle of a component, whose
  // designator is read from the host; a text kind given a handle adds no
  // line.
  void AddImportWarning(uint8_t kind, THandle component);

  void SetLoadErrorLevel(uint8_t level) { LoadErrorLevel_ = level; }
  void SetLoadWarningLevel(uint8_t level) { LoadWarningLevel_ = level; }
  void SetLoadEventLevel(uint8_t level) { LoadEventLevel_ = level; }
  void SetImportErrorLevel(uint8_t level) { ImportErrorLevel_ = level; }
  void SetImportWarningLevel(uint8_t level) { ImportWarningLevel_ = level; }
  void SetImportEventLevel(uint8_t level) { ImportEventLevel_ = level; }
  uint8_t LoadErrorLevel() const { return LoadErrorLevel_; }
  uint8_t LoadWarningLevel() const { return LoadWarningLevel_; }
  uint8_t LoadEventLevel() const { return LoadEventLevel_; }
  uint8_t ImportErrorLevel() const { return ImportErrorLevel_; }
  uint8_t ImportWarningLevel() const { return ImportWarningLevel_; }
  uint8_t ImportEventLevel() const { return ImportEventLevel_; }

  int32_t LoadErrorCount() const { return LoadErrors_; }
  int32_t LoadWarningCount() const { return LoadWarnings_; }
  int32_t ImportErrorCount() const { return ImportErrors_; }
  int32_t ImportWarningCount() const { return ImportWarnings_; }

  const std::vector<TReportEntry>& LoadEventList() const { return LoadEventList_; }
  const std::vector<TReportEntry>& LoadErrorList() const { return LoadErrorList_; }
  const std::vector<TReportEntry>& LoadWarningList() const { return LoadWarningList_; }
  const std::vector<TReportEntry>& ImportEventList() const { return ImportEventList_; }
  const std::vector<TReportEntry>& ImportErrorList() const { return ImportErrorList_; }
  const std::vector<TReportEntry>& ImportWarningList() const { return ImportWarningList_; }

  // Appends the report text, one line per element (no line ends).
  void BuildReportLines(std::vector<std::string>& lines) const;

  // The path of the report: the imported file's path with the extension
  // "rpt" (the host's ClientAPI_ForceFileNameExtension); empty when it
  // cannot be formed (no file name, or the host service is absent).
  std::string ReportFilePath() const;

  // Writes the report file and, when a condition was counted, shows the
  // completion dialog; opens the report in the host when the user closes it
  // with the View Report box ticked. A report that cannot be written leaves
  // the import unaffected: the dialog still shows, with View Report unticked
  // and disabled.
  void FinishReport();

  TReportFileState ReportFileState() const { return FileState_; }
  // Why the report was not written ("" otherwise).
  const std::string& ReportFileProblem() const { return FileProblem_; }

 private:
  uint8_t LoadErrorLevel_ = rlNormal;
  uint8_t LoadWarningLevel_ = rlNormal;
  uint8_t LoadEventLevel_ = rlNone;
  uint8_t ImportErrorLevel_ = rlNormal;
  uint8_t ImportWarningLevel_ = rlNormal;
  uint8_t ImportEventLevel_ = rlNone;

  std::string PcbFileName_;

  std::vector<TReportEntry> LoadEventList_;
  std::vector<TReportEntry> LoadErrorList_;
  std::vector<TReportEntry> LoadWarningList_;
  std::vector<TReportEntry> ImportEventList_;
  std::vector<TReportEntry> ImportErrorList_;
  std::vector<TReportEntry> ImportWarningList_;

  int32_t LoadErrors_ = 0;
  int32_t LoadWarnings_ = 0;
  int32_t ImportErrors_ = 0;
  int32_t ImportWarnings_ = 0;

  TReportFileState FileState_ = TReportFileState::NotFinished;
  std::string FileProblem_;
};

// Opens a file in the host: brings the document the host has open for it to
// the front (a text document shown from its top), or opens it as the kind
// of document the host gives its path. Nothing happens when the file does not
// exist or the module has no client interface.
void OpenFileInHost(const std::string& path);

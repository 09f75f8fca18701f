#include "vexal/report/ReportManager.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "hostapi/PcbObjects.h"
#include "hostapi/PcbTypes.h"
#include "hostclient/HostClient.h"
#include "vexal/report/TranslationComplete.h"

namespace {

constexpr size_t kMaxPathChars = 255;

std::tm SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

TReportClock gClock = nullptr;

std::tm Now() { return gClock ? gClock() : SystemLocalTime(); }

// The date and the time in the formats of the process's time locale (the
// host sets the user's): "%x" is its short date, "%X" its long time.
// The locale's short date may well show two digits of the year: that is the
// user's choice.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-y2k"
std::string ShortDate(const std::tm& t) {
  std::array<char, 128> buffer{};
  return std::string(buffer.data(), std::strftime(buffer.data(), buffer.size(), "%x", &t));
}
#pragma GCC diagnostic pop

std::string LongTime(const std::tm& t) {
  std::array<char, 128> buffer{};
  return std::string(buffer.data(), std::strftime(buffer.data(), buffer.size(), "%X", &t));
}

// A text handed over as zero-terminated: it ends at its first zero byte.
std::string ZeroTerminated(const char* text) { return text ? std::string(text) : std::string(); }

void Count(int32_t& counter) {
  if (counter < std::numeric_limits<int32_t>::max()) ++counter;
}

void AddFiltered(std::vector<std::string>& lines, const std::vector<TReportEntry>& entries,
                 uint8_t level) {
  for (const TReportEntry& e : entries)
    if (e.Level <= level) lines.push_back(e.Text);
}

// The designator of a host component: the text of its name object.
std::string DesignatorOf(THandle component) {
  TPcbComponent wrapper(component);
  wrapper.Exchange(qdRead);
  return wrapper.GetName();
}

bool IsSameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// Writes the lines, each followed by CR LF, replacing any file there. On a
// failure after the file was opened the partial file is removed, so that no
// half report stands for this import.
bool WriteLines(const std::string& path, const std::vector<std::string>& lines, std::string& problem) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    problem = "the report file cannot be created";
    return false;
  }
  bool ok = true;
  for (const std::string& line : lines) {
    if (std::fwrite(line.data(), 1, line.size(), f) != line.size() || std::fwrite("\r\n", 1, 2, f) != 2) {
      ok = false;
      break;
    }
  }
  if (std::fclose(f) != 0) ok = false;
  if (!ok) {
    std::remove(path.c_str());
    problem = "the report file could not be written";
  }
  return ok;
}

}  // namespace

TReportClock SetReportClock(TReportClock clock) {
  const TReportClock previous = gClock;
  gClock = clock;
  return previous;
}

TReportManager::TReportManager() = default;

void TReportManager::SetPcbFileName(std::string_view path) {
  PcbFileName_ = std::string(path.substr(0, std::min(path.size(), kMaxPathChars)));
}

void TReportManager::AddLoadError(uint8_t kind, int32_t /*unused*/) {
  Count(LoadErrors_);
  switch (kind) {
    case leGeneralIOError:
      LoadErrorList_.push_back({rlBrief, "ERROR: A General IO Error has occured with the file"});
      break;
    case leUnsupportedFile:
      LoadErrorList_.push_back(
          {rlBrief, "Unsupported file version. Please try to import KIVO files in ASCII format!"});
      break;
    default:
      break;  // kind 1 and unknown kinds: counted only
  }
}

void TReportManager::AddLoadWarning(uint8_t kind, const std::string& text) {
  AddLoadWarning(kind, text.c_str());
}

void TReportManager::AddLoadWarning(uint8_t kind, const char* text) {
  Count(LoadWarnings_);
  const std::string t = ZeroTerminated(text);
  switch (kind) {
    case lwUnhandledToken:
      if (t.empty()) break;
      LoadWarningList_.push_back({rlFull, "WARNING: Unhandled Token found " + t});
      LoadWarningList_.push_back(
          {rlDetailed, "         This could be caused by missing/extra brackets \"{}\""});
      break;
    case lwPolygonVoids:
      LoadWarningList_.push_back({rlBrief, "WARNING: Polygon Voids are not imported"});
      break;
    case lwLayerStringCount:
      LoadWarningList_.push_back({rlBrief, "WARNING: Number of Layer Strings does not Physical ID Map"});
      LoadWarningList_.push_back({rlNormal, "         Possible cause is an Invalid KIVO file"});
      break;
    case lwText:
      LoadWarningList_.push_back({rlNormal, t});
      break;
    default:
      break;
  }
}

void TReportManager::AddImportWarning(uint8_t kind, const std::string& text) {
  AddImportWarning(kind, text.c_str());
}

void TReportManager::AddImportWarning(uint8_t kind, const char* text) {
  Count(ImportWarnings_);
  const std::string t = ZeroTerminated(text);
  switch (kind) {
    case iwNetPinMismatch:
      ImportWarningList_.push_back(
          {rlBrief, "WARNING: Mismatch on number of nets and number of pin on component " + t});
      break;
    case iwNoPrimitives:
      ImportWarningList_.push_back(
          {rlBrief, "WARNING: No Component Primitives Translated for component " + t + ". Component Removed"});
      break;
    case iwText:
      ImportWarningList_.push_back({rlNormal, t});
      break;
    default:
      break;
  }
}

void TReportManager::AddImportWarning(uint8_t kind, THandle component) {
  if (kind == iwNetPinMismatch || kind == iwNoPrimitives) {
    AddImportWarning(kind, DesignatorOf(component));
    return;
  }
  Count(ImportWarnings_);  // a text kind given no text: counted only
}

void TReportManager::BuildReportLines(std::vector<std::string>& lines) const {
  const std::tm now = Now();
  lines.push_back("Vortan Design System: KIVO 2000/2001 ASCII To Vortanex Translator Report");
  lines.push_back("PCB File : " + hostclient::ClientAPI_ExtractFileNameFromPath(PcbFileName_));
  lines.push_back("Date     : " + ShortDate(now));
  lines.push_back("Time     : " + LongTime(now));
  lines.emplace_back();
  lines.emplace_back();

  lines.push_back("Load Errors : " + std::to_string(LoadErrors_));
  AddFiltered(lines, LoadErrorList_, LoadErrorLevel_);
  lines.emplace_back();

  lines.push_back("Import Errors : " + std::to_string(ImportErrors_));
  AddFiltered(lines, ImportErrorList_, ImportErrorLevel_);
  lines.emplace_back();

  lines.push_back("Load Warnings : " + std::to_string(LoadWarnings_));
  AddFiltered(lines, LoadWarningList_, LoadWarningLevel_);
  lines.emplace_back();

  lines.push_back("Import Warnings : " + std::to_string(ImportWarnings_));
  AddFiltered(lines, ImportWarningList_, ImportWarningLevel_);
  lines.emplace_back();

  if (LoadEventLevel_ > 0) {
    lines.push_back("Load Event List :");
    AddFiltered(lines, LoadEventList_, LoadEventLevel_);
  }
  lines.emplace_back();

  if (ImportEventLevel_ > 0) {
    lines.push_back("Import Event List :");
    AddFiltered(lines, ImportEventList_, ImportEventLevel_);
  }
}

std::string TReportManager::ReportFilePath() const {
  // Without a file name there is nothing for the report to lie beside.
  if (hostclient::ClientAPI_ExtractFileNameFromPath(PcbFileName_).empty()) return {};
  // The host's answer is taken whole: a path cut to 255 characters would name
  // another file.
  return hostclient::ClientAPI_ForceFileNameExtension(PcbFileName_, "rpt");
}

void TReportManager::FinishReport() {
  if (LoadErrorLevel_ == 0 && LoadWarningLevel_ == 0 && LoadEventLevel_ == 0 &&
      ImportErrorLevel_ == 0 && ImportWarningLevel_ == 0 && ImportEventLevel_ == 0) {
    FileState_ = TReportFileState::Disabled;
    return;
  }

  const std::string path = ReportFilePath();
  std::vector<std::string> lines;
  BuildReportLines(lines);
  FileProblem_.clear();
  bool written = false;
  if (path.empty()) {
    FileProblem_ = "no report path can be formed from the file name";
  } else if (IsSameFile(path, PcbFileName_)) {
    // An imported file with the extension "rpt": the report must not
    // replace the file it reports on.
    FileProblem_ = "the report path is the imported file itself";
  } else {
    written = WriteLines(path, lines, FileProblem_);
  }
  FileState_ = written ? TReportFileState::Written : TReportFileState::NotWritten;

  if (LoadErrors_ == 0 && ImportErrors_ == 0 && LoadWarnings_ == 0 && ImportWarnings_ == 0) return;

  TTranslationStatus dialog(hostclient::HostMainWindow());
  dialog.CheckBoxViewReport.SetChecked(true);
  if (!written) {
    // There is no report of this import to open (an older file of that
    // name may still be there).
    dialog.CheckBoxViewReport.SetChecked(false);
    dialog.CheckBoxViewReport.Enabled = false;
  }
  dialog.LabelStatus.Caption = (LoadErrors_ > 0 || ImportErrors_ > 0)
                                   ? "Errors occured during translation"
                                   : "Translation Complete, Warnings Found";
  const dialogs::TModalResult result = dialog.ShowModal();
  if (result == dialogs::mrOk && dialog.CheckBoxViewReport.Checked() && written) OpenFileInHost(path);
}

void OpenFileInHost(const std::string& path) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return;
  clientabi::IHostClient* client = hostclient::ClientInterface;
  if (!client) return;

  // The interfaces the client answers are borrowed: they stay the client's.
  if (clientabi::IHostDocument* document = client->FindDocumentByPath(path.c_str())) {
    clientabi::IHostServer* server = document->GetServer();
    document->Prepare();
    client->MakeDocumentCurrent(document);
    if (!server) return;
    const char* serverName = server->GetName();
    std::string name = serverName ? serverName : "";
    for (char& c : name)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (name != "TEXTEDIT") return;
    clientabi::IHostView* view = document->GetView(0);
    if (clientabi::IHostProcess* process =
            server->CreateServerProcess("TextEdit:MoveCursorToTopOfDocument", 0, 0, view))
      process->Run();
    return;
  }
  const char* kind = client->DocumentKindOfPath(path.c_str());
  const std::string kindText = kind ? kind : "";
  if (clientabi::IHostDocument* document = client->OpenDocument(kindText.c_str(), path.c_str()))
    client->MakeDocumentCurrent(document);
}

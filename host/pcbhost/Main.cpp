// pcbhost: the stand-in host program. It loads the host PCB module
// (libTarvex.so, from its own folder) first and then a plug-in by file
// name, as the editor does, looks the plug-in's exports up by name and calls
// them through pointers.
//
//   pcbhost describe PLUGIN
//   pcbhost recognise FILE [--plugin PLUGIN]
//   pcbhost run SERVER COMMAND [NAME=VALUE]... (host/pcbhost/RunCommand.h)
//   pcbhost import FILE [--plugin PLUGIN] [--json OUT] [--svg OUT] [--layers NAMES]
//                       [--cancel | --dialog-script SCRIPT | --interactive]
//                       [--map "NAME=Host Layer"]... [--common-dialog ANSWER]...
//                       [--answer yes|no] [--codepage 1252|1251|1250] [--quiet]
//
// PLUGIN is a path (it holds a '/') or a name: LoadSarnovik stands for
// libLoadSarnovik.so beside pcbhost. Without --plugin the plug-ins the host
// knows (LoadVexal and LoadSarnovik, or the list in the environment
// variable PCBHOST_PLUGINS, separated by ':', on Windows by ';') are asked
// in turn (Plugins.h).
//
// The user's part in the plug-in's dialogs: without an option every dialog
// closes through its default button (OK, Close); --cancel cancels them;
// --dialog-script plays the actions of a script file (docs/dialog-scripts.md).
// Each --common-dialog gives the answer of one showing of the host's common
// file dialog, in order ("Result=True|Path=/tmp/a.cfg"); once they are used
// up the dialog answers "Result=False", as a user who dismisses it. With a
// person at a terminal (Console.h) the progress bar is drawn, Escape reaches
// the plug-in, message boxes are asked, and --interactive lets the person
// work the dialogs; --map maps rows of the options dialog; --answer answers
// message boxes. After the import a summary is printed: the result, the
// progress runs, the objects per kind and per layer, what else was made, the
// report's path and counters when the import wrote one, and the time taken.
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/client/StandInClient.h"
#include "host/pcbhost/CommandOptions.h"
#include "host/pcbhost/Console.h"
#include "host/pcbhost/Plugins.h"
#include "host/pcbhost/RunCommand.h"
#include "host/pcbhost/Summary.h"
#include "host/tarvex/TarvexHost.h"

namespace {

using namespace pcbhost;

// A length-prefixed string, cut to 255 characters.
std::array<uint8_t, 256> ShortString(const std::string& text) {
  std::array<uint8_t, 256> s{};
  const size_t n = std::min<size_t>(text.size(), 255);
  s[0] = static_cast<uint8_t>(n);
  for (size_t i = 0; i < n; ++i) s[i + 1] = static_cast<uint8_t>(text[i]);
  return s;
}

bool IsImporter(const Plugin& p) { return p.Recognise && p.Import; }

bool Recognises(const Plugin& p, const std::string& file) {
  const auto name = ShortString(file);
  return p.Recognise(name.data()) != 0;
}

// The plug-in of --plugin, or the first known plug-in that recognises the
// file. On failure `code` holds the exit code and the message is printed.
bool ChoosePlugin(const std::string& chosen, const std::string& file, Plugin& plugin, int& code) {
  std::string error;
  if (!chosen.empty()) {
    if (!LoadPlugin(chosen, plugin, error)) {
      code = Fail(error);
      return false;
    }
    if (!IsImporter(plugin)) {
      code = Fail("plug-in " + plugin.Path + " does not export RecognisedPCBFile and ImportFileIntoPcb");
      return false;
    }
    if (!Recognises(plugin, file)) {
      code = Fail("plug-in " + chosen + " does not recognise " + file, kExitRefused);
      return false;
    }
    return true;
  }
  for (const std::string& name : KnownPlugins()) {
    Plugin candidate;
    if (!LoadPlugin(name, candidate, error) || !IsImporter(candidate)) continue;
    if (Recognises(candidate, file)) {
      plugin = candidate;
      return true;
    }
  }
  code = Fail("no plug-in recognises " + file, kExitRefused);
  return false;
}

int Describe(const std::vector<std::string>& args) {
  if (args.size() != 1) return Fail("usage: pcbhost describe PLUGIN");
  std::string error;
  if (!LoadHostModule(error)) return Fail(error);
  Plugin p;
  if (!LoadPlugin(args[0], p, error)) return Fail(error);
  if (!p.Describe && !p.Recognise && !p.Import && !p.Factory)
    return Fail("plug-in " + p.Path + " exports none of the plug-in functions");
  std::printf("plug-in: %s\n", p.Path.c_str());
  std::printf("GetPcbImporterDescription: %s\n", p.Describe ? "exported" : "missing");
  std::printf("RecognisedPCBFile: %s\n", p.Recognise ? "exported" : "missing");
  std::printf("ImportFileIntoPcb: %s\n", p.Import ? "exported" : "missing");
  std::printf("ServerFactory: %s\n", p.Factory ? "exported" : "missing");
  if (p.Describe) {
    const char* text = p.Describe();
    std::printf("description: %s\n", text ? text : "");
  }
  return kExitOk;
}

struct Options : CommandOptions {
  std::string File;
};

// `importing` allows the options of an import (outputs and dialog answers);
// recognising takes --plugin only.
bool ParseOptions(const std::vector<std::string>& args, bool importing, Options& o,
                  std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (importing || a == "--plugin") {
      const int taken = TakeCommandOption(args, i, o, error);
      if (taken < 0) return false;
      if (taken > 0) continue;
    }
    if (!a.empty() && a[0] == '-' && a != "-") {
      error = "unknown option " + a;
      return false;
    } else if (o.File.empty()) {
      o.File = a;
    } else {
      error = "more than one file given";
      return false;
    }
  }
  if (o.File.empty()) {
    error = "no file given";
    return false;
  }
  return CheckCommandOptions(o, error);
}

// What stood at the report's path before the import.
struct FileStamp {
  bool Exists = false;
  std::filesystem::file_time_type Time{};
  std::uintmax_t Size = 0;
};

FileStamp StampOf(const std::string& path) {
  FileStamp stamp;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return stamp;
  stamp.Time = std::filesystem::last_write_time(path, ec);
  if (ec) return stamp;
  stamp.Size = std::filesystem::file_size(path, ec);
  stamp.Exists = !ec;
  return stamp;
}

// Whether the import wrote the report: it stands there now, and not as it stood before.
bool ReportWritten(const std::string& path, const FileStamp& before) {
  const FileStamp after = StampOf(path);
  if (!after.Exists) return false;
  return !(before.Exists && before.Time == after.Time && before.Size == after.Size);
}

bool FileExists(const std::string& file) {
  std::error_code ec;
  return std::filesystem::is_regular_file(file, ec);
}

int Recognise(const std::vector<std::string>& args) {
  Options o;
  std::string error;
  if (!ParseOptions(args, false, o, error))
    return Fail(error + "; usage: pcbhost recognise FILE [--plugin PLUGIN]");
  if (!FileExists(o.File)) return Fail("no such file: " + o.File);
  if (!LoadHostModule(error)) return Fail(error);
  const std::string file = FullPath(o.File);
  Plugin p;
  int code = kExitOk;
  if (!ChoosePlugin(o.Plugin, file, p, code)) return code;
  std::printf("%s: recognised by %s\n", file.c_str(), p.Name.c_str());
  return kExitOk;
}

constexpr char kImportUsage[] =
    "pcbhost import FILE [--plugin PLUGIN] [--json OUT] [--svg OUT] [--layers NAMES] "
    "[--cancel | --dialog-script SCRIPT | --interactive] [--map \"NAME=Host Layer\"]... "
    "[--common-dialog ANSWER]... [--answer yes|no] [--codepage 1252|1251|1250] [--quiet]";

int Import(const std::vector<std::string>& args) {
  Options o;
  std::string error;
  if (!ParseOptions(args, true, o, error))
    return Fail(error + "; usage: " + kImportUsage);
  if (!FileExists(o.File)) return Fail("no such file: " + o.File);
  tarvex::ITarvexHost* host = LoadHostModule(error);
  if (!host) return Fail(error);
  if (!SetUpDialogs(o, *host, error)) return Fail(error);
  const std::string file = FullPath(o.File);
  Plugin p;
  int code = kExitOk;
  if (!ChoosePlugin(o.Plugin, file, p, code)) return code;

  // The editor's way: a new board document for the file, made current.
  const tarvex::THandle board = host->NewDocument("PCB", file);
  host->MakeCurrent(board);
  void* serverModule = nullptr;
  if (p.Factory) p.Factory(&serverModule, standin::HostClient());

  const std::string reportPath = ReportPathOf(file);
  const FileStamp reportBefore = StampOf(reportPath);
  const auto name = ShortString(file);
  const auto none = ShortString("");
  Console console;
  if (!console.Start(o.Person, *host, error)) return Fail(error);
  const auto started = std::chrono::steady_clock::now();
  const bool imported = p.Import(name.data(), none.data()) != 0;
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  console.Stop();
  for (const std::string& problem : console.MapProblems())
    std::fprintf(stderr, "pcbhost: %s\n", problem.c_str());

  FILE* info = SummaryStream(o);
  std::fprintf(info, "%s: %s by %s\n", file.c_str(), imported ? "imported" : "not imported",
               p.Name.c_str());
  for (const tarvex::ProgressRun& run : host->Progress())
    std::fprintf(info, "progress: %s (total %d, %lld steps%s)\n", run.Title.c_str(), run.Total,
                 static_cast<long long>(run.Updates), run.Finished ? ", finished" : "");
  std::fputs(ObjectsLine(*host, board).c_str(), info);
  std::fputs(SummaryTable(*host, board).c_str(), info);
  if (ReportWritten(reportPath, reportBefore)) PrintReportCounts(info, reportPath);
  std::fprintf(info, "%s\n", TimeLine(took.count()).c_str());

  const int written = WriteOutputs(o, *host, board);
  if (serverModule) static_cast<clientabi::IRefCounted*>(serverModule)->Release();
  if (written != kExitOk) return written;
  // A --map that could not be played cancelled the options dialog.
  if (!console.MapProblems().empty()) return kExitError;
  return imported ? kExitOk : kExitRefused;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
      return Fail(
          "usage: pcbhost describe PLUGIN | recognise FILE [--plugin PLUGIN] | "
          "import FILE [--plugin PLUGIN] [--json OUT] [--svg OUT] "
          "[--cancel | --dialog-script SCRIPT] [--common-dialog ANSWER]... | " +
          std::string(pcbhost::kRunUsage).substr(std::string("pcbhost ").size()));
    }
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "describe") return Describe(args);
    if (command == "recognise") return Recognise(args);
    if (command == "import") return Import(args);
    if (command == "run") return pcbhost::RunServerCommand(args);
    return Fail("unknown command " + command);
  } catch (const std::exception& e) {
    return Fail(std::string("failed: ") + e.what());
  }
}

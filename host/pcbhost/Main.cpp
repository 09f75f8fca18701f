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
// knows (LoadVexal and LoadSarnovik, or the ':'-separated list in the
// environment variable PCBHOST_PLUGINS) are asked in turn.
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
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "host/client/PlatformHooks.h"
#include "host/client/StandInClient.h"
#include "host/pcbhost/Console.h"
#include "host/pcbhost/JsonExport.h"
#include "host/pcbhost/RunCommand.h"
#include "host/pcbhost/Summary.h"
#include "host/pcbhost/SvgExport.h"
#include "host/tarvex/TarvexHost.h"
#include "hostapi/PcbApiAbi.h"
#include "platform/Platform.h"
#include "platform/dialogs/DialogScript.h"

namespace {

#ifdef _WIN32
constexpr char kPathSeparators[] = "/\\";
#else
constexpr char kPathSeparators[] = "/";
#endif

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;  // not recognised, or the import answered false
constexpr int kExitError = 2;    // bad usage, missing file, unusable plug-in or host module

using GetPcbImporterDescription_t = const char*(PCBAPI_CALL*)(void);
using RecognisedPCBFile_t = uint8_t(PCBAPI_CALL*)(const uint8_t*);
using ImportFileIntoPcb_t = uint8_t(PCBAPI_CALL*)(const uint8_t*, const uint8_t*);
using ServerFactory_t = void(PCBAPI_CALL*)(void**, clientabi::IHostClient*);

struct Plugin {
  std::string Name;  // as given
  std::string Path;
  platform::ModuleHandle Module = nullptr;
  GetPcbImporterDescription_t Describe = nullptr;
  RecognisedPCBFile_t Recognise = nullptr;
  ImportFileIntoPcb_t Import = nullptr;
  ServerFactory_t Factory = nullptr;
};

int Fail(const std::string& message, int code = kExitError) {
  std::fprintf(stderr, "pcbhost: %s\n", message.c_str());
  return code;
}

// dlerror texts may span lines; a message stays on one.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

std::string ProgramFolder() { return platform::ExecutableFolder(); }

// A length-prefixed string, cut to 255 characters.
std::array<uint8_t, 256> ShortString(const std::string& text) {
  std::array<uint8_t, 256> s{};
  const size_t n = std::min<size_t>(text.size(), 255);
  s[0] = static_cast<uint8_t>(n);
  for (size_t i = 0; i < n; ++i) s[i + 1] = static_cast<uint8_t>(text[i]);
  return s;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string PluginPath(const std::string& plugin) {
  if (plugin.find_first_of(kPathSeparators) != std::string::npos) return plugin;
  const std::string file = (EndsWith(plugin, ".so") || EndsWith(plugin, ".dll"))
                               ? plugin
                               : platform::PlatformModuleName(plugin);
  return platform::JoinPath(ProgramFolder(), file);
}

bool LoadPlugin(const std::string& name, Plugin& plugin, std::string& error) {
  plugin.Name = name;
  plugin.Path = PluginPath(name);
  plugin.Module = platform::LoadModule(plugin.Path, &error);
  if (!plugin.Module) {
    error = "cannot load plug-in " + plugin.Path + ": " + OneLine(error);
    return false;
  }
  plugin.Describe = reinterpret_cast<GetPcbImporterDescription_t>(
      platform::FindExport(plugin.Module, "GetPcbImporterDescription"));
  plugin.Recognise = reinterpret_cast<RecognisedPCBFile_t>(
      platform::FindExport(plugin.Module, "RecognisedPCBFile"));
  plugin.Import = reinterpret_cast<ImportFileIntoPcb_t>(
      platform::FindExport(plugin.Module, "ImportFileIntoPcb"));
  plugin.Factory =
      reinterpret_cast<ServerFactory_t>(platform::FindExport(plugin.Module, "ServerFactory"));
  return true;
}

bool IsImporter(const Plugin& p) { return p.Recognise && p.Import; }

std::vector<std::string> KnownPlugins() {
  const char* list = std::getenv("PCBHOST_PLUGINS");
  if (!list) return {"LoadVexal", "LoadSarnovik"};
  std::vector<std::string> names;
  std::string item;
  for (const char* c = list;; ++c) {
    if (*c == ':' || *c == '\0') {
      if (!item.empty()) names.push_back(item);
      item.clear();
      if (*c == '\0') break;
    } else {
      item += *c;
    }
  }
  return names;
}

tarvex::ITarvexHost* LoadHostModule(std::string& error) {
  const std::string path =
      platform::JoinPath(ProgramFolder(), platform::PlatformModuleName("Tarvex.dll"));
  platform::ModuleHandle module = platform::LoadModule(path, &error);
  if (!module) {
    error = "cannot load the host module " + path + ": " + OneLine(error);
    return nullptr;
  }
  tarvex::ITarvexHost* host = tarvex::TarvexHostOf(module);
  if (!host) error = "the host module " + path + " has no host interface";
  return host;
}

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

struct Options {
  std::string File;
  std::string Plugin;
  std::string Json;
  bool HasJson = false;
  std::string Svg;
  bool HasSvg = false;
  bool Cancel = false;
  std::string DialogScript;  // path of the script file
  bool HasDialogScript = false;
  std::vector<std::string> CommonDialogAnswers;
  pcbhost::PersonOptions Person;  // progress, answers, dialogs by hand, texts
};

// `importing` allows the options of an import (outputs and dialog answers).
bool ParseOptions(const std::vector<std::string>& args, bool importing, Options& o,
                  std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (importing) {
      const int taken = pcbhost::TakePersonOption(args, i, o.Person, error);
      if (taken < 0) return false;
      if (taken > 0) continue;
    }
    const std::string& a = args[i];
    if (importing && a == "--cancel") {
      o.Cancel = true;
    } else if (importing && (a == "--dialog-script" || a == "--common-dialog")) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      if (a == "--dialog-script") {
        o.DialogScript = args[++i];
        o.HasDialogScript = true;
      } else {
        o.CommonDialogAnswers.push_back(args[++i]);
      }
    } else if (a == "--plugin" || (importing && (a == "--json" || a == "--svg"))) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      (a == "--plugin" ? o.Plugin : a == "--json" ? o.Json : o.Svg) = args[++i];
      if (a == "--json") o.HasJson = true;
      if (a == "--svg") o.HasSvg = true;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
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
  if (o.HasJson && o.HasSvg && o.Json == "-" && o.Svg == "-") {
    error = "--json and --svg cannot both write to standard output";
    return false;
  }
  if (o.Cancel && o.HasDialogScript) {
    error = "--cancel and --dialog-script cannot both be given";
    return false;
  }
  if ((o.Person.Interactive || !o.Person.Maps.empty()) && (o.Cancel || o.HasDialogScript)) {
    error = std::string(o.Person.Interactive ? "--interactive" : "--map") + " and " +
            (o.Cancel ? "--cancel" : "--dialog-script") + " cannot both be given";
    return false;
  }
  return true;
}

// The user's part in the dialogs: the script that answers every form, or
// none. False, with a message, for a script file that cannot be read or
// holds a line that is no action.
bool SetUpDialogs(const Options& o, tarvex::ITarvexHost& host, std::string& error) {
  if (o.Cancel) {
    standin::SetDialogScript(std::string("cancel"));
  } else if (o.HasDialogScript) {
    std::error_code ec;
    std::ifstream in(o.DialogScript, std::ios::binary);
    if (!std::filesystem::is_regular_file(o.DialogScript, ec) || !in.is_open()) {
      error = "cannot read the dialog script " + o.DialogScript;
      return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    if (in.bad()) {
      error = "cannot read the dialog script " + o.DialogScript;
      return false;
    }
    dialogs::DialogScript script;
    std::string problem;
    if (!dialogs::ParseDialogScript(text.str(), script, problem)) {
      error = "dialog script " + o.DialogScript + ", " + problem;
      return false;
    }
    standin::SetDialogScript(text.str());
  }
  for (const std::string& answer : o.CommonDialogAnswers) host.QueueCommonDialogAnswer(answer);
  return true;
}

// The report an import of `file` writes: the file's path with the extension
// of its name replaced by "rpt" (as the host's ClientAPI_ForceFileNameExtension).
std::string ReportPathOf(const std::string& file) {
  const size_t slash = file.find_last_of("/\\");
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = file.find_last_of('.');
  const size_t stem = (dot != std::string::npos && dot >= nameStart) ? dot : file.size();
  return file.substr(0, stem) + ".rpt";
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

// Prints the report's path and its four counters when the import wrote it.
void PrintReport(FILE* info, const std::string& path, const FileStamp& before) {
  const FileStamp after = StampOf(path);
  if (!after.Exists) return;
  if (before.Exists && before.Time == after.Time && before.Size == after.Size) return;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::string counts;
  for (const char* heading : {"Load Errors : ", "Import Errors : ", "Load Warnings : ", "Import Warnings : "}) {
    in.clear();
    in.seekg(0);
    std::string value = "?";
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind(heading, 0) == 0) {
        value = line.substr(std::strlen(heading));
        break;
      }
    }
    std::string name(heading, std::strlen(heading) - 3);
    for (char& c : name)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    counts += (counts.empty() ? "" : ", ") + name + " " + value;
  }
  std::fprintf(info, "report: %s\n", path.c_str());
  std::fprintf(info, "report counts: %s\n", counts.c_str());
}

std::string FullPath(const std::string& file) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::absolute(file, ec);
  return ec ? file : p.lexically_normal().string();
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
  pcbhost::Console console;
  if (!console.Start(o.Person, *host, error)) return Fail(error);
  const auto started = std::chrono::steady_clock::now();
  const bool imported = p.Import(name.data(), none.data()) != 0;
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  console.Stop();
  for (const std::string& problem : console.MapProblems())
    std::fprintf(stderr, "pcbhost: %s\n", problem.c_str());

  // With a document written to standard output, the summary goes to
  // standard error so that the output stays a whole document.
  FILE* info = (o.HasJson && o.Json == "-") || (o.HasSvg && o.Svg == "-") ? stderr : stdout;
  std::fprintf(info, "%s: %s by %s\n", file.c_str(), imported ? "imported" : "not imported",
               p.Name.c_str());
  for (const tarvex::ProgressRun& run : host->Progress())
    std::fprintf(info, "progress: %s (total %d, %lld steps%s)\n", run.Title.c_str(), run.Total,
                 static_cast<long long>(run.Updates), run.Finished ? ", finished" : "");
  const auto counts = pcbhost::CountObjects(*host, board);
  std::string summary;
  for (const auto& [kind, count] : counts)
    summary += (summary.empty() ? "" : ", ") + std::to_string(count) + " " + kind;
  std::fprintf(info, "objects: %s\n", summary.empty() ? "none" : summary.c_str());
  const std::string table = pcbhost::SummaryTable(*host, board);
  std::fputs(table.c_str(), info);
  PrintReport(info, reportPath, reportBefore);
  std::fprintf(info, "%s\n", pcbhost::TimeLine(took.count()).c_str());

  if (o.HasJson) {
    const std::string json = pcbhost::DocumentJson(*host, board, o.Person.Page);
    if (o.Json == "-") {
      std::fwrite(json.data(), 1, json.size(), stdout);
    } else {
      std::ofstream out(o.Json, std::ios::binary | std::ios::trunc);
      out << json;
      out.close();
      if (!out) return Fail("cannot write " + o.Json);
    }
  }
  pcbhost::SvgOptions picture;
  picture.Page = o.Person.Page;
  picture.Layers = o.Person.Layers;
  if (o.HasSvg) {
    if (o.Svg == "-") {
      std::fflush(stdout);
      pcbhost::WriteDocumentSvg(*host, board, std::cout, picture);
      std::cout.flush();
      if (!std::cout) return Fail("cannot write the picture to standard output");
    } else {
      std::ofstream out(o.Svg, std::ios::binary | std::ios::trunc);
      if (out) pcbhost::WriteDocumentSvg(*host, board, out, picture);
      out.close();
      if (!out) return Fail("cannot write " + o.Svg);
    }
  }
  if (serverModule) static_cast<clientabi::IRefCounted*>(serverModule)->Release();
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

#include "host/pcbhost/RunCommand.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "host/client/PlatformHooks.h"
#include "host/client/StandInClient.h"
#include "host/pcbhost/Console.h"
#include "host/pcbhost/JsonExport.h"
#include "host/pcbhost/SvgExport.h"
#include "host/tarvex/TarvexHost.h"
#include "hostclient/ServerAbi.h"
#include "platform/Platform.h"
#include "platform/dialogs/DialogScript.h"

namespace pcbhost {

namespace {

namespace fs = std::filesystem;

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;  // unknown command, or the command made no document
constexpr int kExitError = 2;    // bad usage, a missing module, no such server

#ifdef _WIN32
constexpr char kPathSeparators[] = "/\\";
#else
constexpr char kPathSeparators[] = "/";
#endif

int Fail(const std::string& message, int code = kExitError) {
  std::fprintf(stderr, "pcbhost: %s\n", message.c_str());
  return code;
}

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string FullPath(const std::string& file) {
  std::error_code ec;
  const fs::path p = fs::absolute(file, ec);
  return ec ? file : p.lexically_normal().string();
}

struct RunOptions {
  std::string Server;
  std::string Command;
  std::vector<std::string> Parameters;  // NAME=VALUE, in order
  std::string Plugin;
  std::string Json;
  bool HasJson = false;
  std::string Svg;
  bool HasSvg = false;
  bool Cancel = false;
  std::string DialogScript;
  bool HasDialogScript = false;
  std::vector<std::string> CommonDialogAnswers;
  PersonOptions Person;  // progress, answers, dialogs by hand, texts (Console.h)
};

bool ParseRunOptions(const std::vector<std::string>& args, RunOptions& o, std::string& error) {
  std::vector<std::string> words;
  for (size_t i = 0; i < args.size(); ++i) {
    const int taken = TakePersonOption(args, i, o.Person, error);
    if (taken < 0) return false;
    if (taken > 0) continue;
    const std::string& a = args[i];
    if (a == "--cancel") {
      o.Cancel = true;
    } else if (a == "--plugin" || a == "--json" || a == "--svg" || a == "--dialog-script" ||
               a == "--common-dialog") {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      const std::string& value = args[++i];
      if (a == "--plugin") o.Plugin = value;
      if (a == "--json") o.Json = value, o.HasJson = true;
      if (a == "--svg") o.Svg = value, o.HasSvg = true;
      if (a == "--dialog-script") o.DialogScript = value, o.HasDialogScript = true;
      if (a == "--common-dialog") o.CommonDialogAnswers.push_back(value);
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      error = "unknown option " + a;
      return false;
    } else {
      words.push_back(a);
    }
  }
  if (words.size() < 2) {
    error = "no server and command given";
    return false;
  }
  o.Server = words[0];
  o.Command = words[1];
  for (size_t i = 2; i < words.size(); ++i) {
    const size_t eq = words[i].find('=');
    if (eq == std::string::npos || eq == 0 || words[i].find('|') != std::string::npos) {
      error = "a parameter is NAME=VALUE without \"|\": " + words[i];
      return false;
    }
    o.Parameters.push_back(words[i]);
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

tarvex::ITarvexHost* LoadHostModule(std::string& error) {
  const std::string path =
      platform::JoinPath(platform::ExecutableFolder(), platform::PlatformModuleName("Tarvex.dll"));
  platform::ModuleHandle module = platform::LoadModule(path, &error);
  if (!module) {
    error = "cannot load the host module " + path + ": " + OneLine(error);
    return nullptr;
  }
  tarvex::ITarvexHost* host = tarvex::TarvexHostOf(module);
  if (!host) error = "the host module " + path + " has no host interface";
  return host;
}

std::string PluginPath(const std::string& plugin) {
  if (plugin.find_first_of(kPathSeparators) != std::string::npos) return plugin;
  const std::string file = (EndsWith(plugin, ".so") || EndsWith(plugin, ".dll"))
                               ? plugin
                               : platform::PlatformModuleName(plugin);
  return platform::JoinPath(platform::ExecutableFolder(), file);
}

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

// The server module of a plug-in, made through its ServerFactory; nullptr
// with a message when the plug-in cannot be loaded or serves nothing.
clientabi::IServerModule* MakeServerModule(const std::string& plugin, std::string& error) {
  const std::string path = PluginPath(plugin);
  platform::ModuleHandle module = platform::LoadModule(path, &error);
  if (!module) {
    error = "cannot load plug-in " + path + ": " + OneLine(error);
    return nullptr;
  }
  const auto factory =
      reinterpret_cast<clientabi::ServerFactory_t>(platform::FindExport(module, "ServerFactory"));
  if (!factory) {
    error = "plug-in " + path + " does not export ServerFactory";
    return nullptr;
  }
  void* made = nullptr;
  factory(&made, standin::HostClient());
  if (!made) error = "the ServerFactory of plug-in " + path + " made no server module";
  return static_cast<clientabi::IServerModule*>(made);
}

std::string NameOf(clientabi::IServerModule* module) {
  const char* name = module->GetName();
  return name ? name : "";
}

// The server module named `server`: of the plug-in given, else of the first
// known plug-in that serves it.
clientabi::IServerModule* FindServer(const RunOptions& o, std::string& error) {
  if (!o.Plugin.empty()) {
    clientabi::IServerModule* module = MakeServerModule(o.Plugin, error);
    if (!module) return nullptr;
    if (SameText(NameOf(module), o.Server)) return module;
    error = "plug-in " + o.Plugin + " serves " + NameOf(module) + ", not " + o.Server;
    module->Release();
    return nullptr;
  }
  for (const std::string& plugin : KnownPlugins()) {
    std::string ignored;
    clientabi::IServerModule* module = MakeServerModule(plugin, ignored);
    if (!module) continue;
    if (SameText(NameOf(module), o.Server)) return module;
    module->Release();
  }
  error = "no plug-in serves " + o.Server;
  return nullptr;
}

bool SetUpDialogs(const RunOptions& o, std::string& error) {
  if (o.Cancel) {
    standin::SetDialogScript(std::string("cancel"));
  } else if (o.HasDialogScript) {
    std::error_code ec;
    std::ifstream in(o.DialogScript, std::ios::binary);
    std::stringstream text;
    if (fs::is_regular_file(o.DialogScript, ec) && in.is_open()) text << in.rdbuf();
    if (!fs::is_regular_file(o.DialogScript, ec) || !in.is_open() || in.bad()) {
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
  return true;
}

// The report an import of `file` writes beside it.
std::string ReportPathOf(const std::string& file) {
  const size_t slash = file.find_last_of(kPathSeparators);
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = file.find_last_of('.');
  const size_t stem = (dot != std::string::npos && dot >= nameStart) ? dot : file.size();
  return file.substr(0, stem) + ".rpt";
}

void PrintReportIfWritten(FILE* info, const std::string& path, fs::file_time_type since) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return;
  const fs::file_time_type written = fs::last_write_time(path, ec);
  if (ec || written < since) return;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::string counts;
  std::vector<std::string> lines;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  for (const std::string heading : {"Load Errors : ", "Import Errors : ", "Load Warnings : ", "Import Warnings : "}) {
    std::string value = "?";
    for (const std::string& l : lines)
      if (l.rfind(heading, 0) == 0) {
        value = l.substr(heading.size());
        break;
      }
    std::string name = heading.substr(0, heading.size() - 3);
    for (char& c : name)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    counts += (counts.empty() ? "" : ", ") + name + " " + value;
  }
  std::fprintf(info, "report: %s\n", path.c_str());
  std::fprintf(info, "report counts: %s\n", counts.c_str());
}

// One line per new document: its kind, path and objects; a library
// document also lists its components.
void PrintDocument(FILE* info, const tarvex::ITarvexHost& host, tarvex::THandle board) {
  const tarvex::Document* document = host.GetDocument(board);
  if (!document) return;
  std::fprintf(info, "new document: %s %s\n", document->Kind.c_str(), document->Path.c_str());
  std::string summary;
  for (const auto& [kind, count] : CountObjects(host, board))
    summary += (summary.empty() ? "" : ", ") + std::to_string(count) + " " + kind;
  std::fprintf(info, "objects: %s\n", summary.empty() ? "none" : summary.c_str());
  for (const tarvex::LibraryComponent& component : document->Library)
    std::fprintf(info, "component: %s (%zu objects)\n", component.Name.c_str(), component.Objects.size());
}

int WriteOutputs(const RunOptions& o, const tarvex::ITarvexHost& host, tarvex::THandle board) {
  if (o.HasJson) {
    const std::string json = DocumentJson(host, board, o.Person.Page);
    if (o.Json == "-") {
      std::fwrite(json.data(), 1, json.size(), stdout);
    } else {
      std::ofstream out(o.Json, std::ios::binary | std::ios::trunc);
      out << json;
      out.close();
      if (!out) return Fail("cannot write " + o.Json);
    }
  }
  if (o.HasSvg) {
    if (o.Svg == "-") {
      std::fflush(stdout);
      WriteDocumentSvg(host, board, std::cout, SvgOptions{o.Person.Page, o.Person.Layers});
      std::cout.flush();
      if (!std::cout) return Fail("cannot write the picture to standard output");
    } else {
      std::ofstream out(o.Svg, std::ios::binary | std::ios::trunc);
      if (out) WriteDocumentSvg(host, board, out, SvgOptions{o.Person.Page, o.Person.Layers});
      out.close();
      if (!out) return Fail("cannot write " + o.Svg);
    }
  }
  return kExitOk;
}

}  // namespace

int RunServerCommand(const std::vector<std::string>& args) {
  RunOptions o;
  std::string error;
  if (!ParseRunOptions(args, o, error)) return Fail(error + "; usage: " + kRunUsage);
  tarvex::ITarvexHost* host = LoadHostModule(error);
  if (!host) return Fail(error);
  if (!SetUpDialogs(o, error)) return Fail(error);

  // The file named by the parameter "FileName" goes to the plug-in as a
  // whole path; the user picks it in the file dialog unless the dialog's
  // answers are given.
  std::string parameters;
  std::string fileName;
  for (std::string p : o.Parameters) {
    const size_t eq = p.find('=');
    std::string name = p.substr(0, eq);
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    if (SameText(name, "FileName") && eq + 1 < p.size()) {
      fileName = FullPath(p.substr(eq + 1));
      p = p.substr(0, eq + 1) + fileName;
    }
    parameters += (parameters.empty() ? "" : "|") + p;
  }
  for (const std::string& answer : o.CommonDialogAnswers) host->QueueCommonDialogAnswer(answer);
  if (o.CommonDialogAnswers.empty() && !fileName.empty())
    host->QueueCommonDialogAnswer("Result=True|Path=" + fileName);

  clientabi::IServerModule* module = FindServer(o, error);
  if (!module) return Fail(error);
  clientabi::ICommandLauncher* launcher = module->GetCommandLauncher();
  if (!launcher) {
    module->Release();
    return Fail("the server " + o.Server + " has no command launcher");
  }

  const std::vector<tarvex::THandle> before = host->Documents();
  const fs::file_time_type started = fs::file_time_type::clock::now() - std::chrono::seconds(1);
  Console console;
  if (!console.Start(o.Person, *host, error)) {
    module->Release();
    return Fail(error);
  }
  const int32_t result = launcher->LaunchCommand(o.Command.c_str(), parameters.c_str(), 0, nullptr);
  console.Stop();
  for (const std::string& problem : console.MapProblems())
    std::fprintf(stderr, "pcbhost: %s\n", problem.c_str());

  FILE* info = (o.HasJson && o.Json == "-") || (o.HasSvg && o.Svg == "-") ? stderr : stdout;
  std::fprintf(info, "%s:%s answered %d\n", NameOf(module).c_str(), o.Command.c_str(), result);
  std::vector<tarvex::THandle> made;
  for (const tarvex::THandle board : host->Documents())
    if (std::find(before.begin(), before.end(), board) == before.end()) made.push_back(board);
  for (const tarvex::THandle board : made) {
    PrintDocument(info, *host, board);
    if (const tarvex::Document* d = host->GetDocument(board))
      PrintReportIfWritten(info, ReportPathOf(d->Path), started);
  }
  module->Release();

  if (result == 0) return Fail("the server " + o.Server + " has no command " + o.Command, kExitRefused);
  if (made.empty()) {
    std::fprintf(info, "no new document\n");
    return kExitRefused;
  }
  const int written = WriteOutputs(o, *host, made.front());
  // A --map that could not be played cancelled the options dialog.
  return console.MapProblems().empty() ? written : kExitError;
}

}  // namespace pcbhost

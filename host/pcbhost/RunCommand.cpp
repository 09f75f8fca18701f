#include "host/pcbhost/RunCommand.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "host/client/StandInClient.h"
#include "host/pcbhost/CommandOptions.h"
#include "host/pcbhost/Console.h"
#include "host/pcbhost/Plugins.h"
#include "host/pcbhost/Summary.h"
#include "host/tarvex/TarvexHost.h"
#include "hostclient/ServerAbi.h"

namespace pcbhost {

namespace {

namespace fs = std::filesystem;
using standin::SameText;

struct RunOptions : CommandOptions {
  std::string Server;
  std::string Command;
  std::vector<std::string> Parameters;  // NAME=VALUE, in order
};

bool ParseRunOptions(const std::vector<std::string>& args, RunOptions& o, std::string& error) {
  std::vector<std::string> words;
  for (size_t i = 0; i < args.size(); ++i) {
    const int taken = TakeCommandOption(args, i, o, error);
    if (taken < 0) return false;
    if (taken > 0) continue;
    const std::string& a = args[i];
    if (!a.empty() && a[0] == '-' && a != "-") {
      error = "unknown option " + a;
      return false;
    }
    words.push_back(a);
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
  return CheckCommandOptions(o, error);
}

// The server module of a plug-in, made through its ServerFactory; nullptr
// with a message when the plug-in cannot be loaded or serves nothing.
clientabi::IServerModule* MakeServerModule(const std::string& name, std::string& error) {
  Plugin plugin;
  if (!LoadPlugin(name, plugin, error)) return nullptr;
  if (!plugin.Factory) {
    error = "plug-in " + plugin.Path + " does not export ServerFactory";
    return nullptr;
  }
  void* made = nullptr;
  plugin.Factory(&made, standin::HostClient());
  if (!made) error = "the ServerFactory of plug-in " + plugin.Path + " made no server module";
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

// Whether the report at `path` was written since `since`.
bool WrittenSince(const std::string& path, fs::file_time_type since) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  const fs::file_time_type written = fs::last_write_time(path, ec);
  return !ec && written >= since;
}

// One line per new document: its kind, path and objects; a library
// document also lists its components.
void PrintDocument(FILE* info, const tarvex::ITarvexHost& host, tarvex::THandle board) {
  const tarvex::Document* document = host.GetDocument(board);
  if (!document) return;
  std::fprintf(info, "new document: %s %s\n", document->Kind.c_str(), document->Path.c_str());
  std::fputs(ObjectsLine(host, board).c_str(), info);
  for (const tarvex::LibraryComponent& component : document->Library)
    std::fprintf(info, "component: %s (%zu objects)\n", component.Name.c_str(), component.Objects.size());
}

}  // namespace

int RunServerCommand(const std::vector<std::string>& args) {
  RunOptions o;
  std::string error;
  if (!ParseRunOptions(args, o, error)) return Fail(error + "; usage: " + kRunUsage);
  tarvex::ITarvexHost* host = LoadHostModule(error);
  if (!host) return Fail(error);
  if (!SetUpDialogs(o, *host, error)) return Fail(error);

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

  FILE* info = SummaryStream(o);
  std::fprintf(info, "%s:%s answered %d\n", NameOf(module).c_str(), o.Command.c_str(), result);
  std::vector<tarvex::THandle> made;
  for (const tarvex::THandle board : host->Documents())
    if (std::find(before.begin(), before.end(), board) == before.end()) made.push_back(board);
  for (const tarvex::THandle board : made) {
    PrintDocument(info, *host, board);
    const tarvex::Document* document = host->GetDocument(board);
    const std::string report = document ? ReportPathOf(document->Path) : std::string();
    if (document && WrittenSince(report, started)) PrintReportCounts(info, report);
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

#include "host/pcbhost/Plugins.h"

#include <cstdlib>

namespace pcbhost {

namespace {

#ifdef _WIN32
constexpr char kPathSeparators[] = "/\\";
#else
constexpr char kPathSeparators[] = "/";
#endif

// dlerror texts may span lines; a message stays on one.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string PluginPath(const std::string& plugin) {
  if (plugin.find_first_of(kPathSeparators) != std::string::npos) return plugin;
  const std::string file = (EndsWith(plugin, ".so") || EndsWith(plugin, ".dll"))
                               ? plugin
                               : platform::PlatformModuleName(plugin);
  return platform::JoinPath(platform::ExecutableFolder(), file);
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

std::vector<std::string> SplitPluginList(const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(kPluginListSeparator, start);
    if (end == std::string::npos) end = list.size();
    if (end > start) names.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

std::vector<std::string> KnownPlugins() {
  const char* list = std::getenv("PCBHOST_PLUGINS");
  if (!list) return {"LoadVexal", "LoadSarnovik"};
  return SplitPluginList(list);
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

}  // namespace pcbhost

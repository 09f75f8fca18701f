// The modules pcbhost loads: the host module (Tarvex) beside the program,
// and plug-ins by path or by name, with the plug-in functions looked up by
// name as the editor does; and the plug-ins the host knows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/tarvex/TarvexHost.h"
#include "hostapi/PcbApiAbi.h"
#include "hostclient/ServerAbi.h"
#include "platform/Platform.h"

namespace pcbhost {

using GetPcbImporterDescription_t = const char*(PCBAPI_CALL*)(void);
using RecognisedPCBFile_t = uint8_t(PCBAPI_CALL*)(const uint8_t*);
using ImportFileIntoPcb_t = uint8_t(PCBAPI_CALL*)(const uint8_t*, const uint8_t*);
using clientabi::ServerFactory_t;

// A loaded plug-in and its exports (nullptr for each one it lacks).
struct Plugin {
  std::string Name;  // as given
  std::string Path;
  platform::ModuleHandle Module = nullptr;
  GetPcbImporterDescription_t Describe = nullptr;
  RecognisedPCBFile_t Recognise = nullptr;
  ImportFileIntoPcb_t Import = nullptr;
  ServerFactory_t Factory = nullptr;
};

// The file of a plug-in: a path when it holds a folder separator, else a
// name beside the program ("LoadVexal" is libLoadVexal.so; a name ending in
// ".so" or ".dll" is the file's name).
std::string PluginPath(const std::string& plugin);

// Loads the plug-in `name` and looks its exports up. False, with a message
// on one line, when the module cannot be loaded.
bool LoadPlugin(const std::string& name, Plugin& plugin, std::string& error);

// The separator of the list in PCBHOST_PLUGINS: the platform's separator of
// path lists, so that a Windows path with its drive letter ("C:\...") is one
// item.
#ifdef _WIN32
inline constexpr char kPluginListSeparator = ';';
#else
inline constexpr char kPluginListSeparator = ':';
#endif

// The items of such a list, empty ones left out.
std::vector<std::string> SplitPluginList(const std::string& list);

// The plug-ins the host asks in turn: LoadVexal and LoadSarnovik, or the
// list in the environment variable PCBHOST_PLUGINS.
std::vector<std::string> KnownPlugins();

// Loads the host module from the program's folder; nullptr with a message
// on one line when it cannot be loaded or has no host interface.
tarvex::ITarvexHost* LoadHostModule(std::string& error);

}  // namespace pcbhost

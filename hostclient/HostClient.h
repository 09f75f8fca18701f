// The binding to the host client: the client functions looked up by name in
// the host's executable, the client's main interface handed over by the
// server factory, and the operations built on them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "hostclient/ClientAbi.h"
#include "hostclient/ClientApiNames.inc"

namespace hostclient {

enum class ClientApi : uint16_t {
#define HOSTCLIENT_API_ENUM(name) name,
  CLIENTAPI_ALL_NAMES(HOSTCLIENT_API_ENUM)
#undef HOSTCLIENT_API_ENUM
  Count
};
inline constexpr size_t kClientApiNameCount = static_cast<size_t>(ClientApi::Count);

// Looks every client function name up in the module of the process's
// executable, keeping each address or nothing. Rewrites the whole table.
void BindHostClient();

// The module-load steps of a plug-in: the client binding, then the host PCB
// binding (hostapi::OnModuleLoad). ClientInterface is not touched.
void OnModuleLoad();
// Module unload: hostapi::OnModuleUnload.
void OnModuleUnload();

void* BoundClientEntry(ClientApi api);
const char* ClientApiName(ClientApi api);

// Whether the file exists; false when the function is absent.
bool ClientAPI_ExistSpecific(const std::string& path);
// The file name part of a path; the empty text when the function is absent.
std::string ClientAPI_ExtractFileNameFromPath(const std::string& path);
// The path with its extension replaced; the empty text when absent.
std::string ClientAPI_ForceFileNameExtension(const std::string& path, const std::string& extension);

// The host client's main interface, or nullptr until the server factory sets
// it (SetClientInterface); it keeps its value from then on.
extern clientabi::IHostClient* ClientInterface;
// Holds a reference on the new interface and gives back the one on the old.
void SetClientInterface(clientabi::IHostClient* client);

// Runs a host process through the client's process launcher: false without a
// client interface or launcher, else whether RunProcess answered non-zero.
// The host may rewrite `parameters` with result parameters (at most `size`
// bytes).
bool RunHostProcess(const char* name, char* parameters, int32_t size, clientabi::IHostView* view);

// The host's main window; 0 without a client interface.
clientabi::THostWindow HostMainWindow();

}  // namespace hostclient

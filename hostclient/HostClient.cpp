// The host client binding: client functions by name in the host's executable,
// the client's main interface and the operations built on them.
#include "hostclient/HostClient.h"

#include <array>
#include <vector>

#include "hostapi/HostPcbApi.h"
#include "platform/Platform.h"

namespace hostclient {

clientabi::IHostClient* ClientInterface = nullptr;

namespace {

constexpr std::array<const char*, kClientApiNameCount> kNames = {
#define HOSTCLIENT_API_NAME(name) #name,
    CLIENTAPI_ALL_NAMES(HOSTCLIENT_API_NAME)
#undef HOSTCLIENT_API_NAME
};

std::array<void*, kClientApiNameCount> gEntries{};

template <class Fn>
Fn Entry(ClientApi api) {
  return reinterpret_cast<Fn>(gEntries[static_cast<size_t>(api)]);
}

// Calls a path function that writes its answer into a 4096-byte buffer.
template <class Call>
std::string PathResult(Call call) {
  std::vector<char> out(clientabi::kPathBufferSize, '\0');
  call(out.data());
  out.back() = '\0';  // a host that fills the whole buffer still ends here
  return std::string(out.data());
}

}  // namespace

void BindHostClient() {
  platform::ModuleHandle module = platform::ExecutableModule();
  for (size_t i = 0; i < kClientApiNameCount; ++i)
    gEntries[i] = module ? platform::FindExport(module, kNames[i]) : nullptr;
}

void OnModuleLoad() {
  BindHostClient();
  hostapi::OnModuleLoad();
}

void OnModuleUnload() { hostapi::OnModuleUnload(); }

void* BoundClientEntry(ClientApi api) {
  const auto i = static_cast<size_t>(api);
  return i < kClientApiNameCount ? gEntries[i] : nullptr;
}

const char* ClientApiName(ClientApi api) {
  const auto i = static_cast<size_t>(api);
  return i < kClientApiNameCount ? kNames[i] : "";
}

bool ClientAPI_ExistSpecific(const std::string& path) {
  const auto fn = Entry<clientabi::ClientAPI_ExistSpecific_t>(ClientApi::ClientAPI_ExistSpecific);
  return fn && fn(path.c_str()) != 0;
}

std::string ClientAPI_ExtractFileNameFromPath(const std::string& path) {
  const auto fn = Entry<clientabi::ClientAPI_ExtractFileNameFromPath_t>(
      ClientApi::ClientAPI_ExtractFileNameFromPath);
  if (!fn) return {};
  return PathResult([&](char* out) { fn(path.c_str(), out); });
}

std::string ClientAPI_ForceFileNameExtension(const std::string& path, const std::string& extension) {
  const auto fn = Entry<clientabi::ClientAPI_ForceFileNameExtension_t>(
      ClientApi::ClientAPI_ForceFileNameExtension);
  if (!fn) return {};
  return PathResult([&](char* out) { fn(path.c_str(), extension.c_str(), out); });
}

void SetClientInterface(clientabi::IHostClient* client) {
  if (client == ClientInterface) return;
  if (client) client->AddRef();
  if (ClientInterface) ClientInterface->Release();
  ClientInterface = client;
}

bool RunHostProcess(const char* name, char* parameters, int32_t size, clientabi::IHostView* view) {
  if (!ClientInterface) return false;
  void* found = nullptr;
  if (ClientInterface->QueryInterface(clientabi::IID_IHostProcessLauncher, &found) != 0 || !found)
    return false;
  auto* launcher = static_cast<clientabi::IHostProcessLauncher*>(found);
  const int32_t result = launcher->RunProcess(name, parameters, size, view);
  launcher->Release();
  return result != 0;
}

clientabi::THostWindow HostMainWindow() {
  return ClientInterface ? ClientInterface->GetMainWindow() : 0;
}

}  // namespace hostclient

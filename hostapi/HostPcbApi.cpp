// The binding table of the host PCB module and the binding routines that do
// more than pass their arguments on.
#include "hostapi/HostPcbApi.h"

#include <array>

#include "hostapi/PcbObjects.h"
#include "hostapi/PcbUtil.h"
#include "hostapi/ShortString.h"

namespace hostapi {

platform::ModuleHandle HostPcbModule = nullptr;

namespace {

constexpr std::array<const char*, kHostPcbApiNameCount> kNames = {
#define HOSTAPI_API_NAME(name) #name,
    PCBAPI_ALL_NAMES(HOSTAPI_API_NAME)
#undef HOSTAPI_API_NAME
};

std::array<void*, kHostPcbApiNameCount> gEntries{};

template <class Fn>
Fn Entry(Api api) {
  return reinterpret_cast<Fn>(gEntries[static_cast<size_t>(api)]);
}

}  // namespace

void BindHostPcbApi() {
  HostPcbModule = platform::FindLoadedModule("Tarvex.dll");
  for (size_t i = 0; i < kHostPcbApiNameCount; ++i)
    gEntries[i] = HostPcbModule ? platform::FindExport(HostPcbModule, kNames[i]) : nullptr;
}

void OnModuleLoad() {
  delete ScratchTrack;
  delete ScratchComponent;
  ScratchTrack = new TPcbTrack(0);
  ScratchComponent = new TPcbComponent(0);
  ComputeDecimalPlaces();
  HostPcbModule = nullptr;
  BindHostPcbApi();
}

void OnModuleUnload() {
  delete ScratchTrack;
  ScratchTrack = nullptr;
  delete ScratchComponent;
  ScratchComponent = nullptr;
}

void* BoundEntry(Api api) {
  const auto i = static_cast<size_t>(api);
  return i < kHostPcbApiNameCount ? gEntries[i] : nullptr;
}

const char* ApiName(Api api) {
  const auto i = static_cast<size_t>(api);
  return i < kHostPcbApiNameCount ? kNames[i] : "";
}

int32_t PcbApi_AddMemberToClass(THandle cls, std::string_view name) {
  const auto fn = Entry<pcbabi::PcbApi_AddMemberToClass_t>(Api::PcbApi_AddMemberToClass);
  if (!fn) return 1;
  const ShortString copy(name);
  return fn(cls, copy.Data());
}

void PcbApi_SetState_AddSubscope(THandle rule, uint8_t scope, uint8_t kind, std::string_view name,
                                 uint8_t layer, uint8_t objectKinds, int32_t value1, int32_t value2,
                                 int32_t value3, int32_t value4) {
  const auto fn = Entry<pcbabi::PcbApi_SetState_AddSubscope_t>(Api::PcbApi_SetState_AddSubscope);
  if (!fn) return;
  const ShortString copy(name);
  fn(rule, scope, kind, copy.Data(), layer, objectKinds, value1, value2, value3, value4);
}

void PcbApi_Percent_Init(std::string_view title, int32_t total) {
  const auto fn = Entry<pcbabi::PcbApi_Percent_Init_t>(Api::PcbApi_Percent_Init);
  if (!fn) return;
  const ShortString copy(title);
  fn(copy.Data(), total);
}

void PcbApi_Percent_Update(int32_t /*count: accepted, not passed on*/) {
  const auto fn = Entry<pcbabi::PcbApi_Percent_Update_t>(Api::PcbApi_Percent_Update);
  if (fn) fn();
}

}  // namespace hostapi

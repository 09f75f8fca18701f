// A stand-in for the host module that only records the progress display:
// built as libTarvex.so in a folder of its own, loaded by the reader tests so
// that the plug-in's binding finds it by name.
#include <cstring>

#include "hostapi/PcbApiAbi.h"
#include "tests/vexal/ProgressRecorder.h"

namespace {
ProgressRecord gRecord{};
}

PCB_EXPORT void PCBAPI_CALL PcbApi_Percent_Init(const uint8_t* title, int32_t total) {
  gRecord.Inits += 1;
  gRecord.Total = total;
  gRecord.TitleLength = title ? title[0] : 0;
  if (title) std::memcpy(gRecord.Title, title + 1, title[0]);
}

PCB_EXPORT void PCBAPI_CALL PcbApi_Percent_Update() { gRecord.Updates += 1; }

PCB_EXPORT void PCBAPI_CALL PcbApi_Percent_Finish() { gRecord.Finishes += 1; }

PCB_EXPORT ProgressRecord* PCBAPI_CALL ProgressRecorder_State() { return &gRecord; }

static_assert(std::is_same_v<decltype(&PcbApi_Percent_Init), pcbabi::PcbApi_Percent_Init_t>);
static_assert(std::is_same_v<decltype(&PcbApi_Percent_Update), pcbabi::PcbApi_Percent_Update_t>);
static_assert(std::is_same_v<decltype(&PcbApi_Percent_Finish), pcbabi::PcbApi_Percent_Finish_t>);

// The functions the editor calls by name when it uses LoadVexal as a file
// importer, and the module's load-time step.
#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbApiAbi.h"
#include "hostapi/ShortString.h"
#include "hostclient/HostClient.h"
#include "vexal/entry/Description.h"
#include "vexal/entry/ImportDriver.h"
#include "vexal/entry/Recognise.h"

namespace vexal {

// The "DESCRIPTION" resource of the Windows module holds this text as UTF-16
// followed by two zero characters; it also stands in the module as 8-bit text.
extern const char kDescriptionResource[] = LOADVEXAL_DESCRIPTION_TEXT;
// 30 characters and two zero characters of two bytes each.
static_assert((sizeof(kDescriptionResource) - 1 + 2) * 2 == 64, "the resource holds 64 bytes");

namespace {

const char kImporterDescription[] = "KIVO ASCII files (*.PCB)";

// Nothing else runs at load: bind the host client and the host PCB API.
[[gnu::constructor]] void OnLoad() { hostclient::OnModuleLoad(); }

[[gnu::destructor]] void OnUnload() { hostapi::OnModuleUnload(); }

}  // namespace
}  // namespace vexal

PCB_EXPORT const char* PCBAPI_CALL GetPcbImporterDescription() {
  return vexal::kImporterDescription;
}

PCB_EXPORT uint8_t PCBAPI_CALL RecognisedPCBFile(const uint8_t* fileName) {
  try {
    return vexal::IsVexalAsciiFile(hostapi::FromShortString(fileName)) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

// Both texts are copied on entry; the second is not used. Nothing throws to
// the host: any failure answers false.
PCB_EXPORT uint8_t PCBAPI_CALL ImportFileIntoPcb(const uint8_t* fileName, const uint8_t* second) {
  try {
    const std::string name = fileName ? hostapi::FromShortString(fileName) : std::string();
    const std::string other = second ? hostapi::FromShortString(second) : std::string();
    return vexal::ImportFileIntoPcb(name, other) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

// The functions the editor calls by name when it uses LoadSarnovik as a file
// importer, and the module's load-time step.
#include <cstdint>
#include <string>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbApiAbi.h"
#include "hostapi/ShortString.h"
#include "hostclient/HostClient.h"
#include "sarnovik/SarnovikDescription.h"
#include "sarnovik/SarnovikReader.h"

namespace sarnovik {

// The "DESCRIPTION" resource of the Windows module: this UTF-16 text and its
// terminating zero.
extern const char16_t kDescriptionResource[] = u"" LOADSARNOVIK_DESCRIPTION_TEXT;
static_assert(sizeof(kDescriptionResource) == 56, "the resource holds 56 bytes");

namespace {

const char kImporterDescription[] = "Sarnovik Files (*.PCB)";

std::string NameArgument(const uint8_t* name) {
  return name ? hostapi::FromShortString(name) : std::string();
}

// Nothing else runs at load: bind the host client, then the host PCB API.
[[gnu::constructor]] void OnLoad() { hostclient::OnModuleLoad(); }

[[gnu::destructor]] void OnUnload() { hostclient::OnModuleUnload(); }

}  // namespace
}  // namespace sarnovik

PCB_EXPORT const char* PCBAPI_CALL GetPcbImporterDescription() {
  return sarnovik::kImporterDescription;
}

PCB_EXPORT uint8_t PCBAPI_CALL RecognisedPCBFile(const uint8_t* fileName) {
  try {
    return sarnovik::IsSarnovikFile(sarnovik::NameArgument(fileName)) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

PCB_EXPORT uint8_t PCBAPI_CALL ImportFileIntoPcb(const uint8_t* fileName, const uint8_t* unused) {
  try {
    const std::string name = sarnovik::NameArgument(fileName);
    const std::string copy = sarnovik::NameArgument(unused);  // taken and not used
    (void)copy;
    sarnovik::AbortRequested = false;
    if (!sarnovik::IsSarnovikFile(name)) return 0;
    return sarnovik::ImportSarnovikFile(name) ? 1 : 0;
  } catch (...) {
    sarnovik::ImportFile.Close();
    sarnovik::TargetBoard.reset();
    return 0;
  }
}

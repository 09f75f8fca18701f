// Binding routines that only the Sarnovik importer's build has.
#include "hostapi/HostPcbApi.h"
#include "hostapi/ShortString.h"

namespace hostapi {

THandle PcbApi_GetBoardHandleFromFullFileName(std::string_view fullFileName) {
  const auto fn = reinterpret_cast<pcbabi::PcbApi_GetBoardHandleFromFullFileName_t>(
      BoundEntry(Api::PcbApi_GetBoardHandleFromFullFileName));
  if (!fn) return 0;
  const ShortString copy(fullFileName);
  return fn(copy.Data());
}

}  // namespace hostapi

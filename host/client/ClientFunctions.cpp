// The client functions the host program exports by name for the plug-ins.
// Output buffers hold clientabi::kPathBufferSize bytes; results are cut to
// fit and always zero-terminated.
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <type_traits>

#include "hostclient/ClientAbi.h"

namespace {

void WriteOut(char* out, const std::string& text) {
  if (!out) return;
  const size_t n = std::min(text.size(), static_cast<size_t>(clientabi::kPathBufferSize - 1));
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

std::string Bounded(const char* text) {
  if (!text) return {};
  return std::string(text, strnlen(text, clientabi::kPathBufferSize));
}

// Where the file name of a path begins: after its last '/' or '\'.
size_t FileNameStart(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

PCB_EXPORT uint8_t PCBAPI_CALL ClientAPI_ExistSpecific(const char* path) {
  try {
    if (!path || !*path) return 0;
    struct stat st {};
    return (stat(Bounded(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

PCB_EXPORT void PCBAPI_CALL ClientAPI_ExtractFileNameFromPath(const char* path, char* out) {
  try {
    const std::string p = Bounded(path);
    WriteOut(out, p.substr(FileNameStart(p)));
  } catch (...) {
    WriteOut(out, {});
  }
}

PCB_EXPORT void PCBAPI_CALL ClientAPI_ForceFileNameExtension(const char* path,
                                                             const char* extension, char* out) {
  try {
    std::string p = Bounded(path);
    std::string ext = Bounded(extension);
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    const size_t dot = p.find_last_of('.');
    if (dot != std::string::npos && dot >= FileNameStart(p)) p.resize(dot);
    if (!ext.empty()) p += "." + ext;
    WriteOut(out, p);
  } catch (...) {
    WriteOut(out, {});
  }
}

#define STANDIN_CHECK_CLIENT_TYPE(name, result, params)                  \
  static_assert(std::is_same_v<decltype(&::name), clientabi::name##_t>, \
                #name " must have the type of the boundary header");
CLIENTAPI_CALLED_FUNCTIONS(STANDIN_CHECK_CLIENT_TYPE)
#undef STANDIN_CHECK_CLIENT_TYPE

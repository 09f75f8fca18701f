// POSIX implementation of the platform layer. What needs a person (the Escape
// key, message-box answers, queued messages) comes from the hooks that the
// executable exports as `PlatformHost_Hooks` (HostHooks.cpp).
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdlib>

#include "platform/Platform.h"
#include "platform/PlatformNative.h"

namespace platform {

namespace {

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct ModuleSearch {
  std::string wanted;
  std::string found;
};

int VisitModule(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<ModuleSearch*>(data);
  if (info->dlpi_name && *info->dlpi_name && BaseName(info->dlpi_name) == search->wanted) {
    search->found = info->dlpi_name;
    return 1;
  }
  return 0;
}

}  // namespace

std::string PlatformModuleName(const std::string& windowsName) {
  std::string base = windowsName;
  if (base.size() > 4) {
    std::string ext = base.substr(base.size() - 4);
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".dll" || ext == ".exe") base.resize(base.size() - 4);
  }
  return "lib" + base + ".so";
}

ModuleHandle FindLoadedModule(const std::string& windowsName) {
  ModuleSearch search{PlatformModuleName(windowsName), {}};
  dl_iterate_phdr(VisitModule, &search);
  if (search.found.empty()) return nullptr;
  // RTLD_NOLOAD never loads; the reference it takes is given back at once,
  // so the module stays owned by whoever loaded it.
  void* handle = dlopen(search.found.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle;
}

ModuleHandle ExecutableModule() {
  void* handle = dlopen(nullptr, RTLD_LAZY);
  if (handle) dlclose(handle);  // the executable is never unloaded
  return handle;
}

void* FindExport(ModuleHandle module, const char* name) {
  if (!module || !name) return nullptr;
  return dlsym(module, name);
}

ModuleHandle ModuleOfAddress(const void* address) {
  Dl_info info{};
  if (!address || dladdr(address, &info) == 0 || !info.dli_fname) return nullptr;
  // As FindLoadedModule: never loads, keeps no reference.
  void* handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle;
}

ModuleHandle LoadModule(const std::string& path, std::string* error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle && error) {
    const char* message = dlerror();
    *error = message ? message : "cannot load " + path;
  }
  return handle;
}

void UnloadModule(ModuleHandle module) {
  if (module) dlclose(module);
}

std::string ExecutableFolder() {
  std::array<char, 4096> buffer{};
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return ".";
  const std::string path(buffer.data(), static_cast<size_t>(n));
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

namespace native {

// Nobody is at a keyboard the process could read, and no window system
// queues messages for it: the key is never down, the queue is empty, and a
// message box answers its safe button.
bool EscapeKeyDown() { return false; }

int DeliverPendingMessages() { return 0; }

bool MessageWaiting() { return false; }

void PostQueueMessage(uintptr_t, uint32_t, uintptr_t, intptr_t) {}

int32_t ShowMessageBox(const std::string&, const std::string&, uint32_t kind) {
  return SafeAnswer(kind);
}

}  // namespace native

std::string AppDataFolder() {
  if (const char* over = std::getenv("PCBIMPORT_APPDATA"); over && *over) return over;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) return config;
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.config";
  return ".";
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool MakeFolder(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  return mkdir(path.c_str(), 0755) == 0;
}

}  // namespace platform

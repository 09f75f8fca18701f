// POSIX implementation of the platform layer. What needs a person (the Escape
// key, message-box answers, queued messages) comes from the hooks that the
// executable exports as `PlatformHost_Hooks`.
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdlib>

#include "platform/Platform.h"
#include "platform/PlatformHostAbi.h"

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

// The executable's export is looked up once per process: the Escape key is
// polled for every character a reader takes, far too often for dlopen/dlsym.
PlatformHost_Hooks_t HooksExport() {
  static const PlatformHost_Hooks_t get = [] {
    void* exe = dlopen(nullptr, RTLD_LAZY);
    if (!exe) return PlatformHost_Hooks_t{};
    auto found = reinterpret_cast<PlatformHost_Hooks_t>(dlsym(exe, "PlatformHost_Hooks"));
    dlclose(exe);
    return found;
  }();
  return get;
}

const PlatformHostHooks* Hooks() {
  const PlatformHost_Hooks_t get = HooksExport();
  if (!get) return nullptr;
  const PlatformHostHooks* hooks = get();
  // A table of the first size is complete; later hooks are checked one by
  // one against its size (PlatformHostHookPresent).
  if (!hooks || hooks->Size < kPlatformHostHooksFirstSize) return nullptr;
  return hooks;
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

bool EscapeKeyDown() {
  // Fast path: readers poll the key at every character, so the host's hook is
  // resolved once per process (at the first poll) and then called directly.
  // Hosts export one fixed table; a host without one never has the key down.
  using EscapeHook = decltype(PlatformHostHooks::EscapeKeyDown);
  static const EscapeHook escape = [] {
    const PlatformHostHooks* hooks = Hooks();
    return hooks ? hooks->EscapeKeyDown : nullptr;
  }();
  return escape && escape() != 0;
}

int DeliverPendingMessages() {
  const PlatformHostHooks* hooks = Hooks();
  if (!hooks || !hooks->PeekMessage) return 0;
  int delivered = 0;
  PlatformMessage message{};
  while (hooks->PeekMessage(&message)) {
    if (hooks->DispatchMessage) hooks->DispatchMessage(&message);
    ++delivered;
  }
  return delivered;
}

int32_t SafeAnswer(uint32_t kind) {
  switch (kind & 0x0F) {
    case mbOKCancel:
    case mbYesNoCancel: return idCancel;
    case mbYesNo: return idNo;
    default: return idOK;
  }
}

int32_t ShowMessageBox(const std::string& text, const std::string& caption, uint32_t kind) {
  const PlatformHostHooks* hooks = Hooks();
  if (!hooks || !hooks->MessageBox) return SafeAnswer(kind);
  return hooks->MessageBox(text.c_str(), caption.c_str(), kind);
}

std::optional<std::string> HostDialogScript(const std::string& formName) {
  const PlatformHostHooks* hooks = Hooks();
  if (!hooks || !PlatformHostHookPresent(hooks->Size, offsetof(PlatformHostHooks, DialogScript)) ||
      !hooks->DialogScript)
    return std::nullopt;
  const char* script = hooks->DialogScript(formName.c_str());
  if (!script) return std::nullopt;
  return std::string(script);
}

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

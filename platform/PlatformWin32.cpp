// Win32 implementation of the platform layer. Modules are the process's
// loaded DLLs and its executable; texts and paths are 8-bit in the process's
// ANSI code page. A host program that exports `PlatformHost_Hooks` answers
// for the Escape key, message boxes and the message queue (HostHooks.cpp);
// without one (the editor itself) the functions below ask Windows.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shlobj.h>

#include <array>
#include <cctype>
#include <cstdlib>

#include "platform/Platform.h"
#include "platform/PlatformNative.h"

namespace platform {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Windows takes '/' in most places, but not everywhere (LoadLibrary's search
// rules, for one): paths handed to the system use '\'.
std::string WithBackslashes(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string SystemErrorText(DWORD code) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = (n && text) ? std::string(text, n) : std::string();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  if (message.empty()) message = "system error";
  return message + " (" + std::to_string(code) + ")";
}

}  // namespace

// A name without an extension is a DLL's.
std::string PlatformModuleName(const std::string& windowsName) {
  const auto slash = windowsName.find_last_of("\\/");
  const auto dot = windowsName.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return windowsName;
  return windowsName + ".dll";
}

// GetModuleHandle neither loads the module nor counts a reference.
ModuleHandle FindLoadedModule(const std::string& windowsName) {
  return reinterpret_cast<ModuleHandle>(GetModuleHandleA(PlatformModuleName(windowsName).c_str()));
}

ModuleHandle ExecutableModule() { return reinterpret_cast<ModuleHandle>(GetModuleHandleA(nullptr)); }

std::string ExecutableFolder() {
  std::array<char, MAX_PATH * 4> buffer{};
  const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) return ".";
  const std::string path(buffer.data(), n);
  const auto slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  return path.substr(0, slash);
}

void* FindExport(ModuleHandle module, const char* name) {
  if (!module || !name) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

// Neither loads nor keeps a reference, as FindLoadedModule.
ModuleHandle ModuleOfAddress(const void* address) {
  if (!address) return nullptr;
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<const char*>(address), &module))
    return nullptr;
  return reinterpret_cast<ModuleHandle>(module);
}

ModuleHandle LoadModule(const std::string& path, std::string* error) {
  // No "cannot find the DLL" box from the system: the caller reports it.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(WithBackslashes(path).c_str());
  const DWORD code = module ? 0 : GetLastError();
  SetErrorMode(oldMode);
  if (!module && error) *error = path + ": " + SystemErrorText(code);
  return reinterpret_cast<ModuleHandle>(module);
}

void UnloadModule(ModuleHandle module) {
  if (module) FreeLibrary(static_cast<HMODULE>(module));
}

namespace native {

// The thread's keyboard state, as of the last message taken off its queue.
bool EscapeKeyDown() { return (GetKeyState(VK_ESCAPE) & 0x8000) != 0; }

// A quit message is not ours to take: it goes back on the queue for the
// host's own loop, and delivery stops there.
int DeliverPendingMessages() {
  int delivered = 0;
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    DispatchMessageA(&message);
    ++delivered;
  }
  return delivered;
}

bool MessageWaiting() {
  MSG message{};
  return PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) != 0;
}

void PostQueueMessage(uintptr_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (window)
    PostMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam);
  else
    PostThreadMessageA(GetCurrentThreadId(), message, wParam, lParam);
}

// A box that cannot be shown answers the safe button.
int32_t ShowMessageBox(const std::string& text, const std::string& caption, uint32_t kind) {
  const int answer = MessageBoxA(nullptr, text.c_str(), caption.c_str(), kind | MB_TASKMODAL);
  return answer == 0 ? SafeAnswer(kind) : answer;
}

}  // namespace native

// The shell's application-data folder (special folder 26, CSIDL_APPDATA).
std::string AppDataFolder() {
  if (const char* over = std::getenv("PCBIMPORT_APPDATA"); over && *over) return over;
  std::array<char, MAX_PATH> buffer{};
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                 buffer.data())) &&
      buffer[0] != '\0')
    return buffer.data();
  return ".";
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (IsSeparator(folder.back())) return folder + name;
  return folder + "\\" + name;
}

bool MakeFolder(const std::string& path) {
  const std::string native = WithBackslashes(path);
  const DWORD attributes = GetFileAttributesA(native.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return CreateDirectoryA(native.c_str(), nullptr) != 0;
}

}  // namespace platform

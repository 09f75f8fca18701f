// The platform layer: what the plug-ins need of the operating system and the
// window system, behind one interface (PlatformPosix.cpp, PlatformWin32.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// ---- Modules ---------------------------------------------------------------

using ModuleHandle = void*;

// The platform's file name of a module named in the editor's way, e.g.
// "Tarvex.dll" is "libTarvex.so" on POSIX and stays "Tarvex.dll" on Windows.
std::string PlatformModuleName(const std::string& windowsName);

// A module the process has already loaded, found by its (editor) name without
// loading it and without keeping a reference; nullptr when not loaded.
ModuleHandle FindLoadedModule(const std::string& windowsName);

// The module of the process's executable.
ModuleHandle ExecutableModule();

// The folder that holds the process's executable file ("." when unknown).
std::string ExecutableFolder();

// The address a module exports under exactly this name, or nullptr.
void* FindExport(ModuleHandle module, const char* name);

// The loaded module that holds this address (code or data), or nullptr.
ModuleHandle ModuleOfAddress(const void* address);

// Loads a module from a file (the host's way of loading a plug-in); nullptr
// and a message on failure.
ModuleHandle LoadModule(const std::string& path, std::string* error);
void UnloadModule(ModuleHandle module);

// ---- Keyboard and the message queue ----------------------------------------

bool EscapeKeyDown();

// Takes every queued message off the thread's queue and delivers each to its
// window; answers how many were delivered.
int DeliverPendingMessages();

// Whether a message waits on the thread's queue; it is looked at, not taken.
bool MessageWaiting();
// Puts a message on the thread's queue for a window (0: for the thread).
void PostQueueMessage(uintptr_t window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// ---- Message boxes -------------------------------------------------------

// Button sets, icons and answers, with the values of the Windows API.
enum : uint32_t {
  mbOK = 0x00,
  mbOKCancel = 0x01,
  mbYesNoCancel = 0x03,
  mbYesNo = 0x04,
  mbIconError = 0x10,
  mbIconQuestion = 0x20,
  mbIconWarning = 0x30,
  mbIconInformation = 0x40,
};
enum : int32_t { idOK = 1, idCancel = 2, idYes = 6, idNo = 7 };

// The safe answer of a button set: Cancel, No, or OK for a lone OK button.
int32_t SafeAnswer(uint32_t kind);

int32_t ShowMessageBox(const std::string& text, const std::string& caption, uint32_t kind);

// ---- Modal dialogs -----------------------------------------------------------

// The host's script of user actions for the modal form of this name
// (docs/dialog-scripts.md), or nothing when the host gives none.
std::optional<std::string> HostDialogScript(const std::string& formName);

// ---- Folders and ini files -------------------------------------------------

// The user's application-data folder, without a trailing separator. The
// environment variable PCBIMPORT_APPDATA overrides it (tests use it so that
// they never touch the real home folder).
std::string AppDataFolder();

// Joins a folder and a name with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

bool MakeFolder(const std::string& path);

// Private-profile ini files. Section and key names are compared without
// regard to case. A missing file or key reads as the default.
std::string IniReadString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& defaultValue);
// The keys of a section in file order.
std::vector<std::string> IniReadKeys(const std::string& file, const std::string& section);
std::vector<std::string> IniReadSections(const std::string& file);
// Writes one key, keeping all other content of the file as it was; creates
// the file and the section when needed. False when the file cannot be written.
bool IniWriteString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value);

}  // namespace platform

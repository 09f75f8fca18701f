// The server module "LoadKIVOPCB" of LoadVexal and its two commands: load a
// Kivo PCB file into a new board document, load a Kivo library file into a
// new PCB library document.
#pragma once

#include <string>

#include "vexal/server/ServerModule.h"

namespace vexal {

class TLoadKIVOPCBServerModule : public TServerModule {
 public:
  explicit TLoadKIVOPCBServerModule(clientabi::IHostClient* client);

 protected:
  void RegisterCommands() override;
};

// The document that a running load command imports into (held with a
// reference), or nullptr outside a command's import.
extern clientabi::IHostDocument* CommandDocument;

// The commands' routines. Each answers 1 once it has run, whether or not
// the user picked a file (the command exists and was handled).
int32_t LoadKIVOPCBFile(clientabi::IHostView* view, const char* parameters);
int32_t LoadKIVOPCBLibrary(clientabi::IHostView* view, const char* parameters);

// The document a load command imports into: the document of the view when
// it is of `kind` (letters in any case), else a new document of `kind` made
// by the host's "PCB" server for `path` and prepared. nullptr, after the
// error message box, when neither is possible. The answer is borrowed.
clientabi::IHostDocument* NewDocumentFor(const std::string& path, clientabi::IHostView* view,
                                         const std::string& kind);

}  // namespace vexal

// The server-module framework: a reference-counted server module that the
// host creates through the plug-in's `ServerFactory`, with a command table
// (the command launcher) and a process-depth counter (the process control).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hostclient/ServerAbi.h"

namespace vexal {

// An interface object whose reference counting does nothing (AddRef and
// Release answer 0): its owner frees it. QueryInterface answers the object
// itself for IUnknown and for `Iid`.
template <class I, const clientabi::TGuid& Iid>
class TInterfacedObjectNoRef : public I {
 public:
  int32_t PCBAPI_CALL QueryInterface(const clientabi::TGuid& iid, void** obj) override {
    if (!obj) return clientabi::kNoInterface;
    if (iid == Iid || iid == clientabi::IID_IUnknown) {
      *obj = static_cast<I*>(this);
      return 0;
    }
    *obj = nullptr;
    return clientabi::kNoInterface;
  }
  uint32_t PCBAPI_CALL AddRef() override { return 0; }
  uint32_t PCBAPI_CALL Release() override { return 0; }
  virtual ~TInterfacedObjectNoRef() = default;
};

// The routine of a command: the view it runs on (or none) and the parameter
// text (never null); answers the command's result.
using TCommandRoutine = int32_t (*)(clientabi::IHostView* view, const char* parameters);
// The state routine of a command: view, parameters and the five outputs of
// GetCommandState (never null).
using TCommandStateRoutine = void (*)(clientabi::IHostView* view, const char* parameters, int32_t* a,
                                      int32_t* b, int32_t* c, uint8_t* d, uint8_t* e);

struct TCommandHandler {
  std::string Name;
  TCommandRoutine Routine = nullptr;
  TCommandStateRoutine StateRoutine = nullptr;
};

// The command table, kept sorted by name; names are compared without regard
// to the case of letters.
class TCommandLauncher
    : public TInterfacedObjectNoRef<clientabi::ICommandLauncher, clientabi::IID_ICommandLauncher> {
 public:
  // Adds a command; a name that is already in the table keeps its first
  // routine and the call is ignored (answers false).
  bool Register(const std::string& name, TCommandRoutine routine, TCommandStateRoutine stateRoutine);
  // The command of this name, or nullptr.
  const TCommandHandler* Find(const std::string& name) const;
  const std::vector<TCommandHandler>& Commands() const { return commands_; }

  int32_t PCBAPI_CALL LaunchCommand(const char* name, const char* parameters, int32_t spare,
                                    clientabi::IHostView* context) override;
  void PCBAPI_CALL GetCommandState(const char* name, const char* parameters,
                                   clientabi::IHostView* context, int32_t* a, int32_t* b, int32_t* c,
                                   uint8_t* d, uint8_t* e) override;

 private:
  std::vector<TCommandHandler> commands_;
};

class TProcessControl
    : public TInterfacedObjectNoRef<clientabi::IProcessControl, clientabi::IID_IProcessControl> {
 public:
  int32_t PCBAPI_CALL GetProcessDepth() override { return depth_; }
  void PCBAPI_CALL ProcessEnded(clientabi::IRefCounted*, const char*) override;
  void PCBAPI_CALL ProcessStarted(clientabi::IRefCounted*, const char*) override;
  void PCBAPI_CALL SetProcessDepth(int32_t depth) override { depth_ = depth; }

 private:
  int32_t depth_ = 0;
};

// The server module. Create one with Make<T>(...), which runs the
// overridable steps of creation (the command launcher, the command
// registration) once the object is whole; the caller gets the one
// reference, and the last Release frees the module.
class TServerModule : public clientabi::IServerModule {
 public:
  template <class T, class... Args>
  static T* Make(Args&&... args) {
    std::unique_ptr<T> module(new T(std::forward<Args>(args)...));
    module->Setup();
    return module.release();
  }

  int32_t PCBAPI_CALL QueryInterface(const clientabi::TGuid& iid, void** obj) override;
  uint32_t PCBAPI_CALL AddRef() override;
  uint32_t PCBAPI_CALL Release() override;

  void PCBAPI_CALL ProcessIdle() override;
  void PCBAPI_CALL ReceiveNotification(clientabi::IRefCounted*) override {}
  clientabi::IServerDocument* PCBAPI_CALL CreateDocument(const char* kind, const char* path) override;
  void PCBAPI_CALL DestroyDocument(clientabi::IServerDocument* document) override;
  clientabi::IHostClient* PCBAPI_CALL GetClient() override { return client_; }
  clientabi::ICommandLauncher* PCBAPI_CALL GetCommandLauncher() override { return launcher_.get(); }
  int32_t PCBAPI_CALL GetDocumentCount() override;
  clientabi::IServerDocument* PCBAPI_CALL GetDocument(int32_t index) override;
  uintptr_t PCBAPI_CALL GetModuleInstance() override;
  const char* PCBAPI_CALL GetName() override { return name_.c_str(); }
  clientabi::IProcessControl* PCBAPI_CALL GetProcessControl() override { return &processControl_; }
  int32_t PCBAPI_CALL GetPanelCount() override;
  clientabi::IServerPanel* PCBAPI_CALL GetPanel(int32_t index) override;
  int32_t PCBAPI_CALL GetOption16() override { return 0; }

  virtual ~TServerModule();

  TCommandLauncher& CommandLauncher() { return *launcher_; }

 protected:
  // Sets the module-wide client interface and server module interface, and
  // keeps the client (with a reference) and the name.
  TServerModule(clientabi::IHostClient* client, std::string name);

  // Overridable steps of creation, run by Make in this order.
  virtual std::unique_ptr<TCommandLauncher> CreateCommandLauncher();
  virtual void RegisterCommands() {}
  // The module's document factory: a server document for kind and path, or
  // nullptr. The base makes none.
  virtual clientabi::IServerDocument* NewServerDocument(const char* kind, const char* path);

 private:
  void Setup();

  uint32_t refs_ = 1;
  clientabi::IHostClient* client_;
  std::string name_;
  std::unique_ptr<TCommandLauncher> launcher_;
  TProcessControl processControl_;
  std::vector<clientabi::IServerDocument*> documents_;
  std::vector<clientabi::IServerPanel*> panels_;
};

// The interface of the server module while it exists, else nullptr.
extern clientabi::IServerModule* ServerModuleInterface;

}  // namespace vexal

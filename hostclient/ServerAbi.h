// The boundary between the host and a plug-in's server module: the
// interfaces that the plug-in implements and the host calls (the server
// module, its command launcher and its process control), and the type of
// the export through which the host creates the module.
//
// As in ClientAbi.h, operations stand at fixed method-table positions;
// positions 0 to 2 are the reference-counting operations. No interface has a
// virtual destructor, so the declaration order is the table; the plug-in's
// classes put their destructors after these operations.
#pragma once

#include <cstdint>

#include "hostclient/ClientAbi.h"

namespace clientabi {

// {00000000-0000-0000-C000-000000000046}: every interface answers it.
inline constexpr TGuid IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {CF7702C4-5044-49E3-BE46-37B9F8FB8203}
inline constexpr TGuid IID_IServerModule = {
    0xCF7702C4, 0x5044, 0x49E3, {0xBE, 0x46, 0x37, 0xB9, 0xF8, 0xFB, 0x82, 0x03}};
// {B3F5F50A-C728-462B-8C35-0AF07AEFE6D5}
inline constexpr TGuid IID_ICommandLauncher = {
    0xB3F5F50A, 0xC728, 0x462B, {0x8C, 0x35, 0x0A, 0xF0, 0x7A, 0xEF, 0xE6, 0xD5}};
// {BAF46BDA-19A1-4848-BFAC-2BEC078C8911}
inline constexpr TGuid IID_IProcessControl = {
    0xBAF46BDA, 0x19A1, 0x4848, {0xBF, 0xAC, 0x2B, 0xEC, 0x07, 0x8C, 0x89, 0x11}};

// The window message the server module posts when it finds the thread's
// queue not empty while idle.
inline constexpr uint32_t kMessageUser = 0x0400;

// Documents and panels of a server module: interfaces of their own, opaque
// here (the plug-ins keep none).
class IServerDocument : public IRefCounted {
 protected:
  ~IServerDocument() = default;
};

class IServerPanel : public IRefCounted {
 protected:
  ~IServerPanel() = default;
};

class ICommandLauncher : public IRefCounted {
 public:
  // Runs the command of this name (letters in any case) with the parameter
  // text, on the view it was started from (or none); answers the command's
  // result, 0 for a name the module does not know. `spare` is not used.
  virtual int32_t PCBAPI_CALL LaunchCommand(const char* name, const char* parameters, int32_t spare,
                                            IHostView* context) = 0;  // 3
  // The state of a command's menu entry or button. The outputs are set to
  // -1, 0, -1, false, false before the command's state routine (if any) is
  // asked; null outputs are left alone.
  virtual void PCBAPI_CALL GetCommandState(const char* name, const char* parameters,
                                           IHostView* context, int32_t* a, int32_t* b, int32_t* c,
                                           uint8_t* d, uint8_t* e) = 0;  // 4

 protected:
  ~ICommandLauncher() = default;
};

class IProcessControl : public IRefCounted {
 public:
  virtual int32_t PCBAPI_CALL GetProcessDepth() = 0;                                      // 3
  virtual void PCBAPI_CALL ProcessEnded(IRefCounted* context, const char* parameters) = 0;    // 4
  virtual void PCBAPI_CALL ProcessStarted(IRefCounted* context, const char* parameters) = 0;  // 5
  virtual void PCBAPI_CALL SetProcessDepth(int32_t depth) = 0;                            // 6

 protected:
  ~IProcessControl() = default;
};

class IServerModule : public IRefCounted {
 public:
  virtual void PCBAPI_CALL ProcessIdle() = 0;                                      // 3
  virtual void PCBAPI_CALL ReceiveNotification(IRefCounted* notification) = 0;     // 4
  virtual IServerDocument* PCBAPI_CALL CreateDocument(const char* kind,
                                                      const char* path) = 0;       // 5
  virtual void PCBAPI_CALL DestroyDocument(IServerDocument* document) = 0;         // 6
  virtual IHostClient* PCBAPI_CALL GetClient() = 0;                                // 7
  virtual ICommandLauncher* PCBAPI_CALL GetCommandLauncher() = 0;                  // 8
  virtual int32_t PCBAPI_CALL GetDocumentCount() = 0;                              // 9
  virtual IServerDocument* PCBAPI_CALL GetDocument(int32_t index) = 0;             // 10
  virtual uintptr_t PCBAPI_CALL GetModuleInstance() = 0;                           // 11
  virtual const char* PCBAPI_CALL GetName() = 0;                                   // 12
  virtual IProcessControl* PCBAPI_CALL GetProcessControl() = 0;                    // 13
  virtual int32_t PCBAPI_CALL GetPanelCount() = 0;                                 // 14
  virtual IServerPanel* PCBAPI_CALL GetPanel(int32_t index) = 0;                   // 15
  virtual int32_t PCBAPI_CALL GetOption16() = 0;                                   // 16

 protected:
  ~IServerModule() = default;
};

// The export `ServerFactory`: creates the server module with the host's
// client interface and hands the module's interface (with one reference,
// which the host gives back with Release) through the first argument.
using ServerFactory_t = void(PCBAPI_CALL*)(void** module, IHostClient* client);

}  // namespace clientabi

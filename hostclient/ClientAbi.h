// The boundary between the plug-ins and the host client: the client functions
// that the host program exports by name, and the client interfaces that the
// host hands over when it creates a plug-in's server module.
//
// Interfaces are abstract classes whose virtual operations stand at fixed
// method-table positions; positions 0 to 2 are the reference-counting
// operations, positions that the plug-ins do not use are reserved slots. No
// interface has a virtual destructor, so the declaration order is the table;
// the destructors are protected because nobody deletes through an interface
// (objects go away through Release).
#pragma once

#include <cstdint>

#include "hostapi/PcbApiAbi.h"  // PCBAPI_CALL

namespace clientabi {

using THostWindow = uintptr_t;  // a window handle; 0 = no window

struct TGuid {
  uint32_t D1;
  uint16_t D2;
  uint16_t D3;
  uint8_t D4[8];
};

inline bool operator==(const TGuid& a, const TGuid& b) {
  if (a.D1 != b.D1 || a.D2 != b.D2 || a.D3 != b.D3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.D4[i] != b.D4[i]) return false;
  return true;
}

// {8452C443-703F-4881-B7AC-C33550794AA6}
inline constexpr TGuid IID_IHostProcessLauncher = {
    0x8452C443, 0x703F, 0x4881, {0xB7, 0xAC, 0xC3, 0x35, 0x50, 0x79, 0x4A, 0xA6}};

inline constexpr int32_t kNoInterface = static_cast<int32_t>(0x80004002u);

#define CLIENTABI_RESERVED(n) \
  virtual void PCBAPI_CALL Reserved##n() {}

class IHostDocument;
class IHostServer;
class IHostView;

class IRefCounted {
 public:
  virtual int32_t PCBAPI_CALL QueryInterface(const TGuid& iid, void** obj) = 0;  // 0
  virtual uint32_t PCBAPI_CALL AddRef() = 0;                                     // 1
  virtual uint32_t PCBAPI_CALL Release() = 0;                                    // 2

 protected:
  ~IRefCounted() = default;
};

class IHostProcess : public IRefCounted {
 public:
  virtual void PCBAPI_CALL Run() = 0;  // 3

 protected:
  ~IHostProcess() = default;
};

class IHostProcessLauncher : public IRefCounted {
 public:
  CLIENTABI_RESERVED(3)
  // Runs a host process by name; the host reads the parameter text from the
  // buffer and may rewrite it with result parameters (at most size bytes).
  // Non-zero for success.
  virtual int32_t PCBAPI_CALL RunProcess(const char* name, char* parameters, int32_t size,
                                         IHostView* view) = 0;  // 4

 protected:
  ~IHostProcessLauncher() = default;
};

class IHostView : public IRefCounted {
 public:
  CLIENTABI_RESERVED(3) CLIENTABI_RESERVED(4) CLIENTABI_RESERVED(5) CLIENTABI_RESERVED(6)
  CLIENTABI_RESERVED(7) CLIENTABI_RESERVED(8) CLIENTABI_RESERVED(9) CLIENTABI_RESERVED(10)
  CLIENTABI_RESERVED(11) CLIENTABI_RESERVED(12) CLIENTABI_RESERVED(13) CLIENTABI_RESERVED(14)
  CLIENTABI_RESERVED(15) CLIENTABI_RESERVED(16)
  virtual IHostDocument* PCBAPI_CALL GetDocument() = 0;  // 17

 protected:
  ~IHostView() = default;
};

class IHostDocument : public IRefCounted {
 public:
  CLIENTABI_RESERVED(3) CLIENTABI_RESERVED(4) CLIENTABI_RESERVED(5) CLIENTABI_RESERVED(6)
  CLIENTABI_RESERVED(7)
  virtual void PCBAPI_CALL Prepare() = 0;  // 8
  CLIENTABI_RESERVED(9) CLIENTABI_RESERVED(10) CLIENTABI_RESERVED(11) CLIENTABI_RESERVED(12)
  CLIENTABI_RESERVED(13)
  virtual const char* PCBAPI_CALL GetKind() = 0;  // 14: "PCB" or "PCBLib"
  CLIENTABI_RESERVED(15) CLIENTABI_RESERVED(16) CLIENTABI_RESERVED(17)
  virtual IHostServer* PCBAPI_CALL GetServer() = 0;           // 18
  virtual IHostView* PCBAPI_CALL GetView(int32_t index) = 0;  // 19

 protected:
  ~IHostDocument() = default;
};

class IHostServer : public IRefCounted {
 public:
  CLIENTABI_RESERVED(3) CLIENTABI_RESERVED(4)
  virtual IHostDocument* PCBAPI_CALL NewDocument(const char* kind, const char* path) = 0;  // 5
  CLIENTABI_RESERVED(6) CLIENTABI_RESERVED(7)
  virtual IHostProcess* PCBAPI_CALL CreateServerProcess(const char* name, int32_t a, int32_t b,
                                                        IHostView* view) = 0;  // 8
  CLIENTABI_RESERVED(9) CLIENTABI_RESERVED(10) CLIENTABI_RESERVED(11)
  virtual const char* PCBAPI_CALL GetName() = 0;  // 12

 protected:
  ~IHostServer() = default;
};

class IHostClient : public IRefCounted {
 public:
  CLIENTABI_RESERVED(3) CLIENTABI_RESERVED(4) CLIENTABI_RESERVED(5) CLIENTABI_RESERVED(6)
  CLIENTABI_RESERVED(7) CLIENTABI_RESERVED(8) CLIENTABI_RESERVED(9) CLIENTABI_RESERVED(10)
  CLIENTABI_RESERVED(11) CLIENTABI_RESERVED(12) CLIENTABI_RESERVED(13)
  virtual IHostDocument* PCBAPI_CALL FindDocumentByPath(const char* path) = 0;  // 14
  virtual THostWindow PCBAPI_CALL GetMainWindow() = 0;                          // 15
  CLIENTABI_RESERVED(16) CLIENTABI_RESERVED(17) CLIENTABI_RESERVED(18)
  virtual IHostServer* PCBAPI_CALL GetServer(const char* name) = 0;  // 19
  CLIENTABI_RESERVED(20) CLIENTABI_RESERVED(21) CLIENTABI_RESERVED(22) CLIENTABI_RESERVED(23)
  virtual IHostDocument* PCBAPI_CALL OpenDocument(const char* kind, const char* path) = 0;  // 24
  virtual uint8_t PCBAPI_CALL IsServerAvailable(const char* name) = 0;                      // 25
  CLIENTABI_RESERVED(26)
  virtual const char* PCBAPI_CALL DocumentKindOfPath(const char* path) = 0;  // 27
  CLIENTABI_RESERVED(28) CLIENTABI_RESERVED(29) CLIENTABI_RESERVED(30)
  virtual void PCBAPI_CALL MakeDocumentCurrent(IHostDocument* document) = 0;  // 31

 protected:
  ~IHostClient() = default;
};

#undef CLIENTABI_RESERVED

// Output buffers of the path functions hold 4096 bytes.
inline constexpr int kPathBufferSize = 4096;

}  // namespace clientabi

// The client functions that the plug-ins call: X(name, result, (parameters)).
#define CLIENTAPI_CALLED_FUNCTIONS(X)                                              \
  X(ClientAPI_ExistSpecific, uint8_t, (const char* /*path*/))                      \
  X(ClientAPI_ExtractFileNameFromPath, void, (const char* /*path*/, char* /*out*/)) \
  X(ClientAPI_ForceFileNameExtension, void,                                        \
    (const char* /*path*/, const char* /*extension*/, char* /*out*/))

namespace clientabi {
#define CLIENTAPI_DECLARE_TYPE(name, ret, params) using name##_t = ret(PCBAPI_CALL*) params;
CLIENTAPI_CALLED_FUNCTIONS(CLIENTAPI_DECLARE_TYPE)
#undef CLIENTAPI_DECLARE_TYPE
}  // namespace clientabi

#include "vexal/server/ServerModule.h"

#include <algorithm>

#include "hostclient/HostClient.h"
#include "platform/Platform.h"

namespace vexal {

clientabi::IServerModule* ServerModuleInterface = nullptr;

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Orders names without regard to the case of letters: <0, 0, >0.
int CompareNames(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(Upper(a[i]));
    const auto y = static_cast<unsigned char>(Upper(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

// The first command not ordered before `name`.
std::vector<TCommandHandler>::const_iterator LowerBound(const std::vector<TCommandHandler>& commands,
                                                        const std::string& name) {
  return std::lower_bound(commands.begin(), commands.end(), name,
                          [](const TCommandHandler& c, const std::string& n) { return CompareNames(c.Name, n) < 0; });
}

// The plug-in module's handle: the module that holds this code.
const char kModuleAnchor = 0;

}  // namespace

// ---- Command launcher ----------------------------------------------------------

bool TCommandLauncher::Register(const std::string& name, TCommandRoutine routine,
                                TCommandStateRoutine stateRoutine) {
  const auto at = LowerBound(commands_, name);
  if (at != commands_.end() && CompareNames(at->Name, name) == 0) return false;
  commands_.insert(at, TCommandHandler{name, routine, stateRoutine});
  return true;
}

const TCommandHandler* TCommandLauncher::Find(const std::string& name) const {
  const auto at = LowerBound(commands_, name);
  if (at == commands_.end() || CompareNames(at->Name, name) != 0) return nullptr;
  return &*at;
}

int32_t PCBAPI_CALL TCommandLauncher::LaunchCommand(const char* name, const char* parameters,
                                                    int32_t /*spare*/, clientabi::IHostView* context) {
  try {
    if (!name) return 0;
    const TCommandHandler* command = Find(name);
    if (!command || !command->Routine) return 0;
    return command->Routine(context, parameters ? parameters : "");
  } catch (...) {
    return 0;
  }
}

void PCBAPI_CALL TCommandLauncher::GetCommandState(const char* name, const char* parameters,
                                                   clientabi::IHostView* context, int32_t* a, int32_t* b,
                                                   int32_t* c, uint8_t* d, uint8_t* e) {
  try {
    if (a) *a = -1;
    if (b) *b = 0;
    if (c) *c = -1;
    if (d) *d = 0;
    if (e) *e = 0;
    if (!name || !a || !b || !c || !d || !e) return;
    const TCommandHandler* command = Find(name);
    if (command && command->StateRoutine)
      command->StateRoutine(context, parameters ? parameters : "", a, b, c, d, e);
  } catch (...) {
  }
}

// ---- Process control -----------------------------------------------------------

void PCBAPI_CALL TProcessControl::ProcessEnded(clientabi::IRefCounted*, const char*) {
  depth_ = static_cast<int32_t>(static_cast<uint32_t>(depth_) - 1u);
}

void PCBAPI_CALL TProcessControl::ProcessStarted(clientabi::IRefCounted*, const char*) {
  depth_ = static_cast<int32_t>(static_cast<uint32_t>(depth_) + 1u);
}

// ---- Server module -------------------------------------------------------------

TServerModule::TServerModule(clientabi::IHostClient* client, std::string name)
    : client_(client), name_(std::move(name)) {
  hostclient::SetClientInterface(client);
  ServerModuleInterface = this;
  if (client_) client_->AddRef();
}

void TServerModule::Setup() {
  launcher_ = CreateCommandLauncher();
  if (!launcher_) launcher_ = std::make_unique<TCommandLauncher>();
  RegisterCommands();
}

TServerModule::~TServerModule() {
  for (clientabi::IServerDocument* document : documents_)
    if (document) document->Release();
  for (clientabi::IServerPanel* panel : panels_)
    if (panel) panel->Release();
  // A newer module made by a second call of the factory keeps its place.
  if (ServerModuleInterface == this) ServerModuleInterface = nullptr;
  if (client_) client_->Release();
}

std::unique_ptr<TCommandLauncher> TServerModule::CreateCommandLauncher() {
  return std::make_unique<TCommandLauncher>();
}

clientabi::IServerDocument* TServerModule::NewServerDocument(const char*, const char*) { return nullptr; }

int32_t PCBAPI_CALL TServerModule::QueryInterface(const clientabi::TGuid& iid, void** obj) {
  if (!obj) return clientabi::kNoInterface;
  if (iid == clientabi::IID_IServerModule || iid == clientabi::IID_IUnknown) {
    AddRef();
    *obj = static_cast<clientabi::IServerModule*>(this);
    return 0;
  }
  *obj = nullptr;
  return clientabi::kNoInterface;
}

uint32_t PCBAPI_CALL TServerModule::AddRef() { return ++refs_; }

uint32_t PCBAPI_CALL TServerModule::Release() {
  if (refs_ == 0) return 0;  // already on its way out
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

void PCBAPI_CALL TServerModule::ProcessIdle() {
  // The module's dialogs are run by the dialog kit, which has no window of
  // its own: the wake-up message goes to the thread's queue, and the kit has
  // no idle work to do.
  try {
    if (platform::MessageWaiting()) platform::PostQueueMessage(0, clientabi::kMessageUser, 0, 0);
  } catch (...) {
  }
}

clientabi::IServerDocument* PCBAPI_CALL TServerModule::CreateDocument(const char* kind, const char* path) {
  try {
    clientabi::IServerDocument* document = NewServerDocument(kind, path);
    if (!document) return nullptr;
    documents_.push_back(document);
    return document;
  } catch (...) {
    return nullptr;
  }
}

void PCBAPI_CALL TServerModule::DestroyDocument(clientabi::IServerDocument* document) {
  const auto at = std::find(documents_.begin(), documents_.end(), document);
  if (at == documents_.end()) return;
  documents_.erase(at);
  if (document) document->Release();
}

int32_t PCBAPI_CALL TServerModule::GetDocumentCount() { return static_cast<int32_t>(documents_.size()); }

clientabi::IServerDocument* PCBAPI_CALL TServerModule::GetDocument(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= documents_.size()) return nullptr;
  return documents_[static_cast<size_t>(index)];
}

int32_t PCBAPI_CALL TServerModule::GetPanelCount() { return static_cast<int32_t>(panels_.size()); }

clientabi::IServerPanel* PCBAPI_CALL TServerModule::GetPanel(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= panels_.size()) return nullptr;
  return panels_[static_cast<size_t>(index)];
}

uintptr_t PCBAPI_CALL TServerModule::GetModuleInstance() {
  return reinterpret_cast<uintptr_t>(platform::ModuleOfAddress(&kModuleAnchor));
}

}  // namespace vexal

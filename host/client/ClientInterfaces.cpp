// The client interfaces of the stand-in host: the client, its two servers
// ("PCB" and "TextEdit"), documents, views, server processes and the process
// launcher. Board and library documents live in the host module (Tarvex);
// the client wraps them. Text documents live here.
//
// The client owns every object it hands out for the life of the process:
// reference counts are kept but never free anything, so a plug-in that
// releases once too often cannot make the host crash.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/client/StandInClient.h"
#include "host/tarvex/TarvexHost.h"

PCB_EXPORT uint8_t PCBAPI_CALL ClientAPI_ExistSpecific(const char* path);

namespace standin {

namespace {

using clientabi::IHostDocument;
using clientabi::IHostProcess;
using clientabi::IHostServer;
using clientabi::IHostView;
using clientabi::TGuid;

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  const size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// The host's side of an interface. Its destructor comes after the
// interface's operations in the method table, so their positions stay.
template <class I>
class RefObject : public I {
 public:
  virtual ~RefObject() = default;
  int32_t PCBAPI_CALL QueryInterface(const TGuid& /*iid*/, void** obj) override {
    if (obj) *obj = nullptr;
    return clientabi::kNoInterface;
  }
  uint32_t PCBAPI_CALL AddRef() override { return ++refs_; }
  uint32_t PCBAPI_CALL Release() override { return refs_ > 1 ? --refs_ : 1; }

 private:
  uint32_t refs_ = 1;
};

class Document;

class View final : public RefObject<IHostView> {
 public:
  explicit View(Document* document) : document_(document) {}
  IHostDocument* PCBAPI_CALL GetDocument() override;
  Document* Owner() const { return document_; }

 private:
  Document* document_;
};

class Server final : public RefObject<IHostServer> {
 public:
  explicit Server(std::string name) : name_(std::move(name)) {}
  IHostDocument* PCBAPI_CALL NewDocument(const char* kind, const char* path) override;
  IHostProcess* PCBAPI_CALL CreateServerProcess(const char* name, int32_t a, int32_t b,
                                                IHostView* view) override;
  const char* PCBAPI_CALL GetName() override { return name_.c_str(); }
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
};

class Document final : public RefObject<IHostDocument> {
 public:
  Document(std::string kind, std::string path, tarvex::THandle board, Server* server)
      : kind_(std::move(kind)), path_(std::move(path)), board_(board), server_(server),
        view_(this) {}
  void PCBAPI_CALL Prepare() override { ++prepared_; }
  const char* PCBAPI_CALL GetKind() override { return kind_.c_str(); }
  IHostServer* PCBAPI_CALL GetServer() override { return server_; }
  IHostView* PCBAPI_CALL GetView(int32_t index) override { return index == 0 ? &view_ : nullptr; }

  const std::string& Kind() const { return kind_; }
  const std::string& Path() const { return path_; }
  tarvex::THandle Board() const { return board_; }
  bool IsText() const { return board_ == 0; }
  bool cursorAtTop = false;
  bool open = true;

 private:
  std::string kind_;
  std::string path_;
  tarvex::THandle board_;  // 0 for a text document
  Server* server_;
  View view_;
  int prepared_ = 0;
};

IHostDocument* PCBAPI_CALL View::GetDocument() { return document_; }

class Process final : public RefObject<IHostProcess> {
 public:
  Process(std::string name, IHostView* view) : name_(std::move(name)), view_(view) {}
  void PCBAPI_CALL Run() override;

 private:
  std::string name_;
  IHostView* view_;
};

class Launcher final : public RefObject<clientabi::IHostProcessLauncher> {
 public:
  int32_t PCBAPI_CALL RunProcess(const char* name, char* parameters, int32_t size,
                                 IHostView* view) override;
};

class Client final : public RefObject<clientabi::IHostClient> {
 public:
  int32_t PCBAPI_CALL QueryInterface(const TGuid& iid, void** obj) override;
  IHostDocument* PCBAPI_CALL FindDocumentByPath(const char* path) override;
  clientabi::THostWindow PCBAPI_CALL GetMainWindow() override { return kMainWindow; }
  IHostServer* PCBAPI_CALL GetServer(const char* name) override;
  IHostDocument* PCBAPI_CALL OpenDocument(const char* kind, const char* path) override;
  uint8_t PCBAPI_CALL IsServerAvailable(const char* name) override;
  const char* PCBAPI_CALL DocumentKindOfPath(const char* path) override;
  void PCBAPI_CALL MakeDocumentCurrent(IHostDocument* document) override;
};

struct ClientState {
  Server pcb{"PCB"};
  Server textEdit{"TextEdit"};
  Launcher launcher;
  Client client;
  std::vector<std::unique_ptr<Document>> documents;  // every one ever made
  std::vector<std::unique_ptr<Process>> processes;
  std::vector<DocumentRecord> documentLog;
  std::vector<ProcessRecord> processLog;
  bool pcbAvailable = true;
  bool textEditAvailable = true;
  bool newDocumentsRefused = false;
  Document* current = nullptr;
};

ClientState& State() {
  static ClientState state;
  return state;
}

tarvex::ITarvexHost* Host() { return tarvex::FindTarvexHost(); }

bool PcbServerAvailable() { return State().pcbAvailable && Host() != nullptr; }

// The wrapper of a board document of the host module (made on first use).
Document* DocumentForBoard(tarvex::THandle board) {
  tarvex::ITarvexHost* host = Host();
  const tarvex::Document* d = host ? host->GetDocument(board) : nullptr;
  if (!d) return nullptr;
  for (auto& doc : State().documents)
    if (doc->open && doc->Board() == board) return doc.get();
  State().documents.push_back(std::make_unique<Document>(d->Kind, d->Path, board, &State().pcb));
  return State().documents.back().get();
}

Document* TextDocument(const std::string& path) {
  for (auto& doc : State().documents)
    if (doc->open && doc->IsText() && doc->Path() == path) return doc.get();
  return nullptr;
}

Document* NewTextDocument(const std::string& path) {
  State().documents.push_back(std::make_unique<Document>("Text", path, 0, &State().textEdit));
  return State().documents.back().get();
}

// The document behind an interface pointer the client handed out, or nullptr.
Document* Known(IHostDocument* document) {
  if (!document) return nullptr;
  for (auto& doc : State().documents)
    if (static_cast<IHostDocument*>(doc.get()) == document) return doc.get();
  return nullptr;
}

Document* DocumentOfView(IHostView* view) {
  if (!view) return nullptr;
  for (auto& doc : State().documents)
    if (doc->GetView(0) == view) return doc.get();
  return nullptr;
}

bool IsBoardKind(const std::string& kind) { return SameText(kind, "PCB") || SameText(kind, "PCBLib"); }

// Runs one host process by name. The parameter text is read from the
// buffer (at most `size` bytes) and the answer written back into it.
int32_t RunNamed(const std::string& name, char* parameters, int32_t size, IHostView* view) {
  ProcessRecord record;
  record.Name = name;
  if (parameters && size > 0) {
    const void* end = std::memchr(parameters, 0, static_cast<size_t>(size));
    record.Parameters.assign(parameters, end ? static_cast<const char*>(end) - parameters
                                             : static_cast<ptrdiff_t>(size));
  }
  Document* viewDocument = DocumentOfView(view);
  if (viewDocument) record.DocumentPath = viewDocument->Path();
  int32_t result = 0;

  if (SameText(name, "Client:RunCommonDialog")) {
    tarvex::ITarvexHost* host = Host();
    if (host && host->RunCommonDialog("RunProcess", parameters, size)) result = 1;
  } else if (SameText(name, "PCB:CreateComponent")) {
    // The library document of the view, else the current one.
    tarvex::ITarvexHost* host = Host();
    std::string footprint;
    if (host && ParameterOf(record.Parameters, "FootPrint", footprint) && !footprint.empty()) {
      tarvex::THandle board = 0;
      if (viewDocument && SameText(viewDocument->Kind(), "PCBLib")) board = viewDocument->Board();
      else if (const tarvex::Document* d = host->GetDocument(host->CurrentBoard());
               d && d->IsLibrary())
        board = d->Board;
      if (board && host->AddLibraryComponent(board, footprint)) result = 1;
    }
  } else if (SameText(name, "TextEdit:MoveCursorToTopOfDocument")) {
    if (viewDocument && viewDocument->IsText()) {
      viewDocument->cursorAtTop = true;
      result = 1;
    }
  }
  if (parameters && size > 0) {
    const void* end = std::memchr(parameters, 0, static_cast<size_t>(size));
    record.Answer.assign(parameters, end ? static_cast<const char*>(end) - parameters
                                         : static_cast<ptrdiff_t>(size));
  }
  record.Result = result;
  State().processLog.push_back(std::move(record));
  return result;
}

// ---- Implementations ---------------------------------------------------------

IHostDocument* PCBAPI_CALL Server::NewDocument(const char* kind, const char* path) {
  try {
    if (!kind || !path) return nullptr;
    if (this == &State().pcb) {
      tarvex::ITarvexHost* host = Host();
      if (!host || !PcbServerAvailable() || !IsBoardKind(kind) || State().newDocumentsRefused)
        return nullptr;
      const tarvex::THandle board = host->NewDocument(kind, path);
      Document* d = DocumentForBoard(board);
      if (d) State().documentLog.push_back(DocumentRecord{"new", d->Kind(), d->Path()});
      return d;
    }
    if (!SameText(kind, "Text")) return nullptr;
    Document* d = NewTextDocument(path);
    State().documentLog.push_back(DocumentRecord{"new", "Text", path});
    return d;
  } catch (...) {
    return nullptr;
  }
}

IHostProcess* PCBAPI_CALL Server::CreateServerProcess(const char* name, int32_t /*a*/,
                                                      int32_t /*b*/, IHostView* view) {
  try {
    if (!name) return nullptr;
    const std::string process = name;
    // A server runs the processes that carry its name.
    const std::string prefix = name_ + ":";
    if (process.size() <= prefix.size() || !SameText(process.substr(0, prefix.size()), prefix))
      return nullptr;
    State().processes.push_back(std::make_unique<Process>(process, view));
    return State().processes.back().get();
  } catch (...) {
    return nullptr;
  }
}

void PCBAPI_CALL Process::Run() {
  try {
    char none[1] = {'\0'};
    RunNamed(name_, none, 1, view_);
  } catch (...) {
  }
}

int32_t PCBAPI_CALL Launcher::RunProcess(const char* name, char* parameters, int32_t size,
                                         IHostView* view) {
  try {
    if (!name) return 0;
    return RunNamed(name, parameters, size, view);
  } catch (...) {
    return 0;
  }
}

int32_t PCBAPI_CALL Client::QueryInterface(const TGuid& iid, void** obj) {
  if (!obj) return clientabi::kNoInterface;
  if (iid == clientabi::IID_IHostProcessLauncher) {
    State().launcher.AddRef();
    *obj = static_cast<clientabi::IHostProcessLauncher*>(&State().launcher);
    return 0;
  }
  *obj = nullptr;
  return clientabi::kNoInterface;
}

IHostDocument* PCBAPI_CALL Client::FindDocumentByPath(const char* path) {
  try {
    if (!path) return nullptr;
    if (tarvex::ITarvexHost* host = Host())
      if (const tarvex::THandle board = host->FindDocument(path)) return DocumentForBoard(board);
    return TextDocument(path);
  } catch (...) {
    return nullptr;
  }
}

IHostServer* PCBAPI_CALL Client::GetServer(const char* name) {
  const std::string n = Text(name);
  if (SameText(n, "PCB") && PcbServerAvailable()) return &State().pcb;
  if (SameText(n, "TextEdit") && State().textEditAvailable) return &State().textEdit;
  return nullptr;
}

IHostDocument* PCBAPI_CALL Client::OpenDocument(const char* kind, const char* path) {
  try {
    if (!kind || !path || !*path) return nullptr;
    if (IsBoardKind(kind)) {
      tarvex::ITarvexHost* host = Host();
      if (!host || !PcbServerAvailable()) return nullptr;
      for (tarvex::THandle board : host->Documents()) {
        const tarvex::Document* d = host->GetDocument(board);
        if (d && d->Path == path && SameText(d->Kind, kind)) return DocumentForBoard(board);
      }
      Document* d = DocumentForBoard(host->NewDocument(kind, path));
      if (d) State().documentLog.push_back(DocumentRecord{"open", d->Kind(), d->Path()});
      return d;
    }
    if (!SameText(kind, "Text") || !State().textEditAvailable) return nullptr;
    if (Document* d = TextDocument(path)) return d;
    if (!ClientAPI_ExistSpecific(path)) return nullptr;
    Document* d = NewTextDocument(path);
    State().documentLog.push_back(DocumentRecord{"open", "Text", path});
    return d;
  } catch (...) {
    return nullptr;
  }
}

uint8_t PCBAPI_CALL Client::IsServerAvailable(const char* name) {
  const std::string n = Text(name);
  if (SameText(n, "PCB")) return PcbServerAvailable() ? 1 : 0;
  if (SameText(n, "TextEdit")) return State().textEditAvailable ? 1 : 0;
  return 0;
}

const char* PCBAPI_CALL Client::DocumentKindOfPath(const char* path) {
  std::string p = Text(path);
  const size_t dot = p.find_last_of('.');
  const size_t slash = p.find_last_of("/\\");
  std::string ext;
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) ext = p.substr(dot);
  if (SameText(ext, ".PcbDoc") || SameText(ext, ".pcb")) return "PCB";
  if (SameText(ext, ".PcbLib") || SameText(ext, ".lib") || SameText(ext, ".lia")) return "PCBLib";
  return "Text";
}

void PCBAPI_CALL Client::MakeDocumentCurrent(IHostDocument* document) {
  try {
    Document* d = Known(document);
    if (!d || !d->open) return;
    tarvex::ITarvexHost* host = Host();
    if (d->IsText()) {
      if (host) host->MakeCurrent(0);
    } else if (!host || !host->MakeCurrent(d->Board())) {
      return;
    }
    State().current = d;
  } catch (...) {
  }
}

}  // namespace

// ---- The C++ side ----------------------------------------------------------------

clientabi::IHostClient* HostClient() { return &State().client; }
const std::vector<DocumentRecord>& DocumentLog() { return State().documentLog; }
const std::vector<ProcessRecord>& ProcessLog() { return State().processLog; }

void SetServerAvailable(const std::string& server, bool available) {
  if (SameText(server, "PCB")) State().pcbAvailable = available;
  if (SameText(server, "TextEdit")) State().textEditAvailable = available;
}

void SetNewDocumentsRefused(bool refused) { State().newDocumentsRefused = refused; }

clientabi::IHostDocument* DocumentOfBoard(uint32_t board) {
  try {
    return board ? DocumentForBoard(board) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

bool TextDocumentOpen(const std::string& path) { return TextDocument(path) != nullptr; }

bool TextCursorAtTop(const std::string& path) {
  const Document* d = TextDocument(path);
  return d && d->cursorAtTop;
}

std::string CurrentDocumentKind() { return State().current ? State().current->Kind() : ""; }
std::string CurrentDocumentPath() { return State().current ? State().current->Path() : ""; }

void ResetClient() {
  ClientState& s = State();
  for (auto& d : s.documents) d->open = false;
  s.documentLog.clear();
  s.processLog.clear();
  s.pcbAvailable = true;
  s.textEditAvailable = true;
  s.newDocumentsRefused = false;
  s.current = nullptr;
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool ParameterOf(const std::string& text, const std::string& name, std::string& value) {
  const std::string wanted = Trim(name);
  size_t start = 0;
  while (start <= text.size()) {
    size_t bar = text.find('|', start);
    if (bar == std::string::npos) bar = text.size();
    const std::string pair = text.substr(start, bar - start);
    const size_t eq = pair.find('=');
    if (eq != std::string::npos && SameText(Trim(pair.substr(0, eq)), wanted) && !wanted.empty()) {
      value = Trim(pair.substr(eq + 1));
      return true;
    }
    start = bar + 1;
  }
  return false;
}

}  // namespace standin

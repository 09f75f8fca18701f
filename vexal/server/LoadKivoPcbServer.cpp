#include "vexal/server/LoadKivoPcbServer.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

#include "hostapi/HostPcbApi.h"
#include "hostapi/ShortString.h"
#include "hostclient/HostClient.h"
#include "hostclient/Parameters.h"
#include "platform/Platform.h"
#include "vexal/entry/ImportDriver.h"

namespace vexal {

clientabi::IHostDocument* CommandDocument = nullptr;

namespace {

const char kServerName[] = "LoadKIVOPCB";
const char kErrorCaption[] = "Veltrix Error";

// The size of the buffer the common file dialog gets and answers in.
constexpr int32_t kDialogBufferSize = 4096;

using TImport = bool (*)(const std::string& fileName, const std::string& second);

struct TLoadCommand {
  const char* Request;  // the dialog's request, the initial path follows
  const char* Kind;     // the document kind
  const char* NoDocumentMessage;
  TImport Import;
};

const TLoadCommand kBoardCommand = {
    "Dialog=FileOpenSave|Mode=0|Prompt=KIVO ASCII File|DocumentType=All|"
    "FileType1=KIVO PCB File (*.pcb)|FileType2=All Files (*.*)|Path=",
    "PCB", "Could not create new board.\rShutdown server and try again.", ImportFileIntoPcb};

const TLoadCommand kLibraryCommand = {
    "Dialog=FileOpenSave|Mode=0|Prompt=KIVO ASCII Lib File|DocumentType=All|"
    "FileType1=KIVO Library File (*.lia)|FileType2=All Files (*.*)|Path=",
    "PCBLib", "Could not create new library.\rShutdown server and try again.", ImportFileIntoPcbLibrary};

bool SameText(const char* a, const std::string& b) {
  if (!a || std::strlen(a) != b.size()) return false;
  for (size_t i = 0; i < b.size(); ++i) {
    auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

// A message box shows "&" as an accelerator mark unless it is doubled.
std::string BoxText(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

void ReleaseCommandDocument() {
  if (CommandDocument) {
    clientabi::IHostDocument* document = CommandDocument;
    CommandDocument = nullptr;
    document->Release();
  }
}

// Ends a command's import whatever happens inside it: no target board and
// no command document afterwards.
struct TCommandImportScope {
  ~TCommandImportScope() {
    TargetBoardHandle = 0;
    ReleaseCommandDocument();
  }
};

// The length of a parameter value as it is read: without the blanks (control
// characters and spaces) around it.
size_t TrimmedLength(const std::string& text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  size_t begin = 0, end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  return end - begin;
}

// Shows the host's common file dialog with the command's request and the
// initial path; true with the chosen path when the user chose a file.
bool AskForFile(const TLoadCommand& command, std::string& fileName) {
  std::vector<char> buffer(kDialogBufferSize, '\0');
  const std::string request = command.Request + fileName;
  std::memcpy(buffer.data(), request.data(), std::min(request.size(), buffer.size() - 1));
  hostclient::RunHostProcess("Client:RunCommonDialog", buffer.data(), kDialogBufferSize, nullptr);
  // The host may have filled the whole buffer: read no further than it.
  const auto end = std::find(buffer.begin(), buffer.end(), '\0');
  const std::string answer(buffer.begin(), end);
  std::string result;
  if (!hostclient::GetParameter(answer, "Result", result) || result != "True") return false;
  std::string path;
  hostclient::GetParameter(answer, "Path", path);
  // Parameter values are read cut to 255 characters, and so are the file
  // names the import takes: a longer path would name another file. It is
  // taken as a file that does not exist.
  hostclient::TParameterList parameters;
  parameters.Parse(answer);
  const hostclient::TParameter* whole = parameters.Find("Path");
  if (whole && TrimmedLength(whole->Value) > hostapi::kShortStringMax) path.clear();
  fileName = path;
  return true;
}

int32_t RunLoadCommand(const TLoadCommand& command, clientabi::IHostView* view, const char* parameters) {
  ReleaseCommandDocument();
  TargetBoardHandle = 0;
  clientabi::IHostClient* client = hostclient::ClientInterface;
  if (!client || !client->IsServerAvailable("PCB")) return 1;
  // The host may have loaded its PCB module only now.
  hostapi::BindHostPcbApi();

  std::string fileName;
  hostclient::GetParameter(parameters ? parameters : "", "FileName", fileName);
  if (!AskForFile(command, fileName)) return 1;
  if (!hostclient::ClientAPI_ExistSpecific(fileName)) return 1;

  clientabi::IHostDocument* document = NewDocumentFor(fileName, view, command.Kind);
  if (!document) return 1;
  document->AddRef();
  CommandDocument = document;
  TCommandImportScope scope;
  client->MakeDocumentCurrent(CommandDocument);
  TargetBoardHandle = hostapi::PcbApi_GetCurrentBoardHandle();
  command.Import(fileName, std::string());
  return 1;
}

}  // namespace

clientabi::IHostDocument* NewDocumentFor(const std::string& path, clientabi::IHostView* view,
                                         const std::string& kind) {
  clientabi::IHostClient* client = hostclient::ClientInterface;
  if (view) {
    clientabi::IHostDocument* document = view->GetDocument();
    if (document && SameText(document->GetKind(), kind)) return document;
  }
  if (client) {
    if (clientabi::IHostServer* server = client->GetServer("PCB")) {
      if (clientabi::IHostDocument* document = server->NewDocument(kind.c_str(), path.c_str())) {
        document->Prepare();
        return document;
      }
    }
  }
  const TLoadCommand& command = SameText(kind.c_str(), "PCBLib") ? kLibraryCommand : kBoardCommand;
  platform::ShowMessageBox(BoxText(command.NoDocumentMessage), kErrorCaption,
                           platform::mbOK | platform::mbIconError);
  return nullptr;
}

int32_t LoadKIVOPCBFile(clientabi::IHostView* view, const char* parameters) {
  return RunLoadCommand(kBoardCommand, view, parameters);
}

int32_t LoadKIVOPCBLibrary(clientabi::IHostView* view, const char* parameters) {
  return RunLoadCommand(kLibraryCommand, view, parameters);
}

TLoadKIVOPCBServerModule::TLoadKIVOPCBServerModule(clientabi::IHostClient* client)
    : TServerModule(client, kServerName) {}

void TLoadKIVOPCBServerModule::RegisterCommands() {
  CommandLauncher().Register("LoadKIVOPCBFile", LoadKIVOPCBFile, nullptr);
  CommandLauncher().Register("LoadKIVOPCBLibrary", LoadKIVOPCBLibrary, nullptr);
}

}  // namespace vexal

// The host creates the server module through this export and owns it by
// reference counting from then on. Without a place to hand the module over,
// nothing is made.
PCB_EXPORT void PCBAPI_CALL ServerFactory(void** module, clientabi::IHostClient* client) {
  if (!module) return;
  *module = nullptr;
  try {
    *module = static_cast<clientabi::IServerModule*>(
        vexal::TServerModule::Make<vexal::TLoadKIVOPCBServerModule>(client));
  } catch (...) {
    *module = nullptr;
  }
}

static_assert(std::is_same_v<decltype(&ServerFactory), clientabi::ServerFactory_t>);

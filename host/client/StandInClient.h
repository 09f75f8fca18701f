// The host client of the stand-in host, as the host program (and tests) use
// it from C++: the client interface handed to a plug-in's server module, the
// settings a person would give (server availability), and the logs of
// documents opened and processes run.
//
// Link the object library `standin_client` into an executable (with
// ENABLE_EXPORTS) and it exports ClientAPI_ExistSpecific,
// ClientAPI_ExtractFileNameFromPath and ClientAPI_ForceFileNameExtension, so
// that plug-ins find them in the executable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostclient/ClientAbi.h"

namespace standin {

// The client interface (IHostClient) of the host.
clientabi::IHostClient* HostClient();

// The value GetMainWindow answers.
inline constexpr clientabi::THostWindow kMainWindow = 1;

// A document the client opened or created for a plug-in.
struct DocumentRecord {
  std::string How;  // "open" or "new"
  std::string Kind;
  std::string Path;
};

// A host process the client ran (RunProcess of the process launcher, or Run
// of a server process).
struct ProcessRecord {
  std::string Name;
  std::string Parameters;  // the text the plug-in gave
  std::string Answer;      // the buffer afterwards
  std::string DocumentPath;  // the document of the view it ran on, if any
  int32_t Result = 0;        // non-zero for success
};

const std::vector<DocumentRecord>& DocumentLog();
const std::vector<ProcessRecord>& ProcessLog();

// Whether a server ("PCB", "TextEdit") is available. By default both are;
// "PCB" also needs the host module to be loaded.
void SetServerAvailable(const std::string& server, bool available);

// The PCB server's answer to NewDocument: by default a new document; once
// refused, none (a server that cannot open another document).
void SetNewDocumentsRefused(bool refused);

// The client's document of an open board or library document of the host
// module (its board handle), or nullptr; its one view is GetView(0).
clientabi::IHostDocument* DocumentOfBoard(uint32_t board);

// The text documents the client holds: their path and whether their cursor
// was moved to the top.
bool TextDocumentOpen(const std::string& path);
bool TextCursorAtTop(const std::string& path);

// The kind and path of the document made current last through the client
// (empty when none).
std::string CurrentDocumentKind();
std::string CurrentDocumentPath();

// Forgets the documents, logs and settings (the objects handed out before
// stay valid but belong to no open document).
void ResetClient();

// Whether two names are the same to the host: equal but for the case of
// their ASCII letters.
bool SameText(const std::string& a, const std::string& b);

// A parameter of a process-parameter text ("Name=Value|..."), names compared
// without regard to case and surrounding blanks; false when missing.
bool ParameterOf(const std::string& text, const std::string& name, std::string& value);

}  // namespace standin

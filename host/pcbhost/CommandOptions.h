// What the commands import and run of pcbhost share: their exit codes and
// messages, the options both take (the plug-in, the outputs, the user's part
// in the dialogs and the options of a person at the terminal), the setting
// up of the dialogs, the writing of the outputs and the report's counters.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/pcbhost/Console.h"
#include "host/tarvex/TarvexHost.h"

namespace pcbhost {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // not recognised, no such command, nothing made
inline constexpr int kExitError = 2;    // bad usage, missing file, unusable plug-in or host module

// Prints "pcbhost: MESSAGE" on standard error; answers `code`.
int Fail(const std::string& message, int code = kExitError);

// The absolute, lexically normal path of `file` (`file` itself when there
// is none).
std::string FullPath(const std::string& file);

struct CommandOptions {
  std::string Plugin;
  std::string Json;
  bool HasJson = false;
  std::string Svg;
  bool HasSvg = false;
  bool Cancel = false;
  std::string DialogScript;  // path of the script file
  bool HasDialogScript = false;
  std::vector<std::string> CommonDialogAnswers;
  PersonOptions Person;  // progress, answers, dialogs by hand, texts (Console.h)
};

// Takes args[i] when it is one of the options above (--plugin, --json,
// --svg, --cancel, --dialog-script, --common-dialog and those of
// TakePersonOption), with its value (i then stands on the value): 1 when
// taken, 0 when not one of them, -1 with the reason for a missing or bad value.
int TakeCommandOption(const std::vector<std::string>& args, size_t& i, CommandOptions& o,
                      std::string& error);

// False, with the reason, for options that cannot go together.
bool CheckCommandOptions(const CommandOptions& o, std::string& error);

// The user's part in the dialogs: the script that answers every form, or
// none, and the answers of the host's file dialog. False, with a message,
// for a script file that cannot be read or holds a line that is no action.
bool SetUpDialogs(const CommandOptions& o, tarvex::ITarvexHost& host, std::string& error);

// Where the summary goes: standard error when a document is written to
// standard output, so that the output stays a whole document.
FILE* SummaryStream(const CommandOptions& o);

// Writes the --json and --svg outputs of `board`; the exit code (an error
// with its message printed when one cannot be written).
int WriteOutputs(const CommandOptions& o, const tarvex::ITarvexHost& host, tarvex::THandle board);

// The report an import of `file` writes: the file's path with the extension
// of its name replaced by "rpt" (as the host's ClientAPI_ForceFileNameExtension).
std::string ReportPathOf(const std::string& file);

// Prints the report's path and its four counters.
void PrintReportCounts(FILE* info, const std::string& path);

}  // namespace pcbhost

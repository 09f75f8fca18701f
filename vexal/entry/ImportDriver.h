// The import driver of LoadVexal: one call reads one Vexal ASCII file into
// the target board (or, for a library file, into a library document) and
// writes the translation report beside the file.
#pragma once

#include <string>

#include "hostapi/PcbTypes.h"

namespace vexal {

// The board into which the next import writes, or 0 for the host's current
// board. 0 when the module is loaded; a load command sets it for the import
// it starts.
extern THandle TargetBoardHandle;

// Imports a PCB file: recognition (again), the tokenizer with its keyword
// table, the object tree, Parse and Translate into the target board, then the
// report. Answers whether the file was recognised and read; a file that is
// not recognised gets a report with the single "Unsupported file version"
// error. `second` is not used.
bool ImportFileIntoPcb(const std::string& fileName, const std::string& second);

// The same for a library file: only the header and the library are read, and
// the library's component definitions are translated into the target board
// (a library document). No options dialog.
bool ImportFileIntoPcbLibrary(const std::string& fileName, const std::string& second);

}  // namespace vexal

// The two passes over a Sarnovik file and the record readers, with the
// module-wide state of the one import that runs at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "hostapi/PcbBoard.h"
#include "hostapi/PcbTypes.h"
#include "sarnovik/SarnovikFile.h"
#include "sarnovik/SarnovikRecords.h"

namespace sarnovik {

// ---- State of the running import ------------------------------------------

extern bool AbortRequested;  // the user confirmed an abort
extern bool IsFile5;         // the header names format 5
// The board being filled; it lives from recognition to the end of the
// loading pass.
extern std::unique_ptr<TPcbBoard> TargetBoard;
// The open text file of the import.
extern TSarnovikFile ImportFile;

// What the scanning pass counted.
struct TScanCounters {
  int32_t Components = 0;
  int32_t Tracks = 0;
  int32_t Vias = 0;
  int32_t Pads = 0;
  int32_t Strings = 0;
  int32_t Arcs = 0;
  int32_t Fills = 0;
  int32_t PgLines = 0;
  int32_t Nets = 0;
  int32_t NodeLines = 0;
  int32_t BlockLines = 0;

  // Steps of the loading progress: every counter but the "PG" lines.
  int32_t LoadingTotal() const;
};
extern TScanCounters ScanCounters;

// ---- Recognition and the passes --------------------------------------------

// The first line of a file, at most 255 characters; empty when the file
// cannot be read.
std::string ReadFirstLine(const std::string& fileName);
// True when the host says the file exists and its upper-cased first line
// holds "PCB FILE 4" or "PCB FILE 5".
bool IsSarnovikFile(const std::string& fileName);
// True when the header line starts with "PCB FILE 5", exactly.
bool HeaderIsFile5(const std::string& header);

// The scanning pass over ImportFile: counts the records, leaves the file at
// its beginning and the host's progress display started for loading.
void ScanFile(const std::string& fileName);

// The whole import of a recognised file into the board of the host document
// opened for it. True when the file was read to its end: false after an
// abort or when a record could not be read (a bad number, or the end of the
// file inside a record); what was added before stays.
bool ImportSarnovikFile(const std::string& fileName);

// The Escape key: asks "Confirm Abort Process" and sets AbortRequested on Yes;
// every other waiting message is delivered.
void PollAbort();

// ---- Record readers -----------------------------------------------------------
// Each reads one record from ImportFile (the keyword line already read) and
// answers the host handle of the object it made and wrote, or 0 when there
// is none or the record could not be read.

THandle ReadTrack();
THandle ReadArc();
THandle ReadVia();
THandle ReadFill();
THandle ReadPad();
THandle ReadText();
THandle ReadComponent();
THandle ReadNet();
// The six values of a string's first line: X, Y, Height, orientation, font
// (read and dropped: Font is 1) and layer.
void ReadTextAttributes(TText& text);

}  // namespace sarnovik

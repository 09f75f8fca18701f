#include "sarnovik/SarnovikReader.h"

#include <limits>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbUtil.h"
#include "hostclient/HostClient.h"
#include "platform/Platform.h"
#include "sarnovik/SarnovikStore.h"
#include "sarnovik/SarnovikTables.h"

namespace sarnovik {

bool AbortRequested = false;
bool IsFile5 = false;
std::unique_ptr<TPcbBoard> TargetBoard;
TSarnovikFile ImportFile;
TScanCounters ScanCounters;

namespace {

// Field limits of the record lines: those of the host's fields.
constexpr size_t kPadNameChars = pcbabi::kPadNameChars;
constexpr size_t kTextChars = pcbabi::kTextChars;
constexpr size_t kPatternChars = pcbabi::kPatternChars;
constexpr size_t kNetNameChars = pcbabi::kNameChars;

// Holes of format 5: every via and every through-hole pad has this hole (mil).
constexpr int32_t kFile5HoleMils = 32;
// The fifth number of a component's position line when it is absent.
constexpr int32_t kNoFifthNumber = 2;

void Count(int32_t& counter) {
  if (counter < std::numeric_limits<int32_t>::max()) ++counter;
}

uint8_t Low8(int32_t value) { return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu); }

uint8_t ReadLayer() { return hostapi::LegacyLayerToHost(ImportFile.ReadInteger()); }

// The first steps of every reader after the object was created: read the new
// object's values, advance the progress, let the user abort.
void BeginRecord(TPCBObject& record) {
  record.Exchange(qdRead);
  hostapi::PcbApi_Percent_Update();
  PollAbort();
}

// The last steps: store the record unless reading it failed; answer its
// handle, or 0 when nothing may be added.
template <class TRecord>
THandle FinishRecord(TRecord& record, void (*store)(TRecord&)) {
  if (ImportFile.Failed()) return 0;
  record.Flags = 0;
  store(record);
  return record.Handle;
}

// The sub-records of a component, by keyword; 0 for any other line.
THandle ReadComponentPart(const std::string& line) {
  if (line == "CP") return ReadPad();
  if (line == "CT") return ReadTrack();
  if (line == "CA") return ReadArc();
  if (line == "CV") return ReadVia();
  if (line == "CF") return ReadFill();
  if (line == "CS") return ReadText();
  return 0;
}

// A top-level record, by keyword; 0 for any other line.
THandle ReadRecord(const std::string& line) {
  if (line == "FV") return ReadVia();
  if (line == "FP") return ReadPad();
  if (line == "FF") return ReadFill();
  if (line == "FA") return ReadArc();
  if (line == "FT") return ReadTrack();
  if (line == "FS") return ReadText();
  if (line == "NETDEF") return ReadNet();
  if (line == "COMP") return ReadComponent();
  return 0;
}

// Ends the host's progress display when it goes out of scope.
class TProgressGuard {
 public:
  ~TProgressGuard() {
    if (started) hostapi::PcbApi_Percent_Finish();
  }
  bool started = false;
};

}  // namespace

int32_t TScanCounters::LoadingTotal() const {
  const int64_t total = int64_t{Components} + Tracks + Vias + Pads + Strings + Arcs + Fills + Nets +
                        NodeLines + BlockLines;
  return total > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                     : static_cast<int32_t>(total);
}

std::string ReadFirstLine(const std::string& fileName) {
  TSarnovikFile file;
  if (!file.Open(fileName)) return {};
  return file.ReadLine(TSarnovikFile::kLineChars);
}

bool IsSarnovikFile(const std::string& fileName) {
  if (!hostclient::ClientAPI_ExistSpecific(fileName)) return false;
  std::string line = ReadFirstLine(fileName);
  for (char& c : line)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return line.find("PCB FILE 4") != std::string::npos ||
         line.find("PCB FILE 5") != std::string::npos;
}

bool HeaderIsFile5(const std::string& header) { return header.compare(0, 10, "PCB FILE 5") == 0; }

void ScanFile(const std::string& fileName) {
  hostapi::PcbApi_Percent_Init("Scanning " + fileName + " (Sarnovik)", 0);
  ScanCounters = TScanCounters{};
  TScanCounters& n = ScanCounters;
  ImportFile.Rewind();
  while (!ImportFile.AtEnd()) {
    const std::string line = ImportFile.ReadLine();
    if (line == "COMP") Count(n.Components);
    else if (line == "FT" || line == "CT") Count(n.Tracks);
    else if (line == "FV" || line == "CV") Count(n.Vias);
    else if (line == "FP" || line == "CP") Count(n.Pads);
    else if (line == "FS" || line == "CS") Count(n.Strings);
    else if (line == "FA" || line == "CA") Count(n.Arcs);
    else if (line == "FF" || line == "CF") Count(n.Fills);
    else if (line == "PG") Count(n.PgLines);
    else if (line == "NETDEF") Count(n.Nets);
    else if (line == "(") {
      while (!ImportFile.AtEnd() && ImportFile.ReadLine() != ")") Count(n.NodeLines);
    } else if (line == "{") {
      while (!ImportFile.AtEnd() && ImportFile.ReadLine() != "}") Count(n.BlockLines);
    }
  }
  ImportFile.Rewind();
  hostapi::PcbApi_Percent_Finish();
  hostapi::PcbApi_Percent_Init("Loading " + fileName + " (Sarnovik)", n.LoadingTotal());
}

void PollAbort() {
  if (AbortRequested) return;
  if (platform::EscapeKeyDown() &&
      platform::ShowMessageBox("Confirm Abort Process", "Confirm", platform::mbYesNo) ==
          platform::idYes)
    AbortRequested = true;
  platform::DeliverPendingMessages();
}

THandle ReadTrack() {
  TTrack track(hostapi::PcbApi_CreateObject(okTrack));
  BeginRecord(track);
  track.X = ImportFile.ReadCoord();
  track.Y = ImportFile.ReadCoord();
  track.X2 = ImportFile.ReadCoord();
  track.Y2 = ImportFile.ReadCoord();
  track.Width = ImportFile.ReadCoord();
  track.Layer = ReadLayer();
  ImportFile.SkipRestOfLine();
  return FinishRecord(track, &StoreTrack);
}

THandle ReadArc() {
  TArc arc(hostapi::PcbApi_CreateObject(okArc));
  BeginRecord(arc);
  arc.X = ImportFile.ReadCoord();
  arc.Y = ImportFile.ReadCoord();
  arc.Radius = ImportFile.ReadCoord();
  const int32_t segments = ImportFile.ReadInteger();
  arc.Width = ImportFile.ReadCoord();
  arc.Layer = ReadLayer();
  ImportFile.SkipRestOfLine();
  const int quadrants = ArcCodeIndex(segments);
  arc.StartAngle = ArcStartAngles[quadrants];
  arc.EndAngle = ArcEndAngles[quadrants];
  return FinishRecord(arc, &StoreArc);
}

THandle ReadVia() {
  TVia via(hostapi::PcbApi_CreateObject(okVia));
  BeginRecord(via);
  via.StartLayer = TopLayer;
  via.EndLayer = BottomLayer;
  via.X = ImportFile.ReadCoord();
  via.Y = ImportFile.ReadCoord();
  via.Size = ImportFile.ReadCoord();
  via.HoleSize = ImportFile.ReadCoord();
  ImportFile.SkipRestOfLine();
  if (IsFile5) via.HoleSize = kFile5HoleMils;
  return FinishRecord(via, &StoreVia);
}

THandle ReadFill() {
  TFill fill(hostapi::PcbApi_CreateObject(okFill));
  BeginRecord(fill);
  fill.X = ImportFile.ReadCoord();
  fill.Y = ImportFile.ReadCoord();
  fill.X2 = ImportFile.ReadCoord();
  fill.Y2 = ImportFile.ReadCoord();
  fill.Layer = ReadLayer();
  ImportFile.SkipRestOfLine();
  return FinishRecord(fill, &StoreFill);
}

THandle ReadPad() {
  TPad pad(hostapi::PcbApi_CreateObject(okPad));
  BeginRecord(pad);
  pad.X = ImportFile.ReadCoord();
  pad.Y = ImportFile.ReadCoord();
  pad.TopXSize = ImportFile.ReadCoord();
  pad.TopYSize = ImportFile.ReadCoord();
  pad.TopShape = Low8(ImportFile.ReadInteger());
  pad.HoleSize = ImportFile.ReadCoord();
  const int32_t planeCode = ImportFile.ReadInteger();
  pad.Layer = ReadLayer();
  ImportFile.SkipRestOfLine();
  pad.ExtraWord = PlaneConnectValue(planeCode);
  pad.Name = ImportFile.ReadRecordLine(kPadNameChars);
  if (IsFile5) pad.HoleSize = pad.Layer == MultiLayer ? kFile5HoleMils : 0;
  return FinishRecord(pad, &StorePad);
}

void ReadTextAttributes(TText& text) {
  text.X = ImportFile.ReadCoord();
  text.Y = ImportFile.ReadCoord();
  text.Height = ImportFile.ReadCoord();
  // Any orientation whose rounding fits 32 bits is taken; only its low bits
  // count.
  text.Rotation = ImportFile.ReadBoundedReal(std::numeric_limits<int32_t>::max());
  ImportFile.ReadInteger();  // the font number: every string uses the stroke font
  text.Font = 1;
  text.Layer = ReadLayer();
  ImportFile.SkipRestOfLine();
}

THandle ReadText() {
  TText text(hostapi::PcbApi_CreateObject(okText));
  BeginRecord(text);
  ReadTextAttributes(text);
  text.Text = ImportFile.ReadRecordLine(kTextChars);
  return FinishRecord(text, &StoreText);
}

THandle ReadComponent() {
  TComponent component(hostapi::PcbApi_CreateObject(okComponent));
  BeginRecord(component);
  if (component.DesignatorText == 0) component.DesignatorText = hostapi::PcbApi_CreateObject(okText);
  if (component.CommentText == 0) component.CommentText = hostapi::PcbApi_CreateObject(okText);
  TText designator(component.DesignatorText);
  TText comment(component.CommentText);
  designator.Exchange(qdRead);
  comment.Exchange(qdRead);

  designator.Text = ImportFile.ReadRecordLine(kTextChars);
  component.Pattern = ImportFile.ReadRecordLine(kPatternChars);
  comment.Text = ImportFile.ReadRecordLine(kTextChars);
  ReadTextAttributes(comment);
  ReadTextAttributes(designator);
  if (ImportFile.Failed()) return 0;
  designator.Flags = 0;
  comment.Flags = 0;
  StoreText(designator);
  StoreText(comment);

  component.X = ImportFile.ReadCoord();
  component.Y = ImportFile.ReadCoord();
  component.DesignatorVisible = Low8(ImportFile.ReadInteger());
  component.CommentVisible = Low8(ImportFile.ReadInteger());
  const int32_t fifth = ImportFile.LineHasMore() ? ImportFile.ReadInteger() : kNoFifthNumber;
  ImportFile.SkipRestOfLine();

  // Sub-records up to "ENDCOMP"; a component without it takes everything up
  // to the end of the file.
  while (!ImportFile.Failed() && !AbortRequested && !ImportFile.AtEnd()) {
    const std::string line = ImportFile.ReadLine();
    if (line == "ENDCOMP") break;
    component.AddPrimitive(ReadComponentPart(line));
  }
  if (ImportFile.Failed()) return 0;
  component.ExtraByte = fifth != kNoFifthNumber ? 1 : 0;
  return FinishRecord(component, &StoreComponent);
}

THandle ReadNet() {
  TNet net(hostapi::PcbApi_CreateObject(okNet));
  BeginRecord(net);
  net.Name = ImportFile.ReadRecordLine(kNetNameChars);
  ImportFile.ReadRecordLine(0);  // the "(" that opens the node list
  if (ImportFile.Failed()) return 0;

  const THandle board = TargetBoard ? TargetBoard->Board : 0;
  while (!ImportFile.AtEnd()) {
    const std::string node = ImportFile.ReadLine();
    if (node == ")") break;
    hostapi::PcbApi_Percent_Update();
    const THandle pad = hostapi::FindPadByDesignatorPin(board, node);
    if (pad != 0) ConnectPadToNet(net, pad);
  }
  // A "{" block may follow the node list. Any other line is left for the
  // loading pass, so that a record keyword right after ")" is not lost.
  if (!ImportFile.AtEnd()) {
    const std::string next = ImportFile.ReadLine();
    if (next == "{") {
      std::string line;
      do {
        hostapi::PcbApi_Percent_Update();
        line = ImportFile.ReadLine();
      } while (line != "}" && !ImportFile.AtEnd());
    } else {
      ImportFile.UnreadLine(next);
    }
  }
  return FinishRecord(net, &StoreNet);
}

bool ImportSarnovikFile(const std::string& fileName) {
  // The board may have changed since the last import.
  hostapi::InvalidatePadLookup();
  TargetBoard = std::make_unique<TPcbBoard>(hostapi::PcbApi_GetBoardHandleFromFullFileName(fileName));
  TargetBoard->Exchange(qdRead);
  bool complete = false;
  if (ImportFile.Open(fileName)) {
    TProgressGuard progress;
    IsFile5 = HeaderIsFile5(ImportFile.ReadLine());
    progress.started = true;
    ScanFile(fileName);
    while (!ImportFile.AtEnd() && !AbortRequested && !ImportFile.Failed()) {
      const std::string line = ImportFile.ReadLine();
      TargetBoard->AddPrimitive(ReadRecord(line));
    }
    complete = !AbortRequested && !ImportFile.Failed();
    ImportFile.Close();
  }
  TargetBoard.reset();
  hostapi::InvalidatePadLookup();
  return complete;
}

}  // namespace sarnovik

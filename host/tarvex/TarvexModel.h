// The in-memory document model of the stand-in host module: documents with
// their boards, the objects on them, and the logs of what the plug-ins asked
// of the host. The host program and the tests read it through the interface
// of TarvexHost.h; the exported PcbApi_ functions work on it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/tarvex/TarvexLayers.h"
#include "hostapi/PcbApiAbi.h"

namespace tarvex {

using THandle = uint32_t;

// One record of a rule scope, in the order of PcbApi_SetState_AddSubscope.
struct Subscope {
  uint8_t Kind = 0;
  std::string Name;
  uint8_t LayerId = 0;
  uint8_t KindId = 0;
  std::array<int32_t, 4> Values{};
  bool operator==(const Subscope&) const = default;
};

// A fixed table of values (a pad stack's sizes and shapes per layer, a
// component's source links, the texts of a manual from-to) stored only once
// an object writes one: most objects of a board never do, and tables held in
// every object would be the larger part of it. A table never written reads
// as all zero or empty.
template <class T, size_t N>
class SparseTable {
 public:
  using Table = std::array<T, N>;
  SparseTable() = default;
  SparseTable(const SparseTable& other) : Values(other.Values ? std::make_unique<Table>(*other.Values) : nullptr) {}
  SparseTable& operator=(const SparseTable& other) {
    if (this != &other) Values = other.Values ? std::make_unique<Table>(*other.Values) : nullptr;
    return *this;
  }
  SparseTable(SparseTable&&) noexcept = default;
  SparseTable& operator=(SparseTable&&) noexcept = default;

  const Table& All() const {
    static const Table none{};
    return Values ? *Values : none;
  }
  const T& operator[](size_t i) const { return All()[i]; }
  T& operator[](size_t i) {
    if (!Values) Values = std::make_unique<Table>();
    return (*Values)[i];
  }
  typename Table::const_iterator begin() const { return All().begin(); }
  typename Table::const_iterator end() const { return All().end(); }

 private:
  std::unique_ptr<Table> Values;
};

template <class T>
using PerLayer = SparseTable<T, kLayerCount>;

// Every object of the host (primitives, components, nets, classes, rules,
// ...). One structure holds the fields of every record; each kind uses those
// of its own record and leaves the others at their initial values.
struct Object {
  THandle Handle = 0;
  uint8_t Kind = 0;

  // Where the object lives: the board or component it was added to (0 =
  // none). A component's designator and comment texts have the component as
  // owner without being among its primitives.
  THandle Owner = 0;
  // Index of the library component of a library document that holds the
  // object (-1 otherwise).
  int LibraryComponent = -1;

  // Fields common to every record.
  uint16_t Flags = 0;
  uint16_t ExtraWord = 0;
  uint8_t Layer = 0;
  THandle Net = 0;
  uint8_t ExtraByte = 0;
  uint32_t ExtraLong = 0;
  uint8_t BitField2 = 0;
  uint16_t BitField3 = 0;

  // Points and sizes: track, arc, fill, via, pad, text, component, from-to,
  // coordinate.
  int32_t X = 0, Y = 0, X2 = 0, Y2 = 0;
  int32_t Width = 0;  // track, arc
  int32_t Aux1 = 0, Aux2 = 0, Aux3 = 0;
  double Rotation = 0.0;  // fill, text, pad, component

  // Arc.
  int32_t Radius = 0;
  double StartAngle = 0.0, EndAngle = 0.0;

  // Via (Size, HoleSize also of the pad).
  int32_t Size = 0;
  int32_t HoleSize = 0;
  uint8_t StartLayer = 0, EndLayer = 0;

  // Text.
  int32_t Height = 0;
  int32_t Font = 0;
  uint8_t Mirrored = 0;
  std::string Text;  // at most 254 characters
  int32_t StrokeWidth = 0;

  // Pad.
  int32_t TopXSize = 0, TopYSize = 0, MidXSize = 0, MidYSize = 0, BottomXSize = 0,
          BottomYSize = 0;
  uint8_t TopShape = 0, MidShape = 0, BottomShape = 0;
  uint8_t PadAux1 = 0, PadAux2 = 0;
  uint8_t StackMode = 0;
  PerLayer<int32_t> XSizeOnLayer;
  PerLayer<int32_t> YSizeOnLayer;
  PerLayer<uint8_t> ShapeOnLayer;

  // Name of a pad (20), net, class or rule (255).
  std::string Name;

  // Polygon and board outline.
  uint8_t RemoveIslands = 0, PolyAux1 = 0, PolyOption = 0;
  int32_t GridSize = 0, TrackWidth = 0;
  uint8_t PolyAux2 = 0, HatchStyle = 0;
  int32_t PolyAux3 = 0;
  uint8_t OnInternalPlane = 0;
  int32_t VertexCount = 0;
  std::vector<pcbabi::TVertexRecord> Vertices;  // 501 records for polygons

  // Component.
  int32_t ChannelOffset = 0;
  uint8_t ComponentKind = 0;
  THandle DesignatorText = 0, CommentText = 0;
  std::string Pattern;  // at most 250 characters
  uint8_t DesignatorVisible = 0, CommentVisible = 0;
  int32_t CompAux1 = 0;
  uint8_t CompAux2 = 0;
  int32_t CompExtra1 = 0;
  uint8_t CompExtra2 = 0, CompExtra3 = 0, CompExtra4 = 0;
  SparseTable<std::string, 7> SourceLinks;
  std::vector<THandle> Primitives;  // in the order they were added

  // Net.
  uint8_t NetAux1 = 0, NetAux2 = 0;

  // Class.
  uint8_t MemberKind = 0, ClassAux = 0;
  std::vector<std::string> Members;

  // From-to.
  uint8_t FromLayer = 0, ToLayer = 0;

  // Manual from-to.
  SparseTable<std::string, 3> ManualTexts;
  int32_t ManualValue = 0;

  // Coordinate.
  std::array<int32_t, 6> CoordinateValues{};

  // Dimension.
  std::array<int32_t, pcbabi::kDimensionRecordFields> DimensionRecord{};
  std::array<int32_t, pcbabi::kExtDimensionRecordFields> ExtDimensionRecord{};
  std::vector<std::array<int32_t, 4>> References;

  // Rule.
  std::array<int32_t, pcbabi::kRuleRecordFields> RuleRecord{};
  uint8_t RuleKind = 0, RuleAux1 = 0, RuleAux2 = 0;
  std::array<std::vector<Subscope>, 2> Scopes;
  int32_t ClearanceGap = 0;
  std::array<int32_t, 3> Widths{};  // maximum, minimum, preferred
  int32_t MaxLength = 0, MinLength = 0;
  std::array<int32_t, 6> ViaStyle{};  // three hole sizes, three diameters
  uint8_t ConfinementKind = 0;
  std::array<int32_t, 4> ConfinementRect{};  // min X, min Y, max X, max Y
  uint8_t ConfinementLayer = 0;
};

// One layer of a board.
struct LayerState {
  std::string Name;
  int32_t CopperThickness = 14000;
  uint8_t LayerAux1 = 0, LayerAux2 = 0;
  uint8_t PrevLayer = 0, NextLayer = 0;
  uint8_t LayerAux3 = 0;
  std::string NetName = "(No Net)";  // internal planes
  std::string DielectricMaterial = "FR-4";
  uint8_t DielectricType = 1;
  double DielectricConstant = 4.8;
  int32_t DielectricHeight = 126000;
  int32_t Info = 0;  // the layer information value of the board
};

struct LayerPair {
  uint8_t Layer1 = 0, Layer2 = 0, PairAux1 = 0, PairAux2 = 0;
};

struct Dielectric {
  std::string Material = "FR-4";
  uint8_t Type = 1;
  double Constant = 4.8;
  int32_t Height = 126000;
};

// One library component of a library document.
struct LibraryComponent {
  std::string Name;
  std::vector<THandle> Objects;
  std::map<uint8_t, std::vector<THandle>> ObjectsByKind;  // the same, per kind
};

// A document of the host and its board. The board handle names the document.
struct Document {
  THandle Board = 0;
  std::string Kind;  // "PCB" or "PCBLib"
  std::string Path;

  // The board record (its file name is Path).
  int32_t BoardAux = 0;
  std::array<int32_t, pcbabi::kBoardRecordExtraFields> BoardRecord{};

  std::array<LayerState, kLayerCount> Layers;  // ids 1..82 are used
  std::vector<LayerPair> LayerPairs;

  // Option records, carried as given.
  std::array<int32_t, pcbabi::kGridFields> Grids{};
  std::array<int32_t, pcbabi::kOutputOptionFields> OutputOptions{};
  std::array<uint8_t, pcbabi::kPlotLayerCount + 1> PlotLayers{};  // 1..109
  std::array<uint8_t, pcbabi::kPlotLayerCount + 1> FlipLayers{};  // 1..109
  std::array<int32_t, pcbabi::kGerberOptionFields> GerberOptions{};
  std::array<int32_t, pcbabi::kPrinterOptionFields> PrinterOptions{};
  std::array<std::array<int32_t, 2>, pcbabi::kPlotterPenCount + 1> PlotterPens{};  // 1..8
  std::array<uint8_t, kLayerCount> CompositeLayers{};                               // 1..82
  std::array<int32_t, pcbabi::kPlacerOptionFields> PlacerOptions{};
  std::array<int32_t, pcbabi::kChangeOrderOptionFields> ChangeOrderOptions{};
  Dielectric TopDielectric, BottomDielectric;

  // A board document's objects, in the order they were added, and the same
  // per kind (what iterators with a kind walk).
  std::vector<THandle> Objects;
  std::map<uint8_t, std::vector<THandle>> ObjectsByKind;
  // A library document's components; the board stands for the current one.
  std::vector<LibraryComponent> Library;
  int CurrentComponent = -1;

  bool IsLibrary() const { return Kind == "PCBLib"; }
};

// The values a new object takes. One table; tests may change it.
struct Defaults {
  uint8_t TrackLayer = kTopLayer;
  int32_t TrackWidth = 100000;  // 10 mil
  uint8_t ArcLayer = kTopLayer;
  int32_t ArcWidth = 100000;
  uint8_t FillLayer = kTopLayer;
  uint8_t ViaLayer = kMultiLayer;
  int32_t ViaSize = 500000;      // 50 mil
  int32_t ViaHoleSize = 280000;  // 28 mil
  uint8_t ViaStartLayer = kTopLayer, ViaEndLayer = kBottomLayer;
  uint8_t PadLayer = kMultiLayer;
  int32_t PadXSize = 600000, PadYSize = 600000;  // 60 mil
  int32_t PadHoleSize = 300000;                  // 30 mil
  uint8_t PadShape = kRound;
  uint8_t TextLayer = kTopOverlay;
  int32_t TextHeight = 600000;       // 60 mil
  int32_t TextStrokeWidth = 100000;  // 10 mil
  int32_t TextFont = 1;
  uint8_t ComponentLayer = kTopLayer;
  uint8_t DesignatorVisible = 1, CommentVisible = 0;
  uint8_t PolygonLayer = kTopLayer;
  int32_t PolygonGridSize = 200000, PolygonTrackWidth = 80000;
  uint8_t PolygonHatchStyle = 0, PolygonRemoveIslands = 0, PolygonOnInternalPlane = 0;
  int32_t ClearanceGap = 100000;
  int32_t RuleWidth = 100000;
  int32_t MaxLength = 1000000000, MinLength = 0;
  int32_t RuleViaHoleSize = 280000, RuleViaSize = 500000;
};

// The host's progress display: one entry per PcbApi_Percent_Init.
struct ProgressRun {
  std::string Title;
  int32_t Total = 0;
  int64_t Updates = 0;
  bool Finished = false;
};

struct EventMessage {
  uint32_t Sender = 0, Receiver = 0;
  uint16_t Code = 0;
  uint32_t Data = 0;
  bool operator==(const EventMessage&) const = default;
};

// A command the host ran for a plug-in (PcbApi_SendCommand, or the client's
// process launcher for "Client:RunCommonDialog").
struct CommandRecord {
  std::string Route;    // "SendCommand" or "RunProcess"
  std::string Process;  // the process name
  std::string Request;  // the parameter text the plug-in gave
  std::string Answer;   // the text the host wrote back
  int32_t Status = 0;   // what the host answered
};

struct Rect {
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  bool operator==(const Rect&) const = default;
};

}  // namespace tarvex

// Wrappers of a whole board: its record with the document's path, one layer
// object per host layer, the drill layer pairs, the option records and the
// external dielectrics. A write after a read gives the host its own values
// back, except what was changed in between.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "hostapi/PcbTypes.h"

// One host layer of a board.
class TLayerObject {
 public:
  TLayerObject(THandle board, uint8_t layerId);
  TLayerObject(const TLayerObject&) = delete;
  TLayerObject& operator=(const TLayerObject&) = delete;
  virtual ~TLayerObject();

  // Layer record, then its dielectric; answers the layer record's status.
  virtual int32_t Exchange(uint8_t direction);

  THandle Board = 0;
  uint8_t LayerId = 0;
  std::string Name;  // at most 255 characters; initially the layer's identifier name
  int32_t CopperThickness = 14000;
  std::string DielectricMaterial = "FR-4";
  uint8_t DielectricType = 1;
  double DielectricConstant = 4.8;
  int32_t DielectricHeight = 126000;
  uint8_t LayerAux1 = 0;
  uint8_t LayerAux2 = 0;
  uint8_t PrevLayer = 0;  // neighbours in the board's layer stack, 0 at an end
  uint8_t NextLayer = 0;
  uint8_t LayerAux3 = 0;

 protected:
  int32_t ExchangeDielectric(uint8_t direction);
};

// An internal plane layer (InternalPlane1 to InternalPlane16) with its net.
class TInternalPlane : public TLayerObject {
 public:
  TInternalPlane(THandle board, uint8_t layerId);
  int32_t Exchange(uint8_t direction) override;

  std::string NetName = "(No Net)";  // at most 255 characters
};

// One drill layer pair.
struct TPcblayerPair {
  std::string PairName;  // built on reading: "<first> - <second>" in stack order
  uint8_t Layer1 = 0;
  uint8_t Layer2 = 0;
  uint8_t PairAux1 = 0;
  uint8_t PairAux2 = 0;
};

// Top or bottom external dielectric of a board.
struct TPcbDielectric {
  std::string Material = "FR-4";
  uint8_t Type = 1;
  double Constant = 4.8;
  int32_t Height = 126000;
};

class TPcbBoard {
 public:
  explicit TPcbBoard(THandle board);
  TPcbBoard(const TPcbBoard&) = delete;
  TPcbBoard& operator=(const TPcbBoard&) = delete;
  virtual ~TPcbBoard();

  // The whole board in a fixed order: board record, layer information,
  // layer objects, option records, layer pairs, external dielectrics.
  // Answers the status of the board record.
  virtual int32_t Exchange(uint8_t direction);

  // The layer object of an id 1 to 82; nullptr for any other id.
  TLayerObject* LayerObject(int layerId);
  // The internal plane 1 to 16; nullptr for any other number.
  TInternalPlane* InternalPlane(int plane);

#if defined(HOSTAPI_LEGACY_EXTRAS) && HOSTAPI_LEGACY_EXTRAS
  // Puts the object on the board; 1 without asking the host when the object
  // handle is 0.
  int32_t AddPrimitive(THandle object);
  // The net name of InternalPlane1 to InternalPlane4; it reaches the host
  // with the board's next write.
  void SetPlaneNetName1(std::string_view netName);
  void SetPlaneNetName2(std::string_view netName);
  void SetPlaneNetName3(std::string_view netName);
  void SetPlaneNetName4(std::string_view netName);
#endif

  static constexpr int kMaxLayerPairs = 4096;  // more from the host are not read

  THandle Board = 0;
  // Board record.
  int32_t BoardAux = 0;
  std::string FileName;  // path of the board's document, at most 255 characters
  std::array<int32_t, pcbabi::kBoardRecordExtraFields> BoardRecord{};
  // Layer information value of each layer id 1 to 82 (index 0 unused).
  std::array<int32_t, kLayerCount> LayerInfo{};
  // Layer objects by id 1 to 82 (index 0 empty); TInternalPlane for 39 to 54.
  std::array<std::unique_ptr<TLayerObject>, kLayerCount> Layers;
  std::vector<TPcblayerPair> LayerPairs;
  // Option records, carried unchanged.
  std::array<int32_t, pcbabi::kGridFields> Grids{};
  std::array<int32_t, pcbabi::kOutputOptionFields> OutputOptions{};
  std::array<uint8_t, pcbabi::kPlotLayerCount + 1> PlotLayers{};  // index 1 to 109
  std::array<uint8_t, pcbabi::kPlotLayerCount + 1> FlipLayers{};  // index 1 to 109
  std::array<int32_t, pcbabi::kGerberOptionFields> GerberOptions{};
  std::array<int32_t, pcbabi::kPrinterOptionFields> PrinterOptions{};
  std::array<std::array<int32_t, 2>, pcbabi::kPlotterPenCount + 1> PlotterPens{};  // pens 1 to 8
  std::array<uint8_t, kLayerCount> CompositeLayers{};  // layer ids 1 to 82
  std::array<int32_t, pcbabi::kPlacerOptionFields> PlacerOptions{};
  std::array<int32_t, pcbabi::kChangeOrderOptionFields> ChangeOrderOptions{};
  TPcbDielectric TopDielectric;
  TPcbDielectric BottomDielectric;

 private:
  void ExchangeOptions(uint8_t direction);
  void ExchangeLayerPairs(uint8_t direction);
  // Position of a layer among the copper layers of the stack (1 for the
  // first), 0 for a layer that is not a copper layer of the stack.
  int StackPosition(uint8_t layerId) const;
  std::string LayerName(uint8_t layerId) const;
};

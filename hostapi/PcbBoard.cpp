// Board and layer wrappers.
#include "hostapi/PcbBoard.h"

#include <algorithm>

#include "hostapi/ExchangeSupport.h"
#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbUtil.h"

using namespace hostapi;
using hostapi::exchange::CallWithFields;
using hostapi::exchange::IsWrite;
using hostapi::exchange::StringField;

namespace {

bool IsInternalPlane(int id) { return id >= InternalPlane1 && id <= InternalPlane16; }
bool IsCopper(int id) { return (id >= TopLayer && id <= BottomLayer) || IsInternalPlane(id); }

}  // namespace

// ---- TLayerObject, TInternalPlane -------------------------------------------------

TLayerObject::TLayerObject(THandle board, uint8_t layerId)
    : Board(board), LayerId(layerId), Name(LayerIdentifierName(layerId)) {}

TLayerObject::~TLayerObject() = default;

int32_t TLayerObject::ExchangeDielectric(uint8_t direction) {
  StringField material(DielectricMaterial, pcbabi::kNameChars);
  const int32_t status =
      PcbApi_QueryLayerDielectric(direction, LayerId, Board, material.Data(), &DielectricType,
                                  &DielectricConstant, &DielectricHeight);
  material.Finish(direction, Api::PcbApi_QueryLayerDielectric);
  return status;
}

int32_t TLayerObject::Exchange(uint8_t direction) {
  StringField name(Name, pcbabi::kNameChars);
  const int32_t status =
      PcbApi_QueryLayer(direction, LayerId, Board, name.Data(), &CopperThickness, &LayerAux1,
                        &LayerAux2, &PrevLayer, &NextLayer, &LayerAux3);
  name.Finish(direction, Api::PcbApi_QueryLayer);
  ExchangeDielectric(direction);
  return status;
}

TInternalPlane::TInternalPlane(THandle board, uint8_t layerId) : TLayerObject(board, layerId) {}

int32_t TInternalPlane::Exchange(uint8_t direction) {
  StringField name(Name, pcbabi::kNameChars);
  StringField netName(NetName, pcbabi::kNameChars);
  const int32_t status =
      PcbApi_QueryInternalPlane(direction, LayerId, Board, name.Data(), &CopperThickness,
                                &LayerAux1, &LayerAux2, &PrevLayer, &NextLayer, netName.Data());
  name.Finish(direction, Api::PcbApi_QueryInternalPlane);
  netName.Finish(direction, Api::PcbApi_QueryInternalPlane);
  ExchangeDielectric(direction);
  return status;
}

// ---- TPcbBoard ----------------------------------------------------------------------

TPcbBoard::TPcbBoard(THandle board) : Board(board) {
  for (int id = 1; id <= kMaxLayerId; ++id) {
    const auto layerId = static_cast<uint8_t>(id);
    if (IsInternalPlane(id))
      Layers[id] = std::make_unique<TInternalPlane>(board, layerId);
    else
      Layers[id] = std::make_unique<TLayerObject>(board, layerId);
  }
}

TPcbBoard::~TPcbBoard() = default;

TLayerObject* TPcbBoard::LayerObject(int layerId) {
  return layerId >= 1 && layerId <= kMaxLayerId ? Layers[layerId].get() : nullptr;
}

TInternalPlane* TPcbBoard::InternalPlane(int plane) {
  if (plane < 1 || plane > 16) return nullptr;
  return static_cast<TInternalPlane*>(Layers[InternalPlane1 + plane - 1].get());
}

int32_t TPcbBoard::Exchange(uint8_t direction) {
  StringField fileName(FileName, pcbabi::kNameChars);
  const int32_t status = CallWithFields(PcbApi_QueryBoard, BoardRecord, direction, Board,
                                        &BoardAux, fileName.Data());
  fileName.Finish(direction, Api::PcbApi_QueryBoard);

  int32_t unused = 0;  // two further values per layer that are not kept
  for (int id = 1; id <= kMaxLayerId; ++id)
    PcbApi_QueryBoardLayerInfo(direction, Board, static_cast<uint8_t>(id), &LayerInfo[id], &unused,
                               &unused);

  for (int id = 1; id <= kMaxLayerId; ++id) Layers[id]->Exchange(direction);

  ExchangeOptions(direction);
  ExchangeLayerPairs(direction);

  StringField topMaterial(TopDielectric.Material, pcbabi::kNameChars);
  StringField bottomMaterial(BottomDielectric.Material, pcbabi::kNameChars);
  PcbApi_QueryBoardExternalDielectrics(direction, Board, topMaterial.Data(), &TopDielectric.Type,
                                       &TopDielectric.Constant, &TopDielectric.Height,
                                       bottomMaterial.Data(), &BottomDielectric.Type,
                                       &BottomDielectric.Constant, &BottomDielectric.Height);
  topMaterial.Finish(direction, Api::PcbApi_QueryBoardExternalDielectrics);
  bottomMaterial.Finish(direction, Api::PcbApi_QueryBoardExternalDielectrics);
  return status;
}

void TPcbBoard::ExchangeOptions(uint8_t direction) {
  CallWithFields(PcbApi_QueryBoardGridsEx, Grids, direction, Board);

  CallWithFields(PcbApi_QueryBoardOutputOptions, OutputOptions, direction, Board);
  for (int32_t n = 1; n <= pcbabi::kPlotLayerCount; ++n) {
    PcbApi_QueryBoardOutputOptionsPlotLayers(direction, Board, n, &PlotLayers[n]);
    PcbApi_QueryBoardOutputOptionsFlipLayers(direction, Board, n, &FlipLayers[n]);
  }

  CallWithFields(PcbApi_QueryBoardGerberOptions, GerberOptions, direction, Board);

  CallWithFields(PcbApi_QueryBoardPrinterOptions, PrinterOptions, direction, Board);
  for (int32_t pen = 1; pen <= pcbabi::kPlotterPenCount; ++pen)
    PcbApi_QueryBoardPrinterOptionsPlotterPen(direction, Board, pen, &PlotterPens[pen][0],
                                              &PlotterPens[pen][1]);
  for (int id = 1; id <= kMaxLayerId; ++id)
    PcbApi_QueryBoardPrinterOptionsCompositeLayer(direction, Board, static_cast<uint8_t>(id),
                                                  &CompositeLayers[id]);

  CallWithFields(PcbApi_QueryBoardAdvancedPlacerOptions, PlacerOptions, direction, Board);
  CallWithFields(PcbApi_QueryBoardEngineeringChangeOrderOptions, ChangeOrderOptions, direction,
                 Board);
}

void TPcbBoard::ExchangeLayerPairs(uint8_t direction) {
  if (IsWrite(direction)) {
    for (size_t i = 0; i < LayerPairs.size(); ++i) {
      TPcblayerPair& pair = LayerPairs[i];
      PcbApi_QueryBoardLayerPairAt(direction, Board, static_cast<int32_t>(i), &pair.Layer1,
                                   &pair.Layer2, &pair.PairAux2, &pair.PairAux1);
    }
    return;
  }
  LayerPairs.clear();
  int32_t count = 0;
  if (PcbApi_QueryBoardLayerPairsCount(Board, &count) != 0) count = 0;
  count = std::clamp(count, 0, kMaxLayerPairs);
  for (int32_t i = 0; i < count; ++i) {
    TPcblayerPair pair;
    PcbApi_QueryBoardLayerPairAt(direction, Board, i, &pair.Layer1, &pair.Layer2, &pair.PairAux2,
                                 &pair.PairAux1);
    const bool inOrder = StackPosition(pair.Layer2) >= StackPosition(pair.Layer1);
    const uint8_t first = inOrder ? pair.Layer1 : pair.Layer2;
    const uint8_t second = inOrder ? pair.Layer2 : pair.Layer1;
    pair.PairName = CutString(LayerName(first) + " - " + LayerName(second), pcbabi::kNameChars);
    LayerPairs.push_back(std::move(pair));
  }
}

int TPcbBoard::StackPosition(uint8_t layerId) const {
  if (!IsCopper(layerId)) return 0;
  int current = 0;
  for (int id = 1; id <= kMaxLayerId; ++id)
    if (Layers[id]->PrevLayer == 0) {
      current = id;
      break;
    }
  // Follow the stack; a stack that loops or leaves the layer ids ends the walk.
  int position = 0;
  for (int steps = 0; current >= 1 && current <= kMaxLayerId && steps < kMaxLayerId; ++steps) {
    if (IsCopper(current)) ++position;
    if (current == layerId) return position;
    current = Layers[current]->NextLayer;
  }
  return 0;
}

std::string TPcbBoard::LayerName(uint8_t layerId) const {
  return layerId >= 1 && layerId <= kMaxLayerId ? Layers[layerId]->Name : std::string();
}

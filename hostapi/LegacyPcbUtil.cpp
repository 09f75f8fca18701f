// Operations that only the Sarnovik importer's build has: its layer numbers,
// pads found by "designator-pin", and adding primitives and plane net names
// through the wrappers.
#include <string>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbBoard.h"
#include "hostapi/PcbObjects.h"
#include "hostapi/PcbUtil.h"

namespace hostapi {

uint8_t LegacyLayerToHost(int layer) {
  if (layer >= 1 && layer <= 15) return static_cast<uint8_t>(layer);
  if (layer >= 16 && layer <= 26) return static_cast<uint8_t>(layer - 16 + 32);
  if (layer >= 27 && layer <= 32) return static_cast<uint8_t>(layer - 27 + 55);
  if (layer >= 33 && layer <= 42) return static_cast<uint8_t>(layer - 33 + 73);
  return 0;
}

THandle FindComponentByDesignator(THandle board, std::string_view designator, uint8_t layer) {
  if (!ScratchComponent) ScratchComponent = new TPcbComponent(0);
  const THandle iterator = PcbApi_CreateIterator(board, okComponent, 0, layer);
  THandle found = 0;
  for (THandle h = PcbApi_GetFirstObject(iterator); h != 0; h = PcbApi_GetNextObject(iterator)) {
    if (ScratchComponent->Handle != h) {
      ScratchComponent->Handle = h;
      ScratchComponent->Exchange(qdRead);
    }
    if (ObjectTextOf(ScratchComponent->DesignatorText) == designator) {
      found = h;
      break;
    }
  }
  PcbApi_DestroyIterator(iterator);
  return found;
}

THandle FindPadOfComponent(THandle component, std::string_view pinName) {
  if (component == 0) return 0;
  for (int layer = 1; layer <= kMaxLayerId; ++layer) {
    const THandle iterator =
        PcbApi_CreateIterator(component, okPad, 0, static_cast<uint8_t>(layer));
    THandle found = 0;
    for (THandle h = PcbApi_GetFirstObject(iterator); h != 0; h = PcbApi_GetNextObject(iterator)) {
      TPcbPad pad(h);
      pad.Exchange(qdRead);
      if (pad.Name == pinName) {
        found = h;
        break;
      }
    }
    PcbApi_DestroyIterator(iterator);
    if (found) return found;
  }
  return 0;
}

THandle FindPadByDesignatorPin(THandle board, std::string_view designatorPin) {
  constexpr size_t kMaxPinChars = 999;
  const size_t hyphen = designatorPin.find('-');
  const std::string_view designator = designatorPin.substr(0, hyphen);
  std::string_view pin;
  if (hyphen != std::string_view::npos) pin = designatorPin.substr(hyphen + 1, kMaxPinChars);
  THandle pad = FindPadOfComponent(FindComponentByDesignator(board, designator, TopLayer), pin);
  if (pad == 0)
    pad = FindPadOfComponent(FindComponentByDesignator(board, designator, BottomLayer), pin);
  return pad;
}

}  // namespace hostapi

int32_t TPcbComponent::AddPrimitive(THandle object) {
  if (object == 0) return 1;
  return hostapi::PcbApi_AddObjectToContainer(Handle, object);
}

int32_t TPcbBoard::AddPrimitive(THandle object) {
  if (object == 0) return 1;
  return hostapi::PcbApi_AddObjectToContainer(Board, object);
}

void TPcbBoard::SetPlaneNetName1(std::string_view netName) { InternalPlane(1)->NetName = netName; }
void TPcbBoard::SetPlaneNetName2(std::string_view netName) { InternalPlane(2)->NetName = netName; }
void TPcbBoard::SetPlaneNetName3(std::string_view netName) { InternalPlane(3)->NetName = netName; }
void TPcbBoard::SetPlaneNetName4(std::string_view netName) { InternalPlane(4)->NetName = netName; }

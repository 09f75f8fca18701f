// Operations that only the Sarnovik importer's build has: its layer numbers,
// pads found by "designator-pin", and adding primitives and plane net names
// through the wrappers.
#include <set>
#include <string>
#include <unordered_map>

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

namespace {

// What FindPadByDesignatorPin needs of one board, gathered once: the first
// component of each designator on each side, in the host's order, and, per
// component as it is first asked for, the first pad of each name in the
// order of FindPadOfComponent (layer 1 to 82, the host's order within a
// layer). Without it every node line of a netlist walks the whole board.
struct TPadLookup {
  bool Valid = false;
  THandle Board = 0;
  std::unordered_map<std::string, THandle> TopComponents;
  std::unordered_map<std::string, THandle> BottomComponents;
  std::unordered_map<THandle, std::unordered_map<std::string, THandle>> PadsOf;
};

TPadLookup PadLookup;

std::unordered_map<std::string, THandle> ComponentsOn(THandle board, uint8_t layer) {
  if (!ScratchComponent) ScratchComponent = new TPcbComponent(0);
  std::unordered_map<std::string, THandle> first;
  const THandle iterator = PcbApi_CreateIterator(board, okComponent, 0, layer);
  for (THandle h = PcbApi_GetFirstObject(iterator); h != 0; h = PcbApi_GetNextObject(iterator)) {
    if (ScratchComponent->Handle != h) {
      ScratchComponent->Handle = h;
      ScratchComponent->Exchange(qdRead);
    }
    first.emplace(ObjectTextOf(ScratchComponent->DesignatorText), h);  // keeps the first
  }
  PcbApi_DestroyIterator(iterator);
  return first;
}

const std::unordered_map<std::string, THandle>& PadsOfComponent(THandle component) {
  auto [entry, added] = PadLookup.PadsOf.try_emplace(component);
  if (!added) return entry->second;
  // One walk finds the layers that hold pads; then each of those layers is
  // walked in increasing order, as FindPadOfComponent does.
  std::set<uint8_t> layers;
  THandle iterator = PcbApi_CreateIterator(component, okPad, 0, 0);
  for (THandle h = PcbApi_GetFirstObject(iterator); h != 0; h = PcbApi_GetNextObject(iterator)) {
    TPcbPad pad(h);
    pad.Exchange(qdRead);
    if (pad.Layer >= 1 && pad.Layer <= kMaxLayerId) layers.insert(pad.Layer);
  }
  PcbApi_DestroyIterator(iterator);
  for (const uint8_t layer : layers) {
    iterator = PcbApi_CreateIterator(component, okPad, 0, layer);
    for (THandle h = PcbApi_GetFirstObject(iterator); h != 0; h = PcbApi_GetNextObject(iterator)) {
      TPcbPad pad(h);
      pad.Exchange(qdRead);
      entry->second.emplace(pad.Name, h);  // keeps the first
    }
    PcbApi_DestroyIterator(iterator);
  }
  return entry->second;
}

THandle PadOf(const std::unordered_map<std::string, THandle>& components,
              std::string_view designator, std::string_view pin) {
  const auto component = components.find(std::string(designator));
  if (component == components.end()) return 0;
  const auto& pads = PadsOfComponent(component->second);
  const auto pad = pads.find(std::string(pin));
  return pad == pads.end() ? 0 : pad->second;
}

}  // namespace

void InvalidatePadLookup() { PadLookup = TPadLookup{}; }

// Only components on the board and pads in components change what the index
// answers; nets, tracks and the rest leave it as it is.
void NoteObjectAdded(THandle container, THandle object) {
  if (!PadLookup.Valid) return;
  const uint8_t kind = ObjectKindOf(object);
  if (kind == okComponent) InvalidatePadLookup();
  else if (kind == okPad) PadLookup.PadsOf.erase(container);
}

THandle FindPadByDesignatorPin(THandle board, std::string_view designatorPin) {
  constexpr size_t kMaxPinChars = 999;
  const size_t hyphen = designatorPin.find('-');
  const std::string_view designator = designatorPin.substr(0, hyphen);
  std::string_view pin;
  if (hyphen != std::string_view::npos) pin = designatorPin.substr(hyphen + 1, kMaxPinChars);
  if (!PadLookup.Valid || PadLookup.Board != board) {
    InvalidatePadLookup();
    PadLookup.Board = board;
    PadLookup.TopComponents = ComponentsOn(board, TopLayer);
    PadLookup.BottomComponents = ComponentsOn(board, BottomLayer);
    PadLookup.Valid = true;
  }
  const THandle pad = PadOf(PadLookup.TopComponents, designator, pin);
  return pad != 0 ? pad : PadOf(PadLookup.BottomComponents, designator, pin);
}

}  // namespace hostapi

int32_t TPcbComponent::AddPrimitive(THandle object) {
  if (object == 0) return 1;
  hostapi::NoteObjectAdded(Handle, object);
  return hostapi::PcbApi_AddObjectToContainer(Handle, object);
}

int32_t TPcbBoard::AddPrimitive(THandle object) {
  if (object == 0) return 1;
  hostapi::NoteObjectAdded(Board, object);
  return hostapi::PcbApi_AddObjectToContainer(Board, object);
}

void TPcbBoard::SetPlaneNetName1(std::string_view netName) { InternalPlane(1)->NetName = netName; }
void TPcbBoard::SetPlaneNetName2(std::string_view netName) { InternalPlane(2)->NetName = netName; }
void TPcbBoard::SetPlaneNetName3(std::string_view netName) { InternalPlane(3)->NetName = netName; }
void TPcbBoard::SetPlaneNetName4(std::string_view netName) { InternalPlane(4)->NetName = netName; }

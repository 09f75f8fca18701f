#include "hostapi/BoardLookup.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbObjects.h"

namespace hostapi {

namespace {

// Destroys a host iterator when the walk is over, however it ends.
class TWalk {
 public:
  TWalk(THandle container, uint8_t kind)
      : Iterator(container ? PcbApi_CreateIterator(container, kind, 0, 0) : 0) {}
  ~TWalk() {
    if (Iterator) PcbApi_DestroyIterator(Iterator);
  }
  TWalk(const TWalk&) = delete;
  TWalk& operator=(const TWalk&) = delete;
  THandle First() { return Iterator ? PcbApi_GetFirstObject(Iterator) : 0; }
  THandle Next() { return Iterator ? PcbApi_GetNextObject(Iterator) : 0; }

 private:
  THandle Iterator;
};

// The name of a net, read through its wrapper; false when the host does not
// give the record.
bool NetName(THandle net, std::string& name) {
  TPcbNet wrapper(net);
  if (wrapper.Exchange(qdRead) != 0) return false;
  name = std::move(wrapper.Name);
  return true;
}

// The text of a component's designator; false when the component or its
// designator text cannot be read.
bool DesignatorOf(THandle component, std::string& designator) {
  TPcbComponent wrapper(component);
  if (wrapper.Exchange(qdRead) != 0 || wrapper.DesignatorText == 0) return false;
  TPcbText text(wrapper.DesignatorText);
  if (text.Exchange(qdRead) != 0) return false;
  designator = std::move(text.Text);
  return true;
}

bool PadName(THandle pad, std::string& name) {
  TPcbPad wrapper(pad);
  if (wrapper.Exchange(qdRead) != 0) return false;
  name = std::move(wrapper.Name);
  return true;
}

// The first net of each name on one board.
struct TNetIndex {
  bool Valid = false;
  THandle Board = 0;
  std::unordered_map<std::string, THandle> First;
};

// The components of each designator on one board in the host's order, and,
// for each component as it is first asked about, the first pad of each name.
struct TPadIndex {
  bool Valid = false;
  THandle Board = 0;
  std::unordered_map<std::string, std::vector<THandle>> Components;
  std::unordered_map<THandle, std::unordered_map<std::string, THandle>> PadsOf;
};

TNetIndex Nets;
TPadIndex Pads;

void BuildNetIndex(THandle board) {
  Nets = TNetIndex{};
  TWalk walk(board, okNet);
  std::string name;
  for (THandle net = walk.First(); net != 0; net = walk.Next())
    if (NetName(net, name)) Nets.First.emplace(name, net);  // keeps the first
  Nets.Board = board;
  Nets.Valid = true;
}

void BuildPadIndex(THandle board) {
  Pads = TPadIndex{};
  TWalk walk(board, okComponent);
  std::string designator;
  for (THandle component = walk.First(); component != 0; component = walk.Next())
    if (DesignatorOf(component, designator)) Pads.Components[designator].push_back(component);
  Pads.Board = board;
  Pads.Valid = true;
}

const std::unordered_map<std::string, THandle>& PadsOfComponent(THandle component) {
  auto [entry, added] = Pads.PadsOf.try_emplace(component);
  if (!added) return entry->second;
  TWalk walk(component, okPad);
  std::string name;
  for (THandle pad = walk.First(); pad != 0; pad = walk.Next())
    if (PadName(pad, name)) entry->second.emplace(name, pad);  // keeps the first
  return entry->second;
}

}  // namespace

THandle WalkFirstNetNamed(THandle board, std::string_view name) {
  TWalk walk(board, okNet);
  std::string found;
  for (THandle net = walk.First(); net != 0; net = walk.Next())
    if (NetName(net, found) && found == name) return net;
  return 0;
}

THandle WalkFirstComponentPad(THandle board, std::string_view designator, std::string_view pin) {
  TWalk components(board, okComponent);
  std::string text;
  for (THandle component = components.First(); component != 0; component = components.Next()) {
    if (!DesignatorOf(component, text) || text != designator) continue;
    TWalk pads(component, okPad);
    for (THandle pad = pads.First(); pad != 0; pad = pads.Next())
      if (PadName(pad, text) && text == pin) return pad;
  }
  return 0;
}

THandle FirstNetNamed(THandle board, std::string_view name) {
  if (board == 0) return 0;
  if (!Nets.Valid || Nets.Board != board) BuildNetIndex(board);
  const auto found = Nets.First.find(std::string(name));
  return found == Nets.First.end() ? 0 : found->second;
}

THandle FirstComponentPad(THandle board, std::string_view designator, std::string_view pin) {
  if (board == 0) return 0;
  if (!Pads.Valid || Pads.Board != board) BuildPadIndex(board);
  const auto components = Pads.Components.find(std::string(designator));
  if (components == Pads.Components.end()) return 0;
  const std::string pinName(pin);
  for (const THandle component : components->second) {
    const auto& pads = PadsOfComponent(component);
    if (const auto pad = pads.find(pinName); pad != pads.end()) return pad->second;
  }
  return 0;
}

void ForgetBoardLookups() {
  Nets = TNetIndex{};
  Pads = TPadIndex{};
}

void NoteContainerChange(THandle container, THandle object) {
  const bool netBoard = Nets.Valid && container == Nets.Board;
  const bool padBoard = Pads.Valid && container == Pads.Board;
  if (netBoard || padBoard) {
    // Only nets joining or leaving the board change the net answers, and
    // only components the pad answers; tracks and the rest change neither.
    const uint8_t kind = PcbApi_GetObjectIdFromObjectHandle(object);
    if (netBoard && kind == okNet) Nets = TNetIndex{};
    if (padBoard && kind == okComponent) Pads = TPadIndex{};
    return;
  }
  // A primitive joining or leaving a component already asked about; a pad
  // joining a net changes nothing here.
  if (Pads.Valid) Pads.PadsOf.erase(container);
}

void NoteRecordWrite(bool isNet) {
  if (isNet && Nets.Valid)
    Nets = TNetIndex{};
  else if (!isNet && Pads.Valid)
    Pads = TPadIndex{};
}

}  // namespace hostapi

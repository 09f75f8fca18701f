// The layer combo box: a drop-down list of host layers whose state is a host
// layer id.
#pragma once

#include <bitset>

#include "hostapi/PcbTypes.h"
#include "platform/dialogs/Dialogs.h"

// The values of the host layer enumeration by the names the combo box uses
// for them: eIgnoreLayer (0) stands for "no layer", eTopLayer (1) is the top
// layer, and the other ids follow in the host's order (TLayer, PcbTypes.h).
inline constexpr TLayer eIgnoreLayer = NoLayer;
inline constexpr TLayer eTopLayer = TopLayer;

// A set of host layers, indexed by layer id.
using TLayerSet = std::bitset<kLayerCount>;

class TEditLayer : public dialogs::ComboBox {
 public:
  // The layer set holds only layer 0, and State is 0.
  explicit TEditLayer(const dialogs::ControlInit& init);

  // The layer of the current text (LayerFromName): 0 for a text that is no
  // layer name, "Not Imported" and no selection included.
  TLayer State() const;
  // Selects the item whose position is the number of layers of the set that
  // are at most `layer`, less one: the layer's own item when the set holds
  // it, else the item of the nearest layer below it, else nothing.
  void SetState(TLayer layer);

  // Stores the set and makes the items the display names of its layers, in
  // id order; a drop-down list showing 16 items at a time. The selection is
  // cleared.
  void SetLayerSet(const TLayerSet& layers);
  const TLayerSet& LayerSet() const { return Layers_; }

 private:
  TLayerSet Layers_;
};

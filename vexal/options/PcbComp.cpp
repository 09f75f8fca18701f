#include "vexal/options/PcbComp.h"

#include "hostapi/PcbUtil.h"

TEditLayer::TEditLayer(const dialogs::ControlInit& init) : dialogs::ComboBox(init) {
  TLayerSet only;
  only.set(eIgnoreLayer);
  SetLayerSet(only);
  SetState(eIgnoreLayer);
}

TLayer TEditLayer::State() const { return static_cast<TLayer>(hostapi::LayerFromName(Text())); }

void TEditLayer::SetState(TLayer layer) {
  int count = 0;
  for (int id = 0; id < kLayerCount && id <= static_cast<int>(layer); ++id)
    if (Layers_.test(static_cast<size_t>(id))) ++count;
  SetItemIndex(count - 1);
}

void TEditLayer::SetLayerSet(const TLayerSet& layers) {
  Layers_ = layers;
  Clear();
  for (int id = 0; id < kLayerCount; ++id)
    if (Layers_.test(static_cast<size_t>(id))) Items.push_back(hostapi::LayerDisplayName(id));
  DropDownCount = 16;
  Style = dialogs::ComboStyle::DropDownList;
}

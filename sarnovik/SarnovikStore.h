// The store operations: each takes a record that a reader filled with the
// file's values (file units, the layer as LegacyLayerToHost gave it), turns
// them into host values and writes the record to the host. A record whose
// Handle is 0 is left alone.
#pragma once

#include "hostapi/PcbTypes.h"
#include "sarnovik/SarnovikRecords.h"

namespace sarnovik {

void StoreTrack(TTrack& track);
void StoreArc(TArc& arc);
void StoreVia(TVia& via);
void StoreFill(TFill& fill);
void StorePad(TPad& pad);
void StoreText(TText& text);
void StoreComponent(TComponent& component);
void StoreNet(TNet& net);

// Connects a pad that a net's node names to the net. A pad that carries a
// plane connection gives its internal plane the net's name (through the
// board of the running import).
void ConnectPadToNet(TNet& net, THandle pad);

}  // namespace sarnovik

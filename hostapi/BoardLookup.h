// Nets by name and component pads by designator and pin, on one board.
//
// Both lookups answer exactly what a walk of the board answers: the first
// match in the host's iteration order, names compared byte for byte. A walk
// costs the whole board per question, which an import asks once per net,
// node and drawing object. So the answers come from an index built by one
// walk on the first question and kept while the board stays as it was.
//
// The index is forgotten as soon as the plug-in changes what it answers:
// every binding routine that adds an object to a container or takes one out
// of it, and every record write of a net, text, pad or component, tells it
// (HostPcbApi.h). A change made behind the binding's back (by the user
// between two imports) is not seen: call ForgetBoardLookups at the start and
// end of every import.
#pragma once

#include <cstdint>
#include <string_view>

#include "hostapi/PcbTypes.h"

namespace hostapi {

// The first net of `board`, in the host's order, whose name equals `name`
// exactly; 0 when none or when `board` is 0.
THandle FirstNetNamed(THandle board, std::string_view name);

// The first pad named exactly `pin` of the first component of `board` (in the
// host's order) whose designator text is exactly `designator` and that has
// such a pad: a component of that designator without the pin is passed over.
// Its pads are searched in the host's order. 0 when none.
THandle FirstComponentPad(THandle board, std::string_view designator, std::string_view pin);

// The same two questions answered by walking the board every time, without
// any index.
THandle WalkFirstNetNamed(THandle board, std::string_view name);
THandle WalkFirstComponentPad(THandle board, std::string_view designator, std::string_view pin);

// Forgets every index.
void ForgetBoardLookups();

// Called by the binding routines (HostPcbApi.h) after the plug-in asked the
// host to add `object` to `container` or to take it out.
void NoteContainerChange(THandle container, THandle object);
// Called by the binding routines after a record write of a net (isNet) or of
// a text, pad or component (!isNet): names and designators may have changed.
void NoteRecordWrite(bool isNet);

}  // namespace hostapi

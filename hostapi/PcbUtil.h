// Utilities beside the host binding: host length units and their texts,
// layer names, the wrapper factory, object getters and setters by handle.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "hostapi/PcbObjects.h"
#include "hostapi/PcbTypes.h"

namespace hostapi {

// ---- Units ----------------------------------------------------------------------

inline constexpr double kUnitsPerMil = 10000.0;
inline constexpr double kMmPerMil = 0.0254;

// Rounds to the nearest integer, halves to the even neighbour. Values outside
// the 32-bit range give the nearest end of the range; NaN gives 0.
int32_t RoundHalfEven(double value);

int32_t MilsToUnits(double mils);  // round(mils x 10000)
int32_t MmToUnits(double mm);      // round(mm x 10000 / 0.0254)
double UnitsToMils(int32_t units);  // units / 10000, fraction rounded to 3 decimals
double UnitsToMm(int32_t units);    // units x 0.0254 / 10000, fraction rounded to 5 decimals

// "25.4mil" (imperial) or "0.0254mm": the value with its trailing zeros and
// a trailing point removed, then the unit.
std::string UnitsToText(int32_t units, bool imperial);

// A length text ("10 mil", "0.5mm", "12") to host units. A unit word in the
// text sets `imperial` (true for mil, false for mm); without one the text is
// read in the unit `imperial` names. An empty text or one beginning with a
// letter gives 0 and leaves `imperial` as it was.
int32_t ParseLength(std::string_view text, bool& imperial);

double DegToRad(double degrees);

// Decimal places of the unit texts (3 for mil, 5 for mm), computed at load.
extern int MilDecimals;
extern int MmDecimals;
void ComputeDecimalPlaces();

// ---- Layers ------------------------------------------------------------------------

// "Top Layer", "Mid Layer 1", ...; the empty text for an id above 82.
std::string LayerDisplayName(int layerId);
// The id of a display name, compared without regard to case; 0 when none.
uint8_t LayerFromName(std::string_view name);
// The identifier name of a layer id ("TopLayer", "MidLayer1", ...): the
// initial name of each layer object. The empty text for an id above 82.
std::string LayerIdentifierName(int layerId);

// ---- Objects by handle -----------------------------------------------------------

// A new wrapper of the class that fits the handle's object kind, already read
// from the host; nullptr for a kind without a wrapper.
std::unique_ptr<TPCBObject> WrapperForHandle(THandle handle);

uint8_t ObjectKindOf(THandle handle);  // 0 for handle 0
int32_t ObjectXOf(THandle handle);     // 0 for handle 0 and kinds without a wrapper
int32_t ObjectYOf(THandle handle);
int32_t ObjectX2Of(THandle handle);  // X for kinds without a second point
int32_t ObjectY2Of(THandle handle);
// Set one value and write the object back; nothing for handle 0. The second
// point setters do nothing on kinds without a second point.
void SetObjectX(THandle handle, int32_t value);
void SetObjectY(THandle handle, int32_t value);
void SetObjectX2(THandle handle, int32_t value);
void SetObjectY2(THandle handle, int32_t value);
// The string of a text object; empty for other kinds and for handle 0.
std::string ObjectTextOf(THandle handle);

// ---- Scratch wrappers --------------------------------------------------------------

// Created with handle 0 at module load and freed at unload.
extern TPcbTrack* ScratchTrack;
extern TPcbComponent* ScratchComponent;

#if defined(HOSTAPI_LEGACY_EXTRAS) && HOSTAPI_LEGACY_EXTRAS
// ---- Operations of the Sarnovik importer's build ----------------------------------

// A Sarnovik layer number to a host layer id: 1-15 -> 1-15, 16-26 -> 32-42,
// 27-32 -> 55-60, 33-42 -> 73-82, anything else 0.
uint8_t LegacyLayerToHost(int layer);

// The first component on `layer` of the board whose designator text is
// exactly `designator`, or 0.
THandle FindComponentByDesignator(THandle board, std::string_view designator, uint8_t layer);
// The first pad of the component named exactly `pinName`, searched layer by
// layer 1 to 82; 0 when none or when the component is 0.
THandle FindPadOfComponent(THandle component, std::string_view pinName);
// "U1-3": the pad named 3 of the component U1, looked for on the top side
// first and on the bottom side only when nothing was found on top; 0 if none.
// Answers from an index of the board's components and their pads, built on
// the first call and kept while no component joins the board and no pad a
// component through the wrappers (AddPrimitive), and the board stays the
// same; the answers are those of the two walks above.
THandle FindPadByDesignatorPin(THandle board, std::string_view designatorPin);
// Forgets the index: the board may have changed behind the wrappers' back
// (the importer calls it at the start and end of each import).
void InvalidatePadLookup();
// Tells the index that an object joins a container (AddPrimitive does).
void NoteObjectAdded(THandle container, THandle object);
#endif

}  // namespace hostapi

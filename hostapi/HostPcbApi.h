// The binding to the host PCB module "Tarvex.dll".
//
// At load each plug-in looks every host function up by name in the module the
// host has already loaded and keeps one entry point per name, each possibly
// absent. Every call goes through a binding routine in namespace hostapi named
// like the host function: it calls the host when the entry is there and
// otherwise answers its absent value (0; 1 for PcbApi_QueryBoardLayerPairsCount,
// PcbApi_QueryManualFromTo, PcbApi_GetMemberFromClassAt,
// PcbApi_AddMemberToClass and PcbApi_RemoveAllMembersFromClass) and does
// nothing else. No routine reports an error.
//
// Routines that take a name or title take a std::string_view, copy it as a
// short string (cut to 255 characters) into a local 256-byte buffer and pass
// the copy. All other routines take exactly the host's argument types (see
// hostapi/PcbApiAbi.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "hostapi/BoardLookup.h"
#include "hostapi/PcbApiAbi.h"
#include "hostapi/PcbApiNames.inc"
#include "hostapi/PcbTypes.h"
#include "platform/Platform.h"

namespace hostapi {

// Every looked-up name, in lookup order.
enum class Api : uint16_t {
#define HOSTAPI_API_ENUM(name) name,
  PCBAPI_ALL_NAMES(HOSTAPI_API_ENUM)
#undef HOSTAPI_API_ENUM
  Count
};
inline constexpr size_t kHostPcbApiNameCount = static_cast<size_t>(Api::Count);

// The host module as found by the last binding, or nullptr. Set by
// BindHostPcbApi and not otherwise used.
extern platform::ModuleHandle HostPcbModule;

// Finds "Tarvex.dll" among the modules the process has loaded (never loading
// it, keeping no reference) and rewrites the whole table: for every name in
// lookup order the address exported under exactly that name, or nothing.
void BindHostPcbApi();

// The module-load steps: create the scratch wrappers, compute the decimal
// places of the unit texts, clear HostPcbModule, then BindHostPcbApi. Each
// plug-in calls this from its load-time hook (hostclient::OnModuleLoad does
// it together with the client binding).
void OnModuleLoad();
// Module unload: frees the scratch wrappers; the binding table stays.
void OnModuleUnload();

// The table entry of a name (nullptr when absent) and the name itself.
void* BoundEntry(Api api);
const char* ApiName(Api api);

namespace detail {

template <Api I, class Fn, int Absent>
struct Routine;

// The board lookups (BoardLookup.h) hear of every change that may alter
// their answers: a record write (direction other than qdRead) of a net, or of
// a text, pad or component.
template <class... Rest>
void NoteWrite(bool isNet, uint8_t direction, uint32_t /*handle*/, Rest... /*fields*/) {
  if (direction != qdRead) NoteRecordWrite(isNet);
}

// A binding routine that passes its arguments on unchanged.
template <Api I, class R, class... A, int Absent>
struct Routine<I, R(PCBAPI_CALL*)(A...), Absent> {
  using Fn = R(PCBAPI_CALL*)(A...);
  R operator()(A... args) const {
    const auto fn = reinterpret_cast<Fn>(BoundEntry(I));
    if constexpr (std::is_void_v<R>) {
      if (fn) fn(args...);
    } else {
      if (!fn) return static_cast<R>(Absent);
      const R result = fn(args...);
      NoteChange(args...);
      return result;
    }
  }

 private:
  static void NoteChange([[maybe_unused]] A... args) {
    if constexpr (I == Api::PcbApi_AddObjectToContainer || I == Api::PcbApi_DeleteObjectFromContainer)
      NoteContainerChange(args...);
    else if constexpr (I == Api::PcbApi_QueryNet || I == Api::PcbApi_QueryText || I == Api::PcbApi_QueryPad ||
                       I == Api::PcbApi_QueryComponent)
      NoteWrite(I == Api::PcbApi_QueryNet, args...);
  }
};

}  // namespace detail

#define HOSTAPI_ROUTINE(name, absent) \
  inline constexpr detail::Routine<Api::name, pcbabi::name##_t, absent> name {}

// ---- Objects and containers ------------------------------------------------
HOSTAPI_ROUTINE(PcbApi_GetCurrentBoardHandle, 0);
HOSTAPI_ROUTINE(PcbApi_CreateObject, 0);                // (kind)
HOSTAPI_ROUTINE(PcbApi_CreateRuleObject, 0);            // (rule kind)
HOSTAPI_ROUTINE(PcbApi_CreateClassObjectEx, 0);         // (member kind)
HOSTAPI_ROUTINE(PcbApi_GetObjectIdFromObjectHandle, 0); // (handle) -> kind
HOSTAPI_ROUTINE(PcbApi_AddObjectToContainer, 0);        // (container, object)
HOSTAPI_ROUTINE(PcbApi_DeleteObjectFromContainer, 0);   // (container, object)
HOSTAPI_ROUTINE(PcbApi_CreateIterator, 0);              // (container, kind, mode 0, layer)
HOSTAPI_ROUTINE(PcbApi_GetFirstObject, 0);
HOSTAPI_ROUTINE(PcbApi_GetNextObject, 0);
HOSTAPI_ROUTINE(PcbApi_DestroyIterator, 0);
HOSTAPI_ROUTINE(PcbApi_GetObjectBitField2, 0);
HOSTAPI_ROUTINE(PcbApi_GetObjectBitField3, 0);
HOSTAPI_ROUTINE(PcbApi_QueryObjectBoundingRectangle, 0);  // (handle, &X1, &Y1, &X2, &Y2)
HOSTAPI_ROUTINE(PcbApi_QueryObjectImport_FromUser, 0);
HOSTAPI_ROUTINE(PcbApi_QueryObjectGraphicallyInvalidate, 0);

// ---- Records of primitives and group objects -------------------------------
HOSTAPI_ROUTINE(PcbApi_QueryPrimitive, 0);
HOSTAPI_ROUTINE(PcbApi_QueryTrack, 0);
HOSTAPI_ROUTINE(PcbApi_QueryArc, 0);
HOSTAPI_ROUTINE(PcbApi_QueryFill, 0);
HOSTAPI_ROUTINE(PcbApi_QueryVia, 0);
HOSTAPI_ROUTINE(PcbApi_QueryText, 0);
HOSTAPI_ROUTINE(PcbApi_QueryPad, 0);
HOSTAPI_ROUTINE(PcbApi_QueryPolygon, 0);
HOSTAPI_ROUTINE(PcbApi_QueryComponentChannelOffset, 0);
HOSTAPI_ROUTINE(PcbApi_QueryComponentKind, 0);
HOSTAPI_ROUTINE(PcbApi_QueryComponent, 0);
HOSTAPI_ROUTINE(PcbApi_QueryComponentEx, 0);
HOSTAPI_ROUTINE(PcbApi_QueryComponentSourceLinks, 0);
HOSTAPI_ROUTINE(PcbApi_QueryNet, 0);
HOSTAPI_ROUTINE(PcbApi_QueryClass, 0);
HOSTAPI_ROUTINE(PcbApi_QueryFromTo, 0);
HOSTAPI_ROUTINE(PcbApi_QueryManualFromTo, 1);
HOSTAPI_ROUTINE(PcbApi_QueryCoordinate, 0);
HOSTAPI_ROUTINE(PcbApi_QueryDimension, 0);
HOSTAPI_ROUTINE(PcbApi_QueryExtDimension, 0);
HOSTAPI_ROUTINE(PcbApi_References_Count, 0);  // (dimension, &count)
HOSTAPI_ROUTINE(PcbApi_References_At, 0);     // (direction, dimension, index, 4 values)
HOSTAPI_ROUTINE(PcbApi_QueryRule, 0);
HOSTAPI_ROUTINE(PcbApi_QueryRuleExt, 0);
HOSTAPI_ROUTINE(PcbApi_QueryRuleExtEx, 0);

// ---- Pads and vias per layer ------------------------------------------------
HOSTAPI_ROUTINE(PcbApi_QueryPadStackMode, 0);          // (direction, pad, &mode)
HOSTAPI_ROUTINE(PcbApi_QueryPadOrViaShapeOnLayer, 0);  // (handle, layer, &shape)
HOSTAPI_ROUTINE(PcbApi_QueryPadOrViaSizeOnLayer, 0);   // (handle, layer, &x, &y)
HOSTAPI_ROUTINE(PcbApi_SetPadShapeOnLayer, 0);         // (pad, layer, shape)
HOSTAPI_ROUTINE(PcbApi_SetPadSizeOnLayer, 0);          // (pad, layer, x, y)

// ---- Classes -----------------------------------------------------------------
// (class, index from 0, 256-byte buffer): 0 and the name, 1 past the last member.
HOSTAPI_ROUTINE(PcbApi_GetMemberFromClassAt, 1);
HOSTAPI_ROUTINE(PcbApi_RemoveAllMembersFromClass, 1);
// The member's name is copied to a 256-byte buffer (cut to 255 characters).
int32_t PcbApi_AddMemberToClass(THandle cls, std::string_view name);  // absent: 1

// ---- Rules and their scopes --------------------------------------------------
HOSTAPI_ROUTINE(PcbApi_SetState_DeleteAllSubScopes, 0);  // (rule, scope index)
HOSTAPI_ROUTINE(PcbApi_GetState_SubScopesCount, 0);      // (rule, scope index)
HOSTAPI_ROUTINE(PcbApi_GetState_SubscopeAt, 0);  // (rule, scope, index, &kind, name, &layer, &kinds, 4 values)
void PcbApi_SetState_AddSubscope(THandle rule, uint8_t scope, uint8_t kind, std::string_view name,
                                 uint8_t layer, uint8_t objectKinds, int32_t value1, int32_t value2,
                                 int32_t value3, int32_t value4);
HOSTAPI_ROUTINE(PcbApi_QueryRuleClearanceConstraint, 0);
HOSTAPI_ROUTINE(PcbApi_QueryRuleMaxMinWidthConstraintExt, 0);
HOSTAPI_ROUTINE(PcbApi_QueryRuleMaxMinLengthConstraint, 0);
HOSTAPI_ROUTINE(PcbApi_QueryRuleRoutingViaStyleRuleExt, 0);
HOSTAPI_ROUTINE(PcbApi_QueryRuleConfinementConstraint, 0);

// ---- Board, layers and options ------------------------------------------------
HOSTAPI_ROUTINE(PcbApi_QueryBoard, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardGridsEx, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardLayerInfo, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardLayerPairsCount, 1);  // (board, &count)
HOSTAPI_ROUTINE(PcbApi_QueryBoardLayerPairAt, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardOutputOptions, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardOutputOptionsPlotLayers, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardOutputOptionsFlipLayers, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardGerberOptions, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardPrinterOptions, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardPrinterOptionsPlotterPen, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardPrinterOptionsCompositeLayer, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardAdvancedPlacerOptions, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardEngineeringChangeOrderOptions, 0);
HOSTAPI_ROUTINE(PcbApi_QueryBoardExternalDielectrics, 0);
HOSTAPI_ROUTINE(PcbApi_QueryLayer, 0);
HOSTAPI_ROUTINE(PcbApi_QueryInternalPlane, 0);
HOSTAPI_ROUTINE(PcbApi_QueryLayerDielectric, 0);

// ---- Progress, commands and events ---------------------------------------------
// Starts the host's progress display; the title is copied to a 256-byte buffer.
void PcbApi_Percent_Init(std::string_view title, int32_t total);
// Advances the progress by one step. The count is accepted and not passed on.
void PcbApi_Percent_Update(int32_t count = 1);
HOSTAPI_ROUTINE(PcbApi_Percent_Finish, 0);
// (process name, parameter buffer read and rewritten by the host, buffer size, context 0)
HOSTAPI_ROUTINE(PcbApi_SendCommand, 0);
// (sender, receiver 0, event code, data handle)
HOSTAPI_ROUTINE(PcbApi_EventRouter_SendMessage, 0);

#if defined(HOSTAPI_LEGACY_EXTRAS) && HOSTAPI_LEGACY_EXTRAS
// The handle of the open board whose document has this full file name, 0 if
// none. The name is copied to a 256-byte buffer (cut to 255 characters).
THandle PcbApi_GetBoardHandleFromFullFileName(std::string_view fullFileName);
#endif

#undef HOSTAPI_ROUTINE

}  // namespace hostapi

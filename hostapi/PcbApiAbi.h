// The boundary between the plug-ins and the host PCB module ("Tarvex").
//
// This header is shared by both sides and is the only thing they share: the
// plug-ins look every function up by name in the loaded host module and call
// it through a pointer of the type declared here; the stand-in host defines
// each function as extern "C" with exactly this type (checked at compile time).
//
// Widths: handles are 32-bit unsigned (0 = none), statuses signed 32-bit
// (0 = success), coordinates and sizes signed 32-bit host units (1/10000 mil),
// angles double degrees. A short string is one length byte followed by up to
// 255 bytes, no terminator; a string field of N characters takes N+1 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define PCBAPI_CALL __stdcall
#else
#define PCBAPI_CALL
#endif

namespace pcbabi {

using THandle = uint32_t;
using TStatus = int32_t;
using TCoord = int32_t;

// Exchange directions: the first argument of every record function.
enum : uint8_t { qdWrite = 0, qdRead = 1, qdWritePlacement = 2 };

// Capacities of the string fields of the host records (characters, without
// the length byte).
inline constexpr int kNameChars = 255;
inline constexpr int kPadNameChars = 20;
inline constexpr int kTextChars = 254;
inline constexpr int kPatternChars = 250;

// One vertex of a polygon record: exactly 37 bytes, packed.
#pragma pack(push, 1)
struct TVertexRecord {
  uint8_t Kind;
  int32_t X;
  int32_t Y;
  uint8_t Rest[28];
};
#pragma pack(pop)
static_assert(sizeof(TVertexRecord) == 37, "vertex record is 37 bytes");
inline constexpr int kVertexRecords = 501;

// Number of 32-bit fields of the host records that the plug-ins carry
// unchanged (their meaning is the host's).
inline constexpr int kRuleRecordFields = 23;
inline constexpr int kDimensionRecordFields = 12;
inline constexpr int kExtDimensionRecordFields = 8;
inline constexpr int kBoardRecordExtraFields = 8;
inline constexpr int kGridFields = 6;
inline constexpr int kOutputOptionFields = 6;
inline constexpr int kGerberOptionFields = 8;
inline constexpr int kPrinterOptionFields = 6;
inline constexpr int kPlacerOptionFields = 6;
inline constexpr int kChangeOrderOptionFields = 4;
inline constexpr int kPlotLayerCount = 109;
inline constexpr int kPlotterPenCount = 8;

}  // namespace pcbabi

// The host functions that the plug-ins call, with their types:
//   X(name, result type, (parameter types))
// Record functions take the direction, the handle, then the address of each
// field in record order.
// clang-format off
#define PCBAPI_P8  uint8_t*
#define PCBAPI_P16 uint16_t*
#define PCBAPI_P32 uint32_t*
#define PCBAPI_PI  int32_t*
#define PCBAPI_PD  double*
#define PCBAPI_PS  uint8_t*   /* short string field */
#define PCBAPI_PRIM_FIELDS PCBAPI_P16 /*Flags*/, PCBAPI_P16 /*ExtraWord*/, PCBAPI_P8 /*Layer*/, PCBAPI_P32 /*Net*/, PCBAPI_P8 /*ExtraByte*/, PCBAPI_P32 /*ExtraLong*/
#define PCBAPI_I4 PCBAPI_PI, PCBAPI_PI, PCBAPI_PI, PCBAPI_PI
#define PCBAPI_I6 PCBAPI_I4, PCBAPI_PI, PCBAPI_PI
#define PCBAPI_I8 PCBAPI_I4, PCBAPI_I4
#define PCBAPI_I12 PCBAPI_I8, PCBAPI_I4
#define PCBAPI_I23 PCBAPI_I12, PCBAPI_I8, PCBAPI_PI, PCBAPI_PI, PCBAPI_PI

#define PCBAPI_CALLED_FUNCTIONS(X) \
  /* objects and containers */ \
  X(PcbApi_GetCurrentBoardHandle, uint32_t, (void)) \
  X(PcbApi_CreateObject, uint32_t, (uint8_t /*kind*/)) \
  X(PcbApi_CreateRuleObject, uint32_t, (uint8_t /*rule kind*/)) \
  X(PcbApi_CreateClassObjectEx, uint32_t, (uint8_t /*member kind*/)) \
  X(PcbApi_GetObjectIdFromObjectHandle, uint8_t, (uint32_t)) \
  X(PcbApi_AddObjectToContainer, int32_t, (uint32_t /*container*/, uint32_t /*object*/)) \
  X(PcbApi_DeleteObjectFromContainer, int32_t, (uint32_t, uint32_t)) \
  X(PcbApi_CreateIterator, uint32_t, (uint32_t /*container*/, uint8_t /*kind*/, uint8_t /*mode*/, uint8_t /*layer*/)) \
  X(PcbApi_GetFirstObject, uint32_t, (uint32_t)) \
  X(PcbApi_GetNextObject, uint32_t, (uint32_t)) \
  X(PcbApi_DestroyIterator, void, (uint32_t)) \
  X(PcbApi_GetObjectBitField2, int32_t, (uint8_t, uint32_t, PCBAPI_P8)) \
  X(PcbApi_GetObjectBitField3, int32_t, (uint8_t, uint32_t, PCBAPI_P16)) \
  X(PcbApi_QueryObjectBoundingRectangle, int32_t, (uint32_t, PCBAPI_I4)) \
  X(PcbApi_QueryObjectImport_FromUser, int32_t, (uint32_t)) \
  X(PcbApi_QueryObjectGraphicallyInvalidate, int32_t, (uint32_t)) \
  /* primitive and group records */ \
  X(PcbApi_QueryPrimitive, int32_t, (uint8_t, uint32_t, PCBAPI_P16 /*Flags*/, PCBAPI_P16 /*ExtraWord*/, PCBAPI_P8 /*Layer*/, PCBAPI_P32 /*Net*/, PCBAPI_P32 /*ExtraLong*/, PCBAPI_P8 /*ExtraByte*/)) \
  X(PcbApi_QueryTrack, int32_t, (uint8_t, uint32_t, PCBAPI_PRIM_FIELDS, PCBAPI_PI /*X*/, PCBAPI_PI /*Y*/, PCBAPI_PI /*X2*/, PCBAPI_PI /*Y2*/, PCBAPI_PI /*Width*/, PCBAPI_PI /*Aux1*/, PCBAPI_PI /*Aux2*/, PCBAPI_PI /*Aux3*/)) \
  X(PcbApi_QueryArc, int32_t, (uint8_t, uint32_t, PCBAPI_PRIM_FIELDS, PCBAPI_PI /*X*/, PCBAPI_PI /*Y*/, PCBAPI_PI /*Radius*/, PCBAPI_PD /*StartAngle*/, PCBAPI_PD /*EndAngle*/, PCBAPI_PI /*Width*/, PCBAPI_PI /*Aux1*/)) \
  X(PcbApi_QueryFill, int32_t, (uint8_t, uint32_t, PCBAPI_PRIM_FIELDS, PCBAPI_PI /*X*/, PCBAPI_PI /*Y*/, PCBAPI_PI /*X2*/, PCBAPI_PI /*Y2*/, PCBAPI_PI /*Aux1*/, PCBAPI_PD /*Rotation*/)) \
  X(PcbApi_QueryVia, int32_t, (uint8_t, uint32_t, PCBAPI_PRIM_FIELDS, PCBAPI_PI /*X*/, PCBAPI_PI /*Y*/, PCBAPI_PI /*Size*/, PCBAPI_PI /*HoleSize*/, PCBAPI_P8 /*StartLayer*/, PCBAPI_P8 /*EndLayer*/)) \
  X(PcbApi_QueryText, int32_t, (uint8_t, uint32_t, PCBAPI_PRIM_FIELDS, PCBAPI_PI /*X*/, PCBAPI_PI /*Y*/, PCBAPI_PI /*Height*/, PCBAPI_PI /*Font*/, PCBAPI_PD /*Rotation*/, PCBAPI_P8 /*Mirrored*/, PCBAPI_PS /*Text[254]*/, PCBAPI_PI /*StrokeWidth*/, PCBAPI_PI /*Aux2*/, PCBAPI_PI /*Aux3*/)) \
  X(PcbApi_QueryPad, int32_t, (uint8_t, uint32_t, PCBAPI_PRIM_FIELDS, PCBAPI_PI /*X*/, PCBAPI_PI /*Y*/, PCBAPI_PI /*TopXSize*/, PCBAPI_PI /*TopYSize*/, PCBAPI_PI /*MidXSize*/, PCBAPI_PI /*MidYSize*/, PCBAPI_PI /*BottomXSize*/, PCBAPI_PI /*BottomYSize*/, PCBAPI_PI /*HoleSize*/, PCBAPI_P8 /*TopShape*/, PCBAPI_P8 /*MidShape*/, PCBAPI_P8 /*BottomShape*/, PCBAPI_PS /*Name[20]*/, PCBAPI_P8 /*PadAux1*/, PCBAPI_P8 /*PadAux2*/, PCBAPI_PD /*Rotation*/)) \
  X(PcbApi_QueryPolygon, int32_t, (uint8_t, uint32_t, PCBAPI_P16 /*Flags*/, PCBAPI_P16 /*ExtraWord*/, PCBAPI_P8 /*Layer*/, PCBAPI_P32 /*Net*/, PCBAPI_P8 /*ExtraByte*/, PCBAPI_P8 /*RemoveIslands*/, PCBAPI_P8 /*PolyAux1*/, PCBAPI_P8 /*PolyOption*/, PCBAPI_PI /*GridSize*/, PCBAPI_PI /*TrackWidth*/, PCBAPI_P8 /*PolyAux2*/, PCBAPI_P8 /*HatchStyle*/, PCBAPI_PI /*PolyAux3*/, PCBAPI_P8 /*OnInternalPlane*/, PCBAPI_PI /*VertexCount*/, pcbabi::TVertexRecord* /*Vertices[501]*/)) \
  X(PcbApi_QueryComponentChannelOffset, int32_t, (uint8_t, uint32_t, PCBAPI_PI)) \
  X(PcbApi_QueryComponentKind, int32_t, (uint8_t, uint32_t, PCBAPI_P8)) \
  X(PcbApi_QueryComponent, int32_t, (uint8_t, uint32_t, PCBAPI_P16 /*Flags*/, PCBAPI_P16 /*ExtraWord*/, PCBAPI_P8 /*Layer*/, PCBAPI_P8 /*ExtraByte*/, PCBAPI_P32 /*DesignatorText*/, PCBAPI_P32 /*CommentText*/, PCBAPI_PS /*Pattern[250]*/, PCBAPI_P8 /*DesignatorVisible*/, PCBAPI_P8 /*CommentVisible*/, PCBAPI_PI /*X*/, PCBAPI_PI /*Y*/, PCBAPI_PI /*CompAux1*/, PCBAPI_PD /*Rotation*/, PCBAPI_P8 /*CompAux2*/)) \
  X(PcbApi_QueryComponentEx, int32_t, (uint8_t, uint32_t, PCBAPI_PI /*CompExtra1*/, PCBAPI_P8, PCBAPI_P8, PCBAPI_P8)) \
  X(PcbApi_QueryComponentSourceLinks, int32_t, (uint8_t, uint32_t, PCBAPI_PS, PCBAPI_PS, PCBAPI_PS, PCBAPI_PS, PCBAPI_PS, PCBAPI_PS, PCBAPI_PS)) \
  X(PcbApi_QueryNet, int32_t, (uint8_t, uint32_t, PCBAPI_P16 /*ExtraWord*/, PCBAPI_PS /*Name*/, PCBAPI_P8 /*NetAux1*/, PCBAPI_P8 /*NetAux2*/)) \
  X(PcbApi_QueryClass, int32_t, (uint8_t, uint32_t, PCBAPI_P16 /*ExtraWord*/, PCBAPI_P8 /*MemberKind*/, PCBAPI_P8 /*ClassAux*/, PCBAPI_PS /*Name*/)) \
  X(PcbApi_QueryFromTo, int32_t, (uint8_t, uint32_t, PCBAPI_P16 /*ExtraWord*/, PCBAPI_PI /*X*/, PCBAPI_PI /*Y*/, PCBAPI_P8 /*FromLayer*/, PCBAPI_PI /*X2*/, PCBAPI_PI /*Y2*/, PCBAPI_P8 /*ToLayer*/, PCBAPI_P32 /*Net*/)) \
  X(PcbApi_QueryManualFromTo, int32_t, (uint8_t, uint32_t, PCBAPI_P16 /*ExtraWord*/, PCBAPI_PS, PCBAPI_PS, PCBAPI_PS, PCBAPI_PI)) \
  X(PcbApi_QueryCoordinate, int32_t, (uint8_t, uint32_t, PCBAPI_P16 /*Flags*/, PCBAPI_P16 /*ExtraWord*/, PCBAPI_P8 /*ExtraByte*/, PCBAPI_PI /*X*/, PCBAPI_PI /*Y*/, PCBAPI_P8 /*Layer*/, PCBAPI_I6)) \
  X(PcbApi_QueryDimension, int32_t, (uint8_t, uint32_t, PCBAPI_I12)) \
  X(PcbApi_QueryExtDimension, int32_t, (uint8_t, uint32_t, PCBAPI_I8)) \
  X(PcbApi_References_Count, int32_t, (uint32_t, PCBAPI_PI /*count*/)) \
  X(PcbApi_References_At, int32_t, (uint8_t, uint32_t, int32_t /*index*/, PCBAPI_I4)) \
  X(PcbApi_QueryRule, int32_t, (uint8_t, uint32_t, PCBAPI_I23)) \
  X(PcbApi_QueryRuleExt, int32_t, (uint8_t, uint32_t, PCBAPI_P8 /*RuleKind*/, PCBAPI_P8 /*RuleAux1*/, PCBAPI_P8 /*RuleAux2*/)) \
  X(PcbApi_QueryRuleExtEx, int32_t, (uint8_t, uint32_t, PCBAPI_PS /*Name*/)) \
  /* pads and vias per layer */ \
  X(PcbApi_QueryPadStackMode, int32_t, (uint8_t, uint32_t, PCBAPI_P8)) \
  X(PcbApi_QueryPadOrViaShapeOnLayer, int32_t, (uint32_t, uint8_t /*layer*/, PCBAPI_P8)) \
  X(PcbApi_QueryPadOrViaSizeOnLayer, int32_t, (uint32_t, uint8_t /*layer*/, PCBAPI_PI, PCBAPI_PI)) \
  X(PcbApi_SetPadShapeOnLayer, int32_t, (uint32_t, uint8_t /*layer*/, uint8_t /*shape*/)) \
  X(PcbApi_SetPadSizeOnLayer, int32_t, (uint32_t, uint8_t /*layer*/, int32_t, int32_t)) \
  /* classes */ \
  X(PcbApi_GetMemberFromClassAt, int32_t, (uint32_t, int32_t /*index*/, PCBAPI_PS /*256-byte buffer*/)) \
  X(PcbApi_AddMemberToClass, int32_t, (uint32_t, const uint8_t* /*name*/)) \
  X(PcbApi_RemoveAllMembersFromClass, int32_t, (uint32_t)) \
  /* rules and their scopes */ \
  X(PcbApi_SetState_DeleteAllSubScopes, void, (uint32_t, uint8_t /*scope*/)) \
  X(PcbApi_SetState_AddSubscope, void, (uint32_t, uint8_t /*scope*/, uint8_t /*kind*/, const uint8_t* /*name*/, uint8_t /*layer*/, uint8_t /*object kinds*/, int32_t, int32_t, int32_t, int32_t)) \
  X(PcbApi_GetState_SubScopesCount, int32_t, (uint32_t, uint8_t /*scope*/)) \
  X(PcbApi_GetState_SubscopeAt, void, (uint32_t, uint8_t /*scope*/, int32_t /*index*/, PCBAPI_P8 /*kind*/, PCBAPI_PS /*name*/, PCBAPI_P8 /*layer*/, PCBAPI_P8 /*object kinds*/, PCBAPI_I4)) \
  X(PcbApi_QueryRuleClearanceConstraint, int32_t, (uint8_t, uint32_t, PCBAPI_PI /*gap*/)) \
  X(PcbApi_QueryRuleMaxMinWidthConstraintExt, int32_t, (uint8_t, uint32_t, PCBAPI_PI, PCBAPI_PI, PCBAPI_PI)) \
  X(PcbApi_QueryRuleMaxMinLengthConstraint, int32_t, (uint8_t, uint32_t, PCBAPI_PI /*max*/, PCBAPI_PI /*min*/)) \
  X(PcbApi_QueryRuleRoutingViaStyleRuleExt, int32_t, (uint8_t, uint32_t, PCBAPI_I6)) \
  X(PcbApi_QueryRuleConfinementConstraint, int32_t, (uint8_t, uint32_t, PCBAPI_P8 /*kind*/, PCBAPI_I4 /*min X, min Y, max X, max Y*/, PCBAPI_P8 /*layer*/)) \
  /* board, layers and options */ \
  X(PcbApi_QueryBoard, int32_t, (uint8_t, uint32_t, PCBAPI_PI /*BoardAux*/, PCBAPI_PS /*FileName*/, PCBAPI_I8)) \
  X(PcbApi_QueryBoardGridsEx, int32_t, (uint8_t, uint32_t, PCBAPI_I6)) \
  X(PcbApi_QueryBoardLayerInfo, int32_t, (uint8_t, uint32_t, uint8_t /*layer*/, PCBAPI_PI /*info*/, PCBAPI_PI, PCBAPI_PI)) \
  X(PcbApi_QueryBoardLayerPairsCount, int32_t, (uint32_t, PCBAPI_PI /*count*/)) \
  X(PcbApi_QueryBoardLayerPairAt, int32_t, (uint8_t, uint32_t, int32_t /*index*/, PCBAPI_P8 /*Layer1*/, PCBAPI_P8 /*Layer2*/, PCBAPI_P8 /*PairAux2*/, PCBAPI_P8 /*PairAux1*/)) \
  X(PcbApi_QueryBoardOutputOptions, int32_t, (uint8_t, uint32_t, PCBAPI_I6)) \
  X(PcbApi_QueryBoardOutputOptionsPlotLayers, int32_t, (uint8_t, uint32_t, int32_t /*plot layer 1..109*/, PCBAPI_P8)) \
  X(PcbApi_QueryBoardOutputOptionsFlipLayers, int32_t, (uint8_t, uint32_t, int32_t /*plot layer 1..109*/, PCBAPI_P8)) \
  X(PcbApi_QueryBoardGerberOptions, int32_t, (uint8_t, uint32_t, PCBAPI_I8)) \
  X(PcbApi_QueryBoardPrinterOptions, int32_t, (uint8_t, uint32_t, PCBAPI_I6)) \
  X(PcbApi_QueryBoardPrinterOptionsPlotterPen, int32_t, (uint8_t, uint32_t, int32_t /*pen 1..8*/, PCBAPI_PI, PCBAPI_PI)) \
  X(PcbApi_QueryBoardPrinterOptionsCompositeLayer, int32_t, (uint8_t, uint32_t, uint8_t /*layer*/, PCBAPI_P8)) \
  X(PcbApi_QueryBoardAdvancedPlacerOptions, int32_t, (uint8_t, uint32_t, PCBAPI_I6)) \
  X(PcbApi_QueryBoardEngineeringChangeOrderOptions, int32_t, (uint8_t, uint32_t, PCBAPI_I4)) \
  X(PcbApi_QueryBoardExternalDielectrics, int32_t, (uint8_t, uint32_t, PCBAPI_PS, PCBAPI_P8, PCBAPI_PD, PCBAPI_PI, PCBAPI_PS, PCBAPI_P8, PCBAPI_PD, PCBAPI_PI)) \
  X(PcbApi_QueryLayer, int32_t, (uint8_t, uint8_t /*layer*/, uint32_t /*board*/, PCBAPI_PS /*Name*/, PCBAPI_PI /*CopperThickness*/, PCBAPI_P8 /*LayerAux1*/, PCBAPI_P8 /*LayerAux2*/, PCBAPI_P8 /*PrevLayer*/, PCBAPI_P8 /*NextLayer*/, PCBAPI_P8 /*LayerAux3*/)) \
  X(PcbApi_QueryInternalPlane, int32_t, (uint8_t, uint8_t /*layer*/, uint32_t /*board*/, PCBAPI_PS /*Name*/, PCBAPI_PI /*CopperThickness*/, PCBAPI_P8 /*LayerAux1*/, PCBAPI_P8 /*LayerAux2*/, PCBAPI_P8 /*PrevLayer*/, PCBAPI_P8 /*NextLayer*/, PCBAPI_PS /*NetName*/)) \
  X(PcbApi_QueryLayerDielectric, int32_t, (uint8_t, uint8_t /*layer*/, uint32_t /*board*/, PCBAPI_PS /*Material*/, PCBAPI_P8 /*Type*/, PCBAPI_PD /*Constant*/, PCBAPI_PI /*Height*/)) \
  /* progress, commands and events */ \
  X(PcbApi_Percent_Init, void, (const uint8_t* /*title*/, int32_t /*total*/)) \
  X(PcbApi_Percent_Update, void, (void)) \
  X(PcbApi_Percent_Finish, void, (void)) \
  X(PcbApi_SendCommand, int32_t, (const char* /*process*/, char* /*parameters*/, uint16_t /*size*/, int32_t /*context*/)) \
  X(PcbApi_EventRouter_SendMessage, void, (uint32_t /*sender*/, uint32_t /*receiver*/, uint16_t /*code*/, uint32_t /*data*/)) \
  X(PcbApi_GetBoardHandleFromFullFileName, uint32_t, (const uint8_t* /*full file name*/))
// clang-format on

// One function-pointer type per called host function: Name_t.
namespace pcbabi {
#define PCBAPI_DECLARE_TYPE(name, ret, params) using name##_t = ret(PCBAPI_CALL*) params;
PCBAPI_CALLED_FUNCTIONS(PCBAPI_DECLARE_TYPE)
#undef PCBAPI_DECLARE_TYPE
}  // namespace pcbabi

// Marks a function that a module exports by its plain name.
#if defined(_WIN32)
#define PCB_EXPORT extern "C" __declspec(dllexport)
#else
#define PCB_EXPORT extern "C" __attribute__((visibility("default")))
#endif

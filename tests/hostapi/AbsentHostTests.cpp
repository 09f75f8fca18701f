// With no host module in the process: every binding routine answers its
// absent value, and an import-like sequence runs without effect.
#include <gtest/gtest.h>

#include <string>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbBoard.h"
#include "hostapi/PcbObjects.h"
#include "hostapi/PcbUtil.h"
#include "hostclient/HostClient.h"

namespace {

class AbsentHostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { hostclient::OnModuleLoad(); }
};

TEST_F(AbsentHostTest, NothingIsBound) {
  EXPECT_EQ(hostapi::HostPcbModule, nullptr);
  for (size_t i = 0; i < hostapi::kHostPcbApiNameCount; ++i)
    EXPECT_EQ(hostapi::BoundEntry(static_cast<hostapi::Api>(i)), nullptr) << i;
  ASSERT_NE(hostapi::ScratchTrack, nullptr);
  ASSERT_NE(hostapi::ScratchComponent, nullptr);
  EXPECT_EQ(hostapi::ScratchTrack->Handle, 0u);
  EXPECT_EQ(hostapi::ScratchComponent->ObjectKind, okComponent);
  EXPECT_EQ(hostapi::MilDecimals, 3);
  EXPECT_EQ(hostapi::MmDecimals, 5);
}

TEST_F(AbsentHostTest, EveryRoutineAnswersItsAbsentValue) {
  using namespace hostapi;
  int32_t a = 7, b = 7, c = 7, d = 7, e = 7, f = 7;
  uint8_t u8 = 7;
  uint8_t name[256] = {3, 'a', 'b', 'c'};
  EXPECT_EQ(PcbApi_GetCurrentBoardHandle(), 0u);
  EXPECT_EQ(PcbApi_CreateObject(okTrack), 0u);
  EXPECT_EQ(PcbApi_CreateRuleObject(rkClearance), 0u);
  EXPECT_EQ(PcbApi_CreateClassObjectEx(ckNet), 0u);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(5), 0);
  EXPECT_EQ(PcbApi_AddObjectToContainer(1, 2), 0);
  EXPECT_EQ(PcbApi_DeleteObjectFromContainer(1, 2), 0);
  EXPECT_EQ(PcbApi_CreateIterator(1, 0, 0, 0), 0u);
  EXPECT_EQ(PcbApi_GetFirstObject(1), 0u);
  EXPECT_EQ(PcbApi_GetNextObject(1), 0u);
  PcbApi_DestroyIterator(1);
  EXPECT_EQ(PcbApi_QueryObjectBoundingRectangle(1, &a, &b, &c, &d), 0);
  EXPECT_EQ(PcbApi_QueryObjectImport_FromUser(1), 0);
  EXPECT_EQ(PcbApi_QueryPadStackMode(qdRead, 1, &u8), 0);
  EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(1, 1, &a, &b), 0);
  EXPECT_EQ(PcbApi_SetPadSizeOnLayer(1, 1, 2, 3), 0);
  EXPECT_EQ(PcbApi_GetState_SubScopesCount(1, 0), 0);
  PcbApi_SetState_AddSubscope(1, 0, skNet, "GND", 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(PcbApi_QueryRuleClearanceConstraint(qdRead, 1, &a), 0);
  EXPECT_EQ(PcbApi_QueryRuleRoutingViaStyleRuleExt(qdWrite, 1, &a, &b, &c, &d, &e, &f), 0);
  EXPECT_EQ(PcbApi_SendCommand("Client:RunCommonDialog", nullptr, 0, 0), 0);
  PcbApi_Percent_Init("Loading", 10);
  PcbApi_Percent_Update(3);
  PcbApi_Percent_Finish();
  PcbApi_EventRouter_SendMessage(0, 0, 13, 0);
  EXPECT_EQ(PcbApi_GetBoardHandleFromFullFileName("c:\\a.pcb"), 0u);
  // The five whose absent value is 1.
  EXPECT_EQ(PcbApi_QueryBoardLayerPairsCount(1, &a), 1);
  EXPECT_EQ(PcbApi_QueryManualFromTo(qdRead, 1, nullptr, name, name, name, &a), 1);
  EXPECT_EQ(PcbApi_GetMemberFromClassAt(1, 0, name), 1);
  EXPECT_EQ(PcbApi_AddMemberToClass(1, "GND"), 1);
  EXPECT_EQ(PcbApi_RemoveAllMembersFromClass(1), 1);
  // Nothing was touched.
  EXPECT_EQ(a, 7);
  EXPECT_EQ(u8, 7);
  EXPECT_EQ(name[0], 3);
}

TEST_F(AbsentHostTest, AnImportLikeSequenceRunsWithoutEffect) {
  using namespace hostapi;
  const THandle board = PcbApi_GetCurrentBoardHandle();
  EXPECT_EQ(board, 0u);

  // A track: create, read, set, write, add.
  const THandle h = PcbApi_CreateObject(okTrack);
  TPcbTrack track(h);
  EXPECT_EQ(track.Exchange(qdRead), 0);
  track.X = 10, track.X2 = 20, track.Width = 5, track.Layer = TopLayer;
  EXPECT_EQ(track.Exchange(qdWrite), 0);
  EXPECT_EQ(track.X2, 20);
  EXPECT_EQ(PcbApi_AddObjectToContainer(board, h), 0);

  // Every wrapper class: its exchange answers 0 (the class: the member loop's 1)
  // and leaves the fields as they were.
  TPcbText text(0);
  text.Text = "R1";
  EXPECT_EQ(text.Exchange(qdRead), 0);
  EXPECT_EQ(text.Text, "R1");
  TPcbPad pad(0);
  pad.Name = "1";
  pad.StackMode = psmPerLayer;
  EXPECT_EQ(pad.Exchange(qdRead), 0);
  EXPECT_EQ(pad.Name, "1");
  TPcbComponent component(0);
  component.Pattern = "DIP8";
  component.SourceLinks[0] = "x";
  EXPECT_EQ(component.Exchange(qdWritePlacement), 0);
  EXPECT_EQ(component.Exchange(qdRead), 0);
  EXPECT_EQ(component.Pattern, "DIP8");
  EXPECT_EQ(component.SourceLinks[0], "x");
  EXPECT_EQ(component.GetName(), "");
  TPcbNet net(0);
  net.Name = "GND";
  EXPECT_EQ(net.Exchange(qdRead), 0);
  EXPECT_EQ(net.Name, "GND");
  for (auto* o : std::initializer_list<TPCBObject*>{new TPcbArc(0), new TPcbVia(0), new TPcbFill(0),
                                                     new TPcbPolygon(0), new TPcbCoordinate(0),
                                                     new TPcbDimension(0), new TPcbRule(0),
                                                     new TPcbFromTo(0), new TPCBObject(0)}) {
    EXPECT_EQ(o->Exchange(qdRead), 0);
    EXPECT_EQ(o->Exchange(qdWrite), 0);
    delete o;
  }
  TPcbManualFromTo manual(0);
  EXPECT_EQ(manual.Exchange(qdRead), 1);  // its absent value

  TPCBObjectClass cls(PcbApi_CreateClassObjectEx(ckNet));
  cls.Members = {"A"};
  EXPECT_EQ(cls.Exchange(qdRead), 1);  // the member loop ends at once
  EXPECT_EQ(cls.Members, std::vector<std::string>{"A"});
  EXPECT_EQ(cls.Exchange(qdWrite), 1);

  TPcbRuleExt rule(PcbApi_CreateRuleObject(rkWidth));
  rule.Name = "Width";
  rule.Scope1.Add({skBoard, "", 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(rule.Exchange(qdWrite), 0);
  EXPECT_EQ(rule.Exchange(qdRead), 0);
  EXPECT_EQ(rule.Name, "Width");

  // Iteration ends at once.
  const THandle iterator = PcbApi_CreateIterator(board, okComponent, 0, TopLayer);
  EXPECT_EQ(PcbApi_GetFirstObject(iterator), 0u);
  PcbApi_DestroyIterator(iterator);

  // The board wrapper keeps its values.
  TPcbBoard b(board);
  b.FileName = "/tmp/x.pcb";
  b.SetPlaneNetName1("GND");
  EXPECT_EQ(b.Exchange(qdRead), 0);
  EXPECT_EQ(b.FileName, "/tmp/x.pcb");
  EXPECT_EQ(b.LayerObject(TopLayer)->Name, "TopLayer");
  EXPECT_EQ(b.InternalPlane(1)->NetName, "GND");
  EXPECT_EQ(b.InternalPlane(2)->NetName, "(No Net)");
  EXPECT_TRUE(b.LayerPairs.empty());
  EXPECT_EQ(b.Exchange(qdWrite), 0);
  EXPECT_EQ(h, 0u);
  EXPECT_EQ(b.AddPrimitive(h), 1);  // no object to add

  EXPECT_EQ(FindPadByDesignatorPin(board, "U1-1"), 0u);
  EXPECT_EQ(ObjectXOf(5), 0);
  SetObjectX(5, 1);
  EXPECT_EQ(WrapperForHandle(5), nullptr);
}

TEST_F(AbsentHostTest, ClientFunctionsAndInterfaceAbsent) {
  // This program exports no client functions and never got a client interface.
  EXPECT_EQ(hostclient::kClientApiNameCount, 77u);
  for (size_t i = 0; i < hostclient::kClientApiNameCount; ++i)
    EXPECT_EQ(hostclient::BoundClientEntry(static_cast<hostclient::ClientApi>(i)), nullptr);
  EXPECT_FALSE(hostclient::ClientAPI_ExistSpecific("/"));
  EXPECT_EQ(hostclient::ClientAPI_ExtractFileNameFromPath("/a/b.pcb"), "");
  EXPECT_EQ(hostclient::ClientAPI_ForceFileNameExtension("/a/b.pcb", "rpt"), "");
  EXPECT_EQ(hostclient::ClientInterface, nullptr);
  char buffer[32] = "Path=x";
  EXPECT_FALSE(hostclient::RunHostProcess("Client:RunCommonDialog", buffer, sizeof buffer, nullptr));
  EXPECT_EQ(hostclient::HostMainWindow(), 0u);
}

}  // namespace

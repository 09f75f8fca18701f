// The client binding: functions found by name in this program (which exports
// them as the host program does), the client interface and the process
// launcher reached through it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

#include "hostclient/HostClient.h"

namespace {

std::string gLastPath, gLastExtension;
bool gFillWholeBuffer = false;

}  // namespace

PCB_EXPORT uint8_t PCBAPI_CALL ClientAPI_ExistSpecific(const char* path) {
  gLastPath = path;
  return std::strcmp(path, "/exists/a.pcb") == 0 ? 1 : 0;
}

PCB_EXPORT void PCBAPI_CALL ClientAPI_ExtractFileNameFromPath(const char* path, char* out) {
  gLastPath = path;
  if (gFillWholeBuffer) {
    std::memset(out, 'x', clientabi::kPathBufferSize);  // no terminator at all
    return;
  }
  const char* slash = std::strrchr(path, '/');
  std::strcpy(out, slash ? slash + 1 : path);
}

PCB_EXPORT void PCBAPI_CALL ClientAPI_ForceFileNameExtension(const char* path, const char* extension,
                                                             char* out) {
  gLastPath = path;
  gLastExtension = extension;
  std::string result = path;
  const size_t dot = result.rfind('.');
  if (dot != std::string::npos) result.resize(dot);
  result += ".";
  result += extension;
  std::strcpy(out, result.c_str());
}

static_assert(std::is_same_v<decltype(&ClientAPI_ExistSpecific), clientabi::ClientAPI_ExistSpecific_t>);
static_assert(std::is_same_v<decltype(&ClientAPI_ExtractFileNameFromPath),
                             clientabi::ClientAPI_ExtractFileNameFromPath_t>);
static_assert(std::is_same_v<decltype(&ClientAPI_ForceFileNameExtension),
                             clientabi::ClientAPI_ForceFileNameExtension_t>);

namespace {

using clientabi::TGuid;

class FakeLauncher final : public clientabi::IHostProcessLauncher {
 public:
  int32_t PCBAPI_CALL QueryInterface(const TGuid&, void** obj) override {
    *obj = nullptr;
    return clientabi::kNoInterface;
  }
  uint32_t PCBAPI_CALL AddRef() override { return static_cast<uint32_t>(++References); }
  uint32_t PCBAPI_CALL Release() override { return static_cast<uint32_t>(--References); }
  int32_t PCBAPI_CALL RunProcess(const char* name, char* parameters, int32_t size,
                                 clientabi::IHostView* view) override {
    LastName = name;
    LastParameters = parameters;
    LastSize = size;
    LastView = view;
    if (Answer.size() + 1 <= static_cast<size_t>(size)) std::strcpy(parameters, Answer.c_str());
    return Result;
  }

  int References = 0;
  int32_t Result = 1;
  std::string Answer = "Result=True|Path=/tmp/a.pcb";
  std::string LastName, LastParameters;
  int32_t LastSize = 0;
  clientabi::IHostView* LastView = nullptr;
};

class FakeClient final : public clientabi::IHostClient {
 public:
  int32_t PCBAPI_CALL QueryInterface(const TGuid& iid, void** obj) override {
    if (OfferLauncher && iid == clientabi::IID_IHostProcessLauncher) {
      Launcher.AddRef();
      *obj = static_cast<clientabi::IHostProcessLauncher*>(&Launcher);
      return 0;
    }
    *obj = nullptr;
    return clientabi::kNoInterface;
  }
  uint32_t PCBAPI_CALL AddRef() override { return static_cast<uint32_t>(++References); }
  uint32_t PCBAPI_CALL Release() override { return static_cast<uint32_t>(--References); }
  clientabi::IHostDocument* PCBAPI_CALL FindDocumentByPath(const char*) override { return nullptr; }
  clientabi::THostWindow PCBAPI_CALL GetMainWindow() override { return 0x1234; }
  clientabi::IHostServer* PCBAPI_CALL GetServer(const char*) override { return nullptr; }
  clientabi::IHostDocument* PCBAPI_CALL OpenDocument(const char*, const char*) override {
    return nullptr;
  }
  uint8_t PCBAPI_CALL IsServerAvailable(const char*) override { return 1; }
  const char* PCBAPI_CALL DocumentKindOfPath(const char*) override { return "PCB"; }
  void PCBAPI_CALL MakeDocumentCurrent(clientabi::IHostDocument*) override {}

  int References = 0;
  bool OfferLauncher = true;
  FakeLauncher Launcher;
};

class ClientBindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hostclient::BindHostClient();
    gFillWholeBuffer = false;
  }
  void TearDown() override { hostclient::SetClientInterface(nullptr); }
};

TEST_F(ClientBindingTest, TheExportedFunctionsOfTheProgramAreBoundByName) {
  using hostclient::ClientApi;
  EXPECT_NE(hostclient::BoundClientEntry(ClientApi::ClientAPI_ExistSpecific), nullptr);
  EXPECT_NE(hostclient::BoundClientEntry(ClientApi::ClientAPI_ForceFileNameExtension), nullptr);
  EXPECT_EQ(hostclient::BoundClientEntry(ClientApi::ClientApi_GetCurrentUserID), nullptr);
  int bound = 0;
  for (size_t i = 0; i < hostclient::kClientApiNameCount; ++i)
    if (hostclient::BoundClientEntry(static_cast<ClientApi>(i))) ++bound;
  EXPECT_EQ(bound, 3);
  EXPECT_STREQ(hostclient::ClientApiName(static_cast<ClientApi>(76)),
               "ClientAPI_ConvertFileNameToExeFileName");
}

TEST_F(ClientBindingTest, PathFunctions) {
  EXPECT_TRUE(hostclient::ClientAPI_ExistSpecific("/exists/a.pcb"));
  EXPECT_FALSE(hostclient::ClientAPI_ExistSpecific("/missing/a.pcb"));
  EXPECT_EQ(gLastPath, "/missing/a.pcb");
  EXPECT_EQ(hostclient::ClientAPI_ExtractFileNameFromPath("/tmp/boards/a.pcb"), "a.pcb");
  EXPECT_EQ(hostclient::ClientAPI_ForceFileNameExtension("/tmp/boards/a.pcb", "rpt"),
            "/tmp/boards/a.rpt");
  EXPECT_EQ(gLastExtension, "rpt");
  // A host that fills the whole buffer: the text ends inside it.
  gFillWholeBuffer = true;
  EXPECT_EQ(hostclient::ClientAPI_ExtractFileNameFromPath("/a"),
            std::string(clientabi::kPathBufferSize - 1, 'x'));
}

TEST_F(ClientBindingTest, WithoutAClientInterfaceNoProcessRunsAndThereIsNoWindow) {
  ASSERT_EQ(hostclient::ClientInterface, nullptr);
  char buffer[64] = "Dialog=Open";
  EXPECT_FALSE(hostclient::RunHostProcess("Client:RunCommonDialog", buffer, sizeof buffer, nullptr));
  EXPECT_STREQ(buffer, "Dialog=Open");
  EXPECT_EQ(hostclient::HostMainWindow(), 0u);
}

TEST_F(ClientBindingTest, RunHostProcessGoesThroughTheLauncherAndGivesItBack) {
  FakeClient client;
  hostclient::SetClientInterface(&client);
  EXPECT_EQ(client.References, 1);
  EXPECT_EQ(hostclient::HostMainWindow(), 0x1234u);

  char buffer[257] = "Dialog=Open|Extension=*.pcb";
  auto* view = reinterpret_cast<clientabi::IHostView*>(0x10);
  EXPECT_TRUE(hostclient::RunHostProcess("Client:RunCommonDialog", buffer, sizeof buffer, view));
  EXPECT_EQ(client.Launcher.LastName, "Client:RunCommonDialog");
  EXPECT_EQ(client.Launcher.LastParameters, "Dialog=Open|Extension=*.pcb");
  EXPECT_EQ(client.Launcher.LastSize, 257);
  EXPECT_EQ(client.Launcher.LastView, view);
  EXPECT_STREQ(buffer, "Result=True|Path=/tmp/a.pcb");
  EXPECT_EQ(client.Launcher.References, 0);  // the reference taken by the query is given back

  client.Launcher.Result = 0;
  EXPECT_FALSE(hostclient::RunHostProcess("PCB:CreateComponent", buffer, sizeof buffer, nullptr));
  client.Launcher.Result = -7;  // any non-zero answer is success
  EXPECT_TRUE(hostclient::RunHostProcess("PCB:CreateComponent", buffer, sizeof buffer, nullptr));

  client.OfferLauncher = false;
  EXPECT_FALSE(hostclient::RunHostProcess("PCB:CreateComponent", buffer, sizeof buffer, nullptr));

  hostclient::SetClientInterface(nullptr);
  EXPECT_EQ(client.References, 0);
}

}  // namespace

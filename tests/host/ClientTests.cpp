// The host client: its exported functions found in this executable by name
// (as the plug-ins find them), its interfaces with the process launcher, and
// the platform hooks reached through the platform layer.
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "host/client/PlatformHooks.h"
#include "host/client/StandInClient.h"
#include "tests/host/HostTestSupport.h"

namespace hosttest {
namespace {

namespace fs = std::filesystem;

class StandInClient : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    standin::ResetClient();
    standin::ResetHooks();
    standin::SetMessageBoxEcho(false);
    client = standin::HostClient();
    folder = fs::temp_directory_path() / ("standin_client_" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string Touch(const std::string& name, const std::string& content = "x") {
    const std::string path = (folder / name).string();
    std::ofstream(path) << content;
    return path;
  }
  clientabi::IHostProcessLauncher* Launcher() {
    void* obj = nullptr;
    EXPECT_EQ(client->QueryInterface(clientabi::IID_IHostProcessLauncher, &obj), 0);
    return static_cast<clientabi::IHostProcessLauncher*>(obj);
  }
  clientabi::IHostClient* client = nullptr;
  fs::path folder;
};

template <class T>
T Exported(const char* name) {
  return reinterpret_cast<T>(platform::FindExport(platform::ExecutableModule(), name));
}

TEST_F(StandInClient, ExistSpecificAnswersForFilesOnly) {
  const auto exists = Exported<clientabi::ClientAPI_ExistSpecific_t>("ClientAPI_ExistSpecific");
  ASSERT_NE(exists, nullptr);
  EXPECT_EQ(exists(Touch("a.pcb").c_str()), 1);
  EXPECT_EQ(exists((folder / "missing.pcb").string().c_str()), 0);
  EXPECT_EQ(exists(folder.string().c_str()), 0) << "a folder is no file";
  EXPECT_EQ(exists(""), 0);
  EXPECT_EQ(exists(nullptr), 0);
}

TEST_F(StandInClient, PathFunctions) {
  const auto name = Exported<clientabi::ClientAPI_ExtractFileNameFromPath_t>(
      "ClientAPI_ExtractFileNameFromPath");
  const auto force = Exported<clientabi::ClientAPI_ForceFileNameExtension_t>(
      "ClientAPI_ForceFileNameExtension");
  ASSERT_NE(name, nullptr);
  ASSERT_NE(force, nullptr);
  struct Case {
    const char* path;
    const char* fileName;
    const char* extension;
    const char* forced;
  };
  const Case cases[] = {
      {"/boards/a/demo.pcb", "demo.pcb", "rpt", "/boards/a/demo.rpt"},
      {"c:\\kivo\\demo.PCB", "demo.PCB", "rpt", "c:\\kivo\\demo.rpt"},
      {"/boards/v1.2/demo", "demo", "cfg", "/boards/v1.2/demo.cfg"},
      {"demo.tar.pcb", "demo.tar.pcb", ".rpt", "demo.tar.rpt"},
      {"/boards/demo.pcb", "demo.pcb", "", "/boards/demo"},
      {"/boards/", "", "rpt", "/boards/.rpt"},
  };
  char out[clientabi::kPathBufferSize];
  for (const Case& c : cases) {
    name(c.path, out);
    EXPECT_STREQ(out, c.fileName) << c.path;
    force(c.path, c.extension, out);
    EXPECT_STREQ(out, c.forced) << c.path;
  }
  // A path longer than the buffer is cut, never written past it.
  std::vector<char> big(clientabi::kPathBufferSize + 16, '#');
  const std::string longPath(6000, 'p');
  name(longPath.c_str(), big.data());
  EXPECT_EQ(std::strlen(big.data()), static_cast<size_t>(clientabi::kPathBufferSize - 1));
  EXPECT_EQ(big[clientabi::kPathBufferSize], '#');
  name(nullptr, out);
  EXPECT_STREQ(out, "");
}

TEST_F(StandInClient, BoardDocumentsLiveInTheHostModule) {
  clientabi::IHostServer* pcb = client->GetServer("pcb");
  ASSERT_NE(pcb, nullptr);
  EXPECT_STREQ(pcb->GetName(), "PCB");
  EXPECT_EQ(client->GetServer("Schematic"), nullptr);
  EXPECT_EQ(client->IsServerAvailable("PCB"), 1);
  clientabi::IHostDocument* doc = pcb->NewDocument("PCB", "/boards/new.pcb");
  ASSERT_NE(doc, nullptr);
  EXPECT_STREQ(doc->GetKind(), "PCB");
  EXPECT_EQ(doc->GetServer(), pcb);
  const uint32_t board = host.FindDocument("/boards/new.pcb");
  ASSERT_NE(board, 0u);
  EXPECT_EQ(client->FindDocumentByPath("/boards/new.pcb"), doc);
  EXPECT_EQ(client->FindDocumentByPath("/boards/other.pcb"), nullptr);
  ASSERT_NE(doc->GetView(0), nullptr);
  EXPECT_EQ(doc->GetView(0)->GetDocument(), doc);
  EXPECT_EQ(doc->GetView(1), nullptr);
  doc->Prepare();
  client->MakeDocumentCurrent(doc);
  EXPECT_EQ(Api().PcbApi_GetCurrentBoardHandle(), board);
  EXPECT_EQ(standin::CurrentDocumentPath(), "/boards/new.pcb");
  EXPECT_EQ(pcb->NewDocument("Text", "/boards/x.txt"), nullptr) << "the PCB server makes boards";
  // Without the server nothing is made.
  standin::SetServerAvailable("PCB", false);
  EXPECT_EQ(client->IsServerAvailable("PCB"), 0);
  EXPECT_EQ(client->GetServer("PCB"), nullptr);
  EXPECT_EQ(pcb->NewDocument("PCB", "/boards/more.pcb"), nullptr);
  EXPECT_EQ(client->GetMainWindow(), standin::kMainWindow);
}

TEST_F(StandInClient, ReportOpensAsTextDocumentWithCursorAtTop) {
  const std::string report = Touch("demo.rpt", "Translation report\r\n");
  EXPECT_STREQ(client->DocumentKindOfPath(report.c_str()), "Text");
  EXPECT_STREQ(client->DocumentKindOfPath("/boards/demo.PcbDoc"), "PCB");
  EXPECT_EQ(client->FindDocumentByPath(report.c_str()), nullptr);
  EXPECT_EQ(client->OpenDocument("Text", (folder / "none.rpt").string().c_str()), nullptr);
  clientabi::IHostDocument* doc = client->OpenDocument("Text", report.c_str());
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(client->FindDocumentByPath(report.c_str()), doc);
  EXPECT_STREQ(doc->GetServer()->GetName(), "TextEdit");
  // A text document made current leaves no current board.
  host.MakeCurrent(host.NewDocument("PCB", "/boards/a.pcb"));
  client->MakeDocumentCurrent(doc);
  EXPECT_EQ(Api().PcbApi_GetCurrentBoardHandle(), 0u);
  EXPECT_EQ(standin::CurrentDocumentKind(), "Text");
  EXPECT_EQ(doc->GetServer()->CreateServerProcess("PCB:Zoom", 0, 0, doc->GetView(0)), nullptr);
  clientabi::IHostProcess* process = doc->GetServer()->CreateServerProcess(
      "TextEdit:MoveCursorToTopOfDocument", 0, 0, doc->GetView(0));
  ASSERT_NE(process, nullptr);
  EXPECT_FALSE(standin::TextCursorAtTop(report));
  process->Run();
  EXPECT_TRUE(standin::TextCursorAtTop(report));
  ASSERT_FALSE(standin::ProcessLog().empty());
  EXPECT_EQ(standin::ProcessLog().back().DocumentPath, report);
}

TEST_F(StandInClient, CommonDialogThroughTheLauncher) {
  clientabi::IHostProcessLauncher* launcher = Launcher();
  ASSERT_NE(launcher, nullptr);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(client->QueryInterface(clientabi::TGuid{1, 2, 3, {}}, &other), clientabi::kNoInterface);
  EXPECT_EQ(other, nullptr);
  host.QueueCommonDialogAnswer("Result=True|Path=/boards/pick.pcb");
  char buffer[4096] = "Dialog=FileOpenSave|Mode=0|Path=";
  EXPECT_NE(launcher->RunProcess("Client:RunCommonDialog", buffer, sizeof buffer, nullptr), 0);
  EXPECT_STREQ(buffer, "Result=True|Path=/boards/pick.pcb");
  ASSERT_FALSE(host.Commands().empty());
  EXPECT_EQ(host.Commands().back().Route, "RunProcess");
  EXPECT_EQ(launcher->RunProcess("Client:Unknown", buffer, sizeof buffer, nullptr), 0);
  EXPECT_EQ(launcher->RunProcess(nullptr, buffer, sizeof buffer, nullptr), 0);
}

TEST_F(StandInClient, CreateComponentAddsALibraryComponentAndMakesItCurrent) {
  clientabi::IHostDocument* lib = client->GetServer("PCB")->NewDocument("PCBLib", "/libs/a.lia");
  ASSERT_NE(lib, nullptr);
  const uint32_t board = host.FindDocument("/libs/a.lia");
  clientabi::IHostProcessLauncher* launcher = Launcher();
  // On the view of the library document.
  char params[257] = "FootPrint=SO8";
  EXPECT_EQ(launcher->RunProcess("PCB:CreateComponent", params, sizeof params, lib->GetView(0)), 1);
  // With no view: the current document, when it is a library.
  client->MakeDocumentCurrent(lib);
  std::strcpy(params, " footprint = DIP 14 |Other=1");
  EXPECT_EQ(launcher->RunProcess("PCB:CreateComponent", params, sizeof params, nullptr), 1);
  const tarvex::Document* d = host.GetDocument(board);
  ASSERT_EQ(d->Library.size(), 2u);
  EXPECT_EQ(d->Library[0].Name, "SO8");
  EXPECT_EQ(d->Library[1].Name, "DIP 14");
  EXPECT_EQ(d->CurrentComponent, 1);
  // Objects added to the library board now go into DIP 14.
  const uint32_t track = Api().PcbApi_CreateObject(tarvex::kTrack);
  EXPECT_EQ(Api().PcbApi_AddObjectToContainer(board, track), 0);
  EXPECT_EQ(d->Library[1].Objects, (std::vector<uint32_t>{track}));
  // No footprint, or no library to add to: nothing is made.
  std::strcpy(params, "Pattern=X");
  EXPECT_EQ(launcher->RunProcess("PCB:CreateComponent", params, sizeof params, nullptr), 0);
  clientabi::IHostDocument* pcb = client->GetServer("PCB")->NewDocument("PCB", "/boards/b.pcb");
  client->MakeDocumentCurrent(pcb);
  std::strcpy(params, "FootPrint=QFP");
  EXPECT_EQ(launcher->RunProcess("PCB:CreateComponent", params, sizeof params, pcb->GetView(0)), 0);
  EXPECT_EQ(d->Library.size(), 2u);
}

TEST_F(StandInClient, HooksReachThePlatformLayer) {
  EXPECT_FALSE(platform::EscapeKeyDown()) << "never down unless the host says so";
  standin::SetEscapeDown(true);
  EXPECT_TRUE(platform::EscapeKeyDown());
  // Message boxes: the safe answer, unless answers were given.
  EXPECT_EQ(platform::ShowMessageBox("Confirm Abort Process", "Confirm", platform::mbYesNo),
            platform::idNo);
  EXPECT_EQ(platform::ShowMessageBox("Done", "Info", platform::mbOK), platform::idOK);
  standin::QueueMessageBoxAnswer(platform::idYes);
  EXPECT_EQ(platform::ShowMessageBox("Confirm Abort", "Confirm", platform::mbYesNo),
            platform::idYes);
  standin::SetStandingMessageBoxAnswer(platform::idCancel);
  EXPECT_EQ(platform::ShowMessageBox("Again", "Confirm", platform::mbYesNoCancel),
            platform::idCancel);
  ASSERT_EQ(standin::MessageBoxes().size(), 4u);
  EXPECT_EQ(standin::MessageBoxes()[0].Text, "Confirm Abort Process");
  EXPECT_EQ(standin::MessageBoxes()[0].Kind, uint32_t{platform::mbYesNo});
  // The message queue, delivered in order.
  standin::QueueMessage(PlatformMessage{5, 0x100, 27, 0});
  standin::QueueMessage(PlatformMessage{6, 0x0F, 0, 0});
  EXPECT_EQ(platform::DeliverPendingMessages(), 2);
  EXPECT_EQ(platform::DeliverPendingMessages(), 0);
  ASSERT_EQ(standin::DeliveredMessages().size(), 2u);
  EXPECT_EQ(standin::DeliveredMessages()[0].WParam, 27u);
  EXPECT_EQ(standin::DeliveredMessages()[1].Window, 6u);
}

}  // namespace
}  // namespace hosttest

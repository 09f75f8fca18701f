// LoadVexal as a server of the host: the host module is loaded first, then
// libLoadVexal.so; the host creates the server module through the export
// ServerFactory with the stand-in client and launches the commands by name,
// as the editor does. The program exports the stand-in host client and
// hooks. What counts is what the host holds afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/client/PlatformHooks.h"
#include "host/client/StandInClient.h"
#include "host/tarvex/TarvexHost.h"
#include "hostapi/PcbApiAbi.h"
#include "hostapi/PcbTypes.h"
#include "hostapi/ShortString.h"
#include "hostclient/ServerAbi.h"
#include "platform/Platform.h"
#include "tests/support/LoadedVexal.h"

namespace {

namespace fs = std::filesystem;
using clientabi::ICommandLauncher;
using clientabi::IServerModule;
using tarvex::THandle;

constexpr uint8_t kPad = okPad;
constexpr uint8_t kTrack = okTrack;

const char kBoardRequest[] =
    "Dialog=FileOpenSave|Mode=0|Prompt=KIVO ASCII File|DocumentType=All|"
    "FileType1=KIVO PCB File (*.pcb)|FileType2=All Files (*.*)|Path=";
const char kLibraryRequest[] =
    "Dialog=FileOpenSave|Mode=0|Prompt=KIVO ASCII Lib File|DocumentType=All|"
    "FileType1=KIVO Library File (*.lia)|FileType2=All Files (*.*)|Path=";

fs::path TestFolder() {
  static const fs::path folder = loadedtest::ProgramFolder("vexal-server");
  return folder;
}

using loadedtest::LoadedVexal;

// The host module first, then the plug-in, as the editor loads them.
const LoadedVexal& Modules() {
  static const LoadedVexal loaded = loadedtest::LoadVexal(TestFolder() / "appdata");
  if (!loaded.Host || !loaded.Factory || !loaded.Import) throw std::runtime_error("modules not loaded");
  return loaded;
}

tarvex::ITarvexHost& Host() { return *Modules().Host; }

std::string WriteFile(const std::string& name, const std::string& content) {
  const fs::path path = TestFolder() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return path.string();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// The example library, copied so that its report lands in the test's folder.
std::string ExampleLibraryCopy() {
  return WriteFile("small-library.lia",
                   ReadFile(std::string(PCBIMPORT_SOURCE_DIR) + "/examples/vexal/small-library.lia"));
}

const std::string kBoard =
    "VEXAL_ASCII \"small.pcb\"\r\n"
    "(asciiHeader (asciiVersion 3 0) (fileUnits Mil))\r\n"
    "(pcbDesign \"small\"\r\n"
    "  (layerDef \"Top\" (layerNum 1) (layerType Signal))\r\n"
    "  (layerContents (layerNumRef 1) (line (pt 0 0) (pt 100 0) (width 10)))\r\n"
    ")\r\n";

int CountKind(const std::vector<THandle>& objects, uint8_t kind) {
  int n = 0;
  for (const THandle handle : objects)
    if (const tarvex::Object* object = Host().GetObject(handle); object && object->Kind == kind) ++n;
  return n;
}

int Tracks(THandle board) {
  const tarvex::Document* document = Host().GetDocument(board);
  return document ? CountKind(document->Objects, kTrack) : -1;
}

// The common-dialog requests the client saw.
std::vector<std::string> DialogRequests() {
  std::vector<std::string> requests;
  for (const standin::ProcessRecord& process : standin::ProcessLog())
    if (process.Name == "Client:RunCommonDialog") requests.push_back(process.Parameters);
  return requests;
}

class Server : public ::testing::Test {
 protected:
  void SetUp() override {
    Host().Reset();
    standin::ResetClient();
    standin::ResetHooks();
    standin::SetMessageBoxEcho(false);
    void* made = nullptr;
    Modules().Factory(&made, standin::HostClient());
    ASSERT_NE(made, nullptr);
    module = static_cast<IServerModule*>(made);
    launcher = module->GetCommandLauncher();
    ASSERT_NE(launcher, nullptr);
  }
  void TearDown() override {
    if (module) module->Release();
  }

  int32_t Launch(const std::string& command, const std::string& parameters = "",
                 clientabi::IHostView* view = nullptr) {
    return launcher->LaunchCommand(command.c_str(), parameters.c_str(), 0, view);
  }

  bool PlainImport(const std::string& path) {
    const hostapi::ShortString name(path);
    const hostapi::ShortString empty("");
    return Modules().Import(name.Bytes.data(), empty.Bytes.data()) != 0;
  }

  IServerModule* module = nullptr;
  ICommandLauncher* launcher = nullptr;
};

TEST_F(Server, TheBoardCommandImportsTheChosenFileIntoANewCurrentBoardDocument) {
  const std::string path = WriteFile("chosen.pcb", kBoard);
  Host().QueueCommonDialogAnswer("Result=True|Path=" + path);
  EXPECT_EQ(Launch("LoadKIVOPCBFile"), 1);

  EXPECT_EQ(DialogRequests(), std::vector<std::string>{kBoardRequest});
  ASSERT_EQ(Host().Documents().size(), 1u);
  const THandle board = Host().Documents()[0];
  const tarvex::Document* document = Host().GetDocument(board);
  EXPECT_EQ(document->Kind, "PCB");
  EXPECT_EQ(document->Path, path);
  EXPECT_EQ(Host().CurrentBoard(), board);
  EXPECT_EQ(standin::CurrentDocumentPath(), path);
  EXPECT_EQ(Tracks(board), 1);
  ASSERT_EQ(standin::DocumentLog().size(), 1u);
  EXPECT_EQ(standin::DocumentLog()[0].How, "new");
  EXPECT_TRUE(fs::exists(fs::path(path).replace_extension("rpt")));
  EXPECT_TRUE(standin::MessageBoxes().empty());
}

TEST_F(Server, TheLibraryCommandMakesOneLibraryComponentPerFootprintedDefinition) {
  const std::string path = ExampleLibraryCopy();
  Host().QueueCommonDialogAnswer("Result=True|Path=" + path);
  EXPECT_EQ(Launch("LoadKIVOPCBLibrary"), 1);

  EXPECT_EQ(DialogRequests(), std::vector<std::string>{kLibraryRequest});
  ASSERT_EQ(Host().Documents().size(), 1u);
  const tarvex::Document* document = Host().GetDocument(Host().Documents()[0]);
  EXPECT_EQ(document->Kind, "PCBLib");
  EXPECT_EQ(document->Path, path);

  // The test point has no footprint; "LED" is drawn from "LED_1". Pads are
  // named after the pins of the map, a pad without an entry keeps its prefix.
  struct Expected {
    const char* Name;
    std::vector<std::string> Pads;
  };
  const Expected expected[] = {{"RES", {"1", "2"}}, {"DIODE", {"A", "K"}}, {"LED", {"A", "SYSPAD2"}}};
  ASSERT_EQ(document->Library.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(document->Library[i].Name, expected[i].Name);
    std::vector<std::string> pads;
    for (const THandle handle : document->Library[i].Objects)
      if (const tarvex::Object* object = Host().GetObject(handle); object && object->Kind == kPad)
        pads.push_back(object->Name);
    EXPECT_EQ(pads, expected[i].Pads) << expected[i].Name;
  }
  const std::string report = ReadFile(fs::path(path).replace_extension("rpt").string());
  EXPECT_NE(report.find("Import Warnings : 1\r\n"
                        "Component TESTPOINT does not have PCB footprint definition and will be skipped\r\n"),
            std::string::npos)
      << report;
  // With a warning recorded, the completion dialog's default opens the
  // report in the host's text editor, which becomes the current document.
  EXPECT_EQ(standin::CurrentDocumentKind(), "Text");
  EXPECT_EQ(standin::CurrentDocumentPath(), fs::path(path).replace_extension("rpt").string());
}

// What the dialog answers decides; only "Result" spelled exactly "True"
// with an existing file goes on.
TEST_F(Server, OnlyAnExactTrueWithAnExistingFileIsAConfirmation) {
  const std::string path = WriteFile("confirm.pcb", kBoard);
  const std::string answers[] = {
      "Result=true|Path=" + path, "Result=TRUE|Path=" + path, "Result=False|Path=" + path,
      "Path=" + path,             "Result=True|Path=" + path + ".missing",
      "Result=True",
  };
  for (const std::string& answer : answers) {
    Host().Reset();
    standin::ResetClient();
    Host().QueueCommonDialogAnswer(answer);
    EXPECT_EQ(Launch("LoadKIVOPCBFile"), 1) << answer;
    EXPECT_EQ(DialogRequests().size(), 1u) << answer;
    EXPECT_TRUE(Host().Documents().empty()) << answer;
    EXPECT_TRUE(standin::DocumentLog().empty()) << answer;
  }
  EXPECT_TRUE(standin::MessageBoxes().empty());
  // Blanks around the value do not count (parameter values are trimmed).
  Host().Reset();
  standin::ResetClient();
  Host().QueueCommonDialogAnswer("Result= True |Path=" + path);
  Launch("LoadKIVOPCBFile");
  EXPECT_EQ(Host().Documents().size(), 1u);
}

// The import takes file names of at most 255 characters: a longer chosen
// path is not cut to another file's name.
TEST_F(Server, AChosenPathLongerThanTheImportTakesIsNotCutToAnotherFile) {
  const std::string folder = TestFolder().string() + "/";
  ASSERT_LT(folder.size(), 200u);
  const std::string cut = WriteFile(std::string(255 - folder.size(), 'c'), kBoard);
  ASSERT_EQ(cut.size(), 255u);
  Host().QueueCommonDialogAnswer("Result=True|Path=" + cut + ".pcb");
  Launch("LoadKIVOPCBFile");
  EXPECT_TRUE(Host().Documents().empty());

  Host().QueueCommonDialogAnswer("Result=True|Path= " + cut + " ");  // blanks do not count
  Launch("LoadKIVOPCBFile");
  ASSERT_EQ(Host().Documents().size(), 1u);
  EXPECT_EQ(Host().GetDocument(Host().Documents()[0])->Path, cut);
}

TEST_F(Server, AFileNameParameterFillsTheDialogWhichIsStillShown) {
  const std::string given = WriteFile("given.pcb", kBoard);
  const std::string chosen = WriteFile("other.pcb", kBoard);
  Host().QueueCommonDialogAnswer("Result=True|Path=" + chosen);
  Launch("LoadKIVOPCBFile", "FileName=" + given);
  EXPECT_EQ(DialogRequests(), std::vector<std::string>{kBoardRequest + given});
  ASSERT_EQ(Host().Documents().size(), 1u);
  EXPECT_EQ(Host().GetDocument(Host().Documents()[0])->Path, chosen);  // the user's choice wins

  // Cancelled: the named file is not imported.
  Host().Reset();
  standin::ResetClient();
  Launch("LoadKIVOPCBLibrary", "Mode=1| filename = " + given);
  EXPECT_EQ(DialogRequests(), std::vector<std::string>{kLibraryRequest + given});
  EXPECT_TRUE(Host().Documents().empty());
}

// A command run on a view imports into the view's document when it is of
// the command's kind, else into a new document.
TEST_F(Server, ACommandOnAViewUsesItsDocumentOnlyWhenItIsOfTheCommandsKind) {
  struct Case {
    const char* Command;
    const char* ViewKind;
    bool NewDocument;
  };
  const Case cases[] = {{"LoadKIVOPCBFile", "PCB", false},
                        {"LoadKIVOPCBFile", "PCBLib", true},
                        {"LoadKIVOPCBLibrary", "pcblib", false},
                        {"LoadKIVOPCBLibrary", "PCB", true}};
  const std::string board = WriteFile("view.pcb", kBoard);
  const std::string library = ExampleLibraryCopy();
  for (const Case& c : cases) {
    const std::string label = std::string(c.Command) + " on " + c.ViewKind;
    Host().Reset();
    standin::ResetClient();
    const bool isBoardCommand = std::string(c.Command) == "LoadKIVOPCBFile";
    const THandle viewed = Host().NewDocument(c.ViewKind, (TestFolder() / "viewed").string());
    clientabi::IHostDocument* document = standin::DocumentOfBoard(viewed);
    ASSERT_NE(document, nullptr) << label;
    Host().QueueCommonDialogAnswer("Result=True|Path=" + (isBoardCommand ? board : library));
    EXPECT_EQ(Launch(c.Command, "", document->GetView(0)), 1) << label;

    ASSERT_EQ(Host().Documents().size(), c.NewDocument ? 2u : 1u) << label;
    const THandle target = Host().Documents().back();
    // A library import ends with its report opened (it warns of the test point).
    if (isBoardCommand) {
      EXPECT_EQ(Host().CurrentBoard(), target) << label;
    }
    int newBoards = 0;
    for (const standin::DocumentRecord& record : standin::DocumentLog())
      if (record.How == "new") ++newBoards;
    EXPECT_EQ(newBoards, c.NewDocument ? 1 : 0) << label;
    const tarvex::Document* imported = Host().GetDocument(target);
    if (isBoardCommand) {
      EXPECT_EQ(Tracks(target), 1) << label;
    } else {
      EXPECT_EQ(imported->Library.size(), 3u) << label;
    }
    if (c.NewDocument) {  // the viewed document is left alone
      const tarvex::Document* untouched = Host().GetDocument(viewed);
      EXPECT_TRUE(untouched->Objects.empty()) << label;
      EXPECT_TRUE(untouched->Library.empty()) << label;
    }
  }
}

TEST_F(Server, AfterACommandThePlainImportGoesToTheCurrentBoard) {
  const std::string path = WriteFile("first.pcb", kBoard);
  Host().QueueCommonDialogAnswer("Result=True|Path=" + path);
  Launch("LoadKIVOPCBFile");
  ASSERT_EQ(Host().Documents().size(), 1u);
  const THandle commandBoard = Host().Documents()[0];

  const THandle current = Host().NewDocument("PCB", (TestFolder() / "current.pcb").string());
  ASSERT_TRUE(Host().MakeCurrent(current));
  EXPECT_TRUE(PlainImport(path));
  EXPECT_EQ(Tracks(current), 1);
  EXPECT_EQ(Tracks(commandBoard), 1);  // nothing more went there

  // The same after a command that stopped at its dialog.
  Launch("LoadKIVOPCBFile");
  const THandle later = Host().NewDocument("PCB", (TestFolder() / "later.pcb").string());
  ASSERT_TRUE(Host().MakeCurrent(later));
  EXPECT_TRUE(PlainImport(path));
  EXPECT_EQ(Tracks(later), 1);
  EXPECT_EQ(Tracks(current), 1);
}

TEST_F(Server, WithoutANewDocumentTheCommandShowsItsErrorAndImportsNothing) {
  struct Case {
    const char* Command;
    const char* Text;
  };
  const Case cases[] = {
      {"LoadKIVOPCBFile", "Could not create new board.\rShutdown server and try again."},
      {"LoadKIVOPCBLibrary", "Could not create new library.\rShutdown server and try again."}};
  const std::string path = ExampleLibraryCopy();  // any existing file
  for (const Case& c : cases) {
    Host().Reset();
    standin::ResetClient();
    standin::ResetHooks();
    standin::SetMessageBoxEcho(false);
    standin::SetNewDocumentsRefused(true);
    const std::string report = fs::path(path).replace_extension("rpt").string();
    fs::remove(report);
    Host().QueueCommonDialogAnswer("Result=True|Path=" + path);
    EXPECT_EQ(Launch(c.Command), 1);
    EXPECT_TRUE(Host().Documents().empty()) << c.Command;
    ASSERT_EQ(standin::MessageBoxes().size(), 1u) << c.Command;
    const standin::MessageBoxRecord& box = standin::MessageBoxes()[0];
    EXPECT_EQ(box.Text, c.Text);
    EXPECT_EQ(box.Caption, "Veltrix Error");
    EXPECT_EQ(box.Kind, platform::mbOK | platform::mbIconError);
    EXPECT_FALSE(fs::exists(report)) << c.Command;  // the import never ran
  }
}

TEST_F(Server, WithoutThePcbServerTheCommandDoesNothingAtAll) {
  standin::SetServerAvailable("PCB", false);
  const std::string path = WriteFile("unserved.pcb", kBoard);
  Host().QueueCommonDialogAnswer("Result=True|Path=" + path);
  EXPECT_EQ(Launch("LoadKIVOPCBFile"), 1);
  EXPECT_TRUE(standin::ProcessLog().empty());  // not even the dialog
  EXPECT_TRUE(Host().Documents().empty());
  EXPECT_TRUE(standin::MessageBoxes().empty());
}

TEST_F(Server, CommandsAreFoundByNameInAnyCaseAndAnUnknownNameAnswersZero) {
  EXPECT_EQ(Launch("LoadKIVOPCB"), 0);
  EXPECT_EQ(Launch(""), 0);
  EXPECT_EQ(launcher->LaunchCommand(nullptr, nullptr, 0, nullptr), 0);
  EXPECT_TRUE(standin::ProcessLog().empty());
  EXPECT_EQ(Launch("loadkivopcbLIBRARY"), 1);
  EXPECT_EQ(DialogRequests(), std::vector<std::string>{kLibraryRequest});

  // No command has a state routine: the host always gets the defaults.
  for (const char* name : {"LoadKIVOPCBFile", "Unknown"}) {
    int32_t a = 7, b = 7, c = 7;
    uint8_t d = 7, e = 7;
    launcher->GetCommandState(name, "", nullptr, &a, &b, &c, &d, &e);
    EXPECT_EQ(a, -1) << name;
    EXPECT_EQ(b, 0) << name;
    EXPECT_EQ(c, -1) << name;
    EXPECT_EQ(d, 0) << name;
    EXPECT_EQ(e, 0) << name;
  }
  launcher->GetCommandState("LoadKIVOPCBFile", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

TEST_F(Server, TheModuleAnswersItsNameClientListsAndInterfaces) {
  EXPECT_STREQ(module->GetName(), "LoadKIVOPCB");
  EXPECT_EQ(module->GetClient(), standin::HostClient());
  EXPECT_EQ(module->GetOption16(), 0);
  EXPECT_EQ(module->GetModuleInstance(), reinterpret_cast<uintptr_t>(Modules().Plugin));
  EXPECT_EQ(module->CreateDocument("PCB", "/tmp/x.pcb"), nullptr);
  EXPECT_EQ(module->GetDocumentCount(), 0);
  EXPECT_EQ(module->GetDocument(0), nullptr);
  EXPECT_EQ(module->GetDocument(-1), nullptr);
  EXPECT_EQ(module->GetPanelCount(), 0);
  EXPECT_EQ(module->GetPanel(0), nullptr);
  module->DestroyDocument(nullptr);
  module->ReceiveNotification(nullptr);

  // Each interface answers its identifier; launcher and process control do
  // not count references (the module owns them).
  void* found = nullptr;
  EXPECT_EQ(module->QueryInterface(clientabi::IID_IServerModule, &found), 0);
  EXPECT_EQ(found, module);
  module->Release();  // the reference QueryInterface added
  EXPECT_EQ(module->QueryInterface(clientabi::IID_ICommandLauncher, &found), clientabi::kNoInterface);
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(launcher->QueryInterface(clientabi::IID_ICommandLauncher, &found), 0);
  EXPECT_EQ(found, launcher);
  EXPECT_EQ(launcher->AddRef(), 0u);
  EXPECT_EQ(launcher->Release(), 0u);

  clientabi::IProcessControl* control = module->GetProcessControl();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->QueryInterface(clientabi::IID_IProcessControl, &found), 0);
  EXPECT_EQ(found, control);
  EXPECT_EQ(control->GetProcessDepth(), 0);
  control->ProcessStarted(nullptr, nullptr);
  control->ProcessStarted(nullptr, nullptr);
  control->ProcessEnded(nullptr, nullptr);
  EXPECT_EQ(control->GetProcessDepth(), 1);
  control->SetProcessDepth(-5);
  control->ProcessEnded(nullptr, nullptr);
  EXPECT_EQ(control->GetProcessDepth(), -6);
}

TEST_F(Server, WhileIdleTheModuleWakesTheQueueOnlyWhenAMessageWaits) {
  module->ProcessIdle();
  EXPECT_EQ(standin::QueuedMessages(), 0u);

  standin::QueueMessage(PlatformMessage{5, 0x0100, 1, 2});
  module->ProcessIdle();
  EXPECT_EQ(standin::QueuedMessages(), 2u);  // the waiting one stays
  EXPECT_EQ(platform::DeliverPendingMessages(), 2);
  ASSERT_EQ(standin::DeliveredMessages().size(), 2u);
  EXPECT_EQ(standin::DeliveredMessages()[0].Message, 0x0100u);
  EXPECT_EQ(standin::DeliveredMessages()[1].Message, clientabi::kMessageUser);
  EXPECT_EQ(standin::DeliveredMessages()[1].Window, 0u);
  EXPECT_EQ(standin::DeliveredMessages()[1].WParam, 0u);
  EXPECT_EQ(standin::DeliveredMessages()[1].LParam, 0);
}

// The host owns the module through reference counting; the last Release
// frees it (the sanitizer build sees a leak or a double free).
TEST(ServerFactory, WithoutAPlaceForTheModuleNothingIsMadeAndWithoutAClientNothingIsReached) {
  Modules().Factory(nullptr, standin::HostClient());
  void* made = reinterpret_cast<void*>(1);
  Modules().Factory(&made, standin::HostClient());
  ASSERT_NE(made, nullptr);
  auto* module = static_cast<IServerModule*>(made);
  EXPECT_EQ(module->AddRef(), 2u);
  EXPECT_EQ(module->Release(), 1u);
  EXPECT_EQ(module->Release(), 0u);  // freed

  // Without a client the module is made, and its commands reach nothing.
  Host().Reset();
  standin::ResetClient();
  made = nullptr;
  Modules().Factory(&made, nullptr);
  ASSERT_NE(made, nullptr);
  module = static_cast<IServerModule*>(made);
  EXPECT_EQ(module->GetClient(), nullptr);
  Host().QueueCommonDialogAnswer("Result=True|Path=" + WriteFile("clientless.pcb", kBoard));
  EXPECT_EQ(module->GetCommandLauncher()->LaunchCommand("LoadKIVOPCBFile", "", 0, nullptr), 1);
  EXPECT_TRUE(standin::ProcessLog().empty());
  EXPECT_TRUE(Host().Documents().empty());
  module->Release();
}

}  // namespace

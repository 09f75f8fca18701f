#include "tests/sarnovik/SarnovikHarness.h"

#include <algorithm>
#include <cstdio>

#include "hostapi/ShortString.h"
#include "platform/Platform.h"

namespace sarnoviktest {

namespace {

template <class T>
T Export(platform::ModuleHandle module, const char* name) {
  return reinterpret_cast<T>(platform::FindExport(module, name));
}

Plugin Load() {
  Plugin p;
  std::string error;
  // The host module first: the plug-in binds to it by name when it loads.
  platform::ModuleHandle tarvex =
      platform::LoadModule(std::string(PCBIMPORT_BIN_DIR) + "/libTarvex.so", &error);
  if (!tarvex) {
    ADD_FAILURE() << error;
    return p;
  }
  platform::ModuleHandle plugin =
      platform::LoadModule(std::string(PCBIMPORT_BIN_DIR) + "/libLoadSarnovik.so", &error);
  if (!plugin) {
    ADD_FAILURE() << error;
    return p;
  }
  p.Host = tarvex::TarvexHostOf(tarvex);
  p.GetPcbImporterDescription =
      Export<decltype(p.GetPcbImporterDescription)>(plugin, "GetPcbImporterDescription");
  p.RecognisedPCBFile = Export<decltype(p.RecognisedPCBFile)>(plugin, "RecognisedPCBFile");
  p.ImportFileIntoPcb = Export<decltype(p.ImportFileIntoPcb)>(plugin, "ImportFileIntoPcb");
  return p;
}

// ---- The person's hooks ----------------------------------------------------

int32_t PCBAPI_CALL EscapeKeyDown() {
  Person& p = ThePerson();
  ++p.EscapeChecks;
  return p.EscapeChecks == p.EscapeAtCheck ? 1 : 0;
}

int32_t PCBAPI_CALL MessageBox(const char* text, const char* caption, uint32_t kind) {
  Person& p = ThePerson();
  p.Boxes.push_back({text ? text : "", caption ? caption : "", kind});
  if (p.Answers.empty()) return platform::idNo;
  const int32_t answer = p.Answers.front();
  p.Answers.erase(p.Answers.begin());
  return answer;
}

int32_t PCBAPI_CALL PeekMessage(PlatformMessage* message) {
  Person& p = ThePerson();
  if (p.Queue.empty()) return 0;
  *message = p.Queue.front();
  p.Queue.erase(p.Queue.begin());
  return 1;
}

void PCBAPI_CALL DispatchMessage(const PlatformMessage* message) {
  ThePerson().Delivered.push_back(*message);
}

const PlatformHostHooks kHooks = {sizeof(PlatformHostHooks), EscapeKeyDown, MessageBox,
                                  PeekMessage, DispatchMessage};

}  // namespace

const Plugin& LoadedPlugin() {
  static const Plugin plugin = Load();
  EXPECT_NE(plugin.Host, nullptr);
  EXPECT_NE(plugin.GetPcbImporterDescription, nullptr);
  EXPECT_NE(plugin.RecognisedPCBFile, nullptr);
  EXPECT_NE(plugin.ImportFileIntoPcb, nullptr);
  return plugin;
}

Person& ThePerson() {
  static Person person;
  return person;
}

void SarnovikImport::SetUp() {
  ASSERT_NE(LoadedPlugin().Host, nullptr);
  ASSERT_NE(LoadedPlugin().ImportFileIntoPcb, nullptr);
  Host().Reset();
  ThePerson() = Person{};
}

void SarnovikImport::TearDown() {
  for (const auto& f : files_) std::remove(f.c_str());
}

std::string SarnovikImport::WriteFile(const std::string& name, const std::string& content) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string base = std::string(info->test_suite_name()) + "_" + info->name() + "_" + name;
  std::replace(base.begin(), base.end(), '/', '_');
  const std::string path = ::testing::TempDir() + base;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr) << path;
  if (f) {
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
  files_.push_back(path);
  return path;
}

std::string SarnovikImport::DataFile(const std::string& name) {
  return std::string(PCBIMPORT_TEST_DATA) + "/sarnovik/" + name;
}

uint8_t SarnovikImport::Recognise(const std::string& path) const {
  const hostapi::ShortString name(path);
  return LoadedPlugin().RecognisedPCBFile(name.Data());
}

uint8_t SarnovikImport::Import(const std::string& path) {
  board_ = Host().NewDocument("PCB", path);
  EXPECT_NE(board_, 0u);
  const hostapi::ShortString name(path);
  const hostapi::ShortString unused("ignored");
  return LoadedPlugin().ImportFileIntoPcb(name.Data(), unused.Data());
}

uint8_t SarnovikImport::ImportText(const std::string& content) {
  return Import(WriteFile("board.pcb", content));
}

const tarvex::Document& SarnovikImport::Doc() const {
  const tarvex::Document* doc = Host().GetDocument(board_);
  EXPECT_NE(doc, nullptr);
  static const tarvex::Document kNone;
  return doc ? *doc : kNone;
}

std::vector<const Object*> SarnovikImport::OnBoard(uint8_t kind) const {
  std::vector<const Object*> found;
  for (THandle h : Doc().Objects) {
    const Object* o = Host().GetObject(h);
    if (o && (kind == 0 || o->Kind == kind)) found.push_back(o);
  }
  return found;
}

const Object& SarnovikImport::Get(THandle handle) const {
  const Object* o = Host().GetObject(handle);
  EXPECT_NE(o, nullptr) << "no object " << handle;
  static const Object kNone;
  return o ? *o : kNone;
}

const Object* SarnovikImport::Component(const std::string& designator) const {
  for (const Object* c : OnBoard(okComponent)) {
    const Object* text = Host().GetObject(c->DesignatorText);
    if (text && text->Text == designator) return c;
  }
  return nullptr;
}

std::vector<const Object*> SarnovikImport::PrimitivesOf(const Object& component,
                                                        uint8_t kind) const {
  std::vector<const Object*> found;
  for (THandle h : component.Primitives) {
    const Object* o = Host().GetObject(h);
    if (o && o->Kind == kind) found.push_back(o);
  }
  return found;
}

const Object* SarnovikImport::NetNamed(const std::string& name) const {
  for (const Object* n : OnBoard(okNet))
    if (n->Name == name) return n;
  return nullptr;
}

std::vector<std::string> SarnovikImport::NodesOf(const Object& net) const {
  std::vector<std::string> nodes;
  for (THandle h : Host().AllObjects()) {
    const Object* o = Host().GetObject(h);
    if (!o || o->Kind != okPad || o->Net != net.Handle) continue;
    const Object* owner = Host().GetObject(o->Owner);
    const Object* designator = owner ? Host().GetObject(owner->DesignatorText) : nullptr;
    nodes.push_back((designator ? designator->Text : std::string("?")) + "-" + o->Name);
  }
  return nodes;
}

std::string SarnovikImport::PlaneNetName(int plane) const {
  return Doc().Layers[static_cast<size_t>(InternalPlane1 + plane - 1)].NetName;
}

}  // namespace sarnoviktest

PCB_EXPORT const PlatformHostHooks* PCBAPI_CALL PlatformHost_Hooks() {
  return &sarnoviktest::kHooks;
}

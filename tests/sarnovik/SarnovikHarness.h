// What the end-to-end tests of the Sarnovik importer share: the stand-in host
// module and the plug-in loaded as the editor loads them, a person at the
// keyboard (Escape key, message-box answers, queued window messages), and
// views of what the host's document holds after an import.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/tarvex/TarvexHost.h"
#include "hostapi/PcbTypes.h"
#include "platform/PlatformHostAbi.h"

namespace sarnoviktest {

using tarvex::Object;

struct Plugin {
  tarvex::ITarvexHost* Host = nullptr;
  const char*(PCBAPI_CALL* GetPcbImporterDescription)() = nullptr;
  uint8_t(PCBAPI_CALL* RecognisedPCBFile)(const uint8_t* fileName) = nullptr;
  uint8_t(PCBAPI_CALL* ImportFileIntoPcb)(const uint8_t* fileName, const uint8_t* unused) = nullptr;
};

// libTarvex.so, then libLoadSarnovik.so, from the build's module folder; once
// per process. Fails the test when a module or an export is missing.
const Plugin& LoadedPlugin();

// The person in front of the host, seen through PlatformHost_Hooks.
struct Person {
  // Escape is down at this call of the Escape-key check (counting from 1;
  // 0: never).
  int EscapeAtCheck = 0;
  int EscapeChecks = 0;
  // Answers to message boxes in turn; No when they run out.
  std::vector<int32_t> Answers;
  struct Box {
    std::string Text, Caption;
    uint32_t Kind;
  };
  std::vector<Box> Boxes;
  std::vector<PlatformMessage> Queue;
  std::vector<PlatformMessage> Delivered;
};
Person& ThePerson();

// The length of `mils` in host units.
constexpr int32_t U(int32_t mils) { return mils * 10000; }

class SarnovikImport : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  tarvex::ITarvexHost& Host() const { return *LoadedPlugin().Host; }

  // Writes a file in the test's temporary folder and answers its path.
  std::string WriteFile(const std::string& name, const std::string& content);
  // A fixture file of tests/data/sarnovik.
  static std::string DataFile(const std::string& name);

  uint8_t Recognise(const std::string& path) const;
  // Opens a board document for the file (as the host does before it asks
  // the importer) and imports the file into it.
  uint8_t Import(const std::string& path);
  // Writes the text to a file and imports it.
  uint8_t ImportText(const std::string& content);

  const tarvex::Document& Doc() const;
  // The objects on the board, in the order they were added; of one kind, or
  // of every kind for 0.
  std::vector<const Object*> OnBoard(uint8_t kind = 0) const;
  const Object& Get(THandle handle) const;
  // The component on the board whose designator text is exactly this.
  const Object* Component(const std::string& designator) const;
  std::vector<const Object*> PrimitivesOf(const Object& component, uint8_t kind) const;
  const Object* NetNamed(const std::string& name) const;
  // "U1-3" for every pad connected to the net, in handle order.
  std::vector<std::string> NodesOf(const Object& net) const;
  std::string PlaneNetName(int plane) const;

  THandle board_ = 0;
  std::vector<std::string> files_;
};

}  // namespace sarnoviktest

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "hostapi/PcbApiAbi.h"
#include "hostapi/ShortString.h"
#include "platform/Platform.h"

namespace {

using Describe = const char*(PCBAPI_CALL*)();
using Recognise = uint8_t(PCBAPI_CALL*)(const uint8_t*);

struct Loaded {
  platform::ModuleHandle Plugin = nullptr;
  Describe Description = nullptr;
  Recognise Recognised = nullptr;
};

// The host module first, then the plug-in, as the editor loads them.
const Loaded& Modules() {
  static Loaded loaded = [] {
    Loaded l;
    std::string error;
    const std::string bin = PCBIMPORT_BIN_DIR;
    if (!platform::LoadModule(bin + "/libTarvex.so", &error)) ADD_FAILURE() << error;
    l.Plugin = platform::LoadModule(bin + "/libLoadVexal.so", &error);
    if (!l.Plugin) ADD_FAILURE() << error;
    l.Description = reinterpret_cast<Describe>(platform::FindExport(l.Plugin, "GetPcbImporterDescription"));
    l.Recognised = reinterpret_cast<Recognise>(platform::FindExport(l.Plugin, "RecognisedPCBFile"));
    return l;
  }();
  return loaded;
}

std::string WriteFile(const std::string& name, const std::string& content) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

bool Recognised(const std::string& path) {
  hostapi::ShortString name(path);
  return Modules().Recognised(name.Bytes.data()) != 0;
}

}  // namespace

TEST(VexalEntry, DescribesItsFiles) {
  ASSERT_NE(Modules().Description, nullptr);
  EXPECT_STREQ(Modules().Description(), "KIVO ASCII files (*.PCB)");
}

TEST(VexalEntry, RecognisesTheHeaderWordOnTheFirstLineOnly) {
  ASSERT_NE(Modules().Recognised, nullptr);
  const std::string longLine = std::string(255, 'x') + "VEXAL_ASCII\r\n";
  const std::string justFits = std::string(244, 'x') + "VEXAL_ASCII\r\n";  // ends at 255
  struct Case {
    const char* name;
    std::string content;
    bool recognised;
  } cases[] = {
      {"plain.pcb", "VEXAL_ASCII\r\n(asciiHeader)\r\n", true},
      {"lower.pcb", "  vexal_ascii\r\n", true},
      {"older.pcb", "abcJorvoPro_ASCIIdef\n", true},
      {"second-line.pcb", "\r\nVEXAL_ASCII\r\n", false},
      {"long-line.pcb", longLine, false},
      {"just-fits.pcb", justFits, true},
      {"empty.pcb", "", false},
      {"eof-marker.pcb", std::string("VEXAL_") + '\x1a' + "ASCII\r\n", false},
      {"other.pcb", "PCB FILE 4\r\n", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Recognised(WriteFile(c.name, c.content)), c.recognised) << c.name;
}

TEST(VexalEntry, AMissingFileIsNotRecognised) {
  EXPECT_FALSE(Recognised(::testing::TempDir() + "no-such-file.pcb"));
}

TEST(VexalEntry, ANameOf255CharactersPassesIntact) {
  // A folder path padded so that the whole name is exactly 255 characters.
  std::string dir = ::testing::TempDir() + "n";
  const std::string leaf = "/f.pcb";
  dir += std::string(255 - dir.size() - leaf.size(), 'n');
  ASSERT_TRUE(platform::MakeFolder(dir));
  const std::string path = dir + leaf;
  ASSERT_EQ(path.size(), 255u);
  std::ofstream(path, std::ios::binary) << "VEXAL_ASCII\r\n";
  EXPECT_TRUE(Recognised(path));
}

// Files the format does not define: each gets a fixed answer, never a crash,
// a hang or a write past a field.
#include <gtest/gtest.h>

#include <string>

#include "hostapi/PcbTypes.h"
#include "hostapi/ShortString.h"
#include "tests/sarnovik/SarnovikHarness.h"

namespace sarnoviktest {
namespace {

const std::string kComponentHead = "COMP\nU1\nDIP8\nNE555\n0 0 40 0 1 7\n0 0 40 0 1 7\n";

struct BadCase {
  const char* what;
  std::string body;  // after the header line
  uint8_t result;
  size_t tracks, pads, texts, components, nets;
};

TEST_F(SarnovikImport, MalformedRecords) {
  const BadCase cases[] = {
      // A number that is not a valid integer ends the import with 0; the
      // record that holds it is not added, those before it stay.
      {"bad number", "FT\n10 20 x 40 5 1\n", 0, 0, 0, 0, 0, 0},
      {"bad number after good records",
       "FT\n1 2 3 4 5 1\nFT\n1 2 3q 4 5 1\nFT\n1 2 3 4 5 1\n", 0, 1, 0, 0, 0, 0},
      {"fraction in an integer field", "FV\n0 0 50.5 28\n", 0, 0, 0, 0, 0, 0},
      {"integer beyond 32 bits", "FT\n0 0 0 0 10 99999999999\n", 0, 0, 0, 0, 0, 0},
      {"coordinate beyond the host's range", "FT\n300000 0 0 0 10 1\n", 0, 0, 0, 0, 0, 0},
      {"orientation beyond 32 bits", "FS\n0 0 60 1e300 1 7\nT\n", 0, 0, 0, 0, 0, 0},
      {"orientation not a number", "FS\n0 0 60 nan 1 7\nT\n", 0, 0, 0, 0, 0, 0},
      // The end of the file inside a record: the record is not added, 0.
      {"numbers cut off", "FT\n1 2 3 4 5 1\nFT\n1 2 3", 0, 1, 0, 0, 0, 0},
      {"pad name line missing", "FP\n0 0 60 60 1 30 1 13\n", 0, 0, 0, 0, 0, 0},
      {"string text line missing", "FS\n0 0 60 0 1 7\n", 0, 0, 0, 0, 0, 0},
      {"component cut in its head", "COMP\nU1\nDIP8\n", 0, 0, 0, 0, 0, 0},
      // A component without "ENDCOMP" takes every sub-record to the end.
      {"component without ENDCOMP",
       kComponentHead + "0 0 1 1\nCT\n0 0 1 1 10 7\nCP\n0 0 60 60 1 30 1 13\n1", 1, 0, 0, 0, 1, 0},
      // A sub-record that cannot be read drops the whole component.
      {"bad number in a sub-record",
       kComponentHead + "0 0 1 1\nCT\n0 0 x 1 10 7\nENDCOMP\nFT\n0 0 1 1 10 1\n", 0, 0, 0, 0, 0, 0},
      {"bad position line", kComponentHead + "0 0 1 z\nENDCOMP\n", 0, 0, 0, 0, 0, 0},
      {"bad fifth number", kComponentHead + "0 0 1 1 q\nENDCOMP\n", 0, 0, 0, 0, 0, 0},
      // A node list or block without its closing line runs to the end.
      {"node list without )", "NETDEF\nN\n(\nU1-1\nU1-2\n", 1, 0, 0, 0, 0, 1},
      {"block without }", "NETDEF\nN\n(\n)\n{\nFT\n0 0 1 1 10 1\n", 1, 0, 0, 0, 0, 1},
      // Lines that are not keywords are skipped, whatever they hold.
      {"keyword with trailing blanks", "FT" + std::string(300, ' ') + "\n0 0 1 1 10 1\n", 1, 0, 0,
       0, 0, 0},
      {"binary lines", std::string("\x01\x02\x00\xff\xfe\n", 6) + std::string(100000, 'z') +
                           "\nFT\n0 0 1 1 10 1\n",
       1, 1, 0, 0, 0, 0},
      {"Ctrl-Z ends the text", "FT\n0 0 1 1 10 1\n\x1a" "FT\n0 0 2 2 10 1\n", 1, 1, 0, 0, 0, 0},
      {"unknown layer", "FT\n0 0 1 1 10 99\n", 1, 1, 0, 0, 0, 0},
  };
  int i = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Host().Reset();
    const std::string path = WriteFile("bad" + std::to_string(i++) + ".pcb", "PCB FILE 4\n" + c.body);
    EXPECT_EQ(Import(path), c.result);
    EXPECT_EQ(OnBoard(okTrack).size(), c.tracks);
    EXPECT_EQ(OnBoard(okPad).size(), c.pads);
    EXPECT_EQ(OnBoard(okText).size(), c.texts);
    EXPECT_EQ(OnBoard(okComponent).size(), c.components);
    EXPECT_EQ(OnBoard(okNet).size(), c.nets);
    // The progress display always ends, and no iterator is left behind.
    ASSERT_FALSE(Host().Progress().empty());
    EXPECT_TRUE(Host().Progress().back().Finished);
    EXPECT_EQ(Host().LiveIterators(), 0);
  }
  // A failed import leaves nothing behind for the next one.
  Host().Reset();
  EXPECT_EQ(Import(DataFile("records.pcb")), 1);
  EXPECT_EQ(OnBoard().size(), 6u);
}

TEST_F(SarnovikImport, LongFieldsAreCutToTheirLimits) {
  const std::string long300(300, 'N');
  ASSERT_EQ(ImportText("PCB FILE 4\nFP\n0 0 60 60 1 30 1 13\n" + long300 + "\nFS\n0 0 60 0 1 7\n" +
                       long300 + "\nCOMP\n" + long300 + "\n" + long300 + "\n" + long300 +
                       "\n0 0 40 0 1 7\n0 0 40 0 1 7\n0 0 1 1\nENDCOMP\nNETDEF\n" + long300 +
                       "\n(\n)\n"),
            1);
  ASSERT_EQ(OnBoard(okPad).size(), 1u);
  EXPECT_EQ(OnBoard(okPad)[0]->Name, std::string(20, 'N'));
  ASSERT_EQ(OnBoard(okText).size(), 1u);
  EXPECT_EQ(OnBoard(okText)[0]->Text, std::string(254, 'N'));
  ASSERT_EQ(OnBoard(okComponent).size(), 1u);
  const Object& c = *OnBoard(okComponent)[0];
  EXPECT_EQ(c.Pattern, std::string(250, 'N'));
  EXPECT_EQ(Get(c.DesignatorText).Text, std::string(254, 'N'));
  EXPECT_EQ(Get(c.CommentText).Text, std::string(254, 'N'));
  ASSERT_EQ(OnBoard(okNet).size(), 1u);
  EXPECT_EQ(OnBoard(okNet)[0]->Name, std::string(255, 'N'));
}

TEST_F(SarnovikImport, WithoutABoardForTheFileObjectsReachNoBoard) {
  const std::string path = WriteFile("orphan.pcb", "PCB FILE 4\nFT\n0 0 1 1 10 1\n");
  const hostapi::ShortString name(path);
  EXPECT_EQ(LoadedPlugin().ImportFileIntoPcb(name.Data(), name.Data()), 1);
  int tracks = 0;
  for (THandle h : Host().AllObjects()) {
    const Object* o = Host().GetObject(h);
    if (o && o->Kind == okTrack) {
      ++tracks;
      EXPECT_EQ(o->Owner, 0u);
      EXPECT_EQ(o->Width, U(10));
    }
  }
  EXPECT_EQ(tracks, 1);
}

}  // namespace
}  // namespace sarnoviktest

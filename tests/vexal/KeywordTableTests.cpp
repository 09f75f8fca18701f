// The keyword table: counts, the registrations that meet a text twice,
// case-insensitive lookup and the enclosing-group lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "vexal/reader/VexalParser.h"

namespace {

// A parser on no file: the keyword table does not need one.
TVexalParser& Table() {
  static const std::unique_ptr<TVexalParser> parser = [] {
    auto p = std::make_unique<TVexalParser>("");
    p->BuildKeywordTable();
    return p;
  }();
  return *parser;
}

std::vector<int32_t> Groups(const TKeywordEntry& entry) {
  std::vector<int32_t> groups;
  for (int32_t id : entry.EnclosingGroups) {
    if (id == 0) break;
    groups.push_back(id);
  }
  return groups;
}

TEST(KeywordTable, HoldsEveryTextOnceAndEveryIdButOne) {
  TVexalParser& table = Table();
  EXPECT_EQ(table.KeywordCount(), kKeywordTexts);
  const std::vector<std::string> texts = table.KeywordTexts();
  ASSERT_EQ(texts.size(), 556u);
  std::multiset<int32_t> ids;
  for (const std::string& text : texts) ids.insert(table.LookupKeyword(text));
  EXPECT_EQ(ids.count(1), 2u);    // "VEXAL_ASCII" and "JorvoPRO_ASCII"
  EXPECT_EQ(ids.count(226), 0u);  // only ever registered as a second "isVisibleGrid"
  for (int32_t id = 2; id <= 556; ++id) {
    if (id == 226) continue;
    EXPECT_EQ(ids.count(id), 1u) << id;
  }
  EXPECT_EQ(ids.count(tkWord), 0u);
}

TEST(KeywordTable, EveryTextIsFoundInAnyCase) {
  TVexalParser& table = Table();
  std::set<std::string> all;
  for (std::string text : table.KeywordTexts()) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    all.insert(text);
  }
  for (const std::string& text : table.KeywordTexts()) {
    std::string upper = text, lower = text;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const int32_t id = table.LookupKeyword(text);
    EXPECT_GT(id, 0) << text;
    EXPECT_EQ(table.LookupKeyword(upper), id) << text;
    EXPECT_EQ(table.LookupKeyword(lower), id) << text;
    // One character more or less is another word (unless that is a keyword too).
    for (const std::string& near : {text + "x", text.substr(0, text.size() - 1)}) {
      std::string nearUpper = near;
      for (char& c : nearUpper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (all.count(nearUpper)) continue;
      EXPECT_EQ(table.LookupKeyword(near), tkWord) << near;
    }
  }
}

TEST(KeywordTable, Ids) {
  TVexalParser& table = Table();
  const std::pair<const char*, int32_t> cases[] = {
      {"vexal_ascii", 1}, {"VEXAL_ASCII", 1}, {"jorvopro_ascii", 1}, {"allComponents", 2},
      {"chordHeight", 35}, {"isCopperTie", 210}, {"isVisibleGrid", 225}, {"ISVISIBLEGRID", 225},
      {"itemMnemonic", 227}, {"layerNum", 239}, {"pcbDesign", 356}, {"pinDes", 366}, {"pinName", 371},
      {"planeObj", 486}, {"sides", 467}, {"zones", 556}, {"", tkWord}, {"isVisibleGri", tkWord},
      {"pcb Design", tkWord}, {"VEXAL-ASCII", tkWord}};
  for (const auto& [text, id] : cases) EXPECT_EQ(table.LookupKeyword(text), id) << text;
}

TEST(KeywordTable, FirstRegistrationWins) {
  TVexalParser& table = Table();
  // The first "isVisibleGrid" stands inside "gridState" (184); the second,
  // with id 226 inside "net", was ignored.
  const TKeywordEntry* entry = table.FindKeyword("isvisiblegrid");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->Id, 225);
  EXPECT_EQ(Groups(*entry), std::vector<int32_t>{184});
  // A later addition of a present text, in another case, changes nothing.
  auto other = std::make_unique<TKeywordEntry>();
  other->Id = 999;
  table.AddKeyword("PCBDESIGN", std::move(other));
  EXPECT_EQ(table.LookupKeyword("pcbDesign"), 356);
  EXPECT_EQ(table.KeywordCount(), 556u);
}

TEST(KeywordTable, EnclosingGroups) {
  TVexalParser& table = Table();
  const std::pair<const char*, std::vector<int32_t>> cases[] = {
      {"VEXAL_ASCII", {}},
      {"planeObj", {}},
      {"asciiHeader", {1}},
      {"layerNum", {235}},                                // layerDef
      {"pinDes", {49}},                                   // compPin
      {"pcbDrawObj", {234, 259}},                         // layerContents, multiLayer
      {"layerAttrs", {36, 263, 264}},                     // classToClass, net, netClass
      {"pt", {33, 92, 108, 325, 381, 390, 392, 398, 534}},
      {"isFlipped", {13, 21, 92, 145, 179, 195, 250, 324, 340, 362, 365, 381, 490, 508, 536}},
  };
  for (const auto& [text, groups] : cases) {
    const TKeywordEntry* entry = table.FindKeyword(text);
    ASSERT_NE(entry, nullptr) << text;
    EXPECT_EQ(Groups(*entry), groups) << text;
  }
  // Every keyword of the main groups lists its group: "pcbDrawObj" encloses
  // each drawing object.
  for (const char* drawing : {"arc", "line", "pad", "via", "text", "poly", "copperPour95", "room"}) {
    const std::vector<int32_t> groups = Groups(*table.FindKeyword(drawing));
    EXPECT_NE(std::find(groups.begin(), groups.end(), 359), groups.end()) << drawing;
  }
}

}  // namespace

// The Vexal tokenizer: tokens, escapes, line ends, numbers, progress steps,
// the Escape key and bad input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hostapi/HostPcbApi.h"
#include "platform/Platform.h"
#include "platform/PlatformHostAbi.h"
#include "tests/vexal/ProgressRecorder.h"
#include "vexal/reader/VexalParser.h"

// ---- The person at the keyboard --------------------------------------------

namespace {
bool gEscapeDown = false;
int32_t gAnswer = platform::idNo;
struct BoxCall {
  std::string Text, Caption;
  uint32_t Kind;
};
std::vector<BoxCall> gBoxes;

int32_t PCBAPI_CALL EscapeHook() { return gEscapeDown ? 1 : 0; }
int32_t PCBAPI_CALL BoxHook(const char* text, const char* caption, uint32_t kind) {
  gBoxes.push_back({text, caption, kind});
  return gAnswer;
}
const PlatformHostHooks kHooks = {sizeof(PlatformHostHooks), EscapeHook, BoxHook, nullptr, nullptr};
}  // namespace

PCB_EXPORT const PlatformHostHooks* PCBAPI_CALL PlatformHost_Hooks() { return &kHooks; }

namespace {

namespace fs = std::filesystem;

// A folder of this test process's own for its files.
fs::path TestFolder() {
  static const fs::path folder = [] {
    fs::path p = fs::path(::testing::TempDir()) / ("vexal-tokenizer-" + std::to_string(getpid()));
    fs::create_directories(p);
    return p;
  }();
  return folder;
}

std::string WriteFile(const std::string& content, const std::string& name = "input.txt") {
  const fs::path path = TestFolder() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return path.string();
}

// Loads the recording host module once and binds the host API to it.
ProgressRecord* Recorder() {
  static ProgressRecord* record = [] {
    std::string error;
    platform::ModuleHandle module = platform::LoadModule(PROGRESS_RECORDER_PATH, &error);
    EXPECT_NE(module, nullptr) << error;
    hostapi::BindHostPcbApi();
    auto state = reinterpret_cast<ProgressRecord*(PCBAPI_CALL*)()>(
        platform::FindExport(module, "ProgressRecorder_State"));
    EXPECT_NE(state, nullptr);
    return state ? state() : nullptr;
  }();
  *record = ProgressRecord{};
  return record;
}

// One token as text: "(" ")" "s:<text>" for a quoted string, "w:<text>" for
// a word that is no keyword, "k<id>:<text>" for a keyword.
std::string Describe(TVexalParser& parser, int32_t token) {
  switch (token) {
    case tkOpenBracket: return "(";
    case tkCloseBracket: return ")";
    case tkQuotedString: return "s:" + parser.TokenText();
    case tkWord: return "w:" + parser.TokenText();
    default: return "k" + std::to_string(token) + ":" + parser.TokenText();
  }
}

// Every token up to the end of the file.
std::vector<std::string> AllTokens(TVexalParser& parser) {
  std::vector<std::string> tokens;
  for (int guard = 0; guard < 100000 && !parser.EndOfFile(); ++guard)
    tokens.push_back(Describe(parser, parser.NextToken()));
  EXPECT_TRUE(parser.EndOfFile());
  return tokens;
}

std::vector<std::string> TokensOf(const std::string& content) {
  TVexalParser parser(WriteFile(content));
  parser.BuildKeywordTable();
  return AllTokens(parser);
}

using Tokens = std::vector<std::string>;

struct TokenCase {
  const char* Name;
  std::string Input;
  Tokens Expected;
};

void PrintTo(const TokenCase& tokenCase, std::ostream* out) { *out << tokenCase.Name; }

class TokenTable : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenTable, YieldsTheTokens) {
  EXPECT_EQ(TokensOf(GetParam().Input), GetParam().Expected);
}

const std::string k300 = std::string(300, 'q');
const std::string k255 = std::string(255, 'q');

INSTANTIATE_TEST_SUITE_P(
    Tokenizer, TokenTable,
    ::testing::Values(
        TokenCase{"GroupWithKeywordAndNumber", "(layerNum 1)\r\n", {"(", "k239:layerNum", "w:1", ")", "w:"}},
        TokenCase{"KeywordsInAnyCase",
                  "PCBDESIGN pcbdesign pcbDesign vexal_ascii JorvoPro_Ascii isvisiblegrid pcbDesig pcbDesignX",
                  {"k356:PCBDESIGN", "k356:pcbdesign", "k356:pcbDesign", "k1:vexal_ascii",
                   "k1:JorvoPro_Ascii", "k225:isvisiblegrid", "w:pcbDesig", "w:pcbDesignX"}},
        TokenCase{"NestedBracketsNeedNoSpaces", "((a)(b c))",
                  {"(", "(", "w:a", ")", "(", "w:b", "w:c", ")", ")"}},
        TokenCase{"EscapedQuoteKeepsTheString", "(x \"say \\\"hi\\\" now\")",
                  {"(", "w:x", "s:say \"hi\" now", ")"}},
        TokenCase{"Escapes", "\"a\\tb\\nc\\rd\\fe\\qg\" ", {"s:a\vb\nc\rd\feg", "w:"}},
        TokenCase{"EscapedBackslashStillOpensAnEscape", "\"a\\\\n\" ", {"s:a\\\n", "w:"}},
        TokenCase{"EmptyString", "(\"\")", {"(", "s:", ")"}},
        TokenCase{"LongWordIsCutAndPassedWhole", "(" + k300 + " next )",
                  {"(", "w:" + k255, "w:next", ")"}},
        TokenCase{"LongStringIsCut", "(\"" + k300 + "\")", {"(", "s:" + k255, ")"}},
        TokenCase{"LoneLineFeedsGiveEmptyWords", "(net\n)\n(a)\n",
                  {"(", "k263:net", ")", "w:", "(", "w:a", ")", "w:"}},
        TokenCase{"CarriageReturnLineEndsSeparate", "(net\r\n  (a)\r\n\r\n)\r\n",
                  {"(", "k263:net", "(", "w:a", ")", ")", "w:"}},
        TokenCase{"TabIsNoSeparator", "(\tx\ty )", {"(", "w:", "w:x", "w:y", ")"}},
        TokenCase{"EndOfFileInsideAString", "(a \"abc", {"(", "w:a", "s:abc"}},
        TokenCase{"EndOfFileAfterAnEscapedQuote", "(\"ab\\\"", {"(", "s:ab\""}},
        TokenCase{"TrailingSpaces", "(a)    ", {"(", "w:a", ")", "w:"}},
        TokenCase{"WordEndingTheFileKeepsItsLastByte", "(a bc", {"(", "w:a", "w:bc"}},
        TokenCase{"BracketEndingAWordAtTheEndIsNotDeliveredAgain", "(a bc)", {"(", "w:a", "w:bc"}},
        TokenCase{"EightBitAndZeroBytesArePartOfWords", std::string("(\xE9t\xE9 a\0b )", 10),
                  {"(", "w:\xE9t\xE9", std::string("w:a\0b", 5), ")"}},
        TokenCase{"OtherPunctuationEndsWords", "(a,b;c )", {"(", "w:a", "w:b", "w:c", ")"}},
        TokenCase{"EmptyFile", "", {"w:"}},
        TokenCase{"OnlyBrackets", "(()())", {"(", "(", ")", "(", ")", ")"}}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(Tokenizer, ReadIntegerAfterAKeyword) {
  TVexalParser parser(WriteFile("(layerNum 1)\r\n"));
  parser.BuildKeywordTable();
  EXPECT_EQ(parser.NextToken(), tkOpenBracket);
  EXPECT_EQ(parser.NextToken(), 239);
  EXPECT_EQ(parser.ReadInteger(), 1);
  EXPECT_EQ(parser.NextToken(), tkCloseBracket);
}

TEST(Tokenizer, NumberReadersUseTheNumberTerminators) {
  // "+" and "," belong to a number, "#" ends it; a bracket read in place of a
  // number converts the text before it.
  TVexalParser parser(WriteFile("(1,5 -7 0x1F 12ab +3#4 2.5e2 x) 8"));
  EXPECT_EQ(parser.NextToken(), tkOpenBracket);
  EXPECT_EQ(parser.ReadInteger(), kBadInteger);  // "1,5"
  EXPECT_EQ(parser.TokenText(), "1,5");
  EXPECT_EQ(parser.ReadInteger(), -7);
  EXPECT_EQ(parser.ReadInteger(), 31);
  EXPECT_EQ(parser.ReadInteger(), kBadInteger);  // digits followed by letters
  EXPECT_EQ(parser.ReadInteger(), 3);            // "+3", the '#' is consumed
  EXPECT_EQ(parser.ReadInteger(), 4);
  EXPECT_DOUBLE_EQ(parser.ReadReal(), 250.0);
  EXPECT_DOUBLE_EQ(parser.ReadReal(), kBadReal);  // "x"
  EXPECT_EQ(parser.ReadInteger(), kBadInteger);  // ")" converts "x" again
  EXPECT_EQ(parser.ReadInteger(), 8);
}

TEST(Tokenizer, TextToInteger) {
  const std::pair<const char*, int32_t> cases[] = {
      {"1", 1}, {"-7", -7}, {"+12", 12}, {"007", 7}, {"0x1F", 31}, {"0X1f", 31}, {"x10", 16},
      {"X7fffffff", 2147483647}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
      {"2147483648", kBadInteger}, {"0x80000000", kBadInteger}, {"99999999999999999999999", kBadInteger},
      {"", kBadInteger}, {"-", kBadInteger}, {"0x", kBadInteger}, {"-0x1F", kBadInteger},
      {"12ab", kBadInteger}, {"1.0", kBadInteger}, {" 1", kBadInteger}, {"1 ", kBadInteger},
      {"0xG", kBadInteger}, {"--1", kBadInteger}};
  for (const auto& [text, value] : cases) EXPECT_EQ(TVexalParser::TextToInteger(text), value) << text;
}

TEST(Tokenizer, TextToReal) {
  const std::pair<const char*, double> cases[] = {
      {"2.5", 2.5}, {"-1e3", -1000.0}, {"+3", 3.0}, {".5", 0.5}, {"5.", 5.0}, {"1E-2", 0.01},
      {"1e+2", 100.0}, {"-0", 0.0}, {"1e-400", 0.0}, {"0.00000e999", 0.0},
      {"1e400", kBadReal}, {"2e308", kBadReal}, {"", kBadReal}, {".", kBadReal},
      {"1e", kBadReal}, {"e5", kBadReal}, {"1,5", kBadReal}, {"inf", kBadReal}, {"nan", kBadReal},
      {"0x1p3", kBadReal}, {"1.2.3", kBadReal}, {"+-1", kBadReal}, {" 1", kBadReal}};
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(TVexalParser::TextToReal(text), value) << text;
}

TEST(Tokenizer, UnescapeTable) {
  EXPECT_EQ(TVexalParser::Unescape("a\\\"b"), "a\"b");
  EXPECT_EQ(TVexalParser::Unescape("\\T\\N\\R\\F"), "\v\n\r\f");
  EXPECT_EQ(TVexalParser::Unescape("a\\xb"), "ab");
  EXPECT_EQ(TVexalParser::Unescape("ab\\"), "ab");
  // Each backslash after a backslash is the second half of an escape and
  // still opens the next one: four give three.
  EXPECT_EQ(TVexalParser::Unescape("\\\\\\\\"), "\\\\\\");
}

TEST(Tokenizer, LineNumberCountsRunsOfLineEnds) {
  TVexalParser parser(WriteFile("(a\r\n\r\n\r\n b\r\nc )"));
  EXPECT_EQ(AllTokens(parser), (Tokens{"(", "w:a", "w:b", "w:c", ")"}));
  EXPECT_EQ(parser.LineNumber(), 2);
}

TEST(Tokenizer, PeekCharSkipsSpacesAndConsumesNothing) {
  TVexalParser parser(WriteFile("a   \r\nbc"));
  EXPECT_EQ(parser.PeekChar(), 'a');
  EXPECT_EQ(parser.ReadChar(), 'a');
  EXPECT_EQ(parser.PeekChar(), 13);
  EXPECT_TRUE(parser.AtLineEnd());
  EXPECT_EQ(parser.CurrentChar(), 'a');
  EXPECT_EQ(parser.ReadChar(), ' ');
  parser.SkipLineEnd();
  EXPECT_EQ(parser.LineNumber(), 1);
  EXPECT_FALSE(parser.EndOfFile());
  EXPECT_EQ(parser.ReadChar(), 'b');
  EXPECT_EQ(parser.ReadChar(), 'c');
  EXPECT_TRUE(parser.EndOfFile());
  EXPECT_EQ(parser.PeekChar(), 0);
  EXPECT_EQ(parser.ReadChar(), 'c');  // the last byte stays
}

TEST(Tokenizer, LongRunsOfSpacesAcrossBlocks) {
  // Runs of spaces longer than the read block: the look-ahead goes past the
  // buffer and the reader still sees every byte once.
  const std::string spaces(3 * 1024 * 1024 + 17, ' ');
  TVexalParser parser(WriteFile("(a" + spaces + "\r\n" + spaces + "b" + spaces + ")"));
  EXPECT_EQ(AllTokens(parser), (Tokens{"(", "w:a", "w:b", ")"}));
  EXPECT_EQ(parser.LineNumber(), 1);
}

TEST(Tokenizer, WordsAndStepBacksAcrossBlocks) {
  // Tokens that straddle block boundaries, with brackets stepped back over.
  std::string content;
  std::vector<std::string> expected;
  for (int i = 0; content.size() < 3 * 1024 * 1024; ++i) {
    const std::string word = "w" + std::to_string(i);
    content += "(" + word + ")\r\n\"s" + std::to_string(i) + "\" ";
    expected.insert(expected.end(), {"(", "w:" + word, ")", "s:s" + std::to_string(i)});
  }
  content += "(end)";
  expected.insert(expected.end(), {"(", "w:end"});
  TVexalParser parser(WriteFile(content));
  std::vector<std::string> tokens;
  while (!parser.EndOfFile()) tokens.push_back(Describe(parser, parser.NextToken()));
  EXPECT_EQ(tokens, expected);
}

TEST(Tokenizer, DeepNestingIsJustBrackets) {
  const int depth = 20000;
  TVexalParser parser(WriteFile(std::string(depth, '(') + "x" + std::string(depth, ')')));
  int open = 0, close = 0, other = 0;
  while (!parser.EndOfFile()) {
    const int32_t token = parser.NextToken();
    (token == tkOpenBracket ? open : token == tkCloseBracket ? close : other) += 1;
  }
  EXPECT_EQ(open, depth);
  EXPECT_EQ(close, depth);
  EXPECT_EQ(other, 1);
}

TEST(Tokenizer, ReadNetClassName) {
  TVexalParser parser(WriteFile(
      "(netClassNameRef \"Power \\\"A\\\"\")(netClassNameRef Bare)(netClassNameRef)(netClassNameRef \r\n \"X\")"));
  parser.BuildKeywordTable();
  const std::vector<std::string> expectedNames = {"Power \"A\"", "Bare", "", "X"};
  for (const std::string& name : expectedNames) {
    EXPECT_EQ(parser.NextToken(), tkOpenBracket);
    EXPECT_EQ(parser.NextToken(), 266);
    EXPECT_EQ(parser.ReadNetClassName(), name);
    // The group's close bracket is left for the caller.
    EXPECT_EQ(parser.NextToken(), tkCloseBracket);
  }
}

// ---- Progress display ------------------------------------------------------

TEST(Progress, TitleTotalAndOneStepPerCharacterTaken) {
  ProgressRecord* record = Recorder();
  ASSERT_NE(record, nullptr);
  // "ab)": 'a', 'b', then ')' ends the word and the file and is stepped back
  // over. Taking it again is a fourth step for three bytes; from the end of
  // the file on, every step also finishes.
  const std::string path = WriteFile("ab)", "steps.txt");
  {
    TVexalParser parser(path);
    EXPECT_EQ(record->Inits, 1);
    EXPECT_EQ(std::string(record->Title, record->TitleLength), "Loading KIVO file " + path);
    EXPECT_EQ(record->Total, 3);
    EXPECT_EQ(parser.NextToken(), tkWord);
    EXPECT_EQ(parser.TokenText(), "ab");
    EXPECT_EQ(record->Updates, 3);
    EXPECT_EQ(record->Finishes, 1);
    EXPECT_TRUE(parser.EndOfFile());
    EXPECT_EQ(parser.ReadChar(), ')');
    EXPECT_EQ(record->Updates, 4);
    EXPECT_EQ(record->Finishes, 2);
  }
  *record = ProgressRecord{};
  {
    // Spaces that PeekChar looked at count once, when ReadChar takes them.
    TVexalParser parser(WriteFile("a   b", "peeks.txt"));
    EXPECT_EQ(AllTokens(parser), (Tokens{"w:a", "w:b"}));
    EXPECT_EQ(record->Updates, 5);
    EXPECT_EQ(record->Finishes, 1);
  }
  *record = ProgressRecord{};
  {
    // The byte after a run of line ends is stepped back over and counted again.
    TVexalParser parser(WriteFile("a\r\n\r\nbc", "lines.txt"));
    EXPECT_EQ(AllTokens(parser), (Tokens{"w:a", "w:bc"}));
    EXPECT_EQ(record->Updates, 8);
  }
}

TEST(Progress, TitleIsCutTo255Characters) {
  ProgressRecord* record = Recorder();
  ASSERT_NE(record, nullptr);
  const std::string path = WriteFile("(a)", std::string(240, 'n') + ".pcb");
  TVexalParser parser(path);
  ASSERT_EQ(record->TitleLength, 255u);
  EXPECT_EQ(std::string(record->Title, 255), ("Loading KIVO file " + path).substr(0, 255));
}

TEST(Progress, WithoutTheHostModuleTheReaderStillReads) {
  // No host module bound: the progress routines answer nothing and do nothing.
  hostapi::BindHostPcbApi();  // nothing named like the host's module is loaded here
  TVexalParser parser(WriteFile("(layerNum 1 )"));
  parser.BuildKeywordTable();
  EXPECT_EQ(AllTokens(parser), (Tokens{"(", "k239:layerNum", "w:1", ")"}));
}

// ---- Escape key ----------------------------------------------------------------

TEST(Escape, YesAbortsAndIsAskedOnce) {
  gBoxes.clear();
  gEscapeDown = true;
  gAnswer = platform::idYes;
  TVexalParser parser(WriteFile("(a b c )"));
  EXPECT_FALSE(parser.Aborted());
  EXPECT_EQ(parser.NextToken(), tkOpenBracket);
  EXPECT_TRUE(parser.Aborted());
  ASSERT_EQ(gBoxes.size(), 1u);
  EXPECT_EQ(gBoxes[0].Text, "Confirm Abort");
  EXPECT_EQ(gBoxes[0].Kind, platform::mbYesNo | platform::mbIconQuestion);
  // The reader goes on if asked (the parse loops stop on Aborted); the
  // question is not repeated while the key stays down.
  EXPECT_EQ(AllTokens(parser), (Tokens{"w:a", "w:b", "w:c", ")"}));
  EXPECT_EQ(gBoxes.size(), 1u);
  gEscapeDown = false;
}

TEST(Escape, NoContinuesAndIsAskedAtEveryCharacterWhileTheKeyIsDown) {
  gBoxes.clear();
  gEscapeDown = true;
  gAnswer = platform::idNo;
  TVexalParser parser(WriteFile("(a b )"));
  EXPECT_EQ(AllTokens(parser), (Tokens{"(", "w:a", "w:b", ")"}));
  EXPECT_FALSE(parser.Aborted());
  EXPECT_EQ(gBoxes.size(), 6u);  // one per byte taken
  gEscapeDown = false;
  gBoxes.clear();
  TVexalParser quiet(WriteFile("(a b )"));
  AllTokens(quiet);
  EXPECT_TRUE(gBoxes.empty());
}

// ---- Files that cannot be read ---------------------------------------------

TEST(BadFiles, AFileThatCannotBeOpenedIsAtItsEndAtOnce) {
  ProgressRecord* record = Recorder();
  ASSERT_NE(record, nullptr);
  for (const std::string& path : {(TestFolder() / "missing.pcb").string(), TestFolder().string()}) {
    TVexalParser parser(path);
    parser.BuildKeywordTable();
    EXPECT_FALSE(parser.FileOpened()) << path;
    EXPECT_TRUE(parser.EndOfFile());
    EXPECT_EQ(parser.NextToken(), tkWord);
    EXPECT_EQ(parser.TokenText(), "");
    EXPECT_EQ(parser.ReadInteger(), kBadInteger);
    EXPECT_EQ(parser.PeekChar(), 0);
  }
  EXPECT_EQ(record->Inits, 0);
  EXPECT_EQ(record->Updates, 0);
}

TEST(BadFiles, AFileCutShortWhileReadingEndsTheRead) {
  const std::string path = WriteFile(std::string(2 * 1024 * 1024, 'a') + " (b)", "shrinks.txt");
  TVexalParser parser(path);
  fs::resize_file(path, 10);
  const int32_t token = parser.NextToken();
  EXPECT_EQ(token, tkWord);
  EXPECT_EQ(parser.TokenText(), std::string(10, 'a'));
  EXPECT_TRUE(parser.EndOfFile());
}

}  // namespace

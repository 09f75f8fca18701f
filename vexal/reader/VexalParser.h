// The tokenizer of Vexal ASCII files.
//
// A Vexal ASCII file is a bracketed text: a group is "(" keyword values...
// nested groups... ")". TVexalParser turns it into tokens: open bracket,
// close bracket, quoted string and word; words that are keywords of the format
// arrive as their keyword id (see KeywordTable.h), every other word as -1.
// Numbers are words; ReadInteger and ReadReal convert their text.
//
// While it reads, the parser keeps the host's progress display moving (one
// step per character taken with ReadChar; the total is the file size) and
// polls the Escape key at every character, asking "Confirm Abort".
//
// The file is read in large blocks; the position, the look-ahead and the
// progress steps behave as if it were read one byte at a time.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "hostapi/HostPcbApi.h"
#include "platform/Platform.h"
#include "vexal/reader/KeywordTable.h"

// Token numbers.
inline constexpr int32_t tkOpenBracket = 10000;
inline constexpr int32_t tkCloseBracket = 10001;
inline constexpr int32_t tkQuotedString = 10002;
inline constexpr int32_t tkWord = -1;  // any word that is not a keyword, also an empty one

// What ReadInteger and ReadReal answer for a text that is not a number.
inline constexpr int32_t kBadInteger = -32000;
inline constexpr double kBadReal = -32000.0;

// A set of 8-bit character codes.
class TCharSet {
 public:
  constexpr bool Contains(uint8_t c) const { return Member[c]; }
  constexpr void Include(uint8_t c) { Member[c] = true; }
  constexpr void Exclude(uint8_t c) { Member[c] = false; }

 private:
  std::array<bool, 256> Member{};
};

class TVexalParser {
 public:
  // Opens the file for reading (others may read and write it meanwhile) and
  // starts the host's progress display with "Loading KIVO file " + the file
  // name (cut to 255 characters) and the file size as the total.
  //
  // A file that cannot be opened gives a parser that is at its end at once:
  // FileOpened() is false, EndOfFile() true, every token an empty word, and
  // no progress display is started.
  explicit TVexalParser(const std::string& fileName);
  ~TVexalParser();
  TVexalParser(const TVexalParser&) = delete;
  TVexalParser& operator=(const TVexalParser&) = delete;

  // ---- Keyword table -------------------------------------------------------

  // Fills the keyword table with every keyword of the format (KeywordTable.cpp).
  void BuildKeywordTable();
  // Adds a keyword with its entry; the table owns the entry. A text that is
  // already present (compared without regard to case) is ignored, so the first
  // registration of a keyword wins.
  void AddKeyword(std::string_view text, std::unique_ptr<TKeywordEntry> entry);
  // The id of the keyword equal to `text` without regard to case, or -1. An
  // empty text is never a keyword.
  int32_t LookupKeyword(std::string_view text) const;
  // The entry of a keyword, or nullptr.
  const TKeywordEntry* FindKeyword(std::string_view text) const;
  size_t KeywordCount() const { return Keywords.size(); }
  // The keyword texts as registered, in table (sorted) order.
  std::vector<std::string> KeywordTexts() const;

  // ---- Tokens ----------------------------------------------------------------

  // The next token, read with the word terminators.
  int32_t NextToken();
  // The general token reader behind NextToken, ReadInteger and ReadReal.
  int32_t ReadToken(const TCharSet& terminators);
  // The next token read with the number terminators, converted; kBadInteger
  // (-32000) for a text that is not a 32-bit integer. After a bracket token the
  // text of the token before it is converted.
  int32_t ReadInteger();
  // Likewise as a double; kBadReal (-32000.0) for a text that is not a number.
  double ReadReal();
  // The name of a net class after the keyword "netClassNameRef": the content
  // of a quoted string, or a bare word as written. A bracket in its place is
  // left in the stream (so that the caller counts it) and the name is empty.
  std::string ReadNetClassName();

  // The text of the last word or quoted string (quoted strings unescaped), at
  // most 255 characters. Bracket tokens leave it unchanged.
  std::string TokenText() const { return std::string(TokenView()); }
  std::string_view TokenView() const { return {TokenBuffer.data(), TokenLength}; }

  bool EndOfFile() const { return AtEnd; }
  bool Aborted() const { return UserAborted; }
  // Line ends passed between tokens (one per run of line ends).
  int32_t LineNumber() const { return Lines; }
  bool FileOpened() const { return File != nullptr; }

  // ---- Characters --------------------------------------------------------------
  // Used by the token readers; PeekChar also by the coordinate reader.

  // Polls the Escape key, takes one byte, advances the progress display by one
  // step and updates EndOfFile. At the end of the file the last byte stays.
  uint8_t ReadChar() {
    if (!File) return Current;
    // Once the user has confirmed the abort, the question is not asked again.
    if (!UserAborted && platform::EscapeKeyDown()) AskAbort();
    if (Index < Length) {
      Current = Buffer[Index++];
      GotByte = true;
    } else {
      TakeByteAfterRefill();
    }
    if (PercentStep) PercentStep();
    if (Index >= EndIndex || AtEnd) ReachedEnd();
    return Current;
  }
  // The next byte other than a space (32), without consuming anything and
  // without touching the progress display; 0 at the end of the file.
  uint8_t PeekChar() {
    if (Index < Length && Buffer[Index] != 32) return Buffer[Index];
    return PeekPastSpaces();
  }
  // True if PeekChar answers a carriage return.
  bool AtLineEnd() { return PeekChar() == 13; }
  // Counts one line end and passes over the run of carriage returns and line
  // feeds that starts at the next line-end byte; the byte after it is read
  // again by the next ReadChar.
  void SkipLineEnd();
  uint8_t CurrentChar() const { return Current; }

  // ---- Conversions (no locale) -------------------------------------------

  static const TCharSet& WordTerminators();
  static const TCharSet& NumberTerminators();
  // Optional sign and decimal digits, or hexadecimal digits after "0x" or "x"
  // (either case, no sign); kBadInteger for anything else or a value outside
  // the 32-bit signed range.
  static int32_t TextToInteger(std::string_view text);
  // Optional sign, digits with an optional point, optional exponent; at least
  // one digit before the exponent. kBadReal for anything else or a value
  // outside the range of a double.
  static double TextToReal(std::string_view text);
  // The escapes of quoted strings: \" \\ \f \n \r \t (vertical tab, 11); a
  // backslash with any other character drops both. Cut to 255 characters.
  static std::string Unescape(std::string_view raw);

 private:
  struct TKeywordItem {
    std::string Key;   // upper case (letters a to z), the comparison key
    std::string Text;  // as registered
    std::unique_ptr<TKeywordEntry> Entry;
  };

  // Separators before a token: spaces and line ends that start with a carriage
  // return. Answers the first other character (a space at the end of the file).
  uint8_t SkipSeparators();
  void ReadQuotedString();
  void ReadWord(uint8_t c, const TCharSet& terminators);
  void SetToken(const char* text, size_t length);
  void AskAbort();
  void TakeByteAfterRefill();
  void ReachedEnd();
  uint8_t PeekPastSpaces();
  int64_t Position() const { return BufferOffset + static_cast<int64_t>(Index); }
  void StepBack();
  bool Refill();
  int64_t PeekBeyondBuffer(uint8_t* found);
  const TKeywordItem* FindItem(std::string_view upperText) const;
  void BuildIndex() const;
  void UpdateEndIndex();

  std::FILE* File = nullptr;
  // Fast path of ReadChar: the host's progress step, taken from the binding
  // once when the file is opened instead of looked up at every character.
  pcbabi::PcbApi_Percent_Update_t PercentStep = nullptr;
  int64_t FileSize = 0;
  // The block buffer: Buffer[0, Length) holds the bytes of the file from
  // BufferOffset on; Index is the read position. After a refill Buffer[0] is
  // the byte before the read position, so one step back is always possible.
  std::unique_ptr<uint8_t[]> Buffer;
  size_t Capacity = 0;
  size_t Length = 0;
  size_t Index = 0;
  int64_t BufferOffset = 0;
  // Index at which the read position reaches the file size (may lie beyond
  // the buffer).
  size_t EndIndex = 0;
  // PeekChar remembers its last scan: from any position in [PeekFrom, PeekTo]
  // the answer is PeekResult.
  int64_t PeekFrom = -1;
  int64_t PeekTo = -1;
  uint8_t PeekResult = 0;

  int32_t Lines = 0;
  std::array<char, 256> TokenBuffer{};
  size_t TokenLength = 0;
  std::vector<TKeywordItem> Keywords;  // sorted by Key
  // Fast path of the keyword lookup, which runs for every word read: a hash
  // table of the keys (open addressing, a power of two in size, at most half
  // full). A slot holds the key's hash and its position in Keywords plus one
  // (0: empty). Rebuilt at the first lookup after additions.
  struct TIndexSlot {
    uint32_t Hash = 0;
    uint16_t Item = 0;
  };
  mutable std::vector<TIndexSlot> KeyIndex;
  // Words that cannot be keys (numbers, long names) are refused before hashing.
  mutable TCharSet KeyStarts;
  mutable size_t LongestKey = 0;
  mutable bool IndexValid = false;
  uint8_t Current = 0;
  bool GotByte = false;  // whether the last ReadChar took a byte from the file
  bool AtEnd = false;
  bool UserAborted = false;
};

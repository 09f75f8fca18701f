#include "vexal/reader/VexalParser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <sys/stat.h>
#include <sys/types.h>

#include "hostapi/HostPcbApi.h"
#include "hostapi/ShortString.h"
#include "platform/Platform.h"

namespace {

constexpr uint8_t kSpace = 32;
constexpr uint8_t kCR = 13;
constexpr uint8_t kLF = 10;
constexpr size_t kTokenMax = 255;
constexpr size_t kBlockSize = size_t{1} << 20;

constexpr bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
constexpr bool IsLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Codes 1 to 127 except the word characters; 0 and 128 to 255 belong to words.
constexpr TCharSet MakeWordTerminators() {
  TCharSet set;
  for (int c = 1; c <= 127; ++c) {
    const auto u = static_cast<uint8_t>(c);
    const bool wordChar = IsDigit(u) || IsLetter(u) || c == '!' || c == '#' || c == '$' ||
                          c == '%' || c == '\'' || c == '-' || c == '.' || c == '/' || c == '?' ||
                          c == '_';
    if (!wordChar) set.Include(u);
  }
  return set;
}

// Codes 1 to 127 except the characters of numbers.
constexpr TCharSet MakeNumberTerminators() {
  TCharSet set;
  for (int c = 1; c <= 127; ++c) {
    const auto u = static_cast<uint8_t>(c);
    const bool numberChar = IsDigit(u) || IsLetter(u) || c == '+' || c == ',' || c == '-' || c == '.';
    if (!numberChar) set.Include(u);
  }
  return set;
}

constexpr TCharSet kWordTerminators = MakeWordTerminators();
constexpr TCharSet kNumberTerminators = MakeNumberTerminators();

bool SeekTo(std::FILE* file, int64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, offset, SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

// Only a regular file is read (a folder opens on some systems but never reads).
bool IsRegularFile(std::FILE* file) {
#ifdef _WIN32
  struct _stat64 info {};
  return _fstat64(_fileno(file), &info) == 0 && (info.st_mode & _S_IFREG) != 0;
#else
  struct stat info {};
  return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
#endif
}

int64_t TellEnd(std::FILE* file) {
#ifdef _WIN32
  if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
  return _ftelli64(file);
#else
  if (fseeko(file, 0, SEEK_END) != 0) return -1;
  return static_cast<int64_t>(ftello(file));
#endif
}

}  // namespace

// ---- Life --------------------------------------------------------------------

TVexalParser::TVexalParser(const std::string& fileName) {
  File = std::fopen(fileName.c_str(), "rb");
  if (File) {
    const int64_t size = IsRegularFile(File) ? TellEnd(File) : -1;
    if (size < 0 || !SeekTo(File, 0)) {
      std::fclose(File);
      File = nullptr;
    } else {
      FileSize = size;
    }
  }
  if (!File) {
    AtEnd = true;
    return;
  }
  // Our own blocks are large; the stream's buffer would only copy them again.
  std::setvbuf(File, nullptr, _IONBF, 0);
  Capacity = static_cast<size_t>(std::min<int64_t>(FileSize + 1, kBlockSize));
  Buffer = std::make_unique<uint8_t[]>(Capacity);
  UpdateEndIndex();
  const int64_t total = std::min<int64_t>(FileSize, std::numeric_limits<int32_t>::max());
  hostapi::PcbApi_Percent_Init(hostapi::CutString("Loading KIVO file " + fileName),
                               static_cast<int32_t>(total));
  PercentStep = reinterpret_cast<pcbabi::PcbApi_Percent_Update_t>(
      hostapi::BoundEntry(hostapi::Api::PcbApi_Percent_Update));
}

TVexalParser::~TVexalParser() {
  if (File) std::fclose(File);
}

// ---- Characters ------------------------------------------------------------

void TVexalParser::UpdateEndIndex() {
  const int64_t end = FileSize - BufferOffset;
  EndIndex = end <= 0 ? 0 : static_cast<size_t>(end);
}

bool TVexalParser::Refill() {
  if (!File) return false;
  // Keep the byte before the read position so that one step back stays possible.
  if (Length > 0) {
    Buffer[0] = Buffer[Length - 1];
    BufferOffset += static_cast<int64_t>(Length - 1);
    Length = 1;
    Index = 1;
  }
  const int64_t left = FileSize - (BufferOffset + static_cast<int64_t>(Length));
  if (left <= 0) {
    UpdateEndIndex();
    return false;
  }
  const size_t want = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(Capacity - Length)));
  const size_t got = std::fread(Buffer.get() + Length, 1, want, File);
  Length += got;
  if (got == 0) {
    // The file became shorter since it was opened: it ends here.
    FileSize = BufferOffset + static_cast<int64_t>(Length);
  }
  UpdateEndIndex();
  return got != 0;
}

void TVexalParser::AskAbort() {
  if (platform::ShowMessageBox("Confirm Abort", "Confirm", platform::mbYesNo | platform::mbIconQuestion) ==
      platform::idYes)
    UserAborted = true;
}

void TVexalParser::TakeByteAfterRefill() {
  if (Position() < FileSize && Refill() && Index < Length) {
    Current = Buffer[Index++];
    GotByte = true;
  } else {
    GotByte = false;
  }
}

void TVexalParser::ReachedEnd() {
  if (Position() < FileSize && !AtEnd) return;
  AtEnd = true;
  hostapi::PcbApi_Percent_Finish();
}

void TVexalParser::StepBack() {
  if (Index > 0) --Index;
}

uint8_t TVexalParser::PeekPastSpaces() {
  const int64_t from = Position();
  if (from >= PeekFrom && from <= PeekTo) return PeekResult;
  size_t i = Index;
  while (i < Length && Buffer[i] == kSpace) ++i;
  if (i < Length) {
    PeekResult = Buffer[i];
    PeekTo = BufferOffset + static_cast<int64_t>(i);
  } else {
    PeekTo = PeekBeyondBuffer(&PeekResult);
  }
  PeekFrom = from;
  return PeekResult;
}

// The spaces run past the buffer: look further in the file without disturbing
// the buffer, then put the file position back. Answers the position of the
// byte found (the file size when only spaces follow; the byte is then 0).
int64_t TVexalParser::PeekBeyondBuffer(uint8_t* found) {
  *found = 0;
  const int64_t resume = BufferOffset + static_cast<int64_t>(Length);
  if (!File) return resume;
  int64_t at = resume;
  std::array<uint8_t, 4096> chunk;
  bool done = false;
  while (at < FileSize && !done) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(FileSize - at, chunk.size()));
    const size_t got = std::fread(chunk.data(), 1, want, File);
    if (got == 0) break;
    size_t k = 0;
    while (k < got && chunk[k] == kSpace) ++k;
    at += static_cast<int64_t>(k);
    if (k < got) {
      *found = chunk[k];
      done = true;
    }
  }
  // A position that cannot be restored means the file cannot be read on:
  // it ends where the buffer ends.
  if (!SeekTo(File, resume)) {
    FileSize = resume;
    UpdateEndIndex();
  }
  return at;
}

void TVexalParser::SkipLineEnd() {
  ++Lines;
  do {
    ReadChar();
  } while (Current != kCR && Current != kLF && !AtEnd);
  while ((Current == kCR || Current == kLF) && !AtEnd) ReadChar();
  StepBack();
}

// ---- Tokens ------------------------------------------------------------------

const TCharSet& TVexalParser::WordTerminators() { return kWordTerminators; }

const TCharSet& TVexalParser::NumberTerminators() { return kNumberTerminators; }

void TVexalParser::SetToken(const char* text, size_t length) {
  TokenLength = std::min(length, kTokenMax);
  std::copy_n(text, TokenLength, TokenBuffer.data());
}

uint8_t TVexalParser::SkipSeparators() {
  uint8_t c = kSpace;
  while (c == kSpace && !AtEnd) {
    if (AtLineEnd())
      SkipLineEnd();
    else
      c = ReadChar();
  }
  return c;
}

void TVexalParser::ReadQuotedString() {
  std::array<char, kTokenMax> raw;
  size_t length = 0;
  uint8_t previous = '"';
  while (!AtEnd) {
    const uint8_t c = ReadChar();
    if (!GotByte || (c == '"' && previous != '\\')) break;
    if (length < kTokenMax) raw[length++] = static_cast<char>(c);
    previous = c;
  }
  const std::string text = Unescape(std::string_view(raw.data(), length));
  SetToken(text.data(), text.size());
}

void TVexalParser::ReadWord(uint8_t c, const TCharSet& terminators) {
  size_t length = 0;
  while (!terminators.Contains(c) && !AtEnd) {
    if (length < kTokenMax) TokenBuffer[length++] = static_cast<char>(c);
    // A line end ends the word and stays unread for the separators.
    c = AtLineEnd() ? kSpace : ReadChar();
  }
  if (c == '(' || c == ')') {
    StepBack();
  } else if (AtEnd && !terminators.Contains(c) && GotByte) {
    // The file ends inside the word: its last byte belongs to it.
    if (length < kTokenMax) TokenBuffer[length++] = static_cast<char>(c);
  }
  TokenLength = length;
}

int32_t TVexalParser::ReadToken(const TCharSet& terminators) {
  const uint8_t c = SkipSeparators();
  if (c == '(') return tkOpenBracket;
  if (c == ')') return tkCloseBracket;
  if (c == '"') {
    ReadQuotedString();
    return tkQuotedString;
  }
  ReadWord(c, terminators);
  return LookupKeyword(TokenView());
}

int32_t TVexalParser::NextToken() { return ReadToken(kWordTerminators); }

int32_t TVexalParser::ReadInteger() {
  ReadToken(kNumberTerminators);
  return TextToInteger(TokenView());
}

double TVexalParser::ReadReal() {
  ReadToken(kNumberTerminators);
  return TextToReal(TokenView());
}

std::string TVexalParser::ReadNetClassName() {
  const uint8_t c = SkipSeparators();
  if (c == '(' || c == ')') {
    // No name: the bracket belongs to the caller's count.
    StepBack();
    return {};
  }
  if (c == '"')
    ReadQuotedString();
  else
    ReadWord(c, kWordTerminators);
  return TokenText();
}

// ---- Keyword table -------------------------------------------------------------

namespace {

std::string UpperKey(std::string_view text) {
  std::string key(text);
  for (char& c : key) c = UpperAscii(c);
  return key;
}

// FNV-1a over the upper-cased key.
uint32_t KeyHash(std::string_view key) {
  uint32_t hash = 2166136261u;
  for (const char c : key) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
  return hash;
}

}  // namespace

const TVexalParser::TKeywordItem* TVexalParser::FindItem(std::string_view upperText) const {
  if (upperText.empty()) return nullptr;
  if (!IndexValid) BuildIndex();
  if (upperText.size() > LongestKey || !KeyStarts.Contains(static_cast<uint8_t>(upperText[0])))
    return nullptr;
  const uint32_t hash = KeyHash(upperText);
  const size_t mask = KeyIndex.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const TIndexSlot& entry = KeyIndex[slot];
    if (entry.Item == 0) return nullptr;
    if (entry.Hash != hash) continue;
    const TKeywordItem& item = Keywords[entry.Item - 1];
    if (item.Key == upperText) return &item;
  }
}

void TVexalParser::BuildIndex() const {
  size_t size = 16;
  while (size < Keywords.size() * 2) size *= 2;
  KeyIndex.assign(size, TIndexSlot{});
  KeyStarts = TCharSet{};
  LongestKey = 0;
  for (size_t i = 0; i < Keywords.size(); ++i) {
    KeyStarts.Include(static_cast<uint8_t>(Keywords[i].Key[0]));
    LongestKey = std::max(LongestKey, Keywords[i].Key.size());
    const uint32_t hash = KeyHash(Keywords[i].Key);
    size_t slot = hash & (size - 1);
    while (KeyIndex[slot].Item != 0) slot = (slot + 1) & (size - 1);
    KeyIndex[slot] = TIndexSlot{hash, static_cast<uint16_t>(i + 1)};
  }
  IndexValid = true;
}

void TVexalParser::AddKeyword(std::string_view text, std::unique_ptr<TKeywordEntry> entry) {
  if (!entry || text.empty()) return;
  std::string key = UpperKey(text);
  const auto it = std::lower_bound(Keywords.begin(), Keywords.end(), key,
                                   [](const TKeywordItem& item, const std::string& k) { return item.Key < k; });
  if (it != Keywords.end() && it->Key == key) return;  // first registration wins
  if (Keywords.size() >= UINT16_MAX - 1) return;  // positions plus one fit a slot
  Keywords.insert(it, TKeywordItem{std::move(key), std::string(text), std::move(entry)});
  IndexValid = false;
}

int32_t TVexalParser::LookupKeyword(std::string_view text) const {
  if (text.empty() || text.size() > kTokenMax) return tkWord;
  std::array<char, kTokenMax> upper;
  for (size_t i = 0; i < text.size(); ++i) upper[i] = UpperAscii(text[i]);
  const TKeywordItem* item = FindItem(std::string_view(upper.data(), text.size()));
  return item ? item->Entry->Id : tkWord;
}

const TKeywordEntry* TVexalParser::FindKeyword(std::string_view text) const {
  const TKeywordItem* item = FindItem(UpperKey(text));
  return item ? item->Entry.get() : nullptr;
}

std::vector<std::string> TVexalParser::KeywordTexts() const {
  std::vector<std::string> texts;
  texts.reserve(Keywords.size());
  for (const TKeywordItem& item : Keywords) texts.push_back(item.Text);
  return texts;
}

// ---- Conversions -------------------------------------------------------------

int32_t TVexalParser::TextToInteger(std::string_view text) {
  if (text.empty()) return kBadInteger;
  const char* begin = text.data();
  const char* end = begin + text.size();
  int base = 10;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    begin += 2;
    base = 16;
  } else if (text[0] == 'x' || text[0] == 'X') {
    begin += 1;
    base = 16;
  }
  bool negative = false;
  if (base == 10 && (*begin == '+' || *begin == '-')) {
    negative = *begin == '-';
    ++begin;
  }
  if (begin == end) return kBadInteger;
  // Digits only from here (from_chars alone would take a sign or stop early).
  for (const char* p = begin; p < end; ++p) {
    const auto u = static_cast<uint8_t>(*p);
    const bool ok = base == 10 ? IsDigit(u)
                               : (IsDigit(u) || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F'));
    if (!ok) return kBadInteger;
  }
  uint64_t magnitude = 0;
  const auto [ptr, ec] = std::from_chars(begin, end, magnitude, base);
  if (ec != std::errc() || ptr != end) return kBadInteger;
  const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
  if (magnitude > limit) return kBadInteger;
  return negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
}

double TVexalParser::TextToReal(std::string_view text) {
  // Check the shape first: from_chars would also take "inf", "nan" and hex forms.
  size_t i = 0;
  const size_t n = text.size();
  const auto at = [&](size_t k) { return k < n ? static_cast<uint8_t>(text[k]) : uint8_t{0}; };
  if (at(i) == '+' || at(i) == '-') ++i;
  // The power of ten of the leading significant digit, to tell a value too
  // large from one too small when the conversion is out of range.
  int64_t magnitude = 0;
  bool significant = false;
  size_t digits = 0;
  for (; IsDigit(at(i)); ++i, ++digits) {
    significant = significant || at(i) != '0';
    if (significant) ++magnitude;
  }
  if (at(i) == '.') {
    for (++i; IsDigit(at(i)); ++i, ++digits) {
      if (significant) continue;
      if (at(i) != '0') significant = true; else --magnitude;
    }
  }
  if (digits == 0) return kBadReal;
  int64_t exponent = 0;
  if (at(i) == 'e' || at(i) == 'E') {
    ++i;
    bool negative = false;
    if (at(i) == '+' || at(i) == '-') negative = at(i++) == '-';
    size_t exponentDigits = 0;
    for (; IsDigit(at(i)); ++i, ++exponentDigits)
      exponent = std::min<int64_t>(exponent * 10 + (at(i) - '0'), int64_t{1} << 40);
    if (exponentDigits == 0) return kBadReal;
    if (negative) exponent = -exponent;
  }
  if (i != n) return kBadReal;
  // from_chars takes no leading '+'.
  const char* begin = text.data();
  if (*begin == '+') ++begin;
  double value = 0;
  const auto [ptr, ec] = std::from_chars(begin, text.data() + n, value, std::chars_format::general);
  if (ptr != text.data() + n) return kBadReal;
  if (ec == std::errc::result_out_of_range) {
    // Too large for a double is not a number; too small is zero.
    return magnitude + exponent > 0 ? kBadReal : 0.0;
  }
  if (ec != std::errc()) return kBadReal;
  return value;
}

std::string TVexalParser::Unescape(std::string_view raw) {
  std::string out;
  out.reserve(std::min(raw.size(), kTokenMax));
  char previous = 0;
  for (const char c : raw) {
    if (previous == '\\') {
      switch (c) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case 'f': case 'F': out += '\f'; break;
        case 'n': case 'N': out += '\n'; break;
        case 'r': case 'R': out += '\r'; break;
        case 't': case 'T': out += '\v'; break;
        default: break;  // an unknown escape drops both characters
      }
    } else if (c != '\\') {
      out += c;
    }
    previous = c;
  }
  if (out.size() > kTokenMax) out.resize(kTokenMax);
  return out;
}

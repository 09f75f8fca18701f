#include "sarnovik/SarnovikFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace sarnovik {

namespace {

constexpr int kCtrlZ = 26;

bool IsLineEnd(int c) { return c == '\n' || c == '\r'; }
bool IsSeparator(int c) { return c >= 0 && c <= ' '; }

}  // namespace

bool ParseInteger(const std::string& token, int32_t& value) {
  if (token.empty()) return false;
  const char* first = token.data();
  const char* last = token.data() + token.size();
  bool negative = false;
  if (*first == '+' || *first == '-') {
    negative = *first == '-';
    ++first;
  }
  if (first == last) return false;
  int64_t magnitude = 0;
  for (const char* p = first; p != last; ++p) {
    if (*p < '0' || *p > '9') return false;
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1) return false;
  }
  const int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > std::numeric_limits<int32_t>::max()) return false;
  value = static_cast<int32_t>(signedValue);
  return true;
}

bool ParseReal(const std::string& token, double& value) {
  if (token.empty()) return false;
  const char* first = token.data();
  const char* last = token.data() + token.size();
  // from_chars takes a leading "-" but not a "+".
  if (*first == '+') {
    ++first;
    if (first == last || *first == '-' || *first == '+') return false;
  }
  // Only digits, a point, an exponent and signs: no "inf", "nan" or hex.
  for (const char* p = first; p != last; ++p) {
    const char c = *p;
    if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-'))
      return false;
  }
  double parsed = 0.0;
  const auto result = std::from_chars(first, last, parsed, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

TSarnovikFile::TSarnovikFile() : buffer_(kBufferSize) {}

TSarnovikFile::~TSarnovikFile() { Close(); }

bool TSarnovikFile::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "rb");
  unread_.clear();
  unreadPos_ = 0;
  pos_ = end_ = 0;
  ended_ = false;
  fault_ = ReadFault::None;
  return file_ != nullptr;
}

void TSarnovikFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  unread_.clear();
  unreadPos_ = 0;
  pos_ = end_ = 0;
  ended_ = true;
}

void TSarnovikFile::Rewind() {
  fault_ = ReadFault::None;
  unread_.clear();
  unreadPos_ = 0;
  pos_ = end_ = 0;
  if (!file_) {
    ended_ = true;
    return;
  }
  ended_ = std::fseek(file_, 0, SEEK_SET) != 0;
}

bool TSarnovikFile::Fill() {
  if (ended_ || !file_) return false;
  end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  pos_ = 0;
  if (end_ == 0) {
    ended_ = true;
    return false;
  }
  return true;
}

int TSarnovikFile::Peek() {
  if (unreadPos_ < unread_.size()) return static_cast<unsigned char>(unread_[unreadPos_]);
  if (pos_ >= end_ && !Fill()) return -1;
  const int c = static_cast<unsigned char>(buffer_[pos_]);
  if (c == kCtrlZ) {
    ended_ = true;
    pos_ = end_ = 0;
    return -1;
  }
  return c;
}

void TSarnovikFile::Advance() {
  if (unreadPos_ < unread_.size())
    ++unreadPos_;
  else if (pos_ < end_)
    ++pos_;
}

void TSarnovikFile::UnreadLine(const std::string& line) {
  unread_ = line + "\n" + unread_.substr(std::min(unreadPos_, unread_.size()));
  unreadPos_ = 0;
}

bool TSarnovikFile::AtEnd() { return Peek() < 0; }

void TSarnovikFile::SetFault(ReadFault fault) {
  if (fault_ == ReadFault::None) fault_ = fault;
}

std::string TSarnovikFile::ReadLine(size_t limit) {
  std::string line;
  if (Failed()) return line;
  for (int c = Peek(); c >= 0; c = Peek()) {
    Advance();
    if (c == '\n') break;
    if (c == '\r') {
      if (Peek() == '\n') Advance();
      break;
    }
    if (line.size() < limit) line.push_back(static_cast<char>(c));
  }
  return line;
}

std::string TSarnovikFile::ReadRecordLine(size_t limit) {
  if (Failed()) return {};
  if (AtEnd()) {
    SetFault(ReadFault::CutShort);
    return {};
  }
  return ReadLine(limit);
}

void TSarnovikFile::SkipRestOfLine() {
  if (Failed()) return;
  ReadLine(0);
}

bool TSarnovikFile::LineHasMore() {
  if (Failed()) return false;
  for (int c = Peek(); c >= 0; c = Peek()) {
    if (IsLineEnd(c)) return false;
    if (!IsSeparator(c)) return true;
    Advance();
  }
  return false;
}

void TSarnovikFile::SkipSeparators() {
  for (int c = Peek(); c >= 0 && IsSeparator(c); c = Peek()) Advance();
}

bool TSarnovikFile::ReadToken(std::string& token, bool& tooLong) {
  token.clear();
  tooLong = false;
  SkipSeparators();
  int c = Peek();
  if (c < 0) return false;
  for (; c >= 0 && !IsSeparator(c); c = Peek()) {
    Advance();
    if (token.size() < kTokenChars)
      token.push_back(static_cast<char>(c));
    else
      tooLong = true;
  }
  return true;
}

int32_t TSarnovikFile::ReadInteger() {
  if (Failed()) return 0;
  std::string token;
  bool tooLong = false;
  if (!ReadToken(token, tooLong)) {
    SetFault(ReadFault::CutShort);
    return 0;
  }
  int32_t value = 0;
  if (tooLong || !ParseInteger(token, value)) {
    SetFault(ReadFault::BadNumber);
    return 0;
  }
  return value;
}

int32_t TSarnovikFile::ReadCoord() {
  const int32_t value = ReadInteger();
  if (value > kMaxCoordMils || value < -kMaxCoordMils) {
    SetFault(ReadFault::BadNumber);
    return 0;
  }
  return value;
}

double TSarnovikFile::ReadReal() {
  if (Failed()) return 0.0;
  std::string token;
  bool tooLong = false;
  if (!ReadToken(token, tooLong)) {
    SetFault(ReadFault::CutShort);
    return 0.0;
  }
  double value = 0.0;
  if (tooLong || !ParseReal(token, value)) {
    SetFault(ReadFault::BadNumber);
    return 0.0;
  }
  return value;
}

double TSarnovikFile::ReadBoundedReal(double maxMagnitude) {
  const double value = ReadReal();
  if (std::fabs(value) > maxMagnitude) {
    SetFault(ReadFault::BadNumber);
    return 0.0;
  }
  return value;
}

}  // namespace sarnovik

// The open text file of one Sarnovik import: lines and the numbers of the
// records, read the way the format lays them out.
//
// - A line ends at a line feed, a carriage return, or a carriage return
//   followed by a line feed. A byte of value 26 (Ctrl-Z) ends the text, as
//   does the physical end of the file.
// - Lines are read whole; only the first `limit` characters are kept.
// - Numbers are separated by blanks, tabs and line ends (every byte up to
//   0x20 counts as a separator), so the numbers of one record may continue on
//   the following lines. A number is the run of bytes up to the next
//   separator.
// - What the format leaves undefined gets a fault instead of a made-up value:
//   a token that is not a valid number (or does not fit) is a bad number; a
//   number or line that the end of the file cuts off is a cut-short record.
//   Once a fault is set, every read answers 0 or the empty text without
//   moving, until ClearFault.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace sarnovik {

enum class ReadFault : uint8_t {
  None = 0,
  BadNumber,  // a token that is not a number of the expected kind and range
  CutShort,   // the end of the file came inside a record
};

class TSarnovikFile {
 public:
  static constexpr size_t kLineChars = 255;
  // The largest coordinate in mils whose host value (x 10000) fits 32 bits.
  static constexpr int32_t kMaxCoordMils = 214748;

  TSarnovikFile();
  ~TSarnovikFile();
  TSarnovikFile(const TSarnovikFile&) = delete;
  TSarnovikFile& operator=(const TSarnovikFile&) = delete;

  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  // Back to the first byte; clears the fault.
  void Rewind();

  // True when no character is left before the end of the text.
  bool AtEnd();

  // The rest of the current line (at most `limit` characters kept, the rest
  // skipped), moving past its end. At the end of the text: the empty text.
  std::string ReadLine(size_t limit = kLineChars);
  // A line that a record needs: at the end of the text the record is cut
  // short.
  std::string ReadRecordLine(size_t limit);
  // Moves past the end of the current line.
  void SkipRestOfLine();
  // Puts a line that was read back in front of what is left, as one whole
  // line: the next read starts with it.
  void UnreadLine(const std::string& line);
  // True when a non-separator byte stands before the end of the current line
  // (the blanks before it are passed over).
  bool LineHasMore();

  // A signed 32-bit decimal integer ("+" or "-" allowed).
  int32_t ReadInteger();
  // An integer that is a length or coordinate in mils: its host value must
  // fit 32 bits (|value| <= kMaxCoordMils), else it is a bad number.
  int32_t ReadCoord();
  // A decimal number that may have a fraction and an exponent; it must be
  // finite.
  double ReadReal();
  // A real whose magnitude is at most `maxMagnitude`, else a bad number.
  double ReadBoundedReal(double maxMagnitude);

  ReadFault Fault() const { return fault_; }
  bool Failed() const { return fault_ != ReadFault::None; }
  void ClearFault() { fault_ = ReadFault::None; }

 private:
  static constexpr size_t kBufferSize = 1 << 16;
  static constexpr size_t kTokenChars = 64;  // longer tokens are never valid

  int Peek();  // next byte or -1 at the end of the text
  void Advance();
  bool Fill();
  void SkipSeparators();
  // The next token (at most kTokenChars kept); false at the end of the text.
  bool ReadToken(std::string& token, bool& tooLong);
  void SetFault(ReadFault fault);

  std::FILE* file_ = nullptr;
  std::string unread_;  // a line put back, read before the buffer
  size_t unreadPos_ = 0;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool ended_ = false;  // physical end or Ctrl-Z met
  ReadFault fault_ = ReadFault::None;
};

// Parses a whole token as a signed 32-bit decimal integer.
bool ParseInteger(const std::string& token, int32_t& value);
// Parses a whole token as a finite decimal real (fraction, exponent allowed).
bool ParseReal(const std::string& token, double& value);

}  // namespace sarnovik

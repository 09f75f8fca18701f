// Short strings: one length byte (0 to 255) followed by that many 8-bit
// characters, no terminator. The host's string fields have fixed capacities
// (pad name 20, text 254, pattern 250, names 255); a longer text is cut to
// the capacity, never written past it.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace hostapi {

inline constexpr size_t kShortStringMax = 255;
inline constexpr size_t kShortStringBytes = kShortStringMax + 1;

// The text cut to at most `capacity` characters (capacity above 255 counts as 255).
inline std::string CutString(std::string_view text, size_t capacity = kShortStringMax) {
  capacity = std::min(capacity, kShortStringMax);
  return std::string(text.substr(0, std::min(text.size(), capacity)));
}

// Writes the text as a short string into `dst`, cut to `capacity` characters.
// Writes 1 + min(length, capacity) bytes; `dst` must hold capacity + 1 bytes.
inline void ToShortString(std::string_view text, uint8_t* dst, size_t capacity = kShortStringMax) {
  capacity = std::min(capacity, kShortStringMax);
  const size_t n = std::min(text.size(), capacity);
  dst[0] = static_cast<uint8_t>(n);
  if (n) std::memcpy(dst + 1, text.data(), n);
}

// Reads a short string of at most `capacity` characters; a length byte above
// the capacity is read as the capacity.
inline std::string FromShortString(const uint8_t* src, size_t capacity = kShortStringMax) {
  capacity = std::min(capacity, kShortStringMax);
  const size_t n = std::min<size_t>(src[0], capacity);
  return std::string(reinterpret_cast<const char*>(src + 1), n);
}

// A 256-byte buffer that holds one short string. Every string field handed to
// the host uses one, whatever the field's capacity, so a host that writes a
// full 255-character string never writes past it; the text read back is cut
// to the field's capacity.
class ShortString {
 public:
  ShortString() = default;
  explicit ShortString(std::string_view text, size_t capacity = kShortStringMax) {
    Assign(text, capacity);
  }
  void Assign(std::string_view text, size_t capacity = kShortStringMax) {
    Bytes.fill(0);
    ToShortString(text, Bytes.data(), capacity);
  }
  std::string Text(size_t capacity = kShortStringMax) const {
    return FromShortString(Bytes.data(), capacity);
  }
  uint8_t* Data() { return Bytes.data(); }
  const uint8_t* Data() const { return Bytes.data(); }

  std::array<uint8_t, kShortStringBytes> Bytes{};
};

}  // namespace hostapi

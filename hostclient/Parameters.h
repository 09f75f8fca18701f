// Process-parameter texts: pairs of a name, "=" and a value, joined by "|",
// e.g. "Result=True|Path=c:\a.pcb". Names are compared without regard to case
// and to surrounding blanks; values are trimmed when read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hostclient {

struct TParameter {
  std::string Name;   // trimmed, at most 255 characters
  std::string Value;  // as written (trimmed when read)
};

class TParameterList {
 public:
  // Parses a text: "=" starts the value (later ones belong to it), "|" ends a
  // pair; a pair without "=" or with an empty name is dropped.
  void Parse(std::string_view text);
  // The first parameter of that name (case and surrounding blanks ignored).
  const TParameter* Find(std::string_view name) const;
  TParameter* Find(std::string_view name);
  // The parameters written as name=value joined by "|".
  std::string Text() const;

  std::vector<TParameter> Items;
};

// The text cut at its first zero byte: a parameter text stops there.
inline std::string_view ZeroTerminated(std::string_view text) {
  const size_t zero = text.find('\0');
  return zero == std::string_view::npos ? text : text.substr(0, zero);
}

// Size of the module's copy of the last parsed text, terminating zero included.
inline constexpr size_t kParameterCacheSize = 64000;
// Size of the buffer of SetParameter's only caller (one parameter).
inline constexpr size_t kDefaultParameterBufferSize = 257;

// Whether the text holds the parameter; `value` receives its value, trimmed
// and cut to 255 characters, or the empty text. Texts that fit the module's
// cache are parsed once and kept; longer ones are parsed each time.
bool GetParameter(std::string_view text, std::string_view name, std::string& value);

// Sets a parameter in the zero-terminated text held in `buffer` (of
// `bufferSize` bytes): replaces the value of the named parameter, or appends
// the parameter, and rewrites the buffer with the whole text. Refuses (false,
// buffer unchanged) when the new text with its zero does not fit, when the
// name is empty or holds "=" or "|", or when the value holds "|" or a zero.
bool SetParameter(char* buffer, std::string_view name, std::string_view value,
                  size_t bufferSize = kDefaultParameterBufferSize);

}  // namespace hostclient

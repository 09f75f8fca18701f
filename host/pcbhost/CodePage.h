// The 8-bit texts of the board formats in UTF-8. The formats carry texts in
// a Windows code page; what pcbhost writes (JSON, SVG) is UTF-8 converted
// from the code page the user chose (1252 unless told otherwise).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pcbhost {

enum class CodePage { Cp1252, Cp1251, Cp1250 };

// The code page of its number (1252, 1251, 1250); false for any other.
bool CodePageOfNumber(std::string_view number, CodePage& page);

inline constexpr uint32_t kReplacementCharacter = 0xFFFD;

// The character a byte stands for in the code page; U+FFFD for a byte the
// code page leaves undefined. Bytes below 0x80 stand for themselves.
uint32_t CodePageCharacter(CodePage page, unsigned char byte);

// Appends a character as UTF-8 (U+FFFD for a surrogate or a value beyond
// U+10FFFF).
void AppendUtf8(std::string& out, uint32_t character);

// The bytes as UTF-8, each byte converted through the code page. Every
// result is valid UTF-8, whatever the bytes; control characters are kept
// (the writers escape them as their format needs).
std::string CodePageToUtf8(std::string_view bytes, CodePage page);

// The length of the well-formed UTF-8 sequence at s[i] (1 for a byte below
// 0x80), 0 when there is none (a stray continuation byte, an overlong form,
// a surrogate, a sequence cut short).
size_t Utf8SequenceLength(std::string_view s, size_t i);
bool IsUtf8(std::string_view s);

// A name of the file system: as it stands when it is UTF-8, else converted
// through the code page like the document's texts.
std::string NameToUtf8(std::string_view bytes, CodePage page);

}  // namespace pcbhost

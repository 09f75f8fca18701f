// Recognition of Vexal ASCII files by the header word of their first line.
#pragma once

#include <string>

namespace vexal {

// The first line of a file as recognition sees it: the bytes before the first
// carriage return or line feed, at most 255 of them, ended early by a byte of
// value 26. Empty when the file cannot be opened or read.
std::string ReadFirstLine(const std::string& fileName);

// True when the host says the file exists and its upper-cased first line
// holds "VEXAL_ASCII" or "JORVOPRO_ASCII".
bool IsVexalAsciiFile(const std::string& fileName);

}  // namespace vexal

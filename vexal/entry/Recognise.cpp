#include "vexal/entry/Recognise.h"

#include <cstdio>

#include "hostclient/HostClient.h"

namespace vexal {

std::string ReadFirstLine(const std::string& fileName) {
  std::string line;
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) return line;
  int c;
  while (line.size() < 255 && (c = std::fgetc(file)) != EOF) {
    if (c == '\r' || c == '\n' || c == 26) break;
    line.push_back(static_cast<char>(c));
  }
  std::fclose(file);
  return line;
}

bool IsVexalAsciiFile(const std::string& fileName) {
  if (!hostclient::ClientAPI_ExistSpecific(fileName)) return false;
  std::string line = ReadFirstLine(fileName);
  for (char& c : line)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return line.find("VEXAL_ASCII") != std::string::npos ||
         line.find("JORVOPRO_ASCII") != std::string::npos;
}

}  // namespace vexal

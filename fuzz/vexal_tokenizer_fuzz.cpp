// Fuzz target of the Vexal tokenizer: arbitrary bytes, read to the end of the
// file through every token reader. The reader must end (no hang), stay within
// its buffers and answer only token numbers it defines.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "vexal/reader/VexalParser.h"

namespace {

std::string InputPath() {
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder && *folder ? folder : "/tmp") + "/vexal-tokenizer-fuzz-" +
         std::to_string(getpid()) + ".pcb";
}

bool ValidToken(int32_t token) {
  return token == tkOpenBracket || token == tkCloseBracket || token == tkQuotedString ||
         token == tkWord || (token >= 1 && token <= 556 && token != 226);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = InputPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  if (size) std::fwrite(data, 1, size, file);
  std::fclose(file);

  TVexalParser parser(path);
  parser.BuildKeywordTable();
  // The first byte picks the order in which the readers take turns.
  const unsigned pattern = size ? data[0] : 0;
  // Each turn takes at least one byte or reaches the end (the name reader may
  // leave a bracket in the stream, so its turn goes on with NextToken, as its
  // caller does): the number of turns is bounded by the size.
  const size_t limit = 2 * size + 16;
  size_t calls = 0;
  while (!parser.EndOfFile()) {
    if (++calls > limit) __builtin_trap();  // the reader stopped advancing
    switch ((pattern >> (2 * (calls % 4))) & 3u) {
      case 0: {
        const int32_t token = parser.NextToken();
        if (!ValidToken(token)) __builtin_trap();
        break;
      }
      case 1: parser.ReadInteger(); break;
      case 2: parser.ReadReal(); break;
      default:
        if (parser.ReadNetClassName().size() > 255) __builtin_trap();
        if (!ValidToken(parser.NextToken())) __builtin_trap();
        break;
    }
    if (parser.TokenView().size() > 255) __builtin_trap();
    parser.PeekChar();
  }
  return 0;
}

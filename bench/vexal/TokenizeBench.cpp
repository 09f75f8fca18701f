// Benchmark of the Vexal tokenizer: reads a whole file token by token as the
// object tree does (keywords and brackets with NextToken, coordinates as words
// converted to numbers), with the progress display and the Escape key polled
// at every character. Reports MB/s and the peak memory of the process.
//
//   vexal_tokenize_bench FILE [--host PATH-TO-libTarvex.so] [--repeat N]
//
// Without --host the host module beside this program is loaded when it is
// there (the progress calls then reach a real host); otherwise the progress
// routines have no host and do nothing.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "hostapi/HostPcbApi.h"
#include "platform/Platform.h"
#include "platform/PlatformHostAbi.h"
#include "vexal/reader/VexalParser.h"

namespace {
int32_t PCBAPI_CALL NoEscape() { return 0; }
const PlatformHostHooks kHooks = {sizeof(PlatformHostHooks), NoEscape, nullptr, nullptr, nullptr};
}  // namespace

// Like a host program, the benchmark answers the Escape key (never down).
PCB_EXPORT const PlatformHostHooks* PCBAPI_CALL PlatformHost_Hooks() { return &kHooks; }

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [--host libTarvex.so] [--repeat N]\n", argv[0]);
    return 2;
  }
  const std::string path = argv[1];
  std::string host = (std::filesystem::path(argv[0]).parent_path() / "libTarvex.so").string();
  int repeat = 3;
  for (int i = 2; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--host") == 0) host = argv[i + 1];
    if (std::strcmp(argv[i], "--repeat") == 0) repeat = std::max(1, std::atoi(argv[i + 1]));
  }
  std::string error;
  const bool hostLoaded = std::filesystem::exists(host) && platform::LoadModule(host, &error) != nullptr;
  hostapi::BindHostPcbApi();
  const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
  std::printf("file %s: %.1f MB; host module %s\n", path.c_str(), megabytes,
              hostLoaded ? host.c_str() : "none (progress calls do nothing)");

  double best = 1e30;
  for (int run = 0; run < repeat; ++run) {
    const auto start = std::chrono::steady_clock::now();
    TVexalParser parser(path);
    parser.BuildKeywordTable();
    long tokens = 0, keywords = 0, numbers = 0;
    double sum = 0;
    while (!parser.EndOfFile() && !parser.Aborted()) {
      const int32_t token = parser.NextToken();
      ++tokens;
      if (token > 0 && token < tkOpenBracket) ++keywords;
      if (token == tkWord) {
        const double value = TVexalParser::TextToReal(parser.TokenView());
        if (value != kBadReal) ++numbers, sum += value;
      }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    best = std::min(best, seconds);
    std::printf("run %d: %.3f s, %.0f MB/s; %ld tokens, %ld keywords, %ld numbers (checksum %.0f), %d lines\n",
                run + 1, seconds, megabytes / seconds, tokens, keywords, numbers, sum, parser.LineNumber());
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("best: %.0f MB/s; peak memory %.1f MB (%.2f x the file)\n", megabytes / best,
              static_cast<double>(usage.ru_maxrss) / 1024.0,
              static_cast<double>(usage.ru_maxrss) / 1024.0 / megabytes);
  return 0;
}

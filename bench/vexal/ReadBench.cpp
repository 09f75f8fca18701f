// Benchmark of the whole read of a Vexal file: the tokenizer with its keyword
// table and the object tree (the root with every section class the module
// has; a section without one is skipped token by token), with the progress
// display and the Escape key polled at every character, as an import reads a
// file before its translation. Reports MB/s and the peak memory of the
// process.
//
//   vexal_read_bench FILE [--host PATH-TO-libTarvex.so] [--repeat N]
//
// Without --host the host module beside this program is loaded when it is
// there (the progress calls then reach a real host); otherwise the progress
// routines have no host and do nothing.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "hostapi/HostPcbApi.h"
#include "platform/Platform.h"
#include "platform/PlatformHostAbi.h"
#include "vexal/reader/VexalAsciiFile.h"
#include "vexal/reader/VexalParser.h"
#include "vexal/report/ReportManager.h"

namespace {
int32_t PCBAPI_CALL NoEscape() { return 0; }
const PlatformHostHooks kHooks = {sizeof(PlatformHostHooks), NoEscape, nullptr, nullptr, nullptr};

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}
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
  std::error_code error;
  const auto bytes = std::filesystem::file_size(path, error);
  if (error) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), error.message().c_str());
    return 2;
  }
  std::string loadError;
  const bool hostLoaded = std::filesystem::exists(host) && platform::LoadModule(host, &loadError) != nullptr;
  hostapi::BindHostPcbApi();
  const double megabytes = static_cast<double>(bytes) / (1024.0 * 1024.0);
  const double baseline = PeakMegabytes();
  std::printf("file %s: %.1f MB; host module %s; memory before reading %.1f MB\n", path.c_str(), megabytes,
              hostLoaded ? host.c_str() : "none (progress calls do nothing)", baseline);

  double best = 1e30;
  for (int run = 0; run < repeat; ++run) {
    const auto start = std::chrono::steady_clock::now();
    TReportManager report;
    TVexalParser parser(path);
    parser.BuildKeywordTable();
    int lines = 0;
    {
      TVexalAsciiFile root(&parser, path);
      root.Report = &report;
      root.Parse();
      lines = parser.LineNumber();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    best = std::min(best, seconds);
    std::printf("run %d: %.3f s, %.0f MB/s; %d lines; load errors %d, load warnings %d\n", run + 1, seconds,
                megabytes / seconds, lines, report.LoadErrorCount(), report.LoadWarningCount());
  }
  const double peak = PeakMegabytes();
  std::printf("best: %.0f MB/s; peak memory %.1f MB (%.2f x the file)\n", megabytes / best, peak,
              peak / megabytes);
  return 0;
}

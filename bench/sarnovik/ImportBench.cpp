// sarnovik_import_bench [COMPONENTS...]: imports generated Sarnovik boards of
// three sizes through the loaded plug-in into the stand-in host and reports,
// for each, the import time and the peak memory of the process that ran it.
// sarnovik_import_bench --file BOARD.pcb: the same for one given file.
//
// Every size runs in a child process of its own, so that its peak memory is
// its own. The program is the host here: it exports the client functions,
// loads libTarvex.so and then libLoadSarnovik.so from its own folder.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/ChildProcess.h"
#include "bench/sarnovik/SarnovikBoardGenerator.h"
#include "host/tarvex/TarvexHost.h"
#include "hostapi/ShortString.h"
#include "platform/Platform.h"

namespace {

constexpr unsigned kSecondsPerSize = 900;

struct Result {
  double Seconds = 0;
  long PeakKiB = 0;
  int Imported = 0;
  long Objects = 0;
};

// In the child: load the modules, import, measure.
Result ImportOnce(const std::string& file) {
  Result r;
  std::string error;
  const std::string folder = platform::ExecutableFolder();
  platform::ModuleHandle tarvex = platform::LoadModule(folder + "/libTarvex.so", &error);
  platform::ModuleHandle plugin = tarvex ? platform::LoadModule(folder + "/libLoadSarnovik.so", &error)
                                         : nullptr;
  if (!plugin) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::exit(1);
  }
  tarvex::ITarvexHost* host = tarvex::TarvexHostOf(tarvex);
  using Import_t = uint8_t(PCBAPI_CALL*)(const uint8_t*, const uint8_t*);
  auto import = reinterpret_cast<Import_t>(platform::FindExport(plugin, "ImportFileIntoPcb"));
  if (!host || !import) {
    std::fprintf(stderr, "the host or the plug-in lacks an export\n");
    std::exit(1);
  }
  const tarvex::THandle board = host->NewDocument("PCB", file);
  const hostapi::ShortString name(file);
  const auto start = std::chrono::steady_clock::now();
  r.Imported = import(name.Data(), name.Data());
  r.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.Objects = static_cast<long>(host->AllObjects().size());
  (void)board;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  r.PeakKiB = usage.ru_maxrss;
  return r;
}

bool RunChild(const std::string& file, Result& result) {
  return bench::RunInChild([&] { return ImportOnce(file); }, result, kSecondsPerSize);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--file") {
    Result r;
    if (!RunChild(argv[2], r)) return 1;
    std::printf("%s: %ld objects, %.3f s, peak %.1f MiB, result %d\n", argv[2], r.Objects,
                r.Seconds, r.PeakKiB / 1024.0, r.Imported);
    return 0;
  }
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  // The largest size is ten times the middle one: a linear import takes about
  // ten times as long for it.
  if (sizes.empty()) sizes = {200, 1000, 10000};

  std::printf("%10s %10s %12s %10s %10s %10s %s\n", "components", "lines", "bytes", "objects",
              "seconds", "peak MiB", "result");
  std::vector<double> times;
  for (int components : sizes) {
    const std::string file = "/tmp/sarnovik_bench_" + std::to_string(getpid()) + "_" +
                             std::to_string(components) + ".pcb";
    int64_t lines = 0;
    {
      std::ofstream out(file, std::ios::binary);
      sarnovikbench::BoardSize size;
      size.Components = components;
      lines = sarnovikbench::WriteSarnovikBoard(out, size);
    }
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    const long long bytes = static_cast<long long>(in.tellg());
    Result r;
    const bool ok = RunChild(file, r);
    std::remove(file.c_str());
    if (!ok) {
      std::printf("%10d: the import did not finish (limit %u s per size)\n", components,
                  kSecondsPerSize);
      return 1;
    }
    std::printf("%10d %10lld %12lld %10ld %10.3f %10.1f %d\n", components,
                static_cast<long long>(lines), bytes, r.Objects, r.Seconds, r.PeakKiB / 1024.0,
                r.Imported);
    times.push_back(r.Seconds);
  }
  if (times.size() >= 3 && times[1] > 0) {
    const size_t last = times.size() - 1;
    std::printf("time of the largest / the middle size: %.2f (sizes %.1f times apart)\n",
                times[last] / times[1], static_cast<double>(sizes[last]) / sizes[1]);
  }
  return 0;
}

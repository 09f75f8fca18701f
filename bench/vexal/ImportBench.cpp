// vexal_import_bench [COMPONENTS...]: generates whole Vexal boards of three
// sizes (VexalBoardGenerator.h), imports each through the loaded plug-in into
// the stand-in host and reports, per size, the import time and the peak
// memory of the process that ran it, with what reached the board.
// vexal_import_bench --file BOARD.pcb: the same for one given file.
//
// Every size runs in a child process of its own, so that its peak memory is
// its own. The program is the host here: it exports the client functions
// (the options dialog is answered as nobody touched it: OK), loads
// libTarvex.so and then libLoadVexal.so from its own folder, and calls
// ImportFileIntoPcb as the editor does.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/ChildProcess.h"
#include "bench/vexal/VexalBoardGenerator.h"
#include "host/tarvex/TarvexHost.h"
#include "hostapi/ShortString.h"
#include "platform/Platform.h"

namespace {

constexpr unsigned kSecondsPerSize = 1800;
constexpr int kRuns = 3;  // imports per size; the fastest counts

struct Result {
  double Seconds = 0;
  double CpuSeconds = 0;  // user and system time of the import
  long PeakKiB = 0;
  int Imported = 0;
  long Objects = 0;
  long Components = 0;
  long Nets = 0;
  long PadsOnNets = 0;
};

double CpuSeconds(const rusage& usage) {
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// In the child: load the modules, import, measure, count.
Result ImportOnce(const std::string& file) {
  Result r;
  std::string error;
  const std::string folder = platform::ExecutableFolder();
  platform::ModuleHandle tarvex = platform::LoadModule(folder + "/libTarvex.so", &error);
  platform::ModuleHandle plugin =
      tarvex ? platform::LoadModule(folder + "/libLoadVexal.so", &error) : nullptr;
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
  host->MakeCurrent(board);
  const hostapi::ShortString name(file);
  const hostapi::ShortString none("");
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  const auto start = std::chrono::steady_clock::now();
  r.Imported = import(name.Data(), none.Data());
  r.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  r.CpuSeconds = CpuSeconds(usage) - CpuSeconds(before);
  r.PeakKiB = usage.ru_maxrss;
  r.Objects = static_cast<long>(host->AllObjects().size());
  for (const tarvex::THandle h : host->ContainerObjects(board)) {
    const tarvex::Object* o = host->GetObject(h);
    if (!o) continue;
    if (o->Kind == tarvex::kNet) ++r.Nets;
    if (o->Kind != tarvex::kComponent) continue;
    ++r.Components;
    for (const tarvex::THandle p : o->Primitives)
      if (const tarvex::Object* pad = host->GetObject(p); pad && pad->Kind == tarvex::kPad && pad->Net != 0)
        ++r.PadsOnNets;
  }
  return r;
}

bool RunChild(const std::string& file, Result& result) {
  return bench::RunInChild([&] { return ImportOnce(file); }, result, kSecondsPerSize);
}

void PrintHeading() {
  std::printf("%10s %10s %12s %10s %10s %11s %10s %10s %10s %s\n", "components", "lines", "bytes", "objects",
              "nets", "pads on net", "seconds", "CPU s", "peak MiB", "result");
}

void PrintRow(int components, long long lines, long long bytes, const Result& r) {
  std::printf("%10d %10lld %12lld %10ld %10ld %11ld %10.3f %10.3f %10.1f %d\n", components, lines, bytes,
              r.Objects, r.Nets, r.PadsOnNets, r.Seconds, r.CpuSeconds, r.PeakKiB / 1024.0, r.Imported);
}

}  // namespace

int main(int argc, char** argv) {
  // The options dialog keeps its defaults in the application-data folder: a
  // folder of the benchmark's own unless the caller chose one.
  if (!std::getenv("PCBIMPORT_APPDATA")) {
    const std::string appData = "/tmp/vexal_bench_appdata_" + std::to_string(getpid());
    std::filesystem::create_directories(appData);
    setenv("PCBIMPORT_APPDATA", appData.c_str(), 1);
  }
  if (argc == 3 && std::string(argv[1]) == "--file") {
    Result r;
    if (!RunChild(argv[2], r)) return 1;
    PrintHeading();
    PrintRow(r.Components, 0, static_cast<long long>(std::filesystem::file_size(argv[2])), r);
    return 0;
  }
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  // The largest size is ten times the middle one: a linear import takes about
  // ten times as long for it.
  if (sizes.empty()) sizes = {1000, 10000, 100000};

  PrintHeading();
  std::vector<double> times, cpuTimes;
  for (int components : sizes) {
    const std::string file = "/tmp/vexal_bench_" + std::to_string(getpid()) + "_" +
                             std::to_string(components) + ".pcb";
    long long lines = 0;
    {
      std::ofstream out(file, std::ios::binary);
      vexalbench::BoardSize size;
      size.Components = components;
      lines = vexalbench::WriteVexalBoard(out, size).Lines;
    }
    const long long bytes = static_cast<long long>(std::filesystem::file_size(file));
    // Each size is imported kRuns times, each in a fresh process; the fastest
    // run counts, so that a moment of other work on the machine does not
    // decide the ratio of the sizes.
    Result r;
    bool ok = true;
    for (int run = 0; run < kRuns && ok; ++run) {
      Result once;
      ok = RunChild(file, once);
      if (ok && (run == 0 || once.Seconds < r.Seconds)) r = once;
    }
    std::remove(file.c_str());
    std::filesystem::path report(file);
    std::remove(report.replace_extension("rpt").c_str());
    if (!ok) {
      std::printf("%10d: the import did not finish (limit %u s per size)\n", components, kSecondsPerSize);
      return 1;
    }
    PrintRow(components, lines, bytes, r);
    std::fflush(stdout);
    times.push_back(r.Seconds);
    cpuTimes.push_back(r.CpuSeconds);
  }
  if (times.size() >= 3 && times[1] > 0 && cpuTimes[1] > 0) {
    const size_t last = times.size() - 1;
    std::printf("largest / middle size: time %.2f, CPU time %.2f (sizes %.1f times apart)\n", times[last] / times[1],
                cpuTimes[last] / cpuTimes[1], static_cast<double>(sizes[last]) / sizes[1]);
  }
  return 0;
}

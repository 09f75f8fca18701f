#!/usr/bin/env bash
# Builds the fuzz target of the whole read of a Vexal file with clang (libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer; the host module and the
# plug-in are built with coverage too) and runs it for the given number of
# seconds (default 60) on a copy of the seed corpus. Findings land in
# build-fuzz-vexal/read-findings/.
#   fuzz/vexal_run_read_fuzz.sh [SECONDS] [extra libFuzzer options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
dir="$top/build-fuzz-vexal"
CC=clang CXX=clang++ cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPCBIMPORT_SANITIZE=ON -DPCBIMPORT_TESTS=OFF -DPCBIMPORT_FUZZ_VEXAL=ON \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
ninja -C "$dir" -j 2 vexal_read_fuzz
mkdir -p "$dir/read-corpus" "$dir/read-findings"
cp -n "$top"/fuzz/vexal_read_corpus/* "$dir/read-corpus/" 2>/dev/null || true
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$dir/bin/vexal_read_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$dir/read-findings/" "$@" "$dir/read-corpus"

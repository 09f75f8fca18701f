#!/usr/bin/env bash
# Builds the Sarnovik import fuzz target with clang (libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer; the host module and the plug-in are built
# with coverage too) and runs it for the given number of seconds (default 60)
# on a copy of the seed corpus. Findings land in build-fuzz-sarnovik/findings/.
#   fuzz/sarnovik_run_import_fuzz.sh [SECONDS] [extra libFuzzer options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
dir="$top/build-fuzz-sarnovik"
CC=clang CXX=clang++ cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPCBIMPORT_SANITIZE=ON -DPCBIMPORT_TESTS=OFF -DPCBIMPORT_FUZZ_SARNOVIK=ON \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
ninja -C "$dir" -j 2 sarnovik_import_fuzz
mkdir -p "$dir/corpus" "$dir/findings"
cp -n "$top"/fuzz/sarnovik_corpus/* "$dir/corpus/" 2>/dev/null || true
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$dir/bin/sarnovik_import_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$dir/findings/" "$@" "$dir/corpus"

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. With CI set it also builds the whole
# tree with clang, runs the engine's, pretty printing's and the headless app models' tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, the engine's under ThreadSanitizer
# (under both the thread stress test runs for 20 seconds, 1 otherwise), and fuzzes the
# archive decoder, the start-up from a damaged state file, the CSV import and entry lines,
# half a minute each.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
export OPENBLAS_NUM_THREADS=1
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
(cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

if [ "${CI:-}" = "true" ] || [ "${ORVENDA_SANITIZERS:-}" = "1" ]; then
  echo "== the whole tree, screens, tests and benchmarks, built with clang"
  ORVENDA_BUILD_DIR="$root/build-clang" "$root/scripts/build.sh" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
  echo "== engine, pretty printing and the app models under AddressSanitizer and UndefinedBehaviorSanitizer"
  ORVENDA_BUILD_DIR="$root/build-asan" ORVENDA_BUILD_TYPE=Debug "$root/scripts/build.sh" \
    -DORVENDA_ENGINE_ONLY=OFF -DORVENDA_UI=OFF -DORVENDA_SANITIZE=ON -DORVENDA_BENCH=OFF
  (cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
     UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ORVENDA_STRESS_SECONDS=20 \
     ctest --output-on-failure -j "$jobs")
  echo "== engine under ThreadSanitizer"
  ORVENDA_BUILD_DIR="$root/build-tsan" ORVENDA_BUILD_TYPE=Debug "$root/scripts/build.sh" \
    -DORVENDA_ENGINE_ONLY=ON -DORVENDA_TSAN=ON -DORVENDA_BENCH=OFF
  (cd "$root/build-tsan" && TSAN_OPTIONS=halt_on_error=1 ORVENDA_STRESS_SECONDS=20 \
     ctest --output-on-failure -j "$jobs")
  seconds=${ORVENDA_FUZZ_SECONDS:-30}
  echo "== archive decoder, start-up from a damaged state file, CSV import and entry lines fuzzed for $seconds s each under AddressSanitizer and UndefinedBehaviorSanitizer"
  ORVENDA_BUILD_DIR="$root/build-fuzz" "$root/scripts/build.sh" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DORVENDA_ENGINE_ONLY=OFF -DORVENDA_SANITIZE=ON -DORVENDA_FUZZ=ON -DORVENDA_BENCH=OFF
  for fuzzer in orvenda-archive-fuzzer orvenda-state-fuzzer orvenda-csv-fuzzer orvenda-entry-fuzzer; do
    corpus=$(mktemp -d)
    # Entry lines start from their seeds and every case file, with their dictionary.
    seeds=()
    [ "$fuzzer" = orvenda-entry-fuzzer ] && seeds=(-dict="$root/tests/fuzz/entry-line.dict" \
      "$root/tests/fuzz/entry-line-seeds" "$root/tests/cases")
    ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      LSAN_OPTIONS=suppressions="$root/scripts/lsan-fuzz.supp":print_suppressions=0 QT_QPA_PLATFORM=offscreen \
      "$root/build-fuzz/tests/fuzz/$fuzzer" -max_total_time="$seconds" \
      -rss_limit_mb=2048 -max_len=2048 -len_control=0 -print_final_stats=1 "$corpus" "${seeds[@]}"
    rm -rf "$corpus"
  done
fi

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. With CI set it also runs the
# engine's, pretty printing's and the headless app models' tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the engine's under ThreadSanitizer (under both the thread
# stress test runs for 20 seconds, 1 otherwise), and fuzzes the archive decoder and the
# start-up from a damaged state file, half a minute each. Each stage says how long it took.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
export OPENBLAS_NUM_THREADS=1

# Wall-clock seconds and the CPU seconds (user + system) of everything a stage started.
cpu_file=$(mktemp)
trap 'rm -f "$cpu_file"' EXIT
cpu_ms() {
  awk 'NR == 2 { t = 0; for (i = 1; i <= 2; i++) { split($i, p, /[ms]/); t += p[1] * 60 + p[2] }
                 printf "%d\n", t * 1000 }' "$cpu_file"
}
stage() {
  local name=$1 start=$SECONDS cpu_start status=0
  shift
  # The builtin runs in this shell: a subshell's children would not be ours.
  times >"$cpu_file"; cpu_start=$(cpu_ms)
  "$@" || status=$?
  times >"$cpu_file"
  echo "== stage $name took $((SECONDS - start)) s (cpu $((($(cpu_ms) - cpu_start) / 1000)) s)"
  return $status
}

stage deps "$root/scripts/deps.sh"
stage build "$root/scripts/build.sh"
stage test bash -c "cd '$root/build' && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $jobs"

if [ "${CI:-}" = "true" ] || [ "${ORVENDA_SANITIZERS:-}" = "1" ]; then
  echo "== engine, pretty printing and the app models under AddressSanitizer and UndefinedBehaviorSanitizer"
  stage asan-build env ORVENDA_BUILD_DIR="$root/build-asan" ORVENDA_BUILD_TYPE=Debug "$root/scripts/build.sh" \
    -DORVENDA_ENGINE_ONLY=OFF -DORVENDA_UI=OFF -DORVENDA_SANITIZE=ON -DORVENDA_BENCH=OFF
  stage asan-test bash -c "cd '$root/build-asan' && ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
     UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ORVENDA_STRESS_SECONDS=20 \
     ctest --output-on-failure -j $jobs"
  echo "== engine under ThreadSanitizer"
  stage tsan-build env ORVENDA_BUILD_DIR="$root/build-tsan" ORVENDA_BUILD_TYPE=Debug "$root/scripts/build.sh" \
    -DORVENDA_ENGINE_ONLY=ON -DORVENDA_TSAN=ON -DORVENDA_BENCH=OFF
  stage tsan-test bash -c "cd '$root/build-tsan' && TSAN_OPTIONS=halt_on_error=1 ORVENDA_STRESS_SECONDS=20 \
     ctest --output-on-failure -j $jobs"
  seconds=${ORVENDA_FUZZ_SECONDS:-30}
  echo "== archive decoder and start-up from a damaged state file fuzzed for $seconds s each under AddressSanitizer and UndefinedBehaviorSanitizer"
  stage fuzz-build env ORVENDA_BUILD_DIR="$root/build-fuzz" "$root/scripts/build.sh" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DORVENDA_ENGINE_ONLY=OFF -DORVENDA_SANITIZE=ON -DORVENDA_FUZZ=ON -DORVENDA_BENCH=OFF
  fuzz() {
    local corpus status=0
    corpus=$(mktemp -d)
    ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      LSAN_OPTIONS=suppressions="$root/scripts/lsan-fuzz.supp":print_suppressions=0 QT_QPA_PLATFORM=offscreen \
      "$root/build-fuzz/tests/fuzz/$1" -max_total_time="$seconds" \
      -rss_limit_mb=2048 -max_len=2048 -len_control=0 -print_final_stats=1 "$corpus" || status=$?
    rm -rf "$corpus"
    return $status
  }
  for fuzzer in orvenda-archive-fuzzer orvenda-state-fuzzer; do
    stage "$fuzzer" fuzz "$fuzzer"
  done
fi

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. With CI set the optimised tree builds
# the app and runs the engine's tests and the case files (every test runs under the
# sanitizers below), and it also builds the tree
# (all but the benchmarks) with clang, runs every test executable (the engine's, the models' and every screen's)
# under AddressSanitizer and UndefinedBehaviorSanitizer, the engine's and the screens used
# while a program runs under ThreadSanitizer, also built with clang (under both the thread
# stress test runs for 20 seconds, 1 otherwise), and fuzzes the archive decoder, the
# start-up from a damaged state file, the CSV import, entry lines, the vector images' XML
# with the formula typesetter, program files, calculator variable files, the geometry
# app's figures, picture files for the graph's background and the hand-over message between
# launches, half a minute each; each tree's object files go once it is built. Each stage says
# how long it took.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# What the sanitizer stages build and run, by target: each test executable's tests carry its
# name as their label. The AddressSanitizer stage builds the whole tree and runs every test
# its build registered, whatever executable holds it: it lists them from the build, so a new
# one cannot be left out. The ThreadSanitizer stage builds and runs the targets named here.
tsan_tests=(orvenda_engine_tests orvenda_drive_stress_tests)
fuzzers=(orvenda-archive-fuzzer orvenda-state-fuzzer orvenda-csv-fuzzer orvenda-entry-fuzzer orvenda-image-fuzzer orvenda-program-fuzzer
  orvenda-tifile-fuzzer orvenda-geometry-fuzzer orvenda-notes-fuzzer orvenda-picture-fuzzer orvenda-handover-fuzzer)

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

# CI keeps of each tree only what its stages run: once a tree is built its object files,
# archives and precompiled headers go, as a clean clone's three trees with all their objects
# did not fit on CI's disk. A developer's build keeps them for the next incremental build.
prune() {
  if [ "${CI:-}" = "true" ]; then
    find "$1" -type f \( -name '*.o' -o -name '*.a' -o -name '*.gch' -o -name '*.pch' \) -delete
  fi
}

# run_tests DIR [TARGET...]: the tests built in DIR, only those of the targets named if any.
run_tests() {
  local dir=$1 labels
  shift
  labels=$(IFS='|'; echo "$*")
  (cd "$dir" && ctest --output-on-failure -j "$jobs" ${labels:+-L "^($labels)\$"})
}

stage deps "$root/scripts/deps.sh"

release=()
if [ "${CI:-}" = "true" ]; then
  # CI starts with an empty compiler cache, so every compile misses it, and with ccache each
  # miss took near half again the CPU time of the compile alone.
  export CCACHE_DISABLE=1
  # CI builds no benchmarks (they report figures, they test nothing; every developer's build
  # has them) and keeps only line tables for the debugger.
  release=(-DORVENDA_BENCH=OFF -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG")
fi
# CI runs every test under the sanitizers below. The optimised tree there builds the app and
# runs the engine's own tests and the case files, the answers as users' builds give them;
# the screens' and the driven tests, which the sanitizer stage runs, are not built twice.
plain_tests=() plain_targets=${ORVENDA_TARGETS:-}
if [ "${CI:-}" = "true" ]; then
  plain_tests=(orvenda_engine_tests orvenda-cases)
  plain_targets="orvenda ${plain_tests[*]}"
fi
ORVENDA_TARGETS="$plain_targets" stage build "$root/scripts/build.sh" "${release[@]}"
prune "$root/build"
stage test run_tests "$root/build" "${plain_tests[@]}"
if [ "${CI:-}" != "true" ] && [ "${ORVENDA_SANITIZERS:-}" != "1" ]; then
  exit 0
fi

echo "== the whole tree built with clang under AddressSanitizer and UndefinedBehaviorSanitizer; every test run there"
# One clang build serves three ends: it shows the tree (app, screens, tests) compiles with
# clang, and it builds these tests and the fuzzers (libFuzzer is clang's). A separate plain
# clang build compiled every library a second time for nothing. The benchmarks are left out:
# nothing runs them here, and their sanitized copies filled CI's disk.
ORVENDA_BUILD_DIR="$root/build-asan" ORVENDA_BUILD_TYPE=Debug \
  stage asan-build "$root/scripts/build.sh" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DORVENDA_SANITIZE=ON -DORVENDA_FUZZ=ON -DORVENDA_BENCH=OFF
prune "$root/build-asan"
# The screens' tests keep a QApplication until they exit, as the start-up fuzzer does.
# Every test executable the build registered with CTest, by the label its tests carry; a test
# that carries none would belong to no executable, and is refused rather than left out.
mapfile -t asan_tests < <(cd "$root/build-asan" && ctest --print-labels | sed -n 's/^  //p')
unlabelled=$(cd "$root/build-asan" && ctest -N -LE . | sed -n 's/^Total Tests: //p')
if [ "${unlabelled:-0}" -ne 0 ]; then
  echo "$unlabelled tests in build-asan carry no label (their executable's name):" >&2
  (cd "$root/build-asan" && ctest -N -LE . >&2)
  exit 1
fi
echo "== under the sanitizers, ${#asan_tests[@]} test executables: ${asan_tests[*]}"
ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ORVENDA_STRESS_SECONDS=20 \
  LSAN_OPTIONS=suppressions="$root/scripts/lsan.supp":print_suppressions=0 \
  stage asan-test run_tests "$root/build-asan" "${asan_tests[@]}"

echo "== engine and the screens used while a program runs under ThreadSanitizer"
# Built with clang too: GCC took twice its CPU time for the same objects.
ORVENDA_BUILD_DIR="$root/build-tsan" ORVENDA_BUILD_TYPE=Debug ORVENDA_TARGETS="${tsan_tests[*]}" \
  stage tsan-build "$root/scripts/build.sh" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DORVENDA_TSAN=ON -DORVENDA_BENCH=OFF
prune "$root/build-tsan"
TSAN_OPTIONS="halt_on_error=1 suppressions=$root/scripts/tsan.supp" ORVENDA_STRESS_SECONDS=20 stage tsan-test run_tests "$root/build-tsan" "${tsan_tests[@]}"

seconds=${ORVENDA_FUZZ_SECONDS:-30}
echo "== ${fuzzers[*]} fuzzed for $seconds s each, side by side, under AddressSanitizer and UndefinedBehaviorSanitizer"
fuzz() {
  local corpus status=0 seeds=()
  corpus=$(mktemp -d)
  # Entry lines start from their seeds and every case file, with their dictionary. Each input
  # runs much of the calculator, and libFuzzer's rare-feature bookkeeping (entropic) over
  # those features took a third of the time of every input: half a minute is too short for
  # that schedule to pay for itself.
  if [ "$1" = orvenda-entry-fuzzer ]; then
    seeds=(-entropic=0 -dict="$root/tests/fuzz/entry-line.dict" "$root/tests/fuzz/entry-line-seeds" "$root/tests/cases")
  fi
  # Program files start from a program, a file of an older version and a sample's JSON.
  if [ "$1" = orvenda-program-fuzzer ]; then
    seeds=("$root/tests/fuzz/program-seeds")
  fi
  # Calculator files start from files of every type, and entries without their file.
  if [ "$1" = orvenda-tifile-fuzzer ]; then
    seeds=("$root/tests/fuzz/tifile-seeds")
  fi
  # Notes pages start from notes and a page of HTML, with their dictionary.
  if [ "$1" = orvenda-notes-fuzzer ]; then
    seeds=(-dict="$root/tests/fuzz/notes.dict" "$root/tests/fuzz/notes-seeds")
  fi
  # Picture files start from small pictures of each raster format, an SVG naming itself and a
  # progressive JPEG whose few hundred bytes claim 30000 x 30000.
  if [ "$1" = orvenda-picture-fuzzer ]; then
    seeds=("$root/tests/fuzz/picture-seeds")
  fi
  # Images and formulas start from their seeds with their dictionary.
  if [ "$1" = orvenda-image-fuzzer ]; then
    seeds=(-dict="$root/tests/fuzz/image.dict" "$root/tests/fuzz/image-seeds")
  fi
  ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    LSAN_OPTIONS=suppressions="$root/scripts/lsan.supp":print_suppressions=0 \
    "$root/build-asan/tests/fuzz/$1" -max_total_time="$seconds" \
    -rss_limit_mb=2048 -max_len=2048 -len_control=0 -print_final_stats=1 "$corpus" "${seeds[@]}" || status=$?
  rm -rf "$corpus"
  return $status
}
logs=$(mktemp -d)
pids=()
for fuzzer in "${fuzzers[@]}"; do
  (stage "$fuzzer" fuzz "$fuzzer") >"$logs/$fuzzer" 2>&1 &
  pids+=($!)
done
failed=0
for i in "${!fuzzers[@]}"; do
  wait "${pids[$i]}" || failed=1
  cat "$logs/${fuzzers[$i]}"
done
rm -rf "$logs"
exit $failed

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. With CI set it also runs the
# engine's tests under AddressSanitizer and UndefinedBehaviorSanitizer, and under
# ThreadSanitizer; there the thread stress test runs for 20 seconds (1 otherwise).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
export OPENBLAS_NUM_THREADS=1
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
(cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

if [ "${CI:-}" = "true" ] || [ "${ORVENDA_SANITIZERS:-}" = "1" ]; then
  echo "== engine under AddressSanitizer and UndefinedBehaviorSanitizer"
  ORVENDA_BUILD_DIR="$root/build-asan" ORVENDA_BUILD_TYPE=Debug "$root/scripts/build.sh" \
    -DORVENDA_ENGINE_ONLY=ON -DORVENDA_SANITIZE=ON -DORVENDA_BENCH=OFF
  (cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
     UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ORVENDA_STRESS_SECONDS=20 \
     ctest --output-on-failure -j "$jobs")
  echo "== engine under ThreadSanitizer"
  ORVENDA_BUILD_DIR="$root/build-tsan" ORVENDA_BUILD_TYPE=Debug "$root/scripts/build.sh" \
    -DORVENDA_ENGINE_ONLY=ON -DORVENDA_TSAN=ON -DORVENDA_BENCH=OFF
  (cd "$root/build-tsan" && TSAN_OPTIONS=halt_on_error=1 ORVENDA_STRESS_SECONDS=20 \
     ctest --output-on-failure -j "$jobs")
fi

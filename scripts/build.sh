#!/usr/bin/env bash
# Configures and builds into build/ (or $ORVENDA_BUILD_DIR) with any extra CMake arguments given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${ORVENDA_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=${ORVENDA_BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
cmake --build "$dir"

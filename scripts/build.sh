#!/usr/bin/env bash
# Configures and builds into build/ (or $ORVENDA_BUILD_DIR) with any extra CMake arguments given;
# $ORVENDA_TARGETS names the targets to build (all of them when it is unset).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${ORVENDA_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=${ORVENDA_BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
# shellcheck disable=SC2086 # a list of target names
cmake --build "$dir" ${ORVENDA_TARGETS:+--target $ORVENDA_TARGETS}

#!/usr/bin/env bash
# Installs the Debian packages Orvenda builds and runs with. Quiet when all are present.
set -euo pipefail
packages=(
  build-essential cmake ninja-build ccache pkg-config
  clang libclang-rt-dev lld
  libgtest-dev libgmock-dev libbenchmark-dev
  liblapack-dev libblas-dev libopenblas-dev libopenblas-serial-dev liblapacke-dev
  nlohmann-json3-dev libplist-dev libboost-math-dev libmuparser-dev
  qt6-base-dev qt6-pdf-dev qt6-svg-dev
  fonts-liberation2 fonts-dejavu-core fonts-urw-base35 fonts-droid-fallback fonts-symbola locales
  # An app whose clock runs apart from its folder's, for the saving tests.
  libfaketime
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Number text must not follow the process locale; the tests check that under a German one.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true
fi

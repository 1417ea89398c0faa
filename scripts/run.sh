#!/usr/bin/env bash
# Installs what is missing, builds the app alone (not the tests and benchmarks) and starts
# Orvenda with any arguments given. ORVENDA_BUILD_DIR chooses the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${ORVENDA_BUILD_DIR:-$root/build}
"$root/scripts/deps.sh"
# The configure step's report is kept and shown when it fails, so the reason is seen.
log=$(mktemp)
if ! cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${ORVENDA_BUILD_TYPE:-RelWithDebInfo}" >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  echo "run.sh: configuring the build failed; the reason is above (the full log: $dir/CMakeFiles/CMakeOutput.log)" >&2
  exit 1
fi
rm -f "$log"
cmake --build "$dir" --target orvenda
# The app is a desktop window: without a display it cannot start.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<MSG
run.sh: Orvenda is built ($dir/orvenda) but needs a desktop session to show its window, and
none is open here (neither DISPLAY nor WAYLAND_DISPLAY is set). Start it from a desktop, or
under a virtual display (xvfb-run $dir/orvenda), or drive it without a display:
  cmake --build "$dir" --target orvenda-drive
  printf 'type 2+3\nkey ENTER\nwait idle\ndump\nshot s.png\n' > s.txt && "$dir/tests/drive/orvenda-drive" s.txt
MSG
  exit 1
fi
exec "$dir/orvenda" "$@"

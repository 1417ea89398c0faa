#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orvenda.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
exec "$root/build/orvenda" "$@"

#!/usr/bin/env bash
# Configures and builds into build/ (or $PROMO_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
build=${PROMO_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja ${PROMO_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"

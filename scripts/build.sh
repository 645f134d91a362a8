#!/usr/bin/env bash
# Configures and builds into build/ (or $PROMO_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
build=${PROMO_BUILD_DIR:-$root/build}
launcher=()
# ccache, where installed, makes rebuilds of other checkouts cheap.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja "${launcher[@]}" ${PROMO_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"

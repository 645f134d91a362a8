#!/usr/bin/env bash
# The whole test suite: install what is missing, build, start a private
# PostgreSQL (a ctest fixture does that) and run every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
build=${PROMO_BUILD_DIR:-$root/build}
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"

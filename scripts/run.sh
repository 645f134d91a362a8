#!/usr/bin/env bash
# Builds and runs promo on its embedded database (created with demo data on
# first run). Extra arguments go to promo, e.g. --db "host=... dbname=..." or
# --debug. Only the program is built; with nothing changed that is a moment.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" promo
build=${PROMO_BUILD_DIR:-$root/build}
exec "$build/host/promo" "$@"

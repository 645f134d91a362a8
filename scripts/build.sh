#!/usr/bin/env bash
# Configures and builds into build/ (or $PROMO_BUILD_DIR); arguments name the
# targets to build (default: all).
#
# The package check and the cmake configuration are skipped while what they
# depend on is unchanged: the package list, the installed packages and the
# cmake options, remembered in a stamp in the build folder. A changed
# CMakeLists.txt needs no stamp: Ninja runs cmake again by itself. The build
# always runs, so a changed source is rebuilt; with nothing to do it costs
# Ninja's look at the files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PROMO_BUILD_DIR:-$root/build}
launcher=()
# ccache, where installed, makes rebuilds of other checkouts cheap.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

stamp="$build/.configure-stamp"
inputs=$({
  cat "$root/scripts/deps.sh"
  echo "${launcher[*]} ${PROMO_CMAKE_ARGS:-}"
  stat -c '%Y %s' /var/lib/dpkg/status 2>/dev/null || true
} | sha1sum)
if [[ ! -f "$build/build.ninja" || ! -f "$stamp" || "$(cat "$stamp")" != "$inputs" ]]; then
  bash "$root/scripts/deps.sh"
  cmake -S "$root" -B "$build" -G Ninja "${launcher[@]}" ${PROMO_CMAKE_ARGS:-} >/dev/null
  echo "$inputs" > "$stamp"
fi
ninja -C "$build" "$@"

#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need;
# `deps.sh fuzz` adds what the fuzz targets need (scripts/fuzz.sh).
# As root it runs apt-get; otherwise it names what is missing and stops.
set -euo pipefail
pkgs=(g++ cmake ninja-build pkg-config qt6-base-dev libpq-dev postgresql
      qt6-qpa-plugins libfreexl-dev libgtest-dev libgmock-dev libbenchmark-dev poppler-utils
      libspreadsheet-writeexcel-perl fonts-dejavu-core qt6-translations-l10n
      libzip-dev libexcel-writer-xlsx-perl libxcb1-dev)
if [[ ${1:-} == fuzz ]]; then
  # clang with libFuzzer and the sanitizer runtimes; llvm-14 for the
  # symbolizer that puts file and line into crash reports.
  pkgs+=(clang libclang-rt-14-dev llvm-14)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0
if [[ $(id -u) -ne 0 ]]; then
  echo "Mancano i pacchetti: ${missing[*]}" >&2
  echo "Installarli come root: apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "Installazione pacchetti: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

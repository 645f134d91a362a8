#!/usr/bin/env bash
# Runs the benchmarks: a private cluster with the schema for bench_db, the
# offscreen platform for bench_grid, bench_loadtable, bench_report and
# bench_workbook. Prints each benchmark's ratio.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
build=${PROMO_BUILD_DIR:-$root/build}
dir=$build/benchpg
sock=$("$root/scripts/pgcluster.sh" --volatile start "$dir")
trap '"$root/scripts/pgcluster.sh" stop "$dir"' EXIT
psql=(psql -X -q -v ON_ERROR_STOP=1 -h "$sock" -U promo)
"${psql[@]}" -d postgres -c "DROP DATABASE IF EXISTS promo_bench" -c "CREATE DATABASE promo_bench"
"${psql[@]}" -d promo_bench -f "$root/db/schema.sql" >/dev/null
"$build/bench/bench_db" --db "host=$sock user=promo dbname=promo_bench"
if [[ -x $build/bench/bench_grid ]]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/bench_grid"
fi
if [[ -x $build/bench/bench_loadtable ]]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/bench_loadtable" --db "host=$sock user=promo dbname=promo_bench"
fi
if [[ -x $build/bench/bench_sellin ]]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/bench_sellin" --db "host=$sock user=promo dbname=promo_bench"
fi
if [[ -x $build/bench/bench_sellin_import ]]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/bench_sellin_import" --db "host=$sock user=promo dbname=promo_bench"
fi
if [[ -x $build/bench/bench_trova ]]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/bench_trova"
fi
if [[ -x $build/bench/bench_report ]]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/bench_report" --db "host=$sock user=promo dbname=promo_bench"
fi
if [[ -x $build/bench/bench_workbook ]]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/bench_workbook" --db "host=$sock user=promo dbname=promo_bench"
fi
if [[ -x $build/bench/bench_incentivi ]]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/bench_incentivi" --db "host=$sock user=promo dbname=promo_bench"
fi
if [[ -x $build/bench/bench_analisi ]]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/bench_analisi" --db "host=$sock user=promo dbname=promo_bench"
fi

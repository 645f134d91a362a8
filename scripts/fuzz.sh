#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (ASan + UBSan) into
# build-fuzz/ (or $PROMO_FUZZ_BUILD_DIR) and runs each for SECONDS.
#   fuzz.sh SECONDS [TARGET...]     all targets when none is named
# Extra libFuzzer options go in PROMO_FUZZ_ARGS (e.g. "-runs=1000000").
# A target's own flags are in fuzz/<target>.options (one a line, # comments).
# Seeds are read from fuzz/corpus/<target>/; what the runs add goes to
# build-fuzz/corpus/<target>/, crashes to build-fuzz/crashes/. Exits non-zero
# when a target crashed or failed a check.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
secs=${1:?uso: fuzz.sh SECONDI [TARGET...]}
shift
bash "$root/scripts/deps.sh" fuzz
build=${PROMO_FUZZ_BUILD_DIR:-$root/build-fuzz}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CXX=clang++ CC=clang cmake -S "$root" -B "$build" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPROMO_FUZZ=ON -DBUILD_TESTING=OFF -DPROMO_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_all -j"$(nproc)"

targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  for t in "$build"/fuzz/fuzz_*; do [[ -x $t ]] && targets+=("$(basename "$t")"); done
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
[[ -x /usr/lib/llvm-14/bin/llvm-symbolizer ]] && export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
export QT_QPA_PLATFORM=offscreen
mkdir -p "$build/crashes" "$build/logs"
failed=()
printf '%-24s %12s %10s %8s\n' target executions exec/s result
for t in "${targets[@]}"; do
  seeds=$root/fuzz/corpus/$t
  work=$build/corpus/$t
  mkdir -p "$work" "$seeds"
  log=$build/logs/$t.log
  # fuzz/<target>.options: the target's own libFuzzer flags, one a line.
  opts=()
  [[ -f $root/fuzz/$t.options ]] && mapfile -t opts < <(grep -v '^#' "$root/fuzz/$t.options" | grep .)
  status=0
  # Quiet runs: the log keeps libFuzzer's own report.
  "$build/fuzz/$t" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$t-" "${opts[@]}" ${PROMO_FUZZ_ARGS:-} "$work" "$seeds" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  if [[ $status -eq 0 ]]; then result=ok; else result=CRASH; failed+=("$t"); fi
  printf '%-24s %12s %10s %8s\n' "$t" "${runs:-?}" "${rate:-?}" "$result"
  if [[ $status -ne 0 ]]; then grep -m1 -B2 -A30 -E 'ERROR|check failed|runtime error|deadly signal' "$log" || tail -40 "$log"; fi
done
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzz: crash in ${failed[*]} (input in $build/crashes/, log in $build/logs/)" >&2
  exit 1
fi
echo "fuzz: ${#targets[@]} targets, no crash"

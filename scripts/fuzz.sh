#!/usr/bin/env bash
# The fuzzing campaign: builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and
# UBSan) in build-fuzz/ and runs each for a number of executions, seeded from
# tests/data/fuzz/<target>/. Not part of scripts/test.sh: a full campaign takes hours.
#
#   scripts/fuzz.sh [-runs=N] [-max_len=BYTES] [-max_total_time=S] [--no-build | --build-only]
#                   [TARGET...]
#
# TARGET is a name without "fuzz_" (lrc, karaoke, ...); none means every target. N defaults to
# 10,000,000 (or $FUZZ_RUNS), BYTES (the largest input tried) to 1024 (or $FUZZ_MAX_LEN): every
# parser's rules show in inputs that size, and longer ones only slow the runs down. S, when
# given (or $FUZZ_MAX_SECONDS), ends each target's run after that many seconds even if it has
# not reached N executions; the table then shows how far it came. Per target it prints executions, seconds and executions per second.
# Exits non-zero when a target crashed, leaked, timed out or went over its memory limit; the
# input is kept as build-fuzz/artifacts/<target>-crash-... (or leak-, timeout-, oom-).
set -euo pipefail
cd "$(dirname "$0")/.."

runs="${FUZZ_RUNS:-10000000}"
max_len="${FUZZ_MAX_LEN:-1024}"
max_seconds="${FUZZ_MAX_SECONDS:-0}"
build=1
run=1
targets=()
for arg in "$@"; do
  case "$arg" in
    -runs=*) runs="${arg#-runs=}" ;;
    -max_len=*) max_len="${arg#-max_len=}" ;;
    -max_total_time=*) max_seconds="${arg#-max_total_time=}" ;;
    --no-build) build=0 ;;
    --build-only) run=0 ;;
    -*) echo "fuzz.sh: unknown option $arg" >&2; exit 2 ;;
    *) targets+=("$arg") ;;
  esac
done

dir=build-fuzz
if [ "$build" = 1 ]; then
  # Debian's clang with its libFuzzer runtime; everything else comes from install-deps.sh.
  if ! command -v clang++ >/dev/null 2>&1 || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    apt-get install -y clang libclang-rt-14-dev
  fi
  export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/quillo-ccache}"
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true CCACHE_MAXSIZE=5G
  mkdir -p "$dir"
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLO_FUZZ=ON -DQUILLO_BUILD_TESTS=OFF -DQUILLO_BUILD_BENCH=OFF -DQUILLO_BUILD_GUI=OFF \
    > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
  ninja -C "$dir" -j "${FUZZ_JOBS:-$(nproc)}" fuzz_all
fi
[ "$run" = 1 ] || exit 0

if [ "${#targets[@]}" -eq 0 ]; then
  for binary in "$dir"/fuzz/fuzz_*; do targets+=("${binary##*/fuzz_}"); done
fi

# Time-outs and memory limits per input: no parser needs more than a fraction of either.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
mkdir -p "$dir/corpus" "$dir/artifacts" "$dir/logs"
failed=0
printf '%-10s %12s %9s %9s  %s\n' target executions seconds exec/s result
for target in "${targets[@]}"; do
  binary="$dir/fuzz/fuzz_$target"
  if [ ! -x "$binary" ]; then echo "fuzz.sh: no target $target" >&2; failed=1; continue; fi
  seeds="tests/data/fuzz/$target"
  corpus="$dir/corpus/$target"
  log="$dir/logs/$target.log"
  mkdir -p "$corpus"
  start=$(date +%s.%N)
  status=0
  nice -n 19 "$binary" -runs="$runs" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
    -max_total_time="$max_seconds" -print_final_stats=1 -artifact_prefix="$dir/artifacts/$target-" \
    "$corpus" $( [ -d "$seeds" ] && echo "$seeds" ) > "$log" 2>&1 || status=$?
  end=$(date +%s.%N)
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.0f", b - a }')
  rate=$(awk -v n="${executions:-0}" -v s="$seconds" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }')
  result=ok
  if [ "${executions:-0}" -lt "$runs" ]; then result="ok, time limit before $runs runs"; fi
  if [ "$status" != 0 ]; then
    result="FAILED ($(grep -m1 -oE 'ERROR: [A-Za-z]+: [a-z-]+|ERROR: libFuzzer: [a-z-]+|runtime error|check failed' "$log" || echo "exit $status")), see $log"
    failed=1
  fi
  printf '%-10s %12s %9s %9s  %s\n' "$target" "${executions:-?}" "$seconds" "$rate" "$result"
done
exit "$failed"

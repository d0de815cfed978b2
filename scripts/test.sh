#!/usr/bin/env bash
# Installs every dependency, builds the program and its tests twice (optimised, and with
# AddressSanitizer/UBSan), and runs every test. Windowed tests run under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/quillo-ccache}"
export CCACHE_MAXSIZE=5G

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
  ninja -C "$dir" -j "$jobs"
  # One X server for the windowed tests of this run.
  if command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$dir" --output-on-failure -j "$jobs"
  else
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
  fi
}

mkdir -p build-ci build-ci-asan
run_suite build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_BUILD_BENCH=ON
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-ci-asan -DCMAKE_BUILD_TYPE=Debug -DQUILLO_SANITIZE=ON -DQUILLO_BUILD_BENCH=OFF

#!/usr/bin/env bash
# Installs every dependency, builds the program and its tests twice (optimised, and with
# AddressSanitizer/UBSan), and runs every test. Windowed tests run under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/quillo-ccache}"
export CCACHE_MAXSIZE=5G
# Paths below the checkout are hashed relative to it, and the build folder's own path is left
# out of the hash of objects with debug information, so another clone reuses the cache.
export CCACHE_BASEDIR="$PWD"
export CCACHE_NOHASHDIR=true

# Windowed tests share one X server for the run (they use the DISPLAY they are given).
with_display() {
  if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  else
    "$@"
  fi
}

build_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
  ninja -C "$dir" -j "$jobs"
}

mkdir -p build-ci build-ci-asan
build_suite build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_BUILD_BENCH=ON
with_display ctest --test-dir build-ci --output-on-failure -j "$jobs"

# The sanitizer run checks leaks everywhere but in the windowed tests, where GTK and
# fontconfig keep caches for the life of the process.
build_suite build-ci-asan -DCMAKE_BUILD_TYPE=Debug -DQUILLO_SANITIZE=ON -DQUILLO_BUILD_BENCH=OFF
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
lsan_supp="$PWD/tests/lsan.supp"
[ -f "$lsan_supp" ] && export LSAN_OPTIONS="suppressions=$lsan_supp:print_suppressions=0"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  with_display ctest --test-dir build-ci-asan --output-on-failure -j "$jobs" -LE gui
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
  with_display ctest --test-dir build-ci-asan --output-on-failure -j "$jobs" -L gui

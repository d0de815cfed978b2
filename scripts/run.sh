#!/usr/bin/env bash
# Installs every dependency, builds the program and starts it with the arguments given.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_BUILD_TESTS=OFF \
  -DQUILLO_BUILD_BENCH=OFF > build.configure.log 2>&1 || { cat build.configure.log; exit 1; }
# The embedded service's program is built with it when the tree has it. (A query, not a grep over
# the target list: grep -q ends the pipe early, and pipefail then hid the service.)
targets=(quillo quillo-tool)
if ninja -C build -t query quillo-service > /dev/null 2>&1; then targets+=(quillo-service); fi
ninja -C build "${targets[@]}"
exec build/app/quillo "$@"

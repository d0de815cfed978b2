#!/usr/bin/env bash
# Builds and runs every benchmark (optimised build); figures go to standard output.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLO_BUILD_TESTS=OFF > /dev/null
ninja -C build-bench
for bench in $(find build-bench/bench -type f -executable -name '*_bench' | sort); do
  echo "== $bench"
  "$bench"
done

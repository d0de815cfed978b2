#!/usr/bin/env bash
# Installs every dependency, builds the program and starts it with the arguments given.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_BUILD_TESTS=OFF \
  -DQUILLO_BUILD_BENCH=OFF > build.configure.log 2>&1 || { cat build.configure.log; exit 1; }
ninja -C build quillo quillo-tool $(ninja -C build -t targets all 2>/dev/null | grep -q '^quillo-service:' && echo quillo-service)
exec build/app/quillo "$@"

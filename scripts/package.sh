#!/usr/bin/env bash
# Builds the Debian package from a clean build folder, build-package/: the programs (no tests, no
# benchmarks) configured for /usr, installed stripped, their library dependencies found by
# dpkg-shlibdeps. Prints the package's path and size.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/quillo-ccache}"
export CCACHE_MAXSIZE=5G
export CCACHE_BASEDIR="$PWD"
export CCACHE_NOHASHDIR=true

dir=build-package
rm -rf "$dir"
mkdir -p "$dir"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUILLO_BUILD_TESTS=OFF -DQUILLO_BUILD_BENCH=OFF > "$dir/configure.log" 2>&1 ||
  { cat "$dir/configure.log"; exit 1; }
ninja -C "$dir" -j "$(nproc)"
(cd "$dir" && cpack -G DEB > cpack.log 2>&1) || { cat "$dir/cpack.log"; exit 1; }

package=$(ls "$dir"/quillo_*.deb)
echo "$package: $(du -h "$package" | cut -f1)"
dpkg-deb --field "$package" Package Version Architecture Depends Installed-Size

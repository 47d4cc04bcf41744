#!/usr/bin/env bash
# Builds the Debian package miv_<version>_<arch>.deb and prints its path.
#   scripts/package.sh [--no-setup] [BUILD_DIR]   (default build/package)
# Installs what is missing first (scripts/setup.sh --package) unless --no-setup, and
# checks the package with lintian.
# docs/packaging.md says how the package is made and checked.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
setup=1
if [ "${1:-}" = "--no-setup" ]; then
  setup=0
  shift
fi
dir=$(realpath -m "${1:-$top/build/package}")
[ $setup -eq 0 ] || bash "$top/scripts/setup.sh" --package >&2

# Debian's hardening and optimisation flags, as dpkg-buildpackage would pass them, from
# the source's top so that -ffile-prefix-map takes the paths out of the binaries. The
# binaries are stripped, so no debugging information is made. CMake reads CXXFLAGS and
# LDFLAGS but not CPPFLAGS (-D_FORTIFY_SOURCE).
cd "$top"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g
eval "$(dpkg-buildflags --export=sh)"
export CXXFLAGS="$CXXFLAGS $CPPFLAGS"

cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIV_SANITIZE=OFF -DMIV_BUILD_TESTS=OFF \
  -DMIV_BUILD_BENCH=OFF >&2
cmake --build "$dir" --parallel "$(nproc)" >&2
rm -f "$dir"/miv_*.deb
cpack --config "$dir/CPackConfig.cmake" -B "$dir" >&2
deb=$(ls "$dir"/miv_*.deb)

# Debian's own checks: an error fails the build; docs/packaging.md explains the tags
# that remain.
if command -v lintian >/dev/null; then
  lintian --fail-on error --pedantic "$deb" >&2
else
  echo "package.sh: lintian is not installed (scripts/setup.sh --package): not checked" >&2
fi
echo "$deb"

#!/usr/bin/env bash
# Configures and builds one flavour of MIV: "release" (the program) or "test"
# (AddressSanitizer + UBSan, tests and benchmarks). Prints the build directory.
set -euo pipefail
flavour=${1:-release}
top=$(cd "$(dirname "$0")/.." && pwd)
case "$flavour" in
  release) args=(-DCMAKE_BUILD_TYPE=Release -DMIV_SANITIZE=OFF) ;;
  test)    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIV_SANITIZE=ON) ;;
  *) echo "usage: $0 [release|test]" >&2; exit 2 ;;
esac
dir="$top/build/$flavour"
cmake -S "$top" -B "$dir" -G Ninja "${args[@]}" >&2
cmake --build "$dir" --parallel "$(nproc)" >&2
echo "$dir"

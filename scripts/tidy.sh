#!/usr/bin/env bash
# Checks the naming convention (CONTRIBUTING.md) with clang-tidy over every source of a
# configured build: scripts/tidy.sh [BUILD_DIR] [FILE_REGEX]. Exits non-zero on a finding.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build/test}
filter=${2:-$top/(src|tests|bench)/}
out=$(run-clang-tidy -p "$dir" -quiet -j "$(nproc)" -extra-arg=-Wno-unknown-warning-option "$filter" 2>&1) || {
    printf '%s\n' "$out" | grep -E -A3 'error:' | grep -v -E '^(--|[0-9]+ warnings)' | head -200
    exit 1
}

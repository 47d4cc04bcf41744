#!/usr/bin/env bash
# Installs what is missing, builds the sanitizer build and runs the whole test suite.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/setup.sh"
dir=$(bash "$here/build.sh" test)
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 900

#!/usr/bin/env bash
# Installs what is missing, builds MIV and starts the window. Arguments go to miv.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/setup.sh"
dir=$(bash "$here/build.sh" release)
exec "$dir/src/app/miv" "$@"

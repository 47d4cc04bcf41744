#!/usr/bin/env bash
# The published sensitivity sweep: every receive step of docs/performance.md over its
# SNR grid, in parallel over the cores (13 minutes on the two cores), then the
# ideal receiver's curves and the plots. Writes docs/performance/: sweep.csv,
# trials.csv, summary.md, ideal.csv, ideal-summary.txt and the PNG plots. Extra
# arguments go to miv_sweep.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir="$top/build/release"
out="$top/docs/performance"
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIV_SANITIZE=OFF >/dev/null
cmake --build "$dir" --target miv_sweep_tool miv_ideal --parallel 2 >/dev/null
mkdir -p "$out"
time "$dir/bench/sweep/miv_sweep" --seed 1 -o "$out/sweep.csv" --trials-csv "$out/trials.csv" \
  --summary "$out/summary.md" "$@"
"$dir/bench/sweep/miv_ideal" >"$out/ideal.csv" 2>"$out/ideal-summary.txt"
cat "$out/ideal-summary.txt"
if command -v gnuplot >/dev/null; then
  bash "$top/scripts/plot-performance.sh"
else
  echo "gnuplot is missing (scripts/setup.sh --docs): no plots drawn" >&2
fi

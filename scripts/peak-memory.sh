#!/usr/bin/env bash
# Peak resident memory of `miv-cli rx` in each receive step, decoding a short message
# received at -10 dB (GNU time's "Maximum resident set size"). Prints a Markdown table.
# Needs the `time` package (scripts/setup.sh --docs).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir="$top/build/release"
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIV_SANITIZE=OFF >/dev/null
cmake --build "$dir" --target miv-cli --parallel 2 >/dev/null
cli="$dir/src/app/miv-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name | transmitter options | receiver options
steps=(
  "HF 2250 Hz, 16 baud|--bw 2250 --baud 16|--bw 2250 --baud 16 --auto off"
  "HF 500 Hz, 16 baud|--bw 500 --baud 16|--bw 500 --baud 16 --auto off"
  "HF 2250 Hz, 1 baud|--bw 2250 --baud 1|--bw 2250 --baud 1 --auto off"
  "HF 500 Hz, 1 baud|--bw 500 --baud 1|--bw 500 --baud 1 --auto off"
  "HF 2250 Hz, auto-baud|--bw 2250 --baud 16|--bw 2250 --auto on"
  "HF 500 Hz, auto-baud|--bw 500 --baud 16|--bw 500 --auto on"
  "EME, narrow range|--channel eme --baud 1|--channel eme --afc narrow"
  "EME, wide range|--channel eme --baud 1|--channel eme --afc wide"
)
echo "| receive step | peak resident memory |"
echo "| --- | ---: |"
for step in "${steps[@]}"; do
  IFS='|' read -r name txopts rxopts <<<"$step"
  # shellcheck disable=SC2086
  "$cli" tx $txopts --utc 12:00 --text "73 de ON4ZZ" -o "$work/tx.wav" 2>/dev/null
  "$cli" channel --snr -10 --freq-offset 20 --seed 1 "$work/tx.wav" -o "$work/rx.wav" 2>/dev/null
  # shellcheck disable=SC2086
  /usr/bin/time -v "$cli" rx $rxopts --utc 12:00 "$work/rx.wav" >"$work/text" 2>"$work/time"
  grep -q "73 DE ON4ZZ\|73 de ON4ZZ" "$work/text" || { echo "$name: message not decoded" >&2; exit 1; }
  kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time")
  awk -v name="$name" -v kb="$kb" 'BEGIN { printf "| %s | %.1f MB |\n", name, kb / 1000 }'
done

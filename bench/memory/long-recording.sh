#!/usr/bin/env bash
# Peak resident memory (GNU time's "Maximum resident set size") and wall time of
# `miv-cli tx`, `channel` and `rx` over a two-hour transmission: the commands stream, so
# memory must not grow with the length. Prints a Markdown table. Needs the `time` package
# (scripts/setup.sh --docs) and about 2 GB free in $TMPDIR.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
dir="$top/build/release"
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIV_SANITIZE=OFF >/dev/null
cmake --build "$dir" --target miv-cli --parallel 2 >/dev/null
cli="$dir/src/app/miv-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 2250 Hz at 16 baud sends about 325 characters of typed text a minute: 39 000 make two hours.
minutes=${MINUTES:-120}
words="cq cq de ea4xyz ea4xyz pse k tnx fer the call name is marta qth madrid rst 579 73 "
: >"$work/text.txt"
while [ "$(wc -c <"$work/text.txt")" -lt $((minutes * 325)) ]; do
  printf '%s' "$words" >>"$work/text.txt"
done
head -c $((minutes * 325)) "$work/text.txt" >"$work/text.cut" && mv "$work/text.cut" "$work/text.txt"

measure() {  # name, then the command
  local name=$1
  shift
  /usr/bin/time -v "$@" >"$work/out" 2>"$work/time"
  local kb seconds
  kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time")
  seconds=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time")
  awk -v name="$name" -v kb="$kb" -v t="$seconds" 'BEGIN { printf "| %s | %.1f MB | %s |\n", name, kb / 1000, t }'
}

echo "| command | peak resident memory | wall time |"
echo "| --- | ---: | ---: |"
measure "tx, $minutes min to WAV" "$cli" tx --utc 12:00 --text-file "$work/text.txt" -o "$work/tx.wav"
audio=$(awk -v b="$(stat -c %s "$work/tx.wav")" 'BEGIN { printf "%.1f", (b - 80) / 96000 / 60 }')
measure "channel, offset and noise" "$cli" channel --snr 10 --freq-offset 20 --seed 1 "$work/tx.wav" -o "$work/rx.wav"
measure "channel, moderate fading" "$cli" channel --snr 10 --fading moderate --seed 1 "$work/tx.wav" -o "$work/faded.wav"
rm -f "$work/faded.wav"
measure "rx" "$cli" rx --utc 12:00 "$work/rx.wav"
echo
echo "Audio: $audio minutes."

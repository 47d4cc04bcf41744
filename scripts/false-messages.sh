#!/usr/bin/env bash
# How often the receiver shows a message that nobody sent: every receive step listens
# to HOURS hours (default 2) of white Gaussian noise, each step its own noise, and the
# messages it shows are counted. Usage: scripts/false-messages.sh [HOURS] [DECODER]
set -euo pipefail
hours=${1:-2}
decoder=${2:-deep}
top=$(cd "$(dirname "$0")/.." && pwd)
cli="$top/build/release/src/app/miv-cli"
[ -x "$cli" ] || bash "$top/scripts/build.sh" release >/dev/null
noise() {  # seconds seed: raw 48 kHz 16-bit mono, sigma 3000
  /usr/bin/python3 - "$1" "$2" <<'PY'
import sys, numpy as np
seconds, seed = int(sys.argv[1]), int(sys.argv[2])
rng = np.random.default_rng(seed)
out = sys.stdout.buffer
for _ in range(seconds // 60):
    out.write(np.clip(np.rint(rng.normal(0, 3000, 48000 * 60)), -32768, 32767).astype('<i2').tobytes())
PY
}
seconds=$((hours * 3600))
seed=0
echo "| receive step | hours of noise | messages shown |"
echo "| --- | ---: | ---: |"
while read -r name args; do
  seed=$((seed + 1))
  # shellcheck disable=SC2086
  shown=$(noise "$seconds" "$seed" | "$cli" rx --decoder "$decoder" --utc 12:00 $args - | grep -c "RX: " || true)
  echo "| $name | $hours | $shown |"
done <<'STEPS'
HF-2250-16-baud --bw 2250 --baud 16 --auto off --afc wide
HF-500-16-baud --bw 500 --baud 16 --auto off --afc wide
HF-2250-1-baud --bw 2250 --baud 1 --auto off --afc wide
HF-500-1-baud --bw 500 --baud 1 --auto off --afc wide
HF-2250-auto --bw 2250 --auto on --afc wide
HF-500-auto --bw 500 --auto on --afc wide
EME-narrow --channel eme --afc narrow
EME-wide --channel eme --afc wide
STEPS

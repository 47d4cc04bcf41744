#!/usr/bin/env bash
# Draws the sensitivity plots of docs/performance.md from the sweep's CSV with gnuplot
# (scripts/setup.sh --docs installs it).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/docs/performance"
csv="$out/sweep.csv"

plot() {  # column, y label, file, extra settings
  gnuplot <<GNUPLOT
set datafile separator ","
set terminal pngcairo size 900,560 font "DejaVu Sans,11"
set output "$out/$3"
set grid
set key outside right
set xlabel "SNR in 2500 Hz (dB)"
set ylabel "$2"
$4
modes = "hf2250x16 hf500x16 hf2250x1 hf500x1 eme-narrow eme-wide"
titles = "'HF 2250 Hz, 16 baud' 'HF 500 Hz, 16 baud' 'HF 2250 Hz, 1 baud' 'HF 500 Hz, 1 baud' 'EME narrow' 'EME wide'"
plot for [i=1:words(modes)] "$csv" using (strcol(1) eq word(modes, i) ? \$4 : NaN):(\$$1) \
  with linespoints lw 2 pt 7 ps 0.8 title word(titles, i)
GNUPLOT
}

plot 7 "messages copied (CER under 10 %)" copied.png "set yrange [0:1]; set format y '%.0f%%'; set ytics ('0 %%' 0, '25 %%' 0.25, '50 %%' 0.5, '75 %%' 0.75, '100 %%' 1)"
plot 10 "mean character error rate" cer.png "set logscale y; set yrange [0.001:1]"
plot 6 "messages acquired" acquired.png "set yrange [0:1]"
plot 9 "messages ending in <STOP>" stopped.png "set yrange [0:1]"

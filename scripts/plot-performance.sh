#!/usr/bin/env bash
# Draws the sensitivity plots of docs/performance.md from the sweep's CSV with gnuplot
# (scripts/setup.sh --docs installs it): for the 16-baud steps and for the 1-baud and
# EME steps, the share of messages copied, the mean character error rate, and the
# shares acquired and ended with " <STOP>".
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/docs/performance"
csv="$out/sweep.csv"

# plot FILE MODES TITLES "X RANGE" "Y LABEL" Y-SETTINGS COLUMNS SUFFIXES
# (MODES, TITLES, COLUMNS and SUFFIXES are gnuplot array literals)
plot() {
  gnuplot <<GNUPLOT
set datafile separator ","
set terminal pngcairo size 820,500 font "DejaVu Sans,11" noenhanced
set output "$out/$1"
set grid
set key bottom right
set xlabel "SNR in 2500 Hz (dB)"
set ylabel "$5"
set xrange [$4]
$6
array modes = $2
array titles = $3
array columns = $7
array suffixes = $8
plot for [c=1:|columns|] for [i=1:|modes|] "$csv" \
  using (strcol(1) eq modes[i] ? \$4 : NaN):(column(columns[c])) \
  with linespoints lw 2 pt 7 ps 0.7 dt c lc i title titles[i] . suffixes[c]
GNUPLOT
}

fast='["hf2250x16", "hf500x16"]'
fastTitles='["2250 Hz", "500 Hz"]'
slow='["hf2250x1", "hf500x1", "eme-narrow", "eme-wide"]'
slowTitles='["HF 2250 Hz", "HF 500 Hz", "EME narrow", "EME wide"]'
share="set yrange [0:1]; set ytics ('0 %%' 0, '25 %%' 0.25, '50 %%' 0.5, '75 %%' 0.75, '100 %%' 1)"
cer="set logscale y; set yrange [0.001:1]; set key top right"
both='[6, 9]'
bothNames='[" acquired", " <STOP>"]'

plot copied-16.png "$fast" "$fastTitles" "-17:-11.5" "messages copied (CER under 10 %)" "$share" "[7]" '[""]'
plot copied-1.png "$slow" "$slowTitles" "-28.5:-24.5" "messages copied (CER under 10 %)" "$share" "[7]" '[""]'
plot cer-16.png "$fast" "$fastTitles" "-17:-11.5" "mean character error rate" "$cer" "[10]" '[""]'
plot cer-1.png "$slow" "$slowTitles" "-28.5:-24.5" "mean character error rate" "$cer" "[10]" '[""]'
plot acquired-16.png "$fast" "$fastTitles" "-17:-11.5" "share of messages" "$share" "$both" "$bothNames"
plot acquired-1.png "$slow" "$slowTitles" "-28.5:-24.5" "share of messages" "$share" "$both" "$bothNames"

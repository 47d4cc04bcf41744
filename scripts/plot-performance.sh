#!/usr/bin/env bash
# Draws the sensitivity plots of docs/performance.md from the sweeps' CSV files with
# gnuplot (scripts/setup.sh --docs installs it): for the 16-baud steps and for the
# 1-baud and EME steps, the share of messages copied, the mean character error rate,
# and the shares acquired and ended with " <STOP>", each for both decoders (standard
# solid, deep dashed); and the share copied on the fading channels.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/docs/performance"

# plot FILE CSV MODES TITLES DECODERS "X RANGE" "Y LABEL" Y-SETTINGS COLUMNS SUFFIXES
# (MODES, TITLES, DECODERS, COLUMNS and SUFFIXES are gnuplot array literals; a line per
# mode, decoder and column)
plot() {
  gnuplot <<GNUPLOT
set datafile separator ","
set terminal pngcairo size 820,500 font "DejaVu Sans,11" noenhanced
set output "$out/$1"
set grid
set key bottom right
set xlabel "SNR in 2500 Hz (dB)"
set ylabel "$7"
set xrange [$6]
$8
array modes = $3
array titles = $4
array decoders = $5
array columns = $9
array suffixes = ${10}
plot for [c=1:|columns|] for [d=1:|decoders|] for [i=1:|modes|] "$2" \
  using (strcol(1) eq modes[i] && strcol(2) eq decoders[d] ? \$5 : NaN):(column(columns[c])) \
  with linespoints lw 2 pt 7 ps 0.7 dt |columns| * d + c - |columns| lc i \
  title (titles[i] . " " . decoders[d] . suffixes[c])
GNUPLOT
}

sweep="$out/sweep.csv"
fast='["hf2250x16", "hf500x16"]'
fastTitles='["2250 Hz", "500 Hz"]'
slow='["hf2250x1", "hf500x1", "eme-narrow", "eme-wide"]'
slowTitles='["HF 2250 Hz", "HF 500 Hz", "EME narrow", "EME wide"]'
decoders='["standard", "deep"]'
share="set yrange [0:1]; set ytics ('0 %%' 0, '25 %%' 0.25, '50 %%' 0.5, '75 %%' 0.75, '100 %%' 1)"
cer="set logscale y; set yrange [0.001:1]; set key top right"
both='[7, 10]'
bothNames='[" acquired", " <STOP>"]'

plot copied-16.png "$sweep" "$fast" "$fastTitles" "$decoders" "-18:-11.5" "messages copied (CER under 10 %)" "$share" "[8]" '[""]'
plot copied-1.png "$sweep" "$slow" "$slowTitles" "$decoders" "-29.5:-24.5" "messages copied (CER under 10 %)" "$share" "[8]" '[""]'
plot cer-16.png "$sweep" "$fast" "$fastTitles" "$decoders" "-18:-11.5" "mean character error rate" "$cer" "[11]" '[""]'
plot cer-1.png "$sweep" "$slow" "$slowTitles" "$decoders" "-29.5:-24.5" "mean character error rate" "$cer" "[11]" '[""]'
plot acquired-16.png "$sweep" "$fast" "$fastTitles" "$decoders" "-18:-11.5" "share of messages" "$share" "$both" "$bothNames"
plot acquired-1.png "$sweep" "$slow" "$slowTitles" "$decoders" "-29.5:-24.5" "share of messages" "$share" "$both" "$bothNames"
for rate in 16 1; do
  for channel in moderate disturbed; do
    csv="$out/fading-$channel-$rate.csv"
    [ -f "$csv" ] || continue
    range=$([ "$rate" = 16 ] && echo "-15:-1" || echo "-27:-13")
    plot "fading-$channel-$rate.png" "$csv" "[\"hf2250x$rate\"]" "[\"$channel fading\"]" "$decoders" "$range" \
      "messages copied (CER under 10 %)" "$share" "[8]" '[""]'
  done
done

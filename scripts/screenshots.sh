#!/usr/bin/env bash
# Runs miv under a virtual X server with no sound card and no serial port, and leaves
# the pictures of docs/ behind:
#   docs/miv-no-soundcard.png  start-up without a sound server: the one message it shows
#   docs/miv.png               a reference recording played in (--input-file), decoded
#   docs/miv-sending.png       a message typed and sent into a file (--output-file)
# then decodes that file with miv-cli rx, which must end in " <STOP>".
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh" --docs
dir=$(bash "$top/scripts/build.sh" release)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Operator details, so the first-run operator window stays away from the pictures.
printf '[Operador]\nCallsign=EA4XYZ\nName=Luis\nQTH=Madrid\nLocator=IN80DK\n' > "$work/MIV.ini"

cat > "$work/session.sh" <<SESSION
set -euo pipefail
export PULSE_SERVER=unix:$work/no-sound-server   # no sound card, whatever the machine has
miv="$dir/src/app/miv"

"\$miv" --settings "$work/first.ini" & pid=\$!
sleep 5; import -window root "$top/docs/miv-no-soundcard.png"; kill \$pid

"\$miv" --settings "$work/MIV.ini" --input-file "$top/tests/vectors/hf2250-16.flac" & pid=\$!
sleep 12; import -window root "$top/docs/miv.png"; kill \$pid

"\$miv" --settings "$work/MIV.ini" --output-file "$work/sent.wav" & pid=\$!
sleep 5
# The window sits at the top left of the 1280x860 screen: the send window at (400, 680),
# CLEAR at (380, 797), PTT at (275, 797). Without a window manager the first keys typed
# get lost while the keyboard settles, so a word is typed and cleared first.
xdotool mousemove 400 680 click 1; sleep 1
xdotool type --delay 60 "warm up "; sleep 1
xdotool mousemove 380 797 click 1; sleep 1
xdotool mousemove 400 680 click 1; sleep 1
xdotool type --delay 60 "CQ CQ de EA4XYZ EA4XYZ pse k"; sleep 1
xdotool mousemove 275 797 click 1; sleep 3
import -window root "$top/docs/miv-sending.png"
xdotool mousemove 275 797 click 1; sleep 10
kill \$pid
SESSION
xvfb-run -a -s "-screen 0 1280x860x24" bash "$work/session.sh"

decoded=$("$dir/src/app/miv-cli" rx "$work/sent.wav")
echo "miv-cli rx on what miv sent: $decoded"
[[ "$decoded" == *"CQ CQ de EA4XYZ EA4XYZ pse k <STOP>"* ]]

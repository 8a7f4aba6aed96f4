#!/usr/bin/env bash
# Starts Brightfold on a virtual display under a window manager and saves screenshots of the
# login window and of the converter window after a conversion, title bars included, to
# docs/screenshots/ (or the folder given).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$top/docs/screenshots}
program=$top/build/default/app/Brightfold
[[ -x $program ]] || { echo "build first: scripts/run.sh or scripts/test.sh" >&2; exit 1; }
mkdir -p "$out"

if [[ -z ${BRIGHTFOLD_SCREENSHOT_DISPLAY:-} ]]; then
    exec env BRIGHTFOLD_SCREENSHOT_DISPLAY=1 xvfb-run -a -s "-screen 0 800x600x24" "$0" "$out"
fi

openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5
QT_QPA_PLATFORM=xcb "$program" &
app=$!
trap 'kill $app $wm 2>/dev/null || true' EXIT

# Saves the window with its frame: the client area grown by the frame's extents.
shoot() {
    local window=$1 file=$2 x y w h left right top bottom
    sleep 0.5
    read -r x y w h < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$NF}
        /Absolute upper-left Y/ {y=$NF} /Width:/ {w=$NF} /Height:/ {h=$NF}
        END {print x, y, w, h}')
    read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS |
        sed 's/.*= //; s/,//g')
    import -window root -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" \
        +repage "$file"
    echo "saved $file"
}

login=$(timeout 10 xdotool search --sync --onlyvisible --name '^Login - ')
xdotool windowactivate --sync "$login"
xdotool type --delay 20 'Ann'
xdotool key Tab
xdotool type --delay 20 'bluelanterns'
shoot "$login" "$out/login.png"
xdotool key Return

converter=$(timeout 10 xdotool search --sync --onlyvisible --name '^Welcome Ann\.$')
xdotool windowactivate --sync "$converter"
# Type 212 into the input field, then click "Fahrenheit > Celsius" (twips / 15 = pixels).
xdotool mousemove --window "$converter" 120 120 click 1
xdotool type --delay 20 '212'
xdotool mousemove --window "$converter" 30 32 click 1
shoot "$converter" "$out/converter.png"
xdotool key alt+F4
wait $app

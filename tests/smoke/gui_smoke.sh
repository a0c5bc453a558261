#!/usr/bin/env bash
# Runs the desktop program in a real X server on a generated page, as an operator would: draws
# a zone on the original view, moves a slider of the "Thresholding" window, waits for the
# zone update, switches the processed view from scale to gray to plain black and white, and
# takes a screenshot that check_screenshot judges. The screenshot stays in WORK/smoke.png.
# Exits 77 (skipped) when Xvfb, xdotool or ImageMagick's import is missing.
set -euo pipefail
program=$1 checker=$2 make_pages=$3 work=$4

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null 2>&1 || { echo "smoke test skipped: $tool is missing"; exit 77; }
done
mkdir -p "$work"
[ -f "$work/sample-gray.tif" ] || "$make_pages" "$work" >/dev/null

display=":$((200 + $$ % 500))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb ZONEWRIGHT_SETTINGS=$work/settings.reg
export ASAN_OPTIONS=detect_leaks=0
rm -f "$work/settings.reg"
sleep 1

"$program" "$work/sample-gray.tif" >"$work/program.log" 2>&1 &
pid=$!
timeout 30 xdotool search --sync --name "^Vardemont Zonewright$" >/dev/null
sleep 3

# A zone across the heading and the first paragraph of the original view.
xdotool mousemove 150 130 mousedown 1 mousemove 400 200 mousemove 820 330 mouseup 1
sleep 1
window=$(timeout 10 xdotool search --sync --onlyvisible --name "^Thresholding$" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$window")"
# The right slider takes the keyboard focus with a click, then two page steps down; the
# window reports once the slider rests.
slider_x=$((X + WIDTH * 72 / 100))
slider_y=$((Y + HEIGHT * 70 / 100))
xdotool mousemove "$slider_x" "$slider_y" click 1 sleep 0.3 key Page_Down sleep 0.2 key Page_Down
sleep 2.5

# View > ScaleToGray off, through the menu's access keys.
xdotool mousemove 640 500 key alt+v
sleep 0.5
xdotool key s
sleep 1.5
import -window root "$work/smoke.png"
kill -0 "$pid" || { echo "the program ended early"; cat "$work/program.log"; exit 1; }
"$checker" "$work/smoke.png"

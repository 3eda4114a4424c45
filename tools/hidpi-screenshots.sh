#!/usr/bin/env bash
# Screenshots of the main window after a search, the message box and the change-appearance
# window on a desktop at the given scale (GDK_SCALE), for looking at and for
# tools/sharpness.py:
#   tools/hidpi-screenshots.sh [build dir] [output dir] [scale] [display number]
# Writes main.png, message.png and skin-dialog.png into the output dir. Needs Xvfb, openbox,
# xdotool and ImageMagick; the build dir must hold tunora and the demo song service.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/dev}")
out=$(realpath -m "${2:-$build/hidpi-screenshots}")
scale=${3:-2}
display=${4:-83}
mkdir -p "$out"

source tools/private-desktop.sh
start_desktop "$display" 1280x1600
export GDK_SCALE=$scale
start_window_manager
start_song_service "$build"
client=$work/client
copy_client "$build" "$client"

# Finds a window by title and leaves its geometry (device pixels) in wx wy ww wh.
find_window() {
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "no window named $1" >&2; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$id")"
  wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT
}
# Units of the main window to screen pixels.
at() { awk -v s="$scale" -v x="$1" -v y="$2" -v ox="$mx" -v oy="$my" 'BEGIN { printf "%d %d", ox + x * s, oy + y * s }'; }
shoot() { xdotool mousemove --sync 1270 1590; sleep 0.5; import -window root -crop "${ww}x${wh}+${wx}+${wy}" +repage "$out/$1"; }

"$client/tunora" &
pids+=($!)
find_window '^Tunora音乐，聆听世界$'
mx=$wx my=$wy
sleep 2
xdotool mousemove --sync $(at 150 200) click 1
sleep 0.3
xdotool type --delay 80 '白沐阳'
xdotool key Return
sleep 3
shoot main.png

# A click empties the search box; Enter on the empty box brings up the message box.
xdotool mousemove --sync $(at 100 200) click 1
xdotool key Return
find_window '^错误$'
sleep 0.5
shoot message.png
xdotool key Escape
sleep 0.5

xdotool mousemove --sync $(at 207 15) click --delay 80 1
find_window '^ {30}更改外观$'
# Its background fades in over a few seconds on a busy machine.
sleep 4
shoot skin-dialog.png
echo "screenshots at scale $scale in $out"

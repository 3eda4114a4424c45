#!/usr/bin/env bash
# Plays a song at scale 1, switches the desktop's scaling setting to 2 the way a settings
# panel does (xsettingsd's Gdk/WindowScalingFactor, GDK_SCALE unset) and leaves a
# screenshot of the window before and after, for tools/sharpness.py:
#   tools/hidpi-scale-change.sh [build dir] [output dir] [display number]
# Needs Xvfb, xsettingsd, openbox, xdotool and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/dev}")
out=$(realpath -m "${2:-$build/hidpi-scale-change}")
display=${3:-84}
mkdir -p "$out"

source tools/private-desktop.sh
start_desktop "$display" 1280x1600
unset GDK_SCALE
echo 'Gdk/WindowScalingFactor 1' >"$work/xsettings"
xsettingsd -c "$work/xsettings" >/dev/null 2>&1 &
settings=$!
pids+=($settings)
start_window_manager
start_song_service "$build"
copy_client "$build" "$work/client"
"$work/client/tunora" &
client=$!
pids+=($client)
id=""
for _ in $(seq 100); do
  id=$(xdotool search --onlyvisible --name '^Tunora音乐，聆听世界$' 2>/dev/null | head -1) && [ -n "$id" ] && break
  sleep 0.1
done
[ -n "$id" ] || { echo "the window did not show" >&2; exit 1; }
sleep 2
eval "$(xdotool getwindowgeometry --shell "$id")"
xdotool mousemove --sync $((X + 150)) $((Y + 200)) click 1
sleep 0.3
xdotool type --delay 80 '白沐阳'
xdotool key Return
sleep 3
# The first row, twice: it plays.
xdotool mousemove --sync $((X + 60)) $((Y + 262)) click --repeat 2 --delay 80 1
sleep 3
xdotool mousemove 1270 1590
sleep 1
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/before.png"

echo 'Gdk/WindowScalingFactor 2' >"$work/xsettings"
kill -HUP "$settings"
sleep 4
eval "$(xdotool getwindowgeometry --shell "$id")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/after.png"
kill -0 "$client" || { echo "the client ended with the change" >&2; exit 1; }
echo "before and after the change in $out; the window is now ${WIDTH}x${HEIGHT}"

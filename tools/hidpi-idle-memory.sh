#!/usr/bin/env bash
# The client's resident memory at rest on a desktop at the given scale (GDK_SCALE): after a
# search, with the pointer away and 8 seconds idle, as VmRSS in kB; one line a run.
#   tools/hidpi-idle-memory.sh [build dir] [scale] [runs] [display number]
# Needs Xvfb, openbox and xdotool; the build dir must hold tunora and the demo song service.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/dev}")
scale=${2:-2}
runs=${3:-3}
display=${4:-86}

source tools/private-desktop.sh
start_desktop "$display" 1280x1600
export GDK_SCALE=$scale
start_window_manager
start_song_service "$build"

for run in $(seq "$runs"); do
  client=$work/client$run
  copy_client "$build" "$client"
  "$client/tunora" &
  pid=$!
  id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name '^Tunora音乐，聆听世界$' 2>/dev/null | head -1) && [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "the window did not show" >&2; kill "$pid"; exit 1; }
  sleep 2
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove --sync $((X + 150 * scale)) $((Y + 200 * scale)) click 1
  sleep 0.3
  xdotool type --delay 80 '白沐阳'
  xdotool key Return
  sleep 3
  xdotool mousemove 1270 1590
  sleep 8
  echo "scale $scale run $run: $(awk '/VmRSS/ {print $2}' "/proc/$pid/status") kB"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
done

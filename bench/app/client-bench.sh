#!/bin/bash
# The client's start-up time, resident memory and CPU while a song plays, each on a
# private X server with openbox and the demo song service (silent output device).
#   bench/app/client-bench.sh BUILD_DIR [SECONDS_OF_PLAY]
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
seconds=${2:-60}
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
pids+=($xvfb)
read -r -t 20 number <"$work/display"
export DISPLAY=:$number GDK_BACKEND=x11 NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory SDL_AUDIODRIVER=dummy
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
sleep 1
mkfifo "$work/service"
"$build/tools/song-service/tunora-song-service" --port 0 >"$work/service" &
pids+=($!)
exec 4<"$work/service"  # held open: the service may print more
read -r _ port <&4
export TUNORA_SERVICE=127.0.0.1:$port

warm_mapped() { "$build/bench/app/bench_client_startup" "$1" 8 | tee /dev/stderr |
                awk '/warm median/ {gsub("ms,", ""); print $4}'; }
resident_after_start() {
  "$1" &
  local pid=$!
  pids+=($pid)
  sleep 3
  awk '/VmRSS/ {print $2}' "/proc/$pid/status"
  kill "$pid"
}

echo "== start-up, and a bare GTK window of the same size as the yardstick"
bare=$(warm_mapped "$build/bench/app/bench_bare_window" 2>/dev/null)
ours=$(warm_mapped "$build/app/tunora")
echo "mapped: client $ours ms, bare GTK window $bare ms, ratio $(awk -v a="$ours" -v b="$bare" 'BEGIN {printf "%.2f", a / b}')"

echo "== resident memory after start, idle"
bare_kb=$(resident_after_start "$build/bench/app/bench_bare_window")
sleep 0.5
client_kb=$(resident_after_start "$build/app/tunora")
sleep 0.5
echo "resident: client $client_kb kB, bare GTK window $bare_kb kB, ratio $(awk -v a="$client_kb" -v b="$bare_kb" 'BEGIN {printf "%.2f", a / b}') (goal 35 MB)"

"$build/app/tunora" &
client=$!
pids+=($client)
sleep 3

echo "== CPU while a song plays (${seconds}s)"
xdotool mousemove --sync 150 250 click 1
xdotool type --delay 50 '白沐阳'
xdotool key Return
sleep 2
xdotool mousemove --sync 150 $((50 + 251 + 17 + 8)) click --repeat 2 --delay 80 1
xdotool mousemove --sync 900 700
sleep 3
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }
c0=$(cpu "$client"); x0=$(cpu "$xvfb")
sleep "$seconds"
c1=$(cpu "$client"); x1=$(cpu "$xvfb")
echo "client $(( (c1 - c0) * 1000 * 60 / ticks / seconds )) ms per minute (goal 600)," \
     "X server $(( (x1 - x0) * 1000 * 60 / ticks / seconds )) ms per minute"

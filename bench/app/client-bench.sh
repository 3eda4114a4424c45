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

echo "== start-up"
"$build/bench/app/bench_client_startup" "$build/app/tunora" 8

echo "== resident memory after start, idle"
"$build/app/tunora" &
client=$!
pids+=($client)
sleep 3
echo "resident $(awk '/VmRSS/ {print $2}' "/proc/$client/status") kB (goal 35 MB)"

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

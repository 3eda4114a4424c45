#!/bin/bash
# CPU time the framework demo spends while it sits idle on a private X server with openbox.
#   bench/framework/idle-cpu.sh BUILD_DIR [SECONDS] [paused]
# With paused, a click on the animated GIF stops it first, so nothing animates.
# Prints user and system time (ms) used during the idle period, after the fade-in.
set -euo pipefail
build=${1:?build folder}
seconds=${2:-60}
mode=${3:-animated}
demo="$build/tools/framework-demo/tunora-framework-demo"
display=":$((300 + RANDOM % 200))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $demo_pid $wm $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display GDK_BACKEND=x11 NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 1
"$demo" --position 100 40 >/dev/null &
demo_pid=$!
sleep 3  # mapped and faded in
if [ "$mode" = paused ]; then
  xdotool mousemove --sync 160 160 click 1 mousemove --sync 900 700
  sleep 1
fi
ticks=$(getconf CLK_TCK)
read -r u0 s0 < <(awk '{print $14, $15}' "/proc/$demo_pid/stat")
sleep "$seconds"
read -r u1 s1 < <(awk '{print $14, $15}' "/proc/$demo_pid/stat")
rss=$(awk '/VmRSS/ {print $2}' "/proc/$demo_pid/status")
echo "idle ${seconds}s ($mode): user $(( (u1 - u0) * 1000 / ticks )) ms, system $(( (s1 - s0) * 1000 / ticks )) ms, resident ${rss} kB"

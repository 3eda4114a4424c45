#!/usr/bin/env bash
# Installs what the build needs (as root), builds the client and the song service, starts
# the service and the client against it; the service stops when the client exits.
# Usage: run-client.sh [MUSIC_FOLDER]: without a folder the demo catalogue is served; with
# one, that folder is, and the client's preset list is made of its songs for this run.
# Without a display both run on a private X server, a scripted search is made and a
# screenshot of the window is written (TUNORA_SCREENSHOT, default ./tunora-screenshot.png).
set -euo pipefail
music=""
if [ -n "${1:-}" ]; then
  # Taken before the script moves to the source tree, so a relative folder works too.
  music=$(cd "$1" 2>/dev/null && pwd) || { echo "$1 is not a folder" >&2; exit 2; }
fi
cd "$(dirname "$0")/.."
root=$(pwd)
build=${TUNORA_BUILD_DIR:-build/release}
screenshot=${TUNORA_SCREENSHOT:-$root/tunora-screenshot.png}

if [ "$(id -u)" = 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq $(grep -v -E '^\s*(#|$)' tools/debian-packages.txt) >/dev/null
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target tunora tunora-song-service

pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[$i]}" 2>/dev/null || true
    wait "${pids[$i]}" 2>/dev/null || true
  done
  # The demo preset list comes back for the next run.
  if [ -n "${presets_saved:-}" ]; then cp "$presets_saved" "$presets"; fi
  rm -rf "${work:-}"
}
trap cleanup EXIT
work=$(mktemp -d)

# A music folder replaces the preset list for this run; the demo one is put back after.
service_flags=()
presets=$build/app/plugins/js_rilu.txt
if [ -n "$music" ]; then
  service_flags=(--library "$music" --write-presets "$presets")
  if [ -f "$presets" ]; then
    presets_saved=$work/js_rilu.txt
    cp "$presets" "$presets_saved"
  fi
fi

# The preset file's links name the service's default port, so that one is tried first; when
# it is taken, any free port serves the search (the preset rows then find nothing to play).
start_service() {  # port
  rm -f "$work/service-out"
  mkfifo "$work/service-out"
  # A music folder's indexing shows its progress on the terminal.
  local errors=/dev/null
  if [ -n "$music" ]; then errors=/dev/stderr; fi
  "$build/tools/song-service/tunora-song-service" --port "$1" "${service_flags[@]}" \
    >"$work/service-out" 2>"$errors" &
  pids+=($!)
  exec 4<"$work/service-out"  # held open: the service may print more
  read -r word port <&4 && [ "$word" = listening ]
}
if ! start_service 8725; then
  echo "port 8725 is taken: the preset list's songs will not play in this run"
  start_service 0 || { echo "the song service did not start" >&2; exit 1; }
fi
export TUNORA_SERVICE=127.0.0.1:$port
if [ -n "$music" ]; then
  echo "song service for $music on $TUNORA_SERVICE"
  # The preset list is written once the folder is indexed; a very large folder goes on
  # being indexed after the client starts.
  if read -r -t 120 word written <&4 && [ "$word" = presets ] && [ "$written" != none ]; then
    echo "preset list made from the folder"
  else
    echo "the folder is still being indexed or holds no songs: the preset list stays as it was"
  fi
else
  echo "demo song service on $TUNORA_SERVICE"
fi

# No sound card: the silent output device consumes the sound at its real pace.
if [ ! -d /dev/snd ] && [ -z "${PULSE_SERVER:-}" ] && [ ! -S "${XDG_RUNTIME_DIR:-/nonexistent}/pulse/native" ]; then
  export SDL_AUDIODRIVER=dummy
  echo "No sound card found: playing on the silent output device."
fi

if [ -n "${DISPLAY:-}" ]; then
  "$build/app/tunora"
  exit $?
fi

# No display: a private X server with a window manager, a search typed like a person
# would, and a screenshot of the result.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
read -r -t 20 display <"$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$display GDK_BACKEND=x11 NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
sleep 1
"$build/app/tunora" &
client=$!
pids+=($client)
title='Tunora音乐，聆听世界'
for _ in $(seq 100); do
  xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
xdotool mousemove --sync 150 250 click 1
xdotool type --delay 80 '白沐阳'
xdotool key Return
sleep 2
xdotool mousemove --sync 600 500
import -window root -crop 296x657+50+50 "$screenshot"
echo "screenshot of the window after a search: $screenshot"
# Close it like a person would: the close button at the top-right corner.
xdotool mousemove --sync 323 60 click 1
wait "$client"

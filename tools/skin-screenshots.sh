#!/usr/bin/env bash
# Shows the main window once on each of the 24 skin pictures, after a search so the list is
# filled, and leaves a screenshot per picture, a contact sheet of them all and a sheet of the
# pictures squeezed the way the change-appearance window previews them:
#   tools/skin-screenshots.sh [build dir] [output dir] [display number]
# Needs Xvfb, openbox, xdotool and ImageMagick; the build dir must hold tunora, the demo song
# service and the skin pictures (targets tunora, tunora-song-service, tunora_app_artwork).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/dev}")
out=$(realpath -m "${2:-$build/skin-screenshots}")
display=${3:-82}
skins=$build/assets/app-skins
mkdir -p "$out"

pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[$i]}" 2>/dev/null || true
    wait "${pids[$i]}" 2>/dev/null || true
  done
  rm -rf "${work:-}"
}
trap cleanup EXIT
work=$(mktemp -d)

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=:$display GDK_BACKEND=x11 NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)

mkfifo "$work/service-out"
"$build/tools/song-service/tunora-song-service" --port 0 >"$work/service-out" 2>/dev/null &
pids+=($!)
exec 4<"$work/service-out"
read -r word port <&4 && [ "$word" = listening ]
export TUNORA_SERVICE=127.0.0.1:$port

title='Tunora音乐，聆听世界'
shots=()
for picture in "$skins"/skin-??.*; do
  name=$(basename "${picture%.*}")
  client=$work/$name
  mkdir -p "$client/Resource"
  cp "$build/app/tunora" "$client/"
  cp -r "$build/app/plugins" "$client/"
  cp "$build/app/Resource/Resu.rdb" "$build/app/Resource/rilu.jpg" "$client/Resource/"
  cp "$picture" "$client/Resource/skin.png"  # the program reads any picture format under this name
  shot=$out/$name.png
  for attempt in 1 2; do
    "$client/tunora" &
    pid=$!
    for _ in $(seq 300); do
      xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1 && break
      sleep 0.1
    done
    sleep 1
    xdotool mousemove --sync 150 250 click 1
    xdotool type --delay 40 '白沐阳'
    xdotool key Return
    sleep 2
    xdotool mousemove --sync 600 500
    sleep 0.5
    import -window root -crop 296x657+50+50 +repage "$shot"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    # A busy machine can be slow to map the window: an all-black shot is taken again.
    [ "$(convert "$shot" -format '%[fx:mean>0.05]' info:)" = 1 ] && break
    echo "$name: the window did not show in time (attempt $attempt)" >&2
  done
  shots+=("$shot")
done
montage "${shots[@]}" -resize 50% -tile 12x -geometry +4+4 -background '#202020' "$out/contact-sheet.png"
# Squeezed into 140 x 70 like the previews of the change-appearance window, six to a style.
montage "$skins"/skin-??.* -resize '140x70!' -tile 6x -geometry +4+4 -background '#d8d8d8' "$out/previews.png"
echo "contact sheet: $out/contact-sheet.png; previews: $out/previews.png"

# Sourced by the screenshot tools: a private X server with a window manager and the demo
# song service, all stopped when the script exits.
#   start_desktop DISPLAY SIZE   (SIZE like 1280x1600; exports DISPLAY and the GTK settings)
#   start_song_service BUILD     (exports TUNORA_SERVICE)
#   copy_client BUILD FOLDER     (the program with its files, so its settings start fresh)
# $work is a temporary folder of the script's own; pids+=(...) adds a process to stop.

work=$(mktemp -d)
pids=()
stop_desktop() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[$i]}" 2>/dev/null || true
    wait "${pids[$i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap stop_desktop EXIT

start_desktop() {
  Xvfb ":$1" -screen 0 "$2x24" -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=:$1 GDK_BACKEND=x11 NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory SDL_AUDIODRIVER=dummy
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

start_window_manager() {
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
}

start_song_service() {
  mkfifo "$work/service-out"
  "$1/tools/song-service/tunora-song-service" --port 0 >"$work/service-out" 2>/dev/null &
  pids+=($!)
  exec 4<"$work/service-out"
  local word port
  read -r word port <&4 && [ "$word" = listening ]
  export TUNORA_SERVICE=127.0.0.1:$port
}

copy_client() {
  mkdir -p "$2"
  cp "$1/app/tunora" "$2/"
  cp -r "$1/app/plugins" "$1/app/Resource" "$2/"
}

#!/usr/bin/env bash
# bench/library/library-bench.sh [--search-only] BUILD_DIR [SMALL] [LARGE]
# The song service on generated music folders, against MPD on the same folder in the same run
# (a temporary configuration, no sound output, loopback only, nothing fetched from anywhere):
#   - indexing SMALL files (default 10 000) into an empty index, files in the page cache for
#     both: the service's time, MPD's time from start to its first update finished, and the ratio;
#   - a restart of the service with nothing changed;
#   - search latency over LARGE songs (default 100 000), request to last byte, loopback;
#   - resident memory of both with LARGE songs indexed.
# --search-only measures the LARGE part alone, the service's memory without MPD's: no MPD is
# needed for it.
# The folders are made once in TUNORA_BENCH_DIR (default /tmp/tunora-library-bench).
set -euo pipefail
search_only=false
if [ "${1:-}" = --search-only ]; then
  search_only=true
  shift
fi
build=${1:?usage: library-bench.sh [--search-only] BUILD_DIR [SMALL] [LARGE]}
small=${2:-10000}
large=${3:-100000}
work=${TUNORA_BENCH_DIR:-/tmp/tunora-library-bench}
service=$build/tools/song-service/tunora-song-service
mkdir -p "$work"
cmake --build "$build" --target tunora-song-service bench_library_make bench_library_search >/dev/null

pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

folder_of() {  # count -> a generated folder, made once
  local dir=$work/library-$1
  if [ ! -f "$dir/.complete" ]; then
    rm -rf "$dir"
    "$build/bench/library/bench_library_make" "$dir" "$1" >&2
    touch "$dir/.complete"
  fi
  # Both read from the page cache.
  find "$dir" -type f -print0 | xargs -0 cat >/dev/null
  echo "$dir"
}

now() { date +%s.%N; }
elapsed() { echo "$(now) - $1" | bc -l; }

wait_for_line() {  # file pattern timeout_s
  local deadline=$((SECONDS + $3))
  until grep -q "$2" "$1" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || { echo "timed out waiting for '$2' in $1" >&2; return 1; }
    sleep 0.01
  done
}

rss_kb() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }

# Starts the service on a folder and database; sets svc_pid, svc_port, svc_seconds (to the end
# of the first scan).
run_service() {  # folder database log
  : >"$3"
  local started; started=$(now)
  "$service" --port 0 --library "$1" --database "$2" >"$3.out" 2>"$3" &
  svc_pid=$!
  pids+=("$svc_pid")
  wait_for_line "$3" "indexed" 3600
  svc_seconds=$(elapsed "$started")
  svc_port=$(awk '/listening/ {print $2}' "$3.out")
}

# MPD may take long to stop in the middle of an update: it gets ten seconds.
stop_pid() {
  kill "$1" 2>/dev/null || true
  local i
  for i in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# MPD from start to its first update finished (it starts one itself on an empty database;
# -v is needed for the line that says so); sets mpd_pid, mpd_seconds.
run_mpd() {  # folder tag
  local dir=$work/mpd-$2 port
  rm -rf "$dir"
  mkdir -p "$dir"
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  cat >"$dir/mpd.conf" <<CONF
music_directory "$1"
db_file "$dir/mpd.db"
bind_to_address "127.0.0.1"
port "$port"
auto_update "no"
zeroconf_enabled "no"
audio_output {
  type "null"
  name "silent"
}
CONF
  local started; started=$(now)
  mpd --no-daemon --stderr -v "$dir/mpd.conf" >"$dir/log" 2>&1 &
  mpd_pid=$!
  pids+=("$mpd_pid")
  wait_for_line "$dir/log" "update: finished" 3600
  mpd_seconds=$(elapsed "$started")
  mpd_port=$port
}

if ! $search_only; then
echo "== indexing $small files into an empty index =="
lib=$(folder_of "$small")
rm -f "$work/small.sqlite"*
run_service "$lib" "$work/small.sqlite" "$work/small.log"
ours=$svc_seconds
stop_pid "$svc_pid"
run_mpd "$lib" small
theirs=$mpd_seconds
echo "  MPD songs: $(mpc -p "$mpd_port" stats | awk '/Songs/ {print $2}'); service: $(grep indexed "$work/small.log")"
stop_pid "$mpd_pid"
printf '  service %.2f s, MPD %.2f s, ratio %.2f (goal <= 1.0)\n' "$ours" "$theirs" "$(echo "$ours / $theirs" | bc -l)"
run_service "$lib" "$work/small.sqlite" "$work/small-restart.log"
printf '  restart with nothing changed: %.2f s to the end of its scan (goal <= 1 s)\n' "$svc_seconds"
stop_pid "$svc_pid"
fi

echo "== $large songs: search latency and memory =="
lib=$(folder_of "$large")
rm -f "$work/large.sqlite"*
run_service "$lib" "$work/large.sqlite" "$work/large.log"
printf '  service indexed them in %.1f s: %s\n' "$svc_seconds" "$(grep indexed "$work/large.log")"
"$build/bench/library/bench_library_search" "$svc_port" 2000 | sed 's/^/  /'
"$build/bench/library/bench_library_search" "$svc_port" 2000 fresh | sed 's/^/  /'
ours_rss=$(rss_kb "$svc_pid")
stop_pid "$svc_pid"
if $search_only; then
  printf '  resident memory: service %d KiB\n' "$ours_rss"
  exit 0
fi
run_mpd "$lib" large
theirs_rss=$(rss_kb "$mpd_pid")
printf '  MPD indexed them in %.1f s\n' "$mpd_seconds"
stop_pid "$mpd_pid"
printf '  resident memory: service %d KiB, MPD %d KiB, ratio %.2f (goal <= 1.0)\n' "$ours_rss" "$theirs_rss" \
  "$(echo "$ours_rss / $theirs_rss" | bc -l)"

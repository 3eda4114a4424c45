#!/usr/bin/env bash
# Cross-builds Tunora for 64-bit Windows into build/windows; with --test also runs the
# Windows suites under Wine (a prefix of its own under the build folder) on a private
# display: Xvfb with a compositor, which layered windows need for their per-pixel alpha.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${TUNORA_WINDOWS_BUILD:-$root/build/windows}
jobs=${TUNORA_JOBS:-$(nproc)}
run_tests=0
[ "${1:-}" = "--test" ] && run_tests=1

if [ "$(id -u)" = 0 ] && ! command -v x86_64-w64-mingw32-g++-posix > /dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y --no-install-recommends $(grep -v -E '^\s*(#|$)' tools/windows-packages.txt)
fi

export CCACHE_DIR=${CCACHE_DIR:-/var/cache/tunora/ccache}
export CCACHE_BASEDIR=$root
export CCACHE_NOHASHDIR=1

libraries=$(bash tools/windows-libraries.sh | tail -n 1)
service_libraries=$(bash tools/windows-service-libraries.sh | tail -n 1)
# The demo catalogue is made by a Linux build (TUNORA_LINUX_BUILD, else build/release);
# without one the service starts only over music folders.
linux_build=${TUNORA_LINUX_BUILD:-$root/build/release}
catalogue=$linux_build/tools/song-service/catalogue
[ -f "$catalogue/index.txt" ] || catalogue=
# pkg-config's answers are cached: new libraries need a fresh configure.
if [ -f "$build/CMakeCache.txt" ] && { ! grep -q "^TUNORA_WINDOWS_LIBRARIES:.*=$libraries\$" "$build/CMakeCache.txt" ||
     ! grep -q "^TUNORA_WINDOWS_SERVICE_LIBRARIES:.*=$service_libraries\$" "$build/CMakeCache.txt"; }; then
  rm -f "$build/CMakeCache.txt"
fi
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/WindowsToolchain.cmake" \
  -DTUNORA_WINDOWS_LIBRARIES="$libraries" -DTUNORA_WINDOWS_SERVICE_LIBRARIES="$service_libraries" \
  -DTUNORA_SONG_CATALOGUE_FROM="$catalogue" -DTUNORA_LINUX_BUILD="$linux_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$jobs"
[ "$run_tests" = 1 ] || exit 0

# Wine: a fresh prefix of its own, no downloads of Mono or Gecko, quiet.
export WINEPREFIX=$build/wine WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
xvfb_pid= compositor_pid=
display_file=$(mktemp)
stop_all() {
  wineserver -k 2> /dev/null || true
  [ -z "$compositor_pid" ] || kill "$compositor_pid" 2> /dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2> /dev/null || true
  rm -f "$display_file"
}
trap stop_all EXIT
trap 'exit 130' INT TERM
# Xvfb picks a free display number itself, so parallel runs never share one; -noreset
# keeps it up between the test programs that come and go.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3> "$display_file" > /dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb_pid" 2> /dev/null || break
  sleep 0.1
done
display_number=$(head -n 1 "$display_file")
[ -n "$display_number" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$display_number
xcompmgr -d "$DISPLAY" > /dev/null 2>&1 &
compositor_pid=$!
echo "Wine runs on display $DISPLAY (Xvfb $xvfb_pid, xcompmgr $compositor_pid)"
# A persistent server spares each test program Wine's start-up; warming the prefix first
# keeps Wine's services from holding ctest's output pipe open.
wineserver -k 2> /dev/null || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wineserver -p
timeout 300 wine cmd /c exit
# The drawing tests measure text in WenQuanYi Micro Hei, as Linux does.
cp /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$WINEPREFIX/drive_c/windows/Fonts/"
# Each test and the whole run are bounded, so a Wine that hangs cannot stall CI.
timeout 1800 ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300 --no-tests=error

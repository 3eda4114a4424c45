#!/usr/bin/env bash
# Cross-builds Tunora for 64-bit Windows into build/windows; with --test also runs the
# Windows suites under Wine (a prefix of its own under the build folder, no display).
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
# pkg-config's answers are cached: new libraries need a fresh configure.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q "^TUNORA_WINDOWS_LIBRARIES:.*=$libraries\$" "$build/CMakeCache.txt"; then
  rm -f "$build/CMakeCache.txt"
fi
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/WindowsToolchain.cmake" \
  -DTUNORA_WINDOWS_LIBRARIES="$libraries" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$jobs"
[ "$run_tests" = 1 ] || exit 0

# Wine: a fresh prefix of its own, no display, no downloads of Mono or Gecko, quiet.
export WINEPREFIX=$build/wine WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# A persistent server spares each test program Wine's start-up; warming the prefix first
# keeps Wine's services from holding ctest's output pipe open.
trap 'wineserver -k 2> /dev/null || true' EXIT
wineserver -k 2> /dev/null || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wineserver -p
timeout 300 wine cmd /c exit
# The drawing tests measure text in WenQuanYi Micro Hei, as Linux does.
cp /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$WINEPREFIX/drive_c/windows/Fonts/"
# Each test and the whole run are bounded, so a Wine that hangs cannot stall CI.
timeout 1800 ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300 --no-tests=error

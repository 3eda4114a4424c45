#!/usr/bin/env bash
# Installs what the build needs, then builds and runs the whole suite:
# normal build, ASan+UBSan build, TSan build of the threaded parts, short fuzz runs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
fuzz_seconds=${TUNORA_FUZZ_SECONDS:-20}

if [ "$(id -u)" = 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y $(grep -h -v -E '^\s*(#|$)' tools/debian-packages.txt tools/windows-packages.txt)
fi

# The compiler cache lives outside the clone, so a fresh clone on this machine builds warm.
export CCACHE_DIR=${CCACHE_DIR:-/var/cache/tunora/ccache}
export CCACHE_BASEDIR=$root
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-8G}
export CCACHE_NOHASHDIR=1
mkdir -p "$CCACHE_DIR"

# Leaks inside the desktop libraries (fontconfig, GTK) are theirs, not ours.
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

run_suite() {  # dir, extra cmake args...
  local dir=$1; shift
  cmake -S . -B "$dir" "$@"
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600
}

echo "== normal build =="
run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== Windows build, its suites under Wine =="
windows_start=$(date +%s)
TUNORA_JOBS=$jobs bash tools/build-windows.sh --test
echo "Windows part took $(( $(date +%s) - windows_start )) s"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DTUNORA_SANITIZE=address

echo "== ThreadSanitizer build =="
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DTUNORA_SANITIZE=thread
cmake --build build/tsan -j "$jobs" --target tsan_tests
# Only tests marked TSAN exist in this tree.
ctest --test-dir build/tsan --output-on-failure -j "$jobs" --timeout 600 --no-tests=error

echo "== fuzz runs (${fuzz_seconds}s each) =="
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUNORA_FUZZ=ON
cmake --build build/fuzz -j "$jobs" --target fuzzers
fuzz_failed=0
for target in build/fuzz/fuzzers/*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=$(mktemp -d)
  [ -d "tests/fuzz/corpus/$name" ] && cp -r "tests/fuzz/corpus/$name/." "$corpus/"
  echo "-- $name"
  if ! "$target" -max_total_time="$fuzz_seconds" -print_final_stats=1 \
        -artifact_prefix="build/fuzz/$name-" "$corpus" > "build/fuzz/$name.log" 2>&1; then
    tail -n 60 "build/fuzz/$name.log"
    fuzz_failed=1
  else
    grep -E 'stat::number_of_executed_units' "build/fuzz/$name.log" || true
  fi
  rm -rf "$corpus"
done
if [ "$fuzz_failed" != 0 ]; then
  echo "fuzzing found a fault"
  exit 1
fi
echo "all suites passed"

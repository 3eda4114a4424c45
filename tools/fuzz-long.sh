#!/usr/bin/env bash
# Long fuzz runs, outside CI: every fuzz target (or the ones named) for MINUTES each, one
# after the other. The corpus lives in tests/fuzz/corpus/<target>/; inputs that reach new
# code are merged into it, so the next run (and CI's short runs) start from there.
# Crashes, hangs and leaks are kept as build/fuzz/findings/<target>-*.
#
#   tools/fuzz-long.sh MINUTES [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]] || [ "$1" -lt 1 ]; then
  echo "usage: $0 MINUTES [TARGET...]" >&2
  exit 2
fi
seconds=$(($1 * 60))
shift

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUNORA_FUZZ=ON > /dev/null
cmake --build build/fuzz -j "$(nproc)" --target fuzzers

targets=("$@")
if [ ${#targets[@]} = 0 ]; then
  for target in build/fuzz/fuzzers/*; do
    [ -x "$target" ] && targets+=("$(basename "$target")")
  done
fi

findings=build/fuzz/findings
mkdir -p "$findings"
failed=0
printf '%-24s %12s %8s %8s %8s  %s\n' target runs cov ft corpus result
for name in "${targets[@]}"; do
  binary=build/fuzz/fuzzers/$name
  if [ ! -x "$binary" ]; then
    echo "no fuzz target $name" >&2
    failed=1
    continue
  fi
  corpus=tests/fuzz/corpus/$name
  mkdir -p "$corpus"
  fresh=$(mktemp -d)
  log=build/fuzz/$name.long.log
  # New inputs go to the first folder; the kept corpus is read from the second.
  result=clean
  if ! "$binary" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/$name-" "$fresh" "$corpus" > "$log" 2>&1; then
    result="FOUND A FAULT (see $log)"
    failed=1
  fi
  # Keep only what reaches code the corpus did not reach yet.
  "$binary" -merge=1 "$corpus" "$fresh" >> "$log" 2>&1 || true
  rm -rf "$fresh"
  # A run cut short by a fault may lack some of these lines.
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1 || true)
  last=$(grep -E '^#[0-9]+' "$log" | grep -v MERGE | tail -1 || true)
  cov=$(grep -o 'cov: [0-9]*' <<< "$last" | grep -o '[0-9]*' || true)
  ft=$(grep -o 'ft: [0-9]*' <<< "$last" | grep -o '[0-9]*' || true)
  printf '%-24s %12s %8s %8s %8s  %s\n' "$name" "${runs:-?}" "${cov:-?}" "${ft:-?}" \
    "$(find "$corpus" -type f | wc -l)" "$result"
done
exit "$failed"

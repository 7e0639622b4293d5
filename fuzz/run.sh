#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer in build-fuzz/ and fuzzes each one for a
# while, starting from its seeds (fuzz/corpus/NAME/) and the inputs that once failed
# (fuzz/regressions/NAME/); new inputs go to a temporary folder, never into the sources.
# A crash, a failed check, a leak, a hang (10 s) or memory beyond 2 GB fails the run, and
# the input is kept in build-fuzz/crashes/: once the fault is mended, put it under
# fuzz/regressions/NAME/, where the ordinary suite replays it.
#   fuzz/run.sh [SECONDS-PER-TARGET [NAME...]]     (default: 7 seconds, every target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-7}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(interpreter text_file macro settings escape html row_layout regex language)
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ is not installed here, the fuzz targets were not run"
  exit 0
fi
SECONDS=0
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARLIN_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)"
echo "fuzz: built in $SECONDS s"
SECONDS=0
# New inputs and the targets' scratch files (in memory where possible: saves sync to disk),
# removed at the end also when a fuzzer ends without cleaning up.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work
crashes=build-fuzz/crashes
mkdir -p "$crashes"
status=0
for name in "${targets[@]}"; do
  mkdir -p "$work/$name"
  dict=()
  case $name in interpreter|macro) dict=(-dict=fuzz/macro.dict) ;; language) dict=(-dict=fuzz/language.dict) ;; esac
  log=$work/$name.log
  seeds=()
  for dir in "fuzz/corpus/$name" "fuzz/regressions/$name"; do [ -d "$dir" ] && seeds+=("$dir"); done
  if build-fuzz/fuzz/fuzz_"$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=4096 "${dict[@]}" -artifact_prefix="$crashes/$name-" -print_final_stats=1 \
       "$work/$name" "${seeds[@]}" >"$log" 2>&1; then
    echo "fuzz: $name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') inputs in ${seconds} s"
  else
    tail -n 60 "$log"
    echo "fuzz: $name FAILED; the input: $(ls -t "$crashes/$name"-* 2>/dev/null | head -n 1)"
    status=1
  fi
done
echo "fuzz: ${#targets[@]} targets fuzzed in $SECONDS s"
exit $status

#!/usr/bin/env bash
# A 1,000,000-line C source (about 44 MB, CR LF) opened in a document window, against
# FeatherPad opening the same file:
#   varlin      bench_window_open: the whole frame (offscreen), from the answer to the
#               question above 500,000 lines (1304) to the end of the window's first paint,
#               wall and processor time; resident memory then and a second later
#   FeatherPad  on a virtual X display (Xvfb): from its start to its window with the file's
#               name shown; resident memory a second later
# Runs alternate, RUNS (5) rounds, medians. FeatherPad, Xvfb and xdotool are installed
# when missing. Usage: bench/window.sh [BUILD_DIR] (use a Release build). BENCH_DIR chooses
# the folder of the test files (default /tmp), BENCH_DISPLAY the X display (default :99).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/peers.sh
dir=${1:-build}
runs=${RUNS:-5}
display=${BENCH_DISPLAY:-:99}
cmake --build "$dir" --target bench_window_open bench_search >/dev/null
need_peer featherpad featherpad
need_peer Xvfb xvfb
need_peer xdotool xdotool
work=$(mktemp -d "${BENCH_DIR:-/tmp}/window.XXXXXX")
Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
"$dir/bench/bench_search" --write "$work/in.txt" >/dev/null
size=$(stat -c %s "$work/in.txt")
sleep 1

# FeatherPad: milliseconds from its start to its window with the file's name, and its
# resident memory a second later.
featherpad_once() {
    local start pid ms
    start=$(date +%s%N)
    DISPLAY=$display XDG_CONFIG_HOME=$work/config featherpad "$work/in.txt" >/dev/null 2>&1 &
    pid=$!
    until DISPLAY=$display xdotool search --onlyvisible --name 'in\.txt' >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || { echo "window: FeatherPad ended early" >&2; exit 1; }
        sleep 0.01
    done
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    sleep 1
    echo "$ms $(awk '/VmRSS/ {print $2}' "/proc/$pid/status")"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

ours=() theirs=()
for _ in $(seq "$runs"); do
    ours+=("$("$dir/bench/bench_window_open" "$work/in.txt" 2>/dev/null)")
    theirs+=("$(featherpad_once)")
done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ours_wall=$(printf '%s\n' "${ours[@]}" | awk '{print $1}' | median)
ours_cpu=$(printf '%s\n' "${ours[@]}" | awk '{print $2}' | median)
ours_kb=$(printf '%s\n' "${ours[@]}" | awk '{print $3}' | median)
ours_later_kb=$(printf '%s\n' "${ours[@]}" | awk '{print $4}' | median)
their_ms=$(printf '%s\n' "${theirs[@]}" | awk '{print $1}' | median)
their_kb=$(printf '%s\n' "${theirs[@]}" | awk '{print $2}' | median)

awk -v size="$size" -v runs="$runs" -v ow="$ours_wall" -v oc="$ours_cpu" -v ok="$ours_kb" \
    -v ol="$ours_later_kb" -v tm="$their_ms" -v tk="$their_kb" 'BEGIN {
    printf "file: %.1f MB, 1,000,000 lines, CR LF; medians of %d runs\n", size / 1048576, runs
    printf "open to first paint: varlin %6.1f ms (processor %.1f ms)  FeatherPad %6.1f ms (start to window)  ratio %.2f (at most 0.15 s and below 1 wanted)\n",
           ow, oc, tm, ow / tm
    printf "resident memory:     varlin %6.1f MB = %.2f x file  FeatherPad %6.1f MB = %.2f x file  ratio %.2f (at most 1.3 x file wanted)\n",
           ok / 1024, ok * 1024 / size, tk / 1024, tk * 1024 / size, ok / tk
    printf "a second later:      varlin %6.1f MB = %.2f x file (the routine list has read the whole text)\n",
           ol / 1024, ol * 1024 / size
}'

#!/usr/bin/env bash
# The cost of languages as data:
#   start-up   bench_languages: reading the shipped definitions (the build folder's
#              "languages") once per process, as the window program does before its first
#              window; wall and processor time. Goal: under 2 ms.
#   open       bench_window_open of this build against one built before the definitions
#              (BEFORE_BUILD, a build of the sources before them): the 1,000,000-line C
#              file from the answer to 1304 to the first paint, alternating, medians.
# Usage: bench/languages.sh [BUILD] [BEFORE_BUILD]   (RUNS rounds, default 9; BENCH_DIR
# chooses the folder of the test file, default /tmp)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
before=${2:-}
runs=${RUNS:-9}
cmake --build "$dir" --target bench_languages bench_window_open bench_search >/dev/null
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

loads=()
for _ in $(seq "$runs"); do loads+=("$("$dir/bench/bench_languages" "$dir")"); done
load_wall=$(printf '%s\n' "${loads[@]}" | awk '{print $1}' | median)
load_cpu=$(printf '%s\n' "${loads[@]}" | awk '{print $2}' | median)
echo "start-up, reading $(ls "$dir"/languages/*.vll | wc -l) definitions: ${load_wall} ms (processor ${load_cpu} ms), medians of $runs processes (goal: under 2 ms)"

[ -n "$before" ] || exit 0
# A copied program of the build before will do: it is built only where it is a build folder.
[ -f "$before/CMakeCache.txt" ] && cmake --build "$before" --target bench_window_open >/dev/null
work=$(mktemp -d "${BENCH_DIR:-/tmp}/languages.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$dir/bench/bench_search" --write "$work/in.c" >/dev/null
after_runs=() before_runs=()
for _ in $(seq "$runs"); do
    before_runs+=("$("$before/bench/bench_window_open" "$work/in.c" 2>/dev/null)")
    after_runs+=("$("$dir/bench/bench_window_open" "$work/in.c" 2>/dev/null)")
done
for side in before after; do
    eval "rows=(\"\${${side}_runs[@]}\")"
    wall=$(printf '%s\n' "${rows[@]}" | awk '{print $1}' | median)
    cpu=$(printf '%s\n' "${rows[@]}" | awk '{print $2}' | median)
    open=$(printf '%s\n' "${rows[@]}" | awk '{print $5}' | median)
    echo "$side: 1,000,000-line C file, answer to first paint ${wall} ms (processor ${cpu} ms), open with the read ${open} ms"
    eval "${side}_cpu=$cpu"
done
awk -v a="$after_cpu" -v b="$before_cpu" 'BEGIN { printf "after / before (processor): %.2f\n", a / b }'

#!/usr/bin/env bash
# Whether the costs grow in proportion to the file: the same C-like source (CR LF, written
# by bench_search) with 0, 500,000 and 1,000,000 lines, through
#   batch   varlin --run: an empty script (--no-save: time and peak memory), the find of a
#           text on the line 99 % down (--no-save), Replace ("int", "long", 16) with save;
#           runstat alternates all nine, RUNS (7) rounds, medians of processor time
#   window  bench_window_open: the open (read included) to the first paint, wall time, and
#           the resident memory then; RUNS rounds alternating the sizes, medians
# For each work it prints the three figures and the share of the growth from 0 to
# 1,000,000 lines that the first 500,000 take: 0.50 is proportional, more means the first
# half costs more than the second. Usage: bench/linear.sh [BUILD_DIR] (a Release build).
# BENCH_DIR chooses the folder of the test files (default /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/peers.sh
dir=${1:-build}
runs=${RUNS:-7}
cmake --build "$dir" --target varlin bench_search bench_window_open >/dev/null
runstat=$(build_runstat "$dir")
varlin=$dir/varlin
work=$(mktemp -d "${BENCH_DIR:-/tmp}/linear.XXXXXX")
trap 'rm -rf "$work"' EXIT
text=text_near_the_end
sizes=(0 500000 1000000)
for n in "${sizes[@]}"; do
    if [ "$n" = 0 ]; then : >"$work/in$n.txt"; continue; fi
    "$dir/bench/bench_search" --write "$work/gen.txt" "$n" >/dev/null
    sed "$((n / 100 * 99 + 1))s/\r\$/ \/\/ $text\r/" "$work/gen.txt" >"$work/in$n.txt"
done
rm -f "$work/gen.txt"
printf 'Macro "Nothing"\nbegin\nend\n' >"$work/empty.vlm"
printf 'Macro "Find"\nbegin\n  Find ("%s", 0);\nend\n' "$text" >"$work/find.vlm"
printf 'Macro "Replace int by long"\nbegin\n  Replace ("int", "long", 16);\nend\n' >"$work/replace.vlm"
set_=(--settings "$work/settings.ini" --answer yes)

commands=()
for work_kind in empty find replace; do
    for n in "${sizes[@]}"; do
        case $work_kind in
        empty)   commands+=("$varlin" --run "$work/empty.vlm" "${set_[@]}" --no-save "$work/in$n.txt" --) ;;
        find)    commands+=("$varlin" --run "$work/find.vlm" "${set_[@]}" --no-save "$work/in$n.txt" --) ;;
        replace) commands+=(--copy "$work/in$n.txt" "$work/out$n.txt" "$varlin" --run "$work/replace.vlm" "${set_[@]}" "$work/out$n.txt" --) ;;
        esac
    done
done
unset 'commands[${#commands[@]}-1]'
mapfile -t batch < <("$runstat" "$runs" "${commands[@]}")

window=()
for _ in $(seq "$runs"); do
    for n in "${sizes[@]}"; do window+=("$n $("$dir/bench/bench_window_open" "$work/in$n.txt" 2>/dev/null)"); done
done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
window_figure() {  # column of bench_window_open's output, size
    printf '%s\n' "${window[@]}" | awk -v n="$2" -v c="$1" '$1 == n { print $(c + 1) }' | median
}

row() {  # label, unit, the three figures
    awk -v label="$1" -v unit="$2" -v a="$3" -v b="$4" -v c="$5" 'BEGIN {
        share = c != a ? (b - a) / (c - a) : 0
        printf "%-28s %9.1f %9.1f %9.1f %s   first half of the growth: %.2f\n", label, a, b, c, unit, share
    }'
}
printf '%-28s %9s %9s %9s\n' "lines" 0 500,000 1,000,000
field() { echo "${batch[$1]}" | awk -v k="$2" '{ print $k }'; }
for k in 0 1 2; do
    label=("batch, empty script" "batch, find" "batch, replace and save")
    row "${label[$k]}" ms "$(awk -v x="$(field $((k * 3)) 1)" 'BEGIN { print x * 1000 }')" \
        "$(awk -v x="$(field $((k * 3 + 1)) 1)" 'BEGIN { print x * 1000 }')" \
        "$(awk -v x="$(field $((k * 3 + 2)) 1)" 'BEGIN { print x * 1000 }')"
done
row "batch, empty script: peak" MiB "$(awk -v x="$(field 0 3)" 'BEGIN { print x / 1024 }')" \
    "$(awk -v x="$(field 1 3)" 'BEGIN { print x / 1024 }')" "$(awk -v x="$(field 2 3)" 'BEGIN { print x / 1024 }')"
row "window, open to first paint" ms "$(window_figure 5 0)" "$(window_figure 5 500000)" "$(window_figure 5 1000000)"
row "window, resident then" MiB "$(window_figure 3 0 | awk '{ print $1 / 1024 }')" \
    "$(window_figure 3 500000 | awk '{ print $1 / 1024 }')" "$(window_figure 3 1000000 | awk '{ print $1 / 1024 }')"

#!/usr/bin/env bash
# Times browse and open's search over a generated tree of 10,000 files (about 100 MB)
# against `grep -rlF` with the same filter, after checking that both find the same files:
#   *.c, case told apart     bench_folder_search --search   vs  grep -rlF --include='*.c'
#   *.*, case ignored        bench_folder_search --search   vs  grep -rlFi
# (target: at most 1.5 times grep's time), and how long "Abbrechen" takes to stop a
# running search (target: below 100 ms). Runs of the two sides alternate and the medians
# of RUNS (7) are compared. Usage: bench/folder_search.sh [BUILD_DIR] (a Release build).
# BENCH_DIR chooses where the tree is written (default /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
runs=${RUNS:-7}
cmake --build "$dir" --target bench_folder_search >/dev/null
bench="$dir/bench/bench_folder_search"
work=$(mktemp -d "${BENCH_DIR:-/tmp}/folder_search.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$bench" --write "$work/tree"
text=rare_token_42

same() {  # the two lists of files, sorted, must be equal
    if ! diff <(sort "$1") <(sort "$2") >/dev/null; then echo "folder_search: $3 found other files than grep" >&2; exit 1; fi
}
"$bench" --search "$work/tree" "$text" '*.c' 1 >"$work/ours_c"
grep -rlF --include='*.c' "$text" "$work/tree" >"$work/grep_c"
same "$work/ours_c" "$work/grep_c" "*.c"
"$bench" --search "$work/tree" RARE_TOKEN_42 '*.*' 0 >"$work/ours_all"
grep -rlFi RARE_TOKEN_42 "$work/tree" >"$work/grep_all"
same "$work/ours_all" "$work/grep_all" "*.*"

medians() {
    python3 - "$runs" "$@" <<'PY'
import subprocess, sys, time
runs = int(sys.argv[1])
commands, current = [], []
for arg in sys.argv[2:]:
    if arg == "--":
        commands.append(current); current = []
    else:
        current.append(arg)
commands.append(current)
times = [[] for _ in commands]
for _ in range(runs):
    for i, cmd in enumerate(commands):
        t = time.perf_counter()
        subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times[i].append(time.perf_counter() - t)
print(" ".join(f"{sorted(t)[len(t) // 2]:.4f}" for t in times))
PY
}
read -r ours_c grep_c ours_all grep_all < <(medians \
    "$bench" --search "$work/tree" "$text" '*.c' 1 -- grep -rlF --include='*.c' "$text" "$work/tree" -- \
    "$bench" --search "$work/tree" RARE_TOKEN_42 '*.*' 0 -- grep -rlFi RARE_TOKEN_42 "$work/tree")
cancel=$("$bench" --cancel "$work/tree")
files=$(wc -l <"$work/ours_all")
awk -v oc="$ours_c" -v gc="$grep_c" -v oa="$ours_all" -v ga="$grep_all" -v cancel="$cancel" -v files="$files" 'BEGIN {
    printf "browse and open over 10,000 files (about 100 MB), %d of them hold the text:\n", files
    printf "  *.c, case told apart:  %7.4f s   grep -rlF --include:  %7.4f s   ratio %.2f (at most 1.5 wanted)\n", oc, gc, oc / gc
    printf "  *.*, case ignored:     %7.4f s   grep -rlFi:           %7.4f s   ratio %.2f (at most 1.5 wanted)\n", oa, ga, oa / ga
    printf "  Abbrechen stops a running search within %.1f ms (longest of 20; below 100 wanted)\n", cancel
}'

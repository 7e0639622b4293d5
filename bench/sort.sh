#!/usr/bin/env bash
# Times sorting 10,000 lines of 80 characters: the editor's line store reading a file,
# sorting it and writing it back (safely, with fsync) against `LC_ALL=C sort` of the same
# file. Both sides are counted without process start-up: ours is timed inside the
# process, the peer's as its run on the file minus its run on an empty file (best of
# thirty each). Checks that both give the same lines, then prints the times and ratios.
# Usage: bench/sort.sh [BUILD_DIR] (default build; use a Release build).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
cmake --build "$dir" --target bench_sort >/dev/null
bench="$dir/bench/bench_sort"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" --write "$work/in.txt" 10000
: > "$work/empty.txt"

"$bench" --once "$work/in.txt" "$work/ours.txt"
LC_ALL=C sort "$work/in.txt" > "$work/peer.txt"
tr -d '\r' < "$work/ours.txt" | cmp -s - "$work/peer.txt" || { echo "sort: results differ" >&2; exit 1; }

read -r ours_read ours_sort ours_write < <("$bench" "$work/in.txt")
peer=$(python3 - "$work/in.txt" "$work/empty.txt" <<'PY'
import os, subprocess, sys, time
env = dict(os.environ, LC_ALL="C")
def best(path):
    b = 1e9
    for _ in range(30):
        t = time.perf_counter()
        subprocess.run(["sort", path], env=env, stdout=subprocess.DEVNULL, check=True)
        b = min(b, time.perf_counter() - t)
    return b
print(f"{best(sys.argv[1]) - best(sys.argv[2]):.6f}")
PY
)
awk -v r="$ours_read" -v s="$ours_sort" -v w="$ours_write" -v p="$peer" 'BEGIN {
    total = r + s + w
    printf "editor: read %.4f s, SortLines %.4f s, write %.4f s, together %.4f s\n", r, s, w, total
    printf "LC_ALL=C sort (without start-up): %.4f s\n", p
    printf "editor / sort, read+sort+write: %.2f (at most 2 wanted)\n", total / p
    printf "editor / sort, SortLines alone: %.2f\n", s / p
}'

#!/usr/bin/env bash
# Times loading and saving a 1,000,000-line C-like source file (~40 MB, CR LF): the
# editor's Load + SaveTo (safe saving with fsync included), the practical lower bound of
# one allocation per line (bench/load_save_floor.c, compiled here), and vim on raw bytes
# when it is installed. Each is a whole process run, median of RUNS (7); peak memory
# comes from /usr/bin/time -v. Checks that all outputs are the same bytes, then prints
# the medians and the ratios. Usage: bench/load_save.sh [BUILD_DIR] (use a Release build).
# BENCH_DIR chooses the folder of the test files (default /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
runs=${RUNS:-7}
cmake --build "$dir" --target bench_load_save >/dev/null
bench="$dir/bench/bench_load_save"
work=$(mktemp -d "${BENCH_DIR:-/tmp}/load_save.XXXXXX")
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/floor" bench/load_save_floor.c
"$bench" --write "$work/in.txt"
size=$(stat -c %s "$work/in.txt")

"$bench" --once "$work/in.txt" "$work/ours.txt"
"$work/floor" "$work/in.txt" "$work/floor.txt"
cmp -s "$work/in.txt" "$work/ours.txt" || { echo "load_save: our output differs" >&2; exit 1; }
cmp -s "$work/in.txt" "$work/floor.txt" || { echo "load_save: floor output differs" >&2; exit 1; }
have_vim=0
if command -v vim >/dev/null; then
    vim_cmd=(vim -u NONE -i NONE -n -es --cmd 'set enc=latin1 fencs= ffs=dos'
             -c "w! $work/vim.txt" -c 'q!' "$work/in.txt")
    "${vim_cmd[@]}" </dev/null >/dev/null 2>&1 || true
    cmp -s "$work/in.txt" "$work/vim.txt" && have_vim=1 || echo "load_save: vim output differs, left out" >&2
fi

median() {  # median seconds of running the command RUNS times
    python3 - "$runs" "$@" <<'PY'
import subprocess, sys, time
runs, cmd = int(sys.argv[1]), sys.argv[2:]
times = []
for _ in range(runs):
    t = time.perf_counter()
    subprocess.run(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=False)
    times.append(time.perf_counter() - t)
times.sort()
print(f"{times[len(times) // 2]:.4f}")
PY
}
peak_kb() {
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -v "$@" </dev/null 2>&1 >/dev/null | awk -F: '/Maximum resident/ {gsub(/ /, "", $2); print $2}'
    else
        echo 0
    fi
}

ours_t=$(median "$bench" --once "$work/in.txt" "$work/ours.txt")
floor_t=$(median "$work/floor" "$work/in.txt" "$work/floor.txt")
ours_m=$(peak_kb "$bench" --once "$work/in.txt" "$work/ours.txt")
floor_m=$(peak_kb "$work/floor" "$work/in.txt" "$work/floor.txt")
read -r in_load in_save < <("$bench" "$work/in.txt" "$work/ours.txt" "$runs")
vim_t=0 vim_m=0
if [ "$have_vim" = 1 ]; then
    vim_t=$(median "${vim_cmd[@]}")
    vim_m=$(peak_kb "${vim_cmd[@]}")
fi
awk -v size="$size" -v ot="$ours_t" -v ft="$floor_t" -v vt="$vim_t" -v om="$ours_m" \
    -v fm="$floor_m" -v vm="$vim_m" -v il="$in_load" -v is="$in_save" -v runs="$runs" 'BEGIN {
    mb = size / 1048576
    printf "file: %.1f MB, 1,000,000 lines; medians of %d process runs\n", mb, runs
    printf "editor Load+SaveTo: %.3f s (in process: Load %.3f s, SaveTo %.3f s), peak %.1f MB\n", ot, il, is, om / 1024
    printf "C lower bound:      %.3f s, peak %.1f MB\n", ft, fm / 1024
    if (vt > 0) printf "vim:                %.3f s, peak %.1f MB\n", vt, vm / 1024
    printf "editor / lower bound, time: %.2f (at most 1.5 wanted)\n", ot / ft
    if (vt > 0) printf "editor / vim, time: %.2f; vim / lower bound: %.2f\n", ot / vt, vt / ft
    printf "peak memory / file size: editor %.2f (at most 1.5 wanted), lower bound %.2f", om * 1024 / size, fm * 1024 / size
    if (vm > 0) printf ", vim %.2f", vm * 1024 / size
    printf "\n"
}'

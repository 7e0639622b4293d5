#!/usr/bin/env bash
# Times searching and replacing in a 1,000,000-line C-like source file (~44 MB, CR LF)
# against the standard tools, and prints the times and ratios:
#   find     the search for a text that stands only in the last line, from line 0, timed
#            inside the process (the file already loaded), with and without CapsSens,
#            against the whole run of `grep -F -c TEXT FILE` to a pipe (target: within 2x)
#   replace  Replace of "int" by "long" with Mode 16 (all, no question): one whole run of
#            load, replace and save, against `sed 's/int/long/g' FILE > OUT` (target: no
#            slower); the outputs must be the same bytes. Timed twice: bench_search (the
#            engine alone with load and save) and, when the build dir has the editor,
#            batch mode `varlin --run` with a one-line script on a fresh copy of the file
# Runs of the two sides alternate and the medians of RUNS (7) are compared, so that a
# busy machine slows both alike. Usage: bench/search.sh [BUILD_DIR] (use a Release build).
# BENCH_DIR chooses the folder of the test files (default /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
runs=${RUNS:-7}
cmake --build "$dir" --target bench_search >/dev/null
bench="$dir/bench/bench_search"
work=$(mktemp -d "${BENCH_DIR:-/tmp}/search.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$bench" --write "$work/in.txt"
text=needle_in_the_last_line
[ "$(grep -F -c "$text" "$work/in.txt")" = 1 ] || { echo "search: the text must stand in one line" >&2; exit 1; }

# Medians of whole runs: each command is "OUT cmd args...", OUT "-" for a pipe or
# "copy=SRC=DST" for copying SRC to DST before each run (untimed, output discarded); the
# commands are separated by "--" and run in turn.
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
    for i, (out, *cmd) in enumerate(commands):
        if out.startswith("copy="):
            _, src, dst = out.split("=", 2)
            with open(src, "rb") as a, open(dst, "wb") as b:
                b.write(a.read())
            out = "/dev/null"
        sink = subprocess.PIPE if out == "-" else open(out, "wb")
        t = time.perf_counter()
        p = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=sink, stderr=subprocess.DEVNULL)
        if out == "-":
            p.stdout.read()
        p.wait()
        times[i].append(time.perf_counter() - t)
        if out != "-":
            sink.close()
print(" ".join(f"{sorted(t)[len(t) // 2]:.4f}" for t in times))
PY
}

read -r caps nocaps < <("$bench" --find "$work/in.txt" "$text" "$runs" 2>/dev/null)
read -r grep_t grepi_t < <(medians - grep -F -c "$text" "$work/in.txt" -- - grep -F -i -c "$text" "$work/in.txt")

"$bench" --replace "$work/in.txt" "$work/ours.txt" >/dev/null 2>&1
sed 's/int/long/g' "$work/in.txt" >"$work/sed.txt"
cmp -s "$work/ours.txt" "$work/sed.txt" || { echo "search: the replaced file differs from sed's" >&2; exit 1; }
read -r ours_t sed_t < <(medians /dev/null "$bench" --replace "$work/in.txt" "$work/ours.txt" \
                                 -- "$work/sed.txt" sed 's/int/long/g' "$work/in.txt")
read -r _ load_t replace_t save_t < <("$bench" --replace "$work/in.txt" "$work/ours.txt" 2>/dev/null)

batch_t=0 batch_sed_t=1
if [ -x "$dir/varlin" ]; then
    printf 'Macro "Replace int by long"\nbegin\n  Replace ("int", "long", 16);\nend\n' >"$work/replace.vlm"
    cp "$work/in.txt" "$work/batch.txt"
    "$dir/varlin" --run "$work/replace.vlm" --settings "$work/settings.ini" "$work/batch.txt" >/dev/null 2>&1
    cmp -s "$work/batch.txt" "$work/sed.txt" || { echo "search: batch mode's file differs from sed's" >&2; exit 1; }
    read -r batch_t batch_sed_t < <(medians "copy=$work/in.txt=$work/batch.txt" "$dir/varlin" --run "$work/replace.vlm" \
                                        --settings "$work/settings.ini" "$work/batch.txt" \
                                        -- "$work/sed.txt" sed 's/int/long/g' "$work/in.txt")
fi

awk -v caps="$caps" -v nocaps="$nocaps" -v g="$grep_t" -v gi="$grepi_t" \
    -v ours="$ours_t" -v sed="$sed_t" -v l="$load_t" -v r="$replace_t" -v s="$save_t" \
    -v batch="$batch_t" -v bsed="$batch_sed_t" 'BEGIN {
    printf "find, text only in the last of 1,000,000 lines (search alone, in process):\n"
    printf "  CapsSens 1:         %7.4f s   grep -F -c (whole run): %7.4f s   ratio %.2f (at most 2 wanted)\n", caps, g, caps / g
    printf "  CapsSens 0:         %7.4f s   grep -F -c (whole run): %7.4f s   ratio %.2f (at most 2 wanted)\n", nocaps, g, nocaps / g
    printf "                                  grep -F -i -c:          %7.4f s   ratio %.2f\n", gi, nocaps / gi
    printf "replace int -> long, Mode 16, load + replace + save (whole run):\n"
    printf "  bench_search:       %7.4f s   (load %.4f, replace %.4f, save %.4f)\n", ours, l, r, s
    printf "  sed s/int/long/g:   %7.4f s   ratio %.2f (at most 1 wanted)\n", sed, ours / sed
    if (batch > 0) {
        printf "  varlin --run:       %7.4f s\n", batch
        printf "  sed s/int/long/g:   %7.4f s   ratio %.2f (at most 1 wanted)\n", bsed, batch / bsed
    } else {
        printf "  (no varlin in the build folder: batch mode not timed)\n"
    }
}'

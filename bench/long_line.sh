#!/usr/bin/env bash
# One huge line against the command-line tools, whole processes of batch mode (`varlin
# --run`): a file of a few short lines and one line of 16,000,000 characters (about
# 15 MB, LF), which gets a line buffer of its own.
#   memory    an empty script on the file, --no-save    vim -u NONE -es on the file
#             (peak resident memory, as a multiple of the file's size)
#   replace   Replace ("ab", "xy", 16), load and save  sed s/ab/xy/g FILE >OUT
#             (800,000 hits, all in the one line)
# Runs alternate, RUNS (9) rounds; medians of processor time are compared. vim is installed
# when missing. Usage: bench/long_line.sh [BUILD_DIR] (use a Release build). BENCH_DIR
# chooses the folder of the test files (default /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/peers.sh
dir=${1:-build}
runs=${RUNS:-9}
cmake --build "$dir" --target varlin >/dev/null
need_peer vim vim
runstat=$(build_runstat "$dir")
varlin=$dir/varlin
work=$(mktemp -d "${BENCH_DIR:-/tmp}/long_line.XXXXXX")
trap 'rm -rf "$work"' EXIT

python3 - "$work/in.txt" <<'PY'
import sys
with open(sys.argv[1], "wb") as f:
    f.write(b"#!/bin/sh\n# one line of sixteen million characters follows\n")
    f.write(b"abcdefghijklmnopqrst" * 800000 + b"\n")
    f.write(b"end\n")
PY
size=$(stat -c %s "$work/in.txt")
printf 'Macro "Nothing"\nbegin\nend\n' >"$work/empty.vlm"
printf 'Macro "Replace in the long line"\nbegin\n  Replace ("ab", "xy", 16);\nend\n' >"$work/replace.vlm"
settings=(--settings "$work/settings.ini")

# What the runs must give: the long line whole, replaced as sed replaces it.
cp "$work/in.txt" "$work/ours.txt"
"$varlin" --run "$work/replace.vlm" "${settings[@]}" "$work/ours.txt" >/dev/null 2>&1
sed 's/ab/xy/g' "$work/in.txt" >"$work/sed.txt"
cmp -s "$work/ours.txt" "$work/sed.txt" || { echo "long_line: the replaced file differs from sed's" >&2; exit 1; }

{ read -r mem_vt _ mem_v; read -r mem_pt _ mem_p; } < <(
    "$runstat" "$runs" "$varlin" --run "$work/empty.vlm" "${settings[@]}" --no-save "$work/in.txt" \
        -- vim -u NONE -i NONE -n -es -c q "$work/in.txt")
{ read -r repl_v repl_vw _; read -r repl_p repl_pw _; } < <(
    "$runstat" "$runs" --copy "$work/in.txt" "$work/ours.txt" "$varlin" --run "$work/replace.vlm" "${settings[@]}" "$work/ours.txt" \
        -- --out "$work/sed.txt" sed 's/ab/xy/g' "$work/in.txt")

awk -v size="$size" -v runs="$runs" -v mvt="$mem_vt" -v mpt="$mem_pt" -v mv="$mem_v" -v mp="$mem_p" \
    -v rv="$repl_v" -v rp="$repl_p" -v rvw="$repl_vw" -v rpw="$repl_pw" 'BEGIN {
    printf "file: %.1f MB, one line of 16,000,000 characters; medians of %d runs of processor time\n", size / 1048576, runs
    printf "memory, empty script:    varlin %6.1f MB = %.2f x file (%.0f ms)  vim -es %6.1f MB = %.2f x file (%.0f ms)  ratio %.2f (at most 1.2 x file wanted)\n",
           mv / 1024, mv * 1024 / size, mvt * 1000, mp / 1024, mp * 1024 / size, mpt * 1000, mv / mp
    printf "replace ab by xy:        varlin %6.1f ms  sed %6.1f ms  ratio %.2f; wall time ratio %.2f (varlin waits for the disk)\n",
           rv * 1000, rp * 1000, rv / rp, rvw / rpw
}'

#!/usr/bin/env bash
# Times converting a 1,000,000-line document to HTML sequences: the editor reading the
# file, running command 302 over it and writing it back, against `LC_ALL=C sed` with the
# same 22 replacements (the table without "&", which the conversion leaves alone). Checks
# that both give the same text, then prints the times and the ratio (best of five; the
# peer's start-up, its run on an empty file, is taken off).
# Usage: bench/html.sh [BUILD_DIR] (default build; use a Release build).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
cmake --build "$dir" --target bench_html >/dev/null
bench="$dir/bench/bench_html"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" --write "$work/in.txt" 1000000
: > "$work/empty.txt"

script=""
while read -r byte name; do
    script+="s/\\x${byte}/\\&${name};/g;"
done <<'TABLE'
e4 auml
f6 ouml
fc uuml
c4 Auml
d6 Ouml
dc Uuml
df szlig
e1 aacute
e9 eacute
ed iacute
f3 oacute
fa uacute
e0 agrave
e8 egrave
ec igrave
f2 ograve
f9 ugrave
e2 acirc
ea ecirc
ee icirc
f4 ocirc
fb ucirc
TABLE

"$bench" --once "$work/in.txt" "$work/ours.txt"
LC_ALL=C sed -e "$script" "$work/in.txt" > "$work/peer.txt"
tr -d '\r' < "$work/ours.txt" | cmp -s - "$work/peer.txt" || { echo "html: results differ" >&2; exit 1; }

read -r ours_read ours_convert ours_write < <("$bench" "$work/in.txt")
peer=$(python3 - "$script" "$work/in.txt" "$work/empty.txt" <<'PY'
import os, subprocess, sys, time
env = dict(os.environ, LC_ALL="C")
def best(path, runs):
    b = 1e9
    for _ in range(runs):
        t = time.perf_counter()
        subprocess.run(["sed", "-e", sys.argv[1], path], env=env, stdout=subprocess.DEVNULL, check=True)
        b = min(b, time.perf_counter() - t)
    return b
print(f"{best(sys.argv[2], 5) - best(sys.argv[3], 20):.6f}")
PY
)
awk -v r="$ours_read" -v c="$ours_convert" -v w="$ours_write" -v p="$peer" 'BEGIN {
    total = r + c + w
    printf "editor: read %.3f s, LinesToHtml %.3f s, write %.3f s, together %.3f s\n", r, c, w, total
    printf "LC_ALL=C sed (without start-up):  %.3f s\n", p
    printf "editor / sed, read+convert+write: %.2f (at most 2 wanted)\n", total / p
    printf "editor / sed, LinesToHtml alone:  %.2f\n", c / p
}'

#!/usr/bin/env bash
# Times printing 100,000 lines of C source to a PDF file: the editor in batch mode
# (`varlin --run print.vlm --print-to FILE.pdf`, load and PDF writing included) against
# `enscript` + `ps2pdf` making a PDF of the same text in the same run (installed when
# missing). Runs 10,000 lines as well, to show that the time grows with the lines printed.
# Checks that both PDFs hold the text, then prints times, pages and ratios (best of three).
# Usage: bench/print.sh [BUILD_DIR] (default build; use a Release build).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
cmake --build "$dir" --target varlin >/dev/null
varlin="$(pwd)/$dir/varlin"
if ! command -v enscript >/dev/null || ! command -v ps2pdf >/dev/null; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get install -y -qq enscript ghostscript >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'Macro "print"\nbegin\n  Print ();\nend\n' > print.vlm
python3 - <<'PY'
import random
random.seed(7)
words = ["int", "count", "value", "index", "return", "buffer", "length", "result", "node", "next"]
for n in (10000, 100000):
    with open(f"src{n}.c", "w") as f:
        for i in range(n):
            if i % 20 == 0:
                f.write(f"int function_{i}(int a, int b)\n")
            else:
                f.write("    " + " ".join(random.choice(words) for _ in range(random.randint(2, 9))) + ";\n")
PY

best() {  # best wall time of three runs of the command, in seconds
    python3 - "$@" <<'PY'
import subprocess, sys, time
b = 1e9
for _ in range(3):
    t = time.perf_counter()
    subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    b = min(b, time.perf_counter() - t)
print(f"{b:.3f}")
PY
}

for n in 10000 100000; do
    ours=$(best "$varlin" --run print.vlm --settings s.ini --print-to "ours$n.pdf" "src$n.c")
    peer=$(best sh -c "enscript -q -p peer$n.ps src$n.c && ps2pdf peer$n.ps peer$n.pdf")
    pdftotext "ours$n.pdf" - | grep -q "function_$((n - 20))" || { echo "print: our PDF lacks the text" >&2; exit 1; }
    pdftotext "peer$n.pdf" - | grep -q "function_$((n - 20))" || { echo "print: the peer's PDF lacks the text" >&2; exit 1; }
    ours_pages=$(pdfinfo "ours$n.pdf" | awk '/^Pages:/ {print $2}')
    peer_pages=$(pdfinfo "peer$n.pdf" | awk '/^Pages:/ {print $2}')
    eval "ours_$n=$ours peer_$n=$peer"
    awk -v n="$n" -v o="$ours" -v p="$peer" -v op="$ours_pages" -v pp="$peer_pages" 'BEGIN {
        printf "%6d lines: editor %.3f s (%d pages), enscript+ps2pdf %.3f s (%d pages), editor / peer %.2f\n",
               n, o, op, p, pp, o / p
    }'
done
awk -v a="$ours_10000" -v b="$ours_100000" -v c="$peer_10000" -v d="$peer_100000" 'BEGIN {
    printf "growth from 10,000 to 100,000 lines: editor x%.1f, peer x%.1f (x10 is proportional)\n", b / a, d / c
}'

#!/usr/bin/env bash
# Batch mode (`varlin --run`) against the command-line tools, whole processes, on a
# 1,000,000-line C-like source (about 44 MB, CR LF; bench_search writes it):
#   start-up  an empty script without a file        vim -u NONE -es -c q
#             (and which libraries the run loads: no window library may be among them)
#   memory    an empty script on the file, --no-save vim -u NONE -es on the file
#             (peak resident memory, as a multiple of the file's size)
#   find      Find of a text that stands only on line 990,001     grep -F -c TEXT FILE
#   replace   Replace ("int", "long", 16), load and save          sed s/int/long/g FILE >OUT
#   regex find     Find ("text_on_line_[0-9]+", 33) (Mode 32: a regular expression)
#                                                                 grep -E -c EXPR FILE
#   regex replace  Replace ("\bint\b", "long", 49), load and save  sed -E s/\bint\b/long/g FILE >OUT
# Runs alternate, RUNS (9) rounds; medians of processor time are compared, so that a busy
# machine slows both alike. vim is installed when missing. Usage: bench/batch.sh [BUILD_DIR]
# (use a Release build). BENCH_DIR chooses the folder of the test files (default /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/peers.sh
dir=${1:-build}
runs=${RUNS:-9}
cmake --build "$dir" --target varlin bench_search >/dev/null
need_peer vim vim
runstat=$(build_runstat "$dir")
varlin=$dir/varlin
work=$(mktemp -d "${BENCH_DIR:-/tmp}/batch.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$dir/bench/bench_search" --write "$work/gen.txt" >/dev/null
text=text_on_line_990001
sed "990001s/\r\$/ \/\/ $text\r/" "$work/gen.txt" >"$work/in.txt"
rm "$work/gen.txt"
size=$(stat -c %s "$work/in.txt")
[ "$(grep -F -c "$text" "$work/in.txt")" = 1 ] || { echo "batch: the text must stand in one line" >&2; exit 1; }
printf 'Macro "Nothing"\nbegin\nend\n' >"$work/empty.vlm"
printf 'Macro "Find"\nbegin\n  Find ("%s", 0);\n  Print (GetCaretLine ());\nend\n' "$text" >"$work/find.vlm"
printf 'Macro "Replace int by long"\nbegin\n  Replace ("int", "long", 16);\nend\n' >"$work/replace.vlm"
regex_text='text_on_line_[0-9]+'
printf 'Macro "Find an expression"\nbegin\n  Find ("%s", 33);\n  Print (GetCaretLine ());\nend\n' "$regex_text" >"$work/refind.vlm"
printf 'Macro "Replace the word int by long"\nbegin\n  Replace ("\\bint\\b", "long", 49);\nend\n' >"$work/rereplace.vlm"
settings=(--settings "$work/settings.ini")

# What the runs must give.
[ "$("$varlin" --run "$work/find.vlm" "${settings[@]}" --no-save "$work/in.txt" 2>/dev/null)" = 990001 ] ||
    { echo "batch: Find did not reach line 990001" >&2; exit 1; }
cp "$work/in.txt" "$work/ours.txt"
"$varlin" --run "$work/replace.vlm" "${settings[@]}" "$work/ours.txt" >/dev/null 2>&1
sed 's/int/long/g' "$work/in.txt" >"$work/sed.txt"
cmp -s "$work/ours.txt" "$work/sed.txt" || { echo "batch: the replaced file differs from sed's" >&2; exit 1; }
[ "$("$varlin" --run "$work/refind.vlm" "${settings[@]}" --no-save "$work/in.txt" 2>/dev/null)" = 990001 ] ||
    { echo "batch: the regex Find did not reach line 990001" >&2; exit 1; }
cp "$work/in.txt" "$work/ours.txt"
"$varlin" --run "$work/rereplace.vlm" "${settings[@]}" "$work/ours.txt" >/dev/null 2>&1
LC_ALL=C sed -E 's/\bint\b/long/g' "$work/in.txt" >"$work/sed.txt"
cmp -s "$work/ours.txt" "$work/sed.txt" || { echo "batch: the regex-replaced file differs from sed -E's" >&2; exit 1; }
libraries=$(LD_DEBUG=libs "$varlin" --run "$work/empty.vlm" "${settings[@]}" 2>&1 | grep -c 'calling init:' || true)
window_libraries=$(LD_DEBUG=libs "$varlin" --run "$work/empty.vlm" "${settings[@]}" 2>&1 |
                   grep 'calling init:' | grep -c -E 'libQt6(Gui|Widgets)' || true)

{ read -r start_v _ start_vm; read -r start_p _ start_pm; } < <(
    "$runstat" "$runs" "$varlin" --run "$work/empty.vlm" "${settings[@]}" -- vim -u NONE -es -c q)
{ read -r mem_vt _ mem_v; read -r mem_pt _ mem_p; } < <(
    "$runstat" "$runs" "$varlin" --run "$work/empty.vlm" "${settings[@]}" --no-save "$work/in.txt" \
        -- vim -u NONE -i NONE -n -es -c q "$work/in.txt")
{ read -r find_v find_vw _; read -r find_p find_pw _; } < <(
    "$runstat" "$runs" "$varlin" --run "$work/find.vlm" "${settings[@]}" --no-save "$work/in.txt" \
        -- grep -F -c "$text" "$work/in.txt")
{ read -r repl_v repl_vw _; read -r repl_p repl_pw _; } < <(
    "$runstat" "$runs" --copy "$work/in.txt" "$work/ours.txt" "$varlin" --run "$work/replace.vlm" "${settings[@]}" "$work/ours.txt" \
        -- --out "$work/sed.txt" sed 's/int/long/g' "$work/in.txt")

{ read -r refind_v refind_vw _; read -r refind_p refind_pw _; } < <(
    "$runstat" "$runs" "$varlin" --run "$work/refind.vlm" "${settings[@]}" --no-save "$work/in.txt" \
        -- grep -E -c "$regex_text" "$work/in.txt")
{ read -r rerepl_v rerepl_vw _; read -r rerepl_p rerepl_pw _; } < <(
    "$runstat" "$runs" --copy "$work/in.txt" "$work/ours.txt" "$varlin" --run "$work/rereplace.vlm" "${settings[@]}" "$work/ours.txt" \
        -- --out "$work/sed.txt" env LC_ALL=C sed -E 's/\bint\b/long/g' "$work/in.txt")

awk -v size="$size" -v runs="$runs" -v libs="$libraries" -v wlibs="$window_libraries" \
    -v sv="$start_v" -v sp="$start_p" -v svm="$start_vm" -v spm="$start_pm" \
    -v mvt="$mem_vt" -v mpt="$mem_pt" -v mv="$mem_v" -v mp="$mem_p" \
    -v fv="$find_v" -v fp="$find_p" -v rv="$repl_v" -v rp="$repl_p" \
    -v fvw="$find_vw" -v fpw="$find_pw" -v rvw="$repl_vw" -v rpw="$repl_pw" \
    -v xfv="$refind_v" -v xfp="$refind_p" -v xfvw="$refind_vw" -v xfpw="$refind_pw" \
    -v xrv="$rerepl_v" -v xrp="$rerepl_p" -v xrvw="$rerepl_vw" -v xrpw="$rerepl_pw" 'BEGIN {
    printf "file: %.1f MB, 1,000,000 lines, CR LF; medians of %d runs of processor time\n", size / 1048576, runs
    printf "start-up, empty script:  varlin %6.1f ms (%.1f MB)  vim -es -c q %6.1f ms (%.1f MB)  ratio %.2f (at most 1 wanted)\n",
           sv * 1000, svm / 1024, sp * 1000, spm / 1024, sv / sp
    printf "  libraries loaded: %d, window libraries among them: %d (none wanted)\n", libs, wlibs
    printf "memory, empty script:    varlin %6.1f MB = %.2f x file (%.0f ms)  vim -es %6.1f MB = %.2f x file (%.0f ms)  ratio %.2f (at most 1.2 x file wanted)\n",
           mv / 1024, mv * 1024 / size, mvt * 1000, mp / 1024, mp * 1024 / size, mpt * 1000, mv / mp
    printf "find on line 990,001:    varlin %6.1f ms  grep -F -c %6.1f ms  ratio %.2f (at most 3 wanted); wall time ratio %.2f\n",
           fv * 1000, fp * 1000, fv / fp, fvw / fpw
    printf "replace int by long:     varlin %6.1f ms  sed %6.1f ms  ratio %.2f (at most 0.6 wanted); wall time ratio %.2f (varlin waits for the disk)\n",
           rv * 1000, rp * 1000, rv / rp, rvw / rpw
    printf "regex find, line 990,001: varlin %6.1f ms  grep -E -c %6.1f ms  ratio %.2f (at most 3 wanted); wall time ratio %.2f\n",
           xfv * 1000, xfp * 1000, xfv / xfp, xfvw / xfpw
    printf "regex replace \\bint\\b:   varlin %6.1f ms  sed -E %6.1f ms  ratio %.2f (at most 1.5 wanted); wall time ratio %.2f\n",
           xrv * 1000, xrp * 1000, xrv / xrp, xrvw / xrpw
}'

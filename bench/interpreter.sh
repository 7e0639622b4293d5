#!/usr/bin/env bash
# The macro interpreter against lua5.4, LuaJIT's interpreter (luajit -joff) and python3 on
# the same programs, whole processes from start to end (bench/programs/):
#   count  a 10,000,000-round counting loop (count.vlm, count.lua, count.py)
#   mod    10,000,000 rounds of mod, * and + on a running sum (mod.vlm, mod.lua; both
#          must print the same number)
#   text   a 1 MB text built with +, then Mid, Pos and Len over it 100,000 times
#          (text.vlm, text.lua; both must print the same line)
# Runs alternate, RUNS (9) rounds; the medians of processor time are compared, so that a
# busy machine slows both alike. lua5.4 and luajit are installed when missing. Also prints
# the counting loop timed inside the process (bench_interpreter).
# Usage: bench/interpreter.sh [BUILD_DIR] (use a Release or RelWithDebInfo build).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/peers.sh
dir=${1:-build}
runs=${RUNS:-9}
cmake --build "$dir" --target varlin bench_interpreter >/dev/null
need_peer lua5.4 lua5.4
need_peer luajit luajit
runstat=$(build_runstat "$dir")
varlin=$dir/varlin
p=bench/programs

for work in text mod; do
    ours=$("$varlin" --run $p/$work.vlm)
    theirs=$(lua5.4 $p/$work.lua)
    [ "$ours" = "$theirs" ] || { echo "interpreter: $work printed '$ours', lua5.4 '$theirs'" >&2; exit 1; }
done

{ read -r count_v _ count_vm; read -r count_l _ count_lm; read -r count_j _ _; read -r count_p _ _; } < <(
    "$runstat" "$runs" "$varlin" --run $p/count.vlm -- lua5.4 $p/count.lua -- luajit -joff $p/count.lua \
        -- python3 $p/count.py)
{ read -r mod_v _ _; read -r mod_l _ _; read -r mod_j _ _; } < <(
    "$runstat" "$runs" "$varlin" --run $p/mod.vlm -- lua5.4 $p/mod.lua -- luajit -joff $p/mod.lua)
{ read -r text_v _ text_vm; read -r text_l _ text_lm; } < <(
    "$runstat" "$runs" "$varlin" --run $p/text.vlm -- lua5.4 $p/text.lua)
inside=$("$dir/bench/bench_interpreter" 10000000)

awk -v cv="$count_v" -v cl="$count_l" -v cj="$count_j" -v cp="$count_p" \
    -v mv="$mod_v" -v ml="$mod_l" -v mj="$mod_j" -v tv="$text_v" -v tl="$text_l" \
    -v cvm="$count_vm" -v clm="$count_lm" -v tvm="$text_vm" -v tlm="$text_lm" -v inproc="$inside" \
    -v runs="$runs" 'BEGIN {
    printf "whole processes, medians of %d runs of processor time\n", runs
    printf "counting loop:  varlin %6.1f ms (%.1f MB)   lua5.4 %6.1f ms (%.1f MB)   luajit -joff %6.1f ms   python3 %6.1f ms\n",
           cv * 1000, cvm / 1024, cl * 1000, clm / 1024, cj * 1000, cp * 1000
    printf "  varlin / luajit -joff: %.2f (at most 1 wanted); / lua5.4: %.2f; / python3: %.2f\n",
           cv / cj, cv / cl, cv / cp
    printf "  the loop alone, inside the process: %.1f ms\n", inproc * 1000
    printf "mod loop:       varlin %6.1f ms   lua5.4 %6.1f ms   luajit -joff %6.1f ms\n",
           mv * 1000, ml * 1000, mj * 1000
    printf "  varlin / lua5.4: %.2f (at most 0.8 wanted); / luajit -joff: %.2f\n", mv / ml, mv / mj
    printf "text work:      varlin %6.1f ms (%.1f MB)   lua5.4 %6.1f ms (%.1f MB)\n",
           tv * 1000, tvm / 1024, tl * 1000, tlm / 1024
    printf "  varlin / lua5.4: %.2f (at most 1 wanted)\n", tv / tl
}'

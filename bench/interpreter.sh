#!/usr/bin/env bash
# Times the interpreter's counting loop (i := i + 1 ten million times) against the same
# loop in python3 and prints both times and the ratio. Usage: bench/interpreter.sh [BUILD_DIR]
# (default build; the benchmark is built there, best of three runs each).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
rounds=10000000
cmake --build "$dir" --target bench_interpreter >/dev/null 2>&1 || { echo "bench_interpreter does not build in $dir" >&2; exit 1; }
ours=$("$dir/bench/bench_interpreter" "$rounds")
peer=$(python3 - "$rounds" <<'PY'
import sys, time
def loop(n):
    i = 0
    while i < n:
        i = i + 1
best = 1e9
for _ in range(3):
    start = time.perf_counter()
    loop(int(sys.argv[1]))
    best = min(best, time.perf_counter() - start)
print(f"{best:.4f}")
PY
)
echo "interpreter: ${ours} s"
echo "python3:     ${peer} s"
awk -v a="$ours" -v b="$peer" 'BEGIN { printf "python3 / interpreter: %.2f (at least 2 wanted)\n", b / a }'

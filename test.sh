#!/usr/bin/env bash
# Builds Varlin twice (plain, and with AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# every test; then builds the fuzz targets with clang and fuzzes each for a few seconds.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
export QT_QPA_PLATFORM=offscreen
# The compiler cache keys on paths relative to the checkout, so a fresh clone in another folder
# reuses what an earlier run on this machine compiled.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
jobs=$(nproc)
status=0
# A skipped test passes the run only when this machine cannot give it what it needs: a
# reason starting "unavailable here", or "needs root" in a run that is not root's. Any
# other skip (a missing tool, a limit that can be set) fails the run.
check_skips() {
  [ -f "$1" ] || return 0
  awk -v root="$([ "$(id -u)" -eq 0 ] && echo 1 || echo 0)" '
    /<testcase /   { name = $0; sub(/.*name="/, "", name); sub(/".*/, "", name); skipped = 0; reason = "" }
    /<skipped /    { skipped = 1 }
    /^(unavailable here|needs root)/ { reason = $0 }
    /<\/testcase>/ {
      if (skipped && !(reason ~ /^unavailable here/ || (reason ~ /^needs root/ && !root))) {
        print "skipped for a reason this machine can mend: " name; bad = 1
      }
    }
    END { exit bad }' "$1"
}
run_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --output-junit skips.xml) || status=1
  check_skips "$dir/skips.xml" || status=1
}
run_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/tests/sanitizer/lsan.supp" \
  run_build build-asan -DCMAKE_BUILD_TYPE=Debug -DVARLIN_SANITIZE=ON
# The fuzz targets, each fuzzed for 7 seconds (about a minute in all) when clang is here.
fuzz/run.sh 7 || status=1
exit $status

#!/usr/bin/env bash
# The command and its window program: `varlin` links no window library (batch mode loads
# only the core), and without --run it becomes the window program, found beside it in a
# build folder or below libexec when installed. Usage: two_programs.sh PATH_OF_VARLIN
set -euo pipefail
varlin=$1
if ldd "$varlin" | grep -E 'libQt6(Gui|Widgets)'; then
    echo "FAILED: $varlin links a window library"
    exit 1
fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/varlin-programs-XXXXXX")
XDG_CONFIG_HOME=$scratch QT_QPA_PLATFORM=offscreen "$varlin" </dev/null >"$scratch/out" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$scratch"' EXIT
for _ in $(seq 100); do
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null || true)
    [[ $exe == */varlin-window ]] && exit 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
echo "FAILED: $varlin did not become the window program (now: ${exe:-ended})"
cat "$scratch/out"
exit 1

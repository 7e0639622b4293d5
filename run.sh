#!/usr/bin/env bash
# Installs what is missing, builds when needed and starts Varlin on the given files.
# ./run.sh --run SCRIPT FILE... runs a macro script on the files without a window (batch mode).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/tools/install-deps.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" --target varlin >/dev/null
case "${1:-}" in
  --run|--version|--help|-h) exec "$here/build/varlin" "$@" ;;
esac
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "varlin: no display found; start it on a desktop, or use batch mode: ./run.sh --run SCRIPT FILE..." >&2
  exit 2
fi
exec "$here/build/varlin" "$@"

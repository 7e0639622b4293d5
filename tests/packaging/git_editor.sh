#!/usr/bin/env bash
# Varlin as git's editor: `git commit` with core.editor "varlin --wait" and no frame
# running. The waiting start starts a frame, hands the message file to it and returns
# once the document is closed; a test macro run after the hand-over types the message,
# saves and closes (no user here). The commit must carry the message.
# Usage: git_editor.sh PATH_OF_VARLIN
set -euo pipefail
varlin=$1
command -v git >/dev/null || { echo "SKIPPED: unavailable here: no git"; exit 77; }
scratch=$(mktemp -d "${TMPDIR:-/tmp}/varlin-git-XXXXXX")
export XDG_RUNTIME_DIR=$scratch/run XDG_CONFIG_HOME=$scratch/config HOME=$scratch/home
export QT_QPA_PLATFORM=offscreen VARLIN_TEST_AFTER_HAND_OVER=$scratch/type.vlm
unset DISPLAY WAYLAND_DISPLAY
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$XDG_CONFIG_HOME" "$HOME"
cleanup() {
    # The frame that the waiting start began lives on, as it would on a desktop.
    for lock in "$XDG_RUNTIME_DIR"/varlin/*.lock; do
        [[ -s $lock ]] && kill "$(cat "$lock")" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap cleanup EXIT
cat >"$VARLIN_TEST_AFTER_HAND_OVER" <<'EOF'
Macro "Write the commit message"
begin
  InsertText ("Message typed in Varlin");
  Save ();
  Close ();
end
EOF
cd "$scratch"
git init -q repo
cd repo
git config user.email test@example.org
git config user.name Test
git config core.editor "$varlin --wait"
echo content >file.txt
git add file.txt
timeout 60 git commit -q
subject=$(git log -1 --format=%s)
if [[ $subject != "Message typed in Varlin" ]]; then
    echo "FAILED: the commit's subject is '$subject'"
    exit 1
fi

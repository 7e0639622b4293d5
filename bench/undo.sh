#!/usr/bin/env bash
# Many undo steps against the peer editor: in a 1,000,000-line document, 1,000 places
# each typed over with ten characters and 1,000 line edits (delete, duplicate, cut to the
# end), every one its own undo step (UndoSteps 10000 / undolevels=10000), then undo all.
# Both sides time the edits and the undoing inside the process (wall clock, not the
# loading); as the machine may be shared, both are also measured in CPU time: the whole
# run's minus that of a run that only loads the document. Both check that undoing gave
# back the loaded document; both report their peak memory. Prints the ratios (editor / peer).
# Usage: bench/undo.sh [BUILD_DIR] (default build; use a Release build).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
if ! command -v vim >/dev/null; then
    apt-get install -y vim-nox >/dev/null 2>&1 || sudo apt-get install -y vim-nox >/dev/null
fi
cmake --build "$dir" --target bench_undo >/dev/null
bench="$dir/bench/bench_undo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" --write "$work/doc.txt"

cat > "$work/undo.vim" <<'VIM'
set undolevels=10000
function! Place(k)
  return (a:k * 997) % (1000000 - 2000) + 1
endfunction
let s:start = reltime()
for k in range(1000)
  call cursor(Place(k), 1)
  execute "normal! i0123456789\<Esc>"
  let &undolevels = &undolevels
endfor
for k in range(1000)
  call cursor(Place(k + 1000), 5)
  let m = k % 3
  if m == 0
    normal! dd
  elseif m == 1
    t.
  else
    normal! D
  endif
  let &undolevels = &undolevels
endfor
let s:edit = reltimefloat(reltime(s:start))
let s:steps = undotree().seq_cur
let s:start = reltime()
while undotree().seq_cur > 0
  silent undo
endwhile
let s:undo = reltimefloat(reltime(s:start))
call writefile([printf('%.4f %.4f %d', s:edit, s:undo, s:steps)], $VIM_TIMES)
write! $VIM_RESULT
qall!
VIM

python3 - "$bench" "$work" <<'PY'
import os, resource, subprocess, sys
bench, work = sys.argv[1], sys.argv[2]
doc = os.path.join(work, "doc.txt")
def run(cmd, env=None):
    # In a child of its own, so that the children's figures are this run's alone:
    # stdout, CPU seconds, peak memory in KB.
    pid = os.fork()
    if pid == 0:
        out = subprocess.run(cmd, env=env, stdout=subprocess.PIPE).stdout
        u = resource.getrusage(resource.RUSAGE_CHILDREN)
        with open(os.path.join(work, "out.txt"), "wb") as f:
            f.write(out)
        with open(os.path.join(work, "usage.txt"), "w") as f:
            f.write(f"{u.ru_utime + u.ru_stime} {u.ru_maxrss}")
        os._exit(0 if out or env else 1)
    _, status = os.waitpid(pid, 0)
    if status != 0:
        sys.exit("run failed: " + " ".join(cmd))
    with open(os.path.join(work, "out.txt")) as f, open(os.path.join(work, "usage.txt")) as u:
        cpu, kb = u.read().split()
        return f.read(), float(cpu), int(kb)
vim = ["vim", "-u", "NONE", "-N", "-n", "-i", "NONE", "-es"]
ours, ours_cpu, ours_kb = run([bench, doc])
_, ours_base, _ = run([bench, "--load", doc])
edit, undo, history, _ = ours.split()
env = dict(os.environ, VIM_TIMES=os.path.join(work, "vim.txt"), VIM_RESULT=os.path.join(work, "vim_result.txt"))
_, vim_cpu, vim_kb = run(vim + ["-S", os.path.join(work, "undo.vim"), doc], env)
_, vim_base, _ = run(vim + ["-c", "qall!", doc], env)
with open(env["VIM_TIMES"]) as f:
    vedit, vundo, vsteps = f.read().split()
# The peer's run writes the document once more to compare it; that is in its CPU time.
if subprocess.run(["cmp", "-s", doc, env["VIM_RESULT"]]).returncode != 0:
    sys.exit("vim: undoing all did not give back the document")
if int(vsteps) != 2000:
    sys.exit(f"vim: {vsteps} undo steps, 2000 expected")
edit, undo, vedit, vundo = map(float, (edit, undo, vedit, vundo))
ours_work, vim_work = max(ours_cpu - ours_base, 1e-3), max(vim_cpu - vim_base, 1e-3)
print(f"editor: edits {edit:.4f} s, undo all {undo:.4f} s (wall); work {ours_work:.3f} s CPU; history {int(history)/1e6:.1f} MB; peak {ours_kb/1024:.0f} MB")
print(f"vim:    edits {vedit:.4f} s, undo all {vundo:.4f} s (wall); work {vim_work:.3f} s CPU; peak {vim_kb/1024:.0f} MB")
print(f"editor / vim: edits {edit/vedit:.2f}, undo all {undo/vundo:.2f} (wall); edits+undo CPU {ours_work/vim_work:.2f}; peak memory {ours_kb/vim_kb:.2f}")
PY

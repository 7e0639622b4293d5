#!/usr/bin/python3
"""Reads a document window of the editor through AT-SPI, as a screen reader does.

Starts a virtual X server, a D-Bus session with the accessibility bus, and the window
program on a small C file; then finds the document's text, reads its first line and the
caret offset, checks that the text has the focus, presses Down and reads the caret offset
again (and waits for the caret event). Exit 0 when all of it reads right, 1 when not, 77 (with a line starting
"unavailable here") when this machine lacks a part of the set-up.

    tools/atspi-check.py PATH/TO/varlin-window
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
FIRST_LINE = "int main(void)"
SOURCE = FIRST_LINE + "\n{\n\treturn 0;\n}\n"
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def unavailable(reason):
    print("unavailable here: " + reason)
    sys.exit(SKIP)


def free_display():
    for number in range(95, 110):
        if not os.path.exists("/tmp/.X%d-lock" % number) and not os.path.exists("/tmp/.X11-unix/X%d" % number):
            return ":%d" % number
    unavailable("no free X display number from :95 to :109")


def wait_for(predicate, seconds, step=0.1):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return None


def outer(program):
    """Checks the parts, starts the X server and runs the rest inside a D-Bus session."""
    for tool in ("Xvfb", "dbus-run-session"):
        if not shutil.which(tool):
            unavailable("%s is not installed (packages xvfb, dbus)" % tool)
    if not os.access(BUS_LAUNCHER, os.X_OK):
        unavailable("the AT-SPI bus launcher is not installed (package at-spi2-core)")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        unavailable("pyatspi is not installed (package python3-pyatspi)")
    display = free_display()
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        if not wait_for(lambda: os.path.exists("/tmp/.X11-unix/X" + display[1:]), 10):
            unavailable("Xvfb did not start on " + display)
        env = dict(os.environ, DISPLAY=display)
        inner = subprocess.run(["dbus-run-session", "--", sys.executable, __file__, "--inner", program],
                               env=env, timeout=120)
        return inner.returncode
    except subprocess.TimeoutExpired:
        print("the check did not finish within 120 seconds")
        return 1
    finally:
        xvfb.terminate()
        try:
            xvfb.wait(timeout=5)
        except subprocess.TimeoutExpired:
            xvfb.kill()


def find(node, predicate, depth=0):
    if node is None or depth > 12:
        return None
    try:
        if predicate(node):
            return node
        for i in range(node.childCount):
            found = find(node.getChildAtIndex(i), predicate, depth + 1)
            if found:
                return found
    except Exception:  # an object that went away while the tree was walked
        return None
    return None


def inner(program):
    """Inside the D-Bus session: the accessibility bus, the editor, and the reading."""
    import pyatspi
    from gi.repository import GLib

    launcher = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    folder = tempfile.mkdtemp(prefix="atspi-check-")
    editor = None
    try:
        source = os.path.join(folder, "check.c")
        with open(source, "w") as f:
            f.write(SOURCE)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   XDG_CONFIG_HOME=os.path.join(folder, "config"), HOME=folder)
        time.sleep(0.5)  # the bus launcher registers its name

        def the_text():
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                text = find(app, lambda n: n.getRole() == pyatspi.ROLE_TEXT and "check.c" in (n.name or ""))
                if text:
                    return text
            return None

        # An editor that started before the bus launcher had registered never joins the
        # bus; it is started again then, at most three times.
        node = None
        for attempt in range(3):
            editor = subprocess.Popen([program, source], env=env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL, start_new_session=True)
            node = wait_for(the_text, 20, 0.5)
            if node:
                break
            editor.terminate()
            try:
                editor.wait(timeout=5)
            except subprocess.TimeoutExpired:
                editor.kill()
        if not node:
            print("no editable text named after check.c was found on the accessibility bus")
            return 1
        text = node.queryText()
        line, start, end = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)
        before = text.caretOffset
        print("first line: %r (%d to %d)" % (line, start, end))
        print("caret before Down: %d" % before)

        moved = []
        pyatspi.Registry.registerEventListener(lambda e: moved.append(e.detail1), "object:text-caret-moved")
        # The keys go where the pointer is (no window manager gives the focus).
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(box.x + box.width // 2, box.y + box.height // 2, "abs")
        node.queryComponent().grabFocus()
        focused = wait_for(lambda: node.getState().contains(pyatspi.STATE_FOCUSED), 5)
        print("focused: %s" % bool(focused))
        pyatspi.Registry.generateKeyboardEvent(116, None, pyatspi.KEY_PRESSRELEASE)  # Down
        context = GLib.MainContext.default()

        def caret_moved():
            while context.pending():
                context.iteration(False)
            return text.caretOffset != before and moved

        wait_for(caret_moved, 10)
        after = text.caretOffset
        print("caret after Down: %d (events: %s)" % (after, moved))
        ok = line.rstrip("\n") == FIRST_LINE and start == 0 and before == 0 and focused
        ok = ok and after == len(FIRST_LINE) + 1 and after in moved
        print("read right" if ok else "read wrong")
        return 0 if ok else 1
    finally:
        for process in (editor, launcher):
            if process and process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--inner":
        sys.exit(inner(sys.argv[2]))
    if len(sys.argv) != 2:
        print(__doc__)
        sys.exit(2)
    sys.exit(outer(os.path.abspath(sys.argv[1])))

# SPDX-License-Identifier: GPL-3.0-or-later
"""What the real-program tests share: the game as a screen reader sees it,
through AT-SPI on a D-Bus session of the test's own."""

import os
import re
import sys
import tempfile
import time

import pyatspi
from gi.repository import Atspi, GLib

CELL = re.compile(r"^(?:пусто|(красная|синяя) сфера ([1-9]))$")


def private_session():
    """Runs this script again on its own session bus, whose accessibility bus
    lives in a runtime folder of its own: tests side by side must not meet."""
    if not os.environ.get("TARMELON_PRIVATE_SESSION"):
        os.environ.update(XDG_RUNTIME_DIR=tempfile.mkdtemp(), TARMELON_PRIVATE_SESSION="1")
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])


def fail(message):
    sys.exit(f"FAIL: {message}")


def wait_for(what, probe, seconds=30.0):
    """Polls probe() until it is true; the limit only keeps a broken run from hanging."""
    deadline = time.monotonic() + seconds
    while True:
        Atspi.Accessible.clear_cache(pyatspi.Registry.getDesktop(0))
        while GLib.MainContext.default().iteration(False):
            pass
        found = probe()
        if found or time.monotonic() > deadline:
            return found or fail(f"no {what} within {seconds:.0f} s")
        time.sleep(0.05)


def find(node, role, name=None):
    """The first descendant with this role (and name, blanks aside)."""
    for child in filter(None, node):
        if child.getRole() == role and name in (None, child.name.strip()):
            return child
        found = find(child, role, name)
        if found:
            return found
    return None


def game_window(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    app = wait_for("game", lambda: next((a for a in desktop if a and a.get_process_id() == pid), None))
    return app, wait_for("window", lambda: app.childCount and app[0])


def press(node, name):
    action = wait_for(f"{name} button", lambda: find(node, pyatspi.ROLE_PUSH_BUTTON, name)).queryAction()
    action.doAction([action.getName(i) for i in range(action.nActions)].index("Press"))


def read_board(table):
    """Cell values as the game keeps them: 0 empty, 1..9 red, 10..18 blue."""
    matches = [CELL.match(table.getChildAtIndex(i).name) for i in range(64)]
    if not all(matches):
        fail(f"cells named {[table.getChildAtIndex(i).name for i in range(64)]}")
    return [int(m[2]) + (9 if m[1] == "синяя" else 0) if m[1] else 0 for m in matches]

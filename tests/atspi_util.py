# SPDX-License-Identifier: GPL-3.0-or-later
"""What the real-program tests share: the game as a screen reader sees it,
read through AT-SPI on a private D-Bus session."""

import os
import re
import sys
import tempfile
import time

import pyatspi
from gi.repository import Atspi, GLib

CELL = re.compile(r"^(?:пусто|(красная|синяя) сфера ([1-9]))$")


def private_session():
    """Runs this script again on a D-Bus session of its own, whose
    accessibility bus lives in a runtime folder of its own: tests that run
    side by side must not meet on the one bus under ~/.cache."""
    if os.environ.get("TARMELON_PRIVATE_SESSION"):
        return
    runtime = tempfile.mkdtemp(prefix="tarmelon-runtime-")
    os.environ.update(XDG_RUNTIME_DIR=runtime, TARMELON_PRIVATE_SESSION="1")
    os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])


def fail(message):
    sys.exit(f"FAIL: {message}")


def wait_for(what, probe, seconds=30.0):
    """Polls probe() until it returns something true; the limit only keeps a
    broken run from hanging."""
    deadline = time.monotonic() + seconds
    while True:
        Atspi.Accessible.clear_cache(pyatspi.Registry.getDesktop(0))
        while GLib.MainContext.default().iteration(False):
            pass
        found = probe()
        if found:
            return found
        if time.monotonic() > deadline:
            fail(f"no {what} within {seconds:.0f} s")
        time.sleep(0.05)


def find(node, role, name=None):
    """The first descendant with this role (and name, blanks aside)."""
    for child in node:
        if child is None:
            continue
        if child.getRole() == role and (name is None or child.name.strip() == name):
            return child
        found = find(child, role, name)
        if found:
            return found
    return None


def game_window(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    app = wait_for("game", lambda: next((a for a in desktop if a and a.get_process_id() == pid), None))
    return app, wait_for("window", lambda: app[0] if app.childCount else None)


def press(node, name):
    button = wait_for(f"{name} button", lambda: find(node, pyatspi.ROLE_PUSH_BUTTON, name))
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)


def read_board(table):
    """Cell values as the game keeps them: 0 empty, 1..9 red, 10..18 blue."""
    board = []
    for index in range(64):
        name = table.getChildAtIndex(index).name
        match = CELL.match(name)
        if not match:
            fail(f"cell {index} is named {name!r}")
        board.append(0 if not match[1] else int(match[2]) + (9 if match[1] == "синяя" else 0))
    return board

# SPDX-License-Identifier: GPL-3.0-or-later
"""A whole game won with the keyboard alone, as a blind player would win it:
the built program runs in Xvfb on a private D-Bus session (run this under
dbus-run-session); the board is read as a screen reader reads it, an 8 x 8
AT-SPI table, and every key goes through the X server. After each move of
the focus cell the cell itself must say through the bus that it has the
focus, and the counters must agree with the cells.

Usage: dbus-run-session -- python3 tst_keyboard.py PATH_TO_TARMELON
"""

import os
import re
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import Atspi, GLib

CELL = re.compile(r"^(?:пусто|(красная|синяя) сфера ([1-9]))$")


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
    for child in node:
        if child is None:
            continue
        if child.getRole() == role and (name is None or child.name.strip() == name):
            return child
        found = find(child, role, name)
        if found:
            return found
    return None


def read_board(table):
    """Cell values as the game stores them: 0 empty, 1..9 red, 10..18 blue."""
    board = []
    for index in range(64):
        match = CELL.match(table.getChildAtIndex(index).name)
        if not match:
            fail(f"cell {index} is named {table.getChildAtIndex(index).name!r}")
        board.append(0 if not match[1] else int(match[2]) + (9 if match[1] == "синяя" else 0))
    return board


def choose_move(board):
    """Annihilate an equal pair of two colours; else merge two spheres of one
    colour, preferring a result that has an opposite partner; else absorb."""
    cells = [i for i in range(64) if board[i]]
    size = lambda v: v - 9 if v > 9 else v
    merge = absorb = None
    for a in cells:
        for b in cells:
            if a == b:
                continue
            va, vb = board[a], board[b]
            if (va > 9) != (vb > 9):
                if size(va) == size(vb):
                    return a, b
                absorb = (a, b)
                continue
            total = size(va) + size(vb)
            blue = (va > 9) != (total > 9)
            result = total - 9 if total > 9 else total
            if any(size(board[c]) == result and (board[c] > 9) != blue for c in cells if c not in (a, b)):
                merge = (a, b)
            merge = merge or (a, b)
    return merge or absorb


def keys_to(here, there):
    """Keys from cell `here` to cell `there`, using the row and column jumps
    where they help."""
    keys, (row, col), (to_row, to_col) = [], divmod(here, 8), divmod(there, 8)
    if to_row == 0 and row != 0:
        keys.append("Page_Up")
        row = 0
    elif to_row == 7 and row != 7:
        keys.append("Page_Down")
        row = 7
    if to_col == 0 and col != 0:
        keys.append("Home")
        col = 0
    elif to_col == 7 and col != 7:
        keys.append("End")
        col = 7
    keys += ["Down" if to_row > row else "Up"] * abs(to_row - row)
    keys += ["Right" if to_col > col else "Left"] * abs(to_col - col)
    return keys


def main():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp"], pass_fds=(write_end,))
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        display = ":" + pipe.readline().strip()
    workdir = tempfile.TemporaryDirectory()
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    game = subprocess.Popen([os.path.abspath(sys.argv[1])], cwd=workdir.name, env=env)
    xdotool = lambda *args: subprocess.run(["xdotool", *args], env=env, check=True)

    focus_events = []
    listener = lambda event: focus_events.append(event.source.getIndexInParent()) \
        if event.detail1 and event.source.getRole() == pyatspi.ROLE_TABLE_CELL else None
    pyatspi.Registry.registerEventListener(listener, "object:state-changed:focused")
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for("game", lambda: next((a for a in desktop if a and a.get_process_id() == game.pid), None))
        window = wait_for("window", lambda: app[0] if app.childCount else None)
        xdotool("search", "--sync", "--name", "^Тармелон$", "windowfocus", "--sync")
        xdotool("key", "ctrl+n")
        table = wait_for("board table", lambda: find(window, pyatspi.ROLE_TABLE))
        counters = [n for n in table.parent if n and n.description in ("Красных сфер", "Синих сфер")]
        here, moves = 0, 0

        def focused_cell():
            cells = [i for i in range(64) if table.getChildAtIndex(i).getState().contains(pyatspi.STATE_FOCUSED)]
            return cells[0] if len(cells) == 1 else None

        wait_for("focus on the top-left cell", lambda: focused_cell() == 0 and 0 in focus_events)
        while True:
            board = read_board(table)
            spheres = [sum(1 for v in board if 1 <= v <= 9), sum(1 for v in board if v > 9)]
            shown = sorted(int(c.name) for c in counters)
            if sorted(spheres) != shown:
                fail(f"counters say {shown}, the cells hold {spheres}")
            if not any(board):
                break
            if moves > 1500:
                fail("no victory after 1500 moves")
            first, second = choose_move(board)
            for cell in (first, second):
                keys = keys_to(here, cell)
                focus_events.clear()
                if keys:
                    xdotool("key", "--delay", "1", *keys)
                    wait_for(f"focus on cell {cell}",
                             lambda: focused_cell() == cell and focus_events and focus_events[-1] == cell)
                here = cell
                xdotool("key", "space")
            # The first click selects; the second combines, which empties the
            # first cell, spawning and any victory box included.
            wait_for("the move", lambda: table.getChildAtIndex(first).name == "пусто")
            moves += 1
        # The victory box: Enter on its ОК; then the name box: a name and Enter.
        wait_for("victory box", lambda: any(w.name == "Победа!" for w in app if w))
        xdotool("key", "Return")
        wait_for("name box", lambda: any("рекордов" in w.name for w in app if w))
        xdotool("type", "Клава")
        xdotool("key", "Return")
        wait_for("the name on the records panel", lambda: any(
            label and label.name == "Клава" for label in find(window, pyatspi.ROLE_FRAME, "Рекорды")))
        with open(os.path.join(workdir.name, "tarmelon.dat"), "rb") as f:
            if "Клава".encode("cp1251") not in f.read():
                fail("the record is not in the file")
        print(f"won by keyboard in {moves} moves, the focus cell read through AT-SPI at every step")
    finally:
        game.kill()
        game.wait()
        server.terminate()
        server.wait()
        workdir.cleanup()


if __name__ == "__main__":
    main()

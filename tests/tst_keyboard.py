# SPDX-License-Identifier: GPL-3.0-or-later
"""A whole game won with the keyboard alone, as a blind player would win it:
the built program runs in Xvfb; the board is read as a screen reader reads it,
an 8 x 8 AT-SPI table, and every key goes through the X server. At each step
the focus cell itself must tell the bus it has the focus, and the counters
must agree with the cells.

Usage: python3 tst_keyboard.py PATH_TO_TARMELON
"""

import os
import subprocess
import sys
import tempfile

import pyatspi

from atspi_util import fail, find, game_window, private_session, read_board, wait_for


def choose_move(board):
    """Annihilate an equal pair of two colours; else merge two of one colour,
    preferring a result that has an opposite partner; else absorb."""
    cells, size = [i for i in range(64) if board[i]], lambda v: v - 9 if v > 9 else v
    merge = absorb = None
    for a in cells:
        for b in (b for b in cells if b != a):
            if (board[a] > 9) != (board[b] > 9):
                if size(board[a]) == size(board[b]):
                    return a, b
                absorb = (a, b)
                continue
            total = size(board[a]) + size(board[b])
            blue, result = (board[a] > 9) != (total > 9), total - 9 if total > 9 else total
            if not merge or any(size(board[c]) == result and (board[c] > 9) != blue for c in cells if c not in (a, b)):
                merge = (a, b)
    return merge or absorb


def keys_to(here, there):
    """Arrow keys from cell `here` to `there`, jumping to a row's or a column's end where that helps."""
    (row, col), (to_row, to_col), keys = divmod(here, 8), divmod(there, 8), []
    if to_row in (0, 7) and row != to_row:
        keys, row = ["Page_Up" if to_row == 0 else "Page_Down"], to_row
    if to_col in (0, 7) and col != to_col:
        keys, col = keys + ["Home" if to_col == 0 else "End"], to_col
    return keys + ["Down" if to_row > row else "Up"] * abs(to_row - row) + ["Right" if to_col > col else "Left"] * abs(to_col - col)


def main():
    private_session()
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp"], pass_fds=(write_end,))
    os.close(write_end)
    workdir = tempfile.TemporaryDirectory()
    env = dict(os.environ, DISPLAY=":" + os.fdopen(read_end).readline().strip(), QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    game = subprocess.Popen([os.path.abspath(sys.argv[1])], cwd=workdir.name, env=env)
    xdotool = lambda *args: subprocess.run(["xdotool", *args], env=env, check=True)
    focus_events = []
    pyatspi.Registry.registerEventListener(
        lambda e: e.detail1 and e.source.getRole() == pyatspi.ROLE_TABLE_CELL and focus_events.append(e.source.getIndexInParent()),
        "object:state-changed:focused")
    try:
        app, window = game_window(game.pid)
        xdotool("search", "--sync", "--name", "^Тармелон$", "windowfocus", "--sync")
        xdotool("key", "ctrl+n")
        table = wait_for("board table", lambda: find(window, pyatspi.ROLE_TABLE))
        counters = [n for n in table.parent if n and n.description in ("Красных сфер", "Синих сфер")]
        having = lambda state: [i for i in range(64) if table.getChildAtIndex(i).getState().contains(state)]
        won = lambda: any(w and w.name == "Победа!" for w in app)
        wait_for("focus on the top-left cell", lambda: having(pyatspi.STATE_FOCUSED) == [0] and 0 in focus_events)
        here, moves = 0, 0
        while any(board := read_board(table)):
            spheres = [sum(1 <= v <= 9 for v in board), sum(v > 9 for v in board)]
            if [int(c.name) for c in counters] != spheres:
                fail(f"counters say {[c.name for c in counters]}, the cells hold {spheres}")
            first, second = choose_move(board)
            for cell in (first, second):
                focus_events.clear()
                if keys_to(here, cell):
                    xdotool("key", "--delay", "1", *keys_to(here, cell))
                    wait_for(f"focus on cell {cell}", lambda: having(pyatspi.STATE_FOCUSED) == [cell] and focus_events[-1:] == [cell])
                here = cell
                xdotool("key", "space")
                # The first press selects the sphere; the second combines the
                # two and drops the selection, unless the victory box is open.
                wait_for(f"move {moves} from {board}", lambda: having(pyatspi.STATE_SELECTED) == [first]
                         if cell == first else not having(pyatspi.STATE_SELECTED) or won(), seconds=10)
            moves += 1
        # The victory box: Enter on its ОК; then the name box: a name and Enter.
        focused = lambda title, role: any(w and title in w.name and find(w, role) and find(w, role).getState().contains(
            pyatspi.STATE_FOCUSED) for w in app)
        wait_for("victory box", lambda: focused("Победа!", pyatspi.ROLE_PUSH_BUTTON))
        xdotool("key", "Return")
        wait_for("name box", lambda: focused("рекордов", pyatspi.ROLE_TEXT))
        xdotool("type", "Klava")
        xdotool("key", "Return")
        wait_for("the name on the records panel",
                 lambda: any(label and label.name == "Klava" for label in find(window, pyatspi.ROLE_FRAME, "Рекорды")))
        with open(os.path.join(workdir.name, "tarmelon.dat"), "rb") as records:
            if "Klava".encode("cp1251") not in records.read():
                fail("the record is not in the file")
        print(f"won by keyboard in {moves} moves, the focus cell read through AT-SPI at every step")
    finally:
        game.kill()
        server.terminate()
        workdir.cleanup()


if __name__ == "__main__":
    main()

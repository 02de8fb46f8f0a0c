# SPDX-License-Identifier: GPL-3.0-or-later
"""A whole game won with the keyboard alone, as a blind player would win it:
the built program runs in Xvfb on a private D-Bus session (run this under
dbus-run-session); the board is read as a screen reader reads it, an 8 x 8
AT-SPI table, and every key goes through the X server. After each move of
the focus cell the cell itself must say through the bus that it has the
focus, and the counters must agree with the cells.

Usage: python3 tst_keyboard.py PATH_TO_TARMELON
"""

import os
import subprocess
import sys
import tempfile

import pyatspi

from atspi_util import private_session, fail, find, game_window, read_board, wait_for


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
    private_session()
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
        app, window = game_window(game.pid)
        focus_game = lambda: xdotool("search", "--sync", "--name", "^Тармелон$", "windowfocus", "--sync")
        focus_game()
        xdotool("key", "ctrl+n")
        table = wait_for("board table", lambda: find(window, pyatspi.ROLE_TABLE))
        counters = [n for n in table.parent if n and n.description in ("Красных сфер", "Синих сфер")]
        here, moves = 0, 0

        def focused_cell():
            cells = [i for i in range(64) if table.getChildAtIndex(i).getState().contains(pyatspi.STATE_FOCUSED)]
            return cells[0] if len(cells) == 1 else None

        def selected():
            return [i for i in range(64) if table.getChildAtIndex(i).getState().contains(pyatspi.STATE_SELECTED)]

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
                # The first press selects the sphere; the second combines the
                # two and drops the selection, unless the victory box is open.
                wait_for(f"move {moves + 1}, {first} onto {second}, from {board}",
                         lambda: selected() == [first] if cell == first else
                         not selected() or any(w and w.name == "Победа!" for w in app), seconds=10)
            moves += 1
        # The victory box: Enter on its ОК; then the name box: a name and Enter.
        focused = lambda node, role: node and find(node, role) and find(node, role).getState().contains(
            pyatspi.STATE_FOCUSED)
        wait_for("victory box", lambda: focused(next((w for w in app if w and w.name == "Победа!"), None),
                                                 pyatspi.ROLE_PUSH_BUTTON))
        xdotool("key", "Return")
        wait_for("name box", lambda: focused(next((w for w in app if w and "рекордов" in w.name), None),
                                             pyatspi.ROLE_TEXT))
        xdotool("type", "Клава")
        xdotool("key", "Return")
        wait_for("the name on the records panel", lambda: any(
            label and label.name == "Клава" for label in find(window, pyatspi.ROLE_FRAME, "Рекорды")))
        with open(os.path.join(workdir.name, "tarmelon.dat"), "rb") as f:
            if "Клава".encode("cp1251") not in f.read():
                fail("the record is not in the file")
        # Ctrl+Q asks; Escape answers No, Enter the default Да.
        question = lambda: focused(next((w for w in app if w and w.name == "ВЫХОД"), None), pyatspi.ROLE_PUSH_BUTTON)
        # With no window manager here, a closed box hands the X focus to no
        # one: it is given back as a window manager would.
        focus_game()
        xdotool("key", "ctrl+q")
        wait_for("exit question", question)
        xdotool("key", "Escape")
        wait_for("the question gone", lambda: not any(w and w.name == "ВЫХОД" for w in app))
        if game.poll() is not None:
            fail("Escape ended the program")
        focus_game()
        xdotool("key", "ctrl+q")
        wait_for("exit question", question)
        xdotool("key", "Return")
        if game.wait(timeout=30) != 0:
            fail(f"the exit question answered Да ended with status {game.returncode}")
        print(f"won by keyboard in {moves} moves, the focus cell read through AT-SPI at every step")
    finally:
        game.kill()
        game.wait()
        server.terminate()
        server.wait()
        workdir.cleanup()


if __name__ == "__main__":
    main()

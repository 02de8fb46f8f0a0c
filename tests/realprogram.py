# SPDX-License-Identifier: GPL-3.0-or-later
"""The built program as a player and a screen reader meet it, each run on a
D-Bus session of its own, the board read through AT-SPI.
Usage: python3 realprogram.py keyboard TARMELON | wayland TARMELON DESKTOP_ENTRY | startup TARMELON"""

import os
import re
import shlex
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


def choose_move(board):
    """Annihilate an equal pair of two colours; else merge two of one colour,
    preferring a result that has an opposite partner; else absorb."""
    cells, blue = [i for i in range(64) if board[i]], lambda c: board[c] > 9
    size = lambda c: board[c] - 9 * blue(c)

    def rank(a, b):
        if blue(a) != blue(b):
            return 0 if size(a) == size(b) else 3
        total = size(a) + size(b)
        result, result_blue = (total - 9, not blue(a)) if total > 9 else (total, blue(a))
        return 1 if any(size(c) == result and blue(c) != result_blue for c in cells if c not in (a, b)) else 2
    return min(((a, b) for a in cells for b in cells if a != b), key=lambda move: rank(*move))


def keys_to(here, there):
    """Arrow keys from cell `here` to `there`."""
    (row, col), (to_row, to_col) = divmod(here, 8), divmod(there, 8)
    return ["Down" if to_row > row else "Up"] * abs(to_row - row) + ["Right" if to_col > col else "Left"] * abs(to_col - col)


def keyboard(binary):
    """A whole game won with the keyboard alone in Xvfb, as a blind player would
    win it: at each step the focus cell itself tells the bus it has the focus,
    and the counters agree with the cells."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp"], pass_fds=(write_end,))
    os.close(write_end)
    workdir = tempfile.TemporaryDirectory()
    env = dict(os.environ, DISPLAY=":" + os.fdopen(read_end).readline().strip(), QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    game = subprocess.Popen([binary], cwd=workdir.name, env=env)
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
        print(f"won by keyboard in {moves} moves, the focus cell read through AT-SPI at every step")
    finally:
        game.kill()
        server.terminate()
        workdir.cleanup()


def wayland(binary, entry):
    """The menu entry's Exec line on a headless weston with a scratch HOME deals a
    board, opens the records and ends through the exit question with status 0,
    its tarmelon.dat in ~/.local/share/tarmelon/ and nowhere else."""
    with open(entry, encoding="utf-8") as entry:
        command = shlex.split(next(line[5:] for line in entry if line.startswith("Exec=")))
    scratch = tempfile.TemporaryDirectory()
    runtime, home, start = (tempfile.mkdtemp(dir=scratch.name) for _ in range(3))  # each 0700
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "XDG_DATA_HOME")}
    env.update(XDG_RUNTIME_DIR=runtime, HOME=home, WAYLAND_DISPLAY="wayland-tarmelon", QT_QPA_PLATFORM="wayland",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", PATH=os.path.dirname(binary) + os.pathsep + env["PATH"],
               # Qt's Wayland client leaves buffers behind at exit, some in libraries it has already unloaded.
               LSAN_OPTIONS=env.get("LSAN_OPTIONS", "") + ":detect_leaks=0")
    weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--socket=wayland-tarmelon", "--idle-time=0",
                               "--no-config"], env=env)
    game = None
    try:
        wait_for("Wayland compositor", lambda: os.path.exists(os.path.join(runtime, "wayland-tarmelon")))
        game = subprocess.Popen(command, cwd=start, env=env)
        app, window = game_window(game.pid)
        press(window, "Игра")
        table = wait_for("board", lambda: find(window, pyatspi.ROLE_TABLE))
        wait_for("dealt board", lambda: sum(map(bool, read_board(table))) == 24)
        press(window, "Рекорды")
        records = os.path.join(home, ".local", "share", "tarmelon", "tarmelon.dat")
        wait_for("records file", lambda: os.path.exists(records))
        # The exit question is modal: the button's action answers only once it
        # closes, so the call is let go after a second.
        Atspi.set_timeout(1000, 1000)
        try:
            press(window, "Выход")
        except GLib.GError:
            pass
        press(app, "Да")
        status = game.wait(timeout=60)
    finally:
        if game and game.poll() is None:
            game.kill()
        weston.terminate()
    written = [os.path.join(d, f) for d, _, files in os.walk(scratch.name) for f in files if f == "tarmelon.dat"]
    if status != 0 or written != [records]:
        fail(f"status {status}; tarmelon.dat written as {written}, not only as {records}")
    print("on Wayland: dealt, records kept in ~/.local/share/tarmelon/, ended through the exit question")


def startup(binary):
    """No display: one line, status 1, no abort, but --help and --version answer.
    On Xvfb Qt's options start the window; an unknown argument is noted."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    for args, status, says in ((["--help"], 0, "--data-folder"), (["--version"], 0, "tarmelon"), ([], 1, "DISPLAY")):
        run = subprocess.run([binary, *args], env=env, capture_output=True, text=True)
        if run.returncode != status or says not in run.stdout + run.stderr or (status and run.stderr.count("\n") != 1):
            fail(f"{args} with no display: status {run.returncode}, said {run.stdout + run.stderr!r}")
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp"], pass_fds=(write_end,))
    os.close(write_end)
    env.update(DISPLAY=":" + os.fdopen(read_end).readline().strip(), QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    try:
        for args in (["-style", "Fusion"], ["-reverse"], ["--no-such-option", "stray"]):
            game = subprocess.Popen([binary, *args], env=env, stderr=subprocess.PIPE, text=True)
            game_window(game.pid)
            game.kill()
            noted = game.communicate()[1]
            if any((arg.lstrip("-") in noted) != (args[0] == "--no-such-option") for arg in args):
                fail(f"{args}: standard error says {noted!r}")
    finally:
        server.terminate()
    print("no display: one line, status 1; -style Fusion, -reverse and an unknown argument start the window")


if __name__ == "__main__":
    # A session bus of its own, whose accessibility bus lives in a runtime
    # folder of its own: tests side by side must not meet.
    if not os.environ.get("TARMELON_PRIVATE_SESSION"):
        os.environ.update(XDG_RUNTIME_DIR=tempfile.mkdtemp(), TARMELON_PRIVATE_SESSION="1")
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])
    {"keyboard": keyboard, "wayland": wayland, "startup": startup}[sys.argv[1]](os.path.abspath(sys.argv[2]), *sys.argv[3:])

"""The board as a screen reader reads it: the built program runs in Xvfb on a
private D-Bus session (run this under dbus-run-session), a new game is started
through the game button's AT-SPI action, and the 64 cells and the two counters
are read back through pyatspi. They must name every cell once and agree with
each other.

Usage: dbus-run-session -- python3 tst_accessibility.py PATH_TO_TARMELON
"""

import os
import re
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import Atspi

CELL = re.compile(r"^Ряд ([1-8]), столбец ([1-8]): (?:(пусто)|красная сфера ([1-9])|синяя сфера ([1-9]))$")
DEAL = 24  # spheres on a new board


def wait_for(what, probe, seconds=30.0):
    """Polls probe() until it returns something true; the limit only keeps a
    broken run from hanging."""
    deadline = time.monotonic() + seconds
    while True:
        Atspi.Accessible.clear_cache(desktop())
        found = probe()
        if found:
            return found
        if time.monotonic() > deadline:
            sys.exit(f"FAIL: no {what} within {seconds:.0f} s")
        time.sleep(0.2)


def desktop():
    return pyatspi.Registry.getDesktop(0)


def children(node):
    return [child for child in node if child is not None]


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp"], pass_fds=(write_end,))
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        sys.exit("FAIL: Xvfb did not start")
    return server, ":" + number


def read_board(window):
    """The board panel's cells and counters, or None while the board is not
    yet dealt."""
    board = next((n for n in descendants(window) if n.getRole() == pyatspi.ROLE_FRAME and n.name == "Поле"), None)
    if board is None:
        return None
    counters, cells = {}, []
    for node in children(board):
        if node.description in ("Красных сфер", "Синих сфер", "Секунд"):
            counters[node.description] = node.name
        elif node.name != "Выбранная сфера":
            cells.append(node)
    if not counters.get("Красных сфер", "").isdigit():
        return None
    return cells, counters


def main():
    game_binary = sys.argv[1]
    server, display = start_xvfb()
    workdir = tempfile.TemporaryDirectory()
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    game = subprocess.Popen([game_binary], cwd=workdir.name, env=env)
    failures = []
    try:
        app = wait_for("accessible application of the game",
                       lambda: next((a for a in children(desktop()) if a.get_process_id() == game.pid), None))
        window = wait_for("window", lambda: next(iter(children(app)), None))
        button = wait_for("game button", lambda: next(
            (n for n in descendants(window) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name.strip() == "Игра"),
            None))
        action = button.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        action.doAction(names.index("Press") if "Press" in names else 0)

        cells, counters = wait_for("dealt board", lambda: read_board(window))

        places, red, blue = set(), 0, 0
        for cell in cells:
            match = CELL.match(cell.name)
            if not match:
                failures.append(f"a board element is named {cell.name!r}")
                continue
            places.add((int(match[1]), int(match[2])))
            red += match[4] is not None
            blue += match[5] is not None
        if len(cells) != 64:
            failures.append(f"{len(cells)} cells, not 64")
        if len(places) != 64:
            failures.append(f"the cells name {len(places)} different places, not 64")
        if counters.get("Красных сфер") != str(red):
            failures.append(f"red counter says {counters.get('Красных сфер')!r}, the cells hold {red} red spheres")
        if counters.get("Синих сфер") != str(blue):
            failures.append(f"blue counter says {counters.get('Синих сфер')!r}, the cells hold {blue} blue spheres")
        if red + blue != DEAL:
            failures.append(f"a new board holds {red + blue} spheres, not {DEAL}")
        if not counters.get("Секунд", "").isdigit():
            failures.append(f"seconds label reads {counters.get('Секунд')!r}")
    finally:
        game.kill()
        game.wait()
        server.terminate()
        server.wait()
        workdir.cleanup()
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print(f"64 cells read through AT-SPI: {red} red, {blue} blue, as the counters say")


if __name__ == "__main__":
    main()

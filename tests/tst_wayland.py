# SPDX-License-Identifier: GPL-3.0-or-later
"""The menu entry's Exec line on a headless weston with a scratch HOME: a board
is dealt, the records opened and the exit question answered Да through AT-SPI.
The game must end with status 0, its tarmelon.dat in ~/.local/share/tarmelon/
and nowhere else.

Usage: python3 tst_wayland.py PATH_TO_TARMELON DESKTOP_ENTRY
"""

import os
import shlex
import subprocess
import sys
import tempfile

import pyatspi
from gi.repository import Atspi, GLib

from atspi_util import fail, find, game_window, press, private_session, read_board, wait_for


def main():
    private_session()
    with open(sys.argv[2], encoding="utf-8") as entry:
        command = shlex.split(next(line[5:] for line in entry if line.startswith("Exec=")))
    scratch = tempfile.TemporaryDirectory()
    runtime, home, start = (tempfile.mkdtemp(dir=scratch.name) for _ in range(3))  # each 0700
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "XDG_DATA_HOME")}
    env.update(XDG_RUNTIME_DIR=runtime, HOME=home, WAYLAND_DISPLAY="wayland-tarmelon", QT_QPA_PLATFORM="wayland",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", PATH=os.path.dirname(os.path.abspath(sys.argv[1])) + os.pathsep + env["PATH"])
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


if __name__ == "__main__":
    main()

# SPDX-License-Identifier: GPL-3.0-or-later
"""The built program as a player and a screen reader meet it, each run on a
D-Bus session of its own, the board read through AT-SPI.
Usage: python3 realprogram.py orca TARMELON | wayland TARMELON DESKTOP_ENTRY | startup TARMELON"""

import contextlib
import os
from pathlib import Path
import re
import shlex
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import Atspi, GLib

CELL = re.compile(r"^(?:пусто|(красная|синяя) сфера ([1-9]))(?:, выбрана)?$")


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
    return pyatspi.findDescendant(node, lambda n: n.getRole() == role and name in (None, n.name.strip()))


def xvfb():
    """An X server of its own, and its display name once it is ready."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp"], pass_fds=(write_end,))
    os.close(write_end)
    return server, ":" + os.fdopen(read_end).readline().strip()


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


def orca(binary):
    """A game won by keys alone in Xvfb under Orca, started as from the menu: at
    each step Orca says what the focus cell holds; each move's result and the
    counters (agreeing with the cells) are heard, so are the help, where am I,
    the victory, the name box's time and the place."""
    scratch = tempfile.TemporaryDirectory()
    home, locales, speechd, spoken = (os.path.join(scratch.name, d) for d in ("home", "locale", "speechd", "spoken"))
    os.makedirs(os.path.join(speechd, "modules")), os.makedirs(home), os.makedirs(locales)
    # Its warnings aside, localedef's locale is checked by Orca speaking Russian.
    subprocess.run(["localedef", "-i", "ru_RU", "-f", "UTF-8", os.path.join(locales, "ru_RU.UTF-8")])
    Path(home, ".libao").write_text("default_driver=null\n")  # the default audio output blocks Orca for ever
    Path(speechd, "speechd.conf").write_text('AudioOutputMethod "libao"\nAddModule "generic" "sd_generic" "generic.conf"\n'
                                             'DefaultModule generic\n')
    Path(speechd, "modules", "generic.conf").write_text(f'GenericExecuteSynth "printf \\\'%s\\\\n\\\' \\\'$DATA\\\' >> {spoken}"\n'
                                                        'GenericLanguage "ru" "ru" "utf-8"\nAddVoice "ru" "MALE1" "ru"\n')
    server, display = xvfb()
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", HOME=home,
               LOCPATH=locales, LANG="ru_RU.UTF-8", LC_ALL="ru_RU.UTF-8")
    env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
    socket = os.path.join(os.environ["XDG_RUNTIME_DIR"], "speech-dispatcher", "speechd.sock")
    helpers = [server, subprocess.Popen(["openbox"], env=env),
               subprocess.Popen(["speech-dispatcher", "-s", "-t", "0", "-C", speechd, "-S", socket], env=env)]
    # What the synthesizer got as Orca says it, an utterance a line, rejoined
    # where it cut an utterance after a sentence (Orca's own debug file comes
    # in blocks, long after).
    said = lambda: open(spoken, encoding="utf-8").read().replace("\n ", " ").splitlines() if os.path.exists(spoken) else []
    mark = [0]  # utterances heard so far

    def hear(pattern):
        """Waits for Orca to say what matches, after what it was last heard saying."""
        def after():
            lines = said()
            return next((i + 1 for i in range(mark[0], len(lines)) if re.search(pattern, lines[i])), None)
        mark[0] = wait_for(f"Orca saying {pattern!r} after {said()[mark[0]:]}", after)

    xdotool = lambda *args: subprocess.run(["xdotool", *args], env=env, check=True)
    try:
        # Else Orca starts a speech-dispatcher of its own, with the default audio.
        wait_for("speech-dispatcher", lambda: os.path.exists(socket))
        helpers.append(subprocess.Popen(["orca", "-u", os.path.join(home, "orca")], env=env))
        mark[0] = len(wait_for("Orca", said, seconds=90))
        helpers.append(game := subprocess.Popen([binary], cwd=scratch.name, env=env))
        app, window = game_window(game.pid)
        xdotool("search", "--sync", "--name", "^Тармелон$", "windowfocus", "--sync")
        xdotool("key", "F1")
        hear("Справка")
        xdotool("key", "ctrl+n")
        table = wait_for("board table", lambda: find(window, pyatspi.ROLE_TABLE))
        counters = [n for n in table.parent if n and n.name.startswith(("Красных сфер: ", "Синих сфер: "))]
        having = lambda state: [i for i in range(64) if table.getChildAtIndex(i).getState().contains(state)]
        won = lambda: any(w and w.name == "Победа!" for w in app)
        wait_for("focus on the top-left cell", lambda: having(pyatspi.STATE_FOCUSED) == [0])
        spheres = lambda board: (sum(1 <= v <= 9 for v in board), sum(v > 9 for v in board))
        hear("Красных %d, синих %d" % spheres(read_board(table)))
        xdotool("key", "KP_Enter")  # Orca's "where am I"
        hear(re.escape(table.getChildAtIndex(0).name))
        here, moves = 0, 0
        while any(board := read_board(table)):
            if tuple(int(c.name.split(": ")[1]) for c in counters) != spheres(board):
                fail(f"counters say {[c.name for c in counters]}, the cells hold {spheres(board)}")
            if moves:
                hear("Появилось сфер: [0-3]. Красных %d, синих %d" % spheres(board))
            first, second = choose_move(board)
            for cell in (first, second):
                name = table.getChildAtIndex(cell).name
                if keys_to(here, cell):
                    xdotool("key", "--delay", "1", *keys_to(here, cell))
                    wait_for(f"focus on cell {cell}", lambda: having(pyatspi.STATE_FOCUSED) == [cell])
                    hear(re.escape(name))
                here = cell
                xdotool("key", "space")
                # The first press selects the sphere; the second combines the
                # two and drops the selection, unless the victory box is open.
                wait_for(f"move {moves} from {board}", lambda: having(pyatspi.STATE_SELECTED) == [first]
                         if cell == first else not having(pyatspi.STATE_SELECTED) or won(), seconds=10)
                if cell == first:
                    hear(re.escape(name) + ", выбрана")
            moves += 1
        # The victory box: Enter on its ОК; then the name box with the time: a name and Enter.
        hear("Победа!")
        xdotool("key", "Return")
        hear("Время игры, секунд: ")
        xdotool("type", "Klava")
        xdotool("key", "Return")
        hear("Ваше место [0-9]+: Klava, ")
        print(f"won under Orca in {moves} moves; Orca said:", *said(), sep="\n")
    finally:
        for helper in reversed(helpers):
            helper.kill()
        scratch.cleanup()


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
        with contextlib.suppress(GLib.GError):
            press(window, "Выход")
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
    server, display = xvfb()
    env.update(DISPLAY=display, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
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
    {"orca": orca, "wayland": wayland, "startup": startup}[sys.argv[1]](os.path.abspath(sys.argv[2]), *sys.argv[3:])

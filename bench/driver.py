#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the floor (a bare Qt program) and the game's bench program in pairs,
floor then game, so that the machine's noise hits both alike, and prints one
table of medians. bench/run calls it with the build directory, on one CPU and
under Xvfb. Times end where the player sees pixels: a paint flushed, a click's
damage reported by the X server."""

import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

import Xlib.display
from Xlib import X
from Xlib.ext import damage, xtest

BUILD = sys.argv[1]
STARTUP_PAIRS, MEMORY_PAIRS, IDLE_PAIRS, IDLE_SECONDS, CLICK_ROUNDS, CLICKS = 20, 5, 5, 20, 5, 40
# The programs' working directory (the game's records would go there) and
# their runtime directory, removed when the driver ends.
TEMPORARY = tempfile.TemporaryDirectory(prefix='tarmelon-bench-')
WORKDIR = TEMPORARY.name
ENV = dict(os.environ, XDG_RUNTIME_DIR=WORKDIR, LC_ALL='C.UTF-8')
PLATFORMS = (('offscreen', 'offscreen'), ('xcb', 'Xvfb'))
BOTH = ('floor', 'game')


def launch(which, mode, platform='offscreen', wrapper=()):
    """Starts bench_floor or bench_game with its stdin and stdout on pipes.
    The launch time, for the start-up figure, is taken just before the fork."""
    env = dict(ENV, QT_QPA_PLATFORM=platform,
               TARMELON_BENCH_T0=str(time.clock_gettime_ns(time.CLOCK_MONOTONIC)))
    return subprocess.Popen([*wrapper, os.path.join(BUILD, 'bench_' + which), mode], env=env,
                            cwd=WORKDIR, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True, bufsize=1)


def run(which, mode, platform='offscreen', wrapper=()):
    """Runs a program to its end and returns its "key value" lines."""
    out = launch(which, mode, platform, wrapper).communicate()[0]
    return dict(line.split(' ', 1) for line in out.splitlines())


def instructions(which):
    """Instructions from exec to the end of the first paint, offscreen, under
    callgrind: the same count from run to run, where times are not."""
    out = os.path.join(WORKDIR, 'callgrind.out')
    run(which, 'startup', wrapper=('valgrind', '--tool=callgrind', '--callgrind-out-file=' + out))
    with open(out) as f:
        return next(int(l.split()[1]) for l in f if l.startswith('summary:')) / 1e6


def memory(which):
    """The proportional set size in MB 3 s after launch, and after the play."""
    process, pss = launch(which, 'memory'), []
    for _ in ('start', 'end'):
        process.stdout.readline()
        with open('/proc/%d/smaps_rollup' % process.pid) as f:
            pss.append(next(int(l.split()[1]) for l in f if l.startswith('Pss:')) / 1024)
    stop(process)
    return pss


def stop(process):
    process.send_signal(signal.SIGTERM)
    process.communicate()


def click_times(which):
    """Milliseconds from each button release, sent through XTest, to the
    first XDamage report that touches the clicked widget."""
    process, display = launch(which, 'click', 'xcb'), Xlib.display.Display()
    try:
        window = display.create_resource_object('window', int(process.stdout.readline().split()[1]))
        time.sleep(1)  # mapped and painted
        corner = display.screen().root.translate_coords(window, 0, 0)
        display.damage_query_version()
        window.damage_create(damage.DamageReportRawRectangles)
        times = []
        for _ in range(CLICKS):
            process.stdin.write('\n')
            x, y, w, h = map(int, process.stdout.readline().split()[1:])
            time.sleep(0.05)  # the last click's repaint, or a new game's, is over
            display.sync()
            while display.pending_events():
                display.next_event()
            xtest.fake_input(display, X.MotionNotify, x=corner.x + x + w // 2, y=corner.y + y + h // 2)
            xtest.fake_input(display, X.ButtonPress, 1)
            display.sync()
            time.sleep(0.01)
            began = time.perf_counter()
            xtest.fake_input(display, X.ButtonRelease, 1)
            display.flush()
            while True:
                a = display.next_event().area
                if a.x < x + w and x < a.x + a.width and a.y < y + h and y < a.y + a.height:
                    break
            times.append((time.perf_counter() - began) * 1000)
        return times
    finally:
        display.close()
        stop(process)


def run_time_ms(pid):
    """The exact run time of all the process's threads, on its CPU-time clock
    (the clock id that glibc's clock_getcpuclockid gives for the process)."""
    return time.clock_gettime((~pid << 3) | 2) * 1000


def wakeups(pid):
    """How often the process's threads have slept and woken."""
    return sum(int(l.split()[1]) for task in os.listdir('/proc/%d/task' % pid)
               for l in open('/proc/%d/task/%s/status' % (pid, task))
               if l.startswith('voluntary_ctxt_switches'))


def idle_pair(platform):
    """Run time and wake-ups of the floor and the game idling side by side
    over the same seconds, so that the machine's slow and fast spells fall on
    both."""
    started = [launch(which, 'idle', platform) for which in BOTH]
    try:
        for process in started:
            process.stdout.readline()  # "ready"
        time.sleep(2)  # past the start-up
        before = [(run_time_ms(p.pid), wakeups(p.pid)) for p in started]
        time.sleep(IDLE_SECONDS)
        return [(run_time_ms(p.pid) - t, wakeups(p.pid) - n) for p, (t, n) in zip(started, before)]
    finally:
        for process in started:
            stop(process)


def log(text):
    print(text, file=sys.stderr, flush=True)


def median(values):
    return statistics.median(float(v) for v in values)


def row(name, floor, game, ratio, target, met):
    return [name, '' if floor is None else '%.2f' % floor, '%.2f' % game, ratio, target,
            'yes' if met else 'NO']


def versus(name, pairs, limit=1.2):
    """The row of a figure taken from both programs: (floor, game) pairs."""
    floor, game = median(p[0] for p in pairs), median(p[1] for p in pairs)
    return row(name, floor, game, '%.2f' % (game / floor), '<= %.1f x floor' % limit,
               game <= limit * floor)


def measure():
    rows = []
    for platform, where in PLATFORMS:
        log('start-up, %s' % where)
        pairs = [[float(run(which, 'startup', platform)['first_paint_us']) / 1000 for which in BOTH]
                 for _ in range(STARTUP_PAIRS)]
        rows.append(versus('start-up to the end of the first paint, %s (ms), n=%d'
                           % (where, STARTUP_PAIRS), pairs))
    log('instructions')
    rows.append(versus('instructions to the end of the first paint, callgrind, offscreen (M), n=1',
                       [[instructions(which) for which in BOTH]], 1.1))
    log('clicks')
    rounds = [click_times(which) for _ in range(CLICK_ROUNDS) for which in BOTH]
    rows.append(versus('click to the first XDamage of the cell, Xvfb (ms), n=%d' % (CLICKS * CLICK_ROUNDS),
                       [[median(sum(rounds[k::2], [])) for k in (0, 1)]], 1.3))

    log('memory')
    pss = [[memory(which) for which in BOTH] for _ in range(MEMORY_PAIRS)]
    n = ', n=%d' % MEMORY_PAIRS
    floor = median(p[0][0] for p in pss)
    for name, k in (('PSS 3 s after start', 0), ('PSS after 1000 games, 10000 moves', 1)):
        game = median(p[1][k] for p in pss)
        rows.append(row(name + ' (MB)' + n, floor, game, '%+.2f MB' % (game - floor),
                        '<= floor + 6 MB', game <= floor + 6))
    growth = median(p[1][1] - p[1][0] for p in pss)
    rows.append(row('PSS growth, 3 s -> end (MB)' + n, None, growth, '', '<= 0.5 MB', growth <= 0.5))
    for platform, where in PLATFORMS:
        log('idle, %s' % where)
        pairs = [idle_pair(platform) for _ in range(IDLE_PAIRS)]
        rows.append(versus('idle, a game running, %s: run time in %d s (ms), n=%d'
                           % (where, IDLE_SECONDS, IDLE_PAIRS), [[f[0], g[0]] for f, g in pairs]))
        rows.append(versus('idle, a game running, %s: wake-ups in %d s, n=%d'
                           % (where, IDLE_SECONDS, IDLE_PAIRS), [[f[1], g[1]] for f, g in pairs], 1.1))
    return rows


def main():
    began = time.monotonic()
    rows = measure()
    print('%d CPUs, all programs on CPU %s; load average at the end %.2f; took %.0f s'
          % (os.cpu_count(), ','.join(map(str, os.sched_getaffinity(0))), os.getloadavg()[0],
             time.monotonic() - began))
    print('medians of runs in pairs (floor, game, floor, game ...); n = runs (clicks) of each;'
          ' PSS shares each library page among the processes mapping it, so it moves as other'
          ' Qt programs start or end on the machine')
    header = ['figure', 'floor', 'game', 'ratio', 'target', 'met']
    widths = [max(len(r[i]) for r in [header] + rows) for i in range(len(header))]
    rule = '  '.join('-' * w for w in widths)
    for r in [None, header, None] + rows + [None]:
        print(rule if r is None else '  '.join(
            c.ljust(w) if i in (0, 4) else c.rjust(w) for i, (c, w) in enumerate(zip(r, widths))))


if __name__ == '__main__':
    main()

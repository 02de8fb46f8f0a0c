#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the floor (a bare Qt program) and the game's bench program in turns,
so that the machine's noise hits both alike, and prints a table of medians.
Times end where the player sees pixels: a paint flushed, damage on the X server."""

import os
import select
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
STARTUP_PAIRS, IDLE_PAIRS, IDLE_SECONDS, CLICK_ROUNDS, CLICKS = 20, 5, 20, 4, 100
# The programs' working and runtime directory, removed at the end.
TEMPORARY = tempfile.TemporaryDirectory(prefix='tarmelon-bench-')
WORKDIR = TEMPORARY.name
ENV = dict(os.environ, XDG_RUNTIME_DIR=WORKDIR, LC_ALL='C.UTF-8')
PLATFORMS = (('offscreen', 'offscreen'), ('xcb', 'Xvfb'))
BOTH = ('floor', 'game')


def launch(which, mode, platform='offscreen', wrapper=()):
    """Starts a program, stdin and stdout on pipes, handing it the time now."""
    env = dict(ENV, QT_QPA_PLATFORM=platform,
               TARMELON_BENCH_T0=str(time.clock_gettime_ns(time.CLOCK_MONOTONIC)))
    return subprocess.Popen([*wrapper, os.path.join(BUILD, 'bench_' + which), mode], env=env,
                            cwd=WORKDIR, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True, bufsize=1)


def run(which, mode, platform='offscreen', wrapper=()):
    """Runs a program to its end and returns its "key value" lines."""
    out = launch(which, mode, platform, wrapper).communicate()[0]
    return dict(line.split(' ', 1) for line in out.splitlines())


def field(path, key):
    with open(path) as f:
        return next(int(l.split()[1]) for l in f if l.startswith(key))


def instructions(which):
    """Instructions to the end of the first paint, offscreen, under callgrind:
    the same count from run to run, where times are not."""
    out = os.path.join(WORKDIR, 'callgrind.out')
    run(which, 'startup', wrapper=('valgrind', '--tool=callgrind', '--callgrind-out-file=' + out))
    return field(out, 'summary:') / 1e6


def stop(process):  # a running program: the game's window must not close
    process.send_signal(signal.SIGTERM)
    process.communicate()


def clicks(which):
    """Milliseconds from each XTest button release to the first XDamage on the
    clicked widget; PSS after a tenth of the clicks (past first loads), at the end."""
    process, display = launch(which, 'idle', 'xcb'), Xlib.display.Display()
    try:
        window = display.create_resource_object('window', int(process.stdout.readline().split()[1]))
        time.sleep(1)
        corner = display.screen().root.translate_coords(window, 0, 0)
        display.damage_query_version()
        window.damage_create(damage.DamageReportRawRectangles)
        times, pss = [], 0
        for click in range(CLICKS):
            pss = figures(process.pid)[2] if click == CLICKS // 10 else pss
            process.stdin.write('\n')
            x, y, w, h = map(int, process.stdout.readline().split()[1:])
            time.sleep(0.05)  # the last click's repaint, or a new game's, is over
            display.sync()
            [display.next_event() for _ in range(display.pending_events())]
            xtest.fake_input(display, X.MotionNotify, x=corner.x + x + w // 2, y=corner.y + y + h // 2)
            xtest.fake_input(display, X.ButtonPress, 1)
            display.sync()
            time.sleep(0.01)
            began, hit = time.perf_counter(), False
            xtest.fake_input(display, X.ButtonRelease, 1)
            display.flush()
            while not hit:  # the time the reports reach the socket, before they are parsed
                select.select([display], [], [], 1)
                arrived = time.perf_counter()
                for a in [display.next_event().area for _ in range(display.pending_events())]:
                    hit = hit or (a.x < x + w and x < a.x + a.width and a.y < y + h and y < a.y + a.height)
            times.append((arrived - began) * 1000)
        return times, pss, figures(process.pid)[2]
    finally:
        display.close()
        stop(process)


def figures(pid):
    """The process's run time in ms, all threads, on its CPU-time clock (the
    id glibc's clock_getcpuclockid gives); how often its threads have slept
    and woken; its PSS in MB."""
    return (time.clock_gettime((~pid << 3) | 2) * 1000,
            sum(field('/proc/%d/task/%s/status' % (pid, task), 'voluntary_ctxt_switches')
                for task in os.listdir('/proc/%d/task' % pid)),
            field('/proc/%d/smaps_rollup' % pid, 'Pss:') / 1024)


def idle_pair(platform):
    """Run time and wake-ups of the floor and the game idling side by side,
    so that the machine's slow and fast spells fall on both."""
    started = [launch(which, 'idle', platform) for which in BOTH]
    try:
        for process in started:
            process.stdout.readline()  # "ready"
        time.sleep(2)  # past the start-up
        before = [figures(p.pid) for p in started]
        time.sleep(IDLE_SECONDS)
        return [(a[0] - b[0], a[1] - b[1]) for a, b in zip((figures(p.pid) for p in started), before)]
    finally:
        for process in started:
            stop(process)


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
        print('start-up, %s' % where, file=sys.stderr, flush=True)
        pairs = [[float(run(which, 'startup', platform)['first_paint_us']) / 1000 for which in BOTH]
                 for _ in range(STARTUP_PAIRS)]
        rows.append(versus('start-up to the end of the first paint, %s (ms), n=%d'
                           % (where, STARTUP_PAIRS), pairs))
    print('instructions', file=sys.stderr, flush=True)
    rows.append(versus('instructions to the end of the first paint, callgrind, offscreen (M), n=1',
                       [[instructions(which) for which in BOTH]], 1.1))
    print('clicks', file=sys.stderr, flush=True)
    runs = [clicks(which) for _ in range(CLICK_ROUNDS) for which in BOTH]
    n = ', Xvfb, n=%d' % (CLICKS * CLICK_ROUNDS)
    rows.append(versus('click to the first XDamage of the cell (ms)' + n,
                       [[median(sum((r[0] for r in runs[k::2]), [])) for k in (0, 1)]], 1.3))
    floor, start, end = (median(r[k] for r in runs[j::2]) for j, k in ((0, 1), (1, 1), (1, 2)))
    n = ', Xvfb, n=%d' % CLICK_ROUNDS
    for name, game in (('PSS after %d clicks' % (CLICKS // 10), start), ('PSS after %d clicks' % CLICKS, end)):
        rows.append(row(name + ' (MB)' + n, floor, game, '%+.2f MB' % (game - floor),
                        '<= floor + 6 MB', game <= floor + 6))
    rows.append(row('PSS growth between (MB)' + n, None, end - start, '', '<= 0.5 MB', end - start <= 0.5))
    for platform, where in PLATFORMS:
        print('idle, %s' % where, file=sys.stderr, flush=True)
        pairs = [idle_pair(platform) for _ in range(IDLE_PAIRS)]
        rows.append(versus('idle, a game running, %s: run time in %d s (ms), n=%d'
                           % (where, IDLE_SECONDS, IDLE_PAIRS), [[p[0][0], p[1][0]] for p in pairs]))
        rows.append(versus('idle, a game running, %s: wake-ups in %d s, n=%d'
                           % (where, IDLE_SECONDS, IDLE_PAIRS), [[p[0][1], p[1][1]] for p in pairs], 1.1))
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
    for r in [['figure', 'floor', 'game', 'ratio', 'target', 'met']] + rows:
        print('%-76s %7s %7s %9s %-16s %s' % tuple(r))


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the floor (a bare Qt program) and the game's bench program in pairs,
floor then game, so that the machine's noise hits both alike, and prints one
table of medians. bench/run calls it with the build directory, on one CPU and
under Xvfb."""

import os
import signal
import statistics
import sys
import tempfile
import time

BUILD = sys.argv[1]
STARTUP_PAIRS, MEMORY_PAIRS, IDLE_PAIRS, IDLE_SECONDS = 20, 5, 5, 30
# The programs' working directory (the game's records would go there) and
# their runtime directory, removed when the driver ends.
TEMPORARY = tempfile.TemporaryDirectory(prefix='tarmelon-bench-')
WORKDIR = TEMPORARY.name
ENV = dict(os.environ, XDG_RUNTIME_DIR=WORKDIR, LC_ALL='C.UTF-8')
PLATFORMS = (('offscreen', 'offscreen'), ('xcb', 'Xvfb'))


def launch(which, mode, platform):
    """Starts bench_floor or bench_game with its stdout on a pipe. The launch
    time is taken in the child just before exec, for the start-up figure."""
    path = os.path.join(BUILD, 'bench_' + which)
    read_end, write_end = os.pipe()
    pid = os.fork()
    if pid == 0:
        try:
            os.dup2(write_end, 1)
            os.dup2(os.open(os.devnull, os.O_WRONLY), 2)
            os.chdir(WORKDIR)
            env = dict(ENV, QT_QPA_PLATFORM=platform)
            env['TARMELON_BENCH_T0'] = str(time.clock_gettime_ns(time.CLOCK_MONOTONIC))
            os.execve(path, [path, mode], env)
        finally:
            os._exit(127)
    os.close(write_end)
    return pid, os.fdopen(read_end)


def run(which, mode, platform='offscreen'):
    """Runs a program to its end and returns its "key value" lines."""
    pid, out = launch(which, mode, platform)
    with out:
        lines = out.read().splitlines()
    if os.waitpid(pid, 0)[1]:
        raise RuntimeError('%s %s on %s failed' % (which, mode, platform))
    return dict(line.split(' ', 1) for line in lines)


def run_time_ms(pid):
    """The exact run time of all the process's threads, on its CPU-time clock
    (the clock id that glibc's clock_getcpuclockid gives for the process)."""
    return time.clock_gettime((~pid << 3) | 2) * 1000


def idle_pair(platform):
    """Run time of the floor and the game idling side by side over the same
    seconds, so that the machine's slow and fast spells fall on both."""
    started = [launch(which, 'idle', platform) for which in ('floor', 'game')]
    try:
        for _, out in started:
            out.readline()  # "ready"
        time.sleep(2)  # past the start-up
        before = [run_time_ms(pid) for pid, _ in started]
        time.sleep(IDLE_SECONDS)
        return [run_time_ms(pid) - b for (pid, _), b in zip(started, before)]
    finally:
        for pid, out in started:
            os.kill(pid, signal.SIGTERM)
            os.waitpid(pid, 0)
            out.close()


def log(text):
    print(text, file=sys.stderr, flush=True)


def median(values):
    return statistics.median(float(v) for v in values)


def row(name, floor, game, ratio, target, met):
    return [name, '' if floor is None else '%.2f' % floor, '%.2f' % game, ratio, target,
            'yes' if met else 'NO']


def versus(name, pairs):
    """The row of a figure taken from both programs: (floor, game) pairs."""
    floor, game = median(p[0] for p in pairs), median(p[1] for p in pairs)
    return row(name, floor, game, '%.2f' % (game / floor), '<= 1.2 x floor', game <= 1.2 * floor)


def measure():
    rows = []
    for platform, where in PLATFORMS:
        log('start-up, %s' % where)
        pairs = [[float(run(which, 'startup', platform)['first_paint_us']) / 1000
                  for which in ('floor', 'game')] for _ in range(STARTUP_PAIRS)]
        rows.append(versus('start-up to first paint, %s (ms), n=%d' % (where, STARTUP_PAIRS), pairs))

    log('memory and work')
    floors, games = zip(*[(run('floor', 'memory'), run('game', 'memory')) for _ in range(MEMORY_PAIRS)])
    n = ', n=%d' % MEMORY_PAIRS
    floor = median(f['pss_start_kb'] for f in floors) / 1024
    for name, key in (('PSS 3 s after start', 'pss_start_kb'),
                      ('PSS after 1000 games, 10000 moves', 'pss_end_kb')):
        game = median(g[key] for g in games) / 1024
        rows.append(row(name + ' (MB)' + n, floor, game, '%+.2f MB' % (game - floor),
                        '<= floor + 6 MB', game <= floor + 6))
    growth = median(float(g['pss_end_kb']) - float(g['pss_start_kb']) for g in games) / 1024
    rows.append(row('PSS growth, 3 s -> end (MB)' + n, None, growth, '', '<= 0.5 MB', growth <= 0.5))

    for platform, where in PLATFORMS:
        log('idle, %s' % where)
        pairs = [idle_pair(platform) for _ in range(IDLE_PAIRS)]
        rows.append(versus('idle CPU over %d s, %s, run time (ms), n=%d'
                           % (IDLE_SECONDS, where, IDLE_PAIRS), pairs))
    for name, key, limit in (('NewGame (us), median of 1000', 'newgame_us', 1000),
                             ('move: combining click (us), median of 10000', 'move_us', 200)):
        value = median(g[key] for g in games)
        rows.append(row(name + n, None, value, '', '< %d us' % limit, value < limit))
    return rows


def main():
    began = time.monotonic()
    rows = measure()
    print('%d CPUs, all programs on CPU %s; load average at the end %.2f; took %.0f s'
          % (os.cpu_count(), ','.join(map(str, os.sched_getaffinity(0))), os.getloadavg()[0],
             time.monotonic() - began))
    print('medians of runs in pairs (floor, game, floor, game ...); n = runs of each; NewGame and'
          ' moves timed in the memory runs; PSS shares each library page among the processes'
          ' mapping it, so it moves as other Qt programs start or end on the machine')
    header = ['figure', 'floor', 'game', 'ratio', 'target', 'met']
    widths = [max(len(r[i]) for r in [header] + rows) for i in range(len(header))]
    rule = '  '.join('-' * w for w in widths)
    for r in [None, header, None] + rows + [None]:
        print(rule if r is None else '  '.join(
            c.ljust(w) if i in (0, 4) else c.rjust(w) for i, (c, w) in enumerate(zip(r, widths))))


if __name__ == '__main__':
    main()

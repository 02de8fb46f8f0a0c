#!/usr/bin/env python3
"""Runs the game's bench executable and the floor, interleaved (floor, game,
floor, game ...) so machine noise hits both alike, and prints one table of
medians. Called by bench/run after the build."""

import argparse
import glob
import os
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

MB = 1024.0  # smaps gives kB


def log(*parts):
    print(*parts, file=sys.stderr, flush=True)


class Runner:
    def __init__(self, build, workdir, cpu):
        # Every program runs on this one CPU: on a virtual machine the CPUs
        # can differ in speed by a fifth from one second to the next.
        self.cpu = cpu
        build = os.path.abspath(build)
        self.binaries = {'floor': os.path.join(build, 'bench_floor'),
                         'game': os.path.join(build, 'bench_game')}
        self.workdir = workdir
        runtime = os.path.join(workdir, 'runtime')
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        self.env = {k: v for k, v in os.environ.items() if k != 'TARMELON_BENCH_T0'}
        self.env.update(XDG_RUNTIME_DIR=runtime, LC_ALL='C.UTF-8')
        self.display = None

    def launch(self, which, mode, platform):
        """Starts a program with its stdout on a pipe. The launch time is taken
        in the child just before exec and handed over in TARMELON_BENCH_T0."""
        path = self.binaries[which]
        env = dict(self.env, QT_QPA_PLATFORM=platform)
        if platform == 'xcb':
            env['DISPLAY'] = self.display
        read_end, write_end = os.pipe()
        pid = os.fork()
        if pid == 0:
            try:
                os.dup2(write_end, 1)
                null = os.open(os.devnull, os.O_WRONLY)
                os.dup2(null, 2)
                os.close(read_end)
                os.chdir(self.workdir)
                os.sched_setaffinity(0, {self.cpu})
                env['TARMELON_BENCH_T0'] = str(time.clock_gettime_ns(time.CLOCK_MONOTONIC))
                os.execve(path, [path, mode], env)
            finally:
                os._exit(127)
        os.close(write_end)
        return pid, read_end

    @staticmethod
    def read_lines(fd, timeout, until=None):
        """Reads "key value" lines until EOF, `until` is seen, or the timeout."""
        data = b''
        deadline = time.monotonic() + timeout
        while True:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                raise RuntimeError('no answer from the program in %d s' % timeout)
            chunk = os.read(fd, 65536)
            if not chunk:
                break
            data += chunk
            if until and until.encode() in data:
                break
        out = {}
        for line in data.decode(errors='replace').splitlines():
            key, _, value = line.partition(' ')
            out[key] = value.strip()
        return out

    def run(self, which, mode, platform='offscreen', timeout=300):
        pid, fd = self.launch(which, mode, platform)
        try:
            return self.read_lines(fd, timeout)
        finally:
            os.close(fd)
            _, status = os.waitpid(pid, 0)
            if os.waitstatus_to_exitcode(status) != 0:
                raise RuntimeError('%s %s ended with %s' % (which, mode, status))

    def idle_pair(self, platform, seconds, settle=2.0):
        """CPU time of the floor and the game idling side by side over the same
        `seconds`, from /proc: utime+stime (clock ticks) and the scheduler's
        exact run time summed over threads. Side by side, the machine's
        slow and fast spells fall on both."""
        started = {which: self.launch(which, 'idle', platform) for which in ('floor', 'game')}
        try:
            for pid, fd in started.values():
                self.read_lines(fd, 60, until='ready')
            time.sleep(settle)
            before = {which: cpu(pid) for which, (pid, _) in started.items()}
            time.sleep(seconds)
            after = {which: cpu(pid) for which, (pid, _) in started.items()}
        finally:
            for pid, fd in started.values():
                os.kill(pid, signal.SIGTERM)
                os.waitpid(pid, 0)
                os.close(fd)
        return {which: {'ticks_ms': after[which][0] - before[which][0],
                        'exact_ms': after[which][1] - before[which][1]} for which in started}


def cpu(pid):
    with open('/proc/%d/stat' % pid) as f:
        fields = f.read().rsplit(')', 1)[1].split()
    tick = os.sysconf('SC_CLK_TCK')
    ticks_ms = (int(fields[14 - 3]) + int(fields[15 - 3])) * 1000.0 / tick
    exact_ns = 0
    for path in glob.glob('/proc/%d/task/*/schedstat' % pid):
        try:
            with open(path) as f:
                exact_ns += int(f.read().split()[0])
        except OSError:
            pass  # a thread that just ended
    return ticks_ms, exact_ns / 1e6


def start_xvfb(cpu):
    if not shutil.which('Xvfb'):
        return None, None
    number = 140
    while (os.path.exists('/tmp/.X11-unix/X%d' % number)
           or os.path.exists('/tmp/.X%d-lock' % number)):
        number += 1
    display = ':%d' % number
    server = subprocess.Popen(['taskset', '-c', str(cpu), 'Xvfb', display, '-screen', '0',
                               '1024x768x24', '-nolisten', 'tcp'],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(200):
        if os.path.exists('/tmp/.X11-unix/X%d' % number):
            return server, display
        if server.poll() is not None:
            break
        time.sleep(0.05)
    server.terminate()
    return None, None


def machine():
    model = '?'
    with open('/proc/cpuinfo') as f:
        for line in f:
            if line.startswith('model name'):
                model = line.split(':', 1)[1].strip()
                break
    return os.cpu_count(), model


def startup(runner, platforms, args, rows, info):
    for platform in platforms:
        log('start-up, %s: %d pairs' % (platform, args.startup_pairs))
        runs = {'floor': [], 'game': []}
        for _ in range(args.startup_pairs):
            for which in ('floor', 'game'):
                runs[which].append(runner.run(which, 'startup', platform, timeout=60))
        where = 'Xvfb' if platform == 'xcb' else platform
        for key, name, target in (('first_paint_us', 'first paint', 1.2),
                                  ('frame_done_us', 'first frame done', None),
                                  ('first_paint_cpu_us', 'first paint, CPU time', None)):
            floor = statistics.median(float(r[key]) for r in runs['floor']) / 1000
            game = statistics.median(float(r[key]) for r in runs['game']) / 1000
            rows.append(ratio_row('start-up to %s, %s (ms), n=%d' % (name, where, args.startup_pairs),
                                  floor, game, target))


def instructions(runner, platforms, args, rows, info):
    """Instructions from exec to the end of the first frame, offscreen: one run
    each, as callgrind counts repeat to a fraction of a per cent."""
    if not shutil.which('valgrind'):
        info.append('instructions: valgrind not found, skipped')
        return
    log('instructions to the first frame under callgrind')
    counts = {}
    for which in ('floor', 'game'):
        env = dict(runner.env, QT_QPA_PLATFORM='offscreen')
        done = subprocess.run(['taskset', '-c', str(runner.cpu), 'valgrind', '--tool=callgrind',
                               '--callgrind-out-file=/dev/null', runner.binaries[which], 'startup'],
                              cwd=runner.workdir, env=env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE, text=True, timeout=300)
        collected = [l for l in done.stderr.splitlines() if 'Collected :' in l]
        counts[which] = int(collected[0].rsplit(':', 1)[1].strip()) / 1e6
    rows.append(ratio_row('start-up instructions to first frame, offscreen (M), n=1',
                          counts['floor'], counts['game'], None))


def memory(runner, platforms, args, rows, info):
    log('memory: %d pairs of about 10 s' % args.pairs)
    floor_pss, game_start, game_100, game_end, private = [], [], [], [], []
    for _ in range(args.pairs):
        floor_pss.append(float(runner.run('floor', 'memory')['pss_start_kb']) / MB)
        game = runner.run('game', 'memory')
        game_start.append(float(game['pss_start_kb']) / MB)
        game_100.append(float(game['pss_100_kb']) / MB)
        game_end.append(float(game['pss_end_kb']) / MB)
        private.append((float(game['private_end_kb']) - float(game['private_start_kb'])) / MB)
    growth = statistics.median(e - s for s, e in zip(game_start, game_end))
    late_growth = statistics.median(e - m for m, e in zip(game_100, game_end))
    floor = statistics.median(floor_pss)
    for name, values in (('PSS 3 s after start (MB)', game_start),
                         ('PSS after 1000 games, 10000 moves (MB)', game_end)):
        game = statistics.median(values)
        rows.append([name + ', n=%d' % args.pairs, fmt(floor), fmt(game),
                     '+%.2f MB' % (game - floor), '<= floor + 6 MB', yes(game <= floor + 6)])
    rows.append(['PSS growth, 3 s -> end (MB), n=%d' % args.pairs, '', fmt(growth), '',
                 '<= 0.5 MB', yes(growth <= 0.5)])
    rows.append(['PSS growth, game 100 -> 1000 (MB), n=%d' % args.pairs, '', fmt(late_growth),
                 '', '(info)', ''])
    rows.append(['private (USS) growth, 3 s -> end (MB), n=%d' % args.pairs, '',
                 fmt(statistics.median(private)), '', '(info)', ''])
    info.append('memory: PSS shares each library page among the processes mapping it, so it '
                'moves when other Qt programs start or end on the machine; the private (USS) '
                'figure does not')


def idle(runner, platforms, args, rows, info):
    for platform in platforms:
        log('idle, %s: %d pairs of %g s' % (platform, args.idle_pairs, args.idle_seconds))
        runs = {'floor': [], 'game': []}
        for _ in range(args.idle_pairs):
            pair = runner.idle_pair(platform, args.idle_seconds)
            for which in runs:
                runs[which].append(pair[which])
        where = 'Xvfb' if platform == 'xcb' else platform
        for key, name, target in (('exact_ms', 'run time', 1.2),
                                  ('ticks_ms', 'utime+stime', None)):
            floor = statistics.median(r[key] for r in runs['floor'])
            game = statistics.median(r[key] for r in runs['game'])
            rows.append(ratio_row('idle CPU over %g s, %s, %s (ms), n=%d'
                                  % (args.idle_seconds, where, name, args.idle_pairs),
                                  floor, game, target))
    info.append('idle: %d pairs only, each %g s, the floor and the game running side by side '
                'rather than in turn, on the same CPU; the target is judged on the exact run '
                'time (/proc/PID/task/*/schedstat, all threads); utime+stime (/proc/PID/stat) '
                'counts in 10 ms ticks and is shown beside it'
                % (args.idle_pairs, args.idle_seconds))


def work(runner, platforms, args, rows, info):
    log('work per action: %d runs' % args.pairs)
    runs = [runner.run('game', 'work') for _ in range(args.pairs)]

    def med(key):
        return statistics.median(float(r[key]) for r in runs)

    def total(key):
        return sum(int(float(r[key])) for r in runs)

    for key, name, limit in (('newgame_us', 'NewGame (us), median of 1000', 1000),
                             ('move_us', 'move: combining click (us), median of 1000', 200),
                             ('select_us', 'selecting click (us), median of 1000', None)):
        value = med(key)
        rows.append([name + ', n=%d' % args.pairs, '', fmt(value), '',
                     '< %d us' % limit if limit else '(info)',
                     yes(value < limit) if limit else ''])
    bad_ticks = sum(float(r['tick_area_outside_px']) > 0 or float(r['tick_seconds_painted']) != 3
                    for r in runs)
    rows.append(['tick: runs painting beyond the seconds label', '',
                 '%d of %d' % (bad_ticks, len(runs)), '', 'seconds label only', yes(bad_ticks == 0)])
    bad_moves = total('move_outside') + total('move_missing')
    rows.append(['move: moves painting beyond written cells + counters', '',
                 '%d of %d' % (bad_moves, total('move_checked')), '', 'written cells + counters',
                 yes(bad_moves == 0)])
    rows.append(['move: other widgets getting a paint event, per move', '',
                 '%.1f' % med('move_other_widgets_per_move'), '', '(info)', ''])
    last = runs[-1]
    info.append('paints: "met" means the painted area lies inside the seconds label (tick), or '
                'inside the cells the move wrote plus the two counters, with every written cell '
                'repainted (move). The other widgets are the board frame beneath and the '
                'neighbouring cells, whose 68 px pictures overlap at a 64 px pitch, painted only '
                'inside that area. Paint events by widget, last run: over 3 ticks %s; over %d '
                'moves %s' % (last['tick_paints'], float(last['move_checked']), last['move_paints']))


PARTS = {'startup': startup, 'instructions': instructions, 'memory': memory, 'idle': idle,
         'work': work}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('build')
    parser.add_argument('--pairs', type=int, default=10)
    parser.add_argument('--startup-pairs', type=int, default=20)
    parser.add_argument('--idle-pairs', type=int, default=5)
    parser.add_argument('--idle-seconds', type=float, default=30)
    parser.add_argument('--no-xvfb', action='store_true')
    parser.add_argument('--cpu', type=int, default=max(os.sched_getaffinity(0)),
                        help='the CPU every program and Xvfb run on')
    parser.add_argument('--only', default=','.join(PARTS),
                        help='comma-separated parts to run: ' + ', '.join(PARTS))
    args = parser.parse_args()

    workdir = tempfile.mkdtemp(prefix='tarmelon-bench-')
    runner = Runner(args.build, workdir, args.cpu)
    xvfb = None
    if not args.no_xvfb:
        xvfb, runner.display = start_xvfb(args.cpu)
    platforms = ['offscreen'] + (['xcb'] if xvfb else [])
    rows, info = [], []
    began = time.monotonic()
    try:
        qt = runner.run('floor', 'version')['qt']
        for name in args.only.split(','):
            PARTS[name](runner, platforms, args, rows, info)
        left_behind = [n for n in sorted(os.listdir(workdir)) if n != 'runtime']
    finally:
        if xvfb:
            xvfb.terminate()
            xvfb.wait()
        shutil.rmtree(workdir, ignore_errors=True)

    cpus, model = machine()
    with open('/proc/loadavg') as f:
        load = f.read().split()[0]
    server = 'off' if args.no_xvfb else 'yes' if xvfb else 'not found'
    print('machine: %d CPUs, %s; Qt %s; all programs on CPU %d; Xvfb %s; '
          'load average at the end %s; took %.0f s'
          % (cpus, model, qt, args.cpu, server, load, time.monotonic() - began))
    print('medians of interleaved runs (floor, game, floor, game ...); n = runs of each')
    table(['figure', 'floor', 'game', 'ratio', 'target', 'met'], rows)
    if left_behind:
        info.append('files left in the run directory: %s' % ', '.join(left_behind))
    for note in info:
        print('note: ' + note)


def ratio_row(name, floor, game, target):
    if not floor:
        return [name, fmt(floor), fmt(game), '-', '(info)', '']
    ratio = game / floor
    return [name, fmt(floor), fmt(game), '%.2f' % ratio,
            '<= %.1f x floor' % target if target else '(info)',
            yes(ratio <= target) if target else '']


def fmt(value):
    return '%.2f' % value


def yes(ok):
    return 'yes' if ok else 'NO'


def table(header, rows):
    widths = [max(len(str(r[i])) for r in [header] + rows) for i in range(len(header))]
    line = '  '.join('-' * w for w in widths)
    print(line)
    print('  '.join(str(h).ljust(w) for h, w in zip(header, widths)))
    print(line)
    for row in rows:
        print('  '.join(str(c).ljust(w) if i in (0, 4) else str(c).rjust(w)
                        for i, (c, w) in enumerate(zip(row, widths))))
    print(line)


if __name__ == '__main__':
    main()

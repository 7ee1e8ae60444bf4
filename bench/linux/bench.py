#!/usr/bin/env python3
"""Runs the Linux benchmarks of sound3d against the minimal programs and prints
one markdown table: medians, ratios, and whether each ratio is within the
target.  bench/run_linux.sh builds everything and calls this; see there for
the settings.

Everything runs on a private Xvfb.  Except in the server phase, the sound
goes through SDL's "disk" driver into a FIFO read here, so no sound device is
needed and the time each block of output is handed over can be seen.  The
driver paces in real time, nearly: it sleeps a period rounded down to whole
ms per block it writes (10 ms for 512 frames at 48 kHz, so it runs a few
percent fast), and SDL 2.26 hands it two periods' blocks back to back (seen
with strace), so the FIFO sees a hand-over every two periods.  The measured
byte rate is printed.

Phases, each program measured the same way in the same run, alternating which
goes first, after one unmeasured round each (cold caches):
  launch  launch_watch: exec to the dialog mapped and fully drawn on the X
          server, and the process's VmHWM then; closed with WM_DELETE_WINDOW.
  start   libbench_driver.so (LD_PRELOAD): "Старт" pressed to "Стоп", the
          first non-silent output block after the press, VmHWM after 1 s.
  cpu     the same driver, BENCH_CPU_SECONDS of playing per run: CPU time of
          the whole process (getrusage), sound3d once per 3D algorithm.
  server  the same driver, playing through SDL's pulseaudio driver to the
          default sink of the sound server that PULSE_SERVER names (run
          under harness/sound_server.sh), whose monitor parec records
          throughout in blocks a few ms long (the median gap between them
          is shown).  Each run starts and stops each program three times,
          pressing "Стоп" 0.1 s, 0.5 s and 2 s after it is shown.
          "Старт" pressed to the first non-silent block at the monitor;
          "Стоп" pressed to "Старт" (the driver) and to the first silent
          block after the last non-silent one; the dialog stays open
          SILENCE_WAIT_MS after "Старт", so the silence is the stop's, not
          the exit's.  CPU time over the 2 s of playing, with the dialog's
          own algorithm only: over 2 s the runs spread more than the
          algorithms differ, and the cpu phase shows those differences.
  trace   one more start each with libstart_trace.so, whose timed SDL and
          OpenAL calls show where a start's time goes (printed last).
Every figure is timed on CLOCK_MONOTONIC: the driver's presses, and here when
each block of output arrives.  A program that fails, shows an error or hangs
(every wait is bounded), no sound server, or a stop still sounding when the
window closes ends the run with exit code 1; a figure over its target is
reported, not an error.
"""

import argparse
import datetime
import os
import platform
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

TARGET = 1.1
STOP_TARGET_MS = 50
TIMEOUT_S = 30
STOP_DELAYS_MS = (100, 500, 2000)
SILENCE_WAIT_MS = 200
ALGORITHMS = ("Нет", "Частичная", "Полная")
DEFAULT_ALGORITHM = 2  # what the dialog selects at start


def log(text):
    print(f"bench: {text}", file=sys.stderr, flush=True)


def fail(text):
    log(text)
    sys.exit(1)


class Xvfb:
    """A private X server on a display it picks itself."""

    def __init__(self, log_path):
        self.log_path = log_path
        read_end, write_end = os.pipe()
        with open(log_path, "w") as log_file:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                 "-nolisten", "tcp"],
                pass_fds=(write_end,), stdout=log_file, stderr=subprocess.STDOUT)
        os.close(write_end)
        # The number and its newline come in two writes; closing our end
        # between them would make the second fail and end the server.
        text = b""
        deadline = time.monotonic() + 15
        while not text.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], 0.1)
            chunk = os.read(read_end, 32) if ready else b""
            if ready and not chunk:
                break
            text += chunk
        os.close(read_end)
        number = text.decode().strip() if text.endswith(b"\n") else ""
        if not number or self.process.poll() is not None:
            self.stop()
            fail(f"Xvfb did not start:\n{self.log()}")
        self.display = f":{number}"

    def log(self):
        with open(self.log_path) as f:
            return f.read()

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


class OutputReader:
    """Reads sound from a non-blocking descriptor and notes when each block
    arrived (CLOCK_MONOTONIC, as the driver's press_ns)."""

    def __init__(self, fd):
        self.fd = fd
        self.blocks = []  # (monotonic ns, bytes, any non-zero byte)
        self.done = threading.Event()
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _run(self):
        while not self.done.is_set():
            ready, _, _ = select.select([self.fd], [], [], 0.02)
            if not ready:
                continue
            try:
                data = os.read(self.fd, 1 << 20)
            except BlockingIOError:
                continue
            now = time.monotonic_ns()
            if not data:  # no writer (yet, or any more)
                time.sleep(0.001)
                continue
            self.blocks.append((now, len(data), data.count(0) != len(data)))

    def stop(self):
        self.done.set()
        self.thread.join()


class FifoReader(OutputReader):
    """What SDL's disk driver writes into a FIFO."""

    def __init__(self, path):
        self.path = path
        os.mkfifo(path)
        # Non-blocking, so the writer's open never waits and neither does ours.
        super().__init__(os.open(path, os.O_RDONLY | os.O_NONBLOCK))

    def stop(self):
        super().stop()
        os.close(self.fd)
        os.unlink(self.path)


class MonitorReader(OutputReader):
    """What the sound server's default sink plays, from its monitor, in the
    sink's own format (48 kHz stereo float) and in small blocks."""

    def __init__(self, env):
        self.process = subprocess.Popen(
            ["parec", "-d", "@DEFAULT_MONITOR@", "--raw", "--format=float32le", "--rate=48000",
             "--channels=2", "--latency-msec=5"], env=env, stdout=subprocess.PIPE)
        os.set_blocking(self.process.stdout.fileno(), False)
        super().__init__(self.process.stdout.fileno())
        if not self.wait_until(time.monotonic_ns()):
            self.stop()
            fail("parec gives nothing from the sink's monitor")

    def wait_until(self, ns):
        """Waits (at most 2 s) for a block that arrived after ns."""
        deadline = time.monotonic() + 2
        while not (self.blocks and self.blocks[-1][0] > ns) and time.monotonic() < deadline:
            time.sleep(0.01)
        return bool(self.blocks) and self.blocks[-1][0] > ns

    def stop(self):
        self.process.terminate()
        self.process.wait()
        super().stop()
        self.process.stdout.close()


class Bench:
    def __init__(self, args):
        self.args = args
        self.server_name = os.environ.get("SOUND_SERVER_NAME")
        if not self.server_name or "PULSE_SERVER" not in os.environ:
            fail("no sound server: run under harness/sound_server.sh pulseaudio")
        self.tmp = tempfile.mkdtemp(prefix="sound3d-bench-")
        self.samples = {}  # (metric, who) -> [values]
        self.traces = {}  # who -> (driver report, timed calls)
        self.xvfb = Xvfb(os.path.join(self.tmp, "xvfb.log"))
        runtime = os.path.join(self.tmp, "runtime")
        os.mkdir(runtime, 0o700)
        self.env = dict(os.environ, DISPLAY=self.xvfb.display, QT_QPA_PLATFORM="xcb",
                        XDG_RUNTIME_DIR=runtime, SDL_AUDIODRIVER="disk",
                        SDL_DISKAUDIOFILE="/dev/null")
        self.env.pop("LD_PRELOAD", None)
        # Only the server phase meets the sound server; the other phases
        # run as without one.
        self.server_env = dict(self.env, SDL_AUDIODRIVER="pulseaudio")
        for name in ("PULSE_SERVER", "PULSE_COOKIE"):
            self.env.pop(name, None)
        self.programs = {"app": args.app, "dialog": args.dialog, "player": args.player}
        self.captions = {"app": "DirectSound 3D", "dialog": "minimal dialog",
                         "player": "minimal player"}

    def close(self):
        self.xvfb.stop()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def add(self, metric, who, value):
        self.samples.setdefault((metric, who), []).append(value)

    def samples_of(self, metric, who):
        values = self.samples.get((metric, who))
        if not values:
            fail(f"no samples of {metric} for {who}")
        return values

    def median(self, metric, who):
        return statistics.median(self.samples_of(metric, who))

    def launch_round(self, who, measured):
        cmd = [self.args.watch, self.captions[who], str(TIMEOUT_S * 1000), self.programs[who]]
        try:
            done = subprocess.run(cmd, env=self.env, capture_output=True, text=True,
                                  timeout=TIMEOUT_S * 2 + 5)
        except subprocess.TimeoutExpired:
            fail(f"launch_watch hung on {who}")
        if done.returncode != 0:
            if self.xvfb.process.poll() is not None:
                fail(f"Xvfb {self.xvfb.display} ended:\n{self.xvfb.log()}")
            fail(f"launch of {who} failed:\n{done.stderr}")
        if measured:
            for line in done.stdout.splitlines():
                name, value = line.split()
                self.add(f"launch_{name}", who, float(value))

    def drive(self, who, env, play_ms, algorithm=None, trace=None):
        """One launch under the driver: press, play play_ms, stop, close.
        With trace, a file name, the start's library calls are noted there
        too.  Returns the driver's report."""
        report = os.path.join(self.tmp, "report.txt")
        if os.path.exists(report):
            os.unlink(report)
        preload = self.args.driver + (" " + self.args.trace if trace else "")
        env = dict(env, LD_PRELOAD=preload, BENCH_REPORT=report, BENCH_PLAY_MS=str(play_ms))
        if trace:
            env["BENCH_TRACE"] = trace
        if algorithm is not None:
            env["BENCH_ALGORITHM"] = str(algorithm)
        try:
            done = subprocess.run([self.programs[who]], env=env, capture_output=True, text=True,
                                  timeout=TIMEOUT_S + play_ms / 1000)
        except subprocess.TimeoutExpired as hung:
            fail(f"{who} hung under the driver; report: {self.read_report(report)}\n"
                 f"{hung.stderr}")
        values = self.read_report(report)
        if done.returncode != 0 or "closing_ns" not in values:
            fail(f"{who} under the driver: exit code {done.returncode}, report {values}\n"
                 f"{done.stderr}")
        return values

    def play_round(self, who, play_ms, label=None, algorithm=None, trace=None):
        """One launch under the driver into SDL's disk output; the figures
        are kept under label (none: not measured)."""
        reader = FifoReader(os.path.join(self.tmp, "output.fifo"))
        try:
            values = self.drive(who, dict(self.env, SDL_DISKAUDIOFILE=reader.path), play_ms,
                                algorithm, trace)
        finally:
            reader.stop()
        if label is None:
            return values
        name = label
        for metric in ("repaint_ms", "start_ms", "cpu_ms", "wall_ms", "hwm_kb", "threads"):
            self.add(metric, name, values[metric])
        self.add_output(name, reader.blocks, values)
        return values

    def server_round(self, who, play_ms, measured=True):
        """One launch under the driver playing to the sound server, whose
        monitor self.monitor records: the start and stop figures and, after
        2 s of playing, the CPU time."""
        first = len(self.monitor.blocks)
        values = self.drive(who, dict(self.server_env, BENCH_IDLE_MS=str(SILENCE_WAIT_MS)),
                            play_ms)
        press, stop, closing = values["press_ns"], values["stop_ns"], values["closing_ns"]
        if not self.monitor.wait_until(closing):
            fail("the sink's monitor gave nothing after the window closed")
        blocks = [b for b in self.monitor.blocks[first:] if b[0] <= closing]
        sounding = [b for b in blocks if b[2]]
        if not sounding or sounding[-1][0] < stop:
            fail(f"{who}: no sound at the monitor up to Стоп")
        if sounding[0][0] < press:
            fail(f"{who}: sound at the monitor before Старт was pressed")
        silent = [b for b in blocks if b[0] > sounding[-1][0]]
        if not silent:
            fail(f"{who}: still sounding when the window closed, {SILENCE_WAIT_MS} ms after"
                 " Старт was shown")
        if not measured:
            return
        self.add("server_sound_ms", who, (sounding[0][0] - press) / 1e6)
        self.add("server_stop_ms", f"{who}{play_ms}", values["stop_ms"])
        self.add("server_silence_ms", f"{who}{play_ms}", (silent[0][0] - stop) / 1e6)
        self.add("server_gap_ms", who, statistics.median(
            (b[0] - a[0]) / 1e6 for a, b in zip(sounding, sounding[1:])))
        if play_ms == STOP_DELAYS_MS[-1]:
            self.add("server_cpu_ms", who, values["cpu_ms"])

    @staticmethod
    def read_report(path):
        values = {}
        try:
            with open(path) as f:
                for line in f:
                    name, _, value = line.strip().partition(" ")
                    values[name] = value if name == "error" else float(value)
        except OSError:
            pass
        return values

    def add_output(self, name, blocks, values):
        press = values["press_ns"]
        after = [b for b in blocks if b[0] >= press]
        sounding = [b for b in after if b[2]]
        if not sounding:
            fail(f"{name}: no sound reached the output after the press")
        first = (sounding[0][0] - press) / 1e6
        self.add("first_sound_ms", name, first)
        # "Стоп" is set right after Play returns, in both programs.
        self.add("play_to_sound_ms", name, first - values["start_ms"])
        # Steady playing: the blocks after the first sounding one.
        steady = [b for b in after if b[0] >= sounding[0][0]]
        if len(steady) < 4:
            fail(f"{name}: too few output blocks to judge the pace")
        span_s = (steady[-1][0] - steady[0][0]) / 1e9
        self.add("output_bytes_per_s", name, sum(b[1] for b in steady[1:]) / span_s)
        self.add("block_bytes", name, statistics.median(b[1] for b in steady))
        gaps = [(b[0] - a[0]) / 1e6 for a, b in zip(steady, steady[1:])]
        self.add("period_ms", name, statistics.median(gaps))

    def run(self):
        a = self.args
        log(f"Xvfb on {self.xvfb.display}; launch: {a.runs} runs")
        for who in ("app", "dialog"):
            self.launch_round(who, measured=False)
        for run in range(a.runs):
            for who in (("app", "dialog") if run % 2 == 0 else ("dialog", "app")):
                self.launch_round(who, measured=True)

        log(f"start: {a.runs} runs")
        for who in ("app", "player"):
            self.play_round(who, 1000)
        for run in range(a.runs):
            for who in (("app", "player") if run % 2 == 0 else ("player", "app")):
                self.play_round(who, 1000, who)

        log(f"cpu: {a.cpu_runs} runs of {a.cpu_seconds} s per program and algorithm")
        order = [("app", f"app{i}", i) for i in range(len(ALGORITHMS))]
        order.append(("player", "player_cpu", None))
        for run in range(a.cpu_runs):
            shift = run % len(order)
            for who, label, algorithm in order[shift:] + order[:shift]:
                self.play_round(who, a.cpu_seconds * 1000, label, algorithm)

        log(f"server ({self.server_name}): {a.runs} runs of a start and a stop at each of"
            f" {', '.join(f'{d / 1000:g} s' for d in STOP_DELAYS_MS)} per program")
        began = time.monotonic()
        self.monitor = MonitorReader(self.server_env)
        try:
            for who in ("app", "player"):
                self.server_round(who, STOP_DELAYS_MS[0], measured=False)
            for run in range(a.runs):
                for delay in STOP_DELAYS_MS:
                    for who in (("app", "player") if run % 2 == 0 else ("player", "app")):
                        self.server_round(who, delay)
        finally:
            self.monitor.stop()
        log(f"server: {time.monotonic() - began:.0f} s")

        log("trace: one start per program with its library calls timed")
        for who in ("app", "player"):
            path = os.path.join(self.tmp, f"trace_{who}.txt")
            values = self.play_round(who, 300, trace=path)
            self.traces[who] = (values, read_trace(path))


def read_trace(path):
    calls = []
    if not os.path.exists(path):
        return calls  # the start made none of the traced calls
    with open(path) as f:
        for line in f:
            name, begin, duration = line.split()
            calls.append((name, int(begin), int(duration)))
    return calls


def print_traces(traces):
    print("Where one start's time goes (call at ms after the press, and its duration in ms):")
    for who, name in (("app", "sound3d"), ("player", "minimal_player")):
        values, calls = traces[who]
        press, end = values["press_ns"], values["start_ms"]
        steps = [f"+{(b - press) / 1e6:.1f} {call} ({d / 1e6:.1f})" for call, b, d in calls
                 if 0 <= (b - press) / 1e6 <= end]
        print(f"  {name}: " + ", ".join(steps) + f"; \"Стоп\" at +{end:.1f}")


def wine_figures(path):
    """sound3d.exe's and its baselines' figures from bench/run.sh's table."""
    figures = {}
    if not path or not os.path.exists(path):
        return figures
    keys = {"Launch to dialog shown": "launch", "Старт pressed to Стоп shown": "start",
            "CPU time in": "cpu", "Peak working set": "memory"}
    with open(path) as f:
        for line in f:
            cells = [c.strip() for c in line.strip().strip("|").split("|")]
            for prefix, key in keys.items():
                if len(cells) >= 5 and cells[0].startswith(prefix) and key not in figures:
                    figures[key] = f"{cells[1]} ({cells[4]} of {cells[2]})"
    return figures


def cpu_model():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown CPU"


def report(bench, wine):
    a = bench.args
    rows = []

    def row(name, metric, who, base, base_name, unit, scale=1.0, fmt="{:.1f}", target=True,
            wine_key=None, base_metric=None, limit=None):
        """One line: medians, their ratio and verdict (against the ratio
        target, or sound3d's median against limit), and the best runs'
        ratio (on a shared machine noise only adds, so the minimum is the
        steadier figure)."""
        mine = bench.samples_of(metric, who)
        theirs = bench.samples_of(base_metric or metric, base)
        app, base_value = statistics.median(mine) / scale, statistics.median(theirs) / scale
        ratio = app / base_value if base_value else float("inf")
        # Play-to-sound can come out just below zero: the output may hand
        # over sound before the dialog thread gets to show "Стоп".
        best = f"{min(mine) / min(theirs):.2f}x" if min(mine) > 0 and min(theirs) > 0 else "–"
        verdict = ("yes" if ratio <= TARGET else "**NO**") if target else "–"
        if limit is not None:
            verdict = f"yes (≤ {limit} ms)" if app <= limit else f"**NO** (> {limit} ms)"
        rows.append((name, fmt.format(app) + unit, base_name, fmt.format(base_value) + unit,
                     f"{ratio:.2f}x", verdict, best,
                     wine.get(wine_key, "–") if wine_key else "–"))

    n, c = a.runs, a.cpu_runs
    row(f"Launch to dialog mapped (median of {n})", "launch_map_ms", "app", "dialog",
        "minimal_dialog", " ms", target=False)
    row(f"Launch to dialog mapped and drawn (median of {n})", "launch_paint_ms", "app", "dialog",
        "minimal_dialog", " ms", wine_key="launch")
    row(f"Peak memory (VmHWM) with the dialog shown (median of {n})", "launch_hwm_kb", "app",
        "dialog", "minimal_dialog", " MiB", scale=1024)
    row(f"Старт pressed to Стоп shown, {ALGORITHMS[DEFAULT_ALGORITHM]} (median of {n})",
        "start_ms", "app", "player", "minimal_player", " ms", wine_key="start")
    row(f"One synchronous repaint of the idle dialog (median of {n})", "repaint_ms", "app",
        "player", "minimal_player", " ms", target=False)
    row(f"Старт pressed to first sound handed to the output (median of {n})", "first_sound_ms",
        "app", "player", "minimal_player", " ms", target=False)
    row(f"Стоп shown (Play returned) to first sound handed to the output (median of {n})",
        "play_to_sound_ms", "app", "player", "minimal_player", " ms", target=False)
    row("Gap between hand-overs at the output (median)", "period_ms", "app", "player",
        "minimal_player", " ms", target=False)
    for i, algorithm in enumerate(ALGORITHMS):
        row(f"CPU time in {a.cpu_seconds} s of playing, {algorithm} (median of {c})", "cpu_ms",
            f"app{i}", "player_cpu", "minimal_player", " ms",
            wine_key="cpu" if i == DEFAULT_ALGORITHM else None)
    row(f"Peak memory (VmHWM) after 1 s of playing (median of {n})", "hwm_kb", "app", "player",
        "minimal_player", " MiB", scale=1024, wine_key="memory")
    row(f"Peak memory (VmHWM) after 1 s of playing (median of {n})", "hwm_kb", "app", "dialog",
        "minimal_dialog (shown)", " MiB", scale=1024, target=False, base_metric="launch_hwm_kb")
    row(f"Старт pressed to first sound at the server's sink monitor,"
        f" {ALGORITHMS[DEFAULT_ALGORITHM]} (median of {n * len(STOP_DELAYS_MS)})",
        "server_sound_ms", "app", "player", "minimal_player", " ms")
    row("Gap between blocks at the sink monitor while sounding (median)", "server_gap_ms", "app",
        "player", "minimal_player", " ms", target=False)
    for delay in STOP_DELAYS_MS:
        for metric, shown in (("server_stop_ms", "Старт shown, on the server"),
                              ("server_silence_ms", "silence at the sink monitor")):
            row(f"Стоп pressed {delay / 1000:g} s after the start to {shown} (median of {n})",
                metric, f"app{delay}", f"player{delay}", "minimal_player", " ms",
                limit=STOP_TARGET_MS)
    row(f"CPU time in {STOP_DELAYS_MS[-1] / 1000:g} s of playing to the server,"
        f" {ALGORITHMS[DEFAULT_ALGORITHM]} (median of {n})", "server_cpu_ms", "app", "player",
        "minimal_player", " ms")

    date = datetime.date.today().isoformat()
    print()
    print(f"sound3d Linux benchmark, {date}: bench/run_linux.sh (BENCH_RUNS={n},"
          f" BENCH_CPU_RUNS={c}, BENCH_CPU_SECONDS={a.cpu_seconds})")
    print(f"{os.cpu_count()} cores, {cpu_model()}, Xvfb, SDL_AUDIODRIVER=disk into a FIFO, and"
          f" pulseaudio to {bench.server_name} with a null sink; target: sound3d within"
          f" {TARGET}x of the minimal program, or the limit the verdict names")
    print()
    header = ("Measure", "sound3d", "Minimal program", "Minimal", "Ratio", "Target met",
              "Ratio of the best runs", "sound3d.exe under Wine (ratio to its baseline)")
    print("| " + " | ".join(header) + " |")
    print("|" + "|".join(["---"] * 3 + ["---:"] * 2 + [":---:", "---:", "---"]) + "|")
    for r in rows:
        print("| " + " | ".join(r) + " |")
    print()
    print("Spread (min-max), sound3d / minimal:")
    pairs = [("launch_paint_ms", "app", "dialog"), ("start_ms", "app", "player"),
             ("first_sound_ms", "app", "player"), ("play_to_sound_ms", "app", "player")]
    pairs += [("cpu_ms", f"app{i}", "player_cpu") for i in range(len(ALGORITHMS))]
    pairs += [("server_sound_ms", "app", "player"), ("server_cpu_ms", "app", "player")]
    pairs += [(metric, f"app{d}", f"player{d}") for d in STOP_DELAYS_MS
              for metric in ("server_stop_ms", "server_silence_ms")]
    for metric, x, y in pairs:
        p, q = bench.samples[(metric, x)], bench.samples[(metric, y)]
        print(f"  {metric} {x}: {min(p):.1f}-{max(p):.1f} / {min(q):.1f}-{max(q):.1f}")
    print("Output pace (bytes/s at the FIFO over the playing; 48 kHz stereo float is 384000),"
          " bytes per hand-over, threads while playing:")
    m = bench.median
    for who in ["app", "player", "player_cpu"] + [f"app{i}" for i in range(len(ALGORITHMS))]:
        print(f"  {who}: {m('output_bytes_per_s', who):.0f} B/s,"
              f" {m('block_bytes', who):.0f} B blocks, {m('threads', who):.0f} threads,"
              f" CPU window {m('wall_ms', who):.0f} ms wall")
    print_traces(bench.traces)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    for name in ("app", "dialog", "player", "watch", "driver", "trace"):
        parser.add_argument(f"--{name}", required=True)
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--cpu-runs", type=int, default=3)
    parser.add_argument("--cpu-seconds", type=int, default=10)
    parser.add_argument("--wine-table", help="bench/run.sh's output, shown beside")
    args = parser.parse_args()
    bench = Bench(args)
    try:
        bench.run()
    finally:
        bench.close()
    report(bench, wine_figures(args.wine_table))


if __name__ == "__main__":
    main()

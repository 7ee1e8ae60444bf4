#!/usr/bin/env python3
"""Runs the Linux benchmarks of sound3d against the minimal programs and prints
one markdown table: medians, ratios, and whether each ratio is within the
target.  bench/run_linux.sh builds everything and calls this; see there for
the settings.

Everything runs on a private Xvfb.  The sound goes through SDL's "disk"
driver into a FIFO read here, so no sound device is needed and the time each
block of output is handed over can be seen.  The driver paces in real time,
nearly: it sleeps a period rounded down to whole ms per block it writes (10 ms
for 512 frames at 48 kHz, so it runs a few percent fast), and SDL 2.26 hands
it two periods' blocks back to back (seen with strace), so the FIFO sees a
hand-over every two periods.  The measured byte rate is printed.

Phases, each program measured the same way in the same run, alternating which
goes first, after one unmeasured round each (cold caches):
  launch  launch_watch: exec to the dialog mapped and fully drawn on the X
          server, and the process's VmHWM then; closed with WM_DELETE_WINDOW.
  start   libbench_driver.so (LD_PRELOAD): "Старт" pressed to "Стоп", the
          first non-silent output block after the press, VmHWM after 1 s.
  cpu     the same driver, BENCH_CPU_SECONDS of playing per run: CPU time of
          the whole process (getrusage), sound3d once per 3D algorithm.
  trace   one more start each with libstart_trace.so, whose timed SDL and
          OpenAL calls show where a start's time goes (printed last).
A program that fails, shows an error or hangs (every wait is bounded) ends the
run with exit code 1; a ratio over the target is reported, not an error.
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
TIMEOUT_S = 30
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


class FifoReader:
    """Reads what SDL's disk driver writes into a FIFO and notes when each
    block arrived (CLOCK_MONOTONIC, as the driver's press_ns)."""

    def __init__(self, path):
        self.path = path
        os.mkfifo(path)
        # Non-blocking, so the writer's open never waits and neither does ours.
        self.fd = os.open(path, os.O_RDONLY | os.O_NONBLOCK)
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
        os.close(self.fd)
        os.unlink(self.path)


class Bench:
    def __init__(self, args):
        self.args = args
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

    def play_round(self, who, play_ms, label=None, algorithm=None, trace=None):
        """One launch under the driver: press, play play_ms, stop, close;
        the figures are kept under label (none: not measured).  With trace,
        a file name, the start's library calls are noted there too."""
        report = os.path.join(self.tmp, "report.txt")
        if os.path.exists(report):
            os.unlink(report)
        reader = FifoReader(os.path.join(self.tmp, "output.fifo"))
        preload = self.args.driver + (" " + self.args.trace if trace else "")
        env = dict(self.env, LD_PRELOAD=preload, BENCH_REPORT=report,
                   BENCH_PLAY_MS=str(play_ms), SDL_DISKAUDIOFILE=reader.path)
        if trace:
            env["BENCH_TRACE"] = trace
        if algorithm is not None:
            env["BENCH_ALGORITHM"] = str(algorithm)
        try:
            done = subprocess.run([self.programs[who]], env=env, capture_output=True, text=True,
                                  timeout=TIMEOUT_S + play_ms / 1000)
        except subprocess.TimeoutExpired as hung:
            reader.stop()
            fail(f"{who} hung under the driver; report: {self.read_report(report)}\n"
                 f"{hung.stderr}")
        reader.stop()
        values = self.read_report(report)
        if done.returncode != 0 or "closing_ns" not in values:
            fail(f"{who} under the driver: exit code {done.returncode}, report {values}\n"
                 f"{done.stderr}")
        if label is None:
            return values
        name = label
        for metric in ("repaint_ms", "start_ms", "cpu_ms", "wall_ms", "hwm_kb", "threads"):
            self.add(metric, name, values[metric])
        self.add_output(name, reader.blocks, values)
        return values

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
            wine_key=None, base_metric=None):
        """One line: medians, their ratio and verdict, and the best runs'
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

    date = datetime.date.today().isoformat()
    print()
    print(f"sound3d Linux benchmark, {date}: bench/run_linux.sh (BENCH_RUNS={n},"
          f" BENCH_CPU_RUNS={c}, BENCH_CPU_SECONDS={a.cpu_seconds})")
    print(f"{os.cpu_count()} cores, {cpu_model()}, Xvfb, SDL_AUDIODRIVER=disk into a FIFO;"
          f" target: sound3d within {TARGET}x of the minimal program")
    print()
    header = ("Measure", "sound3d", "Minimal program", "Minimal", "Ratio", f"Within {TARGET}x",
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

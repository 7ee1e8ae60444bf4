#!/usr/bin/env python3
"""Measures every choice of the dialog through the Linux sound layer and
writes the table (bench/choices/results.md) and the picture (docs/choices.png).

Builds the measuring program with the bench preset into BUILD_DIR (default
build/bench), runs it, and turns its JSON into a Markdown table and a plot of
level difference and interaural delay against X on headphones.

usage: bench/choices/measure_choices.py [--no-build]
"""
import json
import math
import os
import subprocess
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
BUILD_DIR = os.path.join(ROOT, os.environ.get("BUILD_DIR", "build/bench"))
TABLE = os.path.join(ROOT, "bench", "choices", "results.md")
PICTURE = os.path.join(ROOT, "docs", "choices.png")
CAP_DB = 60  # the program's mark for a silent side

SPEAKER_NAMES = {
    "headphones": "Наушники",
    "mono": "Моно",
    "quad": "Квадроколонки",
    "stereo": "Стереоколонки (угол 0 = 20°)",
    "stereo 5": "Стереоколонки, угол 5",
    "stereo 180": "Стереоколонки, угол 180",
    "surround": "Система Surround",
    "5.1": "Система 5point1",
}
ALGORITHM_NAMES = {"none": "Нет", "light": "Частичная", "full": "Полная"}


def build():
    if not os.path.exists(os.path.join(BUILD_DIR, "CMakeCache.txt")):
        subprocess.run(["cmake", "--preset", "bench", "-B", BUILD_DIR], cwd=ROOT, check=True)
    subprocess.run(["cmake", "--build", BUILD_DIR, "--target", "measure_choices", "-j2"],
                   cwd=ROOT, check=True)


def measure():
    program = os.path.join(BUILD_DIR, "measure_choices")
    # From another directory on purpose: the program finds its data beside itself.
    result = subprocess.run([program], cwd="/", check=True, capture_output=True, text=True)
    return json.loads(result.stdout)


def decibels(value):
    if value is None:
        return "—"
    if abs(value) >= CAP_DB:
        return "one side only"
    return f"{value:+.1f}"


def front_back(value):
    return "a side silent" if value >= CAP_DB else f"{value:.2f}"


def optional(value, form):
    return "—" if value is None else form.format(value)


def table(rows):
    lines = [
        "| Излучатели | Виртуализация | HRTF | Channels | Level R−L at (1, 0, 1), dB "
        "| Interaural delay at (1, 0, 1), ms | Front/back above 3 kHz, dB "
        "| L/R correlation ahead / behind | CPU per second of sound, ms |",
        "|---|---|---|---|---|---|---|---|---|",
    ]
    for row in rows:
        correlation = ("—" if row["corr_ahead"] is None
                       else f"{row['corr_ahead']:+.2f} / {row['corr_behind']:+.2f}")
        lines.append(
            f"| {SPEAKER_NAMES[row['speakers']]} | {ALGORITHM_NAMES[row['algorithm']]} "
            f"| {row['hrtf']} | {row['channels']} | {decibels(row['level_db'])} "
            f"| {optional(row['delay_ms'], '{:.3f}')} | {front_back(row['front_back_db'])} "
            f"| {correlation} | {row['cpu_ms_per_s']:.2f} |")
    return "\n".join(lines) + "\n"


def plot(sweep):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figure, (levels, delays) = plt.subplots(2, 1, figsize=(8, 7), sharex=True)
    for algorithm, style in (("none", "-"), ("light", "--"), ("full", ":")):
        points = [p for p in sweep if p["algorithm"] == algorithm]
        xs = [p["x"] for p in points]
        level = [p["level_db"] for p in points]
        delay = [math.nan if p["delay_ms"] is None else p["delay_ms"] for p in points]
        label = ALGORITHM_NAMES[algorithm]
        levels.plot(xs, level, style, marker="o", markersize=3, label=label)
        delays.plot(xs, delay, style, marker="o", markersize=3, label=label)
    levels.set_ylabel("level right − left, dB\n(±60: one side silent)")
    levels.set_title("Headphones, source at (X, 0, 1)")
    delays.set_ylabel("interaural delay, ms\n(+: left ear later)")
    delays.set_xlabel("X")
    for axes in (levels, delays):
        axes.grid(True, alpha=0.3)
        axes.axhline(0, color="grey", linewidth=0.8)
        axes.legend()
    figure.tight_layout()
    os.makedirs(os.path.dirname(PICTURE), exist_ok=True)
    figure.savefig(PICTURE, dpi=100)


def main(argv):
    if "--no-build" not in argv:
        build()
    measured = measure()
    with open(TABLE, "w", encoding="utf-8") as out:
        out.write(table(measured["rows"]))
    plot(measured["sweep"])
    sys.stdout.write(table(measured["rows"]))
    print(f"wrote {os.path.relpath(TABLE, ROOT)} and {os.path.relpath(PICTURE, ROOT)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

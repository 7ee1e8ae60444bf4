#!/usr/bin/env bash
# Benchmarks build/windows/sound3d.exe under Wine against the minimal
# programs beside this script, both sides measured in the same run by the
# same launcher (bench/windows/launcher.cpp), and prints a report: medians, ratios and
# whether each ratio is within the 1.2x target.  A miss is reported, not an
# error; a failed build or a program that fails or hangs is (exit code 1).
#
# Usage: bench/run.sh
# Settings (environment):
#   BENCH_RUNS         runs of the launch and start measurements (default 7)
#   BENCH_CPU_RUNS     runs of the CPU measurement (default 3)
#   BENCH_CPU_SECONDS  seconds of playing per CPU run (default 10)
# Takes the Wine prefix of harness/wine_env.sh for about two minutes, and
# builds into build/windows (the program, its preset) and build/bench/windows
# (the rest, by the bench preset).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$ROOT/build/bench
BENCH=$OUT/windows
RUNS=${BENCH_RUNS:-7}
CPU_RUNS=${BENCH_CPU_RUNS:-3}
CPU_SECONDS=${BENCH_CPU_SECONDS:-10}
APP=$ROOT/build/windows/sound3d.exe
DIALOG=$BENCH/minimal_dialog.exe
PLAYER=$BENCH/minimal_player.exe
LAUNCHER=$BENCH/launcher.exe
STRIP=x86_64-w64-mingw32-strip

log() { printf 'bench: %s\n' "$*" >&2; }

for tool in cmake x86_64-w64-mingw32-g++ "$STRIP" python3 wine rsvg-convert; do
    command -v "$tool" >/dev/null || { log "missing command: $tool"; exit 1; }
done

mkdir -p "$OUT"
log "building sound3d.exe and the bench programs"
# Only the program's target of the windows preset, and the bench preset's
# Windows programs.
if ! (cd "$ROOT" && cmake --preset windows && cmake --build --preset windows --target sound3d &&
      cmake --preset bench && cmake --build --preset bench --target bench_windows) \
    >"$ROOT/build/bench-windows.log" 2>&1; then
    cat "$ROOT/build/bench-windows.log" >&2
    exit 1
fi

# Sizes as built, and without symbols and the debug sections the static
# runtime brings along (what remains is code, data and resources).
sizes=()
for exe in "$APP" "$DIALOG" "$PLAYER"; do
    "$STRIP" -o "$OUT/stripped.exe" "$exe"
    sizes+=("$(stat -c %s "$exe")" "$(stat -c %s "$OUT/stripped.exe")")
    rm -f "$OUT/stripped.exe"
done

# Wine maps the Linux root to drive Z:.
winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

samples=$OUT/samples.txt
: >"$samples"
# shellcheck source-path=SCRIPTDIR/.. source=harness/wine_env.sh
source "$ROOT/harness/wine_env.sh"
log "setting up Wine (waits while another run holds the prefix)"
e2e_setup || { log "Wine set-up failed"; exit 1; }
trap e2e_teardown EXIT
# The sound goes to the harness's capture file, unexamined.  The CPU phase
# takes over a minute in one launcher run.
export E2E_TIMEOUT=300

measure() {
    log "measuring: $1"
    e2e_wine "$LAUNCHER" "$@" | tr -d '\r' >>"$samples" ||
        { log "launcher failed in phase $1"; exit 1; }
}
measure launch "$RUNS" "$(winpath "$APP")" "DirectSound 3D" "$(winpath "$DIALOG")" minimal
measure play "$RUNS" "$(winpath "$APP")" "DirectSound 3D" "$(winpath "$PLAYER")" "minimal player"
measure cpu "$CPU_RUNS" "$CPU_SECONDS" "$(winpath "$APP")" "DirectSound 3D" \
    "$(winpath "$PLAYER")" "minimal player"
wine_version=$(wine --version 2>/dev/null || echo unknown)
e2e_teardown
trap - EXIT

python3 - "$samples" "$RUNS" "$CPU_RUNS" "$CPU_SECONDS" "$wine_version" "${sizes[@]}" <<'EOF'
import datetime
import statistics
import sys

path, runs, cpu_runs, cpu_seconds, wine = sys.argv[1:6]
app_size, app_stripped, dlg_size, dlg_stripped, ply_size, ply_stripped = map(int, sys.argv[6:12])
TARGET = 1.2

samples = {}
with open(path) as f:
    for line in f:
        parts = line.split()
        if len(parts) == 4 and parts[0] == "sample":
            samples.setdefault((parts[1], parts[2]), []).append(float(parts[3]))


def median(metric, who):
    values = samples.get((metric, who))
    if not values:
        sys.exit(f"bench: no samples of {metric} for {who}")
    return statistics.median(values), len(values)


def cpu_model():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return "unknown CPU"


rows = []


def row(name, app, base, base_name, unit, fmt="{:.1f}"):
    ratio = app / base if base else float("inf")
    rows.append((name, fmt.format(app) + unit, base_name, fmt.format(base) + unit,
                 f"{ratio:.2f}x", "yes" if ratio <= TARGET else "NO"))


def timed(name, metric, base_name, unit=" ms"):
    app, n = median(metric, "app")
    base, _ = median(metric, "base")
    row(f"{name} (median of {n})", app, base, base_name, unit)


MIB = 1024 * 1024
timed("Launch to dialog shown", "launch_ms", "minimal_dialog")
timed("Старт pressed to Стоп shown", "start_ms", "minimal_player")
cpu_app, n = median("cpu_ms", "app")
cpu_base, _ = median("cpu_ms", "base")
row(f"CPU time in {cpu_seconds} s of playing (median of {n})", cpu_app, cpu_base,
    "minimal_player", " ms", "{:.0f}")
for metric, label in (("peak_working_set", "Peak working set"),
                      ("peak_pagefile", "Peak pagefile usage")):
    app, n = median(metric, "app")
    base, _ = median(metric, "base")
    row(f"{label}, 1 s into playing (median of {n})", app / MIB, base / MIB,
        "minimal_player", " MiB")
row("Executable size, as built", app_size, dlg_size, "minimal_dialog", " B", "{:.0f}")
row("Executable size, as built", app_size, ply_size, "minimal_player", " B", "{:.0f}")
row("Executable size, stripped", app_stripped, dlg_stripped, "minimal_dialog", " B", "{:.0f}")
row("Executable size, stripped", app_stripped, ply_stripped, "minimal_player", " B", "{:.0f}")

date = datetime.date.today().isoformat()
print()
print(f"sound3d benchmark, {date}: bench/run.sh (BENCH_RUNS={runs}, BENCH_CPU_RUNS={cpu_runs},"
      f" BENCH_CPU_SECONDS={cpu_seconds})")
print(f"{wine}, {cpu_model()}; target: sound3d within {TARGET}x of the minimal program")
print()
header = ("Measure", "sound3d", "Minimal program", "Minimal", "Ratio", f"Within {TARGET}x")
print("| " + " | ".join(header) + " |")
print("|" + "|".join(["---"] * 3 + ["---:"] * 2 + [":---:"]) + "|")
for name, app, base_name, base, ratio, ok in rows:
    print(f"| {name} | {app} | {base_name} | {base} | {ratio} | {ok} |")
print()
print("Spread (min-max) of the timed samples, sound3d / minimal:")
for metric in ("launch_ms", "start_ms", "cpu_ms", "cpu_wall_ms"):
    a = samples.get((metric, "app"), [])
    b = samples.get((metric, "base"), [])
    if a and b:
        print(f"  {metric}: {min(a):.1f}-{max(a):.1f} / {min(b):.1f}-{max(b):.1f}")
threads = {who: samples.get(("cpu_threads", who), [-1]) for who in ("app", "base")}
if threads["app"][0] >= 0:
    print("  CPU time summed over each process's threads (Wine gives no process total"
          f" for another process): {threads['app'][0]:.0f} / {threads['base'][0]:.0f} threads")
for metric in ("peak_working_set_cpu", "peak_pagefile_cpu"):
    a = samples.get((metric, "app"), [])
    b = samples.get((metric, "base"), [])
    if a and b:
        print(f"  {metric} (MiB, after {cpu_seconds} s of playing):"
              f" {statistics.median(a) / MIB:.1f} / {statistics.median(b) / MIB:.1f}")
EOF

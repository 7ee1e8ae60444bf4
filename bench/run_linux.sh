#!/usr/bin/env bash
# Benchmarks the native Linux sound3d against the minimal programs in
# bench/linux/ (a plain Qt dialog with the same controls, and a plain OpenAL
# Soft + SDL2 player behind a one-button dialog), all measured the same way in
# the same run on a private Xvfb, and prints one markdown table of medians and
# ratios (target: within 1.1x; a stop within 50 ms).  sound3d and the minimal
# player also play to a private PulseAudio (harness/sound_server.sh),
# recorded at its sink's monitor.  If Wine and MinGW-w64 are there, it runs bench/run.sh too
# and shows sound3d.exe's figures beside, without a target.  Installs what it
# needs with apt-get, as root.  A miss is reported, not an error; a failed
# build, a server that does not start or a program that fails or hangs is
# (exit code 1).  bench/linux/bench.py says how each figure is taken.
#
# Usage: bench/run_linux.sh
# Settings (environment):
#   BENCH_RUNS         runs of the launch and start measurements, and of the
#                      start and stop at each delay on the server (default 9)
#   BENCH_CPU_RUNS     runs of the CPU measurement per algorithm (default 3)
#   BENCH_CPU_SECONDS  seconds of playing per CPU run (default 10)
#   BENCH_WINE=0       skip the Wine figures
#   BENCH_PROGRAM      an already built sound3d to measure instead
# The bench preset builds sound3d, the minimal programs and the measuring
# tools into build/bench.
# A default run takes about five minutes on two cores, one of them under Wine,
# plus 90 s on the sound server.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$ROOT/build/bench
RUNS=${BENCH_RUNS:-9}
CPU_RUNS=${BENCH_CPU_RUNS:-3}
CPU_SECONDS=${BENCH_CPU_SECONDS:-10}
SRC=$ROOT/bench/linux

log() { printf 'bench: %s\n' "$*" >&2; }

# shellcheck source=tools/deps.sh
source "$ROOT/tools/deps.sh"
install_missing cmake make g++ python3 "${LINUX_PACKAGES[@]}" "${ICON_PACKAGES[@]}" \
    "${BENCH_PACKAGES[@]}"
log "building sound3d and the bench programs in $OUT"
if ! (cd "$ROOT" && cmake --workflow --preset bench) >"$ROOT/build/bench.log" 2>&1; then
    cat "$ROOT/build/bench.log" >&2
    exit 1
fi
APP=${BENCH_PROGRAM:-$OUT/sound3d}
[[ -x $APP ]] || { log "no program at $APP"; exit 1; }

wine_table=()
wine_status=0
if [[ ${BENCH_WINE:-1} != 0 ]] && command -v wine >/dev/null &&
   command -v x86_64-w64-mingw32-g++ >/dev/null; then
    log "sound3d.exe under Wine: bench/run.sh"
    if BENCH_RUNS=$RUNS BENCH_CPU_RUNS=1 BENCH_CPU_SECONDS=$CPU_SECONDS \
        timeout 600 "$ROOT/bench/run.sh" >"$OUT/wine.txt" 2>"$OUT/wine.log"; then
        wine_table=(--wine-table "$OUT/wine.txt")
    else
        log "bench/run.sh failed; see $OUT/wine.log"
        wine_status=1
    fi
else
    log "no Wine or MinGW-w64 (or BENCH_WINE=0): no sound3d.exe figures"
fi

timeout 1200 "$ROOT/harness/sound_server.sh" pulseaudio \
    python3 "$SRC/bench.py" --app "$APP" --dialog "$OUT/minimal_dialog" \
    --player "$OUT/minimal_player" --watch "$OUT/launch_watch" \
    --driver "$OUT/libbench_driver.so" --trace "$OUT/libstart_trace.so" --runs "$RUNS" \
    --cpu-runs "$CPU_RUNS" --cpu-seconds "$CPU_SECONDS" "${wine_table[@]}"
exit "$wine_status"

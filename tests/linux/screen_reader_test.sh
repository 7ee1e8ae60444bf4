#!/usr/bin/env bash
# The program as a screen reader meets it: started on a private X server and
# a private session bus with the accessibility bus, its dialog read over
# AT-SPI by screen_reader_test.py. Usage: screen_reader_test.sh PROGRAM
set -euo pipefail
program=$(realpath "${1:?usage: $0 PROGRAM}")
work=$(mktemp -d /tmp/sound3d-a11y.XXXXXX)
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display") XDG_RUNTIME_DIR=$work HOME=$work
export PROGRAM=$program CHECK=$(dirname "$0")/screen_reader_test.py
dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    launcher=$!
    SDL_AUDIODRIVER=dummy QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$PROGRAM" 2>/dev/null &
    program=$!
    /usr/bin/python3 "$CHECK"  # the interpreter of Debian, which has pyatspi
    status=$?
    kill $program $launcher
    exit $status' 2>&1 | sed -e '/dbus-daemon/d' -e '/SpiRegistry/d' -e '/X connection/d'

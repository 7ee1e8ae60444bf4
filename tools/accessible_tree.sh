#!/usr/bin/env bash
# Starts the built Linux program on a private X server and a private session
# bus with the accessibility bus, and prints its dialog as a screen reader
# gets it (tools/accessible_tree.py). Usage: tools/accessible_tree.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
install_missing at-spi2-core python3-pyatspi xvfb
work=$(mktemp -d /tmp/sound3d-a11y.XXXXXX)
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display") XDG_RUNTIME_DIR=$work HOME=$work
dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    launcher=$!
    sleep 1
    SDL_AUDIODRIVER=dummy QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 build/linux/sound3d 2>/dev/null &
    program=$!
    sleep 2
    /usr/bin/python3 tools/accessible_tree.py  # the interpreter of Debian, which has pyatspi
    kill $program $launcher'

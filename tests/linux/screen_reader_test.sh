#!/usr/bin/env bash
# The program as a screen reader meets it: started on a private X server, or
# a private headless sway, and a private session bus with the accessibility
# bus, its dialog read over AT-SPI by screen_reader_test.py. On Wayland it
# also plays through the private PulseAudio sound_server.sh started, worked
# by keys, and must end with 0 after its sound reached the sink.
# Usage: screen_reader_test.sh x11 PROGRAM
#        harness/sound_server.sh pulseaudio screen_reader_test.sh wayland PROGRAM
set -euo pipefail
platform=${1:?usage: $0 x11|wayland PROGRAM}
program=$(realpath "${2:?usage: $0 x11|wayland PROGRAM}")
work=$(mktemp -d /tmp/sound3d-a11y.XXXXXX)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "screen reader test: $*" >&2; exit 1; }
if [ "$platform" = x11 ]; then
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=:$(head -n 1 "$work/display") SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb
else
    # sway refuses to run as root: it runs as nobody, in a runtime directory
    # nobody owns; the program and the tools reach it by the sockets' paths.
    compositor=$work/sway
    mkdir -m 700 "$compositor" && chown 65534:65534 "$compositor" && chmod 711 "$work"
    setpriv --reuid=65534 --regid=65534 --clear-groups env -i XDG_RUNTIME_DIR="$compositor" \
        WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c /dev/null &>"$work/sway.log" &
    pids+=($!)
    # Its IPC socket comes last, after the Wayland one.
    for _ in $(seq 100); do compgen -G "$compositor/sway-ipc.*" >/dev/null && break; sleep 0.1; done
    compgen -G "$compositor/sway-ipc.*" >/dev/null || { cat "$work/sway.log"; fail "sway did not start"; }
    export WAYLAND_DISPLAY=$(echo "$compositor"/wayland-?) SWAYSOCK=$(echo "$compositor"/sway-ipc.*)
    export QT_QPA_PLATFORM=wayland SDL_AUDIODRIVER=pulseaudio
    export APP_ID=$(basename "$(dirname "$0")"/../../packaging/*.desktop .desktop)
    # A keyboard on the seat all along, as on a desktop: when the last one
    # leaves (a wtype that has sent its keys) Qt deactivates the window.
    wtype -s 600000 </dev/null &>/dev/null &
    pids+=($!)
    # What the default sink plays, recorded throughout (its monitor's first
    # data come about two seconds after it opens).
    parec -d "$(pactl get-default-sink).monitor" --raw --format=s16le --channels=1 >"$work/played" &
    pids+=($!)
fi
export XDG_RUNTIME_DIR=$work HOME=$work PROGRAM=$program CHECK=$(dirname "$0")/screen_reader_test.py
dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    launcher=$!
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$PROGRAM" 2>/dev/null &
    program=$!
    /usr/bin/python3 "$CHECK" || { kill $program $launcher 2>/dev/null; exit 1; }  # Debian (pyatspi)
    if [ "$QT_QPA_PLATFORM" = xcb ]; then kill $program; wait $program; else
        # The check ended the program by Escape: it ends by itself, with 0.
        timeout 5 tail --pid=$program -f /dev/null || kill $program
        wait $program || { echo "screen reader test: the program ended with $?"; exit 1; }
    fi
    kill $launcher' 2>&1 | sed -e '/dbus-daemon/d' -e '/SpiRegistry/d' -e '/X connection/d'
[ "$platform" = x11 ] && exit 0
peak=$(od -An -v -td2 -w2 "$work/played" | awk '{ v = $1 < 0 ? -$1 : $1; if (v > p) p = v } END { print p + 0 }')
[ "$peak" -gt 300 ] || fail "no sound reached the sink (peak $peak of 32767)"
echo "wayland: the sink played (peak $peak of 32767)"

#!/usr/bin/env bash
# Runs a command against a private sound server with null sinks, then stops
# the server and removes everything it made:
#
#   tests/linux/sound_server.sh pulseaudio|pipewire COMMAND [ARGS...]
#
# The server lives in a temporary directory of its own (its runtime, state
# and configuration; PipeWire also gets a private session bus) and loads no
# hardware, so the machine's own sound set-up is left alone. Its sinks, all
# at 48 kHz float, by name and description: stereo "Stereo", quad "Quad"
# (front and rear pairs), surround51 "Surround51" (5.1) and cyrillic
# "Колонки" (stereo), stereo the default. The command gets PULSE_SERVER, SOUND_SERVER_NAME (as the server
# names itself) and SOUND_SERVER_PIDS (what to stop to stall it). Exits with
# the command's status, or 1 when the server does not start.
set -euo pipefail

kind=${1:?"usage: $0 pulseaudio|pipewire COMMAND [ARGS...]"}
shift
dir=$(mktemp -d /tmp/sound3d-server.XXXXXX)
chmod 700 "$dir"
pids=()
server_pids=()  # the sound server's own processes, not its session bus

stop_server() {
    local pid
    for pid in "${pids[@]}"; do
        kill -CONT "$pid" 2>/dev/null || true
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        timeout 5 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -KILL "$pid" 2>/dev/null || true
    done
    rm -rf "$dir"
}
trap stop_server EXIT

fail() {
    echo "sound server: $*" >&2
    tail -n 20 "$dir"/*.log >&2 2>/dev/null || true
    exit 1
}

# The server's own files stay in its directory.
server_env=(HOME="$dir" XDG_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir/config"
            XDG_STATE_HOME="$dir/state" PULSE_RUNTIME_PATH="$dir/pulse")
start() { # log-name command...
    local log=$1
    shift
    env "${server_env[@]}" "$@" >"$dir/$log.log" 2>&1 &
    pids+=($!)
    [[ $log == dbus ]] || server_pids+=($!)
}

wait_for() { # path what
    local i
    for i in $(seq 100); do
        [[ -S $1 ]] && return 0
        sleep 0.1
    done
    fail "$2 did not start"
}

SINKS=(
    "stereo Stereo 2 front-left,front-right"
    "quad Quad 4 front-left,front-right,rear-left,rear-right"
    "surround51 Surround51 6 front-left,front-right,front-center,lfe,rear-left,rear-right"
    "cyrillic Колонки 2 front-left,front-right"
)
sink_arguments() { # name description channels map
    echo "sink_name=$1 channels=$3 channel_map=$4 rate=48000 format=float32le" \
         "sink_properties=device.description=$2"
}

case $kind in
pulseaudio)
    command -v pulseaudio >/dev/null || fail "pulseaudio is not installed"
    {
        echo "load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native"
        for sink in "${SINKS[@]}"; do
            # shellcheck disable=SC2086
            echo "load-module module-null-sink $(sink_arguments $sink)"
        done
        echo "set-default-sink stereo"
    } >"$dir/server.pa"
    start pulseaudio pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --realtime=no --high-priority=no -F "$dir/server.pa"
    wait_for "$dir/native" "PulseAudio"
    export PULSE_SERVER="unix:$dir/native"
    ;;
pipewire)
    command -v pipewire >/dev/null || fail "pipewire is not installed"
    # No hardware: only the null sinks below.
    mkdir -p "$dir/config/wireplumber/main.lua.d" "$dir/config/wireplumber/bluetooth.lua.d"
    printf 'alsa_monitor.enabled = false\nv4l2_monitor.enabled = false\n' \
        >"$dir/config/wireplumber/main.lua.d/90-private.lua"
    echo 'bluez_monitor.enabled = false' >"$dir/config/wireplumber/bluetooth.lua.d/90-private.lua"
    start dbus dbus-daemon --session --nofork --address="unix:path=$dir/bus"
    wait_for "$dir/bus" "the session bus"
    server_env+=(DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/bus")
    start pipewire pipewire
    wait_for "$dir/pipewire-0" "PipeWire"
    start wireplumber wireplumber
    start pipewire-pulse pipewire-pulse
    wait_for "$dir/pulse/native" "pipewire-pulse"
    export PULSE_SERVER="unix:$dir/pulse/native"
    for sink in "${SINKS[@]}"; do
        # shellcheck disable=SC2086,SC2046
        pactl load-module module-null-sink $(sink_arguments $sink) >/dev/null ||
            fail "pipewire-pulse refused a null sink"
    done
    pactl set-default-sink stereo
    ;;
*)
    fail "unknown server '$kind'"
    ;;
esac

# A client's cookie stays here too, not in the caller's home.
export PULSE_COOKIE="$dir/cookie"
for i in $(seq 50); do
    [[ $(pactl list short sinks 2>/dev/null | wc -l) -ge ${#SINKS[@]} ]] && break
    sleep 0.1
done
[[ $(pactl list short sinks | wc -l) -ge ${#SINKS[@]} ]] || fail "the sinks did not appear"
SOUND_SERVER_NAME="$(pactl info | sed -n 's/^Server Name: //p') $(pactl info | sed -n 's/^Server Version: //p')"
export SOUND_SERVER_NAME
export SOUND_SERVER_PIDS="${server_pids[*]}"
SOUND_SERVER_SINKS=$(printf '%s\n' "${SINKS[@]}")
export SOUND_SERVER_SINKS
echo "sound server: $SOUND_SERVER_NAME, private in $dir"
set +e
"$@"
status=$?
exit $status

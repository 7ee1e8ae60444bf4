#!/usr/bin/env bash
# Runs a command against a private sound server with null sinks, then stops
# the server and removes everything it made:
#
#   harness/sound_server.sh pulseaudio|pipewire COMMAND [ARGS...]
#
# The server lives in a temporary directory of its own (its runtime, state
# and configuration; PipeWire also gets a private session bus) and loads no
# hardware, so the machine's own sound set-up is left alone. Its sinks, all
# at 48 kHz float, by name and description: stereo "Stereo", quad "Quad"
# (front and rear pairs), surround51 "Surround51" (5.1) and cyrillic
# "Колонки" (stereo), stereo the default. The command gets PULSE_SERVER,
# SOUND_SERVER_NAME (as the server names itself), SOUND_SERVER_PIDS (what to
# stop to stall it) and SOUND_SERVER_SINKS (a line a sink: name, description,
# channels, channel map). Exits with the command's status, or 1 when the
# server does not start.
set -euo pipefail

kind=${1:?"usage: $0 pulseaudio|pipewire COMMAND [ARGS...]"}
shift
dir=$(mktemp -d /tmp/sound3d-server.XXXXXX)
pids=()
server_pids=()  # the sound server's own processes, not its session bus
trap 'kill -CONT "${pids[@]}" 2>/dev/null; kill "${pids[@]}" 2>/dev/null; wait; rm -rf "$dir"' EXIT

fail() {
    echo "sound server: $*" >&2
    tail -n 20 "$dir"/*.log >&2 2>/dev/null || true
    exit 1
}

# The server's own files stay in its directory.
server_env=(HOME="$dir" XDG_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir/config"
            XDG_STATE_HOME="$dir/state" PULSE_RUNTIME_PATH="$dir/pulse")
start() { # log-name socket-it-makes command...
    local log=$1 socket=$2
    shift 2
    env "${server_env[@]}" "$@" >"$dir/$log.log" 2>&1 &
    pids+=($!)
    [[ $log == dbus ]] || server_pids+=($!)
    for _ in $(seq 100); do
        [[ -z $socket || -S $socket ]] && return 0
        sleep 0.1
    done
    fail "$log did not start"
}

SINKS=(
    "stereo Stereo 2 front-left,front-right"
    "quad Quad 4 front-left,front-right,rear-left,rear-right"
    "surround51 Surround51 6 front-left,front-right,front-center,lfe,rear-left,rear-right"
    "cyrillic Колонки 2 front-left,front-right"
)
null_sinks() { # the module's arguments, a line a sink
    local name description channels map
    for sink in "${SINKS[@]}"; do
        read -r name description channels map <<<"$sink"
        echo "sink_name=$name channels=$channels channel_map=$map rate=48000 format=float32le" \
             "sink_properties=device.description=$description"
    done
}

case $kind in
pulseaudio)
    { echo "load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native"
      null_sinks | sed 's/^/load-module module-null-sink /'
      echo "set-default-sink stereo"; } >"$dir/server.pa"
    start pulseaudio "$dir/native" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
        --use-pid-file=no --realtime=no --high-priority=no -F "$dir/server.pa"
    export PULSE_SERVER="unix:$dir/native"
    ;;
pipewire)
    # No hardware: only the null sinks below. WirePlumber reads these between
    # its monitors' definitions and its 90-enable-all.lua; without Bluetooth
    # it needs no logind either, which a machine without systemd lacks.
    mkdir -p "$dir/config/wireplumber/main.lua.d" "$dir/config/wireplumber/bluetooth.lua.d"
    printf 'alsa_monitor.enabled = false\nv4l2_monitor.enabled = false\nlibcamera_monitor.enabled = false\n' \
        >"$dir/config/wireplumber/main.lua.d/80-private.lua"
    echo 'bluez_monitor.enabled = false' >"$dir/config/wireplumber/bluetooth.lua.d/80-private.lua"
    start dbus "$dir/bus" dbus-daemon --session --nofork --address="unix:path=$dir/bus"
    server_env+=(DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/bus")
    start pipewire "$dir/pipewire-0" pipewire
    start wireplumber "" wireplumber
    start pipewire-pulse "$dir/pulse/native" pipewire-pulse
    export PULSE_SERVER="unix:$dir/pulse/native"
    while read -r arguments; do
        # shellcheck disable=SC2086
        pactl load-module module-null-sink $arguments >/dev/null || fail "a null sink was refused"
    done < <(null_sinks)
    pactl set-default-sink stereo
    ;;
*)
    fail "unknown server '$kind'"
    ;;
esac

# A client's cookie stays here too, not in the caller's home.
export PULSE_COOKIE="$dir/cookie"
for _ in $(seq 50); do
    [[ $(pactl list short sinks 2>/dev/null | wc -l) -ge ${#SINKS[@]} ]] && break
    sleep 0.1
done
[[ $(pactl list short sinks | wc -l) -ge ${#SINKS[@]} ]] || fail "the sinks did not appear"
SOUND_SERVER_NAME=$(pactl info | sed -n 's/^Server Name: //p; s/^Server Version: //p' | paste -sd ' ')
SOUND_SERVER_PIDS="${server_pids[*]}"
SOUND_SERVER_SINKS=$(printf '%s\n' "${SINKS[@]}")
export SOUND_SERVER_NAME SOUND_SERVER_PIDS SOUND_SERVER_SINKS
echo "sound server: $SOUND_SERVER_NAME, private in $dir"
set +e
"$@"

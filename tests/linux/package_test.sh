#!/usr/bin/env bash
# The Debian package as a user meets it: made by CPack as the package preset does,
# checked by lintian and the desktop validators, unpacked to a directory of
# its own and run from there on a private X server under openbox (with its
# window icon) and on the sound server sound_server.sh started. "Частичная"
# must play with the packaged light HRTF set, and fail with one line naming
# it once it is gone; afterwards no process the program started is alive and
# it made no file but libpulse's cookie.
#
#   harness/sound_server.sh pulseaudio tests/linux/package_test.sh BUILD_DIR
#
# BUILD_DIR is a built linux preset's directory; the package is made there.
set -euo pipefail
build=$(realpath "${1:?usage: $0 BUILD_DIR}")
cd "$(dirname "$0")/../.."
work=$(mktemp -d /tmp/sound3d-package.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package test: $*" >&2; exit 1; }

(cd "$build" && cpack) >"$work/package.log" 2>&1 || { cat "$work/package.log"; fail "no package"; }
deb=$build/sound3d_$(sed -n 's/^project(sound3d VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)_amd64.deb
dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sort >"$work/files"
diff -u - "$work/files" <<'LIST' || fail "the package's files differ"
./usr/bin/sound3d
./usr/share/applications/local.sound3d.Sound3D.desktop
./usr/share/doc/sound3d/changelog.gz
./usr/share/doc/sound3d/copyright
./usr/share/icons/hicolor/128x128/apps/sound3d.png
./usr/share/icons/hicolor/16x16/apps/sound3d.png
./usr/share/icons/hicolor/24x24/apps/sound3d.png
./usr/share/icons/hicolor/256x256/apps/sound3d.png
./usr/share/icons/hicolor/32x32/apps/sound3d.png
./usr/share/icons/hicolor/48x48/apps/sound3d.png
./usr/share/icons/hicolor/64x64/apps/sound3d.png
./usr/share/icons/hicolor/scalable/apps/sound3d.svg
./usr/share/man/man1/sound3d.1.gz
./usr/share/metainfo/local.sound3d.Sound3D.metainfo.xml
./usr/share/sound3d/hrtf/sound3d-light.mhr
LIST
dpkg-deb -f "$deb" Depends | grep -q 'libopenal-data' || fail "no dependency on the full HRTF set"
lintian -I --fail-on error "$deb" 2>/dev/null | tee "$work/lintian"
! grep hardening "$work/lintian" || fail "lintian finds the program not hardened"
root=$work/root
dpkg-deb -x "$deb" "$root"
# Hardened as Debian's own programs: position-independent, relocations made
# read-only after loading them all at start, the stack protector, fortified
# calls and control-flow protection (an end-branch mark at each function).
bin=$root/usr/bin/sound3d
traits="$(readelf -dW "$bin" | grep -oE 'BIND_NOW|PIE' | sort -u | tr '\n' ' ')"
traits+="$(readelf -lW "$bin" | grep -o GNU_RELRO) "
traits+="$(readelf --dyn-syms -W "$bin" | grep -oE '__(stack|fprintf)_chk' | sort -u | tr '\n' ' ')"
[ "$(objdump -d "$bin" | grep -c endbr64)" -gt 100 ] && traits+=endbr64
[ "$traits" = "BIND_NOW PIE GNU_RELRO __fprintf_chk __stack_chk endbr64" ] ||
    fail "the program is not hardened: $traits"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml >/dev/null

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")
HOME=$work openbox --sm-disable &>"$work/openbox.log" &
pids+=($!)
sleep 1

# The installed program as a user runs it on a desktop without a session bus,
# with a new home and runtime directory, in a PID and mount namespace of its
# own: whatever it starts stays there and is counted once it has ended, and
# its /dev/shm is a directory of the test's.
light=$root/usr/share/sound3d/hrtf/sound3d-light.mhr
mkdir -m 700 "$work/home" "$work/runtime" "$work/shm"
env -u DBUS_SESSION_BUS_ADDRESS -u PULSE_COOKIE -u XDG_CONFIG_HOME -u XDG_CACHE_HOME \
    -u XDG_DATA_HOME HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" ALSOFT_LOGLEVEL=3 \
    ALSOFT_LOGFILE="$work/openal.log" unshare --pid --fork --mount-proc sh -c '
        mount --bind "$1" /dev/shm && "$2" 2>"$3"
        status=$?
        sleep 0.5
        ps -eo comm= >"$4"
        exit $status' sh "$work/shm" "$root/usr/bin/sound3d" "$work/errors" "$work/left" &
program=$!
pids+=($program)
window=$(timeout 20 xdotool search --sync --name '^DirectSound 3D$' | head -n 1)
[ "$(xprop -id "$window" _NET_WM_ICON | grep -c 'Icon (')" -ge 3 ] || fail "no window icon"

# The focus starts on the virtualization list (window_dialog_test holds that):
# "Частичная" is the item above "Полная"; the button is two tab stops further.
xdotool key Up Tab Tab space
# A second of what the default sink plays (its monitor's first data come
# about two seconds after it opens), mono, 16-bit: not silence.
timeout 10 parec -d "$(pactl get-default-sink).monitor" --raw --format=s16le --channels=1 |
    head -c 88200 >"$work/played" || true
peak=$(od -An -v -td2 -w2 "$work/played" | awk '{ v = $1 < 0 ? -$1 : $1; if (v > p) p = v } END { print p + 0 }')
[ "$peak" -gt 300 ] || fail "no sound reached the sink (peak $peak of 32767)"
xdotool key space
rm "$light"
xdotool key space
timeout 10 xdotool search --sync --name '^Ошибка$' >/dev/null || fail "no error box"
xdotool key Return
sleep 0.5
xdotool key Escape
wait "$program" || fail "the program exited with $?"
# OpenAL Soft's log is complete once the program has ended.
grep -q "Loading $light" "$work/openal.log" || fail "the light set was not loaded from $light"
[ "$(grep '^sound3d:' "$work/errors")" = "sound3d: the light HRTF data set is missing: $light" ] ||
    fail "standard error was: $(cat "$work/errors")"
left=$(grep -vx -e sh -e ps -e sleep "$work/left" || true)
[ -z "$left" ] || fail "left running: $left"
made=$(cd "$work" && find home runtime shm -mindepth 1 | sort | tr '\n' ' ')
[ "$made" = "home/.config home/.config/pulse home/.config/pulse/cookie " ] ||
    fail "made more than libpulse's cookie: $made"
echo "package: sound3d_*.deb built, lintian clean, installed copy plays the light set (peak $peak), leaves nothing"

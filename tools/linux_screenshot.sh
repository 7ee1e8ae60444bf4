#!/usr/bin/env bash
# Takes a picture of the native Linux dialog while a sound plays:
# build/linux/sound3d on a virtual X server with a small window manager (so
# the caption and frame are drawn), started and moved with the keyboard as a
# person would, then captured with its frame into docs/sound3d-linux.png.
#
#   cmake --workflow --preset linux && tools/linux_screenshot.sh
#
# SDL's dummy output plays the sound at real-time pace, so no sound device is
# needed.  Every wait is bounded; exits non-zero when a step fails.
set -euo pipefail
cd "$(dirname "$0")/.."
program=build/linux/sound3d
picture=docs/sound3d-linux.png
source tools/deps.sh
install_missing "${SCREENSHOT_PACKAGES[@]}"

[[ -x $program ]] || { echo "$program is missing: cmake --workflow --preset linux" >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# -displayfd lets Xvfb pick a free display itself.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")

HOME=$work openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
pids+=($!)

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^DirectSound 3D$' | head -n1)
[[ -n $window ]] || { echo "the dialog did not appear" >&2; cat "$work/program.log" >&2; exit 1; }
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 0.5

press() { xdotool key --window "$window" --delay 5 "$@"; }
# shellcheck source=tools/dialog_pose.sh
source tools/dialog_pose.sh
pose_dialog
sleep 1

import -window "$window" -frame "$work/shot.png"
mkdir -p docs
# Stripped of dates, so that an unchanged picture gives the same file.
convert "$work/shot.png" -strip "$picture"
echo "screenshot: $picture"

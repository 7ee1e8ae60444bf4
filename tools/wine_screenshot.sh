#!/usr/bin/env bash
# Takes a picture of the Windows dialog while a sound plays: sound3d.exe under
# Wine in a Wine virtual desktop on a virtual X server (Wine draws the caption
# and frame there), started and moved with the keyboard as a person would,
# then cut out of the desktop into docs/sound3d.png.
#
#   cmake --workflow --preset windows && tools/wine_screenshot.sh
#
# The sound goes to a capture file (harness/wine_env.sh), so no sound device
# is needed.  Every wait is bounded; exits non-zero when a step fails.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$PWD/build/windows/sound3d.exe
picture=docs/sound3d.png
source tools/deps.sh
install_missing "${E2E_PACKAGES[@]}" xdotool
ensure_russian_locale

[[ -f $program ]] || { echo "$program is missing: cmake --workflow --preset windows" >&2; exit 2; }
# shellcheck source=harness/wine_env.sh
source harness/wine_env.sh
e2e_setup || exit 1
trap e2e_teardown EXIT

e2e_wine explorer /desktop=sound3d,640x480 "Z:${program//\//\\}" >"$E2E_TMP/program.log" 2>&1 &
desktop=$(timeout 20 xdotool search --sync --onlyvisible --name '^sound3d - ' | head -n1)
[[ -n $desktop ]] || { echo "the Wine desktop did not appear" >&2; exit 1; }
# The dialog is all that differs from the desktop's plain background.
shot() { import -window "$desktop" "$E2E_TMP/desktop.png" && convert "$E2E_TMP/desktop.png" -trim "$@" 2>/dev/null; }
appeared() { [[ $(shot -format '%w' info:) -gt 1 ]]; }
for _ in $(seq 100); do appeared && break; sleep 0.2; done
appeared || { echo "the dialog did not appear" >&2; cat "$E2E_TMP/program.log" >&2; exit 1; }
# Wine starts the dialog as its active window but draws the caption inactive
# while the desktop has no X focus: a click beside it and one on its caption
# activate it again, as a person would.
read -r x y <<<"$(shot -format '%X %Y' info: | tr -d +)"
xdotool windowfocus --sync "$desktop" mousemove --window "$desktop" 5 5 click 1 sleep 0.3 \
    mousemove --window "$desktop" $((x + 60)) $((y + 8)) click 1 sleep 0.3

press() { xdotool key --delay 5 "$@"; }
# shellcheck source=tools/dialog_pose.sh
source tools/dialog_pose.sh
pose_dialog
# Wine works through the keys after xdotool has sent them: the picture is
# taken once it stops changing.
settled() {
    sleep 0.5
    shot -strip "$E2E_TMP/now.png"
    cmp -s "$E2E_TMP/now.png" "$E2E_TMP/before.png" || { mv "$E2E_TMP/now.png" "$E2E_TMP/before.png"; false; }
}
for _ in $(seq 60); do settled && break; done
settled || { echo "the dialog kept changing" >&2; exit 1; }

mkdir -p docs
# Stripped of dates, so that an unchanged picture gives the same file.
shot +repage -strip "$picture"
echo "screenshot: $picture"

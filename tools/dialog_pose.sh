# shellcheck shell=bash
# The keys that give both screenshots the same playing dialog, as a person
# would work it: from the first focus (the virtualization list) two tab stops
# to the button, which starts the sound, then the X, Y and Z trackbars in turn
# to 0.75, 0.50 and -1.25.  The caller defines press: xdotool key, aimed.
pose_dialog() {
    press Tab Tab space
    sleep 1
    press Tab
    press --repeat 750 --delay 0 Right
    press Tab
    press --repeat 500 --delay 0 Up
    press Tab
    press --repeat 1250 --delay 0 Down
}

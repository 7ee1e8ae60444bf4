#!/usr/bin/env python3
"""Reads the lists, button and trackbars of a running sound3d over AT-SPI as
a screen reader gets them and holds them against the lines they must read;
then sets the Y trackbar twice as a screen reader does and expects it to read
back the value set and each new readout to be announced once, and no other."""
import json
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

# Each list is named by its label and described by its current item, one of
# its own (which one is the dialog's own tests' to hold).
EXPECTED = """\
combo box 'Виртуализация', described by an item
combo box 'Устройство', described by an item
push button 'Старт'
slider 'X' (-2.00 to 2.00, step 0.01)
slider 'Y' (-2.00 to 2.00, step 0.01)
slider 'Z' (-2.00 to 2.00, step 0.01)
combo box 'Излучатели', described by an item
combo box 'Угол', described by an item
"""

# On Wayland (sway): the dialog worked by keys as wtype sends them, each step
# with what it then reads: the control with the focus, the button, the X
# readout. Escape is refused while the sound plays (the next step would find
# no dialog); once idle it ends the program.
KEY_STEPS = [
    ("", "['Виртуализация'] focused, button 'Старт', 'X= 00.00'"),
    ("-k Tab -k Tab", "['Старт'] focused, button 'Старт', 'X= 00.00'"),
    ("-k Return", "['Стоп'] focused, button 'Стоп', 'X= 00.00'"),
    ("-k Tab -k Right", "['X'] focused, button 'Стоп', 'X= 00.01'"),
    ("-k End", "['X'] focused, button 'Стоп', 'X= 02.00'"),
    ("-k Escape -s 1500", "['X'] focused, button 'Стоп', 'X= 02.00'"),
    ("-M shift -k Tab -m shift -k Return", "['Старт'] focused, button 'Старт', 'X= 02.00'"),
]


def wait_for(what, read, expected):
    for _ in range(50):  # a start may wait 2.5 s for its device
        if read() == expected:
            print("wayland: %s: %s" % (what, expected))
            return
        time.sleep(0.1)
    sys.exit("screen reader test: %s: %s" % (what, read()))


def sway_windows(node):
    if node.get("pid"):
        size = node["geometry"]  # what the client gives as its window, without sway's frame
        yield "%s %r %dx%d" % (node["app_id"], node["name"], size["width"], size["height"])
    for child in node["nodes"] + node["floating_nodes"]:
        yield from sway_windows(child)


def work_on_wayland(dialog):
    # The desktop entry's app id, the template's caption, the size on X (window_dialog_test's).
    tree = lambda: json.loads(subprocess.run(["swaymsg", "-t", "get_tree"], capture_output=True).stdout)
    wait_for("sway shows", lambda: list(sway_windows(tree())),
             ["%s 'DirectSound 3D' 354x310" % os.environ["APP_ID"]])
    nodes = list(dialog)
    button = next(node for node in nodes if node.getRoleName() == "push button")
    readout = next(node for node in nodes if node.name.startswith("X="))

    def reads():
        for node in nodes:
            node.clear_cache()  # kept up to date only while an event loop runs
        focused = [node.name for node in nodes if node.getState().contains(pyatspi.STATE_FOCUSED)]
        return "%s focused, button %r, %r" % (focused, button.name, readout.name)

    for keys, expected in KEY_STEPS:
        if keys:  # keys sent right after wtype connects can be lost
            subprocess.run(["wtype", "-s", "300"] + keys.split(), check=True)
        wait_for(keys or "at first", reads, expected)
    subprocess.run(["wtype", "-s", "300", "-k", "Escape"], check=True)


def describe(node):
    line = "%s %r" % (node.getRoleName(), node.name)
    if node.getRoleName() == "slider":
        value = node.queryValue()
        line += " (%.2f to %.2f, step %.2f)" % (
            value.minimumValue, value.maximumValue, value.minimumIncrement)
    if node.getRoleName() == "combo box":
        items = [item.name for child in node if child.getRoleName() == "list" for item in child]
        line += ", described by an item" if node.description in items else ", %r" % node.description
    return line


def main():
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(100):
        apps = [app for app in desktop if app is not None and app.name == "sound3d"]
        if apps:
            break
        time.sleep(0.1)
    else:
        sys.exit("screen reader test: sound3d is not on the accessibility bus")
    nodes = [node for node in apps[0][0]  # the dialog's own children
             if node.getRoleName() in ("combo box", "slider", "push button")]
    read = "".join(describe(node) + "\n" for node in nodes)
    if read != EXPECTED:
        sys.exit("screen reader test: the dialog reads\n" + read)
    announced, read_back = [], []
    pyatspi.Registry.registerEventListener(
        lambda event: announced.append(event.source.name), "object:property-change:accessible-name")
    y = next(node for node in nodes if node.getRoleName() == "slider" and node.name == "Y").queryValue()

    def set_y(value):
        y.currentValue = value
        read_back.append(round(y.currentValue, 2))

    GLib.timeout_add(300, lambda: set_y(1.5))
    GLib.timeout_add(600, lambda: set_y(-0.5))
    GLib.timeout_add(2000, lambda: pyatspi.Registry.stop() and False)
    pyatspi.Registry.start()
    if read_back != [1.5, -0.5] or announced != ["Y= 01.50", "Y=-00.50"]:
        sys.exit("screen reader test: read back %r, announced %r" % (read_back, announced))
    print("screen reader: the dialog reads as it must, each new readout announced once")
    if "WAYLAND_DISPLAY" in os.environ:
        work_on_wayland(apps[0][0])


if __name__ == "__main__":
    main()

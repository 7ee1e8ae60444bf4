#!/usr/bin/env python3
"""Reads the dialog of a running sound3d over AT-SPI, one line a control as
a screen reader gets it, holds it against the lines it must read, then moves
the X trackbar twice with the keyboard and expects each new readout to be
announced once, and no other."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

EXPECTED = """\
combo box 'Виртуализация', description 'Полная'
label 'Виртуализация'
combo box 'Устройство', description 'Primary Sound Driver'
label 'Устройство'
push button 'Старт'
slider 'X', value 0.00 (-2.00 to 2.00, step 0.01)
slider 'Y', value 0.00 (-2.00 to 2.00, step 0.01)
slider 'Z', value 0.00 (-2.00 to 2.00, step 0.01)
label 'X'
label 'Y'
label 'Z'
label 'X= 00.00'
label 'Y= 00.00'
label 'Z= 00.00'
label 'Излучатели'
combo box 'Излучатели', description 'Наушники'
label 'Угол'
combo box 'Угол', description '10'
"""


def describe(node):
    line = "%s %r" % (node.getRoleName(), node.name)
    try:
        value = node.queryValue()
        line += ", value %.2f (%.2f to %.2f, step %.2f)" % (
            value.currentValue, value.minimumValue, value.maximumValue, value.minimumIncrement)
    except NotImplementedError:
        pass
    if node.getRoleName() == "combo box":
        line += ", description %r" % node.description
    return line


def controls(node):
    for child in node:
        if child.getRoleName() in ("combo box", "slider", "push button", "label"):
            yield child
        if child.getRoleName() != "combo box":
            yield from controls(child)


def main():
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(100):
        apps = [app for app in desktop if app is not None and app.name == "sound3d"]
        if apps:
            break
        time.sleep(0.1)
    else:
        sys.exit("screen reader test: sound3d is not on the accessibility bus")
    read = "".join(describe(node) + "\n" for node in controls(apps[0]))
    if read != EXPECTED:
        sys.exit("screen reader test: the dialog reads\n" + read)
    announced = []
    pyatspi.Registry.registerEventListener(
        lambda event: announced.append(event.source.name), "object:property-change:accessible-name")
    # From the virtualization list to the X trackbar, then two steps right.
    GLib.timeout_add(500, lambda: subprocess.run(
        ["xdotool", "search", "--name", "^DirectSound 3D$", "windowfocus", "--sync", "%1",
         "key", "Tab", "Tab", "Tab", "Right", "Right"]) and False)
    GLib.timeout_add(3000, lambda: pyatspi.Registry.stop() and False)
    pyatspi.Registry.start()
    # Read once both moves are done: the X readout, announced once a move.
    if announced != ["X= 00.02", "X= 00.02"]:
        sys.exit("screen reader test: announced %r" % announced)
    print("screen reader: the dialog reads as it must, each new readout announced once")


if __name__ == "__main__":
    main()

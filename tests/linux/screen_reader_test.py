#!/usr/bin/env python3
"""Reads the lists, button and trackbars of a running sound3d over AT-SPI as
a screen reader gets them and holds them against the lines they must read;
then sets the Y trackbar twice as a screen reader does and expects it to read
back the value set and each new readout to be announced once, and no other."""
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


if __name__ == "__main__":
    main()

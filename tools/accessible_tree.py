#!/usr/bin/env python3
"""Prints the dialog of a running sound3d as a screen reader gets it over
AT-SPI, one line a control, then the announcements that one press of the
Up key on the focused X trackbar brings. Run by tools/accessible_tree.sh."""
import sys
import time

import pyatspi
from gi.repository import GLib

def describe(node):
    role = node.getRoleName()
    parts = [role, repr(node.name)]
    try:
        value = node.queryValue()
        parts.append("value %.2f (%.2f to %.2f, step %.2f)" % (
            value.currentValue, value.minimumValue, value.maximumValue, value.minimumIncrement))
    except NotImplementedError:
        pass
    if role == "combo box":
        items = [item for child in node if child.getRoleName() == "list" for item in child]
        selected = [item.name for item in items if item.getState().contains(pyatspi.STATE_SELECTED)]
        parts.append("%d items, selected %r, description %r" % (len(items), selected, node.description))
    labels = [target.name for relation in node.getRelationSet()
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for target in (relation.getTarget(i) for i in range(relation.getNTargets()))]
    if labels:
        parts.append("labelled by %r" % labels[0])
    return ", ".join(parts)

def walk(node, found):
    for child in node:
        if child is None:
            continue
        if child.getRoleName() in ("combo box", "slider", "push button", "label", "text"):
            found.append(child)
        if child.getRoleName() not in ("combo box",):
            walk(child, found)

def main():
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(100):
        apps = [app for app in desktop if app is not None and app.name == "sound3d"]
        if apps:
            break
        time.sleep(0.1)
    else:
        sys.exit("accessible_tree: sound3d is not on the accessibility bus")
    found = []
    walk(apps[0], found)
    for node in found:
        print(describe(node))

if __name__ == "__main__":
    main()

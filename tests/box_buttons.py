#!/usr/bin/python3
"""Prints the push buttons of a program's dialog as a screen reader sees them.

Usage: box_buttons.py PID TITLE [SECONDS]

Looks on the accessibility bus for the application with process id PID, then for its dialog
named TITLE, and prints the names of the dialog's push buttons, one a line, in tree order.
Exits 1 when there is no such dialog within SECONDS (default 10), 2 when the bus cannot be
used at all. Every call to the bus is bounded, so a stuck bus ends the script instead of
hanging it.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# The roles Qt gives a message box, depending on its icon.
DIALOG_ROLES = {Atspi.Role.DIALOG, Atspi.Role.ALERT, Atspi.Role.FILE_CHOOSER}


def descendants(node, depth=0):
    """Every accessible under node, node first; depth-limited against cyclic trees."""
    yield node
    if depth > 12:
        return
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from descendants(child, depth + 1)


def application(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def buttons(pid, title):
    """The dialog's button names, or None when the dialog is not (yet) there."""
    app = application(pid)
    if app is None:
        return None
    for node in descendants(app):
        if node.get_role() in DIALOG_ROLES and node.get_name() == title:
            return [b.get_name() for b in descendants(node)
                    if b.get_role() == Atspi.Role.PUSH_BUTTON]
    return None


def main():
    if len(sys.argv) not in (3, 4):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    pid, title = int(sys.argv[1]), sys.argv[2]
    seconds = float(sys.argv[3]) if len(sys.argv) == 4 else 10.0
    # The program runs in the C locale; its texts are Japanese all the same.
    sys.stdout.reconfigure(encoding="utf-8")
    if Atspi.init() > 1:
        print("box_buttons: no accessibility bus", file=sys.stderr)
        return 2
    # Two seconds per call to the bus, five for an application that is starting up.
    Atspi.set_timeout(2000, 5000)
    deadline = time.monotonic() + seconds
    while True:
        try:
            names = buttons(pid, title)
        except GLib.Error as error:
            # A call timed out or the tree changed under us: try again until the deadline.
            print(f"box_buttons: {error.message}", file=sys.stderr)
            names = None
        if names is not None:
            print("\n".join(names))
            return 0
        if time.monotonic() > deadline:
            print(f"box_buttons: no dialog named {title!r} of process {pid}", file=sys.stderr)
            return 1
        time.sleep(0.2)


if __name__ == "__main__":
    sys.exit(main())

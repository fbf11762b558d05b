#!/usr/bin/python3
"""Plays the program through its accessibility tree only, as a screen reader user would.

Usage: a11y_match.py PID

Waits for the application with process id PID on the accessibility bus and for its window,
menu bar and board (将棋盤); chooses 対局 › 対局(COM) › 先手, answers the box that opens the
match and checks that the board's words changed, then chooses 対局 › 終わり. Exits 0 when
all of it worked, 1 with the reason otherwise, 2 when the bus cannot be used.
"""
import os
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# The action names are read through calls this version of the library marks as deprecated.
warnings.filterwarnings("ignore", category=DeprecationWarning)
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from box_buttons import DIALOG_ROLES, application, descendants  # noqa: E402


def wait_for(what, find, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = find()
        except GLib.Error:
            found = None  # the tree changed under us, or a call timed out
        if found:
            return found
        time.sleep(0.2)
    raise SystemExit(f"a11y_match: no {what} within {seconds} s")


def named(app, role, name):
    return next((n for n in descendants(app) if n.get_role() == role and n.get_name() == name),
                None)


def menu_item(app, path):
    """The item at the end of a path of menu names, from the menu bar down."""
    node = next((n for n in descendants(app) if n.get_role() == Atspi.Role.MENU_BAR), None)
    for name in path:
        if node is None:
            return None
        node = next((n for n in descendants(node) if n.get_name() == name and
                     n.get_role() in (Atspi.Role.MENU_ITEM, Atspi.Role.MENU)), None)
    return node


def press(node):
    """Runs the node's press action. A menu command that opens a modal box answers only once
    the box is closed, so a timed-out call is no failure."""
    names = [node.get_action_name(i).lower() for i in range(node.get_n_actions())]
    index = next(i for i, n in enumerate(names) if n in ("press", "click", "activate"))
    try:
        node.do_action(index)
    except GLib.Error:
        pass


def board_words(app):
    board = next((n for n in descendants(app) if n.get_name() == "将棋盤"), None)
    return board.get_description() if board else None


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    pid = int(sys.argv[1])
    if Atspi.init() > 1:
        print("a11y_match: no accessibility bus", file=sys.stderr)
        return 2
    Atspi.set_timeout(2000, 5000)
    app = wait_for("application", lambda: application(pid))
    wait_for("window named Kovalt", lambda: named(app, Atspi.Role.FRAME, "Kovalt"))
    before = wait_for("board described in words", lambda: board_words(app))
    print(f"a11y_match: the board reads {before!r}")

    press(wait_for("menu item 先手", lambda: menu_item(app, ["対局", "対局(COM)", "先手"])))
    box = wait_for("box opening the match", lambda: next(
        (n for n in descendants(app) if n.get_role() in DIALOG_ROLES), None))
    press(next(n for n in descendants(box) if n.get_role() == Atspi.Role.PUSH_BUTTON))
    after = wait_for("board changed by the match", lambda: (w := board_words(app)) != before and w)
    print(f"a11y_match: after 先手 the board reads {after!r}")

    press(wait_for("menu item 終わり", lambda: menu_item(app, ["対局", "終わり"])))
    return 0


if __name__ == "__main__":
    sys.exit(main())

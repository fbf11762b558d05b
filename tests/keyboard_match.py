#!/usr/bin/python3
"""Plays a match against the computer by keys alone and checks what a blind player gets.

Usage: keyboard_match.py PID ORCA_LOG

PID is the running game, ORCA_LOG orca's debug log. Starts a match from the menu bar by keys,
then drops a piece on the first free square the accessible board names, by its letter, the
square's two digits and Return, until the match ends. After every drop: the record that Ctrl+C
puts on the clipboard ends with the drop and the computer's answer; the 81 cells read from the
bus hold exactly the record's pieces, and as many free squares as the board's description says;
orca spoke both drops. One step back and forward on the way; at the end orca spoke the result,
and the record's last line is that result. Exits 1 on the first failed check.
"""
import re
import subprocess
import sys
import time

import json

LETTERS = {"歩": "p", "香": "l", "桂": "n", "銀": "s", "金": "g", "角": "b", "飛": "r", "王": "k"}
FILES = "１２３４５６７８９"
RANKS = "一二三四五六七八九"
RESULTS = ("あなたの勝ちです", "ＣＯＭの勝ちです", "引き分けです")


class Failed(Exception):
    pass


def pause(seconds):
    time.sleep(seconds)


def check(condition, what):
    if not condition:
        raise Failed(what)


def wait_for(test, what, seconds=10.0):
    deadline = time.monotonic() + seconds
    while True:
        value = test()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failed("timed out waiting for " + what)
        pause(0.1)


def keys(*names):
    # One at a time: the program asks the screen reader about every key before acting on it.
    for name in names:
        subprocess.run(["xdotool", "key", name], check=True)
        pause(0.15)


class Game:
    def __init__(self, pid, orca_log):
        self.pid = pid
        self.orca_log = orca_log
        self.spoken_seen = 0

    def read(self):
        """The board, the hands and the description as the bus has them, read by a process of
        its own, so that this test holds nothing on the bus while orca works."""
        out = subprocess.run([sys.executable, __file__, "--read", str(self.pid)],
                             capture_output=True, text=True, timeout=60)
        check(out.returncode == 0, "reading the bus: " + out.stderr)
        return json.loads(out.stdout)

    def cells(self):
        return self.read()["cells"]

    def hand(self, owner):
        return self.read()["hands"][owner + "の持駒"]

    def description(self):
        return self.read()["description"]

    def record(self):
        keys("ctrl+c")
        pause(0.3)
        out = subprocess.run(["xclip", "-selection", "clipboard", "-o"], capture_output=True,
                             text=True, timeout=5)
        return out.stdout.splitlines()

    def spoken(self):
        """Every phrase orca spoke so far."""
        with open(self.orca_log, encoding="utf-8", errors="replace") as log:
            return re.findall(r"SPEECH OUTPUT: '(.*?)'", log.read())

    def wait_spoken(self, text, what, seconds=40.0):
        """The phrases orca spoke since the last wait, up to the first that has `text`; the
        phrases after it are left for the next wait."""
        heard = []
        says = text if callable(text) else lambda phrase: text in phrase

        def found():
            heard[:] = self.spoken()[self.spoken_seen:]
            return any(says(phrase) for phrase in heard)
        try:
            wait_for(found, what, seconds)
        except Failed:
            raise Failed(f"{what}: orca did not say {text!r}; it said {heard}")
        end = next(i for i, phrase in enumerate(heard) if says(phrase)) + 1
        self.spoken_seen += end
        return heard[:end]


def square_keys(name):
    return FILES.index(name[0]) + 1, RANKS.index(name[1]) + 1


def check_cells(game, record):
    """The bus's cells against the record's drops and the description's free count."""
    pieces = {}
    for line in record[1:]:
        move = line.split(" ")
        if len(move) == 3 and move[0].endswith("手目"):
            pieces[move[2][:2]] = move[2][2:]
    bus = game.read()
    free = 0
    for row in bus["cells"]:
        for cell in row:
            name, what = cell.split(" ", 1)
            if name in pieces:
                check(what == pieces.pop(name), f"cell {cell} holds the recorded piece")
            else:
                check(what in ("空き", "利き筋"), f"cell {cell} is empty as recorded")
                free += what == "空き"
    check(not pieces, f"every recorded drop is on the board: {pieces} left")
    check(f"空き桝{free}。" in bus["description"],
          f"{free} free cells, as the description says: {bus['description']}")
    return free


def play(game):
    window = wait_for(lambda: subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--pid", str(game.pid), "--name", "^Kovalt$"],
        capture_output=True, text=True).stdout.split(), "the window")[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=False)
    game.wait_spoken("将棋盤", "the board takes the focus")
    # 対局 › 対局(COM) › 先手 from the menu bar, then the box that says it is our turn.
    # Alt highlights the menu bar and Down opens its first menu. Should Alt come while the
    # screen reader is still busy, Down moves the board cursor instead: then try again.
    pause(1)
    for attempt in range(5):
        keys("alt")
        try:
            game.wait_spoken(lambda p: p.startswith("対局."), "the menu bar", 5)
            keys("Down")
            heard = game.wait_spoken(
                lambda p: "対局(人間)" in p or re.search(" (空き|利き筋)", p), "the 対局 menu", 5)
        except Failed:
            heard = []
            keys("Escape")
            pause(1)
            game.spoken_seen = len(game.spoken())
        if any("対局(人間)" in p for p in heard):
            break
        check(attempt < 4, "the menu bar opens by keys")
    keys("Down")
    game.wait_spoken("対局(COM)", "the 対局(COM) item")
    keys("Right")
    game.wait_spoken("先手", "the 対局(COM) menu")
    keys("Return")
    # Boxes are found by what orca says of them: asking the bus while orca is busy with the
    # same program slows both down.
    game.wait_spoken("あなたの番です", "the box that opens the match")
    # Answered only once orca has presented it: a box that goes while orca still reads it
    # leaves orca 43 stuck on its dead button.
    game.wait_spoken("push button", "the box's button")
    keys("Return")
    game.wait_spoken("あなたの番。0手目。空き桝81。", "the new match")
    check(game.record() == ["対局(COM) あなた先手"], "an empty record names the match")

    stepped = False
    for turn in range(1, 60):
        mine = None
        cells = game.cells()
        for row in cells:
            for cell in row:
                if cell.endswith(" 空き"):
                    mine = cell.split(" ")[0]
                    break
            if mine:
                break
        check(mine, "a free square is named")
        piece = next(item.split(" ")[0] for item in game.hand("あなた")
                     if not item.endswith(" 0枚"))
        file_digit, rank = square_keys(mine)
        keys(LETTERS[piece], str(file_digit), str(rank))
        game.wait_spoken(mine + " 空き", "the cursor's square")
        keys("Return")
        heard = game.wait_spoken("あなた" + mine + piece + "。", f"drop {turn}")
        # Then the computer's answer (often in the same words) or the box that ends the match.
        answered = re.compile("ＣＯＭ[１２３４５６７８９][一二三四五六七八九]")
        if not any(answered.search(p) for p in heard):
            heard += game.wait_spoken(lambda p: answered.search(p) or "alert" in p,
                                      f"the answer to drop {turn}")
        if "空き桝0。" in heard[-1]:
            heard += game.wait_spoken("alert", "the end box")
        elif "alert" not in heard[-1]:
            # A drawn match leaves free squares: then only its box says it is over.
            try:
                heard += game.wait_spoken("alert", "a box", 2.5)
            except Failed:
                pass
        if "alert" in heard[-1]:
            return finish(game, mine + piece, heard)
        record = game.record()
        check(record[-2].endswith(f"あなた {mine}{piece}"), f"the record has {mine}{piece}: {record}")
        answer = record[-1].split(" ")[2]
        check(any("ＣＯＭ" + answer + "。" in phrase for phrase in heard),
              f"orca said the answer {answer}: {heard}")
        check_cells(game, record)
        print(f"ok: drop {turn}: {mine}{piece}, answer {answer}")
        if turn == 2 and not stepped:
            stepped = True
            keys("ctrl+z")
            game.wait_spoken("ＣＯＭの番。3手目", "one step back")
            check_cells(game, game.record())
            keys("ctrl+y")
            game.wait_spoken("あなたの番。4手目", "one step forward")
    raise Failed("the match did not end")


def finish(game, mine, heard):
    if not any("alert" in phrase for phrase in heard):
        heard += game.wait_spoken("alert", "the end box")
    heard += game.wait_spoken("OK push button", "the end box's button")
    result = next((r for r in RESULTS if any(r in phrase for phrase in heard)), None)
    check(result, f"orca said the result: {heard}")
    # The winning drop was told before the box.
    told = [i for i, phrase in enumerate(heard) if mine in phrase]
    box = [i for i, phrase in enumerate(heard) if result in phrase]
    check(told and box and told[0] < box[0], f"the drop {mine} was said before the result")
    keys("Return")
    game.wait_spoken("続けますか", "the box that asks for another match")
    game.wait_spoken("push button", "the box's button")
    keys("Return")
    game.wait_spoken("対局していません", "the new game")
    record = game.record()
    check(record[-1] == result, f"the record ends with {result}: {record}")
    check(any(line.endswith(" " + mine) for line in record), f"the record has {mine}")
    # The last drop, whoever made it, was told before the box.
    _, side, last = record[-2].split(" ")
    check(any(side + last in phrase for phrase in heard[:box[0]]),
          f"orca said the last drop {side}{last} before the result: {heard}")
    print(f"ok: the match ended: {result}; the record has {len(record) - 2} drops")
    return 0


def read_bus(pid):
    """Prints the board's cells, hands and description as JSON."""
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi

    sys.path.insert(0, __file__.rsplit("/", 1)[0])
    from box_buttons import application

    Atspi.set_timeout(2000, 5000)

    def find(node, depth=0):
        # Not into the menus: orca keeps what it found there.
        if node is None or depth > 6 or node.get_role() in (Atspi.Role.MENU_BAR,
                                                            Atspi.Role.MENU):
            return None
        if node.get_role() == Atspi.Role.TABLE and node.get_name() == "将棋盤":
            return node
        for i in range(node.get_child_count()):
            found = find(node.get_child_at_index(i), depth + 1)
            if found is not None:
                return found
        return None
    table = find(application(pid))
    if table is None:
        print("no board on the bus", file=sys.stderr)
        return 1
    cells = [[Atspi.Table.get_accessible_at(table, row, column).get_name()
              for column in range(9)] for row in range(9)]
    hands = {}
    for i in range(81, table.get_child_count()):
        node = table.get_child_at_index(i)
        if node.get_role() == Atspi.Role.LIST:
            hands[node.get_name()] = [node.get_child_at_index(j).get_name()
                                      for j in range(node.get_child_count())]
    print(json.dumps({"cells": cells, "hands": hands, "description": table.get_description()}))
    return 0


def main():
    sys.stdout.reconfigure(encoding="utf-8")
    if sys.argv[1] == "--read":
        return read_bus(int(sys.argv[2]))
    pid, orca_log = int(sys.argv[1]), sys.argv[2]
    try:
        return play(Game(pid, orca_log))
    except Failed as failure:
        print("FAILED:", failure)
        return 1


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env bash
# Under a window manager the window's frame, title bar included, starts at the top-left corner
# of the available area, and a new game puts it back there only when its top edge was moved.
# Usage (with a display and a window manager running): tests/frame_place.sh path/to/kovalt
set -euo pipefail

program="$(realpath "$1")"
log="$(mktemp)"
"$program" >"$log" 2>&1 &
game=$!
trap 'kill "$game" 2>/dev/null || true; rm -f "$log"' EXIT

failed=0
check() { # description, then a command that must succeed
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failed=1; fi
}

win="$(timeout 20 xdotool search --sync --onlyvisible --name '^Kovalt$' | head -n 1)"
read -r areax areay _ <<<"$(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g')"

# The frame's corner: the client's corner less the frame extents the window manager announced.
frame() {
    local left top
    for _ in $(seq 50); do
        xprop -id "$win" _NET_FRAME_EXTENTS | grep -q '=' && break
        sleep 0.1
    done
    read -r left _ top _ <<<"$(xprop -id "$win" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
    titlebar=$top
    local x y
    x=$(xwininfo -id "$win" | awk '/Absolute upper-left X/{print $4}')
    y=$(xwininfo -id "$win" | awk '/Absolute upper-left Y/{print $4}')
    echo "$((x - left)) $((y - top))"
}
settle() { sleep 0.6; }

# Opens 局面 on the menu bar and chooses 最初, which starts a new game.
restart_game() {
    local cx cy
    cx=$(xwininfo -id "$win" | awk '/Absolute upper-left X/{print $4}')
    cy=$(xwininfo -id "$win" | awk '/Absolute upper-left Y/{print $4}')
    xdotool mousemove $((cx + 60)) $((cy + 9)) click 1
    sleep 0.5
    xdotool mousemove $((cx + 80)) $((cy + 31)) click 1
    settle
}

settle
read -r fx fy <<<"$(frame)"
frame >/dev/null
echo "available area at $areax,$areay; frame at $fx,$fy; title bar $titlebar px"
check "the frame starts at the available area's left edge" test "$fx" -eq "$areax"
check "the frame starts at the available area's top edge" test "$fy" -eq "$areay"
check "the window has a title bar, on screen" test "$titlebar" -gt 0 -a "$fy" -ge 0

# Moved down and right: a new game brings it home.
xdotool windowmove "$win" 300 200
settle
read -r mx my <<<"$(frame)"
check "the window manager moved the window" test "$my" -ne "$areay"
restart_game
read -r fx fy <<<"$(frame)"
check "a new game after a move puts the frame back home ($fx,$fy)" test "$fx" -eq "$areax" -a "$fy" -eq "$areay"

# Moved sideways only: the top edge is home, so a new game leaves the window where it is.
# How a requested place maps to the frame depends on the window's gravity: correct once.
xdotool windowmove "$win" 300 "$areay"
settle
read -r mx my <<<"$(frame)"
xdotool windowmove "$win" 300 $((2 * areay - my))
settle
read -r mx my <<<"$(frame)"
check "a sideways move keeps the top edge ($mx,$my)" test "$my" -eq "$areay" -a "$mx" -ne "$areax"
restart_game
read -r fx fy <<<"$(frame)"
check "a new game leaves a window moved sideways where it is ($fx,$fy)" test "$fx" -eq "$mx" -a "$fy" -eq "$my"

exit "$failed"

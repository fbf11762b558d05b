#!/usr/bin/env bash
# Takes the screenshots of the README and the metainfo from the real program, its window with
# the frame of a window manager (openbox on a private Xvfb): the first screen, a match against
# the computer, and the end of that match.
# Usage: scripts/screenshots.sh [path/to/kovalt] [folder]   (defaults: build/kovalt, docs)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${KOVALT_SHOTS_SESSION:-}" ]; then
    KOVALT_SHOTS_SESSION=1 exec "$here/tests/xsession.sh" --wm "$0" "$@"
fi
export LC_ALL=C.UTF-8
program="$(realpath "${1:-$here/build/kovalt}")"
out="$(realpath "${2:-$here/docs}")"
work="$(mktemp -d)"
"$program" >"$work/log" 2>&1 &
game=$!
trap 'kill "$game" 2>/dev/null || true; rm -rf "$work"' EXIT

win="$(timeout 30 xdotool search --sync --onlyvisible --name '^Kovalt$' | head -n 1)"
sleep 1
read -r wx wy width height <<<"$(xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$4}
    /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')"
read -r left right top bottom <<<"$(xprop -id "$win" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
frame="$((width + left + right))x$((height + top + bottom))+$((wx - left))+$((wy - top))"
echo "screenshots: window ${width}x${height}, with its frame $frame"
shot() { import -window root -crop "$frame" +repage "$1"; }

# A board or hand cell's centre on the screen, and whether it shows a free square or a piece.
menubar=19
cellx() { echo $((wx + (700 * 2 + (2 * $1 + 1) * 495) / 30)); }
celly() { echo $((wy + menubar + (100 * 2 + (2 * $1 + 1) * 615) / 30)); }
cell() { # x y: "blue spread" of the cell's middle on the screen
    import -window root -crop "20x24+$(($(cellx "$1") - 10))+$(($(celly "$2") - 12))" +repage \
        -format '%[fx:int(255*mean.b)] %[fx:int(255*standard_deviation)]' info:
}
is_free() { read -r blue spread <<<"$(cell "$@")"; [ "$blue" -gt 120 ] && [ "$spread" -lt 25 ]; }
is_piece() { read -r _ spread <<<"$(cell "$@")"; [ "$spread" -ge 25 ]; }
click() { xdotool mousemove "$1" "$2" sleep 0.05 click 1; sleep 0.3; }
box_open() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

# One drop of the player's: the last piece of the right-hand column on the first free square
# from the middle out. False when there is none.
drop() {
    local gx gy slot
    for slot in 9 8 7 6 5 4 3 2; do is_piece 11 "$slot" && break; done
    for gx in 5 4 6 3 7 2 8 1 9; do
        for gy in 5 4 6 3 7 2 8 1 9; do
            if is_free "$gx" "$gy"; then
                click "$(cellx 11)" "$(celly "$slot")"
                click "$(cellx "$gx")" "$(celly "$gy")"
                sleep 0.5
                return 0
            fi
        done
    done
    return 1
}

shot "$out/screenshot-first.png"
# 対局 > 対局(COM) > 先手 by keyboard, and the box that opens the match.
xdotool key alt sleep 0.2 key Down sleep 0.3 key Down sleep 0.2 key Right sleep 0.3 key Return \
    sleep 0.5 key Return
sleep 0.5
for _ in 1 2 3; do drop; done
shot "$out/screenshot-match.png"
for _ in $(seq 30); do
    LC_ALL=C.UTF-8 box_open 終了 && break
    drop || break
done
sleep 0.5
box_open 終了 || { echo "screenshots: the match did not end"; cat "$work/log"; exit 1; }
shot "$out/screenshot-end.png"
ls -l "$out"/screenshot-*.png

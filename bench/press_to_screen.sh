#!/usr/bin/env bash
# Press to screen on Xvfb, seen from outside the program: the game's press that drops a piece
# and the computer's answer, beside a bare Qt window's press to one full repaint, in the same
# run and on the same server.
#   bench/press_to_screen.sh BUILD-DIR [ROUNDS]
set -euo pipefail
source "$(dirname "$0")/../tests/xsession.sh"
build="$1"
rounds="${2:-41}"
# Room for the window at the scale factors the benchmark is run at.
xsession_start --screen 1920x1600

started() { # reads the window id, the point to press and the size the program prints
    read -r id x y width height <&"${program[0]}"
}

echo "Kovalt, press to the computer's answer on screen:"
coproc program { "$build/bench/kovalt_press_harness" 2>/dev/null; }
started
"$build/bench/press_to_screen" "$id" "$x" "$y" "$rounds" r 2>"${PRESS_LOG:-/dev/null}"
kill "$program_PID"; wait "$program_PID" 2>/dev/null || true

echo "bare Qt window of the same size, press to one full repaint:"
coproc program { "$build/bench/bare_window" "$width" "$height" 2>/dev/null; }
started
"$build/bench/press_to_screen" "$id" "$x" "$y" "$rounds" 2>/dev/null
kill "$program_PID"; wait "$program_PID" 2>/dev/null || true

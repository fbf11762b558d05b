#!/usr/bin/env bash
# Another program destroys the game's window (XDestroyWindow, as `xdotool windowclose` does):
# the game must end, with status 0, instead of running on without a window.
# Usage: tests/window_destroyed.sh path/to/kovalt [openbox]
set -uo pipefail
source "$(dirname "$0")/xsession.sh"
program="$(realpath "$1")"
manager="${2:-}"
work="$(xsession_temp)"
export XDG_RUNTIME_DIR="$work/runtime"
xsession_start ${manager:+--wm} || exit 1

"$program" >"$work/out" 2>"$work/err" &
game=$!
xsession_track "$game"
window="$(timeout 30 xdotool search --sync --onlyvisible --name '^Kovalt$' | head -n 1)"
[ -n "$window" ] || { echo "FAILED: the window did not appear: $(cat "$work/err")"; exit 1; }

xdotool windowclose "$window"
for _ in $(seq 100); do
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$game" 2>/dev/null; then
    echo "FAILED: the program still runs 10 s after its window was destroyed"
    exit 1
fi
wait "$game"
status=$?
if [ "$status" -ne 0 ]; then
    echo "FAILED: the program ended with status $status: $(cat "$work/err")"
    exit 1
fi
echo "window destroyed${manager:+ under $manager}: the program ended with status 0"

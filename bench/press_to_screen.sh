#!/usr/bin/env bash
# Press to screen on Xvfb, seen from outside the program: the game's press that drops a piece
# and the computer's answer, beside a bare Qt window's press to one full repaint, on the same
# server, round by round in turn so that a busy machine weighs on both alike.
#   bench/press_to_screen.sh BUILD-DIR [PRESSES] [ROUNDS] [-- 'LABEL=COMMAND'...]
# Each round presses every program PRESSES times (default 21); ROUNDS rounds (default 3).
# Further programs to compare (another build's harness, or the harness under other
# settings) come after --, e.g. 'plain put=env QT_XCB_NO_MITSHM=1 other/bench/kovalt_press_harness'.
# Prints each round's medians, then the median of the rounds and its ratio to the bare window.
set -euo pipefail
source "$(dirname "$0")/../tests/xsession.sh"
build="$1"
presses="${2:-21}"
rounds="${3:-3}"
shift $(($# < 3 ? $# : 3))
[ "${1:-}" = "--" ] && shift
xsession_need "$build/bench/kovalt_press_harness" "$build/bench/bare_window" \
    "$build/bench/press_to_screen"
labels=(Kovalt)
commands=("$build/bench/kovalt_press_harness")
for other in "$@"; do
    labels+=("${other%%=*}")
    commands+=("${other#*=}")
done
labels+=("bare Qt window")

# Side by side, each with room for the window at scale 2: a window that reached past the
# screen's edge would have less to show, and the server less to copy.
step=1300
xsession_start --screen "$((step * ${#labels[@]}))x1600"
work="$(xsession_temp)"

# Starts every program; each prints its window id, the point to press and its logical size.
declare -a ids points
for i in "${!labels[@]}"; do
    if [ "$i" -eq $((${#labels[@]} - 1)) ]; then
        read -r _ _ _ width height <"$work/0"
        "$build/bench/bare_window" "$width" "$height" >"$work/$i" 2>/dev/null &
    else
        # shellcheck disable=SC2086 # a command with its words
        ${commands[$i]} >"$work/$i" 2>/dev/null &
    fi
    xsession_track $!
    for _ in $(seq 100); do
        [ -s "$work/$i" ] && break
        sleep 0.05
    done
    read -r id x y _ <"$work/$i"
    # Side by side: a window that covers another would take its presses and its damage.
    xdotool windowmove "$id" $((i * step)) 0
    ids[i]="$id"
    points[i]="$x $y"
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for round in $(seq "$rounds"); do
    line="round $round:"
    for i in "${!labels[@]}"; do
        reset=r
        [ "$i" -eq $((${#labels[@]} - 1)) ] && reset=""
        # shellcheck disable=SC2086 # the point is two words
        us="$("$build/bench/press_to_screen" "${ids[i]}" ${points[i]} "$presses" $reset \
            2>"${PRESS_LOG:-/dev/null}" | awk '{ print $2 }')"
        echo "$us" >>"$work/times$i"
        line+="  ${labels[i]} ${us} us"
    done
    echo "$line"
done

bare="$(median <"$work/times$((${#labels[@]} - 1))")"
for i in "${!labels[@]}"; do
    us="$(median <"$work/times$i")"
    awk -v l="${labels[i]}" -v u="$us" -v b="$bare" \
        'BEGIN { printf "%-16s median of rounds %5d us  ratio %.2f\n", l, u, u / b }'
done

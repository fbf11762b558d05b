#!/usr/bin/env bash
# The X connection lost under the running program: the client killed by another X client
# (as xkill does) and the X server itself killed. Either way the program must end by itself,
# and a sanitized build must report nothing, leaks of its libraries suppressed but no more.
# Usage: tests/x_gone.sh path/to/kovalt
set -uo pipefail
program="$(realpath "$1")"
work="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
failures=0

for how in client server; do
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xvfb=$!
    pids+=("$xvfb")
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$work/display")"
    "$program" >"$work/log" 2>&1 &
    game=$!
    pids+=("$game")
    win="$(timeout 60 xdotool search --sync --onlyvisible --name '^Kovalt$' | head -n 1)"
    sleep 1 # the sound module and the first paints are through
    if [ "$how" = client ]; then xdotool windowkill "$win"; else kill "$xvfb"; fi
    ended=""
    for _ in $(seq 200); do kill -0 "$game" 2>/dev/null || { ended=yes; break; }; sleep 0.1; done
    if [ -z "$ended" ]; then
        echo "FAILED: the X $how gone, the program did not end"
        failures=$((failures + 1))
    elif grep -qE 'AddressSanitizer|LeakSanitizer|runtime error:' "$work/log"; then
        echo "FAILED: the X $how gone, a sanitizer report:"
        sed 's/^/  /' "$work/log"
        failures=$((failures + 1))
    else
        echo "ok: the X $how gone, the program ended ($(head -n 1 "$work/log"))"
    fi
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    rm -f "$work/display"
done
[ "$failures" -eq 0 ]

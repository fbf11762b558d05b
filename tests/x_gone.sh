#!/usr/bin/env bash
# The X connection lost under the running program: the client killed by another X client
# (as xkill does) and the X server itself killed. Either way the program must end by itself,
# and a sanitized build must report nothing, leaks of its libraries suppressed but no more.
# Usage: tests/x_gone.sh path/to/kovalt
set -uo pipefail
program="$(realpath "$1")"
source "$(dirname "$0")/xsession.sh"
work="$(xsession_temp)"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
failures=0

for how in client server; do
    xsession_start || exit 1
    "$program" >"$work/log" 2>&1 &
    game=$!
    xsession_track "$game"
    win="$(timeout 60 xdotool search --sync --onlyvisible --name '^Kovalt$' | head -n 1)"
    sleep 1 # the sound module and the first paints are through
    if [ "$how" = client ]; then xdotool windowkill "$win"; else xsession_stop; fi
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
    xsession_stop
done
[ "$failures" -eq 0 ]

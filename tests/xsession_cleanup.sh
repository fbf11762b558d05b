#!/usr/bin/env bash
# The X-session helper stops its server when the program it ran ends, also with the
# accessibility bus up (the case that once left servers behind), and passes the program's exit
# status on.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
failed=0
for status in 0 3; do
    # The program finds the server: the helper's own child of that name.
    set +e
    server="$("$here/xsession.sh" --a11y bash -c '
        p=$$
        while [ "$p" -gt 1 ]; do
            if tr "\0" "\n" <"/proc/$p/cmdline" | sed -n 2p | grep -q "/xsession\.sh$"; then
                pgrep -P "$p" -x Xvfb
                break
            fi
            p="$(ps -o ppid= -p "$p" | tr -d " ")"
        done
        exit '"$status" 2>/dev/null)"
    got=$?
    set -e
    server="${server//[^0-9]/}"
    if [ "$got" != "$status" ]; then
        echo "FAIL: the program ended with $status, the helper with $got"
        failed=1
    fi
    if [ -z "$server" ]; then
        echo "FAIL: the helper had no X server of its own while the program ran"
        failed=1
        continue
    fi
    for _ in $(seq 40); do
        state="$(ps -o stat= -p "$server" 2>/dev/null)" || true
        [ -z "$state" ] || [[ "$state" == Z* ]] && break
        sleep 0.05
    done
    if [ -n "$state" ] && [[ "$state" != Z* ]]; then
        echo "FAIL: the X server $server is still running after a program that ended with $status"
        kill "$server" 2>/dev/null || true
        failed=1
    else
        echo "ok: the server is gone after a program that ended with $status"
    fi
done
exit "$failed"

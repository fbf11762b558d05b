#!/usr/bin/env bash
# Runs a command against a private Xvfb server, optionally with the openbox window manager.
# Usage: tests/xsession.sh [--wm] command args...
# The server picks a free display number itself, so that parallel runs do not collide.
set -euo pipefail

wm=""
if [ "${1:-}" = "--wm" ]; then
    wm=yes
    shift
fi
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work/runtime}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
wmpid=""
cleanup() {
    [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
    sleep 0.05
done
[ -s "$work/display" ] || { echo "xsession: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

if [ -n "$wm" ]; then
    openbox --sm-disable --config-file "$here/openbox-rc.xml" >"$work/openbox.log" 2>&1 &
    wmpid=$!
    # The window manager is ready once it has announced itself on the root window.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
    done
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' ||
        { echo "xsession: openbox did not start" >&2; cat "$work/openbox.log" >&2; exit 1; }
fi

status=0
"$@" || status=$?
exit "$status"

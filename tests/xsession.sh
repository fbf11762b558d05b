#!/usr/bin/env bash
# Runs a command against a private Xvfb server, optionally with the openbox window manager
# (--wm) and with a private session bus and accessibility bus (--a11y), so that a screen
# reader's view of the program can be read from outside it.
# Usage: tests/xsession.sh [--wm] [--a11y] command args...
# The server picks a free display number itself, so that parallel runs do not collide.
set -euo pipefail

wm=""
a11y=""
while :; do
    case "${1:-}" in
        --wm) wm=yes ;;
        --a11y) a11y=yes ;;
        *) break ;;
    esac
    shift
done
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work/runtime}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
wmpid=""
bus=""
launcher=""
# Ends a process and waits for it, at most two seconds before it is killed outright (a stuck
# bus must not hang the session's end).
stop() { # pid
    local state
    kill "$1" 2>/dev/null || return 0
    for _ in $(seq 40); do
        state="$(ps -o stat= -p "$1" 2>/dev/null)" || true
        [ -z "$state" ] || [[ "$state" == Z* ]] && break
        sleep 0.05
    done
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
stop_a11y() {
    local child
    if [ -n "$launcher" ]; then
        # Its own accessibility bus goes too, even when the launcher has to be killed; the
        # registry leaves with that bus.
        for child in $(ps -o pid= --ppid "$launcher" 2>/dev/null); do
            stop "$child"
        done
        stop "$launcher"
    fi
    [ -n "$bus" ] && stop "$bus"
    launcher=""
    bus=""
}
cleanup() {
    [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null
    stop_a11y
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
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY

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

# A session bus of our own with the accessibility bus launcher on it. Without them the
# command still runs (and whatever needs them fails on its own), so every wait is bounded.
start_a11y() {
    dbus-daemon --session --nofork --nopidfile --print-address=4 \
        4>"$work/bus" >"$work/dbus.log" 2>&1 &
    bus=$!
    for _ in $(seq 100); do
        [ -s "$work/bus" ] && break
        sleep 0.05
    done
    [ -s "$work/bus" ] || { echo "xsession: no session bus" >&2; return 1; }
    DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$work/bus")"
    export DBUS_SESSION_BUS_ADDRESS
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/a11y.log" 2>&1 &
    launcher=$!
    # Ready once the launcher owns its name; asking the name itself before that would have the
    # bus start a second launcher that nobody stops.
    for _ in $(seq 100); do
        timeout 2 dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
            org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null |
            grep -q 'boolean true' && break
        sleep 0.05
    done
    # The launcher answers with the accessibility bus's address, and that bus answers too.
    local address
    address="$(timeout 2 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress 2>/dev/null | sed -n 's/^ *string "\(unix:.*\)"$/\1/p')" || true
    [ -n "$address" ] && timeout 2 dbus-send --bus="$address" --print-reply \
        --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetId >/dev/null 2>&1 ||
        { echo "xsession: no accessibility bus" >&2; cat "$work/a11y.log" >&2; return 1; }
    # Qt exposes its widgets only to a screen reader it has seen, unless told to always.
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}
if [ -n "$a11y" ] && ! start_a11y; then
    # Better no bus at all than one that does not answer: the program would wait on it.
    stop_a11y
    unset DBUS_SESSION_BUS_ADDRESS
fi

status=0
"$@" || status=$?
exit "$status"

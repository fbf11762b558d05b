#!/usr/bin/env bash
# The one place that starts a private X session for tests, benchmarks and scripts: an Xvfb
# server on a free display number, optionally the openbox window manager (--wm), a private
# session bus with the accessibility bus (--a11y, so that a screen reader's view of a program
# can be read from outside it), and a screen size (--screen WxH, default 1024x768).
#
# As a command, it runs one command in the session and passes its exit status on:
#   tests/xsession.sh [--wm] [--a11y] [--screen WxH] command args...
# Sourced, it gives a script the session and the clean-up at its end (an EXIT trap: a script
# that sources this sets no EXIT trap of its own):
#   source tests/xsession.sh
#   xsession_start [--wm] [--a11y] [--screen WxH]   # exports DISPLAY
#   work="$(xsession_temp)"   # a fresh folder, removed at exit
#   xsession_track PID...     # processes ended at exit
#   xsession_at_exit 'CMD'    # a command run at exit, once the tracked processes have ended
#   xsession_need PROGRAM...  # fails unless each program is built
# and, for scripts that drive a program's window with xdotool:
#   xsession_window TITLE     # waits for the visible window: its id in $win, corner $wx $wy
#   xsession_popup CLASS      # the class's other visible window (an open menu): $X $Y $WIDTH
#                             # $HEIGHT

# Ends a process and waits for it, at most two seconds before it is killed outright (a stuck
# bus must not hang the session's end).
_xsession_end() { # pid
    local state
    kill "$1" 2>/dev/null || return 0
    for _ in $(seq 40); do
        state="$(ps -o stat= -p "$1" 2>/dev/null)" || true
        { [ -z "$state" ] || [[ "$state" == Z* ]]; } && break
        sleep 0.05
    done
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

_xsession_stop_a11y() {
    local child
    if [ -n "${_xsession_launcher:-}" ]; then
        # Its own accessibility bus goes too, even when the launcher has to be killed; the
        # registry leaves with that bus.
        for child in $(ps -o pid= --ppid "$_xsession_launcher" 2>/dev/null); do
            _xsession_end "$child"
        done
        _xsession_end "$_xsession_launcher"
    fi
    [ -n "${_xsession_bus:-}" ] && _xsession_end "$_xsession_bus"
    _xsession_launcher=""
    _xsession_bus=""
}

# Stops whatever xsession_start started; harmless when called twice.
xsession_stop() {
    [ -n "${_xsession_wm:-}" ] && _xsession_end "$_xsession_wm"
    _xsession_wm=""
    _xsession_stop_a11y
    [ -n "${_xsession_xvfb:-}" ] && _xsession_end "$_xsession_xvfb"
    _xsession_xvfb=""
    [ -n "${_xsession_work:-}" ] && rm -rf "$_xsession_work"
    _xsession_work=""
    return 0
}

_xsession_pids=()
_xsession_hooks=()
_xsession_temps="$(mktemp -d)"
xsession_temp() { mktemp -d -p "$_xsession_temps"; }
xsession_track() { _xsession_pids+=("$@"); }
xsession_at_exit() { _xsession_hooks+=("$1"); }
_xsession_exit() {
    local status=$? hook pid
    for pid in "${_xsession_pids[@]}"; do
        _xsession_end "$pid"
    done
    for hook in "${_xsession_hooks[@]}"; do
        eval "$hook" || true
    done
    xsession_stop
    rm -rf "$_xsession_temps"
    exit "$status"
}
trap _xsession_exit EXIT

xsession_need() { # program...
    local program
    for program; do
        [ -x "$program" ] || { echo "missing $program: build it first" >&2; return 1; }
    done
}
xsession_window() { # title
    win="$(timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1)"
    [ -n "$win" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$win")"
    wx=$X
    wy=$Y
}
xsession_popup() { # class
    local w popup=""
    for w in $(xdotool search --onlyvisible --class "$1"); do
        [ "$w" = "$win" ] || popup="$w"
    done
    [ -n "$popup" ] && eval "$(xdotool getwindowgeometry --shell "$popup")"
}

_xsession_fail() {
    echo "xsession: $*" >&2
    return 1
}

# A session bus of our own with the accessibility bus launcher on it. Without them the
# command still runs (and whatever needs them fails on its own), so every wait is bounded.
_xsession_start_a11y() {
    local work="$_xsession_work" address
    dbus-daemon --session --nofork --nopidfile --print-address=4 \
        4>"$work/bus" >"$work/dbus.log" 2>&1 &
    _xsession_bus=$!
    for _ in $(seq 100); do
        [ -s "$work/bus" ] && break
        sleep 0.05
    done
    [ -s "$work/bus" ] || _xsession_fail "no session bus" || return 1
    DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$work/bus")"
    export DBUS_SESSION_BUS_ADDRESS
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/a11y.log" 2>&1 &
    _xsession_launcher=$!
    # Ready once the launcher owns its name; asking the name itself before that would have the
    # bus start a second launcher that nobody stops.
    for _ in $(seq 100); do
        timeout 2 dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
            org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null |
            grep -q 'boolean true' && break
        sleep 0.05
    done
    # The launcher answers with the accessibility bus's address, and that bus answers too.
    address="$(timeout 2 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress 2>/dev/null | sed -n 's/^ *string "\(unix:.*\)"$/\1/p')" || true
    if [ -z "$address" ] || ! timeout 2 dbus-send --bus="$address" --print-reply \
        --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetId >/dev/null 2>&1; then
        cat "$work/a11y.log" >&2
        _xsession_fail "no accessibility bus"
        return 1
    fi
    # Qt exposes its widgets only to a screen reader it has seen, unless told to always.
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

xsession_start() { # [--wm] [--a11y] [--screen WxH]
    local wm="" a11y="" screen=1024x768 work
    while [ $# -gt 0 ]; do
        case "$1" in
        --wm) wm=yes ;;
        --a11y) a11y=yes ;;
        --screen) screen="$2" && shift ;;
        *) _xsession_fail "unknown option $1" || return 1 ;;
        esac
        shift
    done
    work="$(mktemp -d)"
    _xsession_work="$work"
    export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work/runtime}"
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

    # The server picks a free display number itself and writes it once it takes connections.
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    _xsession_xvfb=$!
    for _ in $(seq 200); do
        [ -s "$work/display" ] && break
        kill -0 "$_xsession_xvfb" 2>/dev/null || break
        sleep 0.05
    done
    if [ ! -s "$work/display" ]; then
        cat "$work/xvfb.log" >&2
        _xsession_fail "Xvfb did not start"
        return 1
    fi
    DISPLAY=":$(head -n 1 "$work/display")"
    export DISPLAY
    # Programs run in this session go to this server, whatever the caller's desktop.
    unset WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb

    if [ -n "$wm" ]; then
        openbox --sm-disable --config-file "$(dirname "${BASH_SOURCE[0]}")/openbox-rc.xml" \
            >"$work/openbox.log" 2>&1 &
        _xsession_wm=$!
        # The window manager is ready once it has announced itself on the root window.
        for _ in $(seq 100); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.05
        done
        if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
            cat "$work/openbox.log" >&2
            _xsession_fail "openbox did not start"
            return 1
        fi
    fi
    if [ -n "$a11y" ] && ! _xsession_start_a11y; then
        # Better no bus at all than one that does not answer: the program would wait on it.
        _xsession_stop_a11y
        unset DBUS_SESSION_BUS_ADDRESS
    fi
    return 0
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    options=()
    while :; do
        case "${1:-}" in
        --wm | --a11y) options+=("$1") ;;
        --screen) options+=("$1" "$2") && shift ;;
        *) break ;;
        esac
        shift
    done
    xsession_start "${options[@]}"
    # Not exec: the session must still be stopped when the command ends.
    status=0
    "$@" || status=$?
    exit "$status"
fi

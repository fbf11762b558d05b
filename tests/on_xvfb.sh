#!/usr/bin/env bash
# Runs a test program on its own virtual X server, with an accessibility bus when the desktop
# packages for one are there, so that real key presses (xdotool) and accessibility events
# reach it as they would on a desktop. Usage: tests/on_xvfb.sh program [arguments...]
set -euo pipefail

work="$(mktemp -d)"
# Xvfb picks a free display itself and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
cleanup() {
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "on_xvfb: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }

export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work}"
launcher=/usr/libexec/at-spi-bus-launcher
if command -v dbus-run-session >/dev/null && [ -x "$launcher" ]; then
    # Qt switches accessibility on once the bus is there.
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    # Not exec: the server must still be stopped when the program ends.
    status=0
    dbus-run-session -- bash -c '"$0" >/dev/null 2>&1 & launcher=$!; "${@}"; status=$?; kill $launcher; exit $status' "$launcher" "$@" || status=$?
    exit "$status"
fi
"$@"

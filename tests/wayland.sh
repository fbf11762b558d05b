#!/usr/bin/env bash
# The real program under a headless Wayland compositor (weston) with Qt's Wayland plugin: it
# starts, its accessibility tree appears, a match against the computer starts and 終わり ends
# the program, all through accessibility actions; it must end with status 0 and write no
# sanitizer report. Usage: tests/wayland.sh path/to/kovalt
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# A private session bus with an accessibility bus (the X server it brings goes unused).
if [ -z "${KOVALT_WAYLAND_SESSION:-}" ]; then
    KOVALT_WAYLAND_SESSION=1 exec "$here/xsession.sh" --a11y "$0" "$@"
fi
export LC_ALL=C.UTF-8
program="$(realpath "$1")"
work="$(mktemp -d)"
weston_pid=""
game=""
cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "wayland: FAILED: $*"
    sed 's/^/  /' "$work/kovalt.log" 2>/dev/null
    exit 1
}

# The Wayland and EGL libraries have no frame pointers: without the slow unwinder a leak's
# stack stops at them, and the suppressions cannot see that it is QtWayland's (sanitized
# builds only; other builds ignore it).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --socket=kovalt --idle-time=0 --log="$work/weston.log" &
weston_pid=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/kovalt" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/kovalt" ] || { cat "$work/weston.log"; fail "weston did not start"; }

env -u DISPLAY WAYLAND_DISPLAY=kovalt QT_QPA_PLATFORM=wayland "$program" >"$work/kovalt.log" 2>&1 &
game=$!
timeout -k 5 90 /usr/bin/python3 "$here/a11y_match.py" "$game" || fail "the match through accessibility"
for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game" 2>/dev/null && fail "終わり did not end the program"
status=0
wait "$game" || status=$?
game=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
grep -qE 'AddressSanitizer|LeakSanitizer|runtime error:' "$work/kovalt.log" && fail "a sanitizer report"
echo "wayland: ok"

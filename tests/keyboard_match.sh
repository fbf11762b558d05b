#!/usr/bin/env bash
# A whole match against the computer by keys alone, with Debian's screen reader running: on a
# private Xvfb with a window manager and an accessibility bus, orca writes every phrase it would
# speak to its debug log, and tests/keyboard_match.py plays by keys (xdotool), reads the board
# from the bus after every drop and checks it against the record on the clipboard and against
# what orca spoke. Then the cursor is photographed at scales 1 and 1.5.
# Usage: tests/keyboard_match.sh path/to/kovalt [directory for the screenshots]
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
source "$here/xsession.sh"
for tool in orca xdotool xclip import; do
    command -v "$tool" >/dev/null || { echo "keyboard_match: $tool is missing" >&2; exit 1; }
done
export LC_ALL=C.UTF-8
program="$(realpath "$1")"
work="$(xsession_temp)"
shots="${2:-$work}"
mkdir -p "$shots"
xsession_start --wm --a11y
# orca keeps its settings under HOME: a fresh one, so that no one's own settings count.
export HOME="$work/home"
mkdir -p "$HOME"

# No sound here: orca must not start a speech server, which can take seconds every time it
# tries; its log still has every phrase. Two things in orca's launcher are changed for a test:
# it opens its log with Python's default block buffer and never flushes it, so what it has
# just spoken would reach the file only kilobytes later (or when it quits): the log is opened
# line-buffered instead; and it refuses to start while any other orca of the same user runs,
# on whatever display: this one lives in its own session, so it neither looks for others nor
# takes the name orca that they look for.
SPEECHD_CMD="$work/no-speech-dispatcher" /usr/bin/python3 -c '
import builtins, runpy, sys
orca, log = sys.argv[1], sys.argv[3]
plain_open = builtins.open
def line_buffered(file, mode="r", *rest, **options):
    if file == log:
        options["buffering"] = 1
    return plain_open(file, mode, *rest, **options)
builtins.open = line_buffered
sys.argv = sys.argv[1:]
launcher = runpy.run_path(orca, run_name="orca_launcher")["main"]
launcher.__globals__["otherOrcas"] = lambda: []
launcher.__globals__["setProcessName"] = lambda name: None
sys.exit(launcher())
' "$(command -v orca)" --debug-file "$work/orca.log" >"$work/orca.out" 2>&1 &
xsession_track $!
for _ in $(seq 100); do
    grep -qa "SPEECH OUTPUT: 'Screen reader on" "$work/orca.log" 2>/dev/null && break
    sleep 0.1
done
# It is ready for programs a moment after it says so.
sleep 3

"$program" >"$work/kovalt.log" 2>&1 &
game=$!
xsession_track "$game"
status=0
/usr/bin/python3 "$here/keyboard_match.py" "$game" "$work/orca.log" || status=$?
# What orca spoke stays beside the screenshots.
grep -ao "SPEECH OUTPUT: .*" "$work/orca.log" >"$shots/orca-spoke.txt" || true
if [ "$status" != 0 ]; then
    cp "$work/orca.log" "$shots/orca-failed.log" 2>/dev/null || true
    echo "--- orca spoke:"
    grep -ao "SPEECH OUTPUT: .*" "$work/orca.log" | tail -n 40 || true
    echo "--- program's output:"
    cat "$work/kovalt.log"
    exit "$status"
fi

# The cursor at two scales: it must be in the picture, in its own colour, at each.
kill "$game"
wait "$game" 2>/dev/null || true
cyan() { # file: how many pixels are pure cyan, the cursor's colour alone
    convert "$1" -fill black +opaque '#00ffff' -fill white -opaque '#00ffff' \
        -format '%[fx:round(mean*w*h)]' info:
}
shot() { # scale, file
    QT_SCALE_FACTOR="$1" "$program" >>"$work/kovalt.log" 2>&1 &
    local pid=$! win="" count=0
    xsession_track "$pid"
    # Asked again until found: xdotool gives up on a window that goes while it searches, as
    # a starting program's first windows may.
    for _ in $(seq 100); do
        win="$(xdotool search --onlyvisible --pid "$pid" --name '^Kovalt$' 2>/dev/null |
            head -n 1)" || true
        [ -n "$win" ] && break
        sleep 0.2
    done
    [ -n "$win" ] || { echo "no window at scale $1" >&2; return 1; }
    xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
    # Keys only once the board is painted, and the picture once the cursor is (the keys go
    # through the screen reader first).
    for _ in $(seq 100); do
        import -window "$win" "$2"
        [ "$(convert "$2" -format '%[fx:mean>0.05]' info:)" = 1 ] && break
        sleep 0.2
    done
    xdotool key --delay 150 Right Up 7 6
    for _ in $(seq 50); do
        sleep 0.2
        import -window "$win" "$2"
        count="$(cyan "$2")"
        [ "$count" -gt 50 ] && break
    done
    kill "$pid"
    echo "cursor pixels at scale $1: $count ($2)"
    [ "$count" -gt 50 ]
}
shot 1 "$shots/cursor-1.png"
shot 1.5 "$shots/cursor-1.5.png"
echo "ok: a match by keys with orca, and the cursor at scales 1 and 1.5"

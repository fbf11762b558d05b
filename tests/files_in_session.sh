#!/usr/bin/env bash
# The program in a session like a player's: a real X server (Xvfb), XDG_RUNTIME_DIR unset and
# a fresh empty home folder. It is started, a refused press makes it ask for a sound and show
# a box, the box is answered, and 対局 > 終わり ends it. Under strace, the check fails when a
# network socket is opened, or when anything is created or written other than what the
# toolkit and the sound library make for themselves (listed in the README):
#   ~/.config and ~/.config/pulse             the sound library's settings folder
#   ~/.config/pulse/<machine id>-runtime     its link to its runtime folder
#   /tmp/pulse-<random>                       that runtime folder
#   /tmp/runtime-<user>                       the toolkit's runtime folder
# Usage: tests/files_in_session.sh path/to/kovalt
set -euo pipefail
source "$(dirname "$0")/xsession.sh"

program="$(realpath "$1")"
work="$(xsession_temp)"
home="$work/home"
mkdir -p "$home"
log="$work/strace.log"

xsession_start

env -u XDG_RUNTIME_DIR -u PULSE_SERVER HOME="$home" \
    strace -f -qq -o "$log" \
    -e trace=socket,connect,open,openat,creat,mkdir,mkdirat,rename,renameat,renameat2,unlink,unlinkat,truncate,symlink,symlinkat,link,linkat \
    "$program" >"$work/kovalt.log" 2>&1 &
game=$!
xsession_track "$game"
xsession_window '^Kovalt$'
# Until the audio thread has asked the sound library for a server, nothing is exercised yet.
for _ in $(seq 100); do grep -q 'connect(.*pulse' "$log" && break; sleep 0.1; done

# A press on the board before any match: the 禁止 sound and a box, answered with Return.
xdotool mousemove $((wx + 150)) $((wy + 19 + 150)) click 1
sleep 0.5
xdotool key Return
sleep 0.5
# 対局, then its last item 終わり.
xdotool mousemove $((wx + 22)) $((wy + 9)) click 1
sleep 0.5
xsession_popup kovalt || { echo "the 対局 menu did not open"; exit 1; }
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 12)) click 1
for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$game" 2>/dev/null; then
    echo "the program did not end on 終わり"
    exit 1
fi
wait "$game" || { echo "the program ended with a failure"; cat "$work/kovalt.log"; exit 1; }

fail=0
if ! grep -q -E 'connect\(.*pulse' "$log"; then
    echo "the sound library was never asked for a server: nothing was checked"
    fail=1
fi
if grep -E 'socket\((AF_INET|AF_INET6|AF_PACKET)' "$log"; then
    echo "a network socket was opened"
    fail=1
fi
user="$(id -un)"
q() { printf '%s' "$1" | sed 's/[][\.*^$/]/\\&/g'; }
allowed="^\"($(q "$home")/\.config|$(q "$home")/\.config/pulse|$(q "$home")/\.config/pulse/[0-9a-f]+-runtime|/tmp/pulse-[A-Za-z0-9]+|/tmp/runtime-$(q "$user"))\""
# Every successful call that makes, writes, moves or removes a file, by its path.
made="$(grep -E '(mkdir|mkdirat|creat|rename|renameat2?|unlink|unlinkat|truncate|link|linkat)\(|open(at)?\(.*(O_WRONLY|O_RDWR|O_CREAT)|symlink(at)?\(' "$log" |
    grep -v -E '= -1 ' | grep -v -E '"/dev/' || true)"
while IFS= read -r line; do
    [ -n "$line" ] || continue
    # The path made: the last quoted argument of a link, the first of anything else.
    if [[ "$line" =~ symlink ]]; then
        path="$(grep -o -E '"[^"]*"' <<<"$line" | tail -n 1)"
    else
        path="$(grep -o -E '"[^"]*"' <<<"$line" | head -n 1)"
    fi
    if ! grep -q -E "$allowed" <<<"$path"; then
        echo "not allowed: $line"
        fail=1
    fi
done <<<"$made"
# And nothing else in the home folder afterwards.
while IFS= read -r path; do
    case "${path#"$home"}" in
    "" | /.config | /.config/pulse) ;;
    /.config/pulse/*-runtime) ;;
    *)
        echo "left in the home folder: $path"
        fail=1
        ;;
    esac
done < <(find "$home")
echo "checked $(wc -l <"$log") system calls"
[ "$fail" -eq 0 ]

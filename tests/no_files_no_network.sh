#!/usr/bin/env bash
# Starts the game to its first shown window under strace and checks that it opens no
# network connection and writes no file. Local sockets (the X server) are allowed. The sound
# starts only after the first paint, so nothing of the sound client's is made either.
set -euo pipefail
probe="$1"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
strace -f -qq -e trace=socket,connect,open,openat,creat,mkdir,rename,unlink,truncate \
    -o "$log" "$probe" >/dev/null 2>&1

fail=0
if grep -E 'socket\((AF_INET|AF_INET6|AF_PACKET)' "$log"; then
    echo "a network socket was opened"
    fail=1
fi
# Opens for writing that succeeded, other than devices.
if grep -E 'open(at)?\(.*(O_WRONLY|O_RDWR|O_CREAT)' "$log" | grep -v -E '= -1 |"/dev/'; then
    echo "a file was opened for writing"
    fail=1
fi
if grep -E '^[0-9]+ (creat|rename|unlink|truncate)\(' "$log" | grep -v '= -1 '; then
    echo "a file was created, renamed or removed"
    fail=1
fi
if grep -E '^[0-9]+ mkdir\(' "$log" | grep -v '= -1 '; then
    echo "a folder was created"
    fail=1
fi
lines=$(wc -l <"$log")
echo "checked $lines system calls"
[ "$lines" -gt 0 ] && [ "$fail" -eq 0 ]

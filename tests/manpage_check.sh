#!/usr/bin/env bash
# The manual page must format without a single warning, in a UTF-8 terminal and in a plain
# ASCII one:  manpage_check.sh <page>
set -euo pipefail
page="$1"
messages="$(
    groff -ww -man -z "$page" 2>&1
    LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null
    LC_ALL=C man --warnings -l "$page" 2>&1 >/dev/null
)"
if [ -n "$messages" ]; then
    echo "$messages"
    exit 1
fi

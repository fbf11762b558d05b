#!/usr/bin/env bash
# Checks that a built program carries the hardening of Debian's build flags:
#   hardening_check.sh <program> <fortify: yes|no>
# (an unoptimised build cannot be fortified, so the last check is optional).
set -euo pipefail
program="$1"
fortify="$2"
fail=0
no() {
    echo "$program: $*"
    fail=1
}

readelf -hW "$program" | grep -Eq 'Type:[[:space:]]+DYN' || no "not a position-independent executable"
dynamic="$(readelf -dW "$program")"
grep -Eq '\(FLAGS_1\).*\bPIE\b' <<<"$dynamic" || no "no PIE flag"
grep -Eq '\(FLAGS\).*\bBIND_NOW\b|\(BIND_NOW\)|\(FLAGS_1\).*\bNOW\b' <<<"$dynamic" ||
    no "not linked with -z now"
readelf -lW "$program" | grep -q 'GNU_RELRO' || no "no read-only relocations (-z relro)"
symbols="$(readelf --dyn-syms -W "$program")"
grep -q '__stack_chk_fail' <<<"$symbols" || no "no stack protector"
if [ "$fortify" = yes ]; then
    grep -Eq '__[a-z0-9_]+_chk(@|$| )' <<<"$(grep -v __stack_chk_fail <<<"$symbols")" ||
        no "no fortified functions (_FORTIFY_SOURCE)"
fi
exit "$fail"

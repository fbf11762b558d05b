#!/usr/bin/env bash
# Start-up of the game against a bare Qt window of the same outer size, on a private Xvfb.
# Usage: bench/startup.sh [build-dir] [runs]    (defaults: build, 11)
#   first drawing   launch to the first drawing the X server makes for the program, timed from
#                   outside by bench/kovalt_first_drawing: the real `kovalt` and the anchor
#   time, memory    /usr/bin/time -f "%e %M" of programs that quit at their first paint:
#                   tests/kovalt_startup_probe (main as it is) and bench/kovalt_startup_anchor,
#                   on Xvfb (xcb) and offscreen
# Runs alternate between the two programs; medians are printed, with the game/anchor ratio.
set -euo pipefail
source "$(dirname "$0")/../tests/xsession.sh"
build="$(realpath "${1:-build}")"
runs="${2:-11}"
xsession_need "$build"/{bench/kovalt_startup_anchor,tests/kovalt_startup_probe,kovalt,bench/kovalt_first_drawing}
anchor="$build/bench/kovalt_startup_anchor"
probe="$build/tests/kovalt_startup_probe"
game="$build/kovalt"
watch="$build/bench/kovalt_first_drawing"

work="$(xsession_temp)"
export XDG_RUNTIME_DIR="$work/runtime"
xsession_start

# Wall time in ms (finer than /usr/bin/time's 10 ms steps) and peak resident KB of one run.
timed() { # log-prefix command...
    local prefix="$1"
    shift
    local start end
    start=$(date +%s%N)
    /usr/bin/time -o "$work/time" -f "%e %M" "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    read -r seconds kb <"$work/time"
    echo "$prefix $(((end - start) / 1000)) $seconds $kb" >>"$work/log"
}

for i in $(seq "$runs"); do
    for who in anchor game; do
        if [ "$who" = anchor ]; then shown="$anchor" probed="$anchor"; else shown="$game" probed="$probe"; fi
        first=$("$watch" "$shown" 2>/dev/null | cut -d' ' -f1)
        echo "$who-draw $first" >>"$work/log"
        timed "$who-xcb" "$probed"
        QT_QPA_PLATFORM=offscreen timed "$who-offscreen" "$probed"
    done
done

median() { # key field
    awk -v k="$1" -v f="$2" '$1 == k { print $f }' "$work/log" | sort -g |
        awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
row() { # title key field scale unit
    local a g
    a=$(median "anchor-$2" "$3")
    g=$(median "game-$2" "$3")
    awk -v t="$1" -v a="$a" -v g="$g" -v s="$4" -v u="$5" \
        'BEGIN { printf "| %s | %.1f %s | %.1f %s | %.2f |\n", t, a / s, u, g / s, u, g / a }'
}
echo "$runs alternating runs each, medians, on $DISPLAY (Xvfb) and offscreen"
echo "| What | bare Qt window | Kovalt | ratio |"
echo "|---|---|---|---|"
row "Xvfb: launch to first drawing (X client, DAMAGE)" draw 2 1 ms
row "Xvfb: launch to exit at first paint (wall)" xcb 2 1000 ms
row "Xvfb: /usr/bin/time %e" xcb 3 0.001 ms
row "Xvfb: peak memory (%M)" xcb 4 1024 MB
row "offscreen: launch to exit at first paint (wall)" offscreen 2 1000 ms
row "offscreen: /usr/bin/time %e" offscreen 3 0.001 ms
row "offscreen: peak memory (%M)" offscreen 4 1024 MB

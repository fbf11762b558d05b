#!/usr/bin/env bash
# How fast the real program answers, on Xvfb, with each kind of sound server: none, one that
# accepts and never answers (silent), one that sends garbage, one that hangs up at once, and
# "existing" (whatever server $XDG_RUNTIME_DIR already holds). Per run it times, from outside,
# five refused presses (press, 禁止 sound, box shown) and then 対局 > 終わり (release of the
# click to the end of the process). Prints the median and the worst of each, in ms.
# Usage: scripts/measure-sound.sh [build-dir] [runs]   (MODES="none silent" to choose)
set -euo pipefail
source "$(dirname "$0")/../tests/xsession.sh"
build="$(realpath "${1:-build}")"
runs="${2:-5}"
modes="${MODES:-none silent garbage closing}"
xsession_need "$build"/{kovalt,tests/kovalt_click_clock,tests/kovalt_fake_sound_server}
program="$build/kovalt"
clock="$build/tests/kovalt_click_clock"
fake="$build/tests/kovalt_fake_sound_server"
work="$(xsession_temp)"
# The caller's runtime folder stays visible to the "existing" mode.
existing_runtime="${XDG_RUNTIME_DIR:-}"
xsession_start

stats() { # label, then numbers
    local label="$1"
    shift
    printf '%s\n' "$@" | sort -n | awk -v label="$label" '
        { v[NR] = $1 } END {
            m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%-34s n=%-3d median %7.1f ms   worst %7.1f ms\n", label, NR, m, v[NR] }'
}

for mode in $modes; do
    boxes=()
    quits=()
    for run in $(seq "$runs"); do
        runtime="$work/runtime-$mode-$run"
        mkdir -m 700 -p "$runtime"
        server=""
        if [ "$mode" = existing ]; then
            runtime="${existing_runtime:?existing needs XDG_RUNTIME_DIR}"
        elif [ "$mode" != none ]; then
            XDG_RUNTIME_DIR="$runtime" "$fake" "$mode" >/dev/null &
            server=$!
            xsession_track "$server"
            for _ in $(seq 50); do [ -S "$runtime/pulse/native" ] && break; sleep 0.05; done
        fi
        XDG_RUNTIME_DIR="$runtime" "$program" >"$work/kovalt.log" 2>&1 &
        game=$!
        xsession_track "$game"
        xsession_window '^Kovalt$'
        sleep 1 # the audio thread is inside the sound library by now
        for i in 1 2 3 4 5; do
            boxes+=("$("$clock" box $((wx + 100 + 33 * i)) $((wy + 150)))")
            sleep 0.3
            xdotool key Return
            sleep 0.3
        done
        xdotool mousemove $((wx + 22)) $((wy + 9)) click 1
        sleep 0.5
        xsession_popup kovalt
        quits+=("$("$clock" exit "$game" $((X + WIDTH / 2)) $((Y + HEIGHT - 12)))")
        wait "$game" || true
        [ -n "$server" ] && kill "$server" && wait "$server" 2>/dev/null || true
    done
    stats "$mode: press to box shown" "${boxes[@]}"
    stats "$mode: 終わり to process ended" "${quits[@]}"
done

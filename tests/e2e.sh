#!/usr/bin/env bash
# End to end on a real X server: starts the built program under Xvfb, drives its menu bar and
# board with real mouse events, answers its message boxes, plays a match against the computer
# to its end, and checks screenshots on the way. With --wm it runs under the openbox window
# manager and also checks where the frame lands. The buttons of the Yes/No box are read from the
# accessibility bus, as a screen reader would read them. The program's output must hold no
# sanitizer report. Usage: tests/e2e.sh [--wm] path/to/kovalt
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
source "$here/xsession.sh"
wm=""
if [ "${1:-}" = "--wm" ]; then
    wm=yes
    shift
fi

# The checks compare UTF-8 titles and texts: the tools run in a UTF-8 locale whatever the
# caller's (the program itself runs in the C locale, below).
export LC_ALL=C.UTF-8
program="$(realpath "${1:-build/kovalt}")"
work="$(xsession_temp)"
shots="${KOVALT_E2E_SHOTS:-$work}"
mkdir -p "$shots"
log="$work/kovalt.log"
# A private X server (window manager, accessibility bus) of its own, then the checks.
xsession_start ${wm:+--wm} --a11y

passed=0
failed=0
check() { # description, then a command that must succeed
    local what="$1"
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "ok: $what"
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
    fi
}

# Qt's own texts must be Japanese whatever the locale.
LANG=C LC_ALL=C "$program" >"$log" 2>&1 &
game=$!
xsession_track "$game"
win="$(timeout 30 xdotool search --sync --onlyvisible --name '^Kovalt$' | head -n 1)" || true
if [ -z "$win" ]; then
    # Nothing further can be checked (and xwininfo would wait for a click on some window).
    echo "FAILED: the window appears"
    sed 's/^/  /' "$log"
    exit 1
fi
sleep 0.5
# Where a window's client area is on the screen, as "x y width height" (xdotool's own
# figures are off by the frame under a window manager).
geometry() {
    timeout 10 xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}
read -r wx wy WIDTH HEIGHT <<<"$(geometry "$win")"
menubar=19

if [ -n "$wm" ]; then
    # The whole frame, title bar included, starts at the available area's top-left corner.
    read -r areax areay _ <<<"$(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g')"
    read -r left _ top _ <<<"$(xprop -id "$win" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
    check "the frame is at the available area's corner ($((wx - left)),$((wy - top)))" \
        test $((wx - left)) -eq "$areax" -a $((wy - top)) -eq "$areay"
    check "the title bar is there" test "$top" -gt 0
fi

shot() { import -window root -crop "${WIDTH}x${HEIGHT}+${wx}+${wy}" +repage "$shots/$1.png"; }

# Centre of a grid cell in screen pixels.
cellx() { echo $((wx + (700 * 2 + (2 * $1 + 1) * 495) / 30)); }
celly() { echo $((wy + menubar + (100 * 2 + (2 * $1 + 1) * 615) / 30)); }

# Mean of the blue channel (0..255) and the spread of a cell's middle, from a screenshot.
cellstats() { # shot gx gy
    local x=$(((700 * 2 + (2 * $2 + 1) * 495) / 30 - 10))
    local y=$((menubar + (100 * 2 + (2 * $3 + 1) * 615) / 30 - 12))
    convert "$shots/$1.png" -crop "20x24+$x+$y" +repage \
        -format '%[fx:int(255*mean.b)] %[fx:int(255*standard_deviation)]' info:
}
is_free() { read -r blue spread <<<"$(cellstats "$@")"; [ "$blue" -gt 120 ] && [ "$spread" -lt 25 ]; }
is_covered() { read -r blue spread <<<"$(cellstats "$@")"; [ "$blue" -lt 100 ] && [ "$spread" -lt 25 ]; }
is_piece() { read -r _ spread <<<"$(cellstats "$@")"; [ "$spread" -ge 25 ]; }

not() { ! "$@"; }

click_at() { xdotool mousemove "$1" "$2" sleep 0.05 click "${3:-1}"; sleep 0.15; }

# The newest visible popup menu of the program, as "x y width height".
popup() {
    local w
    for w in $(xdotool search --onlyvisible --class kovalt); do
        [ "$w" = "$win" ] && continue
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ "$(xdotool getwindowname "$w")" = "Kovalt" ] || continue
        echo "$X $Y $WIDTH $HEIGHT"
    done | sort -n | tail -n 1
    eval "$(xdotool getwindowgeometry --shell "$win")"
}

# Opens the menu bar entry at x, then item i (0-based, of n), then optionally item j of m
# of its submenu.
menu() { # x i n [j m]
    click_at $((wx + $1)) $((wy + 9))
    read -r px py pw ph <<<"$(popup)"
    local iy=$((py + 4 + (ph - 8) * (2 * $2 + 1) / (2 * $3)))
    if [ $# -ge 5 ]; then
        xdotool mousemove $((px + pw / 2)) "$iy"
        sleep 0.4
        read -r sx sy sw sh <<<"$(popup)"
        click_at $((sx + sw / 2)) $((sy + 4 + (sh - 8) * (2 * $4 + 1) / (2 * $5)))
    else
        click_at $((px + pw / 2)) "$iy"
    fi
}

# The program's visible windows with this title. The UTF-8 title is read, since under an
# ASCII locale Qt's legacy title property cannot hold Japanese.
named() { # title
    local w
    for w in $(xdotool search --onlyvisible --class kovalt 2>/dev/null); do
        [ "$(xprop -id "$w" _NET_WM_NAME 2>/dev/null | sed -n 's/^[^=]*= "\(.*\)"$/\1/p')" = "$1" ] &&
            echo "$w"
    done
    return 0
}
wait_named() { # title seconds: the first such window, waiting for it
    local w
    for _ in $(seq $(($2 * 10))); do
        w="$(named "$1" | head -n 1)"
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits for the message box with this title and answers it with its default button.
answer() { # title
    local box
    box="$(wait_named "$1" 10)" || return 1
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    sleep 0.1
    xdotool key --clearmodifiers Return
    sleep 0.3
}

box_text_seen() { # title: a box with this title is showing
    [ -n "$(named "$1")" ]
}

# The push buttons of the program's box with this title, one a line, as the accessibility
# bus shows them. Bounded: a stuck bus gives no buttons rather than a hung test.
box_buttons() { # title
    timeout -k 1 20 /usr/bin/python3 "$here/box_buttons.py" "$game" "$1" 10 2>>"$work/atspi.log" ||
        { sed 's/^/  /' "$work/atspi.log" >&2; return 0; }
}

# Exactly two buttons, はい and いいえ in either order (the layout is the style's choice), each
# maybe with its mnemonic letter as Qt shows it.
reads_yes_no_in_japanese() { # button names...
    [ $# -eq 2 ] || return 1
    local name yes="" no=""
    for name; do
        [[ "$name" =~ ^はい(\(Y\))?$ ]] && yes=1
        [[ "$name" =~ ^いいえ(\(N\))?$ ]] && no=1
    done
    [ -n "$yes" ] && [ -n "$no" ]
}

# The first screen.
shot first
check "first screen: empty board square" is_free first 5 5
check "first screen: pieces in both hands" is_piece first 11 2
check "first screen: left hand king" is_piece first -1 1

# A press before any match is refused with a box titled 開始.
click_at "$(cellx 5)" "$(celly 5)"
check "a press outside a match is refused" answer "開始"

# 対局 > 対局(COM) > 先手.
menu 22 1 4 0 2
check "the match against the computer starts" answer " "

moves=0
ended=""
for _ in $(seq 25); do
    shot "move-$moves"
    target=""
    for gx in 5 4 6 3 7 2 8 1 9; do
        for gy in 5 4 6 3 7 2 8 1 9; do
            if is_free "move-$moves" "$gx" "$gy"; then
                target="$gx $gy"
                break 2
            fi
        done
    done
    [ -n "$target" ] || break
    slot=""
    for s in 8 7 6 5 4 3 2 1; do
        if is_piece "move-$moves" 11 $((s + 1)); then
            slot=$s
            break
        fi
    done
    [ -n "$slot" ] || break
    read -r tx ty <<<"$target"
    click_at "$(cellx 11)" "$(celly $((slot + 1)))"
    click_at "$(cellx "$tx")" "$(celly "$ty")"
    moves=$((moves + 1))
    sleep 0.2
    if wait_named "終了" 3 >/dev/null; then
        ended=yes
        break
    fi
done
check "the match reached its end after $moves drops" test -n "$ended"
shot end
check "the end of the match is announced" answer "終了"
check "the program asks to play again" box_text_seen "再ゲーム"
sleep 0.5
again_box="$(named "再ゲーム" | head -n 1)"
if [ -n "$again_box" ]; then
    read -r bx by bw bh <<<"$(geometry "$again_box")"
    import -window root -crop "${bw}x${bh}+${bx}+${by}" +repage "$shots/again-box.png"
fi
# Qt's own button texts come from its Japanese translation, whatever the locale.
mapfile -t again_buttons < <(box_buttons "再ゲーム")
check "the 再ゲーム box's buttons read はい and いいえ (${again_buttons[*]:-none found})" \
    reads_yes_no_in_japanese "${again_buttons[@]}"
answer "再ゲーム"
sleep 0.3
shot again
check "Yes starts again on an empty board" is_free again 5 5
check "Yes brings the hands back" is_piece again 11 9

# 戻 on a fresh game is refused.
click_at $((wx + 90)) $((wy + 9))
check "戻 with nothing to take back is refused" answer "戻る"

# 対局 > 終わり ends the program.
menu 22 3 4
for _ in $(seq 30); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$game" 2>/dev/null; then
    check "終わり ends the program" false
else
    wait "$game" && status=0 || status=$?
    check "終わり ends the program" test "$status" -eq 0
fi

check "no sanitizer report in the program's output" \
    not grep -q -E 'AddressSanitizer|LeakSanitizer|runtime error:' "$log"

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

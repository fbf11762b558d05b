#!/usr/bin/env bash
# The program's command line and its start without a display, checked on the built program.
# Usage: tests/command_line.sh path/to/kovalt CASE, CASE one of
#   help         -h, --help, -help and --help-all print the usage and end with 0, no display
#   version      -v and --version print the version and end with 0, no display
#   bad          unknown options, arguments and missing values: an error, the usage, 2
#   no-display   no X server or Wayland compositor: one line on standard error, 1, no core
#   no-plugin    a window system without its Qt plugin, or no window system at all: one line
#                that names it, 1
#   qt-options   Qt's own options reach Qt (on Xvfb; the window shows the title asked for)
#   offscreen    -platform offscreen starts the game without any display
set -uo pipefail
source "$(dirname "$0")/xsession.sh"
program="$(realpath "$1")"
case_name="$2"
work="$(xsession_temp)"
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# Runs the program with no window system in reach, plus the settings in extra_env; sets
# status, out and err. Core files are allowed, so that an abort would leave one.
extra_env=()
run_without_display() {
    (
        cd "$work" || exit 99
        ulimit -c unlimited 2>/dev/null
        # As in any session (the Wayland library writes its own line without one).
        mkdir -p -m 700 "$work/runtime"
        export XDG_RUNTIME_DIR="$work/runtime"
        exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE \
            "${extra_env[@]}" timeout 60 "$program" "$@" >"$work/out" 2>"$work/err"
    )
    status=$?
    out="$(cat "$work/out")"
    err="$(cat "$work/err")"
}

program_name="$(basename "$program")"
wayland_plugin=no
ls "$(qtpaths6 --query QT_INSTALL_PLUGINS)"/platforms/*wayland* >/dev/null 2>&1 && wayland_plugin=yes

case "$case_name" in
help)
    for option in -h --help -help --help-all; do
        run_without_display "$option"
        [ "$status" -eq 0 ] || fail "$option: status $status, expected 0 ($err)"
        [ -z "$err" ] || fail "$option: printed on standard error: $err"
        [ "$(head -n 1 <<<"$out")" = "Usage: $program_name [options]" ] ||
            fail "$option: first line is '$(head -n 1 <<<"$out")'"
        grep -q -- '--version' <<<"$out" || fail "$option: --version is not listed"
        grep -q 'X11 or Wayland' <<<"$out" || fail "$option: the need of a display is not said"
    done
    run_without_display --help
    grep -q -- '--platform <' <<<"$out" && fail "--help lists Qt's options"
    run_without_display --help-all
    for qt in --platform --display --style --stylesheet --reverse --qwindowgeometry; do
        grep -q -- "$qt " <<<"$out" || fail "--help-all does not list $qt"
    done
    ;;
version)
    for option in -v --version; do
        run_without_display "$option"
        [ "$status" -eq 0 ] || fail "$option: status $status, expected 0 ($err)"
        [ -z "$err" ] || fail "$option: printed on standard error: $err"
        grep -qxE 'Kovalt [0-9]+\.[0-9]+\.[0-9]+' <<<"$out" || fail "$option: printed '$out'"
    done
    ;;
bad)
    for args in "--bogus" "-x" "stray" "-- stray" "-platform" "--help extra" \
        "-display=:5" "--version=3"; do
        # shellcheck disable=SC2086
        run_without_display $args
        [ "$status" -eq 2 ] || fail "'$args': status $status, expected 2"
        [ -z "$out" ] || fail "'$args': printed on standard output: $out"
        grep -q "^$program_name: " <<<"$err" || fail "'$args': no error line: $err"
        grep -qx "Usage: $program_name \[options\]" <<<"$err" || fail "'$args': no usage: $err"
    done
    ;;
no-display)
    # Nothing listens on this display number.
    missing=":$((59000 + RANDOM % 500))"
    settings=(none "DISPLAY=$missing" "-display $missing")
    # Without Qt's Wayland plugin, that is what is missing (the no-plugin case).
    [ "$wayland_plugin" = yes ] && settings+=("WAYLAND_DISPLAY=nowhere-$$")
    for setting in "${settings[@]}"; do
        extra_env=()
        case "$setting" in
        none) run_without_display ;;
        -display*) run_without_display -display "$missing" ;;
        *) extra_env=("$setting") && run_without_display ;;
        esac
        [ "$status" -eq 1 ] || fail "$setting: status $status, expected 1"
        lines=$(printf '%s\n' "$err" | grep -c .)
        [ "$lines" -eq 1 ] || fail "$setting: $lines lines on standard error, expected one: $err"
        grep -q "^$program_name: .*X11 or Wayland" <<<"$err" || fail "$setting: said '$err'"
        if ls "$work"/core* >/dev/null 2>&1; then
            fail "$setting: left a core file"
            rm -f "$work"/core*
        fi
    done
    ;;
no-plugin)
    # A compositor may be running: the plugin is what is missing, not the display.
    checks=("QT_QPA_PLATFORM=nosuch-$$|QT_QPA_PLATFORM 'nosuch-$$' names no window system"
        "-platform nosuch|-platform 'nosuch' names no window system"
        "-platform directfb|'directfb' is not installed")
    if [ "$wayland_plugin" = no ]; then
        checks+=("WAYLAND_DISPLAY=wayland-$$|'wayland' is not installed (Debian package qt6-wayland)")
    fi
    for check in "${checks[@]}"; do
        setting="${check%%|*}"
        extra_env=()
        case "$setting" in
        -platform*) run_without_display -platform "${setting#-platform }" ;;
        *) extra_env=("$setting") && run_without_display ;;
        esac
        [ "$status" -eq 1 ] || fail "$setting: status $status, expected 1"
        [ "$(printf '%s\n' "$err" | grep -c .)" -eq 1 ] || fail "$setting: not one line: $err"
        grep -qF -- "${check#*|}" <<<"$err" || fail "$setting: said '$err'"
    done
    ;;
qt-options)
    export XDG_RUNTIME_DIR="$work/runtime"
    xsession_start || exit 1
    display="$DISPLAY"
    n=0
    for form in single double; do
        n=$((n + 1))
        title="KovaltOptionsTest$n"
        if [ "$form" = single ]; then
            args=(-platform xcb -display "$display" -qwindowtitle "$title" -style fusion
                -stylesheet /dev/null -reverse -qwindowgeometry 559x499+5+5 -name kovalt-test
                -nograb)
        else
            args=(--platform xcb --display "$display" --qwindowtitle "$title" --style=fusion
                --stylesheet=/dev/null --reverse --qwindowgeometry 559x499+5+5 --name kovalt-test
                -style=fusion)
        fi
        env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
            "$program" "${args[@]}" >"$work/out" 2>"$work/err" &
        pid=$!
        xsession_track "$pid"
        # The title given on the command line proves that Qt got the options.
        if ! DISPLAY="$display" timeout 30 xdotool search --sync --name "^$title\$" >/dev/null; then
            fail "$form-dash options: no window titled $title ($(cat "$work/err"))"
        fi
        kill -0 "$pid" 2>/dev/null || fail "$form-dash options: the program ended"
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    ;;
offscreen)
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
        "$program" -platform offscreen >"$work/out" 2>"$work/err" &
    pid=$!
    xsession_track "$pid"
    loaded=""
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || break
        if grep -q 'libqoffscreen' "/proc/$pid/maps" 2>/dev/null; then
            loaded=yes
            break
        fi
        sleep 0.1
    done
    [ -n "$loaded" ] || fail "-platform offscreen: the offscreen platform was not started ($(cat "$work/err"))"
    ;;
*)
    echo "unknown case $case_name"
    exit 1
    ;;
esac

[ "$failures" -eq 0 ] && echo "$case_name: ok"
[ "$failures" -eq 0 ]

#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree, checks it with lintian, and,
# when run as root, installs it, checks the installed files, starts the game on a virtual X
# server, purges it and checks that nothing is left behind.
#   scripts/package-check.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/xsession.sh
build="$(realpath "${1:-build}")"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
[ -n "$version" ] || { echo "package-check: $build is not a configured build"; exit 1; }

rm -f "$build"/kovalt_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/kovalt_*.deb)"
echo "package-check: $deb"

# Errors and warnings fail; pedantic and info tags are only shown.
lintian --pedantic --info --fail-on error,warning "$deb" ||
    { echo "package-check: lintian found errors or warnings"; exit 1; }

files=(
    /usr/games/kovalt
    "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/kovalt/kovalt_sound.so"
    /usr/share/applications/org.kovalt.Kovalt.desktop
    /usr/share/metainfo/org.kovalt.Kovalt.metainfo.xml
    /usr/share/icons/hicolor/32x32/apps/org.kovalt.Kovalt.png
    /usr/share/icons/hicolor/48x48/apps/org.kovalt.Kovalt.png
    /usr/share/icons/hicolor/64x64/apps/org.kovalt.Kovalt.png
    /usr/share/icons/hicolor/128x128/apps/org.kovalt.Kovalt.png
    /usr/share/icons/hicolor/256x256/apps/org.kovalt.Kovalt.png
    /usr/share/icons/hicolor/scalable/apps/org.kovalt.Kovalt.svg
    /usr/share/man/man6/kovalt.6.gz
    /usr/share/doc/kovalt/copyright
    /usr/share/doc/kovalt/changelog.gz
    /usr/share/doc/kovalt/how-to-play.md
)
contents="$(dpkg-deb --fsys-tarfile "$deb" | tar -t)"
for f in "${files[@]}"; do
    grep -qx ".$f" <<<"$contents" || { echo "package-check: $f is not in the package"; exit 1; }
done

if [ "$(id -u)" -ne 0 ]; then
    echo "package-check: not root, skipping the installation test"
    exit 0
fi
if dpkg-query -W -f='${Status}' kovalt 2>/dev/null | grep -q 'ok installed'; then
    echo "package-check: kovalt is already installed here, skipping the installation test"
    exit 0
fi

work="$(xsession_temp)"
installed=0
purge() {
    if [ "$installed" -eq 1 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=300 kovalt >/dev/null || true
    fi
}
xsession_at_exit purge
fail() {
    echo "package-check: $*"
    exit 1
}
apt() {
    DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@" >"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log"; fail "apt-get $* failed"; }
}

installed=1
apt install --no-install-recommends "$deb"
dpkg -L kovalt >"$work/owned"
for f in "${files[@]}"; do
    [ -f "$f" ] || fail "$f was not installed"
done
out="$(timeout 20 /usr/games/kovalt --version 2>&1)" || fail "/usr/games/kovalt --version failed: $out"
grep -q "$version" <<<"$out" || fail "/usr/games/kovalt --version does not say $version: $out"
desktop-file-validate /usr/share/applications/org.kovalt.Kovalt.desktop || fail "installed desktop entry"
grep -qx 'Exec=/usr/games/kovalt' /usr/share/applications/org.kovalt.Kovalt.desktop ||
    fail "the desktop entry does not start /usr/games/kovalt"
[ "$(man -w kovalt)" = /usr/share/man/man6/kovalt.6.gz ] || fail "man does not find the manual page"
zcat /usr/share/doc/kovalt/changelog.gz | dpkg-parsechangelog -l - -S Version | grep -qx "$version" ||
    fail "the changelog's latest entry is not $version"

# The installed game opens its window on a real (virtual) X server.
export XDG_RUNTIME_DIR="$work/runtime"
xsession_start || fail "no X session"
/usr/games/kovalt >"$work/game.log" 2>&1 &
game=$!
xsession_track "$game"
window="$(timeout 30 xdotool search --sync --onlyvisible --class kovalt 2>/dev/null | head -1)" ||
    { cat "$work/game.log"; fail "the installed game showed no window"; }
name="$(xdotool getwindowname "$window")"
[ -n "$name" ] || fail "the game's window has no title"
import -window root "$work/screen.png"
colours="$(convert "$work/screen.png" -format '%k' info:)"
[ "$colours" -gt 16 ] || fail "the screen shows no game picture ($colours colours)"
echo "package-check: the installed game shows its window \"$name\""
# The audio thread loads the sound module once the window is up.
sleep 1
if grep -q "sound module" "$work/game.log"; then
    cat "$work/game.log"
    fail "the installed game did not find its sound module"
fi
kill "$game"
wait "$game" 2>/dev/null || true

apt purge kovalt
installed=0
dpkg-query -W -f='${Status}' kovalt 2>/dev/null | grep -q 'ok installed' && fail "kovalt is still installed"
left=0
while read -r path; do
    # Shared folders such as /usr/share stay; everything the package alone owned must go.
    if [ -e "$path" ] && { [ ! -d "$path" ] || [ -z "$(dpkg -S "$path" 2>/dev/null)" ]; }; then
        echo "package-check: left behind: $path"
        left=1
    fi
done <"$work/owned"
[ "$left" -eq 0 ] || fail "the purge left files behind"
echo "package-check: installed, started, purged: all clean"

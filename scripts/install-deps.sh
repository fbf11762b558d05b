#!/usr/bin/env bash
# Installs the Debian 12 packages Kovalt needs (only those missing).
#   scripts/install-deps.sh run    what building and playing needs (the default)
#   scripts/install-deps.sh test   that plus everything the tests, benchmarks and packaging use
# One package per line, so additions merge cleanly.
set -euo pipefail

run_packages=(
    build-essential
    cmake
    pkg-config
    qt6-base-dev
    qt6-multimedia-dev
    libgl-dev
    libxcb1-dev
    fonts-ipafont-mincho
    qt6-translations-l10n
    file
)

test_packages=(
    libgtest-dev
    libbenchmark-dev
    xvfb
    xauth
    xdotool
    imagemagick
    desktop-file-utils
    appstream
    dpkg-dev
    strace
    at-spi2-core
    dbus-daemon
    openbox
    libxtst-dev
    libxdamage-dev
    lintian
    librsvg2-bin
    man-db
    dbus-bin
    python3-gi
    pulseaudio
    pulseaudio-utils
    gir1.2-atspi-2.0
    weston
    qt6-wayland
    orca
    xclip
)

usage() {
    echo "usage: $0 [run|test]" >&2
    exit 2
}

[ $# -le 1 ] || usage
case "${1:-run}" in
    run) packages=("${run_packages[@]}") ;;
    test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
    *) usage ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

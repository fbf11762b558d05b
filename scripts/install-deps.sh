#!/usr/bin/env bash
# Installs the Debian 12 packages Kovalt needs to build, run and test (only those missing).
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-multimedia-dev libgl-dev
    fonts-ipafont-mincho
    libgtest-dev libbenchmark-dev
    xvfb xauth xdotool imagemagick
    desktop-file-utils appstream dpkg-dev file strace
)

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

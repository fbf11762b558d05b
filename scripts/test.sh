#!/usr/bin/env bash
# Installs what is missing, builds Kovalt and runs every test: once in a plain build and once
# under AddressSanitizer and UndefinedBehaviorSanitizer, and checks the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/kovalt-runtime-$(id -u)}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
jobs="$(nproc)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVALT_TESTS=ON -DKOVALT_BENCH=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
scripts/package-check.sh build

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKOVALT_SANITIZE=ON -DKOVALT_BENCH=OFF
cmake --build build-sanitize -j"$jobs"
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
    ctest --test-dir build-sanitize --output-on-failure -j"$jobs"

# End to end: plain, under a window manager, and under the sanitizers with leak checking on
# (the system libraries' own leaks are suppressed in tests/lsan.supp). The Wayland run is among
# the ctest tests of both builds.
tests/e2e.sh build/kovalt
tests/e2e.sh --wm build/kovalt
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 tests/e2e.sh --wm build-sanitize/kovalt

#!/usr/bin/env bash
# Installs what is missing, builds Kovalt and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
# Playing needs neither the tests nor the benchmarks, nor their packages.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVALT_TESTS=OFF -DKOVALT_BENCH=OFF
cmake --build build -j"$(nproc)" --target kovalt
exec build/kovalt "$@"

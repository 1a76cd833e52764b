#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts Game of Life.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build/app -DCMAKE_BUILD_TYPE=Release -DGOL_BUILD_TESTS=OFF -DGOL_BUILD_BENCH=OFF >/dev/null
cmake --build build/app --target gameoflife -j"$(nproc)"
exec build/app/app/gameoflife "$@"

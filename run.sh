#!/usr/bin/env bash
# Installs what is missing, builds the release build and starts the game.
set -euo pipefail
cd "$(dirname "$0")"

tools/setup.sh build

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DZORVAK_BUILD_TESTS=OFF -DZORVAK_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target zorvak
exec "$build/game/zorvak" "$@"

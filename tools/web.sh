#!/usr/bin/env bash
# The game and the framework's examples as web pages (WebAssembly, built with Debian's Emscripten),
# tested under node and in headless Chromium.
#
# Usage: tools/web.sh [build|test]
#   build  (the default) builds the libraries from Debian's sources once (tools/deps.sh), the
#          project in build/web-cmake, and the pages in build/web: zorvak.html with its .js, .wasm
#          and zorvak.cfg, and examples/ with the examples' pages and data files
#   test   builds, then runs the unit tests under node and the pages in headless Chromium
# Serve build/web from any web server and open zorvak.html, for example:
#   python3 -m http.server --bind 127.0.0.1 8000 --directory build/web
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-build}
shift || true
[[ $mode == build || $mode == test ]] || { echo "usage: $0 [build|test] [ctest arguments]" >&2; exit 2; }

tools/setup.sh web
prefix=$(tools/deps.sh web | tail -n 1)
# emcc's JavaScript tools need Debian's node modules.
export NODE_PATH=/usr/share/nodejs

build=build/web-cmake
site=build/web
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/web.cmake" \
  -DZORVAK_DEPS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DZORVAK_WARNINGS_AS_ERRORS=ON \
  -DZORVAK_BUILD_BENCHMARKS=OFF
cmake --build "$build"

# The pages, each with its .js and .wasm and the files it fetches from beside itself.
rm -rf "$site"
mkdir -p "$site/examples"
cp "$build"/game/zorvak.{html,js,wasm} game/zorvak.cfg "$site/"
cp "$build"/examples/example_*.{html,js,wasm} "$site/examples/"
cp examples/data/* game/assets/b2.ttf game/assets/LICENSE-b2.txt "$site/examples/"
echo "Built $site/zorvak.html"

[[ $mode == test ]] || exit 0

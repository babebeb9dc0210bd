#!/usr/bin/env bash
# The game and the framework's examples as web pages (WebAssembly, built with Debian's Emscripten),
# tested under node and in headless Chromium.
#
# Usage: tools/web.sh [build|test]
#   build  (the default) builds the libraries from Debian's sources once (tools/deps.sh), the
#          project in build/web-cmake, and the pages in build/web: zorvak.html with its .js, .wasm
#          and zorvak.cfg, and examples/ with the examples' pages and data files
#   test   builds, then runs the unit tests under node and the pages in headless Chromium (the
#          game, the examples, and a page that plays a sound)
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

# The unit tests under node, in the same build.
tools/web-unit-tests.sh "$@"

# The pages in headless Chromium: the game beside the Linux build's first board, then the
# examples. The browser tooling comes from npm, the browser from Debian.
output=build/web-test-output
rm -rf "$output"
mkdir -p "$output"
linux=build/test
[[ -f $linux/build.ninja ]] || cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DZORVAK_SANITIZE=ON -DZORVAK_WARNINGS_AS_ERRORS=ON -DZORVAK_BUILD_BENCHMARKS=OFF
cmake --build "$linux" --target zorvak
source tools/sanitizer-env.sh
tools/linux-first-board.sh "$linux/game/zorvak" "$output/linux-board.png"
PUPPETEER_SKIP_DOWNLOAD=1 npm ci --prefix tests/web --no-audit --no-fund >/dev/null
node tests/web/browser_test.mjs "$site" "$output/linux-board.png" "$output"
node tests/web/browser_test.mjs --example "$site/examples" example_sprites.html example_text.html \
  example_files.html example_sound.html --out "$output"
# Sound, which a browser starts at the page's first click or key, from a test page of its own.
node tests/web/browser_test.mjs --audio "$build/tests/audio" web_audio_page.html

# What a player downloads, compressed as web servers send it.
for file in "$site"/zorvak.{wasm,js,html}; do
  echo "$(basename "$file"): $(stat -c %s "$file") bytes, $(gzip -9c "$file" | wc -c) gzip-compressed"
done

#!/usr/bin/env bash
# The unit tests built for the web (WebAssembly, with Debian's Emscripten) and run under node.
# Test programs that need a display, other processes or an install report themselves skipped,
# and so do single tests that a browser's runtime cannot run; each skip is listed with its reason.
#
# Usage: tools/web-unit-tests.sh [ctest arguments]   (for example -R TextStream)
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh web
prefix=$(tools/deps.sh web | tail -n 1)
# emcc's JavaScript tools need Debian's node modules.
export NODE_PATH=/usr/share/nodejs

# The build tools/web.sh makes the pages in, so that the libraries are compiled once.
build=build/web-cmake
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/web.cmake" \
  -DZORVAK_DEPS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DZORVAK_WARNINGS_AS_ERRORS=ON \
  -DZORVAK_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build"

status=0
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@" || status=$?

# The reasons are in the tests' output, which ctest keeps in its log: GoogleTest prints one on
# the line after "Skipped", a skipped program (qrv_skipped_test) after "skipped: ".
echo "Skipped under node:"
awk '/^[0-9]+\/[0-9]+ Testing: / { test = $3 }
     reason { print "  " test ": " $0; reason = 0 }
     /: Skipped$/ { reason = 1 }
     /^skipped: / { sub(/^skipped: /, ""); print "  " test ": " $0 }' \
  "$build/Testing/Temporary/LastTest.log" | sort -u
exit "$status"

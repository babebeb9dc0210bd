#!/usr/bin/env bash
# The game and the framework for 64-bit Windows, cross-built with MinGW-w64 and tested under Wine.
#
# Usage: tools/windows.sh [build|test]
#   build  (the default) builds the libraries from Debian's sources once (tools/deps.sh), the
#          project in build/windows, and the game's zip, build/windows/zorvak-windows.zip
#   test   builds, then runs the test suite under Wine on a virtual display (extra arguments go
#          to ctest) and the Windows game beside the Linux one
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-build}
shift || true
[[ $mode == build || $mode == test ]] || { echo "usage: $0 [build|test] [ctest arguments]" >&2; exit 2; }

tools/setup.sh windows
prefix=$(tools/deps.sh windows | tail -n 1)

build=build/windows
# Wine keeps its own C: drive inside the build, so nothing outside it is touched.
export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$build"
[[ -f $WINEPREFIX/system.reg ]] || DISPLAY= wineboot --init >/dev/null 2>&1 || true

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/windows.cmake" \
  -DZORVAK_DEPS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DZORVAK_WARNINGS_AS_ERRORS=ON \
  -DZORVAK_BUILD_BENCHMARKS=OFF
cmake --build "$build"

# The program may need only DLLs that every Windows has.
system_dlls=(advapi32 cfgmgr32 comdlg32 gdi32 imm32 kernel32 msvcrt ole32 oleaut32 opengl32 setupapi
  shell32 user32 version winmm ws2_32)
program=$build/game/zorvak.exe
for dll in $(x86_64-w64-mingw32-objdump -p "$program" | awk '/DLL Name:/ { print tolower($3) }'); do
  if [[ " ${system_dlls[*]} " != *" ${dll%.dll} "* ]]; then
    echo "$program needs $dll, which Windows does not ship" >&2
    exit 1
  fi
done

# The game's folder: the program, its settings, the README and the font licences.
rm -rf "$build/zip" "$build/zorvak-windows.zip"
cmake --install "$build" --component game --prefix "$build/zip/zorvak" >/dev/null
(cd "$build/zip" && zip -qr ../zorvak-windows.zip zorvak)
echo "Built $build/zorvak-windows.zip"

[[ $mode == test ]] || exit 0

# The framework installed for MinGW users, and an example built against that install alone.
rm -rf "$build/sdk" "$build/outside"
cmake --install "$build" --component framework --prefix "$PWD/$build/sdk" >/dev/null
cmake -S examples -B "$build/outside" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/windows.cmake" \
  -DZORVAK_DEPS_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$PWD/$build/sdk" >/dev/null
cmake --build "$build/outside" --target example_sprites >/dev/null
echo "Built $build/outside/example_sprites.exe against the installed framework"

source tools/virtual-display.sh
start_virtual_display
# One Wine server for the whole run, instead of one started and stopped for every test.
wineserver --persistent=600
trap 'wineserver --kill 2>/dev/null || true' EXIT

log=$build/ctest.log
status=0
# A Wine process now and then stays after its test has ended (the test's own output says it
# passed); such a test times out and gets a second run.
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --repeat until-pass:2 "$@" | tee "$log" ||
  status=$?
echo "Skipped under Wine, each with its reason in $log:"
grep -E '\(Skipped\)$' "$log" | sed 's/^/  /' || true
echo "$(grep -cE '\(Skipped\)$' "$log" || true) tests skipped"
[[ $status -eq 0 ]] || exit "$status"

# The Windows game beside the Linux one, driven from Linux as a player's desktop would.
linux=build/test
[[ -f $linux/build.ninja ]] || cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DZORVAK_SANITIZE=ON -DZORVAK_WARNINGS_AS_ERRORS=ON -DZORVAK_BUILD_BENCHMARKS=OFF
cmake --build "$linux" --target game_windows_program_tests
source tools/sanitizer-env.sh
ZORVAK_WINDOWS_PROGRAM=$PWD/$program "$linux/tests/game/game_windows_program_tests"

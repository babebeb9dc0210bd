#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and runs
# every test under a virtual X display of its own. Extra arguments go to ctest (e.g. -R Board).
set -euo pipefail
cd "$(dirname "$0")"

tools/setup.sh test

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DZORVAK_SANITIZE=ON -DZORVAK_WARNINGS_AS_ERRORS=ON -DZORVAK_BUILD_BENCHMARKS=OFF
cmake --build "$build"

source tools/virtual-display.sh
start_virtual_display

# Mesa's rasteriser and driver threads are still running when LeakSanitizer stops the program's
# threads at exit, and its tracer then crashes now and then ("Tracer caught signal 11") after a
# test that passed. Drawing on the calling thread gives the same pixels and costs little here.
export LP_NUM_THREADS=0 GALLIUM_THREAD=0
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"

# Sourced by the scripts that run the sanitizer build: what its programs need to run quietly
# and report only our own faults.

# Mesa's rasteriser and driver threads are still running when LeakSanitizer stops the program's
# threads at exit, and its tracer then crashes now and then ("Tracer caught signal 11") after a
# test that passed. Drawing on the calling thread gives the same pixels and costs little here.
export LP_NUM_THREADS=0 GALLIUM_THREAD=0
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
# Leaks of the graphics stack itself (Mesa, X11, SDL, D-Bus) are silenced; ours fail the run.
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

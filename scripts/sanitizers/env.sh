# Sourced by the scripts that run instrumented programs.
sanitizer_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$sanitizer_dir/lsan.supp:print_suppressions=0}
# Mesa's software GL driver, which Qt loads for a window on an X display, keeps memory in its
# own globals and is unloaded before the leak check runs: the check then takes that memory for
# lost and cannot name the library, so no suppression can match it. The panel draws without GL,
# and Qt falls back to drawing in software when it has none.
export QT_XCB_GL_INTEGRATION=${QT_XCB_GL_INTEGRATION:-none}
# Reports name files and lines.
if [ -z "${ASAN_SYMBOLIZER_PATH:-}" ] && [ -x /usr/bin/llvm-symbolizer-14 ]; then
    export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14
fi

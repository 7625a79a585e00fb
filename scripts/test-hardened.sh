#!/usr/bin/env bash
# The reader under hardening: its tests built with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, build-asan/, the reader, the writer and their tests only) and run, then each fuzz target
# run for FUZZ_SECONDS (default 60) so every test run keeps looking for new faults. Fails when a
# test fails, a sanitizer reports, or a fuzz target finds an input that makes it fail.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ASAN_BUILD_DIR:-$here/build-asan}

if [ ! -f "$build/CMakeCache.txt" ]; then
    launcher=()
    if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DALTORRA_READER_ONLY=ON -DALTORRA_SANITIZE=ON "${launcher[@]}" >/dev/null
fi
echo "hardened: building the reader's tests with the sanitizers"
cmake --build "$build" -j"${JOBS:-2}"

status=0
# Leaks count as faults, except those inside libraries we only call (listed in the file).
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$here/tests/fuzz/leaks.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
echo "hardened: reader tests under the sanitizers"
ctest --test-dir "$build" -R '^test_(jet_|fuzz_)' -j"${JOBS:-2}" --output-on-failure || status=1

for target in fuzz_open fuzz_statement fuzz_paths; do
    "$here/scripts/fuzz.sh" "$target" "${FUZZ_SECONDS:-60}" || status=1
done
if [ $status -ne 0 ]; then
    echo "hardened: FAILED"
fi
exit $status

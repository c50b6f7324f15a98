#!/usr/bin/env bash
# Builds the library, the programs and every test with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the whole suite under them; any report
# fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
build_dir=${ASAN_BUILD_DIR:-build-asan}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DYM_SANITIZE=ON
cmake --build "$build_dir" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"

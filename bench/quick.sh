#!/usr/bin/env bash
# The quick bench that tools/test.sh runs: start-up, the round trip and idle memory
# against the floor, side by side in one short run (about a minute), failing
# when a ratio passes its guard in bench/guards.toml. The full run stays bench/run.sh.
#
#   bench/quick.sh BUILD [OUT]
#
# BUILD holds tessaro-local, exam-service and the floor (configured with
# -DTESSARO_BUILD_BENCH=ON); OUT defaults to BUILD/bench-quick.
set -euo pipefail

bench=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(realpath "$1")
out=$(realpath -m "${2:-$build/bench-quick}")
mkdir -p "$out"
# The driver runs the programs with the end-to-end tests' harness; no byte-code caches
# in the source tree.
export PYTHONPATH=$(dirname "$bench")/tests/e2e${PYTHONPATH:+:$PYTHONPATH}
export PYTHONDONTWRITEBYTECODE=1
# The system's Python, as run.sh uses.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
cd "$bench"
status=0
"$bench/isolated.sh" "$python" -m driver --build "$build" --floor "$build/bench/tessaro-bench-floor" --out "$out" \
    --command "bench/quick.sh" --guard "$bench/guards.toml" --only startup,bridge,idle \
    --startup-runs 3 --round-trip-runs 3 --round-trips 500 --burst-runs 1 --burst 1000 \
    --idle-runs 1 --idle-seconds 5 --idle-settle 3 > "$out/output.txt" || status=$?
grep -E '^(ok  |OVER) ' "$out/output.txt" || true
echo "quick bench: the table and the logs in $out"
exit "$status"

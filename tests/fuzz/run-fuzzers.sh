#!/usr/bin/env bash
# Runs every fuzz target of a TESSARO_FUZZ build for the given time, each on a copy of
# its seed corpus so the repository stays as it is. Any crash, leak, timeout, running
# out of memory, broken invariant or sanitizer report fails the run; the input that
# caused it is kept in BUILD_DIR/fuzz-findings.
#
#   CC=clang CXX=clang++ cmake -S . -B BUILD_DIR -G Ninja -DTESSARO_FUZZ=ON
#   cmake --build BUILD_DIR --target fuzz
#   tests/fuzz/run-fuzzers.sh BUILD_DIR 30
set -u

if [ $# -ne 2 ] || ! [[ $2 =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 BUILD_DIR SECONDS_PER_TARGET" >&2
    exit 2
fi
build=$(cd "$1" && pwd) || exit 2
here=$(cd "$(dirname "$0")" && pwd)
targets=$(find "$build/tests/fuzz" -maxdepth 1 -type f -name '*Fuzzer' -perm -u+x 2>/dev/null | sort)
if [ -z "$targets" ]; then
    echo "no fuzz targets in $build/tests/fuzz: configure with -DTESSARO_FUZZ=ON and build the target fuzz" >&2
    exit 2
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaro-fuzz.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT
findings="$build/fuzz-findings"
mkdir -p "$findings"

# UBSan only reports and goes on unless told to stop; a report is a finding.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
reportPattern='runtime error:|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|Broken invariant|WARNING: [A-Za-z]*Sanitizer'
failed=0
for binary in $targets; do
    name=$(basename "$binary")
    mkdir -p "$work/$name"
    [ -d "$here/corpus/$name" ] && cp -R "$here/corpus/$name/." "$work/$name/"
    options=(-max_total_time="$2" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
             -artifact_prefix="$findings/$name-")
    [ -f "$here/dictionaries/$name.dict" ] && options+=(-dict="$here/dictionaries/$name.dict")
    [ -f "$here/options/$name.options" ] && mapfile -t -O ${#options[@]} options \
        < <(grep -vE '^[[:space:]]*(#|$)' "$here/options/$name.options")

    log="$work/$name.log"
    "$binary" "${options[@]}" "$work/$name" >"$log" 2>&1
    status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ "$status" -ne 0 ] || grep -qE "$reportPattern" "$log"; then
        failed=1
        cp "$log" "$findings/$name.log"
        echo "fuzz $name: FAILED (exit status $status) after ${executions:-0} executions"
        grep -E "$reportPattern|^SUMMARY|Test unit written to" "$log" | head -n 20 | sed 's/^/    /'
        echo "    whole log: $findings/$name.log"
    else
        echo "fuzz $name: ${executions:-0} executions in $2 s, no findings"
    fi
done
exit "$failed"

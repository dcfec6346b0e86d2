#!/usr/bin/env bash
# Runs every fuzz target of a TESSARO_FUZZ build for SECONDS each, on a copy of its seed
# corpus. A crash, leak, timeout, running out of memory, broken invariant or sanitizer
# report fails the run; its input and log are kept in BUILD_DIR/fuzz-findings.
set -u
[[ $# -eq 2 && $2 =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 BUILD_DIR SECONDS" >&2; exit 2; }
build=$(cd "$1" && pwd) || exit 2
here=$(cd "$(dirname "$0")" && pwd)
targets=$(find "$build/tests/fuzz" -maxdepth 1 -type f -name '*Fuzzer' -perm -u+x 2>/dev/null | sort)
[ -n "$targets" ] || { echo "no fuzz targets in $build/tests/fuzz" >&2; exit 2; }
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
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
    options=(-max_total_time="$2" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/$name-")
    [ -f "$here/dictionaries/$name.dict" ] && options+=(-dict="$here/dictionaries/$name.dict")
    [ -f "$here/options/$name.options" ] && mapfile -t -O ${#options[@]} options \
        < <(grep -vE '^[[:space:]]*(#|$)' "$here/options/$name.options")
    "$binary" "${options[@]}" "$work/$name" >"$work/$name.log" 2>&1
    status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name.log" | tail -n 1)
    if [ "$status" -eq 0 ] && ! grep -qE "$reportPattern" "$work/$name.log"; then
        echo "fuzz $name: ${executions:-0} executions in $2 s, no findings"
        continue
    fi
    failed=1
    cp "$work/$name.log" "$findings/$name.log"
    echo "fuzz $name: FAILED (exit status $status) after ${executions:-0} executions; log: $findings/$name.log"
    grep -E "$reportPattern|^SUMMARY|Test unit written to" "$work/$name.log" | head -n 20 | sed 's/^/    /'
done
exit "$failed"

#!/usr/bin/env bash
# A shortened soak played by a Tessaro built with AddressSanitizer, whose leak check runs
# when the page quits it: says how much was never freed, and fails when any of it was
# allocated by Tessaro's own code rather than by the libraries under it.
#
#   bench/leaks.sh [--out DIR] [PAGES]
#
# PAGES defaults to 40 (50 "security" round trips and 10 "processes" each, a save every
# tenth page, the battery every half second). DIR defaults to bench/results/leaks-DATE-TIME.
set -euo pipefail

bench=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repository=$(dirname "$bench")
out=$bench/results/leaks-$(date +%Y%m%d-%H%M%S)
if [ "${1:-}" = --out ]; then
    out=$(realpath -m "$2")
    shift 2
fi
pages=${1:-40}
sanitized=$repository/build-bench/leaks
plain=$repository/build-bench/soak

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
for folder in "$sanitized" "$plain"; do
    sanitize=OFF
    [ "$folder" = "$sanitized" ] && sanitize=ON
    cmake -S "$repository" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARO_BUILD_TESTS=OFF \
        -DTESSARO_BATTERY_REPORT_SECONDS=0.5 -DTESSARO_SANITIZE=$sanitize ${launcher[@]+"${launcher[@]}"} \
        --no-warn-unused-cli >/dev/null
done
ninja -C "$sanitized" tessaro-local >&2
# The web process extension is loaded by the engine's web process, which is built without
# the sanitizer: Tessaro finds the plain one beside it.
ninja -C "$plain" tessaro-web-extension >&2
mkdir -p "$sanitized/web-process-extensions" "$out"
cp "$plain/web-process-extensions/libtessaro-web-extension.so" "$sanitized/web-process-extensions/"

rm -f "$out"/leaks.*
ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:log_path=$out/leaks \
    "$bench/run.sh" --out "$out" --only soak --soak-build "$sanitized" --soak-pages "$pages" \
    --soak-round-trips $((pages * 50)) --soak-commands $((pages * 10)) >"$out/run.txt"

python3 - "$repository" "$out" <<'EOF'
import glob
import re
import sys

repository, out = sys.argv[1], sys.argv[2]
reports = glob.glob(f"{out}/leaks.*")
if not reports:
    sys.exit("leaks: Tessaro wrote no leak report (did it quit by the page's \"quit\"?)")
total, ours = 0, []
for report in reports:
    for block in open(report, errors="replace").read().split("\n\n"):
        leak = re.match(r"(Direct|Indirect) leak of (\d+) byte", block.strip())
        if not leak:
            continue
        total += int(leak.group(2))
        # The frame that asked for the memory: the first that is neither the allocator
        # nor an inlined standard-library template.
        for frame in re.findall(r"#\d+ 0x[0-9a-f]+ (.*)", block)[1:]:
            if "/usr/include/" in frame or "libstdc++" in frame or "libsanitizer" in frame:
                continue
            if repository + "/" in frame:
                ours.append(block.strip())
            break
print(f"leaks: {total} bytes never freed, {len(ours)} of the allocations by Tessaro's own code; "
      f"reports in {out}")
for block in ours:
    print(block, end="\n\n")
sys.exit(1 if ours else 0)
EOF

#!/usr/bin/env bash
# Sets up Tessaro and opens the demo exam from the bundled local exam service.
# With a desktop, the exam window opens there: press Ctrl+Q four times within a second
# to leave. Without one (a server, a container), it runs on a virtual screen for a few
# seconds, clicks through the bridge panel and leaves a screenshot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TESSARO_BUILD_DIR:-$root/build}"

"$root/tools/install-dependencies.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tessaro-local exam-service tessaro-web-extension

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaro-demo-XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work" 2>/dev/null || true
}
trap cleanup EXIT

"$build/tools/exam-service/exam-service" > "$work/service.log" 2>&1 &
pids+=($!)
until grep -q "listening" "$work/service.log" 2>/dev/null; do sleep 0.1; done

link="tessaro://launch/DEMO-KEY-2026"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Opening the demo exam. To leave, press Ctrl+Q four times within a second."
    "$build/tessaro-local" "$link"
    exit 0
fi

echo "No display: running the demo on a virtual screen."
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
mkdir -p "$HOME/Downloads"
Xvfb :77 -screen 0 1280x800x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=:77
until xdpyinfo > /dev/null 2>&1; do sleep 0.1; done
printf '<openbox_config xmlns="http://openbox.org/3.4/rc"/>\n' > "$work/openbox.xml"
openbox --sm-disable --config-file "$work/openbox.xml" > "$work/openbox.log" 2>&1 &
pids+=($!)

"$build/tessaro-local" "$link" &
tessaro=$!
pids+=("$tessaro")
window=$(xdotool search --sync --onlyvisible --pid "$tessaro" | head -n 1)
sleep 3
# The bridge panel's buttons: save, security, log, processes, download.
for position in "228 220" "381 220" "535 220" "228 272" "381 272"; do
    xdotool mousemove --window "$window" $position click 1
    sleep 0.7
done
sleep 1
screenshot="$build/demo-screenshot.png"
import -window root "$screenshot"
xdotool windowactivate --sync "$window" key ctrl+q ctrl+q ctrl+q ctrl+q
wait "$tessaro" || true
echo "Demo done. Screenshot: $screenshot"
echo "Files the demo page saved and downloaded:"
ls -l "$HOME/Downloads"

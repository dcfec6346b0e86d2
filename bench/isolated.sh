#!/usr/bin/env bash
# Runs a command in namespaces of its own, as every benchmark run does:
#
#   bench/isolated.sh COMMAND [ARGUMENTS...]
#
# A loopback where port 18765 is free whatever else runs and from which no request can
# leave, and a process list holding only the run's own processes, so nothing else on the
# machine changes what Tessaro's process scan finds (or makes its launch gate stop at an
# alert). In a process list of its own, another session's X server looks gone, so the
# run's X server would take its display number: the run's X sockets get a folder of
# their own.
set -euo pipefail

isolated=(unshare --net --pid --fork --mount-proc)
if "${isolated[@]}" true 2>/dev/null; then
    mkdir -p /tmp/.X11-unix
    exec "${isolated[@]}" -- sh -c 'mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix && ip link set lo up && "$@"' \
        sh "$@"
elif unshare --net true 2>/dev/null; then
    echo "bench: no process namespace here; other processes count in the process scans" >&2
    exec unshare --net -- sh -c 'ip link set lo up && "$@"' sh "$@"
else
    echo "bench: no network namespace here; port 18765 must be free" >&2
    exec "$@"
fi

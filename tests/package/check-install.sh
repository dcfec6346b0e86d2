#!/usr/bin/env bash
# Installs the build into a scratch folder and checks what a package would hold: exactly
# the files meant, a valid desktop entry that registers the tessaro: scheme, and valid
# AppStream metadata, and an exam session entry that runs the exam under cage with
# switching to text consoles left off (cage's -s) and is offered only where cage is.
set -euo pipefail
build=$1
application_id=$2
destdir=$(mktemp -d "${TMPDIR:-/tmp}/tessaro-install-XXXXXX")
trap 'rm -rf "$destdir"' EXIT

DESTDIR="$destdir" cmake --install "$build" --prefix /usr > /dev/null
actual=$(cd "$destdir" && find . -type f | sed 's|^\./||' | sort)
expected=$(printf '%s\n' \
    "usr/bin/tessaro" \
    "usr/lib/tessaro/web-process-extensions/libtessaro-web-extension.so" \
    "usr/share/applications/$application_id.desktop" \
    "usr/share/icons/hicolor/scalable/apps/$application_id.svg" \
    "usr/share/metainfo/$application_id.metainfo.xml" \
    "usr/share/wayland-sessions/tessaro-exam.desktop" | sort)
if [ "$actual" != "$expected" ]; then
    echo "Installed files differ from the package's intended contents:"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi

desktop="$destdir/usr/share/applications/$application_id.desktop"
session="$destdir/usr/share/wayland-sessions/tessaro-exam.desktop"
desktop-file-validate "$desktop" "$session"
grep -qx 'MimeType=x-scheme-handler/tessaro;' "$desktop"
grep -qx 'Exec=tessaro %u' "$desktop"
grep -qx 'TryExec=cage' "$session"
# Exactly the exam under cage: no -s, which would let the student switch to a console.
grep -qx 'Exec=cage -- tessaro' "$session"
appstreamcli validate --no-net "$destdir/usr/share/metainfo/$application_id.metainfo.xml"
echo "install layout, desktop entries and metadata: fine"

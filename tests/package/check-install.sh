#!/usr/bin/env bash
# Installs the build into a scratch folder and checks what a package would hold: exactly
# the files meant, a valid desktop entry that registers the tessaro: scheme, and valid
# AppStream metadata.
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
    "usr/share/metainfo/$application_id.metainfo.xml" | sort)
if [ "$actual" != "$expected" ]; then
    echo "Installed files differ from the package's intended contents:"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi

desktop="$destdir/usr/share/applications/$application_id.desktop"
desktop-file-validate "$desktop"
grep -qx 'MimeType=x-scheme-handler/tessaro;' "$desktop"
grep -qx 'Exec=tessaro %u' "$desktop"
appstreamcli validate --no-net "$destdir/usr/share/metainfo/$application_id.metainfo.xml"
echo "install layout, desktop entry and metadata: fine"

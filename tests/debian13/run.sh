#!/usr/bin/env bash
# Builds Tessaro in a Debian 13 root made from Debian's own packages and runs there the
# desktop tests that depend on the toolkit's release: the launch, the bridge, the lock
# and the accessibility tests (GTK 4.14 and later carry the exam page to a screen reader),
# on X11 and on GNOME's Wayland compositor.
#
# usage: tests/debian13/run.sh BUILD_FOLDER
# The root is kept in BUILD_FOLDER/debian13 and made again only when the package list
# changes; Tessaro's build for Debian 13 is kept beside it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_tree=$(cd "$here/../.." && pwd)
state=$(realpath -m "${1:?usage: $0 BUILD_FOLDER}")/debian13
port="${TESSARO_LOCAL_PORT:-18765}"
# The launch, the selections and full screen on X11 and on Wayland. Mutter is the Wayland
# desktop here: it adds some 20 MB to the root where KWin would add near 190 MB. The root
# holds no second-monitor X server.
tests='^((LaunchTest|BridgeTest|WindowTest|LockdownTest)\.|On/(Launch|Window)OnEachDesktop\..*/(X11|Mutter)( |$)|Sharing/|accessibility\.)'
# Tests that only wait out a 30-second timer: the error page's is also reached by the
# accessibility test, the battery report's timer is the core's, tested in virtual time.
slow_tests='ErrorPageShowsAtThirtySeconds|BatteryLevelReachesThePage'
# No optimisation and no debug information build quickest: what is tested here is how the
# newer toolkit and engine behave, not how fast our code runs.
build_type=None
# dpkg without fsync and without documentation: a quicker install and 0.2 GB less disk.
root_options=(--variant=apt --dpkgopt=force-unsafe-io --dpkgopt='path-exclude=/usr/share/doc/*'
    --dpkgopt='path-exclude=/usr/share/man/*' --dpkgopt='path-exclude=/usr/share/locale/*'
    --aptopt='Acquire::Languages "none"')

if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=TESSARO_LOCAL_PORT "$0" "$@"
fi

packages=$(grep -vE '^\s*(#|$)' "$here/packages" | sort | paste -sd, -)
key=$(printf '%s\n' "$packages" "${root_options[@]}" | sha256sum | cut -c1-16)
root="$state/root-$key"
if [ ! -e "$root/.complete" ]; then
    rm -rf "$state"/root-* "$state/build"
    mkdir -p "$state"
    echo "Making the Debian 13 root $root"
    # In a mount namespace of its own too, so a failed run leaves no mounts in the root.
    unshare --mount --propagation private -- \
        mmdebstrap "${root_options[@]}" --include="$packages" trixie "$root.partial"
    touch "$root.partial/.complete"
    mv "$root.partial" "$root"
fi
mkdir -p "$state/build" "$root/source" "$root/build"

# A mount namespace of its own: every mount below ends with it, whatever happens. WebKit's
# sandbox (bubblewrap) needs the root to be a mount point, so the root is bound onto itself.
unshare --mount --propagation private -- bash -euo pipefail -c '
    root=$1 source_tree=$2 build=$3 port=$4 tests=$5 slow_tests=$6 build_type=$7
    mount --bind "$root" "$root"
    mount --rbind /dev "$root/dev"
    mount --rbind /proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --bind "$source_tree" "$root/source"
    mount --bind "$build" "$root/build"
    exec chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
        bash -euo pipefail -c "
            cmake -S /source -B /build -G Ninja -DCMAKE_BUILD_TYPE=$build_type -DTESSARO_LOCAL_PORT=$port >/dev/null
            cmake --build /build --parallel 2 --target tessaro-local tessaro-web-extension exam-service e2e_tests
            ctest --test-dir /build --output-on-failure --repeat until-pass:2 -R \"$tests\" -E \"$slow_tests\""
' debian13 "$root" "$source_tree" "$state/build" "$port" "$tests" "$slow_tests" "$build_type"

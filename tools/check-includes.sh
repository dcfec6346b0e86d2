#!/usr/bin/env bash
# Each folder's include path shows it only the folders it may use; an include written
# through a parent folder ("web/../window/KioskLock.h") or from the root of the file
# system reaches around that, so none may be written so.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](/|([^>"]*/)?\.\./)'
if git -C "$root" grep -nE "$pattern" -- '*.c' '*.cpp' '*.h' '*.in'; then
    echo "Includes through a parent folder or an absolute path get around the direction of dependency."
    exit 1
fi

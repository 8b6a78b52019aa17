#!/usr/bin/env bash
# The media check: builds MEDIACHK.EXE and runs it under Wine on a media
# folder. It prints what SETUP.EXE will do with the folder's SETUP.INF (product,
# destination, disks, every file's source and target, the registry values)
# and one line per finding; its exit code is the program's: 0 clean, 1
# warnings only, 2 errors.
# Usage: check-media.sh DIR
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ne 1 ]; then
    echo "Usage: $0 DIR" >&2
    exit 2
fi
export SETUP_BUILD_DIR=${SETUP_BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh" --target mediachk >/dev/null || exit 2
# shellcheck source=wine-env.sh
. "$here/scripts/wine-env.sh"
wine_template "$SETUP_BUILD_DIR/wine/template"
export WINEPREFIX=$SETUP_BUILD_DIR/wine/check
[ -d "$WINEPREFIX" ] || wine_fresh_prefix "$SETUP_BUILD_DIR/wine/template" "$WINEPREFIX"
folder=$(winepath -w "$1" 2>/dev/null) || exit 2
wine "$SETUP_BUILD_DIR/bin/MEDIACHK.EXE" "$folder" | tr -d '\r'
exit "${PIPESTATUS[0]}"

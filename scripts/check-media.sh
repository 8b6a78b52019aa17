#!/usr/bin/env bash
# The media check: builds MEDIACHK.EXE and runs it under Wine on a media
# folder. It prints what SETUP.EXE will do with the folder's SETUP.INF (product,
# destination, disks, every file's source and target, the registry values)
# and one line per finding; its exit code is the program's: 0 clean, 1
# warnings only, 2 errors; 3 when the check could not run (the build or Wine
# failed, and said why).
# Usage: check-media.sh DIR
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ne 1 ]; then
    echo "Usage: $0 DIR" >&2
    exit 2
fi
cannot() {
    echo "check-media: the media check cannot run: $*" >&2
    exit 3
}
export SETUP_BUILD_DIR=${SETUP_BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh" --target mediachk >/dev/null || cannot "MEDIACHK.EXE did not build"
# shellcheck source=wine-env.sh
. "$here/scripts/wine-env.sh"
wine_template "$SETUP_BUILD_DIR/wine/template" || cannot "no Windows prefix"
export WINEPREFIX=$SETUP_BUILD_DIR/wine/check
[ -d "$WINEPREFIX" ] || wine_fresh_prefix "$SETUP_BUILD_DIR/wine/template" "$WINEPREFIX" ||
    cannot "no Windows prefix"
[ -d "$1" ] || cannot "there is no folder $1"
folder=$(winepath -w "$1") || cannot "Wine does not name $1"
wine "$SETUP_BUILD_DIR/bin/MEDIACHK.EXE" "$folder" | tr -d '\r'
status=${PIPESTATUS[0]}
# Past 2 it is Wine's: the program did not start or did not end.
[ "$status" -le 2 ] || cannot "Wine ended MEDIACHK.EXE with status $status"
exit "$status"

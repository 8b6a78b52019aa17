#!/usr/bin/env bash
# The whole test suite: installs what it needs, builds, then runs every unit
# and end-to-end test under Wine (Windows 98) on a private Xvfb display.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
export SETUP_DEPS_READY=1 SETUP_BUILD_DIR=${SETUP_BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh"
# shellcheck source=wine-env.sh
. "$here/scripts/wine-env.sh"

wine_template "$SETUP_BUILD_DIR/wine/template"
export SETUP_WINE_TEMPLATE=$SETUP_BUILD_DIR/wine/template
export WINEPREFIX=$SETUP_BUILD_DIR/wine/unit
wine_fresh_prefix "$SETUP_WINE_TEMPLATE" "$WINEPREFIX"
export SETUP_RESULTS_DIR=${SETUP_RESULTS_DIR:-$here/results}
mkdir -p "$SETUP_RESULTS_DIR"

xvfb_start 1024x768x24
trap 'WINEPREFIX=$SETUP_BUILD_DIR/wine/unit wineserver -k 2>/dev/null || true; xvfb_stop' EXIT
cd "$SETUP_BUILD_DIR"
ctest --output-on-failure -j2 "$@"

#!/usr/bin/env bash
# The main job: builds SETUP.EXE and the sample media, then runs a full setup
# from the media in a fresh Windows 98 Wine prefix with a PS/2 mouse, the way
# a user would (the walk of the end-to-end tests, tests/e2e/lib.sh), and
# prints a summary of what it left; then, after the restart, the uninstaller
# from the destination, what it put back and whether the machine is as it
# was; summary and screenshots of every page land in results/run-setup/.
# Runs on a private Xvfb unless a display is there.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh" || exit 1
export SETUP_DEPS_READY=1 SETUP_SOURCE_DIR=$here
export SETUP_BUILD_DIR=${SETUP_BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh" --target setup uninstal media e2edriver || exit 1

# The media check first: the sample media must come out clean.
echo "Media check of the sample media:"
bash "$here/scripts/check-media.sh" "$SETUP_BUILD_DIR/media"
case $? in
0) ;;
3) echo "run-setup: the media check could not run; see why above" >&2 && exit 1 ;;
*) echo "run-setup: the sample media is not clean; see the findings above" >&2 && exit 1 ;;
esac

[ -n "${DISPLAY:-}" ] && export E2E_USE_DISPLAY=1
# shellcheck source=../tests/e2e/lib.sh
. "$here/tests/e2e/lib.sh"
e2e_begin run-setup
e2e_seed ps2
e2e_snapshot >"$E2E_DIR/before-setup"
e2e_walk

windows() { sed "s|^$E2E_C|C:|; s|/|\\\\|g"; }
{
    echo "Pages reached: $(e2e_pages | sed 's/101/welcome/; s/108/mouse type/; s/107/destination/;
        s/103/copy/; s/102/finish/')"
    echo "Files installed:"
    e2e_targets | cut -f2 | while read -r file; do
        echo "  $(windows <<<"$file")$([ -f "$file" ] || echo ' NOT INSTALLED')"
    done
    echo "Registered (key, value=data):"
    e2e_registry | grep -F -e "$PS2_DEV	" -e "$CLASSES\\0000	" -e "$WINCV\\Run	" -e CLSID \
        -e "$WINCV\\Uninstall\\Dorvantix	" -e 'PropertySheetHandlers' | sed 's/^/  /'
    echo "Previous settings recorded in $(windows <<<"$DEST")\\SETUP.INF [PS2]:"
    e2e_record "$DEST/SETUP.INF" PS2 | sed 's/^/  /'
    echo "system.ini mouse line: $(tr -d '\r' <"$E2E_C/windows/system.ini" | grep '^mouse=')"
    for file in windows/system.bak windows/system32/VMM32/VMOUSE.BAK; do
        echo "$(windows <<<"$E2E_C/$file"): $([ -f "$E2E_C/$file" ] && echo kept || echo missing)"
    done
    echo "Restart asked for: $(e2e_calls user32.ExitWindowsEx || echo no)"
    echo "Screenshots:"
    ls "$E2E_DIR"/*.png | sed 's/^/  /'
} | tee "$E2E_DIR/summary.txt"

# The restart the setup asked for, then the uninstall's.
e2e_restart
e2e_uninstall 6 7
e2e_restart boot
{
    echo "Uninstaller $(windows <<<"$DEST")\\UNINSTAL.EXE (Yes to its question, No to its restart, then a restart):"
    grep -v '^$' "$E2E_DIR/uninstall.texts" | sed 's/^/  /'
    if e2e_snapshot | cmp -s "$E2E_DIR/before-setup" -; then
        echo "Machine after the uninstall: as before the setup (registry keys, Windows folder, system.ini)"
    else
        echo "Machine after the uninstall: NOT as before the setup; what differs (< before, > now):"
        e2e_snapshot | diff "$E2E_DIR/before-setup" - | grep '^[<>]' | sed 's/^/  /'
    fi
    left=$(ls -A "$DEST" 2>/dev/null | xargs)
    echo "Left in $(windows <<<"$DEST") after the restart: ${left:-nothing}"
} | tee -a "$E2E_DIR/summary.txt"

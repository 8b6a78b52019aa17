#!/usr/bin/env bash
# A machine the patch and the journal find hard, put back whole: a read-only system.ini with
# LF-only lines, a second [386Enh] and a trailing Ctrl-Z; a mouse description that was empty;
# the product in a folder of 79 characters, installed twice. The uninstaller's question answered
# No changes nothing; answered Yes, the product's folder goes whole and its copy in the temporary
# folder goes at the next start. An uninstall whose restart is declined, a new install into that
# folder and the restart: the new install stays whole.
. "$(dirname "$0")/lib.sh"
e2e_begin uninstall_odd_machine
PRODUCT=$(inf ProductName) ASK="Do you want to remove $(inf ProductName) and put back the settings it changed?"
E2E_FOLDER="C:\\$(printf 'V%.0s' $(seq 76))" && DEST=$E2E_C/${E2E_FOLDER:3}
e2e_seed ps2
printf '[boot]\nshell=Explorer.exe\n[386Enh]\nmouse=*vmd\nwoafont=dosapp.fon\r\n[386Enh]\r\nmouse=msmouse.vxd\r\n\032' \
    >"$E2E_C/windows/system.ini" && chmod a-w "$E2E_C/windows/system.ini"
READ_ONLY=$(stat -c %a "$E2E_C/windows/system.ini")
wine reg add "HKLM\\$PS2_DEV" /v DeviceDesc /d '' /f >/dev/null 2>&1
e2e_snapshot >"$E2E_DIR/before"
e2e_install 1035 && e2e_install 1035 1
e2e_check "two [386Enh] mouse lines replaced, system.ini still read-only" "2 $READ_ONLY" \
    "$(grep -c '^mouse=\*vmouse' "$E2E_C/windows/system.ini") $(stat -c %a "$E2E_C/windows/system.ini")"
e2e_snapshot >"$E2E_DIR/installed" && e2e_uninstall 7
e2e_check "No changes nothing" "$ASK|$(cat "$E2E_DIR/installed")" "$(cat "$E2E_DIR/uninstall.texts")|$(e2e_snapshot)"
e2e_uninstall 6 7
# 8 values of the product's entries and 8 of the mouse, 7 keys; 7 files in the destination and
# 4 outside it, the uninstaller and SETUP.INF apart; system.ini, system.bak, VMOUSE.VXD.
e2e_check "the question, what was put back, no restart" "$ASK
$PRODUCT has been removed.

Settings put back: 16; registry keys removed: 7; files removed: 11; system files put back: 3.

Do you want to restart Windows now?|" "$(cat "$E2E_DIR/uninstall.texts")|$(e2e_calls user32.ExitWindowsEx)"
e2e_check "the machine as before, system.ini byte for byte" "$(cat "$E2E_DIR/before")" "$(e2e_snapshot)"
# The work was done by the uninstaller's copy in the temporary folder, named in WININIT.INI.
RUNNER=$(find "$E2E_C/users" -iname '~UNINST.EXE' | head -1)
e2e_check "the product's folder is gone, WININIT.INI names the uninstaller's copy" "gone|[rename]|1" \
    "$([ -e "$DEST" ] && echo there || echo gone)|$(e2e_lines "$E2E_C/windows/WININIT.INI" |
        head -1)|$(e2e_lines "$E2E_C/windows/WININIT.INI" | grep -ic '^NUL=.*\\~UNINST\.EXE$')"

# A new install before the restart that the uninstall asked for.
e2e_install 1035
e2e_restart boot
e2e_check "the next start removes the uninstaller's copy" "gone|wininit.bak" \
    "$([ -n "$RUNNER" ] && [ ! -e "$RUNNER" ] && echo gone)|$(ls "$E2E_C/windows" | grep -i '^wininit')"
e2e_check "after the restart the new install is whole" "|$E2E_FOLDER\\UNINSTAL.EXE" \
    "$(e2e_targets | cut -f2 | while read -r file; do [ -f "$file" ] || echo "$file"; done)|$(
        drv reg-dump HKLM "$WINCV\\Uninstall\\Dorvantix" | sed -n 's/.*UninstallString=//p')"
e2e_uninstall 6 7
e2e_check "the machine as before again" "$(cat "$E2E_DIR/before")" "$(e2e_snapshot)"

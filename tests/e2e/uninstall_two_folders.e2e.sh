#!/usr/bin/env bash
# The product set up into one folder and then into another: undone in either order, the
# machine is as before both. The first one undone while the second is installed leaves the
# second whole.
. "$(dirname "$0")/lib.sh"
e2e_begin uninstall_two_folders
FIRST=$(inf DefaultPath) SECOND="$(inf DefaultPath)2"
# whole FOLDER: every file of the script in place in FOLDER, and the uninstall entry names it.
whole() {
    DEST=$E2E_C/${1:3} && echo "$(e2e_targets | cut -f2 | while read -r file; do [ -f "$file" ] || echo "$file"; done)|$(
        drv reg-dump HKLM "$WINCV\\Uninstall\\Dorvantix" | sed -n 's/.*UninstallString=//p')"
}
for order in first-then-second second-then-first; do
    e2e_prefix && e2e_seed && printf '[mine]\r\n' >"$E2E_C/windows/VELOR.INI" &&
        e2e_snapshot >"$E2E_DIR/$order.before"
    E2E_FOLDER=$FIRST e2e_install 1035 && E2E_FOLDER=$SECOND e2e_install 1034
    [ "$order" = first-then-second ] && undo=("$FIRST" "$SECOND") || undo=("$SECOND" "$FIRST")
    E2E_FOLDER=${undo[0]} e2e_uninstall 6 7
    [ "$order" = first-then-second ] &&
        e2e_check "$order: the second install is whole" "|$SECOND\\UNINSTAL.EXE" "$(whole "$SECOND")"
    E2E_FOLDER=${undo[1]} e2e_uninstall 6 6
    e2e_check "$order: the restart asked for" "user32.ExitWindowsEx(00000002,00000000)" \
        "$(e2e_calls user32.ExitWindowsEx)"
    e2e_check "$order: the machine as before both" "$(cat "$E2E_DIR/$order.before")" "$(e2e_snapshot)"
    e2e_check "$order: both folders gone" "" "$(ls -d "$E2E_C/${FIRST:3}" "$E2E_C/${SECOND:3}" 2>/dev/null)"
done

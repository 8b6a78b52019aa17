#!/usr/bin/env bash
# UNINSTAL.EXE puts the machine back. Three round trips, each on a fresh Windows 98 machine,
# compare the registry trees the setup touches, the Windows folder's files and system.ini byte
# for byte before the install and after the uninstall: the PS/2 install and -u on the serial
# route; the serial route with a PS/2 mouse alone (the own device key); a value the user changed
# since, which stays, with the mouse application running and a file of the user's replaced.
# An uninstall that cannot put a saved copy back says so, and a further run finishes it.
# Beside the media's SETUP.INF, which has no journal, it says so and changes nothing.
. "$(dirname "$0")/lib.sh"
e2e_begin uninstall_round_trips
PRODUCT=$(inf ProductName) FOLDER=$(inf DefaultPath)
# round NAME [ps2]: a fresh machine and its snapshot.
round() { ROUND=$1 && e2e_prefix && e2e_seed "${2:-}" && e2e_snapshot >"$E2E_DIR/$1.before"; }
back() { e2e_check "$ROUND: the machine as before" "$(cat "$E2E_DIR/$ROUND.before")" "$(e2e_snapshot)"; }

round reregistered
e2e_install 1035 && cp "$E2E_MEDIA/SETUP.EXE" "$DEST"
e2e_start "$FOLDER\\SETUP.EXE" -u && e2e_on SETUP_SELMOUSE 1 && drv answer "$CAPTION" 1 >/dev/null &&
    e2e_wait_exit && e2e_restart
e2e_uninstall 6 && back
e2e_check "$ROUND: the file the script does not list stays" "SETUP.EXE" "$(ls "$DEST" | xargs)"

round own-device ps2
e2e_install 1034
e2e_check "$ROUND: the own serial device key was made" 1 "$(e2e_registry | grep -c '^Enum\\Root\\VelorMouse\\0000	Driver=')"
# Beside the media's SETUP.INF, which has no journal, it has nothing to undo and deletes nothing.
(cd "$E2E_MEDIA" && find . | sort) >"$E2E_DIR/media" && cp "$DEST/UNINSTAL.EXE" "$E2E_MEDIA"
e2e_start 'C:\MEDIA\UNINSTAL.EXE' && drv answer "$PRODUCT Uninstall" 1 >"$E2E_DIR/uninstall.texts" && e2e_wait_exit
e2e_check "$ROUND: beside a SETUP.INF without a journal, nothing to undo" \
    "$PRODUCT has been removed already. There is nothing left to undo.|$(cat "$E2E_DIR/media")" \
    "$(cat "$E2E_DIR/uninstall.texts")|$(cd "$E2E_MEDIA" && find . ! -name UNINSTAL.EXE | sort)"
e2e_uninstall 6 && back

round user-changed
# The user's own copy of a file the script puts into the Windows folder is replaced, never removed.
printf '[mine]\r\n' >"$E2E_C/windows/VELOR.INI" && e2e_snapshot >"$E2E_DIR/$ROUND.before"
e2e_install 1035
wine reg add "HKLM\\$PS2_DEV" /v DeviceDesc /d 'My own mouse' /f >/dev/null 2>&1
(cd "$E2E_C" && exec wine "$FOLDER\\ZKMAIN.EXE" -startup) & E2E_PIDS+=("$!")
drv wait Dorvantix >/dev/null || e2e_die "the installed mouse application does not start"
# Its saved copy of the user's file away: the uninstaller says what it could not do and keeps
# the journal and itself, so that a further run finishes once the copy is back.
saved=$(grep -il '^\[mine\]' "$DEST"/UNDO/* | head -1) && mv "$saved" "$saved.away"
e2e_uninstall 6
e2e_check "$ROUND: a copy it cannot put back: it says so, the journal and the uninstaller stay" \
    "Some changes could not be undone. Run the uninstaller again after restarting Windows.|1 UNINSTAL.EXE" \
    "$(sed -n 2p "$E2E_DIR/uninstall.texts")|$(grep -c '^\[Undo Files\]' "$DEST/SETUP.INF") $(ls "$DEST" | grep -x UNINSTAL.EXE)"
mv "$saved.away" "$saved"
e2e_uninstall 6
e2e_check "$ROUND: the mouse application was closed" 1 "$(drv -t 1 wait Dorvantix 2>/dev/null; echo $?)"
e2e_check "$ROUND: the value the user changed stays, all else as before" \
    "$(grep -vF "$PS2_DEV	DeviceDesc=" "$E2E_DIR/$ROUND.before")|$PS2_DEV	DeviceDesc=My own mouse" \
    "$(e2e_snapshot | grep -vF "$PS2_DEV	DeviceDesc=")|$(e2e_registry | grep -F "$PS2_DEV	DeviceDesc=")"

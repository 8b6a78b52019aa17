#!/usr/bin/env bash
# On a Windows 98 machine with a PS/2 and a serial mouse: the main job's install; a restart of
# the Wine server, which its keys survive; a second install with Back on the pages, the mouse
# application running, the existing folder's question and the restart put off; SETUP.EXE -u
# from the media folder on the serial route, its record beside it, its notes in the installed
# product's journal.
. "$(dirname "$0")/lib.sh"
e2e_begin setup_full
e2e_seed && e2e_registry >"$E2E_DIR/before.reg"
e2e_walk
e2e_check_install "$E2E_DIR/before.reg"

e2e_registry >"$E2E_DIR/installed.reg" && e2e_restart
drv reg-dump HKDD 'Config Manager\Enum' | grep -q HardWareKey && e2e_die "the device list outlived the restart"
e2e_check "every key the setup wrote survives a restart" "$(cat "$E2E_DIR/installed.reg")" "$(e2e_registry)"

(cd "$E2E_C" && exec wine "$(inf DefaultPath)\\ZKMAIN.EXE" -startup) & E2E_PIDS+=("$!")
drv wait Dorvantix >/dev/null || e2e_die "the installed mouse application does not start"
e2e_start && e2e_on SETUP_BEGIN 1 && e2e_on SETUP_SELMOUSE 1035 3 && e2e_on SETUP_BEGIN 1 && e2e_on SETUP_SELMOUSE
e2e_expect "PS/2 Mouse is still marked after Back" "1 1" drv state class:SETUP_SELMOUSE 1035
e2e_on SETUP_SELMOUSE 1 && e2e_on SETUP_SELDIR 3 && e2e_on SETUP_SELMOUSE 1 && e2e_on SETUP_SELDIR 1
drv answer "$CAPTION" 1 >/dev/null && e2e_on SETUP_END 1033 1 && e2e_wait_exit
backdrop=$(grep -iF 'Ret  user32.CreateWindowExA(' "$E2E_TRACE" | sed -n '1s/.*retval=\([0-9a-f]*\).*/\1/p')
e2e_check "the pages in order, the mouse application closed, the folder's question, the backdrop destroyed, no restart" \
    "101 108 101 108 107 108 107 103 102 |gone|\"The specified directory is already exist !\\nDo you still want to install into this directory ?\",\"$CAPTION\",00000021)|user32.DestroyWindow($backdrop)|" \
    "$(e2e_pages)|$(drv -t 0 wait Dorvantix 2>/dev/null || echo gone)|$(e2e_calls user32.MessageBoxA | cut -d, -f2-)|$(e2e_calls user32.DestroyWindow | grep -F "($backdrop)")|$(e2e_calls user32.ExitWindowsEx)"

e2e_seed && e2e_registry >"$E2E_DIR/before-u.reg" && e2e_files >"$E2E_DIR/before-u.files"
e2e_start 'C:\MEDIA\SETUP.EXE' -u && e2e_on SETUP_SELMOUSE
e2e_expect "-u: Back is disabled" "0 0" drv state class:SETUP_SELMOUSE 3
drv click class:SETUP_SELMOUSE 1 && drv answer "$CAPTION" 1 >/dev/null && e2e_wait_exit
# The restart starts the mouse application from its Run entry, whose calls may reach this run's
# trace: the backdrop is told by its class.
e2e_check "-u: the mouse-type page alone, no backdrop, the message, the restart" \
    "108 |0|user32.MessageBoxA(00000000,\"The Mouse Setup Program has installed driver successfully. You have to restart your Windows now !\",\"$CAPTION\",00000040)|user32.ExitWindowsEx(00000002,00000000)" \
    "$(e2e_pages)|$(e2e_calls user32.CreateWindowExA | grep -c '"SetupMain"')|$(e2e_calls user32.MessageBoxA)|$(e2e_calls user32.ExitWindowsEx)"
e2e_check "-u: the serial mouse names the driver, no other key changes" \
    "$(e2e_route "$SER_DEV" 0001 Serial)" "$(e2e_added "$E2E_DIR/before-u.reg")"
# Its notes go to the installed product's journal, which its uninstaller reads, none to the media.
e2e_check "-u: the serial record beside the program, the notes in the installed journal, no other file changed" \
    "$(e2e_script_with Serial "$E2E_DIR/before-u.reg" "$SER_DEV" 0001 && grep -v "^./${DEST##*/}/SETUP.INF " "$E2E_DIR/before-u.files")|0 1" \
    "$(e2e_unjournalled "$E2E_MEDIA/SETUP.INF" && e2e_files | grep -v "^./${DEST##*/}/SETUP.INF ")|$(
        grep -c '^\[Undo' "$E2E_MEDIA/SETUP.INF") $(e2e_record "$DEST/SETUP.INF" 'Undo Values' | grep -cF "HKLM\\$SER_DEV\\\\DeviceDesc=")"

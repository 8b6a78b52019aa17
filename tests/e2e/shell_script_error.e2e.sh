#!/usr/bin/env bash
# Windows 98: a script that the loader refuses (a negative file count) ends
# the program with the reading-error message under the product's caption,
# before any backdrop or page exists; in the "-u" run as well.
. "$(dirname "$0")/lib.sh"
e2e_begin shell_script_error

e2e_copy_media /nonexistent
cat >"$E2E_MEDIA/SETUP.INF" <<'INF'
[Main]
ProductName=Quillon Mouse
DefaultPath=C:\QUILLON

[DiskLabel]
Disk1=Quillon Mouse Disk 1

[FileCounts]
Disk1=-1
INF
e2e_trace user32.MessageBoxA user32.CreateWindowExA user32.CreateDialogParamA \
    user32.ExitWindowsEx kernel32.GetVersion
e2e_start_setup

caption="Quillon Mouse Setup Program"
e2e_assert "a message box captioned \"$caption\" comes up" e2e_wait_window "$caption" 30
e2e_screenshot reading_error >/dev/null
e2e_assert_eq "SETUP.INF Reading error !" "$(e2e_msgbox_text "$caption")" "message text"
e2e_assert_eq "1" "$(e2e_drv windows | wc -l)" "the message box is the only window"
e2e_click "$caption" 1
e2e_assert "the program ends after OK" e2e_wait_exit 30
e2e_assert_eq 0 "$SETUP_EXIT" "exit status"

e2e_assert_eq 1 "$(e2e_calls user32.MessageBoxA | wc -l)" "one message box in all"
e2e_assert_called user32.MessageBoxA "00000000,"
e2e_assert_contains "$(e2e_calls user32.MessageBoxA)" "\"$caption\",00000030)" \
    "no owner, warning icon, OK only"
e2e_assert_not_called user32.CreateWindowExA
e2e_assert_not_called user32.CreateDialogParamA
e2e_assert_not_called user32.ExitWindowsEx
mv "$E2E_DIR/setup.trace" "$E2E_DIR/full_setup.trace"

e2e_start_setup -u
e2e_assert "-u: the same message comes up" e2e_wait_window "$caption" 30
e2e_assert_eq "SETUP.INF Reading error !" "$(e2e_msgbox_text "$caption")" "-u: message text"
e2e_screenshot reading_error_u >/dev/null
e2e_click "$caption" 1
e2e_assert "-u: the program ends after OK" e2e_wait_exit 30
e2e_assert_eq 1 "$(e2e_calls user32.MessageBoxA | wc -l)" "-u: one message box in all"
e2e_assert_not_called user32.CreateDialogParamA
e2e_assert_not_called user32.ExitWindowsEx
mv "$E2E_DIR/setup.trace" "$E2E_DIR/reregister.trace"
e2e_finish

#!/usr/bin/env bash
# Windows NT family (Wine set to Windows XP): a full setup refuses to run with
# the "Warning" message alone, before it reads its script or makes a window;
# the "-u" run skips that gate and comes up with the mouse-type page.
. "$(dirname "$0")/lib.sh"
e2e_begin shell_nt_family
e2e_use_nt

e2e_copy_media /nonexistent
cat >"$E2E_MEDIA/SETUP.INF" <<'INF'
[Main]
ProductName=Quillon Mouse
DefaultPath=C:\QUILLON

[DiskLabel]
Disk1=Quillon Mouse Disk 1

[FileCounts]
Disk1=0
INF
e2e_trace user32.MessageBoxA user32.CreateWindowExA user32.CreateDialogParamA \
    user32.RegisterClassA kernel32.GetPrivateProfileStringA kernel32.GetPrivateProfileIntA \
    user32.ExitWindowsEx

# --- full setup: the version gate ---
e2e_start_setup
e2e_assert "a message box captioned \"Warning\" comes up" e2e_wait_window Warning 30
e2e_screenshot nt_warning >/dev/null
e2e_assert_eq "This  Mouse Setup Program is for Windows 95/98 only !" \
    "$(e2e_msgbox_text Warning)" "warning text, with its two blanks"
windows=$(e2e_windows)
e2e_assert_eq 1 "$(grep -c . <<<"$windows")" "the warning is the only window"
e2e_assert_contains "$windows" $'\tWarning\t#32770\t' "listed as a message box"
e2e_click Warning 1
e2e_assert "the program ends after OK" e2e_wait_exit 30
e2e_assert_eq 0 "$SETUP_EXIT" "exit status"
e2e_assert_eq 1 "$(e2e_calls user32.MessageBoxA | wc -l)" "one message box in all"
e2e_assert_contains "$(e2e_calls user32.MessageBoxA)" '00000000,' "the warning has no owner"
e2e_assert_contains "$(e2e_calls user32.MessageBoxA)" '"Warning",00000030)' \
    "captioned Warning, with the warning icon and OK only"
e2e_assert_not_called kernel32.GetPrivateProfileStringA
e2e_assert_not_called kernel32.GetPrivateProfileIntA
e2e_assert_not_called user32.CreateWindowExA
e2e_assert_not_called user32.RegisterClassA
e2e_assert_not_called user32.CreateDialogParamA
mv "$E2E_DIR/setup.trace" "$E2E_DIR/full_setup.trace"

# --- "-u": no gate, the mouse-type page as a top-level window ---
e2e_start_setup -u
page="Quillon Mouse Setup"
e2e_assert "the mouse-type page \"$page\" comes up" e2e_wait_window "$page" 30
e2e_screenshot reregister_page >/dev/null
e2e_assert_not "no \"Warning\" window" e2e_exists Warning
e2e_assert_not_called user32.MessageBoxA
e2e_assert_not_called user32.CreateWindowExA
e2e_assert_called user32.CreateDialogParamA "00400000,0000006c,00000000,"
e2e_assert_eq 1 "$(e2e_window_titles | grep -c .)" "the page is the only window"
e2e_assert_contains "$(e2e_windows)" $'\towner=00000000\t' "the page has no owner"
e2e_assert_eq 0 "$(e2e_drv is-enabled "$page" 3)" "Back is disabled in the -u run"
# Cancel: the page's notice, then the program ends with no restart.
e2e_click "$page" 2
e2e_assert "the cancel notice comes up" e2e_wait_window "Quillon Mouse Setup Program" 20
e2e_assert_eq "Quillon Mouse installation is not completed !" \
    "$(e2e_msgbox_text "Quillon Mouse Setup Program")" "cancel notice text"
e2e_click "Quillon Mouse Setup Program" 1
e2e_assert "the program ends after the notice" e2e_wait_exit 30
e2e_assert_not_called user32.ExitWindowsEx
mv "$E2E_DIR/setup.trace" "$E2E_DIR/reregister.trace"
e2e_finish

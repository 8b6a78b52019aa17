#!/usr/bin/env bash
# Windows 98, the sample media: the order of the pages in a full setup.
# Cancel on the welcome page ends at once; Back leads to the page before; the
# running mouse application is closed just before the copy page; with
# "restart later" the program ends without a restart and destroys its backdrop;
# with "restart now" it asks Windows to restart.
. "$(dirname "$0")/lib.sh"
e2e_begin shell_page_walk
e2e_copy_media
[ -f "$E2E_MEDIA/SETUP.INF" ] || e2e_die "no sample media: build the media target"
page="Velor Scroll Mouse Setup"
caption="Velor Scroll Mouse Setup Program"
windir=$E2E_DRIVE_C/windows

# The templates shown, in order, as the trace names them (101 = 65 hex...).
templates() {
    e2e_calls user32.CreateDialogParamA | sed 's/^Call user32.CreateDialogParamA([0-9a-f]*,0*\([0-9a-f]*\),.*/\1/' |
        tr '\n' ' ' | sed 's/ $//'
}
# on NAME CONTROL: the page carrying CONTROL is up.
on() { e2e_assert "$1 page" e2e_wait_control "$page" "$2" 30; }

# --- Cancel on the welcome page ---
cp "$windir/system.ini" "$E2E_DIR/system.ini.before"
e2e_trace user32.CreateDialogParamA user32.ExitWindowsEx
e2e_start_setup
on welcome 1024
e2e_click "$page" 2
e2e_assert "cancel notice" e2e_wait_window "$caption" 20
e2e_assert_eq "Velor Scroll Mouse installation is not completed !" "$(e2e_msgbox_text "$caption")" \
    "cancel notice text"
e2e_click "$caption" 1
e2e_assert "the program ends after the notice" e2e_wait_exit 30
e2e_assert_eq 0 "$SETUP_EXIT" "exit status after a cancel"
e2e_assert_eq "65" "$(templates)" "only the welcome page was shown"
e2e_assert_not_called user32.ExitWindowsEx
e2e_assert "system.ini untouched after a cancel" cmp -s "$windir/system.ini" "$E2E_DIR/system.ini.before"
e2e_assert_not "nothing installed after a cancel" test -e "$E2E_DRIVE_C/VELOR"
mv "$E2E_DIR/setup.trace" "$E2E_DIR/cancel.trace"

# --- Back and forth, the mouse application, restart later ---
mkdir -p "$E2E_DRIVE_C/APP"
app=$SETUP_BUILD_DIR/media-originals/ZKMAIN.EXE
if [ -f "$app" ]; then
    cp "$app" "$E2E_DRIVE_C/APP/ZKMAIN.EXE"
    e2e_start_program 'C:\APP\ZKMAIN.EXE'
    e2e_assert "the mouse application runs" e2e_wait_window Dorvantix 30
else
    e2e_fail "no mouse application stand-in at $app"
fi
e2e_trace user32.CreateDialogParamA user32.FindWindowA user32.SendMessageA \
    user32.DestroyWindow user32.ExitWindowsEx
e2e_start_setup
on welcome 1024
e2e_click "$page" 1
on mouse-type 1034
e2e_click "$page" 3
on "welcome after Back" 1024
e2e_click "$page" 1
on "mouse-type again" 1034
e2e_click "$page" 1
on destination 1003
e2e_click "$page" 3
on "mouse-type after Back" 1034
e2e_click "$page" 1
on "destination again" 1003
app_window=$(e2e_windows | awk -F'\t' '$2 == "Dorvantix" { print $1 }')
e2e_assert "the mouse application is still there before the copy" e2e_exists Dorvantix
e2e_click "$page" 1
on finish 1032
e2e_screenshot finish >/dev/null
backdrop=$(e2e_windows | awk -F'\t' '$3 == "SetupMain" { print $1 }')
e2e_assert_not "the mouse application was closed" e2e_exists Dorvantix
e2e_drv check-radio "$page" 1033 >/dev/null
e2e_assert_eq 1 "$(e2e_drv is-checked "$page" 1033)" "restart later chosen"
e2e_click "$page" 1
e2e_assert "the program ends after Finish" e2e_wait_exit 60
e2e_assert_eq 0 "$SETUP_EXIT" "exit status after the setup"
e2e_assert_eq "65 6c 65 6c 6b 6c 6b 67 66" "$(templates)" \
    "welcome, mouse, Back, welcome, mouse, destination, Back, mouse, destination, copy, finish"
e2e_assert_not_called user32.ExitWindowsEx
if [ -n "$backdrop" ]; then
    e2e_assert_called user32.DestroyWindow "$backdrop)"
else
    e2e_fail "no backdrop window was seen"
fi
# The close request went to the application between the destination page and the copy page.
order=$(grep -iE "Call user32\.(CreateDialogParamA|SendMessageA\(${app_window:-none},00000010)" \
    "$E2E_DIR/setup.trace" | sed 's/^[0-9a-f]*:Call user32\.//; s/(.*//' | tr '\n' ' ')
e2e_assert_contains "$order" "CreateDialogParamA SendMessageA CreateDialogParamA CreateDialogParamA " \
    "WM_CLOSE sent once, right before the copy page"
e2e_assert_eq 1 "$(grep -ciE "Call user32\.SendMessageA\(${app_window:-none},00000010" "$E2E_DIR/setup.trace")" \
    "one close request"
e2e_assert_called user32.FindWindowA '00000000,'
e2e_assert "system.ini was patched (system.bak kept)" test -f "$windir/system.bak"
mv "$E2E_DIR/setup.trace" "$E2E_DIR/walk.trace"

# --- Straight through again, restart now (the finish page's default) ---
e2e_trace user32.CreateDialogParamA user32.ExitWindowsEx
e2e_start_setup
on welcome 1024
e2e_click "$page" 1
on mouse-type 1034
e2e_click "$page" 1
on destination 1003
e2e_click "$page" 1
# The folder exists from the run before: the page asks, OK goes on.
e2e_assert "the page asks about the existing folder" e2e_wait_window "$caption" 20
e2e_click "$caption" 1
on finish 1032
e2e_assert_eq 1 "$(e2e_drv is-checked "$page" 1032)" "restart now is the default"
e2e_click "$page" 1
# Wine ends every process of the prefix on this restart: only SETUP.EXE's
# end and the trace are looked at from here on.
e2e_assert "the program ends after Finish" e2e_wait_exit 60
e2e_assert_eq "65 6c 6b 67 66" "$(templates)" "welcome, mouse, destination, copy, finish"
e2e_assert_eq 1 "$(e2e_calls user32.ExitWindowsEx | wc -l)" "one restart request"
e2e_assert_called user32.ExitWindowsEx "00000002,00000000"
e2e_finish

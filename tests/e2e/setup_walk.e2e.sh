#!/usr/bin/env bash
# A full setup with a user who changes their mind: Back and Next through the
# pages, the mouse-type choice and a browsed folder surviving Back; the
# folder chooser (a drive change and a double-clicked folder show in its
# field, Cancel leaves the destination, OK makes it the destination); the
# running mouse application closed before the copy; "No, I will restart my
# computer later.": no restart, the backdrop gone.
. "$(dirname "$0")/lib.sh"
e2e_begin setup_walk
. "$(dirname "$0")/setup_common.sh"
e2e_copy_media
[ -f "$E2E_MEDIA/SETUP.INF" ] || e2e_die "no sample media: build the media target"
seed_machine
# A folder of the user's, to be chosen in the chooser (in lower case, as the
# old-style dialog lists and reports folders, so the checks here find it).
mkdir -p "$E2E_DRIVE_C/products"

# The mouse application, started as the Run entry would start it.
mkdir -p "$E2E_DRIVE_C/APP"
cp "$ORIGINALS/ZKMAIN.EXE" "$E2E_DRIVE_C/APP/ZKMAIN.EXE"
e2e_start_program 'C:\APP\ZKMAIN.EXE' -startup
APP_PID=$E2E_LAST_PID
e2e_assert "the mouse application runs" e2e_wait_window Dorvantix 30

e2e_trace user32.CreateDialogParamA user32.SendMessageA user32.DestroyWindow user32.ExitWindowsEx
e2e_start_setup
on welcome 1024 60
e2e_click "$PAGE" 1
on mouse-type 1035
e2e_drv check-radio "$PAGE" 1035 >/dev/null || e2e_fail "cannot pick PS/2 Mouse"
e2e_click "$PAGE" 3
on welcome-after-back 1024
e2e_click "$PAGE" 1
on mouse-type-again 1035
e2e_assert_eq "1 0" "$(e2e_drv is-checked "$PAGE" 1035) $(e2e_drv is-checked "$PAGE" 1034)" \
    "PS/2 Mouse still marked after Back"
e2e_click "$PAGE" 1
on destination 1025
e2e_assert_eq 'C:\VELOR' "$(e2e_text "$PAGE" 1003)" "the proposed folder"

# --- the folder chooser, first time: look around, then Cancel ---
# The old-style dialog lists and reports folders in lower case.
# chooser_pick_drive ITEM: opens the drive list and clicks a drive in it.
chooser_pick_drive() {
    local r
    r=$(e2e_drv rect "$CHOOSER" 1137) || return 1
    IFS=, read -r left top right bottom <<<"$r"
    e2e_drv click-pos $(((left + right) / 2)) $(((top + bottom) / 2)) || return 1
    local pos
    pos=$(e2e_drv item-pos class:ComboLBox 0 "$1") || return 1
    # shellcheck disable=SC2086
    e2e_drv click-pos $pos
}
# chooser_field_is TEXT: waits until the chooser's field reads TEXT, in any case.
chooser_field_is() {
    local i
    for i in $(seq 40); do
        [ "$(e2e_text "$CHOOSER" 1003 | tr 'A-Z' 'a-z')" = "$(tr 'A-Z' 'a-z' <<<"$1")" ] && return 0
        sleep 0.25
    done
    return 1
}
chooser_open_folder() {
    local pos
    pos=$(e2e_drv item-pos "$CHOOSER" 1121 "$1") || return 1
    # shellcheck disable=SC2086
    e2e_drv double-click-pos $pos
}

e2e_click "$PAGE" 1025
e2e_assert "the chooser opens" e2e_wait_window "$CHOOSER" 20
e2e_drv wait-text "$CHOOSER" 1003 'C:\VELOR' 10 >/dev/null
e2e_assert_eq 'C:\VELOR' "$(e2e_text "$CHOOSER" 1003)" "the chooser's field shows the destination"
e2e_screenshot chooser >/dev/null
chooser_pick_drive '[-z-]' || e2e_fail "cannot choose drive Z"
sleep 0.5
field=$(e2e_text "$CHOOSER" 1003)
e2e_assert_eq 'z:\' "$(tr 'A-Z' 'a-z' <<<"${field:0:3}")" "a drive change shows that drive's folder ($field)"
e2e_screenshot chooser-drive-z >/dev/null
chooser_pick_drive '[-c-]' || e2e_fail "cannot choose drive C"
sleep 0.5
chooser_open_folder '[windows]' || e2e_fail "no windows folder in the list"
chooser_field_is 'c:\windows'
e2e_assert_eq 'c:\windows' "$(e2e_text "$CHOOSER" 1003 | tr 'A-Z' 'a-z')" \
    "a double-clicked folder shows in the field"
e2e_screenshot chooser-windows >/dev/null
e2e_click "$CHOOSER" 2
e2e_assert "Cancel closes the chooser" e2e_wait_gone "$CHOOSER" 10
e2e_assert_eq 'C:\VELOR' "$(e2e_text "$PAGE" 1003)" "Cancel leaves the destination"

# --- second time: a folder double-clicked, then OK ---
e2e_click "$PAGE" 1025
e2e_assert "the chooser opens again" e2e_wait_window "$CHOOSER" 20
e2e_drv wait-text "$CHOOSER" 1003 'C:\VELOR' 10 >/dev/null
chooser_open_folder '[products]' || e2e_fail "no products folder in the list"
chooser_field_is 'c:\products'
chosen=$(e2e_text "$CHOOSER" 1003)
e2e_assert_eq 'c:\products' "$(tr 'A-Z' 'a-z' <<<"$chosen")" "the double-clicked folder in the field"
e2e_click "$CHOOSER" 1
e2e_assert "OK closes the chooser" e2e_wait_gone "$CHOOSER" 10
e2e_assert_eq "$chosen" "$(e2e_text "$PAGE" 1003)" "OK makes it the destination"
e2e_screenshot destination-browsed >/dev/null

# --- Back with the browsed folder, and forward again ---
e2e_click "$PAGE" 3
on mouse-type-third 1035
e2e_assert_eq 1 "$(e2e_drv is-checked "$PAGE" 1035)" "PS/2 Mouse still marked"
e2e_click "$PAGE" 1
on destination-again 1025
e2e_assert_eq "$chosen" "$(e2e_text "$PAGE" 1003)" "the browsed folder survived Back"

# An existing folder: the question first; Cancel stays, OK goes on.
e2e_assert "the mouse application still runs before the copy" e2e_exists Dorvantix
e2e_click "$PAGE" 1
answer_box question-cancel \
    "The specified directory is already exist !
Do you still want to install into this directory ?" 2
e2e_assert "the page stays after Cancel on the question" e2e_exists "$PAGE"
e2e_click "$PAGE" 1
answer_box question-ok \
    "The specified directory is already exist !
Do you still want to install into this directory ?" 1
on copy 1019 30
on finish 1033 120
e2e_assert_not "the mouse application was closed before the copy" e2e_exists Dorvantix
backdrop=$(e2e_windows | awk -F'\t' '$3 == "SetupMain" { print $1 }')
e2e_drv check-radio "$PAGE" 1033 >/dev/null || e2e_fail "cannot pick restart later"
e2e_screenshot finish-later >/dev/null
e2e_click "$PAGE" 1
e2e_assert "SETUP.EXE ends after Finish" e2e_wait_exit 60
e2e_assert_eq 0 "$SETUP_EXIT" "exit status"
e2e_assert_not_called user32.ExitWindowsEx
if [ -n "$backdrop" ]; then
    e2e_assert_called user32.DestroyWindow "$backdrop)"
else
    e2e_fail "no backdrop window was seen"
fi
e2e_assert_not "the backdrop is gone" e2e_exists class:SetupMain
e2e_assert_not "the mouse application has ended" kill -0 "$APP_PID" 2>/dev/null
e2e_assert_eq "65 6c 65 6c 6b 6c 6b 67 66" "$(shown_templates)" \
    "welcome, mouse, Back, welcome, mouse, destination, Back, mouse, destination, copy, finish"

dest=$E2E_DRIVE_C/products
check_installed 'C:\products'
check_product_registered "$chosen"
check_mouse PS2
e2e_assert_eq "$(expected_record PS2)" "$(record_section "$dest/SETUP.INF" PS2)" \
    "the old PS/2 values recorded in the chosen folder"
e2e_assert_not "nothing in the proposed folder" test -e "$E2E_DRIVE_C/VELOR"
check_system_ini_patched

e2e_finish

#!/usr/bin/env bash
# One install, end to end, on a Windows 98 machine with a PS/2 and a serial
# mouse: welcome, "PS/2 Mouse", the proposed folder, the copy, the finish page
# with the restart kept. Every file, registry entry, the record, system.ini,
# VMOUSE.BAK and the restart request are checked. Then, on the same machine,
# SETUP.EXE -u from the destination folder on the serial route: message 53,
# the restart, and a Serial record beside the unchanged PS2 one.
. "$(dirname "$0")/lib.sh"
e2e_begin setup_full
. "$(dirname "$0")/setup_common.sh"
e2e_copy_media
[ -f "$E2E_MEDIA/SETUP.INF" ] || e2e_die "no sample media: build the media target"
seed_machine

# --- the full setup ---
e2e_trace user32.ExitWindowsEx user32.CreateDialogParamA
e2e_start_setup
on welcome 1024 60
e2e_assert_eq " This program will install $PRODUCT into your computer." "$(e2e_text "$PAGE" 1024)" \
    "welcome text"
e2e_click "$PAGE" 1
on mouse-type 1035
e2e_assert_eq 1 "$(e2e_drv is-checked "$PAGE" 1034)" "Serial Mouse marked at first"
e2e_drv check-radio "$PAGE" 1035 >/dev/null || e2e_fail "cannot pick PS/2 Mouse"
e2e_screenshot mouse-type-ps2 >/dev/null
e2e_click "$PAGE" 1
on destination 1025
e2e_assert_eq "C:\\VELOR" "$(e2e_text "$PAGE" 1003)" "the proposed folder"
e2e_assert_eq "$PRODUCT files are to be installed :" "$(e2e_text "$PAGE" 1023)" "destination heading"
e2e_click "$PAGE" 1
on copy 1019 30
on finish 1032 120
e2e_assert_eq "You have installed $PRODUCT Successfully !" "$(e2e_text "$PAGE" 1023)" "finish heading"
e2e_assert_eq 1 "$(e2e_drv is-checked "$PAGE" 1032)" "restart now marked"
e2e_click "$PAGE" 1
e2e_assert "SETUP.EXE ends after Finish" e2e_wait_exit 60
e2e_assert_eq 0 "$SETUP_EXIT" "exit status"
e2e_assert_called user32.ExitWindowsEx "00000002,00000000"
e2e_assert_eq "65 6c 6b 67 66" "$(shown_templates)" "welcome, mouse type, destination, copy, finish"
mv "$E2E_DIR/setup.trace" "$E2E_DIR/full.trace"

check_installed 'C:\VELOR'
check_product_registered 'C:\VELOR'
check_mouse PS2
e2e_assert_eq 'Standard Serial Mouse' "$(query HKLM "$SER_DEV" DeviceDesc)" "serial mouse untouched"
record=$(unix_path 'C:\VELOR\SETUP.INF')
e2e_assert_eq "$(expected_record PS2)" "$(record_section "$record" PS2)" \
    "the old PS/2 values recorded in order"
e2e_assert_eq "" "$(record_section "$record" Serial)" "no Serial record yet"
check_system_ini_patched
cp "$record" "$E2E_DIR/SETUP.INF.after-install"

# --- SETUP.EXE -u from the destination folder, serial route ---
e2e_assert_eq 'ROOT\*PNP0F0C\0000' "$(query HKDD 'Config Manager\Enum\C2B07A60' HardWareKey)" \
    "the device list survived the restart request"
cp "$SETUP_BUILD_DIR/bin/SETUP.EXE" "$(unix_path 'C:\VELOR\SETUP.EXE')"
e2e_trace user32.ExitWindowsEx user32.CreateDialogParamA
e2e_start_program 'C:\VELOR\SETUP.EXE' -u
SETUP_PID=$E2E_LAST_PID
on reregister-mouse-type 1034
e2e_assert_eq 0 "$(e2e_drv is-enabled "$PAGE" 3)" "no Back in the -u run"
e2e_assert_eq 1 "$(e2e_drv is-checked "$PAGE" 1034)" "Serial Mouse marked"
e2e_assert_not "no backdrop in the -u run" e2e_exists class:SetupMain
e2e_click "$PAGE" 1
answer_box message-53 \
    "The Mouse Setup Program has installed driver successfully. You have to restart your Windows now !" 1
e2e_assert "the -u run ends" e2e_wait_exit 30
e2e_assert_called user32.ExitWindowsEx "00000002,00000000"
e2e_assert_eq "6c" "$(shown_templates)" "only the mouse-type page in the -u run"

check_mouse Serial
check_mouse PS2
e2e_assert_eq "$(expected_record Serial)" "$(record_section "$record" Serial)" \
    "the old serial values recorded beside the PS2 record"
e2e_assert_eq "$(expected_record PS2)" "$(record_section "$record" PS2)" "the PS2 record unchanged"
e2e_assert_eq "$(tr -d '\r' <"$E2E_DIR/system.ini.before" | sed 's/^mouse=\*vmd, msmouse.vxd$/mouse=*vmouse/')" \
    "$(tr -d '\r' <"$WINDIR_UNIX/system.ini")" "system.ini as the full setup left it"

e2e_finish

#!/usr/bin/env bash
# A -u run of SETUP.EXE from the product's folder on a machine with a PS/2
# mouse: the user picks "PS/2 Mouse", the device and its class key name the
# driver again, the old values go into the SETUP.INF beside the program (a
# second -u run keeps them), no product entry is written, message 53 comes
# and Windows is asked to restart.
. "$(dirname "$0")/lib.sh"
e2e_begin system_reregister

e2e_copy_media
query() { e2e_drv reg-query "$@" 2>/dev/null | tr -d '\r'; }
seed() { e2e_drv reg-set "$@" >/dev/null || e2e_die "cannot seed $*"; }
script_value() { tr -d '\r' <"$E2E_MEDIA/SETUP.INF" | sed -n "s/^$1=//p" | head -1; }
product=$(script_value ProductName)
[ -n "$product" ] || e2e_die "no ProductName in the media's SETUP.INF"
page="$product Setup"             # the page's template caption after the product name
caption="$product Setup Program" # the message boxes' caption
dev='Enum\BIOS\*PNP0F13\0000'
cls='System\CurrentControlSet\Services\Class\Mouse\0000'
message="The Mouse Setup Program has installed driver successfully. You have to restart your Windows now !"

# The device list lives as long as the server session does.
wineserver -p
seed HKDD 'Config Manager\Enum\C29A3E40' HardWareKey sz 'BIOS\*PNP0F13\0000'
seed HKDD 'Config Manager\Enum\C1038E40' HardWareKey sz 'BIOS\*PNP0303\0000'
seed HKLM "$dev" Class sz 'Mouse'
seed HKLM "$dev" DeviceDesc sz 'Standard PS/2 Port Mouse'
seed HKLM "$dev" Mfg sz '(Standard mouse types)'
seed HKLM "$dev" Driver sz 'Mouse\0000'
seed HKLM "$cls" DevLoader sz '*vmouse'
seed HKLM "$cls" MouseDriver sz 'mouse.drv'
seed HKLM "$cls" InfPath sz 'MSMOUSE.INF'
seed HKLM "$cls" DriverDesc sz 'Standard PS/2 Port Mouse'
seed HKLM "$cls" DriverDate sz '4-23-1999'
seed HKLM "$cls" InfSection sz 'PS2_Inst'

# rerun: one -u run that picks PS/2 and confirms the message.
rerun() {
    e2e_start_setup -u
    e2e_wait_window "$page" 30 >/dev/null ||
        e2e_die "no mouse-type page titled $page; windows: $(e2e_window_titles | tr '\n' '|')"
    e2e_drv check-radio "$page" 1035 >/dev/null || e2e_die "cannot pick PS/2 Mouse"
    e2e_click "$page" 1 >/dev/null
    e2e_assert_eq "$message" "$(e2e_msgbox_text "$caption" | tr -d '\r')" "$1: message 53"
    e2e_click "$caption" 1 >/dev/null
    e2e_wait_exit 30 || e2e_die "SETUP.EXE did not end"
}

e2e_trace user32.ExitWindowsEx
rerun "first run"
e2e_assert_called user32.ExitWindowsEx "00000002,00000000"

e2e_assert_eq 'BIOS\*PNP0F13\0000' "$(query HKDD 'Config Manager\Enum\C29A3E40' HardWareKey)" \
    "the device list is still the seeded one"
name=$(script_value PS2Name)
driver=$(script_value MouseDriver)
[ -n "$name" ] && [ -n "$driver" ] || e2e_die "no PS2Name or MouseDriver in the media's SETUP.INF"
e2e_assert_eq "$name" "$(query HKLM "$dev" DeviceDesc)" "device description is the script's"
e2e_assert_eq "$driver" "$(query HKLM "$cls" MouseDriver)" "class key names the new driver"
e2e_assert_eq "PS2" "$(query HKLM "$cls" MouseType)" "class key mouse type"
e2e_assert_eq "" "$(query HKLM 'SOFTWARE\Microsoft\Windows\CurrentVersion\Run' Dorvantix)" \
    "no Run entry in a -u run"
e2e_assert_eq "" "$(query HKCR 'CLSID\{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}' '')" \
    "no property page class in a -u run"

section() { # the PS2 section of the record beside the program
    tr -d '\r' <"$E2E_MEDIA/SETUP.INF" | sed -n '/^\[PS2\]$/,/^\[/p' | grep -v '^\[' | grep -v '^$'
}
expected="SubKey1=$dev
DeviceDesc=Standard PS/2 Port Mouse
Mfg=(Standard mouse types)
SubKey2=$cls
MouseDriver=mouse.drv
InfPath=MSMOUSE.INF
DriverDesc=Standard PS/2 Port Mouse
DriverDate=4-23-1999
InfSection=PS2_Inst"
e2e_assert_eq "$expected" "$(section)" "old values recorded in order beside the program"

E2E_TRACE_FUNCS=
seed HKLM "$dev" DeviceDesc sz 'Changed Since'
rerun "second run"
e2e_assert_eq "$name" "$(query HKLM "$dev" DeviceDesc)" "a second -u run writes the device again"
e2e_assert_eq "$expected" "$(section)" "a second -u run keeps the first record"

e2e_finish

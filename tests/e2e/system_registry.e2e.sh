#!/usr/bin/env bash
# The registry step writes entries that outlast a restart of the Wine server
# (which drops volatile keys, as the NT family does at a restart), and the
# system.ini patch leaves system.ini and system.bak alone when system.new
# can't be written.
. "$(dirname "$0")/lib.sh"
e2e_begin system_registry

host=$SETUP_BUILD_DIR/bin/system_host.exe
[ -f "$host" ] || e2e_die "no test host at $host: build the system_host target"
c=$E2E_DRIVE_C
query() { e2e_drv reg-query "$@" 2>/dev/null | tr -d '\r'; }
seed() { e2e_drv reg-set "$@" >/dev/null || e2e_die "cannot seed $*"; }

mkdir -p "$c/MEDIA" "$c/VELOR"
cp "$host" "$c/MEDIA/"
cat >"$c/MEDIA/SETUP.INF" <<'EOF'
[Main]
ProductName=Velor Scroll Mouse
DefaultPath=C:\VELOR

[Startup]
Title=Velor Scroll Mouse
Mfg=Velor
MouseDriver=SCROLL.DRV
MouseInf=SCROLL.INF
DriverDate=10-12-1998
PS2InfSection=VelorScroll.PS2
SerialInfSection=VelorScroll.Serial
PS2Name=Velor Scroll Mouse (PS/2)
SeialName=Velor Scroll Mouse (Serial)
EOF
printf '[Main]\r\nProductName=Velor Scroll Mouse\r\n' >"$c/VELOR/SETUP.INF"

# One server session: the active-device list lives only as long as it does.
wineserver -p
dev='Enum\BIOS\*PNP0F13\0000'
cls='System\CurrentControlSet\Services\Class\Mouse'
seed HKDD 'Config Manager\Enum\C29A3E40' HardWareKey sz 'BIOS\*PNP0F13\0000'
seed HKLM "$dev" DeviceDesc sz 'Standard PS/2 Port Mouse'
seed HKLM "$dev" Mfg sz '(Standard mouse types)'
seed HKLM "$dev" Driver sz 'Mouse\0000'
seed HKLM "$cls\\0000" DevLoader sz '*vmouse'
seed HKLM "$cls\\0000" InfSection sz 'PS2_Inst'
e2e_assert "PS/2 install runs" wine 'C:\MEDIA\system_host.exe' install 0
# Serial chosen now: no serial mouse is active, so the own device key is made.
e2e_assert "serial install runs" wine 'C:\MEDIA\system_host.exe' install 1
e2e_assert_eq 'BIOS\*PNP0F13\0000' "$(query HKDD 'Config Manager\Enum\C29A3E40' HardWareKey)" \
    "before the restart, the active device"

wineserver -k
wineserver -w

# The restart really dropped what is volatile...
e2e_assert_eq "" "$(query HKDD 'Config Manager\Enum\C29A3E40' HardWareKey)" \
    "the active-device list is gone after the restart"
# ...and kept everything the setup wrote.
clsid='CLSID\{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}'
e2e_assert_eq "ZKMouseControlPage" "$(query HKCR "$clsid" '')" "class description"
e2e_assert_eq 'C:\VELOR\ZKPAGE.DLL' "$(query HKCR "$clsid\\InProcServer32" '')" \
    "property page server"
handlers='SOFTWARE\Microsoft\Windows\CurrentVersion\Controls Folder\Mouse\shellex\PropertySheetHandlers'
e2e_assert_eq "ZKMousePage" "$(query HKLM "$handlers" '')" "handler list"
e2e_assert_eq "{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}" "$(query HKLM "$handlers\\ZKMousePage" '')" \
    "handler"
e2e_assert_eq 'C:\VELOR\ZKMAIN.EXE -startup' \
    "$(query HKLM 'SOFTWARE\Microsoft\Windows\CurrentVersion\Run' Dorvantix)" "Run entry"
uninstall='SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Dorvantix'
e2e_assert_eq "Velor Scroll Mouse" "$(query HKLM "$uninstall" DisplayName)" "uninstall name"
e2e_assert_eq 'C:\VELOR\UNINSTAL.EXE' "$(query HKLM "$uninstall" UninstallString)" \
    "uninstall command"
e2e_assert_eq "Velor Scroll Mouse (PS/2)" "$(query HKLM "$dev" DeviceDesc)" \
    "PS/2 device description"
e2e_assert_eq "SCROLL.DRV" "$(query HKLM "$cls\\0000" MouseDriver)" "PS/2 class driver"
e2e_assert_eq "VelorScroll.PS2" "$(query HKLM "$cls\\0000" InfSection)" "PS/2 class section"
own='Enum\Root\VelorMouse\0000'
e2e_assert_eq "Mouse" "$(query HKLM "$own" Class)" "own serial device"
e2e_assert_eq "00 00 00 00" "$(query HKLM "$own" ConfigFlags)" "own serial device flags"
e2e_assert_eq 'Mouse\0001' "$(query HKLM "$own" Driver)" "own serial device driver"
e2e_assert_eq "*vmouse" "$(query HKLM "$cls\\0001" DevLoader)" "own serial class key"
e2e_assert_eq "Serial" "$(query HKLM "$cls\\0001" MouseType)" "own serial class type"
record=$(tr -d '\r' <"$c/VELOR/SETUP.INF")
e2e_assert_contains "$record" $'[PS2]\nSubKey1=Enum\\BIOS\\*PNP0F13\\0000\nDeviceDesc=Standard PS/2 Port Mouse' \
    "record of the old values in the destination"
e2e_assert_contains "$record" "InfSection=PS2_Inst" "record of the old class section"

# system.new on a full disk: every write fails; system.ini and system.bak stay.
win=$c/sysini
mkdir -p "$win/SYSTEM/VMM32"
ini=$(printf '[386Enh]\r\nmouse=*vmouse, msmouse.vxd\r\n')
patch_on_full_disk() { # WHAT
    printf '%s\n' "$ini" >"$win/system.ini"
    printf 'previous\r\n' >"$win/system.bak"
    e2e_assert_not "$1: the failure is reported" \
        wine 'C:\MEDIA\system_host.exe' patch 'C:\sysini' 'C:\sysini\SYSTEM'
    e2e_assert_eq "$ini" "$(cat "$win/system.ini")" "$1: system.ini unchanged"
    e2e_assert_eq "previous" "$(tr -d '\r' <"$win/system.bak")" "$1: system.bak unchanged"
}
# A link to the full device. Wine can't remove a device link, so what is left
# of system.new is not looked at here.
ln -s /dev/full "$win/system.new"
patch_on_full_disk "system.new on /dev/full"
rm -f "$win/system.new"
# A small file system that system.ini and system.bak fill.
if mount -t tmpfs -o size=12k tmpfs "$win" 2>/dev/null; then
    trap 'umount "$win" 2>/dev/null; e2e_cleanup' EXIT
    mkdir -p "$win/SYSTEM/VMM32"
    ini=$(
        printf '[386Enh]\r\n'
        for i in $(seq 300); do printf 'device=filler%04d.vxd\r\n' "$i"; done
        printf 'mouse=*vmouse, msmouse.vxd\r\n'
    )
    patch_on_full_disk "small file system"
    e2e_assert_not "small file system: the partial system.new is removed" \
        test -e "$win/system.new"
    umount "$win"
    trap e2e_cleanup EXIT
else
    e2e_log "no tmpfs mount here: the small file system case is not run"
fi

e2e_finish

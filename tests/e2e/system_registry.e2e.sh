#!/usr/bin/env bash
# The registry step writes entries that outlast a restart of the Wine server
# (which drops volatile keys as a restarting Windows does), and the
# system.ini patch leaves system.ini alone when system.new can't be written.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${SETUP_BUILD_DIR:?}
# shellcheck source=../../scripts/wine-env.sh
. "$here/scripts/wine-env.sh"

host=$build/bin/system_host.exe
driver=$build/bin/e2edriver.exe
for exe in "$host" "$driver"; do
    [ -f "$exe" ] || { echo "missing $exe" >&2; exit 1; }
done

template=${SETUP_WINE_TEMPLATE:-$build/wine/template}
wine_template "$template"
export WINEPREFIX=$build/wine/e2e-system_registry
wine_fresh_prefix "$template" "$WINEPREFIX"
trap 'wineserver -k 2>/dev/null || true' EXIT
c=$WINEPREFIX/drive_c

failures=0
check() { # check WHAT EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then
        echo "ok: $1"
    else
        echo "FAIL: $1: expected [$2], got [$3]"
        failures=$((failures + 1))
    fi
}
query() { wine "$driver" reg-query "$@" 2>/dev/null | tr -d '\r' || true; }
seed() { wine "$driver" reg-set "$@" >/dev/null; }

mkdir -p "$c/media" "$c/VELOR"
cp "$host" "$c/media/"
cat >"$c/media/SETUP.INF" <<'EOF'
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
wine "$c/media/system_host.exe" install 0
# Serial chosen now: no serial mouse is active, so the own device key is made.
wine "$c/media/system_host.exe" install 1
check "before the restart, the active device" 'BIOS\*PNP0F13\0000' \
    "$(query HKDD 'Config Manager\Enum\C29A3E40' HardWareKey)"

wineserver -k
wineserver -w

# The restart really dropped what is volatile...
check "the active device list is gone" "" \
    "$(query HKDD 'Config Manager\Enum\C29A3E40' HardWareKey)"
# ...and kept everything the setup wrote.
check "class description" "ZKMouseControlPage" \
    "$(query HKCR 'CLSID\{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}' '')"
check "property page server" 'C:\VELOR\ZKPAGE.DLL' \
    "$(query HKCR 'CLSID\{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}\InProcServer32' '')"
handlers='SOFTWARE\Microsoft\Windows\CurrentVersion\Controls Folder\Mouse\shellex\PropertySheetHandlers'
check "handler list" "ZKMousePage" "$(query HKLM "$handlers" '')"
check "handler" "{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}" \
    "$(query HKLM "$handlers\\ZKMousePage" '')"
check "Run entry" 'C:\VELOR\ZKMAIN.EXE -startup' \
    "$(query HKLM 'SOFTWARE\Microsoft\Windows\CurrentVersion\Run' Dorvantix)"
uninstall='SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Dorvantix'
check "uninstall name" "Velor Scroll Mouse" "$(query HKLM "$uninstall" DisplayName)"
check "uninstall command" 'C:\VELOR\UNINSTAL.EXE' "$(query HKLM "$uninstall" UninstallString)"
check "PS/2 device description" "Velor Scroll Mouse (PS/2)" "$(query HKLM "$dev" DeviceDesc)"
check "PS/2 class driver" "SCROLL.DRV" "$(query HKLM "$cls\\0000" MouseDriver)"
check "PS/2 class section" "VelorScroll.PS2" "$(query HKLM "$cls\\0000" InfSection)"
own='Enum\Root\VelorMouse\0000'
check "own serial device" "Mouse" "$(query HKLM "$own" Class)"
check "own serial device flags" "00 00 00 00" "$(query HKLM "$own" ConfigFlags)"
check "own serial device driver" 'Mouse\0001' "$(query HKLM "$own" Driver)"
check "own serial class key" "*vmouse" "$(query HKLM "$cls\\0001" DevLoader)"
check "own serial class type" "Serial" "$(query HKLM "$cls\\0001" MouseType)"
record=$(tr -d '\r' <"$c/VELOR/SETUP.INF")
check "record of the old description" 1 \
    "$(grep -c '^DeviceDesc=Standard PS/2 Port Mouse$' <<<"$record" || true)"
check "record of the old class section" 1 "$(grep -c '^InfSection=PS2_Inst$' <<<"$record" || true)"

# system.new on a full disk: every write fails; system.ini and system.bak stay.
win=$c/sysini
mkdir -p "$win/SYSTEM/VMM32"
ini=$(printf '[386Enh]\r\nmouse=*vmouse, msmouse.vxd\r\n')
patch_on_full_disk() { # WHAT: system.new is already in place, full
    printf '%s' "$ini" >"$win/system.ini"
    printf 'previous\r\n' >"$win/system.bak"
    local status=0
    wine "$c/media/system_host.exe" patch 'C:\sysini' 'C:\sysini\SYSTEM' || status=$?
    check "$1: the failure is reported" 1 "$status"
    check "$1: system.ini unchanged" "$ini" "$(cat "$win/system.ini")"
    check "$1: system.bak unchanged" "previous" "$(tr -d '\r' <"$win/system.bak")"
}
# A link to the full device: Wine can't remove a device link, so what is
# left of system.new is not looked at here.
ln -s /dev/full "$win/system.new"
patch_on_full_disk "system.new on /dev/full"
rm -f "$win/system.new"
# A small file system that system.ini and system.bak fill.
if mount -t tmpfs -o size=12k tmpfs "$win" 2>/dev/null; then
    trap 'umount "$win" 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
    mkdir -p "$win/SYSTEM/VMM32"
    ini=$(printf '[386Enh]\r\n'; for i in $(seq 300); do printf 'device=filler%04d.vxd\r\n' "$i"; done
          printf 'mouse=*vmouse, msmouse.vxd\r\n')
    patch_on_full_disk "small file system"
    check "small file system: partial system.new removed" "gone" \
        "$([ -e "$win/system.new" ] && echo left || echo gone)"
    umount "$win"
else
    echo "skipped: no tmpfs mount here, the small file system case is not run"
fi

[ "$failures" -eq 0 ]

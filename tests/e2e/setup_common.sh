# shellcheck shell=bash
# Shared by the setup_*.e2e.sh scenarios: a Windows 98-like machine to set up
# (a PS/2 and a serial mouse among the active devices, a system.ini with its
# mouse line, VMM32\VMOUSE.VXD), the walk through the pages, and the checks
# of what a full setup leaves on disk and in the registry.
# Sourced after lib.sh and e2e_begin.

PRODUCT="Velor Scroll Mouse"
PAGE="$PRODUCT Setup"             # title of every page
CAPTION="$PRODUCT Setup Program" # caption of the message boxes
CHOOSER="Browse Directory"
NOTICE="$PRODUCT installation is not completed !"
WINDIR_UNIX=$E2E_DRIVE_C/windows
SYSDIR_UNIX=$WINDIR_UNIX/system
# The folder GetSystemDirectoryA names: Wine keeps it in system32 even in its
# Windows 98 mode, while the script's SYSTEM folder is windows\system.
VMM32_UNIX=$WINDIR_UNIX/system32/VMM32
ORIGINALS=$SETUP_BUILD_DIR/media-originals

PS2_DEV='Enum\BIOS\*PNP0F13\0000'
PS2_CLASS='System\CurrentControlSet\Services\Class\Mouse\0000'
SER_DEV='Enum\ROOT\*PNP0F0C\0000'
SER_CLASS='System\CurrentControlSet\Services\Class\Mouse\0001'
CLSID='CLSID\{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}'
WINCV='SOFTWARE\Microsoft\Windows\CurrentVersion'
HANDLERS="$WINCV"'\Controls Folder\Mouse\shellex\PropertySheetHandlers'

query() { e2e_drv reg-query "$@" 2>/dev/null; }
seed() { e2e_drv reg-set "$@" >/dev/null || e2e_die "cannot seed $*"; }

# A machine as Windows 98 leaves it with a PS/2 and a serial mouse attached.
seed_machine() {
    # The active-device list lives only as long as the server session.
    wineserver -p
    seed HKDD 'Config Manager\Enum\C29A3E40' HardWareKey sz 'BIOS\*PNP0F13\0000'
    seed HKDD 'Config Manager\Enum\C1038E40' HardWareKey sz 'BIOS\*PNP0303\0000'
    seed HKDD 'Config Manager\Enum\C2B07A60' HardWareKey sz 'ROOT\*PNP0F0C\0000'
    seed HKLM "$PS2_DEV" Class sz Mouse
    seed HKLM "$PS2_DEV" DeviceDesc sz 'Standard PS/2 Port Mouse'
    seed HKLM "$PS2_DEV" Mfg sz '(Standard mouse types)'
    seed HKLM "$PS2_DEV" Driver sz 'Mouse\0000'
    seed HKLM "$PS2_CLASS" DevLoader sz '*vmouse'
    seed HKLM "$PS2_CLASS" MouseDriver sz 'mouse.drv'
    seed HKLM "$PS2_CLASS" InfPath sz 'MSMOUSE.INF'
    seed HKLM "$PS2_CLASS" DriverDesc sz 'Standard PS/2 Port Mouse'
    seed HKLM "$PS2_CLASS" DriverDate sz '4-23-1999'
    seed HKLM "$PS2_CLASS" InfSection sz 'PS2_Inst'
    seed HKLM "$SER_DEV" Class sz Mouse
    seed HKLM "$SER_DEV" DeviceDesc sz 'Standard Serial Mouse'
    seed HKLM "$SER_DEV" Mfg sz '(Standard mouse types)'
    seed HKLM "$SER_DEV" Driver sz 'Mouse\0001'
    seed HKLM "$SER_CLASS" DevLoader sz '*vmouse'
    seed HKLM "$SER_CLASS" MouseDriver sz 'mouse.drv'
    seed HKLM "$SER_CLASS" InfPath sz 'MSMOUSE.INF'
    seed HKLM "$SER_CLASS" DriverDesc sz 'Standard Serial Mouse'
    seed HKLM "$SER_CLASS" DriverDate sz '4-23-1999'
    seed HKLM "$SER_CLASS" InfSection sz 'SERIAL_Inst'

    printf '%s\r\n' '[boot]' 'shell=Explorer.exe' 'mouse.drv=mouse.drv' '' '[386Enh]' \
        'ebios=*ebios' ';mouse=*vmd' 'mouse=*vmd, msmouse.vxd' 'woafont=dosapp.fon' '' \
        '[drivers]' 'wave=mmdrv.dll' >"$WINDIR_UNIX/system.ini"
    cp "$WINDIR_UNIX/system.ini" "$E2E_DIR/system.ini.before"
    rm -f "$WINDIR_UNIX/system.bak"
    mkdir -p "$VMM32_UNIX"
    printf 'Windows 98 mouse port VxD\r\n' >"$VMM32_UNIX/VMOUSE.VXD"
    e2e_drv reg-enum HKLM 'System\CurrentControlSet\Services\Class\Mouse' >"$E2E_DIR/classes.before"
}

# on NAME CONTROL [SECONDS]: the page that carries CONTROL is up; it is shot
# into NAME.png once it has painted.
on() {
    if e2e_wait_control "$PAGE" "$2" "${3:-30}"; then
        sleep 0.3
        e2e_screenshot "$1" >/dev/null
        e2e_pass_check "$1 page shown"
        return 0
    fi
    e2e_screenshot "$1-missing" >/dev/null
    e2e_die "$1 page did not come up; windows: $(e2e_window_titles | tr '\n' '|')"
}

# answer_box NAME EXPECTED-TEXT BUTTON: the message box captioned CAPTION
# reads EXPECTED-TEXT; it is shot and answered with BUTTON.
answer_box() {
    e2e_wait_window "$CAPTION" 20 || e2e_die "$1: no message box"
    sleep 0.2
    e2e_screenshot "$1" >/dev/null
    e2e_assert_eq "$2" "$(e2e_msgbox_text "$CAPTION")" "$1: text"
    e2e_click "$CAPTION" "$3" >/dev/null
    e2e_wait_gone "$CAPTION" 10 || e2e_fail "$1: the box stayed"
}

# unix_path 'C:\A\B': the prefix's file for a Windows path on drive C.
unix_path() {
    local p=${1#?:}
    p=${p//\\//}
    echo "$E2E_DRIVE_C$p"
}

# Where every file of the media's script lands, given the destination
# folder (a Unix path): "original-name destination-file" per line.
media_targets() {
    local dest=$1
    cat <<EOF
README.TXT $dest/README.TXT
ZKMAIN.EXE $dest/ZKMAIN.EXE
ZKPAGE.DLL $dest/ZKPAGE.DLL
UNINSTAL.EXE $dest/UNINSTAL.EXE
DRIVERS/SCROLL.DRV $SYSDIR_UNIX/SCROLL.DRV
DRIVERS/SCROLL.VXD $SYSDIR_UNIX/SCROLL.VXD
DRIVERS/SCROLL.INF $WINDIR_UNIX/inf/SCROLL.INF
DRIVERS/VELOR.INI $WINDIR_UNIX/VELOR.INI
HELP/MOUSEHLP.TXT $dest/HELP/MOUSEHLP.TXT
HELP/WHEEL.TXT $dest/HELP/WHEEL.TXT
HELP/BUTTONS.TXT $dest/HELP/BUTTONS.TXT
DOCS/TIPS.TXT $dest/DOCS/TIPS.TXT
EOF
}

# check_installed WINDOWS-DESTINATION: every file in place, byte for byte as
# before packing; the destination's SETUP.INF is the script plus the record.
check_installed() {
    local dest
    dest=$(unix_path "$1")
    local name target
    while read -r name target; do
        if cmp -s "$ORIGINALS/$name" "$target"; then
            e2e_pass_check "installed $name"
        else
            e2e_fail "$name not installed as $target, or it differs"
        fi
    done < <(media_targets "$dest")
    # The record is written through the profile functions, which drop the
    # blank lines; every other line of the script stays as it was.
    local script=$E2E_DIR/script.lines copied=$E2E_DIR/installed-SETUP.INF
    tr -d '\r' <"$ORIGINALS/SETUP.INF" | grep -v '^$' >"$script"
    tr -d '\r' <"$dest/SETUP.INF" | grep -v '^$' >"$copied"
    if head -n "$(wc -l <"$script")" "$copied" | cmp -s - "$script"; then
        e2e_pass_check "the script was copied into the destination"
    else
        e2e_fail "the destination's SETUP.INF does not begin with the script"
    fi
}

# check_nothing_installed: no destination folder, no product file anywhere.
check_nothing_installed() {
    e2e_assert_not "$1: no destination folder" test -e "$E2E_DRIVE_C/VELOR"
    local name target
    while read -r name target; do
        [ -e "$target" ] && e2e_fail "$1: $target was installed"
    done < <(media_targets "$E2E_DRIVE_C/VELOR")
    e2e_pass_check "$1: no product file outside the destination"
}

# check_product_registered WINDOWS-DESTINATION
check_product_registered() {
    local d=$1
    e2e_assert_eq ZKMouseControlPage "$(query HKCR "$CLSID" '')" "property page class"
    e2e_assert_eq "$d\\ZKPAGE.DLL" "$(query HKCR "$CLSID\\InProcServer32" '')" "property page server"
    e2e_assert_eq Apartment "$(query HKCR "$CLSID\\InProcServer32" ThreadingModel)" "threading model"
    e2e_assert_eq ZKMousePage "$(query HKLM "$HANDLERS" '')" "property sheet handler list"
    e2e_assert_eq '{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}' "$(query HKLM "$HANDLERS\\ZKMousePage" '')" \
        "property sheet handler"
    e2e_assert_eq "$d\\ZKMAIN.EXE -startup" "$(query HKLM "$WINCV\\Run" Dorvantix)" "Run entry"
    e2e_assert_eq "$PRODUCT" "$(query HKLM "$WINCV\\Uninstall\\Dorvantix" DisplayName)" \
        "uninstall display name"
    e2e_assert_eq "$d\\UNINSTAL.EXE" "$(query HKLM "$WINCV\\Uninstall\\Dorvantix" UninstallString)" \
        "uninstall command"
}

# check_nothing_registered NAME: no product entry, both mice as seeded.
check_nothing_registered() {
    e2e_assert_eq "" "$(query HKCR "$CLSID" '')" "$1: no property page class"
    e2e_assert_eq "" "$(query HKLM "$WINCV\\Run" Dorvantix)" "$1: no Run entry"
    e2e_assert_eq "" "$(query HKLM "$WINCV\\Uninstall\\Dorvantix" UninstallString)" \
        "$1: no uninstall entry"
    e2e_assert_eq 'Standard PS/2 Port Mouse' "$(query HKLM "$PS2_DEV" DeviceDesc)" \
        "$1: PS/2 mouse untouched"
    e2e_assert_eq 'Standard Serial Mouse' "$(query HKLM "$SER_DEV" DeviceDesc)" \
        "$1: serial mouse untouched"
    e2e_assert_eq 'mouse.drv' "$(query HKLM "$SER_CLASS" MouseDriver)" "$1: serial class key untouched"
}

# check_mouse ROUTE: the device and class key of that route name the driver.
check_mouse() {
    local dev cls name section
    if [ "$1" = PS2 ]; then
        dev=$PS2_DEV cls=$PS2_CLASS name="$PRODUCT (PS/2)" section=VelorScroll.PS2
    else
        dev=$SER_DEV cls=$SER_CLASS name="$PRODUCT (Serial)" section=VelorScroll.Serial
    fi
    e2e_assert_eq "$name" "$(query HKLM "$dev" DeviceDesc)" "$1 device description"
    e2e_assert_eq Velor "$(query HKLM "$dev" Mfg)" "$1 device maker"
    e2e_assert_eq SCROLL.DRV "$(query HKLM "$cls" MouseDriver)" "$1 class: driver"
    e2e_assert_eq SCROLL.INF "$(query HKLM "$cls" InfPath)" "$1 class: INF"
    e2e_assert_eq "$name" "$(query HKLM "$cls" DriverDesc)" "$1 class: description"
    e2e_assert_eq 10-12-1998 "$(query HKLM "$cls" DriverDate)" "$1 class: date"
    e2e_assert_eq "$section" "$(query HKLM "$cls" InfSection)" "$1 class: INF section"
    e2e_assert_eq "$1" "$(query HKLM "$cls" MouseType)" "$1 class: mouse type"
}

# The record section SECTION of a SETUP.INF (Unix path), one key=value a line.
record_section() {
    tr -d '\r' <"$1" | sed -n "/^\\[$2\\]\$/,/^\\[/p" | grep -v '^\[' | grep -v '^$'
}

expected_record() {
    local dev cls desc section
    if [ "$1" = PS2 ]; then
        dev=$PS2_DEV cls=$PS2_CLASS desc='Standard PS/2 Port Mouse' section=PS2_Inst
    else
        dev=$SER_DEV cls=$SER_CLASS desc='Standard Serial Mouse' section=SERIAL_Inst
    fi
    printf '%s\n' "SubKey1=$dev" "DeviceDesc=$desc" 'Mfg=(Standard mouse types)' "SubKey2=$cls" \
        'MouseDriver=mouse.drv' 'InfPath=MSMOUSE.INF' "DriverDesc=$desc" 'DriverDate=4-23-1999' \
        "InfSection=$section"
}

# check_system_ini_patched / check_system_ini_untouched NAME
check_system_ini_patched() {
    local expected
    expected=$(tr -d '\r' <"$E2E_DIR/system.ini.before" | sed 's/^mouse=\*vmd, msmouse.vxd$/mouse=*vmouse/')
    e2e_assert_eq "$expected" "$(tr -d '\r' <"$WINDIR_UNIX/system.ini")" \
        "system.ini: the [386Enh] mouse line loads *vmouse, all else unchanged"
    e2e_assert "system.bak is the old system.ini" cmp -s "$E2E_DIR/system.ini.before" "$WINDIR_UNIX/system.bak"
    e2e_assert_not "VMOUSE.VXD set aside" test -e "$VMM32_UNIX/VMOUSE.VXD"
    e2e_assert_eq 'Windows 98 mouse port VxD' "$(tr -d '\r' <"$VMM32_UNIX/VMOUSE.BAK" 2>/dev/null)" \
        "VMOUSE.BAK holds the old VxD"
}

check_system_ini_untouched() {
    e2e_assert "$1: system.ini untouched" cmp -s "$E2E_DIR/system.ini.before" "$WINDIR_UNIX/system.ini"
    e2e_assert_not "$1: no system.bak" test -e "$WINDIR_UNIX/system.bak"
    e2e_assert "$1: VMOUSE.VXD in place" test -f "$VMM32_UNIX/VMOUSE.VXD"
}

# The templates the page host created, in order, as hexadecimal ids.
shown_templates() {
    e2e_calls user32.CreateDialogParamA |
        sed 's/^Call user32.CreateDialogParamA([0-9a-f]*,0*\([0-9a-f]*\),.*/\1/' | tr '\n' ' ' |
        sed 's/ $//'
}

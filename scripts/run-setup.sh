#!/usr/bin/env bash
# The main job: builds SETUP.EXE and the sample media, then runs a full setup
# from the media in a fresh Windows 98 Wine prefix, the way a user would:
# Next on every page, the copy, the finish page with a restart. Runs on a
# private Xvfb unless a display is there. Screenshots of every step and a
# summary land in results/run-setup/.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh" || exit 1
export SETUP_SOURCE_DIR=$here
export SETUP_BUILD_DIR=${SETUP_BUILD_DIR:-$here/build}
export SETUP_RESULTS_DIR=${SETUP_RESULTS_DIR:-$here/results}
bash "$here/scripts/build.sh" --target setup media e2edriver || exit 1

# The media check first: the sample media must come out clean.
echo "Media check of the sample media:"
if ! bash "$here/scripts/check-media.sh" "$SETUP_BUILD_DIR/media"; then
    echo "run-setup: the sample media is not clean; see the findings above" >&2
    exit 1
fi

[ -n "${DISPLAY:-}" ] && export E2E_USE_DISPLAY=1
E2E_TIME_LIMIT=${E2E_TIME_LIMIT:-600}
# shellcheck source=../tests/e2e/lib.sh
. "$here/tests/e2e/lib.sh"
e2e_begin run-setup 1024x768x24
summary=$E2E_DIR/summary.txt
note() { echo "$*" | tee -a "$summary"; }
: >"$summary"

e2e_copy_media
e2e_seed_ps2_machine
inf=$E2E_MEDIA/SETUP.INF
value() { sed -n "s/^$1=//p" "$inf" | tr -d '\r' | head -1; }
product=$(value ProductName)
destination=$(value DefaultPath)
page="$product Setup"
note "Product: $product; destination: $destination; media: $E2E_MEDIA"

e2e_trace user32.ExitWindowsEx
e2e_start_setup

# step NAME CONTROL SECONDS: waits for the page that carries CONTROL, shoots it.
step() {
    if e2e_wait_control "$page" "$2" "$3"; then
        sleep 0.5 # let it paint
        e2e_screenshot "$1" >/dev/null
        e2e_pass_check "$1 page shown"
        note "page: $1 - shown"
        return 0
    fi
    e2e_screenshot "$1-missing" >/dev/null
    e2e_fail "$1 page did not come up"
    note "page: $1 - NOT shown; windows now:"
    e2e_windows | tee -a "$summary"
    return 1
}

walk() {
    step welcome 1024 60 || return 1
    e2e_click "$page" 1
    step mouse-type 1035 20 || return 1
    e2e_drv check-radio "$page" 1035 >/dev/null && note "mouse type: PS/2"
    e2e_click "$page" 1
    step destination 1003 20 || return 1
    note "destination field: $(e2e_text "$page" 1003)"
    e2e_click "$page" 1
    step copy 1019 30 || return 1
    step finish 1032 180 || return 1
    note "restart now checked: $(e2e_drv is-checked "$page" 1032)"
    e2e_click "$page" 1
    return 0
}

if walk; then
    e2e_assert "SETUP.EXE ends after Finish" e2e_wait_exit 60
    e2e_assert_called user32.ExitWindowsEx 00000002
    note "restart requested: $(e2e_calls user32.ExitWindowsEx | head -1)"
fi

dest_unix=$E2E_DRIVE_C/${destination#?:\\}
dest_unix=${dest_unix//\\//}
note "files in $destination:"
if [ -d "$dest_unix" ]; then
    (cd "$dest_unix" && find . -type f | sort | sed 's/^/  /') | tee -a "$summary"
else
    note "  (folder not made)"
fi
windir=$E2E_DRIVE_C/windows
query() { e2e_drv reg-query "$@" 2>/dev/null; }
note "mouse device: $(query HKLM "$E2E_PS2_DEVICE" DeviceDesc); driver class: DevLoader" \
    "$(query HKLM "$E2E_MOUSE_CLASS\\0000" DevLoader), MouseDriver" \
    "$(query HKLM "$E2E_MOUSE_CLASS\\0000" MouseDriver)"
note "files in the Windows folders:"
# The script's entries with a Windows folder token, as "folder name" pairs.
tr -d '\r' <"$inf" | awk -F, '/^[0-9]+=/ {
        t = tolower($4); gsub(/ /, "", t); name = $2; gsub(/ /, "", name)
        if (t == "windir") print ". " name
        else if (t == "winsystemdir") print "system " name
        else if (t == "wininfdir") print "inf " name
    }' | while read -r folder name; do
    shown="C:\\windows\\$folder\\$name"
    [ "$folder" = . ] && shown="C:\\windows\\$name"
    if [ -f "$windir/$folder/$name" ]; then
        note "  $shown"
    else
        note "  $shown: NOT installed"
    fi
done
note "startup entry: $(query HKLM 'SOFTWARE\Microsoft\Windows\CurrentVersion\Run' Dorvantix)"
note "property page: $(query HKCR 'CLSID\{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}\InProcServer32' '')" \
    "($(query HKCR 'CLSID\{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}' ''))"
note "uninstall entry: $(query HKLM 'SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Dorvantix' DisplayName)" \
    "-> $(query HKLM 'SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Dorvantix' UninstallString)"
record=$(sed -n '/^\[PS2\]/,/^$/p' "$dest_unix/SETUP.INF" 2>/dev/null | tr -d '\r' | head -8)
note "previous settings recorded in $destination\\SETUP.INF:"
note "${record:-  (none)}"
note "VMOUSE.VXD set aside: $([ -f "$windir/system32/VMM32/VMOUSE.BAK" ] && echo yes || echo no)"
note "system.ini [386Enh] mouse line: $(sed -n '/^\[386Enh\]/I,/^\[/{/^mouse=/Ip}' "$windir/system.ini" 2>/dev/null | tr -d '\r' | head -1)"
note "system.bak kept: $([ -f "$windir/system.bak" ] && echo yes || echo no)"
note "screenshots:"
for shot in "$E2E_DIR"/*.png; do
    [ -f "$shot" ] && note "  $shot"
done
e2e_finish

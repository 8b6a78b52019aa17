# shellcheck shell=bash
# Harness of tests/e2e/*.e2e.sh and run-setup.sh: a fresh Windows 98 (or 95, or XP) prefix with the media in
# C:\MEDIA on a private Xvfb, SETUP.EXE worked through e2edriver.exe, expectations from the media's
# SETUP.INF, counted checks, all ended by pid at exit. Settings: E2E_KEEP=1 keeps the prefix,
# E2E_USE_DISPLAY=1 uses the $DISPLAY there is, E2E_SCREEN is the Xvfb screen (WxHxDEPTH).
E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SETUP_SOURCE_DIR=${SETUP_SOURCE_DIR:-$(cd "$E2E_LIB_DIR/../.." && pwd)}
SETUP_BUILD_DIR=${SETUP_BUILD_DIR:-$SETUP_SOURCE_DIR/build}
. "$SETUP_SOURCE_DIR/scripts/wine-env.sh"
E2E_INF=$SETUP_BUILD_DIR/media/SETUP.INF E2E_CHECKS=0 E2E_FAILURES=0 E2E_RUNS=0 E2E_PIDS=()
PS2_DEV='Enum\BIOS\*PNP0F13\0000' SER_DEV='Enum\ROOT\*PNP0F0C\0000'
CLASSES='System\CurrentControlSet\Services\Class\Mouse' WINCV='SOFTWARE\Microsoft\Windows\CurrentVersion'
E2E_SYSTEM_INI=$'[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nmouse=*vmd, msmouse.vxd\r\nwoafont=dosapp.fon\r\n'

e2e_log() { printf '[%s] %s\n' "$E2E_NAME" "$*"; }
e2e_die() { e2e_log "FAIL: $*" && E2E_FAILURES=$((E2E_FAILURES + 1)) && exit 1; }
inf() { tr -d '\r' <"$E2E_INF" | sed -n "s/^$1=//p" | head -1; }
drv() { wine "$SETUP_BUILD_DIR/bin/e2edriver.exe" "$@"; }
e2e_lines() { tr -d '\r' <"$1" | grep -v '^$'; }
# e2e_record FILE SECTION: a section's lines; e2e_unjournalled FILE: the lines but the undo journal's.
e2e_record() { e2e_lines "$1" | sed -n "/^\[$2\]\$/,/^\[/{/^\[/!p}"; }
e2e_unjournalled() { e2e_lines "$1" | awk '/^\[/ { skip = /^\[Undo / } !skip'; }

# e2e_begin NAME [WINDOWS]: results, prefix and display of test NAME; WINDOWS another version (winxp).
e2e_begin() {
    E2E_NAME=$1 E2E_DIR=${SETUP_RESULTS_DIR:-$SETUP_SOURCE_DIR/results}/$1
    export WINEPREFIX=$SETUP_BUILD_DIR/wine/e2e/$1
    trap e2e_end EXIT && trap 'e2e_die interrupted' INT TERM
    E2E_TEMPLATE=$SETUP_BUILD_DIR/wine/template${2:+-$2}
    rm -rf "$E2E_DIR" && mkdir -p "$E2E_DIR" "${WINEPREFIX%/*}" && [ -f "$E2E_INF" ] &&
        (flock -w 900 9 && wine_template "$E2E_TEMPLATE" "${2:-}") 9>"$E2E_TEMPLATE.lock" ||
        e2e_die "cannot make the Windows prefix"
    # The display first: the prefix's first program starts Wine's desktop on it.
    [ -n "${E2E_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ] || xvfb_start "${E2E_SCREEN:-1024x768x24}"
    e2e_prefix
    CAPTION="$(inf ProductName) Setup Program" DEST=$E2E_C/$(inf DefaultPath | cut -c4-)
}

# e2e_prefix: a fresh copy of the template with the media in C:\MEDIA, the calls to trace named.
e2e_prefix() {
    wineserver -k 2>/dev/null; wineserver -w
    wine_fresh_prefix "$E2E_TEMPLATE" "$WINEPREFIX" && E2E_C=$WINEPREFIX/drive_c E2E_MEDIA=$E2E_C/MEDIA &&
        cp -a "$SETUP_BUILD_DIR/media" "$E2E_MEDIA" && cp "$SETUP_BUILD_DIR/bin/SETUP.EXE" "$E2E_MEDIA" &&
        wineserver -p || e2e_die "cannot make the prefix with the media (build the media target)"
    wine_step "$WINEPREFIX" "name the calls to trace" wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /f /d \
        'user32.CreateDialogParamA;user32.CreateWindowExA;user32.DestroyWindow;user32.ExitWindowsEx;user32.MessageBoxA;advapi32.RegSetValueExA;kernel32.GetPrivateProfileStringA' ||
        e2e_die "cannot name the calls to trace in the prefix"
}

e2e_end() {
    kill "${E2E_PIDS[@]}" 2>/dev/null; wineserver -k 2>/dev/null
    xvfb_stop && wait && [ -n "${E2E_KEEP:-}" ] || rm -rf "$WINEPREFIX"
    e2e_verdict
}

# e2e_verdict: fails a test that failed a check, or that checked nothing.
e2e_verdict() {
    [ "$E2E_CHECKS" -gt 0 ] || E2E_FAILURES=$((E2E_FAILURES + 1))
    e2e_log "$E2E_CHECKS checks, $E2E_FAILURES failed${E2E_DIR:+ (results in $E2E_DIR)}"
    [ "$E2E_FAILURES" -eq 0 ] || exit 1
}

# e2e_check WHAT EXPECTED ACTUAL: one check of the product.
e2e_check() {
    E2E_CHECKS=$((E2E_CHECKS + 1))
    [ "$2" == "$3" ] && e2e_log "ok: $1" && return
    E2E_FAILURES=$((E2E_FAILURES + 1)) && e2e_log "FAIL: $1 (< expected, > got)"
    diff <(echo "$2") <(echo "$3") | grep '^[<>]'
}

# e2e_expect WHAT EXPECTED CMD...: a check of CMD's output, read again until it is EXPECTED or
# 30 s have passed: a page shows before its owner has set it up. One reading through the driver
# took up to 8 s where 32-bit programs run emulated.
e2e_expect() {
    local got end=$((SECONDS + 30))
    until got=$("${@:3}") && [ "$got" == "$2" ] || [ "$SECONDS" -ge "$end" ]; do sleep 0.2; done
    e2e_check "$1" "$2" "$got"
}

# e2e_restart [boot]: a restart of Windows: the Wine server ended, which volatile keys do not
# outlive, and held again; with boot, Windows' start too, which carries out WININIT.INI. Wine's
# own restart after ExitWindowsEx runs in the background, so a test makes it here.
e2e_restart() {
    wineserver -k && wineserver -w && { [ -z "${1:-}" ] || wineboot -r >/dev/null 2>&1; } && wineserver -p
}

# e2e_seed [ps2]: the driver's mouse machine, a [386Enh] mouse line, VMM32\VMOUSE.VXD.
e2e_seed() {
    drv seed-machine "${1:-both}" || e2e_die "cannot seed the mouse machine"
    printf '%s' "$E2E_SYSTEM_INI" >"$E2E_C/windows/system.ini"
    mkdir -p "$E2E_C/windows/system32/VMM32" && echo 'old VxD' >"$E2E_C/windows/system32/VMM32/VMOUSE.VXD"
}

# e2e_start [PROGRAM ARGS...]: SETUP.EXE of C:\MEDIA (or PROGRAM), its calls traced.
e2e_start() {
    E2E_RUNS=$((E2E_RUNS + 1)) E2E_TRACE=$E2E_DIR/run$E2E_RUNS.trace
    [ $# -gt 0 ] || set -- 'C:\MEDIA\SETUP.EXE'
    (cd "$E2E_C" && WINEDEBUG=-all,+relay exec wine "$@" >/dev/null 2>"$E2E_TRACE") &
    SETUP_PID=$! && E2E_PIDS+=("$!")
}

e2e_wait_exit() {
    timeout 60 tail -s 0.1 --pid="$SETUP_PID" -f /dev/null || e2e_die "SETUP.EXE did not end"
    wait "$SETUP_PID"; e2e_check "run $E2E_RUNS ends with status 0" 0 $?
}

# e2e_on CLASS BUTTON...: the page comes up (in the main job's walk, E2E_SHOTS, it has painted, is
# shot and its shot checked), then gets these buttons clicked.
e2e_on() {
    local shot=run$E2E_RUNS-$1
    if [ -n "${E2E_SHOTS:-}" ]; then
        drv painted "class:$1" >"$E2E_DIR/$shot.layout"
        e2e_check "run $E2E_RUNS: the $1 page comes up" 0 $?
        e2e_check "run $E2E_RUNS: the $1 page's screenshot shows it whole" "" \
            "$(e2e_shot "$shot" && e2e_unpainted "$shot" || echo "no screenshot")"
    else
        drv wait "class:$1"
        e2e_check "run $E2E_RUNS: the $1 page comes up" 0 $?
    fi
    for button in "${@:2}"; do drv click "class:$1" "$button"; done
}

# e2e_shot NAME: the screen as NAME.png once it holds still: shot until two shots in a row are
# the same (at most 10): Wine puts what a window painted on the screen a moment later.
e2e_shot() {
    local raw=$E2E_DIR/$1.ppm i depth
    depth=$(xwininfo -root -display "$DISPLAY" | awk '/Depth:/ { print $2 }')
    for ((i = 0; i < 10; i++)); do
        e2e_screen "$raw.new" "$depth" || return 1
        cmp -s "$raw.new" "$raw" && break
        mv "$raw.new" "$raw" && sleep 0.05
    done
    convert "$raw" "$E2E_DIR/$1.png" && rm -f "$raw" "$raw.new"
}

# e2e_screen FILE DEPTH: the screen as a PPM file. On a display of 256 colours Wine gives its
# windows colours of their own, which only a window manager would install: each window that has
# them is shot through them and laid where it shows, the lowest first.
e2e_screen() {
    local id at
    import -window root -display "$DISPLAY" "ppm:$1" 2>/dev/null || return 1
    [ "$2" = 8 ] || return 0
    for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        at=$(xwininfo -id "$id" -display "$DISPLAY" | awk '/Absolute upper-left X/ { x = $4 }
            /Absolute upper-left Y/ { y = $4 } /Colormap: 0x[1-9a-f].*not installed/ { own = 1 }
            END { if (own) printf "%+d%+d\n", x, y }')
        [ -z "$at" ] || { import -window "$id" -display "$DISPLAY" "ppm:$1.window" 2>/dev/null &&
            convert "ppm:$1" "ppm:$1.window" -geometry "$at" -composite "ppm:$1"; } || return 1
    done
    rm -f "$1.window"
}

# e2e_rgb FILE [CROP]: "R G B" a pixel, row by row; e2e_pixels FILE [CROP]: "x y r,g,b" a line.
e2e_rgb() { convert "$1" ${2:+-crop "$2" +repage} -depth 8 -alpha off rgb:- | od -An -v -tu1 -w3; }
e2e_pixels() {
    local width
    width=$(convert "$1" ${2:+-crop "$2" +repage} -format %w info:) &&
        e2e_rgb "$@" | awk -v w="$width" '{ printf "%d %d %d,%d,%d\n", (NR - 1) % w, int((NR - 1) / w), $1, $2, $3 }'
}

# e2e_unpainted NAME: what the shot NAME.png misses of the page that NAME.layout (e2edriver's
# painted) lays out, a line each (see unpainted.awk); nothing when it shows the page whole.
e2e_unpainted() {
    local left top right bottom art=$SETUP_SOURCE_DIR/resources/art/side.bmp
    read -r left top right bottom <<<"$(head -n 1 "$E2E_DIR/$1.layout" | cut -f4)"
    [ -n "$bottom" ] || { echo "no layout of the page" && return; }
    awk -v side="$(awk '$2 == "IDC_SIDE_PICTURE" { print $3 }' "$SETUP_SOURCE_DIR/resources/resource_ids.h")" \
        -v pw="$(convert "$art" -format %w info:)" -v sw=$((right - left)) -f "$E2E_LIB_DIR/unpainted.awk" \
        "$E2E_DIR/$1.layout" <(e2e_rgb "$art") \
        <(e2e_rgb "$E2E_DIR/$1.png" "$((right - left))x$((bottom - top))+$left+$top")
}

# e2e_walk: the main job's setup: Next, "PS/2 Mouse", the proposed folder, the restart kept.
e2e_walk() {
    local E2E_SHOTS=1
    e2e_start && e2e_on SETUP_BEGIN
    e2e_check "the backdrop covers the screen" "0 0 $(xdotool getdisplaygeometry)" "$(drv rect class:SetupMain)"
    drv click class:SETUP_BEGIN 1 && e2e_on SETUP_SELMOUSE
    e2e_expect "the mouse-type page starts on Serial Mouse" "1 1" drv state class:SETUP_SELMOUSE 1034
    e2e_on SETUP_SELMOUSE 1035 1 && e2e_on SETUP_SELDIR
    e2e_expect "the proposed folder" "$(inf DefaultPath)" drv text class:SETUP_SELDIR 1003
    e2e_copy_page_shot & E2E_PIDS+=("$!") && copying=$!
    drv click class:SETUP_SELDIR 1 && e2e_on SETUP_END && wait "$copying"
    e2e_check "run $E2E_RUNS: the copy page's screenshot shows it whole" "" \
        "$([ -f "$E2E_DIR/run$E2E_RUNS-SETUP_INSTALL.png" ] && e2e_unpainted "run$E2E_RUNS-SETUP_INSTALL" ||
            echo "no screenshot of the copy page while it showed")"
    e2e_expect "the finish page marks the restart" "1 1" drv state class:SETUP_END 1032
    drv click class:SETUP_END 1 && e2e_wait_exit
}

# e2e_copy_page_shot: the copy page, which lasts a second or so and changes as it goes, looked
# for from before Next and shot while e2edriver holds it still.
e2e_copy_page_shot() {
    local name=run$E2E_RUNS-SETUP_INSTALL layout= line=
    coproc HOLD { drv -t 20 hold class:SETUP_INSTALL 2>/dev/null; }
    while IFS= read -r -t 30 -u "${HOLD[0]}" line && [ "$line" != . ]; do layout+=$line$'\n'; done
    [ "$line" = . ] && printf '%s' "$layout" >"$E2E_DIR/$name.layout" && e2e_shot "$name"
    eval "exec ${HOLD[1]}>&-" && wait "$HOLD_PID" 2>/dev/null
}

# e2e_check_install BEFORE: what the main job's install leaves, against the registry dump BEFORE.
e2e_check_install() {
    e2e_check "the pages in order, then the restart" "101 108 107 103 102 |user32.ExitWindowsEx(00000002,00000000)" \
        "$(e2e_pages)|$(e2e_calls user32.ExitWindowsEx)"
    e2e_check "every file of the script in place, expanded" "" "$(e2e_targets | grep -v SETUP.INF |
        while IFS=$'\t' read -r from to; do cmp -s "$from" "$to" || echo "$to"; done)"
    e2e_check "the destination's SETUP.INF: the script and the PS/2 record" \
        "$(e2e_script_with PS2 "$1" "$PS2_DEV" 0000)" "$(e2e_unjournalled "$DEST/SETUP.INF")"
    e2e_check "the PS/2 mouse names the driver, the serial one is left alone, the startup entry the folder" \
        "$(e2e_route "$PS2_DEV" 0000 PS2 "$WINCV\\Run	Dorvantix=$(inf DefaultPath)\\ZKMAIN.EXE -startup")" \
        "$(e2e_added "$1" | grep -e ^Enum -e ^System -e "\\Run	")"
    e2e_check "system.ini loads *vmouse, the old one is system.bak, VMOUSE.VXD set aside" \
        "$(printf '%s' "${E2E_SYSTEM_INI/mouse=\*vmd, msmouse.vxd/mouse=*vmouse}$E2E_SYSTEM_INI" && echo VMOUSE.BAK)" \
        "$(cd "$E2E_C/windows" && cat system.ini system.bak && ls system32/VMM32)"
}

# e2e_calls FUNC: the last run's calls of FUNC, texts without addresses; e2e_pages: its pages.
e2e_calls() { grep -iF "Call $1(" "$E2E_TRACE" | sed 's/^.*Call //; s/ ret=[0-9a-f]*$//; s/[0-9a-f]\{8\} "/"/g'; }

e2e_pages() { e2e_calls user32.CreateDialogParamA | sed 's/^[^,]*,0*\([0-9a-f]*\),.*/0x\1/' | xargs -r printf '%d '; }

# e2e_targets: the script's files, "original<TAB>installed" (Unix paths).
e2e_targets() {
    tr -d '\r' <"$E2E_INF" | awk -F' *, *' -v dest="$DEST" -v win="$E2E_C/windows" \
        -v media="$SETUP_BUILD_DIR/media-originals" '/^\[/ { section = $0 }
        section == "[DirectoryName]" && split($0, kv, "=") == 2 { dir[tolower(kv[1])] = kv[2] ? "/" kv[2] : "" }
        section ~ /^\[Disk[0-9]+\]$/ && sub(/^[0-9]+=/, "") {
            t = tolower($4); to[t] = dest dir[t]; to["windir"] = win
            to["winsystemdir"] = win "/system"; to["wininfdir"] = win "/inf"
            print media dir[t] "/" $2 "\t" to[t] "/" $2 }'
}

# What the setup may touch: its keys ("key<TAB>value=data"), and on drive C the destination and
# the Windows folder, each file by its contents.
e2e_registry() {
    drv reg-dump HKCR 'CLSID\{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}' HKLM "$WINCV\\Run" \
        HKLM "$WINCV\\Uninstall" HKLM "$WINCV\\Controls Folder" HKLM Enum HKLM "$CLASSES"
}
e2e_files() {
    (cd "$E2E_C" && find "./${DEST#"$E2E_C"/}" ./windows -type d -print -o -type f -exec md5sum {} + |
        awk 'NF == 1 { print; next } { print $2, $1 }') 2>/dev/null | LC_ALL=C sort
}

# e2e_snapshot: what an uninstall puts back: the keys, the Windows folder's files by their contents
# and modes (WININIT.INI names what goes at the next start, which leaves it as wininit.bak) and
# system.ini byte by byte.
e2e_snapshot() {
    e2e_registry && (cd "$E2E_C/windows" && find . -type f ! -iname 'wininit.*' -printf '%m %p\n' |
        LC_ALL=C sort -k2 && find . -type f ! -iname 'wininit.*' -exec md5sum {} + |
        LC_ALL=C sort -k2) && od -An -tx1 "$E2E_C/windows/system.ini"
}

# e2e_install RADIO [ANSWER]: a full setup on that mouse type into $E2E_FOLDER (the proposed
# folder unless set), the restart put off; ANSWER the existing folder's question.
e2e_install() {
    e2e_start && e2e_on SETUP_BEGIN 1 && e2e_on SETUP_SELMOUSE "$1" 1 && e2e_on SETUP_SELDIR
    [ -z "${E2E_FOLDER:-}" ] || drv text class:SETUP_SELDIR 1003 "$E2E_FOLDER"
    drv click class:SETUP_SELDIR 1
    [ -z "${2:-}" ] || drv answer "$CAPTION" "$2" >/dev/null
    e2e_on SETUP_END 1033 1 && e2e_wait_exit
}

# e2e_uninstall ANSWER [RESTART]: UNINSTAL.EXE of $E2E_FOLDER (the proposed folder unless set),
# its question answered (6 Yes, 7 No), then the restart question (No unless given); its texts go
# to uninstall.texts. $BOX is the first box's caption when not the product's.
e2e_uninstall() {
    e2e_start "${E2E_FOLDER:-$(inf DefaultPath)}\\UNINSTAL.EXE"
    { drv answer "${BOX:-$(inf ProductName) Uninstall}" "$1" && [ "$1" = 6 ] &&
        drv answer "$(inf ProductName) Uninstall" "${2:-7}"; } >"$E2E_DIR/uninstall.texts"
    e2e_wait_exit
    # After Yes the work is done by the uninstaller's copy in the temporary folder.
    drv -t 60 wait-gone '~UNINST.EXE' || e2e_die "the uninstaller's copy did not end"
}

# e2e_route DEVICE INSTANCE TYPE [LINE...]: the registry lines a route writes (and LINEs);
# e2e_added BEFORE: the lines gained since the dump BEFORE.
e2e_route() {
    local key=$CLASSES\\$2 name
    name=$(inf "${3/Serial/Seial}Name")
    printf '%s\n' "$1	DeviceDesc=$name" "$1	Mfg=$(inf Mfg)" "$key	MouseDriver=$(inf MouseDriver)" \
        "$key	InfPath=$(inf MouseInf)" "$key	DriverDesc=$name" "$key	DriverDate=$(inf DriverDate)" \
        "$key	InfSection=$(inf "$3InfSection")" "$key	MouseType=$3" "${@:4}" | LC_ALL=C sort
}
e2e_added() { e2e_registry | diff "$1" - | sed -n 's/^> //p' | LC_ALL=C sort; }

# e2e_script_with SECTION BEFORE DEVICE INSTANCE: the script, blank lines left out, and the
# record a first run on that route makes of the dump BEFORE.
e2e_script_with() {
    local key=$CLASSES\\$4 name
    e2e_lines "$E2E_INF" && echo "[$1]" && echo "SubKey1=$3"
    for name in "$3	DeviceDesc" "$3	Mfg" "SubKey2=$key" "$key	"{MouseDriver,InfPath,DriverDesc,DriverDate,InfSection}; do
        [[ $name == SubKey2=* ]] && echo "$name" || grep -F "$name=" "$2" | cut -f2
    done
}

# shellcheck shell=bash
# End-to-end harness: sourced by every tests/e2e/*.e2e.sh.
#
# A test runs SETUP.EXE (or a test host) in a fresh Windows 98 Wine prefix on
# a private Xvfb display, looks at its windows through e2edriver.exe, and is
# cleaned up by pid, with an overall time limit, whatever happens.
#
#   #!/usr/bin/env bash
#   . "$(dirname "$0")/lib.sh"
#   e2e_begin my_test 1024x768x24   # results dir, Xvfb, fresh prefix, trap, time limit
#   e2e_use_nt                      # optional: the prefix says Windows XP instead
#   e2e_copy_media                  # sample media into C:\MEDIA ($E2E_MEDIA)
#   e2e_seed_ps2_machine            # optional: a PS/2 mouse, [386Enh], VMOUSE.VXD
#   e2e_trace user32.ExitWindowsEx  # optional: log calls of these functions
#   e2e_start_setup -u              # SETUP.EXE from C:\MEDIA in the background
#   e2e_wait_window "Velor Setup" 30 || e2e_fail "no page"
#   e2e_screenshot page1
#   e2e_click "Velor Setup" 1
#   e2e_assert_eq "expected" "$(e2e_msgbox_text "Velor Setup Program")" "message text"
#   e2e_wait_exit 30
#   e2e_assert_called user32.ExitWindowsEx "00000002,00000000"
#   e2e_finish                      # prints the outcome, exits 0 or 1
#
# Settings (environment): SETUP_BUILD_DIR (default <source>/build),
# SETUP_SOURCE_DIR, SETUP_WINE_TEMPLATE (a Windows 98 prefix to copy; made
# under the build dir when unset), SETUP_RESULTS_DIR (default <source>/results),
# E2E_TIME_LIMIT (seconds for the whole test, default 300), E2E_KEEP=1 keeps
# the prefix afterwards for a look, E2E_USE_DISPLAY=1 runs on the $DISPLAY
# already there instead of a private Xvfb.
#
# Variables after e2e_begin: E2E_NAME, E2E_DIR (results of this test: logs,
# screenshots), WINEPREFIX, DISPLAY, E2E_DRIVE_C (the prefix's C:\ as a Unix
# path). After e2e_copy_media: E2E_MEDIA (Unix path of C:\MEDIA). After
# e2e_start_setup: SETUP_PID; after e2e_wait_exit: SETUP_EXIT.
#
# Windows are named by exact title, "class:NAME" or "hwnd:0x..." (see
# e2edriver's usage: `e2e_drv` with no arguments prints it). Driver commands
# wait up to E2E_WAIT seconds (default 10) for the window they need.
#
# Restarts: under Wine, ExitWindowsEx(EWX_REBOOT) returns 1, then wineboot
# sends WM_QUERYENDSESSION / WM_ENDSESSION to every window and ends every
# process of the prefix: SETUP.EXE ends (exit status 0) and so does any
# e2edriver.exe running at that moment. Nothing restarts. To prove the call,
# name it in e2e_trace before e2e_start_setup and check it with
# e2e_assert_called once e2e_wait_exit has returned; do not drive windows
# while the restart may be under way.

E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SETUP_SOURCE_DIR=${SETUP_SOURCE_DIR:-$(cd "$E2E_LIB_DIR/../.." && pwd)}
SETUP_BUILD_DIR=${SETUP_BUILD_DIR:-$SETUP_SOURCE_DIR/build}
SETUP_RESULTS_DIR=${SETUP_RESULTS_DIR:-$SETUP_SOURCE_DIR/results}
E2E_TIME_LIMIT=${E2E_TIME_LIMIT:-300}
E2E_WAIT=${E2E_WAIT:-10}
E2E_DRIVER=$SETUP_BUILD_DIR/bin/e2edriver.exe
E2E_CONVERT=/usr/bin/convert
[ -x "$E2E_CONVERT" ] || E2E_CONVERT=convert

# shellcheck source=../../scripts/wine-env.sh
. "$SETUP_SOURCE_DIR/scripts/wine-env.sh"

E2E_FAILURES=0
E2E_CHECKS=0
E2E_PIDS=()
E2E_TRACE_FUNCS=
SETUP_PID=
SETUP_EXIT=
E2E_WATCHDOG=
E2E_CLEANED=

e2e_log() { printf '[%s] %s\n' "${E2E_NAME:-e2e}" "$*"; }

# --- set-up and clean-up -------------------------------------------------

# e2e_template_lock DIR CMD...: runs CMD while holding DIR's lock, so that two
# tests running at once make a shared template only once.
e2e_locked() {
    local lock=$1
    shift
    mkdir -p "$(dirname "$lock")"
    (
        flock -w 600 9 || exit 1
        "$@"
    ) 9>"$lock"
}

# e2e_begin NAME [GEOMETRY]
e2e_begin() {
    E2E_NAME=$1
    local geometry=${2:-1024x768x24}
    E2E_DIR=$SETUP_RESULTS_DIR/$E2E_NAME
    rm -rf "$E2E_DIR"
    mkdir -p "$E2E_DIR"
    [ -f "$E2E_DRIVER" ] || e2e_die "no driver at $E2E_DRIVER: build the e2edriver target"
    trap e2e_cleanup EXIT
    trap 'e2e_log "interrupted"; exit 1' INT TERM

    if [ -z "${SETUP_WINE_TEMPLATE:-}" ]; then
        SETUP_WINE_TEMPLATE=$SETUP_BUILD_DIR/wine/template
        e2e_locked "$SETUP_BUILD_DIR/wine/template.lock" wine_template "$SETUP_WINE_TEMPLATE" ||
            e2e_die "cannot make the Windows 98 prefix"
    fi
    export WINEPREFIX=$SETUP_BUILD_DIR/wine/e2e/$E2E_NAME
    WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
    mkdir -p "$(dirname "$WINEPREFIX")"
    wine_fresh_prefix "$SETUP_WINE_TEMPLATE" "$WINEPREFIX"
    E2E_DRIVE_C=$WINEPREFIX/drive_c

    if [ -n "${E2E_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
        E2E_XVFB_PID=
    else
        xvfb_start "$geometry"
        E2E_XVFB_PID=$XVFB_PID
    fi
    e2e_log "prefix $WINEPREFIX, display $DISPLAY ($geometry)"

    # A hung dialog must not hang the suite: past the limit, end everything.
    (
        trap 'kill "$nap" 2>/dev/null; exit 0' TERM
        sleep "$E2E_TIME_LIMIT" </dev/null >/dev/null 2>&1 &
        nap=$!
        wait "$nap" || exit 0
        echo "[$E2E_NAME] FAIL: time limit of ${E2E_TIME_LIMIT}s reached" >&2
        # Marked first: whatever the test does once Wine is gone, it failed.
        touch "$E2E_DIR/.timed-out"
        kill -TERM $$ 2>/dev/null
        WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null
    ) &
    E2E_WATCHDOG=$!
}

e2e_cleanup() {
    local status=$?
    [ -n "$E2E_CLEANED" ] && return
    E2E_CLEANED=1
    if [ -n "$E2E_WATCHDOG" ]; then
        kill "$E2E_WATCHDOG" 2>/dev/null
        wait "$E2E_WATCHDOG" 2>/dev/null
    fi
    local pid
    for pid in "${E2E_PIDS[@]}" $SETUP_PID; do
        kill "$pid" 2>/dev/null
    done
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k 2>/dev/null
        wineserver -w 2>/dev/null
    fi
    for pid in "${E2E_PIDS[@]}" $SETUP_PID; do
        wait "$pid" 2>/dev/null
    done
    XVFB_PID=${E2E_XVFB_PID:-}
    xvfb_stop
    if [ -z "${E2E_KEEP:-}" ] && [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        rm -rf "$WINEPREFIX"
    fi
    if e2e_timed_out; then
        exit 1
    fi
    return $status
}

e2e_timed_out() { [ -n "${E2E_DIR:-}" ] && [ -f "$E2E_DIR/.timed-out" ]; }

# e2e_use_nt: turns this test's prefix into the Windows XP (NT family) one.
e2e_use_nt() {
    local nt=${SETUP_WINE_TEMPLATE}-nt
    e2e_locked "$nt.lock" e2e_make_nt_template "$SETUP_WINE_TEMPLATE" "$nt" ||
        e2e_die "cannot make the Windows NT-family prefix"
    wineserver -k 2>/dev/null || true
    wine_fresh_prefix "$nt" "$WINEPREFIX"
    e2e_log "prefix set to Windows XP"
}

e2e_make_nt_template() {
    local from=$1 to=$2
    [ -f "$to/.ready" ] && return 0
    rm -rf "$to"
    cp -a "$from" "$to"
    rm -f "$to/.ready"
    WINEPREFIX=$to wine winecfg /v winxp >/dev/null 2>&1
    WINEPREFIX=$to wineserver -w
    touch "$to/.ready"
}

# e2e_copy_media [FOLDER]: the sample media (the build's media/ folder unless
# a folder is given) into C:\MEDIA, with the SETUP.EXE of this build.
e2e_copy_media() {
    local from=${1:-$SETUP_BUILD_DIR/media}
    E2E_MEDIA=$E2E_DRIVE_C/MEDIA
    rm -rf "$E2E_MEDIA"
    mkdir -p "$E2E_MEDIA"
    if [ -d "$from" ]; then
        cp -a "$from"/. "$E2E_MEDIA"/
        # The build's own files in that folder are no part of the media.
        rm -rf "$E2E_MEDIA"/CMakeFiles "$E2E_MEDIA"/Makefile "$E2E_MEDIA"/*.cmake
    else
        e2e_log "no media at $from: C:\\MEDIA holds SETUP.EXE only"
    fi
    cp "$SETUP_BUILD_DIR/bin/SETUP.EXE" "$E2E_MEDIA/SETUP.EXE"
}

# e2e_seed_ps2_machine: makes the prefix look like a Windows 98 machine with
# a standard PS/2 mouse: an active device in HKEY_DYN_DATA, its device and
# driver class keys, the [386Enh] mouse line in system.ini and
# system32\VMM32\VMOUSE.VXD (Wine's system folder). The active-device list
# lives only as long as the Wine server, so the server is kept running
# (wineserver -p) until the clean-up.
E2E_PS2_DEVICE='Enum\BIOS\*PNP0F13\0000'
E2E_MOUSE_CLASS='System\CurrentControlSet\Services\Class\Mouse'
e2e_seed_ps2_machine() {
    wineserver -p
    local ok=0
    e2e_drv reg-set HKDD 'Config Manager\Enum\C29A3E40' HardWareKey sz 'BIOS\*PNP0F13\0000' &&
        e2e_drv reg-set HKLM "$E2E_PS2_DEVICE" DeviceDesc sz 'Standard PS/2 Port Mouse' &&
        e2e_drv reg-set HKLM "$E2E_PS2_DEVICE" Mfg sz '(Standard mouse types)' &&
        e2e_drv reg-set HKLM "$E2E_PS2_DEVICE" Class sz 'Mouse' &&
        e2e_drv reg-set HKLM "$E2E_PS2_DEVICE" Driver sz 'Mouse\0000' &&
        e2e_drv reg-set HKLM "$E2E_MOUSE_CLASS\0000" DevLoader sz '*vmouse' &&
        e2e_drv reg-set HKLM "$E2E_MOUSE_CLASS\0000" InfSection sz 'PS2_Inst' || ok=1
    [ $ok -eq 0 ] || e2e_die "cannot seed the mouse device"
    local windir=$E2E_DRIVE_C/windows
    {
        printf '[386Enh]\r\n'
        printf 'device=*vshare\r\n'
        printf 'mouse=*vmouse, msmouse.vxd\r\n'
        printf '\r\n'
    } >>"$windir/system.ini"
    mkdir -p "$windir/system32/VMM32"
    printf 'VMOUSE stand-in\r\n' >"$windir/system32/VMM32/VMOUSE.VXD"
}

# e2e_trace FUNC...: calls of these functions (dll.Function, as Wine's relay
# names them) are written to $E2E_DIR/setup.trace by the next e2e_start_setup.
e2e_trace() {
    local IFS=';'
    E2E_TRACE_FUNCS="$*"
    e2e_drv reg-set HKCU 'Software\Wine\Debug' RelayInclude sz "$E2E_TRACE_FUNCS" >/dev/null ||
        e2e_die "cannot set the relay filter"
}

# e2e_start_setup [ARGS...]: SETUP.EXE from C:\MEDIA in the background.
e2e_start_setup() {
    e2e_start_program 'C:\MEDIA\SETUP.EXE' "$@"
    SETUP_PID=$E2E_LAST_PID
}

# e2e_start_program WINDOWS-PATH [ARGS...]: any program, in the background;
# its pid goes to E2E_LAST_PID and into the clean-up list.
e2e_start_program() {
    local debug=$WINEDEBUG
    [ -n "$E2E_TRACE_FUNCS" ] && debug=-all,+relay
    e2e_log "start $*"
    (
        cd "$E2E_DRIVE_C" || exit 1
        WINEDEBUG=$debug exec wine "$@" >>"$E2E_DIR/setup.out" 2>>"$E2E_DIR/setup.trace"
    ) &
    E2E_LAST_PID=$!
    E2E_PIDS+=("$E2E_LAST_PID")
}

# e2e_wait_exit SECONDS: waits for SETUP.EXE to end; SETUP_EXIT gets its
# status. Returns 1 (and leaves it running) when it is still there.
e2e_wait_exit() {
    local limit=${1:-30} waited=0
    while kill -0 "$SETUP_PID" 2>/dev/null; do
        if [ "$waited" -ge $((limit * 10)) ]; then
            e2e_log "SETUP.EXE still running after ${limit}s"
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    wait "$SETUP_PID" 2>/dev/null
    SETUP_EXIT=$?
    e2e_log "SETUP.EXE ended with $SETUP_EXIT"
    return 0
}

e2e_running() { kill -0 "$SETUP_PID" 2>/dev/null; }

# --- driving windows -------------------------------------------------------

# The driver's C runtime ends its lines with CR LF: the CRs are dropped.
e2e_drv() {
    local out status
    out=$(wine "$E2E_DRIVER" -t "$E2E_WAIT" "$@")
    status=$?
    [ -n "$out" ] && printf '%s\n' "${out//$'\r'/}"
    return $status
}

e2e_wait_window() { e2e_drv wait-window "$1" "${2:-$E2E_WAIT}"; }
e2e_wait_control() { e2e_drv wait-control "$1" "$2" "${3:-$E2E_WAIT}"; }
e2e_wait_gone() { e2e_drv wait-gone "$1" "${2:-$E2E_WAIT}"; }
e2e_exists() { e2e_drv exists "$1"; }
e2e_click() { e2e_drv click "$1" "$2"; }
e2e_text() { e2e_drv text "$1" "$2"; }
e2e_set_text() { e2e_drv set-text "$1" "$2" "$3"; }
e2e_msgbox_text() { e2e_drv msgbox-text "$1"; }
e2e_windows() { e2e_drv windows "$@"; }
e2e_close() { e2e_drv close "$1"; }

# e2e_window_titles: titles of the visible top-level windows, one a line.
e2e_window_titles() { e2e_drv windows | cut -f2; }

# --- pictures ----------------------------------------------------------------

# e2e_screenshot NAME: the whole screen into $E2E_DIR/NAME.png; prints the path.
e2e_screenshot() {
    local file=$E2E_DIR/$1.png
    if import -window root -display "$DISPLAY" "$file" 2>/dev/null; then
        echo "$file"
    else
        e2e_log "screenshot $1 failed"
        return 1
    fi
}

# e2e_pixel FILE X Y: prints "r,g,b" (0-255) of one pixel of a picture.
e2e_pixel() {
    "$E2E_CONVERT" "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- 2>/dev/null |
        sed -n '2s/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}

# --- assertions --------------------------------------------------------------

e2e_pass_check() {
    E2E_CHECKS=$((E2E_CHECKS + 1))
    e2e_log "ok: $1"
}

e2e_fail() {
    E2E_CHECKS=$((E2E_CHECKS + 1))
    E2E_FAILURES=$((E2E_FAILURES + 1))
    e2e_log "FAIL: $*"
}

# e2e_die MESSAGE: a failure that makes the rest of the test meaningless.
e2e_die() {
    e2e_fail "$*"
    e2e_finish
}

# e2e_assert_eq EXPECTED ACTUAL WHAT
e2e_assert_eq() {
    if [ "$1" == "$2" ]; then
        e2e_pass_check "$3"
    else
        e2e_fail "$3: expected [$1], got [$2]"
    fi
}

# e2e_assert_contains HAYSTACK NEEDLE WHAT
e2e_assert_contains() {
    if [[ "$1" == *"$2"* ]]; then
        e2e_pass_check "$3"
    else
        e2e_fail "$3: [$2] not in [$1]"
    fi
}

# e2e_assert_not_contains HAYSTACK NEEDLE WHAT
e2e_assert_not_contains() {
    if [[ "$1" != *"$2"* ]]; then
        e2e_pass_check "$3"
    else
        e2e_fail "$3: [$2] found in [$1]"
    fi
}

# e2e_assert WHAT CMD...: CMD must succeed.
e2e_assert() {
    local what=$1
    shift
    if "$@"; then e2e_pass_check "$what"; else e2e_fail "$what (failed: $*)"; fi
}

# e2e_assert_not WHAT CMD...: CMD must fail.
e2e_assert_not() {
    local what=$1
    shift
    if "$@"; then e2e_fail "$what (succeeded: $*)"; else e2e_pass_check "$what"; fi
}

# e2e_calls FUNC: the traced calls of FUNC, one a line ("Call dll.Func(args)").
e2e_calls() {
    [ -f "$E2E_DIR/setup.trace" ] || return 0
    grep -iF "Call $1(" "$E2E_DIR/setup.trace" | sed 's/^[0-9a-f]*://; s/ ret=[0-9a-f]*$//'
}

# e2e_assert_called FUNC [ARGS]: FUNC was called (with arguments that begin
# with ARGS as the relay trace prints them, e.g. "00000002,00000000").
e2e_assert_called() {
    local calls
    calls=$(e2e_calls "$1")
    if [ -n "${2:-}" ]; then
        calls=$(grep -iF "Call $1($2" <<<"$calls")
    fi
    if [ -n "$calls" ]; then
        e2e_pass_check "$1(${2:-...}) was called"
    else
        e2e_fail "$1(${2:-...}) was not called"
    fi
}

e2e_assert_not_called() {
    local calls
    calls=$(e2e_calls "$1")
    if [ -z "$calls" ]; then
        e2e_pass_check "$1 was not called"
    else
        e2e_fail "$1 was called: $calls"
    fi
}

# e2e_finish: prints the outcome and ends the test (0 all passed, 1 otherwise).
e2e_finish() {
    if e2e_timed_out; then
        e2e_log "FAIL: the time limit was reached; later checks do not count"
        exit 1
    fi
    if [ "$E2E_CHECKS" -eq 0 ] && [ "$E2E_FAILURES" -eq 0 ]; then
        e2e_log "FAIL: the test checked nothing"
        E2E_FAILURES=1
    fi
    e2e_log "$((E2E_CHECKS - E2E_FAILURES)) passed, $E2E_FAILURES failed${E2E_DIR:+ (results in $E2E_DIR)}"
    [ "$E2E_FAILURES" -eq 0 ] && exit 0
    exit 1
}

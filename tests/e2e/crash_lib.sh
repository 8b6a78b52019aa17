# shellcheck shell=bash
# The crash sweep's harness, over lib.sh: a program stopped the hard way just before its Nth change
# to the machine (crash_hook.dll, put in by `e2edriver inject`), the restart, the uninstaller, and
# the machine compared with the one before the first install.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# The calls crash_hook.dll takes over, which the relay trace that checks it watches too.
CRASH_CALLS="RegCreateKeyExA RegSetValueExA RegDeleteValueA RegDeleteKeyA CreateFileA WriteFile CopyFileA
    MoveFileA DeleteFileA CreateDirectoryA RemoveDirectoryA SetFileAttributesA WritePrivateProfileStringA
    WritePrivateProfileSectionA CreateProcessA LZOpenFileA LZCopy"
CRASH_PROGRAMS="install reinstall reregister reregister-media uninstall"
CRASH_TEMPLATES=$SETUP_BUILD_DIR/wine/crash CRASH_UNINSTALLERS='UNINSTAL.EXE;~UNINST.EXE'

# crash_imports: whatever the programs import that can change the machine, the hook takes.
crash_imports() {
    local program
    for program in SETUP.EXE UNINSTAL.EXE; do
        e2e_check "$program: the hook takes each import that can change the machine" "" "$(
            i686-w64-mingw32-objdump -p "$SETUP_BUILD_DIR/bin/$program" | awk '/^\t[0-9a-f]+\t/ { print $3 }' |
                grep -E '^(Reg(Set|Create|Delete|Save|Restore|Replace|Load)|(Write|Copy|Move|Replace|Delete|Remove|Create|Set|Open)(File|Directory|Private|Profile|EndOfFile)|GetTempFileName|_l(creat|write|open)|LZ(Copy|Open)|CreateProcess|WinExec)' |
                grep -vxF "$(tr -s ' \n' '\n' <<<"$CRASH_CALLS")" | xargs)"
    done
}

# crash_machine: the prefix of e2e_begin seeded, with a VELOR.INI of the user's where the script
# puts one and a system.bak from before, the hooked calls traced; kept as the template "seeded",
# its snapshot what every stop point must end at.
crash_machine() {
    e2e_seed && printf '[mine]\r\nwheel=3\r\n' >"$E2E_C/windows/VELOR.INI" &&
        printf '[boot]\r\nshell=Explorer.exe\r\n; the user kept this\r\n' >"$E2E_C/windows/system.bak" &&
        wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /f /d "$(tr -s ' \n' ';;' <<<"$CRASH_CALLS")" \
            >/dev/null 2>&1 && wine reg delete 'HKCU\Software\Wine\Debug' /v RelayFromExclude /f >/dev/null 2>&1 &&
        wine reg add 'HKCU\Software\Wine\Debug' /v RelayFromInclude /f \
            /d "SETUP.EXE;$CRASH_UNINSTALLERS;crash_hook" >/dev/null 2>&1 || e2e_die "cannot seed the machine"
    mkdir -p "$CRASH_TEMPLATES" && crash_snapshot >"$CRASH_TEMPLATES/before" && crash_keep seeded
}

# crash_keep NAME: the machine as template NAME. crash_start [NAME]: Windows started again (WININIT.INI
# done), or a fresh copy of NAME; the active-device list, which lives in the server, made anew.
crash_keep() { wineserver -k 2>/dev/null; wineserver -w; wine_fresh_prefix "$WINEPREFIX" "$CRASH_TEMPLATES/$1"; }
crash_start() {
    wineserver -k 2>/dev/null; wineserver -w
    { [ -z "${1:-}" ] || wine_fresh_prefix "$CRASH_TEMPLATES/$1" "$WINEPREFIX"; } && wineserver -p &&
        { [ -n "${1:-}" ] || wineboot -r >/dev/null 2>&1; } && drv seed-boot both || e2e_die "Windows does not start"
}

# crash_snapshot: what must come back, and what is left in the destination. Not the media: SETUP.EXE
# -u keeps its record of previous settings in the SETUP.INF beside it.
crash_snapshot() {
    e2e_snapshot 2>/dev/null
    echo "left in the destination:"
    [ ! -d "$DEST" ] || (cd "$DEST" && find . -mindepth 1 | LC_ALL=C sort)
}

# crash_run PROGRAM [STOP]: PROGRAM on a fresh copy of its machine, logged into $E2E_DIR/hook.log and
# stopped before change STOP if given (its number, or the first whose line holds that text), then
# walked; what it must leave in $E2E_DIR/expected.
crash_run() {
    local template=installed command='C:\MEDIA\SETUP.EXE' at='' on=''
    case $1 in
    install) template=seeded ;;
    reregister) command="$(inf DefaultPath)\\SETUP.EXE -u" ;;
    reregister-media) command+=' -u' ;;
    uninstall) command="$(inf DefaultPath)\\UNINSTAL.EXE" ;;
    esac
    [[ ${2:-} =~ ^[0-9]*$ ]] && at=${2:-} || on=$2
    crash_start $template
    mkdir -p "$E2E_DIR" && : >"$E2E_DIR/hook.log" && cp "$CRASH_TEMPLATES/before" "$E2E_DIR/expected"
    # A copy of the setup the user put into the product's folder is theirs: it stays.
    [ "$1" != reregister ] || { cp "$E2E_MEDIA/SETUP.EXE" "$DEST/" && echo ./SETUP.EXE >>"$E2E_DIR/expected"; }
    CRASH_LOG="Z:${E2E_DIR//\//\\}\\hook.log" CRASH_STOP_AT=$at CRASH_STOP_ON=$on \
        e2e_start "$SETUP_BUILD_DIR/bin/e2edriver.exe" inject "$command"
    crash_walk "$1"
}

# crash_walk PROGRAM: the program of e2e_start walked as a user would (Yes, then No to the
# uninstaller's restart; a box with OK alone ends it), in one driver run that gives up once it has
# ended, into $E2E_DIR/run<N>.walk; then waited for (bounded), its exit status in CRASH_STATUS.
crash_walk() {
    local exe=SETUP.EXE steps ask=() walk=$E2E_DIR/run$E2E_RUNS.walk
    [ "$1" != reinstall ] || ask=(+ answer "$CAPTION" 1) # the existing folder's question
    steps=(click class:SETUP_BEGIN 1 + click class:SETUP_SELMOUSE 1035 + click class:SETUP_SELMOUSE 1
        + click class:SETUP_SELDIR 1 "${ask[@]}" + click class:SETUP_END 1033 + click class:SETUP_END 1)
    case $1 in
    reregister*) steps=(click class:SETUP_SELMOUSE 1 + answer "$CAPTION" 1) ;;
    uninstall) steps=(answer '' 6 + answer '' 7) exe=$CRASH_UNINSTALLERS ;;
    esac
    drv -t 60 -p "$exe" "${steps[@]}" >"$walk" 2>&1
    if timeout 120 tail -s 0.1 --pid="$SETUP_PID" -f /dev/null && drv -t 120 wait-gone '~UNINST.EXE'; then
        wait "$SETUP_PID"
        CRASH_STATUS=$? && return 0
    fi
    kill "$SETUP_PID" 2>/dev/null; wineserver -k 2>/dev/null; wait "$SETUP_PID"
    CRASH_STATUS=forced && echo "(it did not end; ended by force)" >>"$walk" && return 1
}

# crash_uninstall: the destination's uninstaller, when it is whole, walked; then the restart.
crash_uninstall() {
    cmp -s "$DEST/UNINSTAL.EXE" "$SETUP_BUILD_DIR/bin/UNINSTAL.EXE" || return 0
    e2e_start "$(inf DefaultPath)\\UNINSTAL.EXE" && crash_walk uninstall; crash_start
}

# crash_recover: the restart, the uninstaller; then a further run when the machine is not back: the
# uninstaller again when it said it could not undo all, or, when the destination holds no journal
# or no whole uninstaller, the setup again and its uninstaller. $E2E_DIR/verdict: pass, recovered
# (by the further run) or FAIL; $E2E_DIR/diff: what differs from the expected.
crash_recover() {
    local verdict=FAIL
    crash_start && crash_uninstall
    crash_snapshot >"$E2E_DIR/after"
    if cmp -s "$E2E_DIR/expected" "$E2E_DIR/after"; then
        verdict=pass
    elif grep -qs '^Some changes could not be undone' "$E2E_DIR/run$E2E_RUNS.walk"; then
        crash_uninstall
    elif [ -d "$DEST" ] && ! { grep -qs '^\[Undo ' "$DEST/SETUP.INF" &&
        cmp -s "$DEST/UNINSTAL.EXE" "$SETUP_BUILD_DIR/bin/UNINSTAL.EXE"; }; then
        e2e_start && crash_walk reinstall; crash_start && crash_uninstall
    fi
    [ $verdict = pass ] || { crash_snapshot >"$E2E_DIR/after" && cmp -s "$E2E_DIR/expected" "$E2E_DIR/after" &&
        verdict=recovered; }
    diff "$E2E_DIR/expected" "$E2E_DIR/after" | grep '^[<>]' >"$E2E_DIR/diff"
    echo "$verdict" >"$E2E_DIR/verdict"
}

# crash_stop PROGRAM STOP: one stop point, checked; the change it stopped before in $E2E_DIR/stop.
crash_stop() {
    E2E_RUNS=0
    crash_run "$1" "$2"
    local stop
    stop=$(tail -n2 "$E2E_DIR/hook.log" | tr '\n' '\r')
    if ! [[ $stop == [0-9]*$'\rstop\r' && ($stop == "$2	"* || (! $2 =~ ^[0-9]+$ && $stop == *"$2"*)) ]]; then
        echo "not reached" >"$E2E_DIR/verdict"
        e2e_check "$1: the run stops before change $2" stopped "$(tail -n1 "$E2E_DIR/hook.log")"
        return
    fi
    stop=${stop%%$'\r'*} && echo "$stop" >"$E2E_DIR/stop"
    crash_hooked "$1 stop ${stop%%	*}" stopped
    crash_recover
    e2e_check "$1 stop ${stop//	/ }: the machine as before$(grep -q recovered "$E2E_DIR/verdict" &&
        echo ', after a further run')" "$(cat "$E2E_DIR/expected")" "$(cat "$E2E_DIR/after")"
    rm -f "$E2E_DIR/expected" "$E2E_DIR/after" "$E2E_DIR"/run*.trace
}

# crash_count PROGRAM: the complete run, its changes counted (CRASH_TOTAL) and the hook checked; the
# machine after the install kept as the template "installed".
crash_count() {
    E2E_RUNS=0
    crash_run "$1"
    e2e_check "$1: the complete run ends with status 0" 0 "$CRASH_STATUS"
    crash_hooked "$1"
    [ "$1" != uninstall ] || e2e_check "uninstall: the hook is in the uninstaller's copy too" 2 \
        "$(grep -c '^program ' "$E2E_DIR/hook.log")"
    CRASH_TOTAL=$(grep -c '^[0-9]' "$E2E_DIR/hook.log")
    [ "$1" != install ] || crash_keep installed
}

# crash_hooked WHAT [stopped]: of the hooked calls the relay trace of run 1 sees (made by a program
# or the hook, its own log apart), none returns into a program (each process's first log line says
# where it lies) but an opening to read, made before the hook comes in; unless stopped, the rest
# are the hook's log, and there are changes.
crash_hooked() {
    local calls around
    calls=$(grep -a 'Call [A-Za-z0-9]*\.' "$E2E_DIR/run1.trace" | grep -v 'hook\.log"')
    around=$(awk -v hooks="$E2E_DIR/hook.log" 'BEGIN { while ((getline line <hooks) > 0) if (line ~ /^program /) p[substr(line, 9)] }
        { for (r in p) if (substr($NF, 5) >= substr(r, 1, 8) && substr($NF, 5) < substr(r, 10)) print }' <<<"$calls")
    e2e_check "$1: the program makes no change around the hook" "" "$(grep -v \
        'KERNEL32\.CreateFileA(.*,80000000,[0-9a-f]*,[0-9a-f]*,00000003,[0-9a-f]*,[0-9a-f]*) ret=[0-9a-f]*$' <<<"$around")"
    [ -n "${2:-}" ] && return
    e2e_check "$1: the hook logs each call the relay trace sees through it (and the trace sees them)" \
        "$(($(grep -c . <<<"$calls") - $(grep -c . <<<"$around")))" "$(grep -c '^[0-9-]' "$E2E_DIR/hook.log")"
    e2e_check "$1: the program makes changes" 1 "$(grep -cm1 '^1	' "$E2E_DIR/hook.log")"
}

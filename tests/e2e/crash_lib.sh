# shellcheck shell=bash
# The crash sweep's harness, over lib.sh: a program run stopped the hard way just before its Nth
# change to the machine (crash_hook.dll, put in by `e2edriver inject`), the restart a power cut
# ends in, the uninstaller until it is done, and the machine compared with the one before the
# first install. Used by scripts/crash-sweep.sh (every stop point) and crash_sweep_sample.e2e.sh.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# The calls crash_hook.dll takes over: the relay trace that checks it watches the same ones.
CRASH_CALLS="RegCreateKeyExA RegSetValueExA RegDeleteValueA RegDeleteKeyA CreateFileA WriteFile CopyFileA
    MoveFileA DeleteFileA CreateDirectoryA RemoveDirectoryA SetFileAttributesA GetTempFileNameA
    WritePrivateProfileStringA WritePrivateProfileSectionA LZOpenFileA LZCopy"
CRASH_PROGRAMS="install reinstall reregister reregister-media uninstall"
CRASH_TEMPLATES=$SETUP_BUILD_DIR/wine/crash

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

# crash_machine: the fresh prefix of e2e_begin seeded, with two files of the user's: a VELOR.INI of
# their own where the script puts one, and a system.bak from before. Made into the template
# "seeded", and what every stop point must end at, as "$CRASH_TEMPLATES/before". Relay traces show
# the hooked functions called from the programs and the hook alone (an exclusion list would make
# Wine ignore that).
crash_machine() {
    e2e_seed && printf '[mine]\r\nwheel=3\r\n' >"$E2E_C/windows/VELOR.INI" &&
        printf '[boot]\r\nshell=Explorer.exe\r\n; the user kept this\r\n' >"$E2E_C/windows/system.bak" &&
        wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /f /d "$(tr -s ' \n' ';;' <<<"$CRASH_CALLS")" \
            >/dev/null 2>&1 &&
        wine reg delete 'HKCU\Software\Wine\Debug' /v RelayFromExclude /f >/dev/null 2>&1 &&
        wine reg add 'HKCU\Software\Wine\Debug' /v RelayFromInclude /f \
            /d 'SETUP.EXE;UNINSTAL.EXE;crash_hook' >/dev/null 2>&1 || e2e_die "cannot seed the machine"
    mkdir -p "$CRASH_TEMPLATES" && crash_snapshot >"$CRASH_TEMPLATES/before" && crash_keep seeded
}

# crash_keep NAME: the machine now as template NAME.
crash_keep() {
    wineserver -k 2>/dev/null; wineserver -w
    wine_fresh_prefix "$WINEPREFIX" "$CRASH_TEMPLATES/$1"
}

# crash_snapshot: what must come back: the keys, every file of the Windows folder by checksum (its
# read-only ones named), system.ini byte by byte, the media's files, which no run may change, and
# what is left in the destination folder. Each part whatever became of the others: system.ini may
# be gone.
crash_snapshot() {
    e2e_snapshot contents 2>/dev/null
    (cd "$E2E_C/windows" && find . -type f ! -iname 'wininit.*' ! -perm -u+w | sed 's/^/read-only /')
    (cd "$E2E_C" && find MEDIA -type f | LC_ALL=C sort | xargs -rd '\n' cksum)
    echo "left in the destination:"
    [ ! -d "$DEST" ] || (cd "$DEST" && find . -mindepth 1 | LC_ALL=C sort)
}

# crash_fresh TEMPLATE: a fresh copy of a kept machine as the prefix, started.
crash_fresh() {
    wineserver -k 2>/dev/null; wineserver -w
    wine_fresh_prefix "$CRASH_TEMPLATES/$1" "$WINEPREFIX" && wineserver -p && drv seed-boot both ||
        e2e_die "no machine $1"
}

# crash_walk PROGRAM: the walk of each program, in one driver run that gives up when the
# program has ended.
crash_walk() {
    local steps exe=SETUP.EXE
    case $1 in
    install | reinstall)
        steps=(click class:SETUP_BEGIN 1 + click class:SETUP_SELMOUSE 1035 + click class:SETUP_SELMOUSE 1
            + click class:SETUP_SELDIR 1)
        [ "$1" = install ] || steps+=(+ answer "$CAPTION" 1)
        steps+=(+ click class:SETUP_END 1033 + click class:SETUP_END 1) ;;
    reregister*) steps=(click class:SETUP_SELMOUSE 1 + answer "$CAPTION" 1) ;;
    uninstall) steps=(answer '' 6 + answer '' 7) exe=UNINSTAL.EXE ;;
    esac
    drv -t 60 -p $exe "${steps[@]}" >>"$E2E_DIR/walk" 2>&1
}

# crash_run PROGRAM [STOP]: PROGRAM on a fresh copy of its machine, its calls logged by the hook
# into $E2E_DIR/hook.log, stopped before change STOP if given (its number, or text its line holds:
# the first such change), its walk in $E2E_DIR/walk; what it must leave in $E2E_DIR/expected.
crash_run() {
    local template=installed command log=$E2E_DIR/hook.log at='' on=''
    command=$(inf DefaultPath)\\UNINSTAL.EXE
    case $1 in
    install) template=seeded command='C:\MEDIA\SETUP.EXE' ;;
    reinstall) command='C:\MEDIA\SETUP.EXE' ;;
    reregister) command="$(inf DefaultPath)\\SETUP.EXE -u" ;;
    reregister-media) command='C:\MEDIA\SETUP.EXE -u' ;;
    esac
    [[ ${2:-} =~ ^[0-9]*$ ]] && at=${2:-} || on=$2
    crash_fresh $template
    mkdir -p "$E2E_DIR" && : >"$log" && cp "$CRASH_TEMPLATES/before" "$E2E_DIR/expected"
    # A copy of the setup the user put into the product's folder is theirs: it stays.
    [ "$1" != reregister ] || { cp "$E2E_MEDIA/SETUP.EXE" "$DEST/" && echo ./SETUP.EXE >>"$E2E_DIR/expected"; }
    # shellcheck disable=SC2086 # the command's words
    CRASH_LOG="Z:${log//\//\\}" CRASH_STOP_AT=$at CRASH_STOP_ON=$on \
        e2e_start "$SETUP_BUILD_DIR/bin/e2edriver.exe" inject $command
    crash_walk "$1"
    crash_ended || e2e_log "$1${2:+ stop $2}: the program did not end; ended by force"
}

# crash_ended: waits (bounded) for the program of e2e_start, its exit status then in
# CRASH_STATUS; false when it had to be ended.
crash_ended() {
    if timeout 120 tail -s 0.1 --pid="$SETUP_PID" -f /dev/null; then
        wait "$SETUP_PID"
        CRASH_STATUS=$? && return 0
    fi
    kill "$SETUP_PID" 2>/dev/null; wineserver -k 2>/dev/null; wait "$SETUP_PID"; return 1
}

# crash_restart: Windows started again; WININIT.INI does what it names.
# The server stays (-p): what it holds under HKEY_DYN_DATA would go with it.
crash_restart() {
    wineserver -k 2>/dev/null; wineserver -w
    wineserver -p && wineboot -r >/dev/null 2>&1 && drv seed-boot both || e2e_die "Windows does not start again"
}

# crash_uninstall: UNINSTAL.EXE of the destination, as a user would run it after the stop: put
# there from the build when the stop left none; Yes to its question, No to its restart; its texts
# into $E2E_DIR/uninstall<N>.texts. False when the destination holds nothing to uninstall.
crash_uninstall() {
    [ -n "$(ls -A "$DEST" 2>/dev/null)" ] || return 1
    [ -f "$DEST/UNINSTAL.EXE" ] || cp "$SETUP_BUILD_DIR/bin/UNINSTAL.EXE" "$DEST/"
    e2e_start "$(inf DefaultPath)\\UNINSTAL.EXE"
    local texts=$E2E_DIR/uninstall$E2E_RUNS.texts
    # After a box with OK alone (Yes ends it too) there is no second.
    drv -t 60 -p UNINSTAL.EXE answer '' 6 + answer '' 7 >"$texts" 2>&1
    crash_ended || echo "(the uninstaller did not end)" >>"$texts"
    return 0
}

# crash_recover PROGRAM: after the run, the restart, the uninstaller (a second one when the run
# was the uninstaller) and the restart; once more when the uninstaller said what it could not do
# and the machine is not back. Writes $E2E_DIR/verdict: pass, recovered or FAIL; what differs from
# the machine expected into $E2E_DIR/diff.
crash_recover() {
    local verdict=pass
    crash_restart
    ! crash_uninstall || crash_restart
    crash_snapshot >"$E2E_DIR/after"
    if ! cmp -s "$E2E_DIR/expected" "$E2E_DIR/after"; then
        verdict=FAIL
        if grep -qs '^Some changes could not be undone' "$E2E_DIR/uninstall$E2E_RUNS.texts"; then
            crash_uninstall && crash_restart
            crash_snapshot >"$E2E_DIR/after"
            ! cmp -s "$E2E_DIR/expected" "$E2E_DIR/after" || verdict=recovered
        fi
    fi
    diff "$E2E_DIR/expected" "$E2E_DIR/after" | grep '^[<>]' >"$E2E_DIR/diff"
    echo "$verdict" >"$E2E_DIR/verdict"
}

# crash_stop PROGRAM STOP: one stop point (as crash_run takes it), checked; the artefacts in
# $E2E_DIR, the change it stopped before in $E2E_DIR/stop.
crash_stop() {
    E2E_RUNS=0
    crash_run "$1" "$2"
    local stop
    stop=$(tail -n1 "$E2E_DIR/hook.log" | tee "$E2E_DIR/stop")
    if [ "$CRASH_STATUS" != 99 ] ||
        ! [[ $stop == [0-9]* && ($stop == "$2	"* || (! $2 =~ ^[0-9]+$ && $stop == *"$2"*)) ]]; then
        echo "not reached" >"$E2E_DIR/verdict"
        e2e_check "$1: the run stops before change $2" "stopped" "exit status $CRASH_STATUS after: $stop"
        return
    fi
    crash_hooked "$1 stop ${stop%%	*}" stopped
    crash_recover "$1"
    e2e_check "$1 stop ${stop//	/ }: the machine as before$(grep -q recovered "$E2E_DIR/verdict" &&
        echo ', once the uninstaller ran again')" "$(cat "$E2E_DIR/expected")" "$(cat "$E2E_DIR/after")"
    # What stays is small: the diff says what the snapshots did, the hook's log what the run did.
    rm -f "$E2E_DIR/expected" "$E2E_DIR/after" "$E2E_DIR"/run*.trace
}

# crash_count PROGRAM: the complete run, its changes counted (CRASH_TOTAL), the hook checked against
# the relay trace of the same run. The machine after the complete install is kept as the template
# "installed" of the other programs.
crash_count() {
    E2E_RUNS=0
    crash_run "$1"
    e2e_check "$1: the complete run ends with status 0" 0 "$CRASH_STATUS"
    crash_hooked "$1"
    CRASH_TOTAL=$(grep -c '^[0-9]' "$E2E_DIR/hook.log")
    [ "$1" != install ] || crash_keep installed
}

# crash_hooked WHAT [stopped]: the calls of the hooked functions in the relay trace of run 1, by
# where they return to: none from the program itself but the opening of a file to read (what it
# does before its first window, when the hook comes in); each through the hook logged, unless the
# hook stopped the program before the last. The hook's first log line says where both lie; its
# own log file is left out.
crash_hooked() {
    local program hook trace
    read -r _ program _ hook <"$E2E_DIR/hook.log"
    trace=$(grep -a 'Call [A-Za-z0-9]*\.[A-Za-z0-9]*(' "$E2E_DIR/run1.trace" | grep -v 'hook\.log"' |
        sed 's/^.*Call \(.*\) ret=\([0-9a-f]*\)$/\2 \1/')
    within() { awk -v from="${1%-*}" -v to="${1#*-}" '($1 "") >= from && ($1 "") < to'; }
    e2e_check "$1: the program makes no change around the hook" "" "$(within "$program" <<<"$trace" |
        grep -v '^[0-9a-f]* KERNEL32\.CreateFileA(.*,80000000,[0-9a-f]*,[0-9a-f]*,00000003,[0-9a-f]*,[0-9a-f]*)$')"
    [ -n "${2:-}" ] && return
    e2e_check "$1: the hook logs each call the relay trace sees through it (and the trace sees them)" \
        "$(within "$hook" <<<"$trace" | wc -l)" "$(grep -c '^[0-9-]' "$E2E_DIR/hook.log")"
    e2e_check "$1: the program makes changes" 1 "$(grep -qm1 '^1	' "$E2E_DIR/hook.log" && echo 1)"
}

#!/usr/bin/env bash
# The crash sweep: each PROGRAM run (default all: install, reinstall, reregister, reregister-media,
# uninstall) stopped the hard way before each of its changes to the machine in turn, on a fresh
# Windows 98 machine each time; then a restart, the uninstaller and a restart, and the machine
# compared with the one before the first install (tests/e2e/crash_lib.sh). Prints per program the
# stop points tried and failed, each failure with its diff, and what was left behind by stop
# point, also into results/crash-sweep/summary.txt; each stop point's artefacts are in
# results/crash-sweep/PROGRAM/N/. CRASH_JOBS stop points run at once (default 2), niced.
# Usage: crash-sweep.sh [PROGRAM...]
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
started=$SECONDS
renice -n 10 $$ >/dev/null
bash "$here/scripts/install-deps.sh" || exit 1
export SETUP_SOURCE_DIR=$here SETUP_BUILD_DIR=${SETUP_BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh" --target setup uninstal media e2edriver >/dev/null || exit 1
export SETUP_RESULTS_DIR=${SETUP_RESULTS_DIR:-$here/results}
# shellcheck source=../tests/e2e/crash_lib.sh
. "$here/tests/e2e/crash_lib.sh"
out=$SETUP_RESULTS_DIR/crash-sweep programs=${*:-$CRASH_PROGRAMS}
for program in $programs; do
    grep -qw -- "$program" <<<"$CRASH_PROGRAMS" || { echo "Usage: $0 [$CRASH_PROGRAMS]" >&2 && exit 2; }
done
rm -rf "$out" && mkdir -p "$out"

# The machines; each program's complete run, its stop points counted and the hook checked, then
# its uninstall. The complete install makes the machine of the others, whichever are swept.
counting() {
    e2e_begin crash-sweep/counting && crash_imports && crash_machine
    for program in install $programs; do
        [ ! -f "$out/$program/total" ] || continue # install comes first, once
        E2E_DIR=$out/$program/complete && crash_count "$program" && echo "$CRASH_TOTAL" >"$out/$program/total"
        [ "$program" = install ] && ! grep -qw install <<<"$programs" || crash_recover "$program"
    done
    E2E_DIR=$out
}
(counting) 2>&1 | tee "$out/counting.log" | grep '^\['
[ -f "$out/install/total" ] || { echo "crash-sweep: nothing counted; see $out/counting.log" >&2 && exit 1; }

# The stop points, dealt out to the jobs in turn; each job a machine and a display of its own.
for program in $programs; do
    [ ! -f "$out/$program/total" ] || seq -f "$program %g" "$(cat "$out/$program/total")"
done >"$out/stops"
stops() {
    e2e_begin "crash-sweep/job$1"
    while read -r program stop; do
        E2E_DIR=$out/$program/$stop && crash_stop "$program" "$stop" </dev/null
    done < <(awk -v n="$jobs" -v k="$1" 'NR % n == k % n' "$out/stops")
    E2E_DIR=$out
}
jobs=${CRASH_JOBS:-2}
for ((job = 1; job <= jobs; job++)); do
    (stops $job) 2>&1 | tee "$out/job$job.log" | grep --line-buffered '^\[' &
done
wait
[ -n "${E2E_KEEP:-}" ] || rm -rf "$CRASH_TEMPLATES"

verdict() { cat "$1/verdict" 2>/dev/null || echo 'not run'; }
{
    echo "Crash sweep of SETUP.EXE and UNINSTAL.EXE: each run stopped before each change in turn, then a"
    echo "restart, UNINSTAL.EXE (Yes) and a restart, compared with the machine before the first install:"
    echo "the registry trees the setup touches, the Windows folder's files by checksum, system.ini byte"
    echo "by byte, and the destination folder gone or empty."
    for program in $programs; do
        verdicts=$(cat "$out/$program"/[0-9]*/verdict 2>/dev/null)
        printf '%s: %d stop points of %s tried, %d failed (%d recovered by a further uninstaller run,' \
            "$program" "$(grep -c . <<<"$verdicts")" "$(cat "$out/$program/total" 2>/dev/null || echo '?')" \
            "$(grep -c -e FAIL -e 'not reached' <<<"$verdicts")" "$(grep -c recovered <<<"$verdicts")"
        printf ' %d not reached); the complete run: %s\n' "$(grep -c 'not reached' <<<"$verdicts")" \
            "$(verdict "$out/$program/complete")"
    done
    echo
    echo "Failures (the stop point: the change before which the program stopped; < expected, > found):"
    for program in $programs; do
        for stop in $(seq "$(cat "$out/$program/total" 2>/dev/null || echo 0)"); do
            case $(verdict "$out/$program/$stop") in pass | recovered) continue ;; esac
            echo "$program stop $stop: $(cut -f2- "$out/$program/$stop/stop" 2>/dev/null | tr '\t' ' ') ($(
                verdict "$out/$program/$stop"))"
            sed 's/^/    /' "$out/$program/$stop/diff" 2>/dev/null
        done
    done
    echo
    echo "What differs, with the stop points it differs after:"
    for program in $programs; do
        for stop in $(seq "$(cat "$out/$program/total" 2>/dev/null || echo 0)"); do
            [ "$(verdict "$out/$program/$stop")" != FAIL ] || sed "s|^|$program $stop |" "$out/$program/$stop/diff"
        done
    done | awk -f "$here/tests/e2e/crash_items.awk"
    echo
    echo "Checks of the sweep itself that failed (none, or its counts cannot be trusted):"
    grep -h 'FAIL: ' "$out"/counting.log "$out"/job*.log | grep -v 'the machine as before' || echo "  none"
    echo
    echo "Total time: $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"
} | tee "$out/summary.txt"

#!/usr/bin/env bash
# The crash sweep: each PROGRAM run (default all: install, reinstall, reregister, reregister-media,
# uninstall) stopped the hard way before each of its changes to the machine in turn, each time on
# a fresh Windows 98 machine, then a restart, the uninstaller and a restart, and the machine
# compared with the one before the first install (tests/e2e/crash_lib.sh). The counts, each failure
# with its diff and what was left behind by stop point go to results/crash-sweep/summary.txt; each
# stop point's artefacts to results/crash-sweep/PROGRAM/N/. CRASH_JOBS at once (default 2), niced.
# Usage: crash-sweep.sh [PROGRAM...]
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd) started=$SECONDS
renice -n 10 $$ >/dev/null
bash "$here/scripts/install-deps.sh" || exit 1
export SETUP_SOURCE_DIR=$here SETUP_BUILD_DIR=${SETUP_BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh" --target setup uninstal media e2edriver >/dev/null || exit 1
export SETUP_RESULTS_DIR=${SETUP_RESULTS_DIR:-$here/results}
# shellcheck source=../tests/e2e/crash_lib.sh
. "$here/tests/e2e/crash_lib.sh"
out=$SETUP_RESULTS_DIR/crash-sweep programs=${*:-$CRASH_PROGRAMS} jobs=${CRASH_JOBS:-2}
for program in $programs; do
    grep -qw -- "$program" <<<"$CRASH_PROGRAMS" || { echo "Usage: $0 [$CRASH_PROGRAMS]" >&2 && exit 2; }
done
rm -rf "$out" && mkdir -p "$out"

# Each program's complete run, its changes counted and the hook checked, then put back. The
# complete install makes the machine of the others, whichever are swept.
counting() {
    e2e_begin crash-sweep/counting && crash_imports && crash_machine
    for program in install $programs; do
        [ ! -f "$out/$program/total" ] || continue
        E2E_DIR=$out/$program/complete && crash_count "$program" && echo "$CRASH_TOTAL" >"$out/$program/total"
        [ "$program" = install ] && ! grep -qw install <<<"$programs" || crash_recover
    done
    E2E_DIR=$out
}
(counting) 2>&1 | tee "$out/counting.log" | grep '^\['
[ -f "$out/install/total" ] || { echo "crash-sweep: nothing counted; see $out/counting.log" >&2 && exit 1; }

# The stop points, dealt out to the jobs in turn; each job a machine and a display of its own.
stops() {
    e2e_begin "crash-sweep/job$1"
    while read -r program stop; do
        E2E_DIR=$out/$program/$stop && crash_stop "$program" "$stop" </dev/null
    done < <(for program in $programs; do seq -f "$program %g" "$(cat "$out/$program/total" || echo 0)"; done |
        awk -v n="$jobs" -v k="$1" 'NR % n == k % n')
    E2E_DIR=$out
}
for ((job = 1; job <= jobs; job++)); do
    (stops $job) 2>&1 | tee "$out/job$job.log" | grep --line-buffered '^\[' &
done
wait
[ -n "${E2E_KEEP:-}" ] || rm -rf "$CRASH_TEMPLATES"

# stop_points PROGRAM: "N VERDICT" of each of its stop points.
stop_points() {
    for stop in $(seq "$(cat "$out/$1/total" 2>/dev/null || echo 0)"); do
        echo "$stop $(cat "$out/$1/$stop/verdict" 2>/dev/null || echo 'not run')"
    done
}
{
    echo "Each run stopped before each change in turn, then a restart, UNINSTAL.EXE (Yes) and a restart,"
    echo "compared with the machine before the first install (crash_snapshot in tests/e2e/crash_lib.sh)."
    for program in $programs; do
        printf '%s: %d stop points tried, %d failed, %d recovered by a further uninstaller run; complete run: %s\n' \
            "$program" "$(stop_points "$program" | grep -vc 'not run')" \
            "$(stop_points "$program" | grep -c -e FAIL -e 'not reached')" "$(stop_points "$program" | grep -c recovered)" \
            "$(cat "$out/$program/complete/verdict" 2>/dev/null || echo 'not put back')"
    done
    echo -e "\nFailures (the change before which the program stopped; < expected, > found):"
    for program in $programs; do
        stop_points "$program" | grep -v -e pass -e recovered | while read -r stop verdict; do
            echo "$program stop $stop: $(cut -f2- "$out/$program/$stop/stop" 2>/dev/null | tr '\t' ' ') ($verdict)"
            sed 's/^/    /' "$out/$program/$stop/diff" 2>/dev/null
        done
    done
    echo -e "\nWhat differs, with the stop points it differs after:"
    for program in $programs; do
        stop_points "$program" | awk '$2 == "FAIL" { print $1 }' | while read -r stop; do
            sed "s|^|$program $stop |" "$out/$program/$stop/diff"
        done
    done | awk -f "$here/tests/e2e/crash_items.awk"
    echo -e "\nChecks of the sweep itself that failed (none, or its counts cannot be trusted):"
    grep -h 'FAIL: ' "$out"/counting.log "$out"/job*.log | grep -v 'the machine as before' || echo "  none"
    echo -e "\nTotal time: $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"
} | tee "$out/summary.txt"

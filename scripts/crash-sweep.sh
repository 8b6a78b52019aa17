#!/usr/bin/env bash
# The crash sweep (tests/e2e/crash_lib.sh): each PROGRAM's run (default all) stopped before each of
# its changes in turn, on a fresh machine, then a restart, the uninstaller and a restart, compared
# with the machine before the first install. The counts, the failures and what was left behind go
# to results/crash-sweep/summary.txt; CRASH_JOBS stop points at once (default 2), niced.
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

# The complete runs counted and put back; the install's machine is the others'.
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

# The stop points dealt out to the jobs, each with a machine and a display of its own.
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

# verdicts PROGRAM: "N VERDICT" a stop point.
verdicts() { for s in $(seq "$(cat "$out/$1/total" 2>/dev/null || echo 0)"); do echo "$s $(cat "$out/$1/$s/verdict" 2>/dev/null)"; done; }
{
    echo "Each run stopped before each change, then a restart, UNINSTAL.EXE (Yes), a restart, and a further"
    echo "run when not back (crash_recover in tests/e2e/crash_lib.sh):"
    for program in $programs; do
        printf '%s: %d stop points tried, %d failed, %d recovered by a further run; complete run: %s\n' \
            "$program" "$(verdicts "$program" | grep -c ' .')" "$(verdicts "$program" | grep -c -e FAIL -e reached)" \
            "$(verdicts "$program" | grep -c recovered)" "$(cat "$out/$program/complete/verdict" 2>/dev/null)"
    done
    echo -e "\nFailures (the change the program stopped before; < expected, > found), then by item:"
    for program in $programs; do
        verdicts "$program" | grep -e FAIL -e reached | while read -r stop verdict; do
            echo "$program stop $stop: $(cut -f2- "$out/$program/$stop/stop" 2>/dev/null | tr '\t' ' ') ($verdict)"
            sed "s/^/    /" "$out/$program/$stop/diff" 2>/dev/null
            sed "s|^|$program $stop |" "$out/$program/$stop/diff" 2>/dev/null >>"$out/items"
        done
    done
    awk -f "$here/tests/e2e/crash_items.awk" "$out/items" 2>/dev/null
    echo -e "\nChecks of the sweep itself that failed (none, or its counts cannot be trusted):"
    grep -h 'FAIL: ' "$out"/counting.log "$out"/job*.log | grep -v 'the machine as before' || echo "  none"
    echo -e "\nTotal time: $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"
} | tee "$out/summary.txt"

#!/usr/bin/env bash
# A sample of the crash sweep (scripts/crash-sweep.sh runs every stop point): the hook checked
# against the programs' imports and a relay trace of the complete install, then one stop point of
# each program where a stop hurts most: the install between system.ini's two renames, the
# reinstall between the two moves that put a new SETUP.INF (the journal) in place, the -u run
# before its first journal note, the uninstaller just before WININIT.INI is put in place. Each is
# followed by a restart, the uninstaller and a restart, and must leave the machine as before the
# first install.
. "$(dirname "$0")/crash_lib.sh"
CRASH_TEMPLATES=$SETUP_BUILD_DIR/wine/crash-sample
e2e_begin crash_sweep_sample
crash_imports
crash_machine
results=$E2E_DIR
E2E_DIR=$results/install-complete crash_count install
while IFS=' ' read -r program stop; do
    E2E_DIR=$results/$program crash_stop "$program" "$stop"
done <<'EOF'
install MoveFileA	C:\windows\system.new	C:\windows\system.ini
reinstall MoveFileA	C:\VELOR\~ST
reregister WritePrivateProfileStringA	C:\VELOR\SETUP.INF	Undo Values
uninstall C:\windows\WININIT.INI
EOF
E2E_DIR=$results
[ -n "${E2E_KEEP:-}" ] || rm -rf "$CRASH_TEMPLATES"

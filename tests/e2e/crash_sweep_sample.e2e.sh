#!/usr/bin/env bash
# A sample of the crash sweep (scripts/crash-sweep.sh): the hook checked on the complete install, then
# the install stopped amid the device key's values, a second install and the uninstaller's copy each
# between its two renames of system.ini; each must end, after the restart and the uninstaller, at
# the machine before the first install.
. "$(dirname "$0")/crash_lib.sh"
CRASH_TEMPLATES=$SETUP_BUILD_DIR/wine/crash-sample
e2e_begin crash_sweep_sample
crash_imports
crash_machine
results=$E2E_DIR
E2E_DIR=$results/install-complete crash_count install
while IFS='/' read -r program stop; do
    E2E_DIR=$results/$program-${stop%%	*} crash_stop "$program" "$stop"
done <<'EOF'
install/RegSetValueExA	HKLM\Enum\BIOS\*PNP0F13\0000	Mfg
reinstall/MoveFileA	C:\windows\system.new	C:\windows\system.ini
uninstall/MoveFileA	C:\windows\~Nsystem.ini	C:\windows\system.ini
EOF
E2E_DIR=$results
[ -n "${E2E_KEEP:-}" ] || rm -rf "$CRASH_TEMPLATES"

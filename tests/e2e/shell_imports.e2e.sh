#!/usr/bin/env bash
# SETUP.EXE must load on Windows 95/98: a GUI program for subsystem 4.0 that
# imports only system libraries those versions ship.
. "$(dirname "$0")/lib.sh"
E2E_NAME=shell_imports
exe=$SETUP_BUILD_DIR/bin/SETUP.EXE
[ -f "$exe" ] || e2e_die "no $exe"
headers=$(i686-w64-mingw32-objdump -p "$exe") || e2e_die "objdump cannot read $exe"

field() { awk -v k="$1" '$1 == k { print $2; exit }' <<<"$headers"; }
e2e_assert_eq 4 "$(field MajorSubsystemVersion)" "major subsystem version"
e2e_assert_eq 0 "$(field MinorSubsystemVersion)" "minor subsystem version"
e2e_assert_eq 4 "$(field MajorOSystemVersion)" "major OS version"
e2e_assert_eq 00000002 "$(field Subsystem)" "Windows GUI subsystem"

allowed=" KERNEL32.DLL USER32.DLL GDI32.DLL ADVAPI32.DLL COMDLG32.DLL LZ32.DLL MSVCRT.DLL "
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr '[:lower:]' '[:upper:]' | sort -u)
e2e_log "imports: $(tr '\n' ' ' <<<"$imports")"
for core in KERNEL32.DLL USER32.DLL GDI32.DLL; do
    e2e_assert_contains "$imports" "$core" "imports $core"
done
for dll in $imports; do
    e2e_assert_contains "$allowed" " $dll " "$dll is a Windows 95/98 system library"
done

# The program is ANSI throughout: Windows 95/98 only stub most wide calls.
functions=$(awk '/DLL Name/ { dll = $3; next } dll && NF == 3 && $1 ~ /^[0-9a-f]+$/ { print dll ": " $3 }' <<<"$headers")
e2e_assert_contains "$functions" "USER32.dll: MessageBoxA" "the import list is readable"
e2e_assert_eq "" "$(grep -v -i '^msvcrt' <<<"$functions" | grep -E '[a-z0-9]W$')" "no wide-character system calls"
e2e_finish

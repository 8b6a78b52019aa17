#!/usr/bin/env bash
# Every program in product-programs.txt (windows95_program lists it) is for subsystem 4.0
# and imports, function by function, only what the first Windows 95 exports (windows95_exports.txt).
. "$(dirname "$0")/lib.sh"
E2E_NAME=shell_imports
list=$SETUP_BUILD_DIR/product-programs.txt
exports=$(awk '!/^#/ && NF { print $1, $2 }' "$E2E_LIB_DIR/windows95_exports.txt")
[ -n "$exports" ] || e2e_die "no allow-list of Windows 95 exports"
[ -s "$list" ] || e2e_die "no list of product programs at $list"
for name in SETUP.EXE ZKMAIN.EXE ZKPAGE.DLL UNINSTAL.EXE; do
    e2e_assert "$name is a listed product program" grep -q "/$name\$" "$list"
done

field() { awk -v k="$1" '$1 == k { print $2; exit }' <<<"$headers"; }
while read -r program; do
    name=$(basename "$program")
    if ! headers=$(i686-w64-mingw32-objdump -p "$program" 2>&1); then
        e2e_fail "$name: cannot read it ($headers)"
        continue
    fi
    # The media check is a console program; every other one has windows.
    [ "$name" = MEDIACHK.EXE ] && kind=00000003 || kind=00000002
    e2e_assert_eq "4.0 4 $kind" "$(field MajorSubsystemVersion).$(field MinorSubsystemVersion) \
$(field MajorOSystemVersion) $(field Subsystem)" "$name: Windows program of its kind for subsystem 4.0"
    # "DLL function" a line; an import by number shows as "DLL #number".
    imports=$(awk '/^\tDLL Name: / { dll = toupper($3); next }
        dll && /^\t[0-9a-f]+\t/ { print dll, (NF >= 3 && $3 != "<none>" ? $3 : "#" $2) }' <<<"$headers")
    e2e_assert "$name: its import table is read" grep -q '^KERNEL32.DLL ' <<<"$imports"
    e2e_assert_eq "" "$(grep -vxFf <(cat <<<"$exports") <<<"$imports" | tr '\n' ' ')" \
        "$name: imports only what Windows 95 exports"
done <"$list"
e2e_finish

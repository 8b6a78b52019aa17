#!/usr/bin/env bash
# The ways out without an install. Cancel on the welcome, mouse-type and
# destination pages: the notice, then nothing installed, nothing registered,
# system.ini untouched. Cancel during the copy (a media with many files, so
# the click lands mid-copy): the files up to the one in hand, the registry
# step, the notice, no system.ini patch, no finish page. Last, the NT family:
# only the "Warning" message.
. "$(dirname "$0")/lib.sh"
e2e_begin setup_cancel
. "$(dirname "$0")/setup_common.sh"
e2e_copy_media
[ -f "$E2E_MEDIA/SETUP.INF" ] || e2e_die "no sample media: build the media target"
seed_machine

# cancelled NAME: the notice comes, the program ends without a restart and
# has left nothing behind.
cancelled() {
    answer_box "$1-notice" "$NOTICE" 1
    e2e_assert "$1: the program ends" e2e_wait_exit 30
    e2e_assert_eq 0 "$SETUP_EXIT" "$1: exit status"
    e2e_assert_not_called user32.ExitWindowsEx
    e2e_assert_eq "$2" "$(shown_templates)" "$1: the pages shown"
    mv "$E2E_DIR/setup.trace" "$E2E_DIR/$1.trace"
}

e2e_trace user32.CreateDialogParamA user32.ExitWindowsEx
e2e_start_setup
on cancel-welcome 1024 60
e2e_click "$PAGE" 2
cancelled cancel-welcome "65"
check_nothing_installed cancel-welcome
check_nothing_registered cancel-welcome
check_system_ini_untouched cancel-welcome

e2e_trace user32.CreateDialogParamA user32.ExitWindowsEx
e2e_start_setup
on cancel-mouse-welcome 1024 60
e2e_click "$PAGE" 1
on cancel-mouse 1035
e2e_drv check-radio "$PAGE" 1035 >/dev/null
e2e_click "$PAGE" 2
cancelled cancel-mouse "65 6c"
check_nothing_installed cancel-mouse
check_nothing_registered cancel-mouse
check_system_ini_untouched cancel-mouse

e2e_trace user32.CreateDialogParamA user32.ExitWindowsEx
e2e_start_setup
on cancel-destination-welcome 1024 60
e2e_click "$PAGE" 1
on cancel-destination-mouse 1035
e2e_click "$PAGE" 1
on cancel-destination 1025
e2e_click "$PAGE" 2
cancelled cancel-destination "65 6c 6b"
check_nothing_installed cancel-destination
check_nothing_registered cancel-destination
check_system_ini_untouched cancel-destination

# --- Cancel during the copy ---
# Disk 2 gets many more files, so that the copy lasts long enough for the
# click to land in the middle of it.
BULK=2000
awk -v bulk=$BULK '
    { sub(/\r$/, "") }
    $0 == "Disk2=4" { $0 = "Disk2=" (4 + bulk) }
    { printf "%s\r\n", $0 }
    /^4=TIPS.TXT/ {
        for (i = 5; i < 5 + bulk; i++)
            printf "%d=BULK%03d.TXT, BULK%03d.TXT, Bulk file %d, SubDir2\r\n", i, i, i, i
    }' "$ORIGINALS/SETUP.INF" >"$E2E_MEDIA/SETUP.INF"
grep -q "^Disk2=$((4 + BULK))" <(tr -d '\r' <"$E2E_MEDIA/SETUP.INF") || e2e_die "the bulk script lacks its count"
for i in $(seq 5 $((4 + BULK))); do
    printf 'bulk file %03d\r\n%16384s\r\n' "$i" "" >"$E2E_MEDIA/DOCS/$(printf 'BULK%03d.TXT' "$i")"
done

e2e_trace user32.CreateDialogParamA user32.ExitWindowsEx advapi32.RegSetValueExA user32.MessageBoxA
e2e_start_setup
on cancel-copy-welcome 1024 60
e2e_click "$PAGE" 1
on cancel-copy-mouse 1035
e2e_click "$PAGE" 1 # Serial Mouse, as marked at first
on cancel-copy-destination 1025
# The click is on its way as soon as the copy page exists.
e2e_drv -t 60 click class:SETUP_INSTALL 1 >"$E2E_DIR/cancel-click.out" 2>&1 &
clicker=$!
e2e_click "$PAGE" 1
wait "$clicker" || e2e_fail "the copy page's Cancel could not be clicked"
cancelled cancel-copy "65 6c 6b 67"
# The registry step comes before the notice.
steps=$(grep -oE 'Call (advapi32\.RegSetValueExA|user32\.MessageBoxA)' "$E2E_DIR/cancel-copy.trace" |
    sed 's/Call //' | uniq | tr '\n' ' ')
e2e_assert_eq "advapi32.RegSetValueExA user32.MessageBoxA " "$steps" "registry step, then the notice"

# Files in script order: every one up to the one in hand is there and
# whole, none after it.
dest=$E2E_DRIVE_C/VELOR
targets=("$dest/SETUP.INF")
sources=("$E2E_MEDIA/SETUP.INF")
while read -r name target; do
    targets+=("$target")
    sources+=("$ORIGINALS/$name")
done < <(media_targets "$dest")
for i in $(seq 5 $((4 + BULK))); do
    name=$(printf 'BULK%03d.TXT' "$i")
    targets+=("$dest/DOCS/$name")
    sources+=("$E2E_MEDIA/DOCS/$name")
done
copied=0
for target in "${targets[@]}"; do
    [ -e "$target" ] || break
    copied=$((copied + 1))
done
e2e_log "copied $copied of ${#targets[@]} files before the cancel took hold"
after=0
for target in "${targets[@]:$copied}"; do
    [ -e "$target" ] && after=$((after + 1))
done
e2e_assert_eq 0 "$after" "nothing copied after the first file left out"
e2e_assert "the file in hand at the click was copied" test "$copied" -gt 0
e2e_assert "the copy stopped before the end" test "$copied" -lt "${#targets[@]}"
# The registry step writes its undo journal into SETUP.INF after the script.
whole() {
    [ "${2##*/}" != SETUP.INF ] && { cmp -s "$1" "$2"; return; }
    tr -d '\r' <"$1" | grep -v '^$' >"$E2E_DIR/in-hand.lines"
    tr -d '\r' <"$2" | grep -v '^$' | head -n "$(wc -l <"$E2E_DIR/in-hand.lines")" |
        cmp -s - "$E2E_DIR/in-hand.lines"
}
e2e_assert "the file in hand was finished" whole "${sources[$((copied - 1))]}" "${targets[$((copied - 1))]}"
check_product_registered 'C:\VELOR'
check_mouse Serial
e2e_assert_eq 'Standard PS/2 Port Mouse' "$(query HKLM "$PS2_DEV" DeviceDesc)" "PS/2 mouse untouched"
check_system_ini_untouched cancel-copy

# --- The NT family ---
e2e_use_nt
e2e_copy_media
e2e_trace user32.CreateDialogParamA user32.CreateWindowExA user32.MessageBoxA
e2e_start_setup
e2e_assert "the warning comes" e2e_wait_window Warning 30
e2e_screenshot nt-warning >/dev/null
e2e_assert_eq "This  Mouse Setup Program is for Windows 95/98 only !" "$(e2e_msgbox_text Warning)" \
    "the warning's text"
e2e_assert_eq "Warning" "$(e2e_window_titles | grep -v '^$' | sort -u | tr '\n' ' ' | sed 's/ $//')" \
    "no other window"
e2e_click Warning 1
e2e_assert "the program ends" e2e_wait_exit 30
e2e_assert_eq "" "$(e2e_calls user32.CreateDialogParamA)" "no page was created"
e2e_assert_eq 1 "$(e2e_calls user32.MessageBoxA | wc -l)" "one message box"
e2e_assert_not "nothing installed on the NT family" test -e "$E2E_DRIVE_C/VELOR"

e2e_finish

#!/usr/bin/env bash
# The ways out: Cancel on the welcome, mouse-type and destination pages leaves the machine as
# it was; Cancel on the copy page, clicked as the page is made, lets the file in hand finish,
# runs the registry step, then the notice, and goes no further. A script the loader refuses,
# in both modes: the reading error alone.
. "$(dirname "$0")/lib.sh"
e2e_begin setup_cancel
e2e_seed && e2e_registry >"$E2E_DIR/before.reg" && e2e_files >"$E2E_DIR/before.files"
pages=(SETUP_BEGIN SETUP_SELMOUSE SETUP_SELDIR SETUP_INSTALL)
# The hook lasts until the test ends it: the whole test took up to 133 s where 32-bit programs
# run emulated.
drv -t 600 click-hook >"$E2E_DIR/hook" & E2E_PIDS+=("$!") && hook=$!
timeout 30 sh -c 'until grep -q ready "$0"; do sleep 0.1; done' "$E2E_DIR/hook" || e2e_die "no click hook"
for page in 0 1 2 3; do
    CLICK_ON_CREATE="1 ${pages[3]}" e2e_start
    for ((i = 0; i < page; i++)); do e2e_on "${pages[i]}" 1; done
    [ $page -eq 3 ] || e2e_on "${pages[page]}" 2
    drv answer "$CAPTION" 1 >/dev/null && e2e_wait_exit
    e2e_check "Cancel on ${pages[page]}: no further page, the notice alone, no restart" \
        "$(echo 101 108 107 103 | cut -d' ' -f-$((page + 1))) |\"$(inf ProductName) installation is not completed !\",\"$CAPTION\",00000030)|" \
        "$(e2e_pages)|$(e2e_calls user32.MessageBoxA | cut -d, -f2-)|$(e2e_calls user32.ExitWindowsEx)"
    [ $page -eq 3 ] || e2e_check "Cancel on ${pages[page]}: nothing left behind" \
        "$(cat "$E2E_DIR/before.reg" "$E2E_DIR/before.files")" "$(e2e_registry && e2e_files)"
done
kill "$hook" # no further click is wanted
e2e_check "Cancel on the copy page: the registry step before the notice, the file in hand copied alone" \
    "advapi32.RegSetValueExA user32.MessageBoxA |$(e2e_targets | head -1 | cut -f2)|$(cat "$E2E_DIR/before.files")" \
    "$(grep -ioE 'Call (advapi32.RegSetValueExA|user32.MessageBoxA)' "$E2E_TRACE" | uniq | cut -c6- | tr '\n' ' ')|$(
        find "$DEST" -type f)|$(e2e_files | grep -v "^./${DEST##*/}")"

sed -i 's/^Disk1=[0-9]*\r$/Disk1=-1\r/' "$E2E_MEDIA/SETUP.INF"
for mode in full -u; do
    e2e_start 'C:\MEDIA\SETUP.EXE' ${mode#full} && drv answer "$CAPTION" 1 >/dev/null && e2e_wait_exit
    e2e_check "$mode: no page, the reading error without owner, no restart" \
        "|user32.MessageBoxA(00000000,\"SETUP.INF Reading error !\",\"$CAPTION\",00000030)|" \
        "$(e2e_pages)|$(e2e_calls user32.MessageBoxA)|$(e2e_calls user32.ExitWindowsEx)"
done

#!/usr/bin/env bash
# The Windows NT family (Wine set to Windows XP): a full setup shows the
# "Warning" alone, before it reads its script or makes a window; the -u run
# has no such gate, and Cancel on its page ends it after the notice alone.
. "$(dirname "$0")/lib.sh"
e2e_begin shell_nt_family winxp
e2e_start && drv answer Warning 1 >/dev/null && e2e_wait_exit
e2e_check "full setup: the warning alone, no script read, no window made" \
    "user32.MessageBoxA(00000000,\"This  Mouse Setup Program is for Windows 95/98 only !\",\"Warning\",00000030)|||" \
    "$(e2e_calls user32.MessageBoxA)|$(e2e_calls kernel32.GetPrivateProfileStringA)|$(e2e_pages)|$(e2e_calls user32.CreateWindowExA)"
e2e_start 'C:\MEDIA\SETUP.EXE' -u && e2e_on SETUP_SELMOUSE 2 && drv answer "$CAPTION" 1 >/dev/null && e2e_wait_exit
e2e_check "-u: the notice alone, no restart" \
    "\"$(inf ProductName) installation is not completed !\",\"$CAPTION\",00000030)|" \
    "$(e2e_calls user32.MessageBoxA | cut -d, -f2-)|$(e2e_calls user32.ExitWindowsEx)"

#!/usr/bin/env bash
# The main job's install on a Windows 95 machine with a PS/2 and a serial mouse: the same pages,
# files, keys, record and system.ini as on Windows 98.
. "$(dirname "$0")/lib.sh"
e2e_begin setup_win95 win95
e2e_seed && e2e_registry >"$E2E_DIR/before.reg"
e2e_check "the prefix is a Windows 95" 4.0.950 "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion' \
    /v VersionNumber | tr -d '\r' | awk '/VersionNumber/ { print $3 }')"
e2e_walk
e2e_check_install "$E2E_DIR/before.reg"

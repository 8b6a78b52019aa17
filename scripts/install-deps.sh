#!/usr/bin/env bash
# Installs everything the build, the tests and the main job need on a fresh
# Debian machine, then has scripts/i386-host.sh make sure that Wine's 32-bit
# programs run here. Safe to run again: it changes nothing when all is there.
set -euo pipefail
# The main job and the suite run this first, then tell the scripts they call.
[ -z "${SETUP_DEPS_READY:-}" ] || exit 0

packages=(g++-mingw-w64-i686 wine wine32:i386 xvfb xdotool imagemagick
          mscompress cmake make googletest)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
bash "$(dirname "$0")/i386-host.sh"

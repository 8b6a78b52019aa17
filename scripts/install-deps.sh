#!/usr/bin/env bash
# Installs everything the build, the tests and the main job need on a fresh
# Debian machine. Safe to run again: it does nothing when all is there.
set -euo pipefail

packages=(g++-mingw-w64-i686 wine wine32:i386 xvfb xdotool imagemagick
          mscompress cmake make googletest)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null

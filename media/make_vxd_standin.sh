#!/usr/bin/env bash
# Writes the stand-in of the port driver SCROLL.VXD: a short text header,
# every byte value, runs of zeros and pseudo-random bytes, so that the LZ
# packing of the media meets binary data and not only text.
set -euo pipefail
out=$1
{
    printf 'Velor Scroll Mouse port driver (stand-in)\r\n\032'
    for hi in 0 1 2 3 4 5 6 7 8 9 a b c d e f; do
        for lo in 0 1 2 3 4 5 6 7 8 9 a b c d e f; do
            printf "\\x$hi$lo"
        done
    done
    head -c 2048 /dev/zero
    # A fixed linear congruential sequence: the same bytes on every build.
    LC_ALL=C awk 'BEGIN { x = 1; for (i = 0; i < 6144; i++) { x = (x * 75 + 74) % 65537; printf "%c", x % 256 } }'
    head -c 1024 /dev/zero | tr '\0' '\377'
} > "$out"

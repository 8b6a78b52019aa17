#!/usr/bin/env bash
# Puts one file on the media: the original (text files get CR LF line ends,
# as on the real disks) goes to ORIGINAL, and MEDIA gets a copy of it or,
# with "pack", its LZ-compressed form.
# Usage: stage.sh SOURCE ORIGINAL MEDIA text|binary pack|plain
set -euo pipefail
src=$1 original=$2 media=$3 kind=$4 mode=$5
mkdir -p "$(dirname "$original")" "$(dirname "$media")"
if [ "$kind" = text ]; then
    sed 's/\r$//; s/$/\r/' "$src" > "$original"
else
    cp "$src" "$original"
fi
if [ "$mode" = pack ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$original" "$work/file"
    mscompress "$work/file"
    mv "$work/file_" "$media"
else
    cp "$original" "$media"
fi

#!/usr/bin/env bash
# Prepares a media of several hundred files (tens of MB, half of them
# LZ-compressed) and runs copy_engine_bench.exe on it under Wine on a
# private Xvfb. It says first how 32-bit programs ran: figures taken under
# emulation (scripts/i386-host.sh) do not compare with native ones.
# Usage: bench/copy_engine_bench.sh [FILES [ROUNDS]]
# With BENCH_KEEP_AWAKE=1 a spinning process keeps a processor busy while it
# runs: on a virtual machine an idle processor is slow to wake, and every
# call that goes to the window manager pays for that wake-up.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export SETUP_BUILD_DIR=${SETUP_BUILD_DIR:-$here/build}
files=${1:-400}
rounds=${2:-5}
mode=$(bash "$here/scripts/install-deps.sh" | grep '^i386 programs:')
export SETUP_DEPS_READY=1
bash "$here/scripts/build.sh" --target copy_engine_bench >/dev/null
# shellcheck source=../scripts/wine-env.sh
. "$here/scripts/wine-env.sh"

work=$SETUP_BUILD_DIR/bench/copy_engine
media=$work/media
rm -rf "$work"
mkdir -p "$media/DATA1" "$media/DATA2"

# Text-like content, different in every file, that LZ compresses to about
# half; sizes from 16 to 200 KB.
python3 - "$media" "$files" >"$work/packed.list" <<'PY'
import os, random, sys
media, count = sys.argv[1], int(sys.argv[2])
rng = random.Random(1998)
words = [w.encode() for w in
         "mouse wheel button driver pointer scroll speed double click serial port "
         "cursor setting setup window system registry device class vendor".split()]
half = count // 2
lines = ["[Main]", "ProductName=Bench", "[DiskLabel]", "Disk1=one", "Disk2=two",
         "[FileCounts]", f"Disk1={half}", f"Disk2={count - half}",
         "[DirectoryName]", "RootDir=", "SubDir1=DATA1", "SubDir2=DATA2"]
entries = {1: [], 2: []}
for n in range(count):
    disk = 1 if n < half else 2
    folder, token = [("", "RootDir"), ("DATA1", "SubDir1"), ("DATA2", "SubDir2")][n % 3]
    name = f"F{n:04d}.DAT"
    size = rng.randint(16 * 1024, 200 * 1024)
    out = bytearray()
    while len(out) < size:
        out += rng.choice(words) + b" " + str(rng.randint(0, 99999)).encode() + b" "
        if rng.random() < 0.1:
            out += b"\r\n"
    with open(os.path.join(media, folder, name), "wb") as f:
        f.write(out[:size])
    packed = n % 2 == 0
    source = name[:-1] + "_" if packed else name
    entries[disk].append(f"{source}, {name}, Bench file {n}, {token}")
    if packed:
        print(os.path.join(media, folder, name))
for disk in (1, 2):
    lines.append(f"[Disk{disk}]")
    lines += [f"{i + 1}={e}" for i, e in enumerate(entries[disk])]
with open(os.path.join(media, "SETUP.INF"), "w", newline="\r\n") as f:
    f.write("\n".join(lines) + "\n")
PY
# mscompress writes NAME_; the media names it with its last character
# replaced (F0000.DAT -> F0000.DA_).
while read -r file; do
    mscompress "$file"
    mv "${file}_" "${file%?}_"
    rm -f "$file"
done <"$work/packed.list"
echo "media: $(find "$media" -type f | wc -l) files, $(du -sm "$media" | cut -f1) MB on disk," \
    "$(grep -c '_,' "$media/SETUP.INF") compressed"

export WINEPREFIX=$SETUP_BUILD_DIR/wine/bench
wine_template "$SETUP_BUILD_DIR/wine/template"
wine_fresh_prefix "$SETUP_BUILD_DIR/wine/template" "$WINEPREFIX"
xvfb_start 1024x768x24
spinner=
if [ "${BENCH_KEEP_AWAKE:-0}" = 1 ]; then
    bash -c 'while :; do :; done' &
    spinner=$!
fi
trap '[ -n "$spinner" ] && kill "$spinner" 2>/dev/null; wineserver -k 2>/dev/null || true; xvfb_stop' EXIT
echo "processors kept awake: $([ -n "$spinner" ] && echo yes || echo no)"
echo "$mode"
win() { winepath -w "$1" 2>/dev/null; }
wine "$SETUP_BUILD_DIR/bin/copy_engine_bench.exe" "$(win "$media")\\SETUP.EXE" \
    "$(win "$work")\\ENGINE" "$(win "$work")\\BARE" "$rounds" 2>&1 | grep -v ':fixme:'

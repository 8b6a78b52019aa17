#!/usr/bin/env bash
# The copy page over the backdrop, run by the test host on the sample media
# grown by a few thousand small files so that the copy lasts: a screenshot in
# the middle of the copy with pixel checks of the panel and the bar, the
# status line, "Updating Registry..." with the bar at its end, every file in
# place. Then a second run cancelled in the middle: the notice after the
# registry step, the page gone, result 0, and every file copied so far whole.
. "$(dirname "$0")/lib.sh"
e2e_begin install_copy_page 1024x768x24
PAGE="Velor Scroll Mouse Setup"
NOTICE_CAPTION="Velor Scroll Mouse Setup Program"
EXTRA=3000

e2e_copy_media
cp "$SETUP_BUILD_DIR/bin/install_host.exe" "$E2E_MEDIA/" || e2e_die "no install_host.exe"
# Windows drawn by Wine itself: there is no window manager on the display.
e2e_drv reg-set HKCU 'Software\Wine\X11 Driver' Managed sz N >/dev/null ||
    e2e_die "cannot set unmanaged windows"

# The extra files go to disk 2, into sub-folder BIG (SubDir3).
mkdir -p "$E2E_MEDIA/BIG"
python3 - "$E2E_MEDIA" "$EXTRA" <<'PY' || e2e_die "cannot grow the media"
import os, sys
media, extra = sys.argv[1], int(sys.argv[2])
for n in range(extra):
    name = f"B{n:04d}.TXT"
    with open(os.path.join(media, "BIG", name), "wb") as f:
        f.write((f"{name} line {n}\r\n" * 400).encode())
path = os.path.join(media, "SETUP.INF")
lines = open(path, newline="").read().split("\r\n")
out, section = [], ""
for line in lines:
    if line.startswith("["):
        if section == "Disk2":
            out += [f"{5 + n}=B{n:04d}.TXT, B{n:04d}.TXT, Bulk file {n}, SubDir3"
                    for n in range(extra)]
        section = line.strip("[]")
    if section == "FileCounts" and line.startswith("Disk2="):
        line = f"Disk2={4 + extra}"
    out.append(line)
    if section == "DirectoryName" and line.startswith("SubDir2="):
        out.append("SubDir3=BIG")
open(path, "w", newline="").write("\r\n".join(out))
PY
grep -q "^Disk2=$((4 + EXTRA))" "$E2E_MEDIA/SETUP.INF" || e2e_die "the script did not take the extra files"

pixel() { e2e_pixel "$1" "$2" "$3"; }
big_count() { find "$1/BIG" -type f 2>/dev/null | wc -l; }
# wait_files FOLDER N: until FOLDER\BIG holds N files (at most 60 s).
wait_files() {
    local i
    for i in $(seq 600); do
        [ "$(big_count "$1")" -ge "$2" ] && return 0
        sleep 0.1
    done
    return 1
}

# --- a whole copy, seen in the middle ---
DEST1=$E2E_DRIVE_C/DEST1
e2e_start_program 'C:\MEDIA\install_host.exe' 'C:\DEST1' 'C:\result1.txt'
HOST1=$E2E_LAST_PID
e2e_assert "the copy page comes up" e2e_wait_window "$PAGE" 60
e2e_assert "the copy reaches the extra files" wait_files "$DEST1" 100
before=$(e2e_text "$PAGE" 1013)
shot=$(e2e_screenshot copy_in_progress)
after=$(e2e_text "$PAGE" 1013)
status=$(e2e_text "$PAGE" 1019)
copied=$(big_count "$DEST1")
if [ "$copied" -lt "$EXTRA" ]; then
    e2e_pass_check "the screenshot was taken in the middle of the copy ($copied of $EXTRA)"
else
    e2e_fail "the copy was over before the screenshot"
fi
e2e_assert_contains "$status" "Copying B" "the status names a file in hand"
e2e_assert_contains "$status" "Bulk file" "the status shows its description"

# The placeholder's pixel size follows the dialog font; the bar lies 1 pixel
# inside the white outline and ends 2 pixels short of its right side.
IFS=, read -r L T R B <<<"$(e2e_drv rect "$PAGE" 1011)"
e2e_log "placeholder at $L,$T,$R,$B"
e2e_assert_eq "128,128,128" "$(pixel "$shot" $((L - 1)) $((T + 4)))" "gray outline left of the panel"
e2e_assert_eq "128,128,128" "$(pixel "$shot" $((L + 60)) $((T - 1)))" "gray outline above the panel"
e2e_assert_eq "128,128,128" "$(pixel "$shot" $((L + 60)) $((B - 2)))" "gray outline's bottom row"
e2e_assert_eq "255,255,255" "$(pixel "$shot" $((R - 1)) $((T + 4)))" "white outline right of the panel"
e2e_assert_eq "255,255,255" "$(pixel "$shot" $((L + 60)) $((B - 1)))" "white outline below the panel"
e2e_assert_eq "255,255,255" "$(pixel "$shot" "$L" $((T + 4)))" "white outline left, inside the gray"
e2e_assert_eq "0,0,255" "$(pixel "$shot" $((L + 1)) $((T + 1)))" "the bar's first row is blue"
e2e_assert_eq "0,0,255" "$(pixel "$shot" $((L + 1)) $((B - 4)))" "the bar's last row is blue"
e2e_assert_eq "255,255,255" "$(pixel "$shot" $((L + 1)) $((B - 3)))" "white fill under the bar"
e2e_assert_eq "255,255,255" "$(pixel "$shot" $((R - 3)) $((T + 4)))" "white where the bar has not reached"

# The bar's end matches a percentage the page showed around the screenshot.
row=$("$E2E_CONVERT" "$shot" -crop "$((R - L))x1+${L}+$((T + 4))" +repage -depth 8 txt:- |
    sed -n 's/^\([0-9]*\),0: ([^)]*) *#0000FF.*/\1/p' | tail -1)
end=$((L + row + 1))
lo=${before%\%} hi=${after%\%} match=
for p in $(seq "$lo" "$hi"); do
    [ "$end" -eq $((L + 1 + (R - L - 3) * p / 100)) ] && match=$p
done
if [ -n "$match" ]; then
    e2e_pass_check "the bar ends at column $end, that of $match% (shown $before then $after)"
else
    e2e_fail "the bar ends at column $end, no percentage from $before to $after gives that"
fi

e2e_assert "\"Updating Registry...\" shows" \
    e2e_drv wait-text "$PAGE" 1019 "Updating Registry..." 120
# Read before the registry step starts: its journal keeps the page busy.
percent=$(e2e_text "$PAGE" 1013)
shot=$(e2e_screenshot updating_registry)
e2e_assert_eq "100%" "$percent" "the last disk shows 100%"
e2e_assert_eq "0,0,255" "$(pixel "$shot" $((R - 3)) $((T + 4)))" "the bar is full"
e2e_assert_eq "128,128,128" "$(pixel "$shot" $((R - 2)) $((T + 4)))" "up to the gray outline"
e2e_assert "the host ends" e2e_wait_gone "$PAGE" 60
wait "$HOST1" 2>/dev/null
e2e_assert_eq "result 1" "$(tr -d '\r' <"$E2E_DRIVE_C/result1.txt" 2>/dev/null)" "the page ended with 1"
e2e_assert_eq "$EXTRA" "$(big_count "$DEST1")" "every extra file was copied"
e2e_assert "the extra files are whole" diff -r "$E2E_MEDIA/BIG" "$DEST1/BIG"
e2e_assert "an LZ-compressed file was expanded" cmp -s \
    "$SETUP_BUILD_DIR/media-originals/HELP/MOUSEHLP.TXT" "$DEST1/HELP/MOUSEHLP.TXT"
e2e_assert "an absolute entry went into the SYSTEM folder" cmp -s \
    "$SETUP_BUILD_DIR/media-originals/DRIVERS/SCROLL.DRV" "$E2E_DRIVE_C/windows/system/SCROLL.DRV"

# --- a copy cancelled in the middle ---
DEST2=$E2E_DRIVE_C/DEST2
e2e_start_program 'C:\MEDIA\install_host.exe' 'C:\DEST2' 'C:\result2.txt'
HOST2=$E2E_LAST_PID
e2e_assert "the copy page comes up again" e2e_wait_window "$PAGE" 60
e2e_assert "the second copy reaches the extra files" wait_files "$DEST2" 100
e2e_click "$PAGE" 1
e2e_assert "Cancel brings the notice" e2e_wait_window "$NOTICE_CAPTION" 60
e2e_screenshot cancel_notice >/dev/null
e2e_assert_eq "Velor Scroll Mouse installation is not completed !" \
    "$(e2e_msgbox_text "$NOTICE_CAPTION")" "the cancel notice"
e2e_assert_not "the page is gone when the notice shows" e2e_exists "$PAGE"
e2e_assert_eq 'C:\DEST2\ZKMAIN.EXE -startup' \
    "$(e2e_drv reg-query HKLM 'SOFTWARE\Microsoft\Windows\CurrentVersion\Run' Dorvantix)" \
    "the registry step ran before the notice"
stopped=$(big_count "$DEST2")
e2e_click "$NOTICE_CAPTION" 1
e2e_assert "the host ends after the notice" e2e_wait_gone "$NOTICE_CAPTION" 30
for _ in $(seq 300); do kill -0 "$HOST2" 2>/dev/null || break; sleep 0.1; done
e2e_assert_eq "result 0" "$(tr -d '\r' <"$E2E_DRIVE_C/result2.txt" 2>/dev/null)" "the page ended with 0"
if [ "$stopped" -lt "$EXTRA" ] && [ "$(big_count "$DEST2")" -eq "$stopped" ]; then
    e2e_pass_check "the copy stopped at the cancel ($stopped of $EXTRA)"
else
    e2e_fail "the copy did not stop at the cancel ($stopped then $(big_count "$DEST2") of $EXTRA)"
fi
whole=1
for f in "$DEST2"/BIG/*; do
    cmp -s "$f" "$E2E_MEDIA/BIG/$(basename "$f")" || whole=0
done
e2e_assert_eq 1 "$whole" "every file copied before the cancel is whole"
e2e_assert_eq "" "$(find "$DEST2" -name '~ST*' -o -name 'stp*')" "no temporary file is left"
e2e_finish

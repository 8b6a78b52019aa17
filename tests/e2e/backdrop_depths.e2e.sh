#!/usr/bin/env bash
# SETUP.EXE on a 16-bit and an 8-bit display: the pictures' key pixels show
# the gradient there too, and what they read back as is logged.
[ $# -gt 0 ] || { bash "$0" 16 && ok16=1; bash "$0" 8 && [ -n "${ok16:-}" ]; exit; }
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/backdrop_checks.sh"
e2e_begin "backdrop_depth_$1" "640x480x$1"
e2e_copy_media
bd_unmanaged
cp "$SETUP_BUILD_DIR/bin/backdrop_host.exe" "$E2E_DRIVE_C/"
for id in 305 306 307; do
    e2e_log "bitmap $id, $1 bits: $(cd "$E2E_DRIVE_C" && wine backdrop_host.exe key $id | tr -d '\r')"
done
e2e_start_setup
e2e_assert "the welcome page comes up" e2e_wait_window "class:SETUP_BEGIN" 60
shot=$(e2e_screenshot welcome)
# Key pixels show what picture-free columns show in the row at the same column mod 16 (dither).
for picture in "backdrop_banner 20 10" "backdrop_mouse 470 10" "backdrop_slogan 20 420"; do
    read -r name left top <<<"$picture"
    art=$SETUP_SOURCE_DIR/resources/art/$name.bmp
    read -r w h <<<"$("$E2E_CONVERT" "$art" -format '%w %h' info:)"
    read -r keyed drawn bad first <<<"$({
        bd_pixels "$art" | sed 's/^/B /'
        bd_pixels "$shot" "16x$h+615+$((top + 1))" | sed 's/^/R /'
        bd_pixels "$shot" "${w}x$h+$((left + 1))+$((top + 1))" | sed 's/^/S /'
    } | awk -v left="$left" '$1 == "B" { key[$2, $3] = ($4 == "255,0,255"); next }
        $1 == "R" { ref[(614 + $2) % 16, $3] = $4; next }
        { want = ref[(left + $2) % 16, $3] }
        key[$2, $3] { keyed++; if ($4 != want && !bad++) first = $2 "," $3 ": " $4 " not " want; next }
        $4 != want { drawn++ }
        END { printf "%d %d %d %s\n", keyed, drawn, bad, first }')"
    e2e_assert_eq 0 "$bad" "$name: $keyed key pixels show the gradient${first:+ ($first)}"
    e2e_assert "$name: key pixels and drawn pixels" test "$keyed" -gt 0 -a "$drawn" -gt 0
done
e2e_finish

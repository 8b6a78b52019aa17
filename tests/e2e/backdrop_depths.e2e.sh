#!/usr/bin/env bash
# SETUP.EXE on a 16-bit and on an 8-bit display, where the key colour of
# the pictures may not be held exactly: their key pixels still show the
# gradient, their other pixels are drawn. Logs what the loaded pictures'
# key pixels read back as there.
if [ $# -eq 0 ]; then
    bash "$0" 16 && ok16=1
    bash "$0" 8 && [ -n "${ok16:-}" ]
    exit
fi
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/backdrop_checks.sh"
e2e_begin "backdrop_depth_$1" "640x480x$1"
PAGE="Velor Scroll Mouse Setup"
ART=$SETUP_SOURCE_DIR/resources/art

e2e_copy_media
bd_unmanaged
cp "$SETUP_BUILD_DIR/bin/backdrop_host.exe" "$E2E_DRIVE_C/backdrop_host.exe"
for id in 305 306 307; do
    key=$(cd "$E2E_DRIVE_C" && wine 'C:\backdrop_host.exe' key $id | tr -d '\r') ||
        e2e_die "cannot load bitmap $id"
    e2e_log "bitmap $id at $1 bits: key pixel $key"
done

e2e_start_setup
e2e_assert "the welcome page comes up" e2e_wait_window "class:SETUP_BEGIN" 60
shot=$(e2e_screenshot welcome)

# depth_picture ART LEFT TOP: every key pixel of the picture drawn at client
# (LEFT, TOP) shows what the picture-free columns 614-629 show in its row
# at the same column modulo 16 (an 8-bit display dithers the gradient);
# prints "keyed drawn mismatches first".
depth_picture() {
    local w h
    read -r w h <<<"$("$E2E_CONVERT" "$1" -format '%w %h' info:)"
    {
        bd_pixels "$1" | sed 's/^/B /'
        bd_pixels "$shot" "16x$h+615+$(($3 + 1))" | sed 's/^/R /'
        bd_pixels "$shot" "${w}x$h+$(($2 + 1))+$(($3 + 1))" | sed 's/^/S /'
    } | awk -v left="$2" '$1 == "B" { key[$2, $3] = ($4 == "255,0,255"); next }
        $1 == "R" { ref[(614 + $2) % 16, $3] = $4; next }
        { want = ref[(left + $2) % 16, $3] }
        key[$2, $3] { keyed++; if ($4 != want && !bad++) first = $2 "," $3 ": " $4 " not " want; next }
        $4 != want { drawn++ }
        END { printf "%d %d %d %s\n", keyed, drawn, bad, first }'
}
for picture in "backdrop_banner 20 10" "backdrop_mouse 470 10" "backdrop_slogan 20 420"; do
    read -r name left top <<<"$picture"
    read -r keyed drawn bad first <<<"$(depth_picture "$ART/$name.bmp" "$left" "$top")"
    e2e_assert_eq 0 "$bad" "$name: $keyed key pixels show the gradient${first:+ ($first)}"
    e2e_assert "$name: key pixels and drawn pixels" test "$keyed" -gt 0 -a "$drawn" -gt 0
done
e2e_finish

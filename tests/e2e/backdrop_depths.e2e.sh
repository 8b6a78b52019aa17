#!/usr/bin/env bash
# SETUP.EXE on a 16-bit and an 8-bit display: the pictures' key pixels show the gradient there
# too. The backdrop has a one-pixel frame: client column c is the screen's column c + 1.
[ $# -gt 0 ] || { bash "$0" 16 && ok16=1; bash "$0" 8 && [ -n "${ok16:-}" ]; exit; }
. "$(dirname "$0")/lib.sh"
E2E_SCREEN=640x480x$1 e2e_begin "backdrop_depth_$1"
E2E_SHOTS=1 && e2e_start && e2e_on SETUP_BEGIN
shot=$E2E_DIR/run1-SETUP_BEGIN.png
# Key pixels show what picture-free columns show in the row at the same column mod 16 (dither).
for picture in "backdrop_banner 20 10" "backdrop_mouse 470 10" "backdrop_slogan 20 420"; do
    read -r name left top <<<"$picture"
    art=$SETUP_SOURCE_DIR/resources/art/$name.bmp
    read -r w h <<<"$(convert "$art" -format '%w %h' info:)"
    read -r keyed drawn bad first <<<"$({
        e2e_pixels "$art" | sed 's/^/B /'
        e2e_pixels "$shot" "16x$h+615+$((top + 1))" | sed 's/^/R /'
        e2e_pixels "$shot" "${w}x$h+$((left + 1))+$((top + 1))" | sed 's/^/S /'
    } | awk -v left="$left" '$1 == "B" { key[$2, $3] = ($4 == "255,0,255"); next }
        $1 == "R" { ref[(614 + $2) % 16, $3] = $4; next }
        { want = ref[(left + $2) % 16, $3] }
        key[$2, $3] { keyed++; if ($4 != want && !bad++) first = $2 "," $3 ": " $4 " not " want; next }
        $4 != want { drawn++ }
        END { printf "%d %d %d %s\n", keyed, drawn, bad, first }')"
    e2e_check "$name: its $keyed key pixels show the gradient, others are drawn${first:+ ($first)}" \
        "0 drawn" "$bad $([ "$keyed" -gt 0 ] && [ "$drawn" -gt 0 ] && echo drawn)"
done

#!/usr/bin/env bash
# Draws the setup's pictures and icons and writes them, in the palette
# formats the resources need, into resources/art/. The results are checked
# in, so a build never runs this; run it again only to change the artwork.
# Needs ImageMagick (convert) with its fonts and a host C++ compiler.
#
#   bash tools/make_artwork.sh [--preview DIR]   (--preview: PNG copies to look at)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
art=$here/resources/art
preview=""
if [ "${1:-}" = "--preview" ]; then
    preview=${2:?--preview needs a folder}
    mkdir -p "$preview"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$art"

g++ -O2 -std=c++17 -Wall -Wextra -o "$work/bmptool" "$here/tools/artwork/bmptool.cpp"

BOLD=Liberation-Sans-Bold
BOLD_ITALIC=Liberation-Sans-Bold-Italic
ITALIC=Liberation-Sans-Italic
KEY='#FF00FF'

# keyed IN.png BACKGROUND: the flat background (and the antialiasing that is
# nearly background) becomes the exact transparent key.
keyed() {
    convert "$1" -alpha off -fuzz 6% -fill "$KEY" -opaque "$2" "$1"
}

# emit IN.png OUT BITS [key] [dither]
emit() {
    local png=$1 out=$2 bits=$3
    shift 3
    convert "$png" -alpha off -depth 8 "ppm:$work/emit.ppm"
    "$work/bmptool" bmp "$work/emit.ppm" "$art/$out" "$bits" "$@"
    if [ -n "$preview" ]; then
        convert "BMP:$art/$out" "$preview/${out%.bmp}.png"
    fi
}

# icon IN.png OUT.ico [dither]: magenta pixels become transparent
icon() {
    local png=$1 out=$2
    shift 2
    convert "$png" -channel A -threshold 50% +channel -background "$KEY" -alpha remove \
        -alpha off -depth 8 "ppm:$work/icon.ppm"
    "$work/bmptool" ico "$work/icon.ppm" "$art/$out" "$@"
    if [ -n "$preview" ]; then
        convert "ICO:$art/$out" -background '#C0C0C0' -alpha remove -scale 400% \
            "$preview/${out%.ico}.png"
    fi
}

# A two-wheel mouse seen from above, nose up, drawn in a W x H box at 4x the
# size and shrunk, so its curves come out smooth.
mouse_top() {
    local out=$1 w=$2 h=$3
    local W=$((w * 4)) H=$((h * 4))
    convert -size "${W}x${H}" xc:none \
        -fill '#00000055' -draw "ellipse $((W / 2 + W / 20)),$((H * 56 / 100)) $((W * 40 / 100)),$((H * 42 / 100)) 0,360" \
        -blur 0x$((W / 40 + 1)) \
        \( -size "${W}x${H}" gradient:'#FFFFFF-#9CA3B4' \
        \( -size "${W}x${H}" xc:black -fill white \
        -draw "ellipse $((W / 2)),$((H / 2)) $((W * 40 / 100)),$((H * 45 / 100)) 0,360" \) \
        -alpha off -compose copy_opacity -composite \) \
        -compose over -composite \
        -stroke '#3C4150' -strokewidth $((W / 40 + 1)) -fill none \
        -draw "ellipse $((W / 2)),$((H / 2)) $((W * 40 / 100)),$((H * 45 / 100)) 0,360" \
        -draw "line $((W / 2)),$((H * 6 / 100)) $((W / 2)),$((H * 40 / 100))" \
        -draw "arc $((W * 11 / 100)),$((H * 20 / 100)) $((W * 89 / 100)),$((H * 60 / 100)) 0,180" \
        -stroke '#1B2A6B' -strokewidth $((W / 60 + 1)) -fill '#2E4FD0' \
        -draw "roundrectangle $((W * 45 / 100)),$((H * 13 / 100)) $((W * 55 / 100)),$((H * 30 / 100)) $((W / 30)),$((W / 30))" \
        -draw "roundrectangle $((W * 38 / 100)),$((H * 33 / 100)) $((W * 62 / 100)),$((H * 39 / 100)) $((W / 30)),$((W / 30))" \
        -stroke '#9FB4FF' -strokewidth $((W / 80 + 1)) \
        -draw "line $((W * 47 / 100)),$((H * 16 / 100)) $((W * 53 / 100)),$((H * 16 / 100))" \
        -draw "line $((W * 47 / 100)),$((H * 21 / 100)) $((W * 53 / 100)),$((H * 21 / 100))" \
        -draw "line $((W * 47 / 100)),$((H * 26 / 100)) $((W * 53 / 100)),$((H * 26 / 100))" \
        -draw "line $((W * 42 / 100)),$((H * 34 / 100)) $((W * 42 / 100)),$((H * 38 / 100))" \
        -draw "line $((W * 50 / 100)),$((H * 34 / 100)) $((W * 50 / 100)),$((H * 38 / 100))" \
        -draw "line $((W * 58 / 100)),$((H * 34 / 100)) $((W * 58 / 100)),$((H * 38 / 100))" \
        -filter Lanczos -resize "${w}x${h}!" "$out"
}

# --- 306: the product name banner, over the top of the blue backdrop ---
BANNER_BG='rgb(0,0,240)'
convert -background none -font "$BOLD_ITALIC" -pointsize 38 -fill '#FFD21F' label:'Velor' \
    -trim +repage -gravity east -splice 10x0 "$work/velor.png"
convert -background none -font "$BOLD_ITALIC" -pointsize 38 -fill white label:'Scroll Mouse' \
    -trim +repage "$work/scroll.png"
convert "$work/velor.png" "$work/scroll.png" -background none -gravity south +append +repage \
    "$work/name.png"
name_width=$(identify -format %w "$work/name.png")
convert -size 400x50 xc:"$BANNER_BG" \
    \( "$work/name.png" -background black -shadow 90x1+3+3 \) -geometry +6+4 -composite \
    "$work/name.png" -geometry +9+7 -composite \
    -fill '#FFD21F' -draw "rectangle 10,45 $((name_width + 16)),46" \
    "$work/banner.png"
keyed "$work/banner.png" "$BANNER_BG"
emit "$work/banner.png" backdrop_banner.bmp 4 key

# --- 305: the mouse, top right of the backdrop, cable trailing left ---
MOUSE_BG='rgb(0,0,240)'
mouse_top "$work/mouse_small.png" 42 64
convert -size 144x43 xc:"$MOUSE_BG" \
    -stroke '#C8CCD8' -strokewidth 3 -fill none \
    -draw "bezier 80,22 60,22 52,6 38,8 22,10 20,34 2,36" \
    -stroke '#707688' -strokewidth 1 \
    -draw "bezier 80,22 60,22 52,6 38,8 22,10 20,34 2,36" \
    \( "$work/mouse_small.png" -rotate -90 \) -geometry +78+0 -composite \
    "$work/mouse305.png"
keyed "$work/mouse305.png" "$MOUSE_BG"
emit "$work/mouse305.png" backdrop_mouse.bmp 4 key

# --- 307: the slogan, at the foot of the backdrop where it is nearly black ---
SLOGAN_BG='rgb(0,0,24)'
first_width=$(convert -font "$BOLD_ITALIC" -pointsize 25 label:'Two wheels. ' -format %w info:)
convert -size 490x43 xc:"$SLOGAN_BG" \
    -font "$BOLD_ITALIC" -pointsize 25 -fill '#7FB2FF' -annotate +8+30 'Two wheels.' \
    -font "$ITALIC" -fill white -annotate "+$((8 + first_width))+30" 'Scroll every way you work.' \
    "$work/slogan.png"
keyed "$work/slogan.png" "$SLOGAN_BG"
emit "$work/slogan.png" backdrop_slogan.bmp 4 key

# --- 304: the side picture of every page ---
mouse_top "$work/mouse_side.png" 74 104
convert -size 118x234 gradient:'#0A1A6E-#1FA3C8' \
    -fill '#FFFFFF22' -draw "circle 59,98 59,30" -draw "circle 59,98 59,46" \
    -stroke '#FFD21F' -strokewidth 3 -fill '#FFD21F' \
    -draw "line 59,28 59,40" -draw "polygon 52,32 66,32 59,22" \
    -draw "line 59,156 59,168" -draw "polygon 52,164 66,164 59,174" \
    -draw "line 12,98 22,98" -draw "polygon 16,91 16,105 6,98" \
    -draw "line 96,98 106,98" -draw "polygon 102,91 102,105 112,98" \
    -stroke none \
    "$work/mouse_side.png" -geometry +22+46 -composite \
    -font "$BOLD_ITALIC" -pointsize 26 -fill '#00000080' -annotate +20+211 'Velor' \
    -fill white -annotate +18+209 'Velor' \
    -font "$BOLD" -pointsize 10 -fill '#FFD21F' -annotate +19+226 'SCROLL MOUSE' \
    "$work/side_full.png"
# A chosen palette keeps the mouse grey and the sky blue; only the blends dither.
convert -size 1x1 xc:'#0A1A6E' xc:'#10307F' xc:'#154A95' xc:'#1A66AA' xc:'#1E85BD' \
    xc:'#1FA3C8' xc:'#FFFFFF' xc:'#D8DCE4' xc:'#B0B6C4' xc:'#8890A0' xc:'#3C4150' \
    xc:'#2E4FD0' xc:'#9FB4FF' xc:'#FFD21F' xc:'#8A6A10' xc:'#000020' +append "$work/side_palette.png"
convert "$work/side_full.png" -dither FloydSteinberg -remap "$work/side_palette.png" \
    "$work/side.png"
emit "$work/side.png" side.bmp 4

# --- 300 to 303: small product badges ---
badge() {
    local out=$1 top=$2 bottom=$3 text=$4 colour=$5
    convert -size 98x26 gradient:"$top-$bottom" \
        -fill none -stroke '#FFFFFF' -draw "rectangle 0,0 97,25" \
        -stroke '#404040' -draw "line 1,25 97,25" -draw "line 97,1 97,25" -stroke none \
        -gravity center -font "$BOLD_ITALIC" -pointsize 15 -fill '#00000080' \
        -annotate +1+1 "$text" -fill "$colour" -annotate +0+0 "$text" "$work/badge.png"
    emit "$work/badge.png" "$out" 4
}
badge logo1.bmp '#2444D8' '#0A1A6E' 'Velor' '#FFD21F'
badge logo2.bmp '#2444D8' '#0A1A6E' 'Scroll Mouse' white
badge logo3.bmp '#E0E0E0' '#A0A0A0' 'Setup' '#0A1A6E'
badge logo4.bmp '#1FA3C8' '#0A5A78' 'Two Wheels' white

# --- 308: the PS/2 plug (round mini-DIN), 256 colours on the page grey ---
PAGE_GREY='#C0C0C0'
convert -size 280x220 xc:"$PAGE_GREY" \
    -fill '#00000040' -draw "roundrectangle 124,70 272,150 20,20" -blur 0x6 \
    \( -size 150x80 gradient:'#6E8C6A-#2E4430' \) -geometry +118+62 -compose over -composite \
    -fill none -stroke '#1E2A1E' -strokewidth 4 -draw "roundrectangle 118,62 268,142 18,18" \
    -stroke '#8FB08A' -strokewidth 3 -draw "line 140,72 250,72" \
    -stroke none -fill '#1C1C1C' -draw "rectangle 266,88 280,116" \
    -fill '#00000050' -draw "circle 104,114 104,22" \
    \( -size 180x180 radial-gradient:'#F4F6FA-#7C8494' \) -geometry +10+18 -composite \
    -fill none -stroke '#4A505C' -strokewidth 4 -draw "circle 100,108 100,20" \
    -stroke none -fill '#202020' -draw "circle 100,108 100,34" \
    -fill '#C0C0C0' -draw "rectangle 92,20 108,34" \
    -fill '#383838' -draw "rectangle 82,150 118,168" \
    -fill '#E0B040' -stroke '#6A4A08' -strokewidth 2 \
    -draw "circle 70,96 70,105" -draw "circle 130,96 130,105" \
    -draw "circle 64,128 64,137" -draw "circle 136,128 136,137" \
    -draw "circle 84,72 84,81" -draw "circle 116,72 116,81" \
    -stroke none -fill '#FFF4C0' \
    -draw "circle 68,94 68,97" -draw "circle 128,94 128,97" \
    -draw "circle 62,126 62,129" -draw "circle 134,126 134,129" \
    -draw "circle 82,70 82,73" -draw "circle 114,70 114,73" \
    -filter Lanczos -resize 70x55! "$work/ps2.png"
emit "$work/ps2.png" ps2_plug.bmp 8

# --- 309: the serial plug (DB-9 socket seen from the front) ---
convert -size 280x220 xc:"$PAGE_GREY" \
    -fill '#00000040' -draw "roundrectangle 8,76 276,156 12,12" -blur 0x6 \
    \( -size 268x72 gradient:'#EEF0F4-#8A909C' \) -geometry +4+70 -compose over -composite \
    -fill none -stroke '#4A505C' -strokewidth 4 -draw "roundrectangle 4,70 272,142 10,10" \
    -stroke none -fill '#00000050' -draw "polygon 50,56 238,56 214,166 74,166" \
    \( -size 188x110 gradient:'#F8FAFC-#9AA0AC' \) -geometry +46+50 -composite \
    -fill '#C0C0C0' -draw "polygon 46,50 50,50 74,160 46,160" \
    -draw "polygon 230,50 234,50 234,160 210,160" \
    -fill none -stroke '#4A505C' -strokewidth 4 -draw "polygon 50,50 230,50 208,160 72,160" \
    -stroke '#2A2A2A' -strokewidth 3 -fill '#3A3F4A' -draw "polygon 66,64 214,64 196,146 84,146" \
    -stroke '#101010' -strokewidth 2 -fill '#0A0A0A' \
    -draw "circle 88,88 88,97" -draw "circle 114,88 114,97" -draw "circle 140,88 140,97" \
    -draw "circle 166,88 166,97" -draw "circle 192,88 192,97" \
    -draw "circle 101,122 101,131" -draw "circle 127,122 127,131" \
    -draw "circle 153,122 153,131" -draw "circle 179,122 179,131" \
    -stroke '#3C3C3C' -strokewidth 3 -fill '#B8BCC4' \
    -draw "circle 24,106 24,124" -draw "circle 252,106 252,124" \
    -fill '#20242C' -stroke none -draw "circle 24,106 24,114" -draw "circle 252,106 252,114" \
    -filter Lanczos -resize 70x55! "$work/serial.png"
emit "$work/serial.png" serial_plug.bmp 8

# --- icons: 200 the product, 201 a disk, 202 a finished disk ---
mouse_top "$work/icon_mouse.png" 22 30
convert -size 32x32 xc:none "$work/icon_mouse.png" -geometry +5+1 -composite \
    -fill '#FFD21F' -stroke '#6A4A08' -strokewidth 1 \
    -draw "polygon 25,3 31,9 25,15" -draw "polygon 7,3 1,9 7,15" "$work/product.png"
icon "$work/product.png" product.ico

floppy() {
    convert -size 32x32 xc:none \
        -fill '#1C2C8C' -stroke '#0A0F30' -strokewidth 1 -draw "polygon 2,2 27,2 30,5 30,30 2,30" \
        -stroke none -fill '#C8CCD4' -draw "rectangle 9,2 23,11" \
        -fill '#1C2C8C' -draw "rectangle 18,4 21,9" \
        -fill white -stroke '#808080' -draw "rectangle 6,16 26,30" \
        -stroke '#2E4FD0' -draw "line 8,20 24,20" -draw "line 8,24 24,24" "$1"
}
floppy "$work/disk.png"
icon "$work/disk.png" disk.ico
floppy "$work/done_base.png"
convert "$work/done_base.png" -stroke '#004000' -strokewidth 6 -fill none \
    -draw "polyline 9,19 15,26 29,8" -stroke '#20D040' -strokewidth 3 \
    -draw "polyline 9,19 15,26 29,8" "$work/done.png"
icon "$work/done.png" done.ico

echo "artwork written to $art"

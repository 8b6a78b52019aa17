# shellcheck shell=bash
# Screen checks of the backdrop, sourced by the backdrop end-to-end tests
# after lib.sh. The backdrop has a one-pixel frame (WS_BORDER), so its
# client row r and column c are the screen's row r + 1 and column c + 1;
# all coordinates below are client coordinates, as the backdrop paints.

# bd_dump ID FILE: the bitmap resource as the program loads it, as a file.
bd_dump() {
    local file=$2
    cp "$SETUP_BUILD_DIR/bin/backdrop_host.exe" "$E2E_DRIVE_C/backdrop_host.exe"
    (cd "$E2E_DRIVE_C" && wine 'C:\backdrop_host.exe' dump "$1" 'C:\dump.bmp') &&
        mv "$E2E_DRIVE_C/dump.bmp" "$file"
}

# bd_pixels FILE [CROP]: "x y r,g,b" a line.
bd_pixels() {
    local crop=()
    [ -n "${2:-}" ] && crop=(-crop "$2" +repage)
    "$E2E_CONVERT" "$1" "${crop[@]}" -depth 8 -alpha off txt:- 2>/dev/null |
        sed -n 's/^\([0-9]*\),\([0-9]*\): *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3,\4,\5/p'
}

# bd_gradient_column SHOT COLUMN HEIGHT: client rows 0 .. HEIGHT - 3 of the
# column against the 255 bands computed from the screen height (single-
# precision step HEIGHT * 8421505 / 2^31). Prints "rows mismatches first".
bd_gradient_column() {
    local shot=$1 column=$2 height=$3
    bd_pixels "$shot" "1x$((height - 2))+$((column + 1))+1" |
        awk -v h="$height" '
        BEGIN {
            x = h * 8421505 / 2147483648
            e = 1; while (e * 2 <= x) e *= 2; while (e > x) e /= 2
            u = e / 8388608                 # one unit in the last place of a float
            k = int(x / u + 0.5) * u
            for (i = 0; i < 255; i++)
                for (r = int(i * k); r < int((i + 1) * k); r++)
                    want[r] = "0,0," (255 - i)
        }
        { rows++; if ($3 != want[$2]) { bad++; if (!first) first = "row " $2 ": " $3 " not " want[$2] } }
        END { printf "%d %d %s\n", rows, bad, first }'
}

# bd_picture SHOT BITMAP LEFT TOP WIDTH HEIGHT REFCOLUMN: the picture drawn
# at client (LEFT, TOP) with a one-pixel margin round it. Key-coloured
# pixels of BITMAP ("none": no picture at all) and the margin must show the
# gradient, i.e. what REFCOLUMN, a column free of pictures, shows in the
# same row; all other pixels the bitmap's colour. Prints
# "drawn keyed mismatches first".
bd_picture() {
    local shot=$1 bitmap=$2 left=$3 top=$4 w=$5 h=$6 ref=$7
    {
        if [ "$bitmap" != none ]; then bd_pixels "$bitmap" | sed 's/^/B /'; fi
        bd_pixels "$shot" "1x$((h + 2))+$((ref + 1))+$top" | sed 's/^/R /'
        bd_pixels "$shot" "$((w + 2))x$((h + 2))+$left+$top" | sed 's/^/S /'
    } | awk -v w="$w" -v h="$h" '
        $1 == "B" { bm[$2, $3] = $4; next }
        $1 == "R" { ref[$3] = $4; next }
        {
            x = $2 - 1; y = $3 - 1
            want = ref[$3]
            if (x >= 0 && x < w && y >= 0 && y < h && ((x, y) in bm)) {
                if (bm[x, y] == "255,0,255") keyed++; else { want = bm[x, y]; drawn++ }
            }
            if ($4 != want) { bad++; if (!first) first = "pixel " x "," y ": " $4 " not " want }
        }
        END { printf "%d %d %d %s\n", drawn, keyed, bad, first }'
}

# bd_expect_picture WHAT SHOT BITMAP LEFT TOP WIDTH HEIGHT REFCOLUMN
bd_expect_picture() {
    local what=$1 result
    shift
    result=$(bd_picture "$@")
    read -r drawn keyed bad first <<<"$result"
    if [ "$2" = none ]; then
        e2e_assert_eq 0 "$bad" "$what: only the gradient there${first:+ ($first)}"
        return
    fi
    e2e_assert_eq 0 "$bad" "$what: $drawn pixels drawn, $keyed key pixels show the gradient${first:+ ($first)}"
    e2e_assert "$what: the picture has drawn and keyed pixels" test "$drawn" -gt 0 -a "$keyed" -gt 0
}

# bd_expect_gradient SHOT COLUMN HEIGHT
bd_expect_gradient() {
    local rows bad first
    read -r rows bad first <<<"$(bd_gradient_column "$@")"
    e2e_assert_eq "0 of $(($3 - 2))" "$bad of $rows" "gradient at column $2, every client row${first:+ ($first)}"
}

# bd_expect_rgb SHOT X Y R,G,B WHAT: one client pixel.
bd_expect_rgb() {
    e2e_assert_eq "$4" "$(e2e_pixel "$1" $(($2 + 1)) $(($3 + 1)))" "$5"
}

# bd_expect_centred WINDOW SCREENW SCREENH: the window rectangle centred,
# with the 16-bit truncating arithmetic of the pages.
bd_expect_centred() {
    local rect l t r b
    rect=$(e2e_drv rect "$1")
    IFS=, read -r l t r b <<<"$rect"
    local w=$((r - l)) h=$((b - t))
    e2e_assert_eq "$((($2 - w) / 2)),$((($3 - h) / 2))" "$l,$t" "\"$1\" ${w}x$h centred on $2x$3"
}

# bd_unmanaged: windows drawn by Wine itself, frame and caption included,
# as on a desktop; there is no window manager on the test display.
bd_unmanaged() {
    e2e_drv reg-set HKCU 'Software\Wine\X11 Driver' Managed sz N >/dev/null ||
        e2e_die "cannot set the X11 driver to unmanaged windows"
}

# What a screenshot misses of a page, a line each; nothing when it shows the page whole. Three
# files: the page's layout (e2edriver painted: the page's client area, then its controls, on the
# screen), the side picture and the shot cropped to the page's client area, both as "R G B" a
# pixel, row by row. Variables: side, the side picture's control; pw and sw, the widths of the
# side picture and of the crop.
# Whole: the page's grey over most of it; the side picture in its place, light and dark as the
# picture is; every other picture drawn; every text in ink on the grey, only where a label
# shows (inside a push button's edges, right of a radio button's circle, on a group's top line).

function hex(text, n, i) {
    for (i = 1; i <= length(text); i++)
        n = n * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
    return n
}
function lum(r, g, b) { return 0.299 * r + 0.587 * g + 0.114 * b }

# alike(): how closely the shot's 8 by 8 blocks of the side picture, where the dither of a
# display of few colours evens out, follow the picture's in lightness: their correlation, less
# the share of blocks off by more than a quarter of the scale. 1 alike; 0 or less unlike.
function alike(k, n, a, b, sa, sb, saa, sbb, sab, off, r) {
    for (k in IN) {
        a = SHOT[k] / IN[k]; b = WANT[k] / IN[k]; n++
        sa += a; sb += b; saa += a * a; sbb += b * b; sab += a * b
        off += a - b > 64 || b - a > 64
    }
    if (n < 2 || saa - sa * sa / n <= 0 || sbb - sb * sb / n <= 0)
        return 0
    r = (sab - sa * sb / n) / sqrt((saa - sa * sa / n) * (sbb - sb * sb / n))
    return r - off / n
}

BEGIN { row = -1 }
FNR == 1 { file++ }

file == 1 {
    split($0, f, "\t"); split(f[4], r, " "); style = hex(f[3])
    if (f[1] == 0) { px = r[1]; py = r[2]; next }
    kind = ""; l = r[1]; t = r[2]; rr = r[3]; b = r[4]
    text = f[5]; gsub(/[& ]/, "", text)
    if (tolower(f[2]) == "static") {
        type = style % 32
        if (type == 14 && f[1] == side) kind = "picture"
        else if (type == 3 || type == 14) kind = "image"
        else if ((type <= 2 || type == 11 || type == 12) && text != "") kind = "text"
    } else if (tolower(f[2]) == "button" && text != "") {
        type = style % 16; kind = "text"
        if (type <= 1) { l += 4; t += 4; rr -= 4; b -= 4 }
        else if (type == 7) { l += 6; rr -= 6; b = t + 14 }
        else l += 14
    }
    if (kind == "") next
    n++; K[n] = kind; X0[n] = l; Y0[n] = t; X1[n] = rr; Y1[n] = b
    ID[n] = f[1] " " f[2] " \"" f[5] "\""
    # Three pixels of ink a letter; a disabled control's are grey, not black.
    need[n] = 3 * length(text); grey[n] = int(style / 134217728) % 2
    next
}

file == 2 {
    x = (FNR - 1) % pw; y = int((FNR - 1) / pw)
    PL[x, y] = lum($1, $2, $3); bh = y + 1
    next
}

{
    x = (FNR - 1) % sw + px; y = int((FNR - 1) / sw) + py; all++
    face = $1 >= 180 && $1 <= 204 && $2 >= 180 && $2 <= 204 && $3 >= 180 && $3 <= 204
    faces += face
    # The shot comes row by row: the controls on this row, once a row.
    if (y != row) {
        row = y; m = 0
        for (i = 1; i <= n; i++)
            if (y >= Y0[i] && y < Y1[i]) at[++m] = i
    }
    for (j = 1; j <= m; j++) {
        i = at[j]
        if (x < X0[i] || x >= X1[i]) continue
        area[i]++; onface[i] += face
        if (K[i] == "text")
            ink[i] += grey[i] ? $1 <= 160 && $2 <= 160 && $3 <= 160 : $1 <= 64 && $2 <= 64 && $3 <= 64
        else if (K[i] == "image")
            drawn[i] += !face
        else if (x - X0[i] < pw && y - Y0[i] < bh) {
            k = int((x - X0[i]) / 8) "," int((y - Y0[i]) / 8); shown[i]++
            SHOT[k] += lum($1, $2, $3); WANT[k] += PL[x - X0[i], y - Y0[i]]; IN[k]++
        }
    }
}

END {
    if (faces < all * 0.4)
        printf "the page: %d of %d pixels in its grey\n", faces, all
    for (i = 1; i <= n; i++) {
        if (K[i] == "picture" && (shown[i] < pw * bh * 0.9 || alike() < 0.9))
            printf "%s: %d of its %d pixels shown, its light and dark as the side picture's by %.2f\n",
                ID[i], shown[i], pw * bh, alike()
        if (K[i] == "image" && drawn[i] < area[i] * 0.1)
            printf "%s: %d of %d pixels drawn\n", ID[i], drawn[i], area[i]
        if (K[i] == "text" && (ink[i] < need[i] || onface[i] < area[i] * 0.3))
            printf "%s: %d pixels of ink (%d wanted), %d of %d in the grey\n",
                ID[i], ink[i], need[i], onface[i], area[i]
    }
}

# Sourced by the scripts: Wine prefixes set to Windows 98 and an Xvfb display.
# shellcheck shell=bash

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win32

# wine_template DIR [VERSION]: a Windows 98 prefix (or one of that Windows
# version, winxp say) made once and copied for every run. When Wine cannot
# make it, says so in Wine's own words and fails, leaving no prefix behind.
wine_template() {
    local dir=$1 windows=${2:-win98} version=3
    if [ "$(cat "$dir/.ready" 2>/dev/null)" = "$version" ]; then return 0; fi
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    if ! wine_template_steps "$dir" "$windows"; then
        rm -rf "$dir"
        return 1
    fi
    echo "$version" >"$dir/.ready"
}

wine_template_steps() {
    local dir=$1 windows=$2
    wine_step "$dir" "make the prefix" wineboot -i || return 1
    [ -d "$dir/drive_c/windows" ] || { echo "wine-env: wineboot made no prefix in $dir" >&2 && return 1; }
    wine_step "$dir" "set the Windows version to $windows" wine winecfg /v "$windows" || return 1
    # Without a window manager Wine would wait for one on every captioned
    # window it hides, and draw no title bars: let Wine draw them itself.
    wine_step "$dir" "let Wine draw the title bars" \
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f || return 1
    wine98_scheme >"$dir/drive_c/win98.reg"
    wine_step "$dir" "set the Windows 98 colours and sizes" wine regedit /S 'C:\win98.reg' || return 1
    rm -f "$dir/drive_c/win98.reg"
    wine_step "$dir" "end the prefix's Wine server" wineserver -w || return 1
    [ -f "$dir/system.reg" ] || { echo "wine-env: Wine kept no registry in $dir" >&2 && return 1; }
}

# wine_step DIR WHAT COMMAND...: one step of making the prefix DIR; when it
# fails, what it was and what Wine said (its last lines). Wine's words go to
# a file: the Wine server it starts would hold a pipe open until it ends.
wine_step() {
    local dir=$1 what=$2 said status=0
    shift 2
    said=$(mktemp)
    WINEPREFIX=$dir "$@" >"$said" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        echo "wine-env: Wine cannot $what in $dir; it says:" >&2
        grep -v ':fixme:' "$said" | tail -n 15 | sed 's/^/  /' >&2
    fi
    rm -f "$said"
    return "$status"
}

# wine98_scheme: the Windows 98 standard scheme as a registry file: its
# system colours, and its sizes with 8-point MS Sans Serif in every font
# (bold in the captions), so that windows look as they do on the target.
wine98_scheme() {
    local colours=(ActiveBorder "192 192 192" ActiveTitle "0 0 128" AppWorkSpace "128 128 128"
        Background "0 128 128" ButtonAlternateFace "192 192 192" ButtonDkShadow "0 0 0"
        ButtonFace "192 192 192" ButtonHilight "255 255 255" ButtonLight "192 192 192"
        ButtonShadow "128 128 128" ButtonText "0 0 0" GradientActiveTitle "16 132 208"
        GradientInactiveTitle "192 192 192" GrayText "128 128 128" Hilight "0 0 128"
        HilightText "255 255 255" HotTrackingColor "0 0 128" InactiveBorder "192 192 192"
        InactiveTitle "128 128 128" InactiveTitleText "192 192 192" InfoText "0 0 0"
        InfoWindow "255 255 225" Menu "192 192 192" MenuBar "192 192 192" MenuHilight "0 0 128"
        MenuText "0 0 0" Scrollbar "192 192 192" TitleText "255 255 255" Window "255 255 255"
        WindowFrame "0 0 0" WindowText "0 0 0")
    local sizes=(BorderWidth 1 CaptionHeight 18 CaptionWidth 18 MenuHeight 18 MenuWidth 18
        ScrollHeight 16 ScrollWidth 16 SmCaptionHeight 15 SmCaptionWidth 15)
    local i font
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Colors]\n'
    for ((i = 0; i < ${#colours[@]}; i += 2)); do
        printf '"%s"="%s"\n' "${colours[i]}" "${colours[i + 1]}"
    done
    printf '\n[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]\n'
    for ((i = 0; i < ${#sizes[@]}; i += 2)); do
        printf '"%s"="%s"\n' "${sizes[i]}" "${sizes[i + 1]}"
    done
    for font in CaptionFont:bc,02 SmCaptionFont:bc,02 MenuFont:90,01 MessageFont:90,01 \
        StatusFont:90,01 IconFont:90,01; do
        printf '"%s"=hex:%s\n' "${font%%:*}" "$(wine98_font "${font#*:}")"
    done
}

# wine98_font WEIGHT: a LOGFONT of 8-point (-11 pixels at 96 dpi) MS Sans
# Serif of WEIGHT (two hex bytes, low first), as REGEDIT4 hex.
wine98_font() {
    local hex="f5,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,$1,00,00,00,00,00,00,00,00,00,22"
    local face="MS Sans Serif" i
    for ((i = 0; i < 32; i++)); do
        hex+=$(printf ',%02x,00' "'${face:i:1}")
    done
    echo "$hex"
}

# wine_fresh_prefix TEMPLATE DEST: a throw-away copy of the template.
wine_fresh_prefix() {
    rm -rf "$2"
    [ -f "$1/.ready" ] || { echo "wine-env: there is no Windows prefix at $1 to copy" >&2 && return 1; }
    cp -a "$1" "$2"
}

# xvfb_start WxHxD: starts a private Xvfb and exports DISPLAY; sets XVFB_PID.
xvfb_start() {
    local geometry=${1:-1024x768x24} fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local num
    read -r num <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$num"
}

xvfb_stop() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

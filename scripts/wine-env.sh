# Sourced by the scripts: Wine prefixes set to Windows 98 and an Xvfb display.
# shellcheck shell=bash

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win32

# wine_template DIR [VERSION]: a Windows 98 prefix (or one of that Windows
# version, winxp say) made once and copied for every run.
wine_template() {
    local dir=$1 windows=${2:-win98} version=2
    if [ "$(cat "$dir/.ready" 2>/dev/null)" = "$version" ]; then return 0; fi
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    WINEPREFIX=$dir wineboot -i >/dev/null 2>&1
    WINEPREFIX=$dir wine winecfg /v "$windows" >/dev/null 2>&1
    # Without a window manager Wine would wait for one on every captioned
    # window it hides, and draw no title bars: let Wine draw them itself.
    WINEPREFIX=$dir wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    WINEPREFIX=$dir wineserver -w
    echo "$version" >"$dir/.ready"
}

# wine_fresh_prefix TEMPLATE DEST: a throw-away copy of the template.
wine_fresh_prefix() {
    rm -rf "$2"
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

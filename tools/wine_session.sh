# Sourced: a private Wine prefix, X display and wineserver for this run only,
# all ended again when the calling shell exits (even on failure or ^C).
VT_SESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/veltrane-wine.XXXXXX")
export WINEPREFIX="$VT_SESSION_DIR/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINELOADER=/usr/lib/wine/wine64
# Debian's wine64 package keeps the server off PATH.
export WINESERVER=/usr/lib/wine/wineserver64
VT_XVFB_PID=""

vt_session_end() {
    WINEPREFIX="$WINEPREFIX" timeout 20 "$WINESERVER" -k >/dev/null 2>&1 || true
    [ -n "$VT_XVFB_PID" ] && kill "$VT_XVFB_PID" 2>/dev/null || true
    rm -rf "$VT_SESSION_DIR"
}
trap vt_session_end EXIT
trap 'exit 130' INT TERM

vt_start_display() {
    local n
    for n in $(seq 91 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        VT_XVFB_PID=$!
        for _ in $(seq 1 50); do
            xdpyinfo -display ":$n" >/dev/null 2>&1 && { export DISPLAY=":$n"; return 0; }
            sleep 0.1
        done
        kill "$VT_XVFB_PID" 2>/dev/null || true
    done
    echo "no free X display" >&2
    return 1
}

vt_start_wine() {
    mkdir -p "$WINEPREFIX"
    # A persistent server: each Wine process then starts in a fraction of a second.
    "$WINESERVER" -p </dev/null >/dev/null 2>&1
    timeout 300 "$WINELOADER" wineboot -i </dev/null >/dev/null 2>&1
    # Without a window manager, an unmanaged window hides at once instead of
    # waiting two seconds for one.
    timeout 60 "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
}

# The display's scale for this session's programs: Wine reads LogPixels when
# its server starts, so the server is started anew.
vt_set_logpixels() {
    timeout 60 "$WINELOADER" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        </dev/null >/dev/null 2>&1
    timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true
    timeout 30 "$WINESERVER" -w >/dev/null 2>&1 || true
    "$WINESERVER" -p </dev/null >/dev/null 2>&1
}

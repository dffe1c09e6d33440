#!/usr/bin/env bash
# The DPI tests of the real backend at 96, 120, 144 and 192 DPI: for each,
# the session's LogPixels is set and its wineserver restarted (Wine reads the
# DPI when its server and desktop start), then 96 is put back for the tests
# that follow. Runs in the test session (WINEPREFIX, WINESERVER and DISPLAY
# set); $1 is win32_tests.exe.
set -euo pipefail
tests=$1
wine=${WINELOADER:-/usr/lib/wine/wine64}
server=${WINESERVER:-/usr/lib/wine/wineserver64}

set_dpi() {
    timeout 60 "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        </dev/null >/dev/null 2>&1
    timeout 30 "$server" -k || true
    timeout 30 "$server" -w || true
    "$server" -p </dev/null >/dev/null 2>&1
}
# Back at 96 as the session began: its desktop process started before the
# X11 driver was told not to manage windows, which leaves Wine's tray window
# managed and away from the screen's corner, where the shaped window's
# on-screen test looks for the screen behind.
restore() {
    reg() { timeout 60 "$wine" reg "$@" </dev/null >/dev/null 2>&1 || true; }
    reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f
    set_dpi 96
    timeout 120 "$wine" wineboot </dev/null >/dev/null 2>&1 || true
    reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
}
trap restore EXIT

status=0
for dpi in 96 120 144 192; do
    set_dpi "$dpi"
    echo "== LogPixels $dpi"
    timeout 120 "$wine" "$tests" --gtest_filter='Win32Dpi.*' --gtest_brief=1 </dev/null || status=1
done
exit $status

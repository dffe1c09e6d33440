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
trap 'set_dpi 96' EXIT

status=0
for dpi in 96 120 144 192; do
    set_dpi "$dpi"
    echo "== LogPixels $dpi"
    timeout 120 "$wine" "$tests" --gtest_filter='Win32Dpi.*' --gtest_brief=1 </dev/null || status=1
done
exit $status

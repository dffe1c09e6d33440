#!/usr/bin/env bash
# Builds Veltrane and runs it under wine64: on $DISPLAY when there is one,
# otherwise on a private Xvfb display, with a screenshot after start-up.
# VT_LOGPIXELS=144 tools/run.sh runs it at 150 % display scaling (120 = 125 %,
# 192 = 200 %).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build/x64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
cmake --build build/x64 --target Veltrane -j "$(nproc)"

source tools/wine_session.sh
private_display=""
if [ -z "${DISPLAY:-}" ]; then
    vt_start_display
    private_display=1
fi
vt_start_wine
if [ -n "${VT_LOGPIXELS:-}" ]; then vt_set_logpixels "$VT_LOGPIXELS"; fi
"$WINELOADER" build/x64/Veltrane.exe </dev/null >/dev/null 2>&1 &
app=$!
if [ -n "$private_display" ]; then
    sleep 4
    mkdir -p build
    import -window root build/screenshot.png
    echo "Screenshot: $PWD/build/screenshot.png"
    echo "Veltrane is running on $DISPLAY; press Ctrl+C to stop."
fi
wait "$app" || true

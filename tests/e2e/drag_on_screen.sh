#!/usr/bin/env bash
# Dragging the captionless main window with a real (X test) mouse: by the
# title strip, by the label inside the bar's box (the whole window moves, not
# the box) and by the figures line.
# Runs in the test session (DISPLAY and WINEPREFIX set); $1 is Veltrane.exe.
set -euo pipefail
exe=$1
"${WINELOADER:-/usr/lib/wine/wine64}" "$exe" </dev/null >/dev/null 2>&1 &
app=$!
trap 'kill $app 2>/dev/null || true' EXIT

where() {
    local info
    info=$(xwininfo -name Veltrane 2>/dev/null) || return 1
    grep -q IsViewable <<<"$info" || return 1
    echo "$(awk '/Absolute upper-left X/ {print $4}' <<<"$info") $(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")"
}
for _ in $(seq 1 200); do where >/dev/null && break; sleep 0.1; done
sleep 0.5

# drag <button> <x in window> <y in window> <dx> <dy> <what>
drag() {
    local before after x y
    read -r x y < <(where)
    xdotool mousemove $((x + $2)) $((y + $3)) mousedown "$1" sleep 0.2 \
        mousemove $((x + $2 + $4 / 2)) $((y + $3 + $5 / 2)) sleep 0.2 \
        mousemove $((x + $2 + $4)) $((y + $3 + $5)) sleep 0.3 mouseup "$1"
    sleep 0.5
    after=$(where)
    echo "$6: from $x $y to $after"
    [ "$after" = "$((x + $4)) $((y + $5))" ] || { echo "FAILED: $6 did not move the window"; exit 1; }
}
drag 1 100 10 100 80 "title strip, left button"
drag 1 400 56 -60 40 "label in the bar's box, left button"
drag 1 150 30 50 -30 "figures line"
echo "drag ok"

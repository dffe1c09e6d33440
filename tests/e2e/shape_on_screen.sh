#!/usr/bin/env bash
# The shaped main window on a real X screen: outside the face's outline the
# screenshot shows what lies behind the window, inside it the face.
# Runs in the test session (DISPLAY and WINEPREFIX set); $1 is Veltrane.exe.
set -euo pipefail
exe=$1
shot=$(mktemp --suffix=.png)
"${WINELOADER:-/usr/lib/wine/wine64}" "$exe" </dev/null >/dev/null 2>&1 &
app=$!
trap 'kill $app 2>/dev/null || true; rm -f "$shot"' EXIT

geometry=""
for _ in $(seq 1 200); do
    if info=$(xwininfo -name Veltrane 2>/dev/null) && grep -q "IsViewable" <<<"$info"; then
        geometry=$info
        break
    fi
    sleep 0.1
done
[ -n "$geometry" ] || { echo "main window never appeared"; exit 1; }
x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")
y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")
pixel() { convert "$shot" -format "%[pixel:p{$1,$2}]" info:; }
# Read until the window has painted its panel (a second at most, as a rule;
# a loaded machine may take longer).
for _ in $(seq 1 20); do
    sleep 0.5
    import -window root "$shot"
    corner=$(pixel $((x + 1)) $((y + 1)))
    behind=$(pixel 1279 799)  # the bare screen far from the window
    inside=$(pixel $((x + 120)) $((y + 46)))
    [ "$inside" != "$behind" ] && [ "$corner" = "$behind" ] && break
done
echo "window at $x,$y: corner=$corner screen=$behind panel=$inside"
[ "$corner" = "$behind" ] || { echo "the cut-away corner does not show the screen behind"; exit 1; }
[ "$inside" != "$behind" ] || { echo "the panel is not painted"; exit 1; }
case "$corner" in *255,0,255*|*magenta*|*fuchsia*) echo "magenta shows"; exit 1;; esac
echo "shape ok"

#!/bin/bash
# Regenerates every embedded sound resource (resources/sounds/NNN.wav).
# Needs: espeak-ng, sox, python3 (stdlib only). Output is deterministic:
# tones come from synth.py (no randomness), speech is resampled by sox with
# dithering disabled, and synth.py writes every file with a bare 44-byte
# RIFF/WAVE header.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
py="${PYTHON:-/usr/bin/python3}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

cd "$here"
rm -f [0-9][0-9][0-9].wav

# Clicks 101-125, alarm 127, error chime 132, "window is back" 133,
# spare sounds 137 and 139.
"$py" synth.py tones "$here"

# speak ID SECONDS WORDS_PER_MIN "TEXT" [CHIME_HZ...]
speak() {
    local id="$1" len="$2" rate="$3" text="$4"
    shift 4
    espeak-ng -v en-us -s "$rate" -w "$tmp/$id.wav" "$text"
    sox -D "$tmp/$id.wav" -t raw -e signed-integer -b 16 -c 1 -r 11025 \
        "$tmp/$id.raw" highpass 70
    "$py" synth.py speech "$here/$id.wav" "$tmp/$id.raw" "$len" "$@"
}

# Greetings: a soft two-note chime, then the words.
speak 128 2.74 150 "Good morning"   784.0 1046.5
speak 129 2.77 150 "Good afternoon" 659.3  880.0
speak 130 2.66 150 "Good evening"   587.3  784.0
speak 138 2.49 150 "Good night"     523.3  392.0

# Value errors (played after the 132 chime).
speak 134 2.01 160 "The value cannot be zero"
speak 140 1.82 150 "The value is too big"
speak 141 3.87 150 "That is not a number"

"$py" check_sounds.py "$here"

#!/usr/bin/python3
"""Checks the embedded sound resources in this directory (or argv[1]).

For every id: the file exists, has a bare 44-byte RIFF/WAVE/fmt/data
header with consistent sizes, PCM format 1 with the expected channels,
rate and bit depth, and a length within 10 % of the target. Ids that the
program does not use must not exist. The looping alarm (127) must start
and end at the 8-bit midpoint so the loop seam is silent. Click sounds
must all differ. Prints id, bytes, seconds.
"""
import os
import struct
import sys

# id -> (channels, rate, bits, seconds or None, bytes or None)
MONO8 = (1, 11025, 8)
CLICK_BYTES = [2924, 1908, 6248, 7028, 292, 1932, 4044, 9316, 4452, 2064,
               3292, 11484, 12204, 2600, 2084, 6152, 3008, 392, 752, 2204,
               1832, 5192, 4448, 6760, 4348]
EXPECTED = {}
for i, b in enumerate(CLICK_BYTES):
    EXPECTED[101 + i] = MONO8 + (None, b)
EXPECTED[101] = MONO8 + (0.26, 2924)
EXPECTED[102] = MONO8 + (0.17, 1908)
for cid, sec in ((127, 2.87), (128, 2.74), (129, 2.77), (130, 2.66),
                 (138, 2.49), (132, 1.30), (134, 2.01), (137, 0.82),
                 (140, 1.82), (141, 3.87)):
    EXPECTED[cid] = MONO8 + (sec, None)
EXPECTED[133] = (1, 22050, 16, 1.28, None)
EXPECTED[139] = (2, 11025, 8, 4.07, None)
ABSENT = (126, 131, 135, 136)
LOOPED = 127


def parse(path):
    with open(path, 'rb') as f:
        raw = f.read()
    if len(raw) < 44:
        raise ValueError('shorter than a header')
    (riff, riff_size, wave, fmt, fmt_size, tag, ch, rate, byte_rate, align,
     bits, data, data_size) = struct.unpack('<4sI4s4sIHHIIHH4sI', raw[:44])
    if (riff, wave, fmt, data) != (b'RIFF', b'WAVE', b'fmt ', b'data'):
        raise ValueError('chunk layout is not RIFF/WAVE/fmt/data')
    if fmt_size != 16:
        raise ValueError('fmt chunk size %d' % fmt_size)
    if tag != 1:
        raise ValueError('format tag %d is not PCM' % tag)
    if riff_size != len(raw) - 8:
        raise ValueError('RIFF size %d, file %d' % (riff_size, len(raw)))
    if data_size != len(raw) - 44:
        raise ValueError('data size %d, file %d (extra chunks?)'
                         % (data_size, len(raw)))
    if data_size % 2:
        raise ValueError('odd data size needs a pad byte')
    if align != ch * bits // 8 or byte_rate != rate * align:
        raise ValueError('inconsistent block align / byte rate')
    if data_size % align:
        raise ValueError('data is not whole frames')
    return ch, rate, bits, raw[44:]


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(
        os.path.abspath(__file__))
    errors = []
    rows = []
    clicks = {}
    total = 0
    for cid in sorted(EXPECTED):
        want_ch, want_rate, want_bits, want_sec, want_bytes = EXPECTED[cid]
        path = os.path.join(root, '%d.wav' % cid)
        if not os.path.isfile(path):
            errors.append('%d: missing' % cid)
            continue
        try:
            ch, rate, bits, pcm = parse(path)
        except ValueError as e:
            errors.append('%d: %s' % (cid, e))
            continue
        size = len(pcm) + 44
        total += size
        frames = len(pcm) // (ch * bits // 8)
        sec = frames / rate
        rows.append((cid, size, sec, ch, rate, bits))
        if (ch, rate, bits) != (want_ch, want_rate, want_bits):
            errors.append('%d: %d ch %d Hz %d-bit, want %d ch %d Hz %d-bit'
                          % (cid, ch, rate, bits, want_ch, want_rate, want_bits))
        if want_sec is not None and abs(sec - want_sec) > 0.1 * want_sec:
            errors.append('%d: %.3f s, want %.2f s' % (cid, sec, want_sec))
        if want_bytes is not None and abs(size - want_bytes) > 0.1 * want_bytes:
            errors.append('%d: %d bytes, want %d' % (cid, size, want_bytes))
        if bits == 8:
            peak = max(abs(b - 128) for b in pcm)
        else:
            vals = struct.unpack('<%dh' % (len(pcm) // 2), pcm)
            peak = max(abs(v) for v in vals) >> 8
        if peak < 8:
            errors.append('%d: practically silent (peak %d/128)' % (cid, peak))
        if peak >= 127:
            errors.append('%d: clipped' % cid)
        if cid == LOOPED and bits == 8:
            if abs(pcm[0] - 128) > 2 or abs(pcm[-1] - 128) > 2:
                errors.append('%d: loop seam not at midpoint (%d ... %d)'
                              % (cid, pcm[0], pcm[-1]))
        if 101 <= cid <= 125:
            clicks.setdefault(pcm, []).append(cid)
    for ids in clicks.values():
        if len(ids) > 1:
            errors.append('identical click sounds: %s' % ids)
    for cid in ABSENT:
        if os.path.exists(os.path.join(root, '%d.wav' % cid)):
            errors.append('%d: must not exist' % cid)
    for name in sorted(os.listdir(root)):
        if name.endswith('.wav') and name[:-4].isdigit() \
                and int(name[:-4]) not in EXPECTED \
                and int(name[:-4]) not in ABSENT:
            errors.append('%s: unexpected sound file' % name)

    print('  id   bytes  seconds  format')
    for cid, size, sec, ch, rate, bits in rows:
        print('%4d %7d  %7.3f  %s %d Hz %d-bit'
              % (cid, size, sec, 'stereo' if ch == 2 else 'mono', rate, bits))
    print('total %d bytes in %d files' % (total, len(rows)))
    if errors:
        for e in errors:
            print('ERROR ' + e, file=sys.stderr)
        return 1
    print('all sounds OK')
    return 0


if __name__ == '__main__':
    sys.exit(main())

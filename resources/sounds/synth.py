#!/usr/bin/python3
"""Sound generator for Veltrane's embedded WAVE resources.

Everything here is deterministic: no random module, no dither. Noise comes
from a fixed-seed LCG so every run produces byte-identical files.

  synth.py tones OUTDIR
      writes the synthetic sounds (clicks, alarm, chimes, jingle).
  synth.py speech OUTFILE RAW16 SECONDS [NOTE_HZ ...]
      RAW16 is signed 16-bit mono little-endian PCM at 11025 Hz (from sox).
      Trims its silent ends, puts an optional soft chime (NOTE_HZ...) in
      front, pads with silence to SECONDS and writes 8-bit mono.

Every file is written with a bare 44-byte header (RIFF/WAVE/fmt/data) and
an even data length so no RIFF pad byte is ever needed.
"""
import math
import os
import struct
import sys

RATE = 11025
TAU2 = 2.0 * math.pi


# ---------------------------------------------------------------- output

def write_wav(path, channels, rate, bits, frames):
    """frames: list of floats (mono) or list of (l, r) tuples, -1..1."""
    out = bytearray()
    if channels == 1:
        frames = [(v,) for v in frames]
    for fr in frames:
        for v in fr:
            v = max(-1.0, min(1.0, v))
            if bits == 8:
                out.append(int(round(v * 127.0)) + 128)
            else:
                out += struct.pack('<h', int(round(v * 32767.0)))
    if len(out) % 2:
        raise SystemExit('%s: odd data length %d' % (path, len(out)))
    block = channels * bits // 8
    hdr = struct.pack('<4sI4s4sIHHIIHH4sI',
                      b'RIFF', 36 + len(out), b'WAVE',
                      b'fmt ', 16, 1, channels, rate, rate * block, block, bits,
                      b'data', len(out))
    with open(path, 'wb') as f:
        f.write(hdr + bytes(out))


def even(n):
    return n + (n & 1)


def secs(s, rate=RATE):
    return even(int(round(s * rate)))


# ---------------------------------------------------------------- helpers

class Lcg:
    """Tiny deterministic noise source (values in -1..1)."""

    def __init__(self, seed):
        self.x = seed & 0x7fffffff

    def next(self):
        self.x = (1103515245 * self.x + 12345) & 0x7fffffff
        return self.x / 1073741824.0 - 1.0


def silence(n):
    return [0.0] * n


def mix(dst, src, at=0, gain=1.0):
    for i, v in enumerate(src):
        j = at + i
        if 0 <= j < len(dst):
            dst[j] += v * gain
    return dst


def fade_edges(buf, fin=0.0, fout=0.003, rate=RATE):
    n_in = int(fin * rate)
    n_out = int(fout * rate)
    for i in range(min(n_in, len(buf))):
        buf[i] *= i / n_in
    for i in range(min(n_out, len(buf))):
        buf[len(buf) - 1 - i] *= i / n_out
    return buf


def normalise(buf, peak):
    m = max(abs(v) for v in buf) or 1.0
    return [v * peak / m for v in buf]


def tone(freq, n, tau=None, attack=0.002, partials=((1.0, 1.0),),
         rate=RATE, phase=0.0):
    """Sum of sine partials (ratio, amp) with linear attack and exp decay.
    Partials above Nyquist are dropped. tau may be a number or a list
    matching partials (per-partial decay)."""
    out = [0.0] * n
    na = max(1, int(attack * rate))
    for k, (ratio, amp) in enumerate(partials):
        f = freq * ratio
        if f >= rate / 2 * 0.95:
            continue
        t_k = tau[k] if isinstance(tau, (list, tuple)) else tau
        w = TAU2 * f / rate
        for i in range(n):
            e = amp
            if t_k:
                e *= math.exp(-i / (t_k * rate))
            out[i] += e * math.sin(w * i + phase)
    for i in range(min(na, n)):
        out[i] *= i / na
    return out


def sweep(f0, f1, n, tau=None, expo=True, rate=RATE, partials=((1.0, 1.0),)):
    """Sine glide from f0 to f1 over n samples."""
    out = [0.0] * n
    ph = [0.0] * len(partials)
    for i in range(n):
        x = i / max(1, n - 1)
        f = f0 * (f1 / f0) ** x if expo else f0 + (f1 - f0) * x
        e = math.exp(-i / (tau * rate)) if tau else 1.0
        v = 0.0
        for k, (ratio, amp) in enumerate(partials):
            if f * ratio < rate * 0.45:
                ph[k] += TAU2 * f * ratio / rate
                v += amp * math.sin(ph[k])
        out[i] = v * e
    return out


def noise_burst(n, tau, seed, hp=0.0, lp=1.0):
    """Exp-decaying noise; hp/lp are one-pole coefficients (0..1)."""
    g = Lcg(seed)
    out = [0.0] * n
    lo = 0.0
    prev_in = 0.0
    prev_hp = 0.0
    for i in range(n):
        x = g.next()
        lo += lp * (x - lo)                 # low-pass
        y = lo
        h = hp * (prev_hp + y - prev_in) if hp else y   # high-pass
        prev_in, prev_hp = y, h
        out[i] = h * math.exp(-i / (tau * RATE))
    return out


def square(freq, n, rate=RATE):
    """Band-limited square (odd harmonics below Nyquist)."""
    parts = []
    k = 1
    while freq * k < rate * 0.45:
        parts.append((k, 1.0 / k))
        k += 2
    return tone(freq, n, None, 0.001, parts, rate)


BELL = ((1.0, 1.0), (2.76, 0.45), (5.40, 0.2), (8.93, 0.08))
MARIMBA = ((1.0, 1.0), (3.93, 0.35), (9.2, 0.1))
GLASS = ((1.0, 1.0), (2.0, 0.25), (3.0, 0.1))


def note(freq, n, tau, timbre=GLASS, attack=0.003, rate=RATE):
    if timbre is MARIMBA:
        taus = [tau, tau * 0.25, tau * 0.1]
    elif timbre is BELL:
        taus = [tau, tau * 0.6, tau * 0.35, tau * 0.2]
    else:
        taus = [tau, tau * 0.5, tau * 0.3]
    return tone(freq, n, taus, attack, timbre, rate)


# ---------------------------------------------------------------- clicks
# Sample counts are fixed by the resource table (file bytes - 44).

CLICK_SAMPLES = {
    101: 2880, 102: 1864, 103: 6204, 104: 6984, 105: 248, 106: 1888,
    107: 4000, 108: 9272, 109: 4408, 110: 2020, 111: 3248, 112: 11440,
    113: 12160, 114: 2556, 115: 2040, 116: 6108, 117: 2964, 118: 348,
    119: 708, 120: 2160, 121: 1788, 122: 5148, 123: 4404, 124: 6716,
    125: 4304,
}


def two_tone(f_a, f_b, n_a, n):
    buf = silence(n)
    a = fade_edges(tone(f_a, n_a - 60, 0.25, 0.003, GLASS), 0, 0.004)
    b = fade_edges(tone(f_b, n - n_a, 0.08, 0.003, GLASS), 0, 0.01)
    mix(buf, a, 0)
    mix(buf, b, n_a)
    return buf


def wood(freq, n, tau=0.018, seed=7):
    body = tone(freq, n, [tau, tau * 0.5], 0.0005, ((1.0, 1.0), (2.63, 0.5)))
    mix(body, noise_burst(min(n, 60), 0.002, seed, hp=0.9), 0, 0.4)
    return body


def tick(freq, n, tau, seed):
    buf = tone(freq, n, tau, 0.0003)
    mix(buf, noise_burst(min(n, 40), 0.0015, seed, hp=0.95), 0, 0.5)
    return buf


def click_sound(cid, n):
    if cid == 101:      # rising two-tone "on" blip
        return two_tone(659.3, 987.8, 1200, n)
    if cid == 102:      # falling "off" blip
        return two_tone(987.8, 659.3, 760, n)
    if cid == 103:      # wood block pair
        buf = silence(n)
        mix(buf, wood(1180, 2000), 0)
        mix(buf, wood(880, n - 2400, 0.03), 2400)
        return buf
    if cid == 104:      # tiny strummed major chord
        buf = silence(n)
        for k, f in enumerate((523.3, 659.3, 784.0)):
            mix(buf, note(f, n - k * 165, 0.14, GLASS), k * 165, 0.5)
        return buf
    if cid == 105:      # tiny tick
        return noise_burst(n, 0.003, 105, hp=0.9)
    if cid == 106:      # cork pop (fast upward glide)
        buf = silence(n)
        mix(buf, sweep(250, 1300, 500, tau=0.03), 0)
        return buf
    if cid == 107:      # chirp up
        buf = sweep(600, 2400, n)
        return [v * math.sin(math.pi * i / n) for i, v in enumerate(buf)]
    if cid == 108:      # bell ping
        return note(1318.5, n, 0.22, BELL, 0.001)
    if cid == 109:      # chirp down
        buf = sweep(2400, 500, n)
        return [v * math.sin(math.pi * i / n) for i, v in enumerate(buf)]
    if cid == 110:      # low wood block
        return wood(420, n, 0.03, 110)
    if cid == 111:      # double click
        buf = silence(n)
        mix(buf, tick(2000, 600, 0.004, 111), 0)
        mix(buf, tick(2000, 600, 0.004, 112), 1320)
        return buf
    if cid == 112:      # marimba arpeggio
        buf = silence(n)
        for k, f in enumerate((392.0, 523.3, 659.3)):
            mix(buf, note(f, n - k * 1323, 0.18, MARIMBA, 0.001), k * 1323, 0.6)
        return buf
    if cid == 113:      # soft glassy minor chord
        buf = silence(n)
        for f in (880.0, 1046.5, 1318.5):
            mix(buf, note(f, n, 0.3, GLASS, 0.02), 0, 0.4)
        return buf
    if cid == 114:      # high click
        return tick(3000, n, 0.008, 114)
    if cid == 115:      # finger snap with a small room echo
        buf = silence(n)
        s = noise_burst(900, 0.008, 115, hp=0.7, lp=0.5)
        mix(buf, s, 0)
        mix(buf, s, 441, 0.3)
        return buf
    if cid == 116:      # three rising ticks
        buf = silence(n)
        for k, f in enumerate((1500, 1800, 2100)):
            mix(buf, tick(f, 700, 0.006, 116 + k), k * 1000)
        return buf
    if cid == 117:      # water droplet
        buf = silence(n)
        mix(buf, sweep(500, 1800, 700, tau=0.04), 0)
        mix(buf, note(1800, n - 700, 0.03, GLASS, 0.0005), 700, 0.3)
        return buf
    if cid == 118:      # very short high tick
        return tone(4000, n, 0.003, 0.0002)
    if cid == 119:      # short low tick (hollow, square-ish)
        sq = square(700, n)
        return [v * math.exp(-i / (0.01 * RATE)) for i, v in enumerate(sq)]
    if cid == 120:      # square-wave game blip
        return fade_edges(square(1046.5, n), 0.002, 0.02)
    if cid == 121:      # soft thump
        return sweep(160, 55, n, tau=0.04)
    if cid == 122:      # ding-dong
        buf = silence(n)
        mix(buf, note(784.0, n, 0.12, BELL, 0.001), 0, 0.7)
        mix(buf, note(622.3, n - 1800, 0.12, BELL, 0.001), 1800, 0.7)
        return buf
    if cid == 123:      # boing (wobbling FM)
        out = [0.0] * n
        ph = 0.0
        for i in range(n):
            t = i / RATE
            f = 260 + 90 * math.exp(-t / 0.15) * math.sin(TAU2 * 14 * t)
            ph += TAU2 * f / RATE
            idx = 2.0 * math.exp(-t / 0.08)
            out[i] = math.sin(ph + idx * math.sin(ph * 2)) * math.exp(-t / 0.15)
        return out
    if cid == 124:      # shaker, two strokes
        buf = silence(n)
        for k in range(2):
            s = noise_burst(2600, 0.05, 124 + k, hp=0.6)
            s = [v * min(1.0, i / 200.0) for i, v in enumerate(s)]
            mix(buf, s, k * 3300, 0.8)
        return buf
    if cid == 125:      # plucked string (Karplus-Strong)
        g = Lcg(125)
        period = 25                     # 441 Hz at 11025 Hz
        ring = [g.next() for _ in range(period)]
        out = [0.0] * n
        for i in range(n):
            j = i % period
            out[i] = ring[j]
            ring[j] = 0.996 * 0.5 * (ring[j] + ring[(j + 1) % period])
        return out
    raise KeyError(cid)


# ---------------------------------------------------------------- others

def alarm():
    """Low-memory alarm: alternating hi/lo harsh beeps. The loop is
    seamless because every beep fades in from and out to silence and the
    file starts and ends on the 8-bit midpoint."""
    n = secs(2.87)
    buf = silence(n)
    seg = n // 8
    beep = seg - int(0.06 * RATE)
    harsh = ((1.0, 1.0), (3.0, 0.33), (5.0, 0.15))
    for k in range(8):
        f = 988.0 if k % 2 == 0 else 740.0
        b = fade_edges(tone(f, beep, None, 0.008, harsh), 0, 0.008)
        mix(buf, b, k * seg)
    buf = normalise(buf, 0.8)
    buf[0] = buf[-1] = 0.0
    return buf


def error_chime():
    n = secs(1.30)
    buf = silence(n)
    mix(buf, note(830.6, n, 0.25, BELL, 0.002), 0, 0.6)
    mix(buf, note(587.3, n - 2200, 0.3, BELL, 0.002), 2200, 0.6)
    return fade_edges(normalise(buf, 0.7), 0, 0.05)


def back_sound():
    """22050 Hz 16-bit: soft whoosh under a rising arpeggio."""
    r = 22050
    n = secs(1.28, r)
    buf = silence(n)
    g = Lcg(133)
    lo = 0.0
    for i in range(int(0.5 * r)):
        x = i / (0.5 * r)
        a = 0.05 + 0.5 * x                  # filter opens up
        lo += a * (g.next() - lo)
        mix(buf, [lo * 0.25 * math.sin(math.pi * x)], i)
    for k, f in enumerate((523.3, 659.3, 784.0, 1046.5)):
        at = int((0.18 + 0.11 * k) * r)
        mix(buf, note(f, n - at, 0.25, GLASS, 0.004, r), at, 0.45)
    return fade_edges(normalise(buf, 0.7), 0, 0.08, r)


def spare_short():
    n = secs(0.82)
    buf = note(698.5, n, 0.2, MARIMBA, 0.002)
    mix(buf, note(1046.5, n - 1000, 0.2, MARIMBA, 0.002), 1000, 0.7)
    return fade_edges(normalise(buf, 0.5), 0, 0.05)


def stereo_jingle():
    n = secs(4.07)
    left, right = silence(n), silence(n)
    melody = (523.3, 659.3, 784.0, 659.3, 698.5, 880.0, 784.0, 1046.5)
    step = int(0.3 * RATE)
    for k, f in enumerate(melody):
        pan = 0.15 if k % 2 == 0 else 0.85
        nt = note(f, n - k * step, 0.25, MARIMBA, 0.002)
        mix(left, nt, k * step, 1.0 - pan)
        mix(right, nt, k * step, pan)
    at = len(melody) * step
    for f, pan in ((523.3, 0.2), (659.3, 0.5), (784.0, 0.8)):
        nt = note(f, n - at, 0.5, GLASS, 0.01)
        mix(left, nt, at, 0.6 * (1.0 - pan))
        mix(right, nt, at, 0.6 * pan)
    m = max(max(abs(v) for v in left), max(abs(v) for v in right))
    left = fade_edges([v * 0.7 / m for v in left], 0, 0.1)
    right = fade_edges([v * 0.7 / m for v in right], 0, 0.1)
    return list(zip(left, right))


def cmd_tones(outdir):
    for cid, n in sorted(CLICK_SAMPLES.items()):
        buf = click_sound(cid, n)
        if len(buf) != n:
            raise SystemExit('click %d: %d samples, want %d' % (cid, len(buf), n))
        peak = 0.6 if cid in (101, 102) else 0.5
        buf = fade_edges(normalise(buf, peak), 0, 0.003)
        write_wav(os.path.join(outdir, '%d.wav' % cid), 1, RATE, 8, buf)
    write_wav(os.path.join(outdir, '127.wav'), 1, RATE, 8, alarm())
    write_wav(os.path.join(outdir, '132.wav'), 1, RATE, 8, error_chime())
    write_wav(os.path.join(outdir, '133.wav'), 1, 22050, 16, back_sound())
    write_wav(os.path.join(outdir, '137.wav'), 1, RATE, 8, spare_short())
    write_wav(os.path.join(outdir, '139.wav'), 2, RATE, 8, stereo_jingle())


# ---------------------------------------------------------------- speech

def cmd_speech(outfile, raw, seconds, notes):
    with open(raw, 'rb') as f:
        data = f.read()
    pcm = [v / 32768.0 for v in struct.unpack('<%dh' % (len(data) // 2), data)]
    thr = 0.01 * max(abs(v) for v in pcm)
    first = next(i for i, v in enumerate(pcm) if abs(v) > thr)
    last = len(pcm) - next(i for i, v in enumerate(reversed(pcm)) if abs(v) > thr)
    first = max(0, first - int(0.01 * RATE))
    last = min(len(pcm), last + int(0.03 * RATE))
    speech = fade_edges(normalise(pcm[first:last], 0.708), 0.005, 0.02)

    n = secs(seconds)
    buf = silence(n)
    at = int(0.05 * RATE)
    if notes:
        step = int(0.16 * RATE)
        for k, f in enumerate(notes):
            mix(buf, note(f, int(0.6 * RATE), 0.15, GLASS, 0.004), at + k * step, 0.3)
        at += len(notes) * step + int(0.25 * RATE)
    if at + len(speech) > n - int(0.05 * RATE):
        raise SystemExit('%s: speech (%.2f s) does not fit in %.2f s'
                         % (outfile, len(speech) / RATE, seconds))
    mix(buf, speech, at)
    buf = fade_edges(normalise(buf, 0.708), 0, 0.01)
    write_wav(outfile, 1, RATE, 8, buf)


if __name__ == '__main__':
    if len(sys.argv) == 3 and sys.argv[1] == 'tones':
        cmd_tones(sys.argv[2])
    elif len(sys.argv) >= 5 and sys.argv[1] == 'speech':
        cmd_speech(sys.argv[2], sys.argv[3], float(sys.argv[4]),
                   [float(x) for x in sys.argv[5:]])
    else:
        raise SystemExit(__doc__)

#!/usr/bin/python3
"""Draws Veltrane's window pictures as 24-bit uncompressed BMP files.

Standard library only; the output is deterministic, so the BMPs can be
regenerated at any time and committed. Run from anywhere:

    /usr/bin/python3 resources/pictures/make_pictures.py

After writing, face.bmp is read back and checked against the control layout
of the main window, because the window region is cut from its magenta pixels.
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
MAGENTA = (255, 0, 255)

# Client rectangles (left, top, width, height) of everything on the face.
CONTROLS = {
    "title strip": (56, 1, 199, 19), "freeware label": (172, 4, 53, 13),
    "hide image": (236, 4, 11, 13), "totals line": (44, 24, 209, 13),
    "busy line": (48, 36, 205, 13), "tiny button": (32, 32, 9, 14),
    "options": (40, 56, 49, 21), "hide": (92, 56, 61, 21),
    "update": (156, 56, 77, 21), "check label": (60, 84, 65, 13),
    "number box": (124, 80, 25, 22), "unit combo": (152, 80, 57, 22),
    "set": (212, 80, 25, 21), "bar track": (256, 50, 196, 17),
}


# ---------------------------------------------------------------- helpers
def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def canvas(w, h, colour=(0, 0, 0)):
    return [[colour] * w for _ in range(h)]


def fill(img, x0, y0, w, h, colour):
    for y in range(max(0, y0), min(len(img), y0 + h)):
        row = img[y]
        for x in range(max(0, x0), min(len(row), x0 + w)):
            row[x] = colour


def in_round_rect(x, y, x0, y0, x1, y1, r):
    """Pixel centre test against a rounded rectangle spanning x0..x1, y0..y1."""
    px, py = x + 0.5, y + 0.5
    if px < x0 or px > x1 + 1 or py < y0 or py > y1 + 1:
        return False
    cx = min(max(px, x0 + r), x1 + 1 - r)
    cy = min(max(py, y0 + r), y1 + 1 - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def write_bmp(name, img):
    h, w = len(img), len(img[0])
    pad = (4 - (w * 3) % 4) % 4
    body = bytearray()
    for row in reversed(img):                      # BMP rows run bottom-up
        for r, g, b in row:
            body += bytes((b, g, r))
        body += b"\0" * pad
    head = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body),
                       2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(head + info + body)


def read_bmp(name):
    with open(os.path.join(HERE, name), "rb") as f:
        data = f.read()
    off, = struct.unpack_from("<I", data, 10)
    w, h, _, bits = struct.unpack_from("<iiHH", data, 18)
    assert bits == 24, name
    stride = (w * 3 + 3) & ~3
    img = []
    for y in range(h):
        base = off + (h - 1 - y) * stride
        img.append([(data[base + 3 * x + 2], data[base + 3 * x + 1],
                     data[base + 3 * x]) for x in range(w)])
    return img


# ---------------------------------------------------------------- pixel font
GLYPHS = {  # 5x7, '#' lit
    "V": ["#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".####"],
    "l": [".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "t": [".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "n": [".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"],
}


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def draw_text(img, text, x, y, scale, colour, shadow=None):
    for dx, dy, c in ((1, 1, shadow), (0, 0, colour)):
        if c is None:
            continue
        for i, ch in enumerate(text):
            for gy, line in enumerate(GLYPHS[ch]):
                for gx, bit in enumerate(line):
                    if bit == "#":
                        fill(img, x + (i * 6 + gx) * scale + dx,
                             y + gy * scale + dy, scale, scale, c)


# ---------------------------------------------------------------- face
FACE_W, FACE_H, CLIENT_W = 457, 111, 453
PANEL_TOP, PANEL_BOTTOM = (46, 60, 84), (24, 32, 48)
BORDER = (104, 128, 164)
MAIN = (26, 0, 264, 110, 14)        # x0, y0, x1, y1, radius
WING = (246, 42, 452, 74, 10)


def panel_colour(y):
    return mix(PANEL_TOP, PANEL_BOTTOM, y / (FACE_H - 1))


def face_shape():
    return [[in_round_rect(x, y, *MAIN) or in_round_rect(x, y, *WING)
             for x in range(FACE_W)] for y in range(FACE_H)]


def make_face():
    shape = face_shape()
    img = canvas(FACE_W, FACE_H, MAGENTA)
    # Distance (in 8-neighbour rings) from the outside, capped at 3.
    depth = [[3 if s else 0 for s in row] for row in shape]
    for ring in (1, 2):
        for y in range(FACE_H):
            for x in range(FACE_W):
                if depth[y][x] != 3:
                    continue
                for ny in (y - 1, y, y + 1):
                    for nx in (x - 1, x, x + 1):
                        if not (0 <= ny < FACE_H and 0 <= nx < FACE_W) or \
                                depth[ny][nx] == ring - 1:
                            depth[y][x] = ring
    for y in range(FACE_H):
        base = panel_colour(y)
        for x in range(FACE_W):
            d = depth[y][x]
            if d == 1:
                img[y][x] = mix(BORDER, base, y / FACE_H * 0.55)
            elif d == 2:
                img[y][x] = mix(base, (255, 255, 255), 0.10 - 0.06 * y / FACE_H)
            elif d == 3:
                img[y][x] = base
    # A soft groove between the text lines and the buttons.
    for x in range(44, 237):
        img[51][x] = mix(panel_colour(51), (0, 0, 0), 0.35)
        img[52][x] = mix(panel_colour(52), (255, 255, 255), 0.08)
    # Recessed well for the busy bar track.
    x0, y0, w, h = CONTROLS["bar track"]
    fill(img, x0 - 1, y0 - 1, w + 1, h + 2, (14, 19, 29))  # right edge is the rim
    for x in range(x0 - 1, x0 + w):
        img[y0 + h][x] = mix(panel_colour(y0 + h), (255, 255, 255), 0.12)
    fill(img, x0, y0, w, h, (20, 27, 40))
    return img


# ---------------------------------------------------------------- strips
ACCENT = (88, 170, 210)


def make_title(face):
    # Cut from the face itself so the strip's edges vanish into it.
    x0, y0, w, h = CONTROLS["title strip"]
    img = [row[x0:x0 + w] for row in face[y0:y0 + h]]
    for x in range(4, 150):                    # accent underline, fading out
        img[h - 1][x] = mix(ACCENT, img[h - 1][x], max(0.0, (x - 40) / 110))
    draw_text(img, "Veltrane", 6, 2, 2, (232, 240, 252), shadow=(10, 14, 22))
    return img


def make_hide(title):
    # Sits on top of the title strip at x=236,y=4 (strip starts at 56,1).
    img = [row[180:191] for row in title[3:16]]
    light, dark = (214, 226, 242), (10, 14, 22)
    for colour, off in ((dark, 1), (light, 0)):                 # down arrow
        for y, half in zip(range(2, 7), range(4, -1, -1)):
            for x in range(5 - half, 6 + half):
                img[y + off][min(10, x + off)] = colour
        fill(img, 1 + off, 9 + off, 9, 2, colour)                # base line
    return img


def make_bar():
    w, h = 200, 17
    green, yellow, red = (52, 196, 88), (240, 206, 58), (226, 64, 52)
    img = canvas(w, h)
    for x in range(w):
        t = x / (w - 1)
        c = mix(green, yellow, t * 2) if t < 0.5 else mix(yellow, red, t * 2 - 1)
        for y in range(h):
            if y == h - 1:
                img[y][x] = mix(c, (0, 0, 0), 0.45)
            elif y < h // 2:
                img[y][x] = mix(c, (255, 255, 255), 0.40 - 0.03 * y)
            else:
                img[y][x] = mix(c, (0, 0, 0), 0.025 * (y - h // 2))
        img[0][x] = mix(c, (255, 255, 255), 0.7)
    return img


def draw_chip(img, x0, y0, w, h, pin=(178, 186, 198)):
    for px in range(x0 + 3, x0 + w - 3, 4):                     # pins
        fill(img, px, y0 - 2, 2, 2, pin)
        fill(img, px, y0 + h, 2, 2, pin)
    fill(img, x0, y0, w, h, (22, 24, 30))
    fill(img, x0, y0, w, 1, (64, 70, 82))
    fill(img, x0 + 2, y0 + 2, 2, 2, (84, 90, 104))              # pin-1 dot


def make_banner():
    w, h = 303, 36
    img = canvas(w, h)
    for y in range(h):
        for x in range(w):
            c = mix((22, 30, 46), (34, 86, 112), x / (w - 1))
            img[y][x] = mix(c, (255, 255, 255), 0.10 * (1 - y / h))
    fill(img, 0, h - 1, w, 1, (14, 19, 29))
    draw_chip(img, 12, 10, 26, 16)
    draw_text(img, "Veltrane", 50, 8, 3, (236, 242, 252), shadow=(8, 12, 20))
    return img


def make_about():
    w, h = 80, 121
    img = canvas(w, h)
    for y in range(h):
        for x in range(w):
            img[y][x] = mix(PANEL_TOP, PANEL_BOTTOM, y / h)
    # A module standing upright, contact edge on the left.
    bx0, by0, bx1, by1 = 22, 6, 64, 114
    pcb, pcb_dark = (30, 110, 70), (18, 70, 44)
    for y in range(by0, by1 + 1):
        for x in range(bx0, bx1 + 1):
            if in_round_rect(x, y, bx0, by0, bx1, by1, 3):
                img[y][x] = pcb
    fill(img, bx0, by0, 1, by1 - by0, pcb_dark)
    fill(img, bx1, by0 + 2, 1, by1 - by0 - 3, pcb_dark)
    for y in range(10, 110, 4):                                  # gold fingers
        if 56 <= y < 62:
            continue                                             # key notch
        fill(img, 16, y, 6, 3, (222, 178, 66))
        fill(img, 16, y, 6, 1, (250, 220, 130))
    for y in range(56, 62):                                      # cut the notch
        for x in range(bx0, bx0 + 4):
            img[y][x] = img[y][4]
    for cy in (12, 38, 66, 92):                                  # memory chips
        fill(img, 32, cy, 24, 18, (20, 22, 28))
        fill(img, 32, cy, 24, 1, (70, 76, 90))
        for py in range(cy + 2, cy + 17, 3):
            fill(img, 30, py, 2, 1, (190, 196, 206))
            fill(img, 56, py, 2, 1, (190, 196, 206))
    for y in range(by0 + 4, by1 - 3, 2):                         # traces
        img[y][60] = (46, 140, 92)
    return img


# ---------------------------------------------------------------- checks
def check_face():
    img = read_bmp("face.bmp")
    assert len(img) == FACE_H and len(img[0]) == FACE_W
    for y in range(FACE_H):
        for x in range(CLIENT_W, FACE_W):
            assert img[y][x] == MAGENTA, ("spare column not magenta", x, y)
    for name, (l, t, w, h) in CONTROLS.items():
        for y in range(t, t + h):
            for x in range(l, l + w):
                assert img[y][x] != MAGENTA, ("control outside face", name, x, y)
    shape = face_shape()
    for y in range(FACE_H):
        for x in range(FACE_W):
            assert (img[y][x] != MAGENTA) == shape[y][x], ("stray pixel", x, y)
    count = sum(img[y][x] == MAGENTA
                for y in range(min(112, FACE_H)) for x in range(CLIENT_W + 1))
    print("face.bmp: %d magenta pixels in the 454x112 scan area" % count)


def main():
    face = make_face()
    title = make_title(face)
    pictures = {"face.bmp": face, "bar.bmp": make_bar(),
                "title.bmp": title, "hide.bmp": make_hide(title),
                "banner.bmp": make_banner(), "about.bmp": make_about()}
    for name, img in pictures.items():
        write_bmp(name, img)
        size = os.path.getsize(os.path.join(HERE, name))
        print("%-11s %3d x %3d  %6d bytes" % (name, len(img[0]), len(img), size))
    check_face()
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""Draws Veltrane's window pictures as 24-bit uncompressed BMP files.

Standard library only; the output is deterministic, so the BMPs can be
regenerated at any time and committed. Run from anywhere:

    /usr/bin/python3 resources/pictures/make_pictures.py

Every picture is drawn for five display scales. The 100 % file carries the
plain name (face.bmp) and resource number (1001 to 1006); the others are
named after their scale (face_150.bmp) and numbered base + 100 x step,
step 1 = 125 %, 2 = 150 %, 3 = 175 %, 4 = 200 %: the 150 % face is 1201,
the 200 % hide picture 1404. Each edge of a scaled picture is the 96-DPI
edge scaled as the program scales its rectangles, (v * dpi + 48) // 96, and
the drawing itself is done at that size from the same geometry, never by
resampling another scale.

After writing, each face is read back and checked against the control
layout of the main window at its scale, because the window region is cut
from its magenta pixels: the magenta must be exactly the scaled outline,
with no pixel anywhere between magenta and the panel.
"""
import math
import os
import sys

import bmp_file

HERE = os.path.dirname(os.path.abspath(__file__))
MAGENTA = (255, 0, 255)
DPIS = (96, 120, 144, 168, 192)        # 100, 125, 150, 175 and 200 %
# In the order of their numbers, 1001 to 1006.
PICTURES = ("face", "bar", "title", "hide", "banner", "about")

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


def sc(v, dpi):
    """A 96-DPI length or position at `dpi`, rounded half up as the program
    rounds its control rectangles."""
    return (v * dpi + 48) // 96


def box(rect, dpi):
    """A control rectangle at `dpi`: left, top, width and height scaled."""
    return tuple(sc(v, dpi) for v in rect)


def file_name(stem, dpi):
    if dpi == 96:
        return "%s.bmp" % stem
    return "%s_%d.bmp" % (stem, dpi * 100 // 96)


def resource_id(stem, dpi):
    return 1001 + PICTURES.index(stem) + 100 * DPIS.index(dpi)


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


def fill_at(img, x, y, w, h, colour, dpi):
    """fill() of a 96-DPI rectangle whose edges are scaled, so rectangles
    that touch at 100 % still touch at every scale."""
    x0, y0 = sc(x, dpi), sc(y, dpi)
    fill(img, x0, y0, sc(x + w, dpi) - x0, sc(y + h, dpi) - y0, colour)


def cover(img, x0, y0, x1, y1, colour):
    """Paints the real rectangle x0..x1, y0..y1 (pixel units), blending the
    pixels it covers only in part by the share it covers."""
    for y in range(max(0, int(y0)), min(len(img), int(math.ceil(y1)))):
        cy = min(y + 1, y1) - max(y, y0)
        row = img[y]
        for x in range(max(0, int(x0)), min(len(row), int(math.ceil(x1)))):
            c = cy * (min(x + 1, x1) - max(x, x0))
            if c > 0:
                row[x] = colour if c >= 1 else mix(row[x], colour, c)


def in_round_rect(px, py, x0, y0, x1, y1, r):
    """Point test against a rounded rectangle spanning x0..x1, y0..y1."""
    if px < x0 or px > x1 or py < y0 or py > y1:
        return False
    cx = min(max(px, x0 + r), x1 - r)
    cy = min(max(py, y0 + r), y1 - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def round_rect_at(shape, dpi):
    """A 96-DPI rounded rectangle (x0, y0, x1, y1, radius; x1 and y1 the last
    pixel inside) as the real rectangle it spans at `dpi`."""
    x0, y0, x1, y1, r = shape
    f = dpi / 96.0
    return x0 * f, y0 * f, (x1 + 1) * f, (y1 + 1) * f, r * f


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


def draw_text(img, text, x, y, scale, colour, shadow=None, dpi=96):
    """The font's cells are squares of `scale` 96-DPI pixels; at other
    scales they land between pixels and their edges are blended, so every
    stroke keeps one weight. The shadow stays whole pixels off the text."""
    f = dpi / 96.0
    off = sc(1, dpi)
    for d, c in ((off, shadow), (0, colour)):
        if c is None:
            continue
        for i, ch in enumerate(text):
            for gy, line in enumerate(GLYPHS[ch]):
                for gx, bit in enumerate(line):
                    if bit == "#":
                        cx = (x + (i * 6 + gx) * scale) * f + d
                        cy = (y + gy * scale) * f + d
                        cover(img, cx, cy, cx + scale * f, cy + scale * f, c)


# ---------------------------------------------------------------- face
FACE_W, FACE_H, CLIENT_W = 457, 111, 453
PANEL_TOP, PANEL_BOTTOM = (46, 60, 84), (24, 32, 48)
BORDER = (104, 128, 164)
MAIN = (26, 0, 264, 110, 14)        # x0, y0, x1, y1, radius
WING = (246, 42, 452, 74, 10)


def panel_colour(y, h=FACE_H):
    return mix(PANEL_TOP, PANEL_BOTTOM, y / (h - 1))


def face_shape(dpi):
    main, wing = round_rect_at(MAIN, dpi), round_rect_at(WING, dpi)
    return [[in_round_rect(x + 0.5, y + 0.5, *main) or
             in_round_rect(x + 0.5, y + 0.5, *wing)
             for x in range(sc(FACE_W, dpi))] for y in range(sc(FACE_H, dpi))]


def make_face(dpi):
    w, h = sc(FACE_W, dpi), sc(FACE_H, dpi)
    shape = face_shape(dpi)
    img = canvas(w, h, MAGENTA)
    # Distance (in 8-neighbour rings) from the outside, capped past the rim.
    # The rim is drawn inside the shape only: the outline against magenta
    # stays a hard edge at every scale.
    edge, rim = sc(1, dpi), sc(2, dpi)
    inner = rim + 1
    depth = [[inner if s else 0 for s in row] for row in shape]
    for ring in range(1, rim + 1):
        for y in range(h):
            for x in range(w):
                if depth[y][x] != inner:
                    continue
                for ny in (y - 1, y, y + 1):
                    for nx in (x - 1, x, x + 1):
                        if not (0 <= ny < h and 0 <= nx < w) or \
                                depth[ny][nx] == ring - 1:
                            depth[y][x] = ring
    # Colours follow the 96-DPI row the pixel lies in: the same few hundred
    # at every scale, which keeps the scaled faces within a 256-colour
    # palette.
    for y in range(h):
        v = y * 96 // dpi
        base = panel_colour(v, FACE_H)
        for x in range(w):
            d = depth[y][x]
            if d == 0:
                continue
            if d <= edge:
                img[y][x] = mix(BORDER, base, v / FACE_H * 0.55)
            elif d <= rim:
                img[y][x] = mix(base, (255, 255, 255),
                                0.10 - 0.06 * v / FACE_H)
            else:
                img[y][x] = base
    # A soft groove between the text lines and the buttons.
    for y0, shade, t in ((51, (0, 0, 0), 0.35), (52, (255, 255, 255), 0.08)):
        for y in range(sc(y0, dpi), sc(y0 + 1, dpi)):
            fill(img, sc(44, dpi), y, sc(237, dpi) - sc(44, dpi), 1,
                 mix(panel_colour(y * 96 // dpi, FACE_H), shade, t))
    # Recessed well for the busy bar track, placed where the program puts
    # the track at this scale.
    x0, y0, tw, th = box(CONTROLS["bar track"], dpi)
    fill(img, x0 - edge, y0 - edge, tw + edge, th + 2 * edge, (14, 19, 29))
    for y in range(y0 + th, y0 + th + edge):                  # the rim below
        fill(img, x0 - edge, y, tw + edge, 1,
             mix(panel_colour(y * 96 // dpi, FACE_H), (255, 255, 255), 0.12))
    fill(img, x0, y0, tw, th, (20, 27, 40))
    return img


# ---------------------------------------------------------------- strips
ACCENT = (88, 170, 210)


def make_title(face, dpi):
    # Cut from the face itself so the strip's edges vanish into it.
    x0, y0, w, h = box(CONTROLS["title strip"], dpi)
    img = [row[x0:x0 + w] for row in face[y0:y0 + h]]
    f = dpi / 96.0
    for y in range(h - sc(1, dpi), h):         # accent underline, fading out
        for x in range(sc(4, dpi), sc(150, dpi)):
            img[y][x] = mix(ACCENT, img[y][x], max(0.0, (x / f - 40) / 110))
    draw_text(img, "Veltrane", 6, 2, 2, (232, 240, 252), (10, 14, 22), dpi)
    return img


def in_arrow(u, v):
    """The hide picture's down arrow and its base line, in 96-DPI pixels."""
    if 2 <= v <= 7 and abs(u - 5.5) <= 4.5 * (7 - v) / 5:
        return True
    return 1 <= u < 10 and 9 <= v < 11


def make_hide(title, dpi):
    # Sits on top of the title strip, cut from it where it lies.
    tx, ty, _, _ = box(CONTROLS["title strip"], dpi)
    x0, y0, w, h = box(CONTROLS["hide image"], dpi)
    img = [row[x0 - tx:x0 - tx + w] for row in title[y0 - ty:y0 - ty + h]]
    light, dark = (214, 226, 242), (10, 14, 22)
    f = dpi / 96.0
    for colour, off in ((dark, sc(1, dpi)), (light, 0)):
        for y in range(h):
            for x in range(w):
                if in_arrow((x - off + 0.5) / f, (y - off + 0.5) / f):
                    img[y][x] = colour
    return img


def make_bar(dpi):
    w, h = sc(200, dpi), sc(17, dpi)
    edge, f = sc(1, dpi), dpi / 96.0
    green, yellow, red = (52, 196, 88), (240, 206, 58), (226, 64, 52)
    img = canvas(w, h)
    for x in range(w):
        t = x / (w - 1)
        c = mix(green, yellow, t * 2) if t < 0.5 else mix(yellow, red, t * 2 - 1)
        for y in range(h):
            v = y / f
            if y >= h - edge:
                img[y][x] = mix(c, (0, 0, 0), 0.45)
            elif y < edge:
                img[y][x] = mix(c, (255, 255, 255), 0.7)
            elif v < 8:
                img[y][x] = mix(c, (255, 255, 255), 0.40 - 0.03 * v)
            else:
                img[y][x] = mix(c, (0, 0, 0), 0.025 * (v - 8))
    return img


def draw_chip(img, x0, y0, w, h, dpi, pin=(178, 186, 198)):
    for px in range(x0 + 3, x0 + w - 3, 4):                     # pins
        fill_at(img, px, y0 - 2, 2, 2, pin, dpi)
        fill_at(img, px, y0 + h, 2, 2, pin, dpi)
    fill_at(img, x0, y0, w, h, (22, 24, 30), dpi)
    fill_at(img, x0, y0, w, 1, (64, 70, 82), dpi)
    fill_at(img, x0 + 2, y0 + 2, 2, 2, (84, 90, 104), dpi)      # pin-1 dot


def make_banner(dpi):
    w, h = sc(303, dpi), sc(36, dpi)
    img = canvas(w, h)
    for y in range(h):
        for x in range(w):
            c = mix((22, 30, 46), (34, 86, 112), x / (w - 1))
            img[y][x] = mix(c, (255, 255, 255), 0.10 * (1 - y / h))
    fill(img, 0, h - sc(1, dpi), w, sc(1, dpi), (14, 19, 29))
    draw_chip(img, 12, 10, 26, 16, dpi)
    draw_text(img, "Veltrane", 50, 8, 3, (236, 242, 252), (8, 12, 20), dpi)
    return img


def make_about(dpi):
    w, h = sc(80, dpi), sc(121, dpi)
    img = canvas(w, h)
    for y in range(h):
        for x in range(w):
            img[y][x] = mix(PANEL_TOP, PANEL_BOTTOM, y / h)
    # A module standing upright, contact edge on the left.
    bx0, by0, bx1, by1 = 22, 6, 64, 114
    pcb, pcb_dark = (30, 110, 70), (18, 70, 44)
    board = round_rect_at((bx0, by0, bx1, by1, 3), dpi)
    for y in range(h):
        for x in range(w):
            if in_round_rect(x + 0.5, y + 0.5, *board):
                img[y][x] = pcb
    fill_at(img, bx0, by0, 1, by1 - by0, pcb_dark, dpi)
    fill_at(img, bx1, by0 + 2, 1, by1 - by0 - 3, pcb_dark, dpi)
    for y in range(10, 110, 4):                                  # gold fingers
        if 56 <= y < 62:
            continue                                             # key notch
        fill_at(img, 16, y, 6, 3, (222, 178, 66), dpi)
        fill_at(img, 16, y, 6, 1, (250, 220, 130), dpi)
    for y in range(sc(56, dpi), sc(62, dpi)):                    # cut the notch
        for x in range(sc(bx0, dpi), sc(bx0 + 4, dpi)):
            img[y][x] = img[y][sc(4, dpi)]
    for cy in (12, 38, 66, 92):                                  # memory chips
        fill_at(img, 32, cy, 24, 18, (20, 22, 28), dpi)
        fill_at(img, 32, cy, 24, 1, (70, 76, 90), dpi)
        for py in range(cy + 2, cy + 17, 3):
            fill_at(img, 30, py, 2, 1, (190, 196, 206), dpi)
            fill_at(img, 56, py, 2, 1, (190, 196, 206), dpi)
    for y in range(by0 + 4, by1 - 3, 2):                         # traces
        fill_at(img, 60, y, 1, 1, (46, 140, 92), dpi)
    return img


# ---------------------------------------------------------------- checks
def near_magenta(c):
    return c != MAGENTA and c[0] > 160 and c[2] > 160 and c[1] < 96


def check_face(dpi):
    """Returns the number of magenta pixels in the client area."""
    name = file_name("face", dpi)
    img = bmp_file.read_bmp(os.path.join(HERE, name))
    w, h, client = sc(FACE_W, dpi), sc(FACE_H, dpi), sc(CLIENT_W, dpi)
    assert len(img) == h and len(img[0]) == w, (name, "size")
    for y in range(h):
        for x in range(client, w):
            assert img[y][x] == MAGENTA, (name, "spare column", x, y)
    for control, rect in CONTROLS.items():
        # Where the program puts the control, and where its scaled edges lie.
        l, t, cw, ch = box(rect, dpi)
        r, b = max(l + cw, sc(rect[0] + rect[2], dpi)), \
            max(t + ch, sc(rect[1] + rect[3], dpi))
        for y in range(t, b):
            for x in range(l, r):
                assert img[y][x] != MAGENTA, (name, "control outside face",
                                              control, x, y)
    shape = face_shape(dpi)
    for y in range(h):
        for x in range(w):
            assert (img[y][x] != MAGENTA) == shape[y][x], (name, "stray", x, y)
            assert not near_magenta(img[y][x]), (name, "pink fringe", x, y)
    return sum(img[y][x] == MAGENTA for y in range(h) for x in range(client))


def main():
    counts = {}
    for dpi in DPIS:
        face = make_face(dpi)
        title = make_title(face, dpi)
        pictures = {"face": face, "bar": make_bar(dpi), "title": title,
                    "hide": make_hide(title, dpi), "banner": make_banner(dpi),
                    "about": make_about(dpi)}
        for stem in PICTURES:
            img, name = pictures[stem], file_name(stem, dpi)
            bmp_file.write_bmp(os.path.join(HERE, name), img,
                               palette_ok=dpi != 96)
            size = os.path.getsize(os.path.join(HERE, name))
            print("%4d %-15s %3d x %3d  %7d bytes" % (
                resource_id(stem, dpi), name, len(img[0]), len(img), size))
        counts[dpi] = check_face(dpi)
    for dpi in DPIS:
        f = dpi / 96.0
        expect = counts[96] * f * f
        print("face at %3d %%: %6d magenta pixels in the %d x %d client area,"
              " 100 %% x scale^2 = %8.1f (%+.2f %%)" % (
                  dpi * 100 // 96, counts[dpi], sc(CLIENT_W, dpi),
                  sc(FACE_H, dpi), expect, 100.0 * (counts[dpi] / expect - 1)))
    return 0


if __name__ == "__main__":
    sys.exit(main())

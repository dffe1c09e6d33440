#!/usr/bin/python3
"""Draws Veltrane's icons as Windows .ico files.

Standard library only; the output is deterministic, so the icons can be
regenerated at any time and committed. Run from anywhere:

    /usr/bin/python3 resources/icons/make_icons.py [--sheet PATH]

Files written next to this script:

    1.ico            the program's own icon (same pictures as 145.ico)
    101.ico          the "tired" mark: a jagged check mark
    102.ico, 145.ico the plain check mark
    103..113.ico     level icons, green bar rising from the bottom, 100..0
    114..123.ico     level icons, blue bar across a ticked field, 90..0
    124..133.ico     level icons, shrinking grey block, 90..0
    134..144.ico     level icons, scale and red bar, "100" over "%" .. "0" over "%"

Each file holds, first, the 16-colour pictures: 16x16 and 32x32 for the
marks, 32x32 alone for the level icons. Those are drawn on a 16x16 grid and
stored doubled, so a shell that halves them shows every stroke sharp. Each
is 4 bits per pixel with the standard 16-colour palette: a BITMAPINFOHEADER
whose height is doubled, the palette, the colour (XOR) bitmap and the 1-bit
transparency (AND) mask, rows stored bottom-up and padded to 4 bytes.

After them come 32-bit pictures with alpha, each drawn at its own size
(true_colour.py draws them, ico_file.py stores and reads them): 16, 20,
24, 32, 40 and 48 pixels, and for the program's icon also 64 and 256, the
256 one stored as a PNG image. Windows picks the image of the size asked
for, and among equal sizes the deepest colour, so the 16-colour pictures
serve only where 16 colours are all there is.

After writing, each file is parsed back and checked field by field, and its
pixels are compared with what was drawn. Both kinds of picture take their
digits and check marks from design.py. --sheet PATH also writes a PNG of
a sample of the 32-bit pictures on a light and a dark taskbar.
"""
import os
import sys

import true_colour
from design import DIGITS, PLAIN_MARK, TIRED_MARK, check_font, draw_text, \
    part, seg_dist2, text_mask
from ico_file import CLEAR, ico_bytes, read_ico

HERE = os.path.dirname(os.path.abspath(__file__))

BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

# ---------------------------------------------------------------- drawing
def canvas(size, colour=CLEAR):
    return [[colour] * size for _ in range(size)]


def fill(img, x0, y0, w, h, colour):
    for y in range(max(0, y0), min(len(img), y0 + h)):
        for x in range(max(0, x0), min(len(img[0]), x0 + w)):
            img[y][x] = colour


def framed(size, border, inside, cut):
    """A square with a one-pixel border and its corners chamfered by `cut`
    pixels; the cut-off corners are transparent."""
    img = canvas(size, inside)
    last = size - 1
    for i in range(size):
        img[0][i] = img[last][i] = img[i][0] = img[i][last] = border
    for dy in range(cut + 1):
        for dx in range(cut + 1 - dy):
            colour = CLEAR if dx + dy < cut else border
            for x, y in ((dx, dy), (last - dx, dy), (dx, last - dy),
                         (last - dx, last - dy)):
                img[y][x] = colour
    return img


def stroke(img, points, width, colour):
    """A polyline `width` pixels thick: every pixel whose centre lies within
    half the width of a segment is painted, so edges stay hard."""
    r2 = (width / 2.0) ** 2
    size = len(img)
    for y in range(size):
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            for (ax, ay), (bx, by) in zip(points, points[1:]):
                if seg_dist2(px, py, ax, ay, bx, by) <= r2:
                    img[y][x] = colour
                    break


# ---------------------------------------------------------------- check marks
def button(size):
    """Grey face with a light top-left and dark bottom-right edge."""
    cut = 2 if size >= 32 else 1
    img = framed(size, BLACK, GREY, cut)
    for i in range(1, size - 1):
        if img[1][i] == GREY:
            img[1][i] = SILVER
        if img[i][1] == GREY:
            img[i][1] = SILVER
    return img


def check_mark(size, marks):
    img = button(size)
    points, width = marks[size]
    stroke(img, points, width, BLACK)
    return img


# ---------------------------------------------------------------- level icons
# The notification area shows icons at 16x16, and groups 103 to 144 carry
# only a 32x32 image, so the shell halves them. Each level picture is
# therefore drawn on a 16x16 grid and every cell doubled: halving gives the
# grid back exactly, with no blurred stroke.
GRID = 16        # the level pictures are drawn on this grid ...
INNER = GRID - 2  # ... with a one-cell border
SIZE = 32        # ... and stored doubled


def doubled(img):
    return [[p for p in row for _ in (0, 1)] for row in img for _ in (0, 1)]


def rising_bar(level):
    """Silver tube, lime bar from the bottom, black digits."""
    img = framed(GRID, BLACK, SILVER, 1)
    h = part(level, INNER)
    top = GRID - 1 - h
    fill(img, 1, top, INNER, h, LIME)
    if 0 < h < INNER:
        fill(img, 1, top, INNER, 1, GREEN)
    draw_text(img, [str(level)], DIGITS, BLACK, WHITE, GRID // 2, GRID // 2)
    return doubled(img)


def ticked_field(level):
    """White field with ticks top and bottom every 20, a blue bar from the
    left, red digits."""
    img = framed(GRID, BLACK, WHITE, 1)
    w = part(level, INNER)
    fill(img, 1, 2, w, INNER - 2, BLUE)
    if w:
        fill(img, w, 2, 1, INNER - 2, NAVY)
    for i in range(1, 5):
        x = 1 + part(i * 20, INNER)
        fill(img, x, 1, 1, 1, BLACK)
        fill(img, x, GRID - 2, 1, 1, BLACK)
    draw_text(img, [str(level)], DIGITS, RED, WHITE, GRID // 2, GRID // 2)
    return doubled(img)


BAYER = [[0, 2], [3, 1]]
GREYS = [(0, BLACK), (128, GREY), (192, SILVER), (255, WHITE)]


def dithered_grey(value, x, y):
    """Ordered dither of a 0..255 grey between the palette's four greys."""
    for (lo, a), (hi, b) in zip(GREYS, GREYS[1:]):
        if value <= hi:
            t = (value - lo) / float(hi - lo)
            return b if t * 4 > BAYER[y & 1][x & 1] + 0.5 else a
    return WHITE


def shrinking_block(level):
    """Black well holding a dithered grey block, light at its top left and
    dark at its bottom right, that shrinks into the top left corner; yellow
    digits. The block's area follows the level."""
    img = framed(GRID, GREY, BLACK, 1)
    side = int(round((INNER - 1) * (level / 100.0) ** 0.5))
    for y in range(side):
        for x in range(side):
            t = (x + y) / float(max(1, 2 * side - 2))
            value = int(round(255 - t * 160))
            img[1 + y][1 + x] = dithered_grey(value, 1 + x, 1 + y)
    draw_text(img, [str(level)], DIGITS, YELLOW, BLACK, GRID // 2, GRID // 2)
    return doubled(img)


SCALE_W = 3  # the scale takes the columns 1..SCALE_W-2 plus its spine


def scale_bar(level):
    """Scale on the left edge, red bar rising from the bottom, the level
    with its percent sign beneath it."""
    img = framed(GRID, GREY, WHITE, 1)
    fill(img, 1, 1, SCALE_W - 2, INNER, SILVER)
    fill(img, SCALE_W - 1, 1, 1, INNER, BLACK)
    for i in range(1, 5):
        fill(img, 1, GRID - 1 - part(i * 20, INNER), 1, 1, BLACK)
    h = part(level, INNER)
    top = GRID - 1 - h
    fill(img, SCALE_W, top, GRID - 1 - SCALE_W, h, RED)
    if 0 < h < INNER:
        fill(img, SCALE_W, top, GRID - 1 - SCALE_W, 1, MAROON)
    lines = [str(level), "%"]
    _, w, _ = text_mask(lines, DIGITS)
    # centre over the bar area, but never let the halo cover the scale
    cx = max(SCALE_W + (GRID - 1 - SCALE_W) // 2, SCALE_W + 1 + w // 2)
    lo, hi = draw_text(img, lines, DIGITS, BLACK, WHITE, cx, GRID // 2)
    assert lo >= SCALE_W and hi <= GRID - 2, ("label over the scale", level)
    return doubled(img)


# ---------------------------------------------------------------- main
def icon_set():
    plain = [check_mark(16, PLAIN_MARK), check_mark(32, PLAIN_MARK)]
    icons = {1: plain, 101: [check_mark(16, TIRED_MARK),
                             check_mark(32, TIRED_MARK)],
             102: plain, 145: plain}
    for i in range(11):
        icons[103 + i] = [rising_bar(100 - 10 * i)]
        icons[134 + i] = [scale_bar(100 - 10 * i)]
    for i in range(10):
        icons[114 + i] = [ticked_field(90 - 10 * i)]
        icons[124 + i] = [shrinking_block(90 - 10 * i)]
    return icons


def true_colour_set():
    """The 32-bit pictures of every group, by size."""
    tc = true_colour
    plain = {n: tc.plain_mark(n) for n in tc.PROGRAM_SIZES}
    sets = {1: plain, 101: {n: tc.tired_mark(n) for n in tc.SIZES},
            102: {n: plain[n] for n in tc.SIZES}, 145: None}
    sets[145] = sets[102]
    for i in range(11):
        sets[103 + i] = {n: tc.rising_bar(100 - 10 * i, n) for n in tc.SIZES}
        sets[134 + i] = {n: tc.scale_bar(100 - 10 * i, n) for n in tc.SIZES}
    for i in range(10):
        sets[114 + i] = {n: tc.ticked_field(90 - 10 * i, n) for n in tc.SIZES}
        sets[124 + i] = {n: tc.shrinking_block(90 - 10 * i, n)
                         for n in tc.SIZES}
    return sets


def main(argv):
    sheet = argv[argv.index("--sheet") + 1] if "--sheet" in argv else None
    check_font(DIGITS)
    for size in true_colour.SIZES:
        check_font(true_colour.font_for(size))
    icons, sets = icon_set(), true_colour_set()
    assert sorted(icons) == [1] + list(range(101, 146)), "icon numbering"
    assert sorted(sets) == sorted(icons), "icon numbering"
    total = 0
    for number, images in sorted(icons.items()):
        pictures = [sets[number][n] for n in sorted(sets[number])]
        path = os.path.join(HERE, "%d.ico" % number)
        with open(path, "wb") as f:
            f.write(ico_bytes(images, pictures))
    for number, images in sorted(icons.items()):
        path = os.path.join(HERE, "%d.ico" % number)
        back, back32 = read_ico(path)
        assert back == images, (path, "pixels differ after reading back")
        expect32 = [sets[number][n] for n in sorted(sets[number])]
        assert back32 == expect32, (path, "32-bit pixels differ")
        sizes = "+".join("%d" % len(i) for i in back)
        sizes32 = "+".join("%d" % len(i) for i in back32)
        clear = sum(p is CLEAR for i in back for r in i for p in r)
        total += os.path.getsize(path)
        print("%-8s 16 colours %-6s 32-bit %-24s %6d bytes  %3d transparent"
              % ("%d.ico" % number, sizes, sizes32, os.path.getsize(path),
                 clear))
    print("%d icon files written and verified, %d bytes" % (len(icons), total))
    if sheet:
        sample = [1, 101, 103, 108, 113, 114, 118, 123, 124, 128, 133, 134,
                  139, 144]
        true_colour.contact_sheet(sheet, [sets[n] for n in sample])
        print("contact sheet of %s written to %s" % (sample, sheet))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

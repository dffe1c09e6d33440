"""The icons' 32-bit pictures: every design drawn at each size it ships in,
with an alpha channel; and the contact sheet that shows them on taskbars.

One design serves light and dark taskbars alike: every picture sits inside
a dark outline, and what the outline holds is light (or, where the picture
is dark, ringed by a light rim inside the outline). Against a light taskbar
the outline draws the edge; against a dark one the light body does. Digits
and marks stand on the picture's own body, never on the taskbar.

Edges that run along the pixel grid (bars, ticks, digits) stay on whole
pixels at every size; only the rounded corners and the slanted strokes of
the check marks are blended, from 4 x 4 samples a pixel.
"""
from design import DIGITS, PLAIN_MARK, TIRED_MARK, draw_text, part, seg_dist2
from ico_file import png_bytes

SIZES = (16, 20, 24, 32, 40, 48)
PROGRAM_SIZES = SIZES + (64, 256)

OUTLINE = (24, 24, 28)
WHITE, BLACK = (255, 255, 255), (0, 0, 0)

# The 3 x 5 digits laid out for each size: (glyph width, glyph height, gap
# between glyphs and lines, halo width). Each design column and row becomes
# a whole number of pixels, so strokes stay sharp at every size.
FONT_BOX = {16: (3, 5, 1, 1), 20: (4, 7, 1, 1), 24: (5, 8, 1, 1),
            32: (6, 10, 2, 2), 40: (8, 13, 2, 2), 48: (9, 15, 3, 3)}


def edges(cells, length):
    return [(i * length * 2 + cells) // (cells * 2) for i in range(cells + 1)]


def font_for(size):
    """The 3 x 5 digits widened to the size's glyph box. The "1" keeps its
    stem as heavy as the strokes of the other digits: its flag takes the
    width of a counter."""
    w, h = FONT_BOX[size][:2]
    xs, ys = edges(3, w), edges(5, h)
    col = [xs[i + 1] - xs[i] for i in range(3)]
    row = [ys[i + 1] - ys[i] for i in range(5)]
    font = {}
    for ch, design in DIGITS.items():
        widths = col if len(design[0]) == 3 else [col[1], col[0]]
        lines = []
        for r, line in enumerate(design):
            wide = "".join(bit * n for bit, n in zip(line, widths))
            lines += [wide] * row[r]
        font[ch] = lines
    return font


def label(img, lines, colour, halo, cx, cy):
    size = len(img)
    gap, halo_width = FONT_BOX[size][2:]
    return draw_text(img, lines, font_for(size), colour, halo, cx, cy,
                     gap=gap, line_gap=gap, halo_width=halo_width)


# ---------------------------------------------------------------- drawing
def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def canvas(size, colour):
    return [[colour] * size for _ in range(size)]


def fill(img, x0, y0, w, h, colour):
    for y in range(max(0, y0), min(len(img), y0 + h)):
        for x in range(max(0, x0), min(len(img[0]), x0 + w)):
            img[y][x] = colour


def unit(size):
    """One pixel of the 16-pixel design at `size`: the width of outlines,
    rims, ticks and edges. At 32 pixels it is two, so a shell that halves
    the 32-pixel picture still keeps every line."""
    return max(1, size // 16)


def corner_radius(size):
    return size * 3 / 32.0


def rounded_cover(x, y, size, inset, radius):
    """Share of pixel (x, y) inside the square inset..size-inset with
    corners of `radius`; sampled only near the corners."""
    lo, hi = inset, size - inset
    if hi <= lo:
        return 0.0
    r = max(0.0, radius - inset)
    if x + 1 <= lo or x >= hi or y + 1 <= lo or y >= hi:
        return 0.0
    near = lambda v: v < lo + r or v + 1 > hi - r
    if not (near(x) and near(y)):
        return (min(x + 1, hi) - max(x, lo)) * (min(y + 1, hi) - max(y, lo))
    inside = 0
    for sy in range(4):
        for sx in range(4):
            px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
            if not (lo <= px <= hi and lo <= py <= hi):
                continue
            cx = min(max(px, lo + r), hi - r)
            cy = min(max(py, lo + r), hi - r)
            inside += (px - cx) ** 2 + (py - cy) ** 2 <= r * r
    return inside / 16.0


def framed(body, rings):
    """The picture `body` (opaque colours) inside nested rounded rings, the
    outermost first, each (colour, width). Returns RGBA rows; outside the
    outline the picture is fully transparent."""
    size = len(body)
    radius = corner_radius(size)
    insets, at = [], 0
    for _, width in rings:
        insets.append(at)
        at += width
    insets.append(at)
    colours = [c for c, _ in rings]
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            cover = [rounded_cover(x, y, size, i, radius) for i in insets]
            if cover[0] <= 0:
                row.append((0, 0, 0, 0))
                continue
            acc = [0.0, 0.0, 0.0]
            layers = colours + [body[y][x]]
            for k, colour in enumerate(layers):
                share = cover[k] - (cover[k + 1] if k + 1 < len(cover) else 0)
                for i in range(3):
                    acc[i] += colour[i] * share
            row.append(tuple(int(round(v / cover[0])) for v in acc) +
                       (int(round(255 * cover[0])),))
        out.append(row)
    return out


def outline_rings(size, colours=(OUTLINE,)):
    return [(c, unit(size)) for c in colours]


# ---------------------------------------------------------------- themes
LIME, GREEN = (72, 214, 72), (0, 128, 0)
SILVER = (200, 204, 208)
BLUE, NAVY = (24, 72, 232), (0, 0, 128)
RED, MAROON = (222, 24, 24), (128, 0, 0)
YELLOW, GREY = (255, 232, 0), (150, 150, 150)


def tube(size):
    """A silver tube, lighter along its middle."""
    img = canvas(size, SILVER)
    for x in range(size):
        t = abs(x + 0.5 - size / 2.0) / (size / 2.0)
        fill(img, x, 0, 1, size, mix((236, 238, 240), (178, 182, 188), t))
    return img


def rising_bar(level, size):
    """Silver tube, green bar from the bottom, black digits."""
    body, b = tube(size), unit(size)
    inner = size - 2 * b
    h = part(level, inner)
    top = size - b - h
    for x in range(size):
        t = abs(x + 0.5 - size / 2.0) / (size / 2.0)
        fill(body, x, top, 1, h, mix((120, 236, 120), LIME, t))
    if 0 < h < inner:
        fill(body, 0, top, size, unit(size), GREEN)
    label(body, [str(level)], BLACK, WHITE, size // 2, size // 2)
    return framed(body, outline_rings(size))


def ticked_field(level, size):
    """White field with ticks top and bottom every 20, a blue bar from the
    left, red digits."""
    body, b = canvas(size, WHITE), unit(size)
    inner = size - 2 * b
    tick = unit(size)
    w = part(level, inner)
    fill(body, b, b + tick, w, inner - 2 * tick, BLUE)
    if w:
        fill(body, b + w - tick, b + tick, tick, inner - 2 * tick, NAVY)
    for i in range(1, 5):
        x = b + part(i * 20, inner) - tick // 2
        fill(body, x, b, unit(size), tick, BLACK)
        fill(body, x, size - b - tick, unit(size), tick, BLACK)
    label(body, [str(level)], RED, WHITE, size // 2, size // 2)
    return framed(body, outline_rings(size))


def shrinking_block(level, size):
    """Black well, ringed light inside the outline, holding a grey block,
    light at its top left and dark at its bottom right, that shrinks into
    the top left corner; yellow digits. The block's area follows the level."""
    body, b = canvas(size, BLACK), unit(size)
    inner = size - 4 * b
    side = int(round((inner - 1) * (level / 100.0) ** 0.5))
    for y in range(side):
        for x in range(side):
            t = (x + y) / float(max(1, 2 * side - 2))
            body[2 * b + y][2 * b + x] = mix(WHITE, (96, 96, 96), t)
    label(body, [str(level)], YELLOW, BLACK, size // 2, size // 2)
    return framed(body, outline_rings(size, (OUTLINE, GREY)))


def scale_bar(level, size):
    """Scale on the left edge, red bar rising from the bottom, the level
    with its percent sign beneath it."""
    body, b = canvas(size, WHITE), unit(size)
    inner = size - 2 * b
    strip, spine = unit(size), unit(size)
    fill(body, 0, 0, b + strip, size, SILVER)
    fill(body, b + strip, 0, spine, size, BLACK)
    for i in range(1, 5):
        y = size - b - part(i * 20, inner)
        fill(body, 0, y, b + strip, unit(size), BLACK)
    left = b + strip + spine
    h = part(level, inner)
    top = size - b - h
    fill(body, left, top, size - left, h, RED)
    if 0 < h < inner:
        fill(body, left, top, size - left, unit(size), MAROON)
    lines = [str(level), "%"]
    font, (_, _, gap, halo) = font_for(size), FONT_BOX[size]
    w = max(sum(len(font[c][0]) for c in line) + gap * (len(line) - 1)
            for line in lines)
    cx = max(left + (size - b - left) // 2, left + halo + w // 2)
    lo, hi = label(body, lines, BLACK, WHITE, cx, size // 2)
    assert lo >= left and hi <= size - b - 1, ("label over the scale", level)
    return framed(body, outline_rings(size))


# ---------------------------------------------------------------- check marks
def button(size):
    """A light grey face, lighter at the top, inside the outline."""
    body = canvas(size, SILVER)
    for y in range(size):
        fill(body, 0, y, size, 1, mix((236, 236, 236), (160, 160, 164),
                                      y / float(size - 1)))
    return body


def check_mark(size, marks):
    """The mark of the 32-pixel design (16-pixel design below 24 pixels,
    whose strokes are relatively heavier) stretched to the size, blended
    at its edges."""
    design = 32 if size >= 24 else 16
    points, width = marks[design]
    k = size / float(design)
    pts = [(x * k, y * k) for x, y in points]
    r2 = (width * k / 2.0) ** 2
    body = button(size)
    reach = width * k / 2.0 + 1
    x0 = max(0, int(min(x for x, _ in pts) - reach))
    x1 = min(size, int(max(x for x, _ in pts) + reach) + 1)
    y0 = max(0, int(min(y for _, y in pts) - reach))
    y1 = min(size, int(max(y for _, y in pts) + reach) + 1)
    segments = list(zip(pts, pts[1:]))
    for y in range(y0, y1):
        for x in range(x0, x1):
            hits = 0
            for sy in range(4):
                for sx in range(4):
                    px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
                    hits += any(seg_dist2(px, py, ax, ay, bx, by) <= r2
                                for (ax, ay), (bx, by) in segments)
            if hits:
                body[y][x] = mix(body[y][x], (16, 16, 16), hits / 16.0)
    return framed(body, outline_rings(size))


def plain_mark(size):
    return check_mark(size, PLAIN_MARK)


def tired_mark(size):
    return check_mark(size, TIRED_MARK)


# ---------------------------------------------------------------- contact sheet
def contact_sheet(path, icons, sizes=(16, 20, 24, 32), zoom=3):
    """Writes a PNG of the given 32-bit pictures on a light (#F3F3F3) and a
    dark (#202020) taskbar, at their own sizes, magnified `zoom` times with
    whole pixels so each pixel can be judged."""
    grounds = ((243, 243, 243), (32, 32, 32))
    pad = 6
    cell = max(sizes) + pad
    width = len(icons) * cell + pad
    height = len(sizes) * cell + pad
    sheet = []
    for ground in grounds:
        part_rows = [[ground] * width for _ in range(height)]
        for col, pictures in enumerate(icons):
            for line, size in enumerate(sizes):
                img = pictures[size]
                ox, oy = pad + col * cell, pad + line * cell
                for y in range(size):
                    for x in range(size):
                        r, g, b, a = img[y][x]
                        part_rows[oy + y][ox + x] = mix(ground, (r, g, b),
                                                        a / 255.0)
        sheet += part_rows
    big = [[p for p in row for _ in range(zoom)] for row in sheet
           for _ in range(zoom)]
    with open(path, "wb") as f:
        f.write(png_bytes([[p + (255,) for p in row] for row in big]))

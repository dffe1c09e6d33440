"""What both sets of the icons' pictures are drawn from: the 3 x 5 digits,
the strokes of the two check marks, and the rules that set text with its
halo and measure a stroke. make_icons.py draws the 16-colour pictures with
them, true_colour.py the 32-bit ones.
"""


# The digits are 3 x 5 cells ("1" two cells wide, so "100" fits beside the
# scale of theme 5).
DIGITS = {
    "0": ["###", "#.#", "#.#", "#.#", "###"],
    "1": [".#", "##", ".#", ".#", ".#"],
    "2": ["###", "..#", "###", "#..", "###"],
    "3": ["###", "..#", ".##", "..#", "###"],
    "4": ["#.#", "#.#", "###", "..#", "..#"],
    "5": ["###", "#..", "###", "..#", "###"],
    "6": ["###", "#..", "###", "#.#", "###"],
    "7": ["###", "..#", "..#", "..#", "..#"],
    "8": ["###", "#.#", "###", "#.#", "###"],
    "9": ["###", "#.#", "###", "..#", "###"],
    "%": ["#.#", "..#", ".#.", "#..", "#.#"],
}


def check_font(font):
    height = len(next(iter(font.values())))
    for ch, rows in font.items():
        assert len(rows) == height, ("glyph height", ch)
        assert len(set(map(len, rows))) == 1, ("ragged glyph", ch)
    return height


def text_mask(lines, font, gap=1, line_gap=1):
    """Pixel coordinates of the text lines set at the origin, each line
    centred on the widest, `line_gap` blank rows between lines; and the
    block's width/height."""
    height = len(next(iter(font.values())))
    widths = [sum(len(font[ch][0]) for ch in line) + gap * (len(line) - 1)
              for line in lines]
    w = max(widths)
    pts = []
    for n, (line, lw) in enumerate(zip(lines, widths)):
        x, y0 = (w - lw) // 2, n * (height + line_gap)
        for ch in line:
            rows = font[ch]
            for gy, row in enumerate(rows):
                for gx, bit in enumerate(row):
                    if bit == "#":
                        pts.append((x + gx, y0 + gy))
            x += len(rows[0]) + gap
    return pts, w, len(lines) * (height + line_gap) - line_gap


def draw_text(img, lines, font, colour, halo, cx, cy, gap=1, line_gap=1,
              halo_width=1):
    """Draws the text lines centred on (cx, cy) with a halo `halo_width`
    cells wide all round. Refuses to clip: a label that does not fit is a
    drawing error."""
    pts, w, h = text_mask(lines, font, gap, line_gap)
    x0, y0 = cx - w // 2, cy - h // 2
    glyph = {(x0 + x, y0 + y) for x, y in pts}
    reach = range(-halo_width, halo_width + 1)
    ring = {(x + dx, y + dy) for x, y in glyph
            for dx in reach for dy in reach} - glyph
    # Counters (the holes of 0, 6, 8, 9, 4) take the halo colour as well,
    # or a busy background shows through and clogs them at tray size.
    left, right = min(x for x, _ in ring), max(x for x, _ in ring)
    top, bottom = min(y for _, y in ring), max(y for _, y in ring)
    solid = glyph | ring
    outside, todo = set(), [(left - 1, top - 1)]
    while todo:
        x, y = todo.pop()
        if ((x, y) in outside or (x, y) in solid or not
                (left - 1 <= x <= right + 1 and top - 1 <= y <= bottom + 1)):
            continue
        outside.add((x, y))
        todo += [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]
    ring |= {(x, y) for x in range(left, right + 1)
             for y in range(top, bottom + 1)} - outside - glyph
    size = len(img)
    for x, y in glyph | ring:
        assert 0 <= x < size and 0 <= y < size, ("label clipped", lines, x, y)
    for x, y in ring:
        img[y][x] = halo
    for x, y in glyph:
        img[y][x] = colour
    return min(x for x, _ in ring), max(x for x, _ in ring)


def seg_dist2(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    ex, ey = ax + t * dx - px, ay + t * dy - py
    return ex * ex + ey * ey


# The check marks' strokes on the 16- and 32-pixel designs: the points of
# each polyline and its width.
PLAIN_MARK = {
    16: ([(3.5, 8.0), (6.5, 11.0), (12.5, 4.5)], 2.6),
    32: ([(7.0, 16.5), (13.0, 22.5), (25.5, 9.0)], 4.6),
}
TIRED_MARK = {
    16: ([(3.0, 8.0), (5.5, 11.5), (7.5, 7.5), (9.5, 9.5), (13.0, 4.0)], 2.0),
    32: ([(6.0, 16.0), (11.5, 23.5), (15.0, 14.0), (18.5, 19.0),
          (22.0, 10.0), (26.5, 6.5)], 3.4),
}


# The share of a span that a level covers, rounded to whole cells.
def part(level, span):
    return (level * span + 50) // 100

"""Veltrane's .ico files: writing and reading back the 16-colour images and
the 32-bit ones (a DIB with alpha and an AND mask; from PNG_FROM pixels up,
a PNG image, as Windows stores its own large icons), and the PNG encoder
that also makes the contact sheet. Every reader checks each field it meets
and refuses anything this project does not write.
"""
import struct
import zlib

PNG_FROM = 256          # sizes from here on are stored as PNG images


def row_bytes(width, bpp):
    return ((width * bpp + 31) // 32) * 4


# ---------------------------------------------------------------- palette
# The standard Windows 16-colour palette, in index order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
CLEAR = None  # transparent pixel: AND bit set, colour index 0


# ---------------------------------------------------------------- 16 colours
def image16_bytes(img):
    """One 16-colour icon image: BITMAPINFOHEADER, palette, XOR bitmap,
    AND mask."""
    size = len(img)
    xor_stride, and_stride = row_bytes(size, 4), row_bytes(size, 1)
    xor, mask = bytearray(), bytearray()
    for y in reversed(range(size)):
        xrow, mrow = bytearray(xor_stride), bytearray(and_stride)
        for x in range(size):
            p = img[y][x]
            if p is CLEAR:
                mrow[x >> 3] |= 0x80 >> (x & 7)
                p = 0
            xrow[x >> 1] |= p << 4 if x % 2 == 0 else p
        xor += xrow
        mask += mrow
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0)
                       for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def ico_bytes(images, pictures=()):
    """The 16-colour images, then the 32-bit ones."""
    blobs = [image16_bytes(img) for img in images] + \
        [image32_bytes(img) for img in pictures]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    kinds = [(len(img), 16, 4) for img in images] + \
        [(len(img), 0, 32) for img in pictures]
    for (size, colours, bpp), blob in zip(kinds, blobs):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1,
                           bpp, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def read_ico(path):
    """Parses an .ico written above, checking every field; returns the
    16-colour images as index/CLEAR grids and the 32-bit ones as RGBA."""
    data = open(path, "rb").read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1) and count >= 1, (path, "ICONDIR")
    images, pictures, expect_offset = [], [], 6 + 16 * count
    for i in range(count):
        w, h, colours, res, planes, bpp, length, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        size = w or 256
        assert offset == expect_offset, (path, i, "offset")
        assert h == w and res == 0 and planes == 1, (path, i, "entry")
        expect_offset = offset + length
        if bpp == 32:
            assert colours == 0, (path, i, "entry colours")
            blob = data[offset:offset + length]
            if blob[:4] == b"\x89PNG":
                assert size >= PNG_FROM, (path, i, "PNG size")
                img = read_png(blob)
                assert len(img) == size == len(img[0]), (path, i, "PNG size")
            else:
                assert size < PNG_FROM, (path, i, "DIB size")
                img, used = read_dib(data, offset, size)
                assert used == length, (path, i, "length")
            pictures.append(img)
            continue
        assert not pictures, (path, i, "16-colour image after a 32-bit one")
        assert colours == 16 and bpp == 4, (path, i, "entry colours/bpp")
        xor_len = row_bytes(size, 4) * size
        and_len = row_bytes(size, 1) * size
        assert length == 40 + 64 + xor_len + and_len, (path, i, "length")
        (hsize, bw, bh, bplanes, bbpp, comp, simage, _, _, used,
         important) = struct.unpack_from("<IiiHHIIiiII", data, offset)
        assert (hsize, bw, bh) == (40, size, 2 * size), (path, i, "header")
        assert (bplanes, bbpp, comp) == (1, 4, 0), (path, i, "format")
        assert simage == xor_len + and_len, (path, i, "biSizeImage")
        assert used in (0, 16) and important == 0, (path, i, "colours")
        pal = [struct.unpack_from("<BBBB", data, offset + 40 + 4 * k)
               for k in range(16)]
        assert [(r, g, b) for b, g, r, _ in pal] == PALETTE, (path, "palette")
        assert all(a == 0 for *_, a in pal), (path, "palette reserved")
        xor_at = offset + 104
        and_at = xor_at + xor_len
        img = [[0] * size for _ in range(size)]
        for row in range(size):
            y = size - 1 - row
            for x in range(size):
                byte = data[xor_at + row * row_bytes(size, 4) + (x >> 1)]
                p = byte >> 4 if x % 2 == 0 else byte & 15
                m = data[and_at + row * row_bytes(size, 1) + (x >> 3)]
                if m & (0x80 >> (x & 7)):
                    assert p == 0, (path, "transparent pixel not black")
                    p = CLEAR
                img[y][x] = p
        images.append(img)
    assert expect_offset == len(data), (path, "file size")
    return images, pictures


# ---------------------------------------------------------------- 32 bits
def dib_bytes(img):
    """BITMAPINFOHEADER (height doubled), BGRA rows bottom-up, AND mask set
    where the picture is fully transparent."""
    size = len(img)
    xor, mask = bytearray(), bytearray()
    for y in reversed(range(size)):
        mrow = bytearray(row_bytes(size, 1))
        for x, (r, g, b, a) in enumerate(img[y]):
            xor += bytes((b, g, r, a))
            if a == 0:
                mrow[x >> 3] |= 0x80 >> (x & 7)
        mask += mrow
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def png_bytes(img, alpha=True):
    """A PNG image of RGBA (or RGB) rows, filter 0 on every row."""
    h, w = len(img), len(img[0])
    raw = bytearray()
    for row in img:
        raw.append(0)
        for p in row:
            raw += bytes(p if alpha else p[:3])

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + \
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    head = struct.pack(">IIBBBBB", w, h, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def image32_bytes(img):
    return png_bytes(img) if len(img) >= PNG_FROM else dib_bytes(img)


def read_png(data):
    """Reads back a PNG written by png_bytes."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "PNG signature"
    at, idat, head = 8, b"", None
    while at < len(data):
        n, = struct.unpack_from(">I", data, at)
        kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + n]
        crc, = struct.unpack_from(">I", data, at + 8 + n)
        assert crc == zlib.crc32(kind + body) & 0xFFFFFFFF, "PNG crc"
        if kind == b"IHDR":
            head = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + n
    w, h, depth, colour, _, _, _ = head
    assert (depth, colour) == (8, 6), "PNG format"
    raw = zlib.decompress(idat)
    stride = 1 + 4 * w
    img = []
    for y in range(h):
        line = raw[y * stride:(y + 1) * stride]
        assert line[0] == 0, "PNG filter"
        img.append([tuple(line[1 + 4 * x:5 + 4 * x]) for x in range(w)])
    return img


def read_dib(data, offset, size):
    (hsize, bw, bh, planes, bpp, comp, simage, _, _, used,
     important) = struct.unpack_from("<IiiHHIIiiII", data, offset)
    assert (hsize, bw, bh) == (40, size, 2 * size), "32-bit header"
    assert (planes, bpp, comp, used, important) == (1, 32, 0, 0, 0), "format"
    xor_len, and_len = 4 * size * size, row_bytes(size, 1) * size
    assert simage == xor_len + and_len, "biSizeImage"
    xor_at, and_at = offset + 40, offset + 40 + xor_len
    img = [[None] * size for _ in range(size)]
    for row in range(size):
        y = size - 1 - row
        for x in range(size):
            b, g, r, a = data[xor_at + 4 * (row * size + x):][:4]
            m = data[and_at + row * row_bytes(size, 1) + (x >> 3)]
            assert bool(m & (0x80 >> (x & 7))) == (a == 0), "AND mask"
            img[y][x] = (r, g, b, a)
    return img, 40 + xor_len + and_len

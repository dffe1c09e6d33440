"""Uncompressed BMP files of RGB rows, 24 bits a pixel or 8 with a
palette, written and read back."""
import struct


def write_bmp(path, img, palette_ok=True):
    """24 bits a pixel, or 8 with a palette when the picture has 256 colours
    or fewer and `palette_ok`: a third of the size, the same pixels."""
    h, w = len(img), len(img[0])
    colours = sorted({p for row in img for p in row})
    bits = 8 if palette_ok and len(colours) <= 256 else 24
    index = {c: i for i, c in enumerate(colours)}
    stride = (w * bits // 8 + 3) & ~3
    body = bytearray()
    for row in reversed(img):                      # BMP rows run bottom-up
        if bits == 8:
            line = bytes(index[p] for p in row)
        else:
            line = b"".join(bytes((b, g, r)) for r, g, b in row)
        body += line + b"\0" * (stride - len(line))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours) \
        if bits == 8 else b""
    off = 54 + len(table)
    head = struct.pack("<2sIHHI", b"BM", off + len(body), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(body),
                       2835, 2835, len(table) // 4, 0)
    with open(path, "wb") as f:
        f.write(head + info + table + body)


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    off, = struct.unpack_from("<I", data, 10)
    w, h, _, bits, comp = struct.unpack_from("<iiHHI", data, 18)
    assert bits in (8, 24) and comp == 0, path
    used, = struct.unpack_from("<I", data, 46)
    table = [(data[54 + 4 * i + 2], data[54 + 4 * i + 1], data[54 + 4 * i])
             for i in range(used if bits == 8 else 0)]
    stride = (w * bits // 8 + 3) & ~3
    img = []
    for y in range(h):
        base = off + (h - 1 - y) * stride
        if bits == 8:
            img.append([table[data[base + x]] for x in range(w)])
        else:
            img.append([(data[base + 3 * x + 2], data[base + 3 * x + 1],
                         data[base + 3 * x]) for x in range(w)])
    return img

#!/usr/bin/env python3
"""Screen dumps of the X server (xwd -root) for the end-to-end tests and the README.

  xwd.py check-editor <dump>   checks the editor's first screen of the text "MMMM"
  xwd.py check-cursor <dump>   checks that the whole red cursor cell is on the screen
  xwd.py png <dump> <out.png>  converts the dump to PNG
"""
import struct
import sys
import zlib


def read_dump(path):
    """Answers width, height and a function from (x, y) to (r, g, b)."""
    data = open(path, 'rb').read()
    fields = struct.unpack_from('>25I', data, 0)
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line, colours = fields[7], fields[11], fields[12], fields[19]
    if bits_per_pixel not in (24, 32):
        sys.exit(f'unexpected {bits_per_pixel} bits per pixel')
    step = bits_per_pixel // 8
    offset = header_size + colours * 12
    endian = 'little' if byte_order == 0 else 'big'

    def pixel(x, y):
        at = offset + y * bytes_per_line + x * step
        value = int.from_bytes(data[at:at + step], endian)
        return (value >> 16) & 255, (value >> 8) & 255, value & 255

    return width, height, pixel


def check_editor(path):
    width, height, pixel = read_dump(path)
    red = (255, 0, 0)
    # The cursor cell: the topmost, leftmost red pixel of the screen.
    corner = next(((x, y) for y in range(height) for x in range(width) if pixel(x, y) == red), None)
    if corner is None:
        sys.exit('no red cursor cell on the screen')
    cx, cy = corner
    # Courier New 9 pt at 96 dpi: cells of 7 x 14 pixels. The cell is red with a white M.
    cell = [pixel(cx + x, cy + y) for x in range(7) for y in range(14)]
    if sum(p == red for p in cell) < 40 or (255, 255, 255) not in cell:
        sys.exit('the cursor cell is not a white letter on red')
    # The rest of "MMMM" follows in black.
    text = [pixel(cx + x, cy + y) for x in range(7, 28) for y in range(14)]
    if (0, 0, 0) not in text:
        sys.exit('no black text after the cursor cell')
    # The guide lines cross at the cursor: light grey along the row's lower edge.
    if pixel(cx + 100, cy + 14) != (192, 192, 192):
        sys.exit(f'no row guide line below the cursor: {pixel(cx + 100, cy + 14)}')
    # Away from the text the background picture shows: light colours, not white.
    far = pixel(cx + 300, cy + 200)
    if far == (255, 255, 255) or min(far) < 200:
        sys.exit(f'the background picture does not show: {far}')


def check_cursor(path):
    width, height, pixel = read_dump(path)
    red = [(x, y) for y in range(height) for x in range(width) if pixel(x, y) == (255, 0, 0)]
    if len(red) < 40:
        sys.exit(f'no cursor cell on the screen ({len(red)} red pixels)')
    # Courier New 9 pt: a cell of 7 x 14 pixels, all of it inside the screen.
    xs = [x for x, _ in red]
    ys = [y for _, y in red]
    size = (max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)
    if size != (7, 14):
        sys.exit(f'the cursor cell shows {size[0]} x {size[1]} pixels at {min(xs)},{min(ys)}')


def to_png(path, out):
    width, height, pixel = read_dump(path)
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw += bytes(pixel(x, y))

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    header = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header)
    png += chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b'')
    open(out, 'wb').write(png)


if __name__ == '__main__':
    if len(sys.argv) == 3 and sys.argv[1] == 'check-editor':
        check_editor(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == 'check-cursor':
        check_cursor(sys.argv[2])
    elif len(sys.argv) == 4 and sys.argv[1] == 'png':
        to_png(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)

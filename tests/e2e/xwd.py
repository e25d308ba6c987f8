#!/usr/bin/env python3
"""Screen dumps of the X server, in the xwd format, for the end-to-end tests and the README.

  xwd.py grab <dump>           dumps the whole screen as the X server holds it
  xwd.py check-editor <dump>   checks the editor's first screen of the text "MMMM"
  xwd.py check-cursor <dump>   checks that the whole red cursor cell is on the screen
  xwd.py check-first-cell <dump>
                               checks that the cursor cell is on the text's first row and
                               column, at the screen's left edge just under the title bar
  xwd.py check-picture <dump> checks that the background picture shows in the screen's
                               lower right quarter, where no short text reaches
  xwd.py check-active-title <dump>
                               checks that the editor's title bar, at the top of the screen,
                               shows the active colour, not the grey of an inactive window
  xwd.py check-box <dump> <x> <y> <width> <height>
                               checks that a message box is drawn there: dialog colour,
                               dark text and an OK button
  xwd.py png <dump> <out.png>  converts the dump to PNG
"""
import ctypes
import struct
import sys
import zlib


class XImage(ctypes.Structure):
    """The leading fields of Xlib's XImage."""
    _fields_ = [('width', ctypes.c_int), ('height', ctypes.c_int), ('xoffset', ctypes.c_int),
                ('format', ctypes.c_int), ('data', ctypes.POINTER(ctypes.c_char)),
                ('byte_order', ctypes.c_int), ('bitmap_unit', ctypes.c_int),
                ('bitmap_bit_order', ctypes.c_int), ('bitmap_pad', ctypes.c_int),
                ('depth', ctypes.c_int), ('bytes_per_line', ctypes.c_int),
                ('bits_per_pixel', ctypes.c_int), ('red_mask', ctypes.c_ulong),
                ('green_mask', ctypes.c_ulong), ('blue_mask', ctypes.c_ulong)]


def grab(out):
    """Writes the root window's pixels, read in one XGetImage, as an xwd dump.

    Not `xwd -root`: where windows use a colormap other than the root's, as every Wine
    window does, xwd composes the screen window by window, and it shows a window lying
    wholly inside another (a message box over its dialog) as a black rectangle, although
    the screen holds the window's pixels."""
    x11 = ctypes.cdll.LoadLibrary('libX11.so.6')
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XDisplayWidth.argtypes = x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XGetImage.restype = ctypes.POINTER(XImage)
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                              ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit('no X display')
    width, height = x11.XDisplayWidth(display, 0), x11.XDisplayHeight(display, 0)
    all_planes, z_pixmap = 0xFFFFFFFF, 2
    image = x11.XGetImage(display, x11.XDefaultRootWindow(display), 0, 0, width, height,
                          all_planes, z_pixmap)
    if not image:
        sys.exit('the screen could not be read')
    im = image.contents
    if im.bits_per_pixel not in (24, 32):
        sys.exit(f'unexpected {im.bits_per_pixel} bits per pixel')
    pixels = ctypes.string_at(im.data, im.bytes_per_line * im.height)
    name = b'screen\0'
    fields = [100 + len(name), 7, z_pixmap, im.depth, im.width, im.height, 0, im.byte_order,
              im.bitmap_unit, im.bitmap_bit_order, im.bitmap_pad, im.bits_per_pixel,
              im.bytes_per_line, 4, im.red_mask, im.green_mask, im.blue_mask, 8, 256, 0,
              im.width, im.height, 0, 0, 0]
    with open(out, 'wb') as dump:
        dump.write(struct.pack('>25I', *fields) + name + pixels)


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
    return min(xs), min(ys)


def check_first_cell(path):
    left, top = check_cursor(path)
    # A title bar is some 20 pixels high; the window's border, if any, a few pixels wide.
    if left > 4 or not 10 <= top <= 40:
        sys.exit(f"the first row's first cell is at {left},{top}, not at the top left")


def check_picture(path):
    width, height, pixel = read_dump(path)
    # The sample picture's light colours, never pure white, stretched over the screen.
    points = [pixel(x, y) for y in range(height // 2, height, 16) for x in range(width // 2, width, 16)]
    white = sum(p == (255, 255, 255) for p in points)
    dark = sum(min(p) < 200 for p in points)
    if white > len(points) // 10 or dark > 0:
        sys.exit(f'the background picture does not show: {white} white and {dark} dark '
                 f'of {len(points)} points')


def check_active_title(path):
    width, _, pixel = read_dump(path)
    # Past the status text, at the right end of the title bar, before its buttons.
    colour = pixel(width * 3 // 4, 4)
    if colour[0] == colour[1] == colour[2]:
        sys.exit(f'the title bar is grey {colour}: the editor is not the active window')


def check_box(path, left, top, box_width, box_height):
    _, _, pixel = read_dump(path)
    area = [(x, y) for y in range(top, top + box_height) for x in range(left, left + box_width)]
    colours = {}
    for x, y in area:
        colours[pixel(x, y)] = colours.get(pixel(x, y), 0) + 1
    face, count = max(colours.items(), key=lambda item: item[1])
    if min(face) < 180 or count < len(area) // 2:
        sys.exit(f'the box is not mostly the dialog colour: {face} on {count} of {len(area)} pixels')
    dark = {(x, y) for x, y in area if max(pixel(x, y)) < 100}
    # The text above the button, and the button: a grey frame line at least 30 pixels
    # long in the lower half of the box.
    middle = top + box_height // 2
    if sum(1 for _, y in dark if top + 20 < y < middle + 5) < 15:
        sys.exit('no dark text in the box')
    longest = 0
    for y in range(middle, top + box_height - 3):
        run = 0
        for x in range(left + 3, left + box_width - 3):
            run = run + 1 if max(pixel(x, y)) < 180 else 0
            longest = max(longest, run)
    if longest < 30:
        sys.exit(f'no button frame in the lower half of the box (longest dark line {longest})')


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
    if len(sys.argv) == 3 and sys.argv[1] == 'grab':
        grab(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == 'check-editor':
        check_editor(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == 'check-cursor':
        check_cursor(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == 'check-first-cell':
        check_first_cell(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == 'check-picture':
        check_picture(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == 'check-active-title':
        check_active_title(sys.argv[2])
    elif len(sys.argv) == 7 and sys.argv[1] == 'check-box':
        check_box(sys.argv[2], *map(int, sys.argv[3:]))
    elif len(sys.argv) == 4 and sys.argv[1] == 'png':
        to_png(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)

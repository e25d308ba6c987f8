#!/usr/bin/env bash
# Takes the README's screenshot of the editor window: the program runs in a private
# 1024 x 640 Xvfb display on samples/lettera.txt, and the screen is saved as docs/editor.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/build.sh" win
. "$root/scripts/wine-env.sh"
trap stop_wine_and_display EXIT
start_xvfb 1024x640x24
prepare_prefix "$root/build/wineprefix" test
start_wine_server

bmp=$(mktemp --suffix=.bmp)
SCREENSHOT_OUT=$bmp bash "$root/tests/e2e/e2e.sh" screenshot "$root/build/win/editor.exe" \
  "$root/build/win/tests/e2e/probe.exe" "$root/samples" >/dev/null
mkdir -p "$root/docs"
python3 - "$bmp" "$root/docs/editor.png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
offset, = struct.unpack_from('<I', data, 10)
width, height = struct.unpack_from('<ii', data, 18)
stride = (width * 3 + 3) // 4 * 4
raw = bytearray()
for y in range(height):
    row = data[offset + (height - 1 - y) * stride: offset + (height - 1 - y) * stride + width * 3]
    raw.append(0)
    for x in range(0, len(row), 3):
        raw += bytes((row[x + 2], row[x + 1], row[x]))
def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
png += chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b'')
open(sys.argv[2], 'wb').write(png)
PY
rm -f "$bmp"
echo "docs/editor.png written"

#!/usr/bin/env python3
"""Packs a folder into a zip that depends on nothing but the files' names and bytes.

  dist-zip.py <folder> <out.zip>

Entries come in byte order of their paths, every one dated SOURCE_DATE_EPOCH (UTC) and
marked as an ordinary file readable by all, so that the same files give the same zip on
any machine, whatever the files' own times and modes."""
import os
import sys
import time
import zipfile


def main(folder, out):
    stamp = time.gmtime(int(os.environ['SOURCE_DATE_EPOCH']))[:6]
    # The zip format counts from 1980.
    stamp = max(stamp, (1980, 1, 1, 0, 0, 0))
    paths = []
    for top, _, names in os.walk(folder):
        for name in names:
            paths.append(os.path.relpath(os.path.join(top, name), folder).replace(os.sep, '/'))
    with zipfile.ZipFile(out, 'w') as archive:
        for path in sorted(paths, key=lambda p: p.encode()):
            entry = zipfile.ZipInfo(path, stamp)
            entry.create_system = 3
            entry.external_attr = 0o100644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, path), 'rb') as source:
                archive.writestr(entry, source.read(), compresslevel=9)


if __name__ == '__main__':
    if len(sys.argv) != 3 or 'SOURCE_DATE_EPOCH' not in os.environ:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])

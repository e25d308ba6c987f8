#!/usr/bin/env python3
"""Takes the picture that a browser shows at the address that make run prints where there
is no display. Headless Chromium's own --screenshot takes it as soon as the page has
loaded, before noVNC has connected, and shows an empty page; this waits in real time until
the program's screen shows (up to 30 seconds), then a second more for the rest of it.

  browser-screenshot.py <address> <file.png>

Needs chromium ('scripts/deps.sh browser' installs it).
"""
import shutil
import sys
import tempfile
import time

from headless_browser import Browser

# Whether noVNC's canvas holds the screen yet: anything on it that is not black.
SHOWS_SCREEN = """(() => {
    const c = document.querySelector('#noVNC_container canvas');
    if (!c || !c.width) return false;
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    for (let i = 0; i < d.length; i += 4) if (d[i] || d[i + 1] || d[i + 2]) return true;
    return false; })()"""


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    address, picture = sys.argv[1:]
    profile = tempfile.mkdtemp()
    try:
        try:
            browser = Browser(profile)
        except OSError as error:
            sys.exit(f'headless Chromium does not start: {error}')
        try:
            browser.call('Page.navigate', url=address)
            end = time.monotonic() + 30
            while not browser.call('Runtime.evaluate', expression=SHOWS_SCREEN,
                                   returnByValue=True)['result'].get('value'):
                if time.monotonic() > end:
                    sys.exit('the browser shows no screen after 30 seconds')
                time.sleep(0.2)
            time.sleep(1)
            with open(picture, 'wb') as out:
                out.write(browser.png())
        finally:
            browser.close()
    finally:
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == '__main__':
    main()

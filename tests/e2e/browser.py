"""End-to-end test of the run without a display: run-program.sh starts editor.exe in its
private display, headless Chromium opens the address that the run prints and clicks "Load
file", xdotool drives the program on that display from there, and each step's windows must
look in the browser's own screenshot as they look on the display. Letters that the
display's keyboard lacks, typed in the browser, must reach the editor as typed. Closing
the start dialog must then end every process of the run.

  browser.py <run-program.sh> <editor.exe> <samples-folder> <wine-prefix>

Exits 77 (skipped) when Chromium cannot start. Needs Debian's python3 with python3-pil.
With BROWSER_SCREENSHOT=<file.png> it saves the browser's picture of the editor.
"""
import io
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageChops, ImageGrab

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'scripts'))
import headless_browser  # noqa: E402

DEFAULT_PORT = 6080


def fail(message):
    print(f'FAIL: {message}', file=sys.stderr)
    sys.exit(1)


class Browser(headless_browser.Browser):
    def screenshot(self):
        return Image.open(io.BytesIO(self.png())).convert('RGB')


def run_processes(variable):
    """The processes of a run: all of them, Wine's server too, carry the variable (NAME=value)
    that the run set or was given in its environment."""
    found = []
    for pid in filter(str.isdigit, os.listdir('/proc')):
        try:
            with open(f'/proc/{pid}/environ', 'rb') as environ:
                if variable.encode() in environ.read().split(b'\0'):
                    found.append(int(pid))
        except OSError:
            pass
    return found


def expect_run_ended(run, variable, status, port=None):
    """The run ends with the status, and leaves neither a process nor its port behind."""
    try:
        ended = run.wait(60)
    except subprocess.TimeoutExpired:
        fail(f'the run did not end (expected status {status})')
    if ended != status:
        fail(f'the run ended with {ended}, expected {status}')
    for _ in range(300):
        left = run_processes(variable)
        if not left:
            break
        time.sleep(0.1)
    if left:
        names = []
        for pid in left:
            try:
                with open(f'/proc/{pid}/cmdline') as cmdline:
                    names.append(cmdline.read().replace('\0', ' '))
            except OSError:
                pass
        fail(f'processes of the run left behind: {names}')
    if port and socket.socket().connect_ex(('127.0.0.1', port)) == 0:
        fail(f'port {port} still answers')


def read_address(run):
    """The address that a run without a display prints last, and its port; the lines before
    it tell of its progress."""
    for line in run.stdout:
        match = re.fullmatch(r'Open (http://127\.0\.0\.1:(\d+)/vnc\.html\?autoconnect=1&password=\S+) .*\n', line)
        if match:
            return match[1], int(match[2])
        if not line.startswith('make run: '):
            fail(f'the run printed {line!r}')
    fail('the run printed no address')


def run_display(session):
    """DISPLAY and XAUTHORITY of the run's private display, read from the run's own processes."""
    for pid in filter(str.isdigit, os.listdir('/proc')):
        try:
            if os.getsid(int(pid)) != session:
                continue
            with open(f'/proc/{pid}/environ', 'rb') as environ:
                env = dict(v.split(b'=', 1) for v in environ.read().split(b'\0') if b'=' in v)
        except OSError:
            continue
        if b'XAUTHORITY' in env and b'DISPLAY' in env:
            return env[b'DISPLAY'].decode(), env[b'XAUTHORITY'].decode()
    fail('no process of the run has the private display')


def xdotool(*args):
    return subprocess.run(['xdotool', *args], capture_output=True, text=True).stdout


def wait_window(pattern):
    """The first visible window whose title matches, waiting up to 60 seconds (a loaded
    machine starts Wine slowly); on failure the display is saved for a look."""
    for _ in range(600):
        found = xdotool('search', '--onlyvisible', '--name', pattern).split()
        if found:
            return found[0]
        time.sleep(0.1)
    ImageGrab.grab(xdisplay=os.environ['DISPLAY']).save('browser-no-window.png')
    fail(f'no window {pattern}')


def wait_title(window, pattern):
    """The window's title once it matches, waiting up to 60 seconds."""
    for _ in range(600):
        title = xdotool('getwindowname', window).rstrip('\n')
        if re.search(pattern, title):
            return title
        time.sleep(0.1)
    fail(f'the title is {title!r}, not matching {pattern!r}')


def press(window, *keys):
    xdotool('windowactivate', '--sync', window)
    xdotool('key', '--clearmodifiers', '--delay', '40', *keys)


def window_box(window):
    """x, y, width and height of a window on the screen. From xwininfo, as xdotool counts a
    window manager's frame offset twice."""
    info = subprocess.run(['xwininfo', '-id', window], capture_output=True, text=True).stdout
    return [int(re.search(rf'{name}:\s+(-?\d+)', info)[1])
            for name in ('Absolute upper-left X', 'Absolute upper-left Y', 'Width', 'Height')]


def expect_in_browser(browser, window, what):
    """The window's pixels on the display and in the browser's screenshot agree in every 8 x 8
    block, within the VNC encoding's loss; up to a minute is allowed for the update, which
    passes through the VNC server, the proxy and the browser on a loaded machine."""
    x, y, w, h = window_box(window)
    end = time.monotonic() + 60
    while time.monotonic() < end:
        display = ImageGrab.grab(xdisplay=os.environ['DISPLAY'])
        # Only the part of the window that lies on the screen can show anywhere.
        box = (max(x, 0), max(y, 0), min(x + w, display.width), min(y + h, display.height))
        screen = display.crop(box)
        low, high = screen.convert('L').getextrema()
        left, top = browser.canvas_position() or (-10000, 0)
        shot = browser.screenshot().crop((left + box[0], top + box[1], left + box[2], top + box[3]))
        worst = max(ImageChops.difference(screen, shot).convert('L').reduce(8).getdata())
        if high - low > 100 and worst < 24:
            return
        time.sleep(0.3)
    screen.save(f'browser-{what}-display.png')
    shot.save(f'browser-{what}-browser.png')
    fail(f'the browser does not show {what} (contrast {high - low}, worst block difference {worst})')


def main():
    run_program, editor, samples, prefix = sys.argv[1:5]
    work = tempfile.mkdtemp()
    # A busy default port must not fail the run: hold it while the run starts.
    holder = socket.socket()
    holder.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    try:
        holder.bind(('127.0.0.1', DEFAULT_PORT))
        holder.listen()
    except OSError:
        holder = None
    try:
        browser = Browser(f'{work}/profile')
    except OSError as error:
        print(f'SKIP: headless Chromium does not start here: {error}')
        sys.exit(77)
    run = subprocess.Popen(['bash', run_program, 'headless', editor, samples, prefix],
                           stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, text=True,
                           start_new_session=True)
    try:
        url, port = read_address(run)
        if holder and port == DEFAULT_PORT:
            fail('the run took the busy default port')
        os.environ['DISPLAY'], auth = run_display(run.pid)
        os.environ['XAUTHORITY'] = auth
        browser.call('Page.navigate', url=url)
        start = wait_window('^Test$')
        expect_in_browser(browser, start, 'start-dialog')
        # The mouse through the browser reaches the program: a click on "Load file".
        x, y, _, _ = window_box(start)
        browser.click(x + 60, y + 15)
        xdotool('windowactivate', '--sync', wait_window('^Open File$'))
        xdotool('type', '--delay', '30', 'lettera.txt')
        xdotool('key', 'Return')
        editor_window = wait_window('^F1=menu')
        expect_in_browser(browser, editor_window, 'editor')
        if os.environ.get('BROWSER_SCREENSHOT'):
            browser.screenshot().save(os.environ['BROWSER_SCREENSHOT'])
        # noVNC sends each letter's keysym; the VNC server gives it a spare key for the moment.
        xdotool('windowactivate', '--sync', editor_window)
        for column, letter in enumerate('èê€', start=2):
            browser.type(letter)
            wait_title(editor_window, rf' O: {column} .* - ChrCode: {letter}$')
        press(editor_window, 'Down', 'Down', 'Return')
        box = wait_window('^Talvermoor$')
        expect_in_browser(browser, box, 'message-box')

        # Closing the start dialog ends the program, and the run stops everything it started.
        press(box, 'Return')
        press(start, 'Escape')
        expect_run_ended(run, f'XAUTHORITY={auth}', 0, port)
    finally:
        browser.close()
        if run.poll() is None:
            os.killpg(run.pid, signal.SIGTERM)
            run.wait()
        shutil.rmtree(work, ignore_errors=True)
    print('ok: browser')


if __name__ == '__main__':
    main()

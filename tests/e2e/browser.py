"""End-to-end test of the run without a display: run-headless.sh starts editor.exe in its
private display, headless Chromium opens the address that the run prints and clicks "Load
file", xdotool drives the program on that display from there, and each step's windows must
look in the browser's own screenshot as they look on the display. Ctrl+C (SIGINT) must then
end every process of the run.

  browser.py <run-headless.sh> <editor.exe> <samples-folder> <wine-prefix>

Exits 77 (skipped) when Chromium cannot start. Needs Debian's python3 with python3-pil.
With BROWSER_SCREENSHOT=<file.png> it saves the browser's picture of the editor.
"""
import base64
import io
import json
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

DEFAULT_PORT = 6080


def fail(message):
    print(f'FAIL: {message}', file=sys.stderr)
    sys.exit(1)


class Browser:
    """Headless Chromium driven over its DevTools pipe (fds 3 and 4, NUL-ended JSON)."""

    def __init__(self, profile):
        commands, self.commands = os.pipe()
        self.replies, replies = os.pipe()

        def as_fds_3_and_4():
            os.dup2(commands, 3)
            os.dup2(replies, 4)

        self.process = subprocess.Popen(
            ['chromium', '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
             '--remote-debugging-pipe', f'--user-data-dir={profile}', '--window-size=1600,1000',
             '--disable-breakpad', 'about:blank'], preexec_fn=as_fds_3_and_4, pass_fds=(3, 4),
            start_new_session=True,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(commands)
        os.close(replies)
        self.pending, self.last_id, self.session = b'', 0, None
        page = next(t for t in self.call('Target.getTargets')['targetInfos'] if t['type'] == 'page')
        self.session = self.call('Target.attachToTarget', targetId=page['targetId'],
                                 flatten=True)['sessionId']

    def call(self, method, **params):
        self.last_id += 1
        message = {'id': self.last_id, 'method': method, 'params': params}
        if self.session:
            message['sessionId'] = self.session
        os.write(self.commands, json.dumps(message).encode() + b'\0')
        while True:
            while b'\0' not in self.pending:
                chunk = os.read(self.replies, 1 << 20)
                if not chunk:
                    raise OSError('the browser closed its pipe')
                self.pending += chunk
            line, self.pending = self.pending.split(b'\0', 1)
            reply = json.loads(line)
            if reply.get('id') == self.last_id:
                if 'error' in reply:
                    raise OSError(f'{method}: {reply["error"]}')
                return reply['result']

    def screenshot(self):
        return Image.open(io.BytesIO(base64.b64decode(
            self.call('Page.captureScreenshot', format='png')['data']))).convert('RGB')

    def canvas_position(self):
        """Where noVNC's canvas is on the page, once it shows the remote screen (or None)."""
        return self.call('Runtime.evaluate', returnByValue=True, expression="""(() => {
            const c = document.querySelector('#noVNC_container canvas');
            if (!c || !c.width) return null;
            const r = c.getBoundingClientRect();
            return [Math.round(r.x), Math.round(r.y)]; })()""")['result'].get('value')

    def click(self, x, y):
        """A left click on the remote screen's pixel x, y, through noVNC."""
        left, top = self.canvas_position()
        for kind, buttons in (('mouseMoved', 0), ('mousePressed', 1), ('mouseReleased', 0)):
            self.call('Input.dispatchMouseEvent', type=kind, x=left + x, y=top + y, button='left',
                      buttons=buttons, clickCount=1)
            time.sleep(0.1)

    def close(self):
        os.killpg(self.process.pid, signal.SIGKILL)
        self.process.wait()


def run_processes(auth):
    """The processes of the run: all of them, Wine's server too, carry its X authority file."""
    found = []
    for pid in filter(str.isdigit, os.listdir('/proc')):
        try:
            with open(f'/proc/{pid}/environ', 'rb') as environ:
                if f'XAUTHORITY={auth}'.encode() in environ.read().split(b'\0'):
                    found.append(int(pid))
        except OSError:
            pass
    return found


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
    run_headless, editor, samples, prefix = sys.argv[1:5]
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
    run = subprocess.Popen(['bash', run_headless, editor, samples, prefix], stdout=subprocess.PIPE,
                           stdin=subprocess.DEVNULL, text=True, start_new_session=True)
    try:
        line = run.stdout.readline()
        match = re.fullmatch(r'Open (http://127\.0\.0\.1:(\d+)/vnc\.html\?autoconnect=1&password=\S+) .*\n', line)
        if not match:
            fail(f'the run printed {line!r}')
        url, port = match[1], int(match[2])
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
        press(editor_window, 'Down', 'Down', 'Return')
        expect_in_browser(browser, wait_window('^Talvermoor$'), 'message-box')

        # Ctrl+C reaches the run's script; it must stop everything it started.
        run.send_signal(signal.SIGINT)
        try:
            status = run.wait(60)
        except subprocess.TimeoutExpired:
            fail('the run did not end after SIGINT')
        if status != 130:
            fail(f'the run ended with {status} after SIGINT')
        for _ in range(300):
            left = run_processes(auth)
            if not left:
                break
            time.sleep(0.1)
        if left:
            fail(f'processes of the run left behind: {[open(f"/proc/{pid}/cmdline").read() for pid in left]}')
        if socket.socket().connect_ex(('127.0.0.1', port)) == 0:
            fail(f'port {port} still answers')
    finally:
        browser.close()
        if run.poll() is None:
            os.killpg(run.pid, signal.SIGTERM)
            run.wait()
        shutil.rmtree(work, ignore_errors=True)
    print('ok: browser')


if __name__ == '__main__':
    main()

"""Headless Chromium driven over its DevTools pipe, for what looks at the program in a
browser: scripts/browser-screenshot.py and the end-to-end tests."""
import base64
import json
import os
import signal
import subprocess
import time


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

    def png(self):
        """The page as the browser shows it now, as PNG bytes."""
        return base64.b64decode(self.call('Page.captureScreenshot', format='png')['data'])

    def canvas_position(self):
        """Where noVNC's canvas is on the page, once it shows the remote screen (or None)."""
        return self.call('Runtime.evaluate', returnByValue=True, expression="""(() => {
            const c = document.querySelector('#noVNC_container canvas');
            if (!c || !c.width) return null;
            const r = c.getBoundingClientRect();
            return [Math.round(r.x), Math.round(r.y)]; })()""")['result'].get('value')

    def type(self, text):
        """Each character as a key pressed in the page, as a keyboard that has it types it."""
        for character in text:
            self.call('Input.dispatchKeyEvent', type='keyDown', key=character, text=character)
            self.call('Input.dispatchKeyEvent', type='keyUp', key=character)

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

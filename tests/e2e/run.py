"""End-to-end test of make run as a person starts and stops it, in one of its two modes:

- headless (no display): two runs at once both answer in the browser; Ctrl+C (SIGINT to
  the whole process group, as the terminal sends it) ends the first and leaves the second
  working; SIGTERM to the second's make alone ends it. (e2e.browser closes the start
  dialog of such a run.)
- display (a private Xvfb given as DISPLAY): two runs at once; Ctrl+C ends the first,
  SIGINT to the second's make alone ends it, and a third run ends when its start dialog
  closes.

After each end no process of the run is left, and without a display its port is closed.
The runs' processes are known by a variable that each run is given in its environment.

  run.py headless|display <checkout> <wine-prefix>

Exits 77 (skipped) when Chromium cannot start for the headless mode. Needs Debian's
python3 with python3-pil.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import uuid

from browser import (Browser, expect_in_browser, expect_run_ended, fail, read_address,
                     run_display, wait_window, window_box, xdotool)


class Run:
    """One make run, in a process group and session of its own."""

    def __init__(self, checkout, prefix, display):
        ident = str(uuid.uuid4())
        self.variable = f'RUN_TEST_ID={ident}'
        env = dict(os.environ, RUN_PREFIX=prefix, RUN_TEST_ID=ident)
        env.pop('DISPLAY', None)
        env.pop('XAUTHORITY', None)
        if display:
            env['DISPLAY'] = display
        self.process = subprocess.Popen(['make', '--no-print-directory', 'run'], cwd=checkout,
                                        env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        text=True, start_new_session=True)
        self.url = self.port = None

    def wait_started(self, display):
        if display:
            for line in self.process.stdout:
                if line.startswith('make run: the program runs on display'):
                    return
            fail('the run with a display did not start')
        self.url, self.port = read_address(self.process)

    def use_display(self):
        """Points xdotool and the screenshots at the run's private display."""
        os.environ['DISPLAY'], os.environ['XAUTHORITY'] = run_display(self.process.pid)

    def close_start_dialog(self):
        """Esc in the start dialog; a window that has only just appeared may refuse the
        focus for a moment."""
        dialog = wait_window('^Test$')
        command = ['xdotool', 'windowfocus', '--sync', dialog]
        for _ in range(600):
            if subprocess.run(command, capture_output=True).returncode == 0:
                break
            time.sleep(0.1)
        xdotool('key', 'Escape')

    def kill(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            self.process.wait()


def headless(checkout, prefix, work):
    try:
        browser = Browser(f'{work}/profile')
    except OSError as error:
        print(f'SKIP: headless Chromium does not start here: {error}')
        sys.exit(77)
    runs = []
    try:
        first, second = Run(checkout, prefix, None), Run(checkout, prefix, None)
        runs += [first, second]
        for run in runs:
            run.wait_started(None)
        if first.port == second.port:
            fail(f'both runs answer on port {first.port}')
        for run, what in ((first, 'first'), (second, 'second')):
            run.use_display()
            browser.call('Page.navigate', url=run.url)
            expect_in_browser(browser, wait_window('^Test$'), f'{what}-start-dialog')

        os.killpg(first.process.pid, signal.SIGINT)
        expect_run_ended(first.process, first.variable, -signal.SIGINT, first.port)
        # The second run still answers: "Load file" clicked in the browser opens its dialog.
        second.use_display()
        browser.call('Page.navigate', url=second.url)
        start = wait_window('^Test$')
        expect_in_browser(browser, start, 'second-start-dialog-again')
        x, y, _, _ = window_box(start)
        browser.click(x + 60, y + 15)
        wait_window('^Open File$')
        second.process.send_signal(signal.SIGTERM)
        expect_run_ended(second.process, second.variable, -signal.SIGTERM, second.port)
    finally:
        browser.close()
        for run in runs:
            run.kill()


def with_display(checkout, prefix):
    number, fd = os.pipe()
    xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(fd), '-screen', '0', '1280x800x24',
                             '-nolisten', 'tcp'], pass_fds=(fd,), stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(fd)
    display = ':' + os.read(number, 16).decode().strip()
    os.environ['DISPLAY'] = display
    os.environ.pop('XAUTHORITY', None)
    runs = []
    try:
        first, second = Run(checkout, prefix, display), Run(checkout, prefix, display)
        runs += [first, second]
        for run in runs:
            run.wait_started(display)
        os.killpg(first.process.pid, signal.SIGINT)
        expect_run_ended(first.process, first.variable, -signal.SIGINT)
        if second.process.poll() is not None:
            fail('the second run ended with the first')
        wait_window('^Test$')
        second.process.send_signal(signal.SIGINT)
        expect_run_ended(second.process, second.variable, -signal.SIGINT)

        third = Run(checkout, prefix, display)
        runs.append(third)
        third.wait_started(display)
        third.close_start_dialog()
        expect_run_ended(third.process, third.variable, 0)
    finally:
        for run in runs:
            run.kill()
        xvfb.kill()
        xvfb.wait()


def main():
    mode, checkout, prefix = sys.argv[1:4]
    work = tempfile.mkdtemp()
    try:
        if mode == 'headless':
            headless(checkout, prefix, work)
        else:
            with_display(checkout, prefix)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f'ok: run {mode}')


if __name__ == '__main__':
    main()

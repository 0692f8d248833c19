#!/usr/bin/env python3
"""The skinned main window and the licence dialog as a person meets them:
driven by real mouse and keyboard input (xdotool) on an Xvfb display of the
case's own, and read through the Windows API by tn-window-probe (places,
parents, visibility, styles, texts) and from screenshots (pixels). Every case
runs in the window prefix, one at a time; screenshots are kept under
<tree>/screenshots."""
import os
import shutil
import subprocess
import time
import zipfile

from harness import (OwnDisplay, PersistentServer, Receiver, assert_extracted, check, launch_records, main,
                     on_emulation_retrying, remove, scratch, start_wine, wait_for, wine, windows_path, wineserver)

PAYLOAD = os.environ['TN_PAYLOAD_ZIP']
PREFIX = os.environ['TN_WINDOW_PREFIX']
PORT = os.environ['TN_STAT_PORT']
DEFAULT_FOLDER = os.path.join(PREFIX, 'drive_c', 'Program Files', 'Tarnivo')
INSTALL_END = '安装已完成    100%'
EXIT_QUESTION = '确定要退出吗?'
EXIT_CAPTION = 'Tarnivo2.0安装'
IDYES, IDNO = 6, 7


class Window:
    """One top-level window of the installer's process and its controls."""

    def __init__(self, fields):
        (self.hwnd, self.cls, visible, iconic, enabled, left, top, right, bottom, style, self.owner,
         self.text) = fields
        self.visible, self.iconic, self.enabled = visible == '1', iconic == '1', enabled == '1'
        self.rect = (int(left), int(top), int(right), int(bottom))
        self.style = int(style, 16)
        self.controls = {}

    def control(self, control_id):
        check(control_id in self.controls, f'control {control_id} in {self.text!r}')
        return self.controls[control_id]


class Control:
    def __init__(self, fields):
        self.parent, self.hwnd, control_id, self.cls, visible = fields[:5]
        self.id, self.visible = int(control_id), visible == '1'
        self.rect = tuple(int(f) for f in fields[5:9])
        self.client = tuple(int(f) for f in fields[9:13])
        self.style = int(fields[13], 16)
        self.text = fields[14] if len(fields) > 14 else ''

    def centre(self):
        return (self.rect[0] + self.rect[2]) // 2, (self.rect[1] + self.rect[3]) // 2


class Session:
    """The installer started in the window prefix on the case's own display."""

    def __init__(self, tree, arguments='', current=None, env=None, prepare=None):
        """current: the installer's current folder (default: its own); env:
        more environment for the installer alone; prepare(folder) is called
        with the installer's folder before it starts."""
        self.tree = tree
        self.work = scratch(tree, 'window')
        self.display_owner = OwnDisplay()
        self.display = self.display_owner.__enter__()
        self.env = {'DISPLAY': self.display, 'TN_WINE_PREFIX': PREFIX}
        self.program = os.path.join(self.work, 'setup.exe')
        shutil.copy(tree.program('TNInstaller.exe'), self.program)
        if prepare:
            prepare(self.work)
        # Creates the prefix on first use, then keeps its server for the case.
        self.probe_run('running', 'C:\\none.exe')
        self.server = PersistentServer(PREFIX)
        self.run = start_wine(tree, tree.tool('tn-launch.exe'), windows_path(self.program), cwd=current or self.work,
                              env={**self.env, **(env or {}), 'TN_ARGUMENTS': arguments})
        wait_for(lambda: self.main_window() is not None and self.main_window().rect[2] > 0, 240,
                 'the installer window')

    def probe_run(self, *arguments):
        return wine(self.tree, self.tree.tool('tn-window-probe.exe'), '--installer', windows_path(self.program),
                    *arguments, env=self.env)

    def windows(self):
        code, out = self.probe_run('dump')
        windows = []
        for line in out.splitlines():
            fields = line.split('\t')
            if fields[0] == 'window':
                windows.append(Window(fields[1:]))
            elif fields[0] == 'control' and windows:
                control = Control(fields[1:])
                for window in windows:
                    if window.hwnd == control.parent or control.parent in {c.hwnd for c in window.controls.values()}:
                        window.controls[control.id] = control
        return windows if code == 0 else []

    def main_window(self):
        found = [w for w in self.windows() if w.cls == '#32770' and 1003 in w.controls]
        return found[0] if found else None

    def dialog_holding(self, control_id):
        found = [w for w in self.windows() if w.visible and control_id in w.controls]
        return found[0] if found else None

    def xdotool(self, *arguments):
        subprocess.run(['xdotool', *[str(a) for a in arguments]], env=dict(os.environ, DISPLAY=self.display),
                       check=True)

    def click(self, point):
        self.xdotool('mousemove', point[0], point[1], 'click', 1)

    def drag(self, start, end):
        steps = 6
        moves = []
        for step in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * step // steps
            y = start[1] + (end[1] - start[1]) * step // steps
            moves += ['mousemove', x, y, 'sleep', 0.2]
        self.xdotool('mousemove', start[0], start[1], 'mousedown', 1, 'sleep', 0.3, *moves, 'mouseup', 1)

    def screenshot(self, name):
        folder = os.path.join(self.tree.path, 'screenshots')
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name)
        subprocess.run(['import', '-display', self.display, '-window', 'root', path], check=True)
        return path

    def pixels(self, rect):
        """The screen's (r, g, b) pixels inside rect, row by row."""
        left, top, right, bottom = rect
        data = subprocess.run(['import', '-display', self.display, '-window', 'root', '-crop',
                               f'{right - left}x{bottom - top}+{left}+{top}', 'rgb:-'],
                              stdout=subprocess.PIPE, check=True).stdout
        return [tuple(data[i:i + 3]) for i in range(0, len(data), 3)]

    def ended(self):
        return self.run.process.poll() is not None

    def close(self):
        if not self.ended():
            subprocess.run([wineserver(), '-k'], env=dict(os.environ, WINEPREFIX=PREFIX), check=False)
            self.run.wait(60)
        self.server.stop()
        self.display_owner.__exit__(None, None, None)
        remove(self.work)


def button_face(install):
    """A patch of the install button left of its text: blue when agreed, grey when not."""
    return (install.rect[0] + 6, install.rect[1] + 8, install.rect[0] + 30, install.rect[1] + 22)


def mean_colour(pixels):
    return tuple(sum(p[i] for p in pixels) // len(pixels) for i in range(3))


def is_blue(colour):
    r, g, b = colour
    return b > r + 60 and b > 150


def is_grey(colour):
    r, g, b = colour
    return max(r, g, b) - min(r, g, b) < 24


def light_pixels(pixels):
    """Pixels the white marks give (over the blue banner none of its own is this light)."""
    return sum(1 for r, g, b in pixels if min(r, g, b) >= 200)


def dialog_units_width(window, units):
    """A template width in pixels, from a control that keeps its template
    size: 1007 ("同意并阅读", 42 dialog units wide). Base units are whole
    pixels, and the system rounds units x base / 4."""
    measured = window.control(1007).rect[2] - window.control(1007).rect[0]
    for base in range(4, 20):
        if (42 * base + 2) // 4 == measured:
            return (units * base + 2) // 4
    check(False, f'no base unit gives 42 dialog units as {measured} pixels')


def remove_installation():
    shutil.rmtree(DEFAULT_FOLDER, ignore_errors=True)


def ready_window(tree):
    """The ready window's places, the agreement toggle, keys that must not
    close it, the licence dialog and its four ways out, dragging and
    minimising."""
    session = Session(tree)
    try:
        window = session.main_window()
        banner = window.control(1003)
        check(window.rect == (0, 0, 479, 359), f'the window at {window.rect}')
        check(banner.rect == (0, 0, 479, 236), f'the banner at {banner.rect}')
        progress, status = window.control(1005), window.control(1004)
        check(progress.rect == (34, 284, 444, 294) and not progress.visible, f'progress bar {progress.rect}')
        check(not status.visible, 'the status text is hidden until installing')
        check(status.rect[2] - status.rect[0] == dialog_units_width(window, 84) + 20,
              f'status text {status.rect}: 20 pixels wider than its template')
        for control_id, place in ((1018, (449, 15)), (1017, (419, 15))):
            control = window.control(control_id)
            check(control.parent == banner.hwnd and control.rect[:2] == place and control.rect[2:] == (place[0] + 20,
                  place[1] + 20), f'{control_id} at {control.rect} in the banner')
            wait_for(lambda: light_pixels(session.pixels(control.rect)) > 0, 30, f'{control_id} to show its image')
        check(window.control(1016).parent == banner.hwnd, 'the logo lies on the banner')
        for control_id in (1009, 1007, 1008):
            check(window.control(control_id).rect[1] == 334, f'{control_id} in the agreement row')
        check(window.control(1006).text == 'C:\\Program Files\\Tarnivo', 'the default folder')
        print('screenshot:', session.screenshot('ready-window.png'))

        install, toggle = window.control(1010), window.control(1009)
        install_face = button_face(install)
        check(is_blue(mean_colour(session.pixels(install_face))), 'the install button starts blue')
        session.click(toggle.centre())
        wait_for(lambda: is_grey(mean_colour(session.pixels(install_face))), 30, 'the grey install button')
        session.click(install.centre())
        # Clicks are handled in order: once the toggle's next change shows,
        # the install click has been handled too.
        session.click(toggle.centre())
        wait_for(lambda: is_blue(mean_colour(session.pixels(install_face))), 30, 'the blue install button again')
        window = session.main_window()
        check(not window.control(1005).visible and window.control(1006).visible,
              'the grey install button started nothing')

        # Enter, Esc and Alt+F4 with the keyboard focus in the folder box:
        # the text typed before and after them arrives, the window stays.
        session.click(window.control(1006).centre())
        session.xdotool('key', 'End', 'type', 'x')
        session.xdotool('key', 'Return', 'key', 'Escape', 'key', 'alt+F4')
        session.xdotool('type', 'y')
        wait_for(lambda: session.main_window().control(1006).text.endswith('xy'), 30, 'the keys to be handled')
        window = session.main_window()
        check(window.visible and window.rect == (0, 0, 479, 359), 'Enter, Esc or Alt+F4 closed the window')

        check_licence_dialog(session)

        # Pressing on the banner, and on the logo, and dragging moves the window.
        session.drag((240, 150), (290, 190))
        wait_for(lambda: session.main_window().rect[:2] != (0, 0), 30, 'the window to move')
        moved = session.main_window().rect
        logo = session.main_window().control(1016)
        session.drag(logo.centre(), (logo.centre()[0] + 40, logo.centre()[1] + 30))
        wait_for(lambda: session.main_window().rect != moved, 30, 'the window to move by its logo')

        minimise = session.main_window().control(1017)
        session.click(minimise.centre())
        wait_for(lambda: session.main_window().iconic, 30, 'the window to be minimised')
    finally:
        session.close()


def check_licence_dialog(session):
    """The link opens the licence dialog over the main window's top-left
    corner; each of its ways out returns to the same window and flag."""
    link = session.main_window().control(1008)
    toggle = session.main_window().control(1009)
    install = session.main_window().control(1010)
    install_face = button_face(install)
    closes = [('the close mark', lambda d: session.click(d.control(1012).centre())),
              ('the close button', lambda d: session.click(d.control(1014).centre())),
              ('Esc', lambda d: session.xdotool('key', 'Escape')),
              ('Alt+F4', lambda d: session.xdotool('key', 'alt+F4'))]
    for index, (way, close) in enumerate(closes):
        # One of the closes with the agreement withdrawn: the flag comes back as it went.
        agreed = index != 2
        if not agreed:
            session.click(toggle.centre())
            wait_for(lambda: is_grey(mean_colour(session.pixels(install_face))), 30, 'the grey install button')
        main_before = session.main_window()
        session.click(link.centre())
        wait_for(lambda: session.dialog_holding(1015) is not None, 60, 'the licence dialog')
        dialog = session.dialog_holding(1015)
        check(dialog.rect == (main_before.rect[0], main_before.rect[1], main_before.rect[0] + 438,
                              main_before.rect[1] + 328), f'the licence dialog at {dialog.rect}')
        text = dialog.control(1015)
        check(text.rect == (dialog.rect[0], dialog.rect[1] + 36, dialog.rect[0] + 438, dialog.rect[1] + 36 + 257),
              f'its text area at {text.rect}')
        check(text.style & 0x0800, 'the text is read-only (ES_READONLY)')
        check(not session.main_window().enabled, 'the main window takes no input meanwhile')
        if index == 0:
            print('screenshot:', session.screenshot('licence-dialog.png'))
            before = text.text
            session.click(text.centre())
            session.xdotool('key', 'ctrl+End', 'type', 'zz', 'key', 'Down', 'Next', 'BackSpace', 'Delete')
            session.xdotool('key', 'Page_Down')
            time.sleep(1)
            check(session.dialog_holding(1015).control(1015).text == before, 'the licence text changed')
        if way in ('Esc', 'Alt+F4'):
            session.click(text.centre())  # the keyboard focus in the dialog
        close(dialog)
        wait_for(lambda: session.dialog_holding(1015) is None, 30, f'{way} to close the licence dialog')
        after = session.main_window()
        check(after.enabled and after.rect == main_before.rect, f'{way}: the main window as before')
        colour = mean_colour(session.pixels(install_face))
        check(is_blue(colour) if agreed else is_grey(colour), f'{way}: the agreement flag as before ({colour})')
        if not agreed:
            session.click(toggle.centre())
            wait_for(lambda: is_blue(mean_colour(session.pixels(install_face))), 30, 'the blue install button')


def exit_question(tree):
    """The close image asks; No leaves everything as it was, Yes ends the
    process with nothing installed and nothing reported."""
    remove_installation()
    session = Session(tree)
    receiver = Receiver(os.path.join(session.work, 'events.db'), PORT)
    try:
        before = session.main_window()
        close_image = before.control(1018)
        for answer in (IDNO, IDYES):
            session.click(close_image.centre())
            wait_for(lambda: any(w.text == EXIT_CAPTION for w in session.windows()), 60, 'the exit question')
            question = [w for w in session.windows() if w.text == EXIT_CAPTION][0]
            check(question.owner != '0' and EXIT_QUESTION in [c.text for c in question.controls.values()],
                  f'the question {[c.text for c in question.controls.values()]!r}')
            check(sorted(c.id for c in question.controls.values() if c.cls == 'Button') == [IDYES, IDNO],
                  'Yes and No')
            session.click(question.control(answer).centre())
            if answer == IDNO:
                wait_for(lambda: not any(w.text == EXIT_CAPTION for w in session.windows()), 30, 'the question to go')
                after = session.main_window()
                check(after.rect == before.rect and after.enabled, 'No changed the window')
                check({i: c.visible for i, c in after.controls.items()} ==
                      {i: c.visible for i, c in before.controls.items()}, 'No changed what the window shows')
        code, _ = session.run.wait(120)
        check(code == 0, f'exit code {code} after Yes')
        check(not os.path.exists(DEFAULT_FOLDER), 'something was installed')
        check(receiver.events() == [], f'reported: {receiver.events()!r}')
    finally:
        receiver.stop()
        session.close()


def install_by_mouse(tree):
    """The install button with the reference receiver running: the window's
    three events in order before the worker's, each correctly signed; the
    progress to 100 %, the product started, the window closed. Then again
    with nothing listening: the installation still completes."""
    for listening in (True, False):
        remove_installation()
        session = Session(tree)
        receiver = Receiver(os.path.join(session.work, 'events.db'), PORT) if listening else None
        try:
            watcher = start_wine(tree, tree.tool('tn-window-probe.exe'), '--installer', windows_path(session.program),
                                 'watch', '400', env=session.env)
            session.click(session.main_window().control(1010).centre())
            wait_for(lambda: session.main_window() is None or session.main_window().control(1005).visible, 60,
                     'the progress display')
            if listening:
                wait_for(lambda: len(receiver.events()) >= 3 or session.ended(), 60, 'the three reports')
                time.sleep(2)
                print('screenshot:', session.screenshot('install-progress.png'))
            code, _ = session.run.wait_watching(600, session.program)
            texts = [line.split('\t', 1)[1] for line in watcher.wait(120)[1].splitlines()]
            check(code == 0, f'installer exit code {code}')
            check(texts and texts[-1] == INSTALL_END, f'last text {texts[-1:]!r}')
            assert_extracted(PAYLOAD, DEFAULT_FOLDER)
            wait_for(lambda: any(start[0] == 'C:\\Program Files\\Tarnivo\\Tarnivo.exe'
                                 for start in launch_records(DEFAULT_FOLDER)), 60, 'the product to start')
            if listening:
                events = [e for e in receiver.events() if e['sub_channel'] == 'setup']
                check([e['code'] for e in events] == ['S2_d01', 'S2_d02', 'S2_i04', 'S2_i05'], f'events {events!r}')
                received = [e['received_at'] for e in events]
                check(received == sorted(received), 'in the order sent')
        finally:
            if receiver:
                receiver.stop()
            wine(tree, tree.tool('tn-window-probe.exe'), 'close-product', env=session.env)
            session.close()
    remove_installation()


def closed_during_the_run(tree):
    """The user answers Yes to the exit question while the worker runs: the
    process ends at once and cleanly, the extraction stops part of the way
    and the product is never started."""
    remove_installation()
    session = Session(tree)
    try:
        session.click(session.main_window().control(1010).centre())
        code, _ = session.probe_run('wait-percent', '10', '240')
        check(code == 0, 'the installer showed 10 %')
        session.click(session.main_window().control(1018).centre())
        wait_for(lambda: any(w.text == EXIT_CAPTION for w in session.windows()), 60, 'the exit question')
        question = [w for w in session.windows() if w.text == EXIT_CAPTION][0]
        session.click(question.control(IDYES).centre())
        code, _ = session.run.wait(120)
        # A worker touching a destroyed window object would crash instead.
        check(code == 0, f'installer exit code {code:#x}')
        # The product is started before the worker lets the window go, so a
        # start would show as a running process now.
        code, _ = session.probe_run('running', 'C:\\Program Files\\Tarnivo\\Tarnivo.exe')
        check(code == 1, 'the worker went on to start the product')
        with zipfile.ZipFile(PAYLOAD) as archive:
            entries = len(archive.infolist())
        written = sum(len(files) + len(folders) for _, folders, files in os.walk(DEFAULT_FOLDER))
        check(0 < written < entries, f'{written} of {entries} entries on disk: the extraction did not stop')
    finally:
        session.close()
        remove_installation()


def update_mode_window(tree):
    """Any command line: the progress display at once, no logo, minimise or
    close images; pressing on the progress bar and dragging does not move the
    window, pressing on the banner does."""
    session = Session(tree, '"' + windows_path(os.path.join(PREFIX, 'update-target')) + '"')
    try:
        window = session.main_window()
        check(window.rect == (0, 0, 479, 359), f'the window at {window.rect}')
        check(window.control(1005).visible and window.control(1004).visible, 'the progress display at once')
        for control_id in (1016, 1017, 1018):
            control = window.control(control_id)
            check(control.parent == window.hwnd, f'{control_id} stays on the window')
        for rect in ((449, 15, 459, 25), (419, 15, 429, 25), (11, 11, 60, 25)):
            check(light_pixels(session.pixels(rect)) == 0, f'an image shows at {rect}')
        code, _ = session.probe_run('wait-percent', '20', '240')
        print('screenshot:', session.screenshot('update-progress.png'))
        # A drag down and right on the bar, then one straight right on the
        # banner: handled in order, and only a window that stays at its
        # height shows that the first one moved nothing.
        bar = session.main_window().control(1005)
        session.drag(bar.centre(), (bar.centre()[0] + 40, bar.centre()[1] + 30))
        session.drag((240, 150), (300, 150))
        wait_for(lambda: session.ended() or session.main_window().rect[0] != 0, 30, 'the banner drag to move it')
        check(session.ended() or session.main_window().rect[1] == 0, 'dragging the progress bar moved the window')
        session.run.wait(600)
    finally:
        session.close()
        shutil.rmtree(os.path.join(PREFIX, 'update-target'), ignore_errors=True)


if __name__ == '__main__':
    # The session ends its own prefix's processes whichever way it ends.
    main({'ready_window': ready_window, 'exit_question': exit_question,
          'install_by_mouse': lambda tree: on_emulation_retrying(tree, lambda: install_by_mouse(tree), lambda: None),
          'closed_during_the_run': closed_during_the_run, 'update_mode_window': update_mode_window})

#!/usr/bin/env python3
"""The update run's skinned progress bar, seen on the screen. At about a
third a screenshot is taken and kept under the build tree
(<tree>/screenshots/update-run-third.png); the bar in it must be the fill
image over its share of the bar and the track image over the rest, all
eight rows of both, as the images are drawn at their own height. Where the
bar lies is read from the window (tn-window-probe controls)."""
import os
import subprocess

from harness import OwnDisplay, ROOT, Skip, check, main, remove, scratch, start_wine, wait_for, windows_path

UPDATE_PREFIX = '版本更新中. . .    '
SKIN = os.path.join(ROOT, 'res', 'skin')
ROWS = 8


def read_ppm(data):
    """(width, height, rows of (r, g, b) tuples) from binary PPM bytes."""
    fields, position = [], 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b'#':
            position = data.index(b'\n', position)
            continue
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    check(fields[0] == b'P6' and fields[3] == b'255', f'not an 8-bit PPM: {fields}')
    width, height = int(fields[1]), int(fields[2])
    pixels = data[position + 1:]
    rows = [[tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)] for y in range(height)]
    return width, height, rows


def as_ppm(path):
    return read_ppm(subprocess.run(['convert', path, 'ppm:-'], stdout=subprocess.PIPE, check=True).stdout)


def row_colours(png):
    """The colour of each row of an opaque skin strip, which is the same across it."""
    _, height, rows = as_ppm(os.path.join(SKIN, png))
    for row in rows:
        check(len(set(row)) == 1, f'{png}: a row of one colour')
    return [row[0] for row in rows]


def percents(watcher):
    """The percentages the status text has shown so far."""
    # Read without moving the file's offset, which the running watcher shares.
    descriptor = watcher.out.fileno()
    written = os.pread(descriptor, os.fstat(descriptor).st_size, 0)
    # A line is the text, or a time stamp, a tab and the text.
    lines = [line.split('\t')[-1] for line in written.decode('utf-8', 'replace').splitlines()]
    return [int(line[len(UPDATE_PREFIX):-1]) for line in lines
            if line.startswith(UPDATE_PREFIX) and line.endswith('%') and line[len(UPDATE_PREFIX):-1].isdigit()]


def controls(probe):
    """id -> (visible, window rectangle, client rectangle), from a finished
    `tn-window-probe controls`."""
    code, out = probe.wait(timeout=60)
    check(code == 0, 'the installer window was found')
    found = {}
    for line in out.splitlines():
        fields = [int(f) for f in line.split()]
        found[fields[0]] = (fields[1] == 1, tuple(fields[2:6]), tuple(fields[6:10]))
    return found


def check_bar(rows, bar, fill, track, before, after):
    """The fill over floor(width x position / 100) columns of the bar's
    client area and the track over the rest, in all eight rows of the
    images and no further down. Returns the width, the filled width and the
    position it stands for."""
    left, top, right, bottom = bar
    width = right - left
    filled = []
    for r in range(ROWS):
        row = rows[top + r]
        x = left
        while x < right and row[x] == fill[r]:
            x += 1
        filled.append(x - left)
        for x in range(left + filled[-1], right):
            check(row[x] == track[r], f'track at ({x}, {top + r}): {row[x]} for {track[r]}')
    check(len(set(filled)) == 1, f'every row filled as far: {filled}')
    shown = [p for p in range(before - 1, after + 2) if filled[0] == width * p // 100]
    check(shown, f'{filled[0]} of {width} pixels filled, for a position between {before} and {after}')
    if bottom - top > ROWS:
        below = rows[top + ROWS][left:right]
        check(fill[ROWS - 1] not in below and track[ROWS - 1] not in below, 'nothing below the images\' height')
    return width, filled[0], shown[0]


def overlapping(bar, placed):
    """The visible controls whose window overlaps the bar's client area."""
    left, top, right, bottom = bar
    return [id for id, (visible, (l, t, r, b), _) in placed.items()
            if id != 1005 and visible and l < right and left < r and t < bottom and top < b]


def update_run_screenshot(tree):
    work = scratch(tree, 'skin')
    target = os.path.join(work, 'target')
    current = os.path.join(work, 'current')
    os.makedirs(current)
    shots = os.path.join(tree.path, 'screenshots')
    os.makedirs(shots, exist_ok=True)
    screenshot = os.path.join(shots, 'update-run-third.png')
    if os.path.exists(screenshot):
        os.remove(screenshot)

    with OwnDisplay() as display:
        env = {'DISPLAY': display}
        watcher = start_wine(tree, tree.tool('tn-window-probe.exe'), 'watch', '240', env=env)
        installer = start_wine(tree, tree.tool('tn-launch.exe'), windows_path(tree.program('TNInstaller.exe')),
                               cwd=current, env=dict(env, TN_ARGUMENTS='"' + windows_path(target) + '"'))
        wait_for(lambda: percents(watcher), 240, 'the first percentage')
        # The places do not change during the run; asked now, the probe's
        # start (seconds under qemu) does not race the run's end.
        probe = start_wine(tree, tree.tool('tn-window-probe.exe'), 'controls', env=env)
        wait_for(lambda: any(p >= 30 for p in percents(watcher)), 240, 'the run to reach 30%')
        before = max(percents(watcher))
        subprocess.run(['import', '-display', display, '-window', 'root', screenshot], check=True)
        after = max(percents(watcher))
        placed = controls(probe)
        code, _ = installer.wait(timeout=300)
        watcher.wait(timeout=60)
        start_wine(tree, tree.tool('tn-window-probe.exe'), 'close-product', env=env).wait(timeout=60)
    check(code == 0, f'installer exit code {code}')

    check(1005 in placed and placed[1005][0], 'the progress bar is shown')
    bar = placed[1005][2]
    remove(work)
    print(f'screenshot: {screenshot}')
    # Siblings paint over the bar where they overlap it (the folder box, at
    # the template's places, with its caret); the bar cannot be judged there.
    covering = overlapping(bar, placed)
    if covering:
        raise Skip(f'controls {covering} lie over the progress bar at {bar}: the window keeps its template\'s '
                   f'places until it is laid out, so the bar cannot be seen whole')
    _, _, rows = as_ppm(screenshot)
    width, filled, position = check_bar(rows, bar, row_colours('151-progress-fill.png'),
                                        row_colours('150-progress-track.png'), before, after)
    print(f'bar client area at ({bar[0]}, {bar[1]}), {width} wide: {filled} filled ({position}%)')


if __name__ == '__main__':
    main({'update_run_screenshot': update_run_screenshot})

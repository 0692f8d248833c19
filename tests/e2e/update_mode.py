#!/usr/bin/env python3
"""The installer started by the product for an update, checked from outside:
the quoted-folder form extracts the whole payload, shows the update texts,
starts the installed product (not a program of its name in the current
folder) and ends by itself. (The window ended
during a run is window.py's: only install mode has a way to end it.)"""
import os
import shutil

from harness import (assert_extracted, check, launch_records, main, remove, scratch, start_wine, wait_for, wine,
                     windows_path)

PAYLOAD = os.environ['TN_PAYLOAD_ZIP']
UPDATE_PREFIX = '版本更新中. . .    '
UPDATE_TEXT_END = '更新已完成    100%'


def extract_only_update(tree):
    work = scratch(tree, 'update')
    target = os.path.join(work, 'target')
    current = os.path.join(work, 'current')
    os.makedirs(current)
    # A program of the product's name in the installer's current folder,
    # where a start by bare name would find it: it must never run.
    shutil.copy(tree.program('Tarnivo.exe'), current)
    installer = os.path.join(work, 'TNInstaller.exe')
    shutil.copy(tree.program('TNInstaller.exe'), installer)

    watcher = start_wine(tree, tree.tool('tn-window-probe.exe'), '--installer', windows_path(installer), 'watch', '240')
    code, _ = wine(tree, tree.tool('tn-launch.exe'), windows_path(installer),
                   cwd=current, env={'TN_ARGUMENTS': '"' + windows_path(target) + '"'}, timeout=300)
    check(code == 0, f'installer exit code {code}')
    texts = [line.split('\t', 1)[1] for line in watcher.wait(timeout=60)[1].splitlines()]

    entries = assert_extracted(PAYLOAD, target)
    check(entries > 0, 'the payload has entries')

    # The installed copy, by its full path, with its path as its command
    # line and the installer's current folder as its own.
    wait_for(lambda: launch_records(target), 30, 'the product to start')
    starts = [start[:2] for start in launch_records(target)]
    check(starts == [(windows_path(target) + '\\Tarnivo.exe', windows_path(current))], f'launch record {starts!r}')
    check(not launch_records(current), 'the program in the current folder was started')

    # The template's own text may be read before the window has initialised,
    # and a watcher that starts late misses the first values.
    texts = [t for t in texts if t != '安装中. . .']
    check(texts and texts[-1] == UPDATE_TEXT_END, f'last text {texts[-1:]!r}')
    check(all(t.startswith(UPDATE_PREFIX) and t.endswith('%') for t in texts[:-1]), f'update wording {texts[:3]!r}')
    percents = [int(t[len(UPDATE_PREFIX):-1]) for t in texts[:-1]]
    check(percents and percents == sorted(set(percents)) and percents[-1] <= 99, f'percentages {percents[:5]!r}...')
    wine(tree, tree.tool('tn-window-probe.exe'), 'close-product')
    remove(work)


if __name__ == '__main__':
    main({'extract_only_update': extract_only_update})

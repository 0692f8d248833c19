#!/usr/bin/env python3
"""The installer started by the product for an update, checked from outside:
the quoted-folder form extracts the whole payload, shows the update texts,
starts the product in its update form and ends by itself."""
import os
import shutil
import time

from harness import (assert_extracted, check, main, remove, scratch, start_wine, wait_for, wine,
                     windows_path)

PAYLOAD = os.environ['TN_PAYLOAD_ZIP']
UPDATE_PREFIX = '版本更新中. . .    '
UPDATE_TEXT_END = '更新已完成    100%'


def extract_only_update(tree):
    work = scratch(tree, 'update')
    target = os.path.join(work, 'target')
    current = os.path.join(work, 'current')
    os.makedirs(current)
    # The update form names "Tarnivo.exe" alone: it is found in the installer's current folder.
    shutil.copy(tree.program('Tarnivo.exe'), current)

    watcher = start_wine(tree, tree.program('tn-window-probe.exe'), 'watch', '240')
    code, _ = wine(tree, tree.program('tn-launch.exe'), windows_path(tree.program('TNInstaller.exe')),
                   cwd=current, env={'TN_ARGUMENTS': '"' + windows_path(target) + '"'}, timeout=300)
    check(code == 0, f'installer exit code {code}')
    texts = watcher.wait(timeout=60)[1].splitlines()

    entries = assert_extracted(PAYLOAD, target)
    check(entries > 0, 'the payload has entries')

    log = os.path.join(current, 'launch.log')
    wait_for(lambda: os.path.exists(log), 30, 'the product to start')
    with open(log, encoding='utf-8') as records:
        lines = records.read().splitlines()
    check(lines == [windows_path(target) + '\\Tarnivo.exe\t' + windows_path(current)],
          f'launch record {lines!r}')
    check(not os.path.exists(os.path.join(target, 'launch.log')), 'the extracted copy was started')

    # The template's own text may be read before the window has initialised,
    # and a watcher that starts late misses the first values.
    texts = [t for t in texts if t != '安装中. . .']
    check(texts and texts[-1] == UPDATE_TEXT_END, f'last text {texts[-1:]!r}')
    check(all(t.startswith(UPDATE_PREFIX) and t.endswith('%') for t in texts[:-1]), f'update wording {texts[:3]!r}')
    percents = [int(t[len(UPDATE_PREFIX):-1]) for t in texts[:-1]]
    check(percents and percents == sorted(set(percents)) and percents[-1] <= 99, f'percentages {percents[:5]!r}...')
    wine(tree, tree.program('tn-window-probe.exe'), 'close-product')
    remove(work)


def window_closed_during_the_run(tree):
    """The user ends the window while the worker runs: the process ends at
    once and cleanly, never through a worker that outlived its window, and
    the worker gets no further (the product is never started)."""
    work = scratch(tree, 'closed')
    target = os.path.join(work, 'target')
    shutil.copy(tree.program('Tarnivo.exe'), work)
    installer = start_wine(tree, tree.program('tn-launch.exe'), windows_path(tree.program('TNInstaller.exe')),
                           cwd=work, env={'TN_ARGUMENTS': '"' + windows_path(target) + '"'})
    wait_for(lambda: os.path.isdir(target), 120, 'the extraction to start')
    time.sleep(0.5)
    closed_at = time.time()
    code, _ = wine(tree, tree.program('tn-window-probe.exe'), 'close-installer')
    check(code == 0, 'the installer window was found')
    code, _ = installer.wait(timeout=60)
    # A worker touching a destroyed window object would crash the process
    # instead of this clean end.
    check(code == 0, f'installer exit code {code:#x}')
    check(time.time() - closed_at < 20, 'the process ended soon after its window')
    time.sleep(2)
    check(not os.path.exists(os.path.join(work, 'launch.log')), 'the worker went on to start the product')
    remove(work)


if __name__ == '__main__':
    main({'extract_only_update': extract_only_update, 'window_closed_during_the_run': window_closed_during_the_run})

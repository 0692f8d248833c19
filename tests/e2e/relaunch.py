#!/usr/bin/env python3
"""The relaunch starts only this installer. While the installer runs its own
file cannot be renamed (nor so replaced); and an installer whose file lacks
".exe" relaunches nothing, not even the file of the rebuilt name that lies
beside it, while it still ends the running product and installs."""
import os
import shutil

from harness import assert_extracted, check, launch_records, main, remove, scratch, start_wine, wait_for, wine, \
    windows_path

PAYLOAD = os.environ['TN_PAYLOAD_ZIP']
PROCESSES_PREFIX = os.environ['TN_PROCESSES_PREFIX']
ERROR_SHARING_VIOLATION = '32'


def own_file_cannot_be_renamed(tree):
    from window import Session
    session = Session(tree)
    try:
        def rename(path):
            return wine(tree, tree.tool('tn-system-probe.exe'), 'rename', windows_path(path),
                        windows_path(path + '.moved'), env=session.env)
        code, out = rename(session.program)
        check(code == 1 and out.strip() == ERROR_SHARING_VIOLATION,
              f'renaming the running installer: exit code {code}, error {out.strip()!r}')
        check(os.path.exists(session.program), 'the installer file moved')
        # A copy beside it that is not running moves: the running one is held.
        idle = os.path.join(session.work, 'idle.exe')
        shutil.copy(session.program, idle)
        code, out = rename(idle)
        check(code == 0 and os.path.exists(idle + '.moved'), f'renaming an idle copy: exit code {code}, {out!r}')
    finally:
        session.close()


def file_without_exe_relaunches_nothing(tree):
    env = {'TN_WINE_PREFIX': PROCESSES_PREFIX}
    work = scratch(tree, 'relaunch')
    running, downloads, current, target = (os.path.join(work, name)
                                           for name in ('running', 'downloads', 'current', 'target'))
    for folder in (running, downloads, current):
        os.makedirs(folder)
    # A running product, so that the installer would relaunch itself.
    shutil.copy(tree.program('Tarnivo.exe'), running)
    product = start_wine(tree, os.path.join(running, 'Tarnivo.exe'), env=env)
    wait_for(lambda: launch_records(running), 60, 'the running product')
    # The installer as "Tarnivo_setup"; its rebuilt path names the file beside it.
    installer = os.path.join(downloads, 'Tarnivo_setup')
    shutil.copy(tree.program('TNInstaller.exe'), installer)
    shutil.copy(tree.program('Tarnivo.exe'), os.path.join(downloads, 'Tarnivo_setup.exe'))

    code, _ = wine(tree, tree.tool('tn-launch.exe'), windows_path(installer), cwd=current,
                   env={**env, 'TN_ARGUMENTS': '"' + windows_path(target) + '"'}, timeout=300)
    check(code == 0, f'installer exit code {code}')
    product.wait(60)  # ended by the installer
    # A relaunch would have started before the first copy was ended, long
    # before the installed product starts at the end.
    wait_for(lambda: launch_records(target), 60, 'the installed product to start')
    check(not launch_records(downloads), f'started beside the installer: {launch_records(downloads)!r}')
    assert_extracted(PAYLOAD, target)
    wine(tree, tree.tool('tn-window-probe.exe'), 'close-product', env=env)
    remove(work)


if __name__ == '__main__':
    main({'own_file_cannot_be_renamed': own_file_cannot_be_renamed,
          'file_without_exe_relaunches_nothing': file_without_exe_relaunches_nothing})

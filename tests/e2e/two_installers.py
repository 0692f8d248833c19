#!/usr/bin/env python3
"""Two installers started at once in update mode on the same folder, as a
relaunch leaves them: the second waits until the first has finished before
it writes anything, then extracts over the finished files; afterwards every
file holds the archive's bytes. Runs in the processes prefix."""
import os
import shutil

from harness import assert_extracted, check, main, remove, scratch, start_wine, windows_path

PAYLOAD = os.environ['TN_PAYLOAD_ZIP']
PREFIX = os.environ['TN_PROCESSES_PREFIX']
UPDATE_END = '更新已完成    100%'


def timed_texts(output):
    """(Unix time in ms, text) of every status text a watcher saw."""
    return [(int(line.split('\t', 1)[0]), line.split('\t', 1)[1]) for line in output.splitlines()]


def two_installers_on_one_folder(tree):
    env = {'TN_WINE_PREFIX': PREFIX}
    work = scratch(tree, 'two')
    target = os.path.join(work, 'target')
    programs = [os.path.join(work, name) for name in ('first.exe', 'second.exe')]
    watchers, runs = [], []
    for program in programs:
        shutil.copy(tree.program('TNInstaller.exe'), program)
        watchers.append(start_wine(tree, tree.tool('tn-window-probe.exe'), '--installer', windows_path(program),
                                   'watch', '400', env=env))
    for program in programs:
        runs.append(start_wine(tree, tree.tool('tn-launch.exe'), windows_path(program), cwd=work,
                               env={'TN_ARGUMENTS': '"' + windows_path(target) + '"', **env}))
    for run in runs:
        code, _ = run.wait(600)
        check(code == 0, f'installer exit code {code}')
    seen = [timed_texts(watcher.wait(60)[1]) for watcher in watchers]

    for texts in seen:
        check(texts and texts[-1][1] == UPDATE_END, f'an installer did not finish: {texts[-3:]!r}')
    ends = [texts[-1][0] for texts in seen]
    first, second = (0, 1) if ends[0] <= ends[1] else (1, 0)
    # The waiting one shows only its first text ("…0%", or the template's
    # before that) until the other has shown its end.
    progress = [(at, text) for at, text in seen[second] if not text.endswith('    0%') and text != '安装中. . .']
    check(progress and progress[0][0] >= ends[first],
          f'the second showed {progress[0][1]!r} at {progress[0][0]}, before the first ended at {ends[first]}')

    assert_extracted(PAYLOAD, target)
    leftovers = [name for _, _, files in os.walk(target) for name in files if name.startswith('~tn')]
    check(not leftovers, f'temporary files left: {leftovers[:3]!r}')
    remove(work)


if __name__ == '__main__':
    main({'two_installers_on_one_folder': two_installers_on_one_folder})

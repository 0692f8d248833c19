#!/usr/bin/env python3
"""Libraries planted where someone without administrator rights can put
files: the installer's own folder (Downloads, in practice) and the folder it
is started from. Each case first runs one of the installer's paths with
Wine's +loaddll trace and takes every library its process loads; then a
planted copy of each (tn-planted.dll, which records any load) lies in both
folders, and Wine is told to prefer such copies (WINEDLLOVERRIDES "=n,b"),
as Windows does for every library outside its known list. The path runs to
its end again, and no planted copy may have been loaded by the installer.

Left out: the known libraries, which Windows always takes from System32,
and the libraries they depend on, which Windows takes from System32 with
them. Wine does not: it looks for those in the program's folder too, before
the program's first instruction. They are the libraries Wine loads for
tn-known-imports, a program that imports the known libraries the installer
imports and does nothing."""
import os
import re
import shutil
import subprocess

from harness import (PlatformBreakdown, Receiver, assert_extracted, check, launch_records, main, on_emulation_retrying,
                     remove, scratch, start_wine, wait_for, wine, windows_path)
from program_shape import KNOWN_DLLS

PAYLOAD = os.environ['TN_PAYLOAD_ZIP']
PORT = os.environ['TN_STAT_PORT']

# What a review saw Windows' own libraries load by name on these paths;
# Wine's libraries load others, so these are planted too, traced or not.
WINDOWS_LOADS = {'uxtheme.dll', 'dwmapi.dll', 'version.dll', 'cryptbase.dll', 'propsys.dll', 'profapi.dll',
                 'windowscodecs.dll', 'oleacc.dll', 'userenv.dll', 'apphelp.dll'}
# The libraries the installer binds at their first call.
BOUND_AT_FIRST_CALL = {'gdiplus.dll', 'msimg32.dll', 'comctl32.dll', 'iphlpapi.dll', 'bcrypt.dll'}
LOADED = re.compile(r'^(\w+):\w+:trace:loaddll:\w+ Loaded L"((?:[^"\\]|\\.)*)" at \w+: (\w+)')


def loaded_libraries(trace, program_name):
    """{library file name: path} loaded by the process whose main module is
    program_name, from a +pid,+loaddll trace."""
    loads = [(match.group(1), match.group(2).replace('\\\\', '\\')) for match in map(LOADED.match, trace.splitlines())
             if match]
    processes = {pid for pid, path in loads if path.lower().endswith('\\' + program_name.lower())}
    check(processes, f'the trace shows no process of {program_name}')
    return {path.rsplit('\\', 1)[-1].lower(): path for pid, path in loads if pid in processes}


def imports(tree, program):
    machine = 'i686' if os.path.basename(tree.path) == 'win32' else 'x86_64'
    headers = subprocess.run([f'{machine}-w64-mingw32-objdump', '-p', program], stdout=subprocess.PIPE,
                             check=True).stdout.decode()
    return {name.lower() for name in re.findall(r'DLL Name: (\S+)', headers)}


def known_dependents(tree):
    """The libraries Wine loads before a program's first instruction for a
    program that imports the known libraries the installer imports."""
    reference = tree.program('tn-known-imports.exe')
    # A library outside the known ones in the installer's import table is
    # what the planting is to catch, not a dependent.
    installer = imports(tree, tree.program('TNInstaller.exe')) & KNOWN_DLLS
    check(imports(tree, reference) == installer,
          f'tn-known-imports imports {sorted(imports(tree, reference))}, the installer {sorted(installer)}: '
          'make them the same')
    run = start_wine(tree, reference, env={'WINEDEBUG': '+pid,+loaddll'})
    code, _ = run.wait(300)
    check(code == 0, f'tn-known-imports exit code {code}')
    return set(loaded_libraries(run.errors, 'tn-known-imports.exe'))


class Planting:
    """The planted copies, their overrides and the records of their loads."""

    def __init__(self, tree, work, names):
        self.names = sorted(names)
        self.markers = os.path.join(work, 'markers')
        os.makedirs(self.markers)
        self.library = tree.program('tn-planted.dll')
        overrides = ','.join(name[:-len('.dll')] for name in self.names)
        self.env = {'WINEDLLOVERRIDES': f'mscoree,mshtml=;winemenubuilder.exe=d;{overrides}=n,b',
                    'TN_PLANTED_MARKERS': windows_path(self.markers), 'WINEDEBUG': '+pid,+loaddll'}

    def plant(self, folder):
        for name in self.names:
            shutil.copy(self.library, os.path.join(folder, name))

    def loads_by(self, program_name, trace):
        """The planted copies the installer's process loaded: its records,
        and the trace's loads from outside the system's folders."""
        loaded = []
        for marker in sorted(os.listdir(self.markers)):
            with open(os.path.join(self.markers, marker), 'rb') as record:
                program, library = record.read().decode('utf-16-le').split('\t')
            if program.lower().endswith('\\' + program_name.lower()):
                loaded.append(library)
        loaded += [path for path in loaded_libraries(trace, program_name).values()
                   if not path.lower().startswith('c:\\windows\\') and not path.lower().endswith(program_name.lower())]
        return sorted(set(loaded))


def names_to_plant(tree, traced):
    names = {name for name in traced | WINDOWS_LOADS | BOUND_AT_FIRST_CALL if name.endswith('.dll')}
    return names - KNOWN_DLLS - known_dependents(tree)


def ended(run, wait, planting, program_name):
    """wait()'s result, once the planted copies are known to be unloaded: a
    planted copy the installer took may also have crashed it."""
    try:
        return wait()
    finally:
        if planting and hasattr(run, 'errors'):
            loaded = planting.loads_by(program_name, run.errors)
            check(not loaded, f'the installer loaded planted libraries: {loaded}')
            print(f'planted {len(planting.names)} libraries in both folders, none loaded: {" ".join(planting.names)}')


def run_update(tree, work, planting=None):
    """The extract-only update, started from work/current with the installer
    in work/downloads; returns its trace."""
    downloads, current, target = (os.path.join(work, name) for name in ('downloads', 'current', 'target'))
    for folder in (downloads, current):
        os.makedirs(folder)
        if planting:
            planting.plant(folder)
    installer = os.path.join(downloads, 'TNInstaller.exe')
    shutil.copy(tree.program('TNInstaller.exe'), installer)
    env = dict(planting.env) if planting else {'WINEDEBUG': '+pid,+loaddll'}
    env['TN_ARGUMENTS'] = '"' + windows_path(target) + '"'
    run = start_wine(tree, tree.tool('tn-launch.exe'), windows_path(installer), cwd=current, env=env)
    code, _ = ended(run, lambda: run.wait(300), planting, 'TNInstaller.exe')
    check(code == 0, f'installer exit code {code}')
    assert_extracted(PAYLOAD, target)
    wine(tree, tree.tool('tn-window-probe.exe'), 'close-product')
    return run.errors


def run_full_installation(tree, work, planting=None):
    """"folder|x" in the registration prefix, with its registration and its
    report; returns its trace."""
    from full_installation import Registration
    registration = Registration(tree)
    registration.clean()
    downloads, current, target = (os.path.join(work, name) for name in ('downloads', 'current', 'target'))
    for folder in (downloads, current):
        os.makedirs(folder)
        if planting:
            planting.plant(folder)
    installer = os.path.join(downloads, 'TNInstaller.exe')
    shutil.copy(tree.program('TNInstaller.exe'), installer)
    env = {**registration.env, **(planting.env if planting else {'WINEDEBUG': '+pid,+loaddll'}),
           'TN_ARGUMENTS': windows_path(target) + '|x'}
    receiver = Receiver(os.path.join(work, 'events.db'), PORT)
    try:
        run = start_wine(tree, tree.tool('tn-launch.exe'), windows_path(installer), cwd=current, env=env)
        code, _ = ended(run, lambda: run.wait_watching(300, installer), planting, 'TNInstaller.exe')
        check(code == 0, f'installer exit code {code}')
        assert_extracted(PAYLOAD, target)
        check(os.path.exists(registration.shortcut), 'the desktop shortcut')
        check([e['code'] for e in receiver.events()] == ['S2_i05'], f'reports {receiver.events()!r}')
        wait_for(lambda: launch_records(target), 60, 'the product to start')
        return run.errors
    finally:
        receiver.stop()
        registration.close()


def run_install_mode(tree, work, planting=None):
    """Install mode as a person goes through it: the licence dialog opened
    and closed, the folder box's browse dialog opened and cancelled, then the
    install button; returns the installer's trace."""
    from window import DEFAULT_FOLDER, Session, remove_installation
    remove_installation()
    current = os.path.join(work, 'current')
    os.makedirs(current)
    if planting:
        planting.plant(current)
    session = Session(tree, current=current, env=planting.env if planting else {'WINEDEBUG': '+pid,+loaddll'},
                      prepare=planting.plant if planting else None)
    try:
        window = session.main_window()
        session.click(window.control(1008).centre())
        wait_for(lambda: session.dialog_holding(1014) is not None, 60, 'the licence dialog')
        session.click(session.dialog_holding(1014).control(1014).centre())
        wait_for(lambda: session.dialog_holding(1014) is None, 60, 'the licence dialog to close')

        box = session.main_window().control(1006)
        session.click((box.rect[2] - 10, (box.rect[1] + box.rect[3]) // 2))
        wait_for_browse_dialog(tree, session)
        session.click(browse_dialog(session).control(2).centre())  # its Cancel button
        wait_for(lambda: browse_dialog(session) is None, 60, 'the browse dialog to close')

        session.click(session.main_window().control(1010).centre())
        code, _ = ended(session.run, lambda: session.run.wait_watching(600, session.program), planting, 'setup.exe')
        check(code == 0, f'installer exit code {code}')
        assert_extracted(PAYLOAD, DEFAULT_FOLDER)
        return session.run.errors
    finally:
        wine(tree, tree.tool('tn-window-probe.exe'), 'close-product', env=session.env)
        session.close()
        remove_installation()


def wait_for_browse_dialog(tree, session):
    try:
        wait_for(lambda: browse_dialog(session) is not None, 120, 'the browse dialog')
    except AssertionError:
        # Wine's file-open dialog in a 32-bit program under qemu-user now and
        # then hangs while it starts (the folder box's own tests skip there
        # for it); the 64-bit tier opens it every time.
        if os.path.basename(tree.path) == 'win32':
            raise PlatformBreakdown('the file-open dialog did not come up within 120 s under qemu-user')
        raise


def browse_dialog(session):
    """The file dialog the folder box opens: a visible window of the
    installer with a Cancel button that is neither of its own dialogs."""
    found = [w for w in session.windows() if w.visible and 2 in w.controls and 1003 not in w.controls
             and 1014 not in w.controls]
    return found[0] if found else None


def traced_then_planted(tree, name, run, program_name):
    """Runs a path once traced, then again with a planted copy of every
    library its installer loaded (run(tree, folder, planting) checks the
    path's own outcome, and with a planting that none was loaded)."""
    def case():
        work = scratch(tree, name)
        traced = loaded_libraries(run(tree, os.path.join(work, 'traced')), program_name)
        run(tree, os.path.join(work, 'planted'), Planting(tree, work, names_to_plant(tree, set(traced))))
        remove(work)
    on_emulation_retrying(tree, case, lambda: None)


if __name__ == '__main__':
    main({'planted_update_mode': lambda tree: traced_then_planted(tree, 'planted-update', run_update, 'TNInstaller.exe'),
          'planted_full_installation': lambda tree: traced_then_planted(tree, 'planted-full', run_full_installation,
                                                                         'TNInstaller.exe'),
          'planted_install_mode': lambda tree: traced_then_planted(tree, 'planted-install', run_install_mode,
                                                                    'setup.exe')})

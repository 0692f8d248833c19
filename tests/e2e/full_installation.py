#!/usr/bin/env python3
"""The full installation path of the shipped program ("folder|marker"),
checked from outside in the registration prefix (a Wine prefix of its own,
cleaned before each case): the payload extracted, the desktop shortcut, its
all-users copy and both uninstall writes read back through the Windows API,
the product started in its full form, S2_i05 received after that start with
a valid signature, the machine's MAC address and the installer's own file
name, and the installed uninstaller taking it all away again; and runs
whose report meets a hostile service (an answer inflating to 2 GiB, an
endless one) ending as usual."""
import os
import re
import shutil
import subprocess
import time

from harness import (PersistentServer, Receiver, assert_extracted, check, launch_records, main, on_emulation_retrying,
                     remove, scratch, start_wine, wait_for, wine, wineserver, windows_path)

PAYLOAD = os.environ['TN_PAYLOAD_ZIP']
PREFIX = os.environ['TN_REGISTRATION_PREFIX']
PORT = os.environ['TN_STAT_PORT']  # the port of the tree's built-in service address

KEY = 'SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnivo2.0'
WOW64_KEY = 'SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnivo2.0'
COMMON_SHORTCUT = os.path.join(PREFIX, 'drive_c', 'ProgramData', 'Microsoft', 'Windows', 'Start Menu', 'Programs',
                               'Tarnivo 2.0.lnk')
REG_SZ = 1


class Registration:
    """What the programs of one tree read and clean in the registration prefix."""

    def __init__(self, tree):
        self.tree = tree
        self.env = {'TN_WINE_PREFIX': PREFIX}
        # The first run creates the prefix; the desktop's place comes with it.
        self.desktop = self.unix_path(self.probe('desktop')[1].strip())
        self.shortcut = os.path.join(self.desktop, 'Tarnivo 2.0.lnk')
        self.server = PersistentServer(PREFIX)

    def close(self):
        self.end_products()
        self.clean()
        self.server.stop()

    def probe(self, *arguments):
        return wine(self.tree, self.tree.tool('tn-system-probe.exe'), *arguments, env=self.env)

    def machine_mac(self):
        """The address as a program of the installer's own bitness reads it."""
        return wine(self.tree, self.tree.program('tn-system-probe.exe'), 'mac', env=self.env)[1].strip()

    def unix_path(self, path):
        check(path[1:3] == ':\\', f'a drive path: {path!r}')
        return os.path.join(PREFIX, 'dosdevices', path[:2].lower(), *path[3:].split('\\'))

    def clean(self):
        for view in ('32', '64'):
            for key in (KEY, WOW64_KEY):
                check(self.probe('delete-key', view, key)[0] == 0, f'{key} in the {view}-bit view stays')
        for path in (self.shortcut, COMMON_SHORTCUT):
            if os.path.lexists(path):
                os.remove(path)

    def map_drive(self, letter, folder):
        link = os.path.join(PREFIX, 'dosdevices', letter.lower() + ':')
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(folder, link)

    def key(self, view, path):
        """{name: (type, byte count, data)} of the key in that view, or None."""
        code, output = self.probe('key', view, path)
        if code != 0:
            return None
        values = {}
        for line in output.splitlines():
            name, kind, size, data = line.split('\t', 3)
            values[name] = (int(kind), int(size), data)
        return values

    def shortcut_fields(self, path):
        code, output = self.probe('shortcut', windows_path_in_prefix(path))
        check(code == 0, f'no shell link at {path}')
        return dict(line.split('\t', 1) for line in output.splitlines())

    def end_products(self):
        """Closes every copy of the product, waiting until none runs: 0, or
        1 when some still ran after 30 s."""
        return wine(self.tree, self.tree.tool('tn-window-probe.exe'), 'close-product', env=self.env)[0]


def windows_path_in_prefix(path):
    """A file inside the prefix's drive C as the programs there see it."""
    drive_c = os.path.join(PREFIX, 'drive_c')
    if path.startswith(drive_c + os.sep):
        return 'C:' + path[len(drive_c):].replace('/', '\\')
    return windows_path(path)


def value_texts(folder, sub_channel):
    """The seven values in the order they are written."""
    return [('DisplayIcon', folder + '\\Tarnivo.exe'), ('DisplayName', 'Tarnivo2.0'), ('Publisher', 'Ostrevan'),
            ('UninstallString', folder + '\\uninstall.exe'), ('CHANNEL', '0'), ('SUBCHANNEL', sub_channel),
            ('NOUI', '0')]


def expected_values(folder, sub_channel):
    # REG_SZ. The program passes two bytes a character without the
    # terminator; the system (NT as well as Wine) then counts the terminator
    # that follows the text in memory, so it reads back two bytes longer.
    return {name: (REG_SZ, 2 * len(text) + 2, text + '\\0') for name, text in value_texts(folder, sub_channel)}


RELAYED = 'advapi32.RegCreateKeyExW;advapi32.RegSetValueExW'
# The folders' creation with the descriptor made from its text, and every
# way a descriptor could be put on an existing file or folder.
RELAYED_SECURITY = ('kernel32.CreateDirectoryW;kernelbase.CreateDirectoryW;'
                    'advapi32.ConvertStringSecurityDescriptorToSecurityDescriptorW;'
                    'sechost.ConvertStringSecurityDescriptorToSecurityDescriptorW;'
                    'advapi32.SetFileSecurityW;kernelbase.SetFileSecurityW;advapi32.SetNamedSecurityInfoW;'
                    'advapi32.SetSecurityInfo;kernelbase.SetKernelObjectSecurity;advapi32.SetKernelObjectSecurity')


def relayed_registry_calls(errors, key):
    """RegCreateKeyExW and RegSetValueExW calls from Wine's relay trace, in
    order, made by the thread that created key, from that call on: ('create',
    path, access) and ('set', name, type, byte count). Wine's own processes
    call them too, and so does the shell on that thread before."""
    def text(quoted):
        return quoted.encode('latin-1', 'backslashreplace').decode('unicode_escape')
    calls = []
    for line in errors.splitlines():
        created = re.search(r'^(\w+):Call advapi32\.RegCreateKeyExW\(\w+,\w+ L"((?:[^"\\]|\\.)*)",'
                            r'\w+,\w+,\w+,(\w+),', line)
        if created:
            calls.append((created.group(1), ('create', text(created.group(2)), int(created.group(3), 16))))
        written = re.search(r'^(\w+):Call advapi32\.RegSetValueExW\(\w+,\w+ L"((?:[^"\\]|\\.)*)",'
                            r'\w+,(\w+),\w+,(\w+)\)', line)
        if written:
            calls.append((written.group(1), ('set', text(written.group(2)), int(written.group(3), 16),
                                             int(written.group(4), 16))))
    starts = [index for index, (thread, call) in enumerate(calls) if call[:2] == ('create', key)]
    if not starts:
        return []
    thread = calls[starts[0]][0]
    return [call for caller, call in calls[starts[0]:] if caller == thread]


def relayed_folder_creations(errors):
    """CreateDirectoryW calls from Wine's relay trace, in order: (path,
    whether security attributes were passed, whether it made the folder)."""
    calls, pending = [], {}
    for line in errors.splitlines():
        called = re.search(r'^(\w+):Call KERNEL32\.CreateDirectoryW\(\w+ L"((?:[^"\\]|\\.)*)",(\w+)\)', line)
        if called:
            pending[called.group(1)] = (called.group(2).replace('\\\\', '\\'), int(called.group(3), 16) != 0)
        returned = re.search(r'^(\w+):Ret  KERNEL32\.CreateDirectoryW\(\) retval=(\w+)', line)
        if returned and returned.group(1) in pending:
            calls.append(pending.pop(returned.group(1)) + (int(returned.group(2), 16) != 0,))
    return calls


def check_folder_creations(errors, folder):
    """folder's parents and folder itself, where new, are made with the
    protected descriptor (its text as the program gave it to the system);
    the existing D:\\Apps is left alone; the archive's own folders inherit."""
    creations = [call for call in relayed_folder_creations(errors) if call[0].startswith('D:\\Apps')]
    check(creations[:3] == [('D:\\Apps', True, False), ('D:\\Apps\\Vendor', True, True), (folder, True, True)],
          f'the first folder creations {creations[:3]!r}')
    below = [call for call in creations[3:] if call[0] != folder]
    check(below and not any(with_descriptor for _, with_descriptor, _ in below),
          f'folders inside the product folder made with a descriptor of their own: {below[:3]!r}')
    texts = re.findall(r'Call advapi32\.ConvertStringSecurityDescriptorToSecurityDescriptorW\(\w+ L"([^"]*)"', errors)
    check(texts and all(text.startswith('D:P(') for text in texts), f'descriptors made {texts[:1]!r}')
    changed = re.findall(r'Call \w+\.Set\w*Security\w*\(.*', errors)
    check(not changed, f'a descriptor was put on an existing object: {changed[:2]!r}')


def check_uninstall_entry(registration, folder, sub_channel):
    """Where the two writes land: a 64-bit installer writes one key under the
    literal Wow6432Node path and one in the 64-bit view; both writes of the
    32-bit installer land in the 32-bit view (Wow6432Node itself) and the
    64-bit view gets none."""
    expected = expected_values(folder, sub_channel)
    check(registration.key('32', KEY) == expected, f'32-bit view: {registration.key("32", KEY)!r}')
    check(registration.key('64', WOW64_KEY) == expected, '64-bit view, Wow6432Node')
    in_64_bit_view = registration.key('64', KEY)
    if os.path.basename(registration.tree.path) == 'win32':
        check(in_64_bit_view is None, f'the 32-bit installer wrote into the 64-bit view: {in_64_bit_view!r}')
    else:
        check(in_64_bit_view == expected, f'64-bit view: {in_64_bit_view!r}')


def install(tree, registration, work, file_name, arguments, wine_debug=None, receiver_options=()):
    """Runs a copy of the shipped program named file_name from work with the
    exact command line; returns (exit code, events the receiver accepted,
    standard error)."""
    installer = os.path.join(work, file_name)
    shutil.copy(tree.program('TNInstaller.exe'), installer)
    receiver = Receiver(os.path.join(work, 'events.db'), PORT, *receiver_options)
    env = {'TN_ARGUMENTS': arguments, **registration.env}
    if wine_debug:
        env['WINEDEBUG'] = wine_debug
    try:
        run = start_wine(tree, tree.tool('tn-launch.exe'), windows_path(installer), cwd=work, env=env)
        code, _ = run.wait_watching(300, installer)
        return code, receiver.events(), run.errors
    finally:
        receiver.stop()


def host_mac_addresses():
    """The host's network interfaces as the reports write them, the loopback left out."""
    addresses = set()
    for name in os.listdir('/sys/class/net'):
        with open(os.path.join('/sys/class/net', name, 'address')) as address:
            text = address.read().strip().upper().replace(':', '-')
        if len(text) == 17 and text != '00-00-00-00-00-00':
            addresses.add(text)
    return addresses


def check_report(registration, events, sub_channel):
    events = [e for e in events if e['sub_channel'] == sub_channel]
    check([e['code'] for e in events] == ['S2_i05'], f'events {events!r}')
    event = events[0]
    check(str(event['channel']) == '0' and str(event['noui']) == '0', f'record {event!r}')
    machine_mac = registration.machine_mac()
    check(event['mac'] == machine_mac, f'mac {event["mac"]!r}, the machine says {machine_mac!r}')
    # Wine lists the host's own interfaces: the address is one of theirs
    # whenever there is one besides the loopback.
    addresses = host_mac_addresses()
    if addresses:
        check(event['mac'] in addresses, f'mac {event["mac"]!r} is none of the host\'s {sorted(addresses)!r}')
    return event


def check_full_form_start(folder_unix, folder, current):
    """Exactly one start in the full form: folder + "\\Tarnivo.exe" as the
    command line, the installer's current folder as its own. Under Wine the
    two pin requests open the shortcut instead of pinning it, which starts
    the product from its working folder: those starts are told apart."""
    program = folder + '\\Tarnivo.exe'
    wait_for(lambda: any(start[:2] == (program, current) for start in launch_records(folder_unix)), 60,
             'the full-form start')
    starts = launch_records(folder_unix)
    full = [start for start in starts if start[:2] == (program, current)]
    check(len(full) == 1, f'full-form starts {starts!r}')
    others = [start for start in starts if start not in full]
    check(len(others) <= 2 and all(start[1] == folder for start in others), f'starts beside it {others!r}')
    return full[0]


def install_as(tree, file_name, sub_channel):
    registration = Registration(tree)
    registration.clean()
    work = scratch(tree, 'full')
    target = os.path.join(work, 'apps', 'Tarnivo')
    code, events, _ = install(tree, registration, work, file_name, windows_path(target) + '|x')
    check(code == 0, f'installer exit code {code}')
    check_report(registration, events, sub_channel)
    assert_extracted(PAYLOAD, target)
    check_full_form_start(target, windows_path(target), windows_path(work))
    registration.close()
    remove(work)


def sub_channel_of_a_dotted_name(tree):
    install_as(tree, 'setup.beta.exe', 'setup.beta')


def sub_channel_without_extension(tree):
    install_as(tree, 'Tarnivo_setup', 'Tarnivo_setup')


def full_installation_on_another_drive(tree):
    """D:\\Apps\\Vendor\\Tarnivo|x with D: mapped to a scratch folder and
    D:\\Apps already there: the whole sequence, the new folders made with the
    protected descriptor and the existing one left alone, then the installed
    uninstaller removes what it wrote."""
    registration = Registration(tree)
    registration.clean()
    work = scratch(tree, 'drive')
    drive = os.path.join(work, 'drive-d')
    os.makedirs(os.path.join(drive, 'Apps'))
    registration.map_drive('D', drive)
    folder, folder_unix = 'D:\\Apps\\Vendor\\Tarnivo', os.path.join(drive, 'Apps', 'Vendor', 'Tarnivo')

    # Wine's relay trace of the two registry calls shows each write as the
    # program makes it: the key, the access asked for, each value's type and
    # the byte count passed.
    code, _ = wine(tree, 'reg.exe', 'add', 'HKCU\\Software\\Wine\\Debug', '/v', 'RelayInclude', '/t', 'REG_SZ',
                   '/d', RELAYED + ';' + RELAYED_SECURITY, '/f', env=registration.env)
    check(code == 0, 'relay trace set up')
    code, events, errors = install(tree, registration, work, 'setup.exe', folder + '|x', wine_debug='+relay')
    check(code == 0, f'installer exit code {code}')
    writes = []
    for key in (WOW64_KEY, KEY):
        # KEY_WRITE and no registry-view flag.
        writes.append(('create', key, 0x20006))
        writes += [('set', name, REG_SZ, 2 * len(text)) for name, text in value_texts(folder, 'setup')]
    calls = relayed_registry_calls(errors, WOW64_KEY)[:len(writes)]
    check(calls == writes, f'registry calls of the installer {calls!r}')
    check_folder_creations(errors, folder)
    assert_extracted(PAYLOAD, folder_unix)
    fields = registration.shortcut_fields(registration.shortcut)
    check(fields['target'] == folder + '\\Tarnivo.exe' and fields['working-folder'] == folder and
          fields['show-command'] == '1' and fields['arguments'] == '', f'desktop shortcut {fields!r}')
    with open(registration.shortcut, 'rb') as desktop, open(COMMON_SHORTCUT, 'rb') as common:
        check(desktop.read() == common.read(), 'the all-users copy is the desktop shortcut')
    check_uninstall_entry(registration, folder, 'setup')
    start = check_full_form_start(folder_unix, folder, windows_path(work))
    event = check_report(registration, events, 'setup')
    check(event['received_at'] >= start[2], f'S2_i05 at {event["received_at"]}, before the start at {start[2]}')

    # The installed uninstaller takes back what the installation wrote, the
    # keys where this tree's installer put them; it cannot delete itself.
    check(registration.end_products() == 0, 'the product still runs: its files cannot go')
    code, _ = wine(tree, tree.tool('tn-launch.exe'), folder + '\\uninstall.exe', env=registration.env)
    check(code == 0, f'uninstaller exit code {code}')
    for view in ('32', '64'):
        for key in (KEY, WOW64_KEY):
            check(registration.key(view, key) is None, f'{key} stays in the {view}-bit view')
    check(not os.path.exists(registration.shortcut) and not os.path.exists(COMMON_SHORTCUT), 'shortcuts stay')
    # Its own file and folder go at the next restart, which a new Wine
    # server counts as.
    left = sorted(os.listdir(folder_unix)) if os.path.isdir(folder_unix) else []
    check(left in ([], ['uninstall.exe']), f'left in the folder: {left[:5]!r}')
    registration.close()
    remove(work)


def targets_no_file_name_can_hold(tree):
    """A drive that does not exist and characters no file name may hold: the
    run ends by itself (so no message box waited for anyone) with exit code
    0, and every step after the extraction still ran: the shortcut and its
    copy, the uninstall entry with the folder as given, the report."""
    for folder in ('Q:\\Tarnivo', 'C:\\Tar<ni>vo?'):
        registration = Registration(tree)
        registration.clean()
        work = scratch(tree, 'bad')
        code, events, _ = install(tree, registration, work, 'setup.exe', folder + '|x')
        check(code == 0, f'{folder}: installer exit code {code}')
        fields = registration.shortcut_fields(registration.shortcut)
        print(f'{folder}: desktop shortcut {fields!r}')
        check(os.path.exists(COMMON_SHORTCUT), f'{folder}: the all-users copy')
        check_uninstall_entry(registration, folder, 'setup')
        check_report(registration, events, 'setup')
        registration.close()
        remove(work)


def report_meets(tree, behaviour):
    """The service answers S2_i05 with behaviour: the run ends as usual,
    with exit code 0, the files, the full-form start and the report received
    (a 32-bit installer that kept the whole answer ran out of memory inside
    the report)."""
    registration = Registration(tree)
    registration.clean()
    work = scratch(tree, 'hostile')
    target = os.path.join(work, 'apps', 'Tarnivo')
    started = time.monotonic()
    code, events, _ = install(tree, registration, work, 'setup.exe', windows_path(target) + '|x',
                              receiver_options=(behaviour,))
    print(f'{behaviour}: the installation took {time.monotonic() - started:.1f} s')
    check(code == 0, f'{behaviour}: installer exit code {code}')
    check_report(registration, events, 'setup')
    assert_extracted(PAYLOAD, target)
    check_full_form_start(target, windows_path(target), windows_path(work))
    registration.close()
    remove(work)


def report_meets_a_gzip_bomb(tree):
    """An answer of about 2 MB that inflates to 2 GiB."""
    report_meets(tree, '--gzip-bomb')


def report_meets_an_endless_answer(tree):
    """An endless answer, as fast as the installer reads."""
    report_meets(tree, '--endless')


def end_the_prefix():
    subprocess.run([wineserver(), '-k'], env=dict(os.environ, WINEPREFIX=PREFIX), check=False)


def retrying_on_emulation(case):
    return lambda tree: on_emulation_retrying(tree, lambda: case(tree), end_the_prefix)


if __name__ == '__main__':
    main({'sub_channel_of_a_dotted_name': retrying_on_emulation(sub_channel_of_a_dotted_name),
          'sub_channel_without_extension': retrying_on_emulation(sub_channel_without_extension),
          'full_installation_on_another_drive': retrying_on_emulation(full_installation_on_another_drive),
          'targets_no_file_name_can_hold': retrying_on_emulation(targets_no_file_name_can_hold),
          'report_meets_a_gzip_bomb': retrying_on_emulation(report_meets_a_gzip_bomb),
          'report_meets_an_endless_answer': retrying_on_emulation(report_meets_an_endless_answer)})

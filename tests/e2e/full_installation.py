#!/usr/bin/env python3
"""The full installation path started with "folder|marker", checked from
outside against the reference receiver: the payload extracted, the product
started in its full form, and S2_i05 received with a valid signature and the
installer's own file name as sub_channel."""
import json
import os
import shutil
import subprocess
import sys

from harness import ROOT, assert_extracted, check, main, remove, scratch, wait_for, wine, windows_path

PAYLOAD = os.environ['TN_PAYLOAD_ZIP']
STATSINK = os.path.join(ROOT, 'tools', 'statsink', 'statsink')
PORT = os.environ['TN_STAT_PORT']  # the port of the tree's built-in service address


class Receiver:
    def __init__(self, database):
        self.database = database
        self.process = subprocess.Popen([sys.executable, STATSINK, '--port', PORT, '--db', database, '--quiet'],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        line = self.process.stdout.readline().decode()
        check(line.startswith('listening'), f'receiver did not start: {line!r}')

    def events(self):
        listing = subprocess.run([sys.executable, STATSINK, '--list', '--db', self.database],
                                 stdout=subprocess.PIPE, check=True).stdout.decode('utf-8')
        return [json.loads(line) for line in listing.splitlines()]

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


def install_as(tree, file_name, sub_channel):
    work = scratch(tree, 'full')
    target = os.path.join(work, 'apps', 'Tarnivo')
    installer = os.path.join(work, file_name)
    shutil.copy(tree.program('TNInstaller.exe'), installer)
    receiver = Receiver(os.path.join(work, 'events.db'))
    try:
        code, _ = wine(tree, tree.program('tn-launch.exe'), windows_path(installer), cwd=work,
                       env={'TN_ARGUMENTS': windows_path(target) + '|x'}, timeout=300)
        check(code == 0, f'installer exit code {code}')
        events = [e for e in receiver.events() if e['sub_channel'] == sub_channel]
    finally:
        receiver.stop()

    check([e['code'] for e in events] == ['S2_i05'], f'events {events!r}')
    event = events[0]
    check(str(event['channel']) == '0' and str(event['noui']) == '0', f'record {event!r}')
    check(event['mac'] == '' or len(event['mac']) == 17, f'mac {event["mac"]!r}')

    assert_extracted(PAYLOAD, target)
    log = os.path.join(target, 'launch.log')
    wait_for(lambda: os.path.exists(log), 30, 'the product to start')
    with open(log, encoding='utf-8') as records:
        program = windows_path(target) + '\\Tarnivo.exe'
        check(records.read().splitlines() == [program + '\t' + windows_path(work)], 'full-form launch record')
    wine(tree, tree.program('tn-window-probe.exe'), 'close-product')
    remove(work)


def sub_channel_of_a_dotted_name(tree):
    install_as(tree, 'setup.beta.exe', 'setup.beta')


def sub_channel_without_extension(tree):
    install_as(tree, 'Tarnivo_setup', 'Tarnivo_setup')


if __name__ == '__main__':
    main({'sub_channel_of_a_dotted_name': sub_channel_of_a_dotted_name,
          'sub_channel_without_extension': sub_channel_without_extension})

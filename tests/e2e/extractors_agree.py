#!/usr/bin/env python3
"""The 32-bit extractor against the 64-bit one: on the payload and on a few
archives built here, the same output line for line (results, attributes,
times, names) and the same bytes on disk."""
import filecmp
import os
import struct
import zipfile

from harness import ROOT, Tree, check, main, remove, scratch, wine, windows_path

PAYLOAD = os.environ['TN_PAYLOAD_ZIP']
WIN64 = Tree(os.path.join(ROOT, 'build', 'win64'))


def ut_block(modification):
    # "UT" extended timestamp: flags (modification only), then the Unix time.
    return struct.pack('<HHBi', 0x5455, 5, 1, modification)


class Cp936Info(zipfile.ZipInfo):
    """An entry whose name is stored in code page 936 without the UTF-8 flag,
    as the shipped archive's names are."""

    def __init__(self, name, **arguments):
        super().__init__(name.encode('gbk').decode('cp437'), **arguments)
        self.raw_name = name.encode('gbk')

    def _encodeFilenameFlags(self):
        return self.raw_name, self.flag_bits & ~0x800


def write_samples(folder):
    """Archives with what differs between readers: code-page-936 names, empty
    files, folders, attributes by host, times from the "UT" block."""
    paths = []
    path = os.path.join(folder, 'names-and-times.zip')
    with zipfile.ZipFile(path, 'w') as archive:
        for name, data, attributes, extra in [
            ('css/', b'', 0x10, b''),
            ('css/site.css', b'body { color: #333; }\n' * 40, 0x20, ut_block(1600000000)),
            ('empty.txt', b'', 0x20, b''),
            ('readonly.dat', bytes(range(256)) * 8, 0x21, b''),
            ('说明/文件.txt', '中文内容'.encode('gbk'), 0x20, b''),
        ]:
            info = Cp936Info(name, date_time=(2021, 5, 4, 11, 17, 26))
            info.create_system = 0
            info.external_attr = attributes
            info.extra = extra
            info.compress_type = zipfile.ZIP_DEFLATED if len(data) > 100 else zipfile.ZIP_STORED
            archive.writestr(info, data)
    paths.append(path)

    path = os.path.join(folder, 'unix-host.zip')
    with zipfile.ZipFile(path, 'w') as archive:
        for name, mode in [('bin/', 0o40755), ('bin/tool', 0o100755), ('locked', 0o100444)]:
            info = zipfile.ZipInfo(name, date_time=(2020, 1, 2, 3, 4, 6))
            info.create_system = 3
            info.external_attr = (mode << 16) | (0x10 if name.endswith('/') else 0)
            archive.writestr(info, b'' if name.endswith('/') else name.encode() * 10)
    paths.append(path)
    return paths


def same_tree(left, right):
    comparison = filecmp.dircmp(left, right)
    if comparison.left_only or comparison.right_only or comparison.diff_files or comparison.funny_files:
        return False
    _, mismatch, errors = filecmp.cmpfiles(left, right, comparison.common_files, shallow=False)
    return not mismatch and not errors and all(
        same_tree(os.path.join(left, sub), os.path.join(right, sub)) for sub in comparison.common_dirs)


def thirty_two_and_sixty_four_agree(tree):
    check(os.path.exists(WIN64.program('tn-extract.exe')), 'the win64 tree is built')
    work = scratch(tree, 'agree')
    for archive in [PAYLOAD] + write_samples(work):
        outputs = []
        for each in (tree, WIN64):
            destination = os.path.join(work, os.path.basename(each.path) + '-' + os.path.basename(archive))
            code, listing = wine(each, each.program('tn-extract.exe'), windows_path(archive),
                                 windows_path(destination), timeout=600)
            check(code == 0, f'{each.path}: tn-extract exit code {code} on {archive}')
            outputs.append((listing.splitlines(), destination))
        (lines32, folder32), (lines64, folder64) = outputs
        check(lines32 == lines64, f'listings differ on {os.path.basename(archive)}')
        check(lines32[-1].startswith('entries '), 'the listing ends with its count')
        check(same_tree(folder32, folder64), f'extracted files differ on {os.path.basename(archive)}')
    remove(work)


if __name__ == '__main__':
    main({'thirty_two_and_sixty_four_agree': thirty_two_and_sixty_four_agree})

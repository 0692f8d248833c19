#!/usr/bin/env python3
"""tn-pack end to end: a product folder packed into a new installer, which
installs it in update mode exactly as it was; a folder with more entries
than a ZIP without its 64-bit extension holds, refused; the last signed
release taken as the stub gives an unsigned installer that, signed again,
verifies, installs and extracts; links out of the product folder refused;
relative names read from the current folder, by tn-pack and tn-extract."""
import os
import random
import shutil
import struct
import subprocess

from harness import check, main, remove, scratch, wait_for, wine, wine_with_errors, windows_path

# 2023-06-18 10:24:36 and 2030-07-15 12:34:56 UTC.
BUILD_TIME = 1687083876
TIME_IN_2030 = 1910349296
READ_ONLY, HIDDEN, FOLDER, ARCHIVE = 0x01, 0x02, 0x10, 0x20


def text(size, seed):
    words = ['<div class="nav">', 'function', 'return', '</div>\n', 'tarnivo', 'color:#333;', 'var', '{', '}']
    rng = random.Random(seed)
    return ' '.join(rng.choice(words) for _ in range(size // 6)).encode('ascii')[:size]


def write(root, name, data, when=BUILD_TIME):
    path = os.path.join(root, *name.split('/'))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as out:
        out.write(data)
    os.utime(path, (when, when))
    return path


def make_product(tree, root):
    """What the installer must carry faithfully: names in code page 936,
    empty files, nested empty folders, a read-only and a hidden file, a time
    in 2030, and the two programs at the top."""
    with open(tree.program('Tarnivo.exe'), 'rb') as program:
        write(root, 'Tarnivo.exe', program.read())
    with open(tree.program('uninstall.exe'), 'rb') as program:
        write(root, 'uninstall.exe', program.read())
    write(root, '说明.txt', text(30000, 1), TIME_IN_2030)
    write(root, 'html/用户协议.html', text(12000, 2))
    write(root, 'html/图标/标志.png', random.Random(3).randbytes(20000))
    write(root, 'html/css/main.css', text(3000, 4))
    write(root, 'empty.txt', b'')
    write(root, 'html/css/空.css', b'')
    os.makedirs(os.path.join(root, 'plugins', '新建', 'deeper'))
    os.makedirs(os.path.join(root, 'logs'))
    os.chmod(write(root, 'readonly.dat', b'locked settings'), 0o444)
    hidden = write(root, 'hidden.ini', b'[hidden]\n')
    code, _ = wine(tree, tree.tool('tn-tree.exe'), 'set-attributes', windows_path(hidden), '22')
    check(code == 0, 'the hidden file could not be made')


def listing(tree, folder):
    """name -> (attributes, modification time, size) as Windows sees them."""
    code, out = wine(tree, tree.tool('tn-tree.exe'), 'list', windows_path(folder))
    check(code == 0, f'tn-tree list {folder}: {code}')
    items = {}
    for line in out.splitlines():
        name, attributes, modified, size = line.split('\t')
        items[name] = (int(attributes, 16), int(modified), int(size))
    return items


def install_in_update_mode(tree, installer, target, work):
    """Runs the installer as the product starts it for an update: the
    target folder its command line; the installed product starts once done
    and writes its record beside itself, taken away again here."""
    current = os.path.join(work, 'current')
    os.makedirs(current)
    code, _ = wine(tree, tree.tool('tn-launch.exe'), windows_path(installer), cwd=current,
                   env={'TN_ARGUMENTS': '"' + windows_path(target) + '"'}, timeout=300)
    check(code == 0, f'installer exit code {code}')
    # The installed product starts and writes its record beside itself.
    record = os.path.join(target, 'launch.log')
    wait_for(lambda: os.path.exists(record), 30, 'the product to start')
    wine(tree, tree.tool('tn-window-probe.exe'), 'close-product')
    os.remove(record)


def check_same_tree(tree, product, target):
    """target holds what product does: names, bytes, attributes, times."""
    before, after = listing(tree, product), listing(tree, target)
    check(sorted(before) == sorted(after), f'names differ: {sorted(set(before) ^ set(after))}')
    for name, (attributes, modified, size) in before.items():
        # The reader sets no time on a folder, nor on an empty file (its
        # member never reports success): those keep the time they were made.
        if size == 0:
            attributes_after, _, size_after = after[name]
            check((attributes_after, size_after) == (attributes, size), f'{name}: {after[name]}')
            continue
        check(after[name] == (attributes, modified, size), f'{name}: {after[name]} instead of {(attributes, modified, size)}')
        if not name.endswith('\\'):
            with open(os.path.join(product, *name.split('\\')), 'rb') as a, \
                    open(os.path.join(target, *name.split('\\')), 'rb') as b:
                check(a.read() == b.read(), f'{name}: bytes differ')
    return before


def make_writable(*paths):
    for path in paths:
        for folder, _, files in os.walk(path):
            for name in files:
                os.chmod(os.path.join(folder, name), 0o644)


def packed_product_installs_as_it_was(tree):
    work = scratch(tree, 'pack')
    product, target = (os.path.join(work, name) for name in ('product', 'target'))
    make_product(tree, product)
    installer = os.path.join(work, 'setup.exe')

    code, out = wine(tree, tree.program('tn-pack.exe'), windows_path(product), windows_path(installer))
    check(code == 0, f'tn-pack exit code {code}: {out}')
    check(': 17 entries, archive ' in out, f'tn-pack said {out!r}')

    install_in_update_mode(tree, installer, target, work)
    before = check_same_tree(tree, product, target)
    # The fixture is what it says.
    check(before['readonly.dat'][0] == ARCHIVE | READ_ONLY, f'read-only: {before["readonly.dat"]}')
    check(before['hidden.ini'][0] & HIDDEN, f'hidden: {before["hidden.ini"]}')
    check(before['说明.txt'][1] == (TIME_IN_2030 + 11644473600) * 10_000_000, f'2030: {before["说明.txt"]}')
    check(before['plugins\\新建\\deeper\\'][0] == FOLDER, 'nested empty folder')
    make_writable(product, target)
    remove(work)


def too_many_entries_refused(tree):
    """65536 files and folders and more: refused before anything is read,
    with nothing written."""
    work = scratch(tree, 'many')
    product = os.path.join(work, 'product')
    write(product, 'Tarnivo.exe', b'MZ')
    # Small folders: Wine lists them quickly.
    for folder in range(256):
        path = os.path.join(product, f'{folder:03d}')
        os.makedirs(path)
        for file in range(256):
            open(os.path.join(path, f'{file:03d}.txt'), 'wb').close()
    installer = os.path.join(work, 'setup.exe')
    with open(installer, 'wb') as existing:
        existing.write(b'the last release')

    code, out, errors = wine_with_errors(tree, tree.program('tn-pack.exe'), windows_path(product),
                                         windows_path(installer), timeout=600)
    check(code == 2, f'exit code {code}: {out}')
    line = 'tn-pack: more than 65535 files and folders, more than a ZIP without its 64-bit extension holds\n'
    errors = errors.replace('\r\n', '\n')
    check(errors.startswith(line) or ('\n' + line) in errors, f'message {errors[-500:]!r}')
    with open(installer, 'rb') as existing:
        check(existing.read() == b'the last release', 'the existing output changed')
    check(sorted(os.listdir(work)) == ['product', 'setup.exe'], f'left behind: {os.listdir(work)}')
    remove(work)


def make_small_product(root):
    write(root, 'Tarnivo.exe', b'MZ the product')
    write(root, 'readme.txt', text(2000, 5))
    write(root, 'html/index.html', text(3000, 6))


def security_directory(path):
    """The PE security data directory entry (file offset, size) of a program."""
    with open(path, 'rb') as program:
        head = program.read(4096)
    pe = struct.unpack_from('<I', head, 0x3C)[0]
    magic = struct.unpack_from('<H', head, pe + 24)[0]
    entry = pe + 24 + (112 if magic == 0x20B else 96) + 4 * 8
    return struct.unpack_from('<II', head, entry)


def run(*command):
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    return done.returncode, done.stdout.decode('utf-8', 'replace')


def sign(key, certificate, unsigned, signed):
    code, out = run('osslsigncode', 'sign', '-certs', certificate, '-key', key, '-n', 'Tarnivo',
                    '-in', unsigned, '-out', signed)
    check(code == 0, f'osslsigncode sign {os.path.basename(unsigned)}: {out[-1000:]}')


def verify(certificate, program):
    return run('osslsigncode', 'verify', '-CAfile', certificate, '-in', program)


def signed_stub_gives_an_installer_to_sign_again(tree):
    """The last signed release as the stub: tn-pack says the signature went
    and writes the unsigned installer (the same bytes the unsigned stub
    gives), which osslsigncode signs with a test certificate and then
    verifies; the signed installer installs in update mode, and tn-extract
    reads it."""
    work = scratch(tree, 'signed')
    product, target, extracted = (os.path.join(work, name) for name in ('product', 'target', 'extracted'))
    make_product(tree, product)
    key, certificate = os.path.join(work, 'key.pem'), os.path.join(work, 'certificate.pem')
    code, out = run('openssl', 'req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-keyout', key, '-out', certificate,
                    '-days', '2', '-subj', '/CN=Tarnivo release test', '-addext', 'keyUsage=digitalSignature',
                    '-addext', 'extendedKeyUsage=codeSigning')
    check(code == 0, f'openssl: {out[-1000:]}')
    last_release = os.path.join(work, 'last-release.exe')
    sign(key, certificate, tree.program('TNInstaller.exe'), last_release)
    code, out = verify(certificate, last_release)
    check(code == 0 and security_directory(last_release) != (0, 0), f'the stub is not signed: {out[-1000:]}')

    installer = os.path.join(work, 'setup.exe')
    code, out, errors = wine_with_errors(tree, tree.program('tn-pack.exe'), windows_path(product),
                                         windows_path(installer), '--stub', windows_path(last_release))
    check(code == 0, f'tn-pack exit code {code}: {errors[-1000:]}')
    line = f"tn-pack: the stub's signature was removed; sign {windows_path(installer)} again"
    check(line in errors.splitlines() or line + '\r' in errors.splitlines(), f'tn-pack said {errors[-1000:]!r}')
    check(security_directory(installer) == (0, 0), f'security directory {security_directory(installer)}')
    code, out = verify(certificate, installer)
    check(code != 0 and 'MISMATCH' not in out, f'an unsigned installer verifies as {out[-1000:]!r}')
    from_unsigned = os.path.join(work, 'from-unsigned.exe')
    code, _ = wine(tree, tree.program('tn-pack.exe'), windows_path(product), windows_path(from_unsigned))
    check(code == 0, f'tn-pack with the unsigned stub: {code}')
    with open(installer, 'rb') as a, open(from_unsigned, 'rb') as b:
        check(a.read() == b.read(), 'not the installer the unsigned stub gives')

    signed = os.path.join(work, 'TarnivoSetup.exe')
    sign(key, certificate, installer, signed)
    code, out = verify(certificate, signed)
    check(code == 0 and 'Signature verification: ok' in out, f'osslsigncode verify: {out[-1500:]}')

    install_in_update_mode(tree, signed, target, work)
    check_same_tree(tree, product, target)
    code, out = wine(tree, tree.program('tn-extract.exe'), windows_path(signed), windows_path(extracted), timeout=600)
    check(code == 0 and out.endswith('entries 17\n'), f'tn-extract exit code {code}: {out[-500:]!r}')
    check_same_tree(tree, product, extracted)
    make_writable(product, target, extracted)
    remove(work)


def links_out_of_the_product_refused(tree):
    """Links, junctions and other reparse points in the product folder, or
    the folder itself one, are refused with the path named, exit code 2 and
    nothing written. Wine 8 shows a Unix link to a folder as a folder with
    FILE_ATTRIBUTE_REPARSE_POINT (0x410), a link to a file as a plain file
    (0x20: tn-pack finds it when the file it opens lies elsewhere), and no
    link whose target is missing at all; its CreateSymbolicLinkW reports
    success and makes nothing. So the links here are Unix ones."""
    work = scratch(tree, 'links')
    outside = os.path.join(work, 'outside')
    write(outside, 'secret.txt', b'not for release')
    reparse = 'is a link, junction or other reparse point; tn-pack packs nothing from outside the product folder'
    leads = 'tn-pack packs nothing from outside the product folder'
    cases = [
        # (what, link inside the case's product, what it points at, path named, rest of the line)
        ('a folder link leading out', 'plugins', outside, 'plugins', reparse),
        ('a folder link deeper down', 'html/lib', outside, 'html\\lib', reparse),
        ('a file link leading out', 'notes.txt', os.path.join(outside, 'secret.txt'),
         'notes.txt', f'leads to {windows_path(os.path.join(outside, "secret.txt"))}; {leads}'),
        ('a file link to a file of the product', 'copy.exe', 'Tarnivo.exe',
         'copy.exe', None),
        ('the product folder itself a link', None, None, None, reparse),
    ]
    for number, (what, link, points_at, named, rest) in enumerate(cases):
        case = os.path.join(work, f'case-{number}')
        product = os.path.join(case, 'product')
        make_small_product(product)
        if link:
            os.symlink(points_at, os.path.join(product, *link.split('/')))
            shown = windows_path(product) + '\\' + named
        else:
            product = os.path.join(case, 'product-link')
            os.symlink(os.path.join(case, 'product'), product)
            shown = windows_path(product)
        if rest is None:
            rest = f'leads to {windows_path(os.path.join(case, "product", points_at))}; {leads}'
        out_folder = os.path.join(case, 'out')
        write(out_folder, 'setup.exe', b'the last release')
        installer = os.path.join(out_folder, 'setup.exe')

        code, out, errors = wine_with_errors(tree, tree.program('tn-pack.exe'), windows_path(product),
                                             windows_path(installer))
        line = f'tn-pack: {shown} {rest}'
        lines = [entry for entry in errors.replace('\r\n', '\n').splitlines() if entry.startswith('tn-pack')]
        check(code == 2, f'{what}: exit code {code}: {errors[-500:]!r}')
        check(lines == [line], f'{what}: said {lines!r}, not {line!r}')
        check(out == '', f'{what}: printed {out!r}')
        with open(installer, 'rb') as existing:
            check(existing.read() == b'the last release', f'{what}: the existing output changed')
        check(os.listdir(out_folder) == ['setup.exe'], f'{what}: left behind {os.listdir(out_folder)}')
    remove(work)


def relative_paths_name_the_current_folder(tree):
    """Relative names are the current folder's files for every step of
    tn-pack and tn-extract, even where a file of the same name lies beside
    the tool (its TNInstaller.exe, with the demo payload)."""
    work = scratch(tree, 'relative')
    product = os.path.join(work, 'product')
    make_small_product(product)
    check(os.path.exists(os.path.join(os.path.dirname(tree.program('tn-pack.exe')), 'TNInstaller.exe')),
          'no TNInstaller.exe beside the tools')
    same_name = os.path.join(work, 'TNInstaller.exe')
    cases = [
        # (what, the current folder's TNInstaller.exe, tool, arguments, exit code, check of the outcome)
        ('tn-extract reads the installer the current folder names', 'packed', 'tn-extract.exe',
         ['TNInstaller.exe', 'extracted'], 0,
         lambda out, errors: out.endswith('entries 4\n') and os.path.isfile(os.path.join(work, 'extracted', 'readme.txt'))),
        ('tn-pack checks the stub it copies', 'product', 'tn-pack.exe',
         ['product', 'setup.exe', '--stub', 'TNInstaller.exe'], 2,
         lambda out, errors: f'tn-pack: {windows_path(same_name)} is not this installer: it has no dialog 102' in errors
         and not os.path.exists(os.path.join(work, 'setup.exe'))),
        ('tn-pack packs the folder and writes the output the current folder names', 'packed', 'tn-pack.exe',
         ['product', 'setup.exe', '--stub', 'TNInstaller.exe'], 0,
         lambda out, errors: out.startswith(f'tn-pack: {windows_path(os.path.join(work, "setup.exe"))}: 4 entries')),
    ]
    packed = os.path.join(work, 'packed.exe')
    code, _ = wine(tree, tree.program('tn-pack.exe'), windows_path(product), windows_path(packed))
    check(code == 0, f'tn-pack exit code {code}')
    for what, stub, tool, arguments, expected, outcome in cases:
        shutil.copy(packed if stub == 'packed' else tree.program('Tarnivo.exe'), same_name)
        code, out, errors = wine_with_errors(tree, tree.program(tool), *arguments, cwd=work, timeout=600)
        check(code == expected, f'{what}: exit code {code}: {errors[-500:]!r} {out[-300:]!r}')
        check(outcome(out, errors), f'{what}: {out[-300:]!r} {errors[-500:]!r}')
    remove(work)


if __name__ == '__main__':
    main({'packed_product_installs_as_it_was': packed_product_installs_as_it_was,
          'too_many_entries_refused': too_many_entries_refused,
          'signed_stub_gives_an_installer_to_sign_again': signed_stub_gives_an_installer_to_sign_again,
          'links_out_of_the_product_refused': links_out_of_the_product_refused,
          'relative_paths_name_the_current_folder': relative_paths_name_the_current_folder})

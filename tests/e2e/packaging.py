#!/usr/bin/env python3
"""tn-pack end to end: a product folder packed into a new installer, which
installs it in update mode exactly as it was; and a folder with more entries
than a ZIP without its 64-bit extension holds, refused."""
import os
import random
import shutil

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


def packed_product_installs_as_it_was(tree):
    work = scratch(tree, 'pack')
    product, target, current = (os.path.join(work, name) for name in ('product', 'target', 'current'))
    make_product(tree, product)
    installer = os.path.join(work, 'setup.exe')

    code, out = wine(tree, tree.program('tn-pack.exe'), windows_path(product), windows_path(installer))
    check(code == 0, f'tn-pack exit code {code}: {out}')
    check(': 17 entries, archive ' in out, f'tn-pack said {out!r}')

    os.makedirs(current)
    code, _ = wine(tree, tree.tool('tn-launch.exe'), windows_path(installer), cwd=current,
                   env={'TN_ARGUMENTS': '"' + windows_path(target) + '"'}, timeout=300)
    check(code == 0, f'installer exit code {code}')
    # The installed product starts and writes its record beside itself.
    record = os.path.join(target, 'launch.log')
    wait_for(lambda: os.path.exists(record), 30, 'the product to start')
    wine(tree, tree.tool('tn-window-probe.exe'), 'close-product')
    os.remove(record)

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
    # The fixture is what it says.
    check(before['readonly.dat'][0] == ARCHIVE | READ_ONLY, f'read-only: {before["readonly.dat"]}')
    check(before['hidden.ini'][0] & HIDDEN, f'hidden: {before["hidden.ini"]}')
    check(before['说明.txt'][1] == (TIME_IN_2030 + 11644473600) * 10_000_000, f'2030: {before["说明.txt"]}')
    check(before['plugins\\新建\\deeper\\'][0] == FOLDER, 'nested empty folder')
    for path in (product, target):
        for folder, _, files in os.walk(path):
            for name in files:
                os.chmod(os.path.join(folder, name), 0o644)
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


if __name__ == '__main__':
    main({'packed_product_installs_as_it_was': packed_product_installs_as_it_was,
          'too_many_entries_refused': too_many_entries_refused})

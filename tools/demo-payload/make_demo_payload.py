#!/usr/bin/env python3
"""Writes the demo product archive: a deterministic ZIP shaped like the
shipped payload, with the stand-in Tarnivo.exe and uninstall.exe at its top.

Shape: 3162 entries (478 folder entries stored with size 0 and attribute
0x10, 14 empty files, five names in code page 936), host MS-DOS, methods 0
and 8, an NTFS extra block on every entry, about 42 MB, mostly web-like text
with some already-compressed binaries. The same inputs give the same bytes.

usage: make_demo_payload.py (--output ZIP | --folder DIR) [--tarnivo EXE] [--uninstall EXE]
Without --tarnivo / --uninstall a small placeholder stands in for each.
--folder writes the same entries as a product folder instead (what tn-pack
takes), each file with the entry's time.
"""

import argparse
import calendar
import os
import random
import struct
import sys
import zlib

ENTRY_COUNT = 3162
FOLDER_COUNT = 478
EMPTY_FILE_COUNT = 14
SEED = 20230618

VERSION_MADE_BY = 0x0014  # host 0 (MS-DOS), ZIP 2.0
VERSION_NEEDED = 20
ATTRIBUTE_FOLDER = 0x10
ATTRIBUTE_ARCHIVE = 0x20
NTFS_EXTRA_ID = 0x000A

# Five names in code page 936, as the shipped archive has (files in ASCII
# folders, so no other name carries these bytes).
CHINESE_FILES = ["说明.txt", "用户协议.html", "更新日志.txt", "图标.png", "帮助.html"]

TOP_FOLDERS = ["html", "css", "js", "res", "locales", "plugins", "themes", "fonts"]
TEXT_KINDS = [(".html", 0.35), (".css", 0.2), (".js", 0.35), (".json", 0.05), (".txt", 0.05)]
IMAGE_KINDS = [".png", ".jpg", ".gif", ".webp"]


class Entry:
    def __init__(self, name, data=b"", method=0, folder=False, dos_time=0):
        self.name = name  # str; encoded with gbk
        self.data = data
        self.method = method
        self.folder = folder
        self.dos_time = dos_time


def dos_date_time(year, month, day, hour, minute, second):
    date = ((year - 1980) << 9) | (month << 5) | day
    time = (hour << 11) | (minute << 5) | (second // 2)
    return (date << 16) | time


def file_time_of(dos):
    """The DOS time taken as UTC, as a Windows file time."""
    date, time = dos >> 16, dos & 0xFFFF
    seconds = calendar.timegm(((date >> 9) + 1980, (date >> 5) & 15, date & 31,
                               time >> 11, (time >> 5) & 63, (time & 31) * 2, 0, 0, 0))
    return (seconds + 11644473600) * 10_000_000


def ntfs_block(dos):
    stamp = file_time_of(dos)
    data = struct.pack("<IHHQQQ", 0, 1, 24, stamp, stamp, stamp)
    return struct.pack("<HH", NTFS_EXTRA_ID, len(data)) + data


class TextMaker:
    """Web-like text from a seeded PRNG: lines drawn from a pool built of a
    vocabulary, so it compresses about as real pages and scripts do."""

    WORDS = ("div span class id style function var let const return if else for while new this "
             "document window tarnivo player video list item nav header footer main content button "
             "click event handler width height margin padding color background border display flex "
             "none block inline absolute relative top left right bottom index value data url src "
             "href title name type text http www api json module export import default async await "
             "promise then catch error log console true false null undefined length push map filter "
             "reduce keys object array string number math floor random date time user config").split()

    def __init__(self, rng):
        self.rng = rng
        self.pools = {kind: [self._line(kind) for _ in range(3000)] for kind, _ in TEXT_KINDS}

    def _identifier(self):
        rng = self.rng
        return "".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(3, 9)))

    def _words(self, low, high):
        rng = self.rng
        return " ".join(rng.choice(self.WORDS) if rng.random() < 0.8 else self._identifier()
                        for _ in range(rng.randint(low, high)))

    def _line(self, kind):
        rng = self.rng
        indent = " " * (2 * rng.randint(0, 5))
        if kind == ".html":
            tag = rng.choice(["div", "span", "p", "a", "li", "section", "td"])
            return f'{indent}<{tag} class="{self._identifier()}-{self._identifier()}">{self._words(2, 12)}</{tag}>'
        if kind == ".css":
            return (f"{indent}.{self._identifier()} {{ {rng.choice(self.WORDS)}: {rng.randint(0, 999)}px; "
                    f"color: #{rng.randrange(16 ** 6):06x}; }}")
        if kind == ".js":
            return (f"{indent}{rng.choice(['var', 'let', 'const'])} {self._identifier()} = "
                    f"{self._identifier()}.{rng.choice(self.WORDS)}({self._words(1, 5).replace(' ', ', ')});")
        if kind == ".json":
            return f'{indent}"{self._identifier()}": "{self._words(1, 6)}",'
        return self._words(5, 16)

    def text(self, kind, size):
        lines = self.rng.choices(self.pools[kind], k=max(1, size // 60))
        body = "\n".join(lines).encode("ascii")
        return body[:size] if len(body) > size else body


def folder_tree(rng):
    """478 folder names, nested like a product's web resources."""
    folders = [f"{top}/" for top in TOP_FOLDERS]
    while len(folders) < FOLDER_COUNT:
        parent = rng.choice(folders)
        if parent.count("/") >= 4:
            continue
        name = "".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(4, 8)))
        folder = f"{parent}{name}/"
        if folder not in folders:
            folders.append(folder)
    return folders


def pick_kind(rng):
    roll, total = rng.random(), 0.0
    for kind, share in TEXT_KINDS:
        total += share
        if roll < total:
            return kind
    return TEXT_KINDS[-1][0]


def build_entries(tarnivo, uninstall):
    rng = random.Random(SEED)
    texts = TextMaker(rng)
    base_time = dos_date_time(2023, 6, 18, 10, 24, 36)

    def when():
        # Within the same day, as a build's files are.
        minutes = rng.randrange(600)
        return dos_date_time(2023, 6, 18, 9 + minutes // 60, minutes % 60, rng.randrange(0, 60, 2))

    top = [Entry("Tarnivo.exe", tarnivo, 8, dos_time=base_time),
           Entry("uninstall.exe", uninstall, 8, dos_time=base_time)]
    # Already-compressed binaries at the top: packed resources stored, libraries deflated.
    for name, size, method in [("resources.pak", 9_340_000, 0), ("tarnivo_core.dll", 4_600_000, 8),
                               ("media.dll", 2_300_000, 8), ("icudtl.dat", 3_100_000, 0),
                               ("snapshot_blob.bin", 600_000, 0), ("locales.pak", 1_400_000, 8)]:
        top.append(Entry(name, rng.randbytes(size), method, dos_time=when()))

    folders = folder_tree(rng)
    file_count = ENTRY_COUNT - FOLDER_COUNT - len(top)
    contents = {folder: [] for folder in folders}
    placements = [rng.choice(folders) for _ in range(file_count)]
    chinese = {rng.randrange(file_count): name for name in CHINESE_FILES}
    while len(chinese) < len(CHINESE_FILES):  # rare collisions of the random slots
        chinese[rng.randrange(file_count)] = CHINESE_FILES[len(chinese)]
    empty = set()
    while len(empty) < EMPTY_FILE_COUNT:
        slot = rng.randrange(file_count)
        if slot not in chinese:
            empty.add(slot)

    for slot, folder in enumerate(placements):
        if slot in chinese:
            name = chinese[slot]
            kind = os.path.splitext(name)[1]
        elif rng.random() < 0.22:
            kind = rng.choice(IMAGE_KINDS)
            name = f"{rng.choice(['icon', 'bg', 'btn', 'img', 'logo'])}_{slot:04d}{kind}"
        else:
            kind = pick_kind(rng)
            name = f"{rng.choice(['index', 'main', 'app', 'page', 'style', 'util', 'lang'])}_{slot:04d}{kind}"
        path = folder + name
        if slot in empty:
            entry = Entry(path, b"", 0, dos_time=when())
        elif kind in IMAGE_KINDS:
            # Images are compressed already: stored, or deflated to no gain.
            entry = Entry(path, rng.randbytes(int(rng.lognormvariate(8.6, 0.9)) + 200),
                          0 if rng.random() < 0.7 else 8, dos_time=when())
        else:
            size = int(rng.lognormvariate(9.5, 1.0)) + 100
            entry = Entry(path, texts.text(kind if kind in dict(TEXT_KINDS) else ".txt", size), 8, dos_time=when())
        contents[folder].append(entry)

    entries = list(top)

    def walk(folder):
        entries.append(Entry(folder, folder=True, dos_time=base_time))
        entries.extend(contents[folder])
        for child in folders:
            if child != folder and child.startswith(folder) and child.count("/") == folder.count("/") + 1:
                walk(child)

    for folder in folders:
        if folder.count("/") == 1:
            walk(folder)
    return entries


def write_zip(entries, output):
    central = []
    offset = 0
    temporary = output + ".tmp"
    with open(temporary, "wb") as out:
        for entry in entries:
            name = entry.name.encode("gbk")
            if entry.method == 8 and entry.data:
                compressor = zlib.compressobj(6, zlib.DEFLATED, -15)
                stored = compressor.compress(entry.data) + compressor.flush()
            else:
                entry.method = 0
                stored = entry.data
            crc = zlib.crc32(entry.data) & 0xFFFFFFFF
            extra = ntfs_block(entry.dos_time)
            header = struct.pack("<IHHHIIIIHH", 0x04034B50, VERSION_NEEDED, 0, entry.method, entry.dos_time,
                                 crc, len(stored), len(entry.data), len(name), len(extra))
            out.write(header + name + extra)
            out.write(stored)
            attributes = ATTRIBUTE_FOLDER if entry.folder else ATTRIBUTE_ARCHIVE
            central.append(struct.pack("<IHHHHIIIIHHHHHII", 0x02014B50, VERSION_MADE_BY, VERSION_NEEDED, 0,
                                       entry.method, entry.dos_time, crc, len(stored), len(entry.data),
                                       len(name), len(extra), 0, 0, 0, attributes, offset) + name + extra)
            offset += len(header) + len(name) + len(extra) + len(stored)
        directory = b"".join(central)
        out.write(directory)
        out.write(struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(directory), offset, 0))
    os.replace(temporary, output)


def write_folder(entries, folder):
    """The entries as files and folders, each file with its DOS time taken as UTC."""
    os.makedirs(folder, exist_ok=True)
    if os.listdir(folder):
        sys.exit(f"{folder} is not empty")
    for entry in entries:
        path = os.path.join(folder, *entry.name.rstrip("/").split("/"))
        if entry.folder:
            os.makedirs(path, exist_ok=True)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(entry.data)
        when = file_time_of(entry.dos_time) // 10_000_000 - 11644473600
        os.utime(path, (when, when))


def placeholder(name):
    # A tiny stand-in with the right name inside, for trees without the product targets.
    return b"MZ" + f"placeholder for {name}\r\n".encode("ascii") + bytes(62)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    where = parser.add_mutually_exclusive_group(required=True)
    where.add_argument("--output", help="the archive to write")
    where.add_argument("--folder", help="an empty or new folder to write the product into")
    parser.add_argument("--tarnivo", help="the stand-in Tarnivo.exe")
    parser.add_argument("--uninstall", help="the stand-in uninstall.exe")
    args = parser.parse_args()

    def read(path, name):
        if not path:
            return placeholder(name)
        with open(path, "rb") as source:
            return source.read()

    entries = build_entries(read(args.tarnivo, "Tarnivo.exe"), read(args.uninstall, "uninstall.exe"))
    folders = sum(1 for e in entries if e.folder)
    empties = sum(1 for e in entries if not e.folder and not e.data)
    chinese = sum(1 for e in entries if not e.name.isascii())
    if (len(entries), folders, empties, chinese) != (ENTRY_COUNT, FOLDER_COUNT, EMPTY_FILE_COUNT, len(CHINESE_FILES)):
        sys.exit(f"shape is off: {len(entries)} entries, {folders} folders, {empties} empty files, "
                 f"{chinese} names in code page 936")
    if args.folder:
        write_folder(entries, args.folder)
        print(f"{args.folder}: {len(entries)} files and folders")
        return
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    write_zip(entries, args.output)
    print(f"{args.output}: {len(entries)} entries, {os.path.getsize(args.output)} bytes")


if __name__ == "__main__":
    main()

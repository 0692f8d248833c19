#!/usr/bin/env python3
"""Writes the binary resources the script includes: the program icon and the
main window's control-initialisation data."""
import struct
import sys
import zlib


def icon(size=32):
    # A 32-bit icon: the product's blue square with a lighter border.
    pixels = bytearray()
    for y in range(size):
        for x in range(size):
            border = x < 2 or y < 2 or x >= size - 2 or y >= size - 2
            b, g, r = (0xEA, 0xB6, 0x5D) if not border else (0xFF, 0xE0, 0xB0)
            pixels += bytes((b, g, r, 0xFF))
    mask = bytes(((size + 31) // 32) * 4 * size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + bytes(pixels) + mask
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), 22)
    return directory + image


def dlginit():
    text = b'<MFCEditBrowse_Mode>1</MFCEditBrowse_Mode>'
    # control id, message, length, data; a zero id ends the list.
    return struct.pack('<HHI', 1006, 0x0363, len(text)) + text + struct.pack('<H', 0)


def main():
    out = sys.argv[1]
    with open(f'{out}/tninstaller.ico', 'wb') as f:
        f.write(icon())
    with open(f'{out}/dlginit102.bin', 'wb') as f:
        f.write(dlginit())


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Writes the binary resources the script includes: the main window's template
and its control-initialisation data, and the licence dialog's template.

The template is written here rather than as a DIALOGEX statement because the
resource compiler upper-cases window class names ("MfcEditBrowse" would become
"MFCEDITBROWSE"); this keeps every byte of the window as designed."""
import struct
import sys


# Dialog 102: style, extended style, frame in dialog units, font.
MAIN_WINDOW = dict(style=0x90000048, ex_style=0x00040020, frame=(0, 0, 332, 209), font=(9, 'MS Shell Dlg'))

# id, class, text, style, extended style, x, y, width, height; template order.
MAIN_WINDOW_CONTROLS = [
    (1003, 'STATIC', '', 0x50000204, 0x00000020, 0, 0, 331, 107),
    (1004, 'STATIC', '安装中. . .', 0x50020000, 0, 31, 170, 84, 8),
    (1005, 'msctls_progress32', '', 0x50800000, 0, 29, 149, 269, 7),
    (1010, 'STATIC', '立即安装', 0x50020100, 0, 103, 119, 98, 20),
    (1009, 'STATIC', 'Static', 0x50020100, 0, 18, 191, 19, 8),
    (1007, 'STATIC', '同意并阅读', 0x50020000, 0, 43, 191, 42, 8),
    (1008, 'STATIC', '软件许可协议', 0x50020100, 0, 90, 191, 45, 8),
    (1006, 'MfcEditBrowse', '', 0x50810080, 0, 29, 146, 269, 14),
    (1017, 'STATIC', 'Static', 0x50020100, 0, 301, 3, 8, 8),
    (1018, 'STATIC', 'Static', 0x50020100, 0, 316, 3, 8, 8),
    (1016, 'STATIC', 'Static', 0x50020000, 0, 6, 6, 28, 8),
]

# Dialog 103, the licence agreement: no extended style, 8-point font.
LICENCE_DIALOG = dict(style=0x90080048, ex_style=0, frame=(0, 0, 309, 176), font=(8, 'MS Shell Dlg'))

LICENCE_DIALOG_CONTROLS = [
    (1011, 'STATIC', '《Ostrevan》软件许可协议', 0x50020000, 0, 0, 0, 309, 15),
    (1012, 'STATIC', 'Static', 0x50020100, 0, 281, 5, 19, 8),
    (1015, 'EDIT', '', 0x50201844, 0x00000020, 21, 30, 257, 116),
    (1013, 'STATIC', 'Static', 0x50020000, 0, 0, 157, 309, 19),
    (1014, 'STATIC', 'Static', 0x50020100, 0, 259, 159, 19, 8),
]

# Classes the dialog manager knows by ordinal.
CLASS_ORDINALS = {'BUTTON': 0x80, 'EDIT': 0x81, 'STATIC': 0x82}


def text(value):
    return value.encode('utf-16-le') + b'\0\0'


def class_name(name):
    ordinal = CLASS_ORDINALS.get(name.upper())
    return struct.pack('<HH', 0xFFFF, ordinal) if ordinal else text(name)


def align(data):
    return data + bytes(-len(data) % 4)


def dialog_template(window, controls):
    x, y, width, height = window['frame']
    points, face = window['font']
    data = struct.pack('<HHIIIHhhhh', 1, 0xFFFF, 0, window['ex_style'], window['style'], len(controls),
                       x, y, width, height)
    data += text('') + text('') + text('')   # no menu, no class, empty title
    data += struct.pack('<HHBB', points, 0, 0, 1) + text(face)
    for control_id, name, caption, style, ex_style, cx, cy, cw, ch in controls:
        data = align(data)
        data += struct.pack('<IIIhhhhI', 0, ex_style, style, cx, cy, cw, ch, control_id)
        data += class_name(name) + text(caption) + struct.pack('<H', 0)
    return data


# The framework's control-initialisation message.
WM_MFC_INITCTRL = 0x037C


def dlginit():
    text = b'<MFCEditBrowse_Mode>1</MFCEditBrowse_Mode>'
    # control id, message, length, data; a zero id ends the list.
    return struct.pack('<HHI', 1006, WM_MFC_INITCTRL, len(text)) + text + struct.pack('<H', 0)


def main():
    out = sys.argv[1]
    with open(f'{out}/dialog102.bin', 'wb') as f:
        f.write(dialog_template(MAIN_WINDOW, MAIN_WINDOW_CONTROLS))
    with open(f'{out}/dlginit102.bin', 'wb') as f:
        f.write(dlginit())
    with open(f'{out}/dialog103.bin', 'wb') as f:
        f.write(dialog_template(LICENCE_DIALOG, LICENCE_DIALOG_CONTROLS))


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""What ships, read with the toolchain's own tools: a GUI program for the
tree's machine, that needs no MinGW runtime DLL and asks for administrator
rights."""
import os
import re
import subprocess

from harness import check, main

# Libraries every Windows system has; anything else (a MinGW runtime DLL
# among them) would have to ship along.
SYSTEM_DLLS = {'advapi32.dll', 'bcrypt.dll', 'comctl32.dll', 'gdi32.dll', 'gdiplus.dll', 'iphlpapi.dll',
               'kernel32.dll', 'msvcrt.dll', 'ntdll.dll', 'ole32.dll', 'oleaut32.dll', 'shell32.dll', 'shlwapi.dll',
               'user32.dll', 'ws2_32.dll', 'wldap32.dll', 'crypt32.dll', 'msimg32.dll', 'comdlg32.dll'}


def shipped_program_is_what_it_says(tree):
    program = tree.program('TNInstaller.exe')
    thirty_two = os.path.basename(tree.path) == 'win32'
    described = subprocess.run(['file', program], stdout=subprocess.PIPE, check=True).stdout.decode()
    expected = 'PE32 executable (GUI) Intel 80386' if thirty_two else 'PE32+ executable (GUI) x86-64'
    check(expected in described, f'file says: {described.strip()}')

    objdump = ('i686' if thirty_two else 'x86_64') + '-w64-mingw32-objdump'
    headers = subprocess.run([objdump, '-p', program], stdout=subprocess.PIPE, check=True).stdout.decode()
    imports = {name.lower() for name in re.findall(r'DLL Name: (\S+)', headers)}
    check(imports and imports <= SYSTEM_DLLS, f'imports beyond the system: {sorted(imports - SYSTEM_DLLS)}')

    # Sections that start on page boundaries in the file are mapped, not
    # read: the payload's pages stay on disk until the extraction reads them,
    # instead of the whole archive being read in before the window shows.
    alignment = re.search(r'FileAlignment\s+([0-9a-fA-F]+)', headers)
    check(alignment and int(alignment.group(1), 16) == 0x1000, f'file alignment {alignment and alignment.group(1)}')

    with open(program, 'rb') as image:
        check(b'level="requireAdministrator" uiAccess="false"' in image.read(), 'manifest execution level')


if __name__ == '__main__':
    main({'shipped_program_is_what_it_says': shipped_program_is_what_it_says})

#!/usr/bin/env python3
"""What ships, read with the toolchain's own tools: a GUI program for the
tree's machine, that imports only libraries the loader takes from System32,
needs no MinGW runtime DLL and asks for administrator rights."""
import os
import re
import subprocess

from harness import check, main

# What the import table may name: the libraries of Windows 7's KnownDLLs
# list, which the loader takes from System32 whatever lies beside the
# program, and ntdll, which every process has before its first instruction.
# Any other library named there would be looked for in the program's folder
# first (the installer runs elevated from Downloads), and a MinGW runtime DLL
# would have to ship along.
KNOWN_DLLS = {'advapi32.dll', 'clbcatq.dll', 'comdlg32.dll', 'difxapi.dll', 'gdi32.dll', 'imagehlp.dll', 'imm32.dll',
              'kernel32.dll', 'lpk.dll', 'msctf.dll', 'msvcrt.dll', 'normaliz.dll', 'nsi.dll', 'ole32.dll',
              'oleaut32.dll', 'psapi.dll', 'rpcrt4.dll', 'sechost.dll', 'setupapi.dll', 'shell32.dll', 'shlwapi.dll',
              'urlmon.dll', 'user32.dll', 'usp10.dll', 'wininet.dll', 'wldap32.dll', 'ws2_32.dll', 'ntdll.dll'}


def shipped_program_is_what_it_says(tree):
    program = tree.program('TNInstaller.exe')
    thirty_two = os.path.basename(tree.path) == 'win32'
    described = subprocess.run(['file', program], stdout=subprocess.PIPE, check=True).stdout.decode()
    expected = 'PE32 executable (GUI) Intel 80386' if thirty_two else 'PE32+ executable (GUI) x86-64'
    check(expected in described, f'file says: {described.strip()}')

    objdump = ('i686' if thirty_two else 'x86_64') + '-w64-mingw32-objdump'
    headers = subprocess.run([objdump, '-p', program], stdout=subprocess.PIPE, check=True).stdout.decode()
    imports = {name.lower() for name in re.findall(r'DLL Name: (\S+)', headers)}
    check(imports and imports <= KNOWN_DLLS, f'imports beyond the known libraries: {sorted(imports - KNOWN_DLLS)}')

    # Sections that start on page boundaries in the file are mapped, not
    # read: the payload's pages stay on disk until the extraction reads them,
    # instead of the whole archive being read in before the window shows.
    alignment = re.search(r'FileAlignment\s+([0-9a-fA-F]+)', headers)
    check(alignment and int(alignment.group(1), 16) == 0x1000, f'file alignment {alignment and alignment.group(1)}')

    with open(program, 'rb') as image:
        check(b'level="requireAdministrator" uiAccess="false"' in image.read(), 'manifest execution level')


if __name__ == '__main__':
    main({'shipped_program_is_what_it_says': shipped_program_is_what_it_says})

#pragma once
// The folders the installer makes on the way to the product folder, and so
// everything that comes to lie below them, get the rights of a Program Files
// folder rather than their parent's. Outside Program Files (C:\Tarnivo,
// D:\Apps\Tarnivo) the parent commonly lets every user add and change
// files; the next elevated update would then extract among files someone
// else placed, follow their junctions and start the program they replaced.
//
// Full control for SYSTEM, Administrators and TrustedInstaller (folders
// only, as Program Files gives it), read and execute for Users and for app
// containers, full control to the creator of anything below: what a new
// folder inherits in Program Files, so there the rights come out the same.
// The list is protected: nothing is inherited from the parent.
#include <windows.h>

#include <string>

#include "framework/Handles.h"

constexpr wchar_t kProtectedFolderSddl[] =
    L"D:P"
    L"(A;OICI;FA;;;SY)"
    L"(A;OICI;FA;;;BA)"
    L"(A;CI;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)"
    L"(A;OICI;0x1200a9;;;BU)"
    L"(A;OICI;0x1200a9;;;S-1-15-2-1)"
    L"(A;OICI;0x1200a9;;;S-1-15-2-2)"
    L"(A;OICIIO;FA;;;CO)";

// The descriptor above, made by the system from its text; empty when the
// system cannot make it.
tn::UniqueLocalMemory ProtectedFolderDescriptor();

// CreateDirectoryW with that descriptor. A folder that exists already keeps
// its own (the call fails with ERROR_ALREADY_EXISTS); so does a folder the
// descriptor could not be made for, which is then made as before.
BOOL CreateProtectedFolder(const std::wstring& path);

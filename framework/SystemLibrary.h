#pragma once
// Libraries come from System32 only. The program runs elevated, usually from
// Downloads or from wherever the product started it: a file named like a
// system library in its folder, or in the folder it was started from, would
// otherwise run as administrator.
//
// Both functions use nothing but the system's own calls, so the process's
// entry point can use them before the C runtime has started.
#include <windows.h>

// Takes the program's folder, the current folder and the PATH out of every
// later search by name: the default search becomes System32 alone
// (SetDefaultDllDirectories, looked up rather than imported, since Windows 7
// without its update lacks it; there only the current folder can go).
void RestrictLibrarySearchToSystem();

// Loads name (a bare file name) from System32 by its full path, its own
// dependencies from System32 too; null when it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The address of function in the system library, loading it as above; the
// library stays loaded to the process's end. Null when either is missing.
FARPROC SystemFunctionAddress(const wchar_t* library, const char* function);

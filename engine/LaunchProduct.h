#pragma once
// Starting the installed program after an installation, the update's and
// the full installation's alike.

#include <string>

// One CreateProcessW of folder + "\Tarnivo.exe", as application name and as
// command line, with the installer's environment and current folder; a
// failure is not reported. The program is named by its full path: a bare
// name would be looked for in the installer's current folder, where an
// elevated installer must not start whatever lies there.
void LaunchProduct(const std::wstring& folder);

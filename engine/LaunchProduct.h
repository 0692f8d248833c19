#pragma once
// Starting the installed program after an installation.

#include <string>

enum class LaunchForm {
    // folder + "\Tarnivo.exe" as application name and command line.
    Full,
    // Application name "Tarnivo.exe" alone, found in the installer's current
    // folder; command line folder + "\Tarnivo.exe".
    Update,
};

// One CreateProcessW with the installer's environment and current folder; a
// failure is not reported.
void LaunchProduct(LaunchForm form, const std::wstring& folder);

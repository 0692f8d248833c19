#pragma once
// Making the installed product known to Windows: the desktop shortcut and its
// pins, its copy for all users, the uninstall entry. No step reports a
// failure; the installation goes on whatever each one did.

#include <string>

// Saves desktop folder + "\Tarnivo 2.0.lnk" pointing at folder +
// "\Tarnivo.exe" (working folder: folder) and returns that path, also when
// the shell's link object could not be had and nothing was saved.
std::wstring CreateDesktopShortcut(const std::wstring& folder);

// Asks the shell to pin the shortcut to the taskbar, then to the Start menu.
void PinShortcut(const std::wstring& path);

// Copies the shortcut into the all-users Programs folder; an existing copy
// stays as it is.
void CopyShortcutToCommonPrograms(const std::wstring& path);

// Writes both uninstall keys with their seven values; a key that cannot be
// created is skipped and the other is still tried.
void WriteUninstallEntry(const std::wstring& folder);

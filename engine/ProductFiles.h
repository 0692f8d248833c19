#pragma once
// What the installer fixes about the product it carries: its file names at
// the archive's top, appended to the target folder as they stand.

// The program, started after installing and ended by name before.
constexpr const wchar_t kProductProgramName[] = L"Tarnivo.exe";
constexpr const wchar_t kProductProgramFile[] = L"\\Tarnivo.exe";
// The uninstaller named in the uninstall entry; the installer never runs it.
constexpr const wchar_t kProductUninstallerFile[] = L"\\uninstall.exe";

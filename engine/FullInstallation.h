#pragma once
// The full installation path of the worker.

#include <string>

class CInstallWindow;

// Creates every folder level of path except its last element, each new one
// with the protected rights (ProtectedFolder.h); the results of the single
// creations are not looked at.
void CreateParentFolders(const std::wstring& path);

// Parent folders, extraction with progress, the desktop shortcut, its pins
// and all-users copy, the uninstall entry, the start of the product in its
// full form, the S2_i05 report and the quit message; then it ends the worker
// thread. Never returns.
[[noreturn]] void RunFullInstallation(const std::wstring& folder, CInstallWindow* window);

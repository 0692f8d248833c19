#pragma once
// The name of the kernel object that keeps two installers from writing into
// the same target folder at once. Platform-free.

#include <string>

// A fixed-length object name for folder: "\" and "/" count as one separator,
// runs of them as one, trailing ones as none; the caller folds case first
// (with the system's rules) so "C:\Apps\X" and "c:/apps/x/" meet. The text
// itself is hashed, so no folder is too long or holds a character an object
// name may not.
std::wstring TargetLockName(const std::wstring& caseFoldedFolder);

#pragma once
// The Windows half of the signature's removal: the temporary copy of a
// signed stub loses its security directory entry and the certificate table
// at its end, before the resource update changes the bytes it covered.

#include "tools/tn-pack/PackOutcome.h"

#include <string>

// path: the copy of a stub signed at its end (CheckInstallerStub said so).
PackOutcome RemoveStubSignature(const std::wstring& path);

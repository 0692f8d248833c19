#pragma once
// The Windows half of the header fix-up: the stub's stamps read from the
// stub, written into the updated copy in place.

#include "tools/tn-pack/PackOutcome.h"

#include <string>

// path: the updated copy; stub: the program it was copied from.
PackOutcome MakeReproducible(const std::wstring& path, const std::wstring& stub);

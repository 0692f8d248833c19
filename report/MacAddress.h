#pragma once
// The machine identity carried by the install events.

#include <string>

// The first network adapter's address as 17 characters, e.g.
// "00-1A-2B-3C-4D-5E", or empty when the adapter list cannot be read in one
// call (no adapter, more records than the buffer holds, any failure).
std::wstring GetMacAddress();

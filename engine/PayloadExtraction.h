#pragma once
// Extracts the embedded product archive under a folder while it drives the
// window's progress display.

#include <string>

class CInstallWindow;

// Opens resource "ZIP" 148, extracts every entry under folder and shows the
// paced percentages in the window's status text (1004) and progress bar
// (1005). True when every entry was extracted or there were none; false at
// the first entry that fails, or when there is no archive to open (then
// nothing is shown).
bool ExtractPayload(const std::wstring& folder, CInstallWindow* window);

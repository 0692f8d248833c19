#pragma once
// tn-extract's output, one tab-separated line per entry:
// index, result (0x%08X), attributes (0x%02X), modification, access and
// creation time (decimal file times), name in UTF-8. Platform-free.

#include "engine/ArchiveItem.h"

#include <string>
#include <string_view>

// UTF-16 on Windows, UTF-32 elsewhere; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::string* out, std::wstring_view text);

void AppendEntryLine(std::string* out, int index, ArchiveResult result, const ArchiveItem& record);

void AppendEntriesLine(std::string* out, int count);

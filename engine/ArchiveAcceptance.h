#pragma once
// The worker's rule for an entry it may go past: written, or an empty member,
// which always reports ArcInflateFailed because no data ever comes for it.

#include "engine/ArchiveItem.h"

inline bool IsExtractionAccepted(ArchiveResult result, const ArchiveItem& record)
{
    return result == ArcOk ||
           (result == ArcInflateFailed && record.compressedSize == 0 && record.uncompressedSize == 0);
}

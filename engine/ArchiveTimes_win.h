#pragma once
// The Windows half of the time derivation: the system's own local-to-UTC
// conversion, passed to DeriveItemTimes.

#include "engine/ArchiveTimes.h"

// SystemTimeToFileTime, then LocalFileTimeToFileTime.
bool LocalCivilTimeToUtc(const CivilTime& local, uint64_t* utcFileTime);

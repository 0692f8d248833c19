#pragma once
// minizip's input functions over a MemorySource, so the archive is read in
// place from the loaded resource. Only reading is supported.

#include <minizip/ioapi.h>

class MemorySource;

// Fills functions so that minizip reads source; pass source itself as the
// "file name" to unzOpen2_64.
void FillMemoryFileFunctions(zlib_filefunc64_def* functions, MemorySource* source);

// The file slots the data model reads through, over the C library, for
// tests below storage: open (regular files only, for reading), read, seek
// and close; every other slot of the file-system table is neutral.
// Paths are native paths, taken as they are.
#pragma once

#include "engine/runtime/zekar.h"

void FillStdioFileTable(zk_file_system_api_t* files);

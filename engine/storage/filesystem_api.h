// The engine's file-system functions: the 21 operations of the file-system
// table (their records, zk_file_t and zk_file_info_t, are the table's) and
// the path helpers beside the table.
// They take native paths only: a path holding "://" is refused.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/runtime/interface_functions.h"
#include "engine/runtime/zekar.h"

class nString;

// The 21 ZK_FileSystem_ operations are declared with the rest of the
// table's functions.

// Storage's part of the interface table: the file-system sub-table and the
// top-level slots of product values, HTTP requests and their buffers.
void ZKI_FillStorageInterface(zekar_t* table);

// The full path of a file: for a native path the path itself when it opens
// for reading, or (must_exist false) when it can be created. The result is
// one of 32 rotating 260-byte buffers; null when nothing fits, also for a
// path longer than 259 characters.
const char* ZKI_GetFileFullPath(const char* path, bool must_exist);
// The native path of an engine path ("res://data/a.bms"); "" for any path
// holding "://" in this system.
nString ZK_ConvertStaticPathToNativeOSPath(const char* path);
// True when a file can be created at the path; an existing file is never
// touched (the answer is then whether it opens for appending). Where
// anything else stands (a folder, a FIFO, a link that leads nowhere) the
// answer is false and it is left as it is.
bool ZK_CanWriteToFile(const char* path);
// True when anything stands at the path, of any kind: a file, a folder, a
// FIFO, a symbolic link (also one that leads nowhere). A new file may be
// made under a name only when this is false. A null or prefixed path, or
// one whose status cannot be read for a reason other than there being
// nothing, counts as taken.
bool ZKI_IsPathTaken(const char* path);
// A new empty file opened for writing, made only where nothing stands (as
// ZKI_IsPathTaken counts it) in the same step as the name is looked at: a
// file, folder or link put at the name in the meantime is refused, and a
// link is never followed. Closed with ZK_FileSystem_CloseFile. Null for a
// null or prefixed path, a taken name, or a file that cannot be made.
zk_file_t* ZKI_CreateNewFile(const char* path);
// Gives the file at `from` the name `to`, only where nothing stands (as
// ZKI_IsPathTaken counts it), in the same step as the name is looked at:
// nothing is ever replaced, and a link at either name is not followed.
// The file is not copied, so nothing written to it meanwhile is lost. False
// for a null or prefixed path, a taken name, or a file system that cannot
// move a file so; the file then stays where it is.
bool ZKI_MoveFileToNewName(const char* from, const char* to);

// Writing a whole file so that it is never lost half-way: the bytes go to a
// new temporary file in the target's folder, which replaces the target in
// one rename only after every write and the close have succeeded. A write
// that fails at any point, or a process killed during it, leaves the old
// file exactly as it was. (A power cut is not guarded against: nothing is
// synced to the disk.)
//
// The temporary file gets an unpredictable name and is created exclusively,
// never through a symbolic link, so a file or link planted beside the target
// cannot redirect the write. A target that is a symbolic link is replaced by
// the new file; the link's own target is not written.
//
// Plain C library types only, so that programs without the engine's
// runtime can write their files this way too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// One file being written. Begin fills the record; Commit and Abandon empty
// it again, and a zeroed record is an empty one. The descriptor and the
// stream are the record's only while it names a temporary file.
struct zk_safe_write_t {
    int descriptor;   // the temporary file
    FILE* stream;     // the stream form's stream over the descriptor, or null
    char* target;     // heap copies of the two paths; null when empty
    char* temporary;
};

// Every call that can fail says why in words into reason, when it is not
// null, cut to reason_size bytes.

// Creates the temporary file beside path. A caller that knows there is no
// file at path yet says so with target_may_exist false, which spares
// looking up the permissions of a file that is not there.
bool ZKI_BeginSafeWrite(zk_safe_write_t* file, const char* path, char* reason, size_t reason_size,
                        bool target_may_exist = true);
// The stream form: the same, with file->stream open over the temporary
// file for writing in binary mode.
bool ZKI_BeginSafeWriteStream(zk_safe_write_t* file, const char* path, char* reason, size_t reason_size);
// Appends all size bytes (descriptor form).
bool ZKI_WriteSafely(zk_safe_write_t* file, const void* data, size_t size, char* reason, size_t reason_size);
// Closes the temporary file, checking the close (for the stream form also
// every buffered write and the stream's error flag), and moves it over the
// target. On failure the temporary file is removed and the target kept.
bool ZKI_CommitSafeWrite(zk_safe_write_t* file, char* reason, size_t reason_size);
// Closes and removes the temporary file; the target stays as it was.
void ZKI_AbandonSafeWrite(zk_safe_write_t* file);

// Test hook: the function that closes the temporary file of the descriptor
// form, close(2) when null. A close that fails is the one failure a test
// cannot bring about on a local disk.
void ZKI_SetSafeWriteCloseForTesting(int (*close_function)(int descriptor));

// Test hook: where the numbers of temporary names come from, the kernel's
// generator when null. A test that knows the next numbers knows the names a
// write will try, and can put a file or a link there first.
void ZKI_SetSafeWriteNumberForTesting(uint64_t (*number_function)());

// The data manifest: the walk of the target directory and the node line of
// every measured image.
#pragma once

#include <sys/types.h>

#include <cstdio>

namespace manifester {

// The text after the last '.' of the path, searching back from its
// next-to-last character; the whole path when there is none.
const char* GetFileExtension(const char* path);
// png, jpg, tga or bms, without regard to case.
bool IsManifestedExtension(const char* path);
bool IsManifestedFile(const char* path);

// Sets the directory being manifested (at most 511 characters) and the
// stream the node lines go to. Only the part of a walked path from the
// separator after the target on is tested for "/." (hidden folders, "."
// and ".."): a target named through "." or ".." (../data, or an absolute
// path below a hidden folder) is walked, and a folder of it whose name
// begins with "." is not.
bool ZKI_SetManifestTarget(const char* target, FILE* stream);
// Whether any write to the stream has failed since the target was set.
bool ZKI_ManifestWriteFailed();

// Writes the lines before and after the node lines.
void ZKI_WriteManifestHead(FILE* stream);
void ZKI_WriteManifestTail(FILE* stream);

// Walks the folder and every folder below it but the hidden ones. False,
// with a message naming the folder and the reason, as soon as a folder
// cannot be listed: the node lines written until then are not the whole
// tree.
bool ManifestDirectory(const char* path);
// Measures one listed file and writes its node line. A file that cannot be
// opened or read is named ("Unable to read '...'.") and left out, and one
// gone since the listing is passed over without a word: either way the walk
// goes on.
void ManifestFile(const char* path);

// Test hook: the function that reads the measured files, pread(2) when
// null.
void ZKI_SetManifestReadForTesting(ssize_t (*read_function)(int descriptor, void* buffer, size_t size, off_t offset));

// Writes '"' as "&quot;" and '&' as "&amp;" into out (room for 6 times the
// id's length and the terminating zero).
void ZKI_EscapeManifestId(const char* id, char* out);

}  // namespace manifester

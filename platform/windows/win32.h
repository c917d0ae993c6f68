// The few Windows interfaces zk-manifester uses, as a small stand-in over
// POSIX: directory search, the current directory, the message box and the
// console's key read.
#pragma once

#include <cstdint>

typedef void* HANDLE;
typedef uint32_t DWORD;
typedef int BOOL;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(intptr_t(-1)))
const DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
const DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
const unsigned MB_OK = 0;
const int IDOK = 1;

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    char cFileName[260];
};

// Starts a search of "directory/pattern" (either slash). The pattern "*" or
// "*.*" takes every entry, "." and ".." included; any other is matched as
// a shell pattern. Entries come sorted by name without regard to case, ties
// by bytes, so a walk gives the same order on every file system. Listed are
// directories (FILE_ATTRIBUTE_DIRECTORY) and regular files (also through a
// symbolic link; FILE_ATTRIBUTE_ARCHIVE); a link to a directory is not
// followed and, like sockets and pipes, not listed. In a directory that can
// be read but not searched, where no entry can be looked up, an entry whose
// type the listing does not give is listed as a directory and a link as a
// file: both fail, with the reason, when they are listed or opened. Gives
// INVALID_HANDLE_VALUE when the directory cannot be read, with errno saying
// why, or when nothing matches, with errno 0: "*" and "*.*" always match
// "." and "..", so they fail only on a directory that cannot be read.
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
// The next entry; false at the end.
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE search);

// Copies the current directory into buffer. Gives its length, or the size
// a buffer would need (with the terminating zero) when it does not fit, or
// 0 on failure.
DWORD GetCurrentDirectoryA(DWORD size, char* buffer);

// The box's caption and text, written to standard error; gives IDOK.
int MessageBoxA(void* owner, const char* text, const char* caption, unsigned type);

// Waits for one key press without echo when standard input is a terminal
// and gives the key; gives -1 at once otherwise (a pipe, a file, no input),
// so that an unattended run never blocks.
int ConsoleReadKey();

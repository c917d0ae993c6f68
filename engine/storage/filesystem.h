// The static file-system layer behind the file-system table: one file system
// per path prefix, the base and current directory of each prefix, and the
// path and wildcard helpers. Engine code reaches it only through the table.
#pragma once

#include <cstdint>

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "engine/runtime/zekar.h"

namespace ZKFileSystem {

enum PathPrefix : uint32_t {
    PATH_PREFIX_CACHE = 0,
    PATH_PREFIX_DOCS = 1,
    PATH_PREFIX_HTTP = 2,
    PATH_PREFIX_LOGS = 3,
    PATH_PREFIX_RES = 4,
    PATH_PREFIX_SAVE = 5,
    PATH_PREFIX_USER = 6,
    PATH_PREFIX_UGC = 7,
    // Handed to directory-creation callbacks for a plain native path.
    PATH_PREFIX_NATIVE = 9,
    PATH_PREFIX_INVALID = 10,
};

// Number of prefixes that have a string, a base path and a system.
const int path_prefix_count = 8;

enum OpenMode : uint32_t {
    OPEN_MODE_APPEND = 0,
    OPEN_MODE_READ = 1,
    OPEN_MODE_WRITE = 2,
};

// Texts longer than this are refused rather than cut: the engine's path
// buffers hold 260 bytes.
const int max_path_length = 259;

// An open file of one file system.
class File {
public:
    File(int64_t size, uint32_t flags, PathPrefix prefix, bool writable)
        : size(size), flags(flags), prefix(prefix), writable(writable) {}
    virtual ~File() {}
    virtual void Flush() {}
    // An operating-system descriptor for the file's data, adding to offset
    // where the data begins inside it; -1 when there is none.
    virtual int GetFileDescriptor(int& offset) {
        (void)offset;
        return -1;
    }
    virtual int64_t GetPosition() = 0;
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual int SetPosition(int offset, zk_seek_t origin) = 0;
    virtual size_t Write(const void* data, size_t count) {
        (void)data;
        (void)count;
        return 0;
    }

    static constexpr uint32_t flag_archive_entry = 4;

    int64_t size;
    uint32_t flags;
    PathPrefix prefix;
    bool writable;
};

// A file system serving one or more path prefixes.
class System {
public:
    virtual ~System() {}
    // Closes and destroys a file that this system opened. False when the
    // file's content did not all reach it; the file is destroyed all the
    // same. (The base closes nothing and answers false.)
    virtual bool CloseFile(File* file);
    virtual bool CreateDirectory(PathPrefix prefix, const nString& path);
    virtual bool CreatePathDirectory(PathPrefix prefix);
    virtual bool DeleteDirectory(PathPrefix prefix, const nString& path, bool with_files);
    virtual bool DeleteFile(PathPrefix prefix, const nString& path);
    virtual bool FileExists(PathPrefix prefix, const nString& path) = 0;
    virtual void FindFiles(PathPrefix prefix, nString& result_base, nString& directory,
                           const nArray<nString>& wildcards, bool recursive, nArray<nString>& results) = 0;
    virtual bool GetFileInfo(PathPrefix prefix, const nString& path, zk_file_info_t* info);
    virtual bool Mount(int index);
    virtual File* OpenFile(PathPrefix prefix, const nString& path, OpenMode mode) = 0;
    virtual void Unmount() {}
    // True when anything at all stands at the path: a file, a folder, a
    // FIFO, a link (also one that leads nowhere). A name is free to make a
    // new file under only when this is false. (The base cannot look and
    // counts every name as taken.)
    virtual bool PathIsTaken(PathPrefix prefix, const nString& path);
    // A new empty file, open for writing, made at the path only when
    // nothing at all stands there (see PathIsTaken). Looking and making are
    // one step, so nothing put at the name meanwhile is written over or
    // through: a link there is refused, never followed. Null when the name
    // is taken or the file cannot be made. (The base makes nothing.)
    virtual File* CreateNewFile(PathPrefix prefix, const nString& path);
    // Gives the file at `from` the name `to`, only when nothing at all
    // stands at `to` (see PathIsTaken); whatever stands there is never
    // replaced. Looking and moving are one step, as for CreateNewFile.
    // False when the name is taken or the file cannot be moved there.
    // (The base moves nothing.)
    virtual bool MoveFileToNewName(PathPrefix prefix, const nString& from, const nString& to);

    bool mountable = false;
};

// Module state.
extern nString base_paths[path_prefix_count];
extern nString paths[path_prefix_count];
extern System* file_systems[path_prefix_count];
extern bool is_resources_path_writable;
extern bool save_path_directory_exists;

PathPrefix GetPathPrefixOfPath(const char* path);
int GetPathPrefixLength(const char* path);
const char* GetPathPrefixString(PathPrefix prefix);
const char* GetOpenModeString(OpenMode mode);
bool IsValidPathPrefixForAdvancedFileFunctions(PathPrefix prefix);

// False, with OpenFile's warning, when the path may not be opened for
// writing (a native path while the resources are not writable).
bool MayOpenForWriting(const char* path);
zk_file_t* OpenFile(const char* path, OpenMode mode);
// Frees the handle and its file; false when the file's content did not all
// reach it.
bool CloseFile(zk_file_t* handle);
bool CreateDirectory(const char* path);
bool DeleteDirectory(const char* path, bool with_files);
bool DeleteFile(const char* path);
bool FileExists(const char* path);
bool PathIsTaken(const char* path);
zk_file_t* CreateNewFile(const char* path);
bool MoveFileToNewName(const char* from, const char* to);
bool GetFileInfo(const char* path, zk_file_info_t* info);
nArray<nString> FindFiles(const char* path, const nArray<nString>& wildcards, bool recursive);
int GetFileDescriptor(zk_file_t* handle, int& offset);

nString ConvertNativePathToPath(const char* native);
nString ConvertNativePathToPath(const nString& native, PathPrefix prefix);
void NormalizePath(char* text);
// A copy of the path with every '\\' turned into '/', as the file systems
// take it.
nString WithForwardSlashes(const char* path);

bool FilePathMatchesWildcards(const nString& name, const nArray<nString>& wildcards);
bool FilePathMatchesWildcard(const char* name, const char* wildcard);
void AddPathToFindPaths(nArray<nString>& results, const nString& base, const char* name);

void ChangePath(PathPrefix prefix, const char* path);
bool Mount(const char* name, int index);
void Unmount(const char* name);

bool Initialize();
void InitializePathsAndDirectories();
void Deinitialize();

typedef bool (*CreateDirectoryFunction)(PathPrefix prefix, const nString& path);
bool CreateDirectoriesRecursively(const nString& path, CreateDirectoryFunction create);
bool CreateDirectoriesRecursively(PathPrefix prefix, const nString& path, CreateDirectoryFunction create);

}  // namespace ZKFileSystem

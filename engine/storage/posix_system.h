// The file systems of the platform: the POSIX system that serves every local
// file, its files, and the platform layer that finds the base directories.
#pragma once

#include <cstdio>

#include "engine/storage/filesystem.h"
#include "engine/storage/pak_system.h"

struct zk_mutex_t;

namespace ZKFileSystem {

// A file read and written through a C stdio stream, which it owns.
class POSIXFile : public File {
public:
    POSIXFile(int64_t size, PathPrefix prefix, bool writable, FILE* stream)
        : File(size, 0, prefix, writable), stream(stream) {}
    ~POSIXFile() override;
    // Closes the stream; false when the data still buffered in it, or the
    // close itself, failed.
    bool Close();
    void Flush() override;
    int64_t GetPosition() override;
    size_t Read(void* buffer, size_t count) override;
    int SetPosition(int offset, zk_seek_t origin) override;
    size_t Write(const void* data, size_t count) override;

    FILE* stream;
};

class POSIXSystem : public PAKSystem {
public:
    explicit POSIXSystem(zk_mutex_t* mutex) : PAKSystem(mutex) {}
    bool CloseFile(File* file) override;
    bool FileExists(PathPrefix prefix, const nString& path) override;
    void FindFiles(PathPrefix prefix, nString& result_base, nString& directory, const nArray<nString>& wildcards,
                   bool recursive, nArray<nString>& results) override;
    bool GetFileInfo(PathPrefix prefix, const nString& path, zk_file_info_t* info) override;
    File* OpenFile(PathPrefix prefix, const nString& path, OpenMode mode) override;
    bool PathIsTaken(PathPrefix prefix, const nString& path) override;
    File* CreateNewFile(PathPrefix prefix, const nString& path) override;
    bool MoveFileToNewName(PathPrefix prefix, const nString& from, const nString& to) override;

    void SynchronizeFile(File*) {}
    static const char* GetOpenMode(OpenMode mode) { return GetOpenModeString(mode); }
    static int64_t GetFileSize(const nString& path);
};

class MacOSPOSIXSystem : public POSIXSystem {
public:
    explicit MacOSPOSIXSystem(zk_mutex_t* mutex) : POSIXSystem(mutex) {}
    bool CreateDirectory(PathPrefix prefix, const nString& path) override;
    bool CreatePathDirectory(PathPrefix prefix) override;
    bool DeleteDirectory(PathPrefix prefix, const nString& path, bool with_files) override;
    bool DeleteFile(PathPrefix prefix, const nString& path) override;
};

namespace Platform {
bool InitializeBasePaths(nString* base_paths);
bool InitializeSystems(System** systems);
void DeinitializeSystems(System** systems);
nString GetDirectoryPath(bool documents);
bool CreateDirectory(PathPrefix prefix, const nString& path);
bool DeleteDirectory(const nString& path);
bool DeleteFile(const nString& path);
bool CreateUserDirectory(System** systems, const nString& path);
void ShowNotImplementedPopup(PathPrefix prefix, const char* function, const char* platform);
}  // namespace Platform

}  // namespace ZKFileSystem

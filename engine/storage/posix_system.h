// The file systems of the platform: the POSIX system that serves every local
// file, its files, the systems that later serve archives, HTTP and the save
// prefix, and the platform layer that finds the base directories.
#pragma once

#include <cstdio>

#include "engine/storage/filesystem.h"

struct zk_mutex_t;

namespace ZKFileSystem {

// A file read and written through a C stdio stream, which it owns.
class POSIXFile : public File {
public:
    POSIXFile(int64_t size, PathPrefix prefix, bool writable, FILE* stream)
        : File(size, 0, prefix, writable), stream(stream) {}
    void Flush() override;
    int64_t GetPosition() override;
    size_t Read(void* buffer, size_t count) override;
    int SetPosition(int offset, zk_seek_t origin) override;
    size_t Write(const void* data, size_t count) override;

    FILE* stream;
};

// The archive layer beneath the POSIX system. Archives are not looked up in
// this system, so a path converts to itself.
class PAKSystem : public System {
public:
    explicit PAKSystem(zk_mutex_t* mutex) : mutex(mutex) {}
    virtual nString ConvertFilePathToPAKPath(PathPrefix prefix, const nString& path);

    zk_mutex_t* mutex;  // the named mutex "PAKSystemOpenPAK"
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

// Serves "http" paths over the local system; requests are not served yet,
// so nothing exists under it and nothing opens.
class HTTPSystem : public System {
public:
    explicit HTTPSystem(System* local) : local(local) {}
    bool FileExists(PathPrefix, const nString&) override { return false; }
    void FindFiles(PathPrefix, nString&, nString&, const nArray<nString>&, bool, nArray<nString>&) override {}
    File* OpenFile(PathPrefix, const nString&, OpenMode) override { return nullptr; }

    System* local;
};

// Serves the "save" prefix over the local system once mounted; nothing is
// mounted yet, so nothing exists under it and nothing opens.
class MountSystem : public System {
public:
    explicit MountSystem(System* local) : local(local) { mountable = true; }
    bool FileExists(PathPrefix, const nString&) override { return false; }
    void FindFiles(PathPrefix, nString&, nString&, const nArray<nString>&, bool, nArray<nString>&) override {}
    File* OpenFile(PathPrefix, const nString&, OpenMode) override { return nullptr; }

    System* local;
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

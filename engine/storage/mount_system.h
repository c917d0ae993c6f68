// The save area: a file system over the shared POSIX system that keeps every
// file written under it in memory until the area is unmounted, and the
// memory file that holds such a file.
#pragma once

#include <cstdint>

#include "engine/storage/filesystem.h"

namespace ZKFileSystem {

// A file held in memory. Its storage grows in steps of 256 bytes.
class MemoryFile : public File {
public:
    explicit MemoryFile(PathPrefix prefix);
    ~MemoryFile() override;
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    int64_t GetPosition() override { return int64_t(position); }
    size_t Read(void* buffer, size_t count) override;
    // The position as computed from the origin, before it is limited to the
    // content; a position before the start also lands at the end.
    int SetPosition(int offset, zk_seek_t origin) override;
    // Returns count, or 0 when memory runs out (nothing written).
    size_t Write(const void* data, size_t count) override;
    virtual const void* GetBuffer() { return buffer; }
    virtual uint64_t GetBufferSize() { return length; }
    // Loads the whole file; the position is at the end for append mode and
    // at the start otherwise. False when fewer bytes arrive than its size.
    virtual bool InitializeFromFile(File* file, OpenMode mode);

    static constexpr uint64_t step = 256;

    uint8_t* buffer;    // owned
    uint64_t capacity;  // a multiple of step, at least step
    uint64_t length;
    uint64_t position;

private:
    bool Reserve(uint64_t needed);
};

// Serves the "save" prefix while mounted. Files opened for writing or
// appending are memory files; the real files are not touched until the
// area is unmounted, when every memory file is written back in one step
// (a failed write-back leaves the old file whole and keeps the data in
// memory). A memory file whose handle is still open at unmount stays alive
// until its handle is closed, and is written back again then.
class MountSystem : public System {
public:
    explicit MountSystem(System* inner) : inner(inner) { mountable = true; }
    // Writes back what is still buffered.
    ~MountSystem() override;

    bool CloseFile(File* file) override;
    bool CreateDirectory(PathPrefix prefix, const nString& path) override;
    bool CreatePathDirectory(PathPrefix prefix) override;
    bool DeleteDirectory(PathPrefix prefix, const nString& path, bool with_files) override;
    bool DeleteFile(PathPrefix prefix, const nString& path) override;
    bool FileExists(PathPrefix prefix, const nString& path) override;
    bool PathIsTaken(PathPrefix prefix, const nString& path) override;
    void FindFiles(PathPrefix prefix, nString& result_base, nString& directory, const nArray<nString>& wildcards,
                   bool recursive, nArray<nString>& results) override;
    bool GetFileInfo(PathPrefix prefix, const nString& path, zk_file_info_t* info) override;
    bool Mount(int index) override;
    File* OpenFile(PathPrefix prefix, const nString& path, OpenMode mode) override;
    void Unmount() override;

    struct Written {
        MemoryFile* file;
        nString path;
        bool open;
    };

    System* inner;              // the shared POSIX system, not owned
    nArray<Written*> written;   // buffered files in the order they were opened
    int open_reads = 0;
    bool mounted = false;

private:
    int IndexOf(File* file) const;
    MemoryFile* BufferedCopyOf(const nString& path) const;
    File* OpenBuffered(PathPrefix prefix, const nString& path, OpenMode mode);
    bool WriteBack(const Written& entry);
    void Forget(int index);
};

}  // namespace ZKFileSystem

// PAK archives: the contents of one top-level directory of a prefix packed
// into one file beside it, so that "<dir>/sub/a.png" can be served from the
// entry "sub/a.png" of "<dir>.pak".
//
// Archive layout (little-endian): the 8 magic bytes "PAK\0V11\0", u32 table
// offset, u32 archive size (the file's size); at the table offset an i32
// entry count, then per entry its NUL-terminated name and four u32: data
// offset, data size and two words that are kept but not used. Entry data
// are stored as they are.
//
// PAKSystem is the base of the POSIX systems. Its own FileExists, FindFiles
// and OpenFile serve files out of archives; a system that looks archives up
// for a prefix calls them before going to its own files. Every archive it
// opens is validated whole: each entry lies inside the archive, and reads
// and seeks of an entry never leave it.
#pragma once

#include <cstdint>

#include "engine/base/nmap.h"
#include "engine/storage/filesystem.h"

struct zk_mutex_t;

namespace ZKFileSystem {

// Whether archives are looked up for the prefix: for none in this system.
bool IsValidPathPrefixForPAK(PathPrefix prefix);

// One entry of an archive, read through the entry's own handle on the
// archive file.
class PAKFile : public File {
public:
    PAKFile(int64_t size, PathPrefix prefix, File* archive, uint64_t start)
        : File(size, flag_archive_entry, prefix, false), archive(archive), start(start) {}
    int GetFileDescriptor(int& offset) override;
    int64_t GetPosition() override;
    // Reads at most up to the entry's end.
    size_t Read(void* buffer, size_t count) override;
    // Positions outside the entry are limited to it: before its start is
    // refused (-1, nothing moves), beyond its end lands at the end.
    int SetPosition(int offset, zk_seek_t origin) override;

    File* archive;   // owned; closed by the system's CloseFile
    uint64_t start;  // the entry's data offset in the archive
};

class PAKSystem : public System {
public:
    struct PAKFileInfo {
        uint32_t fifth;
        uint32_t offset;
        uint32_t size;
        uint32_t fourth;
    };

    // An archive's entries, looked up by name ignoring ASCII case, kept in
    // the order they were read.
    class EntryTable {
    public:
        EntryTable() = default;
        ~EntryTable();
        EntryTable(const EntryTable&) = delete;
        EntryTable& operator=(const EntryTable&) = delete;

        // False (and nothing stored) when an entry of that name exists.
        bool Insert(const char* name, const PAKFileInfo& info);
        PAKFileInfo* Find(const char* name) const;
        int Count() const { return entries.count; }
        const char* NameAt(int index) const { return entries.items[index]->name.c_str(); }

    private:
        struct Entry {
            nString name;
            uint32_t hash;
            PAKFileInfo info;
            int next;  // next entry of the same bucket, -1 at the end
        };
        void Rehash(int bucket_count);

        nArray<Entry*> entries;
        nArray<int> buckets;
    };

    struct PAK {
        File* file;  // owned
        EntryTable entries;
        uint32_t table_offset;
        uint32_t archive_size;
    };

    explicit PAKSystem(zk_mutex_t* mutex) : mutex(mutex) {}
    ~PAKSystem() override;

    bool CloseFile(File* file) override;
    bool FileExists(PathPrefix prefix, const nString& path) override;
    void FindFiles(PathPrefix prefix, nString& result_base, nString& directory, const nArray<nString>& wildcards,
                   bool recursive, nArray<nString>& results) override;
    File* OpenFile(PathPrefix prefix, const nString& path, OpenMode mode) override;
    virtual nString ConvertFilePathToPAKPath(PathPrefix prefix, const nString& path);

    PAK* GetPAK(PathPrefix prefix, const nString& pak_path);
    PAK* FindPAK(const nString& pak_path);
    PAK* OpenPAK(File* archive, const nString& pak_path);
    nString ReadPAKFileInfo(File* archive, PAKFileInfo& info, bool);
    PAKFileInfo* GetPAKFileInfo(const nString& pak_path, nString path, PAK* pak);
    File* OpenPAKFile(PathPrefix prefix, const nString& pak_path, nString path, PAK* pak);
    void ClosePAKs();

    // The hash of a name folded to lower case, so that names that differ
    // only in case meet in one bucket.
    static uint32_t nStringHash(const char* name);
    static bool nStringEqual(const char* a, const char* b);

    zk_mutex_t* mutex;  // the named mutex "PAKSystemOpenPAK"; guards paks
    nMap<PAK*> paks;    // the open archives by archive path

private:
    bool ReadTable(File* archive, PAK* pak);
    void Lock();
    void Unlock();
};

}  // namespace ZKFileSystem

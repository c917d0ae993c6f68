#include "engine/storage/pak_system.h"

#include <climits>
#include <cstring>
#include <strings.h>

#include "engine/base/file_names.h"
#include "engine/runtime/zekar.h"

namespace ZKFileSystem {

static const char pak_magic[8] = {'P', 'A', 'K', 0, 'V', '1', '1', 0};
static const uint32_t header_size = 16;
// Names are read with one read of this size; the name and its NUL must fit.
static const int name_read_size = 511;
static const int first_bucket_count = 16;

bool IsValidPathPrefixForPAK(PathPrefix) { return false; }

static bool ReadU32(File* file, uint32_t& value) {
    unsigned char bytes[4];
    if (file->Read(bytes, 4) != 4) return false;
    value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    return true;
}

static bool EndsWithPAK(const nString& path) { return nStringEndsWith(path.c_str(), ".pak"); }

static bool IsArchiveFileName(const nString& path) {
    return nStringEndsWith(path.c_str(), ".obb") || EndsWithPAK(path);
}

// Where an entry's name starts in a path below the archive's directory: the
// length of the archive path without ".pak", and one more for the
// separator when the path begins with that directory.
static int EntryNameStart(const nString& pak_path, const nString& path) {
    int start = pak_path.Length() - (EndsWithPAK(pak_path) ? 4 : 0);
    if (strncmp(pak_path.c_str(), path.c_str(), size_t(start)) == 0) ++start;
    return start;
}

// ---------------------------------------------------------------- PAKFile

int PAKFile::GetFileDescriptor(int& offset) {
    int descriptor = archive->GetFileDescriptor(offset);
    offset += int(start);
    return descriptor;
}

int64_t PAKFile::GetPosition() { return archive->GetPosition() - int64_t(start); }

size_t PAKFile::Read(void* buffer, size_t count) {
    int64_t position = GetPosition();
    if (position < 0 || position >= size) return 0;
    uint64_t left = uint64_t(size - position);
    if (count > left) count = size_t(left);
    return archive->Read(buffer, count);
}

int PAKFile::SetPosition(int offset, zk_seek_t origin) {
    int64_t base = 0;
    switch (origin) {
        case 0: base = 0; break;
        case 1: base = GetPosition(); break;
        case 2: base = size; break;
        default: return -1;
    }
    int64_t target = base + offset;
    if (target < 0) return -1;
    if (target > size) target = size;
    // Validated at open: every entry ends inside an archive whose size fits
    // an int.
    return archive->SetPosition(int(int64_t(start) + target), 0);
}

// ---------------------------------------------------------------- entry table

uint32_t PAKSystem::nStringHash(const char* name) {
    uint32_t hash = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); p && *p; ++p) {
        unsigned char c = *p;
        if (c >= 'A' && c <= 'Z') c = (unsigned char)(c - 'A' + 'a');
        hash = hash * 37u + c;
    }
    return hash;
}

bool PAKSystem::nStringEqual(const char* a, const char* b) { return a && b && strcasecmp(a, b) == 0; }

PAKSystem::EntryTable::~EntryTable() {
    for (int i = 0; i < entries.count; ++i) delete entries.items[i];
}

void PAKSystem::EntryTable::Rehash(int bucket_count) {
    buckets.count = 0;
    for (int i = 0; i < bucket_count; ++i) buckets.InsertLast(-1);
    for (int i = 0; i < entries.count; ++i) {
        Entry* entry = entries.items[i];
        int bucket = int(entry->hash % uint32_t(bucket_count));
        entry->next = buckets.items[bucket];
        buckets.items[bucket] = i;
    }
}

PAKSystem::PAKFileInfo* PAKSystem::EntryTable::Find(const char* name) const {
    if (!name || buckets.count == 0) return nullptr;
    uint32_t hash = PAKSystem::nStringHash(name);
    for (int i = buckets.items[hash % uint32_t(buckets.count)]; i >= 0; i = entries.items[i]->next) {
        Entry* entry = entries.items[i];
        if (entry->hash == hash && nStringEqual(entry->name.c_str(), name)) return &entry->info;
    }
    return nullptr;
}

bool PAKSystem::EntryTable::Insert(const char* name, const PAKFileInfo& info) {
    if (Find(name)) return false;
    Entry* entry = new Entry{nString(name), PAKSystem::nStringHash(name), info, -1};
    entries.InsertLast(entry);
    // At most one entry per bucket on average.
    if (entries.count > buckets.count) {
        Rehash(buckets.count == 0 ? first_bucket_count : buckets.count * 2);
        return true;
    }
    int bucket = int(entry->hash % uint32_t(buckets.count));
    entry->next = buckets.items[bucket];
    buckets.items[bucket] = entries.count - 1;
    return true;
}

// ---------------------------------------------------------------- PAKSystem

PAKSystem::~PAKSystem() { ClosePAKs(); }

void PAKSystem::Lock() {
    if (mutex && zk) zk->ZK_LockMutex(mutex);
}

void PAKSystem::Unlock() {
    if (mutex && zk) zk->ZK_UnlockMutex(mutex);
}

nString PAKSystem::ConvertFilePathToPAKPath(PathPrefix prefix, const nString& path) {
    if (prefix >= path_prefix_count) return nString("");
    int from = paths[prefix].Length() + 1;
    if (path.Length() < from) return nString("");
    const char* text = path.c_str();
    const char* slash = strchr(text + from, '/');
    if (!slash) return nString("");
    return nString::Format("%.*s.pak", int(slash - text), text);
}

nString PAKSystem::ReadPAKFileInfo(File* archive, PAKFileInfo& info, bool) {
    int64_t start = archive->GetPosition();
    char name[name_read_size + 1];
    size_t read = archive->Read(name, name_read_size);
    if (read == 0) return nString("");
    const char* end = static_cast<const char*>(memchr(name, '\0', read));
    if (!end) {
        if (read == size_t(name_read_size)) {
            zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "File System ReadPAK: PAK has a file with too long name.");
        }
        return nString("");
    }
    int64_t length = end - name;
    if (archive->SetPosition(int(start + length + 1), 0) != 0) return nString("");
    uint32_t offset = 0, size = 0, fourth = 0, fifth = 0;
    if (!ReadU32(archive, offset) || !ReadU32(archive, size) || !ReadU32(archive, fourth) ||
        !ReadU32(archive, fifth)) {
        return nString("");
    }
    info = PAKFileInfo{fifth, offset, size, fourth};
    return nString(name);
}

static bool ReadHeader(File* archive, PAKSystem::PAK* pak) {
    char magic[sizeof pak_magic];
    if (archive->Read(magic, sizeof magic) != sizeof magic || memcmp(magic, pak_magic, sizeof magic) != 0) return false;
    if (!ReadU32(archive, pak->table_offset) || !ReadU32(archive, pak->archive_size)) return false;
    if (int64_t(pak->archive_size) != archive->size || pak->archive_size > uint32_t(INT_MAX)) return false;
    // The entry count must lie after the header and inside the archive.
    return pak->table_offset >= header_size && uint64_t(pak->table_offset) + 4 <= pak->archive_size;
}

// Reads every entry record; an unreadable record or an entry whose data
// do not lie inside the archive refuses the whole archive.
bool PAKSystem::ReadTable(File* archive, PAK* pak) {
    int32_t count = 0;
    if (archive->SetPosition(int(pak->table_offset), 0) != 0) return false;
    if (!ReadU32(archive, reinterpret_cast<uint32_t&>(count))) return false;
    for (int32_t i = 0; i < count; ++i) {
        PAKFileInfo info;
        nString name = ReadPAKFileInfo(archive, info, false);
        if (name.IsEmpty()) return false;
        if (uint64_t(info.offset) + info.size > pak->archive_size) return false;
        pak->entries.Insert(name.c_str(), info);  // a repeated name keeps the first
    }
    return true;
}

PAKSystem::PAK* PAKSystem::OpenPAK(File* archive, const nString& pak_path) {
    zk->ZK_Printf("Opening PAK '%s'...", pak_path.c_str());
    PAK* pak = new PAK();
    pak->file = archive;
    if (!ReadHeader(archive, pak) || !ReadTable(archive, pak)) {
        delete pak;
        return nullptr;
    }
    Lock();
    PAK*& slot = paks[pak_path.c_str()];
    PAK* existing = slot;
    if (!existing) slot = pak;
    Unlock();
    if (!existing) return pak;
    // Another thread opened the same archive first: its table is used.
    CloseFile(archive);
    delete pak;
    return existing;
}

PAKSystem::PAK* PAKSystem::FindPAK(const nString& pak_path) {
    Lock();
    nMap<PAK*>::Entry* entry = paks.Find(pak_path.c_str());
    PAK* pak = entry ? entry->value : nullptr;
    Unlock();
    return pak;
}

PAKSystem::PAK* PAKSystem::GetPAK(PathPrefix prefix, const nString& pak_path) {
    if (pak_path.IsEmpty()) return nullptr;
    PAK* pak = FindPAK(pak_path);
    if (pak || !FileExists(prefix, pak_path)) return pak;
    File* archive = OpenFile(prefix, pak_path, OPEN_MODE_READ);
    if (!archive) return nullptr;
    pak = OpenPAK(archive, pak_path);
    if (!pak) CloseFile(archive);
    return pak;
}

PAKSystem::PAKFileInfo* PAKSystem::GetPAKFileInfo(const nString& pak_path, nString path, PAK* pak) {
    if (!pak) return nullptr;
    int start = EntryNameStart(pak_path, path);
    if (start > path.Length()) return nullptr;
    return pak->entries.Find(path.c_str() + start);
}

File* PAKSystem::OpenPAKFile(PathPrefix prefix, const nString& pak_path, nString path, PAK* pak) {
    PAKFileInfo* info = GetPAKFileInfo(pak_path, path, pak);
    if (!info) return nullptr;
    File* archive = OpenFile(prefix, pak_path, OPEN_MODE_READ);
    if (!archive) return nullptr;
    // The archive must still be the one whose table was validated.
    if (archive->size != int64_t(pak->archive_size) || archive->SetPosition(int(info->offset), 0) != 0) {
        CloseFile(archive);
        return nullptr;
    }
    return new PAKFile(info->size, prefix, archive, info->offset);
}

File* PAKSystem::OpenFile(PathPrefix prefix, const nString& path, OpenMode mode) {
    if (mode != OPEN_MODE_READ || IsArchiveFileName(path)) return nullptr;
    nString pak_path = ConvertFilePathToPAKPath(prefix, path);
    PAK* pak = GetPAK(prefix, pak_path);
    return pak ? OpenPAKFile(prefix, pak_path, path, pak) : nullptr;
}

bool PAKSystem::FileExists(PathPrefix prefix, const nString& path) {
    if (IsArchiveFileName(path)) return false;
    nString pak_path = ConvertFilePathToPAKPath(prefix, path);
    PAK* pak = GetPAK(prefix, pak_path);
    return pak && GetPAKFileInfo(pak_path, path, pak);
}

// The base that found names are added to: for a prefixed base the prefix,
// "://" and the top-level directory; for a native one the archive's
// directory.
static nString ArchiveResultBase(const nString& result_base, const nString& pak_path) {
    const char* text = result_base.c_str();
    const char* mark = strstr(text, "://");
    if (!mark) {
        return nString::Format("%.*s/", pak_path.Length() - (EndsWithPAK(pak_path) ? 4 : 0), pak_path.c_str());
    }
    const char* slash = strchr(mark + 3, '/');
    return slash ? result_base.Substring(0, int(slash - text) + 1) : result_base;
}

void PAKSystem::FindFiles(PathPrefix prefix, nString& result_base, nString& directory,
                          const nArray<nString>& wildcards, bool recursive, nArray<nString>& results) {
    nString pak_path = ConvertFilePathToPAKPath(prefix, directory);
    PAK* pak = GetPAK(prefix, pak_path);
    if (!pak) return;
    int start = EntryNameStart(pak_path, directory);
    directory = start < directory.Length() ? nString(directory.c_str() + start) : nString("");
    int inside = directory.Length();
    int skip = inside + (inside > 0 ? 1 : 0);
    result_base = ArchiveResultBase(result_base, pak_path);
    for (int i = 0; i < pak->entries.Count(); ++i) {
        const char* name = pak->entries.NameAt(i);
        if (strncmp(name, directory.c_str(), size_t(inside)) != 0 || int(strlen(name)) <= skip) continue;
        if (inside > 0 && name[inside] != '/') continue;
        if (!recursive && strchr(name + skip, '/')) continue;
        if (FilePathMatchesWildcards(nString(name + skip), wildcards)) AddPathToFindPaths(results, result_base, name);
    }
}

// An entry closes its handle on the archive through the system that opened
// it; any other file is closed by being destroyed.
bool PAKSystem::CloseFile(File* file) {
    if (!file) return false;
    if (!(file->flags & File::flag_archive_entry)) {
        delete file;
        return true;
    }
    PAKFile* entry = static_cast<PAKFile*>(file);
    bool closed = CloseFile(entry->archive);
    delete entry;
    return closed;
}

void PAKSystem::ClosePAKs() {
    Lock();
    for (int i = 0; i < paks.Count(); ++i) {
        PAK* pak = paks.EntryAt(i)->value;
        CloseFile(pak->file);
        delete pak;
    }
    paks.Clear();
    Unlock();
}

}  // namespace ZKFileSystem

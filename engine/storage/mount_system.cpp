#include "engine/storage/mount_system.h"

#include <cstdlib>
#include <cstring>

#include "engine/runtime/zekar.h"
#include "engine/storage/safe_write.h"

namespace ZKFileSystem {

static uint64_t RoundUpToStep(uint64_t size) {
    uint64_t rounded = (size + MemoryFile::step - 1) / MemoryFile::step * MemoryFile::step;
    return rounded < MemoryFile::step ? MemoryFile::step : rounded;
}

// ---------------------------------------------------------------- MemoryFile

MemoryFile::MemoryFile(PathPrefix prefix)
    : File(0, 0, prefix, true),
      buffer(static_cast<uint8_t*>(calloc(step, 1))),
      capacity(buffer ? step : 0),
      length(0),
      position(0) {}

MemoryFile::~MemoryFile() { free(buffer); }

bool MemoryFile::Reserve(uint64_t needed) {
    if (needed <= capacity && buffer) return true;
    uint64_t grown = RoundUpToStep(needed);
    if (grown < needed || grown > SIZE_MAX) return false;
    uint8_t* storage = static_cast<uint8_t*>(malloc(size_t(grown)));
    if (!storage) return false;
    if (length > 0) memcpy(storage, buffer, size_t(length));
    free(buffer);
    buffer = storage;
    capacity = grown;
    return true;
}

size_t MemoryFile::Read(void* target, size_t count) {
    if (position >= length) return 0;
    uint64_t left = length - position;
    if (count > left) count = size_t(left);
    memcpy(target, buffer + position, count);
    position += count;
    return count;
}

size_t MemoryFile::Write(const void* data, size_t count) {
    if (count == 0 || !data) return 0;
    uint64_t end = position + count;
    if (end < position || !Reserve(end)) return 0;
    memcpy(buffer + position, data, count);
    if (end > length) length = end;
    position = end;
    return count;
}

int MemoryFile::SetPosition(int offset, zk_seek_t origin) {
    int64_t computed = 0;
    switch (origin) {
        case 0: computed = offset; break;
        case 1: computed = int64_t(position) + offset; break;
        case 2: computed = int64_t(length) + offset; break;
        default: {
            uint64_t old = position;
            if (position > length) position = length;
            return int(old);
        }
    }
    uint64_t target = uint64_t(computed);
    position = target > length ? length : target;
    return int(computed);
}

bool MemoryFile::InitializeFromFile(File* file, OpenMode mode) {
    if (!file || file->size < 0) return false;
    uint64_t size = uint64_t(file->size);
    length = 0;
    position = 0;
    if (!Reserve(size)) return false;
    if (size > 0 && file->Read(buffer, size_t(size)) != size) return false;
    this->size = file->size;
    length = size;
    position = mode == OPEN_MODE_APPEND ? size : 0;
    return true;
}

// ---------------------------------------------------------------- MountSystem

MountSystem::~MountSystem() {
    if (mounted) Unmount();
    // A file still open belongs to its handle from now on.
    for (int i = 0; i < written.count; ++i) {
        if (!written.items[i]->open) delete written.items[i]->file;
        delete written.items[i];
    }
    written.count = 0;
}

bool MountSystem::Mount(int index) {
    if (index != 0) return false;
    mounted = true;
    return true;
}

int MountSystem::IndexOf(File* file) const {
    for (int i = 0; i < written.count; ++i) {
        if (written.items[i]->file == file) return i;
    }
    return -1;
}

// The newest buffered copy of the path, or null.
MemoryFile* MountSystem::BufferedCopyOf(const nString& path) const {
    for (int i = written.count - 1; i >= 0; --i) {
        if (written.items[i]->path == path) return written.items[i]->file;
    }
    return nullptr;
}

// A new memory file holding the content of another, positioned at its end
// for appending and at its start otherwise; null when memory runs out.
static MemoryFile* CopyOf(MemoryFile* source, PathPrefix prefix, OpenMode mode) {
    MemoryFile* copy = new MemoryFile(prefix);
    uint64_t size = source->GetBufferSize();
    if (size > 0 && copy->Write(source->GetBuffer(), size_t(size)) != size) {
        delete copy;
        return nullptr;
    }
    copy->size = int64_t(size);
    copy->writable = mode != OPEN_MODE_READ;
    if (mode != OPEN_MODE_APPEND) copy->position = 0;
    return copy;
}

// A memory copy of the file. The real file is opened for appending only to
// learn that it can be written (it is created when missing, never cut). An
// appended copy starts from the newest content: a copy still buffered, else
// the real file's.
File* MountSystem::OpenBuffered(PathPrefix prefix, const nString& path, OpenMode mode) {
    File* probe = inner->OpenFile(prefix, path, OPEN_MODE_APPEND);
    if (!probe) return nullptr;
    int64_t old_size = probe->size;
    inner->CloseFile(probe);

    MemoryFile* buffered = mode == OPEN_MODE_APPEND ? BufferedCopyOf(path) : nullptr;
    MemoryFile* memory = buffered ? CopyOf(buffered, prefix, mode) : new MemoryFile(prefix);
    if (!memory) return nullptr;
    if (!buffered && mode == OPEN_MODE_APPEND && old_size > 0) {
        File* old = inner->OpenFile(prefix, path, OPEN_MODE_READ);
        bool loaded = old && memory->InitializeFromFile(old, mode);
        if (old) inner->CloseFile(old);
        if (!loaded) {
            delete memory;
            return nullptr;
        }
    }
    written.InsertLast(new Written{memory, path, true});
    return memory;
}

File* MountSystem::OpenFile(PathPrefix prefix, const nString& path, OpenMode mode) {
    if (!mounted) return nullptr;
    if (mode == OPEN_MODE_APPEND || mode == OPEN_MODE_WRITE) return OpenBuffered(prefix, path, mode);
    // A file written since the area was mounted reads as it was written.
    MemoryFile* buffered = mode == OPEN_MODE_READ ? BufferedCopyOf(path) : nullptr;
    File* file = buffered ? CopyOf(buffered, prefix, mode) : inner->OpenFile(prefix, path, mode);
    if (file) ++open_reads;
    return file;
}

// The real file is replaced in one step only when every byte reached the
// disk; otherwise it keeps its old content and the memory copy stays.
bool MountSystem::WriteBack(const Written& entry) {
    nString error;
    size_t size = size_t(entry.file->GetBufferSize());  // held in memory, so it fits
    if (ZKI_SaveFileSafely(entry.path.c_str(), entry.file->GetBuffer(), size, &error)) return true;
    zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING,
                       "File System Unmount: unable to write '%s' (%s), its data is kept in memory.",
                       entry.path.c_str(), error.c_str());
    return false;
}

void MountSystem::Forget(int index) {
    Written* entry = written.items[index];
    written.RemoveItemAtIndex(index);
    delete entry->file;
    delete entry;
}

bool MountSystem::CloseFile(File* file) {
    if (!file) return false;
    int index = IndexOf(file);
    if (index < 0) {
        // A read: a snapshot of a buffered file, or a file of the inner system.
        bool closed = true;
        if (dynamic_cast<MemoryFile*>(file)) {
            delete file;
        } else {
            closed = inner->CloseFile(file);
        }
        if (open_reads > 0) --open_reads;
        return closed;
    }
    Written* entry = written.items[index];
    entry->open = false;
    // Closed after the area was unmounted: written back now, and the close
    // says whether the data reached the disk.
    if (mounted) return true;
    if (!WriteBack(*entry)) return false;
    Forget(index);
    return true;
}

// Written back in the order the files were opened, so that the last copy
// of a path is the one that stays.
void MountSystem::Unmount() {
    int i = 0;
    while (i < written.count) {
        Written* entry = written.items[i];
        if (WriteBack(*entry) && !entry->open) {
            Forget(i);
        } else {
            ++i;
        }
    }
    mounted = false;
}

bool MountSystem::CreateDirectory(PathPrefix prefix, const nString& path) {
    return mounted && inner->CreateDirectory(prefix, path);
}

bool MountSystem::CreatePathDirectory(PathPrefix prefix) { return mounted && inner->CreatePathDirectory(prefix); }

bool MountSystem::DeleteDirectory(PathPrefix prefix, const nString& path, bool with_files) {
    return mounted && inner->DeleteDirectory(prefix, path, with_files);
}

bool MountSystem::DeleteFile(PathPrefix prefix, const nString& path) {
    return mounted && inner->DeleteFile(prefix, path);
}

bool MountSystem::FileExists(PathPrefix prefix, const nString& path) {
    return mounted && inner->FileExists(prefix, path);
}

// While nothing is mounted no file can be made: every name is taken.
bool MountSystem::PathIsTaken(PathPrefix prefix, const nString& path) {
    return !mounted || inner->PathIsTaken(prefix, path);
}

void MountSystem::FindFiles(PathPrefix prefix, nString& result_base, nString& directory,
                            const nArray<nString>& wildcards, bool recursive, nArray<nString>& results) {
    if (mounted) inner->FindFiles(prefix, result_base, directory, wildcards, recursive, results);
}

bool MountSystem::GetFileInfo(PathPrefix prefix, const nString& path, zk_file_info_t* info) {
    return mounted && inner->GetFileInfo(prefix, path, info);
}

}  // namespace ZKFileSystem

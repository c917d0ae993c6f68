#include "engine/storage/posix_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/storage/filesystem_api.h"

namespace ZKFileSystem {

// ---------------------------------------------------------------- POSIXFile

POSIXFile::~POSIXFile() { Close(); }

bool POSIXFile::Close() {
    if (!stream) return true;
    // A full disk often shows only when the buffered data is written out
    // here; fclose releases the stream whatever it answers.
    bool flushed = fflush(stream) == 0;
    bool closed = fclose(stream) == 0;
    stream = nullptr;
    return flushed && closed;
}

void POSIXFile::Flush() { fflush(stream); }

int64_t POSIXFile::GetPosition() {
    long position = ftell(stream);
    return position < 0 ? 0 : position;
}

size_t POSIXFile::Read(void* buffer, size_t count) { return fread(buffer, 1, count, stream); }

int POSIXFile::SetPosition(int offset, zk_seek_t origin) { return fseek(stream, offset, origin); }

size_t POSIXFile::Write(const void* data, size_t count) { return fwrite(data, 1, count, stream); }

// ---------------------------------------------------------------- POSIXSystem

int64_t POSIXSystem::GetFileSize(const nString& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? int64_t(status.st_size) : 0;
}

// The open flags of each mode. Writing does not cut the file at the open:
// only once it is known to be a regular file.
static int OpenFlagsOf(OpenMode mode) {
    switch (mode) {
        case OPEN_MODE_APPEND: return O_WRONLY | O_CREAT | O_APPEND;
        case OPEN_MODE_READ: return O_RDONLY;
        case OPEN_MODE_WRITE: return O_WRONLY | O_CREAT;
        default: return -1;
    }
}

// A FIFO without a reader refuses a writer that will not wait (ENXIO), as
// a socket does; a folder refuses any writer (EISDIR).
static bool RefusedAsNoRegularFile(int error) { return error == ENXIO || error == EISDIR; }

static void WarnNoRegularFile(const char* path) {
    zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "File System OpenFile: '%s' is not a regular file, it is not written.",
                       path);
}

// Only a regular file is a file to read or write. The open itself must not
// wait: a FIFO (or a device) at the path, or at the end of a link, would
// block it until something opens the other end. So it is opened without
// waiting, and what was opened is looked at through the descriptor (a look
// at the name first could see another file than the one then opened);
// only a regular file is then cut for writing, and its descriptor made to
// wait again as a stream expects. A refused writer is told why; a refused
// reader answers as a missing file does.
static FILE* OpenRegularFile(const char* path, OpenMode mode) {
    int flags = OpenFlagsOf(mode);
    if (flags < 0) return nullptr;
    int descriptor = open(path, flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        if (mode != OPEN_MODE_READ && RefusedAsNoRegularFile(errno)) WarnNoRegularFile(path);
        return nullptr;
    }
    struct stat status;
    bool regular = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    if (!regular && mode != OPEN_MODE_READ) WarnNoRegularFile(path);
    bool ready = regular && (mode != OPEN_MODE_WRITE || ftruncate(descriptor, 0) == 0) &&
                 fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) == 0;
    FILE* stream = ready ? fdopen(descriptor, GetOpenModeString(mode)) : nullptr;
    if (!stream) close(descriptor);
    return stream;
}

File* POSIXSystem::OpenFile(PathPrefix prefix, const nString& path, OpenMode mode) {
    FILE* stream = OpenRegularFile(path.c_str(), mode);
    if (!stream) return nullptr;
    struct stat status;
    bool known = fstat(fileno(stream), &status) == 0;
    int64_t size = mode != OPEN_MODE_WRITE && known ? int64_t(status.st_size) : 0;
    return new POSIXFile(size, prefix, mode != OPEN_MODE_READ, stream);
}

// An archive entry closes its own handle on the archive; any other file
// closes its stream, and reports whether everything written reached it.
bool POSIXSystem::CloseFile(File* file) {
    if (!file) return false;
    if (file->flags & File::flag_archive_entry) return PAKSystem::CloseFile(file);
    POSIXFile* posix = dynamic_cast<POSIXFile*>(file);
    bool closed = !posix || posix->Close();
    delete file;
    return closed;
}

bool POSIXSystem::FileExists(PathPrefix, const nString& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The link itself is looked at, not what it leads to: a link that leads
// nowhere still takes its name (a file made there would be made wherever
// it points). Only "no such entry" proves a name free; a status that cannot
// be read for any other reason (no permission, a file where a folder should
// be) proves nothing, and the name counts as taken.
bool POSIXSystem::PathIsTaken(PathPrefix, const nString& path) {
    struct stat status;
    return lstat(path.c_str(), &status) == 0 || errno != ENOENT;
}

// O_EXCL makes the look at the name and the making of the file one step: an
// entry of any kind at the name fails it, a symbolic link too (its target
// is never opened nor made).
File* POSIXSystem::CreateNewFile(PathPrefix prefix, const nString& path) {
    int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0) return nullptr;
    FILE* stream = fdopen(descriptor, "wb");
    if (!stream) {
        close(descriptor);
        unlink(path.c_str());
        return nullptr;
    }
    return new POSIXFile(0, prefix, true, stream);
}

// A second name made for the file fails when anything stands at it, a
// link too (neither name's link is followed: a link is moved as itself);
// only then is the first name removed. The file itself is never copied
// nor opened, so whatever is written to it meanwhile stays with it. When
// the first name cannot be removed the second goes again, and the file
// stays as it was.
bool POSIXSystem::MoveFileToNewName(PathPrefix, const nString& from, const nString& to) {
    if (linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 0) != 0) return false;
    if (unlink(from.c_str()) == 0) return true;
    unlink(to.c_str());
    return false;
}

bool POSIXSystem::GetFileInfo(PathPrefix, const nString& path, zk_file_info_t* info) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return false;
    info->status_change_time = uint32_t(status.st_ctime);
    info->modification_time = uint32_t(status.st_mtime);
    info->access_time = uint32_t(status.st_atime);
    return true;
}

enum EntryKind { ENTRY_FILE, ENTRY_DIRECTORY, ENTRY_OTHER };

// What a directory entry is. An entry of unknown type is asked for its
// status. A symbolic link counts as what it points to when that is a
// regular file; a link to a directory is never followed, so link cycles
// cannot make a search list files again and again.
static EntryKind KindOfEntry(const struct dirent* entry, const nString& directory) {
    unsigned char type = entry->d_type;
    nString full = nString::Format("%s/%s", directory.c_str(), entry->d_name);
    if (type == DT_UNKNOWN) {
        struct stat status;
        if (lstat(full.c_str(), &status) != 0) return ENTRY_OTHER;
        if (S_ISREG(status.st_mode)) return ENTRY_FILE;
        if (S_ISDIR(status.st_mode)) return ENTRY_DIRECTORY;
        if (!S_ISLNK(status.st_mode)) return ENTRY_OTHER;
        type = DT_LNK;
    }
    if (type == DT_REG) return ENTRY_FILE;
    if (type == DT_DIR) return ENTRY_DIRECTORY;
    if (type == DT_LNK) {
        struct stat status;
        if (stat(full.c_str(), &status) == 0 && S_ISREG(status.st_mode)) return ENTRY_FILE;
    }
    return ENTRY_OTHER;
}

void POSIXSystem::FindFiles(PathPrefix prefix, nString& result_base, nString& directory,
                            const nArray<nString>& wildcards, bool recursive, nArray<nString>& results) {
    DIR* listing = opendir(directory.c_str());
    if (!listing) return;
    while (struct dirent* entry = readdir(listing)) {
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0) continue;
        EntryKind kind = KindOfEntry(entry, directory);
        if (kind == ENTRY_FILE) {
            if (FilePathMatchesWildcards(nString(entry->d_name), wildcards)) {
                AddPathToFindPaths(results, result_base, entry->d_name);
            }
        } else if (kind == ENTRY_DIRECTORY && recursive) {
            nString base = nString::Format("%s%s/", result_base.c_str(), entry->d_name);
            nString below = nString::Format("%s/%s", directory.c_str(), entry->d_name);
            FindFiles(prefix, base, below, wildcards, recursive, results);
        }
    }
    closedir(listing);
}

// ---------------------------------------------------------------- MacOSPOSIXSystem

bool MacOSPOSIXSystem::CreateDirectory(PathPrefix, const nString& path) {
    return CreateDirectoriesRecursively(path, Platform::CreateDirectory);
}

bool MacOSPOSIXSystem::CreatePathDirectory(PathPrefix prefix) {
    if (prefix >= path_prefix_count) return false;
    return Platform::CreateDirectory(prefix, paths[prefix]);
}

bool MacOSPOSIXSystem::DeleteDirectory(PathPrefix, const nString& path, bool) {
    return Platform::DeleteDirectory(path);
}

bool MacOSPOSIXSystem::DeleteFile(PathPrefix, const nString& path) { return Platform::DeleteFile(path); }

// ---------------------------------------------------------------- directory walks

// Creates the folder of the last of the levels (each level a leading part
// of the path, the next one a component longer). The deepest is tried
// first, as its parents usually exist already: only when it cannot be made
// are the levels above it tried, upwards until one can be, and then made
// downwards again. A folder and its parents cost one call when they all
// exist, instead of one for every level.
static bool CreateLevels(const nArray<nString>& levels, PathPrefix prefix, CreateDirectoryFunction create) {
    if (levels.count == 0) return true;
    int made = levels.count - 1;
    while (!create(prefix, levels[made])) {
        if (made == 0) return false;
        --made;
    }
    for (int i = made + 1; i < levels.count; ++i)
        if (!create(prefix, levels[i])) return false;
    return true;
}

// The leading parts of the components after start: the built path starts
// as start and grows by each component, joined by '/'.
static bool CreateEachComponent(nString built, const char* rest, bool separate_first, PathPrefix prefix,
                                CreateDirectoryFunction create) {
    nArray<nString> levels;
    bool separate = separate_first;
    const char* p = rest;
    while (*p) {
        const char* end = strchr(p, '/');
        int size = end ? int(end - p) : int(strlen(p));
        if (size > 0) {
            if (separate) built.Append("/");
            built.Append(nString(p).Substring(0, size).c_str());
            levels.InsertLast(built);
            separate = true;
        }
        p += size;
        if (*p == '/') ++p;
    }
    return CreateLevels(levels, prefix, create);
}

bool CreateDirectoriesRecursively(const nString& path, CreateDirectoryFunction create) {
    const char* text = path.c_str();
    const char* slash = strchr(text, '/');
    nString root;
    int root_size = 0;
    if (slash && (slash == text || slash[-1] == ':')) {
        root_size = int(slash - text) + 1;
        root = path.Substring(0, root_size);
    }
    return CreateEachComponent(root.c_str(), text + root_size, false, PATH_PREFIX_NATIVE, create);
}

bool CreateDirectoriesRecursively(PathPrefix prefix, const nString& path, CreateDirectoryFunction create) {
    if (prefix >= path_prefix_count) return false;
    const nString& current = paths[prefix];
    int size = current.Length();
    const char* text = path.c_str();
    if (strncmp(text, current.c_str(), size) != 0) return false;
    const char* rest = text + size;
    if (*rest == '/') ++rest;
    return CreateEachComponent(current, rest, true, prefix, create);
}

}  // namespace ZKFileSystem

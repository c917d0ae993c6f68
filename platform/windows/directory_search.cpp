// Directory search over opendir/readdir: the whole directory is read and
// sorted at the first call, so the order never depends on the file system.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/windows/win32.h"

namespace {

struct Entry {
    std::string name;
    DWORD attributes;
};

struct Search {
    std::vector<Entry> entries;
    size_t next = 0;
};

bool NameBefore(const Entry& a, const Entry& b) {
    int folded = strcasecmp(a.name.c_str(), b.name.c_str());
    if (folded != 0) return folded < 0;
    return strcmp(a.name.c_str(), b.name.c_str()) < 0;
}

bool Matches(const std::string& pattern, const char* name) {
    return pattern == "*" || pattern == "*.*" || fnmatch(pattern.c_str(), name, 0) == 0;
}

// Whether a look-up failed because the entry is not there (any more): a
// broken link, or an entry removed since it was read from the listing.
bool IsGone(int error) { return error == ENOENT || error == ENOTDIR || error == ELOOP; }

// The attributes of an entry, or false when it is not listed: a link is
// followed to a regular file but not to a directory. The entry's type from
// the listing saves a look-up when the file system gives it. In a directory
// that can be read but not searched nothing can be looked up: an entry of
// unknown type may be a directory, and is listed as one, whose own listing
// then fails and says why; a link there is listed as a file, which is all it
// can stand for, whose open then fails.
bool AttributesOf(int directory, const dirent* entry, DWORD* attributes) {
    const char* name = entry->d_name;
    unsigned char type = entry->d_type;
    struct stat info;
    if (type == DT_UNKNOWN) {
        if (fstatat(directory, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            *attributes = FILE_ATTRIBUTE_DIRECTORY;
            return !IsGone(errno);
        }
        type = IFTODT(info.st_mode);
    }
    if (type == DT_DIR || type == DT_REG) {
        *attributes = type == DT_DIR ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
        return true;
    }
    if (type != DT_LNK) return false;
    *attributes = FILE_ATTRIBUTE_ARCHIVE;
    if (fstatat(directory, name, &info, 0) != 0) return !IsGone(errno);
    return S_ISREG(info.st_mode);
}

void Fill(const Entry& entry, WIN32_FIND_DATAA* data) {
    data->dwFileAttributes = entry.attributes;
    size_t n = std::min(entry.name.size(), sizeof data->cFileName - 1);
    memcpy(data->cFileName, entry.name.data(), n);
    data->cFileName[n] = '\0';
}

}  // namespace

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) {
    if (!pattern || !data) return INVALID_HANDLE_VALUE;
    std::string path = pattern;
    size_t slash = path.find_last_of("/\\");
    std::string directory = slash == std::string::npos ? "." : path.substr(0, slash);
    if (directory.empty()) directory = "/";
    std::string match = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* listing = opendir(directory.c_str());
    if (!listing) return INVALID_HANDLE_VALUE;  // errno from opendir
    Search* search = new Search;
    int error = 0;
    for (;;) {
        // readdir tells its end from its failure only through errno.
        errno = 0;
        const dirent* entry = readdir(listing);
        if (!entry) {
            error = errno;
            break;
        }
        DWORD attributes;
        if (!Matches(match, entry->d_name) || !AttributesOf(dirfd(listing), entry, &attributes)) continue;
        search->entries.push_back({entry->d_name, attributes});
    }
    closedir(listing);
    if (error != 0 || search->entries.empty()) {
        delete search;
        errno = error;
        return INVALID_HANDLE_VALUE;
    }
    std::sort(search->entries.begin(), search->entries.end(), NameBefore);
    Fill(search->entries[0], data);
    search->next = 1;
    return search;
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* data) {
    if (!handle || handle == INVALID_HANDLE_VALUE || !data) return false;
    Search* search = static_cast<Search*>(handle);
    if (search->next >= search->entries.size()) return false;
    Fill(search->entries[search->next++], data);
    return true;
}

BOOL FindClose(HANDLE handle) {
    if (!handle || handle == INVALID_HANDLE_VALUE) return false;
    delete static_cast<Search*>(handle);
    return true;
}

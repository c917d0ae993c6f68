// The static layer: prefixes, the per-prefix file systems and the workers
// behind the public file-system functions.
#include "engine/storage/filesystem.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/base/file_names.h"
#include "engine/runtime/state.h"
#include "engine/storage/filesystem_api.h"
#include "engine/storage/posix_system.h"

namespace ZKFileSystem {

nString base_paths[path_prefix_count];
nString paths[path_prefix_count];
System* file_systems[path_prefix_count];
bool is_resources_path_writable = false;
bool save_path_directory_exists = false;

static const char* const prefix_strings[path_prefix_count] = {"cache", "docs", "http", "logs",
                                                               "res",   "save", "user", "ugc"};
static const char* const open_mode_strings[] = {"ab", "rb", "wb"};

static bool HasPrefixMark(const char* path) { return path && strstr(path, "://") != nullptr; }

nString WithForwardSlashes(const char* path) {
    nString copy(path ? path : "");
    for (char* p = copy.text; p && *p; ++p) {
        if (*p == '\\') *p = '/';
    }
    return copy;
}

static void RemoveOneTrailingSlash(nString& path) {
    int size = path.Length();
    if (size > 0 && path.text[size - 1] == '/') path = path.Substring(0, size - 1);
}

static System* SystemOf(PathPrefix prefix) { return prefix < path_prefix_count ? file_systems[prefix] : nullptr; }

PathPrefix GetPathPrefixOfPath(const char* path) { return HasPrefixMark(path) ? PATH_PREFIX_INVALID : PATH_PREFIX_RES; }

int GetPathPrefixLength(const char* path) {
    const char* mark = path ? strstr(path, "://") : nullptr;
    return mark ? int(mark - path) + 3 : 0;
}

const char* GetPathPrefixString(PathPrefix prefix) {
    return prefix < path_prefix_count ? prefix_strings[prefix] : "";
}

const char* GetOpenModeString(OpenMode mode) { return mode <= OPEN_MODE_WRITE ? open_mode_strings[mode] : ""; }

bool IsValidPathPrefixForAdvancedFileFunctions(PathPrefix prefix) {
    return prefix == PATH_PREFIX_DOCS || prefix == PATH_PREFIX_RES || prefix == PATH_PREFIX_UGC;
}

// ---------------------------------------------------------------- workers

bool MayOpenForWriting(const char* path) {
    if (HasPrefixMark(path) || is_resources_path_writable) return true;
    zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "File System OpenFile: attempted to modify path '%s', which is not writable.",
                       path ? path : "");
    return false;
}

// The handle of a file the system opened for the path; null (with the file
// closed) when memory runs out.
static zk_file_t* HandleOf(System* system, File* file, const char* path) {
    if (!file) return nullptr;
    zk_file_t* handle = static_cast<zk_file_t*>(calloc(1, sizeof(zk_file_t)));
    char* name = strdup(path ? path : "");
    if (!handle || !name) {
        free(handle);
        free(name);
        system->CloseFile(file);
        return nullptr;
    }
    handle->name = name;
    handle->size = file->size;
    handle->file = file;
    return handle;
}

zk_file_t* OpenFile(const char* path, OpenMode mode) {
    PathPrefix prefix = GetPathPrefixOfPath(path);
    if (mode != OPEN_MODE_READ && !MayOpenForWriting(path)) return nullptr;
    System* system = SystemOf(prefix);
    if (!system) return nullptr;
    return HandleOf(system, system->OpenFile(prefix, WithForwardSlashes(path), mode), path);
}

zk_file_t* CreateNewFile(const char* path) {
    PathPrefix prefix = GetPathPrefixOfPath(path);
    if (!MayOpenForWriting(path)) return nullptr;
    System* system = SystemOf(prefix);
    if (!system) return nullptr;
    return HandleOf(system, system->CreateNewFile(prefix, WithForwardSlashes(path)), path);
}

bool CloseFile(zk_file_t* handle) {
    if (!handle || !handle->file) return false;
    System* system = SystemOf(handle->file->prefix);
    bool closed = true;
    if (system) {
        closed = system->CloseFile(handle->file);
    } else {
        delete handle->file;
    }
    handle->file = nullptr;
    free(handle->name);
    free(handle);
    return closed;
}

// Checks shared by the three writing workers; null when refused.
static System* WritableSystemOf(const char* path, const char* operation) {
    if (!HasPrefixMark(path) && !is_resources_path_writable) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "File System %s: attempted to modify path '%s', which is not writable.",
                      operation, path ? path : "");
        return nullptr;
    }
    return SystemOf(GetPathPrefixOfPath(path));
}

bool CreateDirectory(const char* path) {
    System* system = WritableSystemOf(path, "CreateDirectory");
    if (!system) return false;
    nString copy = WithForwardSlashes(path);
    RemoveOneTrailingSlash(copy);
    return system->CreateDirectory(GetPathPrefixOfPath(path), copy);
}

bool DeleteDirectory(const char* path, bool with_files) {
    System* system = WritableSystemOf(path, "DeleteDirectory");
    if (!system) return false;
    nString copy = WithForwardSlashes(path);
    RemoveOneTrailingSlash(copy);
    return system->DeleteDirectory(GetPathPrefixOfPath(path), copy, with_files);
}

bool DeleteFile(const char* path) {
    System* system = WritableSystemOf(path, "DeleteFile");
    if (!system) return false;
    return system->DeleteFile(GetPathPrefixOfPath(path), WithForwardSlashes(path));
}

// Both names are served by the one system, or the move is no move.
bool MoveFileToNewName(const char* from, const char* to) {
    PathPrefix prefix = GetPathPrefixOfPath(from);
    if (GetPathPrefixOfPath(to) != prefix) return false;
    System* system = WritableSystemOf(from, "MoveFile");
    return system && system->MoveFileToNewName(prefix, WithForwardSlashes(from), WithForwardSlashes(to));
}

bool FileExists(const char* path) {
    PathPrefix prefix = GetPathPrefixOfPath(path);
    System* system = SystemOf(prefix);
    return system && system->FileExists(prefix, WithForwardSlashes(path));
}

// A path no system serves can take no new file either: it counts as taken.
bool PathIsTaken(const char* path) {
    PathPrefix prefix = GetPathPrefixOfPath(path);
    System* system = SystemOf(prefix);
    return !system || system->PathIsTaken(prefix, WithForwardSlashes(path));
}

bool GetFileInfo(const char* path, zk_file_info_t* info) {
    PathPrefix prefix = GetPathPrefixOfPath(path);
    System* system = SystemOf(prefix);
    if (!system || HasPrefixMark(path)) return false;
    return system->GetFileInfo(prefix, WithForwardSlashes(path), info);
}

nArray<nString> FindFiles(const char* path, const nArray<nString>& wildcards, bool recursive) {
    nArray<nString> results;
    if (!path || HasPrefixMark(path)) return results;
    PathPrefix prefix = GetPathPrefixOfPath(path);
    System* system = SystemOf(prefix);
    if (!system) return results;
    nString directory = WithForwardSlashes(path);
    nString result_base = directory;
    int size = directory.Length();
    if (size > 0 && directory.text[size - 1] != '/') result_base.Append("/");
    RemoveOneTrailingSlash(directory);
    system->FindFiles(prefix, result_base, directory, wildcards, recursive, results);
    return results;
}

int GetFileDescriptor(zk_file_t* handle, int& offset) {
    return handle && handle->file ? handle->file->GetFileDescriptor(offset) : -1;
}

// ---------------------------------------------------------------- paths

void NormalizePath(char* text) {
    if (!text) return;
    for (char* p = text; *p; ++p) {
        if (*p == '\\') *p = '/';
    }
    // Each "/.." takes the component before it along (the search is for the
    // three characters only).
    while (char* up = strstr(text, "/..")) {
        char* start = up;
        while (start > text && start[-1] != '/') --start;
        start = start > text ? start - 1 : text;
        memmove(start, up + 3, strlen(up + 3) + 1);
    }
}

nString ConvertNativePathToPath(const nString& native, PathPrefix prefix) {
    if (prefix >= path_prefix_count) return nString("");
    int current = paths[prefix].Length();
    int size = native.Length();
    int skip = current < size ? current : size;
    // The separator after the current path is skipped, never a character of
    // a name (an empty current path is followed by the path's first one).
    if (skip < size && native.text[skip] == '/') ++skip;
    return nString::Format("%s://%s", GetPathPrefixString(prefix), native.c_str() + skip);
}

nString ConvertNativePathToPath(const char* native) {
    if (!native) return nString("");
    nString normalized(native);
    NormalizePath(normalized.text);
    // The collapse shortens the text in place: the string takes it anew, at
    // its new length.
    normalized = normalized.GetText();
    for (int i = 0; i < path_prefix_count; ++i) {
        if (!paths[i].GetText()) continue;
        if (strncmp(normalized.c_str(), paths[i].c_str(), paths[i].Length()) == 0) {
            return ConvertNativePathToPath(normalized, PathPrefix(i));
        }
    }
    return nString("");
}

// ---------------------------------------------------------------- wildcards

// '*' matches any run of characters, also an empty one; everything else
// matches itself. Backtracks to the last '*' only, which gives the same
// answers as trying every position but in time bounded by the product of
// the lengths.
bool FilePathMatchesWildcard(const char* name, const char* wildcard) {
    if (!name || !wildcard) return false;
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*wildcard == '*') {
            while (*wildcard == '*') ++wildcard;
            if (!*wildcard) return true;
            star = wildcard;
            resume = name;
        } else if (*wildcard == *name) {
            ++wildcard;
            ++name;
        } else if (star) {
            wildcard = star;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*wildcard == '*') ++wildcard;
    return *wildcard == '\0';
}

bool FilePathMatchesWildcards(const nString& name, const nArray<nString>& wildcards) {
    const char* text = name.c_str();
    for (int i = 0; i < wildcards.count; ++i) {
        const char* wildcard = wildcards.items[i].c_str();
        if (strcmp(wildcard, "*") == 0 || strcmp(wildcard, "*.*") == 0) return true;
        if (strncmp(wildcard, "*.", 2) == 0) {
            if (nStringEndsWith(text, wildcard + 1)) return true;
            continue;
        }
        if (FilePathMatchesWildcard(text, wildcard)) return true;
    }
    return false;
}

void AddPathToFindPaths(nArray<nString>& results, const nString& base, const char* name) {
    nString entry = base.IsEmpty() ? nString(name) : nString::Format("%s%s", base.c_str(), name);
    for (int i = 0; i < results.count; ++i) {
        if (results.items[i] == entry) return;
    }
    results.InsertLast(entry);
}

// ---------------------------------------------------------------- prefixes

void ChangePath(PathPrefix prefix, const char* path) {
    if (prefix != PATH_PREFIX_UGC) return;
    if (path) paths[prefix] = path;
}

static System* MountableSaveSystem(const char* name) {
    if (!name || strcmp(name, "save") != 0) return nullptr;
    System* system = file_systems[PATH_PREFIX_SAVE];
    return system && system->mountable ? system : nullptr;
}

bool Mount(const char* name, int index) {
    System* system = MountableSaveSystem(name);
    if (!system) return false;
    bool mounted = system->Mount(index);
    if (mounted && !save_path_directory_exists) {
        save_path_directory_exists = true;
        return system->CreatePathDirectory(PATH_PREFIX_SAVE);
    }
    return mounted;
}

void Unmount(const char* name) {
    System* system = MountableSaveSystem(name);
    if (system) system->Unmount();
}

// ---------------------------------------------------------------- set-up

bool Initialize() {
    for (int i = 0; i < path_prefix_count; ++i) base_paths[i] = "";
    bool found = Platform::InitializeBasePaths(base_paths);
    if (base_paths[PATH_PREFIX_HTTP].IsEmpty()) base_paths[PATH_PREFIX_HTTP] = "http://";
    for (int i = 0; i < path_prefix_count; ++i) paths[i] = base_paths[i];
    if (!found) zk->ZK_Popupf(ZK_MESSAGE_ERROR, "File System: failed to initialize one or more critical base paths.");
    for (int i = 0; i < path_prefix_count; ++i) file_systems[i] = nullptr;
    Platform::InitializeSystems(file_systems);
    return true;
}

void InitializePathsAndDirectories() {}

void Deinitialize() {
    Platform::DeinitializeSystems(file_systems);
    for (int i = 0; i < path_prefix_count; ++i) file_systems[i] = nullptr;
}

// ---------------------------------------------------------------- System defaults

bool System::CloseFile(File*) { return false; }
bool System::CreateDirectory(PathPrefix, const nString&) { return false; }
bool System::CreatePathDirectory(PathPrefix) { return false; }
bool System::DeleteDirectory(PathPrefix, const nString&, bool) { return false; }
bool System::DeleteFile(PathPrefix, const nString&) { return false; }
bool System::GetFileInfo(PathPrefix, const nString&, zk_file_info_t*) { return false; }
bool System::Mount(int) { return false; }
bool System::PathIsTaken(PathPrefix, const nString&) { return true; }
File* System::CreateNewFile(PathPrefix, const nString&) { return nullptr; }
bool System::MoveFileToNewName(PathPrefix, const nString&, const nString&) { return false; }

}  // namespace ZKFileSystem

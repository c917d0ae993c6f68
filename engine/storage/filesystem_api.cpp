// The public file-system functions of the table: argument checks, the
// refusal of prefixed paths, open-file accounting, then the static layer.
#include "engine/storage/filesystem_api.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/runtime/state.h"
#include "engine/storage/filesystem.h"

using namespace ZKFileSystem;

static const int open_files_warning_count = 16;
static const int max_wildcard_length = 511;
static const char* const wildcard_characters =
    " ()-./0123456789@ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz";

static bool HasPrefixMark(const char* path) { return strstr(path, "://") != nullptr; }

static void WarnInvalidPath(const char* operation, const char* path) {
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "File System %s: path '%s' is invalid, see IsPathValid() for more info.",
                  operation, path);
}

// Null for a null path; refused with the warning for a prefixed one.
static bool IsUsablePath(const char* operation, const char* path) {
    if (!path) return false;
    if (HasPrefixMark(path)) {
        WarnInvalidPath(operation, path);
        return false;
    }
    return true;
}

// Handles that are not counted as open files: everything before the engine
// is initialised, the engine's temporary files and log files.
static bool IsExempt(const char* path) {
    return !zk || !zk_state.initialized || (path && (strstr(path, "zekar-") || strstr(path, ".log")));
}

void ZK_FileSystem_AddSearchPath(const char*, bool) {}

bool ZK_FileSystem_CloseFile(zk_file_t* handle) {
    if (!handle || !handle->file) return false;
    if (!IsExempt(handle->name)) {
        ZKI_LockCoreMutex(ZK_CORE_MUTEX_CORE_VARIABLE);
        zk_state.open_files.RemoveItem(handle);
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_CORE_VARIABLE);
    }
    return ZKFileSystem::CloseFile(handle);
}

bool ZK_FileSystem_CreateDirectory(const char* path) {
    return IsUsablePath("CreateDirectory", path) && ZKFileSystem::CreateDirectory(path);
}

bool ZK_FileSystem_DeleteDirectory(const char* path, bool with_files) {
    if (with_files) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "File System DeleteDirectory: deleting directory '%s' with existing files is not allowed.",
                      path ? path : "");
        return false;
    }
    return IsUsablePath("DeleteDirectory", path) && ZKFileSystem::DeleteDirectory(path, false);
}

bool ZK_FileSystem_DeleteFile(const char* path) {
    return IsUsablePath("DeleteFile", path) && ZKFileSystem::DeleteFile(path);
}

// Splits the wildcard text at ';' (an empty token after the last ';' is
// not one); false when a token is too long or holds a refused character.
static bool SplitWildcards(const char* text, nArray<nString>& tokens) {
    const char* p = text;
    while (*p) {
        const char* end = strchr(p, ';');
        size_t size = end ? size_t(end - p) : strlen(p);
        if (size > size_t(max_wildcard_length)) return false;
        for (size_t i = 0; i < size; ++i) {
            if (p[i] != '*' && !strchr(wildcard_characters, p[i])) return false;
        }
        tokens.InsertLast(nString(p).Substring(0, int(size)));
        p += size;
        if (*p == ';') ++p;
    }
    return true;
}

zk_list_t* ZK_FileSystem_FindFiles(const char* path, const char* wildcards, bool recursive) {
    zk_list_t* list = static_cast<zk_list_t*>(calloc(1, sizeof(zk_list_t)));
    if (!list || !path || !*path || !wildcards) return list;
    if (!IsUsablePath("FindFiles", path)) return list;
    nArray<nString> tokens;
    if (!SplitWildcards(wildcards, tokens)) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "File System FindFiles: wildcards (%s) are invalid, see FindFiles() for more info.", wildcards);
        return list;
    }
    nArray<nString> results = ZKFileSystem::FindFiles(path, tokens, recursive);
    if (results.count == 0) return list;
    list->items = static_cast<char**>(calloc(size_t(results.count), sizeof(char*)));
    if (!list->items) return list;
    for (int i = 0; i < results.count; ++i) {
        char* item = strdup(results.items[i].c_str());
        if (item) list->items[list->count++] = item;
    }
    return list;
}

bool ZK_FileSystem_FileExists(const char* path) {
    return path && !HasPrefixMark(path) && ZKFileSystem::FileExists(path);
}

void ZK_FileSystem_FlushFile(zk_file_t* handle) {
    if (handle && handle->file) handle->file->Flush();
}

bool ZK_FileSystem_GetFileInfo(const char* path, zk_file_info_t* info) {
    if (!IsUsablePath("GetFileInfo", path) || !info) return false;
    return ZKFileSystem::GetFileInfo(path, info);
}

int64_t ZK_FileSystem_GetFilePosition(zk_file_t* handle) {
    return handle && handle->file ? handle->file->GetPosition() : 0;
}

int ZK_FileSystem_GetNumberOfSearchPaths() { return zk_state.search_paths.count; }

const char* ZK_FileSystem_GetSearchPathByIndex(int index) {
    if (index < 0 || index >= zk_state.search_paths.count) return nullptr;
    return zk_state.search_paths.items[index].c_str();
}

bool ZK_FileSystem_IsPathValid(const char* path) { return path && !HasPrefixMark(path); }

bool ZK_FileSystem_Mount(const char*, int) { return false; }

// The open mode of a C mode text: only its first character counts.
static bool ModeOf(const char* mode, OpenMode& result) {
    switch (mode ? mode[0] : '\0') {
        case 'w': result = OPEN_MODE_WRITE; return true;
        case 'r': result = OPEN_MODE_READ; return true;
        case 'a': result = OPEN_MODE_APPEND; return true;
        default: return false;
    }
}

// Enters an opened handle into the open-file list, with the warning when
// too many are open.
static zk_file_t* Counted(zk_file_t* handle, const char* path) {
    if (!handle) return nullptr;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_CORE_VARIABLE);
    zk_state.open_files.InsertLast(handle);
    int open = zk_state.open_files.count;
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_CORE_VARIABLE);
    if (open >= open_files_warning_count) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "File System OpenFile: %i files are open at the same time, last file opened is '%s'.",
                      open, path);
    }
    return handle;
}

zk_file_t* ZK_FileSystem_OpenFile(const char* path, const char* mode) {
    if (!IsUsablePath("OpenFile", path)) return nullptr;
    bool exempt = IsExempt(path);
    OpenMode open_mode = OPEN_MODE_READ;
    if (!ModeOf(mode, open_mode)) {
        if (!exempt) zk->ZK_Popupf(ZK_MESSAGE_WARNING, "File System OpenFile: mode is invalid, see OpenFile() for more info.");
        return nullptr;
    }
    zk_file_t* handle = ZKFileSystem::OpenFile(path, open_mode);
    return exempt ? handle : Counted(handle, path);
}

size_t ZK_FileSystem_ReadFile(void* buffer, size_t size, zk_file_t* handle) {
    if (!handle || !handle->file || !buffer) return 0;
    return handle->file->Read(buffer, size);
}

void ZK_FileSystem_RemoveSearchPath(const char*) {}

bool ZK_FileSystem_SearchPathExists(const char*) { return false; }

int ZK_FileSystem_SetFilePosition(zk_file_t* handle, int offset, zk_seek_t origin) {
    if (!handle || !handle->file) return -1;
    return handle->file->SetPosition(offset, origin);
}

void ZK_FileSystem_Unmount(const char*) {}

size_t ZK_FileSystem_WriteFile(const void* data, size_t size, zk_file_t* handle) {
    if (!handle || !handle->file || !data) return 0;
    return handle->file->Write(data, size);
}

void ZKI_FillFileSystemInterface(zk_file_system_api_t* api) {
#define ZK_FILE_SYSTEM_SLOT(ret, name, params, attributes) api->name = name;
#include "engine/runtime/interface.def"
}

void ZKI_FillStorageInterface(zekar_t* t) {
    ZKI_FillFileSystemInterface(&zk_file_system_api);
    t->file_system = &zk_file_system_api;
    t->ZK_GetProductValue = ZK_GetProductValue;
    t->ZK_SendHttpRequest = ZK_SendHttpRequest;
    t->ZK_SendHttpRequestWithHeader = ZK_SendHttpRequestWithHeader;
    t->ZK_AllocBuffer = ZK_AllocBuffer;
    t->ZK_FreeBuffer = ZK_FreeBuffer;
}

// ---------------------------------------------------------------- beside the table

// Makes a new file at the path to learn whether a file can be made there,
// then deletes what it made. A file that exists already is never truncated
// or deleted: it is probed for appending instead. Anything else standing
// at the name (a folder, a FIFO, a link that leads nowhere) is no place
// for a file and is left alone: the probe file is made only where nothing
// stands, never through a link.
static bool ProbeWritable(const char* path) {
    if (zk->file_system->ZK_FileSystem_FileExists(path)) {
        zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(path, "ab");
        if (!file) return false;
        zk->file_system->ZK_FileSystem_CloseFile(file);
        return true;
    }
    zk_file_t* file = ZKI_CreateNewFile(path);
    if (!file) return false;
    zk->file_system->ZK_FileSystem_CloseFile(file);
    zk->file_system->ZK_FileSystem_DeleteFile(path);
    return true;
}

static bool OpensForReading(const char* path, const char* mode) {
    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(path, mode);
    if (!file) return false;
    zk->file_system->ZK_FileSystem_CloseFile(file);
    return true;
}

static const int full_path_buffers = 32;
static const int full_path_size = 260;

static const char* GetFullPathLocked(const char* path, bool must_exist, char* buffer) {
    if (!path) return nullptr;
    if (HasPrefixMark(path)) {
        for (int i = 0; i < zk_state.search_paths.count; ++i) {
            int size = snprintf(buffer, full_path_size, "%s%s", zk_state.search_paths.items[i].c_str(), path);
            if (size < 0 || size >= full_path_size) continue;
            if (OpensForReading(buffer, "rb")) return buffer;
            if (!must_exist && ProbeWritable(buffer)) return buffer;
        }
        return nullptr;
    }
    if (strlen(path) >= size_t(full_path_size)) return nullptr;
    strcpy(buffer, path);
    if (OpensForReading(buffer, "r")) return buffer;
    if (must_exist) return nullptr;
    return ProbeWritable(buffer) ? buffer : nullptr;
}

const char* ZKI_GetFileFullPath(const char* path, bool must_exist) {
    static char buffers[full_path_buffers][full_path_size];
    static int index = 0;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_PATH);
    index = (index + 1) % full_path_buffers;
    const char* result = GetFullPathLocked(path, must_exist, buffers[index]);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_PATH);
    return result;
}

nString ZK_ConvertStaticPathToNativeOSPath(const char* path) {
    if (path && HasPrefixMark(path)) return nString("");
    return nString(path ? path : "");
}

bool ZK_CanWriteToFile(const char* path) { return path && ProbeWritable(path); }

bool ZKI_IsPathTaken(const char* path) { return !path || HasPrefixMark(path) || ZKFileSystem::PathIsTaken(path); }

bool ZKI_MoveFileToNewName(const char* from, const char* to) {
    return from && to && !HasPrefixMark(from) && !HasPrefixMark(to) && ZKFileSystem::MoveFileToNewName(from, to);
}

zk_file_t* ZKI_CreateNewFile(const char* path) {
    if (!path || HasPrefixMark(path)) return nullptr;
    zk_file_t* handle = ZKFileSystem::CreateNewFile(path);
    return IsExempt(path) ? handle : Counted(handle, path);
}

#include "engine/storage/http_system.h"

#include <cctype>
#include <cstdint>

#include "engine/storage/posix_system.h"
#include "engine/storage/safe_write.h"

namespace ZKFileSystem {

static const int http_get = 2;
static const int http_ok = 200;
// Characters of the URL kept readable in a cache name; the hash tells the
// rest apart, and the name stays well inside file-name limits.
static const int readable_name_size = 128;

// The last argument of the request operation; no back end reads it.
static int request_word = 0;

static uint64_t HashOfURL(const char* url) {
    uint64_t hash = 14695981039346656037ull;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(url); *p; ++p) {
        hash = (hash ^ *p) * 1099511628211ull;
    }
    return hash;
}

static bool IsKeptInName(unsigned char c) {
    return (c < 128 && isalnum(c)) || c == '-' || c == '.' || c == '_';
}

nString GetHTTPCacheFilePath(const char* url, bool native) {
    const char* text = url ? url : "";
    char readable[readable_name_size + 1];
    int size = 0;
    for (const char* p = text; *p && size < readable_name_size; ++p) {
        readable[size++] = IsKeptInName((unsigned char)*p) ? *p : '_';
    }
    readable[size] = '\0';
    nString name = nString::Format("%016llx_%s", (unsigned long long)HashOfURL(text), readable);
    if (native) return nString::Format("%s/%s", paths[PATH_PREFIX_CACHE].c_str(), name.c_str());
    return nString::Format("cache://%s", name.c_str());
}

// Saved in one step, so that a part of a file is never served from the
// cache, then opened for reading from its start.
File* HTTPSystem::StoreBufferToCache(const nString& cache_path, zk_buffer_t* buffer) {
    if (!buffer || buffer->size < 0 || (buffer->size > 0 && !buffer->data)) return nullptr;
    if (!ZKI_SaveFileSafely(cache_path.c_str(), buffer->data, size_t(buffer->size), nullptr)) return nullptr;
    return inner->OpenFile(PATH_PREFIX_CACHE, cache_path, OPEN_MODE_READ);
}

// The downloaded data as a cached file opened for reading from its start;
// null when the download failed or could not be stored.
static File* TakeDownload(HTTPSystem& system, const char* url, int status, zk_buffer_t* response,
                          const nString& cache_path) {
    if (status != http_ok) {
        zk->ZK_Printf("File System: failed to download file '%s' (status %i).", url, status);
        return nullptr;
    }
    int size = response ? response->size : 0;
    int capacity = response ? response->capacity : 0;
    if (!response || size < capacity) {
        zk->ZK_Printf("File System: failed to download file '%s' (incomplete, %i/%i bytes).", url, size, capacity);
        return nullptr;
    }
    zk->ZK_Printf("File System: downloading file '%s' completed (%i bytes).", url, size);
    // Without a cache directory the name would land in the root directory.
    if (paths[PATH_PREFIX_CACHE].IsEmpty()) return nullptr;
    return system.StoreBufferToCache(cache_path, response);
}

File* HTTPSystem::OpenFile(PathPrefix, const nString& url, OpenMode mode) {
    if (mode != OPEN_MODE_READ) return nullptr;
    nString cache_path = GetHTTPCacheFilePath(url.c_str(), true);
    if (inner->FileExists(PATH_PREFIX_CACHE, cache_path)) {
        return inner->OpenFile(PATH_PREFIX_CACHE, cache_path, OPEN_MODE_READ);
    }
    zk->ZK_Printf("File System: downloading file '%s'...", url.c_str());
    zk_buffer_t* response = nullptr;
    int status =
        zk->ZK_SendHttpRequest(http_get, url.c_str(), "application/octet-stream", "", 0, &response, &request_word);
    File* file = TakeDownload(*this, url.c_str(), status, response, cache_path);
    zk->ZK_FreeBuffer(response);
    return file;
}

bool HTTPSystem::FileExists(PathPrefix prefix, const nString& url) {
    if (inner->FileExists(PATH_PREFIX_CACHE, GetHTTPCacheFilePath(url.c_str(), true))) return true;
    File* file = OpenFile(prefix, url, OPEN_MODE_READ);
    if (!file) return false;
    inner->CloseFile(file);
    return true;
}

void HTTPSystem::FindFiles(PathPrefix prefix, nString&, nString&, const nArray<nString>&, bool, nArray<nString>&) {
    Platform::ShowNotImplementedPopup(prefix, "FindFiles", "HTTP");
}

bool HTTPSystem::GetFileInfo(PathPrefix prefix, const nString&, zk_file_info_t*) {
    Platform::ShowNotImplementedPopup(prefix, "GetFileInfo", "HTTP");
    return false;
}

}  // namespace ZKFileSystem

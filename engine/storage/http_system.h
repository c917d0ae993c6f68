// The "http" prefix: a file is downloaded once through the engine's HTTP
// request operation into the cache directory, then served from there.
#pragma once

#include "engine/runtime/zekar.h"
#include "engine/storage/filesystem.h"

namespace ZKFileSystem {

// The cache file of a URL: the URL with every character other than an ASCII
// letter or digit, '-', '.' or '_' turned into '_' (its first 128
// characters), after a hash of the whole URL so that URLs that read the same
// once turned do not share a file. "%s/%s" below the cache directory when
// native, else "cache://%s".
nString GetHTTPCacheFilePath(const char* url, bool native);

class HTTPSystem : public System {
public:
    explicit HTTPSystem(System* inner) : inner(inner) {}

    bool FileExists(PathPrefix prefix, const nString& url) override;
    void FindFiles(PathPrefix prefix, nString& result_base, nString& directory, const nArray<nString>& wildcards,
                   bool recursive, nArray<nString>& results) override;
    bool GetFileInfo(PathPrefix prefix, const nString& url, zk_file_info_t* info) override;
    File* OpenFile(PathPrefix prefix, const nString& url, OpenMode mode) override;

    // Writes the buffer's bytes to the cache file and returns it open for
    // reading from its start (the caller closes it); null, and the old
    // cache file if any, when any byte is missing.
    File* StoreBufferToCache(const nString& cache_path, zk_buffer_t* buffer);

    System* inner;  // the shared POSIX system, not owned
};

}  // namespace ZKFileSystem

// Platform back ends of the HTTP operations; they reach no network here:
// the given buffers are emptied and the status is 0.
int ZKNET_SendHttpRequestWithContentType(int method, const char* url, const char* content_type, const char* body,
                                         int body_size, zk_buffer_t* response, zk_buffer_t* second, int* unused);
int ZKNET_SendHttpRequestWithHeader(int method, const char* url, const char* header, int header_size,
                                    const char* body, int body_size, zk_buffer_t* response,
                                    zk_buffer_t* response_header, int* unused);

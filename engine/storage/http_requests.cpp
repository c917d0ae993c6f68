// HTTP requests of the top-level table and their response buffers. The
// platform back ends reach no network: every request answers status 0 with
// an empty buffer.
#include <cstdlib>

#include "engine/runtime/interface_functions.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/http_system.h"

// Empties a buffer handed to a back end.
static void Empty(zk_buffer_t* buffer) {
    if (!buffer) return;
    free(buffer->data);
    buffer->data = nullptr;
    buffer->reserved = 0;
    buffer->size = 0;
    buffer->capacity = 0;
}

int ZKNET_SendHttpRequestWithContentType(int, const char*, const char*, const char*, int, zk_buffer_t* response,
                                         zk_buffer_t* second, int*) {
    Empty(response);
    Empty(second);
    return 0;
}

int ZKNET_SendHttpRequestWithHeader(int, const char*, const char*, int, const char*, int, zk_buffer_t* response,
                                    zk_buffer_t* response_header, int*) {
    Empty(response);
    Empty(response_header);
    return 0;
}

int ZK_SendHttpRequest(int method, const char* url, const char* content_type, const char* body, int body_size,
                       zk_buffer_t** response, int* unused) {
    if (!response) return 0;
    *response = ZK_AllocBuffer(0);
    return ZKNET_SendHttpRequestWithContentType(method, url, content_type, body, body_size, *response, nullptr, unused);
}

int ZK_SendHttpRequestWithHeader(int method, const char* url, const char* header, int header_size, const char* body,
                                 int body_size, zk_buffer_t** response, zk_buffer_t** response_header, int* unused) {
    if (response) *response = ZK_AllocBuffer(0);
    if (response_header) *response_header = ZK_AllocBuffer(0);
    return ZKNET_SendHttpRequestWithHeader(method, url, header, header_size, body, body_size,
                                           response ? *response : nullptr,
                                           response_header ? *response_header : nullptr, unused);
}

zk_buffer_t* ZK_AllocBuffer(int size) {
    zk_buffer_t* buffer = static_cast<zk_buffer_t*>(calloc(1, sizeof(zk_buffer_t)));
    if (!buffer || size < 1) return buffer;
    buffer->data = calloc(size_t(size), 1);
    if (buffer->data) {
        buffer->size = size;
        buffer->capacity = size;
    }
    return buffer;
}

void ZK_FreeBuffer(zk_buffer_t* buffer) {
    if (!buffer) return;
    free(buffer->data);
    free(buffer);
}

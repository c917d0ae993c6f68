// HTTP requests of the top-level table and their response buffers. No
// request is served yet: every request answers 0 and hands out no buffer.
#include <cstdlib>

#include "engine/core/interface_functions.h"
#include "engine/core/zekar.h"

int ZK_SendHttpRequest(int, const char*, const char*, const char*, int, zk_buffer_t** response, int*) {
    if (response) *response = nullptr;
    return 0;
}

int ZK_SendHttpRequestWithHeader(int, const char*, const char*, int, const char*, int, zk_buffer_t** response,
                                 zk_buffer_t** response_header, int*) {
    if (response) *response = nullptr;
    if (response_header) *response_header = nullptr;
    return 0;
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

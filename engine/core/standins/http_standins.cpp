// stand-in until: engine/storage zk_storage ZK_SendHttpRequest
// Neutral stand-ins for the top-level HTTP functions and their buffers
// (slots 28-31): every function answers zero or null and does nothing else.
// They give way to the storage subsystem's definitions of the same names.

#include "engine/core/interface_functions.h"

int ZK_SendHttpRequest(int /*method*/, const char* /*url*/, const char* /*content_type*/, const char* /*body*/,
                       int /*body_size*/, zk_buffer_t** /*response*/, int* /*unused*/) { return 0; }
int ZK_SendHttpRequestWithHeader(int /*method*/, const char* /*url*/, const char* /*header*/, int /*header_size*/,
                                 const char* /*body*/, int /*body_size*/, zk_buffer_t** /*response*/,
                                 zk_buffer_t** /*response_header*/, int* /*unused*/) { return 0; }
zk_buffer_t* ZK_AllocBuffer(int /*size*/) { return nullptr; }
void ZK_FreeBuffer(zk_buffer_t* /*buffer*/) {}

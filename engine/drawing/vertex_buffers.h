// Vertex and index buffers of the graphics API.
//
// A program holds a handle; the renderer buffer behind it is created,
// filled, locked, unlocked and freed only on the renderer thread. Calls
// from other threads are recorded in the six buffer queues of zk_state and
// carried out by ZKI_ProcessBufferResourceQueues at the next frame. The
// public functions (ZK_Graphics_Create*BufferWith*, Lock*, Unlock*, Free*)
// are graphics-table slots, declared in engine/runtime/interface_functions.h.
#pragma once

#include <cstdint>

#include "engine/render/renderer_implementation.h"

// Handle flags.
enum {
    ZK_BUFFER_OWNS_PENDING_COPY = 1,  // data is a system-memory copy owned by the handle
    ZK_BUFFER_LOCKED = 2,
    ZK_BUFFER_LOCKED_ON_RENDERER_THREAD = 4,  // the last lock came from the renderer thread
};

struct zk_vertex_buffer_t {
    void* data;         // the pending copy, or while locked the address to write to
    uint32_t count;     // vertices
    zk_vertex_format_t format;
    zk_buffer_usage_t usage;
    uint8_t flags;
    VertexBuffer* buffer;  // null until created in the renderer
};

struct zk_index_buffer_t {
    uint16_t* data;
    uint32_t count;     // 16-bit indices
    zk_buffer_usage_t usage;
    uint8_t flags;
    IndexBuffer* buffer;
};

// Creates the renderer buffer and fills it from data (a pending copy of the
// handle is freed afterwards). Renderer thread only. take_queue_lock: false
// when the caller holds RESOURCE_QUEUE.
void ZKI_LoadVertexBufferInRenderer(zk_vertex_buffer_t* handle, void* data, bool take_queue_lock);
void ZKI_LoadIndexBufferInRenderer(zk_index_buffer_t* handle, uint16_t* data, bool take_queue_lock);
// Locks the renderer buffer when the handle is unlocked; otherwise uploads
// a pending copy (when copy_pending) and unlocks it. Renderer thread only.
void ZKI_LockUnlockVertexBufferInRenderer(zk_vertex_buffer_t* handle, bool copy_pending);
void ZKI_LockUnlockIndexBufferInRenderer(zk_index_buffer_t* handle, bool copy_pending);
// Frees the handle and its renderer buffer, or queues it for the renderer
// thread. Null does nothing.
void ZKI_FreeVertexBuffer(zk_vertex_buffer_t* handle, bool take_queue_lock);
void ZKI_FreeIndexBuffer(zk_index_buffer_t* handle, bool take_queue_lock);
// The buffer pass of the frame's upload, on the renderer thread: frees,
// then creations, then uploads of unlocked buffers, index queue before
// vertex queue each time.
void ZKI_ProcessBufferResourceQueues();

// Vertex and index buffer handles, their queues and the buffer pass.
//
// The two families behave alike; they differ in the element size, the
// queues, the memory counter and the renderer operations, which the two
// family records below name. Buffers<Family> holds the behaviour once.

#include "engine/drawing/vertex_buffers.h"

#include <cstdlib>
#include <cstring>

#include "engine/drawing/batch_renderer.h"
#include "engine/render/resource_queues.h"
#include "engine/runtime/interface_functions.h"

namespace {

struct VertexFamily {
    typedef zk_vertex_buffer_t Handle;
    typedef VertexBuffer Buffer;
    static size_t Bytes(const Handle* h) {
        return static_cast<size_t>(ZKI_GetVertexFormatStride(h->format)) * h->count;
    }
    static nArray<Handle*>& CreateQueue() { return zk_state.vertex_buffer_create_queue; }
    static nArray<Handle*>& FreeQueue() { return zk_state.vertex_buffer_free_queue; }
    static nArray<Handle*>& LoadQueue() { return zk_state.vertex_buffer_load_queue; }
    static int32_t& Memory() { return zk_state.vertex_buffer_memory; }
    static Buffer* CreateInRenderer(const Handle* h) { return ri->CreateVertexBuffer(h->format, h->count, h->usage); }
    static void* LockInRenderer(Buffer* b) { return ri->LockVertexBuffer(b); }
    static void UnlockInRenderer(Buffer* b) { ri->UnlockVertexBuffer(b); }
    static void FreeInRenderer(Buffer* b) { ri->FreeVertexBuffer(b); }
};

struct IndexFamily {
    typedef zk_index_buffer_t Handle;
    typedef IndexBuffer Buffer;
    static size_t Bytes(const Handle* h) { return sizeof(uint16_t) * h->count; }
    static nArray<Handle*>& CreateQueue() { return zk_state.index_buffer_create_queue; }
    static nArray<Handle*>& FreeQueue() { return zk_state.index_buffer_free_queue; }
    static nArray<Handle*>& LoadQueue() { return zk_state.index_buffer_load_queue; }
    static int32_t& Memory() { return zk_state.index_buffer_memory; }
    static Buffer* CreateInRenderer(const Handle* h) { return ri->CreateIndexBuffer(h->count, h->usage); }
    static void* LockInRenderer(Buffer* b) { return ri->LockIndexBuffer(b); }
    static void UnlockInRenderer(Buffer* b) { ri->UnlockIndexBuffer(b); }
    static void FreeInRenderer(Buffer* b) { ri->FreeIndexBuffer(b); }
};

// Zeroed system memory for a pending copy (at least one byte, so that an
// empty buffer has one too); null when it cannot be had.
void* AllocatePendingCopy(size_t bytes) { return calloc(bytes ? bytes : 1, 1); }

template <class F>
struct Buffers {
    typedef typename F::Handle Handle;

    static void SetData(Handle* h, void* data) { h->data = static_cast<decltype(h->data)>(data); }

    static void CountMemory(const Handle* h, int sign) {
        ZKI_LockCoreMutex(ZK_CORE_MUTEX_CORE_VARIABLE);
        int64_t total = static_cast<int64_t>(F::Memory()) + sign * static_cast<int64_t>(F::Bytes(h));
        F::Memory() = static_cast<int32_t>(total);
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_CORE_VARIABLE);
    }

    static void* LockRendererBuffer(const Handle* h) {
        ZKI_CountBufferLock(h->usage);
        return F::LockInRenderer(h->buffer);
    }

    // The handle goes, and with it a pending copy it still owns.
    static void Delete(Handle* h) {
        if (h->flags & ZK_BUFFER_OWNS_PENDING_COPY) free(h->data);
        delete h;
    }

    // Releases the renderer buffer and deletes the handle. Once the
    // renderer is gone (final shutdown) its buffers went with it.
    static void FreeNow(Handle* h) {
        if (h->buffer) {
            CountMemory(h, -1);
            if (ri) F::FreeInRenderer(h->buffer);
        }
        Delete(h);
    }

    static Handle* FinishCreation(Handle* h, const void* elements) {
        if (ZKI_IsRendererThread()) {
            Load(h, elements, true);
            if (h->buffer) return h;
            Delete(h);
            return nullptr;
        }
        if (elements) {
            size_t bytes = F::Bytes(h);
            void* copy = AllocatePendingCopy(bytes);
            if (!copy) {
                Delete(h);
                return nullptr;
            }
            memcpy(copy, elements, bytes);
            SetData(h, copy);
            h->flags |= ZK_BUFFER_OWNS_PENDING_COPY;
        }
        ZK_ResourceQueueLock lock;
        F::CreateQueue().InsertLast(h);
        return h;
    }

    static void Load(Handle* h, const void* data, bool take_queue_lock) {
        h->buffer = ri ? F::CreateInRenderer(h) : nullptr;
        bool owns_copy = (h->flags & ZK_BUFFER_OWNS_PENDING_COPY) != 0;
        if (!h->buffer) {
            // A locked handle's copy is the program's to write into until it
            // unlocks; it goes with the handle.
            if (owns_copy && !(h->flags & ZK_BUFFER_LOCKED)) {
                free(h->data);
                SetData(h, nullptr);
                h->flags &= ~ZK_BUFFER_OWNS_PENDING_COPY;
            }
            return;
        }
        CountMemory(h, +1);
        // Locked while its creation was pending: the copy reaches the
        // renderer when the program unlocks.
        if (h->flags & ZK_BUFFER_LOCKED) return;
        void* pending = owns_copy ? static_cast<void*>(h->data) : nullptr;
        if (pending) {
            ZK_ResourceQueueLock lock(take_queue_lock);
            F::LoadQueue().RemoveItem(h);
            SetData(h, nullptr);
            h->flags &= ~ZK_BUFFER_OWNS_PENDING_COPY;
        }
        if (data) {
            LockUnlock(h, false);
            if (h->data) memcpy(h->data, data, F::Bytes(h));
            LockUnlock(h, false);
        }
        free(pending);
    }

    static void LockUnlock(Handle* h, bool copy_pending) {
        if (!(h->flags & ZK_BUFFER_LOCKED)) {
            SetData(h, LockRendererBuffer(h));
            h->flags |= ZK_BUFFER_LOCKED;
            return;
        }
        if ((h->flags & ZK_BUFFER_OWNS_PENDING_COPY) && copy_pending) {
            void* target = LockRendererBuffer(h);
            if (target) memcpy(target, h->data, F::Bytes(h));
            free(h->data);
            h->flags &= ~ZK_BUFFER_OWNS_PENDING_COPY;
        }
        F::UnlockInRenderer(h->buffer);
        SetData(h, nullptr);
        h->flags &= ~(ZK_BUFFER_LOCKED | ZK_BUFFER_LOCKED_ON_RENDERER_THREAD);
    }

    // A handle another thread wrote and unlocked waits in the load queue,
    // still marked locked, for the next buffer pass: its copy goes up now,
    // before the renderer thread writes over it.
    static void UploadWaitingCopy(Handle* h) {
        ZK_ResourceQueueLock lock;
        if (F::LoadQueue().RemoveItem(h) && (h->flags & ZK_BUFFER_LOCKED)) LockUnlock(h, true);
    }

    static bool Lock(Handle* h) {
        if (!h) return false;
        bool renderer_thread = ZKI_IsRendererThread();
        if (renderer_thread && h->buffer) {
            UploadWaitingCopy(h);
            // Locking again would toggle the buffer back to unlocked and
            // hand out no address.
            if (h->flags & ZK_BUFFER_LOCKED) return false;
            h->flags |= ZK_BUFFER_LOCKED_ON_RENDERER_THREAD;
            LockUnlock(h, true);
            return true;
        }
        ZK_ResourceQueueLock lock;
        F::LoadQueue().RemoveItem(h);
        if (!h->data) {
            void* copy = AllocatePendingCopy(F::Bytes(h));
            if (!copy) return false;
            SetData(h, copy);
            h->flags |= ZK_BUFFER_OWNS_PENDING_COPY;
        }
        h->flags &= ~ZK_BUFFER_LOCKED_ON_RENDERER_THREAD;
        h->flags |= ZK_BUFFER_LOCKED | (renderer_thread ? ZK_BUFFER_LOCKED_ON_RENDERER_THREAD : 0);
        return true;
    }

    // Unlocking a handle that is not locked does nothing: the renderer's
    // toggle would lock it instead.
    static void Unlock(Handle* h) {
        if (!h) return;
        if (ZKI_IsRendererThread() && h->buffer) {
            if (h->flags & ZK_BUFFER_LOCKED) LockUnlock(h, true);
            return;
        }
        ZK_ResourceQueueLock lock;
        if (h->flags & ZK_BUFFER_LOCKED) ZKI_QueueOnce(F::LoadQueue(), h);
    }

    static void Free(Handle* h, bool take_queue_lock) {
        if (!h) return;
        {
            ZK_ResourceQueueLock lock(take_queue_lock);
            F::CreateQueue().RemoveItem(h);
            // Waiting for its upload means the program has unlocked it; the
            // upload no longer matters, and a handle left marked locked
            // would wait in the free queue for ever.
            if (F::LoadQueue().RemoveItem(h)) h->flags &= ~ZK_BUFFER_LOCKED;
            if (!ZKI_IsRendererThread() && !ZKI_RendererAllowsAnyThread(ZK_RENDERER_THREAD_SAFE_BUFFER_FREES)) {
                ZKI_QueueOnce(F::FreeQueue(), h);
                return;
            }
        }
        FreeNow(h);
    }

    // Each pass holds RESOURCE_QUEUE for its one queue; entries that must
    // wait are kept in order.
    template <class Step>
    static void Drain(nArray<Handle*>& queue, Step step) {
        ZK_ResourceQueueLock lock;
        int kept = 0;
        for (int i = 0; i < queue.count; ++i) {
            Handle* h = queue.items[i];
            if (!step(h)) queue.items[kept++] = h;
        }
        queue.count = kept;
    }

    // A locked handle stays for a later frame; every other one is freed.
    static void ProcessFrees() {
        Drain(F::FreeQueue(), [](Handle* h) {
            if (h->flags & ZK_BUFFER_LOCKED) return false;
            FreeNow(h);
            return true;
        });
    }

    static void ProcessCreations() {
        Drain(F::CreateQueue(), [](Handle* h) {
            Load(h, h->data, false);
            return true;
        });
    }

    // A handle without a renderer buffer stays; the others have their
    // pending copy uploaded and their lock released.
    static void ProcessUploads() {
        Drain(F::LoadQueue(), [](Handle* h) {
            if (!h->buffer) return false;
            if (h->flags & ZK_BUFFER_LOCKED) LockUnlock(h, true);
            return true;
        });
    }
};

typedef Buffers<VertexFamily> Vertices;
typedef Buffers<IndexFamily> Indices;

}  // namespace


zk_vertex_buffer_t* ZK_Graphics_CreateVertexBufferWithVertices(zk_vertex_format_t format, void* vertices,
                                                               unsigned int count, zk_buffer_usage_t usage) {
    zk_vertex_buffer_t* handle = new zk_vertex_buffer_t();
    handle->count = count;
    handle->format = format;
    handle->usage = usage;
    return Vertices::FinishCreation(handle, vertices);
}

zk_index_buffer_t* ZK_Graphics_CreateIndexBufferWithIndices(unsigned short* indices, unsigned int count,
                                                            zk_buffer_usage_t usage) {
    zk_index_buffer_t* handle = new zk_index_buffer_t();
    handle->count = count;
    handle->usage = usage;
    return Indices::FinishCreation(handle, indices);
}

void ZKI_LoadVertexBufferInRenderer(zk_vertex_buffer_t* handle, void* data, bool take_queue_lock) {
    if (handle) Vertices::Load(handle, data, take_queue_lock);
}
void ZKI_LoadIndexBufferInRenderer(zk_index_buffer_t* handle, uint16_t* data, bool take_queue_lock) {
    if (handle) Indices::Load(handle, data, take_queue_lock);
}

void ZKI_LockUnlockVertexBufferInRenderer(zk_vertex_buffer_t* handle, bool copy_pending) {
    if (handle && handle->buffer) Vertices::LockUnlock(handle, copy_pending);
}
void ZKI_LockUnlockIndexBufferInRenderer(zk_index_buffer_t* handle, bool copy_pending) {
    if (handle && handle->buffer) Indices::LockUnlock(handle, copy_pending);
}

bool ZK_Graphics_LockVertexBuffer(zk_vertex_buffer_t* buffer) { return Vertices::Lock(buffer); }
bool ZK_Graphics_LockIndexBuffer(zk_index_buffer_t* buffer) { return Indices::Lock(buffer); }
void ZK_Graphics_UnlockVertexBuffer(zk_vertex_buffer_t* buffer) { Vertices::Unlock(buffer); }
void ZK_Graphics_UnlockIndexBuffer(zk_index_buffer_t* buffer) { Indices::Unlock(buffer); }

void ZKI_FreeVertexBuffer(zk_vertex_buffer_t* handle, bool take_queue_lock) { Vertices::Free(handle, take_queue_lock); }
void ZKI_FreeIndexBuffer(zk_index_buffer_t* handle, bool take_queue_lock) { Indices::Free(handle, take_queue_lock); }
void ZK_Graphics_FreeVertexBuffer(zk_vertex_buffer_t* buffer) { ZKI_FreeVertexBuffer(buffer, true); }
void ZK_Graphics_FreeIndexBuffer(zk_index_buffer_t* buffer) { ZKI_FreeIndexBuffer(buffer, true); }

void ZKI_ProcessBufferResourceQueues() {
    Indices::ProcessFrees();
    Vertices::ProcessFrees();
    Indices::ProcessCreations();
    Vertices::ProcessCreations();
    Indices::ProcessUploads();
    Vertices::ProcessUploads();
}

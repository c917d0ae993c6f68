// How work on renderer objects reaches the renderer thread.
//
// Only the renderer thread (the main thread, id 1) touches renderer
// objects. Work requested on another thread is done at once when the
// renderer's thread-safe bit for that kind of work is set; otherwise it is
// recorded in a queue of zk_state (each queue holds a resource at most
// once), under core mutex RESOURCE_QUEUE, and carried out by the renderer
// thread at the next frame: bitmaps and font pages, then buffers, then
// shaders (ZKI_UpdateResourceQueues, engine/screen/upload_pass.h).
#pragma once

#include "engine/base/narray.h"
#include "engine/runtime/state.h"

// True on the renderer thread.
bool ZKI_IsRendererThread();
// True when the current renderer accepts the work of `bit`
// (ZK_RENDERER_THREAD_SAFE_*) from any thread.
bool ZKI_RendererAllowsAnyThread(int bit);

// Holds RESOURCE_QUEUE for its scope; with take false it takes nothing, for
// callers that hold the mutex already.
class ZK_ResourceQueueLock {
public:
    explicit ZK_ResourceQueueLock(bool take = true) : taken_(take) {
        if (taken_) ZKI_LockCoreMutex(ZK_CORE_MUTEX_RESOURCE_QUEUE);
    }
    ~ZK_ResourceQueueLock() {
        if (taken_) ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_RESOURCE_QUEUE);
    }
    ZK_ResourceQueueLock(const ZK_ResourceQueueLock&) = delete;
    ZK_ResourceQueueLock& operator=(const ZK_ResourceQueueLock&) = delete;

private:
    bool taken_;
};

// Entries of each upload list handled in one frame.
enum { ZK_UPLOADS_PER_FRAME = 10 };

// Queue helpers; the caller holds RESOURCE_QUEUE.
template <class T>
bool ZKI_IsQueued(const nArray<T*>& queue, const T* item) {
    for (int i = 0; i < queue.count; ++i) {
        if (queue.items[i] == item) return true;
    }
    return false;
}
template <class T>
void ZKI_QueueOnce(nArray<T*>& queue, T* item) {
    if (!ZKI_IsQueued(queue, item)) queue.InsertLast(item);
}

// The first entries of a list, at most ZK_UPLOADS_PER_FRAME, copied under
// RESOURCE_QUEUE; their number.
template <class T>
int ZKI_CopyFirstUploads(const nArray<T>& queue, T* copy) {
    ZK_ResourceQueueLock lock;
    int count = queue.count < ZK_UPLOADS_PER_FRAME ? queue.count : ZK_UPLOADS_PER_FRAME;
    for (int i = 0; i < count; ++i) copy[i] = queue.items[i];
    return count;
}
// Takes the item's first entry off the list, under RESOURCE_QUEUE.
template <class T>
void ZKI_RemoveFirstUpload(nArray<T*>& queue, T* item) {
    ZK_ResourceQueueLock lock;
    queue.RemoveItem(item);
}

// True while a renderer exists; otherwise waits up to ten times 100 ms for
// one to come back ready, and answers whether one exists.
bool ZKI_TryRegainRenderer();

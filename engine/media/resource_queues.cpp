// The per-frame upload pass and the thread tests of the queueing rule.

#include "engine/media/resource_queues.h"

#include "engine/media/bitmap_upload.h"
#include "engine/media/renderer_implementation.h"
#include "engine/media/run_time_shaders.h"
#include "engine/media/vertex_buffers.h"
#include "engine/runtime/threads.h"

static const uint32_t kSlowUploadMs = 201;

bool ZKI_IsRendererThread() { return ZKT_GetCurrentThreadId() == 1; }

bool ZKI_RendererAllowsAnyThread(int bit) { return ri && (ri->GetThreadSafeFeatures() & bit) != 0; }

void ZKI_UpdateResourceQueues() {
    uint32_t start = zk->ZK_GetTime();
    ZKI_ProcessBitmapResourceQueues();
    ZKI_ProcessBufferResourceQueues();
    ZKI_ProcessShaderResourceQueue();
    // Unsigned, so that the clock's wrap-around still gives the time spent.
    uint32_t spent = zk->ZK_GetTime() - start;
    if (spent >= kSlowUploadMs)
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Spent %d msecs uploading resources to GPU!", static_cast<int>(spent));
}

// The thread tests of the queueing rule, and the wait for a lost renderer.

#include "engine/render/resource_queues.h"

#include "engine/render/renderer_implementation.h"
#include "engine/runtime/threads.h"

namespace {

const int kRegainTries = 10;
const int kRegainWaitMs = 100;

}  // namespace

bool ZKI_IsRendererThread() { return ZKT_GetCurrentThreadId() == 1; }

bool ZKI_RendererAllowsAnyThread(int bit) { return ri && (ri->GetThreadSafeFeatures() & bit) != 0; }

bool ZKI_TryRegainRenderer() {
    if (ri) return true;
    zk->ZK_Printf("Renderer implementation lost, trying to regain...\n");
    for (int attempt = 1; attempt <= kRegainTries; ++attempt) {
        zk->ZKT_Sleep(kRegainWaitMs);
        if (ri && zk_state.renderer_initialized) {
            zk->ZK_Printf("Renderer reclaimed at try #%d.\n", attempt);
            return true;
        }
    }
    return ri != nullptr;
}

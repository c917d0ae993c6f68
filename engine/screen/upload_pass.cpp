// The per-frame upload pass.

#include "engine/screen/upload_pass.h"

#include <cstdint>

#include "engine/bitmaps/bitmap_upload.h"
#include "engine/drawing/vertex_buffers.h"
#include "engine/fonts/fonts.h"
#include "engine/runtime/state.h"
#include "engine/shaders/run_time_shaders.h"

namespace {

const uint32_t kSlowUploadMs = 201;

}  // namespace

void ZKI_ProcessBitmapResourceQueues() {
    ZKI_FreeQueuedBitmapTextures();
    ZKI_UploadQueuedBitmaps();
    ZKI_UploadQueuedFonts();
}

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

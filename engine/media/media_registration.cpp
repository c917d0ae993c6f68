// Registration of the media layer: the renderer's part of start-up and of
// the frame, and the graphics slots built so far.

#include "engine/media/media_registration.h"

#include "engine/media/bitmap_pool.h"
#include "engine/media/image_loader.h"
#include "engine/media/renderer_interface.h"
#include "engine/media/renderer_null.h"
#include "engine/media/resource_queues.h"
#include "engine/media/run_time_shaders.h"
#include "engine/media/sound_registration.h"
#include "engine/media/vertex_buffers.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/registration.h"

namespace {

void ActivateRendererWindow(bool active) {
    if (ri) ri->ActivateWindow(active);
}
bool IsResolutionSupportedByRenderer(int width, int height) { return ri && ri->IsResolutionSupported(width, height); }

// The frame's renderer steps; the frame calls them only with a renderer.
void BeginFrame(int eye) { ri->FrameStart(eye); }
void SetViewport(int x, int y, int width, int height, float min_depth, float max_depth) {
    ri->SetViewport(x, y, width, height, min_depth, max_depth);
}
void BeginScene() { ri->DrawAtStartOfFrame(); }
bool CanDraw() { return ri->IsReadyToRender(); }
void EndScene() { ri->DrawAtEndOfFrame(); }
void EndFrame() { ri->FrameReady(); }

}  // namespace

void ZKM_FillGraphicsInterface(zk_graphics_api_t* api) {
    ZKI_FillNeutralInterface(api);
    api->ZK_Graphics_CreateIndexBufferWithIndices = ZK_Graphics_CreateIndexBufferWithIndices;
    api->ZK_Graphics_CreateVertexBufferWithVertices = ZK_Graphics_CreateVertexBufferWithVertices;
    api->ZK_Graphics_FreeIndexBuffer = ZK_Graphics_FreeIndexBuffer;
    api->ZK_Graphics_FreeVertexBuffer = ZK_Graphics_FreeVertexBuffer;
    api->ZK_Graphics_LockIndexBuffer = ZK_Graphics_LockIndexBuffer;
    api->ZK_Graphics_LockVertexBuffer = ZK_Graphics_LockVertexBuffer;
    api->ZK_Graphics_UnlockIndexBuffer = ZK_Graphics_UnlockIndexBuffer;
    api->ZK_Graphics_UnlockVertexBuffer = ZK_Graphics_UnlockVertexBuffer;
    api->ZK_Graphics_GetNumberOfBitmaps = ZK_Graphics_GetNumberOfBitmaps;
    api->ZK_Graphics_GetBitmapByIndex = ZK_Graphics_GetBitmapByIndex;
    ZKM_FillShaderInterface(api);
}

void ZKM_RegisterMedia(void (*fill_table)(zekar_t* table)) {
    zkm_fill_interface_table = fill_table;

    zk_media.GetRendImpNull = GetRendImpNull;
    zk_media.LoadRendImp = ZKI_LoadRendImp;
    zk_media.InitRendImp = ZKI_InitRendImp;
    zk_media.ActivateRendererWindow = ActivateRendererWindow;
    zk_media.IsResolutionSupportedByRenderer = IsResolutionSupportedByRenderer;
    zk_media.FillGraphicsInterface = ZKM_FillGraphicsInterface;

    zk_frame_backend_t& frame = zk_frame_backend;
    frame.BeginFrame = BeginFrame;
    frame.SetViewport = SetViewport;
    frame.BeginScene = BeginScene;
    frame.CanDraw = CanDraw;
    frame.EndScene = EndScene;
    frame.EndFrame = EndFrame;
    frame.ShutdownRenderer = ZKI_ShutdownRendImp;
    frame.UpdateResourceQueues = ZKI_UpdateResourceQueues;

    ZKM_RegisterImageLoader();
    ZKM_RegisterSound();
    ZKM_RegisterShaders();
}

// The drawing library's slots of the graphics sub-table (buffers, state,
// transforms, scissor and render targets, drawing through the batch
// renderer), and the extension table's quad.

#include "engine/drawing/drawing_interface.h"

#include "engine/drawing/graphics_state.h"
#include "engine/drawing/render_targets.h"
#include "engine/drawing/vertex_buffers.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/interface_filling.h"

void ZKM_FillDrawingInterface(zk_graphics_api_t* api) {
    api->ZK_Graphics_CreateIndexBufferWithIndices = ZK_Graphics_CreateIndexBufferWithIndices;
    api->ZK_Graphics_CreateVertexBufferWithVertices = ZK_Graphics_CreateVertexBufferWithVertices;
    api->ZK_Graphics_FreeIndexBuffer = ZK_Graphics_FreeIndexBuffer;
    api->ZK_Graphics_FreeVertexBuffer = ZK_Graphics_FreeVertexBuffer;
    api->ZK_Graphics_LockIndexBuffer = ZK_Graphics_LockIndexBuffer;
    api->ZK_Graphics_LockVertexBuffer = ZK_Graphics_LockVertexBuffer;
    api->ZK_Graphics_UnlockIndexBuffer = ZK_Graphics_UnlockIndexBuffer;
    api->ZK_Graphics_UnlockVertexBuffer = ZK_Graphics_UnlockVertexBuffer;

    api->ZK_Graphics_ClearDepth = ZK_Graphics_ClearDepth;
    api->ZK_Graphics_ClearScreen = ZK_Graphics_ClearScreen;
    api->ZK_Graphics_ClearScreenWithAlpha = ZK_Graphics_ClearScreenWithAlpha;
    api->ZK_Graphics_DisableScissorRect = ZK_Graphics_DisableScissorRect;
    api->ZK_Graphics_GetAlpha = ZK_Graphics_GetAlpha;
    api->ZK_Graphics_GetBlend = ZK_Graphics_GetBlend;
    api->ZK_Graphics_GetColor = ZK_Graphics_GetColor;
    api->ZK_Graphics_GetDepthDefault = ZK_Graphics_GetDepthDefault;
    api->ZK_Graphics_GetFeatures = ZK_Graphics_GetFeatures;
    api->ZK_Graphics_GetMaximumTextureSize = ZK_Graphics_GetMaximumTextureSize;
    api->ZK_Graphics_GetPixelFilter = ZK_Graphics_GetPixelFilter;
    api->ZK_Graphics_GetRenderStateb = ZK_Graphics_GetRenderStateb;
    api->ZK_Graphics_GetRenderStatef = ZK_Graphics_GetRenderStatef;
    api->ZK_Graphics_GetRenderStatei = ZK_Graphics_GetRenderStatei;
    api->ZKI_Graphics_GetViewportDimensions = ZKI_Graphics_GetViewportDimensions;
    api->ZK_Graphics_GetViewPosition = ZK_Graphics_GetViewPosition;
    api->ZK_Graphics_IsTextureFormatSupported = ZK_Graphics_IsTextureFormatSupported;
    api->ZK_Graphics_PeekProjectionTransform = ZK_Graphics_PeekProjectionTransform;
    api->ZK_Graphics_PeekRenderTarget = ZK_Graphics_PeekRenderTarget;
    api->ZK_Graphics_PeekViewTransform = ZK_Graphics_PeekViewTransform;
    api->ZK_Graphics_PeekWorldTransform = ZK_Graphics_PeekWorldTransform;
    api->ZK_Graphics_PopProjectionTransform = ZK_Graphics_PopProjectionTransform;
    api->ZK_Graphics_PopRenderTarget = ZK_Graphics_PopRenderTarget;
    api->ZK_Graphics_PopScissorRectangle = ZK_Graphics_PopScissorRectangle;
    api->ZK_Graphics_PopViewTransform = ZK_Graphics_PopViewTransform;
    api->ZK_Graphics_PopWorldTransform = ZK_Graphics_PopWorldTransform;
    api->ZK_Graphics_PushProjectionTransform = ZK_Graphics_PushProjectionTransform;
    api->ZK_Graphics_PushRenderTarget = ZK_Graphics_PushRenderTarget;
    api->ZK_Graphics_PushRenderTargets = ZK_Graphics_PushRenderTargets;
    api->ZK_Graphics_PushRenderTargetWithDepth = ZK_Graphics_PushRenderTargetWithDepth;
    api->ZK_Graphics_PushScissorRectangle = ZK_Graphics_PushScissorRectangle;
    api->ZK_Graphics_PushViewTransform = ZK_Graphics_PushViewTransform;
    api->ZK_Graphics_PushWorldTransform = ZK_Graphics_PushWorldTransform;
    api->ZK_Graphics_SetAlpha = ZK_Graphics_SetAlpha;
    api->ZK_Graphics_SetBlend = ZK_Graphics_SetBlend;
    api->ZK_Graphics_SetDepthDefault = ZK_Graphics_SetDepthDefault;
    api->ZK_Graphics_SetDepthRange = ZK_Graphics_SetDepthRange;
    api->ZK_Graphics_SetPixelFilter = ZK_Graphics_SetPixelFilter;
    api->ZK_Graphics_SetPresentInterval = ZK_Graphics_SetPresentInterval;
    api->ZK_Graphics_SetRenderStateb = ZK_Graphics_SetRenderStateb;
    api->ZK_Graphics_SetRenderStatef = ZK_Graphics_SetRenderStatef;
    api->ZK_Graphics_SetRenderStatei = ZK_Graphics_SetRenderStatei;
    api->ZK_Graphics_SetRenderTargetVirtualRect = ZK_Graphics_SetRenderTargetVirtualRect;
    api->ZK_Graphics_SetScissorRect = ZK_Graphics_SetScissorRect;
    api->ZK_Graphics_SetTextureAddressMode = ZK_Graphics_SetTextureAddressMode;
    api->ZK_Graphics_SetTextureFilter = ZK_Graphics_SetTextureFilter;
    api->ZK_Graphics_SetTextureInput = ZK_Graphics_SetTextureInput;

    api->ZK_Graphics_DrawBitmap = ZK_Graphics_DrawBitmap;
    api->ZK_Graphics_DrawBitmap4V = ZK_Graphics_DrawBitmap4V;
    api->ZK_Graphics_DrawBitmapLine = ZK_Graphics_DrawBitmapLine;
    api->ZK_Graphics_DrawBitmapRS = ZK_Graphics_DrawBitmapRS;
    api->ZK_Graphics_DrawLine = ZK_Graphics_DrawLine;
    api->ZK_Graphics_DrawLine2V = ZK_Graphics_DrawLine2V;
    api->ZK_Graphics_DrawRect = ZK_Graphics_DrawRect;
    api->ZK_Graphics_DrawSubBitmap = ZK_Graphics_DrawSubBitmap;
    api->ZK_Graphics_DrawTriangles = ZK_Graphics_DrawTriangles;
    api->ZK_Graphics_DrawVerticesWithIndices = ZK_Graphics_DrawVerticesWithIndices;
    api->ZK_Graphics_DrawVerticesWithIndicesInstanced = ZK_Graphics_DrawVerticesWithIndicesInstanced;
    api->ZK_Graphics_DrawVerticesWithIndicesSubset = ZK_Graphics_DrawVerticesWithIndicesSubset;
}

void ZKI_SelectColorSetters(zk_graphics_api_t* api, int vertex_color_format) {
    bool rgba = vertex_color_format == 0;
    api->ZK_Graphics_SetColor = rgba ? ZK_Graphics_SetColor_RGBA : ZK_Graphics_SetColor_BGRA;
    api->ZK_Graphics_SetColorWithAlpha = rgba ? ZK_Graphics_SetColorWithAlpha_RGBA : ZK_Graphics_SetColorWithAlpha_BGRA;
}

void ZKM_FillExtensionInterface(zk_extension_api_t* api) {
    ZKI_FillNeutralInterface(api);
    api->ZK_DrawQuad = ZK_DrawQuad;
}

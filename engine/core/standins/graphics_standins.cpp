// stand-in until: engine/media zk_media ZKI_FillGraphicsInterface
// Neutral stand-ins for the graphics and extension sub-tables and the
// graphics pieces the core asks of the media subsystem: every function
// answers false, zero or null and does nothing else. They give way to the
// media subsystem's definitions of the same names.

#include "engine/core/interface_functions.h"
#include "engine/core/ntransform.h"
#include "engine/core/types.h"
#include "engine/core/zekar.h"


void ZK_Graphics_ClearDepth(float /*depth*/) {}
void ZK_Graphics_ClearScreen(float /*r*/, float /*g*/, float /*b*/) {}
void ZK_Graphics_ClearScreenWithAlpha(float /*r*/, float /*g*/, float /*b*/, float /*a*/) {}
zk_bitmap_t* ZK_Graphics_CreateBitmap(const char* /*name*/, const zk_bitmap_parameters_t* /*parameters*/) { return nullptr; }
bool ZK_Graphics_CopyBitmapRenderTargetDataToPixels(zk_bitmap_t* /*bitmap*/) { return false; }
zk_index_buffer_t* ZK_Graphics_CreateIndexBufferWithIndices(unsigned short* /*indices*/, unsigned int /*count*/, zk_buffer_usage_t /*usage*/) { return nullptr; }
zk_vertex_buffer_t* ZK_Graphics_CreateVertexBufferWithVertices(zk_vertex_format_t /*format*/, void* /*vertices*/, unsigned int /*count*/, zk_buffer_usage_t /*usage*/) { return nullptr; }
void ZK_Graphics_DisableScissorRect() {}
void ZK_Graphics_DrawBitmap(const zk_bitmap_t* /*bitmap*/, const float& /*x*/, const float& /*y*/) {}
void ZK_Graphics_DrawBitmap4V(const zk_bitmap_t* /*bitmap*/, const zk_vertex_t* /*four*/) {}
void ZK_Graphics_DrawBitmapLine(const zk_bitmap_t* /*bitmap*/, const vec2_t* /*from*/, const vec2_t* /*to*/, float /*width_from*/, float /*width_to*/, const color_t* /*color_from*/, const color_t* /*color_to*/) {}
void ZK_Graphics_DrawBitmapRS(const zk_bitmap_t* /*bitmap*/, const float& /*x*/, const float& /*y*/, const float& /*rotation*/, const float& /*scale*/) {}
void ZK_Graphics_DrawLine(const float& /*x0*/, const float& /*y0*/, const float& /*x1*/, const float& /*y1*/) {}
void ZK_Graphics_DrawLine2V(const zk_vertex_t* /*two*/) {}
void ZK_Graphics_DrawRect(const float& /*x*/, const float& /*y*/, const float& /*width*/, const float& /*height*/) {}
void ZK_Graphics_DrawSubBitmap(const zk_bitmap_t* /*bitmap*/, const float& /*x*/, const float& /*y*/, const float& /*left*/, const float& /*top*/, const float& /*right*/, const float& /*lower*/) {}
float ZK_Graphics_DrawTextf(zk_font_t* /*font*/, const float& /*x*/, const float& /*y*/, const char* /*format*/, ...) { return 0; }
void ZK_Graphics_DrawTriangles(const zk_bitmap_t* /*bitmap*/, zk_vertex_t* /*vertices*/, int /*vertex_count*/, unsigned short* /*indices*/, int /*index_count*/) {}
void ZK_Graphics_DrawVerticesWithIndices(zk_vertex_buffer_t* /*vertices*/, zk_index_buffer_t* /*indices*/) {}
void ZK_Graphics_DrawVerticesWithIndicesInstanced(zk_vertex_buffer_t* /*vertices*/, zk_index_buffer_t* /*indices*/, unsigned /*instances*/) {}
void ZK_Graphics_DrawVerticesWithIndicesSubset(zk_vertex_buffer_t* /*vertices*/, zk_index_buffer_t* /*indices*/, const unsigned& /*start*/, const unsigned& /*count*/) {}
void ZK_Graphics_FreeIndexBuffer(zk_index_buffer_t* /*buffer*/) {}
void ZK_Graphics_FreeVertexBuffer(zk_vertex_buffer_t* /*buffer*/) {}
float ZK_Graphics_GetAlpha() { return 0; }
zk_bitmap_t* ZK_Graphics_GetBitmap(const char* /*name*/) { return nullptr; }
zk_bitmap_t* ZK_Graphics_GetBitmapByIndex(const int& /*index*/) { return nullptr; }
zk_bitmap_t* ZK_Graphics_GetBitmapWithCacheMode(const char* /*name*/, int /*mode*/) { return nullptr; }
zk_blend_mode_t ZK_Graphics_GetBlend() { return 0; }
color_t ZK_Graphics_GetColor() { return color_t{}; }
float ZK_Graphics_GetDepthDefault() { return 0; }
unsigned int ZK_Graphics_GetFeatures() { return 0; }
zk_font_t* ZK_Graphics_GetFont(const char* /*name*/) { return nullptr; }
int ZK_Graphics_GetMaximumTextureSize() { return 0; }
int ZK_Graphics_GetNumberOfBitmaps() { return 0; }
zk_filter_t ZK_Graphics_GetPixelFilter() { return 0; }
bool ZK_Graphics_GetRenderStateb(zk_render_state_t /*state*/) { return false; }
float ZK_Graphics_GetRenderStatef(zk_render_state_t /*state*/) { return 0; }
int ZK_Graphics_GetRenderStatei(zk_render_state_t /*state*/) { return 0; }
zk_shader_t* ZK_Graphics_GetShader(const char* /*name*/) { return nullptr; }
void* ZK_Graphics_GetShaderPixelConstant(zk_shader_t* /*shader*/, int /*index*/) { return nullptr; }
int ZK_Graphics_GetShaderPixelConstantIndex(zk_shader_t* /*shader*/, const char* /*name*/) { return 0; }
const char* ZK_Graphics_GetShaderTags(zk_shader_t* /*shader*/) { return nullptr; }
const char* ZK_Graphics_GetShaderUserValue(zk_shader_t* /*shader*/, const char* /*key*/) { return nullptr; }
void* ZK_Graphics_GetShaderVertexConstant(zk_shader_t* /*shader*/, int /*index*/) { return nullptr; }
int ZK_Graphics_GetShaderVertexConstantIndex(zk_shader_t* /*shader*/, const char* /*name*/) { return 0; }
unsigned int ZK_Graphics_GetTextAlign() { return 0; }
float ZK_Graphics_GetTextHeightf(zk_font_t* /*font*/, const char* /*format*/, ...) { return 0; }
void ZK_Graphics_GetTextSizef(zk_font_t* /*font*/, float* /*width*/, float* /*height*/, const char* /*format*/, ...) {}
int ZK_Graphics_GetTextureInputIndex(zk_shader_t* /*shader*/, const char* /*name*/) { return 0; }
float ZK_Graphics_GetTextWidthf(zk_font_t* /*font*/, const char* /*format*/, ...) { return 0; }
void ZKI_Graphics_GetViewportDimensions(int& /*width*/, int& /*height*/) {}
const float* ZK_Graphics_GetViewPosition() { return nullptr; }
void ZK_Graphics_IncreaseBitmapReferenceCount(zk_bitmap_t* /*bitmap*/, int /*amount*/) {}
bool ZK_Graphics_IsShaderSupported(zk_shader_t* /*shader*/) { return false; }
bool ZK_Graphics_IsTextureFormatSupported(const zk_bitmap_parameters_t& /*parameters*/) { return false; }
zk_bitmap_t* ZK_Graphics_LoadBitmap(const char* /*name*/, int /*mode*/) { return nullptr; }
zk_font_t* ZK_Graphics_LoadFont(const char* /*name*/) { return nullptr; }
bool ZK_Graphics_LockIndexBuffer(zk_index_buffer_t* /*buffer*/) { return false; }
bool ZK_Graphics_LockVertexBuffer(zk_vertex_buffer_t* /*buffer*/) { return false; }
nTransform ZK_Graphics_PeekProjectionTransform() { return nTransform{}; }
zk_bitmap_t* ZK_Graphics_PeekRenderTarget() { return nullptr; }
nTransform ZK_Graphics_PeekViewTransform() { return nTransform{}; }
nTransform ZK_Graphics_PeekWorldTransform() { return nTransform{}; }
void ZK_Graphics_PopProjectionTransform() {}
void ZK_Graphics_PopRenderTarget() {}
void ZK_Graphics_PopScissorRectangle() {}
void ZK_Graphics_PopViewTransform() {}
void ZK_Graphics_PopWorldTransform() {}
void ZK_Graphics_PushProjectionTransform(const nTransform* /*transform*/) {}
void ZK_Graphics_PushRenderTarget(zk_bitmap_t* /*color*/) {}
void ZK_Graphics_PushRenderTargets(zk_graphics_api_t::RenderTargets* /*targets*/) {}
void ZK_Graphics_PushRenderTargetWithDepth(zk_bitmap_t* /*color*/, zk_bitmap_t* /*depth*/) {}
bool ZK_Graphics_PushScissorRectangle(int /*x*/, int /*y*/, int /*width*/, int /*height*/) { return false; }
void ZK_Graphics_PushViewTransform(const nTransform* /*transform*/) {}
void ZK_Graphics_PushWorldTransform(const nTransform* /*transform*/) {}
bool ZK_Graphics_RefreshBitmap(zk_bitmap_t* /*bitmap*/) { return false; }
void ZK_Graphics_RefreshFont(zk_font_t* /*font*/) {}
void ZK_Graphics_ReleaseBitmap(zk_bitmap_t* /*bitmap*/) {}
void ZK_Graphics_ReleaseFont(zk_font_t* /*font*/) {}
bool ZK_Graphics_ReloadShader(zk_shader_t* /*shader*/) { return false; }
void ZK_Graphics_RemoveBitmapHandle(zk_bitmap_t* /*bitmap*/) {}
bool ZK_Graphics_ResizeBitmap(zk_bitmap_t* /*bitmap*/, int /*width*/, int /*height*/) { return false; }
bool ZK_Graphics_SaveBitmap(zk_bitmap_t* /*bitmap*/, const char* /*path*/, int /*quality*/) { return false; }
bool ZK_Graphics_SaveFont(zk_font_t* /*font*/, const char* /*path*/) { return false; }
void ZK_Graphics_SetAlpha(const float& /*a*/) {}
zk_bitmap_t* ZK_Graphics_SetBitmapCacheMode(zk_bitmap_t* /*bitmap*/, int /*mode*/) { return nullptr; }
void ZK_Graphics_SetBitmapFrame(zk_bitmap_t* /*bitmap*/, int /*frame*/) {}
void ZK_Graphics_SetBlend(zk_blend_mode_t /*mode*/) {}
void ZK_Graphics_SetDepthDefault(const float& /*z*/) {}
void ZK_Graphics_SetDepthRange(float /*near_depth*/, float /*middle_depth*/, float /*far_depth*/) {}
void ZK_Graphics_SetFontShader(zk_shader_t* /*shader*/) {}
void ZK_Graphics_SetPixelFilter(zk_filter_t /*filter*/) {}
void ZK_Graphics_SetPresentInterval(int /*interval*/) {}
void ZK_Graphics_SetRenderStateb(zk_render_state_t /*state*/, bool /*value*/) {}
void ZK_Graphics_SetRenderStatef(zk_render_state_t /*state*/, float /*value*/) {}
void ZK_Graphics_SetRenderStatei(zk_render_state_t /*state*/, int /*value*/) {}
void ZK_Graphics_SetRenderTargetVirtualRect(zk_bitmap_t* /*bitmap*/, int /*x*/, int /*y*/, int /*width*/, int /*height*/) {}
bool ZK_Graphics_SetScissorRect(int /*x*/, int /*y*/, int /*width*/, int /*height*/) { return false; }
void ZK_Graphics_SetShader(zk_shader_t* /*shader*/) {}
void ZK_Graphics_SetShaderPixelConstant(zk_shader_t* /*shader*/, int /*index*/, zk_shader_constant_type_t /*type*/, const void* /*value*/, int /*count*/) {}
void ZK_Graphics_SetShaderVertexConstant(zk_shader_t* /*shader*/, int /*index*/, zk_shader_constant_type_t /*type*/, const void* /*value*/, int /*count*/) {}
void ZK_Graphics_SetTextureAddressMode(int /*stage*/, zk_address_mode_t /*u*/, zk_address_mode_t /*v*/, zk_address_mode_t /*w*/) {}
void ZK_Graphics_SetTextureFilter(int /*stage*/, zk_filter_t /*mag*/, zk_filter_t /*min*/, zk_filter_t /*mip*/) {}
void ZK_Graphics_SetTextAlign(const unsigned int& /*flags*/) {}
void ZK_Graphics_SetTextHorizontalSpacing(const float& /*spacing*/) {}
void ZK_Graphics_SetTextboxWidth(const float& /*width*/) {}
void ZK_Graphics_SetTextTransform(const float& /*sx*/, const float& /*sy*/, const float& /*angle*/) {}
void ZK_Graphics_SetTextVerticalSpacing(const float& /*spacing*/) {}
bool ZK_Graphics_FontHasGlyphsToDrawText(zk_font_t* /*font*/, const char* /*text*/) { return false; }
void ZK_Graphics_SetTextureInput(int /*stage*/, zk_bitmap_t* /*bitmap*/) {}
bool ZK_Graphics_ShaderTagExists(zk_shader_t* /*shader*/, const char* /*tag*/) { return false; }
void ZK_Graphics_UnlockIndexBuffer(zk_index_buffer_t* /*buffer*/) {}
void ZK_Graphics_UnlockVertexBuffer(zk_vertex_buffer_t* /*buffer*/) {}

void ZKI_FillGraphicsInterface(zk_graphics_api_t* api) {
    api->ZK_Graphics_ClearDepth = ZK_Graphics_ClearDepth;
    api->ZK_Graphics_ClearScreen = ZK_Graphics_ClearScreen;
    api->ZK_Graphics_ClearScreenWithAlpha = ZK_Graphics_ClearScreenWithAlpha;
    api->ZK_Graphics_CreateBitmap = ZK_Graphics_CreateBitmap;
    api->ZK_Graphics_CopyBitmapRenderTargetDataToPixels = ZK_Graphics_CopyBitmapRenderTargetDataToPixels;
    api->ZK_Graphics_CreateIndexBufferWithIndices = ZK_Graphics_CreateIndexBufferWithIndices;
    api->ZK_Graphics_CreateVertexBufferWithVertices = ZK_Graphics_CreateVertexBufferWithVertices;
    api->ZK_Graphics_DisableScissorRect = ZK_Graphics_DisableScissorRect;
    api->ZK_Graphics_DrawBitmap = ZK_Graphics_DrawBitmap;
    api->ZK_Graphics_DrawBitmap4V = ZK_Graphics_DrawBitmap4V;
    api->ZK_Graphics_DrawBitmapLine = ZK_Graphics_DrawBitmapLine;
    api->ZK_Graphics_DrawBitmapRS = ZK_Graphics_DrawBitmapRS;
    api->ZK_Graphics_DrawLine = ZK_Graphics_DrawLine;
    api->ZK_Graphics_DrawLine2V = ZK_Graphics_DrawLine2V;
    api->ZK_Graphics_DrawRect = ZK_Graphics_DrawRect;
    api->ZK_Graphics_DrawSubBitmap = ZK_Graphics_DrawSubBitmap;
    api->ZK_Graphics_DrawTextf = ZK_Graphics_DrawTextf;
    api->ZK_Graphics_DrawTriangles = ZK_Graphics_DrawTriangles;
    api->ZK_Graphics_DrawVerticesWithIndices = ZK_Graphics_DrawVerticesWithIndices;
    api->ZK_Graphics_DrawVerticesWithIndicesInstanced = ZK_Graphics_DrawVerticesWithIndicesInstanced;
    api->ZK_Graphics_DrawVerticesWithIndicesSubset = ZK_Graphics_DrawVerticesWithIndicesSubset;
    api->ZK_Graphics_FreeIndexBuffer = ZK_Graphics_FreeIndexBuffer;
    api->ZK_Graphics_FreeVertexBuffer = ZK_Graphics_FreeVertexBuffer;
    api->ZK_Graphics_GetAlpha = ZK_Graphics_GetAlpha;
    api->ZK_Graphics_GetBitmap = ZK_Graphics_GetBitmap;
    api->ZK_Graphics_GetBitmapByIndex = ZK_Graphics_GetBitmapByIndex;
    api->ZK_Graphics_GetBitmapWithCacheMode = ZK_Graphics_GetBitmapWithCacheMode;
    api->ZK_Graphics_GetBlend = ZK_Graphics_GetBlend;
    api->ZK_Graphics_GetColor = ZK_Graphics_GetColor;
    api->ZK_Graphics_GetDepthDefault = ZK_Graphics_GetDepthDefault;
    api->ZK_Graphics_GetFeatures = ZK_Graphics_GetFeatures;
    api->ZK_Graphics_GetFont = ZK_Graphics_GetFont;
    api->ZK_Graphics_GetMaximumTextureSize = ZK_Graphics_GetMaximumTextureSize;
    api->ZK_Graphics_GetNumberOfBitmaps = ZK_Graphics_GetNumberOfBitmaps;
    api->ZK_Graphics_GetPixelFilter = ZK_Graphics_GetPixelFilter;
    api->ZK_Graphics_GetRenderStateb = ZK_Graphics_GetRenderStateb;
    api->ZK_Graphics_GetRenderStatef = ZK_Graphics_GetRenderStatef;
    api->ZK_Graphics_GetRenderStatei = ZK_Graphics_GetRenderStatei;
    api->ZK_Graphics_GetShader = ZK_Graphics_GetShader;
    api->ZK_Graphics_GetShaderPixelConstant = ZK_Graphics_GetShaderPixelConstant;
    api->ZK_Graphics_GetShaderPixelConstantIndex = ZK_Graphics_GetShaderPixelConstantIndex;
    api->ZK_Graphics_GetShaderTags = ZK_Graphics_GetShaderTags;
    api->ZK_Graphics_GetShaderUserValue = ZK_Graphics_GetShaderUserValue;
    api->ZK_Graphics_GetShaderVertexConstant = ZK_Graphics_GetShaderVertexConstant;
    api->ZK_Graphics_GetShaderVertexConstantIndex = ZK_Graphics_GetShaderVertexConstantIndex;
    api->ZK_Graphics_GetTextAlign = ZK_Graphics_GetTextAlign;
    api->ZK_Graphics_GetTextHeightf = ZK_Graphics_GetTextHeightf;
    api->ZK_Graphics_GetTextSizef = ZK_Graphics_GetTextSizef;
    api->ZK_Graphics_GetTextureInputIndex = ZK_Graphics_GetTextureInputIndex;
    api->ZK_Graphics_GetTextWidthf = ZK_Graphics_GetTextWidthf;
    api->ZKI_Graphics_GetViewportDimensions = ZKI_Graphics_GetViewportDimensions;
    api->ZK_Graphics_GetViewPosition = ZK_Graphics_GetViewPosition;
    api->ZK_Graphics_IncreaseBitmapReferenceCount = ZK_Graphics_IncreaseBitmapReferenceCount;
    api->ZK_Graphics_IsShaderSupported = ZK_Graphics_IsShaderSupported;
    api->ZK_Graphics_IsTextureFormatSupported = ZK_Graphics_IsTextureFormatSupported;
    api->ZK_Graphics_LoadBitmap = ZK_Graphics_LoadBitmap;
    api->ZK_Graphics_LoadFont = ZK_Graphics_LoadFont;
    api->ZK_Graphics_LockIndexBuffer = ZK_Graphics_LockIndexBuffer;
    api->ZK_Graphics_LockVertexBuffer = ZK_Graphics_LockVertexBuffer;
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
    api->ZK_Graphics_RefreshBitmap = ZK_Graphics_RefreshBitmap;
    api->ZK_Graphics_RefreshFont = ZK_Graphics_RefreshFont;
    api->ZK_Graphics_ReleaseBitmap = ZK_Graphics_ReleaseBitmap;
    api->ZK_Graphics_ReleaseFont = ZK_Graphics_ReleaseFont;
    api->ZK_Graphics_ReloadShader = ZK_Graphics_ReloadShader;
    api->ZK_Graphics_RemoveBitmapHandle = ZK_Graphics_RemoveBitmapHandle;
    api->ZK_Graphics_ResizeBitmap = ZK_Graphics_ResizeBitmap;
    api->ZK_Graphics_SaveBitmap = ZK_Graphics_SaveBitmap;
    api->ZK_Graphics_SaveFont = ZK_Graphics_SaveFont;
    api->ZK_Graphics_SetAlpha = ZK_Graphics_SetAlpha;
    api->ZK_Graphics_SetBitmapCacheMode = ZK_Graphics_SetBitmapCacheMode;
    api->ZK_Graphics_SetBitmapFrame = ZK_Graphics_SetBitmapFrame;
    api->ZK_Graphics_SetBlend = ZK_Graphics_SetBlend;
    api->ZK_Graphics_SetDepthDefault = ZK_Graphics_SetDepthDefault;
    api->ZK_Graphics_SetDepthRange = ZK_Graphics_SetDepthRange;
    api->ZK_Graphics_SetFontShader = ZK_Graphics_SetFontShader;
    api->ZK_Graphics_SetPixelFilter = ZK_Graphics_SetPixelFilter;
    api->ZK_Graphics_SetPresentInterval = ZK_Graphics_SetPresentInterval;
    api->ZK_Graphics_SetRenderStateb = ZK_Graphics_SetRenderStateb;
    api->ZK_Graphics_SetRenderStatef = ZK_Graphics_SetRenderStatef;
    api->ZK_Graphics_SetRenderStatei = ZK_Graphics_SetRenderStatei;
    api->ZK_Graphics_SetRenderTargetVirtualRect = ZK_Graphics_SetRenderTargetVirtualRect;
    api->ZK_Graphics_SetScissorRect = ZK_Graphics_SetScissorRect;
    api->ZK_Graphics_SetShader = ZK_Graphics_SetShader;
    api->ZK_Graphics_SetShaderPixelConstant = ZK_Graphics_SetShaderPixelConstant;
    api->ZK_Graphics_SetShaderVertexConstant = ZK_Graphics_SetShaderVertexConstant;
    api->ZK_Graphics_SetTextureAddressMode = ZK_Graphics_SetTextureAddressMode;
    api->ZK_Graphics_SetTextureFilter = ZK_Graphics_SetTextureFilter;
    api->ZK_Graphics_SetTextAlign = ZK_Graphics_SetTextAlign;
    api->ZK_Graphics_SetTextHorizontalSpacing = ZK_Graphics_SetTextHorizontalSpacing;
    api->ZK_Graphics_SetTextboxWidth = ZK_Graphics_SetTextboxWidth;
    api->ZK_Graphics_SetTextTransform = ZK_Graphics_SetTextTransform;
    api->ZK_Graphics_SetTextVerticalSpacing = ZK_Graphics_SetTextVerticalSpacing;
    api->ZK_Graphics_FontHasGlyphsToDrawText = ZK_Graphics_FontHasGlyphsToDrawText;
    api->ZK_Graphics_SetTextureInput = ZK_Graphics_SetTextureInput;
    api->ZK_Graphics_ShaderTagExists = ZK_Graphics_ShaderTagExists;
    api->ZK_Graphics_UnlockIndexBuffer = ZK_Graphics_UnlockIndexBuffer;
    api->ZK_Graphics_UnlockVertexBuffer = ZK_Graphics_UnlockVertexBuffer;
}

void ZK_DrawQuad(zk_vertex_format_t /*format*/, void* /*four_vertices*/) {}

void ZKI_FillExtensionInterface(zk_extension_api_t* api) {
    api->ZK_DrawQuad = ZK_DrawQuad;
}
void ZK_Graphics_SetColor_RGBA(const float& /*r*/, const float& /*g*/, const float& /*b*/) {}
void ZK_Graphics_SetColorWithAlpha_RGBA(const float& /*r*/, const float& /*g*/, const float& /*b*/, const float& /*a*/) {}
void ZK_Graphics_SetColor_BGRA(const float& /*r*/, const float& /*g*/, const float& /*b*/) {}
void ZK_Graphics_SetColorWithAlpha_BGRA(const float& /*r*/, const float& /*g*/, const float& /*b*/, const float& /*a*/) {}

// No renderer exists yet: answer as for "no renderer" (BGRA).
int ZKI_GetRendererVertexColorFormat() { return 1; }

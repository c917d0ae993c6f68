// The null back end.

#include "engine/render/renderer_null.h"

#include "shadertool/frontend/shader_info.h"

bool RendererImplementationNull::IsSupported() { return true; }
int RendererImplementationNull::GetMaximumTextureSize() { return 2048; }
const char* RendererImplementationNull::GetName() { return "Null"; }
bool RendererImplementationNull::IsResolutionSupported(int, int) { return true; }
int RendererImplementationNull::GetTextureFormat() { return 0; }
bool RendererImplementationNull::Initialize(zekar_t*, zk_state_t*, zk_parms_t*) { return true; }
void RendererImplementationNull::Shutdown() {}
void RendererImplementationNull::ActivateWindow(bool) {}
bool RendererImplementationNull::SetRenderTargets(zk_graphics_api_t::RenderTargets*) { return true; }
bool RendererImplementationNull::CopyRenderTargetToBitmapPixels(zk_bitmap_t*) { return true; }
bool RendererImplementationNull::CreateRenderTarget(zk_bitmap_t*) { return true; }
bool RendererImplementationNull::LoadBitmap(zk_bitmap_t*) { return true; }
void RendererImplementationNull::FreeBitmap(zk_bitmap_t::hw_data_t*) {}
int RendererImplementationNull::GetShaderTarget() { return ShaderTool::HLSL11; }
bool RendererImplementationNull::UsesBinaryShaders() { return false; }
void RendererImplementationNull::FrameStart(zk_eye_mode_t) {}
void RendererImplementationNull::FrameReady() {}
void RendererImplementationNull::ClearScreen(float, float, float, float) {}
bool RendererImplementationNull::SetScissorRect(int, int, int, int) { return true; }
void RendererImplementationNull::DisableScissorRect() {}
void RendererImplementationNull::SetBlend(zk_blend_mode_t) {}
void RendererImplementationNull::SetTextureFilter(int, zk_filter_t, zk_filter_t, zk_filter_t) {}
void RendererImplementationNull::SetTextureAddressMode(int, zk_address_mode_t, zk_address_mode_t,
                                                       zk_address_mode_t) {}
void RendererImplementationNull::SetDepthTest(bool) {}
void RendererImplementationNull::SetDepthTestFunction(zk_test_function_t) {}
void RendererImplementationNull::SetDepthWrite(bool) {}
void RendererImplementationNull::SetColorWrite(bool) {}
void RendererImplementationNull::SetCullMode(int) {}
void RendererImplementationNull::SetTexture(int, void*) {}
void RendererImplementationNull::DrawTriangles(zk_vertex_t*, int, uint16_t*, int) {}

RendererImplementation* GetRendImpNull() {
    static RendererImplementationNull renderer;
    return &renderer;
}

RendererImplementation* ZKID_LoadRendImp() { return GetRendImpNull(); }

// The null back end ("Null"): accepts every request and draws nothing, so
// the engine runs headless. Its vertex colours are B,G,R,A and its pixels
// R,G,B,A; it lists no resolutions and accepts every size.
#pragma once

#include "engine/render/renderer_implementation.h"

class RendererImplementationNull : public RendererImplementation {
public:
    bool IsSupported() override;
    int GetMaximumTextureSize() override;
    const char* GetName() override;
    bool IsResolutionSupported(int width, int height) override;
    int GetTextureFormat() override;
    bool Initialize(zekar_t* table, zk_state_t* state, zk_parms_t* parms) override;
    void Shutdown() override;
    void ActivateWindow(bool active) override;
    bool SetRenderTargets(zk_graphics_api_t::RenderTargets* targets) override;
    bool CopyRenderTargetToBitmapPixels(zk_bitmap_t* bitmap) override;
    bool CreateRenderTarget(zk_bitmap_t* bitmap) override;
    bool LoadBitmap(zk_bitmap_t* bitmap) override;
    void FreeBitmap(zk_bitmap_t::hw_data_t* hw) override;
    int GetShaderTarget() override;
    bool UsesBinaryShaders() override;
    void FrameStart(zk_eye_mode_t eye) override;
    void FrameReady() override;
    void ClearScreen(float r, float g, float b, float a) override;
    bool SetScissorRect(int x, int y, int width, int height) override;
    void DisableScissorRect() override;
    void SetBlend(zk_blend_mode_t mode) override;
    void SetTextureFilter(int stage, zk_filter_t mag, zk_filter_t min, zk_filter_t mip) override;
    void SetTextureAddressMode(int stage, zk_address_mode_t u, zk_address_mode_t v, zk_address_mode_t w) override;
    void SetDepthTest(bool enabled) override;
    void SetDepthTestFunction(zk_test_function_t function) override;
    void SetDepthWrite(bool enabled) override;
    void SetColorWrite(bool enabled) override;
    void SetCullMode(int mode) override;
    void SetTexture(int stage, void* texture) override;
    // Only here; nothing in the engine calls it.
    virtual void DrawTriangles(zk_vertex_t* vertices, int vertex_count, uint16_t* indices, int index_count);
};

// The one null back end, made on first use (thread-safe) and destroyed at
// exit.
RendererImplementation* GetRendImpNull();
// The platform's renderer factory: here always the null back end.
RendererImplementation* ZKID_LoadRendImp();

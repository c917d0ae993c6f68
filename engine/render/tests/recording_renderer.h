// A renderer back end for tests: it records every virtual call with its
// arguments, in order, and answers what the test chooses.
//
//   RecordingRenderer renderer;            // set its answers first
//   renderer.thread_safe_features = 2;
//   renderer.Install();                    // current renderer (ri), ready flag untouched
//   ...
//   renderer.Calls()                       // {"Initialize 800x600 fullscreen", "FrameStart 0", ...}
//   renderer.Count("LockVertexBuffer")     // calls of one operation
//   renderer.Uninstall();                  // or let the destructor do it
//
// Each record is the operation's name followed by its arguments, blank-
// separated: numbers as printf "%d" / "%g", bools as 0/1, strings as given
// ("null" for none), bitmaps and shaders by name ("null" for none),
// other pointers as Pointer(p); Initialize records the parameters it is
// given ("Initialize 800x600 windowed"); FreeBitmap records the texture
// object it is given ("FreeBitmap <texture>"). Buffer operations, resolution lists and
// SetRenderTargetVirtualRect run the base behaviour after recording (the
// software buffers hold real bytes); DrawIndexedTrianglesInstanced too (its
// error popup). Calls may come from any thread.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "engine/render/renderer_implementation.h"

class RecordingRenderer : public RendererImplementation {
public:
    // --- Answers -------------------------------------------------------------
    std::string name = "Recording";
    bool supported = true;
    int thread_safe_features = 0;        // ZK_RENDERER_THREAD_SAFE_* bits
    int maximum_texture_size = 2048;
    bool ready_to_render = true;
    int features = 0;
    int texture_format = 0;
    int vertex_color_format = 1;
    bool non_power_of_two_textures = false;
    int shader_level = 0;
    int shader_target = 32;              // a ShaderTool::ShaderTarget bit
    bool uses_binary_shaders = false;
    bool attempt_reinitialize_result = false;
    bool texture_format_supported = true;
    bool bitmap_operations_succeed = true;  // render targets, bitmaps, copies, scissor, shaders
    // Initialize answers these first, in order, then initialize_result.
    std::deque<bool> initialize_results;
    bool initialize_result = true;
    // False: Create*Buffer answers null.
    bool create_buffers = true;
    // What UpdateSupportedResolutions puts in the list.
    std::vector<Resolution> resolutions;
    // True: LoadBitmap and CreateRenderTarget, when they succeed, give the
    // bitmap a texture object of its own (hw_data.renderer_data, a token
    // never dereferenced or reused) and FreeBitmap takes it back;
    // LiveTextures() counts those made and not freed.
    bool make_textures = false;
    // Runs after each record, with it (outside the record lock).
    std::function<void(const std::string& call)> on_call;

    RecordingRenderer() = default;
    ~RecordingRenderer() override;

    // Makes this renderer current (ri, zk_state.rend_imp); Uninstall
    // clears both when it is still current.
    void Install();
    void Uninstall();

    std::vector<std::string> Calls() const;
    // Calls whose operation name is `operation`.
    int Count(const std::string& operation) const;
    // The records of one operation, in order.
    std::vector<std::string> CallsOf(const std::string& operation) const;
    void ClearCalls();
    int LiveTextures() const;

    // What LoadShader was given, for every load it accepted (a refused load
    // keeps nothing). The shader's renderer object points at its entry, so
    // a reload gives the record a new object; FreeShader marks it freed.
    struct LoadedShader {
        std::string name;
        std::string vertex;  // the stage's bytes as handed over (a text keeps its NUL)
        std::string pixel;
        bool freed;
    };
    // The entry the shader's renderer object is, or null.
    const LoadedShader* LoadedShaderOf(const zk_shader_t* shader) const;
    std::vector<LoadedShader> LoadedShaders() const;

    static std::string Pointer(const void* p);

    // --- Every operation --------------------------------------------------------
    bool IsSupported() override;
    int GetThreadSafeFeatures() override;
    int GetMaximumTextureSize() override;
    bool IsReadyToRender() override;
    int GetFeatures() override;
    const char* GetName() override;
    bool IsResolutionSupported(int width, int height) override;
    const char* GetListOfSupportedResolutions() override;
    int GetTextureFormat() override;
    int GetVertexColorFormat() override;
    bool IsNonPowerOfTwoTexturesSupported() override;
    bool Initialize(zekar_t* table, zk_state_t* state, zk_parms_t* parms) override;
    void InitializeBuiltInShaders() override;
    bool AttemptReinitialize(int width, int height, bool windowed) override;
    void Shutdown() override;
    void SetViewport(int x, int y, int width, int height, float min_depth, float max_depth) override;
    void ActivateWindow(bool active) override;
    bool SetRenderTargets(zk_graphics_api_t::RenderTargets* targets) override;
    bool CopyRenderTargetToBitmapPixels(zk_bitmap_t* bitmap) override;
    bool IsTextureFormatSupported(const zk_bitmap_parameters_t& parameters) override;
    bool CreateRenderTarget(zk_bitmap_t* bitmap) override;
    bool LoadBitmap(zk_bitmap_t* bitmap) override;
    void FreeBitmap(zk_bitmap_t::hw_data_t* hw) override;
    int GetShaderLevel() override;
    int GetShaderTarget() override;
    bool UsesBinaryShaders() override;
    bool LoadShader(zk_shader_t* shader, const ShaderTool::ShaderInfo& info,
                    const ShaderTool::ShaderCode& code) override;
    void FreeShader(zk_shader_t* shader) override;
    void SetShader(zk_shader_t* shader) override;
    bool IsShaderSupported(zk_shader_t* shader) override;
    void FrameStart(zk_eye_mode_t eye) override;
    void DrawAtStartOfFrame() override;
    void DrawAtEndOfFrame() override;
    void FrameReady() override;
    void ClearScreen(float r, float g, float b, float a) override;
    void ClearDepth(float depth) override;
    bool SetScissorRect(int x, int y, int width, int height) override;
    void DisableScissorRect() override;
    void SetBlend(zk_blend_mode_t mode) override;
    void SetTextureFilter(int stage, zk_filter_t mag, zk_filter_t min, zk_filter_t mip) override;
    void SetTextureAddressMode(int stage, zk_address_mode_t u, zk_address_mode_t v, zk_address_mode_t w) override;
    const char* CallExtension(const char* name, const char* arguments) override;
    void Activate() override;
    void Deactivate() override;
    void SetDepthTest(bool enabled) override;
    void SetDepthTestFunction(zk_test_function_t function) override;
    void SetDepthWrite(bool enabled) override;
    void SetColorWrite(bool enabled) override;
    void SetCullMode(int mode) override;
    void SetTexture(int stage, void* texture) override;
    void DrawIndexedTriangles(VertexBuffer* vertices, int vertex_count, IndexBuffer* indices,
                              int index_count) override;
    void DrawIndexedLines(VertexBuffer* vertices, IndexBuffer* indices, int index_count) override;
    void DrawIndexedTrianglesInstanced(VertexBuffer* vertices, int vertex_count, IndexBuffer* indices,
                                       int index_count, int instance_count) override;
    VertexBuffer* CreateVertexBuffer(zk_vertex_format_t format, unsigned int count,
                                     zk_buffer_usage_t usage) override;
    void FreeVertexBuffer(VertexBuffer* buffer) override;
    void* LockVertexBuffer(VertexBuffer* buffer) override;
    void UnlockVertexBuffer(VertexBuffer* buffer) override;
    void UpdateVertexBufferWithData(VertexBuffer* buffer, const void* data) override;
    IndexBuffer* CreateIndexBuffer(unsigned int count, zk_buffer_usage_t usage) override;
    void FreeIndexBuffer(IndexBuffer* buffer) override;
    uint16_t* LockIndexBuffer(IndexBuffer* buffer) override;
    void UnlockIndexBuffer(IndexBuffer* buffer) override;
    void UpdateIndexBufferWithData(IndexBuffer* buffer, const uint16_t* data) override;
    vec2_t GetPixelRenderingOffset() override;
    void SetRenderTargetVirtualRect(zk_bitmap_t* bitmap, int x, int y, int width, int height) override;
    void SetPresentInterval(int interval) override;
    void UpdateSupportedResolutions() override;

private:
    void Record(const std::string& call);

    void MakeTexture(zk_bitmap_t* bitmap);

    mutable std::mutex mutex_;
    std::set<const void*> live_textures_;
    uintptr_t next_texture_ = 0;
    std::vector<std::string> calls_;
    std::deque<LoadedShader> loaded_shaders_;  // entries never move
};

// The renderer back end: the one interface through which the engine reaches
// the graphics hardware. Exactly one back end is current at a time (`ri`,
// engine/runtime/state.h, and zk_state.rend_imp hold the same pointer).
//
// The order of the virtual operations below is binding: a back end built
// elsewhere calls them by slot, so never insert, remove or reorder one.
// Pure operations must be supplied by every back end; the others have the
// base behaviour written beside them (renderer_implementation.cpp).
#pragma once

#include <cstdint>

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "engine/base/types.h"
#include "engine/runtime/media_records.h"
#include "engine/runtime/state.h"
#include "engine/runtime/zekar.h"

namespace ShaderTool {
struct ShaderInfo;
struct ShaderCode;
}  // namespace ShaderTool

typedef int zk_eye_mode_t;       // 0 mono, 1 first eye, 2 second eye
typedef int zk_test_function_t;  // depth comparison

// The base class's software buffers; a real back end has its own.
struct VertexBuffer {
    int32_t format;
    int32_t count;
    uint8_t locked;
    int32_t created;  // 1 from creation on; nothing reads it
    void* data;       // stride x count bytes
    int32_t reserved;
};

struct IndexBuffer {
    int32_t count;
    uint8_t locked;
    int32_t reserved;
    uint16_t* data;   // 2 x count bytes
};

// Bits of GetThreadSafeFeatures: work a back end accepts from any thread.
// With a bit clear, such work from another thread is queued for the
// renderer (main) thread.
enum {
    ZK_RENDERER_THREAD_SAFE_BITMAPS = 1,       // bitmaps and font pages
    ZK_RENDERER_THREAD_SAFE_BUFFER_FREES = 2,  // freeing vertex and index buffers
    ZK_RENDERER_THREAD_SAFE_SHADERS = 4,       // loading shaders
};

// Bytes per vertex of a vertex format, from the fixed table of formats; 24
// for a format not in it.
int ZKI_GetVertexFormatStride(zk_vertex_format_t format);

// -1 when a comes first, 1 when b comes first, 0 when they are equal. The
// order is by width, then by height; ascending puts the smaller first.
int CompareResolutions(const zk_resolution_t& a, const zk_resolution_t& b, bool ascending);
// The same for qsort over zk_resolution_t.
int ZKI_CompareResolutionsAscending(const void* a, const void* b);
int ZKI_CompareResolutionsDescending(const void* a, const void* b);

class RendererImplementation {
public:
    typedef zk_resolution_t Resolution;

    RendererImplementation() = default;
    RendererImplementation(const RendererImplementation&) = delete;
    RendererImplementation& operator=(const RendererImplementation&) = delete;

    virtual ~RendererImplementation();
    virtual bool IsSupported() = 0;
    virtual int GetThreadSafeFeatures();                        // 0
    virtual int GetMaximumTextureSize() = 0;
    virtual bool IsReadyToRender();                             // true
    virtual int GetFeatures();                                  // 0
    virtual const char* GetName() = 0;
    // Refreshes the list and looks for exactly width x height.
    virtual bool IsResolutionSupported(int width, int height);
    // Refreshes the list, sorts it ascending and returns its text ("WxH"
    // pairs joined by ","), or null for an empty list. The text belongs to
    // the renderer and is rebuilt by the next call.
    virtual const char* GetListOfSupportedResolutions();
    // 0: R,G,B,A in memory order; 1: B,G,R,A.
    virtual int GetTextureFormat() = 0;
    // 0: packed vertex colours are R,G,B,A in memory order; any other
    // value: B,G,R,A.
    virtual int GetVertexColorFormat();                         // 1
    virtual bool IsNonPowerOfTwoTexturesSupported();            // false
    virtual bool Initialize(zekar_t* table, zk_state_t* state, zk_parms_t* parms) = 0;
    virtual void InitializeBuiltInShaders();                    // nothing
    virtual bool AttemptReinitialize(int width, int height, bool windowed);  // false
    virtual void Shutdown() = 0;
    virtual void SetViewport(int x, int y, int width, int height, float min_depth, float max_depth);
    virtual void ActivateWindow(bool active) = 0;
    virtual bool SetRenderTargets(zk_graphics_api_t::RenderTargets* targets) = 0;
    virtual bool CopyRenderTargetToBitmapPixels(zk_bitmap_t* bitmap);           // false
    virtual bool IsTextureFormatSupported(const zk_bitmap_parameters_t& parameters);  // false
    virtual bool CreateRenderTarget(zk_bitmap_t* bitmap) = 0;
    virtual bool LoadBitmap(zk_bitmap_t* bitmap) = 0;
    virtual void FreeBitmap(zk_bitmap_t::hw_data_t* hw) = 0;
    virtual int GetShaderLevel();                               // 0
    virtual int GetShaderTarget();                              // 0; a ShaderTool::ShaderTarget bit
    virtual bool UsesBinaryShaders() = 0;
    virtual bool LoadShader(zk_shader_t* shader, const ShaderTool::ShaderInfo& info,
                            const ShaderTool::ShaderCode& code);  // true
    virtual void FreeShader(zk_shader_t* shader);               // nothing
    virtual void SetShader(zk_shader_t* shader);                // nothing
    virtual bool IsShaderSupported(zk_shader_t* shader);        // true
    virtual void FrameStart(zk_eye_mode_t eye) = 0;
    virtual void DrawAtStartOfFrame();                          // nothing
    virtual void DrawAtEndOfFrame();                            // nothing
    virtual void FrameReady() = 0;
    virtual void ClearScreen(float r, float g, float b, float a) = 0;
    virtual void ClearDepth(float depth);                       // nothing
    virtual bool SetScissorRect(int x, int y, int width, int height) = 0;
    virtual void DisableScissorRect() = 0;
    virtual void SetBlend(zk_blend_mode_t mode) = 0;
    virtual void SetTextureFilter(int stage, zk_filter_t mag, zk_filter_t min, zk_filter_t mip) = 0;
    virtual void SetTextureAddressMode(int stage, zk_address_mode_t u, zk_address_mode_t v,
                                       zk_address_mode_t w) = 0;
    // The renderer's own extension names; null for a name it does not handle.
    virtual const char* CallExtension(const char* name, const char* arguments);
    virtual void Activate();                                    // nothing
    virtual void Deactivate();                                  // nothing
    virtual void SetDepthTest(bool enabled) = 0;
    virtual void SetDepthTestFunction(zk_test_function_t function) = 0;
    virtual void SetDepthWrite(bool enabled) = 0;
    virtual void SetColorWrite(bool enabled) = 0;
    virtual void SetCullMode(int mode) = 0;
    // texture: a bitmap's hw_data.renderer_data, or null for none.
    virtual void SetTexture(int stage, void* texture) = 0;
    virtual void DrawIndexedTriangles(VertexBuffer* vertices, int vertex_count, IndexBuffer* indices,
                                      int index_count);         // nothing
    virtual void DrawIndexedLines(VertexBuffer* vertices, IndexBuffer* indices, int index_count);  // nothing
    // The base reports that it cannot draw instanced and draws nothing.
    virtual void DrawIndexedTrianglesInstanced(VertexBuffer* vertices, int vertex_count, IndexBuffer* indices,
                                               int index_count, int instance_count);
    // Software buffers: Create allocates (null when it cannot), Lock marks
    // the buffer locked and returns its bytes, Unlock clears the mark,
    // UpdateWithData copies a whole buffer's bytes in through Lock/Unlock.
    virtual VertexBuffer* CreateVertexBuffer(zk_vertex_format_t format, unsigned int count,
                                             zk_buffer_usage_t usage);
    virtual void FreeVertexBuffer(VertexBuffer* buffer);
    virtual void* LockVertexBuffer(VertexBuffer* buffer);
    virtual void UnlockVertexBuffer(VertexBuffer* buffer);
    virtual void UpdateVertexBufferWithData(VertexBuffer* buffer, const void* data);
    virtual IndexBuffer* CreateIndexBuffer(unsigned int count, zk_buffer_usage_t usage);
    virtual void FreeIndexBuffer(IndexBuffer* buffer);
    virtual uint16_t* LockIndexBuffer(IndexBuffer* buffer);
    virtual void UnlockIndexBuffer(IndexBuffer* buffer);
    virtual void UpdateIndexBufferWithData(IndexBuffer* buffer, const uint16_t* data);
    virtual vec2_t GetPixelRenderingOffset();                   // (0, 0)
    // The bitmap's UV rectangle becomes the pixel rectangle x, y, width,
    // height over its texture size.
    virtual void SetRenderTargetVirtualRect(zk_bitmap_t* bitmap, int x, int y, int width, int height);
    virtual void SetPresentInterval(int interval);              // nothing
    // Refills supported_resolutions; the base leaves it as it is.
    virtual void UpdateSupportedResolutions();

    // Sorts supported_resolutions ascending (width, then height) and
    // rebuilds their text; null when the list is empty.
    const char* SortResolutionsAndCreateResolutionsString();
    // Refreshes supported_resolutions and returns it (its count is the
    // list's length).
    const nArray<Resolution>& GetArrayOfSupportedResolutions();
    // The number of mip levels for a texture of width x height: 1 when 1 is
    // asked for; otherwise 2, plus one for each halving while both sides
    // are at least 34; a request above 1 caps that count, 0 (or below)
    // asks for all of them.
    static int GetMipLevelCount(int width, int height, int requested);

    // Built-in shaders (builtin_shaders.cpp). GetShaderInfoCode appends the
    // code of both stages for this renderer's target and level: the texts
    // (each with a NUL) for a source target, the code records' bytes for
    // HLSL11 and PSSL; false, with nothing appended, when a stage has none.
    bool GetShaderInfoCode(const char* const* sources, const unsigned char* const* binaries,
                           ShaderTool::ShaderCode& code);
    // Each loads its shader under its engine name ("internal_default", ...)
    // and returns the record (an existing one as it is), or null when this
    // renderer's target and level have no code for it.
    zk_shader_t* LoadDefaultShader();
    zk_shader_t* LoadDistanceFieldShader();
    zk_shader_t* LoadClearShader();
    zk_shader_t* LoadCubeMapShader();
    zk_shader_t* LoadHdrShader();
    zk_shader_t* LoadMipShader();

    nArray<Resolution> supported_resolutions;
    nString supported_resolutions_text;
};

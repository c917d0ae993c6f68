// The batch renderer: all 2D drawing of the engine (bitmaps, rectangles,
// lines, glyphs) is gathered here into a ring of renderer vertex buffers and
// drawn a whole batch at a time with one indexed call.
//
// It also holds the part of the graphics state that is applied lazily:
// blend, the per-stage address modes and filters (wanted, applied, and the
// current shader's overrides), the texture bound to each stage and the
// current shader. A change of those only clears the states-applied flag;
// the next draw flushes what is pending and hands the renderer what
// differs. Renderer (main) thread only.
//
// Life: constructed zeroed (triangle mode) before the program starts;
// Initialize at renderer start creates the buffers and locks the first ring
// buffer as the write pointer; each frame pass calls BeginPass (default
// states, and a locked ring buffer again after the previous frame handed
// its one back) and the frame ends with FrameReady; Free at renderer
// shutdown releases everything.
#pragma once

#include <cstdint>

#include "engine/render/renderer_implementation.h"
#include "engine/drawing/vertex_buffers.h"

enum {
    ZK_TEXTURE_STAGES = 8,
    ZK_BATCH_RING_BUFFERS = 16,
    ZK_BATCH_RING_VERTICES = 384,          // 96 quads or 192 lines per draw
    ZK_BATCH_QUAD_INDICES = 576,           // six per quad
    ZK_BATCH_TRIANGLE_LIST_ENTRIES = 16384,
    ZK_BATCH_FORMAT_BUFFERS = 4,           // vertex formats 1, 15, 47, 111
};

// Primitive modes.
enum { ZK_BATCH_LINES = 0, ZK_BATCH_TRIANGLES = 1 };

class BatchRenderer {
public:
    // --- Drawing ---------------------------------------------------------------
    // Draws what is pending, then moves on to the next ring buffer.
    void Flush();
    // Four vertices in quad order (top-left, top-right, lower-left,
    // lower-right), textured with the bitmap (the empty texture for null).
    void DrawQuad(const zk_bitmap_t* bitmap, const zk_vertex_t* four);
    void DrawLine(const zk_vertex_t* a, const zk_vertex_t* b);
    // An indexed triangle list of at most 16384 vertices and indices, drawn
    // at once; bad counts are refused with a warning.
    void DrawTriangles(const zk_bitmap_t* bitmap, const zk_vertex_t* vertices, int vertex_count,
                       const uint16_t* indices, int index_count);
    // One quad in vertex format 1, 15, 47 or 111 (any other draws nothing),
    // with the current shader's textures.
    void DrawQuadWithVertexFormat(zk_vertex_format_t format, const void* four_vertices);
    // count indices of the program's index buffer from start on (clipped to
    // the buffer), as count / 3 triangles.
    void DrawVertexBufferWithIndexBufferSubset(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices,
                                               unsigned start, unsigned count);
    void DrawVertexBufferWithIndexBufferSubsetInstanced(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices,
                                                        unsigned start, unsigned count, unsigned instances);

    // --- Lazily applied state ---------------------------------------------------
    // The wanted blend, address modes and filters for stages 0-7 (callers
    // check the stage); each clears the states-applied flag on a change.
    void SetWantedBlend(zk_blend_mode_t mode);
    void SetWantedAddressModes(int stage, zk_address_mode_t u, zk_address_mode_t v, zk_address_mode_t w);
    void SetWantedFilters(int stage, zk_filter_t first, zk_filter_t second, zk_filter_t third);
    // Binds the bitmap's texture object (null: none) to a stage, flushing
    // first when it changes.
    void BindStage(int stage, const zk_bitmap_t* bitmap);
    // A texture is about to be freed: what is pending is drawn first, and
    // every stage still bound to it is bound to nothing.
    void FreeTexture(zk_bitmap_t::hw_data_t* hw);
    // The default white bitmap while the default shader is current, else
    // null.
    const zk_bitmap_t* EmptyTexture() const;
    void SetNextTextureAddressModes();
    void SetNextTextureFilterModes();
    // The current shader's texture entries: their bitmaps are bound and
    // their address and filter triples become the stages' overrides.
    void SetOverrideTexturesAndTextureModes();
    // Makes the shader current and applies its texture inputs (bitmaps,
    // address modes, filters) to the stages. A reloaded shader comes again
    // as the same record with a new renderer object: it reaches the
    // renderer anew at the next draw. The caller flushes first.
    void SetCurrentShader(zk_shader_t* shader);
    // Blend 1, clamp and linear on every stage, no overrides, every stage
    // bound to the empty texture; applied at the next draw.
    void SetDefaultRenderStates();

    // --- Render targets ------------------------------------------------------------
    // A stage bound to one of the new colour targets goes back to the empty
    // texture.
    void CheckRenderTargetsToBeSet(const zk_graphics_api_t::RenderTargets* targets);
    // Warns when the bitmap is one of the current colour targets.
    void CheckBitmapToBeSet(int stage, const zk_bitmap_t* bitmap);

    // --- Life ------------------------------------------------------------------------
    // The renderer start's part: default states, shaders, the white bitmap
    // and the buffers.
    void Initialize();
    void InitializeDefaultBitmap();
    void InitializeBuffers();
    void UnlockBuffers();
    void FreeBuffers();
    // Renderer shutdown: the white bitmap, the default shader, the buffers.
    void Free();
    // Start of a frame pass: in-frame, default states, a write pointer.
    void BeginPass();
    // End of a frame: flush and hand the ring buffer back to the renderer.
    void FrameReady();

    // --- Fields ----------------------------------------------------------------------
    int32_t primitive_mode = ZK_BATCH_TRIANGLES;
    int32_t applied_blend = 0;
    int32_t applied_address_modes[ZK_TEXTURE_STAGES][3] = {};
    int32_t applied_filters[ZK_TEXTURE_STAGES][3] = {};
    int32_t wanted_blend = 0;
    int32_t wanted_address_modes[ZK_TEXTURE_STAGES][3] = {};
    int32_t wanted_filters[ZK_TEXTURE_STAGES][3] = {};
    uint8_t states_applied = 0;
    const zk_bitmap_t* bound_bitmaps[ZK_TEXTURE_STAGES] = {};
    void* bound_textures[ZK_TEXTURE_STAGES] = {};
    int32_t override_address_modes[ZK_TEXTURE_STAGES][3] = {};
    int32_t override_filters[ZK_TEXTURE_STAGES][3] = {};
    VertexBuffer* format_quad_buffers[ZK_BATCH_FORMAT_BUFFERS] = {};
    VertexBuffer* ring[ZK_BATCH_RING_BUFFERS] = {};
    IndexBuffer* quad_indices = nullptr;
    IndexBuffer* line_indices = nullptr;
    IndexBuffer* triangle_indices[2] = {};
    VertexBuffer* triangle_vertices[2] = {};
    int32_t triangle_pair = 0;
    int32_t pending_vertices = 0;
    int32_t ring_index = 0;
    zk_vertex_t* write_pointer = nullptr;  // the locked current ring buffer, or null
    zk_shader_t* font_shader = nullptr;
    zk_shader_t* current_shader = nullptr;
    zk_shader_t* applied_shader = nullptr;
    zk_shader_t* default_shader = nullptr;
    zk_shader_t* distance_field_shader = nullptr;
    zk_bitmap_t* default_bitmap = nullptr;  // "WHITE_TEXTURE"
    // Renderer locks of buffers: [0] usage 0, [1] any other usage. Nothing
    // reads them.
    int32_t lock_counts[2] = {};
    // Set by the frame around each pass; nothing reads it.
    uint8_t in_frame = 0;
    // Holds the indices of a subset draw that does not start at index 0,
    // since the renderer's indexed draw always starts at the first index.
    IndexBuffer* subset_indices = nullptr;
    uint32_t subset_capacity = 0;

private:
    void ApplyStatesIfNeeded();
    void SwitchTo(int mode);
    void ApplyCurrentShader();
    void LockNextRingBuffer();
    void* LockVertices(VertexBuffer* buffer);
    uint16_t* LockIndices(IndexBuffer* buffer, zk_buffer_usage_t usage);
    IndexBuffer* IndicesFrom(zk_index_buffer_t* handle, unsigned start, unsigned* count);
    void DrawProgramBuffers(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices, unsigned start, unsigned count,
                            bool instanced, unsigned instances);
};

extern BatchRenderer zk_batch_renderer;

// Counts one renderer lock of a buffer of that usage.
void ZKI_CountBufferLock(zk_buffer_usage_t usage);

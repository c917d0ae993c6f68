// The batch renderer: the ring of vertex buffers, quads, lines, triangle
// lists, quads in other vertex formats, program buffers, and the lazily
// applied state.

#include "engine/drawing/batch_renderer.h"

#include <cstring>

#include "engine/drawing/shader_constants.h"
#include "engine/images/bitmap_pool.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/runtime/state.h"

BatchRenderer zk_batch_renderer;

void ZKI_CountBufferLock(zk_buffer_usage_t usage) { ++zk_batch_renderer.lock_counts[usage == 0 ? 0 : 1]; }

namespace {

const zk_vertex_format_t kFormatBufferFormats[ZK_BATCH_FORMAT_BUFFERS] = {1, 15, 47, 111};
const zk_vertex_format_t kBatchVertexFormat = 7;  // zk_vertex_t
const zk_buffer_usage_t kFixedUsage = 0;
const zk_buffer_usage_t kDynamicUsage = 1;
const uint8_t kShaderLoaded = 2;
const char* const kWhiteTextureName = "WHITE_TEXTURE";
const int kWhiteTextureSide = 16;

bool SameTriple(const int32_t a[3], const int32_t b[3]) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }
bool NoneZero(const int32_t t[3]) { return t[0] != 0 && t[1] != 0 && t[2] != 0; }
void SetTriple(int32_t t[3], int32_t a, int32_t b, int32_t c) {
    t[0] = a;
    t[1] = b;
    t[2] = c;
}

// Each component the override's when it has one, else the wanted one.
void NextTriple(const int32_t wanted[3], const int32_t override_triple[3], int32_t next[3]) {
    for (int k = 0; k < 3; ++k) next[k] = override_triple[k] != 0 ? override_triple[k] : wanted[k];
}

void* TextureOf(const zk_bitmap_t* bitmap) { return bitmap ? bitmap->hw_data.renderer_data : nullptr; }

int FormatBufferSlot(zk_vertex_format_t format) {
    for (int k = 0; k < ZK_BATCH_FORMAT_BUFFERS; ++k) {
        if (kFormatBufferFormats[k] == format) return k;
    }
    return -1;
}

void UnlockIfLocked(VertexBuffer* buffer) {
    if (buffer && buffer->locked) ri->UnlockVertexBuffer(buffer);
}
void UnlockIfLocked(IndexBuffer* buffer) {
    if (buffer && buffer->locked) ri->UnlockIndexBuffer(buffer);
}
void FreeVertices(VertexBuffer*& buffer) {
    if (buffer) {
        UnlockIfLocked(buffer);
        ri->FreeVertexBuffer(buffer);
    }
    buffer = nullptr;
}
void FreeIndices(IndexBuffer*& buffer) {
    if (buffer) {
        UnlockIfLocked(buffer);
        ri->FreeIndexBuffer(buffer);
    }
    buffer = nullptr;
}

}  // namespace

// --- Buffers and the ring --------------------------------------------------------------

void* BatchRenderer::LockVertices(VertexBuffer* buffer) {
    if (!buffer || !ri) return nullptr;
    ZKI_CountBufferLock(kDynamicUsage);
    return ri->LockVertexBuffer(buffer);
}

uint16_t* BatchRenderer::LockIndices(IndexBuffer* buffer, zk_buffer_usage_t usage) {
    if (!buffer || !ri) return nullptr;
    ZKI_CountBufferLock(usage);
    return ri->LockIndexBuffer(buffer);
}

void BatchRenderer::LockNextRingBuffer() {
    ring_index = (ring_index + 1) % ZK_BATCH_RING_BUFFERS;
    write_pointer = static_cast<zk_vertex_t*>(LockVertices(ring[ring_index]));
    pending_vertices = 0;
}

void BatchRenderer::Flush() {
    if (pending_vertices <= 0 || !ri) return;
    VertexBuffer* buffer = ring[ring_index];
    if (buffer && buffer->locked) {
        ri->UnlockVertexBuffer(buffer);
        write_pointer = nullptr;
    }
    ApplyCurrentShader();
    // The last argument is the number of primitives: two triangles per
    // quad, one line per two vertices.
    if (primitive_mode == ZK_BATCH_TRIANGLES)
        ri->DrawIndexedTriangles(buffer, pending_vertices, quad_indices, pending_vertices / 2);
    else
        ri->DrawIndexedLines(buffer, line_indices, pending_vertices / 2);
    LockNextRingBuffer();
}

void BatchRenderer::ApplyCurrentShader() {
    if (current_shader != applied_shader) {
        applied_shader = current_shader;
        if (ri) ri->SetShader(current_shader);
    }
    if (applied_shader && (applied_shader->flags & kShaderLoaded)) ZKI_UpdateShaderConstants(applied_shader);
}

void BatchRenderer::SwitchTo(int mode) {
    if (primitive_mode == mode) return;
    Flush();
    primitive_mode = mode;
}

// --- Lazily applied state -----------------------------------------------------------------

void BatchRenderer::ApplyStatesIfNeeded() {
    if (states_applied) return;
    states_applied = 1;
    Flush();
    if (!ri) return;
    if (wanted_blend != applied_blend) {
        ri->SetBlend(wanted_blend);
        applied_blend = wanted_blend;
    }
    SetNextTextureAddressModes();
    SetNextTextureFilterModes();
}

// Hands the renderer each stage's triple (the override's components where it
// has them, else the wanted ones) that differs from the applied one and
// names every component.
template <class Apply>
static void ApplyTriples(const int32_t wanted[][3], const int32_t overrides[][3], int32_t applied[][3], Apply apply) {
    for (int stage = 0; stage < ZK_TEXTURE_STAGES; ++stage) {
        int32_t next[3];
        NextTriple(wanted[stage], overrides[stage], next);
        if (SameTriple(next, applied[stage]) || !NoneZero(next)) continue;
        apply(stage, next);
        memcpy(applied[stage], next, sizeof(next));
    }
}

void BatchRenderer::SetNextTextureAddressModes() {
    if (!ri) return;
    ApplyTriples(wanted_address_modes, override_address_modes, applied_address_modes,
                 [](int stage, const int32_t* t) { ri->SetTextureAddressMode(stage, t[0], t[1], t[2]); });
}

void BatchRenderer::SetNextTextureFilterModes() {
    if (!ri) return;
    // The renderer takes the first two filters the other way round.
    ApplyTriples(wanted_filters, override_filters, applied_filters,
                 [](int stage, const int32_t* t) { ri->SetTextureFilter(stage, t[1], t[0], t[2]); });
}

void BatchRenderer::SetWantedBlend(zk_blend_mode_t mode) {
    if (mode == wanted_blend) return;
    wanted_blend = mode;
    states_applied = 0;
}

void BatchRenderer::SetWantedAddressModes(int stage, zk_address_mode_t u, zk_address_mode_t v,
                                          zk_address_mode_t w) {
    const int32_t triple[3] = {u, v, w};
    if (SameTriple(triple, wanted_address_modes[stage])) return;
    SetTriple(wanted_address_modes[stage], u, v, w);
    states_applied = 0;
}

void BatchRenderer::SetWantedFilters(int stage, zk_filter_t first, zk_filter_t second, zk_filter_t third) {
    const int32_t triple[3] = {first, second, third};
    if (SameTriple(triple, wanted_filters[stage])) return;
    SetTriple(wanted_filters[stage], first, second, third);
    states_applied = 0;
}

void BatchRenderer::BindStage(int stage, const zk_bitmap_t* bitmap) {
    void* texture = TextureOf(bitmap);
    if (texture == bound_textures[stage]) return;
    Flush();
    bound_bitmaps[stage] = bitmap;
    bound_textures[stage] = texture;
    if (ri) ri->SetTexture(stage, texture);
}

void BatchRenderer::FreeTexture(zk_bitmap_t::hw_data_t* hw) {
    Flush();
    if (!hw || !hw->renderer_data) return;
    for (int stage = 0; stage < ZK_TEXTURE_STAGES; ++stage) {
        if (bound_textures[stage] != hw->renderer_data) continue;
        bound_textures[stage] = nullptr;
        bound_bitmaps[stage] = nullptr;
        if (ri) ri->SetTexture(stage, nullptr);
    }
}

const zk_bitmap_t* BatchRenderer::EmptyTexture() const {
    bool default_shader_current = default_shader && current_shader == default_shader;
    return default_shader_current && default_bitmap ? default_bitmap : nullptr;
}

// Forgetting the applied shader makes the next draw hand the renderer the
// current one, even when it is the same record with a new renderer object.
void BatchRenderer::SetCurrentShader(zk_shader_t* shader) {
    current_shader = shader;
    applied_shader = nullptr;
    SetOverrideTexturesAndTextureModes();
}

void BatchRenderer::SetOverrideTexturesAndTextureModes() {
    const zk_shader_t* shader = current_shader;
    if (!shader) return;
    int entries = shader->num_texture_inputs;
    if (entries > ZK_TEXTURE_STAGES) entries = ZK_TEXTURE_STAGES;
    for (int stage = 0; stage < entries; ++stage) {
        const zk_shader_t::texture_input_t& input = shader->texture_inputs[stage];
        if (input.source) BindStage(stage, input.source);
        const int32_t address[3] = {static_cast<int32_t>(input.address_u), static_cast<int32_t>(input.address_v),
                                     static_cast<int32_t>(input.address_w)};
        if (!SameTriple(address, override_address_modes[stage])) {
            memcpy(override_address_modes[stage], address, sizeof(address));
            states_applied = 0;
        }
        const int32_t filters[3] = {static_cast<int32_t>(input.filter_mag), static_cast<int32_t>(input.filter_min),
                                    static_cast<int32_t>(input.filter_mip)};
        if (!SameTriple(filters, override_filters[stage])) {
            memcpy(override_filters[stage], filters, sizeof(filters));
            states_applied = 0;
        }
    }
}

void BatchRenderer::SetDefaultRenderStates() {
    applied_blend = 0;
    memset(applied_address_modes, 0, sizeof(applied_address_modes));
    memset(applied_filters, 0, sizeof(applied_filters));
    memset(override_address_modes, 0, sizeof(override_address_modes));
    memset(override_filters, 0, sizeof(override_filters));
    for (int stage = 0; stage < ZK_TEXTURE_STAGES; ++stage) {
        SetTriple(wanted_address_modes[stage], 1, 1, 1);  // CLAMP
        SetTriple(wanted_filters[stage], 2, 2, 2);        // LINEAR
    }
    states_applied = 0;
    wanted_blend = 1;
    for (int stage = 0; stage < ZK_TEXTURE_STAGES; ++stage) BindStage(stage, EmptyTexture());
}

// --- Drawing ----------------------------------------------------------------------------------

void BatchRenderer::DrawQuad(const zk_bitmap_t* bitmap, const zk_vertex_t* four) {
    if (!write_pointer || !four) return;
    ApplyStatesIfNeeded();
    SwitchTo(ZK_BATCH_TRIANGLES);
    BindStage(0, bitmap ? bitmap : EmptyTexture());
    // A flush on the way locked the next ring buffer, which a back end may
    // have refused.
    if (!write_pointer) return;
    memcpy(write_pointer + pending_vertices, four, 4 * sizeof(zk_vertex_t));
    pending_vertices += 4;
    if (pending_vertices >= ZK_BATCH_RING_VERTICES) Flush();
}

void BatchRenderer::DrawLine(const zk_vertex_t* a, const zk_vertex_t* b) {
    SwitchTo(ZK_BATCH_LINES);
    BindStage(0, EmptyTexture());
    ApplyStatesIfNeeded();
    if (!write_pointer || !a || !b) return;
    write_pointer[pending_vertices] = *a;
    write_pointer[pending_vertices + 1] = *b;
    pending_vertices += 2;
    if (pending_vertices >= ZK_BATCH_RING_VERTICES) Flush();
}

void BatchRenderer::DrawTriangles(const zk_bitmap_t* bitmap, const zk_vertex_t* vertices, int vertex_count,
                                  const uint16_t* indices, int index_count) {
    Flush();
    ApplyStatesIfNeeded();
    SwitchTo(ZK_BATCH_TRIANGLES);
    BindStage(0, bitmap ? bitmap : EmptyTexture());
    if (vertex_count < 0 || index_count < 0) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "Negative vertex count (%d) or index count (%d) for DrawTriangles call. Not drawing anything "
                      "for this call.",
                      vertex_count, index_count);
        return;
    }
    if (vertex_count > ZK_BATCH_TRIANGLE_LIST_ENTRIES) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "Too many vertices (%d) for DrawTriangles call. Draw using vertex and index buffers instead. "
                      "Maximum is %d. Not drawing anything for this call.",
                      vertex_count, static_cast<int>(ZK_BATCH_TRIANGLE_LIST_ENTRIES));
        return;
    }
    if (index_count > ZK_BATCH_TRIANGLE_LIST_ENTRIES) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "Too many indices (%d) for DrawTriangles call. Draw using vertex and index buffers instead. "
                      "Maximum is %d. Not drawing anything for this call.",
                      index_count, static_cast<int>(ZK_BATCH_TRIANGLE_LIST_ENTRIES));
        return;
    }
    if ((vertex_count > 0 && !vertices) || (index_count > 0 && !indices)) return;
    IndexBuffer* index_buffer = triangle_indices[triangle_pair];
    VertexBuffer* vertex_buffer = triangle_vertices[triangle_pair];
    if (!index_buffer || !vertex_buffer) return;
    uint16_t* index_target = LockIndices(index_buffer, kDynamicUsage);
    if (index_target && index_count > 0) memcpy(index_target, indices, sizeof(uint16_t) * index_count);
    UnlockIfLocked(index_buffer);
    void* vertex_target = LockVertices(vertex_buffer);
    if (vertex_target && vertex_count > 0) memcpy(vertex_target, vertices, sizeof(zk_vertex_t) * vertex_count);
    UnlockIfLocked(vertex_buffer);
    if (!index_target || !vertex_target) return;
    ApplyCurrentShader();
    ri->DrawIndexedTriangles(vertex_buffer, vertex_count, index_buffer, index_count / 3);
    triangle_pair ^= 1;
}

void BatchRenderer::DrawQuadWithVertexFormat(zk_vertex_format_t format, const void* four_vertices) {
    Flush();
    ApplyStatesIfNeeded();
    SwitchTo(ZK_BATCH_TRIANGLES);
    ApplyCurrentShader();
    int slot = FormatBufferSlot(format);
    if (slot < 0 || !four_vertices) return;
    VertexBuffer* buffer = format_quad_buffers[slot];
    void* target = LockVertices(buffer);
    if (!target) return;
    memcpy(target, four_vertices, 4 * static_cast<size_t>(ZKI_GetVertexFormatStride(format)));
    ri->UnlockVertexBuffer(buffer);
    ri->DrawIndexedTriangles(buffer, 4, quad_indices, 2);
}

// The renderer buffer to draw count indices from start on: the program's own
// one from index 0, else the batch's subset buffer holding a copy of them.
// count is clipped to the program's buffer; null draws nothing.
IndexBuffer* BatchRenderer::IndicesFrom(zk_index_buffer_t* handle, unsigned start, unsigned* count) {
    uint64_t available = handle->count;
    if (start >= available || *count == 0) return nullptr;
    if (uint64_t(start) + *count > available) *count = static_cast<unsigned>(available - start);
    if (start == 0) return handle->buffer;
    // Its renderer buffer belongs to the program while it is locked.
    if (handle->flags & ZK_BUFFER_LOCKED) return nullptr;
    if (subset_capacity < *count) {
        FreeIndices(subset_indices);
        subset_indices = ri->CreateIndexBuffer(*count, kDynamicUsage);
        subset_capacity = subset_indices ? *count : 0;
        if (!subset_indices) return nullptr;
    }
    const uint16_t* source = LockIndices(handle->buffer, handle->usage);
    uint16_t* target = LockIndices(subset_indices, kDynamicUsage);
    if (source && target) memcpy(target, source + start, sizeof(uint16_t) * *count);
    UnlockIfLocked(subset_indices);
    UnlockIfLocked(handle->buffer);
    return source && target ? subset_indices : nullptr;
}

void BatchRenderer::DrawProgramBuffers(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices, unsigned start,
                                       unsigned count, bool instanced, unsigned instances) {
    SwitchTo(ZK_BATCH_TRIANGLES);
    Flush();
    ApplyStatesIfNeeded();
    ApplyCurrentShader();
    if (!ri || !vertices || !indices || !vertices->buffer || !indices->buffer) return;
    IndexBuffer* buffer = IndicesFrom(indices, start, &count);
    if (!buffer) return;
    int vertex_count = static_cast<int>(vertices->count);
    if (!instanced)
        ri->DrawIndexedTriangles(vertices->buffer, vertex_count, buffer, count / 3);
    else
        ri->DrawIndexedTrianglesInstanced(vertices->buffer, vertex_count, buffer, count / 3,
                                          static_cast<int>(instances));
}

void BatchRenderer::DrawVertexBufferWithIndexBufferSubset(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices,
                                                          unsigned start, unsigned count) {
    DrawProgramBuffers(vertices, indices, start, count, false, 0);
}

void BatchRenderer::DrawVertexBufferWithIndexBufferSubsetInstanced(zk_vertex_buffer_t* vertices,
                                                                   zk_index_buffer_t* indices, unsigned start,
                                                                   unsigned count, unsigned instances) {
    DrawProgramBuffers(vertices, indices, start, count, true, instances);
}

// --- Render targets ----------------------------------------------------------------------------

void BatchRenderer::CheckRenderTargetsToBeSet(const zk_graphics_api_t::RenderTargets* targets) {
    if (!targets) return;
    for (const zk_bitmap_t* target : targets->color) {
        if (!target) continue;
        for (int stage = 0; stage < ZK_TEXTURE_STAGES; ++stage) {
            bool bound = bound_bitmaps[stage] == target ||
                         (target->hw_data.renderer_data && bound_textures[stage] == target->hw_data.renderer_data);
            if (bound) BindStage(stage, EmptyTexture());
        }
    }
}

void BatchRenderer::CheckBitmapToBeSet(int stage, const zk_bitmap_t* bitmap) {
    if (!bitmap) return;
    for (int slot = 0; slot < 4; ++slot) {
        if (zk_state.render_targets.color[slot] != bitmap) continue;
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING,
                           "Trying to set bitmap '%s' to stage #%i while it is set to color render target slot #%i.",
                           bitmap->name ? bitmap->name : "", stage, slot);
    }
}

// --- Life ----------------------------------------------------------------------------------------

void BatchRenderer::Initialize() {
    states_applied = 0;
    SetDefaultRenderStates();
    zk_shader_t* shader = ri ? ri->LoadDefaultShader() : nullptr;
    default_shader = font_shader = current_shader = shader;
    // The new renderer has no shader set yet: the first draw sets it.
    applied_shader = nullptr;
    distance_field_shader = ri ? ri->LoadDistanceFieldShader() : nullptr;
    InitializeDefaultBitmap();
    InitializeBuffers();
}

void BatchRenderer::InitializeDefaultBitmap() {
    if (!default_shader) return;
    zk_bitmap_parameters_t parameters = {};
    parameters.format = ZK_TEXTURE_FORMAT_COLOR;
    parameters.type = ZK_TEXTURE_2D;
    parameters.renderer_hint = 1;
    parameters.width = kWhiteTextureSide;
    parameters.height = kWhiteTextureSide;
    parameters.depth = 1;
    parameters.render_target = 0;
    default_bitmap = zk->graphics->ZK_Graphics_CreateBitmap(kWhiteTextureName, &parameters);
    if (!default_bitmap) return;
    zk->ZK_Printf("Created default white texture.");
    if (default_bitmap->pixels && default_bitmap->width > 0 && default_bitmap->height > 0) {
        zk->ZK_Printf("Setting white texture pixels (size %dx%d).", default_bitmap->width, default_bitmap->height);
        memset(default_bitmap->pixels, 0xFF,
               4 * static_cast<size_t>(default_bitmap->width) * static_cast<size_t>(default_bitmap->height));
        zk->ZK_Printf("Refreshing default white texture...");
        zk->graphics->ZK_Graphics_RefreshBitmap(default_bitmap);
    }
    zk->ZK_Printf("Initialized default white texture.");
}

void BatchRenderer::InitializeBuffers() {
    // A start without a shutdown before it: the old buffers go first.
    if (ring[0] || quad_indices) FreeBuffers();
    ring_index = 0;
    zk->ZK_Printf("Batch renderer initializing buffers.");
    if (!ri) return;
    for (int k = 0; k < ZK_BATCH_FORMAT_BUFFERS; ++k)
        format_quad_buffers[k] = ri->CreateVertexBuffer(kFormatBufferFormats[k], ZK_BATCH_RING_VERTICES, kDynamicUsage);
    for (VertexBuffer*& buffer : ring)
        buffer = ri->CreateVertexBuffer(kBatchVertexFormat, ZK_BATCH_RING_VERTICES, kDynamicUsage);
    quad_indices = ri->CreateIndexBuffer(ZK_BATCH_QUAD_INDICES, kFixedUsage);
    line_indices = ri->CreateIndexBuffer(ZK_BATCH_RING_VERTICES, kFixedUsage);
    for (int pair = 0; pair < 2; ++pair) {
        triangle_indices[pair] = ri->CreateIndexBuffer(ZK_BATCH_TRIANGLE_LIST_ENTRIES, kDynamicUsage);
        triangle_vertices[pair] =
            ri->CreateVertexBuffer(kBatchVertexFormat, ZK_BATCH_TRIANGLE_LIST_ENTRIES, kDynamicUsage);
    }
    if (uint16_t* quads = LockIndices(quad_indices, kFixedUsage)) {
        for (int q = 0; q < ZK_BATCH_QUAD_INDICES / 6; ++q) {
            uint16_t v = static_cast<uint16_t>(4 * q);
            const uint16_t six[6] = {v, uint16_t(v + 1), uint16_t(v + 2), uint16_t(v + 1), uint16_t(v + 3),
                                     uint16_t(v + 2)};
            memcpy(quads + 6 * q, six, sizeof(six));
        }
        ri->UnlockIndexBuffer(quad_indices);
    }
    if (uint16_t* lines = LockIndices(line_indices, kFixedUsage)) {
        for (int i = 0; i < ZK_BATCH_RING_VERTICES; ++i) lines[i] = static_cast<uint16_t>(i);
        ri->UnlockIndexBuffer(line_indices);
    }
    write_pointer = static_cast<zk_vertex_t*>(LockVertices(ring[0]));
    pending_vertices = 0;
}

void BatchRenderer::UnlockBuffers() {
    if (ri) {
        for (VertexBuffer* buffer : ring) UnlockIfLocked(buffer);
    }
    // Nothing may be written into a buffer the renderer has back.
    write_pointer = nullptr;
}

void BatchRenderer::FreeBuffers() {
    UnlockBuffers();
    if (ri) {
        for (VertexBuffer*& buffer : ring) FreeVertices(buffer);
        FreeIndices(quad_indices);
        FreeIndices(line_indices);
        for (int pair = 0; pair < 2; ++pair) {
            FreeIndices(triangle_indices[pair]);
            FreeVertices(triangle_vertices[pair]);
        }
        for (VertexBuffer*& buffer : format_quad_buffers) FreeVertices(buffer);
        FreeIndices(subset_indices);
    }
    // Without a renderer its buffers went with it.
    memset(ring, 0, sizeof(ring));
    memset(format_quad_buffers, 0, sizeof(format_quad_buffers));
    memset(triangle_indices, 0, sizeof(triangle_indices));
    memset(triangle_vertices, 0, sizeof(triangle_vertices));
    quad_indices = line_indices = subset_indices = nullptr;
    subset_capacity = 0;
    pending_vertices = 0;
    ring_index = 0;
    write_pointer = nullptr;
    lock_counts[0] = lock_counts[1] = 0;
}

void BatchRenderer::Free() {
    zk->ZK_Printf("Batch renderer freeing assets.");
    if (default_bitmap) zk->graphics->ZK_Graphics_ReleaseBitmap(default_bitmap);
    default_bitmap = nullptr;
    if (default_shader) ZKI_FreeShader(default_shader);
    default_shader = font_shader = current_shader = applied_shader = distance_field_shader = nullptr;
    // The renderer forgets its textures as it shuts down; so do the stages,
    // or a texture of the next start at a recycled address would never be
    // bound.
    memset(bound_bitmaps, 0, sizeof(bound_bitmaps));
    memset(bound_textures, 0, sizeof(bound_textures));
    FreeBuffers();
}

void BatchRenderer::BeginPass() {
    in_frame = 1;
    SetDefaultRenderStates();
    // The previous frame handed its ring buffer back to the renderer.
    if (!write_pointer && ring[0]) LockNextRingBuffer();
}

void BatchRenderer::FrameReady() {
    Flush();
    VertexBuffer* buffer = ring[ring_index];
    if (ri && buffer && buffer->locked) {
        ri->UnlockVertexBuffer(buffer);
        write_pointer = nullptr;
    }
    in_frame = 0;
}

// Colour, alpha, blend, filters, address modes, texture inputs, depth,
// render states, clears and renderer queries.

#include "engine/drawing/graphics_state.h"

#include <cmath>
#include <cstring>

#include "engine/drawing/batch_renderer.h"
#include "engine/drawing/current_transforms.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"

namespace {

const int kMaximumTextureSizeWithoutRenderer = 2048;
const zk_filter_t kAnisotropic = 3;
const zk_filter_t kLinear = 2;

BatchRenderer& Batch() { return zk_batch_renderer; }

// --- Colour -------------------------------------------------------------------------

// Writes r, g, b (and a when with_alpha) into the packed colour in the
// given byte order and gives the scratch quad that colour.
void StoreColor(float r, float g, float b, float a, bool with_alpha, bool bgra) {
    float* stored = zk_state.current_color;
    stored[0] = r;
    stored[1] = g;
    stored[2] = b;
    if (with_alpha) stored[3] = a;
    uint8_t bytes[4];
    memcpy(bytes, &zk_state.current_packed_color, 4);
    bytes[bgra ? 2 : 0] = ZKI_ColorComponentToByte(r);
    bytes[1] = ZKI_ColorComponentToByte(g);
    bytes[bgra ? 0 : 2] = ZKI_ColorComponentToByte(b);
    if (with_alpha) bytes[3] = ZKI_ColorComponentToByte(a);
    memcpy(&zk_state.current_packed_color, bytes, 4);
    for (zk_vertex_t& vertex : zk_state.quad_vertices) vertex.color = zk_state.current_packed_color;
}

void SetAlphaByte(uint32_t* packed, uint8_t alpha) { memcpy(reinterpret_cast<uint8_t*>(packed) + 3, &alpha, 1); }

// --- Render states ------------------------------------------------------------------

bool IsRenderStateId(zk_render_state_t id) { return id >= 0 && id < ZK_NUM_RENDER_STATES; }

// The render states the renderer takes, with their kind and operation.
struct RenderStateEntry {
    zk_render_state_t id;
    bool is_bool;
    void (*apply)(int value);
};
const RenderStateEntry kRenderStates[] = {
    {ZK_RENDER_STATE_DEPTH_TEST, true, [](int on) { ri->SetDepthTest(on != 0); }},
    {ZK_RENDER_STATE_DEPTH_FUNCTION, false, [](int function) { ri->SetDepthTestFunction(function); }},
    {ZK_RENDER_STATE_DEPTH_WRITE, true, [](int on) { ri->SetDepthWrite(on != 0); }},
    {ZK_RENDER_STATE_COLOR_WRITE, true, [](int on) { ri->SetColorWrite(on != 0); }},
    {ZK_RENDER_STATE_CULL_MODE, false, [](int mode) { ri->SetCullMode(mode); }},
};

const RenderStateEntry* FindRenderState(zk_render_state_t id, bool is_bool) {
    for (const RenderStateEntry& entry : kRenderStates) {
        if (entry.id == id && entry.is_bool == is_bool) return &entry;
    }
    return nullptr;
}

// Stores a changed state and hands it to the renderer; false for an id the
// renderer does not take with this kind of value (kept all the same, when
// it fits the tables).
template <class T>
bool ChangeRenderState(zk_render_state_t id, T value, T* values, bool is_bool) {
    if (IsRenderStateId(id)) {
        if (zk_state.render_state_set[id] && values[id] == value) return true;
        Batch().Flush();
        zk_state.render_state_set[id] = 1;
        values[id] = value;
    }
    const RenderStateEntry* entry = FindRenderState(id, is_bool);
    if (entry && ri) entry->apply(static_cast<int>(value));
    return entry != nullptr;
}

bool IsBitmapGiven(const zk_bitmap_t* bitmap) { return bitmap && bitmap->hw_data.loaded; }

}  // namespace

uint8_t ZKI_ColorComponentToByte(float component) {
    float product = 255.0f * component;
    if (std::isnan(product)) return 0;
    if (std::isinf(product)) return product > 0 ? 255 : 0;
    // The low 8 bits of the truncated product, taken exactly for any
    // magnitude (a plain conversion to int is undefined outside its range).
    float low = std::fmod(std::trunc(product), 256.0f);
    int byte = static_cast<int>(low);
    return static_cast<uint8_t>(byte < 0 ? byte + 256 : byte);
}

uint32_t ZKI_PackVertexColor(const color_t& color) {
    bool bgra = zk_state.renderer_vertex_color_format != 0;
    uint8_t bytes[4];
    bytes[bgra ? 2 : 0] = ZKI_ColorComponentToByte(color.r);
    bytes[1] = ZKI_ColorComponentToByte(color.g);
    bytes[bgra ? 0 : 2] = ZKI_ColorComponentToByte(color.b);
    bytes[3] = ZKI_ColorComponentToByte(color.a);
    uint32_t packed;
    memcpy(&packed, bytes, 4);
    return packed;
}

void ZK_Graphics_SetColor_RGBA(const float& r, const float& g, const float& b) { StoreColor(r, g, b, 0, false, false); }
void ZK_Graphics_SetColor_BGRA(const float& r, const float& g, const float& b) { StoreColor(r, g, b, 0, false, true); }
void ZK_Graphics_SetColorWithAlpha_RGBA(const float& r, const float& g, const float& b, const float& a) {
    StoreColor(r, g, b, a, true, false);
}
void ZK_Graphics_SetColorWithAlpha_BGRA(const float& r, const float& g, const float& b, const float& a) {
    StoreColor(r, g, b, a, true, true);
}

color_t ZK_Graphics_GetColor() {
    const float* c = zk_state.current_color;
    return color_t{c[0], c[1], c[2], c[3]};
}

void ZK_Graphics_SetAlpha(const float& a) {
    // NaN fails both tests below the first and is taken as 0.
    float alpha = a > 1.0f ? 1.0f : (a > 0.0f ? a : 0.0f);
    zk_state.current_color[3] = alpha;
    uint8_t byte = ZKI_ColorComponentToByte(alpha);
    SetAlphaByte(&zk_state.current_packed_color, byte);
    for (zk_vertex_t& vertex : zk_state.quad_vertices) SetAlphaByte(&vertex.color, byte);
}

float ZK_Graphics_GetAlpha() { return zk_state.current_color[3]; }

void ZK_Graphics_SetBlend(zk_blend_mode_t mode) { Batch().SetWantedBlend(mode); }
zk_blend_mode_t ZK_Graphics_GetBlend() { return Batch().wanted_blend; }

// --- Filters, address modes, textures -------------------------------------------------

bool ZKI_CheckTextureStage(int stage, const char* function) {
    if (stage >= 0 && stage < ZK_TEXTURE_STAGES) return true;
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "%s: texture stage %d is outside 0-%d, ignored.", function, stage,
                  ZK_TEXTURE_STAGES - 1);
    return false;
}

void ZK_Graphics_SetTextureFilter(int stage, zk_filter_t a, zk_filter_t b, zk_filter_t c) {
    if (!ZKI_CheckTextureStage(stage, "ZK_Graphics_SetTextureFilter")) return;
    Batch().SetWantedFilters(stage, a, b, c == kAnisotropic ? kLinear : c);
}

void ZK_Graphics_SetPixelFilter(zk_filter_t filter) { ZK_Graphics_SetTextureFilter(0, filter, filter, filter); }
zk_filter_t ZK_Graphics_GetPixelFilter() { return Batch().wanted_filters[0][1]; }

void ZK_Graphics_SetTextureAddressMode(int stage, zk_address_mode_t u, zk_address_mode_t v, zk_address_mode_t w) {
    if (!ZKI_CheckTextureStage(stage, "ZK_Graphics_SetTextureAddressMode")) return;
    Batch().SetWantedAddressModes(stage, u, v, w);
}

void ZK_Graphics_SetTextureInput(int stage, zk_bitmap_t* bitmap) {
    if (!ZKI_CheckTextureStage(stage, "ZK_Graphics_SetTextureInput")) return;
    BatchRenderer& batch = Batch();
    batch.Flush();
    // Without a loaded bitmap the stage gets the white bitmap under the
    // default shader, else nothing.
    const zk_bitmap_t* wanted = IsBitmapGiven(bitmap) ? bitmap : batch.EmptyTexture();
    batch.BindStage(stage, wanted);
}

// --- Depth ----------------------------------------------------------------------------

void ZK_Graphics_SetDepthDefault(const float& z) {
    zk_state.depth_default = z;
    for (zk_vertex_t& vertex : zk_state.quad_vertices) vertex.z = z;
}

float ZK_Graphics_GetDepthDefault() { return zk_state.depth_default; }

void ZK_Graphics_SetDepthRange(float near_depth, float middle_depth, float far_depth) {
    Batch().Flush();
    if (!std::isfinite(near_depth) || !std::isfinite(far_depth) || !(near_depth < far_depth)) return;
    zk_state.depth_range[0] = near_depth;
    zk_state.depth_range[1] = middle_depth;
    zk_state.depth_range[2] = far_depth;
    // The projection in use follows the new range, even one a caller
    // pushed.
    if (zk_state.projection_transform_top >= 0)
        zk_state.projection_transform_stack[zk_state.projection_transform_top] = ZKI_ComputeDefaultProjection();
}

void ZK_Graphics_ClearDepth(float depth) {
    Batch().Flush();
    if (!zk_state.render_states_b[ZK_RENDER_STATE_DEPTH_WRITE]) {
        if (zk_state.developer_mode)
            zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                          "ZK_Graphics_ClearDepth: Depth writes are disabled, calling ClearDepth() has no effect. "
                          "Enable depth writes first.");
        return;
    }
    // A colour target without a depth target has no depth to clear.
    const zk_graphics_api_t::RenderTargets& targets = zk_state.render_targets;
    if (ri && (!targets.color[0] || targets.depth)) ri->ClearDepth(depth);
}

// --- Render states ------------------------------------------------------------------------

void ZK_Graphics_SetRenderStateb(zk_render_state_t id, bool value) {
    if (ChangeRenderState<uint8_t>(id, value ? 1 : 0, zk_state.render_states_b, true)) return;
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZK_Graphics_SetRenderStateb: (%d, %s) state not supported with this method.",
                  id, value ? "true" : "false");
}

void ZK_Graphics_SetRenderStatei(zk_render_state_t id, int value) {
    if (ChangeRenderState<int32_t>(id, value, zk_state.render_states_i, false)) return;
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZK_Graphics_SetRenderStatei: (%d, %d) state not supported with this method.",
                  id, value);
}

void ZK_Graphics_SetRenderStatef(zk_render_state_t id, float value) {
    bool known = IsRenderStateId(id);
    if (known && zk_state.render_state_set[id] && zk_state.render_states_f[id] == value) return;
    if (known) {
        zk_state.render_state_set[id] = 1;
        zk_state.render_states_f[id] = value;
    }
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "SetRenderStatef (%d, %g) state not supported with this method.", id,
                  static_cast<double>(value));
}

bool ZK_Graphics_GetRenderStateb(zk_render_state_t id) {
    return IsRenderStateId(id) && zk_state.render_states_b[id] != 0;
}
int ZK_Graphics_GetRenderStatei(zk_render_state_t id) { return IsRenderStateId(id) ? zk_state.render_states_i[id] : 0; }
float ZK_Graphics_GetRenderStatef(zk_render_state_t id) {
    return IsRenderStateId(id) ? zk_state.render_states_f[id] : 0.0f;
}

// --- Screen and renderer queries ---------------------------------------------------------------

void ZK_Graphics_ClearScreen(float r, float g, float b) { ZK_Graphics_ClearScreenWithAlpha(r, g, b, 1.0f); }

void ZK_Graphics_ClearScreenWithAlpha(float r, float g, float b, float a) {
    Batch().Flush();
    if (ri) ri->ClearScreen(r, g, b, a);
}

unsigned int ZK_Graphics_GetFeatures() { return ri ? static_cast<unsigned int>(ri->GetFeatures()) : 0u; }

int ZK_Graphics_GetMaximumTextureSize() {
    return ri ? ri->GetMaximumTextureSize() : kMaximumTextureSizeWithoutRenderer;
}

bool ZK_Graphics_IsTextureFormatSupported(const zk_bitmap_parameters_t& parameters) {
    return ri && ri->IsTextureFormatSupported(parameters);
}

void ZK_Graphics_SetPresentInterval(int interval) {
    if (ri) ri->SetPresentInterval(interval);
}

void ZK_Graphics_SetRenderTargetVirtualRect(zk_bitmap_t* bitmap, int x, int y, int width, int height) {
    if (ri && bitmap) ri->SetRenderTargetVirtualRect(bitmap, x, y, width, height);
}

void ZKI_InvalidateRenderStates() { memset(zk_state.render_state_set, 0, sizeof(zk_state.render_state_set)); }

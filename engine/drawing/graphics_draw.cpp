// The graphics table's draw entries and the extension table's ZK_DrawQuad.
// Bitmaps, rectangles and bitmap lines are built in the state's scratch
// quad, whose z and colour follow the depth default and the current colour,
// and go to the batch renderer.

#include <cmath>
#include <cstring>

#include "engine/drawing/batch_renderer.h"
#include "engine/images/bitmap_pool.h"
#include "engine/drawing/graphics_state.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"

namespace {

const float kShortestBitmapLine = 1e-6f;

bool IsReady(const zk_bitmap_t* bitmap) {
    return bitmap && bitmap->state == ZK_BITMAP_READY && bitmap->hw_data.loaded;
}

bool AlphaVisible() { return zk_state.current_color[3] > 0.0f; }

zk_vertex_t* Quad() { return zk_state.quad_vertices; }

void SetCorner(zk_vertex_t& v, float x, float y, float u, float uv_v) {
    v.x = x;
    v.y = y;
    v.u = u;
    v.v = uv_v;
}

// The bitmap's whole UV rectangle on the quad's corners.
void SetBitmapUVs(zk_vertex_t* quad, const zk_bitmap_t* bitmap) {
    const float* uv = bitmap->hw_data.uv;
    quad[0].u = uv[0], quad[0].v = uv[1];
    quad[1].u = uv[2], quad[1].v = uv[1];
    quad[2].u = uv[0], quad[2].v = uv[3];
    quad[3].u = uv[2], quad[3].v = uv[3];
}

void SetRectangle(zk_vertex_t* quad, float x, float y, float width, float height) {
    quad[0].x = x, quad[0].y = y;
    quad[1].x = x + width, quad[1].y = y;
    quad[2].x = x, quad[2].y = y + height;
    quad[3].x = x + width, quad[3].y = y + height;
}

}  // namespace

void ZK_Graphics_DrawBitmap(const zk_bitmap_t* bitmap, const float& x, const float& y) {
    if (!IsReady(bitmap) || !AlphaVisible()) return;
    zk_vertex_t* quad = Quad();
    SetRectangle(quad, x, y, static_cast<float>(bitmap->width), static_cast<float>(bitmap->height));
    SetBitmapUVs(quad, bitmap);
    zk_batch_renderer.DrawQuad(bitmap, quad);
}

void ZK_Graphics_DrawSubBitmap(const zk_bitmap_t* bitmap, const float& x, const float& y, const float& left,
                               const float& top, const float& right, const float& lower) {
    if (!IsReady(bitmap) || bitmap->width <= 0 || bitmap->height <= 0) return;
    const float* uv = bitmap->hw_data.uv;
    float du = uv[2] - uv[0], dv = uv[3] - uv[1];
    float width = static_cast<float>(bitmap->width), height = static_cast<float>(bitmap->height);
    float u0 = uv[0] + du * left / width, u1 = uv[0] + du * right / width;
    float v0 = uv[1] + dv * top / height, v1 = uv[1] + dv * lower / height;
    zk_vertex_t* quad = Quad();
    SetCorner(quad[0], x, y, u0, v0);
    SetCorner(quad[1], x + right - left, y, u1, v0);
    SetCorner(quad[2], x, y + lower - top, u0, v1);
    SetCorner(quad[3], x + right - left, y + lower - top, u1, v1);
    zk_batch_renderer.DrawQuad(bitmap, quad);
}

void ZK_Graphics_DrawBitmapRS(const zk_bitmap_t* bitmap, const float& x, const float& y, const float& rotation,
                              const float& scale) {
    if (!IsReady(bitmap)) return;
    float h = scale / 2.0f;
    float half_width = bitmap->width * h, half_height = bitmap->height * h;
    // An odd size is centred half a pixel towards the top-left.
    float cx = (bitmap->width & 1) ? x - h : x;
    float cy = (bitmap->height & 1) ? y - h : y;
    float c = std::cos(rotation), s = std::sin(rotation);
    const float offsets[4][2] = {
        {-half_width, -half_height}, {half_width, -half_height}, {-half_width, half_height}, {half_width, half_height}};
    zk_vertex_t* quad = Quad();
    for (int k = 0; k < 4; ++k) {
        float dx = offsets[k][0], dy = offsets[k][1];
        quad[k].x = cx + dx * c - dy * s;
        quad[k].y = cy + dx * s + dy * c;
    }
    SetBitmapUVs(quad, bitmap);
    zk_batch_renderer.DrawQuad(bitmap, quad);
}

void ZK_Graphics_DrawBitmap4V(const zk_bitmap_t* bitmap, const zk_vertex_t* four) {
    if (!four) return;
    zk_vertex_t* quad = zk_state.quad_vertices_4v;
    memcpy(quad, four, 4 * sizeof(zk_vertex_t));
    // The caller gives B,G,R,A colours.
    if (zk_state.renderer_vertex_color_format == 0) {
        for (int k = 0; k < 4; ++k) {
            uint8_t* bytes = reinterpret_cast<uint8_t*>(&quad[k].color);
            uint8_t first = bytes[0];
            bytes[0] = bytes[2];
            bytes[2] = first;
        }
    }
    if (!bitmap) {
        zk_batch_renderer.DrawQuad(nullptr, quad);
        return;
    }
    if (!IsReady(bitmap)) return;
    const float* uv = bitmap->hw_data.uv;
    float du = uv[2] - uv[0], dv = uv[3] - uv[1];
    for (int k = 0; k < 4; ++k) {
        quad[k].u = uv[0] + quad[k].u * du;
        quad[k].v = uv[1] + quad[k].v * dv;
    }
    zk_batch_renderer.DrawQuad(bitmap, quad);
}

void ZK_Graphics_DrawBitmapLine(const zk_bitmap_t* bitmap, const vec2_t* from, const vec2_t* to, float width_from,
                                float width_to, const color_t* color_from, const color_t* color_to) {
    if (!IsReady(bitmap) || !from || !to || !color_from || !color_to) return;
    float dx = from->x - to->x, dy = from->y - to->y;
    float length = std::sqrt(dx * dx + dy * dy);
    if (!(length >= kShortestBitmapLine)) return;
    float nx = -dy / length, ny = dx / length;
    float from_x = nx * width_from / 2.0f, from_y = ny * width_from / 2.0f;
    float to_x = nx * width_to / 2.0f, to_y = ny * width_to / 2.0f;
    zk_vertex_t* quad = Quad();
    quad[0].x = from->x - from_x, quad[0].y = from->y - from_y;
    quad[1].x = from->x + from_x, quad[1].y = from->y + from_y;
    quad[2].x = to->x - to_x, quad[2].y = to->y - to_y;
    quad[3].x = to->x + to_x, quad[3].y = to->y + to_y;
    quad[0].color = quad[1].color = ZKI_PackVertexColor(*color_from);
    quad[2].color = quad[3].color = ZKI_PackVertexColor(*color_to);
    SetBitmapUVs(quad, bitmap);
    zk_batch_renderer.DrawQuad(bitmap, quad);
    // The other fronts draw the scratch quad in the current colour.
    for (int k = 0; k < 4; ++k) quad[k].color = zk_state.current_packed_color;
}

void ZK_Graphics_DrawRect(const float& x, const float& y, const float& width, const float& height) {
    if (!AlphaVisible()) return;
    zk_vertex_t* quad = Quad();
    SetRectangle(quad, x, y, width, height);
    for (int k = 0; k < 4; ++k) quad[k].u = quad[k].v = 0.5f;
    zk_batch_renderer.DrawQuad(nullptr, quad);
}

void ZK_Graphics_DrawLine(const float& x0, const float& y0, const float& x1, const float& y1) {
    zk_vertex_t a = {x0, y0, zk_state.depth_default, zk_state.current_packed_color, 0.0f, 0.0f};
    zk_vertex_t b = {x1, y1, zk_state.depth_default, zk_state.current_packed_color, 0.0f, 0.0f};
    zk_batch_renderer.DrawLine(&a, &b);
}

void ZK_Graphics_DrawLine2V(const zk_vertex_t* two) {
    if (two) zk_batch_renderer.DrawLine(&two[0], &two[1]);
}

void ZK_Graphics_DrawTriangles(const zk_bitmap_t* bitmap, zk_vertex_t* vertices, int vertex_count,
                               unsigned short* indices, int index_count) {
    zk_batch_renderer.DrawTriangles(bitmap, vertices, vertex_count, indices, index_count);
}

void ZK_Graphics_DrawVerticesWithIndices(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices) {
    if (!vertices || !indices) return;
    zk_batch_renderer.Flush();
    zk_batch_renderer.DrawVertexBufferWithIndexBufferSubset(vertices, indices, 0, indices->count);
}

void ZK_Graphics_DrawVerticesWithIndicesSubset(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices,
                                               const unsigned& start, const unsigned& count) {
    if (!vertices || !indices) return;
    zk_batch_renderer.Flush();
    zk_batch_renderer.DrawVertexBufferWithIndexBufferSubset(vertices, indices, start, count);
}

void ZK_Graphics_DrawVerticesWithIndicesInstanced(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices,
                                                  unsigned instances) {
    if (!vertices || !indices) return;
    zk_batch_renderer.Flush();
    zk_batch_renderer.DrawVertexBufferWithIndexBufferSubsetInstanced(vertices, indices, 0, indices->count, instances);
}

void ZK_DrawQuad(zk_vertex_format_t format, void* four_vertices) {
    zk_batch_renderer.Flush();
    zk_batch_renderer.DrawQuadWithVertexFormat(format, four_vertices);
}

// The batch renderer through the graphics table and the recording renderer:
// quads per draw and the ring, flushes on texture and mode changes, lazily
// applied state, triangle lists, quads in other formats, program buffers
// drawn whole or in part, and the renderer start and shutdown steps.

#include "engine/drawing/batch_renderer.h"

#include <cstring>
#include <string>
#include <vector>

#include "engine/drawing/graphics_state.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/drawing/tests/graphics_fixture.h"
#include "engine/runtime/interface_functions.h"

namespace {

class BatchRendererTest : public GraphicsTest {
protected:
    std::string Ring(int index) const { return RecordingRenderer::Pointer(zk_batch_renderer.ring[index]); }
    std::string QuadIndices() const { return RecordingRenderer::Pointer(zk_batch_renderer.quad_indices); }
    // The record of a quad draw from a ring buffer.
    std::string QuadDraw(int ring, int vertices) const {
        return "DrawIndexedTriangles " + Ring(ring) + " " + std::to_string(vertices) + " " + QuadIndices() + " " +
               std::to_string(vertices / 2);
    }
    static const zk_vertex_t* RingVertices(int ring) {
        return static_cast<const zk_vertex_t*>(zk_batch_renderer.ring[ring]->data);
    }
    void DrawQuads(const zk_bitmap_t& bitmap, int quads) {
        for (int i = 0; i < quads; ++i) g()->ZK_Graphics_DrawBitmap(&bitmap, float(i), 0.0f);
    }
};

TEST_F(BatchRendererTest, NinetySixQuadsMakeOneDrawAndTheNextGoesToTheNextRingBuffer) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    DrawQuads(hero, 95);
    EXPECT_EQ(renderer_.Count("DrawIndexedTriangles"), 0);
    DrawQuads(hero, 1);
    EXPECT_EQ(renderer_.CallsOf("DrawIndexedTriangles"), std::vector<std::string>{QuadDraw(0, 384)});
    DrawQuads(hero, 1);
    zk_batch_renderer.FrameReady();
    EXPECT_EQ(renderer_.CallsOf("DrawIndexedTriangles"),
              (std::vector<std::string>{QuadDraw(0, 384), QuadDraw(1, 4)}));
    // Each buffer is handed back before it is drawn, and the next one taken.
    EXPECT_EQ(CallsOf({"LockVertexBuffer", "UnlockVertexBuffer", "DrawIndexedTriangles"}),
              (std::vector<std::string>{"UnlockVertexBuffer " + Ring(0), QuadDraw(0, 384), "LockVertexBuffer " + Ring(1),
                                        "UnlockVertexBuffer " + Ring(1), QuadDraw(1, 4), "LockVertexBuffer " + Ring(2),
                                        "UnlockVertexBuffer " + Ring(2)}));
    EXPECT_EQ(zk_batch_renderer.write_pointer, nullptr);
}

TEST_F(BatchRendererTest, TheRingComesRoundAfterSixteenBuffers) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    DrawQuads(hero, 17 * 96);
    std::vector<std::string> draws = renderer_.CallsOf("DrawIndexedTriangles");
    ASSERT_EQ(draws.size(), 17u);
    for (int i = 0; i < 17; ++i) EXPECT_EQ(draws[i], QuadDraw(i % 16, 384)) << "draw " << i;
}

TEST_F(BatchRendererTest, QuadsKeepTheirCornersTexturesAndColours) {
    zk_bitmap_t& hero = Bitmap("hero", 32, 16);
    hero.hw_data.uv[0] = 0.25f;
    hero.hw_data.uv[1] = 0.5f;
    g()->ZK_Graphics_SetColorWithAlpha(1.0f, 0.5f, 0.0f, 1.0f);
    g()->ZK_Graphics_SetDepthDefault(0.25f);
    g()->ZK_Graphics_DrawBitmap(&hero, 10.0f, 20.0f);
    zk_batch_renderer.Flush();
    const zk_vertex_t* v = RingVertices(0);
    const float corners[4][4] = {{10, 20, 0.25f, 0.5f}, {42, 20, 1, 0.5f}, {10, 36, 0.25f, 1}, {42, 36, 1, 1}};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(v[k].x, corners[k][0]);
        EXPECT_EQ(v[k].y, corners[k][1]);
        EXPECT_EQ(v[k].u, corners[k][2]);
        EXPECT_EQ(v[k].v, corners[k][3]);
        EXPECT_EQ(v[k].z, 0.25f);
        EXPECT_EQ(v[k].color, 0xFFFF7F00u);  // B,G,R,A bytes 0x00 0x7F 0xFF 0xFF
    }
    EXPECT_EQ(renderer_.CallsOf("SetTexture").front(), "SetTexture 0 " + TextureOf(hero));
}

TEST_F(BatchRendererTest, ChangingTextureOrPrimitiveFlushesWhatIsPending) {
    zk_bitmap_t& a = Bitmap("a", 8, 8);
    zk_bitmap_t& b = Bitmap("b", 8, 8);
    g()->ZK_Graphics_DrawBitmap(&a, 0, 0);
    g()->ZK_Graphics_DrawBitmap(&b, 0, 0);
    g()->ZK_Graphics_DrawBitmap(&a, 0, 0);
    g()->ZK_Graphics_DrawBitmap(&a, 0, 0);
    g()->ZK_Graphics_DrawLine(0, 0, 10, 10);
    g()->ZK_Graphics_DrawRect(0, 0, 4, 4);
    zk_batch_renderer.FrameReady();
    std::string lines = "DrawIndexedLines " + Ring(3) + " " +
                        RecordingRenderer::Pointer(zk_batch_renderer.line_indices) + " 1";
    EXPECT_EQ(CallsOf({"SetTexture", "DrawIndexedTriangles", "DrawIndexedLines"}),
              (std::vector<std::string>{"SetTexture 0 " + TextureOf(a), QuadDraw(0, 4), "SetTexture 0 " + TextureOf(b),
                                        QuadDraw(1, 4), "SetTexture 0 " + TextureOf(a), QuadDraw(2, 8),
                                        "SetTexture 0 null", lines, QuadDraw(4, 4)}));
}

TEST_F(BatchRendererTest, StateIsAppliedAtTheNextDrawOnceAndOnlyWhereItDiffers) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    g()->ZK_Graphics_DrawBitmap(&hero, 0, 0);
    // The first draw applies the defaults on every stage.
    EXPECT_EQ(renderer_.CallsOf("SetBlend"), std::vector<std::string>{"SetBlend 1"});
    EXPECT_EQ(renderer_.Count("SetTextureAddressMode"), 8);
    EXPECT_EQ(renderer_.CallsOf("SetTextureFilter").front(), "SetTextureFilter 0 2 2 2");
    renderer_.ClearCalls();

    g()->ZK_Graphics_SetBlend(2);
    g()->ZK_Graphics_SetBlend(2);
    g()->ZK_Graphics_SetTextureFilter(0, 1, 2, 2);
    g()->ZK_Graphics_SetTextureFilter(2, 2, 2, 3);  // anisotropic is kept as linear: no change
    g()->ZK_Graphics_SetTextureAddressMode(1, 2, 3, 2);
    g()->ZK_Graphics_SetTextureAddressMode(3, 0, 2, 2);  // a triple with a 0 is not applied
    EXPECT_EQ(CallsOf({"SetBlend", "SetTextureFilter", "SetTextureAddressMode", "DrawIndexedTriangles"}),
              std::vector<std::string>{});
    EXPECT_EQ(g()->ZK_Graphics_GetBlend(), 2);
    EXPECT_EQ(g()->ZK_Graphics_GetPixelFilter(), 2);
    g()->ZK_Graphics_DrawBitmap(&hero, 0, 0);
    g()->ZK_Graphics_DrawBitmap(&hero, 0, 0);
    // The pending quad is drawn with the old state; the filters reach the
    // renderer with the first two exchanged.
    EXPECT_EQ(CallsOf({"SetBlend", "SetTextureFilter", "SetTextureAddressMode", "DrawIndexedTriangles"}),
              (std::vector<std::string>{QuadDraw(0, 4), "SetBlend 2", "SetTextureAddressMode 1 2 3 2",
                                        "SetTextureFilter 0 2 1 2"}));
}

TEST_F(BatchRendererTest, TheCurrentShadersTexturesOverrideTheWantedModes) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    zk_bitmap_t& mask = Bitmap("mask", 8, 8);
    char name[] = "effect";
    zk_shader_t shader = {};
    shader.name = name;
    shader.num_texture_inputs = 2;
    shader.texture_inputs[0] = {nullptr, nullptr, 2, 0, 0, 1, 0, 0};  // wrap u, point mag
    shader.texture_inputs[1] = {nullptr, &mask, 0, 0, 0, 0, 0, 0};
    g()->ZK_Graphics_DrawBitmap(&hero, 0, 0);
    zk_batch_renderer.Flush();
    renderer_.ClearCalls();
    zk_batch_renderer.current_shader = &shader;
    zk_batch_renderer.SetOverrideTexturesAndTextureModes();
    g()->ZK_Graphics_DrawBitmap(&hero, 0, 0);
    EXPECT_EQ(CallsOf({"SetShader", "SetTexture", "SetTextureFilter", "SetTextureAddressMode"}),
              (std::vector<std::string>{"SetTexture 1 " + TextureOf(mask), "SetTextureAddressMode 0 2 1 1",
                                        "SetTextureFilter 0 2 1 2"}));
    zk_batch_renderer.FrameReady();
    EXPECT_EQ(renderer_.CallsOf("SetShader"), std::vector<std::string>{"SetShader effect"});
}

TEST_F(BatchRendererTest, TriangleListsWithinTheLimitsAreDrawnAtOnce) {
    std::vector<zk_vertex_t> vertices(16385);
    std::vector<uint16_t> indices(16385);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint16_t>(i % 3);
    struct Case {
        const char* name;
        int vertex_count, index_count;
        const char* popup;  // null: drawn
    } cases[] = {
        {"at the limits", 16384, 16383, nullptr},
        {"one triangle", 3, 3, nullptr},
        {"too many vertices", 16385, 3,
         "1:[POPUP] Too many vertices (16385) for DrawTriangles call. Draw using vertex and index buffers instead. "
         "Maximum is 16384. Not drawing anything for this call."},
        {"too many indices", 3, 16385,
         "1:[POPUP] Too many indices (16385) for DrawTriangles call. Draw using vertex and index buffers instead. "
         "Maximum is 16384. Not drawing anything for this call."},
        {"negative vertices", -1, 3,
         "1:[POPUP] Negative vertex count (-1) or index count (3) for DrawTriangles call. Not drawing anything for "
         "this call."},
        {"negative indices", 3, -6,
         "1:[POPUP] Negative vertex count (3) or index count (-6) for DrawTriangles call. Not drawing anything for "
         "this call."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        renderer_.ClearCalls();
        ClearLines();
        int pair = zk_batch_renderer.triangle_pair;
        g()->ZK_Graphics_DrawTriangles(nullptr, vertices.data(), c.vertex_count, indices.data(), c.index_count);
        if (c.popup) {
            EXPECT_EQ(Popups(), std::vector<std::string>{c.popup});
            EXPECT_EQ(renderer_.Count("DrawIndexedTriangles"), 0);
            EXPECT_EQ(zk_batch_renderer.triangle_pair, pair);
            continue;
        }
        EXPECT_EQ(Popups(), std::vector<std::string>{});
        EXPECT_EQ(renderer_.CallsOf("DrawIndexedTriangles"),
                  std::vector<std::string>{"DrawIndexedTriangles " +
                                           RecordingRenderer::Pointer(zk_batch_renderer.triangle_vertices[pair]) + " " +
                                           std::to_string(c.vertex_count) + " " +
                                           RecordingRenderer::Pointer(zk_batch_renderer.triangle_indices[pair]) + " " +
                                           std::to_string(c.index_count / 3)});
        EXPECT_EQ(memcmp(zk_batch_renderer.triangle_indices[pair]->data, indices.data(), 2 * c.index_count), 0);
        EXPECT_EQ(zk_batch_renderer.triangle_pair, 1 - pair);
    }
}

TEST_F(BatchRendererTest, QuadsInOtherVertexFormatsUseTheirOwnBuffer) {
    struct Case {
        zk_vertex_format_t format;
        int slot;  // -1: not drawn
        size_t bytes;
    } cases[] = {{1, 0, 48}, {15, 1, 144}, {47, 2, 192}, {111, 3, 240}, {7, -1, 0}, {3, -1, 0}};
    unsigned char vertices[240];
    for (size_t i = 0; i < sizeof(vertices); ++i) vertices[i] = static_cast<unsigned char>(i);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        renderer_.ClearCalls();
        zk->ext->ZK_DrawQuad(c.format, vertices);
        if (c.slot < 0) {
            EXPECT_EQ(renderer_.Count("DrawIndexedTriangles"), 0);
            continue;
        }
        VertexBuffer* buffer = zk_batch_renderer.format_quad_buffers[c.slot];
        EXPECT_EQ(renderer_.CallsOf("DrawIndexedTriangles"),
                  std::vector<std::string>{"DrawIndexedTriangles " + RecordingRenderer::Pointer(buffer) + " 4 " +
                                           QuadIndices() + " 2"});
        EXPECT_EQ(memcmp(buffer->data, vertices, c.bytes), 0);
        EXPECT_FALSE(buffer->locked);
    }
}

// Program buffers: the whole index buffer draws from the program's own
// renderer buffer; a part that does not start at index 0 is copied into the
// batch's subset buffer, since the renderer always starts at the first
// index; a part past the end is clipped.
TEST_F(BatchRendererTest, ProgramBuffersDrawTheIndicesAsked) {
    std::vector<zk_vertex_t> vertices(8);
    uint16_t indices[12] = {0, 1, 2, 1, 3, 2, 4, 5, 6, 5, 7, 6};
    zk_vertex_buffer_t* vb = ZK_Graphics_CreateVertexBufferWithVertices(7, vertices.data(), 8, 0);
    zk_index_buffer_t* ib = ZK_Graphics_CreateIndexBufferWithIndices(indices, 12, 0);
    ASSERT_TRUE(vb && ib && vb->buffer && ib->buffer);
    const std::string program_vertices = RecordingRenderer::Pointer(vb->buffer);
    const std::string program_indices = RecordingRenderer::Pointer(ib->buffer);
    struct Case {
        const char* name;
        unsigned start, count;
        bool whole_buffer;  // drawn from the program's own index buffer
        std::vector<uint16_t> drawn;  // empty: nothing drawn
    } cases[] = {
        {"all", 0, 12, true, {0, 1, 2, 1, 3, 2, 4, 5, 6, 5, 7, 6}},
        {"first quad", 0, 6, true, {0, 1, 2, 1, 3, 2}},
        {"second quad", 6, 6, false, {4, 5, 6, 5, 7, 6}},
        {"past the end", 9, 100, false, {5, 7, 6}},
        {"middle triangle", 3, 3, false, {1, 3, 2}},
        {"start at the end", 12, 3, false, {}},
        {"nothing asked", 3, 0, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        renderer_.ClearCalls();
        g()->ZK_Graphics_DrawVerticesWithIndicesSubset(vb, ib, c.start, c.count);
        std::vector<std::string> draws = renderer_.CallsOf("DrawIndexedTriangles");
        if (c.drawn.empty()) {
            EXPECT_EQ(draws, std::vector<std::string>{});
            continue;
        }
        IndexBuffer* used = c.whole_buffer ? ib->buffer : zk_batch_renderer.subset_indices;
        ASSERT_NE(used, nullptr);
        EXPECT_EQ(draws, std::vector<std::string>{"DrawIndexedTriangles " + program_vertices + " 8 " +
                                                  RecordingRenderer::Pointer(used) + " " +
                                                  std::to_string(c.drawn.size() / 3)});
        EXPECT_EQ(std::vector<uint16_t>(used->data, used->data + c.drawn.size()), c.drawn);
        EXPECT_FALSE(ib->buffer->locked);
    }
    // The whole-buffer entries pass the full count.
    renderer_.ClearCalls();
    g()->ZK_Graphics_DrawVerticesWithIndices(vb, ib);
    EXPECT_EQ(renderer_.CallsOf("DrawIndexedTriangles"),
              std::vector<std::string>{"DrawIndexedTriangles " + program_vertices + " 8 " + program_indices + " 4"});
    g()->ZK_Graphics_DrawVerticesWithIndicesInstanced(vb, ib, 3);
    EXPECT_EQ(renderer_.CallsOf("DrawIndexedTrianglesInstanced"),
              std::vector<std::string>{"DrawIndexedTrianglesInstanced " + program_vertices + " 8 " + program_indices +
                                       " 4 3"});
    // A buffer the program holds locked is not read behind its back.
    ASSERT_TRUE(ZK_Graphics_LockIndexBuffer(ib));
    renderer_.ClearCalls();
    g()->ZK_Graphics_DrawVerticesWithIndicesSubset(vb, ib, 6, 6);
    EXPECT_EQ(renderer_.Count("DrawIndexedTriangles"), 0);
    ZK_Graphics_UnlockIndexBuffer(ib);
    g()->ZK_Graphics_DrawVerticesWithIndices(nullptr, ib);
    g()->ZK_Graphics_DrawVerticesWithIndices(vb, nullptr);
    EXPECT_EQ(renderer_.Count("DrawIndexedTriangles"), 0);
    ZK_Graphics_FreeVertexBuffer(vb);
    ZK_Graphics_FreeIndexBuffer(ib);
}

TEST_F(BatchRendererTest, BitmapLineColoursStayOnTheLineOnly) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    g()->ZK_Graphics_SetColorWithAlpha(1.0f, 1.0f, 1.0f, 1.0f);
    vec2_t from = {0, 0}, to = {10, 0};
    color_t red = {1, 0, 0, 1}, blue = {0, 0, 1, 0.5f};
    g()->ZK_Graphics_DrawBitmapLine(&hero, &from, &to, 2.0f, 4.0f, &red, &blue);
    g()->ZK_Graphics_DrawBitmap(&hero, 0, 0);
    zk_batch_renderer.Flush();
    const zk_vertex_t* v = RingVertices(0);
    // B,G,R,A bytes in memory.
    const uint32_t line_colors[4] = {0xFFFF0000u, 0xFFFF0000u, 0x7F0000FFu, 0x7F0000FFu};
    const float line_corners[4][2] = {{0, 1}, {0, -1}, {10, 2}, {10, -2}};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(v[k].color, line_colors[k]);
        EXPECT_EQ(v[k].x, line_corners[k][0]);
        EXPECT_EQ(v[k].y, line_corners[k][1]);
        EXPECT_EQ(v[4 + k].color, 0xFFFFFFFFu);
    }
    // A line of no length draws nothing.
    renderer_.ClearCalls();
    g()->ZK_Graphics_DrawBitmapLine(&hero, &from, &from, 2.0f, 4.0f, &red, &blue);
    zk_batch_renderer.Flush();
    EXPECT_EQ(renderer_.Count("DrawIndexedTriangles"), 0);
}

TEST_F(BatchRendererTest, WhatDrawsNothing) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    zk_bitmap_t& loading = Bitmap("loading", 8, 8);
    loading.state = ZK_BITMAP_LOADING;
    zk_bitmap_t& unloaded = Bitmap("unloaded", 8, 8);
    unloaded.hw_data.loaded = 0;
    struct Case {
        const char* name;
        void (*draw)(zk_bitmap_t* bitmap);
        zk_bitmap_t* bitmap;
        float alpha;
    } cases[] = {
        {"bitmap at alpha 0", [](zk_bitmap_t* b) { zk->graphics->ZK_Graphics_DrawBitmap(b, 0, 0); }, &hero, 0.0f},
        {"rectangle at alpha 0", [](zk_bitmap_t*) { zk->graphics->ZK_Graphics_DrawRect(0, 0, 4, 4); }, nullptr, 0.0f},
        {"loading bitmap", [](zk_bitmap_t* b) { zk->graphics->ZK_Graphics_DrawBitmap(b, 0, 0); }, &loading, 1.0f},
        {"texture not loaded", [](zk_bitmap_t* b) { zk->graphics->ZK_Graphics_DrawBitmapRS(b, 0, 0, 1, 1); },
         &unloaded, 1.0f},
        {"null bitmap", [](zk_bitmap_t* b) { zk->graphics->ZK_Graphics_DrawSubBitmap(b, 0, 0, 0, 0, 1, 1); }, nullptr,
         1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g()->ZK_Graphics_SetAlpha(c.alpha);
        c.draw(c.bitmap);
        zk_batch_renderer.Flush();
        EXPECT_EQ(renderer_.Count("DrawIndexedTriangles"), 0);
    }
    // Without a write pointer (buffers not made) nothing is drawn either.
    g()->ZK_Graphics_SetAlpha(1.0f);
    zk_batch_renderer.FreeBuffers();
    g()->ZK_Graphics_DrawBitmap(&hero, 0, 0);
    g()->ZK_Graphics_DrawLine(0, 0, 1, 1);
    zk_batch_renderer.Flush();
    EXPECT_EQ(renderer_.Count("DrawIndexedTriangles") + renderer_.Count("DrawIndexedLines"), 0);
}

TEST_F(BatchRendererTest, RotatedAndSubBitmapCorners) {
    zk_bitmap_t& hero = Bitmap("hero", 4, 3);  // odd height: centred half a pixel up
    g()->ZK_Graphics_DrawBitmapRS(&hero, 10.0f, 20.0f, 3.14159265f / 2.0f, 2.0f);
    zk_bitmap_t& sheet = Bitmap("sheet", 100, 50);
    sheet.hw_data.uv[0] = 0.5f;  // the sheet's rectangle is the right half of its texture
    g()->ZK_Graphics_DrawSubBitmap(&sheet, 1.0f, 2.0f, 10.0f, 5.0f, 30.0f, 25.0f);
    zk_batch_renderer.Flush();
    const zk_vertex_t* v = RingVertices(0);
    const zk_vertex_t* w = RingVertices(1);  // a new texture, so a new batch
    // Half sizes 4 x 3 about (10, 19), turned a quarter: (dx, dy) -> (-dy, dx).
    const float rotated[4][2] = {{13, 15}, {13, 23}, {7, 15}, {7, 23}};
    const float sub[4][4] = {{1, 2, 0.55f, 0.1f}, {21, 2, 0.65f, 0.1f}, {1, 22, 0.55f, 0.5f}, {21, 22, 0.65f, 0.5f}};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_NEAR(v[k].x, rotated[k][0], 1e-4);
        EXPECT_NEAR(v[k].y, rotated[k][1], 1e-4);
        EXPECT_NEAR(w[k].x, sub[k][0], 1e-5);
        EXPECT_NEAR(w[k].y, sub[k][1], 1e-5);
        EXPECT_NEAR(w[k].u, sub[k][2], 1e-6);
        EXPECT_NEAR(w[k].v, sub[k][3], 1e-6);
    }
}

TEST_F(BatchRendererTest, FourVertexQuadsTakeBGRAColoursAndTheBitmapsRectangle) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    hero.hw_data.uv[0] = 0.5f;
    zk_vertex_t four[4] = {{0, 0, 0, 0x11223344u, 0, 0}, {1, 0, 0, 0x11223344u, 1, 0},
                           {0, 1, 0, 0x11223344u, 0, 1}, {1, 1, 0, 0x11223344u, 1, 1}};
    struct Case {
        int vertex_color_format;
        uint32_t color;
    } cases[] = {{1, 0x11223344u}, {0, 0x11443322u}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vertex_color_format);
        zk_state.renderer_vertex_color_format = c.vertex_color_format;
        int ring = zk_batch_renderer.ring_index;
        g()->ZK_Graphics_DrawBitmap4V(&hero, four);
        zk_batch_renderer.Flush();
        const zk_vertex_t* v = RingVertices(ring);
        EXPECT_EQ(v[0].color, c.color);
        EXPECT_EQ(v[1].u, 1.0f);
        EXPECT_EQ(v[0].u, 0.5f);
        EXPECT_EQ(four[0].color, 0x11223344u);  // the caller's vertices are untouched
    }
}

// --- Start and shutdown ------------------------------------------------------------------

// The renderer's built-in default shader, already in the pool: loading it
// for the renderer (a target with the shader's code) gives this record.
// Its one constant follows the world transform, so each upload of its
// constants reads the world transform once.
zk_shader_t* PoolDefaultShader() {
    zk_shader_t& shader = zk_state.shaders[0];
    shader = zk_shader_t();
    shader.name = strdup("internal_default");
    shader.flags = 2;  // loaded
    static int renderer_object = 0;
    shader.renderer_shader = &renderer_object;
    zk_shader_t::constant_table_t& table = shader.vertex_constants;
    table.count = 1;
    table.entries = static_cast<zk_shader_t::constant_t*>(calloc(1, sizeof(zk_shader_t::constant_t)));
    table.values = static_cast<uint8_t*>(calloc(1, sizeof(nTransform)));
    table.entries[0].value = table.values;
    table.entries[0].size = sizeof(nTransform);
    table.entries[0].semantic = ShaderTool::CONSTANT_WORLD_TRANSFORM;
    // The distance-field shader too, so that nothing is translated here.
    zk_state.shaders[1] = zk_shader_t();
    zk_state.shaders[1].name = strdup("internal_distance_field");
    zk_state.num_shaders = 2;
    return &shader;
}
zk_bitmap_t white_bitmap;
uint32_t white_pixels[16 * 16];
std::vector<std::string> seen;

zk_bitmap_t* CreateWhite(const char* name, const zk_bitmap_parameters_t* p) {
    seen.push_back(std::string("CreateBitmap ") + name + " " + std::to_string(p->format) + " " +
                   std::to_string(p->type) + " " + std::to_string(p->renderer_hint) + " " + std::to_string(p->width) +
                   "x" + std::to_string(p->height) + "x" + std::to_string(p->depth) + " " +
                   std::to_string(p->render_target));
    white_bitmap = zk_bitmap_t();
    white_bitmap.width = p->width;
    white_bitmap.height = p->height;
    white_bitmap.pixels = white_pixels;
    white_bitmap.state = ZK_BITMAP_READY;
    white_bitmap.hw_data.loaded = 1;
    white_bitmap.hw_data.renderer_data = white_pixels;
    return &white_bitmap;
}

TEST_F(BatchRendererTest, StartAndShutdownWithADefaultShader) {
    zk_batch_renderer.FreeBuffers();
    zk_batch_renderer = BatchRenderer();
    seen.clear();
    memset(white_pixels, 0, sizeof(white_pixels));
    zk_shader_t* test_default_shader = PoolDefaultShader();
    renderer_.shader_target = ShaderTool::GLSL21;
    g()->ZK_Graphics_PeekWorldTransform = [] {
        seen.push_back("Upload default");
        return ZK_Graphics_PeekWorldTransform();
    };
    renderer_.on_call = [](const std::string& call) {
        if (call == "FreeShader internal_default") seen.push_back("FreeBatchShader default");
    };
    g()->ZK_Graphics_CreateBitmap = CreateWhite;
    g()->ZK_Graphics_RefreshBitmap = [](zk_bitmap_t* b) {
        seen.push_back(b == &white_bitmap && white_pixels[255] == 0xFFFFFFFFu ? "RefreshBitmap white" : "?");
        return true;
    };
    g()->ZK_Graphics_ReleaseBitmap = [](zk_bitmap_t* b) {
        seen.push_back(b == &white_bitmap ? "ReleaseBitmap white" : "?");
    };

    zk_batch_renderer.Initialize();
    EXPECT_EQ(seen, (std::vector<std::string>{"CreateBitmap WHITE_TEXTURE 7 1 1 16x16x1 0", "RefreshBitmap white"}));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"0:Created default white texture.",
                                                 "0:Setting white texture pixels (size 16x16).",
                                                 "0:Refreshing default white texture...",
                                                 "0:Initialized default white texture.",
                                                 "0:Batch renderer initializing buffers."}));
    EXPECT_EQ(renderer_.Count("CreateVertexBuffer"), 4 + 16 + 2);
    EXPECT_EQ(renderer_.Count("CreateIndexBuffer"), 2 + 2);
    EXPECT_EQ(std::vector<uint16_t>(zk_batch_renderer.quad_indices->data, zk_batch_renderer.quad_indices->data + 12),
              (std::vector<uint16_t>{0, 1, 2, 1, 3, 2, 4, 5, 6, 5, 7, 6}));
    EXPECT_EQ(zk_batch_renderer.quad_indices->data[575], 382);
    EXPECT_EQ(zk_batch_renderer.line_indices->data[383], 383);
    EXPECT_EQ(zk_batch_renderer.font_shader, test_default_shader);

    // Under the default shader a rectangle and an empty stage take the
    // white bitmap; the shader is set once and its constants go up with
    // each batch.
    seen.clear();
    zk_batch_renderer.BeginPass();
    g()->ZK_Graphics_SetTextureInput(3, nullptr);
    g()->ZK_Graphics_DrawRect(0, 0, 4, 4);
    zk_batch_renderer.Flush();
    g()->ZK_Graphics_DrawRect(0, 0, 4, 4);
    zk_batch_renderer.FrameReady();
    EXPECT_EQ(renderer_.CallsOf("SetShader"), std::vector<std::string>{"SetShader internal_default"});
    EXPECT_EQ(seen, (std::vector<std::string>{"Upload default", "Upload default"}));
    std::string white = RecordingRenderer::Pointer(white_pixels);
    EXPECT_EQ(renderer_.CallsOf("SetTexture"),
              (std::vector<std::string>{"SetTexture 0 " + white, "SetTexture 1 " + white, "SetTexture 2 " + white,
                                        "SetTexture 3 " + white, "SetTexture 4 " + white, "SetTexture 5 " + white,
                                        "SetTexture 6 " + white, "SetTexture 7 " + white}));

    seen.clear();
    renderer_.ClearCalls();
    ClearLines();
    zk_batch_renderer.Free();
    EXPECT_EQ(seen, (std::vector<std::string>{"ReleaseBitmap white", "FreeBatchShader default"}));
    EXPECT_EQ(Lines(), std::vector<std::string>{"0:Batch renderer freeing assets."});
    EXPECT_EQ(renderer_.Count("FreeVertexBuffer"), 4 + 16 + 2);
    EXPECT_EQ(renderer_.Count("FreeIndexBuffer"), 2 + 2);
    EXPECT_EQ(zk_batch_renderer.write_pointer, nullptr);
    EXPECT_EQ(zk_batch_renderer.default_shader, nullptr);
    EXPECT_EQ(test_default_shader->name, nullptr);
    ZKI_FreeShader(&zk_state.shaders[1]);
    zk_state.num_shaders = 0;
}

TEST_F(BatchRendererTest, EachFrameTakesARingBufferAgainAfterHandingItsOwnBack) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    for (int frame = 1; frame <= 40; ++frame) {
        SCOPED_TRACE(frame);
        renderer_.ClearCalls();
        zk_batch_renderer.BeginPass();
        EXPECT_TRUE(zk_batch_renderer.in_frame);
        DrawQuads(hero, 3);
        zk_batch_renderer.FrameReady();
        EXPECT_FALSE(zk_batch_renderer.in_frame);
        std::vector<std::string> draws = renderer_.CallsOf("DrawIndexedTriangles");
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_NE(draws[0].find(" 12 "), std::string::npos) << draws[0];
        for (VertexBuffer* buffer : zk_batch_renderer.ring) EXPECT_FALSE(buffer->locked);
    }
}

}  // namespace

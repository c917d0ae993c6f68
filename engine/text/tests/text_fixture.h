// Set-up of the text tests, over GraphicsTest: fonts made by hand, the
// calling thread's text settings back at the engine's defaults, bitmaps and
// shaders that image and shader blocks name, and every quad the batch
// renderer hands to the recording renderer.
//
//   class MyTest : public TextTest {};
//   TEST_F(MyTest, ...) {
//       zk_font_t* font = Latin1Font();
//       ZKI_DrawTextXY(font, 100, 50, text);
//       std::vector<DrawnQuad> quads = Quads();   // flushes first
//   }
//
// The fonts' glyphs are those of sample_glyphs.h: every code from 33 to
// 126 advances 10 and has an 8x12 bitmap at x offset 1, y offset 2; the
// blank advances 5 and has no pixels; 'V' after 'A' is kerned by -2. Line
// spacing 20, height 16. A drawn quad tells its glyph (DrawnQuad::code).
#pragma once

#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/drawing/batch_renderer.h"
#include "engine/fonts/fonts.h"
#include "engine/drawing/graphics_state.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/fonts/tests/font_fixture.h"
#include "engine/drawing/tests/graphics_fixture.h"
#include "engine/fonts/tests/sample_glyphs.h"
#include "engine/text/text.h"
#include "engine/runtime/threads.h"

// A glyph quad as the renderer got it.
struct DrawnQuad {
    uint32_t code;         // the glyph (from its u), 0 for other quads
    float x, y;            // first corner
    float width, height;   // from the first to the fourth corner
    zk_vertex_t corners[4];
    uint32_t color;
    std::string texture;
    std::string shader;    // the last shader set, "" for none
};

struct GlyphMetrics {
    uint32_t code;
    int16_t advance;
    int16_t width, height;
};

class TextTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        ResetTextSettings();
        g()->ZK_Graphics_GetBitmap = FindBitmap;
        g()->ZK_Graphics_GetShader = FindShader;
        Named().clear();
        Shaders().clear();
        renderer_.on_call = [this](const std::string& call) { Capture(call); };
    }
    void TearDown() override {
        renderer_.on_call = nullptr;
        ResetTextSettings();
        Named().clear();
        Shaders().clear();
        GraphicsTest::TearDown();
    }

    static void ResetTextSettings() {
        zk_thread_state_t& t = ZKT_ThreadState();
        t = zk_thread_state_t{t.thread_id, 0, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f};
    }

    // --- Fonts -------------------------------------------------------------------------------
    // A LATIN-1 font of `count` glyphs (the standard metrics above).
    zk_font_t* Latin1Font(int count = ZK_LATIN1_GLYPHS) {
        zk_font_t* font = NewFont("latin1");
        EXPECT_TRUE(ZKI_ResetFontGlyphs(font, count));
        for (int code = 0; code < count; ++code) sample_glyphs::Set(font->glyphs[code], uint32_t(code), &atlas_texture_);
        if (count > 'V') {
            font->glyphs['V'].kern = static_cast<int8_t*>(calloc(size_t(count), 1));
            font->glyphs['V'].kern['A'] = -2;
        }
        return font;
    }
    // A UTF-8 font with the codes 32 to 126 (standard metrics) and the
    // extra glyphs given.
    zk_font_t* Utf8Font(const std::vector<GlyphMetrics>& extra = {}) {
        zk_font_t* font = NewFont("utf8");
        font->utf8 = 1;
        int count = 95 + int(extra.size());
        EXPECT_TRUE(ZKI_ResetFontGlyphs(font, count));
        for (int i = 0; i < 95; ++i) sample_glyphs::Set(font->glyphs[i], uint32_t(32 + i), &atlas_texture_);
        for (size_t i = 0; i < extra.size(); ++i) {
            zk_glyph_t& glyph = font->glyphs[95 + i];
            sample_glyphs::Set(glyph, extra[i].code, &atlas_texture_);
            glyph.advance = extra[i].advance;
            glyph.bitmap.width = extra[i].width;
            glyph.bitmap.height = extra[i].height;
        }
        return font;
    }

    // --- Bitmaps and shaders that blocks name ------------------------------------------------------
    zk_bitmap_t& NamedBitmap(const std::string& name, int width, int height) {
        zk_bitmap_t& bitmap = Bitmap(name, width, height);
        Named()[name] = &bitmap;
        return bitmap;
    }
    // A shader loaded in the renderer (or, without `in_renderer`, a record
    // without renderer object), found by name.
    zk_shader_t* NamedShader(const std::string& name, bool in_renderer = true, const char* tags = nullptr) {
        shader_names_.push_back(name);
        shader_records_.emplace_back();
        zk_shader_t* shader = &shader_records_.back();
        shader->name = &shader_names_.back()[0];
        shader->flags = ZK_SHADER_LOADED;
        shader->renderer_shader = in_renderer ? shader : nullptr;
        shader->tags = const_cast<char*>(tags);
        Shaders()[name] = shader;
        return shader;
    }

    // --- What was drawn ------------------------------------------------------------------------------
    std::vector<DrawnQuad> Quads() {
        zk_batch_renderer.Flush();
        return quads_;
    }
    // The glyphs drawn, in order, as text.
    std::string DrawnText() {
        std::string text;
        for (const DrawnQuad& quad : Quads()) text += char(quad.code);
        return text;
    }
    void ForgetQuads() {
        zk_batch_renderer.Flush();
        quads_.clear();
    }
    std::string AtlasTexture() const { return RecordingRenderer::Pointer(&atlas_texture_); }

    // Draws a copy of the text (the LATIN-1 drawer breaks its text in place).
    float Draw(zk_font_t* font, float x, float y, const std::string& text) {
        std::vector<char> copy(text.begin(), text.end());
        copy.push_back('\0');
        return ZKI_DrawTextXY(font, x, y, copy.data());
    }

private:
    zk_font_t* NewFont(const std::string& name) {
        fonts_.emplace_back(name);
        zk_font_t* font = fonts_.back().get();
        sample_glyphs::SetMetrics(*font);
        return font;
    }
    static std::map<std::string, zk_bitmap_t*>& Named() {
        static std::map<std::string, zk_bitmap_t*> named;
        return named;
    }
    static std::map<std::string, zk_shader_t*>& Shaders() {
        static std::map<std::string, zk_shader_t*> shaders;
        return shaders;
    }
    static zk_bitmap_t* FindBitmap(const char* name) {
        auto found = Named().find(name ? name : "");
        return found == Named().end() ? nullptr : found->second;
    }
    static zk_shader_t* FindShader(const char* name) {
        auto found = Shaders().find(name ? name : "");
        return found == Shaders().end() ? nullptr : found->second;
    }

    // Keeps the texture and shader set last, and the quads of every draw.
    void Capture(const std::string& call) {
        std::istringstream words(call);
        std::string operation, first, second;
        words >> operation >> first >> second;
        if (operation == "SetTexture" && first == "0") texture_ = second;
        if (operation == "SetShader") shader_ = first;
        if (operation != "DrawIndexedTriangles") return;
        for (VertexBuffer* ring : zk_batch_renderer.ring) {
            if (!ring || RecordingRenderer::Pointer(ring) != first) continue;
            const zk_vertex_t* v = static_cast<const zk_vertex_t*>(ring->data);
            for (int k = 0; k + 3 < std::stoi(second); k += 4) {
                DrawnQuad quad;
                quad.code = v[k].u >= 1.0f ? uint32_t(v[k].u) : 0;
                quad.x = v[k].x, quad.y = v[k].y;
                quad.width = v[k + 3].x - v[k].x, quad.height = v[k + 3].y - v[k].y;
                memcpy(quad.corners, v + k, sizeof quad.corners);
                quad.color = v[k].color;
                quad.texture = texture_;
                quad.shader = shader_;
                quads_.push_back(quad);
            }
        }
    }

    std::deque<TestFont> fonts_;
    std::deque<std::string> shader_names_;
    std::deque<zk_shader_t> shader_records_;
    std::vector<DrawnQuad> quads_;
    std::string texture_, shader_;
    int atlas_texture_ = 0;
};

// Drawing text with the default shader current, also as the batch's font
// shader; colours compared as the vertices pack them.
class TextDrawingTest : public TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        default_shader_ = NamedShader("default");
        BatchRenderer& batch = zk_batch_renderer;
        batch.default_shader = batch.font_shader = batch.current_shader = default_shader_;
    }
    static uint32_t Packed(float r, float g, float b, float a = 1.0f) {
        return ZKI_PackVertexColor(color_t{r, g, b, a});
    }
    zk_shader_t* default_shader_ = nullptr;
};

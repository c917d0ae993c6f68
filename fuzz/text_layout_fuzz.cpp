// Arbitrary bytes as text through layout and drawing: measured, broken into
// a few lines in a buffer with exactly the room the breaker asks for, drawn
// through the null renderer and checked for glyphs, with LATIN-1 fonts of
// 256, 100, 40 or no glyphs, or a UTF-8 font with wide characters.
//
// Byte 0 picks the font (bits 0-2), the textbox (bits 3-4), spacing and
// alignment (bit 5), scale and rotation (bit 6) and a bad font scale
// (bit 7); byte 1 the line limit of the breaker; the rest is the text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/drawing/batch_renderer.h"
#include "engine/fonts/fonts.h"
#include "engine/screen/renderer_interface.h"
#include "engine/fonts/tests/sample_glyphs.h"
#include "engine/text/text.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"
#include "fuzz/engine_fuzz_setup.h"

namespace {

void Check(bool condition) {
    if (!condition) abort();
}

int texture_object;
zk_bitmap_t picture;

// Every image block names this picture; shader blocks name no shader.
zk_bitmap_t* AnyBitmap(const char*) { return &picture; }
zk_shader_t* NoShader(const char*) { return nullptr; }

// Glyphs of the sample metrics; one in three LATIN-1 glyphs is kerned.
void SetGlyph(zk_glyph_t& glyph, uint32_t code, int count, bool kerned) {
    sample_glyphs::Set(glyph, code, &texture_object);
    if (!kerned || count <= 0) return;
    glyph.kern = static_cast<int8_t*>(calloc(size_t(count), 1));
    for (int i = 0; i < count; ++i) glyph.kern[i] = int8_t(int(code + uint32_t(i)) % 5 - 2);
}

struct Fonts {
    zk_font_t latin1[4] = {};  // 256, 100, 40 and no glyphs
    zk_font_t utf8 = {};

    Fonts() {
        const int counts[4] = {256, 100, 40, 0};
        for (int f = 0; f < 4; ++f) {
            Init(latin1[f], "latin1");
            ZKI_ResetFontGlyphs(&latin1[f], counts[f]);
            for (int c = 0; c < counts[f]; ++c) SetGlyph(latin1[f].glyphs[c], uint32_t(c), counts[f], c % 3 == 0);
        }
        Init(utf8, "utf8");
        utf8.utf8 = 1;
        const uint32_t wide[] = {0x65E5, 0x672C, 0x8A9E, 12290, 65292, 0xFFFD};
        ZKI_ResetFontGlyphs(&utf8, 95 + 6);
        for (int c = 0; c < 95; ++c) SetGlyph(utf8.glyphs[c], uint32_t(32 + c), 0, false);
        for (int c = 0; c < 6; ++c) SetGlyph(utf8.glyphs[95 + c], wide[c], 0, false);
    }
    static void Init(zk_font_t& font, const char* name) {
        font.name = strdup(name);
        sample_glyphs::SetMetrics(font);
    }
};

Fonts& SetUpOnce() {
    static Fonts* fonts = nullptr;
    if (fonts) return *fonts;
    ZKFuzzEngineFolder("zk-text-layout-fuzz");
    ZKI_LoadRendImp();
    zk_state.renderer_initialized = 1;
    zk_batch_renderer.Initialize();
    zk_batch_renderer.BeginPass();
    zk->graphics->ZK_Graphics_GetBitmap = AnyBitmap;
    zk->graphics->ZK_Graphics_GetShader = NoShader;
    picture.width = picture.texture_width = 16;
    picture.height = picture.texture_height = 16;
    picture.state = 3;
    picture.hw_data.loaded = 1;
    picture.hw_data.uv[2] = picture.hw_data.uv[3] = 1.0f;
    picture.hw_data.renderer_data = &texture_object;
    fonts = new Fonts();
    return *fonts;
}

template <class Char>
void CheckLines(int count, int max_lines, Char* const* starts, const Char* begin, const Char* end) {
    Check(count >= 0 && count <= max_lines);
    for (int i = 0; i < count; ++i) Check(starts[i] >= begin && starts[i] <= end);
}

// The breaker on a buffer with exactly the room it asks for: the text, its
// 0 and one place per line.
void BreakIntoFewLines(zk_font_t* font, const std::string& text, int max_lines, int width) {
    std::vector<float> widths(size_t(max_lines) + 1);
    if (font->utf8) {
        std::vector<uint32_t> decoded(text.size() + 1);
        int length = ZKI_DecodeUTF8(text.c_str(), int(text.size()), decoded.data());
        Check(length >= 0 && size_t(length) <= text.size() && decoded[size_t(length)] == 0);
        std::vector<unsigned int> room(decoded.begin(), decoded.begin() + length + 1);
        room.resize(size_t(length) + 1 + size_t(max_lines));
        std::vector<unsigned int*> starts(size_t(max_lines) + 1);
        int count = ZKI_ParseTextLines_UTF32(font, width, room.data(), starts.data(), widths.data(), max_lines);
        CheckLines(count, max_lines, starts.data(), room.data(), room.data() + room.size());
        return;
    }
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    std::vector<unsigned char*> starts(size_t(max_lines) + 1);
    int count = ZKI_ParseTextLines_LATIN1(font, width, copy.data(), starts.data(), widths.data(), max_lines);
    const unsigned char* begin = reinterpret_cast<const unsigned char*>(copy.data());
    CheckLines(count, max_lines, starts.data(), begin, begin + copy.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fonts& fonts = SetUpOnce();
    if (size < 2) return 0;
    const uint8_t options = data[0];
    const int max_lines = 1 + data[1] % 8;
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    text = text.c_str();  // up to the first 0, as callers hand it over

    zk_font_t* font = (options & 7) < 4 ? &fonts.latin1[options & 3] : &fonts.utf8;
    font->scale = (options & 128) ? 0.0f : 1.0f;
    const float boxes[4] = {0.0f, 30.0f, 200.0f, float(data[1])};
    zk_graphics_api_t* g = zk->graphics;
    g->ZK_Graphics_SetTextboxWidth(boxes[options >> 3 & 3]);
    g->ZK_Graphics_SetTextHorizontalSpacing((options & 32) ? 1.5f : 0.0f);
    g->ZK_Graphics_SetTextVerticalSpacing((options & 32) ? 3.0f : 0.0f);
    g->ZK_Graphics_SetTextAlign((options & 32) ? data[1] & 15u : 0u);
    g->ZK_Graphics_SetTextTransform((options & 64) ? 0.5f : 1.0f, (options & 64) ? 2.0f : 1.0f,
                                    (options & 64) ? 0.3f : 0.0f);
    g->ZK_Graphics_SetColor(1.0f, 1.0f, 1.0f);
    g->ZK_Graphics_SetAlpha(1.0f);

    float width = 0, height = 0;
    ZKI_GetTextSize(font, text.c_str(), width, height);
    Check(!std::isnan(height));
    BreakIntoFewLines(font, text, max_lines, int(boxes[options >> 3 & 3]));

    std::vector<char> drawn(text.begin(), text.end());
    drawn.push_back('\0');
    ZKI_DrawTextXY(font, 10.0f, 20.0f, drawn.data());
    zk_batch_renderer.Flush();
    ZKI_FontHasGlyphsToDrawText(font, text.c_str());
    return 0;
}

// Glyphs per second through text layout (measuring a paragraph, and the
// line breaker alone) and text drawing (batched glyph quads through the null
// renderer), with a LATIN-1 font of 256 kerned glyphs and a UTF-8 font of
// 316 glyphs (Latin, Greek, Cyrillic and CJK) found by code point.
// Run: build-release/bench/media_text_bench
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/null_renderer_setup.h"
#include "engine/drawing/batch_renderer.h"
#include "engine/fonts/fonts.h"
#include "engine/fonts/tests/sample_glyphs.h"
#include "engine/text/text.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"

namespace {

const float kBoxWidth = 400.0f;
int texture_object;

// Glyphs of the sample metrics; every LATIN-1 glyph is kerned.
void SetGlyph(zk_glyph_t& glyph, uint32_t code, int count, bool kerned) {
    sample_glyphs::Set(glyph, code, &texture_object);
    if (!kerned) return;
    glyph.kern = static_cast<int8_t*>(calloc(size_t(count), 1));
    for (int i = 0; i < count; ++i) glyph.kern[i] = int8_t(int(code * 7 + uint32_t(i)) % 3 - 1);
}

void InitFont(zk_font_t& font, const char* name) {
    font.name = strdup(name);
    sample_glyphs::SetMetrics(font);
}

zk_font_t latin1_font, utf8_font;
std::string latin1_text, utf8_text;
size_t latin1_glyphs, utf8_glyphs;

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6), out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | c >> 12), out += char(0x80 | (c >> 6 & 0x3F)), out += char(0x80 | (c & 0x3F));
    }
}

void SetUpOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    StartEngineWithNullRenderer();

    InitFont(latin1_font, "latin1");
    ZKI_ResetFontGlyphs(&latin1_font, ZK_LATIN1_GLYPHS);
    for (int c = 0; c < ZK_LATIN1_GLYPHS; ++c) SetGlyph(latin1_font.glyphs[c], uint32_t(c), ZK_LATIN1_GLYPHS, true);

    std::vector<uint32_t> codes;
    for (uint32_t c = 32; c < 127; ++c) codes.push_back(c);
    for (uint32_t c = 0x391; c <= 0x3C9; ++c) codes.push_back(c);   // Greek
    for (uint32_t c = 0x410; c <= 0x44F; ++c) codes.push_back(c);   // Cyrillic
    for (uint32_t c = 0x4E00; c < 0x4E64; ++c) codes.push_back(c);  // CJK
    InitFont(utf8_font, "utf8");
    utf8_font.utf8 = 1;
    ZKI_ResetFontGlyphs(&utf8_font, int(codes.size()));
    for (size_t i = 0; i < codes.size(); ++i) SetGlyph(utf8_font.glyphs[i], codes[i], 0, false);

    // About 4000 characters: words of 2 to 9 letters, a colour block now and
    // then; the UTF-8 text mixes Latin, Greek and Cyrillic words with runs of
    // CJK without blanks.
    unsigned seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    while (latin1_text.size() < 4000) {
        int letters = 2 + int(next() % 8);
        for (int i = 0; i < letters; ++i) latin1_text += char('a' + next() % 26);
        latin1_text += next() % 40 == 0 ? " |FF8000|" : " ";
    }
    for (int word = 0; utf8_glyphs < 3000; ++word) {
        int letters = 2 + int(next() % 8);
        int script = word % 4;
        for (int i = 0; i < letters; ++i) {
            uint32_t c = script == 0   ? 'a' + next() % 26
                         : script == 1 ? 0x3B1 + next() % 24
                         : script == 2 ? 0x430 + next() % 32
                                       : 0x4E00 + next() % 100;
            AppendUtf8(utf8_text, c);
            ++utf8_glyphs;
        }
        utf8_text += ' ';
        ++utf8_glyphs;
    }
    bool in_block = false;
    for (char c : latin1_text) {
        if (c == '|') in_block = !in_block;
        if (c != '|' && !in_block) ++latin1_glyphs;
    }
    ZKT_ThreadState().textbox_width = kBoxWidth;
    ZKT_ThreadState().text_scale_x = ZKT_ThreadState().text_scale_y = 1.0f;
}

void Measure(benchmark::State& state, zk_font_t* font, const std::string& text, size_t glyphs) {
    SetUpOnce();
    float width = 0, height = 0;
    for (auto _ : state) {
        ZKI_GetTextSize(font, text.c_str(), width, height);
        benchmark::DoNotOptimize(width);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(glyphs));
    state.counters["lines"] = height / 20.0f;
}

void Draw(benchmark::State& state, zk_font_t* font, const std::string& text, size_t glyphs) {
    SetUpOnce();
    std::vector<char> copy(text.size() + 1);
    for (auto _ : state) {
        memcpy(copy.data(), text.c_str(), text.size() + 1);
        benchmark::DoNotOptimize(ZKI_DrawTextXY(font, 10.0f, 10.0f, copy.data()));
        zk_batch_renderer.Flush();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(glyphs));
}

void Latin1Layout(benchmark::State& state) { Measure(state, &latin1_font, latin1_text, latin1_glyphs); }
void Latin1LineBreaker(benchmark::State& state) {
    SetUpOnce();
    std::vector<char> copy(latin1_text.size() + 1);
    unsigned char* starts[ZK_TEXT_LINES_MEASURED];
    float widths[ZK_TEXT_LINES_MEASURED];
    for (auto _ : state) {
        memcpy(copy.data(), latin1_text.c_str(), copy.size());
        benchmark::DoNotOptimize(ZKI_ParseTextLines_LATIN1(&latin1_font, int(kBoxWidth), copy.data(), starts, widths,
                                                           ZK_TEXT_LINES_MEASURED));
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(latin1_glyphs));
}
void Latin1Drawing(benchmark::State& state) { Draw(state, &latin1_font, latin1_text, latin1_glyphs); }
void Utf8Layout(benchmark::State& state) { Measure(state, &utf8_font, utf8_text, utf8_glyphs); }
void Utf8Drawing(benchmark::State& state) { Draw(state, &utf8_font, utf8_text, utf8_glyphs); }

}  // namespace

BENCHMARK(Latin1Layout);
BENCHMARK(Latin1LineBreaker);
BENCHMARK(Latin1Drawing);
BENCHMARK(Utf8Layout);
BENCHMARK(Utf8Drawing);
BENCHMARK_MAIN();

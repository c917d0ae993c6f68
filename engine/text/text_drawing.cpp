// Text drawing: lines laid out, aligned and drawn as one batched quad per
// glyph with the font's shader, the colour, shader and image blocks along
// the way, the thread's scale and rotation, and the smoothing of
// distance-field fonts.

#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "engine/base/nstring.h"
#include "engine/base/ntransform.h"
#include "engine/drawing/batch_renderer.h"
#include "engine/drawing/shader_functions.h"
#include "engine/text/text_walk.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"

namespace zk_text {

namespace {

const float kUnscaled = 0.0001f;
// Image blocks of bitmap fonts sit this many pixels lower.
const float kBitmapFontImageDrop = 3.0f;

// Where glyphs go: straight to the screen, or, once the text is rotated or
// scaled, through the text's 2x2 matrix about the point it is drawn at.
struct Placement {
    bool transformed;
    mat2_t matrix;
    vec2_t pivot;
    float angle;
    float scale_x;

    Placement(float x, float y, float text_angle, float sx, float sy) {
        transformed = text_angle != 0.0f || std::fabs(sx - 1.0f) > kUnscaled || std::fabs(sy - 1.0f) > kUnscaled;
        float c = std::cos(text_angle), s = std::sin(text_angle);
        matrix = {{c * sx, -s * sy, s * sx, c * sy}};
        pivot = {x, y};
        angle = transformed ? text_angle : 0.0f;
        scale_x = transformed ? sx : 1.0f;
    }
    void Glyph(zk_bitmap_t* bitmap, float x, float y) {
        if (transformed) {
            ZK_DrawTextBatchBitmapT(bitmap, x, y, &matrix, &pivot);
        } else {
            ZK_DrawTextBatchBitmap(bitmap, x, y);
        }
    }
    vec2_t Map(float x, float y) const {
        if (!transformed) return {x, y};
        const float* m = matrix.m;
        float dx = x - pivot.x, dy = y - pivot.y;
        return {m[0] * dx + m[1] * dy + pivot.x, m[2] * dx + m[3] * dy + pivot.y};
    }
};

bool IsNamed(const char* name, const char* wanted) { return strcmp(name, wanted) == 0; }

// Draws the lines of one text; the glyphs' shader is the current one when
// drawing starts.
template <class Glyphs>
class TextDrawer {
public:
    typedef typename Glyphs::Char Char;

    TextDrawer(Glyphs& glyphs, const Settings& settings, const Placement& place)
        : glyphs_(glyphs), font_(glyphs.font), place_(place), graphics_(zk->graphics) {
        w_s_ = settings.scale_x * settings.horizontal_spacing;
        text_shader_ = zk_batch_renderer.current_shader;
    }

    void DrawLine(const Char* at, float pen, float line_y) {
        char buffer[kBlockText];
        uint32_t previous = 0;
        for (;;) {
            Item<Char> item = ReadItem(at, buffer);
            switch (item.kind) {
            case ITEM_END:
                return;
            case ITEM_GLYPH:
                pen = Glyph(item.code, previous, pen, line_y);
                previous = item.code;
                break;
            case ITEM_COLOR:
                Color(item.content);
                break;
            case ITEM_SHADER:
                Shader(item.content);
                break;
            case ITEM_IMAGE:
                if (Image(item.content, pen, line_y)) previous = 0;
                break;
            case ITEM_SCALE:
                break;
            }
            at = item.next;
        }
    }

private:
    float Glyph(uint32_t code, uint32_t previous, float pen, float line_y) {
        zk_glyph_t* glyph = glyphs_.Find(code);
        if (!glyph) return pen;
        pen += glyphs_.Kern(glyph, previous);
        if (HasPixels(glyph)) place_.Glyph(&glyph->bitmap, pen + glyph->x_offset, line_y + glyph->y_offset);
        return pen + glyph->advance + w_s_;
    }

    void Color(const char* content) {
        color_t colour = {};
        bool has_alpha = false;
        if (!ParseColorBlock(content, colour, has_alpha)) return;
        graphics_->ZK_Graphics_SetColor(colour.r, colour.g, colour.b);
        if (has_alpha) graphics_->ZK_Graphics_SetAlpha(colour.a);
    }

    void Shader(const char* content) {
        char name[ZK_TEXT_BLOCK_VALUE];
        ShaderBlockName(content, name, sizeof name);
        zk_shader_t* shader = IsNamed(name, "NULL") ? nullptr : graphics_->ZK_Graphics_GetShader(name);
        if (shader && IsDistanceFieldFont(font_) && graphics_->ZK_Graphics_ShaderTagExists(shader, "DISTANCE_FIELD")) {
            SetDistanceFieldSmoothing(font_, shader);
        }
        ZKI_MakeShaderCurrent(shader);
        text_shader_ = zk_batch_renderer.current_shader;
    }

    // An image centred on its place in the line, in its own colour and
    // shader; the text's colour and shader come back after it.
    bool Image(const char* content, float& pen, float line_y) {
        int offset = 0;
        float angle = 0.0f, scale = 1.0f;
        color_t colour = {};
        zk_shader_t* shader = nullptr;
        zk_bitmap_t* bitmap = ParseImageBlock_LATIN1(content, &offset, &angle, &scale, &colour, &shader);
        if (!bitmap) return false;
        scale /= FontScale(font_);
        float width = float(bitmap->width) * scale;
        vec2_t centre = place_.Map(pen + width / 2.0f, line_y + float(offset) + ImageMiddle());
        color_t text_colour = graphics_->ZK_Graphics_GetColor();
        graphics_->ZK_Graphics_SetColor(colour.r, colour.g, colour.b);
        graphics_->ZK_Graphics_SetAlpha(colour.a);
        ZKI_MakeShaderCurrent(shader);
        graphics_->ZK_Graphics_DrawBitmapRS(bitmap, centre.x, centre.y, angle + place_.angle, scale * place_.scale_x);
        ZKI_MakeShaderCurrent(text_shader_);
        graphics_->ZK_Graphics_SetColor(text_colour.r, text_colour.g, text_colour.b);
        graphics_->ZK_Graphics_SetAlpha(text_colour.a);
        pen += width + w_s_;
        return true;
    }

    // Images are centred on the middle of the glyph 'a' (of the middle
    // glyph of a UTF-8 font without one).
    float ImageMiddle() {
        const zk_glyph_t* a = glyphs_.FindSilently('a');
        if (!a && font_->utf8 && font_->num_glyphs > 0 && font_->glyphs) a = &font_->glyphs[font_->num_glyphs / 2];
        float middle = a ? (float(a->bitmap.height) + a->y_offset) / 2.0f : 0.0f;
        if (!IsDistanceFieldFont(font_)) middle += kBitmapFontImageDrop / FontScale(font_);
        return middle;
    }

    Glyphs& glyphs_;
    zk_font_t* font_;
    Placement place_;
    zk_graphics_api_t* graphics_;
    float w_s_;
    zk_shader_t* text_shader_;
};

inline int ParseLines(zk_font_t* font, int width, unsigned char* text, unsigned char** starts, float* widths) {
    return ZKI_ParseTextLines_LATIN1(font, width, reinterpret_cast<char*>(text), starts, widths, ZK_TEXT_LINES);
}
inline int ParseLines(zk_font_t* font, int width, unsigned int* text, unsigned int** starts, float* widths) {
    return ZKI_ParseTextLines_UTF32(font, width, text, starts, widths, ZK_TEXT_LINES);
}

template <class Glyphs>
float DrawText(Glyphs& glyphs, float x, float y, typename Glyphs::Char* text) {
    typedef typename Glyphs::Char Char;
    zk_font_t* font = glyphs.font;
    const Settings s = CurrentSettings();
    const float sx = s.scale_x * FontScale(font), sy = s.scale_y;
    const float v_s = s.vertical_spacing * sy;
    Placement place(x, y, s.angle, sx, FontScale(font) * sy);
    if (!IsDistanceFieldFont(font)) y -= 2.0f * sy;

    Char* starts[ZK_TEXT_LINES];
    float widths[ZK_TEXT_LINES];
    int lines = ParseLines(font, WrapWidth(font, s), text, starts, widths);
    const float line_height = float(font->line_spacing);
    const float block = float(lines) * line_height + float(lines - 1) * v_s;
    if (s.align & ZK_TEXT_ALIGN_BOTTOM) {
        y -= block;
    } else if (s.align & ZK_TEXT_ALIGN_MIDDLE) {
        y -= block / 2.0f;
    }

    TextDrawer<Glyphs> drawer(glyphs, s, place);
    float widest = 0.0f;
    for (int i = 0; i < lines; ++i) {
        float pen = x;
        if (s.align & ZK_TEXT_ALIGN_RIGHT) {
            pen -= widths[i];
        } else if (s.align & ZK_TEXT_ALIGN_CENTER) {
            pen -= widths[i] / 2.0f;
        }
        drawer.DrawLine(starts[i], pen, y);
        y += line_height + v_s;
        if (widths[i] > widest) widest = widths[i];
    }
    return widest;
}

bool CanDraw(const zk_font_t* font) { return font && font->height >= 1; }

// Where the current transforms and the viewport put a point of text space,
// in screen pixels; false when it lies at infinity.
bool OnScreen(const nTransform& m, float x, float y, int width, int height, vec2_t& out) {
    const float* e = m.m;
    float cx = e[0] * x + e[1] * y + e[3];
    float cy = e[4] * x + e[5] * y + e[7];
    float cw = e[12] * x + e[13] * y + e[15];
    if (cw == 0.0f) return false;
    out = {(cx / cw + 1.0f) * 0.5f * float(width), (cy / cw + 1.0f) * 0.5f * float(height)};
    return true;
}

// Screen pixels one unit of text space spans; 0 when it cannot be told.
float PixelsPerTextUnit() {
    zk_graphics_api_t* g = zk->graphics;
    nTransform world_view, all;
    nTransform::Combine(world_view, g->ZK_Graphics_PeekViewTransform(), g->ZK_Graphics_PeekWorldTransform());
    nTransform::Combine(all, g->ZK_Graphics_PeekProjectionTransform(), world_view);
    int width = 0, height = 0;
    g->ZKI_Graphics_GetViewportDimensions(width, height);
    vec2_t origin, unit;
    if (!OnScreen(all, 0.0f, 0.0f, width, height, origin) || !OnScreen(all, 1.0f, 0.0f, width, height, unit)) {
        return 0.0f;
    }
    return std::hypot(unit.x - origin.x, unit.y - origin.y);
}

}  // namespace

}  // namespace zk_text

using namespace zk_text;

namespace {

// The scratch quad over the bitmap at x, y with its UV rectangle.
zk_vertex_t* GlyphQuad(const zk_bitmap_t* bitmap, float x, float y) {
    const float w = float(bitmap->width), h = float(bitmap->height);
    const float* uv = bitmap->hw_data.uv;
    zk_vertex_t* quad = zk_state.quad_vertices;
    const float corners[4][4] = {
        {x, y, uv[0], uv[1]}, {x + w, y, uv[2], uv[1]}, {x, y + h, uv[0], uv[3]}, {x + w, y + h, uv[2], uv[3]}};
    for (int k = 0; k < 4; ++k) {
        quad[k].x = corners[k][0];
        quad[k].y = corners[k][1];
        quad[k].u = corners[k][2];
        quad[k].v = corners[k][3];
    }
    return quad;
}

bool AlphaVisible() { return zk_state.current_color[3] > 0.0f; }

}  // namespace

void ZK_DrawTextBatchBitmap(zk_bitmap_t* bitmap, float x, float y) {
    if (!bitmap || !AlphaVisible()) return;
    zk_batch_renderer.DrawQuad(bitmap, GlyphQuad(bitmap, x, y));
}

void ZK_DrawTextBatchBitmapT(zk_bitmap_t* bitmap, float x, float y, mat2_t* matrix, vec2_t* pivot) {
    if (!bitmap || !matrix || !pivot || !AlphaVisible()) return;
    zk_vertex_t* quad = GlyphQuad(bitmap, x, y);
    const float* m = matrix->m;
    for (int k = 0; k < 4; ++k) {
        float dx = quad[k].x - pivot->x, dy = quad[k].y - pivot->y;
        quad[k].x = m[0] * dx + m[1] * dy + pivot->x;
        quad[k].y = m[2] * dx + m[3] * dy + pivot->y;
    }
    zk_batch_renderer.DrawQuad(bitmap, quad);
}

void SetDistanceFieldSmoothing(zk_font_t* font, zk_shader_t* shader) {
    if (!font || !shader) return;
    const Settings s = CurrentSettings();
    float size = PixelsPerTextUnit() * (s.scale_x > s.scale_y ? s.scale_x : s.scale_y) * FontScale(font) * font->spread;
    if (!(size > 0.0f) || !std::isfinite(size)) return;
    float value = font->smoothing / size;
    zk_graphics_api_t* g = zk->graphics;
    const void* current = g->ZK_Graphics_GetShaderPixelConstant(shader, 0);
    const zk_shader_t::constant_table_t& table = shader->pixel_constants;
    if (!current || table.count < 1 || table.entries[0].size < sizeof(float)) return;
    float now;
    memcpy(&now, current, sizeof now);
    if (now == value) return;
    // The constant is set whole: the value goes into its first float.
    uint16_t size_in_bytes = table.entries[0].size;
    uint8_t* whole = static_cast<uint8_t*>(malloc(size_in_bytes));
    if (!whole) return;
    memcpy(whole, current, size_in_bytes);
    memcpy(whole, &value, sizeof value);
    g->ZK_Graphics_SetShaderPixelConstant(shader, 0, 0, whole, 1);
    free(whole);
}

float ZKI_DrawTextXY_LATIN1(zk_font_t* font, float x, float y, char* text) {
    if (!CanDraw(font) || !text) return 0.0f;
    Latin1Glyphs glyphs{font};
    return DrawText(glyphs, x, y, reinterpret_cast<unsigned char*>(text));
}

float ZKI_DrawTextXY_UTF8(zk_font_t* font, float x, float y, const char* text) {
    if (!CanDraw(font) || !text) return 0.0f;
    Utf32Text decoded(text);
    if (!decoded.get()) return 0.0f;
    Utf32Glyphs glyphs{font};
    return DrawText(glyphs, x, y, decoded.get());
}

float ZKI_DrawTextXY(zk_font_t* font, float x, float y, char* text) {
    if (!font || !text || !*text) return 0.0f;
    BatchRenderer& batch = zk_batch_renderer;
    zk_shader_t* shader = batch.font_shader;
    if (IsDistanceFieldFont(font)) {
        if (shader == batch.default_shader) shader = batch.distance_field_shader;
        SetDistanceFieldSmoothing(font, shader);
    }
    zk_shader_t* before = batch.current_shader;
    ZKI_MakeShaderCurrent(shader);
    float widest = font->utf8 ? ZKI_DrawTextXY_UTF8(font, x, y, text) : ZKI_DrawTextXY_LATIN1(font, x, y, text);
    ZKI_MakeShaderCurrent(before);
    return widest;
}

float ZK_Graphics_DrawTextf(zk_font_t* font, const float& x, const float& y, const char* format, ...) {
    if (!font || !format || font->height == 0) return 0.0f;
    char stack[4096];
    va_list args;
    va_start(args, format);
    char* text = nStringFormatDynamic(stack, sizeof stack, format, args);
    va_end(args);
    float widest = ZKI_DrawTextXY(font, x, y, text);
    if (text != stack) delete[] text;
    return widest;
}

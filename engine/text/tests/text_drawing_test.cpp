// Text drawing through the batch renderer and the recording renderer:
// glyph quads, alignment, colour, shader and image blocks, alpha 0, scale
// and rotation, distance-field smoothing, the font shader and the glyph
// check.

#include <cmath>
#include <string>
#include <vector>

#include "engine/text/tests/text_fixture.h"
#include "engine/runtime/interface_functions.h"

namespace {

const float kPi = 3.14159265358979f;

vec2_t Centre(const DrawnQuad& quad) {
    vec2_t sum = {0, 0};
    for (const zk_vertex_t& v : quad.corners) sum.x += v.x / 4, sum.y += v.y / 4;
    return sum;
}

TEST_F(TextDrawingTest, GlyphsAreQuadsAtThePenWithTheirOffsetsAndAtlasPlace) {
    zk_font_t* font = Latin1Font();
    EXPECT_EQ(Draw(font, 100, 50, "ab"), 20.0f);
    std::vector<DrawnQuad> quads = Quads();
    ASSERT_EQ(quads.size(), 2u);
    // A bitmap font's text sits 2 pixels higher; the glyph's y offset is 2.
    const float corners[4][4] = {{101, 50, 97, 0}, {109, 50, 97.5f, 0}, {101, 62, 97, 1}, {109, 62, 97.5f, 1}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(quads[0].corners[k].x, corners[k][0]) << k;
        EXPECT_EQ(quads[0].corners[k].y, corners[k][1]) << k;
        EXPECT_EQ(quads[0].corners[k].u, corners[k][2]) << k;
        EXPECT_EQ(quads[0].corners[k].v, corners[k][3]) << k;
    }
    EXPECT_EQ(quads[0].texture, AtlasTexture());
    EXPECT_EQ(quads[1].x, 111.0f);
    EXPECT_EQ(quads[1].code, uint32_t('b'));

    // A blank has no pixels: nothing is drawn, but the pen moves on. 'V'
    // after 'A' moves back by its kerning.
    ForgetQuads();
    Draw(font, 100, 50, "a bAV");
    EXPECT_EQ(DrawnText(), "abAV");
    std::vector<float> xs;
    for (const DrawnQuad& quad : Quads()) xs.push_back(quad.x);
    EXPECT_EQ(xs, (std::vector<float>{101, 116, 126, 134}));
}

TEST_F(TextDrawingTest, AlignmentTable) {
    zk_font_t* font = Latin1Font();
    struct Case {
        const char* name;
        unsigned align;
        float vertical_spacing;
        float first_x[2];
        float first_y[2];
    } cases[] = {
        {"left, top", 0, 0, {201, 201}, {100, 120}},
        {"right: lines end at x", ZK_TEXT_ALIGN_RIGHT, 0, {181, 161}, {100, 120}},
        {"centred on x", ZK_TEXT_ALIGN_CENTER, 0, {191, 181}, {100, 120}},
        {"bottom: the last line ends at y", ZK_TEXT_ALIGN_BOTTOM, 0, {201, 201}, {60, 80}},
        {"bottom with vertical spacing", ZK_TEXT_ALIGN_BOTTOM, 5, {201, 201}, {55, 80}},
        {"centred on y", ZK_TEXT_ALIGN_MIDDLE, 0, {201, 201}, {80, 100}},
        {"right and bottom", ZK_TEXT_ALIGN_RIGHT | ZK_TEXT_ALIGN_BOTTOM, 0, {181, 161}, {60, 80}},
    };
    for (const Case& c : cases) {
        ForgetQuads();
        g()->ZK_Graphics_SetTextAlign(c.align);
        g()->ZK_Graphics_SetTextVerticalSpacing(c.vertical_spacing);
        EXPECT_EQ(Draw(font, 200, 100, "ab\nabcd"), 40.0f) << c.name;
        std::vector<DrawnQuad> quads = Quads();
        ASSERT_EQ(quads.size(), 6u) << c.name;
        EXPECT_EQ(quads[0].x, c.first_x[0]) << c.name;
        EXPECT_EQ(quads[0].y, c.first_y[0]) << c.name;
        EXPECT_EQ(quads[2].x, c.first_x[1]) << c.name;
        EXPECT_EQ(quads[2].y, c.first_y[1]) << c.name;
    }
}

TEST_F(TextDrawingTest, ColourBlocksColourTheGlyphsAfterThem) {
    zk_font_t* font = Latin1Font();
    Draw(font, 0, 0, "|00FF00|go|FFFFFF|!");
    std::vector<DrawnQuad> quads = Quads();
    ASSERT_EQ(DrawnText(), "go!");
    EXPECT_EQ(quads[0].color, Packed(0, 1, 0));
    EXPECT_EQ(quads[1].color, Packed(0, 1, 0));
    EXPECT_EQ(quads[2].color, Packed(1, 1, 1));

    // Eight digits carry alpha; a '#' may come first; what is left stays
    // set after the text.
    ForgetQuads();
    Draw(font, 0, 0, "a|#FF000080|b");
    quads = Quads();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[1].color, Packed(1, 0, 0, 128 / 255.0f));
    EXPECT_EQ(g()->ZK_Graphics_GetAlpha(), 128 / 255.0f);
    // A block of fewer than six digits changes nothing.
    ForgetQuads();
    Draw(font, 0, 0, "|0F0|c");
    EXPECT_EQ(Quads()[0].color, Packed(1, 0, 0, 128 / 255.0f));
}

TEST_F(TextDrawingTest, WithAlphaZeroNothingIsDrawnButTheWidestLineIsReported) {
    zk_font_t* font = Latin1Font();
    g()->ZK_Graphics_SetAlpha(0.0f);
    EXPECT_EQ(Draw(font, 0, 0, "ab\nabcd"), 40.0f);
    EXPECT_TRUE(Quads().empty());
    // A colour block with alpha brings the text back.
    Draw(font, 0, 0, "a|FFFFFFFF|b");
    EXPECT_EQ(DrawnText(), "b");
}

TEST_F(TextDrawingTest, ShaderBlocksSwitchTheShaderForTheFollowingGlyphs) {
    zk_font_t* font = Latin1Font();
    NamedShader("glow");
    NamedShader("unloaded", false);
    Draw(font, 0, 0, "a|shader='glow'|b|shader='NULL'|c|shader='glow'|d|shader='unloaded'|e");
    std::vector<DrawnQuad> quads = Quads();
    std::vector<std::string> shaders;
    for (const DrawnQuad& quad : quads) shaders.push_back(quad.shader);
    EXPECT_EQ(shaders, (std::vector<std::string>{"default", "glow", "default", "glow", "default"}));
    EXPECT_EQ(zk_batch_renderer.current_shader, default_shader_);

    // The font shader draws the text; the shader current before comes back.
    zk_shader_t* fancy = NamedShader("fancy");
    zk_shader_t* program = NamedShader("program");
    g()->ZK_Graphics_SetFontShader(fancy);
    g()->ZK_Graphics_SetShader(program);
    ForgetQuads();
    Draw(font, 0, 0, "a|shader='glow'|b");
    quads = Quads();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[0].shader, "fancy");
    EXPECT_EQ(quads[1].shader, "glow");
    EXPECT_EQ(zk_batch_renderer.current_shader, program);
}

TEST_F(TextDrawingTest, SetFontShaderTakesOnlyLoadedShaders) {
    zk_shader_t* loaded = NamedShader("loaded");
    zk_shader_t* no_object = NamedShader("no object", false);
    zk_shader_t not_loaded = {};
    not_loaded.renderer_shader = &not_loaded;
    struct Case {
        const char* name;
        zk_shader_t* given;
        zk_shader_t* font_shader;
    } cases[] = {
        {"a loaded shader", loaded, loaded},
        {"one not loaded is ignored", &not_loaded, loaded},
        {"one without renderer object gives the default", no_object, default_shader_},
        {"null gives the default", nullptr, default_shader_},
    };
    zk_batch_renderer.font_shader = nullptr;
    for (const Case& c : cases) {
        g()->ZK_Graphics_SetFontShader(c.given);
        EXPECT_EQ(zk_batch_renderer.font_shader, c.font_shader) << c.name;
    }
}

TEST_F(TextDrawingTest, TextureInputsAreFoundByName) {
    zk_shader_t* shader = NamedShader("inputs");
    char diffuse[] = "diffuse", normals[] = "normals";
    shader->texture_inputs[0].name = diffuse;
    shader->texture_inputs[1].name = normals;
    shader->num_texture_inputs = 2;
    EXPECT_EQ(g()->ZK_Graphics_GetTextureInputIndex(shader, "normals"), 1);
    EXPECT_EQ(g()->ZK_Graphics_GetTextureInputIndex(shader, "diffuse"), 0);
    EXPECT_EQ(g()->ZK_Graphics_GetTextureInputIndex(shader, "Diffuse"), -1);
    EXPECT_EQ(g()->ZK_Graphics_GetTextureInputIndex(shader, nullptr), -1);
    EXPECT_EQ(g()->ZK_Graphics_GetTextureInputIndex(nullptr, "diffuse"), -1);
    shader->num_texture_inputs = 100;  // never read past the eight inputs
    EXPECT_EQ(g()->ZK_Graphics_GetTextureInputIndex(shader, "specular"), -1);
}

TEST_F(TextDrawingTest, ImageBlocksAreDrawnCentredInTheirPlace) {
    zk_font_t* font = Latin1Font();
    zk_bitmap_t& pic = NamedBitmap("pic", 16, 16);
    NamedShader("glow");
    g()->ZK_Graphics_SetColor(1, 1, 1);
    EXPECT_EQ(Draw(font, 100, 50, "a|img src='pic' scale=2 offset=3 color=FF0000 shader='glow'|b"), 52.0f);
    std::vector<DrawnQuad> quads = Quads();
    ASSERT_EQ(quads.size(), 3u);
    // Centred at the pen plus half its width, and at the line's y plus the
    // offset, half of glyph 'a' (height 12 and y offset 2) and 3 pixels.
    EXPECT_EQ(quads[1].texture, TextureOf(pic));
    EXPECT_EQ(Centre(quads[1]).x, 110.0f + 16.0f);
    EXPECT_EQ(Centre(quads[1]).y, 48.0f + 3.0f + 7.0f + 3.0f);
    EXPECT_EQ(quads[1].width, 32.0f);
    EXPECT_EQ(quads[1].color, Packed(1, 0, 0));
    EXPECT_EQ(quads[1].shader, "glow");
    // After it the text's colour and shader come back; the pen is past it.
    EXPECT_EQ(quads[2].x, 143.0f);
    EXPECT_EQ(quads[2].color, Packed(1, 1, 1));
    EXPECT_EQ(quads[2].shader, "default");

    // A colour not followed by a blank is not read; the angle turns it.
    ForgetQuads();
    Draw(font, 0, 0, "|img src='pic' angle=90 color=00FF00|");
    quads = Quads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].color, Packed(1, 1, 1));
    EXPECT_NEAR(quads[0].corners[0].x - Centre(quads[0]).x, 8.0f, 1e-4);
    EXPECT_NEAR(quads[0].corners[0].y - Centre(quads[0]).y, -8.0f, 1e-4);
}

TEST_F(TextDrawingTest, ScaleAndRotationMoveGlyphsAboutThePointDrawnAt) {
    zk_font_t* font = Latin1Font();
    g()->ZK_Graphics_SetTextTransform(2.0f, 2.0f, 0.0f);
    Draw(font, 100, 50, "ab");
    std::vector<DrawnQuad> quads = Quads();
    ASSERT_EQ(quads.size(), 2u);
    // In the font's pixels a sits at (1, 0) from (100, 50) after moving up
    // 2 * 2 and down 2; scaled by 2.
    EXPECT_EQ(quads[0].x, 102.0f);
    EXPECT_EQ(quads[0].y, 46.0f);
    EXPECT_EQ(quads[0].width, 16.0f);
    EXPECT_EQ(quads[0].height, 24.0f);
    EXPECT_EQ(quads[1].x, 122.0f);

    // A quarter turn: the glyph's top edge runs down from the pivot.
    ForgetQuads();
    g()->ZK_Graphics_SetTextTransform(1.0f, 1.0f, kPi / 2);
    Draw(font, 100, 50, "a");
    quads = Quads();
    ASSERT_EQ(quads.size(), 1u);
    const float turned[4][2] = {{100, 51}, {100, 59}, {88, 51}, {88, 59}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(quads[0].corners[k].x, turned[k][0], 1e-4) << k;
        EXPECT_NEAR(quads[0].corners[k].y, turned[k][1], 1e-4) << k;
    }

    // Scales within 0.0001 of 1 draw straight.
    ForgetQuads();
    g()->ZK_Graphics_SetTextTransform(1.00005f, 1.0f, 0.0f);
    Draw(font, 100.5f, 50, "a");
    EXPECT_EQ(Quads()[0].x, 101.5f);
}

TEST_F(TextDrawingTest, DistanceFieldFontsSetTheirSmoothing) {
    zk_font_t* font = Latin1Font();
    font->flags |= ZK_FONT_DISTANCE_FIELD;
    font->spread = 4.0f;
    font->smoothing = 0.5f;
    float values[3][4] = {};
    zk_shader_t::constant_t entries[3] = {};
    auto with_constant = [&](zk_shader_t* shader, int i, const char* tags) {
        entries[i].value = values[i];
        entries[i].size = sizeof values[i];
        shader->pixel_constants.entries = &entries[i];
        shader->pixel_constants.count = 1;
        shader->tags = const_cast<char*>(tags);
        return shader;
    };
    zk_shader_t* field = with_constant(NamedShader("field"), 0, nullptr);
    zk_shader_t* own = with_constant(NamedShader("own"), 1, nullptr);
    with_constant(NamedShader("tagged"), 2, "BLUR DISTANCE_FIELD");
    zk_batch_renderer.distance_field_shader = field;
    // One unit of text space is one pixel of the 640x480 screen.
    nTransform pixels = zk_transform_identity;
    pixels.m[0] = 2.0f / 640, pixels.m[3] = -1.0f, pixels.m[5] = -2.0f / 480, pixels.m[7] = 1.0f;
    g()->ZK_Graphics_PushProjectionTransform(&pixels);

    Draw(font, 0, 0, "ab");
    // Distance-field text sits where it is drawn: no 2-pixel lift.
    EXPECT_EQ(Quads()[0].y, 2.0f);
    EXPECT_EQ(Quads()[0].shader, "field");
    EXPECT_NEAR(values[0][0], 0.5f / 4.0f, 1e-6);
    EXPECT_EQ(values[0][1], 0.0f);
    g()->ZK_Graphics_SetTextTransform(1.0f, 2.0f, 0.0f);
    Draw(font, 0, 0, "ab");
    EXPECT_NEAR(values[0][0], 0.5f / 8.0f, 1e-6);

    // A font shader of the program's own takes the place of the field
    // shader, and a shader block tagged for distance fields is smoothed too.
    g()->ZK_Graphics_SetFontShader(own);
    ForgetQuads();
    Draw(font, 0, 0, "a|shader='tagged'|b");
    EXPECT_EQ(Quads()[0].shader, "own");
    EXPECT_NEAR(values[1][0], 0.5f / 8.0f, 1e-6);
    EXPECT_NEAR(values[2][0], 0.5f / 8.0f, 1e-6);

    // Text that spans nothing on screen leaves the value alone.
    nTransform nothing = {};
    g()->ZK_Graphics_PushProjectionTransform(&nothing);
    values[1][0] = 7.0f;
    Draw(font, 0, 0, "a");
    EXPECT_EQ(values[1][0], 7.0f);
    g()->ZK_Graphics_PopProjectionTransform();
    g()->ZK_Graphics_PopProjectionTransform();
}

TEST_F(TextDrawingTest, Utf8TextIsDrawnByCodePoint) {
    zk_font_t* font = Utf8Font({{0x65E5, 20, 18, 18}, {ZK_REPLACEMENT_CHARACTER, 10, 8, 12}});
    ClearLines();
    // A malformed sequence draws the replacement glyph; a missing glyph is
    // skipped after its popup.
    EXPECT_EQ(Draw(font, 0, 0, "a\xE6\x97|FF0000|\xE6\x97\xA5\xC3\xA9" "b"), 50.0f);
    std::vector<DrawnQuad> quads = Quads();
    std::vector<uint32_t> codes;
    for (const DrawnQuad& quad : quads) codes.push_back(quad.code);
    EXPECT_EQ(codes, (std::vector<uint32_t>{'a', ZK_REPLACEMENT_CHARACTER, 0x65E5, 'b'}));
    EXPECT_EQ(quads[2].color, Packed(1, 0, 0));
    EXPECT_EQ(quads[3].x, 41.0f);
    EXPECT_FALSE(Popups().empty());

    // Images sit on the middle of the glyph 'a', or of the middle glyph of
    // a font without one.
    NamedBitmap("pic", 4, 4);
    ForgetQuads();
    Draw(font, 0, 0, "|img src='pic'|");
    EXPECT_EQ(Centre(Quads()[0]).y, -2.0f + 7.0f + 3.0f);
    font->glyphs['a' - 32].code = 0x3000;
    font->glyphs[48].bitmap.height = 20;  // the middle of 97 glyphs
    ForgetQuads();
    Draw(font, 0, 0, "|img src='pic'|");
    EXPECT_EQ(Centre(Quads()[0]).y, -2.0f + 11.0f + 3.0f);
}

TEST_F(TextDrawingTest, FormattedDrawingAndWhatDrawsNothing) {
    zk_font_t* font = Latin1Font();
    EXPECT_EQ(g()->ZK_Graphics_DrawTextf(font, 0, 0, "%s%d", "ab", 42), 40.0f);
    EXPECT_EQ(DrawnText(), "ab42");
    std::string long_text(4500, 'x');
    ForgetQuads();
    EXPECT_EQ(g()->ZK_Graphics_DrawTextf(font, 0, 0, "%s", long_text.c_str()), 45000.0f);
    EXPECT_EQ(Quads().size(), 4500u);

    ForgetQuads();
    EXPECT_EQ(g()->ZK_Graphics_DrawTextf(nullptr, 0, 0, "ab"), 0.0f);
    EXPECT_EQ(g()->ZK_Graphics_DrawTextf(font, 0, 0, nullptr), 0.0f);
    EXPECT_EQ(Draw(font, 0, 0, ""), 0.0f);
    font->height = 0;
    EXPECT_EQ(g()->ZK_Graphics_DrawTextf(font, 0, 0, "ab"), 0.0f);
    EXPECT_EQ(Draw(font, 0, 0, "ab"), 0.0f);
    EXPECT_TRUE(Quads().empty());
}

TEST_F(TextDrawingTest, FontsWithFewGlyphsDrawOnlyWhatTheyHave) {
    zk_font_t* font = Latin1Font(100);
    EXPECT_EQ(Draw(font, 0, 0, "A\xC8xV\xFF"), 20.0f);
    EXPECT_EQ(DrawnText(), "AV");
}

TEST_F(TextDrawingTest, GlyphCheckTable) {
    zk_font_t* latin1 = Latin1Font();
    latin1->glyphs['~'].bitmap.width = 0;
    latin1->glyphs['|'].bitmap.height = 0;
    zk_font_t* few = Latin1Font(100);
    zk_font_t* utf8 = Utf8Font({{0x65E5, 20, 18, 18}});
    struct Case {
        const char* name;
        zk_font_t* font;
        const char* text;
        bool drawable;
    } cases[] = {
        {"printing glyphs", latin1, "ab c", true},
        {"a glyph without pixels", latin1, "a~", false},
        {"blocks are skipped", latin1, "|FF0000|ab|img src='x'|", true},
        {"two bars need the glyph '|'", latin1, "a||b", false},
        {"bytes beyond a small font", few, "A\xC8", false},
        {"control bytes need nothing", few, "A\t\x01", true},
        {"code points by code", utf8, "a \xE6\x97\xA5", true},
        {"a missing code point", utf8, "a\xC3\xA9", false},
        {"a malformed sequence", utf8, "a\xE6", false},
        {"UTF-8 blocks are skipped", utf8, "|#00FF00|a", true},
        {"line feeds are characters too", utf8, "a\nb", false},
        {"null text", latin1, nullptr, false},
        {"null font", nullptr, "a", false},
        {"empty text", utf8, "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(g()->ZK_Graphics_FontHasGlyphsToDrawText(c.font, c.text), c.drawable) << c.name;
    }
    EXPECT_TRUE(Popups().empty()) << "the check is silent";
}

}  // namespace

// The shader functions of the graphics API on the real batch renderer and
// the recording renderer: setting and reloading shaders, their constants
// (set by index or fed from the transform stacks), tags and user values.
// What the batch renderer holds pending shows whether a function drew it
// first; the renderer's SetShader shows which shader a batch is drawn with.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/base/ntransform.h"
#include "engine/drawing/batch_renderer.h"
#include "engine/drawing/shader_constants.h"
#include "engine/drawing/shader_functions.h"
#include "engine/shaders/tests/shader_fixture.h"

namespace {

using namespace shader_test;

class ShaderFunctionsTest : public ShaderTest {
protected:
    void SetUp() override {
        ShaderTest::SetUp();
        UseRenderer(ShaderTool::GLSL21);
        zk_batch_renderer.Initialize();
        zk_batch_renderer.BeginPass();
    }
    void TearDown() override {
        zk_batch_renderer.Free();
        ShaderTest::TearDown();
    }

    zk_shader_t* Get(const char* name) { return zk->graphics->ZK_Graphics_GetShader(name); }

    // One rectangle more waiting in the batch for the next flush.
    static void PendRect() {
        int before = Pending();
        zk->graphics->ZK_Graphics_DrawRect(0, 0, 10, 10);
        ASSERT_EQ(Pending(), before + 4);
    }
    static int Pending() { return zk_batch_renderer.pending_vertices; }
    // Draws a rectangle now: the renderer is handed the current shader
    // when it is not the one it was last given.
    static void DrawRect() {
        PendRect();
        zk_batch_renderer.Flush();
    }

    // The position of the first call of an operation in the renderer's
    // record, or -1.
    int PositionOf(const std::string& operation) const {
        std::vector<std::string> calls = renderer_.Calls();
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i].rfind(operation + " ", 0) == 0 || calls[i] == operation) return static_cast<int>(i);
        return -1;
    }
};

TEST_F(ShaderFunctionsTest, SetShaderMakesLoadedShadersCurrentAfterDrawingWhatWaits) {
    Write(kGlowPath, ShaderXml());
    zk_shader_t* glow = Get(kGlowPath);
    ASSERT_NE(glow, nullptr);
    zk_shader_t* default_shader = zk_batch_renderer.default_shader;
    ASSERT_NE(default_shader, nullptr);
    zk_shader_t not_loaded = {};
    zk_shader_t hibernated = {};
    hibernated.name = const_cast<char*>("hibernated");
    hibernated.flags = ZK_SHADER_LOADED;
    struct Case {
        const char* label;
        zk_shader_t* current;
        zk_shader_t* set;
        zk_shader_t* becomes;  // null: stays as it is, nothing drawn
    } cases[] = {
        {"a loaded shader", default_shader, glow, glow},
        {"the current shader", glow, glow, nullptr},
        {"null: the default shader", glow, nullptr, default_shader},
        {"null while the default is current", default_shader, nullptr, nullptr},
        {"no renderer object: the default shader", glow, &hibernated, default_shader},
        {"not loaded: nothing", glow, &not_loaded, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        zk_batch_renderer.SetCurrentShader(c.current);
        DrawRect();
        PendRect();
        renderer_.ClearCalls();

        zk->graphics->ZK_Graphics_SetShader(c.set);
        zk_shader_t* now = c.becomes ? c.becomes : c.current;
        EXPECT_EQ(zk_batch_renderer.current_shader, now);
        // A change draws what waits with the shader it was drawn for.
        EXPECT_EQ(Pending(), c.becomes ? 0 : 4);
        EXPECT_EQ(renderer_.Count("SetShader"), 0);
        DrawRect();
        std::vector<std::string> handed;
        if (c.becomes) handed.push_back(std::string("SetShader ") + c.becomes->name);
        EXPECT_EQ(renderer_.CallsOf("SetShader"), handed);
    }
}

// The bitmap a texture input names, as the graphics table's bitmap slot
// answers, with a texture object of its own.
int mask_texture = 0;
zk_bitmap_t MaskBitmap() {
    zk_bitmap_t bitmap = {};
    bitmap.hw_data.renderer_data = &mask_texture;
    return bitmap;
}
zk_bitmap_t mask_bitmap = MaskBitmap();
zk_bitmap_t* GetMaskBitmap(const char* name) { return strcmp(name, "gfx/mask.png") == 0 ? &mask_bitmap : nullptr; }

// What the Shader XML says of its textures reaches the renderer once the
// shader is made current through the graphics table: the bitmap a texture
// names is bound to its stage, and its address modes and filters take the
// place of the wanted ones where it gives them.
TEST_F(ShaderFunctionsTest, SetShaderAppliesItsTexturesBitmapsAndModes) {
    std::string xml = ShaderXml("", "<node id=\"tint\" type=\"FLOAT4\"/>",
                                "output.color = sampleTexture(texture.diffuse, input.uv) * "
                                "sampleTexture(texture.mask, input.uv) * constants.tint;");
    const std::string diffuse = "filter_min=\"POINT\"/>";
    xml.insert(xml.find(diffuse) + diffuse.size(),
               "\n    <node id=\"mask\" type=\"2D\" source=\"gfx/mask.png\" address_u=\"MIRROR\" "
               "filter_mip=\"POINT\"/>");
    Write(kGlowPath, xml);
    zk->graphics->ZK_Graphics_GetBitmap = GetMaskBitmap;
    zk_shader_t* glow = Get(kGlowPath);
    ASSERT_NE(glow, nullptr);
    ASSERT_EQ(glow->num_texture_inputs, 2);
    DrawRect();  // the default shader and the default states
    renderer_.ClearCalls();

    zk->graphics->ZK_Graphics_SetShader(glow);
    DrawRect();
    std::vector<std::string> calls;
    for (const std::string& call : renderer_.Calls())
        if (call.rfind("SetTexture", 0) == 0) calls.push_back(call);
    // Stage 0: WRAP and CLAMP, LINEAR magnification and POINT minification
    // (the renderer takes minification first); stage 1: MIRROR and a POINT
    // mip filter. The rest stays at CLAMP and LINEAR.
    EXPECT_EQ(calls, (std::vector<std::string>{"SetTexture 1 " + RecordingRenderer::Pointer(&mask_texture),
                                               "SetTextureAddressMode 0 2 1 1", "SetTextureAddressMode 1 3 1 1",
                                               "SetTextureFilter 0 1 2 2", "SetTextureFilter 1 2 2 1"}));
}

TEST_F(ShaderFunctionsTest, AReloadLoadsTheNewVersionAndFreesTheOld) {
    Write(kGlowPath, ShaderXml());
    zk_shader_t* shader = Get(kGlowPath);
    ASSERT_NE(shader, nullptr);
    const RecordingRenderer::LoadedShader* old_object = renderer_.LoadedShaderOf(shader);
    zk->graphics->ZK_Graphics_SetShader(shader);
    DrawRect();
    PendRect();
    Write(kGlowPath, ShaderXml("", "<node id=\"glow\" type=\"FLOAT4\"/>",
                               "output.color = sampleTexture(texture.diffuse, input.uv) * constants.glow;"));
    renderer_.ClearCalls();

    EXPECT_TRUE(zk->graphics->ZK_Graphics_ReloadShader(shader));
    EXPECT_TRUE(old_object->freed);
    const RecordingRenderer::LoadedShader* new_object = renderer_.LoadedShaderOf(shader);
    ASSERT_NE(new_object, nullptr);
    EXPECT_NE(new_object, old_object);
    EXPECT_TRUE(Contains(new_object->pixel, "_const_glow"));
    EXPECT_EQ(zk->graphics->ZK_Graphics_GetShaderPixelConstantIndex(shader, "tint"), -1);
    EXPECT_EQ(zk->graphics->ZK_Graphics_GetShaderPixelConstantIndex(shader, "glow"), 0);
    EXPECT_TRUE(shader->flags & ZK_SHADER_LOADED);
    // What waited was drawn with the old object, before it was freed.
    EXPECT_EQ(Pending(), 0);
    ASSERT_GE(PositionOf("DrawIndexedTriangles"), 0);
    EXPECT_LT(PositionOf("DrawIndexedTriangles"), PositionOf("LoadShader"));
    // The shader stays current and its new object reaches the renderer at
    // the next draw, though the record is the same.
    EXPECT_EQ(zk_batch_renderer.current_shader, shader);
    EXPECT_EQ(renderer_.Count("SetShader"), 0);
    DrawRect();
    EXPECT_EQ(renderer_.CallsOf("SetShader"), std::vector<std::string>{"SetShader shaders/fx/glow.xml"});
}

TEST_F(ShaderFunctionsTest, AFailedReloadKeepsTheOldShaderWorking) {
    struct Case {
        const char* label;
        void (*spoil)(RecordingRenderer& renderer, const std::string& path);
    } cases[] = {
        {"the sources no longer translate",
         [](RecordingRenderer&, const std::string& path) { Write(path, ShaderXml("", "", kBrokenPixelBody)); }},
        {"the Shader XML is gone", [](RecordingRenderer&, const std::string& path) { unlink(path.c_str()); }},
        {"the renderer refuses the new code",
         [](RecordingRenderer& renderer, const std::string&) { renderer.bitmap_operations_succeed = false; }},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::string path = "shaders/spoiled" + std::to_string(number++) + ".xml";
        Write(path, ShaderXml());
        zk_shader_t* shader = Get(path.c_str());
        ASSERT_NE(shader, nullptr);
        const zk_shader_t before = *shader;
        c.spoil(renderer_, path);
        renderer_.ClearCalls();

        EXPECT_FALSE(zk->graphics->ZK_Graphics_ReloadShader(shader));
        renderer_.bitmap_operations_succeed = true;
        EXPECT_EQ(memcmp(shader, &before, sizeof(before)), 0) << "the record is the old one, whole";
        EXPECT_EQ(renderer_.Count("FreeShader"), 0);
        const RecordingRenderer::LoadedShader* loaded = renderer_.LoadedShaderOf(shader);
        ASSERT_NE(loaded, nullptr);
        EXPECT_FALSE(loaded->freed);
        EXPECT_TRUE(zk->graphics->ZK_Graphics_IsShaderSupported(shader));
        EXPECT_EQ(zk->graphics->ZK_Graphics_GetShaderPixelConstantIndex(shader, "tint"), 0);
    }
}

// The stacks' matrices, as a graphics table whose transform slots answer
// chosen values.
nTransform Matrix(float first) {
    nTransform t;
    for (int i = 0; i < 16; ++i) t.m[i] = first + static_cast<float>(i);
    return t;
}
nTransform world_matrix, view_matrix, projection_matrix;
nTransform Product(const nTransform& a, const nTransform& b) {
    nTransform out;
    nTransform::Combine(out, a, b);
    return out;
}

// Both stages carry every transform semantic. "row" is a FLOAT4 with a
// matrix semantic: it takes the matrix's first row and no more, so "after",
// which lies behind it in the stage's value block, keeps its value.
const char kTransformConstants[] = R"(<node id="world" type="FLOAT4X4" semantic="WORLD_TRANSFORM"/>
    <node id="view" type="FLOAT4X4" semantic="VIEW_TRANSFORM"/>
    <node id="world_view" type="FLOAT4X4" semantic="WORLD_VIEW_TRANSFORM"/>
    <node id="view_projection" type="FLOAT4X4" semantic="VIEW_PROJECTION_TRANSFORM"/>
    <node id="plain" type="FLOAT4X4"/>
    <node id="row" type="FLOAT4" semantic="WORLD_TRANSFORM"/>
    <node id="after" type="FLOAT4"/>)";

TEST_F(ShaderFunctionsTest, ConstantsWithATransformSemanticFollowTheTransformStacks) {
    world_matrix = Matrix(1), view_matrix = Matrix(20), projection_matrix = Matrix(-7);
    zk->graphics->ZK_Graphics_PeekWorldTransform = [] { return world_matrix; };
    zk->graphics->ZK_Graphics_PeekViewTransform = [] { return view_matrix; };
    zk->graphics->ZK_Graphics_PeekProjectionTransform = [] { return projection_matrix; };
    Write(kGlowPath, ShaderXml(kTransformConstants,
                               std::string("<node id=\"tint\" type=\"FLOAT4\"/>\n    ") + kTransformConstants +
                                   R"(<node id="world_view_projection" type="FLOAT4X4"
                                         semantic="WORLD_VIEW_PROJECTION_TRANSFORM"/>)"));
    zk_shader_t* shader = Get(kGlowPath);
    ASSERT_NE(shader, nullptr);

    struct Case {
        const char* name;
        nTransform (*expected)();
        size_t bytes;
    } cases[] = {
        {"world", [] { return world_matrix; }, 64},
        {"view", [] { return view_matrix; }, 64},
        {"world_view", [] { return Product(view_matrix, world_matrix); }, 64},
        {"world_view_projection", [] { return Product(projection_matrix, Product(view_matrix, world_matrix)); }, 64},
        {"view_projection", [] { return Product(projection_matrix, view_matrix); }, 64},
        {"plain", [] { return nTransform{}; }, 64},
        {"row", [] { return world_matrix; }, 16},
        {"after", [] { return nTransform{}; }, 16},
    };
    struct Stage {
        const char* name;
        int (*index)(zk_shader_t*, const char*);
        void* (*value)(zk_shader_t*, int);
    } stages[] = {
        {"vertex", zk->graphics->ZK_Graphics_GetShaderVertexConstantIndex,
         zk->graphics->ZK_Graphics_GetShaderVertexConstant},
        {"pixel", zk->graphics->ZK_Graphics_GetShaderPixelConstantIndex,
         zk->graphics->ZK_Graphics_GetShaderPixelConstant},
    };
    auto expect_values = [&](const char* when) {
        SCOPED_TRACE(when);
        for (const Stage& stage : stages) {
            for (const Case& c : cases) {
                int index = stage.index(shader, c.name);
                ASSERT_GE(index, 0) << stage.name << " " << c.name;
                nTransform expected = c.expected();
                EXPECT_EQ(memcmp(stage.value(shader, index), expected.m, c.bytes), 0) << stage.name << " " << c.name;
            }
        }
    };
    ZKI_UpdateShaderConstants(shader);
    expect_values("first draw");
    EXPECT_FALSE(shader->flags & ZK_SHADER_CONSTANTS_UNCHANGED);
    EXPECT_EQ(shader->vertex_constants.entries[5].uploaded, 1) << "the plain constant did not change";
    EXPECT_EQ(shader->vertex_constants.entries[0].uploaded, 0);
    EXPECT_EQ(shader->pixel_constants.entries[0].uploaded, 1) << "tint has no transform semantic";
    EXPECT_EQ(shader->pixel_constants.entries[1].uploaded, 0);

    // Uploaded; the stacks did not move.
    shader->flags |= ZK_SHADER_CONSTANTS_UNCHANGED;
    ZKI_UpdateShaderConstants(shader);
    EXPECT_TRUE(shader->flags & ZK_SHADER_CONSTANTS_UNCHANGED);

    // Only the world moved: no setter is called, and the next batch drawn
    // with the shader brings the constants along.
    world_matrix = Matrix(100);
    zk->graphics->ZK_Graphics_SetShader(shader);
    DrawRect();
    expect_values("after the world moved");
    EXPECT_FALSE(shader->flags & ZK_SHADER_CONSTANTS_UNCHANGED);
}

TEST_F(ShaderFunctionsTest, SettingAConstantMarksOnlyRealChanges) {
    Write(kGlowPath, ShaderXml("", "<node id=\"tint\" type=\"FLOAT4\"/><node id=\"weights\" type=\"FLOAT4\" count=\"2\"/>"));
    zk_shader_t* shader = Get(kGlowPath);
    ASSERT_NE(shader, nullptr);
    const float zero[8] = {};
    const float tint[4] = {1, 0.5f, 0.25f, 1};
    const float weights[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    struct Case {
        const char* label;
        int index;
        const float* value;
        bool changes;
    } cases[] = {
        {"the value it has", 0, zero, false},
        {"a new value", 0, tint, true},
        {"an array, whole", 1, weights, true},
        {"an index past the table", 2, tint, false},
        {"a negative index", -1, tint, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        shader->flags |= ZK_SHADER_CONSTANTS_UNCHANGED;
        for (int i = 0; i < shader->pixel_constants.count; ++i) shader->pixel_constants.entries[i].uploaded = 1;
        PendRect();
        zk->graphics->ZK_Graphics_SetShaderPixelConstant(shader, c.index, 0, c.value, 1);
        EXPECT_EQ(Pending(), 0) << "what waited is drawn with the values it was drawn for";
        EXPECT_EQ((shader->flags & ZK_SHADER_CONSTANTS_UNCHANGED) == 0, c.changes);
        if (c.index < 0 || c.index >= shader->pixel_constants.count) continue;
        const zk_shader_t::constant_t& entry = shader->pixel_constants.entries[c.index];
        EXPECT_EQ(entry.uploaded, c.changes ? 0 : 1);
        EXPECT_EQ(memcmp(entry.value, c.value, entry.size), 0);
    }

    // A shader that is not loaded is left alone, without drawing.
    shader->flags = ZK_SHADER_CONSTANTS_UNCHANGED;
    PendRect();
    zk->graphics->ZK_Graphics_SetShaderVertexConstant(shader, 0, 0, weights, 1);
    EXPECT_EQ(Pending(), 4);
    EXPECT_EQ(memcmp(shader->vertex_constants.entries[0].value, zero, 16), 0);
}

TEST_F(ShaderFunctionsTest, ConstantLookups) {
    Write(kGlowPath, ShaderXml());
    zk_shader_t* shader = Get(kGlowPath);
    ASSERT_NE(shader, nullptr);
    zk_graphics_api_t* g = zk->graphics;
    EXPECT_EQ(g->ZK_Graphics_GetShaderVertexConstantIndex(shader, "world_view_projection"), 0);
    EXPECT_EQ(g->ZK_Graphics_GetShaderPixelConstantIndex(shader, "tint"), 0);
    EXPECT_EQ(g->ZK_Graphics_GetShaderPixelConstantIndex(shader, "world_view_projection"), -1);
    EXPECT_EQ(g->ZK_Graphics_GetShaderPixelConstantIndex(shader, "Tint"), -1);
    EXPECT_EQ(g->ZK_Graphics_GetShaderPixelConstantIndex(shader, nullptr), -1);
    EXPECT_EQ(g->ZK_Graphics_GetShaderPixelConstantIndex(nullptr, "tint"), -1);
    EXPECT_EQ(g->ZK_Graphics_GetShaderPixelConstant(shader, 0), shader->pixel_constants.entries[0].value);
    EXPECT_EQ(g->ZK_Graphics_GetShaderPixelConstant(shader, 1), nullptr);
    EXPECT_EQ(g->ZK_Graphics_GetShaderVertexConstant(shader, -1), nullptr);
}

TEST_F(ShaderFunctionsTest, TagsAreWholeWords) {
    zk_shader_t shader = {};
    struct Case {
        const char* tags;
        const char* tag;
        bool exists;
    } cases[] = {
        {"DISTANCE_FIELD, OUTLINE", "DISTANCE_FIELD", true},
        {"DISTANCE_FIELD, OUTLINE", "OUTLINE", true},
        {"DISTANCE_FIELD, OUTLINE", "FIELD", false},
        {"DISTANCE_FIELD, OUTLINE", "DISTANCE", false},
        {"DISTANCE_FIELD, OUTLINE", "LINE", false},
        {"A;B C,D", "B", true},
        {"A;B C,D", "C", true},
        {"OUTLINES OUTLINE", "OUTLINE", true},
        {"XOUTLINE", "OUTLINE", false},
        {"OUTLINE", "", false},
        {"OUTLINE", nullptr, false},
        {nullptr, "OUTLINE", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tags ? c.tags : "null") + " / " + (c.tag ? c.tag : "null"));
        shader.tags = const_cast<char*>(c.tags);
        EXPECT_EQ(zk->graphics->ZK_Graphics_ShaderTagExists(&shader, c.tag), c.exists);
    }
    EXPECT_FALSE(zk->graphics->ZK_Graphics_ShaderTagExists(nullptr, "OUTLINE"));
}

TEST_F(ShaderFunctionsTest, UserValuesComeFromTheShaderXml) {
    Write(kGlowPath, ShaderXml());
    zk_shader_t* shader = Get(kGlowPath);
    ASSERT_NE(shader, nullptr);
    EXPECT_STREQ(zk->graphics->ZK_Graphics_GetShaderUserValue(shader, "passes"), "2");
    EXPECT_EQ(zk->graphics->ZK_Graphics_GetShaderUserValue(shader, "missing"), nullptr);
    EXPECT_EQ(zk->graphics->ZK_Graphics_GetShaderUserValue(shader, nullptr), nullptr);
    EXPECT_STREQ(zk->graphics->ZK_Graphics_GetShaderTags(shader), "DISTANCE_FIELD, OUTLINE");
}

}  // namespace

// The built-in shaders: choosing texts and code records for the renderer,
// which shaders each renderer gets, the records their Shader XML texts
// make, and the texts as the build writes them from their Shader XML.

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "engine/shaders/builtin_shaders.h"
#include "engine/render/renderer_null.h"
#include "engine/shaders/tests/shader_fixture.h"
#include "engine/storage/tests/storage_test_support.h"
#include "shadertool/translate/tests/glsl_glslang.h"
#include "shadertool/translate/tests/hlsl_glslang.h"

namespace {

using ShaderTool::ShaderLevel;
using ShaderTool::ShaderTarget;

class BuiltInShaderTest : public ShaderTest {
protected:
    void FreeAllShaders() {
        for (int i = 0; i < zk_state.num_shaders; ++i) ZKI_FreeShader(&zk_state.shaders[i]);
    }
};

// The six loaders, by engine name.
struct Loader {
    const char* name;
    zk_shader_t* (RendererImplementation::*load)();
};
const Loader kLoaders[] = {
    {"internal_default", &RendererImplementation::LoadDefaultShader},
    {"internal_distance_field", &RendererImplementation::LoadDistanceFieldShader},
    {"internal_clear", &RendererImplementation::LoadClearShader},
    {"internal_cube_map", &RendererImplementation::LoadCubeMapShader},
    {"internal_hdr", &RendererImplementation::LoadHdrShader},
    {"internal_mip", &RendererImplementation::LoadMipShader},
};

TEST_F(BuiltInShaderTest, FindShaderSourceMatchesTargetAndLevelExactly) {
    const std::string long_token(600, 'G');
    const std::string long_header = long_token + ",NONE,\nlong vertex";
    // A token of exactly 512 characters before its comma is one too long.
    const std::string full_target = std::string(512, 'G') + ",NONE,\nfull target vertex";
    const std::string full_level = "GLSL21," + std::string(512, 'N') + ",\nfull level vertex";
    const char* const texts[] = {
        "GLSL21,NONE,\nglsl21 vertex", "GLSL21,NONE,\nglsl21 pixel",
        "GLSL,NONE,\nfamily vertex",   "GLSL,NONE,\nfamily pixel",
        "HLSL11,HLSL11_LOW,\nlow vertex", "HLSL11,HLSL11_LOW,\nlow pixel",
        "HLSL11,ALL,\nall vertex",     "HLSL11,ALL,\nall pixel",
        "ESSL20,NONE,",                "ESSL20,NONE,",
        long_header.c_str(),           "x",
        full_target.c_str(),           "x",
        full_level.c_str(),            "x",
        "GLSL31,ANY,\nlast vertex",    "GLSL31,ANY,\nlast pixel",
        nullptr,                       nullptr,
    };
    struct Case {
        int target, level;
        bool pixel;
        const char* found;
    } cases[] = {
        {ShaderTool::GLSL21, 0, false, "\nglsl21 vertex"},
        {ShaderTool::GLSL21, 0, true, "\nglsl21 pixel"},
        {ShaderTool::GLSL, 0, false, "\nfamily vertex"},
        {ShaderTool::GLSL21, ShaderTool::HLSL11_DEFAULT, false, nullptr},
        {ShaderTool::HLSL11, ShaderTool::HLSL11_LOW, true, "\nlow pixel"},
        {ShaderTool::HLSL11, ShaderTool::ALL_LEVELS, false, "\nall vertex"},
        {ShaderTool::HLSL11, ShaderTool::HLSL11_XBOX, false, nullptr},
        {ShaderTool::ESSL20, 0, false, nullptr},  // no line break after the header
        {ShaderTool::GLSL31, 0, false, "\nlast vertex"},
        {ShaderTool::GLSL31, 0, true, "\nlast pixel"},
        {ShaderTool::ESSL30, 0, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.target) + "/" + std::to_string(c.level) + (c.pixel ? " pixel" : " vertex"));
        const char* found = FindShaderSource(texts + (c.pixel ? 1 : 0), ShaderTarget(c.target), ShaderLevel(c.level));
        if (!c.found) {
            EXPECT_EQ(found, nullptr);
        } else {
            ASSERT_NE(found, nullptr);
            EXPECT_STREQ(found, c.found);
        }
    }
}

// A code record: {u32 target, u32 level, u32 size, code}, little-endian.
std::vector<unsigned char> CodeRecord(uint32_t target, uint32_t level, const std::string& code) {
    std::vector<unsigned char> record;
    for (uint32_t value : {target, level, static_cast<uint32_t>(code.size())})
        for (int shift = 0; shift < 32; shift += 8) record.push_back(static_cast<unsigned char>(value >> shift));
    record.insert(record.end(), code.begin(), code.end());
    return record;
}

TEST_F(BuiltInShaderTest, GetShaderInfoCodeTakesTheRendererTargetsTextsOrRecords) {
    const std::vector<unsigned char> records[] = {
        CodeRecord(32, 1, "v-default"), CodeRecord(32, 1, "p-default"), CodeRecord(32, 2, "v-low"),
        CodeRecord(32, 2, "p-low"),     CodeRecord(32, 4, "v-xbox"),    CodeRecord(64, 0, std::string("v\0ps", 4)),
        CodeRecord(64, 0, "p-pssl"),    CodeRecord(128, 0, "v-other"),  CodeRecord(128, 0, "p-other"),
    };
    const unsigned char* const binaries[] = {
        records[0].data(), records[1].data(), records[2].data(), records[3].data(), records[4].data(), nullptr,
        records[5].data(), records[6].data(), records[7].data(), records[8].data(), nullptr,           nullptr,
    };
    const char* const sources[] = {"GLSL21,NONE,\nvertex text", "GLSL21,NONE,\npixel text", nullptr, nullptr};
    struct Case {
        int target, level;
        bool found;
        std::string vertex, pixel;
    } cases[] = {
        {ShaderTool::HLSL11, 2, true, "v-low", "p-low"},
        {ShaderTool::HLSL11, 1, true, "v-default", "p-default"},
        {ShaderTool::HLSL11, 4, false, "", ""},  // no pixel record for the level
        {ShaderTool::HLSL11, 0, false, "", ""},
        {ShaderTool::PSSL, 0, true, std::string("v\0ps", 4), "p-pssl"},
        {128, 0, false, "", ""},  // records of other targets are never taken
        {ShaderTool::GLSL21, 0, true, std::string("\nvertex text") + '\0', std::string("\npixel text") + '\0'},
        {ShaderTool::GLSL31, 0, false, "", ""},
    };
    auto bytes = [](const nByteBuffer& b) { return std::string(reinterpret_cast<const char*>(b.data), size_t(b.size)); };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.target) + "/" + std::to_string(c.level));
        renderer_.shader_target = c.target;
        renderer_.shader_level = c.level;
        ShaderTool::ShaderCode code;
        EXPECT_EQ(renderer_.GetShaderInfoCode(sources, binaries, code), c.found);
        EXPECT_EQ(bytes(code.vertex), c.vertex);
        EXPECT_EQ(bytes(code.pixel), c.pixel);
    }
}

TEST_F(BuiltInShaderTest, EachRendererGetsTheShadersItHasCodeFor) {
    const std::set<std::string> gl_family = {"internal_default", "internal_distance_field"};
    struct Case {
        int target, level;
        std::set<std::string> loaded;
    } cases[] = {
        {ShaderTool::ESSL20, 0, gl_family},
        {ShaderTool::ESSL30, 0, gl_family},
        {ShaderTool::GLSL21, 0, gl_family},
        {ShaderTool::GLSL31, 0, gl_family},
        {ShaderTool::HLSL9, 0, {"internal_distance_field"}},
        {ShaderTool::HLSL11, ShaderTool::HLSL11_DEFAULT, gl_family},
        {ShaderTool::HLSL11, ShaderTool::HLSL11_LOW, gl_family},
        {ShaderTool::HLSL11, ShaderTool::HLSL11_XBOX, {"internal_default", "internal_distance_field", "internal_hdr"}},
        {ShaderTool::HLSL11, 0, {}},
        {ShaderTool::PSSL, 0,
         {"internal_default", "internal_distance_field", "internal_clear", "internal_cube_map", "internal_hdr",
          "internal_mip"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.target) + "/" + std::to_string(c.level));
        UseRenderer(c.target, c.level, c.target == ShaderTool::HLSL11 || c.target == ShaderTool::PSSL);
        renderer_.ClearCalls();
        std::set<std::string> loaded;
        for (const Loader& loader : kLoaders) {
            zk_shader_t* shader = (renderer_.*loader.load)();
            if (!shader) continue;
            EXPECT_STREQ(shader->name, loader.name);
            EXPECT_TRUE(shader->flags & ZK_SHADER_LOADED) << loader.name;
            loaded.insert(shader->name);
        }
        EXPECT_EQ(loaded, c.loaded);
        EXPECT_EQ(renderer_.Count("LoadShader"), static_cast<int>(c.loaded.size()));
        EXPECT_EQ(zk_state.num_shaders, static_cast<int>(c.loaded.size()));
        FreeAllShaders();
        zk_state.num_shaders = 0;
    }
}

TEST_F(BuiltInShaderTest, AGLSL21RendererGetsTheTextFromTheLineBreakOn) {
    UseRenderer(ShaderTool::GLSL21);
    zk_shader_t* shader = renderer_.LoadDefaultShader();
    ASSERT_NE(shader, nullptr);
    const RecordingRenderer::LoadedShader* loaded = renderer_.LoadedShaderOf(shader);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->vertex.rfind("\nattribute vec4 _in_position;\n", 0), 0u) << loaded->vertex;
    EXPECT_EQ(loaded->vertex,
              std::string(FindShaderSource(InternalShader_default::sources, ShaderTool::GLSL21, ShaderTool::LEVEL_NONE)) +
                  '\0');
    // Loading again gives the same record, without a second load.
    EXPECT_EQ(renderer_.LoadDefaultShader(), shader);
    EXPECT_EQ(renderer_.Count("LoadShader"), 1);
}

TEST_F(BuiltInShaderTest, TheNullRendererLoadsNoBuiltInShader) {
    RendererImplementation* null_renderer = GetRendImpNull();
    renderer_.Uninstall();
    ri = null_renderer;
    zk_state.rend_imp = null_renderer;
    ZKI_InitializeShaderTranslator();
    for (const Loader& loader : kLoaders) EXPECT_EQ((null_renderer->*loader.load)(), nullptr) << loader.name;
    EXPECT_EQ(zk_state.num_shaders, 0);
    renderer_.Install();
}

// What each Shader XML text declares ends up in the record of its shader.
TEST_F(BuiltInShaderTest, TheRecordsFollowTheBuiltInShaderXmlTexts) {
    struct Case {
        const char* name;
        const char* tags;
        std::vector<std::string> vertex_constants, pixel_constants, textures;
    } cases[] = {
        {"internal_default", nullptr, {"world_view_proj"}, {}, {"diffuse"}},
        {"internal_distance_field", "DISTANCE_FIELD", {"world_view_proj"}, {"smoothing"}, {"diffuse"}},
        {"internal_clear", nullptr, {"color", "depth"}, {}, {}},
        {"internal_cube_map", nullptr, {"cube_rotation"}, {}, {"cube_map"}},
        {"internal_hdr", nullptr, {}, {"gamma"}, {"diffuse"}},
        {"internal_mip", nullptr, {}, {}, {"diffuse"}},
    };
    UseRenderer(ShaderTool::PSSL, 0, true);
    auto names = [](const zk_shader_t::constant_table_t& table) {
        std::vector<std::string> found;
        for (int i = 0; i < table.count; ++i) found.push_back(table.entries[i].name);
        return found;
    };
    for (int i = 0; i < 6; ++i) {
        const Case& c = cases[i];
        const Loader& loader = kLoaders[i];
        SCOPED_TRACE(c.name);
        zk_shader_t* shader = (renderer_.*loader.load)();
        ASSERT_NE(shader, nullptr);
        EXPECT_STREQ(shader->name, c.name);
        EXPECT_STREQ(shader->tags, c.tags);
        EXPECT_EQ(shader->num_vertex_elements, 3);
        EXPECT_EQ(shader->vertex_semantics, 7u);
        EXPECT_EQ(names(shader->vertex_constants), c.vertex_constants);
        EXPECT_EQ(names(shader->pixel_constants), c.pixel_constants);
        std::vector<std::string> textures;
        for (int t = 0; t < shader->num_texture_inputs; ++t) textures.push_back(shader->texture_inputs[t].name);
        EXPECT_EQ(textures, c.textures);
    }
    zk_shader_t* default_shader = zk->graphics->ZK_Graphics_GetShader("internal_default");
    ASSERT_EQ(default_shader->vertex_constants.count, 1);
    EXPECT_EQ(default_shader->vertex_constants.entries[0].semantic, 4u);
    EXPECT_EQ(default_shader->vertex_constants.entries[0].value_kind, 2u);
}

// The Shader XML texts compiled into the program are their files under
// builtin/, byte for byte.
TEST_F(BuiltInShaderTest, TheShaderXmlTextsAreTheirFiles) {
    const char* const kFiles[] = {"default", "distance_field", "clear", "cube_map", "hdr", "mip"};
    const char* root = getenv("ZK_SOURCE_DIR");
    for (int i = 0; i < 6; ++i) {
        std::string path = std::string(root ? root : ".") + "/engine/shaders/builtin/" + kFiles[i] + ".xml";
        std::string file = storage_test::ReadWholeFile(path);
        ASSERT_FALSE(file.empty()) << path;
        EXPECT_EQ(zk_built_in_shaders[i].shader_xml, file) << zk_built_in_shaders[i].name;
    }
}

// The stage texts, as the renderer gets them (line break first), compile
// and link with their version line in front (the GL family) or compile as
// HLSL (HLSL9); each shader carries texts for its source targets only.
TEST_F(BuiltInShaderTest, TheStageTextsCompile) {
    const int kSourceTargets[] = {ShaderTool::ESSL20, ShaderTool::ESSL30, ShaderTool::GLSL21, ShaderTool::GLSL31,
                                  ShaderTool::HLSL9, ShaderTool::HLSL11, ShaderTool::PSSL};
    const int gl_family = ShaderTool::ESSL20 | ShaderTool::ESSL30 | ShaderTool::GLSL21 | ShaderTool::GLSL31;
    const int expected_targets[] = {gl_family, gl_family | ShaderTool::HLSL9, 0, 0, 0, 0};
    for (int i = 0; i < 6; ++i) {
        const zk_built_in_shader_t& shader = zk_built_in_shaders[i];
        SCOPED_TRACE(shader.name);
        int targets = 0;
        for (int target : kSourceTargets) {
            SCOPED_TRACE(ShaderTool::GetShaderTargetName(ShaderTool::GetShaderTargetIndex(target)));
            const char* vertex = FindShaderSource(shader.sources, ShaderTarget(target), ShaderTool::LEVEL_NONE);
            const char* pixel = FindShaderSource(shader.sources + 1, ShaderTarget(target), ShaderTool::LEVEL_NONE);
            if (!vertex && !pixel) continue;
            targets |= target;
            ASSERT_TRUE(vertex && pixel);
            ASSERT_EQ(vertex[0], '\n');
            ASSERT_EQ(pixel[0], '\n');
            std::string messages;
            if (target & gl_family) {
                EXPECT_TRUE(ShaderTool::testing::LinksWithGlslang(target, vertex, pixel, &messages)) << messages;
            } else {
                EXPECT_TRUE(ShaderTool::testing::CompilesAsHLSL(target, ShaderTool::VERTEX_SHADER, vertex, &messages))
                    << messages;
                EXPECT_TRUE(ShaderTool::testing::CompilesAsHLSL(target, ShaderTool::PIXEL_SHADER, pixel, &messages))
                    << messages;
            }
        }
        EXPECT_EQ(targets, expected_targets[i]);
    }
}

}  // namespace

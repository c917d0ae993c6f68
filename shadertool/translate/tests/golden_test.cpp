// Each fixture's translation for each target and stage equals its expected
// file byte for byte. GL-family texts also compile with glslangValidator,
// and each vertex and pixel pair links; HLSL-family texts compile with its
// HLSL front end (PSSL with its names mapped to HLSL's).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/tests/glsl_glslang.h"
#include "shadertool/translate/tests/goldens.h"
#include "shadertool/translate/tests/hlsl_glslang.h"

namespace ShaderTool {
namespace testing {
namespace {

// GLSL21 texts that use GL_EXT_gpu_shader4, which glslangValidator does not
// know: the only GL-family texts that are not compiled.
const char* const kGpuShader4Cases[] = {"lod_sampling.pixel"};

bool UsesGpuShader4(const GoldenCase& c) {
    if (c.target != GLSL21) return false;
    std::string name = c.fixture + "." + GetStageName(c.stage);
    for (const char* listed : kGpuShader4Cases)
        if (name == listed) return true;
    return false;
}

bool IsGLFamily(const GoldenCase& c) { return (c.target & (ESSL | GLSL)) != 0; }

// The fixtures are translated once for all the tests of a run.
const std::vector<GoldenCase>& Cases() {
    static std::vector<GoldenCase> cases;
    static bool translated = false;
    if (!translated) {
        translated = true;
        std::string messages;
        EXPECT_TRUE(TranslateGoldens(&cases, &messages)) << messages;
    }
    EXPECT_FALSE(cases.empty());
    return cases;
}

TEST(Goldens, TranslationsEqualTheExpectedFiles) {
    for (const GoldenCase& c : Cases()) {
        EXPECT_TRUE(c.ok) << GoldenLabel(c) << "\n" << c.log;
        std::ifstream file(ExpectedPath(c), std::ios::binary);
        ASSERT_TRUE(file.good()) << GoldenLabel(c) << ": no expected file " << ExpectedPath(c);
        std::stringstream expected;
        expected << file.rdbuf();
        EXPECT_EQ(c.text, expected.str()) << GoldenLabel(c);
    }
}

TEST(Goldens, GLTranslationsCompileWithGlslang) {
    for (const GoldenCase& c : Cases()) {
        if (!IsGLFamily(c) || UsesGpuShader4(c)) continue;
        ASSERT_TRUE(c.ok) << GoldenLabel(c) << "\n" << c.log;
        std::string messages;
        EXPECT_TRUE(CompilesWithGlslang(c.target, c.stage, c.text.c_str(), &messages))
            << GoldenLabel(c) << "\n--- text:\n" << c.text << "--- glslangValidator:\n" << messages;
    }
}

// What the vertex stage passes on must be what the pixel stage reads: each
// vertex and pixel pair also links.
TEST(Goldens, EachGLVertexAndPixelPairLinks) {
    const std::vector<GoldenCase>& cases = Cases();
    int linked = 0;
    for (const GoldenCase& vertex : cases) {
        if (!IsGLFamily(vertex) || vertex.stage != VERTEX_SHADER) continue;
        const GoldenCase* pixel = nullptr;
        for (const GoldenCase& c : cases)
            if (c.folder == vertex.folder && c.fixture == vertex.fixture && c.target == vertex.target &&
                c.stage == PIXEL_SHADER)
                pixel = &c;
        ASSERT_NE(pixel, nullptr) << GoldenLabel(vertex);
        if (UsesGpuShader4(vertex) || UsesGpuShader4(*pixel)) continue;
        ASSERT_TRUE(vertex.ok && pixel->ok) << GoldenLabel(vertex) << "\n" << vertex.log;
        std::string messages;
        EXPECT_TRUE(LinksWithGlslang(vertex.target, vertex.text.c_str(), pixel->text.c_str(), &messages))
            << GoldenLabel(vertex) << "\n--- vertex:\n" << vertex.text << "--- pixel:\n" << pixel->text
            << "--- glslangValidator:\n" << messages;
        ++linked;
    }
    EXPECT_GT(linked, 0);
}

// The exception list names only fixtures that really need the extension.
TEST(Goldens, OnlyListedFixturesUseTheGpuShader4Extension) {
    for (const GoldenCase& c : Cases()) {
        if (c.target != GLSL21) continue;
        bool uses = strstr(c.text.c_str(), "GL_EXT_gpu_shader4") != nullptr;
        EXPECT_EQ(uses, UsesGpuShader4(c)) << GoldenLabel(c);
    }
}

TEST(Goldens, HLSLTranslationsCompileWithGlslang) {
    for (const GoldenCase& c : Cases()) {
        if (IsGLFamily(c)) continue;
        ASSERT_TRUE(c.ok) << GoldenLabel(c) << "\n" << c.log;
        std::string messages;
        EXPECT_TRUE(CompilesAsHLSL(c.target, c.stage, c.text.c_str(), &messages))
            << GoldenLabel(c) << "\n--- text:\n" << c.text << "--- glslangValidator:\n" << messages;
    }
}

}  // namespace
}  // namespace testing
}  // namespace ShaderTool

// Each fixture's translation for each GL-family target and stage equals its
// expected file byte for byte, and compiles with glslangValidator.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "shadertool/translate/tests/glsl_glslang.h"
#include "shadertool/translate/tests/glsl_goldens.h"

namespace ShaderTool {
namespace testing {
namespace {

// GLSL21 texts that use GL_EXT_gpu_shader4, which glslangValidator does not
// know: the only texts that are not compiled.
const char* const kGpuShader4Cases[] = {"lod_sampling.pixel"};

bool UsesGpuShader4(const GoldenCase& c) {
    if (c.target != GLSL21) return false;
    std::string name = c.fixture + (c.stage == PIXEL_SHADER ? ".pixel" : ".vertex");
    for (const char* listed : kGpuShader4Cases)
        if (name == listed) return true;
    return false;
}

std::string Label(const GoldenCase& c) {
    return c.fixture + " / " + GoldenTargetName(c.target) + (c.stage == PIXEL_SHADER ? " pixel" : " vertex");
}

std::vector<GoldenCase> Cases() {
    std::vector<GoldenCase> cases;
    std::string messages;
    EXPECT_TRUE(ListGoldenCases(&cases, &messages)) << messages;
    EXPECT_FALSE(cases.empty());
    return cases;
}

TEST(GLSLGoldens, TranslationsEqualTheExpectedFiles) {
    for (const GoldenCase& c : Cases()) {
        GoldenResult result = TranslateGoldenCase(c);
        EXPECT_TRUE(result.ok) << Label(c) << "\n" << result.log;
        std::ifstream file(ExpectedPath(c), std::ios::binary);
        ASSERT_TRUE(file.good()) << Label(c) << ": no expected file " << ExpectedPath(c);
        std::stringstream expected;
        expected << file.rdbuf();
        EXPECT_EQ(result.text, expected.str()) << Label(c);
    }
}

TEST(GLSLGoldens, TranslationsCompileWithGlslang) {
    for (const GoldenCase& c : Cases()) {
        if (UsesGpuShader4(c)) continue;
        GoldenResult result = TranslateGoldenCase(c);
        ASSERT_TRUE(result.ok) << Label(c) << "\n" << result.log;
        std::string messages;
        EXPECT_TRUE(CompilesWithGlslang(c.target, c.stage, result.text.c_str(), &messages))
            << Label(c) << "\n--- text:\n" << result.text << "--- glslangValidator:\n" << messages;
    }
}

// The exception list names only fixtures that really need the extension.
TEST(GLSLGoldens, OnlyListedFixturesUseTheGpuShader4Extension) {
    for (const GoldenCase& c : Cases()) {
        if (c.target != GLSL21) continue;
        GoldenResult result = TranslateGoldenCase(c);
        bool uses = strstr(result.text.c_str(), "GL_EXT_gpu_shader4") != nullptr;
        EXPECT_EQ(uses, UsesGpuShader4(c)) << Label(c);
    }
}

}  // namespace
}  // namespace testing
}  // namespace ShaderTool

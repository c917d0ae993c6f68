// Each fixture's translation for each HLSL-family target and stage equals
// its expected file byte for byte, and compiles with glslangValidator's HLSL
// front end (PSSL with its names mapped to HLSL's).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "shadertool/translate/tests/hlsl_glslang.h"
#include "shadertool/translate/tests/hlsl_goldens.h"

namespace ShaderTool {
namespace testing {
namespace {

std::vector<HLSLGoldenCase> Cases() {
    std::vector<HLSLGoldenCase> cases;
    std::string messages;
    EXPECT_TRUE(ListHLSLGoldenCases(&cases, &messages)) << messages;
    EXPECT_FALSE(cases.empty());
    return cases;
}

TEST(HLSLGoldens, TranslationsEqualTheExpectedFiles) {
    for (const HLSLGoldenCase& c : Cases()) {
        HLSLGoldenResult result = TranslateHLSLGoldenCase(c);
        EXPECT_TRUE(result.ok) << HLSLGoldenLabel(c) << "\n" << result.log;
        std::ifstream file(HLSLExpectedPath(c), std::ios::binary);
        ASSERT_TRUE(file.good()) << HLSLGoldenLabel(c) << ": no expected file " << HLSLExpectedPath(c);
        std::stringstream expected;
        expected << file.rdbuf();
        EXPECT_EQ(result.text, expected.str()) << HLSLGoldenLabel(c);
    }
}

// The driver, running the translator, writes the same texts.
TEST(HLSLGoldens, TheDriverTranslatesToTheExpectedFiles) {
    for (const HLSLGoldenCase& c : Cases()) {
        HLSLGoldenResult result = TranslateHLSLGoldenCaseWithDriver(c);
        ASSERT_TRUE(result.ok) << HLSLGoldenLabel(c) << "\n" << result.log;
        std::ifstream file(HLSLExpectedPath(c), std::ios::binary);
        std::stringstream expected;
        expected << file.rdbuf();
        EXPECT_EQ(result.text, expected.str()) << HLSLGoldenLabel(c);
    }
}

TEST(HLSLGoldens, TranslationsCompileWithGlslang) {
    for (const HLSLGoldenCase& c : Cases()) {
        HLSLGoldenResult result = TranslateHLSLGoldenCase(c);
        ASSERT_TRUE(result.ok) << HLSLGoldenLabel(c) << "\n" << result.log;
        std::string messages;
        EXPECT_TRUE(CompilesAsHLSL(c.target, c.stage, result.text.c_str(), &messages))
            << HLSLGoldenLabel(c) << "\n--- text:\n" << result.text << "--- glslangValidator:\n" << messages;
    }
}

}  // namespace
}  // namespace testing
}  // namespace ShaderTool

// Each fixture's translation for each GL-family target and stage equals its
// expected file byte for byte, and compiles with glslangValidator.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "engine/storage/database_manager.h"
#include "shadertool/translate/translator_driver.h"

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

std::string ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
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
        EXPECT_EQ(result.text, ReadWhole(ExpectedPath(c))) << Label(c);
    }
}

// The driver makes the same texts with the translators it creates for the
// GL-family targets, and writes them where the tool's users find them.
TEST(GLSLGoldens, TheDriverWritesTheSameTexts) {
    std::vector<GoldenCase> cases = Cases();
    char pattern[] = "/tmp/zk-glsl-goldens-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string out = std::string(pattern) + "/";
    std::set<std::string> fixtures;
    for (const GoldenCase& c : cases) fixtures.insert(c.fixture);
    for (const std::string& fixture : fixtures) {
        int targets = 0;
        for (const GoldenCase& c : cases)
            if (c.fixture == fixture) targets |= c.target;
        for (const GoldenCase& c : cases) {
            std::string directory = out + GoldenTargetName(c.target);
            mkdir(directory.c_str(), 0700);
            mkdir((directory + "/bin").c_str(), 0700);
        }
        TranslatorDriver driver;
        ASSERT_TRUE(driver.Initialize(targets, out.c_str(), false));
        TranslatorDriver::Options options;
        options.input_directory = kGoldenDirectory;
        options.target_mask = targets;
        nString path = (std::string(kGoldenDirectory) + fixture + ".xml").c_str();
        EXPECT_TRUE(driver.Translate(path, options, true)) << fixture << "\n" << driver.GetMasterLog().GetText();
        for (const GoldenCase& c : cases) {
            if (c.fixture != fixture) continue;
            std::string written = out + GoldenTargetName(c.target) + "/" + fixture +
                                  (c.stage == PIXEL_SHADER ? ".pixel" : ".vertex");
            EXPECT_EQ(ReadWhole(written), ReadWhole(ExpectedPath(c))) << Label(c);
        }
        while (zk_dman.databases.count > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
    }
    std::system(("rm -rf '" + out + "'").c_str());
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

// What the vertex stage passes on must be what the pixel stage reads: each
// vertex and pixel pair also links.
TEST(GLSLGoldens, EachVertexAndPixelPairLinks) {
    std::vector<GoldenCase> cases = Cases();
    int linked = 0;
    for (const GoldenCase& vertex : cases) {
        if (vertex.stage != VERTEX_SHADER) continue;
        GoldenCase pixel = vertex;
        pixel.stage = PIXEL_SHADER;
        if (UsesGpuShader4(vertex) || UsesGpuShader4(pixel)) continue;
        GoldenResult vertexText = TranslateGoldenCase(vertex);
        GoldenResult pixelText = TranslateGoldenCase(pixel);
        ASSERT_TRUE(vertexText.ok && pixelText.ok) << Label(vertex) << "\n" << vertexText.log << pixelText.log;
        std::string messages;
        EXPECT_TRUE(LinksWithGlslang(vertex.target, vertexText.text.c_str(), pixelText.text.c_str(), &messages))
            << vertex.fixture << " / " << GoldenTargetName(vertex.target) << "\n--- vertex:\n" << vertexText.text
            << "--- pixel:\n" << pixelText.text << "--- glslangValidator:\n" << messages;
        ++linked;
    }
    EXPECT_GT(linked, 0);
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

#include "shadertool/translate/output_paths.h"

#include <gtest/gtest.h>

namespace ShaderTool {
namespace {

TEST(OutputPaths, EveryTargetStageAndLevel) {
    struct Case {
        const char* directory;
        int target;
        const char* subdirectory;
        const char* base;
        int level;
        int stage;
        const char* expected;
    };
    const Case cases[] = {
        {"out/", ESSL20, "", "effects/blur", 0, VERTEX_SHADER, "out/ESSL20/effects/blur.vertex"},
        {"out/", ESSL30, "", "x", 0, VERTEX_SHADER, "out/ESSL30/x.vertex"},
        {"out/", GLSL21, "", "effects/blur", 0, PIXEL_SHADER, "out/GLSL21/effects/blur.pixel"},
        {"out/", GLSL31, "", "effects/blur", 0, VERTEX_SHADER, "out/GLSL31/effects/blur.vertex"},
        {"out/", HLSL9, "", "effects/blur", 0, PIXEL_SHADER, "out/HLSL9/effects/blur.pixel"},
        {"out/", HLSL11, "", "effects/blur", 0, VERTEX_SHADER, "out/HLSL11/effects/blur.vertex"},
        {"out/", PSSL, "", "effects/blur", 0, PIXEL_SHADER, "out/PSSL/effects/blur.pixel"},
        {"out/", HLSL11, "bin/", "effects/blur", HLSL11_DEFAULT, VERTEX_SHADER, "out/HLSL11/bin/effects/blur_DEFAULT.vertex"},
        {"out/", HLSL11, "bin/", "effects/blur", HLSL11_LOW, VERTEX_SHADER, "out/HLSL11/bin/effects/blur_LOW.vertex"},
        {"out/", HLSL11, "bin/", "effects/blur", HLSL11_XBOX, PIXEL_SHADER, "out/HLSL11/bin/effects/blur_XBOX.pixel"},
        {"out/", HLSL11, "bin/", "effects/blur", 0, PIXEL_SHADER, "out/HLSL11/bin/effects/blur.pixel"},
        // A mask of several levels names no single level: no suffix.
        {"out/", HLSL11, "bin/", "b", ALL_LEVELS, PIXEL_SHADER, "out/HLSL11/bin/b.pixel"},
        {"out/", HLSL11, "bin/", "b", 3, VERTEX_SHADER, "out/HLSL11/bin/b.vertex"},
        {"out/", PSSL, "bin/", "effects/blur", 0, VERTEX_SHADER, "out/PSSL/bin/effects/blur.vertex"},
        {"./", GLSL21, "", "sub/y", 0, VERTEX_SHADER, "./GLSL21/sub/y.vertex"},
        {"", HLSL9, "", "y", 0, VERTEX_SHADER, "HLSL9/y.vertex"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(GetOutputFilePath(c.directory, c.target, c.subdirectory, c.base, c.level, c.stage).c_str(),
                     c.expected);
}

TEST(OutputPaths, Names) {
    const char* const targets[] = {"ESSL20", "ESSL30", "GLSL21", "GLSL31", "HLSL9", "HLSL11", "PSSL"};
    for (int i = 0; i < 7; ++i) EXPECT_STREQ(GetTargetName(1 << i), targets[i]);
    EXPECT_STREQ(GetTargetName(0), "");
    EXPECT_STREQ(GetTargetName(ESSL), "");
    EXPECT_STREQ(GetTargetName(128), "");
    EXPECT_STREQ(GetStageName(VERTEX_SHADER), "vertex");
    EXPECT_STREQ(GetStageName(PIXEL_SHADER), "pixel");
    EXPECT_STREQ(GetStageName(UNKNOWN_SHADER), "");
    EXPECT_STREQ(GetLevelSuffix(HLSL11_DEFAULT), "_DEFAULT");
    EXPECT_STREQ(GetLevelSuffix(HLSL11_LOW), "_LOW");
    EXPECT_STREQ(GetLevelSuffix(HLSL11_XBOX), "_XBOX");
    EXPECT_STREQ(GetLevelSuffix(0), "");
    EXPECT_STREQ(GetLevelName(HLSL11_LOW), "HLSL11_LOW");
    EXPECT_STREQ(GetLevelName(8), "");
}

}  // namespace
}  // namespace ShaderTool

#include "shadertool/translate/compiler.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace ShaderTool {
namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

class TemporaryDirectory {
public:
    TemporaryDirectory() {
        char pattern[] = "/tmp/zk-compiler-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made ? made : "";
    }
    ~TemporaryDirectory() {
        if (!path.empty()) std::system(("rm -rf '" + path + "'").c_str());
    }
    std::string path;
};

TEST(CompilerOutput, FramesTheOutsideCompilersText) {
    struct Case {
        const char* output;
        ShaderLevel level;
        const char* expected;
    };
    const Case cases[] = {
        {"warning X\r\n\r\n", HLSL11_LOW, "- Compilation output (HLSL11_LOW):\nwarning X\n"},
        {"warning X\r\n\r\n", LEVEL_NONE, "- Compilation output:\nwarning X\n"},
        {"a\nb", HLSL11_DEFAULT, "- Compilation output (HLSL11_DEFAULT):\na\nb\n"},
        {"done\n", HLSL11_XBOX, "- Compilation output (HLSL11_XBOX):\ndone\n"},
        {"x", ShaderLevel(3), "- Compilation output ():\nx\n"},
        {"", LEVEL_NONE, "- Compilation output:\n\n"},
        {nullptr, LEVEL_NONE, "- Compilation output:\n\n"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(Compiler::ProcessOutput(c.output, c.level).c_str(), c.expected) << (c.output ? c.output : "null");
}

TEST(CompilerSetUp, FamiliesAndNoCompilerForAnyTarget) {
    const struct {
        int target;
        int family;
    } cases[] = {{ESSL20, 0}, {ESSL30, 0}, {GLSL21, 0}, {GLSL31, 0}, {HLSL9, 1}, {HLSL11, 1}, {PSSL, 2},
                 {0, -1},     {HLSL, -1},  {128, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(GetCompilerFamily(ShaderTarget(c.target)), c.family) << c.target;
        EXPECT_EQ(CreateCompiler(ShaderTarget(c.target)), nullptr) << c.target;
    }
    ExternalCompilerUtility utility;
    EXPECT_FALSE(utility.Initialize());
}

TEST(ExternalCompilerUtility, ShaderIdWraps) {
    ExternalCompilerUtility utility;
    utility.SetShaderID(4294967295u);
    utility.IncrementShaderID();
    EXPECT_EQ(utility.GetShaderID(), 0u);
}

TEST(ExternalCompilerUtility, WritesSourceToNewPrivateFiles) {
    TemporaryDirectory temp;
    ASSERT_FALSE(temp.path.empty());
    ExternalCompilerUtility utility;
    utility.SetTemporaryDirectory(temp.path.c_str());
    utility.SetShaderID(7);
    ASSERT_TRUE(utility.OutputSource(HLSL11, VERTEX_SHADER, "float4 main() {}"));
    std::string source = temp.path + "/HLSL11_vertex_shader_7";
    EXPECT_EQ(utility.GetSourcePath().c_str(), source);
    EXPECT_EQ(utility.GetCompiledCodePath().c_str(), source + ".code");
    EXPECT_EQ(utility.GetShaderID(), 8u);
    EXPECT_EQ(ReadWhole(source), "float4 main() {}");
    struct stat info;
    ASSERT_EQ(stat(source.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(stat((source + ".code").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// A name someone else placed in the temporary directory (a file or a link
// to a file of the user's) is passed over, never written through.
TEST(ExternalCompilerUtility, PassesOverNamesThatExist) {
    TemporaryDirectory temp;
    ASSERT_FALSE(temp.path.empty());
    std::string victim = temp.path + "/victim";
    std::ofstream(victim) << "keep";
    ASSERT_EQ(symlink(victim.c_str(), (temp.path + "/PSSL_pixel_shader_0").c_str()), 0);
    ASSERT_EQ(symlink(victim.c_str(), (temp.path + "/PSSL_pixel_shader_1.code").c_str()), 0);
    std::ofstream(temp.path + "/PSSL_pixel_shader_2") << "other";

    ExternalCompilerUtility utility;
    utility.SetTemporaryDirectory(temp.path.c_str());
    ASSERT_TRUE(utility.OutputSource(PSSL, PIXEL_SHADER, "text"));
    EXPECT_EQ(utility.GetSourcePath().c_str(), temp.path + "/PSSL_pixel_shader_3");
    EXPECT_EQ(ReadWhole(victim), "keep");
    EXPECT_EQ(ReadWhole(temp.path + "/PSSL_pixel_shader_2"), "other");
    // The source reserved for id 1 was given back when its code name was taken.
    EXPECT_FALSE(Exists(temp.path + "/PSSL_pixel_shader_1"));
}

TEST(ExternalCompilerUtility, RunsTheCommandAndCollectsTheCode) {
    TemporaryDirectory temp;
    ASSERT_FALSE(temp.path.empty());
    Log log;
    ExternalCompilerUtility utility(&log);
    utility.SetTemporaryDirectory(temp.path.c_str());
    utility.SetShaderID(7);
    nString command = "cp $INPUT $OUTPUT";
    nByteBuffer code;
    ASSERT_TRUE(utility.Compile(HLSL11, VERTEX_SHADER, command, "compiled bytes", code));
    std::string source = temp.path + "/HLSL11_vertex_shader_7";
    EXPECT_EQ(std::string(command.c_str()), "cp " + source + " " + source + ".code");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(code.data), code.size), "compiled bytes");
    EXPECT_FALSE(Exists(source));
    EXPECT_FALSE(Exists(source + ".code"));
    EXPECT_FALSE(log.has_errors);
}

// No shell runs the command: a redirection is just text handed to the program.
TEST(ExternalCompilerUtility, PassesShellSyntaxAsPlainArguments) {
    TemporaryDirectory temp;
    ASSERT_FALSE(temp.path.empty());
    Log log;
    ExternalCompilerUtility utility(&log);
    utility.SetTemporaryDirectory(temp.path.c_str());
    nString command = "echo hello>$OUTPUT";
    nByteBuffer code;
    ASSERT_TRUE(utility.Compile(GLSL21, PIXEL_SHADER, command, "x", code));
    EXPECT_EQ(code.size, 0);
    std::string expected = "- Compilation output:\nhello>" + temp.path + "/GLSL21_pixel_shader_0.code\n";
    EXPECT_EQ(std::string(log.text.c_str()), expected);
}

TEST(ExternalCompilerUtility, ReportsFailures) {
    struct Case {
        const char* command;
        bool with_directory;
        const char* error;
    };
    const Case cases[] = {
        {"zk-no-such-compiler $INPUT", true, "Error: failed to call the external compiler.\n"},
        {"false", true, "Error: the external compiler reported a failure.\n"},
        {"", true, "Error: failed to call the external compiler.\n"},
        {"cp $INPUT $OUTPUT", false, "Error: failed to initialize the compilation.\n"},
    };
    for (const Case& c : cases) {
        TemporaryDirectory temp;
        ASSERT_FALSE(temp.path.empty());
        Log log;
        ExternalCompilerUtility utility(&log);
        if (c.with_directory) utility.SetTemporaryDirectory(temp.path.c_str());
        nString command = c.command;
        nByteBuffer code;
        EXPECT_FALSE(utility.Compile(HLSL9, VERTEX_SHADER, command, "x", code)) << c.command;
        EXPECT_STREQ(log.text.c_str(), c.error) << c.command;
        EXPECT_TRUE(log.has_errors);
        EXPECT_FALSE(Exists(temp.path + "/HLSL9_vertex_shader_0")) << c.command;
        EXPECT_FALSE(Exists(temp.path + "/HLSL9_vertex_shader_0.code")) << c.command;
    }
}

}  // namespace
}  // namespace ShaderTool

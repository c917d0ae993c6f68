// The command line's argument handling: every argument error with its exact
// message and exit code, and what the options record ends up holding.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "engine/runtime/tests/core_fixture.h"
#include "engine/storage/database_manager.h"
#include "engine/storage/filesystem.h"
#include "tools/shader-tool/command_line.h"

namespace {

// Runs each test in a fresh, empty working directory.
class CommandLineTest : public ZkCoreTest {
protected:
    void SetUp() override {
        ZkCoreTest::SetUp();
        ZKFileSystem::Initialize();
        char pattern[] = "/tmp/zk_cli_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
        ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
        ASSERT_EQ(chdir(directory_.c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(previous_), 0);
        std::string command = "rm -rf '" + directory_ + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        ZKFileSystem::Deinitialize();
        ZkCoreTest::TearDown();
    }

    static void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

    // Runs the command line with these arguments; returns its output.
    static std::string Run(std::vector<std::string> arguments, int* exitCode) {
        arguments.insert(arguments.begin(), "zk-shader-tool");
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(&argument[0]);
        StdoutCapture out;
        *exitCode = ZK_CommandLine_Main(static_cast<int>(argv.size()), argv.data());
        return out.Finish();
    }

    static bool Parse(std::vector<std::string> arguments, Options& options) {
        arguments.insert(arguments.begin(), "zk-shader-tool");
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(&argument[0]);
        StdoutCapture out;
        return ParseCommandLineArguments(static_cast<int>(argv.size()), argv.data(), options);
    }

    std::string directory_;
    char previous_[4096];
};

const std::string kBanner = "Zekar Shader Tool version 3.1\n\n";

std::string Usage() { return std::string(GetShaderToolUsageText().c_str()) + "\n"; }

TEST_F(CommandLineTest, ArgumentErrorsPrintTheirMessageAndTheUsage) {
    mkdir("shaders", 0777);
    WriteFile("shaders/a.xml", "<?xml version=\"1.0\"?><root></root>");
    WriteFile("upper.XML", "x");
    mkdir("empty", 0777);
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"-t"}, "Argument for option 'target' is missing.\n"},
        {{"-t", "FOO"}, "Argument for option 'target' is invalid.\n"},
        {{"-t", "~"}, "Argument for option 'target' is invalid.\n"},
        {{"-t", "~HLSL9", "-t", "ESSL20"},
         "Only one 'target' must be specified when a target with '~' is specified.\n"},
        {{"-t", "ESSL20", "-t", "~HLSL9"},
         "Only one 'target' must be specified when a target with '~' is specified.\n"},
        {{"-l"}, "Argument for option 'level' is missing.\n"},
        {{"-l", "HLSL11"}, "Argument for option 'level' is invalid.\n"},
        {{"-o"}, "Argument for option 'output' is missing.\n"},
        {{"-o", ""}, "Argument for option 'output' is empty.\n"},
        {{"-o", "out", "-o", ""}, "Argument for option 'output' is empty.\n"},
        {{"-x"}, "Unknown option '-x' specified.\n\n"},
        {{"--forced"}, "Unknown option '--forced' specified.\n\n"},
        {{"shaders", "-t", "ALL"}, "Options must be placed before input file/directory.\n"},
        {{"shaders", "shaders"}, "Only one input file/directory must be specified.\n"},
        {{"upper.XML"}, "Path 'upper.XML' is not an XML file.\n\n"},
        {{"empty"}, "Path 'empty' is not a directory or does not contain Shader XML files.\n\n"},
        {{"missing"}, "Path 'missing' is not a directory or does not contain Shader XML files.\n\n"},
    };
    for (const Case& c : cases) {
        int exitCode = -1;
        std::string output = Run(c.arguments, &exitCode);
        EXPECT_EQ(output, kBanner + c.message + Usage()) << c.arguments[0];
        EXPECT_EQ(exitCode, 1) << c.arguments[0];
        // --print-failures-only keeps the message but drops the usage.
        std::vector<std::string> quiet = c.arguments;
        quiet.insert(quiet.begin(), "--print-failures-only");
        if (c.arguments[0] == "shaders" || c.arguments[0] == "upper.XML" || c.arguments[0] == "empty" ||
            c.arguments[0] == "missing") {
            continue;  // the flag must precede the input, which these cases test
        }
        EXPECT_EQ(Run(quiet, &exitCode), kBanner + c.message) << c.arguments[0];
        EXPECT_EQ(exitCode, 1);
    }
}

TEST_F(CommandLineTest, HelpAndMissingInputsOrTargets) {
    int exitCode = -1;
    // The usage needs no input: the current directory is not searched.
    EXPECT_EQ(Run({"-h"}, &exitCode), kBanner + Usage());
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(Run({"-h", "--print-failures-only"}, &exitCode), kBanner);
    EXPECT_EQ(exitCode, 0);
    // Without an input and without -h it is searched, here in vain.
    const std::string nothingHere = "Path '.' is not a directory or does not contain Shader XML files.\n\n";
    EXPECT_EQ(Run({}, &exitCode), kBanner + nothingHere + Usage());
    EXPECT_EQ(exitCode, 1);

    WriteFile("a.xml", "<?xml version=\"1.0\"?><root></root>");
    Options help;
    EXPECT_TRUE(Parse({"--help"}, help));
    EXPECT_EQ(help.inputFiles.count, 0) << "the folder was searched for a usage request";
    EXPECT_TRUE(help.showUsage);
    EXPECT_EQ(Run({}, &exitCode), kBanner + "No targets specified.\n" + Usage());
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(Run({"-t", "~ALL"}, &exitCode), kBanner + "No targets specified.\n" + Usage());
    EXPECT_EQ(exitCode, 1);
}

TEST_F(CommandLineTest, TargetAndLevelMasks) {
    WriteFile("a.xml", "x");
    struct Case {
        std::vector<std::string> arguments;
        int targets;
        int levels;
    } cases[] = {
        {{"-t", "~HLSL9"}, 111, 0},
        {{"-t", "ESSL20", "-t", "GLSL"}, 13, 0},
        {{"--target", "ALL", "-l", "HLSL11_LOW"}, 127, 2},
        {{"-t", "PSSL", "--level", "HLSL11_XBOX", "-l", "HLSL11_DEFAULT"}, 64, 5},
        {{"-t", "HLSL", "-l", "ALL"}, 48, 7},
    };
    for (const Case& c : cases) {
        Options options;
        EXPECT_TRUE(Parse(c.arguments, options)) << c.arguments[1];
        EXPECT_EQ(options.targetMask, c.targets) << c.arguments[1];
        EXPECT_EQ(options.levelMask, c.levels) << c.arguments[1];
    }
}

TEST_F(CommandLineTest, DefinitionsAndFlags) {
    WriteFile("a.xml", "x");
    Options options;
    ASSERT_TRUE(Parse({"-dFOO", "-dA=B=C", "-dEMPTY=", "-d", "-c", "-f", "--keep-translations", "--pp", "--ppdef",
                       "--print-failures-only", "-o", "out"},
                      options));
    const char* expected[] = {"FOO", "1", "A", "B=C", "EMPTY", "", "", "1"};
    ASSERT_EQ(options.definitions.count, 8);
    for (int i = 0; i < 8; ++i) EXPECT_STREQ(options.definitions.items[i].c_str(), expected[i]) << i;
    EXPECT_TRUE(options.compile);
    EXPECT_TRUE(options.force);
    EXPECT_FALSE(options.deleteTranslations);
    EXPECT_TRUE(options.preprocessOnly);
    EXPECT_TRUE(options.listDefinitions);
    EXPECT_TRUE(options.printFailuresOnly);
    EXPECT_STREQ(options.outputDirectory.c_str(), "out/");
    // No input argument: the current directory's files, relative to "./".
    ASSERT_EQ(options.inputFiles.count, 1);
    EXPECT_STREQ(options.inputFiles.items[0].c_str(), "./a.xml");
    EXPECT_STREQ(options.inputDirectory.c_str(), "./");
}

TEST_F(CommandLineTest, InputDirectoryOfFilesAndFolders) {
    mkdir("dir", 0777);
    mkdir("dir/sub", 0777);
    WriteFile("dir/x.xml", "x");
    WriteFile("dir/sub/y.xml", "y");
    struct Case {
        std::vector<std::string> arguments;
        const char* directory;
        int files;
    } cases[] = {
        {{"dir/x.xml"}, "dir/", 1},
        {{"dir"}, "dir/", 1},
        {{"-r", "dir"}, "dir/", 2},
        {{"-r", "dir/"}, "dir/", 2},
    };
    for (const Case& c : cases) {
        Options options;
        EXPECT_TRUE(Parse(c.arguments, options)) << c.arguments.back();
        EXPECT_STREQ(options.inputDirectory.c_str(), c.directory) << c.arguments.back();
        EXPECT_EQ(options.inputFiles.count, c.files) << c.arguments.back();
    }
    Options options;
    options.SetInputDirectory("x.xml", true);
    EXPECT_STREQ(options.inputDirectory.c_str(), "");
    options.SetInputDirectory("/x.xml", true);
    EXPECT_STREQ(options.inputDirectory.c_str(), "");
    options.SetInputDirectory("a\\", false);
    EXPECT_STREQ(options.inputDirectory.c_str(), "a\\");
}

// A pipeline run may cover thousands of Shader XMLs: each file's database
// goes once the file is done, so memory does not grow with the file count,
// and the shared constants files go at the end, so nothing is left at exit.
TEST_F(CommandLineTest, TranslatedFilesLeaveNoDatabaseBehind) {
    std::string fixtures = std::string(previous_) + "/tests/data/shader-tool/";
    std::string examples = std::string(previous_) + "/examples/shaders/";
    ASSERT_EQ(std::system(("cp '" + fixtures + "good/quad.xml' '" + fixtures + "mixed/broken.xml' '" + examples +
                           "tinted.xml' . && cp -r '" + examples + "common' .")
                              .c_str()),
              0);
    WriteFile("notshader.xml", "<root></root>");
    WriteFile("garbage.xml", "\x01<<<");
    int before = zk_dman.databases.count;
    int exitCode = 0;
    std::string output = Run({"-t", "GLSL21", "-dSCALE=0.5", "-o", "out", "."}, &exitCode);
    EXPECT_EQ(exitCode, 1) << output;
    EXPECT_NE(output.find("2 of 5 Shader XML(s) were translated successfully."), std::string::npos) << output;
    EXPECT_EQ(zk_dman.databases.count, before);
}

TEST(Usage, FitsEightyColumnsAndKeepsItsLayout) {
    std::string text = GetShaderToolUsageText().c_str();
    EXPECT_EQ(text.rfind("Usage: zk-shader-tool options [file/directory]\n\nOptions:\n", 0), 0u);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        ASSERT_NE(end, std::string::npos) << "the text ends with a line break";
        EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
        start = end + 1;
    }
    EXPECT_NE(text.find("  -t --target <target> ...  Translation target (required), multiple targets can\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n                            specified with multple level options.\n"), std::string::npos);
    EXPECT_NE(text.find("\n                              HLSL (HLSL9 | HLSL11)\n\n                              ALL\n\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n  --pp                      Runs the preprocessor only,\n\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 52), "working directory is searched for Shader XML files.\n");
}

}  // namespace

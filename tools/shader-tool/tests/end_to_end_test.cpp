// zk-shader-tool run as a program on fixture folders: which files it writes
// and deletes, what it prints and what it returns.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class ShaderToolRun : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zk_tool_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        work_ = pattern;
        fixtures_ = std::string(ZK_SOURCE_DIR) + "/tests/data/shader-tool/";
    }
    void TearDown() override { Shell("rm -rf '" + work_ + "'"); }

    static int Shell(const std::string& command) {
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Copies a fixture folder into the working directory under the same name.
    void CopyFixture(const std::string& name) { ASSERT_EQ(Shell("cp -r '" + fixtures_ + name + "' '" + work_ + "/'"), 0); }

    // Runs the tool in the working directory; returns its standard output.
    std::string Run(const std::string& arguments, int* exitCode) {
        std::string command = "cd '" + work_ + "' && '" ZK_SHADER_TOOL_PATH "' " + arguments + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        std::string output;
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
        int status = pclose(pipe);
        *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return output;
    }

    // Every regular file below the working directory's "out", sorted.
    std::string ListOutputs() {
        std::string command = "cd '" + work_ + "' && find out -type f 2>/dev/null | sort";
        FILE* pipe = popen(command.c_str(), "r");
        std::string list;
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) list.append(buffer, n);
        pclose(pipe);
        return list;
    }

    bool Exists(const std::string& path) {
        struct stat info;
        return stat((work_ + "/" + path).c_str(), &info) == 0;
    }

    std::string work_;
    std::string fixtures_;
};

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST_F(ShaderToolRun, RecursiveRunWritesEveryTargetAndDropsBinaryTargetTexts) {
    CopyFixture("good");
    int exitCode = -1;
    std::string output = Run("-r -t ALL -dSCALE=0.5 -o out good", &exitCode);
    EXPECT_EQ(exitCode, 0) << output;
    EXPECT_EQ(Count(output, "Translation SUCCEEDED"), 2) << output;
    EXPECT_NE(output.find("Translating Shader XML 'good/quad.xml'..."), std::string::npos) << output;
    EXPECT_NE(output.find("2 of 2 Shader XML(s) were translated successfully.\n\n"), std::string::npos) << output;
    EXPECT_EQ(output.find("Logs of failed translations:"), std::string::npos);
    // HLSL11 and PSSL texts are deleted after success; the other targets
    // keep theirs, in the input's sub-folders.
    std::ostringstream expected;
    const char* kept[] = {"ESSL20", "ESSL30", "GLSL21", "GLSL31", "HLSL9"};
    for (const char* target : kept) {
        expected << "out/" << target << "/quad.pixel\n" << "out/" << target << "/quad.vertex\n";
        expected << "out/" << target << "/sub/plain.pixel\n" << "out/" << target << "/sub/plain.vertex\n";
    }
    EXPECT_EQ(ListOutputs(), expected.str());
    EXPECT_TRUE(Exists("out/HLSL11/bin/sub"));
    EXPECT_TRUE(Exists("out/PSSL/bin"));

    // The reference time comes from compiled binaries only; with none on
    // disk a second run translates everything again, forced or not.
    output = Run("-r -t GLSL31 -dSCALE=0.5 -o out good", &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(Count(output, "up to date"), 0) << output;
    EXPECT_EQ(Count(output, "Translation SUCCEEDED"), 2) << output;
    output = Run("-f -r -t GLSL31 -dSCALE=0.5 -o out good", &exitCode);
    EXPECT_EQ(Count(output, "Translation SUCCEEDED"), 2) << output;

    // Kept translations of the binary targets.
    output = Run("-r -t HLSL11 -l ALL --keep-translations -dSCALE=0.5 -o kept good", &exitCode);
    EXPECT_EQ(exitCode, 0) << output;
    EXPECT_TRUE(Exists("kept/HLSL11/quad.pixel"));
    EXPECT_TRUE(Exists("kept/HLSL11/sub/plain.vertex"));
}

// An output replaces the file before it with the same permissions, whether
// that file was there before the run (found when the run first looks into
// its folder) or written earlier in the run; new outputs get the usual ones.
TEST_F(ShaderToolRun, OutputsKeepThePermissionsOfTheFilesTheyReplace) {
    CopyFixture("good");
    ASSERT_EQ(Shell("cd '" + work_ + "' && mkdir -p out/GLSL21/sub && touch out/GLSL21/quad.pixel "
                    "out/GLSL21/sub/plain.vertex && chmod 0604 out/GLSL21/quad.pixel && "
                    "chmod 0660 out/GLSL21/sub/plain.vertex"),
              0);
    auto mode = [&](const std::string& path) {
        struct stat info;
        return stat((work_ + "/" + path).c_str(), &info) == 0 ? info.st_mode & 07777 : 0u;
    };
    mode_t mask = umask(0);
    umask(mask);
    int exitCode = -1;
    std::string output = Run("-r -t GLSL21 -dSCALE=0.5 -o out good", &exitCode);
    ASSERT_EQ(exitCode, 0) << output;
    EXPECT_EQ(mode("out/GLSL21/quad.pixel"), 0604u);
    EXPECT_EQ(mode("out/GLSL21/sub/plain.vertex"), 0660u);
    EXPECT_EQ(mode("out/GLSL21/quad.vertex"), 0666u & ~mask);
    ASSERT_EQ(Shell("chmod 0640 '" + work_ + "/out/GLSL21/quad.vertex'"), 0);
    output = Run("-r -t GLSL21 -dSCALE=0.5 -o out good", &exitCode);
    ASSERT_EQ(exitCode, 0) << output;
    EXPECT_EQ(mode("out/GLSL21/quad.vertex"), 0640u);
    EXPECT_EQ(mode("out/GLSL21/quad.pixel"), 0604u);
}

// Binaries newer than every source make a file up to date; a missing output
// makes it translate again rather than be skipped without it.
TEST_F(ShaderToolRun, UpToDateSkipNeverLeavesAnOutputMissing) {
    CopyFixture("good");
    const std::string run = "--keep-translations -t PSSL -dSCALE=0.5 -o out good/quad.xml";
    int exitCode = -1;
    std::string output = Run(run, &exitCode);
    ASSERT_EQ(exitCode, 0) << output;
    ASSERT_EQ(Shell("cd '" + work_ + "' && touch -d 2035-01-01 out/PSSL/bin/quad.vertex out/PSSL/bin/quad.pixel"), 0);
    output = Run(run, &exitCode);
    EXPECT_EQ(exitCode, 0) << output;
    EXPECT_EQ(Count(output, "Shader source is up to date, skipping translation..."), 2) << output;

    ASSERT_EQ(Shell("rm '" + work_ + "/out/PSSL/quad.pixel'"), 0);
    output = Run(run, &exitCode);
    EXPECT_EQ(exitCode, 0) << output;
    EXPECT_EQ(Count(output, "up to date"), 0) << output;
    EXPECT_TRUE(Exists("out/PSSL/quad.pixel"));

    // An output older than its source is stale, however new the binaries
    // of another target are.
    ASSERT_EQ(Shell("cd '" + work_ + "' && touch -d 2035-01-01 out/PSSL/quad.pixel out/PSSL/quad.vertex"), 0);
    output = Run("-t GLSL21 -dSCALE=0.5 -o out good/quad.xml", &exitCode);
    ASSERT_EQ(exitCode, 0) << output;
    ASSERT_EQ(Shell("cd '" + work_ + "' && touch -d 2030-01-01 out/GLSL21/quad.pixel"), 0);
    ASSERT_EQ(Shell("cd '" + work_ + "' && touch -d 2032-01-01 good/quad.xml"), 0);
    output = Run("--keep-translations -t GLSL21 -t PSSL -dSCALE=0.5 -o out good/quad.xml", &exitCode);
    EXPECT_EQ(exitCode, 0) << output;
    EXPECT_EQ(Count(output, "up to date"), 0) << output;
}

// A run looks into each binary folder once: binaries found there count for
// their own input only, in whichever sub-folder and order the inputs come.
TEST_F(ShaderToolRun, BinariesInSubFoldersMakeOnlyTheirInputUpToDate) {
    CopyFixture("good");
    ASSERT_EQ(Shell("cp '" + work_ + "/good/sub/plain.xml' '" + work_ + "/good/sub/other.xml'"), 0);
    const std::string run = "-r --keep-translations -t GLSL21 -t PSSL -dSCALE=0.5 -o out good";
    int exitCode = -1;
    std::string output = Run(run, &exitCode);
    ASSERT_EQ(exitCode, 0) << output;
    EXPECT_EQ(Count(output, "up to date"), 0) << output;
    ASSERT_EQ(Shell("cd '" + work_ + "' && touch -d 2035-01-01 out/PSSL/bin/sub/plain.vertex out/PSSL/bin/sub/plain.pixel"),
              0);
    output = Run(run, &exitCode);
    EXPECT_EQ(exitCode, 0) << output;
    EXPECT_EQ(Count(output, "Shader source is up to date, skipping translation..."), 2) << output;
    size_t plain = output.find("Translating Shader XML 'good/sub/plain.xml'...");
    ASSERT_NE(plain, std::string::npos) << output;
    size_t plainEnd = output.find("=====================", plain);
    EXPECT_EQ(Count(output.substr(plain, plainEnd - plain), "up to date"), 2) << output;
    // A forced run translates everything.
    output = Run("-f " + run, &exitCode);
    EXPECT_EQ(exitCode, 0) << output;
    EXPECT_EQ(Count(output, "up to date"), 0) << output;
    EXPECT_EQ(Count(output, "Translation SUCCEEDED"), 3) << output;
}

TEST_F(ShaderToolRun, FailedFileIsReportedAgainAndItsOutputsDeleted) {
    CopyFixture("mixed");
    int exitCode = -1;
    std::string output = Run("-t GLSL -o out mixed", &exitCode);
    EXPECT_EQ(exitCode, 1);
    size_t failures = output.find("\n\nLogs of failed translations:\n\n");
    ASSERT_NE(failures, std::string::npos) << output;
    // The failed log is printed once in the run and once more after the header.
    EXPECT_EQ(Count(output, "Translating Shader XML 'mixed/broken.xml'..."), 2) << output;
    EXPECT_NE(output.find("Translating Shader XML 'mixed/broken.xml'...", failures), std::string::npos);
    EXPECT_NE(output.find("undeclared identifier 'undefined_name'."), std::string::npos) << output;
    EXPECT_NE(output.find("2 of 3 Shader XML(s) were translated successfully.\n\n"), std::string::npos) << output;
    EXPECT_FALSE(Exists("out/GLSL21/broken.pixel"));
    EXPECT_FALSE(Exists("out/GLSL31/broken.vertex"));
    EXPECT_TRUE(Exists("out/GLSL21/first.pixel"));

    output = Run("--print-failures-only -t GLSL -o out2 mixed", &exitCode);
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(output.rfind("Zekar Shader Tool version 3.1\n\n", 0), 0u) << output;
    EXPECT_EQ(Count(output, "Translating Shader XML"), 1) << output;
    EXPECT_EQ(output.find("Logs of failed translations:"), std::string::npos);
    EXPECT_EQ(output.find("of 3 Shader XML(s)"), std::string::npos);
}

// The XML reader's warnings are below the run's popup level, so its words
// (which name the line) reach the user only through the file's log.
TEST_F(ShaderToolRun, BrokenXMLNamesTheLineInTheLog) {
    std::ofstream(work_ + "/bad.xml") << "<?xml version=\"1.0\"?>\n<root>\n  <array id=\"info\">\n"
                                         "    <node id=\"version\"value=\"2\"/>\n  </array>\n</root>\n";
    int exitCode = -1;
    std::string output = Run("-t GLSL21 -o out bad.xml", &exitCode);
    EXPECT_EQ(exitCode, 1);
    EXPECT_NE(output.find("Translating Shader XML 'bad.xml'...\n"
                          "Failed to read the Shader XML:\n"
                          "Parsing error (Unexpected character after value definition.) around line 4 in XML "
                          "'bad.xml'. Unexpected character 'v' (76) at:\n"
                          "'value=\"2\"/>\n  </array>\n</root>\n'\n"
                          "DataManager: File 'bad.xml' ends unexpectedly. Not loaded.\n"
                          "Error: failed to read Shader XML file 'bad.xml'.\n"
                          "\nTranslation FAILED\n"),
              std::string::npos)
        << output;
    EXPECT_EQ(output.find("[WARNING]"), std::string::npos) << output;
}

// A file that is there but is no XML is not reported missing.
TEST_F(ShaderToolRun, AFileThatIsNoXMLIsNotCalledMissing) {
    std::ofstream(work_ + "/nul.xml", std::ios::binary) << std::string(1, '\0') << "<?xml version=\"1.0\"?>\n<root/>\n";
    int exitCode = -1;
    std::string output = Run("-t GLSL21 -o out nul.xml", &exitCode);
    EXPECT_EQ(exitCode, 1);
    EXPECT_NE(output.find("First non-whitespace char in XML document needs to be '<'. First char in 'nul.xml' is #0 "
                          "' '.\n"
                          "XML database file 'nul.xml' cannot be read as XML!\n"
                          "Error: failed to read Shader XML file 'nul.xml'.\n"),
              std::string::npos)
        << output;
    EXPECT_EQ(output.find("not found"), std::string::npos) << output;
}

TEST_F(ShaderToolRun, DirectoryThatCannotBeCreatedSkipsTheFile) {
    CopyFixture("mixed");
    // A file where the target directory should go.
    ASSERT_EQ(Shell("mkdir -p '" + work_ + "/out' && touch '" + work_ + "/out/GLSL21'"), 0);
    int exitCode = -1;
    std::string output = Run("-t GLSL21 -o out mixed/first.xml", &exitCode);
    EXPECT_EQ(exitCode, 1);
    EXPECT_NE(output.find("Failed to create directory 'out/GLSL21/'.\nSkipping 'mixed/first.xml'...\n\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("0 of 1 Shader XML(s) were translated successfully."), std::string::npos) << output;
}

TEST_F(ShaderToolRun, PreprocessOnlyAndDefinitionListing) {
    CopyFixture("good");
    int exitCode = -1;
    std::string output = Run("--pp -t GLSL21 -t HLSL11 -dSCALE=0.5 -o out good/quad.xml", &exitCode);
    EXPECT_EQ(exitCode, 0) << output;
    std::ifstream pixel(work_ + "/out/GLSL21/quad.pixel");
    std::stringstream text;
    text << pixel.rdbuf();
    EXPECT_NE(text.str().find("sampleTexture(texture.image, input.uv) * 0.5"), std::string::npos) << text.str();
    // HLSL11 is a binary target: its preprocessed text goes after success.
    EXPECT_FALSE(Exists("out/HLSL11/quad.pixel"));

    output = Run("--ppdef -t GLSL21 -dSCALE=0.5 -o listed good/quad.xml", &exitCode);
    EXPECT_EQ(exitCode, 0) << output;
    EXPECT_NE(output.find("SCALE"), std::string::npos) << output;
    EXPECT_NE(output.find("_TARGET"), std::string::npos) << output;
    EXPECT_FALSE(Exists("listed/GLSL21/quad.pixel"));
}

}  // namespace

// The command-line path end to end: the probe program (the shell's
// command-line path, as zk-shader-tool's entry runs it, over a command line
// of its own) is run in an empty directory.

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct ProbeRun {
    std::string output;
    int exit_code = -1;
};

// A fresh, empty working directory, removed afterwards.
class ScratchDirectory {
public:
    ScratchDirectory() {
        char pattern[] = "/tmp/zk-probe-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~ScratchDirectory() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string& path() const { return path_; }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        DIR* dir = opendir(path_.c_str());
        while (dirent* entry = dir ? readdir(dir) : nullptr) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        if (dir) closedir(dir);
        return names;
    }

private:
    std::string path_;
};

ProbeRun RunProbe(const ScratchDirectory& dir, const std::string& arguments, const std::string& environment = "") {
    std::string command = "cd '" + dir.path() + "' && " + environment + " '" ZK_STARTUP_PROBE_PATH "' " + arguments +
                          " 2>&1";
    ProbeRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0) run.output.append(buffer, n);
    int status = pclose(pipe);
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Each line must appear, in this order, as a whole line of the output.
void ExpectLinesInOrder(const std::string& output, const std::vector<std::string>& lines) {
    size_t at = 0;
    for (const std::string& line : lines) {
        size_t found = output.find(line + "\n", at);
        while (found != std::string::npos && found > 0 && output[found - 1] != '\n')
            found = output.find(line + "\n", found + 1);
        ASSERT_NE(found, std::string::npos) << "missing, or out of order: \"" << line << "\"\n" << output;
        at = found + line.size();
    }
}

TEST(StartupProbe, PrintsStartupLinesInOrderAndPassesTheExitCodeOn) {
    ScratchDirectory dir;
    ProbeRun run = RunProbe(dir, "exit=3");
    EXPECT_EQ(run.exit_code, 3);
    ExpectLinesInOrder(run.output, {
                                       "Logging Verbose Level set to 2.",
                                       "Loading renderer implementation...",
                                       "Locale not set.",
                                       "Checking parameters with the program before video init.",
                                       "Adding packages...",
                                       "Preinitialization complete.",
                                       "Endianness: 1234.",
                                       "Renderer Initializing: 0x0 windowed..",
                                       "Renderer Initialization done.",
                                       "Batch renderer initializing done.",
                                       "Renderer ready.",
                                       "Sound Implementation initialized.",
                                       "Probe command line: 1 argument(s).",
                                   });
    // After the command line the engine is silent: shutdown prints nothing.
    EXPECT_EQ(run.output.find("ZEKAR Shutdown."), std::string::npos) << run.output;
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(StartupProbe, SecondRendererInitialisationShutsDownAndEndsReadyAgain) {
    ScratchDirectory dir;
    ProbeRun run = RunProbe(dir, "init");
    EXPECT_EQ(run.exit_code, 0);
    ExpectLinesInOrder(run.output, {
                                       "Renderer ready.",
                                       "Probe command line: 1 argument(s).",
                                       "Renderer in ready state, shutting it down before new init.",
                                       "Zekar RendImp Shutdown.",
                                       "Renderer Initializing: 0x0 windowed..",
                                       "Renderer Initialization done.",
                                       "Batch renderer initializing done.",
                                       "Renderer ready.",
                                       "Second initialisation: ready",
                                   });
}

TEST(StartupProbe, ExitCodeZeroAndOneArePassedOn) {
    ScratchDirectory dir;
    EXPECT_EQ(RunProbe(dir, "").exit_code, 0);
    EXPECT_EQ(RunProbe(dir, "exit=1").exit_code, 1);
}

TEST(StartupProbe, SilentEnginePrintsOnlyTheCommandLinesOwnOutput) {
    ScratchDirectory dir;
    ProbeRun run = RunProbe(dir, "exit=2 x", "ZK_PROBE_SILENT=1");
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.output, "Probe command line: 2 argument(s).\n");
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(StartupProbe, ThreadLeftRunningAtShutdownIsListedAndTheProcessEndsCleanly) {
    ScratchDirectory dir;
    // Log lines stay on through shutdown only while the command line runs,
    // so the listing is not printed; the process must still end with the
    // command line's code and without touching destroyed globals.
    ProbeRun run = RunProbe(dir, "thread exit=4");
    EXPECT_EQ(run.exit_code, 4) << run.output;
    EXPECT_EQ(run.output.find("ERROR: AddressSanitizer"), std::string::npos) << run.output;
}

TEST(StartupProbe, LanguageComesFromTheEnvironment) {
    ScratchDirectory dir;
    ProbeRun run = RunProbe(dir, "ext=GetLanguage", "LC_ALL= LC_MESSAGES= LANG=pt_BR.UTF-8");
    ExpectLinesInOrder(run.output, {"Extension GetLanguage: pt-BR"});
    run = RunProbe(dir, "ext=GetLanguage", "LC_ALL=zh_TW.UTF-8");
    ExpectLinesInOrder(run.output, {"Extension GetLanguage: zh-CN"});
}

}  // namespace

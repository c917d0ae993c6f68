// The Windows stand-ins: a directory's entries in a stable order with the
// right attributes, links to directories not followed, the current
// directory, the message box on standard error and a key read that never
// blocks without a terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/windows/win32.h"

namespace {

namespace fs = std::filesystem;

class TempTree {
public:
    TempTree() {
        std::string pattern = (fs::temp_directory_path() / "zk-win32-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        path = mkdtemp(buffer.data());
    }
    ~TempTree() {
        std::error_code error;
        fs::remove_all(path, error);
    }
    void File(const std::string& name) { std::ofstream(path + "/" + name) << "x"; }
    std::string path;
};

std::vector<std::pair<std::string, DWORD>> List(const std::string& pattern) {
    std::vector<std::pair<std::string, DWORD>> entries;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        entries.push_back({data.cFileName, data.dwFileAttributes});
    } while (FindNextFileA(search, &data));
    EXPECT_TRUE(FindClose(search));
    return entries;
}

TEST(DirectorySearch, SortedWithoutRegardToCaseTiesByBytesAndOnlyRealDirectories) {
    TempTree tree;
    for (const char* name : {"b.png", "B.png", "a.PNG", "_under", "Zeta", "alpha.tga", "noext"}) tree.File(name);
    fs::create_directory(tree.path + "/Sub");
    fs::create_directory(tree.path + "/.hidden");
    fs::create_directory_symlink(tree.path + "/Sub", tree.path + "/linked-dir");
    fs::create_symlink(tree.path + "/b.png", tree.path + "/linked.png");
    fs::create_symlink(tree.path + "/missing", tree.path + "/dangling.png");
    ASSERT_EQ(mkfifo((tree.path + "/pipe.png").c_str(), 0600), 0);

    const DWORD dir = FILE_ATTRIBUTE_DIRECTORY, file = FILE_ATTRIBUTE_ARCHIVE;
    std::vector<std::pair<std::string, DWORD>> expected = {
        {".", dir},       {"..", dir},       {".hidden", dir},   {"_under", file}, {"a.PNG", file},
        {"alpha.tga", file}, {"B.png", file},   {"b.png", file},    {"linked.png", file},
        {"noext", file},  {"Sub", dir},       {"Zeta", file},
    };
    EXPECT_EQ(List(tree.path + "/*.*"), expected);
    EXPECT_EQ(List(tree.path + "\\*"), expected);

    std::vector<std::pair<std::string, DWORD>> pngs = {{"B.png", file}, {"b.png", file}, {"linked.png", file}};
    EXPECT_EQ(List(tree.path + "/*.png"), pngs);
    EXPECT_TRUE(List(tree.path + "/*.jpg").empty());
    EXPECT_TRUE(List(tree.path + "/missing/*.*").empty());
}

TEST(DirectorySearch, EndAndBadHandles) {
    TempTree tree;
    tree.File("only");
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((tree.path + "/only").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "only");
    EXPECT_FALSE(FindNextFileA(search, &data));
    EXPECT_FALSE(FindNextFileA(search, &data));
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
}

// A search that fails tells a directory with nothing that matches (errno
// 0) from one that cannot be read (errno says why), whatever errno held.
TEST(DirectorySearch, AFailedSearchSaysWhetherTheDirectoryCouldBeRead) {
    TempTree tree;
    tree.File("only");
    struct Case {
        const char* pattern;
        int error;
    } cases[] = {
        {"/*.jpg", 0},
        {"/missing/*.*", ENOENT},
        {"/only/*.*", ENOTDIR},
    };
    for (const Case& c : cases) {
        WIN32_FIND_DATAA data;
        errno = EINVAL;
        EXPECT_EQ(FindFirstFileA((tree.path + c.pattern).c_str(), &data), INVALID_HANDLE_VALUE) << c.pattern;
        EXPECT_EQ(errno, c.error) << c.pattern;
    }
}

TEST(CurrentDirectory, FitsOrTellsTheSizeNeeded) {
    TempTree tree;
    std::string saved = fs::current_path().string();
    fs::current_path(tree.path);
    std::string real = fs::current_path().string();
    char buffer[4096];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), real.size());
    EXPECT_EQ(buffer, real);
    EXPECT_EQ(GetCurrentDirectoryA(DWORD(real.size()), buffer), real.size() + 1);
    fs::current_path(saved);
}

TEST(MessageBox, WritesCaptionAndTextToStandardError) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Unsupported png 'a.png'.\n", "box", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "no line end", "box", MB_OK), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[box] Unsupported png 'a.png'.\n[box] no line end\n");
}

TEST(ConsoleKey, NeverWaitsWithoutATerminal) {
    int saved = dup(STDIN_FILENO);
    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    // An open, empty pipe: a read would block forever.
    dup2(pipe_ends[0], STDIN_FILENO);
    EXPECT_EQ(ConsoleReadKey(), -1);
    int null_input = open("/dev/null", O_RDONLY);
    dup2(null_input, STDIN_FILENO);
    EXPECT_EQ(ConsoleReadKey(), -1);
    dup2(saved, STDIN_FILENO);
    for (int fd : {saved, pipe_ends[0], pipe_ends[1], null_input}) close(fd);
}

}  // namespace

// The base directories of the prefixes and the systems that serve them.
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "engine/storage/filesystem.h"
#include "engine/storage/posix_system.h"
#include "engine/storage/tests/storage_test_support.h"

using namespace storage_test;
using namespace ZKFileSystem;

namespace {

// Sets or clears an environment variable for one scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name(name) {
        const char* old = getenv(name);
        had = old != nullptr;
        if (had) saved = old;
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedVariable() {
        if (had) {
            setenv(name, saved.c_str(), 1);
        } else {
            unsetenv(name);
        }
    }

private:
    const char* name;
    bool had = false;
    std::string saved;
};

std::string Directory(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) ? path : "(not a directory) " + path;
}

std::string ExecutableDirectory() {
    char buffer[4096];
    ssize_t size = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string executable(buffer, size > 0 ? size_t(size) : 0);
    return executable.substr(0, executable.rfind('/'));
}

class PlatformPaths : public StorageTest {};

TEST_F(PlatformPaths, BasePathsComeFromTheEnvironmentWithoutTrailingSlashes) {
    TempDirectory home;
    TempDirectory data;
    ScopedVariable set_home("HOME", (home.Path() + "/").c_str());
    ScopedVariable set_data("XDG_DATA_HOME", (data.Path() + "//").c_str());
    nString bases[path_prefix_count];
    EXPECT_TRUE(Platform::InitializeBasePaths(bases));
    EXPECT_EQ(std::string(bases[PATH_PREFIX_DOCS].c_str()), Directory(home / "Documents"));
    EXPECT_EQ(std::string(bases[PATH_PREFIX_USER].c_str()), Directory(data.Path()));
    EXPECT_EQ(std::string(bases[PATH_PREFIX_RES].c_str()), ExecutableDirectory());
    for (int prefix : {PATH_PREFIX_CACHE, PATH_PREFIX_HTTP, PATH_PREFIX_LOGS, PATH_PREFIX_SAVE, PATH_PREFIX_UGC}) {
        EXPECT_TRUE(bases[prefix].IsEmpty()) << prefix;
    }
}

TEST_F(PlatformPaths, UserDataFallsBackToTheHomeDirectory) {
    TempDirectory home;
    ScopedVariable set_home("HOME", home.Path().c_str());
    ScopedVariable no_data("XDG_DATA_HOME", nullptr);
    nString bases[path_prefix_count];
    EXPECT_TRUE(Platform::InitializeBasePaths(bases));
    EXPECT_EQ(std::string(bases[PATH_PREFIX_USER].c_str()), Directory(home / ".local/share"));
}

TEST_F(PlatformPaths, WithoutHomeThePasswordDatabaseNamesTheHomeDirectory) {
    struct passwd* record = getpwuid(getuid());
    ASSERT_NE(record, nullptr);
    std::string home = record->pw_dir;
    TempDirectory data;
    ScopedVariable no_home("HOME", nullptr);
    ScopedVariable set_data("XDG_DATA_HOME", data.Path().c_str());
    nString bases[path_prefix_count];
    EXPECT_TRUE(Platform::InitializeBasePaths(bases));
    EXPECT_EQ(std::string(bases[PATH_PREFIX_DOCS].c_str()), Directory(home == "/" ? "/Documents" : home + "/Documents"));
    EXPECT_EQ(std::string(bases[PATH_PREFIX_USER].c_str()), data.Path());
}

TEST_F(PlatformPaths, AFolderPathTooLongForThePlatformBufferIsRefused) {
    TempDirectory data;
    std::string deep = data.Path();
    while (deep.size() < 300) deep += "/directory";
    ScopedVariable set_data("XDG_DATA_HOME", deep.c_str());
    nString bases[path_prefix_count];
    EXPECT_FALSE(Platform::InitializeBasePaths(bases));
    EXPECT_TRUE(bases[PATH_PREFIX_USER].IsEmpty());
}

TEST_F(PlatformPaths, InitializeServesEveryPrefixAndReportsAMissingUserFolder) {
    TempDirectory data;
    {
        ScopedVariable set_data("XDG_DATA_HOME", data.Path().c_str());
        Deinitialize();
        EXPECT_TRUE(Initialize());
        EXPECT_TRUE(PopupTexts().empty());
    }
    EXPECT_STREQ(paths[PATH_PREFIX_HTTP].c_str(), "http://");
    EXPECT_STREQ(paths[PATH_PREFIX_USER].c_str(), data.Path().c_str());
    EXPECT_TRUE(is_resources_path_writable);
    System* local = file_systems[PATH_PREFIX_RES];
    ASSERT_NE(local, nullptr);
    for (int prefix : {PATH_PREFIX_CACHE, PATH_PREFIX_DOCS, PATH_PREFIX_LOGS, PATH_PREFIX_USER, PATH_PREFIX_UGC}) {
        EXPECT_EQ(file_systems[prefix], local) << prefix;
    }
    ASSERT_NE(file_systems[PATH_PREFIX_SAVE], nullptr);
    EXPECT_TRUE(file_systems[PATH_PREFIX_SAVE]->mountable);
    EXPECT_FALSE(local->mountable);
    EXPECT_NE(file_systems[PATH_PREFIX_HTTP], nullptr);

    std::string deep = data.Path();
    while (deep.size() < 300) deep += "/directory";
    {
        ScopedVariable set_data("XDG_DATA_HOME", deep.c_str());
        ClearRecorded();
        Deinitialize();
        EXPECT_TRUE(Initialize());
    }
    EXPECT_EQ(PopupTexts(), std::vector<std::string>{"File System: failed to initialize one or more critical base paths."});
    ASSERT_EQ(Recorded().size(), 1u);
    EXPECT_EQ(Recorded()[0].type, ZK_MESSAGE_ERROR);
    // Start-up goes on with working systems.
    EXPECT_NE(file_systems[PATH_PREFIX_RES], nullptr);
}

TEST_F(PlatformPaths, NotImplementedPopup) {
    Platform::ShowNotImplementedPopup(PATH_PREFIX_SAVE, "FindFiles", "Mac OS X");
    Platform::ShowNotImplementedPopup(PATH_PREFIX_INVALID, "Mount", "Mac OS X");
    EXPECT_EQ(PopupTexts(), (std::vector<std::string>{
                                "File System: FindFiles() is not implemented for files in 'save://' on Mac OS X.",
                                "File System: Mount() is not implemented for files in '://' on Mac OS X."}));
}

TEST_F(PlatformPaths, ConvertingNativePathsTakesTheFirstMatchingCurrentPath) {
    nString saved[path_prefix_count];
    for (int i = 0; i < path_prefix_count; ++i) saved[i] = paths[i];
    for (int i = 0; i < path_prefix_count; ++i) paths[i] = nString();
    paths[PATH_PREFIX_DOCS] = "/home/u/Documents";
    paths[PATH_PREFIX_RES] = "/app";
    EXPECT_STREQ(ConvertNativePathToPath("/app/data/a.png").c_str(), "res://data/a.png");
    EXPECT_STREQ(ConvertNativePathToPath("/app\\x\\..\\b.png").c_str(), "res://b.png");
    EXPECT_STREQ(ConvertNativePathToPath("/home/u/Documents/s.sav").c_str(), "docs://s.sav");
    EXPECT_STREQ(ConvertNativePathToPath("/elsewhere/f").c_str(), "");
    EXPECT_STREQ(ConvertNativePathToPath(static_cast<const char*>(nullptr)).c_str(), "");
    EXPECT_STREQ(ConvertNativePathToPath(nString("/app/q"), PATH_PREFIX_USER).c_str(), "user://app/q");
    // A current path is a leading part by its characters alone; what follows
    // it is kept whole unless it is a separator.
    EXPECT_STREQ(ConvertNativePathToPath("/apple/x").c_str(), "res://le/x");
    EXPECT_STREQ(ConvertNativePathToPath("/app").c_str(), "res://");

    // After start-up the cache path is empty: a leading part of every path,
    // which keeps its first character.
    paths[PATH_PREFIX_CACHE] = "";
    struct Case {
        const char* native;
        const char* converted;
    } cases[] = {
        {"abc", "cache://abc"},
        {"a", "cache://a"},
        {"/app/data/a.png", "cache://app/data/a.png"},
        {"", "cache://"},
    };
    for (const Case& c : cases) EXPECT_STREQ(ConvertNativePathToPath(c.native).c_str(), c.converted) << c.native;
    for (int i = 0; i < path_prefix_count; ++i) paths[i] = saved[i];
}

}  // namespace

// The public file-system functions: refusal of prefixed paths, modes, the
// open-file count, wildcards, listings and directories.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/base/tests/fifo_releaser.h"
#include "engine/base/tests/file_size_limit.h"
#include "engine/datamodel/datamodel.h"
#include "engine/runtime/state.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/mount_system.h"
#include "engine/storage/tests/storage_test_support.h"

using namespace storage_test;

namespace {

zk_file_system_api_t& Api() { return *zk->file_system; }

// The engine counts open files only once it is initialised.
class InitializedEngine {
public:
    InitializedEngine() : saved(zk_state.initialized) { zk_state.initialized = 1; }
    ~InitializedEngine() { zk_state.initialized = saved; }

private:
    uint8_t saved;
};

std::vector<std::string> ListAndFree(zk_list_t* list) {
    std::vector<std::string> items;
    if (!list) return items;
    for (int i = 0; i < list->count; ++i) items.push_back(list->items[i]);
    zk->ZK_FreeList(list);
    return items;
}

std::vector<std::string> Sorted(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    return items;
}

class FileSystemApiTest : public StorageTest {};

// --------------------------------------------------------------- prefixed paths

struct RefusedCall {
    const char* operation;
    bool (*call)(const char* path);  // true when the call succeeded
};

const RefusedCall refused_calls[] = {
    {"OpenFile",
     [](const char* p) {
         zk_file_t* f = Api().ZK_FileSystem_OpenFile(p, "rb");
         if (f) Api().ZK_FileSystem_CloseFile(f);
         return f != nullptr;
     }},
    {"CreateDirectory", [](const char* p) { return Api().ZK_FileSystem_CreateDirectory(p); }},
    {"DeleteDirectory", [](const char* p) { return Api().ZK_FileSystem_DeleteDirectory(p, false); }},
    {"DeleteFile", [](const char* p) { return Api().ZK_FileSystem_DeleteFile(p); }},
    {"FindFiles", [](const char* p) { return !ListAndFree(Api().ZK_FileSystem_FindFiles(p, "*", true)).empty(); }},
    {"GetFileInfo",
     [](const char* p) {
         zk_file_info_t info;
         return Api().ZK_FileSystem_GetFileInfo(p, &info);
     }},
};

TEST_F(FileSystemApiTest, EveryPrefixedPathIsRefusedWithTheInvalidPathWarning) {
    const char* paths[] = {"res://prog.xml", "logs://a.log", "user://x", "docs://", "relative/a://b"};
    for (const RefusedCall& c : refused_calls) {
        for (const char* path : paths) {
            ClearRecorded();
            EXPECT_FALSE(c.call(path)) << c.operation << " " << path;
            std::string expected =
                std::string("File System ") + c.operation + ": path '" + path + "' is invalid, see IsPathValid() for more info.";
            EXPECT_EQ(PopupTexts(), std::vector<std::string>{expected}) << c.operation << " " << path;
        }
    }
}

// A reader above the table sees the refusal: the database loader, which
// then reports the file missing.
TEST_F(FileSystemApiTest, ADatabaseAtAPrefixedPathIsRefusedAndThenReportedMissing) {
    InnerZK::DMDatabase database;
    EXPECT_FALSE(database.Load("res://prog.xml"));
    EXPECT_TRUE(database.load_failed);
    EXPECT_STREQ(database.name, "res://prog.xml");
    EXPECT_EQ(PopupTexts(),
              (std::vector<std::string>{
                  "File System OpenFile: path 'res://prog.xml' is invalid, see IsPathValid() for more info.",
                  "XML database file 'res://prog.xml' not found!"}));
}

TEST_F(FileSystemApiTest, FileExistsAndIsPathValidAnswerFalseSilently) {
    for (const char* path : {"res://prog.xml", "logs://a.log", "user://x"}) {
        EXPECT_FALSE(Api().ZK_FileSystem_FileExists(path)) << path;
        EXPECT_FALSE(Api().ZK_FileSystem_IsPathValid(path)) << path;
    }
    EXPECT_FALSE(Api().ZK_FileSystem_FileExists(nullptr));
    EXPECT_FALSE(Api().ZK_FileSystem_IsPathValid(nullptr));
    EXPECT_TRUE(Api().ZK_FileSystem_IsPathValid("a/b.xml"));
    EXPECT_TRUE(Recorded().empty());
}

TEST_F(FileSystemApiTest, NullArgumentsFailWithoutMessages) {
    zk_file_info_t info;
    EXPECT_EQ(Api().ZK_FileSystem_OpenFile(nullptr, "r"), nullptr);
    EXPECT_FALSE(Api().ZK_FileSystem_CreateDirectory(nullptr));
    EXPECT_FALSE(Api().ZK_FileSystem_DeleteDirectory(nullptr, false));
    EXPECT_FALSE(Api().ZK_FileSystem_DeleteFile(nullptr));
    EXPECT_FALSE(Api().ZK_FileSystem_GetFileInfo(nullptr, &info));
    EXPECT_FALSE(Api().ZK_FileSystem_GetFileInfo("tests", nullptr));
    EXPECT_EQ(Api().ZK_FileSystem_ReadFile(&info, 1, nullptr), 0u);
    EXPECT_EQ(Api().ZK_FileSystem_WriteFile(&info, 1, nullptr), 0u);
    EXPECT_EQ(Api().ZK_FileSystem_GetFilePosition(nullptr), 0);
    EXPECT_FALSE(Api().ZK_FileSystem_CloseFile(nullptr));
    Api().ZK_FileSystem_FlushFile(nullptr);
    EXPECT_TRUE(Recorded().empty());
}

TEST_F(FileSystemApiTest, SearchPathsAreEmptyAndMountingIsRefused) {
    EXPECT_EQ(Api().ZK_FileSystem_GetNumberOfSearchPaths(), 0);
    EXPECT_EQ(Api().ZK_FileSystem_GetSearchPathByIndex(0), nullptr);
    EXPECT_EQ(Api().ZK_FileSystem_GetSearchPathByIndex(-1), nullptr);
    EXPECT_FALSE(Api().ZK_FileSystem_SearchPathExists("a"));
    EXPECT_FALSE(Api().ZK_FileSystem_Mount("save", 0));
}

TEST_F(FileSystemApiTest, WritingIsRefusedWhileResourcesAreNotWritable) {
    TempDirectory dir;
    WriteFile(dir / "f", "x");
    std::string file = dir / "f";
    std::string sub = dir / "sub";
    ZKFileSystem::is_resources_path_writable = false;
    zk_file_t* written = Api().ZK_FileSystem_OpenFile(file.c_str(), "wb");
    zk_file_t* appended = Api().ZK_FileSystem_OpenFile(file.c_str(), "a");
    zk_file_t* read = Api().ZK_FileSystem_OpenFile(file.c_str(), "rb");
    bool made = Api().ZK_FileSystem_CreateDirectory(sub.c_str());
    bool removed = Api().ZK_FileSystem_DeleteDirectory(dir.Path().c_str(), false);
    bool deleted = Api().ZK_FileSystem_DeleteFile(file.c_str());
    bool moved = ZKI_MoveFileToNewName(file.c_str(), (dir / "moved").c_str());
    ZKFileSystem::is_resources_path_writable = true;

    EXPECT_EQ(written, nullptr);
    EXPECT_EQ(appended, nullptr);
    ASSERT_NE(read, nullptr);  // reading is always allowed
    Api().ZK_FileSystem_CloseFile(read);
    EXPECT_FALSE(made);
    EXPECT_FALSE(removed);
    EXPECT_FALSE(deleted);
    EXPECT_FALSE(moved);
    EXPECT_EQ(ReadWholeFile(file), "x");
    EXPECT_EQ(PopupTexts(), (std::vector<std::string>{
                                "File System CreateDirectory: attempted to modify path '" + sub + "', which is not writable.",
                                "File System DeleteDirectory: attempted to modify path '" + dir.Path() +
                                    "', which is not writable.",
                                "File System DeleteFile: attempted to modify path '" + file + "', which is not writable.",
                                "File System MoveFile: attempted to modify path '" + file + "', which is not writable."}));
    // The open refusal is a debug line of type WARNING, not a popup.
    std::vector<std::string> lines;
    for (const Message& m : Recorded()) {
        if (m.type == -1 - ZK_MESSAGE_WARNING) lines.push_back(m.text);
    }
    std::string line = "File System OpenFile: attempted to modify path '" + file + "', which is not writable.";
    EXPECT_EQ(lines, (std::vector<std::string>{line, line}));
}

TEST_F(FileSystemApiTest, OnlyTheSavePrefixMountsAndOnlyUgcChangesItsPath) {
    // The first mount of the process is the one looked at: an earlier run
    // of this test in the same process has mounted already.
    ZKFileSystem::save_path_directory_exists = false;
    EXPECT_FALSE(ZKFileSystem::Mount("res", 0));
    EXPECT_FALSE(ZKFileSystem::Mount(nullptr, 0));
    EXPECT_FALSE(ZKFileSystem::Mount("save", 1));
    EXPECT_FALSE(ZKFileSystem::save_path_directory_exists);
    // The save area mounts, but its directory has no path in this system, so
    // the first mount answers the failed creation.
    auto* save = dynamic_cast<ZKFileSystem::MountSystem*>(ZKFileSystem::file_systems[ZKFileSystem::PATH_PREFIX_SAVE]);
    ASSERT_NE(save, nullptr);
    EXPECT_FALSE(ZKFileSystem::Mount("save", 0));
    EXPECT_TRUE(ZKFileSystem::save_path_directory_exists);
    EXPECT_TRUE(save->mounted);
    EXPECT_TRUE(ZKFileSystem::Mount("save", 0));
    ZKFileSystem::Unmount(nullptr);
    EXPECT_TRUE(save->mounted);
    ZKFileSystem::Unmount("save");
    EXPECT_FALSE(save->mounted);

    nString res = ZKFileSystem::paths[ZKFileSystem::PATH_PREFIX_RES];
    ZKFileSystem::ChangePath(ZKFileSystem::PATH_PREFIX_RES, "/elsewhere");
    EXPECT_STREQ(ZKFileSystem::paths[ZKFileSystem::PATH_PREFIX_RES].c_str(), res.c_str());
    ZKFileSystem::ChangePath(ZKFileSystem::PATH_PREFIX_UGC, "/content");
    EXPECT_STREQ(ZKFileSystem::paths[ZKFileSystem::PATH_PREFIX_UGC].c_str(), "/content");
    ZKFileSystem::ChangePath(ZKFileSystem::PATH_PREFIX_UGC, "");
    EXPECT_TRUE(ZKFileSystem::IsValidPathPrefixForAdvancedFileFunctions(ZKFileSystem::PATH_PREFIX_DOCS));
    EXPECT_FALSE(ZKFileSystem::IsValidPathPrefixForAdvancedFileFunctions(ZKFileSystem::PATH_PREFIX_USER));
}

// --------------------------------------------------------------- modes

// Reading leaves the file as it is, appending adds at its end, writing
// cuts it first; both writing modes make a missing file.
TEST_F(FileSystemApiTest, OnlyTheFirstCharacterOfTheModeCounts) {
    TempDirectory dir;
    struct Case {
        const char* mode;
        bool exists;
        int64_t size;
        const char* after;  // the file once "XY" was written to it
    } cases[] = {{"rb", true, 5, "hello"}, {"r+", true, 5, "hello"},   {"rt", true, 5, "hello"},
                 {"r", true, 5, "hello"},  {"ab", true, 5, "helloXY"}, {"a+", true, 5, "helloXY"},
                 {"wb", true, 0, "XY"},    {"ab", false, 0, "XY"},     {"wb", false, 0, "XY"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + (c.exists ? "" : ", missing"));
        std::string path = dir / "f.txt";
        std::remove(path.c_str());
        if (c.exists) WriteFile(path, "hello");
        zk_file_t* file = Api().ZK_FileSystem_OpenFile(path.c_str(), c.mode);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->size, c.size);
        Api().ZK_FileSystem_WriteFile("XY", 2, file);
        EXPECT_TRUE(Api().ZK_FileSystem_CloseFile(file));
        EXPECT_EQ(ReadWholeFile(path), c.after);
    }
    EXPECT_TRUE(Recorded().empty());
}

TEST_F(FileSystemApiTest, AnInvalidModeWarnsOnlyOnCountedPathsAndNeverOpens) {
    TempDirectory dir;
    WriteFile(dir / "f.txt", "x");
    WriteFile(dir / "f.log", "x");
    const std::string warning = "File System OpenFile: mode is invalid, see OpenFile() for more info.";
    struct Case {
        bool initialized;
        std::string path;
        const char* mode;
        bool warns;
    } cases[] = {
        {false, dir / "f.txt", "x", false},  // before initialisation
        {true, dir / "f.log", "x", false},   // log files are exempt
        {true, dir / "f.txt", "x", true},
        {true, dir / "f.txt", "", true},
        {true, dir / "f.txt", nullptr, true},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        uint8_t saved = zk_state.initialized;
        zk_state.initialized = c.initialized;
        EXPECT_EQ(Api().ZK_FileSystem_OpenFile(c.path.c_str(), c.mode), nullptr) << c.path;
        zk_state.initialized = saved;
        EXPECT_EQ(PopupTexts(), c.warns ? std::vector<std::string>{warning} : std::vector<std::string>{}) << c.path;
    }
}

TEST_F(FileSystemApiTest, BackslashesAreSeparatorsButTheHandleKeepsTheCallersName) {
    TempDirectory dir;
    mkdir((dir / "a").c_str(), 0777);
    WriteFile(dir / "a/b.txt", "abc");
    std::string native = dir.Path() + "\\a\\b.txt";
    zk_file_t* file = Api().ZK_FileSystem_OpenFile(native.c_str(), "r");
    ASSERT_NE(file, nullptr);
    EXPECT_STREQ(file->name, native.c_str());
    char buffer[8] = {};
    EXPECT_EQ(Api().ZK_FileSystem_ReadFile(buffer, sizeof buffer, file), 3u);
    EXPECT_STREQ(buffer, "abc");
    Api().ZK_FileSystem_CloseFile(file);
}

TEST_F(FileSystemApiTest, ReadWriteSeekAndPositionRoundTrip) {
    TempDirectory dir;
    std::string path = dir / "data.bin";
    zk_file_t* out = Api().ZK_FileSystem_OpenFile(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(Api().ZK_FileSystem_WriteFile("0123456789", 10, out), 10u);
    Api().ZK_FileSystem_FlushFile(out);
    EXPECT_EQ(Api().ZK_FileSystem_GetFilePosition(out), 10);
    Api().ZK_FileSystem_CloseFile(out);

    zk_file_t* in = Api().ZK_FileSystem_OpenFile(path.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->size, 10);
    EXPECT_EQ(Api().ZK_FileSystem_SetFilePosition(in, -3, 2), 0);
    char tail[4] = {};
    EXPECT_EQ(Api().ZK_FileSystem_ReadFile(tail, 3, in), 3u);
    EXPECT_STREQ(tail, "789");
    EXPECT_EQ(Api().ZK_FileSystem_SetFilePosition(in, 2, 0), 0);
    EXPECT_EQ(Api().ZK_FileSystem_GetFilePosition(in), 2);
    EXPECT_TRUE(Api().ZK_FileSystem_CloseFile(in));
}

// Written data may sit in the stream until the close, so a full disk can
// show only there: the close says so. The disk is "full" past 5 bytes.
TEST_F(FileSystemApiTest, ClosingReportsDataThatNeverReachedTheFile) {
    TempDirectory dir;
    struct Case {
        const char* name;
        rlim_t limit;  // 0: none
        bool reached;
    } cases[] = {
        {"fits.bin", 0, true},
        {"full.bin", 5, false},
    };
    for (const Case& c : cases) {
        std::string path = dir / c.name;
        zk_file_t* out = Api().ZK_FileSystem_OpenFile(path.c_str(), "wb");
        ASSERT_NE(out, nullptr) << c.name;
        std::unique_ptr<FileSizeLimit> limit(c.limit ? new FileSizeLimit(c.limit) : nullptr);
        ASSERT_TRUE(!limit || limit->set);
        EXPECT_EQ(Api().ZK_FileSystem_WriteFile("0123456789", 10, out), 10u) << c.name;
        EXPECT_EQ(Api().ZK_FileSystem_CloseFile(out), c.reached) << c.name;
    }
}

TEST_F(FileSystemApiTest, DirectoriesAndMissingFilesDoNotOpenForReading) {
    TempDirectory dir;
    EXPECT_EQ(Api().ZK_FileSystem_OpenFile(dir.Path().c_str(), "rb"), nullptr);
    EXPECT_EQ(Api().ZK_FileSystem_OpenFile((dir / "missing").c_str(), "rb"), nullptr);
    EXPECT_EQ(Api().ZK_FileSystem_OpenFile(dir.Path().c_str(), "wb"), nullptr);
}

// What stands at a path and is no regular file is refused at once, in
// every mode, also at the end of a link: a FIFO held an open for writing or
// appending until something read it, and one for reading until something
// wrote to it. A writer is told why; what stands there is left as it is.
TEST_F(FileSystemApiTest, WhatIsNoRegularFileIsRefusedAtOnceInEveryMode) {
    TempDirectory dir;
    std::string fifo = dir / "shader.xml";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(symlink(fifo.c_str(), (dir / "link").c_str()), 0);
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0700), 0);
    const std::string paths[] = {fifo, dir / "link", dir / "folder", "/dev/null"};
    for (const std::string& path : paths) {
        for (const char* mode : {"rb", "wb", "ab"}) {
            SCOPED_TRACE(path + " " + mode);
            ClearRecorded();
            bool waited = false;
            zk_file_t* file =
                CallReleasingFifo(fifo, [&] { return Api().ZK_FileSystem_OpenFile(path.c_str(), mode); }, &waited);
            EXPECT_FALSE(waited) << "the open waited for the other end";
            EXPECT_EQ(file, nullptr);
            if (file) Api().ZK_FileSystem_CloseFile(file);
            std::vector<std::string> lines;
            for (const Message& m : Recorded()) lines.push_back(m.text);
            std::vector<std::string> told;
            std::string why = "File System OpenFile: '" + path + "' is not a regular file, it is not written.";
            if (mode[0] != 'r') told.push_back(why);
            EXPECT_EQ(lines, told);
            if (!Recorded().empty()) {
                EXPECT_EQ(Recorded()[0].type, -1 - ZK_MESSAGE_WARNING);
            }
        }
    }
    struct stat status;
    ASSERT_EQ(lstat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"folder", "link", "shader.xml"}));
}

// --------------------------------------------------------------- open-file count

TEST_F(FileSystemApiTest, TheSixteenthOpenFileWarnsAndIsStillReturned) {
    InitializedEngine initialized;
    TempDirectory dir;
    std::vector<zk_file_t*> files;
    // Log files and the engine's temporary files are never counted.
    for (const char* exempt : {"x.log", "zekar-tmp"}) {
        files.push_back(Api().ZK_FileSystem_OpenFile((dir / exempt).c_str(), "wb"));
    }
    for (int i = 1; i <= 15; ++i) {
        files.push_back(Api().ZK_FileSystem_OpenFile((dir / ("f" + std::to_string(i))).c_str(), "wb"));
    }
    EXPECT_TRUE(PopupTexts().empty());
    EXPECT_EQ(zk_state.open_files.count, 15);

    std::string last = dir / "f16";
    zk_file_t* sixteenth = Api().ZK_FileSystem_OpenFile(last.c_str(), "wb");
    ASSERT_NE(sixteenth, nullptr);
    files.push_back(sixteenth);
    EXPECT_EQ(PopupTexts(), std::vector<std::string>{"File System OpenFile: 16 files are open at the same time, "
                                                     "last file opened is '" + last + "'."});
    for (zk_file_t* file : files) {
        ASSERT_NE(file, nullptr);
        Api().ZK_FileSystem_CloseFile(file);
    }
    EXPECT_EQ(zk_state.open_files.count, 0);
}

// --------------------------------------------------------------- wildcards

TEST(Wildcards, MatchingRules) {
    struct Case {
        const char* name;
        std::vector<const char*> wildcards;
        bool matches;
    } cases[] = {
        {"Makefile", {"*.*"}, true},
        {"Makefile", {"*"}, true},
        {"a.xml", {"*.xml"}, true},
        {".xml", {"*.xml"}, true},
        {"a.XML", {"*.xml"}, false},
        {"a.xml.bak", {"*.xml"}, false},
        {"a.jpg", {"*.png", "*.jpg"}, true},
        {"abc", {"a*c"}, true},
        {"ac", {"a*c"}, true},
        {"abcbc", {"a*bc"}, true},
        {"abcbd", {"a*bc"}, false},
        {"ab", {"a*c"}, false},
        {"a", {"a**"}, true},
        {"shader_ps.txt", {"*_ps*"}, true},
        {"Shader", {"shader"}, false},
        {"name", {""}, false},
        {"name", {}, false},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", {"*a*a*a*a*a*a*a*a*a*a*c"}, false},
    };
    for (const Case& c : cases) {
        nArray<nString> wildcards;
        for (const char* w : c.wildcards) wildcards.InsertLast(nString(w));
        EXPECT_EQ(ZKFileSystem::FilePathMatchesWildcards(nString(c.name), wildcards), c.matches)
            << c.name << " " << (c.wildcards.empty() ? "(none)" : c.wildcards[0]);
    }
}

TEST_F(FileSystemApiTest, WildcardTextsAreCheckedBeforeAnySearch) {
    TempDirectory dir;
    WriteFile(dir / "a.png", "");
    std::string token511(511, 'a');
    token511[0] = '*';
    std::string token512 = token511 + "a";
    struct Case {
        std::string wildcards;
        bool valid;
    } cases[] = {
        {"*.png", true},          {"*.png;*.jpg", true},         {"*.png;", true},
        {"a (1)-@_.png", true},   {token511, true},              {token512, false},
        {"*.png;" + token512, false}, {"?.png", false},          {"%.png", false},
        {"*.png;a?b", false},     {"dir\\*.png", false},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        std::vector<std::string> found = ListAndFree(Api().ZK_FileSystem_FindFiles(dir.Path().c_str(), c.wildcards.c_str(), false));
        if (c.valid) {
            EXPECT_TRUE(PopupTexts().empty()) << c.wildcards;
        } else {
            EXPECT_TRUE(found.empty()) << c.wildcards;
            EXPECT_EQ(PopupTexts(), std::vector<std::string>{"File System FindFiles: wildcards (" + c.wildcards +
                                                             ") are invalid, see FindFiles() for more info."})
                << c.wildcards;
        }
    }
}

// --------------------------------------------------------------- paths

TEST(Paths, NormalizePath) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"a/b/../c", "a/c"},     {"x/../y", "/y"},       {"a\\b\\..\\c", "a/c"}, {"a/b/c/../../d", "a/d"},
        {"/a/../b", "/b"},       {"a/b/...", "a."},       {"a/b/..name", "aname"}, {"plain/path", "plain/path"},
        {"", ""},
    };
    for (const Case& c : cases) {
        std::vector<char> text(c.in, c.in + strlen(c.in) + 1);
        ZKFileSystem::NormalizePath(text.data());
        EXPECT_STREQ(text.data(), c.out) << c.in;
    }
}

TEST(Paths, PrefixHelpers) {
    using namespace ZKFileSystem;
    EXPECT_EQ(GetPathPrefixOfPath("a/b"), PATH_PREFIX_RES);
    EXPECT_EQ(GetPathPrefixOfPath("res://a"), PATH_PREFIX_INVALID);
    EXPECT_EQ(GetPathPrefixLength("logs://a.log"), 7);
    const char* strings[] = {"cache", "docs", "http", "logs", "res", "save", "user", "ugc"};
    for (int i = 0; i < 8; ++i) EXPECT_STREQ(GetPathPrefixString(PathPrefix(i)), strings[i]);
    EXPECT_STREQ(GetPathPrefixString(PATH_PREFIX_NATIVE), "");
    EXPECT_STREQ(GetPathPrefixString(PATH_PREFIX_INVALID), "");
    EXPECT_STREQ(GetOpenModeString(OPEN_MODE_APPEND), "ab");
    EXPECT_STREQ(GetOpenModeString(OPEN_MODE_READ), "rb");
    EXPECT_STREQ(GetOpenModeString(OPEN_MODE_WRITE), "wb");
    EXPECT_STREQ(GetOpenModeString(OpenMode(3)), "");
}

// --------------------------------------------------------------- listings

class Listing : public FileSystemApiTest {
protected:
    void SetUp() override {
        FileSystemApiTest::SetUp();
        mkdir((dir / "s").c_str(), 0777);
        mkdir((dir / "s/t").c_str(), 0777);
        for (const char* name : {"a.png", "b.jpg", "c.txt", "s/n.png", "s/t/deep.png"}) WriteFile(dir / name, "");
    }
    std::vector<std::string> Find(const std::string& path, const char* wildcards, bool recursive) {
        return Sorted(ListAndFree(Api().ZK_FileSystem_FindFiles(path.c_str(), wildcards, recursive)));
    }
    TempDirectory dir;
};

TEST_F(Listing, PathsBeginWithTheSearchedPathAndOneSlash) {
    std::vector<std::string> expected = {dir / "a.png", dir / "b.jpg"};
    EXPECT_EQ(Find(dir.Path(), "*.png;*.jpg", false), expected);
    EXPECT_EQ(Find(dir.Path() + "/", "*.png;*.jpg", false), expected);
    EXPECT_EQ(Find(dir.Path() + "\\", "*.png;*.jpg", false), expected);
}

TEST_F(Listing, RecursionDescendsIntoSubdirectories) {
    EXPECT_EQ(Find(dir.Path(), "*.png", true),
              (std::vector<std::string>{dir / "a.png", dir / "s/n.png", dir / "s/t/deep.png"}));
    EXPECT_EQ(Find(dir.Path(), "*.png", false), (std::vector<std::string>{dir / "a.png"}));
}

TEST_F(Listing, LinkedDirectoriesAreNotFollowedAndLinkedFilesAreListed) {
    // s/t/up points back at the top: following it would list for ever.
    ASSERT_EQ(symlink(dir.Path().c_str(), (dir / "s/t/up").c_str()), 0);
    ASSERT_EQ(symlink((dir / "a.png").c_str(), (dir / "s/link.png").c_str()), 0);
    EXPECT_EQ(Find(dir.Path(), "*.png", true),
              (std::vector<std::string>{dir / "a.png", dir / "s/link.png", dir / "s/n.png", dir / "s/t/deep.png"}));
}

TEST_F(Listing, EmptyInputGivesAnEmptyListNeverNull) {
    for (zk_list_t* list : {Api().ZK_FileSystem_FindFiles(nullptr, "*", true),
                            Api().ZK_FileSystem_FindFiles("", "*", true),
                            Api().ZK_FileSystem_FindFiles(dir.Path().c_str(), nullptr, true),
                            Api().ZK_FileSystem_FindFiles((dir / "missing").c_str(), "*", true)}) {
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->count, 0);
        zk->ZK_FreeList(list);
    }
    EXPECT_TRUE(Recorded().empty());
}

TEST(FindPaths, AnEntryIsAddedOnce) {
    nArray<nString> results;
    ZKFileSystem::AddPathToFindPaths(results, nString("d/"), "a");
    ZKFileSystem::AddPathToFindPaths(results, nString("d/"), "a");
    ZKFileSystem::AddPathToFindPaths(results, nString(""), "a");
    ASSERT_EQ(results.count, 2);
    EXPECT_STREQ(results[0].c_str(), "d/a");
    EXPECT_STREQ(results[1].c_str(), "a");
}

// --------------------------------------------------------------- directories and files

TEST_F(FileSystemApiTest, CreateDirectoryMakesEveryMissingParent) {
    TempDirectory dir;
    ASSERT_TRUE(Api().ZK_FileSystem_CreateDirectory((dir / "a/b/c").c_str()));
    struct stat status;
    EXPECT_EQ(stat((dir / "a/b/c").c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    // Existing directories count as made; so does a trailing separator.
    EXPECT_TRUE(Api().ZK_FileSystem_CreateDirectory((dir / "a/b/c").c_str()));
    EXPECT_TRUE(Api().ZK_FileSystem_CreateDirectory((dir / "a/b/d/").c_str()));
    EXPECT_TRUE(Api().ZK_FileSystem_CreateDirectory((dir.Path() + "\\a\\e").c_str()));
    EXPECT_EQ(stat((dir / "a/e").c_str(), &status), 0);
}

TEST_F(FileSystemApiTest, AFileInTheWayIsNotADirectory) {
    TempDirectory dir;
    WriteFile(dir / "file", "x");
    EXPECT_FALSE(Api().ZK_FileSystem_CreateDirectory((dir / "file").c_str()));
    EXPECT_FALSE(Api().ZK_FileSystem_CreateDirectory((dir / "file/below").c_str()));
    EXPECT_EQ(ReadWholeFile(dir / "file"), "x");
}

TEST_F(FileSystemApiTest, NewDirectoriesFollowTheProcessMask) {
    TempDirectory dir;
    mode_t previous = umask(022);
    bool made = Api().ZK_FileSystem_CreateDirectory((dir / "out/shaders/GLSL21").c_str());
    mode_t during = umask(previous);
    ASSERT_TRUE(made);
    EXPECT_EQ(during, mode_t(022)) << "the mask must be left as it was";
    for (const char* name : {"out", "out/shaders", "out/shaders/GLSL21"}) {
        struct stat status;
        ASSERT_EQ(stat((dir / name).c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode_t(0755)) << name;
    }
    // Files written afterwards are not world-writable either.
    previous = umask(022);
    zk_file_t* file = Api().ZK_FileSystem_OpenFile((dir / "out/a.txt").c_str(), "wb");
    umask(previous);
    ASSERT_NE(file, nullptr);
    Api().ZK_FileSystem_CloseFile(file);
    struct stat status;
    ASSERT_EQ(stat((dir / "out/a.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, mode_t(0644));
}

TEST_F(FileSystemApiTest, DeletingDirectories) {
    TempDirectory dir;
    mkdir((dir / "empty").c_str(), 0777);
    mkdir((dir / "full").c_str(), 0777);
    WriteFile(dir / "full/x", "");

    EXPECT_FALSE(Api().ZK_FileSystem_DeleteDirectory((dir / "empty").c_str(), true));
    EXPECT_EQ(PopupTexts(), std::vector<std::string>{"File System DeleteDirectory: deleting directory '" +
                                                     (dir / "empty") + "' with existing files is not allowed."});
    struct stat status;
    EXPECT_EQ(stat((dir / "empty").c_str(), &status), 0);

    EXPECT_FALSE(Api().ZK_FileSystem_DeleteDirectory((dir / "full").c_str(), false));
    EXPECT_TRUE(Api().ZK_FileSystem_DeleteDirectory((dir / "empty/").c_str(), false));
    EXPECT_NE(stat((dir / "empty").c_str(), &status), 0);
    EXPECT_FALSE(Api().ZK_FileSystem_DeleteDirectory((dir / "missing").c_str(), false));
}

TEST_F(FileSystemApiTest, ExistenceInformationAndDeletion) {
    TempDirectory dir;
    WriteFile(dir / "f", "x");
    EXPECT_TRUE(Api().ZK_FileSystem_FileExists((dir / "f").c_str()));
    EXPECT_FALSE(Api().ZK_FileSystem_FileExists(dir.Path().c_str()));
    EXPECT_FALSE(Api().ZK_FileSystem_FileExists((dir / "g").c_str()));

    zk_file_info_t info = {};
    EXPECT_TRUE(Api().ZK_FileSystem_GetFileInfo(dir.Path().c_str(), &info));
    EXPECT_TRUE(Api().ZK_FileSystem_GetFileInfo((dir / "f").c_str(), &info));
    struct stat status;
    stat((dir / "f").c_str(), &status);
    EXPECT_EQ(info.modification_time, uint32_t(status.st_mtime));
    EXPECT_EQ(info.status_change_time, uint32_t(status.st_ctime));
    EXPECT_FALSE(Api().ZK_FileSystem_GetFileInfo((dir / "g").c_str(), &info));

    EXPECT_TRUE(Api().ZK_FileSystem_DeleteFile((dir / "f").c_str()));
    EXPECT_FALSE(Api().ZK_FileSystem_DeleteFile((dir / "f").c_str()));
    EXPECT_FALSE(Api().ZK_FileSystem_FileExists((dir / "f").c_str()));
}

// A new file may be made only where nothing stands: FileExists answers for
// regular files alone, so a folder, a FIFO or a link that leads nowhere
// would pass for a free name.
TEST_F(FileSystemApiTest, ANameIsTakenByAnythingThatStandsThere) {
    TempDirectory dir;
    WriteFile(dir / "file", "x");
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0700), 0);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink((dir / "nowhere").c_str(), (dir / "dangling").c_str()), 0);
    ASSERT_EQ(symlink((dir / "file").c_str(), (dir / "link").c_str()), 0);
    struct Case {
        std::string path;
        bool taken;
    } cases[] = {
        {dir / "file", true},
        {dir / "folder", true},
        {dir / "fifo", true},
        {dir / "dangling", true},
        {dir / "link", true},
        {dir.Path() + "\\file", true},
        {dir / "missing", false},
        {dir / "missing/below", false},
        // Nothing can be made beneath a file, nor under a prefixed name.
        {dir / "file/below", true},
        {"user://missing", true},
    };
    for (const Case& c : cases) EXPECT_EQ(ZKI_IsPathTaken(c.path.c_str()), c.taken) << c.path;
    EXPECT_TRUE(ZKI_IsPathTaken(nullptr));
    EXPECT_FALSE(Api().ZK_FileSystem_FileExists((dir / "dangling").c_str())) << "the link leads nowhere";
    EXPECT_TRUE(Recorded().empty());
}

// A new file is made only where nothing stands, in the one step that looks
// at the name: whatever stands there is left exactly as it was, a link is
// not followed (neither to a file nor to where nothing is yet), and a FIFO
// does not hold the call up.
TEST_F(FileSystemApiTest, ANewFileIsMadeOnlyWhereNothingStands) {
    InitializedEngine initialized;
    TempDirectory dir;
    WriteFile(dir / "file", "old");
    WriteFile(dir / "victim", "keep");
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0700), 0);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink((dir / "nowhere").c_str(), (dir / "dangling").c_str()), 0);
    ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "link").c_str()), 0);
    FifoDrainer drainer(dir / "fifo");
    const std::vector<std::string> before = NamesIn(dir.Path());
    struct Case {
        std::string path;
        std::string made;  // where the new file is; empty: none is made
    } cases[] = {
        {dir / "new", dir / "new"},
        {dir.Path() + "\\other", dir / "other"},
        {dir / "file", ""},
        {dir / "folder", ""},
        {dir / "fifo", ""},
        {dir / "dangling", ""},
        {dir / "link", ""},
        {dir / "missing/below", ""},
        {dir / "file/below", ""},
        {"user://new", ""},
    };
    for (const Case& c : cases) {
        zk_file_t* file = ZKI_CreateNewFile(c.path.c_str());
        EXPECT_EQ(file != nullptr, !c.made.empty()) << c.path;
        if (!file) continue;
        EXPECT_EQ(file->size, 0);
        EXPECT_EQ(zk_state.open_files.count, 1) << "counted as an open file";
        EXPECT_EQ(Api().ZK_FileSystem_WriteFile("made", 4, file), 4u);
        EXPECT_TRUE(Api().ZK_FileSystem_CloseFile(file));
        if (!c.made.empty()) {
            EXPECT_EQ(ReadWholeFile(c.made), "made") << c.path;
        }
    }
    EXPECT_EQ(ZKI_CreateNewFile(nullptr), nullptr);
    EXPECT_EQ(zk_state.open_files.count, 0);
    EXPECT_FALSE(drainer.Finish()) << "the call waited for a reader";
    std::vector<std::string> after = before;
    after.insert(after.end(), {"new", "other"});
    EXPECT_EQ(NamesIn(dir.Path()), Sorted(after));
    EXPECT_EQ(ReadWholeFile(dir / "file"), "old");
    EXPECT_EQ(ReadWholeFile(dir / "victim"), "keep");
    EXPECT_FALSE(Api().ZK_FileSystem_FileExists((dir / "nowhere").c_str()));
    EXPECT_TRUE(Recorded().empty());
}

// A file is given a new name only where nothing stands: whatever stands
// there is left exactly as it was (a rename would replace a file, a FIFO
// or a link), and the file stays under its old name. A link is moved as
// itself, never what it leads to.
TEST_F(FileSystemApiTest, AFileIsMovedOnlyToANameWhereNothingStands) {
    TempDirectory dir;
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0700), 0);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink((dir / "nowhere").c_str(), (dir / "dangling").c_str()), 0);
    WriteFile(dir / "victim", "keep");
    ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "link").c_str()), 0);
    ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "second-link").c_str()), 0);
    WriteFile(dir / "file", "old");
    struct Case {
        std::string from;
        std::string to;
        bool moved;
    } cases[] = {
        {dir / "file", dir / "folder", false},
        {dir / "file", dir / "fifo", false},
        {dir / "file", dir / "dangling", false},
        {dir / "file", dir / "link", false},
        {dir / "file", dir / "victim", false},
        {dir / "file", dir / "missing/below", false},
        {dir / "missing", dir / "free", false},
        {dir / "file", "user://free", false},
        {"user://file", dir / "free", false},
        {dir / "file", dir.Path() + "\\moved", true},
        {dir / "second-link", dir / "moved-link", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from + " -> " + c.to);
        EXPECT_EQ(ZKI_MoveFileToNewName(c.from.c_str(), c.to.c_str()), c.moved);
    }
    EXPECT_FALSE(ZKI_MoveFileToNewName(nullptr, (dir / "free").c_str()));
    EXPECT_FALSE(ZKI_MoveFileToNewName((dir / "moved").c_str(), nullptr));
    EXPECT_EQ(NamesIn(dir.Path()),
              (std::vector<std::string>{"dangling", "fifo", "folder", "link", "moved", "moved-link", "victim"}));
    EXPECT_EQ(ReadWholeFile(dir / "moved"), "old");
    EXPECT_EQ(ReadWholeFile(dir / "victim"), "keep");
    struct stat status;
    for (const char* name : {"fifo", "dangling", "link", "moved-link"}) {
        ASSERT_EQ(lstat((dir / name).c_str(), &status), 0) << name;
        EXPECT_EQ(status.st_mode & S_IFMT, std::string(name) == "fifo" ? mode_t(S_IFIFO) : mode_t(S_IFLNK)) << name;
    }
    EXPECT_TRUE(Recorded().empty());
}

// The deepest folder is tried first; the levels above it only when it
// cannot be made, upwards until one can, then downwards again. Here a fake
// file system makes a folder when its parent exists (a root, or no parent,
// always does) and never makes the refused one.
TEST(DirectoryWalk, TheDeepestFolderIsTriedFirstAndItsParentsOnlyWhenNeeded) {
    static std::vector<std::string> made;
    static std::set<std::string> folders;
    static std::string refuse;
    auto record = [](ZKFileSystem::PathPrefix prefix, const nString& path) {
        EXPECT_EQ(prefix, ZKFileSystem::PATH_PREFIX_NATIVE);
        std::string folder = path.c_str();
        made.push_back(folder);
        if (folder == refuse) return false;
        if (folders.count(folder)) return true;
        size_t slash = folder.rfind('/');
        std::string parent = slash == std::string::npos ? "" : folder.substr(0, slash + 1);
        bool parent_exists = parent.empty() || parent == "/" || parent == "C:/" ||
                             folders.count(parent.substr(0, parent.size() - 1)) > 0;
        if (parent_exists) folders.insert(folder);
        return parent_exists;
    };
    struct Case {
        const char* path;
        std::set<std::string> existing;
        const char* refused;
        bool result;
        std::vector<std::string> calls;
    } cases[] = {
        {"a/b/c", {"a", "a/b"}, "", true, {"a/b/c"}},
        {"a/b/c", {"a", "a/b", "a/b/c"}, "", true, {"a/b/c"}},
        {"a/b/c", {"a"}, "", true, {"a/b/c", "a/b", "a/b/c"}},
        {"a/b/c", {}, "", true, {"a/b/c", "a/b", "a", "a/b", "a/b/c"}},
        {"/x/y", {}, "", true, {"/x/y", "/x", "/x/y"}},
        {"C:/x", {}, "", true, {"C:/x"}},
        {"a/b/", {}, "", true, {"a/b", "a", "a/b"}},
        {"a//b", {"a"}, "", true, {"a/b"}},
        {"", {}, "", true, {}},
        // A file where a folder should be: the walk stops there.
        {"a/b/c", {"a"}, "a/b", false, {"a/b/c", "a/b", "a", "a/b"}},
        {"a/b", {}, "a", false, {"a/b", "a"}},
    };
    for (const Case& c : cases) {
        made.clear();
        folders = c.existing;
        refuse = c.refused;
        EXPECT_EQ(ZKFileSystem::CreateDirectoriesRecursively(nString(c.path), record), c.result) << c.path;
        EXPECT_EQ(made, c.calls) << c.path;
    }
}

// --------------------------------------------------------------- probes beside the table

TEST_F(FileSystemApiTest, WriteProbesNeverDestroyAnExistingFile) {
    TempDirectory dir;
    WriteFile(dir / "keep.txt", "precious");
    EXPECT_TRUE(ZK_CanWriteToFile((dir / "keep.txt").c_str()));
    EXPECT_EQ(ReadWholeFile(dir / "keep.txt"), "precious");
    EXPECT_STREQ(ZKI_GetFileFullPath((dir / "keep.txt").c_str(), false), (dir / "keep.txt").c_str());
    EXPECT_EQ(ReadWholeFile(dir / "keep.txt"), "precious");

    // A missing file is probed by making it and deleting it again.
    EXPECT_TRUE(ZK_CanWriteToFile((dir / "new.txt").c_str()));
    EXPECT_FALSE(Api().ZK_FileSystem_FileExists((dir / "new.txt").c_str()));
    EXPECT_STREQ(ZKI_GetFileFullPath((dir / "new.txt").c_str(), false), (dir / "new.txt").c_str());
    EXPECT_FALSE(Api().ZK_FileSystem_FileExists((dir / "new.txt").c_str()));
    EXPECT_EQ(ZKI_GetFileFullPath((dir / "new.txt").c_str(), true), nullptr);
    EXPECT_FALSE(ZK_CanWriteToFile((dir / "no/such/dir/x").c_str()));
}

// Where something other than a file stands, no file can be made without
// going through it: the probes answer no and leave it as it is. A link
// that led nowhere was once followed (its target made) and then deleted
// itself; a FIFO held the probe until something read it.
TEST_F(FileSystemApiTest, WriteProbesLeaveWhatStandsAtTheNameAlone) {
    TempDirectory dir;
    ASSERT_EQ(symlink((dir / "nowhere").c_str(), (dir / "dangling").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0700), 0);
    FifoDrainer drainer(dir / "fifo");
    const std::vector<std::string> names = NamesIn(dir.Path());
    for (const char* name : {"dangling", "fifo", "folder"}) {
        std::string path = dir / name;
        EXPECT_FALSE(ZK_CanWriteToFile(path.c_str())) << name;
        EXPECT_EQ(ZKI_GetFileFullPath(path.c_str(), false), nullptr) << name;
    }
    EXPECT_FALSE(drainer.Finish()) << "a probe waited for a reader";
    EXPECT_EQ(NamesIn(dir.Path()), names);
    struct stat status;
    ASSERT_EQ(lstat((dir / "dangling").c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    ASSERT_EQ(lstat((dir / "fifo").c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST_F(FileSystemApiTest, FullPathsLongerThanTheBuffersAreRefused) {
    TempDirectory dir;
    std::string base = dir.Path() + "/";
    std::string fits = base + std::string(259 - base.size(), 'f');
    std::string too_long = fits + "g";
    WriteFile(fits, "x");
    EXPECT_STREQ(ZKI_GetFileFullPath(fits.c_str(), true), fits.c_str());
    EXPECT_EQ(ZKI_GetFileFullPath(too_long.c_str(), false), nullptr);
    EXPECT_FALSE(Api().ZK_FileSystem_FileExists(too_long.c_str()));
    EXPECT_EQ(ZKI_GetFileFullPath("res://prog.xml", false), nullptr);
}

TEST_F(FileSystemApiTest, FullPathsRotateThroughThirtyTwoBuffers) {
    TempDirectory dir;
    WriteFile(dir / "f", "");
    std::set<const char*> buffers;
    const char* first = ZKI_GetFileFullPath((dir / "f").c_str(), true);
    buffers.insert(first);
    for (int i = 1; i < 32; ++i) buffers.insert(ZKI_GetFileFullPath((dir / "f").c_str(), true));
    EXPECT_EQ(buffers.size(), 32u);
    EXPECT_EQ(ZKI_GetFileFullPath((dir / "f").c_str(), true), first);
}

TEST(StaticPaths, PrefixedPathsHaveNoNativeForm) {
    EXPECT_STREQ(ZK_ConvertStaticPathToNativeOSPath("res://data/a.bms").c_str(), "");
}

}  // namespace

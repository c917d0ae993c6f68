// The safe write's stream form, as programs without the engine's runtime
// use it: what a good write leaves, that a link at the target is replaced
// and not followed, that a file or a link at the temporary name it draws
// is passed by, and that a write the disk refuses, caught only when the
// stream is flushed and closed, keeps the old file and leaves nothing else.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/safewrite/safe_write_file.h"
#include "engine/safewrite/tests/scripted_names.h"

namespace fs = std::filesystem;
using safewrite_test::ScriptedNumbers;
using safewrite_test::TemporaryNameFor;

namespace {

class SafeWriteStream : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zk-safewrite-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return dir + "/" + name; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string dir;
};

void Put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(SafeWriteStream, WritesTheWholeFileAndReplacesALinkWithoutFollowingIt) {
    Put(Path("elsewhere.txt"), "untouched");
    ASSERT_EQ(symlink(Path("elsewhere.txt").c_str(), Path("link.xml").c_str()), 0);
    Put(Path("private.xml"), "old");
    chmod(Path("private.xml").c_str(), 0600);
    const std::string large(300000, 'z');
    struct Case {
        const char* name;
        std::string content;
    } cases[] = {{"new.xml", "fresh"}, {"private.xml", "new secret"}, {"link.xml", "saved"}, {"large.xml", large}};
    for (const Case& c : cases) {
        zk_safe_write_t file;
        char reason[256] = "";
        ASSERT_TRUE(ZKI_BeginSafeWriteStream(&file, Path(c.name).c_str(), reason, sizeof reason)) << reason;
        ASSERT_EQ(fwrite(c.content.data(), 1, c.content.size(), file.stream), c.content.size());
        ASSERT_TRUE(ZKI_CommitSafeWrite(&file, reason, sizeof reason)) << reason;
        EXPECT_EQ(file.stream, nullptr);
        EXPECT_EQ(file.temporary, nullptr);
        EXPECT_EQ(Read(Path(c.name)), c.content) << c.name;
        struct stat status;
        ASSERT_EQ(lstat(Path(c.name).c_str(), &status), 0);
        EXPECT_TRUE(S_ISREG(status.st_mode)) << c.name;
    }
    EXPECT_EQ(Read(Path("elsewhere.txt")), "untouched");
    struct stat status;
    ASSERT_EQ(stat(Path("private.xml").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"elsewhere.txt", "large.xml", "link.xml", "new.xml", "private.xml"}));
}

TEST_F(SafeWriteStream, TheTemporaryFileIsNewAndUnguessableBesideTheTarget) {
    zk_safe_write_t first, second;
    ASSERT_TRUE(ZKI_BeginSafeWriteStream(&first, Path("t.xml").c_str(), nullptr, 0));
    ASSERT_TRUE(ZKI_BeginSafeWriteStream(&second, Path("t.xml").c_str(), nullptr, 0));
    std::string a = first.temporary, b = second.temporary;
    EXPECT_NE(a, b);
    for (const std::string& name : {a, b}) EXPECT_EQ(name.rfind(Path(".t.xml.zekar-"), 0), 0u) << name;
    ZKI_AbandonSafeWrite(&first);
    ZKI_AbandonSafeWrite(&second);
    EXPECT_TRUE(Names().empty());
}

// What may stand at the first name a write draws, put there by someone
// else: the write takes the next name, and never writes through a link,
// whether it leads to a file, to nothing yet or to a folder.
TEST_F(SafeWriteStream, ATakenNameIsTriedAgainAndALinkThereIsNeverFollowed) {
    const std::string outside = Path("outside"), work = Path("work");
    fs::create_directories(outside);
    fs::create_directories(work);
    const std::string target = work + "/db.xml";
    const uint64_t first = 0x0123456789abcdefu, second = 0xfedcba9876543210u;
    const std::string taken = TemporaryNameFor(target, first);
    ASSERT_EQ(taken, work + "/.db.xml.zekar-0123456789abcdef");
    enum Planted { File, LinkToFile, LinkToNothing, LinkToFolder };
    for (Planted planted : {File, LinkToFile, LinkToNothing, LinkToFolder}) {
        fs::remove_all(outside);
        fs::create_directories(outside + "/folder");
        Put(outside + "/victim.txt", "keep");
        fs::remove(taken);
        switch (planted) {
            case File: Put(taken, "not mine"); break;
            case LinkToFile: ASSERT_EQ(symlink((outside + "/victim.txt").c_str(), taken.c_str()), 0); break;
            case LinkToNothing: ASSERT_EQ(symlink((outside + "/new.txt").c_str(), taken.c_str()), 0); break;
            case LinkToFolder: ASSERT_EQ(symlink((outside + "/folder").c_str(), taken.c_str()), 0); break;
        }
        ScriptedNumbers numbers({first, second});
        zk_safe_write_t file;
        char reason[256] = "";
        ASSERT_TRUE(ZKI_BeginSafeWriteStream(&file, target.c_str(), reason, sizeof reason)) << planted << ": " << reason;
        EXPECT_EQ(std::string(file.temporary), TemporaryNameFor(target, second)) << planted;
        fputs("written", file.stream);
        ASSERT_TRUE(ZKI_CommitSafeWrite(&file, reason, sizeof reason)) << planted << ": " << reason;
        EXPECT_EQ(numbers.Drawn(), 2u) << planted;

        EXPECT_EQ(Read(target), "written") << planted;
        struct stat status;
        bool kept = lstat(taken.c_str(), &status) == 0;
        EXPECT_TRUE(kept) << planted;
        EXPECT_TRUE(kept && S_ISLNK(status.st_mode) == (planted != File)) << planted;
        if (planted == File) {
            EXPECT_EQ(Read(taken), "not mine");
        }
        EXPECT_EQ(Read(outside + "/victim.txt"), "keep") << planted;
        EXPECT_FALSE(fs::exists(outside + "/new.txt")) << planted;
        EXPECT_TRUE(fs::is_empty(outside + "/folder")) << planted;
        EXPECT_EQ(std::distance(fs::directory_iterator(work), fs::directory_iterator()), 2) << planted;
    }

    // Every name it draws taken: the write is refused, and still nothing
    // is written through any of the links.
    fs::remove_all(work);
    fs::create_directories(work);
    std::vector<uint64_t> script;
    for (uint64_t n = 1; n <= 16; ++n) {
        script.push_back(n);
        ASSERT_EQ(symlink((outside + "/victim.txt").c_str(), TemporaryNameFor(target, n).c_str()), 0);
    }
    ScriptedNumbers numbers(script);
    zk_safe_write_t file;
    char reason[256] = "";
    EXPECT_FALSE(ZKI_BeginSafeWriteStream(&file, target.c_str(), reason, sizeof reason));
    EXPECT_NE(std::string(reason).find("cannot create a temporary file beside"), std::string::npos) << reason;
    EXPECT_EQ(numbers.Drawn(), 16u);
    EXPECT_EQ(file.temporary, nullptr);
    EXPECT_EQ(Read(outside + "/victim.txt"), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(work), fs::directory_iterator()), 16);
}

// A folder path that cannot be reached fails every name alike: the write
// ends at the first, with the system's own reason, rather than drawing
// names until it gives up on "File exists". A link that leads to itself
// is the case to watch: a link at the temporary name itself is passed by,
// one in the folder path is the end.
TEST_F(SafeWriteStream, AFolderThatCannotBeReachedEndsTheWriteAtOnceWithItsReason) {
    ASSERT_EQ(symlink(Path("loop").c_str(), Path("loop").c_str()), 0);
    Put(Path("file"), "a file");
    struct Case {
        std::string path;
        int error;
    } cases[] = {
        {Path("loop/db.xml"), ELOOP},
        {Path("missing/db.xml"), ENOENT},
        {Path("file/db.xml"), ENOTDIR},
    };
    for (const Case& c : cases) {
        ScriptedNumbers numbers({1, 2, 3});
        zk_safe_write_t file;
        char reason[512] = "";
        EXPECT_FALSE(ZKI_BeginSafeWriteStream(&file, c.path.c_str(), reason, sizeof reason)) << c.path;
        EXPECT_EQ(numbers.Drawn(), 1u) << c.path;
        std::string expected = "cannot create a temporary file beside '" + c.path + "': " + strerror(c.error);
        EXPECT_EQ(std::string(reason), expected);
        EXPECT_EQ(file.temporary, nullptr);
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"file", "loop"}));
}

// Lowers this process's file size limit for the test's span; a write past
// it then fails instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        old_handler = signal(SIGXFSZ, SIG_IGN);
        rlimit lower = {bytes, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, old_handler);
    }

private:
    rlimit saved;
    void (*old_handler)(int);
};

TEST_F(SafeWriteStream, EveryFailureKeepsTheOldFileAndLeavesNothingBehind) {
    Put(Path("db.xml"), "old bytes");
    fs::create_directory(Path("folder.xml"));
    const std::vector<std::string> names = Names();
    struct Case {
        const char* name;
        std::string path;
        size_t bytes;       // written through the stream
        rlim_t size_limit;  // 0: none
        const char* reason;
    } cases[] = {
        // Taken in by the stream's buffer; the disk refuses it at the flush.
        {"buffered write refused", Path("db.xml"), 2000, 1000, "closing"},
        {"large write refused", Path("db.xml"), 100000, 1000, "closing"},
        {"a folder in the way", Path("folder.xml"), 10, 0, "cannot replace"},
        {"no such folder", Path("missing/db.xml"), 0, 0, "cannot create a temporary file"},
        {"no file name", dir + "/", 0, 0, "no file name"},
    };
    for (const Case& c : cases) {
        char reason[512] = "";
        zk_safe_write_t file;
        bool ok = ZKI_BeginSafeWriteStream(&file, c.path.c_str(), reason, sizeof reason);
        if (ok) {
            FileSizeLimit limit(c.size_limit ? c.size_limit : RLIM_INFINITY);
            std::string bytes(c.bytes, 'n');
            fwrite(bytes.data(), 1, bytes.size(), file.stream);
            ok = ZKI_CommitSafeWrite(&file, reason, sizeof reason);
        }
        EXPECT_FALSE(ok) << c.name;
        EXPECT_NE(std::string(reason).find(c.reason), std::string::npos) << c.name << ": " << reason;
        EXPECT_EQ(Read(Path("db.xml")), "old bytes") << c.name;
        EXPECT_EQ(Names(), names) << c.name;
        EXPECT_EQ(file.temporary, nullptr) << c.name;
    }
    zk_safe_write_t empty = {};
    char reason[64] = "";
    EXPECT_FALSE(ZKI_CommitSafeWrite(&empty, reason, sizeof reason));
    EXPECT_STREQ(reason, "the file is not open for saving");
    ZKI_AbandonSafeWrite(&empty);
}

}  // namespace

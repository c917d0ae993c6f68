// Saving a whole file through a temporary file: what a good save leaves
// behind, and that every kind of failure keeps the old file and leaves no
// temporary file.
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "engine/storage/safe_write.h"
#include "engine/storage/tests/storage_test_support.h"

using namespace storage_test;

namespace {

bool Save(const std::string& path, const std::string& bytes, nString* error = nullptr) {
    return ZKI_SaveFileSafely(path.c_str(), bytes.data(), bytes.size(), error);
}

class SafeWrite : public ::testing::Test {
protected:
    void TearDown() override { ZKFileSystem::SetSafeFileCloseForTesting(nullptr); }

    // The save failed with a reason holding the words, the old file is as
    // it was and the folder holds nothing new.
    void ExpectRefused(const std::string& path, const std::string& bytes, const std::string& words,
                       const std::vector<std::string>& names_before) {
        std::string old = ReadWholeFile(path);
        nString error;
        EXPECT_FALSE(Save(path, bytes, &error)) << path;
        EXPECT_NE(std::string(error.c_str()).find(words), std::string::npos) << error.c_str();
        EXPECT_EQ(ReadWholeFile(path), old) << path;
        EXPECT_EQ(NamesIn(dir.Path()), names_before) << path;
    }

    TempDirectory dir;
};

TEST_F(SafeWrite, ASaveLeavesExactlyTheNewContent) {
    struct Case {
        std::string old_content;  // "-" for no old file
        std::string new_content;
    } cases[] = {
        {"-", "fresh"},
        {"a much longer old content", "short"},
        {"old", ""},
        {"-", std::string(300000, 'z')},
    };
    for (const Case& c : cases) {
        std::string path = dir / "target.xml";
        unlink(path.c_str());
        if (c.old_content != "-") WriteFile(path, c.old_content);
        nString error;
        ASSERT_TRUE(Save(path, c.new_content, &error)) << error.c_str();
        EXPECT_TRUE(error.IsEmpty());
        EXPECT_EQ(ReadWholeFile(path), c.new_content);
        EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"target.xml"});
    }
}

TEST_F(SafeWrite, AReplacedFileKeepsItsPermissionsAndALinkIsReplacedNotFollowed) {
    std::string path = dir / "private.xml";
    WriteFile(path, "secret");
    chmod(path.c_str(), 0600);
    ASSERT_TRUE(Save(path, "new secret"));
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    std::string elsewhere = dir / "elsewhere.txt";
    WriteFile(elsewhere, "untouched");
    std::string link = dir / "link.xml";
    ASSERT_EQ(symlink(elsewhere.c_str(), link.c_str()), 0);
    ASSERT_TRUE(Save(link, "saved"));
    EXPECT_EQ(ReadWholeFile(elsewhere), "untouched");
    EXPECT_EQ(ReadWholeFile(link), "saved");
    ASSERT_EQ(lstat(link.c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
}

// Where the temporary file is made: recorded when it is closed.
std::vector<std::string> temporary_names;
int RecordNameAndClose(int descriptor) {
    char name[PATH_MAX] = {};
    std::string link = "/proc/self/fd/" + std::to_string(descriptor);
    if (readlink(link.c_str(), name, sizeof name - 1) > 0) temporary_names.push_back(name);
    return close(descriptor);
}

// Whether name is prefix followed by ".zekar-" and 16 lower-case hex digits.
static bool IsTemporaryNameOf(const std::string& name, const std::string& prefix) {
    const std::string marker = prefix + ".zekar-";
    if (name.size() != marker.size() + 16 || name.compare(0, marker.size(), marker) != 0) return false;
    return name.find_first_not_of("0123456789abcdef", marker.size()) == std::string::npos;
}

TEST_F(SafeWrite, TheTemporaryFileIsANewUnguessableNameInTheTargetsFolder) {
    ZKFileSystem::SetSafeFileCloseForTesting(RecordNameAndClose);
    temporary_names.clear();
    // A file where an old fixed temporary name would be must not be used.
    WriteFile(dir / "t.xml.zekar-tmp", "not mine");
    ASSERT_TRUE(Save(dir / "t.xml", "1"));
    ASSERT_TRUE(Save(dir / "t.xml", "2"));
    ASSERT_EQ(temporary_names.size(), 2u);
    char real[PATH_MAX];
    ASSERT_NE(realpath(dir.Path().c_str(), real), nullptr);
    for (const std::string& name : temporary_names) {
        EXPECT_EQ(name.substr(0, name.rfind('/')), real) << name;
        // ".<name>.zekar-<16 hex digits>", so that a leftover says whose it is.
        EXPECT_TRUE(IsTemporaryNameOf(name.substr(name.rfind('/') + 1), ".t.xml")) << name;
    }
    EXPECT_NE(temporary_names[0], temporary_names[1]);
    // A long name keeps its first 40 characters.
    std::string long_name(60, 'n');
    ASSERT_TRUE(Save(dir / long_name, "3"));
    ASSERT_EQ(temporary_names.size(), 3u);
    std::string last = temporary_names[2].substr(temporary_names[2].rfind('/') + 1);
    EXPECT_TRUE(IsTemporaryNameOf(last, "." + std::string(40, 'n'))) << last;
    EXPECT_EQ(ReadWholeFile(dir / "t.xml.zekar-tmp"), "not mine");
    EXPECT_EQ(ReadWholeFile(dir / "t.xml"), "2");
}

TEST_F(SafeWrite, EveryFailureKeepsTheOldFileAndLeavesNoTemporaryFile) {
    std::string path = dir / "db.xml";
    WriteFile(path, "old bytes");
    mkdir((dir / "folder.xml").c_str(), 0777);
    std::vector<std::string> names = NamesIn(dir.Path());

    ExpectRefused(dir / "missing/db.xml", "new", "cannot create a temporary file", names);
    ExpectRefused(dir / "folder.xml", "new", "cannot replace", names);
    ExpectRefused(dir.Path() + "/", "new", "no file name", names);

    nString error;
    EXPECT_FALSE(ZKI_SaveFileSafely(nullptr, "x", 1, &error));
    EXPECT_FALSE(ZKI_SaveFileSafely(path.c_str(), nullptr, 1, &error));
    EXPECT_NE(std::string(error.c_str()).find("no data"), std::string::npos) << error.c_str();
    EXPECT_EQ(ReadWholeFile(path), "old bytes");

    ZKFileSystem::SetSafeFileCloseForTesting(FailingClose);
    ExpectRefused(path, "new", "closing", names);
    ZKFileSystem::SetSafeFileCloseForTesting(nullptr);
    EXPECT_EQ(NamesIn(dir.Path()), names);
}

TEST_F(SafeWrite, AFullDiskKeepsTheOldFile) {
    std::string folder = dir / "disk";
    mkdir(folder.c_str(), 0777);
    SmallDisk disk(folder);
    if (!disk.Usable()) GTEST_SKIP() << "this process may not mount a file system";
    std::string path = folder + "/db.xml";
    WriteFile(path, "old bytes");
    disk.Fill();
    std::vector<std::string> names = NamesIn(folder);
    nString error;
    EXPECT_FALSE(Save(path, std::string(8192, 'n'), &error));
    EXPECT_NE(std::string(error.c_str()).find("writing"), std::string::npos) << error.c_str();
    EXPECT_EQ(ReadWholeFile(path), "old bytes");
    EXPECT_EQ(NamesIn(folder), names);
}

}  // namespace

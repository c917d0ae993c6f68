// Memory files and the save area: capacity and position rules, and files
// written under the mounted area reaching the real files whole, in order,
// also when the area is never unmounted or a handle outlives the unmount.
#include <sys/stat.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/base/tests/fifo_releaser.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/mount_system.h"
#include "engine/storage/posix_system.h"
#include "engine/storage/safe_write.h"
#include "engine/storage/tests/storage_test_support.h"

using namespace ZKFileSystem;
using namespace storage_test;

namespace {

std::string Content(MemoryFile& file) {
    return std::string(static_cast<const char*>(file.GetBuffer()), size_t(file.GetBufferSize()));
}

size_t Write(File* file, const std::string& bytes) { return file->Write(bytes.data(), bytes.size()); }

std::string ReadAll(File* file) {
    std::string bytes(4096, '\0');
    bytes.resize(file->Read(&bytes[0], bytes.size()));
    return bytes;
}

TEST(MemoryFiles, CapacityGrowsInStepsOf256) {
    MemoryFile file(PATH_PREFIX_SAVE);
    EXPECT_EQ(file.capacity, 256u);
    EXPECT_TRUE(file.writable);
    struct Step {
        size_t bytes;
        uint64_t capacity;
    } steps[] = {{1, 256}, {255, 256}, {1, 512}, {511, 768}, {0, 768}, {1024, 1792}};
    std::string expected;
    char next = 'a';
    for (const Step& s : steps) {
        std::string bytes(s.bytes, next++);
        EXPECT_EQ(Write(&file, bytes), s.bytes);
        expected += bytes;
        EXPECT_EQ(file.capacity, s.capacity) << expected.size();
        EXPECT_EQ(file.position, expected.size());
    }
    EXPECT_EQ(Content(file), expected);  // the content survives every move

    // A write inside the content overwrites it and keeps the length.
    file.SetPosition(1, 0);
    Write(&file, "XY");
    expected.replace(1, 2, "XY");
    EXPECT_EQ(Content(file), expected);
    int offset = 5;
    EXPECT_EQ(file.GetFileDescriptor(offset), -1);
    EXPECT_EQ(offset, 5);
}

TEST(MemoryFiles, PositionsAreLimitedToTheContent) {
    MemoryFile file(PATH_PREFIX_SAVE);
    Write(&file, "0123456789");
    struct Case {
        int offset;
        zk_seek_t origin;
        int result;
        uint64_t position;
        std::string rest;
    } cases[] = {
        {3, 0, 3, 3, "3456789"},  {-1, 0, -1, 10, ""},  {2, 1, 12, 10, ""},  {-3, 2, 7, 7, "789"},
        {5, 2, 15, 10, ""},       {-20, 2, -10, 10, ""}, {0, 0, 0, 0, "0123456789"},
        {4, 9, 10, 10, ""},  // an unknown origin answers the old position
    };
    for (const Case& c : cases) {
        EXPECT_EQ(file.SetPosition(c.offset, c.origin), c.result) << c.offset << "/" << c.origin;
        EXPECT_EQ(file.GetPosition(), int64_t(c.position)) << c.offset << "/" << c.origin;
        EXPECT_EQ(ReadAll(&file), c.rest) << c.offset << "/" << c.origin;
        EXPECT_EQ(ReadAll(&file), "");  // at the end a read gives nothing
    }
}

// A file that delivers fewer bytes than its size.
class ShortFile : public File {
public:
    explicit ShortFile(int64_t size) : File(size, 0, PATH_PREFIX_SAVE, false) {}
    int64_t GetPosition() override { return 0; }
    size_t Read(void* buffer, size_t count) override {
        memset(buffer, 'x', count / 2);
        return count / 2;
    }
    int SetPosition(int, zk_seek_t) override { return 0; }
};

class SaveArea : public StorageTest {
protected:
    void SetUp() override {
        StorageTest::SetUp();
        posix = new MacOSPOSIXSystem(nullptr);
        save = new MountSystem(posix);
    }
    void TearDown() override {
        delete save;
        delete posix;
    }
    nString Path(const std::string& name) { return nString((dir / name).c_str()); }
    File* Open(const std::string& name, OpenMode mode) { return save->OpenFile(PATH_PREFIX_SAVE, Path(name), mode); }

    TempDirectory dir;
    MacOSPOSIXSystem* posix = nullptr;
    MountSystem* save = nullptr;
};

TEST_F(SaveArea, MemoryFilesLoadFromFiles) {
    WriteFile(dir / "300.bin", std::string(300, 'q'));
    WriteFile(dir / "empty.bin", "");
    struct Case {
        std::string name;
        OpenMode mode;
        uint64_t capacity, length, position;
    } cases[] = {
        {"300.bin", OPEN_MODE_APPEND, 512, 300, 300},
        {"300.bin", OPEN_MODE_READ, 512, 300, 0},
        {"empty.bin", OPEN_MODE_APPEND, 256, 0, 0},
    };
    for (const Case& c : cases) {
        File* source = posix->OpenFile(PATH_PREFIX_SAVE, Path(c.name), OPEN_MODE_READ);
        ASSERT_NE(source, nullptr);
        MemoryFile memory(PATH_PREFIX_SAVE);
        EXPECT_TRUE(memory.InitializeFromFile(source, c.mode)) << c.name;
        EXPECT_EQ(memory.capacity, c.capacity) << c.name;
        EXPECT_EQ(memory.length, c.length) << c.name;
        EXPECT_EQ(memory.position, c.position) << c.name;
        EXPECT_EQ(memory.size, int64_t(c.length)) << c.name;
        posix->CloseFile(source);
    }
    ShortFile short_file(100);
    MemoryFile memory(PATH_PREFIX_SAVE);
    EXPECT_FALSE(memory.InitializeFromFile(&short_file, OPEN_MODE_APPEND));
}

// Until the area is mounted nothing opens, nothing is found, and nothing
// can be made: every name counts as taken, also one where nothing stands.
TEST_F(SaveArea, NothingOpensUntilMounted) {
    WriteFile(dir / "f.txt", "x");
    zk_file_info_t info;
    EXPECT_FALSE(save->Mount(1));
    EXPECT_TRUE(save->PathIsTaken(PATH_PREFIX_SAVE, Path("free.txt")));
    EXPECT_EQ(Open("f.txt", OPEN_MODE_READ), nullptr);
    EXPECT_FALSE(save->FileExists(PATH_PREFIX_SAVE, Path("f.txt")));
    EXPECT_FALSE(save->GetFileInfo(PATH_PREFIX_SAVE, Path("f.txt"), &info));
    EXPECT_FALSE(save->DeleteFile(PATH_PREFIX_SAVE, Path("f.txt")));
    EXPECT_FALSE(save->CreateDirectory(PATH_PREFIX_SAVE, Path("d")));
    ASSERT_TRUE(save->Mount(0));
    EXPECT_FALSE(save->PathIsTaken(PATH_PREFIX_SAVE, Path("free.txt")));
    EXPECT_TRUE(save->PathIsTaken(PATH_PREFIX_SAVE, Path("f.txt")));
    EXPECT_TRUE(save->FileExists(PATH_PREFIX_SAVE, Path("f.txt")));
    EXPECT_TRUE(save->GetFileInfo(PATH_PREFIX_SAVE, Path("f.txt"), &info));
    File* read = Open("f.txt", OPEN_MODE_READ);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(save->open_reads, 1);
    EXPECT_TRUE(save->CloseFile(read));
    EXPECT_EQ(save->open_reads, 0);
    EXPECT_EQ(Open("no/such/dir/f.txt", OPEN_MODE_WRITE), nullptr);
    save->Unmount();
    EXPECT_TRUE(save->PathIsTaken(PATH_PREFIX_SAVE, Path("free.txt")));
}

// A FIFO, or a link to one, where a save-area file is opened is refused at
// once in every mode, and nothing is buffered for it: the look at the real
// file before writing once held the program until something read the
// FIFO.
TEST_F(SaveArea, AFifoIsRefusedAtOnceAndNothingIsBufferedForIt) {
    std::string fifo = dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(symlink(fifo.c_str(), (dir / "link").c_str()), 0);
    ASSERT_TRUE(save->Mount(0));
    for (const char* name : {"fifo", "link"}) {
        for (OpenMode mode : {OPEN_MODE_WRITE, OPEN_MODE_APPEND, OPEN_MODE_READ}) {
            SCOPED_TRACE(std::string(name) + " " + GetOpenModeString(mode));
            bool waited = false;
            File* file = CallReleasingFifo(fifo, [&] { return Open(name, mode); }, &waited);
            EXPECT_FALSE(waited) << "the open waited for the other end";
            EXPECT_EQ(file, nullptr);
            if (file) save->CloseFile(file);
        }
    }
    EXPECT_EQ(save->written.count, 0);
    EXPECT_EQ(save->open_reads, 0);
    save->Unmount();
    struct stat status;
    ASSERT_EQ(lstat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST_F(SaveArea, WrittenFilesReachTheDiskAtUnmountOnly) {
    WriteFile(dir / "w.txt", "old");
    WriteFile(dir / "a.txt", "abc");
    ASSERT_TRUE(save->Mount(0));
    File* w = Open("w.txt", OPEN_MODE_WRITE);
    File* a = Open("a.txt", OPEN_MODE_APPEND);
    ASSERT_NE(w, nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetPosition(), 3);
    Write(w, "new");
    Write(a, "def");
    save->CloseFile(w);
    save->CloseFile(a);
    // Opening for writing does not cut the real file.
    EXPECT_EQ(ReadWholeFile(dir / "w.txt"), "old");
    EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "abc");
    // Reading under the area gives what was written.
    File* r = Open("a.txt", OPEN_MODE_READ);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(ReadAll(r), "abcdef");
    save->CloseFile(r);

    // A second append starts from the buffered content.
    File* again = Open("a.txt", OPEN_MODE_APPEND);
    Write(again, "g");
    save->CloseFile(again);
    save->Unmount();
    EXPECT_FALSE(save->mounted);
    EXPECT_EQ(ReadWholeFile(dir / "w.txt"), "new");
    EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "abcdefg");
    EXPECT_EQ(save->written.count, 0);
    EXPECT_FALSE(posix->FileExists(PATH_PREFIX_SAVE, Path("a.txt.zekar-tmp")));
}

TEST_F(SaveArea, AnAreaNeverUnmountedIsWrittenBackAtTheEnd) {
    ASSERT_TRUE(save->Mount(0));
    File* file = Open("kept.txt", OPEN_MODE_WRITE);
    ASSERT_NE(file, nullptr);
    Write(file, "saved");
    save->CloseFile(file);
    delete save;
    save = nullptr;
    EXPECT_EQ(ReadWholeFile(dir / "kept.txt"), "saved");
}

TEST_F(SaveArea, AHandleOpenAtUnmountStaysUsableAndIsWrittenWhenClosed) {
    ASSERT_TRUE(save->Mount(0));
    File* file = Open("open.txt", OPEN_MODE_WRITE);
    ASSERT_NE(file, nullptr);
    Write(file, "1");
    save->Unmount();
    EXPECT_EQ(ReadWholeFile(dir / "open.txt"), "1");
    Write(file, "2");  // the handle still points to a live file
    EXPECT_TRUE(save->CloseFile(file));
    EXPECT_EQ(ReadWholeFile(dir / "open.txt"), "12");
    EXPECT_EQ(save->written.count, 0);
}

TEST_F(SaveArea, AFailedWriteBackKeepsTheDataForTheNextUnmount) {
    mkdir((dir / "sub").c_str(), 0777);
    ASSERT_TRUE(save->Mount(0));
    File* file = Open("sub/f.txt", OPEN_MODE_WRITE);
    ASSERT_NE(file, nullptr);
    Write(file, "data");
    save->CloseFile(file);
    remove((dir / "sub/f.txt").c_str());
    rmdir((dir / "sub").c_str());
    save->Unmount();
    ASSERT_EQ(save->written.count, 1);
    ASSERT_EQ(Recorded().size(), 1u);
    EXPECT_EQ(Recorded()[0].text, "File System Unmount: unable to write '" + (dir / "sub/f.txt") +
                                      "' (cannot create a temporary file beside '" + (dir / "sub/f.txt") +
                                      "': No such file or directory), its data is kept in memory.");

    mkdir((dir / "sub").c_str(), 0777);
    save->Mount(0);
    save->Unmount();
    EXPECT_EQ(ReadWholeFile(dir / "sub/f.txt"), "data");
    EXPECT_EQ(save->written.count, 0);
}

class FailedWriteBack : public SaveArea {
protected:
    // Writes new data over an old file under the area, breaks the disk and
    // unmounts: the write-back fails with the reason, the old file and the
    // folder stay as they were, and the data stays in memory.
    void ExpectFailure(const std::string& folder, const std::function<void()>& break_disk, const std::string& reason) {
        std::string path = folder + "/f.txt";
        WriteFile(path, "old");
        break_disk();
        std::vector<std::string> names = NamesIn(folder);
        ASSERT_TRUE(save->Mount(0));
        File* file = save->OpenFile(PATH_PREFIX_SAVE, nString(path.c_str()), OPEN_MODE_WRITE);
        ASSERT_NE(file, nullptr);
        Write(file, std::string(8192, 'n'));
        save->CloseFile(file);
        ClearRecorded();
        save->Unmount();
        EXPECT_EQ(save->written.count, 1);
        ASSERT_EQ(Recorded().size(), 1u);
        EXPECT_EQ(Recorded()[0].text,
                  "File System Unmount: unable to write '" + path + "' (" + reason + "), its data is kept in memory.");
        EXPECT_EQ(ReadWholeFile(path), "old");
        EXPECT_EQ(NamesIn(folder), names);
    }
    void ExpectWrittenAtTheNextUnmount(const std::string& folder) {
        save->Mount(0);
        save->Unmount();
        EXPECT_EQ(save->written.count, 0);
        EXPECT_EQ(ReadWholeFile(folder + "/f.txt"), std::string(8192, 'n'));
    }
    void TearDown() override {
        SetSafeFileCloseForTesting(nullptr);
        SaveArea::TearDown();
    }
};

TEST_F(FailedWriteBack, AFailedCloseKeepsTheOldFile) {
    ExpectFailure(
        dir.Path(), [] { SetSafeFileCloseForTesting(FailingClose); },
        "closing '" + (dir / "f.txt") + "' failed: Input/output error");
    SetSafeFileCloseForTesting(nullptr);
    ExpectWrittenAtTheNextUnmount(dir.Path());
}

TEST_F(FailedWriteBack, AFullDiskKeepsTheOldFile) {
    std::string folder = dir / "disk";
    mkdir(folder.c_str(), 0777);
    SmallDisk disk(folder);
    if (!disk.Usable()) GTEST_SKIP() << "this process may not mount a file system";
    ExpectFailure(
        folder, [&disk] { disk.Fill(); }, "writing '" + folder + "/f.txt' failed: No space left on device");
    remove((folder + "/filler").c_str());
    ExpectWrittenAtTheNextUnmount(folder);
}

// A handle closed after the unmount writes its file back then, and its
// close tells whether that worked.
TEST_F(FailedWriteBack, AHandleClosedAfterTheUnmountReportsAFailedWriteBack) {
    ASSERT_TRUE(save->Mount(0));
    File* file = Open("late.txt", OPEN_MODE_WRITE);
    ASSERT_NE(file, nullptr);
    save->Unmount();
    Write(file, "late");
    SetSafeFileCloseForTesting(FailingClose);
    EXPECT_FALSE(save->CloseFile(file));
    EXPECT_EQ(save->written.count, 1);
    SetSafeFileCloseForTesting(nullptr);
    save->Mount(0);
    save->Unmount();
    EXPECT_EQ(ReadWholeFile(dir / "late.txt"), "late");
}

}  // namespace

// The manifester's runtime: the table's entries, the printers and the box,
// the two formatters, the file table, bitmap frames and safe files.
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/manifester/runtime.h"
#include "tools/manifester/tests/manifester_test_support.h"

using namespace manifester;
using namespace manifester_test;

namespace {

TEST(Runtime, TableFilledAtItsPositionsOthersNull) {
    ZKI_SetBasicInterface();
    void* const* slots = reinterpret_cast<void* const*>(zk);
    const int filled[] = {0, 1, 2, 15, 18, 23, 24, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 88, 90};
    for (int i = 0; i < 125; ++i) {
        bool expected = std::find(std::begin(filled), std::end(filled), i) != std::end(filled);
        EXPECT_EQ(slots[i] != nullptr, expected) << "position " << i;
    }
    EXPECT_EQ(slots[37], slots[39]);
    EXPECT_EQ(slots[36], slots[40]);
    EXPECT_EQ(zk_state.pixel_byte_order, 0);
}

TEST(Runtime, PrintersCutAt2047AndWarningsGoToTheBox) {
    ZKI_SetBasicInterface();
    std::string long_text(3000, 'x');
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int counts[3] = {zk->Printf("%s", long_text.c_str()), zk->PrintDebugf(2, "level %d\n", 2),
                     zk->Popupf(1, "Unsupported png '%s' with %d channels.\n", "a.png", 5)};
    std::string out = testing::internal::GetCapturedStdout(), err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(counts[0], 3000);
    EXPECT_EQ(counts[1], 8);
    EXPECT_EQ(counts[2], 41);
    EXPECT_EQ(out, std::string(2047, 'x') + "level 2\nUnsupported png 'a.png' with 5 channels.\n");
    EXPECT_EQ(err, "[zk-rescaler warning] Unsupported png 'a.png' with 5 channels.\n");
}

TEST(Runtime, FormattersHonourTheirBuffers) {
    ZKI_SetBasicInterface();
    char* first = zk->FormatTemporary(0, "%d", 1);
    for (int i = 2; i <= 16; ++i) EXPECT_NE(zk->FormatTemporary(0, "%d", i), first);
    EXPECT_EQ(zk->FormatTemporary(0, "%d", 17), first);
    EXPECT_STREQ(first, "17");
    std::string long_text(400, 'y');
    EXPECT_EQ(strlen(zk->FormatTemporary(0, "%s", long_text.c_str())), 259u);

    // The caller's size is honoured: nothing past it is touched.
    char buffer[16];
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(zk->FormatIntoBuffer(buffer, 8, 0, "%s-%d", "abcdef", 42), buffer);
    EXPECT_STREQ(buffer, "abcdef-");
    EXPECT_EQ(buffer[8], '#');
    zk->FormatIntoBuffer(buffer, 0, 0, "%s", "nothing");
    EXPECT_EQ(buffer[0], 'a');
}

class FileTable : public ManifesterTest {};

TEST_F(FileTable, ModesLengthsAndReads) {
    std::string path = dir / "f.bin";
    WriteBytes(path, {'a', 'b', 'c', 'd', 'e'});
    struct Case {
        const char* mode;
        bool opens;
        uint32_t length;
    } cases[] = {{"r", true, 5}, {"rb", true, 5}, {"a", true, 5}, {"w", true, 0},
                 {"r+", false, 0}, {"rt", false, 0}, {"x", false, 0}};
    for (const Case& c : cases) {
        WriteBytes(path, {'a', 'b', 'c', 'd', 'e'});
        Recorded().clear();
        zk_file_t* file = zk->OpenFile(path.c_str(), c.mode);
        EXPECT_EQ(file != nullptr, c.opens) << c.mode;
        if (!file) {
            EXPECT_EQ(RecordedText(), std::string("zk->OpenFile: Illegal mode '") + c.mode + "' while opening file '" + path +
                                          "'\nValid modes are read (\"r\"), write (\"w\"), and append (\"a\").\n");
            continue;
        }
        EXPECT_EQ(file->size, c.length) << c.mode;
        EXPECT_STREQ(file->name, path.c_str());
        EXPECT_EQ(zk_state.open_files, 1);
        zk->CloseFile(file);
    }
    EXPECT_EQ(zk->OpenFile((dir / "missing").c_str(), "r"), nullptr);

    WriteBytes(path, {'a', 'b', 'c', 'd', 'e'});
    zk_file_t* file = zk->OpenFile(path.c_str(), "r");
    char two[2];
    EXPECT_EQ(zk->ReadFile(two, 2, file), 1u);
    EXPECT_EQ(zk->GetFilePosition(file), 2);
    EXPECT_EQ(zk->ReadItems(two, 1, 2, file), 2u);
    EXPECT_EQ(zk->ReadFile(two, 2, file), 0u);  // one byte left: no whole item
    EXPECT_EQ(zk->SetFilePosition(file, -1, 2), 0);
    EXPECT_EQ(zk->GetChar(file), 'e');
    EXPECT_EQ(zk->GetChar(file), -1);
    EXPECT_EQ(zk->SetFilePositionAgain(file, 1, 0), 0);
    EXPECT_EQ(zk->GetFilePositionAgain(file), 1);
    EXPECT_EQ(zk->SetFilePosition(file, 0, 3), -1);
    zk->CloseFile(file);
    Recorded().clear();
    zk->CloseFile(nullptr);
    EXPECT_EQ(RecordedText(), "CloseFile closing too many file handles!\n");
}

TEST(BitmapFrames, FrameChosenModuloTheCountNegativesAsZero) {
    zk_bitmap_t frames[3] = {};
    for (int i = 0; i < 3; ++i) {
        frames[i].width = 10 + i;
        frames[i].height = 20 + i;
        frames[i].flags = i == 1 ? 1u : 0u;
        frames[i].frame_block[14] = 100 + i;
    }
    struct Case {
        int frame, shown;
    } cases[] = {{0, 0}, {-5, 0}, {2, 2}, {7, 1}, {3, 0}};
    for (const Case& c : cases) {
        zk_bitmap_t bitmap = {};
        bitmap.flags = 2 | 1;
        bitmap.frames = frames;
        bitmap.frame_count = 3;
        ZK_Graphics_SetBitmapFrame(&bitmap, c.frame);
        EXPECT_EQ(bitmap.width, 10 + c.shown) << c.frame;
        EXPECT_EQ(bitmap.height, 20 + c.shown) << c.frame;
        EXPECT_EQ(bitmap.flags, 2u | (c.shown == 1 ? 1u : 0u)) << c.frame;
        EXPECT_EQ(bitmap.frame_block[14], uint32_t(100 + c.shown)) << c.frame;
    }
    zk_bitmap_t single = {};
    single.width = 5;
    ZK_Graphics_SetBitmapFrame(&single, 1);
    EXPECT_EQ(single.width, 5);
}

TEST(Strings, CopiesAndDirectories) {
    struct Case {
        const char* path;
        const char* directory;
    } cases[] = {{"fonts/big/a.mft", "fonts/big"}, {"a.mft", "a.mft"}, {"fonts\\a.mft", "fonts\\a.mft"}, {"/a", ""}};
    for (const Case& c : cases) {
        char* directory = GetPathDirectory(c.path);
        EXPECT_STREQ(directory, c.directory);
        free(directory);
    }
    char* empty = ZKI_StrDup(nullptr);
    EXPECT_STREQ(empty, "");
    free(empty);
}

class SafeFiles : public ManifesterTest {};

TEST_F(SafeFiles, PutInPlaceOnlyWhenComplete) {
    std::string path = dir / "out.txt";
    WriteBytes(path, {'o', 'l', 'd'});
    zk_safe_file_t file;
    ASSERT_TRUE(ZKI_OpenSafeFile(&file, path.c_str()));
    fputs("new", file.stream);
    EXPECT_EQ(ReadText(path), "old");  // not in place before the commit
    EXPECT_FALSE(ZKI_CommitSafeFile(&file, true));
    EXPECT_EQ(ReadText(path), "old");

    ASSERT_TRUE(ZKI_OpenSafeFile(&file, path.c_str()));
    fputs("new", file.stream);
    EXPECT_TRUE(ZKI_CommitSafeFile(&file));
    EXPECT_EQ(ReadText(path), "new");

    // A directory in the way: the rename fails and nothing is left behind.
    std::string blocked = dir / "blocked";
    ASSERT_EQ(system(("mkdir -p '" + blocked + "/inside'").c_str()), 0);
    ASSERT_TRUE(ZKI_OpenSafeFile(&file, blocked.c_str()));
    fputs("text", file.stream);
    EXPECT_FALSE(ZKI_CommitSafeFile(&file));
    EXPECT_EQ(system(("test $(ls '" + dir.Path() + "' | wc -l) -eq 2").c_str()), 0);
    EXPECT_FALSE(ZKI_OpenSafeFile(&file, (dir / "missing/x").c_str()));
}

}  // namespace

// The manifest's per-file rules: the extension, the extensions listed and
// the escaping of ids; how a listed file is opened and read.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "engine/base/tests/fifo_releaser.h"
#include "tools/manifester/manifest.h"
#include "tools/manifester/tests/manifester_test_support.h"

using namespace manifester;
using namespace manifester_test;

namespace {

TEST(ManifestRules, ExtensionAfterTheLastDotBeforeTheFinalCharacter) {
    struct Case {
        const char* path;
        const char* extension;
        bool listed;
    } cases[] = {
        {"data/gfx/hero.png", "png", true},   {"data/Logo.PNG", "PNG", true},
        {"data/a.Jpg", "Jpg", true},          {"data/walk.bms", "bms", true},
        {"data/.dot.tga", "tga", true},       {"data/archive.png.bak", "bak", false},
        {"data/x.png.", "png.", false},       {"noext", "noext", false},
        {"dir.v2/README", "v2/README", false}, {"data/photo.jpeg", "jpeg", false},
        {"data/font.mft", "mft", false},      {"a.", "a.", false},
        {"png", "png", true},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(GetFileExtension(c.path), c.extension) << c.path;
        EXPECT_EQ(IsManifestedExtension(c.path), c.listed) << c.path;
        EXPECT_TRUE(IsManifestedFile(c.path));
    }
}

TEST(ManifestRules, QuotesAndAmpersandsEscapedInIds) {
    struct Case {
        const char* id;
        const char* written;
    } cases[] = {
        {"plain/name.png", "plain/name.png"},
        {"Tom & \"Jerry\".png", "Tom &amp; &quot;Jerry&quot;.png"},
        {"&quot;.png", "&amp;quot;.png"},
        {"<less> 'single'.png", "<less> 'single'.png"},
        {"", ""},
    };
    for (const Case& c : cases) {
        char out[256];
        ZKI_EscapeManifestId(c.id, out);
        EXPECT_STREQ(out, c.written) << c.id;
    }
}

// ManifestFile on files of a target folder, with the node lines it writes
// caught in a temporary stream and the reads of the files counted.
class ManifestFiles : public ManifesterTest {
protected:
    void SetUp() override {
        ManifesterTest::SetUp();
        out = tmpfile();
        ASSERT_TRUE(ZKI_SetManifestTarget(dir.Path().c_str(), out));
        reads = 0;
        after_first_read = nullptr;
        ZKI_SetManifestReadForTesting(CountedRead);
        mkdir((dir / "data").c_str(), 0777);
    }
    void TearDown() override {
        ZKI_SetManifestReadForTesting(nullptr);
        fclose(out);
        ManifesterTest::TearDown();
    }
    // The node lines written so far.
    std::string Written() {
        fflush(out);
        std::string text;
        rewind(out);
        for (int c; (c = fgetc(out)) != EOF;) text += char(c);
        return text;
    }

    static ssize_t CountedRead(int descriptor, void* buffer, size_t size, off_t offset) {
        ssize_t got = pread(descriptor, buffer, size, offset);
        if (++reads == 1 && after_first_read) after_first_read();
        return got;
    }
    static int reads;
    static void (*after_first_read)();
    FILE* out = nullptr;
};

int ManifestFiles::reads = 0;
void (*ManifestFiles::after_first_read)() = nullptr;

Bytes Tga(int width, int height) {
    Bytes out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(width), 0, uint8_t(height), 0, 24, 0x20};
    out.resize(out.size() + size_t(width) * height * 3, 9);
    return out;
}

Bytes Sequence() { return SequenceFile({{40, 30}}, true); }

const struct {
    const char* name;
    Bytes (*file)();
    const char* node;
} listed_files[] = {
    {"data/a.png", [] { return MakePng(4, 3, PNG_COLOR_TYPE_RGB, 8); }, "  <node id=\"a.png\" w=\"4\" h=\"3\" />\n"},
    {"data/a.jpg", [] { return MakeJpeg(8, 16, JpegColours::Rgb); }, "  <node id=\"a.jpg\" w=\"8\" h=\"16\" />\n"},
    {"data/a.tga", [] { return Tga(3, 2); }, "  <node id=\"a.tga\" w=\"3\" h=\"2\" />\n"},
    {"data/a.bms", Sequence, "  <node id=\"a.bms\" w=\"40\" h=\"30\" />\n"},
};

// A FIFO put where a listed file was would block an open or a read until
// something writes to it: it is refused at once, by name; and a file swapped
// for a FIFO once it is open is measured from what was opened.
TEST_F(ManifestFiles, AFifoInAListedFilesPlaceNeverMakesTheWalkWait) {
    static std::string swapped;
    for (const auto& f : listed_files) {
        std::string path = dir / f.name;
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0) << f.name;
        Recorded().clear();
        FifoReleaser releaser(path);
        ManifestFile(path.c_str());
        EXPECT_FALSE(releaser.Finish()) << f.name << ": the walk waited for a writer";
        EXPECT_EQ(Written(), "") << f.name;
        EXPECT_EQ(RecordedText(), "Unable to read '" + path + "'.\n") << f.name;
        unlink(path.c_str());
    }
    for (const auto& f : listed_files) {
        swapped = dir / f.name;
        WriteBytes(swapped, f.file());
        after_first_read = [] {
            std::string fifo = swapped + ".fifo";
            mkfifo(fifo.c_str(), 0600);
            rename(fifo.c_str(), swapped.c_str());
        };
        reads = 0;
        long written_before = long(Written().size());
        FifoReleaser releaser(swapped);
        ManifestFile(swapped.c_str());
        EXPECT_FALSE(releaser.Finish()) << f.name << ": the file was opened again";
        EXPECT_EQ(Written().substr(size_t(written_before)), f.node) << f.name << RecordedText();
        unlink(swapped.c_str());
    }
}

TEST_F(ManifestFiles, AFileIsReadOnceWhenItsFirstBytesHoldItAll) {
    Bytes padded = MakePng(4, 3, PNG_COLOR_TYPE_RGB, 8);
    padded.resize(4096, 0);  // after the end chunk, never looked at
    Bytes texted = MakePng(4, 3, PNG_COLOR_TYPE_RGB, 8);
    Bytes text = PngChunk("tEXt", Bytes(10000, 'a'));
    texted.insert(texted.begin() + 33, text.begin(), text.end());
    struct Case {
        const char* name;
        Bytes file;
        int reads;
    } cases[] = {
        {"data/small.png", MakePng(4, 3, PNG_COLOR_TYPE_RGB, 8), 1},
        {"data/tiny.tga", Tga(1, 1), 1},
        {"data/empty.png", {}, 0},
        {"data/first-read.png", padded, 1},
        {"data/texted.png", texted, 2},  // the first bytes, then the whole file
    };
    for (const Case& c : cases) {
        WriteBytes(dir / c.name, c.file);
        reads = 0;
        ManifestFile((dir / c.name).c_str());
        EXPECT_EQ(reads, c.reads) << c.name;
    }
    EXPECT_EQ(Written(),
              "  <node id=\"small.png\" w=\"4\" h=\"3\" />\n"
              "  <node id=\"tiny.tga\" w=\"1\" h=\"1\" />\n"
              "  <node id=\"empty.png\" h=\"0\" />\n"
              "  <node id=\"first-read.png\" w=\"4\" h=\"3\" />\n"
              "  <node id=\"texted.png\" w=\"4\" h=\"3\" />\n");
}

}  // namespace

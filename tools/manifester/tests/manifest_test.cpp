// The manifest's per-file rules: the extension, the extensions listed and
// the escaping of ids; how a listed file is opened and read.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/base/tests/fifo_releaser.h"
#include "tools/manifester/codecs.h"
#include "tools/manifester/image_loader.h"
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
// caught in a temporary stream and the reads of the files counted, and
// changed when a test reads through a stand-in.
class ManifestFiles : public ManifesterTest {
protected:
    void SetUp() override {
        ManifesterTest::SetUp();
        out = tmpfile();
        ASSERT_TRUE(ZKI_SetManifestTarget(dir.Path().c_str(), out));
        CountFromZero();
        after_first_read = nullptr;
        read_instead = nullptr;
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

    // Measures the file and gives the node line it wrote, if any.
    std::string NodeLineOf(const std::string& path) {
        size_t before = Written().size();
        ManifestFile(path.c_str());
        return Written().substr(before);
    }

    static void CountFromZero() {
        reads = 0;
        largest_read = 0;
        bytes_read = 0;
    }
    static ssize_t CountedRead(int descriptor, void* buffer, size_t size, off_t offset) {
        ++reads;
        if (size > largest_read) largest_read = size;
        ssize_t got = read_instead ? read_instead(descriptor, buffer, size, offset) : pread(descriptor, buffer, size, offset);
        if (got > 0) bytes_read += uint64_t(got);
        if (reads == 1 && after_first_read) after_first_read();
        return got;
    }
    static int reads;
    static size_t largest_read;  // the most bytes one read was asked for
    static uint64_t bytes_read;
    static void (*after_first_read)();
    static ssize_t (*read_instead)(int descriptor, void* buffer, size_t size, off_t offset);  // null: pread
    FILE* out = nullptr;
};

int ManifestFiles::reads = 0;
size_t ManifestFiles::largest_read = 0;
uint64_t ManifestFiles::bytes_read = 0;
void (*ManifestFiles::after_first_read)() = nullptr;
ssize_t (*ManifestFiles::read_instead)(int, void*, size_t, off_t) = nullptr;

Bytes Tga(int width, int height) {
    Bytes out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(width), 0, uint8_t(height), 0, 24, 0x20};
    out.resize(out.size() + size_t(width) * height * 3, 9);
    return out;
}

Bytes Sequence() { return SequenceFile({{40, 30}}, true); }

// The PNG with a text chunk of `length` bytes between its header and the
// rest.
Bytes WithTextAfterTheHeader(Bytes png, size_t length) {
    Bytes text = PngChunk("tEXt", Bytes(length, 'a'));
    png.insert(png.begin() + 33, text.begin(), text.end());
    return png;
}

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

// Only a file gone since the listing is passed over without a word; one
// that is there but cannot be opened is named, as its image would
// otherwise go missing from the manifest unseen.
TEST_F(ManifestFiles, OnlyAFileGoneSinceTheListingIsPassedOverWithoutAWord) {
    WriteBytes(dir / "data/file", {'x'});
    ASSERT_EQ(symlink("loop.png", (dir / "data/loop.png").c_str()), 0);
    struct Case {
        const char* name;
        bool named;
    } cases[] = {
        {"data/gone.png", false},
        {"data/file/inner.png", false},  // its folder is a file now
        {"data/loop.png", true},         // a link to itself
    };
    for (const Case& c : cases) {
        std::string path = dir / c.name;
        Recorded().clear();
        EXPECT_EQ(NodeLineOf(path), "") << c.name;
        EXPECT_EQ(RecordedText(), c.named ? "Unable to read '" + path + "'.\n" : "") << c.name;
    }
}

// A JPEG with `count` application segments of 65000 bytes after its start
// marker: the decoder skips them unread.
Bytes WithApplicationSegments(Bytes jpeg, int count) {
    Bytes segment = {0xFF, 0xE1, 0xFD, 0xEA};  // 65002 bytes with the length
    segment.resize(4 + 65000, 'x');
    for (int i = 0; i < count; ++i) jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

Bytes Padded(Bytes bytes, size_t size, uint8_t value) {
    bytes.resize(size, value);
    return bytes;
}

// A file is read from its start in one small read, which holds the size of
// most images whatever the file's size; the reads grow while the measure
// goes on through the file, and start small again where it skips to.
TEST_F(ManifestFiles, AFileIsReadInOneSmallReadWhenItsFirstBytesHoldItsSize) {
    const uint64_t first = zk_file_first_read_bytes;
    ASSERT_LE(first, 4096u);
    ASSERT_GE(zk_file_window_bytes, 16 * first);
    Bytes small = MakePng(4, 3, PNG_COLOR_TYPE_RGB, 8);
    struct Case {
        const char* name;
        Bytes file;
        int reads;
        uint64_t bytes;
    } cases[] = {
        {"data/small.png", small, 1, small.size()},
        {"data/tiny.tga", Tga(1, 1), 1, Tga(1, 1).size()},
        {"data/empty.png", {}, 0, 0},
        {"data/first-read.png", Padded(small, size_t(first), 0), 1, first},  // after the end chunk, never looked at
        {"data/large.png", Padded(small, 1 << 20, 0), 1, first},
        {"data/large.tga", Tga(200, 200), 1, first},
        // Measured from the headers up to the first scan's: none of the
        // scans, nearly all of the file, is read.
        {"data/progressive.jpg", MakeJpeg(1024, 768, JpegColours::Rgb, true, 80), 1, first},
        {"data/component-scans.jpg", MakeComponentScansJpeg(512, 384), 1, first},
        // Files that go on after what their measure takes in.
        {"data/texted.png", Padded(WithTextAfterTheHeader(small, 10000), 1 << 20, 0), 2, first + 2 * first},
        {"data/long-text.png", Padded(WithTextAfterTheHeader(small, 100000), 1 << 20, 0), 5, 31 * first},
        // Each segment skipped lands beyond what was read.
        {"data/segments.jpg", Padded(WithApplicationSegments(MakeJpeg(64, 48, JpegColours::Rgb), 4), 1 << 20, 0), 5,
         5 * first},
    };
    for (const Case& c : cases) {
        WriteBytes(dir / c.name, c.file);
        CountFromZero();
        ManifestFile((dir / c.name).c_str());
        EXPECT_EQ(reads, c.reads) << c.name;
        EXPECT_EQ(bytes_read, c.bytes) << c.name;
    }
    EXPECT_EQ(Written(),
              "  <node id=\"small.png\" w=\"4\" h=\"3\" />\n"
              "  <node id=\"tiny.tga\" w=\"1\" h=\"1\" />\n"
              "  <node id=\"empty.png\" h=\"0\" />\n"
              "  <node id=\"first-read.png\" w=\"4\" h=\"3\" />\n"
              "  <node id=\"large.png\" w=\"4\" h=\"3\" />\n"
              "  <node id=\"large.tga\" w=\"200\" h=\"200\" />\n"
              "  <node id=\"progressive.jpg\" w=\"1024\" h=\"768\" />\n"
              "  <node id=\"component-scans.jpg\" w=\"512\" h=\"384\" />\n"
              "  <node id=\"texted.png\" w=\"4\" h=\"3\" />\n"
              "  <node id=\"long-text.png\" w=\"4\" h=\"3\" />\n"
              "  <node id=\"segments.jpg\" w=\"64\" h=\"48\" />\n");
}

Bytes Cut(Bytes bytes, size_t keep) {
    bytes.resize(keep);
    return bytes;
}

struct NamedFile {
    std::string name;
    Bytes bytes;
};

// Files of every kind, whose measure ends in the first read's bytes, reads
// on across reads, skips past them, or runs out of data in them.
const std::vector<NamedFile>& FilesOfEveryKind() {
    static const std::vector<NamedFile> files = [] {
        const size_t first = zk_file_first_read_bytes, window = zk_file_window_bytes;
        Bytes progressive = MakeJpeg(1024, 768, JpegColours::Rgb, true, 80);
        Bytes large_progressive = MakeJpeg(2048, 1536, JpegColours::Rgb, true, 90);
        Bytes png = MakePng(30, 20, PNG_COLOR_TYPE_RGB, 8);
        Bytes unknown_first = png;
        Bytes unknown = PngChunk("abCd", Bytes(100000, 'u'));
        unknown_first.insert(unknown_first.begin() + 8, unknown.begin(), unknown.end());
        // The text's chunk ends 4 bytes before the first read's bytes do,
        // or exactly where they do, or the same at the end of the second
        // read's: the next chunk's header straddles two reads, or starts the
        // next one.
        Bytes straddling = WithTextAfterTheHeader(png, first - 4 - 33 - 12);
        Bytes at_the_edge = WithTextAfterTheHeader(png, first - 33 - 12);
        Bytes straddling_second = WithTextAfterTheHeader(png, 3 * first - 4 - 33 - 12);
        Bytes at_the_second_edge = WithTextAfterTheHeader(png, 3 * first - 33 - 12);
        std::vector<NamedFile> all = {
            {"small.png", png},
            {"interlaced-16.png", MakePng(33, 17, PNG_COLOR_TYPE_RGB_ALPHA, 16, false, true)},
            {"palette.png", MakePng(9, 4, PNG_COLOR_TYPE_PALETTE, 4, true)},
            {"text.png", WithTextAfterTheHeader(png, 10000)},
            {"long-text.png", WithTextAfterTheHeader(png, 200000)},
            {"straddling.png", straddling},
            {"at-the-edge.png", at_the_edge},
            {"straddling-second.png", straddling_second},
            {"at-the-second-edge.png", at_the_second_edge},
            {"unknown-first.png", unknown_first},
            {"cut-in-text.png", Cut(WithTextAfterTheHeader(png, 200000), 150000)},
            {"claims-2GiB.png", [] {
                 Bytes file = HandMadePng(4, 4);
                 file.resize(33);
                 Bytes claim = {0x7F, 0xFF, 0xFF, 0xFF, 'z', 'T', 'X', 't', 'k', 0, 'v'};
                 file.insert(file.end(), claim.begin(), claim.end());
                 return file;
             }()},
            {"not-a.png", {'G', 'I', 'F', '8', '9', 'a'}},
            {"empty.png", {}},
            {"baseline.jpg", MakeJpeg(300, 200, JpegColours::Rgb)},
            {"grey.jpg", MakeJpeg(50, 40, JpegColours::Grey)},
            {"cmyk.jpg", MakeJpeg(8, 8, JpegColours::Cmyk)},
            {"progressive.jpg", progressive},
            {"large-progressive.jpg", large_progressive},
            {"progressive-cut.jpg", Cut(large_progressive, large_progressive.size() * 2 / 3)},
            {"progressive-then-zeros.jpg", Padded(progressive, progressive.size() + 3 * window, 0)},
            {"segments.jpg", WithApplicationSegments(MakeJpeg(64, 48, JpegColours::Rgb), 4)},
            {"segments-progressive.jpg", WithApplicationSegments(MakeJpeg(64, 48, JpegColours::Rgb, true), 3)},
            {"segment-cut.jpg", Cut(WithApplicationSegments(MakeJpeg(64, 48, JpegColours::Rgb), 2), window + 1000)},
            {"many-scans.jpg", WithRepeatedLastScan(MakeFlatGreyJpeg(2048, 2048), 300)},
            {"claims-60000.jpg", WithFrameSize(MakeJpeg(16, 16, JpegColours::Rgb, true), 60000, 30000)},
            {"not-a.jpg", {'P', 'K', 3, 4, 0, 0}},
            {"empty.jpg", {}},
            {"small.tga", Tga(3, 2)},
            {"large.tga", Tga(200, 200)},
            {"short.tga", Cut(Tga(3, 2), 10)},
            {"walk.bms", Sequence()},
            {"padded.bms", Padded(Sequence(), 3 * window, 7)},
        };
        return all;
    }();
    return files;
}

// The node line the measure of the whole file in memory gives.
std::string NodeLineInMemory(const std::string& id, const std::string& path, const Bytes& file) {
    HeapCopy data(file);
    zk_bitmap_t bitmap;
    memset(&bitmap, 0, sizeof bitmap);
    bitmap.name = const_cast<char*>(path.c_str());
    const char* name = path.c_str();
    if (ZKI_PathEndsWith(name, ".png")) {
        ZKI_MeasurePNG(&bitmap, data.data(), data.size());
    } else if (ZKI_PathEndsWith(name, ".jpg")) {
        ZKI_MeasureJPG(&bitmap, data.data(), data.size());
    } else if (ZKI_PathEndsWith(name, ".tga")) {
        ZKI_MeasureTGA(&bitmap, data.data(), data.size());
    } else {
        ZKI_MeasureBitmapSequence(&bitmap, data.data(), data.size(), name);
    }
    std::string size = bitmap.width != 0 ? "w=\"" + std::to_string(bitmap.width) + "\" " : "";
    return "  <node id=\"" + id + "\" " + size + "h=\"" + std::to_string(bitmap.height) + "\" />\n";
}

// Reading a file through a window gives every file the size, and the
// messages, of the measure of the whole file in memory.
TEST_F(ManifestFiles, EverySizeIsTheOneTheWholeFileInMemoryGives) {
    for (const NamedFile& f : FilesOfEveryKind()) {
        std::string path = dir / ("data/" + f.name);
        WriteBytes(path, f.bytes);
        Recorded().clear();
        std::string expected = NodeLineInMemory(f.name, path, f.bytes);
        std::string said = RecordedText();
        Recorded().clear();
        EXPECT_EQ(NodeLineOf(path), expected) << f.name;
        EXPECT_EQ(RecordedText(), said) << f.name;
    }
}

// The most this process has ever held in memory.
long PeakMemoryBytes() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss * 1024L;
}

// A file's size says nothing of what measuring it costs: an image followed
// by a gigabyte (a hole, next to nothing on disk) is read a window at a
// time, and only as far as its measure needs.
TEST_F(ManifestFiles, MemoryStaysBoundedWhateverTheFileSize) {
    const off_t gigabyte = off_t(1) << 30;
    Bytes progressive = MakeJpeg(704, 528, JpegColours::Rgb, true, 79);
    ASSERT_GT(progressive.size(), 30000u);  // more than the first bytes used to hold
    struct Case {
        const char* name;
        Bytes file;
        const char* node;
    } cases[] = {
        {"holed.jpg", progressive, "  <node id=\"holed.jpg\" w=\"704\" h=\"528\" />\n"},
        {"holed-baseline.jpg", MakeJpeg(64, 48, JpegColours::Rgb), "  <node id=\"holed-baseline.jpg\" w=\"64\" h=\"48\" />\n"},
        {"holed.png", WithTextAfterTheHeader(MakePng(4, 3, PNG_COLOR_TYPE_RGB, 8), 100000),
         "  <node id=\"holed.png\" w=\"4\" h=\"3\" />\n"},
        {"holed.tga", Tga(3, 2), "  <node id=\"holed.tga\" w=\"3\" h=\"2\" />\n"},
        {"holed.bms", Sequence(), "  <node id=\"holed.bms\" w=\"40\" h=\"30\" />\n"},
    };
    for (const Case& c : cases) {
        std::string path = dir / (std::string("data/") + c.name);
        WriteBytes(path, c.file);
        ASSERT_EQ(truncate(path.c_str(), off_t(c.file.size()) + gigabyte), 0);
        CountFromZero();
        long peak_before = PeakMemoryBytes();
        EXPECT_EQ(NodeLineOf(path), c.node) << RecordedText();
        EXPECT_LE(largest_read, zk_file_window_bytes) << c.name;
        EXPECT_LE(bytes_read, c.file.size() + 2 * zk_file_window_bytes) << c.name;
        EXPECT_LT(PeakMemoryBytes() - peak_before, 32L << 20) << c.name;
        unlink(path.c_str());
    }
}

// A read may give fewer bytes than it was asked for, or be interrupted by
// a signal, while the file goes on: no size changes.
TEST_F(ManifestFiles, ShortAndInterruptedReadsChangeNoSize) {
    std::vector<std::string> whole_reads;
    for (const NamedFile& f : FilesOfEveryKind()) {
        std::string path = dir / ("data/" + f.name);
        WriteBytes(path, f.bytes);
        whole_reads.push_back(NodeLineOf(path));
        EXPECT_NE(whole_reads.back(), "") << f.name;
    }
    read_instead = [](int descriptor, void* buffer, size_t size, off_t offset) -> ssize_t {
        if (reads % 3 == 0) {
            errno = EINTR;
            return -1;
        }
        const size_t pieces[] = {1, 7, 1000, 4093};
        return pread(descriptor, buffer, std::min(size, pieces[reads % 4]), offset);
    };
    size_t i = 0;
    for (const NamedFile& f : FilesOfEveryKind()) {
        Recorded().clear();
        EXPECT_EQ(NodeLineOf(dir / ("data/" + f.name)), whole_reads[i++]) << f.name << ": " << RecordedText();
    }
}

// What a file is made to shrink to while it is read, and the bytes it held
// before: a read that gives fewer bytes than asked for finds them after
// the bytes it gave, where a reader that took the count asked for would
// measure them.
struct Shrinking {
    std::string path;
    Bytes before;
    int at_read;  // shrinks just before this read (1 for the first)
    off_t to;
};
Shrinking shrinking;

// A file that shrinks between the check of its size and its read is not
// listed, and is reported: neither what it held before nor the cut file it
// became is measured.
TEST_F(ManifestFiles, AFileThatShrinksIsNeverMeasuredFromBytesNotRead) {
    const off_t first = off_t(zk_file_first_read_bytes), window = off_t(zk_file_window_bytes);
    Bytes progressive = MakeJpeg(1024, 768, JpegColours::Rgb, true, 80);
    ASSERT_GT(off_t(progressive.size()), window + 1000);
    Bytes long_text = WithTextAfterTheHeader(MakePng(4, 3, PNG_COLOR_TYPE_RGB, 8), 100000);
    Bytes segments = WithApplicationSegments(MakeJpeg(64, 48, JpegColours::Rgb), 2);
    struct Case {
        const char* name;
        Bytes file;
        int at_read;
        off_t to;
    } cases[] = {
        {"progressive.jpg", progressive, 1, 0},
        {"progressive.jpg", progressive, 1, 1000},
        // The second read starts where the first one's bytes end.
        {"long-text.png", long_text, 1, 500},
        {"long-text.png", long_text, 2, first + 10},
        {"long-text.png", long_text, 2, first},
        // Or where a skip over a segment ends.
        {"segments.jpg", segments, 2, first + 1000},
        {"segments.jpg", segments, 2, window + 1000},
        {"large.tga", Tga(200, 200), 1, 100},
        {"walk.bms", Padded(Sequence(), 3 * window, 7), 1, 20},
    };
    read_instead = [](int descriptor, void* buffer, size_t size, off_t offset) -> ssize_t {
        if (reads == shrinking.at_read) {
            EXPECT_EQ(truncate(shrinking.path.c_str(), shrinking.to), 0);
        }
        ssize_t got = pread(descriptor, buffer, size, offset);
        uint8_t* bytes = static_cast<uint8_t*>(buffer);
        for (size_t i = got > 0 ? size_t(got) : 0; i < size && size_t(offset) + i < shrinking.before.size(); ++i) {
            bytes[i] = shrinking.before[size_t(offset) + i];
        }
        return got;
    };
    for (const Case& c : cases) {
        shrinking = {dir / (std::string("data/") + c.name), c.file, c.at_read, c.to};
        WriteBytes(shrinking.path, c.file);
        CountFromZero();
        Recorded().clear();
        std::string where = std::string(c.name) + " cut to " + std::to_string(c.to) + " at read " + std::to_string(c.at_read);
        EXPECT_EQ(NodeLineOf(shrinking.path), "") << where;
        EXPECT_EQ(RecordedText(), "Unable to read '" + shrinking.path + "'.\n") << where;
        EXPECT_GE(reads, c.at_read) << where;
    }
}

// A chunk: its type and contents as they would be after the header.
struct ChunkCase {
    const char* type;
    Bytes data;
};

Bytes Deflated(const Bytes& bytes) {
    uLongf size = compressBound(uLong(bytes.size()));
    Bytes out(size);
    EXPECT_EQ(compress(out.data(), &size, bytes.data(), uLong(bytes.size())), Z_OK);
    out.resize(size);
    return out;
}

Bytes Joined(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Every chunk libpng reads itself (none of them but the header may come
// before the header) refuses the file when it comes first: the measures,
// in memory and from the file, refuse it as the decoder does, with the
// same messages. After the header the same chunks leave the size as it
// is. An unknown chunk is passed over wherever it stands.
TEST_F(ManifestFiles, EveryChunkLibpngReadsIsRefusedBeforeTheHeaderAsTheDecoderRefusesIt) {
    const Bytes chromaticities = {0, 0, 0x7A, 0x26, 0, 0, 0x80, 0x84, 0, 0, 0xFA, 0, 0, 0, 0x80, 0xE8,
                                  0, 0, 0x75, 0x30, 0, 0, 0xEA, 0x60, 0, 0, 0x3A, 0x98, 0, 0, 0x17, 0x70};
    const ChunkCase known[] = {
        {"PLTE", {10, 20, 30, 40, 50, 60}},
        {"tRNS", {0, 1, 0, 2, 0, 3}},
        {"IDAT", Deflated(Bytes(16, 0))},
        {"IEND", {}},
        {"bKGD", {0, 1, 0, 2, 0, 3}},
        {"cHRM", chromaticities},
        {"eXIf", {'M', 'M', 0, 42, 0, 0, 0, 8}},
        {"gAMA", {0, 0, 0xB1, 0x8F}},
        {"hIST", {0, 1, 0, 2}},
        {"iCCP", Joined({'i', 'c', 'c', 0, 0}, Deflated(Bytes(132, 0)))},
        {"iTXt", {'k', 0, 0, 0, 0, 0, 'v'}},
        {"oFFs", {0, 0, 0, 1, 0, 0, 0, 2, 0}},
        {"pCAL", {'c', 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 'u', 0, '1', 0, '2'}},
        {"pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1}},
        {"sBIT", {8, 8, 8, 8}},
        {"sCAL", {1, '1', 0, '1'}},
        {"sPLT", {'p', 0, 8, 1, 2, 3, 4, 0, 1}},
        {"sRGB", {0}},
        {"tEXt", {'k', 0, 'v'}},
        {"tIME", {0x07, 0xE8, 1, 2, 3, 4, 5}},
        {"zTXt", Joined({'k', 0, 0}, Deflated({'v'}))},
    };
    Bytes good = MakePng(5, 3, PNG_COLOR_TYPE_RGB_ALPHA, 8);
    Bytes signature(good.begin(), good.begin() + 8), header(good.begin() + 8, good.begin() + 33);
    Bytes after_header(good.begin() + 33, good.end());
    struct Read {
        bool ok;
        int width, height;
        std::string said;
    };
    auto read_every_way = [&](const std::string& name, const Bytes& file, Read* decoded, Read* measured,
                              std::string* line) {
        std::string path = dir / ("data/" + name);
        HeapCopy copy(file);
        struct Bitmap : zk_bitmap_t {
            Bitmap(const std::string& path) : zk_bitmap_t() { name = const_cast<char*>(path.c_str()); }
            ~Bitmap() { free(pixels); }
        } by_decoder(path), by_measure(path), by_size_reader(path);
        Recorded().clear();
        bool ok = ZKI_LoadBitmapMemPNG(&by_decoder, copy.data(), copy.size());
        *decoded = {ok, by_decoder.width, by_decoder.height, RecordedText()};
        Recorded().clear();
        ok = ZKI_MeasurePNG(&by_measure, copy.data(), copy.size());
        *measured = {ok, by_measure.width, by_measure.height, RecordedText()};
        EXPECT_EQ(ZKI_GetImageDimensionsPNG(&by_size_reader, copy.data(), copy.size()), measured->ok) << name;
        EXPECT_EQ(by_size_reader.height, measured->height) << name;
        WriteBytes(path, file);
        Recorded().clear();
        *line = NodeLineOf(path);
        EXPECT_EQ(RecordedText(), measured->said) << name;
    };
    for (const ChunkCase& chunk : known) {
        Bytes first = Joined(Joined(Joined(signature, PngChunk(chunk.type, chunk.data)), header), after_header);
        Read decoded, measured;
        std::string line;
        std::string name = std::string(chunk.type) + "-first.png";
        read_every_way(name, first, &decoded, &measured, &line);
        EXPECT_FALSE(decoded.ok) << chunk.type;
        EXPECT_EQ(decoded.height, 0) << chunk.type;
        EXPECT_NE(decoded.said.find("libpng error: " + std::string(chunk.type) + ": "), std::string::npos)
            << chunk.type << ": " << decoded.said;
        EXPECT_FALSE(measured.ok) << chunk.type;
        EXPECT_EQ(measured.width, 0) << chunk.type;
        EXPECT_EQ(measured.height, 0) << chunk.type;
        EXPECT_EQ(measured.said, decoded.said) << chunk.type;
        EXPECT_EQ(line, "  <node id=\"" + name + "\" h=\"0\" />\n") << chunk.type;

        if (std::string(chunk.type) == "IDAT" || std::string(chunk.type) == "IEND") continue;
        Bytes later = Joined(Joined(Joined(signature, header), PngChunk(chunk.type, chunk.data)), after_header);
        name = std::string(chunk.type) + "-later.png";
        read_every_way(name, later, &decoded, &measured, &line);
        EXPECT_TRUE(decoded.ok) << chunk.type << ": " << decoded.said;
        EXPECT_TRUE(measured.ok) << chunk.type << ": " << measured.said;
        EXPECT_EQ(decoded.width * 100 + decoded.height, 503) << chunk.type;
        EXPECT_EQ(measured.width * 100 + measured.height, 503) << chunk.type;
        EXPECT_EQ(line, "  <node id=\"" + name + "\" w=\"5\" h=\"3\" />\n") << chunk.type;
    }
    Bytes unknown_first = Joined(Joined(Joined(signature, PngChunk("abCd", {1, 2})), header), after_header);
    Read decoded, measured;
    std::string line;
    read_every_way("unknown-first.png", unknown_first, &decoded, &measured, &line);
    EXPECT_TRUE(decoded.ok && measured.ok) << decoded.said << measured.said;
    EXPECT_EQ(line, "  <node id=\"unknown-first.png\" w=\"5\" h=\"3\" />\n");
}

}  // namespace

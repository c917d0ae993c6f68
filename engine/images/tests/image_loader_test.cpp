// The image loader over real files: TGA and run-length bitmap fixtures
// written here from the formats, loaded in both pixel byte orders; the
// choice of codec by extension; the test image; pixel allocation; saving
// (only TGA, written whole or not at all).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/imageformats/tests/image_test_support.h"
#include "engine/images/bitmap_pixels.h"
#include "engine/images/image_codecs.h"
#include "engine/images/image_loader.h"
#include "engine/images/tests/image_engine_fixture.h"
#include "engine/runtime/state.h"

using namespace media_test;
using image_test::Bgra;
using image_test::Bytes;
using image_test::ColourAt;

namespace {

const zk_pixel_byte_order_t orders[] = {ZK_PIXELS_RGBA, ZK_PIXELS_BGRA};

std::string OrderLabel(zk_pixel_byte_order_t order) { return order == ZK_PIXELS_RGBA ? " (RGBA)" : " (BGRA)"; }

// The pixel at (x, y) of a bitmap read back as B, G, R, A.
Bgra PixelAt(const zk_bitmap_t& bitmap, int x, int y, zk_pixel_byte_order_t order) {
    zk_image_t image = {bitmap.width, bitmap.height, bitmap.pixels};
    return image_test::PixelOf(image, x, y, order);
}

struct LoadedBitmap {
    zk_bitmap_t record = {};
    ~LoadedBitmap() { free(record.pixels); }
};

class ImageLoader : public MediaTest {
protected:
    void SetOrder(zk_pixel_byte_order_t order) { zk_state.pixel_byte_order = order; }
    TempFolder folder;
};

// Expected images: B, G, R, A per position, row by row from the top.
struct Fixture {
    const char* name;
    Bytes file;
    int width, height;
    std::vector<Bgra> pixels;
};

std::vector<Bgra> ColoursOf(int width, int height, bool opaque) {
    std::vector<Bgra> out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Bgra p = ColourAt(x, y);
            if (opaque) p.a = 255;
            out.push_back(p);
        }
    }
    return out;
}

// 3x2 in run-length packets: one colour repeated over the first file row
// and one pixel of the second, then two literal pixels.
Fixture RunLengthFixture(bool top_first) {
    Fixture f{top_first ? "packets-top.tga" : "packets-bottom.tga", image_test::TgaHeader(10, 3, 2, 32, top_first), 3,
              2, {}};
    Bgra repeated = ColourAt(7, 7), first = ColourAt(1, 0), second = ColourAt(2, 0);
    f.file.push_back(0x80 | 3);
    image_test::PutPixel(&f.file, repeated, 32);
    f.file.push_back(1);
    image_test::PutPixel(&f.file, first, 32);
    image_test::PutPixel(&f.file, second, 32);
    std::vector<Bgra> file_rows = {repeated, repeated, repeated, repeated, first, second};
    for (int y = 0; y < 2; ++y) {
        int file_row = top_first ? y : 1 - y;
        for (int x = 0; x < 3; ++x) f.pixels.push_back(file_rows[size_t(file_row * 3 + x)]);
    }
    return f;
}

TEST_F(ImageLoader, LoadsTgaFilesInBothRowOrdersAndPixelSizes) {
    std::vector<Fixture> fixtures = {
        // The first file row of a bottom-up file is the bottom image row.
        {"small24.tga", image_test::UncompressedTga(2, 2, 24, false), 2, 2, ColoursOf(2, 2, true)},
        {"top24.tga", image_test::UncompressedTga(3, 2, 24, true), 3, 2, ColoursOf(3, 2, true)},
        {"bottom32.tga", image_test::UncompressedTga(3, 2, 32, false, 5), 3, 2, ColoursOf(3, 2, false)},
        {"top32.TGA", image_test::UncompressedTga(4, 3, 32, true), 4, 3, ColoursOf(4, 3, false)},
        RunLengthFixture(true),
        RunLengthFixture(false),
    };
    for (const Fixture& f : fixtures) {
        std::string path = folder / f.name;
        WriteBytes(path, f.file);
        for (zk_pixel_byte_order_t order : orders) {
            std::string label = f.name + OrderLabel(order);
            SetOrder(order);
            LoadedBitmap bitmap;
            ASSERT_TRUE(zk_il->LoadImagePixels(&bitmap.record, path.c_str())) << label;
            ASSERT_EQ(bitmap.record.width, f.width) << label;
            ASSERT_EQ(bitmap.record.height, f.height) << label;
            EXPECT_EQ(bitmap.record.texture_width, f.width) << label;
            EXPECT_EQ(bitmap.record.texture_height, f.height) << label;
            EXPECT_EQ(bitmap.record.flags, 3) << label;
            EXPECT_EQ(bitmap.record.file_time, 0u) << label << ": outside developer mode";
            for (int y = 0; y < f.height; ++y) {
                for (int x = 0; x < f.width; ++x) {
                    EXPECT_EQ(PixelAt(bitmap.record, x, y, order), f.pixels[size_t(y * f.width + x)])
                        << label << " at " << x << "," << y;
                }
            }
            EXPECT_TRUE(Recorded().empty()) << label;
        }
    }
}

TEST_F(ImageLoader, PacketPastTheImageFillsWhatFitsAndReportsTheRest) {
    // 2x2: one literal pixel, then a packet repeating 10 where 3 remain.
    Bytes file = image_test::TgaHeader(10, 2, 2, 32, true);
    file.push_back(0);
    image_test::PutPixel(&file, ColourAt(0, 0), 32);
    file.push_back(0x80 | 9);
    image_test::PutPixel(&file, ColourAt(5, 5), 32);
    std::string path = folder / "overrun.tga";
    WriteBytes(path, file);
    const char* reports[] = {"TGA buffer overrun #1: (7)\n", "TGA buffer overrun #3: (7)\n"};
    for (zk_pixel_byte_order_t order : orders) {
        ClearRecorded();
        SetOrder(order);
        LoadedBitmap bitmap;
        ASSERT_TRUE(zk_il->LoadImagePixels(&bitmap.record, path.c_str()));
        EXPECT_EQ(PixelAt(bitmap.record, 0, 0, order), ColourAt(0, 0));
        EXPECT_EQ(PixelAt(bitmap.record, 1, 1, order), ColourAt(5, 5));
        ASSERT_EQ(Recorded().size(), 1u);
        EXPECT_EQ(Recorded()[0].printer, 'D');
        EXPECT_EQ(Recorded()[0].type, ZK_MESSAGE_ERROR);
        EXPECT_EQ(Recorded()[0].text, reports[order]);
    }
}

TEST_F(ImageLoader, RefusedAndShortTgaFilesLeaveNoPixels) {
    Bytes short_pixels = image_test::UncompressedTga(4, 4, 32, false);
    short_pixels.resize(short_pixels.size() - 1);
    Bytes header_only = image_test::TgaHeader(2, 2, 2, 32, false);
    header_only.resize(12);
    Bytes crossing_end = image_test::TgaHeader(10, 4, 1, 32, false);
    crossing_end.push_back(3);  // four literal pixels follow, but only one does
    image_test::PutPixel(&crossing_end, ColourAt(0, 0), 32);
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"colour-map.tga", image_test::TgaHeader(2, 2, 2, 32, false, 0, 1)},
        {"16-bit.tga", image_test::TgaHeader(2, 2, 2, 16, false)},
        {"header.tga", header_only},
        {"empty.tga", Bytes()},
        {"short-pixels.tga", short_pixels},
        {"crossing-end.tga", crossing_end},
        {"huge.tga", image_test::TgaHeader(2, 65535, 65535, 32, false)},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        std::string path = folder / c.name;
        WriteBytes(path, c.file);
        LoadedBitmap bitmap;
        bitmap.record.width = 9;
        EXPECT_FALSE(zk_il->LoadImagePixels(&bitmap.record, path.c_str())) << c.name;
        EXPECT_EQ(bitmap.record.pixels, nullptr) << c.name;
        EXPECT_EQ(bitmap.record.width, 9) << c.name << ": size kept";
        std::vector<std::string> lines = Texts('D');
        ASSERT_FALSE(lines.empty()) << c.name;
        EXPECT_EQ(lines.back(), "Unable to load image '" + path + "'\n") << c.name;
        EXPECT_GE(lines.size(), 2u) << c.name << ": the reason comes first";
    }
}

TEST_F(ImageLoader, ChoosesTheCodecByExtension) {
    WriteBytes(folder / "X.TGA", image_test::UncompressedTga(5, 4, 32, true));
    WriteBytes(folder / "photo.JPG", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'});
    WriteBytes(folder / "shot.png", Bytes{1, 2, 3});
    WriteBytes(folder / "photo.gif", Bytes{'G', 'I', 'F'});
    WriteBytes(folder / "noext", image_test::UncompressedTga(5, 4, 32, true));
    // Ends in "tga", but the format goes by the extension after a '.'.
    WriteBytes(folder / "atga", image_test::UncompressedTga(5, 4, 32, true));
    mkdir((folder / "dir.tga").c_str(), 0700);
    WriteBytes(folder / "dir.tga/file", image_test::UncompressedTga(5, 4, 32, true));
    struct Case {
        const char* name;
        bool loads;
        int width, height;  // by both operations
        bool unsupported;
    } cases[] = {
        {"X.TGA", true, 5, 4, false},      {"photo.JPG", true, 32, 32, false}, {"shot.png", true, 32, 32, false},
        {"photo.gif", false, 0, 0, true},  {"noext", false, 0, 0, true},       {"dir.tga/file", false, 0, 0, true},
        {"missing.tga", false, 0, 0, false}, {"atga", false, 0, 0, true},
    };
    for (const Case& c : cases) {
        std::string path = folder / c.name;
        for (bool pixels : {true, false}) {
            std::string label = std::string(c.name) + (pixels ? " pixels" : " dimensions");
            ClearRecorded();
            LoadedBitmap bitmap;
            bool read = pixels ? zk_il->LoadImagePixels(&bitmap.record, path.c_str())
                               : zk_il->GetImageDimensions(&bitmap.record, path.c_str());
            EXPECT_EQ(read, c.loads) << label;
            EXPECT_EQ(bitmap.record.width, c.width) << label;
            EXPECT_EQ(bitmap.record.height, c.height) << label;
            EXPECT_EQ(bitmap.record.pixels != nullptr, pixels && c.loads) << label;
            // Reloadable once read; the PNG and JPEG sizes come without
            // the alpha bit that their test image brings.
            bool tga = strstr(c.name, ".TGA") != nullptr;
            if (c.loads) {
                EXPECT_EQ(bitmap.record.flags, pixels || tga ? 3 : 2) << label;
            }
            std::vector<std::string> popups;
            if (c.unsupported) popups.push_back("Unsupported image format in file '" + path + "'\n");
            EXPECT_EQ(Texts('P'), popups) << label;
        }
    }
}

TEST_F(ImageLoader, PngAndJpegGiveTheTestImage) {
    std::string path = folder / "photo.jpg";
    WriteBytes(path, Bytes{0xFF, 0xD8});
    LoadedBitmap bitmap;
    ASSERT_TRUE(zk_il->LoadImagePixels(&bitmap.record, path.c_str()));
    EXPECT_EQ(bitmap.record.texture_width, 32);
    EXPECT_EQ(bitmap.record.texture_height, 32);
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bitmap.record.pixels);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x, p += 4) {
            ASSERT_EQ(p[0], (x + y) % 256) << x << "," << y;
            ASSERT_EQ(p[1], 4 * y % 256) << x << "," << y;
            ASSERT_EQ(p[2], 4 * x % 256) << x << "," << y;
            ASSERT_EQ(p[3], 255) << x << "," << y;
        }
    }
    // The stand-in leaves the texture size to whoever asked for it.
    LoadedBitmap direct;
    direct.record.texture_width = 7;
    ZKI_TEMPCREATEBITMAP(&direct.record);
    EXPECT_EQ(direct.record.width, 32);
    EXPECT_EQ(direct.record.texture_width, 7);
    EXPECT_EQ(direct.record.flags, 3);
}

TEST_F(ImageLoader, DimensionsLeaveNoPixelsAndDeveloperModeStoresTheFileTime) {
    std::string path = folder / "timed.tga";
    WriteBytes(path, image_test::UncompressedTga(3, 2, 32, true));
    LoadedBitmap sized;
    sized.record.pixels = static_cast<uint32_t*>(malloc(16));
    ASSERT_TRUE(zk_il->GetImageDimensions(&sized.record, path.c_str()));
    EXPECT_EQ(sized.record.pixels, nullptr);
    EXPECT_EQ(sized.record.width, 3);

    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    zk_state.developer_mode = 1;
    LoadedBitmap timed;
    ASSERT_TRUE(zk_il->LoadImagePixels(&timed.record, path.c_str()));
    EXPECT_EQ(timed.record.file_time, uint32_t(status.st_mtime));

    EXPECT_TRUE(zk_il->LoadImagePixels(nullptr, path.c_str()));
    EXPECT_TRUE(zk_il->GetImageDimensions(&timed.record, nullptr));
}

std::vector<size_t> requested_blocks;

void* RefuseBlock(size_t bytes) {
    requested_blocks.push_back(bytes);
    return nullptr;
}

TEST_F(ImageLoader, AllocateImagePixels) {
    struct Case {
        int width, height;
        int stored_width, stored_height;
        const char* warning;  // null: none
    } cases[] = {
        {16, 8, 16, 8, nullptr},
        {65535, 1, 65535, 1, nullptr},
        {0, 100, 0, 100, "ImageLoaderImp::AllocateImagePixels dimensions (0100) seem weird."},
        {70000, 2, 65536, 2, "ImageLoaderImp::AllocateImagePixels dimensions (700002) seem weird."},
        {3, -5, 3, 0, "ImageLoaderImp::AllocateImagePixels dimensions (3-5) seem weird."},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        LoadedBitmap bitmap;
        zk_il->AllocateImagePixels(&bitmap.record, c.width, c.height);
        std::string label = std::to_string(c.width) + "x" + std::to_string(c.height);
        EXPECT_NE(bitmap.record.pixels, nullptr) << label;
        EXPECT_EQ(bitmap.record.width, c.stored_width) << label;
        EXPECT_EQ(bitmap.record.texture_width, c.stored_width) << label;
        EXPECT_EQ(bitmap.record.height, c.stored_height) << label;
        EXPECT_EQ(bitmap.record.texture_height, c.stored_height) << label;
        std::vector<std::string> popups;
        if (c.warning) popups.push_back(c.warning);
        EXPECT_EQ(Texts('P'), popups) << label;
    }

    ClearRecorded();
    LoadedBitmap again;
    zk_il->AllocateImagePixels(&again.record, 2, 2);
    zk_il->AllocateImagePixels(&again.record, 4, 4);
    EXPECT_EQ(Texts('P'),
              std::vector<std::string>{"ImageLoaderImp::AllocateImagePixels bitmap already has pixels allocated!"});

    // The largest sides ask for the whole 64-bit size, and a block that
    // cannot be had leaves the bitmap without pixels rather than with a
    // short one.
    requested_blocks.clear();
    ZKI_SetPixelAllocatorForTesting(RefuseBlock);
    ClearRecorded();
    LoadedBitmap huge;
    zk_il->AllocateImagePixels(&huge.record, 65535, 65535);
    EXPECT_EQ(requested_blocks, std::vector<size_t>{size_t(65535) * 65535 * 4});
    EXPECT_EQ(huge.record.pixels, nullptr);
    EXPECT_EQ(Texts('D'), std::vector<std::string>{"Not enough memory for a bitmap of 65535x65535 pixels."});
}

// A 3x2 bitmap of ColourAt pixels in the given memory order.
struct ThreeByTwo {
    explicit ThreeByTwo(zk_pixel_byte_order_t order) {
        pixels = image_test::PixelBlock(ColoursOf(3, 2, false), order);
        record.width = 3;
        record.height = 2;
        record.pixels = pixels.data();
    }
    std::vector<uint32_t> pixels;
    zk_bitmap_t record = {};
};

TEST_F(ImageLoader, SavesTgaRowsBottomFirstInFileOrder) {
    Bytes expected = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 32, 8};
    for (int y : {1, 0}) {
        for (int x = 0; x < 3; ++x) image_test::PutPixel(&expected, ColourAt(x, y), 32);
    }
    for (zk_pixel_byte_order_t order : orders) {
        ClearRecorded();
        SetOrder(order);
        TempFolder out;
        ThreeByTwo bitmap(order);
        std::string path = out / "shot.tga";
        ASSERT_TRUE(zk_il->SaveImage(&bitmap.record, path.c_str(), 90)) << OrderLabel(order);
        EXPECT_EQ(ReadBytes(path), expected) << OrderLabel(order);
        EXPECT_EQ(out.Names(), std::vector<std::string>{"shot.tga"}) << "no temporary file is left";
        EXPECT_EQ(Texts('I'), std::vector<std::string>{"Saving image to file '" + path + "'..\n"});
    }
}

TEST_F(ImageLoader, SavingWhatCannotBeWrittenAnswersFalseAndLeavesFilesAsTheyWere) {
    ThreeByTwo bitmap(ZK_PIXELS_RGBA);
    const Bytes old = {'o', 'l', 'd'};
    struct Case {
        const char* name;
        bool existing;
    } cases[] = {{"shot.png", false}, {"shot.jpg", false}, {"kept.png", true}, {"kept.jpg", true},
                 {"shot.PNG", false}, {"shot.Tga", false}, {"shot.bmp", false}, {"ab", false}};
    for (const Case& c : cases) {
        ClearRecorded();
        TempFolder out;
        std::string path = out / c.name;
        if (c.existing) WriteBytes(path, old);
        EXPECT_FALSE(zk_il->SaveImage(&bitmap.record, path.c_str(), 90)) << c.name;
        std::vector<std::string> expected_names;
        if (c.existing) expected_names.push_back(c.name);
        EXPECT_EQ(out.Names(), expected_names) << c.name;
        if (c.existing) {
            EXPECT_EQ(ReadBytes(path), old) << c.name;
        }
        EXPECT_EQ(Texts('P'), std::vector<std::string>{"SaveImage - file format for '" + path +
                                                        "' not supported. Use .png format.\n"})
            << c.name;
    }
    ClearRecorded();
    EXPECT_FALSE(zk_il->SaveImage(&bitmap.record, "ab", 90));
    EXPECT_FALSE(zk_il->SaveImage(&bitmap.record, "res://shot.tga", 90)) << "no native path for it here";
    EXPECT_EQ(Texts('P').size(), 2u);
    EXPECT_FALSE(zk_il->SaveImage(nullptr, (folder / "a.tga").c_str(), 90));
    EXPECT_FALSE(zk_il->SaveImage(&bitmap.record, nullptr, 90));
}

TEST_F(ImageLoader, AFailedTgaSaveKeepsTheOldFileWhole) {
    const Bytes old = {'o', 'l', 'd'};
    std::string path = folder / "kept.tga";
    WriteBytes(path, old);
    // The header holds 16 bits of width: 65536 cannot be written.
    uint32_t pixels[2] = {};
    zk_bitmap_t wide = {};
    wide.width = 65536;
    wide.height = 0;
    wide.pixels = pixels;
    EXPECT_FALSE(zk_il->SaveImage(&wide, path.c_str(), 0));
    zk_bitmap_t empty = {};
    empty.width = empty.height = 1;
    EXPECT_FALSE(zk_il->SaveImage(&empty, path.c_str(), 0));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"kept.tga"});
    std::vector<std::string> lines = Texts('D');
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "TGA image of 65536x0 pixels cannot be written: its sides must be 0 to 65535.\n");

    ClearRecorded();
    ThreeByTwo bitmap(ZK_PIXELS_RGBA);
    std::string nowhere = folder / "missing/shot.tga";
    EXPECT_FALSE(zk_il->SaveImage(&bitmap.record, nowhere.c_str(), 0));
    EXPECT_EQ(Texts('D'), std::vector<std::string>{"Unable to open file '" + nowhere + "' for writing."});
}

TEST_F(ImageLoader, ReadsRunLengthBitmapsThroughTheFileSystem) {
    // 3x2: a run of 4 going on into the second row, then a run of 2.
    Bytes file;
    image_test::PutU32(&file, 3);
    image_test::PutU32(&file, 2);
    file.push_back(4);
    image_test::PutPixel(&file, ColourAt(1, 1), 32);
    file.push_back(2);
    image_test::PutPixel(&file, ColourAt(2, 2), 32);
    std::string path = folder / "runs.rle";
    WriteBytes(path, file);
    Bytes short_file(file.begin(), file.end() - 5);
    std::string short_path = folder / "short.rle";
    WriteBytes(short_path, short_file);
    for (zk_pixel_byte_order_t order : orders) {
        SetOrder(order);
        zk_file_t* handle = zk->file_system->ZK_FileSystem_OpenFile(path.c_str(), "rb");
        ASSERT_NE(handle, nullptr);
        LoadedBitmap bitmap;
        EXPECT_TRUE(ZKI_ReadRLEBitmap(&bitmap.record, handle)) << OrderLabel(order);
        zk->file_system->ZK_FileSystem_CloseFile(handle);
        ASSERT_EQ(bitmap.record.width, 3);
        ASSERT_EQ(bitmap.record.height, 2);
        EXPECT_EQ(bitmap.record.flags, 0) << "only the size and pixels are set";
        EXPECT_EQ(bitmap.record.texture_width, 0);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(PixelAt(bitmap.record, i % 3, i / 3, order), i < 4 ? ColourAt(1, 1) : ColourAt(2, 2))
                << i << OrderLabel(order);
        }

        ClearRecorded();
        handle = zk->file_system->ZK_FileSystem_OpenFile(short_path.c_str(), "rb");
        LoadedBitmap cut;
        EXPECT_FALSE(ZKI_ReadRLEBitmap(&cut.record, handle));
        zk->file_system->ZK_FileSystem_CloseFile(handle);
        EXPECT_EQ(cut.record.pixels, nullptr);
        EXPECT_EQ(Texts('D'), std::vector<std::string>{"Run-length bitmap ends after 4 of its 6 pixels.\n"});
    }
    LoadedBitmap none;
    EXPECT_FALSE(ZKI_ReadRLEBitmap(&none.record, nullptr));
}

TEST_F(ImageLoader, WritesRunLengthBitmapsInRunsOfAtMost255) {
    for (zk_pixel_byte_order_t order : orders) {
        SetOrder(order);
        std::vector<uint32_t> pixels = image_test::PixelBlock(std::vector<Bgra>(300, ColourAt(3, 4)), order);
        zk_bitmap_t bitmap = {};
        bitmap.width = 20;
        bitmap.height = 15;
        bitmap.pixels = pixels.data();
        FILE* stream = tmpfile();
        ASSERT_NE(stream, nullptr);
        EXPECT_TRUE(ZKI_WriteRLEBitmap(&bitmap, stream));
        Bytes written(size_t(ftell(stream)));
        rewind(stream);
        ASSERT_EQ(fread(written.data(), 1, written.size(), stream), written.size());
        fclose(stream);
        Bytes expected;
        image_test::PutU32(&expected, 20);
        image_test::PutU32(&expected, 15);
        for (int run : {255, 45}) {
            expected.push_back(uint8_t(run));
            image_test::PutPixel(&expected, ColourAt(3, 4), 32);
        }
        EXPECT_EQ(written, expected) << OrderLabel(order);
        EXPECT_FALSE(ZKI_WriteRLEBitmap(&bitmap, nullptr));
    }
}

TEST_F(ImageLoader, StartUpStoresThePortableLoader) {
    zk_il = nullptr;
    zk_state.image_loader = nullptr;
    EXPECT_TRUE(ZKI_InitImageLoader());
    EXPECT_EQ(zk_il, GetImageLoaderImp());
    EXPECT_EQ(zk_state.image_loader, zk_il);
    EXPECT_NE(dynamic_cast<ImageLoaderImpPortable*>(zk_il), nullptr);
}

}  // namespace

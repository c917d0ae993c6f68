// Bitmap sequences: their file in both chunk forms, hostile files,
// numbered images, duplicate frames, building, saving and reading back,
// and the atlas packing they use.

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/bitmaps/bitmap_loading.h"
#include "engine/bitmaps/bitmap_packing.h"
#include "engine/bitmaps/bitmap_sequences.h"
#include "engine/bitmaps/tests/bitmap_fixture.h"
#include "engine/bitmaps/tests/sequence_file_writer.h"

namespace {

using image_test::Bgra;
using image_test::Bytes;
using image_test::ColourAt;
using namespace sequence_test;

// A record of the test's own for a sequence; its parts are freed with it.
struct Sequence {
    explicit Sequence(const char* name) { record.name = const_cast<char*>(name); }
    ~Sequence() { ZKI_FreeBitmapSequenceParts(&record); }
    zk_bitmap_t* operator->() { return &record; }
    zk_bitmap_t record = {};
};

// A pixel in memory (order 0: R, G, B, A) as the files store it.
Bgra PixelAt(const zk_bitmap_t* bitmap, int x, int y) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bitmap->pixels) + (size_t(y) * bitmap->texture_width + x) * 4;
    return {p[2], p[1], p[0], p[3]};
}

// The frame's pixels, from its own block or its rectangle in the atlas.
std::vector<Bgra> FramePixels(const zk_bitmap_t* frame) {
    std::vector<Bgra> pixels;
    const zk_bitmap_t* atlas = frame->atlas;
    int left = 0, top = 0;
    const zk_bitmap_t* block = frame;
    if (atlas) {
        block = atlas;
        left = int(frame->hw_data.uv[0] * atlas->texture_width + 0.5f);
        top = int(frame->hw_data.uv[1] * atlas->texture_height + 0.5f);
    }
    if (!block->pixels) return pixels;
    for (int y = 0; y < frame->height; ++y) {
        for (int x = 0; x < frame->width; ++x) pixels.push_back(PixelAt(block, left + x, top + y));
    }
    return pixels;
}

class BitmapSequences : public BitmapTest {
protected:
    void WriteNumbered(const std::string& pattern, std::vector<int> numbers, int width = 2, int height = 2) {
        for (int n : numbers) {
            char number[8];
            snprintf(number, sizeof number, "%.4d", n);
            std::string name = pattern;
            name.replace(name.find('*'), 1, number);
            WriteTga(name, width, height, n);
        }
    }
};

TEST_F(BitmapSequences, AnAtlasFileGivesEachFrameItsRectangle) {
    std::vector<FrameRecord> records = {{2, 2, 7, 30.0f, {0, 0, 0.5f, 1}}, {2, 2, 9, 15.0f, {0.5f, 0, 1, 1}}};
    Write("walk.bms", AtlasFile(records, "RLE", RleBitmap(4, 2, Pixels(4, 2, 0))));
    Sequence read("walk");
    ASSERT_TRUE(ZKI_LoadBitmapSequence(&read.record, "walk.bms"));
    ASSERT_EQ(read->frame_count, 2);
    ASSERT_NE(read->atlas, nullptr);
    EXPECT_STREQ(read->atlas->name, "atlas:walk.bms");
    EXPECT_EQ(read->atlas->state, ZK_BITMAP_READY);
    EXPECT_EQ(FramePixels(&read->frames[1]),
              std::vector<Bgra>({ColourAt(2, 0), ColourAt(3, 0), ColourAt(2, 1), ColourAt(3, 1)}));
    EXPECT_EQ(read->frames[1].frame_index, 9);
    EXPECT_EQ(read->frames[1].frame_rate, 15.0f);
    EXPECT_EQ(read->frames[1].atlas, read->atlas);

    // Through the pool: one texture for the atlas, shared by every frame.
    zk_bitmap_t* walk = g()->ZK_Graphics_LoadBitmap("walk.bms", ZK_CACHE_TEXTURE);
    ASSERT_EQ(walk->frame_count, 2);
    EXPECT_EQ(renderer_.CallsOf("LoadBitmap"), std::vector<std::string>{"LoadBitmap atlas:walk.bms"});
    void* texture = walk->atlas->hw_data.renderer_data;
    EXPECT_EQ(walk->frames[1].hw_data.renderer_data, texture);
    EXPECT_EQ(walk->hw_data.renderer_data, texture);
    EXPECT_EQ(walk->atlas->pixels, nullptr) << "its mode keeps no pixels";
    g()->ZK_Graphics_SetBitmapFrame(walk, 1);
    EXPECT_EQ(walk->hw_data.uv[0], 0.5f);
    g()->ZK_Graphics_ReleaseBitmap(walk);
    EXPECT_EQ(walk->frames, nullptr);
    EXPECT_EQ(renderer_.LiveTextures(), 0);
    g()->ZK_Graphics_LoadBitmap("walk.bms", ZK_CACHE_TEXTURE);
    EXPECT_EQ(walk->frame_count, 2);
    EXPECT_TRUE(walk->hw_data.loaded);
}

TEST_F(BitmapSequences, AnAtlasStoredAsPngIsTheTestImage) {
    Bytes png = {5, 0, 0, 0, 1, 2, 3, 4, 5};
    Write("old.bms", AtlasFile({{32, 32, 0, 30.0f, {0, 0, 1, 1}}}, "png", png));
    Sequence read("old");
    ASSERT_TRUE(ZKI_LoadBitmapSequence(&read.record, "old.bms"));
    ASSERT_NE(read->atlas, nullptr);
    EXPECT_EQ(read->atlas->texture_width, 32);
    EXPECT_EQ(read->atlas->texture_height, 32);
    const uint8_t* p = reinterpret_cast<const uint8_t*>(read->atlas->pixels) + (3 * 32 + 5) * 4;
    EXPECT_EQ(std::vector<int>(p, p + 4), (std::vector<int>{8, 12, 20, 255}));
}

TEST_F(BitmapSequences, FrameChunksAreReadEachWithItsOwnPixels) {
    Write("frames.bms", FrameFile({{3, 2, 0, 30.0f, 0}, {3, 2, 1, 30.0f, 5}, {1, 1, 4, 12.5f, 9}}));
    Sequence read("frames");
    ASSERT_TRUE(ZKI_LoadBitmapSequence(&read.record, "frames.bms"));
    ASSERT_EQ(read->frame_count, 3);
    EXPECT_EQ(read->atlas, nullptr);
    EXPECT_EQ(FramePixels(&read->frames[1]), Pixels(3, 2, 5));
    EXPECT_EQ(FramePixels(&read->frames[2]), Pixels(1, 1, 9));
    EXPECT_EQ(read->frames[2].frame_index, 4);
    EXPECT_EQ(read->frames[2].frame_rate, 12.5f);

    // Through the pool every frame gets a texture of its own.
    zk_bitmap_t* frames = g()->ZK_Graphics_LoadBitmap("frames.bms", ZK_CACHE_TEXTURE);
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 3);
    EXPECT_EQ(renderer_.LiveTextures(), 3);
    EXPECT_EQ(frames->hw_data.renderer_data, frames->frames[0].hw_data.renderer_data);

    // A frame's size is its pixel block's, whatever its size fields say.
    Bytes lying = Header(1, "FRAME");
    for (uint32_t field : {0u, 99u, 99u, 0u, 0u}) image_test::PutU32(&lying, field);
    PutBytes(&lying, "RLE", 4);
    Bytes image = RleBitmap(1, 1, Pixels(1, 1, 0));
    lying.insert(lying.end(), image.begin(), image.end());
    Write("lying.bms", lying);
    Sequence small("lying");
    ASSERT_TRUE(ZKI_LoadBitmapSequence(&small.record, "lying.bms"));
    EXPECT_EQ(small->frames[0].width, 1);
    EXPECT_EQ(small->frames[0].texture_height, 1);
}

TEST_F(BitmapSequences, HostileFilesAreRefusedInWords) {
    auto atlas_with = [](const char encoding[4], const Bytes& image) {
        return AtlasFile({{2, 2, 0, 30.0f, {0, 0, 1, 1}}}, encoding, image);
    };
    Bytes cut_rle = RleBitmap(2, 2, Pixels(2, 2, 0));
    cut_rle.resize(cut_rle.size() - 3);
    Bytes second_chunk = FrameFile({{1, 1, 0, 30.0f, 0}, {1, 1, 1, 30.0f, 0}});
    memcpy(&second_chunk[29 + 4 + 16 + 4 + 8 + 5], "FRAMEXYZ", 8);
    Bytes huge_count = Header(0xFFFFFFFFu, "ATLAS");
    huge_count.resize(huge_count.size() + 64);
    Bytes cut_records = atlas_with("RLE", {});
    cut_records.resize(29 + 4 + 32);
    Bytes magic_only = Header(1, "ATLAS");
    magic_only.resize(13);
    struct Case {
        const char* label;
        Bytes file;
        std::vector<std::string> said;
    } cases[] = {
        {"version 2", Header(1, "ATLAS", "ZK_Bm_Seq_v2"), {"1:Bad header in bitmap sequence 'bad.bms'"}},
        {"magic only", magic_only, {"1:Bad header in bitmap sequence 'bad.bms'"}},
        {"no frames", Header(0, "ATLAS"), {"1:Bad header in bitmap sequence 'bad.bms'"}},
        {"more frames than bytes", huge_count, {"1:Bad header in bitmap sequence 'bad.bms'"}},
        {"unended chunk name", [] {
             Bytes file = Header(1, "GARBAGE!");
             file.resize(file.size() + 64);
             return file;
         }(),
         {"1:unimplemented chunk: 'GARBAGE!'"}},
        {"encoding", atlas_with("JPG", {}), {"1:encoding: 'JPG'", "1:unimplemented chunk: 'ATLAS'"}},
        {"unended encoding", atlas_with("RLEX", {}), {"1:encoding: 'RLEX'", "1:unimplemented chunk: 'ATLAS'"}},
        {"atlas cut short", atlas_with("RLE", cut_rle), {"1:unimplemented chunk: 'ATLAS'"}},
        {"records cut short", cut_records, {"1:Bitmap sequence 'bad.bms' ends before its last frame."}},
        {"second chunk", second_chunk, {"1:unimplemented chunk: 'FRAMEXYZ'"}},
    };
    for (const Case& c : cases) {
        Write("bad.bms", c.file);
        Sequence read("bad");
        ClearLines();
        EXPECT_FALSE(ZKI_LoadBitmapSequence(&read.record, "bad.bms")) << c.label;
        EXPECT_EQ(Popups(), c.said) << c.label;
        EXPECT_EQ(read->frames, nullptr) << c.label;
        EXPECT_EQ(read->frame_count, 0) << c.label;
        EXPECT_EQ(read->atlas, nullptr) << c.label;
    }
    // A missing file is no message.
    Sequence none("none");
    ClearLines();
    EXPECT_FALSE(ZKI_LoadBitmapSequence(&none.record, "none.bms"));
    EXPECT_TRUE(Lines().empty());
}

TEST_F(BitmapSequences, NumberedFilesAreCountedAcrossSmallGaps) {
    struct Case {
        std::vector<int> files;
        std::vector<int> frames;
    } cases[] = {
        {{0, 1, 2, 10}, {0, 1, 2}}, {{0, 2, 10}, {0, 2, 10}}, {{3, 4}, {3, 4}},
        {{0, 6}, {0, 6}},           {{0, 7}, {0}},            {{998, 999}, {998, 999}},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string folder = "set" + std::to_string(n++);
        WriteNumbered(folder + "/f_*.tga", c.files);
        Sequence read("numbered");
        EXPECT_TRUE(ZKI_LoadBitmapSequenceFromFiles(&read.record, (folder + "/f_*.tga").c_str()));
        std::vector<int> numbers;
        for (int i = 0; i < read->frame_count; ++i) numbers.push_back(read->frames[i].frame_index);
        EXPECT_EQ(numbers, c.frames) << folder;
        ASSERT_GT(read->frame_count, 0);
        char expected_name[64];
        snprintf(expected_name, sizeof expected_name, "%s/f_%.4d.tga", folder.c_str(), c.frames[0]);
        EXPECT_STREQ(read->frames[0].name, expected_name);
        EXPECT_EQ(read->frames[0].frame_rate, 30.0f);
        EXPECT_EQ(read->pixels, read->frames[0].pixels) << "frame 0 is shown";
    }
    Sequence none("none");
    ClearLines();
    EXPECT_TRUE(ZKI_LoadBitmapSequenceFromFiles(&none.record, "absent_*.tga"));
    EXPECT_EQ(none->frame_count, 0);
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:Bitmap files 'absent_*.tga' not found."});
}

TEST_F(BitmapSequences, TheTextAroundTheNumberIsNeverAFormat) {
    WriteNumbered("100%_%s%n_*.tga", {0, 1});
    Sequence read("percent");
    ASSERT_TRUE(ZKI_LoadBitmapSequenceFromFiles(&read.record, "100%_%s%n_*.tga"));
    ASSERT_EQ(read->frame_count, 2);
    EXPECT_STREQ(read->frames[1].name, "100%_%s%n_0001.tga");
}

TEST_F(BitmapSequences, MatchingFramesShareTheEarlierFramesPixels) {
    WriteNumbered("m_*.tga", {0, 1, 2});
    WriteTga("m_0003.tga", 2, 2, 0);  // the same pixels as frame 0
    WriteTga("m_0004.tga", 2, 2, 2);  // the same as frame 2
    Sequence read("m");
    ZKI_LoadBitmapSequenceFromFiles(&read.record, "m_*.tga");
    ASSERT_EQ(read->frame_count, 5);
    ClearLines();
    ZKI_OptimizeBitmapSequence(&read.record);
    EXPECT_TRUE(WasPrinted("0:Frames #0004 and #0002 match."));
    EXPECT_TRUE(WasPrinted("0:Frames #0003 and #0000 match."));
    EXPECT_TRUE(WasSaid("MB by removing similar frames from sequence m."));
    EXPECT_EQ(read->frames[3].duplicate_of, &read->frames[0]);
    EXPECT_EQ(read->frames[3].pixels, read->frames[0].pixels);
    EXPECT_EQ(read->frames[1].duplicate_of, nullptr);
    // Optimising again changes nothing (and frees nothing twice).
    ZKI_OptimizeBitmapSequence(&read.record);
    EXPECT_EQ(read->frames[4].duplicate_of, &read->frames[2]);
}

TEST_F(BitmapSequences, ABuiltSequenceIsSavedAndReadBackWithItsPixels) {
    WriteTga("r_0000.tga", 3, 2, 0);
    WriteTga("r_0001.tga", 2, 4, 3);
    WriteTga("r_0002.tga", 3, 2, 0);
    const std::vector<Bgra> expected[] = {Pixels(3, 2, 0), Pixels(2, 4, 3), Pixels(3, 2, 0)};
    struct Case {
        int pack;
        const char* chunk;
    } cases[] = {{1, "ATLAS"}, {0, "FRAME"}};
    for (const Case& c : cases) {
        zk_state.pack_bitmaps = uint8_t(c.pack);
        std::string file = std::string("r-") + c.chunk + ".bms";
        Sequence built("r");
        ZKI_LoadBitmapSequenceFromFiles(&built.record, "r_*.tga");
        ZKI_OptimizeBitmapSequence(&built.record);
        ASSERT_TRUE(ZKI_SaveBitmapSequence(&built.record, Path(file).c_str(), 2048, 2048)) << c.chunk;
        std::ifstream in(Path(file), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(bytes.substr(21, 8), std::string(c.chunk) + std::string(8 - strlen(c.chunk), '\0')) << c.chunk;

        Sequence back("r");
        ASSERT_TRUE(ZKI_LoadBitmapSequence(&back.record, Path(file).c_str())) << c.chunk;
        ASSERT_EQ(back->frame_count, 3) << c.chunk;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(back->frames[i].frame_index, i) << c.chunk;
            EXPECT_EQ(FramePixels(&back->frames[i]), expected[i]) << c.chunk << " frame " << i;
        }
        if (c.pack) {
            EXPECT_EQ(std::vector<float>(back->frames[2].hw_data.uv, back->frames[2].hw_data.uv + 4),
                      std::vector<float>(back->frames[0].hw_data.uv, back->frames[0].hw_data.uv + 4))
                << "a duplicate has its original's rectangle";
        }
    }
}

TEST_F(BitmapSequences, ABuiltSequenceIsKeptWhenItCannotBeSaved) {
    struct Case {
        std::vector<const char*> files;
        const char* name;
        std::vector<int> numbers;
    } cases[] = {
        {{"walk_0000.tga", "walk_0001.tga"}, "walk.bms", {0, 1}},
        {{"run-0002.tga", "run-0003.tga"}, "run.bms", {2, 3}},
        {{"jump0005.tga"}, "jump.bms", {5}},
    };
    for (const Case& c : cases) {
        int seed = 0;
        for (const char* file : c.files) WriteTga(file, 2, 2, seed++);
        ClearLines();
        zk_bitmap_t* sequence = g()->ZK_Graphics_LoadBitmap(c.name, ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE);
        ASSERT_NE(sequence, nullptr) << c.name;
        // This system has no native data folder to save into.
        EXPECT_TRUE(WasPrinted(std::string("1:[POPUP] Unable to save bitmap sequence '") + c.name + "' to file ''"));
        ASSERT_EQ(sequence->frame_count, int(c.numbers.size())) << c.name;
        for (size_t i = 0; i < c.numbers.size(); ++i) {
            EXPECT_EQ(sequence->frames[i].frame_index, c.numbers[i]) << c.name;
            EXPECT_EQ(FramePixels(&sequence->frames[i]), Pixels(2, 2, int(i))) << c.name;
        }
        EXPECT_TRUE(sequence->hw_data.loaded) << c.name;
        EXPECT_EQ(sequence->state, ZK_BITMAP_READY) << c.name;
    }
    ClearLines();
    zk_bitmap_t* none = g()->ZK_Graphics_LoadBitmap("nothing.bms", ZK_CACHE_TEXTURE);
    EXPECT_EQ(none->frame_count, 0);
    EXPECT_TRUE(WasPrinted("1:[POPUP] Unable to load bitmap 'nothing.bms'.\n"));
}

TEST_F(BitmapSequences, ADuplicateFrameSharesItsOriginalsTextureAndNeverFreesIt) {
    // Without packing the frames keep textures of their own; the saved file
    // cannot be written here, so the built frames stay in memory.
    zk_state.pack_bitmaps = 0;
    WriteTga("same_0000.tga", 2, 2, 0);
    WriteTga("same_0001.tga", 2, 2, 0);
    renderer_.ClearCalls();
    zk_bitmap_t* sequence = g()->ZK_Graphics_LoadBitmap("same.bms", ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE);
    ASSERT_NE(sequence, nullptr);
    ASSERT_EQ(sequence->frame_count, 2);
    ASSERT_EQ(sequence->atlas, nullptr);
    ASSERT_EQ(sequence->frames[1].duplicate_of, &sequence->frames[0]);
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 1) << "the duplicate is not uploaded again";
    EXPECT_EQ(sequence->frames[1].hw_data.renderer_data, sequence->frames[0].hw_data.renderer_data);
    EXPECT_EQ(renderer_.LiveTextures(), 1);

    g()->ZK_Graphics_ReleaseBitmap(sequence);  // hibernates it
    EXPECT_EQ(renderer_.Count("FreeBitmap"), 1) << "the shared texture is freed once";
    EXPECT_EQ(renderer_.LiveTextures(), 0);
    zk_state.pack_bitmaps = 1;
}

TEST_F(BitmapSequences, SavingNeedsFramesThatFit) {
    Sequence empty("empty");
    ClearLines();
    EXPECT_FALSE(ZKI_SaveBitmapSequence(&empty.record, Path("e.bms").c_str(), 64, 64));
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:ZKI_SaveBitmapSequence: trying to save invalid bitmap to '" +
                                                 Path("e.bms") + "'."});
    // Frames read from an atlas have no pixels of their own to pack.
    Write("read.bms", AtlasFile({{2, 2, 0, 30.0f, {0, 0, 1, 1}}}, "RLE", RleBitmap(2, 2, Pixels(2, 2, 0))));
    Sequence read("read");
    ASSERT_TRUE(ZKI_LoadBitmapSequence(&read.record, "read.bms"));
    ClearLines();
    EXPECT_FALSE(ZKI_SaveBitmapSequence(&read.record, Path("again.bms").c_str(), 64, 64));
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:ZKI_SaveBitmapSequence: trying to save invalid bitmap to '" +
                                                 Path("again.bms") + "'."});
    EXPECT_NE(read->atlas, nullptr) << "the atlas read stays";
    WriteTga("big_0000.tga", 40, 40);
    Sequence big("big");
    ZKI_LoadBitmapSequenceFromFiles(&big.record, "big_*.tga");
    ClearLines();
    EXPECT_FALSE(ZKI_SaveBitmapSequence(&big.record, Path("b.bms").c_str(), 32, 32));
    EXPECT_TRUE(WasPrinted("1:[POPUP] ZKI_SaveBitmapSequence: bitmaps didn't fit into atlas, not creating file '" +
                           Path("b.bms") + "'."));
    EXPECT_EQ(big->atlas, nullptr);
    EXPECT_EQ(storage_test::NamesIn(folder_.Path()), (std::vector<std::string>{"big_0000.tga", "read.bms"}));
}

class AtlasPacking : public BitmapTest {
protected:
    struct Owned {
        Owned(int width, int height, int seed) {
            bitmap.width = bitmap.texture_width = width;
            bitmap.height = bitmap.texture_height = height;
            std::vector<uint32_t> block = image_test::PixelBlock(Pixels(width, height, seed), ZK_PIXELS_RGBA);
            bitmap.pixels = static_cast<uint32_t*>(malloc(block.size() * 4 + 1));
            memcpy(bitmap.pixels, block.data(), block.size() * 4);
        }
        ~Owned() { free(bitmap.pixels); }
        zk_bitmap_t bitmap = {};
    };
    ~AtlasPacking() override {
        free(atlas_.pixels);
        free(atlas_.name);
    }
    zk_bitmap_t atlas_ = {};
};

TEST_F(AtlasPacking, TwoSquaresGoOneAboveTheOther) {
    Owned a(30, 30, 0), b(30, 30, 4);
    zk_bitmap_t* list[] = {&a.bitmap, &b.bitmap};
    ClearLines();
    ASSERT_TRUE(ZKI_PackBitmaps(&atlas_, list, 2, 2048, 2048));
    EXPECT_EQ(atlas_.width, 64);
    EXPECT_EQ(atlas_.height, 128);
    EXPECT_STREQ(atlas_.name, "atlas");
    EXPECT_EQ(atlas_.pack_mode, 3u);
    std::vector<std::string> lines = Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "0:Fits into 128x64 (0.22 full)");
    EXPECT_TRUE(WasPrinted("0:Choosing 64x128, packing pixels... (ratio 0.25 vs single images)"));
    EXPECT_TRUE(WasPrinted("0:Successfully packed 2 bitmaps into 64x128 atlas."));
    EXPECT_EQ(std::vector<float>(b.bitmap.hw_data.uv, b.bitmap.hw_data.uv + 4),
              (std::vector<float>{2 / 64.0f, 34 / 128.0f, 32 / 64.0f, 64 / 128.0f}));
    EXPECT_EQ(PixelAt(&atlas_, 2 + 5, 34 + 7), ColourAt(5 + 4, 7));
    EXPECT_EQ(PixelAt(&atlas_, 0, 0).a, 0) << "the gaps stay transparent";
}

TEST_F(AtlasPacking, SizesAreLimitedAndPassesGoOnToLargerSides) {
    struct Case {
        int width, height;
        int max_width, max_height;
        int atlas_width, atlas_height;  // 0: none fits
        const char* refused;
    } cases[] = {
        {1500, 1, 4096, 4096, 2048, 64, nullptr},
        {40, 40, 32, 32, 0, 0,
         "1:ZKI_PackBitmaps unable to find large enough atlas size for 1 bitmaps (first bm size 40x40). All bitmaps "
         "need to fit into 32x32 atlas for 100% cross-platform compatibility."},
        {9000, 1, 100000, 100000, 0, 0,
         "1:ZKI_PackBitmaps unable to find large enough atlas size for 1 bitmaps (first bm size 9000x1). All bitmaps "
         "need to fit into 8192x8192 atlas for 100% cross-platform compatibility."},
    };
    for (const Case& c : cases) {
        Owned only(c.width, c.height, 0);
        zk_bitmap_t* list[] = {&only.bitmap};
        ClearLines();
        EXPECT_EQ(ZKI_PackBitmaps(&atlas_, list, 1, c.max_width, c.max_height), c.atlas_width > 0) << c.width;
        if (c.refused) {
            EXPECT_EQ(Popups(), std::vector<std::string>{c.refused});
            EXPECT_EQ(atlas_.pixels, nullptr);
        } else {
            EXPECT_EQ(atlas_.width, c.atlas_width) << c.width;
            EXPECT_EQ(atlas_.height, c.atlas_height) << c.width;
        }
    }
    // Sizes no atlas can hold are refused without overflowing anything.
    zk_bitmap_t huge[2] = {};
    for (zk_bitmap_t& bitmap : huge) bitmap.width = bitmap.height = INT32_MAX;
    zk_bitmap_t* huge_list[] = {&huge[0], &huge[1]};
    EXPECT_FALSE(ZKI_PackBitmaps(&atlas_, huge_list, 2, 8192, 8192));
    // A drawing size larger than the pixel block packs the block.
    Owned scaled(4, 4, 1);
    scaled.bitmap.width = 500;
    zk_bitmap_t* list[] = {&scaled.bitmap};
    ASSERT_TRUE(ZKI_PackBitmaps(&atlas_, list, 1, 64, 64));
    EXPECT_EQ(atlas_.width, 32);
    EXPECT_EQ(scaled.bitmap.hw_data.uv[2], 6 / 32.0f);
}

}  // namespace

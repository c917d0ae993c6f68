// Resizing, refreshing, saving and copying back bitmaps.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

#include "engine/bitmaps/tests/bitmap_fixture.h"
#include "engine/bitmaps/tests/sequence_file_writer.h"

namespace {

class BitmapEdits : public BitmapTest {};

// Gives back the one reference a case took and frees the record, so that
// the next case starts from an empty pool.
void Forget(zk_bitmap_t* bitmap) {
    zk->graphics->ZK_Graphics_ReleaseBitmap(bitmap);
    if (bitmap->name) zk->graphics->ZK_Graphics_RemoveBitmapHandle(bitmap);
}

TEST_F(BitmapEdits, ResizingResamplesPixelsAndRemakesRenderTargets) {
    zk_bitmap_t* plain = Create("plain", 4, 2, false);
    memset(plain->pixels, 0x40, 4 * 2 * 4);
    EXPECT_FALSE(g()->ZK_Graphics_ResizeBitmap(plain, 4, 2));
    ASSERT_TRUE(g()->ZK_Graphics_ResizeBitmap(plain, 8, 3));
    EXPECT_EQ(plain->width, 8);
    EXPECT_EQ(plain->texture_height, 3);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(plain->pixels)[8 * 3 * 4 - 1], 0x40);

    zk_bitmap_t* target = Create("target", 16, 16, true);
    void* old_texture = target->hw_data.renderer_data;
    renderer_.ClearCalls();
    ClearLines();
    ASSERT_TRUE(g()->ZK_Graphics_ResizeBitmap(target, 32, 8));
    EXPECT_EQ(renderer_.CallsOf("FreeBitmap"), std::vector<std::string>{"FreeBitmap " + RecordingRenderer::Pointer(old_texture)});
    EXPECT_EQ(renderer_.CallsOf("CreateRenderTarget"), std::vector<std::string>{"CreateRenderTarget target"});
    EXPECT_EQ(target->texture_width, 32);
    EXPECT_TRUE(WasPrinted("0:ZK_ResizeBitmap resizing render target 'target' from 16x16 to 32x8"));

    // From another thread the new size waits for the next frame; the old
    // texture is freed then too.
    renderer_.ClearCalls();
    std::thread worker([&] { g()->ZK_Graphics_ResizeBitmap(target, 64, 64); });
    worker.join();
    EXPECT_EQ(renderer_.Count("CreateRenderTarget"), 0);
    EXPECT_EQ(target->width, 64);
    DrainQueues();
    EXPECT_EQ(renderer_.Count("CreateRenderTarget"), 1);
    EXPECT_EQ(renderer_.Count("FreeBitmap"), 1);
    EXPECT_EQ(renderer_.LiveTextures(), 1);
}

TEST_F(BitmapEdits, SizesAskedOfResizeAreClampedAsInCreate) {
    renderer_.maximum_texture_size = 64;
    zk_bitmap_t* plain = Create("plain", 4, 4, false);
    ClearLines();
    ASSERT_TRUE(g()->ZK_Graphics_ResizeBitmap(plain, 100, -3));
    EXPECT_EQ(plain->width, 64);
    EXPECT_EQ(plain->height, 1);
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:ZK_Graphics_ResizeBitmap: bitmap 'plain' has too large "
                                                 "dimension(s) (100, -3), each dimension is clamped to 64."});
}

TEST_F(BitmapEdits, RefreshUploadsPixelsAgainOrCopiesARenderTargetBack) {
    zk_bitmap_t* plain = Create("plain", 2, 2, false);
    EXPECT_TRUE(g()->ZK_Graphics_RefreshBitmap(plain));
    EXPECT_EQ(renderer_.LiveTextures(), 1);
    renderer_.ClearCalls();
    EXPECT_TRUE(g()->ZK_Graphics_RefreshBitmap(plain));
    EXPECT_EQ(renderer_.Count("FreeBitmap"), 1);
    EXPECT_EQ(renderer_.CallsOf("LoadBitmap"), std::vector<std::string>{"LoadBitmap plain"});
    EXPECT_EQ(plain->state, ZK_BITMAP_READY);
    EXPECT_EQ(renderer_.LiveTextures(), 1);

    zk_bitmap_t* target = Create("target", 4, 4, true);
    renderer_.ClearCalls();
    ClearLines();
    EXPECT_TRUE(g()->ZK_Graphics_RefreshBitmap(target));
    EXPECT_EQ(renderer_.CallsOf("CopyRenderTargetToBitmapPixels"),
              std::vector<std::string>{"CopyRenderTargetToBitmapPixels target"});
    EXPECT_TRUE(WasSaid("instead of RefreshBitmap."));

    bool refreshed = true;
    ClearLines();
    std::thread worker([&] { refreshed = g()->ZK_Graphics_RefreshBitmap(plain); });
    worker.join();
    EXPECT_FALSE(refreshed);
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:Refreshing bitmaps from another thread than main has not been "
                                                 "tested properly yet. Not refreshing bitmap."});
}

// A bitmap that keeps only its texture (the default of GetBitmap) has no
// pixels to upload: refreshing it reads its file again, uploads and drops
// the pixels once more. Without the file the old texture stays and the
// refresh answers false.
TEST_F(BitmapEdits, RefreshOfATextureOnlyBitmapReadsItsFileAgain) {
    using namespace sequence_test;
    struct Case {
        const char* name;
        const char* file;
        std::vector<uint8_t> bytes;
        int uploads;
    } cases[] = {
        {"ui/button", "ui/button.tga", {}, 1},
        {"walk.bms", "walk.bms",
         AtlasFile({{2, 2, 0, 30.0f, {0, 0, 0.5f, 1}}, {2, 2, 1, 30.0f, {0.5f, 0, 1, 1}}}, "RLE",
                   RleBitmap(4, 2, Pixels(4, 2, 0))),
         1},
        {"frames.bms", "frames.bms", FrameFile({{3, 2, 0, 30.0f, 0}, {3, 2, 1, 30.0f, 5}}), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.bytes.empty()) {
            WriteTga(c.file, 4, 2);
        } else {
            Write(c.file, c.bytes);
        }
        zk_bitmap_t* bitmap = g()->ZK_Graphics_LoadBitmap(c.name, ZK_CACHE_TEXTURE);
        ASSERT_TRUE(bitmap->hw_data.loaded);
        int textures = renderer_.LiveTextures();
        renderer_.ClearCalls();

        EXPECT_TRUE(g()->ZK_Graphics_RefreshBitmap(bitmap));
        EXPECT_EQ(renderer_.Count("LoadBitmap"), c.uploads);
        EXPECT_EQ(renderer_.Count("FreeBitmap"), c.uploads);
        EXPECT_EQ(renderer_.LiveTextures(), textures);
        EXPECT_TRUE(bitmap->hw_data.loaded);
        EXPECT_EQ(bitmap->state, ZK_BITMAP_READY);
        EXPECT_EQ(bitmap->pixels, nullptr) << "its mode keeps no pixels";
        if (bitmap->atlas) {
            EXPECT_EQ(bitmap->atlas->pixels, nullptr);
        }
        for (int i = 0; i < bitmap->frame_count; ++i) EXPECT_EQ(bitmap->frames[i].pixels, nullptr);

        void* texture = bitmap->hw_data.renderer_data;
        int frames = bitmap->frame_count;
        ASSERT_EQ(remove(Path(c.file).c_str()), 0);
        renderer_.ClearCalls();
        EXPECT_FALSE(g()->ZK_Graphics_RefreshBitmap(bitmap));
        EXPECT_EQ(renderer_.Count("FreeBitmap"), 0);
        EXPECT_EQ(renderer_.Count("LoadBitmap"), 0);
        EXPECT_TRUE(bitmap->hw_data.loaded);
        EXPECT_EQ(bitmap->hw_data.renderer_data, texture);
        EXPECT_EQ(bitmap->frame_count, frames);
        EXPECT_EQ(bitmap->width, c.bytes.empty() ? 4 : bitmap->frames[0].width);
        EXPECT_EQ(bitmap->state, ZK_BITMAP_READY);
        EXPECT_EQ(renderer_.LiveTextures(), textures);
    }
}

// A bitmap that keeps its pixels uploads them again without its file.
TEST_F(BitmapEdits, RefreshOfABitmapKeepingItsPixelsUploadsThem) {
    WriteTga("kept.tga", 2, 2);
    zk_bitmap_t* kept = g()->ZK_Graphics_LoadBitmap("kept", ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE);
    ASSERT_NE(kept->pixels, nullptr);
    ASSERT_EQ(remove(Path("kept.tga").c_str()), 0);
    renderer_.ClearCalls();
    EXPECT_TRUE(g()->ZK_Graphics_RefreshBitmap(kept));
    EXPECT_EQ(renderer_.CallsOf("LoadBitmap"), std::vector<std::string>{"LoadBitmap kept"});
    EXPECT_NE(kept->pixels, nullptr);
    EXPECT_EQ(renderer_.LiveTextures(), 1);
}

// A refresh whose new texture the renderer will not take answers false,
// on the road that uploads held pixels and on the one that reads the file.
TEST_F(BitmapEdits, ARefreshWhoseUploadTheRendererRefusesAnswersFalse) {
    WriteTga("ui/button.tga", 4, 2);
    Write("frames.bms", sequence_test::FrameFile({{3, 2, 0, 30.0f, 0}, {2, 1, 1, 30.0f, 5}}));
    struct Case {
        const char* label;
        std::function<zk_bitmap_t*()> make;
    } cases[] = {
        {"created pixels", [this] { return Create("plain", 2, 2); }},
        {"texture only", [this] { return g()->ZK_Graphics_LoadBitmap("ui/button", ZK_CACHE_TEXTURE); }},
        {"sequence of texture only", [this] { return g()->ZK_Graphics_LoadBitmap("frames.bms", ZK_CACHE_TEXTURE); }},
        {"sequence keeping pixels",
         [this] { return g()->ZK_Graphics_LoadBitmap("frames.bms", ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        zk_bitmap_t* bitmap = c.make();
        ASSERT_NE(bitmap, nullptr);
        ASSERT_TRUE(g()->ZK_Graphics_RefreshBitmap(bitmap));
        renderer_.bitmap_operations_succeed = false;
        renderer_.ClearCalls();
        EXPECT_FALSE(g()->ZK_Graphics_RefreshBitmap(bitmap));
        renderer_.bitmap_operations_succeed = true;
        EXPECT_GE(renderer_.Count("LoadBitmap"), 1) << "the upload was asked for";
        EXPECT_FALSE(bitmap->hw_data.loaded);
        EXPECT_EQ(bitmap->state, ZK_BITMAP_READY);
        Forget(bitmap);
        EXPECT_EQ(renderer_.LiveTextures(), 0);
    }
}

// The refresh takes the record's lock: while another thread holds it, the
// refresh neither returns nor touches the texture.
TEST_F(BitmapEdits, ARefreshWaitsForAnotherThreadHoldingTheRecord) {
    zk_bitmap_t* plain = Create("plain", 2, 2);
    ASSERT_TRUE(g()->ZK_Graphics_RefreshBitmap(plain));
    renderer_.ClearCalls();
    std::atomic<bool> held(false), returned(false), returned_while_held(true);
    std::atomic<int> texture_calls_while_held(-1);
    std::thread holder([&] {
        ZKI_LockBitmap(plain);
        held = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        returned_while_held = returned.load();
        texture_calls_while_held = renderer_.Count("LoadBitmap") + renderer_.Count("FreeBitmap");
        ZKI_UnlockBitmap(plain);
    });
    for (int wait = 0; !held && wait < 10000; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(held);
    bool refreshed = g()->ZK_Graphics_RefreshBitmap(plain);
    returned = true;
    holder.join();
    EXPECT_FALSE(returned_while_held);
    EXPECT_EQ(texture_calls_while_held, 0);
    EXPECT_TRUE(refreshed);
    EXPECT_EQ(renderer_.CallsOf("LoadBitmap"), std::vector<std::string>{"LoadBitmap plain"});
    EXPECT_EQ(renderer_.LiveTextures(), 1);
}

class BitmapRefreshOfSequences : public BitmapTest {
protected:
    // Three frames of different widths (1, 2 and 3), so that the size
    // shown tells the frame; `count` cuts the file to fewer.
    static sequence_test::Bytes AtlasOfThree(int count = 3) {
        std::vector<sequence_test::FrameRecord> records = {{1, 1, 0, 30.0f, {0, 0, 0.125f, 0.5f}},
                                                           {2, 1, 1, 30.0f, {0.125f, 0, 0.375f, 0.5f}},
                                                           {3, 2, 2, 30.0f, {0.375f, 0, 0.75f, 1}}};
        records.resize(size_t(count));
        return sequence_test::AtlasFile(records, "RLE", sequence_test::RleBitmap(8, 2, sequence_test::Pixels(8, 2, 0)));
    }
    static sequence_test::Bytes FramesOfThree(int count = 3) {
        std::vector<sequence_test::Frame> frames = {{1, 1, 0, 30.0f, 0}, {2, 1, 1, 30.0f, 4}, {3, 2, 2, 30.0f, 8}};
        frames.resize(size_t(count));
        return sequence_test::FrameFile(frames);
    }
    void WriteNumberedThree(int count = 3) {
        for (int i = 0; i < 3; ++i) {
            std::string file = "run_000" + std::to_string(i) + ".tga";
            if (i < count) {
                WriteTga(file, i + 1, 1 + i / 2, i * 4);
            } else {
                remove(Path(file).c_str());
            }
        }
    }
    // The bitmap shows frames[index]: its size, its texture and its place
    // in that texture.
    static void ExpectShows(const zk_bitmap_t* bitmap, int index) {
        ASSERT_LT(index, bitmap->frame_count);
        const zk_bitmap_t& frame = bitmap->frames[index];
        EXPECT_EQ(bitmap->frame_index, index);
        EXPECT_EQ(frame.width, index + 1);
        EXPECT_EQ(bitmap->width, frame.width);
        EXPECT_EQ(bitmap->height, frame.height);
        EXPECT_TRUE(bitmap->hw_data.loaded);
        EXPECT_EQ(bitmap->hw_data.renderer_data, frame.hw_data.renderer_data);
        EXPECT_EQ(std::vector<float>(bitmap->hw_data.uv, bitmap->hw_data.uv + 4),
                  std::vector<float>(frame.hw_data.uv, frame.hw_data.uv + 4));
        EXPECT_EQ(bitmap->pixels, frame.pixels);
    }
};

// Every road of a refresh (uploading the pixels held, reading the file
// again, keeping the old parts when the file is gone) goes on showing the
// frame shown before; a file read again with fewer frames shows its last.
TEST_F(BitmapRefreshOfSequences, TheShownFrameIsKept) {
    enum class Then { kSameFile, kFewerFrames, kFileGone };
    struct Case {
        const char* label;
        const char* name;
        int mode;
        Then then;
        bool refreshed;
        int shown;
    } cases[] = {
        {"atlas, texture only", "atlas.bms", ZK_CACHE_TEXTURE, Then::kSameFile, true, 2},
        {"atlas, pixels and texture", "atlas.bms", ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE, Then::kSameFile, true, 2},
        {"atlas, pixels only", "atlas.bms", ZK_CACHE_PIXELS, Then::kSameFile, true, 2},
        {"frames, texture only", "frames.bms", ZK_CACHE_TEXTURE, Then::kSameFile, true, 2},
        {"frames, pixels and texture", "frames.bms", ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE, Then::kSameFile, true, 2},
        {"frames, pixels only", "frames.bms", ZK_CACHE_PIXELS, Then::kSameFile, true, 2},
        {"numbered, texture only", "run_*.tga", ZK_CACHE_TEXTURE, Then::kSameFile, true, 2},
        {"numbered, pixels and texture", "run_*.tga", ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE, Then::kSameFile, true, 2},
        {"atlas with fewer frames", "atlas.bms", ZK_CACHE_TEXTURE, Then::kFewerFrames, true, 1},
        {"frames with fewer frames", "frames.bms", ZK_CACHE_TEXTURE, Then::kFewerFrames, true, 1},
        {"numbered with fewer frames", "run_*.tga", ZK_CACHE_TEXTURE, Then::kFewerFrames, true, 1},
        {"atlas gone", "atlas.bms", ZK_CACHE_TEXTURE, Then::kFileGone, false, 2},
        {"frames gone", "frames.bms", ZK_CACHE_TEXTURE, Then::kFileGone, false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Write("atlas.bms", AtlasOfThree());
        Write("frames.bms", FramesOfThree());
        WriteNumberedThree();
        zk_bitmap_t* bitmap = g()->ZK_Graphics_LoadBitmap(c.name, c.mode);
        ASSERT_NE(bitmap, nullptr);
        ASSERT_EQ(bitmap->frame_count, 3);
        g()->ZK_Graphics_SetBitmapFrame(bitmap, 2);
        if (c.then == Then::kFewerFrames) {
            Write("atlas.bms", AtlasOfThree(2));
            Write("frames.bms", FramesOfThree(2));
            WriteNumberedThree(2);
        } else if (c.then == Then::kFileGone) {
            ASSERT_EQ(remove(Path(c.name).c_str()), 0);
        }

        EXPECT_EQ(g()->ZK_Graphics_RefreshBitmap(bitmap), c.refreshed);
        EXPECT_EQ(bitmap->frame_count, c.then == Then::kFewerFrames ? 2 : 3);
        ExpectShows(bitmap, c.shown);
        EXPECT_EQ(bitmap->state, ZK_BITMAP_READY);
        Forget(bitmap);
        EXPECT_EQ(renderer_.LiveTextures(), 0);
    }
}

// A numbered series answers true even when it finds no image at all: the
// refresh then keeps the frames and textures it had, and answers false.
TEST_F(BitmapRefreshOfSequences, AReadThatFindsNoFramesKeepsTheOldOnes) {
    WriteNumberedThree();
    zk_bitmap_t* bitmap = g()->ZK_Graphics_LoadBitmap("run_*.tga", ZK_CACHE_TEXTURE);
    ASSERT_EQ(bitmap->frame_count, 3);
    g()->ZK_Graphics_SetBitmapFrame(bitmap, 1);
    const zk_bitmap_t* frames = bitmap->frames;
    void* texture = bitmap->frames[2].hw_data.renderer_data;
    WriteNumberedThree(0);
    renderer_.ClearCalls();
    ClearLines();

    EXPECT_FALSE(g()->ZK_Graphics_RefreshBitmap(bitmap));
    EXPECT_TRUE(WasPrinted("1:[POPUP] Bitmap files 'run_*.tga' not found.")) << "the read found nothing";
    ASSERT_EQ(bitmap->frame_count, 3);
    ASSERT_EQ(bitmap->frames, frames);
    EXPECT_EQ(bitmap->frames[2].hw_data.renderer_data, texture);
    EXPECT_EQ(renderer_.Count("FreeBitmap"), 0);
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 0);
    EXPECT_EQ(renderer_.LiveTextures(), 3);
    ExpectShows(bitmap, 1);
    EXPECT_EQ(bitmap->state, ZK_BITMAP_READY);
}

TEST_F(BitmapEdits, OnlyPlainColourRenderTargetsAreCopiedBack) {
    struct Case {
        const char* name;
        bool render_target;
        uint32_t format;
        uint32_t type;
        bool copied;
        const char* said;
    } cases[] = {
        {"plain", false, 7, ZK_TEXTURE_2D, false, nullptr},
        {"colour", true, 7, ZK_TEXTURE_2D, true, nullptr},
        {"other colour", true, 8, ZK_TEXTURE_2D, true, nullptr},
        {"float", true, 4, ZK_TEXTURE_2D, false, "2:Unsupported texture format in CopyBitmapRenderTargetDataToPixels."},
        {"cube", true, 7, ZK_TEXTURE_CUBE, false, "2:Unsupported texture type in CopyBitmapRenderTargetDataToPixels."},
    };
    for (const Case& c : cases) {
        zk_bitmap_t* bitmap = Create(c.name, 16, 16, c.render_target, c.format, c.type);
        ASSERT_NE(bitmap, nullptr) << c.name;
        ClearLines();
        EXPECT_EQ(g()->ZK_Graphics_CopyBitmapRenderTargetDataToPixels(bitmap), c.copied) << c.name;
        EXPECT_EQ(Lines(), c.said ? std::vector<std::string>{c.said} : std::vector<std::string>{}) << c.name;
    }
}

TEST_F(BitmapEdits, SavingNeedsPixels) {
    zk_bitmap_t* target = Create("target", 4, 4, true);
    ClearLines();
    EXPECT_FALSE(g()->ZK_Graphics_SaveBitmap(target, Path("t.tga").c_str(), 0));
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "1:No pixel data present. Call  zk->graphics->CopyBitmapRenderTargetDataToPixels to fetch "
                           "the data from gpu.",
                           "2:Unable to save bitmap as pixels data is null."}));
    zk_bitmap_t* plain = Create("plain", 3, 2, false);
    EXPECT_TRUE(g()->ZK_Graphics_SaveBitmap(plain, Path("p.tga").c_str(), 0));
    EXPECT_EQ(storage_test::NamesIn(folder_.Path()), std::vector<std::string>{"p.tga"});
}

}  // namespace

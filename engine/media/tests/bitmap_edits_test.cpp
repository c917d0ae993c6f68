// Resizing, refreshing, saving and copying back bitmaps.

#include <cstring>
#include <thread>

#include "engine/media/tests/bitmap_fixture.h"

namespace {

class BitmapEdits : public BitmapTest {};

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

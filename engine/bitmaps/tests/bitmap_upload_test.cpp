// The bitmap pass of the per-frame upload: what other threads queue
// reaches the renderer at the next frame, 10 entries of each list a frame,
// and freed textures leave the batch renderer's stages.

#include <string>
#include <thread>
#include <vector>

#include "engine/screen/upload_pass.h"
#include "engine/drawing/batch_renderer.h"
#include "engine/bitmaps/tests/bitmap_fixture.h"

namespace {

class BitmapUpload : public BitmapTest {
protected:
    void TearDown() override {
        zk_batch_renderer = BatchRenderer();
        BitmapTest::TearDown();
    }
    static void OnWorker(const std::function<void()>& work) {
        std::thread worker(work);
        worker.join();
    }
    // The renderer calls of one operation in each pass until the lists are
    // empty.
    std::vector<int> CallsPerPass(const char* operation) {
        std::vector<int> counts;
        while (QueuedEntries() > 0 && counts.size() < 100) {
            renderer_.ClearCalls();
            ZKI_ProcessBitmapResourceQueues();
            counts.push_back(renderer_.Count(operation));
        }
        return counts;
    }
    void WriteImages(int count) {
        for (int i = 0; i < count; ++i) WriteTga("img" + std::to_string(i) + ".tga", 2, 2, i);
    }
};

TEST_F(BitmapUpload, QueuedWorkIsDoneTenEntriesAFrame) {
    WriteImages(25);
    std::vector<zk_bitmap_t*> bitmaps;
    OnWorker([&] {
        for (int i = 0; i < 25; ++i)
            bitmaps.push_back(g()->ZK_Graphics_LoadBitmap(("img" + std::to_string(i) + ".tga").c_str(), 4));
    });
    // Nothing reached the renderer before the frame; the pixels wait.
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 0);
    EXPECT_NE(bitmaps[0]->pixels, nullptr);
    EXPECT_EQ(bitmaps[0]->state, ZK_BITMAP_READY);
    EXPECT_EQ(CallsPerPass("LoadBitmap"), (std::vector<int>{10, 10, 5}));
    for (zk_bitmap_t* bitmap : bitmaps) {
        EXPECT_TRUE(bitmap->hw_data.loaded) << bitmap->name;
        // Not kept in memory by its mode once uploaded.
        EXPECT_EQ(bitmap->pixels, nullptr) << bitmap->name;
    }

    OnWorker([&] {
        for (zk_bitmap_t* bitmap : bitmaps) g()->ZK_Graphics_ReleaseBitmap(bitmap);
    });
    EXPECT_EQ(renderer_.LiveTextures(), 25);
    EXPECT_EQ(CallsPerPass("FreeBitmap"), (std::vector<int>{10, 10, 5}));
    EXPECT_EQ(renderer_.LiveTextures(), 0);
}

TEST_F(BitmapUpload, AQueuedBitmapIsHandledOnceAndNotAfterItsRelease) {
    WriteImages(2);
    zk_bitmap_t *kept = nullptr, *dropped = nullptr;
    OnWorker([&] {
        kept = g()->ZK_Graphics_LoadBitmap("img0.tga", 6);
        g()->ZK_Graphics_LoadBitmap("img0.tga", 6);
        dropped = g()->ZK_Graphics_LoadBitmap("img1.tga", 6);
        g()->ZK_Graphics_ReleaseBitmap(dropped);
    });
    EXPECT_EQ(zk_state.bitmap_upload_queue.count, 2);
    ClearLines();
    EXPECT_EQ(CallsPerPass("LoadBitmap"), std::vector<int>{1});
    EXPECT_TRUE(kept->hw_data.loaded);
    EXPECT_NE(kept->pixels, nullptr) << "its mode keeps the pixels";
    EXPECT_FALSE(dropped->hw_data.loaded);
    EXPECT_EQ(Lines(), std::vector<std::string>{"1:[ZKI_ProcessBitmapResourceQueues] Data of bitmap 'img1.tga' is not "
                                                "valid anymore. Most likely it has just been released."});
}

TEST_F(BitmapUpload, RenderTargetsMadeOnOtherThreadsAreCreatedAtTheNextFrame) {
    zk_bitmap_t* target = nullptr;
    OnWorker([&] {
        zk_bitmap_parameters_t p = {7, ZK_TEXTURE_2D, 1, 32, 32, 1, 1};
        target = g()->ZK_Graphics_CreateBitmap("target", &p);
    });
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->state, ZK_BITMAP_READY);
    EXPECT_FALSE(target->hw_data.loaded);
    EXPECT_EQ(CallsPerPass("CreateRenderTarget"), std::vector<int>{1});
    EXPECT_TRUE(target->hw_data.loaded);
}

TEST_F(BitmapUpload, ATextureWaitingToBeRemadeIsStillFreedWithItsBitmap) {
    zk_bitmap_t* target = Create("target", 16, 16, true);
    ASSERT_TRUE(target->hw_data.loaded);
    OnWorker([&] {
        g()->ZK_Graphics_ResizeBitmap(target, 32, 32);
        g()->ZK_Graphics_RemoveBitmapHandle(target);
    });
    EXPECT_EQ(target->name, nullptr);
    EXPECT_EQ(zk_state.bitmap_upload_queue.count, 0);
    DrainQueues();
    EXPECT_EQ(renderer_.Count("CreateRenderTarget"), 1) << "not made again";
    EXPECT_EQ(renderer_.LiveTextures(), 0);
}

TEST_F(BitmapUpload, AFreedTextureLeavesEveryStageHoldingIt) {
    WriteImages(1);
    zk_bitmap_t* bitmap = g()->ZK_Graphics_LoadBitmap("img0.tga", 4);
    void* texture = bitmap->hw_data.renderer_data;
    ASSERT_NE(texture, nullptr);
    zk_batch_renderer.bound_textures[1] = texture;
    zk_batch_renderer.bound_textures[6] = texture;
    zk_batch_renderer.bound_textures[2] = &texture;  // another texture
    renderer_.ClearCalls();
    g()->ZK_Graphics_ReleaseBitmap(bitmap);
    EXPECT_EQ(renderer_.CallsOf("SetTexture"), (std::vector<std::string>{"SetTexture 1 null", "SetTexture 6 null"}));
    EXPECT_EQ(zk_batch_renderer.bound_textures[1], nullptr);
    EXPECT_EQ(zk_batch_renderer.bound_textures[2], &texture);
    EXPECT_EQ(renderer_.CallsOf("FreeBitmap"), std::vector<std::string>{"FreeBitmap " + RecordingRenderer::Pointer(texture)});
}

TEST_F(BitmapUpload, RendererWorkOnTheWrongThreadIsRefusedInDeveloperMode) {
    zk_state.developer_mode = 1;
    zk_bitmap_t bitmap = {};
    bool created = true, loaded = true;
    OnWorker([&] {
        created = ZKI_CallRendererToCreateBitmap(&bitmap);
        loaded = ZKI_CallRendererToLoadBitmap(&bitmap);
        bitmap.hw_data.loaded = 1;
        ZKI_CallRendererToFreeBitmap(&bitmap.hw_data);
    });
    zk_state.developer_mode = 0;
    EXPECT_FALSE(created);
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(bitmap.hw_data.loaded) << "nothing freed";
    EXPECT_EQ(renderer_.Count("CreateRenderTarget") + renderer_.Count("LoadBitmap") + renderer_.Count("FreeBitmap"), 0);
}

}  // namespace

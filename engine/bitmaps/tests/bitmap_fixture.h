// Set-up of the bitmap tests, over MediaTest: the recording renderer,
// initialised and making texture objects; the file systems with a
// temporary folder as the current directory (bitmap names are paths below
// it); the image loader. Afterwards every pooled bitmap is freed and the
// queues are drained, and no texture may be left in the renderer.
//
//   class MyTest : public BitmapTest {};
//   TEST_F(MyTest, ...) {
//       WriteTga("ui/button.tga", 4, 2);
//       zk_bitmap_t* b = g()->ZK_Graphics_LoadBitmap("ui/button", 4);
//   }
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine/screen/upload_pass.h"
#include "engine/imageformats/tests/image_test_support.h"
#include "engine/bitmaps/bitmap_api.h"
#include "engine/images/bitmap_pool.h"
#include "engine/bitmaps/bitmap_upload.h"
#include "engine/render/tests/media_fixture.h"
#include "engine/images/image_loader.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/tests/storage_test_support.h"

class BitmapTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        ZKFileSystem::Initialize();
        ZKI_InitImageLoader();
        char saved[4096];
        ASSERT_NE(getcwd(saved, sizeof(saved)), nullptr);
        saved_directory_ = saved;
        ASSERT_EQ(chdir(folder_.Path().c_str()), 0);
        renderer_.make_textures = true;
        zk_state.renderer_initialized = 1;
    }

    void TearDown() override {
        renderer_.Install();
        zk_state.renderer_initialized = 1;
        zk_state.render_targets = zk_graphics_api_t::RenderTargets();
        for (int i = 0; i < zk_state.num_bitmaps; ++i) {
            zk_bitmap_t* bitmap = &zk_state.bitmaps[i];
            if (!bitmap->name) continue;
            ZKI_FreeBitmap(bitmap);
        }
        DrainQueues();
        EXPECT_EQ(renderer_.LiveTextures(), 0) << "textures left in the renderer";
        ZKFileSystem::Deinitialize();
        EXPECT_EQ(chdir(saved_directory_.c_str()), 0);
        MediaTest::TearDown();
    }

    // Runs the bitmap pass until its lists are empty; the number of passes.
    static int DrainQueues() {
        int passes = 0;
        while (QueuedEntries() > 0 && passes < 1000) {
            ZKI_ProcessBitmapResourceQueues();
            ++passes;
        }
        return passes;
    }
    static int QueuedEntries() {
        ZKI_LockCoreMutex(ZK_CORE_MUTEX_RESOURCE_QUEUE);
        int count = zk_state.bitmap_release_queue.count + zk_state.bitmap_upload_queue.count +
                    zk_state.font_upload_queue.count;
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_RESOURCE_QUEUE);
        return count;
    }

    // Files below the temporary folder (folders made as needed).
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1))
            mkdir((folder_.Path() + "/" + name.substr(0, slash)).c_str(), 0755);
        std::ofstream out(folder_ / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    // A 32-bit TGA of image_test::ColourAt pixels, shifted by `seed` in x.
    void WriteTga(const std::string& name, int width, int height, int seed = 0) {
        image_test::Bytes tga = image_test::TgaHeader(2, width, height, 32, true);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) image_test::PutPixel(&tga, image_test::ColourAt(x + seed, y), 32);
        }
        Write(name, tga);
    }
    std::string Path(const std::string& name) const { return folder_ / name; }

    // CreateBitmap of a 2D bitmap of depth 1 (a render target when asked).
    zk_bitmap_t* Create(const char* name, int width, int height, bool render_target = false, uint32_t format = 7,
                        uint32_t type = ZK_TEXTURE_2D) {
        zk_bitmap_parameters_t p = {};
        p.format = format;
        p.type = type;
        p.renderer_hint = 1;
        p.width = width;
        p.height = height;
        p.depth = 1;
        p.render_target = render_target ? 1 : 0;
        return zk->graphics->ZK_Graphics_CreateBitmap(name, &p);
    }

    // Lines that were popups, as "type:text" without the popup mark.
    static std::vector<std::string> Popups() {
        std::vector<std::string> popups;
        const std::string mark = ":[POPUP] ";
        for (const std::string& line : Lines()) {
            size_t at = line.find(mark);
            if (at != std::string::npos) popups.push_back(line.substr(0, at) + ":" + line.substr(at + mark.size()));
        }
        return popups;
    }
    static bool WasSaid(const std::string& text) {
        for (const std::string& line : Lines()) {
            if (line.find(text) != std::string::npos) return true;
        }
        return false;
    }

    zk_graphics_api_t* g() const { return zk->graphics; }

    storage_test::TempDirectory folder_;

private:
    std::string saved_directory_;
};

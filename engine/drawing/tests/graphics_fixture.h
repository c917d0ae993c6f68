// A drawing engine for graphics tests: MediaTest's recording renderer,
// initialised, on a 640x480 landscape device, with the batch renderer's
// buffers made and its first ring buffer locked.
//
//   class MyTest : public GraphicsTest {};
//   TEST_F(MyTest, ...) {
//       zk_bitmap_t& hero = Bitmap("hero", 32, 16);   // ready to draw
//       zk->graphics->ZK_Graphics_DrawBitmap(&hero, 0, 0);
//       renderer_.CallsOf("DrawIndexedTriangles") ...
//   }
//
// Bitmaps made here live as long as the test; each has its own texture
// object (Texture(bitmap) is how the renderer records it). The batch
// renderer is put back to its constructed state afterwards.
#pragma once

#include <deque>
#include <string>

#include "engine/drawing/batch_renderer.h"
#include "engine/images/bitmap_pool.h"
#include "engine/render/tests/media_fixture.h"

class GraphicsTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        zk_device_info.screen_width = 640;
        zk_device_info.screen_height = 480;
        zk_device_info.orientation = 4;
        zk_parms.ref_width = 640;
        zk_parms.ref_height = 480;
        zk_state.renderer_initialized = 1;
        zk_state.renderer_vertex_color_format = renderer_.vertex_color_format;
        zk_batch_renderer = BatchRenderer();
        zk_batch_renderer.Initialize();
        renderer_.ClearCalls();
        ClearLines();
    }
    void TearDown() override {
        renderer_.Install();  // a test may have taken it away; its buffers go back to it
        zk_batch_renderer.FreeBuffers();
        zk_batch_renderer = BatchRenderer();
        zk_device_info = zk_device_info_t();
        zk_parms = zk_parms_t();
        MediaTest::TearDown();
    }

    // A bitmap ready to draw, with the whole of its own texture.
    zk_bitmap_t& Bitmap(const std::string& name, int width, int height) {
        bitmaps_.emplace_back();
        Texture& t = bitmaps_.back();
        t.name = name;
        zk_bitmap_t& b = t.bitmap;
        b.name = &t.name[0];
        b.width = b.texture_width = width;
        b.height = b.texture_height = height;
        b.depth = 1;
        b.type = ZK_TEXTURE_2D;
        b.state = ZK_BITMAP_READY;
        b.hw_data.loaded = 1;
        b.hw_data.uv[2] = b.hw_data.uv[3] = 1.0f;
        b.hw_data.texture_width = width;
        b.hw_data.texture_height = height;
        b.hw_data.renderer_data = &t.texture_object;
        return b;
    }
    zk_bitmap_t& RenderTarget(const std::string& name, int width, int height) {
        zk_bitmap_t& b = Bitmap(name, width, height);
        b.flags |= ZK_BITMAP_RENDER_TARGET;
        return b;
    }
    static std::string TextureOf(const zk_bitmap_t& bitmap) {
        return RecordingRenderer::Pointer(bitmap.hw_data.renderer_data);
    }

    // The renderer calls since the last ClearCalls whose operation is one of
    // these, in order.
    std::vector<std::string> CallsOf(std::initializer_list<const char*> operations) const {
        std::vector<std::string> found;
        for (const std::string& call : renderer_.Calls()) {
            for (const char* operation : operations) {
                if (call.compare(0, call.find(' '), operation) == 0) found.push_back(call);
            }
        }
        return found;
    }

    // Lines that were popups, as "type:text".
    static std::vector<std::string> Popups() {
        std::vector<std::string> popups;
        for (const std::string& line : Lines()) {
            if (line.find(":[POPUP] ") != std::string::npos) popups.push_back(line);
        }
        return popups;
    }

    zk_graphics_api_t* g() const { return zk->graphics; }

private:
    struct Texture {
        std::string name;
        zk_bitmap_t bitmap = {};
        int texture_object = 0;
    };
    std::deque<Texture> bitmaps_;
};

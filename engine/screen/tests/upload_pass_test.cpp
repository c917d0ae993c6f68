// The upload pass: its order, and its timing warning on the engine clock.

#include "engine/screen/upload_pass.h"

#include <string>
#include <thread>
#include <vector>

#include "engine/drawing/vertex_buffers.h"
#include "engine/render/tests/media_fixture.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/tests/settable_clock.h"
#include "engine/shaders/run_time_shaders.h"

namespace {

std::vector<std::string> passes;
SettableClock* the_clock = nullptr;
int64_t bitmap_pass_ms = 0;

// Each pass has work waiting, which shows it at work through the renderer:
// a texture to free (the bitmap pass, which takes bitmap_pass_ms), a shader
// object a reload replaced (the shader pass); a test that wants the buffer
// pass queues a buffer.
int texture = 0, shader_object = 0;
void QueueBitmapAndShaderWork() {
    zk_bitmap_t::hw_data_t hw = {};
    hw.loaded = 1;
    hw.renderer_data = &texture;
    zk_state.bitmap_release_queue.InsertLast(hw);
    zk_shader_t replaced = {};
    replaced.renderer_shader = &shader_object;
    replaced.flags = ZK_SHADER_LOADED;
    replaced_renderer_shaders.InsertLast(replaced);
}

void NotePass(const std::string& call) {
    if (call == "FreeBitmap " + RecordingRenderer::Pointer(&texture)) {
        passes.push_back("bitmaps");
        the_clock->Advance(bitmap_pass_ms);
    }
    if (call.rfind("CreateVertexBuffer", 0) == 0) passes.push_back("buffers");
    if (call.rfind("FreeShader", 0) == 0) passes.push_back("shaders");
}

class UploadPassTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        passes.clear();
        the_clock = &clock_;
        bitmap_pass_ms = 0;
        renderer_.on_call = NotePass;
    }
    void TearDown() override {
        the_clock = nullptr;
        MediaTest::TearDown();
    }
    SettableClock clock_;
};

TEST_F(UploadPassTest, SlowUploadsAreReportedFrom201Milliseconds) {
    struct Case {
        int64_t spent;
        bool warned;
    } cases[] = {{0, false}, {200, false}, {201, true}, {250, true}};
    for (const Case& c : cases) {
        ClearLines();
        bitmap_pass_ms = c.spent;
        clock_.Advance(16);  // time between frames does not count
        QueueBitmapAndShaderWork();
        ZKI_UpdateResourceQueues();
        std::vector<std::string> expected;
        if (c.warned) expected.push_back("1:Spent " + std::to_string(c.spent) + " msecs uploading resources to GPU!");
        EXPECT_EQ(Lines(), expected) << c.spent;
    }
}

TEST_F(UploadPassTest, PassesRunBitmapsThenBuffersThenShaders) {
    zk_vertex_buffer_t* handle = nullptr;
    std::thread worker([&] { handle = ZK_Graphics_CreateVertexBufferWithVertices(7, nullptr, 4, 0); });
    worker.join();
    QueueBitmapAndShaderWork();
    ZKI_UpdateResourceQueues();
    EXPECT_EQ(passes, (std::vector<std::string>{"bitmaps", "buffers", "shaders"}));
    ZK_Graphics_FreeVertexBuffer(handle);
}

}  // namespace

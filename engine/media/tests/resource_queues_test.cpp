// The upload pass: its order, its timing warning on the engine clock, and
// the thread tests that decide between doing work now and queueing it.

#include "engine/media/resource_queues.h"

#include <string>
#include <thread>
#include <vector>

#include "engine/media/run_time_shaders.h"
#include "engine/media/tests/media_fixture.h"
#include "engine/media/tests/settable_clock.h"
#include "engine/media/vertex_buffers.h"
#include "engine/runtime/interface_functions.h"

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

class ResourceQueuesTest : public MediaTest {
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

TEST_F(ResourceQueuesTest, SlowUploadsAreReportedFrom201Milliseconds) {
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

TEST_F(ResourceQueuesTest, PassesRunBitmapsThenBuffersThenShaders) {
    zk_vertex_buffer_t* handle = nullptr;
    std::thread worker([&] { handle = ZK_Graphics_CreateVertexBufferWithVertices(7, nullptr, 4, 0); });
    worker.join();
    QueueBitmapAndShaderWork();
    ZKI_UpdateResourceQueues();
    EXPECT_EQ(passes, (std::vector<std::string>{"bitmaps", "buffers", "shaders"}));
    ZK_Graphics_FreeVertexBuffer(handle);
}

TEST_F(ResourceQueuesTest, OnlyTheMainThreadIsTheRendererThread) {
    EXPECT_TRUE(ZKI_IsRendererThread());
    bool worker_is_renderer = true;
    std::thread worker([&] { worker_is_renderer = ZKI_IsRendererThread(); });
    worker.join();
    EXPECT_FALSE(worker_is_renderer);
}

TEST_F(ResourceQueuesTest, ThreadSafeBitsLetWorkRunOnAnyThread) {
    struct Case {
        int features;
        int bit;
        bool allowed;
    } cases[] = {
        {0, ZK_RENDERER_THREAD_SAFE_BITMAPS, false},      {1, ZK_RENDERER_THREAD_SAFE_BITMAPS, true},
        {6, ZK_RENDERER_THREAD_SAFE_BITMAPS, false},      {2, ZK_RENDERER_THREAD_SAFE_BUFFER_FREES, true},
        {5, ZK_RENDERER_THREAD_SAFE_BUFFER_FREES, false}, {4, ZK_RENDERER_THREAD_SAFE_SHADERS, true},
    };
    for (const Case& c : cases) {
        renderer_.thread_safe_features = c.features;
        EXPECT_EQ(ZKI_RendererAllowsAnyThread(c.bit), c.allowed) << c.features << " bit " << c.bit;
    }
    renderer_.thread_safe_features = 7;
    renderer_.Uninstall();
    EXPECT_FALSE(ZKI_RendererAllowsAnyThread(ZK_RENDERER_THREAD_SAFE_BITMAPS));
}

TEST_F(ResourceQueuesTest, QueueHoldsAResourceOnce) {
    int a = 0, b = 0;
    nArray<int*> queue;
    ZKI_QueueOnce(queue, &a);
    ZKI_QueueOnce(queue, &b);
    ZKI_QueueOnce(queue, &a);
    EXPECT_EQ(queue.count, 2);
    EXPECT_TRUE(ZKI_IsQueued(queue, &b));
    queue.RemoveItem(&b);
    EXPECT_FALSE(ZKI_IsQueued(queue, &b));
}

}  // namespace

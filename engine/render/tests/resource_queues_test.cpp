// The thread tests that decide between doing renderer work now and queueing
// it, and the wait for a lost renderer.

#include "engine/render/resource_queues.h"

#include <string>
#include <thread>
#include <vector>

#include "engine/render/tests/media_fixture.h"

namespace {

class ResourceQueuesTest : public MediaTest {};

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

// --- Regaining a lost renderer ---------------------------------------------------------------

// Sleeps are counted; at sleep number `comes_back_at` the renderer comes
// back (ready or not).
int sleeps = 0;
int comes_back_at = 0;
bool comes_back_ready = true;
RendererImplementation* coming_back = nullptr;
void CountSleep(int) {
    if (++sleeps != comes_back_at) return;
    ri = coming_back;
    zk_state.renderer_initialized = comes_back_ready ? 1 : 0;
}

TEST_F(ResourceQueuesTest, RegainingWaitsForTheRendererToComeBack) {
    struct Case {
        const char* name;
        bool present;
        int comes_back_at;  // 0: never
        bool ready;
        bool regained;
        int sleeps;
        std::vector<std::string> lines;
    } cases[] = {
        {"present", true, 0, true, true, 0, {}},
        {"back at the third wait",
         false,
         3,
         true,
         true,
         3,
         {"0:Renderer implementation lost, trying to regain...\n", "0:Renderer reclaimed at try #3.\n"}},
        {"never back", false, 0, true, false, 10, {"0:Renderer implementation lost, trying to regain...\n"}},
        {"back but never ready", false, 2, false, true, 10,
         {"0:Renderer implementation lost, trying to regain...\n"}},
    };
    zk->ZKT_Sleep = CountSleep;
    coming_back = &renderer_;
    for (const Case& c : cases) {
        int lines_before = static_cast<int>(Lines().size());
        sleeps = 0;
        comes_back_at = c.comes_back_at;
        comes_back_ready = c.ready;
        ri = c.present ? &renderer_ : nullptr;
        zk_state.renderer_initialized = 0;
        EXPECT_EQ(ZKI_TryRegainRenderer(), c.regained) << c.name;
        EXPECT_EQ(sleeps, c.sleeps) << c.name;
        std::vector<std::string> lines = Lines();
        EXPECT_EQ(std::vector<std::string>(lines.begin() + lines_before, lines.end()), c.lines) << c.name;
    }
    zk_state.renderer_initialized = 0;
}

}  // namespace

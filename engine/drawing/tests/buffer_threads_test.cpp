// Buffers created, written and freed from eight threads at once while the
// main thread drains the queues: every renderer buffer made is freed again,
// the memory counters return to 0, the kept buffers hold what their thread
// wrote, and nothing is left queued. The sanitizer builds watch for leaks
// and races.

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "engine/render/tests/media_fixture.h"
#include "engine/drawing/vertex_buffers.h"
#include "engine/runtime/interface_functions.h"

namespace {

const int kThreads = 8;
const int kRounds = 150;
const unsigned int kVertices = 6;
const unsigned int kIndices = 9;

// What one thread keeps to the end: a vertex and an index buffer it wrote.
struct Kept {
    zk_vertex_buffer_t* vertices = nullptr;
    zk_index_buffer_t* indices = nullptr;
    uint8_t seed = 0;
};

void Fill(void* data, size_t bytes, uint8_t seed) {
    uint8_t* out = static_cast<uint8_t*>(data);
    for (size_t i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(seed + i);
}

bool Holds(const void* data, size_t bytes, uint8_t seed) {
    const uint8_t* in = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < bytes; ++i)
        if (in[i] != static_cast<uint8_t>(seed + i)) return false;
    return true;
}

// One thread's work: each round makes a buffer of each kind, some with
// data and some written under a lock, and frees them, some at once and
// some a round later.
void Work(int thread, Kept* kept) {
    zk_vertex_buffer_t* previous_vertices = nullptr;
    zk_index_buffer_t* previous_indices = nullptr;
    std::vector<uint8_t> data(24 * kVertices);
    for (int round = 0; round < kRounds; ++round) {
        uint8_t seed = static_cast<uint8_t>(thread * 31 + round);
        Fill(data.data(), data.size(), seed);
        zk_vertex_buffer_t* v = ZK_Graphics_CreateVertexBufferWithVertices(7, round % 2 ? data.data() : nullptr,
                                                                           kVertices, round % 3 == 0 ? 0 : 1);
        zk_index_buffer_t* i = ZK_Graphics_CreateIndexBufferWithIndices(
            round % 2 ? reinterpret_cast<unsigned short*>(data.data()) : nullptr, kIndices, 1);
        if (ZK_Graphics_LockVertexBuffer(v)) {
            Fill(v->data, 24 * kVertices, seed);
            ZK_Graphics_UnlockVertexBuffer(v);
        }
        if (ZK_Graphics_LockIndexBuffer(i)) {
            Fill(i->data, 2 * kIndices, seed);
            ZK_Graphics_UnlockIndexBuffer(i);
        }
        ZK_Graphics_FreeVertexBuffer(previous_vertices);
        ZK_Graphics_FreeIndexBuffer(previous_indices);
        previous_vertices = v;
        previous_indices = i;
        if (round % 4 == 0) std::this_thread::yield();
    }
    kept->vertices = previous_vertices;
    kept->indices = previous_indices;
    kept->seed = static_cast<uint8_t>(thread * 31 + kRounds - 1);
}

bool QueuesEmpty() {
    const zk_state_t& s = zk_state;
    return s.vertex_buffer_create_queue.count + s.vertex_buffer_free_queue.count + s.vertex_buffer_load_queue.count +
               s.index_buffer_create_queue.count + s.index_buffer_free_queue.count + s.index_buffer_load_queue.count ==
           0;
}

class BufferThreadsTest : public MediaTest, public ::testing::WithParamInterface<int> {};

TEST_P(BufferThreadsTest, EightThreadsCreateAndFreeWhileTheMainThreadDrains) {
    renderer_.thread_safe_features = GetParam();
    std::vector<Kept> kept(kThreads);
    std::atomic<int> running{kThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &kept, &running] {
            Work(t, &kept[t]);
            --running;
        });
    }
    while (running > 0) ZKI_ProcessBufferResourceQueues();
    for (std::thread& thread : threads) thread.join();
    ZKI_ProcessBufferResourceQueues();
    ZKI_ProcessBufferResourceQueues();
    EXPECT_TRUE(QueuesEmpty());

    for (const Kept& k : kept) {
        ASSERT_NE(k.vertices->buffer, nullptr);
        ASSERT_NE(k.indices->buffer, nullptr);
        EXPECT_TRUE(Holds(k.vertices->buffer->data, 24 * kVertices, k.seed));
        EXPECT_TRUE(Holds(k.indices->buffer->data, 2 * kIndices, k.seed));
        ZK_Graphics_FreeVertexBuffer(k.vertices);
        ZK_Graphics_FreeIndexBuffer(k.indices);
    }
    EXPECT_TRUE(QueuesEmpty());
    EXPECT_EQ(zk_state.vertex_buffer_memory, 0);
    EXPECT_EQ(zk_state.index_buffer_memory, 0);
    EXPECT_EQ(renderer_.Count("CreateVertexBuffer"), renderer_.Count("FreeVertexBuffer"));
    EXPECT_EQ(renderer_.Count("CreateIndexBuffer"), renderer_.Count("FreeIndexBuffer"));
    EXPECT_GT(renderer_.Count("CreateVertexBuffer"), 0);
}

// Frees queued for the main thread, and frees the renderer accepts from
// any thread.
INSTANTIATE_TEST_SUITE_P(FreeQueued, BufferThreadsTest, ::testing::Values(0));
INSTANTIATE_TEST_SUITE_P(FreeOnAnyThread, BufferThreadsTest,
                         ::testing::Values(static_cast<int>(ZK_RENDERER_THREAD_SAFE_BUFFER_FREES)));

}  // namespace

// Vertex and index buffers: creation, locking, unlocking and freeing on the
// renderer thread and from workers, through the queues and the buffer pass.
// Both families run every case. Handles and pending copies that must be
// freed are watched by the leak checker of the sanitizer build.

#include "engine/drawing/vertex_buffers.h"

#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "engine/drawing/batch_renderer.h"
#include "engine/render/tests/media_fixture.h"
#include "engine/runtime/interface_functions.h"

namespace {

void OnWorker(const std::function<void()>& work) {
    std::thread worker(work);
    worker.join();
}

struct Vertices {
    typedef zk_vertex_buffer_t Handle;
    static constexpr int kFormat = 7;
    static constexpr size_t kElementBytes = 24;
    static std::string Operation(const char* verb) { return std::string(verb) + "VertexBuffer"; }
    static Handle* Create(const void* data, unsigned int count, int usage = 0) {
        return ZK_Graphics_CreateVertexBufferWithVertices(kFormat, const_cast<void*>(data), count, usage);
    }
    static bool Lock(Handle* h) { return ZK_Graphics_LockVertexBuffer(h); }
    static void Unlock(Handle* h) { ZK_Graphics_UnlockVertexBuffer(h); }
    static void Free(Handle* h) { ZK_Graphics_FreeVertexBuffer(h); }
    static const void* RendererBytes(Handle* h) { return h->buffer->data; }
    static bool RendererLocked(Handle* h) { return h->buffer->locked != 0; }
    static void FreeInRenderer(RendererImplementation& r, VertexBuffer* b) { r.FreeVertexBuffer(b); }
    static nArray<Handle*>& CreateQueue() { return zk_state.vertex_buffer_create_queue; }
    static nArray<Handle*>& FreeQueue() { return zk_state.vertex_buffer_free_queue; }
    static nArray<Handle*>& LoadQueue() { return zk_state.vertex_buffer_load_queue; }
    static int32_t Memory() { return zk_state.vertex_buffer_memory; }
};

struct Indices {
    typedef zk_index_buffer_t Handle;
    static constexpr size_t kElementBytes = 2;
    static std::string Operation(const char* verb) { return std::string(verb) + "IndexBuffer"; }
    static Handle* Create(const void* data, unsigned int count, int usage = 0) {
        return ZK_Graphics_CreateIndexBufferWithIndices(static_cast<unsigned short*>(const_cast<void*>(data)), count,
                                                        usage);
    }
    static bool Lock(Handle* h) { return ZK_Graphics_LockIndexBuffer(h); }
    static void Unlock(Handle* h) { ZK_Graphics_UnlockIndexBuffer(h); }
    static void Free(Handle* h) { ZK_Graphics_FreeIndexBuffer(h); }
    static const void* RendererBytes(Handle* h) { return h->buffer->data; }
    static bool RendererLocked(Handle* h) { return h->buffer->locked != 0; }
    static void FreeInRenderer(RendererImplementation& r, IndexBuffer* b) { r.FreeIndexBuffer(b); }
    static nArray<Handle*>& CreateQueue() { return zk_state.index_buffer_create_queue; }
    static nArray<Handle*>& FreeQueue() { return zk_state.index_buffer_free_queue; }
    static nArray<Handle*>& LoadQueue() { return zk_state.index_buffer_load_queue; }
    static int32_t Memory() { return zk_state.index_buffer_memory; }
};

template <class F>
class BufferTest : public MediaTest {
protected:
    typedef typename F::Handle Handle;
    static constexpr unsigned int kCount = 4;

    // Bytes of one whole buffer, each one `seed` + its index.
    static std::vector<uint8_t> Pattern(uint8_t seed) {
        std::vector<uint8_t> bytes(F::kElementBytes * kCount);
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(seed + i);
        return bytes;
    }
    static void Write(Handle* h, uint8_t seed) {
        std::vector<uint8_t> bytes = Pattern(seed);
        memcpy(h->data, bytes.data(), bytes.size());
    }
    static bool RendererHolds(Handle* h, uint8_t seed) {
        std::vector<uint8_t> bytes = Pattern(seed);
        return h->buffer && memcmp(F::RendererBytes(h), bytes.data(), bytes.size()) == 0;
    }
    static int Queued() { return F::CreateQueue().count + F::FreeQueue().count + F::LoadQueue().count; }
    int Calls(const char* verb) { return renderer_.Count(F::Operation(verb)); }
};

typedef ::testing::Types<Vertices, Indices> Families;
TYPED_TEST_SUITE(BufferTest, Families);

TYPED_TEST(BufferTest, CreatedOnTheRendererThreadHoldsItsData) {
    std::vector<uint8_t> data = this->Pattern(10);
    auto* h = TypeParam::Create(data.data(), this->kCount);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(this->RendererHolds(h, 10));
    EXPECT_FALSE(TypeParam::RendererLocked(h));
    EXPECT_EQ(h->data, nullptr);
    EXPECT_EQ(h->flags, 0);
    EXPECT_EQ(TypeParam::Memory(), static_cast<int32_t>(data.size()));
    EXPECT_EQ(this->Queued(), 0);
    TypeParam::Free(h);
    EXPECT_EQ(this->Calls("Free"), 1);
    EXPECT_EQ(TypeParam::Memory(), 0);

    // A renderer that cannot make one: no handle.
    this->renderer_.create_buffers = false;
    EXPECT_EQ(TypeParam::Create(data.data(), this->kCount), nullptr);
    EXPECT_EQ(TypeParam::Memory(), 0);
}

TYPED_TEST(BufferTest, CreatedFromAWorkerReachesTheRendererAtTheNextPass) {
    std::vector<uint8_t> data = this->Pattern(20);
    typename TypeParam::Handle* h = nullptr;
    OnWorker([&] { h = TypeParam::Create(data.data(), this->kCount); });
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->buffer, nullptr);
    EXPECT_EQ(TypeParam::CreateQueue().count, 1);
    data.assign(data.size(), 0);  // the handle holds its own copy
    ZKI_ProcessBufferResourceQueues();
    EXPECT_TRUE(this->RendererHolds(h, 20));
    EXPECT_EQ(h->flags, 0);
    EXPECT_EQ(h->data, nullptr);
    EXPECT_EQ(this->Queued(), 0);
    TypeParam::Free(h);
}

TYPED_TEST(BufferTest, LockAndUnlockOnTheRendererThread) {
    auto* h = TypeParam::Create(nullptr, this->kCount);
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(TypeParam::Lock(nullptr));
    TypeParam::Unlock(nullptr);

    ASSERT_TRUE(TypeParam::Lock(h));
    EXPECT_EQ(static_cast<const void*>(h->data), TypeParam::RendererBytes(h));
    EXPECT_EQ(h->flags, ZK_BUFFER_LOCKED | ZK_BUFFER_LOCKED_ON_RENDERER_THREAD);
    EXPECT_TRUE(TypeParam::RendererLocked(h));
    // A second lock is refused and leaves the first one in place.
    void* address = h->data;
    EXPECT_FALSE(TypeParam::Lock(h));
    EXPECT_EQ(static_cast<void*>(h->data), address);
    EXPECT_TRUE(TypeParam::RendererLocked(h));

    this->Write(h, 30);
    TypeParam::Unlock(h);
    EXPECT_EQ(h->data, nullptr);
    EXPECT_EQ(h->flags, 0);
    EXPECT_FALSE(TypeParam::RendererLocked(h));
    EXPECT_TRUE(this->RendererHolds(h, 30));
    // Unlocking again does not lock it.
    int locks = this->Calls("Lock");
    TypeParam::Unlock(h);
    EXPECT_EQ(this->Calls("Lock"), locks);
    EXPECT_FALSE(TypeParam::RendererLocked(h));
    EXPECT_EQ(this->Queued(), 0);
    TypeParam::Free(h);
}

TYPED_TEST(BufferTest, WorkerWritesReachTheRendererOnceAtTheNextPass) {
    auto* h = TypeParam::Create(nullptr, this->kCount);
    ASSERT_NE(h, nullptr);
    OnWorker([&] {
        ASSERT_TRUE(TypeParam::Lock(h));
        EXPECT_NE(static_cast<const void*>(h->data), TypeParam::RendererBytes(h));  // a pending copy
        EXPECT_EQ(h->flags, ZK_BUFFER_LOCKED | ZK_BUFFER_OWNS_PENDING_COPY);
        this->Write(h, 40);
        TypeParam::Unlock(h);
        TypeParam::Unlock(h);
    });
    EXPECT_EQ(TypeParam::LoadQueue().count, 1);
    EXPECT_FALSE(this->RendererHolds(h, 40));
    ZKI_ProcessBufferResourceQueues();
    EXPECT_TRUE(this->RendererHolds(h, 40));
    EXPECT_EQ(h->flags, 0);
    EXPECT_EQ(h->data, nullptr);
    EXPECT_EQ(this->Queued(), 0);
    // An unlock with no lock before it queues nothing.
    OnWorker([&] { TypeParam::Unlock(h); });
    EXPECT_EQ(this->Queued(), 0);
    TypeParam::Free(h);
}

// The renderer thread may lock a buffer a worker has just written and
// unlocked, before the next pass: it gets the buffer's address at once,
// and the worker's writes and its own both reach the renderer's buffer.
TYPED_TEST(BufferTest, ARendererThreadLockRightAfterAWorkersUnlockKeepsBothWrites) {
    auto* h = TypeParam::Create(nullptr, this->kCount);
    ASSERT_NE(h, nullptr);
    OnWorker([&] {
        ASSERT_TRUE(TypeParam::Lock(h));
        this->Write(h, 60);
        TypeParam::Unlock(h);
    });
    ASSERT_TRUE(TypeParam::Lock(h));
    EXPECT_EQ(static_cast<const void*>(h->data), TypeParam::RendererBytes(h));
    EXPECT_TRUE(this->RendererHolds(h, 60)) << "the worker's writes went up first";
    const size_t half = TypeParam::kElementBytes * this->kCount / 2;
    std::vector<uint8_t> own = this->Pattern(70);
    memcpy(reinterpret_cast<uint8_t*>(h->data) + half, own.data() + half, half);
    TypeParam::Unlock(h);
    ZKI_ProcessBufferResourceQueues();

    std::vector<uint8_t> expected = this->Pattern(60);
    memcpy(expected.data() + half, own.data() + half, half);
    EXPECT_EQ(memcmp(TypeParam::RendererBytes(h), expected.data(), expected.size()), 0);
    EXPECT_FALSE(TypeParam::RendererLocked(h));
    EXPECT_EQ(h->flags, 0);
    EXPECT_EQ(this->Queued(), 0);
    TypeParam::Free(h);
}

TYPED_TEST(BufferTest, LockedWhileItsCreationWaitsUploadsAfterItsUnlock) {
    typename TypeParam::Handle* h = nullptr;
    OnWorker([&] {
        h = TypeParam::Create(nullptr, this->kCount);
        ASSERT_TRUE(TypeParam::Lock(h));
        this->Write(h, 50);
    });
    ZKI_ProcessBufferResourceQueues();
    ASSERT_NE(h->buffer, nullptr);
    EXPECT_NE(h->flags & ZK_BUFFER_LOCKED, 0);  // still the program's to write
    EXPECT_FALSE(this->RendererHolds(h, 50));
    OnWorker([&] { TypeParam::Unlock(h); });
    ZKI_ProcessBufferResourceQueues();
    EXPECT_TRUE(this->RendererHolds(h, 50));
    EXPECT_EQ(h->flags, 0);
    TypeParam::Free(h);
}

TYPED_TEST(BufferTest, FreedFromAWorkerBeforeItsCreationIsNeverCreated) {
    std::vector<uint8_t> data = this->Pattern(60);
    OnWorker([&] {
        auto* h = TypeParam::Create(data.data(), this->kCount);
        TypeParam::Free(h);
    });
    EXPECT_EQ(TypeParam::CreateQueue().count, 0);
    EXPECT_EQ(TypeParam::FreeQueue().count, 1);
    ZKI_ProcessBufferResourceQueues();
    EXPECT_EQ(this->Calls("Create"), 0);
    EXPECT_EQ(this->Queued(), 0);
}

TYPED_TEST(BufferTest, LockedBufferWaitsInTheFreeQueue) {
    auto* h = TypeParam::Create(nullptr, this->kCount);
    ASSERT_TRUE(TypeParam::Lock(h));
    OnWorker([&] { TypeParam::Free(h); });
    ZKI_ProcessBufferResourceQueues();
    ZKI_ProcessBufferResourceQueues();
    EXPECT_EQ(TypeParam::FreeQueue().count, 1);
    EXPECT_EQ(this->Calls("Free"), 0);
    TypeParam::Unlock(h);
    ZKI_ProcessBufferResourceQueues();
    EXPECT_EQ(this->Calls("Free"), 1);
    EXPECT_EQ(this->Queued(), 0);
    EXPECT_EQ(TypeParam::Memory(), 0);
}

TYPED_TEST(BufferTest, UnlockedAndFreedBeforeTheFrameIsFreedAtIt) {
    auto* h = TypeParam::Create(nullptr, this->kCount);
    OnWorker([&] {
        ASSERT_TRUE(TypeParam::Lock(h));
        this->Write(h, 70);
        TypeParam::Unlock(h);
        TypeParam::Free(h);
    });
    ZKI_ProcessBufferResourceQueues();
    EXPECT_EQ(this->Calls("Free"), 1);
    EXPECT_EQ(this->Queued(), 0);
    EXPECT_EQ(TypeParam::Memory(), 0);
}

TYPED_TEST(BufferTest, RendererThatCannotCreateLeavesNothingBehind) {
    this->renderer_.create_buffers = false;
    std::vector<uint8_t> data = this->Pattern(80);
    typename TypeParam::Handle* with_data = nullptr;
    typename TypeParam::Handle* locked = nullptr;
    OnWorker([&] {
        with_data = TypeParam::Create(data.data(), this->kCount);
        locked = TypeParam::Create(nullptr, this->kCount);
        ASSERT_TRUE(TypeParam::Lock(locked));
    });
    ZKI_ProcessBufferResourceQueues();
    EXPECT_EQ(with_data->buffer, nullptr);
    EXPECT_EQ(with_data->data, nullptr);  // its copy is of no more use
    // The locked one keeps the copy the program is writing into.
    ASSERT_NE(locked->data, nullptr);
    OnWorker([&] {
        this->Write(locked, 81);
        TypeParam::Unlock(locked);
    });
    ZKI_ProcessBufferResourceQueues();
    EXPECT_EQ(TypeParam::LoadQueue().count, 1);  // waits for a buffer that never comes
    OnWorker([&] {
        TypeParam::Free(with_data);
        TypeParam::Free(locked);
    });
    ZKI_ProcessBufferResourceQueues();
    EXPECT_EQ(this->Queued(), 0);
    EXPECT_EQ(TypeParam::Memory(), 0);
}

TYPED_TEST(BufferTest, ThreadSafeFreesHappenOnTheCallingThread) {
    this->renderer_.thread_safe_features = ZK_RENDERER_THREAD_SAFE_BUFFER_FREES;
    auto* h = TypeParam::Create(nullptr, this->kCount);
    OnWorker([&] { TypeParam::Free(h); });
    EXPECT_EQ(this->Calls("Free"), 1);
    EXPECT_EQ(this->Queued(), 0);
    EXPECT_EQ(TypeParam::Memory(), 0);
}

TYPED_TEST(BufferTest, FreedAfterTheRendererIsGoneOnlyTheHandleGoes) {
    auto* h = TypeParam::Create(nullptr, this->kCount);
    ASSERT_NE(h, nullptr);
    auto* buffer = h->buffer;
    this->renderer_.Uninstall();
    TypeParam::Free(h);
    EXPECT_EQ(TypeParam::Memory(), 0);
    EXPECT_EQ(this->Calls("Free"), 0);
    TypeParam::FreeInRenderer(this->renderer_, buffer);  // what the renderer's own end would do
}

TYPED_TEST(BufferTest, RendererLocksAreCountedByUsage) {
    zk_batch_renderer.lock_counts[0] = zk_batch_renderer.lock_counts[1] = 0;
    auto* fixed = TypeParam::Create(nullptr, this->kCount, 0);
    auto* dynamic = TypeParam::Create(nullptr, this->kCount, 1);
    ASSERT_TRUE(TypeParam::Lock(fixed));
    TypeParam::Unlock(fixed);
    ASSERT_TRUE(TypeParam::Lock(dynamic));
    TypeParam::Unlock(dynamic);
    ASSERT_TRUE(TypeParam::Lock(dynamic));
    TypeParam::Unlock(dynamic);
    EXPECT_EQ(zk_batch_renderer.lock_counts[0], 1);
    EXPECT_EQ(zk_batch_renderer.lock_counts[1], 2);
    TypeParam::Free(fixed);
    TypeParam::Free(dynamic);
}

// --- Vertex formats ------------------------------------------------------------------------------

typedef MediaTest VertexFormatTest;

TEST_F(VertexFormatTest, StrideComesFromTheTable) {
    struct Case {
        zk_vertex_format_t format;
        int stride;
    } cases[] = {
        {1, 12},  {7, 24},  {15, 36}, {47, 48}, {111, 60}, {385, 32}, {399, 56}, {495, 80},
        {3, 24},  // position and colour: not the 16 bytes of its bits
        {0, 24},  {5, 24},  {-1, 24},
    };
    for (const Case& c : cases) EXPECT_EQ(ZKI_GetVertexFormatStride(c.format), c.stride) << c.format;

    zk_vertex_buffer_t* h = ZK_Graphics_CreateVertexBufferWithVertices(15, nullptr, 2, 1);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(renderer_.CallsOf("CreateVertexBuffer"), std::vector<std::string>{"CreateVertexBuffer 15 2 1"});
    EXPECT_EQ(zk_state.vertex_buffer_memory, 72);
    ZK_Graphics_FreeVertexBuffer(h);
    static_assert(sizeof(zk_vertex_t) == 24, "the vertex of format 7");
}

}  // namespace

// The same bitmaps loaded and released from eight threads at once while
// the main thread runs the upload pass: the counts end where the loads
// and releases leave them, the bitmaps nobody holds are hibernated, every
// texture made is freed again and nothing stays queued. The sanitizer
// builds watch for leaks and races.

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "engine/screen/upload_pass.h"
#include "engine/bitmaps/tests/bitmap_fixture.h"

namespace {

const int kThreads = 8;
const int kNames = 4;
const int kRounds = 60;

std::string NameOf(int i) { return "shared" + std::to_string(i) + ".tga"; }

class BitmapThreads : public BitmapTest {};

// A bitmap that someone holds is never hibernated (its mode is read under
// its lock).
bool Hibernated(zk_bitmap_t* bitmap) {
    ZKI_LockBitmap(bitmap);
    bool hibernated = bitmap->cache_mode == ZK_CACHE_NOTHING;
    ZKI_UnlockBitmap(bitmap);
    return hibernated;
}

// One thread's work: loads and releases every name, sometimes holding two
// references at once, in a different order per thread; at the end it
// keeps one reference to the name of its own number.
void Work(int thread, std::atomic<int>* failures) {
    for (int round = 0; round < kRounds; ++round) {
        int mode = (round + thread) % 3 == 0 ? ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE : ZK_CACHE_TEXTURE;
        std::string name = NameOf((round + thread) % kNames);
        zk_bitmap_t* bitmap = zk->graphics->ZK_Graphics_LoadBitmap(name.c_str(), mode);
        if (!bitmap) {
            ++*failures;
            continue;
        }
        if (round % 4 == 1) {
            zk_bitmap_t* again = zk->graphics->ZK_Graphics_LoadBitmap(name.c_str(), mode);
            if (again != bitmap) ++*failures;
            zk->graphics->ZK_Graphics_ReleaseBitmap(again);
        }
        std::this_thread::yield();
        if (Hibernated(bitmap)) ++*failures;
        zk->graphics->ZK_Graphics_ReleaseBitmap(bitmap);
    }
    zk->graphics->ZK_Graphics_LoadBitmap(NameOf(thread % kNames).c_str(), ZK_CACHE_TEXTURE);
}

TEST_F(BitmapThreads, CountsAndTexturesComeOutRight) {
    for (int i = 0; i < kNames; ++i) WriteTga(NameOf(i), 4, 3, i);
    std::atomic<int> failures(0);
    std::atomic<int> running(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &failures, &running] {
            Work(t, &failures);
            --running;
        });
    }
    while (running > 0) {
        ZKI_ProcessBitmapResourceQueues();
        std::this_thread::yield();
    }
    for (std::thread& thread : threads) thread.join();
    DrainQueues();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(QueuedEntries(), 0);

    ASSERT_EQ(zk_state.num_bitmaps, kNames);
    for (int i = 0; i < kNames; ++i) {
        zk_bitmap_t* bitmap = &zk_state.bitmaps[i];
        ASSERT_NE(bitmap->name, nullptr);
        EXPECT_EQ(bitmap->reference_count, kThreads / kNames) << bitmap->name;
        EXPECT_EQ(bitmap->state, ZK_BITMAP_READY) << bitmap->name;
        EXPECT_TRUE(bitmap->hw_data.loaded) << bitmap->name;
        EXPECT_EQ(bitmap->width, 4) << bitmap->name;
    }
    EXPECT_EQ(renderer_.LiveTextures(), kNames);

    // The kept references go from the main thread: every texture with them.
    for (int i = 0; i < kNames; ++i) {
        zk_bitmap_t* bitmap = &zk_state.bitmaps[i];
        for (int r = 0; r < kThreads / kNames; ++r) zk->graphics->ZK_Graphics_ReleaseBitmap(bitmap);
        EXPECT_EQ(bitmap->reference_count, 0);
        EXPECT_EQ(bitmap->state, ZK_BITMAP_NOT_LOADED);
        EXPECT_EQ(bitmap->pixels, nullptr);
    }
    EXPECT_EQ(renderer_.LiveTextures(), 0);
    EXPECT_EQ(renderer_.Count("LoadBitmap"), renderer_.Count("FreeBitmap"));
}

}  // namespace

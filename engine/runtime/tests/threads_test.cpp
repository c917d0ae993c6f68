// Mutex records, the named-mutex registry, engine threads and the clocks.

#include <pthread.h>
#include <stdlib.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "engine/runtime/tests/core_fixture.h"

namespace {

class ThreadsTest : public ZkCoreTest {
protected:
    void TearDown() override {
        zkt_create_thread_function = pthread_create;
        zkt_absolute_clock_function = ZKT_GetWallClockSeconds;
        ZKT_ResetClockForTesting();
        ZkCoreTest::TearDown();
    }

    // Waits (at most two seconds) until the engine counts `running` threads.
    static bool WaitForRunningCount(int running) {
        for (int i = 0; i < 2000; ++i) {
            if (ZKT_GetNumberOfThreadsRunning() == running) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
};

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST_F(ThreadsTest, OneRegisteredMutexPerNameCreatedAndLoggedOnce) {
    StdoutCapture out;
    zk_mutex_t* first = ZK_GetMutex("DATAMAN");
    zk_mutex_t* second = ZK_GetMutex("DATAMAN");
    zk_mutex_t* other = ZK_GetMutex("ZK_CONSOLE");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
    EXPECT_STREQ(first->name, "DATAMAN");
    EXPECT_EQ(zk_state.named_mutexes.count, 2);

    ZK_ReleaseMutex(first);
    EXPECT_EQ(zk_state.named_mutexes.count, 1);
    zk_mutex_t* third = ZK_GetMutex("DATAMAN");
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(ZK_GetMutex("DATAMAN"), third);
    std::string text = out.Finish();
    EXPECT_EQ(Occurrences(text, "Created Mutex 'DATAMAN'..\n"), 2u);
    EXPECT_EQ(Occurrences(text, "Created Mutex 'ZK_CONSOLE'..\n"), 1u);
}

TEST_F(ThreadsTest, EmptyAndNullNamesGiveAPrivateMutexEachTime) {
    StdoutCapture out;
    zk_mutex_t* from_null = ZK_GetMutex(nullptr);
    zk_mutex_t* from_empty = ZK_GetMutex("");
    zk_mutex_t* again_empty = ZK_GetMutex("");
    out.Finish();
    EXPECT_NE(from_null, from_empty);
    EXPECT_NE(from_empty, again_empty);
    EXPECT_STREQ(from_null->name, "");
    EXPECT_EQ(zk_state.named_mutexes.count, 3);
}

TEST_F(ThreadsTest, CoreMutexNamesAndUnknownIndices) {
    const char* names[] = {"PRINT",      "GET_MUTEX", "CREATE_DIR",     "GET_PATH",      "GET_BITMAP",
                           "GET_SOUND",  "GET_FONT",  "GET_SHADER",     "MAIN_LOOP",     "RESOURCE_QUEUE",
                           "SHARED_BITMAP", "CORE_IMP", "CORE_VARIABLE"};
    for (int id = 0; id < 13; ++id) {
        EXPECT_STREQ(ZKI_GetCoreMutexName(id), names[id]);
        ASSERT_NE(zk_state.core_mutexes[id], nullptr);
        EXPECT_STREQ(zk_state.core_mutexes[id]->name, names[id]);
    }
    for (int id : {13, 14, -1, -100, 1 << 30}) EXPECT_STREQ(ZKI_GetCoreMutexName(id), "UNKNOWN") << id;
}

TEST_F(ThreadsTest, LockFlagFollowsLockAndUnlock) {
    zk_mutex_t* m = ZK_GetMutex("flagged");
    ZK_LockMutex(m);
    EXPECT_EQ(m->locked, 1);
    EXPECT_FALSE(ZKT_TryLockMutex(m)); // not recursive
    ZK_UnlockMutex(m);
    EXPECT_EQ(m->locked, 0);
    EXPECT_TRUE(ZKT_TryLockMutex(m));
    EXPECT_EQ(m->locked, 0); // a probe leaves the flag alone
    ZKT_UnlockMutex(m);
    ZK_LockMutex(nullptr);
    ZK_UnlockMutex(nullptr);
    ZK_ReleaseMutex(nullptr);
    ZKI_LockCoreMutex(13);
    ZKI_UnlockCoreMutex(-1);
}

TEST_F(ThreadsTest, ReleasingACoreMutexClearsItFromTheState) {
    zk_mutex_t* registry_lock = zk_state.core_mutexes[ZK_CORE_MUTEX_GET_MUTEX];
    ZK_ReleaseMutex(registry_lock);
    EXPECT_EQ(zk_state.core_mutexes[ZK_CORE_MUTEX_GET_MUTEX], nullptr);
    StdoutCapture out;
    EXPECT_NE(ZK_GetMutex("after release"), nullptr); // no lock left to take
}

struct Contention {
    zk_mutex_t* mutex;
    long counter;
};

void AddUnderNamedMutex(void* data) {
    Contention* c = static_cast<Contention*>(data);
    for (int i = 0; i < 10000; ++i) {
        zk_mutex_t* m = ZK_GetMutex("CONTENDED");
        ZK_LockMutex(m);
        ++c->counter;
        ZK_UnlockMutex(m);
    }
}

TEST_F(ThreadsTest, TenThreadsContendOnOneNamedMutex) {
    zk_run_silent = 1;
    Contention contention = {ZK_GetMutex("CONTENDED"), 0};
    int before = ZKT_GetNumberOfThreadsRunning();
    for (int i = 0; i < 10; ++i) {
        std::string name = "contender " + std::to_string(i);
        ASSERT_NE(ZK_CreateThread(name.c_str(), AddUnderNamedMutex, &contention, 0), 0u);
    }
    ASSERT_TRUE(WaitForRunningCount(before));
    ZK_LockMutex(contention.mutex);
    EXPECT_EQ(contention.counter, 100000);
    ZK_UnlockMutex(contention.mutex);
    EXPECT_EQ(zk_state.named_mutexes.count, 1);
}

struct SeenByThread {
    std::atomic<uint32_t> id{0};
    std::atomic<bool> main{true};
    std::atomic<bool> done{false};
};

void RecordThreadIdentity(void* data) {
    SeenByThread* seen = static_cast<SeenByThread*>(data);
    seen->id = ZK_GetCurrentThreadId();
    seen->main = ZK_IsMainThread();
    seen->done = true;
}

TEST_F(ThreadsTest, ThreadIdsCountFromTwoAndOnlyTheMainThreadIsOne) {
    EXPECT_EQ(ZK_GetCurrentThreadId(), 1u);
    EXPECT_TRUE(ZK_IsMainThread());
    zk_next_free_thread_id = 2;
    SeenByThread first, second;
    EXPECT_EQ(ZK_CreateThread("first", RecordThreadIdentity, &first, 0), 2u);
    EXPECT_EQ(ZK_CreateThread("second", RecordThreadIdentity, &second, 0), 3u);
    ASSERT_TRUE(WaitForRunningCount(0));
    EXPECT_EQ(first.id, 2u);
    EXPECT_EQ(second.id, 3u);
    EXPECT_FALSE(first.main);
    EXPECT_FALSE(second.main);

    zk_next_free_thread_id = 0xFFFFFFFFu; // past the last id: starts again at 2
    EXPECT_EQ(ZKT_GetFreeThreadId(), 2u);
}

TEST_F(ThreadsTest, NonZeroFlagsStartNothing) {
    zk_state.log_verbose_level = 0;
    SeenByThread seen;
    StdoutCapture out;
    EXPECT_EQ(ZK_CreateThread("flagged", RecordThreadIdentity, &seen, 1), 0u);
    EXPECT_EQ(out.Finish(), "[WARNING] ZK_CreateThread flags parm must be set to zero - reserved for future use.\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(seen.done);
    EXPECT_EQ(ZKT_GetNumberOfThreadsRunning(), 0);
}

TEST_F(ThreadsTest, NullNameWarnsInDeveloperModeAndStillStarts) {
    zk_state.log_verbose_level = 0;
    zk_state.developer_mode = 1;
    SeenByThread seen;
    StdoutCapture out;
    EXPECT_NE(ZK_CreateThread(nullptr, RecordThreadIdentity, &seen, 0), 0u);
    ASSERT_TRUE(WaitForRunningCount(0));
    EXPECT_TRUE(seen.done);
    EXPECT_NE(out.Finish().find("[WARNING] ZK_CreateThread trying to create thread with null name.\n"),
              std::string::npos);
}

int RefuseThread(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*) { return 11; } // EAGAIN

TEST_F(ThreadsTest, RefusedThreadReturnsZeroAndLeavesNothingBehind) {
    zkt_create_thread_function = RefuseThread;
    int infos_before = zkt_thread_infos.count;
    SeenByThread seen;
    StdoutCapture out;
    EXPECT_EQ(ZK_CreateThread("refused", RecordThreadIdentity, &seen, 0), 0u);
    EXPECT_EQ(out.Finish(), "[ERROR] Error launching thread 'refused'.\n");
    EXPECT_EQ(ZKT_GetNumberOfThreadsRunning(), 0);
    EXPECT_EQ(zkt_thread_infos.count, infos_before);
    EXPECT_FALSE(seen.done);
}

// Checks, at the moment the platform is asked for the thread, that the
// engine already counts and lists it.
std::atomic<int> running_at_creation{-1};
std::atomic<bool> listed_at_creation{false};
int CreateAndObserve(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*), void* argument) {
    running_at_creation = ZKT_GetNumberOfThreadsRunning();
    ZKT_LockMutex(zkt_thread_info_mutex);
    for (int i = 0; i < zkt_thread_infos.count; ++i) {
        const char* name = zkt_thread_infos.items[i]->name;
        if (name && strcmp(name, "observed") == 0) listed_at_creation = true;
    }
    ZKT_UnlockMutex(zkt_thread_info_mutex);
    return pthread_create(thread, attributes, start, argument);
}

TEST_F(ThreadsTest, ThreadIsCountedAndListedBeforeItRuns) {
    zkt_create_thread_function = CreateAndObserve;
    SeenByThread seen;
    ASSERT_NE(ZK_CreateThread("observed", RecordThreadIdentity, &seen, 0), 0u);
    EXPECT_EQ(running_at_creation, 1);
    EXPECT_TRUE(listed_at_creation);
    ASSERT_TRUE(WaitForRunningCount(0));
    EXPECT_TRUE(seen.done);
}

TEST_F(ThreadsTest, ThreadListNamesTheMainThreadNull) {
    ZKT_GetCurrentThreadInfo();
    StdoutCapture out;
    ZKT_PrintThreadInfos();
    std::string text = out.Finish();
    EXPECT_EQ(text.rfind("List of threads alive:\n", 0), 0u);
    EXPECT_NE(text.find("'<null>' (id 1)\n"), std::string::npos);
    EXPECT_EQ(ZKT_GetCurrentThreadInfo(), ZKT_GetCurrentThreadInfo());
}

TEST_F(ThreadsTest, SleepSplitsSecondsAndMilliseconds) {
    auto start = std::chrono::steady_clock::now();
    ZKT_Sleep(1050);
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_GE(elapsed.count(), 1050);
    EXPECT_LT(elapsed.count(), 1800);
}

TEST_F(ThreadsTest, AbsoluteClockIsWallClockSeconds) {
    double now = ZKT_GetWallClockSeconds();
    EXPECT_GT(now, 1.5e9); // after 2017
}

double fake_clock_seconds = 0.0;
double FakeClock() { return fake_clock_seconds; }

TEST_F(ThreadsTest, EngineClockNeverGoesBack) {
    zkt_absolute_clock_function = FakeClock;
    ZKT_ResetClockForTesting();
    struct Step {
        double clock;
        int64_t expected_ms;
    } steps[] = {{100.0, 0}, {100.5, 500}, {99.0, 500}, {100.25, 500}, {101.0, 1000}};
    for (const Step& step : steps) {
        fake_clock_seconds = step.clock;
        EXPECT_EQ(ZKT_GetTime(), step.expected_ms) << "clock " << step.clock;
    }
    zk_state.start_time_ms = 400;
    EXPECT_EQ(ZK_GetTime(), 600u);
    zk_state.start_time_ms = 1500; // unsigned 32-bit difference
    EXPECT_EQ(ZK_GetTime(), static_cast<uint32_t>(-500));
}

TEST_F(ThreadsTest, EpochSecondsConvertToUtcDates) {
    const char* saved = getenv("TZ");
    std::string saved_tz = saved ? saved : "";
    setenv("TZ", "UTC", 1);
    tzset();
    struct Case {
        uint64_t seconds;
        int year, month, day, hour, minute, second, weekday, day_of_year;
    } cases[] = {
        {0, 1970, 1, 1, 0, 0, 0, 4, 0},
        {951782400 + 3723, 2000, 2, 29, 1, 2, 3, 2, 59},
        {1735689599, 2024, 12, 31, 23, 59, 59, 2, 365},
    };
    for (const Case& c : cases) {
        zk_date_t d = ZK_GetEpochTimeConvertedToDate(c.seconds);
        EXPECT_EQ(d.year, c.year) << c.seconds;
        EXPECT_EQ(d.month, c.month) << c.seconds;
        EXPECT_EQ(d.day, c.day) << c.seconds;
        EXPECT_EQ(d.hour, c.hour) << c.seconds;
        EXPECT_EQ(d.minute, c.minute) << c.seconds;
        EXPECT_EQ(d.second, c.second) << c.seconds;
        EXPECT_EQ(d.weekday, c.weekday) << c.seconds;
        EXPECT_EQ(d.day_of_year, c.day_of_year) << c.seconds;
    }
    if (saved) setenv("TZ", saved_tz.c_str(), 1); else unsetenv("TZ");
    tzset();
}

TEST_F(ThreadsTest, MonotonicNanosecondsStartAtSetUp) {
    int64_t first = ZK_GetTimeNanoseconds();
    int64_t second = ZK_GetTimeNanoseconds();
    EXPECT_GE(first, 0);
    EXPECT_GE(second, first);
    EXPECT_LT(first, int64_t(60) * 1000 * 1000 * 1000);
}

}  // namespace

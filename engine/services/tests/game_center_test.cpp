// The Game Center side: ids under the product's prefix, the bounded
// formatter, the pool threads, and the placeholder module as a host
// registers it.

#include <cstring>
#include <string>

#include "engine/runtime/threads.h"
#include "engine/platform_services/autorelease_pool.h"
#include "engine/platform_services/bounded_format.h"
#include "engine/platform_services/game_center.h"
#include "engine/services/tests/answer_test_support.h"
#include "engine/services/tests/service_test_support.h"

namespace services_test {
namespace {

const char* game_center_value = nullptr;
const char* GameCenterValue(const char* name) {
    return strcmp(name, "game_center_id") == 0 ? game_center_value : nullptr;
}

class GameCenterTest : public ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        game_center_value = nullptr;
        zk->ZK_GetProductValue = GameCenterValue;
        snprintf(program.id, sizeof program.id, "%s", "com.zekar.marble");
    }
    void TearDown() override {
        zk_prog = nullptr;
        zkt_create_thread_function = pthread_create;
        ServicesTest::TearDown();
    }
    zk_prog_t program;
};

std::string Text(const nString& text) { return text.c_str(); }

TEST_F(GameCenterTest, IdsCarryTheProductsPrefixAndLoseItAgain) {
    struct Case {
        const char* value;     // the product value "game_center_id"
        bool program;          // a program (id "com.zekar.marble") is installed
        const char* id;
        const char* full;
        const char* stripped;  // ZK_IOS_GameCenterRemoveAppIdPrefix of `full`
    } cases[] = {
        {"gc", true, "lb1", "gc.lb1", "lb1"},                   // the value wins over the program
        {nullptr, true, "lb1", "com.zekar.marble.lb1", "lb1"},  // else the program's id
        {nullptr, false, "lb1", "lb1", "lb1"},                  // else no prefix at all
        {"", true, "lb1", "lb1", "lb1"},                        // an empty value is no prefix
        {"gc", true, "", "gc.", ""},
        {"gc", true, nullptr, "gc.", ""},
    };
    for (const Case& c : cases) {
        game_center_value = c.value;
        zk_prog = c.program ? &program : nullptr;
        std::string full = Text(ZKI_GetFullGameCenterId(c.id));
        EXPECT_EQ(full, c.full) << Text(c.value) << " " << c.program;
        EXPECT_STREQ(ZK_IOS_GameCenterRemoveAppIdPrefix(full.c_str()), c.stripped) << full;
    }

    // Only a whole prefix and its dot come off.
    game_center_value = "gc";
    struct Strip {
        const char* id;
        const char* stripped;
    } strips[] = {{"gcx.lb1", "gcx.lb1"}, {"gc", "gc"}, {"gclb1", "gclb1"}, {"lb1.gc.x", "lb1.gc.x"}, {"gc.gc.a", "gc.a"}};
    for (const Strip& s : strips) EXPECT_STREQ(ZK_IOS_GameCenterRemoveAppIdPrefix(s.id), s.stripped) << s.id;
    EXPECT_EQ(ZK_IOS_GameCenterRemoveAppIdPrefix(nullptr), nullptr);
}

TEST(BoundedFormat, CutsTheOutputAt1022CharactersAndTellsTheWholeLength) {
    for (int length : {0, 1, 1021, 1022, 1023, 1500, 5000}) {
        std::string text(length, 'x');
        char destination[8192];
        memset(destination, '#', sizeof destination);
        int result = nSprintf(destination, "%s", text.c_str());
        int kept = length < 1022 ? length : 1022;
        EXPECT_EQ(result, length);
        EXPECT_EQ(strlen(destination), static_cast<size_t>(kept)) << length;
        EXPECT_EQ(destination[kept + 1], '#') << "written past the terminator at " << length;
    }

    char destination[64];
    EXPECT_EQ(nSprintf(destination, "%s-%03d", "lap", 7), 7);
    EXPECT_STREQ(destination, "lap-007");
    EXPECT_EQ(nSprintf(nullptr, "%d", 12345), 5);  // measures only
    const char* no_format = nullptr;
    memset(destination, '#', sizeof destination);
    EXPECT_EQ(nSprintf(destination, no_format), 0);
    EXPECT_STREQ(destination, "");
}

// --- Pool threads --------------------------------------------------------------------

struct PoolWork {
    int runs = 0;
    std::string thread_name;
    uint32_t thread_id = 0;
};
void DoPoolWork(void* argument) {
    PoolWork* work = static_cast<PoolWork*>(argument);
    ++work->runs;
    const char* name = ZKT_GetCurrentThreadInfo()->name;
    work->thread_name = name ? name : "";
    work->thread_id = ZKT_GetCurrentThreadId();
}

int RefuseThread(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*) { return 11; }

TEST_F(GameCenterTest, PoolWorkRunsHereOrOnANamedEngineThread) {
    PoolWork here;
    ZK_IOS_RunWithAutoreleasePool(DoPoolWork, &here);
    EXPECT_EQ(here.runs, 1);
    EXPECT_EQ(here.thread_id, 1u);

    PoolWork there;
    uint32_t id = ZK_IOS_RunThreadWithAutoreleasePool(DoPoolWork, &there);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(WaitForEngineThreads());
    EXPECT_EQ(there.runs, 1);
    EXPECT_EQ(there.thread_id, id);
    EXPECT_EQ(there.thread_name, "IOS_AutoreleasePool");

    // A refused thread runs nothing, and its start record is not left behind.
    zkt_create_thread_function = RefuseThread;
    PoolWork refused;
    EXPECT_EQ(ZK_IOS_RunThreadWithAutoreleasePool(DoPoolWork, &refused), 0u);
    EXPECT_EQ(refused.runs, 0);
}

// --- The module, registered by a host ------------------------------------------------------

TEST_F(GameCenterTest, WithoutGameCenterTheModuleSuppliesNothingAndStartsNoThread) {
    for (const char* features : {"", "LEADERBOARDS ACHIEVEMENTS"}) {
        ResetServices();
        ZK_RegisterExtensionModule(ZKI_CreateMacModule());
        uint32_t next_thread = zk_next_free_thread_id;
        Start(features);
        EXPECT_EQ(zk_next_free_thread_id, next_thread) << features;
        EXPECT_EQ(zk_leaderboards_implementation, nullptr) << features;
        EXPECT_EQ(zk_achievement_implementation, nullptr) << features;
        EXPECT_TRUE(WasLogged("info: Registering extension module 'iOS'."));
        EXPECT_TRUE(WasLogged("system: Initializing extension module 'iOS'..."));
    }
}

TEST_F(GameCenterTest, WithGameCenterTheModuleSignsInAndAnswersAsAPlaceholder) {
    ZK_RegisterExtensionModule(ZKI_CreateMacModule());
    // The sign-in waits for the Game Center mutex.
    zk_mutex_t* game_center = zk->ZK_GetMutex("IOS_GameCenter");
    zk->ZK_LockMutex(game_center);
    uint32_t next_thread = zk_next_free_thread_id;
    Start("LEADERBOARDS ACHIEVEMENTS GAME_CENTER");
    EXPECT_EQ(zk_next_free_thread_id, next_thread + 1);
    EXPECT_EQ(ZKT_GetNumberOfThreadsRunning(), 1);
    zk->ZK_UnlockMutex(game_center);
    ASSERT_TRUE(WaitForEngineThreads());

    ASSERT_NE(zk_leaderboards_implementation, nullptr);
    ASSERT_NE(zk_achievement_implementation, nullptr);
    EXPECT_STREQ(zk_leaderboards_implementation->GetName(), "Mac");
    EXPECT_STREQ(zk_achievement_implementation->GetName(), "Mac");
    EXPECT_TRUE(WasLogged("info: Using Leaderboards implementation from module 'iOS'"));
    EXPECT_TRUE(WasLogged("info: Using Achievements implementation from module 'iOS'"));
    EXPECT_EQ(zk_cloud_implementation, nullptr);

    // Through the fronts: no scores will come, the native views are there,
    // the player is signed in and has no id.
    EXPECT_FALSE(zk->leaderboards->ZK_RequestScores(1, 10, 0, "speed"));
    EXPECT_TRUE(WasLogged("info: RequestScores returned false. No return event will be sent."));
    EXPECT_FALSE(zk->leaderboards->ZK_RequestScoresAroundUserRank(0, 5, "speed"));
    EXPECT_TRUE(zk->leaderboards->ZK_IsNativeLeaderboardsViewSupported());
    EXPECT_EQ(zk->leaderboards->ZK_GetLeaderboardsLoginState(0), 2);
    EXPECT_EQ(zk->leaderboards->ZK_GetUserId(0), nullptr);
    EXPECT_TRUE(zk->achievements->ZK_IsNativeAchievementViewSupported());
    EXPECT_EQ(zk->achievements->ZK_GetStatisticsInt("kills"), 0);

    // Each call forms the id Game Center would be given.
    game_center_value = "gc";
    auto* boards = static_cast<LeaderboardsImplementationMac*>(zk_leaderboards_implementation);
    auto* achievements = static_cast<AchievementImplementationMac*>(zk_achievement_implementation);
    zk_score_t score = {};
    score.points = 120;
    zk->leaderboards->ZK_SubmitScore(0, score, "speed");
    EXPECT_EQ(Text(boards->LastGameCenterId()), "gc.speed");
    zk->leaderboards->ZK_ShowNativeLeaderboardsView(0, "laps");
    EXPECT_EQ(Text(boards->LastGameCenterId()), "gc.laps");
    EXPECT_FALSE(boards->RequestUserScore(0, "laps"));
    zk->achievements->ZK_UnlockAchievement(0, "first_win");
    EXPECT_EQ(Text(achievements->LastGameCenterId()), "gc.first_win");
    achievements->SetAchievementProgress(0, "ten_wins", 40.0f);
    EXPECT_EQ(Text(achievements->LastGameCenterId()), "gc.ten_wins");
    EXPECT_FALSE(achievements->IsAchievementUnlocked(0, "first_win"));
}

}  // namespace
}  // namespace services_test

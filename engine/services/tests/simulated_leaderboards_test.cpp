// The simulated leaderboards: generated players, pages and friends, the
// local users' submissions, other players' play, and answers delivered by
// threads of their own after their delays.

#include <climits>
#include <unordered_map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/services/simulated_leaderboards.h"
#include "engine/services/tests/answer_test_support.h"

namespace services_test {
namespace {

typedef SimulatedLeaderboardsImplementation::Category Category;

bool StartsWith(const char* text, const char* prefix) { return strncmp(text, prefix, strlen(prefix)) == 0; }

// Sorted by the category's order (Laps: lowest first) and ranked 1, 2, ...
void ExpectRankedInOrder(const Category& category, bool lowest_first) {
    for (int i = 0; i < category.scores.count; ++i) {
        const zk_score_t& score = category.scores.items[i];
        ASSERT_EQ(score.rank, i + 1) << category.id.c_str();
        if (i == 0) continue;
        int previous = category.scores.items[i - 1].points;
        if (lowest_first)
            ASSERT_LE(previous, score.points) << category.id.c_str() << " " << i;
        else
            ASSERT_GE(previous, score.points) << category.id.c_str() << " " << i;
    }
}

// Thread names and flags the implementation starts its threads with.
std::vector<std::string>& StartedThreads() {
    static std::vector<std::string> started;
    return started;
}
uint32_t RecordThreadStart(const char* name, void (*function)(void*), void* data, int flags) {
    StartedThreads().push_back(Text(name) + " " + std::to_string(flags));
    return ZK_CreateThread(name, function, data, flags);
}
int RefuseThread(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*) { return EAGAIN; }

class SimulatedLeaderboardsTest : public AnswersTest {
protected:
    void SetUp() override {
        AnswersTest::SetUp();
        StartedThreads().clear();
        zk->ZK_CreateThread = RecordThreadStart;
        SetCategories({{"Coins", nullptr}, {"Laps", "LOWEST_SCORE_FIRST"}, {"Stars", nullptr}});
        SetFeatures("LEADERBOARDS");
    }
    void TearDown() override {
        AnswersTest::TearDown();
        zkt_create_thread_function = pthread_create;
        boards.reset();
    }

    SimulatedLeaderboardsImplementation* Start(uint32_t seed = 7) {
        boards.reset(new SimulatedLeaderboardsImplementation(seed));
        EXPECT_TRUE(boards->Initialize());
        return boards.get();
    }
    Category& Get(const char* id) {
        Category* category = boards->GetCategory(id);
        EXPECT_NE(category, nullptr) << id;
        return *category;
    }
    // The answers once every answer thread has ended.
    std::vector<Answer> Arrived() {
        EXPECT_TRUE(WaitForEngineThreads());
        return DeliverAnswers();
    }
    Answer Request(int first, int count, zk_leaderboard_filter_t filter, const char* category) {
        EXPECT_TRUE(boards->RequestScores(first, count, filter, category));
        std::vector<Answer> answers = Arrived();
        EXPECT_EQ(answers.size(), 1u);
        return answers.empty() ? Answer() : answers[0];
    }

    std::unique_ptr<SimulatedLeaderboardsImplementation> boards;
};

TEST_F(SimulatedLeaderboardsTest, EveryCategoryFillsWithRankedPlayersAmongWhomTheLocalUsersAre) {
    const int64_t now = zk->ZK_GetTimeSecondsElapsedSinceEpoch();
    Start();
    ASSERT_EQ(boards->GetCategories().count, 3);
    for (const char* id : {"Coins", "Laps", "Stars"}) {
        SCOPED_TRACE(id);
        const Category& category = Get(id);
        int n = category.scores.count;
        EXPECT_TRUE(WasLogged("info: Initializing category '" + std::string(id) + "' with " + std::to_string(n) +
                              " fake scores."));
        EXPECT_LE(n, 50000);
        ExpectRankedInOrder(category, strcmp(id, "Laps") == 0);
        std::set<std::string> local_users;
        for (int i = 0; i < n; ++i) {
            const zk_score_t& score = category.scores.items[i];
            if (SimulatedLeaderboardsImplementation::IsSimulatedOnlineScore(score)) {
                // "<name> <number> <name>", the number that of the id.
                int number = -1;
                EXPECT_EQ(sscanf(score.player_name, "%*s %d %*s", &number), 1) << score.player_name;
                EXPECT_EQ(number, atoi(score.id + strlen("OTHER_PLAYER_"))) << score.player_name;
                EXPECT_LE(score.time_stamp, now + 5);
                EXPECT_GE(score.time_stamp, now - 10000);
                continue;
            }
            ASSERT_TRUE(StartsWith(score.id, "LOCAL_USER_")) << score.id;
            EXPECT_EQ(std::string(score.player_name), "Local Player " + std::string(score.id + 11));
            EXPECT_TRUE(local_users.insert(score.id).second) << score.id;
        }
        if (n > 0) {
            EXPECT_FALSE(local_users.empty());
        }
    }
    // Category 0 befriends its top generated player.
    const nArray<nString>& friends = boards->GetFriends();
    EXPECT_LE(friends.count, 3);
    for (int i = 0; i < friends.count; ++i) EXPECT_TRUE(StartsWith(friends.items[i].c_str(), "OTHER_PLAYER_"));
    const zk_score_t& top = Get("Coins").scores.items[0];
    if (SimulatedLeaderboardsImplementation::IsSimulatedOnlineScore(top)) {
        EXPECT_TRUE(boards->IsFriendOfLocalUser(top.id));
    }
    EXPECT_TRUE(boards->IsFriendOfLocalUser("LOCAL_USER_9"));
    EXPECT_FALSE(boards->IsFriendOfLocalUser(nullptr));

    // The same seed makes the same players.
    SimulatedLeaderboardsImplementation again(7);
    ASSERT_TRUE(again.Initialize());
    for (int c = 0; c < 3; ++c) {
        const Category* mine = boards->GetCategories().items[c];
        const Category* theirs = again.GetCategories().items[c];
        ASSERT_EQ(mine->scores.count, theirs->scores.count);
        if (mine->scores.count) {
            EXPECT_STREQ(mine->scores.items[0].player_name, theirs->scores.items[0].player_name);
        }
    }
}

TEST_F(SimulatedLeaderboardsTest, WithoutTheFeatureOrCategoriesNothingIsFilledAndRequestsFail) {
    struct Case {
        const char* features;
        bool categories;
    } cases[] = {{"", true}, {"LEADERBOARDS", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.features);
        SetFeatures(c.features);
        if (!c.categories) zk_dman.ReleaseDatabase(kCategoriesPath);
        boards.reset(new SimulatedLeaderboardsImplementation(3));
        EXPECT_FALSE(boards->Initialize());
        EXPECT_EQ(boards->GetCategories().count, 0);
        for (const char* category : {"Coins", static_cast<const char*>(nullptr)}) {
            Answer answer = Request(1, 10, 1, category);
            EXPECT_EQ(answer.success, 0u);
            EXPECT_EQ(answer.reason, "Unknown leaderboard category '" + Text(category) + "'.");
            EXPECT_EQ(answer.category, category ? category : "");
            EXPECT_EQ(answer.filter, 1u);
            EXPECT_TRUE(answer.scores_null);
            EXPECT_TRUE(WasLogged("info: Sending leaderboards error event for category '" + Text(category) +
                                  "' filter 'FRIENDS' with reason 'Unknown leaderboard category '" + Text(category) +
                                  "'.'."));
        }
    }
}

TEST_F(SimulatedLeaderboardsTest, EachAnswerComesFromAThreadOfItsOwnAfterItsDelay) {
    Start();
    boards->RequestScores(1, 30, 0, "Coins");
    boards->RequestScores(1, 30, 1, "Laps");
    boards->RequestScores(1, 30, 0, "Nope");
    boards->RequestScoresAroundUserRank(0, 10, "Stars");
    for (int i = 0; i < 8; ++i) boards->RequestScores(i * 10 + 1, 10, 0, "Coins");
    std::vector<Answer> answers = Arrived();
    EXPECT_EQ(answers.size(), 12u);
    EXPECT_EQ(StartedThreads(), std::vector<std::string>(12, "SimulatedLeaderboards 0"));
    std::lock_guard<std::mutex> hold(SleepsLock());
    ASSERT_EQ(Sleeps().size(), 12u);
    std::set<int> different;
    for (int delay : Sleeps()) {
        EXPECT_GE(delay, 501);
        EXPECT_LE(delay, 3000);
        different.insert(delay);
    }
    EXPECT_GT(different.size(), 1u);
}

TEST_F(SimulatedLeaderboardsTest, AnAnswerWhoseThreadCannotStartIsQueuedAtOnce) {
    Start();
    zkt_create_thread_function = RefuseThread;
    EXPECT_TRUE(boards->RequestScores(1, 5, 0, "Coins"));
    EXPECT_EQ(QueuedEvents(), 1);
    std::vector<Answer> answers = DeliverAnswers();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].success, 1u);
    EXPECT_TRUE(Sleeps().empty());
}

TEST_F(SimulatedLeaderboardsTest, ARequestAnswersItsWindowOfTheCategoryOrOfTheFriends) {
    Start();
    // Whatever their random sizes, both lists are known before asking.
    Category& coins = Get("Coins");
    Category& laps = Get("Laps");
    ASSERT_GT(coins.scores.count, 40);
    const int n = coins.scores.count;
    const int friends = boards->GetFriendScoresInCategory(&laps).count;
    ASSERT_GT(friends, 0);
    struct Case {
        const char* category;
        zk_leaderboard_filter_t filter;
        int first, count;
        int total, taken, first_rank;
    } cases[] = {
        {"Coins", 0, 1, 30, n, 30, 1},
        {"Coins", 0, 0, 3, n, 2, 1},
        {"Coins", 0, n - 1, 5, n, 2, n - 1},
        {"Coins", 0, n + 1, 5, n, 0, 0},
        {"Coins", 0, INT_MAX, INT_MAX, n, 0, 0},
        {"Coins", 0, INT_MIN, INT_MAX, n, 0, 0},
        {"Coins", 0, 3, -2, n, 0, 0},
        {"Laps", 1, 1, 30, friends, std::min(friends, 30), 1},
        {"Laps", 1, 2, 30, friends, std::min(friends - 1, 30), 2},
        {"Laps", 2, 1, 30, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.category) + " " + std::to_string(c.filter) + " " + std::to_string(c.first) + " " +
                     std::to_string(c.count));
        Answer answer = Request(c.first, c.count, c.filter, c.category);
        EXPECT_EQ(answer.success, 1u);
        EXPECT_EQ(answer.category, c.category);
        EXPECT_EQ(answer.filter, c.filter);
        EXPECT_EQ(answer.first, c.first);
        EXPECT_EQ(answer.total, c.total);
        ASSERT_EQ(answer.count, c.taken);
        EXPECT_EQ(answer.scores_null, c.taken == 0);
        for (int i = 0; i < answer.count; ++i) {
            const zk_score_t& score = answer.scores[i];
            EXPECT_EQ(score.rank, c.first_rank + i);
            if (c.filter == 1) {
                EXPECT_TRUE(boards->IsFriendOfLocalUser(score.id)) << score.id;
                if (i > 0) {
                    EXPECT_LE(answer.scores[i - 1].points, score.points);
                }
            } else if (i > 0) {
                EXPECT_GE(answer.scores[i - 1].points, score.points);
            }
        }
    }
    EXPECT_TRUE(WasLogged("info: Sending event with scores 1..30 (30 scores of " + std::to_string(n) +
                          ") for category 'Coins' with filter 'GLOBAL'"));
    EXPECT_TRUE(WasLogged("info: Sending event with no scores (0 scores in category) for category 'Laps' with filter "
                          "'ERROR'"));

    // A category without players answers none.
    Get("Stars").scores.count = 0;
    Answer empty = Request(1, 10, 0, "Stars");
    EXPECT_EQ(empty.success, 1u);
    EXPECT_EQ(empty.total, 0);
    EXPECT_TRUE(empty.scores_null);
    EXPECT_EQ(boards->GetPlayerRankInCategory(0, "Stars", 0), 0);
}

TEST_F(SimulatedLeaderboardsTest, ASubmissionReplacesTheUsersPointsWhileOtherPlayersPlay) {
    Start();
    Category& coins = Get("Coins");
    boards->SubmitScore(1, zk_score_t{}, "Nope");
    boards->SubmitScore(1, zk_score_t{}, nullptr);

    zk_score_t best = {};
    best.points = 2000000000;
    boards->SubmitScore(1, best, "Coins");
    zk_score_t* mine = boards->GetPlayerScoreInCategory(1, "Coins");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine->rank, 1);
    EXPECT_STREQ(mine->player_name, "Local Player 1");
    EXPECT_EQ(boards->GetPlayerRankInCategory(1, "Coins", 0), 1);

    // A user new to a category is added, its extra data within the field.
    Get("Stars").scores.count = 0;
    zk_score_t claimed = {};
    claimed.extra_data_length = 5000;
    boards->SubmitScore(3, claimed, "Stars");
    ASSERT_NE(boards->GetPlayerScoreInCategory(3, "Stars"), nullptr);
    EXPECT_EQ(boards->GetPlayerScoreInCategory(3, "Stars")->extra_data_length, 188);

    for (int round = 0; round < 25; ++round) {
        std::unordered_map<std::string, int> before;
        for (int i = 0; i < coins.scores.count; ++i) before[coins.scores.items[i].id] = coins.scores.items[i].points;
        zk_score_t worse = {};
        worse.points = 5 + round;
        boards->SubmitScore(1, worse, "Coins");
        ASSERT_NO_FATAL_FAILURE(ExpectRankedInOrder(coins, false));
        int mine_found = 0;
        for (int i = 0; i < coins.scores.count; ++i) {
            const zk_score_t& score = coins.scores.items[i];
            auto earlier = before.find(score.id);
            if (strcmp(score.id, "LOCAL_USER_1") == 0) {
                ++mine_found;
                EXPECT_EQ(score.points, 5 + round);
            } else if (earlier == before.end()) {
                EXPECT_TRUE(StartsWith(score.id, "OTHER_PLAYER_NEW_")) << score.id;
            } else {
                EXPECT_GE(score.points, earlier->second) << score.id;
            }
        }
        EXPECT_EQ(mine_found, 1);
        // Local users never leave.
        for (const auto& earlier : before)
            if (StartsWith(earlier.first.c_str(), "LOCAL_USER_")) {
                bool still = false;
                for (int i = 0; i < coins.scores.count && !still; ++i) still = earlier.first == coins.scores.items[i].id;
                EXPECT_TRUE(still) << earlier.first;
            }
    }
    EXPECT_EQ(boards->GetPlayerRankInCategory(1, "Coins", 0), boards->GetPlayerScoreInCategory(1, "Coins")->rank);
    // Players who joined within the same second still have ids of their own.
    std::set<std::string> ids;
    for (int i = 0; i < coins.scores.count; ++i) ids.insert(coins.scores.items[i].id);
    EXPECT_EQ(static_cast<int>(ids.size()), coins.scores.count);
}

// Other players' points stop at the largest int however long they play,
// and a submission's negative extra-data length is stored as none.
TEST_F(SimulatedLeaderboardsTest, PointsStopAtTheLargestIntAndANegativeDataLengthIsNone) {
    Start();
    Category& coins = Get("Coins");
    ASSERT_GT(coins.scores.count, 0);
    if (coins.scores.count > 2000) coins.scores.count = 2000;  // a smaller table plays as well
    std::set<std::string> old_players;
    for (int i = 0; i < coins.scores.count; ++i) {
        zk_score_t& score = coins.scores.items[i];
        if (!StartsWith(score.id, "OTHER_PLAYER_")) continue;
        score.points = INT_MAX - 1;
        old_players.insert(score.id);
    }
    zk_score_t mine = {};
    mine.extra_data_length = -5;
    for (int round = 0; round < 40; ++round) boards->SubmitScore(0, mine, "Coins");
    int saturated = 0;
    for (int i = 0; i < coins.scores.count; ++i) {
        const zk_score_t& score = coins.scores.items[i];
        if (!old_players.count(score.id)) continue;
        EXPECT_GE(score.points, INT_MAX - 1) << score.id;
        saturated += score.points == INT_MAX;
    }
    EXPECT_GT(saturated, 0);

    // Only a user new to a category stores a whole score.
    Get("Stars").scores.count = 0;
    boards->SubmitScore(2, mine, "Stars");
    ASSERT_NE(boards->GetPlayerScoreInCategory(2, "Stars"), nullptr);
    EXPECT_EQ(boards->GetPlayerScoreInCategory(2, "Stars")->extra_data_length, 0);
}

TEST_F(SimulatedLeaderboardsTest, AroundTheUserMeansAPageCentredOnTheUsersRank) {
    Start();
    Category& coins = Get("Coins");
    ASSERT_GT(coins.scores.count, 100);
    zk_score_t score = {};
    score.points = coins.scores.items[60].points;
    boards->SubmitScore(2, score, "Coins");
    int rank = boards->GetPlayerScoreInCategory(2, "Coins")->rank;
    struct Case {
        int user, count, first;
    } cases[] = {
        {2, 10, rank - 5},
        {2, 11, rank - 5},
        {2, 2 * rank + 40, 1},
        {4, 10, 1},
        {-1, 10, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.user) + " " + std::to_string(c.count));
        EXPECT_TRUE(boards->RequestScoresAroundUserRank(c.user, c.count, "Coins"));
        std::vector<Answer> answers = Arrived();
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(answers[0].first, c.first);
        EXPECT_EQ(answers[0].filter, 0u);
    }
    EXPECT_STREQ(boards->GetUserId(2), "LOCAL_USER_2");
    EXPECT_EQ(boards->GetUserId(4), nullptr);
    EXPECT_EQ(boards->GetUserId(-1), nullptr);
    EXPECT_EQ(boards->GetPlayerScoreInCategory(4, "Coins"), nullptr);
    EXPECT_EQ(boards->GetPlayerRankInCategory(4, "Coins", 0), coins.scores.count);
    EXPECT_EQ(boards->GetPlayerRankInCategory(0, "Nope", 0), 0);
    EXPECT_EQ(boards->GetCategory(nullptr), nullptr);
}

}  // namespace
}  // namespace services_test

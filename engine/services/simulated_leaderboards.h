// A lively online leaderboard without a server ("Simulated"), the
// leaderboards of the "Simulation" module (product feature
// "SIMULATED_LEADERBOARDS").
//
// At start every category of the program's category file fills with up to
// 50,000 generated other players; each local user lands somewhere among
// them, and category k makes the player at position k a friend of the local
// user. Every submission makes a few other players play, join or leave.
// Each request is answered by a short-lived thread that waits 501-3000 ms
// and then queues one type-19 event, so answers may overtake one another.
// Nothing is stored: every run starts afresh.
//
// Requests and submissions change the lists without a lock: one caller at
// a time. The answer threads only read their own copies.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "engine/platform_services/service_implementations.h"
#include "engine/services/simulation_random.h"

class SimulatedLeaderboardsImplementation : public LeaderboardsImplementation {
public:
    struct Category {
        nString id;
        nArray<zk_score_t> scores;
    };

    // The seed makes a run repeatable; every run of the engine uses the same.
    explicit SimulatedLeaderboardsImplementation(uint32_t seed = 1);
    ~SimulatedLeaderboardsImplementation() override;

    const char* GetName() override { return "Simulated"; }
    // Fills every category; false without the product feature
    // "LEADERBOARDS" or without categories.
    bool Initialize() override;
    // Replaces the user's points in the category (higher or lower), or adds
    // the user; then the other players play.
    void SubmitScore(int user, zk_score_t score, const char* category) override;
    bool RequestScores(int first, int count, zk_leaderboard_filter_t filter, const char* category) override;
    // The page whose middle is the user's rank; from rank 1 for a user
    // without a score.
    bool RequestScoresAroundUserRank(int user, int count, const char* category) override;
    // "LOCAL_USER_<user>" for users 0-3, null otherwise.
    const char* GetUserId(int user) override;
    int GetLoginState(int) override { return ZK_LOGIN_STATE_LOGGED_IN; }

    // Null for a null or unknown id.
    Category* GetCategory(const char* id);
    // The user's score in the category, or null.
    zk_score_t* GetPlayerScoreInCategory(int user, const char* category);
    // The user's 1-based position in the category's order; the number of
    // scores for a user without a score; 0 for an unknown or empty category.
    int GetPlayerRankInCategory(int user, const char* category, zk_leaderboard_filter_t filter);
    // True for the local user's friends and for every local user.
    bool IsFriendOfLocalUser(const char* id) const;
    // Copies of the friends' scores in the category's order, ranked 1, 2, ...
    // among themselves.
    nArray<zk_score_t> GetFriendScoresInCategory(Category* category) const;
    static bool IsSimulatedOnlineScore(const zk_score_t& score);

    // Other players improve, join and leave a little; the ranks are fixed
    // afterwards.
    void SimulateOtherPlayersPlayingCategory(Category* category);
    // Sorts by the category's sort order and numbers the ranks from 1.
    void FixCategoryRanks(Category* category);

    const nArray<Category*>& GetCategories() const { return categories; }
    const nArray<nString>& GetFriends() const { return friends; }
    const char* GetRandomNamePart();

private:
    void FillCategory(Category* category, int index);
    zk_score_t MakeOtherPlayer(const char* id, int number, int points, int rank);
    // How long the next answer waits, in milliseconds: 501-3000.
    int AnswerDelay() { return random.Below(2500) + 501; }

    nArray<Category*> categories;
    nArray<nString> friends;
    nArray<nString> name_parts;
    nString user_ids[4];
    SimulationRandom random;
    int players_joined = 0;
};

int SimulatedLeaderboardsCompareScoreHighestFirst(const void* a, const void* b);
int SimulatedLeaderboardsCompareScoreLowestFirst(const void* a, const void* b);

// Each hands one answer to a thread of its own (named
// "SimulatedLeaderboards") that waits delay_ms milliseconds, queues the
// type-19 event and ends; when no thread can be started the answer is
// queued at once. The success answer takes `scores` (a ZK_AllocMemory block
// of `number` scores, or null).
void ZKI_Simulated_SendLeaderboardsSuccessEvent(const char* category, zk_leaderboard_filter_t filter, int first,
                                                int number, zk_score_t* scores, int total, int delay_ms);
void ZKI_Simulated_SendLeaderboardsErrorEvent(const char* category, zk_leaderboard_filter_t filter,
                                              const char* reason, int delay_ms);

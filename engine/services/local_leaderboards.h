// Leaderboards kept on this device ("LocalDatabase"), the leaderboards of
// the "Local Fallbacks" module (product feature "LOCAL_LEADERBOARDS").
//
// Every category's scores live in one engine database file: an array per
// category (its id the category id, appended on the first submission), a
// node per score in submission order with the values "player" (the local
// date and time of the submission), "points" and, for a score with extra
// data, "data" (the bytes as decimal numbers between single spaces). A
// category keeps at most 100 scores: a submission beyond that drops the
// worst one by the category's sort order. The file is saved after every
// submission, scrambled unless the engine runs in developer mode.
//
// It knows no other players: the global list is this device's own
// submissions and the friends list is always empty. Answers are type-19
// events queued at once. Any thread may submit or request: the named mutex
// "LOCAL_LEADERBOARDS" serialises the work on the shared database.
#pragma once

#include <atomic>

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "engine/platform_services/service_implementations.h"
#include "engine/datamodel/datamodel.h"

// The database file. The file-system functions refuse prefixed paths, so
// nothing is kept under this name until the engine resolves them; a store
// made with a native path keeps its scores there.
#define ZK_LOCAL_LEADERBOARDS_PATH "user://leaderboards-db.xml"

// Scores kept per category.
enum { ZK_LOCAL_SCORES_PER_CATEGORY = 100 };

class LocalLeaderBoardServer {
public:
    // Initialises at once (see Initialize).
    explicit LocalLeaderBoardServer(const char* path = ZK_LOCAL_LEADERBOARDS_PATH);

    // Loads the database file when it exists, else starts an empty
    // database of that name (the engine's database manager keeps either);
    // takes the mutex. True. A file that exists but does not load is kept
    // under the first free name of "<file>.damaged", "<file>.damaged-2" ..
    // "<file>.damaged-99" with a warning, and the scores start afresh; when
    // it cannot be kept the server has no database and saves nothing.
    bool Initialize();
    void Shutdown() {}
    bool IsInitialized() const { return initialized; }

    // Stores the score in the category with the current local date and
    // time as its player name (written into *score), keeps the category
    // within its limit and saves the file. A null category is ignored.
    void SubmitScore(zk_score_t* score, const char* category);
    // Queues the answer: the scores at positions first .. first+count-1 of
    // the category's list, best first by its sort order, ranked by
    // position; the friends list and unknown filters answer no scores.
    void RequestScores(int first, int count, zk_leaderboard_filter_t filter, const char* category);

    // The score a node stands for, its id a number unique to the node for
    // this run. Holds no lock: the caller holds "LOCAL_LEADERBOARDS".
    zk_score_t ScoreOfNode(const InnerZK::DMNode* node);

    const char* GetPath() const { return path.c_str(); }
    InnerZK::DMDatabase* GetDatabase() const { return database; }

private:
    struct NodeIdentity {
        const InnerZK::DMNode* node;
        uint32_t id;
    };
    uint32_t IdentityOf(const InnerZK::DMNode* node);
    void ForgetIdentity(const InnerZK::DMNode* node);
    void StartOverDamagedFile();
    InnerZK::DMArray* FindCategory(const char* category) const;
    void RemoveWorst(InnerZK::DMArray* scores, int sort_order);

    InnerZK::DMDatabase* database = nullptr;
    zk_mutex_t* mutex = nullptr;
    bool initialized = false;
    nString path;
    // Ids handed out to nodes during this run; a node's entry goes with it.
    nArray<NodeIdentity> identities;
    uint32_t next_identity = 1;
};

class LocalLeaderboardsImplementation : public LeaderboardsImplementation {
public:
    explicit LocalLeaderboardsImplementation(const char* path = ZK_LOCAL_LEADERBOARDS_PATH);
    ~LocalLeaderboardsImplementation() override;

    const char* GetName() override { return "LocalDatabase"; }
    // Gives every score a new id "<epoch seconds>_<submission number>",
    // which also becomes the current user id, and stores it.
    void SubmitScore(int user, zk_score_t score, const char* category) override;
    bool RequestScores(int first, int count, zk_leaderboard_filter_t filter, const char* category) override;
    // The top `count` global scores: there is no user among other players.
    bool RequestScoresAroundUserRank(int user, int count, const char* category) override;
    // The current user id, whoever asks; a copy for the calling thread,
    // valid until its next call.
    const char* GetUserId(int user) override;
    int GetLoginState(int) override { return ZK_LOGIN_STATE_LOGGED_IN; }
    // Answers a placeholder: success, total -1 and no scores.
    virtual bool RequestUserScore(int user, const char* category);

    LocalLeaderBoardServer* GetServer() const { return server; }

private:
    LocalLeaderBoardServer* server;
    std::atomic<int32_t> submissions{1};
    zk_mutex_t* id_mutex;
    char user_id[64];
};

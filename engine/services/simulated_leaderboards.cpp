// Simulated online leaderboards: generated players, simulated play and
// answers delayed like a network service's.

#include "engine/services/simulated_leaderboards.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/runtime/interface_functions.h"
#include "engine/services/leaderboard_answers.h"
#include "engine/services/leaderboards_front.h"
#include "engine/services/printable.h"
#include "engine/storage/database_manager.h"

namespace {

const int kLocalUsers = 4;
const int kMostGeneratedPlayers = 50000;
const int kPlayersPerRound = 3;
const int kExtraDataSize = static_cast<int>(sizeof(zk_score_t::extra_data));
const char kOtherPlayerPrefix[] = "OTHER_PLAYER_";
const char kLocalUserPrefix[] = "LOCAL_USER_";

// Invented first names and surnames for the generated players.
const char kNameParts[] =
    "Aldo,Brenna,Cato,Dara,Emrys,Fenna,Galen,Hilde,Ivo,Jora,Kester,Liesl,Maren,Nilo,Orla,Piet,Quilla,Rasmus,"
    "Sabra,Tobin,Ulla,Viggo,Wren,Xavi,Yara,Zeno,Ashdown,Birchley,Caldwell,Dunmore,Elmsworth,Fairlie,Greaves,"
    "Hollin,Ingram,Jessop,Kettering,Lowry,Merrow,Norcott,Oakes,Pellow,Quarry,Rushton,Selwood,Thorne,Upfield,"
    "Vance,Whitlock,Yarrow,Zeller,Brackett,Colfax,Danforth";
const char* const kMoreNameParts[] = {"Odile", "Bram", "Saskia", "Tomas", "Ingrid",
                                      "Halloway", "Penrose", "Marchetti", "Lindqvist"};

bool StartsWith(const char* text, const char* prefix) { return strncmp(text, prefix, strlen(prefix)) == 0; }

void CopyText(char* out, size_t size, const char* text) { snprintf(out, size, "%s", text ? text : ""); }

int SaturatingAdd(int a, int b) {
    long long sum = static_cast<long long>(a) + b;
    return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}

int64_t Now() { return zk->ZK_GetTimeSecondsElapsedSinceEpoch(); }

// One answer on its way: the thread that carries it owns it.
struct SimulatedLeaderboardsAnswer {
    bool success;
    nString category;
    nString reason;
    zk_leaderboard_filter_t filter;
    int total;
    int first;
    int number;
    zk_score_t* scores;
    int delay_ms;
};

void SendAnswer(void* record) {
    SimulatedLeaderboardsAnswer* answer = static_cast<SimulatedLeaderboardsAnswer*>(record);
    if (answer->delay_ms > 0) zk->ZKT_Sleep(answer->delay_ms);
    if (answer->success)
        ZKI_SendLeaderboardScores(answer->category.GetText(), answer->filter, answer->first, answer->total,
                                  answer->scores, answer->number);
    else
        ZKI_SendLeaderboardsError(answer->category.GetText(), answer->filter, answer->reason.GetText());
    delete answer;
}

void StartAnswer(SimulatedLeaderboardsAnswer* answer) {
    if (zk->ZK_CreateThread("SimulatedLeaderboards", SendAnswer, answer, 0)) return;
    // Without a thread the answer still comes, without its wait.
    answer->delay_ms = 0;
    SendAnswer(answer);
}

}  // namespace

void ZKI_Simulated_SendLeaderboardsSuccessEvent(const char* category, zk_leaderboard_filter_t filter, int first,
                                                int number, zk_score_t* scores, int total, int delay_ms) {
    StartAnswer(new SimulatedLeaderboardsAnswer{true, category, nullptr, filter, total, first, number, scores,
                                                delay_ms});
}

void ZKI_Simulated_SendLeaderboardsErrorEvent(const char* category, zk_leaderboard_filter_t filter,
                                              const char* reason, int delay_ms) {
    StartAnswer(new SimulatedLeaderboardsAnswer{false, category, reason, filter, 0, 0, 0, nullptr, delay_ms});
}

int SimulatedLeaderboardsCompareScoreHighestFirst(const void* a, const void* b) {
    int pa = static_cast<const zk_score_t*>(a)->points, pb = static_cast<const zk_score_t*>(b)->points;
    return pa > pb ? -1 : pa < pb ? 1 : 0;
}

int SimulatedLeaderboardsCompareScoreLowestFirst(const void* a, const void* b) {
    return SimulatedLeaderboardsCompareScoreHighestFirst(b, a);
}

// --- Set-up ----------------------------------------------------------------------------------

SimulatedLeaderboardsImplementation::SimulatedLeaderboardsImplementation(uint32_t seed) : random(seed) {
    for (int u = 0; u < kLocalUsers; ++u) user_ids[u].SetFormatted("%s%d", kLocalUserPrefix, u);
    for (const char* part = kNameParts; *part;) {
        const char* comma = strchr(part, ',');
        int length = comma ? static_cast<int>(comma - part) : static_cast<int>(strlen(part));
        name_parts.InsertLast(nString(part).Substring(0, length));
        part += length + (comma ? 1 : 0);
    }
    for (const char* part : kMoreNameParts) name_parts.InsertLast(nString(part));
}

SimulatedLeaderboardsImplementation::~SimulatedLeaderboardsImplementation() {
    for (int i = 0; i < categories.count; ++i) delete categories.items[i];
}

const char* SimulatedLeaderboardsImplementation::GetRandomNamePart() {
    return name_parts.items[random.Below(name_parts.count)].c_str();
}

zk_score_t SimulatedLeaderboardsImplementation::MakeOtherPlayer(const char* id, int number, int points, int rank) {
    zk_score_t score;
    memset(&score, 0, sizeof(score));
    CopyText(score.id, sizeof(score.id), id);
    const char* first_name = GetRandomNamePart();
    const char* surname = GetRandomNamePart();
    snprintf(score.player_name, sizeof(score.player_name), "%s %d %s", first_name, number, surname);
    score.points = points;
    score.rank = rank;
    score.time_stamp = static_cast<int32_t>(Now() - random.Below(10000));
    return score;
}

// Category k: up to 50,000 players with rising points, the local users put
// in at random places, and the player k-th from the top made a friend.
void SimulatedLeaderboardsImplementation::FillCategory(Category* category, int k) {
    int n = random.Below(kMostGeneratedPlayers + 1);
    zk->ZK_Printf("Initializing category '%s' with %d fake scores.", category->id.c_str(), n);
    nArray<zk_score_t>& scores = category->scores;
    scores.SetMaximumSize(n);
    int points = 0;
    for (int i = 0; i < n; ++i) {
        if (i > 0) points += 1 + random.Below(10000);
        char id[64];
        snprintf(id, sizeof(id), "%s%d", kOtherPlayerPrefix, i);
        scores.InsertLast(MakeOtherPlayer(id, i, points, n - i));
    }
    for (int i = 0, j = n - 1; i < j; ++i, --j) {
        zk_score_t swap = scores.items[i];
        scores.items[i] = scores.items[j];
        scores.items[j] = swap;
    }
    if (n > 0)
        for (int u = 0; u < kLocalUsers; ++u) {
            zk_score_t& picked = scores.items[random.Below(n)];
            snprintf(picked.player_name, sizeof(picked.player_name), "Local Player %d", u);
            CopyText(picked.id, sizeof(picked.id), user_ids[u].c_str());
        }
    if (n > k) {
        const zk_score_t& candidate = scores.items[k];
        bool known = false;
        for (int i = 0; i < friends.count; ++i) known = known || strcmp(friends.items[i].c_str(), candidate.id) == 0;
        if (IsSimulatedOnlineScore(candidate) && !known) friends.InsertLast(nString(candidate.id));
    }
    FixCategoryRanks(category);
}

bool SimulatedLeaderboardsImplementation::Initialize() {
    if (!zk->ZK_ProductFeatureExists("LEADERBOARDS")) return false;
    InnerZK::DMArray* list = zk_dman.GetArray(ZK_LEADERBOARD_CATEGORIES_PATH, "CATEGORIES");
    if (!list) return false;
    for (int k = 0; k < list->GetNumberOfNodes(); ++k) {
        Category* category = new Category();
        category->id = list->GetNodeByIndex(k)->id;
        categories.InsertLast(category);
        FillCategory(category, k);
    }
    return true;
}

// --- Queries ---------------------------------------------------------------------------------

const char* SimulatedLeaderboardsImplementation::GetUserId(int user) {
    return user >= 0 && user < kLocalUsers ? user_ids[user].c_str() : nullptr;
}

SimulatedLeaderboardsImplementation::Category* SimulatedLeaderboardsImplementation::GetCategory(const char* id) {
    if (!id) return nullptr;
    for (int i = 0; i < categories.count; ++i)
        if (categories.items[i]->id.GetText() && strcmp(categories.items[i]->id.GetText(), id) == 0)
            return categories.items[i];
    return nullptr;
}

zk_score_t* SimulatedLeaderboardsImplementation::GetPlayerScoreInCategory(int user, const char* category_id) {
    Category* category = GetCategory(category_id);
    const char* id = GetUserId(user);
    if (!category || !id) return nullptr;
    for (int i = 0; i < category->scores.count; ++i)
        if (strcmp(category->scores.items[i].id, id) == 0) return &category->scores.items[i];
    return nullptr;
}

int SimulatedLeaderboardsImplementation::GetPlayerRankInCategory(int user, const char* category_id,
                                                                 zk_leaderboard_filter_t) {
    Category* category = GetCategory(category_id);
    if (!category || category->scores.count == 0) return 0;
    zk_score_t* score = GetPlayerScoreInCategory(user, category_id);
    if (!score) return category->scores.count;
    return static_cast<int>(score - category->scores.items) + 1;
}

bool SimulatedLeaderboardsImplementation::IsSimulatedOnlineScore(const zk_score_t& score) {
    return StartsWith(score.id, kOtherPlayerPrefix);
}

bool SimulatedLeaderboardsImplementation::IsFriendOfLocalUser(const char* id) const {
    if (!id) return false;
    if (StartsWith(id, kLocalUserPrefix)) return true;
    for (int i = 0; i < friends.count; ++i)
        if (strcmp(friends.items[i].c_str(), id) == 0) return true;
    return false;
}

nArray<zk_score_t> SimulatedLeaderboardsImplementation::GetFriendScoresInCategory(Category* category) const {
    nArray<zk_score_t> found;
    if (!category) return found;
    for (int i = 0; i < category->scores.count; ++i) {
        if (!IsFriendOfLocalUser(category->scores.items[i].id)) continue;
        zk_score_t copy = category->scores.items[i];
        copy.rank = found.count + 1;
        found.InsertLast(copy);
    }
    return found;
}

// --- Play ------------------------------------------------------------------------------------

void SimulatedLeaderboardsImplementation::FixCategoryRanks(Category* category) {
    nArray<zk_score_t>& scores = category->scores;
    bool lowest_first = ZK_GetLeaderboardCategorySortOrder(category->id.GetText()) == 1;
    if (scores.count > 1)
        qsort(scores.items, static_cast<size_t>(scores.count), sizeof(zk_score_t),
              lowest_first ? SimulatedLeaderboardsCompareScoreLowestFirst
                           : SimulatedLeaderboardsCompareScoreHighestFirst);
    for (int i = 0; i < scores.count; ++i) scores.items[i].rank = i + 1;
}

void SimulatedLeaderboardsImplementation::SimulateOtherPlayersPlayingCategory(Category* category) {
    nArray<zk_score_t>& scores = category->scores;
    for (int round = 0; scores.count > 0 && round < kPlayersPerRound; ++round) {
        zk_score_t& player = scores.items[random.Below(scores.count)];
        if (IsSimulatedOnlineScore(player)) player.points = SaturatingAdd(player.points, 1 + random.Below(50000));
    }
    if (random.Below(4) == 0) {
        int64_t now = Now();
        for (int j = 0; j < kPlayersPerRound; ++j) {
            // The time alone repeats within a second: the number after it
            // counts every player who joined during the run, so that no two
            // players share an id.
            char id[64];
            snprintf(id, sizeof(id), "%sNEW_%llx_%d", kOtherPlayerPrefix, static_cast<unsigned long long>(now),
                     players_joined++);
            scores.InsertLast(MakeOtherPlayer(id, j, random.Below(100000), 1));
        }
    }
    if (random.Below(4) == 0)
        for (int round = 0; scores.count > 0 && round < kPlayersPerRound; ++round) {
            int position = random.Below(scores.count);
            if (IsSimulatedOnlineScore(scores.items[position])) scores.RemoveItemAtIndex(position);
        }
    if (scores.count > 0) FixCategoryRanks(category);
}

void SimulatedLeaderboardsImplementation::SubmitScore(int user, zk_score_t score, const char* category_id) {
    Category* category = GetCategory(category_id);
    if (!category) return;
    CopyText(score.id, sizeof(score.id), GetUserId(user));
    snprintf(score.player_name, sizeof(score.player_name), "Local Player %d", user);
    // The extra data is meant to hold 0-188 bytes; a reader trusts the length.
    if (score.extra_data_length < 0) score.extra_data_length = 0;
    if (score.extra_data_length > kExtraDataSize) score.extra_data_length = kExtraDataSize;
    zk_score_t* existing = nullptr;
    for (int i = 0; !existing && i < category->scores.count; ++i)
        if (strcmp(category->scores.items[i].id, score.id) == 0) existing = &category->scores.items[i];
    if (existing)
        existing->points = score.points;
    else
        category->scores.InsertLast(score);
    SimulateOtherPlayersPlayingCategory(category);
    FixCategoryRanks(category);
}

// --- Requests --------------------------------------------------------------------------------

bool SimulatedLeaderboardsImplementation::RequestScores(int first, int count, zk_leaderboard_filter_t filter,
                                                        const char* category_id) {
    Category* category = GetCategory(category_id);
    if (!category) {
        nString reason = nString::Format("Unknown leaderboard category '%s'.", Printable(category_id));
        ZKI_Simulated_SendLeaderboardsErrorEvent(category_id, filter, reason.c_str(), AnswerDelay());
        return true;
    }
    if (category->scores.count > 0) FixCategoryRanks(category);
    nArray<zk_score_t> friend_scores;
    const nArray<zk_score_t>* source = nullptr;
    if (filter == 0) {
        source = &category->scores;
    } else if (filter == 1) {
        friend_scores = GetFriendScoresInCategory(category);
        source = &friend_scores;
    }
    int total = source ? source->count : 0;
    int begin = 0, end = 0;
    ZKI_RequestedWindow(first, count, total, &begin, &end);
    zk_score_t* taken = ZKI_AllocScores(end - begin);
    for (int k = begin; taken && k < end; ++k) taken[k - begin] = source->items[first - 1 + k];
    ZKI_Simulated_SendLeaderboardsSuccessEvent(category_id, filter, first, taken ? end - begin : 0, taken, total,
                                               AnswerDelay());
    return true;
}

bool SimulatedLeaderboardsImplementation::RequestScoresAroundUserRank(int user, int count, const char* category) {
    int first = 1;
    zk_score_t* score = GetPlayerScoreInCategory(user, category);
    if (score) {
        long long middle = static_cast<long long>(score->rank) - count / 2;
        first = middle < 1 ? 1 : middle > INT_MAX ? INT_MAX : static_cast<int>(middle);
    }
    return RequestScores(first, count, 0, category);
}

// The leaderboards sub-table's fronts (the category fronts are in
// leaderboard_categories.cpp): forwarding to the chosen leaderboards with
// the log lines that tell what was asked, the login and, in developer
// mode, the checks of the category ids.

#include "engine/services/leaderboards_front.h"

#include <cstring>

#include "engine/runtime/interface_functions.h"
#include "engine/services/extension_modules.h"
#include "engine/services/printable.h"

namespace {

const int kLocalUsers = 4;
const int kMaxCategoryIdLength = 31;

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsIdCharacter(char c) { return IsLetter(c) || (c >= '0' && c <= '9') || c == '_'; }

// Every finding is a warning; checking goes on with the next character or id.
void CheckCategoryId(int index, const char* id) {
    if (!id || !*id) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Leaderboard category with index %d has no id. Id is required.", index);
        return;
    }
    if (strlen(id) > static_cast<size_t>(kMaxCategoryIdLength))
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Leaderboard category id '%s' is too long (can be max 31 characters).", id);
    if (!IsLetter(id[0])) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Leaderboard category id '%s' has to start with an English alphabet.", id);
        return;
    }
    for (const char* c = id; *c; ++c)
        if (!IsIdCharacter(*c))
            zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                          "Leaderboard category id '%s' can only contain English alphabets, digits, and '_' character.",
                          id);
}

void CheckCategoryIds() {
    int count = zk->leaderboards->ZK_GetNumberOfLeaderboardCategories();
    for (int i = 0; i < count; ++i) CheckCategoryId(i, zk->leaderboards->ZK_GetLeaderboardCategoryIdByIndex(i));
}

}  // namespace

const char* ZKI_LeaderboardFilterName(zk_leaderboard_filter_t filter) {
    if (filter == 0) return "GLOBAL";
    if (filter == 1) return "FRIENDS";
    return "ERROR";
}

void ZK_SubmitScore(int user, zk_score_t score, const char* category) {
    zk->ZK_Printf("Submitting score of %d points to category '%s'", score.points, Printable(category));
    if (zk_leaderboards_implementation) zk_leaderboards_implementation->SubmitScore(user, score, category);
}

bool ZK_RequestScores(int first, int count, zk_leaderboard_filter_t filter, const char* category) {
    if (!zk_leaderboards_implementation) return false;
    // Any int may come in: the last position is worked out wide enough
    // not to overflow.
    long long last = static_cast<long long>(first) + count - 1;
    zk->ZK_Printf("Requesting scores %d..%lld (%d scores) for category '%s' with filter '%s'", first, last, count,
                  Printable(category), ZKI_LeaderboardFilterName(filter));
    if (zk_leaderboards_implementation->RequestScores(first, count, filter, category)) return true;
    zk->ZK_Printf("RequestScores returned false. No return event will be sent.");
    return false;
}

bool ZK_RequestScoresAroundUserRank(int user, int count, const char* category) {
    if (!zk_leaderboards_implementation) return false;
    zk->ZK_Printf("Requesting %d scores around user #%d for category '%s'", count, user, Printable(category));
    if (zk_leaderboards_implementation->RequestScoresAroundUserRank(user, count, category)) return true;
    zk->ZK_Printf("RequestScoresAroundUserRank returned false. No return event will be sent.");
    return false;
}

bool ZK_IsNativeLeaderboardsViewSupported() {
    return zk_leaderboards_implementation && zk_leaderboards_implementation->IsNativeLeaderboardsViewSupported();
}

void ZK_ShowNativeLeaderboardsView(int user, const char* category) {
    if (zk_leaderboards_implementation) zk_leaderboards_implementation->ShowNativeLeaderboardsView(user, category);
}

const char* ZK_GetUserId(int user) {
    if (user < 0 || user >= kLocalUsers || !zk_leaderboards_implementation) return nullptr;
    return zk_leaderboards_implementation->GetUserId(user);
}

int ZK_GetLeaderboardsLoginState(int user) {
    return zk_leaderboards_implementation ? zk_leaderboards_implementation->GetLoginState(user) : 0;
}

void ZK_LeaderboardsLogin(int user) {
    if (!zk_leaderboards_implementation) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "No leaderboard implementation defined while calling zk->leaderboards->Login. Requires "
                      "feature LEADERBOARDS and a leaderboards implementation. Use fallback feature "
                      "LOCAL_LEADERBOARDS for local score lists.");
        return;
    }
    if (zk_leaderboards_implementation->GetLoginState(user) != ZK_LOGIN_STATE_LOGGED_OUT) return;
    zk->ZK_Printf("Login for player %d", user);
    zk_leaderboards_implementation->Login(user);
    if (zk->ZKI_IsDeveloperModeEnabled()) CheckCategoryIds();
}

bool ZK_IsNativeUserProfileViewSupported() {
    return zk_leaderboards_implementation && zk_leaderboards_implementation->IsNativeUserProfileViewSupported();
}

void ZK_ShowNativeUserProfileView(const char* user_id) {
    if (!user_id || !*user_id || !zk_leaderboards_implementation) return;
    zk_leaderboards_implementation->ShowNativeUserProfileView(user_id);
}

int ZK_GetMaximumNumberOfScoresPerRequest() {
    return zk_leaderboards_implementation ? zk_leaderboards_implementation->GetMaximumNumberOfScoresPerRequest() : 30;
}

// Type-19 answers of the leaderboard implementations.

#include "engine/services/leaderboard_answers.h"

#include "engine/events/events.h"
#include "engine/platform_services/iap.h"
#include "engine/services/leaderboards_front.h"
#include "engine/services/printable.h"

void ZKI_SendLeaderboardScores(const char* category, zk_leaderboard_filter_t filter, int first, int total,
                               zk_score_t* scores, int count) {
    const char* filter_name = ZKI_LeaderboardFilterName(filter);
    if (!scores) count = 0;
    if (count > 0)
        zk->ZK_Printf("Sending event with scores %d..%d (%d scores of %d) for category '%s' with filter '%s'", first,
                      first + count - 1, count, total, Printable(category), filter_name);
    else
        zk->ZK_Printf("Sending event with no scores (%d scores in category) for category '%s' with filter '%s'", total,
                      Printable(category), filter_name);
    zk_leaderboard_scores_event_t fields = {};
    fields.type = ZK_EVENT_LEADERBOARD_SCORES;
    fields.success = 1;
    fields.category = ZKI_CopyEventText(category);
    fields.total = total;
    fields.filter = filter;
    fields.first = first;
    fields.count = count;
    fields.scores = count > 0 ? scores : nullptr;
    if (count == 0) zk->ZK_FreeMemory(scores);
    zk_event_t event = ZKI_MakeEvent(fields);
    zk->ZK_SendEventQueued(&event);
}

void ZKI_SendLeaderboardsError(const char* category, zk_leaderboard_filter_t filter, const char* reason) {
    zk->ZK_Printf("Sending leaderboards error event for category '%s' filter '%s' with reason '%s'.",
                  Printable(category), ZKI_LeaderboardFilterName(filter), Printable(reason));
    zk_leaderboard_scores_event_t fields = {};
    fields.type = ZK_EVENT_LEADERBOARD_SCORES;
    fields.success = 0;
    fields.reason = ZKI_CopyEventText(reason);
    fields.category = ZKI_CopyEventText(category);
    fields.filter = filter;
    zk_event_t event = ZKI_MakeEvent(fields);
    zk->ZK_SendEventQueued(&event);
}

void ZKI_RequestedWindow(int first, int count, int length, int* begin, int* end) {
    // k runs over [0, count) and first-1+k over [0, length).
    long long low = 1LL - first;
    long long high = static_cast<long long>(length) - first + 1;
    if (low < 0) low = 0;
    if (high > count) high = count;
    if (high <= low) low = high = 0;
    *begin = static_cast<int>(low);
    *end = static_cast<int>(high);
}

zk_score_t* ZKI_AllocScores(int count) {
    if (count <= 0 || static_cast<unsigned long long>(count) * sizeof(zk_score_t) > 0xFFFFFFFFull) return nullptr;
    return static_cast<zk_score_t*>(zk->ZK_AllocMemory(static_cast<unsigned int>(count) * sizeof(zk_score_t)));
}

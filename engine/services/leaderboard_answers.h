// The answers of the leaderboard implementations: type-19 events queued for
// the main thread, each with the log line that tells what was answered, and
// the window of a list that a request for `count` scores from position
// `first` (counting from 1) covers.
#pragma once

#include "engine/runtime/zekar.h"

// Queues a success answer and logs "Sending event with scores ..." or, for
// no scores, "Sending event with no scores ...". The event takes `scores`
// (a ZK_AllocMemory block of `count` scores, or null when count is 0).
void ZKI_SendLeaderboardScores(const char* category, zk_leaderboard_filter_t filter, int first, int total,
                               zk_score_t* scores, int count);
// Queues a failure answer with the reason and logs "Sending leaderboards
// error event ...".
void ZKI_SendLeaderboardsError(const char* category, zk_leaderboard_filter_t filter, const char* reason);

// The positions k = 0 .. count-1 whose list index first-1+k lies inside a
// list of `length` scores form the range [*begin, *end) of k; empty when
// the request and the list do not overlap. Any int arguments are safe: the
// range never reaches past the list, so no caller sizes memory or a loop
// by a huge count.
void ZKI_RequestedWindow(int first, int count, int length, int* begin, int* end);

// A ZK_AllocMemory block for `count` scores, or null when count is 0 or
// memory runs out.
zk_score_t* ZKI_AllocScores(int count);
